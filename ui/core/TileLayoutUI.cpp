#include "ui/core/TileLayoutUI.h"

#include <string.h>

#include "ui/base/AttributeValue.h"

namespace ui {

namespace {

int Clamp(int n, int lo, int hi)
{
    if (n < lo)
        n = lo;
    if (n > hi)
        n = hi;
    return n;
}

} // namespace

CTileLayoutUI::CTileLayoutUI() : m_itemSize(), m_columns(1)
{
}

const char* CTileLayoutUI::GetClassName() const { return "TileLayoutUI"; }

void* CTileLayoutUI::FindInterface(const char* name)
{
    if (name != nullptr && strcmp(name, "TileLayout") == 0)
        return this;
    return CContainerUI::FindInterface(name);
}

void CTileLayoutUI::SetItemSize(SIZE size)
{
    if (m_itemSize.cx == size.cx && m_itemSize.cy == size.cy)
        return;
    m_itemSize = size;
    RequestLayout();
}

void CTileLayoutUI::SetColumns(int columns)
{
    if (columns <= 0)
        return;
    m_columns = columns;
    RequestLayout();
}

void CTileLayoutUI::SetAttribute(const char* name, const char* value)
{
    if (name == nullptr)
        return;
    if (strcmp(name, "itemsize") == 0) {
        SetItemSize(ReadSizeValue<SIZE>(value));
    } else if (strcmp(name, "columns") == 0) {
        SetColumns(ReadIntValue(value));
    } else {
        CContainerUI::SetAttribute(name, value);
    }
}

int CTileLayoutUI::MeasureRow(int first, int cellWidth) const
{
    // Each child of the row is offered its cell less its paddings and its
    // share of the gaps: a whole gap inside the row, half a gap at either
    // end. Each child's own limits apply.
    int rowHeight = 0;
    int column = 0;
    for (int i = first; i < m_children.GetSize() && column < m_columns; ++i) {
        CControlUI* child = ChildAt(i);
        if (!child->IsVisible() || child->IsFloating())
            continue;
        RECT padding = child->GetPadding();
        int width = cellWidth - padding.left - padding.right;
        bool atEdge = column == 0 || column == m_columns - 1;
        width -= atEdge ? m_childPadding / 2 : m_childPadding;
        width = Clamp(width, child->GetMinWidth(), child->GetMaxWidth());
        SIZE offer = { width, 9999 };
        SIZE size = const_cast<CControlUI*>(child)->MeasureSize(offer);
        int height = Clamp(size.cy, child->GetMinHeight(), child->GetMaxHeight());
        height += padding.top + padding.bottom;
        if (height > rowHeight)
            rowHeight = height;
        ++column;
    }
    return rowHeight;
}

void CTileLayoutUI::SetBounds(const RECT& rect)
{
    if (IsPlacedAt(rect))
        return;
    CControlUI::SetBounds(rect);
    ChildPlacement placement(this);
    RECT r = GetClientRect();
    if (m_children.GetSize() == 0) {
        UpdateScrollBars(r, 0, 0);
        return;
    }

    int width = r.right - r.left;
    if (m_itemSize.cx > 0) {
        m_columns = width / m_itemSize.cx;
        if (m_columns == 0)
            m_columns = 1;
    }
    int cellWidth = (width + GetScrollRange().cx) / m_columns;

    SIZE scrollPos = GetScrollPos();
    int startX = r.left - scrollPos.cx;
    int tileX = startX;
    int tileY = r.top - scrollPos.cy;
    int rowHeight = 0;
    int counter = 0;
    int requiredHeight = 0;
    for (int i = 0; i < m_children.GetSize(); ++i) {
        CControlUI* child = ChildAt(i);
        if (!child->IsVisible())
            continue;
        if (child->IsFloating()) {
            PlaceFloatingChild(i);
            continue;
        }
        int column = counter % m_columns;
        bool firstInRow = column == 0;
        bool lastInRow = column == m_columns - 1;
        RECT cell = { tileX, 0, tileX + cellWidth, 0 };
        if (firstInRow)
            rowHeight = MeasureRow(i, cellWidth);

        RECT padding = child->GetPadding();
        RECT tile;
        tile.left = cell.left + padding.left + (firstInRow ? 0 : m_childPadding / 2);
        tile.right = cell.right - padding.right - (lastInRow ? 0 : m_childPadding / 2);
        tile.top = tileY + padding.top;
        tile.bottom = tileY + rowHeight;

        SIZE offer = { tile.right - tile.left, rowHeight - padding.top };
        SIZE size = child->MeasureSize(offer);
        if (size.cx == 0)
            size.cx = tile.right - tile.left;
        if (size.cy == 0)
            size.cy = tile.bottom - tile.top;
        size.cx = Clamp(size.cx, child->GetMinWidth(), child->GetMaxWidth());
        size.cy = Clamp(size.cy, child->GetMinHeight(), child->GetMaxHeight());

        RECT rc;
        rc.left = (tile.left + tile.right - size.cx) / 2;
        rc.top = (tile.top + tile.bottom - size.cy) / 2;
        rc.right = rc.left + size.cx;
        rc.bottom = rc.top + size.cy;
        child->SetBounds(rc);

        requiredHeight = tileY + rowHeight - r.top + scrollPos.cy;
        ++counter;
        if (counter % m_columns != 0) {
            tileX = cell.right;
        } else {
            tileY += rowHeight + m_childPadding;
            tileX = startX;
            rowHeight = 0;
        }
    }
    UpdateScrollBars(r, 0, requiredHeight);
}

} // namespace ui
