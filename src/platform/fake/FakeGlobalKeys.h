// A keyboard shared by fake hot key owners and other programs: it records every
// grab, refuses a combination that someone else holds and delivers presses.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "platform/GlobalKeys.h"

namespace tinctor {

class TFakeGlobalKeys;

class TFakeKeyboard {
public:
    struct TCall {
        enum { Register, Unregister } Kind;
        int Id;
        unsigned Modifiers, VirtKey;
        bool operator==(const TCall&) const = default;
    };

    std::vector<TCall> Calls;            // every Register and Unregister, in order
    std::set<unsigned> MissingKeys;      // virtual keys this keyboard lacks

    // Another program takes the combination (or lets it go).
    void HoldElsewhere(unsigned modifiers, unsigned virtKey) { elsewhere_.insert({modifiers, virtKey}); }
    void ReleaseElsewhere(unsigned modifiers, unsigned virtKey) { elsewhere_.erase({modifiers, virtKey}); }
    // The user presses the combination: its holder in this program hears it.
    // Returns whether anyone here held it.
    bool Press(unsigned modifiers, unsigned virtKey);
    bool IsGrabbed(unsigned modifiers, unsigned virtKey) const { return grabs_.count({modifiers, virtKey}) > 0; }

private:
    friend class TFakeGlobalKeys;
    using TCombo = std::pair<unsigned, unsigned>;
    std::set<TCombo> elsewhere_;
    std::map<TCombo, std::pair<TFakeGlobalKeys*, int>> grabs_;
};

class TFakeGlobalKeys final : public IGlobalKeys {
public:
    explicit TFakeGlobalKeys(TFakeKeyboard& keyboard) : keyboard_(keyboard) {}
    ~TFakeGlobalKeys() override;

    bool Register(int id, unsigned modifiers, unsigned virtKey) override;
    void Unregister(int id) override;
    void SetHandler(THandler handler) override { handler_ = std::move(handler); }

private:
    friend class TFakeKeyboard;
    void Drop(int id);

    TFakeKeyboard& keyboard_;
    THandler handler_;
};

}  // namespace tinctor
