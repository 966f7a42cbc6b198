// The program's main skin and its tray menu built, laid out and painted by a
// real window host, saved as main-skin.png and tray-menu.png in the test's
// working folder, and checked at points where the skins put their colours;
// the PNG writer and the command-line tool are checked on the way.

#include <gtest/gtest.h>

#include <windows.h>

#include <stdio.h>

#include <string>

#include "shell/MenuUI.h"
#include "tools/skinrender/PngWriter.h"
#include "tools/skinrender/SkinRenderer.h"
#include "ui/gfx/ImageDecoder.h"

namespace {

const uint32_t kHeaderBlue = 0x4775CC;
const uint32_t kBorderBlue = 0x0934DA;
const uint32_t kWhite = 0xFFFFFF;
// The menu image: frame, gutter and the separator closing it.
const uint32_t kMenuFrame = 0x6F8FD6;
const uint32_t kMenuGutter = 0xEDF2FB;
const uint32_t kMenuSeparator = 0xD3DEF3;

std::string ReadFile(const char* path)
{
    std::string bytes;
    FILE* file = fopen(path, "rb");
    if (file == nullptr)
        return bytes;
    char buffer[65536];
    size_t got;
    while ((got = fread(buffer, 1, sizeof(buffer), file)) > 0)
        bytes.append(buffer, got);
    fclose(file);
    return bytes;
}

bool WriteFile(const char* path, const std::string& text)
{
    FILE* file = fopen(path, "wb");
    if (file == nullptr)
        return false;
    bool written = fwrite(text.data(), 1, text.size(), file) == text.size();
    return fclose(file) == 0 && written;
}

std::string CurrentFolder()
{
    char folder[MAX_PATH];
    DWORD length = ::GetCurrentDirectoryA(MAX_PATH, folder);
    return std::string(folder, length) + "\\";
}

class Picture
{
public:
    explicit Picture(const SkinRenderer& renderer) : m_renderer(renderer) {}
    uint32_t At(int x, int y) const { return m_renderer.GetPixels()[y * m_renderer.GetWidth() + x]; }
    // Pixels of the rectangle that differ from `color`.
    int CountOther(int left, int top, int right, int bottom, uint32_t color) const
    {
        int count = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                count += At(x, y) != color;
        return count;
    }

private:
    const SkinRenderer& m_renderer;
};

TEST(SkinRenderTest, MainSkinLooksAsTheSkinSays)
{
    SkinRenderer renderer;
    ASSERT_TRUE(renderer.Render(MAKEINTRESOURCEA(101), 0, 0)) << renderer.GetError();
    ASSERT_EQ(800, renderer.GetWidth());
    ASSERT_EQ(600, renderer.GetHeight());
    ASSERT_TRUE(PngWriter::Write("main-skin.png", renderer.GetPixels().data(), 800, 600, 800));

    int windowInits = 0;
    for (const std::string& name : renderer.GetNotifications())
        windowInits += name == "windowinit";
    EXPECT_EQ(1, windowInits);

    Picture picture(renderer);
    // Header band, 225 high, with the title in white and the two window
    // buttons in its top right corner.
    EXPECT_EQ(kHeaderBlue, picture.At(700, 200));
    EXPECT_EQ(kHeaderBlue, picture.At(400, 224));
    EXPECT_GT(picture.CountOther(20, 60, 400, 140, kHeaderBlue), 500);
    EXPECT_GT(picture.CountOther(731, 0, 800, 18, kHeaderBlue), 20);
    // White body inside the one-pixel border.
    EXPECT_EQ(kWhite, picture.At(50, 300));
    EXPECT_EQ(kWhite, picture.At(400, 226));
    EXPECT_EQ(kBorderBlue, picture.At(0, 300));
    EXPECT_EQ(kBorderBlue, picture.At(799, 300));
    // Six code cells in a centred row.
    for (int cell = 0; cell < 6; ++cell)
        EXPECT_EQ(kHeaderBlue, picture.At(190 + cell * 75, 300)) << "cell " << cell;
    EXPECT_EQ(kWhite, picture.At(180, 300));
    // The code button, 200 wide and centred, with its text.
    EXPECT_EQ(kHeaderBlue, picture.At(310, 520));
    EXPECT_EQ(kHeaderBlue, picture.At(490, 520));
    EXPECT_EQ(kWhite, picture.At(290, 520));
    EXPECT_EQ(kWhite, picture.At(510, 520));
    EXPECT_GT(picture.CountOther(330, 505, 470, 535, kHeaderBlue), 100);
    // Footer band with its two texts.
    EXPECT_EQ(kHeaderBlue, picture.At(400, 590));
    EXPECT_GT(picture.CountOther(5, 578, 120, 598, kHeaderBlue), 50);
    EXPECT_GT(picture.CountOther(590, 578, 795, 598, kHeaderBlue), 50);
}

TEST(SkinRenderTest, TrayMenuIsAsLargeAsItsItemAndShowsItsImageAndText)
{
    CMenuBuilderCallback menuControls;
    SkinRenderer renderer;
    ASSERT_TRUE(renderer.Render(MAKEINTRESOURCEA(123), 0, 0, &menuControls)) << renderer.GetError();
    const int width = renderer.GetWidth();
    ASSERT_EQ(25, renderer.GetHeight());
    ASSERT_GT(width, 150);
    ASSERT_LT(width, 640);
    ASSERT_TRUE(PngWriter::Write("tray-menu.png", renderer.GetPixels().data(), width, 25, width));

    Picture picture(renderer);
    // The image stretched over the whole menu: frame, gutter, separator.
    EXPECT_EQ(kMenuFrame, picture.At(0, 12));
    EXPECT_EQ(kMenuFrame, picture.At(width - 1, 12));
    EXPECT_EQ(kMenuFrame, picture.At(width / 2, 0));
    EXPECT_EQ(kMenuFrame, picture.At(width / 2, 24));
    EXPECT_EQ(kMenuGutter, picture.At(10, 12));
    EXPECT_EQ(kMenuSeparator, picture.At(27, 12));
    EXPECT_EQ(kWhite, picture.At(width - 8, 12));
    // The text after its padding, with room left beside it.
    EXPECT_GT(picture.CountOther(32, 4, width - 20, 22, kWhite), 100);
    EXPECT_EQ(0, picture.CountOther(width - 16, 2, width - 2, 23, kWhite));
}

TEST(SkinRenderTest, PngFileDecodesToThePixelsWritten)
{
    // Every row differs, so that a row written in the wrong place shows.
    const int width = 7, height = 5;
    uint32_t pixels[height][8];
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < 8; ++x)
            pixels[y][x] = 0xFF000000u | (x * 30) << 16 | (y * 50) << 8 | (x + y);
    std::string png = PngWriter::Encode(&pixels[0][0], width, height, 8);
    ASSERT_FALSE(png.empty());
    int w = 0, h = 0;
    unsigned char* rgba = ui::CImageDecoder::DecodeRgba(png.data(), static_cast<unsigned>(png.size()), &w, &h);
    ASSERT_NE(nullptr, rgba);
    EXPECT_EQ(width, w);
    EXPECT_EQ(height, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const unsigned char* p = rgba + (y * w + x) * 4;
            uint32_t rgb = static_cast<uint32_t>(p[0]) << 16 | p[1] << 8 | p[2];
            EXPECT_EQ(pixels[y][x] & 0xFFFFFF, rgb) << x << "," << y;
            EXPECT_EQ(255, p[3]);
        }
    }
    ui::CImageDecoder::FreePixels(rgba);

    EXPECT_TRUE(PngWriter::Encode(&pixels[0][0], 0, height, 8).empty());
    EXPECT_TRUE(PngWriter::Encode(&pixels[0][0], width, height, 6).empty());
    EXPECT_FALSE(PngWriter::Write("no-such-folder\\x.png", &pixels[0][0], width, height, 8));
}

TEST(SkinRenderTest, SkinFileIsRenderedAtItsSizeOrTheSizeAsked)
{
    std::string path = CurrentFolder() + "render-test-skin.xml";
    ASSERT_TRUE(WriteFile(path.c_str(), "<Window size=\"120,80\"><VerticalLayout bkcolor=\"#FF102030\">"
                                        "<Control height=\"10\" bkcolor=\"#FFFF0000\" /><Control />"
                                        "</VerticalLayout></Window>"));
    SkinRenderer renderer;
    ASSERT_TRUE(renderer.Render(path.c_str(), 0, 0)) << renderer.GetError();
    EXPECT_EQ(120, renderer.GetWidth());
    EXPECT_EQ(80, renderer.GetHeight());
    EXPECT_EQ(0xFF0000u, Picture(renderer).At(119, 9));
    EXPECT_EQ(0x102030u, Picture(renderer).At(119, 10));

    ASSERT_TRUE(renderer.Render(path.c_str(), 50, 40)) << renderer.GetError();
    EXPECT_EQ(50, renderer.GetWidth());
    EXPECT_EQ(40, renderer.GetHeight());
    EXPECT_EQ(0x102030u, Picture(renderer).At(49, 39));
    remove(path.c_str());
}

TEST(SkinRenderTest, SkinThatCannotBeBuiltIsAnError)
{
    std::string path = CurrentFolder() + "render-test-broken.xml";
    ASSERT_TRUE(WriteFile(path.c_str(), "<Window><VerticalLayout></Window>"));
    SkinRenderer renderer;
    EXPECT_FALSE(renderer.Render(path.c_str(), 0, 0));
    EXPECT_FALSE(renderer.GetError().empty());
    EXPECT_TRUE(renderer.GetPixels().empty());
    remove(path.c_str());

    EXPECT_FALSE(renderer.Render((CurrentFolder() + "no-such-skin.xml").c_str(), 0, 0));
    EXPECT_FALSE(renderer.Render(MAKEINTRESOURCEA(4999), 0, 0));
    EXPECT_FALSE(renderer.Render(nullptr, 0, 0));
}

int RunTool(const std::string& arguments)
{
    std::string command = std::string("\"") + SKINRENDER_EXE + "\" " + arguments;
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process;
    if (!::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    ::WaitForSingleObject(process.hProcess, 60000);
    DWORD code = 0;
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hProcess);
    ::CloseHandle(process.hThread);
    return static_cast<int>(code);
}

TEST(SkinRenderTest, ToolWritesThePngOfAResourceSkin)
{
    std::string out = CurrentFolder() + "main-skin-tool.png";
    remove(out.c_str());
    ASSERT_EQ(0, RunTool("101 \"" + out + "\" 400 300"));
    std::string png = ReadFile(out.c_str());
    int w = 0, h = 0;
    unsigned char* rgba = ui::CImageDecoder::DecodeRgba(png.data(), static_cast<unsigned>(png.size()), &w, &h);
    ASSERT_NE(nullptr, rgba);
    EXPECT_EQ(400, w);
    EXPECT_EQ(300, h);
    ui::CImageDecoder::FreePixels(rgba);

    std::string menu = CurrentFolder() + "tray-menu-tool.png";
    EXPECT_EQ(0, RunTool("--menu 123 \"" + menu + "\""));
    EXPECT_FALSE(ReadFile(menu.c_str()).empty());

    EXPECT_EQ(2, RunTool("101"));
    EXPECT_EQ(2, RunTool("101 x.png 0 10"));
    EXPECT_EQ(1, RunTool("4999 x.png"));
}

} // namespace
