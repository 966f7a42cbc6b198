#pragma once

#include "ui/core/ContainerUI.h"

namespace ui {

// Shows exactly one of its children, the selected page, on the whole
// content area; the other pages are hidden.
class CTabLayoutUI : public CContainerUI
{
public:
    CTabLayoutUI();

    const char* GetClassName() const override;
    void* FindInterface(const char* name) override;
    bool AddChild(CControlUI* control) override;
    bool InsertChild(CControlUI* control, int index) override;
    bool RemoveChild(CControlUI* control) override;
    void RemoveAllChildren() override;
    void SetBounds(const RECT& rect) override;
    void SetAttribute(const char* name, const char* value) override;

    // -1 when no page is selected.
    int GetSelectedIndex() const { return m_selected; }
    // Shows page `index`, hides the others, moves the focus into the page
    // and notifies "tabselect" (new index, old index). False for an index
    // out of range.
    bool SelectPage(int index);

private:
    int m_selected;
};

} // namespace ui
