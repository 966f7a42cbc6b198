#include "ui/controls/ListBodyUI.h"

#include "ui/controls/ListHeaderUI.h"
#include "ui/controls/ListUI.h"

namespace ui {

namespace {

bool IsPlaced(const CControlUI* child)
{
    return child->IsVisible() && !child->IsFloating();
}

int ClampWidth(const CControlUI* child, int width)
{
    if (width < child->GetMinWidth())
        width = child->GetMinWidth();
    if (width > child->GetMaxWidth())
        width = child->GetMaxWidth();
    return width;
}

} // namespace

CListBodyUI::CListBodyUI(CListUI* owner) : m_owner(owner), m_neededWidth(0)
{
}

void CListBodyUI::SetBounds(const RECT& rect)
{
    m_neededWidth = MeasureNeededWidth(rect);
    CVerticalLayoutUI::SetBounds(rect);
    WidenItems();
}

int CListBodyUI::MeasureNeededWidth(const RECT& rect)
{
    // The same available size the vertical layout measures its items with.
    SIZE available = { rect.right - rect.left - m_inset.left - m_inset.right - GetVerticalBarWidth(),
                       rect.bottom - rect.top - m_inset.top - m_inset.bottom - GetHorizontalBarHeight() };
    available.cx += GetScrollRange().cx;
    CListHeaderUI* header = m_owner != nullptr ? m_owner->GetHeader() : nullptr;
    if (header != nullptr && header->GetChildCount() > 0) {
        int width = header->MeasureSize(available).cx;
        return width > 0 ? width : 0;
    }
    int widest = 0;
    for (int i = 0; i < m_children.GetSize(); ++i) {
        CControlUI* child = GetChildAt(i);
        if (!IsPlaced(child))
            continue;
        int width = child->MeasureSize(available).cx;
        width = ClampWidth(child, width > 0 ? width : 0);
        if (width > widest)
            widest = width;
    }
    return widest;
}

void CListBodyUI::WidenItems()
{
    // Every item gets the widest measured width. When no item measures a
    // width they fill the area instead; otherwise they would all get 0.
    RECT area = GetClientRect();
    int available = area.right - area.left + GetScrollRange().cx;
    for (int i = 0; i < m_children.GetSize(); ++i) {
        CControlUI* child = GetChildAt(i);
        if (!IsPlaced(child))
            continue;
        RECT padding = child->GetPadding();
        int width = m_neededWidth > 0 ? m_neededWidth : available - padding.left - padding.right;
        width = ClampWidth(child, width);
        RECT rc = child->GetBounds();
        if (rc.right - rc.left == width)
            continue;
        rc.right = rc.left + width;
        child->SetBounds(rc);
    }
}

void CListBodyUI::UpdateScrollBars(const RECT& rect, int requiredWidth, int requiredHeight)
{
    (void)requiredWidth;
    CVerticalLayoutUI::UpdateScrollBars(rect, m_neededWidth, requiredHeight);
}

void CListBodyUI::SetScrollPos(SIZE pos)
{
    int before = GetScrollPos().cx;
    CVerticalLayoutUI::SetScrollPos(pos);
    int dx = GetScrollPos().cx - before;
    CListHeaderUI* header = m_owner != nullptr ? m_owner->GetHeader() : nullptr;
    if (dx == 0 || header == nullptr)
        return;
    for (int i = 0; i < header->GetChildCount(); ++i) {
        CControlUI* column = header->GetChildAt(i);
        RECT rc = column->GetBounds();
        ::OffsetRect(&rc, -dx, 0);
        column->SetBounds(rc);
    }
    header->Invalidate();
}

} // namespace ui
