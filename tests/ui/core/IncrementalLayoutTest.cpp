// The host's relayout after a change: the same rectangles as a layout of
// the changed tree from scratch, and only the controls along the path to
// the change visited.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HostTestSupport.h"
#include "ui/core/HorizontalLayoutUI.h"
#include "ui/core/TabLayoutUI.h"
#include "ui/core/TileLayoutUI.h"

using namespace ui;
using namespace hosttest;

namespace {

const int kWidth = 300;
const int kHeight = 240;

CControlUI* Add(CContainerUI* parent, CControlUI* child, const char* name, const char* attributes)
{
    child->SetName(name);
    child->ApplyAttributeString(attributes);
    parent->AddChild(child);
    return child;
}

// Rows of fixed and stretch leaves, a column with a row in it, a tile, a
// tab layout with two pages, a floating leaf and a hidden one.
CControlUI* BuildMixedTree()
{
    CVerticalLayoutUI* root = new CVerticalLayoutUI;
    root->ApplyAttributeString("inset=\"4,4,4,4\" childpadding=\"2\"");
    CContainerUI* row1
        = static_cast<CContainerUI*>(Add(root, new CHorizontalLayoutUI, "row1", "height=\"30\""));
    Add(row1, new CControlUI, "a", "width=\"40\" padding=\"1,2,3,4\"");
    Add(row1, new CControlUI, "b", "");
    Add(row1, new CControlUI, "c", "minwidth=\"20\" maxwidth=\"60\"");
    Add(row1, new CControlUI, "hidden", "width=\"10\" visible=\"false\"");
    Add(row1, new CControlUI, "float", "float=\"true\" pos=\"5,5,25,15\"");
    CContainerUI* row2
        = static_cast<CContainerUI*>(Add(root, new CHorizontalLayoutUI, "row2", "childpadding=\"3\""));
    CContainerUI* column
        = static_cast<CContainerUI*>(Add(row2, new CVerticalLayoutUI, "column", "width=\"80\""));
    Add(column, new CControlUI, "d", "height=\"20\"");
    Add(column, new CControlUI, "e", "");
    Add(column, new CControlUI, "f", "height=\"15\" width=\"50\"");
    CContainerUI* inner = static_cast<CContainerUI*>(Add(column, new CHorizontalLayoutUI, "inner", ""));
    Add(inner, new CControlUI, "j", "width=\"20\"");
    Add(inner, new CControlUI, "k", "");
    CContainerUI* tile = static_cast<CContainerUI*>(Add(row2, new CTileLayoutUI, "tile", "columns=\"3\""));
    for (int i = 0; i < 7; ++i)
        Add(tile, new CControlUI, i == 4 ? "t4" : "t", "height=\"12\"");
    CContainerUI* tabs = static_cast<CContainerUI*>(Add(root, new CTabLayoutUI, "tabs", "height=\"50\""));
    CContainerUI* page1 = static_cast<CContainerUI*>(Add(tabs, new CHorizontalLayoutUI, "page1", ""));
    Add(page1, new CControlUI, "g", "width=\"30\"");
    CContainerUI* page2 = static_cast<CContainerUI*>(Add(tabs, new CVerticalLayoutUI, "page2", ""));
    Add(page2, new CControlUI, "h", "height=\"10\"");
    Add(page2, new CControlUI, "i", "");
    return root;
}

typedef void (*Change)(CWindowHostUI* host);

void Set(CWindowHostUI* host, const char* name, const char* attributes)
{
    host->FindControlByName(name)->ApplyAttributeString(attributes);
}

struct LayoutCase
{
    const char* what;
    // Applied one after the other, with a relayout after each.
    Change first;
    Change second;
};

const LayoutCase kCases[] = {
    { "fixed width", [](CWindowHostUI* h) { Set(h, "a", "width=\"70\""); }, nullptr },
    { "height across the row", [](CWindowHostUI* h) { Set(h, "b", "height=\"9\""); }, nullptr },
    { "row height", [](CWindowHostUI* h) { Set(h, "row1", "height=\"44\""); }, nullptr },
    { "padding", [](CWindowHostUI* h) { Set(h, "e", "padding=\"3,5,7,9\""); }, nullptr },
    { "child padding and inset",
      [](CWindowHostUI* h) { Set(h, "row2", "childpadding=\"9\" inset=\"2,3,4,5\""); }, nullptr },
    { "limits", [](CWindowHostUI* h) { Set(h, "c", "minwidth=\"120\""); }, nullptr },
    { "hide", [](CWindowHostUI* h) { Set(h, "b", "visible=\"false\""); }, nullptr },
    { "show", [](CWindowHostUI* h) { Set(h, "hidden", "visible=\"true\""); }, nullptr },
    { "tile", [](CWindowHostUI* h) { Set(h, "t4", "height=\"30\""); }, nullptr },
    // A floating control given another position after the first layout
    // used to be placed again where it was.
    { "float", [](CWindowHostUI* h) { Set(h, "float", "pos=\"10,2,40,12\""); }, nullptr },
    { "another page", [](CWindowHostUI* h) { Set(h, "tabs", "selectedid=\"1\""); }, nullptr },
    { "change while hidden, then show",
      [](CWindowHostUI* h) {
          Set(h, "row2", "visible=\"false\"");
          Set(h, "j", "width=\"33\"");
      },
      [](CWindowHostUI* h) { Set(h, "row2", "visible=\"true\""); } },
    { "page changed while not shown",
      [](CWindowHostUI* h) {
          Set(h, "h", "height=\"25\"");
          Set(h, "i", "padding=\"4,4,4,4\"");
      },
      [](CWindowHostUI* h) { Set(h, "tabs", "selectedid=\"1\""); } },
    { "two rows at once",
      [](CWindowHostUI* h) {
          Set(h, "a", "width=\"10\"");
          Set(h, "f", "width=\"75\"");
      },
      nullptr },
};

struct Placed
{
    std::string name;
    RECT bounds;
};

CControlUI* CollectVisitor(CControlUI* control, void* data)
{
    Placed placed = { control->GetName(), control->GetBounds() };
    static_cast<std::vector<Placed>*>(data)->push_back(placed);
    return nullptr;
}

std::vector<Placed> VisibleBounds(CControlUI* root)
{
    std::vector<Placed> all;
    root->FindControl(CollectVisitor, &all, FindVisible | FindMeFirst);
    return all;
}

class IncrementalLayoutTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(window.Create(nullptr, "layout test", WS_POPUP, 0, 0, 0, kWidth, kHeight) != nullptr);
        host = new CWindowHostUI;
        window.host = host;
        host->AttachWindow(window.GetWindowHandle());
    }

    void TearDown() override
    {
        ::DestroyWindow(window.GetWindowHandle());
        window.host = nullptr;
        delete host;
    }

    HostWindow window;
    CWindowHostUI* host = nullptr;
    // Counted controls count here; it outlives the tree, which the host
    // deletes after the test's body.
    int visits = 0;
};

TEST_F(IncrementalLayoutTest, RelayoutPlacesAsALayoutFromScratch)
{
    for (const LayoutCase& c : kCases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(host->AttachRoot(BuildMixedTree()));
        host->UpdateLayout();
        for (Change change : { c.first, c.second }) {
            if (change == nullptr)
                continue;
            change(host);
            ASSERT_TRUE(host->IsUpdateNeeded());
            host->UpdateLayout();
        }

        CWindowHostUI scratch;
        scratch.AttachRoot(BuildMixedTree());
        c.first(&scratch);
        if (c.second != nullptr)
            c.second(&scratch);
        RECT client = { 0, 0, kWidth, kHeight };
        scratch.GetRootControl()->SetBounds(client);

        std::vector<Placed> expected = VisibleBounds(scratch.GetRootControl());
        std::vector<Placed> actual = VisibleBounds(host->GetRootControl());
        ASSERT_EQ(expected.size(), actual.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(expected[i].name, actual[i].name);
            EXPECT_TRUE(::EqualRect(&expected[i].bounds, &actual[i].bounds))
                << actual[i].name << " at (" << actual[i].bounds.left << ", " << actual[i].bounds.top << ", "
                << actual[i].bounds.right << ", " << actual[i].bounds.bottom << "), from scratch ("
                << expected[i].bounds.left << ", " << expected[i].bounds.top << ", "
                << expected[i].bounds.right << ", " << expected[i].bounds.bottom << ")";
        }
    }
}

// Counts every placement, search and descent of the host's pass.
template <class Base> class Counted : public Base
{
public:
    explicit Counted(int* visits) : m_visits(visits) { }

    void SetBounds(const RECT& rect) override
    {
        ++*m_visits;
        Base::SetBounds(rect);
    }

    CControlUI* FindControl(UIFindVisitor visitor, void* data, UINT flags) override
    {
        ++*m_visits;
        return Base::FindControl(visitor, data, flags);
    }

protected:
    void PlacePendingChildren() override
    {
        ++*m_visits;
        Base::PlacePendingChildren();
    }

private:
    int* m_visits;
};

TEST_F(IncrementalLayoutTest, RelayoutVisitsOnlyThePathToTheChange)
{
    // Ten rows of ten columns of ten leaves: 1,111 controls, three deep.
    const int kWide = 10;
    const int kDepth = 3;
    CContainerUI* root = new Counted<CVerticalLayoutUI>(&visits);
    CControlUI* leaf = nullptr;
    for (int r = 0; r < kWide; ++r) {
        CContainerUI* row = new Counted<CHorizontalLayoutUI>(&visits);
        root->AddChild(row);
        for (int c = 0; c < kWide; ++c) {
            CContainerUI* column = new Counted<CVerticalLayoutUI>(&visits);
            row->AddChild(column);
            for (int i = 0; i < kWide; ++i) {
                CControlUI* control = new Counted<CControlUI>(&visits);
                control->SetPresetHeight(i % 2 == 0 ? 5 : 0);
                column->AddChild(control);
                if (r == 7 && c == 4 && i == 2)
                    leaf = control;
            }
        }
    }
    ASSERT_TRUE(host->AttachRoot(root));
    host->UpdateLayout();
    EXPECT_GT(visits, 1111);

    visits = 0;
    leaf->SetPresetHeight(9);
    host->UpdateLayout();
    EXPECT_EQ(9, leaf->GetHeight());
    EXPECT_GT(visits, 0);
    EXPECT_LE(visits, kDepth * kWide);
}

} // namespace
