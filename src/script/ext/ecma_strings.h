// The Strings script object ("StringList"): a list of text lines, sorted on
// request, with its text and comma forms and its file load and save.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "script/core/ecma_engine.h"

namespace kestrel {

// The lines themselves, owned by whoever made them (a Strings object, or a host
// part that lets scripts see its lines).
struct TJStringList {
    std::vector<std::string> Lines;
    bool Sorted = false;
};

// A script view of a list owned elsewhere. When the owner has let the list go, every
// use raises EStringsError "strings is null" instead of touching freed memory.
class TJBaseStringsObject : public TJObject {
public:
    TJBaseStringsObject(TJBaseEngine* engine, const TJValueList* param,
                        std::weak_ptr<TJStringList> list = {});

    const TJMethodTable* SharedMethods() const override;
    const TJPropertyTable* PublishedProperties() const override;
    TJString ToString(const TJValue* arg = nullptr) override;

    // Array-like: the lines.
    bool IsArray() const override { return true; }
    int GetCount() override { return static_cast<int>(List().Lines.size()); }
    void GetItem(int index, TJValue& value) override;
    bool GetElement(std::int32_t index, TJValue& value) override;
    bool SetElement(std::int32_t index, const TJValue& value) override;
    void GetValue(std::string_view name, bool arrayStyle, TJValue& value, const TJValueList* param = nullptr) override;
    void SetValue(std::string_view name, const TJValue& value, const TJValueList* param = nullptr,
                  bool arrayStyle = false) override;

    // The list; EStringsError "strings is null" when it no longer exists.
    TJStringList& List() const;
    // Adds a line (at its sorted place in a sorted list, where a line equal
    // ignoring case is not added twice); the index of the line.
    int AddLine(std::string line);
    // Replaces the lines by those of Text, split at CR LF, LF or CR.
    void SetText(std::string_view text);
    // Every line followed by CR LF.
    std::string Text() const;
    // Called once after each script call that changed the lines (a whole text or
    // list assigned at once is one change).
    virtual void Changed() {}

protected:
    void Attach(std::weak_ptr<TJStringList> list) { list_ = std::move(list); }

private:
    std::size_t CheckedIndex(std::int64_t index, std::string_view keyText) const;
    std::weak_ptr<TJStringList> list_;
};

// A Strings object with a list of its own.
class TJStringsObject : public TJBaseStringsObject {
public:
    // A text argument gives the initial lines.
    TJStringsObject(TJBaseEngine* engine, const TJValueList* param);

    const TJMethodTable* SharedMethods() const override;
    const TJPropertyTable* PublishedProperties() const override;
    const std::shared_ptr<TJStringList>& Own() const noexcept { return own_; }
    // Sorts the lines ignoring letter case.
    void Sort();
    void SetSorted(bool sorted);

    // A new registered list holding Lines.
    static TJStringsObject* Make(TJBaseEngine* engine, std::vector<std::string> lines);

private:
    std::shared_ptr<TJStringList> own_;
};

}  // namespace kestrel
