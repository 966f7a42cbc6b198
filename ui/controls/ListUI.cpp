#include "ui/controls/ListUI.h"

#include <string.h>

#include "ui/base/AttributeValue.h"
#include "ui/controls/ListBodyUI.h"
#include "ui/controls/ListHeaderUI.h"
#include "ui/core/WindowHostUI.h"

// Sections: item settings; construction; the child list; selection;
// events; placement; scrolling through the body; attributes.

namespace ui {

namespace {

IListItemUI* ItemOf(CControlUI* control)
{
    return control != nullptr ? static_cast<IListItemUI*>(control->FindInterface("ListItem")) : nullptr;
}

} // namespace

// ---- item settings ----------------------------------------------------------

ListItemInfo::ListItemInfo()
    : columnCount(0),
      columnRects(),
      font(-1),
      textStyle(DT_VCENTER),
      textPadding(),
      textColor(0xFF000000),
      bkColor(0),
      alternateBk(false),
      selectedTextColor(0xFF000000),
      selectedBkColor(0xFFC1E3FF),
      hotTextColor(0xFF000000),
      hotBkColor(0xFFE9F5FF),
      disabledTextColor(0xFFCCCCCC),
      disabledBkColor(0xFFFFFFFF),
      lineColor(0),
      showHtml(false),
      multiExpanding(false)
{
}

// ---- construction -------------------------------------------------------------

CListUI::CListUI()
    : m_scrollSelect(false),
      m_selectedIndex(-1),
      m_expandedIndex(-1),
      m_body(new CListBodyUI(this)),
      m_header(new CListHeaderUI),
      m_focusedList(false),
      m_textProvider(nullptr)
{
    CContainerUI::AddChild(m_header);
    CContainerUI::AddChild(m_body);
}

const char* CListUI::GetClassName() const { return "ListUI"; }

void* CListUI::FindInterface(const char* name)
{
    if (name == nullptr)
        return nullptr;
    if (strcmp(name, "List") == 0)
        return this;
    if (strcmp(name, "IList") == 0)
        return static_cast<IListUI*>(this);
    if (strcmp(name, "IListOwner") == 0)
        return static_cast<IListOwnerUI*>(static_cast<IListUI*>(this));
    return CVerticalLayoutUI::FindInterface(name);
}

// ---- the child list -------------------------------------------------------------

CListUI::ChildKind CListUI::KindOf(CControlUI* control)
{
    if (control->FindInterface("ListHeader") != nullptr)
        return KindHeader;
    if (strstr(control->GetClassName(), "ListHeaderItemUI") != nullptr)
        return KindHeaderItem;
    return KindItem;
}

CControlUI* CListUI::GetChildAt(int index) const
{
    return m_body->GetChildAt(index);
}

int CListUI::GetChildCount() const
{
    return m_body->GetChildCount();
}

int CListUI::GetChildIndex(CControlUI* control) const
{
    if (control == nullptr)
        return -1;
    switch (KindOf(control)) {
    case KindHeader: return CContainerUI::GetChildIndex(control);
    case KindHeaderItem: return m_header != nullptr ? m_header->GetChildIndex(control) : -1;
    default: return m_body->GetChildIndex(control);
    }
}

bool CListUI::ReplaceHeader(CControlUI* control)
{
    // Inserting the header it already has would list it twice, and the
    // list would delete it twice.
    if (control == m_header)
        return true;
    if (m_header != nullptr)
        CContainerUI::RemoveChild(m_header);
    m_header = static_cast<CListHeaderUI*>(control->FindInterface("ListHeader"));
    return CContainerUI::InsertChild(control, 0);
}

void CListUI::Renumber(int from, int to)
{
    for (int i = from; i < to; ++i) {
        if (IListItemUI* item = ItemOf(GetChildAt(i)))
            item->SetIndex(i);
    }
}

bool CListUI::AddChild(CControlUI* control)
{
    if (control == nullptr)
        return false;
    switch (KindOf(control)) {
    case KindHeader: return ReplaceHeader(control);
    case KindHeaderItem: return m_header != nullptr && m_header->AddChild(control);
    default: return InsertChild(control, GetChildCount());
    }
}

bool CListUI::InsertChild(CControlUI* control, int index)
{
    if (control == nullptr)
        return false;
    switch (KindOf(control)) {
    case KindHeader: return ReplaceHeader(control);
    case KindHeaderItem: return m_header != nullptr && m_header->InsertChild(control, index);
    default: break;
    }
    if (!m_body->InsertChild(control, index))
        return false;
    if (IListItemUI* item = ItemOf(control)) {
        item->SetOwner(this);
        item->SetIndex(index);
    }
    Renumber(index + 1, GetChildCount());
    if (m_selectedIndex >= index)
        ++m_selectedIndex;
    return true;
}

bool CListUI::MoveChildTo(CControlUI* control, int index)
{
    if (control == nullptr)
        return false;
    switch (KindOf(control)) {
    case KindHeader: return false; // the header stays above the body
    case KindHeaderItem: return m_header != nullptr && m_header->MoveChildTo(control, index);
    default: break;
    }
    int from = m_body->GetChildIndex(control);
    if (from < 0)
        return false;
    CControlUI* selected = m_selectedIndex >= 0 ? GetChildAt(m_selectedIndex) : nullptr;
    if (!m_body->MoveChildTo(control, index))
        return false;
    Renumber(from < index ? from : index, (from < index ? index : from) + 1);
    if (selected != nullptr)
        m_selectedIndex = m_body->GetChildIndex(selected);
    return true;
}

bool CListUI::RemoveChild(CControlUI* control)
{
    if (control == nullptr)
        return false;
    switch (KindOf(control)) {
    case KindHeader:
        if (control != m_header)
            return false;
        m_header = nullptr;
        return CContainerUI::RemoveChild(control);
    case KindHeaderItem: return m_header != nullptr && m_header->RemoveChild(control);
    default: break;
    }
    int index = m_body->GetChildIndex(control);
    // The body may delete the control at once: it is not touched afterwards.
    if (index < 0 || !m_body->RemoveChild(control))
        return false;
    Renumber(index, GetChildCount());
    if (index == m_selectedIndex) {
        m_selectedIndex = -1;
        SelectItem(FindSelectableItem(index, false), false);
    } else if (index < m_selectedIndex) {
        --m_selectedIndex;
    }
    return true;
}

bool CListUI::RemoveChildAt(int index) { return RemoveChild(GetChildAt(index)); }

void CListUI::RemoveAllChildren()
{
    m_body->RemoveAllChildren();
    // A stale index would make Return activate whichever item comes to
    // stand there next.
    m_selectedIndex = -1;
    m_expandedIndex = -1;
}

// ---- selection --------------------------------------------------------------------

bool CListUI::SelectItem(int index, bool takeFocus)
{
    if (index == m_selectedIndex)
        return true;
    int old = m_selectedIndex;
    if (m_selectedIndex >= 0) {
        if (IListItemUI* item = ItemOf(GetChildAt(m_selectedIndex)))
            item->Select(false);
        m_selectedIndex = -1;
    }
    if (index < 0)
        return false;
    CControlUI* control = GetChildAt(index);
    if (control == nullptr || !control->IsVisible() || !control->IsEnabled())
        return false;
    IListItemUI* item = ItemOf(control);
    if (item == nullptr)
        return false;
    m_selectedIndex = index;
    if (!item->Select(true)) {
        m_selectedIndex = -1;
        return false;
    }
    EnsureItemVisible(index);
    if (takeFocus)
        control->SetFocus();
    if (m_host != nullptr)
        m_host->SendNotification(this, "itemselect", static_cast<WPARAM>(index), old);
    return true;
}

void CListUI::EnsureItemVisible(int index)
{
    CControlUI* control = GetChildAt(index);
    if (control == nullptr)
        return;
    RECT item = control->GetBounds();
    RECT area = m_body->GetItemArea();
    int dy = 0;
    if (item.top < area.top)
        dy = item.top - area.top;
    else if (item.bottom > area.bottom)
        dy = item.bottom - area.bottom;
    if (dy == 0)
        return;
    SIZE pos = m_body->GetScrollPos();
    pos.cy += dy;
    m_body->SetScrollPos(pos);
}

bool CListUI::ExpandItem(int index, bool expand)
{
    (void)index;
    (void)expand;
    return false;
}

// ---- events -------------------------------------------------------------------------

void CListUI::HandleEvent(UIEvent& event)
{
    if (!AcceptsMouse() && event.type >= EventMouseFirst && event.type <= EventMouseLast) {
        if (m_parent != nullptr)
            m_parent->HandleEvent(event);
        else
            CVerticalLayoutUI::HandleEvent(event);
        return;
    }
    switch (event.type) {
    case EventSetFocus:
        m_focusedList = true;
        return;
    case EventKillFocus:
        m_focusedList = false;
        return;
    case EventKeyDown:
        switch (static_cast<BYTE>(event.key)) {
        case VK_RETURN:
            if (CControlUI* selected = GetChildAt(m_selectedIndex))
                selected->Activate();
            return;
        case VK_UP: SelectItem(FindSelectableItem(m_selectedIndex - 1, false), true); return;
        case VK_DOWN: SelectItem(FindSelectableItem(m_selectedIndex + 1, true), true); return;
        case VK_PRIOR: ScrollPageUp(); return;
        case VK_NEXT: ScrollPageDown(); return;
        case VK_HOME: SelectItem(FindSelectableItem(0, false), true); return;
        // Searching backward from the last item: a forward search finds
        // nothing when the last item is disabled, and End then cleared the
        // selection instead of reaching the last item that can be selected.
        case VK_END: SelectItem(FindSelectableItem(GetChildCount() - 1, false), true); return;
        default: break;
        }
        break;
    case EventScrollWheel:
        if (event.wParam == 0) {
            if (m_scrollSelect)
                SelectItem(FindSelectableItem(m_selectedIndex - 1, false), true);
            else
                ScrollLineUp();
            return;
        }
        if (event.wParam == 1) {
            if (m_scrollSelect)
                SelectItem(FindSelectableItem(m_selectedIndex + 1, true), true);
            else
                ScrollLineDown();
            return;
        }
        break;
    default:
        break;
    }
    CVerticalLayoutUI::HandleEvent(event);
}

// ---- placement ------------------------------------------------------------------------

void CListUI::SetBounds(const RECT& rect)
{
    CVerticalLayoutUI::SetBounds(rect);
    m_itemInfo.columnCount = 0;
    if (m_header == nullptr)
        return;
    int count = m_header->GetChildCount();
    if (count > ListItemInfo::kMaxColumns)
        count = ListItemInfo::kMaxColumns;
    m_itemInfo.columnCount = count;
    if (count == 0)
        return;
    bool shown = m_header->IsVisible();
    if (!shown) {
        RECT client = GetClientRect();
        RECT strip = { client.left, client.top, client.right, client.top };
        m_header->SetBounds(strip);
    }
    // A shown header has just placed its columns unscrolled; they follow
    // the body's sideways scrolling like the items do.
    int shift = m_body->GetScrollPos().cx;
    for (int i = 0; i < count; ++i) {
        CControlUI* column = m_header->GetChildAt(i);
        RECT rc = column->GetBounds();
        ::OffsetRect(&rc, -shift, 0);
        if (shown && shift != 0)
            column->SetBounds(rc);
        m_itemInfo.columnRects[i] = rc;
    }
}

// ---- scrolling through the body ---------------------------------------------------------

int CListUI::FindSelectableItem(int index, bool forward) const { return m_body->FindSelectableItem(index, forward); }

void CListUI::ScrollLineUp() { m_body->ScrollLineUp(); }
void CListUI::ScrollLineDown() { m_body->ScrollLineDown(); }
void CListUI::ScrollPageUp() { m_body->ScrollPageUp(); }
void CListUI::ScrollPageDown() { m_body->ScrollPageDown(); }
void CListUI::ScrollToTop() { m_body->ScrollToTop(); }
void CListUI::ScrollToBottom() { m_body->ScrollToBottom(); }
void CListUI::ScrollLineLeft() { m_body->ScrollLineLeft(); }
void CListUI::ScrollLineRight() { m_body->ScrollLineRight(); }
void CListUI::ScrollPageLeft() { m_body->ScrollPageLeft(); }
void CListUI::ScrollPageRight() { m_body->ScrollPageRight(); }
void CListUI::ScrollToLeft() { m_body->ScrollToLeft(); }
void CListUI::ScrollToRight() { m_body->ScrollToRight(); }
void CListUI::EnableScrollBars(bool vertical, bool horizontal) { m_body->EnableScrollBars(vertical, horizontal); }
CScrollBarUI* CListUI::GetVerticalScrollBar() const { return m_body->GetVerticalScrollBar(); }
CScrollBarUI* CListUI::GetHorizontalScrollBar() const { return m_body->GetHorizontalScrollBar(); }

// ---- attributes ---------------------------------------------------------------------------

void CListUI::SetItemColor(DWORD& field, DWORD color)
{
    field = color;
    Invalidate();
}

void CListUI::SetItemImage(CUIString& field, const char* image)
{
    field.Assign(image);
    Invalidate();
}

void CListUI::SetItemFont(int index) { m_itemInfo.font = index; Invalidate(); }
void CListUI::SetItemTextStyle(UINT style) { m_itemInfo.textStyle = style; Invalidate(); }
void CListUI::SetAlternateBk(bool on) { m_itemInfo.alternateBk = on; Invalidate(); }
void CListUI::SetMultiExpanding(bool on) { m_itemInfo.multiExpanding = on; }

void CListUI::SetItemTextPadding(const RECT& padding)
{
    bool changed = !::EqualRect(&m_itemInfo.textPadding, &padding);
    m_itemInfo.textPadding = padding;
    Invalidate();
    if (changed && IsVisible())
        RequestLayout();
}

void CListUI::SetItemShowHtml(bool show)
{
    bool changed = m_itemInfo.showHtml != show;
    m_itemInfo.showHtml = show;
    Invalidate();
    if (changed && IsVisible())
        RequestLayout();
}

void CListUI::SetItemTextColor(DWORD color) { SetItemColor(m_itemInfo.textColor, color); }
void CListUI::SetItemBkColor(DWORD color) { SetItemColor(m_itemInfo.bkColor, color); }
void CListUI::SetItemBkImage(const char* image) { SetItemImage(m_itemInfo.bkImage, image); }
void CListUI::SetSelectedItemTextColor(DWORD color) { SetItemColor(m_itemInfo.selectedTextColor, color); }
void CListUI::SetSelectedItemBkColor(DWORD color) { SetItemColor(m_itemInfo.selectedBkColor, color); }
void CListUI::SetSelectedItemImage(const char* image) { SetItemImage(m_itemInfo.selectedImage, image); }
void CListUI::SetHotItemTextColor(DWORD color) { SetItemColor(m_itemInfo.hotTextColor, color); }
void CListUI::SetHotItemBkColor(DWORD color) { SetItemColor(m_itemInfo.hotBkColor, color); }
void CListUI::SetHotItemImage(const char* image) { SetItemImage(m_itemInfo.hotImage, image); }
void CListUI::SetDisabledItemTextColor(DWORD color) { SetItemColor(m_itemInfo.disabledTextColor, color); }
void CListUI::SetDisabledItemBkColor(DWORD color) { SetItemColor(m_itemInfo.disabledBkColor, color); }
void CListUI::SetDisabledItemImage(const char* image) { SetItemImage(m_itemInfo.disabledImage, image); }
void CListUI::SetItemLineColor(DWORD color) { SetItemColor(m_itemInfo.lineColor, color); }

namespace {

typedef void (CListUI::*ColorSetter)(DWORD);
typedef void (CListUI::*ImageSetter)(const char*);

struct ColorAttribute
{
    const char* name;
    ColorSetter set;
};

struct ImageAttribute
{
    const char* name;
    ImageSetter set;
};

const ColorAttribute kColorAttributes[] = {
    { "itemtextcolor", &CListUI::SetItemTextColor },
    { "itembkcolor", &CListUI::SetItemBkColor },
    { "itemselectedtextcolor", &CListUI::SetSelectedItemTextColor },
    { "itemselectedbkcolor", &CListUI::SetSelectedItemBkColor },
    { "itemhottextcolor", &CListUI::SetHotItemTextColor },
    { "itemhotbkcolor", &CListUI::SetHotItemBkColor },
    { "itemdisabledtextcolor", &CListUI::SetDisabledItemTextColor },
    { "itemdisabledbkcolor", &CListUI::SetDisabledItemBkColor },
    { "itemlinecolor", &CListUI::SetItemLineColor },
};

const ImageAttribute kImageAttributes[] = {
    { "itembkimage", &CListUI::SetItemBkImage },
    { "itemselectedimage", &CListUI::SetSelectedItemImage },
    { "itemhotimage", &CListUI::SetHotItemImage },
    { "itemdisabledimage", &CListUI::SetDisabledItemImage },
};

// "left", "center" and "right", each found anywhere in the value, applied
// in this order to the horizontal alignment bits.
UINT ApplyAlign(UINT style, const char* value)
{
    if (strstr(value, "left") != nullptr)
        style &= ~static_cast<UINT>(DT_CENTER | DT_RIGHT);
    if (strstr(value, "center") != nullptr) {
        style &= ~static_cast<UINT>(DT_RIGHT);
        style |= DT_CENTER;
    }
    if (strstr(value, "right") != nullptr) {
        style &= ~static_cast<UINT>(DT_CENTER);
        style |= DT_RIGHT;
    }
    return style;
}

} // namespace

void CListUI::SetAttribute(const char* name, const char* value)
{
    if (name == nullptr)
        return;
    if (value == nullptr)
        value = "";
    for (const ColorAttribute& row : kColorAttributes) {
        if (strcmp(name, row.name) == 0) {
            (this->*row.set)(ReadColorValue(value, false));
            return;
        }
    }
    for (const ImageAttribute& row : kImageAttributes) {
        if (strcmp(name, row.name) == 0) {
            (this->*row.set)(value);
            return;
        }
    }
    if (strcmp(name, "header") == 0) {
        if (m_header != nullptr)
            m_header->SetVisible(strcmp(value, "hidden") != 0);
    } else if (strcmp(name, "headerbkimage") == 0) {
        if (m_header != nullptr)
            m_header->SetBackgroundImage(value);
    } else if (strcmp(name, "scrollselect") == 0) {
        SetScrollSelect(ReadBoolValue(value));
    } else if (strcmp(name, "multiexpanding") == 0) {
        SetMultiExpanding(ReadBoolValue(value));
    } else if (strcmp(name, "itemfont") == 0) {
        SetItemFont(ReadIntValue(value));
    } else if (strcmp(name, "itemalign") == 0) {
        SetItemTextStyle(ApplyAlign(m_itemInfo.textStyle, value));
    } else if (strcmp(name, "itemendellipsis") == 0) {
        UINT style = m_itemInfo.textStyle & ~static_cast<UINT>(DT_END_ELLIPSIS);
        SetItemTextStyle(ReadBoolValue(value) ? style | DT_END_ELLIPSIS : style);
    } else if (strcmp(name, "itemtextpadding") == 0) {
        SetItemTextPadding(ReadRectValue<RECT>(value));
    } else if (strcmp(name, "itemaltbk") == 0) {
        SetAlternateBk(ReadBoolValue(value));
    } else if (strcmp(name, "itemshowhtml") == 0) {
        SetItemShowHtml(ReadBoolValue(value));
    } else if (strcmp(name, "vscrollbar") == 0 || strcmp(name, "hscrollbar") == 0
               || strcmp(name, "vscrollbarstyle") == 0 || strcmp(name, "hscrollbarstyle") == 0) {
        // The bars belong to the body, which scrolls the items.
        m_body->SetAttribute(name, value);
    } else {
        CVerticalLayoutUI::SetAttribute(name, value);
    }
}

} // namespace ui
