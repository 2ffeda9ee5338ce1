#include "script/core/hashtable.h"

#include <gtest/gtest.h>

using namespace kestrel;

namespace {
std::string Key(int i) {
    std::string key = "k";
    key += std::to_string(i);
    return key;
}
}  // namespace

TEST(HashTable, BucketIsTheRotateXorHashOfTheBytes) {
    // h = rol2(0 ^ 'a') ^ 'b' = 388 ^ 98 = 486
    EXPECT_EQ(HashBucket("ab", 100, false), 86u);
    EXPECT_EQ(HashBucket("AB", 100, true), 86u);
    EXPECT_NE(HashBucket("AB", 100, false), 86u);
    EXPECT_EQ(HashBucket("\xFF", 1000, false), 255u) << "bytes count as 0..255";
    // Seventeen bytes rotate the first one out through bit 31 and back in.
    EXPECT_EQ(HashBucket("abcdefghijklmnopq", 1000003, false), 143252u);
}

TEST(HashTable, IntegerTable) {
    TIntegerHashTable t(3);
    std::int32_t v = -1;
    EXPECT_FALSE(t.TryGet("a", v));
    EXPECT_EQ(v, -1);
    for (int i = 0; i < 50; ++i) t.Put(Key(i), i);
    t.Put("k7", 700);
    EXPECT_EQ(t.Count(), 50u) << "putting an existing key replaces it";
    for (int i = 0; i < 50; ++i) {
        ASSERT_TRUE(t.TryGet(Key(i), v));
        EXPECT_EQ(v, i == 7 ? 700 : i);
    }
    EXPECT_FALSE(t.TryGet("K7", v)) << "case-sensitive";
    EXPECT_TRUE(t.Remove("k7"));
    EXPECT_FALSE(t.Remove("k7"));
    EXPECT_FALSE(t.TryGet("k7", v));
    EXPECT_EQ(t.Count(), 49u);

    TIntegerHashTable folded(10, true);
    folded.Put("Name", 1);
    folded.Put("NAME", 2);
    EXPECT_EQ(folded.Count(), 1u);
    ASSERT_TRUE(folded.TryGet("name", v));
    EXPECT_EQ(v, 2);
}
