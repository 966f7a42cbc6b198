// The keyboard side of the window host: focus, tab navigation, shortcuts,
// keys and characters.
//
// Events and notifications are delivered synchronously and may re-enter the
// host (a handler may move the focus or delete controls), so the fields are
// read again after every delivery.

#include "ui/core/HostFocusUI.h"

#include <ctype.h>

#include "ui/base/UIAssert.h"
#include "ui/base/Utf8.h"
#include "ui/core/ControlUI.h"
#include "ui/core/WindowHostUI.h"

namespace ui {

namespace {

bool KeyIsDown(int key) { return (::GetKeyState(key) & 0x8000) != 0; }

struct ShortcutSearch
{
    char key;
    bool pickNext;
};

CControlUI* ShortcutVisitor(CControlUI* control, void* data)
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

CControlUI* TabSearchVisitor(CControlUI* control, void* data)
{
    return static_cast<CTabSearchUI*>(data)->Offer(control,
                                                   (control->GetBehaviorFlags() & ControlFlagTabStop) != 0);
}

} // namespace

// ---- focus ------------------------------------------------------------------------

void CHostFocusUI::TakeFocusAway(CControlUI* next)
{
    if (m_focus == nullptr)
        return;
    CControlUI* old = m_focus;
    m_focus = nullptr;
    UIEvent event;
    m_host.InitEvent(event, EventKillFocus, next);
    m_host.SendEvent(old, event);
    m_host.SendNotification(old, "killfocus");
}

void CHostFocusUI::SetFocus(CControlUI* control)
{
    HWND window = m_host.GetHostWindow();
    if (window != nullptr && ::GetFocus() != window && control != m_focus)
        ::SetFocus(window);
    if (control == m_focus)
        return;
    TakeFocusAway(control);
    if (control == nullptr || control->GetHost() != &m_host || !control->IsVisible() || !control->IsEnabled())
        return;
    m_focus = control;
    UIEvent event;
    m_host.InitEvent(event, EventSetFocus, control);
    m_host.SendEvent(control, event);
    if (m_focus == control)
        m_host.SendNotification(control, "setfocus");
}

void CHostFocusUI::FocusAtNextPaint(CControlUI* control)
{
    if (m_host.GetHostWindow() != nullptr)
        ::SetFocus(m_host.GetHostWindow());
    if (control == nullptr)
        return;
    TakeFocusAway(control);
    // The tab stop before the control; the paint moves one step forward
    // from there, onto the control when it is a tab stop.
    m_focus = FindTabStop(control, false);
    m_focusNeeded = true;
    if (m_host.GetRootControl() != nullptr)
        m_host.GetRootControl()->RequestLayout();
}

void CHostFocusUI::Forget(const CControlUI* control)
{
    if (control == nullptr)
        return;
    if (m_keyPressed == control)
        m_keyPressed = nullptr;
    if (m_focus == control)
        m_focus = nullptr;
}

void CHostFocusUI::Reset()
{
    SetFocus(nullptr);
    m_keyPressed = nullptr;
}

// ---- tab navigation -------------------------------------------------------------------

CControlUI* CHostFocusUI::Walk(CTabSearchUI& search) const
{
    CControlUI* root = m_host.GetRootControl();
    if (root == nullptr)
        return nullptr;
    return root->FindControl(TabSearchVisitor, &search, FindVisible | FindEnabled | FindMeFirst);
}

CControlUI* CHostFocusUI::FindTabStop(const CControlUI* from, bool forward) const
{
    return ui::FindTabStop(*this, from, forward);
}

bool CHostFocusUI::MoveFocus(bool forward)
{
    if (m_host.IsUpdateNeeded() && forward) {
        m_focusNeeded = true;
        if (m_host.GetHostWindow() != nullptr)
            ::InvalidateRect(m_host.GetHostWindow(), nullptr, FALSE);
        return true;
    }
    CControlUI* next = FindTabStop(m_focus, forward);
    if (next != nullptr)
        SetFocus(next);
    m_focusNeeded = false;
    return true;
}

void CHostFocusUI::PlaceAfterLayout()
{
    if (m_host.IsUpdateNeeded()) {
        // The layout asked for another one; the focus waits for it.
        ::InvalidateRect(m_host.GetHostWindow(), nullptr, FALSE);
        return;
    }
    CControlUI* next = FindTabStop(m_focus, true);
    if (next != nullptr)
        SetFocus(next);
    m_focusNeeded = false;
}

bool CHostFocusUI::OnTabKey()
{
    if (m_focus != nullptr && m_focus->IsVisible() && m_focus->IsEnabled()
        && (m_focus->GetBehaviorFlags() & ControlFlagWantsTab) != 0)
        return false;
    MoveFocus(!KeyIsDown(VK_SHIFT));
    return true;
}

bool CHostFocusUI::OnShortcut(WPARAM key)
{
    // Shortcuts are ASCII letters; a wider character must not match by its
    // low byte.
    CControlUI* root = m_host.GetRootControl();
    if (root == nullptr || key > 0x7F)
        return false;
    ShortcutSearch search = { static_cast<char>(toupper(static_cast<unsigned char>(key))), false };
    CControlUI* found = root->FindControl(ShortcutVisitor, &search, FindEnabled | FindTopFirst | FindMeFirst);
    if (found == nullptr)
        return false;
    found->SetFocus();
    found->Activate();
    return true;
}

// ---- keys and characters ------------------------------------------------------------------

void CHostFocusUI::OnKey(int eventType, WPARAM wParam)
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
    SendKey(target, eventType, wParam);
}

void CHostFocusUI::OnSysKeyDown(WPARAM wParam) { SendKey(m_focus, EventSysKey, wParam); }

void CHostFocusUI::SendKey(CControlUI* target, int eventType, WPARAM wParam)
{
    if (target == nullptr)
        return;
    UI_ASSERT(target->GetHost() == &m_host);
    UIEvent event;
    m_host.InitEvent(event, eventType, nullptr);
    event.key = static_cast<char>(LOBYTE(wParam));
    event.mousePoint = m_host.GetLastMousePos();
    event.keyState = CWindowHostUI::GetModifierState();
    m_host.SendEvent(target, event);
}

// The windows are wide ones, so a character arrives in UTF-16 units: it goes
// to the focus as the bytes of its UTF-8, one event each, as the texts of
// the controls hold it. A high surrogate waits for the low one after it.
void CHostFocusUI::OnChar(WPARAM wParam)
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

} // namespace ui
