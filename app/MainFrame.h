#pragma once

// MainFrame: the program's main window. It fetches a verification code when
// the customer clicks "获取验证码", shows it as six large characters with a
// countdown, asks the server once a second (one question at a time) whether
// the code is still valid, and shows a one-line message under the digits.
// It lives in the notification area: closing hides it there, a left click
// on the icon brings it back, a right click opens the menu that ends the
// program. The icon and the client start once the window has been painted,
// so that nothing but the skin stands between the start and the first sight,
// or a second after creation when no paint has come by then.

#include <windows.h>
#include <shellapi.h>

#include <memory>

#include "app/CodeDisplay.h"
#include "shell/WindowImplBase.h"
#include "tokenclient/TokenClient.h"

// The window's private notification-area callback message.
const UINT MSG_TRAY_CALLBACK = WM_USER + 1;
// Posted by the first paint: what the window needs only once it is seen.
const UINT MSG_AFTER_FIRST_PAINT = WM_USER + 2;
// The window timer that starts the icon and the client of a window that is
// never painted (covered at logon, say). The host's control timers number
// below 256.
const UINT_PTR START_FALLBACK_TIMER = 0x5741;
const UINT START_FALLBACK_MS = 1000;

class MainFrame : public WindowImplBase, private IDisplayView, private ICountdownTimer, private IRequestSink
{
public:
    // The title, which is also what a second start looks for.
    static const char kTitle[];
    // Opened by the footer button.
    static const char kVendorAddress[];

    // With a null client the window makes the program's own, which finds the
    // server from authipconf.ini or the default gateway.
    explicit MainFrame(std::unique_ptr<TokenClient> client = nullptr);
    // Posts the quit message: a main window that goes away ends the program.
    ~MainFrame() override;

    const char* ClassName() const override;
    void AfterLastMessage(HWND window) override;
    void Notify(ui::UINotify& msg) override;

    // Removes the notification-area icon; the entry point calls it before
    // it returns, so that no dead icon stays behind.
    void RemoveTrayIcon();
    bool IsHiddenToTray() const { return m_hiddenToTray; }
    bool HasTrayIcon() const { return m_trayIconShown; }

    // The display's operations, which CodeDisplay does.
    void ShowTip(int seconds, int code) { m_display.ShowTip(seconds, code); }
    void ShowCodeDigits(const char* text) { m_display.ShowCodeDigits(text); }
    void ResetCode(int code) { m_display.ResetCode(code); }
    void OnCodeReply(const TokenEvent& event) { m_display.OnCodeReply(event); }
    void OnCheckReply(const TokenEvent& event) { m_display.OnCheckReply(event); }
    // Counts down when the sender is the tip, whose timer is the countdown's.
    void OnCountdownTick(ui::UINotify& msg);
    void ToggleShown();
    void AddTrayIcon();
    void ShowTrayMenu();
    // The icon and the client's start, after the first paint or the
    // fallback timer, whichever comes first; once.
    void StartAfterFirstPaint();

protected:
    void OnSkinLoaded() override;
    void OnFirstPaint() override;
    LRESULT HandleClose(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    LRESULT HandleDestroy(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    LRESULT HandleSysCommand(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    LRESULT HandleOtherMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    const char* SkinFolder() const override;
    const char* SkinFile() const override;
    bool RespondToDefaultKey(WPARAM key) override;

    // Opens the footer's web address; the tests replace it.
    virtual void OpenVendorPage();

private:
    // The close button and the close message: hide to the notification area.
    void CloseToTray();
    void FillTrayRecord(NOTIFYICONDATAW& data) const;
    void SwapShownButtons(const char* shown, const char* hidden);

    // The display's view over the host's controls, its countdown as the
    // tip's control timer, and its requests to the client.
    void SetRoleText(DisplayRole role, const char* text) override;
    void EnableCodeButton(bool enabled) override;
    void StartCountdown() override;
    void StopCountdown() override;
    void PostRequest(RequestKind kind) override;

    HICON m_trayIcon = nullptr;
    bool m_hiddenToTray = false;
    std::unique_ptr<TokenClient> m_client;
    CodeDisplay m_display;
    bool m_trayIconShown = false;
    bool m_started = false;
    // Only while the benchmark's report is wanted: the moment the end of the
    // next paint is, after a click or a code reply.
    const char* m_nextPaintMoment = nullptr;
    // The shell's "TaskbarCreated" message: the notification area was made
    // anew and has forgotten the icon.
    UINT m_taskbarCreatedMessage = 0;
    // Kept for the text SkinFolder returns.
    mutable ui::CUIString m_skinFolder;
};
