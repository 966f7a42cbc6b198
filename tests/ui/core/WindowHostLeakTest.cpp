// A thousand windows with a painted tree, fonts, a timer and a tooltip come
// and go without leaving a GDI object or a window behind. GetGuiResources
// cannot be trusted everywhere, so the GDI headroom is measured instead: how
// many objects can still be made before creation fails.

#include <gtest/gtest.h>

#include <vector>

#include "HostTestSupport.h"

using namespace ui;
using namespace hosttest;

namespace {

class LeakWindow : public HostWindow
{
public:
    const char* ClassName() const override { return "WavorinLeakTestWnd"; }
};

BOOL CALLBACK CountWindow(HWND, LPARAM count)
{
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int ThreadWindowCount()
{
    int count = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

void PumpAll()
{
    MSG msg;
    for (int i = 0; i < 1000 && ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i)
        ::DispatchMessageA(&msg);
}

// One life of a window: created, given a tree and resources, painted,
// hovered, and destroyed before its host, as the program's windows are.
void WindowLife(Log* log)
{
    LeakWindow window;
    CWindowHostUI* host = new CWindowHostUI;
    window.host = host;
    HWND hwnd = window.Create(nullptr, "leak", WS_POPUP, 0, 0, 0, 200, 150);
    ASSERT_NE(nullptr, hwnd);
    ShowWindowQuietly(hwnd);
    host->AttachWindow(hwnd);
    host->SetBaseFont("Tahoma", 13, false, false, false);
    host->RegisterFont("Tahoma", 20, true, false, false);
    host->RegisterFont("SimSun", 12, false, true, true);
    host->SetClassDefaults("Button", "width=\"10\"");

    CVerticalLayoutUI* root = new CVerticalLayoutUI;
    root->SetBkColor(0xFFFFFFFF);
    ProbeControl* first = new ProbeControl("first", log);
    first->SetTooltip("tip");
    first->SetBorderRound(SIZE{ 4, 4 });
    root->AddChild(first);
    root->AddChild(new ProbeControl("second", log));
    CVerticalLayoutUI* inner = new CVerticalLayoutUI;
    inner->SetBkColor(0x80FF0000);
    inner->AddChild(new ProbeControl("third", log));
    root->AddChild(inner);
    host->AttachRoot(root);
    RECT all = { 0, 0, 200, 150 };
    root->SetBounds(all);
    host->SetControlTimer(first, 1, 100000);
    host->GetFontRecord(1);

    ::InvalidateRect(hwnd, nullptr, FALSE);
    ::UpdateWindow(hwnd);
    EXPECT_FALSE(::GetUpdateRect(hwnd, nullptr, FALSE));  // painted and validated
    ::SendMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    ::SendMessageA(hwnd, WM_MOUSEHOVER, 0, MAKELPARAM(5, 5));
    root->RemoveChild(inner);  // delayed deletion, still pending at the end

    ::DestroyWindow(hwnd);
    EXPECT_EQ(1, window.lastMessages);
    window.host = nullptr;
    delete host;
    PumpAll();
}

TEST(WindowHostLeakTest, ThousandWindowLivesLeaveNoGdiObjectOrWindow)
{
    Log log;
    WindowLife(&log);  // first use: process-wide objects are made here
    PumpAll();
    size_t headroom = GdiHeadroom();
    int windows = ThreadWindowCount();
    ASSERT_GT(headroom, 1000u);

    for (int i = 0; i < 1000; ++i) {
        log.clear();
        WindowLife(&log);
        if (::testing::Test::HasFatalFailure())
            return;
    }

    EXPECT_EQ(headroom, GdiHeadroom()) << "objects that could be made before the cycles";
    EXPECT_EQ(windows, ThreadWindowCount());
    // The class was registered once and no window of it is left.
    EXPECT_TRUE(::UnregisterClassA("WavorinLeakTestWnd", CWindowHostUI::GetProgramInstance()));
    EXPECT_FALSE(::UnregisterClassA("WavorinLeakTestWnd", CWindowHostUI::GetProgramInstance()));
}

} // namespace
