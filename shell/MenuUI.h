#pragma once

// The controls of a popup menu: CMenuUI, the list at the root of a menu
// window, and CMenuElementUI, one item, which has its menu chain open a
// nested menu window beside itself when it holds items of its own.
// CMenuBuilderCallback lets the skin builder make both.

#include "ui/controls/ListContainerElementUI.h"
#include "ui/controls/ListUI.h"
#include "ui/skin/DialogBuilderCallback.h"

class CMenuWnd;
class IMenuChain;

class CMenuUI : public ui::CListUI
{
public:
    // The list's header is hidden.
    CMenuUI();

    const char* GetClassName() const override;
    void* FindInterface(const char* name) override;
    // As wide as the widest visible item, as high as all of them together.
    SIZE MeasureSize(SIZE available) override;

    // Only menu items enter; other controls are refused (false, -1).
    bool AddChild(ui::CControlUI* control) override;
    bool InsertChild(ui::CControlUI* control, int index) override;
    int GetChildIndex(ui::CControlUI* control) const override;
    bool MoveChildTo(ui::CControlUI* control, int index) override;
    bool RemoveChild(ui::CControlUI* control) override;

    static bool IsMenuItem(ui::CControlUI* control);

private:
    // An item's own items show only in the nested menu window.
    static void HideNestedItems(ui::CControlUI* item);
};

class CMenuElementUI : public ui::CListContainerElementUI
{
public:
    CMenuElementUI();

    // The chain whose windows this item opens and closes; without one it
    // opens and closes none.
    void SetChain(IMenuChain* chain) { m_chain = chain; }

    const char* GetClassName() const override;
    void* FindInterface(const char* name) override;
    bool Activate() override;
    void HandleEvent(ui::UIEvent& event) override;
    SIZE MeasureSize(SIZE available) override;
    void Paint(HDC dc, const RECT& dirty) override;
    void DrawItemText(HDC dc, const RECT& rc) override;

    // The nested menu window this item opened, or null.
    CMenuWnd* GetSubMenuWindow() const { return m_subMenuWindow; }
    void SetSubMenuWindow(CMenuWnd* window) { m_subMenuWindow = window; }
    // Called by the nested menu window when it goes: the item is no longer
    // pushed and repaints.
    void OnSubMenuClosed();
    // The list this item belongs to, or null.
    ui::CControlUI* GetOwnerList() const;

private:
    // Makes the child items visible; true when there is at least one.
    bool ShowChildItems();
    void OpenSubMenu();
    // Tells the menu windows of the chain opened from this item's window
    // to close.
    void CloseMenusBelow();
    // An item with items of its own opens them beside it; any other item
    // closes every menu of the chain.
    void OpenSubMenuOrCloseAll();
    // The window this item shows in, or null.
    HWND MenuWindow() const;

    IMenuChain* m_chain;
    CMenuWnd* m_subMenuWindow;
};

class CMenuBuilderCallback : public ui::IDialogBuilderCallback
{
public:
    // The items it makes belong to `chain`; the skin renderer, which only
    // draws them, gives none.
    explicit CMenuBuilderCallback(IMenuChain* chain = nullptr) : m_chain(chain) {}

    // "Menu" and "MenuElement", without regard to case; null otherwise.
    ui::CControlUI* CreateControl(const char* name) override;

private:
    IMenuChain* m_chain;
};
