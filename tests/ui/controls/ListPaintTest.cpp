// List items as painted into an off-screen bitmap: backgrounds, images and
// text colours by state; and the common width of the items.

#include "ui/controls/ListContainerElementUI.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/ui/controls/ColourImages.h"
#include "tests/ui/gfx/TextTestSupport.h"
#include "ui/controls/ListBodyUI.h"
#include "ui/controls/ListUI.h"
#include "ui/core/WindowHostUI.h"
#include "ui/gfx/Renderer.h"

using namespace ui;
using texttest::Canvas;

namespace {

// An item that draws its text as a menu item does.
class TextItem : public CListContainerElementUI
{
public:
    void PaintText(HDC dc) override { PaintItemText(dc, DT_SINGLELINE); }
};

using colourimages::LoadColour;

// Five items of 20 pixels in a list of 60 x 100 without a header.
class ListPaintTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        previousLoader = CWindowHostUI::SetImageLoader(LoadColour);
        list.SetAttribute("header", "hidden");
        for (int i = 0; i < 5; ++i) {
            items[i] = new TextItem;
            items[i]->SetPresetHeight(20);
            items[i]->SetText("mmmm");
            list.AddChild(items[i]);
        }
        list.SetHost(&host, nullptr, false);
        RECT rc = { 0, 0, 60, 100 };
        list.SetBounds(rc);
    }
    void TearDown() override { CWindowHostUI::SetImageLoader(previousLoader); }
    void Paint()
    {
        canvas.Clear();
        RECT all = { 0, 0, 60, 100 };
        list.Paint(canvas.dc(), all);
    }
    void MakeHot(int index)
    {
        UIEvent event = {};
        event.type = EventMouseEnter;
        items[index]->HandleEvent(event);
    }
    // The background where the text does not reach.
    DWORD Back(int index) { return canvas.Rgb(58, index * 20 + 1); }
    int Ink(int index, DWORD rgb)
    {
        int top = index * 20;
        return canvas.Count([&](int x, int y) { return y >= top && y < top + 20 && canvas.IsNear(x, y, rgb, 30); });
    }

    CWindowHostUI host;
    CListUI list;
    TextItem* items[5] = {};
    Canvas canvas{ 60, 100 };
    UIImageLoader previousLoader = nullptr;
};

TEST_F(ListPaintTest, BackgroundAndTextFollowTheState)
{
    list.ApplyAttributeString("itemaltbk=\"true\" itembkcolor=\"#FF0000FF\" itemdisabledbkcolor=\"#FF808080\" "
                              "itemtextcolor=\"#FF800000\" itemhottextcolor=\"#FF008000\" "
                              "itemselectedtextcolor=\"#FF000080\" itemdisabledtextcolor=\"#FF808000\"");
    ASSERT_TRUE(list.SelectItem(2, false));
    MakeHot(3);
    items[4]->SetEnabled(false);
    Paint();

    // Item 1 is odd: the alternate background leaves it plain, but a hot
    // odd item (3) still gets the hot colour.
    const DWORD back[] = { 0x0000FF, 0xFFFFFF, 0xC1E3FF, 0xE9F5FF, 0x808080 };
    const DWORD text[] = { 0x800000, 0x800000, 0x000080, 0x008000, 0x808000 };
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(back[i], Back(i));
        EXPECT_GT(Ink(i, text[i]), 5);
    }

    // Leaving takes the hot state away; disabling drops it at once.
    UIEvent leave = {};
    leave.type = EventMouseLeave;
    items[3]->HandleEvent(leave);
    MakeHot(0);
    items[0]->SetEnabled(false);
    EXPECT_EQ(0u, items[3]->GetButtonState() | items[0]->GetButtonState());
    Paint();
    EXPECT_EQ(0xFFFFFFu, Back(3));
    EXPECT_EQ(0x808080u, Back(0));
}

TEST_F(ListPaintTest, ImagesAndLineByState)
{
    list.ApplyAttributeString("itemaltbk=\"true\" itemlinecolor=\"#FF000000\" itemselectedimage=\"blue.png\" "
                              "itemhotimage=\"missing.png\"");
    // The item's own image used to be drawn again by the container's
    // painting: over the line, and on odd rows the alternate background
    // leaves plain.
    items[0]->SetBackgroundImage("red.png");
    items[1]->SetBackgroundImage("red.png");
    ASSERT_TRUE(list.SelectItem(2, false));
    MakeHot(3);
    Paint();

    EXPECT_EQ(0xFF0000u, Back(0));
    EXPECT_EQ(0x000000u, canvas.Rgb(30, 19));
    EXPECT_EQ(0xFFFFFFu, Back(1));
    EXPECT_EQ(0x000000u, canvas.Rgb(30, 39));
    // A state image that draws ends the background: no line under it.
    EXPECT_EQ(0x0000FFu, Back(2));
    EXPECT_EQ(0x0000FFu, canvas.Rgb(58, 59));
    // The hot image fails once and is forgotten; the hot colour stays.
    EXPECT_EQ(0xE9F5FFu, Back(3));
    EXPECT_STREQ("", list.GetItemInfo()->hotImage.GetData());
    EXPECT_STREQ("red.png", items[1]->GetBackgroundImage());
}

TEST_F(ListPaintTest, ItemsShareTheWidestWidth)
{
    // Items that measure no width used to get the width 0 when the body
    // gave every item the widest measured width.
    EXPECT_EQ(0, list.GetBody()->GetNeededWidth());
    EXPECT_EQ(60, items[0]->GetWidth());

    items[1]->SetPresetWidth(40);
    items[2]->SetPresetWidth(90);
    items[3]->SetMaxWidth(50);
    RECT rc = { 0, 0, 60, 100 };
    list.SetBounds(rc);
    EXPECT_EQ(90, list.GetBody()->GetNeededWidth());
    const int widths[] = { 90, 90, 90, 50, 90 };
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(widths[i], items[i]->GetWidth()) << i;

    // A list wider than its widest item used to widen every item to the row,
    // so that hot and selected backgrounds spanned it.
    RECT wide = { 0, 0, 200, 100 };
    list.SetBounds(wide);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(widths[i], items[i]->GetWidth()) << i;
}

} // namespace
