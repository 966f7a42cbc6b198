#pragma once

#include "ui/core/BoxLayoutUI.h"

namespace ui {

// Stacks its children from top to bottom; "sepheight" makes it a splitter.
class CVerticalLayoutUI : public CBoxLayoutUI
{
public:
    CVerticalLayoutUI();

    const char* GetClassName() const override;
    void* FindInterface(const char* name) override;
};

} // namespace ui
