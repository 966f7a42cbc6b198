#include "ui/gfx/MarkupTokenizer.h"

#include <gtest/gtest.h>

#include <cstring>

using ui::CMarkupTokenizer;
using ui::MarkupToken;

namespace {

struct TokenRow
{
    const char* text;
    bool raw;
    ui::MarkupTokenKind kind;
    char letter;
    const char* argument;
    int length;  // bytes the token covers
};

// A UTF-8 character holds no ASCII byte, and a broken one ends before the
// bracket behind it.
const TokenRow kTokens[] = {
    { "{b}x", false, ui::MarkupOpenTag, 'b', "", 3 },
    { "<b>x", false, ui::MarkupOpenTag, 'b', "", 3 },
    { "{b>x", false, ui::MarkupOpenTag, 'b', "", 3 },
    { "{c #FF0000}42", false, ui::MarkupOpenTag, 'c', " #FF0000", 11 },
    { "{a http://x/y z}", false, ui::MarkupOpenTag, 'a', " http://x/y z", 16 },
    { "{f 微软雅黑 12}", false, ui::MarkupOpenTag, 'f', " 微软雅黑 12", 19 },
    { "{f \xE5\xBE}", false, ui::MarkupOpenTag, 'f', " \xE5\xBE", 6 },
    { "{/b}", false, ui::MarkupCloseTag, 'b', "", 4 },
    { "</bold>", false, ui::MarkupCloseTag, 'b', "", 7 },
    { "<{>", false, ui::MarkupEscape, '{', "", 3 },
    { "<}>", false, ui::MarkupEscape, '}', "", 3 },
    { "{<}", false, ui::MarkupEscape, '<', "", 3 },
    { "{>}", false, ui::MarkupEscape, '>', "", 3 },
    // Not markup: the opening bracket starts a text run.
    { "{bold}", false, ui::MarkupText, 0, "", 1 },
    { "{B}", false, ui::MarkupText, 0, "", 1 },
    { "{}", false, ui::MarkupText, 0, "", 1 },
    { "{/}", false, ui::MarkupText, 0, "", 1 },
    { "{c #FF0000 no end", false, ui::MarkupText, 0, "", 1 },
    { "{/b no end", false, ui::MarkupText, 0, "", 1 },
    { "{f 微软", false, ui::MarkupText, 0, "", 1 },
    { "网{b}", false, ui::MarkupText, 0, "", 3 },
    // Inside a raw passage only its end is markup.
    { "{b}", true, ui::MarkupText, 0, "", 1 },
    { "<{>", true, ui::MarkupText, 0, "", 1 },
    { "{/r}", true, ui::MarkupRawEnd, 'r', "", 4 },
    { "</r>", true, ui::MarkupRawEnd, 'r', "", 4 },
    { "{/r>", true, ui::MarkupRawEnd, 'r', "", 4 },
    { "</r}", true, ui::MarkupRawEnd, 'r', "", 4 },
    { "{/r }", true, ui::MarkupText, 0, "", 1 },
};

TEST(MarkupTokenizerTest, RecognisesTagsEscapesAndText)
{
    for (const TokenRow& row : kTokens) {
        SCOPED_TRACE(row.text);
        MarkupToken token;
        CMarkupTokenizer::Read(row.text, row.raw, token);
        EXPECT_EQ(row.kind, token.kind);
        EXPECT_EQ(row.letter, token.letter);
        EXPECT_STREQ(row.argument, token.argument.GetData());
        EXPECT_EQ(row.length, token.next - row.text);
    }
}

TEST(MarkupTokenizerTest, RunsStopAtBreaksAndOpeningBrackets)
{
    EXPECT_TRUE(CMarkupTokenizer::IsRunStop("", false));
    EXPECT_TRUE(CMarkupTokenizer::IsRunStop("\nx", false));
    EXPECT_TRUE(CMarkupTokenizer::IsRunStop("\r\nx", false));
    EXPECT_FALSE(CMarkupTokenizer::IsRunStop("\rx", false));
    EXPECT_TRUE(CMarkupTokenizer::IsRunStop("{x", false));
    EXPECT_TRUE(CMarkupTokenizer::IsRunStop("<x", false));
    EXPECT_FALSE(CMarkupTokenizer::IsRunStop("{x", true));
    EXPECT_TRUE(CMarkupTokenizer::IsRunStop("{/r}", true));
    EXPECT_FALSE(CMarkupTokenizer::IsRunStop(" x", false));
}

struct FontRow
{
    const char* argument;
    bool byIndex;
    int index;
    const char* face;
    int size;
    bool bold, underline, italic;
};

const FontRow kFonts[] = {
    { " 1", true, 1, "", 10, false, false, false },
    { "-1", true, -1, "", 10, false, false, false },
    { " 微软雅黑 24 bold", false, 0, "微软雅黑", 24, true, false, false },
    { "Arial", false, 0, "Arial", 10, false, false, false },
    { "Arial Italic UNDERLINE", false, 0, "Arial", 10, false, true, true },
    { "Arial 9 bold,italic", false, 0, "Arial", 9, true, false, true },
};

TEST(MarkupTokenizerTest, ReadsFontsByNumberOrByFace)
{
    for (const FontRow& row : kFonts) {
        SCOPED_TRACE(row.argument);
        ui::MarkupFontSpec spec;
        CMarkupTokenizer::ReadFont(row.argument, spec);
        EXPECT_EQ(row.byIndex, spec.byIndex);
        if (row.byIndex) {
            EXPECT_EQ(row.index, spec.index);
            continue;
        }
        EXPECT_STREQ(row.face, spec.face.GetData());
        EXPECT_EQ(row.size, spec.size);
        EXPECT_EQ(row.bold, spec.bold);
        EXPECT_EQ(row.underline, spec.underline);
        EXPECT_EQ(row.italic, spec.italic);
    }
}

struct ImageRow
{
    const char* argument;
    bool image;
    const char* name;
    const char* type;
    int count;
    int index;
};

const ImageRow kImages[] = {
    { "", false, "", "", 1, 0 },
    { "   ", false, "", "", 1, 0 },
    { " icon.png", true, "icon.png", "", 1, 0 },
    { " strip.png 3 2", true, "strip.png", "", 3, 2 },
    { " strip.png 0 5", true, "strip.png", "", 1, 0 },
    { " strip.png 3 3", true, "strip.png", "", 3, 0 },
    { " strip.png 3 -1", true, "strip.png", "", 3, 0 },
    { " res='110' restype='png' 2 1", true, "110", "png", 2, 1 },
    { " file='my icon.png'", true, "my icon.png", "", 1, 0 },
    // The pairs stop at one not followed by a space.
    { " file='a.png'restype='png'", true, "a.png", "", 1, 0 },
    { " restype='png' res='7", true, "", "png", 1, 0 },
};

TEST(MarkupTokenizerTest, ReadsInlineImages)
{
    for (const ImageRow& row : kImages) {
        SCOPED_TRACE(row.argument);
        ui::MarkupImageSpec spec;
        EXPECT_EQ(row.image, CMarkupTokenizer::ReadImage(row.argument, spec));
        if (!row.image)
            continue;
        EXPECT_STREQ(row.name, spec.name.GetData());
        EXPECT_STREQ(row.type, spec.resourceType.GetData());
        EXPECT_EQ(row.count, spec.count);
        EXPECT_EQ(row.index, spec.index);
    }
}

} // namespace
