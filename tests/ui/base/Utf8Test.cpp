#include "ui/base/Utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using ui::CUtf8;
using ui::CWideText;
using ui::UIWideChar;

namespace {

typedef std::vector<unsigned> Units;

Units ToUnits(const UIWideChar* text, int length)
{
    Units units;
    for (int i = 0; i < length; ++i)
        units.push_back(static_cast<unsigned>(text[i]) & 0xFFFF);
    return units;
}

// The byte counts of the characters that Next steps over.
std::vector<int> Steps(const std::string& text)
{
    std::vector<int> steps;
    for (const char* p = text.c_str(); *p != '\0';) {
        const char* next = CUtf8::Next(p);
        steps.push_back(static_cast<int>(next - p));
        p = next;
    }
    return steps;
}

} // namespace

// Each row: UTF-8 bytes, their UTF-16 units, the bytes of each character
// as Next steps, and the UTF-8 that the units convert back to.
TEST(Utf8, ConvertsAndStepsEveryKindOfText)
{
    struct Row
    {
        const char* name;
        std::string utf8;
        Units utf16;
        std::vector<int> steps;
        std::string back;
    };
    const std::string fffd = "\xEF\xBF\xBD";
    const Row rows[] = {
        { "empty", "", {}, {}, "" },
        { "ASCII", "a<\"&", { 'a', '<', '"', '&' }, { 1, 1, 1, 1 }, "a<\"&" },
        { "CJK", "网吧", { 0x7F51, 0x5427 }, { 3, 3 }, "网吧" },
        { "two bytes", "\xC3\xA9", { 0xE9 }, { 2 }, "\xC3\xA9" },
        { "outside the basic plane", "a\xF0\x9F\x98\x80z", { 'a', 0xD83D, 0xDE00, 'z' }, { 1, 4, 1 },
          "a\xF0\x9F\x98\x80z" },
        { "highest character", "\xF4\x8F\xBF\xBF", { 0xDBFF, 0xDFFF }, { 4 }, "\xF4\x8F\xBF\xBF" },
        // Broken: one replacement for each longest beginning of a sequence.
        { "stray continuation", "\x80x", { 0xFFFD, 'x' }, { 1, 1 }, fffd + "x" },
        { "never a lead byte", "\xFF\xC0\x80", { 0xFFFD, 0xFFFD, 0xFFFD }, { 1, 1, 1 }, fffd + fffd + fffd },
        { "cut before a quote", "\xE7\xBD\"", { 0xFFFD, '"' }, { 2, 1 }, fffd + "\"" },
        { "overlong", "\xE0\x80\xAF", { 0xFFFD, 0xFFFD, 0xFFFD }, { 1, 1, 1 }, fffd + fffd + fffd },
        { "encoded surrogate", "\xED\xA0\x80", { 0xFFFD, 0xFFFD, 0xFFFD }, { 1, 1, 1 }, fffd + fffd + fffd },
        { "beyond U+10FFFF", "\xF4\x90\x80\x80", { 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD }, { 1, 1, 1, 1 },
          fffd + fffd + fffd + fffd },
        { "truncated at the end", "a\xF0\x9F\x98", { 'a', 0xFFFD }, { 1, 3 }, "a" + fffd },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        UIWideChar wide[16];
        int units = CUtf8::ToUtf16(row.utf8.c_str(), -1, wide, 16);
        EXPECT_EQ(row.utf16, ToUnits(wide, units));
        EXPECT_EQ(0, wide[units]);
        EXPECT_EQ(row.steps, Steps(row.utf8));

        char utf8[64];
        int bytes = CUtf8::FromUtf16(wide, units, utf8, sizeof utf8);
        EXPECT_EQ(row.back, std::string(utf8, bytes));
        EXPECT_EQ('\0', utf8[bytes]);

        CWideText copy(row.utf8.c_str());
        EXPECT_EQ(row.utf16, ToUnits(copy.GetData(), copy.GetLength()));
    }
}

// Each row: UTF-16 units that no UTF-8 text gives, and their UTF-8.
TEST(Utf8, LoneSurrogatesBecomeReplacementCharacters)
{
    struct Row
    {
        Units utf16;
        std::string utf8;
    };
    const Row rows[] = {
        { { 0xD800 }, "\xEF\xBF\xBD" },
        { { 'a', 0xDC00, 'z' }, "a\xEF\xBF\xBDz" },
        { { 0xDBFF, 0xD800, 0xDC00 }, "\xEF\xBF\xBD\xF0\x90\x80\x80" },
    };
    for (const Row& row : rows) {
        std::vector<UIWideChar> wide(row.utf16.begin(), row.utf16.end());
        char utf8[32];
        int bytes = CUtf8::FromUtf16(wide.data(), static_cast<int>(wide.size()), utf8, sizeof utf8);
        EXPECT_EQ(row.utf8, std::string(utf8, bytes));
    }
}

TEST(Utf8, ShortRoomEndsBeforeTheCharacterThatDoesNotFit)
{
    UIWideChar wide[3];
    EXPECT_EQ(1, CUtf8::ToUtf16("a\xF0\x9F\x98\x80", -1, wide, 3)); // a pair is never split
    EXPECT_EQ(0, wide[1]);
    const UIWideChar net[] = { 0x7F51, 0x7F51 };
    char utf8[6];
    EXPECT_EQ(3, CUtf8::FromUtf16(net, 2, utf8, sizeof utf8));
    EXPECT_EQ(std::string("网"), utf8);
}

TEST(Utf8, LongTextsNulAndNull)
{
    // A text longer than the inline buffer is converted whole.
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "网a";
    CWideText copy(text.c_str());
    ASSERT_EQ(400, copy.GetLength());
    EXPECT_EQ(0x7F51u, static_cast<unsigned>(copy.GetData()[398]));
    EXPECT_EQ(0, copy.GetData()[400]);

    CWideText withNul("a\0b", 3);
    EXPECT_EQ((Units{ 'a', 0, 'b' }), ToUnits(withNul.GetData(), withNul.GetLength()));
    CWideText none(nullptr);
    EXPECT_EQ(0, none.GetLength());
    EXPECT_EQ(0, none.GetData()[0]);
}
