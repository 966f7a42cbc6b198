#include "ui/core/ContainerUI.h"
#include "tests/ui/core/ControlTreeTestSupport.h"

#include <vector>

#include <gtest/gtest.h>

#include "ui/gfx/MemoryBitmap.h"
#include "ui/core/WindowHostUI.h"

namespace ui {
namespace {

using test::Rect;
using test::HasBounds;

// Counts its instances, so that tests see which children were deleted.
class CountedControl : public CControlUI
{
public:
    CountedControl() { ++alive; }
    ~CountedControl() override { --alive; }
    static int alive;
};
int CountedControl::alive = 0;

TEST(ContainerUITest, ChildListOperations)
{
    CountedControl::alive = 0;
    {
        CContainerUI container;
        IContainerUI* list = static_cast<IContainerUI*>(container.FindInterface("IContainer"));
        ASSERT_NE(nullptr, list);
        EXPECT_EQ(&container, container.FindInterface("Container"));
        EXPECT_EQ(&container, container.FindInterface("Control"));
        EXPECT_STREQ("ContainerUI", container.GetClassName());

        CControlUI* a = new CountedControl;
        CControlUI* b = new CountedControl;
        CControlUI* c = new CountedControl;
        EXPECT_FALSE(list->AddChild(nullptr));
        EXPECT_TRUE(list->AddChild(a));
        EXPECT_TRUE(list->AddChild(c));
        EXPECT_FALSE(list->InsertChild(b, 3));
        EXPECT_FALSE(list->InsertChild(b, -1));
        EXPECT_TRUE(list->InsertChild(b, 1));
        EXPECT_EQ(3, list->GetChildCount());
        EXPECT_EQ(b, list->GetChildAt(1));
        EXPECT_EQ(nullptr, list->GetChildAt(3));
        EXPECT_EQ(nullptr, list->GetChildAt(-1));
        EXPECT_EQ(2, list->GetChildIndex(c));

        EXPECT_TRUE(list->MoveChildTo(c, 0));
        EXPECT_EQ(c, list->GetChildAt(0));
        EXPECT_EQ(a, list->GetChildAt(1));
        // Regression: an index out of range used to leave the child out of
        // the list, neither owned nor deleted.
        EXPECT_FALSE(list->MoveChildTo(c, 3));
        EXPECT_EQ(3, list->GetChildCount());
        EXPECT_EQ(c, list->GetChildAt(0));

        // Without a host removed children are deleted at once.
        EXPECT_TRUE(list->RemoveChild(a));
        EXPECT_EQ(2, CountedControl::alive);
        EXPECT_FALSE(list->RemoveChild(a));
        EXPECT_FALSE(list->RemoveChildAt(5));

        container.SetOwnsChildren(false);
        CountedControl kept;
        list->AddChild(&kept);
        EXPECT_TRUE(list->RemoveChild(&kept));
        EXPECT_EQ(3, CountedControl::alive);
        container.SetOwnsChildren(true);
    }
    EXPECT_EQ(0, CountedControl::alive);
}

TEST(ContainerUITest, InvisibleContainerHidesChildrenThroughTheirParentFlag)
{
    CContainerUI container;
    container.SetVisible(false);
    CControlUI* child = new CControlUI;
    container.AddChild(child);
    EXPECT_FALSE(child->IsVisible());
    container.SetVisible(true);
    EXPECT_TRUE(child->IsVisible());

    CContainerUI outer;
    CContainerUI* inner = new CContainerUI;
    CControlUI* leaf = new CControlUI;
    inner->AddChild(leaf);
    outer.AddChild(inner);
    outer.SetVisible(false);
    EXPECT_FALSE(inner->IsVisible());
    EXPECT_FALSE(leaf->IsVisible());
    outer.SetVisible(true);
    EXPECT_TRUE(leaf->IsVisible());
}

TEST(ContainerUITest, PlainContainerStacksChildrenOnTheInsetArea)
{
    CContainerUI container;
    container.SetAttribute("inset", "10,20,30,40");
    CControlUI* a = new CControlUI;
    CControlUI* b = new CControlUI;
    b->SetAttribute("padding", "5,5,5,5");
    CControlUI* hidden = new CControlUI;
    hidden->SetVisible(false);
    container.AddChild(a);
    container.AddChild(b);
    container.AddChild(hidden);
    container.SetBounds(Rect(0, 0, 200, 200));
    EXPECT_TRUE(HasBounds(a, 10, 20, 170, 160));
    EXPECT_TRUE(HasBounds(b, 10, 20, 170, 160));
    EXPECT_TRUE(HasBounds(hidden, 0, 0, 0, 0));
}

TEST(ContainerUITest, FloatingChildKeepsItsOffsetFromTheNearEdges)
{
    CContainerUI container;
    CControlUI* corner = new CControlUI;
    corner->ApplyAttributeString("float=\"true\" pos=\"-110,-60,-10,-10\"");
    CControlUI* topLeft = new CControlUI;
    topLeft->ApplyAttributeString("float=\"true\" pos=\"10,20,110,70\"");
    container.AddChild(corner);
    container.AddChild(topLeft);
    container.SetBounds(Rect(0, 0, 800, 600));
    EXPECT_TRUE(HasBounds(corner, 690, 540, 790, 590));
    EXPECT_TRUE(HasBounds(topLeft, 10, 20, 110, 70));
    container.SetBounds(Rect(100, 100, 500, 400));
    EXPECT_TRUE(HasBounds(corner, 390, 340, 490, 390));
    EXPECT_TRUE(HasBounds(topLeft, 110, 120, 210, 170));
}

TEST(ContainerUITest, RelativeChildFollowsHalfTheGrowth)
{
    CWindowHostUI host;
    CContainerUI* container = new CContainerUI;
    CControlUI* child = new CControlUI;
    child->ApplyAttributeString("float=\"true\" pos=\"100,100,150,130\" relativepos=\"50,50,0,0\"");
    container->AddChild(child);
    ASSERT_TRUE(host.AttachRoot(container));

    container->SetBounds(Rect(0, 0, 400, 300));
    EXPECT_TRUE(HasBounds(child, 100, 100, 150, 130));
    EXPECT_EQ(400, child->GetRelativePlacement().parentSize.cx);

    container->SetBounds(Rect(0, 0, 600, 400));
    EXPECT_TRUE(HasBounds(child, 200, 150, 250, 180));
    // Moves accumulate: laying out again at the same size stays put, and
    // further growth moves on from there.
    container->SetBounds(Rect(0, 0, 600, 400));
    EXPECT_TRUE(HasBounds(child, 200, 150, 250, 180));
    container->SetBounds(Rect(0, 0, 800, 400));
    EXPECT_TRUE(HasBounds(child, 300, 150, 350, 180));
}

TEST(ContainerUITest, RelativeZoomGrowsTheChild)
{
    CWindowHostUI host;
    CContainerUI* container = new CContainerUI;
    CControlUI* child = new CControlUI;
    child->ApplyAttributeString("float=\"true\" pos=\"0,0,100,100\" relativepos=\"0,0,100,50\"");
    container->AddChild(child);
    ASSERT_TRUE(host.AttachRoot(container));
    container->SetBounds(Rect(0, 0, 200, 200));
    container->SetBounds(Rect(0, 0, 300, 400));
    EXPECT_TRUE(HasBounds(child, 0, 0, 200, 200));
}

// ---- search ---------------------------------------------------------------------

CControlUI* AcceptAll(CControlUI* control, void*)
{
    return control;
}

CControlUI* RecordAll(CControlUI* control, void* data)
{
    static_cast<std::vector<CControlUI*>*>(data)->push_back(control);
    return nullptr;
}

TEST(ContainerUITest, FindControlVisitOrder)
{
    CContainerUI root;
    CControlUI* a = new CControlUI;
    CContainerUI* inner = new CContainerUI;
    CControlUI* b = new CControlUI;
    inner->AddChild(b);
    root.AddChild(a);
    root.AddChild(inner);

    std::vector<CControlUI*> order;
    EXPECT_EQ(nullptr, root.FindControl(RecordAll, &order, 0));
    EXPECT_EQ((std::vector<CControlUI*>{ a, b, inner, &root }), order);

    order.clear();
    root.FindControl(RecordAll, &order, FindMeFirst);
    EXPECT_EQ((std::vector<CControlUI*>{ &root, a, inner, b }), order);

    order.clear();
    root.FindControl(RecordAll, &order, FindMeFirst | FindTopFirst);
    EXPECT_EQ((std::vector<CControlUI*>{ &root, inner, b, a }), order);

    order.clear();
    a->SetEnabled(false);
    inner->SetVisible(false);
    root.FindControl(RecordAll, &order, FindVisible | FindEnabled);
    EXPECT_EQ((std::vector<CControlUI*>{ &root }), order);
}

TEST(ContainerUITest, HitTestFindsTheTopmostChild)
{
    CContainerUI root;
    root.SetAttribute("inset", "0,0,0,10");
    CControlUI* below = new CControlUI;
    CControlUI* above = new CControlUI;
    root.AddChild(below);
    root.AddChild(above);
    root.SetBounds(Rect(0, 0, 100, 100));
    // The plain container lays both children on the inset area.
    POINT p = { 50, 50 };
    const UINT hit = FindVisible | FindHitTest | FindTopFirst;
    EXPECT_EQ(above, root.FindControl(AcceptAll, &p, hit));
    EXPECT_EQ(below, root.FindControl(AcceptAll, &p, FindVisible | FindHitTest));

    above->SetAcceptsMouse(false);
    EXPECT_EQ(below, root.FindControl(AcceptAll, &p, hit));

    // The inset belongs to the container.
    POINT inInset = { 50, 95 };
    below->SetBounds(Rect(0, 0, 100, 100));
    EXPECT_EQ(&root, root.FindControl(AcceptAll, &inInset, hit));

    POINT outside = { 150, 50 };
    EXPECT_EQ(nullptr, root.FindControl(AcceptAll, &outside, hit));

    // Children that do not take the mouse leave the container itself.
    root.SetAttribute("mousechild", "false");
    EXPECT_EQ(&root, root.FindControl(AcceptAll, &p, hit));
}

TEST(ContainerUITest, FindSelectableItemWithoutListItems)
{
    CContainerUI container;
    EXPECT_EQ(-1, container.FindSelectableItem(0, true));
    container.AddChild(new CControlUI);
    container.AddChild(new CControlUI);
    EXPECT_EQ(-1, container.FindSelectableItem(5, false));
    EXPECT_EQ(-1, container.FindSelectableItem(-3, true));
}

TEST(ContainerUITest, ContainerAttributes)
{
    CContainerUI container;
    container.SetAttribute("inset", "1, 2, 3, 4");
    container.SetAttribute("childpadding", "6");
    container.SetAttribute("mousechild", "false");
    container.SetAttribute("bkcolor", "#FFFFFFFF");
    RECT inset = container.GetInset();
    EXPECT_EQ(1, inset.left);
    EXPECT_EQ(2, inset.top);
    EXPECT_EQ(3, inset.right);
    EXPECT_EQ(4, inset.bottom);
    EXPECT_EQ(6, container.GetChildPadding());
    EXPECT_FALSE(container.ChildrenTakeMouse());
    EXPECT_EQ(0xFFFFFFFFu, container.GetBkColor());
    EXPECT_TRUE(container.OwnsChildren());
    EXPECT_TRUE(container.DeletesLater());
    EXPECT_EQ(0, container.GetScrollPos().cy);
    EXPECT_EQ(0, container.GetScrollRange().cy);
}

// A bar of the fake factory: a plain control that counts how many live.
class FakeBar : public CControlUI, public IScrollBarUI
{
public:
    explicit FakeBar(int* live) : m_live(live) { ++*m_live; }
    ~FakeBar() override { --*m_live; }
    CControlUI* GetControl() override { return this; }
    int GetRange() const override { return m_range; }
    void SetRange(int range) override { m_range = range < 0 ? 0 : range; }
    int GetPosition() const override { return m_position; }
    void SetPosition(int position) override { m_position = position; }

private:
    int* m_live;
    int m_range = 0;
    int m_position = 0;
};

int g_liveBars = 0;

IScrollBarUI* MakeFakeBar(CContainerUI*, bool) { return new FakeBar(&g_liveBars); }

TEST(ContainerUITest, BarsComeFromTheInstalledFactoryOnly)
{
    UIScrollBarFactory previous = CContainerUI::SetScrollBarFactory(nullptr);
    {
        CContainerUI container;
        container.SetAttribute("vscrollbar", "true");
        container.ScrollLineDown();
        EXPECT_EQ(0, container.GetScrollPos().cy);
        CContainerUI::SetScrollBarFactory(MakeFakeBar);
        container.SetAttribute("vscrollbar", "true");
        container.SetAttribute("hscrollbar", "true");
        EXPECT_EQ(2, g_liveBars);
        // Not stock bars: the stock accessors do not see them.
        EXPECT_EQ(nullptr, container.GetVerticalScrollBar());
        container.SetAttribute("vscrollbar", "false");
        EXPECT_EQ(1, g_liveBars);
    }
    EXPECT_EQ(0, g_liveBars);
    CContainerUI::SetScrollBarFactory(previous);
}

// ---- with a host ----------------------------------------------------------------

TEST(ContainerUITest, ChildrenAddedUnderAHostAreNamedAndInitialised)
{
    CWindowHostUI host;
    CContainerUI* root = new CContainerUI;
    ASSERT_TRUE(host.AttachRoot(root));

    CContainerUI* group = new CContainerUI;
    group->SetName("group");
    CControlUI* leaf = new CControlUI;
    leaf->SetName("leaf");
    group->AddChild(leaf);
    EXPECT_EQ(nullptr, leaf->GetParent());
    EXPECT_TRUE(root->AddChild(group));
    EXPECT_EQ(&host, leaf->GetHost());
    EXPECT_EQ(group, leaf->GetParent());
    EXPECT_EQ(root, group->GetParent());
    EXPECT_EQ(group, host.FindControlByName("group"));
    EXPECT_EQ(leaf, host.FindControlByName("leaf"));

    // With a host, removed children wait for the host's cleanup.
    EXPECT_TRUE(root->RemoveChild(group));
    EXPECT_EQ(nullptr, group->GetHost());
    EXPECT_EQ(nullptr, host.FindControlByName("leaf"));
}

TEST(ContainerUITest, PaintClipsChildrenToTheClientArea)
{
    CMemoryBitmapUI surface(nullptr, 20, 20);
    HDC dc = surface.GetDC();
    DWORD* pixels = surface.GetBits();
    for (int i = 0; i < 400; ++i)
        pixels[i] = 0x00FFFFFF;

    CContainerUI container;
    container.SetAttribute("inset", "5,5,5,5");
    container.SetBorderSize(0);
    container.SetBkColor(0xFF0000FF);
    CControlUI* child = new CControlUI;
    child->SetBorderSize(0);
    child->SetBkColor(0xFFFF0000);
    CControlUI* floating = new CControlUI;
    floating->ApplyAttributeString("float=\"true\" pos=\"0,0,3,3\" bordersize=\"0\" bkcolor=\"#FF00FF00\"");
    container.AddChild(child);
    container.AddChild(floating);
    container.SetBounds(Rect(0, 0, 20, 20));
    // A child reaching over the inset is cut at the client area.
    child->SetBounds(Rect(0, 0, 20, 20));
    container.Paint(dc, Rect(0, 0, 20, 20));
    ::GdiFlush();
    EXPECT_EQ(0x0000FFu, pixels[2 * 20 + 10] & 0xFFFFFF);
    EXPECT_EQ(0xFF0000u, pixels[10 * 20 + 10] & 0xFFFFFF);
    // The floating child lies over the inset and paints there.
    EXPECT_EQ(0x00FF00u, pixels[1 * 20 + 1] & 0xFFFFFF);
}

} // namespace
} // namespace ui
