#pragma once

// IMenuChain: what a menu item asks of the menu windows it shows in, a
// top-level menu and the nested menus opened from its items. Items know the
// windows through this interface only; the chain of a top-level menu window
// (CMenuChain) implements it.

#include <windows.h>

class CMenuElementUI;

class IMenuChain
{
public:
    // Opens the nested menu of `item` beside the item's menu window, after
    // closing the nested menus already open from that window.
    virtual void OpenNested(CMenuElementUI* item) = 0;
    // Closes the menu windows opened from `window`, directly or further down.
    virtual void CloseBelow(HWND window) = 0;
    // Closes every menu window of the chain; `sender` is the window asking.
    virtual void CloseAll(HWND sender) = 0;

protected:
    ~IMenuChain() = default;
};
