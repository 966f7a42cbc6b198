#include "ui/core/VerticalLayoutUI.h"

#include <string.h>

namespace ui {

CVerticalLayoutUI::CVerticalLayoutUI() : CBoxLayoutUI(true)
{
}

const char* CVerticalLayoutUI::GetClassName() const { return "VerticalLayoutUI"; }

void* CVerticalLayoutUI::FindInterface(const char* name)
{
    if (name != nullptr && strcmp(name, "VerticalLayout") == 0)
        return this;
    return CBoxLayoutUI::FindInterface(name);
}

} // namespace ui
