// roundtrip [count [every ms]]: the floor of a request's way to the
// benchmarks' server and back, under the same wine. A bare Winsock program
// sends `count` (default 5, at most 100) "status" requests to the reference
// server on 127.0.0.1:9110, one at a time, waiting at most a second for each
// answer, and prints the microseconds of each answered exchange, one a line:
//   roundtrip_us=<n>
// With `every` (at most a minute) it first waits that long on its socket
// before each exchange, as a client that sleeps until its next heartbeat:
// the floor of an idle client's wakeups. The server answers a peer without a
// session at once, as it answers a code request. It talks to loopback only.
// Exit status 1 when nothing came back.

#include <winsock2.h>
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv)
{
    int count = argc > 1 ? atoi(argv[1]) : 5;
    if (count <= 0 || count > 100)
        count = 5;
    int everyMs = argc > 2 ? atoi(argv[2]) : 0;
    if (everyMs < 0 || everyMs > 60000)
        everyMs = 0;
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return 1;
    SOCKET sock = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in server = {};
    server.sin_family = AF_INET;
    server.sin_port = htons(9110);
    server.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (sock == INVALID_SOCKET || connect(sock, reinterpret_cast<sockaddr*>(&server), sizeof server) != 0)
        return 1;
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    int answered = 0;
    for (int i = 0; i < count; ++i) {
        fd_set readable;
        if (everyMs > 0) {
            FD_ZERO(&readable);
            FD_SET(sock, &readable);
            timeval pause = {everyMs / 1000, (everyMs % 1000) * 1000};
            select(0, &readable, nullptr, nullptr, &pause);
        }
        char request[64];
        int length = snprintf(request, sizeof request, "status\r\nSeq:%d\r\n", i + 1);
        LARGE_INTEGER from, to;
        ::QueryPerformanceCounter(&from);
        if (send(sock, request, length, 0) != length)
            continue;
        FD_ZERO(&readable);
        FD_SET(sock, &readable);
        timeval timeout = {1, 0};
        char reply[512];
        if (select(0, &readable, nullptr, nullptr, &timeout) != 1 || recv(sock, reply, sizeof reply, 0) <= 0)
            continue;
        ::QueryPerformanceCounter(&to);
        printf("roundtrip_us=%ld\n", static_cast<long>((to.QuadPart - from.QuadPart) * 1000000 / frequency.QuadPart));
        fflush(stdout);
        ++answered;
    }
    closesocket(sock);
    WSACleanup();
    return answered > 0 ? 0 : 1;
}
