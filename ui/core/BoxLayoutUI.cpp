#include "ui/core/BoxLayoutUI.h"

#include <string.h>

#include "ui/base/AttributeValue.h"
#include "ui/core/WindowHostUI.h"
#include "ui/gfx/Renderer.h"

// Sections: axis helpers; placement; splitter.

namespace ui {

// ---- axis helpers -------------------------------------------------------
//
// "Main" is the axis the layout stacks along (y for the vertical layout),
// "cross" the other one.

namespace {

class Axis
{
public:
    explicit Axis(bool vertical) : m_vertical(vertical) {}

    LONG& Main(SIZE& s) const { return m_vertical ? s.cy : s.cx; }
    LONG& Cross(SIZE& s) const { return m_vertical ? s.cx : s.cy; }
    LONG& MainStart(RECT& r) const { return m_vertical ? r.top : r.left; }
    LONG& MainEnd(RECT& r) const { return m_vertical ? r.bottom : r.right; }
    LONG& CrossStart(RECT& r) const { return m_vertical ? r.left : r.top; }
    LONG& CrossEnd(RECT& r) const { return m_vertical ? r.right : r.bottom; }
    LONG MainStart(const RECT& r) const { return m_vertical ? r.top : r.left; }
    LONG MainEnd(const RECT& r) const { return m_vertical ? r.bottom : r.right; }
    LONG CrossStart(const RECT& r) const { return m_vertical ? r.left : r.top; }
    LONG CrossEnd(const RECT& r) const { return m_vertical ? r.right : r.bottom; }
    LONG Main(const POINT& p) const { return m_vertical ? p.y : p.x; }

    int MainPreset(const CControlUI* c) const { return m_vertical ? c->GetPresetHeight() : c->GetPresetWidth(); }
    int CrossPreset(const CControlUI* c) const { return m_vertical ? c->GetPresetWidth() : c->GetPresetHeight(); }
    int MainMin(const CControlUI* c) const { return m_vertical ? c->GetMinHeight() : c->GetMinWidth(); }
    int MainMax(const CControlUI* c) const { return m_vertical ? c->GetMaxHeight() : c->GetMaxWidth(); }
    int CrossMin(const CControlUI* c) const { return m_vertical ? c->GetMinWidth() : c->GetMinHeight(); }
    int CrossMax(const CControlUI* c) const { return m_vertical ? c->GetMaxWidth() : c->GetMaxHeight(); }

    // Minimum first, then maximum: a maximum below the minimum wins.
    LONG ClampMain(const CControlUI* c, LONG n) const { return Clamp(n, MainMin(c), MainMax(c)); }
    LONG ClampCross(const CControlUI* c, LONG n) const { return Clamp(n, CrossMin(c), CrossMax(c)); }

private:
    static LONG Clamp(LONG n, int lo, int hi)
    {
        if (n < lo)
            n = lo;
        if (n > hi)
            n = hi;
        return n;
    }

    bool m_vertical;
};

} // namespace

CBoxLayoutUI::CBoxLayoutUI(bool vertical)
    : m_vertical(vertical),
      m_separatorSize(0),
      m_buttonState(0),
      m_immediate(false),
      m_lastMouse(),
      m_newPos()
{
}

// ---- placement ------------------------------------------------------------

void CBoxLayoutUI::SetBounds(const RECT& rect)
{
    if (IsPlacedAt(rect))
        return;
    CControlUI::SetBounds(rect);
    ChildPlacement placement(this);

    const Axis axis(m_vertical);
    RECT r = GetClientRect();
    if (m_children.GetSize() == 0) {
        UpdateScrollBars(r, 0, 0);
        return;
    }

    SIZE scrollPos = GetScrollPos();
    SIZE available = { r.right - r.left, r.bottom - r.top };
    available.cx += GetScrollRange().cx;

    // First pass: what the children with a size along the axis take, with
    // every child's paddings and the gaps between the children.
    int stretchCount = 0;
    int fixedTotal = 0;
    int counted = 0;
    for (int i = 0; i < m_children.GetSize(); ++i) {
        CControlUI* child = ChildAt(i);
        if (!child->IsVisible() || child->IsFloating())
            continue;
        SIZE size = child->MeasureSize(available);
        if (axis.Main(size) == 0)
            ++stretchCount;
        else
            axis.Main(size) = axis.ClampMain(child, axis.Main(size));
        RECT padding = child->GetPadding();
        fixedTotal += axis.MainStart(padding) + axis.Main(size) + axis.MainEnd(padding);
        ++counted;
    }
    if (counted > 0)
        fixedTotal += m_childPadding * (counted - 1);

    int share = 0;
    if (stretchCount > 0) {
        share = (axis.Main(available) - fixedTotal) / stretchCount;
        if (share < 0)
            share = 0;
    }

    // Second pass: placement. The last stretch child takes what is left
    // after the fixed remainder, which still holds the paddings and gaps of
    // the children placed before it, so rounding losses end up there.
    int pos = axis.MainStart(r) - (m_vertical ? scrollPos.cy : scrollPos.cx);
    int crossPos = axis.CrossStart(r) - (m_vertical ? scrollPos.cx : 0);
    int remaining = axis.Main(available);
    int fixedRemainder = fixedTotal;
    int needed = 0;
    int stretchIndex = 0;
    for (int i = 0; i < m_children.GetSize(); ++i) {
        CControlUI* child = ChildAt(i);
        if (!child->IsVisible())
            continue;
        if (child->IsFloating()) {
            PlaceFloatingChild(i);
            continue;
        }
        RECT padding = child->GetPadding();
        remaining -= axis.MainStart(padding);

        SIZE offer = available;
        axis.Main(offer) = remaining;
        SIZE size = child->MeasureSize(offer);
        if (axis.Main(size) != 0) {
            axis.Main(size) = axis.ClampMain(child, axis.Main(size));
            fixedRemainder -= axis.Main(size);
        } else {
            ++stretchIndex;
            LONG main = share;
            if (stretchIndex == stretchCount) {
                main = remaining - axis.MainEnd(padding) - fixedRemainder;
                if (main < 0)
                    main = 0;
            }
            axis.Main(size) = axis.ClampMain(child, main);
        }

        LONG cross = axis.CrossPreset(child);
        if (cross == 0)
            cross = axis.Cross(available) - axis.CrossStart(padding) - axis.CrossEnd(padding);
        if (cross < 0)
            cross = 0;
        axis.Cross(size) = axis.ClampCross(child, cross);

        // The end padding lies inside the child's rectangle along the axis.
        RECT rc;
        axis.MainStart(rc) = pos + axis.MainStart(padding);
        axis.MainEnd(rc) = pos + axis.MainStart(padding) + axis.Main(size) + axis.MainEnd(padding);
        axis.CrossStart(rc) = crossPos + axis.CrossStart(padding);
        axis.CrossEnd(rc) = crossPos + axis.CrossStart(padding) + axis.Cross(size);
        child->SetBounds(rc);

        int along = axis.Main(size) + axis.MainStart(padding) + axis.MainEnd(padding);
        pos += along + m_childPadding;
        needed += along;
        remaining -= axis.MainEnd(padding) + m_childPadding + axis.Main(size);
    }
    if (counted > 0)
        needed += m_childPadding * (counted - 1);

    UpdateScrollBars(r, 0, m_vertical ? needed : 0);
}

// ---- splitter -----------------------------------------------------------------

UINT CBoxLayoutUI::GetBehaviorFlags() const
{
    return IsEnabled() && m_separatorSize != 0 ? ControlFlagSetCursor : 0;
}

void CBoxLayoutUI::SetImmediate(bool immediate)
{
    if (m_immediate == immediate)
        return;
    // A tracker being drawn must not outlive the switch to immediate mode.
    if (IsDragging() && !m_immediate && m_host != nullptr)
        m_host->RemoveOverlayControl(this);
    m_immediate = immediate;
}

RECT CBoxLayoutUI::GetStripRect(const RECT& rc) const
{
    RECT strip = rc;
    int s = m_separatorSize;
    if (m_vertical) {
        if (s >= 0)
            strip.top = rc.bottom - s;
        else
            strip.bottom = rc.top - s;
        // The strip never reaches outside the layout.
        RECT limited;
        if (!::IntersectRect(&limited, &strip, &rc))
            ::SetRectEmpty(&limited);
        return limited;
    }
    if (s >= 0)
        strip.left = rc.right - s;
    else
        strip.right = rc.left - s;
    return strip;
}

bool CBoxLayoutUI::DragEdge(int pointer, int delta)
{
    const Axis axis(m_vertical);
    int s = m_separatorSize;
    RECT moved = m_newPos;
    if (s < 0) {
        LONG start = axis.MainStart(m_newPos);
        if (delta > 0 && pointer < start)
            return false;
        if (delta < 0 && pointer > start + s)
            return false;
        axis.MainStart(moved) += delta;
    } else {
        LONG end = axis.MainEnd(m_newPos);
        if (delta > 0 && pointer < end + s)
            return false;
        if (delta < 0 && pointer > end)
            return false;
        axis.MainEnd(moved) += delta;
    }

    const CControlUI* self = this;
    int before = axis.MainEnd(m_newPos) - axis.MainStart(m_newPos);
    int after = axis.MainEnd(moved) - axis.MainStart(moved);
    int limit = 0;
    bool limited = false;
    if (after <= axis.MainMin(self)) {
        if (before <= axis.MainMin(self))
            return false;
        limit = axis.MainMin(self);
        limited = true;
    }
    if (after >= axis.MainMax(self)) {
        if (before >= axis.MainMax(self))
            return false;
        limit = axis.MainMax(self);
        limited = true;
    }
    if (limited) {
        if (s < 0)
            axis.MainStart(moved) = axis.MainEnd(moved) - limit;
        else
            axis.MainEnd(moved) = axis.MainStart(moved) + limit;
    }
    m_newPos = moved;
    int size = axis.MainEnd(m_newPos) - axis.MainStart(m_newPos);
    if (m_vertical)
        m_presetHeight = size;
    else
        m_presetWidth = size;
    return true;
}

void CBoxLayoutUI::HandleEvent(UIEvent& event)
{
    if (m_separatorSize != 0 && HandleSplitterEvent(event))
        return;
    CContainerUI::HandleEvent(event);
}

bool CBoxLayoutUI::HandleSplitterEvent(const UIEvent& event)
{
    switch (event.type) {
    case EventButtonDown:
        return IsEnabled() && StartDrag(event.mousePoint);
    case EventMouseMove:
        if (!IsDragging())
            return false;
        DragTo(event.mousePoint);
        return true;
    case EventButtonUp:
        if (!IsDragging())
            return false;
        EndDrag();
        return true;
    case EventSetCursor:
        return IsEnabled() && SetStripCursor(event.mousePoint);
    default:
        return false;
    }
}

bool CBoxLayoutUI::StartDrag(POINT pt)
{
    RECT strip = GetStripRect(m_bounds);
    if (!::PtInRect(&strip, pt))
        return false;
    m_buttonState |= ButtonCaptured;
    m_lastMouse = pt;
    m_newPos = m_bounds;
    if (!m_immediate && m_host != nullptr)
        m_host->AddOverlayControl(this);
    return true;
}

void CBoxLayoutUI::DragTo(POINT pt)
{
    const Axis axis(m_vertical);
    int delta = axis.Main(pt) - axis.Main(m_lastMouse);
    m_lastMouse = pt;
    RECT oldStrip = GetStripRect(m_newPos);
    if (!DragEdge(axis.Main(pt), delta))
        return;
    if (m_immediate) {
        SetBounds(m_newPos);
        RequestParentLayout();
    } else if (m_host != nullptr && m_host->GetHostWindow() != nullptr) {
        RECT newStrip = GetStripRect(m_newPos);
        RECT both;
        ::UnionRect(&both, &oldStrip, &newStrip);
        ::InvalidateRect(m_host->GetHostWindow(), &both, FALSE);
    }
}

void CBoxLayoutUI::EndDrag()
{
    m_buttonState &= ~static_cast<UINT>(ButtonCaptured);
    SetBounds(m_newPos);
    if (!m_immediate && m_host != nullptr)
        m_host->RemoveOverlayControl(this);
    RequestParentLayout();
}

bool CBoxLayoutUI::SetStripCursor(POINT pt)
{
    RECT strip = GetStripRect(m_bounds);
    if (!::PtInRect(&strip, pt))
        return false;
    ::SetCursor(::LoadCursorA(nullptr, m_vertical ? IDC_SIZENS : IDC_SIZEWE));
    return true;
}

void CBoxLayoutUI::SetAttribute(const char* name, const char* value)
{
    if (name == nullptr)
        return;
    if (strcmp(name, m_vertical ? "sepheight" : "sepwidth") == 0)
        SetSeparatorSize(ReadIntValue(value));
    else if (strcmp(name, "sepimm") == 0)
        SetImmediate(ReadBoolValue(value));
    else
        CContainerUI::SetAttribute(name, value);
}

void CBoxLayoutUI::PaintOverlay(HDC dc, const RECT& dirty)
{
    (void)dirty;
    if (!IsDragging() || m_immediate)
        return;
    CRenderer::FillColor(dc, GetStripRect(m_newPos), 0xAA000000);
}

} // namespace ui
