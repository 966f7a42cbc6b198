// The program's entry point: one main window per desktop, the message loop,
// and a clean notification area when the loop ends.

#include <windows.h>
#include <objbase.h>

#include <new>

#include "app/FirstPaintReport.h"
#include "app/MainFrame.h"
#include "ui/base/Utf8.h"
#include "ui/core/WindowHostUI.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    MarkStartupStep("main");
    // A running instance (any top-level window with the title) is brought
    // forward instead.
    HWND running = ::FindWindowW(nullptr, ui::CWideText(MainFrame::kTitle));
    if (running != nullptr) {
        ::ShowWindow(running, SW_SHOWNORMAL);
        ::SetForegroundWindow(running);
        return 0;
    }

    ui::CWindowHostUI::SetProgramInstance(instance);
    if (FAILED(::CoInitialize(nullptr)))
        return 0;

    MarkStartupStep("com");
    MainFrame* frame = new (std::nothrow) MainFrame();
    if (frame == nullptr)
        return 0;
    const DWORD style = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU;
    if (frame->Create(nullptr, MainFrame::kTitle, style, WS_EX_APPWINDOW | WS_EX_STATICEDGE, 0, 0, 600, 800)
        == nullptr) {
        delete frame;
        return 1;
    }
    MarkStartupStep("created");
    frame->CenterOnOwner();
    ::ShowWindow(frame->GetWindowHandle(), SW_SHOW);
    MarkStartupStep("shown");
    ui::CWindowHostUI::RunMessageLoop();

    // The window is not destroyed on the way out; its icon would stay in
    // the notification area until the pointer passed over it.
    frame->RemoveTrayIcon();
    return 0;
}
