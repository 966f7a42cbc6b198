#pragma once

// An engine on fake seams with a scripted server, driven pass by pass.

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "FakeTokenPlatform.h"
#include "tokenclient/TokenClientImpl.h"

// A request as the scripted server sees it.
struct SeenRequest {
    uint32_t at;
    std::string command;  // the first line: "login", "gimmeatoken", ...
    int32_t seq;          // -1 when there is no sequence line
    std::string bytes;
};

inline SeenRequest Decode(const SentDatagram& sent)
{
    SeenRequest request{sent.at, sent.bytes.substr(0, sent.bytes.find("\r\n")), -1, sent.bytes};
    size_t at = sent.bytes.find("Seq:");
    if (at != std::string::npos)
        request.seq = std::atoi(sent.bytes.c_str() + at + 4);
    return request;
}

inline std::string Ok(int32_t seq) { return "0\r\nseq:" + std::to_string(seq) + "\r\n"; }
inline std::string StatusReply(int32_t status, int32_t seq)
{
    return std::to_string(status) + "\r\nseq:" + std::to_string(seq) + "\r\n";
}

class EngineHarness {
public:
    // Answers a request with a datagram, or with "" not at all.
    using Script = std::function<std::string(const SeenRequest&)>;

    explicit EngineHarness(uint32_t startTick = 1000, bool withWindow = true)
        : clock(startTick), socket(clock), engine(Seams()), window(withWindow ? &windowObject : nullptr)
    {
        addresses.clock = &clock;
        addresses.AddAdapter("10.9.8.1", "10.9.8.77");
        addresses.AddRoute("0.0.0.0", "0.0.0.0", "10.9.8.1", 10);
        engine.PrepareStart(window);
    }

    TokenClientSeams Seams() { return TokenClientSeams{&clock, &socket, &sink, &lock, &host, &addresses}; }

    void Serve(Script script, uint32_t delayMs = 20)
    {
        socket.peer = [this, script, delayMs](const std::string&) {
            std::string reply = script(Decode(socket.sent.back()));
            if (!reply.empty())
                socket.Deliver(reply, delayMs);
        };
    }

    // A server that accepts every login and is silent otherwise.
    void ServeLoginsOnly()
    {
        Serve([](const SeenRequest& r) { return r.command == "login" ? Ok(r.seq) : std::string(); });
    }

    // Runs passes until exactly ms have passed: the last wait ends then.
    void RunFor(uint32_t ms)
    {
        uint32_t start = clock.now;
        socket.horizon = start + ms;
        while (clock.now - start < ms)
            engine.PollOnce();
        socket.horizon.reset();
    }

    // Runs passes until the predicate holds, for at most limitMs.
    bool RunUntil(const std::function<bool()>& done, uint32_t limitMs = 60000)
    {
        uint32_t start = clock.now;
        while (!done()) {
            if (clock.now - start >= limitMs)
                return false;
            engine.PollOnce();
        }
        return true;
    }

    // Opens and runs until the first login is accepted.
    void OpenAndLogIn()
    {
        ServeLoginsOnly();
        ASSERT_EQ(0, engine.Open());
        ASSERT_TRUE(RunUntil([this] { return engine.LoggedIn(); }));
    }

    std::vector<SeenRequest> Requests(size_t from = 0) const
    {
        std::vector<SeenRequest> requests;
        for (size_t i = from; i < socket.sent.size(); ++i)
            requests.push_back(Decode(socket.sent[i]));
        return requests;
    }

    FakeClock clock;
    FakeSocket socket;
    RecordingSink sink;
    MutexLock lock;
    FakeLocalHost host;
    FakeAddressSource addresses;
    TokenClientImpl engine;
    int windowObject = 0;
    void* window;
};
