// Window host: window messages become events for one control and
// notifications for the listeners; the message table, the queued messages
// before translation and the message loop. The keyboard side is
// HostFocusUI.cpp, the mouse side HostPointerUI.cpp.
//
// Events and notifications are delivered synchronously and may re-enter the
// host (a handler may move the focus or delete controls), so the fields are
// read again after every delivery.

#include "ui/core/WindowHostUI.h"

#include "ui/core/ControlUI.h"

namespace ui {

namespace {

// Reflected notifications go back to the child window that sent them, with
// this added to the message number.
const UINT kReflectOffset = 0x2000;

bool KeyIsDown(int key)
{
    return (::GetKeyState(key) & 0x8000) != 0;
}

// Offers a message to a filter list in order; the first filter that handles
// it supplies the result.
bool RunFilters(const CUIPtrArray& filters, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    for (int i = 0; i < filters.GetSize(); ++i) {
        bool handled = false;
        IMessageFilterUI* filter = static_cast<IMessageFilterUI*>(filters.GetAt(i));
        LRESULT filtered = filter->FilterMessage(message, wParam, lParam, handled);
        if (handled) {
            result = filtered;
            return true;
        }
    }
    return false;
}

} // namespace

WORD CWindowHostUI::GetModifierState()
{
    WORD state = 0;
    if (KeyIsDown(VK_RBUTTON))
        state |= ModifierRButton;
    if (KeyIsDown(VK_LBUTTON))
        state |= ModifierLButton;
    if (KeyIsDown(VK_SHIFT))
        state |= ModifierShift;
    if (KeyIsDown(VK_CONTROL))
        state |= ModifierControl;
    if (KeyIsDown(VK_MENU))
        state |= ModifierAlt;
    return state;
}

// ---- event delivery ----------------------------------------------------------

void CWindowHostUI::InitEvent(UIEvent& event, int type, CControlUI* sender) const
{
    ZeroMemory(&event, sizeof(event));
    event.type = type;
    event.sender = sender;
    event.timestamp = ::GetTickCount();
}

void CWindowHostUI::SendEvent(CControlUI* control, UIEvent& event)
{
    if (control != nullptr)
        control->DispatchEvent(event);
}

// The target is the sender too. `keys` fills the key state: the message's
// button bits, or the modifier state.
void CWindowHostUI::SendMouseEvent(CControlUI* target, int type, POINT pt, WORD keys, WPARAM wParam,
                                   LPARAM lParam)
{
    UIEvent event;
    InitEvent(event, type, target);
    event.mousePoint = pt;
    event.keyState = keys;
    event.wParam = wParam;
    event.lParam = lParam;
    SendEvent(target, event);
}

CControlUI* CWindowHostUI::FindPointVisitor(CControlUI* control, void* data)
{
    const POINT* pt = static_cast<const POINT*>(data);
    RECT bounds = control->GetBounds();
    return ::PtInRect(&bounds, *pt) ? control : nullptr;
}

CControlUI* CWindowHostUI::FindControlAt(POINT point) const
{
    if (m_root == nullptr)
        return nullptr;
    return m_root->FindControl(FindPointVisitor, &point, FindVisible | FindHitTest | FindTopFirst);
}

// ---- notifications -------------------------------------------------------------

void CWindowHostUI::SendNotification(CControlUI* sender, const char* name, WPARAM wParam, LPARAM lParam,
                                     bool posted)
{
    UINotify notify;
    notify.type.Assign(name);
    notify.sender = sender;
    notify.wParam = wParam;
    notify.lParam = lParam;
    SendNotification(notify, posted);
}

void CWindowHostUI::SendNotification(UINotify& notify, bool posted)
{
    if (posted && m_posted.Push(notify)) {
        // One message carries every record queued before it is handled.
        if (m_posted.GetCount() > 1 || (m_window != nullptr && ::PostMessageA(m_window, MessageHostNotify, 0, 0)))
            return;
        // Nothing can carry it later: it is delivered now rather than lost.
        m_posted.DropLast();
    }
    DeliverNotification(notify);
}

void CWindowHostUI::DeliverNotification(UINotify& notify)
{
    notify.mousePoint = m_pointer.GetLastPos();
    notify.timestamp = ::GetTickCount();
    // The sender's own listeners first; one that returns false ends only
    // that step.
    if (notify.sender != nullptr)
        notify.sender->InvokeListeners(ListenNotify, &notify);
    for (int i = 0; i < m_notifiers.GetSize();) {
        INotifyUI* listener = static_cast<INotifyUI*>(m_notifiers.GetAt(i));
        listener->Notify(notify);
        // A listener that removed itself does not make the next one skipped.
        if (i < m_notifiers.GetSize() && m_notifiers.GetAt(i) == listener)
            ++i;
    }
}

void CWindowHostUI::DeliverPostedNotifications()
{
    UINotify notify;
    while (m_posted.TakeFirst(notify))
        DeliverNotification(notify);
}

// ---- the message table -------------------------------------------------------------

bool CWindowHostUI::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (m_window == nullptr)
        return false;
    if (RunFilters(m_windowFilters, message, wParam, lParam, result))
        return true;

    switch (message) {
    case WM_SHOWWINDOW:
        // A hidden window keeps no off-screen buffer; the next paint makes
        // one again.
        if (wParam == FALSE)
            m_buffers.Release();
        return false;
    case WM_SIZE:
        if (wParam == SIZE_MINIMIZED)
            m_buffers.Release();
        if (CControlUI* focus = m_focus.GetFocus()) {
            UIEvent event;
            InitEvent(event, EventWindowSize, focus);
            SendEvent(focus, event);
        }
        if (m_root != nullptr)
            m_root->RequestLayout();
        return true;
    case WM_PAINT:
        return OnPaint();
    case WM_CLOSE:
        OnClose();
        return false;
    case WM_ERASEBKGND:
        result = 1;
        return true;
    case WM_SETCURSOR:
        return m_pointer.OnSetCursor(wParam, lParam);
    case WM_GETMINMAXINFO:
        OnMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
        return false;
    case WM_NOTIFY:
        if (lParam == 0)
            return false;
        result = ::SendMessageA(reinterpret_cast<NMHDR*>(lParam)->hwndFrom, message + kReflectOffset,
                                wParam, lParam);
        return true;
    case WM_CONTEXTMENU:
        m_pointer.OnContextMenu(wParam, lParam);
        return false;
    case WM_KEYDOWN:
        m_focus.OnKey(EventKeyDown, wParam);
        return false;
    case WM_KEYUP:
        m_focus.OnKey(EventKeyUp, wParam);
        return false;
    case WM_CHAR:
        m_focus.OnChar(wParam);
        return false;
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        if (lParam == 0)
            return false;
        result = ::SendMessageA(reinterpret_cast<HWND>(lParam), message + kReflectOffset, wParam, lParam);
        return true;
    case WM_TIMER:
        OnTimer(wParam);
        return false;
    case WM_MOUSEMOVE:
        m_pointer.OnMouseMove(lParam);
        return false;
    case WM_LBUTTONDOWN:
        m_pointer.OnButtonDown(EventButtonDown, wParam, lParam);
        return false;
    case WM_LBUTTONUP:
        m_pointer.OnButtonUp(wParam, lParam);
        return false;
    case WM_LBUTTONDBLCLK:
        m_pointer.OnDoubleClick(wParam, lParam);
        return false;
    case WM_RBUTTONDOWN:
        m_pointer.OnButtonDown(EventRButtonDown, wParam, lParam);
        return false;
    case WM_MOUSEWHEEL:
        m_pointer.OnMouseWheel(wParam, lParam);
        return false;
    case WM_MOUSEHOVER:
        return m_pointer.OnMouseHover(lParam);
    case WM_MOUSELEAVE:
        m_pointer.OnMouseLeave();
        return false;
    case WM_PRINTCLIENT:
        OnPrintClient(reinterpret_cast<HDC>(wParam), lParam);
        return false;
    case MessageHostCleanup:
        DeleteCleanupList();
        return false;
    case MessageHostNotify:
        DeliverPostedNotifications();
        result = 0;
        return true;
    default:
        return false;
    }
}

void CWindowHostUI::OnClose()
{
    m_pointer.OnClose();
    SetFocusControl(nullptr);
    HWND owner = ::GetWindow(m_window, GW_OWNER);
    if (owner != nullptr)
        ::SetFocus(owner);
}

void CWindowHostUI::OnMinMaxInfo(MINMAXINFO* info) const
{
    if (info == nullptr)
        return;
    if (m_settings.minTrack.cx > 0)
        info->ptMinTrackSize.x = m_settings.minTrack.cx;
    if (m_settings.minTrack.cy > 0)
        info->ptMinTrackSize.y = m_settings.minTrack.cy;
    if (m_settings.maxTrack.cx > 0)
        info->ptMaxTrackSize.x = m_settings.maxTrack.cx;
    if (m_settings.maxTrack.cy > 0)
        info->ptMaxTrackSize.y = m_settings.maxTrack.cy;
}

void CWindowHostUI::OnTimer(WPARAM wParam)
{
    CControlUI* control = nullptr;
    unsigned localId = 0;
    if (!m_timers.Find(m_window, LOWORD(wParam), control, localId))
        return;
    UIEvent event;
    InitEvent(event, EventTimer, control);
    event.wParam = localId;
    SendEvent(control, event);
}

// ---- queued messages and the message loop ---------------------------------------------

bool CWindowHostUI::PreviewMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (RunFilters(m_translateFilters, message, wParam, lParam, result))
        return true;
    switch (message) {
    case WM_KEYDOWN:
        return wParam == VK_TAB && m_focus.OnTabKey();
    case WM_SYSKEYDOWN:
        m_focus.OnSysKeyDown(wParam);
        return false;
    case WM_SYSCHAR:
        return m_focus.OnShortcut(wParam);
    default:
        return false;
    }
}

bool CWindowHostUI::PreTranslateForAllHosts(const MSG* msg)
{
    if (msg == nullptr)
        return false;
    HWND parent = ::GetParent(msg->hwnd);
    LONG style = ::GetWindowLongA(msg->hwnd, GWL_STYLE);
    for (int i = 0; i < s_liveHosts.GetSize(); ++i) {
        CWindowHostUI* host = static_cast<CWindowHostUI*>(s_liveHosts.GetAt(i));
        bool concerned = host->m_window == msg->hwnd
            || (host->m_window == parent && (style & WS_CHILD) != 0);
        if (!concerned)
            continue;
        LRESULT result = 0;
        if (host->PreviewMessage(msg->message, msg->wParam, msg->lParam, result))
            return true;
    }
    return false;
}

void CWindowHostUI::RunMessageLoop()
{
    MSG msg;
    // The wide calls, as the windows are wide: the ANSI ones would turn the
    // characters of WM_CHAR into the system's code page. GetMessageW
    // answers -1 on failure; that ends the loop too.
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!PreTranslateForAllHosts(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

} // namespace ui
