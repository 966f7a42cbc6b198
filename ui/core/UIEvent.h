#pragma once

// Events go down to one control; notifications go up to the listeners of a
// window host. The host decodes window messages into these records in one
// place, so controls never see raw messages.

#include "ui/base/UIString.h"
#include "ui/base/UIWinTypes.h"

namespace ui {

class CControlUI;

// Event types. The numbers are fixed; 1, 2, 7, 8 and 19 are unused. The
// mouse events are exactly EventMouseFirst..EventMouseLast, and controls
// test that range.
enum UIEventType
{
    EventKeyDown = 3,
    EventKeyUp = 4,
    EventChar = 5,
    EventSysKey = 6,
    EventMouseMove = 9,
    EventMouseLeave = 10,
    EventMouseEnter = 11,
    EventMouseHover = 12,
    EventButtonDown = 13,
    EventButtonUp = 14,
    EventRButtonDown = 15,
    EventDblClick = 16,
    EventContextMenu = 17,
    EventScrollWheel = 18,
    EventKillFocus = 20,
    EventSetFocus = 21,
    EventWindowSize = 22,
    EventSetCursor = 23,
    EventTimer = 24,

    EventMouseFirst = EventMouseMove,
    EventMouseLast = EventScrollWheel,
};

// Behaviour bits a control answers from GetBehaviorFlags.
enum UIControlFlag
{
    ControlFlagTabStop = 1,         // takes part in Tab navigation
    ControlFlagSetCursor = 2,       // wants EventSetCursor over the client area
    ControlFlagWantReturn = 4,      // wants the Return key (list items)
    ControlFlagShortcutToNext = 8,  // its shortcut selects the control after it
    ControlFlagWantsTab = 16,       // when focused, takes the Tab key itself
};

// State bits of the parts that can be pressed: a button, the parts of a
// scroll bar, the splitter of a box layout.
enum UIButtonState
{
    ButtonFocused = 1,
    ButtonDisabled = 4,
    ButtonHot = 8,      // the mouse is over it
    ButtonPushed = 16,  // pressed, and the mouse is inside
    ButtonCaptured = 64 // pressed; the release decides
};

// Modifier bits of GetModifierState.
enum UIModifierKey
{
    ModifierRButton = 1,
    ModifierLButton = 2,
    ModifierShift = 4,
    ModifierControl = 8,
    ModifierAlt = 32,
};

// One event for one control. Fields a given type does not use are 0.
struct UIEvent
{
    int type;            // UIEventType
    CControlUI* sender;  // the receiving control, except as the type says
    DWORD timestamp;     // GetTickCount when the event was built
    POINT mousePoint;    // client coordinates
    char key;            // character or virtual key
    WORD keyState;       // modifier bits or the message's low parameter word
    WPARAM wParam;
    LPARAM lParam;
};

// A named notification for the host's listeners.
struct UINotify
{
    CUIString type;      // "click", "setfocus", "windowinit", ...
    CControlUI* sender;  // the control it is about; may be null
    DWORD timestamp;     // GetTickCount at delivery
    POINT mousePoint;    // the host's last mouse position at delivery
    WPARAM wParam;
    LPARAM lParam;

    UINotify() : sender(nullptr), timestamp(0), wParam(0), lParam(0)
    {
        mousePoint.x = 0;
        mousePoint.y = 0;
    }
};

// Receives every notification of the hosts it is registered with.
class INotifyUI
{
public:
    virtual void Notify(UINotify& msg) = 0;

protected:
    virtual ~INotifyUI() {}
};

// Sees window messages before the host does (window filters), or queued
// messages before they are translated (translate filters). Setting
// `handled` ends the processing and makes the return value the result.
class IMessageFilterUI
{
public:
    virtual LRESULT FilterMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) = 0;

protected:
    virtual ~IMessageFilterUI() {}
};

} // namespace ui
