#include "ui/base/AnsiCodePage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

using ui::CAnsiCodePage;

namespace {

std::string Convert(const char* utf8, int size = -1)
{
    if (size < 0)
        size = static_cast<int>(std::strlen(utf8));
    int length = -1;
    char* ansi = CAnsiCodePage::Utf8ToAnsi(utf8, size, &length);
    EXPECT_NE(nullptr, ansi);
    if (!ansi)
        return "<null>";
    std::string result(ansi);
    EXPECT_EQ(static_cast<int>(result.size()), length);
    std::free(ansi);
    return result;
}

} // namespace

TEST(AnsiCodePage, Utf8BecomesCodePage936)
{
    struct Row
    {
        const char* utf8;
        const char* ansi;
    };
    const Row rows[] = {
        {u8"", ""},
        {u8"plain ASCII <>&\"", "plain ASCII <>&\""},
        {u8"微软雅黑", "微软雅黑"},
        {u8"Wavorin(网吧专用)", "Wavorin(网吧专用)"},
        {u8"€", "\x80"},
        {u8"a\u0E01b", "a?b"},   // no such character in the code page
        {"a\xFF" "b", "a?b"},    // not UTF-8
        {"\xE7\xBD", "?"},        // cut in the middle of a character
        {"\xE7\xBDx\xE7", "?x?"},
        {"\xC0\x80\x80", "???"}, // overlong, a stray continuation byte
        {u8"a\U0001F600b", "a??b"},     // outside the basic plane: a pair of halves
        {u8"\uFEFFa", "?a"},            // a byte-order mark inside the text
        {u8"\u00B7\u30FB\uFFFD", "\xA1\xA4??"},
        // Runs of ASCII longer than a word, around characters of different blocks.
        {u8"0123456789abcdefg微0123456789€z网", "0123456789abcdefg微0123456789\x80z网"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.ansi, Convert(row.utf8)) << row.utf8;
}

TEST(AnsiCodePage, EmbeddedNulIsKept)
{
    int length = 0;
    char* ansi = CAnsiCodePage::Utf8ToAnsi("a\0b", 3, &length);
    ASSERT_NE(nullptr, ansi);
    EXPECT_EQ(3, length);
    EXPECT_EQ(0, std::memcmp(ansi, "a\0b", 4));
    std::free(ansi);
}

TEST(AnsiCodePage, LeadBytesAndStepping)
{
    EXPECT_TRUE(CAnsiCodePage::IsLeadByte(0x81));
    EXPECT_TRUE(CAnsiCodePage::IsLeadByte(0xB0));
    EXPECT_TRUE(CAnsiCodePage::IsLeadByte(0xFE));
    EXPECT_FALSE(CAnsiCodePage::IsLeadByte(0x80));
    EXPECT_FALSE(CAnsiCodePage::IsLeadByte(0xFF));
    EXPECT_FALSE(CAnsiCodePage::IsLeadByte('a'));

    const char* text = "a网";
    EXPECT_EQ(text + 1, CAnsiCodePage::Next(text));
    EXPECT_EQ(text + 3, CAnsiCodePage::Next(text + 1));
    EXPECT_EQ(text + 3, CAnsiCodePage::Next(text + 3)); // stays on the NUL
    const char* cut = "\xB0";
    EXPECT_EQ(cut + 1, CAnsiCodePage::Next(cut)); // a lead byte never steps over the NUL
}
