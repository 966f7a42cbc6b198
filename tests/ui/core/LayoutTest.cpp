// Vertical and horizontal layouts: the main window's tree, the sizing
// rules, and the splitter.

#include <gtest/gtest.h>

#include "ui/core/ContainerUI.h"
#include "ui/core/HorizontalLayoutUI.h"
#include "ui/core/VerticalLayoutUI.h"
#include "ui/gfx/MemoryBitmap.h"
#include "tests/ui/core/ControlTreeTestSupport.h"

namespace ui {
namespace {

using test::Rect;
using test::HasBounds;

template <class T>
T* Add(CContainerUI* parent, const char* attributes = "")
{
    T* control = new T;
    control->ApplyAttributeString(attributes);
    parent->AddChild(control);
    return control;
}

// The main window's tree as its skin describes it; labels and buttons are
// plain controls with the same sizes, which is all a layout reads.
struct MainWindowTree
{
    MainWindowTree()
    {
        root.ApplyAttributeString("bkcolor=\"#FFFFFFFF\" bordersize=\"1\" bordercolor=\"#FF0934DA\"");
        header = Add<CVerticalLayoutUI>(&root, "name=\"header\" height=\"225\"");
        body = Add<CVerticalLayoutUI>(&root, "name=\"body\" height=\"350\"");
        footer = Add<CHorizontalLayoutUI>(&root, "name=\"footer\"");

        titleRow = Add<CHorizontalLayoutUI>(header, "height=\"25\"");
        titleSpacer = Add<CControlUI>(titleRow);
        minButton = Add<CControlUI>(titleRow, "name=\"minbtn\" width=\"26\" height=\"18\"");
        closeButton = Add<CControlUI>(titleRow, "name=\"closebtn\" width=\"43\" height=\"18\"");
        title = Add<CControlUI>(header, "name=\"lbl_title\" padding=\"20,0,0,0\" height=\"150\" width=\"\"");

        box = Add<CContainerUI>(body);
        newToken = Add<CVerticalLayoutUI>(box, "name=\"vlay_newtoken\"");
        topSpacer = Add<CControlUI>(newToken);
        codeRow = Add<CHorizontalLayoutUI>(newToken, "height=\"70\"");
        codeLeft = Add<CControlUI>(codeRow);
        for (int i = 0; i < 6; ++i)
            digits[i] = Add<CControlUI>(codeRow, "width=\"65\" padding=\"10,0,0,10\"");
        codeRight = Add<CControlUI>(codeRow);
        middleSpacer = Add<CControlUI>(newToken);
        tip = Add<CControlUI>(newToken, "name=\"lbl_tokentip\" height=\"100\" padding=\"300,0,0,0\"");
        buttonRow = Add<CHorizontalLayoutUI>(body, "height=\"80\"");
        buttonLeft = Add<CControlUI>(buttonRow);
        newTokenButton = Add<CControlUI>(buttonRow, "name=\"btn_newtoken\" width=\"200\" height=\"50\"");
        buttonRight = Add<CControlUI>(buttonRow);

        version = Add<CControlUI>(footer, "name=\"lbl_version\" padding=\"10,0,0,0\"");
        footerSpacer = Add<CControlUI>(footer);
        vendor = Add<CControlUI>(footer, "name=\"btn_vendor\"");
    }

    CVerticalLayoutUI root;
    CVerticalLayoutUI* header;
    CVerticalLayoutUI* body;
    CHorizontalLayoutUI* footer;
    CHorizontalLayoutUI* titleRow;
    CControlUI* titleSpacer;
    CControlUI* minButton;
    CControlUI* closeButton;
    CControlUI* title;
    CContainerUI* box;
    CVerticalLayoutUI* newToken;
    CControlUI* topSpacer;
    CHorizontalLayoutUI* codeRow;
    CControlUI* codeLeft;
    CControlUI* digits[6];
    CControlUI* codeRight;
    CControlUI* middleSpacer;
    CControlUI* tip;
    CHorizontalLayoutUI* buttonRow;
    CControlUI* buttonLeft;
    CControlUI* newTokenButton;
    CControlUI* buttonRight;
    CControlUI* version;
    CControlUI* footerSpacer;
    CControlUI* vendor;
};

TEST(LayoutTest, MainWindowTreeIn800By600)
{
    MainWindowTree t;
    t.root.SetBounds(Rect(0, 0, 800, 600));

    EXPECT_TRUE(HasBounds(&t.root, 0, 0, 800, 600));
    EXPECT_TRUE(HasBounds(t.header, 0, 0, 800, 225));
    EXPECT_TRUE(HasBounds(t.body, 0, 225, 800, 575));
    EXPECT_TRUE(HasBounds(t.footer, 0, 575, 800, 600));

    EXPECT_TRUE(HasBounds(t.titleRow, 0, 0, 800, 25));
    EXPECT_TRUE(HasBounds(t.titleSpacer, 0, 0, 731, 25));
    EXPECT_TRUE(HasBounds(t.minButton, 731, 0, 757, 18));
    EXPECT_TRUE(HasBounds(t.closeButton, 757, 0, 800, 18));
    EXPECT_TRUE(HasBounds(t.title, 20, 25, 800, 175));

    EXPECT_TRUE(HasBounds(t.box, 0, 225, 800, 495));
    EXPECT_TRUE(HasBounds(t.buttonRow, 0, 495, 800, 575));
    EXPECT_TRUE(HasBounds(t.newToken, 0, 225, 800, 495));

    EXPECT_TRUE(HasBounds(t.topSpacer, 0, 225, 800, 275));
    EXPECT_TRUE(HasBounds(t.codeRow, 0, 275, 800, 345));
    EXPECT_TRUE(HasBounds(t.middleSpacer, 0, 345, 800, 395));
    EXPECT_TRUE(HasBounds(t.tip, 300, 395, 800, 495));

    EXPECT_TRUE(HasBounds(t.codeLeft, 0, 275, 175, 345));
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(HasBounds(t.digits[i], 185 + 75 * i, 275, 250 + 75 * i, 335)) << "digit " << i;
    // The six left paddings stay in the fixed remainder, so the last spacer
    // is 115 wide rather than 175.
    EXPECT_TRUE(HasBounds(t.codeRight, 625, 275, 740, 345));

    EXPECT_TRUE(HasBounds(t.buttonLeft, 0, 495, 300, 575));
    EXPECT_TRUE(HasBounds(t.newTokenButton, 300, 495, 500, 545));
    EXPECT_TRUE(HasBounds(t.buttonRight, 500, 495, 800, 575));

    EXPECT_TRUE(HasBounds(t.version, 10, 575, 273, 600));
    EXPECT_TRUE(HasBounds(t.footerSpacer, 273, 575, 536, 600));
    EXPECT_TRUE(HasBounds(t.vendor, 536, 575, 790, 600));
}

TEST(LayoutTest, ClassStrings)
{
    CVerticalLayoutUI v;
    CHorizontalLayoutUI h;
    EXPECT_STREQ("VerticalLayoutUI", v.GetClassName());
    EXPECT_STREQ("HorizontalLayoutUI", h.GetClassName());
    EXPECT_EQ(&v, v.FindInterface("VerticalLayout"));
    EXPECT_EQ(nullptr, v.FindInterface("HorizontalLayout"));
    EXPECT_EQ(&h, h.FindInterface("HorizontalLayout"));
    EXPECT_EQ(&h, h.FindInterface("Container"));
    EXPECT_NE(nullptr, h.FindInterface("IContainer"));
}

TEST(LayoutTest, FixedChildrenBeyondTheSpaceLeaveStretchChildrenTheirMinimum)
{
    CVerticalLayoutUI layout;
    CControlUI* a = Add<CControlUI>(&layout, "height=\"80\"");
    CControlUI* b = Add<CControlUI>(&layout, "height=\"40\"");
    CControlUI* s = Add<CControlUI>(&layout, "minheight=\"5\"");
    layout.SetBounds(Rect(0, 0, 50, 100));
    EXPECT_TRUE(HasBounds(a, 0, 0, 50, 80));
    EXPECT_TRUE(HasBounds(b, 0, 80, 50, 120));
    EXPECT_TRUE(HasBounds(s, 0, 120, 50, 125));
}

TEST(LayoutTest, InvisibleChildTakesNoSpaceNorChildPadding)
{
    CVerticalLayoutUI layout;
    layout.SetAttribute("childpadding", "10");
    CControlUI* a = Add<CControlUI>(&layout, "height=\"20\"");
    CControlUI* hidden = Add<CControlUI>(&layout, "height=\"30\" visible=\"false\"");
    CControlUI* s = Add<CControlUI>(&layout);
    layout.SetBounds(Rect(0, 0, 50, 100));
    EXPECT_TRUE(HasBounds(a, 0, 0, 50, 20));
    EXPECT_TRUE(HasBounds(hidden, 0, 0, 0, 0));
    // One gap; the last stretch child stops short by the gap still held in
    // the fixed remainder.
    EXPECT_TRUE(HasBounds(s, 0, 30, 50, 90));
}

TEST(LayoutTest, MaximumCountsInTheFirstPass)
{
    CVerticalLayoutUI layout;
    CControlUI* tall = Add<CControlUI>(&layout, "height=\"300\" maxheight=\"200\"");
    CControlUI* s1 = Add<CControlUI>(&layout);
    CControlUI* s2 = Add<CControlUI>(&layout);
    layout.SetBounds(Rect(0, 0, 50, 500));
    EXPECT_TRUE(HasBounds(tall, 0, 0, 50, 200));
    EXPECT_TRUE(HasBounds(s1, 0, 200, 50, 350));
    EXPECT_TRUE(HasBounds(s2, 0, 350, 50, 500));
}

TEST(LayoutTest, MinimumAndMaximumAcrossTheAxis)
{
    CHorizontalLayoutUI layout;
    CControlUI* narrow = Add<CControlUI>(&layout, "width=\"10\" minwidth=\"30\"");
    CControlUI* capped = Add<CControlUI>(&layout, "maxwidth=\"50\" maxheight=\"20\"");
    CControlUI* rest = Add<CControlUI>(&layout, "minheight=\"80\"");
    layout.SetBounds(Rect(0, 0, 200, 60));
    EXPECT_TRUE(HasBounds(narrow, 0, 0, 30, 60));
    EXPECT_TRUE(HasBounds(capped, 30, 0, 80, 20));
    EXPECT_TRUE(HasBounds(rest, 80, 0, 200, 80));
}

TEST(LayoutTest, PaddingAlongTheAxisLiesInsideTheRectangle)
{
    CVerticalLayoutUI vertical;
    CControlUI* v = Add<CControlUI>(&vertical, "height=\"20\" padding=\"5,6,7,8\"");
    CControlUI* after = Add<CControlUI>(&vertical, "height=\"10\"");
    vertical.SetBounds(Rect(0, 0, 100, 100));
    EXPECT_TRUE(HasBounds(v, 5, 6, 93, 34));
    EXPECT_TRUE(HasBounds(after, 0, 34, 100, 44));

    CHorizontalLayoutUI horizontal;
    CControlUI* h = Add<CControlUI>(&horizontal, "width=\"20\" padding=\"5,6,7,8\"");
    CControlUI* next = Add<CControlUI>(&horizontal, "width=\"10\"");
    horizontal.SetBounds(Rect(0, 0, 100, 100));
    EXPECT_TRUE(HasBounds(h, 5, 6, 32, 92));
    EXPECT_TRUE(HasBounds(next, 32, 0, 42, 100));
}

TEST(LayoutTest, InsetAndChildPadding)
{
    CHorizontalLayoutUI layout;
    layout.ApplyAttributeString("inset=\"10,5,10,5\" childpadding=\"4\"");
    CControlUI* a = Add<CControlUI>(&layout, "width=\"20\"");
    CControlUI* b = Add<CControlUI>(&layout);
    CControlUI* c = Add<CControlUI>(&layout, "width=\"20\" height=\"10\"");
    layout.SetBounds(Rect(100, 100, 300, 150));
    // Content 180 wide: fixed 40 and two gaps leave 132, but the stretch
    // child, being the last, also gives up the gap already placed.
    EXPECT_TRUE(HasBounds(a, 110, 105, 130, 145));
    EXPECT_TRUE(HasBounds(b, 134, 105, 262, 145));
    EXPECT_TRUE(HasBounds(c, 266, 105, 286, 115));
}

TEST(LayoutTest, FloatingChildIsPlacedApart)
{
    CVerticalLayoutUI layout;
    CControlUI* a = Add<CControlUI>(&layout, "height=\"20\"");
    CControlUI* badge = Add<CControlUI>(&layout, "float=\"true\" pos=\"-30,5,-5,25\"");
    CControlUI* s = Add<CControlUI>(&layout);
    layout.SetBounds(Rect(0, 0, 100, 100));
    EXPECT_TRUE(HasBounds(a, 0, 0, 100, 20));
    EXPECT_TRUE(HasBounds(badge, 70, 5, 95, 25));
    EXPECT_TRUE(HasBounds(s, 0, 20, 100, 100));
}

TEST(LayoutTest, EmptyLayoutOnlyStoresItsBounds)
{
    CVerticalLayoutUI layout;
    layout.SetBounds(Rect(1, 2, 3, 4));
    EXPECT_TRUE(HasBounds(&layout, 1, 2, 3, 4));
}

// ---- splitter --------------------------------------------------------------------

UIEvent MouseEvent(int type, int x, int y)
{
    UIEvent event = {};
    event.type = type;
    event.mousePoint.x = x;
    event.mousePoint.y = y;
    return event;
}

struct SplitterTree
{
    SplitterTree(const char* attributes)
    {
        pane = Add<CVerticalLayoutUI>(&outer, attributes);
        rest = Add<CControlUI>(&outer);
        outer.SetBounds(Rect(0, 0, 100, 300));
    }
    void Send(int type, int x, int y)
    {
        UIEvent event = MouseEvent(type, x, y);
        pane->DispatchEvent(event);
    }
    CVerticalLayoutUI outer;
    CVerticalLayoutUI* pane;
    CControlUI* rest;
};

TEST(LayoutTest, SplitterDragsTheBottomEdgeInImmediateMode)
{
    SplitterTree t("height=\"100\" sepheight=\"5\" sepimm=\"true\"");
    EXPECT_EQ(static_cast<UINT>(ControlFlagSetCursor), t.pane->GetBehaviorFlags());
    ASSERT_TRUE(HasBounds(t.pane, 0, 0, 100, 100));

    // A press outside the strip starts nothing.
    t.Send(EventButtonDown, 50, 80);
    EXPECT_FALSE(t.pane->IsDragging());

    t.Send(EventButtonDown, 50, 97);
    ASSERT_TRUE(t.pane->IsDragging());
    // Moving down only follows once the pointer is past bottom + strip.
    t.Send(EventMouseMove, 50, 100);
    EXPECT_EQ(100, t.pane->GetPresetHeight());
    t.Send(EventMouseMove, 50, 110);
    EXPECT_EQ(110, t.pane->GetPresetHeight());
    EXPECT_TRUE(HasBounds(t.pane, 0, 0, 100, 110));
    t.Send(EventMouseMove, 50, 104);
    EXPECT_EQ(104, t.pane->GetPresetHeight());
    t.Send(EventButtonUp, 50, 104);
    EXPECT_FALSE(t.pane->IsDragging());

    t.outer.SetBounds(t.outer.GetBounds());
    EXPECT_TRUE(HasBounds(t.rest, 0, 104, 100, 300));
}

TEST(LayoutTest, SplitterRespectsTheMinimumHeight)
{
    SplitterTree t("height=\"100\" minheight=\"90\" sepheight=\"5\" sepimm=\"true\"");
    t.Send(EventButtonDown, 50, 99);
    t.Send(EventMouseMove, 50, 80);
    EXPECT_EQ(90, t.pane->GetPresetHeight());
    // Already at the minimum: further moves up are ignored.
    t.Send(EventMouseMove, 50, 70);
    EXPECT_EQ(90, t.pane->GetPresetHeight());
    t.Send(EventButtonUp, 50, 70);
    EXPECT_TRUE(HasBounds(t.pane, 0, 0, 100, 90));
}

TEST(LayoutTest, SplitterStripAtTheTopMovesTheTopEdge)
{
    CVerticalLayoutUI outer;
    Add<CControlUI>(&outer);
    CVerticalLayoutUI* pane = Add<CVerticalLayoutUI>(&outer, "height=\"100\" sepheight=\"-4\" sepimm=\"true\"");
    outer.SetBounds(Rect(0, 0, 100, 300));
    ASSERT_TRUE(HasBounds(pane, 0, 200, 100, 300));
    UIEvent down = MouseEvent(EventButtonDown, 10, 202);
    pane->DispatchEvent(down);
    ASSERT_TRUE(pane->IsDragging());
    UIEvent move = MouseEvent(EventMouseMove, 10, 190);
    pane->DispatchEvent(move);
    EXPECT_EQ(112, pane->GetPresetHeight());
    EXPECT_TRUE(HasBounds(pane, 0, 188, 100, 300));
}

TEST(LayoutTest, SplitterTrackerIsPaintedInTrackerMode)
{
    SplitterTree t("height=\"100\" sepheight=\"5\"");
    t.Send(EventButtonDown, 50, 97);
    t.Send(EventMouseMove, 50, 120);
    // The layout keeps its bounds until the release.
    EXPECT_TRUE(HasBounds(t.pane, 0, 0, 100, 100));

    {
        CMemoryBitmapUI surface(nullptr, 100, 300);
        DWORD* pixels = surface.GetBits();
        for (int i = 0; i < 100 * 300; ++i)
            pixels[i] = 0x00FFFFFF;
        t.pane->PaintOverlay(surface.GetDC(), Rect(0, 0, 100, 300));
        ::GdiFlush();
        // The strip of the dragged rectangle (rows 118 .. 122) is darkened to
        // about a third; above it nothing changes.
        DWORD inStrip = pixels[120 * 100 + 50] & 0xFF;
        EXPECT_NEAR(0x55, static_cast<int>(inStrip), 3);
        EXPECT_EQ(0x00FFFFFFu, pixels[116 * 100 + 50] & 0xFFFFFF);
    }

    t.Send(EventButtonUp, 50, 120);
    EXPECT_TRUE(HasBounds(t.pane, 0, 0, 100, 123));
}

TEST(LayoutTest, HorizontalSplitterAndAttributes)
{
    CHorizontalLayoutUI outer;
    CHorizontalLayoutUI* pane = Add<CHorizontalLayoutUI>(&outer, "width=\"50\" sepwidth=\"4\" sepimm=\"true\"");
    // The vertical layout's name is not the horizontal one's.
    pane->SetAttribute("sepheight", "9");
    EXPECT_EQ(4, pane->GetSeparatorSize());
    EXPECT_TRUE(pane->IsImmediate());
    outer.SetBounds(Rect(0, 0, 200, 100));
    UIEvent down = MouseEvent(EventButtonDown, 48, 50);
    pane->DispatchEvent(down);
    UIEvent move = MouseEvent(EventMouseMove, 70, 50);
    pane->DispatchEvent(move);
    EXPECT_EQ(72, pane->GetPresetWidth());

    CVerticalLayoutUI plain;
    EXPECT_EQ(0u, plain.GetBehaviorFlags());
    plain.SetAttribute("sepheight", "3");
    plain.SetEnabled(false);
    EXPECT_EQ(0u, plain.GetBehaviorFlags());
}

} // namespace
} // namespace ui
