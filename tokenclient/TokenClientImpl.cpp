#include "tokenclient/TokenClientImpl.h"

#include <cstring>

#include "tokenclient/IDatagramSocket.h"
#include "tokenclient/IEventSink.h"
#include "tokenclient/ILocalHost.h"
#include "tokenclient/IQueueLock.h"
#include "tokenclient/ITickSource.h"
#include "tokenclient/ServerAddressChooser.h"
#include "tokenclient/TokenEvent.h"
#include "tokenclient/TokenProtocol.h"
#include "tokenclient/TokenResult.h"

namespace {

class LockGuard {
public:
    explicit LockGuard(IQueueLock& lock) : lock(lock) { lock.Enter(); }
    ~LockGuard() { lock.Leave(); }
    LockGuard(const LockGuard&) = delete;
    LockGuard& operator=(const LockGuard&) = delete;

private:
    IQueueLock& lock;
};

void FreeList(TokenRequest* node)
{
    while (node) {
        TokenRequest* next = node->next;
        delete node;
        node = next;
    }
}

} // namespace

TokenClientImpl::TokenClientImpl(const TokenClientSeams& seams)
    : retryIntervalMs(300), requestTimeoutMs(3000), seams(seams), addressForced(false),
      serverPort(TokenServerPort), startResult(StartNotTried), startTriedAt(0), seq(0), inFlight(false),
      loggedIn(false), lastReplyTick(0), failedLogins(0), loginSent(false), lastLoginSentAt(0),
      pendingHead(nullptr), pendingTail(nullptr), window(nullptr), incomingHead(nullptr), incomingTail(nullptr),
      freeList(nullptr), started(false), stopRequested(false)
{
    std::memset(hostName, 0, sizeof hostName);
    std::memset(serverAddress, 0, sizeof serverAddress);
    std::memset(token, 0, sizeof token);
}

TokenClientImpl::~TokenClientImpl()
{
    FreeList(pendingHead);
    FreeList(incomingHead);
    FreeList(freeList);
}

void TokenClientImpl::ForceServerAddress(const char* address, uint16_t port)
{
    addressForced = true;
    serverPort = port;
    // An address that does not fit is kept empty, which Open refuses.
    std::memset(serverAddress, 0, sizeof serverAddress);
    size_t length = address ? std::strlen(address) : sizeof serverAddress;
    if (length < sizeof serverAddress)
        std::memcpy(serverAddress, address, length);
}

bool TokenClientImpl::PrepareStart(void* target)
{
    if (started.exchange(true))
        return false;
    stopRequested = false;
    window = target;
    return true;
}

void TokenClientImpl::ReportStartFailure(int code)
{
    if (window)
        seams.events->PostConnectFailed(window, code);
}

size_t TokenClientImpl::PendingCount() const
{
    size_t count = 0;
    for (const TokenRequest* node = pendingHead; node; node = node->next)
        ++count;
    return count;
}

uint32_t TokenClientImpl::LoginGap() const
{
    uint32_t gap = retryIntervalMs;
    for (uint32_t i = 0; i < failedLogins && gap < LoginGapCapMs; ++i)
        gap *= 2;
    if (gap > LoginGapCapMs)
        gap = LoginGapCapMs;
    return gap < retryIntervalMs ? retryIntervalMs : gap;
}

size_t TokenClientImpl::FreeCount() const
{
    LockGuard guard(*seams.queueLock);
    size_t count = 0;
    for (const TokenRequest* node = freeList; node; node = node->next)
        ++count;
    return count;
}

TokenRequest* TokenClientImpl::TakeNode()
{
    TokenRequest* node = freeList;
    if (node)
        freeList = node->next;
    else
        node = new TokenRequest;
    std::memset(node, 0, sizeof *node);
    return node;
}

bool TokenClientImpl::PostRequest(RequestKind kind)
{
    if (!Append(kind))
        return false;
    seams.socket->Wake();
    return true;
}

void TokenClientImpl::RequestStop()
{
    stopRequested = true;
    seams.socket->Wake();
}

bool TokenClientImpl::Append(RequestKind kind)
{
    if (!IsRequestKind(kind))
        return false;
    LockGuard guard(*seams.queueLock);
    TokenRequest* node = TakeNode();
    node->kind = kind;
    if (incomingTail)
        incomingTail->next = node;
    else
        incomingHead = node;
    incomingTail = node;
    return true;
}

int TokenClientImpl::WorkerMain()
{
    // Later failures stay quiet: the window has been told once.
    if (Open() != 0)
        ReportStartFailure(startResult);
    while (!stopRequested)
        PollOnce();
    Close();
    return startResult;
}

int TokenClientImpl::Open()
{
    startTriedAt = seams.clock->Now();
    startResult = OpenOnce();
    return startResult;
}

int TokenClientImpl::OpenOnce()
{
    Close();
    if (!seams.localHost->StartSockets())
        return StartWinsockFailed;
    std::memset(hostName, 0, sizeof hostName);
    if (!seams.localHost->ReadHostName(hostName, sizeof hostName))
        return StartNoHostName;
    hostName[sizeof hostName - 1] = 0;
    if (!seams.localHost->LookUpHost(hostName))
        return StartHostLookupFailed;
    if (addressForced) {
        if (serverAddress[0] == 0)
            return StartNoGateway;
    } else {
        if (!seams.addresses)
            return StartNoGateway;
        ServerAddressChooser chooser(*seams.addresses);
        int chosen = chooser.Choose(serverAddress);
        if (chosen != 0)
            return chosen;
    }
    seams.socket->Open(serverAddress, serverPort);
    return 0;
}

void TokenClientImpl::PollOnce()
{
    if (!Started() && !RetryStartWhenDue()) {
        TakeOverIncoming();
        // The socket is not open, so this only lets the time pass.
        if (!stopRequested)
            seams.socket->WaitReadable(WaitMs());
        CheckTimeouts();
        return;
    }
    CheckSession();
    TakeOverIncoming();
    if (pendingHead && !inFlight && HeadMayGo())
        SendHead();
    if (!stopRequested && seams.socket->WaitReadable(WaitMs()))
        Receive();
    CheckTimeouts();
}

namespace {

// The earliest of the ticks it is shown, as a wait from now.
class Earliest {
public:
    explicit Earliest(uint32_t now) : now(now), wait(UINT32_MAX) {}
    void At(uint32_t tick)
    {
        int32_t until = static_cast<int32_t>(tick - now);
        uint32_t ms = until > 0 ? static_cast<uint32_t>(until) : 0;
        if (ms < wait)
            wait = ms;
    }
    uint32_t Wait() const { return wait; }

private:
    uint32_t now;
    uint32_t wait;
};

} // namespace

uint32_t TokenClientImpl::WaitMs() const
{
    Earliest next(seams.clock->Now());
    if (!Started()) {
        next.At(startTriedAt + StartRetryMs);
        if (pendingHead)
            next.At(pendingHead->queuedAt + 3 * retryIntervalMs);
    } else if (inFlight) {
        // Repeated until a transmission comes 3 * retryIntervalMs after it
        // was queued; the reply to that one has PassWaitMs.
        if (pendingHead->sentAt - pendingHead->queuedAt < 3 * retryIntervalMs)
            next.At(pendingHead->sentAt + retryIntervalMs);
        else
            next.At(pendingHead->sentAt + PassWaitMs);
        next.At(pendingHead->queuedAt + requestTimeoutMs);
    } else if (pendingHead) {
        // Only a login waiting for its turn stays unsent.
        next.At(lastLoginSentAt + LoginGap());
    } else if (loggedIn) {
        next.At(lastReplyTick + HeartbeatIdleMs);
    } else {
        return 0;  // the next pass puts a login in front
    }
    return next.Wait();
}

bool TokenClientImpl::RetryStartWhenDue()
{
    if (startResult != StartNotTried && seams.clock->Now() - startTriedAt < StartRetryMs)
        return false;
    return Open() == 0;
}

void TokenClientImpl::CheckSession()
{
    if (!loggedIn) {
        if (!pendingHead)
            PushLoginFront();
        return;
    }
    if (!pendingHead && !inFlight && seams.clock->Now() - lastReplyTick >= HeartbeatIdleMs)
        Append(Heartbeat);  // on the worker's own thread: nothing to wake
}

void TokenClientImpl::PushLoginFront()
{
    TokenRequest* node;
    {
        LockGuard guard(*seams.queueLock);
        node = TakeNode();
    }
    node->kind = Login;
    node->marker = EngineMarker;
    node->queuedAt = seams.clock->Now();
    node->next = pendingHead;
    pendingHead = node;
    if (!pendingTail)
        pendingTail = node;
}

bool TokenClientImpl::HeadMayGo() const
{
    if (pendingHead->marker != EngineMarker || !loginSent)
        return true;
    return seams.clock->Now() - lastLoginSentAt >= LoginGap();
}

void TokenClientImpl::NoteLoginResult(int32_t result)
{
    if (result == StatusOk)
        failedLogins = 0;
    else if (failedLogins < 32)
        ++failedLogins;
}

void TokenClientImpl::TakeOverIncoming()
{
    uint32_t now = seams.clock->Now();
    LockGuard guard(*seams.queueLock);
    if (!incomingHead)
        return;
    for (TokenRequest* node = incomingHead; node; node = node->next)
        node->queuedAt = now;
    if (pendingTail)
        pendingTail->next = incomingHead;
    else
        pendingHead = incomingHead;
    pendingTail = incomingTail;
    incomingHead = incomingTail = nullptr;
}

void TokenClientImpl::SendHead()
{
    sendBuffer.Reset();
    int32_t number = seq;
    if (inFlight)
        number = static_cast<int32_t>(static_cast<uint32_t>(seq) - 1u);
    else
        seq = static_cast<int32_t>(static_cast<uint32_t>(seq) + 1u);
    uint32_t now = seams.clock->Now();
    if (!inFlight && pendingHead->marker == EngineMarker) {
        // The wait for its turn was the engine's own: the login gets its
        // transmissions from now on, as one taken over now would.
        pendingHead->queuedAt = now;
        loginSent = true;
        lastLoginSentAt = now;
    }
    if (TokenProtocol::BuildRequest(sendBuffer, pendingHead->kind, hostName, token, number))
        seams.socket->Send(sendBuffer.Data(), sendBuffer.Length());
    sendBuffer.Reset();
    inFlight = true;
    pendingHead->sentAt = now;
}

void TokenClientImpl::Receive()
{
    size_t waiting = seams.socket->WaitingBytes();
    recvBuffer.Reset();
    char* into = recvBuffer.Reserve(waiting);
    if (!into) {
        // More than the buffer can hold is waiting: read it away all the same,
        // so that the socket does not stay readable.
        seams.socket->Receive(recvBuffer.Data(), recvBuffer.Capacity());
        recvBuffer.Reset();
        return;
    }
    int read = seams.socket->Receive(into, waiting);
    if (read >= 0 && static_cast<size_t>(read) == waiting && pendingHead)
        HandleReply(into, waiting);
    recvBuffer.Reset();
}

void TokenClientImpl::HandleReply(char* data, size_t length)
{
    int32_t status = 0;
    int32_t replySeq = 0;
    int32_t inFlightSeq = static_cast<int32_t>(static_cast<uint32_t>(seq) - 1u);
    if (!inFlight || !TokenProtocol::ParseReply(data, length, fields, status) ||
        !TokenProtocol::ReadSeq(fields, replySeq) || replySeq != inFlightSeq)
        return;
    uint32_t now = seams.clock->Now();
    ReplyOutcome outcome = TokenProtocol::InterpretReply(pendingHead->kind, status, fields);
    // A server that answers "not logged in" even after new logins would
    // otherwise keep the request going for ever.
    if (!outcome.finished && pendingHead->renewals >= MaxRenewals)
        outcome.finished = true;
    if (!outcome.finished) {
        ++pendingHead->renewals;
        pendingHead->queuedAt = now;
        PushLoginFront();
    } else {
        TokenRequest* head = pendingHead;
        pendingHead = head->next;
        if (!pendingHead)
            pendingTail = nullptr;
        Complete(*head, outcome);
        Recycle(head, pendingHead);
    }
    lastReplyTick = now;
    inFlight = false;
}

void TokenClientImpl::Complete(const TokenRequest& request, const ReplyOutcome& outcome)
{
    if (request.kind == Login)
        NoteLoginResult(outcome.result);
    if (outcome.login == LoginNowIn)
        loggedIn = true;
    else if (outcome.login == LoginNowOut)
        loggedIn = false;
    if (outcome.storeToken)
        std::memcpy(token, outcome.token, sizeof token);
    if (!window || !TokenProtocol::ReportsToWindow(request.kind, request.marker))
        return;
    TokenEvent* event = new TokenEvent();
    event->kind = request.kind;
    event->result = outcome.result;
    event->marker = request.marker;
    if (outcome.result == StatusOk)
        std::memcpy(event->token, outcome.token, sizeof event->token);
    event->value = outcome.value;
    // A message that could not be posted never reaches its receiver.
    if (!seams.events->PostEvent(window, event))
        delete event;
}

void TokenClientImpl::CheckTimeouts()
{
    if (!Started()) {
        ExpireUnstarted();
        return;
    }
    if (!inFlight)
        return;
    uint32_t now = seams.clock->Now();
    TokenRequest* young = pendingHead;
    while (young && now - young->queuedAt >= requestTimeoutMs)
        young = young->next;
    if (young == pendingHead) {
        if (pendingHead->sentAt - pendingHead->queuedAt < 3 * retryIntervalMs) {
            if (now - pendingHead->sentAt >= retryIntervalMs)
                SendHead();
            return;
        }
        young = pendingHead->next;
    }
    ExpireUntil(young);
}

void TokenClientImpl::ExpireUnstarted()
{
    // Nothing can be sent yet, so a request is given up once it has waited as
    // long as an unanswered one may be repeated: its caller hears within
    // about a second, as from a silent server.
    uint32_t now = seams.clock->Now();
    TokenRequest* young = pendingHead;
    while (young && now - young->queuedAt >= 3 * retryIntervalMs)
        young = young->next;
    if (young != pendingHead)
        ExpireUntil(young);
}

void TokenClientImpl::ExpireUntil(TokenRequest* stop)
{
    TokenRequest* first = pendingHead;
    // Unlink first, so that the list is consistent while the window is told.
    pendingHead = stop;
    if (!stop)
        pendingTail = nullptr;
    inFlight = false;
    for (TokenRequest* node = first; node != stop; node = node->next)
        Complete(*node, TokenProtocol::InterpretReply(node->kind, ResultTimeout, fields));
    Recycle(first, stop);
}

void TokenClientImpl::Recycle(TokenRequest* first, TokenRequest* stop)
{
    if (first == stop)
        return;
    TokenRequest* last = first;
    while (last->next != stop)
        last = last->next;
    LockGuard guard(*seams.queueLock);
    last->next = freeList;
    freeList = first;
}

void TokenClientImpl::Close()
{
    if (!seams.socket->IsOpen())
        return;
    if (loggedIn)
        seams.socket->Send(TokenProtocol::ClosingLogout(), TokenProtocol::ClosingLogoutLength());
    seams.socket->Close();
    recvBuffer.Reset();
    sendBuffer.Reset();
    fields.Clear();
    loggedIn = false;
    inFlight = false;
    seq = 0;
    std::memset(token, 0, sizeof token);
    // A new socket starts a new session: its first login goes out at once.
    failedLogins = 0;
    loginSent = false;
}
