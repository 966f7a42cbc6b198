#pragma once

#include "ui/core/BoxLayoutUI.h"

namespace ui {

// Lines up its children from left to right; "sepwidth" makes it a splitter.
class CHorizontalLayoutUI : public CBoxLayoutUI
{
public:
    CHorizontalLayoutUI();

    const char* GetClassName() const override;
    void* FindInterface(const char* name) override;
};

} // namespace ui
