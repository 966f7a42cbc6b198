#pragma once

// The per-window manager of the control framework: it holds the window and
// the control tree, and turns the window's messages into UIEvents for one
// control and UINotify records for the listeners, in one place, so that the
// controls never see raw messages. Its jobs live in objects of their own,
// which its operations forward to:
//   CProgramUI       program-wide settings (ui/gfx)
//   CResourcesUI     fonts, images, class defaults, text colours (ui/gfx)
//   UIHostSettings   what the skin sets for the window
//   COptionGroupsUI  option groups
//   CControlTimersUI control timers on window timers of the host's numbering
//   CHostFocusUI     focus, Tab and shortcuts, keys and characters
//   CHostPointerUI   hover, mouse tracking, the tooltip, clicks and capture
//   CNotificationQueueUI, CDeleteLaterUI  posted notifications, delayed deletion
//   CPaintBuffersUI  the off-screen bitmaps of painting
// Sections below:
//   process-wide settings and the message loop
//   setup: window, root, name map
//   window settings and colours
//   resources: parent, fonts, images, class defaults, option groups
//   lists: listeners, filters, overlay controls, delayed deletion
//   control timers and control removal
//   messages, focus and notifications

#include <windows.h>

#include "ui/base/UIPtrArray.h"
#include "ui/base/UIString.h"
#include "ui/base/UIStringMap.h"
#include "ui/core/ControlTimersUI.h"
#include "ui/core/HostFocusUI.h"
#include "ui/core/HostPointerUI.h"
#include "ui/core/HostSettingsUI.h"
#include "ui/core/NotificationQueueUI.h"
#include "ui/core/OptionGroupsUI.h"
#include "ui/core/PaintBuffersUI.h"
#include "ui/core/UIEvent.h"
#include "ui/gfx/IResourcesUI.h"
#include "ui/gfx/ResourcesUI.h"

namespace ui {

class CControlUI;

// Private messages of the host's window.
enum
{
    MessageHostCleanup = WM_APP + 1,      // deletes the delayed-cleanup list
    MessageHostNotify = WM_APP + 2,       // delivers posted notifications
};

// Draws as the resources of its controls: CRenderer takes the host where
// it takes an IResourcesUI.
class CWindowHostUI : public IResourcesUI, private ITimerPlatformUI
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

    SIZE GetMinTrackSize() const { return m_settings.minTrack; }
    void SetMinTrackSize(int cx, int cy);
    SIZE GetMaxTrackSize() const { return m_settings.maxTrack; }
    void SetMaxTrackSize(int cx, int cy);
    SIZE GetInitialSize() const { return m_settings.initialSize; }
    // Resizes the bound window at once while no root is attached.
    void SetInitialSize(int cx, int cy);
    RECT GetSizeBox() const { return m_settings.sizeBox; }
    void SetSizeBox(const RECT& box) { m_settings.sizeBox = box; }
    RECT GetCaptionRect() const { return m_settings.caption; }
    void SetCaptionRect(const RECT& caption) { m_settings.caption = caption; }
    SIZE GetRoundCorner() const { return m_settings.roundCorner; }
    void SetRoundCorner(int cx, int cy);
    // Outline every repainted area in red; off by default ("showdirty").
    bool IsShowUpdateRect() const { return m_settings.showUpdateRect; }
    void SetShowUpdateRect(bool show) { m_settings.showUpdateRect = show; }
    // Blend the tree over a copy of what lies under the window; off by
    // default ("bktrans").
    bool IsAlphaBackground() const { return m_settings.alphaBackground; }
    void SetAlphaBackground(bool on) { m_settings.alphaBackground = on; }
    // Paint through an off-screen bitmap; on by default. The bitmap is made
    // by the paint and dropped while the window is hidden or minimised.
    bool IsOffscreenPainting() const { return m_settings.offscreenPaint; }
    void SetOffscreenPainting(bool on) { m_settings.offscreenPaint = on; }
    bool HoldsPaintBuffer() const { return m_buffers.HasBuffer(); }

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
    unsigned GetFontGeneration() const override;

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

    bool JoinOptionGroup(const char* group, CControlUI* control) { return m_optionGroups.Join(group, control); }
    void LeaveOptionGroup(const char* group, CControlUI* control) { m_optionGroups.Leave(group, control); }
    CUIPtrArray* GetOptionGroupMembers(const char* group) const { return m_optionGroups.GetMembers(group); }
    void ClearOptionGroups() { m_optionGroups.Clear(); }

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
    bool SetControlTimer(CControlUI* control, UINT localId, UINT elapseMs)
    {
        return m_timers.Set(m_window, control, localId, elapseMs);
    }
    bool KillControlTimer(CControlUI* control, UINT localId) { return m_timers.Kill(m_window, control, localId); }
    void KillControlTimers(CControlUI* control) { m_timers.KillAll(m_window, control); }
    void ClearTimers() { m_timers.Clear(); }

    // Called by a control being deleted: drops every reference to it.
    void ForgetControl(CControlUI* control);

    // ---- layout and focus flags (read by painting) ---------------------------
    // The tree needs a layout pass before the next paint.
    bool IsUpdateNeeded() const { return m_updateNeeded; }
    void SetUpdateNeeded(bool needed = true) { m_updateNeeded = needed; }
    // Focus goes to a tab stop at the next paint.
    bool IsFocusNeeded() const { return m_focus.IsFocusNeeded(); }
    void SetFocusNeeded(bool needed = true) { m_focus.SetFocusNeeded(needed); }
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

    void SetFocusControl(CControlUI* control) { m_focus.SetFocus(control); }
    CControlUI* GetFocusControl() const { return m_focus.GetFocus(); }
    // Places the focus near `control` without focus events; they follow at
    // the next paint.
    void FocusAtNextPaint(CControlUI* control) { m_focus.FocusAtNextPaint(control); }
    // Tab navigation; `forward` false goes backwards.
    bool MoveFocus(bool forward) { return m_focus.MoveFocus(forward); }
    // The tab stop after (or before) `from` in tree order, wrapping around
    // at the ends; with a null `from`, the first tab stop of the tree. Null
    // only when the tree has no tab stop. Visits visible and enabled
    // controls, containers first.
    CControlUI* FindTabStop(CControlUI* from, bool forward) const { return m_focus.FindTabStop(from, forward); }

    // The topmost visible control that takes the mouse under `point`.
    CControlUI* FindControlAt(POINT point) const;

    CControlUI* GetHoverControl() const { return m_pointer.GetHover(); }
    CControlUI* GetClickControl() const { return m_pointer.GetClick(); }
    POINT GetLastMousePos() const override { return m_pointer.GetLastPos(); }

    // Delivers at once to the sender's notify listeners, then to every
    // registered listener. With `posted` the record is queued and delivered
    // after the message being handled now; a queued notification about a
    // control that is deleted meanwhile is dropped.
    void SendNotification(CControlUI* sender, const char* name, WPARAM wParam = 0, LPARAM lParam = 0,
                          bool posted = false);
    void SendNotification(UINotify& notify, bool posted = false);

private:
    // The parts of the host; they reach the window, the tree and event
    // delivery through it.
    friend class CHostFocusUI;
    friend class CHostPointerUI;

    // Event delivery.
    void SendEvent(CControlUI* control, UIEvent& event);
    void InitEvent(UIEvent& event, int type, CControlUI* sender) const;
    void SendMouseEvent(CControlUI* target, int type, POINT pt, WORD keys = 0, WPARAM wParam = 0, LPARAM lParam = 0);
    void DeliverNotification(UINotify& notify);
    void DeliverPostedNotifications();
    void DeleteCleanupList() { m_cleanup.DeleteAll(); }

    // Message handlers.
    void OnTimer(WPARAM wParam);
    void OnClose();
    void OnMinMaxInfo(MINMAXINFO* info) const;
    bool OnPaint();
    void OnPrintClient(HDC dc, LPARAM options);

    // The control timers' window timers.
    bool StartTimer(UITimerWindow window, unsigned id, unsigned elapseMs) override;
    void StopTimer(UITimerWindow window, unsigned id) override;

    // Painting (WindowHostUIPaint.cpp).
    void LayoutBeforePaint();
    void PaintThroughBuffer(HDC target, HDC buffer, const RECT& paint);

    static CControlUI* FindPointVisitor(CControlUI* control, void* data);
    static CControlUI* ForgetVisitor(CControlUI* control, void* data);

    HWND m_window;
    HDC m_paintDC;  // the window's, kept for measuring text
    CControlUI* m_root;
    CUIStringMap m_names;
    bool m_firstLayout;
    bool m_updateNeeded;
    bool m_destroying;

    UIHostSettings m_settings;
    CWindowHostUI* m_resourceParent;
    CResourcesUI m_resources;
    COptionGroupsUI m_optionGroups;
    CControlTimersUI m_timers;
    CHostFocusUI m_focus;
    CHostPointerUI m_pointer;
    CNotificationQueueUI m_posted;
    CDeleteLaterUI m_cleanup;
    CPaintBuffersUI m_buffers;

    CUIPtrArray m_notifiers;
    CUIPtrArray m_translateFilters;
    CUIPtrArray m_windowFilters;
    CUIPtrArray m_overlays;

    static CUIPtrArray s_liveHosts;
    static HPEN s_updatePen;
};

} // namespace ui
