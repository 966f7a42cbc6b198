// A PNG whose data chunk claimed gigabytes it did not hold used to make the decoder reserve them before failing.

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "ui/gfx/ImageDecoder.h"

// Present when the test runs under a sanitizer; then every allocation is seen.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, size_t),
                                                         void (*)(const volatile void*)) __attribute__((weak));

namespace {

using ui::CImageDecoder;

bool g_recording = false;
size_t g_largest = 0;

void OnMalloc(const volatile void*, size_t size)
{
    if (g_recording && size > g_largest)
        g_largest = size;
}

void OnFree(const volatile void*) {}

void Put32(std::string& out, uint32_t v)
{
    out += static_cast<char>(v >> 24);
    out += static_cast<char>(v >> 16);
    out += static_cast<char>(v >> 8);
    out += static_cast<char>(v);
}

// A chunk with the given stated length; the decoder does not check sums.
void PutChunk(std::string& out, const char* type, const std::string& data, uint32_t length)
{
    Put32(out, length);
    out += type;
    out += data;
    Put32(out, 0);
}

std::string Header()
{
    std::string png("\x89PNG\r\n\x1A\n", 8);
    std::string ihdr;
    Put32(ihdr, 1);
    Put32(ihdr, 1);
    ihdr += std::string("\x08\x06\x00\x00\x00", 5);  // 8 bits, RGBA
    PutChunk(png, "IHDR", ihdr, 13);
    return png;
}

// One red pixel, half transparent.
std::string PixelData()
{
    const unsigned char row[5] = { 0, 255, 0, 0, 128 };
    unsigned char packed[64];
    uLongf length = sizeof packed;
    compress(packed, &length, row, sizeof row);
    return std::string(reinterpret_cast<const char*>(packed), length);
}

TEST(ImageDecoder, DecodesAWholePng)
{
    std::string png = Header();
    std::string data = PixelData();
    PutChunk(png, "IDAT", data, static_cast<uint32_t>(data.size()));
    PutChunk(png, "IEND", "", 0);
    int width = 0, height = 0;
    unsigned char* rgba = CImageDecoder::DecodeRgba(png.data(), static_cast<unsigned>(png.size()), &width, &height);
    ASSERT_NE(nullptr, rgba);
    EXPECT_EQ(1, width);
    EXPECT_EQ(1, height);
    EXPECT_EQ(255, rgba[0]);
    EXPECT_EQ(128, rgba[3]);
    CImageDecoder::FreePixels(rgba);
}

TEST(ImageDecoder, AnEndChunkOfAnyStatedLengthEndsThePng)
{
    std::string png = Header();
    std::string data = PixelData();
    PutChunk(png, "IDAT", data, static_cast<uint32_t>(data.size()));
    png += std::string("\x7F\xFF\xFF\xFFIEND", 8);
    int width = 0, height = 0;
    unsigned char* rgba = CImageDecoder::DecodeRgba(png.data(), static_cast<unsigned>(png.size()), &width, &height);
    EXPECT_NE(nullptr, rgba);
    CImageDecoder::FreePixels(rgba);
}

TEST(ImageDecoder, ADataChunkLongerThanTheFileIsRefusedWithoutReservingItsLength)
{
    std::string png = Header();
    PutChunk(png, "IDAT", PixelData(), 0x7FFFFF00);
    PutChunk(png, "IEND", "", 0);

    static const bool hooked = __sanitizer_install_malloc_and_free_hooks != nullptr
        && __sanitizer_install_malloc_and_free_hooks(&OnMalloc, &OnFree) != 0;
    g_largest = 0;
    g_recording = true;
    int width = 0, height = 0;
    unsigned char* rgba = CImageDecoder::DecodeRgba(png.data(), static_cast<unsigned>(png.size()), &width, &height);
    g_recording = false;
    EXPECT_EQ(nullptr, rgba);
    EXPECT_EQ(0, width);
    if (!hooked)
        GTEST_SKIP() << "allocations are seen only under a sanitizer";
    EXPECT_LT(g_largest, 1u << 20);
}

// An image file of a few bytes whose header stated a huge size used to make the decoder reserve its pixels.
TEST(ImageDecoder, AHeaderStatingMoreThanTheLimitOfPixelsIsRefusedWithoutReservingThem)
{
    // Uncompressed true-colour TGA of 8192 × 4096 pixels, holding one.
    std::string tga("\0\0\x02\0\0\0\0\0\0\0\0\0\x00\x20\x00\x10\x18\0", 18);
    tga += "\x10\x20\x30";

    static const bool hooked = __sanitizer_install_malloc_and_free_hooks != nullptr
        && __sanitizer_install_malloc_and_free_hooks(&OnMalloc, &OnFree) != 0;
    g_largest = 0;
    g_recording = true;
    int width = 0, height = 0;
    unsigned char* rgba = CImageDecoder::DecodeRgba(tga.data(), static_cast<unsigned>(tga.size()), &width, &height);
    g_recording = false;
    EXPECT_EQ(nullptr, rgba);
    CImageDecoder::FreePixels(rgba);
    if (!hooked)
        GTEST_SKIP() << "allocations are seen only under a sanitizer";
    EXPECT_LT(g_largest, 1u << 20);

    // At the limit the same header still decodes.
    tga[12] = 0x00;
    tga[13] = 0x10;
    rgba = CImageDecoder::DecodeRgba(tga.data(), static_cast<unsigned>(tga.size()), &width, &height);
    EXPECT_NE(nullptr, rgba);
    EXPECT_EQ(4096, width);
    EXPECT_EQ(4096, height);
    CImageDecoder::FreePixels(rgba);
}

} // namespace
