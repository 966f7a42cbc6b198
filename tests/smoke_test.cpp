#include <gtest/gtest.h>
#include <cstring>
#ifdef _WIN32
#include <windows.h>
#endif

TEST(Toolchain, LiteralsAreCodePage936)
{
    // "网" is 0xCD 0xF8 in code page 936.
    const char* text = "网";
    ASSERT_EQ(2u, std::strlen(text));
    EXPECT_EQ(0xCD, static_cast<unsigned char>(text[0]));
    EXPECT_EQ(0xF8, static_cast<unsigned char>(text[1]));
}

#ifdef _WIN32
TEST(Toolchain, AnsiCodePageIs936)
{
    EXPECT_EQ(936u, GetACP());
}
#endif
