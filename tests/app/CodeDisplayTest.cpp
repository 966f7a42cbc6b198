// What the customer sees after each sequence of clicks, replies and ticks,
// with the requests the display sent and whether its countdown runs.

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "app/CodeDisplay.h"

namespace {

// The window as the display sees it; it starts as the skin does.
class FakeWindow : public IDisplayView, public ICountdownTimer, public IRequestSink
{
public:
    FakeWindow()
    {
        for (int i = RoleDigit1; i <= RoleDigit6; ++i)
            texts[i] = "  ";
        texts[RoleTip] = "{f 0}请点击下方按钮来获取验证码{/f}";
    }
    void SetRoleText(DisplayRole role, const char* text) override { texts[role] = text; }
    void EnableCodeButton(bool enabled) override { buttonEnabled = enabled; }
    void StartCountdown() override { counting = true; }
    void StopCountdown() override { counting = false; }
    void PostRequest(RequestKind kind) override { requests += kind == GetToken ? "G" : "C"; }

    std::string Digits() const
    {
        std::string digits;
        for (int i = RoleDigit1; i <= RoleDigit6; ++i)
            digits += texts[i] + "|";
        return digits;
    }

    std::string texts[DisplayRoleCount];
    bool buttonEnabled = true;
    bool counting = false;
    std::string requests; // G for GetToken, C for CheckToken
};

// One step of a script: "click", "tick", a code reply "code=<code>,<seconds>"
// or "code!<result>", a check reply "check=<code>,<0 or 1>" or "check!<result>".
void Play(CodeDisplay& display, const std::string& step)
{
    if (step == "click")
        return display.RequestCode();
    if (step == "tick")
        return display.OnCountdownTick();
    size_t mark = step.find_first_of("=!");
    std::string kind = step.substr(0, mark);
    ASSERT_TRUE(kind == "code" || kind == "check") << step;
    TokenEvent event = {};
    event.kind = kind == "code" ? GetToken : CheckToken;
    if (step[mark] == '!') {
        event.result = std::stoi(step.substr(mark + 1));
    } else {
        size_t comma = step.find(',', mark);
        ASSERT_NE(comma, std::string::npos) << step;
        std::string code = step.substr(mark + 1, comma - mark - 1);
        ASSERT_LE(code.size(), sizeof(event.token)) << step;
        code.copy(event.token, sizeof(event.token));
        event.value = std::stoi(step.substr(comma + 1));
    }
    if (event.kind == GetToken)
        display.OnCodeReply(event);
    else
        display.OnCheckReply(event);
}

std::string Countdown(int seconds)
{
    return "验证码将在{f 1}{c #FF0000}" + std::to_string(seconds) + "{/c}{/f}秒后过期";
}

const std::string kIdle = "{f 0}请点击下方按钮来获取验证码{/f}";
const std::string kRequesting = "正在获取验证码 ...... ";
const std::string kDeviceLimit = "{c #FF0000}您连接的设备数已达上限。{/c}";
const std::string kAuthenticated = "{c #007F00}您的手机已通过认证， 可以正常上网了。{/c}";
const std::string kCheckFailed = "{c #FF0000}通信异常，可能设备正在重启，请稍后重试。{/c}";
const std::string kNetwork = "{c #FF0000}通信异常，请检查您的网络。{/c}";
const char kBlank[] = "  |  |  |  |  |  |";
const char k4821[] = " 4| 8| 2| 1| | |"; // a short code leaves the labels past its end a space
const char kABCDEF[] = " A| B| C| D| E| F|";
const bool Enabled = true, Disabled = false;
const bool Counting = true, Stopped = false;

// 32 characters fill the event's field without a terminator.
#define FULL "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345"
#define FULLX "ABCDEFGHIJKLMNOPQRSTUVWXYZ01234x"

TEST(CodeDisplayTest, WhatEachSequenceShows)
{
    struct Row
    {
        const char* script;
        const char* digits;
        std::string tip;
        bool button;
        const char* requests;
        bool counting;
    } rows[] = {
        // Clicks and codes. Each click asks, though the window's disabled button lets no second one through.
        { "click", kBlank, kRequesting, Disabled, "G", Stopped },
        { "click click", kBlank, kRequesting, Disabled, "GG", Stopped },
        { "click code=482913,60", " 4| 8| 2| 9| 1| 3|", Countdown(60), Disabled, "GC", Counting },
        { "click code=4821,3", k4821, Countdown(3), Disabled, "GC", Counting },
        { "click code=12345678,5", " 1| 2| 3| 4| 5| 6|", Countdown(5), Disabled, "GC", Counting },
        // A 32-character code used to be shown and compared past the event's field.
        { "click code=" FULL ",30", kABCDEF, Countdown(30), Disabled, "GC", Counting },
        { "click code=" FULL ",30 check=" FULL ",0", kBlank, kIdle, Enabled, "GC", Stopped },
        { "click code=" FULL ",30 check=" FULLX ",0", kABCDEF, Countdown(30), Disabled, "GC", Counting },
        // Ticks: one check out at a time, none on the tick that ends the countdown.
        { "click code=4821,3 tick", k4821, Countdown(2), Disabled, "GC", Counting },
        { "click code=4821,3 check=4821,1 tick", k4821, Countdown(2), Disabled, "GCC", Counting },
        { "click code=4821,2 check=4821,1 tick check=4821,1 tick", kBlank, kIdle, Enabled, "GCC", Stopped },
        { "click code=4821,1 check=4821,1 tick", kBlank, kIdle, Enabled, "GC", Stopped },
        // Check replies: valid, no longer valid, failed, for another code.
        { "click code=4821,9 check=4821,1", k4821, Countdown(9), Disabled, "GC", Counting },
        { "click code=4821,9 check=4821,0", kBlank, kIdle, Enabled, "GC", Stopped },
        { "click code=4821,9 check=4821,256", kBlank, kIdle, Enabled, "GC", Stopped }, // the low byte is 0
        { "click code=4821,9 check!-1", kBlank, kCheckFailed, Enabled, "GC", Stopped },
        { "click code=4821,9 check!2", kBlank, kCheckFailed, Enabled, "GC", Stopped },
        { "click code=4821,9 check=9999,0 tick", k4821, Countdown(8), Disabled, "GC", Counting },
        { "click code=4821,9 check=9999,1 check=4821,1 tick", k4821, Countdown(8), Disabled, "GCC",
          Counting },
        // A check reply after the countdown had ended used to reset the display,
        // and with the next code request out it enabled the button.
        { "click code=4821,1 tick check!-1", kBlank, kIdle, Enabled, "GC", Stopped },
        { "click code=4821,1 tick check=4821,0", kBlank, kIdle, Enabled, "GC", Stopped },
        { "click code=4821,1 tick click check!-1", kBlank, kRequesting, Disabled, "GCG", Stopped },
        { "click code=4821,1 tick click code=5555,9", " 5| 5| 5| 5| | |", Countdown(9), Disabled, "GCGC",
          Counting },
        // Refusals of a code request.
        { "click code!2", kBlank, kDeviceLimit, Enabled, "G", Stopped },
        { "click code!3", kBlank, kAuthenticated, Enabled, "G", Stopped },
        { "click code!-1", kBlank, kNetwork, Enabled, "G", Stopped },
        { "click code!-2", kBlank, kNetwork, Enabled, "G", Stopped },
        { "click code!7", kBlank, kNetwork, Enabled, "G", Stopped },
        { "click code!-3", kBlank, kCheckFailed, Enabled, "G", Stopped },
        { "click code!2 click code=4821,9", k4821, Countdown(9), Disabled, "GGC", Counting },
    };
    for (const Row& row : rows) {
        FakeWindow window;
        CodeDisplay display(window, window, window);
        std::istringstream steps(row.script);
        for (std::string step; steps >> step;)
            Play(display, step);
        EXPECT_EQ(window.Digits(), row.digits) << row.script;
        EXPECT_EQ(window.texts[RoleTip], row.tip) << row.script;
        EXPECT_EQ(window.buttonEnabled, row.button) << row.script;
        EXPECT_EQ(window.requests, row.requests) << row.script;
        EXPECT_EQ(window.counting, row.counting) << row.script;
    }
}

} // namespace
