#pragma once

#include "ui/core/ContainerUI.h"

namespace ui {

// Arranges its children in a grid of equal-width cells, row by row; each
// row is as high as its tallest child, and each child is centred in its
// cell.
class CTileLayoutUI : public CContainerUI
{
public:
    CTileLayoutUI();

    const char* GetClassName() const override;
    void* FindInterface(const char* name) override;
    void SetBounds(const RECT& rect) override;
    void SetAttribute(const char* name, const char* value) override;

    // With an item width above 0 the column count follows from the width
    // at every layout.
    SIZE GetItemSize() const { return m_itemSize; }
    void SetItemSize(SIZE size);
    int GetColumns() const { return m_columns; }
    // Counts of 0 and below are ignored.
    void SetColumns(int columns);

private:
    // The height of the row that starts with child `first`.
    int MeasureRow(int first, int cellWidth) const;

    SIZE m_itemSize;
    int m_columns;
};

} // namespace ui
