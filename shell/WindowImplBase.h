#pragma once

// WindowImplBase: a frameless window whose whole surface is drawn by the
// framework from a skin among the program's resources. It strips the system
// caption and frame, builds the skin into its host when the window is
// created, makes the skin's caption band drag the window and its sizing
// borders resize it, clips the window to the skin's round corners and keeps
// a maximised window inside its monitor's work area.
//
// Every message goes first to the handler of its own below, if it has one,
// then to HandleOtherMessage, then to the host, then to the previous window
// procedure. A handler receives `handled` set to true; one that leaves it
// so has handled the message and its result is returned.

#include <windows.h>

#include "ui/core/UIEvent.h"
#include "ui/core/WindowHostUI.h"
#include "ui/core/WindowWnd.h"
#include "ui/skin/DialogBuilderCallback.h"

class WindowImplBase : public ui::CWindowWnd,
                       public ui::INotifyUI,
                       public ui::IMessageFilterUI,
                       public ui::IDialogBuilderCallback
{
public:
    WindowImplBase() = default;
    ~WindowImplBase() override = default;
    WindowImplBase(const WindowImplBase&) = delete;
    WindowImplBase& operator=(const WindowImplBase&) = delete;

    UINT ClassStyle() const override;
    LRESULT HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Unhooks this object from its host and forgets the root; a subclass
    // that deletes itself calls this first.
    void AfterLastMessage(HWND window) override;

    // The key filter: Return and Escape go to RespondToDefaultKey. It never
    // consumes the message, which is translated and dispatched as usual.
    LRESULT FilterMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    // The skin may use only the framework's own element names.
    ui::CControlUI* CreateControl(const char* name) override;

    ui::CWindowHostUI& GetHost() { return m_host; }

    // The hit test of a client point: a sizing border (unless maximised),
    // the caption band (except over buttons and option buttons), or the
    // client area. `client` is the client rectangle.
    LRESULT HitTest(POINT point, const RECT& client, bool maximised) const;

    // Where a maximised window goes: the work area, relative to the
    // monitor's top-left corner as the platform expects it.
    static void MaximizedPlacement(const RECT& monitor, const RECT& work, POINT& position, POINT& size);

protected:
    // Called at the end of HandleCreate, with the skin built and attached.
    virtual void OnSkinLoaded() {}
    // Called once, when the host has painted the window for the first time.
    virtual void OnFirstPaint() {}

    virtual LRESULT HandleClose(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT HandleDestroy(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT HandleNcActivate(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT HandleNcCalcSize(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT HandleNcPaint(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT HandleNcHitTest(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT HandleGetMinMaxInfo(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT HandleMouseWheel(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT HandleSize(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT HandleSysCommand(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT HandleCreate(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT HandleKeyDown(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT HandleKillFocus(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT HandleSetFocus(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT HandleLButtonDown(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT HandleLButtonUp(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT HandleMouseMove(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT HandleOtherMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

    // The style HandleCreate gives the window: its current style without
    // the caption bits.
    virtual LONG WindowStyle() const;
    // The folder the skin's files are read from, and the skin: a decimal
    // resource id of type "xml".
    virtual const char* SkinFolder() const = 0;
    virtual const char* SkinFile() const = 0;
    // Escape closes the window; true when the key was acted on.
    virtual bool RespondToDefaultKey(WPARAM key);

private:
    ui::CWindowHostUI m_host;
    bool m_painted = false;
};
