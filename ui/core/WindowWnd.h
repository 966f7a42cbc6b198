#pragma once

#include <windows.h>

namespace ui {

// Ties one native top-level or pop-up window to one object: registers the
// window class (a class of its own, or a superclass of a system class),
// creates the window with the object as creation parameter and routes
// every message of that window to HandleWindowMessage until the last one,
// after which AfterLastMessage tells the object that it is unbound.
//
// The windows are wide (UTF-16) windows, so that their titles hold every
// character whatever the system's code page: class and procedures are the
// wide ones throughout, and WM_CHAR carries UTF-16. Names and titles are
// given in UTF-8.
class CWindowWnd
{
public:
    CWindowWnd();

    // The name of the class to register; every window class supplies it.
    virtual const char* ClassName() const = 0;
    // A system class to superclass, or null (default) for a class of our own.
    virtual const char* SuperclassName() const;
    // Class style bits; 0 by default.
    virtual UINT ClassStyle() const;
    // Every message but the last; the default hands it to the previous
    // window procedure.
    virtual LRESULT HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Called once after the window's last message; the object may delete
    // itself here.
    virtual void AfterLastMessage(HWND window);

    virtual ~CWindowWnd();

    // Registers the class and creates the window; null on failure, in which
    // case the object stays unbound.
    HWND Create(HWND parent, const char* title, DWORD style, DWORD exStyle,
                int x = CW_USEDEFAULT, int y = CW_USEDEFAULT,
                int cx = CW_USEDEFAULT, int cy = CW_USEDEFAULT);

    HWND GetWindowHandle() const { return m_window; }
    operator HWND() const { return m_window; }

    // Posts the close message, so that the window closes after the message
    // being handled now. Nothing when the window no longer exists.
    void Close();

    // Centres the window on its owner, or on the primary work area when it
    // has none, keeping it inside the work area.
    void CenterOnOwner();

protected:
    // Hands a message to the previous window procedure: DefWindowProcW, or
    // the superclassed system class's own procedure.
    LRESULT CallPreviousProc(UINT message, WPARAM wParam, LPARAM lParam);
    WNDPROC GetPreviousProc() const { return m_previousProc; }

private:
    bool RegisterOwnClass();
    bool RegisterSuperclass();

    static LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SuperclassWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT Route(CWindowWnd* self, HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                         bool superclassed);

    CWindowWnd(const CWindowWnd&) = delete;
    CWindowWnd& operator=(const CWindowWnd&) = delete;

    HWND m_window;
    WNDPROC m_previousProc;
};

} // namespace ui
