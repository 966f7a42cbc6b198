#pragma once
// The operator driver's Windows side: a message-only window that receives the
// token client's messages, a one-second timer for the countdown, and the
// message loop that runs until the flow has finished.
#include <windows.h>

#include <cstdio>
#include <string>

#include "tools/driver/DriverFlow.h"
#include "tools/driver/DriverOptions.h"

class TokenClient;

class DriverWindow
{
public:
    DriverWindow(const DriverOptions& options, TokenClient& client, std::FILE* out);

    // Starts the client and runs the loop; returns the exit status.
    int Run();

private:
    enum TimerId { CountdownTimer = 1, HousekeepingTimer = 2 };

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnClientEvent(TokenEvent* event);
    void OnConnectFailed(int code);
    void OnTimer(UINT_PTR id);
    void Apply(const DriverStep& step);
    void Print(const std::string& line);
    void PrintServerOnce();

    const DriverOptions& options_;
    TokenClient& client_;
    std::FILE* out_;
    DriverFlow flow_;
    HWND window_ = nullptr;
    DWORD lastOutcomeTick_ = 0;
    DWORD finishedTick_ = 0;
    bool finished_ = false;
    bool serverPrinted_ = false;
    int exitCode_ = 1;
};
