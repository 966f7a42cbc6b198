#include "ui/controls/LabelUI.h"

#include <cstring>

#include "ui/base/AttributeValue.h"
#include "ui/core/WindowHostUI.h"
#include "ui/gfx/Renderer.h"

namespace ui {

CLabelUI::CLabelUI()
    : m_textColor(0)
    , m_disabledTextColor(0)
    , m_font(-1)
    , m_textStyle(DT_VCENTER)
    , m_textPadding()
    , m_showHtml(false)
{
}

const char* CLabelUI::GetClassName() const { return "LabelUI"; }

UINT CLabelUI::GetBehaviorFlags() const { return ControlFlagShortcutToNext; }

void* CLabelUI::FindInterface(const char* name)
{
    if (name != nullptr && strcmp(name, "Label") == 0)
        return this;
    return CControlUI::FindInterface(name);
}

void CLabelUI::HandleEvent(UIEvent& event)
{
    switch (event.type) {
    case EventMouseEnter:
    case EventMouseLeave:
        return;
    case EventSetFocus:
        m_focused = true;
        return;
    case EventKillFocus:
        m_focused = false;
        return;
    default:
        CControlUI::HandleEvent(event);
        return;
    }
}

void CLabelUI::SetAttribute(const char* name, const char* value)
{
    if (name == nullptr)
        return;
    if (value == nullptr)
        value = "";
    if (strcmp(name, "align") == 0) {
        // Each word found anywhere in the value applies, in this order.
        UINT style = m_textStyle;
        if (strstr(value, "left") != nullptr)
            style &= ~(DT_CENTER | DT_RIGHT | DT_BOTTOM);
        if (strstr(value, "center") != nullptr) {
            style &= ~(DT_RIGHT | DT_BOTTOM);
            style |= DT_CENTER;
        }
        if (strstr(value, "right") != nullptr) {
            style &= ~(DT_CENTER | DT_BOTTOM);
            style |= DT_RIGHT;
        }
        // The vertical words leave the horizontal alignment alone, so that
        // "right bottom" keeps both.
        if (strstr(value, "top") != nullptr)
            style &= ~(DT_VCENTER | DT_BOTTOM);
        if (strstr(value, "bottom") != nullptr) {
            style &= ~DT_VCENTER;
            style |= DT_BOTTOM;
        }
        SetTextStyle(style);
    } else if (strcmp(name, "endellipsis") == 0) {
        if (ReadBoolValue(value))
            SetTextStyle(m_textStyle | DT_END_ELLIPSIS);
        else
            SetTextStyle(m_textStyle & ~DT_END_ELLIPSIS);
    } else if (strcmp(name, "font") == 0) {
        SetFont(ReadIntValue(value));
    } else if (strcmp(name, "textcolor") == 0) {
        SetTextColor(ReadColorValue(value, false));
    } else if (strcmp(name, "disabledtextcolor") == 0) {
        SetDisabledTextColor(ReadColorValue(value, false));
    } else if (strcmp(name, "textpadding") == 0) {
        SetTextPadding(ReadRectValue<RECT>(value));
    } else if (strcmp(name, "showhtml") == 0) {
        SetShowHtml(ReadBoolValue(value));
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

SIZE CLabelUI::MeasureSize(SIZE available)
{
    (void)available;
    SIZE size = { m_presetWidth, m_presetHeight };
    if (size.cy == 0 && m_host != nullptr)
        size.cy = m_host->GetFontRecord(m_font)->metrics.tmHeight + 4;
    return size;
}

void CLabelUI::SetTextColor(DWORD color)
{
    m_textColor = color;
    Invalidate();
}

void CLabelUI::SetDisabledTextColor(DWORD color)
{
    m_disabledTextColor = color;
    Invalidate();
}

void CLabelUI::SetFont(int index)
{
    m_font = index;
    Invalidate();
}

void CLabelUI::SetTextStyle(UINT style)
{
    m_textStyle = style;
    Invalidate();
}

void CLabelUI::SetTextPadding(const RECT& padding)
{
    m_textPadding = padding;
    Invalidate();
}

void CLabelUI::SetShowHtml(bool show)
{
    if (m_showHtml == show)
        return;
    m_showHtml = show;
    Invalidate();
}

void CLabelUI::FillDefaultColors()
{
    if (m_textColor == 0)
        m_textColor = m_host->GetDefaultTextColor();
    if (m_disabledTextColor == 0)
        m_disabledTextColor = m_host->GetDisabledTextColor();
}

RECT CLabelUI::TextRect() const
{
    RECT rc = m_bounds;
    rc.left += m_textPadding.left;
    rc.top += m_textPadding.top;
    rc.right -= m_textPadding.right;
    rc.bottom -= m_textPadding.bottom;
    return rc;
}

void CLabelUI::DrawLabelText(HDC dc, DWORD color, UINT style)
{
    RECT rc = TextRect();
    if (m_showHtml) {
        int links = 0;
        CRenderer::DrawMarkupText(dc, m_host, rc, m_text.GetData(), color, nullptr, nullptr, links, style,
                                  &m_layoutCache);
    } else {
        CRenderer::DrawPlainText(dc, m_host, rc, m_text.GetData(), color, m_font, style);
    }
}

void CLabelUI::PaintText(HDC dc)
{
    if (m_host == nullptr)
        return;
    FillDefaultColors();
    if (m_text.IsEmpty())
        return;
    DrawLabelText(dc, IsEnabled() ? m_textColor : m_disabledTextColor, m_textStyle | DT_SINGLELINE);
}

} // namespace ui
