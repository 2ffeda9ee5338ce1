// A system-wide hot key component: a collection of items, each registering its key
// combination with the system under the item's ID and raising OnHotkey when the
// combination is pressed anywhere.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "desktop/HotkeyText.h"
#include "platform/GlobalKeys.h"

namespace tinctor {

class TGlobalHotkey;
class THotkeyItems;

class THotkeyItem {
public:
    // Modifiers are the system's (1 Alt, 2 Ctrl, 4 Shift, 8 Win); VirtKey the key code.
    using THotkeyEvent = std::function<void(THotkeyItem* sender, std::uint16_t modifiers, std::uint16_t virtKey)>;

    virtual ~THotkeyItem() = default;
    THotkeyItem(const THotkeyItem&) = delete;
    THotkeyItem& operator=(const THotkeyItem&) = delete;

    std::string Name;  // "DoHotkey" and the ID when made
    std::string EventLabel;
    bool SaveLoad = true;  // carried and copied only
    int Tag = 0;
    THotkeyEvent OnHotkey;

    int ID() const { return id_; }
    THotkey Hotkey() const { return hotkey_; }
    // A new value unregisters the old combination first; the same value does nothing.
    void SetHotkey(THotkey value);
    bool Registered() const { return registered_; }
    THotkeyItems& Collection() const { return collection_; }

    // Copies Name, EventLabel, SaveLoad and the hot key.
    virtual void Assign(const THotkeyItem& source);
    virtual std::string GetDisplayName() const { return Name; }
    virtual void RegisterKey();
    virtual void UnregisterKey();
    virtual void DoHotkey(std::uint16_t modifiers, std::uint16_t virtKey);

protected:
    THotkeyItem(THotkeyItems& collection, int id);

private:
    friend class THotkeyItems;
    friend class TGlobalHotkey;

    THotkeyItems& collection_;
    int id_;
    THotkey hotkey_ = 0;
    bool registered_ = false;
};

class THotkeyItems {
public:
    explicit THotkeyItems(TGlobalHotkey& owner) : owner_(owner) {}
    THotkeyItems(const THotkeyItems&) = delete;
    THotkeyItems& operator=(const THotkeyItems&) = delete;

    // A new item; IDs count up from 0 and are never reused.
    THotkeyItem& Add();
    int Count() const { return static_cast<int>(items_.size()); }
    THotkeyItem& operator[](int index) const { return *items_.at(static_cast<std::size_t>(index)); }
    THotkeyItem* FindItemID(int id) const;
    // Unregisters the item and removes it.
    void Delete(int index);
    TGlobalHotkey& Owner() const { return owner_; }

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    TGlobalHotkey& owner_;
    std::vector<std::unique_ptr<THotkeyItem>> items_;
    int nextId_ = 0;
};

class TGlobalHotkey {
public:
    explicit TGlobalHotkey(std::unique_ptr<IGlobalKeys> keys);
    // Unregisters every item, best effort: never throws.
    virtual ~TGlobalHotkey();
    TGlobalHotkey(const TGlobalHotkey&) = delete;
    TGlobalHotkey& operator=(const TGlobalHotkey&) = delete;

    THotkeyItems& Items() { return items_; }
    bool Enabled() const { return enabled_; }
    // Registers (true) or unregisters every item, in order; the same value does nothing.
    void SetEnabled(bool value);

    // A press reported by the system: the first item with ID raises its event.
    virtual void DoHotkey(int id, std::uint16_t modifiers, std::uint16_t virtKey);
    // A failure raises ESystemError ("システムエラー。コード：%d." and the system's text);
    // the item is then not registered.
    virtual void RegisterItem(THotkeyItem& item);
    virtual void UnregisterItem(THotkeyItem& item);

private:
    std::unique_ptr<IGlobalKeys> keys_;
    THotkeyItems items_{*this};
    bool enabled_ = true;
};

}  // namespace tinctor
