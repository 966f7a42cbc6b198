#pragma once

// The option groups of a host: controls that share a group name, of which
// the group's options keep one selected. Needs no window.

#include "ui/base/UIPtrArray.h"
#include "ui/base/UIStringMap.h"

namespace ui {

class CControlUI;

// Invariant: no group is empty; a group that loses its last member goes.
class COptionGroupsUI
{
public:
    COptionGroupsUI() = default;
    ~COptionGroupsUI() { Clear(); }
    COptionGroupsUI(const COptionGroupsUI&) = delete;
    COptionGroupsUI& operator=(const COptionGroupsUI&) = delete;

    // False for a null group, a control already in it, or no memory.
    bool Join(const char* group, CControlUI* control);
    // Removes the control's first occurrence.
    void Leave(const char* group, CControlUI* control);
    // The group's members in the order they joined, or null.
    CUIPtrArray* GetMembers(const char* group) const;
    void Clear();

private:
    CUIStringMap m_groups;
};

} // namespace ui
