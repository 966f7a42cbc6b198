#pragma once

// Stateless drawing operations shared by all controls, and UIClip, the
// scope that narrows a DC's clip region and restores it on leaving.
// Colours are 32-bit ARGB values, alpha in the top byte.

#include <windows.h>

namespace ui {

class CWindowHostUI;

class CRenderer
{
public:
    // Alpha 255 fills opaquely; any other alpha blends the colour over what
    // is there (alpha 0 leaves it unchanged).
    static void FillColor(HDC dc, const RECT& rc, DWORD color);
    // Vertical gradient from `first` at the top to `second` at the bottom;
    // `steps` (8 or 16) only matters where the platform gradient is absent.
    // The opacity is the average of the two alphas.
    static void FillGradient(HDC dc, const RECT& rc, DWORD first, DWORD second, int steps);
    // A one-pixel line from (left, top) to (right, bottom).
    static void StrokeLine(HDC dc, const RECT& rc, DWORD color);
    // Outlines drawn inside the rectangle with the given pen width.
    static void StrokeRect(HDC dc, const RECT& rc, int penWidth, DWORD color);
    static void StrokeRoundRect(HDC dc, const RECT& rc, int penWidth, int cornerWidth, int cornerHeight,
                                DWORD color);
    // Draws an image attribute string (and an optional modifier string)
    // into the control rectangle, clipped to the paint rectangle. False when
    // nothing could be drawn.
    static bool DrawImageSpec(HDC dc, CWindowHostUI* host, const RECT& control, const RECT& paint,
                              const char* image, const char* modify);
};

// Narrows the clip region of a DC for the lifetime of the object; leaving
// the scope restores the region that was in force before.
class UIClip
{
public:
    UIClip();
    ~UIClip();
    UIClip(const UIClip&) = delete;
    UIClip& operator=(const UIClip&) = delete;

    void ClipRect(HDC dc, const RECT& rc);
    // The clip rectangle intersected with the rounded control rectangle.
    void ClipRoundRect(HDC dc, const RECT& clip, const RECT& control, int cornerWidth, int cornerHeight);
    // Selects again the clip this scope set up, after an inner scope or a
    // direct change replaced it.
    void Reselect() const;

private:
    void Narrow(HDC dc, const RECT& rc, HRGN added);

    RECT m_rect;
    HDC m_dc;
    HRGN m_added;
    HRGN m_previous;
};

} // namespace ui
