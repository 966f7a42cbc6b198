#pragma once

// What the skin's "Window" element sets for a host's window: its sizes,
// its sizing borders, caption band and corners, and how it paints. Plain
// values; the host reads them where they take effect.

#include <windows.h>

namespace ui {

struct UIHostSettings
{
    SIZE minTrack = { 0, 0 };      // "mininfo"; a value above 0 is imposed
    SIZE maxTrack = { 0, 0 };      // "maxinfo"
    SIZE initialSize = { 0, 0 };   // "size"
    RECT sizeBox = { 0, 0, 0, 0 }; // "sizebox": sizing borders
    RECT caption = { 0, 0, 0, 0 }; // "caption": the band that drags the window
    SIZE roundCorner = { 0, 0 };   // "roundcorner"
    bool showUpdateRect = false;   // "showdirty": outline every repainted area
    bool alphaBackground = false;  // "bktrans": blend over what lies under the window
    bool offscreenPaint = true;    // paint through an off-screen bitmap
};

} // namespace ui
