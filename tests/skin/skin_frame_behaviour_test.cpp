// The frame's objects and window behaviours with the stored skin on the about window's shape
// (550 x 386, border style none): the system menu's contents, roll-up, the caption double click,
// magnetic edges, minimised slots, maximise and restore, caption buttons with menus, animations.
#include <gtest/gtest.h>

#include <memory>

#include "platform/windows/Forms.h"
#include "platform/windows/Menus.h"
#include "skin/frame/SkinForm.h"
#include "skin/frame/SkinMenu.h"
#include "skin/frame/SkinObjects.h"
#include "skin/package/CompressedStoredSkin.h"
#include "skin/package/SkinData.h"
#include "skin/package/SkinMembers.h"
#include "skin/package/StoredSkin.h"

using namespace corvane;

namespace {

std::vector<std::string> Captions(const TMenuItem* root) {
  std::vector<std::string> out;
  for (int i = 0; i < root->Count(); ++i) out.push_back(root->Items(i)->Caption);
  return out;
}

bool Has(const TMenuItem* root, const std::string& caption) {
  for (int i = 0; i < root->Count(); ++i)
    if (root->Items(i)->Caption == caption) return true;
  return false;
}

class Behaviour : public ::testing::Test {
 protected:
  void SetUp() override {
    stored_.ReadCompressedData(StoredSkinBytes());
    skin_.SetCompressedStoredSkin(&stored_);
  }
  // The about window's frame: all five icons, a user system menu of a separator, two items and a
  // separator.
  TskSkinForm* About() {
    form_ = std::make_unique<TForm>(nullptr);
    form_->SetBorderStyle(TFormBorderStyle::bsNone);
    form_->SetBounds(200, 150, 550, 386);
    frame_ = new TskSkinForm(form_.get());
    frame_->ActiveLook = 1;
    frame_->SetBorderIcons(kDefaultBorderIcons | BorderIconBit(TskBorderIcon::biMinimizeToTray));
    frame_->Magnetic = true;
    frame_->MagneticSize = 10;
    auto* menu = new TskSkinPopupMenu(form_.get());
    for (const char* caption : {"-", "Load skin...", "Load stored skin", "-"}) {
      auto* item = new TMenuItem(menu);
      item->Caption = caption;
      menu->Items().Add(item);
    }
    frame_->SetSystemMenu(menu);
    frame_->SetSkinData(&skin_);
    return frame_;
  }
  TskSkinForm* Sizeable(int left, int top, int w, int h) {
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBorderStyle(TFormBorderStyle::bsSizeable);
    form->SetBounds(left, top, w, h);
    auto* frame = new TskSkinForm(form.get());
    frame->ActiveLook = 1;
    frame->SetSkinData(&skin_);
    forms_.push_back(std::move(form));
    return frame;
  }
  LPARAM At(int x, int y) const { return MakeLParam(form_->Left() + x, form_->Top() + y); }

  TskCompressedStoredSkin stored_{nullptr};
  TskSkinData skin_{nullptr};
  std::unique_ptr<TForm> form_;
  TskSkinForm* frame_ = nullptr;
  std::vector<std::unique_ptr<TForm>> forms_;
};

}  // namespace

TEST_F(Behaviour, TheAboutWindowsSystemMenuHasTheStandardCommandsAroundTheUsersItemsAndFollowsTheState) {
  About();
  const std::vector<std::string> normal = {"最小化(&n)", "最大化(&x)", "向上卷拢(&l)", "最小化到图标(&T)", "-",
                                           "Load skin...", "Load stored skin", "-", "关闭(&C)"};
  TMenuItem* items = frame_->GetSystemMenuItems();
  EXPECT_EQ(Captions(items), normal);
  EXPECT_EQ(items->Items(8)->ShortCut, ShortCut(VK_F4, ssAlt));
  EXPECT_EQ(Captions(frame_->GetSystemMenuItems()), normal) << "rebuilt, not added twice";

  frame_->SetRolledUp(true);
  items = frame_->GetSystemMenuItems();
  EXPECT_TRUE(Has(items, "还原(&R)"));
  EXPECT_FALSE(Has(items, "向上卷拢(&l)"));
  frame_->SetRolledUp(false);

  frame_->SetFrameWindowState(TskFrameState::Maximized);
  items = frame_->GetSystemMenuItems();
  EXPECT_TRUE(Has(items, "还原(&R)"));
  EXPECT_FALSE(Has(items, "最大化(&x)"));
  EXPECT_TRUE(Has(items, "向上卷拢(&l)"));
  EXPECT_EQ(items->Items(1)->Caption, "还原(&R)") << "minimize, restore, roll-up ...";

  // Without a menu of the user's the frame's own has the commands, a separator and close.
  frame_->SetSystemMenu(nullptr);
  frame_->SetFrameWindowState(TskFrameState::Normal);
  EXPECT_EQ(Captions(frame_->GetSystemMenuItems()),
            (std::vector<std::string>{"最小化(&n)", "最大化(&x)", "向上卷拢(&l)", "最小化到图标(&T)", "-", "关闭(&C)"}));
}

TEST_F(Behaviour, DoubleClickingTheCaptionBandRollsTheAboutWindowUpAndDown) {
  About();
  int changes = 0;
  frame_->OnChangeRollUpState = [&](TObject*) { ++changes; };
  form_->Perform(WM_NCLBUTTONDBLCLK, HTCAPTION, At(200, 15));
  EXPECT_TRUE(frame_->RolledUp());
  EXPECT_EQ(form_->Height(), 128 - 86);
  EXPECT_EQ(form_->Width(), 550);
  EXPECT_EQ(static_cast<int>(form_->Perform(WM_NCHITTEST, 0, At(300, 20))), HTCAPTION);
  EXPECT_EQ(static_cast<int>(form_->Perform(WM_NCHITTEST, 0, At(300, 35))), HTOBJECT) << "no client while rolled up";
  form_->Perform(WM_NCLBUTTONDBLCLK, HTCAPTION, At(200, 15));
  EXPECT_FALSE(frame_->RolledUp());
  EXPECT_EQ(form_->Height(), 386);
  EXPECT_EQ(changes, 2);

  frame_->SetBorderIcons(kDefaultBorderIcons & ~BorderIconBit(TskBorderIcon::biRollUp));
  frame_->SetRolledUp(true);
  EXPECT_FALSE(frame_->RolledUp()) << "no roll-up without its icon";
}

TEST_F(Behaviour, ASizeableWindowMaximizesToTheWorkAreaAndRestoresItsBounds) {
  TskSkinForm* f = Sizeable(150, 120, 400, 300);
  TForm& form = f->Form();
  form.Perform(WM_NCLBUTTONDBLCLK, HTCAPTION, MakeLParam(150 + 200, 120 + 15));
  const TRect work = ScreenWorkRect(form);
  ASSERT_EQ(f->FrameState(), TskFrameState::Maximized);
  if (work == TRect(0, 0, Screen->Width(), Screen->Height()))
    EXPECT_EQ(form.BoundsRect(), TRect(1, 1, work.Right - 1, work.Bottom - 1)) << "a pixel left free for a hidden panel";
  else
    EXPECT_EQ(form.BoundsRect(), work);
  // A maximized window cannot be dragged.
  TRect proposed = form.BoundsRect().Offset(40, 40);
  form.Perform(WM_MOVING, 0, reinterpret_cast<LPARAM>(&proposed));
  EXPECT_EQ(proposed, form.BoundsRect());
  f->SetFrameWindowState(TskFrameState::Minimized);
  f->SetFrameWindowState(TskFrameState::Normal);
  EXPECT_EQ(form.BoundsRect(), Bounds(150, 120, 400, 300)) << "the bounds from before the maximize";
  EXPECT_TRUE(f->RestoreBounds().IsEmpty());
}

TEST_F(Behaviour, MagneticEdgesSnapWithinTheirSizeOnEitherSide) {
  About();
  const TRect r = ScreenWorkRect(*form_);
  int left = r.Left + 9, top = r.Top + 100;
  frame_->MagneticSnap(left, top, 550, 386);
  EXPECT_EQ(left, r.Left);
  left = r.Left + 10;
  frame_->MagneticSnap(left, top, 550, 386);
  EXPECT_EQ(left, r.Left + 10);
  left = r.Left - 9;
  frame_->MagneticSnap(left, top, 550, 386);
  EXPECT_EQ(left, r.Left);
  left = r.Right - 305;
  frame_->MagneticSnap(left, top, 300, 386);
  EXPECT_EQ(left, r.Right - 300);
  // The drag's proposed rectangle follows the snap.
  TRect proposed = Bounds(r.Left + 4, r.Top + 100, 550, 386);
  form_->Perform(WM_MOVING, 0, reinterpret_cast<LPARAM>(&proposed));
  EXPECT_EQ(proposed, Bounds(r.Left, r.Top + 100, 550, 386));
}

TEST_F(Behaviour, MinimizedWindowsLineUpAlongTheBottomOfTheWorkArea) {
  std::vector<TskSkinForm*> frames;
  for (int i = 0; i < 3; ++i) {
    frames.push_back(Sizeable(100 + 50 * i, 100, 400, 300));
    frames.back()->Form().Show();
  }
  for (TskSkinForm* f : frames) f->SetFrameWindowState(TskFrameState::Minimized);
  const TRect r = ScreenWorkRect(frames[0]->Form());
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(frames[i]->Form().BoundsRect(), Bounds(r.Left + 188 * i, r.Bottom - 42, 188, 42)) << i;
  }
  frames[1]->SetFrameWindowState(TskFrameState::Normal);
  EXPECT_EQ(frames[1]->Form().BoundsRect(), Bounds(150, 100, 400, 300));
}

TEST_F(Behaviour, TheSystemMenuButtonStaysDownWhileItsMenuIsOpenAndADoubleClickOnItCloses) {
  About();
  form_->Show();
  bool closed = false;
  form_->OnClose = [&](TObject*, TCloseAction& a) { closed = true; a = TCloseAction::caNone; };
  auto* button = static_cast<TskSkinButtonObject*>(frame_->FindObject("sysmenubutton"));
  frame_->UpdateHover(20, 15, true);
  form_->Perform(WM_NCLBUTTONDOWN, HTOBJECT, At(20, 15));
  TskSkinMenuHost* host = FindMenuHost(form_.get());
  ASSERT_NE(host, nullptr);
  EXPECT_TRUE(host->SkinMenu().Visible()) << "the system menu dropped down";
  ASSERT_GT(host->SkinMenu().LevelCount(), 0);
  EXPECT_EQ(host->SkinMenu().Level(0)->Top(), form_->Top() + 29) << "below the button";
  form_->Perform(WM_LBUTTONUP, 0, MakeLParam(-1, -1));
  frame_->UpdateHover(300, 200, true);
  EXPECT_TRUE(button->Down) << "down while its menu is open, the mouse gone";
  host->CloseMenus();
  EXPECT_FALSE(button->Down) << "up when the menu closed";
  EXPECT_FALSE(host->InMenu());

  // The double click: the first press opens the menu and leaves the button down, the second
  // press does nothing, the double click closes the window.
  frame_->UpdateHover(20, 15, true);
  form_->Perform(WM_NCLBUTTONDOWN, HTOBJECT, At(20, 15));
  form_->Perform(WM_LBUTTONUP, 0, MakeLParam(-1, -1));
  form_->Perform(WM_NCLBUTTONDBLCLK, HTOBJECT, At(20, 15));
  EXPECT_TRUE(closed);
  host->CloseMenus();
}

TEST_F(Behaviour, HiddenCaptionButtonsStayInThePictureButAreDeadAndAMissingIconDisablesItsButton) {
  About();
  frame_->SetHideCaptionButtons(true);
  frame_->ApplySkinData();
  int buttons = 0;
  for (const auto& o : frame_->Objects()) {
    if (o->Kind() != "stdbutton") continue;
    ++buttons;
    EXPECT_TRUE(o->Visible) << o->IDName;
    EXPECT_FALSE(o->Enabled) << o->IDName;
  }
  EXPECT_EQ(buttons, 6);
  frame_->UpdateHover(530, 15, true);
  EXPECT_EQ(frame_->ActiveObject(), -1) << "no hover on a dead button";

  frame_->SetHideCaptionButtons(false);
  frame_->SetBorderIcons(kDefaultBorderIcons & ~BorderIconBit(TskBorderIcon::biMaximize));
  frame_->ApplySkinData();
  TskActiveSkinObject* max = frame_->FindObject("maximizebutton");
  EXPECT_TRUE(max->Visible);
  EXPECT_FALSE(max->Enabled);
  frame_->UpdateHover(505, 15, true);
  form_->Perform(WM_NCLBUTTONDOWN, HTOBJECT, At(505, 15));
  form_->Perform(WM_LBUTTONUP, 0, MakeLParam(-1, -1));
  EXPECT_EQ(frame_->FrameState(), TskFrameState::Normal);
}

TEST(FrameAnimation, AnAnimationMovesEveryIntervalOverTwentyFiveTicksAndStopsAtItsEndWithoutCycle) {
  TForm form(nullptr);
  TskSkinForm frame(&form);
  TskDataSkinAnimate member("anim");
  member.CountFrames = 3;
  member.TimerInterval = 100;
  member.SkinRect = {0, 0, 10, 10};
  TskSkinAnimateObject slow(&frame, nullptr, &member);
  slow.Active = true;
  std::vector<int> frames;
  for (int tick = 0; tick < 8 && slow.Active; ++tick) {
    slow.AnimationTick();
    frames.push_back(slow.FrameNumber);
  }
  EXPECT_EQ(frames, (std::vector<int>{1, 1, 1, 2, 2, 2, 2, 3})) << "every fourth tick";
  EXPECT_FALSE(slow.Active) << "stops on its last frame without cycle";

  member.TimerInterval = 10;
  member.Cycle = true;
  TskSkinAnimateObject fast(&frame, nullptr, &member);
  EXPECT_EQ(fast.TimerInterval, 25) << "raised to the timer's own interval";
  fast.Active = true;
  frames.clear();
  for (int tick = 0; tick < 4; ++tick) {
    fast.AnimationTick();
    frames.push_back(fast.FrameNumber);
  }
  EXPECT_EQ(frames, (std::vector<int>{2, 3, 1, 2})) << "every tick, round and round";
  fast.Forward = false;
  fast.AnimationTick();
  EXPECT_EQ(fast.FrameNumber, 1);
  EXPECT_FALSE(fast.Active) << "backwards it stops on the first frame";
}

TEST(FadeIn, RisesByFiveAndEndsExactlyOnTheTarget) {
  const std::vector<int> opaque = TskSkinForm::FadeInSteps(255);
  ASSERT_EQ(opaque.size(), 51u);
  EXPECT_EQ(opaque[0], 5);
  EXPECT_EQ(opaque[49], 250);
  EXPECT_EQ(opaque[50], 255);
  EXPECT_EQ(TskSkinForm::FadeInSteps(200).back(), 200);
  EXPECT_EQ(TskSkinForm::FadeInSteps(202), (std::vector<int>{5, 10, 15, 20, 25, 30, 35, 40, 45, 50, 55, 60, 65, 70, 75,
                                                            80, 85, 90, 95, 100, 105, 110, 115, 120, 125, 130, 135, 140,
                                                            145, 150, 155, 160, 165, 170, 175, 180, 185, 190, 195, 200,
                                                            202}));
  EXPECT_EQ(TskSkinForm::FadeInSteps(3), (std::vector<int>{3})) << "a target below the first step is the only one";
  EXPECT_EQ(TskSkinForm::FadeInSteps(0), (std::vector<int>{0}));
}

TEST_F(Behaviour, TheFadeInEndsOpaqueAndUnlayeredOrAtTheBlendValueWhereOpacityShows) {
  gWindowOpacitySeam = 1;  // as with a compositing manager
  struct Reset { ~Reset() { gWindowOpacitySeam = -1; } } reset;
  About();
  frame_->AlphaBlendAnimation = true;  // as the about window has it
  form_->Show();
  EXPECT_TRUE(form_->GetWindowLong(GWL_EXSTYLE) & WS_EX_LAYERED) << "shown invisible, layered";
  EXPECT_EQ(form_->LayeredAlpha(), 0);
  form_->Perform(WM_TIMER, 1, 0);
  EXPECT_EQ(form_->LayeredAlpha(), 255);
  EXPECT_FALSE(form_->GetWindowLong(GWL_EXSTYLE) & WS_EX_LAYERED) << "an opaque window is not kept layered";

  form_->Hide();
  frame_->AlphaBlend = true;
  frame_->AlphaBlendValue = 200;
  form_->Show();
  form_->Perform(WM_TIMER, 1, 0);
  EXPECT_EQ(form_->LayeredAlpha(), 200);
  EXPECT_TRUE(form_->GetWindowLong(GWL_EXSTYLE) & WS_EX_LAYERED);
  form_->Hide();
  EXPECT_FALSE(form_->GetWindowLong(GWL_EXSTYLE) & WS_EX_LAYERED) << "hiding takes the layering off";

  gWindowOpacitySeam = 0;  // no compositing: shown at once, opaque
  frame_->AlphaBlend = false;
  form_->Show();
  EXPECT_FALSE(form_->GetWindowLong(GWL_EXSTYLE) & WS_EX_LAYERED);
}
