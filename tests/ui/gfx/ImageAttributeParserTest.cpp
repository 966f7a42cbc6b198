// The image attribute string: pairs, plain names, several images in one
// string, modifiers and malformed input.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/gfx/ImageAttributeParser.h"

namespace {

using ui::CImageAttributeParser;
using ui::UIImageDrawInfo;
using ui::UIImageRect;

const UIImageRect kControl = { 100, 50, 300, 90 };

bool SameRect(const UIImageRect& a, const UIImageRect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Describe(const UIImageRect& rc)
{
    return std::to_string(rc.left) + "," + std::to_string(rc.top) + "," + std::to_string(rc.right) + ","
        + std::to_string(rc.bottom);
}

struct Drawn
{
    std::string name;
    std::string type;
    UIImageRect dest;
};

void Record(const UIImageDrawInfo& info, void* context)
{
    static_cast<std::vector<Drawn>*>(context)->push_back({ info.name.GetData(), info.resourceType.GetData(), info.dest });
}

// Parses `text` like a paint would: defaults first, then the string.
UIImageDrawInfo ParseOne(const char* text, std::vector<Drawn>* drawn = nullptr)
{
    std::vector<Drawn> ignored;
    UIImageDrawInfo info;
    info.Reset(text, kControl);
    CImageAttributeParser parser(kControl, &Record, drawn != nullptr ? drawn : &ignored);
    parser.Parse(text, info);
    return info;
}

struct NameCase
{
    const char* text;
    const char* name;
    const char* type;
    UIImageRect source;
};

class ImageAttributeNameTest : public ::testing::TestWithParam<NameCase>
{
};

TEST_P(ImageAttributeNameTest, ReadsNameTypeAndSource)
{
    const NameCase& c = GetParam();
    UIImageDrawInfo info = ParseOne(c.text);
    EXPECT_STREQ(c.name, info.name.GetData()) << c.text;
    EXPECT_STREQ(c.type, info.resourceType.GetData()) << c.text;
    EXPECT_TRUE(SameRect(c.source, info.source)) << c.text << ": " << Describe(info.source);
}

INSTANTIATE_TEST_SUITE_P(
    Strings, ImageAttributeNameTest,
    ::testing::Values(
        NameCase{ "res='118' restype='png' source='0,0,100,22' corner='2,2,20,2'", "118", "png", { 0, 0, 100, 22 } },
        // Only the first four numbers of a source count.
        NameCase{ "res='119' restype='png' source='16,0,32,16,16'", "119", "png", { 16, 0, 32, 16 } },
        // A plain name stays the whole string.
        NameCase{ "logo.png", "logo.png", "", { 0, 0, 0, 0 } },
        NameCase{ "file='a.png'", "a.png", "", { 0, 0, 0, 0 } },
        // Blanks around keys and equals signs are skipped; blanks after the
        // separators of numbers are read.
        NameCase{ "  file = 'a b.png' source='1, 2, 3, 4'", "a b.png", "", { 1, 2, 3, 4 } },
        // Missing numbers read as 0 without passing the end of the value.
        NameCase{ "file='a.png' source='5,6'", "a.png", "", { 5, 6, 0, 0 } },
        // After a value without digits the next number starts one character on.
        NameCase{ "file='a.png' source='-1,+2,x,4'", "a.png", "", { -1, 2, 0, 0 } },
        // Empty values and unknown keys are ignored.
        NameCase{ "file='' res='7' colour='red' restype=''", "7", "", { 0, 0, 0, 0 } },
        // Malformed pairs stop the reading; what came before stays.
        NameCase{ "file='a.png' source '1,2,3,4'", "a.png", "", { 0, 0, 0, 0 } },
        NameCase{ "file='a.png' source=1,2,3,4", "a.png", "", { 0, 0, 0, 0 } },
        NameCase{ "file='a.png' source='1,2,3,4", "a.png", "", { 0, 0, 0, 0 } },
        NameCase{ "file='a.png'source='1,2,3,4'", "a.png", "", { 0, 0, 0, 0 } },
        NameCase{ "file='a.png',source='1,2,3,4'", "a.png", "", { 0, 0, 0, 0 } },
        // A string that does not start with a pair keeps its whole text.
        NameCase{ "x source='1,2,3,4'", "x source='1,2,3,4'", "", { 0, 0, 0, 0 } },
        NameCase{ "", "", "", { 0, 0, 0, 0 } }));

TEST(ImageAttributeParser, ReadsEverySetting)
{
    UIImageDrawInfo info = ParseOne("file='a.png' corner='2,3,4,5' mask='#FFFF00FF' fade='128' hole='true' "
                                    "xtiled='true' ytiled='TRUE'");
    UIImageRect corner = { 2, 3, 4, 5 };
    EXPECT_TRUE(SameRect(corner, info.corner));
    EXPECT_EQ(0xFFFF00FFu, info.mask);
    EXPECT_EQ(128, info.fade);
    EXPECT_TRUE(info.hole);
    EXPECT_TRUE(info.xTiled);
    EXPECT_FALSE(info.yTiled);  // only the exact "true"
    EXPECT_TRUE(SameRect(kControl, info.dest));
}

TEST(ImageAttributeParser, DefaultsLeaveTheWholeControlAndFullOpacity)
{
    UIImageDrawInfo info = ParseOne("file='a.png'");
    EXPECT_EQ(255, info.fade);
    EXPECT_EQ(0u, info.mask);
    EXPECT_FALSE(info.hole || info.xTiled || info.yTiled);
    EXPECT_TRUE(SameRect(kControl, info.dest));
}

TEST(ImageAttributeParser, MaskWithoutHashAndOutOfRangeFade)
{
    struct Case
    {
        const char* text;
        unsigned mask;
        int fade;
    } cases[] = {
        { "mask='ff00ff' fade='0'", 0x00FF00FFu, 0 },
        { "mask='#123456789' fade='300'", 0xFFFFFFFFu, 255 },
        { "mask='zz' fade='-5'", 0u, 0 },
    };
    for (const Case& c : cases) {
        UIImageDrawInfo info = ParseOne(c.text);
        EXPECT_EQ(c.mask, info.mask) << c.text;
        EXPECT_EQ(c.fade, info.fade) << c.text;
    }
}

TEST(ImageAttributeParser, DestIsOffsetByTheControlAndCutOnlyAtItsRightAndBottom)
{
    UIImageRect inside = { 110, 55, 130, 75 };
    EXPECT_TRUE(SameRect(inside, ParseOne("dest='10,5,30,25'").dest));
    // Beyond the control: cut at the right and bottom, not at the left and top.
    UIImageRect cut = { 90, 40, 300, 90 };
    EXPECT_TRUE(SameRect(cut, ParseOne("dest='-10,-10,500,500'").dest)) << Describe(ParseOne("dest='-10,-10,500,500'").dest);
}

// Numbers near the limits of int in "dest" used to overflow a signed int when the control's position was added.
TEST(ImageAttributeParser, DestNearTheLimitsOfIntStaysWithinHalfTheirRange)
{
    const int half = 2147483647 / 2;
    UIImageRect outside = { half, half, 300, 90 };
    EXPECT_TRUE(SameRect(outside, ParseOne("dest='2147483647,2147483647,2147483647,2147483647'").dest))
        << Describe(ParseOne("dest='2147483647,2147483647,2147483647,2147483647'").dest);
    UIImageRect before = { -half, -half, -half, -half };
    EXPECT_TRUE(SameRect(before, ParseOne("dest='-2147483648,-2147483648,-2147483648,-2147483648'").dest))
        << Describe(ParseOne("dest='-2147483648,-2147483648,-2147483648,-2147483648'").dest);

    // The widths and heights the blit takes by subtraction fit in an int.
    UIImageDrawInfo wide = ParseOne("dest='-99999999999,-99999999999,99999999999,99999999999'");
    EXPECT_EQ(300 + half, static_cast<long long>(wide.dest.right) - wide.dest.left);
    EXPECT_EQ(90 + half, static_cast<long long>(wide.dest.bottom) - wide.dest.top);

    // Source and corner numbers, which the blit adds to each other and to the destination, keep within a quarter.
    const int quarter = 2147483647 / 4;
    UIImageDrawInfo far = ParseOne("source='-2147483648,0,2147483647,5' corner='2147483647,1,0,-2147483648'");
    UIImageRect source = { -quarter, 0, quarter, 5 };
    UIImageRect corner = { quarter, 1, 0, -quarter };
    EXPECT_TRUE(SameRect(source, far.source)) << Describe(far.source);
    EXPECT_TRUE(SameRect(corner, far.corner)) << Describe(far.corner);

    // A control far from the origin still offsets ordinary numbers exactly.
    UIImageRect control = { 2000000000, 2000000000, 2000000100, 2000000100 };
    UIImageDrawInfo info;
    info.Reset("", control);
    CImageAttributeParser parser(control, nullptr, nullptr);
    parser.Parse("dest='-1999999990,-1999999990,2000000000,5'", info);
    UIImageRect offset = { 10, 10, half, half };
    EXPECT_TRUE(SameRect(offset, info.dest)) << Describe(info.dest);
}

TEST(ImageAttributeParser, EachNewFileDrawsThePendingImageFirst)
{
    std::vector<Drawn> drawn;
    UIImageDrawInfo info = ParseOne("file='a.png' dest='0,0,2,2' file='b.png' dest='2,0,4,2'", &drawn);
    ASSERT_EQ(1u, drawn.size());
    EXPECT_EQ("a.png", drawn[0].name);
    UIImageRect first = { 100, 50, 102, 52 };
    EXPECT_TRUE(SameRect(first, drawn[0].dest));
    EXPECT_STREQ("b.png", info.name.GetData());
    UIImageRect second = { 102, 50, 104, 52 };
    EXPECT_TRUE(SameRect(second, info.dest));
}

TEST(ImageAttributeParser, ResourcesCountAsPendingFromTheirType)
{
    std::vector<Drawn> drawn;
    // "res" alone adds nothing to the count; its "restype" does.
    UIImageDrawInfo info = ParseOne("res='1' restype='png' res='2' restype='bmp'", &drawn);
    ASSERT_EQ(2u, drawn.size());
    EXPECT_EQ("1", drawn[0].name);
    EXPECT_EQ("png", drawn[0].type);
    EXPECT_EQ("2", drawn[1].name);
    EXPECT_EQ("png", drawn[1].type);
    EXPECT_STREQ("2", info.name.GetData());
    EXPECT_STREQ("bmp", info.resourceType.GetData());

    drawn.clear();
    ParseOne("res='1' res='2'", &drawn);
    EXPECT_TRUE(drawn.empty());
}

TEST(ImageAttributeParser, ModifierOverridesSingleSettingsAndStartsWithoutPendingImages)
{
    std::vector<Drawn> drawn;
    UIImageDrawInfo info;
    const char* image = "file='a.png' source='0,0,100,22' fade='200'";
    info.Reset(image, kControl);
    CImageAttributeParser parser(kControl, &Record, &drawn);
    parser.Parse(image, info);
    EXPECT_EQ(1, parser.GetPending());
    parser.ResetPending();
    parser.Parse("source='0,22,100,44' file='b.png'", info);
    EXPECT_TRUE(drawn.empty());
    UIImageRect source = { 0, 22, 100, 44 };
    EXPECT_TRUE(SameRect(source, info.source));
    EXPECT_EQ(200, info.fade);
    EXPECT_STREQ("b.png", info.name.GetData());

    // A modifier without pairs changes nothing.
    parser.ResetPending();
    parser.Parse("other.png", info);
    EXPECT_STREQ("b.png", info.name.GetData());
}

TEST(ImageAttributeParser, ReadRectNeverPassesTheEnd)
{
    struct Case
    {
        const char* text;
        UIImageRect rect;
    } cases[] = {
        { "", { 0, 0, 0, 0 } },
        { "1", { 1, 0, 0, 0 } },
        { "1,", { 1, 0, 0, 0 } },
        { "1,2,3,4,5,6", { 1, 2, 3, 4 } },
        { "1;2;3;4", { 1, 2, 3, 4 } },
        { "99999999999,-99999999999,0,0", { 2147483647, -2147483647 - 1, 0, 0 } },
    };
    for (const Case& c : cases)
        EXPECT_TRUE(SameRect(c.rect, CImageAttributeParser::ReadRect(c.text))) << c.text;
}

} // namespace
