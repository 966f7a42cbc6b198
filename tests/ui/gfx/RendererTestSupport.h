#pragma once

// Helpers of the renderer tests: an off-screen 32-bit top-down DIB to paint
// into and read pixels from, and small writers of PNG files and stored ZIP
// archives.

#include <gtest/gtest.h>
#include <windows.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "ui/gfx/MemoryBitmap.h"
#include "ui/gfx/Renderer.h"

namespace rendertest {

// A DIB section selected into a memory DC. Pixels are 0xAARRGGBB.
class OffscreenDib
{
public:
    OffscreenDib(int width, int height)
        : m_width(width), m_height(height), m_surface(nullptr, width, height), m_bits(m_surface.GetBits())
    {
    }

    HDC dc() const { return m_surface.GetDC(); }
    bool ok() const { return m_surface.GetDC() != nullptr && m_bits != nullptr; }
    void Clear(DWORD pixel)
    {
        ::GdiFlush();
        for (int i = 0; i < m_width * m_height; ++i)
            m_bits[i] = pixel;
    }
    DWORD Pixel(int x, int y) const
    {
        ::GdiFlush();
        return m_bits[y * m_width + x];
    }
    // The colour without the alpha byte, which GDI drawing leaves undefined.
    DWORD Rgb(int x, int y) const { return Pixel(x, y) & 0x00FFFFFF; }
    int Channel(int x, int y, int shift) const { return static_cast<int>((Pixel(x, y) >> shift) & 0xFF); }
    int Red(int x, int y) const { return Channel(x, y, 16); }
    int Green(int x, int y) const { return Channel(x, y, 8); }
    int Blue(int x, int y) const { return Channel(x, y, 0); }

private:
    int m_width;
    int m_height;
    ui::CMemoryBitmapUI m_surface;
    DWORD* m_bits;
};

// A bitmap of premultiplied 0xAARRGGBB pixels, rows top-down.
inline HBITMAP MakeBitmap(int width, int height, const std::vector<DWORD>& pixels)
{
    DWORD* bits = nullptr;
    HBITMAP bitmap = ui::CRenderer::CreateTopDownDib(nullptr, width, height, &bits);
    for (int i = 0; i < width * height; ++i)
        bits[i] = pixels[i];
    return bitmap;
}

inline void PutBigEndian(std::string& out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

inline void PutLittleEndian(std::string& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

inline uint32_t Crc(const std::string& bytes)
{
    return static_cast<uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

// A PNG file of straight (not premultiplied) 0xAARRGGBB pixels.
inline std::string EncodePng(int width, int height, const std::vector<uint32_t>& pixels)
{
    std::string raw;
    for (int y = 0; y < height; ++y) {
        raw += '\0';
        for (int x = 0; x < width; ++x) {
            uint32_t p = pixels[y * width + x];
            raw += static_cast<char>((p >> 16) & 0xFF);
            raw += static_cast<char>((p >> 8) & 0xFF);
            raw += static_cast<char>(p & 0xFF);
            raw += static_cast<char>(p >> 24);
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(packedSize, '\0');
    compress(reinterpret_cast<Bytef*>(&packed[0]), &packedSize, reinterpret_cast<const Bytef*>(raw.data()),
             static_cast<uLong>(raw.size()));
    packed.resize(packedSize);

    std::string png("\x89PNG\r\n\x1a\n", 8);
    auto chunk = [&png](const char* type, const std::string& data) {
        PutBigEndian(png, static_cast<uint32_t>(data.size()));
        std::string body = std::string(type) + data;
        png += body;
        PutBigEndian(png, Crc(body));
    };
    std::string header;
    PutBigEndian(header, static_cast<uint32_t>(width));
    PutBigEndian(header, static_cast<uint32_t>(height));
    header += std::string("\x08\x06\x00\x00\x00", 5);  // 8 bits, RGBA
    chunk("IHDR", header);
    chunk("IDAT", packed);
    chunk("IEND", std::string());
    return png;
}

// A ZIP archive whose entries are stored uncompressed.
inline std::string MakeStoredZip(const std::vector<std::pair<std::string, std::string>>& entries)
{
    std::string zip;
    std::string directory;
    for (const auto& entry : entries) {
        uint32_t offset = static_cast<uint32_t>(zip.size());
        uint32_t crc = Crc(entry.second);
        uint32_t size = static_cast<uint32_t>(entry.second.size());
        uint32_t nameLength = static_cast<uint32_t>(entry.first.size());
        PutLittleEndian(zip, 0x04034b50, 4);
        PutLittleEndian(zip, 10, 2);  // version needed
        PutLittleEndian(zip, 0, 2);   // flags
        PutLittleEndian(zip, 0, 2);   // stored
        PutLittleEndian(zip, 0, 4);   // time and date
        PutLittleEndian(zip, crc, 4);
        PutLittleEndian(zip, size, 4);
        PutLittleEndian(zip, size, 4);
        PutLittleEndian(zip, nameLength, 2);
        PutLittleEndian(zip, 0, 2);
        zip += entry.first;
        zip += entry.second;

        PutLittleEndian(directory, 0x02014b50, 4);
        PutLittleEndian(directory, 20, 2);  // version made by
        PutLittleEndian(directory, 10, 2);
        PutLittleEndian(directory, 0, 2);
        PutLittleEndian(directory, 0, 2);
        PutLittleEndian(directory, 0, 4);
        PutLittleEndian(directory, crc, 4);
        PutLittleEndian(directory, size, 4);
        PutLittleEndian(directory, size, 4);
        PutLittleEndian(directory, nameLength, 2);
        PutLittleEndian(directory, 0, 2);  // extra
        PutLittleEndian(directory, 0, 2);  // comment
        PutLittleEndian(directory, 0, 2);  // disk
        PutLittleEndian(directory, 0, 2);  // internal attributes
        PutLittleEndian(directory, 0, 4);  // external attributes
        PutLittleEndian(directory, offset, 4);
        directory += entry.first;
    }
    uint32_t directoryOffset = static_cast<uint32_t>(zip.size());
    zip += directory;
    PutLittleEndian(zip, 0x06054b50, 4);
    PutLittleEndian(zip, 0, 2);
    PutLittleEndian(zip, 0, 2);
    PutLittleEndian(zip, static_cast<uint32_t>(entries.size()), 2);
    PutLittleEndian(zip, static_cast<uint32_t>(entries.size()), 2);
    PutLittleEndian(zip, static_cast<uint32_t>(directory.size()), 4);
    PutLittleEndian(zip, directoryOffset, 4);
    PutLittleEndian(zip, 0, 2);
    return zip;
}

// A fresh folder under the temporary folder, with its trailing backslash.
inline std::string MakeTempFolder(const char* name)
{
    char base[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, base);
    std::string folder = std::string(base) + name;
    ::CreateDirectoryA(folder.c_str(), nullptr);
    return folder + "\\";
}

inline bool WriteFileBytes(const std::string& path, const std::string& bytes)
{
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
    return ok && written == bytes.size();
}

// Runs each blending test once with the platform blend and once with the
// software blend that serves where it is absent.
class BlendModeTest : public ::testing::TestWithParam<bool>
{
protected:
    void SetUp() override { ui::CRenderer::SetPlatformBlending(GetParam()); }
    void TearDown() override { ui::CRenderer::SetPlatformBlending(true); }
};

} // namespace rendertest
