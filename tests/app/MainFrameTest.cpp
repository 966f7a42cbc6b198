// The main window with its real skin and a client that only records what
// the window asks of it: the display for every reply, the countdown, the
// close button without a notification-area icon, and the shell's restart.

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

    void Tick()
    {
        UINotify notify;
        notify.type = "timer";
        notify.sender = frame->GetHost().FindControlByName("lbl_tokentip");
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

TEST_F(MainFrameTest, StartsIdleAndAClickAsksForACode)
{
    EXPECT_EQ(Digits(), "  |  |  |  |  |  |");
    EXPECT_EQ(Text("lbl_tokentip"), "{f 0}请点击下方按钮来获取验证码{/f}");
    EXPECT_TRUE(ButtonEnabled());
    Click("btn_newtoken");
    EXPECT_EQ(requests, std::vector<int>({ GetToken }));
    EXPECT_FALSE(ButtonEnabled());
    EXPECT_EQ(Text("lbl_tokentip"), "正在获取验证码 ...... ");
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

TEST_F(MainFrameTest, EachRefusalShowsItsMessageAndEnablesTheButton)
{
    struct Case
    {
        int result;
        const char* tip;
    } cases[] = {
        { 2, "{c #FF0000}您连接的设备数已达上限。{/c}" },
        { 3, "{c #007F00}您的手机已通过认证， 可以正常上网了。{/c}" },
        { -3, "{c #FF0000}通信异常，可能设备正在重启，请稍后重试。{/c}" },
        { -1, "{c #FF0000}通信异常，请检查您的网络。{/c}" },
        { 7, "{c #FF0000}通信异常，请检查您的网络。{/c}" },
    };
    for (const Case& c : cases) {
        Click("btn_newtoken");
        Deliver(Event(GetToken, c.result, nullptr, 0));
        EXPECT_EQ(Text("lbl_tokentip"), c.tip) << c.result;
        EXPECT_TRUE(ButtonEnabled()) << c.result;
        EXPECT_EQ(Digits(), "  |  |  |  |  |  |");
    }
}

TEST_F(MainFrameTest, CountdownChecksOneAtATimeAndEndsIdle)
{
    Click("btn_newtoken");
    Deliver(Event(GetToken, 0, "4821", 3));
    EXPECT_EQ(Digits(), " 4| 8| 2| 1| | |");  // a short code leaves the space alone
    EXPECT_EQ(Text("lbl_tokentip"), "验证码将在{f 1}{c #FF0000}3{/c}{/f}秒后过期");
    EXPECT_EQ(requests, std::vector<int>({ GetToken, CheckToken }));

    Tick();  // the first check is still out: no second one
    EXPECT_EQ(requests.size(), 2u);
    Deliver(Event(CheckToken, 0, "9999", 1));  // another code's reply is ignored
    EXPECT_TRUE(frame->IsCheckPending());
    Deliver(Event(CheckToken, 0, "4821", 1));
    EXPECT_FALSE(frame->IsCheckPending());
    Tick();
    EXPECT_EQ(requests, std::vector<int>({ GetToken, CheckToken, CheckToken }));
    EXPECT_EQ(Text("lbl_tokentip"), "验证码将在{f 1}{c #FF0000}1{/c}{/f}秒后过期");
    Tick();  // to 0: idle, without a check on this tick
    EXPECT_EQ(requests.size(), 3u);
    EXPECT_EQ(frame->GetSecondsLeft(), -1);
    EXPECT_EQ(Text("lbl_tokentip"), "{f 0}请点击下方按钮来获取验证码{/f}");
    EXPECT_TRUE(ButtonEnabled());
}

TEST_F(MainFrameTest, CheckRepliesEndTheCountdown)
{
    struct Case
    {
        int result;
        int value;
        const char* tip;
    } cases[] = {
        { 0, 0, "{f 0}请点击下方按钮来获取验证码{/f}" },             // no longer valid
        { -1, 0, "{c #FF0000}通信异常，可能设备正在重启，请稍后重试。{/c}" }, // failed check
    };
    for (const Case& c : cases) {
        Click("btn_newtoken");
        Deliver(Event(GetToken, 0, "123456", 60));
        Deliver(Event(CheckToken, c.result, "123456", c.value));
        EXPECT_EQ(frame->GetSecondsLeft(), -1);
        EXPECT_EQ(Text("lbl_tokentip"), c.tip);
        EXPECT_EQ(Digits(), "  |  |  |  |  |  |");
        EXPECT_TRUE(ButtonEnabled());
    }
}

// A failed check that came after the countdown had ended used to reset the
// display: with the next code request already out it enabled the button, and
// a second click asked the server for a second code.
TEST_F(MainFrameTest, CheckReplyAfterTheCountdownIsIgnored)
{
    Click("btn_newtoken");
    Deliver(Event(GetToken, 0, "123456", 1));
    Tick();  // the countdown ends while its check is out
    ASSERT_EQ(frame->GetSecondsLeft(), -1);
    for (int result : { -1, 0 }) {
        Deliver(Event(CheckToken, result, "123456", 0));
        EXPECT_EQ(Text("lbl_tokentip"), "{f 0}请点击下方按钮来获取验证码{/f}") << result;
    }
    Click("btn_newtoken");
    Deliver(Event(CheckToken, -1, "123456", 0));
    EXPECT_EQ(Text("lbl_tokentip"), "正在获取验证码 ...... ");
    EXPECT_FALSE(ButtonEnabled());
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

// A 32-character code fills the event's field without a terminator: showing
// and comparing it used to read past the field.
TEST_F(MainFrameTest, ThirtyTwoCharacterCodeStaysInsideTheField)
{
    const char code[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345";
    ASSERT_EQ(strlen(code), 32u);
    Click("btn_newtoken");
    TokenEvent event = Event(GetToken, 0, code, 30);
    Deliver(event);
    EXPECT_EQ(Digits(), " A| B| C| D| E| F|");
    EXPECT_STREQ(frame->GetShownCode(), code);

    TokenEvent other = Event(CheckToken, 0, code, 0);
    other.token[31] = 'x';  // differs only in the last byte
    Deliver(other);
    EXPECT_EQ(frame->GetSecondsLeft(), 30);
    Deliver(Event(CheckToken, 0, code, 0));
    EXPECT_EQ(frame->GetSecondsLeft(), -1);
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
