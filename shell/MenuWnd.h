#pragma once

// CMenuWnd: a borderless, topmost popup window that shows a menu skin, or,
// when opened by an item, that item's own items beside it. Menu windows
// tell each other to close through one observer; each window deletes
// itself after its last message, so callers keep no pointer.

#include <windows.h>

#include "shell/MenuObserver.h"
#include "ui/base/UIString.h"
#include "ui/core/UIEvent.h"
#include "ui/core/WindowHostUI.h"
#include "ui/core/WindowWnd.h"

class CMenuElementUI;
class CMenuUI;

// The one observer of all menu windows; broadcasts go from the most
// recently opened window to the first.
extern ContextMenuObserver contextMenuObserver;

class CMenuWnd : public ui::CWindowWnd, public ContextMenuReceiver, public ui::INotifyUI
{
public:
    // `parent` owns a top-level menu window (for the tray menu, the main
    // window).
    explicit CMenuWnd(HWND parent);
    ~CMenuWnd() override;

    // Opens the window: a top-level menu from `skin` (a resource id made
    // with MAKEINTRESOURCEA, or a skin text or file name) of `skinType` at
    // the screen point x, y; with an `ownerItem`, a nested menu of that
    // item's own items beside it (skin and point unused).
    void ShowAt(const char* skinType, CMenuElementUI* ownerItem, const char* skin, int x, int y);

    const char* ClassName() const override;
    UINT ClassStyle() const override;
    LRESULT HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void AfterLastMessage(HWND window) override;
    bool HandleParam(ContextMenuParam param) override;
    void Notify(ui::UINotify&) override {}

    ui::CWindowHostUI& GetHost() { return m_host; }
    CMenuElementUI* GetOwnerItem() const { return m_ownerItem; }

    // Where a nested menu of `size` goes: right of `ownerWindow` at the
    // item's top, or left of it when there is no room on the right or the
    // chain already turns left; moved into `work` where it would leave it.
    static POINT PlaceNested(const RECT& ownerWindow, int itemTop, SIZE size, const RECT& work, bool turnLeft);

private:
    void BuildTopLevel();
    void BuildNested();
    // The work area of the monitor the window is on.
    RECT WorkArea() const;
    // True when `window` belongs to a menu window of the observer.
    static bool IsMenuWindow(HWND window);
    LRESULT DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam);
    // Gives the owner item's child items back to the owner's host and list.
    void ReturnItemsToOwner();

    HWND m_parentWindow;
    POINT m_origin;
    const char* m_skin;       // a resource id, or m_skinText's text
    ui::CUIString m_skinText;
    ui::CUIString m_skinType;
    ui::CWindowHostUI m_host;
    CMenuElementUI* m_ownerItem;
    CMenuUI* m_subMenuList;
    bool m_itemsReturned;
};
