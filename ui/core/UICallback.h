#pragma once

namespace ui {

// One listener of a control's listener lists. The argument is the control
// (init, destroy and size listeners), the UIEvent (event listeners) or the
// UINotify (notify listeners). Returning false stops the rest of the list;
// for event listeners it also keeps the event from the control itself.
// The list that holds a callback owns it and deletes it with itself.
class UICallback
{
public:
    virtual ~UICallback() {}
    virtual bool Invoke(void* argument) = 0;
};

} // namespace ui
