#include "ui/core/HorizontalLayoutUI.h"

#include <string.h>

namespace ui {

CHorizontalLayoutUI::CHorizontalLayoutUI() : CBoxLayoutUI(false)
{
}

const char* CHorizontalLayoutUI::GetClassName() const { return "HorizontalLayoutUI"; }

void* CHorizontalLayoutUI::FindInterface(const char* name)
{
    if (name != nullptr && strcmp(name, "HorizontalLayout") == 0)
        return this;
    return CBoxLayoutUI::FindInterface(name);
}

} // namespace ui
