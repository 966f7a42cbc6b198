#include "ui/core/ControlUI.h"

#include <string.h>

#include "ui/base/AttributeValue.h"
#include "ui/base/UIAssert.h"
#include "ui/base/Utf8.h"
#include "ui/core/WindowHostUI.h"
#include "ui/gfx/Renderer.h"

// Sections: construction and destruction; plain accessors; sizing setters;
// state flags; search and events; attributes; painting; repaint and layout
// requests.

namespace ui {

namespace {

const int kDefaultMaxSize = 9999;

bool IsRectEmptyOrInverted(const RECT& rc)
{
    return rc.right <= rc.left || rc.bottom <= rc.top;
}

} // namespace

// ---- construction and destruction -------------------------------------

CControlUI::CControlUI()
    : m_host(nullptr),
      m_parent(nullptr),
      m_layoutPending(true),
      m_descendantLayoutPending(false),
      m_placingChildren(false),
      m_wantsContextMenu(false),
      m_bounds(),
      m_padding(),
      m_floatOffset(),
      m_presetWidth(0),
      m_presetHeight(0),
      m_minWidth(0),
      m_minHeight(0),
      m_maxWidth(kDefaultMaxSize),
      m_maxHeight(kDefaultMaxSize),
      m_visible(true),
      m_parentVisible(true),
      m_enabled(true),
      m_acceptsMouse(true),
      m_acceptsKeyboard(true),
      m_focused(false),
      m_floating(false),
      m_inSizeNotification(false),
      m_placement(),
      m_shortcut(0),
      m_tag(0),
      m_bkColor1(0),
      m_bkColor2(0),
      m_bkColor3(0),
      m_borderColor(0),
      m_focusBorderColor(0),
      m_colorAdjust(false),
      m_borderSize(1),
      m_borderRound(),
      m_paintRect()
{
}

CControlUI::~CControlUI()
{
    InvokeListeners(ListenDestroy, this);
    if (m_host != nullptr)
        m_host->ForgetControl(this);
    for (int kind = 0; kind < ListenKindCount; ++kind) {
        CUIPtrArray& list = m_listeners[kind];
        for (int i = 0; i < list.GetSize(); ++i)
            delete static_cast<UICallback*>(list.GetAt(i));
        list.Empty();
    }
}

// ---- plain accessors ---------------------------------------------------

const char* CControlUI::GetName() const { return m_name.GetData(); }
void CControlUI::SetName(const char* name) { m_name.Assign(name); }
const char* CControlUI::GetClassName() const { return "ControlUI"; }

void* CControlUI::FindInterface(const char* name)
{
    if (name != nullptr && strcmp(name, "Control") == 0)
        return this;
    return nullptr;
}

UINT CControlUI::GetBehaviorFlags() const { return 0; }
bool CControlUI::Activate() { return IsVisible() && IsEnabled(); }

CWindowHostUI* CControlUI::GetHost() const { return m_host; }

void CControlUI::SetHost(CWindowHostUI* host, CControlUI* parent, bool initialize)
{
    m_host = host;
    m_parent = parent;
    // Placed by another host or parent, or by none yet: the next placement
    // lays it out whatever its rectangle.
    m_layoutPending = true;
    if (initialize && m_parent != nullptr)
        Initialize();
}

CControlUI* CControlUI::GetParent() const { return m_parent; }
const char* CControlUI::GetText() const { return m_text.GetData(); }

void CControlUI::SetText(const char* text)
{
    if (m_text == (text != nullptr ? text : ""))
        return;
    m_text.Assign(text);
    Invalidate();
}

const RECT& CControlUI::GetBounds() const { return m_bounds; }
int CControlUI::GetWidth() const { return m_bounds.right - m_bounds.left; }
int CControlUI::GetHeight() const { return m_bounds.bottom - m_bounds.top; }
int CControlUI::GetX() const { return m_bounds.left; }
int CControlUI::GetY() const { return m_bounds.top; }
RECT CControlUI::GetPadding() const { return m_padding; }
SIZE CControlUI::GetFloatOffset() const { return m_floatOffset; }
int CControlUI::GetPresetWidth() const { return m_presetWidth; }
int CControlUI::GetPresetHeight() const { return m_presetHeight; }
int CControlUI::GetMinWidth() const { return m_minWidth; }
int CControlUI::GetMaxWidth() const { return m_maxWidth; }
int CControlUI::GetMinHeight() const { return m_minHeight; }
int CControlUI::GetMaxHeight() const { return m_maxHeight; }
UIRelativePlacement CControlUI::GetRelativePlacement() const { return m_placement; }
bool CControlUI::HasRelativePlacement() const { return m_placement.relative; }
const char* CControlUI::GetTooltip() const { return m_tooltip.GetData(); }
void CControlUI::SetTooltip(const char* text) { m_tooltip.Assign(text); }
char CControlUI::GetShortcut() const { return m_shortcut; }
void CControlUI::SetShortcut(char ch) { m_shortcut = ch; }
bool CControlUI::WantsContextMenu() const { return m_wantsContextMenu; }
void CControlUI::SetWantsContextMenu(bool wants) { m_wantsContextMenu = wants; }
const char* CControlUI::GetUserData() const { return m_userData.GetData(); }
void CControlUI::SetUserData(const char* text) { m_userData.Assign(text); }
UINT_PTR CControlUI::GetTag() const { return m_tag; }
void CControlUI::SetTag(UINT_PTR tag) { m_tag = tag; }

// ---- position and sizing rules -----------------------------------------

void CControlUI::SetBounds(const RECT& rect)
{
    RECT rc = rect;
    if (rc.right < rc.left)
        rc.right = rc.left;
    if (rc.bottom < rc.top)
        rc.bottom = rc.top;

    RECT old = m_bounds;
    if (::IsRectEmpty(&old))
        old = rc;

    m_bounds = rc;
    if (m_host == nullptr)
        return;

    if (!m_inSizeNotification) {
        m_inSizeNotification = true;
        InvokeListeners(ListenSize, this);
        m_inSizeNotification = false;
    }

    if (m_floating && m_parent != nullptr) {
        // Remember where the parent placed this floating control, so that
        // the next placement starts from here.
        const RECT& p = m_parent->GetBounds();
        m_floatOffset.cx = m_floatOffset.cx < 0 ? m_bounds.right - p.right : m_bounds.left - p.left;
        m_floatOffset.cy = m_floatOffset.cy < 0 ? m_bounds.bottom - p.bottom : m_bounds.top - p.top;
        m_presetWidth = m_bounds.right - m_bounds.left;
        m_presetHeight = m_bounds.bottom - m_bounds.top;
    }

    // What follows in a layout places the children, and those below them
    // that wait.
    m_layoutPending = false;
    m_descendantLayoutPending = false;
    if (m_parent != nullptr && m_parent->m_placingChildren)
        return;

    RECT both;
    ::UnionRect(&both, &old, &m_bounds);
    InvalidateClipped(both);
}

void CControlUI::SetPadding(const RECT& padding)
{
    m_padding = padding;
    RequestParentLayout();
}

void CControlUI::SetFloatOffset(SIZE offset)
{
    m_floatOffset = offset;
    RequestParentLayout();
}

void CControlUI::SetPresetWidth(int cx)
{
    if (cx < 0)
        return;
    m_presetWidth = cx;
    RequestParentLayout();
}

void CControlUI::SetPresetHeight(int cy)
{
    if (cy < 0)
        return;
    m_presetHeight = cy;
    RequestParentLayout();
}

void CControlUI::SetMinWidth(int cx)
{
    if (cx < 0 || cx == m_minWidth)
        return;
    m_minWidth = cx;
    RequestParentLayout();
}

void CControlUI::SetMaxWidth(int cx)
{
    if (cx < 0 || cx == m_maxWidth)
        return;
    m_maxWidth = cx;
    RequestParentLayout();
}

void CControlUI::SetMinHeight(int cy)
{
    if (cy < 0 || cy == m_minHeight)
        return;
    m_minHeight = cy;
    RequestParentLayout();
}

void CControlUI::SetMaxHeight(int cy)
{
    if (cy < 0 || cy == m_maxHeight)
        return;
    m_maxHeight = cy;
    RequestParentLayout();
}

void CControlUI::SetRelativePlacement(SIZE move, SIZE zoom)
{
    m_placement.move = move;
    m_placement.zoom = zoom;
    m_placement.relative = true;
}

void CControlUI::SetPlacementParentSize(SIZE parentSize)
{
    m_placement.parentSize = parentSize;
}

bool CControlUI::IsPlacedAt(const RECT& rect) const
{
    return !m_layoutPending && !m_descendantLayoutPending && ::EqualRect(&rect, &m_bounds);
}

SIZE CControlUI::MeasureSize(SIZE available)
{
    (void)available;
    SIZE size = { m_presetWidth, m_presetHeight };
    return size;
}

// ---- state flags -------------------------------------------------------

bool CControlUI::IsVisible() const { return m_visible && m_parentVisible; }

void CControlUI::DropHostFocus()
{
    if (m_host != nullptr && m_host->GetFocusControl() == this)
        m_host->SetFocusControl(nullptr);
}

void CControlUI::SetVisible(bool visible)
{
    if (m_visible == visible)
        return;
    bool wasVisible = IsVisible();
    m_visible = visible;
    m_focused = false;
    if (!visible)
        DropHostFocus();
    if (IsVisible() != wasVisible) {
        m_layoutPending = true;
        RequestParentLayout();
    }
}

void CControlUI::SetParentVisible(bool visible)
{
    bool wasVisible = IsVisible();
    m_parentVisible = visible;
    // Nothing is placed while hidden: what shows again is laid out anew.
    if (IsVisible() != wasVisible)
        m_layoutPending = true;
    if (!visible)
        DropHostFocus();
}

bool CControlUI::IsEnabled() const { return m_enabled; }

void CControlUI::SetEnabled(bool enabled)
{
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    Invalidate();
}

bool CControlUI::AcceptsMouse() const { return m_acceptsMouse; }
void CControlUI::SetAcceptsMouse(bool accepts) { m_acceptsMouse = accepts; }
bool CControlUI::AcceptsKeyboard() const { return m_acceptsKeyboard; }
void CControlUI::SetAcceptsKeyboard(bool accepts) { m_acceptsKeyboard = accepts; }
bool CControlUI::IsFocused() const { return m_focused; }

void CControlUI::SetFocus()
{
    if (m_host != nullptr)
        m_host->SetFocusControl(this);
}

bool CControlUI::IsFloating() const { return m_floating; }

void CControlUI::SetFloating(bool floating)
{
    if (m_floating == floating)
        return;
    m_floating = floating;
    RequestParentLayout();
}

// ---- search, listeners and events --------------------------------------

CControlUI* CControlUI::FindControl(UIFindVisitor visitor, void* data, UINT flags)
{
    UI_ASSERT((flags & FindHitTest) == 0 || data != nullptr);
    if ((flags & FindVisible) != 0 && !IsVisible())
        return nullptr;
    if ((flags & FindEnabled) != 0 && !IsEnabled())
        return nullptr;
    if ((flags & FindHitTest) != 0) {
        if (!m_acceptsMouse || data == nullptr || !::PtInRect(&m_bounds, *static_cast<POINT*>(data)))
            return nullptr;
    }
    return visitor(this, data);
}

bool CControlUI::AddListener(UIListenerKind kind, UICallback* callback)
{
    if (kind < 0 || kind >= ListenKindCount || callback == nullptr)
        return false;
    return m_listeners[kind].Add(callback);
}

bool CControlUI::InvokeListeners(UIListenerKind kind, void* argument)
{
    if (kind < 0 || kind >= ListenKindCount)
        return true;
    CUIPtrArray& list = m_listeners[kind];
    for (int i = 0; i < list.GetSize(); ++i) {
        if (!static_cast<UICallback*>(list.GetAt(i))->Invoke(argument))
            return false;
    }
    return true;
}

int CControlUI::GetListenerCount(UIListenerKind kind) const
{
    if (kind < 0 || kind >= ListenKindCount)
        return 0;
    return m_listeners[kind].GetSize();
}

void CControlUI::Initialize()
{
    OnInitialize();
    InvokeListeners(ListenInit, this);
}

void CControlUI::OnInitialize()
{
}

void CControlUI::DispatchEvent(UIEvent& event)
{
    if (!InvokeListeners(ListenEvent, &event))
        return;
    HandleEvent(event);
}

void CControlUI::HandleEvent(UIEvent& event)
{
    switch (event.type) {
    case EventContextMenu:
        if (m_wantsContextMenu) {
            if (m_host != nullptr)
                m_host->SendNotification(this, "menu", event.wParam, event.lParam);
            return;
        }
        break;
    case EventKillFocus:
        m_focused = false;
        Invalidate();
        return;
    case EventSetFocus:
        m_focused = true;
        Invalidate();
        return;
    case EventSetCursor:
        ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
        return;
    case EventTimer:
        if (m_host != nullptr)
            m_host->SendNotification(this, "timer", event.wParam, event.lParam);
        return;
    default:
        break;
    }
    if (m_parent != nullptr)
        m_parent->HandleEvent(event);
}

// ---- attributes --------------------------------------------------------

void CControlUI::SetAttribute(const char* name, const char* value)
{
    if (name == nullptr)
        return;
    if (value == nullptr)
        value = "";

    if (strcmp(name, "pos") == 0) {
        RECT rc = ReadRectValue<RECT>(value);
        SIZE offset = { rc.left >= 0 ? rc.left : rc.right, rc.top >= 0 ? rc.top : rc.bottom };
        SetFloatOffset(offset);
        SetPresetWidth(rc.right - rc.left);
        SetPresetHeight(rc.bottom - rc.top);
    } else if (strcmp(name, "relativepos") == 0) {
        // Four numbers: the move pair, then the zoom pair.
        RECT v = ReadRectValue<RECT>(value);
        SIZE move = { v.left, v.top };
        SIZE zoom = { v.right, v.bottom };
        SetRelativePlacement(move, zoom);
    } else if (strcmp(name, "padding") == 0) {
        SetPadding(ReadRectValue<RECT>(value));
    } else if (strcmp(name, "bkcolor") == 0 || strcmp(name, "bkcolor1") == 0) {
        SetBkColor(ReadColorValue(value, true));
    } else if (strcmp(name, "bkcolor2") == 0) {
        SetBkColor2(ReadColorValue(value, true));
    } else if (strcmp(name, "bkcolor3") == 0) {
        SetBkColor3(ReadColorValue(value, true));
    } else if (strcmp(name, "bordercolor") == 0) {
        SetBorderColor(ReadColorValue(value, false));
    } else if (strcmp(name, "focusbordercolor") == 0) {
        SetFocusBorderColor(ReadColorValue(value, false));
    } else if (strcmp(name, "colorhsl") == 0) {
        SetColorAdjust(ReadBoolValue(value));
    } else if (strcmp(name, "bordersize") == 0) {
        SetBorderSize(ReadIntValue(value));
    } else if (strcmp(name, "borderround") == 0) {
        SetBorderRound(ReadSizeValue<SIZE>(value));
    } else if (strcmp(name, "bkimage") == 0) {
        SetBackgroundImage(value);
    } else if (strcmp(name, "width") == 0) {
        SetPresetWidth(ReadIntValue(value));
    } else if (strcmp(name, "height") == 0) {
        SetPresetHeight(ReadIntValue(value));
    } else if (strcmp(name, "minwidth") == 0) {
        SetMinWidth(ReadIntValue(value));
    } else if (strcmp(name, "minheight") == 0) {
        SetMinHeight(ReadIntValue(value));
    } else if (strcmp(name, "maxwidth") == 0) {
        SetMaxWidth(ReadIntValue(value));
    } else if (strcmp(name, "maxheight") == 0) {
        SetMaxHeight(ReadIntValue(value));
    } else if (strcmp(name, "name") == 0) {
        SetName(value);
    } else if (strcmp(name, "text") == 0) {
        SetText(value);
    } else if (strcmp(name, "tooltip") == 0) {
        SetTooltip(value);
    } else if (strcmp(name, "userdata") == 0) {
        SetUserData(value);
    } else if (strcmp(name, "enabled") == 0) {
        SetEnabled(ReadBoolValue(value));
    } else if (strcmp(name, "mouse") == 0) {
        SetAcceptsMouse(ReadBoolValue(value));
    } else if (strcmp(name, "keyboard") == 0) {
        SetAcceptsKeyboard(ReadBoolValue(value));
    } else if (strcmp(name, "visible") == 0) {
        SetVisible(ReadBoolValue(value));
    } else if (strcmp(name, "float") == 0) {
        SetFloating(ReadBoolValue(value));
    } else if (strcmp(name, "shortcut") == 0) {
        SetShortcut(value[0]);
    } else if (strcmp(name, "menu") == 0) {
        SetWantsContextMenu(ReadBoolValue(value));
    }
}

void CControlUI::ApplyAttributeString(const char* text)
{
    if (text == nullptr)
        return;
    const char* p = text;
    CUIString name;
    CUIString value;
    while (*p != '\0') {
        // The name runs up to "=".
        const char* start = p;
        while (*p != '\0' && *p != '=')
            p = CUtf8::Next(p);
        name.Assign(start, static_cast<int>(p - start));
        if (p[0] != '=' || p[1] != '"')
            return;
        p += 2;
        start = p;
        while (*p != '\0' && *p != '"')
            p = CUtf8::Next(p);
        if (*p != '"')
            return;
        value.Assign(start, static_cast<int>(p - start));
        SetAttribute(name.GetData(), value.GetData());
        ++p;
        if (*p != ' ')
            return;
        ++p;
    }
}

// ---- look --------------------------------------------------------------

void CControlUI::SetBkColor(DWORD color)
{
    if (m_bkColor1 == color)
        return;
    m_bkColor1 = color;
    Invalidate();
}

void CControlUI::SetBkColor2(DWORD color)
{
    if (m_bkColor2 == color)
        return;
    m_bkColor2 = color;
    Invalidate();
}

void CControlUI::SetBkColor3(DWORD color)
{
    if (m_bkColor3 == color)
        return;
    m_bkColor3 = color;
    Invalidate();
}

void CControlUI::SetBorderColor(DWORD color)
{
    if (m_borderColor == color)
        return;
    m_borderColor = color;
    Invalidate();
}

void CControlUI::SetFocusBorderColor(DWORD color)
{
    if (m_focusBorderColor == color)
        return;
    m_focusBorderColor = color;
    Invalidate();
}

void CControlUI::SetColorAdjust(bool adjust)
{
    if (m_colorAdjust == adjust)
        return;
    m_colorAdjust = adjust;
    Invalidate();
}

void CControlUI::SetBorderSize(int size)
{
    if (m_borderSize == size)
        return;
    m_borderSize = size;
    Invalidate();
}

void CControlUI::SetBorderRound(SIZE round)
{
    m_borderRound = round;
    Invalidate();
}

void CControlUI::SetBackgroundImage(const char* image)
{
    if (m_bkImage == (image != nullptr ? image : ""))
        return;
    m_bkImage.Assign(image);
    Invalidate();
}

// ---- painting ----------------------------------------------------------

void CControlUI::Paint(HDC dc, const RECT& dirty)
{
    if (!::IntersectRect(&m_paintRect, &dirty, &m_bounds))
        return;
    UIClip clip;
    if (m_borderRound.cx > 0 || m_borderRound.cy > 0)
        clip.ClipRoundRect(dc, m_paintRect, m_bounds, m_borderRound.cx, m_borderRound.cy);
    PaintBackgroundColor(dc);
    PaintBackgroundImage(dc);
    PaintStateImages(dc);
    PaintText(dc);
    PaintBorder(dc);
}

void CControlUI::PaintBackgroundColor(HDC dc)
{
    if (m_bkColor1 == 0)
        return;
    if (m_bkColor2 != 0) {
        if (m_bkColor3 == 0) {
            CRenderer::FillGradient(dc, m_bounds, m_bkColor1, m_bkColor2, 16);
        } else {
            RECT upper = m_bounds;
            RECT lower = m_bounds;
            upper.bottom = (m_bounds.top + m_bounds.bottom) / 2;
            lower.top = upper.bottom;
            CRenderer::FillGradient(dc, upper, m_bkColor1, m_bkColor2, 8);
            CRenderer::FillGradient(dc, lower, m_bkColor2, m_bkColor3, 8);
        }
        return;
    }
    if ((m_bkColor1 >> 24) == 0)
        return;
    // An opaque colour only needs the part being painted.
    CRenderer::FillColor(dc, m_bkColor1 > 0xFEFFFFFF ? m_paintRect : m_bounds, m_bkColor1);
}

void CControlUI::PaintBackgroundImage(HDC dc)
{
    if (m_bkImage.IsEmpty())
        return;
    if (!PaintImage(dc, m_bkImage.GetData()))
        m_bkImage.Empty(); // not found: do not look for it at every paint
}

void CControlUI::PaintStateImages(HDC dc)
{
    (void)dc;
}

void CControlUI::PaintText(HDC dc)
{
    (void)dc;
}

void CControlUI::PaintBorder(HDC dc)
{
    if (m_borderSize <= 0)
        return;
    DWORD color = m_focused && m_focusBorderColor != 0 ? m_focusBorderColor : m_borderColor;
    if (m_borderRound.cx > 0 || m_borderRound.cy > 0)
        CRenderer::StrokeRoundRect(dc, m_bounds, m_borderSize, m_borderRound.cx, m_borderRound.cy, color);
    else if (color != 0)
        CRenderer::StrokeRect(dc, m_bounds, m_borderSize, color);
}

void CControlUI::PaintOverlay(HDC dc, const RECT& dirty)
{
    (void)dc;
    (void)dirty;
}

bool CControlUI::PaintImage(HDC dc, const char* image, const char* modify)
{
    return CRenderer::DrawImageSpec(dc, m_host, m_bounds, m_paintRect, image, modify);
}

// ---- repaint and layout requests ---------------------------------------

void CControlUI::InvalidateClipped(RECT rect)
{
    if (m_host == nullptr)
        return;
    for (CControlUI* p = m_parent; p != nullptr; p = p->GetParent()) {
        RECT clipped;
        if (!::IntersectRect(&clipped, &rect, &p->GetBounds()))
            return;
        rect = clipped;
    }
    if (IsRectEmptyOrInverted(rect))
        return;
    HWND window = m_host->GetHostWindow();
    // Without a window there is nothing to repaint; a null handle would
    // repaint every window of the desktop.
    if (window != nullptr)
        ::InvalidateRect(window, &rect, FALSE);
}

void CControlUI::Invalidate()
{
    if (!IsVisible())
        return;
    InvalidateClipped(m_bounds);
}

void CControlUI::RequestLayout()
{
    // Marked while hidden too, so that a layout that shows the control
    // again does not take its children as placed.
    m_layoutPending = true;
    if (!IsVisible())
        return;
    Invalidate();
    for (CControlUI* p = m_parent; p != nullptr; p = p->m_parent)
        p->m_descendantLayoutPending = true;
    if (m_host != nullptr)
        m_host->SetUpdateNeeded();
}

void CControlUI::PlacePendingLayouts()
{
    if (!IsVisible()) {
        // Shown again, the subtree is pending as a whole.
        m_descendantLayoutPending = false;
        return;
    }
    if (m_layoutPending) {
        RECT bounds = m_bounds;
        SetBounds(bounds);
    }
    if (!m_descendantLayoutPending)
        return;
    // Cleared first: a request made while the children are placed marks
    // the path again for the next pass.
    m_descendantLayoutPending = false;
    PlacePendingChildren();
}

void CControlUI::PlacePendingChildren()
{
}

void CControlUI::RequestParentLayout()
{
    if (m_parent != nullptr) {
        m_parent->RequestLayout();
        m_parent->Invalidate();
    } else {
        RequestLayout();
    }
    if (m_host != nullptr)
        m_host->SetUpdateNeeded();
}

} // namespace ui
