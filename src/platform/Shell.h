// Opening documents and folders with the desktop's default program (xdg-open).
#pragma once

#include <string>

namespace tinctor {

class IShell {
public:
    virtual ~IShell() = default;
    // Opens a local file or folder; false when no program could be started for it.
    virtual bool OpenDocument(const std::string& path) = 0;
};

// The shell in use: the one installed by SetShell, else the desktop's.
IShell& Shell();
// Installs Shell (not owned); null restores the desktop's.
void SetShell(IShell* shell);

inline bool OpenDocument(const std::string& path) { return Shell().OpenDocument(path); }

}  // namespace tinctor
