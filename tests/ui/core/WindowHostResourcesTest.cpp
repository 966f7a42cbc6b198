// The host's resources: fonts, the image cache, class defaults, the
// resource parent, option groups and window settings.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HostTestSupport.h"

using namespace ui;
using namespace hosttest;

namespace {

// ---- fonts -------------------------------------------------------------------

TEST(WindowHostFontsTest, IndexOutsideTheListGivesTheTopmostDefaultFont)
{
    CWindowHostUI top;
    CWindowHostUI child;
    top.SetBaseFont("Tahoma", 15, false, false, false);
    ASSERT_TRUE(child.SetResourceParent(&top));
    child.RegisterFont("Tahoma", 20, true, false, false);
    UIFontInfo* fallback = top.GetDefaultFontRecord();
    EXPECT_EQ(fallback, child.GetFontRecord(-1));
    EXPECT_EQ(fallback, child.GetFontRecord(1));
    EXPECT_EQ(fallback, child.GetDefaultFontRecord());
    EXPECT_STREQ("Tahoma", fallback->face.GetData());
    EXPECT_EQ(15, fallback->size);
    EXPECT_GT(fallback->metrics.tmHeight, 0);  // measured when asked for
    UIFontInfo* own = child.GetFontRecord(0);
    EXPECT_EQ(20, own->size);
    EXPECT_TRUE(own->bold);
    EXPECT_GT(own->metrics.tmHeight, 0);
    EXPECT_EQ(own->font, child.GetFont(0));
}

TEST(WindowHostFontsTest, FindFontSearchesTheParentsWithExactFaceAndStyle)
{
    CWindowHostUI top;
    CWindowHostUI child;
    child.SetResourceParent(&top);
    HFONT parentFont = top.RegisterFont("Tahoma", 12, false, true, false);
    ASSERT_NE(nullptr, parentFont);
    EXPECT_EQ(parentFont, child.FindFont("Tahoma", 12, false, true, false));
    EXPECT_EQ(nullptr, child.FindFont("tahoma", 12, false, true, false));
    EXPECT_EQ(nullptr, child.FindFont("Tahoma", 12, false, false, false));
    EXPECT_EQ(parentFont, child.GetFontRecord(parentFont)->font);
    // Fonts of a parent are found by handle but not numbered here.
    EXPECT_EQ(0, child.GetFontCount());
    EXPECT_EQ(top.GetDefaultFontRecord(), child.GetFontRecord(static_cast<HFONT>(nullptr)));
}

TEST(WindowHostFontsTest, FaceLongerThanThePlatformFieldIsRefused)
{
    CWindowHostUI host;
    std::string longFace(32, 'F');
    EXPECT_EQ(nullptr, host.RegisterFont(longFace.c_str(), 12, false, false, false));
    EXPECT_EQ(0, host.GetFontCount());
    std::string fits(31, 'F');
    EXPECT_NE(nullptr, host.RegisterFont(fits.c_str(), 12, false, false, false));
    HFONT before = host.GetDefaultFontRecord()->font;
    host.SetBaseFont(longFace.c_str(), 30, true, false, false);
    EXPECT_EQ(before, host.GetDefaultFontRecord()->font);
    // The field counts UTF-16 units: 31 Chinese characters fit, though
    // their UTF-8 takes 93 bytes; one more does not.
    std::string chinese;
    for (int i = 0; i < 31; ++i)
        chinese += "字";
    EXPECT_NE(nullptr, host.RegisterFont(chinese.c_str(), 12, false, false, false));
    chinese += "字";
    EXPECT_EQ(nullptr, host.RegisterFont(chinese.c_str(), 12, false, false, false));
}

TEST(WindowHostFontsTest, BaseFontAddsBoldToTheWeightAndReplacesTheDefault)
{
    CWindowHostUI host;
    host.SetBaseFont("Tahoma", 18, true, false, true);
    UIFontInfo* info = host.GetDefaultFontRecord();
    LOGFONTW lf;
    ASSERT_NE(0, ::GetObjectW(info->font, sizeof(lf), &lf));
    EXPECT_EQ(-18, lf.lfHeight);
    EXPECT_GE(lf.lfWeight, FW_BOLD);
    EXPECT_TRUE(lf.lfItalic);
    EXPECT_FALSE(lf.lfUnderline);
    EXPECT_EQ(DEFAULT_CHARSET, lf.lfCharSet);
    EXPECT_TRUE(info->bold);
    EXPECT_TRUE(info->italic);
}

// ---- image cache -----------------------------------------------------------------

struct LoaderCall
{
    std::string name;  // "#id" for a numeric resource id
    std::string type;
    DWORD mask;
};

std::vector<LoaderCall> g_calls;
bool g_loaderFails = false;
HBITMAP g_lastBitmap = nullptr;

UIImageInfo* FakeLoader(const char* name, const char* type, DWORD mask)
{
    LoaderCall call;
    call.name = IS_INTRESOURCE(name) ? "#" + std::to_string(reinterpret_cast<UINT_PTR>(name)) : name;
    call.type = type != nullptr ? type : "(none)";
    call.mask = mask;
    g_calls.push_back(call);
    if (g_loaderFails)
        return nullptr;
    UIImageInfo* info = new UIImageInfo;
    info->bitmap = g_lastBitmap = ::CreateBitmap(2, 3, 1, 32, nullptr);
    info->width = 2;
    info->height = 3;
    return info;
}

class WindowHostImagesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_calls.clear();
        g_loaderFails = false;
        previous = CWindowHostUI::SetImageLoader(FakeLoader);
    }
    void TearDown() override { CWindowHostUI::SetImageLoader(previous); }

    CWindowHostUI host;
    UIImageLoader previous = nullptr;
};

TEST_F(WindowHostImagesTest, NamesAreResourceIdsWithATypeAndFileNamesWithout)
{
    const struct { const char* name; const char* type; bool cached; const char* loaded; const char* loadedType; } rows[] = {
        { "118", "png", true, "#118", "png" },
        { "77x", "png", true, "#77", "png" },
        { "abc", "png", false, nullptr, nullptr },  // loader not even asked
        { "logo.png", nullptr, true, "logo.png", "(none)" },
        { "bar.png", "", true, "bar.png", "(none)" },
    };
    for (const auto& row : rows) {
        g_calls.clear();
        UIImageInfo* info = host.CacheImage(row.name, row.type, 0xFFFF00FF);
        EXPECT_EQ(row.cached, info != nullptr) << row.name;
        EXPECT_EQ(info, host.FindImage(row.name)) << row.name;
        if (row.loaded == nullptr) {
            EXPECT_TRUE(g_calls.empty()) << row.name;
            continue;
        }
        ASSERT_EQ(1u, g_calls.size()) << row.name;
        EXPECT_EQ(row.loaded, g_calls[0].name);
        EXPECT_EQ(row.loadedType, g_calls[0].type);
        EXPECT_EQ(0xFFFF00FFu, g_calls[0].mask);
        EXPECT_EQ(0xFFFF00FFu, info->mask);
    }
    EXPECT_STREQ("png", host.FindImage("118")->resourceType.GetData());
    EXPECT_STREQ("", host.FindImage("logo.png")->resourceType.GetData());
}

TEST_F(WindowHostImagesTest, ANameIsCachedOnceAndADuplicateLoadIsThrownAway)
{
    UIImageInfo* first = host.GetOrLoadImage("118", "png", 0);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(first, host.GetOrLoadImage("118", "other", 5));  // type and mask not compared
    EXPECT_EQ(1u, g_calls.size());
    EXPECT_EQ(nullptr, host.CacheImage("118", "png", 0));
    EXPECT_EQ(0, ::GetObjectType(g_lastBitmap));  // the second bitmap was deleted
    EXPECT_EQ(first, host.FindImage("118"));
}

TEST_F(WindowHostImagesTest, FailedLoadCachesNothingAndIsTriedAgain)
{
    g_loaderFails = true;
    EXPECT_EQ(nullptr, host.GetOrLoadImage("5", "png", 0));
    g_loaderFails = false;
    EXPECT_NE(nullptr, host.GetOrLoadImage("5", "png", 0));
    EXPECT_EQ(2u, g_calls.size());
}

TEST_F(WindowHostImagesTest, ClearingFreesTheBitmapsAndTheCacheFillsAgain)
{
    host.CacheImage("1", "png", 0);
    HBITMAP bitmap = g_lastBitmap;
    host.ClearImages();
    EXPECT_EQ(0, ::GetObjectType(bitmap));
    EXPECT_EQ(nullptr, host.FindImage("1"));
    EXPECT_NE(nullptr, host.CacheImage("1", "png", 0));
}

TEST(WindowHostImageLoaderTest, WithoutALoaderNothingLoads)
{
    UIImageLoader previous = CWindowHostUI::SetImageLoader(nullptr);
    CWindowHostUI host;
    EXPECT_EQ(nullptr, host.GetOrLoadImage("118", "png", 0));
    CWindowHostUI::SetImageLoader(previous);
}

// ---- class defaults, resource parent, option groups ---------------------------------

TEST(WindowHostResourcesTest, FirstClassDefaultsStayAndParentsAreAsked)
{
    CWindowHostUI top;
    CWindowHostUI child;
    child.SetResourceParent(&top);
    top.SetClassDefaults("Button", "width=\"1\"");
    top.SetClassDefaults("Button", "width=\"2\"");
    EXPECT_STREQ("width=\"1\"", child.GetClassDefaults("Button"));
    child.SetClassDefaults("Button", "height=\"3\"");
    EXPECT_STREQ("height=\"3\"", child.GetClassDefaults("Button"));
    EXPECT_EQ(nullptr, child.GetClassDefaults("Label"));
    child.ClearClassDefaults();
    top.ClearClassDefaults();
    EXPECT_EQ(nullptr, child.GetClassDefaults("Button"));
    child.SetClassDefaults("Button", "x");  // the map takes entries again
    EXPECT_STREQ("x", child.GetClassDefaults("Button"));
}

TEST(WindowHostResourcesTest, ResourceParentRefusesCyclesAndSharesColours)
{
    CWindowHostUI a;
    CWindowHostUI b;
    CWindowHostUI c;
    EXPECT_TRUE(a.SetResourceParent(&b));
    EXPECT_TRUE(b.SetResourceParent(&c));
    EXPECT_FALSE(b.SetResourceParent(&a));
    EXPECT_FALSE(c.SetResourceParent(&a));
    EXPECT_FALSE(a.SetResourceParent(&a));
    EXPECT_EQ(&c, b.GetResourceParent());
    EXPECT_EQ(nullptr, c.GetResourceParent());

    a.SetDefaultTextColor(0xFF112233);
    c.SetDefaultTextColor(0xFF445566);
    EXPECT_EQ(0xFF445566u, a.GetDefaultTextColor());
    EXPECT_EQ(0xFFA7A6AAu, a.GetDisabledTextColor());
    EXPECT_EQ(0xFF0000FFu, a.GetLinkTextColor());
    EXPECT_EQ(0xFFD3215Fu, a.GetLinkHoverTextColor());
    EXPECT_EQ(0xFFBAE4FFu, a.GetSelectedBackColor());
    EXPECT_TRUE(a.SetResourceParent(nullptr));
    EXPECT_EQ(0xFF112233u, a.GetDefaultTextColor());
}

TEST(WindowHostResourcesTest, OptionGroupsHoldEachControlOnce)
{
    CWindowHostUI host;
    CControlUI one;
    CControlUI two;
    EXPECT_TRUE(host.JoinOptionGroup("g", &one));
    EXPECT_FALSE(host.JoinOptionGroup("g", &one));
    EXPECT_TRUE(host.JoinOptionGroup("g", &two));
    ASSERT_NE(nullptr, host.GetOptionGroupMembers("g"));
    EXPECT_EQ(2, host.GetOptionGroupMembers("g")->GetSize());
    host.LeaveOptionGroup("g", &one);
    host.LeaveOptionGroup("g", &two);
    EXPECT_EQ(nullptr, host.GetOptionGroupMembers("g"));
}

TEST(WindowHostResourcesTest, ProcessWideSettings)
{
    HINSTANCE program = CWindowHostUI::GetProgramInstance();
    EXPECT_EQ(program, CWindowHostUI::GetResourceInstance());
    CUIString directory = CWindowHostUI::GetModuleDirectory();
    ASSERT_FALSE(directory.IsEmpty());
    EXPECT_EQ('\\', directory.GetAt(directory.GetLength() - 1));
    CWindowHostUI::SetProgramInstance(nullptr);
    EXPECT_TRUE(CWindowHostUI::GetModuleDirectory().IsEmpty());
    CWindowHostUI::SetProgramInstance(program);
    // Caching an archive that is not there fails and leaves no handle.
    CWindowHostUI::SetResourceFolder("C:\\nowhere\\");
    CWindowHostUI::SetResourceArchive("skin.zip");
    EXPECT_FALSE(CWindowHostUI::SetResourceArchiveCached(true));
    EXPECT_EQ(nullptr, CWindowHostUI::GetCachedArchive());
    CWindowHostUI::SetResourceArchive("");
    CWindowHostUI::SetResourceFolder("");
}

// ---- window settings -------------------------------------------------------------

TEST(WindowHostWindowTest, AlphaAboveByteRangeRemovesTheLayeredStyle)
{
    HostWindow window;
    CWindowHostUI host;
    HWND hwnd = window.Create(nullptr, "alpha", WS_POPUP, 0, 0, 0, 100, 100);
    ASSERT_NE(nullptr, hwnd);
    host.SetWindowAlpha(128);  // nothing before a window is bound
    EXPECT_EQ(0, ::GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED);
    host.AttachWindow(hwnd);
    host.SetWindowAlpha(128);
    EXPECT_NE(0, ::GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED);
    host.SetWindowAlpha(256);
    EXPECT_EQ(0, ::GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED);

    // The initial size resizes the window only while no root is attached.
    host.SetInitialSize(150, 120);
    RECT rect;
    ::GetWindowRect(hwnd, &rect);
    EXPECT_EQ(150, rect.right - rect.left);
    EXPECT_EQ(120, rect.bottom - rect.top);
    host.AttachRoot(new CControlUI);
    host.SetInitialSize(90, 90);
    ::GetWindowRect(hwnd, &rect);
    EXPECT_EQ(150, rect.right - rect.left);
    EXPECT_EQ(90, host.GetInitialSize().cx);
    ::DestroyWindow(hwnd);
}

TEST(WindowHostWindowTest, ControlTimersNeedABoundWindow)
{
    CWindowHostUI host;
    CControlUI control;
    EXPECT_FALSE(host.SetControlTimer(&control, 1, 10));
    EXPECT_FALSE(host.KillControlTimer(&control, 1));
}

} // namespace
