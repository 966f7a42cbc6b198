// The Windows wiring over real loopback sockets: a scripted server on
// 127.0.0.1 and a message-only window that receives the client's messages.

#include <gtest/gtest.h>

#include <winsock.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <thread>

#include "tokenclient/TokenClient.h"
#include "tokenclient/WinAddressSource.h"
#include "tokenclient/WinLocalHost.h"
#include "tokenclient/WinSockDatagramSocket.h"

namespace {

const DWORD Deadline = 10000;

// A UDP socket bound to an ephemeral loopback port, playing the server.
class LoopbackServer {
public:
    LoopbackServer()
    {
        WinLocalHost().StartSockets();
        sock = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in local = {};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = inet_addr("127.0.0.1");
        bind(sock, reinterpret_cast<sockaddr*>(&local), sizeof local);
        int length = sizeof local;
        getsockname(sock, reinterpret_cast<sockaddr*>(&local), &length);
        port = ntohs(local.sin_port);
    }
    ~LoopbackServer() { closesocket(sock); }

    // The next datagram, or "<none>" when none comes in time.
    std::string Receive(DWORD timeoutMs = Deadline)
    {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(sock, &readable);
        timeval timeout = {static_cast<long>(timeoutMs / 1000), static_cast<long>(timeoutMs % 1000 * 1000)};
        if (select(0, &readable, nullptr, nullptr, &timeout) != 1)
            return "<none>";
        char data[2048];
        int length = sizeof peer;
        int read = recvfrom(sock, data, sizeof data, 0, reinterpret_cast<sockaddr*>(&peer), &length);
        return read < 0 ? "<error>" : std::string(data, read);
    }

    // The next datagram that is not a repetition of the one before.
    std::string ReceiveNew()
    {
        std::string next = Receive();
        while (next == last)
            next = Receive();
        last = next;
        return next;
    }

    void Reply(const std::string& bytes)
    {
        sendto(sock, bytes.data(), static_cast<int>(bytes.size()), 0, reinterpret_cast<sockaddr*>(&peer), sizeof peer);
    }

    SOCKET sock;
    sockaddr_in peer = {};
    uint16_t port = 0;
    std::string last;
};

// A message-only window; Wait pumps until one of the client's messages comes.
class MessageWindow {
public:
    MessageWindow()
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "WavorinTokenClientTest";
        RegisterClassA(&windowClass);
        hwnd = CreateWindowExA(0, windowClass.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               windowClass.hInstance, nullptr);
    }
    ~MessageWindow() { DestroyWindow(hwnd); }

    bool Wait(UINT message, MSG& received, DWORD timeoutMs = Deadline)
    {
        DWORD start = GetTickCount();
        while (GetTickCount() - start < timeoutMs) {
            while (PeekMessageA(&received, hwnd, 0, 0, PM_REMOVE)) {
                if (received.message == message)
                    return true;
                DispatchMessageA(&received);
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        }
        return false;
    }

    HWND hwnd;
};

TEST(WinSockDatagramSocketTest, ExchangesDatagramsOverLoopback)
{
    LoopbackServer server;
    WinSockDatagramSocket client;
    EXPECT_FALSE(client.WaitReadable(10));  // no socket yet: no wait to speak of, no spin either
    ASSERT_TRUE(client.Open("127.0.0.1", server.port));
    client.Send("hello", 5);
    ASSERT_EQ("hello", server.Receive());
    EXPECT_FALSE(client.WaitReadable(20));
    server.Reply(std::string("0\r\nseq:0\r\n\0tail", 15));
    ASSERT_TRUE(client.WaitReadable(Deadline));
    EXPECT_EQ(15u, client.WaitingBytes());
    char data[64];
    ASSERT_EQ(15, client.Receive(data, sizeof data));
    EXPECT_EQ(std::string("0\r\nseq:0\r\n\0tail", 15), std::string(data, 15));
    client.Close();
    EXPECT_FALSE(client.IsOpen());
    EXPECT_EQ(-1, client.Receive(data, sizeof data));
}

TEST(WinSockDatagramSocketTest, WakeEndsAWaitEarly)
{
    WinLocalHost().StartSockets();
    WinSockDatagramSocket socket;
    EXPECT_FALSE(socket.WaitReadable(0));  // makes the wake socket
    socket.Wake();  // before the wait: the wait ends at once
    DWORD start = GetTickCount();
    EXPECT_FALSE(socket.WaitReadable(15000));
    ASSERT_TRUE(socket.Open("127.0.0.1", 9));
    std::thread waker([&socket] {
        Sleep(50);
        socket.Wake();
    });
    EXPECT_FALSE(socket.WaitReadable(15000));  // from another thread, during the wait
    waker.join();
    EXPECT_LT(GetTickCount() - start, 10000u);
}

TEST(WinTokenClientTest, LogsInFetchesACodeAndLogsOutWhenStopped)
{
    LoopbackServer server;
    MessageWindow window;
    ASSERT_NE(nullptr, window.hwnd);
    char host[260] = {};
    ASSERT_EQ(0, gethostname(host, sizeof host));

    TokenClient client("127.0.0.1", server.port);
    client.Start(window.hwnd);
    ASSERT_EQ("login\r\nName:" + std::string(host) + "\r\nSeq:0\r\n", server.ReceiveNew());
    server.Reply("0\r\nseq:0\r\n");
    client.PostRequest(GetToken);
    ASSERT_EQ("gimmeatoken\r\nSeq:1\r\n", server.ReceiveNew());
    server.Reply("0\r\ntoken:482913\r\ntoken-ttl:120\r\nseq:1\r\n");

    MSG message;
    ASSERT_TRUE(window.Wait(MSG_CLIENT_EVENT, message));
    EXPECT_EQ(0u, message.wParam);
    TokenEvent* event = reinterpret_cast<TokenEvent*>(message.lParam);
    ASSERT_NE(nullptr, event);
    EXPECT_EQ(GetToken, event->kind);
    EXPECT_EQ(StatusOk, event->result);
    EXPECT_STREQ("482913", event->token);
    EXPECT_EQ(120, event->value);
    delete event;

    client.Stop();
    EXPECT_EQ("logout\r\n", server.ReceiveNew());
}

TEST(WinTokenClientTest, UnusableForcedAddressIsReportedOnce)
{
    MessageWindow window;
    TokenClient client("", TokenServerPort);
    client.Start(window.hwnd);
    client.Start(window.hwnd);
    MSG message;
    ASSERT_TRUE(window.Wait(MSG_CLIENT_CONNECT_FAILED, message));
    EXPECT_EQ(StartNoGateway, static_cast<int>(message.wParam));
    EXPECT_EQ(0, message.lParam);
    EXPECT_FALSE(window.Wait(MSG_CLIENT_CONNECT_FAILED, message, 300));

    // The worker that could not start used to end, and this request waited for ever.
    client.PostRequest(GetToken);
    ASSERT_TRUE(window.Wait(MSG_CLIENT_EVENT, message, 3000));
    TokenEvent* event = reinterpret_cast<TokenEvent*>(message.lParam);
    ASSERT_NE(nullptr, event);
    EXPECT_EQ(GetToken, event->kind);
    EXPECT_EQ(ResultTimeout, event->result);
    delete event;
}

TEST(WinAddressSourceTest, ReadsTheFileBesideTheProgram)
{
    char program[MAX_PATH] = {};
    ASSERT_NE(0u, GetModuleFileNameA(nullptr, program, sizeof program));
    std::string path = program;
    path = path.substr(0, path.rfind('\\') + 1) + "authipconf.ini";

    WinAddressSource source;
    DeleteFileA(path.c_str());
    EXPECT_EQ("ini_invalid", source.ReadAddressFile());

    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, file);
    std::fputs("authip = 10.0.0.1\r\nauthip = 127.0.0.1", file);
    std::fclose(file);
    EXPECT_EQ("127.0.0.1", source.ReadAddressFile());
    DeleteFileA(path.c_str());
}

} // namespace
