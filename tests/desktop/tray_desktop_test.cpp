// The tray icon as a user meets it on the desktop: minimising the program puts its icon into the
// panel's notification area, a double click on the icon brings the window back, a right click
// opens the icon's menu, hiding the icon takes it out of the panel, and a panel started again shows
// it again.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

#include "desktop/RealInput.h"
#include "skin/frame/SkinMenu.h"
#include "skin/frame/TrayIcon.h"
#include "support/TestSupport.h"

using namespace corvane;
using test::Steps;

namespace {

class TrayOnDesktop : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(Application->MainForm(), nullptr) << "another main window is still alive";
    form_ = new TForm(Application);
    Application->RegisterForm(form_);
    form_->SetCaption("Tray");
    form_->SetBounds(300, 200, 320, 200);
    tray_ = new TskTrayIcon(form_);
    tray_->SetIconVisible(false);
    tray_->SetHint("Corvane");
    menu_ = new TskSkinPopupMenu(form_);
    menu_->OnPopup = [this](TObject*) { ++popups_; };
    for (const char* caption : {"First", "Second"}) {
      auto* item = new TMenuItem(menu_);
      item->Caption = caption;
      item->OnClick = [this, caption](TObject*) { events_.push_back(caption); };
      menu_->Items().Add(item);
    }
    tray_->SetPopupMenu(menu_);
    tray_->OnMouseDown = [this](TObject*, TMouseButton b, TShiftState, int, int) {
      events_.push_back(b == TMouseButton::mbLeft ? "ldown" : b == TMouseButton::mbRight ? "rdown" : "mdown");
    };
    tray_->OnMouseUp = [this](TObject*, TMouseButton b, TShiftState, int, int) {
      events_.push_back(b == TMouseButton::mbLeft ? "lup" : b == TMouseButton::mbRight ? "rup" : "mup");
    };
    tray_->OnClick = [this](TObject*) { events_.push_back("click"); };
    // What the frame's restore does: the windows back, the icon out of the panel.
    tray_->OnDblClick = [this](TObject*) {
      events_.push_back("dblclick");
      tray_->MinimizeToTray = false;
      tray_->RestoreFromTray();
      tray_->SetIconVisible(false);
    };
    form_->Show();
    ASSERT_TRUE(test::WaitFor([&] { return input_.IsActive(form_); }))
        << "the window did not become active";
  }
  void TearDown() override { delete form_; }

  // The program's windows inside the panel: its notification-area icon.
  std::vector<uint64_t> IconsInPanel() { return input_.WindowsEmbeddedIn("tint2", static_cast<long>(::getpid())); }
  TPoint IconCentre() {
    auto icons = IconsInPanel();
    if (icons.empty()) return {-1, -1};
    TRect r = input_.WindowRectOf(icons.front());
    return {r.Left + r.Width() / 2, r.Top + r.Height() / 2};
  }
  bool Seen(const std::vector<std::string>& wanted) { return events_ == wanted; }
  // The icon's menu as the user sees it: its level on the screen, or none.
  TskSkinPopupWindow* MenuOnScreen() {
    TskSkinMenuHost* host = FindMenuHost(form_);
    if (!host || host->SkinMenu().LevelCount() == 0) return nullptr;
    TskSkinPopupWindow* level = host->SkinMenu().Level(0);
    if (!level->Showing()) return nullptr;
    // The window the screen shows there is the menu's, at the menu's place.
    const TRect r = level->BoundsRect();
    const uint64_t top = input_.TopWindowAt({(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
    return top && input_.WindowRectOf(top) == r ? level : nullptr;
  }
  // Two presses closer than the double-click time make a double click; a right double click on
  // the icon is not a second right click.
  void RightClickIcon() {
    test::WaitFor([] { return false; }, DoubleClickTime() + 50);
    input_.Click(IconCentre(), 3);
  }
  // The program has taken as many left clicks on the icon as this.
  int ClicksTaken() const { return static_cast<int>(std::count(events_.begin(), events_.end(), "lup")); }
  TPoint ItemCentre(int i) {
    TskSkinPopupWindow* level = MenuOnScreen();
    if (!level) return {-1, -1};
    const TRect r = level->Items(i)->ObjectRect;
    return level->ClientToScreen({(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
  }
  std::string Events() const {
    std::string all = "events:";
    for (const auto& e : events_) all += " " + e;
    return all;
  }

  test::RealInput input_;
  TForm* form_ = nullptr;
  TskTrayIcon* tray_ = nullptr;
  TskSkinPopupMenu* menu_ = nullptr;
  std::vector<std::string> events_;
  int popups_ = 0;
};

}  // namespace

TEST_F(TrayOnDesktop, MinimisingShowsTheIconInThePanelAndClicksOnItReachTheProgram) {
  ASSERT_TRUE(TskTrayIcon::TrayAvailable()) << "the test desktop's panel has a notification area";
  const uint64_t window = test::WindowOf(form_);
  Steps s;
  s.Until("no icon of the program in the panel yet", [&] { return IconsInPanel().empty(); })
      .Do([&] {
        tray_->MinimizeToTray = true;
        Application->Minimize();
      })
      .Until("the panel shows the icon and the window is gone", [&] {
        TPoint c = IconCentre();
        auto managed = input_.ClientStacking();
        return c.Y >= 994 && !form_->Showing() && std::find(managed.begin(), managed.end(), window) == managed.end();
      })
      .Until("the screen shows the icon's picture there, not the panel", [&] {
        TPoint c = IconCentre();
        TNotifyIconInfo info;
        if (!FindNotifyIcon(&tray_->TrayWindow(), 1, &info)) return false;
        // The program's icon is a dark seal on a light ground: its middle is far from the panel's
        // background and from the window manager's desktop colour.
        uint32_t px = input_.ScreenPixel(c);
        uint32_t panelPx = input_.ScreenPixel({c.X, 1023 - 1});
        return px != panelPx;
      })
      .Do([&] {
        if (const char* out = std::getenv("CORVANE_TRAY_SCREENSHOT")) {
          TBitmap shot;
          TPoint c = IconCentre();
          if (GrabScreen({c.X - 150, 994, c.X + 50, 1024}, shot)) shot.SaveToPngFile(out);
        }
      })
      .DoubleClick(input_, [&] { return IconCentre(); }, [&] { return ClicksTaken(); })
      // The release after the double click goes with the icon, which the restore took away.
      .Until("the double click reached the icon: press, release, double click",
             [&] { return Seen({"ldown", "lup", "dblclick"}); })
      .Until("the window is back and the icon left the panel", [&] {
        return form_->Showing() && input_.WindowManagerActive() == window && IconsInPanel().empty();
      })
      .Do([&] {
        events_.clear();
        tray_->SetIconVisible(true);
      })
      .Until("the icon is in the panel again", [&] { return IconCentre().Y >= 994; })
      .Do([&] { input_.Click(IconCentre(), 3); })
      .Until("the right click reached the icon and opened its menu on the screen",
             [&] { return Seen({"rdown", "rup"}) && popups_ == 1 && MenuOnScreen(); })
      .Do([&] { input_.Key("Escape"); })
      .Until("Escape closes it", [&] { return !MenuOnScreen(); })
      .Do([&] { tray_->SetIconVisible(false); })
      .Until("hiding takes the icon out of the panel", [&] { return IconsInPanel().empty(); });
  EXPECT_EQ(s.Run(), "") << Events();
}

TEST_F(TrayOnDesktop, WithEveryWindowHiddenTheIconsMenuTakesKeysAndClosesOnAPressElsewhere) {
  // No window of the program is active to take the keys: the menu has to take them itself.
  Steps s;
  s.Do([&] {
        tray_->MinimizeToTray = true;
        Application->Minimize();
      })
      .Until("the window is gone and the icon is in the panel", [&] { return !form_->Showing() && IconCentre().Y >= 994; })
      .Do([&] { RightClickIcon(); })
      .Until("a right click opens the menu", [&] { return MenuOnScreen() != nullptr; })
      .Do([&] { input_.Key("Escape"); })
      .Until("Escape closes it", [&] { return !MenuOnScreen(); })
      .Do([&] { RightClickIcon(); })
      .Until("it opens again", [&] { return MenuOnScreen() != nullptr; })
      .Do([&] { input_.Click({640, 400}); })
      .Until("a press on the desktop closes it", [&] { return !MenuOnScreen(); })
      .Do([&] { RightClickIcon(); })
      .Until("and again", [&] { return MenuOnScreen() != nullptr; })
      .Do([&] { input_.Key("Down"); })
      .Do([&] { input_.Key("Return"); })
      .Until("Down and Return choose its second item", [&] { return !MenuOnScreen() && events_.back() == "Second"; })
      .Do([&] { RightClickIcon(); })
      .Until("once more", [&] { return MenuOnScreen() != nullptr; })
      .Do([&] { input_.Click(ItemCentre(0)); })
      .Until("a click chooses its first item", [&] { return !MenuOnScreen() && events_.back() == "First"; })
      .DoubleClick(input_, [&] { return IconCentre(); }, [&] { return ClicksTaken(); })
      .Until("a double click brings the window back", [&] { return form_->Showing() && IconsInPanel().empty(); })
      .Until("and it takes the keyboard again",
             [&] { return input_.IsActive(form_); });
  EXPECT_EQ(s.Run(), "") << Events();
}

TEST_F(TrayOnDesktop, TheIconComesBackWhenThePanelStartsAgain) {
  long panel = 0;
  int announced = 0;
  const int hook = Application->HookMainWindow([&](TControl*, TMessage& m) {
    if (m.Msg == TaskbarCreatedMessage()) ++announced;
    return false;
  });
  Steps s;
  s.Do([&] { tray_->SetIconVisible(true); })
      .Until("the panel shows the icon", [&] { return !IconsInPanel().empty(); })
      .Do([&] {
        // The panel dies ...
        panel = input_.ProcessOfWindowNamed("tint2");
        ASSERT_GT(panel, 0);
        ::kill(static_cast<pid_t>(panel), SIGTERM);
      })
      .Until("the panel is gone", [&] { return input_.ProcessOfWindowNamed("tint2") == 0; })
      .Do([&] {
        // ... and a new one starts, as the desktop started the first (it lives as long as the
        // display does).
        const std::string config = test::SourceDir() + "/scripts/desktop-config/tint2rc";
        if (::fork() == 0) {
          ::setsid();
          int null = ::open("/dev/null", O_RDWR);
          ::dup2(null, 1);
          ::dup2(null, 2);
          ::execlp("tint2", "tint2", "-c", config.c_str(), static_cast<char*>(nullptr));
          ::_exit(127);
        }
      })
      .Until("the program heard of the new panel", [&] { return announced == 1; }, 10000)
      .Until("the new panel shows the icon again",
             [&] { return input_.ProcessOfWindowNamed("tint2") != 0 && IconCentre().Y >= 994; }, 10000)
      .Until("the new panel has taken its strip off the work area",
             [&] { return Screen->WorkAreaRect().Height() == 994; }, 10000)
      .Do([&] { tray_->SetIconVisible(false); })
      .Until("hiding takes it out of the new panel", [&] { return IconsInPanel().empty(); });
  EXPECT_EQ(s.Run(), "");
  Application->UnhookMainWindow(hook);
}
