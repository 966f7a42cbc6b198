#include <gtest/gtest.h>

#include <cstring>

#include "tokenclient/TokenResult.h"
#include "tools/driver/DriverFlow.h"
#include "tools/driver/DriverOptions.h"

namespace {

TokenEvent Event(RequestKind kind, int result, const char* token = "", int value = 0)
{
    TokenEvent event{};
    event.kind = kind;
    event.result = result;
    std::strncpy(event.token, token, sizeof event.token);
    event.value = value;
    return event;
}

std::string Joined(const DriverStep& step)
{
    std::string text;
    for (const std::string& line : step.lines)
        text += line + "\n";
    return text;
}

} // namespace

TEST(DriverFlow, EveryFailureIsNamedAndFails)
{
    const struct
    {
        int result;
        const char* mentions;
    } rows[] = {
        {ResultTimeout, "timeout, -1"}, {ResultMalformed, "malformed reply from the server (-2)"},
        {2, "device limit is reached (status 2)"}, {3, "phone is already authenticated (status 3)"},
        {4, "no session for this PC (status 4)"}, {9, "status 9"},
    };
    for (const auto& row : rows) {
        DriverFlow flow(DriverFlow::Command::Get);
        ASSERT_EQ(std::vector<RequestKind>{GetToken}, flow.Begin().posts);
        DriverStep step = flow.OnEvent(Event(GetToken, row.result));
        EXPECT_NE(std::string::npos, Joined(step).find(row.mentions)) << Joined(step);
        EXPECT_TRUE(step.finished);
        EXPECT_EQ(1, step.exitCode);
    }
    for (int code : {StartWinsockFailed, StartNoHostName, StartHostLookupFailed, StartNoGateway}) {
        DriverFlow flow(DriverFlow::Command::Watch);
        flow.Begin();
        DriverStep step = flow.OnConnectFailed(code);
        EXPECT_NE(std::string::npos, Joined(step).find("(" + std::to_string(code) + ")")) << Joined(step);
        EXPECT_EQ(1, step.exitCode);
        EXPECT_TRUE(flow.Finished());
    }
}

TEST(DriverFlow, GetPrintsTheCodeAndItsLifetime)
{
    DriverFlow flow(DriverFlow::Command::Get);
    flow.Begin();
    DriverStep step = flow.OnEvent(Event(GetToken, StatusOk, "042917", 120));
    EXPECT_EQ("code 042917 valid for 120 s\n", Joined(step));
    EXPECT_TRUE(step.finished);
    EXPECT_EQ(0, step.exitCode);
}

TEST(DriverFlow, ACodeOf32CharactersNeedsNoTerminator)
{
    DriverFlow flow(DriverFlow::Command::Get);
    TokenEvent event = Event(GetToken, StatusOk, "", 5);
    std::memset(event.token, 'A', sizeof event.token);
    EXPECT_EQ("code " + std::string(32, 'A') + " valid for 5 s\n", Joined(flow.OnEvent(event)));
}

TEST(DriverFlow, WatchChecksOnceASecondUntilTheCodeEnds)
{
    DriverFlow flow(DriverFlow::Command::Watch);
    flow.Begin();
    EXPECT_EQ(std::vector<RequestKind>{CheckToken}, flow.OnEvent(Event(GetToken, StatusOk, "123456", 3)).posts);
    // No second check while one is outstanding.
    DriverStep step = flow.OnSecond();
    EXPECT_TRUE(step.posts.empty());
    EXPECT_EQ("code 123456: 2 s left\n", Joined(step));
    EXPECT_FALSE(flow.OnEvent(Event(CheckToken, StatusOk, "123456", 1)).finished);
    EXPECT_EQ(std::vector<RequestKind>{CheckToken}, flow.OnSecond().posts);
    step = flow.OnEvent(Event(CheckToken, StatusOk, "123456", 0));
    EXPECT_EQ("code 123456 is no longer valid\n", Joined(step));
    EXPECT_EQ(0, step.exitCode);

    DriverFlow expiring(DriverFlow::Command::Watch);
    expiring.OnEvent(Event(GetToken, StatusOk, "123456", 2));
    expiring.OnSecond();
    step = expiring.OnSecond();
    EXPECT_EQ("code 123456 expired\n", Joined(step));
    EXPECT_TRUE(step.finished);
    EXPECT_TRUE(expiring.OnSecond().lines.empty());
}

TEST(DriverFlow, CheckWantsTheNewCodeValidAndNamesAStrangeAnswer)
{
    DriverFlow flow(DriverFlow::Command::Check);
    flow.OnEvent(Event(GetToken, StatusOk, "123456", 60));
    DriverStep step = flow.OnEvent(Event(CheckToken, StatusOk, "654321", 0));
    EXPECT_NE(std::string::npos, Joined(step).find("answered for code 654321"));
    EXPECT_EQ(1, step.exitCode);

    DriverFlow status(DriverFlow::Command::Status);
    EXPECT_EQ(std::vector<RequestKind>{Status}, status.Begin().posts);
    EXPECT_EQ(0, status.OnEvent(Event(Status, StatusOk)).exitCode);
}

TEST(DriverOptions, ParsesTheCommandLine)
{
    DriverOptions options;
    std::string error;
    ASSERT_TRUE(ParseDriverOptions({"--server", "10.0.0.1", "watch", "--port", "19110", "--linger", "20", "--timestamps"},
                                   options, error))
        << error;
    EXPECT_EQ(DriverFlow::Command::Watch, options.command);
    EXPECT_EQ("10.0.0.1", options.server);
    EXPECT_EQ(19110, options.port);
    EXPECT_EQ(20, options.lingerSeconds);
    EXPECT_TRUE(options.timestamps);

    const std::vector<std::vector<std::string>> bad = {
        {}, {"fetch"}, {"get", "get"}, {"get", "--port", "19110"}, {"get", "--server"},
        {"get", "--server", "1234567890.123456"}, {"get", "--timeout", "0"}, {"get", "--bogus", "1"},
    };
    for (const auto& args : bad) {
        DriverOptions other;
        error.clear();
        EXPECT_FALSE(ParseDriverOptions(args, other, error));
        EXPECT_FALSE(error.empty());
    }
}
