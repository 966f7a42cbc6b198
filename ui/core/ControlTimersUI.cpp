#include "ui/core/ControlTimersUI.h"

#include <new>

#include "ui/base/UIAssert.h"

namespace ui {

namespace {

// The counter starts so that the first id handed out is 17.
const unsigned kCounterStart = 4096;

} // namespace

CControlTimersUI::CControlTimersUI(ITimerPlatformUI& platform)
    : m_platform(platform)
    , m_counter(kCounterStart)
{ }

CControlTimersUI::~CControlTimersUI() { Clear(); }

bool CControlTimersUI::TakeId(UITimerWindow window, unsigned& id)
{
    // An id still held by a record of the window (killed records keep theirs)
    // is skipped, so that two records never share one platform timer.
    for (unsigned attempt = 0; attempt < kIdCount; ++attempt) {
        m_counter = (m_counter + 1) % kIdCount;
        bool taken = false;
        for (int i = 0; i < m_timers.GetSize() && !taken; ++i)
            taken = At(i)->window == window && At(i)->platformId == m_counter;
        if (!taken) {
            id = m_counter;
            return true;
        }
    }
    return false;
}

bool CControlTimersUI::Set(UITimerWindow window, CControlUI* control, unsigned localId, unsigned elapseMs)
{
    // Without a window the platform would make a thread timer with an id of
    // its own choosing, which could never be matched.
    if (control == nullptr || window == nullptr)
        return false;
    for (int i = 0; i < m_timers.GetSize(); ++i) {
        Record* timer = At(i);
        if (timer->control != control || timer->window != window || timer->localId != localId)
            continue;
        if (!timer->killed || !m_platform.StartTimer(window, timer->platformId, elapseMs))
            return false;
        timer->killed = false;
        return true;
    }
    unsigned id;
    if (!TakeId(window, id) || !m_platform.StartTimer(window, id, elapseMs))
        return false;
    Record* timer = new (std::nothrow) Record { control, localId, window, id, false };
    if (timer == nullptr || !m_timers.Add(timer)) {
        m_platform.StopTimer(window, id);
        delete timer;
        return false;
    }
    return true;
}

bool CControlTimersUI::Kill(UITimerWindow window, CControlUI* control, unsigned localId)
{
    for (int i = 0; i < m_timers.GetSize(); ++i) {
        Record* timer = At(i);
        if (timer->control == control && timer->window == window && timer->localId == localId
            && !timer->killed) {
            m_platform.StopTimer(window, timer->platformId);
            timer->killed = true;
            return true;
        }
    }
    return false;
}

void CControlTimersUI::KillAll(UITimerWindow window, CControlUI* control)
{
    for (int i = m_timers.GetSize() - 1; i >= 0; --i) {
        Record* timer = At(i);
        if (timer->control != control || timer->window != window)
            continue;
        if (!timer->killed)
            m_platform.StopTimer(window, timer->platformId);
        m_timers.Remove(i);
        delete timer;
    }
}

void CControlTimersUI::Clear()
{
    for (int i = 0; i < m_timers.GetSize(); ++i) {
        Record* timer = At(i);
        if (!timer->killed)
            m_platform.StopTimer(timer->window, timer->platformId);
        delete timer;
    }
    m_timers.Empty();
}

bool CControlTimersUI::Find(UITimerWindow window, unsigned platformId, CControlUI*& control,
                            unsigned& localId) const
{
    for (int i = 0; i < m_timers.GetSize(); ++i) {
        const Record* timer = At(i);
        if (timer->window != window || timer->platformId != platformId || timer->killed)
            continue;
        UI_ASSERT(timer->control != nullptr);
        control = timer->control;
        localId = timer->localId;
        return true;
    }
    return false;
}

} // namespace ui
