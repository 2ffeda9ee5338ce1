#include "desktop/GlobalHotKey.h"

#include "platform/ErrorGuard.h"

namespace tinctor {

// --- THotkeyItem

THotkeyItem::THotkeyItem(THotkeyItems& collection, int id)
    : Name("DoHotkey" + std::to_string(id)), collection_(collection), id_(id) {}

void THotkeyItem::SetHotkey(THotkey value) {
    if (value == hotkey_) return;
    if (registered_) UnregisterKey();
    hotkey_ = value;
    RegisterKey();
}

void THotkeyItem::Assign(const THotkeyItem& source) {
    Name = source.Name;
    EventLabel = source.EventLabel;
    SaveLoad = source.SaveLoad;
    SetHotkey(source.hotkey_);
}

void THotkeyItem::RegisterKey() { collection_.Owner().RegisterItem(*this); }

void THotkeyItem::UnregisterKey() { collection_.Owner().UnregisterItem(*this); }

void THotkeyItem::DoHotkey(std::uint16_t modifiers, std::uint16_t virtKey) {
    if (OnHotkey) OnHotkey(this, modifiers, virtKey);
}

// --- THotkeyItems

THotkeyItem& THotkeyItems::Add() {
    struct TNewItem : THotkeyItem {
        TNewItem(THotkeyItems& c, int id) : THotkeyItem(c, id) {}
    };
    items_.push_back(std::make_unique<TNewItem>(*this, nextId_++));
    return *items_.back();
}

THotkeyItem* THotkeyItems::FindItemID(int id) const {
    for (const auto& item : items_)
        if (item->ID() == id) return item.get();
    return nullptr;
}

void THotkeyItems::Delete(int index) {
    THotkeyItem& item = (*this)[index];
    owner_.UnregisterItem(item);
    items_.erase(items_.begin() + index);
}

// --- TGlobalHotkey

TGlobalHotkey::TGlobalHotkey(std::unique_ptr<IGlobalKeys> keys) : keys_(std::move(keys)) {
    // The system's press notice is an entry point from the event loop: whatever the
    // handler throws goes to the application's error report.
    keys_->SetHandler([this](int id, unsigned modifiers, unsigned virtKey) {
        Guarded([&] {
            DoHotkey(id, static_cast<std::uint16_t>(modifiers), static_cast<std::uint16_t>(virtKey));
        });
    });
}

TGlobalHotkey::~TGlobalHotkey() {
    enabled_ = false;
    for (const auto& item : items_) {
        try {
            UnregisterItem(*item);
        } catch (...) {
            // Best effort at exit: the system drops the grabs of a closed connection anyway.
        }
    }
    keys_->SetHandler({});
}

void TGlobalHotkey::SetEnabled(bool value) {
    if (value == enabled_) return;
    enabled_ = value;
    for (const auto& item : items_) {
        if (value)
            RegisterItem(*item);
        else
            UnregisterItem(*item);
    }
}

void TGlobalHotkey::DoHotkey(int id, std::uint16_t modifiers, std::uint16_t virtKey) {
    if (THotkeyItem* item = items_.FindItemID(id)) item->DoHotkey(modifiers, virtKey);
}

void TGlobalHotkey::RegisterItem(THotkeyItem& item) {
    if (!enabled_) return;
    const THotkey value = item.Hotkey();
    const unsigned key = value & HotkeyKeyMask;
    unsigned modifiers = 0;
    if (value & HotkeyShift) modifiers |= ModShift;
    if (value & HotkeyCtrl) modifiers |= ModControl;
    if (value & HotkeyAlt) modifiers |= ModAlt;
    if (value & HotkeyWin) modifiers |= ModWin;
    // Modifiers without a key ("Win+Foo") are no hot key: nothing is registered.
    if (key == 0) return;
    item.registered_ = keys_->Register(item.ID(), modifiers, key);
}

void TGlobalHotkey::UnregisterItem(THotkeyItem& item) {
    if (!item.registered_) return;
    keys_->Unregister(item.ID());
    item.registered_ = false;
}

}  // namespace tinctor
