// The paint message: layout before painting, "windowinit" once, repaint of
// changed controls, the off-screen bitmap, overlays, the update outline and
// drawing into a DC given by the print-client message.

#include <gtest/gtest.h>

#include <vector>

#include "HostTestSupport.h"
#include "ui/gfx/MemoryBitmap.h"

using namespace ui;
using namespace hosttest;

namespace {

const int kWidth = 200;
const int kHeight = 120;

// Counts its placements and paints; can ask for a layout from its paint.
class CountingControl : public CControlUI
{
public:
    explicit CountingControl(DWORD color) { SetBkColor(color); }

    void SetBounds(const RECT& rect) override
    {
        ++placements;
        CControlUI::SetBounds(rect);
    }

    void Paint(HDC dc, const RECT& dirty) override
    {
        ++paints;
        CControlUI::Paint(dc, dirty);
        if (layoutRequestsFromPaint > 0) {
            --layoutRequestsFromPaint;
            RequestLayout();
        }
    }

    int placements = 0;
    int paints = 0;
    int layoutRequestsFromPaint = 0;
};

// Fills its top-left 10 x 10 pixels in green when painted as an overlay.
class OverlayControl : public CControlUI
{
public:
    void PaintOverlay(HDC dc, const RECT&) override
    {
        ++overlayPaints;
        RECT rc = GetBounds();
        rc.right = rc.left + 10;
        rc.bottom = rc.top + 10;
        HBRUSH brush = ::CreateSolidBrush(RGB(0, 255, 0));
        ::FillRect(dc, &rc, brush);
        ::DeleteObject(brush);
    }

    int overlayPaints = 0;
};

class PaintWindow : public HostWindow
{
public:
    const char* ClassName() const override { return "WavorinPaintTestWnd"; }
};

// A 32-bit top-down DIB selected into a memory DC.
class Canvas
{
public:
    Canvas(int width, int height) : m_width(width), m_surface(nullptr, width, height)
    {
        dc = m_surface.GetDC();
        RECT all = { 0, 0, width, height };
        ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    }

    // 0xRRGGBB
    DWORD At(int x, int y) const
    {
        ::GdiFlush();
        return m_surface.GetBits()[y * m_width + x] & 0xFFFFFF;
    }

    HDC dc;

private:
    int m_width;
    CMemoryBitmapUI m_surface;
};

// Root (200 x 120, white) with two rows: a (blue, 40 high) and b (grey,
// the rest).
class WindowHostPaintTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(window.Create(nullptr, "paint test", WS_POPUP, 0, 0, 0, kWidth, kHeight) != nullptr);
        hwnd = window.GetWindowHandle();
        host = new CWindowHostUI;
        window.host = host;
        host->AttachWindow(hwnd);
        root = new CVerticalLayoutUI;
        root->SetBkColor(0xFFFFFFFF);
        a = new CountingControl(0xFF0000FF);
        a->SetPresetHeight(40);
        b = new CountingControl(0xFF808080);
        root->AddChild(a);
        root->AddChild(b);
        host->AddListener(&recorder);
        ASSERT_TRUE(host->AttachRoot(root));
    }

    void TearDown() override
    {
        if (::IsWindow(hwnd))
            ::DestroyWindow(hwnd);
        window.host = nullptr;
        delete host;
    }

    void ShowAndPaint()
    {
        ShowWindowQuietly(hwnd);
        ::UpdateWindow(hwnd);
    }

    int WindowInits() const
    {
        int count = 0;
        for (const std::string& line : log)
            count += line.compare(0, 18, "notify:windowinit:") == 0;
        return count;
    }

    // What the window shows now.
    DWORD ScreenPixel(int x, int y)
    {
        Canvas canvas(kWidth, kHeight);
        HDC dc = ::GetDC(hwnd);
        ::BitBlt(canvas.dc, 0, 0, kWidth, kHeight, dc, 0, 0, SRCCOPY);
        ::ReleaseDC(hwnd, dc);
        return canvas.At(x, y);
    }

    PaintWindow window;
    HWND hwnd = nullptr;
    CWindowHostUI* host = nullptr;
    CVerticalLayoutUI* root = nullptr;
    CountingControl* a = nullptr;
    CountingControl* b = nullptr;
    Log log;
    NotifyRecorder recorder{ &log };
};

TEST_F(WindowHostPaintTest, FirstPaintLaysOutTheTreeAndSendsWindowInitOnce)
{
    EXPECT_EQ(0, WindowInits());
    EXPECT_TRUE(host->IsUpdateNeeded());
    ShowAndPaint();

    ASSERT_EQ(1, WindowInits());
    EXPECT_EQ(root, recorder.notes[0].sender);
    EXPECT_FALSE(host->IsUpdateNeeded());
    RECT expected = { 0, 0, kWidth, kHeight };
    EXPECT_TRUE(::EqualRect(&expected, &root->GetBounds()));
    EXPECT_EQ(40, a->GetBounds().bottom);

    // Neither another paint nor a resize announces the window again.
    ::InvalidateRect(hwnd, nullptr, FALSE);
    ::UpdateWindow(hwnd);
    ::SetWindowPos(hwnd, nullptr, 0, 0, kWidth + 20, kHeight + 10, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::UpdateWindow(hwnd);
    EXPECT_EQ(1, WindowInits());
    EXPECT_EQ(kWidth + 20, root->GetBounds().right);
    EXPECT_EQ(kHeight + 10, b->GetBounds().bottom);

    // A new root is announced once more.
    CVerticalLayoutUI* other = new CVerticalLayoutUI;
    ASSERT_TRUE(host->AttachRoot(other));
    ::InvalidateRect(hwnd, nullptr, FALSE);
    ::UpdateWindow(hwnd);
    ::UpdateWindow(hwnd);
    EXPECT_EQ(2, WindowInits());
    EXPECT_EQ(other, recorder.notes[1].sender);
}

TEST_F(WindowHostPaintTest, OneLayoutRequestPlacesOnlyThatControlAndOnlyOnce)
{
    ShowAndPaint();
    a->placements = b->placements = 0;

    a->RequestLayout();
    EXPECT_TRUE(host->IsUpdateNeeded());
    ::UpdateWindow(hwnd);
    ::InvalidateRect(hwnd, nullptr, FALSE);
    ::UpdateWindow(hwnd);

    EXPECT_EQ(1, a->placements);
    EXPECT_EQ(0, b->placements);
    EXPECT_FALSE(a->IsLayoutPending());
}

TEST_F(WindowHostPaintTest, ChangedAttributeRepaintsTheControl)
{
    ShowAndPaint();
    RECT update;
    EXPECT_FALSE(::GetUpdateRect(hwnd, &update, FALSE));
    EXPECT_EQ(0x0000FF, ScreenPixel(10, 10));

    a->SetBkColor(0xFFFF0000);
    ASSERT_TRUE(::GetUpdateRect(hwnd, &update, FALSE));
    EXPECT_TRUE(::EqualRect(&update, &a->GetBounds()));
    int before = b->paints;
    ::UpdateWindow(hwnd);

    EXPECT_EQ(0xFF0000, ScreenPixel(10, 10));
    EXPECT_EQ(0x808080, ScreenPixel(10, 80));
    EXPECT_EQ(before, b->paints);  // b lies outside the repainted rectangle and skips itself
}

TEST_F(WindowHostPaintTest, SizeChangeIsLaidOutBeforeTheNextPaint)
{
    ShowAndPaint();
    a->SetPresetHeight(70);
    EXPECT_TRUE(host->IsUpdateNeeded());
    EXPECT_EQ(0x808080, ScreenPixel(10, 60));

    ::UpdateWindow(hwnd);
    EXPECT_FALSE(host->IsUpdateNeeded());
    EXPECT_EQ(70, a->GetBounds().bottom);
    EXPECT_EQ(0x0000FF, ScreenPixel(10, 60));
    EXPECT_EQ(0x808080, ScreenPixel(10, 75));
}

TEST_F(WindowHostPaintTest, LayoutRequestFromPaintCausesExactlyOneMorePaint)
{
    ShowAndPaint();
    int before = a->paints;
    a->layoutRequestsFromPaint = 1;
    ::InvalidateRect(hwnd, nullptr, FALSE);
    ::UpdateWindow(hwnd);
    PumpMessages(hwnd, WM_PAINT, WM_PAINT, 10);

    EXPECT_EQ(before + 2, a->paints);
    RECT update;
    EXPECT_FALSE(::GetUpdateRect(hwnd, &update, FALSE));
    EXPECT_FALSE(host->IsUpdateNeeded());
}

TEST_F(WindowHostPaintTest, OffscreenPaintingShowsTreeAndOverlays)
{
    OverlayControl* overlay = new OverlayControl;
    overlay->SetPresetHeight(20);
    root->AddChild(overlay);
    host->AddOverlayControl(overlay);
    ShowAndPaint();

    EXPECT_EQ(1, overlay->overlayPaints);
    EXPECT_EQ(0x0000FF, ScreenPixel(5, 5));
    EXPECT_EQ(0x808080, ScreenPixel(5, 60));
    EXPECT_EQ(0x00FF00, ScreenPixel(5, b->GetBounds().bottom + 5));

    // Painting straight into the window leaves the overlays out.
    host->SetOffscreenPainting(false);
    ::InvalidateRect(hwnd, nullptr, FALSE);
    ::UpdateWindow(hwnd);
    EXPECT_EQ(1, overlay->overlayPaints);
    EXPECT_EQ(0x0000FF, ScreenPixel(5, 5));
    EXPECT_EQ(0x808080, ScreenPixel(5, 60));
}

TEST_F(WindowHostPaintTest, HiddenOrMinimisedWindowKeepsNoBufferUntilItsNextPaint)
{
    ShowAndPaint();
    EXPECT_TRUE(host->HoldsPaintBuffer());
    ::ShowWindow(hwnd, SW_HIDE);
    EXPECT_FALSE(host->HoldsPaintBuffer());
    ShowAndPaint();
    EXPECT_TRUE(host->HoldsPaintBuffer());
    EXPECT_EQ(0x0000FF, ScreenPixel(5, 5));
    ::SendMessageA(hwnd, WM_SIZE, SIZE_MINIMIZED, 0);
    EXPECT_FALSE(host->HoldsPaintBuffer());
}

TEST_F(WindowHostPaintTest, ShowUpdateRectOutlinesThePaintedRectangle)
{
    host->SetShowUpdateRect(true);
    ShowAndPaint();
    RECT part = { 50, 50, 100, 100 };
    ::InvalidateRect(hwnd, &part, FALSE);
    ::UpdateWindow(hwnd);

    EXPECT_EQ(0xDC0000, ScreenPixel(50, 50));
    EXPECT_EQ(0xDC0000, ScreenPixel(99, 75));
    EXPECT_EQ(0x808080, ScreenPixel(75, 75));
}

TEST_F(WindowHostPaintTest, PrintClientDrawsTheTreeIntoTheGivenDC)
{
    ShowAndPaint();
    Canvas canvas(kWidth, kHeight);
    LRESULT result = ::SendMessageA(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc), PRF_CLIENT);
    EXPECT_EQ(0, result);
    EXPECT_EQ(0x0000FF, canvas.At(10, 10));
    EXPECT_EQ(0x808080, canvas.At(10, 100));

    // A null DC is ignored.
    ::SendMessageA(hwnd, WM_PRINTCLIENT, 0, PRF_CLIENT);
}

// A child window that prints itself as a black rectangle and keeps the
// options it was given.
LPARAM s_childPrintOptions = 0;

LRESULT CALLBACK BlackChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PRINT) {
        s_childPrintOptions = lParam;
        RECT rc;
        ::GetClientRect(window, &rc);
        ::FillRect(reinterpret_cast<HDC>(wParam), &rc, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(WindowHostPaintTest, PrintClientWithChildrenPrintsChildWindowsInPlace)
{
    WNDCLASSA cls;
    ZeroMemory(&cls, sizeof(cls));
    cls.lpfnWndProc = BlackChildProc;
    cls.hInstance = ::GetModuleHandleA(nullptr);
    cls.lpszClassName = "WavorinPaintTestChild";
    ::RegisterClassA(&cls);
    ShowAndPaint();
    HWND child = ::CreateWindowExA(0, cls.lpszClassName, "", WS_CHILD | WS_VISIBLE, 150, 10, 30, 20, hwnd,
                                   nullptr, cls.hInstance, nullptr);
    ASSERT_NE(nullptr, child);
    Canvas canvas(kWidth, kHeight);
    ::SendMessageA(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc), PRF_CLIENT | PRF_CHILDREN);

    EXPECT_EQ(PRF_CLIENT | PRF_CHILDREN | PRF_NONCLIENT, s_childPrintOptions);
    EXPECT_EQ(0x0000FF, canvas.At(10, 10));
    EXPECT_EQ(0x000000, canvas.At(150, 10));
    EXPECT_EQ(0x000000, canvas.At(179, 29));
    EXPECT_EQ(0x0000FF, canvas.At(149, 10));
    EXPECT_EQ(0x0000FF, canvas.At(180, 29));
    // The DC's origin is given back.
    POINT origin;
    ::GetWindowOrgEx(canvas.dc, &origin);
    EXPECT_EQ(0, origin.x);
    EXPECT_EQ(0, origin.y);
    ::DestroyWindow(child);
}

TEST_F(WindowHostPaintTest, FirstPaintGivesTheFocusToTheFirstTabStop)
{
    ProbeControl* stop = new ProbeControl("stop", &log, ControlFlagTabStop);
    root->AddChild(stop);
    EXPECT_TRUE(host->IsFocusNeeded());
    ShowAndPaint();
    EXPECT_EQ(stop, host->GetFocusControl());
    EXPECT_FALSE(host->IsFocusNeeded());
}

TEST_F(WindowHostPaintTest, AlphaBackgroundIsCapturedOnceUntilTheNextFullLayout)
{
    // b paints nothing of its own, so that the background shows through.
    b->SetBkColor(0);
    root->SetBkColor(0);
    host->SetAlphaBackground(true);
    ShowWindowQuietly(hwnd);
    auto fillWindow = [this](int brush) {
        HDC dc = ::GetDC(hwnd);
        RECT all = { 0, 0, kWidth + 40, kHeight + 40 };
        ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(brush)));
        ::ReleaseDC(hwnd, dc);
    };
    fillWindow(GRAY_BRUSH);
    ::UpdateWindow(hwnd);
    EXPECT_EQ(0x0000FF, ScreenPixel(10, 10));
    EXPECT_EQ(0x808080, ScreenPixel(10, 80));

    fillWindow(WHITE_BRUSH);
    ::InvalidateRect(hwnd, nullptr, FALSE);
    ::UpdateWindow(hwnd);
    EXPECT_EQ(0x808080, ScreenPixel(10, 80));  // the first capture

    ::SetWindowPos(hwnd, nullptr, 0, 0, kWidth, kHeight + 20, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    fillWindow(WHITE_BRUSH);
    ::InvalidateRect(hwnd, nullptr, FALSE);
    ::UpdateWindow(hwnd);
    EXPECT_EQ(0xFFFFFF, ScreenPixel(10, 80));  // captured again after the resize
}

class MinimisedWindowTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        if (::IsWindow(window.GetWindowHandle()))
            ::DestroyWindow(window.GetWindowHandle());
        window.host = nullptr;
    }

    PaintWindow window;
    CWindowHostUI host;
};

TEST_F(MinimisedWindowTest, PaintWithoutClientAreaWaitsForARealSize)
{
    HWND hwnd = window.Create(nullptr, "minimised", WS_OVERLAPPEDWINDOW, 0, 0, 0, 200, 150);
    ASSERT_NE(nullptr, hwnd);
    window.host = &host;
    host.AttachWindow(hwnd);
    Log log;
    NotifyRecorder recorder(&log);
    host.AddListener(&recorder);
    CVerticalLayoutUI* root = new CVerticalLayoutUI;
    host.AttachRoot(root);

    ::ShowWindow(hwnd, SW_SHOWMINNOACTIVE);
    ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ::SendMessageA(hwnd, WM_PAINT, 0, 0);
    EXPECT_TRUE(log.empty());

    ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ASSERT_EQ(1u, log.size());
    EXPECT_EQ("notify:windowinit:", log[0]);
    RECT client;
    ::GetClientRect(hwnd, &client);
    EXPECT_TRUE(::EqualRect(&client, &root->GetBounds()));
}

TEST_F(WindowHostPaintTest, PaintsAndResizesLeaveNoGdiObjectBehind)
{
    host->SetAlphaBackground(true);
    host->SetShowUpdateRect(true);
    ShowAndPaint();
    size_t before = GdiHeadroom();
    for (int i = 0; i < 200; ++i) {
        if (i % 10 == 0)
            ::SetWindowPos(hwnd, nullptr, 0, 0, kWidth + i % 20, kHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        ::InvalidateRect(hwnd, nullptr, FALSE);
        ::UpdateWindow(hwnd);
    }
    size_t after = GdiHeadroom();
    // A few objects of the platform's own may come or go.
    EXPECT_LE(before, after + 8);
}

} // namespace
