#include "tools/driver/DriverFlow.h"

#include "tokenclient/TokenResult.h"

namespace {

// The event's code: at most 32 characters, not always terminated.
std::string CodeOf(const TokenEvent& event)
{
    size_t length = 0;
    while (length < sizeof event.token && event.token[length] != '\0')
        ++length;
    return std::string(event.token, length);
}

const char* KindName(int kind)
{
    switch (kind) {
    case GetToken: return "get code";
    case CheckToken: return "check code";
    case Status: return "status";
    case Login: return "login";
    case Logout: return "logout";
    case Heartbeat: return "heartbeat";
    }
    return "request";
}

} // namespace

bool DriverFlow::ParseCommand(const std::string& text, Command& command)
{
    if (text == "get")
        command = Command::Get;
    else if (text == "watch")
        command = Command::Watch;
    else if (text == "check")
        command = Command::Check;
    else if (text == "status")
        command = Command::Status;
    else
        return false;
    return true;
}

std::string DriverFlow::FailureText(int result)
{
    switch (result) {
    case ResultTimeout: return "no answer from the server (timeout, -1)";
    case ResultMalformed: return "malformed reply from the server (-2)";
    case 2: return "refused: the device limit is reached (status 2)";
    case 3: return "refused: the phone is already authenticated (status 3)";
    case StatusNotLoggedIn: return "the server has no session for this PC (status 4)";
    }
    return "refused by the server (status " + std::to_string(result) + ")";
}

std::string DriverFlow::StartErrorText(int code)
{
    std::string text = "cannot start: ";
    switch (code) {
    case StartWinsockFailed: text += "the socket layer would not initialise"; break;
    case StartNoHostName: text += "the PC's host name could not be read"; break;
    case StartHostLookupFailed: text += "the PC's host name could not be looked up"; break;
    case StartNoGateway: text += "no server address (no adapter information or no route through an adapter's gateway)"; break;
    case StartNoWorker: text += "the worker thread could not be created"; break;
    default: text += "unknown error"; break;
    }
    return text + " (" + std::to_string(code) + ")";
}

DriverStep DriverFlow::Begin()
{
    DriverStep step;
    step.posts.push_back(command_ == Command::Status ? Status : GetToken);
    return step;
}

DriverStep DriverFlow::OnConnectFailed(int code)
{
    DriverStep step;
    if (phase_ == Phase::Done)
        return step;
    step.lines.push_back(StartErrorText(code));
    return Finish(step, 1);
}

DriverStep DriverFlow::OnEvent(const TokenEvent& event)
{
    if (phase_ == Phase::Done)
        return DriverStep();
    if (event.kind == Status) {
        DriverStep step;
        if (event.result == StatusOk) {
            step.lines.push_back("status: 0 (ok)");
            return Finish(step, 0);
        }
        step.lines.push_back("status: " + FailureText(event.result));
        return Finish(step, 1);
    }
    if (event.kind == GetToken && phase_ == Phase::WaitingCode)
        return OnCode(event);
    if (event.kind == CheckToken && (phase_ == Phase::WaitingCheck || phase_ == Phase::Watching))
        return OnCheck(event);
    DriverStep step;
    step.lines.push_back(std::string("unexpected outcome of ") + KindName(event.kind) + ": " +
                         std::to_string(event.result));
    return step;
}

DriverStep DriverFlow::OnCode(const TokenEvent& event)
{
    DriverStep step;
    if (event.result != StatusOk) {
        step.lines.push_back("get code: " + FailureText(event.result));
        return Finish(step, 1);
    }
    code_ = CodeOf(event);
    remaining_ = event.value;
    step.lines.push_back("code " + code_ + " valid for " + std::to_string(remaining_) + " s");
    if (command_ == Command::Get)
        return Finish(step, 0);
    phase_ = command_ == Command::Check ? Phase::WaitingCheck : Phase::Watching;
    checkOutstanding_ = true;
    step.posts.push_back(CheckToken);
    return step;
}

DriverStep DriverFlow::OnCheck(const TokenEvent& event)
{
    DriverStep step;
    checkOutstanding_ = false;
    if (event.result != StatusOk) {
        step.lines.push_back("check code: " + FailureText(event.result));
        return Finish(step, 1);
    }
    std::string answered = CodeOf(event);
    if (answered != code_)
        step.lines.push_back("warning: the server answered for code " + answered + " instead of " + code_);
    bool valid = event.value != 0;
    if (phase_ == Phase::WaitingCheck) {
        step.lines.push_back("code " + code_ + (valid ? " is valid" : " is NOT valid right after it was issued"));
        return Finish(step, valid ? 0 : 1);
    }
    if (!valid) {
        step.lines.push_back("code " + code_ + " is no longer valid");
        return Finish(step, 0);
    }
    return step;
}

DriverStep DriverFlow::OnSecond()
{
    DriverStep step;
    if (phase_ != Phase::Watching)
        return step;
    --remaining_;
    if (remaining_ <= 0) {
        step.lines.push_back("code " + code_ + " expired");
        return Finish(step, 0);
    }
    step.lines.push_back("code " + code_ + ": " + std::to_string(remaining_) + " s left");
    if (!checkOutstanding_) {
        checkOutstanding_ = true;
        step.posts.push_back(CheckToken);
    }
    return step;
}

DriverStep DriverFlow::Finish(DriverStep step, int exitCode)
{
    phase_ = Phase::Done;
    step.finished = true;
    step.exitCode = exitCode;
    return step;
}
