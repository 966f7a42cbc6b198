#include "ui/gfx/UIClip.h"

namespace ui {

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
    if (added == nullptr)
        return;
    // The region itself is kept, not its bounding box: a rounded clip of an
    // outer scope must come back rounded.
    HRGN previous = ::CreateRectRgn(0, 0, 0, 0);
    if (previous == nullptr) {
        ::DeleteObject(added);
        return;
    }
    if (::GetClipRgn(dc, previous) != 1) {
        ::DeleteObject(previous);
        previous = nullptr;
    }
    m_dc = dc;
    m_rect = rc;
    m_added = added;
    m_previous = previous;
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
    if (added != nullptr && round != nullptr)
        ::CombineRgn(added, added, round, RGN_AND);
    if (round != nullptr)
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
