// endwindow [--close] <class>: ends the program that owns the top-level
// window of the class as its own menu does, by posting the quit message to
// the window's thread, so that it leaves no notification-area icon behind.
// The benchmarks end their programs with it between rounds. With --close it
// posts the close message to the window instead, as its close button would.
// Exit status 1 when no such window exists.

#include <windows.h>

#include <string.h>

int main(int argc, char** argv)
{
    bool close = argc == 3 && strcmp(argv[1], "--close") == 0;
    if (argc != 2 && !close)
        return 2;
    HWND window = ::FindWindowA(argv[argc - 1], nullptr);
    if (window == nullptr)
        return 1;
    if (close)
        return ::PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : 1;
    DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
    return thread != 0 && ::PostThreadMessageA(thread, WM_QUIT, 0, 0) ? 0 : 1;
}
