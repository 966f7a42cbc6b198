#pragma once

// Decodes image files held in memory (PNG, JPEG, BMP, GIF, TGA and the
// other formats of the decoding library) into 8-bit red, green, blue, alpha
// pixels, rows top-down. Portable: no platform headers are needed.

namespace ui {

class CImageDecoder
{
public:
    // Null when the bytes are not an image that can be decoded, or one of
    // more than 16,777,216 pixels (4096 × 4096); otherwise
    // width × height × 4 bytes that the caller hands to FreePixels.
    static unsigned char* DecodeRgba(const void* bytes, unsigned size, int* width, int* height);
    static void FreePixels(unsigned char* pixels);
};

} // namespace ui
