#pragma once

// CMenuWnd: a borderless, topmost popup window that shows a menu skin, or,
// when opened by an item, that item's own items beside it. A top-level menu
// window owns the chain of the menu windows opened from it (CMenuChain),
// through whose observer they tell each other to close; each window deletes
// itself after its last message, so callers keep no pointer.

#include <windows.h>

#include "shell/MenuChain.h"
#include "shell/MenuObserver.h"
#include "ui/base/UIString.h"
#include "ui/core/UIEvent.h"
#include "ui/core/WindowHostUI.h"
#include "ui/core/WindowWnd.h"

class CMenuElementUI;
class CMenuUI;
class CMenuWnd;

// The open menu windows of one chain, in the order they opened; they hear
// its broadcasts from the most recently opened to the first. The nested
// windows are owned by the windows they opened from, so the top-level
// window, which holds the chain, is the last of them to go.
class CMenuChain : public IMenuChain
{
public:
    CMenuChain() = default;
    CMenuChain(const CMenuChain&) = delete;
    CMenuChain& operator=(const CMenuChain&) = delete;

    void Attach(CMenuWnd* window);
    // True when `window` is the window of a menu of this chain.
    bool Contains(HWND window) const;
    int GetCount() const { return m_observer.GetCount(); }

    void OpenNested(CMenuElementUI* item) override;
    void CloseBelow(HWND window) override;
    void CloseAll(HWND sender) override;

private:
    void Broadcast(int kind, HWND refWindow);

    ContextMenuObserver m_observer;
};

class CMenuWnd : public ui::CWindowWnd, public ContextMenuReceiver, public ui::INotifyUI
{
public:
    // A top-level menu window, the head of a chain of its own; `parent`
    // owns it (for the tray menu, the main window).
    explicit CMenuWnd(HWND parent);
    // A nested menu window of `chain`, owned by `parent`, the menu window of
    // the item that opens it.
    CMenuWnd(HWND parent, CMenuChain& chain);
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
    // The chain this window belongs to: its own for a top-level menu.
    CMenuChain& GetChain() { return m_chain; }
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
    LRESULT DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam);
    // Gives the owner item's child items back to the owner's host and list.
    void ReturnItemsToOwner();

    HWND m_parentWindow;
    // The chain a top-level window heads; a nested window's stays empty, and
    // m_chain is the chain of the menu it opened from. Declared before the
    // host, so that the items of the host's tree, which know the chain, go
    // first.
    CMenuChain m_ownChain;
    CMenuChain& m_chain;
    POINT m_origin;
    const char* m_skin;       // a resource id, or m_skinText's text
    ui::CUIString m_skinText;
    ui::CUIString m_skinType;
    ui::CWindowHostUI m_host;
    CMenuElementUI* m_ownerItem;
    CMenuUI* m_subMenuList;
    bool m_itemsReturned;
};
