// Destruction notification: the link sets and the parties that tell each other of their end.
#include <mutex>
#include <unordered_map>
#include <vector>

#include "script/core/ecma_type_object.h"

namespace kestrel {

// ---------------------------------------------------------------------------
// TJLinks

TJLinks::~TJLinks() {
    if (capacity_) delete[] table_.Slots;
}

std::size_t TJLinks::Home(const TJNotify* party) const noexcept {
    auto x = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(party));
    x ^= x >> 29;
    x *= 0x9E3779B97F4A7C15ull;
    return static_cast<std::size_t>(x >> 32) & (capacity_ - 1);
}

TJLinks::Entry* TJLinks::Find(const TJNotify* party) noexcept {
    if (!capacity_) return single_.Party == party && party ? &single_ : nullptr;
    Entry* slots = table_.Slots;
    if (capacity_ == kFirstCapacity) {
        for (std::uint32_t i = 0; i < kFirstCapacity; ++i)
            if (slots[i].Party == party) return &slots[i];
        return nullptr;
    }
    for (std::size_t i = Home(party);; i = (i + 1) & (capacity_ - 1)) {
        if (slots[i].Party == party) return &slots[i];
        if (!slots[i].Party) return nullptr;
    }
}

void TJLinks::Grow() {
    const std::size_t oldCapacity = capacity_;
    // The single entry and the table share their room: take the entry out first.
    const Entry single = oldCapacity ? Entry{} : single_;
    Entry* old = oldCapacity ? table_.Slots : nullptr;
    const std::uint32_t size = oldCapacity ? table_.Size : (single.Party != nullptr);
    const std::uint32_t capacity = oldCapacity ? capacity_ * 2 : kFirstCapacity;
    Entry* slots = new Entry[capacity]();
    table_.Slots = slots;
    table_.Size = size;
    capacity_ = capacity;
    if (!old) {
        slots[0] = single;  // a small table keeps its entries in any order
        return;
    }
    auto place = [this, slots](const Entry& e) {
        std::size_t j = Home(e.Party);
        while (slots[j].Party) j = (j + 1) & (capacity_ - 1);
        slots[j] = e;
    };
    for (std::size_t i = 0; i < oldCapacity; ++i)
        if (old[i].Party) place(old[i]);
    delete[] old;
}

TJLinks::Entry& TJLinks::Insert(TJNotify* party, bool& added) {
    if (Entry* e = Find(party)) {
        added = false;
        return *e;
    }
    added = true;
    if (!capacity_ && !single_.Party) {
        single_ = Entry{party, 0};
        return single_;
    }
    if (capacity_ == kFirstCapacity && table_.Size < kFirstCapacity) {
        std::uint32_t i = 0;
        while (table_.Slots[i].Party) ++i;
        table_.Slots[i] = Entry{party, 0};
        ++table_.Size;
        return table_.Slots[i];
    }
    if (!capacity_ || capacity_ == kFirstCapacity || (table_.Size + 1) * 2 > capacity_) Grow();
    if (capacity_ == kFirstCapacity) return Insert(party, added);
    std::size_t i = Home(party);
    while (table_.Slots[i].Party) i = (i + 1) & (capacity_ - 1);
    table_.Slots[i] = Entry{party, 0};
    ++table_.Size;
    return table_.Slots[i];
}

bool TJLinks::Erase(const TJNotify* party) noexcept {
    Entry* e = Find(party);
    if (!e) return false;
    if (!capacity_) {
        single_ = Entry{};
        return true;
    }
    Entry* slots = table_.Slots;
    if (capacity_ == kFirstCapacity) {
        *e = Entry{};
        // Down to one party, the entry goes back in place (an object made during a
        // statement and stored: the temporary list lets go of it).
        if (--table_.Size == 1) {
            Entry last{};
            for (std::uint32_t i = 0; i < kFirstCapacity; ++i)
                if (slots[i].Party) last = slots[i];
            delete[] slots;
            capacity_ = 0;
            single_ = last;
        }
        return true;
    }
    // Backward-shift deletion keeps every probe chain unbroken without tombstones.
    std::size_t mask = capacity_ - 1;
    std::size_t hole = static_cast<std::size_t>(e - slots);
    for (std::size_t j = (hole + 1) & mask; slots[j].Party; j = (j + 1) & mask) {
        std::size_t home = Home(slots[j].Party);
        bool movable = hole <= j ? (home <= hole || home > j) : (home <= hole && home > j);
        if (movable) {
            slots[hole] = slots[j];
            hole = j;
        }
    }
    slots[hole] = Entry{};
    --table_.Size;
    // Larger tables keep their slots for the next link: their parties come and go often.
    return true;
}

std::vector<TJLinks::Entry> TJLinks::Detach() {
    std::vector<Entry> entries;
    entries.reserve(Size());
    if (!capacity_) {
        if (single_.Party) entries.push_back(single_);
    } else {
        for (std::size_t i = 0; i < capacity_; ++i)
            if (table_.Slots[i].Party) entries.push_back(table_.Slots[i]);
        delete[] table_.Slots;
    }
    single_ = Entry{};
    capacity_ = 0;
    return entries;
}

// ---------------------------------------------------------------------------
// TJNotify

namespace {
// The parties still to be told while a notifier announces its end; a party that goes
// away meanwhile is crossed out, so that it is never told after it is gone.
struct PendingNotice {
    const TJNotify* Sender;
    std::vector<TJNotify*>* Parties;
    PendingNotice* Outer;
};
thread_local PendingNotice* gPending = nullptr;

void CrossOut(const TJNotify* sender, const TJNotify* party) noexcept {
    for (PendingNotice* p = gPending; p; p = p->Outer) {
        if (p->Sender != sender) continue;
        for (TJNotify*& entry : *p->Parties)
            if (entry == party) entry = nullptr;
    }
}

// A party that goes away is never told again, by any notifier: containers are not
// on the lists of the objects they hold, so nothing else would cross them out.
void CrossOutEverywhere(const TJNotify* party) noexcept {
    for (PendingNotice* p = gPending; p; p = p->Outer)
        for (TJNotify*& entry : *p->Parties)
            if (entry == party) entry = nullptr;
}

constexpr std::uint32_t kHoldCount = ~TJLinks::kLinkedBothWays;

// The notification handlers, by party: few parties ever have one, so none of them
// carries room for it. A party's flag tells whether it has an entry here. Engines
// may run on several threads; an entry stays where it is while its handler runs.
using THandler = std::function<void(TJNotify*)>;
std::mutex gHandlersLock;
std::unordered_map<const TJNotify*, THandler>& Handlers() {
    static std::unordered_map<const TJNotify*, THandler> handlers;
    return handlers;
}
}  // namespace

TJNotify::~TJNotify() {
    if (gPending) CrossOutEverywhere(this);
    NotifyLinkedParties();
    if (links_.hasHandler_) SetOnNotification(nullptr);
}

void TJNotify::FreeNotification(TJNotify* other) {
    if (!other || other == this) return;
    bool added;
    TJLinks::Entry& e = links_.Insert(other, added);
    if (e.Holds & TJLinks::kLinkedBothWays) return;
    e.Holds |= TJLinks::kLinkedBothWays;
    try {
        other->FreeNotification(this);
    } catch (...) {
        RemoveFreeNotification(other);
        throw;
    }
}

void TJNotify::RemoveFreeNotification(TJNotify* other) noexcept {
    if (TJLinks::Entry* e = links_.Find(other)) {
        // A container of the other's that still holds this one stays on the list.
        if (e->Holds & kHoldCount) e->Holds &= kHoldCount;
        else links_.Erase(other);
    }
    if (gPending) CrossOut(this, other);
}

bool TJNotify::IsLinkedTo(const TJNotify* other) const noexcept {
    return const_cast<TJLinks&>(links_).Find(other) != nullptr || Holds(other) != 0;
}

void TJNotify::Notification(TJNotify* other) {
    // The other party is going away: whatever it was to this one ends here.
    links_.Erase(other);
    if (gPending) CrossOut(this, other);
    if (!links_.hasHandler_) return;
    const THandler* handler;
    {
        std::lock_guard lock(gHandlersLock);
        handler = &Handlers().at(this);
    }
    (*handler)(other);
}

void TJNotify::SetOnNotification(std::function<void(TJNotify*)> handler) {
    const bool set = handler != nullptr;
    std::lock_guard lock(gHandlersLock);
    if (set) Handlers().insert_or_assign(this, std::move(handler));
    else Handlers().erase(this);
    links_.hasHandler_ = set;
}

void TJNotify::NotifyLinkedParties() noexcept {
    // Parties may link again while they are told (or be destroyed by what another one
    // does), so work from detached copies until the list stays empty.
    while (!links_.Empty()) {
        std::vector<TJLinks::Entry> entries = links_.Detach();
        std::vector<TJNotify*> parties;
        parties.reserve(entries.size());
        for (const TJLinks::Entry& e : entries) {
            // A container that held this one no longer does, whatever it is told.
            if (e.Holds & kHoldCount) --e.Party->links_.held_;
            parties.push_back(e.Party);
        }
        PendingNotice notice{this, &parties, gPending};
        gPending = &notice;
        for (auto it = parties.rbegin(); it != parties.rend(); ++it) {
            if (TJNotify* party = *it) {
                *it = nullptr;
                try {
                    party->Notification(this);
                } catch (...) {
                    // A party that fails to forget us must not stop the others.
                }
            }
        }
        gPending = notice.Outer;
    }
}

void TJNotify::Hold(TJNotify* other) {
    bool added;
    TJLinks::Entry& e = other->links_.Insert(this, added);
    if ((e.Holds & kHoldCount) == 0) ++links_.held_;
    ++e.Holds;
}

void TJNotify::Unhold(TJNotify* other) noexcept {
    TJLinks::Entry* e = other->links_.Find(this);
    if (e && (e->Holds & kHoldCount)) {
        --e->Holds;
        if ((e->Holds & kHoldCount) == 0) {
            --links_.held_;
            if (e->Holds == 0) other->links_.Erase(this);
        }
    }
}

std::uint32_t TJNotify::Holds(const TJNotify* other) const noexcept {
    const TJLinks::Entry* e = const_cast<TJLinks&>(const_cast<TJNotify*>(other)->links_).Find(this);
    return e ? e->Holds & kHoldCount : 0;
}

}  // namespace kestrel
