#include "tokenclient/WinSockDatagramSocket.h"

#include <climits>

WinSockDatagramSocket::~WinSockDatagramSocket() { Close(); }

bool WinSockDatagramSocket::Open(const char* address, uint16_t port)
{
    Close();
    sock = socket(AF_INET, SOCK_DGRAM, 0);
    if (sock == INVALID_SOCKET)
        return false;
    u_long nonBlocking = 1;
    ioctlsocket(sock, FIONBIO, &nonBlocking);
    sockaddr_in peer = {};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(port);
    peer.sin_addr.s_addr = inet_addr(address);
    // A failed connect leaves a socket that reaches nobody: every request
    // then simply times out.
    connect(sock, reinterpret_cast<sockaddr*>(&peer), sizeof peer);
    return true;
}

void WinSockDatagramSocket::Send(const char* data, size_t length)
{
    if (sock != INVALID_SOCKET && length <= INT_MAX)
        send(sock, data, static_cast<int>(length), 0);
}

bool WinSockDatagramSocket::WaitReadable(uint32_t timeoutMs)
{
    if (sock != INVALID_SOCKET) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(sock, &readable);
        timeval timeout;
        timeout.tv_sec = static_cast<long>(timeoutMs / 1000);
        timeout.tv_usec = static_cast<long>(timeoutMs % 1000 * 1000);
        int ready = select(0, &readable, nullptr, nullptr, &timeout);
        if (ready != SOCKET_ERROR)
            return ready > 0;
    }
    // Nothing to wait on: let the time pass all the same, so that the worker
    // does not spin.
    Sleep(timeoutMs);
    return false;
}

size_t WinSockDatagramSocket::WaitingBytes()
{
    u_long waiting = 0;
    if (sock == INVALID_SOCKET || ioctlsocket(sock, FIONREAD, &waiting) != 0)
        return 0;
    return waiting;
}

int WinSockDatagramSocket::Receive(char* data, size_t capacity)
{
    if (sock == INVALID_SOCKET)
        return -1;
    int length = capacity > INT_MAX ? INT_MAX : static_cast<int>(capacity);
    int read = recv(sock, data, length, 0);
    return read == SOCKET_ERROR ? -1 : read;
}

void WinSockDatagramSocket::Close()
{
    if (sock != INVALID_SOCKET) {
        closesocket(sock);
        sock = INVALID_SOCKET;
    }
}
