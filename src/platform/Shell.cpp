#include "platform/Shell.h"

#include "platform/x11/QtShell.h"

namespace tinctor {

namespace {
IShell* installed = nullptr;
}

IShell& Shell() {
    if (installed) return *installed;
    static TQtShell qtShell;
    return qtShell;
}

void SetShell(IShell* shell) { installed = shell; }

}  // namespace tinctor
