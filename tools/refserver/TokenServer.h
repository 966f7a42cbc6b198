#pragma once
// The protocol side of the reference token server, without sockets: it takes
// a datagram, the peer that sent it and the current time, and returns the
// datagrams to send with the time each is due. Time is in milliseconds of a
// monotonic clock whose origin the caller chooses.
#include <cstdint>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "tools/refserver/FaultPlan.h"
#include "tools/refserver/Peer.h"
#include "tools/refserver/ServerConfig.h"

namespace refserver {

class ServerRequest;

struct Outgoing
{
    std::string bytes;
    Peer peer;
    int64_t dueMs = 0;
};

class TokenServer
{
public:
    // Receives one line of commentary per decision worth logging; peer is null
    // for events that concern no single client.
    using NoteSink = std::function<void(const Peer* peer, const std::string& text)>;

    // Reply statuses the server uses.
    static const int kStatusOk = 0;
    static const int kStatusBadRequest = 1;
    static const int kStatusNotLoggedIn = 4;

    TokenServer(const ServerConfig& config, int64_t startMs, NoteSink notes);

    // Handles one received datagram; appends what to send to out.
    void HandleDatagram(const std::string& bytes, const Peer& peer, int64_t nowMs, std::vector<Outgoing>& out);

    // Carries out what is due by nowMs: forgetting sessions, ending idle
    // sessions, releasing replies held back too long. Appends to out.
    void Advance(int64_t nowMs, std::vector<Outgoing>& out);

    // When Advance next has something to do; INT64_MAX if never.
    int64_t NextEventMs() const;

    bool HasSession(const Peer& peer) const { return sessions_.count(peer) != 0; }
    size_t SessionCount() const { return sessions_.size(); }

private:
    struct Reply
    {
        int status = kStatusOk;
        std::vector<std::pair<std::string, std::string>> fields;
    };
    struct Session
    {
        std::string name;
        int64_t lastActivityMs = 0;
        std::string code;  // the code last issued to this session
        // The last answered request and its reply, sent again unchanged when
        // the same request is repeated.
        bool hasLast = false;
        std::string lastCommand;
        int32_t lastSeq = 0;
        Reply lastReply;
    };
    struct Repeat
    {
        std::string command;
        int32_t seq = 0;
        unsigned count = 0;
    };
    struct Held
    {
        Outgoing datagram;
        int64_t sinceMs = 0;
    };

    unsigned CountAttempt(const Peer& peer, const std::string& command, int32_t seq);
    bool Silent(const std::string& command, int64_t nowMs) const;
    Reply Answer(const ServerRequest& request, const Peer& peer, int64_t nowMs);
    Reply IssueCode(Session& session, const Peer& peer, int64_t nowMs);
    Reply CheckCode(const ServerRequest& request, int64_t nowMs) const;
    void Emit(const Reply& reply, const ServerRequest& request, const Peer& peer, unsigned attempt, int64_t nowMs,
              std::vector<Outgoing>& out);
    std::string Garbage(const ServerRequest& request, unsigned attempt) const;
    void ForgetAll();
    int64_t NextForgetMs() const;
    void Note(const Peer* peer, const std::string& text) const;

    static std::string Format(const Reply& reply, int32_t seq);

    ServerConfig config_;
    int64_t startMs_;
    NoteSink notes_;
    FaultPlan plan_;
    std::mt19937_64 codeRandom_;

    std::map<Peer, Session> sessions_;
    std::map<std::string, int64_t> codes_;  // live code -> when it expires
    std::map<Peer, Repeat> repeats_;
    std::map<Peer, Held> held_;
    size_t nextForgetAt_ = 0;     // index into the sorted config_.forgetAtMs
    int64_t nextPeriodicForgetMs_ = INT64_MAX;
};

} // namespace refserver
