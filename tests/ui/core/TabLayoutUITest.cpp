#include "ui/core/TabLayoutUI.h"
#include "tests/ui/core/ControlTreeTestSupport.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ui/core/WindowHostUI.h"

namespace ui {
namespace {

using test::Rect;
using test::HasBounds;

std::string Shown(CTabLayoutUI& tab)
{
    std::string s;
    for (int i = 0; i < tab.GetChildCount(); ++i)
        s += tab.GetChildAt(i)->IsVisible() ? '1' : '0';
    return s;
}

TEST(TabLayoutUITest, FirstVisiblePageIsSelected)
{
    CTabLayoutUI tab;
    EXPECT_STREQ("TabLayoutUI", tab.GetClassName());
    EXPECT_EQ(&tab, tab.FindInterface("TabLayout"));
    EXPECT_EQ(-1, tab.GetSelectedIndex());
    for (int i = 0; i < 3; ++i)
        tab.AddChild(new CControlUI);
    EXPECT_EQ(0, tab.GetSelectedIndex());
    EXPECT_EQ("100", Shown(tab));

    EXPECT_TRUE(tab.SelectPage(2));
    EXPECT_EQ(2, tab.GetSelectedIndex());
    EXPECT_EQ("001", Shown(tab));
    EXPECT_TRUE(tab.SelectPage(2));
    EXPECT_FALSE(tab.SelectPage(3));
    EXPECT_FALSE(tab.SelectPage(-1));
    EXPECT_EQ(2, tab.GetSelectedIndex());

    tab.SetAttribute("selectedid", "1");
    EXPECT_EQ("010", Shown(tab));
}

TEST(TabLayoutUITest, OnlyTheSelectedPageIsPlaced)
{
    CTabLayoutUI tab;
    tab.SetAttribute("inset", "5,5,5,5");
    CControlUI* first = new CControlUI;
    CControlUI* second = new CControlUI;
    second->ApplyAttributeString("padding=\"1,2,3,4\" width=\"30\" maxheight=\"50\"");
    tab.AddChild(first);
    tab.AddChild(second);
    tab.SelectPage(1);
    tab.SetBounds(Rect(0, 0, 100, 100));
    EXPECT_TRUE(HasBounds(second, 6, 7, 36, 57));
    EXPECT_TRUE(HasBounds(first, 0, 0, 0, 0));
}

TEST(TabLayoutUITest, InsertingAndRemovingKeepsOnePageShown)
{
    CTabLayoutUI tab;
    CControlUI* pages[3];
    for (int i = 0; i < 3; ++i) {
        pages[i] = new CControlUI;
        tab.AddChild(pages[i]);
    }
    tab.SelectPage(1);

    // A page inserted before the selected one stays hidden; the selection
    // moves along with its page.
    CControlUI* inserted = new CControlUI;
    EXPECT_TRUE(tab.InsertChild(inserted, 0));
    EXPECT_EQ(2, tab.GetSelectedIndex());
    EXPECT_EQ("0010", Shown(tab));
    CControlUI* after = new CControlUI;
    EXPECT_TRUE(tab.InsertChild(after, 4));
    EXPECT_EQ(2, tab.GetSelectedIndex());
    EXPECT_EQ("00100", Shown(tab));
    CControlUI refused;
    EXPECT_FALSE(tab.InsertChild(&refused, 9));
    EXPECT_EQ(5, tab.GetChildCount());

    // Removing a page before the selected one shifts the index.
    EXPECT_TRUE(tab.RemoveChild(inserted));
    EXPECT_EQ(1, tab.GetSelectedIndex());
    EXPECT_EQ(pages[1], tab.GetChildAt(1));

    // Removing the selected page shows the first one, and the selection
    // says so.
    EXPECT_TRUE(tab.RemoveChild(pages[1]));
    EXPECT_EQ(0, tab.GetSelectedIndex());
    EXPECT_TRUE(pages[0]->IsVisible());

    tab.RemoveAllChildren();
    EXPECT_EQ(-1, tab.GetSelectedIndex());
    EXPECT_EQ(0, tab.GetChildCount());
}

// A control that takes part in tab navigation.
class TabStop : public CControlUI
{
public:
    UINT GetBehaviorFlags() const override { return ControlFlagTabStop; }
};

class NotifyLog : public INotifyUI
{
public:
    void Notify(UINotify& msg) override
    {
        if (msg.type == "tabselect") {
            wParams.push_back(msg.wParam);
            lParams.push_back(msg.lParam);
        }
    }
    std::vector<WPARAM> wParams;
    std::vector<LPARAM> lParams;
};

TEST(TabLayoutUITest, SelectingNotifiesAndFocusesThePage)
{
    CWindowHostUI host;
    NotifyLog log;
    host.AddListener(&log);
    CTabLayoutUI* tab = new CTabLayoutUI;
    CContainerUI* pages[3];
    TabStop* stops[3];
    for (int i = 0; i < 3; ++i) {
        pages[i] = new CContainerUI;
        stops[i] = new TabStop;
        pages[i]->AddChild(stops[i]);
        tab->AddChild(pages[i]);
    }
    ASSERT_TRUE(host.AttachRoot(tab));
    tab->SetBounds(Rect(0, 0, 100, 100));
    host.SetUpdateNeeded(false);

    host.SetFocusNeeded(false);

    // Showing the page asks for a layout, so the focus rests on the page and
    // moves on to its first tab stop at the next paint.
    EXPECT_TRUE(tab->SelectPage(2));
    ASSERT_EQ(1u, log.wParams.size());
    EXPECT_EQ(2u, log.wParams[0]);
    EXPECT_EQ(0, log.lParams[0]);
    EXPECT_EQ(pages[2], host.GetFocusControl());
    EXPECT_TRUE(host.IsUpdateNeeded());
    EXPECT_TRUE(host.IsFocusNeeded());
    host.SetUpdateNeeded(false);
    EXPECT_TRUE(host.MoveFocus(true));
    EXPECT_EQ(stops[2], host.GetFocusControl());

    EXPECT_TRUE(tab->SelectPage(0));
    EXPECT_FALSE(stops[2]->IsVisible());
    EXPECT_NE(stops[2], host.GetFocusControl());
    ASSERT_EQ(2u, log.wParams.size());
    EXPECT_EQ(0u, log.wParams[1]);
    EXPECT_EQ(2, log.lParams[1]);
    host.RemoveListener(&log);
}

} // namespace
} // namespace ui
