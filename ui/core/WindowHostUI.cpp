// Window host: the forwarded program settings, setup and teardown, the
// window settings, the forwarded resources, the bookkeeping lists, the
// window timers of the control timers and the removal of a control.
// Messages and notifications are in WindowHostUIEvents.cpp, painting in
// WindowHostUIPaint.cpp.

#include "ui/core/WindowHostUI.h"

#include <new>

#include "ui/base/UIAssert.h"
#include "ui/core/ControlUI.h"
#include "ui/gfx/ProgramUI.h"

namespace ui {

CUIPtrArray CWindowHostUI::s_liveHosts;
HPEN CWindowHostUI::s_updatePen = nullptr;

namespace {

void DeleteControl(CControlUI* control) { delete control; }

void RemoveAllOccurrences(CUIPtrArray& list, void* p)
{
    for (int i = list.GetSize() - 1; i >= 0; --i) {
        if (list.GetAt(i) == p)
            list.Remove(i);
    }
}

bool RemoveFirst(CUIPtrArray& list, void* p)
{
    int index = list.Find(p);
    if (index < 0)
        return false;
    return list.Remove(index);
}

} // namespace

// ---- process-wide settings --------------------------------------------------

void CWindowHostUI::SetProgramInstance(HINSTANCE instance) { CProgramUI::SetProgramInstance(instance); }
HINSTANCE CWindowHostUI::GetProgramInstance() { return CProgramUI::GetProgramInstance(); }
void CWindowHostUI::SetResourceInstance(HINSTANCE instance) { CProgramUI::SetResourceInstance(instance); }
HINSTANCE CWindowHostUI::GetResourceInstance() { return CProgramUI::GetResourceInstance(); }
void CWindowHostUI::SetResourceFolder(const char* folder) { CProgramUI::SetResourceFolder(folder); }
const CUIString& CWindowHostUI::GetResourceFolder() { return CProgramUI::GetResourceFolder(); }
void CWindowHostUI::SetResourceArchive(const char* name) { CProgramUI::SetResourceArchive(name); }
const CUIString& CWindowHostUI::GetResourceArchive() { return CProgramUI::GetResourceArchive(); }
bool CWindowHostUI::SetResourceArchiveCached(bool keep) { return CProgramUI::SetResourceArchiveCached(keep); }
bool CWindowHostUI::IsResourceArchiveCached() { return CProgramUI::IsResourceArchiveCached(); }
void* CWindowHostUI::GetCachedArchive() { return CProgramUI::GetCachedArchive(); }
CUIString CWindowHostUI::GetModuleDirectory() { return CProgramUI::GetModuleDirectory(); }
UIImageLoader CWindowHostUI::SetImageLoader(UIImageLoader loader) { return CProgramUI::SetImageLoader(loader); }
UIImageLoader CWindowHostUI::GetImageLoader() { return CProgramUI::GetImageLoader(); }

// ---- setup and teardown ------------------------------------------------------

CWindowHostUI::CWindowHostUI()
    : m_window(nullptr)
    , m_paintDC(nullptr)
    , m_root(nullptr)
    , m_firstLayout(true)
    , m_updateNeeded(false)
    , m_destroying(false)
    , m_resourceParent(nullptr)
    , m_timers(*this)
    , m_focus(*this)
    , m_pointer(*this)
    , m_cleanup(DeleteControl)
{
    if (s_updatePen == nullptr) {
        s_updatePen = ::CreatePen(PS_SOLID, 1, RGB(220, 0, 0));
        // Loaded once, so that its blending functions can be found later.
        ::LoadLibraryA("msimg32.dll");
    }
}

CWindowHostUI::~CWindowHostUI()
{
    m_destroying = true;
    DeleteCleanupList();
    m_names.RemoveAll();
    CControlUI* root = m_root;
    m_root = nullptr;
    delete root;
    // Deleting the tree hands children of containers that delete later to
    // the cleanup list; they go now, and so does whatever they hand on.
    DeleteCleanupList();

    m_resources.ReleaseAll();
    ClearOptionGroups();
    ClearTimers();
    m_buffers.Release();
    if (m_paintDC != nullptr)
        ::ReleaseDC(m_window, m_paintDC);
    m_paintDC = nullptr;
    m_resources.SetMeasureDC(nullptr);
    RemoveFirst(s_liveHosts, this);
}

void CWindowHostUI::AttachWindow(HWND window)
{
    // Binding again releases what the previous window gave.
    if (m_paintDC != nullptr)
        ::ReleaseDC(m_window, m_paintDC);
    m_buffers.Release();
    m_window = window;
    m_paintDC = window != nullptr ? ::GetDC(window) : nullptr;
    m_resources.SetMeasureDC(m_paintDC);
    if (s_liveHosts.Find(this) < 0)
        s_liveHosts.Add(this);
}

bool CWindowHostUI::AttachRoot(CControlUI* root)
{
    m_focus.Reset();
    m_pointer.Reset();
    if (m_root != nullptr && m_root != root) {
        m_overlays.Empty();
        DeleteControlLater(m_root);
    }
    m_root = root;
    m_firstLayout = true;
    m_updateNeeded = true;
    m_focus.SetFocusNeeded(true);
    if (root == nullptr)
        return false;
    root->SetHost(this, root->GetParent(), true);
    RegisterNames(root);
    return true;
}

CControlUI* CWindowHostUI::FindControlByName(const char* name) const
{
    if (name == nullptr)
        return nullptr;
    return static_cast<CControlUI*>(m_names.Find(name));
}

void CWindowHostUI::RegisterNames(CControlUI* subtree)
{
    if (subtree != nullptr)
        subtree->FindControl(NameRegistrationVisitor, this, 0);
}

CControlUI* CWindowHostUI::NameRegistrationVisitor(CControlUI* control, void* data)
{
    CWindowHostUI* host = static_cast<CWindowHostUI*>(data);
    const char* name = control->GetName();
    if (name != nullptr && name[0] != '\0')
        host->m_names.Insert(name, control);  // an existing entry stays
    return nullptr;
}

// ---- window settings and colours ---------------------------------------------

void CWindowHostUI::SetWindowAlpha(int alpha)
{
    if (m_window == nullptr)
        return;
    typedef BOOL(WINAPI * SetLayeredProc)(HWND, COLORREF, BYTE, DWORD);
    HMODULE user32 = ::GetModuleHandleA("User32.dll");
    if (user32 == nullptr)
        return;
    FARPROC proc = ::GetProcAddress(user32, "SetLayeredWindowAttributes");
    SetLayeredProc setLayered = reinterpret_cast<SetLayeredProc>(reinterpret_cast<void (*)()>(proc));
    if (setLayered == nullptr)
        return;
    LONG style = ::GetWindowLongA(m_window, GWL_EXSTYLE);
    LONG newStyle = alpha > 255 ? (style & ~WS_EX_LAYERED) : (style | WS_EX_LAYERED);
    if (newStyle != style)
        ::SetWindowLongA(m_window, GWL_EXSTYLE, newStyle);
    setLayered(m_window, 0, static_cast<BYTE>(alpha), LWA_ALPHA);
}

void CWindowHostUI::SetMinTrackSize(int cx, int cy)
{
    m_settings.minTrack.cx = cx;
    m_settings.minTrack.cy = cy;
}

void CWindowHostUI::SetMaxTrackSize(int cx, int cy)
{
    m_settings.maxTrack.cx = cx;
    m_settings.maxTrack.cy = cy;
}

void CWindowHostUI::SetInitialSize(int cx, int cy)
{
    m_settings.initialSize.cx = cx;
    m_settings.initialSize.cy = cy;
    if (m_root == nullptr && m_window != nullptr)
        ::SetWindowPos(m_window, nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWindowHostUI::SetRoundCorner(int cx, int cy)
{
    m_settings.roundCorner.cx = cx;
    m_settings.roundCorner.cy = cy;
}

// The colours are read from the topmost resources of the chain.
DWORD CWindowHostUI::GetDisabledTextColor() const { return m_resources.GetDisabledTextColor(); }
void CWindowHostUI::SetDisabledTextColor(DWORD color) { m_resources.SetDisabledTextColor(color); }
DWORD CWindowHostUI::GetDefaultTextColor() const { return m_resources.GetDefaultTextColor(); }
void CWindowHostUI::SetDefaultTextColor(DWORD color) { m_resources.SetDefaultTextColor(color); }
DWORD CWindowHostUI::GetLinkTextColor() const { return m_resources.GetLinkTextColor(); }
void CWindowHostUI::SetLinkTextColor(DWORD color) { m_resources.SetLinkTextColor(color); }
DWORD CWindowHostUI::GetLinkHoverTextColor() const { return m_resources.GetLinkHoverTextColor(); }
void CWindowHostUI::SetLinkHoverTextColor(DWORD color) { m_resources.SetLinkHoverTextColor(color); }
DWORD CWindowHostUI::GetSelectedBackColor() const { return m_resources.GetSelectedBackColor(); }
void CWindowHostUI::SetSelectedBackColor(DWORD color) { m_resources.SetSelectedBackColor(color); }

// ---- resources: forwarded to the resources object ---------------------------------

bool CWindowHostUI::SetResourceParent(CWindowHostUI* parent)
{
    // The resources objects form the same chain as the hosts, so theirs
    // refuses exactly the cycles of the hosts.
    if (!m_resources.SetResourceParent(parent != nullptr ? &parent->m_resources : nullptr))
        return false;
    m_resourceParent = parent;
    return true;
}

void CWindowHostUI::SetBaseFont(const char* face, int size, bool bold, bool underline, bool italic)
{
    m_resources.SetBaseFont(face, size, bold, underline, italic);
}

HFONT CWindowHostUI::RegisterFont(const char* face, int size, bool bold, bool underline, bool italic)
{
    return m_resources.RegisterFont(face, size, bold, underline, italic);
}

HFONT CWindowHostUI::FindFont(const char* face, int size, bool bold, bool underline, bool italic) const
{
    return m_resources.FindFont(face, size, bold, underline, italic);
}

UIFontInfo* CWindowHostUI::GetFontRecord(int index) { return m_resources.GetFontRecord(index); }
UIFontInfo* CWindowHostUI::GetFontRecord(HFONT font) { return m_resources.GetFontRecord(font); }
UIFontInfo* CWindowHostUI::GetDefaultFontRecord() { return m_resources.GetDefaultFontRecord(); }
HFONT CWindowHostUI::GetFont(int index) { return m_resources.GetFont(index); }
void CWindowHostUI::ClearFonts() { m_resources.ClearFonts(); }
unsigned CWindowHostUI::GetFontGeneration() const { return m_resources.GetFontGeneration(); }

UIImageInfo* CWindowHostUI::CacheImage(const char* name, const char* resourceType, DWORD mask)
{
    return m_resources.CacheImage(name, resourceType, mask);
}

UIImageInfo* CWindowHostUI::GetOrLoadImage(const char* name, const char* resourceType, DWORD mask)
{
    return m_resources.GetOrLoadImage(name, resourceType, mask);
}

UIImageInfo* CWindowHostUI::FindImage(const char* name) const { return m_resources.FindImage(name); }
void CWindowHostUI::ClearImages() { m_resources.ClearImages(); }

void CWindowHostUI::SetClassDefaults(const char* className, const char* attributes)
{
    m_resources.SetClassDefaults(className, attributes);
}

const char* CWindowHostUI::GetClassDefaults(const char* className) const
{
    return m_resources.GetClassDefaults(className);
}

void CWindowHostUI::ClearClassDefaults() { m_resources.ClearClassDefaults(); }

// ---- lists ------------------------------------------------------------------------

bool CWindowHostUI::AddListener(INotifyUI* listener) { return m_notifiers.Add(listener); }
bool CWindowHostUI::RemoveListener(INotifyUI* listener) { return RemoveFirst(m_notifiers, listener); }
bool CWindowHostUI::AddTranslateFilter(IMessageFilterUI* filter) { return m_translateFilters.Add(filter); }

bool CWindowHostUI::RemoveTranslateFilter(IMessageFilterUI* filter)
{
    return RemoveFirst(m_translateFilters, filter);
}

bool CWindowHostUI::AddWindowFilter(IMessageFilterUI* filter) { return m_windowFilters.Add(filter); }
bool CWindowHostUI::RemoveWindowFilter(IMessageFilterUI* filter) { return RemoveFirst(m_windowFilters, filter); }
bool CWindowHostUI::AddOverlayControl(CControlUI* control) { return m_overlays.Add(control); }
bool CWindowHostUI::RemoveOverlayControl(CControlUI* control) { return RemoveFirst(m_overlays, control); }

CControlUI* CWindowHostUI::GetOverlayControl(int index) const
{
    return static_cast<CControlUI*>(m_overlays.GetAt(index));
}

CControlUI* CWindowHostUI::ForgetVisitor(CControlUI* control, void* data)
{
    static_cast<CWindowHostUI*>(data)->ForgetControl(control);
    return nullptr;
}

void CWindowHostUI::DeleteControlLater(CControlUI* control)
{
    if (control == nullptr)
        return;
    // Handing a control over twice would delete it twice.
    UI_ASSERT(!m_cleanup.Contains(control));
    // Once detached, the controls of the subtree no longer tell the host
    // when they go, so every reference to them is dropped now.
    control->FindControl(ForgetVisitor, this, 0);
    if (control == m_root)
        m_root = nullptr;
    control->SetHost(nullptr, nullptr, false);
    m_cleanup.Add(control);
    if (!m_destroying && m_window != nullptr)
        ::PostMessageA(m_window, MessageHostCleanup, 0, 0);
}

// ---- control timers and control removal ------------------------------------------------

bool CWindowHostUI::StartTimer(UITimerWindow window, unsigned id, unsigned elapseMs)
{
    return ::SetTimer(static_cast<HWND>(const_cast<void*>(window)), id, elapseMs, nullptr) != 0;
}

void CWindowHostUI::StopTimer(UITimerWindow window, unsigned id)
{
    HWND hwnd = static_cast<HWND>(const_cast<void*>(window));
    if (::IsWindow(hwnd))
        ::KillTimer(hwnd, id);
}

void CWindowHostUI::ForgetControl(CControlUI* control)
{
    if (control == nullptr)
        return;
    m_focus.Forget(control);
    m_pointer.Forget(control);
    KillControlTimers(control);
    const char* name = control->GetName();
    if (name != nullptr && name[0] != '\0' && m_names.Find(name) == control)
        m_names.Remove(name);
    RemoveAllOccurrences(m_overlays, control);
    m_posted.DropFor(control);
}

} // namespace ui
