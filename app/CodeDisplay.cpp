#include "app/CodeDisplay.h"

#include <stdio.h>
#include <string.h>

#include "tokenclient/TokenResult.h"

namespace {

const char* const kControlNames[DisplayRoleCount] = {
    "lbl_token1", "lbl_token2", "lbl_token3", "lbl_token4", "lbl_token5", "lbl_token6",
    "lbl_tokentip", "btn_newtoken",
};

const int kDigitCount = RoleDigit6 - RoleDigit1 + 1;

const char* MessageFor(int code)
{
    switch (code) {
    case StatusDeviceLimit:
        return "{c #FF0000}您连接的设备数已达上限。{/c}";
    case StatusAlreadyAuthenticated:
        return "{c #007F00}您的手机已通过认证， 可以正常上网了。{/c}";
    case ResultCheckFailed:
        return "{c #FF0000}通信异常，可能设备正在重启，请稍后重试。{/c}";
    default:
        return "{c #FF0000}通信异常，请检查您的网络。{/c}";
    }
}

} // namespace

const char* DisplayControlName(DisplayRole role) { return kControlNames[role]; }

CodeDisplay::CodeDisplay(IDisplayView& view, ICountdownTimer& timer, IRequestSink& requests)
    : m_view(view)
    , m_timer(timer)
    , m_requests(requests)
{
}

void CodeDisplay::RequestCode()
{
    m_requests.PostRequest(GetToken);
    m_view.EnableCodeButton(false);
    m_view.SetRoleText(RoleTip, "正在获取验证码 ...... ");
}

void CodeDisplay::ShowTip(int seconds, int code)
{
    if (code != StatusOk) {
        m_view.EnableCodeButton(true);
        m_view.SetRoleText(RoleTip, MessageFor(code));
    } else if (seconds > 0) {
        char text[128];
        snprintf(text, sizeof(text), "验证码将在{f 1}{c #FF0000}%d{/c}{/f}秒后过期", seconds);
        m_view.SetRoleText(RoleTip, text);
    } else {
        m_view.SetRoleText(RoleTip, "{f 0}请点击下方按钮来获取验证码{/f}");
    }
}

void CodeDisplay::ShowCodeDigits(const char* text)
{
    const char* digits = text != nullptr ? text : "      ";
    bool ended = false;
    for (int i = 0; i < kDigitCount; ++i) {
        // Past the code's end every label shows its space alone.
        char ch = ended ? '\0' : digits[i];
        ended = ch == '\0';
        char label[3] = { ' ', ch, '\0' };
        m_view.SetRoleText(DisplayRole(RoleDigit1 + i), label);
    }
}

void CodeDisplay::ResetCode(int code)
{
    m_timer.StopCountdown();
    ShowCodeDigits(nullptr);
    ShowTip(-1, code);
    m_view.EnableCodeButton(true);
    m_secondsLeft = -1;
    memset(m_shownCode, 0, sizeof(m_shownCode));
    m_checkPending = false;
}

void CodeDisplay::PostCheck()
{
    if (m_checkPending)
        return;
    m_requests.PostRequest(CheckToken);
    m_checkPending = true;
}

void CodeDisplay::OnCodeReply(const TokenEvent& event)
{
    if (event.result != StatusOk) {
        ShowCodeDigits(nullptr);
        ShowTip(m_secondsLeft, event.result);
        return;
    }
    // The event's field is zero-padded and has no terminator at 32 bytes.
    memset(m_shownCode, 0, sizeof(m_shownCode));
    memcpy(m_shownCode, event.token, sizeof(event.token));
    m_secondsLeft = event.value;
    m_timer.StartCountdown();
    PostCheck();
    ShowCodeDigits(m_shownCode);
    ShowTip(m_secondsLeft, StatusOk);
}

void CodeDisplay::OnCheckReply(const TokenEvent& event)
{
    // A reply that comes after the countdown has ended belongs to a code no
    // longer shown, whatever it says.
    if (m_secondsLeft <= 0)
        return;
    if (event.result != StatusOk) {
        ResetCode(ResultCheckFailed);
        return;
    }
    // Both codes are zero-padded to the event's field size.
    if (memcmp(event.token, m_shownCode, sizeof(event.token)) != 0)
        return;
    if ((event.value & 0xFF) == 0)
        ResetCode(StatusOk);
    m_checkPending = false;
}

void CodeDisplay::OnCountdownTick()
{
    --m_secondsLeft;
    if (m_secondsLeft == 0) {
        ResetCode(StatusOk);
        return;
    }
    ShowTip(m_secondsLeft, StatusOk);
    PostCheck();
}
