#pragma once

// What a marked-up text drew the last time it was painted: the runs of
// glyphs with their fonts, colours and places. Painting the same text in the
// same rectangle, style and colour again, while the fonts are the same,
// draws the runs without parsing and measuring the text again. A control
// that draws its text keeps one; CRenderer::DrawMarkupText fills and uses it.

#include <windows.h>

#include "ui/base/UIString.h"

namespace ui {

// What a text's layout depends on besides the DC.
struct TextLayoutKeyUI
{
    const char* text;
    RECT rect;        // the rectangle the text is laid out in
    UINT style;
    DWORD color;      // the text's own colour (ARGB)
    unsigned fonts;   // the resources' font generation
};

// Invariants: runs are held only while the cache is valid, and each run's
// characters lie inside the character buffer.
class CTextLayoutCacheUI
{
public:
    CTextLayoutCacheUI() = default;
    ~CTextLayoutCacheUI();
    CTextLayoutCacheUI(const CTextLayoutCacheUI&) = delete;
    CTextLayoutCacheUI& operator=(const CTextLayoutCacheUI&) = delete;

    // True when what is held was drawn for `key`.
    bool Holds(const TextLayoutKeyUI& key) const;

    // Recording: Begin drops what was held; the runs follow in drawing
    // order; End keeps them for `key`, with the rectangle the text was
    // clipped to. A drawing that cannot be replayed (an inline image), or
    // one whose runs do not fit in memory, is abandoned: nothing is held.
    void Begin();
    void AddRun(HFONT font, DWORD color, bool opaque, POINT at, const wchar_t* text, int length);
    void Abandon();
    void End(const TextLayoutKeyUI& key, const RECT& drawn);

    // Draws what is held into `dc`: each run's font, colour and background
    // mode, then its glyphs. The caller clips to GetDrawnRect() and saves
    // and restores the DC's font, colours and mode.
    void Replay(HDC dc) const;
    const RECT& GetDrawnRect() const { return m_drawn; }
    int GetRunCount() const { return m_valid ? m_runCount : 0; }

    void Clear();

private:
    struct Run
    {
        HFONT font;
        DWORD color;
        bool opaque;
        POINT at;
        int offset;  // into m_chars
        int length;
    };

    bool Reserve(int runs, int chars);

    bool m_valid = false;
    bool m_recording = false;
    CUIString m_text;
    RECT m_rect = {};
    UINT m_style = 0;
    DWORD m_color = 0;
    unsigned m_fonts = 0;
    RECT m_drawn = {};

    Run* m_runs = nullptr;
    int m_runCount = 0;
    int m_runCapacity = 0;
    wchar_t* m_chars = nullptr;
    int m_charCount = 0;
    int m_charCapacity = 0;
};

} // namespace ui
