// Window host: window messages become events for one control and
// notifications for the listeners; keyboard focus, tab navigation, hover
// tracking, the tooltip, control timers and the message loop.
//
// Events and notifications are delivered synchronously and may re-enter the
// host (a handler may move the focus or delete controls), so the fields are
// read again after every delivery, and a control is stored as hover, click
// or key-pressed control before its event goes out: ForgetControl then
// clears the field if the handler deletes it.

#include "ui/core/WindowHostUI.h"

#include <ctype.h>

#include <new>

#include "ui/base/Utf8.h"
#include "ui/core/ControlUI.h"

namespace ui {

namespace {

// Reflected notifications go back to the child window that sent them, with
// this added to the message number.
const UINT kReflectOffset = 0x2000;

// The position of mouse events that do not carry one: the wheel's, and
// those that end hover and click when the window closes.
const POINT kNoPoint = { 0, 0 };

POINT PointFromLParam(LPARAM lParam)
{
    POINT pt;
    pt.x = static_cast<short>(LOWORD(lParam));
    pt.y = static_cast<short>(HIWORD(lParam));
    return pt;
}

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

} // namespace

struct CWindowHostUI::TabSearch
{
    CControlUI* focus;
    CControlUI* last;
    bool forward;
    bool nextIsIt;
};

struct CWindowHostUI::ShortcutSearch
{
    char key;
    bool pickNext;
};

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

bool CWindowHostUI::IsOwnControl(CControlUI* control) const
{
    return control != nullptr && control->GetHost() == this;
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
    if (posted) {
        UINotify* copy = new (std::nothrow) UINotify(notify);
        if (copy != nullptr && m_postedNotifications.Add(copy)) {
            if (m_postedNotifications.GetSize() > 1
                || (m_window != nullptr && ::PostMessageA(m_window, MessageHostNotify, 0, 0)))
                return;
            m_postedNotifications.Remove(m_postedNotifications.GetSize() - 1);
        }
        delete copy;
        // Nothing can carry it later: it is delivered now rather than lost.
    }
    DeliverNotification(notify);
}

void CWindowHostUI::DeliverNotification(UINotify& notify)
{
    notify.mousePoint = m_lastMousePos;
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
    // One at a time from the front, so that a notification about a control
    // deleted by an earlier one is dropped (ForgetControl) before its turn.
    while (m_postedNotifications.GetSize() > 0) {
        UINotify* notify = static_cast<UINotify*>(m_postedNotifications.GetAt(0));
        m_postedNotifications.Remove(0);
        DeliverNotification(*notify);
        delete notify;
    }
}

void CWindowHostUI::DropPostedNotificationsFor(CControlUI* control)
{
    for (int i = m_postedNotifications.GetSize() - 1; i >= 0; --i) {
        UINotify* notify = static_cast<UINotify*>(m_postedNotifications.GetAt(i));
        if (notify->sender == control) {
            m_postedNotifications.Remove(i);
            delete notify;
        }
    }
}

// ---- focus and tab navigation -------------------------------------------------------

void CWindowHostUI::TakeFocusAway(CControlUI* next)
{
    if (m_focus == nullptr)
        return;
    CControlUI* old = m_focus;
    m_focus = nullptr;
    UIEvent event;
    InitEvent(event, EventKillFocus, next);
    SendEvent(old, event);
    SendNotification(old, "killfocus");
}

void CWindowHostUI::SetFocusControl(CControlUI* control)
{
    if (m_window != nullptr && ::GetFocus() != m_window && control != m_focus)
        ::SetFocus(m_window);
    if (control == m_focus)
        return;
    TakeFocusAway(control);
    if (control == nullptr || control->GetHost() != this || !control->IsVisible() || !control->IsEnabled())
        return;
    m_focus = control;
    UIEvent event;
    InitEvent(event, EventSetFocus, control);
    SendEvent(control, event);
    if (m_focus == control)
        SendNotification(control, "setfocus");
}

void CWindowHostUI::FocusAtNextPaint(CControlUI* control)
{
    if (m_window != nullptr)
        ::SetFocus(m_window);
    if (control == nullptr)
        return;
    TakeFocusAway(control);
    // The tab stop before the control; the paint moves one step forward
    // from there, onto the control when it is a tab stop.
    m_focus = FindTabStop(control, false);
    m_focusNeeded = true;
    if (m_root != nullptr)
        m_root->RequestLayout();
}

CControlUI* CWindowHostUI::TabSearchVisitor(CControlUI* control, void* data)
{
    TabSearch* search = static_cast<TabSearch*>(data);
    if (control == search->focus) {
        if (search->forward)
            search->nextIsIt = true;
        else if (search->last != nullptr)
            return search->last;
        return nullptr;
    }
    if ((control->GetBehaviorFlags() & ControlFlagTabStop) == 0)
        return nullptr;
    search->last = control;
    if (search->nextIsIt || search->focus == nullptr)
        return control;
    return nullptr;
}

CControlUI* CWindowHostUI::FindTabStop(CControlUI* from, bool forward) const
{
    if (m_root == nullptr)
        return nullptr;
    const UINT flags = FindVisible | FindEnabled | FindMeFirst;
    TabSearch search = { from, nullptr, forward, false };
    CControlUI* found = m_root->FindControl(TabSearchVisitor, &search, flags);
    if (found != nullptr)
        return found;
    if (!forward)
        return search.last;
    TabSearch first = { nullptr, nullptr, true, false };
    return m_root->FindControl(TabSearchVisitor, &first, flags);
}

bool CWindowHostUI::MoveFocus(bool forward)
{
    if (m_updateNeeded && forward) {
        m_focusNeeded = true;
        if (m_window != nullptr)
            ::InvalidateRect(m_window, nullptr, FALSE);
        return true;
    }
    CControlUI* next = FindTabStop(m_focus, forward);
    if (next != nullptr)
        SetFocusControl(next);
    m_focusNeeded = false;
    return true;
}

// ---- the message table -------------------------------------------------------------

bool CWindowHostUI::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (m_window == nullptr)
        return false;
    if (RunFilters(m_windowFilters, message, wParam, lParam, result))
        return true;

    switch (message) {
    case WM_SIZE:
        if (m_focus != nullptr) {
            UIEvent event;
            InitEvent(event, EventWindowSize, m_focus);
            SendEvent(m_focus, event);
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
        return OnSetCursor(lParam, wParam, result);
    case WM_GETMINMAXINFO: {
        MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(lParam);
        if (info == nullptr)
            return false;
        if (m_minTrack.cx > 0)
            info->ptMinTrackSize.x = m_minTrack.cx;
        if (m_minTrack.cy > 0)
            info->ptMinTrackSize.y = m_minTrack.cy;
        if (m_maxTrack.cx > 0)
            info->ptMaxTrackSize.x = m_maxTrack.cx;
        if (m_maxTrack.cy > 0)
            info->ptMaxTrackSize.y = m_maxTrack.cy;
        return false;
    }
    case WM_NOTIFY:
        if (lParam == 0)
            return false;
        result = ::SendMessageA(reinterpret_cast<NMHDR*>(lParam)->hwndFrom, message + kReflectOffset,
                                wParam, lParam);
        return true;
    case WM_CONTEXTMENU:
        OnContextMenu(wParam, lParam);
        return false;
    case WM_KEYDOWN:
        OnKey(EventKeyDown, wParam);
        return false;
    case WM_KEYUP:
        OnKey(EventKeyUp, wParam);
        return false;
    case WM_CHAR:
        OnChar(wParam);
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
        OnMouseMove(lParam);
        return false;
    case WM_LBUTTONDOWN:
        OnButtonDown(EventButtonDown, wParam, lParam);
        return false;
    case WM_LBUTTONUP:
        OnButtonUp(wParam, lParam);
        return false;
    case WM_LBUTTONDBLCLK:
        OnDoubleClick(wParam, lParam);
        return false;
    case WM_RBUTTONDOWN:
        OnButtonDown(EventRButtonDown, wParam, lParam);
        return false;
    case WM_MOUSEWHEEL:
        OnMouseWheel(wParam, lParam);
        return false;
    case WM_MOUSEHOVER:
        return OnMouseHover(lParam);
    case WM_MOUSELEAVE:
        OnMouseLeave();
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
    if (m_hover != nullptr)
        SendMouseEvent(m_hover, EventMouseLeave, kNoPoint);
    if (m_click != nullptr)
        SendMouseEvent(m_click, EventButtonUp, kNoPoint);
    SetFocusControl(nullptr);
    HWND owner = ::GetWindow(m_window, GW_OWNER);
    if (owner != nullptr)
        ::SetFocus(owner);
}

bool CWindowHostUI::OnSetCursor(LPARAM lParam, WPARAM wParam, LRESULT&)
{
    if (LOWORD(lParam) != HTCLIENT)
        return false;
    if (m_mouseCaptured)
        return true;
    POINT pt;
    ::GetCursorPos(&pt);
    ::ScreenToClient(m_window, &pt);
    CControlUI* control = FindControlAt(pt);
    if (control == nullptr || (control->GetBehaviorFlags() & ControlFlagSetCursor) == 0)
        return false;
    UIEvent event;
    InitEvent(event, EventSetCursor, nullptr);
    event.mousePoint = pt;
    event.keyState = GetModifierState();
    event.wParam = wParam;
    event.lParam = lParam;
    SendEvent(control, event);
    return true;
}

void CWindowHostUI::OnKey(int eventType, WPARAM wParam)
{
    CControlUI* target;
    if (eventType == EventKeyUp) {
        target = m_keyPressed;
        m_keyPressed = nullptr;
    } else {
        target = m_focus;
        if (eventType == EventKeyDown && target != nullptr)
            m_keyPressed = target;
    }
    if (target == nullptr)
        return;
    UIEvent event;
    InitEvent(event, eventType, nullptr);
    event.key = static_cast<char>(LOBYTE(wParam));
    event.mousePoint = m_lastMousePos;
    event.keyState = GetModifierState();
    SendEvent(target, event);
}

// The windows are wide ones, so a character arrives in UTF-16 units: it goes
// to the focus as the bytes of its UTF-8, one event each, as the texts of
// the controls hold it. A high surrogate waits for the low one after it.
void CWindowHostUI::OnChar(WPARAM wParam)
{
    UIWideChar units[2] = { static_cast<UIWideChar>(wParam & 0xFFFF), 0 };
    int count = 1;
    if (units[0] >= 0xD800 && units[0] <= 0xDBFF) {
        m_highSurrogate = static_cast<WORD>(units[0]);
        return;
    }
    if (units[0] >= 0xDC00 && units[0] <= 0xDFFF && m_highSurrogate != 0) {
        units[1] = units[0];
        units[0] = static_cast<UIWideChar>(m_highSurrogate);
        count = 2;
    }
    m_highSurrogate = 0;
    char bytes[8];
    int length = CUtf8::FromUtf16(units, count, bytes, sizeof bytes);
    for (int i = 0; i < length; ++i)
        OnKey(EventChar, static_cast<unsigned char>(bytes[i]));
}

void CWindowHostUI::OnTimer(WPARAM wParam)
{
    UINT id = LOWORD(wParam);
    for (int i = 0; i < m_timers.GetSize(); ++i) {
        const UITimerInfo* timer = static_cast<const UITimerInfo*>(m_timers.GetAt(i));
        if (timer->window != m_window || timer->windowTimerId != id || timer->killed)
            continue;
        UIEvent event;
        InitEvent(event, EventTimer, timer->control);
        event.wParam = timer->localId;
        SendEvent(timer->control, event);
        return;
    }
}

// ---- mouse -------------------------------------------------------------------------

void CWindowHostUI::DeactivateTooltip()
{
    if (m_tooltip != nullptr)
        ::SendMessageW(m_tooltip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&m_toolInfo));
}

void CWindowHostUI::OnMouseMove(LPARAM lParam)
{
    if (!m_mouseTracking) {
        TRACKMOUSEEVENT track;
        track.cbSize = sizeof(track);
        track.dwFlags = TME_HOVER | TME_LEAVE;
        track.hwndTrack = m_window;
        track.dwHoverTime = m_tooltip != nullptr
            ? static_cast<DWORD>(::SendMessageW(m_tooltip, TTM_GETDELAYTIME, TTDT_INITIAL, 0))
            : 400;
        ::TrackMouseEvent(&track);
        m_mouseTracking = true;
    }
    POINT pt = PointFromLParam(lParam);
    m_lastMousePos = pt;
    CControlUI* found = FindControlAt(pt);
    if (found != nullptr && found->GetHost() != this)
        return;
    if (m_hover != nullptr && m_hover != found) {
        CControlUI* left = m_hover;
        m_hover = nullptr;
        SendMouseEvent(left, EventMouseLeave, pt);
        DeactivateTooltip();
    }
    if (found != nullptr && found != m_hover) {
        m_hover = found;
        SendMouseEvent(found, EventMouseEnter, pt);
        // The enter handler may have deleted the control (ForgetControl
        // cleared the hover then); it must not get the move.
        if (m_hover != found)
            found = nullptr;
    }
    CControlUI* target = m_click != nullptr ? m_click : found;
    if (target != nullptr)
        SendMouseEvent(target, EventMouseMove, pt);
}

void CWindowHostUI::OnMouseLeave()
{
    DeactivateTooltip();
    if (m_mouseTracking)
        ::SendMessageA(m_window, WM_MOUSEMOVE, 0, static_cast<LPARAM>(-1));
    m_mouseTracking = false;
}

bool CWindowHostUI::OnMouseHover(LPARAM lParam)
{
    m_mouseTracking = false;
    POINT pt = PointFromLParam(lParam);
    CControlUI* control = FindControlAt(pt);
    if (control == nullptr)
        return false;
    if (m_hover != nullptr) {
        SendMouseEvent(m_hover, EventMouseHover, pt);
        control = FindControlAt(pt);  // the handler may have changed the tree
        if (control == nullptr)
            return true;
    }
    const char* tip = control->GetTooltip();
    if (tip == nullptr || tip[0] == '\0')
        return true;
    // The tooltip copies the text when the tool is set.
    CWideText text(tip);
    ZeroMemory(&m_toolInfo, sizeof(m_toolInfo));
    // Without a manifest asking for common controls 6 Windows loads comctl32
    // 5.82, which refuses the record at its full size (the reserved pointer
    // at its end is newer); version 6 takes the shorter record too.
    m_toolInfo.cbSize = TTTOOLINFOW_V2_SIZE;
    m_toolInfo.uFlags = TTF_IDISHWND;
    m_toolInfo.hwnd = m_window;
    m_toolInfo.uId = reinterpret_cast<UINT_PTR>(m_window);
    m_toolInfo.hinst = GetProgramInstance();
    m_toolInfo.lpszText = const_cast<UIWideChar*>(text.GetData());
    m_toolInfo.rect = control->GetBounds();
    if (m_tooltip == nullptr) {
        LoadCommonControls();
        m_tooltip = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                      m_window, nullptr, GetProgramInstance(), nullptr);
        if (m_tooltip == nullptr) {
            m_toolInfo.lpszText = nullptr;
            return true;
        }
        ::SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&m_toolInfo));
    }
    ::SendMessageW(m_tooltip, TTM_SETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&m_toolInfo));
    ::SendMessageW(m_tooltip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&m_toolInfo));
    m_toolInfo.lpszText = nullptr;
    return true;
}

void CWindowHostUI::OnButtonDown(int eventType, WPARAM wParam, LPARAM lParam)
{
    ::SetFocus(m_window);
    POINT pt = PointFromLParam(lParam);
    m_lastMousePos = pt;
    CControlUI* control = FindControlAt(pt);
    if (!IsOwnControl(control))
        return;
    m_click = control;
    control->SetFocus();
    if (m_click != control)
        return;  // deleted by a focus handler
    ::SetCapture(m_window);
    m_mouseCaptured = true;
    SendMouseEvent(control, eventType, pt, LOWORD(wParam), wParam, lParam);
}

void CWindowHostUI::OnButtonUp(WPARAM wParam, LPARAM lParam)
{
    POINT pt = PointFromLParam(lParam);
    m_lastMousePos = pt;
    if (m_click == nullptr)
        return;
    CControlUI* control = m_click;
    m_click = nullptr;
    m_mouseCaptured = false;
    ::ReleaseCapture();
    SendMouseEvent(control, EventButtonUp, pt, LOWORD(wParam), wParam, lParam);
}

void CWindowHostUI::OnDoubleClick(WPARAM wParam, LPARAM lParam)
{
    ::SetFocus(m_window);
    POINT pt = PointFromLParam(lParam);
    m_lastMousePos = pt;
    CControlUI* control = FindControlAt(pt);
    if (!IsOwnControl(control))
        return;
    ::SetCapture(m_window);
    m_mouseCaptured = true;
    m_click = control;
    SendMouseEvent(control, EventDblClick, pt, LOWORD(wParam));
}

void CWindowHostUI::OnContextMenu(WPARAM wParam, LPARAM lParam)
{
    POINT pt = PointFromLParam(lParam);
    ::ScreenToClient(m_window, &pt);
    m_lastMousePos = pt;
    if (m_click == nullptr)
        return;
    CControlUI* control = m_click;
    m_click = nullptr;
    m_mouseCaptured = false;
    ::ReleaseCapture();
    SendMouseEvent(control, EventContextMenu, pt, LOWORD(wParam), 0, reinterpret_cast<LPARAM>(control));
}

void CWindowHostUI::OnMouseWheel(WPARAM wParam, LPARAM lParam)
{
    POINT pt = PointFromLParam(lParam);
    ::ScreenToClient(m_window, &pt);
    m_lastMousePos = pt;
    CControlUI* control = FindControlAt(pt);
    if (!IsOwnControl(control))
        return;
    WPARAM towardsUser = static_cast<short>(HIWORD(wParam)) < 0 ? 1 : 0;
    SendMouseEvent(control, EventScrollWheel, kNoPoint, GetModifierState(), towardsUser, lParam);
    // The content may have moved under the mouse.
    ::SendMessageA(m_window, WM_MOUSEMOVE, 0, MAKELPARAM(m_lastMousePos.x, m_lastMousePos.y));
}

// ---- queued messages and the message loop ---------------------------------------------

bool CWindowHostUI::PreviewMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (RunFilters(m_translateFilters, message, wParam, lParam, result))
        return true;
    switch (message) {
    case WM_KEYDOWN:
        if (wParam != VK_TAB)
            return false;
        if (m_focus != nullptr && m_focus->IsVisible() && m_focus->IsEnabled()
            && (m_focus->GetBehaviorFlags() & ControlFlagWantsTab) != 0)
            return false;
        MoveFocus(!KeyIsDown(VK_SHIFT));
        return true;
    case WM_SYSKEYDOWN:
        if (m_focus != nullptr) {
            UIEvent event;
            InitEvent(event, EventSysKey, nullptr);
            event.key = static_cast<char>(LOBYTE(wParam));
            event.mousePoint = m_lastMousePos;
            event.keyState = GetModifierState();
            SendEvent(m_focus, event);
        }
        return false;
    case WM_SYSCHAR:
        return ShortcutKey(wParam);
    default:
        return false;
    }
}

CControlUI* CWindowHostUI::ShortcutVisitor(CControlUI* control, void* data)
{
    ShortcutSearch* search = static_cast<ShortcutSearch*>(data);
    if (!control->IsVisible())
        return nullptr;
    char shortcut = static_cast<char>(toupper(static_cast<unsigned char>(control->GetShortcut())));
    if (shortcut != '\0' && shortcut == search->key)
        search->pickNext = true;
    if (search->pickNext && (control->GetBehaviorFlags() & ControlFlagShortcutToNext) == 0)
        return control;
    return nullptr;
}

bool CWindowHostUI::ShortcutKey(WPARAM key)
{
    // Shortcuts are ASCII letters; a wider character must not match by its
    // low byte.
    if (m_root == nullptr || key > 0x7F)
        return false;
    ShortcutSearch search = { static_cast<char>(toupper(static_cast<unsigned char>(key))), false };
    CControlUI* found =
        m_root->FindControl(ShortcutVisitor, &search, FindEnabled | FindTopFirst | FindMeFirst);
    if (found == nullptr)
        return false;
    found->SetFocus();
    found->Activate();
    return true;
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
