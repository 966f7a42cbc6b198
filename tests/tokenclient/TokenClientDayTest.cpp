// A day of the engine on a fake clock that crosses the 32-bit wrap of the
// tick, against a server that loses, repeats, delays, reorders and garbles
// datagrams by a seeded pattern and forgets its sessions now and then. A
// window like the program's asks for codes and checks them: every request
// must end within the engine's limits, the engine must keep talking, and its
// node lists must stay bounded.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

#include "EngineHarness.h"
#include "tokenclient/TokenResult.h"

namespace {

const uint32_t kDayMs = 24u * 3600u * 1000u;
const uint32_t kForgetEveryMs = 20u * 60u * 1000u;
const uint32_t kLongestDelayMs = 2300;

// The server: every decision comes from one seeded generator, so a run is
// repeatable.
class LossyServer {
public:
    LossyServer(EngineHarness& h, uint32_t seed) : h(h), random(seed) {}

    void Answer(const SeenRequest& r)
    {
        if (Chance(30))
            return;  // the request is lost
        std::string reply = Reply(r);
        int32_t seq = r.seq;
        if (Chance(5))
            seq += 1 + int32_t(random() % 5);  // answers with a wrong number
        reply += "seq:" + std::to_string(seq) + "\r\n";
        if (Chance(30))
            return;  // the reply is lost
        uint32_t delay = Chance(10) ? 300 + random() % (kLongestDelayMs - 300) : 20 + random() % 60;
        if (Chance(5))
            h.socket.Deliver(std::string("\xff\x00 garbage\r\n", 12), delay);
        h.socket.Deliver(reply, delay);
        if (Chance(10))
            h.socket.Deliver(reply, delay + 5);
        if (reply[0] == '4' && seq == r.seq)
            lastNotLoggedIn = h.clock.now + delay;
    }

    bool Chance(uint32_t percent) { return random() % 100 < percent; }
    uint32_t Between(uint32_t low, uint32_t high) { return low + random() % (high - low); }

    bool session = false;
    uint32_t lastNotLoggedIn = 0;  // when the last "not logged in" reply arrives

private:
    std::string Reply(const SeenRequest& r)
    {
        if (r.command == "login") {
            session = true;
            return "0\r\n";
        }
        if (!session)
            return "4\r\n";
        if (r.command == "gimmeatoken")
            return "0\r\ntoken:" + std::to_string(100000 + random() % 900000) + "\r\ntoken-ttl:60\r\n";
        if (r.command == "checktoken") {
            size_t from = r.bytes.find("Token:") + 6;
            return "0\r\ntoken:" + r.bytes.substr(from, r.bytes.find("\r\n", from) - from) +
                   "\r\ntoken-valid:" + (Chance(3) ? "false" : "true") + "\r\n";
        }
        return "0\r\n";
    }

    EngineHarness& h;
    std::mt19937 random;
};

// How late after its posting, or after the last "not logged in" reply, a
// request may end: a login and a renewed request ahead of it each take their
// transmissions and a pass, and it is given up at the latest one pass after
// it reaches the head old.
uint32_t Limit(const TokenClientImpl& engine)
{
    return engine.requestTimeoutMs + 3 * engine.retryIntervalMs + 3 * TokenClientImpl::PassWaitMs;
}

int32_t Diff(uint32_t later, uint32_t earlier) { return static_cast<int32_t>(later - earlier); }

TEST(TokenClientDayTest, LossyDayAcrossTheTickWrapLeavesNothingStuck)
{
    EngineHarness h(0xFFFFFFFFu - 5u * 3600u * 1000u);
    LossyServer server(h, 20240611u);
    uint32_t lastSendAt = h.clock.now;
    bool strode = false;
    uint32_t longestGap = 0;
    h.socket.peer = [&](const std::string&) {
        uint32_t gap = h.clock.now - lastSendAt;
        if (!strode && gap > longestGap)
            longestGap = gap;
        lastSendAt = h.clock.now;
        strode = false;
        server.Answer(Decode(h.socket.sent.back()));
        h.socket.sent.clear();
    };
    ASSERT_EQ(0, h.engine.Open());

    // The window: one request of its own at a time, as the program posts them.
    bool waiting = false;
    int32_t waitingFor = 0;
    uint32_t postedAt = 0;
    bool counting = false;
    uint32_t countdownEnd = 0, nextCheck = 0, nextClick = h.clock.now + 5000;
    size_t seen = 0, codes = 0, checks = 0, timeouts = 0, mostPending = 0;
    uint32_t longestWait = 0, elapsed = 0, lastForget = 0;
    auto post = [&](RequestKind kind) {
        ASSERT_TRUE(h.engine.PostRequest(kind));
        waiting = true;
        waitingFor = kind;
        postedAt = h.clock.now;
    };

    while (elapsed < kDayMs) {
        uint32_t before = h.clock.now;
        // The window's next click or check ends the engine's wait, as its
        // posting would.
        h.socket.horizon.reset();
        if (!waiting)
            h.socket.horizon = counting ? nextCheck : nextClick;
        h.engine.PollOnce();
        elapsed += h.clock.now - before;
        if (elapsed - lastForget >= kForgetEveryMs) {
            lastForget = elapsed;
            server.session = false;
        }
        mostPending = std::max(mostPending, h.engine.PendingCount());
        ASSERT_LE(h.engine.PendingCount(), 3u) << "at " << elapsed << " ms";

        uint32_t since = Diff(server.lastNotLoggedIn, postedAt) > 0 ? server.lastNotLoggedIn : postedAt;
        for (; seen < h.sink.events.size(); ++seen) {
            const TokenEvent& event = h.sink.events[seen];
            ASSERT_TRUE(waiting) << "an event nobody asked for, at " << elapsed << " ms";
            ASSERT_EQ(waitingFor, event.kind);
            waiting = false;
            longestWait = std::max(longestWait, h.clock.now - postedAt);
            ASSERT_LE(Diff(h.clock.now, since), int32_t(Limit(h.engine))) << "kind " << event.kind << " at " << elapsed;
            timeouts += event.result == ResultTimeout;
            if (event.kind == GetToken && event.result == StatusOk) {
                ++codes;
                counting = true;
                countdownEnd = h.clock.now + uint32_t(event.value) * 1000u;
                nextCheck = h.clock.now;
            } else if (event.kind == CheckToken) {
                ++checks;
                if (event.result != StatusOk || event.value == 0)
                    counting = false;
            }
        }
        ASSERT_FALSE(waiting && Diff(h.clock.now, since) > int32_t(Limit(h.engine)))
            << "request of kind " << waitingFor << " stuck at " << elapsed << " ms";

        if (counting && Diff(h.clock.now, countdownEnd) >= 0)
            counting = false;
        if (counting && !waiting && Diff(h.clock.now, nextCheck) >= 0) {
            nextCheck += 1000;
            post(CheckToken);
        } else if (!counting && !waiting && Diff(h.clock.now, nextClick) >= 0) {
            // Now and then the PC sleeps before a click: the clock jumps.
            if (server.Chance(10)) {
                uint32_t stride = server.Between(60000, 1800000);
                h.clock.Advance(stride);
                elapsed += stride;
                strode = true;
            }
            post(GetToken);
            nextClick = h.clock.now + server.Between(2000, 120000);
        }
    }

    EXPECT_LE(longestGap, TokenClientImpl::HeartbeatIdleMs + kLongestDelayMs + 2 * TokenClientImpl::PassWaitMs);
    EXPECT_LE(h.engine.PendingCount() + h.engine.FreeCount(), 4u);
    EXPECT_GT(codes, 100u);
    EXPECT_GT(checks, 1000u);
    EXPECT_GT(timeouts, 10u);
    RecordProperty("codes", int(codes));
    RecordProperty("checks", int(checks));
    RecordProperty("timeouts", int(timeouts));
    RecordProperty("longest_wait_ms", int(longestWait));
    RecordProperty("most_pending", int(mostPending));
}

} // namespace
