#pragma once

// CScrollBarUI: an arrow button at each end, a thumb that shows and sets
// the position, a rail mark drawn in the thumb's middle, and a background.
// A bar owned by a container hands every step to the owner's scroll
// operations, which move the content; a bar without an owner moves only its
// own position and sends "scroll" after each press and repeat step.

#include "ui/core/ContainerUI.h"

namespace ui {

class CScrollBarUI : public CControlUI, public IScrollBarUI
{
public:
    // The control timer that repeats steps and applies thumb drags.
    static const UINT kRepeatTimerId = 10;
    static const UINT kRepeatPeriodMs = 50;
    // Ticks skipped after a press before steps repeat (300 ms).
    static const int kRepeatDelayTicks = 5;

    CScrollBarUI();

    // Makes containers take these bars for "vscrollbar" and "hscrollbar".
    static void InstallFactory();

    const char* GetClassName() const override;
    void* FindInterface(const char* name) override;

    // A change swaps the preset sizes to 16 across the bar when the new
    // cross size is 0, then asks for a layout.
    bool IsHorizontal() const { return m_horizontal; }
    void SetHorizontal(bool horizontal);
    // IScrollBarUI. Below 0 the range counts as 0; the position follows
    // into the new range.
    CControlUI* GetControl() override { return this; }
    int GetRange() const override { return m_range; }
    void SetRange(int range) override;
    // Clamped into 0 … range.
    int GetPosition() const override { return m_position; }
    void SetPosition(int position) override;
    // The arrow buttons' step without an owner (default 8).
    int GetLineSize() const { return m_lineSize; }
    void SetLineSize(int size) { m_lineSize = size; }
    CContainerUI* GetOwner() const { return m_owner; }
    void SetOwner(CContainerUI* owner) { m_owner = owner; }
    bool IsButton1Shown() const { return m_button1.shown; }
    void SetShowButton1(bool show);
    bool IsButton2Shown() const { return m_button2.shown; }
    void SetShowButton2(bool show);

    // The parts as the last layout placed them, and their state bits.
    const RECT& GetButton1Rect() const { return m_button1.rect; }
    const RECT& GetButton2Rect() const { return m_button2.rect; }
    const RECT& GetThumbRect() const { return m_thumb.rect; }
    UINT GetButton1State() const { return m_button1.state; }
    UINT GetButton2State() const { return m_button2.state; }
    UINT GetThumbState() const { return m_thumb.state; }

    // The images of the parts; see SetAttribute for the names.
    const char* GetButton1NormalImage() const { return m_button1.normal.GetData(); }
    const char* GetButton2NormalImage() const { return m_button2.normal.GetData(); }
    const char* GetThumbNormalImage() const { return m_thumb.normal.GetData(); }
    const char* GetThumbHotImage() const { return m_thumb.hot.GetData(); }
    const char* GetThumbPushedImage() const { return m_thumb.pushed.GetData(); }
    const char* GetRailNormalImage() const { return m_rail.normal.GetData(); }
    const char* GetBkNormalImage() const { return m_background.normal.GetData(); }

    // Overridden control operations.
    void SetVisible(bool visible) override;
    void SetEnabled(bool enabled) override;
    void SetFocus() override;
    void SetBounds(const RECT& rect) override;
    void HandleEvent(UIEvent& event) override;
    void SetAttribute(const char* name, const char* value) override;
    void Paint(HDC dc, const RECT& dirty) override;

private:
    // One part of the bar: its rectangle, its state bits and its images.
    struct Part
    {
        bool shown;
        RECT rect;
        UINT state;
        CUIString normal;
        CUIString hot;
        CUIString pushed;
        CUIString disabled;
    };

    void SetImage(CUIString& field, const char* value);
    // Draws the state image of `part`'s state, else its normal image, into
    // `rect` (the bar's bounds for the background); true when one drew.
    bool PaintPart(HDC dc, Part& images, UINT state, const RECT& rect, bool relative);

    // The rectangle from `start` to `end` along the bar, `size` across it
    // from the bounds' near edge.
    RECT AlongRect(int start, int end, int size) const;
    int AlongStart(const RECT& rc) const { return m_horizontal ? rc.left : rc.top; }
    int AlongEnd(const RECT& rc) const { return m_horizontal ? rc.right : rc.bottom; }
    int Along(POINT pt) const { return m_horizontal ? pt.x : pt.y; }
    int ButtonSize() const { return m_horizontal ? m_presetHeight : m_presetWidth; }
    int Length() const { return m_horizontal ? GetWidth() : GetHeight(); }

    // The bar's part of HandleEvent; false for what goes on to the owner.
    bool HandleOwnEvent(const UIEvent& event);
    // A press on a button steps, on the thumb begins a drag, elsewhere
    // pages towards the point; steps repeat on the timer.
    void OnPress(POINT pt);
    void OnMouseMove(POINT pt);
    void OnRelease();
    void OnRepeatTimer();
    void OnMouseEnter(POINT pt);
    void OnMouseLeave();

    // One step; through the owner when there is one.
    void LineBack();
    void LineForward();
    void PageBack();
    void PageForward();
    // A page towards `pt`; nothing when it lies level with the thumb.
    void PageTowards(POINT pt);
    void ApplyDrag();
    void NotifyScroll();

    bool m_horizontal;
    int m_range;
    int m_position;
    int m_lineSize;
    CContainerUI* m_owner;
    POINT m_lastMouse;
    int m_dragStartPosition;
    int m_dragDelta;
    int m_repeatCount;
    Part m_background;
    Part m_button1;
    Part m_button2;
    Part m_thumb;
    Part m_rail;
    CUIString m_destModifier;
};

} // namespace ui
