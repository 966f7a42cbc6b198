#pragma once

// What a host hands on to later: notifications posted to be delivered
// after the message being handled, and controls to be deleted once no
// message is using them. Neither needs a window; the host posts its own
// messages that say when to deliver and when to delete.

#include "ui/base/UIPtrArray.h"
#include "ui/core/UIEvent.h"

namespace ui {

class CControlUI;

// Posted notifications, first in first out. Invariant: every record is a
// copy the queue owns; a record whose sender has gone is dropped before it
// can be delivered.
class CNotificationQueueUI
{
public:
    CNotificationQueueUI() = default;
    ~CNotificationQueueUI();
    CNotificationQueueUI(const CNotificationQueueUI&) = delete;
    CNotificationQueueUI& operator=(const CNotificationQueueUI&) = delete;

    // Queues a copy; false when memory ran out (nothing is queued then).
    bool Push(const UINotify& notify);
    // Takes back the record pushed last, when the message that was to
    // carry it could not be posted.
    void DropLast();
    // Moves the first record into `notify`; false when the queue is empty.
    // Taken one at a time, so that records about a control that an earlier
    // delivery deleted are dropped before their turn.
    bool TakeFirst(UINotify& notify);
    // Drops every record about the control.
    void DropFor(const CControlUI* sender);
    int GetCount() const { return m_records.GetSize(); }

private:
    UINotify* At(int index) const { return static_cast<UINotify*>(m_records.GetAt(index)); }

    CUIPtrArray m_records;
};

// Controls waiting to be deleted. Deleting one may hand more to the list;
// they go in the same call.
class CDeleteLaterUI
{
public:
    typedef void (*Deleter)(CControlUI* control);

    explicit CDeleteLaterUI(Deleter deleter) : m_deleter(deleter) { }
    // Whatever is left is deleted.
    ~CDeleteLaterUI() { DeleteAll(); }
    CDeleteLaterUI(const CDeleteLaterUI&) = delete;
    CDeleteLaterUI& operator=(const CDeleteLaterUI&) = delete;

    // A control handed over twice would be deleted twice: that is a caller's
    // mistake. False when memory ran out.
    bool Add(CControlUI* control);
    bool Contains(const CControlUI* control) const;
    void DeleteAll();
    int GetCount() const { return m_doomed.GetSize(); }

private:
    Deleter m_deleter;
    CUIPtrArray m_doomed;
};

} // namespace ui
