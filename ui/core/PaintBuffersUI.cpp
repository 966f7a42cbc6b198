#include "ui/core/PaintBuffersUI.h"

#include <new>

#include "ui/base/UIAssert.h"
#include "ui/gfx/MemoryBitmap.h"

namespace ui {

namespace {

CMemoryBitmapUI* MakeBitmap(HDC reference, const SIZE& size)
{
    CMemoryBitmapUI* bitmap = new (std::nothrow) CMemoryBitmapUI(reference, size.cx, size.cy);
    if (bitmap != nullptr && !bitmap->IsReady()) {
        delete bitmap;
        bitmap = nullptr;
    }
    return bitmap;
}

void Blit(HDC target, HDC source, const RECT& area)
{
    ::BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, source, area.left,
             area.top, SRCCOPY);
}

} // namespace

HDC CPaintBuffersUI::Ensure(HDC reference, const SIZE& client)
{
    if (m_buffer != nullptr)
        return m_buffer->GetDC();
    if (reference == nullptr || client.cx <= 0 || client.cy <= 0)
        return nullptr;
    m_buffer = MakeBitmap(reference, client);
    m_size = client;
    return m_buffer != nullptr ? m_buffer->GetDC() : nullptr;
}

void CPaintBuffersUI::CopyBackground(HDC window, const RECT& area)
{
    UI_ASSERT(m_buffer != nullptr);
    if (m_buffer == nullptr)
        return;
    if (m_background == nullptr) {
        m_background = MakeBitmap(m_buffer->GetDC(), m_size);
        if (m_background == nullptr)
            return;
        // What lies under the window now is kept until the buffers go.
        Blit(m_background->GetDC(), window, area);
    }
    Blit(m_buffer->GetDC(), m_background->GetDC(), area);
}

void CPaintBuffersUI::CopyTo(HDC target, const RECT& area) const
{
    UI_ASSERT(m_buffer != nullptr);
    if (m_buffer != nullptr)
        Blit(target, m_buffer->GetDC(), area);
}

void CPaintBuffersUI::Release()
{
    delete m_buffer;
    delete m_background;
    m_buffer = nullptr;
    m_background = nullptr;
}

} // namespace ui
