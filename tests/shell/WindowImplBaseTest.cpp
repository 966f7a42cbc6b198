// The skinned window base in real windows: the skin built from a resource,
// the hit test, the round-corner region, the maximised placement, the keys
// and commands it swallows, and the skin folder.

#include <gtest/gtest.h>

#include <string>

#include "shell/WindowImplBase.h"
#include "tests/ui/core/HostTestSupport.h"
#include "ui/core/ControlUI.h"

using namespace ui;

namespace {

class TestWindow : public WindowImplBase
{
public:
    TestWindow(const char* skin, const char* folder) : m_skin(skin), m_folder(folder) {}

    const char* ClassName() const override { return "WavorinWindowBaseTestWnd"; }
    void Notify(UINotify&) override {}
    void OnSkinLoaded() override { ++skinLoads; }

    int skinLoads = 0;

protected:
    const char* SkinFolder() const override { return m_folder; }
    const char* SkinFile() const override { return m_skin; }

private:
    const char* m_skin;
    const char* m_folder;
};

class WindowImplBaseTest : public ::testing::Test
{
protected:
    HWND Open(TestWindow& window)
    {
        HWND hwnd = window.Create(nullptr, "window base test", WS_POPUP | WS_CAPTION, 0, 50, 50, 400, 300);
        EXPECT_NE(hwnd, nullptr);
        hosttest::ShowWindowQuietly(hwnd);
        ::UpdateWindow(hwnd);  // lays the tree out
        return hwnd;
    }

    // The hit test of a client point, asked through the window message.
    static LRESULT HitAt(HWND hwnd, int x, int y)
    {
        return ::SendMessageA(hwnd, WM_NCHITTEST, 0, hosttest::ScreenPoint(hwnd, x, y));
    }

    void TearDown() override { CWindowHostUI::SetResourceFolder(""); }
};

TEST_F(WindowImplBaseTest, BuildsTheSkinFromItsResourceAndDropsTheCaption)
{
    TestWindow window("300", "");
    HWND hwnd = Open(window);
    EXPECT_EQ(window.skinLoads, 1);
    ASSERT_NE(window.GetHost().GetRootControl(), nullptr);
    EXPECT_NE(window.GetHost().FindControlByName("btn"), nullptr);
    LONG style = ::GetWindowLongA(hwnd, GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, 0);
    EXPECT_EQ(style & (WS_CLIPSIBLINGS | WS_CLIPCHILDREN), WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    ::DestroyWindow(hwnd);
}

TEST_F(WindowImplBaseTest, HitTestFindsBordersCornersCaptionAndButtons)
{
    TestWindow window("300", "");
    HWND hwnd = Open(window);
    RECT client;
    ::GetClientRect(hwnd, &client);
    ASSERT_EQ(client.right, 400);
    ASSERT_EQ(client.bottom, 300);
    struct Case
    {
        int x, y;
        LRESULT expected;
    } cases[] = {
        { 2, 2, HTTOPLEFT },        { 200, 2, HTTOP },          { 397, 2, HTTOPRIGHT },
        { 2, 150, HTLEFT },         { 397, 150, HTRIGHT },      { 2, 297, HTBOTTOMLEFT },
        { 200, 297, HTBOTTOM },     { 397, 297, HTBOTTOMRIGHT }, { 100, 20, HTCAPTION },  // the label
        { 370, 20, HTCLIENT },      // the button in the band
        { 200, 39, HTCAPTION },     { 200, 40, HTCLIENT },      { 200, 150, HTCLIENT },
        { 6, 150, HTCLIENT },       { 394, 150, HTCLIENT },     // just inside the borders
    };
    for (const Case& c : cases)
        EXPECT_EQ(HitAt(hwnd, c.x, c.y), c.expected) << c.x << "," << c.y;
    ::DestroyWindow(hwnd);
}

TEST_F(WindowImplBaseTest, MaximisedWindowHasNoBordersButItsCaptionStillDrags)
{
    TestWindow window("300", "");
    HWND hwnd = Open(window);
    ::ShowWindow(hwnd, SW_MAXIMIZE);
    ASSERT_TRUE(::IsZoomed(hwnd));
    ::UpdateWindow(hwnd);
    RECT client;
    ::GetClientRect(hwnd, &client);
    EXPECT_EQ(HitAt(hwnd, 2, 2), HTCAPTION);
    EXPECT_EQ(HitAt(hwnd, 2, client.bottom - 2), HTCLIENT);
    EXPECT_EQ(HitAt(hwnd, client.right - 2, client.bottom / 2), HTCLIENT);
    EXPECT_EQ(HitAt(hwnd, client.right - 30, 20), HTCLIENT);  // the button
    ::DestroyWindow(hwnd);
}

// A maximised window used to be placed at the monitor's corner, under a task
// bar at the top or the left.
TEST(WindowImplBasePlacementTest, MaximisedPlacementIsTheWorkAreaRelativeToTheMonitor)
{
    struct Case
    {
        RECT monitor, work;
        POINT position, size;
    } cases[] = {
        { { 0, 0, 1280, 1024 }, { 0, 0, 1280, 984 }, { 0, 0 }, { 1280, 984 } },        // task bar below
        { { 0, 0, 1280, 1024 }, { 0, 40, 1280, 1024 }, { 0, 40 }, { 1280, 984 } },     // above
        { { 0, 0, 1280, 1024 }, { 60, 0, 1280, 1024 }, { 60, 0 }, { 1220, 1024 } },     // left
        { { -1920, 0, 0, 1080 }, { -1920, 0, 0, 1040 }, { 0, 0 }, { 1920, 1040 } },    // second monitor
    };
    for (const Case& c : cases) {
        POINT position, size;
        WindowImplBase::MaximizedPlacement(c.monitor, c.work, position, size);
        EXPECT_EQ(position.x, c.position.x);
        EXPECT_EQ(position.y, c.position.y);
        EXPECT_EQ(size.x, c.size.x);
        EXPECT_EQ(size.y, c.size.y);
    }
}

TEST_F(WindowImplBaseTest, RoundCornersMakeARegionAndNoneMakeNone)
{
    struct Case
    {
        const char* skin;
        bool region;
    } cases[] = { { "300", true }, { "301", false } };
    for (const Case& c : cases) {
        TestWindow window(c.skin, "");
        HWND hwnd = Open(window);
        ::SetWindowPos(hwnd, nullptr, 0, 0, 420, 320, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        HRGN region = ::CreateRectRgn(0, 0, 0, 0);
        EXPECT_EQ(::GetWindowRgn(hwnd, region) != ERROR, c.region) << c.skin;
        ::DeleteObject(region);
        ::DestroyWindow(hwnd);
    }
}

TEST_F(WindowImplBaseTest, EscapePostsACloseAndTheCloseCommandIsSwallowed)
{
    TestWindow window("300", "");
    HWND hwnd = Open(window);
    hosttest::PumpMessages(hwnd, 0, 0xFFFFFFFF);

    bool handled = false;
    EXPECT_EQ(window.FilterMessage(WM_KEYDOWN, VK_RETURN, 0, handled), 0);
    EXPECT_EQ(window.FilterMessage(WM_KEYDOWN, VK_ESCAPE, 0, handled), 1);
    EXPECT_FALSE(handled);  // the key is still translated and dispatched
    MSG msg;
    ASSERT_TRUE(::PeekMessageA(&msg, hwnd, WM_CLOSE, WM_CLOSE, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 1u);

    EXPECT_EQ(::SendMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0), 0);
    EXPECT_EQ(::SendMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE | 2, 0), 0);
    EXPECT_FALSE(::PeekMessageA(&msg, hwnd, WM_CLOSE, WM_CLOSE, PM_NOREMOVE));
    EXPECT_TRUE(::IsWindow(hwnd));
    ::DestroyWindow(hwnd);
}

TEST_F(WindowImplBaseTest, SkinFolderGetsATrailingSeparator)
{
    struct Case
    {
        const char* folder;
        const char* expected;
    } cases[] = { { "skins", "skins\\" }, { "skins/", "skins/" }, { "skins\\", "skins\\" }, { "", "" } };
    for (const Case& c : cases) {
        TestWindow window("300", c.folder);
        HWND hwnd = Open(window);
        EXPECT_STREQ(CWindowHostUI::GetResourceFolder().GetData(), c.expected);
        ::DestroyWindow(hwnd);
    }
}

} // namespace
