#include "ui/core/ContainerUI.h"

#include <stdlib.h>
#include <string.h>

#include "ui/base/AttributeValue.h"
#include "ui/core/WindowHostUI.h"
#include "ui/gfx/Renderer.h"

// Sections: the scroll bar seam; construction; the child list; tree
// propagation; placement; search and events; attributes; scrolling;
// painting.

namespace ui {

// ---- scroll bar seam ----------------------------------------------------
//
// The operations of the bars the container uses, each tolerating an absent
// bar.

namespace {

UIScrollBarFactory s_scrollBarFactory = nullptr;

CControlUI* BarControl(IScrollBarUI* bar)
{
    return bar != nullptr ? bar->GetControl() : nullptr;
}

int BarRange(IScrollBarUI* bar)
{
    return bar != nullptr ? bar->GetRange() : 0;
}

int BarPosition(IScrollBarUI* bar)
{
    return bar != nullptr ? bar->GetPosition() : 0;
}

void SetBarRange(IScrollBarUI* bar, int range)
{
    if (bar != nullptr)
        bar->SetRange(range);
}

void SetBarPosition(IScrollBarUI* bar, int position)
{
    if (bar != nullptr)
        bar->SetPosition(position);
}

// Null without a factory, or when the factory cannot make one.
IScrollBarUI* CreateBar(CContainerUI* owner, bool horizontal)
{
    return s_scrollBarFactory != nullptr ? s_scrollBarFactory(owner, horizontal) : nullptr;
}

void DestroyBar(IScrollBarUI* bar)
{
    delete BarControl(bar);
}

// The stock bar behind `bar`, found by its interface name, since core
// cannot see the class.
CScrollBarUI* StockBar(IScrollBarUI* bar)
{
    CControlUI* control = BarControl(bar);
    return control != nullptr ? static_cast<CScrollBarUI*>(control->FindInterface("ScrollBar")) : nullptr;
}

bool IsBarShown(IScrollBarUI* bar)
{
    CControlUI* control = BarControl(bar);
    return control != nullptr && control->IsVisible();
}

bool IsBarActive(IScrollBarUI* bar)
{
    CControlUI* control = BarControl(bar);
    return control != nullptr && control->IsVisible() && control->IsEnabled();
}

bool RectsMeet(const RECT& a, const RECT& b)
{
    RECT tmp;
    return ::IntersectRect(&tmp, &a, &b) != FALSE;
}

} // namespace

bool CContainerUI::IsVerticalBarVisible() const { return IsBarShown(m_verticalBar); }
bool CContainerUI::IsHorizontalBarVisible() const { return IsBarShown(m_horizontalBar); }

int CContainerUI::GetVerticalBarWidth() const
{
    return IsVerticalBarVisible() ? BarControl(m_verticalBar)->GetPresetWidth() : 0;
}

int CContainerUI::GetHorizontalBarHeight() const
{
    return IsHorizontalBarVisible() ? BarControl(m_horizontalBar)->GetPresetHeight() : 0;
}

// ---- construction ---------------------------------------------------------

CContainerUI::CContainerUI()
    : m_inset(),
      m_childPadding(0),
      m_ownsChildren(true),
      m_deletesLater(true),
      m_childrenTakeMouse(true),
      m_inScrollUpdate(false),
      m_verticalBar(nullptr),
      m_horizontalBar(nullptr)
{
}

CContainerUI::~CContainerUI()
{
    CContainerUI::RemoveAllChildren();
    DestroyBar(m_verticalBar);
    DestroyBar(m_horizontalBar);
    m_verticalBar = nullptr;
    m_horizontalBar = nullptr;
    m_children.Empty();
}

const char* CContainerUI::GetClassName() const { return "ContainerUI"; }

void* CContainerUI::FindInterface(const char* name)
{
    if (name == nullptr)
        return nullptr;
    if (strcmp(name, "IContainer") == 0)
        return static_cast<IContainerUI*>(this);
    if (strcmp(name, "Container") == 0)
        return this;
    return CControlUI::FindInterface(name);
}

// ---- the child list -------------------------------------------------------

CControlUI* CContainerUI::GetChildAt(int index) const
{
    return static_cast<CControlUI*>(m_children.GetAt(index));
}

int CContainerUI::GetChildIndex(CControlUI* control) const
{
    return control != nullptr ? m_children.Find(control) : -1;
}

int CContainerUI::GetChildCount() const { return m_children.GetSize(); }

bool CContainerUI::MoveChildTo(CControlUI* control, int index)
{
    int from = ChildIndex(control);
    if (from < 0)
        return false;
    // Checked before the child leaves the list, so that a bad index cannot
    // orphan it.
    if (index < 0 || index >= m_children.GetSize())
        return false;
    RequestLayout();
    m_children.Remove(from);
    return m_children.InsertAt(index, control);
}

bool CContainerUI::AddChild(CControlUI* control)
{
    // Not the virtual InsertChild: subclasses that refine both must not see
    // one addition twice.
    return CContainerUI::InsertChild(control, m_children.GetSize());
}

bool CContainerUI::InsertChild(CControlUI* control, int index)
{
    if (control == nullptr)
        return false;
    // Checked first, so that a refused child is left as it was given.
    if (index < 0 || index > m_children.GetSize())
        return false;
    if (m_host != nullptr) {
        control->SetHost(m_host, this, true);
        control->FindControl(CWindowHostUI::NameRegistrationVisitor, m_host, 0);
    }
    if (!IsVisible())
        control->SetParentVisible(false);
    RequestLayout();
    return m_children.InsertAt(index, control);
}

void CContainerUI::DisposeOfChild(CControlUI* control)
{
    if (!m_ownsChildren)
        return;
    if (m_deletesLater && m_host != nullptr)
        m_host->DeleteControlLater(control);
    else
        delete control;
}

bool CContainerUI::RemoveChild(CControlUI* control)
{
    int index = ChildIndex(control);
    if (index < 0)
        return false;
    RequestLayout();
    m_children.Remove(index);
    DisposeOfChild(control);
    return true;
}

bool CContainerUI::RemoveChildAt(int index)
{
    return RemoveChild(ChildAt(index));
}

void CContainerUI::RemoveAllChildren()
{
    // The list is detached first: deleting a child must not find itself
    // still listed here.
    CUIPtrArray children(m_children);
    m_children.Empty();
    for (int i = 0; i < children.GetSize(); ++i)
        DisposeOfChild(static_cast<CControlUI*>(children.GetAt(i)));
    RequestLayout();
}

// ---- tree propagation -------------------------------------------------------

void CContainerUI::SetHost(CWindowHostUI* host, CControlUI* parent, bool initialize)
{
    for (int i = 0; i < m_children.GetSize(); ++i)
        ChildAt(i)->SetHost(host, this, initialize);
    if (CControlUI* bar = BarControl(m_verticalBar))
        bar->SetHost(host, this, initialize);
    if (CControlUI* bar = BarControl(m_horizontalBar))
        bar->SetHost(host, this, initialize);
    CControlUI::SetHost(host, parent, initialize);
}

void CContainerUI::SetVisible(bool visible)
{
    if (m_visible == visible)
        return;
    CControlUI::SetVisible(visible);
    for (int i = 0; i < m_children.GetSize(); ++i)
        ChildAt(i)->SetParentVisible(IsVisible());
}

void CContainerUI::SetParentVisible(bool visible)
{
    CControlUI::SetParentVisible(visible);
    for (int i = 0; i < m_children.GetSize(); ++i)
        ChildAt(i)->SetParentVisible(IsVisible());
}

void CContainerUI::SetAcceptsMouse(bool accepts)
{
    if (CControlUI* bar = BarControl(m_verticalBar))
        bar->SetAcceptsMouse(accepts);
    if (CControlUI* bar = BarControl(m_horizontalBar))
        bar->SetAcceptsMouse(accepts);
    CControlUI::SetAcceptsMouse(accepts);
}

RECT CContainerUI::GetInset() const { return m_inset; }

void CContainerUI::SetInset(const RECT& inset)
{
    m_inset = inset;
    RequestLayout();
}

int CContainerUI::GetChildPadding() const { return m_childPadding; }

void CContainerUI::SetChildPadding(int padding)
{
    m_childPadding = padding;
    RequestLayout();
}

bool CContainerUI::OwnsChildren() const { return m_ownsChildren; }
void CContainerUI::SetOwnsChildren(bool owns) { m_ownsChildren = owns; }
bool CContainerUI::DeletesLater() const { return m_deletesLater; }
void CContainerUI::SetDeletesLater(bool later) { m_deletesLater = later; }
bool CContainerUI::ChildrenTakeMouse() const { return m_childrenTakeMouse; }
void CContainerUI::SetChildrenTakeMouse(bool take) { m_childrenTakeMouse = take; }

int CContainerUI::FindSelectableItem(int index, bool forward) const
{
    int count = m_children.GetSize();
    if (count == 0)
        return -1;
    int start = index < 0 ? 0 : (index >= count ? count - 1 : index);
    struct Selectable
    {
        static bool Is(CControlUI* child)
        {
            return child->FindInterface("ListItem") != nullptr && child->IsVisible() && child->IsEnabled();
        }
    };
    if (!forward) {
        for (int i = start; i >= 0; --i) {
            if (Selectable::Is(ChildAt(i)))
                return i;
        }
        return FindSelectableItem(0, true);
    }
    for (int i = start; i < count; ++i) {
        if (Selectable::Is(ChildAt(i)))
            return i;
    }
    return -1;
}

// ---- placement -----------------------------------------------------------------

RECT CContainerUI::GetClientRect() const
{
    RECT rc = m_bounds;
    rc.left += m_inset.left;
    rc.top += m_inset.top;
    rc.right -= m_inset.right;
    rc.bottom -= m_inset.bottom;
    rc.right -= GetVerticalBarWidth();
    rc.bottom -= GetHorizontalBarHeight();
    return rc;
}

void CContainerUI::SetBounds(const RECT& rect)
{
    if (IsPlacedAt(rect))
        return;
    CControlUI::SetBounds(rect);
    ChildPlacement placement(this);
    if (m_children.GetSize() == 0)
        return;
    RECT rc = m_bounds;
    rc.left += m_inset.left;
    rc.top += m_inset.top;
    rc.right -= m_inset.right;
    rc.bottom -= m_inset.bottom;
    for (int i = 0; i < m_children.GetSize(); ++i) {
        CControlUI* child = ChildAt(i);
        if (!child->IsVisible())
            continue;
        if (child->IsFloating())
            PlaceFloatingChild(i);
        else
            child->SetBounds(rc);
    }
}

void CContainerUI::PlaceAgain()
{
    m_layoutPending = true;
    RECT bounds = m_bounds;
    SetBounds(bounds);
}

void CContainerUI::PlacePendingChildren()
{
    // By index: placing a child may run listeners that change the list.
    for (int i = 0; i < m_children.GetSize(); ++i)
        ChildAt(i)->PlacePendingLayouts();
    if (CControlUI* bar = BarControl(m_verticalBar))
        bar->PlacePendingLayouts();
    if (CControlUI* bar = BarControl(m_horizontalBar))
        bar->PlacePendingLayouts();
}

void CContainerUI::PlaceFloatingChild(int index)
{
    CControlUI* child = ChildAt(index);
    if (child == nullptr || !child->IsVisible() || !child->IsFloating())
        return;
    SIZE offset = child->GetFloatOffset();
    int w = child->GetPresetWidth();
    int h = child->GetPresetHeight();
    const RECT& b = m_bounds;
    RECT rc;
    if (offset.cx >= 0) {
        rc.left = b.left + offset.cx;
        rc.right = rc.left + w;
    } else {
        rc.right = b.right + offset.cx;
        rc.left = rc.right - w;
    }
    if (offset.cy >= 0) {
        rc.top = b.top + offset.cy;
        rc.bottom = rc.top + h;
    } else {
        rc.bottom = b.bottom + offset.cy;
        rc.top = rc.bottom - h;
    }
    if (child->HasRelativePlacement()) {
        UIRelativePlacement placement = child->GetRelativePlacement();
        SIZE current = { b.right - b.left, b.bottom - b.top };
        if (placement.parentSize.cx != 0) {
            int dx = current.cx - placement.parentSize.cx;
            int dy = current.cy - placement.parentSize.cy;
            rc.left += dx * placement.move.cx / 100;
            rc.top += dy * placement.move.cy / 100;
            rc.right = rc.left + w + dx * placement.zoom.cx / 100;
            rc.bottom = rc.top + h + dy * placement.zoom.cy / 100;
        }
        child->SetPlacementParentSize(current);
    }
    child->SetBounds(rc);
}

void CContainerUI::UpdateScrollBars(const RECT& rect, int requiredWidth, int requiredHeight)
{
    (void)requiredWidth;
    if (IsHorizontalBarVisible()) {
        CControlUI* bar = BarControl(m_horizontalBar);
        RECT rc = { rect.left, rect.bottom, rect.right, rect.bottom + bar->GetPresetHeight() };
        bar->SetBounds(rc);
    }
    CControlUI* bar = BarControl(m_verticalBar);
    if (bar == nullptr)
        return;
    int overflow = requiredHeight - (rect.bottom - rect.top);
    if (overflow > 0 && !bar->IsVisible()) {
        // Showing the bar narrows the client area: lay out once more with it.
        bar->SetVisible(true);
        SetBarRange(m_verticalBar, overflow);
        SetBarPosition(m_verticalBar, 0);
        m_inScrollUpdate = true;
        PlaceAgain();
        m_inScrollUpdate = false;
        return;
    }
    if (bar->IsVisible() && (overflow > 0 || m_inScrollUpdate)) {
        RECT rc = { rect.right, rect.top, rect.right + bar->GetPresetWidth(), rect.bottom };
        bar->SetBounds(rc);
        if (BarRange(m_verticalBar) == overflow)
            return;
        int oldPosition = BarPosition(m_verticalBar);
        SetBarRange(m_verticalBar, abs(overflow));
        if (BarRange(m_verticalBar) == 0) {
            bar->SetVisible(false);
            SetBarPosition(m_verticalBar, 0);
        }
        if (BarPosition(m_verticalBar) < oldPosition)
            PlaceAgain();
        return;
    }
    if (bar->IsVisible()) {
        bar->SetVisible(false);
        SetBarPosition(m_verticalBar, 0);
        SetBarRange(m_verticalBar, 0);
        PlaceAgain();
    }
}

// ---- search and events -------------------------------------------------------

CControlUI* CContainerUI::FindControl(UIFindVisitor visitor, void* data, UINT flags)
{
    if ((flags & FindVisible) != 0 && !IsVisible())
        return nullptr;
    if ((flags & FindEnabled) != 0 && !IsEnabled())
        return nullptr;
    if ((flags & FindHitTest) != 0) {
        if (data == nullptr || !::PtInRect(&m_bounds, *static_cast<POINT*>(data)))
            return nullptr;
        if (!m_childrenTakeMouse) {
            CControlUI* found = nullptr;
            if (CControlUI* bar = BarControl(m_verticalBar))
                found = bar->FindControl(visitor, data, flags);
            if (found == nullptr) {
                if (CControlUI* bar = BarControl(m_horizontalBar))
                    found = bar->FindControl(visitor, data, flags);
            }
            if (found == nullptr)
                found = CControlUI::FindControl(visitor, data, flags);
            return found;
        }
    }

    if (CControlUI* bar = BarControl(m_verticalBar)) {
        if (CControlUI* found = bar->FindControl(visitor, data, flags))
            return found;
    }
    if (CControlUI* bar = BarControl(m_horizontalBar)) {
        if (CControlUI* found = bar->FindControl(visitor, data, flags))
            return found;
    }

    if ((flags & FindMeFirst) != 0) {
        if (CControlUI* found = CControlUI::FindControl(visitor, data, flags))
            return found;
    }

    RECT client = GetClientRect();
    int count = m_children.GetSize();
    bool topFirst = (flags & FindTopFirst) != 0;
    for (int n = 0; n < count; ++n) {
        CControlUI* child = ChildAt(topFirst ? count - 1 - n : n);
        CControlUI* found = child->FindControl(visitor, data, flags);
        if (found == nullptr)
            continue;
        if ((flags & FindHitTest) == 0)
            return found;
        // A hit outside the client area (under a scroll bar or the inset)
        // belongs to the container, unless the control floats.
        if (found->IsFloating() || ::PtInRect(&client, *static_cast<POINT*>(data)))
            return found;
    }

    if ((flags & FindMeFirst) == 0)
        return CControlUI::FindControl(visitor, data, flags);
    return nullptr;
}

void CContainerUI::HandleEvent(UIEvent& event)
{
    if (!m_acceptsMouse && event.type >= EventMouseFirst && event.type <= EventMouseLast) {
        if (m_parent != nullptr)
            m_parent->HandleEvent(event);
        else
            CControlUI::HandleEvent(event);
        return;
    }
    if (event.type == EventSetFocus) {
        m_focused = true;
        return;
    }
    if (event.type == EventKillFocus) {
        m_focused = false;
        return;
    }
    if (IsBarActive(m_verticalBar)) {
        if (event.type == EventKeyDown) {
            switch (static_cast<BYTE>(event.key)) {
            case VK_UP: ScrollLineUp(); return;
            case VK_DOWN: ScrollLineDown(); return;
            case VK_PRIOR: ScrollPageUp(); return;
            case VK_NEXT: ScrollPageDown(); return;
            case VK_HOME: ScrollToTop(); return;
            case VK_END: ScrollToBottom(); return;
            default: break;
            }
        } else if (event.type == EventScrollWheel) {
            if (event.wParam == 0) {
                ScrollLineUp();
                return;
            }
            if (event.wParam == 1) {
                ScrollLineDown();
                return;
            }
        }
    } else if (IsBarActive(m_horizontalBar)) {
        if (event.type == EventKeyDown) {
            switch (static_cast<BYTE>(event.key)) {
            case VK_UP: ScrollLineLeft(); return;
            case VK_DOWN: ScrollLineRight(); return;
            case VK_PRIOR: ScrollPageLeft(); return;
            case VK_NEXT: ScrollPageRight(); return;
            case VK_HOME: ScrollToLeft(); return;
            case VK_END: ScrollToRight(); return;
            default: break;
            }
        } else if (event.type == EventScrollWheel) {
            if (event.wParam == 0) {
                ScrollLineLeft();
                return;
            }
            if (event.wParam == 1) {
                ScrollLineRight();
                return;
            }
        }
    }
    CControlUI::HandleEvent(event);
}

// ---- attributes ---------------------------------------------------------------

void CContainerUI::SetAttribute(const char* name, const char* value)
{
    if (name == nullptr)
        return;
    if (value == nullptr)
        value = "";
    if (strcmp(name, "inset") == 0) {
        SetInset(ReadRectValue<RECT>(value));
    } else if (strcmp(name, "mousechild") == 0) {
        SetChildrenTakeMouse(ReadBoolValue(value));
    } else if (strcmp(name, "vscrollbar") == 0) {
        EnableScrollBars(ReadBoolValue(value), m_horizontalBar != nullptr);
    } else if (strcmp(name, "vscrollbarstyle") == 0) {
        EnableScrollBars(true, m_horizontalBar != nullptr);
        if (CControlUI* bar = BarControl(m_verticalBar))
            bar->ApplyAttributeString(value);
    } else if (strcmp(name, "hscrollbar") == 0) {
        EnableScrollBars(m_verticalBar != nullptr, ReadBoolValue(value));
    } else if (strcmp(name, "hscrollbarstyle") == 0) {
        EnableScrollBars(m_verticalBar != nullptr, true);
        if (CControlUI* bar = BarControl(m_horizontalBar))
            bar->ApplyAttributeString(value);
    } else if (strcmp(name, "childpadding") == 0) {
        SetChildPadding(ReadIntValue(value));
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

// ---- scrolling ------------------------------------------------------------------

SIZE CContainerUI::GetScrollPos() const
{
    SIZE pos = { IsHorizontalBarVisible() ? BarPosition(m_horizontalBar) : 0,
                 IsVerticalBarVisible() ? BarPosition(m_verticalBar) : 0 };
    return pos;
}

SIZE CContainerUI::GetScrollRange() const
{
    SIZE range = { IsHorizontalBarVisible() ? BarRange(m_horizontalBar) : 0,
                   IsVerticalBarVisible() ? BarRange(m_verticalBar) : 0 };
    return range;
}

void CContainerUI::SetScrollPos(SIZE pos)
{
    int dx = 0;
    int dy = 0;
    if (IsVerticalBarVisible()) {
        int old = BarPosition(m_verticalBar);
        SetBarPosition(m_verticalBar, pos.cy);
        dy = BarPosition(m_verticalBar) - old;
    }
    if (IsHorizontalBarVisible()) {
        int old = BarPosition(m_horizontalBar);
        SetBarPosition(m_horizontalBar, pos.cx);
        dx = BarPosition(m_horizontalBar) - old;
    }
    if (dx == 0 && dy == 0)
        return;
    for (int i = 0; i < m_children.GetSize(); ++i) {
        CControlUI* child = ChildAt(i);
        if (!child->IsVisible() || child->IsFloating())
            continue;
        RECT rc = child->GetBounds();
        ::OffsetRect(&rc, -dx, -dy);
        child->SetBounds(rc);
    }
    Invalidate();
}

namespace {

int VerticalLineStep(CWindowHostUI* host)
{
    if (host == nullptr)
        return 8;
    UIFontInfo* font = host->GetDefaultFontRecord();
    return (font != nullptr ? font->metrics.tmHeight : 0) + 8;
}

const int kHorizontalLineStep = 8;

} // namespace

void CContainerUI::ScrollBy(int dx, int dy)
{
    SIZE pos = GetScrollPos();
    pos.cx += dx;
    pos.cy += dy;
    SetScrollPos(pos);
}

void CContainerUI::ScrollLineUp() { ScrollBy(0, -VerticalLineStep(m_host)); }
void CContainerUI::ScrollLineDown() { ScrollBy(0, VerticalLineStep(m_host)); }
void CContainerUI::ScrollLineLeft() { ScrollBy(-kHorizontalLineStep, 0); }
void CContainerUI::ScrollLineRight() { ScrollBy(kHorizontalLineStep, 0); }

void CContainerUI::ScrollPageUp() { ScrollBy(0, -PageHeight()); }
void CContainerUI::ScrollPageDown() { ScrollBy(0, PageHeight()); }
void CContainerUI::ScrollPageLeft() { ScrollBy(-PageWidth(), 0); }
void CContainerUI::ScrollPageRight() { ScrollBy(PageWidth(), 0); }

void CContainerUI::ScrollToTop() { ScrollBy(0, -GetScrollPos().cy); }
void CContainerUI::ScrollToBottom() { ScrollBy(0, GetScrollRange().cy - GetScrollPos().cy); }
void CContainerUI::ScrollToLeft() { ScrollBy(-GetScrollPos().cx, 0); }
void CContainerUI::ScrollToRight() { ScrollBy(GetScrollRange().cx - GetScrollPos().cx, 0); }

int CContainerUI::PageWidth() const
{
    return GetWidth() - m_inset.left - m_inset.right - GetVerticalBarWidth();
}

int CContainerUI::PageHeight() const
{
    return GetHeight() - m_inset.top - m_inset.bottom - GetHorizontalBarHeight();
}

void CContainerUI::EnableScrollBars(bool vertical, bool horizontal)
{
    struct Bar
    {
        static void Update(CContainerUI* owner, IScrollBarUI*& bar, bool wanted, bool horizontal,
                           CWindowHostUI* host)
        {
            if (!wanted) {
                DestroyBar(bar);
                bar = nullptr;
                return;
            }
            if (bar != nullptr)
                return;
            bar = CreateBar(owner, horizontal);
            CControlUI* control = BarControl(bar);
            if (control == nullptr)
                return;
            control->SetHost(host, nullptr, false);
            if (host != nullptr) {
                const char* defaults = host->GetClassDefaults(horizontal ? "HScrollBar" : "VScrollBar");
                if (defaults != nullptr)
                    control->ApplyAttributeString(defaults);
            }
        }
    };
    Bar::Update(this, m_verticalBar, vertical, false, m_host);
    Bar::Update(this, m_horizontalBar, horizontal, true, m_host);
    RequestLayout();
}

CScrollBarUI* CContainerUI::GetVerticalScrollBar() const { return StockBar(m_verticalBar); }
CScrollBarUI* CContainerUI::GetHorizontalScrollBar() const { return StockBar(m_horizontalBar); }

UIScrollBarFactory CContainerUI::SetScrollBarFactory(UIScrollBarFactory factory)
{
    UIScrollBarFactory previous = s_scrollBarFactory;
    s_scrollBarFactory = factory;
    return previous;
}

// ---- painting --------------------------------------------------------------------

void CContainerUI::Paint(HDC dc, const RECT& dirty)
{
    RECT outer;
    if (!::IntersectRect(&outer, &dirty, &m_bounds))
        return;
    UIClip outerClip;
    outerClip.ClipRect(dc, outer);
    CControlUI::Paint(dc, dirty);

    if (m_children.GetSize() > 0) {
        RECT client = GetClientRect();
        RECT inner;
        if (::IntersectRect(&inner, &dirty, &client)) {
            UIClip innerClip;
            innerClip.ClipRect(dc, inner);
            for (int i = 0; i < m_children.GetSize(); ++i) {
                CControlUI* child = ChildAt(i);
                if (!child->IsVisible() || !RectsMeet(dirty, child->GetBounds()))
                    continue;
                if (child->IsFloating()) {
                    if (!RectsMeet(m_bounds, child->GetBounds()))
                        continue;
                    // A floating child may lie over the inset: it paints
                    // with the container's outer clip.
                    outerClip.Reselect();
                    child->Paint(dc, dirty);
                    innerClip.Reselect();
                } else if (RectsMeet(client, child->GetBounds())) {
                    child->Paint(dc, dirty);
                }
            }
        } else {
            for (int i = 0; i < m_children.GetSize(); ++i) {
                CControlUI* child = ChildAt(i);
                if (child->IsVisible() && child->IsFloating() && RectsMeet(dirty, child->GetBounds())
                    && RectsMeet(m_bounds, child->GetBounds()))
                    child->Paint(dc, dirty);
            }
        }
    }

    if (IsVerticalBarVisible() && RectsMeet(dirty, BarControl(m_verticalBar)->GetBounds()))
        BarControl(m_verticalBar)->Paint(dc, dirty);
    if (IsHorizontalBarVisible() && RectsMeet(dirty, BarControl(m_horizontalBar)->GetBounds()))
        BarControl(m_horizontalBar)->Paint(dc, dirty);
}

} // namespace ui
