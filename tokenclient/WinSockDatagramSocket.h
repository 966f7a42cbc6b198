#pragma once

#include <winsock.h>

#include "tokenclient/IDatagramSocket.h"

// A WinSock 1.1 UDP socket in non-blocking mode, connected to one peer. The
// socket layer must have been started (WinLocalHost::StartSockets).
class WinSockDatagramSocket : public IDatagramSocket {
public:
    WinSockDatagramSocket() : sock(INVALID_SOCKET) {}
    ~WinSockDatagramSocket();
    WinSockDatagramSocket(const WinSockDatagramSocket&) = delete;
    WinSockDatagramSocket& operator=(const WinSockDatagramSocket&) = delete;

    bool Open(const char* address, uint16_t port) override;
    bool IsOpen() const override { return sock != INVALID_SOCKET; }
    void Send(const char* data, size_t length) override;
    bool WaitReadable(uint32_t timeoutMs) override;
    size_t WaitingBytes() override;
    int Receive(char* data, size_t capacity) override;
    void Close() override;

private:
    SOCKET sock;
};
