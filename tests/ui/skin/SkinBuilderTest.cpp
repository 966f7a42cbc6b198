// The skin builder: the program's two skins, host settings, the order in
// which a control is configured, includes and bad input.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/ui/core/HostTestSupport.h"
#include "ui/core/ContainerUI.h"
#include "ui/skin/SkinBuilder.h"
#include "ui/controls/ButtonUI.h"
#include "ui/controls/LabelUI.h"
#include "ui/gfx/UIImageInfo.h"

namespace ui {
namespace {

using hosttest::HostWindow;
using hosttest::Log;

const char* const kMainSkin = MAKEINTRESOURCEA(101);
const char* const kMenuSkin = MAKEINTRESOURCEA(123);

IContainerUI* Children(CControlUI* control)
{
    return control != nullptr ? static_cast<IContainerUI*>(control->FindInterface("IContainer")) : nullptr;
}

// The tree as one line: class names without "UI", names in brackets,
// children in parentheses.
std::string Dump(CControlUI* control)
{
    std::string text = control->GetClassName();
    text.resize(text.size() - 2);
    if (*control->GetName() != '\0')
        text += std::string("[") + control->GetName() + "]";
    IContainerUI* children = Children(control);
    if (children != nullptr && children->GetChildCount() > 0) {
        text += "(";
        for (int i = 0; i < children->GetChildCount(); ++i)
            text += (i > 0 ? " " : "") + Dump(children->GetChildAt(i));
        text += ")";
    }
    return text;
}

// A control reached by child indexes from `root`.
CControlUI* At(CControlUI* root, std::initializer_list<int> path)
{
    CControlUI* control = root;
    for (int index : path)
        control = Children(control) != nullptr ? Children(control)->GetChildAt(index) : nullptr;
    return control;
}

int Depth(CControlUI* control)
{
    int depth = 0;
    while (Children(control) != nullptr && Children(control)->GetChildCount() > 0) {
        control = Children(control)->GetChildAt(0);
        ++depth;
    }
    return depth;
}

// Writes what reaches a control, tagged with its element, into the log:
// "attach" when a recording container adds it, "host"/"nohost" for SetHost,
// "name=value" with "+host" and "+parent" for the links it has meanwhile,
// and "deleted".
template <class Base>
class Recording : public Base
{
public:
    Recording(const char* tag, Log* log) : m_tag(tag), m_log(log) {}
    ~Recording() override { m_log->push_back(m_tag + ":deleted"); }

    void SetHost(CWindowHostUI* host, CControlUI* parent, bool initialize) override
    {
        m_log->push_back(m_tag + (host != nullptr ? ":host" : ":nohost"));
        Base::SetHost(host, parent, initialize);
    }

    void SetAttribute(const char* name, const char* value) override
    {
        std::string entry = m_tag + ":" + name + "=" + value;
        if (this->GetHost() != nullptr)
            entry += "+host";
        if (this->GetParent() != nullptr)
            entry += "+parent";
        m_log->push_back(entry);
        Base::SetAttribute(name, value);
    }

protected:
    std::string m_tag;
    Log* m_log;
};

class RecordingBox : public Recording<CContainerUI>
{
public:
    RecordingBox(const char* tag, Log* log) : Recording<CContainerUI>(tag, log) {}

    bool AddChild(CControlUI* control) override
    {
        m_log->push_back(m_tag + ":attach");
        return CContainerUI::AddChild(control);
    }
};

// Makes "Box" and "Menu" (containers), nothing for "Nothing" and a plain
// control for every other name; logs each name it was asked for.
class RecordingCallback : public IDialogBuilderCallback
{
public:
    explicit RecordingCallback(Log* log) : m_log(log) {}

    CControlUI* CreateControl(const char* name) override
    {
        asked.push_back(name);
        if (strcmp(name, "Nothing") == 0)
            return nullptr;
        if (strcmp(name, "Box") == 0 || strcmp(name, "Menu") == 0)
            return new RecordingBox(name, m_log);
        return new Recording<CControlUI>(name, m_log);
    }

    std::vector<std::string> asked;

private:
    Log* m_log;
};

// A popup window bound to a host, as the window base binds its own.
class SkinBuilderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        hwnd = window.Create(nullptr, "skin", WS_POPUP, 0, 0, 0, 100, 100);
        ASSERT_NE(nullptr, hwnd);
        host.AttachWindow(hwnd);
    }

    void TearDown() override
    {
        if (hwnd != nullptr)
            ::DestroyWindow(hwnd);
    }

    // Builds markup with the recording callback; the result is attached to
    // the host, which then owns it.
    CControlUI* Build(const char* markup)
    {
        CSkinBuilder builder;
        CControlUI* root = builder.Create(markup, nullptr, &callback, &host, nullptr);
        if (root != nullptr)
            host.AttachRoot(root);
        return root;
    }

    HostWindow window;
    HWND hwnd = nullptr;
    // Before the host, which deletes recording controls with itself.
    Log log;
    RecordingCallback callback{ &log };
    CWindowHostUI host;
};

// ---- the program's skins -------------------------------------------------------

TEST_F(SkinBuilderTest, MainSkinBuildsTheWindowTree)
{
    CSkinBuilder builder;
    CControlUI* root = builder.Create(kMainSkin, "xml", nullptr, &host, nullptr);
    ASSERT_NE(nullptr, root) << builder.GetDocument().GetErrorText();
    // Built controls are handed over without a host.
    EXPECT_EQ(nullptr, root->GetHost());
    ASSERT_TRUE(host.AttachRoot(root));

    EXPECT_EQ("VerticalLayout("
              "VerticalLayout[header](HorizontalLayout(Control Button[minbtn] Button[closebtn]) Label[lbl_title]) "
              "VerticalLayout[body](Container(VerticalLayout[vlay_newtoken](Control HorizontalLayout(Control "
              "Label[lbl_token1] Label[lbl_token2] Label[lbl_token3] Label[lbl_token4] Label[lbl_token5] "
              "Label[lbl_token6] Control) Control Label[lbl_tokentip])) "
              "HorizontalLayout(Control Button[btn_newtoken] Control)) "
              "HorizontalLayout[footer](Label[lbl_version] Control Button[btn_vendor]))",
              Dump(root));

    // Attributes reached the controls, the quoted ones decoded.
    EXPECT_EQ(0xFFFFFFFFu, root->GetBkColor());
    EXPECT_EQ(1, root->GetBorderSize());
    EXPECT_EQ(0xFF0934DAu, root->GetBorderColor());
    CLabelUI* title = static_cast<CLabelUI*>(host.FindControlByName("lbl_title"));
    ASSERT_NE(nullptr, title);
    EXPECT_STREQ("Wavorin(网吧专用)", title->GetText());
    EXPECT_EQ(2, title->GetFont());
    CButtonUI* minButton = static_cast<CButtonUI*>(host.FindControlByName("minbtn"));
    ASSERT_NE(nullptr, minButton);
    EXPECT_STREQ("res='103' restype='png'", minButton->GetNormalImage());
    EXPECT_STREQ("最小化", minButton->GetTooltip());
    CLabelUI* tip = static_cast<CLabelUI*>(host.FindControlByName("lbl_tokentip"));
    ASSERT_NE(nullptr, tip);
    EXPECT_TRUE(tip->IsShowHtml());
    EXPECT_STREQ("{f 0}请点击下方按钮来获取验证码{/f}", tip->GetText());
}

TEST_F(SkinBuilderTest, MainSkinLaysOutInTheWindowSize)
{
    CSkinBuilder builder;
    CControlUI* root = builder.Create(kMainSkin, "xml", nullptr, &host, nullptr);
    ASSERT_NE(nullptr, root);
    host.AttachRoot(root);
    RECT client = { 0, 0, host.GetInitialSize().cx, host.GetInitialSize().cy };
    root->SetBounds(client);

    struct Expected
    {
        const char* name;
        std::initializer_list<int> path;  // used when there is no name
        RECT bounds;
    };
    const Expected expected[] = {
        { "header", {}, { 0, 0, 800, 225 } },
        { "body", {}, { 0, 225, 800, 575 } },
        { "footer", {}, { 0, 575, 800, 600 } },
        { nullptr, { 0, 0 }, { 0, 0, 800, 25 } },
        { nullptr, { 0, 0, 0 }, { 0, 0, 731, 25 } },
        { "minbtn", {}, { 731, 0, 757, 18 } },
        { "closebtn", {}, { 757, 0, 800, 18 } },
        { "lbl_title", {}, { 20, 25, 800, 175 } },
        { nullptr, { 1, 0 }, { 0, 225, 800, 495 } },
        { "vlay_newtoken", {}, { 0, 225, 800, 495 } },
        { nullptr, { 1, 0, 0, 0 }, { 0, 225, 800, 275 } },
        { nullptr, { 1, 0, 0, 1 }, { 0, 275, 800, 345 } },
        { nullptr, { 1, 0, 0, 2 }, { 0, 345, 800, 395 } },
        { "lbl_tokentip", {}, { 300, 395, 800, 495 } },
        { nullptr, { 1, 0, 0, 1, 0 }, { 0, 275, 175, 345 } },
        { "lbl_token1", {}, { 185, 275, 250, 335 } },
        { "lbl_token6", {}, { 560, 275, 625, 335 } },
        { nullptr, { 1, 0, 0, 1, 7 }, { 625, 275, 740, 345 } },
        { nullptr, { 1, 1 }, { 0, 495, 800, 575 } },
        { nullptr, { 1, 1, 0 }, { 0, 495, 300, 575 } },
        { "btn_newtoken", {}, { 300, 495, 500, 545 } },
        { nullptr, { 1, 1, 2 }, { 500, 495, 800, 575 } },
        { "lbl_version", {}, { 10, 575, 273, 600 } },
        { nullptr, { 2, 1 }, { 273, 575, 536, 600 } },
        { "btn_vendor", {}, { 536, 575, 790, 600 } },
    };
    for (const Expected& e : expected) {
        CControlUI* control = e.name != nullptr ? host.FindControlByName(e.name) : At(root, e.path);
        std::string where = e.name != nullptr ? e.name : "unnamed control";
        ASSERT_NE(nullptr, control) << where;
        const RECT& rc = control->GetBounds();
        EXPECT_TRUE(rc.left == e.bounds.left && rc.top == e.bounds.top && rc.right == e.bounds.right &&
                    rc.bottom == e.bounds.bottom)
            << where << ": (" << rc.left << ", " << rc.top << ", " << rc.right << ", " << rc.bottom << ")";
    }
}

TEST_F(SkinBuilderTest, MainSkinFeedsTheHost)
{
    CSkinBuilder builder;
    CControlUI* root = builder.Create(kMainSkin, "xml", nullptr, &host, nullptr);
    ASSERT_NE(nullptr, root);
    host.AttachRoot(root);

    // The window was resized to the initial size at once.
    RECT rect;
    ::GetWindowRect(hwnd, &rect);
    EXPECT_EQ(800, rect.right - rect.left);
    EXPECT_EQ(600, rect.bottom - rect.top);
    EXPECT_EQ(800, host.GetInitialSize().cx);
    EXPECT_EQ(600, host.GetInitialSize().cy);
    RECT caption = host.GetCaptionRect();
    EXPECT_EQ(0, caption.left);
    EXPECT_EQ(250, caption.bottom);
    EXPECT_EQ(5, host.GetRoundCorner().cx);
    EXPECT_EQ(5, host.GetRoundCorner().cy);
    RECT box = host.GetSizeBox();
    EXPECT_TRUE(box.left == 6 && box.top == 6 && box.right == 6 && box.bottom == 6);
    EXPECT_EQ(800, host.GetMinTrackSize().cx);
    EXPECT_EQ(600, host.GetMinTrackSize().cy);
    EXPECT_EQ(0, host.GetMaxTrackSize().cx);

    // Four fonts in document order; the first is also the default.
    ASSERT_EQ(4, host.GetFontCount());
    const int sizes[] = { 12, 24, 36, 54 };
    const bool bold[] = { false, false, true, true };
    for (int i = 0; i < 4; ++i) {
        UIFontInfo* font = host.GetFontRecord(i);
        EXPECT_STREQ("微软雅黑", font->face.GetData()) << i;
        EXPECT_EQ(sizes[i], font->size) << i;
        EXPECT_EQ(bold[i], font->bold) << i;
    }
    EXPECT_STREQ("微软雅黑", host.GetDefaultFontRecord()->face.GetData());
    EXPECT_EQ(12, host.GetDefaultFontRecord()->size);

    // Whole attribute lists, their quotes decoded.
    const char* combo = host.GetClassDefaults("Combo");
    ASSERT_NE(nullptr, combo);
    EXPECT_EQ(0u, std::string(combo).rfind(
                      "normalimage=\"res='118' restype='png' source='0,0,100,22' corner='2,2,20,2'\" hotimage=\"", 0))
        << combo;
    EXPECT_EQ(nullptr, strstr(combo, "&quot;"));
    const char* bar = host.GetClassDefaults("VScrollBar");
    ASSERT_NE(nullptr, bar);
    EXPECT_EQ(0u, std::string(bar).rfind("button1normalimage=\"res='119'", 0)) << bar;
}

TEST_F(SkinBuilderTest, MenuSkinBuildsWithTheCallbackAndLeavesTheWindowAlone)
{
    ::SetWindowPos(hwnd, nullptr, 0, 0, 123, 45, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CSkinBuilder builder;
    CControlUI* root = builder.Create(kMenuSkin, "xml", &callback, &host, nullptr);
    ASSERT_NE(nullptr, root) << builder.GetDocument().GetErrorText();
    host.AttachRoot(root);

    EXPECT_EQ((std::vector<std::string>{ "Menu", "MenuElement" }), callback.asked);
    EXPECT_EQ("Container(Control[menu_exit])", Dump(root));
    EXPECT_STREQ("     退出(您的手机将无法继续使用wifi)   ", At(root, { 0 })->GetText());
    // The menu's class defaults came first; the attributes were set while
    // the host was attached.
    const std::string text = "MenuElement:text=     退出(您的手机将无法继续使用wifi)   +host";
    EXPECT_EQ((Log{ "Menu:attach", "MenuElement:host", text, "MenuElement:name=menu_exit+host",
                    "MenuElement:nohost", "Menu:host", "MenuElement:host", "Menu:inset=2,2,2,2+host",
                    "Menu:itemtextpadding=30,0,0,0+host", "Menu:bkimage=res='121' restype='png' corner='30,8,8,8'+host",
                    "Menu:hole=false+host", "Menu:nohost", "MenuElement:nohost", "Menu:host", "MenuElement:host" }),
              log);

    // A "Window" without attributes changes no window setting.
    RECT rect;
    ::GetWindowRect(hwnd, &rect);
    EXPECT_EQ(123, rect.right - rect.left);
    EXPECT_EQ(0, host.GetInitialSize().cx);
    EXPECT_EQ(0, host.GetRoundCorner().cx);
    EXPECT_EQ(2, host.GetFontCount());
    EXPECT_TRUE(host.GetFontRecord(1)->bold);
}

// ---- host settings -------------------------------------------------------------------

TEST_F(SkinBuilderTest, WindowAttributesReachTheHostInDocumentOrder)
{
    Build("<Window size=\"300,200\" sizebox=\"1,2,3,4\" caption=\"0,0,0,30\" roundcorner=\"3,4\" "
          "mininfo=\"100,80\" maxinfo=\"900,700\" showdirty=\"true\" bktrans=\"true\" "
          "disabledfontcolor=\"#FF010203\" defaultfontcolor=\"FF040506\" linkfontcolor=\"#FF070809\" "
          "linkhoverfontcolor=\"#FF0A0B0C\" selectedcolor=\"#FF0D0E0F\" alpha=\"200\" size=\"320,240\" "
          "unknown=\"1\"/>");
    EXPECT_EQ(320, host.GetInitialSize().cx);
    EXPECT_EQ(240, host.GetInitialSize().cy);
    RECT rect;
    ::GetWindowRect(hwnd, &rect);
    EXPECT_EQ(320, rect.right - rect.left);
    RECT box = host.GetSizeBox();
    EXPECT_TRUE(box.left == 1 && box.top == 2 && box.right == 3 && box.bottom == 4);
    EXPECT_EQ(30, host.GetCaptionRect().bottom);
    EXPECT_EQ(4, host.GetRoundCorner().cy);
    EXPECT_EQ(80, host.GetMinTrackSize().cy);
    EXPECT_EQ(900, host.GetMaxTrackSize().cx);
    EXPECT_TRUE(host.IsShowUpdateRect());
    EXPECT_TRUE(host.IsAlphaBackground());
    EXPECT_NE(0, ::GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_EQ(0xFF010203u, host.GetDisabledTextColor());
    EXPECT_EQ(0xFF040506u, host.GetDefaultTextColor());
    EXPECT_EQ(0xFF070809u, host.GetLinkTextColor());
    EXPECT_EQ(0xFF0A0B0Cu, host.GetLinkHoverTextColor());
    EXPECT_EQ(0xFF0D0E0Fu, host.GetSelectedBackColor());
}

TEST(SkinBuilderHostTest, WindowAttributesNeedAWindowRootAndABoundWindow)
{
    CWindowHostUI unbound;
    CSkinBuilder builder;
    EXPECT_EQ(nullptr, builder.Create("<Window size=\"300,200\" caption=\"0,0,0,30\"><Font name=\"Arial\"/></Window>",
                                      nullptr, nullptr, &unbound, nullptr));
    EXPECT_EQ(0, unbound.GetInitialSize().cx);
    EXPECT_EQ(0, unbound.GetCaptionRect().bottom);
    EXPECT_EQ(1, unbound.GetFontCount());  // resources need no window

    HostWindow window;
    HWND hwnd = window.Create(nullptr, "skin", WS_POPUP, 0, 0, 0, 100, 100);
    ASSERT_NE(nullptr, hwnd);
    CWindowHostUI host;
    host.AttachWindow(hwnd);
    CSkinBuilder other;
    other.Create("<Dialog size=\"300,200\"/>", nullptr, nullptr, &host, nullptr);
    EXPECT_EQ(0, host.GetInitialSize().cx);
    ::DestroyWindow(hwnd);
}

TEST_F(SkinBuilderTest, FontImageAndDefaultElements)
{
    Build("<Window>"
          "<Font name=\"Arial\" />"
          "<Font name=\"Tahoma\" size=\"20\" bold=\"true\" underline=\"true\" italic=\"TRUE\" size=\"16\" "
          "default=\"true\" />"
          "<Font size=\"30\" />"
          "<Image name=\"103\" restype=\"png\" mask=\"#FF00FF00\" />"
          "<Image name=\"112\" restype=\"png\" />"
          "<Image restype=\"png\" />"
          "<Default name=\"Box\" value=\"a=&quot;1&quot; b=&quot;x y&quot;\" />"
          "<Default name=\"Box\" value=\"a=&quot;2&quot;\" />"
          "<Default value=\"a=&quot;3&quot;\" />"
          "<Box a=\"4\" />"
          "</Window>");

    // A font without a name is not registered; a later attribute overrides.
    ASSERT_EQ(2, host.GetFontCount());
    EXPECT_EQ(12, host.GetFontRecord(0)->size);
    EXPECT_FALSE(host.GetFontRecord(0)->bold);
    UIFontInfo* tahoma = host.GetFontRecord(1);
    EXPECT_EQ(16, tahoma->size);
    EXPECT_TRUE(tahoma->bold);
    EXPECT_TRUE(tahoma->underline);
    EXPECT_FALSE(tahoma->italic);
    EXPECT_STREQ("Tahoma", host.GetDefaultFontRecord()->face.GetData());
    EXPECT_EQ(16, host.GetDefaultFontRecord()->size);

    UIImageInfo* image = host.FindImage("103");
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(0xFF00FF00u, image->mask);
    EXPECT_STREQ("png", image->resourceType.GetData());
    ASSERT_NE(nullptr, host.FindImage("112"));
    EXPECT_EQ(0u, host.FindImage("112")->mask);

    // The first list for a class stays and comes before the element's own.
    EXPECT_STREQ("a=\"1\" b=\"x y\"", host.GetClassDefaults("Box"));
    EXPECT_EQ((Log{ "Box:host", "Box:a=1+host", "Box:b=x y+host", "Box:a=4+host", "Box:nohost", "Box:host" }), log);
}

// ---- the control tree ----------------------------------------------------------------

TEST_F(SkinBuilderTest, ControlIsCreatedAttachedGivenTheHostConfiguredAndDetached)
{
    Build("<Window><Box><Probe a=\"1\" b=\"2\" /></Box></Window>");
    // A tree being built has its parent links made when it is attached.
    EXPECT_EQ((Log{ "Box:attach", "Probe:host", "Probe:a=1+host", "Probe:b=2+host", "Probe:nohost",
                    "Box:host", "Probe:host", "Box:nohost", "Probe:nohost" }),
              Log(log.begin(), log.begin() + 9));
}

TEST_F(SkinBuilderTest, OnlyUnknownNamesReachTheCallback)
{
    CControlUI* root = Build("<Window><Box>"
                             "<Font name=\"Arial\" /><Default name=\"x\" value=\"\" /><Image name=\"1\" />"
                             "<Include /><Control /><Option /><Menu /><Window /><label />"
                             "</Box></Window>");
    ASSERT_NE(nullptr, root);
    // Stock names this build has no class for go to the callback too.
    EXPECT_EQ((std::vector<std::string>{ "Box", "Option", "Menu", "Window", "label" }), callback.asked);
    EXPECT_EQ("Container(Control Control Container Control Control)", Dump(root));
    EXPECT_EQ(0, host.GetFontCount());  // below the root they count for nothing
}

TEST_F(SkinBuilderTest, UnknownNamesWithoutCallbackAreSkippedWithTheirSubtree)
{
    CSkinBuilder builder;
    CControlUI* root = builder.Create("<Window><VerticalLayout>"
                                      "<Widget><Control name=\"lost\" /></Widget>"
                                      "<TabLayout name=\"tabs\"><Control /></TabLayout><TileLayout />"
                                      "</VerticalLayout></Window>",
                                      nullptr, nullptr, &host, nullptr);
    ASSERT_NE(nullptr, root);
    host.AttachRoot(root);
    EXPECT_EQ("VerticalLayout(TabLayout[tabs](Control) TileLayout)", Dump(root));
}

TEST_F(SkinBuilderTest, ScrollBarElementMakesAFreeStandingBar)
{
    CControlUI* root = Build("<Window><VerticalLayout><ScrollBar name=\"bar\" hor=\"true\" range=\"50\" />"
                             "</VerticalLayout></Window>");
    ASSERT_NE(nullptr, root);
    EXPECT_EQ("VerticalLayout(ScrollBar[bar])", Dump(root));
    EXPECT_TRUE(callback.asked.empty());
}

TEST_F(SkinBuilderTest, LabelWithChildrenKeepsItsPlace)
{
    CControlUI* root = Build("<Window><VerticalLayout>"
                             "<Label name=\"label\" text=\"t\">"
                             "<Probe name=\"first\" /><Probe name=\"second\" />"
                             "</Label>"
                             "<Control name=\"after\" />"
                             "</VerticalLayout></Window>");
    ASSERT_NE(nullptr, root);
    EXPECT_EQ("VerticalLayout(Label[label] Control[after])", Dump(root));
    EXPECT_STREQ("t", host.FindControlByName("label")->GetText());
    // The first child was built and, having no container to go to, deleted;
    // the second was never built.
    EXPECT_EQ((std::vector<std::string>{ "Probe" }), callback.asked);
    EXPECT_EQ((Log{ "Probe:deleted" }), log);
}

// Regression: the controls after the first at a level without a parent
// were built and then lost.
TEST_F(SkinBuilderTest, WithoutParentTheFirstControlIsTheResultAndLaterOnesAreDeleted)
{
    CControlUI* root = Build("<Window><Nothing /><Probe name=\"a\" /><Probe name=\"b\" /></Window>");
    ASSERT_NE(nullptr, root);
    EXPECT_STREQ("a", root->GetName());
    EXPECT_EQ((std::vector<std::string>{ "Nothing", "Probe", "Probe" }), callback.asked);
    // The second was deleted at once, never configured.
    EXPECT_EQ((Log{ "Probe:host", "Probe:name=a+host", "Probe:nohost", "Probe:deleted", "Probe:host" }), log);
}

TEST_F(SkinBuilderTest, ParentThatIsNoContainerGetsNothing)
{
    CControlUI plain;
    CSkinBuilder builder;
    EXPECT_EQ(nullptr, builder.Create("<Window><Probe /><Probe /></Window>", nullptr, &callback, &host, &plain));
    EXPECT_EQ((Log{ "Probe:deleted" }), log);
    EXPECT_EQ(nullptr, plain.GetHost());
}

TEST_F(SkinBuilderTest, BuildsIntoAGivenParent)
{
    CVerticalLayoutUI parent;
    CSkinBuilder builder;
    CControlUI* first = builder.Create("<Window><Control name=\"a\" /><Control name=\"b\" /></Window>", nullptr,
                                       nullptr, &host, &parent);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ("VerticalLayout(Control[a] Control[b])", Dump(&parent));
    EXPECT_EQ(first, parent.GetChildAt(0));
    EXPECT_EQ(nullptr, first->GetHost());
}

// Regression: controls built into a tree that a host already shows lost
// their parent link and their host, and their names were not found.
TEST_F(SkinBuilderTest, BuildsIntoATreeOnTheHost)
{
    CControlUI* root = Build("<Window><VerticalLayout name=\"list\" /></Window>");
    ASSERT_NE(nullptr, root);
    CSkinBuilder builder;
    CControlUI* item = builder.Create("<Window><Probe name=\"item\" /></Window>", nullptr, &callback, &host, root);
    ASSERT_NE(nullptr, item);
    EXPECT_EQ(root, item->GetParent());
    EXPECT_EQ(&host, item->GetHost());
    EXPECT_EQ(item, host.FindControlByName("item"));
    EXPECT_NE(log.end(), std::find(log.begin(), log.end(), "Probe:name=item+host+parent"));
}

// Regression: a skin nested ten thousand levels deep overflowed the stack.
TEST_F(SkinBuilderTest, DeepNestingIsCutWithoutCrashing)
{
    std::string markup = "<Window>";
    for (int i = 0; i < 10000; ++i)
        markup += "<VerticalLayout>";
    for (int i = 0; i < 10000; ++i)
        markup += "</VerticalLayout>";
    markup += "</Window>";
    CSkinBuilder builder;
    CControlUI* root = builder.Create(markup.c_str(), nullptr, nullptr, &host, nullptr);
    ASSERT_NE(nullptr, root);
    EXPECT_EQ(CSkinBuilder::kMaxNesting - 1, Depth(root));
    delete root;
}

// ---- includes --------------------------------------------------------------------------

TEST_F(SkinBuilderTest, IncludeOfMarkupAddsItsControlsToTheCurrentParent)
{
    CControlUI* root = Build("<Window><VerticalLayout>"
                             "<Control name=\"before\" />"
                             "<Include count=\"2\" source=\"&lt;Window&gt;&lt;Font name=&quot;Arial&quot; /&gt;"
                             "&lt;Control /&gt;&lt;Label /&gt;&lt;/Window&gt;\" />"
                             "<Include count=\"0\" source=\"&lt;Window&gt;&lt;Control /&gt;&lt;/Window&gt;\" />"
                             "<Include count=\"1\" />"
                             "<Include />"
                             "</VerticalLayout></Window>");
    ASSERT_NE(nullptr, root);
    EXPECT_EQ("VerticalLayout(Control[before] Control Label Control Label)", Dump(root));
    EXPECT_EQ(2, host.GetFontCount());
}

TEST_F(SkinBuilderTest, IncludeOfAResourceTakesItsNumberAndType)
{
    CSkinBuilder builder;
    CControlUI* root = builder.Create(MAKEINTRESOURCEA(900), "xml", nullptr, &host, nullptr);
    ASSERT_NE(nullptr, root);
    host.AttachRoot(root);
    EXPECT_EQ("VerticalLayout[outer](Control[included] Control[included])", Dump(root));
    ASSERT_EQ(3, host.GetFontCount());
    EXPECT_EQ(20, host.GetFontRecord(2)->size);
}

// Regression: a skin that included itself, directly or through another,
// recursed until the stack ran out.
TEST_F(SkinBuilderTest, IncludeCyclesAreRefused)
{
    CSkinBuilder builder;
    CControlUI* root = builder.Create(MAKEINTRESOURCEA(902), "xml", nullptr, &host, nullptr);
    ASSERT_NE(nullptr, root);
    EXPECT_EQ("VerticalLayout[loop](Control)", Dump(root));
    delete root;

    CSkinBuilder ping;
    root = ping.Create(MAKEINTRESOURCEA(903), "xml", nullptr, &host, nullptr);
    ASSERT_NE(nullptr, root);
    EXPECT_EQ("VerticalLayout[ping](HorizontalLayout[pong])", Dump(root));
    delete root;
}

TEST_F(SkinBuilderTest, IncludeAtTheTopLevelFeedsTheHostOnly)
{
    CControlUI* root = Build("<Window><Include source=\"&lt;Window&gt;&lt;Font name=&quot;Arial&quot; /&gt;"
                             "&lt;Probe /&gt;&lt;/Window&gt;\" /></Window>");
    EXPECT_EQ(nullptr, root);
    EXPECT_EQ(1, host.GetFontCount());
    EXPECT_EQ("Probe:deleted", log.back());
}

// ---- bad input ---------------------------------------------------------------------------

TEST_F(SkinBuilderTest, SkinsThatCannotBeLoadedGiveNoTree)
{
    struct Case
    {
        const char* skin;
        const char* type;
        const char* error;
    };
    const Case cases[] = {
        { "<Window><Control></Window>", nullptr, "Unmatched closing tag" },
        { "<Window><Control a='1' /></Window>", nullptr, "Expected attribute value" },
        { "<!-- nothing -->", nullptr, "" },
        { "<Window />", nullptr, "" },
        { "no-such-skin.xml", nullptr, "Error opening file" },
        { MAKEINTRESOURCEA(999), "xml", "Could not find resource" },
        { kMainSkin, nullptr, "" },
        { nullptr, "xml", "" },
    };
    for (const Case& c : cases) {
        CSkinBuilder builder;
        EXPECT_EQ(nullptr, builder.Create(c.skin, c.type, &callback, &host, nullptr));
        EXPECT_STREQ(c.error, builder.GetDocument().GetErrorText());
    }
    EXPECT_EQ(0, host.GetFontCount());
    EXPECT_TRUE(callback.asked.empty());
}

} // namespace
} // namespace ui
