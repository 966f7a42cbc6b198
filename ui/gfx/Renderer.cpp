#include "ui/gfx/Renderer.h"

#include "ui/gfx/ImageAttributeParser.h"
#include "ui/gfx/ImagePixels.h"
#include "ui/gfx/MemoryBitmap.h"

// Sections: colours and fills, outlines, image attribute strings. Loading
// and blitting images are in RendererImage.cpp.

namespace ui {

namespace {

typedef BOOL(WINAPI* GradientFillFn)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

bool IsEmptyRect(const RECT& rc)
{
    return rc.right <= rc.left || rc.bottom <= rc.top;
}

COLOR16 Channel16(DWORD argb, int shift)
{
    return static_cast<COLOR16>(((argb >> shift) & 0xFF) << 8);
}

} // namespace

HMODULE CRenderer::BlendLibrary()
{
    static HMODULE module = [] {
        HMODULE loaded = ::GetModuleHandleA("msimg32.dll");
        return loaded != nullptr ? loaded : ::LoadLibraryA("msimg32.dll");
    }();
    return module;
}

// ---- colours and fills --------------------------------------------------

COLORREF CRenderer::ToColorRef(DWORD argb)
{
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

void CRenderer::FillColor(HDC dc, const RECT& rc, DWORD color)
{
    if (dc == nullptr || IsEmptyRect(rc))
        return;
    if (color >= 0xFF000000) {
        // The DC's own brush: nothing is created per fill, and unlike an
        // opaque empty text output the fill does not go through the font.
        COLORREF oldColor = ::SetDCBrushColor(dc, ToColorRef(color));
        ::FillRect(dc, &rc, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
        ::SetDCBrushColor(dc, oldColor);
        return;
    }
    DWORD* bits = nullptr;
    HBITMAP pixel = CreateTopDownDib(dc, 1, 1, &bits);
    if (pixel == nullptr)
        return;
    // The blit takes premultiplied pixels: a straight colour would come out
    // too bright, its channels added over the background.
    bits[0] = PremultiplyColor(color);
    RECT source = { 0, 0, 1, 1 };
    RECT corners = { 0, 0, 0, 0 };
    BlitImage(dc, pixel, rc, rc, source, corners, true, 255, false, false, false);
    ::DeleteObject(pixel);
}

namespace {

// The opaque gradient itself, into `dc` at `rc`.
void DrawGradient(HDC dc, const RECT& rc, DWORD first, DWORD second, int steps, GradientFillFn gradient)
{
    if (gradient != nullptr) {
        TRIVERTEX vertices[2] = {};
        vertices[0].x = rc.left;
        vertices[0].y = rc.top;
        vertices[0].Red = Channel16(first, 16);
        vertices[0].Green = Channel16(first, 8);
        vertices[0].Blue = Channel16(first, 0);
        vertices[0].Alpha = 0xFF00;
        vertices[1].x = rc.right;
        vertices[1].y = rc.bottom;
        vertices[1].Red = Channel16(second, 16);
        vertices[1].Green = Channel16(second, 8);
        vertices[1].Blue = Channel16(second, 0);
        vertices[1].Alpha = 0xFF00;
        GRADIENT_RECT piece = { 0, 1 };
        gradient(dc, vertices, 2, &piece, 1, GRADIENT_FILL_RECT_V);
        return;
    }
    // Bands counted from the bottom; the bottom one has the second colour.
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
        if (brush == nullptr)
            continue;
        ::FillRect(dc, &band, brush);
        ::DeleteObject(brush);
    }
}

} // namespace

void CRenderer::FillGradient(HDC dc, const RECT& rc, DWORD first, DWORD second, int steps)
{
    if (dc == nullptr || IsEmptyRect(rc))
        return;
    DWORD opacity = ((first >> 24) + (second >> 24)) / 2;
    if (opacity == 0)
        return;
    static GradientFillFn gradient = BlendLibrary() != nullptr
        ? reinterpret_cast<GradientFillFn>(reinterpret_cast<void*>(::GetProcAddress(BlendLibrary(), "GradientFill")))
        : nullptr;
    if (opacity == 255) {
        DrawGradient(dc, rc, first, second, steps, gradient);
        return;
    }
    // A translucent gradient is drawn apart and blended with the opacity.
    int width = rc.right - rc.left;
    int height = rc.bottom - rc.top;
    CMemoryBitmapUI buffer(dc, width, height);
    if (!buffer.IsReady())
        return;
    RECT local = { 0, 0, width, height };
    DrawGradient(buffer.GetDC(), local, first, second, steps, gradient);
    ::GdiFlush();
    // The drawing leaves the alpha bytes undefined: make the gradient
    // opaque, so that only the constant opacity blends.
    DWORD* bits = buffer.GetBits();
    for (int i = 0; i < width * height; ++i)
        bits[i] |= 0xFF000000;
    // The blit selects the bitmap into a DC of its own.
    buffer.CloseDC();
    RECT corners = { 0, 0, 0, 0 };
    BlitImage(dc, buffer.GetBitmap(), rc, rc, local, corners, false, static_cast<BYTE>(opacity), false, false,
              false);
}

// ---- outlines -----------------------------------------------------------

void CRenderer::StrokeLine(HDC dc, const RECT& rc, DWORD color)
{
    if (dc == nullptr)
        return;
    HPEN pen = ::CreatePen(PS_SOLID, 1, ToColorRef(color));
    if (pen == nullptr)
        return;
    HGDIOBJ old = ::SelectObject(dc, pen);
    POINT previous;
    ::MoveToEx(dc, rc.left, rc.top, &previous);
    ::LineTo(dc, rc.right, rc.bottom);
    ::MoveToEx(dc, previous.x, previous.y, nullptr);
    ::SelectObject(dc, old);
    ::DeleteObject(pen);
}

namespace {

// An inside-frame pen and the hollow brush selected for one outline.
class OutlineTools
{
public:
    OutlineTools(HDC dc, int penWidth, COLORREF color)
        : m_dc(dc), m_pen(::CreatePen(PS_INSIDEFRAME, penWidth, color)), m_oldPen(nullptr), m_oldBrush(nullptr)
    {
        if (m_pen == nullptr)
            return;
        m_oldPen = ::SelectObject(dc, m_pen);
        m_oldBrush = ::SelectObject(dc, ::GetStockObject(HOLLOW_BRUSH));
    }
    ~OutlineTools()
    {
        if (m_pen == nullptr)
            return;
        ::SelectObject(m_dc, m_oldBrush);
        ::SelectObject(m_dc, m_oldPen);
        ::DeleteObject(m_pen);
    }
    bool IsReady() const { return m_pen != nullptr; }

private:
    HDC m_dc;
    HPEN m_pen;
    HGDIOBJ m_oldPen;
    HGDIOBJ m_oldBrush;
};

} // namespace

void CRenderer::StrokeRect(HDC dc, const RECT& rc, int penWidth, DWORD color)
{
    if (dc == nullptr)
        return;
    OutlineTools tools(dc, penWidth, ToColorRef(color));
    if (tools.IsReady())
        ::Rectangle(dc, rc.left, rc.top, rc.right, rc.bottom);
}

void CRenderer::StrokeRoundRect(HDC dc, const RECT& rc, int penWidth, int cornerWidth, int cornerHeight,
                                DWORD color)
{
    if (dc == nullptr)
        return;
    OutlineTools tools(dc, penWidth, ToColorRef(color));
    if (tools.IsReady())
        ::RoundRect(dc, rc.left, rc.top, rc.right, rc.bottom, cornerWidth, cornerHeight);
}

// ---- image attribute strings ------------------------------------------------

namespace {

struct ImageDrawing
{
    HDC dc;
    IResourcesUI* resources;
    RECT control;
    RECT paint;
};

RECT ToRect(const UIImageRect& rc)
{
    RECT result = { rc.left, rc.top, rc.right, rc.bottom };
    return result;
}

UIImageRect ToImageRect(const RECT& rc)
{
    UIImageRect result = { static_cast<int>(rc.left), static_cast<int>(rc.top), static_cast<int>(rc.right),
                           static_cast<int>(rc.bottom) };
    return result;
}

// Draws one image of an attribute string; false when it cannot be loaded.
bool DrawOneImage(const UIImageDrawInfo& info, const ImageDrawing& drawing)
{
    const char* type = info.resourceType.IsEmpty() ? nullptr : info.resourceType.GetData();
    // A cached image is used whatever type and mask it was loaded with.
    UIImageInfo* image = drawing.resources->GetOrLoadImage(info.name, type, info.mask);
    if (image == nullptr)
        return false;
    RECT source = ToRect(info.source);
    if (source.left == 0 && source.top == 0 && source.right == 0 && source.bottom == 0) {
        source.right = image->width;
        source.bottom = image->height;
    }
    if (source.right > image->width)
        source.right = image->width;
    if (source.bottom > image->height)
        source.bottom = image->height;
    RECT dest = ToRect(info.dest);
    RECT meet;
    if (::IntersectRect(&meet, &dest, &drawing.control) && ::IntersectRect(&meet, &dest, &drawing.paint))
        CRenderer::BlitImage(drawing.dc, image->bitmap, dest, drawing.paint, source, ToRect(info.corner),
                             image->alpha, info.fade, info.hole, info.xTiled, info.yTiled);
    return true;
}

void DrawPendingImage(const UIImageDrawInfo& info, void* context)
{
    DrawOneImage(info, *static_cast<const ImageDrawing*>(context));
}

} // namespace

bool CRenderer::DrawImageSpec(HDC dc, IResourcesUI* resources, const RECT& control, const RECT& paint,
                              const char* image, const char* modify)
{
    if (dc == nullptr || resources == nullptr || image == nullptr)
        return false;
    ImageDrawing drawing = { dc, resources, control, paint };
    UIImageRect controlRect = ToImageRect(control);
    UIImageDrawInfo info;
    info.Reset(image, controlRect);
    CImageAttributeParser parser(controlRect, &DrawPendingImage, &drawing);
    parser.Parse(image, info);
    if (modify != nullptr) {
        parser.ResetPending();
        parser.Parse(modify, info);
    }
    return DrawOneImage(info, drawing);
}

} // namespace ui
