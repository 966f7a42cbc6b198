#pragma once

// CLabelUI: one line of text in its own font, colours, padding and
// alignment, plain or with inline markup ("showhtml").

#include <windows.h>

#include "ui/core/ControlUI.h"
#include "ui/gfx/TextLayoutCache.h"

namespace ui {

class CLabelUI : public CControlUI
{
public:
    CLabelUI();

    const char* GetClassName() const override;
    void* FindInterface(const char* name) override;
    // ControlFlagShortcutToNext: a label names the control after it.
    UINT GetBehaviorFlags() const override;
    void HandleEvent(UIEvent& event) override;
    void SetAttribute(const char* name, const char* value) override;
    // The preset width; the preset height, or without one the height of
    // the label's font plus 4.
    SIZE MeasureSize(SIZE available) override;
    void PaintText(HDC dc) override;

    // 0 stands for the host's default (or disabled) text colour, which the
    // next paint takes and keeps.
    DWORD GetTextColor() const { return m_textColor; }
    void SetTextColor(DWORD color);
    DWORD GetDisabledTextColor() const { return m_disabledTextColor; }
    void SetDisabledTextColor(DWORD color);
    // Index into the host's font list; -1 (or any index outside it) is the
    // default font. Not used with show html: the markup selects fonts.
    int GetFont() const { return m_font; }
    void SetFont(int index);
    // Text-format bits: 1 centre, 2 right, 4 vertical centre, 8 bottom,
    // 32768 end ellipsis; 4 by default. A label always draws one line.
    UINT GetTextStyle() const { return m_textStyle; }
    void SetTextStyle(UINT style);
    RECT GetTextPadding() const { return m_textPadding; }
    void SetTextPadding(const RECT& padding);
    // Draw the text with inline markup; off by default.
    bool IsShowHtml() const { return m_showHtml; }
    void SetShowHtml(bool show);

protected:
    // Takes the host's colours for the text colours still 0.
    void FillDefaultColors();
    // The bounds shrunk by the text padding.
    RECT TextRect() const;
    // Draws the text in `color` with `style`, as markup or plain text.
    void DrawLabelText(HDC dc, DWORD color, UINT style);

    DWORD m_textColor;
    DWORD m_disabledTextColor;
    int m_font;
    UINT m_textStyle;
    RECT m_textPadding;
    bool m_showHtml;
    // The marked-up text as it was drawn last; it holds while the text, its
    // rectangle, style, colour and the fonts stay the same.
    CTextLayoutCacheUI m_layoutCache;
};

} // namespace ui
