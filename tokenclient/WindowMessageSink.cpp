#include "tokenclient/WindowMessageSink.h"

#include <windows.h>

#include "tokenclient/TokenEvent.h"

bool WindowMessageSink::PostEvent(void* window, TokenEvent* event)
{
    return PostMessageA(static_cast<HWND>(window), MSG_CLIENT_EVENT, 0, reinterpret_cast<LPARAM>(event)) != FALSE;
}

void WindowMessageSink::PostConnectFailed(void* window, int code)
{
    PostMessageA(static_cast<HWND>(window), MSG_CLIENT_CONNECT_FAILED, static_cast<WPARAM>(code), 0);
}
