#include "ui/controls/ScrollBarUI.h"

#include <string.h>

#include <new>

#include "ui/base/AttributeValue.h"
#include "ui/core/WindowHostUI.h"
#include "ui/gfx/Renderer.h"

// Sections: construction and setters; layout; events; attributes;
// painting.

namespace ui {

namespace {

const int kDefaultButtonSize = 16;
// Outline of a button or thumb that has no image to show.
const DWORD kOutlineColor = 0xFF85E4FF;
const int kOutlineWidth = 2;

bool Contains(const RECT& rc, POINT pt)
{
    return ::PtInRect(&rc, pt) != FALSE;
}

IScrollBarUI* MakeOwnedBar(CContainerUI* owner, bool horizontal)
{
    CScrollBarUI* bar = new (std::nothrow) CScrollBarUI;
    if (bar == nullptr)
        return nullptr;
    bar->SetOwner(owner);
    bar->SetHorizontal(horizontal);
    return bar;
}

} // namespace

// ---- construction and setters ---------------------------------------------

CScrollBarUI::CScrollBarUI()
    : m_horizontal(false),
      m_range(100),
      m_position(0),
      m_lineSize(8),
      m_owner(nullptr),
      m_lastMouse(),
      m_dragStartPosition(0),
      m_dragDelta(0),
      m_repeatCount(0),
      m_background(),
      m_button1(),
      m_button2(),
      m_thumb(),
      m_rail()
{
    m_button1.shown = true;
    m_button2.shown = true;
    m_presetWidth = kDefaultButtonSize;
}

void CScrollBarUI::InstallFactory()
{
    CContainerUI::SetScrollBarFactory(MakeOwnedBar);
}

const char* CScrollBarUI::GetClassName() const { return "ScrollBarUI"; }

void* CScrollBarUI::FindInterface(const char* name)
{
    if (name != nullptr && (strcmp(name, "ScrollBar") == 0 || strcmp(name, "Control") == 0))
        return this;
    return nullptr;
}

void CScrollBarUI::SetHorizontal(bool horizontal)
{
    if (m_horizontal == horizontal)
        return;
    m_horizontal = horizontal;
    if (horizontal && m_presetHeight == 0) {
        m_presetWidth = 0;
        m_presetHeight = kDefaultButtonSize;
    } else if (!horizontal && m_presetWidth == 0) {
        m_presetWidth = kDefaultButtonSize;
        m_presetHeight = 0;
    }
    if (m_owner != nullptr)
        m_owner->RequestLayout();
    else
        RequestParentLayout();
}

void CScrollBarUI::SetRange(int range)
{
    if (range < 0)
        range = 0;
    if (m_range == range)
        return;
    m_range = range;
    if (m_position > m_range)
        m_position = m_range;
    SetBounds(m_bounds);
}

void CScrollBarUI::SetPosition(int position)
{
    if (position < 0)
        position = 0;
    if (position > m_range)
        position = m_range;
    if (m_position == position)
        return;
    m_position = position;
    SetBounds(m_bounds);
}

void CScrollBarUI::SetShowButton1(bool show)
{
    m_button1.shown = show;
    SetBounds(m_bounds);
}

void CScrollBarUI::SetShowButton2(bool show)
{
    m_button2.shown = show;
    SetBounds(m_bounds);
}

void CScrollBarUI::SetVisible(bool visible)
{
    // The owner places and shows its bars itself: no layout request here.
    if (m_visible == visible)
        return;
    m_visible = visible;
    m_focused = false;
    if (!visible)
        DropHostFocus();
}

void CScrollBarUI::SetEnabled(bool enabled)
{
    CControlUI::SetEnabled(enabled);
    if (enabled)
        return;
    m_button1.state = 0;
    m_button2.state = 0;
    m_thumb.state = 0;
    // A press in progress must not go on repeating on a disabled bar.
    m_repeatCount = 0;
    m_dragDelta = 0;
    if (m_host != nullptr)
        m_host->KillControlTimer(this, kRepeatTimerId);
}

void CScrollBarUI::SetFocus()
{
    if (m_owner != nullptr)
        m_owner->SetFocus();
    else if (m_host != nullptr)
        m_host->SetFocusControl(this);
}

// ---- layout ------------------------------------------------------------------

RECT CScrollBarUI::AlongRect(int start, int end, int size) const
{
    RECT rc;
    if (m_horizontal) {
        rc.left = start;
        rc.right = end;
        rc.top = m_bounds.top;
        rc.bottom = m_bounds.top + size;
    } else {
        rc.top = start;
        rc.bottom = end;
        rc.left = m_bounds.left;
        rc.right = m_bounds.left + size;
    }
    return rc;
}

void CScrollBarUI::SetBounds(const RECT& rect)
{
    CControlUI::SetBounds(rect);
    const int s = ButtonSize();
    const int start = AlongStart(m_bounds);
    const int end = AlongEnd(m_bounds);
    const int length = end - start;
    int rail = length;
    if (m_button1.shown)
        rail -= s;
    if (m_button2.shown)
        rail -= s;

    if (s >= rail) {
        // No room for a thumb: the buttons share the length.
        int half = s < length / 2 ? s : length / 2;
        m_button1.rect = m_button1.shown ? AlongRect(start, start + half, s) : AlongRect(start, start, 0);
        m_button2.rect = m_button2.shown ? AlongRect(end - half, end, s) : AlongRect(end, end, 0);
        ::SetRectEmpty(&m_thumb.rect);
        return;
    }

    m_button1.rect = m_button1.shown ? AlongRect(start, start + s, s) : AlongRect(start, start, 0);
    m_button2.rect = m_button2.shown ? AlongRect(end - s, end, s) : AlongRect(end, end, 0);
    const int railStart = AlongEnd(m_button1.rect);
    const int railEnd = AlongStart(m_button2.rect);
    if (m_range <= 0) {
        m_thumb.rect = AlongRect(railStart, railEnd, s);
        return;
    }
    // 64-bit products: a long content times a long bar passes 32 bits.
    long long thumb = static_cast<long long>(length) * rail / (static_cast<long long>(length) + m_range);
    if (thumb < s)
        thumb = s;
    long long top = railStart + (rail - thumb) * m_position / m_range;
    long long bottom = top + thumb;
    if (bottom > railEnd) {
        top = railEnd - thumb;
        bottom = railEnd;
    }
    m_thumb.rect = AlongRect(static_cast<int>(top), static_cast<int>(bottom), s);
}

// ---- events ------------------------------------------------------------------

void CScrollBarUI::LineBack()
{
    if (m_owner == nullptr)
        SetPosition(m_position - m_lineSize);
    else if (m_horizontal)
        m_owner->ScrollLineLeft();
    else
        m_owner->ScrollLineUp();
}

void CScrollBarUI::LineForward()
{
    if (m_owner == nullptr)
        SetPosition(m_position + m_lineSize);
    else if (m_horizontal)
        m_owner->ScrollLineRight();
    else
        m_owner->ScrollLineDown();
}

void CScrollBarUI::PageBack()
{
    if (m_owner == nullptr)
        SetPosition(m_position - Length());
    else if (m_horizontal)
        m_owner->ScrollPageLeft();
    else
        m_owner->ScrollPageUp();
}

void CScrollBarUI::PageForward()
{
    if (m_owner == nullptr)
        SetPosition(m_position + Length());
    else if (m_horizontal)
        m_owner->ScrollPageRight();
    else
        m_owner->ScrollPageDown();
}

void CScrollBarUI::PageTowards(POINT pt)
{
    if (::IsRectEmpty(&m_thumb.rect))
        return;
    int at = Along(pt);
    if (at < AlongStart(m_thumb.rect))
        PageBack();
    else if (at >= AlongEnd(m_thumb.rect))
        PageForward();
}

void CScrollBarUI::ApplyDrag()
{
    int position = m_dragStartPosition + m_dragDelta;
    if (m_owner == nullptr) {
        SetPosition(position);
        return;
    }
    SIZE pos = m_owner->GetScrollPos();
    if (m_horizontal)
        pos.cx = position;
    else
        pos.cy = position;
    m_owner->SetScrollPos(pos);
}

void CScrollBarUI::NotifyScroll()
{
    if (m_host != nullptr && m_owner == nullptr)
        m_host->SendNotification(this, "scroll", 0, 0);
}

void CScrollBarUI::HandleEvent(UIEvent& event)
{
    const bool mouse = event.type >= EventMouseFirst && event.type <= EventMouseLast;
    if ((!mouse || AcceptsMouse()) && HandleOwnEvent(event))
        return;
    if (m_owner != nullptr)
        m_owner->HandleEvent(event);
    else
        CControlUI::HandleEvent(event);
}

bool CScrollBarUI::HandleOwnEvent(const UIEvent& event)
{
    switch (event.type) {
    case EventButtonDown:
    case EventDblClick:
        OnPress(event.mousePoint);
        return true;
    case EventMouseMove:
        OnMouseMove(event.mousePoint);
        return true;
    case EventButtonUp:
        OnRelease();
        return true;
    case EventTimer:
        if (event.wParam != kRepeatTimerId)
            return false;
        OnRepeatTimer();
        return true;
    case EventMouseEnter:
        OnMouseEnter(event.mousePoint);
        return true;
    case EventMouseLeave:
        OnMouseLeave();
        return true;
    case EventContextMenu:
    case EventKillFocus:
    case EventSetFocus:
        return true;
    default:
        return false;
    }
}

void CScrollBarUI::OnPress(POINT pt)
{
    if (!IsEnabled())
        return;
    m_dragDelta = 0;
    m_repeatCount = 0;
    if (m_host != nullptr)
        m_host->SetControlTimer(this, kRepeatTimerId, kRepeatPeriodMs);
    if (Contains(m_button1.rect, pt)) {
        m_button1.state |= ButtonPushed;
        LineBack();
    } else if (Contains(m_button2.rect, pt)) {
        m_button2.state |= ButtonPushed;
        LineForward();
    } else if (Contains(m_thumb.rect, pt)) {
        m_thumb.state |= ButtonCaptured | ButtonPushed;
        m_lastMouse = pt;
        m_dragStartPosition = m_position;
    } else {
        PageTowards(pt);
    }
    Invalidate();
    NotifyScroll();
}

void CScrollBarUI::OnMouseMove(POINT pt)
{
    if ((m_thumb.state & ButtonCaptured) != 0) {
        // The thumb's free travel maps onto the whole range. The travel is
        // measured between the buttons actually shown.
        int travel = AlongStart(m_button2.rect) - AlongEnd(m_button1.rect)
                     - (AlongEnd(m_thumb.rect) - AlongStart(m_thumb.rect));
        if (travel > 0) {
            long long moved = Along(pt) - Along(m_lastMouse);
            m_dragDelta = static_cast<int>(moved * m_range / travel);
        } else {
            m_dragDelta = 0;
        }
    } else if (IsEnabled()) {
        bool inside = Contains(m_thumb.rect, pt);
        if (inside != ((m_thumb.state & ButtonHot) != 0)) {
            m_thumb.state ^= ButtonHot;
            Invalidate();
        }
    }
}

void CScrollBarUI::OnRelease()
{
    m_repeatCount = 0;
    m_dragDelta = 0;
    if (m_host != nullptr)
        m_host->KillControlTimer(this, kRepeatTimerId);
    if ((m_thumb.state & ButtonCaptured) != 0)
        m_thumb.state &= ~(ButtonCaptured | ButtonPushed);
    else if ((m_button1.state & ButtonPushed) != 0)
        m_button1.state &= ~ButtonPushed;
    else if ((m_button2.state & ButtonPushed) != 0)
        m_button2.state &= ~ButtonPushed;
    else
        return;
    Invalidate();
}

void CScrollBarUI::OnRepeatTimer()
{
    int before = m_repeatCount++;
    if ((m_thumb.state & ButtonCaptured) != 0) {
        ApplyDrag();
        Invalidate();
        NotifyScroll();
        return;
    }
    if (before < kRepeatDelayTicks)
        return;
    if ((m_button1.state & ButtonPushed) != 0) {
        LineBack();
    } else if ((m_button2.state & ButtonPushed) != 0) {
        LineForward();
    } else if (m_host != nullptr && m_host->GetHostWindow() != nullptr) {
        POINT pt;
        ::GetCursorPos(&pt);
        ::ScreenToClient(m_host->GetHostWindow(), &pt);
        PageTowards(pt);
    }
    NotifyScroll();
}

void CScrollBarUI::OnMouseEnter(POINT pt)
{
    if (!IsEnabled())
        return;
    m_button1.state |= ButtonHot;
    m_button2.state |= ButtonHot;
    if (Contains(m_thumb.rect, pt))
        m_thumb.state |= ButtonHot;
    Invalidate();
}

void CScrollBarUI::OnMouseLeave()
{
    if (!IsEnabled())
        return;
    m_button1.state &= ~ButtonHot;
    m_button2.state &= ~ButtonHot;
    m_thumb.state &= ~ButtonHot;
    Invalidate();
}

// ---- attributes ----------------------------------------------------------------

namespace {

struct ImageAttribute
{
    const char* name;
    int part;  // 0 background, 1 button 1, 2 button 2, 3 thumb, 4 rail
    int state; // 0 normal, 1 hot, 2 pushed, 3 disabled
};

const ImageAttribute kImageAttributes[] = {
    { "button1normalimage", 1, 0 }, { "button1hotimage", 1, 1 },
    { "button1pushedimage", 1, 2 }, { "button1disabledimage", 1, 3 },
    { "button2normalimage", 2, 0 }, { "button2hotimage", 2, 1 },
    { "button2pushedimage", 2, 2 }, { "button2disabledimage", 2, 3 },
    { "thumbnormalimage", 3, 0 },   { "thumbhotimage", 3, 1 },
    { "thumbpushedimage", 3, 2 },   { "thumbdisabledimage", 3, 3 },
    { "railnormalimage", 4, 0 },    { "railhotimage", 4, 1 },
    { "railpushedimage", 4, 2 },    { "raildisabledimage", 4, 3 },
    { "bknormalimage", 0, 0 },      { "bkhotimage", 0, 1 },
    { "bkpushedimage", 0, 2 },      { "bkdisabledimage", 0, 3 },
};

} // namespace

void CScrollBarUI::SetImage(CUIString& field, const char* value)
{
    field.Assign(value);
    Invalidate();
}

void CScrollBarUI::SetAttribute(const char* name, const char* value)
{
    if (name == nullptr)
        return;
    if (value == nullptr)
        value = "";
    for (const ImageAttribute& attribute : kImageAttributes) {
        if (strcmp(name, attribute.name) != 0)
            continue;
        Part* parts[] = { &m_background, &m_button1, &m_button2, &m_thumb, &m_rail };
        Part& part = *parts[attribute.part];
        CUIString* images[] = { &part.normal, &part.hot, &part.pushed, &part.disabled };
        SetImage(*images[attribute.state], value);
        return;
    }
    if (strcmp(name, "hor") == 0)
        SetHorizontal(ReadBoolValue(value));
    else if (strcmp(name, "linesize") == 0)
        SetLineSize(ReadIntValue(value));
    else if (strcmp(name, "range") == 0)
        SetRange(ReadIntValue(value));
    else if (strcmp(name, "value") == 0)
        SetPosition(ReadIntValue(value));
    else if (strcmp(name, "showbutton1") == 0)
        SetShowButton1(ReadBoolValue(value));
    else if (strcmp(name, "showbutton2") == 0)
        SetShowButton2(ReadBoolValue(value));
    else
        CControlUI::SetAttribute(name, value);
}

// ---- painting --------------------------------------------------------------------

bool CScrollBarUI::PaintPart(HDC dc, Part& images, UINT state, const RECT& rect, bool relative)
{
    const char* modify = nullptr;
    if (relative) {
        m_destModifier.Format("dest='%d,%d,%d,%d'", rect.left - m_bounds.left, rect.top - m_bounds.top,
                              rect.right - m_bounds.left, rect.bottom - m_bounds.top);
        modify = m_destModifier.GetData();
    }
    CUIString* chosen = nullptr;
    if ((state & ButtonDisabled) != 0)
        chosen = &images.disabled;
    else if ((state & ButtonPushed) != 0)
        chosen = &images.pushed;
    else if ((state & ButtonHot) != 0)
        chosen = &images.hot;
    // An image that cannot be drawn is cleared, so that it is not looked
    // for again at every paint.
    if (chosen != nullptr && !chosen->IsEmpty()) {
        if (PaintImage(dc, chosen->GetData(), modify))
            return true;
        chosen->Empty();
    }
    if (images.normal.IsEmpty())
        return false;
    if (PaintImage(dc, images.normal.GetData(), modify))
        return true;
    images.normal.Empty();
    return false;
}

void CScrollBarUI::Paint(HDC dc, const RECT& dirty)
{
    if (!::IntersectRect(&m_paintRect, &dirty, &m_bounds))
        return;
    const UINT disabled = IsEnabled() ? 0 : ButtonDisabled;
    struct State
    {
        static void Refresh(UINT& state, UINT disabledBit)
        {
            state = (state & ~static_cast<UINT>(ButtonDisabled)) | disabledBit;
        }
    };

    State::Refresh(m_thumb.state, disabled);
    PaintPart(dc, m_background, m_thumb.state, m_bounds, false);

    Part* buttons[] = { &m_button1, &m_button2 };
    for (Part* button : buttons) {
        if (!button->shown)
            continue;
        State::Refresh(button->state, disabled);
        if (!PaintPart(dc, *button, button->state, button->rect, true))
            CRenderer::StrokeRect(dc, button->rect, kOutlineWidth, kOutlineColor);
    }

    if (::IsRectEmpty(&m_thumb.rect))
        return;
    if (!PaintPart(dc, m_thumb, m_thumb.state, m_thumb.rect, true))
        CRenderer::StrokeRect(dc, m_thumb.rect, kOutlineWidth, kOutlineColor);

    // The rail mark: a square of the button size in the thumb's middle.
    const int s = ButtonSize();
    RECT mark = m_thumb.rect;
    if (m_horizontal) {
        mark.left = (m_thumb.rect.left + m_thumb.rect.right) / 2 - s / 2;
        mark.right = mark.left + s;
    } else {
        mark.top = (m_thumb.rect.top + m_thumb.rect.bottom) / 2 - s / 2;
        mark.bottom = mark.top + s;
    }
    PaintPart(dc, m_rail, m_thumb.state, mark, true);
}

} // namespace ui
