#pragma once

// Stateless drawing operations shared by all controls. Renderer.cpp holds
// the fills, outlines and the drawing of image attribute strings;
// RendererImage.cpp the loading of images and the nine-grid blit.
// Colours are 32-bit ARGB values, alpha in the top byte.

#include <windows.h>

#include "ui/gfx/IResourcesUI.h"
#include "ui/gfx/UIClip.h"
#include "ui/gfx/UIImageInfo.h"

namespace ui {

class CUIString;
class CTextLayoutCacheUI;

class CRenderer
{
public:
    // ---- colours and fills --------------------------------------------------
    // The platform colour 0x00BBGGRR of an ARGB colour; alpha is dropped.
    static COLORREF ToColorRef(DWORD argb);

    // Alpha 255 fills opaquely; any other alpha blends the colour over what
    // is there (alpha 0 leaves it unchanged).
    static void FillColor(HDC dc, const RECT& rc, DWORD color);
    // Vertical gradient from `first` at the top to `second` at the bottom;
    // `steps` (8, or 16 and above) only matters where the platform gradient
    // is absent. The opacity is the average of the two alphas.
    static void FillGradient(HDC dc, const RECT& rc, DWORD first, DWORD second, int steps);

    // ---- outlines -------------------------------------------------------------
    // A one-pixel line from (left, top) to (right, bottom).
    static void StrokeLine(HDC dc, const RECT& rc, DWORD color);
    // Outlines drawn inside the rectangle with the given pen width.
    static void StrokeRect(HDC dc, const RECT& rc, int penWidth, DWORD color);
    static void StrokeRoundRect(HDC dc, const RECT& rc, int penWidth, int cornerWidth, int cornerHeight,
                                DWORD color);

    // ---- images -----------------------------------------------------------------
    // Loads and decodes an image: `name` is a file name under the resource
    // folder (or an entry of the resource archive when one is set), or, with
    // a resource type, a resource name or a MAKEINTRESOURCEA id of the
    // resource module. A pixel equal to `mask` (ARGB, after premultiplying)
    // becomes transparent. Returns a record made with new that the caller
    // owns, or null. This is the default image loader (CProgramUI).
    static UIImageInfo* LoadImageFile(const char* name, const char* resourceType, DWORD mask);

    // Draws the `source` part of a 32-bit premultiplied bitmap into `dest` as
    // a nine-grid: the `corners` (left, top, right and bottom widths) stay
    // unscaled, the middle is stretched, or tiled along the tiled axes, or
    // left undrawn with `hole`. Only pieces that meet `paint` are drawn.
    // `alpha` or a `fade` below 255 blends; otherwise pixels are copied.
    static void BlitImage(HDC dc, HBITMAP bitmap, const RECT& dest, const RECT& paint, const RECT& source,
                          const RECT& corners, bool alpha, BYTE fade, bool hole, bool xTiled, bool yTiled);

    // Draws an image attribute string (and an optional modifier string that
    // overrides single settings) into the control rectangle, clipped to the
    // paint rectangle, loading the image into the resources' cache on first
    // use. False when the (last) image could not be loaded, or without
    // resources or a DC.
    static bool DrawImageSpec(HDC dc, IResourcesUI* resources, const RECT& control, const RECT& paint,
                              const char* image, const char* modify);

    // ---- text (RendererText.cpp) ---------------------------------------------
    // One string in the font numbered `font` (the default font outside the
    // font list) and `color`, laid out by the platform with the text-format
    // bits of `style`. Nothing without a text or resources.
    static void DrawPlainText(HDC dc, IResourcesUI* resources, RECT& rc, const char* text, DWORD color,
                              int font, UINT style);
    // A text with inline markup ("{b}", "{c #FF0000}", "{f 1}", "{a target}",
    // ...) in `color` and the default font. Honours the single-line,
    // word-break, end-ellipsis, alignment and calculate-rectangle bits of
    // `style`; with the last nothing is drawn and `rc` receives the size the
    // text needs. `linkCount` is the capacity of `linkRects` and `linkTexts`
    // on entry (0 without them) and the number of links laid out on return.
    // Nothing happens without a text or resources or with an empty
    // rectangle.
    // With a cache and no links asked for, a text drawn as it was the last
    // time is drawn from what the cache recorded then.
    static void DrawMarkupText(HDC dc, IResourcesUI* resources, RECT& rc, const char* text, DWORD color,
                               RECT* linkRects, CUIString* linkTexts, int& linkCount, UINT style,
                               CTextLayoutCacheUI* cache = nullptr);

    // A top-down 32-bit DIB section; `bits` receives its pixels. Null on
    // failure.
    static HBITMAP CreateTopDownDib(HDC dc, int width, int height, DWORD** bits);

    // For tests: with false every blend takes the software path that serves
    // where the platform blending function is absent. On by default.
    static void SetPlatformBlending(bool on);

private:
    // "msimg32.dll", loaded once per process; null where it is absent.
    static HMODULE BlendLibrary();
};

} // namespace ui
