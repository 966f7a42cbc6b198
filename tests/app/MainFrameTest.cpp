// The main window with its real skin and a client that only records what
// the window asks of it: the display reaching the skin's controls, the
// client's start, the close button without a notification-area icon, and
// the shell's restart. What the display shows for each sequence of replies
// and ticks is CodeDisplay's, tested natively.

#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "app/MainFrame.h"
#include "tests/ui/core/HostTestSupport.h"
#include "ui/core/ControlUI.h"

using namespace ui;

namespace {

// Talks to nobody: Start does nothing and requests are only recorded.
class RecordingClient : public TokenClient
{
public:
    RecordingClient(std::vector<int>* requests, int* starts)
        : TokenClient("127.0.0.1"), m_requests(requests), m_starts(starts)
    {
    }
    void Start(void*) override { ++*m_starts; }
    bool PostRequest(RequestKind kind) override
    {
        m_requests->push_back(kind);
        return true;
    }

private:
    std::vector<int>* m_requests;
    int* m_starts;
};

class TestFrame : public MainFrame
{
public:
    TestFrame(std::vector<int>* requests, int* starts)
        : MainFrame(std::unique_ptr<TokenClient>(new RecordingClient(requests, starts)))
    {
    }
    int vendorPages = 0;

protected:
    void OpenVendorPage() override { ++vendorPages; }
};

class MainFrameTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        frame = new TestFrame(&requests, &starts);
        window = frame->Create(nullptr, MainFrame::kTitle, WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0, 0,
                               600, 800);
        ASSERT_NE(window, nullptr);
        hosttest::ShowWindowQuietly(window);
        ::UpdateWindow(window);
    }

    void TearDown() override
    {
        if (::IsWindow(window))
            ::DestroyWindow(window);  // the frame deletes itself and posts the quit message
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    std::string Text(const char* name)
    {
        CControlUI* control = frame->GetHost().FindControlByName(name);
        return control != nullptr ? control->GetText() : "<missing>";
    }

    std::string Digits()
    {
        std::string digits;
        for (int i = 1; i <= 6; ++i)
            digits += Text(("lbl_token" + std::to_string(i)).c_str()) + "|";
        return digits;
    }

    bool ButtonEnabled() { return frame->GetHost().FindControlByName("btn_newtoken")->IsEnabled(); }

    void Click(const char* name)
    {
        UINotify notify;
        notify.type = "click";
        notify.sender = frame->GetHost().FindControlByName(name);
        frame->Notify(notify);
    }

    void Tick(const char* name)
    {
        UINotify notify;
        notify.type = "timer";
        notify.sender = frame->GetHost().FindControlByName(name);
        frame->Notify(notify);
    }

    static TokenEvent Event(int kind, int result, const char* token, int value)
    {
        TokenEvent event;
        memset(&event, 0, sizeof(event));
        event.kind = kind;
        event.result = result;
        if (token != nullptr)
            memcpy(event.token, token, strlen(token) < 32 ? strlen(token) : 32);
        event.value = value;
        return event;
    }

    // Delivered as the client delivers it: posted, with an event the window frees.
    void Deliver(const TokenEvent& event)
    {
        ::SendMessageA(window, MSG_CLIENT_EVENT, 0, reinterpret_cast<LPARAM>(new TokenEvent(event)));
    }

    std::vector<int> requests;
    int starts = 0;
    TestFrame* frame = nullptr;
    HWND window = nullptr;
};

TEST_F(MainFrameTest, ClicksRepliesAndTicksReachTheControls)
{
    EXPECT_EQ(Digits(), "  |  |  |  |  |  |");
    EXPECT_EQ(Text("lbl_tokentip"), "{f 0}请点击下方按钮来获取验证码{/f}");
    EXPECT_TRUE(ButtonEnabled());
    Click("btn_newtoken");
    EXPECT_EQ(requests, std::vector<int>({ GetToken }));
    EXPECT_FALSE(ButtonEnabled());
    EXPECT_EQ(Text("lbl_tokentip"), "正在获取验证码 ...... ");

    Deliver(Event(GetToken, 0, "4821", 3));
    EXPECT_EQ(Digits(), " 4| 8| 2| 1| | |");
    EXPECT_EQ(Text("lbl_tokentip"), "验证码将在{f 1}{c #FF0000}3{/c}{/f}秒后过期");
    Deliver(Event(CheckToken, 0, "4821", 1));
    Tick("lbl_token1");  // only the tip's timer is the countdown's
    EXPECT_EQ(requests, std::vector<int>({ GetToken, CheckToken }));
    Tick("lbl_tokentip");
    EXPECT_EQ(Text("lbl_tokentip"), "验证码将在{f 1}{c #FF0000}2{/c}{/f}秒后过期");
    EXPECT_EQ(requests, std::vector<int>({ GetToken, CheckToken, CheckToken }));
    Deliver(Event(Status, 0, "4821", 0));  // a kind the window does not act on
    EXPECT_EQ(Digits(), " 4| 8| 2| 1| | |");

    Deliver(Event(CheckToken, 0, "4821", 0));
    EXPECT_EQ(Digits(), "  |  |  |  |  |  |");
    EXPECT_EQ(Text("lbl_tokentip"), "{f 0}请点击下方按钮来获取验证码{/f}");
    EXPECT_TRUE(ButtonEnabled());
    EXPECT_FALSE(frame->GetHost().KillControlTimer(frame->GetHost().FindControlByName("lbl_tokentip"), 1));

    Click("btn_vendor");
    EXPECT_EQ(frame->vendorPages, 1);
}

// The footer button's tooltip used to name another host than the one its
// click opens.
TEST_F(MainFrameTest, VendorTooltipNamesTheHostTheClickOpens)
{
    std::string address = MainFrame::kVendorAddress;
    ASSERT_EQ(address.rfind("https://", 0), 0u);
    std::string host = address.substr(8, address.find('/', 8) - 8);
    EXPECT_EQ(std::string(frame->GetHost().FindControlByName("btn_vendor")->GetTooltip()), "访问" + host);
}

// A window that never got a paint (covered at logon, say) used to start
// neither its client nor its icon.
TEST_F(MainFrameTest, ClientAndIconStartOnceByTimerOrFirstPaint)
{
    frame->RemoveTrayIcon();
    ASSERT_EQ(starts, 0);
    ::SendMessageA(window, WM_TIMER, START_FALLBACK_TIMER, 0);
    EXPECT_EQ(starts, 1);
    EXPECT_TRUE(frame->HasTrayIcon());
    // The first paint's own message comes after it: nothing starts twice.
    MSG msg;
    while (::PeekMessageA(&msg, window, MSG_AFTER_FIRST_PAINT, MSG_AFTER_FIRST_PAINT, PM_REMOVE))
        ::DispatchMessageA(&msg);
    ::SendMessageA(window, WM_TIMER, START_FALLBACK_TIMER, 0);
    EXPECT_EQ(starts, 1);
    frame->RemoveTrayIcon();
}

// Without an icon in the notification area, closing used to hide the window
// where nobody could bring it back.
TEST_F(MainFrameTest, CloseMinimisesWithoutAnIconAndHidesWithOne)
{
    frame->RemoveTrayIcon();
    ASSERT_FALSE(frame->HasTrayIcon());
    Click("closebtn");
    EXPECT_TRUE(::IsIconic(window));
    EXPECT_TRUE(::IsWindowVisible(window));
    EXPECT_FALSE(frame->IsHiddenToTray());

    ::ShowWindow(window, SW_RESTORE);
    frame->AddTrayIcon();
    ASSERT_TRUE(frame->HasTrayIcon());
    ::SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindowVisible(window));
    EXPECT_TRUE(frame->IsHiddenToTray());
    ::SendMessageA(window, MSG_TRAY_CALLBACK, 0, WM_LBUTTONDOWN);
    EXPECT_TRUE(::IsWindowVisible(window));
    EXPECT_FALSE(frame->IsHiddenToTray());
    frame->RemoveTrayIcon();
}

// A restarted shell forgets every icon: the window used to stay without one.
TEST_F(MainFrameTest, ShellRestartAddsTheIconAgain)
{
    frame->RemoveTrayIcon();
    ASSERT_FALSE(frame->HasTrayIcon());
    ::SendMessageA(window, ::RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(frame->HasTrayIcon());
    frame->RemoveTrayIcon();
}

TEST_F(MainFrameTest, ReturnAndEscapeDoNothingAndTheCloseCommandHides)
{
    bool handled = false;
    EXPECT_EQ(frame->FilterMessage(WM_KEYDOWN, VK_ESCAPE, 0, handled), 1);
    EXPECT_EQ(frame->FilterMessage(WM_KEYDOWN, VK_RETURN, 0, handled), 0);
    MSG msg;
    EXPECT_FALSE(::PeekMessageA(&msg, window, WM_CLOSE, WM_CLOSE, PM_NOREMOVE));
    frame->AddTrayIcon();
    ::SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(frame->IsHiddenToTray());
    frame->RemoveTrayIcon();
}

} // namespace
