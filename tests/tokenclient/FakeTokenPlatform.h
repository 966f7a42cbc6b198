#pragma once

// Stand-ins for the engine's platform: a clock that moves only when told, a
// socket whose peer is a script, and a sink that records what reaches the
// window. The socket's readiness wait moves the clock, so a pass of the
// engine takes the simulated time it would take; a wake ends it at once.

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "tokenclient/IAddressSource.h"
#include "tokenclient/IDatagramSocket.h"
#include "tokenclient/IEventSink.h"
#include "tokenclient/ILocalHost.h"
#include "tokenclient/IQueueLock.h"
#include "tokenclient/ITickSource.h"
#include "tokenclient/TokenClientImpl.h"
#include "tokenclient/TokenEvent.h"

class FakeClock : public ITickSource {
public:
    explicit FakeClock(uint32_t start) : now(start) {}
    uint32_t Now() override { return now; }
    void Advance(uint32_t ms) { now += ms; }

    uint32_t now;
};

struct SentDatagram {
    uint32_t at;
    std::string bytes;
};

class FakeSocket : public IDatagramSocket {
public:
    // Called with every datagram sent; may Deliver replies.
    std::function<void(const std::string&)> peer;

    explicit FakeSocket(FakeClock& clock) : clock(clock) {}

    // Queues a datagram that becomes readable delayMs from now. reportedSize
    // overrides the waiting-byte count (-1: the datagram's own size).
    void Deliver(const std::string& bytes, uint32_t delayMs = 0, long reportedSize = -1)
    {
        inbox.push_back(Incoming{clock.now + delayMs, bytes, reportedSize});
    }

    bool Open(const char* address, uint16_t port) override
    {
        openedAddress = address;
        openedPort = port;
        open = true;
        return true;
    }
    bool IsOpen() const override { return open; }
    void Send(const char* data, size_t length) override
    {
        sent.push_back(SentDatagram{clock.now, std::string(data, length)});
        if (peer)
            peer(sent.back().bytes);
    }
    bool WaitReadable(uint32_t timeoutMs) override
    {
        ++waits;
        asked.push_back(timeoutMs);
        if (woken.exchange(false))
            return !inbox.empty() && static_cast<int32_t>(inbox.front().at - clock.now) <= 0;
        if (!inbox.empty()) {
            int32_t due = static_cast<int32_t>(inbox.front().at - clock.now);
            if (due <= static_cast<int32_t>(timeoutMs) && (!horizon || due <= Until(*horizon))) {
                if (due > 0)
                    clock.Advance(static_cast<uint32_t>(due));
                return true;
            }
        }
        // A wait never runs past the horizon: there it ends as if woken.
        if (horizon && static_cast<int64_t>(timeoutMs) > Until(*horizon))
            timeoutMs = static_cast<uint32_t>(std::max<int32_t>(0, Until(*horizon)));
        clock.Advance(timeoutMs);
        return false;
    }
    void Wake() override
    {
        woken = true;
        ++wakes;
    }
    size_t WaitingBytes() override
    {
        if (inbox.empty())
            return 0;
        const Incoming& next = inbox.front();
        return next.reportedSize >= 0 ? static_cast<size_t>(next.reportedSize) : next.bytes.size();
    }
    int Receive(char* data, size_t capacity) override
    {
        if (inbox.empty())
            return -1;
        std::string bytes = inbox.front().bytes;
        inbox.pop_front();
        if (bytes.size() > capacity)
            return -1;
        std::memcpy(data, bytes.data(), bytes.size());
        return static_cast<int>(bytes.size());
    }
    void Close() override
    {
        open = false;
        ++closes;
    }

    // While set, no wait goes past this tick.
    std::optional<uint32_t> horizon;
    std::vector<SentDatagram> sent;
    std::string openedAddress;
    uint16_t openedPort = 0;
    bool open = false;
    int closes = 0;
    int waits = 0;
    std::atomic<int> wakes{0};
    std::vector<uint32_t> asked;  // the timeout of every wait
    std::atomic<bool> woken{false};

private:
    int32_t Until(uint32_t tick) const { return static_cast<int32_t>(tick - clock.now); }

    struct Incoming {
        uint32_t at;
        std::string bytes;
        long reportedSize;
    };

    FakeClock& clock;
    std::deque<Incoming> inbox;
};

class RecordingSink : public IEventSink {
public:
    bool PostEvent(void* window, TokenEvent* event) override
    {
        windows.push_back(window);
        events.push_back(*event);
        delete event;
        return true;
    }
    void PostConnectFailed(void* window, int code) override
    {
        windows.push_back(window);
        failures.push_back(code);
    }

    std::vector<void*> windows;
    std::vector<TokenEvent> events;
    std::vector<int> failures;
};

class MutexLock : public IQueueLock {
public:
    void Enter() override { mutex.lock(); }
    void Leave() override { mutex.unlock(); }

private:
    std::mutex mutex;
};

class FakeLocalHost : public ILocalHost {
public:
    bool StartSockets() override { return startOk; }
    bool ReadHostName(char* name, size_t size) override
    {
        if (!nameOk)
            return false;
        std::strncpy(name, hostName.c_str(), size - 1);
        return true;
    }
    bool LookUpHost(const char*) override { return lookUpOk; }

    bool startOk = true;
    bool nameOk = true;
    bool lookUpOk = true;
    std::string hostName = "CAFE-PC07";
};

class FakeAddressSource : public IAddressSource {
public:
    bool ReadAdapters(std::vector<AdapterAddresses>& out) override
    {
        if (clock)
            adapterReadsAt.push_back(clock->now);
        out = adapters;
        return adaptersOk;
    }
    bool ReadRoutes(std::vector<RouteEntry>& out) override
    {
        out = routes;
        return routesOk;
    }
    std::string ReadAddressFile() override
    {
        ++fileReads;
        return file;
    }

    void AddAdapter(const char* gateway, const char* address)
    {
        AdapterAddresses adapter = {};
        std::strcpy(adapter.gateway, gateway);
        std::strcpy(adapter.address, address);
        adapters.push_back(adapter);
    }
    void AddRoute(const char* destination, const char* mask, const char* nextHop, int32_t metric)
    {
        RouteEntry route = {};
        std::strcpy(route.destination, destination);
        std::strcpy(route.mask, mask);
        std::strcpy(route.nextHop, nextHop);
        route.metric = metric;
        routes.push_back(route);
    }

    std::vector<AdapterAddresses> adapters;
    std::vector<RouteEntry> routes;
    bool adaptersOk = true;
    bool routesOk = true;
    std::string file = "ini_invalid";
    int fileReads = 0;
    // With a clock, every read of the adapters is noted with its tick.
    const FakeClock* clock = nullptr;
    std::vector<uint32_t> adapterReadsAt;
};
