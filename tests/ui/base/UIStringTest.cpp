#include "ui/base/UIString.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using ui::CUIString;

TEST(UIString, EmptyByDefaultAndInline)
{
    CUIString s;
    EXPECT_STREQ("", s.GetData());
    EXPECT_EQ(0, s.GetLength());
    EXPECT_TRUE(s.IsInline());
    CUIString fromNull(nullptr);
    EXPECT_STREQ("", fromNull.GetData());
}

TEST(UIString, InlineUpTo62BytesHeapFrom63)
{
    std::string t62(62, 'a'), t63(63, 'b');
    CUIString s(t62.c_str());
    EXPECT_TRUE(s.IsInline());
    EXPECT_EQ(62, s.GetLength());

    s.Assign(t63.c_str());
    EXPECT_FALSE(s.IsInline());
    EXPECT_EQ(t63, s.GetData());

    s.Assign("0123456789");
    EXPECT_TRUE(s.IsInline());
    EXPECT_STREQ("0123456789", s.GetData());
}

TEST(UIString, AssignCopiesExactlyLengthBytes)
{
    CUIString s;
    s.Assign("abcdef", 3);
    EXPECT_STREQ("abc", s.GetData());
    s.Assign(nullptr, 5);
    EXPECT_STREQ("", s.GetData());
}

TEST(UIString, AssignFromItsOwnText)
{
    std::string longText(100, 'x');
    longText += "tail";
    CUIString s(longText.c_str());
    s.Assign(s.GetData() + 100); // heap text to its own tail, inline afterwards
    EXPECT_STREQ("tail", s.GetData());

    CUIString t("inline text");
    t.Assign(t.GetData() + 7);
    EXPECT_STREQ("text", t.GetData());
}

TEST(UIString, AppendMovesToHeapKeepingContent)
{
    std::string t60(60, 'c');
    CUIString s(t60.c_str());
    s.Append("12345");
    EXPECT_FALSE(s.IsInline());
    EXPECT_EQ(65, s.GetLength());
    EXPECT_EQ(t60 + "12345", s.GetData());

    s.Append('!');
    s += "?";
    EXPECT_EQ(t60 + "12345!?", s.GetData());
    EXPECT_STREQ("ab", (CUIString("a") + "b").GetData());
}

TEST(UIString, AppendItself)
{
    CUIString s("abc");
    s.Append(s.GetData());
    EXPECT_STREQ("abcabc", s.GetData());
    std::string t40(40, 'z');
    CUIString h(t40.c_str());
    h.Append(h.GetData());
    EXPECT_EQ(t40 + t40, h.GetData());
}

TEST(UIString, EmptyReturnsToInlineBuffer)
{
    CUIString s(std::string(200, 'q').c_str());
    s.Empty();
    EXPECT_TRUE(s.IsInline());
    EXPECT_TRUE(s.IsEmpty());
}

TEST(UIString, LeftClampsItsCount)
{
    CUIString s("abc");
    EXPECT_STREQ("", s.Left(-3).GetData());
    EXPECT_STREQ("abc", s.Left(100).GetData());
    EXPECT_STREQ("ab", s.Left(2).GetData());
}

TEST(UIString, CopyAndCompare)
{
    CUIString a(std::string(80, 'm').c_str());
    CUIString b(a);
    EXPECT_TRUE(a == b);
    b = "other";
    EXPECT_TRUE(b == "other");
    EXPECT_TRUE(b != a);
    EXPECT_LT(CUIString("a").Compare("b"), 0);
    a = a;
    EXPECT_EQ(80, a.GetLength());
}

TEST(UIString, FormatControlNames)
{
    CUIString s;
    EXPECT_EQ(10, s.Format("lbl_token%d", 3));
    EXPECT_STREQ("lbl_token3", s.GetData());
    s.Format("%s-%u", "网吧", 42u);
    EXPECT_STREQ("网吧-42", s.GetData());
}

TEST(UIString, FormatOwnTextAsFormat)
{
    CUIString s("n%d");
    s.Format(s.GetData(), 7);
    EXPECT_STREQ("n7", s.GetData());
}

// A result longer than the 64-byte format buffer used to be written past it.
TEST(UIString, FormatCutsLongResultsAt63Bytes)
{
    std::string long200(200, 'w');
    CUIString s;
    EXPECT_EQ(200, s.Format("%s", long200.c_str()));
    EXPECT_EQ(63, s.GetLength());
    EXPECT_EQ(std::string(63, 'w'), s.GetData());

    // 62 ASCII bytes and then a three-byte character: cut before it.
    std::string cut = std::string(62, 'a') + "网";
    s.Format("%s", cut.c_str());
    EXPECT_EQ(std::string(62, 'a'), s.GetData());
}

TEST(UIString, GetAtOutsideIsNul)
{
    CUIString s("ab");
    EXPECT_EQ('b', s.GetAt(1));
    EXPECT_EQ('\0', s.GetAt(2));
    EXPECT_EQ('\0', s.GetAt(-1));
}
