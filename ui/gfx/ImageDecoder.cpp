#include "ui/gfx/ImageDecoder.h"

#include <climits>
#include <cstring>

// The decoding library is instantiated here and nowhere else. Files come
// only from memory.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_FAILURE_USERMSG
#include <stb_image.h>

namespace ui {

namespace {

// The decoder reserves room for a PNG data chunk from the length the chunk
// states, before it reads the chunk: a file of a few dozen bytes could make
// it reserve two gigabytes. A chunk longer than the bytes after it cannot
// be read whole, so such a file never decodes; it is refused before the
// decoder sees it. Nothing after the end chunk is read.
bool HasOverlongPngChunk(const unsigned char* bytes, unsigned size)
{
    static const unsigned char signature[8] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
    if (size < sizeof signature || std::memcmp(bytes, signature, sizeof signature) != 0)
        return false;
    unsigned at = sizeof signature;
    while (size - at >= 8) {
        const unsigned char* chunk = bytes + at;
        unsigned length = static_cast<unsigned>(chunk[0]) << 24 | static_cast<unsigned>(chunk[1]) << 16
            | static_cast<unsigned>(chunk[2]) << 8 | chunk[3];
        if (std::memcmp(chunk + 4, "IEND", 4) == 0)
            return false;
        at += 8;
        if (length > size - at)
            return true;
        at += length;
        // The chunk's checksum.
        if (size - at < 4)
            return false;
        at += 4;
    }
    return false;
}

// The decoder reserves the pixels of the size a header states before it
// reads them, and a header of a few bytes can state any size. Skins hold
// small images; more than this many pixels are refused.
const long long kMaxPixels = 1 << 24;

bool StatesTooManyPixels(const void* bytes, unsigned size)
{
    int w = 0;
    int h = 0;
    int channels = 0;
    if (!stbi_info_from_memory(static_cast<const stbi_uc*>(bytes), static_cast<int>(size), &w, &h, &channels))
        return false;
    return static_cast<long long>(w) * h > kMaxPixels;
}

} // namespace

unsigned char* CImageDecoder::DecodeRgba(const void* bytes, unsigned size, int* width, int* height)
{
    *width = 0;
    *height = 0;
    if (bytes == nullptr || size == 0 || size > static_cast<unsigned>(INT_MAX))
        return nullptr;
    if (HasOverlongPngChunk(static_cast<const unsigned char*>(bytes), size) || StatesTooManyPixels(bytes, size))
        return nullptr;
    int w = 0;
    int h = 0;
    int channels = 0;
    unsigned char* pixels = stbi_load_from_memory(static_cast<const stbi_uc*>(bytes), static_cast<int>(size),
                                                  &w, &h, &channels, 4);
    if (pixels == nullptr)
        return nullptr;
    if (w <= 0 || h <= 0) {
        stbi_image_free(pixels);
        return nullptr;
    }
    *width = w;
    *height = h;
    return pixels;
}

void CImageDecoder::FreePixels(unsigned char* pixels)
{
    stbi_image_free(pixels);
}

} // namespace ui
