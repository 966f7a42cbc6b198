// Plain and marked-up text painted into an off-screen DIB: measured sizes,
// colours, fonts, links, images, line breaking and clipping, and texts drawn
// again from their recorded layout.

#include "ui/gfx/Renderer.h"

#include <gtest/gtest.h>

#include "tests/ui/gfx/TextTestSupport.h"
#include "ui/base/UIString.h"
#include "ui/base/Utf8.h"
#include "ui/core/WindowHostUI.h"
#include "ui/gfx/TextLayoutCache.h"

using texttest::Canvas;
using ui::CRenderer;

namespace {

const char kFace[] = "微软雅黑";
const DWORD kBlack = 0xFF000000;
const DWORD kRed = 0x00FF0000;
const DWORD kGreen = 0x0000FF00;
const DWORD kBlue = 0x000000FF;

// Images of the tests: "strip.png" has two 8 x 8 frames, green then blue;
// "wide.png" is a green 60 x 10 bar; nothing else loads.
ui::UIImageInfo* LoadTestImage(const char* name, const char* resourceType, DWORD mask)
{
    (void)resourceType;
    (void)mask;
    bool strip = strcmp(name, "strip.png") == 0;
    if (!strip && strcmp(name, "wide.png") != 0)
        return nullptr;
    int width = strip ? 16 : 60;
    int height = strip ? 8 : 10;
    DWORD* bits = nullptr;
    HBITMAP bitmap = CRenderer::CreateTopDownDib(nullptr, width, height, &bits);
    if (bitmap == nullptr)
        return nullptr;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bits[y * width + x] = strip && x >= 8 ? 0xFF0000FF : 0xFF00FF00;
    ui::UIImageInfo* info = new ui::UIImageInfo;
    info->bitmap = bitmap;
    info->width = width;
    info->height = height;
    return info;
}

class TextRendererTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        host.SetBaseFont(kFace, 12, false, false, false);
        ASSERT_NE(nullptr, host.RegisterFont(kFace, 12, false, false, false));  // 0
        ASSERT_NE(nullptr, host.RegisterFont(kFace, 24, false, false, false));  // 1
        ASSERT_NE(nullptr, host.RegisterFont(kFace, 24, false, true, false));   // 2
        previousLoader = ui::CWindowHostUI::SetImageLoader(LoadTestImage);
    }
    void TearDown() override { ui::CWindowHostUI::SetImageLoader(previousLoader); }

    RECT Measure(const char* text, UINT style = 0, int width = 9999)
    {
        RECT rc = { 0, 0, width, 100 };
        int links = 0;
        CRenderer::DrawMarkupText(canvas.dc(), &host, rc, text, kBlack, nullptr, nullptr, links,
                                  style | DT_CALCRECT);
        return rc;
    }
    void Draw(const char* text, RECT rc, UINT style = 0, DWORD color = kBlack)
    {
        int links = 0;
        CRenderer::DrawMarkupText(canvas.dc(), &host, rc, text, color, nullptr, nullptr, links, style);
    }
    int Extent(const char* text, int font = -1)
    {
        HGDIOBJ old = ::SelectObject(canvas.dc(), host.GetFontRecord(font)->font);
        SIZE size = { 0, 0 };
        ui::CWideText wide(text);
        ::GetTextExtentPoint32W(canvas.dc(), wide, wide.GetLength(), &size);
        ::SelectObject(canvas.dc(), old);
        return size.cx;
    }
    int LineHeight(int font = -1)
    {
        const TEXTMETRICW& tm = host.GetFontRecord(font)->metrics;
        return tm.tmHeight + tm.tmExternalLeading;
    }

    ui::CWindowHostUI host;
    Canvas canvas{ 240, 100 };
    ui::UIImageLoader previousLoader = nullptr;
};

TEST_F(TextRendererTest, FontAndColourApplyOnlyInsideTheirTags)
{
    RECT rc = { 0, 0, 240, 60 };
    Draw("{f 1}{c #FF0000}42{/c}{/f}ab", rc);
    RECT red = canvas.ColorBox(kRed);
    RECT black = canvas.ColorBox(0);
    ASSERT_LT(red.left, red.right);
    ASSERT_LT(black.left, black.right);
    EXPECT_LE(red.right, black.left + 1);
    // The digits are in the large font, the letters in the default one.
    EXPECT_GT(red.bottom - red.top, black.bottom - black.top);
    EXPECT_NEAR(Extent("42", 1) + Extent("ab"), Measure("{f 1}{c #FF0000}42{/c}{/f}ab").right, 1);
}

TEST_F(TextRendererTest, CountdownRunsShareTheLineBottom)
{
    const char* text = "验证码将在{f 1}{c #FF0000}59{/c}{/f}秒后过期";
    RECT size = Measure(text);
    EXPECT_EQ(LineHeight(1), size.bottom);
    EXPECT_NEAR(Extent("验证码将在") + Extent("59", 1) + Extent("秒后过期"), size.right, 1);

    RECT rc = { 0, 0, 240, 60 };
    Draw(text, rc);
    RECT red = canvas.ColorBox(kRed);
    RECT black = canvas.ColorBox(0);
    // The small characters stand low in the tall line, not at its top.
    const TEXTMETRICW& big = host.GetFontRecord(1)->metrics;
    const TEXTMETRICW& small = host.GetDefaultFontRecord()->metrics;
    EXPECT_GE(black.top, LineHeight(1) - LineHeight() - 1);
    EXPECT_NEAR(red.bottom, black.bottom, big.tmDescent - small.tmDescent + 2);
}

TEST_F(TextRendererTest, CalculateOnlyMeasuresAndDrawsNothing)
{
    RECT rc = { 0, 0, 9999, 100 };
    int links = 0;
    CRenderer::DrawMarkupText(canvas.dc(), &host, rc, "{b}abc{/b} def", kBlack, nullptr, nullptr, links,
                              DT_CALCRECT);
    EXPECT_EQ(0, canvas.InkCount());
    EXPECT_GT(rc.right, Extent("abc def") - 1);
    EXPECT_LT(rc.right, 9999);
    EXPECT_EQ(LineHeight(), rc.bottom);
    // The rectangle shrinks to the width and grows to the height.
    EXPECT_EQ(3 * LineHeight(), Measure("a\nb{n}c").bottom);
    EXPECT_EQ(40, Measure("{y 40}a").bottom);
}

TEST_F(TextRendererTest, StylesAreFontVariantsThatStayInTheHost)
{
    int fonts = host.GetFontCount();
    RECT rc = { 0, 0, 240, 40 };
    Draw("WWW", rc);
    int plain = canvas.InkCount();
    canvas.Clear();
    Draw("{b}WWW{/b}", rc);
    EXPECT_GT(canvas.InkCount(), plain);
    canvas.Clear();
    Draw("{i}x{/i}{u}y{/u}", rc);
    EXPECT_NE(nullptr, host.FindFont(kFace, 12, true, false, false));
    EXPECT_NE(nullptr, host.FindFont(kFace, 12, false, false, true));
    EXPECT_NE(nullptr, host.FindFont(kFace, 12, false, true, false));
    EXPECT_EQ(fonts + 3, host.GetFontCount());
    // Drawing again finds the variants instead of making new ones.
    Draw("{b}a{/b}{i}b{/i}", rc);
    EXPECT_EQ(fonts + 3, host.GetFontCount());
}

TEST_F(TextRendererTest, UnderlineDrawsARowUnderTheText)
{
    RECT rc = { 0, 0, 240, 40 };
    Draw("{c #0000FF}{u}mmmm{/u}{/c}", rc);
    RECT box = canvas.ColorBox(kBlue);
    int widest = 0;
    for (int y = box.top; y < box.bottom; ++y) {
        int run = 0;
        for (int x = box.left; x < box.right; ++x) {
            run = canvas.IsNear(x, y, kBlue, 80) ? run + 1 : 0;
            widest = run > widest ? run : widest;
        }
    }
    EXPECT_GE(widest, (box.right - box.left) * 9 / 10);
}

TEST_F(TextRendererTest, AlreadyUnderlinedFontStillPopsAtTheClosingTag)
{
    // Font 2 is underlined: {u} pushes nothing, {/u} pops font 2 itself, so
    // "b" comes out in the default font.
    EXPECT_NEAR(Extent("a", 2) + Extent("b"), Measure("{f 2}{u}a{/u}b{/f}").right, 1);
}

TEST_F(TextRendererTest, FontThatCannotBeMadeKeepsTheStackBalanced)
{
    // A face too long for the platform makes no font; its closing tag must
    // pop what its opening tag pushed, so "b" stays in font 1.
    EXPECT_NEAR(Extent("ab", 1), Measure("{f 1}{f AFaceNameFarTooLongForThePlatformField 12}a{/f}b{/f}").right, 1);
}

TEST_F(TextRendererTest, StrayClosingLinkRecordsNoLink)
{
    RECT rects[2] = {};
    ui::CUIString texts[2];
    int count = 2;
    RECT rc = { 0, 0, 240, 40 };
    CRenderer::DrawMarkupText(canvas.dc(), &host, rc, "a{/a}b", kBlack, rects, texts, count, 0);
    EXPECT_EQ(0, count);
}

TEST_F(TextRendererTest, RawPassagesAndEscapesDrawBrackets)
{
    EXPECT_EQ(Extent("{b}"), Measure("{r}{b}{/r}").right);
    EXPECT_EQ(Extent("{b}"), Measure("<{>b<}>").right);
    EXPECT_EQ(Extent("<x>"), Measure("{<}x{>}").right);
    EXPECT_EQ(Extent("{"), Measure("<{>").right);
    EXPECT_EQ(Extent("a{/b}"), Measure("{r}a{/b}</r>").right);
}

TEST_F(TextRendererTest, UnknownAndUnclosedTagsAndDoubleByteCharacters)
{
    EXPECT_EQ(Extent("ab"), Measure("{q}a{/q}{z 1}b").right);
    EXPECT_EQ(Extent("{c #FF0000 ab"), Measure("{c #FF0000 ab").right);
    // A character cut short does not take the brace behind it: the tag opens.
    EXPECT_EQ(Extent("\xE5\xBEx"), Measure("\xE5\xBE{q}x").right);

    RECT rc = { 0, 0, 240, 40 };
    Draw("{c #FF0000 ab", rc);
    EXPECT_EQ(0, canvas.Count([this](int x, int y) { return canvas.IsNear(x, y, kRed); }));
}

TEST_F(TextRendererTest, LinesBreakAtTheRightEdge)
{
    int wide = Extent("中");
    // Double-byte characters are never split: one per line.
    RECT one = Measure("中文字", DT_WORDBREAK, wide + wide / 2);
    EXPECT_EQ(wide, one.right);
    EXPECT_EQ(3 * LineHeight(), one.bottom);

    int width = Extent("aaa b");
    RECT broken = Measure("aaa bbb", DT_WORDBREAK, width);
    EXPECT_EQ(2 * LineHeight(), broken.bottom);
    EXPECT_EQ(Extent("aaa "), broken.right);
    RECT cut = Measure("aaa bbb", 0, width);
    EXPECT_EQ(width, cut.right);

    // A single line shows only what fits.
    EXPECT_EQ(LineHeight(), Measure("aaa bbb", DT_SINGLELINE | DT_WORDBREAK, width).bottom);
    EXPECT_EQ(LineHeight(), Measure("a{n}b", DT_SINGLELINE).bottom);
    EXPECT_EQ(Extent("ab"), Measure("a{n}b", DT_SINGLELINE).right);
}

TEST_F(TextRendererTest, ParagraphsAddSpacingToTheirLines)
{
    EXPECT_EQ(LineHeight() + 10, Measure("{p 10}a").bottom);
    EXPECT_EQ(2 * LineHeight() + 6, Measure("a{p 6}b").bottom);
}

// Tag numbers near the limits of int used to wrap the pen and the line height around: two far moves left drew
// the text at the left edge, and huge spacings measured a negative or shrinking height.
TEST_F(TextRendererTest, TagNumbersNearTheLimitsOfIntDoNotWrapThePenAround)
{
    Draw("{x -2147483647}{x -2147483647}WW", { 0, 0, 240, 100 });
    EXPECT_EQ(0, canvas.InkCount());
    EXPECT_GT(Measure("{p 2147483647}a").bottom, 0);
    EXPECT_GE(Measure("{y 2147483647}a{n}{y 2147483647}b{n}c").bottom, Measure("{y 2147483647}a").bottom);
}

TEST_F(TextRendererTest, EndEllipsisKeepsTheDotsInside)
{
    const char* text = "abcdefghijklmnop";
    RECT rc = { 10, 10, 10 + Extent("abcdefg"), 40 };
    Draw(text, rc, DT_SINGLELINE | DT_END_ELLIPSIS);
    RECT withDots = canvas.InkBox();
    EXPECT_FALSE(canvas.InkOutside(rc));
    EXPECT_LE(withDots.right, rc.right);
    Canvas dots(240, 100);
    int links = 0;
    RECT same = rc;
    CRenderer::DrawMarkupText(dots.dc(), &host, same, text, kBlack, nullptr, nullptr, links, DT_SINGLELINE);
    EXPECT_FALSE(canvas.SameAs(dots));
    EXPECT_EQ(rc.right - 10, Measure(text, DT_SINGLELINE | DT_END_ELLIPSIS, rc.right - 10).right);
}

TEST_F(TextRendererTest, NothingIsDrawnOutsideTheRectangle)
{
    RECT rc = { 20, 20, 80, 32 };
    Draw("{f 1}WWWWWWWW{/f}WWWW\nWWWW", rc);
    EXPECT_GT(canvas.InkCount(), 0);
    EXPECT_FALSE(canvas.InkOutside(rc));
    // The clip region the DC had before (none) is back.
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(0, ::GetClipRgn(canvas.dc(), region));
    ::DeleteObject(region);
}

TEST_F(TextRendererTest, SingleLineIsAlignedByItsMeasuredWidth)
{
    RECT rc = { 0, 0, 200, 40 };
    Draw("{b}iiii{/b}WW", rc, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    RECT ink = canvas.InkBox();
    EXPECT_NEAR(100, (ink.left + ink.right) / 2, 3);
    EXPECT_NEAR(20, (ink.top + ink.bottom) / 2, 4);

    canvas.Clear();
    Draw("WW", rc, DT_SINGLELINE | DT_RIGHT | DT_BOTTOM);
    EXPECT_NEAR(200, canvas.InkBox().right, 2);
    EXPECT_GE(canvas.InkBox().top, 40 - LineHeight());

    // Wider than the rectangle: it starts at the left and stays inside.
    canvas.Clear();
    RECT narrow = { 50, 0, 90, 40 };
    Draw("WWWWWWWWWWWW", narrow, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    EXPECT_FALSE(canvas.InkOutside(narrow));
    EXPECT_LE(canvas.InkBox().left, 52);
}

TEST_F(TextRendererTest, LinksAreRecordedAndDrawnInLinkColours)
{
    RECT rects[4] = {};
    ui::CUIString texts[4];
    int count = 4;
    RECT rc = { 0, 0, 240, 60 };
    CRenderer::DrawMarkupText(canvas.dc(), &host, rc, "go {a http://x}here{/a} now", kBlack, rects, texts,
                              count, 0);
    ASSERT_EQ(1, count);
    EXPECT_STREQ("http://x", texts[0].GetData());
    EXPECT_EQ(Extent("go "), rects[0].left);
    EXPECT_EQ(0, rects[0].top);
    EXPECT_NEAR(Extent("go here"), rects[0].right, 1);
    EXPECT_EQ(LineHeight(), rects[0].bottom);
    RECT blue = canvas.ColorBox(kBlue);
    EXPECT_GE(blue.left, rects[0].left);
    EXPECT_LE(blue.right, rects[0].right + 1);

    // The host's last mouse position over the link turns it to the hover
    // colour at the next paint.
    HWND window = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 240, 60, nullptr, nullptr, nullptr,
                                    nullptr);
    ASSERT_NE(nullptr, window);
    host.AttachWindow(window);
    LRESULT result = 0;
    host.ProcessMessage(WM_MOUSEMOVE, 0, MAKELPARAM(rects[0].left + 2, 5), result);
    canvas.Clear();
    CRenderer::DrawMarkupText(canvas.dc(), &host, rc, "go {a http://x}here{/a} now", kBlack, rects, texts,
                              count, 0);
    EXPECT_EQ(0, canvas.Count([this](int x, int y) { return canvas.IsNear(x, y, kBlue); }));
    EXPECT_GT(canvas.Count([this](int x, int y) { return canvas.IsNear(x, y, 0xD3215F, 60); }), 0);
    host.AttachWindow(nullptr);
    ::DestroyWindow(window);
}

TEST_F(TextRendererTest, WrappedLinkGivesOneRectanglePerLine)
{
    RECT rects[4] = {};
    ui::CUIString texts[4];
    int count = 4;
    RECT rc = { 0, 0, Extent("xx aaaa "), 100 };
    CRenderer::DrawMarkupText(canvas.dc(), &host, rc, "xx {a t}aaaa bbbb{/a}", kBlack, rects, texts, count,
                              DT_WORDBREAK);
    ASSERT_EQ(2, count);
    EXPECT_STREQ("t", texts[0].GetData());
    EXPECT_STREQ("t", texts[1].GetData());
    EXPECT_EQ(Extent("xx "), rects[0].left);
    EXPECT_EQ(0, rects[1].left);
    EXPECT_EQ(rects[0].bottom, rects[1].top);
}

TEST_F(TextRendererTest, MoreLinksThanSlotsKeepTheCountAtTheCapacity)
{
    RECT rects[1] = {};
    ui::CUIString texts[1];
    int count = 1;
    RECT rc = { 0, 0, 240, 40 };
    CRenderer::DrawMarkupText(canvas.dc(), &host, rc, "{a one}1{/a} {a two}mmmm{/a}", kBlack, rects, texts,
                              count, 0);
    EXPECT_EQ(1, count);
    EXPECT_STREQ("one", texts[0].GetData());
    EXPECT_GT(canvas.ColorBox(kBlue).right, Extent("1 m"));
}

TEST_F(TextRendererTest, InlineImagesDrawTheirFrameAndWrap)
{
    RECT rc = { 0, 0, 240, 60 };
    Draw("{i strip.png 2 1}", rc);
    EXPECT_GT(canvas.Count([this](int x, int y) { return canvas.IsNear(x, y, kBlue, 0); }), 60);
    EXPECT_EQ(0, canvas.Count([this](int x, int y) { return canvas.IsNear(x, y, kGreen, 0); }));

    // Too wide for what is left of the line: it goes to the next one.
    canvas.Clear();
    RECT narrow = { 0, 0, Extent("aaaa") + 30, 60 };
    Draw("aaaa{i wide.png}", narrow);
    RECT green = canvas.ColorBox(kGreen);
    EXPECT_EQ(0, green.left);
    EXPECT_GE(green.top, LineHeight());
    EXPECT_EQ(2 * LineHeight(), Measure("aaaa{i wide.png}", 0, narrow.right).bottom);

    // An image that cannot be loaded is skipped.
    EXPECT_EQ(Extent("ab"), Measure("a{i missing.png}b").right);
}

TEST_F(TextRendererTest, PositionAndSelection)
{
    RECT rc = { 0, 0, 240, 40 };
    Draw("{x 20}a", rc);
    EXPECT_GE(canvas.InkBox().left, 20);
    canvas.Clear();
    Draw("{s}ab{/s}", rc);
    EXPECT_GT(canvas.Count([this](int x, int y) { return canvas.IsNear(x, y, 0xBAE4FF, 0); }), 10);
}

TEST_F(TextRendererTest, MissingInputsLeaveEverythingUntouched)
{
    RECT rects[1] = { { 1, 2, 3, 4 } };
    int count = 1;
    RECT rc = { 0, 0, 50, 20 };
    CRenderer::DrawMarkupText(canvas.dc(), &host, rc, nullptr, kBlack, rects, nullptr, count, DT_CALCRECT);
    CRenderer::DrawMarkupText(canvas.dc(), nullptr, rc, "a", kBlack, rects, nullptr, count, DT_CALCRECT);
    RECT empty = { 10, 10, 10, 30 };
    CRenderer::DrawMarkupText(canvas.dc(), &host, empty, "a", kBlack, rects, nullptr, count, 0);
    EXPECT_EQ(1, count);
    EXPECT_EQ(50, rc.right);
    EXPECT_EQ(10, empty.right);
    EXPECT_EQ(0, canvas.InkCount());
}

TEST_F(TextRendererTest, PlainTextUsesTheFontByIndexAndDrawsAmpersands)
{
    RECT rc = { 0, 0, 240, 40 };
    CRenderer::DrawPlainText(canvas.dc(), &host, rc, "a&b", kBlack, 99, DT_SINGLELINE);
    Canvas defaultFont(240, 100);
    CRenderer::DrawPlainText(defaultFont.dc(), &host, rc, "a&b", kBlack, -1, DT_SINGLELINE);
    EXPECT_TRUE(canvas.SameAs(defaultFont));
    RECT size = { 0, 0, 240, 40 };
    CRenderer::DrawPlainText(canvas.dc(), &host, size, "a&b", kBlack, 1, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(Extent("a&b", 1), size.right);
    CRenderer::DrawPlainText(canvas.dc(), &host, rc, nullptr, kBlack, 1, 0);
}

// A text drawn from its recorded layout has the pixels of the same text laid
// out afresh, and whatever the layout depends on makes it be laid out again.
TEST_F(TextRendererTest, ARecordedLayoutDrawsWhatAFreshOneDraws)
{
    struct Case
    {
        const char* text;
        UINT style;
        bool held;  // the layout can be replayed
    } cases[] = {
        { "{c #FF0000}red{/c} {b}bold{/b} {u}under{/u} {i}slant{/i} plain", DT_SINGLELINE, true },
        { "{f 1}24{/f}{f 0}12{/f} centred", DT_SINGLELINE | DT_CENTER | DT_VCENTER, true },
        { "由测试提供技术支持 and a line that breaks at the edge of the box", DT_WORDBREAK, true },
        { "a long line that does not fit and ends in dots at the right", DT_SINGLELINE | DT_END_ELLIPSIS, true },
        { "{s}selected{/s} {x 30}{y 20}placed {p}paragraph{/p}", 0, true },
        { "{i strip.png 2 1}beside an image", DT_SINGLELINE, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        RECT rc = { 4, 2, 200, 90 };
        Canvas fresh(240, 100);
        int links = 0;
        RECT freshRect = rc;
        CRenderer::DrawMarkupText(fresh.dc(), &host, freshRect, c.text, kBlack, nullptr, nullptr, links, c.style);
        ui::CTextLayoutCacheUI cache;
        for (int round = 0; round < 2; ++round) {
            canvas.Clear();
            RECT drawn = rc;
            CRenderer::DrawMarkupText(canvas.dc(), &host, drawn, c.text, kBlack, nullptr, nullptr, links, c.style,
                                      &cache);
            EXPECT_TRUE(canvas.SameAs(fresh)) << "round " << round;
            EXPECT_TRUE(::EqualRect(&drawn, &freshRect));
            EXPECT_EQ(c.held, cache.GetRunCount() > 0);
        }
    }

    // The text, its colour, its rectangle and the fonts each lay it out anew.
    ui::CTextLayoutCacheUI cache;
    RECT rc = { 0, 0, 240, 40 };
    Draw("{f 1}ab{/f}", rc);
    Canvas before(240, 100);
    int links = 0;
    RECT drawn = rc;
    CRenderer::DrawMarkupText(before.dc(), &host, drawn, "{f 1}ab{/f}", kBlack, nullptr, nullptr, links, 0, &cache);
    ui::TextLayoutKeyUI key = { "{f 1}ab{/f}", rc, 0, kBlack, host.GetFontGeneration() };
    EXPECT_TRUE(cache.Holds(key));
    ui::TextLayoutKeyUI changed[] = {
        { "{f 1}ac{/f}", rc, 0, kBlack, key.fonts },
        { key.text, rc, 0, kRed, key.fonts },
        { key.text, { 0, 0, 239, 40 }, 0, kBlack, key.fonts },
        { key.text, rc, DT_SINGLELINE, kBlack, key.fonts },
    };
    for (const ui::TextLayoutKeyUI& other : changed)
        EXPECT_FALSE(cache.Holds(other)) << other.text;
    // Font 1 replaced by a larger one: the same text is drawn in the new font.
    host.ClearFonts();
    ASSERT_NE(nullptr, host.RegisterFont(kFace, 12, false, false, false));
    ASSERT_NE(nullptr, host.RegisterFont(kFace, 36, false, false, false));
    EXPECT_FALSE(cache.Holds({ key.text, rc, 0, kBlack, host.GetFontGeneration() }));
    canvas.Clear();
    drawn = rc;
    CRenderer::DrawMarkupText(canvas.dc(), &host, drawn, "{f 1}ab{/f}", kBlack, nullptr, nullptr, links, 0, &cache);
    EXPECT_GT(canvas.InkBox().bottom, before.InkBox().bottom);
}

} // namespace
