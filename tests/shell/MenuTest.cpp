// The popup menu in real windows: the tray menu's size and highlight, the
// press that ends the program, nested menus beside their items and inside
// the work area, closing by focus and Escape, and what 200 menus leave
// behind.

#include <gtest/gtest.h>

#include <windows.h>

#include <string.h>

#include <vector>

#include "shell/MenuUI.h"
#include "shell/MenuWnd.h"
#include "tests/ui/core/HostTestSupport.h"
#include "ui/base/Utf8.h"
#include "ui/controls/ButtonUI.h"
#include "ui/gfx/Renderer.h"

using namespace ui;

namespace {

const char* const kTrayMenu = MAKEINTRESOURCEA(123);
const char* const kNestedMenu = MAKEINTRESOURCEA(400);
const char* const kImageMenu = MAKEINTRESOURCEA(401);

// Colours of the menu image (resource 121) and of a selected item.
const uint32_t kFrameBlue = 0x6F8FD6;
const uint32_t kGutter = 0xEDF2FB;
const uint32_t kWhite = 0xFFFFFF;
const uint32_t kSelectedBk = 0xC1E3FF;

bool IsMenuWindow(HWND window)
{
    char name[32];
    return ::GetClassNameA(window, name, sizeof(name)) > 0 && strcmp(name, "MenuWnd") == 0;
}

BOOL CALLBACK CountMenuWindow(HWND window, LPARAM count)
{
    if (IsMenuWindow(window))
        ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int MenuWindowCount()
{
    int count = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), CountMenuWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

BOOL CALLBACK CloseMenuWindow(HWND window, LPARAM)
{
    if (IsMenuWindow(window))
        ::PostMessageA(window, WM_CLOSE, 1, 0);
    return TRUE;
}

RECT WindowRect(HWND window)
{
    RECT rc = {};
    ::GetWindowRect(window, &rc);
    return rc;
}

RECT WorkArea()
{
    RECT work = {};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

bool Inside(const RECT& inner, const RECT& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right
        && inner.bottom <= outer.bottom;
}

// The client area as the window's host paints it, 0x00RRGGBB, rows top-down.
class Capture
{
public:
    explicit Capture(HWND window)
    {
        RECT client;
        ::GetClientRect(window, &client);
        width = client.right;
        height = client.bottom;
        HDC dc = ::CreateCompatibleDC(nullptr);
        DWORD* bits = nullptr;
        HBITMAP bitmap = CRenderer::CreateTopDownDib(dc, width, height, &bits);
        if (bitmap == nullptr) {
            ::DeleteDC(dc);
            return;
        }
        HGDIOBJ previous = ::SelectObject(dc, bitmap);
        ::SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        ::GdiFlush();
        pixels.assign(bits, bits + width * height);
        ::SelectObject(dc, previous);
        ::DeleteObject(bitmap);
        ::DeleteDC(dc);
    }

    uint32_t At(int x, int y) const { return pixels.empty() ? 0xDEADBEEF : pixels[y * width + x] & 0xFFFFFF; }

    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

class MenuTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(0, MenuWindowCount()); }

    void TearDown() override
    {
        ::EnumThreadWindows(::GetCurrentThreadId(), CloseMenuWindow, 0);
        EXPECT_TRUE(PumpUntil([] { return MenuWindowCount() == 0; }));
        TakeQuit();
        if (outside != nullptr)
            ::DestroyWindow(outside);
    }

    // Dispatches the thread's messages until `done` holds, for at most
    // `ms`. A quit message is counted, not dispatched, so that it never
    // reaches a later loop of the test program.
    template <typename Done>
    bool PumpUntil(Done done, DWORD ms = 5000)
    {
        DWORD start = ::GetTickCount();
        for (;;) {
            MSG msg;
            while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) {
                    ++quits;
                    continue;
                }
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
            if (done())
                return true;
            if (::GetTickCount() - start >= ms)
                return false;
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }

    // Dispatches what is queued now.
    void Drain()
    {
        PumpUntil([] { return true; });
    }

    // True when a quit message was posted since the last call; removes it.
    bool TakeQuit()
    {
        MSG msg;
        bool queued = ::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
        bool any = queued || quits > 0;
        quits = 0;
        return any;
    }

    // A top-level menu from `skin` at the screen point, laid out and painted.
    CMenuWnd* Open(const char* skin, int x, int y)
    {
        int before = MenuWindowCount();
        CMenuWnd* menu = new CMenuWnd(nullptr);
        menu->ShowAt("xml", nullptr, skin, x, y);
        // A menu whose window could not be made has deleted itself.
        if (MenuWindowCount() != before + 1)
            return nullptr;
        HWND window = menu->GetWindowHandle();
        ::UpdateWindow(window);
        Drain();
        // A menu that lost the focus meanwhile has closed and deleted itself.
        return ::IsWindow(window) ? menu : nullptr;
    }

    static CMenuElementUI* Item(CMenuWnd* menu, const char* name)
    {
        CControlUI* control = menu->GetHost().FindControlByName(name);
        return control != nullptr ? static_cast<CMenuElementUI*>(control->FindInterface("MenuElement")) : nullptr;
    }

    static LPARAM Middle(CControlUI* control)
    {
        const RECT& b = control->GetBounds();
        return MAKELPARAM((b.left + b.right) / 2, (b.top + b.bottom) / 2);
    }

    // The mouse moves onto the item, as the window's messages say it.
    void MoveTo(CMenuWnd* menu, const char* name)
    {
        CMenuElementUI* item = Item(menu, name);
        ASSERT_NE(nullptr, item) << name;
        ::SendMessageA(menu->GetWindowHandle(), WM_MOUSEMOVE, 0, Middle(item));
        Drain();
    }

    // Opens the nested menu of the item "more" of `top`; its window, or null.
    CMenuWnd* OpenNested()
    {
        if (top == nullptr || !::IsWindow(top->GetWindowHandle()))
            return nullptr;
        CMenuElementUI* more = Item(top, "more");
        if (more == nullptr)
            return nullptr;
        MoveTo(top, "more");
        bool opened = PumpUntil([more] {
            return more->GetSubMenuWindow() != nullptr
                && ::IsWindowVisible(more->GetSubMenuWindow()->GetWindowHandle());
        });
        if (!opened)
            return nullptr;
        ::UpdateWindow(more->GetSubMenuWindow()->GetWindowHandle());
        return more->GetSubMenuWindow();
    }

    // The test menu at the point with its nested menu open.
    CMenuWnd* OpenChain(int x, int y)
    {
        top = Open(kNestedMenu, x, y);
        return top != nullptr ? OpenNested() : nullptr;
    }

    CMenuWnd* top = nullptr;
    HWND outside = nullptr;
    int quits = 0;
};

TEST_F(MenuTest, TrayMenuOpensAtThePointAsWideAsItsText)
{
    CMenuWnd* menu = Open(kTrayMenu, 100, 120);
    ASSERT_NE(nullptr, menu);
    HWND window = menu->GetWindowHandle();
    CMenuElementUI* item = Item(menu, "menu_exit");
    ASSERT_NE(nullptr, item);

    HDC dc = ::GetDC(window);
    HGDIOBJ previous = ::SelectObject(dc, menu->GetHost().GetFontRecord(-1)->font);
    SIZE text = {};
    CWideText wide(item->GetText());
    ::GetTextExtentPoint32W(dc, wide, wide.GetLength(), &text);
    ::SelectObject(dc, previous);
    ::ReleaseDC(window, dc);
    ASSERT_GT(text.cx, 100);

    // The text, its padding of 30 on the left and 20 beside; one item high.
    RECT rc = WindowRect(window);
    EXPECT_EQ(100, rc.left);
    EXPECT_EQ(120, rc.top);
    EXPECT_EQ(100 + text.cx + 30 + 20, rc.right);
    EXPECT_EQ(120 + 25, rc.bottom);
    EXPECT_EQ(WS_EX_TOOLWINDOW | WS_EX_TOPMOST,
              ::GetWindowLongA(window, GWL_EXSTYLE) & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST));
    EXPECT_EQ(1, menu->GetChain().GetCount());
}

TEST_F(MenuTest, HoveringTheItemSelectsAndHighlightsIt)
{
    CMenuWnd* menu = Open(kTrayMenu, 100, 120);
    ASSERT_NE(nullptr, menu);
    CMenuElementUI* item = Item(menu, "menu_exit");
    ASSERT_NE(nullptr, item);
    Capture before(menu->GetWindowHandle());
    ASSERT_EQ(25, before.height);
    int right = before.width - 8;
    EXPECT_EQ(kFrameBlue, before.At(0, 12));
    EXPECT_EQ(kGutter, before.At(10, 12));
    EXPECT_EQ(kWhite, before.At(right, 12));

    MoveTo(menu, "menu_exit");
    EXPECT_TRUE(item->IsSelected());
    EXPECT_NE(0u, item->GetButtonState() & ButtonHot);
    Capture after(menu->GetWindowHandle());
    EXPECT_EQ(kFrameBlue, after.At(0, 12));  // the inset keeps the frame
    EXPECT_EQ(kSelectedBk, after.At(10, 12));
    EXPECT_EQ(kSelectedBk, after.At(right, 12));
}

// A menu item used to draw none of its list's item images: it painted
// without noting the area being painted, which clipped every image away.
TEST_F(MenuTest, SelectedItemShowsTheListsSelectedImage)
{
    CMenuWnd* menu = Open(kImageMenu, 100, 120);
    ASSERT_NE(nullptr, menu);
    MoveTo(menu, "only");
    Capture picture(menu->GetWindowHandle());
    ASSERT_EQ(25, picture.height);
    // The image stretched over the item, which starts inside the inset.
    EXPECT_EQ(kFrameBlue, picture.At(picture.width / 2, 2));
    EXPECT_EQ(kGutter, picture.At(10, 12));
}

TEST_F(MenuTest, LeftPressAnywhereEndsTheProgramAndRightButtonsDoNothing)
{
    // Negative x counts from the right edge; 60, 12 is on the item.
    struct Case
    {
        UINT message;
        int x, y;
        bool quits, closes;
    } cases[] = {
        { WM_LBUTTONDOWN, 0, 0, true, false },    { WM_LBUTTONDOWN, 1, 12, true, false },
        { WM_LBUTTONDOWN, -1, 24, true, false },  { WM_LBUTTONDOWN, 60, 1, true, false },
        { WM_LBUTTONDOWN, 60, 12, true, true },   { WM_RBUTTONDOWN, 60, 12, false, false },
        { WM_RBUTTONUP, 60, 12, false, false },   { WM_RBUTTONDBLCLK, 60, 12, false, false },
        { WM_CONTEXTMENU, 60, 12, false, false },
    };
    for (const Case& c : cases) {
        CMenuWnd* menu = Open(kTrayMenu, 100, 120);
        ASSERT_NE(nullptr, menu);
        HWND window = menu->GetWindowHandle();
        RECT client;
        ::GetClientRect(window, &client);
        int x = c.x < 0 ? client.right + c.x : c.x;
        bool context = c.message == WM_CONTEXTMENU;
        LPARAM point = context ? hosttest::ScreenPoint(window, x, c.y) : MAKELPARAM(x, c.y);
        EXPECT_EQ(0, ::SendMessageA(window, c.message, context ? reinterpret_cast<WPARAM>(window) : 0, point));
        MSG msg;
        bool quit = ::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
        EXPECT_EQ(c.quits, quit) << c.message << " at " << x << "," << c.y;
        // The item's press also closes the menu; nothing else selects it.
        Drain();
        EXPECT_EQ(c.closes, !::IsWindow(window)) << c.message << " at " << x << "," << c.y;
        if (!c.closes) {
            EXPECT_FALSE(Item(menu, "menu_exit")->IsSelected()) << c.message;
        }
        ::PostMessageA(window, WM_CLOSE, 1, 0);
        EXPECT_TRUE(PumpUntil([] { return MenuWindowCount() == 0; }));
        EXPECT_FALSE(TakeQuit());
    }
}

TEST_F(MenuTest, NestedMenuOpensBesideItsItemAndClosesWithItsParent)
{
    CMenuWnd* nested = OpenChain(100, 100);
    ASSERT_NE(nullptr, nested);
    HWND parentWindow = top->GetWindowHandle();
    HWND nestedWindow = nested->GetWindowHandle();
    CMenuElementUI* more = Item(top, "more");
    EXPECT_EQ(more, nested->GetOwnerItem());
    EXPECT_EQ(2, MenuWindowCount());
    EXPECT_EQ(&top->GetChain(), &nested->GetChain());
    EXPECT_EQ(2, top->GetChain().GetCount());

    // The parent is as high as its own two items: the nested ones are not
    // counted there.
    RECT parent = WindowRect(parentWindow);
    EXPECT_EQ(50, parent.bottom - parent.top);
    // Right of the parent at the item's top, as wide as the widest nested
    // item and as high as both, with two pixels all round.
    RECT inner = WindowRect(nestedWindow);
    POINT itemTop = { 0, more->GetBounds().top };
    ::ClientToScreen(parentWindow, &itemTop);
    EXPECT_EQ(parent.right, inner.left);
    EXPECT_EQ(itemTop.y, inner.top);
    CMenuElementUI* widest = Item(nested, "inner2");
    ASSERT_NE(nullptr, widest);
    RECT work = WorkArea();
    SIZE available = { work.right - work.left, work.bottom - work.top };
    EXPECT_EQ(widest->MeasureSize(available).cx + 4, inner.right - inner.left);
    EXPECT_EQ(2 * 25 + 4, inner.bottom - inner.top);

    // Moving onto the other item closes it; moving back opens it again.
    MoveTo(top, "first");
    EXPECT_TRUE(PumpUntil([nestedWindow] { return !::IsWindow(nestedWindow); }));
    EXPECT_TRUE(::IsWindow(parentWindow));
    EXPECT_EQ(nullptr, more->GetSubMenuWindow());
    EXPECT_EQ(1, top->GetChain().GetCount());
    MoveTo(top, "more");
    ASSERT_TRUE(PumpUntil([more] { return more->GetSubMenuWindow() != nullptr; }));
    nestedWindow = more->GetSubMenuWindow()->GetWindowHandle();

    ::PostMessageA(parentWindow, WM_CLOSE, 1, 0);
    EXPECT_TRUE(PumpUntil([] { return MenuWindowCount() == 0; }));
    EXPECT_FALSE(::IsWindow(nestedWindow));
}

TEST(MenuPlacementTest, NestedMenuStaysInsideTheWorkAreaNearEveryEdge)
{
    const RECT screen = { 0, 0, 1280, 1000 };
    const SIZE size = { 150, 79 };
    struct Case
    {
        const char* where;
        RECT work, owner;
        int itemTop;
        bool turnLeft;
        POINT expected;
    } cases[] = {
        { "middle", screen, { 100, 100, 300, 180 }, 127, false, { 300, 127 } },
        { "right edge", screen, { 1100, 100, 1250, 180 }, 127, false, { 950, 127 } },
        { "bottom edge", screen, { 100, 900, 300, 990 }, 960, false, { 300, 921 } },
        { "bottom right", screen, { 1100, 900, 1250, 990 }, 965, false, { 950, 921 } },
        { "top, under a bar", { 0, 40, 1280, 1000 }, { 100, 10, 300, 90 }, 20, false, { 300, 40 } },
        { "left, chain turned", screen, { 50, 100, 250, 180 }, 127, true, { 250, 127 } },
        { "chain turned", screen, { 600, 100, 800, 180 }, 127, true, { 450, 127 } },
        { "no room either side", screen, { 50, 100, 1230, 180 }, 127, false, { 1130, 127 } },
        { "monitor on the left", { -1280, 0, 0, 1000 }, { -200, 100, -50, 180 }, 127, false, { -350, 127 } },
    };
    for (const Case& c : cases) {
        POINT at = CMenuWnd::PlaceNested(c.owner, c.itemTop, size, c.work, c.turnLeft);
        EXPECT_EQ(c.expected.x, at.x) << c.where;
        EXPECT_EQ(c.expected.y, at.y) << c.where;
        RECT placed = { at.x, at.y, at.x + size.cx, at.y + size.cy };
        EXPECT_TRUE(Inside(placed, c.work)) << c.where;
    }
}

TEST_F(MenuTest, NestedMenuInTheBottomRightCornerOpensLeftAndUpward)
{
    RECT work = WorkArea();
    top = Open(kNestedMenu, 0, 0);
    ASSERT_NE(nullptr, top);
    RECT size = WindowRect(top->GetWindowHandle());
    ::SetWindowPos(top->GetWindowHandle(), nullptr, work.right - size.right, work.bottom - size.bottom, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    CMenuWnd* nested = OpenNested();
    ASSERT_NE(nullptr, nested);
    RECT parent = WindowRect(top->GetWindowHandle());
    RECT inner = WindowRect(nested->GetWindowHandle());
    EXPECT_EQ(parent.left, inner.right);
    EXPECT_EQ(work.bottom, inner.bottom);
    EXPECT_TRUE(Inside(inner, work));
}

TEST_F(MenuTest, FocusInsideTheChainKeepsMenusOpenAndElsewhereClosesThemAll)
{
    CMenuWnd* nested = OpenChain(100, 100);
    ASSERT_NE(nullptr, nested);
    HWND parentWindow = top->GetWindowHandle();
    HWND nestedWindow = nested->GetWindowHandle();
    const HWND chain[] = { parentWindow, nestedWindow, parentWindow };
    for (HWND window : chain) {
        ::SetFocus(window);
        Drain();
        ASSERT_EQ(window, ::GetFocus());
        EXPECT_EQ(2, MenuWindowCount());
    }

    outside = ::CreateWindowExA(0, "STATIC", "outside", WS_POPUP, 300, 300, 50, 50, nullptr, nullptr,
                                ::GetModuleHandleA(nullptr), nullptr);
    ::ShowWindow(outside, SW_SHOW);
    ::SetFocus(outside);
    EXPECT_TRUE(PumpUntil([] { return MenuWindowCount() == 0; }));
}

TEST_F(MenuTest, ATopLevelMenuClosesWhenAnotherOneTakesTheFocus)
{
    // Each heads a chain of its own, of which the other is no window.
    CMenuWnd* first = Open(kTrayMenu, 100, 120);
    ASSERT_NE(nullptr, first);
    HWND firstWindow = first->GetWindowHandle();
    CMenuWnd* second = Open(kTrayMenu, 400, 120);
    ASSERT_NE(nullptr, second);
    EXPECT_TRUE(PumpUntil([firstWindow] { return !::IsWindow(firstWindow); }));
    EXPECT_TRUE(::IsWindow(second->GetWindowHandle()));
    EXPECT_EQ(1, second->GetChain().GetCount());
}

TEST_F(MenuTest, EscapeClosesOnlyTheFocusedMenu)
{
    CMenuWnd* nested = OpenChain(100, 100);
    ASSERT_NE(nullptr, nested);
    HWND parentWindow = top->GetWindowHandle();
    HWND nestedWindow = nested->GetWindowHandle();
    ::SetFocus(nestedWindow);
    ::SendMessageA(nestedWindow, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(PumpUntil([nestedWindow] { return !::IsWindow(nestedWindow); }));
    EXPECT_TRUE(::IsWindow(parentWindow));
    EXPECT_EQ(1, top->GetChain().GetCount());
    EXPECT_EQ(nullptr, Item(top, "more")->GetSubMenuWindow());

    ::SetFocus(parentWindow);
    ::SendMessageA(parentWindow, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(PumpUntil([] { return MenuWindowCount() == 0; }));
}

TEST_F(MenuTest, TwoHundredMenusLeaveNoWindowOrGdiObject)
{
    // One life: open the chain, press the nested item, which ends the
    // program and closes every menu.
    auto life = [this] {
        // Under a loaded display a new menu now and then loses the focus to
        // a window going away and closes at once, as it should: that life
        // starts again.
        CMenuWnd* nested = nullptr;
        for (int attempt = 0; attempt < 3 && nested == nullptr; ++attempt) {
            nested = OpenChain(100, 100);
            if (nested == nullptr) {
                PumpUntil([] { return MenuWindowCount() == 0; });
                TakeQuit();
            }
        }
        ASSERT_NE(nullptr, nested);
        CMenuElementUI* item = Item(nested, "inner1");
        ASSERT_NE(nullptr, item);
        ::SendMessageA(nested->GetWindowHandle(), WM_LBUTTONDOWN, MK_LBUTTON, Middle(item));
        ASSERT_TRUE(PumpUntil([] { return MenuWindowCount() == 0; }));
        ASSERT_TRUE(TakeQuit());
    };
    life();  // process-wide objects are made on first use
    size_t headroom = hosttest::GdiHeadroom();
    ASSERT_GT(headroom, 1000u);
    for (int i = 0; i < 200; ++i) {
        life();
        if (HasFatalFailure())
            return;
    }
    EXPECT_EQ(nullptr, ::FindWindowA("MenuWnd", nullptr));
    // A few objects of the platform's own may come or go.
    EXPECT_LE(headroom, hosttest::GdiHeadroom() + 8);
}

} // namespace
