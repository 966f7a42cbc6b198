#pragma once

// The line layout behind CRenderer::DrawMarkupText: walks a marked-up text
// once per line to measure it (line height, link rectangles) and, unless
// only measuring, a second time to draw it with the measured height, so
// that every run of a line stands on the same bottom.
//
// Sections of the source: stacks and line state; the main loop and line
// ends; text runs; tags; inline images.

#include <windows.h>

#include "ui/base/UIPtrArray.h"
#include "ui/base/UIString.h"
#include "ui/gfx/IResourcesUI.h"
#include "ui/gfx/MarkupTokenizer.h"
#include "ui/gfx/UIFontInfo.h"

namespace ui {

class CTextLayoutCacheUI;

class CMarkupLayout
{
public:
    // `style` holds the text-format bits honoured here: word break, single
    // line, calculate rectangle only and end ellipsis.
    CMarkupLayout(HDC dc, IResourcesUI* resources, UINT style);
    CMarkupLayout(const CMarkupLayout&) = delete;
    CMarkupLayout& operator=(const CMarkupLayout&) = delete;

    // Lays `text` out in `rc` starting with `color`; draws it unless the
    // calculate bit is set, in which case `rc` receives the needed size.
    // The DC's font, colours and background mode are the caller's to set
    // and restore. `linkCount` is the capacity of both link arrays on entry
    // and the number of links laid out on return.
    void Run(RECT& rc, const char* text, DWORD color, RECT* linkRects, CUIString* linkTexts,
             int& linkCount);
    // Every run drawn is also added to `recorder`, which is abandoned when
    // the text draws what it cannot replay (an inline image).
    void RecordInto(CTextLayoutCacheUI* recorder) { m_recorder = recorder; }

private:
    // What the drawing pass of a line starts from.
    struct LineStart
    {
        const char* text;
        POINT pen;
        CUIPtrArray fonts;
        CUIPtrArray colors;
        CUIPtrArray spacings;
        bool raw;
        bool selection;
        bool inLink;
        int linkIndex;
        POINT linkStart;
    };

    // Stacks; an empty stack has the default on top.
    UIFontInfo* TopFont() const;
    DWORD TopColor() const;
    int TopSpacing() const;
    void PushFont(UIFontInfo* font);
    void PopFont();
    void PushColor(DWORD color);
    void PopColor();
    void SelectFont(UIFontInfo* font);
    void ApplyColor();
    const TEXTMETRICW& Metrics();
    // Current font height, its external leading and the paragraph spacing.
    int FontLineHeight();
    void RaiseLineHeight(int height);
    // The height runs are placed in: the measured one while drawing.
    int PlacementHeight() const;
    bool AtLineStart() const { return m_pen.x == m_rc.left; }

    void SaveLine();
    void RestoreLine();
    void EndLine();
    void Step();

    void TextRun();
    void EscapedChar(char ch, const char* next);
    void DrawRun(const char* run, int length, int y);
    int Width(const char* run, int length);

    void OpenTag(const MarkupToken& token);
    void CloseTag(const MarkupToken& token);
    void OpenLink(const char* argument);
    void CloseLink();
    void PushVariant(bool bold, bool underline, bool italic);
    void PushNamedFont(const char* argument);
    void PlaceImage(const MarkupImageSpec& image, const char* next);

    HDC m_dc;
    IResourcesUI* m_resources;
    UINT m_style;
    RECT m_rc;
    DWORD m_defaultColor;
    UIFontInfo* m_defaultFont;

    RECT* m_linkRects;
    CUIString* m_linkTexts;
    int m_linkCapacity;
    int m_linkIndex;
    int m_lineLinkIndex;  // first link of the current line
    POINT m_linkStart;
    CUIString m_hoverLink;
    bool m_hoverFound;

    bool m_draw;      // false when only measuring
    bool m_lineDraw;  // false in the measuring pass of a line
    bool m_lineEnd;
    bool m_stop;
    bool m_raw;
    bool m_inLink;
    bool m_selection;

    const char* m_text;
    POINT m_pen;
    int m_lineHeight;
    int m_drawHeight;
    int m_minHeight;  // the lowest bottom an image reached
    int m_maxX;       // the widest x reached

    UIFontInfo* m_font;
    CUIPtrArray m_fonts;
    CUIPtrArray m_colors;
    CUIPtrArray m_spacings;
    LineStart m_line;
    CTextLayoutCacheUI* m_recorder = nullptr;
};

} // namespace ui
