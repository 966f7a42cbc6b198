// The text side of CRenderer: plain text through the platform's layout, and
// marked-up text through CMarkupLayout.

#include "ui/gfx/Renderer.h"

#include "ui/base/UIString.h"
#include "ui/base/Utf8.h"
#include "ui/gfx/MarkupLayout.h"
#include "ui/gfx/TextLayoutCache.h"

namespace ui {

namespace {

// Blanks drawn transparently leave no pixel, unless they are underlined or
// may give way to an ellipsis; a size asked for is measured all the same.
bool IsBlankText(const char* text, const UIFontInfo* font, UINT style)
{
    if (font->underline || (style & (DT_CALCRECT | DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS)) != 0)
        return false;
    while (*text == ' ')
        ++text;
    return *text == '\0';
}

// Draws what `cache` holds as DrawMarkupText draws a text: clipped to the
// rectangle it was drawn in, the DC's font, colours and mode restored.
void ReplayText(HDC dc, IResourcesUI* resources, const CTextLayoutCacheUI& cache)
{
    HGDIOBJ previousFont = ::GetCurrentObject(dc, OBJ_FONT);
    UIClip clip;
    clip.ClipRect(dc, cache.GetDrawnRect());
    // Each run sets its own mode and colour; what the DC had comes back after.
    int previousMode = ::SetBkMode(dc, TRANSPARENT);
    COLORREF previousText = ::SetTextColor(dc, 0);
    COLORREF previousBack = ::SetBkColor(dc, CRenderer::ToColorRef(resources->GetSelectedBackColor()));
    cache.Replay(dc);
    ::SetBkColor(dc, previousBack);
    ::SetTextColor(dc, previousText);
    ::SetBkMode(dc, previousMode);
    ::SelectObject(dc, previousFont);
}

} // namespace

void CRenderer::DrawPlainText(HDC dc, IResourcesUI* resources, RECT& rc, const char* text, DWORD color,
                              int font, UINT style)
{
    if (dc == nullptr || text == nullptr || resources == nullptr)
        return;
    UIFontInfo* record = resources->GetFontRecord(font);
    if (IsBlankText(text, record, style))
        return;
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ToColorRef(color));
    HGDIOBJ previous = ::SelectObject(dc, record->font);
    // No prefix processing: an ampersand is drawn, not turned into an
    // underline of the next character.
    CWideText wide(text);
    ::DrawTextW(dc, wide, wide.GetLength(), &rc, style | DT_NOPREFIX);
    ::SelectObject(dc, previous);
}

void CRenderer::DrawMarkupText(HDC dc, IResourcesUI* resources, RECT& rc, const char* text, DWORD color,
                               RECT* linkRects, CUIString* linkTexts, int& linkCount, UINT style,
                               CTextLayoutCacheUI* cache)
{
    if (dc == nullptr || text == nullptr || resources == nullptr || ::IsRectEmpty(&rc))
        return;
    bool draw = (style & DT_CALCRECT) == 0;
    // Links are laid out afresh each time: their colour follows the mouse.
    if (!draw || (linkRects != nullptr && linkCount > 0))
        cache = nullptr;
    TextLayoutKeyUI key = { text, rc, style, color, 0 };
    if (cache != nullptr) {
        key.fonts = resources->GetFontGeneration();
        if (cache->Holds(key)) {
            rc = cache->GetDrawnRect();
            ReplayText(dc, resources, *cache);
            linkCount = 0;
            return;
        }
    }

    // A single line is aligned by its measured size. The aligned rectangle
    // stays inside the given one: a line larger than the rectangle starts
    // at its left and top instead of spilling over both sides.
    if (draw && (style & DT_SINGLELINE) != 0 && (style & (DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM)) != 0) {
        RECT measured = { 0, 0, 9999, 100 };
        int noLinks = 0;
        DrawMarkupText(dc, resources, measured, text, color, nullptr, nullptr, noLinks, style | DT_CALCRECT);
        int width = measured.right - measured.left;
        int height = measured.bottom - measured.top;
        RECT aligned = rc;
        if ((style & DT_VCENTER) != 0) {
            aligned.top = rc.top + (rc.bottom - rc.top - height) / 2;
            aligned.bottom = aligned.top + height;
        } else if ((style & DT_BOTTOM) != 0) {
            aligned.top = rc.bottom - height;
        }
        if ((style & DT_CENTER) != 0) {
            aligned.left = rc.left + (rc.right - rc.left - width) / 2;
            aligned.right = aligned.left + width;
        } else if ((style & DT_RIGHT) != 0) {
            aligned.left = rc.right - width;
        }
        ::IntersectRect(&rc, &aligned, &rc);
        if (::IsRectEmpty(&rc))
            return;
    }

    HGDIOBJ previousFont = ::GetCurrentObject(dc, OBJ_FONT);
    UIClip clip;
    int previousMode = 0;
    COLORREF previousText = 0;
    COLORREF previousBack = 0;
    if (draw) {
        clip.ClipRect(dc, rc);
        previousMode = ::SetBkMode(dc, TRANSPARENT);
        previousText = ::SetTextColor(dc, ToColorRef(color));
        previousBack = ::SetBkColor(dc, ToColorRef(resources->GetSelectedBackColor()));
    }

    CMarkupLayout layout(dc, resources, style);
    if (cache != nullptr) {
        cache->Begin();
        layout.RecordInto(cache);
    }
    layout.Run(rc, text, color, linkRects, linkTexts, linkCount);
    if (cache != nullptr) {
        // Fonts the text registered while it was laid out count as the
        // generation it was laid out at.
        key.fonts = resources->GetFontGeneration();
        cache->End(key, rc);
    }

    if (draw) {
        ::SetBkColor(dc, previousBack);
        ::SetTextColor(dc, previousText);
        ::SetBkMode(dc, previousMode);
    }
    ::SelectObject(dc, previousFont);
}

} // namespace ui
