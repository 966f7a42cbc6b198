#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "tools/refserver/TokenServer.h"

using refserver::Outgoing;
using refserver::Peer;
using refserver::ServerConfig;
using refserver::TokenServer;

namespace {

// The value of "key:" in a reply, or "<none>".
std::string FieldOf(const std::string& reply, const std::string& key)
{
    size_t at = reply.find("\r\n" + key + ":");
    if (at == std::string::npos)
        return "<none>";
    size_t start = at + key.size() + 3;
    return reply.substr(start, reply.find("\r\n", start) - start);
}

class TokenServerTest : public ::testing::Test
{
protected:
    void Start()
    {
        server = std::make_unique<TokenServer>(config, now, [this](const Peer*, const std::string& text) {
            notes.push_back(text);
        });
    }

    std::vector<Outgoing> Send(const std::string& bytes, const Peer& from)
    {
        std::vector<Outgoing> out;
        server->HandleDatagram(bytes, from, now, out);
        return out;
    }

    // Sends one request and returns its only reply ("" when there is none).
    std::string Ask(const std::string& commandPart, int seq, const Peer& from)
    {
        std::vector<Outgoing> out = Send(commandPart + "Seq:" + std::to_string(seq) + "\r\n", from);
        EXPECT_LE(out.size(), 1u);
        return out.empty() ? std::string() : out[0].bytes;
    }
    std::string Ask(const std::string& commandPart, int seq) { return Ask(commandPart, seq, pc); }

    std::string GetCode(int seq)
    {
        std::string reply = Ask("gimmeatoken\r\n", seq);
        EXPECT_EQ('0', reply[0]) << reply;
        return FieldOf(reply, "token");
    }

    ServerConfig config;
    std::vector<std::string> notes;
    std::unique_ptr<TokenServer> server;
    Peer pc{0x7F000001, 40000};
    Peer other{0x7F000001, 40001};
    int64_t now = 5000000;
};

} // namespace

TEST_F(TokenServerTest, IssuesCodesThatLiveTheirLifetime)
{
    config.tokenTtlSeconds = 30;
    Start();
    EXPECT_EQ("0\r\nseq:0\r\n", Ask("login\r\nName:PC-1\r\n", 0));
    std::string reply = Ask("gimmeatoken\r\n", 1);
    std::string code = FieldOf(reply, "token");
    EXPECT_EQ("0\r\nseq:1\r\ntoken:" + code + "\r\ntoken-ttl:30\r\n", reply);
    ASSERT_EQ(6u, code.size());
    EXPECT_EQ(std::string::npos, code.find_first_not_of("0123456789"));

    now += 29999;
    reply = Ask("checktoken\r\nToken:" + code + "\r\n", 2);
    EXPECT_EQ("true", FieldOf(reply, "token-valid"));
    EXPECT_EQ(code, FieldOf(reply, "token"));
    now += 1;
    reply = Ask("checktoken\r\nToken:" + code + "\r\n", 3);
    EXPECT_EQ("0\r\nseq:3\r\ntoken:" + code + "\r\ntoken-valid:false\r\n", reply);
    EXPECT_EQ("false", FieldOf(Ask("checktoken\r\nToken:123\r\n", 4), "token-valid"));
}

TEST_F(TokenServerTest, ANewCodeReplacesTheSessionsOldOne)
{
    Start();
    Ask("login\r\nName:PC-1\r\n", 0);
    std::string first = GetCode(1);
    std::string second = GetCode(2);
    EXPECT_NE(first, second);
    EXPECT_EQ("false", FieldOf(Ask("checktoken\r\nToken:" + first + "\r\n", 3), "token-valid"));
    EXPECT_EQ("true", FieldOf(Ask("checktoken\r\nToken:" + second + "\r\n", 4), "token-valid"));
}

TEST_F(TokenServerTest, ARepeatedRequestGetsTheSameReply)
{
    Start();
    Ask("login\r\nName:PC-1\r\n", 0);
    std::string reply = Ask("gimmeatoken\r\n", 1);
    EXPECT_EQ(reply, Ask("gimmeatoken\r\n", 1));
    EXPECT_NE(reply, Ask("gimmeatoken\r\n", 2));
}

TEST_F(TokenServerTest, EveryRequestWithoutASessionGetsStatus4)
{
    Start();
    for (const char* part : {"gimmeatoken\r\n", "checktoken\r\nToken:1\r\n", "heartbeat\r\n", "status\r\n", "logout\r\n"})
        EXPECT_EQ("4\r\nseq:7\r\n", Ask(part, 7)) << part;
    Ask("login\r\nName:PC-1\r\n", 0);
    EXPECT_EQ("4\r\nseq:1\r\n", Ask("heartbeat\r\n", 1, other));
    EXPECT_EQ("1\r\nseq:8\r\n", Ask("login\r\nName:\r\n", 8, other));
}

TEST_F(TokenServerTest, SessionsEndByLogoutOrIdleness)
{
    config.sessionIdleSeconds = 60;
    Start();
    Ask("login\r\nName:PC-1\r\n", 0);
    now += 59999;
    EXPECT_EQ("0\r\nseq:1\r\n", Ask("heartbeat\r\n", 1));
    EXPECT_EQ(now + 60000, server->NextEventMs());
    now += 60000;
    EXPECT_EQ("4\r\nseq:2\r\n", Ask("heartbeat\r\n", 2));

    Ask("login\r\nName:PC-1\r\n", 3);
    EXPECT_EQ("0\r\nseq:4\r\n", Ask("logout\r\n", 4));
    EXPECT_FALSE(server->HasSession(pc));

    // The closing logout carries no sequence line and gets no answer.
    Ask("login\r\nName:PC-1\r\n", 0);
    EXPECT_TRUE(Send("logout\r\n", pc).empty());
    EXPECT_FALSE(server->HasSession(pc));
}

TEST_F(TokenServerTest, RefusesCodesWithTheConfiguredStatus)
{
    for (int status : {2, 3}) {
        config.refuseTokenStatus = status;
        Start();
        Ask("login\r\nName:PC-1\r\n", 0);
        EXPECT_EQ(std::to_string(status) + "\r\nseq:1\r\n", Ask("gimmeatoken\r\n", 1));
    }
}

TEST_F(TokenServerTest, AnswersNotLoggedInToAllOrAllButLogins)
{
    for (const char* mode : {"all", "others"}) {
        config.notLoggedIn = mode;
        Start();
        bool others = config.notLoggedIn == "others";
        EXPECT_EQ(others ? "0\r\nseq:0\r\n" : "4\r\nseq:0\r\n", Ask("login\r\nName:PC-1\r\n", 0)) << mode;
        EXPECT_EQ("4\r\nseq:1\r\n", Ask("gimmeatoken\r\n", 1)) << mode;
        EXPECT_EQ("4\r\nseq:2\r\n", Ask("heartbeat\r\n", 2)) << mode;
    }
}

TEST_F(TokenServerTest, BadDatagramsAreIgnored)
{
    Start();
    Ask("login\r\nName:PC-1\r\n", 0);
    const std::string inputs[] = {"", std::string("\0\x01\x02", 3), std::string(4000, 'A'), "gimmeatoken\r\n",
                                  "gimmeatoken\r\nSeq:one\r\n", "reboot\r\nSeq:1\r\n"};
    for (const std::string& input : inputs)
        EXPECT_TRUE(Send(input, pc).empty()) << input.substr(0, 20);
    EXPECT_EQ(6u, std::count_if(notes.begin(), notes.end(),
                                [](const std::string& n) { return n.rfind("ignored", 0) == 0; }));
}

TEST_F(TokenServerTest, ForgetsEverySessionAtTheGivenTimes)
{
    config.forgetAtMs = {1000};
    config.forgetEveryMs = 5000;
    Start();
    int64_t start = now;
    Ask("login\r\nName:PC-1\r\n", 0);
    EXPECT_EQ(start + 1000, server->NextEventMs());
    now = start + 999;
    EXPECT_EQ("0\r\nseq:1\r\n", Ask("heartbeat\r\n", 1));
    now = start + 1000;
    EXPECT_EQ("4\r\nseq:2\r\n", Ask("heartbeat\r\n", 2));
    Ask("login\r\nName:PC-1\r\n", 3);
    EXPECT_EQ(start + 5000, server->NextEventMs());
    now = start + 10001;
    std::vector<Outgoing> out;
    server->Advance(now, out);
    EXPECT_FALSE(server->HasSession(pc));
    EXPECT_EQ(start + 15000, server->NextEventMs());
}

TEST_F(TokenServerTest, FallsSilentForWindowsAndIgnoredCommands)
{
    config.silences = {{1000, 500}};
    config.ignoredCommands = {"gimmeatoken"};
    Start();
    int64_t start = now;
    Ask("login\r\nName:PC-1\r\n", 0);
    EXPECT_EQ("", Ask("gimmeatoken\r\n", 1));
    now = start + 1000;
    EXPECT_EQ("", Ask("heartbeat\r\n", 2));
    now = start + 1500;
    EXPECT_EQ("0\r\nseq:2\r\n", Ask("heartbeat\r\n", 2));
}

TEST_F(TokenServerTest, FaultsShapeTheReplies)
{
    const std::string login = "login\r\nName:PC-1\r\nSeq:0\r\n";
    const std::string heartbeat = "heartbeat\r\nSeq:1\r\n";
    const std::string reply = "0\r\nseq:1\r\n";

    config.duplicate = 1;
    config.delayShare = 1;
    config.delayMs = 400;
    Start();
    Send(login, pc);
    std::vector<Outgoing> out = Send(heartbeat, pc);
    ASSERT_EQ(2u, out.size());
    EXPECT_EQ(reply, out[1].bytes);
    EXPECT_EQ(now + 400, out[0].dueMs);
    EXPECT_EQ(now + 400, out[1].dueMs);

    config = ServerConfig();
    config.wrongSeq = 1;
    config.garbage = 1;
    Start();
    Send(login, pc);
    out = Send(heartbeat, pc);
    ASSERT_EQ(2u, out.size());
    EXPECT_EQ("0\r\nseq:0\r\n", out[1].bytes);

    config = ServerConfig();
    config.dropReplies = 1;
    Start();
    EXPECT_TRUE(Send(login, pc).empty());
    EXPECT_TRUE(server->HasSession(pc));  // the request was served, only its reply lost

    config = ServerConfig();
    config.dropRequests = 1;
    Start();
    EXPECT_TRUE(Send(login, pc).empty());
    EXPECT_FALSE(server->HasSession(pc));
}

TEST_F(TokenServerTest, AHeldReplyFollowsTheNextOneOrLeavesLate)
{
    config.reorder = 1;
    Start();
    EXPECT_TRUE(Send("login\r\nName:PC-1\r\nSeq:0\r\n", pc).empty());
    std::vector<Outgoing> out = Send("heartbeat\r\nSeq:1\r\n", pc);
    ASSERT_EQ(2u, out.size());
    EXPECT_EQ("0\r\nseq:1\r\n", out[0].bytes);
    EXPECT_EQ("0\r\nseq:0\r\n", out[1].bytes);

    EXPECT_TRUE(Send("heartbeat\r\nSeq:2\r\n", pc).empty());
    now += 2000;
    out.clear();
    server->Advance(now, out);
    ASSERT_EQ(1u, out.size());
    EXPECT_EQ("0\r\nseq:2\r\n", out[0].bytes);
}

TEST(FaultPlan, DecisionsDependOnSeedAndRequestOnly)
{
    refserver::FaultPlan plan(7), same(7), otherSeed(8);
    using Fault = refserver::FaultPlan::Fault;
    int hits = 0, differences = 0;
    for (int seq = 0; seq < 2000; ++seq) {
        bool hit = plan.Hits(Fault::DropReply, 0.3, "gimmeatoken", seq, 1);
        EXPECT_EQ(hit, same.Hits(Fault::DropReply, 0.3, "gimmeatoken", seq, 1));
        differences += hit != otherSeed.Hits(Fault::DropReply, 0.3, "gimmeatoken", seq, 1);
        hits += hit;
    }
    EXPECT_NEAR(600, hits, 90);
    EXPECT_GT(differences, 300);
    EXPECT_NE(plan.Draw(Fault::DropReply, "x", 1, 1), plan.Draw(Fault::DropReply, "x", 1, 2));
    EXPECT_NE(plan.Draw(Fault::DropReply, "x", 1, 1), plan.Draw(Fault::DropRequest, "x", 1, 1));
}
