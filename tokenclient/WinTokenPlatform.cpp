#include "tokenclient/WinTokenPlatform.h"

WinTokenPlatform::WinTokenPlatform() {}

TokenClientSeams WinTokenPlatform::Seams()
{
    return TokenClientSeams{&clock, &socket, &events, &queueLock, &localHost, &addresses};
}

TokenClientImpl* WinTokenPlatform::CreateEngine(const char* serverAddress, uint16_t serverPort)
{
    WinTokenPlatform* platform = new WinTokenPlatform();
    TokenClientImpl* engine = new TokenClientImpl(platform->Seams());
    if (serverAddress)
        engine->ForceServerAddress(serverAddress, serverPort);
    return engine;
}
