#pragma once

// The keyboard side of a window host: which control has the focus, Tab and
// Shift+Tab through the tab stops, Alt+letter shortcuts, and the keys and
// characters that go to the focused control.

#include <windows.h>

#include "ui/core/TabOrderUI.h"

namespace ui {

class CControlUI;
class CWindowHostUI;

// Invariants: the focus and the key-pressed control are null or controls
// of the host's tree (ForgetControl clears them before a control goes);
// the focus is visible and enabled when it is set.
class CHostFocusUI : private ITabWalkUI
{
public:
    explicit CHostFocusUI(CWindowHostUI& host) : m_host(host) { }
    CHostFocusUI(const CHostFocusUI&) = delete;
    CHostFocusUI& operator=(const CHostFocusUI&) = delete;

    CControlUI* GetFocus() const { return m_focus; }
    // Kill-focus to the old control, set-focus to the new one, each with its
    // notification; the window takes the platform focus.
    void SetFocus(CControlUI* control);
    // Places the focus near `control` without focus events; they follow at
    // the next paint.
    void FocusAtNextPaint(CControlUI* control);
    bool MoveFocus(bool forward);
    CControlUI* FindTabStop(const CControlUI* from, bool forward) const;

    // Focus goes to a tab stop at the next paint.
    bool IsFocusNeeded() const { return m_focusNeeded; }
    void SetFocusNeeded(bool needed) { m_focusNeeded = needed; }
    // After the paint's layout: the tab stop after the focus, unless the
    // layout asked for another one first.
    void PlaceAfterLayout();

    // Key down and up, and characters (UTF-16 units), to the focus; a key
    // that went down goes up to the same control.
    void OnKey(int eventType, WPARAM wParam);
    void OnChar(WPARAM wParam);
    // Before translation: Tab (true when it moved the focus) and Alt keys.
    bool OnTabKey();
    void OnSysKeyDown(WPARAM wParam);
    // Alt+letter: the control with that shortcut, or the one after it.
    bool OnShortcut(WPARAM key);

    // Drops every reference to the control, before it goes.
    void Forget(const CControlUI* control);
    // For a new tree: no focus (with its kill-focus), no key pressed.
    void Reset();

private:
    CControlUI* Walk(CTabSearchUI& search) const override;
    // A key event with the modifiers and the last mouse position, when
    // there is a target.
    void SendKey(CControlUI* target, int eventType, WPARAM wParam);
    // Sends the focused control its kill-focus event (naming `next`) and
    // notification; no control has the focus afterwards.
    void TakeFocusAway(CControlUI* next);

    CWindowHostUI& m_host;
    CControlUI* m_focus = nullptr;
    CControlUI* m_keyPressed = nullptr;
    bool m_focusNeeded = false;
    WORD m_highSurrogate = 0; // the first half of a character whose WM_CHAR comes in two
};

} // namespace ui
