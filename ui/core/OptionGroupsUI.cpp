#include "ui/core/OptionGroupsUI.h"

#include <new>

namespace ui {

bool COptionGroupsUI::Join(const char* group, CControlUI* control)
{
    if (group == nullptr)
        return false;
    CUIPtrArray* members = GetMembers(group);
    if (members != nullptr) {
        if (members->Find(control) >= 0)
            return false;
        return members->Add(control);
    }
    members = new (std::nothrow) CUIPtrArray(6);
    if (members == nullptr)
        return false;
    if (!members->Add(control) || !m_groups.Insert(group, members)) {
        delete members;
        return false;
    }
    return true;
}

void COptionGroupsUI::Leave(const char* group, CControlUI* control)
{
    CUIPtrArray* members = GetMembers(group);
    if (members == nullptr)
        return;
    int index = members->Find(control);
    if (index >= 0)
        members->Remove(index);
    if (members->GetSize() == 0) {
        m_groups.Remove(group);
        delete members;
    }
}

CUIPtrArray* COptionGroupsUI::GetMembers(const char* group) const
{
    if (group == nullptr)
        return nullptr;
    return static_cast<CUIPtrArray*>(m_groups.Find(group));
}

void COptionGroupsUI::Clear()
{
    m_groups.Drain([](void* value) { delete static_cast<CUIPtrArray*>(value); });
}

} // namespace ui
