#pragma once

#include <windows.h>

#include "ui/gfx/UIFontInfo.h"
#include "ui/gfx/UIImageInfo.h"

namespace ui {

// What drawing asks of the resources it draws with: fonts, images and text
// colours. CResourcesUI serves them; the window host passes itself, which
// forwards to its own CResourcesUI.
class IResourcesUI
{
public:
    // ---- fonts -----------------------------------------------------------------
    // The font numbered `index` in the list, or the default font outside it.
    virtual UIFontInfo* GetFontRecord(int index) = 0;
    // The record of a font of the list or of a resource parent's list; the
    // default font for any other handle.
    virtual UIFontInfo* GetFontRecord(HFONT font) = 0;
    virtual UIFontInfo* GetDefaultFontRecord() = 0;
    // A font of exactly this face and style, or null.
    virtual HFONT FindFont(const char* face, int size, bool bold, bool underline, bool italic) const = 0;
    // Adds a font to the list; null on failure.
    virtual HFONT RegisterFont(const char* face, int size, bool bold, bool underline, bool italic) = 0;
    // Changes whenever a font is added, replaced, deleted or measured anew,
    // here or in a resource parent: a text laid out at one generation
    // lays out the same while it holds.
    virtual unsigned GetFontGeneration() const = 0;

    // ---- images ------------------------------------------------------------------
    // The cached image of that name (type and mask not compared), else one
    // loaded and cached now; null when it cannot be loaded.
    virtual UIImageInfo* GetOrLoadImage(const char* name, const char* resourceType, DWORD mask) = 0;

    // ---- text colours (ARGB) -------------------------------------------------------
    virtual DWORD GetDefaultTextColor() const = 0;
    virtual DWORD GetDisabledTextColor() const = 0;
    virtual DWORD GetLinkTextColor() const = 0;
    virtual DWORD GetLinkHoverTextColor() const = 0;
    // The background of selected marked-up text.
    virtual DWORD GetSelectedBackColor() const = 0;

    // Where the mouse was last seen, in the coordinates text is drawn in: a
    // link under it takes the hover colour. (-1, -1) when unknown.
    virtual POINT GetLastMousePos() const = 0;

protected:
    virtual ~IResourcesUI() {}
};

} // namespace ui
