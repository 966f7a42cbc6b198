// Every timing rule of the engine, driven pass by pass on a fake clock. Each
// test runs from several start ticks, including ones just before the 32-bit
// tick wraps around.

#include <gtest/gtest.h>

#include "EngineHarness.h"
#include "tokenclient/TokenResult.h"

namespace {

class TokenClientTimingTest : public ::testing::TestWithParam<uint32_t> {
protected:
    TokenClientTimingTest() : h(GetParam()) {}

    // Milliseconds since the harness started.
    uint32_t Since(uint32_t tick) const { return tick - GetParam(); }

    EngineHarness h;
};

INSTANTIATE_TEST_SUITE_P(StartTicks, TokenClientTimingTest,
                         ::testing::Values(1000u, 0xFFFFFFFFu - 256u, 0xFFFFFFFFu - 950u, 0xFFFFFFFFu));

TEST_P(TokenClientTimingTest, FirstDatagramIsALoginWithSequenceZero)
{
    ASSERT_EQ(0, h.engine.Open());
    EXPECT_EQ("10.9.8.1", h.socket.openedAddress);
    EXPECT_EQ(9110, h.socket.openedPort);
    h.engine.PollOnce();
    ASSERT_LE(1u, h.socket.sent.size());
    EXPECT_EQ("login\r\nName:CAFE-PC07\r\nSeq:0\r\n", h.socket.sent[0].bytes);
    EXPECT_EQ(0u, Since(h.socket.sent[0].at));
}

TEST_P(TokenClientTimingTest, UnansweredLoginIsSentFourTimesThenSilentlyRenewed)
{
    ASSERT_EQ(0, h.engine.Open());
    h.RunFor(1001);
    std::vector<SeenRequest> sent = h.Requests();
    ASSERT_EQ(5u, sent.size());
    const uint32_t expectedAt[] = {0, 300, 600, 900, 1000};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ("login", sent[i].command);
        EXPECT_EQ(expectedAt[i], Since(sent[i].at)) << "transmission " << i;
        EXPECT_EQ(i < 4 ? 0 : 1, sent[i].seq) << "transmission " << i;
    }
    EXPECT_TRUE(h.sink.events.empty());
    EXPECT_FALSE(h.engine.LoggedIn());
}

TEST_P(TokenClientTimingTest, SilentServerGivesUpARequestAboutASecondAfterTakeOver)
{
    h.OpenAndLogIn();
    size_t before = h.socket.sent.size();
    uint32_t postedAt = h.clock.now;
    h.engine.PostRequest(GetToken);
    ASSERT_TRUE(h.RunUntil([this] { return !h.sink.events.empty(); }));
    std::vector<SeenRequest> sent = h.Requests(before);
    ASSERT_EQ(4u, sent.size());
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ("gimmeatoken", sent[i].command);
        EXPECT_EQ(sent[0].seq, sent[i].seq);
        EXPECT_EQ(300u * i, sent[i].at - sent[0].at);
    }
    EXPECT_EQ(1000u, h.clock.now - postedAt);
    EXPECT_EQ(GetToken, h.sink.events[0].kind);
    EXPECT_EQ(ResultTimeout, h.sink.events[0].result);
    EXPECT_TRUE(h.engine.LoggedIn());
}

TEST_P(TokenClientTimingTest, RequestBehindAnUnansweredLoginIsSentOnceAndGivenUp)
{
    // The 900 ms rule: a request that reaches the head after waiting that long
    // gets one transmission and one pass to be answered.
    ASSERT_EQ(0, h.engine.Open());
    h.engine.PostRequest(GetToken);
    ASSERT_TRUE(h.RunUntil([this] { return !h.sink.events.empty(); }));
    std::vector<SeenRequest> sent = h.Requests();
    ASSERT_EQ(5u, sent.size());
    EXPECT_EQ("gimmeatoken", sent[4].command);
    EXPECT_EQ(1, sent[4].seq);
    EXPECT_EQ(1000u, Since(sent[4].at));
    EXPECT_EQ(1100u, Since(h.clock.now));
    EXPECT_EQ(ResultTimeout, h.sink.events[0].result);
}

TEST_P(TokenClientTimingTest, RequestBehindAnUnansweredLoginIsAnsweredWithinItsPass)
{
    ASSERT_EQ(0, h.engine.Open());
    h.Serve([](const SeenRequest& r) {
        return r.command == "gimmeatoken" ? "0\ntoken:135790\ntoken-ttl:60\nseq:" + std::to_string(r.seq)
                                          : std::string();
    }, 80);
    h.engine.PostRequest(GetToken);
    ASSERT_TRUE(h.RunUntil([this] { return !h.sink.events.empty(); }));
    EXPECT_EQ(StatusOk, h.sink.events[0].result);
    EXPECT_STREQ("135790", h.sink.events[0].token);
    EXPECT_EQ(60, h.sink.events[0].value);
}

TEST_P(TokenClientTimingTest, GetTokenPostedDuringTheFirstLoginFollowsIt)
{
    h.Serve([](const SeenRequest& r) { return r.command == "login" ? Ok(r.seq) : std::string(); }, 150);
    ASSERT_EQ(0, h.engine.Open());
    h.engine.PostRequest(GetToken);
    h.RunFor(300);
    std::vector<SeenRequest> sent = h.Requests();
    ASSERT_EQ(2u, sent.size());
    EXPECT_EQ("login", sent[0].command);
    EXPECT_EQ("gimmeatoken", sent[1].command);
    EXPECT_EQ(1, sent[1].seq);
    EXPECT_EQ(150u, Since(sent[1].at));  // the pass after the reply
}

TEST_P(TokenClientTimingTest, RequestsPendingThreeSecondsAreGivenUpTogether)
{
    h.OpenAndLogIn();
    size_t before = h.socket.sent.size();
    h.engine.PostRequest(Status);
    h.engine.PostRequest(GetToken);
    h.engine.PostRequest(CheckToken);
    h.engine.PollOnce();
    // The machine stalls for three seconds; then a fourth request comes.
    h.clock.Advance(3000);
    h.engine.PostRequest(GetToken);
    h.engine.PollOnce();
    std::vector<SeenRequest> sent = h.Requests(before);
    ASSERT_EQ(1u, sent.size());  // Status only: the others never went out
    ASSERT_EQ(3u, h.sink.events.size());
    const int32_t kinds[] = {Status, GetToken, CheckToken};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(kinds[i], h.sink.events[i].kind);
        EXPECT_EQ(ResultTimeout, h.sink.events[i].result);
    }
    EXPECT_FALSE(h.engine.InFlight());
    EXPECT_EQ(1u, h.engine.PendingCount());
    h.engine.PollOnce();
    ASSERT_LE(2u, h.socket.sent.size() - before);
    EXPECT_EQ("gimmeatoken", h.Requests(before)[1].command);
}

TEST_P(TokenClientTimingTest, HeartbeatAfterFifteenIdleSecondsReachesNoOne)
{
    h.Serve([](const SeenRequest& r) { return Ok(r.seq); });
    ASSERT_EQ(0, h.engine.Open());
    ASSERT_TRUE(h.RunUntil([this] { return h.engine.LoggedIn(); }));
    uint32_t loggedInAt = h.clock.now;
    size_t before = h.socket.sent.size();
    ASSERT_TRUE(h.RunUntil([this, before] { return h.socket.sent.size() > before; }));
    SeenRequest heartbeat = h.Requests(before)[0];
    EXPECT_EQ("heartbeat", heartbeat.command);
    EXPECT_GE(heartbeat.at - loggedInAt, 15000u);
    EXPECT_LT(heartbeat.at - loggedInAt, 15100u);
    h.RunFor(500);
    EXPECT_TRUE(h.sink.events.empty());
    // Answered, so the next one comes fifteen seconds later.
    h.RunFor(14000);
    EXPECT_EQ(before + 1, h.socket.sent.size());
    h.RunFor(1000);
    EXPECT_EQ(before + 2, h.socket.sent.size());
}

TEST_P(TokenClientTimingTest, SilentServerWhileLoggedInGetsHeartbeatsWithoutPause)
{
    h.OpenAndLogIn();
    h.socket.peer = nullptr;
    size_t before = h.socket.sent.size();
    h.RunFor(15000 + 3 * 1000 - 50);
    std::vector<SeenRequest> sent = h.Requests(before);
    ASSERT_EQ(12u, sent.size());
    for (size_t i = 0; i < sent.size(); ++i) {
        EXPECT_EQ("heartbeat", sent[i].command);
        EXPECT_EQ(sent[i / 4 * 4].seq + 0, sent[i].seq);
        if (i % 4 == 0 && i > 0) {
            EXPECT_EQ(sent[i - 4].seq + 1, sent[i].seq);
            EXPECT_EQ(1000u, sent[i].at - sent[i - 4].at);
        }
    }
    EXPECT_TRUE(h.engine.LoggedIn());
    EXPECT_TRUE(h.sink.events.empty());
}

TEST_P(TokenClientTimingTest, WaitsEndExactlyAtTheNextDeadline)
{
    // A request in flight to a silent server: three retransmissions, then the
    // last one's reply time. The first wait ends at once, woken by the post.
    h.OpenAndLogIn();
    uint32_t lastReply = h.clock.now;
    h.socket.peer = nullptr;
    h.socket.asked.clear();
    h.engine.PostRequest(GetToken);
    ASSERT_TRUE(h.RunUntil([this] { return !h.sink.events.empty(); }));
    EXPECT_EQ((std::vector<uint32_t>{300, 300, 300, 300, 100}), h.socket.asked);

    // Idle and logged in: the heartbeat, fifteen seconds after the last reply.
    h.socket.asked.clear();
    uint32_t before = h.clock.now;
    h.engine.PollOnce();
    EXPECT_EQ((std::vector<uint32_t>{TokenClientImpl::HeartbeatIdleMs - (before - lastReply)}), h.socket.asked);
    EXPECT_EQ(TokenClientImpl::HeartbeatIdleMs, h.clock.now - lastReply);

    // Logins refused: the next one waits for its gap.
    EngineHarness refused(GetParam());
    refused.Serve([](const SeenRequest& r) { return StatusReply(1, r.seq); }, 5);
    ASSERT_EQ(0, refused.engine.Open());
    refused.engine.PollOnce();  // the login, its refusal after 5 ms
    refused.engine.PollOnce();
    EXPECT_EQ((std::vector<uint32_t>{300, 2 * 300 - 5}), refused.socket.asked);
    EXPECT_EQ(600u, refused.clock.now - GetParam());
}

TEST_P(TokenClientTimingTest, LateReplyToAGivenUpRequestIsIgnored)
{
    h.OpenAndLogIn();
    int32_t tokenSeq = -1;
    h.Serve([&tokenSeq](const SeenRequest& r) {
        if (r.command != "gimmeatoken" || tokenSeq >= 0)
            return std::string();
        tokenSeq = r.seq;
        return "0\ntoken:111111\ntoken-ttl:60\nseq:" + std::to_string(r.seq);
    }, 1050);
    h.engine.PostRequest(GetToken);
    h.engine.PostRequest(Status);
    ASSERT_TRUE(h.RunUntil([this] { return h.sink.events.size() == 2; }));
    EXPECT_EQ(ResultTimeout, h.sink.events[0].result);
    EXPECT_EQ(GetToken, h.sink.events[0].kind);
    EXPECT_EQ(ResultTimeout, h.sink.events[1].result);
    EXPECT_EQ(Status, h.sink.events[1].kind);
}

TEST_P(TokenClientTimingTest, ReplyWithAnotherSequenceNumberIsIgnored)
{
    h.OpenAndLogIn();
    size_t before = h.socket.sent.size();
    h.Serve([](const SeenRequest& r) {
        return "0\ntoken:222222\ntoken-ttl:60\nseq:" + std::to_string(r.seq - 1);
    });
    h.engine.PostRequest(GetToken);
    ASSERT_TRUE(h.RunUntil([this] { return !h.sink.events.empty(); }));
    EXPECT_EQ(ResultTimeout, h.sink.events[0].result);
    std::vector<SeenRequest> sent = h.Requests(before);
    ASSERT_EQ(4u, sent.size());
    for (const SeenRequest& r : sent)
        EXPECT_EQ(sent[0].seq, r.seq);
}

} // namespace
