// String-keyed hash tables with a fixed number of buckets.
//
// The bucket of a key comes from a rotate-and-xor hash of its bytes (lower-cased
// first when the table ignores case); each bucket keeps its items sorted by key in
// the code page service's fixed string order and finds them by binary search.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kestrel {

// Bucket index of Key in a table of BucketCount buckets.
std::size_t HashBucket(std::string_view key, std::size_t bucketCount, bool ignoreCase);

// Key to bare integer.
class TIntegerHashTable {
public:
    explicit TIntegerHashTable(std::size_t bucketCount, bool ignoreCase = false);

    // Adds Key or replaces its value.
    void Put(std::string_view key, std::int32_t value);
    // False (Value untouched) when Key is not in the table.
    bool TryGet(std::string_view key, std::int32_t& value) const;
    bool Remove(std::string_view key);
    std::size_t Count() const { return count_; }

private:
    using Bucket = std::vector<std::pair<std::string, std::int32_t>>;
    // Index of the first item not ordered before Key.
    std::size_t LowerBound(const Bucket& bucket, std::string_view key) const;
    int CompareKeys(std::string_view a, std::string_view b) const;

    bool ignoreCase_;
    std::size_t count_ = 0;
    std::vector<Bucket> buckets_;
};

}  // namespace kestrel
