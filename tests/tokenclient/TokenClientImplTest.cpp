// The engine's replies, sessions and events, on fake seams.

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "EngineHarness.h"
#include "tokenclient/TokenResult.h"

namespace {

std::string TokenReply(int32_t seq, const std::string& token, int ttl)
{
    return "0\r\ntoken:" + token + "\r\ntoken-ttl:" + std::to_string(ttl) + "\r\nseq:" + std::to_string(seq) + "\r\n";
}

std::string CheckReply(int32_t seq, const std::string& token, const char* valid)
{
    return "0\ntoken:" + token + "\ntoken-valid:" + valid + "\nseq:" + std::to_string(seq) + "\n";
}

// A server with a session that answers every kind sensibly.
EngineHarness::Script FriendlyServer(const std::string& code)
{
    return [code](const SeenRequest& r) {
        if (r.command == "gimmeatoken")
            return TokenReply(r.seq, code, 120);
        if (r.command == "checktoken")
            return CheckReply(r.seq, r.bytes.substr(18, r.bytes.find("\r\n", 18) - 18), "true");
        return Ok(r.seq);
    };
}

TEST(TokenClientImplTest, CodeAndCheckReachTheWindow)
{
    EngineHarness h;
    h.OpenAndLogIn();
    h.Serve(FriendlyServer("482913"));
    h.engine.PostRequest(GetToken);
    ASSERT_TRUE(h.RunUntil([&] { return h.sink.events.size() == 1; }));
    h.engine.PostRequest(CheckToken);
    ASSERT_TRUE(h.RunUntil([&] { return h.sink.events.size() == 2; }));

    const TokenEvent& code = h.sink.events[0];
    EXPECT_EQ(GetToken, code.kind);
    EXPECT_EQ(StatusOk, code.result);
    EXPECT_EQ(0u, code.marker);
    EXPECT_STREQ("482913", code.token);
    EXPECT_EQ(120, code.value);
    const TokenEvent& check = h.sink.events[1];
    EXPECT_EQ(CheckToken, check.kind);
    EXPECT_STREQ("482913", check.token);
    EXPECT_EQ(1, check.value);
    EXPECT_EQ(h.window, h.sink.windows[0]);
    EXPECT_NE(std::string::npos, h.socket.sent.back().bytes.find("Token:482913\r\n"));
}

TEST(TokenClientImplTest, TokensOfThirtyOneToThirtyThreeCharacters)
{
    for (size_t length : {31u, 32u, 33u}) {
        EngineHarness h;
        h.OpenAndLogIn();
        std::string code(length, 'k');
        h.Serve(FriendlyServer(code));
        h.engine.PostRequest(GetToken);
        h.engine.PostRequest(CheckToken);
        ASSERT_TRUE(h.RunUntil([&] { return h.sink.events.size() == 2; }));
        std::string kept = code.substr(0, 32);
        EXPECT_EQ(kept, std::string(h.sink.events[0].token, strnlen(h.sink.events[0].token, 32))) << length;
        EXPECT_EQ(kept, std::string(h.sink.events[1].token, strnlen(h.sink.events[1].token, 32))) << length;
        EXPECT_EQ("checktoken\r\nToken:" + kept + "\r\n", h.socket.sent.back().bytes.substr(0, 20 + kept.size()));
    }
}

TEST(TokenClientImplTest, MalformedCodeLeavesTheStoredTokenAlone)
{
    EngineHarness h;
    h.OpenAndLogIn();
    int round = 0;
    h.Serve([&round](const SeenRequest& r) {
        if (r.command == "gimmeatoken")
            return ++round == 1 ? TokenReply(r.seq, "AAAAAA", 60) : TokenReply(r.seq, "BBBBBB", 0);
        return std::string();
    });
    h.engine.PostRequest(GetToken);
    h.engine.PostRequest(GetToken);
    h.engine.PostRequest(CheckToken);
    ASSERT_TRUE(h.RunUntil([&] { return h.sink.events.size() == 3; }));
    EXPECT_EQ(StatusOk, h.sink.events[0].result);
    EXPECT_EQ(ResultMalformed, h.sink.events[1].result);
    EXPECT_EQ(ResultTimeout, h.sink.events[2].result);
    bool sentA = false;
    for (const SentDatagram& sent : h.socket.sent)
        sentA = sentA || sent.bytes.find("Token:AAAAAA\r\n") != std::string::npos;
    EXPECT_TRUE(sentA);
}

TEST(TokenClientImplTest, NotLoggedInLeadsToALoginAndTheSameRequestWithFreshNumbers)
{
    EngineHarness h;
    h.OpenAndLogIn();
    bool sessionLost = true;
    h.Serve([&sessionLost](const SeenRequest& r) {
        if (r.command == "checktoken" && sessionLost) {
            sessionLost = false;
            return StatusReply(StatusNotLoggedIn, r.seq);
        }
        if (r.command == "checktoken")
            return CheckReply(r.seq, "000000", "false");
        return Ok(r.seq);
    });
    size_t before = h.socket.sent.size();
    h.engine.PostRequest(CheckToken);
    ASSERT_TRUE(h.RunUntil([&] { return !h.sink.events.empty(); }));
    std::vector<SeenRequest> sent = h.Requests(before);
    ASSERT_EQ(3u, sent.size());
    EXPECT_EQ("checktoken", sent[0].command);
    EXPECT_EQ("login", sent[1].command);
    EXPECT_EQ(sent[0].seq + 1, sent[1].seq);
    EXPECT_EQ("checktoken", sent[2].command);
    EXPECT_EQ(sent[0].seq + 2, sent[2].seq);
    ASSERT_EQ(1u, h.sink.events.size());
    EXPECT_EQ(CheckToken, h.sink.events[0].kind);
    EXPECT_EQ(StatusOk, h.sink.events[0].result);
    EXPECT_EQ(0, h.sink.events[0].value);
}

TEST(TokenClientImplTest, NotLoggedInAnswerToALoginDoesNotPileUpLogins)
{
    // Every "not logged in" answer to a Login used to put yet another Login in
    // front of it, so the pending list grew without end.
    EngineHarness h;
    h.Serve([](const SeenRequest& r) { return StatusReply(StatusNotLoggedIn, r.seq); });
    ASSERT_EQ(0, h.engine.Open());
    h.RunFor(5000);
    EXPECT_LE(h.engine.PendingCount(), 1u);
    EXPECT_FALSE(h.engine.LoggedIn());
    EXPECT_GE(h.socket.sent.size(), 4u);  // still trying, at its own pace
    EXPECT_TRUE(h.sink.events.empty());
}

TEST(TokenClientImplTest, WhichOutcomesReachTheWindow)
{
    EngineHarness h;
    h.OpenAndLogIn();
    h.Serve([](const SeenRequest& r) { return r.command == "status" ? StatusReply(9, r.seq) : Ok(r.seq); });
    h.engine.PostRequest(Heartbeat);
    h.engine.PostRequest(Status);
    h.engine.PostRequest(Login);
    h.engine.PostRequest(Logout);
    ASSERT_TRUE(h.RunUntil([&] { return !h.engine.LoggedIn(); }));
    ASSERT_EQ(2u, h.sink.events.size());
    EXPECT_EQ(Status, h.sink.events[0].kind);
    EXPECT_EQ(9, h.sink.events[0].result);
    EXPECT_EQ(Login, h.sink.events[1].kind);
    EXPECT_EQ(StatusOk, h.sink.events[1].result);
    EXPECT_FALSE(h.engine.LoggedIn());  // the Logout was accepted
    EXPECT_FALSE(h.engine.PostRequest(static_cast<RequestKind>(0)));
    EXPECT_FALSE(h.engine.PostRequest(static_cast<RequestKind>(7)));
}

TEST(TokenClientImplTest, NoWindowNoEvents)
{
    EngineHarness h(1000, false);
    h.OpenAndLogIn();
    h.Serve(FriendlyServer("123456"));
    h.engine.PostRequest(GetToken);
    h.engine.PostRequest(Status);
    h.RunFor(2000);
    EXPECT_TRUE(h.sink.events.empty());
    EXPECT_TRUE(h.sink.windows.empty());
}

TEST(TokenClientImplTest, DatagramsThatAreDropped)
{
    EngineHarness h;
    h.OpenAndLogIn();
    uint32_t loggedInAt = h.clock.now;
    h.socket.peer = nullptr;
    // Nothing pending: even a matching reply is read and dropped.
    h.socket.Deliver(Ok(0), 50);
    // Garbage of every kind, and one reported with the wrong size.
    h.socket.Deliver("", 60);
    h.socket.Deliver(std::string(65536, '\n'), 70);
    h.socket.Deliver(std::string("\0\0\0", 3), 80);
    h.socket.Deliver(Ok(0), 90, 3);
    h.socket.Deliver(std::string(2000, 'x'), 95, 4 * 1024 * 1024);
    h.RunFor(1000);
    EXPECT_EQ(1u, h.socket.sent.size());
    // None of them counted as a reply: the heartbeat comes on time.
    ASSERT_TRUE(h.RunUntil([&] { return h.socket.sent.size() >= 2; }));
    EXPECT_GE(h.socket.sent[1].at - loggedInAt, 15000u);
    EXPECT_LT(h.socket.sent[1].at - loggedInAt, 15100u);
}

TEST(TokenClientImplTest, OnlyAMatchingReplyOfTheRightSizeIsAccepted)
{
    EngineHarness h;
    ASSERT_EQ(0, h.engine.Open());
    h.engine.PollOnce();  // the first Login goes out with 0
    const std::string noReplies[] = {
        "", std::string("\0" "0\nseq:0", 8), std::string(65536, 'x'), "ok\nseq:0", "0\nseq:abc", "0\nseq:\n",
        "0\nseq\n", "0\nSEQ:1", "0\ntoken:1", std::string("0\nseq:0", 6),
    };
    for (const std::string& datagram : noReplies) {
        h.socket.Deliver(datagram, 10);
        h.engine.PollOnce();
        EXPECT_FALSE(h.engine.LoggedIn()) << datagram.substr(0, 20);
    }
    h.socket.Deliver(Ok(0), 10, 2);  // reported with another size
    h.engine.PollOnce();
    EXPECT_FALSE(h.engine.LoggedIn());
    h.socket.Deliver("0 welcome\nignored line\nSeQ: 0\n", 10);
    h.engine.PollOnce();
    EXPECT_TRUE(h.engine.LoggedIn());
    for (const SeenRequest& r : h.Requests()) {
        EXPECT_EQ("login", r.command);  // the first Login, repeated
        EXPECT_EQ(0, r.seq);
    }
}

// Stops the worker loop after a number of passes, through the virtual slot
// that the loop calls on every pass; eachPass, when set, runs at the end of
// every pass.
class StoppingEngine : public TokenClientImpl {
public:
    StoppingEngine(const TokenClientSeams& seams, int passes) : TokenClientImpl(seams), passesLeft(passes) {}
    void CheckTimeouts() override
    {
        TokenClientImpl::CheckTimeouts();
        if (eachPass)
            eachPass();
        if (--passesLeft == 0)
            RequestStop();
    }
    int passesLeft;
    std::function<void()> eachPass;
};

TEST(TokenClientImplTest, StartFailuresAreReportedOnceAndNothingIsSent)
{
    // A failed start used to end the worker, so that a request posted
    // afterwards was never answered and the window waited for ever.
    struct Row {
        const char* name;
        void (*breakIt)(EngineHarness&);
        int code;
    } rows[] = {
        {"sockets", [](EngineHarness& h) { h.host.startOk = false; }, StartWinsockFailed},
        {"host name", [](EngineHarness& h) { h.host.nameOk = false; }, StartNoHostName},
        {"lookup", [](EngineHarness& h) { h.host.lookUpOk = false; }, StartHostLookupFailed},
        {"gateway", [](EngineHarness& h) { h.addresses.routes.clear(); }, StartNoGateway},
    };
    for (const Row& row : rows) {
        EngineHarness h;
        row.breakIt(h);
        StoppingEngine engine(h.Seams(), 10);
        ASSERT_TRUE(engine.PrepareStart(h.window));
        uint32_t start = h.clock.now;
        engine.PostRequest(GetToken);
        engine.PostRequest(Heartbeat);  // the engine's own kind reaches no one
        EXPECT_EQ(row.code, engine.WorkerMain()) << row.name;
        ASSERT_EQ(1u, h.sink.failures.size()) << row.name;
        EXPECT_EQ(row.code, h.sink.failures[0]) << row.name;
        EXPECT_EQ(h.window, h.sink.windows[0]) << row.name;
        EXPECT_TRUE(h.socket.sent.empty()) << row.name;
        EXPECT_FALSE(h.socket.open) << row.name;
        ASSERT_EQ(1u, h.sink.events.size()) << row.name;
        EXPECT_EQ(GetToken, h.sink.events[0].kind) << row.name;
        EXPECT_EQ(ResultTimeout, h.sink.events[0].result) << row.name;
        EXPECT_EQ(0u, engine.PendingCount()) << row.name;
        // Every pass waited until the next thing due: the request's give-up
        // (the first wait ended at once, woken by the posting), then the
        // start attempts every ten seconds.
        const std::vector<uint32_t> waits = {900, 900, 9100, 10000, 10000, 10000, 10000, 10000, 10000, 10000};
        EXPECT_EQ(waits, h.socket.asked) << row.name;
        EXPECT_EQ(80000u, h.clock.now - start) << row.name;
    }
}

TEST(TokenClientImplTest, FailedStartIsTriedAgainEveryTenSecondsWithTheServerChosenAfresh)
{
    // A PC that booted before its network was up kept a client that never
    // tried to start again.
    EngineHarness h;
    h.addresses.routes.clear();
    h.Serve(FriendlyServer("314159"));
    StoppingEngine engine(h.Seams(), 400);  // a bound, should the code never come
    ASSERT_TRUE(engine.PrepareStart(h.window));
    uint32_t start = h.clock.now;
    bool posted = false;
    engine.eachPass = [&] {
        if (h.clock.now - start >= 15000 && h.addresses.routes.empty()) {
            // The network comes up, and with it a file naming another server.
            h.addresses.AddRoute("0.0.0.0", "0.0.0.0", "10.9.8.1", 10);
            h.addresses.file = "10.9.8.5";
        }
        if (engine.LoggedIn() && !posted)
            posted = engine.PostRequest(GetToken);
        if (!h.sink.events.empty())
            engine.RequestStop();
    };
    EXPECT_EQ(0, engine.WorkerMain());
    EXPECT_EQ((std::vector<uint32_t>{start, start + 10000, start + 20000}), h.addresses.adapterReadsAt);
    EXPECT_EQ(std::vector<int>{StartNoGateway}, h.sink.failures);
    EXPECT_EQ("10.9.8.5", h.socket.openedAddress);
    std::vector<SeenRequest> sent = h.Requests();
    ASSERT_EQ(3u, sent.size());
    EXPECT_EQ("login", sent[0].command);
    EXPECT_EQ(0, sent[0].seq);
    EXPECT_EQ(start + 20000, sent[0].at);
    EXPECT_EQ("gimmeatoken", sent[1].command);
    EXPECT_EQ("logout\r\n", sent[2].bytes);
    ASSERT_EQ(1u, h.sink.events.size());
    EXPECT_EQ(GetToken, h.sink.events[0].kind);
    EXPECT_EQ(StatusOk, h.sink.events[0].result);
    EXPECT_STREQ("314159", h.sink.events[0].token);
}

TEST(TokenClientImplTest, ForcedAddressSkipsTheSearch)
{
    EngineHarness h;
    h.addresses.adaptersOk = false;
    h.engine.ForceServerAddress("127.0.0.1", 19110);
    ASSERT_EQ(0, h.engine.Open());
    EXPECT_EQ("127.0.0.1", h.socket.openedAddress);
    EXPECT_EQ(19110, h.socket.openedPort);
    EXPECT_EQ(0, h.addresses.fileReads);

    for (const char* bad : {"", "255.255.255.2550"}) {
        EngineHarness refused;
        refused.engine.ForceServerAddress(bad, 9110);
        EXPECT_EQ(StartNoGateway, refused.engine.Open()) << bad;
    }
}

TEST(TokenClientImplTest, StoppedWorkerClosesWithTheBareLogout)
{
    EngineHarness h;
    h.Serve([](const SeenRequest& r) { return Ok(r.seq); });
    StoppingEngine engine(h.Seams(), 5);
    ASSERT_TRUE(engine.PrepareStart(h.window));
    EXPECT_FALSE(engine.PrepareStart(h.window));
    EXPECT_EQ(0, engine.WorkerMain());
    ASSERT_GE(h.socket.sent.size(), 2u);
    EXPECT_EQ("logout\r\n", h.socket.sent.back().bytes);
    EXPECT_FALSE(h.socket.open);
    EXPECT_FALSE(engine.LoggedIn());
    EXPECT_EQ(0, engine.NextSeq());
    EXPECT_EQ(5, h.socket.waits);
}

TEST(TokenClientImplTest, ReopenedSocketStartsOverWithALoginNumberedZero)
{
    EngineHarness h;
    h.OpenAndLogIn();
    h.Serve(FriendlyServer("777777"));
    h.engine.PostRequest(GetToken);
    ASSERT_TRUE(h.RunUntil([&] { return !h.sink.events.empty(); }));
    ASSERT_EQ(0, h.engine.Open());
    EXPECT_EQ("logout\r\n", h.socket.sent.back().bytes);
    EXPECT_EQ(1, h.socket.closes);
    h.socket.peer = nullptr;
    h.engine.PostRequest(CheckToken);
    h.RunFor(1100);
    std::vector<SeenRequest> sent = h.Requests();
    size_t login = sent.size() - 5;
    EXPECT_EQ("login", sent[login].command);
    EXPECT_EQ(0, sent[login].seq);
    // The stored token went with the old socket.
    EXPECT_EQ("checktoken\r\nToken:\r\nSeq:1\r\n", sent.back().bytes);
}

TEST(TokenClientImplTest, PostingFromAnotherThreadLosesNothing)
{
    EngineHarness h;
    h.OpenAndLogIn();
    h.Serve([](const SeenRequest& r) { return StatusReply(1, r.seq); }, 0);
    const int count = 200;
    std::atomic<bool> posted(false);
    std::thread poster([&] {
        for (int i = 0; i < count; ++i)
            h.engine.PostRequest(Status);
        posted = true;
    });
    while (!posted)
        h.engine.PollOnce();
    poster.join();
    ASSERT_TRUE(h.RunUntil([&] { return h.sink.events.size() == static_cast<size_t>(count); }));
    for (const TokenEvent& event : h.sink.events)
        EXPECT_EQ(1, event.result);
}

} // namespace
