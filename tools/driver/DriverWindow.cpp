#include "tools/driver/DriverWindow.h"

#include "tokenclient/TokenClient.h"
#include "tokenclient/TokenClientImpl.h"

namespace {

const char kClassName[] = "WavorinTokenDriver";

} // namespace

DriverWindow::DriverWindow(const DriverOptions& options, TokenClient& client, std::FILE* out)
    : options_(options), client_(client), out_(out), flow_(options.command)
{
}

int DriverWindow::Run()
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);
    window_ = CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, this);
    if (!window_) {
        Print("cannot create the message window (error " + std::to_string(GetLastError()) + ")");
        return 1;
    }
    SetTimer(window_, HousekeepingTimer, 200, nullptr);
    lastOutcomeTick_ = GetTickCount();

    client_.Start(window_);
    Apply(flow_.Begin());

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    if (options_.logout) {
        client_.Stop();
        // The worker ends after its current pass (at most 100 ms) and then
        // sends the closing logout.
        Sleep(500);
    }
    DestroyWindow(window_);
    return exitCode_;
}

LRESULT CALLBACK DriverWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<DriverWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self) {
        switch (message) {
        case MSG_CLIENT_EVENT:
            self->OnClientEvent(reinterpret_cast<TokenEvent*>(lParam));
            return 0;
        case MSG_CLIENT_CONNECT_FAILED:
            self->OnConnectFailed(int(wParam));
            return 0;
        case WM_TIMER:
            self->OnTimer(wParam);
            return 0;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void DriverWindow::OnClientEvent(TokenEvent* event)
{
    // The event belongs to this window from the moment it was posted.
    TokenEvent copy = *event;
    delete event;
    lastOutcomeTick_ = GetTickCount();
    // A client that could not start keeps trying and still ends requests,
    // but the run ended with its failure, and the server address is not
    // settled while it tries.
    if (flow_.Finished())
        return;
    PrintServerOnce();
    DriverStep step = flow_.OnEvent(copy);
    // The countdown starts when the code arrives, as on the main window.
    if (copy.kind == GetToken && copy.result == 0 && options_.command == DriverFlow::Command::Watch)
        SetTimer(window_, CountdownTimer, 1000, nullptr);
    Apply(step);
}

void DriverWindow::OnConnectFailed(int code)
{
    lastOutcomeTick_ = GetTickCount();
    Apply(flow_.OnConnectFailed(code));
}

void DriverWindow::OnTimer(UINT_PTR id)
{
    DWORD now = GetTickCount();
    if (id == CountdownTimer) {
        Apply(flow_.OnSecond());
        return;
    }
    if (finished_) {
        if (now - finishedTick_ >= DWORD(options_.lingerSeconds) * 1000)
            PostQuitMessage(exitCode_);
        return;
    }
    if (now - lastOutcomeTick_ >= DWORD(options_.timeoutSeconds) * 1000) {
        DriverStep step;
        step.lines.push_back("no outcome from the client within " + std::to_string(options_.timeoutSeconds) + " s");
        step.finished = true;
        step.exitCode = 1;
        Apply(step);
    }
}

void DriverWindow::Apply(const DriverStep& step)
{
    for (const std::string& line : step.lines)
        Print(line);
    for (RequestKind kind : step.posts)
        client_.PostRequest(kind);
    if (step.finished && !finished_) {
        finished_ = true;
        finishedTick_ = GetTickCount();
        exitCode_ = step.exitCode;
        KillTimer(window_, CountdownTimer);
        if (options_.lingerSeconds > 0)
            Print("lingering " + std::to_string(options_.lingerSeconds) + " s");
        else
            PostQuitMessage(exitCode_);
    }
}

void DriverWindow::PrintServerOnce()
{
    if (serverPrinted_)
        return;
    serverPrinted_ = true;
    // Written by the worker before its first message was posted.
    Print(std::string("server ") + client_.impl->ServerAddress() + ":" + std::to_string(client_.impl->ServerPort()));
}

void DriverWindow::Print(const std::string& line)
{
    if (options_.timestamps) {
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        ULONGLONG ticks = (ULONGLONG(now.dwHighDateTime) << 32) | now.dwLowDateTime;
        // 100 ns units since 1601 to ms since 1970.
        unsigned long long ms = (ticks - 116444736000000000ULL) / 10000;
        std::fprintf(out_, "%llu ", ms);
    }
    std::fprintf(out_, "%s\n", line.c_str());
    std::fflush(out_);
}
