#pragma once

#include "tokenclient/CriticalSectionLock.h"
#include "tokenclient/TokenClientImpl.h"
#include "tokenclient/WinAddressSource.h"
#include "tokenclient/WinLocalHost.h"
#include "tokenclient/WinSockDatagramSocket.h"
#include "tokenclient/WinTickSource.h"
#include "tokenclient/WindowMessageSink.h"

// The Windows seams of the engine. Like the engine it serves, an instance
// normally lives until the process ends.
class WinTokenPlatform {
public:
    WinTokenPlatform();
    WinTokenPlatform(const WinTokenPlatform&) = delete;
    WinTokenPlatform& operator=(const WinTokenPlatform&) = delete;

    // The seams for an engine, the address source included.
    TokenClientSeams Seams();

    // A new engine on a new platform, neither of which is ever freed. With an
    // address, the engine talks to it instead of choosing the server.
    static TokenClientImpl* CreateEngine(const char* serverAddress, uint16_t serverPort);

private:
    WinTickSource clock;
    WinSockDatagramSocket socket;
    WindowMessageSink events;
    CriticalSectionLock queueLock;
    WinLocalHost localHost;
    WinAddressSource addresses;
};
