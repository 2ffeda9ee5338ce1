// Global hot keys as passive key grabs on the root window. Each combination is
// grabbed once for every state of the Caps Lock and Num Lock modifiers, so that the
// key works whatever lock is on.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include <QAbstractNativeEventFilter>

#include "platform/GlobalKeys.h"

namespace tinctor {

class TX11GlobalKeys final : public IGlobalKeys, private QAbstractNativeEventFilter {
public:
    TX11GlobalKeys();
    ~TX11GlobalKeys() override;

    bool Register(int id, unsigned modifiers, unsigned virtKey) override;
    void Unregister(int id) override;
    void SetHandler(THandler handler) override { *handler_ = std::move(handler); }

private:
    struct TGrab {
        unsigned Keycode;
        unsigned Mask;  // X modifier mask without the lock bits
        std::vector<unsigned> LockVariants;
        unsigned Modifiers, VirtKey;
    };

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
    std::vector<unsigned> LockVariants() const;
    void Ungrab(const TGrab& grab);

    std::map<int, TGrab> grabs_;
    // Shared with the presses still queued, which find it gone after destruction.
    std::shared_ptr<THandler> handler_ = std::make_shared<THandler>();
};

}  // namespace tinctor
