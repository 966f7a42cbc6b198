#pragma once

// The item settings a list keeps for its items, and the interfaces through
// which a list and its items see each other: IListOwnerUI and IListUI on
// the list's side, IListItemUI on the item's.

#include <windows.h>

#include "ui/base/UIString.h"
#include "ui/core/UIEvent.h"

namespace ui {

class CControlUI;
class CListBodyUI;
class CListHeaderUI;

// Settings that every item of one list reads when it paints. Colours are
// ARGB; an image string that fails to draw is cleared here, so that a
// broken image is tried once.
struct ListItemInfo
{
    static const int kMaxColumns = 32;

    int columnCount;                  // from the header at each layout
    RECT columnRects[kMaxColumns];
    int font;                         // font index of the host; -1 the default font
    UINT textStyle;                   // text-format bits, DT_VCENTER by default
    RECT textPadding;
    DWORD textColor;
    DWORD bkColor;
    CUIString bkImage;
    bool alternateBk;                 // odd items leave out the background colour
    DWORD selectedTextColor;
    DWORD selectedBkColor;
    CUIString selectedImage;
    DWORD hotTextColor;
    DWORD hotBkColor;
    CUIString hotImage;
    DWORD disabledTextColor;
    DWORD disabledBkColor;
    CUIString disabledImage;
    DWORD lineColor;                  // 0: no line under the items
    bool showHtml;                    // item texts carry inline markup
    bool multiExpanding;

    ListItemInfo();
};

// A source of texts for text items; nothing in the framework sets one.
class IListTextProviderUI
{
public:
    virtual const char* GetItemText(CControlUI* item, int index, int column) = 0;

protected:
    virtual ~IListTextProviderUI() {}
};

// What an item needs of the list it belongs to; FindInterface("IListOwner").
class IListOwnerUI
{
public:
    virtual ListItemInfo* GetItemInfo() = 0;
    virtual int GetSelectedIndex() const = 0;
    // Selects the item at `index` (-1 clears the selection); false when
    // there is no selectable item there.
    virtual bool SelectItem(int index, bool takeFocus) = 0;
    // Events an item leaves to its list: keys, the wheel, focus.
    virtual void HandleItemEvent(UIEvent& event) = 0;

protected:
    virtual ~IListOwnerUI() {}
};

// The list as a whole; FindInterface("IList").
class IListUI : public IListOwnerUI
{
public:
    virtual CListHeaderUI* GetHeader() const = 0;
    virtual CListBodyUI* GetBody() const = 0;
    virtual IListTextProviderUI* GetTextProvider() const = 0;
    virtual void SetTextProvider(IListTextProviderUI* provider) = 0;
    virtual bool ExpandItem(int index, bool expand) = 0;
    virtual int GetExpandedIndex() const = 0;

protected:
    ~IListUI() override {}
};

// One item of a list; FindInterface("ListItem").
class IListItemUI
{
public:
    virtual int GetIndex() const = 0;
    virtual void SetIndex(int index) = 0;
    virtual IListOwnerUI* GetOwner() const = 0;
    // Takes the control's "IListOwner" interface; null clears the owner.
    virtual void SetOwner(CControlUI* owner) = 0;
    virtual bool IsSelected() const = 0;
    virtual bool Select(bool select) = 0;
    virtual bool IsExpanded() const = 0;
    virtual bool Expand(bool expand) = 0;
    virtual void DrawItemText(HDC dc, const RECT& rc) = 0;

protected:
    virtual ~IListItemUI() {}
};

} // namespace ui
