#include "tools/skinrender/SkinRenderer.h"

#include <windows.h>

#include <string.h>

#include "ui/core/ControlUI.h"
#include "ui/skin/SkinBuilder.h"
#include "ui/gfx/MemoryBitmap.h"
#include "ui/core/WindowHostUI.h"
#include "ui/core/WindowWnd.h"

using namespace ui;

namespace {

const int kDefaultWidth = 640;
const int kDefaultHeight = 480;

// A pop-up window whose messages go to its host first.
class RenderWindow : public CWindowWnd
{
public:
    const char* ClassName() const override { return "WavorinSkinRenderWnd"; }

    LRESULT HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        LRESULT result = 0;
        if (host != nullptr && host->ProcessMessage(message, wParam, lParam, result))
            return result;
        return CWindowWnd::HandleWindowMessage(message, wParam, lParam);
    }

    CWindowHostUI* host = nullptr;
};

class NotifyLog : public INotifyUI
{
public:
    explicit NotifyLog(std::vector<std::string>* names) : m_names(names) {}
    void Notify(UINotify& msg) override { m_names->push_back(msg.type.GetData()); }

private:
    std::vector<std::string>* m_names;
};

// Sets the resource folder for the time of one render.
class ResourceFolderScope
{
public:
    explicit ResourceFolderScope(const std::string& folder)
        : m_previous(CWindowHostUI::GetResourceFolder().GetData())
    {
        CWindowHostUI::SetResourceFolder(folder.c_str());
    }
    ~ResourceFolderScope() { CWindowHostUI::SetResourceFolder(m_previous.c_str()); }

private:
    std::string m_previous;
};

bool IsResourceId(const char* skin)
{
    return (reinterpret_cast<ULONG_PTR>(skin) >> 16) == 0;
}

void PumpWindowMessages(HWND window)
{
    MSG msg;
    for (int i = 0; i < 100 && ::PeekMessageW(&msg, window, 0, 0, PM_REMOVE); ++i)
        ::DispatchMessageW(&msg);
}

// A skin without a window size, such as a menu's, is as large as its root
// measures with the work area available.
void SizeToRoot(HWND window, CControlUI* root)
{
    RECT work;
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    SIZE available = { work.right - work.left, work.bottom - work.top };
    SIZE size = root->MeasureSize(available);
    if (size.cx > 0 && size.cy > 0)
        ::SetWindowPos(window, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The window's client area drawn by the host into a 32-bit DIB.
bool CaptureClient(HWND window, int width, int height, std::vector<uint32_t>& pixels)
{
    CMemoryBitmapUI surface(nullptr, width, height);
    if (!surface.IsReady())
        return false;
    ::SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.GetDC()), PRF_CLIENT | PRF_CHILDREN);
    ::GdiFlush();
    const uint32_t* source = reinterpret_cast<const uint32_t*>(surface.GetBits());
    pixels.assign(source, source + static_cast<size_t>(width) * height);
    for (uint32_t& pixel : pixels)
        pixel &= 0xFFFFFF;
    return true;
}

} // namespace

bool SkinRenderer::Render(const char* skin, int width, int height, IDialogBuilderCallback* callback)
{
    m_pixels.clear();
    m_notifications.clear();
    m_error.clear();
    m_width = m_height = 0;
    if (skin == nullptr) {
        m_error = "no skin given";
        return false;
    }
    if (CWindowHostUI::GetProgramInstance() == nullptr)
        CWindowHostUI::SetProgramInstance(::GetModuleHandleA(nullptr));

    // A file's images and includes are looked up in its folder.
    std::string folder;
    const char* name = skin;
    if (!IsResourceId(skin)) {
        const char* slash = strrchr(skin, '\\');
        const char* other = strrchr(skin, '/');
        if (other != nullptr && (slash == nullptr || other > slash))
            slash = other;
        if (slash != nullptr) {
            folder.assign(skin, slash + 1);
            name = slash + 1;
        }
    }
    ResourceFolderScope folderScope(folder);

    RenderWindow window;
    CWindowHostUI host;
    window.host = &host;
    HWND hwnd = window.Create(nullptr, "skin render", WS_POPUP, 0, 0, 0, kDefaultWidth, kDefaultHeight);
    if (hwnd == nullptr) {
        m_error = "the window could not be created";
        return false;
    }
    host.AttachWindow(hwnd);
    NotifyLog notifyLog(&m_notifications);
    host.AddListener(&notifyLog);

    bool done = false;
    CSkinBuilder builder;
    CControlUI* root = builder.Create(name, "xml", callback, &host);
    if (root == nullptr) {
        m_error = "the skin could not be built";
        const char* text = builder.GetDocument().GetErrorText();
        const char* context = builder.GetDocument().GetErrorContext();
        if (text != nullptr && text[0] != '\0')
            m_error += std::string(": ") + text;
        if (context != nullptr && context[0] != '\0')
            m_error += std::string(" near \"") + context + "\"";
    } else {
        host.AttachRoot(root);
        if (width > 0 && height > 0)
            ::SetWindowPos(hwnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        else if (host.GetInitialSize().cx == 0 && host.GetInitialSize().cy == 0)
            SizeToRoot(hwnd, root);
        RECT client;
        ::GetClientRect(hwnd, &client);
        m_width = client.right - client.left;
        m_height = client.bottom - client.top;
        // The first paint lays the tree out and sends "windowinit".
        ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
        ::UpdateWindow(hwnd);
        PumpWindowMessages(hwnd);
        ::UpdateWindow(hwnd);
        done = CaptureClient(hwnd, m_width, m_height, m_pixels);
        if (!done)
            m_error = "the window could not be drawn into a bitmap";
    }
    host.RemoveListener(&notifyLog);
    ::DestroyWindow(hwnd);
    window.host = nullptr;
    return done;
}
