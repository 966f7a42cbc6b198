#include "ui/host/Renderer.h"

#include <new>

namespace ui {

namespace {

COLORREF ArgbToColorRef(DWORD argb)
{
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

typedef BOOL(WINAPI* AlphaBlendFn)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
typedef BOOL(WINAPI* GradientFillFn)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

HMODULE BlendLibrary()
{
    static HMODULE module = ::LoadLibraryA("msimg32.dll");
    return module;
}

AlphaBlendFn PlatformAlphaBlend()
{
    static AlphaBlendFn fn = BlendLibrary() != nullptr
        ? reinterpret_cast<AlphaBlendFn>(reinterpret_cast<void*>(::GetProcAddress(BlendLibrary(), "AlphaBlend")))
        : nullptr;
    return fn;
}

GradientFillFn PlatformGradientFill()
{
    static GradientFillFn fn = BlendLibrary() != nullptr
        ? reinterpret_cast<GradientFillFn>(reinterpret_cast<void*>(::GetProcAddress(BlendLibrary(), "GradientFill")))
        : nullptr;
    return fn;
}

// A top-down 32-bit DIB section; `bits` receives its pixels.
HBITMAP CreateDib(HDC dc, int width, int height, DWORD** bits)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = width * height * 4;
    void* pixels = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    *bits = static_cast<DWORD*>(pixels);
    return bitmap;
}

BYTE Premultiply(DWORD channel, DWORD alpha)
{
    return static_cast<BYTE>(channel * alpha / 255);
}

// Blends `width` x `height` premultiplied pixels over the destination
// rectangle without the platform blend: each colour channel becomes
// source × w + destination × (1 − w), w = source alpha × constant / 255².
void SoftwareBlend(HDC dc, const RECT& rc, const DWORD* source, BYTE constantAlpha)
{
    int width = rc.right - rc.left;
    int height = rc.bottom - rc.top;
    HDC memory = ::CreateCompatibleDC(dc);
    if (memory == nullptr)
        return;
    DWORD* pixels = nullptr;
    HBITMAP bitmap = CreateDib(dc, width, height, &pixels);
    if (bitmap == nullptr) {
        ::DeleteDC(memory);
        return;
    }
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, dc, rc.left, rc.top, SRCCOPY);
    for (int i = 0; i < width * height; ++i) {
        DWORD s = source[i];
        DWORD d = pixels[i];
        DWORD w = ((s >> 24) & 0xFF) * constantAlpha; // weight in 1/65025 units
        DWORD out = 0;
        for (int shift = 0; shift < 24; shift += 8) {
            DWORD sc = (s >> shift) & 0xFF;
            DWORD dc8 = (d >> shift) & 0xFF;
            // The source is premultiplied: undo it before mixing.
            DWORD sa = (s >> 24) & 0xFF;
            DWORD straight = sa != 0 ? sc * 255 / sa : 0;
            DWORD mixed = (straight * w + dc8 * (65025 - w)) / 65025;
            out |= (mixed > 255 ? 255 : mixed) << shift;
        }
        pixels[i] = out | 0xFF000000;
    }
    ::BitBlt(dc, rc.left, rc.top, width, height, memory, 0, 0, SRCCOPY);
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
}

} // namespace

// ---- fills --------------------------------------------------------------

void CRenderer::FillColor(HDC dc, const RECT& rc, DWORD color)
{
    if (dc == nullptr || rc.right <= rc.left || rc.bottom <= rc.top)
        return;
    if (color >= 0xFF000000) {
        COLORREF oldColor = ::SetBkColor(dc, ArgbToColorRef(color));
        ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
        ::SetBkColor(dc, oldColor);
        return;
    }
    DWORD alpha = color >> 24;
    if (alpha == 0)
        return;
    // The blend takes premultiplied pixels; a straight colour would come
    // out too bright.
    DWORD pixel = (alpha << 24) | (Premultiply((color >> 16) & 0xFF, alpha) << 16)
        | (Premultiply((color >> 8) & 0xFF, alpha) << 8) | Premultiply(color & 0xFF, alpha);

    AlphaBlendFn blend = PlatformAlphaBlend();
    if (blend == nullptr) {
        int count = (rc.right - rc.left) * (rc.bottom - rc.top);
        DWORD* source = new (std::nothrow) DWORD[count];
        if (source == nullptr)
            return;
        for (int i = 0; i < count; ++i)
            source[i] = pixel;
        SoftwareBlend(dc, rc, source, 255);
        delete[] source;
        return;
    }
    HDC memory = ::CreateCompatibleDC(dc);
    if (memory == nullptr)
        return;
    DWORD* bits = nullptr;
    HBITMAP bitmap = CreateDib(dc, 1, 1, &bits);
    if (bitmap == nullptr) {
        ::DeleteDC(memory);
        return;
    }
    bits[0] = pixel;
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    BLENDFUNCTION bf = { AC_SRC_OVER, 0, 255, AC_SRC_ALPHA };
    blend(dc, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, memory, 0, 0, 1, 1, bf);
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
}

namespace {

// The opaque gradient itself, into `dc` at `rc`.
void DrawGradient(HDC dc, const RECT& rc, DWORD first, DWORD second, int steps)
{
    GradientFillFn gradient = PlatformGradientFill();
    if (gradient != nullptr) {
        TRIVERTEX vertices[2] = {};
        vertices[0].x = rc.left;
        vertices[0].y = rc.top;
        vertices[0].Red = static_cast<COLOR16>(((first >> 16) & 0xFF) << 8);
        vertices[0].Green = static_cast<COLOR16>(((first >> 8) & 0xFF) << 8);
        vertices[0].Blue = static_cast<COLOR16>((first & 0xFF) << 8);
        vertices[0].Alpha = 0xFF00;
        vertices[1].x = rc.right;
        vertices[1].y = rc.bottom;
        vertices[1].Red = static_cast<COLOR16>(((second >> 16) & 0xFF) << 8);
        vertices[1].Green = static_cast<COLOR16>(((second >> 8) & 0xFF) << 8);
        vertices[1].Blue = static_cast<COLOR16>((second & 0xFF) << 8);
        vertices[1].Alpha = 0xFF00;
        GRADIENT_RECT piece = { 0, 1 };
        gradient(dc, vertices, 2, &piece, 1, GRADIENT_FILL_RECT_V);
        return;
    }
    int n = steps >= 16 ? 16 : 8;
    int height = rc.bottom - rc.top;
    for (int i = 0; i < n; ++i) {
        RECT band = rc;
        band.top = rc.bottom - (i + 1) * height / n;
        band.bottom = rc.bottom - i * height / n;
        DWORD channels[3];
        for (int c = 0; c < 3; ++c) {
            int shift = 16 - 8 * c;
            DWORD a = (first >> shift) & 0xFF;
            DWORD b = (second >> shift) & 0xFF;
            channels[c] = (b * (n - i) + a * i) / n;
        }
        HBRUSH brush = ::CreateSolidBrush(RGB(channels[0], channels[1], channels[2]));
        ::FillRect(dc, &band, brush);
        ::DeleteObject(brush);
    }
}

} // namespace

void CRenderer::FillGradient(HDC dc, const RECT& rc, DWORD first, DWORD second, int steps)
{
    if (dc == nullptr || rc.right <= rc.left || rc.bottom <= rc.top)
        return;
    DWORD opacity = ((first >> 24) + (second >> 24)) / 2;
    if (opacity == 0)
        return;
    if (opacity == 255) {
        DrawGradient(dc, rc, first, second, steps);
        return;
    }
    // A translucent gradient is drawn apart and blended with the opacity.
    int width = rc.right - rc.left;
    int height = rc.bottom - rc.top;
    HDC memory = ::CreateCompatibleDC(dc);
    if (memory == nullptr)
        return;
    DWORD* bits = nullptr;
    HBITMAP bitmap = CreateDib(dc, width, height, &bits);
    if (bitmap == nullptr) {
        ::DeleteDC(memory);
        return;
    }
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    RECT local = { 0, 0, width, height };
    DrawGradient(memory, local, first, second, steps);
    ::GdiFlush();
    for (int i = 0; i < width * height; ++i)
        bits[i] |= 0xFF000000;
    AlphaBlendFn blend = PlatformAlphaBlend();
    if (blend != nullptr) {
        BLENDFUNCTION bf = { AC_SRC_OVER, 0, static_cast<BYTE>(opacity), 0 };
        blend(dc, rc.left, rc.top, width, height, memory, 0, 0, width, height, bf);
    } else {
        SoftwareBlend(dc, rc, bits, static_cast<BYTE>(opacity));
    }
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
}

// ---- outlines -----------------------------------------------------------

void CRenderer::StrokeLine(HDC dc, const RECT& rc, DWORD color)
{
    if (dc == nullptr)
        return;
    HPEN pen = ::CreatePen(PS_SOLID, 1, ArgbToColorRef(color));
    HGDIOBJ old = ::SelectObject(dc, pen);
    POINT previous;
    ::MoveToEx(dc, rc.left, rc.top, &previous);
    ::LineTo(dc, rc.right, rc.bottom);
    ::MoveToEx(dc, previous.x, previous.y, nullptr);
    ::SelectObject(dc, old);
    ::DeleteObject(pen);
}

void CRenderer::StrokeRect(HDC dc, const RECT& rc, int penWidth, DWORD color)
{
    if (dc == nullptr)
        return;
    HPEN pen = ::CreatePen(PS_INSIDEFRAME, penWidth, ArgbToColorRef(color));
    HGDIOBJ oldPen = ::SelectObject(dc, pen);
    HGDIOBJ oldBrush = ::SelectObject(dc, ::GetStockObject(HOLLOW_BRUSH));
    ::Rectangle(dc, rc.left, rc.top, rc.right, rc.bottom);
    ::SelectObject(dc, oldBrush);
    ::SelectObject(dc, oldPen);
    ::DeleteObject(pen);
}

void CRenderer::StrokeRoundRect(HDC dc, const RECT& rc, int penWidth, int cornerWidth, int cornerHeight,
                                DWORD color)
{
    if (dc == nullptr)
        return;
    HPEN pen = ::CreatePen(PS_INSIDEFRAME, penWidth, ArgbToColorRef(color));
    HGDIOBJ oldPen = ::SelectObject(dc, pen);
    HGDIOBJ oldBrush = ::SelectObject(dc, ::GetStockObject(HOLLOW_BRUSH));
    ::RoundRect(dc, rc.left, rc.top, rc.right, rc.bottom, cornerWidth, cornerHeight);
    ::SelectObject(dc, oldBrush);
    ::SelectObject(dc, oldPen);
    ::DeleteObject(pen);
}

// ---- images ---------------------------------------------------------------

bool CRenderer::DrawImageSpec(HDC dc, CWindowHostUI* host, const RECT& control, const RECT& paint,
                              const char* image, const char* modify)
{
    (void)dc;
    (void)host;
    (void)control;
    (void)paint;
    (void)image;
    (void)modify;
    // FIXME: images arrive with the image loader; until then nothing is drawn.
    return false;
}

// ---- clip scope -------------------------------------------------------------

UIClip::UIClip() : m_rect(), m_dc(nullptr), m_added(nullptr), m_previous(nullptr)
{
}

UIClip::~UIClip()
{
    if (m_dc != nullptr)
        ::SelectClipRgn(m_dc, m_previous);
    if (m_added != nullptr)
        ::DeleteObject(m_added);
    if (m_previous != nullptr)
        ::DeleteObject(m_previous);
}

void UIClip::Narrow(HDC dc, const RECT& rc, HRGN added)
{
    RECT box;
    ::GetClipBox(dc, &box);
    m_previous = ::CreateRectRgnIndirect(&box);
    m_dc = dc;
    m_rect = rc;
    m_added = added;
    ::ExtSelectClipRgn(dc, m_added, RGN_AND);
}

void UIClip::ClipRect(HDC dc, const RECT& rc)
{
    if (dc == nullptr || m_dc != nullptr)
        return;
    Narrow(dc, rc, ::CreateRectRgnIndirect(&rc));
}

void UIClip::ClipRoundRect(HDC dc, const RECT& clip, const RECT& control, int cornerWidth, int cornerHeight)
{
    if (dc == nullptr || m_dc != nullptr)
        return;
    HRGN added = ::CreateRectRgnIndirect(&clip);
    HRGN round = ::CreateRoundRectRgn(control.left, control.top, control.right + 1, control.bottom + 1,
                                      cornerWidth, cornerHeight);
    ::CombineRgn(added, added, round, RGN_AND);
    ::DeleteObject(round);
    Narrow(dc, clip, added);
}

void UIClip::Reselect() const
{
    if (m_dc == nullptr)
        return;
    ::SelectClipRgn(m_dc, m_previous);
    ::ExtSelectClipRgn(m_dc, m_added, RGN_AND);
}

} // namespace ui
