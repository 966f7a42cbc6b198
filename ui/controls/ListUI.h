#pragma once

// CListUI: a header row above a body of items, one item selected at a time.
// The list keeps the item settings its items paint with, sorts the
// controls it is given into the header or the body, numbers the items and
// moves the selection with the keyboard and the wheel.

#include "ui/controls/ListInterfaces.h"
#include "ui/core/VerticalLayoutUI.h"

namespace ui {

class CListUI : public CVerticalLayoutUI, public IListUI
{
public:
    CListUI();

    const char* GetClassName() const override;
    void* FindInterface(const char* name) override;

    // The child list counts the body's items only. A "ListHeader" control
    // replaces the header, a header item goes to the header, anything else
    // to the body, where list items are given their owner and index.
    CControlUI* GetChildAt(int index) const override;
    int GetChildIndex(CControlUI* control) const override;
    bool MoveChildTo(CControlUI* control, int index) override;
    int GetChildCount() const override;
    bool AddChild(CControlUI* control) override;
    bool InsertChild(CControlUI* control, int index) override;
    bool RemoveChild(CControlUI* control) override;
    bool RemoveChildAt(int index) override;
    void RemoveAllChildren() override;

    // IListOwnerUI and IListUI.
    ListItemInfo* GetItemInfo() override { return &m_itemInfo; }
    int GetSelectedIndex() const override { return m_selectedIndex; }
    bool SelectItem(int index, bool takeFocus) override;
    void HandleItemEvent(UIEvent& event) override { HandleEvent(event); }
    CListHeaderUI* GetHeader() const override { return m_header; }
    CListBodyUI* GetBody() const override { return m_body; }
    IListTextProviderUI* GetTextProvider() const override { return m_textProvider; }
    void SetTextProvider(IListTextProviderUI* provider) override { m_textProvider = provider; }
    // Items do not expand in this framework: false and -1.
    bool ExpandItem(int index, bool expand) override;
    int GetExpandedIndex() const override { return m_expandedIndex; }

    // Scrolls the body so that the item at `index` is wholly in view.
    void EnsureItemVisible(int index);

    // Searching and scrolling work on the body, which holds the items and
    // the scroll bars.
    int FindSelectableItem(int index, bool forward) const override;
    void ScrollLineUp() override;
    void ScrollLineDown() override;
    void ScrollPageUp() override;
    void ScrollPageDown() override;
    void ScrollToTop() override;
    void ScrollToBottom() override;
    void ScrollLineLeft() override;
    void ScrollLineRight() override;
    void ScrollPageLeft() override;
    void ScrollPageRight() override;
    void ScrollToLeft() override;
    void ScrollToRight() override;
    void EnableScrollBars(bool vertical, bool horizontal) override;
    CScrollBarUI* GetVerticalScrollBar() const override;
    CScrollBarUI* GetHorizontalScrollBar() const override;

    // Places header and body, then takes the column rectangles from the
    // header.
    void SetBounds(const RECT& rect) override;
    void HandleEvent(UIEvent& event) override;
    void SetAttribute(const char* name, const char* value) override;

    // The wheel moves the selection instead of scrolling (default false).
    bool IsScrollSelect() const { return m_scrollSelect; }
    void SetScrollSelect(bool on) { m_scrollSelect = on; }
    bool IsFocusedList() const { return m_focusedList; }

    // Item settings; each repaints the list.
    void SetItemFont(int index);
    void SetItemTextStyle(UINT style);
    // These two also ask for a layout when they change the value.
    void SetItemTextPadding(const RECT& padding);
    void SetItemShowHtml(bool show);
    void SetItemTextColor(DWORD color);
    void SetItemBkColor(DWORD color);
    void SetItemBkImage(const char* image);
    void SetAlternateBk(bool on);
    void SetSelectedItemTextColor(DWORD color);
    void SetSelectedItemBkColor(DWORD color);
    void SetSelectedItemImage(const char* image);
    void SetHotItemTextColor(DWORD color);
    void SetHotItemBkColor(DWORD color);
    void SetHotItemImage(const char* image);
    void SetDisabledItemTextColor(DWORD color);
    void SetDisabledItemBkColor(DWORD color);
    void SetDisabledItemImage(const char* image);
    void SetItemLineColor(DWORD color);
    void SetMultiExpanding(bool on);

private:
    enum ChildKind { KindHeader, KindHeaderItem, KindItem };
    static ChildKind KindOf(CControlUI* control);

    bool ReplaceHeader(CControlUI* control);
    // Gives the item at `from` and every later one its index.
    void Renumber(int from, int to);
    void SetItemColor(DWORD& field, DWORD color);
    void SetItemImage(CUIString& field, const char* image);

    bool m_scrollSelect;
    int m_selectedIndex;
    int m_expandedIndex;
    CListBodyUI* m_body;
    CListHeaderUI* m_header;
    ListItemInfo m_itemInfo;
    bool m_focusedList;
    IListTextProviderUI* m_textProvider;
};

} // namespace ui
