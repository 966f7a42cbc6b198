#pragma once

// The mouse side of a window host: the control under the mouse (hover) with
// the tracking that tells when the mouse rests or leaves, the one tooltip,
// and the control a button went down on (click) with the mouse capture.

#include <windows.h>

#include <commctrl.h>

namespace ui {

class CControlUI;
class CWindowHostUI;

// Invariants: the hover and click controls are null or controls of the
// host's tree (ForgetControl clears them before a control goes); the
// window holds the mouse capture exactly while a click control is set
// (from the button-down to the button-up or context menu that ends it).
class CHostPointerUI
{
public:
    explicit CHostPointerUI(CWindowHostUI& host);
    // Destroys the tooltip window.
    ~CHostPointerUI();
    CHostPointerUI(const CHostPointerUI&) = delete;
    CHostPointerUI& operator=(const CHostPointerUI&) = delete;

    CControlUI* GetHover() const { return m_hover; }
    CControlUI* GetClick() const { return m_click; }
    POINT GetLastPos() const { return m_lastPos; }

    void OnMouseMove(LPARAM lParam);
    void OnMouseLeave();
    // True when a control is under the mouse.
    bool OnMouseHover(LPARAM lParam);
    void OnButtonDown(int eventType, WPARAM wParam, LPARAM lParam);
    void OnButtonUp(WPARAM wParam, LPARAM lParam);
    void OnDoubleClick(WPARAM wParam, LPARAM lParam);
    void OnContextMenu(WPARAM wParam, LPARAM lParam);
    void OnMouseWheel(WPARAM wParam, LPARAM lParam);
    bool OnSetCursor(WPARAM wParam, LPARAM lParam);
    // The window closes: hover and click hear that the mouse is gone.
    void OnClose();

    // Drops every reference to the control, before it goes (a click control
    // releases the capture, as nobody is left to take the button-up).
    void Forget(const CControlUI* control);
    // For a new tree: no hover, no click, no capture.
    void Reset();

private:
    // A button went down at lParam: the window takes the focus, and the
    // control of this host under the point, if any, is the answer.
    CControlUI* PressedControl(LPARAM lParam, POINT& pt);
    void Capture(CControlUI* control);
    // Ends the click: no click control, the capture released.
    CControlUI* ReleaseClick();
    void DeactivateTooltip();
    // Shows the control's tooltip; false when it has none or none can be shown.
    bool ShowTooltip(CControlUI* control);
    void StopLeaveTracking();

    CWindowHostUI& m_host;
    CControlUI* m_hover;
    CControlUI* m_click;
    POINT m_lastPos; // of the last mouse message, client coordinates
    bool m_tracking; // a hover and leave tracking request is active
    bool m_captured;
    HWND m_tooltip;
    TTTOOLINFOW m_toolInfo;
};

} // namespace ui
