#pragma once
// What the operator driver does, without any window or socket: it is told the
// client's outcomes and the passing seconds, and answers with the requests to
// post, the lines to print and, at the end, the exit status.
#include <string>
#include <vector>

#include "tokenclient/RequestKind.h"
#include "tokenclient/TokenEvent.h"

struct DriverStep
{
    std::vector<RequestKind> posts;
    std::vector<std::string> lines;
    bool finished = false;
    int exitCode = 0;
};

class DriverFlow
{
public:
    enum class Command {
        Get,     // ask for a code and print it with its lifetime
        Watch,   // get, then check once a second and count down until the code ends
        Check,   // get, then check the new code once: it must be valid
        Status,  // a status query
    };

    static bool ParseCommand(const std::string& text, Command& command);

    explicit DriverFlow(Command command) : command_(command) {}

    DriverStep Begin();
    DriverStep OnEvent(const TokenEvent& event);
    DriverStep OnConnectFailed(int code);
    // Once a second: the countdown of Watch.
    DriverStep OnSecond();

    bool Finished() const { return phase_ == Phase::Done; }

    // A line for an outcome other than success, naming its number.
    static std::string FailureText(int result);
    static std::string StartErrorText(int code);

private:
    enum class Phase { WaitingCode, WaitingCheck, Watching, Done };

    DriverStep OnCode(const TokenEvent& event);
    DriverStep OnCheck(const TokenEvent& event);
    DriverStep Finish(DriverStep step, int exitCode);

    Command command_;
    Phase phase_ = Phase::WaitingCode;
    std::string code_;
    int remaining_ = 0;
    bool checkOutstanding_ = false;
};
