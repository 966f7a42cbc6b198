#include "shell/MenuUI.h"

#include <string.h>

#include <new>

#include "shell/MenuChain.h"
#include "ui/controls/ListHeaderUI.h"
#include "ui/core/WindowHostUI.h"
#include "ui/gfx/Renderer.h"

using namespace ui;

namespace {

IContainerUI* ContainerOf(CControlUI* control)
{
    return control != nullptr ? static_cast<IContainerUI*>(control->FindInterface("IContainer")) : nullptr;
}

// Where a menu item's text is measured: the item's height is unbounded.
const int kMeasureHeight = 9999;
// Room beside the measured text of an item.
const int kTextSlack = 20;

} // namespace

// ---- CMenuUI ------------------------------------------------------------------

CMenuUI::CMenuUI()
{
    if (GetHeader() != nullptr)
        GetHeader()->SetVisible(false);
}

const char* CMenuUI::GetClassName() const { return "MenuUI"; }

void* CMenuUI::FindInterface(const char* name)
{
    if (name != nullptr && strcmp(name, "Menu") == 0)
        return this;
    return CListUI::FindInterface(name);
}

bool CMenuUI::IsMenuItem(CControlUI* control)
{
    return control != nullptr && control->FindInterface("MenuElement") != nullptr;
}

void CMenuUI::HideNestedItems(CControlUI* item)
{
    IContainerUI* children = ContainerOf(item);
    if (children == nullptr)
        return;
    for (int i = 0; i < children->GetChildCount(); ++i) {
        CControlUI* child = children->GetChildAt(i);
        if (IsMenuItem(child))
            child->SetParentVisible(false);
    }
}

SIZE CMenuUI::MeasureSize(SIZE available)
{
    SIZE size = { 0, 0 };
    for (int i = 0; i < GetChildCount(); ++i) {
        CControlUI* item = GetChildAt(i);
        if (item == nullptr || !item->IsVisible())
            continue;
        SIZE itemSize = item->MeasureSize(available);
        if (itemSize.cx > size.cx)
            size.cx = itemSize.cx;
        size.cy += itemSize.cy;
    }
    return size;
}

bool CMenuUI::AddChild(CControlUI* control)
{
    if (!IsMenuItem(control))
        return false;
    HideNestedItems(control);
    return CListUI::AddChild(control);
}

bool CMenuUI::InsertChild(CControlUI* control, int index)
{
    if (!IsMenuItem(control))
        return false;
    HideNestedItems(control);
    return CListUI::InsertChild(control, index);
}

int CMenuUI::GetChildIndex(CControlUI* control) const
{
    return IsMenuItem(control) ? CListUI::GetChildIndex(control) : -1;
}

bool CMenuUI::MoveChildTo(CControlUI* control, int index)
{
    return IsMenuItem(control) && CListUI::MoveChildTo(control, index);
}

bool CMenuUI::RemoveChild(CControlUI* control)
{
    return IsMenuItem(control) && CListUI::RemoveChild(control);
}

// ---- CMenuElementUI -----------------------------------------------------------------

CMenuElementUI::CMenuElementUI() : m_chain(nullptr), m_subMenuWindow(nullptr) { SetPresetHeight(25); }

const char* CMenuElementUI::GetClassName() const { return "MenuElementUI"; }

void* CMenuElementUI::FindInterface(const char* name)
{
    if (name != nullptr && strcmp(name, "MenuElement") == 0)
        return this;
    return CListContainerElementUI::FindInterface(name);
}

CControlUI* CMenuElementUI::GetOwnerList() const
{
    for (CControlUI* parent = GetParent(); parent != nullptr; parent = parent->GetParent()) {
        if (parent->FindInterface("IListOwner") != nullptr)
            return parent;
    }
    return nullptr;
}

bool CMenuElementUI::ShowChildItems()
{
    bool any = false;
    for (int i = 0; i < GetChildCount(); ++i) {
        CControlUI* child = GetChildAt(i);
        if (!CMenuUI::IsMenuItem(child))
            continue;
        child->SetVisible(true);
        child->SetParentVisible(true);
        any = true;
    }
    return any;
}

HWND CMenuElementUI::MenuWindow() const { return m_host != nullptr ? m_host->GetHostWindow() : nullptr; }

void CMenuElementUI::CloseMenusBelow()
{
    if (m_chain != nullptr)
        m_chain->CloseBelow(MenuWindow());
}

void CMenuElementUI::OpenSubMenuOrCloseAll()
{
    if (ShowChildItems())
        OpenSubMenu();
    else if (m_chain != nullptr)
        m_chain->CloseAll(MenuWindow());
}

void CMenuElementUI::OpenSubMenu()
{
    if (m_subMenuWindow != nullptr || m_host == nullptr || m_chain == nullptr)
        return;
    m_chain->OpenNested(this);
}

void CMenuElementUI::OnSubMenuClosed()
{
    m_subMenuWindow = nullptr;
    m_buttonState &= ~static_cast<UINT>(ButtonPushed);
    Invalidate();
}

bool CMenuElementUI::Activate()
{
    if (!CListContainerElementUI::Activate())
        return false;
    if (IsSelected() && m_subMenuWindow == nullptr)
        OpenSubMenuOrCloseAll();
    return true;
}

void CMenuElementUI::HandleEvent(UIEvent& event)
{
    if (event.type == EventMouseEnter) {
        CListContainerElementUI::HandleEvent(event);
        if (m_subMenuWindow != nullptr)
            return;
        bool nested = ShowChildItems();
        if (!nested)
            CloseMenusBelow();
        if (m_owner != nullptr)
            m_owner->SelectItem(GetIndex(), true);
        if (nested)
            OpenSubMenu();
        return;
    }
    if (event.type == EventButtonDown && IsEnabled()) {
        CListContainerElementUI::HandleEvent(event);
        if (m_subMenuWindow != nullptr)
            return;
        OpenSubMenuOrCloseAll();
        return;
    }
    CListContainerElementUI::HandleEvent(event);
}

SIZE CMenuElementUI::MeasureSize(SIZE available)
{
    SIZE size = { 0, 0 };
    bool hasChildren = false;
    for (int i = 0; i < GetChildCount(); ++i) {
        CControlUI* child = GetChildAt(i);
        if (child == nullptr || !child->IsVisible())
            continue;
        hasChildren = true;
        SIZE childSize = child->MeasureSize(available);
        if (childSize.cx > size.cx)
            size.cx = childSize.cx;
        size.cy += childSize.cy;
    }
    ListItemInfo* info = GetItemInfo();
    if (!hasChildren && info != nullptr && m_host != nullptr) {
        RECT padding = info->textPadding;
        int width = GetPresetWidth() > available.cx ? GetPresetWidth() : available.cx;
        RECT rc = { 0, 0, width, kMeasureHeight };
        rc.left += padding.left;
        rc.right -= padding.right;
        HDC dc = m_host->GetDrawingDC();
        UINT style = info->textStyle | DT_CALCRECT;
        if (info->showHtml) {
            int links = 0;
            CRenderer::DrawMarkupText(dc, m_host, rc, GetText(), 0, nullptr, nullptr, links, style);
        } else {
            CRenderer::DrawPlainText(dc, m_host, rc, GetText(), 0, info->font, style);
        }
        size.cx = (rc.right - rc.left) + padding.left + padding.right + kTextSlack;
        size.cy = (rc.bottom - rc.top) + padding.top + padding.bottom;
    }
    if (GetPresetHeight() != 0)
        size.cy = GetPresetHeight();
    return size;
}

void CMenuElementUI::Paint(HDC dc, const RECT& dirty)
{
    // The paint area clips the images the item background draws.
    if (!::IntersectRect(&m_paintRect, &dirty, &m_bounds))
        return;
    PaintItemBackground(dc);
    DrawItemText(dc, m_bounds);
    // Child items belong to the nested menu window; other children paint here.
    for (int i = 0; i < GetChildCount(); ++i) {
        CControlUI* child = GetChildAt(i);
        if (child != nullptr && child->IsVisible() && !CMenuUI::IsMenuItem(child))
            child->Paint(dc, dirty);
    }
}

void CMenuElementUI::DrawItemText(HDC dc, const RECT&) { PaintItemText(dc, DT_SINGLELINE); }

// ---- CMenuBuilderCallback ---------------------------------------------------------------

CControlUI* CMenuBuilderCallback::CreateControl(const char* name)
{
    if (name == nullptr)
        return nullptr;
    if (lstrcmpiA(name, "Menu") == 0)
        return new (std::nothrow) CMenuUI;
    if (lstrcmpiA(name, "MenuElement") == 0) {
        CMenuElementUI* item = new (std::nothrow) CMenuElementUI;
        if (item != nullptr)
            item->SetChain(m_chain);
        return item;
    }
    return nullptr;
}
