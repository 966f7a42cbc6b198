#include "ui/gfx/ImagePixels.h"

namespace ui {

bool PremultiplyPixels(const unsigned char* rgba, unsigned count, uint32_t* out, uint32_t mask)
{
    bool alpha = false;
    for (unsigned i = 0; i < count; ++i, rgba += 4) {
        uint32_t r = rgba[0];
        uint32_t g = rgba[1];
        uint32_t b = rgba[2];
        uint32_t a = rgba[3];
        if (a != 255) {
            r = r * a / 255;
            g = g * a / 255;
            b = b * a / 255;
            alpha = true;
        }
        uint32_t pixel = (a << 24) | (r << 16) | (g << 8) | b;
        if (pixel == mask) {
            pixel = 0;
            alpha = true;
        }
        out[i] = pixel;
    }
    return alpha;
}

uint32_t PremultiplyColor(uint32_t argb)
{
    uint32_t a = argb >> 24;
    if (a == 255)
        return argb;
    uint32_t r = ((argb >> 16) & 0xFF) * a / 255;
    uint32_t g = ((argb >> 8) & 0xFF) * a / 255;
    uint32_t b = (argb & 0xFF) * a / 255;
    return (a << 24) | (r << 16) | (g << 8) | b;
}

void BlendPixels(uint32_t* dest, const uint32_t* source, unsigned count, unsigned char constantAlpha,
                 bool perPixelAlpha)
{
    const uint32_t full = 255 * 255;
    for (unsigned i = 0; i < count; ++i) {
        uint32_t s = source[i];
        uint32_t d = dest[i];
        if (!perPixelAlpha)
            s |= 0xFF000000;
        // The weight in units of 1/255²: the part of the destination the
        // source covers.
        uint32_t w = (s >> 24) * constantAlpha;
        uint32_t out = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            uint32_t sc = (s >> shift) & 0xFF;
            uint32_t dc = (d >> shift) & 0xFF;
            uint32_t mixed = (sc * constantAlpha * 255 + dc * (full - w) + full / 2) / full;
            out |= (mixed > 255 ? 255 : mixed) << shift;
        }
        dest[i] = out;
    }
}

} // namespace ui
