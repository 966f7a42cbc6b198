#include "app/MainFrame.h"

#include <shellapi.h>
#include <string.h>

#include "app/FirstPaintReport.h"
#include "app/resource.h"
#include "app/version.h"
#include "shell/MenuWnd.h"
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

// The benchmark's moment that ends a click's story: its moments are written then.
const char kCodePainted[] = "code_painted";

// The full notification icon record of Vista and later, balloon icon
// included; Windows 7 is the oldest system the program supports.
static_assert(sizeof(NOTIFYICONDATAW) == 956, "notification icon record of Windows 7");

} // namespace

MainFrame::MainFrame(std::unique_ptr<TokenClient> client)
    : m_client(std::move(client))
    , m_display(*this, *this, *this)
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
    if (message == WM_PAINT && m_nextPaintMoment != nullptr) {
        // The benchmark's moment of a change on screen is the end of the paint that shows it.
        const char* moment = m_nextPaintMoment;
        m_nextPaintMoment = nullptr;
        LRESULT result = 0;
        GetHost().ProcessMessage(message, wParam, lParam, result);
        MarkMoment(moment);
        if (moment == kCodePainted)
            WriteMoments();
        handled = true;
        return result;
    }
    if (message == MSG_TRAY_CALLBACK) {
        if (lParam == WM_LBUTTONDOWN || lParam == WM_LBUTTONDBLCLK)
            ToggleShown();
        else if (lParam == WM_RBUTTONDOWN)
            ShowTrayMenu();
    } else if (message == MSG_CLIENT_EVENT) {
        TokenEvent* event = reinterpret_cast<TokenEvent*>(lParam);
        if (event != nullptr) {
            if (event->kind == GetToken) {
                if (MarkMoment("code_reply"))
                    m_nextPaintMoment = kCodePainted;
                OnCodeReply(*event);
            } else if (event->kind == CheckToken) {
                OnCheckReply(*event);
            }
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
        } else if (SameText(name, DisplayControlName(RoleCodeButton))) {
            if (MarkMoment("click"))
                m_nextPaintMoment = "click_painted";
            m_display.RequestCode();
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

void MainFrame::SetRoleText(DisplayRole role, const char* text)
{
    if (CControlUI* control = GetHost().FindControlByName(DisplayControlName(role)))
        control->SetText(text);
}

void MainFrame::EnableCodeButton(bool enabled)
{
    if (CControlUI* button = GetHost().FindControlByName(DisplayControlName(RoleCodeButton)))
        button->SetEnabled(enabled);
}

void MainFrame::StartCountdown()
{
    if (CControlUI* tip = GetHost().FindControlByName(DisplayControlName(RoleTip)))
        GetHost().SetControlTimer(tip, kCountdownTimer, kCountdownPeriodMs);
}

void MainFrame::StopCountdown()
{
    if (CControlUI* tip = GetHost().FindControlByName(DisplayControlName(RoleTip)))
        GetHost().KillControlTimers(tip);
}

void MainFrame::PostRequest(RequestKind kind) { m_client->PostRequest(kind); }

void MainFrame::OnCountdownTick(UINotify& msg)
{
    if (msg.sender == nullptr || msg.sender != GetHost().FindControlByName(DisplayControlName(RoleTip)))
        return;
    m_display.OnCountdownTick();
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
