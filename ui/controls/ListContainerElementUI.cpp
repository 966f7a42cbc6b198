#include "ui/controls/ListContainerElementUI.h"

#include <string.h>

#include "ui/core/WindowHostUI.h"
#include "ui/gfx/Renderer.h"

// Sections: identity and state; events; painting.

namespace ui {

// ---- identity and state -------------------------------------------------------

CListContainerElementUI::CListContainerElementUI()
    : m_index(-1), m_selected(false), m_buttonState(0), m_owner(nullptr)
{
}

const char* CListContainerElementUI::GetClassName() const { return "ListContainerElementUI"; }

void* CListContainerElementUI::FindInterface(const char* name)
{
    if (name == nullptr)
        return nullptr;
    if (strcmp(name, "ListItem") == 0)
        return static_cast<IListItemUI*>(this);
    if (strcmp(name, "ListContainerElement") == 0)
        return this;
    return CContainerUI::FindInterface(name);
}

UINT CListContainerElementUI::GetBehaviorFlags() const { return ControlFlagWantReturn; }

bool CListContainerElementUI::Activate()
{
    if (!CContainerUI::Activate())
        return false;
    if (m_host != nullptr)
        m_host->SendNotification(this, "itemactivate", 0, 0);
    return true;
}

void CListContainerElementUI::SetOwner(CControlUI* owner)
{
    m_owner = owner != nullptr ? static_cast<IListOwnerUI*>(owner->FindInterface("IListOwner")) : nullptr;
}

bool CListContainerElementUI::Select(bool select)
{
    // Only selecting is refused on a disabled item. Refusing to deselect one
    // left it marked selected after its list had moved the selection on, so
    // that two items showed as selected once it was enabled again.
    if (select && !IsEnabled())
        return false;
    if (select == m_selected)
        return true;
    m_selected = select;
    if (select && m_owner != nullptr)
        m_owner->SelectItem(m_index, false);
    Invalidate();
    return true;
}

bool CListContainerElementUI::Expand(bool expand)
{
    (void)expand;
    return false;
}

void CListContainerElementUI::DrawItemText(HDC dc, const RECT& rc)
{
    (void)dc;
    (void)rc;
}

void CListContainerElementUI::SetVisible(bool visible)
{
    CContainerUI::SetVisible(visible);
    if (!IsVisible() && m_selected) {
        m_selected = false;
        if (m_owner != nullptr)
            m_owner->SelectItem(-1, false);
    }
}

void CListContainerElementUI::SetEnabled(bool enabled)
{
    CContainerUI::SetEnabled(enabled);
    if (!IsEnabled())
        m_buttonState = 0;
}

void CListContainerElementUI::SetAttribute(const char* name, const char* value)
{
    if (name != nullptr && strcmp(name, "selected") == 0)
        Select(true);
    else
        CContainerUI::SetAttribute(name, value);
}

// ---- events -------------------------------------------------------------------

void CListContainerElementUI::HandleEvent(UIEvent& event)
{
    if (!AcceptsMouse() && event.type >= EventMouseFirst && event.type <= EventMouseLast) {
        if (m_owner != nullptr)
            m_owner->HandleItemEvent(event);
        else
            CContainerUI::HandleEvent(event);
        return;
    }
    switch (event.type) {
    case EventDblClick:
        if (IsEnabled()) {
            Activate();
            Invalidate();
        }
        return;
    case EventKeyDown:
        if (IsEnabled() && event.key == VK_RETURN) {
            Activate();
            Invalidate();
            return;
        }
        break;
    case EventMouseMove:
    case EventButtonUp:
        return;
    case EventMouseEnter:
        if (IsEnabled()) {
            m_buttonState |= ButtonHot;
            Invalidate();
        }
        return;
    case EventMouseLeave:
        if ((m_buttonState & ButtonHot) != 0) {
            m_buttonState &= ~static_cast<UINT>(ButtonHot);
            Invalidate();
        }
        return;
    case EventButtonDown:
    case EventRButtonDown:
        if (IsEnabled()) {
            if (m_host != nullptr)
                m_host->SendNotification(this, "itemclick", 0, 0);
            Select(true);
            Invalidate();
        }
        return;
    default:
        break;
    }
    // Keys, the wheel and focus changes are the list's business.
    if (m_owner != nullptr)
        m_owner->HandleItemEvent(event);
    else
        CControlUI::HandleEvent(event);
}

// ---- painting -----------------------------------------------------------------

ListItemInfo* CListContainerElementUI::GetItemInfo() const
{
    return m_owner != nullptr ? m_owner->GetItemInfo() : nullptr;
}

bool CListContainerElementUI::IsOddWithAlternateBk(const ListItemInfo* info) const
{
    return info != nullptr && info->alternateBk && (m_index & 1) != 0;
}

void CListContainerElementUI::Paint(HDC dc, const RECT& dirty)
{
    if (!::IntersectRect(&m_paintRect, &dirty, &m_bounds))
        return;
    PaintItemBackground(dc);
    CContainerUI::Paint(dc, dirty);
}

void CListContainerElementUI::PaintBackgroundImage(HDC dc)
{
    // The item background has drawn the image already, under the
    // alternate-background rule. Drawing it again here would paint the odd
    // rows that the rule leaves plain and cover the line under the item.
    (void)dc;
}

bool CListContainerElementUI::PaintListImage(HDC dc, CUIString& image)
{
    if (image.IsEmpty())
        return false;
    if (PaintImage(dc, image.GetData()))
        return true;
    image.Empty();
    return false;
}

void CListContainerElementUI::PaintItemBackground(HDC dc)
{
    ListItemInfo* info = GetItemInfo();
    if (info == nullptr)
        return;
    bool hot = (m_buttonState & ButtonHot) != 0;
    DWORD color = IsOddWithAlternateBk(info) ? 0 : info->bkColor;
    if (hot)
        color = info->hotBkColor;
    if (m_selected)
        color = info->selectedBkColor;
    if (!IsEnabled())
        color = info->disabledBkColor;
    if ((color >> 24) != 0)
        CRenderer::FillColor(dc, m_bounds, color);

    if (!IsEnabled() && PaintListImage(dc, info->disabledImage))
        return;
    if (m_selected && PaintListImage(dc, info->selectedImage))
        return;
    if (hot && PaintListImage(dc, info->hotImage))
        return;

    if (!m_bkImage.IsEmpty() && !IsOddWithAlternateBk(info) && !PaintImage(dc, m_bkImage.GetData()))
        m_bkImage.Empty();
    if (m_bkImage.IsEmpty() && PaintListImage(dc, info->bkImage))
        return;

    if (info->lineColor != 0) {
        RECT line = { m_bounds.left, m_bounds.bottom - 1, m_bounds.right, m_bounds.bottom - 1 };
        CRenderer::StrokeLine(dc, line, info->lineColor);
    }
}

DWORD CListContainerElementUI::GetItemTextColor() const
{
    const ListItemInfo* info = GetItemInfo();
    if (info == nullptr)
        return 0;
    DWORD color = info->textColor;
    if ((m_buttonState & ButtonHot) != 0)
        color = info->hotTextColor;
    if (m_selected)
        color = info->selectedTextColor;
    if (!IsEnabled())
        color = info->disabledTextColor;
    return color;
}

void CListContainerElementUI::PaintItemText(HDC dc, UINT extraStyle)
{
    const ListItemInfo* info = GetItemInfo();
    if (info == nullptr || m_host == nullptr || m_text.IsEmpty())
        return;
    RECT rc = m_bounds;
    rc.left += info->textPadding.left;
    rc.top += info->textPadding.top;
    rc.right -= info->textPadding.right;
    rc.bottom -= info->textPadding.bottom;
    UINT style = info->textStyle | extraStyle;
    if (info->showHtml) {
        int links = 0;
        CRenderer::DrawMarkupText(dc, m_host, rc, m_text.GetData(), GetItemTextColor(), nullptr, nullptr, links,
                                  style);
    } else {
        CRenderer::DrawPlainText(dc, m_host, rc, m_text.GetData(), GetItemTextColor(), info->font, style);
    }
}

} // namespace ui
