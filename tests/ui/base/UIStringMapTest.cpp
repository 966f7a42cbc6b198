#include "ui/base/UIStringMap.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using ui::CUIStringMap;

namespace {
void* P(long n) { return reinterpret_cast<void*>(n); }
} // namespace

TEST(UIStringMap, InsertRefusesAPresentKeySetReplaces)
{
    CUIStringMap map;
    EXPECT_TRUE(map.Insert("Combo", P(1)));
    EXPECT_FALSE(map.Insert("Combo", P(2)));
    EXPECT_EQ(P(1), map.Find("Combo"));
    EXPECT_EQ(P(1), map.Set("Combo", P(2)));
    EXPECT_EQ(P(2), map.Find("Combo"));
    EXPECT_EQ(nullptr, map.Set("Edit", P(3)));
    EXPECT_EQ(P(3), map.Find("Edit"));
    EXPECT_EQ(nullptr, map.Find("combo")); // exact, case-sensitive
}

TEST(UIStringMap, HashCountsHighBytesNegative)
{
    EXPECT_EQ(0xFFFFFFB0u, CUIStringMap::Hash("\xB0"));
    EXPECT_EQ(0u, CUIStringMap::Hash(""));
    // Bytes are taken from the last to the first: "ab" = 'b' * 33 + 'a'.
    EXPECT_EQ(98u * 33u + 97u, CUIStringMap::Hash("ab"));
}

TEST(UIStringMap, CollidingKeysShareABucket)
{
    CUIStringMap map(1);
    for (long i = 0; i < 20; ++i)
        ASSERT_TRUE(map.Insert(("k" + std::to_string(i)).c_str(), P(i + 1)));
    EXPECT_TRUE(map.Remove("k7"));
    EXPECT_FALSE(map.Remove("k7"));
    EXPECT_EQ(nullptr, map.Find("k7"));
    EXPECT_EQ(P(9), map.Find("k8"));
    EXPECT_EQ(P(20), map.Find("k19"));
    EXPECT_EQ(19, map.GetSize());
}

TEST(UIStringMap, IterationVisitsEveryKeyOnce)
{
    CUIStringMap map;
    std::set<std::string> keys = {"Button", "Label", "网吧", "VerticalLayout"};
    for (const auto& k : keys)
        map.Insert(k.c_str(), nullptr);
    std::set<std::string> seen;
    for (int i = 0; i < map.GetSize(); ++i)
        seen.insert(map.GetAt(i));
    EXPECT_EQ(keys, seen);
    EXPECT_EQ(nullptr, map.GetAt(map.GetSize()));
}

TEST(UIStringMap, AfterRemoveAllNothingIsStored)
{
    CUIStringMap map;
    map.Insert("a", P(1));
    map.RemoveAll();
    EXPECT_EQ(0, map.GetBucketCount());
    EXPECT_EQ(nullptr, map.Find("a"));
    EXPECT_FALSE(map.Insert("a", P(1)));
    EXPECT_EQ(P(5), map.Set("a", P(5))); // handed back, not stored
    EXPECT_EQ(nullptr, map.Find("a"));
    EXPECT_FALSE(map.Remove("a"));
}
