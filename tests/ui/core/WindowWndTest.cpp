// The native window wrapper with real windows: registration, routing,
// the last message, centring and the asynchronous close.

#include <gtest/gtest.h>

#include <vector>

#include "HostTestSupport.h"

using namespace ui;
using namespace hosttest;

namespace {

class PlainWindow : public CWindowWnd
{
public:
    const char* ClassName() const override { return "WavorinPlainTestWnd"; }

    LRESULT HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        messages.push_back(message);
        if (message == WM_CLOSE)
            closeParams.push_back(wParam);
        return CWindowWnd::HandleWindowMessage(message, wParam, lParam);
    }

    void AfterLastMessage(HWND window) override
    {
        ++lastMessages;
        lastWindow = window;
        handleDuringLast = GetWindowHandle();
    }

    std::vector<UINT> messages;
    std::vector<WPARAM> closeParams;
    int lastMessages = 0;
    HWND lastWindow = nullptr;
    HWND handleDuringLast = reinterpret_cast<HWND>(1);
};

class EditSuperclass : public PlainWindow
{
public:
    const char* ClassName() const override { return "WavorinEditTestWnd"; }
    const char* SuperclassName() const override { return "EDIT"; }
};

class MissingSuperclass : public PlainWindow
{
public:
    const char* ClassName() const override { return "WavorinMissingTestWnd"; }
    const char* SuperclassName() const override { return "NoSuchSystemClass"; }
};

// Deletes itself after its last message, as the menu windows do.
class SelfDeletingWindow : public CWindowWnd
{
public:
    explicit SelfDeletingWindow(int* afterLast) : m_afterLast(afterLast) {}
    const char* ClassName() const override { return "WavorinPlainTestWnd"; }
    void AfterLastMessage(HWND) override
    {
        ++*m_afterLast;
        delete this;
    }

private:
    int* m_afterLast;
};

RECT WorkArea()
{
    RECT work;
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

TEST(WindowWndTest, EveryMessageArrivesAndTheLastOneUnbindsOnce)
{
    PlainWindow window;
    HWND hwnd = window.Create(nullptr, "plain", WS_POPUP, 0, 10, 10, 100, 80);
    ASSERT_NE(nullptr, hwnd);
    EXPECT_EQ(hwnd, window.GetWindowHandle());
    ASSERT_FALSE(window.messages.empty());
    EXPECT_EQ(static_cast<UINT>(WM_NCCREATE), window.messages.front());
    ::SendMessageA(hwnd, WM_APP + 3, 0, 0);
    EXPECT_EQ(static_cast<UINT>(WM_APP + 3), window.messages.back());

    ::DestroyWindow(hwnd);
    EXPECT_EQ(1, window.lastMessages);
    EXPECT_EQ(hwnd, window.lastWindow);
    EXPECT_EQ(nullptr, window.handleDuringLast);
    EXPECT_EQ(nullptr, window.GetWindowHandle());
    EXPECT_EQ(static_cast<UINT>(WM_DESTROY), window.messages.back());  // not WM_NCDESTROY
    EXPECT_EQ(0, ::GetWindowLongA(hwnd, GWL_USERDATA));
}

TEST(WindowWndTest, TwoWindowsOfOneClassRegisterItOnce)
{
    PlainWindow first;
    PlainWindow second;
    HWND one = first.Create(nullptr, "one", WS_POPUP, 0, 0, 0, 50, 50);
    HWND two = second.Create(nullptr, "two", WS_POPUP, 0, 0, 0, 50, 50);
    ASSERT_NE(nullptr, one);
    ASSERT_NE(nullptr, two);
    char name[64];
    ::GetClassNameA(two, name, sizeof(name));
    EXPECT_STREQ("WavorinPlainTestWnd", name);
    ::DestroyWindow(one);
    ::DestroyWindow(two);
    EXPECT_EQ(1, first.lastMessages);
    EXPECT_EQ(1, second.lastMessages);
}

TEST(WindowWndTest, WindowMayDeleteItselfAfterItsLastMessage)
{
    int afterLast = 0;
    SelfDeletingWindow* window = new SelfDeletingWindow(&afterLast);
    HWND hwnd = window->Create(nullptr, "self", WS_POPUP, 0, 0, 0, 50, 50);
    ASSERT_NE(nullptr, hwnd);
    ::DestroyWindow(hwnd);
    EXPECT_EQ(1, afterLast);
}

// Counts into a place that outlives it.
class CountingWindow : public CWindowWnd
{
public:
    explicit CountingWindow(int* count) : m_count(count) {}
    const char* ClassName() const override { return "WavorinPlainTestWnd"; }
    LRESULT HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        ++*m_count;
        return CWindowWnd::HandleWindowMessage(message, wParam, lParam);
    }
    void AfterLastMessage(HWND) override { ++*m_count; }

private:
    int* m_count;
};

TEST(WindowWndTest, ObjectDeletedBeforeItsWindowGetsNoMoreMessages)
{
    // Regression: the window kept the deleted object's address and routed
    // its remaining messages, the last one included, to freed memory.
    int count = 0;
    CountingWindow* window = new CountingWindow(&count);
    HWND hwnd = window->Create(nullptr, "orphan", WS_POPUP, 0, 0, 0, 50, 50);
    ASSERT_NE(nullptr, hwnd);
    delete window;
    count = 0;
    ::SendMessageA(hwnd, WM_APP + 3, 0, 0);
    ::DestroyWindow(hwnd);
    EXPECT_EQ(0, count);
}

TEST(WindowWndTest, SuperclassKeepsTheSystemClassBehaviour)
{
    EditSuperclass window;
    HWND hwnd = window.Create(nullptr, "typed", WS_POPUP, 0, 0, 0, 120, 30);
    ASSERT_NE(nullptr, hwnd);
    EXPECT_EQ(&window, ::GetPropA(hwnd, "WndX"));
    // The edit class's own procedure stores and returns the text.
    ::SetWindowTextA(hwnd, "hello");
    char text[16] = "";
    ::GetWindowTextA(hwnd, text, sizeof(text));
    EXPECT_STREQ("hello", text);
    ::DestroyWindow(hwnd);
    EXPECT_EQ(1, window.lastMessages);
    EXPECT_EQ(nullptr, window.GetWindowHandle());
}

TEST(WindowWndTest, WindowsAreWideAndTitlesHoldEveryCharacter)
{
    // An ANSI window kept only what the system's code page holds of its
    // title; the Thai and the emoji here are in no Chinese code page.
    const char title[] = "网吧 \xE0\xB8\x81 \xF0\x9F\x98\x80";
    const WCHAR expected[] = { 0x7F51, 0x5427, ' ', 0x0E01, ' ', 0xD83D, 0xDE00, 0 };
    PlainWindow plain;
    EditSuperclass edit;
    CWindowWnd* windows[] = { &plain, &edit };
    for (CWindowWnd* window : windows) {
        HWND hwnd = window->Create(nullptr, title, WS_POPUP, 0, 0, 0, 120, 30);
        ASSERT_NE(nullptr, hwnd);
        EXPECT_TRUE(::IsWindowUnicode(hwnd));
        WCHAR text[16] = {};
        ::GetWindowTextW(hwnd, text, 16);
        EXPECT_EQ(0, lstrcmpW(expected, text));
        ::DestroyWindow(hwnd);
    }
}

TEST(WindowWndTest, UnknownSuperclassFailsAndLeavesTheObjectUnbound)
{
    MissingSuperclass window;
    EXPECT_EQ(nullptr, window.Create(nullptr, "none", WS_POPUP, 0, 0, 0, 50, 50));
    EXPECT_EQ(nullptr, window.GetWindowHandle());
    EXPECT_EQ(0, window.lastMessages);
}

TEST(WindowWndTest, CloseIsHandledAfterTheCurrentMessage)
{
    PlainWindow window;
    HWND hwnd = window.Create(nullptr, "closing", WS_POPUP, 0, 0, 0, 50, 50);
    ASSERT_NE(nullptr, hwnd);
    window.Close();
    EXPECT_TRUE(window.closeParams.empty());
    PumpMessages(hwnd, WM_CLOSE, WM_CLOSE);
    ASSERT_EQ(1u, window.closeParams.size());
    EXPECT_EQ(1u, window.closeParams[0]);
    EXPECT_FALSE(::IsWindow(hwnd));  // the default handling destroyed it
    EXPECT_EQ(1, window.lastMessages);
    window.Close();  // nothing left to close
    MSG msg;
    EXPECT_FALSE(::PeekMessageA(&msg, nullptr, WM_CLOSE, WM_CLOSE, PM_NOREMOVE));
}

TEST(WindowWndTest, CentringWithoutOwnerUsesTheWorkArea)
{
    RECT work = WorkArea();
    const struct { int cx, cy; } sizes[] = { { 200, 100 }, { 301, 151 } };
    for (const auto& size : sizes) {
        PlainWindow window;
        HWND hwnd = window.Create(nullptr, "centre", WS_POPUP, 0, 3, 4, size.cx, size.cy);
        ASSERT_NE(nullptr, hwnd);
        window.CenterOnOwner();
        RECT rect;
        ::GetWindowRect(hwnd, &rect);
        EXPECT_EQ((work.left + work.right) / 2 - size.cx / 2, rect.left) << size.cx;
        EXPECT_EQ((work.top + work.bottom) / 2 - size.cy / 2, rect.top) << size.cy;
        EXPECT_EQ(size.cx, rect.right - rect.left);
        ::DestroyWindow(hwnd);
    }
}

TEST(WindowWndTest, CentringKeepsTheWindowInsideTheWorkArea)
{
    RECT work = WorkArea();
    PlainWindow owner;
    HWND ownerWindow = owner.Create(nullptr, "owner", WS_POPUP, 0, work.right - 60, work.top, 50, 50);
    ASSERT_NE(nullptr, ownerWindow);

    PlainWindow wide;
    HWND hwnd = wide.Create(nullptr, "wide", WS_POPUP, 0, 0, 0, work.right - work.left + 200, 40);
    ASSERT_NE(nullptr, hwnd);
    wide.CenterOnOwner();
    RECT rect;
    ::GetWindowRect(hwnd, &rect);
    EXPECT_EQ(work.left, rect.left);

    // Centred on an owner at the top right corner: pushed back inside.
    PlainWindow owned;
    HWND ownedWindow = owned.Create(ownerWindow, "owned", WS_POPUP, 0, 0, 0, 200, 100);
    ASSERT_NE(nullptr, ownedWindow);
    owned.CenterOnOwner();
    ::GetWindowRect(ownedWindow, &rect);
    EXPECT_EQ(work.right - 200, rect.left);
    EXPECT_EQ(work.top, rect.top);

    ::DestroyWindow(ownedWindow);
    ::DestroyWindow(hwnd);
    ::DestroyWindow(ownerWindow);
}

} // namespace
