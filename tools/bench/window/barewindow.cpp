// barewindow [x y]: the reference of the start-up and idle benchmarks. A bare
// Win32 program that opens an 800 x 600 pop-up window in the middle of the
// screen (or with its top-left corner at x, y), fills it with one colour and,
// like the program, reports its first paint when WAVORIN_FIRST_PAINT names a
// file. Closing the window hides it, as the program's does; the program runs
// until its thread is told to quit (endwindow).

#include <windows.h>

#include <stdio.h>

#include "app/FirstPaintReport.h"

namespace {

const int kWidth = 800;
const int kHeight = 600;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(window, &ps);
        HBRUSH fill = ::CreateSolidBrush(RGB(0x2B, 0x7C, 0xD3));
        ::FillRect(dc, &ps.rcPaint, fill);
        ::DeleteObject(fill);
        ::EndPaint(window, &ps);
        ReportFirstPaint();
        return 0;
    }
    case WM_CLOSE:
        ::ShowWindow(window, SW_HIDE);
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int)
{
    MarkStartupStep("main");
    WNDCLASSA type = {};
    type.lpfnWndProc = WindowProc;
    type.hInstance = instance;
    type.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    type.lpszClassName = "WavorinBareWindow";
    if (::RegisterClassA(&type) == 0)
        return 1;
    int x = (::GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
    int y = (::GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
    if (arguments != nullptr)
        sscanf(arguments, "%d %d", &x, &y);
    HWND window = ::CreateWindowExA(WS_EX_APPWINDOW, type.lpszClassName, "bare window", WS_POPUP, x, y,
                                    kWidth, kHeight, nullptr, nullptr, instance, nullptr);
    if (window == nullptr)
        return 1;
    MarkStartupStep("created");
    ::ShowWindow(window, SW_SHOW);
    MarkStartupStep("shown");
    ::UpdateWindow(window);
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return 0;
}
