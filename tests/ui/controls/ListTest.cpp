// The list: its child list and numbering, selection through real mouse,
// key and wheel messages of a host window, its attributes, and a list
// built from a skin.

#include "ui/controls/ListUI.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/ui/core/HostTestSupport.h"
#include "ui/controls/ButtonUI.h"
#include "ui/controls/ListBodyUI.h"
#include "ui/controls/ListContainerElementUI.h"
#include "ui/controls/ListHeaderUI.h"
#include "ui/controls/ScrollBarUI.h"
#include "ui/skin/SkinBuilder.h"

using namespace ui;
using namespace hosttest;

namespace {

CListContainerElementUI* NewItem(const char* name, int height = 30)
{
    CListContainerElementUI* item = new CListContainerElementUI;
    item->SetName(name);
    item->SetPresetHeight(height);
    return item;
}

CListContainerElementUI* ItemAt(CListUI& list, int index)
{
    return static_cast<CListContainerElementUI*>(list.GetChildAt(index));
}

// "name:index" per position, and "*" after the selected ones.
std::string Items(CListUI& list)
{
    std::string text;
    for (int i = 0; i < list.GetChildCount(); ++i) {
        CListContainerElementUI* item = ItemAt(list, i);
        char one[32];
        snprintf(one, sizeof one, "%s%s:%d%s", i > 0 ? " " : "", item->GetName(), item->GetIndex(),
                 item->IsSelected() ? "*" : "");
        text += one;
    }
    return text;
}

// ---- the child list ------------------------------------------------------------

TEST(ListUITest, NewListHoldsHeaderAndBodyButCountsNoItems)
{
    CListUI list;
    EXPECT_EQ(2, list.CContainerUI::GetChildCount());
    EXPECT_EQ(list.GetHeader(), list.CContainerUI::GetChildAt(0));
    EXPECT_EQ(list.GetBody(), list.CContainerUI::GetChildAt(1));
    EXPECT_EQ(0, list.GetChildCount());
    EXPECT_EQ(-1, list.GetSelectedIndex());
    EXPECT_STREQ("ListUI", list.GetClassName());
    EXPECT_EQ(&list, list.FindInterface("List"));
    EXPECT_EQ(static_cast<IListUI*>(&list), list.FindInterface("IList"));
    EXPECT_EQ(static_cast<IListOwnerUI*>(&list), list.FindInterface("IListOwner"));
    EXPECT_EQ(&list, list.FindInterface("VerticalLayout"));
    EXPECT_STREQ("ListHeaderUI", list.GetHeader()->GetClassName());
    EXPECT_FALSE(list.ExpandItem(0, true));
    EXPECT_EQ(-1, list.GetExpandedIndex());

    CListContainerElementUI item;
    EXPECT_STREQ("ListContainerElementUI", item.GetClassName());
    EXPECT_EQ(static_cast<IListItemUI*>(&item), item.FindInterface("ListItem"));
    EXPECT_EQ(&item, item.FindInterface("ListContainerElement"));
    EXPECT_EQ(static_cast<UINT>(ControlFlagWantReturn), item.GetBehaviorFlags());
}

TEST(ListUITest, HeaderControlsReplaceTheHeader)
{
    // Adding the list's own header again used to list it twice, so that
    // the list deleted it twice.
    CListUI list;
    EXPECT_TRUE(list.AddChild(list.GetHeader()));
    EXPECT_EQ(2, list.CContainerUI::GetChildCount());

    CListHeaderUI* header = new CListHeaderUI;
    EXPECT_TRUE(list.AddChild(header));
    EXPECT_EQ(header, list.GetHeader());
    EXPECT_EQ(header, list.CContainerUI::GetChildAt(0));
    EXPECT_EQ(2, list.CContainerUI::GetChildCount());
    EXPECT_EQ(0, list.GetChildIndex(header));
    EXPECT_EQ(0, list.GetChildCount());
}

TEST(ListUITest, InsertMoveAndRemoveKeepIndexesAndSelection)
{
    CListUI list;
    list.AddChild(NewItem("a"));
    list.AddChild(NewItem("b"));
    list.AddChild(NewItem("c"));
    EXPECT_EQ("a:0 b:1 c:2", Items(list));
    EXPECT_EQ(static_cast<IListOwnerUI*>(&list), ItemAt(list, 0)->GetOwner());

    ASSERT_TRUE(list.SelectItem(1, false));
    list.InsertChild(NewItem("x"), 1);
    EXPECT_EQ("a:0 x:1 b:2* c:3", Items(list));
    EXPECT_EQ(2, list.GetSelectedIndex());

    EXPECT_TRUE(list.MoveChildTo(ItemAt(list, 3), 0));
    EXPECT_EQ("c:0 a:1 x:2 b:3*", Items(list));
    EXPECT_EQ(3, list.GetSelectedIndex());

    EXPECT_TRUE(list.RemoveChildAt(0));
    EXPECT_EQ("a:0 x:1 b:2*", Items(list));
    EXPECT_EQ(2, list.GetSelectedIndex());

    // The selected item's successor, else its predecessor, takes over.
    ItemAt(list, 0)->SetEnabled(false);
    ASSERT_TRUE(list.SelectItem(1, false));
    EXPECT_TRUE(list.RemoveChildAt(1));
    EXPECT_EQ("a:0 b:1*", Items(list));
    EXPECT_TRUE(list.RemoveChildAt(1));
    EXPECT_EQ("a:0", Items(list));
    EXPECT_EQ(-1, list.GetSelectedIndex());
    EXPECT_FALSE(list.RemoveChild(nullptr));
}

TEST(ListUITest, RemovingAllItemsClearsTheSelection)
{
    // Removing all items used to keep the selected index, so that Return
    // activated whichever item came to stand there next.
    CListUI list;
    list.AddChild(NewItem("a"));
    list.AddChild(NewItem("b"));
    ASSERT_TRUE(list.SelectItem(1, false));
    list.RemoveAllChildren();
    EXPECT_EQ(-1, list.GetSelectedIndex());
    list.AddChild(NewItem("c"));
    list.AddChild(NewItem("d"));
    EXPECT_EQ("c:0 d:1", Items(list));
}

TEST(ListUITest, SelectionStaysInStepWithTheItems)
{
    CListUI list;
    for (const char* name : { "a", "b", "c" })
        list.AddChild(NewItem(name));
    EXPECT_FALSE(list.SelectItem(7, false));

    // Deselecting a disabled item used to fail, so that it showed as
    // selected beside the new selection once it was enabled again.
    ASSERT_TRUE(list.SelectItem(1, false));
    ItemAt(list, 1)->SetEnabled(false);
    ASSERT_TRUE(list.SelectItem(2, false));
    ItemAt(list, 1)->SetEnabled(true);
    EXPECT_EQ("a:0 b:1 c:2*", Items(list));
    ItemAt(list, 1)->SetEnabled(false);
    EXPECT_FALSE(list.SelectItem(1, false));
    EXPECT_FALSE(ItemAt(list, 1)->Select(true));
    EXPECT_EQ(-1, list.GetSelectedIndex());

    // An item's own selection reaches the list; hiding it clears both.
    EXPECT_TRUE(ItemAt(list, 0)->Select(true));
    EXPECT_EQ(0, list.GetSelectedIndex());
    ItemAt(list, 0)->SetVisible(false);
    EXPECT_EQ("a:0 b:1 c:2", Items(list));
    EXPECT_EQ(-1, list.GetSelectedIndex());
    EXPECT_FALSE(list.SelectItem(0, false));
}

// ---- attributes -------------------------------------------------------------------

struct ColorRow
{
    const char* name;
    DWORD ListItemInfo::*field;
};

const ColorRow kColorRows[] = {
    { "itemtextcolor", &ListItemInfo::textColor },
    { "itembkcolor", &ListItemInfo::bkColor },
    { "itemselectedtextcolor", &ListItemInfo::selectedTextColor },
    { "itemselectedbkcolor", &ListItemInfo::selectedBkColor },
    { "itemhottextcolor", &ListItemInfo::hotTextColor },
    { "itemhotbkcolor", &ListItemInfo::hotBkColor },
    { "itemdisabledtextcolor", &ListItemInfo::disabledTextColor },
    { "itemdisabledbkcolor", &ListItemInfo::disabledBkColor },
    { "itemlinecolor", &ListItemInfo::lineColor },
};

TEST(ListUITest, AttributesSetTheItemSettings)
{
    CListUI list;
    ListItemInfo* info = list.GetItemInfo();
    EXPECT_EQ(0xFFE9F5FFu, info->hotBkColor);
    EXPECT_EQ(0xFFC1E3FFu, info->selectedBkColor);
    EXPECT_EQ(static_cast<UINT>(DT_VCENTER), info->textStyle);
    for (const ColorRow& row : kColorRows) {
        SCOPED_TRACE(row.name);
        list.SetAttribute(row.name, "#12345678");
        EXPECT_EQ(0x12345678u, info->*row.field);
    }
    list.SetAttribute("itembkimage", "a.png");
    list.SetAttribute("itemselectedimage", "b.png");
    list.SetAttribute("itemhotimage", "c.png");
    list.SetAttribute("itemdisabledimage", "d.png");
    EXPECT_STREQ("a.png", info->bkImage.GetData());
    EXPECT_STREQ("b.png", info->selectedImage.GetData());
    EXPECT_STREQ("c.png", info->hotImage.GetData());
    EXPECT_STREQ("d.png", info->disabledImage.GetData());

    list.SetAttribute("itemalign", "right");
    EXPECT_EQ(static_cast<UINT>(DT_VCENTER | DT_RIGHT), info->textStyle);
    list.SetAttribute("itemalign", "left center");
    EXPECT_EQ(static_cast<UINT>(DT_VCENTER | DT_CENTER), info->textStyle);
    list.SetAttribute("itemendellipsis", "true");
    EXPECT_EQ(static_cast<UINT>(DT_VCENTER | DT_CENTER | DT_END_ELLIPSIS), info->textStyle);
    list.SetAttribute("itemendellipsis", "yes");
    EXPECT_EQ(static_cast<UINT>(DT_VCENTER | DT_CENTER), info->textStyle);
    list.SetAttribute("itemfont", "2");
    list.SetAttribute("itemtextpadding", "30,1, 2,3");
    list.SetAttribute("itemaltbk", "true");
    list.SetAttribute("itemshowhtml", "true");
    list.SetAttribute("multiexpanding", "true");
    list.SetAttribute("scrollselect", "true");
    EXPECT_EQ(2, info->font);
    EXPECT_EQ(30, info->textPadding.left);
    EXPECT_EQ(3, info->textPadding.bottom);
    EXPECT_TRUE(info->alternateBk && info->showHtml && info->multiExpanding);
    EXPECT_TRUE(list.IsScrollSelect());

    list.SetAttribute("headerbkimage", "h.png");
    EXPECT_STREQ("h.png", list.GetHeader()->GetBackgroundImage());
    list.SetAttribute("header", "hidden");
    EXPECT_FALSE(list.GetHeader()->IsVisible());
    list.SetAttribute("header", "shown");
    EXPECT_TRUE(list.GetHeader()->IsVisible());
    // The scroll bars are the body's, and the base attributes still apply.
    list.SetAttribute("vscrollbar", "true");
    list.SetAttribute("hscrollbar", "true");
    EXPECT_NE(nullptr, list.GetBody()->GetVerticalScrollBar());
    EXPECT_EQ(list.GetBody()->GetHorizontalScrollBar(), list.GetHorizontalScrollBar());
    list.SetAttribute("name", "menu");
    EXPECT_STREQ("menu", list.GetName());
}

// ---- through a host window -----------------------------------------------------------

// Records the item notifications as "type sender wParam lParam".
class ItemRecorder : public INotifyUI
{
public:
    void Notify(UINotify& msg) override
    {
        if (msg.type.GetData()[0] != 'i')
            return;
        char text[96];
        snprintf(text, sizeof text, "%s %s %d %d", msg.type.GetData(), msg.sender->GetName(),
                 static_cast<int>(msg.wParam), static_cast<int>(msg.lParam));
        seen.push_back(text);
    }
    std::vector<std::string> seen;
};

typedef std::vector<std::string> Seen;

// A list of 200 x 100 at the window's origin with five items of 30 pixels
// ("i0" to "i4") and a vertical bar: 50 pixels more than fit.
class ListHostTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(window.Create(nullptr, "list test", WS_POPUP, 0, 0, 0, 300, 200) != nullptr);
        hwnd = window.GetWindowHandle();
        ShowWindowQuietly(hwnd);
        host = new CWindowHostUI;
        window.host = host;
        host->AttachWindow(hwnd);
        host->AddListener(&recorder);
        list = new CListUI;
        list->SetName("list");
        list->SetAttribute("header", "hidden");
        list->SetAttribute("vscrollbar", "true");
        for (const char* name : { "i0", "i1", "i2", "i3", "i4" })
            list->AddChild(NewItem(name));
        ASSERT_TRUE(host->AttachRoot(list));
        Layout();
    }
    void TearDown() override
    {
        if (::IsWindow(hwnd))
            ::DestroyWindow(hwnd);
        window.host = nullptr;
        delete host;
    }
    void Layout()
    {
        RECT all = { 0, 0, 200, 100 };
        list->SetBounds(all);
        host->SetUpdateNeeded(false);
    }
    void Send(UINT message, WPARAM wParam, LPARAM lParam) { ::SendMessageA(hwnd, message, wParam, lParam); }
    void Key(BYTE key) { Send(WM_KEYDOWN, key, 0); }
    void Wheel(bool towardsUser)
    {
        short delta = towardsUser ? -WHEEL_DELTA : WHEEL_DELTA;
        Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), ScreenPoint(hwnd, 50, 50));
    }
    int Top(int index) { return list->GetChildAt(index)->GetBounds().top; }

    HostWindow window;
    HWND hwnd = nullptr;
    CWindowHostUI* host = nullptr;
    ItemRecorder recorder;
    CListUI* list = nullptr;
};

TEST_F(ListHostTest, ClicksSendItemClickBeforeItemSelectAndActivate)
{
    EXPECT_EQ(50, list->GetVerticalScrollBar()->GetRange());
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(50, 45));
    Send(WM_LBUTTONUP, 0, Point(50, 45));
    Send(WM_RBUTTONDOWN, MK_RBUTTON, Point(50, 75));
    Send(WM_LBUTTONDBLCLK, MK_LBUTTON, Point(50, 75));
    Send(WM_LBUTTONUP, 0, Point(50, 75));
    EXPECT_EQ((Seen{ "itemclick i1 0 0", "itemselect list 1 -1", "itemclick i2 0 0", "itemselect list 2 1",
                     "itemactivate i2 0 0" }),
              recorder.seen);
    EXPECT_EQ(list->GetChildAt(2), host->GetFocusControl());

    // A disabled item takes no click.
    list->GetChildAt(0)->SetEnabled(false);
    recorder.seen.clear();
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(50, 10));
    Send(WM_LBUTTONUP, 0, Point(50, 10));
    EXPECT_TRUE(recorder.seen.empty());
    EXPECT_EQ(2, list->GetSelectedIndex());
}

struct KeyRow
{
    const char* what;
    unsigned disabled; // bit mask of disabled items
    int start;
    BYTE key;
    int selected;
    Seen seen;
};

const KeyRow kKeys[] = {
    { "up", 0, 2, VK_UP, 1, { "itemselect list 1 2" } },
    { "down", 0, 2, VK_DOWN, 3, { "itemselect list 3 2" } },
    { "down skips disabled", 0x8, 2, VK_DOWN, 4, { "itemselect list 4 2" } },
    { "down on the last", 0, 4, VK_DOWN, 4, {} },
    { "down with nothing after", 0x18, 2, VK_DOWN, -1, {} },
    { "up from the first", 0, 0, VK_UP, 0, {} },
    { "home", 0x1, 3, VK_HOME, 1, { "itemselect list 1 3" } },
    { "end", 0, 1, VK_END, 4, { "itemselect list 4 1" } },
    // End used to search forward from the last item, and with that item
    // disabled it cleared the selection.
    { "end with the last disabled", 0x10, 1, VK_END, 3, { "itemselect list 3 1" } },
    { "return", 0, 2, VK_RETURN, 2, { "itemactivate i2 0 0" } },
    { "page down scrolls only", 0, 1, VK_NEXT, 1, {} },
};

TEST_F(ListHostTest, KeysMoveTheSelection)
{
    for (const KeyRow& row : kKeys) {
        SCOPED_TRACE(row.what);
        for (int i = 0; i < 5; ++i)
            list->GetChildAt(i)->SetEnabled((row.disabled & (1u << i)) == 0);
        list->ScrollToTop();
        ASSERT_TRUE(list->SelectItem(row.start, true));
        recorder.seen.clear();
        Key(row.key);
        EXPECT_EQ(row.selected, list->GetSelectedIndex());
        EXPECT_EQ(row.seen, recorder.seen);
    }
    // The page down of the last row moved the items by the whole range.
    EXPECT_EQ(-50, Top(0));
    Key(VK_PRIOR);
    EXPECT_EQ(0, Top(0));
}

TEST_F(ListHostTest, WheelScrollsOrSelects)
{
    int line = host->GetDefaultFontRecord()->metrics.tmHeight + 8;
    Wheel(true);
    EXPECT_EQ(-line, Top(0));
    EXPECT_EQ(-1, list->GetSelectedIndex());
    Wheel(false);
    EXPECT_EQ(0, Top(0));

    list->SetAttribute("scrollselect", "true");
    for (int i = 0; i < 5; ++i)
        Wheel(true);
    EXPECT_EQ(4, list->GetSelectedIndex());
    EXPECT_EQ(Seen({ "itemselect list 0 -1", "itemselect list 1 0", "itemselect list 2 1", "itemselect list 3 2",
                     "itemselect list 4 3" }),
              recorder.seen);
    // The selection was kept in view: the last item ends at the bottom.
    EXPECT_EQ(100, list->GetChildAt(4)->GetBounds().bottom);
    Wheel(false);
    EXPECT_EQ(3, list->GetSelectedIndex());
    list->SelectItem(0, false);
    EXPECT_EQ(0, Top(0));
}

// A focused list item used to keep Tab and Shift+Tab: the host took the
// item's wants-Return bit for its own wants-Tab bit.
TEST(ListFocusTest, TabAndShiftTabLeaveAFocusedItem)
{
    HostWindow window;
    ASSERT_TRUE(window.Create(nullptr, "list focus test", WS_POPUP, 0, 0, 0, 300, 200) != nullptr);
    HWND hwnd = window.GetWindowHandle();
    CWindowHostUI host;
    window.host = &host;
    host.AttachWindow(hwnd);
    CVerticalLayoutUI* root = new CVerticalLayoutUI;
    CButtonUI* before = new CButtonUI;
    CListUI* list = new CListUI;
    CListContainerElementUI* item = NewItem("item");
    CButtonUI* after = new CButtonUI;
    list->AddChild(item);
    root->AddChild(before);
    root->AddChild(list);
    root->AddChild(after);
    ASSERT_TRUE(host.AttachRoot(root));
    RECT all = { 0, 0, 300, 200 };
    root->SetBounds(all);
    host.SetUpdateNeeded(false);
    host.SetFocusNeeded(false);

    BYTE keys[256];
    for (bool shift : { false, true }) {
        host.SetFocusControl(item);
        ASSERT_EQ(item, host.GetFocusControl());
        ::GetKeyboardState(keys);
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        ::SetKeyboardState(keys);
        LRESULT result = 0;
        EXPECT_TRUE(host.PreviewMessage(WM_KEYDOWN, VK_TAB, 0, result)) << shift;
        EXPECT_EQ(shift ? static_cast<CControlUI*>(before) : after, host.GetFocusControl()) << shift;
    }
    keys[VK_SHIFT] = 0;
    ::SetKeyboardState(keys);
    ::DestroyWindow(hwnd);
    window.host = nullptr;
}

// ---- from a skin ------------------------------------------------------------------------

TEST(ListSkinTest, SkinBuildsListsWithNumberedItems)
{
    CSkinBuilder builder;
    CControlUI* root = builder.Create("<Window><List itemhotbkcolor=\"#FF112233\">"
                                      "<ListHeader height=\"20\"/>"
                                      "<ListContainerElement name=\"a\"/>"
                                      "<ListContainerElement name=\"b\" selected=\"true\"/>"
                                      "</List></Window>",
                                      nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, root);
    CListUI* list = static_cast<CListUI*>(root->FindInterface("List"));
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(0xFF112233u, list->GetItemInfo()->hotBkColor);
    EXPECT_EQ(20, list->GetHeader()->GetPresetHeight());
    EXPECT_EQ("a:0 b:1*", Items(*list));
    EXPECT_EQ(1, list->GetSelectedIndex());
    delete root;
}

} // namespace
