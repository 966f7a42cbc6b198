#pragma once

// The off-screen bitmaps a window host paints through: the tree's buffer,
// the size of the client area, and with "bktrans" a copy of what lay under
// the window when the buffer was made.

#include <windows.h>

namespace ui {

class CMemoryBitmapUI;

// Invariants: each bitmap is null or ready and of the size it was made
// for; the background exists only beside a buffer of the same size.
class CPaintBuffersUI
{
public:
    CPaintBuffersUI() = default;
    ~CPaintBuffersUI() { Release(); }
    CPaintBuffersUI(const CPaintBuffersUI&) = delete;
    CPaintBuffersUI& operator=(const CPaintBuffersUI&) = delete;

    // The buffer's DC, made compatible with `reference` at the client
    // size when there is none; null when it cannot be made (painting then
    // goes straight to the window rather than nowhere).
    HDC Ensure(HDC reference, const SIZE& client);
    bool HasBuffer() const { return m_buffer != nullptr; }
    // Fills the area of the buffer with what lay under the window, which is
    // read from `window` the first time and kept until Release.
    void CopyBackground(HDC window, const RECT& area);
    // Copies the area of the buffer to `target`.
    void CopyTo(HDC target, const RECT& area) const;
    // Drops both; the next paint makes them again at the size it finds.
    void Release();

private:
    CMemoryBitmapUI* m_buffer = nullptr;     // the tree is painted here, then copied to the window
    CMemoryBitmapUI* m_background = nullptr; // what lay under the window, with "bktrans"
    SIZE m_size = { 0, 0 };
};

} // namespace ui
