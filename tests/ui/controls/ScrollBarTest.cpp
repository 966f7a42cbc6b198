// The scroll bar: geometry, steps, dragging and repetition of a bar on its
// own; a scrolling container with its bar driven through real messages;
// the state images as painted.

#include "ui/controls/ScrollBarUI.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "tests/ui/controls/ColourImages.h"
#include "tests/ui/core/HostTestSupport.h"
#include "tests/ui/gfx/TextTestSupport.h"
#include "ui/controls/ButtonUI.h"
#include "ui/gfx/Renderer.h"

using namespace ui;
using namespace hosttest;

namespace {

std::string RectText(const RECT& rc)
{
    char text[64];
    snprintf(text, sizeof text, "%ld,%ld,%ld,%ld", rc.left, rc.top, rc.right, rc.bottom);
    return text;
}

UIEvent MakeEvent(int type, int x = 0, int y = 0, WPARAM wParam = 0)
{
    UIEvent event = {};
    event.type = type;
    event.mousePoint.x = x;
    event.mousePoint.y = y;
    event.wParam = wParam;
    return event;
}

void Send(CControlUI& control, int type, int x = 0, int y = 0, WPARAM wParam = 0)
{
    UIEvent event = MakeEvent(type, x, y, wParam);
    control.HandleEvent(event);
}

void Tick(CControlUI& control, int count = 1)
{
    for (int i = 0; i < count; ++i)
        Send(control, EventTimer, 0, 0, CScrollBarUI::kRepeatTimerId);
}

// ---- geometry ----------------------------------------------------------------

struct GeometryRow
{
    const char* attributes;
    RECT bounds;
    const char* button1;
    const char* button2;
    const char* thumb;
};

const GeometryRow kGeometry[] = {
    { "range=\"100\" value=\"0\"", { 10, 20, 26, 120 }, "10,20,26,36", "10,104,26,120", "10,36,26,70" },
    { "range=\"100\" value=\"100\"", { 10, 20, 26, 120 }, "10,20,26,36", "10,104,26,120", "10,70,26,104" },
    { "range=\"0\"", { 10, 20, 26, 120 }, "10,20,26,36", "10,104,26,120", "10,36,26,104" },
    // Too short for a thumb: two halves.
    { "range=\"100\"", { 10, 20, 26, 40 }, "10,20,26,30", "10,30,26,40", "0,0,0,0" },
    // A long content keeps the thumb at the button size.
    { "range=\"10000\" value=\"5000\"", { 10, 20, 26, 120 }, "10,20,26,36", "10,104,26,120", "10,62,26,78" },
    { "range=\"10000\" value=\"10000\"", { 10, 20, 26, 120 }, "10,20,26,36", "10,104,26,120", "10,88,26,104" },
    { "showbutton1=\"false\"", { 10, 20, 26, 120 }, "10,20,10,20", "10,104,26,120", "10,20,26,62" },
    { "showbutton2=\"false\" showbutton1=\"false\" value=\"100\"", { 10, 20, 26, 120 }, "10,20,10,20",
      "10,120,10,120", "10,70,26,120" },
    { "hor=\"true\" value=\"100\"", { 10, 20, 110, 36 }, "10,20,26,36", "94,20,110,36", "60,20,94,36" },
};

TEST(ScrollBarUITest, PartsFollowRangePositionAndLength)
{
    for (const GeometryRow& row : kGeometry) {
        SCOPED_TRACE(row.attributes);
        CScrollBarUI bar;
        bar.ApplyAttributeString(row.attributes);
        bar.SetBounds(row.bounds);
        EXPECT_EQ(row.button1, RectText(bar.GetButton1Rect()));
        EXPECT_EQ(row.button2, RectText(bar.GetButton2Rect()));
        EXPECT_EQ(row.thumb, RectText(bar.GetThumbRect()));
    }
}

TEST(ScrollBarUITest, IdentityAttributesAndClamping)
{
    CScrollBarUI bar;
    EXPECT_STREQ("ScrollBarUI", bar.GetClassName());
    EXPECT_EQ(&bar, bar.FindInterface("ScrollBar"));
    EXPECT_EQ(&bar, bar.FindInterface("Control"));
    EXPECT_EQ(nullptr, bar.FindInterface("Button"));
    EXPECT_EQ(16, bar.GetPresetWidth());
    EXPECT_EQ(100, bar.GetRange());
    EXPECT_EQ(8, bar.GetLineSize());

    bar.SetAttribute("value", "70");
    bar.SetAttribute("range", "-5");
    EXPECT_EQ(0, bar.GetRange());
    EXPECT_EQ(0, bar.GetPosition());
    bar.SetAttribute("range", "50");
    bar.SetAttribute("value", "80");
    EXPECT_EQ(50, bar.GetPosition());
    bar.SetAttribute("linesize", "20");
    EXPECT_EQ(20, bar.GetLineSize());

    bar.SetAttribute("hor", "true");
    EXPECT_TRUE(bar.IsHorizontal());
    EXPECT_EQ(0, bar.GetPresetWidth());
    EXPECT_EQ(16, bar.GetPresetHeight());
    bar.SetAttribute("hor", "false");
    EXPECT_EQ(16, bar.GetPresetWidth());
    EXPECT_EQ(0, bar.GetPresetHeight());

    // The main skin's default look of vertical bars.
    bar.ApplyAttributeString("button1normalimage=\"res='119' restype='png' source='0,0,16,16'\" "
                             "thumbnormalimage=\"res='119' restype='png' source='0,48,16,64' corner='0,2,0,2'\" "
                             "bknormalimage=\"res='119' restype='png' source='0,16,16,32'\"");
    EXPECT_STREQ("res='119' restype='png' source='0,0,16,16'", bar.GetButton1NormalImage());
    EXPECT_STREQ("res='119' restype='png' source='0,48,16,64' corner='0,2,0,2'", bar.GetThumbNormalImage());
    EXPECT_STREQ("res='119' restype='png' source='0,16,16,32'", bar.GetBkNormalImage());
    EXPECT_STREQ("", bar.GetRailNormalImage());
}

// ---- a bar on its own --------------------------------------------------------

// A vertical bar at (0, 0, 16, 100), range 100: buttons 0..16 and 84..100,
// thumb 16..50 at position 0.
class FreeBarTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RECT rc = { 0, 0, 16, 100 };
        bar.SetBounds(rc);
    }
    CScrollBarUI bar;
};

TEST_F(FreeBarTest, ArrowButtonsStepByTheLineSize)
{
    Send(bar, EventButtonDown, 8, 90);
    EXPECT_EQ(8, bar.GetPosition());
    EXPECT_NE(0u, bar.GetButton2State() & ButtonPushed);
    Send(bar, EventButtonUp, 8, 90);
    EXPECT_EQ(0u, bar.GetButton2State() & ButtonPushed);
    Send(bar, EventButtonDown, 8, 4);
    EXPECT_EQ(0, bar.GetPosition());
    Send(bar, EventButtonUp, 8, 4);
}

TEST_F(FreeBarTest, ClicksOnTheRailPageByTheBarLength)
{
    bar.SetRange(400);
    // Thumb: 100 * 68 / 500 = 13, at least 16: 16..32.
    EXPECT_EQ("0,16,16,32", RectText(bar.GetThumbRect()));
    Send(bar, EventButtonDown, 8, 60);
    EXPECT_EQ(100, bar.GetPosition());
    Send(bar, EventButtonUp, 8, 60);
    // Thumb now at 16 + 52 * 100 / 400 = 29.
    Send(bar, EventButtonDown, 8, 20);
    EXPECT_EQ(0, bar.GetPosition());
    Send(bar, EventButtonUp, 8, 20);
}

TEST_F(FreeBarTest, HeldButtonRepeatsAfterFiveTicks)
{
    Send(bar, EventButtonDown, 8, 90);
    EXPECT_EQ(8, bar.GetPosition());
    Tick(bar, 5);
    EXPECT_EQ(8, bar.GetPosition());
    Tick(bar);
    EXPECT_EQ(16, bar.GetPosition());
    Tick(bar, 2);
    EXPECT_EQ(32, bar.GetPosition());
    Send(bar, EventButtonUp, 8, 90);
    // A new press starts the delay afresh.
    Send(bar, EventButtonDown, 8, 4);
    EXPECT_EQ(24, bar.GetPosition());
    Tick(bar, 5);
    EXPECT_EQ(24, bar.GetPosition());
}

TEST_F(FreeBarTest, DraggedThumbMovesThePositionOnEachTick)
{
    Send(bar, EventButtonDown, 8, 30);
    EXPECT_EQ(ButtonPushed | ButtonCaptured, bar.GetThumbState() & (ButtonPushed | ButtonCaptured));
    EXPECT_EQ(0, bar.GetPosition());
    // Free travel 68 - 34 = 34 pixels for a range of 100.
    Send(bar, EventMouseMove, 8, 47);
    EXPECT_EQ(0, bar.GetPosition());
    Tick(bar);
    EXPECT_EQ(50, bar.GetPosition());
    Send(bar, EventMouseMove, 8, 200);
    Tick(bar);
    EXPECT_EQ(100, bar.GetPosition());
    Send(bar, EventButtonUp, 8, 200);
    EXPECT_EQ(0u, bar.GetThumbState() & (ButtonPushed | ButtonCaptured));
}

TEST_F(FreeBarTest, ThumbFollowsTheMouseWithoutButtons)
{
    // Dragging used to assume both buttons were shown, so that without them
    // the thumb ran ahead of the mouse.
    bar.SetShowButton1(false);
    bar.SetShowButton2(false);
    EXPECT_EQ("0,0,16,50", RectText(bar.GetThumbRect()));
    Send(bar, EventButtonDown, 8, 10);
    Send(bar, EventMouseMove, 8, 19);
    Tick(bar);
    EXPECT_EQ(18, bar.GetPosition());
    EXPECT_EQ(9, bar.GetThumbRect().top);
    Send(bar, EventButtonUp, 8, 19);
}

TEST_F(FreeBarTest, HotStateFollowsTheMouse)
{
    Send(bar, EventMouseEnter, 8, 90);
    EXPECT_NE(0u, bar.GetButton1State() & ButtonHot);
    EXPECT_NE(0u, bar.GetButton2State() & ButtonHot);
    EXPECT_EQ(0u, bar.GetThumbState() & ButtonHot);
    Send(bar, EventMouseMove, 8, 30);
    EXPECT_NE(0u, bar.GetThumbState() & ButtonHot);
    Send(bar, EventMouseLeave);
    EXPECT_EQ(0u, (bar.GetButton1State() | bar.GetButton2State() | bar.GetThumbState()) & ButtonHot);
}

TEST_F(FreeBarTest, DisabledBarIgnoresPressesAndStopsRepeating)
{
    Send(bar, EventButtonDown, 8, 90);
    bar.SetEnabled(false);
    EXPECT_EQ(0u, bar.GetButton2State());
    Tick(bar, 10);
    EXPECT_EQ(8, bar.GetPosition());
    Send(bar, EventButtonDown, 8, 90);
    EXPECT_EQ(8, bar.GetPosition());
}

// ---- with a host window ------------------------------------------------------

class HostedTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(window.Create(nullptr, "scroll test", WS_POPUP, 0, 0, 0, 300, 200) != nullptr);
        hwnd = window.GetWindowHandle();
        ShowWindowQuietly(hwnd);
        host = new CWindowHostUI;
        window.host = host;
        host->AttachWindow(hwnd);
        host->AddListener(&recorder);
    }
    void TearDown() override
    {
        if (::IsWindow(hwnd))
            ::DestroyWindow(hwnd);
        window.host = nullptr;
        delete host;
    }
    void Attach(CControlUI* root)
    {
        ASSERT_TRUE(host->AttachRoot(root));
        RECT all = { 0, 0, 200, 100 };
        root->SetBounds(all);
        host->SetUpdateNeeded(false);
        host->SetFocusNeeded(false);
        log.clear();
    }
    int ScrollCount() const
    {
        int count = 0;
        for (const std::string& entry : log)
            count += entry.find("notify:scroll:") == 0 ? 1 : 0;
        return count;
    }
    LRESULT SendToWindow(UINT message, WPARAM wParam, LPARAM lParam)
    {
        return ::SendMessageA(hwnd, message, wParam, lParam);
    }

    HostWindow window;
    HWND hwnd = nullptr;
    CWindowHostUI* host = nullptr;
    Log log;
    NotifyRecorder recorder{ &log };
};

TEST_F(HostedTest, FreeBarSendsScrollAndRunsItsTimer)
{
    CContainerUI* root = new CContainerUI;
    CScrollBarUI* bar = new CScrollBarUI;
    bar->SetName("bar");
    bar->SetFloating(true);
    root->AddChild(bar);
    Attach(root);
    RECT rc = { 0, 0, 16, 100 };
    bar->SetBounds(rc);

    SendToWindow(WM_LBUTTONDOWN, MK_LBUTTON, Point(8, 90));
    EXPECT_EQ(8, bar->GetPosition());
    EXPECT_EQ(1, ScrollCount());
    // Ticks before the delay send nothing; each later one a "scroll".
    Tick(*bar, 5);
    EXPECT_EQ(1, ScrollCount());
    Tick(*bar);
    EXPECT_EQ(16, bar->GetPosition());
    EXPECT_EQ(2, ScrollCount());
    SendToWindow(WM_LBUTTONUP, 0, Point(8, 90));
    // The button's release stopped the repeat timer.
    EXPECT_FALSE(host->KillControlTimer(bar, CScrollBarUI::kRepeatTimerId));
    EXPECT_EQ(2, ScrollCount());

    // So does disabling the bar while it is held.
    SendToWindow(WM_LBUTTONDOWN, MK_LBUTTON, Point(8, 90));
    EXPECT_EQ(3, ScrollCount());
    bar->SetEnabled(false);
    EXPECT_FALSE(host->KillControlTimer(bar, CScrollBarUI::kRepeatTimerId));
    SendToWindow(WM_LBUTTONUP, 0, Point(8, 90));
}

// A vertical layout of 200 x 100 with a bar and five rows of 50 pixels:
// 150 pixels more than fit.
class ScrollingContainerTest : public HostedTest
{
protected:
    void SetUp() override
    {
        HostedTest::SetUp();
        root = new CVerticalLayoutUI;
        root->SetAttribute("vscrollbar", "true");
        for (int i = 0; i < 5; ++i) {
            rows[i] = new ProbeControl(i == 0 ? "row0" : "row", &log);
            rows[i]->SetPresetHeight(50);
            root->AddChild(rows[i]);
        }
        Attach(root);
        bar = root->GetVerticalScrollBar();
        ASSERT_NE(nullptr, bar);
    }

    CVerticalLayoutUI* root = nullptr;
    ProbeControl* rows[5] = {};
    CScrollBarUI* bar = nullptr;
};

TEST_F(ScrollingContainerTest, BarTakesTheOverflowAsItsRange)
{
    EXPECT_EQ(root, bar->GetOwner());
    EXPECT_TRUE(bar->IsVisible());
    EXPECT_EQ(150, bar->GetRange());
    EXPECT_EQ(0, bar->GetPosition());
    EXPECT_EQ("184,0,200,100", RectText(bar->GetBounds()));
    EXPECT_EQ("0,200,184,250", RectText(rows[4]->GetBounds()));
    SIZE range = root->GetScrollRange();
    EXPECT_EQ(150, range.cy);
    EXPECT_EQ(0, range.cx);
}

TEST_F(ScrollingContainerTest, WheelAndKeysMoveTheChildren)
{
    int line = host->GetDefaultFontRecord()->metrics.tmHeight + 8;
    SendToWindow(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), ScreenPoint(hwnd, 50, 50));
    EXPECT_EQ(line, root->GetScrollPos().cy);
    EXPECT_EQ(-line, rows[0]->GetBounds().top);
    SendToWindow(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), ScreenPoint(hwnd, 50, 50));
    EXPECT_EQ(0, root->GetScrollPos().cy);
    EXPECT_EQ(0, rows[0]->GetBounds().top);

    root->ScrollToBottom();
    EXPECT_EQ(150, bar->GetPosition());
    EXPECT_EQ(100, rows[4]->GetBounds().bottom);
    root->ScrollPageUp();
    EXPECT_EQ(50, bar->GetPosition());
    EXPECT_EQ(-50, rows[0]->GetBounds().top);
    // A later layout keeps the scrolled place.
    RECT all = { 0, 0, 200, 100 };
    root->SetBounds(all);
    EXPECT_EQ(-50, rows[0]->GetBounds().top);
}

TEST_F(ScrollingContainerTest, BarButtonsAndThumbScrollTheOwner)
{
    int line = host->GetDefaultFontRecord()->metrics.tmHeight + 8;
    // Button 2 of the bar: 84..100 at the right edge.
    SendToWindow(WM_LBUTTONDOWN, MK_LBUTTON, Point(192, 92));
    EXPECT_EQ(line, bar->GetPosition());
    EXPECT_EQ(-line, rows[0]->GetBounds().top);
    SendToWindow(WM_LBUTTONUP, 0, Point(192, 92));
    // An owned bar sends no "scroll": the owner moved the content.
    for (const std::string& entry : log)
        EXPECT_EQ(std::string::npos, entry.find("scroll"));

    root->ScrollToTop();
    // Thumb: 100 * 68 / 250 = 27 pixels at 16; free travel 41.
    ASSERT_EQ("184,16,200,43", RectText(bar->GetThumbRect()));
    SendToWindow(WM_LBUTTONDOWN, MK_LBUTTON, Point(192, 20));
    SendToWindow(WM_MOUSEMOVE, MK_LBUTTON, Point(192, 61));
    Tick(*bar);
    EXPECT_EQ(150, bar->GetPosition());
    EXPECT_EQ(-150, rows[0]->GetBounds().top);
    SendToWindow(WM_LBUTTONUP, 0, Point(192, 61));
}

TEST_F(ScrollingContainerTest, BarHidesWhenTheContentFits)
{
    root->ScrollToBottom();
    for (int i = 4; i >= 2; --i)
        root->RemoveChildAt(i);
    RECT all = { 0, 0, 200, 100 };
    root->SetBounds(all);
    EXPECT_FALSE(bar->IsVisible());
    EXPECT_EQ(0, bar->GetRange());
    EXPECT_EQ(0, root->GetScrollPos().cy);
    EXPECT_EQ("0,0,200,50", RectText(rows[0]->GetBounds()));
    // The wheel does nothing now.
    SendToWindow(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), ScreenPoint(hwnd, 50, 50));
    EXPECT_EQ(0, rows[0]->GetBounds().top);
}

TEST_F(HostedTest, ContainerTakesTheHostDefaultsForItsBar)
{
    host->SetClassDefaults("VScrollBar", "button1normalimage=\"up.png\" linesize=\"3\"");
    CVerticalLayoutUI* root = new CVerticalLayoutUI;
    Attach(root);
    root->SetAttribute("vscrollbar", "true");
    CScrollBarUI* bar = root->GetVerticalScrollBar();
    ASSERT_NE(nullptr, bar);
    EXPECT_STREQ("up.png", bar->GetButton1NormalImage());
    EXPECT_EQ(3, bar->GetLineSize());
    root->SetAttribute("hscrollbar", "true");
    ASSERT_NE(nullptr, root->GetHorizontalScrollBar());
    EXPECT_TRUE(root->GetHorizontalScrollBar()->IsHorizontal());
    EXPECT_EQ(16, root->GetHorizontalScrollBar()->GetPresetHeight());
    root->SetAttribute("vscrollbar", "false");
    EXPECT_EQ(nullptr, root->GetVerticalScrollBar());
}

// ---- painting ------------------------------------------------------------------

using colourimages::LoadColour;

class ScrollBarPaintTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        previousLoader = CWindowHostUI::SetImageLoader(LoadColour);
        bar.SetHost(&host, nullptr, false);
        RECT rc = { 0, 0, 16, 100 };
        bar.SetBounds(rc);
    }
    void TearDown() override { CWindowHostUI::SetImageLoader(previousLoader); }
    void Paint()
    {
        canvas.Clear();
        RECT all = { 0, 0, canvas.width(), canvas.height() };
        bar.Paint(canvas.dc(), all);
    }

    CWindowHostUI host;
    CScrollBarUI bar;
    texttest::Canvas canvas{ 20, 110 };
    UIImageLoader previousLoader = nullptr;
};

TEST_F(ScrollBarPaintTest, PartsWithoutImagesAreOutlined)
{
    Paint();
    EXPECT_EQ(0x85E4FFu, canvas.Rgb(0, 0));     // button 1
    EXPECT_EQ(0x85E4FFu, canvas.Rgb(15, 99));   // button 2
    EXPECT_EQ(0x85E4FFu, canvas.Rgb(0, 16));    // thumb
    EXPECT_EQ(0xFFFFFFu, canvas.Rgb(8, 8));     // insides stay clear
    EXPECT_EQ(0xFFFFFFu, canvas.Rgb(8, 60));
    EXPECT_EQ(0xFFFFFFu, canvas.Rgb(18, 50));   // nothing beyond the bar
}

TEST_F(ScrollBarPaintTest, EachPartDrawsTheImageOfItsState)
{
    bar.ApplyAttributeString("button1normalimage=\"red.png\" button1hotimage=\"green.png\" "
                             "button1disabledimage=\"blue.png\" thumbnormalimage=\"red.png\" "
                             "thumbpushedimage=\"blue.png\" bknormalimage=\"green.png\" "
                             "railnormalimage=\"blue.png\"");
    Paint();
    EXPECT_EQ(0xFF0000u, canvas.Rgb(8, 8));   // button 1: normal
    EXPECT_EQ(0x00FF00u, canvas.Rgb(8, 60));  // background between thumb and button 2
    EXPECT_EQ(0xFF0000u, canvas.Rgb(8, 18));  // thumb (16..50) outside the rail mark
    EXPECT_EQ(0x0000FFu, canvas.Rgb(8, 33));  // rail mark: 16 square centred at 33
    EXPECT_EQ(0xFF0000u, canvas.Rgb(8, 48));
    EXPECT_EQ(0x85E4FFu, canvas.Rgb(0, 99));  // button 2 without images

    Send(bar, EventMouseEnter, 8, 90);
    Paint();
    EXPECT_EQ(0x00FF00u, canvas.Rgb(8, 8));   // button 1: hot

    Send(bar, EventButtonDown, 8, 20);
    Paint();
    EXPECT_EQ(0x0000FFu, canvas.Rgb(8, 18));  // thumb: pushed
    Send(bar, EventButtonUp, 8, 20);

    bar.SetEnabled(false);
    Paint();
    EXPECT_EQ(0x0000FFu, canvas.Rgb(8, 8));   // button 1: disabled
    EXPECT_EQ(0xFF0000u, canvas.Rgb(8, 18));  // thumb: no disabled image, normal
}

TEST_F(ScrollBarPaintTest, ImageThatCannotBeDrawnIsCleared)
{
    bar.ApplyAttributeString("thumbnormalimage=\"red.png\" thumbhotimage=\"missing.png\" "
                             "button1normalimage=\"missing.png\"");
    Send(bar, EventMouseEnter, 8, 30);
    Paint();
    EXPECT_STREQ("", bar.GetThumbHotImage());
    EXPECT_STREQ("red.png", bar.GetThumbNormalImage());
    EXPECT_EQ(0xFF0000u, canvas.Rgb(8, 20));
    EXPECT_STREQ("", bar.GetButton1NormalImage());
    EXPECT_EQ(0x85E4FFu, canvas.Rgb(0, 0));
}

} // namespace
