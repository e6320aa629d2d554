// Skinned menus: the size and place of a level with the stored skin and in the plain look, the
// delayed and clicked sub-menus, scrolling long menus, the keyboard in menu mode, closing on a
// press elsewhere, and the pop-up menu component.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/windows/Forms.h"
#include "skin/frame/SkinDrawing.h"
#include "skin/frame/SkinMenu.h"
#include "skin/package/CompressedStoredSkin.h"
#include "skin/package/SkinData.h"
#include "skin/package/SkinMembers.h"
#include "skin/package/StoredSkin.h"
#include "support/TestSupport.h"

using namespace corvane;

namespace {

using Clock = std::chrono::steady_clock;

using test::RunUntil;

TMenuItem* AddItem(TMenuItem& parent, const std::string& caption, const std::string& name = "",
                   TShortCut shortCut = 0) {
  TComponent* owner = parent.GetParentMenu();
  auto* item = new TMenuItem(owner ? owner : parent.Owner());
  item->Caption = caption;
  if (!name.empty()) item->SetName(name);
  item->ShortCut = shortCut;
  parent.Add(item);
  return item;
}

// The about window's system menu in its normal state: the frame's commands around the user's
// four items.
void BuildSystemMenu(TMenuItem& root) {
  AddItem(root, "最小化(&n)", "SKF_MINITEM");
  AddItem(root, "最大化(&x)", "SKF_MAXITEM");
  AddItem(root, "向上卷拢(&l)", "SKF_ROLLUP");
  AddItem(root, "最小化到图标(&T)", "SKF_MINTOTRAY");
  AddItem(root, "-", "N1");
  AddItem(root, "Load skin...", "LoadSkin1");
  AddItem(root, "Load stored skin", "Loadstoredskin1");
  AddItem(root, "-", "MenuItem1");
  AddItem(root, "关闭(&C)", "SKF_CLOSE", ShortCut(VK_F4, ssAlt));
}

class SkinMenu : public ::testing::Test {
 protected:
  void SetUp() override {
    stored_.ReadCompressedData(StoredSkinBytes());
    skin_.SetCompressedStoredSkin(&stored_);
    form_ = new TForm(nullptr);
    form_->SetBounds(200, 150, 400, 300);
    host_ = new TskSkinMenuHost(form_);
    host_->SkinData = &skin_;
    menu_ = new TskSkinPopupMenu(form_);
  }
  void TearDown() override {
    host_->SkinMenu().CloseLevels(0);
    if (host_->InMenu()) host_->ExitMenuMode();
    delete form_;
    Application->ProcessMessages();  // levels go after their handlers
  }
  TskSkinMenu& Engine() { return host_->SkinMenu(); }
  TskSkinPopupWindow* Level(int i) { return Engine().Level(i); }
  // Shows the form and waits for the window system to make it the active window.
  void ShowForm() {
    form_->Show();
    RunUntil([&] { return form_->Showing() && Screen->ActiveForm() == form_; }, 3000);
  }
  // Screen point in the middle of item i of level n.
  TPoint ItemPoint(int n, int i) {
    TskSkinPopupWindow* l = Level(n);
    const TRect r = l->Items(i)->ObjectRect;
    return l->ClientToScreen({(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
  }
  // Points the mouse at a screen point and waits until the levels' mouse timer has acted on it
  // (`seen` holds): the timer ticks every kMouseInterval, much later on a loaded machine.
  template <class F>
  void Hover(TPoint p, F seen) {
    Input::MouseMove(p);
    EXPECT_TRUE(RunUntil(seen, 20000)) << "the mouse timer did not act on the pointer at " << p.X << "," << p.Y;
  }

  TskCompressedStoredSkin stored_{nullptr};
  TskSkinData skin_{nullptr};
  TForm* form_ = nullptr;
  TskSkinMenuHost* host_ = nullptr;
  TskSkinPopupMenu* menu_ = nullptr;
};

}  // namespace

TEST_F(SkinMenu, TheSystemMenuWithTheStoredSkinIsNineItems157PixelsHighWithTheFirstActive) {
  BuildSystemMenu(menu_->Items());
  menu_->Popup(500, 100);
  ASSERT_TRUE(Engine().Visible());
  ASSERT_EQ(Engine().LevelCount(), 1);
  TskSkinPopupWindow* l = Level(0);
  ASSERT_TRUE(l->Skinned());
  EXPECT_EQ(l->ItemCount(), 9);
  // 7 items of 20, 2 dividers of 5, and the window picture's 80 less the items rectangle's 73.
  EXPECT_EQ(l->Height(), 157);
  EXPECT_EQ(l->ItemsRect(), TRect(14, 3, l->Width() - 88 + 84, 157 - 80 + 76));
  EXPECT_EQ(l->Items(4)->ObjectRect.Height(), 5);
  EXPECT_EQ(l->Items(8)->ObjectRect, TRect(14, 3 + 7 * 20 + 2 * 5 - 20, l->Width() - 4, 153));
  // It fits the screen, so its top-left corner is at the point.
  EXPECT_EQ(l->Left(), 500);
  EXPECT_EQ(l->Top(), 100);
  EXPECT_EQ(l->ActiveIndex(), 0);
  EXPECT_TRUE(l->Items(0)->Active);
  EXPECT_TRUE(l->Items(0)->WaitCommand);
  EXPECT_EQ(l->Items(0)->MenuItem->Caption, "最小化(&n)");
  for (int i = 1; i < 9; ++i) EXPECT_FALSE(l->Items(i)->Active) << i;
  EXPECT_TRUE(host_->InMenu());
  EXPECT_TRUE(l->Showing());
  // The menu took the skin of the window's host and keeps it.
  EXPECT_EQ(menu_->SkinData(), &skin_);
}

TEST_F(SkinMenu, TheSkinnedLevelIsDrawnFromThePopupPictureAndTheItemStrips) {
  BuildSystemMenu(menu_->Items());
  menu_->Popup(300, 200);
  TskSkinPopupWindow* l = Level(0);
  ASSERT_TRUE(RunUntil([&] { return l->Items(0)->MorphFactor == 1.0; }, 2000));
  TBitmap shot;
  l->PaintLevel(shot);
  TBitmap& popup = *skin_.ActivePicture(skin_.PopupWindow->WindowPictureIndex);
  // The corners of the window picture are kept.
  EXPECT_EQ(shot.Pixel(0, 0), popup.Pixel(0, 0));
  EXPECT_EQ(shot.Pixel(l->Width() - 1, l->Height() - 1), popup.Pixel(87, 79));
  // The active first item shows the active strip's left cap, the others the normal one.
  TBitmap& items = *skin_.ActivePicture(2);
  const TRect first = l->Items(0)->ObjectRect, second = l->Items(1)->ObjectRect;
  EXPECT_EQ(shot.Pixel(first.Left + 1, first.Top + 1), items.Pixel(1 + 1, 50 + 1));
  EXPECT_EQ(shot.Pixel(second.Left + 1, second.Top + 1), items.Pixel(1 + 1, 22 + 1));
  // A divider is the divider strip.
  const TRect divider = l->Items(4)->ObjectRect;
  EXPECT_EQ(shot.Pixel(divider.Left + 1, divider.Top + 2), items.Pixel(0 + 1, 41 + 2));
}

TEST_F(SkinMenu, HoveringAnItemMakesItActiveAndCrossFadesItInSteps) {
  BuildSystemMenu(menu_->Items());
  ShowForm();
  menu_->Popup(300, 200);
  TskSkinPopupWindow* l = Level(0);
  ASSERT_TRUE(RunUntil([&] { return l->Items(0)->MorphFactor == 1.0; }, 2000));
  Hover(ItemPoint(0, 2), [&] { return l->ActiveIndex() == 2; });
  EXPECT_TRUE(l->Items(2)->Active);
  EXPECT_FALSE(l->Items(0)->Active);
  EXPECT_FALSE(l->Items(0)->WaitCommand);
  // Each morph tick moves a factor 0.2 toward its item's state.
  const double before = l->Items(2)->MorphFactor;
  l->Perform(WM_TIMER, TskSkinPopupWindow::kMorphTimer, 0);
  EXPECT_NEAR(l->Items(2)->MorphFactor, std::min(1.0, before + 0.2), 1e-9);
  ASSERT_TRUE(RunUntil([&] { return l->Items(2)->MorphFactor == 1.0 && l->Items(0)->MorphFactor == 0.0; }, 2000));
  // Separators and disabled items become the active index but are never highlighted.
  Hover(ItemPoint(0, 4), [&] { return l->ActiveIndex() == 4; });
  EXPECT_FALSE(l->Items(4)->Active);
  EXPECT_FALSE(l->Items(2)->Active);
}

TEST_F(SkinMenu, ThePlainLookWithoutASkinHas20PixelItemsAFrameAndANavyHighlight) {
  host_->SkinData = nullptr;
  BuildSystemMenu(menu_->Items());
  menu_->Popup(300, 200);
  TskSkinPopupWindow* l = Level(0);
  ASSERT_FALSE(l->Skinned());
  EXPECT_EQ(l->Height(), 7 * 20 + 2 * 4 + 4);
  EXPECT_EQ(l->ItemsRect(), TRect(2, 2, l->Width() - 2, l->Height() - 2));
  TBitmap shot;
  l->PaintLevel(shot);
  EXPECT_EQ(shot.Pixel(0, 0), ColorToRGB(clBtnShadow));
  EXPECT_EQ(shot.Pixel(1, 1), ColorToRGB(clWindow));
  const TRect first = l->Items(0)->ObjectRect, second = l->Items(1)->ObjectRect;
  EXPECT_EQ(shot.Pixel(first.Left, first.Top), ColorToRGB(clNavy));
  EXPECT_EQ(shot.Pixel(first.Left + 5, first.Top + 1), static_cast<TColor>(0xD2BDB6));
  // An item that is not highlighted: the glyph column in the face colour, the rest white.
  EXPECT_EQ(shot.Pixel(second.Left + 1, second.Top + 1), ColorToRGB(clBtnFace));
  EXPECT_EQ(shot.Pixel(second.Right - 2, second.Top + 1), ColorToRGB(clWindow));
  // The separator's line across the middle.
  const TRect sep = l->Items(4)->ObjectRect;
  EXPECT_EQ(shot.Pixel(sep.Left + 30, sep.Top + 2), ColorToRGB(clBtnShadow));
  // An empty skin, or one whose pop-up picture index is -1, also draws plain.
  TskSkinData empty(nullptr);
  menu_->SetSkinData(&empty);
  menu_->Popup(300, 200);
  EXPECT_FALSE(Level(0)->Skinned());
  skin_.PopupWindow->WindowPictureIndex = -1;
  menu_->SetSkinData(&skin_);
  menu_->Popup(300, 200);
  EXPECT_FALSE(Level(0)->Skinned());
}

TEST_F(SkinMenu, NearTheScreenBottomAMenuOpensAboveItsButtonOrBesideIt) {
  BuildSystemMenu(menu_->Items());
  const TRect work = ScreenWorkRect(*form_, true);
  // A button in the lower half whose menu does not fit below it: the menu opens above it.
  const TRect button(600, work.Bottom - 30, 620, work.Bottom - 10);
  menu_->PopupAtRect(button, false);
  TskSkinPopupWindow* l = Level(0);
  EXPECT_EQ(l->Top(), button.Top - 157);
  EXPECT_EQ(l->Left(), 600);
  // A button in the upper half with a menu too tall for the space below: pushed up to end at the
  // work area's bottom and placed beside the button.
  TskSkinPopupMenu tall(form_);
  for (int i = 0; i < 40; ++i) AddItem(tall.Items(), "第" + std::to_string(i) + "项");
  const int upper = work.Top + work.Height() / 2 - 40;
  const TRect high(600, upper, 620, upper + 20);
  tall.PopupAtRect(high, false);
  l = Level(0);
  ASSERT_LE(l->Height(), work.Height());
  ASSERT_GT(high.Bottom + l->Height(), work.Bottom);
  EXPECT_EQ(l->Top(), work.Bottom - l->Height());
  EXPECT_EQ(l->Left(), high.Right + 1);
  // A point menu near the right edge is moved left to end at the work area's right.
  menu_->Popup(work.Right - 10, 100);
  l = Level(0);
  EXPECT_EQ(l->Left() + l->Width(), work.Right);
  EXPECT_EQ(l->Top(), 100);
  // Upward menus open above their anchor when they fit there.
  menu_->PopupAtRect({300, 400, 320, 420}, true);
  EXPECT_EQ(Level(0)->Top(), 400 - 157);
}

TEST_F(SkinMenu, ASubMenuOpensHalfASecondAfterHoveringAndAtOnceOnAClick) {
  TMenuItem& root = menu_->Items();
  AddItem(root, "打开(&O)");
  TMenuItem* more = AddItem(root, "更多(&M)");
  AddItem(*more, "甲");
  AddItem(*more, "乙");
  int moreClicks = 0;
  more->OnClick = [&](TObject*) { ++moreClicks; };
  ShowForm();
  menu_->Popup(300, 200);
  TskSkinPopupWindow* l = Level(0);

  const auto start = Clock::now();
  Hover(ItemPoint(0, 1), [&] { return l->ActiveIndex() == 1; });
  EXPECT_EQ(Engine().LevelCount(), 1);
  EXPECT_TRUE(Engine().WaitTimerRunning());
  ASSERT_TRUE(RunUntil([&] { return Engine().LevelCount() == 2; }, 3000));
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(TskSkinMenu::kWaitInterval));
  EXPECT_TRUE(l->Items(1)->Down);
  EXPECT_EQ(moreClicks, 1);  // opening runs the item's own click too
  // The sub-menu's first item is level with its parent item.
  TskSkinPopupWindow* sub = Level(1);
  EXPECT_EQ(sub->Top() + sub->ItemsRect().Top, l->Top() + l->Items(1)->ObjectRect.Top);
  EXPECT_EQ(sub->Left(), l->Left() + l->Items(1)->ObjectRect.Right + 1);
  EXPECT_EQ(sub->ParentItem(), more);

  // Back on the first item the sub-menu closes; a click on the parent opens it at once.
  Hover(ItemPoint(0, 0), [&] { return l->ActiveIndex() == 0; });
  EXPECT_EQ(Engine().LevelCount(), 1);
  EXPECT_FALSE(l->Items(1)->Down);
  Input::MouseMove(ItemPoint(0, 1));
  Input::MouseDown(ItemPoint(0, 1));
  Input::MouseUp(ItemPoint(0, 1));
  EXPECT_EQ(Engine().LevelCount(), 2);
  EXPECT_EQ(moreClicks, 2);
  EXPECT_FALSE(Engine().WaitTimerRunning());
}

TEST_F(SkinMenu, FiveOfTwelveItemsShowAndTheDownMarkerScrollsOneItemPerTick) {
  for (int i = 0; i < 12; ++i) AddItem(menu_->Items(), "项目 " + std::to_string(i));
  Engine().MaxMenuItemsInWindow = 5;
  ShowForm();
  menu_->Popup(300, 200);
  TskSkinPopupWindow* l = Level(0);
  ASSERT_TRUE(l->Scrolled());
  EXPECT_TRUE(l->Limited());
  EXPECT_EQ(l->Height(), 5 * 20 + 7 + 20);
  EXPECT_EQ(l->VisibleCount(), 5);
  EXPECT_EQ(l->FirstVisible(), 0);
  EXPECT_EQ(l->Items(0)->ObjectRect.Top, l->ItemsRect().Top + 10);
  EXPECT_FALSE(l->Items(5)->Visible);

  // The pointer on the down marker starts scrolling; every tick moves one item.
  const TRect items = l->ItemsRect();
  const TPoint marker = l->ClientToScreen({(items.Left + items.Right) / 2, items.Bottom - 5});
  const auto start = Clock::now();
  Hover(marker, [&] { return l->ScrollCode() == 2 || l->FirstVisible() > 0; });
  ASSERT_TRUE(RunUntil([&] { return l->ScrollCode() == 0 && l->FirstVisible() > 0; }, 20000));
  // Seven steps of 100 ms bring the last item in, and then it stops.
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(7 * TskSkinPopupWindow::kScrollInterval - 60));
  EXPECT_EQ(l->FirstVisible(), 7);
  EXPECT_TRUE(l->Items(11)->Visible);
  EXPECT_FALSE(l->Items(6)->Visible);

  // Step by step: back on the up marker, each scroll tick shows one more item above.
  const TPoint up = l->ClientToScreen({(items.Left + items.Right) / 2, items.Top + 5});
  Input::MouseMove(up);
  l->Perform(WM_TIMER, TskSkinPopupWindow::kMouseTimer, 0);
  ASSERT_EQ(l->ScrollCode(), 1);
  l->Perform(WM_TIMER, TskSkinPopupWindow::kScrollTimer, 0);
  EXPECT_EQ(l->FirstVisible(), 6);
  l->Perform(WM_TIMER, TskSkinPopupWindow::kScrollTimer, 0);
  EXPECT_EQ(l->FirstVisible(), 5);
  // Off the markers the scrolling stops.
  Input::MouseMove(ItemPoint(0, 7));
  l->Perform(WM_TIMER, TskSkinPopupWindow::kMouseTimer, 0);
  EXPECT_EQ(l->ScrollCode(), 0);
  EXPECT_EQ(l->FirstVisible(), 5);
}

TEST_F(SkinMenu, TheKeyboardWalksTheItemsAndDownOnTheLastWrapsToTheFirstEnabledOne) {
  TMenuItem& root = menu_->Items();
  AddItem(root, "禁用")->Enabled = false;
  AddItem(root, "-");
  AddItem(root, "甲(&A)");
  AddItem(root, "乙(&B)");
  TMenuItem* sub = AddItem(root, "丙(&D)");
  AddItem(*sub, "丁");
  ShowForm();
  menu_->Popup(300, 200);
  TskSkinPopupWindow* l = Level(0);
  EXPECT_EQ(l->ActiveIndex(), 2);  // the first enabled item that is not a separator
  Input::Key(VK_DOWN);
  EXPECT_EQ(l->ActiveIndex(), 3);
  Input::Key(VK_DOWN);
  EXPECT_EQ(l->ActiveIndex(), 4);
  EXPECT_EQ(Engine().LevelCount(), 1);  // a keyboard selection opens no sub-menu
  Input::Key(VK_DOWN);
  EXPECT_EQ(l->ActiveIndex(), 2);
  EXPECT_TRUE(l->Items(2)->Active);
  EXPECT_FALSE(l->Items(4)->Active);
  // Up from the first item that can be chosen goes round to the last one.
  Input::Key(VK_UP);
  EXPECT_EQ(l->ActiveIndex(), 4);
  // Right opens the active item's sub-menu, Left closes it again.
  Input::Key(VK_RIGHT);
  ASSERT_EQ(Engine().LevelCount(), 2);
  EXPECT_TRUE(l->Items(4)->Down);
  EXPECT_EQ(Level(1)->ActiveIndex(), 0);
  Input::Key(VK_LEFT);
  EXPECT_EQ(Engine().LevelCount(), 1);
  EXPECT_FALSE(l->Items(4)->Down);
  Input::Key(VK_LEFT);  // with one level Left does nothing
  EXPECT_EQ(Engine().LevelCount(), 1);
  EXPECT_TRUE(host_->InMenu());
}

TEST_F(SkinMenu, CChoosesCloseAndClosesTheWindow) {
  BuildSystemMenu(menu_->Items());
  bool closed = false;
  TMenuItem* close = menu_->Items().Items(8);
  close->OnClick = [&](TObject*) {
    // The menu has closed and menu mode has ended before the command runs.
    EXPECT_FALSE(Engine().Visible());
    EXPECT_FALSE(host_->InMenu());
    closed = true;
    form_->Close();
  };
  ShowForm();
  menu_->Popup(300, 200);
  Input::Key('C');
  EXPECT_TRUE(closed);
  EXPECT_FALSE(Engine().Visible());
  EXPECT_FALSE(host_->InMenu());
  EXPECT_FALSE(form_->Visible());
  EXPECT_EQ(Engine().LastCommand(), close);
}

TEST_F(SkinMenu, EscapeClosesTheTopLevelAndOnTheLastOneEndsMenuMode) {
  TMenuItem* more = AddItem(menu_->Items(), "更多(&M)");
  AddItem(*more, "甲");
  int opened = 0, closed = 0;
  host_->OnSkinMenuOpen = [&](TObject*) { ++opened; };
  host_->OnSkinMenuClose = [&](TObject*) { ++closed; };
  int keysSeen = 0;
  form_->KeyPreview = true;
  form_->OnKeyDown = [&](TObject*, int&, TShiftState) { ++keysSeen; };
  ShowForm();
  menu_->Popup(300, 200);
  EXPECT_EQ(opened, 1);
  Input::Key(VK_RIGHT);
  ASSERT_EQ(Engine().LevelCount(), 2);
  Input::Key(VK_ESCAPE);
  EXPECT_EQ(Engine().LevelCount(), 1);
  EXPECT_FALSE(Level(0)->Items(0)->Down);
  EXPECT_TRUE(host_->InMenu());
  Input::Key(VK_ESCAPE);
  EXPECT_FALSE(Engine().Visible());
  EXPECT_FALSE(host_->InMenu());
  EXPECT_EQ(closed, 1);
  EXPECT_EQ(keysSeen, 0);  // the window saw none of the menu's keys
  Input::Key(VK_ESCAPE);
  EXPECT_EQ(keysSeen, 1);  // after menu mode the keys are the window's again
}

TEST_F(SkinMenu, TheWheelDoesNothingWhileAMenuIsOpenAndAltF4StillClosesTheWindow) {
  BuildSystemMenu(menu_->Items());
  int wheels = 0;
  Application->OnMessage = [&](TMessage& m, bool&) { if (m.Msg == WM_MOUSEWHEEL) ++wheels; };
  ShowForm();
  const TPoint inside = form_->ClientToScreen({50, 50});
  Input::Wheel(inside, 120);
  EXPECT_EQ(wheels, 1);
  menu_->Popup(300, 200);
  Input::Wheel(inside, 120);
  Input::Wheel(ItemPoint(0, 1), -120);
  EXPECT_EQ(wheels, 1);
  EXPECT_TRUE(Engine().Visible());
  Input::Key(VK_F4, ssAlt);
  EXPECT_FALSE(form_->Visible());
  RunUntil([&] { return !Engine().Visible(); }, 1000);
  host_->CloseMenus();
  // Leaving menu mode gave the previous message handler back.
  Input::Wheel({10, 10}, 120);
  ASSERT_TRUE(static_cast<bool>(Application->OnMessage));
  Application->OnMessage = nullptr;
}

TEST_F(SkinMenu, APressElsewhereInTheProgramClosesTheMenuAndAPressOnItDoesNot) {
  BuildSystemMenu(menu_->Items());
  ShowForm();
  menu_->Popup(form_->Left() + form_->Width() + 20, 200);
  Input::MouseMove(ItemPoint(0, 4));
  Input::MouseDown(ItemPoint(0, 4));
  Input::MouseUp(ItemPoint(0, 4));  // a separator: nothing is chosen
  EXPECT_TRUE(Engine().Visible());
  Input::Click(form_->ClientToScreen({30, 30}));
  EXPECT_FALSE(Engine().Visible());
  EXPECT_FALSE(host_->InMenu());
  EXPECT_EQ(Engine().LevelCount(), 0);
}

TEST_F(SkinMenu, ADisabledItemChosenDoesNothingAndAMenuWithoutItemsShowsNothing) {
  TMenuItem* off = AddItem(menu_->Items(), "关闭(&C)");
  off->Enabled = false;
  int clicks = 0;
  off->OnClick = [&](TObject*) { ++clicks; };
  AddItem(menu_->Items(), "甲");
  ShowForm();
  menu_->Popup(300, 200);
  Input::MouseMove(ItemPoint(0, 0));
  Input::MouseDown(ItemPoint(0, 0));
  Input::MouseUp(ItemPoint(0, 0));
  Input::Key('C');
  EXPECT_EQ(clicks, 0);
  EXPECT_TRUE(Engine().Visible());
  Input::Key(VK_ESCAPE);

  TskSkinPopupMenu empty(form_);
  AddItem(empty.Items(), "隐藏")->Visible = false;
  int popups = 0;
  empty.OnPopup = [&](TObject*) { ++popups; };
  empty.Popup(300, 200);
  EXPECT_EQ(popups, 1);
  EXPECT_FALSE(Engine().Visible());
  EXPECT_FALSE(host_->InMenu());  // no menu mode without a menu

  // A menu of a window that has shown no skinned menu yet (one opened from the tray icon) gets
  // the window a host and shows.
  TForm bare(nullptr);
  TskSkinPopupMenu lonely(&bare);
  AddItem(lonely.Items(), "甲");
  int lonelyPopups = 0;
  lonely.OnPopup = [&](TObject*) { ++lonelyPopups; };
  EXPECT_EQ(FindMenuHost(&bare), nullptr);
  lonely.Popup(300, 200);
  EXPECT_EQ(lonelyPopups, 1);
  TskSkinMenuHost* made = FindMenuHost(&bare);
  ASSERT_NE(made, nullptr);
  EXPECT_TRUE(made->SkinMenu().Visible());
  EXPECT_EQ(TPopupWindow::ShownWindows().size(), 1u);
  made->CloseMenus();
  EXPECT_TRUE(TPopupWindow::ShownWindows().empty());

  // With no form at all there is no window to show it for.
  TskSkinPopupMenu orphan(nullptr);
  AddItem(orphan.Items(), "乙");
  orphan.Popup(300, 200);
  EXPECT_TRUE(TPopupWindow::ShownWindows().empty());
}

TEST_F(SkinMenu, TheControlThatAskedIsToldWhenItsMenuClosesAndAfterItsCommand) {
  class Listener : public TWinControl {
   public:
    using TWinControl::TWinControl;
    std::vector<unsigned> got;
   protected:
    void WndProc(TMessage& m) override {
      if (m.Msg == MsgSkinMenuClosed || m.Msg == MsgSkinMenuCommand) got.push_back(m.Msg);
      TWinControl::WndProc(m);
    }
  };
  auto* edit = new Listener(form_);
  edit->SetParent(form_);
  int chosen = 0;
  AddItem(menu_->Items(), "甲(&A)")->OnClick = [&](TObject*) { ++chosen; };
  ShowForm();
  menu_->PopupForControl(edit, 300, 200);
  ASSERT_TRUE(Engine().Visible());
  EXPECT_EQ(Engine().PopupControl(), edit);
  Input::Key('A');
  EXPECT_EQ(chosen, 1);
  EXPECT_EQ(edit->got, (std::vector<unsigned>{MsgSkinMenuClosed, MsgSkinMenuCommand}));
  // Without a skin a control's menu is not shown.
  TskSkinPopupMenu plain(form_);
  host_->SkinData = nullptr;
  AddItem(plain.Items(), "甲");
  plain.PopupForControl(edit, 300, 200);
  EXPECT_FALSE(Engine().Visible());
}

TEST_F(SkinMenu, RunModalWaitsForTheChoiceAndGivesTheItemChosen) {
  BuildSystemMenu(menu_->Items());
  ShowForm();
  TMenuItem* load = menu_->Items().Items(5);
  PostCall([&] {
    Input::MouseMove(ItemPoint(0, 5));
    Input::MouseDown(ItemPoint(0, 5));
    Input::MouseUp(ItemPoint(0, 5));
  });
  EXPECT_EQ(host_->RunModal(&menu_->Items(), 300, 200), load);
  EXPECT_FALSE(host_->InMenu());
  PostCall([&] { Input::Key(VK_ESCAPE); });
  EXPECT_EQ(host_->RunModal(&menu_->Items(), 300, 200), nullptr);
}

TEST(SkinMenuText, ShortcutsReadAsMenusShowThemAndCaptionsGiveTheirAccelerators) {
  EXPECT_EQ(ShortCutToText(ShortCut(VK_F4, ssAlt)), "Alt+F4");
  EXPECT_EQ(ShortCutToText(ShortCut('S', ssCtrl | ssShift)), "Shift+Ctrl+S");
  EXPECT_EQ(ShortCutToText(ShortCut(VK_DELETE, 0)), "Del");
  EXPECT_EQ(ShortCutToText(0), "");
  EXPECT_TRUE(IsAccel('C', "关闭(&C)"));
  EXPECT_TRUE(IsAccel('N', "最小化(&n)"));
  EXPECT_FALSE(IsAccel('D', "R&&D"));
  EXPECT_TRUE(IsAccel('X', "R&&D &x"));
  EXPECT_FALSE(IsAccel('D', "关闭(&C)"));
  EXPECT_FALSE(IsAccel('C', "Load skin..."));
}

TEST_F(SkinMenu, TheScreenShowsTheOpenMenuAndItsSubMenuAsTheyArePainted) {
  // Also writes review pictures of both looks (menu_skinned_screenshot.bmp,
  // menu_plain_screenshot.bmp) into the working directory.
  TMenuItem& root = menu_->Items();
  AddItem(root, "打开(&O)", "", ShortCut('O', ssCtrl));
  AddItem(root, "保存(&S)", "", ShortCut('S', ssCtrl));
  TMenuItem* view = AddItem(root, "显示(&V)");
  AddItem(*view, "卦名(&N)")->Checked = true;
  TMenuItem* radio = AddItem(*view, "白话(&B)");
  radio->Checked = true;
  radio->RadioItem = true;
  AddItem(*view, "原文(&Y)")->Enabled = false;
  AddItem(root, "-");
  AddItem(root, "最小化(&n)", "SKF_MINITEM");
  AddItem(root, "关闭(&C)", "SKF_CLOSE", ShortCut(VK_F4, ssAlt));
  form_->SetBounds(200, 150, 420, 260);
  form_->SetCaption("菜单");
  ShowForm();
  for (bool skinned : {true, false}) {
    host_->SkinData = skinned ? &skin_ : nullptr;
    menu_->SetSkinData(nullptr);
    menu_->Popup(form_->Left() + 40, form_->Top() + 30);
    Hover(ItemPoint(0, 2), [&] { return Level(0)->ActiveIndex() == 2; });
    ASSERT_TRUE(RunUntil([&] { return Engine().LevelCount() == 2; }, 3000));
    Hover(ItemPoint(1, 1), [&] { return Level(1)->ActiveIndex() == 1; });
    // Let the cross-fades finish.
    ASSERT_TRUE(RunUntil([&] {
      for (int n = 0; n < 2; ++n)
        for (int i = 0; i < Level(n)->ItemCount(); ++i)
          if (Level(n)->Items(i)->NeedsMorphStep()) return false;
      return true;
    }, 20000));
    const TRect area = form_->BoundsRect();  // the menu and its sub-menu open over the window
    ASSERT_TRUE(Level(1)->BoundsRect().Right <= area.Right && Level(0)->BoundsRect().Bottom <= area.Bottom);
    // Pixels of each level the screen shows otherwise than the level paints itself.
    TBitmap screen;
    int differing[2] = {-1, -1};
    auto compare = [&] {
      if (!GrabScreen(area, screen)) return false;
      for (int n = 0; n < 2; ++n) {
        TskSkinPopupWindow* l = Level(n);
        TBitmap painted;
        l->PaintLevel(painted);
        differing[n] = 0;
        for (int y = 0; y < l->Height(); ++y)
          for (int x = 0; x < l->Width(); ++x) {
            const TPoint at(l->Left() + x, l->Top() + y);
            if (n == 0 && Level(1)->BoundsRect().Contains(at)) continue;  // the sub-menu lies above
            if (screen.Pixel(at.X - area.Left, at.Y - area.Top) != painted.Pixel(x, y)) ++differing[n];
          }
      }
      return differing[0] == 0 && differing[1] == 0;
    };
    // The window system draws the windows when it gets to it: wait for the screen to show them.
    RunUntil(compare, 20000);
    for (int n = 0; n < 2; ++n) EXPECT_EQ(differing[n], 0) << (skinned ? "skinned" : "plain") << " level " << n;
    TFileStream out(skinned ? "menu_skinned_screenshot.bmp" : "menu_plain_screenshot.bmp", TFileMode::fmCreate);
    screen.SaveToStream(out);
    Engine().CloseAll();
  }
}

TEST_F(SkinMenu, CheckMarksRadioDotsCommandGlyphsAndOwnDrawingInThePlainLook) {
  host_->SkinData = nullptr;
  TMenuItem& root = menu_->Items();
  AddItem(root, "甲")->Checked = true;
  TMenuItem* dot = AddItem(root, "乙");
  dot->Checked = dot->RadioItem = true;
  AddItem(root, "关闭(&C)", "SKF_CLOSE");
  TMenuItem* own = AddItem(root, "丙");
  TRect drawnAt;
  bool drawnActive = true;
  own->OnDrawItem = [&](TObject*, TCanvas& c, const TRect& r, bool selected) {
    drawnAt = r;
    drawnActive = selected;
    c.Brush().Color = clLime;
    c.FillRect(r);
  };
  menu_->Popup(300, 200);
  TskSkinPopupWindow* l = Level(0);
  TBitmap shot;
  l->PaintLevel(shot);
  const TColor text = ColorToRGB(clWindowText);
  // Glyph origin of an item: the inner rectangle's left (2) plus 3, four above the middle line.
  auto origin = [&](int i) {
    const TRect r = l->Items(i)->ObjectRect;
    return TPoint(r.Left + 2 + 3, r.Top + 2 + (r.Height() - 4) / 2 - 4);
  };
  // The check mark's three strokes from (x, y + 5 - i) through (x + 2, y + 7 - i) to (x + 7, y + 2 - i).
  const TPoint c = origin(0);  // the first item is highlighted, its mark in the same text colour
  EXPECT_EQ(shot.Pixel(c.X, c.Y + 5), text);
  EXPECT_EQ(shot.Pixel(c.X + 6, c.Y + 7), static_cast<TColor>(0xD2BDB6));
  const TPoint d = origin(1);
  EXPECT_EQ(shot.Pixel(d.X + 3, d.Y + 4), text);  // the middle of the dot
  EXPECT_EQ(shot.Pixel(d.X + 8, d.Y + 4), ColorToRGB(clBtnFace));
  // The close command's cross at the inner left + 2.
  const TRect close = l->Items(2)->ObjectRect;
  const int m = close.Top + 2 + (close.Height() - 4) / 2;
  EXPECT_EQ(shot.Pixel(close.Left + 2 + 2 + 1, m - 4 + 1), text);
  EXPECT_EQ(shot.Pixel(close.Left + 2 + 2 + 5, m - 4 + 5), text);
  // An item with its own drawing gets its inner rectangle and nothing else is drawn over it.
  EXPECT_EQ(drawnAt, TRect(2, 2, l->Items(3)->ObjectRect.Width() - 2, l->Items(3)->ObjectRect.Height() - 2));
  EXPECT_FALSE(drawnActive);
  const TRect ownRect = l->Items(3)->ObjectRect;
  EXPECT_EQ(shot.Pixel(ownRect.Left + 20, ownRect.Top + 10), ColorToRGB(clLime));
  // The check mark of a checked item that is not highlighted.
  Input::Key(VK_DOWN);
  l->PaintLevel(shot);
  const TPoint e = origin(0);
  EXPECT_EQ(shot.Pixel(e.X, e.Y + 5), text);
  EXPECT_EQ(shot.Pixel(e.X + 2, e.Y + 7), text);
  EXPECT_EQ(shot.Pixel(e.X + 6, e.Y + 3), text);
}

TEST_F(SkinMenu, ItemsWithAnActionShowItsStateAndRunIt) {
  TAction action(form_);
  action.SetCaption("动作(&A)");
  int runs = 0;
  action.OnExecute = [&](TObject*) { ++runs; };
  TMenuItem* item = AddItem(menu_->Items(), "");
  item->SetAction(&action);
  TAction off(form_);
  off.SetCaption("不可用");
  off.OnUpdate = [&](TObject*) { off.SetEnabled(false); };
  AddItem(menu_->Items(), "")->SetAction(&off);
  ShowForm();
  menu_->Popup(300, 200);
  TskSkinPopupWindow* l = Level(0);
  EXPECT_EQ(l->Items(0)->MenuItem->Caption, "动作(&A)");
  EXPECT_FALSE(l->Items(1)->Enabled());  // updated as the menu opened
  Input::Key('A');
  EXPECT_EQ(runs, 1);
  EXPECT_FALSE(Engine().Visible());
}

TEST_F(SkinMenu, AMenuFadesInOnlyWhereLayeringIsAvailableAndOnlyItsFirstLevel) {
  TMenuItem* more = AddItem(menu_->Items(), "更多(&M)");
  AddItem(*more, "甲");
  Engine().AlphaBlend = true;
  Engine().AlphaBlendValue = 200;
  Engine().AlphaBlendAnimation = true;
  ShowForm();
  menu_->Popup(300, 200);
  Input::Key(VK_RIGHT);
  ASSERT_EQ(Engine().LevelCount(), 2);
  for (int n = 0; n < 2; ++n) {
    const bool layered = (Level(n)->GetWindowLong(GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
    EXPECT_EQ(layered, LayeringAvailable()) << n;
    if (layered) {
      EXPECT_EQ(Level(n)->LayeredAlpha(), 200) << n;
    }
  }
}

TEST_F(SkinMenu, TheKeyboardScrollsALongMenuOneItemAtATimeAndWrapsAtItsEnds) {
  for (int i = 0; i < 12; ++i) AddItem(menu_->Items(), "项目 " + std::to_string(i));
  Engine().MaxMenuItemsInWindow = 5;
  ShowForm();
  menu_->Popup(300, 200);
  TskSkinPopupWindow* l = Level(0);
  for (int i = 0; i < 4; ++i) Input::Key(VK_DOWN);
  EXPECT_EQ(l->ActiveIndex(), 4);
  EXPECT_EQ(l->FirstVisible(), 0);
  Input::Key(VK_DOWN);  // past the last shown item: one item down
  EXPECT_EQ(l->ActiveIndex(), 5);
  EXPECT_EQ(l->FirstVisible(), 1);
  EXPECT_TRUE(l->Items(5)->Visible);
  for (int i = 0; i < 6; ++i) Input::Key(VK_DOWN);
  EXPECT_EQ(l->ActiveIndex(), 11);
  EXPECT_EQ(l->FirstVisible(), 7);
  Input::Key(VK_DOWN);  // from the last item round to the first, scrolled back to the top
  EXPECT_EQ(l->ActiveIndex(), 0);
  EXPECT_EQ(l->FirstVisible(), 0);
  Input::Key(VK_UP);  // and back round to the last
  EXPECT_EQ(l->ActiveIndex(), 11);
  EXPECT_EQ(l->FirstVisible(), l->LastStartIndex());
  EXPECT_EQ(l->LastStartIndex(), 7);
}

TEST_F(SkinMenu, AMaskPictureCutsTheLevelsCornersAndAMenuItemWithoutPictureGivesThePlainLook) {
  BuildSystemMenu(menu_->Items());
  // A mask of the pop-up picture's size: black inside, the top-left 3 x 3 corner white.
  auto mask = std::make_unique<TBitmap>(88, 80);
  mask->Canvas().Brush().Color = clBlack;
  mask->Canvas().FillRect({0, 0, 88, 80});
  mask->Canvas().Brush().Color = clWhite;
  mask->Canvas().FillRect({0, 0, 3, 3});
  skin_.ActivePictures.push_back(std::move(mask));
  skin_.PopupWindow->MaskPictureIndex = static_cast<int>(skin_.ActivePictures.size()) - 1;
  ShowForm();
  menu_->Popup(300, 200);
  TskSkinPopupWindow* l = Level(0);
  EXPECT_NE(FindWindowAtScreen({301, 201}), l);  // cut away
  EXPECT_EQ(FindWindowAtScreen({304, 204}), l);
  EXPECT_EQ(FindWindowAtScreen({300 + l->Width() - 1, 200 + l->Height() - 1}), l);

  skin_.PopupWindow->MaskPictureIndex = -1;
  auto* item = dynamic_cast<TskDataSkinMenuItem*>(skin_.ObjectList[skin_.FindObject("menuitem")].get());
  ASSERT_NE(item, nullptr);
  item->ActivePictureIndex = -1;
  menu_->Popup(300, 200);
  EXPECT_FALSE(Level(0)->Skinned());
  EXPECT_EQ(Level(0)->Items(0)->ObjectRect.Height(), 20);
}

TEST_F(SkinMenu, HoveringTheItemActiveAtOpeningStartsItsSubMenuDelay) {
  TMenuItem* more = AddItem(menu_->Items(), "更多(&M)");
  AddItem(*more, "甲");
  ShowForm();
  menu_->Popup(300, 200);
  TskSkinPopupWindow* l = Level(0);
  ASSERT_TRUE(l->Items(0)->WaitCommand);
  EXPECT_FALSE(Engine().WaitTimerRunning());  // selected without the mouse: no sub-menu yet
  Hover(ItemPoint(0, 0), [&] { return !l->Items(0)->WaitCommand; });
  EXPECT_TRUE(Engine().WaitTimerRunning());
  EXPECT_TRUE(RunUntil([&] { return Engine().LevelCount() == 2; }, 3000));
}

TEST_F(SkinMenu, ACommandThatFreesItsWindowEndsTheMenuSafely) {
  auto* window = new TForm(nullptr);
  window->SetBounds(100, 100, 200, 150);
  auto* host = new TskSkinMenuHost(window);
  auto* menu = new TskSkinPopupMenu(window);
  auto* close = new TMenuItem(menu);
  close->Caption = "关闭(&C)";
  menu->Items().Add(close);
  close->OnClick = [&](TObject*) { delete window; };
  window->Show();
  RunUntil([&] { return Screen->ActiveForm() == window; }, 3000);
  menu->Popup(150, 150);
  ASSERT_TRUE(host->SkinMenu().Visible());
  Input::Key('C');
  Application->ProcessMessages();
  EXPECT_TRUE(TPopupWindow::ShownWindows().empty());
  EXPECT_FALSE(static_cast<bool>(Application->OnMessage));  // menu mode ended before the window went
}
