#include "platform/fake/FakeGlobalKeys.h"

#include "platform/SystemError.h"

namespace tinctor {

bool TFakeKeyboard::Press(unsigned modifiers, unsigned virtKey) {
    auto it = grabs_.find({modifiers, virtKey});
    if (it == grabs_.end()) return false;
    auto [owner, id] = it->second;
    if (owner->handler_) owner->handler_(id, modifiers, virtKey);
    return true;
}

TFakeGlobalKeys::~TFakeGlobalKeys() {
    for (auto it = keyboard_.grabs_.begin(); it != keyboard_.grabs_.end();)
        it = it->second.first == this ? keyboard_.grabs_.erase(it) : std::next(it);
}

bool TFakeGlobalKeys::Register(int id, unsigned modifiers, unsigned virtKey) {
    keyboard_.Calls.push_back({TFakeKeyboard::TCall::Register, id, modifiers, virtKey});
    if (virtKey == 0 || keyboard_.MissingKeys.count(virtKey)) return false;
    const TFakeKeyboard::TCombo combo{modifiers, virtKey};
    auto held = keyboard_.grabs_.find(combo);
    if (keyboard_.elsewhere_.count(combo) || (held != keyboard_.grabs_.end() && held->second.first != this))
        RaiseSystemError(ErrorHotkeyAlreadyRegistered);
    Drop(id);
    keyboard_.grabs_[combo] = {this, id};
    return true;
}

void TFakeGlobalKeys::Unregister(int id) {
    keyboard_.Calls.push_back({TFakeKeyboard::TCall::Unregister, id, 0, 0});
    Drop(id);
}

void TFakeGlobalKeys::Drop(int id) {
    for (auto it = keyboard_.grabs_.begin(); it != keyboard_.grabs_.end(); ++it)
        if (it->second.first == this && it->second.second == id) {
            keyboard_.grabs_.erase(it);
            return;
        }
}

}  // namespace tinctor
