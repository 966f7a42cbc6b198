#pragma once

// An image loader for painting tests: "red.png", "green.png" and
// "blue.png" are 4 x 4 images of their colour; nothing else loads.

#include <windows.h>

#include <cstring>

#include "ui/gfx/Renderer.h"
#include "ui/gfx/UIImageInfo.h"

namespace colourimages {

inline ui::UIImageInfo* LoadColour(const char* name, const char*, DWORD)
{
    DWORD colour;
    if (std::strcmp(name, "red.png") == 0)
        colour = 0xFFFF0000;
    else if (std::strcmp(name, "green.png") == 0)
        colour = 0xFF00FF00;
    else if (std::strcmp(name, "blue.png") == 0)
        colour = 0xFF0000FF;
    else
        return nullptr;
    DWORD* bits = nullptr;
    HBITMAP bitmap = ui::CRenderer::CreateTopDownDib(nullptr, 4, 4, &bits);
    if (bitmap == nullptr)
        return nullptr;
    for (int i = 0; i < 16; ++i)
        bits[i] = colour;
    ui::UIImageInfo* info = new ui::UIImageInfo;
    info->bitmap = bitmap;
    info->width = 4;
    info->height = 4;
    return info;
}

} // namespace colourimages
