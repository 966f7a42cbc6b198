#pragma once

#include <windows.h>

namespace ui {

// A bitmap selected into a memory DC: the off-screen surface of painting,
// blending, tests and tools. The DC's previous bitmap is put back before
// the bitmap is deleted, and the bitmap is deleted before the DC.
class CMemoryBitmapUI
{
public:
    // A new 32-bit top-down DIB section of the given size, owned here, in a
    // DC compatible with `reference` (the screen's when null).
    CMemoryBitmapUI(HDC reference, int width, int height);
    ~CMemoryBitmapUI();
    CMemoryBitmapUI(const CMemoryBitmapUI&) = delete;
    CMemoryBitmapUI& operator=(const CMemoryBitmapUI&) = delete;

    // False when the DC or the bitmap could not be made.
    bool IsReady() const { return m_dc != nullptr && m_bitmap != nullptr; }
    HDC GetDC() const { return m_dc; }
    HBITMAP GetBitmap() const { return m_bitmap; }
    // The pixels, B, G, R, A, rows from the top. GDI draws lazily: flush
    // (GdiFlush) before reading.
    DWORD* GetBits() const { return m_bits; }

    // Puts the previous bitmap back and deletes the DC, so that the bitmap
    // can be selected elsewhere, as the source of a blit; the bitmap stays
    // until the destructor.
    void CloseDC();

private:
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_previous;
    DWORD* m_bits;
};

} // namespace ui
