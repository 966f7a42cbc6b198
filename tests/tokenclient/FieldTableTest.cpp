#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <string>

#include "tokenclient/FieldTable.h"

namespace {

TEST(FieldTableTest, HashTakesBytesAsSigned)
{
    EXPECT_EQ(0u, FieldTable::Hash("", 0));
    EXPECT_EQ(113759u, FieldTable::Hash("seq", 3));  // ('s' * 31 + 'e') * 31 + 'q'
    // 0xC4 counts as -60: 31 * (-60) + 'a' wraps around.
    EXPECT_EQ(static_cast<uint32_t>(31 * -60 + 'a'), FieldTable::Hash("\xC4" "a", 2));
}

TEST(FieldTableTest, GrowsThroughTheListOfSizes)
{
    FieldTable table;
    EXPECT_EQ(0u, table.BucketCount());
    std::deque<std::string> keys;  // the table keeps pointers into these
    const size_t expected[][2] = {{1, 11}, {6, 11}, {7, 23}, {12, 23}, {13, 97}, {49, 97}, {50, 397},
                                  {199, 397}, {200, 1597}, {799, 1597}, {800, 6577}, {3289, 6577}, {3290, 25523}};
    size_t row = 0;
    for (size_t count = 1; count <= 3290; ++count) {
        keys.push_back("key" + std::to_string(count));
        table.Set(keys.back().data(), keys.back().size(), "v", 1);
        if (row < sizeof expected / sizeof expected[0] && expected[row][0] == count) {
            EXPECT_EQ(expected[row][1], table.BucketCount()) << count << " entries";
            ++row;
        }
    }
    EXPECT_EQ(3290u, table.Count());
    FieldText value;
    for (const std::string& key : keys)
        ASSERT_TRUE(table.Find(key.c_str(), value)) << key;
}

TEST(FieldTableTest, ReplacingAKeyDoesNotGrow)
{
    FieldTable table;
    for (int i = 0; i < 100; ++i)
        table.Set("seq", 3, i % 2 ? "odd" : "even", i % 2 ? 3 : 4);
    EXPECT_EQ(1u, table.Count());
    EXPECT_EQ(11u, table.BucketCount());
    FieldText value;
    ASSERT_TRUE(table.Find("seq", value));
    EXPECT_EQ("odd", std::string(value.text, value.length));
}

TEST(FieldTableTest, KeysDifferingOnlyInLengthOrCollidingStayApart)
{
    FieldTable table;
    table.Set("token-ttl", 5, "short", 5);  // "token"
    table.Set("token-ttl", 9, "long", 4);
    // "Aa" and "BB" share a hash.
    ASSERT_EQ(FieldTable::Hash("Aa", 2), FieldTable::Hash("BB", 2));
    table.Set("Aa", 2, "1", 1);
    table.Set("BB", 2, "2", 1);
    FieldText value;
    ASSERT_TRUE(table.Find("token", value));
    EXPECT_EQ("short", std::string(value.text, value.length));
    ASSERT_TRUE(table.Find("token-ttl", value));
    EXPECT_EQ("long", std::string(value.text, value.length));
    ASSERT_TRUE(table.Find("Aa", value));
    EXPECT_EQ('1', value.text[0]);
    ASSERT_TRUE(table.Find("BB", value));
    EXPECT_EQ('2', value.text[0]);
    EXPECT_FALSE(table.Find("token-", value));
}

TEST(FieldTableTest, ClearKeepsTheBuckets)
{
    FieldTable table;
    std::deque<std::string> keys;
    for (int i = 0; i < 20; ++i) {
        keys.push_back("k" + std::to_string(i));
        table.Set(keys.back().data(), keys.back().size(), "v", 1);
    }
    table.Clear();
    EXPECT_EQ(0u, table.Count());
    EXPECT_EQ(97u, table.BucketCount());
    FieldText value;
    EXPECT_FALSE(table.Find("k3", value));
}

} // namespace
