#pragma once

#include <windows.h>

#include "ui/base/UIString.h"

namespace ui {

// One font of a resources object (CResourcesUI), which owns the font handle
// and deletes it with the record.
struct UIFontInfo
{
    HFONT font;
    CUIString face;      // face name exactly as passed
    int size;            // character height in pixels (created as -size)
    bool bold;
    bool underline;
    bool italic;
    TEXTMETRICW metrics; // measured lazily: tmHeight 0 means not yet

    UIFontInfo() : font(nullptr), size(0), bold(false), underline(false), italic(false)
    {
        ZeroMemory(&metrics, sizeof(metrics));
    }
};

} // namespace ui
