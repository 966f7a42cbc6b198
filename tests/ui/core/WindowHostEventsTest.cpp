// Real window, real messages: what each control of a small tree receives
// and what the listeners hear, in order.

#include <gtest/gtest.h>

#include "HostTestSupport.h"

using namespace ui;
using namespace hosttest;

namespace {

const UINT kTabStop = ControlFlagTabStop;

class LabelProbe : public ProbeControl
{
public:
    LabelProbe(const char* name, Log* log) : ProbeControl(name, log, ControlFlagShortcutToNext) {}
    const char* GetClassName() const override { return "LabelUI"; }
};

class FlagCallback : public UICallback
{
public:
    explicit FlagCallback(bool* flag) : m_flag(flag) {}
    bool Invoke(void*) override
    {
        *m_flag = true;
        return true;
    }

private:
    bool* m_flag;
};

// Root (400 x 300) with four rows of 75 pixels: a, b, c, d. a, b and d are
// tab stops; c is not.
class WindowHostEventsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(window.Create(nullptr, "host test", WS_POPUP, 0, 0, 0, 400, 300) != nullptr);
        hwnd = window.GetWindowHandle();
        ShowWindowQuietly(hwnd);
        host = new CWindowHostUI;
        window.host = host;
        host->AttachWindow(hwnd);
        root = new CVerticalLayoutUI;
        root->SetName("root");
        a = new ProbeControl("a", &log, kTabStop);
        b = new ProbeControl("b", &log, kTabStop);
        c = new ProbeControl("c", &log);
        d = new ProbeControl("d", &log, kTabStop);
        root->AddChild(a);
        root->AddChild(b);
        root->AddChild(c);
        root->AddChild(d);
        ASSERT_TRUE(host->AttachRoot(root));
        RECT all = { 0, 0, 400, 300 };
        root->SetBounds(all);
        host->SetUpdateNeeded(false);
        host->SetFocusNeeded(false);
        host->AddListener(&recorder);
        log.clear();
    }

    void TearDown() override
    {
        if (::IsWindow(hwnd))
            ::DestroyWindow(hwnd);
        window.host = nullptr;
        delete host;
    }

    // Wide, as the window is: WM_CHAR carries UTF-16.
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam)
    {
        return ::SendMessageW(hwnd, message, wParam, lParam);
    }

    void Tab(bool shift)
    {
        BYTE keys[256];
        ::GetKeyboardState(keys);
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        ::SetKeyboardState(keys);
        LRESULT result = 0;
        EXPECT_TRUE(host->PreviewMessage(WM_KEYDOWN, VK_TAB, 0, result));
        keys[VK_SHIFT] = 0;
        ::SetKeyboardState(keys);
    }

    HostWindow window;
    HWND hwnd = nullptr;
    CWindowHostUI* host = nullptr;
    Log log;
    NotifyRecorder recorder{ &log };
    CVerticalLayoutUI* root = nullptr;
    ProbeControl* a = nullptr;
    ProbeControl* b = nullptr;
    ProbeControl* c = nullptr;
    ProbeControl* d = nullptr;
};

TEST_F(WindowHostEventsTest, TreeIsLaidOutInRows)
{
    EXPECT_EQ(75, a->GetBounds().bottom);
    EXPECT_EQ(150, b->GetBounds().bottom);
    EXPECT_EQ(b, host->FindControlByName("b"));
    POINT inC = { 10, 160 };
    EXPECT_EQ(c, host->FindControlAt(inC));
}

TEST_F(WindowHostEventsTest, HoverEntersAndLeavesWithTheMouse)
{
    Send(WM_MOUSEMOVE, 0, Point(10, 10));
    Send(WM_MOUSEMOVE, 0, Point(12, 20));
    Send(WM_MOUSEMOVE, 0, Point(10, 100));
    EXPECT_EQ(b, host->GetHoverControl());
    // The leave message turns into a move to (-1, -1).
    Send(WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ((Log{ "a:enter", "a:move", "a:move", "a:leave", "b:enter", "b:move", "b:leave" }), log);
    EXPECT_EQ(nullptr, host->GetHoverControl());
    EXPECT_EQ(12, a->events[2].mousePoint.x);
    EXPECT_EQ(20, a->events[2].mousePoint.y);
}

TEST_F(WindowHostEventsTest, ButtonDownFocusesAndCapturesUntilButtonUp)
{
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(10, 10));
    EXPECT_EQ(hwnd, ::GetCapture());
    EXPECT_EQ(a, host->GetClickControl());
    // While a holds the capture it gets the moves; enter follows the mouse.
    Send(WM_MOUSEMOVE, MK_LBUTTON, Point(10, 100));
    Send(WM_LBUTTONUP, 0, Point(10, 100));
    EXPECT_EQ((Log{ "a:setfocus", "notify:setfocus:a", "a:down", "b:enter", "a:move", "a:up" }), log);
    EXPECT_NE(hwnd, ::GetCapture());
    EXPECT_EQ(nullptr, host->GetClickControl());
    EXPECT_EQ(a, host->GetFocusControl());
    const UIEvent& down = a->events[1];
    EXPECT_EQ(a, down.sender);
    EXPECT_EQ(MK_LBUTTON, down.keyState);
    EXPECT_EQ(10, down.mousePoint.x);
    EXPECT_EQ(100, a->events[2].mousePoint.y);
}

TEST_F(WindowHostEventsTest, SecondButtonDownReplacesTheClickControl)
{
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(10, 10));
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(10, 100));
    EXPECT_EQ(b, host->GetClickControl());
    Send(WM_LBUTTONUP, 0, Point(10, 100));
    EXPECT_EQ("b:up", log.back());
}

TEST_F(WindowHostEventsTest, DoubleClickCapturesWithoutMovingTheFocus)
{
    Send(WM_LBUTTONDBLCLK, MK_LBUTTON, Point(10, 160));
    EXPECT_EQ((Log{ "c:dblclick" }), log);
    EXPECT_EQ(c, host->GetClickControl());
    EXPECT_EQ(hwnd, ::GetCapture());
    EXPECT_EQ(nullptr, host->GetFocusControl());
    Send(WM_LBUTTONUP, 0, Point(10, 160));
    EXPECT_NE(hwnd, ::GetCapture());
}

TEST_F(WindowHostEventsTest, WheelTellsTheDirectionAndRefreshesTheHover)
{
    Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), ScreenPoint(hwnd, 10, 100));
    Send(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), ScreenPoint(hwnd, 10, 100));
    EXPECT_EQ((Log{ "b:wheel", "b:enter", "b:move", "b:wheel", "b:move" }), log);
    EXPECT_EQ(1u, b->events[0].wParam);  // towards the user
    EXPECT_EQ(0u, b->events[3].wParam);
    EXPECT_EQ(0, b->events[0].mousePoint.x);
    EXPECT_EQ(100, host->GetLastMousePos().y);
}

TEST_F(WindowHostEventsTest, ContextMenuEndsTheRightButtonCapture)
{
    Send(WM_RBUTTONDOWN, MK_RBUTTON, Point(10, 160));
    EXPECT_EQ(hwnd, ::GetCapture());
    Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), ScreenPoint(hwnd, 11, 161));
    EXPECT_EQ((Log{ "c:setfocus", "notify:setfocus:c", "c:rdown", "c:contextmenu" }), log);
    EXPECT_NE(hwnd, ::GetCapture());
    EXPECT_EQ(nullptr, host->GetClickControl());
    const UIEvent& menu = c->events.back();
    EXPECT_EQ(reinterpret_cast<LPARAM>(c), menu.lParam);
    EXPECT_EQ(11, menu.mousePoint.x);
    EXPECT_EQ(161, menu.mousePoint.y);
}

TEST_F(WindowHostEventsTest, TabVisitsTabStopsInOrderAndWraps)
{
    Tab(false);
    EXPECT_EQ(a, host->GetFocusControl());
    Tab(false);
    EXPECT_EQ(b, host->GetFocusControl());
    Tab(false);
    EXPECT_EQ(d, host->GetFocusControl());  // c is no tab stop
    Tab(false);
    EXPECT_EQ(a, host->GetFocusControl());
    Tab(true);
    EXPECT_EQ(d, host->GetFocusControl());
    Tab(true);
    EXPECT_EQ(b, host->GetFocusControl());
    EXPECT_EQ((Log{ "d:killfocus", "notify:killfocus:d", "b:setfocus", "notify:setfocus:b" }),
              Log(log.end() - 4, log.end()));
    EXPECT_EQ(b, b->events.back().sender);
}

TEST_F(WindowHostEventsTest, TabAndShiftTabWithoutFocusGoToTheFirstTabStop)
{
    Tab(true);
    EXPECT_EQ(a, host->GetFocusControl());
    host->SetFocusControl(nullptr);
    Tab(false);
    EXPECT_EQ(a, host->GetFocusControl());
}

TEST_F(WindowHostEventsTest, TabWaitsForThePaintWhileALayoutIsPending)
{
    host->SetUpdateNeeded(true);
    EXPECT_TRUE(host->MoveFocus(true));
    EXPECT_EQ(nullptr, host->GetFocusControl());
    EXPECT_TRUE(host->IsFocusNeeded());
}

TEST_F(WindowHostEventsTest, HidingTheFocusedControlDropsTheFocus)
{
    host->SetFocusControl(b);
    log.clear();
    b->SetVisible(false);
    EXPECT_EQ(nullptr, host->GetFocusControl());
    EXPECT_EQ((Log{ "b:killfocus", "notify:killfocus:b" }), log);
    // An invisible or disabled control cannot take the focus.
    host->SetFocusControl(b);
    c->SetEnabled(false);
    host->SetFocusControl(c);
    EXPECT_EQ(nullptr, host->GetFocusControl());
}

TEST_F(WindowHostEventsTest, KeysGoToTheFocusAndKeyUpToTheControlThatGotKeyDown)
{
    host->SetFocusControl(a);
    Send(WM_KEYDOWN, 'A', 0);
    host->SetFocusControl(b);
    log.clear();
    Send(WM_KEYUP, 'A', 0);
    Send(WM_CHAR, 'a', 0);
    EXPECT_EQ((Log{ "a:keyup", "b:char" }), log);
    EXPECT_EQ('A', a->events[1].key);
    EXPECT_EQ(nullptr, a->events[1].sender);
    // The key-up is consumed: a second one reaches nobody.
    Send(WM_KEYUP, 'A', 0);
    EXPECT_EQ(2u, log.size());
}

TEST_F(WindowHostEventsTest, CharactersReachTheFocusAsTheBytesOfTheirUtf8)
{
    host->SetFocusControl(a);
    a->events.clear();
    Send(WM_CHAR, 0x7F51, 0);  // one unit
    Send(WM_CHAR, 0xD83D, 0);  // a pair: nothing until its second half
    Send(WM_CHAR, 0xDE00, 0);
    Send(WM_CHAR, 'z', 0);
    std::string keys;
    for (const UIEvent& event : a->events) {
        if (event.type == EventChar)
            keys += event.key;
    }
    EXPECT_EQ("\xE7\xBD\x91\xF0\x9F\x98\x80z", keys);
}

TEST_F(WindowHostEventsTest, AltKeyOfALabelActivatesTheControlAfterIt)
{
    // The search visits the tree top first (last child first), so the
    // control visited after the label is the child before it.
    root->AddChild(new ProbeControl("next", &log, kTabStop));
    LabelProbe* label = new LabelProbe("lbl", &log);
    label->SetShortcut('x');
    root->AddChild(label);
    LRESULT result = 0;
    EXPECT_TRUE(host->PreviewMessage(WM_SYSCHAR, 'X', 0, result));
    ASSERT_NE(nullptr, host->GetFocusControl());
    EXPECT_STREQ("next", host->GetFocusControl()->GetName());
    EXPECT_FALSE(host->PreviewMessage(WM_SYSCHAR, 'Q', 0, result));
}

TEST_F(WindowHostEventsTest, CloseEndsHoverAndClickAndDropsTheFocus)
{
    Send(WM_MOUSEMOVE, 0, Point(10, 10));
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(10, 10));
    log.clear();
    LRESULT result = 0;
    EXPECT_FALSE(host->ProcessMessage(WM_CLOSE, 0, 0, result));
    EXPECT_EQ((Log{ "a:leave", "a:up", "a:killfocus", "notify:killfocus:a" }), log);
    EXPECT_EQ(nullptr, host->GetFocusControl());
}

TEST_F(WindowHostEventsTest, SizeGoesToTheFocusAndAsksForALayout)
{
    host->SetFocusControl(d);
    log.clear();
    LRESULT result = 0;
    EXPECT_TRUE(host->ProcessMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(400, 300), result));
    EXPECT_EQ((Log{ "d:size" }), log);
    EXPECT_TRUE(host->IsUpdateNeeded());
    EXPECT_TRUE(root->IsLayoutPending());
}

TEST_F(WindowHostEventsTest, ControlTimerFiresAsTimerWithItsLocalId)
{
    ASSERT_TRUE(host->SetControlTimer(a, 7, 10));
    EXPECT_FALSE(host->SetControlTimer(a, 7, 10));
    DWORD start = ::GetTickCount();
    while (log.empty() && ::GetTickCount() - start < 5000) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_TIMER);
        PumpMessages(hwnd, WM_TIMER, WM_TIMER, 1);
    }
    ASSERT_LE(2u, log.size());
    EXPECT_EQ("a:timer", log[0]);
    EXPECT_EQ("notify:timer:a", log[1]);
    EXPECT_EQ(7u, a->events[0].wParam);
    EXPECT_EQ(7u, recorder.notes[0].wParam);

    // A killed record is ignored; setting it again reuses its window timer.
    EXPECT_TRUE(host->KillControlTimer(a, 7));
    EXPECT_FALSE(host->KillControlTimer(a, 7));
    log.clear();
    Send(WM_TIMER, 17, 0);
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(host->SetControlTimer(a, 7, 100000));
    Send(WM_TIMER, 17, 0);
    EXPECT_EQ((Log{ "a:timer", "notify:timer:a" }), log);
}

TEST_F(WindowHostEventsTest, WindowTimerIdsStartAt17AndCycleThrough255)
{
    for (UINT i = 0; i < 240; ++i)
        ASSERT_TRUE(host->SetControlTimer(a, i, 1000000)) << i;
    const struct { WPARAM windowId; UINT localId; } cases[] = {
        { 17, 0 }, { 18, 1 }, { 254, 237 }, { 0, 238 }, { 1, 239 },
    };
    for (const auto& row : cases) {
        a->events.clear();
        Send(WM_TIMER, row.windowId, 0);
        ASSERT_EQ(1u, a->events.size()) << row.windowId;
        EXPECT_EQ(row.localId, a->events[0].wParam) << row.windowId;
    }
    host->ClearTimers();
    log.clear();
    Send(WM_TIMER, 17, 0);
    EXPECT_TRUE(log.empty());
}

TEST_F(WindowHostEventsTest, WrappedTimerIdsSkipThoseStillInUse)
{
    // Regression: after 255 ids the counter handed out 17 again while the
    // first timer still ran on it, and both records shared one platform
    // timer.
    for (UINT i = 0; i < 255; ++i)
        ASSERT_TRUE(host->SetControlTimer(a, i, 1000000)) << i;
    EXPECT_FALSE(host->SetControlTimer(a, 255, 1000000));
    host->KillControlTimers(a);
    EXPECT_TRUE(host->SetControlTimer(a, 255, 1000000));
}

TEST_F(WindowHostEventsTest, TimersDieWithTheirControl)
{
    ASSERT_TRUE(host->SetControlTimer(b, 3, 1000000));
    root->SetDeletesLater(false);
    root->RemoveChild(b);  // deleted at once
    EXPECT_FALSE(::KillTimer(hwnd, 17));  // the platform timer is gone too
    log.clear();
    Send(WM_TIMER, 17, 0);
    EXPECT_TRUE(log.empty());
}

TEST_F(WindowHostEventsTest, DeletedControlLeavesNoReferenceBehind)
{
    bool deleted = false;
    b->AddListener(ListenDestroy, new FlagCallback(&deleted));
    Send(WM_MOUSEMOVE, 0, Point(10, 100));
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(10, 100));
    Send(WM_KEYDOWN, 'K', 0);
    host->SetControlTimer(b, 1, 1000000);
    host->SendNotification(b, "later", 0, 0, true);
    ASSERT_EQ(b, host->GetHoverControl());
    ASSERT_EQ(b, host->GetFocusControl());
    ASSERT_EQ(b, host->GetClickControl());

    root->RemoveChild(b);  // handed to the delayed deletion
    EXPECT_FALSE(deleted);
    EXPECT_EQ(nullptr, host->GetHoverControl());
    EXPECT_EQ(nullptr, host->GetFocusControl());
    EXPECT_EQ(nullptr, host->GetClickControl());
    EXPECT_EQ(nullptr, host->FindControlByName("b"));
    EXPECT_NE(hwnd, ::GetCapture());

    log.clear();
    PumpMessages(hwnd, MessageHostCleanup, MessageHostNotify);
    EXPECT_TRUE(deleted);
    Send(WM_LBUTTONUP, 0, Point(10, 100));
    Send(WM_KEYUP, 'K', 0);
    Send(WM_TIMER, 17, 0);
    Send(WM_MOUSEMOVE, 0, Point(10, 10));
    EXPECT_EQ((Log{ "a:enter", "a:move" }), log);  // nothing for b, no posted note
}

TEST_F(WindowHostEventsTest, ControlDeletedAtOnceIsForgottenToo)
{
    Send(WM_MOUSEMOVE, 0, Point(10, 240));
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(10, 240));
    root->SetDeletesLater(false);
    root->RemoveChild(d);
    EXPECT_EQ(nullptr, host->GetHoverControl());
    EXPECT_EQ(nullptr, host->GetFocusControl());
    EXPECT_EQ(nullptr, host->GetClickControl());
    EXPECT_EQ(nullptr, host->FindControlByName("d"));
}

class PostingFilter : public IMessageFilterUI
{
public:
    explicit PostingFilter(CWindowHostUI* host) : m_host(host) {}
    LRESULT FilterMessage(UINT message, WPARAM, LPARAM, bool& handled) override
    {
        if (message != WM_APP + 10)
            return 0;
        m_host->SendNotification(nullptr, "posted", 0, 0, true);
        m_host->SendNotification(nullptr, "immediate");
        handled = true;
        return 42;
    }

private:
    CWindowHostUI* m_host;
};

TEST_F(WindowHostEventsTest, PostedNotificationArrivesAfterTheCurrentMessage)
{
    PostingFilter filter(host);
    host->AddWindowFilter(&filter);
    EXPECT_EQ(42, Send(WM_APP + 10, 0, 0));
    EXPECT_EQ((Log{ "notify:immediate:-" }), log);
    EXPECT_EQ(1, PumpMessages(hwnd, MessageHostNotify, MessageHostNotify));
    EXPECT_EQ((Log{ "notify:immediate:-", "notify:posted:-" }), log);
    host->RemoveWindowFilter(&filter);
}

class SenderListener : public UICallback
{
public:
    SenderListener(Log* log, bool goOn) : m_log(log), m_goOn(goOn) {}
    bool Invoke(void* argument) override
    {
        m_log->push_back(std::string("own:") + static_cast<UINotify*>(argument)->type.GetData());
        return m_goOn;
    }

private:
    Log* m_log;
    bool m_goOn;
};

TEST_F(WindowHostEventsTest, SenderListenersHearANotificationFirst)
{
    a->AddListener(ListenNotify, new SenderListener(&log, false));
    a->AddListener(ListenNotify, new SenderListener(&log, true));
    Send(WM_MOUSEMOVE, 0, Point(33, 44));
    log.clear();
    host->SendNotification(a, "click", 5, 6);
    // The first own listener ends its step; the host's listeners still hear it.
    EXPECT_EQ((Log{ "own:click", "notify:click:a" }), log);
    EXPECT_EQ(5u, recorder.notes[0].wParam);
    EXPECT_EQ(6, recorder.notes[0].lParam);
    EXPECT_EQ(33, recorder.notes[0].mousePoint.x);
    EXPECT_EQ(44, recorder.notes[0].mousePoint.y);

    host->RemoveListener(&recorder);
    log.clear();
    host->SendNotification(a, "click");
    EXPECT_EQ((Log{ "own:click" }), log);
}

class HandlingFilter : public IMessageFilterUI
{
public:
    LRESULT FilterMessage(UINT message, WPARAM, LPARAM, bool& handled) override
    {
        handled = message == WM_KEYDOWN;
        return 7;
    }
};

TEST_F(WindowHostEventsTest, FiltersSeeMessagesFirst)
{
    HandlingFilter filter;
    host->SetFocusControl(a);
    log.clear();
    host->AddWindowFilter(&filter);
    LRESULT result = 0;
    EXPECT_TRUE(host->ProcessMessage(WM_KEYDOWN, 'A', 0, result));
    EXPECT_EQ(7, result);
    EXPECT_TRUE(log.empty());
    host->AddTranslateFilter(&filter);
    result = 0;
    EXPECT_TRUE(host->PreviewMessage(WM_KEYDOWN, VK_TAB, 0, result));
    EXPECT_EQ(7, result);
    EXPECT_EQ(a, host->GetFocusControl());
    EXPECT_TRUE(host->RemoveWindowFilter(&filter));
    EXPECT_TRUE(host->RemoveTranslateFilter(&filter));
    EXPECT_FALSE(host->RemoveTranslateFilter(&filter));
}

TEST_F(WindowHostEventsTest, QueuedTabReachesTheHostOfItsWindow)
{
    MSG msg = {};
    msg.hwnd = hwnd;
    msg.message = WM_KEYDOWN;
    msg.wParam = VK_TAB;
    EXPECT_TRUE(CWindowHostUI::PreTranslateForAllHosts(&msg));
    EXPECT_EQ(a, host->GetFocusControl());
    msg.wParam = 'A';
    EXPECT_FALSE(CWindowHostUI::PreTranslateForAllHosts(&msg));
}

TEST_F(WindowHostEventsTest, MessageLoopPreTranslatesUntilQuit)
{
    ::PostMessageA(hwnd, WM_KEYDOWN, VK_TAB, 0);
    ::PostMessageA(hwnd, WM_CHAR, 'z', 0);
    ::PostQuitMessage(0);
    CWindowHostUI::RunMessageLoop();
    EXPECT_EQ(a, host->GetFocusControl());
    EXPECT_EQ("a:char", log.back());  // the Tab itself was consumed
}

TEST_F(WindowHostEventsTest, AttachingANewRootRetiresTheOldTree)
{
    bool deleted = false;
    root->AddListener(ListenDestroy, new FlagCallback(&deleted));
    host->SetFocusControl(a);
    ProbeControl* single = new ProbeControl("single", &log, kTabStop);
    EXPECT_TRUE(host->AttachRoot(single));
    EXPECT_EQ(nullptr, host->FindControlByName("a"));
    EXPECT_EQ(single, host->FindControlByName("single"));
    EXPECT_TRUE(host->IsUpdateNeeded());
    EXPECT_FALSE(deleted);
    PumpMessages(hwnd, MessageHostCleanup, MessageHostCleanup);
    EXPECT_TRUE(deleted);
    // Regression: attaching the root that is already attached scheduled it
    // for deletion while it stayed the root.
    EXPECT_TRUE(host->AttachRoot(single));
    PumpMessages(hwnd, MessageHostCleanup, MessageHostCleanup);
    EXPECT_EQ(single, host->GetRootControl());
    EXPECT_STREQ("single", host->GetRootControl()->GetName());
    EXPECT_FALSE(host->AttachRoot(nullptr));
    EXPECT_EQ(nullptr, host->GetRootControl());
}

TEST_F(WindowHostEventsTest, MinAndMaxTrackSizesAboveZeroAreImposed)
{
    host->SetMinTrackSize(200, 0);
    host->SetMaxTrackSize(0, 900);
    MINMAXINFO info = {};
    info.ptMinTrackSize.y = 11;
    info.ptMaxTrackSize.x = 22;
    LRESULT result = 0;
    EXPECT_FALSE(host->ProcessMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info), result));
    EXPECT_EQ(200, info.ptMinTrackSize.x);
    EXPECT_EQ(11, info.ptMinTrackSize.y);
    EXPECT_EQ(22, info.ptMaxTrackSize.x);
    EXPECT_EQ(900, info.ptMaxTrackSize.y);
}

// Which of hover and leave the platform tracks for the window now.
DWORD TrackedFor(HWND window)
{
    TRACKMOUSEEVENT query = {};
    query.cbSize = sizeof(query);
    query.dwFlags = TME_QUERY;
    ::TrackMouseEvent(&query);
    return query.hwndTrack == window ? query.dwFlags & (TME_HOVER | TME_LEAVE) : 0;
}

TEST_F(WindowHostEventsTest, LeaveTrackingEndsWhenTheMouseRestsWithoutATooltip)
{
    // The host used to keep asking to hear the mouse leave after it had come
    // to rest; wine watches for that with a timer that woke the window every
    // 400 ms for as long as the mouse stayed.
    b->SetTooltip("tip of b");
    const int rows[] = { 10, 100 };  // over a, then over b
    const DWORD afterRest[] = { 0, TME_LEAVE };
    for (int i = 0; i < 2; ++i) {
        POINT screen = { 10, rows[i] };
        ::ClientToScreen(hwnd, &screen);
        ::SetCursorPos(screen.x, screen.y);
        Send(WM_MOUSEMOVE, 0, Point(10, rows[i]));
        EXPECT_EQ(static_cast<DWORD>(TME_HOVER | TME_LEAVE), TrackedFor(hwnd)) << i;
        // Sent here rather than by the platform, whose own hover ends the
        // hover tracking: only the leave tracking is the host's to end.
        Send(WM_MOUSEHOVER, 0, Point(10, rows[i]));
        EXPECT_EQ(afterRest[i], TrackedFor(hwnd) & TME_LEAVE) << i;
    }
}

TEST_F(WindowHostEventsTest, HoverMessageShowsTheTooltipOfTheControlUnderTheMouse)
{
    b->SetTooltip("tip of b");
    Send(WM_MOUSEMOVE, 0, Point(10, 100));
    log.clear();
    EXPECT_EQ(0, Send(WM_MOUSEHOVER, 0, Point(10, 100)));
    EXPECT_EQ((Log{ "b:hover" }), log);
    HWND tooltip = ::FindWindowExA(nullptr, nullptr, TOOLTIPS_CLASSA, nullptr);
    while (tooltip != nullptr && ::GetParent(tooltip) != hwnd && ::GetWindow(tooltip, GW_OWNER) != hwnd)
        tooltip = ::FindWindowExA(nullptr, tooltip, TOOLTIPS_CLASSA, nullptr);
    ASSERT_NE(nullptr, tooltip);
    char text[64] = "";
    TOOLINFOA tool = {};
    tool.cbSize = sizeof(tool);
    tool.hwnd = hwnd;
    tool.uId = reinterpret_cast<UINT_PTR>(hwnd);
    tool.lpszText = text;
    ::SendMessageA(tooltip, TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ("tip of b", text);
    LRESULT result = 0;
    EXPECT_FALSE(host->ProcessMessage(WM_MOUSEHOVER, 0, Point(-5, -5), result));
}

} // namespace
