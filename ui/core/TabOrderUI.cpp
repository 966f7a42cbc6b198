#include "ui/core/TabOrderUI.h"

namespace ui {

CControlUI* CTabSearchUI::Offer(CControlUI* control, bool tabStop)
{
    if (control == m_from) {
        // Backwards, the answer is the tab stop seen just before it.
        if (m_forward)
            m_passedFrom = true;
        else if (m_last != nullptr)
            return m_last;
        return nullptr;
    }
    if (!tabStop)
        return nullptr;
    m_last = control;
    if (m_passedFrom || m_from == nullptr)
        return control;
    return nullptr;
}

CControlUI* FindTabStop(const ITabWalkUI& tree, const CControlUI* from, bool forward)
{
    CTabSearchUI search(from, forward);
    if (CControlUI* found = tree.Walk(search))
        return found;
    // Nothing after it (or before it): around the end of the tree.
    if (!forward)
        return search.Last();
    CTabSearchUI first(nullptr, true);
    return tree.Walk(first);
}

} // namespace ui
