#pragma once

#include <winsock.h>

#include <atomic>

#include "tokenclient/IDatagramSocket.h"

// A WinSock 1.1 UDP socket in non-blocking mode, connected to one peer. The
// socket layer must have been started (WinLocalHost::StartSockets).
//
// Waits can be woken from another thread: a second socket, bound to an
// ephemeral port of 127.0.0.1, is waited on as well, and Wake sends it an
// empty datagram of its own, which never leaves the machine. It is made by
// the first wait after the socket layer has started.
class WinSockDatagramSocket : public IDatagramSocket {
public:
    WinSockDatagramSocket() : sock(INVALID_SOCKET), wakeSock(INVALID_SOCKET) {}
    ~WinSockDatagramSocket();
    WinSockDatagramSocket(const WinSockDatagramSocket&) = delete;
    WinSockDatagramSocket& operator=(const WinSockDatagramSocket&) = delete;

    bool Open(const char* address, uint16_t port) override;
    bool IsOpen() const override { return sock != INVALID_SOCKET; }
    void Send(const char* data, size_t length) override;
    bool WaitReadable(uint32_t timeoutMs) override;
    void Wake() override;
    size_t WaitingBytes() override;
    int Receive(char* data, size_t capacity) override;
    void Close() override;

private:
    bool MakeWakeSocket();
    void DrainWakeSocket();

    SOCKET sock;
    std::atomic<SOCKET> wakeSock;  // written by the waiting thread only
};
