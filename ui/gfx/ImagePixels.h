#pragma once

// Pixel arithmetic of the image renderer on 32-bit pixels: alpha in the top
// byte, then red, green, blue (in memory: blue, green, red, alpha). Colour
// channels are premultiplied by alpha except where alpha is 255. Portable:
// no platform headers are needed.

#include <cstdint>

namespace ui {

// Converts `count` decoded pixels in the byte order red, green, blue, alpha
// into premultiplied pixels. A resulting pixel equal to `mask` becomes 0
// (fully transparent). Returns true when some pixel is not opaque or was
// masked out.
bool PremultiplyPixels(const unsigned char* rgba, unsigned count, uint32_t* out, uint32_t mask);

// The premultiplied form of one ARGB colour given with straight channels.
uint32_t PremultiplyColor(uint32_t argb);

// Blends `count` premultiplied source pixels over the destination pixels:
// with the weight w = source alpha × constant alpha / 255², every channel
// becomes source × constant alpha / 255 + destination × (1 − w), rounded.
// Without `perPixelAlpha` the source counts as opaque.
void BlendPixels(uint32_t* dest, const uint32_t* source, unsigned count, unsigned char constantAlpha,
                 bool perPixelAlpha);

} // namespace ui
