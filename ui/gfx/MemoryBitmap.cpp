#include "ui/gfx/MemoryBitmap.h"

#include "ui/gfx/Renderer.h"

namespace ui {

CMemoryBitmapUI::CMemoryBitmapUI(HDC reference, int width, int height)
    : m_dc(::CreateCompatibleDC(reference)), m_bitmap(nullptr), m_previous(nullptr), m_bits(nullptr)
{
    if (m_dc == nullptr)
        return;
    m_bitmap = CRenderer::CreateTopDownDib(m_dc, width, height, &m_bits);
    if (m_bitmap != nullptr)
        m_previous = ::SelectObject(m_dc, m_bitmap);
}

CMemoryBitmapUI::~CMemoryBitmapUI()
{
    if (m_dc != nullptr && m_previous != nullptr)
        ::SelectObject(m_dc, m_previous);
    if (m_bitmap != nullptr)
        ::DeleteObject(m_bitmap);
    if (m_dc != nullptr)
        ::DeleteDC(m_dc);
}

void CMemoryBitmapUI::CloseDC()
{
    if (m_dc == nullptr)
        return;
    if (m_previous != nullptr)
        ::SelectObject(m_dc, m_previous);
    m_previous = nullptr;
    ::DeleteDC(m_dc);
    m_dc = nullptr;
}

} // namespace ui
