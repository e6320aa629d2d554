// Where menus open in the upper and lower halves of the screen (sub-menus, and upward menus that do
// not fit above their anchor), what a level of one item shows below it, and the tray icon's owner
// window: brought forward when shown, and a program that starts in the tray.
#include <gtest/gtest.h>

#include <memory>

#include "platform/layout/Layout.h"
#include "platform/windows/Forms.h"
#include "platform/windows/Menus.h"
#include "platform/windows/TrayIcons.h"
#include "skin/Register.h"
#include "skin/frame/SkinMenu.h"
#include "skin/frame/TrayIcon.h"
#include "skin/package/CompressedStoredSkin.h"
#include "skin/package/SkinData.h"
#include "skin/package/StoredSkin.h"
#include "support/TestSupport.h"

using namespace corvane;

namespace {

TMenuItem* Add(TComponent* owner, TMenuItem& parent, const std::string& caption) {
  auto* item = new TMenuItem(owner);
  item->Caption = caption;
  parent.Add(item);
  return item;
}

class MenuRules : public ::testing::Test {
 protected:
  void SetUp() override {
    stored_.ReadCompressedData(StoredSkinBytes());
    skin_.SetCompressedStoredSkin(&stored_);
    form_ = std::make_unique<TForm>(nullptr);
    form_->SetBounds(200, 150, 400, 300);
    host_ = new TskSkinMenuHost(form_.get());
    host_->SkinData = &skin_;
    // Nine items of 20 pixels (187 high with the picture's frame) and forty (807 high).
    nine_ = new TMenuItem(form_.get());
    forty_ = new TMenuItem(form_.get());
    for (int i = 0; i < 9; ++i) Add(form_.get(), *nine_, "第" + std::to_string(i) + "项");
    for (int i = 0; i < 40; ++i) Add(form_.get(), *forty_, "第" + std::to_string(i) + "项");
  }
  void TearDown() override {
    host_->SkinMenu().CloseLevels(0);
    form_.reset();
    Application->ProcessMessages();  // levels go after their handlers
  }
  TskSkinMenu& Engine() { return host_->SkinMenu(); }
  // Level 0 of `item` at the anchor, opening upward or downward.
  TskSkinPopupWindow* Open(TMenuItem& item, const TRect& anchor, bool upward) {
    Engine().ShowMenu(nullptr, &skin_, upward, &item, anchor, 0);
    return Engine().Level(0);
  }
  // A sub-menu level of `item` at the anchor (over a level 0 shown far away).
  TskSkinPopupWindow* OpenSub(TMenuItem& item, const TRect& anchor) {
    Open(*nine_, {0, 0, 0, 0}, false);
    Engine().OpenLevel(anchor, &item, false, true, 0);
    return Engine().Level(1);
  }

  TskCompressedStoredSkin stored_{nullptr};
  TskSkinData skin_{nullptr};
  std::unique_ptr<TForm> form_;
  TskSkinMenuHost* host_ = nullptr;
  TMenuItem* nine_ = nullptr;
  TMenuItem* forty_ = nullptr;
};

}  // namespace

TEST_F(MenuRules, SubMenusAndUpwardMenusThatDoNotFitGoByTheHalfOfTheScreenTheirAnchorIsIn) {
  Open(*nine_, {0, 0, 0, 0}, false);
  const TRect r = Engine().WorkArea();
  const int half = r.Top + r.Height() / 2;
  ASSERT_GT(r.Height(), 807 + 40);
  const struct {
    const char* what;
    bool sub, upward;
    TMenuItem* item;
    TRect anchor;
    int left, top;
  } cases[] = {
      // Sub-menus: the first item level with the parent item (items start 3 down the picture) ...
      {"sub-menu that fits", true, false, nine_, {300, 100, 400, 120}, 401, 97},
      // ... else, from the upper half, ending at the work area's bottom ...
      {"tall sub-menu from the upper half", true, false, forty_, {300, half - 40, 400, half - 20}, 401, r.Bottom - 807},
      // ... and from the lower half, its last item level with the parent item.
      {"sub-menu from the lower half", true, false, nine_, {300, r.Bottom - 60, 400, r.Bottom - 40}, 401,
       r.Bottom - 40 - 187 + 3},
      // Upward menus that do not fit above: below the anchor from the upper half when they fit
      // there (beside it otherwise, ending at the bottom), at the top from the lower half.
      {"upward menu near the top", false, true, nine_, {300, r.Top + 50, 320, r.Top + 70}, 300, r.Top + 70},
      {"tall upward menu from the upper half", false, true, forty_, {300, half - 60, 320, half - 40}, 321,
       r.Bottom - 807},
      {"tall upward menu from the lower half", false, true, forty_, {300, half + 100, 320, half + 120}, 321, r.Top},
  };
  for (const auto& c : cases) {
    TskSkinPopupWindow* l = c.sub ? OpenSub(*c.item, c.anchor) : Open(*c.item, c.anchor, c.upward);
    EXPECT_EQ(l->Left(), c.left) << c.what;
    EXPECT_EQ(l->Top(), c.top) << c.what;
  }
}

TEST_F(MenuRules, ALevelOfOneItemShowsTheMenusBackgroundBelowTheItemNotABlankBand) {
  auto* one = new TMenuItem(form_.get());
  Add(form_.get(), *one, "最深");
  TskSkinPopupWindow* l = OpenSub(*one, {300, 100, 400, 120});
  ASSERT_EQ(l->ItemCount(), 1);
  const TRect item = l->Items(0)->ObjectRect;
  ASSERT_LT(item.Bottom + 5, l->ItemsRect().Bottom) << "the level is held at its picture's corner height";
  TBitmap shown;
  l->PaintLevel(shown);
  const TBitmap& picture = *skin_.ActivePicture(skin_.PopupWindow->WindowPictureIndex);
  // Below the item, the items rectangle's background as the picture has it there.
  for (int y = item.Bottom; y < l->ItemsRect().Bottom; ++y)
    for (int x : {item.Left, item.Left + 30, 83})  // within the first tile of the picture's 70 columns
      ASSERT_EQ(shown.ScanLine(y)[x] & 0xFFFFFF, picture.ScanLine(y)[x] & 0xFFFFFF) << x << "," << y;
}

namespace {

class TrayOwner : public ::testing::Test {
 protected:
  void SetUp() override { gNotificationAreaSeam = 1; }
  void TearDown() override { gNotificationAreaSeam = -1; }
};

}  // namespace

TEST_F(TrayOwner, ShowingTheOwnerBringsItForwardAndATrayThatStartsMinimisedHidesTheProgram) {
  auto* main = new TForm(Application);
  Application->RegisterForm(main);
  main->SetBounds(100, 100, 200, 150);
  main->Show();
  auto* owner = new TForm(nullptr);
  owner->SetBounds(150, 150, 200, 150);
  new TskTrayIcon(owner);
  owner->Show();
  ASSERT_TRUE(test::RunUntil([&] { return main->Showing() && owner->Showing(); }, 3000));
  main->BringWindowToFront();
  ASSERT_EQ(Screen->ZOrder().front(), main);
  owner->Perform(WM_SHOWWINDOW, 1, 0);  // shown by the program
  EXPECT_EQ(Screen->ZOrder().front(), owner);
  delete owner;

  RegisterSkinComponents();
  class TTrayForm : public TForm {
   public:
    using TForm::TForm;
    std::string ClassName() const override { return "TForm"; }
  };
  auto* starter = new TTrayForm(nullptr);
  LoadLayout(starter,
             "object Form: TForm\n"
             "  object skTrayIcon1: TskTrayIcon\n"
             "    IconVisible = False\n"
             "    MinimizedOnStart = True\n"
             "  end\n"
             "end\n",
             "tray.lfm");
  auto* tray = dynamic_cast<TskTrayIcon*>(starter->FindComponent("skTrayIcon1"));
  ASSERT_NE(tray, nullptr);
  EXPECT_TRUE(tray->IconVisible());
  EXPECT_TRUE(tray->InTray()) << "the icon is in the notification area";
  EXPECT_TRUE(tray->MinimizeToTray);
  EXPECT_TRUE(Application->Minimized());
  EXPECT_FALSE(main->Showing()) << "the main window starts hidden";
  tray->RestoreFromTray();
  EXPECT_TRUE(test::RunUntil([&] { return main->Showing(); }, 3000));
  delete starter;
  delete main;
}
