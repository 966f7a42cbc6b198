#include "ui/core/TileLayoutUI.h"
#include "tests/ui/core/ControlTreeTestSupport.h"

#include <gtest/gtest.h>

namespace ui {
namespace {

using test::Rect;
using test::HasBounds;

CControlUI* AddItem(CTileLayoutUI* tile, const char* attributes)
{
    CControlUI* item = new CControlUI;
    item->ApplyAttributeString(attributes);
    tile->AddChild(item);
    return item;
}

TEST(TileLayoutUITest, ColumnsFollowTheItemWidth)
{
    CTileLayoutUI tile;
    EXPECT_STREQ("TileLayoutUI", tile.GetClassName());
    EXPECT_EQ(&tile, tile.FindInterface("TileLayout"));
    EXPECT_EQ(1, tile.GetColumns());
    AddItem(&tile, "width=\"10\" height=\"10\"");

    tile.SetAttribute("itemsize", "100,0");
    tile.SetBounds(Rect(0, 0, 300, 100));
    EXPECT_EQ(3, tile.GetColumns());

    tile.SetAttribute("itemsize", "400,0");
    tile.SetBounds(Rect(0, 0, 300, 100));
    EXPECT_EQ(1, tile.GetColumns());
}

TEST(TileLayoutUITest, ColumnCountsBelowOneAreIgnored)
{
    CTileLayoutUI tile;
    tile.SetAttribute("columns", "4");
    EXPECT_EQ(4, tile.GetColumns());
    tile.SetAttribute("columns", "0");
    EXPECT_EQ(4, tile.GetColumns());
    tile.SetAttribute("columns", "-2");
    EXPECT_EQ(4, tile.GetColumns());
}

TEST(TileLayoutUITest, GridCentresChildrenInTheirCells)
{
    CTileLayoutUI tile;
    tile.SetAttribute("columns", "3");
    CControlUI* items[5];
    for (int i = 0; i < 5; ++i)
        items[i] = AddItem(&tile, "width=\"50\" height=\"30\"");
    tile.SetBounds(Rect(0, 0, 300, 200));
    EXPECT_TRUE(HasBounds(items[0], 25, 0, 75, 30));
    EXPECT_TRUE(HasBounds(items[1], 125, 0, 175, 30));
    EXPECT_TRUE(HasBounds(items[2], 225, 0, 275, 30));
    EXPECT_TRUE(HasBounds(items[3], 25, 30, 75, 60));
    EXPECT_TRUE(HasBounds(items[4], 125, 30, 175, 60));
}

TEST(TileLayoutUITest, RowsAreAsHighAsTheirTallestChild)
{
    CTileLayoutUI tile;
    tile.SetAttribute("columns", "2");
    CControlUI* small = AddItem(&tile, "width=\"40\" height=\"20\"");
    CControlUI* tall = AddItem(&tile, "width=\"40\" height=\"50\" padding=\"0,4,0,6\"");
    CControlUI* hidden = AddItem(&tile, "width=\"40\" height=\"20\" visible=\"false\"");
    CControlUI* filler = AddItem(&tile, "");
    CControlUI* badge = AddItem(&tile, "float=\"true\" pos=\"0,0,5,5\"");
    tile.SetBounds(Rect(0, 0, 200, 300));
    // Row height 4 + 50 + 6 = 60; each child is centred in its tile, the
    // tall one in the 56 rows below its top padding.
    EXPECT_TRUE(HasBounds(small, 30, 20, 70, 40));
    EXPECT_TRUE(HasBounds(tall, 130, 7, 170, 57));
    EXPECT_TRUE(HasBounds(hidden, 0, 0, 0, 0));
    // A child without a size fills its tile; the row below holds only it
    // and so is 0 high.
    EXPECT_TRUE(HasBounds(filler, 0, 60, 100, 60));
    EXPECT_TRUE(HasBounds(badge, 0, 0, 5, 5));
}

TEST(TileLayoutUITest, ChildPaddingSplitsBetweenNeighbours)
{
    CTileLayoutUI tile;
    tile.ApplyAttributeString("columns=\"3\" childpadding=\"10\"");
    CControlUI* items[4];
    for (int i = 0; i < 4; ++i)
        items[i] = AddItem(&tile, "width=\"50\" height=\"30\"");
    tile.SetBounds(Rect(0, 0, 300, 200));
    EXPECT_TRUE(HasBounds(items[0], 22, 0, 72, 30));
    EXPECT_TRUE(HasBounds(items[1], 125, 0, 175, 30));
    EXPECT_TRUE(HasBounds(items[2], 227, 0, 277, 30));
    EXPECT_TRUE(HasBounds(items[3], 22, 40, 72, 70));
}

} // namespace
} // namespace ui
