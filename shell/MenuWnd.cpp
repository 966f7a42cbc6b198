#include "shell/MenuWnd.h"

#include <new>

#include "shell/MenuUI.h"
#include "ui/controls/ListBodyUI.h"
#include "ui/core/ControlUI.h"
#include "ui/skin/SkinBuilder.h"

using namespace ui;

namespace {

// A nested menu is this much larger than its items: its border and inset.
const int kNestedFrame = 4;
const DWORD kNestedBkColor = 0xFFFFFFFF;
const DWORD kNestedBorderColor = 0xFF85E4FF;

HWND Outermost(HWND window)
{
    for (HWND parent = ::GetParent(window); parent != nullptr; parent = ::GetParent(parent))
        window = parent;
    return window;
}

} // namespace

// ---- CMenuChain ------------------------------------------------------------------

void CMenuChain::Attach(CMenuWnd* window) { m_observer.Attach(window); }

bool CMenuChain::Contains(HWND window) const
{
    if (window == nullptr)
        return false;
    for (int i = 0; i < m_observer.GetCount(); ++i) {
        CMenuWnd* menu = static_cast<CMenuWnd*>(m_observer.GetAt(i));
        if (menu->GetWindowHandle() == window)
            return true;
    }
    return false;
}

void CMenuChain::OpenNested(CMenuElementUI* item)
{
    if (item == nullptr || item->GetHost() == nullptr)
        return;
    HWND itemWindow = item->GetHost()->GetHostWindow();
    CMenuWnd* window = new (std::nothrow) CMenuWnd(itemWindow, *this);
    if (window == nullptr)
        return;
    item->SetSubMenuWindow(window);
    CloseBelow(itemWindow);
    window->ShowAt("", item, "", 0, 0);
}

void CMenuChain::CloseBelow(HWND window) { Broadcast(ContextMenuCloseDescendants, window); }

void CMenuChain::CloseAll(HWND sender) { Broadcast(ContextMenuCloseAll, sender); }

void CMenuChain::Broadcast(int kind, HWND refWindow)
{
    ContextMenuParam param = { kind, refWindow };
    m_observer.SendToAllReversed(param);
}

// ---- CMenuWnd --------------------------------------------------------------------

CMenuWnd::CMenuWnd(HWND parent) : CMenuWnd(parent, m_ownChain) {}

CMenuWnd::CMenuWnd(HWND parent, CMenuChain& chain)
    : m_parentWindow(parent)
    , m_chain(chain)
    , m_origin()
    , m_skin(nullptr)
    , m_ownerItem(nullptr)
    , m_subMenuList(nullptr)
    , m_itemsReturned(false)
{
}

// The receiver base would leave the chain only after the members, a
// top-level window's own chain among them, are gone: the window leaves here.
CMenuWnd::~CMenuWnd() { DetachFromAll(); }

const char* CMenuWnd::ClassName() const { return "MenuWnd"; }
UINT CMenuWnd::ClassStyle() const { return 0; }

void CMenuWnd::ShowAt(const char* skinType, CMenuElementUI* ownerItem, const char* skin, int x, int y)
{
    m_origin.x = x;
    m_origin.y = y;
    m_ownerItem = ownerItem;
    if (IS_INTRESOURCE(skin)) {
        m_skin = skin;
    } else {
        m_skinText.Assign(skin);
        m_skin = m_skinText;
    }
    if (skinType != nullptr && skinType[0] != '\0')
        m_skinType.Assign(skinType);
    m_chain.Attach(this);

    HWND parent = m_parentWindow;
    if (ownerItem != nullptr && ownerItem->GetHost() != nullptr)
        parent = ownerItem->GetHost()->GetHostWindow();
    HWND window = Create(parent, "", WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, 0, 0, 0, 0);
    if (window == nullptr) {
        // No window means no last message: the window object goes now.
        DetachFromAll();
        if (m_ownerItem != nullptr)
            m_ownerItem->OnSubMenuClosed();
        delete this;
        return;
    }
    ::ShowWindow(window, SW_SHOW);
    // The window that opened the menu keeps its active look.
    ::SendMessageA(Outermost(window), WM_NCACTIVATE, TRUE, 0);
}

LRESULT CMenuWnd::HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        if (m_ownerItem != nullptr)
            BuildNested();
        else
            BuildTopLevel();
        return 0;
    case WM_KILLFOCUS:
        if (m_chain.Contains(reinterpret_cast<HWND>(wParam)))
            break;
        m_chain.CloseAll(GetWindowHandle());
        return 0;
    case WM_CLOSE:
        if (m_ownerItem != nullptr) {
            ReturnItemsToOwner();
            m_ownerItem->SetBounds(m_ownerItem->GetBounds());
            m_ownerItem->SetFocus();
        }
        break;
    case WM_CONTEXTMENU:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE)
            Close();
        break;
    case WM_LBUTTONDOWN:
        // A press anywhere in a menu ends the program.
        ::PostQuitMessage(0);
        break;
    default:
        break;
    }
    return DefaultProcessing(message, wParam, lParam);
}

LRESULT CMenuWnd::DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (m_host.ProcessMessage(message, wParam, lParam, result))
        return result;
    return CallPreviousProc(message, wParam, lParam);
}

void CMenuWnd::AfterLastMessage(HWND)
{
    DetachFromAll();
    if (m_ownerItem != nullptr) {
        // A window destroyed with its owner gets no close message: its items
        // go home here.
        ReturnItemsToOwner();
        m_ownerItem->OnSubMenuClosed();
    }
    delete this;
}

bool CMenuWnd::HandleParam(ContextMenuParam param)
{
    HWND window = GetWindowHandle();
    if (window == nullptr || !::IsWindow(window))
        return true;
    if (param.kind == ContextMenuCloseAll) {
        ::PostMessageA(window, WM_CLOSE, 1, 0);
    } else if (param.kind == ContextMenuCloseDescendants) {
        for (HWND parent = ::GetParent(window); parent != nullptr; parent = ::GetParent(parent)) {
            if (parent == param.refWindow) {
                ::PostMessageA(window, WM_CLOSE, 1, 0);
                break;
            }
        }
    }
    return true;
}

RECT CMenuWnd::WorkArea() const
{
    MONITORINFO info;
    info.cbSize = sizeof(info);
    HMONITOR monitor = ::MonitorFromWindow(GetWindowHandle(), MONITOR_DEFAULTTOPRIMARY);
    if (monitor == nullptr || !::GetMonitorInfoA(monitor, &info))
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &info.rcWork, 0);
    return info.rcWork;
}

// ---- building --------------------------------------------------------------------

void CMenuWnd::BuildTopLevel()
{
    HWND window = GetWindowHandle();
    m_host.AttachWindow(window);
    CSkinBuilder builder;
    CMenuBuilderCallback callback(&m_chain);
    CControlUI* root = builder.Create(m_skin, m_skinType.IsEmpty() ? nullptr : m_skinType.GetData(), &callback, &m_host);
    m_host.AttachRoot(root);

    RECT work = WorkArea();
    SIZE available = { work.right - work.left, work.bottom - work.top };
    SIZE size = { 0, 0 };
    if (root != nullptr)
        size = root->MeasureSize(available);
    m_host.SetInitialSize(size.cx, size.cy);

    ::SetForegroundWindow(window);
    ::MoveWindow(window, m_origin.x, m_origin.y, size.cx, size.cy, FALSE);
    ::SetWindowPos(window, HWND_TOPMOST, m_origin.x, m_origin.y, size.cx, size.cy, SWP_SHOWWINDOW);
}

void CMenuWnd::BuildNested()
{
    HWND window = GetWindowHandle();
    LONG style = ::GetWindowLongA(window, GWL_STYLE);
    ::SetWindowLongA(window, GWL_STYLE, (style & ~WS_CAPTION) | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    m_host.AttachWindow(window);
    CWindowHostUI* ownerHost = m_ownerItem->GetHost();
    m_host.SetResourceParent(ownerHost);

    m_subMenuList = new (std::nothrow) CMenuUI;
    if (m_subMenuList == nullptr)
        return;
    m_subMenuList->SetHost(&m_host, nullptr, false);
    const char* defaults = ownerHost != nullptr ? ownerHost->GetClassDefaults("Menu") : nullptr;
    if (defaults != nullptr)
        m_subMenuList->ApplyAttributeString(defaults);
    m_subMenuList->SetBkColor(kNestedBkColor);
    m_subMenuList->SetBorderColor(kNestedBorderColor);
    m_subMenuList->SetBorderSize(0);
    // The items stay the owner item's: this list only shows them.
    m_subMenuList->SetOwnsChildren(false);
    m_subMenuList->GetBody()->SetOwnsChildren(false);
    m_subMenuList->EnableScrollBars(true, false);
    for (int i = 0; i < m_ownerItem->GetChildCount(); ++i) {
        CControlUI* child = m_ownerItem->GetChildAt(i);
        if (CMenuUI::IsMenuItem(child))
            m_subMenuList->AddChild(child);
    }
    m_host.AttachRoot(m_subMenuList);

    RECT work = WorkArea();
    SIZE available = { work.right - work.left, work.bottom - work.top };
    SIZE size = { 0, 0 };
    for (int i = 0; i < m_subMenuList->GetChildCount(); ++i) {
        SIZE itemSize = m_subMenuList->GetChildAt(i)->MeasureSize(available);
        if (itemSize.cx > size.cx)
            size.cx = itemSize.cx;
        size.cy += itemSize.cy;
    }
    size.cx += kNestedFrame;
    size.cy += kNestedFrame;

    HWND ownerWindow = ownerHost != nullptr ? ownerHost->GetHostWindow() : m_parentWindow;
    RECT ownerRect;
    ::GetWindowRect(ownerWindow, &ownerRect);
    POINT itemTop = { 0, m_ownerItem->GetBounds().top };
    ::ClientToScreen(ownerWindow, &itemTop);
    // A chain that already turned left goes on to the left.
    bool turnLeft = false;
    HWND earlier = ::GetParent(ownerWindow);
    if (m_chain.Contains(earlier)) {
        RECT earlierRect;
        ::GetWindowRect(earlier, &earlierRect);
        turnLeft = earlierRect.left > ownerRect.left;
    }
    POINT at = PlaceNested(ownerRect, itemTop.y, size, work, turnLeft);
    ::MoveWindow(window, at.x, at.y, size.cx, size.cy, FALSE);
}

POINT CMenuWnd::PlaceNested(const RECT& owner, int itemTop, SIZE size, const RECT& work, bool turnLeft)
{
    bool roomRight = owner.right + size.cx <= work.right;
    bool roomLeft = owner.left - size.cx >= work.left;
    bool left = turnLeft ? (roomLeft || !roomRight) : (!roomRight && roomLeft);
    POINT at = { left ? owner.left - size.cx : owner.right, itemTop };
    if (at.x + size.cx > work.right)
        at.x = work.right - size.cx;
    if (at.x < work.left)
        at.x = work.left;
    if (at.y + size.cy > work.bottom)
        at.y = work.bottom - size.cy;
    if (at.y < work.top)
        at.y = work.top;
    return at;
}

void CMenuWnd::ReturnItemsToOwner()
{
    if (m_itemsReturned || m_ownerItem == nullptr)
        return;
    m_itemsReturned = true;
    // Hidden while this list still owns them, so that a selected item
    // clears this list's selection and not the owner's.
    for (int i = 0; i < m_ownerItem->GetChildCount(); ++i) {
        CControlUI* child = m_ownerItem->GetChildAt(i);
        if (!CMenuUI::IsMenuItem(child))
            continue;
        child->SetVisible(false);
        child->SetParentVisible(false);
    }
    // Host and parent of the items are the owner item's again.
    m_ownerItem->SetHost(m_ownerItem->GetHost(), m_ownerItem->GetParent(), false);
    CControlUI* ownerList = m_ownerItem->GetOwnerList();
    for (int i = 0; i < m_ownerItem->GetChildCount(); ++i) {
        CControlUI* child = m_ownerItem->GetChildAt(i);
        if (!CMenuUI::IsMenuItem(child))
            continue;
        IListItemUI* item = static_cast<IListItemUI*>(child->FindInterface("ListItem"));
        if (item != nullptr)
            item->SetOwner(ownerList);
    }
}
