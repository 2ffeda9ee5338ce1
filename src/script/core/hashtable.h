// String-keyed hash tables with a fixed number of buckets.
//
// The bucket of a key: h := 0; for each byte b (0..255, lower-cased through the code
// page service when the table ignores case) h := rotl(h, 2) xor b; bucket := h mod
// count. Within a bucket the items stay sorted by the code page's string order
// (case-insensitively when the table ignores case). The key list is every key,
// bucket after bucket, each bucket in its sorted order; it is the order in which
// members are listed and enumerated, so it is part of what scripts see.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kestrel {

// A lookup of a missing key in a table that raises on missing keys.
class EHashTableError : public std::runtime_error {
public:
    EHashTableError() : std::runtime_error("dont has key") {}
};

std::uint32_t HashKeyIgnoringCase(std::string_view key) noexcept;
inline std::uint32_t HashKey(std::string_view key, bool ignoreCase) noexcept {
    if (ignoreCase) return HashKeyIgnoringCase(key);
    std::uint32_t h = 0;
    for (char c : key) h = ((h << 2) | (h >> 30)) ^ static_cast<unsigned char>(c);
    return h;
}
// Bucket index of Key in a table of BucketCount buckets.
inline std::size_t HashBucket(std::string_view key, std::size_t bucketCount, bool ignoreCase) noexcept {
    return HashKey(key, ignoreCase) % (bucketCount ? bucketCount : 1);
}
// The order of keys within a bucket (<0, 0, >0).
int CompareKeys(std::string_view a, std::string_view b, bool ignoreCase) noexcept;
// Byte equality of two names, which are short: a loop beats a call of memcmp.
inline bool SameBytes(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) return false;
    return true;
}
// Key equality under the same rule.
inline bool SameKey(std::string_view a, std::string_view b, bool ignoreCase) noexcept;

template <class V>
class TCustomHashTable {
public:
    struct Item {
        std::string Key;
        V Value;
        std::uint32_t Bucket;
    };

    explicit TCustomHashTable(std::size_t bucketCount, bool ignoreCase = false)
        : bucketCount_(static_cast<std::uint32_t>(bucketCount ? bucketCount : 1)), ignoreCase_(ignoreCase) {}
    TCustomHashTable(TCustomHashTable&&) noexcept = default;
    TCustomHashTable& operator=(TCustomHashTable&&) noexcept = default;

    std::size_t BucketCount() const noexcept { return bucketCount_; }
    bool IgnoreCase() const noexcept { return ignoreCase_; }
    std::size_t Count() const noexcept { return count_; }
    bool Empty() const noexcept { return count_ == 0; }
    // Changes whenever an item is added or removed, the only changes that move items:
    // a value found in the table stays where it is while the layout is the same.
    std::uint32_t Layout() const noexcept { return layout_; }
    // False when no key of this case-sensitive hash (HashKey) was stored since the last
    // clear, so that a key known by its hash is surely absent; true otherwise.
    bool MayHoldHash(std::uint32_t hash) const noexcept { return ignoreCase_ || MayHold(hash); }

    // Off unless set: Get of a missing key raises EHashTableError.
    bool RaiseOnMissing = false;

    V* Find(std::string_view key) noexcept {
        if (count_ == 0) return nullptr;
        if (!buckets_ && count_ <= kScanAt && !ignoreCase_) {
            // A handful of items (the variables of a call): comparing is cheaper than hashing.
            for (Item& item : small_)
                if (SameBytes(item.Key, key)) return &item.Value;
            return nullptr;
        }
        const std::uint32_t hash = HashKey(key, ignoreCase_);
        if (!MayHold(hash)) return nullptr;
        const auto bucket = static_cast<std::uint32_t>(hash % bucketCount_);
        std::vector<Item>& items = ItemsOf(bucket);
        auto [i, found] = Locate(items, bucket, key, false);
        return found ? &items[i].Value : nullptr;
    }
    const V* Find(std::string_view key) const noexcept { return const_cast<TCustomHashTable*>(this)->Find(key); }

    // Find, first trying the item at Hint, which a lookup of the same name left there
    // (the index where it was found in a small table); a hint that no longer fits
    // only costs the usual search. Finding the key stores its index in Hint.
    V* FindHinted(std::string_view key, std::uint8_t& hint) noexcept {
        if (count_ == 0) return nullptr;
        if (buckets_ || ignoreCase_) return Find(key);
        if (hint < small_.size() && SameBytes(small_[hint].Key, key)) return &small_[hint].Value;
        std::size_t i = 0;
        if (count_ <= kScanAt) {
            while (i < small_.size() && !SameBytes(small_[i].Key, key)) ++i;
            if (i == small_.size()) return nullptr;
        } else {
            const std::uint32_t hash = HashKey(key, false);
            if (!MayHold(hash)) return nullptr;
            const auto [at, found] = Locate(small_, static_cast<std::uint32_t>(hash % bucketCount_), key, false);
            if (!found) return nullptr;
            i = at;
        }
        if (i <= 0xFF) hint = static_cast<std::uint8_t>(i);
        return &small_[i].Value;
    }
    // The value at Hint when the key there is Key (a small case-sensitive table), else
    // null: the quick first try of FindHinted, kept small enough to inline.
    V* FindAtHint(std::string_view key, std::uint8_t hint) noexcept {
        return !buckets_ && hint < small_.size() && SameBytes(small_[hint].Key, key) && !ignoreCase_
                   ? &small_[hint].Value
                   : nullptr;
    }
    bool HasKey(std::string_view key) const noexcept { return Find(key) != nullptr; }
    // Copies the value of Key; false (Value untouched) when Key is not in the table.
    bool TryGet(std::string_view key, V& value) const {
        const V* v = Find(key);
        if (v) value = *v;
        return v != nullptr;
    }

    // A copy of the value, or V{} for a missing key (EHashTableError with RaiseOnMissing).
    V Get(std::string_view key) const {
        if (const V* v = Find(key)) return *v;
        if (RaiseOnMissing) throw EHashTableError();
        return V{};
    }

    // The slot of Key, inserted with a default value when absent; Second tells whether it is new.
    std::pair<V*, bool> Slot(std::string_view key) {
        const std::uint32_t hash = HashKey(key, ignoreCase_);
        const auto bucket = static_cast<std::uint32_t>(hash % bucketCount_);
        std::vector<Item>* items = &ItemsOf(bucket);
        auto [i, found] = Locate(*items, bucket, key);
        if (found) return {&(*items)[i].Value, false};
        if (!buckets_ && count_ >= kSplitAt) {
            Split();
            items = &ItemsOf(bucket);
            i = Locate(*items, bucket, key).first;
        }
        if (items->capacity() == 0) items->reserve(buckets_ ? 2 : kFirstCapacity);
        if (i == items->size()) items->push_back(Item{std::string(key), V{}, bucket});
        else items->insert(items->begin() + static_cast<std::ptrdiff_t>(i), Item{std::string(key), V{}, bucket});
        Mark(hash);
        ++count_;
        ++layout_;
        keysDirty_ = true;
        return {&(*items)[i].Value, true};
    }

    // Stores Value under Key, replacing an earlier one. True when the key is new.
    bool Put(std::string_view key, V value) {
        auto [slot, added] = Slot(key);
        *slot = std::move(value);
        return added;
    }

    // Removes Key and moves its value to Out. False when absent.
    bool Take(std::string_view key, V& out) {
        if (count_ == 0) return false;
        const std::uint32_t bucket = BucketOf(key);
        std::vector<Item>& items = ItemsOf(bucket);
        auto [i, found] = Locate(items, bucket, key);
        if (!found) return false;
        out = std::move(items[i].Value);
        items.erase(items.begin() + static_cast<std::ptrdiff_t>(i));
        if (items.empty()) std::vector<Item>().swap(items);  // an empty bucket is discarded
        --count_;
        ++layout_;
        keysDirty_ = true;
        return true;
    }
    bool Remove(std::string_view key) {
        V gone{};
        return Take(key, gone);
    }

    // Moves every item out in key-list order and leaves the table empty.
    std::vector<Item> TakeAll() {
        std::vector<Item> all;
        if (buckets_) {
            all.reserve(count_);
            for (std::size_t b = 0; b < bucketCount_; ++b)
                for (Item& item : buckets_[b]) all.push_back(std::move(item));
            buckets_.reset();
        } else {
            all.swap(small_);
        }
        count_ = 0;
        ++layout_;
        seen_[0] = seen_[1] = 0;
        keysDirty_ = true;
        return all;
    }
    void Clear() { TakeAll(); }
    // Empties a small table in place, keeping its room; false (changing nothing) for a
    // table that has split into buckets.
    bool ClearSmall() {
        if (buckets_) return false;
        small_.clear();
        count_ = 0;
        ++layout_;
        seen_[0] = seen_[1] = 0;
        keysDirty_ = true;
        return true;
    }
    // Makes this empty table a copy of Other when Other is a small table of the same
    // shape (the items then keep their order); false, changing nothing, otherwise.
    bool CopySmallFrom(const TCustomHashTable& other) {
        if (count_ != 0 || buckets_ || other.buckets_ || other.bucketCount_ != bucketCount_ ||
            other.ignoreCase_ != ignoreCase_)
            return false;
        small_ = other.small_;
        count_ = other.count_;
        ++layout_;
        seen_[0] = other.seen_[0];
        seen_[1] = other.seen_[1];
        keysDirty_ = true;
        return true;
    }
    // Takes back the storage of items taken with TakeAll, emptied, so that a small
    // table refilled after a clear (a scope used again) allocates nothing.
    void GiveBackRoom(std::vector<Item>&& room) noexcept {
        room.clear();
        if (!buckets_ && small_.empty() && room.capacity() > small_.capacity()) small_.swap(room);
    }

    // Every key in key-list order (rebuilt after an insert or removal).
    const std::vector<std::string>& Keys() const {
        if (!keys_) {
            keys_ = std::make_unique<std::vector<std::string>>();
            keysDirty_ = true;
        }
        if (keysDirty_) {
            keys_->clear();
            keys_->reserve(count_);
            ForEach([this](const std::string& key, const V&) { keys_->push_back(key); });
            keysDirty_ = false;
        }
        return *keys_;
    }

    // Calls F(key, value) for every item in key-list order. F must not change the table.
    template <class F>
    void ForEach(F&& f) {
        if (!buckets_) {
            for (Item& item : small_) f(std::as_const(item.Key), item.Value);
            return;
        }
        for (std::size_t b = 0; b < bucketCount_; ++b)
            for (Item& item : buckets_[b]) f(std::as_const(item.Key), item.Value);
    }
    template <class F>
    void ForEach(F&& f) const {
        const_cast<TCustomHashTable*>(this)->ForEach(
            [&f](const std::string& key, V& value) { f(key, std::as_const(value)); });
    }

private:
    // A small table keeps all its items in one vector ordered by bucket and then by
    // key, which is the key-list order; past this size it splits into buckets.
    static constexpr std::size_t kSplitAt = 32;
    // Up to this size a case-sensitive lookup compares every key instead of hashing.
    static constexpr std::size_t kScanAt = 16;
    // Room for the first members or variables, in one allocation: most objects hold
    // one or two members (an item is 64 bytes), and a million small objects must stay
    // small; tables that grow past it double as vectors do.
    static constexpr std::size_t kFirstCapacity = 2;

    // A bit per key hash ever stored since the last clear: a lookup whose bit is
    // clear misses without a search (the names that no scope on the way holds).
    static constexpr std::uint64_t SeenBit(std::uint32_t hash) noexcept { return std::uint64_t(1) << ((hash ^ (hash >> 7)) & 63); }
    static constexpr unsigned SeenWord(std::uint32_t hash) noexcept { return (hash >> 13) & 1; }
    bool MayHold(std::uint32_t hash) const noexcept { return seen_[SeenWord(hash)] & SeenBit(hash); }
    void Mark(std::uint32_t hash) noexcept { seen_[SeenWord(hash)] |= SeenBit(hash); }

    std::uint32_t BucketOf(std::string_view key) const noexcept {
        return static_cast<std::uint32_t>(HashBucket(key, bucketCount_, ignoreCase_));
    }
    std::vector<Item>& ItemsOf(std::uint32_t bucket) noexcept { return buckets_ ? buckets_[bucket] : small_; }

    void Split() {
        auto buckets = std::make_unique<std::vector<Item>[]>(bucketCount_);
        for (Item& item : small_) buckets[item.Bucket].push_back(std::move(item));
        std::vector<Item>().swap(small_);
        buckets_ = std::move(buckets);
    }

    // Position of Key among the items of Bucket (or, with WantPlace, where it belongs)
    // and whether it is there.
    std::pair<std::size_t, bool> Locate(const std::vector<Item>& items, std::uint32_t bucket,
                                        std::string_view key, bool wantPlace = true) const noexcept {
        std::size_t lo = 0, hi = items.size();
        if (!buckets_) {
            // Narrow to the bucket's run in the ordered vector (by halves: runs are short).
            std::size_t end = hi;
            while (lo < end) {
                const std::size_t mid = lo + (end - lo) / 2;
                if (items[mid].Bucket < bucket) lo = mid + 1;
                else end = mid;
            }
            hi = lo;
            while (hi < items.size() && items[hi].Bucket == bucket) ++hi;
        }
        // Short runs: an equality scan is cheaper than ordered comparisons.
        if (hi - lo <= 4) {
            for (std::size_t i = lo; i < hi; ++i)
                if (SameKey(items[i].Key, key, ignoreCase_)) return {i, true};
            if (!wantPlace) return {hi, false};  // a lookup that misses needs no place
        }
        while (lo < hi) {
            std::size_t mid = lo + (hi - lo) / 2;
            int c = CompareKeys(items[mid].Key, key, ignoreCase_);
            if (c == 0) return {mid, true};
            if (c < 0) lo = mid + 1;
            else hi = mid;
        }
        return {lo, false};
    }

    // Packed: every object has a member table, and a million objects must stay small.
    std::uint32_t bucketCount_;
    std::uint32_t count_ = 0;
    bool ignoreCase_;
    mutable bool keysDirty_ = false;
    std::uint32_t layout_ = 0;  // in the room the flags leave before seen_
    std::uint64_t seen_[2] = {0, 0};
    std::vector<Item> small_;                       // the items while the table is small
    std::unique_ptr<std::vector<Item>[]> buckets_;  // the buckets once it has split
    // The key list, made when it is first asked for (few tables are ever listed).
    mutable std::unique_ptr<std::vector<std::string>> keys_;
};

bool SameKeyIgnoringCase(std::string_view a, std::string_view b) noexcept;
inline bool SameKey(std::string_view a, std::string_view b, bool ignoreCase) noexcept {
    // The string order calls only identical names equal.
    return ignoreCase ? SameKeyIgnoringCase(a, b) : SameBytes(a, b);
}

// Items own a text, a bare integer, a bare pointer, or an object.
using TStringHashTable = TCustomHashTable<std::string>;
using TIntegerHashTable = TCustomHashTable<std::int32_t>;
using TPointerHashTable = TCustomHashTable<void*>;
template <class T>
using TObjectHashTable = TCustomHashTable<std::unique_ptr<T>>;

}  // namespace kestrel
