#pragma once

#include <windows.h>

namespace ui {

// Narrows the clip region of a DC for the lifetime of the object; leaving
// the scope restores the region that was in force before (or none, when
// the DC had no clip region). One scope narrows once: a second Clip call on
// the same object is ignored.
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
    HRGN m_previous;  // null: the DC had no clip region
};

} // namespace ui
