#pragma once

// A real window with a host and a small control tree, and controls and
// listeners that write what reaches them into one shared log, so that tests
// can assert on the order of events and notifications.

#include <windows.h>

#include <string>
#include <vector>

#include "ui/core/ControlUI.h"
#include "ui/core/VerticalLayoutUI.h"
#include "ui/core/WindowHostUI.h"
#include "ui/core/WindowWnd.h"

namespace hosttest {

// Windows of the tests belong to the test program's module.
struct ProgramInstanceSetter
{
    ProgramInstanceSetter() { ui::CWindowHostUI::SetProgramInstance(::GetModuleHandleA(nullptr)); }
};
static ProgramInstanceSetter s_programInstance;

typedef std::vector<std::string> Log;

inline const char* EventName(int type)
{
    switch (type) {
    case ui::EventKeyDown: return "keydown";
    case ui::EventKeyUp: return "keyup";
    case ui::EventChar: return "char";
    case ui::EventSysKey: return "syskey";
    case ui::EventMouseMove: return "move";
    case ui::EventMouseLeave: return "leave";
    case ui::EventMouseEnter: return "enter";
    case ui::EventMouseHover: return "hover";
    case ui::EventButtonDown: return "down";
    case ui::EventButtonUp: return "up";
    case ui::EventRButtonDown: return "rdown";
    case ui::EventDblClick: return "dblclick";
    case ui::EventContextMenu: return "contextmenu";
    case ui::EventScrollWheel: return "wheel";
    case ui::EventKillFocus: return "killfocus";
    case ui::EventSetFocus: return "setfocus";
    case ui::EventWindowSize: return "size";
    case ui::EventSetCursor: return "setcursor";
    case ui::EventTimer: return "timer";
    default: return "?";
    }
}

// A plain control that logs "name:event" for every event it receives and
// then behaves as the base class does.
class ProbeControl : public ui::CControlUI
{
public:
    ProbeControl(const char* name, Log* log, UINT flags = 0) : m_log(log), m_flags(flags)
    {
        SetName(name);
        SetBkColor(0xFF336699);
        SetBorderColor(0xFF000000);
    }

    UINT GetBehaviorFlags() const override { return m_flags; }

    void HandleEvent(ui::UIEvent& event) override
    {
        m_log->push_back(std::string(GetName()) + ":" + EventName(event.type));
        events.push_back(event);
        CControlUI::HandleEvent(event);
    }

    std::vector<ui::UIEvent> events;

private:
    Log* m_log;
    UINT m_flags;
};

// Logs every notification as "notify:type:sender".
class NotifyRecorder : public ui::INotifyUI
{
public:
    explicit NotifyRecorder(Log* log) : m_log(log) {}

    void Notify(ui::UINotify& msg) override
    {
        std::string sender = msg.sender != nullptr ? msg.sender->GetName() : "-";
        m_log->push_back(std::string("notify:") + msg.type.GetData() + ":" + sender);
        notes.push_back(msg);
    }

    std::vector<ui::UINotify> notes;

private:
    Log* m_log;
};

// A window whose messages go to its host first.
class HostWindow : public ui::CWindowWnd
{
public:
    const char* ClassName() const override { return "WavorinHostTestWnd"; }
    UINT ClassStyle() const override { return CS_DBLCLKS; }

    LRESULT HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        LRESULT result = 0;
        if (host != nullptr && host->ProcessMessage(message, wParam, lParam, result))
            return result;
        return CWindowWnd::HandleWindowMessage(message, wParam, lParam);
    }

    void AfterLastMessage(HWND) override { ++lastMessages; }

    ui::CWindowHostUI* host = nullptr;
    int lastMessages = 0;
};

// Shows a window without activating it. (A window created visible and
// active makes the X11 display wait two seconds when it goes away again.)
inline void ShowWindowQuietly(HWND window)
{
    ::ShowWindow(window, SW_SHOWNOACTIVATE);
}

// Removes the queued messages first..last for `window` and dispatches them;
// bounded, since a running timer makes a fresh one whenever it is due.
inline int PumpMessages(HWND window, UINT first, UINT last, int most = 100)
{
    int count = 0;
    MSG msg;
    while (count < most && ::PeekMessageW(&msg, window, first, last, PM_REMOVE)) {
        ::DispatchMessageW(&msg);
        ++count;
    }
    return count;
}

inline LPARAM Point(int x, int y)
{
    return MAKELPARAM(x, y);
}

// A point of the window's client area in screen coordinates, packed as the
// wheel and context-menu messages carry it.
inline LPARAM ScreenPoint(HWND window, int x, int y)
{
    POINT pt = { x, y };
    ::ClientToScreen(window, &pt);
    return MAKELPARAM(pt.x, pt.y);
}

// How many GDI objects can still be made: wine's GetGuiResources answers 0,
// so leaks are measured as lost headroom. Creates regions until creation
// fails, then frees them.
inline size_t GdiHeadroom()
{
    std::vector<HRGN> regions;
    regions.reserve(70000);
    for (;;) {
        HRGN region = ::CreateRectRgn(0, 0, 1, 1);
        if (region == nullptr || regions.size() >= 200000)
            break;
        regions.push_back(region);
    }
    size_t count = regions.size();
    for (HRGN region : regions)
        ::DeleteObject(region);
    return count;
}

} // namespace hosttest
