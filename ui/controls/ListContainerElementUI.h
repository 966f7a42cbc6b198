#pragma once

// CListContainerElementUI: a list item that is itself a container. It
// tracks its hot and selected state, sends "itemclick" and "itemactivate",
// leaves keys and the wheel to its list, and paints its background by
// state from the list's item settings.

#include "ui/controls/ListInterfaces.h"
#include "ui/core/ContainerUI.h"

namespace ui {

class CListContainerElementUI : public CContainerUI, public IListItemUI
{
public:
    CListContainerElementUI();

    const char* GetClassName() const override;
    void* FindInterface(const char* name) override;
    UINT GetBehaviorFlags() const override;
    // Sends "itemactivate" when visible and enabled; false otherwise.
    bool Activate() override;

    // IListItemUI.
    int GetIndex() const override { return m_index; }
    void SetIndex(int index) override { m_index = index; }
    IListOwnerUI* GetOwner() const override { return m_owner; }
    void SetOwner(CControlUI* owner) override;
    bool IsSelected() const override { return m_selected; }
    // Selecting a disabled item fails; on selecting, the owner's selection
    // follows.
    bool Select(bool select) override;
    bool IsExpanded() const override { return false; }
    bool Expand(bool expand) override;
    // A container item has no text of its own to draw.
    void DrawItemText(HDC dc, const RECT& rc) override;

    // Hiding a selected item clears the list's selection; disabling an
    // item drops its hot state.
    void SetVisible(bool visible) override;
    void SetEnabled(bool enabled) override;
    void HandleEvent(UIEvent& event) override;
    void SetAttribute(const char* name, const char* value) override;
    // The background by state below the container's painting.
    void Paint(HDC dc, const RECT& dirty) override;
    // Nothing: the item background draws the item's own image.
    void PaintBackgroundImage(HDC dc) override;

    UINT GetButtonState() const { return m_buttonState; }

protected:
    // The list's item settings, or null without an owner.
    ListItemInfo* GetItemInfo() const;
    // Fills and draws the background for the item's state: colour,
    // state image or background image, and the line under the item.
    virtual void PaintItemBackground(HDC dc);
    // The text colour of the list's settings for the item's state, the last
    // of hot, selected and disabled that applies; 0 without an owner.
    DWORD GetItemTextColor() const;
    // Draws the item's text with the list's font, style, padding, markup
    // flag and the state's colour; `extraStyle` is added to the list's style.
    void PaintItemText(HDC dc, UINT extraStyle);

    int m_index;
    bool m_selected;
    UINT m_buttonState;
    IListOwnerUI* m_owner;

private:
    bool IsOddWithAlternateBk(const ListItemInfo* info) const;
    // Draws one of the list's image strings; one that fails is cleared.
    bool PaintListImage(HDC dc, CUIString& image);
};

} // namespace ui
