#include "ui/core/NotificationQueueUI.h"

#include <new>

#include "ui/base/UIAssert.h"

namespace ui {

CNotificationQueueUI::~CNotificationQueueUI()
{
    for (int i = 0; i < m_records.GetSize(); ++i)
        delete At(i);
}

bool CNotificationQueueUI::Push(const UINotify& notify)
{
    UINotify* copy = new (std::nothrow) UINotify(notify);
    if (copy != nullptr && m_records.Add(copy))
        return true;
    delete copy;
    return false;
}

void CNotificationQueueUI::DropLast()
{
    int last = m_records.GetSize() - 1;
    UI_ASSERT(last >= 0);
    if (last < 0)
        return;
    delete At(last);
    m_records.Remove(last);
}

bool CNotificationQueueUI::TakeFirst(UINotify& notify)
{
    if (m_records.GetSize() == 0)
        return false;
    UINotify* first = At(0);
    m_records.Remove(0);
    notify = *first;
    delete first;
    return true;
}

void CNotificationQueueUI::DropFor(const CControlUI* sender)
{
    for (int i = m_records.GetSize() - 1; i >= 0; --i) {
        if (At(i)->sender == sender) {
            delete At(i);
            m_records.Remove(i);
        }
    }
}

bool CDeleteLaterUI::Add(CControlUI* control)
{
    UI_ASSERT(control != nullptr && !Contains(control));
    return m_doomed.Add(control);
}

bool CDeleteLaterUI::Contains(const CControlUI* control) const
{
    return m_doomed.Find(const_cast<CControlUI*>(control)) >= 0;
}

void CDeleteLaterUI::DeleteAll()
{
    while (m_doomed.GetSize() > 0) {
        CUIPtrArray doomed(m_doomed);
        m_doomed.Empty();
        for (int i = 0; i < doomed.GetSize(); ++i)
            m_deleter(static_cast<CControlUI*>(doomed.GetAt(i)));
    }
}

} // namespace ui
