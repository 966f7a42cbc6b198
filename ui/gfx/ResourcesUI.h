#pragma once

// The fonts, images, class defaults and text colours of one window host.
// A chain of resource parents shares them: fonts and class defaults are
// looked for up the chain, and the colours and the default font are those
// of the topmost object of the chain.

#include <windows.h>

#include "ui/base/UIPtrArray.h"
#include "ui/base/UIStringMap.h"
#include "ui/gfx/IResourcesUI.h"

namespace ui {

class CResourcesUI : public IResourcesUI
{
public:
    CResourcesUI();
    ~CResourcesUI() override;
    CResourcesUI(const CResourcesUI&) = delete;
    CResourcesUI& operator=(const CResourcesUI&) = delete;

    // Fonts are measured through this DC (the bound window's, not owned);
    // through the screen's while it is null.
    void SetMeasureDC(HDC dc);

    // ---- resource parent ---------------------------------------------------------
    // Refuses (false) what would close a cycle.
    bool SetResourceParent(CResourcesUI* parent);
    CResourcesUI* GetResourceParent() const { return m_parent; }

    // ---- text colours ----------------------------------------------------------------
    // Read from the topmost object of the chain; set on this one.
    DWORD GetDisabledTextColor() const override;
    void SetDisabledTextColor(DWORD color) { m_disabledTextColor = color; }
    DWORD GetDefaultTextColor() const override;
    void SetDefaultTextColor(DWORD color) { m_defaultTextColor = color; }
    DWORD GetLinkTextColor() const override;
    void SetLinkTextColor(DWORD color) { m_linkTextColor = color; }
    DWORD GetLinkHoverTextColor() const override;
    void SetLinkHoverTextColor(DWORD color) { m_linkHoverTextColor = color; }
    DWORD GetSelectedBackColor() const override;
    void SetSelectedBackColor(DWORD color) { m_selectedBackColor = color; }

    // ---- fonts ---------------------------------------------------------------------------
    // Replaces the default font; a font that cannot be created changes
    // nothing.
    void SetBaseFont(const char* face, int size, bool bold, bool underline, bool italic);
    // Adds a font to this object's list (numbered from 0); null on failure.
    HFONT RegisterFont(const char* face, int size, bool bold, bool underline, bool italic) override;
    // This object's list, then the resource parents'.
    HFONT FindFont(const char* face, int size, bool bold, bool underline, bool italic) const override;
    // The font numbered `index` here, or the topmost default font outside the list.
    UIFontInfo* GetFontRecord(int index) override;
    UIFontInfo* GetFontRecord(HFONT font) override;
    UIFontInfo* GetDefaultFontRecord() override;
    HFONT GetFont(int index);
    int GetFontCount() const { return m_fonts.GetSize(); }
    void ClearFonts();
    unsigned GetFontGeneration() const override;

    // ---- images ----------------------------------------------------------------------------
    // Loads an image through the program's image loader and caches it under
    // `name`. With a resource type, `name` must be a decimal resource id.
    UIImageInfo* CacheImage(const char* name, const char* resourceType, DWORD mask);
    UIImageInfo* GetOrLoadImage(const char* name, const char* resourceType, DWORD mask) override;
    UIImageInfo* FindImage(const char* name) const;
    void ClearImages();

    // ---- class defaults ----------------------------------------------------------------------
    // The first text set for a class stays.
    void SetClassDefaults(const char* className, const char* attributes);
    // This object's, then the resource parents'.
    const char* GetClassDefaults(const char* className) const;
    void ClearClassDefaults();

    // Resources alone know of no mouse: (-1, -1).
    POINT GetLastMousePos() const override;

    // Deletes the default font, the font list, the images and the class
    // defaults; the destructor does the same.
    void ReleaseAll();

private:
    CResourcesUI* TopResources();
    const CResourcesUI* TopResources() const;
    HFONT MakeFont(const char* face, int size, bool bold, bool underline, bool italic) const;
    void MeasureFont(UIFontInfo* info) const;
    void FontsChanged();

    CResourcesUI* m_parent;
    HDC m_measureDC;

    DWORD m_disabledTextColor;
    DWORD m_defaultTextColor;
    DWORD m_linkTextColor;
    DWORD m_linkHoverTextColor;
    DWORD m_selectedBackColor;

    UIFontInfo m_defaultFont;
    CUIPtrArray m_fonts;
    unsigned m_fontStamp = 0;  // when the fonts last changed, on a clock all resources share
    CUIStringMap m_images;
    CUIStringMap m_classDefaults;
};

} // namespace ui
