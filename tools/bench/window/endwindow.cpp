// endwindow <class>: ends the program that owns the top-level window of the
// class as its own menu does, by posting the quit message to the window's
// thread, so that it leaves no notification-area icon behind. The
// benchmarks end their programs with it between rounds. Exit status 1 when
// no such window exists.

#include <windows.h>

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    HWND window = ::FindWindowA(argv[1], nullptr);
    if (window == nullptr)
        return 1;
    DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
    return thread != 0 && ::PostThreadMessageA(thread, WM_QUIT, 0, 0) ? 0 : 1;
}
