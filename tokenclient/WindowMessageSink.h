#pragma once

#include "tokenclient/IEventSink.h"

// PostMessageA to the target window.
class WindowMessageSink : public IEventSink {
public:
    bool PostEvent(void* window, TokenEvent* event) override;
    void PostConnectFailed(void* window, int code) override;
};
