// The mouse side of the window host: hover tracking, the tooltip, clicks
// with the capture, the wheel and the cursor.
//
// Events are delivered synchronously and a handler may delete controls, so
// a control is stored as hover or click control before its event goes out:
// ForgetControl then clears the field, which is read again afterwards.

#include "ui/core/HostPointerUI.h"

#include "ui/base/UIAssert.h"
#include "ui/base/Utf8.h"
#include "ui/core/ControlUI.h"
#include "ui/core/WindowHostUI.h"

namespace ui {

namespace {

// The position of mouse events that do not carry one: the wheel's, and
// those that end hover and click when the window closes.
const POINT kNoPoint = { 0, 0 };

// Before the first tooltip exists, the time the mouse must rest.
const DWORD kHoverMs = 400;

POINT PointFromLParam(LPARAM lParam)
{
    POINT pt;
    pt.x = static_cast<short>(LOWORD(lParam));
    pt.y = static_cast<short>(HIWORD(lParam));
    return pt;
}

// Loads the common controls, whose tooltip window class the host uses, the
// first time a tooltip is shown: a program that imports the library loads
// it, and registers its window classes, before its first window appears.
void LoadCommonControls()
{
    static bool loaded = false;
    if (loaded)
        return;
    loaded = true;
    HMODULE library = ::LoadLibraryA("comctl32.dll");
    using InitFn = void(WINAPI*)();
    InitFn init = library != nullptr
        ? reinterpret_cast<InitFn>(reinterpret_cast<void*>(::GetProcAddress(library, "InitCommonControls")))
        : nullptr;
    if (init != nullptr)
        init();
}

// Asks the platform to report (or, with TME_CANCEL, no longer report) the
// mouse's hover and leave over `window`.
void TrackMouse(HWND window, DWORD flags, DWORD hoverTime)
{
    TRACKMOUSEEVENT track;
    track.cbSize = sizeof(track);
    track.dwFlags = flags;
    track.hwndTrack = window;
    track.dwHoverTime = hoverTime;
    ::TrackMouseEvent(&track);
}

} // namespace

CHostPointerUI::CHostPointerUI(CWindowHostUI& host)
    : m_host(host)
    , m_hover(nullptr)
    , m_click(nullptr)
    , m_tracking(false)
    , m_captured(false)
    , m_tooltip(nullptr)
{
    m_lastPos.x = -1;
    m_lastPos.y = -1;
    ZeroMemory(&m_toolInfo, sizeof(m_toolInfo));
}

CHostPointerUI::~CHostPointerUI()
{
    if (m_tooltip != nullptr && ::IsWindow(m_tooltip))
        ::DestroyWindow(m_tooltip);
}

void CHostPointerUI::Forget(const CControlUI* control)
{
    if (control == nullptr)
        return;
    if (m_hover == control)
        m_hover = nullptr;
    if (m_click == control)
        ReleaseClick();
}

void CHostPointerUI::Reset()
{
    m_hover = nullptr;
    ReleaseClick();
}

void CHostPointerUI::Capture(CControlUI* control)
{
    ::SetCapture(m_host.GetHostWindow());
    m_captured = true;
    m_click = control;
}

CControlUI* CHostPointerUI::ReleaseClick()
{
    CControlUI* control = m_click;
    m_click = nullptr;
    if (m_captured) {
        m_captured = false;
        ::ReleaseCapture();
    }
    return control;
}

// ---- hover and the tooltip ----------------------------------------------------------

void CHostPointerUI::DeactivateTooltip()
{
    if (m_tooltip != nullptr)
        ::SendMessageW(m_tooltip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&m_toolInfo));
}

void CHostPointerUI::OnMouseMove(LPARAM lParam)
{
    if (!m_tracking) {
        DWORD hoverTime = m_tooltip != nullptr
            ? static_cast<DWORD>(::SendMessageW(m_tooltip, TTM_GETDELAYTIME, TTDT_INITIAL, 0))
            : kHoverMs;
        TrackMouse(m_host.GetHostWindow(), TME_HOVER | TME_LEAVE, hoverTime);
        m_tracking = true;
    }
    POINT pt = PointFromLParam(lParam);
    m_lastPos = pt;
    CControlUI* found = m_host.FindControlAt(pt);
    if (found != nullptr && found->GetHost() != &m_host)
        return;
    if (m_hover != nullptr && m_hover != found) {
        CControlUI* left = m_hover;
        m_hover = nullptr;
        m_host.SendMouseEvent(left, EventMouseLeave, pt);
        DeactivateTooltip();
    }
    if (found != nullptr && found != m_hover) {
        m_hover = found;
        m_host.SendMouseEvent(found, EventMouseEnter, pt);
        // The enter handler may have deleted the control (ForgetControl
        // cleared the hover then); it must not get the move.
        if (m_hover != found)
            found = nullptr;
    }
    CControlUI* target = m_click != nullptr ? m_click : found;
    if (target != nullptr)
        m_host.SendMouseEvent(target, EventMouseMove, pt);
}

void CHostPointerUI::OnMouseLeave()
{
    DeactivateTooltip();
    if (m_tracking)
        ::SendMessageA(m_host.GetHostWindow(), WM_MOUSEMOVE, 0, static_cast<LPARAM>(-1));
    m_tracking = false;
}

// The hover ends the tracking request: the next move makes a new one. The
// platform still watches for the mouse to leave, which only has to hide a
// tooltip now, so without one shown that watch stops too; under wine it
// is a timer that would wake the window all the while the mouse rests.
bool CHostPointerUI::OnMouseHover(LPARAM lParam)
{
    m_tracking = false;
    POINT pt = PointFromLParam(lParam);
    CControlUI* control = m_host.FindControlAt(pt);
    if (control != nullptr && m_hover != nullptr) {
        m_host.SendMouseEvent(m_hover, EventMouseHover, pt);
        control = m_host.FindControlAt(pt); // the handler may have changed the tree
        if (control == nullptr) {
            StopLeaveTracking();
            return true;
        }
    }
    if (control == nullptr || !ShowTooltip(control))
        StopLeaveTracking();
    return control != nullptr;
}

void CHostPointerUI::StopLeaveTracking()
{
    TrackMouse(m_host.GetHostWindow(), TME_CANCEL | TME_LEAVE, 0);
}

bool CHostPointerUI::ShowTooltip(CControlUI* control)
{
    const char* tip = control->GetTooltip();
    if (tip == nullptr || tip[0] == '\0')
        return false;
    // The tooltip copies the text when the tool is set.
    CWideText text(tip);
    HWND window = m_host.GetHostWindow();
    ZeroMemory(&m_toolInfo, sizeof(m_toolInfo));
    // Without a manifest asking for common controls 6 Windows loads comctl32
    // 5.82, which refuses the record at its full size (the reserved pointer
    // at its end is newer); version 6 takes the shorter record too.
    m_toolInfo.cbSize = TTTOOLINFOW_V2_SIZE;
    m_toolInfo.uFlags = TTF_IDISHWND;
    m_toolInfo.hwnd = window;
    m_toolInfo.uId = reinterpret_cast<UINT_PTR>(window);
    m_toolInfo.hinst = CWindowHostUI::GetProgramInstance();
    m_toolInfo.lpszText = const_cast<UIWideChar*>(text.GetData());
    m_toolInfo.rect = control->GetBounds();
    if (m_tooltip == nullptr) {
        LoadCommonControls();
        m_tooltip = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window,
                                      nullptr, CWindowHostUI::GetProgramInstance(), nullptr);
        if (m_tooltip == nullptr) {
            m_toolInfo.lpszText = nullptr;
            return false;
        }
        ::SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&m_toolInfo));
    }
    ::SendMessageW(m_tooltip, TTM_SETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&m_toolInfo));
    ::SendMessageW(m_tooltip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&m_toolInfo));
    m_toolInfo.lpszText = nullptr;
    return true;
}

// ---- buttons, the wheel and the cursor ---------------------------------------------------

CControlUI* CHostPointerUI::PressedControl(LPARAM lParam, POINT& pt)
{
    ::SetFocus(m_host.GetHostWindow());
    pt = PointFromLParam(lParam);
    m_lastPos = pt;
    CControlUI* control = m_host.FindControlAt(pt);
    return control != nullptr && control->GetHost() == &m_host ? control : nullptr;
}

void CHostPointerUI::OnButtonDown(int eventType, WPARAM wParam, LPARAM lParam)
{
    POINT pt;
    CControlUI* control = PressedControl(lParam, pt);
    if (control == nullptr)
        return;
    m_click = control;
    control->SetFocus();
    if (m_click != control)
        return; // deleted by a focus handler
    Capture(control);
    m_host.SendMouseEvent(control, eventType, pt, LOWORD(wParam), wParam, lParam);
}

void CHostPointerUI::OnButtonUp(WPARAM wParam, LPARAM lParam)
{
    POINT pt = PointFromLParam(lParam);
    m_lastPos = pt;
    if (m_click == nullptr)
        return;
    CControlUI* control = ReleaseClick();
    m_host.SendMouseEvent(control, EventButtonUp, pt, LOWORD(wParam), wParam, lParam);
}

void CHostPointerUI::OnDoubleClick(WPARAM wParam, LPARAM lParam)
{
    POINT pt;
    CControlUI* control = PressedControl(lParam, pt);
    if (control == nullptr)
        return;
    Capture(control);
    m_host.SendMouseEvent(control, EventDblClick, pt, LOWORD(wParam));
}

void CHostPointerUI::OnContextMenu(WPARAM wParam, LPARAM lParam)
{
    POINT pt = PointFromLParam(lParam);
    ::ScreenToClient(m_host.GetHostWindow(), &pt);
    m_lastPos = pt;
    if (m_click == nullptr)
        return;
    CControlUI* control = ReleaseClick();
    m_host.SendMouseEvent(control, EventContextMenu, pt, LOWORD(wParam), 0,
                          reinterpret_cast<LPARAM>(control));
}

void CHostPointerUI::OnMouseWheel(WPARAM wParam, LPARAM lParam)
{
    HWND window = m_host.GetHostWindow();
    POINT pt = PointFromLParam(lParam);
    ::ScreenToClient(window, &pt);
    m_lastPos = pt;
    CControlUI* control = m_host.FindControlAt(pt);
    if (control == nullptr || control->GetHost() != &m_host)
        return;
    WPARAM towardsUser = static_cast<short>(HIWORD(wParam)) < 0 ? 1 : 0;
    m_host.SendMouseEvent(control, EventScrollWheel, kNoPoint, CWindowHostUI::GetModifierState(), towardsUser,
                          lParam);
    // The content may have moved under the mouse.
    ::SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(m_lastPos.x, m_lastPos.y));
}

bool CHostPointerUI::OnSetCursor(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(lParam) != HTCLIENT)
        return false;
    if (m_captured)
        return true;
    POINT pt;
    ::GetCursorPos(&pt);
    ::ScreenToClient(m_host.GetHostWindow(), &pt);
    CControlUI* control = m_host.FindControlAt(pt);
    if (control == nullptr || (control->GetBehaviorFlags() & ControlFlagSetCursor) == 0)
        return false;
    UIEvent event;
    m_host.InitEvent(event, EventSetCursor, nullptr);
    event.mousePoint = pt;
    event.keyState = CWindowHostUI::GetModifierState();
    event.wParam = wParam;
    event.lParam = lParam;
    m_host.SendEvent(control, event);
    return true;
}

void CHostPointerUI::OnClose()
{
    UI_ASSERT(!m_captured || m_click != nullptr);
    if (m_hover != nullptr)
        m_host.SendMouseEvent(m_hover, EventMouseLeave, kNoPoint);
    if (m_click != nullptr)
        m_host.SendMouseEvent(m_click, EventButtonUp, kNoPoint);
}

} // namespace ui
