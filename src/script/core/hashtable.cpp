#include "script/core/hashtable.h"

#include "util/CodePage.h"

namespace kestrel {

namespace {

std::uint32_t HashBytes(std::string_view key) {
    std::uint32_t h = 0;
    for (char c : key) h = ((h << 2) | (h >> 30)) ^ static_cast<unsigned char>(c);
    return h;
}

}  // namespace

std::size_t HashBucket(std::string_view key, std::size_t bucketCount, bool ignoreCase) {
    // Case folding goes through the code page, which leaves double-byte characters alone.
    const std::uint32_t h = ignoreCase ? HashBytes(tinctor::CodePage::Current().Lower(key)) : HashBytes(key);
    return h % bucketCount;
}

TIntegerHashTable::TIntegerHashTable(std::size_t bucketCount, bool ignoreCase)
    : ignoreCase_(ignoreCase), buckets_(bucketCount == 0 ? 1 : bucketCount) {}

int TIntegerHashTable::CompareKeys(std::string_view a, std::string_view b) const {
    const auto& cp = tinctor::CodePage::Current();
    return ignoreCase_ ? cp.CompareIgnoreCase(a, b) : cp.Compare(a, b);
}

std::size_t TIntegerHashTable::LowerBound(const Bucket& bucket, std::string_view key) const {
    std::size_t lo = 0, hi = bucket.size();
    while (lo < hi) {
        std::size_t mid = (lo + hi) / 2;
        if (CompareKeys(bucket[mid].first, key) < 0) lo = mid + 1;
        else hi = mid;
    }
    return lo;
}

void TIntegerHashTable::Put(std::string_view key, std::int32_t value) {
    Bucket& bucket = buckets_[HashBucket(key, buckets_.size(), ignoreCase_)];
    std::size_t i = LowerBound(bucket, key);
    if (i < bucket.size() && CompareKeys(bucket[i].first, key) == 0) {
        bucket[i] = {std::string(key), value};
        return;
    }
    bucket.emplace(bucket.begin() + static_cast<std::ptrdiff_t>(i), std::string(key), value);
    ++count_;
}

bool TIntegerHashTable::TryGet(std::string_view key, std::int32_t& value) const {
    const Bucket& bucket = buckets_[HashBucket(key, buckets_.size(), ignoreCase_)];
    if (bucket.size() <= 8) {
        // A short bucket is faster scanned than searched; equal keys are found either way.
        const auto& cp = tinctor::CodePage::Current();
        for (const auto& item : bucket) {
            if (ignoreCase_ ? cp.EqualsIgnoreCase(item.first, key) : item.first == key) {
                value = item.second;
                return true;
            }
        }
        return false;
    }
    std::size_t i = LowerBound(bucket, key);
    if (i == bucket.size() || CompareKeys(bucket[i].first, key) != 0) return false;
    value = bucket[i].second;
    return true;
}

bool TIntegerHashTable::Remove(std::string_view key) {
    Bucket& bucket = buckets_[HashBucket(key, buckets_.size(), ignoreCase_)];
    std::size_t i = LowerBound(bucket, key);
    if (i == bucket.size() || CompareKeys(bucket[i].first, key) != 0) return false;
    bucket.erase(bucket.begin() + static_cast<std::ptrdiff_t>(i));
    --count_;
    return true;
}

}  // namespace kestrel
