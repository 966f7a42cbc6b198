#include "ui/core/TabLayoutUI.h"

#include <string.h>

#include "ui/base/AttributeValue.h"
#include "ui/core/WindowHostUI.h"

namespace ui {

CTabLayoutUI::CTabLayoutUI() : m_selected(-1)
{
}

const char* CTabLayoutUI::GetClassName() const { return "TabLayoutUI"; }

void* CTabLayoutUI::FindInterface(const char* name)
{
    if (name != nullptr && strcmp(name, "TabLayout") == 0)
        return this;
    return CContainerUI::FindInterface(name);
}

bool CTabLayoutUI::AddChild(CControlUI* control)
{
    if (!CContainerUI::AddChild(control))
        return false;
    if (m_selected == -1 && control->IsVisible())
        m_selected = ChildCount() - 1;
    else
        control->SetVisible(false);
    return true;
}

bool CTabLayoutUI::InsertChild(CControlUI* control, int index)
{
    if (!CContainerUI::InsertChild(control, index))
        return false;
    if (m_selected == -1 && control->IsVisible()) {
        m_selected = index;
        return true;
    }
    // Only the selected page shows: a page inserted before it is hidden
    // as well, and the selection moves along with its page.
    control->SetVisible(false);
    if (m_selected != -1 && m_selected >= index)
        ++m_selected;
    return true;
}

bool CTabLayoutUI::RemoveChild(CControlUI* control)
{
    int index = GetChildIndex(control);
    if (!CContainerUI::RemoveChild(control))
        return false;
    if (index == m_selected) {
        // The first remaining page takes the place of the removed one, and
        // the selection says so.
        if (ChildCount() > 0) {
            ChildAt(0)->SetVisible(true);
            m_selected = 0;
        } else {
            m_selected = -1;
        }
        RequestParentLayout();
    } else if (index < m_selected) {
        --m_selected;
    }
    return true;
}

void CTabLayoutUI::RemoveAllChildren()
{
    m_selected = -1;
    CContainerUI::RemoveAllChildren();
    RequestParentLayout();
}

bool CTabLayoutUI::SelectPage(int index)
{
    if (index < 0 || index >= ChildCount())
        return false;
    if (index == m_selected)
        return true;

    int old = m_selected;
    m_selected = index;
    for (int i = 0; i < ChildCount(); ++i) {
        CControlUI* page = ChildAt(i);
        if (i == index) {
            page->SetVisible(true);
            page->SetFocus();
        } else {
            page->SetVisible(false);
        }
    }
    RequestParentLayout();

    if (m_host != nullptr) {
        // Puts the focus on the first tab stop after the page, or at the
        // next paint when a layout is still pending.
        m_host->MoveFocus(true);
        m_host->SendNotification(this, "tabselect", static_cast<WPARAM>(m_selected), old);
    }
    return true;
}

void CTabLayoutUI::SetBounds(const RECT& rect)
{
    if (IsPlacedAt(rect))
        return;
    CControlUI::SetBounds(rect);
    ChildPlacement placement(this);
    for (int i = 0; i < ChildCount(); ++i) {
        CControlUI* child = ChildAt(i);
        if (child->IsVisible() && child->IsFloating())
            PlaceFloatingChild(i);
    }
    CControlUI* page = ChildAt(m_selected);
    if (page == nullptr || !page->IsVisible() || page->IsFloating())
        return;

    RECT padding = page->GetPadding();
    RECT area = m_bounds;
    area.left += m_inset.left + padding.left;
    area.top += m_inset.top + padding.top;
    area.right -= m_inset.right + padding.right;
    area.bottom -= m_inset.bottom + padding.bottom;
    SIZE available = { area.right - area.left, area.bottom - area.top };
    SIZE size = page->MeasureSize(available);
    if (size.cx == 0)
        size.cx = available.cx;
    if (size.cx < 0)
        size.cx = 0;
    if (size.cx < page->GetMinWidth())
        size.cx = page->GetMinWidth();
    if (size.cx > page->GetMaxWidth())
        size.cx = page->GetMaxWidth();
    if (size.cy == 0)
        size.cy = available.cy;
    if (size.cy < 0)
        size.cy = 0;
    if (size.cy < page->GetMinHeight())
        size.cy = page->GetMinHeight();
    if (size.cy > page->GetMaxHeight())
        size.cy = page->GetMaxHeight();
    RECT rc = { area.left, area.top, area.left + size.cx, area.top + size.cy };
    page->SetBounds(rc);
}

void CTabLayoutUI::SetAttribute(const char* name, const char* value)
{
    if (name != nullptr && strcmp(name, "selectedid") == 0)
        SelectPage(ReadIntValue(value));
    CContainerUI::SetAttribute(name, value);
}

} // namespace ui
