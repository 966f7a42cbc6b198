#include "tools/refserver/TokenServer.h"

#include <algorithm>
#include <cstdio>

#include "tools/refserver/ServerRequest.h"

namespace refserver {

namespace {

// A reply held back for reordering goes out at the latest after this long.
const int64_t kHoldLimitMs = 2000;
// Repetition counts are kept for this many peers at most.
const size_t kRepeatLimit = 4096;

bool KnownCommand(const std::string& command)
{
    static const char* const kCommands[] = {"login", "logout", "gimmeatoken", "checktoken", "heartbeat", "status"};
    for (const char* known : kCommands) {
        if (command == known)
            return true;
    }
    return false;
}

const char* VerdictText(ServerRequest::Verdict verdict)
{
    switch (verdict) {
    case ServerRequest::Verdict::Empty: return "empty";
    case ServerRequest::Verdict::Oversized: return "oversized";
    case ServerRequest::Verdict::Binary: return "binary";
    case ServerRequest::Verdict::Ok: break;
    }
    return "ok";
}

} // namespace

TokenServer::TokenServer(const ServerConfig& config, int64_t startMs, NoteSink notes)
    : config_(config), startMs_(startMs), notes_(std::move(notes)), plan_(config.seed), codeRandom_(config.seed)
{
    if (!config_.seedGiven)
        codeRandom_.seed((uint64_t(std::random_device()()) << 32) ^ std::random_device()());
    std::sort(config_.forgetAtMs.begin(), config_.forgetAtMs.end());
    if (config_.forgetEveryMs > 0)
        nextPeriodicForgetMs_ = startMs_ + config_.forgetEveryMs;
}

void TokenServer::HandleDatagram(const std::string& bytes, const Peer& peer, int64_t nowMs,
                                 std::vector<Outgoing>& out)
{
    Advance(nowMs, out);

    ServerRequest request;
    ServerRequest::Verdict verdict = ServerRequest::Parse(bytes, request);
    if (verdict != ServerRequest::Verdict::Ok) {
        Note(&peer, std::string("ignored: ") + VerdictText(verdict) + " datagram of " +
                        std::to_string(bytes.size()) + " bytes");
        return;
    }
    if (!request.HasSeq()) {
        // The one request without a sequence line: a client closing its
        // socket ends its session this way and expects no answer.
        if (request.Command() == "logout" && !request.Field("seq")) {
            bool had = sessions_.erase(peer) != 0;
            Note(&peer, had ? "session ended by a bare logout" : "bare logout without a session");
            return;
        }
        Note(&peer, "ignored: no usable Seq line");
        return;
    }
    if (!KnownCommand(request.Command())) {
        Note(&peer, "ignored: unknown command");
        return;
    }

    unsigned attempt = CountAttempt(peer, request.Command(), request.Seq());
    if (Silent(request.Command(), nowMs)) {
        Note(&peer, "silent: no answer");
        return;
    }
    if (plan_.Hits(FaultPlan::Fault::DropRequest, config_.dropRequests, request.Command(), request.Seq(), attempt)) {
        Note(&peer, "fault: request dropped");
        return;
    }
    Reply reply = Answer(request, peer, nowMs);
    Emit(reply, request, peer, attempt, nowMs, out);
}

unsigned TokenServer::CountAttempt(const Peer& peer, const std::string& command, int32_t seq)
{
    if (repeats_.size() >= kRepeatLimit && !repeats_.count(peer))
        repeats_.clear();
    Repeat& repeat = repeats_[peer];
    if (repeat.count == 0 || repeat.command != command || repeat.seq != seq) {
        repeat.command = command;
        repeat.seq = seq;
        repeat.count = 0;
    }
    return ++repeat.count;
}

bool TokenServer::Silent(const std::string& command, int64_t nowMs) const
{
    if (std::find(config_.ignoredCommands.begin(), config_.ignoredCommands.end(), command) !=
        config_.ignoredCommands.end())
        return true;
    int64_t sinceStart = nowMs - startMs_;
    for (const TimeWindow& window : config_.silences) {
        if (sinceStart >= window.fromMs && sinceStart - window.fromMs < window.forMs)
            return true;
    }
    return false;
}

TokenServer::Reply TokenServer::Answer(const ServerRequest& request, const Peer& peer, int64_t nowMs)
{
    const std::string& command = request.Command();
    auto found = sessions_.find(peer);

    if (config_.notLoggedIn == "all" || (config_.notLoggedIn == "others" && command != "login")) {
        Note(&peer, "answered not logged in");
        return Reply{kStatusNotLoggedIn, {}};
    }
    if (command == "login") {
        const std::string* name = request.Field("name");
        if (!name || name->empty()) {
            Note(&peer, "login without a name refused");
            return Reply{kStatusBadRequest, {}};
        }
        bool renewed = found != sessions_.end();
        Session& session = sessions_[peer];
        if (renewed && session.hasLast && session.lastCommand == command && session.lastSeq == request.Seq()) {
            session.lastActivityMs = nowMs;
            Note(&peer, "repeated request: same reply");
            return session.lastReply;
        }
        session.name = *name;
        session.lastActivityMs = nowMs;
        session.hasLast = true;
        session.lastCommand = command;
        session.lastSeq = request.Seq();
        session.lastReply = Reply{kStatusOk, {}};
        Note(&peer, (renewed ? "session renewed for " : "session opened for ") + *name);
        return session.lastReply;
    }

    if (found == sessions_.end()) {
        Note(&peer, "no session");
        return Reply{kStatusNotLoggedIn, {}};
    }
    Session& session = found->second;
    session.lastActivityMs = nowMs;
    if (session.hasLast && session.lastCommand == command && session.lastSeq == request.Seq()) {
        Note(&peer, "repeated request: same reply");
        return session.lastReply;
    }

    Reply reply;
    if (command == "logout") {
        sessions_.erase(found);
        Note(&peer, "session ended by logout");
        return reply;
    } else if (command == "gimmeatoken") {
        reply = IssueCode(session, peer, nowMs);
    } else if (command == "checktoken") {
        reply = CheckCode(request, nowMs);
    } else if (command == "status") {
        reply.fields.emplace_back("sessions", std::to_string(sessions_.size()));
        reply.fields.emplace_back("uptime", std::to_string((nowMs - startMs_) / 1000));
    }
    session.hasLast = true;
    session.lastCommand = command;
    session.lastSeq = request.Seq();
    session.lastReply = reply;
    return reply;
}

TokenServer::Reply TokenServer::IssueCode(Session& session, const Peer& peer, int64_t nowMs)
{
    if (config_.refuseTokenStatus != 0) {
        Note(&peer, "code refused with status " + std::to_string(config_.refuseTokenStatus));
        return Reply{config_.refuseTokenStatus, {}};
    }
    // A new code replaces the one this session had before.
    if (!session.code.empty())
        codes_.erase(session.code);
    std::string code;
    do {
        char digits[8];
        std::snprintf(digits, sizeof digits, "%06u", unsigned(codeRandom_() % 1000000u));
        code = digits;
    } while (codes_.count(code));
    codes_[code] = nowMs + int64_t(config_.tokenTtlSeconds) * 1000;
    session.code = code;
    Note(&peer, "code " + code + " issued for " + std::to_string(config_.tokenTtlSeconds) + " s");

    Reply reply;
    reply.fields.emplace_back("token", code);
    reply.fields.emplace_back("token-ttl", std::to_string(config_.tokenTtlSeconds));
    return reply;
}

TokenServer::Reply TokenServer::CheckCode(const ServerRequest& request, int64_t nowMs) const
{
    const std::string* token = request.Field("token");
    std::string code = token ? *token : std::string();
    auto found = codes_.find(code);
    bool valid = found != codes_.end() && found->second > nowMs;

    Reply reply;
    reply.fields.emplace_back("token", code);
    reply.fields.emplace_back("token-valid", valid ? "true" : "false");
    if (valid)
        reply.fields.emplace_back("token-ttl", std::to_string((found->second - nowMs + 999) / 1000));
    return reply;
}

void TokenServer::Emit(const Reply& reply, const ServerRequest& request, const Peer& peer, unsigned attempt,
                       int64_t nowMs, std::vector<Outgoing>& out)
{
    const std::string& command = request.Command();
    int32_t seq = request.Seq();
    using Fault = FaultPlan::Fault;

    if (plan_.Hits(Fault::DropReply, config_.dropReplies, command, seq, attempt)) {
        Note(&peer, "fault: reply dropped");
        return;
    }
    int32_t replySeq = seq;
    if (plan_.Hits(Fault::WrongSeq, config_.wrongSeq, command, seq, attempt)) {
        // An older number: never the one of a request still to come.
        replySeq = int32_t(uint32_t(seq) - 1u);
        Note(&peer, "fault: reply carries seq " + std::to_string(replySeq));
    }
    if (plan_.Hits(Fault::Garbage, config_.garbage, command, seq, attempt)) {
        Note(&peer, "fault: garbage before the reply");
        out.push_back(Outgoing{Garbage(request, attempt), peer, nowMs});
    }
    Outgoing datagram{Format(reply, replySeq), peer, nowMs};
    if (plan_.Hits(Fault::Delay, config_.delayShare, command, seq, attempt) && config_.delayMs > 0) {
        datagram.dueMs += config_.delayMs;
        Note(&peer, "fault: reply delayed by " + std::to_string(config_.delayMs) + " ms");
    }

    auto held = held_.find(peer);
    if (held == held_.end() && plan_.Hits(Fault::Reorder, config_.reorder, command, seq, attempt)) {
        held_[peer] = Held{datagram, nowMs};
        Note(&peer, "fault: reply held back until after the next one");
        return;
    }
    out.push_back(datagram);
    if (plan_.Hits(Fault::Duplicate, config_.duplicate, command, seq, attempt)) {
        Note(&peer, "fault: reply duplicated");
        out.push_back(datagram);
    }
    if (held != held_.end()) {
        Outgoing late = held->second.datagram;
        late.dueMs = std::max(late.dueMs, datagram.dueMs);
        out.push_back(late);
        held_.erase(held);
        Note(&peer, "fault: held reply released");
    }
}

std::string TokenServer::Garbage(const ServerRequest& request, unsigned attempt) const
{
    int32_t seq = request.Seq();
    double draw = plan_.Draw(FaultPlan::Fault::GarbageKind, request.Command(), seq, attempt);
    switch (int(draw * 6)) {
    case 0: {
        std::string bytes;
        uint64_t x = uint64_t(draw * 9007199254740992.0) | 1;
        for (int i = 0; i < 24; ++i) {
            x ^= x << 13;
            x ^= x >> 7;
            x ^= x << 17;
            bytes.push_back(char(x & 0xFF));
        }
        return bytes;
    }
    case 1: return "hello\r\nseq:" + std::to_string(seq) + "\r\n";
    case 2: return "0\r\ntoken:000000\r\ntoken-ttl:5\r\n";
    case 3: return "0\r\nseq:x" + std::to_string(seq) + "\r\n";
    case 4: return std::string();
    default: return "0\r\nseq:" + std::to_string(int32_t(uint32_t(seq) + 1000u)) + "\r\ntoken:000000\r\ntoken-ttl:5\r\n";
    }
}

void TokenServer::Advance(int64_t nowMs, std::vector<Outgoing>& out)
{
    while (NextForgetMs() <= nowMs) {
        int64_t due = NextForgetMs();
        if (nextForgetAt_ < config_.forgetAtMs.size() && startMs_ + config_.forgetAtMs[nextForgetAt_] == due)
            ++nextForgetAt_;
        else
            nextPeriodicForgetMs_ += config_.forgetEveryMs;
        ForgetAll();
    }

    const int64_t idleMs = int64_t(config_.sessionIdleSeconds) * 1000;
    for (auto it = sessions_.begin(); it != sessions_.end();) {
        if (nowMs - it->second.lastActivityMs >= idleMs) {
            Note(&it->first, "session of " + it->second.name + " expired after " +
                                 std::to_string(config_.sessionIdleSeconds) + " s idle");
            codes_.erase(it->second.code);
            it = sessions_.erase(it);
        } else {
            ++it;
        }
    }
    for (auto it = codes_.begin(); it != codes_.end();) {
        if (it->second <= nowMs)
            it = codes_.erase(it);
        else
            ++it;
    }
    for (auto it = held_.begin(); it != held_.end();) {
        if (nowMs - it->second.sinceMs >= kHoldLimitMs) {
            Outgoing late = it->second.datagram;
            late.dueMs = std::max(late.dueMs, nowMs);
            out.push_back(late);
            Note(&it->first, "fault: held reply released late");
            it = held_.erase(it);
        } else {
            ++it;
        }
    }
}

int64_t TokenServer::NextEventMs() const
{
    int64_t next = NextForgetMs();
    const int64_t idleMs = int64_t(config_.sessionIdleSeconds) * 1000;
    for (const auto& entry : sessions_)
        next = std::min(next, entry.second.lastActivityMs + idleMs);
    for (const auto& entry : held_)
        next = std::min(next, entry.second.sinceMs + kHoldLimitMs);
    return next;
}

int64_t TokenServer::NextForgetMs() const
{
    int64_t next = nextPeriodicForgetMs_;
    if (nextForgetAt_ < config_.forgetAtMs.size())
        next = std::min(next, startMs_ + config_.forgetAtMs[nextForgetAt_]);
    return next;
}

void TokenServer::ForgetAll()
{
    Note(nullptr, "fault: forgetting " + std::to_string(sessions_.size()) + " sessions and " +
                      std::to_string(codes_.size()) + " codes");
    sessions_.clear();
    codes_.clear();
}

void TokenServer::Note(const Peer* peer, const std::string& text) const
{
    if (notes_)
        notes_(peer, text);
}

std::string TokenServer::Format(const Reply& reply, int32_t seq)
{
    std::string bytes = std::to_string(reply.status) + "\r\nseq:" + std::to_string(seq) + "\r\n";
    for (const auto& field : reply.fields)
        bytes += field.first + ":" + field.second + "\r\n";
    return bytes;
}

} // namespace refserver
