// The nine-grid blit: corners, stretching, tiling, hole, paint rectangle,
// fade and premultiplied alpha, painted into an off-screen DIB.

#include <gtest/gtest.h>

#include <vector>

#include "tests/ui/gfx/RendererTestSupport.h"
#include "ui/gfx/ImagePixels.h"
#include "ui/gfx/Renderer.h"

namespace {

using rendertest::MakeBitmap;
using rendertest::OffscreenDib;
using ui::CRenderer;

const DWORD A = 0xFFFF0000;
const DWORD B = 0xFF00FF00;
const DWORD C = 0xFF0000FF;
const DWORD D = 0xFFFFFF00;

const RECT kNoCorners = { 0, 0, 0, 0 };

class BitmapHolder
{
public:
    BitmapHolder(int width, int height, const std::vector<DWORD>& pixels)
        : m_bitmap(MakeBitmap(width, height, pixels))
    {
    }
    ~BitmapHolder() { ::DeleteObject(m_bitmap); }
    HBITMAP get() const { return m_bitmap; }

private:
    HBITMAP m_bitmap;
};

// A 6 x 6 image whose nine 2 x 2 regions each have their own colour.
std::vector<DWORD> NineRegions()
{
    const DWORD colours[9] = { 0xFF100000, 0xFF200000, 0xFF300000, 0xFF400000, 0xFFFFFFFF,
                               0xFF600000, 0xFF700000, 0xFF800000, 0xFF900000 };
    std::vector<DWORD> pixels(36);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            pixels[y * 6 + x] = colours[(y / 2) * 3 + x / 2];
    return pixels;
}

class NineGridTest : public ::testing::TestWithParam<bool>
{
};

INSTANTIATE_TEST_SUITE_P(CopiedAndBlended, NineGridTest, ::testing::Bool());

TEST_P(NineGridTest, CornersStayUnscaledWhileTheMiddleStretches)
{
    BitmapHolder image(6, 6, NineRegions());
    OffscreenDib dib(20, 14);
    ASSERT_TRUE(dib.ok());
    dib.Clear(0xFF000000);
    RECT dest = { 0, 0, 20, 14 };
    RECT source = { 0, 0, 6, 6 };
    RECT corners = { 2, 2, 2, 2 };
    bool blend = GetParam();
    CRenderer::BlitImage(dib.dc(), image.get(), dest, dest, source, corners, blend, 255, false, false, false);

    struct Probe
    {
        int x, y;
        DWORD rgb;
    } probes[] = {
        { 0, 0, 0x100000 },   { 1, 1, 0x100000 },   { 2, 0, 0x200000 },   { 17, 1, 0x200000 },
        { 18, 0, 0x300000 },  { 19, 1, 0x300000 },  { 0, 2, 0x400000 },   { 1, 11, 0x400000 },
        { 2, 2, 0xFFFFFF },   { 17, 11, 0xFFFFFF }, { 18, 2, 0x600000 },  { 0, 12, 0x700000 },
        { 1, 13, 0x700000 },  { 10, 13, 0x800000 }, { 18, 12, 0x900000 }, { 19, 13, 0x900000 },
    };
    for (const Probe& p : probes)
        EXPECT_EQ(p.rgb, dib.Rgb(p.x, p.y)) << "at " << p.x << "," << p.y;
}

TEST_P(NineGridTest, HoleLeavesTheMiddleUndrawn)
{
    BitmapHolder image(6, 6, NineRegions());
    OffscreenDib dib(10, 10);
    ASSERT_TRUE(dib.ok());
    dib.Clear(0xFF000000);
    RECT dest = { 0, 0, 10, 10 };
    RECT source = { 0, 0, 6, 6 };
    RECT corners = { 2, 2, 2, 2 };
    CRenderer::BlitImage(dib.dc(), image.get(), dest, dest, source, corners, GetParam(), 255, true, false, false);
    EXPECT_EQ(0x000000u, dib.Rgb(5, 5));
    EXPECT_EQ(0x000000u, dib.Rgb(2, 2));
    EXPECT_EQ(0x100000u, dib.Rgb(0, 0));
    EXPECT_EQ(0x800000u, dib.Rgb(5, 9));
}

TEST_P(NineGridTest, PiecesOutsideThePaintRectangleAreNotDrawn)
{
    BitmapHolder image(6, 6, NineRegions());
    OffscreenDib dib(20, 14);
    ASSERT_TRUE(dib.ok());
    dib.Clear(0xFF000000);
    RECT dest = { 0, 0, 20, 14 };
    RECT paint = { 0, 0, 2, 2 };  // only the top-left corner
    RECT source = { 0, 0, 6, 6 };
    RECT corners = { 2, 2, 2, 2 };
    CRenderer::BlitImage(dib.dc(), image.get(), dest, paint, source, corners, GetParam(), 255, false, false, false);
    EXPECT_EQ(0x100000u, dib.Rgb(0, 0));
    EXPECT_EQ(0x000000u, dib.Rgb(10, 7));
    EXPECT_EQ(0x000000u, dib.Rgb(19, 13));
}

// Tiling a 2 x 2 pattern A B / C D over a 5 x 5 DIB; "." stays black.
struct TilingCase
{
    bool xTiled;
    bool yTiled;
    RECT dest;
    const char* rows[5];  // expected letters per pixel
};

class TilingTest : public ::testing::TestWithParam<TilingCase>
{
};

DWORD Letter(char ch)
{
    switch (ch) {
    case 'A': return A & 0xFFFFFF;
    case 'B': return B & 0xFFFFFF;
    case 'C': return C & 0xFFFFFF;
    case 'D': return D & 0xFFFFFF;
    default: return 0;
    }
}

TEST_P(TilingTest, MiddleRepeatsAlongTheTiledAxesAndIsCutAtTheEnd)
{
    const TilingCase& t = GetParam();
    BitmapHolder image(2, 2, { A, B, C, D });
    OffscreenDib dib(5, 5);
    ASSERT_TRUE(dib.ok());
    RECT source = { 0, 0, 2, 2 };
    for (bool blend : { false, true }) {
        dib.Clear(0xFF000000);
        CRenderer::BlitImage(dib.dc(), image.get(), t.dest, t.dest, source, kNoCorners, blend, 255, false,
                             t.xTiled, t.yTiled);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 5; ++x)
                EXPECT_EQ(Letter(t.rows[y][x]), dib.Rgb(x, y))
                    << "at " << x << "," << y << (blend ? " blended" : " copied");
    }
}

// The stretched axis doubles exactly, so that no sampling rule matters.
INSTANTIATE_TEST_SUITE_P(
    Axes, TilingTest,
    ::testing::Values(
        TilingCase{ true, true, { 0, 0, 5, 5 }, { "ABABA", "CDCDC", "ABABA", "CDCDC", "ABABA" } },
        TilingCase{ true, false, { 0, 0, 5, 4 }, { "ABABA", "ABABA", "CDCDC", "CDCDC", "....." } },
        TilingCase{ false, true, { 0, 0, 4, 5 }, { "AABB.", "CCDD.", "AABB.", "CCDD.", "AABB." } },
        TilingCase{ false, false, { 0, 0, 4, 4 }, { "AABB.", "AABB.", "CCDD.", "CCDD.", "....." } }));

// A tiled destination reaching far outside the window used to be walked tile by tile, billions of them, to draw
// the few inside the paint rectangle.
TEST(RendererBlit, FarReachingTiledDestinationDrawsOnlyTheTilesThatMeetThePaintRectangle)
{
    BitmapHolder image(2, 2, { A, B, C, D });
    OffscreenDib dib(3, 3);
    ASSERT_TRUE(dib.ok());
    RECT source = { 0, 0, 2, 2 };
    // Tiles start at -5, so the paint rectangle begins in the second column and row of a tile.
    RECT dest = { -5, -5, 1073741823, 1073741823 };
    RECT paint = { 0, 0, 3, 3 };
    for (bool blend : { false, true }) {
        dib.Clear(0xFF000000);
        CRenderer::BlitImage(dib.dc(), image.get(), dest, paint, source, kNoCorners, blend, 255, false, true, true);
        const char* rows[3] = { "DCD", "BAB", "DCD" };
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(Letter(rows[y][x]), dib.Rgb(x, y)) << "at " << x << "," << y;
    }
}

TEST(RendererBlit, PlainCopyTakesOnlyThePartInsideThePaintRectangle)
{
    BitmapHolder image(4, 1, { A, B, C, D });
    OffscreenDib dib(6, 2);
    ASSERT_TRUE(dib.ok());
    dib.Clear(0xFF000000);
    RECT dest = { 1, 0, 5, 1 };
    RECT paint = { 2, 0, 4, 2 };
    RECT source = { 0, 0, 4, 1 };
    CRenderer::BlitImage(dib.dc(), image.get(), dest, paint, source, kNoCorners, false, 255, false, false, false);
    EXPECT_EQ(0x000000u, dib.Rgb(1, 0));
    EXPECT_EQ(Letter('B'), dib.Rgb(2, 0));
    EXPECT_EQ(Letter('C'), dib.Rgb(3, 0));
    EXPECT_EQ(0x000000u, dib.Rgb(4, 0));
}

TEST(RendererBlit, NullBitmapDrawsNothing)
{
    OffscreenDib dib(2, 2);
    ASSERT_TRUE(dib.ok());
    dib.Clear(0xFF123456);
    RECT rc = { 0, 0, 2, 2 };
    CRenderer::BlitImage(dib.dc(), nullptr, rc, rc, rc, kNoCorners, true, 255, false, false, false);
    EXPECT_EQ(0x123456u, dib.Rgb(0, 0));
}

using BlendingTest = rendertest::BlendModeTest;

INSTANTIATE_TEST_SUITE_P(PlatformAndSoftware, BlendingTest, ::testing::Bool());

TEST_P(BlendingTest, FadeScalesAnOpaqueImage)
{
    BitmapHolder image(1, 1, { 0xFFFFFFFF });
    OffscreenDib dib(4, 4);
    ASSERT_TRUE(dib.ok());
    dib.Clear(0xFF000000);
    RECT dest = { 0, 0, 4, 4 };
    RECT source = { 0, 0, 1, 1 };
    CRenderer::BlitImage(dib.dc(), image.get(), dest, dest, source, kNoCorners, false, 128, false, false, false);
    EXPECT_NEAR(128, dib.Red(2, 2), 1);
    EXPECT_NEAR(128, dib.Blue(0, 3), 1);
}

TEST_P(BlendingTest, PremultipliedPixelsBlendBySourceOver)
{
    // Half-transparent red, premultiplied: red 128, alpha 128.
    BitmapHolder image(2, 1, { 0x80800000, 0x00000000 });
    OffscreenDib dib(2, 1);
    ASSERT_TRUE(dib.ok());
    RECT dest = { 0, 0, 2, 1 };
    RECT source = { 0, 0, 2, 1 };

    dib.Clear(0xFFFFFFFF);
    CRenderer::BlitImage(dib.dc(), image.get(), dest, dest, source, kNoCorners, true, 255, false, false, false);
    EXPECT_EQ(255, dib.Red(0, 0));
    EXPECT_NEAR(127, dib.Green(0, 0), 1);
    EXPECT_EQ(0xFFFFFFu, dib.Rgb(1, 0));  // a transparent pixel leaves the background

    dib.Clear(0xFF000000);
    CRenderer::BlitImage(dib.dc(), image.get(), dest, dest, source, kNoCorners, true, 128, false, false, false);
    // Weight 128 × 128 / 255²: a quarter of red over black.
    EXPECT_NEAR(64, dib.Red(0, 0), 1);
    EXPECT_EQ(0, dib.Green(0, 0));
}

TEST(ImagePixels, SoftwareBlendWeightsEveryChannel)
{
    struct Case
    {
        uint32_t dest;
        uint32_t source;
        unsigned char constant;
        bool perPixel;
        uint32_t expected;
    } cases[] = {
        { 0xFF000000, 0xFFFFFFFF, 255, true, 0xFFFFFFFF },  // opaque source replaces
        { 0xFF336699, 0x00000000, 255, true, 0xFF336699 },  // transparent source keeps
        { 0xFFFFFFFF, 0x80800000, 255, true, 0xFFFF7F7F },  // half red over white
        { 0xFF000000, 0xFFFFFFFF, 51, true, 0xFF333333 },   // fade 20 %
        { 0xFF000000, 0x00FFFFFF, 51, false, 0xFF333333 },  // alpha ignored without per-pixel
    };
    for (const Case& c : cases) {
        uint32_t dest = c.dest;
        ui::BlendPixels(&dest, &c.source, 1, c.constant, c.perPixel);
        EXPECT_EQ(c.expected, dest) << std::hex << c.source << " over " << c.dest;
    }
}

TEST(ImagePixels, DecodedPixelsArePremultipliedAndTheMaskColourRemoved)
{
    const unsigned char rgba[] = {
        255, 0, 0, 255,    // opaque red stays
        0, 0, 255, 128,    // half blue: blue 255 × 128 / 255
        255, 0, 255, 255,  // magenta: the mask
        10, 20, 30, 0,     // fully transparent: 0
    };
    uint32_t out[4] = {};
    EXPECT_TRUE(ui::PremultiplyPixels(rgba, 4, out, 0xFFFF00FF));
    EXPECT_EQ(0xFFFF0000u, out[0]);
    EXPECT_EQ(0x80000080u, out[1]);
    EXPECT_EQ(0u, out[2]);
    EXPECT_EQ(0u, out[3]);

    const unsigned char opaque[] = { 1, 2, 3, 255, 255, 0, 255, 255 };
    EXPECT_FALSE(ui::PremultiplyPixels(opaque, 2, out, 0));
    EXPECT_EQ(0xFF010203u, out[0]);
    EXPECT_TRUE(ui::PremultiplyPixels(opaque, 2, out, 0xFFFF00FF));  // masked: counts as alpha
}

} // namespace
