// Layouts that use the themed controls: class registration, property order and values.
#include <gtest/gtest.h>

#include "controls/Button.h"
#include "controls/Edit.h"
#include "controls/ImagePanel.h"
#include "controls/Register.h"
#include "platform/layout/Layout.h"

namespace corvane {
namespace {

constexpr const char* kLayout = R"(object Form9: TForm
  Left = 10
  Top = 10
  ClientWidth = 400
  ClientHeight = 300
  object thFileTheme1: TthFileTheme
    ThemeFile = 'no-such-theme.thm'
  end
  object thImagePanel1: TthImagePanel
    Left = 5
    Top = 6
    Width = 184
    Height = 27
    Cursor = crHandPoint
    TabOrder = 2
    AutoSize = False
    DrawStyle = thTile
    Alignment = taRightJustify
    Transparent = True
    Caption = 'tab'
    Picture = 'tab1_on.jpg'
    OnClick = Clicked
  end
  object thButton1: TthButton
    Left = 300
    Top = 250
    Width = 80
    Height = 27
    Caption = '查找'
    AutoSize = False
    FileTheme = thFileTheme1
    UIStyle = MacOS
    Transparent = False
    ModalResult = mrOk
    FocusedRectMargin = 3
    Layout = blGlyphTop
    Spacing = 6
    MouseContinuouslyDownInterval = 250
    ResHandle = 0
    Default = True
    Cancel = True
    TabOrder = 1
    OnClick = Clicked
    OnMouseExit = Clicked
  end
  object e1: TthEdit
    Left = 100
    Top = 250
    Width = 168
    Height = 19
    UIStyle = MacOS
    BorderColor = 8355711
    TabOrder = 0
    Text = '011'
  end
end
)";

class RegisterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterThemedControls();
    RegisterThemedControls();  // a second call changes nothing
    form.PublishHandler("Clicked", TNotifyEvent([this](TObject*) { ++clicks; }));
  }
  TForm form{nullptr};
  int clicks = 0;
};

TEST_F(RegisterTest, ClassesAreRegistered) {
  EXPECT_TRUE(IsClassRegistered("TthButton"));
  EXPECT_TRUE(IsClassRegistered("TthEdit"));
  EXPECT_TRUE(IsClassRegistered("TthImagePanel"));
  EXPECT_TRUE(IsClassRegistered("TthFileTheme"));
}

TEST_F(RegisterTest, ALayoutWithEveryControlLoads) {
  LoadLayout(&form, kLayout, "Unit9.lfm");
  auto* panel = dynamic_cast<TthImagePanel*>(form.FindComponent("thImagePanel1"));
  auto* button = dynamic_cast<TthButton*>(form.FindComponent("thButton1"));
  auto* edit = dynamic_cast<TthEdit*>(form.FindComponent("e1"));
  auto* theme = dynamic_cast<TthFileTheme*>(form.FindComponent("thFileTheme1"));
  ASSERT_TRUE(panel && button && edit && theme);
  EXPECT_EQ(&form, panel->Parent());
  EXPECT_FALSE(theme->IsLoaded());

  EXPECT_EQ(TthDrawStyle::thTile, panel->DrawStyle());
  EXPECT_EQ(TAlignment::taRightJustify, panel->Alignment);
  EXPECT_TRUE(panel->Transparent());
  EXPECT_EQ(184, panel->Picture().Width());
  EXPECT_TRUE(panel->Picture().Graphic()->Transparent);
  EXPECT_EQ("tab", panel->Caption());
  EXPECT_EQ(crHandPoint, panel->Cursor());

  EXPECT_EQ("查找", button->Caption());
  EXPECT_EQ(TthUIStyle::MacOS, button->UIStyle());
  EXPECT_FALSE(button->Transparent());  // stored after UIStyle, so it wins
  EXPECT_EQ(mrOk, button->ModalResult);
  EXPECT_EQ(3, button->FocusedRectMargin());
  EXPECT_EQ(TButtonLayout::blGlyphTop, button->Layout());
  EXPECT_EQ(6, button->Spacing());
  EXPECT_EQ(250, button->MouseContinuouslyDownInterval);
  EXPECT_EQ(theme, button->FileTheme());
  EXPECT_TRUE(button->Default());
  EXPECT_TRUE(button->Cancel);
  EXPECT_EQ(1, button->TabOrder());

  EXPECT_EQ(TthUIStyle::MacOS, edit->UIStyle());
  EXPECT_EQ(0x7F7F7F, edit->BorderColor());
  EXPECT_EQ("011", edit->Text());
  EXPECT_EQ(0, edit->TabOrder());

  button->Click();
  panel->Click();
  EXPECT_EQ(2, clicks);
  EXPECT_EQ(mrOk, form.ModalResult());
}

TEST_F(RegisterTest, AStyleStoredAfterTransparentOrBorderColorWins) {
  LoadLayout(&form, R"(object F: TForm
  object b: TthButton
    Transparent = False
    UIStyle = BlueGlass
  end
  object e: TthEdit
    BorderColor = 255
    UIStyle = WinXP
  end
end
)", "order.lfm");
  EXPECT_TRUE(dynamic_cast<TthButton*>(form.FindComponent("b"))->Transparent());
  EXPECT_EQ(0x686868, dynamic_cast<TthEdit*>(form.FindComponent("e"))->BorderColor());
}

TEST_F(RegisterTest, BadValuesAreLayoutErrors) {
  EXPECT_THROW(LoadLayout(&form, "object F: TForm\n object b: TthButton\n UIStyle = Aqua\n end\nend\n", "bad.lfm"),
               ELayoutError);
  TForm f2(nullptr);
  EXPECT_THROW(LoadLayout(&f2, "object F: TForm\n object p: TthImagePanel\n DrawStyle = thCentre\n end\nend\n", "bad.lfm"),
               ELayoutError);
  TForm f3(nullptr);
  EXPECT_THROW(LoadLayout(&f3, "object F: TForm\n object b: TthButton\n Layout = blGlyphMiddle\n end\nend\n", "bad.lfm"),
               ELayoutError);
  TForm f4(nullptr);
  EXPECT_THROW(LoadLayout(&f4, "object F: TForm\n object e: TthEdit\n FileTheme = e\n end\nend\n", "bad.lfm"),
               ELayoutError);
}

}  // namespace
}  // namespace corvane
