#pragma once

// CBoxLayoutUI, the one algorithm behind the vertical and horizontal
// layouts: children with a size along the axis keep it, the others share
// the rest. It also carries the splitter, a strip at one edge that resizes
// the layout itself when dragged.

#include "ui/core/ContainerUI.h"

namespace ui {

class CBoxLayoutUI : public CContainerUI
{
public:
    UINT GetBehaviorFlags() const override;
    void SetBounds(const RECT& rect) override;
    void HandleEvent(UIEvent& event) override;
    void SetAttribute(const char* name, const char* value) override;
    void PaintOverlay(HDC dc, const RECT& dirty) override;

    // Thickness of the splitter strip: 0 none; positive at the bottom
    // (vertical) or right (horizontal) edge, negative at the top or left.
    int GetSeparatorSize() const { return m_separatorSize; }
    void SetSeparatorSize(int size) { m_separatorSize = size; }
    // Resize while dragging instead of drawing a tracker (default false).
    bool IsImmediate() const { return m_immediate; }
    void SetImmediate(bool immediate);
    bool IsDragging() const { return (m_buttonState & ButtonCaptured) != 0; }

protected:
    explicit CBoxLayoutUI(bool vertical);

    // The splitter strip of the layout placed at `rc`.
    RECT GetStripRect(const RECT& rc) const;

private:
    // The splitter's part of HandleEvent; false for what goes on to the
    // container.
    bool HandleSplitterEvent(const UIEvent& event);
    // A press on the strip begins a drag; false elsewhere.
    bool StartDrag(POINT pt);
    void DragTo(POINT pt);
    void EndDrag();
    // The resize cursor over the strip; false elsewhere.
    bool SetStripCursor(POINT pt);
    // Moves the dragged edge of the new-position rectangle by `delta`
    // pixels; false when the move is ignored.
    bool DragEdge(int pointer, int delta);

    const bool m_vertical;
    int m_separatorSize;
    UINT m_buttonState;
    bool m_immediate;
    POINT m_lastMouse;
    RECT m_newPos;
};

} // namespace ui
