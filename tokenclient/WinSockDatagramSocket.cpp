#include "tokenclient/WinSockDatagramSocket.h"

#include <climits>

namespace {

// The longest wait of a socket that cannot be woken yet.
const uint32_t kUnwakeableWaitMs = 100;

} // namespace

WinSockDatagramSocket::~WinSockDatagramSocket()
{
    Close();
    if (wakeSock != INVALID_SOCKET)
        closesocket(wakeSock);
}

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

bool WinSockDatagramSocket::MakeWakeSocket()
{
    SOCKET wake = socket(AF_INET, SOCK_DGRAM, 0);
    if (wake == INVALID_SOCKET)
        return false;  // the socket layer has not started yet
    u_long nonBlocking = 1;
    ioctlsocket(wake, FIONBIO, &nonBlocking);
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = inet_addr("127.0.0.1");
    int length = sizeof local;
    // Connected to itself, so that Wake is a plain send and nothing from
    // elsewhere is received.
    if (bind(wake, reinterpret_cast<sockaddr*>(&local), sizeof local) == SOCKET_ERROR ||
        getsockname(wake, reinterpret_cast<sockaddr*>(&local), &length) == SOCKET_ERROR ||
        connect(wake, reinterpret_cast<sockaddr*>(&local), sizeof local) == SOCKET_ERROR) {
        closesocket(wake);
        return false;
    }
    wakeSock = wake;
    return true;
}

void WinSockDatagramSocket::Wake()
{
    SOCKET wake = wakeSock;
    if (wake != INVALID_SOCKET)
        send(wake, "w", 1, 0);
}

void WinSockDatagramSocket::DrainWakeSocket()
{
    char byte;
    while (recv(wakeSock, &byte, sizeof byte, 0) > 0) {
    }
}

bool WinSockDatagramSocket::WaitReadable(uint32_t timeoutMs)
{
    // A wake before the wake socket existed was lost: the caller looks at
    // its requests once more before it waits.
    if (wakeSock == INVALID_SOCKET && MakeWakeSocket())
        return false;
    if (wakeSock == INVALID_SOCKET && timeoutMs > kUnwakeableWaitMs)
        timeoutMs = kUnwakeableWaitMs;
    fd_set readable;
    FD_ZERO(&readable);
    if (sock != INVALID_SOCKET)
        FD_SET(sock, &readable);
    if (wakeSock != INVALID_SOCKET)
        FD_SET(wakeSock, &readable);
    if (readable.fd_count > 0) {
        timeval timeout;
        timeout.tv_sec = static_cast<long>(timeoutMs / 1000);
        timeout.tv_usec = static_cast<long>(timeoutMs % 1000 * 1000);
        if (select(0, &readable, nullptr, nullptr, &timeout) != SOCKET_ERROR) {
            if (wakeSock != INVALID_SOCKET && FD_ISSET(wakeSock, &readable))
                DrainWakeSocket();
            return sock != INVALID_SOCKET && FD_ISSET(sock, &readable);
        }
    }
    // Nothing to wait on: let the time pass all the same, so that the worker
    // does not spin, but not so long that a wake would be missed for long.
    Sleep(timeoutMs < kUnwakeableWaitMs ? timeoutMs : kUnwakeableWaitMs);
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
