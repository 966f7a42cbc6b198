#pragma once

// CButtonUI: a label that reacts to the mouse and the keyboard, shows an
// image per interaction state and sends "click" when activated: on release
// inside it after a press inside it, or on space or return while focused.

#include "ui/controls/LabelUI.h"

namespace ui {

class CButtonUI : public CLabelUI
{
public:
    CButtonUI();

    const char* GetClassName() const override;
    void* FindInterface(const char* name) override;
    UINT GetBehaviorFlags() const override;
    // Sends "click" when visible and enabled; false otherwise.
    bool Activate() override;
    // Disabling clears every state bit.
    void SetEnabled(bool enabled) override;
    void HandleEvent(UIEvent& event) override;
    void SetAttribute(const char* name, const char* value) override;
    void PaintStateImages(HDC dc) override;
    void PaintText(HDC dc) override;

    UINT GetButtonState() const { return m_state; }

    // 0 means none: the label's colours apply.
    DWORD GetHotTextColor() const { return m_hotTextColor; }
    void SetHotTextColor(DWORD color) { m_hotTextColor = color; }
    DWORD GetPushedTextColor() const { return m_pushedTextColor; }
    void SetPushedTextColor(DWORD color) { m_pushedTextColor = color; }
    DWORD GetFocusedTextColor() const { return m_focusedTextColor; }
    void SetFocusedTextColor(DWORD color) { m_focusedTextColor = color; }

    // Image attribute strings per state. An image that fails to draw is
    // cleared, so that it is not looked for again at every paint.
    const char* GetNormalImage() const { return m_normalImage.GetData(); }
    void SetNormalImage(const char* image);
    const char* GetHotImage() const { return m_hotImage.GetData(); }
    void SetHotImage(const char* image);
    const char* GetPushedImage() const { return m_pushedImage.GetData(); }
    void SetPushedImage(const char* image);
    const char* GetFocusedImage() const { return m_focusedImage.GetData(); }
    void SetFocusedImage(const char* image);
    const char* GetDisabledImage() const { return m_disabledImage.GetData(); }
    void SetDisabledImage(const char* image);

private:
    // The mouse handlers of HandleEvent.
    void OnMouseMove(POINT pt);
    void SetHot(bool hot);
    void OnPress(POINT pt);
    // Activates on a release inside after a press inside.
    void OnRelease(POINT pt);

    void SetImage(CUIString& field, const char* image);
    // Focused and disabled follow the control's flags at every paint.
    void RefreshState();
    bool Contains(POINT point) const { return ::PtInRect(&m_bounds, point) != FALSE; }

    UINT m_state;
    DWORD m_hotTextColor;
    DWORD m_pushedTextColor;
    DWORD m_focusedTextColor;
    CUIString m_normalImage;
    CUIString m_hotImage;
    CUIString m_pushedImage;
    CUIString m_focusedImage;
    CUIString m_disabledImage;
};

} // namespace ui
