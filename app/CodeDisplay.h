#pragma once

// CodeDisplay: what the main window shows the customer, apart from the
// window. A click asks for a code; a code reply shows it as six characters
// and starts the countdown; every tick counts down and asks the server, one
// question at a time, whether the code is still valid; a check reply that
// says "no longer valid" or fails, or the end of the countdown, brings the
// display back to idle. It writes to the window through IDisplayView, asks
// the server through IRequestSink and runs its once-a-second tick through
// ICountdownTimer, so that it needs no window and runs wherever it is built.

#include <cstdint>

#include "tokenclient/RequestKind.h"
#include "tokenclient/TokenEvent.h"

// The controls the display writes to; the six digits come first, in order.
enum DisplayRole
{
    RoleDigit1,
    RoleDigit2,
    RoleDigit3,
    RoleDigit4,
    RoleDigit5,
    RoleDigit6,
    RoleTip,        // the one-line message under the digits
    RoleCodeButton, // "获取验证码"
    DisplayRoleCount
};

// The skin's name of the control that plays the role.
const char* DisplayControlName(DisplayRole role);

// The results the tip has a message of its own for. 2 and 3 are the
// server's refusals of a code request; -3 is the display's own, for a check
// that failed whatever the reason.
enum DisplayResult : int32_t
{
    StatusDeviceLimit = 2,          // the café's limit of connected devices is reached
    StatusAlreadyAuthenticated = 3, // the phone has been let through already
    ResultCheckFailed = -3,
};

// The window's controls, as the display changes them.
class IDisplayView
{
public:
    virtual void SetRoleText(DisplayRole role, const char* text) = 0;
    virtual void EnableCodeButton(bool enabled) = 0;

protected:
    ~IDisplayView() = default;
};

// Started, it calls the display's OnCountdownTick once a second until it is
// stopped; starting it again while it runs restarts it.
class ICountdownTimer
{
public:
    virtual void StartCountdown() = 0;
    virtual void StopCountdown() = 0;

protected:
    ~ICountdownTimer() = default;
};

// Queues a request to the server; its outcome comes back later as a
// TokenEvent for OnCodeReply or OnCheckReply.
class IRequestSink
{
public:
    virtual void PostRequest(RequestKind kind) = 0;

protected:
    ~IRequestSink() = default;
};

class CodeDisplay
{
public:
    CodeDisplay(IDisplayView& view, ICountdownTimer& timer, IRequestSink& requests);

    CodeDisplay(const CodeDisplay&) = delete;
    CodeDisplay& operator=(const CodeDisplay&) = delete;

    // The customer clicked the code button.
    void RequestCode();
    void OnCodeReply(const TokenEvent& event);
    void OnCheckReply(const TokenEvent& event);
    void OnCountdownTick();

    // The countdown text while seconds are left, else the idle text; a
    // non-zero code shows its message and enables the button.
    void ShowTip(int seconds, int code);
    // `text` is read up to its terminator, at most six bytes; null shows
    // six spaces.
    void ShowCodeDigits(const char* text);
    // Back to idle (code 0) or to the message for the code.
    void ResetCode(int code);

private:
    void PostCheck();

    IDisplayView& m_view;
    ICountdownTimer& m_timer;
    IRequestSink& m_requests;
    bool m_checkPending = false;
    // The code being counted down. Codes have up to 32 bytes and the event's
    // field then has no terminator, so one byte more is kept here.
    char m_shownCode[sizeof(TokenEvent::token) + 1] = {};
    // -1 while no code is shown.
    int m_secondsLeft = -1;
};
