#pragma once

// CControlUI, the base of every element of the control tree.
//
// Sections of this header: find flags and small records; the class with
// its accessors and sizing rules; state flags; tree search and events;
// attributes; painting; repaint and layout requests; fields.

#include <windows.h>

#include "ui/base/UIPtrArray.h"
#include "ui/base/UIString.h"
#include "ui/core/UICallback.h"
#include "ui/core/UIEvent.h"

namespace ui {

class CWindowHostUI;
class CControlUI;

// Flags of FindControl.
enum UIFindFlag : unsigned
{
    FindVisible = 0x1,         // skip invisible controls and subtrees
    FindEnabled = 0x2,         // skip disabled controls and subtrees
    FindHitTest = 0x4,         // data is a POINT that must lie inside the control
    FindTopFirst = 0x8,        // visit children from the last to the first
    FindMeFirst = 0x80000000u, // visit a container before its children
};

// Visitor of FindControl: returns the control to stop the search with, or
// null to go on.
typedef CControlUI* (*UIFindVisitor)(CControlUI* control, void* data);

// The five listener lists of a control.
enum UIListenerKind
{
    ListenInit,    // after OnInitialize; argument: the control
    ListenDestroy, // at the start of destruction; argument: the control
    ListenSize,    // when the bounds are set; argument: the control
    ListenEvent,   // before HandleEvent; argument: the UIEvent
    ListenNotify,  // notifications about the control; argument: the UINotify
    ListenKindCount
};

// Placement of a floating control that follows its parent's growth: the
// parent size when it was last placed, and the percentages of the growth
// by which the control moves and grows.
struct UIRelativePlacement
{
    bool relative;
    SIZE parentSize;
    SIZE move;
    SIZE zoom;
};

class CControlUI
{
public:
    CControlUI();
    virtual ~CControlUI();
    CControlUI(const CControlUI&) = delete;
    CControlUI& operator=(const CControlUI&) = delete;

    // Name and identity.
    virtual const char* GetName() const;
    virtual void SetName(const char* name);
    virtual const char* GetClassName() const;
    // The object (or one of its interface facets) for the interface names
    // the class knows, else null; subclasses answer theirs first.
    virtual void* FindInterface(const char* name);
    // UIControlFlag bits; 0 here.
    virtual UINT GetBehaviorFlags() const;
    // True when the control is visible and enabled; subclasses act on it.
    virtual bool Activate();

    // Tree links.
    virtual CWindowHostUI* GetHost() const;
    // Stores host and parent; with `initialize` and a parent, Initialize().
    virtual void SetHost(CWindowHostUI* host, CControlUI* parent, bool initialize);
    virtual CControlUI* GetParent() const;

    virtual const char* GetText() const;
    virtual void SetText(const char* text);

    // Position and sizing rules.
    virtual const RECT& GetBounds() const;
    virtual void SetBounds(const RECT& rect);
    virtual int GetWidth() const;
    virtual int GetHeight() const;
    virtual int GetX() const;
    virtual int GetY() const;
    virtual RECT GetPadding() const;
    virtual void SetPadding(const RECT& padding);
    virtual SIZE GetFloatOffset() const;
    virtual void SetFloatOffset(SIZE offset);
    virtual int GetPresetWidth() const;
    virtual void SetPresetWidth(int cx);
    virtual int GetPresetHeight() const;
    virtual void SetPresetHeight(int cy);
    virtual int GetMinWidth() const;
    virtual void SetMinWidth(int cx);
    virtual int GetMaxWidth() const;
    virtual void SetMaxWidth(int cx);
    virtual int GetMinHeight() const;
    virtual void SetMinHeight(int cy);
    virtual int GetMaxHeight() const;
    virtual void SetMaxHeight(int cy);
    virtual void SetRelativePlacement(SIZE move, SIZE zoom);
    virtual void SetPlacementParentSize(SIZE parentSize);
    virtual UIRelativePlacement GetRelativePlacement() const;
    virtual bool HasRelativePlacement() const;

    // Plain values.
    virtual const char* GetTooltip() const;
    virtual void SetTooltip(const char* text);
    virtual char GetShortcut() const;
    virtual void SetShortcut(char ch);
    virtual bool WantsContextMenu() const;
    virtual void SetWantsContextMenu(bool wants);
    virtual const char* GetUserData() const;
    virtual void SetUserData(const char* text);
    virtual UINT_PTR GetTag() const;
    virtual void SetTag(UINT_PTR tag);

    // State flags.
    virtual bool IsVisible() const;
    virtual void SetVisible(bool visible);
    virtual void SetParentVisible(bool visible);
    virtual bool IsEnabled() const;
    virtual void SetEnabled(bool enabled);
    virtual bool AcceptsMouse() const;
    virtual void SetAcceptsMouse(bool accepts);
    virtual bool AcceptsKeyboard() const;
    virtual void SetAcceptsKeyboard(bool accepts);
    virtual bool IsFocused() const;
    virtual void SetFocus();
    virtual bool IsFloating() const;
    virtual void SetFloating(bool floating);

    // Tree search: `flags` are UIFindFlag bits; with FindHitTest `data`
    // points to a POINT in client coordinates.
    virtual CControlUI* FindControl(UIFindVisitor visitor, void* data, UINT flags);

    // Initialisation and events.
    virtual void Initialize();
    virtual void OnInitialize();
    virtual void DispatchEvent(UIEvent& event);
    virtual void HandleEvent(UIEvent& event);

    // Attributes; names not known are ignored.
    virtual void SetAttribute(const char* name, const char* value);
    // Applies name="value" pairs separated by single spaces.
    void ApplyAttributeString(const char* text);

    // The size the control wants: its preset width and height here.
    virtual SIZE MeasureSize(SIZE available);

    // Painting, in the order Paint calls them.
    virtual void Paint(HDC dc, const RECT& dirty);
    virtual void PaintBackgroundColor(HDC dc);
    virtual void PaintBackgroundImage(HDC dc);
    virtual void PaintStateImages(HDC dc);
    virtual void PaintText(HDC dc);
    virtual void PaintBorder(HDC dc);
    // Drawn after the whole tree for controls on the host's post-paint list.
    virtual void PaintOverlay(HDC dc, const RECT& dirty);

    // Listeners: the list takes ownership of `callback` (deleted with the
    // control). Invoking calls them in order and stops at the first that
    // returns false; the result is false when one did.
    bool AddListener(UIListenerKind kind, UICallback* callback);
    bool InvokeListeners(UIListenerKind kind, void* argument);
    int GetListenerCount(UIListenerKind kind) const;

    // Look.
    DWORD GetBkColor() const { return m_bkColor1; }
    DWORD GetBkColor2() const { return m_bkColor2; }
    DWORD GetBkColor3() const { return m_bkColor3; }
    void SetBkColor(DWORD color);
    void SetBkColor2(DWORD color);
    void SetBkColor3(DWORD color);
    DWORD GetBorderColor() const { return m_borderColor; }
    void SetBorderColor(DWORD color);
    DWORD GetFocusBorderColor() const { return m_focusBorderColor; }
    void SetFocusBorderColor(DWORD color);
    bool IsColorAdjust() const { return m_colorAdjust; }
    void SetColorAdjust(bool adjust);
    int GetBorderSize() const { return m_borderSize; }
    void SetBorderSize(int size);
    SIZE GetBorderRound() const { return m_borderRound; }
    void SetBorderRound(SIZE round);
    const char* GetBackgroundImage() const { return m_bkImage.GetData(); }
    void SetBackgroundImage(const char* image);
    const RECT& GetPaintRect() const { return m_paintRect; }

    // Draws an image attribute string, with an optional modifier string,
    // into the bounds, clipped to the paint rectangle.
    bool PaintImage(HDC dc, const char* image, const char* modify = nullptr);

    // Repaints the control's visible area in the host window.
    void Invalidate();
    // Marks the control for layout and, while it is visible, asks the host
    // for a layout pass that reaches it (every ancestor learns that a
    // control below it waits).
    void RequestLayout();
    void RequestParentLayout();
    bool IsLayoutPending() const { return m_layoutPending; }
    // The host's layout pass: places the control again at its bounds when
    // its layout is pending, then goes down only into children below which
    // a layout waits. Hidden subtrees are left out; showing a control makes
    // it and its subtree pending.
    void PlacePendingLayouts();

protected:
    // Calls PlacePendingLayouts on every child; none here.
    virtual void PlacePendingChildren();
    // True when the control already lies at `rect` and nothing it places,
    // nor anything below, has changed since it was placed there: a layout
    // may then leave its children where they are.
    bool IsPlacedAt(const RECT& rect) const;
    // Clips `rect` to the bounds of every ancestor and invalidates what is
    // left in the host window.
    void InvalidateClipped(RECT rect);
    // Clears the host's focus when this control holds it.
    void DropHostFocus();

    CUIPtrArray m_listeners[ListenKindCount];
    CWindowHostUI* m_host;
    CControlUI* m_parent;
    CUIString m_name;
    bool m_layoutPending;
    bool m_descendantLayoutPending;
    // Set while a layout places the children: the control's whole area is
    // repainted by then, and so is theirs.
    bool m_placingChildren;
    bool m_wantsContextMenu;
    RECT m_bounds;
    RECT m_padding;
    SIZE m_floatOffset;
    int m_presetWidth;
    int m_presetHeight;
    int m_minWidth;
    int m_minHeight;
    int m_maxWidth;
    int m_maxHeight;
    bool m_visible;
    bool m_parentVisible;
    bool m_enabled;
    bool m_acceptsMouse;
    bool m_acceptsKeyboard;
    bool m_focused;
    bool m_floating;
    bool m_inSizeNotification;
    UIRelativePlacement m_placement;
    CUIString m_text;
    CUIString m_tooltip;
    char m_shortcut;
    CUIString m_userData;
    UINT_PTR m_tag;
    DWORD m_bkColor1;
    DWORD m_bkColor2;
    DWORD m_bkColor3;
    CUIString m_bkImage;
    DWORD m_borderColor;
    DWORD m_focusBorderColor;
    bool m_colorAdjust;
    int m_borderSize;
    SIZE m_borderRound;
    RECT m_paintRect;
};

} // namespace ui
