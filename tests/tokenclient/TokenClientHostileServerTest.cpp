// The engine against servers that misbehave, for a simulated hour each, with
// a customer who clicks again as soon as the window lets him: the client
// must never flood the network, and every request must end in time.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "EngineHarness.h"
#include "tokenclient/TokenResult.h"

namespace {

const uint32_t kHourMs = 3600u * 1000u;
const uint32_t kWindowMs = 10000;
const size_t kMostPerWindow = 100; // 10 datagrams a second over any 10 s
const uint32_t kLongestRequestMs = 10000;

std::string CodeReply(int32_t seq)
{
    return "0\r\ntoken:246810\r\ntoken-ttl:5\r\nseq:" + std::to_string(seq) + "\r\n";
}

struct Behaviour
{
    const char* name;
    EngineHarness::Script script;
    int32_t codeResult; // what every code request ends with
};

// The customer: asks for a code, checks it once a second while it counts
// down, and asks again the moment the request has ended.
struct Customer
{
    explicit Customer(EngineHarness& h) : h(h) { }

    void Act()
    {
        for (; seen < h.sink.events.size(); ++seen) {
            const TokenEvent& event = h.sink.events[seen];
            longest = std::max(longest, h.clock.now - postedAt);
            waiting = false;
            results.push_back(event.result);
            if (event.kind == GetToken && event.result == StatusOk)
                countdownEnd = h.clock.now + uint32_t(event.value) * 1000u;
        }
        if (waiting)
            return;
        bool counting = int32_t(countdownEnd - h.clock.now) > 0;
        if (counting && int32_t(h.clock.now - nextCheck) < 0)
            return;
        nextCheck = h.clock.now + 1000;
        ASSERT_TRUE(h.engine.PostRequest(counting ? CheckToken : GetToken));
        if (!counting)
            ++clicks;
        waiting = true;
        postedAt = h.clock.now;
    }

    // When the customer acts next, if not on an event: the engine's wait ends
    // then, as a posted request would end it.
    std::optional<uint32_t> NextAt() const
    {
        if (waiting)
            return std::nullopt;
        return int32_t(countdownEnd - h.clock.now) > 0 ? nextCheck : h.clock.now;
    }

    EngineHarness& h;
    size_t seen = 0, clicks = 0;
    bool waiting = false;
    uint32_t postedAt = 0, countdownEnd = 0, nextCheck = 0, longest = 0;
    std::vector<int32_t> results;
};

size_t MostInAnyWindow(const std::vector<SentDatagram>& sent)
{
    size_t most = 0, first = 0;
    for (size_t last = 0; last < sent.size(); ++last) {
        while (sent[last].at - sent[first].at >= kWindowMs)
            ++first;
        most = std::max(most, last - first + 1);
    }
    return most;
}

// The least time between the first transmissions of two logins.
uint32_t ShortestLoginGap(const std::vector<SeenRequest>& sent)
{
    uint32_t shortest = UINT32_MAX;
    const SeenRequest* previous = nullptr;
    for (const SeenRequest& r : sent) {
        if (r.command != "login" || (previous && previous->seq == r.seq))
            continue;
        if (previous)
            shortest = std::min(shortest, r.at - previous->at);
        previous = &r;
    }
    return shortest;
}

TEST(TokenClientHostileServerTest, NoFloodAndEveryRequestEndsWhateverTheServerAnswers)
{
    // A server that answered "not logged in" to everything used to get
    // thousands of datagrams a second, and the request never ended.
    auto status
        = [](int32_t value) { return [value](const SeenRequest& r) { return StatusReply(value, r.seq); }; };
    const Behaviour behaviours[] = {
        { "silence", [](const SeenRequest&) { return std::string(); }, ResultTimeout },
        { "garbage", [](const SeenRequest&) { return std::string("\x01garbage\r\nseq:x\r\n"); },
          ResultTimeout },
        { "refuses everything", status(1), 1 },
        { "refuses logins",
          [](const SeenRequest& r) { return StatusReply(r.command == "login" ? 1 : 4, r.seq); },
          StatusNotLoggedIn },
        { "4 to everything", status(StatusNotLoggedIn), StatusNotLoggedIn },
        { "4 to everything but logins",
          [](const SeenRequest& r) { return r.command == "login" ? Ok(r.seq) : StatusReply(4, r.seq); },
          StatusNotLoggedIn },
        { "behaves",
          [](const SeenRequest& r) {
              if (r.command == "gimmeatoken")
                  return CodeReply(r.seq);
              if (r.command == "checktoken")
                  return "0\r\ntoken:246810\r\ntoken-valid:true\r\nseq:" + std::to_string(r.seq) + "\r\n";
              return Ok(r.seq);
          },
          StatusOk },
    };
    for (const Behaviour& behaviour : behaviours) {
        SCOPED_TRACE(behaviour.name);
        EngineHarness h;
        h.Serve(behaviour.script, 5);
        ASSERT_EQ(0, h.engine.Open());
        Customer customer(h);
        uint32_t start = h.clock.now;
        while (h.clock.now - start < kHourMs && !HasFatalFailure()) {
            h.socket.horizon = customer.NextAt();
            h.engine.PollOnce();
            customer.Act();
            ASSERT_LE(h.clock.now - customer.postedAt, customer.waiting ? kLongestRequestMs : UINT32_MAX);
        }
        size_t most = MostInAnyWindow(h.socket.sent);
        EXPECT_LE(most, kMostPerWindow);
        EXPECT_LE(customer.longest, kLongestRequestMs);
        EXPECT_GE(ShortestLoginGap(h.Requests()), h.engine.retryIntervalMs);
        EXPECT_GT(customer.clicks, 100u);
        for (int32_t result : customer.results) {
            if (result != StatusOk || behaviour.codeResult == StatusOk) {
                ASSERT_EQ(behaviour.codeResult, result);
            }
        }
        RecordProperty(std::string(behaviour.name) + ": most datagrams in 10 s", int(most));
        RecordProperty(std::string(behaviour.name) + ": longest request ms", int(customer.longest));
    }
}

TEST(TokenClientHostileServerTest, LoginsBackOffWhileRefusedAndCatchUpOnceAccepted)
{
    // A refused login used to be followed by the next one on the very next
    // pass, thousands a second against a fast server.
    EngineHarness h;
    bool accepting = false;
    bool sessionLost = false;
    h.Serve(
        [&](const SeenRequest& r) {
            if (r.command == "login")
                return StatusReply(accepting ? 0 : 1, r.seq);
            if (sessionLost) {
                sessionLost = false;
                return StatusReply(StatusNotLoggedIn, r.seq);
            }
            return Ok(r.seq);
        },
        5);
    ASSERT_EQ(0, h.engine.Open());
    h.RunFor(8000);
    std::vector<SeenRequest> logins = h.Requests();
    const uint32_t gaps[] = { 600, 1200, 2000, 2000, 2000 };
    ASSERT_EQ(6u, logins.size());
    for (size_t i = 0; i < 5; ++i)
        EXPECT_EQ(gaps[i], logins[i + 1].at - logins[i].at) << i;

    accepting = true;
    ASSERT_TRUE(h.RunUntil([&] { return h.engine.LoggedIn(); }));
    h.RunFor(1000);
    // Once accepted, the next loss of the session is met by a login at once.
    size_t before = h.socket.sent.size();
    sessionLost = true;
    h.engine.PostRequest(Status);
    ASSERT_TRUE(h.RunUntil([&] { return !h.sink.events.empty(); }));
    std::vector<SeenRequest> sent = h.Requests(before);
    ASSERT_EQ(3u, sent.size());
    EXPECT_EQ("login", sent[1].command);
    EXPECT_EQ(sent[0].at + 5, sent[1].at);
    EXPECT_EQ(StatusOk, h.sink.events[0].result);
}

TEST(TokenClientHostileServerTest, NotLoggedInRenewsARequestThreeTimesThenEndsIt)
{
    // A request answered "not logged in" after every new login used to be
    // sent again for ever, and its caller never heard back.
    EngineHarness h;
    h.OpenAndLogIn();
    h.Serve([](const SeenRequest& r) { return r.command == "login" ? Ok(r.seq) : StatusReply(4, r.seq); }, 5);
    size_t before = h.socket.sent.size();
    h.engine.PostRequest(GetToken);
    ASSERT_TRUE(h.RunUntil([&] { return !h.sink.events.empty(); }));
    std::string commands;
    for (const SeenRequest& r : h.Requests(before))
        commands += r.command[0];
    EXPECT_EQ("glglglg", commands);
    EXPECT_EQ(StatusNotLoggedIn, h.sink.events[0].result);
    EXPECT_EQ(0u, h.engine.PendingCount());
}

} // namespace
