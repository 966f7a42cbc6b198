#pragma once

#include <windows.h>

#include "ui/base/UIString.h"

namespace ui {

// One cached image of a resources object (CResourcesUI): a 32-bit top-down
// bitmap whose pixels are B, G, R, A with colour premultiplied by alpha. The
// cache owns the bitmap and deletes it with the record.
struct UIImageInfo
{
    HBITMAP bitmap;
    int width;
    int height;
    bool alpha;              // some pixel is not opaque, or was masked out
    CUIString resourceType;  // empty for files
    DWORD mask;              // mask colour it was loaded with; 0 = none

    UIImageInfo() : bitmap(nullptr), width(0), height(0), alpha(false), mask(0) {}
};

// Loads one image: `name` is a file name, or, with a resource type, a
// resource name or a numeric id made with MAKEINTRESOURCEA. Returns a record
// made with new (the caller owns it and its bitmap), or null.
typedef UIImageInfo* (*UIImageLoader)(const char* name, const char* resourceType, DWORD mask);

} // namespace ui
