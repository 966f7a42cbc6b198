// Image files as the image loader reads them: the whole file in memory, no
// larger than the loader accepts, decoded, then converted to premultiplied
// pixels with a mask colour, as the loader fills its bitmap, and blended.

#include <algorithm>
#include <cstdint>
#include <memory>

#include "ui/gfx/ImageDecoder.h"
#include "ui/gfx/ImagePixels.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The loader's limit on image files: 64 MiB.
    if (size > 0x4000000)
        return 0;
    int width = 0;
    int height = 0;
    unsigned char* rgba = ui::CImageDecoder::DecodeRgba(data, static_cast<unsigned>(size), &width, &height);
    if (rgba == nullptr)
        return 0;
    if (width <= 0 || height <= 0)
        __builtin_trap();
    unsigned count = static_cast<unsigned>(width) * static_cast<unsigned>(height);
    std::unique_ptr<uint32_t[]> pixels(new uint32_t[count]);
    // Opaque black is masked out, as skins mask a colour of the image.
    bool alpha = ui::PremultiplyPixels(rgba, count, pixels.get(), 0xFF000000u);
    ui::CImageDecoder::FreePixels(rgba);
    // Drawn with a fade over a copy of itself, as the software blend mixes.
    std::unique_ptr<uint32_t[]> under(new uint32_t[count]);
    std::copy(pixels.get(), pixels.get() + count, under.get());
    ui::BlendPixels(under.get(), pixels.get(), count, 200, alpha);
    return 0;
}
