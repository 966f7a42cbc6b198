#include <gtest/gtest.h>
#include <cstring>

TEST(Toolchain, LiteralsAreUtf8)
{
    // "网" is U+7F51, 0xE7 0xBD 0x91 in UTF-8, whatever the system's code page.
    const char* text = "网";
    ASSERT_EQ(3u, std::strlen(text));
    EXPECT_EQ(0xE7, static_cast<unsigned char>(text[0]));
    EXPECT_EQ(0xBD, static_cast<unsigned char>(text[1]));
    EXPECT_EQ(0x91, static_cast<unsigned char>(text[2]));
}
