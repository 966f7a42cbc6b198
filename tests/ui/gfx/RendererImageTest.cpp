// Loading images from files, resources and ZIP archives, and drawing image
// attribute strings through a window host's cache.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ui/gfx/RendererTestSupport.h"
#include "ui/gfx/Renderer.h"
#include "ui/core/WindowHostUI.h"

namespace {

using rendertest::OffscreenDib;
using ui::CRenderer;
using ui::CWindowHostUI;
using ui::UIImageInfo;

// The resource compiled into this test: 2 x 2 pixels, red and green over
// half-transparent blue and magenta.
const WORD kTestImageId = 901;

const DWORD kRed = 0xFFFF0000;
const DWORD kGreen = 0xFF00FF00;
const DWORD kBlue = 0xFF0000FF;
const DWORD kMagenta = 0xFFFF00FF;

DWORD PixelOf(const UIImageInfo* info, int x, int y)
{
    DIBSECTION section = {};
    if (::GetObjectA(info->bitmap, sizeof(section), &section) != sizeof(section))
        return 0xDEADBEEF;
    return static_cast<const DWORD*>(section.dsBm.bmBits)[y * info->width + x];
}

void FreeImage(UIImageInfo* info)
{
    if (info == nullptr)
        return;
    ::DeleteObject(info->bitmap);
    delete info;
}

// Writes the test images into a folder of their own and points the
// resource settings at it; restores them afterwards.
class ImageFilesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_folder = rendertest::MakeTempFolder("wavorin-renderer-test");
        m_dot = rendertest::EncodePng(2, 2, { kRed, kGreen, 0x800000FF, kMagenta });
        ASSERT_TRUE(rendertest::WriteFileBytes(m_folder + "dot.png", m_dot));
        ASSERT_TRUE(rendertest::WriteFileBytes(m_folder + "strip.png",
                                               rendertest::EncodePng(4, 1, { kRed, kGreen, kBlue, kMagenta })));
        ASSERT_TRUE(rendertest::WriteFileBytes(m_folder + "garbage.png", "not an image at all"));
        ASSERT_TRUE(rendertest::WriteFileBytes(m_folder + "empty.png", ""));
        std::string zip = rendertest::MakeStoredZip({ { "img/dot.png", m_dot }, { "bad.png", "\x89PNG broken" } });
        ASSERT_TRUE(rendertest::WriteFileBytes(m_folder + "skin.zip", zip));
        CWindowHostUI::SetResourceFolder(m_folder.c_str());
        CWindowHostUI::SetResourceArchive("");
    }
    void TearDown() override
    {
        CWindowHostUI::SetResourceArchiveCached(false);
        CWindowHostUI::SetResourceArchive("");
        CWindowHostUI::SetResourceFolder("");
    }

    // Checks the pixels of the 2 x 2 test image, premultiplied.
    static void ExpectDot(const UIImageInfo* info)
    {
        ASSERT_NE(nullptr, info);
        EXPECT_EQ(2, info->width);
        EXPECT_EQ(2, info->height);
        EXPECT_TRUE(info->alpha);
        EXPECT_EQ(kRed, PixelOf(info, 0, 0));
        EXPECT_EQ(kGreen, PixelOf(info, 1, 0));
        EXPECT_EQ(0x80000080u, PixelOf(info, 0, 1));
        EXPECT_EQ(kMagenta, PixelOf(info, 1, 1));
    }

    std::string m_folder;
    std::string m_dot;
};

TEST_F(ImageFilesTest, LoadsAFileFromTheResourceFolder)
{
    UIImageInfo* info = CRenderer::LoadImageFile("dot.png", nullptr, 0);
    ExpectDot(info);
    FreeImage(info);

    info = CRenderer::LoadImageFile("strip.png", nullptr, 0);
    ASSERT_NE(nullptr, info);
    EXPECT_FALSE(info->alpha);
    EXPECT_EQ(kBlue, PixelOf(info, 2, 0));
    FreeImage(info);
}

TEST_F(ImageFilesTest, UnreadableFilesGiveNull)
{
    for (const char* name : { "missing.png", "garbage.png", "empty.png", "" })
        EXPECT_EQ(nullptr, CRenderer::LoadImageFile(name, nullptr, 0)) << name;
    EXPECT_EQ(nullptr, CRenderer::LoadImageFile(nullptr, nullptr, 0));
}

TEST_F(ImageFilesTest, LoadsAResourceAndRemovesTheMaskColour)
{
    UIImageInfo* info = CRenderer::LoadImageFile(MAKEINTRESOURCEA(kTestImageId), "png", 0);
    ExpectDot(info);
    FreeImage(info);

    info = CRenderer::LoadImageFile(MAKEINTRESOURCEA(kTestImageId), "png", 0xFFFF00FF);
    ASSERT_NE(nullptr, info);
    EXPECT_EQ(0u, PixelOf(info, 1, 1));
    EXPECT_EQ(kRed, PixelOf(info, 0, 0));
    FreeImage(info);

    EXPECT_EQ(nullptr, CRenderer::LoadImageFile(MAKEINTRESOURCEA(kTestImageId + 1), "png", 0));
    EXPECT_EQ(nullptr, CRenderer::LoadImageFile(MAKEINTRESOURCEA(kTestImageId), "bmp", 0));
}

TEST_F(ImageFilesTest, LoadsAnEntryOfTheResourceArchive)
{
    CWindowHostUI::SetResourceArchive("skin.zip");
    for (bool cached : { false, true }) {
        CWindowHostUI::SetResourceArchiveCached(cached);
        UIImageInfo* info = CRenderer::LoadImageFile("img/dot.png", nullptr, 0);
        ExpectDot(info);
        FreeImage(info);
        // The folder is not consulted while an archive is set.
        EXPECT_EQ(nullptr, CRenderer::LoadImageFile("dot.png", nullptr, 0)) << cached;
        EXPECT_EQ(nullptr, CRenderer::LoadImageFile("bad.png", nullptr, 0)) << cached;
    }
    CWindowHostUI::SetResourceArchiveCached(false);
    CWindowHostUI::SetResourceArchive("missing.zip");
    EXPECT_EQ(nullptr, CRenderer::LoadImageFile("img/dot.png", nullptr, 0));
}

TEST(RendererImageLoader, IsTheHostsDefaultLoader)
{
    EXPECT_EQ(&CRenderer::LoadImageFile, CWindowHostUI::GetImageLoader());
}

class DrawImageTest : public ImageFilesTest
{
protected:
    DrawImageTest() : m_dib(4, 4) {}

    bool Draw(const char* image, const char* modify = nullptr, RECT control = { 0, 0, 4, 4 })
    {
        return CRenderer::DrawImageSpec(m_dib.dc(), &m_host, control, control, image, modify);
    }

    CWindowHostUI m_host;
    OffscreenDib m_dib;
};

TEST_F(DrawImageTest, PlainNameDrawsTheWholeFileOverTheControl)
{
    m_dib.Clear(0xFF000000);
    EXPECT_TRUE(Draw("strip.png"));
    EXPECT_EQ(kRed & 0xFFFFFF, m_dib.Rgb(0, 3));
    EXPECT_EQ(kMagenta & 0xFFFFFF, m_dib.Rgb(3, 0));
    EXPECT_NE(nullptr, m_host.FindImage("strip.png"));
}

TEST_F(DrawImageTest, MissingImageReportsFalseAndIsNotCached)
{
    EXPECT_FALSE(Draw("file='missing.png'"));
    EXPECT_EQ(nullptr, m_host.FindImage("missing.png"));
    RECT rc = { 0, 0, 4, 4 };
    EXPECT_FALSE(CRenderer::DrawImageSpec(m_dib.dc(), nullptr, rc, rc, "strip.png", nullptr));
    EXPECT_FALSE(CRenderer::DrawImageSpec(nullptr, &m_host, rc, rc, "strip.png", nullptr));
}

TEST_F(DrawImageTest, SourceIsCutToTheImageAndReplacedByTheModifier)
{
    m_dib.Clear(0xFF000000);
    RECT row = { 0, 0, 4, 1 };
    EXPECT_TRUE(Draw("file='strip.png' source='0,0,100,50'", nullptr, row));
    EXPECT_EQ(kRed & 0xFFFFFF, m_dib.Rgb(0, 0));
    EXPECT_EQ(kMagenta & 0xFFFFFF, m_dib.Rgb(3, 0));

    m_dib.Clear(0xFF000000);
    RECT half = { 0, 0, 2, 1 };
    EXPECT_TRUE(Draw("file='strip.png' source='0,0,2,1'", "source='2,0,4,1'", half));
    EXPECT_EQ(kBlue & 0xFFFFFF, m_dib.Rgb(0, 0));
    EXPECT_EQ(kMagenta & 0xFFFFFF, m_dib.Rgb(1, 0));
}

TEST_F(DrawImageTest, DestIsPlacedInsideTheControl)
{
    m_dib.Clear(0xFF000000);
    RECT control = { 1, 1, 4, 4 };
    EXPECT_TRUE(Draw("file='strip.png' source='0,0,1,1' dest='1,1,9,9'", nullptr, control));
    EXPECT_EQ(0u, m_dib.Rgb(1, 1));
    EXPECT_EQ(kRed & 0xFFFFFF, m_dib.Rgb(2, 2));
    EXPECT_EQ(kRed & 0xFFFFFF, m_dib.Rgb(3, 3));
}

TEST_F(DrawImageTest, SeveralImagesOfOneStringAreDrawnInTurn)
{
    m_dib.Clear(0xFF000000);
    EXPECT_TRUE(Draw("file='strip.png' source='0,0,1,1' dest='0,0,2,4' file='dot.png' source='1,0,2,1' "
                     "dest='2,0,4,4'"));
    EXPECT_EQ(kRed & 0xFFFFFF, m_dib.Rgb(0, 0));
    EXPECT_EQ(kGreen & 0xFFFFFF, m_dib.Rgb(3, 3));
    // Only the last image decides the result.
    EXPECT_FALSE(Draw("file='strip.png' file='missing.png'"));
}

TEST_F(DrawImageTest, ResourceImagesAreCachedUnderTheirNumber)
{
    m_dib.Clear(0xFFFFFFFF);
    EXPECT_TRUE(Draw("res='901' restype='png' mask='#FFFF00FF'"));
    UIImageInfo* cached = m_host.FindImage("901");
    ASSERT_NE(nullptr, cached);
    EXPECT_EQ(0xFFFF00FFu, cached->mask);
    EXPECT_EQ(kRed & 0xFFFFFF, m_dib.Rgb(0, 0));
    EXPECT_EQ(0xFFFFFFu, m_dib.Rgb(3, 3));  // the masked magenta is transparent
    // A cached image is used whatever mask a later string asks for.
    EXPECT_TRUE(Draw("res='901' restype='png'"));
    EXPECT_EQ(cached, m_host.FindImage("901"));
}

} // namespace
