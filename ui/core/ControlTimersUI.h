#pragma once

// Control timers on window timers of a host's own numbering: which control
// and local id each platform timer stands for, and which ids are free.
// Needs no window of its own; the platform's timers are reached through
// ITimerPlatformUI, which the host implements over SetTimer and KillTimer.

#include "ui/base/UIPtrArray.h"

namespace ui {

class CControlUI;

// The window a timer runs on, as the host names it (its HWND).
typedef const void* UITimerWindow;

class ITimerPlatformUI
{
public:
    // Starts (or restarts) the platform timer `id` of `window`.
    virtual bool StartTimer(UITimerWindow window, unsigned id, unsigned elapseMs) = 0;
    virtual void StopTimer(UITimerWindow window, unsigned id) = 0;

protected:
    ~ITimerPlatformUI() = default;
};

// Invariants: no two records of one window share a platform id; a record
// that is killed keeps its id, so that setting the same timer again reuses
// it; ids cycle through 0 .. kIdCount - 1.
class CControlTimersUI
{
public:
    static const unsigned kIdCount = 255;

    explicit CControlTimersUI(ITimerPlatformUI& platform);
    // Stops and forgets every timer.
    ~CControlTimersUI();
    CControlTimersUI(const CControlTimersUI&) = delete;
    CControlTimersUI& operator=(const CControlTimersUI&) = delete;

    // False for a null control or window, for a timer that runs already,
    // when all ids are taken, or when the platform refuses.
    bool Set(UITimerWindow window, CControlUI* control, unsigned localId, unsigned elapseMs);
    // Stops a running timer; its record stays for reuse. False when none runs.
    bool Kill(UITimerWindow window, CControlUI* control, unsigned localId);
    // Stops and forgets every timer of the control on the window.
    void KillAll(UITimerWindow window, CControlUI* control);
    // Stops and forgets every timer.
    void Clear();

    // The control and local id of the running timer `platformId` of the
    // window; false when it is none of these.
    bool Find(UITimerWindow window, unsigned platformId, CControlUI*& control, unsigned& localId) const;
    int GetCount() const { return m_timers.GetSize(); }

private:
    struct Record
    {
        CControlUI* control;
        unsigned localId;
        UITimerWindow window;
        unsigned platformId;
        bool killed; // the platform timer is stopped; the record stays for reuse
    };

    Record* At(int index) const { return static_cast<Record*>(m_timers.GetAt(index)); }
    bool TakeId(UITimerWindow window, unsigned& id);

    ITimerPlatformUI& m_platform;
    unsigned m_counter;
    CUIPtrArray m_timers;
};

} // namespace ui
