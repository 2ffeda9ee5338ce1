// System-wide hot keys: key combinations that reach this program wherever the
// keyboard focus is.
#pragma once

#include <functional>

namespace tinctor {

// Modifier bits of a combination.
enum : unsigned {
    ModAlt = 1,
    ModControl = 2,
    ModShift = 4,
    ModWin = 8,
};

// One owner's set of grabbed combinations, each under an identifier.
class IGlobalKeys {
public:
    // Id, the modifiers and the virtual-key code of the combination pressed.
    using THandler = std::function<void(int id, unsigned modifiers, unsigned virtKey)>;

    virtual ~IGlobalKeys() = default;

    // Grabs Modifiers + VirtKey (a Windows virtual-key code) under Id. Returns false
    // when the key does not exist on this keyboard (nothing is grabbed). A
    // combination that another program holds raises ESystemError, and nothing of
    // it stays grabbed.
    virtual bool Register(int id, unsigned modifiers, unsigned virtKey) = 0;
    // Releases the combination grabbed under Id (nothing when there is none).
    virtual void Unregister(int id) = 0;
    // Called from the event loop for every press of a grabbed combination.
    virtual void SetHandler(THandler handler) = 0;
};

}  // namespace tinctor
