#include "ui/gfx/Renderer.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "ui/base/ResourceReader.h"
#include "ui/gfx/ImageDecoder.h"
#include "ui/gfx/ImagePixels.h"
#include "ui/gfx/MemoryBitmap.h"
#include "ui/gfx/ProgramUI.h"

// Sections: loading images, blending, the nine-grid blit.

namespace ui {

namespace {

typedef BOOL(WINAPI* AlphaBlendFn)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);

// The largest image file read: far beyond any skin image, small enough to
// keep a corrupt size from exhausting a 32-bit process.
const unsigned kMaxImageFileSize = 0x4000000;

bool s_platformBlending = true;

// Copies a resource of the resource module into a malloc'ed buffer.
bool ReadResource(const char* name, const char* type, unsigned char** bytes, unsigned* size)
{
    HMODULE module = CProgramUI::GetResourceInstance();
    HRSRC found = ::FindResourceA(module, name, type);
    if (found == nullptr)
        return false;
    HGLOBAL loaded = ::LoadResource(module, found);
    if (loaded == nullptr)
        return false;
    DWORD length = ::SizeofResource(module, found);
    const void* data = length != 0 ? ::LockResource(loaded) : nullptr;
    unsigned char* copy = data != nullptr ? static_cast<unsigned char*>(std::malloc(length)) : nullptr;
    if (copy != nullptr)
        std::memcpy(copy, data, length);
    ::FreeResource(loaded);
    if (copy == nullptr)
        return false;
    *bytes = copy;
    *size = length;
    return true;
}

// Reads a file from the resource folder, or an entry of the resource
// archive when one is set.
bool ReadImageFile(const char* name, unsigned char** bytes, unsigned* size)
{
    UIResourceSource source = CProgramUI::GetResourceSource();
    char* data = nullptr;
    if (CResourceReader::Read(source, name, kMaxImageFileSize, &data, size) != CResourceReader::kOk)
        return false;
    *bytes = reinterpret_cast<unsigned char*>(data);
    return true;
}

} // namespace

// ---- loading images ---------------------------------------------------------

HBITMAP CRenderer::CreateTopDownDib(HDC dc, int width, int height, DWORD** bits)
{
    *bits = nullptr;
    if (width <= 0 || height <= 0)
        return nullptr;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = static_cast<DWORD>(width) * static_cast<DWORD>(height) * 4;
    void* pixels = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (bitmap == nullptr || pixels == nullptr) {
        if (bitmap != nullptr)
            ::DeleteObject(bitmap);
        return nullptr;
    }
    *bits = static_cast<DWORD*>(pixels);
    return bitmap;
}

UIImageInfo* CRenderer::LoadImageFile(const char* name, const char* resourceType, DWORD mask)
{
    if (name == nullptr)
        return nullptr;
    bool fromResource = resourceType != nullptr && (IS_INTRESOURCE(resourceType) || resourceType[0] != '\0');
    // A numeric id names a resource only; as a file name it is no text.
    if (!fromResource && (IS_INTRESOURCE(name) || name[0] == '\0'))
        return nullptr;
    unsigned char* bytes = nullptr;
    unsigned size = 0;
    bool read = fromResource ? ReadResource(name, resourceType, &bytes, &size) : ReadImageFile(name, &bytes, &size);
    if (!read)
        return nullptr;
    int width = 0;
    int height = 0;
    unsigned char* rgba = CImageDecoder::DecodeRgba(bytes, size, &width, &height);
    std::free(bytes);
    if (rgba == nullptr)
        return nullptr;

    DWORD* bits = nullptr;
    HBITMAP bitmap = CreateTopDownDib(nullptr, width, height, &bits);
    UIImageInfo* info = bitmap != nullptr ? new (std::nothrow) UIImageInfo : nullptr;
    if (info == nullptr) {
        if (bitmap != nullptr)
            ::DeleteObject(bitmap);
        CImageDecoder::FreePixels(rgba);
        return nullptr;
    }
    bool alpha = PremultiplyPixels(rgba, static_cast<unsigned>(width) * static_cast<unsigned>(height),
                                   reinterpret_cast<uint32_t*>(bits), mask);
    CImageDecoder::FreePixels(rgba);
    info->bitmap = bitmap;
    info->width = width;
    info->height = height;
    info->alpha = alpha;
    return info;
}

// ---- blending ------------------------------------------------------------------

void CRenderer::SetPlatformBlending(bool on)
{
    s_platformBlending = on;
}

namespace {

int Width(const RECT& rc)
{
    return rc.right - rc.left;
}

int Height(const RECT& rc)
{
    return rc.bottom - rc.top;
}

// Blends without the platform function: the source part is stretched into
// one DIB of the destination's size, the destination copied into another,
// mixed there and copied back. Failing to make the DIBs skips the drawing.
void SoftwareBlend(HDC dc, const RECT& dest, HDC sourceDC, const RECT& source, BYTE constantAlpha)
{
    int width = Width(dest);
    int height = Height(dest);
    CMemoryBitmapUI sourceCopy(dc, width, height);
    CMemoryBitmapUI destCopy(dc, width, height);
    if (!sourceCopy.IsReady() || !destCopy.IsReady())
        return;
    ::SetStretchBltMode(sourceCopy.GetDC(), COLORONCOLOR);
    ::StretchBlt(sourceCopy.GetDC(), 0, 0, width, height, sourceDC, source.left, source.top, Width(source),
                 Height(source), SRCCOPY);
    ::BitBlt(destCopy.GetDC(), 0, 0, width, height, dc, dest.left, dest.top, SRCCOPY);
    ::GdiFlush();
    BlendPixels(reinterpret_cast<uint32_t*>(destCopy.GetBits()),
                reinterpret_cast<const uint32_t*>(sourceCopy.GetBits()),
                static_cast<unsigned>(width) * static_cast<unsigned>(height), constantAlpha, true);
    ::BitBlt(dc, dest.left, dest.top, width, height, destCopy.GetDC(), 0, 0, SRCCOPY);
}

// Draws the pieces of one blit: copies them, or blends them with the
// source's per-pixel alpha and the constant alpha. Pieces that do not meet
// the paint rectangle, and empty or inverted ones, are skipped.
class PiecePainter
{
public:
    PiecePainter(HDC dc, HDC source, const RECT& paint, bool blend, BYTE fade, AlphaBlendFn alphaBlend)
        : m_dc(dc), m_source(source), m_paint(paint), m_blend(blend), m_fade(fade), m_alphaBlend(alphaBlend)
    {
    }

    void Stretch(const RECT& dest, const RECT& source) const
    {
        if (!IsDrawn(dest, source))
            return;
        if (m_blend)
            Blend(dest, source);
        else
            ::StretchBlt(m_dc, dest.left, dest.top, Width(dest), Height(dest), m_source, source.left, source.top,
                         Width(source), Height(source), SRCCOPY);
    }

    // A piece whose source has the destination's size.
    void Tile(const RECT& dest, const RECT& source) const
    {
        if (!IsDrawn(dest, source))
            return;
        if (m_blend)
            Blend(dest, source);
        else
            ::BitBlt(m_dc, dest.left, dest.top, Width(dest), Height(dest), m_source, source.left, source.top,
                     SRCCOPY);
    }

    const RECT& Paint() const { return m_paint; }

    bool Meets(const RECT& dest) const
    {
        RECT meet;
        return ::IntersectRect(&meet, &dest, &m_paint) != FALSE;
    }

private:
    bool IsDrawn(const RECT& dest, const RECT& source) const
    {
        return Width(source) > 0 && Height(source) > 0 && Width(dest) > 0 && Height(dest) > 0 && Meets(dest);
    }

    void Blend(const RECT& dest, const RECT& source) const
    {
        if (m_alphaBlend == nullptr) {
            SoftwareBlend(m_dc, dest, m_source, source, m_fade);
            return;
        }
        BLENDFUNCTION function = { AC_SRC_OVER, 0, m_fade, AC_SRC_ALPHA };
        m_alphaBlend(m_dc, dest.left, dest.top, Width(dest), Height(dest), m_source, source.left, source.top,
                     Width(source), Height(source), function);
    }

    HDC m_dc;
    HDC m_source;
    RECT m_paint;
    bool m_blend;
    BYTE m_fade;
    AlphaBlendFn m_alphaBlend;
};

// The tiles of [from, to) that meet [paintFrom, paintTo) along one axis, as
// the first index and the one past the last; one "tile" when the axis is
// stretched. Counted in 64 bits, so that a destination reaching far outside
// the window neither overflows nor makes the blit walk tiles nobody sees.
void TilesMeeting(bool tiled, int from, int to, int tile, int paintFrom, int paintTo, int& first, int& end)
{
    if (!tiled) {
        first = 0;
        end = 1;
        return;
    }
    long long count = (static_cast<long long>(to) - from + tile - 1) / tile;
    long long low = paintFrom > from ? (static_cast<long long>(paintFrom) - from) / tile : 0;
    long long high = paintTo > from ? (static_cast<long long>(paintTo) - from + tile - 1) / tile : 0;
    first = static_cast<int>(low < count ? low : count);
    end = static_cast<int>(high < count ? high : count);
}

// The middle of the nine-grid: stretched, or tiled along the tiled axes
// with the last column and row cut at the middle's right and bottom.
void DrawMiddle(const PiecePainter& painter, const RECT& dest, const RECT& source, bool xTiled, bool yTiled)
{
    if (!xTiled && !yTiled) {
        painter.Stretch(dest, source);
        return;
    }
    int tileWidth = Width(source);
    int tileHeight = Height(source);
    if (tileWidth <= 0 || tileHeight <= 0 || Width(dest) <= 0 || Height(dest) <= 0)
        return;
    const RECT& paint = painter.Paint();
    int firstColumn, endColumn, firstRow, endRow;
    TilesMeeting(xTiled, dest.left, dest.right, tileWidth, paint.left, paint.right, firstColumn, endColumn);
    TilesMeeting(yTiled, dest.top, dest.bottom, tileHeight, paint.top, paint.bottom, firstRow, endRow);
    for (int row = firstRow; row < endRow; ++row) {
        RECT piece = dest;
        RECT part = source;
        if (yTiled) {
            piece.top = dest.top + row * tileHeight;
            piece.bottom = piece.top + tileHeight < dest.bottom ? piece.top + tileHeight : dest.bottom;
            part.bottom = source.top + Height(piece);
        }
        for (int column = firstColumn; column < endColumn; ++column) {
            if (xTiled) {
                piece.left = dest.left + column * tileWidth;
                piece.right = piece.left + tileWidth < dest.right ? piece.left + tileWidth : dest.right;
                part.right = source.left + Width(piece);
            }
            if (xTiled && yTiled)
                painter.Tile(piece, part);
            else
                painter.Stretch(piece, part);
        }
    }
}

} // namespace

// ---- the nine-grid blit ----------------------------------------------------------

void CRenderer::BlitImage(HDC dc, HBITMAP bitmap, const RECT& dest, const RECT& paint, const RECT& source,
                          const RECT& corners, bool alpha, BYTE fade, bool hole, bool xTiled, bool yTiled)
{
    static AlphaBlendFn platformBlend = BlendLibrary() != nullptr
        ? reinterpret_cast<AlphaBlendFn>(reinterpret_cast<void*>(::GetProcAddress(BlendLibrary(), "AlphaBlend")))
        : nullptr;
    if (dc == nullptr || bitmap == nullptr)
        return;
    // One memory DC serves every blit (painting runs on one thread): making
    // and deleting a DC per image was much of a small image's cost. The
    // bitmap leaves it again at the end, so that it can be selected
    // elsewhere.
    static HDC memory = ::CreateCompatibleDC(nullptr);
    HGDIOBJ previous = memory != nullptr ? ::SelectObject(memory, bitmap) : nullptr;
    if (previous == nullptr)
        return;
    int oldMode = ::SetStretchBltMode(dc, COLORONCOLOR);
    bool blend = alpha || fade != 255;
    PiecePainter painter(dc, memory, paint, blend, fade, s_platformBlending ? platformBlend : nullptr);

    const RECT& c = corners;
    bool noCorners = c.left == 0 && c.top == 0 && c.right == 0 && c.bottom == 0;
    if (!blend && !hole && noCorners && Width(dest) == Width(source) && Height(dest) == Height(source)) {
        // A plain copy: only the part inside the paint rectangle.
        RECT part;
        if (::IntersectRect(&part, &dest, &paint))
            ::BitBlt(dc, part.left, part.top, Width(part), Height(part), memory,
                     source.left + part.left - dest.left, source.top + part.top - dest.top, SRCCOPY);
    } else {
        RECT dm = { dest.left + c.left, dest.top + c.top, dest.right - c.right, dest.bottom - c.bottom };
        RECT sm = { source.left + c.left, source.top + c.top, source.right - c.right, source.bottom - c.bottom };
        if (!hole && painter.Meets(dm))
            DrawMiddle(painter, dm, sm, xTiled, yTiled);
        if (c.left > 0 && c.top > 0)
            painter.Stretch({ dest.left, dest.top, dm.left, dm.top }, { source.left, source.top, sm.left, sm.top });
        if (c.top > 0)
            painter.Stretch({ dm.left, dest.top, dm.right, dm.top }, { sm.left, source.top, sm.right, sm.top });
        if (c.right > 0 && c.top > 0)
            painter.Stretch({ dm.right, dest.top, dest.right, dm.top },
                            { sm.right, source.top, source.right, sm.top });
        if (c.left > 0)
            painter.Stretch({ dest.left, dm.top, dm.left, dm.bottom }, { source.left, sm.top, sm.left, sm.bottom });
        if (c.right > 0)
            painter.Stretch({ dm.right, dm.top, dest.right, dm.bottom },
                            { sm.right, sm.top, source.right, sm.bottom });
        if (c.left > 0 && c.bottom > 0)
            painter.Stretch({ dest.left, dm.bottom, dm.left, dest.bottom },
                            { source.left, sm.bottom, sm.left, source.bottom });
        if (c.bottom > 0)
            painter.Stretch({ dm.left, dm.bottom, dm.right, dest.bottom },
                            { sm.left, sm.bottom, sm.right, source.bottom });
        if (c.right > 0 && c.bottom > 0)
            painter.Stretch({ dm.right, dm.bottom, dest.right, dest.bottom },
                            { sm.right, sm.bottom, source.right, source.bottom });
    }

    if (oldMode != 0)
        ::SetStretchBltMode(dc, oldMode);
    ::SelectObject(memory, previous);
}

} // namespace ui
