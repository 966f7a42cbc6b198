#pragma once

#include "ui/core/VerticalLayoutUI.h"

namespace ui {

class CListUI;

// The part of a list that holds the items, one below the other. All items
// get one common width, so that the rows line up under the header and
// scroll sideways together.
class CListBodyUI : public CVerticalLayoutUI
{
public:
    explicit CListBodyUI(CListUI* owner);

    CListUI* GetOwner() const { return m_owner; }
    // The common item width of the last layout: the widest item, or the
    // header's width when the header has columns.
    int GetNeededWidth() const { return m_neededWidth; }
    // The area the items show in: the bounds minus the inset and the
    // visible scroll bars.
    RECT GetItemArea() const { return GetClientRect(); }

    void SetBounds(const RECT& rect) override;
    // A sideways move takes the header's columns along.
    void SetScrollPos(SIZE pos) override;
    void UpdateScrollBars(const RECT& rect, int requiredWidth, int requiredHeight) override;

private:
    int MeasureNeededWidth(const RECT& rect);
    void WidenItems();

    CListUI* m_owner;
    int m_neededWidth;
};

} // namespace ui
