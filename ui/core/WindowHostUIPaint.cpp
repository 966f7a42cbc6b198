// Window host: layout before painting, the paint message through the
// off-screen bitmap (or over a captured background), and drawing into a DC
// handed in by the print-client message.

#include "ui/core/WindowHostUI.h"

#include <new>

#include "ui/core/ControlUI.h"

namespace ui {

namespace {

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
        m_buffers.Release();
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
    if (m_focus.IsFocusNeeded() && m_root != nullptr)
        m_focus.PlaceAfterLayout();
}

// ---- painting ---------------------------------------------------------------------

void CWindowHostUI::PaintThroughBuffer(HDC target, HDC buffer, const RECT& paint)
{
    int saved = ::SaveDC(buffer);
    if (m_settings.alphaBackground)
        m_buffers.CopyBackground(target, paint);

    m_root->Paint(buffer, paint);
    // Walked by index: an overlay may leave the list while it paints.
    for (int i = 0; i < m_overlays.GetSize(); ++i)
        static_cast<CControlUI*>(m_overlays.GetAt(i))->PaintOverlay(buffer, paint);

    ::RestoreDC(buffer, saved);
    m_buffers.CopyTo(target, paint);

    if (m_settings.showUpdateRect) {
        HGDIOBJ oldPen = ::SelectObject(target, s_updatePen);
        HGDIOBJ oldBrush = ::SelectObject(target, ::GetStockObject(HOLLOW_BRUSH));
        ::Rectangle(target, paint.left, paint.top, paint.right, paint.bottom);
        ::SelectObject(target, oldBrush);
        ::SelectObject(target, oldPen);
    }
}

bool CWindowHostUI::OnPaint()
{
    // BeginPaint reports what needs painting: asking the update region
    // first would cost a second trip to the window manager on every paint.
    PAINTSTRUCT ps;
    if (m_root == nullptr) {
        ::BeginPaint(m_window, &ps);
        ::EndPaint(m_window, &ps);
        return true;
    }

    UpdateLayout();
    HDC buffer = nullptr;
    RECT client;
    if (m_settings.offscreenPaint && m_root != nullptr && ::GetClientRect(m_window, &client)) {
        SIZE size = { client.right - client.left, client.bottom - client.top };
        buffer = m_buffers.Ensure(m_paintDC, size);
    }

    HDC target = ::BeginPaint(m_window, &ps);
    if (target != nullptr && m_root != nullptr && !IsEmptyRect(ps.rcPaint)) {
        if (buffer != nullptr) {
            PaintThroughBuffer(target, buffer, ps.rcPaint);
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
