// The Directory object: one folder (always held as a full path ending in "/"),
// its listings and searches with "*"/"?" masks, and folder operations.
//
// Masks on Linux: "*" and "?" only, letters compared without case, "*.*" matches
// every name (also names without a dot); dot-files are ordinary entries. "." and
// ".." come only from findFirst/findFirstDir and their findNext.
#pragma once

#include <dirent.h>

#include <string>

#include "script/core/ecma_engine.h"

namespace kestrel {

class TJDirectoryObject : public TJObject {
public:
    // The folder, "." when none is given.
    TJDirectoryObject(TJBaseEngine* engine, const TJValueList* param);
    ~TJDirectoryObject() override;

    const TJMethodTable* SharedMethods() const override;
    const TJPropertyTable* PublishedProperties() const override;
    TJString ToString(const TJValue* = nullptr) override { return TJString(dir_); }

    const std::string& Dir() const noexcept { return dir_; }
    // Expands Name to a full path ending in "/" (an empty name stays empty).
    void SetDir(std::string_view name);
    [[noreturn]] void Fail(std::string_view message) const;

    // Which entries a search step takes.
    enum class TFilter { Any, Files, Folders };
    // Starts a search (ending an earlier one); the first match or false.
    bool FindFirst(std::string_view mask, TFilter filter, std::string& name);
    // The next match; false at the end.
    bool FindNext(TFilter filter, std::string& name);
    bool Searching() const noexcept { return search_ != nullptr; }
    void FindClose() noexcept;

private:
    std::string dir_;
    DIR* search_ = nullptr;
    std::string mask_;
};

}  // namespace kestrel
