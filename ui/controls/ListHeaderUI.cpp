#include "ui/controls/ListHeaderUI.h"

#include <string.h>

namespace ui {

const char* CListHeaderUI::GetClassName() const { return "ListHeaderUI"; }

void* CListHeaderUI::FindInterface(const char* name)
{
    if (name != nullptr && strcmp(name, "ListHeader") == 0)
        return this;
    return CHorizontalLayoutUI::FindInterface(name);
}

} // namespace ui
