#include "ui/gfx/TextLayoutCache.h"

#include <string.h>

#include <new>

#include "ui/gfx/Renderer.h"

namespace ui {

namespace {

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Doubles `capacity` until it holds `needed`; false past what an int counts.
bool Grow(int& capacity, int needed)
{
    int grown = capacity > 0 ? capacity : 8;
    while (grown < needed) {
        if (grown > 0x3FFFFFFF)
            return false;
        grown *= 2;
    }
    capacity = grown;
    return true;
}

// Makes `items` hold `needed`, keeping its first `count`.
template <typename T>
bool GrowArray(T*& items, int& capacity, int count, int needed)
{
    if (needed <= capacity)
        return true;
    int grown = capacity;
    T* copy = Grow(grown, needed) ? new (std::nothrow) T[grown] : nullptr;
    if (copy == nullptr)
        return false;
    if (count > 0)
        memcpy(copy, items, sizeof(T) * count);
    delete[] items;
    items = copy;
    capacity = grown;
    return true;
}

} // namespace

CTextLayoutCacheUI::~CTextLayoutCacheUI()
{
    delete[] m_runs;
    delete[] m_chars;
}

bool CTextLayoutCacheUI::Holds(const TextLayoutKeyUI& key) const
{
    return m_valid && key.text != nullptr && key.style == m_style && key.color == m_color && key.fonts == m_fonts
        && SameRect(key.rect, m_rect) && strcmp(key.text, m_text.GetData()) == 0;
}

void CTextLayoutCacheUI::Begin()
{
    Clear();
    m_recording = true;
}

bool CTextLayoutCacheUI::Reserve(int runs, int chars)
{
    return GrowArray(m_runs, m_runCapacity, m_runCount, runs) && GrowArray(m_chars, m_charCapacity, m_charCount, chars);
}

void CTextLayoutCacheUI::AddRun(HFONT font, DWORD color, bool opaque, POINT at, const wchar_t* text, int length)
{
    if (!m_recording || length <= 0)
        return;
    if (length > 0x3FFFFFFF - m_charCount || !Reserve(m_runCount + 1, m_charCount + length)) {
        Abandon();
        return;
    }
    Run& run = m_runs[m_runCount++];
    run.font = font;
    run.color = color;
    run.opaque = opaque;
    run.at = at;
    run.offset = m_charCount;
    run.length = length;
    memcpy(m_chars + m_charCount, text, sizeof(wchar_t) * length);
    m_charCount += length;
}

void CTextLayoutCacheUI::Abandon()
{
    Clear();
}

void CTextLayoutCacheUI::End(const TextLayoutKeyUI& key, const RECT& drawn)
{
    if (!m_recording || key.text == nullptr) {
        Clear();
        return;
    }
    m_text.Assign(key.text);
    m_recording = false;
    m_valid = true;
    m_rect = key.rect;
    m_style = key.style;
    m_color = key.color;
    m_fonts = key.fonts;
    m_drawn = drawn;
}

void CTextLayoutCacheUI::Replay(HDC dc) const
{
    if (!m_valid)
        return;
    for (int i = 0; i < m_runCount; ++i) {
        const Run& run = m_runs[i];
        ::SelectObject(dc, run.font);
        ::SetTextColor(dc, CRenderer::ToColorRef(run.color));
        ::SetBkMode(dc, run.opaque ? OPAQUE : TRANSPARENT);
        ::TextOutW(dc, run.at.x, run.at.y, m_chars + run.offset, run.length);
    }
}

void CTextLayoutCacheUI::Clear()
{
    m_valid = false;
    m_recording = false;
    m_runCount = 0;
    m_charCount = 0;
}

} // namespace ui
