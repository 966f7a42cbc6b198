#include "shell/WindowImplBase.h"

#include <string.h>

#include "ui/core/ControlUI.h"
#include "ui/skin/SkinBuilder.h"

using namespace ui;

namespace {

// The resource type of the program's skins.
const char kSkinType[] = "xml";

// The leading decimal digits of the text; 0 without any.
UINT LeadingNumber(const char* text)
{
    UINT value = 0;
    for (const char* p = text; p != nullptr && *p >= '0' && *p <= '9'; ++p)
        value = value * 10 + static_cast<UINT>(*p - '0');
    return value;
}

// Controls in the caption band that take clicks rather than drag the window.
bool TakesClicks(const CControlUI* control)
{
    const char* name = control->GetClassName();
    return lstrcmpiA(name, "ButtonUI") == 0 || lstrcmpiA(name, "OptionUI") == 0;
}

} // namespace

UINT WindowImplBase::ClassStyle() const { return CS_DBLCLKS; }

LRESULT WindowImplBase::HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    typedef LRESULT (WindowImplBase::*Handler)(UINT, WPARAM, LPARAM, bool&);
    Handler handler = nullptr;
    switch (message) {
    case WM_CREATE: handler = &WindowImplBase::HandleCreate; break;
    case WM_DESTROY: handler = &WindowImplBase::HandleDestroy; break;
    case WM_SIZE: handler = &WindowImplBase::HandleSize; break;
    case WM_SETFOCUS: handler = &WindowImplBase::HandleSetFocus; break;
    case WM_KILLFOCUS: handler = &WindowImplBase::HandleKillFocus; break;
    case WM_CLOSE: handler = &WindowImplBase::HandleClose; break;
    case WM_GETMINMAXINFO: handler = &WindowImplBase::HandleGetMinMaxInfo; break;
    case WM_NCCALCSIZE: handler = &WindowImplBase::HandleNcCalcSize; break;
    case WM_NCHITTEST: handler = &WindowImplBase::HandleNcHitTest; break;
    case WM_NCPAINT: handler = &WindowImplBase::HandleNcPaint; break;
    case WM_NCACTIVATE: handler = &WindowImplBase::HandleNcActivate; break;
    case WM_KEYDOWN: handler = &WindowImplBase::HandleKeyDown; break;
    case WM_SYSCOMMAND: handler = &WindowImplBase::HandleSysCommand; break;
    case WM_MOUSEMOVE: handler = &WindowImplBase::HandleMouseMove; break;
    case WM_LBUTTONDOWN: handler = &WindowImplBase::HandleLButtonDown; break;
    case WM_LBUTTONUP: handler = &WindowImplBase::HandleLButtonUp; break;
    case WM_MOUSEWHEEL: handler = &WindowImplBase::HandleMouseWheel; break;
    default: break;
    }
    bool handled = true;
    LRESULT result = 0;
    if (handler != nullptr) {
        result = (this->*handler)(message, wParam, lParam, handled);
        if (handled)
            return result;
    }
    handled = false;
    result = HandleOtherMessage(message, wParam, lParam, handled);
    if (handled)
        return result;
    if (m_host.ProcessMessage(message, wParam, lParam, result)) {
        if (message == WM_PAINT && !m_painted) {
            m_painted = true;
            OnFirstPaint();
        }
        return result;
    }
    return CallPreviousProc(message, wParam, lParam);
}

void WindowImplBase::AfterLastMessage(HWND)
{
    m_host.RemoveTranslateFilter(this);
    m_host.RemoveListener(this);
    m_host.ForgetControl(m_host.GetRootControl());
}

LRESULT WindowImplBase::FilterMessage(UINT message, WPARAM wParam, LPARAM, bool&)
{
    if (message == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE))
        return RespondToDefaultKey(wParam) ? 1 : 0;
    return 0;
}

CControlUI* WindowImplBase::CreateControl(const char*) { return nullptr; }

// ---- handlers -------------------------------------------------------------------

namespace {

// A handler that leaves the message to the rest of the chain.
LRESULT NotHandled(bool& handled)
{
    handled = false;
    return 0;
}

} // namespace

LRESULT WindowImplBase::HandleClose(UINT, WPARAM, LPARAM, bool& handled) { return NotHandled(handled); }
LRESULT WindowImplBase::HandleDestroy(UINT, WPARAM, LPARAM, bool& handled) { return NotHandled(handled); }
LRESULT WindowImplBase::HandleMouseWheel(UINT, WPARAM, LPARAM, bool& handled) { return NotHandled(handled); }
LRESULT WindowImplBase::HandleKeyDown(UINT, WPARAM, LPARAM, bool& handled) { return NotHandled(handled); }
LRESULT WindowImplBase::HandleKillFocus(UINT, WPARAM, LPARAM, bool& handled) { return NotHandled(handled); }
LRESULT WindowImplBase::HandleSetFocus(UINT, WPARAM, LPARAM, bool& handled) { return NotHandled(handled); }
LRESULT WindowImplBase::HandleLButtonDown(UINT, WPARAM, LPARAM, bool& handled) { return NotHandled(handled); }
LRESULT WindowImplBase::HandleLButtonUp(UINT, WPARAM, LPARAM, bool& handled) { return NotHandled(handled); }
LRESULT WindowImplBase::HandleMouseMove(UINT, WPARAM, LPARAM, bool& handled) { return NotHandled(handled); }
LRESULT WindowImplBase::HandleOtherMessage(UINT, WPARAM, LPARAM, bool& handled) { return NotHandled(handled); }

LRESULT WindowImplBase::HandleNcActivate(UINT, WPARAM wParam, LPARAM, bool& handled)
{
    if (::IsIconic(GetWindowHandle()))
        return NotHandled(handled);
    return wParam == 0 ? TRUE : FALSE;
}

// The window has no non-client area, and nothing is painted there.
LRESULT WindowImplBase::HandleNcCalcSize(UINT, WPARAM, LPARAM, bool&) { return 0; }
LRESULT WindowImplBase::HandleNcPaint(UINT, WPARAM, LPARAM, bool&) { return 0; }

LRESULT WindowImplBase::HandleNcHitTest(UINT, WPARAM, LPARAM lParam, bool&)
{
    HWND window = GetWindowHandle();
    // Screen coordinates are signed: left of or above the primary monitor
    // they are negative.
    POINT point = { static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)) };
    ::ScreenToClient(window, &point);
    RECT client;
    ::GetClientRect(window, &client);
    return HitTest(point, client, ::IsZoomed(window) != FALSE);
}

LRESULT WindowImplBase::HitTest(POINT point, const RECT& rc, bool maximised) const
{
    if (!maximised) {
        RECT box = m_host.GetSizeBox();
        bool left = point.x < rc.left + box.left;
        bool right = point.x > rc.right - box.right;
        if (point.y < rc.top + box.top)
            return left ? HTTOPLEFT : right ? HTTOPRIGHT : HTTOP;
        if (point.y > rc.bottom - box.bottom)
            return left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM;
        if (left)
            return HTLEFT;
        if (right)
            return HTRIGHT;
    }
    RECT caption = m_host.GetCaptionRect();
    if (point.x >= rc.left + caption.left && point.x < rc.right - caption.right && point.y >= caption.top
        && point.y < caption.bottom) {
        CControlUI* control = m_host.FindControlAt(point);
        if (control != nullptr && !TakesClicks(control))
            return HTCAPTION;
    }
    return HTCLIENT;
}

void WindowImplBase::MaximizedPlacement(const RECT& monitor, const RECT& work, POINT& position, POINT& size)
{
    // The position is relative to the monitor, so a task bar at the top or
    // the left keeps its place beside the maximised window.
    position.x = work.left - monitor.left;
    position.y = work.top - monitor.top;
    size.x = work.right - work.left;
    size.y = work.bottom - work.top;
}

LRESULT WindowImplBase::HandleGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, bool& handled)
{
    MONITORINFO info;
    info.cbSize = sizeof(info);
    HMONITOR monitor = ::MonitorFromWindow(GetWindowHandle(), MONITOR_DEFAULTTOPRIMARY);
    if (monitor != nullptr && ::GetMonitorInfoA(monitor, &info)) {
        MINMAXINFO* minMax = reinterpret_cast<MINMAXINFO*>(lParam);
        MaximizedPlacement(info.rcMonitor, info.rcWork, minMax->ptMaxPosition, minMax->ptMaxSize);
    }
    // The host still applies the skin's smallest and largest sizes.
    return NotHandled(handled);
}

LRESULT WindowImplBase::HandleSize(UINT, WPARAM, LPARAM, bool& handled)
{
    HWND window = GetWindowHandle();
    SIZE corner = m_host.GetRoundCorner();
    if (!::IsIconic(window) && (corner.cx != 0 || corner.cy != 0)) {
        RECT rc;
        ::GetWindowRect(window, &rc);
        ::OffsetRect(&rc, -rc.left, -rc.top);
        HRGN region = ::CreateRoundRectRgn(rc.left, rc.top, rc.right + 1, rc.bottom + 1, corner.cx, corner.cy);
        // The window owns the region once it is set.
        if (region != nullptr && !::SetWindowRgn(window, region, TRUE))
            ::DeleteObject(region);
    }
    return NotHandled(handled);
}

LRESULT WindowImplBase::HandleSysCommand(UINT message, WPARAM wParam, LPARAM lParam, bool&)
{
    // The low four bits of the command are the system's own.
    if ((wParam & 0xFFF0) == SC_CLOSE)
        return 0;
    return CallPreviousProc(message, wParam, lParam);
}

LRESULT WindowImplBase::HandleCreate(UINT, WPARAM, LPARAM, bool&)
{
    HWND window = GetWindowHandle();
    ::SetWindowLongA(window, GWL_STYLE, WindowStyle() | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    RECT rc;
    ::GetClientRect(window, &rc);
    ::SetWindowPos(window, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, SWP_FRAMECHANGED);

    m_host.AttachWindow(window);
    m_host.AddTranslateFilter(this);

    CUIString folder(SkinFolder());
    if (!folder.IsEmpty()) {
        char last = folder.GetData()[folder.GetLength() - 1];
        if (last != '\\' && last != '/')
            folder.Append("\\");
    }
    CWindowHostUI::SetResourceFolder(folder);

    WORD id = static_cast<WORD>(LeadingNumber(SkinFile()));
    CSkinBuilder builder;
    CControlUI* root = builder.Create(MAKEINTRESOURCEA(id), kSkinType, this, &m_host);
    m_host.AttachRoot(root);
    m_host.AddListener(this);
    OnSkinLoaded();
    return 0;
}

LONG WindowImplBase::WindowStyle() const
{
    return ::GetWindowLongA(GetWindowHandle(), GWL_STYLE) & ~WS_CAPTION;
}

bool WindowImplBase::RespondToDefaultKey(WPARAM key)
{
    if (key != VK_ESCAPE)
        return false;
    HWND window = GetWindowHandle();
    if (::IsWindow(window))
        ::PostMessageA(window, WM_CLOSE, 1, 0);
    return true;
}
