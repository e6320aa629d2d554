// The tray icon: its tip, its picture from an image list and the animation over it, the clicks
// and menus the callback message brings, the icon coming back when the panel starts again, and
// minimising the program into the tray and back.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "platform/layout/Layout.h"
#include "platform/windows/Forms.h"
#include "skin/Register.h"
#include "skin/frame/SkinMenu.h"
#include "skin/frame/TrayIcon.h"
#include "support/TestSupport.h"

using namespace corvane;

namespace {

using test::RunUntil;

// Count of UTF-8 characters.
size_t Characters(const std::string& s) {
  size_t n = 0;
  for (unsigned char c : s) n += (c & 0xC0) != 0x80;
  return n;
}

// An image list of `count` 16 x 16 images, image i filled with Colour(i).
TColor Colour(int i) { return static_cast<TColor>(0x102030 * (i + 1) & 0xFFFFFF); }
void FillList(TImageList& list, int count) {
  TBitmap strip(16 * count, 16);
  for (int i = 0; i < count; ++i)
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) strip.SetPixel(16 * i + x, y, Colour(i));
  list.AddMasked(strip, clFuchsia);
}

uint32_t Rgb(uint32_t argb) { return argb & 0xFFFFFF; }
// The TColor (0x00BBGGRR) of a picture pixel (0xAARRGGBB).
uint32_t AsRgb(TColor c) {
  const auto v = static_cast<uint32_t>(c);
  return (v & 0xFF) << 16 | (v & 0xFF00) | (v >> 16 & 0xFF);
}

struct Seen {
  std::vector<std::string> events;
  void Watch(TskTrayIcon& t) {
    t.OnClick = [this](TObject*) { events.push_back("click"); };
    t.OnDblClick = [this](TObject*) { events.push_back("dblclick"); };
    t.OnMouseDown = [this](TObject*, TMouseButton b, TShiftState, int, int) {
      events.push_back(b == TMouseButton::mbLeft ? "ldown" : b == TMouseButton::mbRight ? "rdown" : "mdown");
    };
    t.OnMouseUp = [this](TObject*, TMouseButton b, TShiftState, int, int) {
      events.push_back(b == TMouseButton::mbLeft ? "lup" : b == TMouseButton::mbRight ? "rup" : "mup");
    };
    t.OnMouseMove = [this](TObject*, TShiftState, int, int) { events.push_back("move"); };
  }
};

class TrayIcon : public ::testing::Test {
 protected:
  void SetUp() override { gNotificationAreaSeam = 1; }
  void TearDown() override { gNotificationAreaSeam = -1; }
  static void Mouse(TskTrayIcon& t, unsigned msg) {
    t.TrayWindow().Perform(TskTrayIcon::kCallbackMessage, TskTrayIcon::kIconId, static_cast<LPARAM>(msg));
  }
};

TEST_F(TrayIcon, CreationValuesAndTheApplicationIcon) {
  TskTrayIcon t(nullptr);
  EXPECT_TRUE(t.IconVisible());
  EXPECT_TRUE(t.MinimizeToTray);
  EXPECT_TRUE(t.ShowHint());
  EXPECT_TRUE(t.Enabled);
  EXPECT_FALSE(t.CycleIcons());
  EXPECT_EQ(t.AnimateTimerInterval(), 0u);
  EXPECT_FALSE(t.InTray()) << "created from code, the icon waits for IconVisible";
  EXPECT_EQ(t.Icon().Width(), 32) << "the program's icon";
  EXPECT_EQ(t.Icon().Height(), 32);
  EXPECT_TRUE(t.Icon().PixelsDeferred()) << "decoded only when shown";
  EXPECT_EQ(t.NotifyRecord().CallbackMessage, 0x0800u);
  EXPECT_EQ(t.NotifyRecord().Flags, 7u);
  EXPECT_EQ(t.NotifyRecord().ID, 1u);
}

TEST_F(TrayIcon, TheTipIsTheHintCutTo127CharactersAndEmptyWithoutShowHint) {
  TskTrayIcon t(nullptr);
  t.SetIconVisible(true);
  ASSERT_TRUE(t.InTray());
  std::string longHint;
  for (int i = 0; i < 100; ++i) longHint += "卦a";  // 200 characters, 400 bytes
  t.SetHint(longHint);
  TNotifyIconInfo info;
  ASSERT_TRUE(FindNotifyIcon(&t.TrayWindow(), 1, &info));
  EXPECT_EQ(Characters(info.tip), 127u);
  EXPECT_EQ(info.tip, longHint.substr(0, info.tip.size())) << "whole characters from the start";
  EXPECT_EQ(t.Hint(), longHint) << "the property keeps the whole text";
  t.SetShowHint(false);
  ASSERT_TRUE(FindNotifyIcon(&t.TrayWindow(), 1, &info));
  EXPECT_EQ(info.tip, "");
  t.SetShowHint(true);
  t.SetHint(std::string(127, 'x'));
  ASSERT_TRUE(FindNotifyIcon(&t.TrayWindow(), 1, &info));
  EXPECT_EQ(info.tip, std::string(127, 'x'));
  t.SetHint(std::string(128, 'y'));
  ASSERT_TRUE(FindNotifyIcon(&t.TrayWindow(), 1, &info));
  EXPECT_EQ(info.tip, std::string(127, 'y'));
}

TEST_F(TrayIcon, IconIndexIsClampedToTheImageList) {
  TImageList list(nullptr);
  FillList(list, 3);
  TskTrayIcon t(nullptr);
  t.SetIconVisible(true);
  t.SetIconIndex(4);
  EXPECT_EQ(t.IconIndex(), 0) << "without a list the index stays 0";
  t.SetIconList(&list);
  t.SetIconIndex(5);
  EXPECT_EQ(t.IconIndex(), 2);
  TNotifyIconInfo info;
  ASSERT_TRUE(FindNotifyIcon(&t.TrayWindow(), 1, &info));
  EXPECT_EQ(Rgb(info.iconCentrePixel), AsRgb(Colour(2))) << "the panel shows image 2";
  t.SetIconIndex(1);
  ASSERT_TRUE(FindNotifyIcon(&t.TrayWindow(), 1, &info));
  EXPECT_EQ(Rgb(info.iconCentrePixel), AsRgb(Colour(1)));
  t.SetIconIndex(-1);
  EXPECT_EQ(t.IconIndex(), -1);
  EXPECT_TRUE(t.Icon().Empty()) << "no image below 0: an empty icon";
  ASSERT_TRUE(FindNotifyIcon(&t.TrayWindow(), 1, &info));
  EXPECT_EQ(info.iconWidth, 0);
  // Setting the list starts again at image 0; removing the list clears the reference.
  t.SetIconList(&list);
  t.SetIconIndex(2);
  TImageList other(nullptr);
  FillList(other, 2);
  t.SetIconList(&other);
  EXPECT_EQ(t.IconIndex(), 0);
  { TImageList gone(nullptr); t.SetIconList(&gone); }
  EXPECT_EQ(t.IconList(), nullptr);
}

TEST_F(TrayIcon, AnimationShowsTheImagesInOrderAndOnCycleReportsTheNextIndex) {
  TImageList list(nullptr);
  FillList(list, 3);
  TskTrayIcon t(nullptr);
  t.SetIconList(&list);
  t.SetIconIndex(2);
  t.SetCycleIcons(true);
  EXPECT_EQ(t.IconIndex(), 0) << "cycling starts at image 0";
  EXPECT_TRUE(t.AnimationTimerEnabled());
  std::vector<int> next;
  std::vector<uint32_t> shown;
  t.OnCycle = [&](TObject* sender, int n) {
    EXPECT_EQ(sender, &t);
    next.push_back(n);
    shown.push_back(AsRgb(t.Icon().Pixel(8, 8)));
  };
  for (int i = 0; i < 5; ++i) t.AnimateTick();
  EXPECT_EQ(next, (std::vector<int>{1, 2, 0, 1, 2}));
  EXPECT_EQ(shown, (std::vector<uint32_t>{AsRgb(Colour(0)), AsRgb(Colour(1)), AsRgb(Colour(2)), AsRgb(Colour(0)),
                                          AsRgb(Colour(1))}));
  EXPECT_EQ(t.IconIndex(), 2);
  t.SetCycleIcons(false);
  EXPECT_FALSE(t.AnimationTimerEnabled());
}

TEST_F(TrayIcon, TheAnimationTimerTicksOnlyWithAnInterval) {
  TImageList list(nullptr);
  FillList(list, 3);
  TskTrayIcon t(nullptr);
  t.SetIconList(&list);
  int cycles = 0;
  t.OnCycle = [&](TObject*, int) { ++cycles; };
  t.SetCycleIcons(true);
  RunUntil([] { return false; }, 150);
  EXPECT_EQ(cycles, 0) << "interval 0: the timer never ticks";
  t.SetAnimateTimerInterval(10);
  EXPECT_TRUE(RunUntil([&] { return cycles >= 3; }, 3000));
  // Without an image list a tick does nothing at all.
  TskTrayIcon bare(nullptr);
  int bareCycles = 0;
  bare.OnCycle = [&](TObject*, int) { ++bareCycles; };
  bare.AnimateTick();
  EXPECT_EQ(bareCycles, 0);
}

TEST_F(TrayIcon, ClicksAndDoubleClicksFromTheCallbackMessage) {
  TskTrayIcon t(nullptr);
  Seen seen;
  seen.Watch(t);
  // A single click is reported when the click timer runs out.
  Mouse(t, WM_LBUTTONDOWN);
  EXPECT_TRUE(t.ClickTimerEnabled());
  Mouse(t, WM_LBUTTONUP);
  EXPECT_EQ(seen.events, (std::vector<std::string>{"ldown", "lup"}));
  t.ClickTimerTick();
  EXPECT_EQ(seen.events, (std::vector<std::string>{"ldown", "lup", "click"}));
  EXPECT_FALSE(t.ClickTimerEnabled());
  // ... or at the release when that comes after the timer.
  seen.events.clear();
  Mouse(t, WM_LBUTTONDOWN);
  t.ClickTimerTick();
  EXPECT_EQ(seen.events, (std::vector<std::string>{"ldown"}));
  Mouse(t, WM_LBUTTONUP);
  EXPECT_EQ(seen.events, (std::vector<std::string>{"ldown", "click", "lup"}));
  // A double click reports only the double click.
  seen.events.clear();
  Mouse(t, WM_LBUTTONDOWN);
  Mouse(t, WM_LBUTTONUP);
  Mouse(t, WM_LBUTTONDBLCLK);
  Mouse(t, WM_LBUTTONUP);
  t.ClickTimerTick();
  EXPECT_EQ(seen.events, (std::vector<std::string>{"ldown", "lup", "dblclick", "lup"}));
  // The timer of a real click runs out on its own.
  seen.events.clear();
  Mouse(t, WM_LBUTTONDOWN);
  Mouse(t, WM_LBUTTONUP);
  EXPECT_TRUE(RunUntil([&] { return seen.events.size() == 3; }, DoubleClickTime() + 2000));
  EXPECT_EQ(seen.events.back(), "click");
  // Other buttons and moves; right and middle double clicks do nothing.
  seen.events.clear();
  Mouse(t, WM_MOUSEMOVE);
  Mouse(t, WM_MBUTTONDOWN);
  Mouse(t, WM_MBUTTONUP);
  Mouse(t, WM_RBUTTONDBLCLK);
  Mouse(t, WM_MBUTTONDBLCLK);
  EXPECT_EQ(seen.events, (std::vector<std::string>{"move", "mdown", "mup"}));
  // Disabled, the icon ignores the pointer.
  seen.events.clear();
  t.Enabled = false;
  for (unsigned m : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_MOUSEMOVE}) Mouse(t, m);
  t.ClickTimerTick();
  EXPECT_TRUE(seen.events.empty());
  EXPECT_FALSE(t.ClickTimerEnabled());
}

TEST_F(TrayIcon, TheMenuOpensOnTheRightButtonOrTheLeftOneAndADoubleClickChoosesTheDefaultItem) {
  auto* form = new TForm(nullptr);
  auto* t = new TskTrayIcon(form);
  auto* menu = new TskSkinPopupMenu(form);
  int popups = 0;
  menu->OnPopup = [&](TObject*) { ++popups; };
  Seen seen;
  seen.Watch(*t);
  Mouse(*t, WM_RBUTTONDOWN);
  Mouse(*t, WM_RBUTTONUP);
  EXPECT_EQ(popups, 0) << "no menu assigned";
  t->SetPopupMenu(menu);
  Mouse(*t, WM_RBUTTONDOWN);
  EXPECT_EQ(popups, 1);
  Mouse(*t, WM_RBUTTONUP);
  EXPECT_EQ(seen.events, (std::vector<std::string>{"rdown", "rup", "rdown", "rup"}));
  Mouse(*t, WM_LBUTTONDOWN);
  EXPECT_EQ(popups, 1);
  t->PopupByLeftButton = true;
  Mouse(*t, WM_LBUTTONDOWN);
  EXPECT_EQ(popups, 2);
  menu->AutoPopup = false;
  Mouse(*t, WM_RBUTTONDOWN);
  EXPECT_EQ(popups, 2) << "a menu without automatic pop-up stays closed";
  menu->AutoPopup = true;
  t->PopupByLeftButton = false;

  std::vector<std::string> chosen;
  for (const char* caption : {"first", "second", "third"}) {
    auto* item = new TMenuItem(menu);
    item->Caption = caption;
    item->OnClick = [&chosen, caption](TObject*) { chosen.push_back(caption); };
    menu->Items().Add(item);
  }
  Mouse(*t, WM_LBUTTONDBLCLK);
  EXPECT_TRUE(chosen.empty()) << "no default item";
  menu->Items().Items(1)->Default = true;
  menu->Items().Items(2)->Default = true;
  Mouse(*t, WM_LBUTTONDBLCLK);
  EXPECT_EQ(chosen, (std::vector<std::string>{"second"})) << "the first default item";
  t->PopupByLeftButton = true;
  Mouse(*t, WM_LBUTTONDBLCLK);
  EXPECT_EQ(chosen.size(), 1u);
  delete menu;
  EXPECT_EQ(t->PopupMenu(), nullptr);
  delete form;
}

TEST_F(TrayIcon, ShowingHidingAndThePanelStartingAgain) {
  auto t = std::make_unique<TskTrayIcon>(nullptr);
  const int before = NotifyIconCount();
  t->SetIconVisible(true);
  EXPECT_TRUE(t->InTray());
  EXPECT_EQ(NotifyIconCount(), before + 1);
  t->SetIconVisible(false);
  EXPECT_FALSE(t->InTray());
  t->UpdateTrayIcon();
  EXPECT_FALSE(t->InTray()) << "changing an icon that is not there does not add it";
  t->SetIconVisible(true);
  auto hidden = std::make_unique<TskTrayIcon>(nullptr);
  hidden->SetIconVisible(false);
  // The panel starts again: the icons it had are gone, and the visible one comes back.
  NotifyTaskbarCreated();
  EXPECT_TRUE(t->InTray());
  EXPECT_FALSE(hidden->InTray());
  EXPECT_TRUE(t->IconVisible());
  // Without a notification area the icon cannot be added; the switch still says visible.
  t->SetIconVisible(false);
  gNotificationAreaSeam = 0;
  EXPECT_FALSE(TskTrayIcon::TrayAvailable());
  t->SetIconVisible(true);
  EXPECT_FALSE(t->InTray());
  EXPECT_TRUE(t->IconVisible());
  gNotificationAreaSeam = 1;
  NotifyTaskbarCreated();
  EXPECT_TRUE(t->InTray()) << "a panel that appears later gets the icon";
  t.reset();
  EXPECT_EQ(NotifyIconCount(), before) << "destroying the component removes its icon";
}

TEST_F(TrayIcon, MinimisingTheProgramGoesToTheTrayAndRestoreBringsItBack) {
  auto* main = new TForm(Application);
  Application->RegisterForm(main);
  ASSERT_EQ(Application->MainForm(), main);
  main->SetBounds(100, 100, 200, 150);
  main->Show();
  auto* about = new TForm(nullptr);
  about->SetBounds(150, 150, 200, 150);
  auto* t = new TskTrayIcon(about);
  t->SetIconVisible(false);
  about->Show();
  ASSERT_TRUE(RunUntil([&] { return main->Showing() && about->Showing(); }, 3000));

  // With the switch off, minimising leaves the tray alone.
  t->MinimizeToTray = false;
  Application->Minimize();
  EXPECT_FALSE(t->InTray());
  EXPECT_FALSE(about->Showing());
  Application->Restore();
  ASSERT_TRUE(RunUntil([&] { return main->Showing() && about->Showing(); }, 3000));

  t->MinimizeToTray = true;
  Application->Minimize();
  EXPECT_TRUE(t->InTray());
  EXPECT_FALSE(main->Showing()) << "nothing stays in the task bar";
  EXPECT_FALSE(about->Showing());
  t->RestoreFromTray();
  EXPECT_TRUE(RunUntil([&] { return main->Showing() && about->Showing(); }, 3000));
  EXPECT_EQ(main->WindowState(), TWindowState::wsNormal);
  EXPECT_FALSE(Application->Minimized());
  t->SetIconVisible(false);

  // Without a notification area the windows stay minimised and reachable, not hidden.
  gNotificationAreaSeam = 0;
  Application->Minimize();
  EXPECT_FALSE(t->InTray());
  EXPECT_TRUE(Application->Minimized());
  EXPECT_TRUE(main->Handle() && main->Visible());
  Application->Restore();
  ASSERT_TRUE(RunUntil([&] { return main->Showing() && about->Showing(); }, 3000));
  gNotificationAreaSeam = 1;

  delete about;
  delete main;
}

TEST_F(TrayIcon, TheOwnerWindowHookGoesAndALaterHookKeepsWorking) {
  auto* form = new TForm(nullptr);
  int seenByForm = 0;
  const TWndMethod original = form->WindowProc;
  form->WindowProc = [&, original](TMessage& m) {
    if (m.Msg == WM_USER + 7) ++seenByForm;
    original(m);
  };
  auto* first = new TskTrayIcon(form);
  delete first;
  form->Perform(WM_USER + 7);
  EXPECT_EQ(seenByForm, 1) << "the procedure is given back";

  auto* second = new TskTrayIcon(form);
  int seenOnTop = 0;
  const TWndMethod below = form->WindowProc;
  form->WindowProc = [&, below](TMessage& m) {
    if (m.Msg == WM_USER + 7) ++seenOnTop;
    below(m);
  };
  delete second;  // a hook above it stays in place and still reaches the form
  form->Perform(WM_USER + 7);
  EXPECT_EQ(seenOnTop, 1);
  EXPECT_EQ(seenByForm, 2);
  delete form;
}

TEST_F(TrayIcon, LayoutsSetThePublishedProperties) {
  RegisterSkinComponents();
  class TTrayForm : public TForm {
   public:
    using TForm::TForm;
    std::string ClassName() const override { return "TForm"; }
  };
  TTrayForm form(nullptr);
  auto* menu = new TskSkinPopupMenu(&form);
  menu->SetName("Menu");
  int clicks = 0;
  form.PublishHandler("TrayClick", TNotifyEvent([&](TObject*) { ++clicks; }));
  LoadLayout(&form,
             "object Form: TForm\n"
             "  object Images: TImageList\n"
             "  end\n"
             "  object skTrayIcon1: TskTrayIcon\n"
             "    AnimateTimerInterval = 0\n"
             "    IconVisible = False\n"
             "    IconIndex = 0\n"
             "    Hint = 'tip'\n"
             "    ShowHint = False\n"
             "    PopupMenu = Menu\n"
             "    IconList = Images\n"
             "    PopupByLeftButton = True\n"
             "    OnDblClick = TrayClick\n"
             "  end\n"
             "end\n",
             "tray.lfm");
  auto* t = dynamic_cast<TskTrayIcon*>(form.FindComponent("skTrayIcon1"));
  ASSERT_NE(t, nullptr);
  EXPECT_FALSE(t->IconVisible());
  EXPECT_FALSE(t->InTray()) << "a layout that hides the icon keeps it out of the panel";
  EXPECT_TRUE(t->MinimizeToTray) << "a layout never turns it off by leaving it out";
  EXPECT_EQ(t->Hint(), "tip");
  EXPECT_FALSE(t->ShowHint());
  EXPECT_EQ(t->PopupMenu(), form.FindComponent("Menu"));
  EXPECT_EQ(t->IconList(), form.FindComponent("Images"));
  EXPECT_TRUE(t->PopupByLeftButton);
  t->TrayWindow().Perform(TskTrayIcon::kCallbackMessage, 1, WM_LBUTTONDBLCLK);
  EXPECT_EQ(clicks, 1);
}

}  // namespace
