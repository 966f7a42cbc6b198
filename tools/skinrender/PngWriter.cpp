#include "tools/skinrender/PngWriter.h"

#include <stdio.h>

#include <vector>

#include <zlib.h>

namespace {

void PutUint32(std::string& out, uint32_t value)
{
    out.push_back(static_cast<char>(value >> 24));
    out.push_back(static_cast<char>(value >> 16));
    out.push_back(static_cast<char>(value >> 8));
    out.push_back(static_cast<char>(value));
}

// Length, type, data and the checksum over type and data.
void PutChunk(std::string& out, const char* type, const std::string& data)
{
    PutUint32(out, static_cast<uint32_t>(data.size()));
    std::string typed(type, 4);
    typed += data;
    out += typed;
    uLong crc = crc32(0L, Z_NULL, 0);
    crc = crc32(crc, reinterpret_cast<const Bytef*>(typed.data()), static_cast<uInt>(typed.size()));
    PutUint32(out, static_cast<uint32_t>(crc));
}

} // namespace

std::string PngWriter::Encode(const uint32_t* pixels, int width, int height, int stride)
{
    if (pixels == nullptr || width <= 0 || height <= 0 || stride < width)
        return std::string();

    // Each row: filter type 0, then red, green, blue.
    const size_t rowBytes = 1 + static_cast<size_t>(width) * 3;
    std::vector<Bytef> raw(rowBytes * static_cast<size_t>(height));
    Bytef* p = raw.data();
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = pixels + static_cast<size_t>(y) * stride;
        *p++ = 0;
        for (int x = 0; x < width; ++x) {
            *p++ = static_cast<Bytef>(row[x] >> 16);
            *p++ = static_cast<Bytef>(row[x] >> 8);
            *p++ = static_cast<Bytef>(row[x]);
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<Bytef> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), Z_BEST_COMPRESSION)
        != Z_OK)
        return std::string();

    std::string png("\x89PNG\r\n\x1a\n", 8);
    std::string header;
    PutUint32(header, static_cast<uint32_t>(width));
    PutUint32(header, static_cast<uint32_t>(height));
    header.push_back(8);  // bits per sample
    header.push_back(2);  // colour type: RGB
    header.push_back(0);  // deflate
    header.push_back(0);  // adaptive filtering
    header.push_back(0);  // not interlaced
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", std::string(reinterpret_cast<const char*>(packed.data()), packedSize));
    PutChunk(png, "IEND", std::string());
    return png;
}

bool PngWriter::Write(const char* path, const uint32_t* pixels, int width, int height, int stride)
{
    std::string png = Encode(pixels, width, height, stride);
    if (png.empty() || path == nullptr)
        return false;
    FILE* file = fopen(path, "wb");
    if (file == nullptr)
        return false;
    bool written = fwrite(png.data(), 1, png.size(), file) == png.size();
    written = fclose(file) == 0 && written;
    if (!written)
        remove(path);  // no half-written image is left behind
    return written;
}
