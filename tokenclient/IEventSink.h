#pragma once

struct TokenEvent;

// Carries the engine's messages to the target window's thread.
class IEventSink {
public:
    // Posts MSG_CLIENT_EVENT with the event to window. On success the event
    // belongs to the receiver; on failure it still belongs to the caller.
    virtual bool PostEvent(void* window, TokenEvent* event) = 0;
    // Posts MSG_CLIENT_CONNECT_FAILED with the start error code to window.
    virtual void PostConnectFailed(void* window, int code) = 0;

protected:
    ~IEventSink() = default;
};
