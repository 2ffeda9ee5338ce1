// The in-memory desktop that tests drive. It installs itself for its lifetime.
#pragma once

#include "platform/Platform.h"
#include "platform/fake/FakeClipboard.h"
#include "platform/fake/FakeDesktopWindows.h"
#include "platform/fake/FakeGlobalKeys.h"
#include "platform/fake/FakePointer.h"
#include "platform/fake/FakeScreen.h"

namespace tinctor {

class TFakePlatform final : public IPlatform {
public:
    TFakePlatform() { SetPlatform(this); }
    ~TFakePlatform() override {
        if (&Platform() == this) SetPlatform(nullptr);
    }
    TFakePlatform(const TFakePlatform&) = delete;
    TFakePlatform& operator=(const TFakePlatform&) = delete;

    TFakeScreen& Screen() override { return screen_; }
    TFakePointer& Pointer() override { return pointer_; }
    TFakeClipboard& Clipboard() override { return clipboard_; }
    TFakeDesktopWindows& Windows() override { return windows_; }
    TFakeKeyboard& Keyboard() { return keyboard_; }
    std::unique_ptr<IGlobalKeys> NewGlobalKeys() override { return std::make_unique<TFakeGlobalKeys>(keyboard_); }

private:
    TFakeScreen screen_;
    TFakePointer pointer_;
    TFakeClipboard clipboard_;
    TFakeDesktopWindows windows_;
    TFakeKeyboard keyboard_;
};

}  // namespace tinctor
