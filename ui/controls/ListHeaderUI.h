#pragma once

#include "ui/core/HorizontalLayoutUI.h"

namespace ui {

// The row above a list's items that holds the column headers; the list
// reads its children's rectangles as its columns.
class CListHeaderUI : public CHorizontalLayoutUI
{
public:
    const char* GetClassName() const override;
    void* FindInterface(const char* name) override;
};

} // namespace ui
