#include "ui/core/WindowWnd.h"

#include "ui/base/Utf8.h"
#include "ui/core/WindowHostUI.h"

namespace ui {

namespace {

// The window property that carries the object of a superclassed window.
const char kObjectProperty[] = "WndX";

} // namespace

CWindowWnd::CWindowWnd()
    : m_window(nullptr)
    , m_previousProc(::DefWindowProcW)
{
}

CWindowWnd::~CWindowWnd()
{
    // An object that goes before its window leaves it to the default
    // procedure instead of to a dangling pointer.
    if (m_window == nullptr || !::IsWindow(m_window))
        return;
    if (::GetPropA(m_window, kObjectProperty) == static_cast<HANDLE>(this))
        ::RemovePropA(m_window, kObjectProperty);
    else if (::GetWindowLongW(m_window, GWL_USERDATA) == reinterpret_cast<LONG>(this))
        ::SetWindowLongW(m_window, GWL_USERDATA, 0);
}

const char* CWindowWnd::SuperclassName() const
{
    return nullptr;
}

UINT CWindowWnd::ClassStyle() const
{
    return 0;
}

LRESULT CWindowWnd::HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallPreviousProc(message, wParam, lParam);
}

void CWindowWnd::AfterLastMessage(HWND)
{
}

LRESULT CWindowWnd::CallPreviousProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::CallWindowProcW(m_previousProc, m_window, message, wParam, lParam);
}

HWND CWindowWnd::Create(HWND parent, const char* title, DWORD style, DWORD exStyle,
                        int x, int y, int cx, int cy)
{
    bool registered = SuperclassName() != nullptr ? RegisterSuperclass() : RegisterOwnClass();
    if (!registered)
        return nullptr;
    CWideText className(ClassName());
    CWideText wideTitle(title);
    HWND window = ::CreateWindowExW(exStyle, className, title != nullptr ? wideTitle.GetData() : nullptr, style, x,
                                    y, cx, cy, parent, nullptr, CWindowHostUI::GetProgramInstance(), this);
    // The window field is set by the creation message already; a window that
    // was destroyed during creation has unbound the object again, and then
    // CreateWindowExW reports null.
    if (window != nullptr && m_window == nullptr && ::IsWindow(window))
        m_window = window;
    return window;
}

bool CWindowWnd::RegisterOwnClass()
{
    CWideText className(ClassName());
    WNDCLASSW wc;
    ZeroMemory(&wc, sizeof(wc));
    wc.style = ClassStyle();
    wc.lpfnWndProc = CWindowWnd::PlainWindowProc;
    wc.hInstance = CWindowHostUI::GetProgramInstance();
    wc.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    wc.lpszClassName = className;
    if (::RegisterClassW(&wc) != 0)
        return true;
    return ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool CWindowWnd::RegisterSuperclass()
{
    CWideText superclassName(SuperclassName());
    CWideText className(ClassName());
    WNDCLASSEXW wc;
    ZeroMemory(&wc, sizeof(wc));
    wc.cbSize = sizeof(wc);
    HINSTANCE instance = CWindowHostUI::GetProgramInstance();
    // The wide procedure of the system class, as the window is a wide one.
    if (!::GetClassInfoExW(nullptr, superclassName, &wc) && !::GetClassInfoExW(instance, superclassName, &wc))
        return false;
    m_previousProc = wc.lpfnWndProc;
    wc.lpfnWndProc = CWindowWnd::SuperclassWindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = className;
    if (::RegisterClassExW(&wc) != 0)
        return true;
    return ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

LRESULT CALLBACK CWindowWnd::PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWindowWnd* self;
    if (message == WM_NCCREATE) {
        CREATESTRUCTW* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        self = static_cast<CWindowWnd*>(create->lpCreateParams);
        ::SetWindowLongW(window, GWL_USERDATA, reinterpret_cast<LONG>(self));
        if (self != nullptr)
            self->m_window = window;
    } else {
        self = reinterpret_cast<CWindowWnd*>(::GetWindowLongW(window, GWL_USERDATA));
    }
    return Route(self, window, message, wParam, lParam, false);
}

LRESULT CALLBACK CWindowWnd::SuperclassWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWindowWnd* self;
    if (message == WM_NCCREATE) {
        CREATESTRUCTW* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        self = static_cast<CWindowWnd*>(create->lpCreateParams);
        ::SetPropA(window, kObjectProperty, static_cast<HANDLE>(self));
        if (self != nullptr)
            self->m_window = window;
    } else {
        self = static_cast<CWindowWnd*>(::GetPropA(window, kObjectProperty));
    }
    return Route(self, window, message, wParam, lParam, true);
}

LRESULT CWindowWnd::Route(CWindowWnd* self, HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                          bool superclassed)
{
    if (self == nullptr)
        return ::DefWindowProcW(window, message, wParam, lParam);
    if (message != WM_NCDESTROY)
        return self->HandleWindowMessage(message, wParam, lParam);

    LRESULT result = ::CallWindowProcW(self->m_previousProc, window, message, wParam, lParam);
    if (superclassed)
        ::RemovePropA(window, kObjectProperty);
    else
        ::SetWindowLongW(window, GWL_USERDATA, 0);
    self->m_window = nullptr;
    // The object may delete itself here; nothing of it is touched afterwards.
    self->AfterLastMessage(window);
    return result;
}

void CWindowWnd::Close()
{
    if (m_window != nullptr && ::IsWindow(m_window))
        ::PostMessageA(m_window, WM_CLOSE, 1, 0);
}

void CWindowWnd::CenterOnOwner()
{
    if (m_window == nullptr)
        return;
    RECT window;
    ::GetWindowRect(m_window, &window);
    int width = window.right - window.left;
    int height = window.bottom - window.top;

    RECT work;
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    RECT area = work;
    HWND owner = ::GetWindow(m_window, GW_OWNER);
    if (owner != nullptr)
        ::GetWindowRect(owner, &area);

    int x = (area.left + area.right) / 2 - width / 2;
    int y = (area.top + area.bottom) / 2 - height / 2;
    if (x < work.left)
        x = work.left;
    else if (x + width > work.right)
        x = work.right - width;
    if (y < work.top)
        y = work.top;
    else if (y + height > work.bottom)
        y = work.bottom - height;
    ::SetWindowPos(m_window, nullptr, x, y, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace ui
