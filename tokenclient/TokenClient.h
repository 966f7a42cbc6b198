#pragma once

#include <cstdint>

#include "tokenclient/RequestKind.h"
#include "tokenclient/TokenEvent.h"
#include "tokenclient/TokenResult.h"

class TokenClientImpl;

// The token client as the main window holds it. Construction creates the
// engine; Start runs it on a worker thread of its own, which talks to the
// authentication server and posts MSG_CLIENT_EVENT and
// MSG_CLIENT_CONNECT_FAILED to the window given to Start. A worker that
// cannot start says so once and keeps trying every ten seconds; until it
// starts, every request ends with ResultTimeout.
//
// The engine and its worker live until the process ends: destroying the
// facade leaves them alone.
class TokenClient {
public:
    // An engine wired to Windows (WinSock, the tick count, a critical section,
    // PostMessageA) that finds the server from authipconf.ini or the default
    // gateway.
    TokenClient();

    // The same engine, but talking to the given dotted IPv4 address and port
    // instead; the search among adapters, routes and authipconf.ini is skipped.
    // An empty address, or one longer than 15 characters, makes the start fail
    // with StartNoGateway.
    explicit TokenClient(const char* serverAddress, uint16_t serverPort = TokenServerPort);

    // Takes over an engine built by the caller, for instance with other seams.
    explicit TokenClient(TokenClientImpl* engine);

    virtual ~TokenClient();

    TokenClient(const TokenClient&) = delete;
    TokenClient& operator=(const TokenClient&) = delete;

    // Starts the worker, which posts its messages to window (an HWND; null
    // posts nothing). Only the first call has an effect.
    virtual void Start(void* window);

    // Queues a request; callable from any thread. The outcome, if the kind
    // reports at all, arrives later as MSG_CLIENT_EVENT. Returns false, and
    // queues nothing, for a kind that is not a RequestKind.
    virtual bool PostRequest(RequestKind kind);

    // Ends the worker after its current pass; it then closes the socket,
    // sending the bare logout when logged in. The application never calls it.
    void Stop();

    TokenClientImpl* impl;
};
