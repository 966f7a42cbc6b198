// Labels and buttons: attributes, painting, and a button driven through
// real mouse and key messages of a host window.

#include "ui/controls/ButtonUI.h"
#include "ui/controls/LabelUI.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/ui/gfx/TextTestSupport.h"
#include "ui/core/HorizontalLayoutUI.h"
#include "ui/gfx/Renderer.h"
#include "ui/core/WindowHostUI.h"
#include "ui/core/WindowWnd.h"

using texttest::Canvas;
using ui::CButtonUI;
using ui::CLabelUI;

namespace {

struct AlignRow
{
    UINT before;
    const char* value;
    UINT after;
};

const AlignRow kAlign[] = {
    { DT_VCENTER, "center", DT_CENTER | DT_VCENTER },
    { DT_BOTTOM | DT_VCENTER, "center", DT_CENTER | DT_VCENTER },
    { DT_BOTTOM, "center", DT_CENTER },
    { DT_VCENTER, "right bottom", DT_RIGHT | DT_BOTTOM },
    { DT_CENTER | DT_VCENTER, "left", DT_VCENTER },
    { DT_RIGHT | DT_VCENTER, "top", DT_RIGHT },
    { DT_CENTER | DT_VCENTER, "bottom", DT_CENTER | DT_BOTTOM },
    { DT_VCENTER, "middle", DT_VCENTER },
};

TEST(LabelUITest, AlignAppliesEveryWordFound)
{
    for (const AlignRow& row : kAlign) {
        SCOPED_TRACE(row.value);
        CLabelUI label;
        label.SetTextStyle(row.before);
        label.SetAttribute("align", row.value);
        EXPECT_EQ(row.after, label.GetTextStyle());
    }
}

TEST(LabelUITest, AttributesOfTheLabelAndTheBase)
{
    CLabelUI label;
    EXPECT_EQ(static_cast<UINT>(DT_VCENTER), label.GetTextStyle());
    EXPECT_EQ(-1, label.GetFont());
    label.SetAttribute("endellipsis", "true");
    EXPECT_EQ(static_cast<UINT>(DT_VCENTER | DT_END_ELLIPSIS), label.GetTextStyle());
    label.SetAttribute("endellipsis", "yes");
    EXPECT_EQ(static_cast<UINT>(DT_VCENTER), label.GetTextStyle());
    label.SetAttribute("font", "2");
    label.SetAttribute("textcolor", "#FF2755AA");
    label.SetAttribute("disabledtextcolor", "BFBFBFFF");
    label.SetAttribute("textpadding", "1,2, 3,4");
    label.SetAttribute("showhtml", "true");
    label.SetAttribute("name", "lbl_title");
    EXPECT_EQ(2, label.GetFont());
    EXPECT_EQ(0xFF2755AAu, label.GetTextColor());
    EXPECT_EQ(0xBFBFBFFFu, label.GetDisabledTextColor());
    RECT padding = label.GetTextPadding();
    EXPECT_EQ(1, padding.left);
    EXPECT_EQ(2, padding.top);
    EXPECT_EQ(3, padding.right);
    EXPECT_EQ(4, padding.bottom);
    EXPECT_TRUE(label.IsShowHtml());
    EXPECT_STREQ("lbl_title", label.GetName());
}

TEST(ButtonUITest, AttributesAndIdentity)
{
    CButtonUI button;
    EXPECT_EQ(static_cast<UINT>(DT_CENTER | DT_VCENTER | DT_SINGLELINE), button.GetTextStyle());
    button.SetAttribute("normalimage", "res='103' restype='png'");
    button.SetAttribute("hotimage", "res='104' restype='png'");
    button.SetAttribute("pushedimage", "res='105' restype='png'");
    button.SetAttribute("focusedimage", "f.png");
    button.SetAttribute("disabledimage", "d.png");
    button.SetAttribute("hottextcolor", "#FF112233");
    button.SetAttribute("pushedtextcolor", "FF445566");
    button.SetAttribute("focusedtextcolor", "#FF778899");
    button.SetAttribute("align", "left");
    EXPECT_STREQ("res='103' restype='png'", button.GetNormalImage());
    EXPECT_STREQ("res='104' restype='png'", button.GetHotImage());
    EXPECT_STREQ("res='105' restype='png'", button.GetPushedImage());
    EXPECT_STREQ("f.png", button.GetFocusedImage());
    EXPECT_STREQ("d.png", button.GetDisabledImage());
    EXPECT_EQ(0xFF112233u, button.GetHotTextColor());
    EXPECT_EQ(0xFF445566u, button.GetPushedTextColor());
    EXPECT_EQ(0xFF778899u, button.GetFocusedTextColor());
    EXPECT_EQ(static_cast<UINT>(DT_VCENTER | DT_SINGLELINE), button.GetTextStyle());

    CLabelUI label;
    EXPECT_STREQ("LabelUI", label.GetClassName());
    EXPECT_STREQ("ButtonUI", button.GetClassName());
    EXPECT_EQ(&label, label.FindInterface("Label"));
    EXPECT_EQ(&label, label.FindInterface("Control"));
    EXPECT_EQ(nullptr, label.FindInterface("Button"));
    EXPECT_EQ(&button, button.FindInterface("Button"));
    EXPECT_EQ(&button, button.FindInterface("Label"));
    EXPECT_EQ(&button, button.FindInterface("Control"));

    EXPECT_EQ(static_cast<UINT>(ui::ControlFlagSetCursor | ui::ControlFlagTabStop), button.GetBehaviorFlags());
    button.SetAcceptsKeyboard(false);
    EXPECT_EQ(static_cast<UINT>(ui::ControlFlagSetCursor), button.GetBehaviorFlags());
    button.SetEnabled(false);
    EXPECT_EQ(0u, button.GetBehaviorFlags());
    EXPECT_FALSE(button.Activate());
}

// Counts "click" notifications.
class ClickCounter : public ui::INotifyUI
{
public:
    void Notify(ui::UINotify& msg) override
    {
        if (msg.type == "click")
            ++clicks;
    }
    int clicks = 0;
};

// A window whose messages go to its host first.
class TestWindow : public ui::CWindowWnd
{
public:
    const char* ClassName() const override { return "WavorinLabelButtonTestWnd"; }
    LRESULT HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        LRESULT result = 0;
        if (host != nullptr && host->ProcessMessage(message, wParam, lParam, result))
            return result;
        return CWindowWnd::HandleWindowMessage(message, wParam, lParam);
    }
    ui::CWindowHostUI* host = nullptr;
};

// A button 100 pixels wide at the left of a 200 x 50 window, and a plain
// control beside it.
class ButtonMessageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ui::CWindowHostUI::SetProgramInstance(::GetModuleHandleA(nullptr));
        ASSERT_NE(nullptr, window.Create(nullptr, "buttons", WS_POPUP, 0, 0, 0, 200, 50));
        window.host = &host;
        host.AttachWindow(window);
        host.AddListener(&counter);
        ui::CHorizontalLayoutUI* root = new ui::CHorizontalLayoutUI;
        button = new CButtonUI;
        button->SetPresetWidth(100);
        button->SetText("ok");
        other = new ui::CControlUI;
        root->AddChild(button);
        root->AddChild(other);
        ASSERT_TRUE(host.AttachRoot(root));
        RECT all = { 0, 0, 200, 50 };
        root->SetBounds(all);
        ASSERT_EQ(100, button->GetBounds().right);
    }
    void TearDown() override
    {
        host.RemoveListener(&counter);
        window.host = nullptr;
        ::DestroyWindow(window);
    }

    void Send(UINT message, int x, int y, WPARAM wParam = 0)
    {
        ::SendMessageA(window, message, wParam, MAKELPARAM(x, y));
    }
    UINT State() const { return button->GetButtonState() & (ui::ButtonHot | ui::ButtonPushed | ui::ButtonCaptured); }

    TestWindow window;
    ui::CWindowHostUI host;
    ClickCounter counter;
    CButtonUI* button = nullptr;
    ui::CControlUI* other = nullptr;
};

TEST_F(ButtonMessageTest, GoesHotPushedAndBackAndClicksOnRelease)
{
    EXPECT_EQ(0u, State());
    Send(WM_MOUSEMOVE, 50, 25);
    EXPECT_EQ(static_cast<UINT>(ui::ButtonHot), State());
    Send(WM_LBUTTONDOWN, 50, 25, MK_LBUTTON);
    EXPECT_EQ(static_cast<UINT>(ui::ButtonHot | ui::ButtonPushed | ui::ButtonCaptured), State());
    EXPECT_EQ(0, counter.clicks);
    Send(WM_LBUTTONUP, 50, 25);
    EXPECT_EQ(1, counter.clicks);
    EXPECT_EQ(static_cast<UINT>(ui::ButtonHot), State());
    Send(WM_MOUSEMOVE, 150, 25);
    EXPECT_EQ(0u, State());
}

TEST_F(ButtonMessageTest, ReleaseOutsideAfterDraggingOutDoesNotClick)
{
    Send(WM_MOUSEMOVE, 50, 25);
    Send(WM_LBUTTONDOWN, 50, 25, MK_LBUTTON);
    Send(WM_MOUSEMOVE, 150, 25, MK_LBUTTON);
    EXPECT_EQ(static_cast<UINT>(ui::ButtonCaptured), State());
    Send(WM_MOUSEMOVE, 60, 25, MK_LBUTTON);
    EXPECT_EQ(static_cast<UINT>(ui::ButtonHot | ui::ButtonPushed | ui::ButtonCaptured), State());
    Send(WM_MOUSEMOVE, 150, 25, MK_LBUTTON);
    Send(WM_LBUTTONUP, 150, 25);
    EXPECT_EQ(0, counter.clicks);
    EXPECT_EQ(0u, State());
}

TEST_F(ButtonMessageTest, PressOutsideAndReleaseInsideDoesNotClick)
{
    Send(WM_MOUSEMOVE, 150, 25);
    Send(WM_LBUTTONDOWN, 150, 25, MK_LBUTTON);
    Send(WM_MOUSEMOVE, 50, 25, MK_LBUTTON);
    Send(WM_LBUTTONUP, 50, 25);
    EXPECT_EQ(0, counter.clicks);
    EXPECT_EQ(static_cast<UINT>(ui::ButtonHot), State());
}

TEST_F(ButtonMessageTest, DisabledButtonSendsNothing)
{
    Send(WM_MOUSEMOVE, 50, 25);
    Send(WM_LBUTTONDOWN, 50, 25, MK_LBUTTON);
    button->SetEnabled(false);
    EXPECT_EQ(0u, button->GetButtonState());
    Send(WM_LBUTTONUP, 50, 25);
    Send(WM_MOUSEMOVE, 150, 25);
    Send(WM_MOUSEMOVE, 50, 25);
    Send(WM_LBUTTONDOWN, 50, 25, MK_LBUTTON);
    Send(WM_LBUTTONUP, 50, 25);
    EXPECT_EQ(0, counter.clicks);
    EXPECT_EQ(0u, State());
}

TEST_F(ButtonMessageTest, SpaceAndReturnClickOnlyWithKeyboard)
{
    host.SetFocusControl(button);
    ASSERT_EQ(button, host.GetFocusControl());
    ::SendMessageA(window, WM_KEYDOWN, VK_SPACE, 0);
    ::SendMessageA(window, WM_KEYUP, VK_SPACE, 0);
    ::SendMessageA(window, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(2, counter.clicks);
    button->SetAcceptsKeyboard(false);
    ::SendMessageA(window, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(2, counter.clicks);
}

// ---- painting -------------------------------------------------------------------

// Two 12 x 12 images: "ok.png" green; nothing else loads.
ui::UIImageInfo* LoadGreen(const char* name, const char* resourceType, DWORD mask)
{
    (void)resourceType;
    (void)mask;
    if (strcmp(name, "ok.png") != 0)
        return nullptr;
    DWORD* bits = nullptr;
    HBITMAP bitmap = ui::CRenderer::CreateTopDownDib(nullptr, 12, 12, &bits);
    if (bitmap == nullptr)
        return nullptr;
    for (int i = 0; i < 144; ++i)
        bits[i] = 0xFF00FF00;
    ui::UIImageInfo* info = new ui::UIImageInfo;
    info->bitmap = bitmap;
    info->width = 12;
    info->height = 12;
    return info;
}

class ControlPaintTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        host.SetBaseFont("微软雅黑", 12, false, false, false);
        host.RegisterFont("微软雅黑", 24, false, false, false);
        previousLoader = ui::CWindowHostUI::SetImageLoader(LoadGreen);
    }
    void TearDown() override { ui::CWindowHostUI::SetImageLoader(previousLoader); }

    void Place(ui::CControlUI& control)
    {
        control.SetHost(&host, nullptr, false);
        RECT rc = { 0, 0, 120, 40 };
        control.SetBounds(rc);
    }
    void Paint(ui::CControlUI& control, Canvas& target)
    {
        RECT all = { 0, 0, target.width(), target.height() };
        control.Paint(target.dc(), all);
    }

    ui::CWindowHostUI host;
    Canvas canvas{ 120, 40 };
    ui::UIImageLoader previousLoader = nullptr;
};

TEST_F(ControlPaintTest, LabelTakesTheHostColoursAtItsFirstPaint)
{
    CLabelUI label;
    label.SetText("mmm");
    Place(label);
    host.SetDefaultTextColor(0xFFFF0000);
    Paint(label, canvas);
    EXPECT_EQ(0xFFFF0000u, label.GetTextColor());
    EXPECT_EQ(0xFFA7A6AAu, label.GetDisabledTextColor());
    EXPECT_GT(canvas.Count([this](int x, int y) { return canvas.IsNear(x, y, 0xFF0000); }), 5);
    // The colour stays what it was when the host's changes later.
    host.SetDefaultTextColor(0xFF000000);
    canvas.Clear();
    Paint(label, canvas);
    EXPECT_GT(canvas.Count([this](int x, int y) { return canvas.IsNear(x, y, 0xFF0000); }), 5);
}

TEST_F(ControlPaintTest, LabelWithMarkupIgnoresItsFontAttribute)
{
    CLabelUI plain;
    plain.SetText("mm");
    plain.SetShowHtml(true);
    Place(plain);
    Paint(plain, canvas);
    CLabelUI withFont;
    withFont.SetText("mm");
    withFont.SetShowHtml(true);
    withFont.SetFont(0);
    Place(withFont);
    Canvas other(120, 40);
    Paint(withFont, other);
    EXPECT_GT(canvas.InkCount(), 0);
    EXPECT_TRUE(canvas.SameAs(other));

    // Without markup the font applies.
    withFont.SetShowHtml(false);
    other.Clear();
    Paint(withFont, other);
    EXPECT_FALSE(canvas.SameAs(other));
}

TEST_F(ControlPaintTest, LabelMeasuresItsFontHeight)
{
    CLabelUI label;
    label.SetHost(&host, nullptr, false);
    SIZE available = { 500, 500 };
    EXPECT_EQ(host.GetDefaultFontRecord()->metrics.tmHeight + 4, label.MeasureSize(available).cy);
    label.SetFont(0);
    EXPECT_EQ(host.GetFontRecord(0)->metrics.tmHeight + 4, label.MeasureSize(available).cy);
    label.SetPresetHeight(30);
    label.SetPresetWidth(70);
    EXPECT_EQ(30, label.MeasureSize(available).cy);
    EXPECT_EQ(70, label.MeasureSize(available).cx);
}

TEST_F(ControlPaintTest, HotButtonTextColour)
{
    CButtonUI button;
    button.SetText("mmm");
    button.SetHotTextColor(0xFF0000FF);
    Place(button);
    Paint(button, canvas);
    EXPECT_EQ(0, canvas.Count([this](int x, int y) { return canvas.IsNear(x, y, 0x0000FF); }));
    ui::UIEvent enter = {};
    enter.type = ui::EventMouseEnter;
    button.HandleEvent(enter);
    canvas.Clear();
    Paint(button, canvas);
    EXPECT_GT(canvas.Count([this](int x, int y) { return canvas.IsNear(x, y, 0x0000FF); }), 5);
}

TEST_F(ControlPaintTest, FailingHotImageIsClearedAndTheNormalOneDrawn)
{
    CButtonUI button;
    button.SetNormalImage("ok.png");
    button.SetHotImage("missing.png");
    Place(button);
    ui::UIEvent enter = {};
    enter.type = ui::EventMouseEnter;
    button.HandleEvent(enter);
    Paint(button, canvas);
    EXPECT_STREQ("", button.GetHotImage());
    EXPECT_STREQ("ok.png", button.GetNormalImage());
    EXPECT_GT(canvas.Count([this](int x, int y) { return canvas.IsNear(x, y, 0x00FF00, 0); }), 100);
}

} // namespace
