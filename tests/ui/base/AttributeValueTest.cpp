#include "ui/base/AttributeValue.h"

#include <gtest/gtest.h>

namespace ui {
namespace {

struct IntListCase
{
    const char* text;
    int supplied;
    int values[4];
};

TEST(AttributeValueTest, IntegerListsReadOneSeparatorBetweenNumbers)
{
    const IntListCase cases[] = {
        { "10,0,0,10", 4, { 10, 0, 0, 10 } },
        { "10, 0, 0, 0", 4, { 10, 0, 0, 0 } },
        { "-110,-60,-10,-10", 4, { -110, -60, -10, -10 } },
        { "1;2x3 4", 4, { 1, 2, 3, 4 } },
        { "1,2", 2, { 1, 2, 0, 0 } },
        { "5,", 2, { 5, 0, 0, 0 } },
        { "1,,3", 3, { 1, 0, 3, 0 } },
        { "16,0,32,16,16", 4, { 16, 0, 32, 16 } },
        { "", 1, { 0, 0, 0, 0 } },
        { "abc", 4, { 0, 0, 0, 0 } },
    };
    for (const IntListCase& c : cases) {
        int values[4] = { 7, 7, 7, 7 };
        EXPECT_EQ(c.supplied, ReadIntListValue(c.text, values, 4)) << c.text;
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(c.values[i], values[i]) << c.text << " value " << i;
    }
}

TEST(AttributeValueTest, IntegerListNeverReadsPastTheText)
{
    // A text ending right after a separator used to send the reader one
    // byte past the terminator; the bytes behind it must not be read.
    char buffer[8] = { '4', ',', '\0', '9', ',', '9', '\0', '\0' };
    int values[3];
    ReadIntListValue(buffer, values, 3);
    EXPECT_EQ(4, values[0]);
    EXPECT_EQ(0, values[1]);
    EXPECT_EQ(0, values[2]);
}

struct TestRect
{
    int left, top, right, bottom;
};

struct TestSize
{
    int cx, cy;
};

struct RectCase
{
    const char* text;
    TestRect rect;
};

TEST(AttributeValueTest, RectanglesAndSizesReadTheirMembersInOrder)
{
    const RectCase cases[] = {
        { "1,2,3,4", { 1, 2, 3, 4 } },
        { "-5, 6, -7, 8", { -5, 6, -7, 8 } },
        { "9,10", { 9, 10, 0, 0 } },
        { "", { 0, 0, 0, 0 } },
        { nullptr, { 0, 0, 0, 0 } },
    };
    for (const RectCase& c : cases) {
        const char* text = c.text != nullptr ? c.text : "(null)";
        TestRect rect = ReadRectValue<TestRect>(c.text);
        EXPECT_EQ(c.rect.left, rect.left) << text;
        EXPECT_EQ(c.rect.top, rect.top) << text;
        EXPECT_EQ(c.rect.right, rect.right) << text;
        EXPECT_EQ(c.rect.bottom, rect.bottom) << text;
        TestSize size = ReadSizeValue<TestSize>(c.text);
        EXPECT_EQ(c.rect.left, size.cx) << text;
        EXPECT_EQ(c.rect.top, size.cy) << text;
    }
}

TEST(AttributeValueTest, IntegersBooleansAndColours)
{
    EXPECT_EQ(12, ReadIntValue("12px"));
    EXPECT_EQ(-7, ReadIntValue("  -7"));
    EXPECT_EQ(0, ReadIntValue(""));
    EXPECT_EQ(0, ReadIntValue("x1"));
    EXPECT_EQ(2147483647, ReadIntValue("99999999999"));
    EXPECT_EQ(0, ReadIntValue(nullptr));

    EXPECT_TRUE(ReadBoolValue("true"));
    EXPECT_FALSE(ReadBoolValue("True"));
    EXPECT_FALSE(ReadBoolValue("true "));
    EXPECT_FALSE(ReadBoolValue("1"));
    EXPECT_FALSE(ReadBoolValue(nullptr));

    EXPECT_EQ(0xFF4775CCu, ReadColorValue("#FF4775CC", false));
    EXPECT_EQ(0xBFBFBFFFu, ReadColorValue("BFBFBFFF", false));
    EXPECT_EQ(0xFF0934DAu, ReadColorValue("  #FF0934DA", true));
    EXPECT_EQ(0u, ReadColorValue("  #FF0934DA", false));
    EXPECT_EQ(0xFF000000u, ReadColorValue("#  FF000000", false));
    EXPECT_EQ(0u, ReadColorValue("#", true));
    EXPECT_EQ(0xFFFFFFFFu, ReadColorValue("#1FFFFFFFF", true));
    EXPECT_EQ(0x12u, ReadColorValue("#12zz", true));
}

} // namespace
} // namespace ui
