#include "ui/gfx/ImageDecoder.h"

#include <climits>

// The decoding library is instantiated here and nowhere else. Files come
// only from memory.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_FAILURE_USERMSG
#include <stb_image.h>

namespace ui {

unsigned char* CImageDecoder::DecodeRgba(const void* bytes, unsigned size, int* width, int* height)
{
    *width = 0;
    *height = 0;
    if (bytes == nullptr || size == 0 || size > static_cast<unsigned>(INT_MAX))
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
