#pragma once

namespace ui {

class CControlUI;

// Creates the controls of element names that the skin builder does not
// know, such as the menu's own controls.
class IDialogBuilderCallback
{
public:
    // A new control for the element name, or null when the name is not
    // known here either. The builder owns what it gets.
    virtual CControlUI* CreateControl(const char* name) = 0;

protected:
    virtual ~IDialogBuilderCallback() {}
};

} // namespace ui
