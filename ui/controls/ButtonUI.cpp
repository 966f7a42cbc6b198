#include "ui/controls/ButtonUI.h"

#include <cstring>

#include "ui/base/AttributeValue.h"
#include "ui/core/WindowHostUI.h"

namespace ui {

CButtonUI::CButtonUI()
    : m_state(0)
    , m_hotTextColor(0)
    , m_pushedTextColor(0)
    , m_focusedTextColor(0)
{
    m_textStyle = DT_SINGLELINE | DT_VCENTER | DT_CENTER;
}

const char* CButtonUI::GetClassName() const { return "ButtonUI"; }

void* CButtonUI::FindInterface(const char* name)
{
    if (name != nullptr && strcmp(name, "Button") == 0)
        return this;
    return CLabelUI::FindInterface(name);
}

UINT CButtonUI::GetBehaviorFlags() const
{
    UINT flags = IsEnabled() ? ControlFlagSetCursor : 0;
    if (AcceptsKeyboard())
        flags |= ControlFlagTabStop;
    return flags;
}

bool CButtonUI::Activate()
{
    if (!CLabelUI::Activate())
        return false;
    if (m_host != nullptr)
        m_host->SendNotification(this, "click", 0, 0);
    return true;
}

void CButtonUI::SetEnabled(bool enabled)
{
    CLabelUI::SetEnabled(enabled);
    if (!enabled)
        m_state = 0;
}

void CButtonUI::HandleEvent(UIEvent& event)
{
    if (event.type >= EventMouseFirst && event.type <= EventMouseLast && !AcceptsMouse()) {
        if (m_parent != nullptr)
            m_parent->HandleEvent(event);
        else
            CLabelUI::HandleEvent(event);
        return;
    }
    if (event.type == EventSetFocus || event.type == EventKillFocus)
        Invalidate();
    if (event.type == EventKeyDown && AcceptsKeyboard()) {
        if (event.key == VK_SPACE || event.key == VK_RETURN) {
            Activate();
            return;
        }
    }

    switch (event.type) {
    case EventMouseMove:
        OnMouseMove(event.mousePoint);
        return;
    case EventMouseLeave:
        SetHot(false);
        return;
    case EventMouseEnter:
        SetHot(true);
        return;
    case EventButtonDown:
    case EventDblClick:
        OnPress(event.mousePoint);
        return;
    case EventButtonUp:
        OnRelease(event.mousePoint);
        return;
    case EventContextMenu:
        if (WantsContextMenu() && m_host != nullptr)
            m_host->SendNotification(this, "menu", event.wParam, event.lParam);
        return;
    case EventSetCursor:
        ::SetCursor(::LoadCursorA(nullptr, IDC_HAND));
        return;
    default:
        CLabelUI::HandleEvent(event);
        return;
    }
}

void CButtonUI::OnMouseMove(POINT pt)
{
    if ((m_state & ButtonCaptured) == 0)
        return;
    if (Contains(pt))
        m_state |= ButtonPushed;
    else
        m_state &= ~ButtonPushed;
    Invalidate();
}

void CButtonUI::SetHot(bool hot)
{
    if (!IsEnabled())
        return;
    if (hot)
        m_state |= ButtonHot;
    else
        m_state &= ~ButtonHot;
    Invalidate();
}

void CButtonUI::OnPress(POINT pt)
{
    if (!Contains(pt) || !IsEnabled())
        return;
    m_state |= ButtonPushed | ButtonCaptured;
    Invalidate();
}

void CButtonUI::OnRelease(POINT pt)
{
    if ((m_state & ButtonCaptured) == 0)
        return;
    if (Contains(pt))
        Activate();
    m_state &= ~(ButtonPushed | ButtonCaptured);
    Invalidate();
}

void CButtonUI::SetAttribute(const char* name, const char* value)
{
    if (name == nullptr)
        return;
    if (value == nullptr)
        value = "";
    if (strcmp(name, "normalimage") == 0)
        SetNormalImage(value);
    else if (strcmp(name, "hotimage") == 0)
        SetHotImage(value);
    else if (strcmp(name, "pushedimage") == 0)
        SetPushedImage(value);
    else if (strcmp(name, "focusedimage") == 0)
        SetFocusedImage(value);
    else if (strcmp(name, "disabledimage") == 0)
        SetDisabledImage(value);
    else if (strcmp(name, "hottextcolor") == 0)
        SetHotTextColor(ReadColorValue(value, false));
    else if (strcmp(name, "pushedtextcolor") == 0)
        SetPushedTextColor(ReadColorValue(value, false));
    else if (strcmp(name, "focusedtextcolor") == 0)
        SetFocusedTextColor(ReadColorValue(value, false));
    else
        CLabelUI::SetAttribute(name, value);
}

void CButtonUI::SetImage(CUIString& field, const char* image)
{
    field.Assign(image);
    Invalidate();
}

void CButtonUI::SetNormalImage(const char* image) { SetImage(m_normalImage, image); }
void CButtonUI::SetHotImage(const char* image) { SetImage(m_hotImage, image); }
void CButtonUI::SetPushedImage(const char* image) { SetImage(m_pushedImage, image); }
void CButtonUI::SetFocusedImage(const char* image) { SetImage(m_focusedImage, image); }
void CButtonUI::SetDisabledImage(const char* image) { SetImage(m_disabledImage, image); }

void CButtonUI::RefreshState()
{
    if (IsFocused())
        m_state |= ButtonFocused;
    else
        m_state &= ~ButtonFocused;
    if (!IsEnabled())
        m_state |= ButtonDisabled;
    else
        m_state &= ~ButtonDisabled;
}

void CButtonUI::PaintStateImages(HDC dc)
{
    RefreshState();
    CUIString* state = nullptr;
    if ((m_state & ButtonDisabled) != 0)
        state = &m_disabledImage;
    else if ((m_state & ButtonPushed) != 0)
        state = &m_pushedImage;
    else if ((m_state & ButtonHot) != 0)
        state = &m_hotImage;
    else if ((m_state & ButtonFocused) != 0)
        state = &m_focusedImage;
    if (state != nullptr && !state->IsEmpty()) {
        if (PaintImage(dc, state->GetData()))
            return;
        state->Empty();
    }
    if (!m_normalImage.IsEmpty() && !PaintImage(dc, m_normalImage.GetData()))
        m_normalImage.Empty();
}

void CButtonUI::PaintText(HDC dc)
{
    RefreshState();
    if (m_host == nullptr)
        return;
    FillDefaultColors();
    if (m_text.IsEmpty())
        return;
    DWORD color;
    if ((m_state & ButtonPushed) != 0 && m_pushedTextColor != 0) {
        color = m_pushedTextColor;
    } else if ((m_state & ButtonHot) != 0 && m_hotTextColor != 0) {
        color = m_hotTextColor;
    } else {
        color = IsEnabled() ? m_textColor : m_disabledTextColor;
        if ((m_state & ButtonFocused) != 0 && m_focusedTextColor != 0)
            color = m_focusedTextColor;
    }
    DrawLabelText(dc, color, m_textStyle);
}

} // namespace ui
