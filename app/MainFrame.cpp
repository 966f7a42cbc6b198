#include "app/MainFrame.h"

#include <shellapi.h>
#include <stdio.h>
#include <string.h>

#include "app/FirstPaintReport.h"
#include "app/MenuWnd.h"
#include "app/resource.h"
#include "app/version.h"
#include "ui/base/Utf8.h"
#include "ui/core/ControlUI.h"

using namespace ui;

const char MainFrame::kTitle[] = "Wavorin(网吧专用)";
const char MainFrame::kVendorAddress[] = WAVORIN_VENDOR_ADDRESS;

namespace {

const char kClassName[] = "RAVarOrudadezez";
const UINT kCountdownTimer = 1;
const UINT kCountdownPeriodMs = 1000;
// Where the tray menu opens when the cursor is near the right or bottom
// edge of the screen.
const int kMenuShiftX = 250;
const int kMenuShiftY = 25;

bool SameText(const char* a, const char* b) { return lstrcmpiA(a, b) == 0; }

// The full notification icon record of Vista and later, balloon icon
// included; Windows 7 is the oldest system the program supports.
static_assert(sizeof(NOTIFYICONDATAW) == 956, "notification icon record of Windows 7");

} // namespace

MainFrame::MainFrame(std::unique_ptr<TokenClient> client) : m_client(std::move(client))
{
    if (!m_client)
        m_client.reset(new TokenClient());
}

MainFrame::~MainFrame() { ::PostQuitMessage(0); }

const char* MainFrame::ClassName() const { return kClassName; }

void MainFrame::AfterLastMessage(HWND window)
{
    WindowImplBase::AfterLastMessage(window);
    delete this;
}

void MainFrame::OnSkinLoaded()
{
    MarkStartupStep("skin");
    m_taskbarCreatedMessage = ::RegisterWindowMessageA("TaskbarCreated");
    ::SetTimer(GetWindowHandle(), START_FALLBACK_TIMER, START_FALLBACK_MS, nullptr);
    if (CControlUI* vendor = GetHost().FindControlByName("btn_vendor"))
        vendor->SetTooltip("访问" WAVORIN_VENDOR_HOST);
}

void MainFrame::OnFirstPaint()
{
    ReportFirstPaint();
    ::PostMessageA(GetWindowHandle(), MSG_AFTER_FIRST_PAINT, 0, 0);
}

void MainFrame::StartAfterFirstPaint()
{
    if (m_started)
        return;
    m_started = true;
    ::KillTimer(GetWindowHandle(), START_FALLBACK_TIMER);
    AddTrayIcon();
    m_client->Start(GetWindowHandle());
}

const char* MainFrame::SkinFile() const { return "101"; }

const char* MainFrame::SkinFolder() const
{
    m_skinFolder = CWindowHostUI::GetModuleDirectory();
    return m_skinFolder;
}

bool MainFrame::RespondToDefaultKey(WPARAM key) { return key == VK_ESCAPE; }

// ---- messages -------------------------------------------------------------------

LRESULT MainFrame::HandleClose(UINT, WPARAM, LPARAM, bool&)
{
    CloseToTray();
    return 0;
}

void MainFrame::CloseToTray()
{
    // Without an icon in the notification area a hidden window could not be
    // brought back: it is minimised instead.
    if (!m_trayIconShown && !m_hiddenToTray)
        ::ShowWindow(GetWindowHandle(), SW_MINIMIZE);
    else
        ToggleShown();
}

LRESULT MainFrame::HandleDestroy(UINT, WPARAM, LPARAM, bool& handled)
{
    RemoveTrayIcon();
    handled = false;
    return 0;
}

LRESULT MainFrame::HandleSysCommand(UINT message, WPARAM wParam, LPARAM lParam, bool&)
{
    HWND window = GetWindowHandle();
    bool wasZoomed = ::IsZoomed(window) != FALSE;
    CallPreviousProc(message, wParam, lParam);
    bool zoomed = ::IsZoomed(window) != FALSE;
    if (zoomed != wasZoomed) {
        if (zoomed)
            SwapShownButtons("restorebtn", "maxbtn");
        else
            SwapShownButtons("maxbtn", "restorebtn");
    }
    return 0;
}

void MainFrame::SwapShownButtons(const char* shown, const char* hidden)
{
    if (CControlUI* control = GetHost().FindControlByName(hidden))
        control->SetVisible(false);
    if (CControlUI* control = GetHost().FindControlByName(shown))
        control->SetVisible(true);
}

LRESULT MainFrame::HandleOtherMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    handled = false;
    if (message == MSG_TRAY_CALLBACK) {
        if (lParam == WM_LBUTTONDOWN || lParam == WM_LBUTTONDBLCLK)
            ToggleShown();
        else if (lParam == WM_RBUTTONDOWN)
            ShowTrayMenu();
    } else if (message == MSG_CLIENT_EVENT) {
        TokenEvent* event = reinterpret_cast<TokenEvent*>(lParam);
        if (event != nullptr) {
            if (event->kind == GetToken)
                OnCodeReply(*event);
            else if (event->kind == CheckToken)
                OnCheckReply(*event);
            delete event;
        }
    } else if (message == MSG_AFTER_FIRST_PAINT) {
        StartAfterFirstPaint();
    } else if (message == WM_TIMER && wParam == START_FALLBACK_TIMER) {
        StartAfterFirstPaint();
        handled = true;
    } else if (message == m_taskbarCreatedMessage && message != 0) {
        // The shell started again: the icon goes back in.
        m_trayIconShown = false;
        AddTrayIcon();
    }
    return 0;
}

void MainFrame::Notify(UINotify& msg)
{
    const char* type = msg.type;
    if (SameText(type, "windowinit")) {
        MarkStartupStep("layout");
    } else if (SameText(type, "click")) {
        const char* name = msg.sender != nullptr ? msg.sender->GetName() : "";
        if (SameText(name, "closebtn")) {
            CloseToTray();
        } else if (SameText(name, "minbtn")) {
            ::SendMessageA(GetWindowHandle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
        } else if (SameText(name, "btn_newtoken")) {
            m_client->PostRequest(GetToken);
            if (CControlUI* button = GetHost().FindControlByName("btn_newtoken"))
                button->SetEnabled(false);
            SetControlText("lbl_tokentip", "正在获取验证码 ...... ");
        } else if (SameText(name, "btn_vendor")) {
            OpenVendorPage();
        }
    } else if (SameText(type, "timer")) {
        OnCountdownTick(msg);
    }
}

void MainFrame::OpenVendorPage()
{
    CWideText address(kVendorAddress);
    ::ShellExecuteW(GetWindowHandle(), L"open", address, L"", L"", SW_SHOW);
}

// ---- the display ------------------------------------------------------------------

void MainFrame::SetControlText(const char* name, const char* text)
{
    if (CControlUI* control = GetHost().FindControlByName(name))
        control->SetText(text);
}

void MainFrame::EnableCodeButton()
{
    if (CControlUI* button = GetHost().FindControlByName("btn_newtoken"))
        button->SetEnabled(true);
}

void MainFrame::ShowTip(int seconds, int code)
{
    char text[128];
    switch (code) {
    case 0:
        if (seconds > 0)
            snprintf(text, sizeof(text), "验证码将在{f 1}{c #FF0000}%d{/c}{/f}秒后过期", seconds);
        else
            snprintf(text, sizeof(text), "%s", "{f 0}请点击下方按钮来获取验证码{/f}");
        break;
    case 2:
        snprintf(text, sizeof(text), "%s", "{c #FF0000}您连接的设备数已达上限。{/c}");
        break;
    case 3:
        snprintf(text, sizeof(text), "%s", "{c #007F00}您的手机已通过认证， 可以正常上网了。{/c}");
        break;
    case -3:
        snprintf(text, sizeof(text), "%s", "{c #FF0000}通信异常，可能设备正在重启，请稍后重试。{/c}");
        break;
    default:
        snprintf(text, sizeof(text), "%s", "{c #FF0000}通信异常，请检查您的网络。{/c}");
        break;
    }
    if (code != 0)
        EnableCodeButton();
    SetControlText("lbl_tokentip", text);
}

void MainFrame::ShowCodeDigits(const char* text)
{
    const char* digits = text != nullptr ? text : "      ";
    bool ended = false;
    for (int i = 1; i <= 6; ++i) {
        char name[16];
        snprintf(name, sizeof(name), "lbl_token%d", i);
        // Past the code's end every label shows its space alone.
        char ch = ended ? '\0' : digits[i - 1];
        ended = ch == '\0';
        char label[3] = { ' ', ch, '\0' };
        SetControlText(name, label);
    }
}

void MainFrame::ResetCode(int code)
{
    if (CControlUI* tip = GetHost().FindControlByName("lbl_tokentip"))
        GetHost().KillControlTimers(tip);
    ShowCodeDigits(nullptr);
    ShowTip(-1, code);
    EnableCodeButton();
    m_secondsLeft = -1;
    memset(m_shownCode, 0, sizeof(m_shownCode));
    m_checkPending = false;
}

void MainFrame::PostCheck()
{
    if (m_checkPending)
        return;
    m_client->PostRequest(CheckToken);
    m_checkPending = true;
}

void MainFrame::OnCodeReply(const TokenEvent& event)
{
    if (event.result != 0) {
        ShowCodeDigits(nullptr);
        ShowTip(m_secondsLeft, event.result);
        return;
    }
    // The event's field is zero-padded and has no terminator at 32 bytes.
    memset(m_shownCode, 0, sizeof(m_shownCode));
    memcpy(m_shownCode, event.token, sizeof(event.token));
    m_secondsLeft = event.value;
    if (CControlUI* tip = GetHost().FindControlByName("lbl_tokentip"))
        GetHost().SetControlTimer(tip, kCountdownTimer, kCountdownPeriodMs);
    PostCheck();
    ShowCodeDigits(m_shownCode);
    ShowTip(m_secondsLeft, 0);
}

void MainFrame::OnCheckReply(const TokenEvent& event)
{
    // A reply that comes after the countdown has ended belongs to a code no
    // longer shown, whatever it says.
    if (m_secondsLeft <= 0)
        return;
    if (event.result != 0) {
        ResetCode(-3);
        return;
    }
    // Both codes are zero-padded to the event's field size.
    if (memcmp(event.token, m_shownCode, sizeof(event.token)) != 0)
        return;
    if ((event.value & 0xFF) == 0)
        ResetCode(0);
    m_checkPending = false;
}

void MainFrame::OnCountdownTick(UINotify& msg)
{
    if (msg.sender == nullptr || msg.sender != GetHost().FindControlByName("lbl_tokentip"))
        return;
    --m_secondsLeft;
    if (m_secondsLeft == 0) {
        ResetCode(0);
        return;
    }
    ShowTip(m_secondsLeft, 0);
    PostCheck();
}

// ---- the notification area ------------------------------------------------------------

void MainFrame::ToggleShown()
{
    HWND window = GetWindowHandle();
    if (m_hiddenToTray) {
        ::ShowWindow(window, SW_SHOWNORMAL);
        ::SetForegroundWindow(window);
        m_hiddenToTray = false;
    } else {
        ::ShowWindow(window, SW_HIDE);
        m_hiddenToTray = true;
    }
}

void MainFrame::FillTrayRecord(NOTIFYICONDATAW& data) const
{
    memset(&data, 0, sizeof(data));
    data.cbSize = sizeof(data);
    data.hWnd = GetWindowHandle();
    data.uID = 0;
}

void MainFrame::AddTrayIcon()
{
    if (m_trayIconShown)
        return;
    if (m_trayIcon == nullptr)
        m_trayIcon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_APP));
    NOTIFYICONDATAW data;
    FillTrayRecord(data);
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = MSG_TRAY_CALLBACK;
    data.hIcon = m_trayIcon;
    ::GetWindowTextW(GetWindowHandle(), data.szTip, ARRAYSIZE(data.szTip));
    m_trayIconShown = ::Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
}

void MainFrame::RemoveTrayIcon()
{
    if (!m_trayIconShown)
        return;
    NOTIFYICONDATAW data;
    FillTrayRecord(data);
    ::Shell_NotifyIconW(NIM_DELETE, &data);
    m_trayIconShown = false;
}

void MainFrame::ShowTrayMenu()
{
    CMenuWnd* menu = new CMenuWnd(GetWindowHandle());
    int width = ::GetSystemMetrics(SM_CXSCREEN);
    int height = ::GetSystemMetrics(SM_CYSCREEN);
    POINT point;
    ::GetCursorPos(&point);
    if (point.x + kMenuShiftX > width)
        point.x -= kMenuShiftX;
    if (point.y + kMenuShiftY > height)
        point.y -= kMenuShiftY;
    menu->ShowAt("xml", nullptr, MAKEINTRESOURCEA(IDR_SKIN_MENU), point.x, point.y);
}
