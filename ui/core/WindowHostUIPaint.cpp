// Window host: layout before painting, the paint message through the
// off-screen bitmap (or over a captured background), and drawing into a DC
// handed in by the print-client message.

#include "ui/core/WindowHostUI.h"

#include <new>

#include "ui/core/ControlUI.h"
#include "ui/gfx/MemoryBitmap.h"

namespace ui {

namespace {

const DWORD kCopy = SRCCOPY;  // 0xCC0020

bool IsEmptyRect(const RECT& rc)
{
    return rc.right <= rc.left || rc.bottom <= rc.top;
}

} // namespace

// ---- layout ---------------------------------------------------------------------

void CWindowHostUI::LayoutBeforePaint()
{
    m_updateNeeded = false;
    RECT client;
    if (!::GetClientRect(m_window, &client) || IsEmptyRect(client))
        return;  // a minimised window waits for a real size

    if (m_root->IsLayoutPending()) {
        m_root->SetBounds(client);
        // The buffers follow the new size at the next paint.
        ReleasePaintBuffers();
    }
    // Only the paths down to the controls that asked are walked; a layout
    // leaves alone the children of a control placed where it already was.
    m_root->PlacePendingLayouts();

    if (m_firstLayout) {
        m_firstLayout = false;
        SendNotification(m_root, "windowinit");
    }
}

void CWindowHostUI::UpdateLayout()
{
    if (m_root == nullptr || m_window == nullptr)
        return;
    if (m_updateNeeded)
        LayoutBeforePaint();
    // The layout may have sent "windowinit", whose listeners may have
    // replaced or dropped the tree.
    if (m_focusNeeded && m_root != nullptr)
        PlaceFocusAfterPaintLayout();
}

void CWindowHostUI::PlaceFocusAfterPaintLayout()
{
    if (m_updateNeeded) {
        // The layout asked for another one; the focus waits for it.
        ::InvalidateRect(m_window, nullptr, FALSE);
        return;
    }
    CControlUI* next = FindTabStop(m_focus, true);
    if (next != nullptr)
        SetFocusControl(next);
    m_focusNeeded = false;
}

// ---- painting ---------------------------------------------------------------------

void CWindowHostUI::ReleasePaintBuffers()
{
    delete m_offscreen;
    delete m_background;
    m_offscreen = nullptr;
    m_background = nullptr;
}

bool CWindowHostUI::EnsureOffscreenBuffer()
{
    if (m_offscreen != nullptr)
        return true;
    RECT client;
    if (m_paintDC == nullptr || !::GetClientRect(m_window, &client) || IsEmptyRect(client))
        return false;
    m_offscreen =
        new (std::nothrow) CMemoryBitmapUI(m_paintDC, client.right - client.left, client.bottom - client.top);
    if (m_offscreen == nullptr || !m_offscreen->IsReady()) {
        // Painting goes straight to the window rather than nowhere.
        ReleasePaintBuffers();
        return false;
    }
    return true;
}

void CWindowHostUI::CopyBackground(HDC target, const RECT& paint)
{
    if (m_background == nullptr) {
        RECT client;
        ::GetClientRect(m_window, &client);
        m_background =
            new (std::nothrow) CMemoryBitmapUI(m_paintDC, client.right - client.left, client.bottom - client.top);
        if (m_background == nullptr || !m_background->IsReady()) {
            delete m_background;
            m_background = nullptr;
            return;
        }
        // What lies under the window now is kept until the next full layout.
        ::BitBlt(m_background->GetDC(), paint.left, paint.top, paint.right - paint.left, paint.bottom - paint.top,
                 target, paint.left, paint.top, kCopy);
    }
    ::BitBlt(m_offscreen->GetDC(), paint.left, paint.top, paint.right - paint.left, paint.bottom - paint.top,
             m_background->GetDC(), paint.left, paint.top, kCopy);
}

void CWindowHostUI::PaintThroughBuffer(HDC target, const RECT& paint)
{
    HDC buffer = m_offscreen->GetDC();
    int saved = ::SaveDC(buffer);
    if (m_alphaBackground)
        CopyBackground(target, paint);

    m_root->Paint(buffer, paint);
    // Walked by index: an overlay may leave the list while it paints.
    for (int i = 0; i < m_overlays.GetSize(); ++i)
        static_cast<CControlUI*>(m_overlays.GetAt(i))->PaintOverlay(buffer, paint);

    ::RestoreDC(buffer, saved);
    ::BitBlt(target, paint.left, paint.top, paint.right - paint.left, paint.bottom - paint.top, buffer, paint.left,
             paint.top, kCopy);

    if (m_showUpdateRect) {
        HGDIOBJ oldPen = ::SelectObject(target, s_updatePen);
        HGDIOBJ oldBrush = ::SelectObject(target, ::GetStockObject(HOLLOW_BRUSH));
        ::Rectangle(target, paint.left, paint.top, paint.right, paint.bottom);
        ::SelectObject(target, oldBrush);
        ::SelectObject(target, oldPen);
    }
}

bool CWindowHostUI::OnPaint()
{
    RECT update;
    if (!::GetUpdateRect(m_window, &update, FALSE))
        return true;
    PAINTSTRUCT ps;
    if (m_root == nullptr) {
        ::BeginPaint(m_window, &ps);
        ::EndPaint(m_window, &ps);
        return true;
    }

    UpdateLayout();
    bool buffered = m_offscreenPaint && m_root != nullptr && EnsureOffscreenBuffer();

    HDC target = ::BeginPaint(m_window, &ps);
    if (target != nullptr && m_root != nullptr) {
        if (buffered) {
            PaintThroughBuffer(target, ps.rcPaint);
        } else {
            int saved = ::SaveDC(target);
            m_root->Paint(target, ps.rcPaint);
            ::RestoreDC(target, saved);
        }
    }
    ::EndPaint(m_window, &ps);

    // A control that asked for layout while painting gets another paint.
    if (m_updateNeeded)
        ::InvalidateRect(m_window, nullptr, FALSE);
    return true;
}

// ---- drawing into a given DC ---------------------------------------------------------

void CWindowHostUI::OnPrintClient(HDC dc, LPARAM options)
{
    if (dc == nullptr)
        return;
    RECT client;
    ::GetClientRect(m_window, &client);
    int saved = ::SaveDC(dc);
    if (m_root != nullptr)
        m_root->Paint(dc, client);
    if ((options & PRF_CHILDREN) != 0) {
        for (HWND child = ::GetWindow(m_window, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
            RECT rc;
            ::GetWindowRect(child, &rc);
            ::MapWindowPoints(HWND_DESKTOP, m_window, reinterpret_cast<POINT*>(&rc), 2);
            ::SetWindowOrgEx(dc, -rc.left, -rc.top, nullptr);
            ::SendMessageA(child, WM_PRINT, reinterpret_cast<WPARAM>(dc), options | PRF_NONCLIENT);
        }
    }
    ::RestoreDC(dc, saved);
}

} // namespace ui
