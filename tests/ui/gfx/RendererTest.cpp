// Fills, outlines and clip scopes, painted into an off-screen DIB.

#include <gtest/gtest.h>

#include "tests/ui/gfx/RendererTestSupport.h"
#include "ui/gfx/Renderer.h"
#include "ui/gfx/UIClip.h"

namespace {

using rendertest::OffscreenDib;
using ui::CRenderer;
using ui::UIClip;

using BlendTest = rendertest::BlendModeTest;

INSTANTIATE_TEST_SUITE_P(PlatformAndSoftware, BlendTest, ::testing::Bool());

TEST(RendererFill, OpaqueColourFillsOnlyTheRectangle)
{
    OffscreenDib dib(8, 8);
    ASSERT_TRUE(dib.ok());
    dib.Clear(0xFFFFFFFF);
    RECT rc = { 2, 2, 6, 6 };
    CRenderer::FillColor(dib.dc(), rc, 0xFFFF0000);
    EXPECT_EQ(0xFF0000u, dib.Rgb(2, 2));
    EXPECT_EQ(0xFF0000u, dib.Rgb(5, 5));
    EXPECT_EQ(0xFFFFFFu, dib.Rgb(6, 6));
    EXPECT_EQ(0xFFFFFFu, dib.Rgb(1, 2));
}

// A translucent colour used to be blended with straight channels, so that
// its red was added in full over the background.
TEST_P(BlendTest, TranslucentColourBlendsOverTheBackground)
{
    OffscreenDib dib(8, 4);
    ASSERT_TRUE(dib.ok());
    dib.Clear(0xFF000000);
    RECT left = { 0, 0, 4, 4 };
    CRenderer::FillColor(dib.dc(), left, 0x80FF0000);
    EXPECT_NEAR(128, dib.Red(1, 1), 1);
    EXPECT_EQ(0, dib.Green(1, 1));

    dib.Clear(0xFFFFFFFF);
    CRenderer::FillColor(dib.dc(), left, 0x80FF0000);
    EXPECT_EQ(255, dib.Red(1, 1));
    EXPECT_NEAR(127, dib.Green(1, 1), 1);
    EXPECT_NEAR(127, dib.Blue(1, 1), 1);
    EXPECT_EQ(0xFFFFFFu, dib.Rgb(5, 1));
}

TEST_P(BlendTest, TransparentColourChangesNothing)
{
    OffscreenDib dib(4, 4);
    ASSERT_TRUE(dib.ok());
    dib.Clear(0xFF123456);
    RECT rc = { 0, 0, 4, 4 };
    CRenderer::FillColor(dib.dc(), rc, 0x00FF0000);
    EXPECT_EQ(0x123456u, dib.Rgb(2, 2));
}

TEST(RendererFill, GradientRunsFromTheFirstColourAtTheTopToTheSecondAtTheBottom)
{
    OffscreenDib dib(4, 32);
    ASSERT_TRUE(dib.ok());
    dib.Clear(0xFF808080);
    RECT rc = { 0, 0, 4, 32 };
    CRenderer::FillGradient(dib.dc(), rc, 0xFF0000FF, 0xFFFF0000, 16);
    EXPECT_GE(dib.Blue(0, 0), 240);
    EXPECT_LE(dib.Red(0, 0), 15);
    EXPECT_GE(dib.Red(3, 31), 240);
    EXPECT_LE(dib.Blue(3, 31), 15);
    EXPECT_GT(dib.Red(0, 20), dib.Red(0, 10));
}

TEST_P(BlendTest, TranslucentGradientBlendsWithTheAverageOpacity)
{
    OffscreenDib dib(4, 16);
    ASSERT_TRUE(dib.ok());
    dib.Clear(0xFF000000);
    RECT rc = { 0, 0, 4, 16 };
    // Opacity (0x40 + 0xC0) / 2 = 0x80 of white.
    CRenderer::FillGradient(dib.dc(), rc, 0x40FFFFFF, 0xC0FFFFFF, 8);
    EXPECT_NEAR(128, dib.Red(0, 0), 1);
    EXPECT_NEAR(128, dib.Green(2, 15), 1);
}

TEST(RendererFill, GradientWithoutOpacityDrawsNothing)
{
    OffscreenDib dib(4, 4);
    ASSERT_TRUE(dib.ok());
    dib.Clear(0xFF102030);
    RECT rc = { 0, 0, 4, 4 };
    CRenderer::FillGradient(dib.dc(), rc, 0x00FFFFFF, 0x01FFFFFF, 16);
    EXPECT_EQ(0x102030u, dib.Rgb(1, 1));
}

TEST(RendererOutline, RectangleOutlineLiesInsideWithThePenWidth)
{
    OffscreenDib dib(12, 12);
    ASSERT_TRUE(dib.ok());
    dib.Clear(0xFFFFFFFF);
    RECT rc = { 1, 1, 11, 11 };
    CRenderer::StrokeRect(dib.dc(), rc, 2, 0xFF0000FF);
    EXPECT_EQ(0x0000FFu, dib.Rgb(1, 1));
    EXPECT_EQ(0x0000FFu, dib.Rgb(2, 2));
    EXPECT_EQ(0x0000FFu, dib.Rgb(10, 10));
    EXPECT_EQ(0x0000FFu, dib.Rgb(9, 5));
    EXPECT_EQ(0xFFFFFFu, dib.Rgb(3, 3));  // hollow inside
    EXPECT_EQ(0xFFFFFFu, dib.Rgb(0, 0));
    EXPECT_EQ(0xFFFFFFu, dib.Rgb(11, 11));
}

TEST(RendererOutline, LineRunsFromLeftTopUpToRightBottom)
{
    OffscreenDib dib(8, 2);
    ASSERT_TRUE(dib.ok());
    dib.Clear(0xFFFFFFFF);
    RECT rc = { 1, 0, 6, 0 };
    CRenderer::StrokeLine(dib.dc(), rc, 0xFF00FF00);
    EXPECT_EQ(0xFFFFFFu, dib.Rgb(0, 0));
    EXPECT_EQ(0x00FF00u, dib.Rgb(1, 0));
    EXPECT_EQ(0x00FF00u, dib.Rgb(5, 0));
    EXPECT_EQ(0xFFFFFFu, dib.Rgb(6, 0));
    EXPECT_EQ(0xFFFFFFu, dib.Rgb(3, 1));
}

TEST(RendererClip, RoundedClipKeepsTheCornersAndIsRestoredOnLeaving)
{
    OffscreenDib dib(20, 20);
    ASSERT_TRUE(dib.ok());
    dib.Clear(0xFFFFFFFF);
    RECT all = { 0, 0, 20, 20 };
    {
        UIClip clip;
        clip.ClipRoundRect(dib.dc(), all, all, 12, 12);
        CRenderer::FillColor(dib.dc(), all, 0xFF000000);
    }
    EXPECT_EQ(0xFFFFFFu, dib.Rgb(0, 0));
    EXPECT_EQ(0xFFFFFFu, dib.Rgb(19, 0));
    EXPECT_EQ(0xFFFFFFu, dib.Rgb(0, 19));
    EXPECT_EQ(0x000000u, dib.Rgb(10, 10));
    EXPECT_EQ(0x000000u, dib.Rgb(10, 0));

    CRenderer::FillColor(dib.dc(), all, 0xFF0000FF);
    EXPECT_EQ(0x0000FFu, dib.Rgb(0, 0));
}

TEST(RendererClip, RectangleClipNarrowsAnOuterClip)
{
    OffscreenDib dib(20, 20);
    ASSERT_TRUE(dib.ok());
    dib.Clear(0xFFFFFFFF);
    RECT outer = { 0, 0, 10, 20 };
    RECT inner = { 5, 5, 20, 20 };
    RECT all = { 0, 0, 20, 20 };
    UIClip outerClip;
    outerClip.ClipRect(dib.dc(), outer);
    {
        UIClip innerClip;
        innerClip.ClipRect(dib.dc(), inner);
        CRenderer::FillColor(dib.dc(), all, 0xFF000000);
    }
    EXPECT_EQ(0x000000u, dib.Rgb(7, 7));
    EXPECT_EQ(0xFFFFFFu, dib.Rgb(12, 7));  // outside the outer clip
    EXPECT_EQ(0xFFFFFFu, dib.Rgb(2, 2));   // outside the inner clip
}

// Leaving an inner scope used to select the bounding box of the outer
// rounded clip, so that later painting covered the rounded corners.
TEST(RendererClip, LeavingAnInnerScopeRestoresTheRoundedOuterClip)
{
    OffscreenDib dib(20, 20);
    ASSERT_TRUE(dib.ok());
    dib.Clear(0xFFFFFFFF);
    RECT all = { 0, 0, 20, 20 };
    UIClip outer;
    outer.ClipRoundRect(dib.dc(), all, all, 12, 12);
    {
        UIClip inner;
        RECT middle = { 5, 5, 15, 15 };
        inner.ClipRect(dib.dc(), middle);
    }
    CRenderer::FillColor(dib.dc(), all, 0xFF000000);
    EXPECT_EQ(0xFFFFFFu, dib.Rgb(0, 0));
    EXPECT_EQ(0x000000u, dib.Rgb(10, 10));
}

} // namespace
