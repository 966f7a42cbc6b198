#pragma once

// Helpers of the text and control painting tests: a white 32-bit top-down
// DIB section in a memory DC, and questions about the "ink" drawn into it.

#include <windows.h>

#include "ui/gfx/MemoryBitmap.h"

namespace texttest {

// Pixels are read as 0x00RRGGBB; GDI leaves the alpha byte undefined.
class Canvas
{
public:
    Canvas(int width, int height)
        : m_width(width), m_height(height), m_surface(nullptr, width, height), m_bits(m_surface.GetBits())
    {
        Clear();
    }

    HDC dc() const { return m_surface.GetDC(); }
    int width() const { return m_width; }
    int height() const { return m_height; }

    void Clear()
    {
        ::GdiFlush();
        for (int i = 0; i < m_width * m_height; ++i)
            m_bits[i] = 0x00FFFFFF;
    }
    DWORD Rgb(int x, int y) const
    {
        ::GdiFlush();
        return m_bits[y * m_width + x] & 0x00FFFFFF;
    }
    bool IsInk(int x, int y) const { return Rgb(x, y) != 0x00FFFFFF; }

    // True when the pixel is close to `rgb` (0x00RRGGBB): antialiased edges
    // are mixed with white, so only strongly coloured pixels count.
    bool IsNear(int x, int y, DWORD rgb, int tolerance = 40) const
    {
        DWORD p = Rgb(x, y);
        for (int shift = 0; shift < 24; shift += 8) {
            int a = static_cast<int>((p >> shift) & 0xFF);
            int b = static_cast<int>((rgb >> shift) & 0xFF);
            if (a - b > tolerance || b - a > tolerance)
                return false;
        }
        return true;
    }

    // The bounding box of the pixels for which `accept(x, y)` holds; empty
    // (all 0) when there are none.
    template <typename Accept>
    RECT BoxOf(Accept accept) const
    {
        RECT box = { m_width, m_height, -1, -1 };
        for (int y = 0; y < m_height; ++y) {
            for (int x = 0; x < m_width; ++x) {
                if (!accept(x, y))
                    continue;
                if (x < box.left) box.left = x;
                if (y < box.top) box.top = y;
                if (x + 1 > box.right) box.right = x + 1;
                if (y + 1 > box.bottom) box.bottom = y + 1;
            }
        }
        if (box.right < 0) {
            RECT none = { 0, 0, 0, 0 };
            return none;
        }
        return box;
    }
    RECT InkBox() const
    {
        return BoxOf([this](int x, int y) { return IsInk(x, y); });
    }
    RECT ColorBox(DWORD rgb) const
    {
        return BoxOf([this, rgb](int x, int y) { return IsNear(x, y, rgb); });
    }
    template <typename Accept>
    int Count(Accept accept) const
    {
        int count = 0;
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x)
                count += accept(x, y) ? 1 : 0;
        return count;
    }
    int InkCount() const
    {
        return Count([this](int x, int y) { return IsInk(x, y); });
    }
    // True when any ink lies outside `rc`.
    bool InkOutside(const RECT& rc) const
    {
        return Count([this, &rc](int x, int y) {
                   POINT pt = { x, y };
                   return IsInk(x, y) && !::PtInRect(&rc, pt);
               }) > 0;
    }
    bool SameAs(const Canvas& other) const
    {
        ::GdiFlush();
        for (int i = 0; i < m_width * m_height; ++i) {
            if ((m_bits[i] & 0x00FFFFFF) != (other.m_bits[i] & 0x00FFFFFF))
                return false;
        }
        return true;
    }

private:
    int m_width;
    int m_height;
    ui::CMemoryBitmapUI m_surface;
    DWORD* m_bits;
};

} // namespace texttest
