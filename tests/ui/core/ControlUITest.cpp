#include "ui/core/ControlUI.h"
#include "tests/ui/core/ControlTreeTestSupport.h"

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ui/core/ContainerUI.h"
#include "ui/gfx/MemoryBitmap.h"
#include "ui/core/WindowHostUI.h"

namespace ui {
namespace {

using test::Rect;

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// ---- attributes -----------------------------------------------------------

struct AttributeCase
{
    const char* name;
    const char* value;
    std::function<bool(CControlUI&)> holds;
};

TEST(ControlUITest, AttributeTable)
{
    const AttributeCase cases[] = {
        { "pos", "10,20,110,70",
          [](CControlUI& c) {
              return c.GetFloatOffset().cx == 10 && c.GetFloatOffset().cy == 20 && c.GetPresetWidth() == 100
                  && c.GetPresetHeight() == 50;
          } },
        { "pos", "-110,-60,-10,-10",
          [](CControlUI& c) {
              return c.GetFloatOffset().cx == -10 && c.GetFloatOffset().cy == -10 && c.GetPresetWidth() == 100
                  && c.GetPresetHeight() == 50;
          } },
        { "relativepos", "50,25,10,0",
          [](CControlUI& c) {
              UIRelativePlacement p = c.GetRelativePlacement();
              return c.HasRelativePlacement() && p.move.cx == 50 && p.move.cy == 25 && p.zoom.cx == 10
                  && p.zoom.cy == 0;
          } },
        { "padding", "10, 0, 0, 10",
          [](CControlUI& c) { return SameRect(c.GetPadding(), Rect(10, 0, 0, 10)); } },
        { "bkcolor", " #FF4775CC", [](CControlUI& c) { return c.GetBkColor() == 0xFF4775CC; } },
        { "bkcolor1", "BFBFBFFF", [](CControlUI& c) { return c.GetBkColor() == 0xBFBFBFFF; } },
        { "bkcolor2", "#FF000001", [](CControlUI& c) { return c.GetBkColor2() == 0xFF000001; } },
        { "bkcolor3", "#FF000002", [](CControlUI& c) { return c.GetBkColor3() == 0xFF000002; } },
        { "bordercolor", "#FF0934DA", [](CControlUI& c) { return c.GetBorderColor() == 0xFF0934DA; } },
        // Only the background colours skip blanks before the "#".
        { "bordercolor", " #FF0934DA", [](CControlUI& c) { return c.GetBorderColor() == 0; } },
        { "focusbordercolor", "#FF00FF00", [](CControlUI& c) { return c.GetFocusBorderColor() == 0xFF00FF00; } },
        { "colorhsl", "true", [](CControlUI& c) { return c.IsColorAdjust(); } },
        { "bordersize", "3", [](CControlUI& c) { return c.GetBorderSize() == 3; } },
        { "borderround", "4,6",
          [](CControlUI& c) { return c.GetBorderRound().cx == 4 && c.GetBorderRound().cy == 6; } },
        { "bkimage", "res='118' restype='png'",
          [](CControlUI& c) { return std::string(c.GetBackgroundImage()) == "res='118' restype='png'"; } },
        { "width", "65", [](CControlUI& c) { return c.GetPresetWidth() == 65; } },
        { "height", "18", [](CControlUI& c) { return c.GetPresetHeight() == 18; } },
        { "width", "", [](CControlUI& c) { return c.GetPresetWidth() == 0; } },
        { "minwidth", "5", [](CControlUI& c) { return c.GetMinWidth() == 5; } },
        { "minheight", "6", [](CControlUI& c) { return c.GetMinHeight() == 6; } },
        { "maxwidth", "70", [](CControlUI& c) { return c.GetMaxWidth() == 70; } },
        { "maxheight", "80", [](CControlUI& c) { return c.GetMaxHeight() == 80; } },
        { "minwidth", "-5", [](CControlUI& c) { return c.GetMinWidth() == 0; } },
        { "maxwidth", "-1", [](CControlUI& c) { return c.GetMaxWidth() == 9999; } },
        { "name", "btn_newtoken", [](CControlUI& c) { return std::string(c.GetName()) == "btn_newtoken"; } },
        { "text", "获取验证码", [](CControlUI& c) { return std::string(c.GetText()) == "获取验证码"; } },
        { "tooltip", "tip", [](CControlUI& c) { return std::string(c.GetTooltip()) == "tip"; } },
        { "userdata", "42", [](CControlUI& c) { return std::string(c.GetUserData()) == "42"; } },
        { "enabled", "false", [](CControlUI& c) { return !c.IsEnabled(); } },
        { "enabled", "TRUE", [](CControlUI& c) { return !c.IsEnabled(); } },
        { "mouse", "false", [](CControlUI& c) { return !c.AcceptsMouse(); } },
        { "keyboard", "no", [](CControlUI& c) { return !c.AcceptsKeyboard(); } },
        { "visible", "false", [](CControlUI& c) { return !c.IsVisible(); } },
        { "float", "true", [](CControlUI& c) { return c.IsFloating(); } },
        { "shortcut", "xyz", [](CControlUI& c) { return c.GetShortcut() == 'x'; } },
        { "menu", "true", [](CControlUI& c) { return c.WantsContextMenu(); } },
    };
    for (const AttributeCase& row : cases) {
        CControlUI control;
        control.SetAttribute(row.name, row.value);
        EXPECT_TRUE(row.holds(control)) << row.name << "=\"" << row.value << "\"";
    }
}

TEST(ControlUITest, AttributesThatChangeNothing)
{
    CControlUI control;
    control.SetAttribute("width", "30");
    // A right edge left of the left edge gives a negative width, which the
    // setter ignores.
    control.SetAttribute("pos", "50,0,10,10");
    EXPECT_EQ(30, control.GetPresetWidth());
    EXPECT_EQ(10, control.GetPresetHeight());

    control.SetAttribute("textcolor", "#FF2755AA");
    control.SetAttribute("Width", "99");
    EXPECT_EQ(30, control.GetPresetWidth());
    EXPECT_TRUE(control.IsEnabled());
    EXPECT_EQ(1, control.GetBorderSize());
    EXPECT_EQ(9999, control.GetMaxHeight());
}

TEST(ControlUITest, AttributeStringAppliesPairsSeparatedBySingleSpaces)
{
    CControlUI control;
    control.ApplyAttributeString("name=\"a\" text=\"b c\" width=\"12\"");
    EXPECT_STREQ("a", control.GetName());
    EXPECT_STREQ("b c", control.GetText());
    EXPECT_EQ(12, control.GetPresetWidth());

    // Two spaces: the second becomes part of the next name, which matches
    // nothing.
    CControlUI twoSpaces;
    twoSpaces.ApplyAttributeString("name=\"a\"  text=\"b\"");
    EXPECT_STREQ("a", twoSpaces.GetName());
    EXPECT_STREQ("", twoSpaces.GetText());

    // Malformed pairs stop the reading where they start.
    CControlUI unquoted;
    unquoted.ApplyAttributeString("name=\"a\" width=12 text=\"b\"");
    EXPECT_STREQ("a", unquoted.GetName());
    EXPECT_EQ(0, unquoted.GetPresetWidth());
    EXPECT_STREQ("", unquoted.GetText());

    CControlUI unterminated;
    unterminated.ApplyAttributeString("name=\"a\" text=\"never closed");
    EXPECT_STREQ("a", unterminated.GetName());
    EXPECT_STREQ("", unterminated.GetText());

    CControlUI trailing;
    trailing.ApplyAttributeString("name=\"a\"x text=\"b\"");
    EXPECT_STREQ("a", trailing.GetName());
    EXPECT_STREQ("", trailing.GetText());

    CControlUI chinese;
    chinese.ApplyAttributeString("text=\"网吧专用\" tooltip=\"提示\"");
    EXPECT_STREQ("网吧专用", chinese.GetText());
    EXPECT_STREQ("提示", chinese.GetTooltip());
}

// ---- setters and bounds ------------------------------------------------------

TEST(ControlUITest, SizeSettersIgnoreNegativeAndUnchangedValues)
{
    CControlUI control;
    control.SetPresetWidth(20);
    control.SetPresetWidth(-1);
    control.SetPresetHeight(-3);
    EXPECT_EQ(20, control.GetPresetWidth());
    EXPECT_EQ(0, control.GetPresetHeight());
    control.SetMinHeight(-5);
    control.SetMaxWidth(-5);
    EXPECT_EQ(0, control.GetMinHeight());
    EXPECT_EQ(9999, control.GetMaxWidth());
    SIZE offset = { -4, -6 };
    control.SetFloatOffset(offset);
    EXPECT_EQ(-4, control.GetFloatOffset().cx);
    EXPECT_EQ(-6, control.GetFloatOffset().cy);
}

TEST(ControlUITest, InvertedBoundsAreStoredEmpty)
{
    CControlUI control;
    control.SetBounds(Rect(50, 40, 10, 20));
    EXPECT_TRUE(SameRect(Rect(50, 40, 50, 40), control.GetBounds()));
    EXPECT_EQ(0, control.GetWidth());
    control.SetBounds(Rect(5, 6, 25, 46));
    EXPECT_EQ(20, control.GetWidth());
    EXPECT_EQ(40, control.GetHeight());
    EXPECT_EQ(5, control.GetX());
    EXPECT_EQ(6, control.GetY());
}

TEST(ControlUITest, VisibilityCombinesOwnAndParentFlags)
{
    CControlUI control;
    control.SetParentVisible(false);
    EXPECT_FALSE(control.IsVisible());
    control.SetParentVisible(true);
    control.SetVisible(false);
    EXPECT_FALSE(control.IsVisible());
    EXPECT_FALSE(control.Activate());
    control.SetVisible(true);
    EXPECT_TRUE(control.Activate());
    control.SetEnabled(false);
    EXPECT_FALSE(control.Activate());
}

TEST(ControlUITest, ClassStrings)
{
    CControlUI control;
    EXPECT_STREQ("ControlUI", control.GetClassName());
    EXPECT_EQ(&control, control.FindInterface("Control"));
    EXPECT_EQ(nullptr, control.FindInterface("Button"));
    EXPECT_EQ(nullptr, control.FindInterface("control"));
    EXPECT_EQ(0u, control.GetBehaviorFlags());
    SIZE available = { 300, 400 };
    control.SetPresetWidth(7);
    SIZE measured = control.MeasureSize(available);
    EXPECT_EQ(7, measured.cx);
    EXPECT_EQ(0, measured.cy);
}

// ---- search ----------------------------------------------------------------------

CControlUI* AcceptAll(CControlUI* control, void*)
{
    return control;
}

TEST(ControlUITest, FindControlFlags)
{
    CControlUI control;
    control.SetBounds(Rect(10, 10, 20, 20));
    POINT inside = { 15, 15 };
    POINT outside = { 25, 15 };
    EXPECT_EQ(&control, control.FindControl(AcceptAll, nullptr, 0));
    EXPECT_EQ(&control, control.FindControl(AcceptAll, &inside, FindHitTest));
    EXPECT_EQ(nullptr, control.FindControl(AcceptAll, &outside, FindHitTest));
    // The right and bottom edges are outside.
    POINT edge = { 20, 15 };
    EXPECT_EQ(nullptr, control.FindControl(AcceptAll, &edge, FindHitTest));

    control.SetAcceptsMouse(false);
    EXPECT_EQ(nullptr, control.FindControl(AcceptAll, &inside, FindHitTest));
    EXPECT_EQ(&control, control.FindControl(AcceptAll, &inside, FindVisible));

    control.SetEnabled(false);
    EXPECT_EQ(nullptr, control.FindControl(AcceptAll, nullptr, FindEnabled));
    EXPECT_EQ(&control, control.FindControl(AcceptAll, nullptr, FindVisible));

    control.SetVisible(false);
    EXPECT_EQ(nullptr, control.FindControl(AcceptAll, nullptr, FindVisible));
    EXPECT_EQ(&control, control.FindControl(AcceptAll, nullptr, 0));
}

// ---- listeners and events ----------------------------------------------------------

class Recorder : public UICallback
{
public:
    Recorder(std::vector<std::string>* log, const char* tag, bool result) : m_log(log), m_tag(tag), m_result(result)
    {
    }
    bool Invoke(void*) override
    {
        m_log->push_back(m_tag);
        return m_result;
    }

private:
    std::vector<std::string>* m_log;
    std::string m_tag;
    bool m_result;
};

class EventLogControl : public CControlUI
{
public:
    void HandleEvent(UIEvent& event) override
    {
        handled.push_back(event.type);
        CControlUI::HandleEvent(event);
    }
    std::vector<int> handled;
};

UIEvent MakeEvent(int type)
{
    UIEvent event = {};
    event.type = type;
    return event;
}

TEST(ControlUITest, ListenersRunInOrderUntilOneReturnsFalse)
{
    std::vector<std::string> log;
    {
        EventLogControl control;
        control.AddListener(ListenInit, new Recorder(&log, "init1", true));
        control.AddListener(ListenInit, new Recorder(&log, "init2", false));
        control.AddListener(ListenInit, new Recorder(&log, "init3", true));
        control.AddListener(ListenDestroy, new Recorder(&log, "destroy", true));
        EXPECT_FALSE(control.AddListener(ListenInit, nullptr));
        EXPECT_EQ(3, control.GetListenerCount(ListenInit));

        control.Initialize();
        EXPECT_EQ((std::vector<std::string>{ "init1", "init2" }), log);

        // An event listener that returns false keeps the event from the
        // control.
        control.AddListener(ListenEvent, new Recorder(&log, "event", false));
        UIEvent event = MakeEvent(EventMouseMove);
        control.DispatchEvent(event);
        EXPECT_TRUE(control.handled.empty());
        log.clear();
    }
    EXPECT_EQ((std::vector<std::string>{ "destroy" }), log);
}

TEST(ControlUITest, UnhandledEventsGoToTheParent)
{
    EventLogControl parent;
    EventLogControl child;
    child.SetHost(nullptr, &parent, false);
    EXPECT_EQ(&parent, child.GetParent());

    UIEvent down = MakeEvent(EventButtonDown);
    child.DispatchEvent(down);
    EXPECT_EQ((std::vector<int>{ EventButtonDown }), child.handled);
    EXPECT_EQ((std::vector<int>{ EventButtonDown }), parent.handled);

    // Focus events stay with the control.
    UIEvent setFocus = MakeEvent(EventSetFocus);
    child.DispatchEvent(setFocus);
    EXPECT_TRUE(child.IsFocused());
    UIEvent killFocus = MakeEvent(EventKillFocus);
    child.DispatchEvent(killFocus);
    EXPECT_FALSE(child.IsFocused());
    EXPECT_EQ(1u, parent.handled.size());

    // A context menu goes up unless the control wants it.
    UIEvent menu = MakeEvent(EventContextMenu);
    child.DispatchEvent(menu);
    EXPECT_EQ(2u, parent.handled.size());
    child.SetWantsContextMenu(true);
    child.DispatchEvent(menu);
    EXPECT_EQ(2u, parent.handled.size());
}

// ---- with a host -------------------------------------------------------------------

class NotifyLog : public INotifyUI
{
public:
    void Notify(UINotify& msg) override
    {
        names.push_back(msg.type.GetData());
        senders.push_back(msg.sender);
        wParams.push_back(msg.wParam);
        lParams.push_back(msg.lParam);
    }
    std::vector<std::string> names;
    std::vector<CControlUI*> senders;
    std::vector<WPARAM> wParams;
    std::vector<LPARAM> lParams;
};

TEST(ControlUITest, HidingTheFocusedControlClearsTheHostFocus)
{
    CWindowHostUI host;
    CContainerUI* root = new CContainerUI;
    CControlUI* child = new CControlUI;
    root->AddChild(child);
    ASSERT_TRUE(host.AttachRoot(root));
    host.SetFocusControl(child);
    ASSERT_EQ(child, host.GetFocusControl());
    EXPECT_TRUE(child->IsFocused());

    child->SetVisible(true); // unchanged: nothing happens
    EXPECT_EQ(child, host.GetFocusControl());
    child->SetVisible(false);
    EXPECT_EQ(nullptr, host.GetFocusControl());
    EXPECT_FALSE(child->IsFocused());

    // Hiding the parent hides the child through its parent-visible flag.
    child->SetVisible(true);
    host.SetFocusControl(child);
    root->SetVisible(false);
    EXPECT_FALSE(child->IsVisible());
    EXPECT_EQ(nullptr, host.GetFocusControl());
}

TEST(ControlUITest, TimerAndMenuEventsBecomeNotifications)
{
    CWindowHostUI host;
    NotifyLog listener;
    host.AddListener(&listener);
    CControlUI* root = new CControlUI;
    ASSERT_TRUE(host.AttachRoot(root));

    UIEvent timer = MakeEvent(EventTimer);
    timer.wParam = 1;
    timer.lParam = 77;
    root->DispatchEvent(timer);
    root->SetWantsContextMenu(true);
    UIEvent menu = MakeEvent(EventContextMenu);
    menu.wParam = 5;
    menu.lParam = 6;
    root->DispatchEvent(menu);

    ASSERT_EQ(2u, listener.names.size());
    EXPECT_EQ("timer", listener.names[0]);
    EXPECT_EQ(root, listener.senders[0]);
    EXPECT_EQ(1u, listener.wParams[0]);
    EXPECT_EQ(77, listener.lParams[0]);
    EXPECT_EQ("menu", listener.names[1]);
    EXPECT_EQ(5u, listener.wParams[1]);
    EXPECT_EQ(6, listener.lParams[1]);
    host.RemoveListener(&listener);
}

TEST(ControlUITest, LayoutRequestsReachTheHost)
{
    CWindowHostUI host;
    CContainerUI* root = new CContainerUI;
    CControlUI* child = new CControlUI;
    root->AddChild(child);
    ASSERT_TRUE(host.AttachRoot(root));
    root->SetBounds(Rect(0, 0, 100, 100));
    EXPECT_FALSE(root->IsLayoutPending());
    EXPECT_FALSE(child->IsLayoutPending());
    host.SetUpdateNeeded(false);

    child->SetPresetHeight(30);
    EXPECT_TRUE(root->IsLayoutPending());
    EXPECT_TRUE(host.IsUpdateNeeded());

    // An invisible control asks for nothing itself.
    host.SetUpdateNeeded(false);
    child->SetVisible(false);
    EXPECT_TRUE(host.IsUpdateNeeded());
    host.SetUpdateNeeded(false);
    child->RequestLayout();
    EXPECT_FALSE(host.IsUpdateNeeded());
}

// ---- painting -----------------------------------------------------------------------

// A 20 x 20 white 32-bit surface to paint on.
class Surface
{
public:
    Surface() : m_surface(nullptr, kSize, kSize), m_bits(m_surface.GetBits())
    {
        for (int i = 0; i < kSize * kSize; ++i)
            m_bits[i] = 0x00FFFFFF;
    }
    HDC dc() const { return m_surface.GetDC(); }
    // 0x00RRGGBB of the pixel.
    DWORD At(int x, int y)
    {
        ::GdiFlush();
        return m_bits[y * kSize + x] & 0x00FFFFFF;
    }
    static const int kSize = 20;

private:
    CMemoryBitmapUI m_surface;
    DWORD* m_bits;
};

int Channel(DWORD rgb, int shift)
{
    return static_cast<int>((rgb >> shift) & 0xFF);
}

TEST(ControlUITest, PaintsBackgroundThenBorderInsideTheDirtyArea)
{
    Surface surface;
    CControlUI control;
    control.SetBounds(Rect(2, 2, 12, 12));
    control.SetBkColor(0xFF112233);
    control.SetBorderColor(0xFFFF0000);
    control.Paint(surface.dc(), Rect(0, 0, 20, 20));
    EXPECT_EQ(0x112233u, surface.At(5, 5));
    EXPECT_EQ(0xFF0000u, surface.At(2, 2));
    EXPECT_EQ(0xFF0000u, surface.At(11, 11));
    EXPECT_EQ(0xFFFFFFu, surface.At(12, 12));
    EXPECT_EQ(0xFFFFFFu, surface.At(1, 5));

    // An opaque background fills only the dirty part of the bounds.
    Surface partial;
    control.SetBorderSize(0);
    control.Paint(partial.dc(), Rect(0, 0, 6, 20));
    EXPECT_EQ(0x112233u, partial.At(5, 5));
    EXPECT_EQ(0xFFFFFFu, partial.At(7, 5));
}

TEST(ControlUITest, TranslucentBackgroundBlends)
{
    Surface surface;
    CControlUI control;
    control.SetBounds(Rect(0, 0, 10, 10));
    control.SetBorderSize(0);
    control.SetBkColor(0x80FF0000);
    control.Paint(surface.dc(), Rect(0, 0, 20, 20));
    DWORD pixel = surface.At(5, 5);
    EXPECT_NEAR(255, Channel(pixel, 16), 2);
    EXPECT_NEAR(127, Channel(pixel, 8), 3);
    EXPECT_NEAR(127, Channel(pixel, 0), 3);

    // Alpha 0 paints nothing.
    Surface clear;
    control.SetBkColor(0x00FF0000);
    control.Paint(clear.dc(), Rect(0, 0, 20, 20));
    EXPECT_EQ(0xFFFFFFu, clear.At(5, 5));
}

TEST(ControlUITest, GradientRunsFromTopToBottom)
{
    Surface surface;
    CControlUI control;
    control.SetBounds(Rect(0, 0, 20, 20));
    control.SetBorderSize(0);
    control.SetBkColor(0xFF000000);
    control.SetBkColor2(0xFF0000FF);
    control.Paint(surface.dc(), Rect(0, 0, 20, 20));
    EXPECT_LT(Channel(surface.At(5, 0), 0), 30);
    EXPECT_GT(Channel(surface.At(5, 19), 0), 220);
    EXPECT_LT(Channel(surface.At(5, 5), 0), Channel(surface.At(5, 15), 0));

    // With a third colour the lower half runs from the second to the third.
    Surface split;
    control.SetBkColor3(0xFF000000);
    control.Paint(split.dc(), Rect(0, 0, 20, 20));
    EXPECT_GT(Channel(split.At(5, 9), 0), 200);
    EXPECT_GT(Channel(split.At(5, 10), 0), 200);
    EXPECT_LT(Channel(split.At(5, 19), 0), 30);
}

TEST(ControlUITest, RoundedBorderClipsTheCorners)
{
    Surface surface;
    CControlUI control;
    control.SetBounds(Rect(0, 0, 20, 20));
    control.SetBkColor(0xFF00FF00);
    control.SetBorderSize(0);
    SIZE round = { 12, 12 };
    control.SetBorderRound(round);
    control.Paint(surface.dc(), Rect(0, 0, 20, 20));
    EXPECT_EQ(0xFFFFFFu, surface.At(0, 0));
    EXPECT_EQ(0xFFFFFFu, surface.At(19, 19));
    EXPECT_EQ(0x00FF00u, surface.At(10, 10));
    EXPECT_EQ(0x00FF00u, surface.At(10, 0));

    // The clip is restored afterwards.
    CControlUI square;
    square.SetBounds(Rect(0, 0, 20, 20));
    square.SetBorderSize(0);
    square.SetBkColor(0xFF0000FF);
    square.Paint(surface.dc(), Rect(0, 0, 20, 20));
    EXPECT_EQ(0x0000FFu, surface.At(0, 0));
}

TEST(ControlUITest, FocusedBorderColourWins)
{
    Surface surface;
    CControlUI control;
    control.SetBounds(Rect(0, 0, 10, 10));
    control.SetBorderColor(0xFFFF0000);
    control.SetFocusBorderColor(0xFF0000FF);
    UIEvent focus = MakeEvent(EventSetFocus);
    control.DispatchEvent(focus);
    control.Paint(surface.dc(), Rect(0, 0, 20, 20));
    EXPECT_EQ(0x0000FFu, surface.At(0, 5));

    // Without a border colour no square border is drawn.
    Surface none;
    CControlUI plain;
    plain.SetBounds(Rect(0, 0, 10, 10));
    plain.Paint(none.dc(), Rect(0, 0, 20, 20));
    EXPECT_EQ(0xFFFFFFu, none.At(0, 5));
}

} // namespace
} // namespace ui
