#pragma once

// CContainerUI, a control that owns child controls; IContainerUI, the
// child-list facet the skin builder adds children through; IScrollBarUI,
// a scroll bar as its container sees it.

#include "ui/core/ControlUI.h"

namespace ui {

class CContainerUI;
// The stock bar of the controls layer; core knows it only by name.
class CScrollBarUI;

// What a container needs of its scroll bars. The bars come from the
// factory the controls layer installs (CContainerUI::SetScrollBarFactory);
// the container owns them and deletes them as controls.
class IScrollBarUI
{
public:
    // The bar as a control: visibility, enabled state, preset size, host,
    // bounds, painting.
    virtual CControlUI* GetControl() = 0;
    virtual int GetRange() const = 0;
    // The bar clamps the range to 0 and above.
    virtual void SetRange(int range) = 0;
    virtual int GetPosition() const = 0;
    // The bar clamps the position into 0 … range.
    virtual void SetPosition(int position) = 0;

protected:
    virtual ~IScrollBarUI() {}
};

// Makes a bar owned by `owner`, horizontal or vertical; null when it cannot.
typedef IScrollBarUI* (*UIScrollBarFactory)(CContainerUI* owner, bool horizontal);

// The child list of a container; FindInterface("IContainer") returns it.
class IContainerUI
{
public:
    // Null outside 0 … count - 1.
    virtual CControlUI* GetChildAt(int index) const = 0;
    // The index, or -1.
    virtual int GetChildIndex(CControlUI* control) const = 0;
    // False when the control is not a child; with an index out of range the
    // control has left the list by then.
    virtual bool MoveChildTo(CControlUI* control, int index) = 0;
    virtual int GetChildCount() const = 0;
    // The container takes ownership; false for null.
    virtual bool AddChild(CControlUI* control) = 0;
    // False for an index outside 0 … count.
    virtual bool InsertChild(CControlUI* control, int index) = 0;
    // Disposes of the child when the container owns its children.
    virtual bool RemoveChild(CControlUI* control) = 0;
    virtual bool RemoveChildAt(int index) = 0;
    virtual void RemoveAllChildren() = 0;

protected:
    virtual ~IContainerUI() {}
};

class CContainerUI : public CControlUI, public IContainerUI
{
public:
    CContainerUI();
    ~CContainerUI() override;

    const char* GetClassName() const override;
    void* FindInterface(const char* name) override;

    // IContainerUI.
    CControlUI* GetChildAt(int index) const override;
    int GetChildIndex(CControlUI* control) const override;
    bool MoveChildTo(CControlUI* control, int index) override;
    int GetChildCount() const override;
    bool AddChild(CControlUI* control) override;
    bool InsertChild(CControlUI* control, int index) override;
    bool RemoveChild(CControlUI* control) override;
    bool RemoveChildAt(int index) override;
    void RemoveAllChildren() override;

    // Overridden control operations.
    void SetHost(CWindowHostUI* host, CControlUI* parent, bool initialize) override;
    void SetBounds(const RECT& rect) override;
    void SetVisible(bool visible) override;
    void SetParentVisible(bool visible) override;
    void SetAcceptsMouse(bool accepts) override;
    CControlUI* FindControl(UIFindVisitor visitor, void* data, UINT flags) override;
    void HandleEvent(UIEvent& event) override;
    void SetAttribute(const char* name, const char* value) override;
    void Paint(HDC dc, const RECT& dirty) override;

    // Space between the bounds and the children.
    virtual RECT GetInset() const;
    virtual void SetInset(const RECT& inset);
    // Gap between consecutive children of a layout.
    virtual int GetChildPadding() const;
    virtual void SetChildPadding(int padding);
    // Removed children are deleted (default true).
    virtual bool OwnsChildren() const;
    virtual void SetOwnsChildren(bool owns);
    // Removed children go to the host's delayed deletion (default true).
    virtual bool DeletesLater() const;
    virtual void SetDeletesLater(bool later);
    // Hit tests reach the children (default true).
    virtual bool ChildrenTakeMouse() const;
    virtual void SetChildrenTakeMouse(bool take);
    // The nearest visible, enabled list item from `index`, or -1.
    virtual int FindSelectableItem(int index, bool forward) const;

    // Scrolling: positions and ranges are (horizontal, vertical), 0 for a
    // bar that is absent or hidden.
    virtual SIZE GetScrollPos() const;
    virtual SIZE GetScrollRange() const;
    virtual void SetScrollPos(SIZE pos);
    // Moves the position by (dx, dy); every scroll operation below comes
    // here.
    virtual void ScrollBy(int dx, int dy);
    virtual void ScrollLineUp();
    virtual void ScrollLineDown();
    virtual void ScrollPageUp();
    virtual void ScrollPageDown();
    virtual void ScrollToTop();
    virtual void ScrollToBottom();
    virtual void ScrollLineLeft();
    virtual void ScrollLineRight();
    virtual void ScrollPageLeft();
    virtual void ScrollPageRight();
    virtual void ScrollToLeft();
    virtual void ScrollToRight();
    // Without a factory installed, a container has no bars.
    virtual void EnableScrollBars(bool vertical, bool horizontal);
    // The bars when they are stock bars, else null.
    virtual CScrollBarUI* GetVerticalScrollBar() const;
    virtual CScrollBarUI* GetHorizontalScrollBar() const;

    // The maker of the bars of every container; none by default. Returns the
    // previous one.
    static UIScrollBarFactory SetScrollBarFactory(UIScrollBarFactory factory);

    // Places a visible floating child by its float offset, preset size and
    // relative placement inside the bounds.
    virtual void PlaceFloatingChild(int index);
    // Shows, hides and places the scroll bars after a layout of the client
    // rectangle `rect` that needed the given size.
    virtual void UpdateScrollBars(const RECT& rect, int requiredWidth, int requiredHeight);

protected:
    void PlacePendingChildren() override;
    // Marks the container as placing its children for the life of the
    // object; a layout makes one after it has set its own bounds.
    class ChildPlacement
    {
    public:
        explicit ChildPlacement(CContainerUI* owner) : m_owner(owner), m_was(owner->m_placingChildren)
        {
            owner->m_placingChildren = true;
        }
        ~ChildPlacement() { m_owner->m_placingChildren = m_was; }
        ChildPlacement(const ChildPlacement&) = delete;
        ChildPlacement& operator=(const ChildPlacement&) = delete;

    private:
        CContainerUI* m_owner;
        bool m_was;
    };
    // Lays the children out again at the present bounds.
    void PlaceAgain();

    // The container's own children. The layouts walk these, never the
    // child-list operations above, which a subclass may answer for other
    // controls than its own (a list answers for its items).
    CControlUI* ChildAt(int index) const { return static_cast<CControlUI*>(m_children.GetAt(index)); }
    int ChildIndex(CControlUI* control) const { return control != nullptr ? m_children.Find(control) : -1; }
    int ChildCount() const { return m_children.GetSize(); }
    // The bounds minus the inset, minus the visible scroll bars.
    RECT GetClientRect() const;
    // Deletes or hands over a removed child, as the flags say.
    void DisposeOfChild(CControlUI* control);
    // The bars seen through the operations the container needs of them.
    bool IsVerticalBarVisible() const;
    bool IsHorizontalBarVisible() const;
    int GetVerticalBarWidth() const;
    int GetHorizontalBarHeight() const;
    // What a page step moves: the client size across the bars.
    int PageWidth() const;
    int PageHeight() const;

    CUIPtrArray m_children;
    RECT m_inset;
    int m_childPadding;
    bool m_ownsChildren;
    bool m_deletesLater;
    bool m_childrenTakeMouse;
    bool m_inScrollUpdate;
    IScrollBarUI* m_verticalBar;
    IScrollBarUI* m_horizontalBar;
};

} // namespace ui
