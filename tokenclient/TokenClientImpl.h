#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "tokenclient/ByteBuffer.h"
#include "tokenclient/FieldTable.h"
#include "tokenclient/RequestKind.h"

class IAddressSource;
class IDatagramSocket;
class IEventSink;
class ILocalHost;
class IQueueLock;
class ITickSource;
struct ReplyOutcome;

// The platform as the engine reaches it. None of them is owned.
struct TokenClientSeams {
    ITickSource* clock;
    IDatagramSocket* socket;
    IEventSink* events;
    IQueueLock* queueLock;
    ILocalHost* localHost;
    IAddressSource* addresses;  // may be null when the server address is forced
};

// One request, from posting to its end; nodes are recycled.
struct TokenRequest {
    int32_t kind;
    uint32_t queuedAt;  // when it entered the pending list (renewed by status 4)
    uint32_t sentAt;    // its last transmission
    uint32_t marker;    // 0 when posted by a caller, EngineMarker for the engine's logins
    uint32_t renewals;  // how often a "not logged in" answer has sent it back behind a login
    TokenRequest* next;
};

// The token client engine. Callers post requests from any thread; one worker
// thread runs WorkerMain, which sends them one at a time, repeats a request
// whose reply is late, gives up one that stays unanswered, logs in whenever
// the server has no session, sends heartbeats while idle and posts the
// outcomes to the window.
//
// Until the worker has started (local host, server address, socket) it
// tries again every StartRetryMs, choosing the server afresh each time, since
// a PC may boot before its network is up. Meanwhile requests are given up as
// an unanswered request would be, so that callers are not kept waiting.
//
// Timing: a request at the head is sent again every retryIntervalMs while its
// last transmission came less than 3 * retryIntervalMs after it was queued;
// after that the next check gives it up. Requests pending requestTimeoutMs or
// longer are given up from the front of the list. All ticks are compared by
// their unsigned difference, so the wrap-around of the tick does no harm.
//
// A server that refuses the client or keeps losing its session must not make
// it flood the network, and every caller must hear back. So the engine's own
// logins go out at least LoginGap() apart, from one first transmission to
// the next; the gap starts at retryIntervalMs, doubles with every login that
// fails (refused, answered "not logged in", or unanswered) up to
// LoginGapCapMs, and falls back when a login is accepted. A login that waits
// for its turn holds the requests behind it, and its time in the list counts
// from its first transmission. A "not logged in" answer sends a request back
// behind a login at most MaxRenewals times; the next one finishes it with
// that status.
class TokenClientImpl {
public:
    // How long a pass waits for the reply to a request's last transmission
    // before it is given up.
    static constexpr uint32_t PassWaitMs = 100;
    static constexpr uint32_t HeartbeatIdleMs = 15000;
    static constexpr uint32_t StartRetryMs = 10000;
    static constexpr uint32_t LoginGapCapMs = 2000;
    static constexpr uint32_t MaxRenewals = 3;

    explicit TokenClientImpl(const TokenClientSeams& seams);
    // Frees the request nodes. Only for an engine whose worker is not running.
    virtual ~TokenClientImpl();
    TokenClientImpl(const TokenClientImpl&) = delete;
    TokenClientImpl& operator=(const TokenClientImpl&) = delete;

    // Talk to this dotted address and port instead of choosing the server
    // from the PC's routes and authipconf.ini. Call before the worker runs.
    void ForceServerAddress(const char* address, uint16_t port);

    // The first half of starting, on the caller's thread before the worker is
    // created: clears the stop flag and stores the target window. Returns
    // false when the engine was started before.
    bool PrepareStart(void* window);

    // Tells the window that the worker could not start (when there is one).
    void ReportStartFailure(int code);

    // Appends a request of a known kind to the incoming list and wakes the
    // worker; any thread.
    bool PostRequest(RequestKind kind);
    // Ends WorkerMain after its current pass; any thread.
    void RequestStop();

    // The worker's body: Open, then passes until stopped, then Close. Only
    // the first failed Open is posted to the window, as
    // MSG_CLIENT_CONNECT_FAILED; the passes try again until one succeeds.
    // Returns 0 when the engine started, else the error of its last attempt.
    int WorkerMain();
    // Resolves the local host, chooses the server and opens the socket.
    // Returns 0 or a TokenStartError; either way it counts as the last
    // attempt to start.
    int Open();
    // One pass of the worker: session check, take-over, send, wait for a
    // reply until the next thing is due (WaitMs), time-outs. Before the
    // engine has started, a pass opens it when the retry is due and otherwise
    // only takes requests over, waits and gives up those that waited too long.
    void PollOnce();
    // How long the pass may wait from now: until the next retransmission,
    // give-up, heartbeat, paced login or start attempt, whichever is first.
    // A posted request wakes the wait early.
    uint32_t WaitMs() const;
    // Closes the socket (sending the bare logout when logged in) and forgets
    // the session. The pending and incoming lists stay.
    void Close();

    // Called through the virtual table on every pass.
    virtual void CheckSession();
    virtual void CheckTimeouts();

    // For observers on the worker's thread.
    bool Started() const { return startResult == 0; }
    bool LoggedIn() const { return loggedIn; }
    bool InFlight() const { return inFlight; }
    int32_t NextSeq() const { return seq; }
    const char* HostName() const { return hostName; }
    const char* ServerAddress() const { return serverAddress; }
    uint16_t ServerPort() const { return serverPort; }
    size_t PendingCount() const;
    // The least time between the first transmissions of two engine logins.
    uint32_t LoginGap() const;
    size_t FreeCount() const;  // recycled nodes; takes queueLock

    uint32_t retryIntervalMs;
    uint32_t requestTimeoutMs;

private:
    // startResult before the first Open.
    static constexpr int32_t StartNotTried = 1;

    int OpenOnce();
    bool RetryStartWhenDue();
    void ExpireUnstarted();
    TokenRequest* TakeNode();  // queueLock must be held
    bool Append(RequestKind kind);
    void PushLoginFront();
    bool HeadMayGo() const;
    void NoteLoginResult(int32_t result);
    void TakeOverIncoming();
    void SendHead();
    void Receive();
    void HandleReply(char* data, size_t length);
    void Complete(const TokenRequest& request, const ReplyOutcome& outcome);
    void ExpireUntil(TokenRequest* stop);
    void Recycle(TokenRequest* first, TokenRequest* stop);

    TokenClientSeams seams;
    char hostName[260];
    char serverAddress[16];
    bool addressForced;
    uint16_t serverPort;
    int32_t startResult;    // of the last Open: 0 once started, else a TokenStartError
    uint32_t startTriedAt;  // when the last Open was made
    ByteBuffer recvBuffer;
    ByteBuffer sendBuffer;
    FieldTable fields;
    int32_t seq;
    bool inFlight;
    bool loggedIn;
    char token[32];
    uint32_t lastReplyTick;
    uint32_t failedLogins;     // in a row; the login gap doubles with each
    bool loginSent;            // lastLoginSentAt holds a tick
    uint32_t lastLoginSentAt;  // first transmission of the last engine login
    TokenRequest* pendingHead;
    TokenRequest* pendingTail;
    void* window;
    TokenRequest* incomingHead;  // these three under queueLock
    TokenRequest* incomingTail;
    TokenRequest* freeList;
    std::atomic<bool> started;
    std::atomic<bool> stopRequested;
};
