#pragma once

// Writes 8-bit RGB PNG files: one compressed image-data chunk, every row
// stored without a filter.

#include <stdint.h>

#include <string>

class PngWriter
{
public:
    // `pixels` are 32-bit 0x00RRGGBB values (the layout of a 32-bit DIB),
    // rows top-down, `stride` pixels apart; the top byte is ignored.
    // Returns the file's bytes, or an empty string when compression fails.
    static std::string Encode(const uint32_t* pixels, int width, int height, int stride);
    // Encode, written to `path`; false when the file cannot be written.
    static bool Write(const char* path, const uint32_t* pixels, int width, int height, int stride);
};
