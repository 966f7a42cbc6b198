#pragma once

// The per-window manager of the control framework. Program-wide settings
// live in CProgramUI and fonts, images, class defaults and text colours in a
// CResourcesUI (both ui/gfx); the host forwards to them and keeps the
// window, the tree, focus, mouse, timers, notifications and painting.
// Sections:
//   process-wide settings and the message loop
//   setup: window, root, name map
//   window settings and colours
//   resources: parent, fonts, images, class defaults, option groups
//   lists: listeners, filters, overlay controls, delayed deletion
//   control timers and control removal
//   messages, focus and notifications
// Window messages become UIEvents for one control and UINotify records for
// the listeners here, in one place; the controls never see raw messages.

#include <windows.h>
#include <commctrl.h>

#include "ui/base/UIPtrArray.h"
#include "ui/base/UIString.h"
#include "ui/base/UIStringMap.h"
#include "ui/core/UIEvent.h"
#include "ui/gfx/IResourcesUI.h"
#include "ui/gfx/ResourcesUI.h"

namespace ui {

class CControlUI;
class CMemoryBitmapUI;

// Private messages of the host's window.
enum
{
    MessageHostCleanup = WM_APP + 1,      // deletes the delayed-cleanup list
    MessageHostNotify = WM_APP + 2,       // delivers posted notifications
};

// Draws as the resources of its controls: CRenderer takes the host where
// it takes an IResourcesUI.
class CWindowHostUI : public IResourcesUI
{
public:
    CWindowHostUI();
    ~CWindowHostUI() override;
    CWindowHostUI(const CWindowHostUI&) = delete;
    CWindowHostUI& operator=(const CWindowHostUI&) = delete;

    // ---- process-wide settings --------------------------------------------
    // Kept by CProgramUI; these forward to it.
    static void SetProgramInstance(HINSTANCE instance);
    static HINSTANCE GetProgramInstance();
    // The module holding the resources; falls back to the program instance.
    static void SetResourceInstance(HINSTANCE instance);
    static HINSTANCE GetResourceInstance();
    // Folder prefix (ending in a backslash) of skin and image files.
    static void SetResourceFolder(const char* folder);
    static const CUIString& GetResourceFolder();
    // A ZIP archive under the resource folder to read files from instead.
    static void SetResourceArchive(const char* name);
    static const CUIString& GetResourceArchive();
    // With `keep` the archive is opened once and that handle is reused for
    // every file; without it each read opens the archive. The cached handle
    // is an unzFile, or null when caching is off or the archive is missing.
    static bool SetResourceArchiveCached(bool keep);
    static bool IsResourceArchiveCached();
    static void* GetCachedArchive();
    // Folder of the program's module, with its trailing backslash; empty
    // without a program instance.
    static CUIString GetModuleDirectory();

    // The function that loads images for the cache (CacheImage). Returns the
    // previous one. Without a loader no image loads.
    static UIImageLoader SetImageLoader(UIImageLoader loader);
    static UIImageLoader GetImageLoader();

    // Offers a queued message to the hosts it concerns (PreviewMessage);
    // true when one consumed it.
    static bool PreTranslateForAllHosts(const MSG* msg);
    // The program's message loop; returns when the quit message arrives.
    static void RunMessageLoop();
    // Right button 1, left button 2, Shift 4, Control 8, Alt 32.
    static WORD GetModifierState();

    // ---- setup ------------------------------------------------------------
    void AttachWindow(HWND window);
    HWND GetHostWindow() const { return m_window; }
    HDC GetDrawingDC() const { return m_paintDC; }

    // Takes ownership of `root` (the old root goes to delayed deletion) and
    // enters the tree's names; false for a null root.
    bool AttachRoot(CControlUI* root);
    CControlUI* GetRootControl() const { return m_root; }
    CControlUI* FindControlByName(const char* name) const;
    // Enters the name of every control of the subtree into the name map;
    // an existing entry for a name stays.
    void RegisterNames(CControlUI* subtree);
    // The visitor RegisterNames walks the tree with: enters one control
    // (data is the host) and always lets the search go on.
    static CControlUI* NameRegistrationVisitor(CControlUI* control, void* data);

    // ---- window settings ----------------------------------------------------
    // 0..255 makes the window layered with that constant alpha; above 255
    // removes the layered style.
    void SetWindowAlpha(int alpha);

    SIZE GetMinTrackSize() const { return m_minTrack; }
    void SetMinTrackSize(int cx, int cy);
    SIZE GetMaxTrackSize() const { return m_maxTrack; }
    void SetMaxTrackSize(int cx, int cy);
    SIZE GetInitialSize() const { return m_initialSize; }
    // Resizes the bound window at once while no root is attached.
    void SetInitialSize(int cx, int cy);
    RECT GetSizeBox() const { return m_sizeBox; }
    void SetSizeBox(const RECT& box);
    RECT GetCaptionRect() const { return m_caption; }
    void SetCaptionRect(const RECT& caption);
    SIZE GetRoundCorner() const { return m_roundCorner; }
    void SetRoundCorner(int cx, int cy);
    // Outline every repainted area in red; off by default ("showdirty").
    bool IsShowUpdateRect() const { return m_showUpdateRect; }
    void SetShowUpdateRect(bool show);
    // Blend the tree over a copy of what lies under the window; off by
    // default ("bktrans").
    bool IsAlphaBackground() const { return m_alphaBackground; }
    void SetAlphaBackground(bool on);
    // Paint through an off-screen bitmap; on by default.
    bool IsOffscreenPainting() const { return m_offscreenPaint; }
    void SetOffscreenPainting(bool on);

    // The text colours of the topmost host of the resource-parent chain.
    DWORD GetDisabledTextColor() const override;
    void SetDisabledTextColor(DWORD color);
    DWORD GetDefaultTextColor() const override;
    void SetDefaultTextColor(DWORD color);
    DWORD GetLinkTextColor() const override;
    void SetLinkTextColor(DWORD color);
    DWORD GetLinkHoverTextColor() const override;
    void SetLinkHoverTextColor(DWORD color);
    DWORD GetSelectedBackColor() const override;
    void SetSelectedBackColor(DWORD color);

    // ---- resources ----------------------------------------------------------
    // Shares the parent's colours, default font, fonts and class defaults
    // by linking the resources objects; refuses (false) what would close a
    // cycle.
    bool SetResourceParent(CWindowHostUI* parent);
    CWindowHostUI* GetResourceParent() const { return m_resourceParent; }

    // Replaces the default font; a font that cannot be created changes
    // nothing.
    void SetBaseFont(const char* face, int size, bool bold, bool underline, bool italic);
    // Adds a font to this host's list (numbered from 0); null on failure.
    HFONT RegisterFont(const char* face, int size, bool bold, bool underline, bool italic) override;
    // This host's list, then the resource parents'.
    HFONT FindFont(const char* face, int size, bool bold, bool underline, bool italic) const override;
    // The font numbered `index` here, or the default font outside the list.
    UIFontInfo* GetFontRecord(int index) override;
    UIFontInfo* GetFontRecord(HFONT font) override;
    UIFontInfo* GetDefaultFontRecord() override;
    HFONT GetFont(int index);
    int GetFontCount() const { return m_resources.GetFontCount(); }
    void ClearFonts();

    // Loads an image through the image loader and caches it under `name`.
    // With a resource type, `name` must be a decimal resource id.
    UIImageInfo* CacheImage(const char* name, const char* resourceType, DWORD mask);
    // The cached record (type and mask not compared), else CacheImage.
    UIImageInfo* GetOrLoadImage(const char* name, const char* resourceType, DWORD mask) override;
    UIImageInfo* FindImage(const char* name) const;
    void ClearImages();

    // The first text set for a class stays.
    void SetClassDefaults(const char* className, const char* attributes);
    const char* GetClassDefaults(const char* className) const;
    void ClearClassDefaults();

    bool JoinOptionGroup(const char* group, CControlUI* control);
    void LeaveOptionGroup(const char* group, CControlUI* control);
    CUIPtrArray* GetOptionGroupMembers(const char* group) const;
    void ClearOptionGroups();

    // ---- lists ---------------------------------------------------------------
    // None checks for duplicates; removal takes out the first occurrence.
    bool AddListener(INotifyUI* listener);
    bool RemoveListener(INotifyUI* listener);
    bool AddTranslateFilter(IMessageFilterUI* filter);
    bool RemoveTranslateFilter(IMessageFilterUI* filter);
    bool AddWindowFilter(IMessageFilterUI* filter);
    bool RemoveWindowFilter(IMessageFilterUI* filter);
    // Controls painted after the tree (PaintOverlay), in registration order.
    bool AddOverlayControl(CControlUI* control);
    bool RemoveOverlayControl(CControlUI* control);
    int GetOverlayControlCount() const { return m_overlays.GetSize(); }
    CControlUI* GetOverlayControl(int index) const;

    // Detaches the control (and forgets its subtree) now and deletes it when
    // the host's cleanup message arrives.
    void DeleteControlLater(CControlUI* control);

    // ---- control timers and control removal ---------------------------------
    bool SetControlTimer(CControlUI* control, UINT localId, UINT elapseMs);
    bool KillControlTimer(CControlUI* control, UINT localId);
    void KillControlTimers(CControlUI* control);
    void ClearTimers();

    // Called by a control being deleted: drops every reference to it.
    void ForgetControl(CControlUI* control);

    // ---- layout and focus flags (read by painting) ---------------------------
    // The tree needs a layout pass before the next paint.
    bool IsUpdateNeeded() const { return m_updateNeeded; }
    void SetUpdateNeeded(bool needed = true) { m_updateNeeded = needed; }
    // Focus goes to a tab stop at the next paint.
    bool IsFocusNeeded() const { return m_focusNeeded; }
    void SetFocusNeeded(bool needed = true) { m_focusNeeded = needed; }
    // What a paint does before it draws: the layout pass when one is
    // needed (only the controls that asked, and what their placement
    // moves), then the focus that waited for it. Nothing without a window
    // or a root.
    void UpdateLayout();

    // ---- messages, focus and notifications ------------------------------------
    // True when the message was handled; `result` is then the window
    // procedure's result (left as the caller set it unless stated otherwise).
    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // A queued message before translation; true when consumed.
    bool PreviewMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    void SetFocusControl(CControlUI* control);
    CControlUI* GetFocusControl() const { return m_focus; }
    // Places the focus near `control` without focus events; they follow at
    // the next paint.
    void FocusAtNextPaint(CControlUI* control);
    // Tab navigation; `forward` false goes backwards.
    bool MoveFocus(bool forward);
    // The tab stop after (or before) `from` in tree order, wrapping around
    // at the ends; with a null `from`, the first tab stop of the tree. Null
    // only when the tree has no tab stop. Visits visible and enabled
    // controls, containers first.
    CControlUI* FindTabStop(CControlUI* from, bool forward) const;

    // The topmost visible control that takes the mouse under `point`.
    CControlUI* FindControlAt(POINT point) const;

    CControlUI* GetHoverControl() const { return m_hover; }
    CControlUI* GetClickControl() const { return m_click; }
    POINT GetLastMousePos() const override { return m_lastMousePos; }

    // Delivers at once to the sender's notify listeners, then to every
    // registered listener. With `posted` the record is queued and delivered
    // after the message being handled now; a queued notification about a
    // control that is deleted meanwhile is dropped.
    void SendNotification(CControlUI* sender, const char* name, WPARAM wParam = 0, LPARAM lParam = 0,
                          bool posted = false);
    void SendNotification(UINotify& notify, bool posted = false);

private:
    // One control timer on a window timer of the host's numbering.
    struct UITimerInfo
    {
        CControlUI* control;
        UINT localId;
        HWND window;
        UINT windowTimerId;
        bool killed;  // the platform timer is stopped; the record stays for reuse
    };
    struct TabSearch;
    struct ShortcutSearch;

    // Event delivery.
    void SendEvent(CControlUI* control, UIEvent& event);
    // Sends the focused control its kill-focus event (naming `next`) and
    // notification; no control has the focus afterwards.
    void TakeFocusAway(CControlUI* next);
    void InitEvent(UIEvent& event, int type, CControlUI* sender) const;
    void SendMouseEvent(CControlUI* target, int type, POINT pt, WORD keys = 0, WPARAM wParam = 0, LPARAM lParam = 0);
    void DeliverNotification(UINotify& notify);
    void DeliverPostedNotifications();
    void DropPostedNotificationsFor(CControlUI* control);
    void DeleteCleanupList();
    bool IsOwnControl(CControlUI* control) const;

    // Message handlers.
    void OnMouseMove(LPARAM lParam);
    void OnMouseLeave();
    bool OnMouseHover(LPARAM lParam);
    void OnButtonDown(int eventType, WPARAM wParam, LPARAM lParam);
    void OnButtonUp(WPARAM wParam, LPARAM lParam);
    void OnDoubleClick(WPARAM wParam, LPARAM lParam);
    void OnContextMenu(WPARAM wParam, LPARAM lParam);
    void OnMouseWheel(WPARAM wParam, LPARAM lParam);
    bool OnSetCursor(LPARAM lParam, WPARAM wParam, LRESULT& result);
    void OnKey(int eventType, WPARAM wParam);
    void OnChar(WPARAM wParam);
    void OnTimer(WPARAM wParam);
    void OnClose();
    bool OnPaint();
    void OnPrintClient(HDC dc, LPARAM options);
    void DeactivateTooltip();
    bool ShortcutKey(WPARAM key);

    // Painting (WindowHostUIPaint.cpp).
    void ReleasePaintBuffers();
    void LayoutBeforePaint();
    void PlaceFocusAfterPaintLayout();
    bool EnsureOffscreenBuffer();
    void CopyBackground(HDC target, const RECT& paint);
    void PaintThroughBuffer(HDC target, const RECT& paint);
    bool TakeTimerId(UINT& id);

    static CControlUI* FindPointVisitor(CControlUI* control, void* data);
    static CControlUI* TabSearchVisitor(CControlUI* control, void* data);
    static CControlUI* ShortcutVisitor(CControlUI* control, void* data);
    static CControlUI* ForgetVisitor(CControlUI* control, void* data);

    HWND m_window;
    HDC m_paintDC;
    CMemoryBitmapUI* m_offscreen;   // the tree is painted here, then copied to the window
    CMemoryBitmapUI* m_background;  // what lay under the window, with "bktrans"
    HWND m_tooltip;
    TTTOOLINFOW m_toolInfo;
    bool m_showUpdateRect;

    CControlUI* m_root;
    CControlUI* m_focus;
    CControlUI* m_hover;
    CControlUI* m_click;
    CControlUI* m_keyPressed;
    POINT m_lastMousePos;

    SIZE m_minTrack;
    SIZE m_maxTrack;
    SIZE m_initialSize;
    RECT m_sizeBox;
    SIZE m_roundCorner;
    RECT m_caption;

    UINT m_timerCounter;
    bool m_firstLayout;
    bool m_updateNeeded;
    bool m_focusNeeded;
    bool m_offscreenPaint;
    bool m_alphaBackground;
    bool m_mouseTracking;
    WORD m_highSurrogate;  // the first half of a character whose WM_CHAR comes in two
    bool m_mouseCaptured;

    CUIPtrArray m_notifiers;
    CUIPtrArray m_timers;
    CUIPtrArray m_translateFilters;
    CUIPtrArray m_windowFilters;
    CUIPtrArray m_overlays;
    CUIPtrArray m_cleanup;
    CUIPtrArray m_postedNotifications;
    CUIStringMap m_names;
    CUIStringMap m_optionGroups;
    CWindowHostUI* m_resourceParent;
    CResourcesUI m_resources;
    bool m_destroying;

    static CUIPtrArray s_liveHosts;
    static HPEN s_updatePen;
};

} // namespace ui
