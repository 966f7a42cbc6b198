#include "ui/base/UIPtrArray.h"

#include <gtest/gtest.h>

using ui::CUIPtrArray;

namespace {
void* P(long n) { return reinterpret_cast<void*>(n); }
} // namespace

TEST(UIPtrArray, CapacityRuns11Then22)
{
    CUIPtrArray a;
    EXPECT_EQ(0, a.GetCapacity());
    for (long i = 1; i <= 10; ++i)
        ASSERT_TRUE(a.Add(P(i)));
    EXPECT_EQ(11, a.GetCapacity());
    ASSERT_TRUE(a.Add(P(11)));
    EXPECT_EQ(22, a.GetCapacity());
    EXPECT_EQ(11, a.GetSize());
    EXPECT_EQ(P(11), a.GetAt(10));
}

TEST(UIPtrArray, InsertAtMovesTheRestUp)
{
    CUIPtrArray a;
    a.Add(P(1));
    a.Add(P(3));
    ASSERT_TRUE(a.InsertAt(1, P(2)));
    ASSERT_TRUE(a.InsertAt(0, P(0)));
    ASSERT_TRUE(a.InsertAt(4, P(4))); // the count itself appends
    ASSERT_EQ(5, a.GetSize());
    for (long i = 0; i < 5; ++i)
        EXPECT_EQ(P(i), a.GetAt(static_cast<int>(i)));
}

TEST(UIPtrArray, OutOfRangeIndexesChangeNothing)
{
    CUIPtrArray a;
    a.Add(P(1));
    a.Add(P(2));
    EXPECT_FALSE(a.InsertAt(3, P(9)));
    EXPECT_FALSE(a.InsertAt(-1, P(9)));
    EXPECT_FALSE(a.Remove(2));
    EXPECT_FALSE(a.Remove(-1));
    EXPECT_FALSE(a.SetAt(2, P(9)));
    EXPECT_EQ(nullptr, a.GetAt(2));
    EXPECT_EQ(nullptr, a.GetAt(-1));
    ASSERT_EQ(2, a.GetSize());
    EXPECT_EQ(P(1), a.GetAt(0));
    EXPECT_EQ(P(2), a.GetAt(1));
}

TEST(UIPtrArray, RemoveFindAndEmpty)
{
    CUIPtrArray a;
    for (long i = 0; i < 30; ++i)
        a.Add(P(i));
    EXPECT_TRUE(a.Remove(0));
    EXPECT_TRUE(a.Remove(28));
    EXPECT_EQ(28, a.GetSize());
    EXPECT_EQ(P(1), a.GetAt(0));
    EXPECT_EQ(P(28), a.GetAt(27));
    EXPECT_EQ(4, a.Find(P(5)));
    EXPECT_EQ(-1, a.Find(P(0)));

    CUIPtrArray copy(a);
    EXPECT_EQ(28, copy.GetSize());
    a.Empty();
    EXPECT_EQ(0, a.GetSize());
    EXPECT_EQ(0, a.GetCapacity());
    EXPECT_EQ(P(28), copy.GetAt(27));
}
