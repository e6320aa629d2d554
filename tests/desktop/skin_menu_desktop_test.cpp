// The skinned menus of a framed window as a user meets them: every way a menu ends (Escape, F10,
// Alt, a click elsewhere, a command, the window losing the activation) leaves the system-menu
// button ready to open the menu again, and the keys go to an open menu whatever control has the
// focus (on the about window the web view has it). Driven through the X server on the about
// window (inside this program) and on the skin viewer (a program of its own).
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <memory>
#include <sys/wait.h>
#include <unistd.h>

#include "app/AboutWindow.h"
#include "app/MainWindow.h"
#include "app/NotesEditor.h"
#include "app/Program.h"
#include "app/ReadingWindow.h"
#include "app/ReferenceWindow.h"
#include "desktop/RealInput.h"
#include "platform/widgets/WebBrowser.h"
#include "skin/frame/SkinForm.h"
#include "skin/frame/SkinMenu.h"
#include "support/TestSupport.h"

using namespace corvane;
using test::Steps;
namespace fs = std::filesystem;

namespace {

// Longer than the desktop's double-click time: two clicks this far apart are two single clicks.
constexpr int kDoubleClickGap = 700;

// What the user sees of a menu dropped down from the system-menu button (7, 5, 30, 29) of a window
// at `w`: a window of its own whose top-left corner is the button's bottom-left one.
bool MenuBelowButton(test::RealInput& input, const TRect& w, uint64_t window) {
  const uint64_t at = input.TopWindowAt({w.Left + 20, w.Top + 40});
  if (!at || at == window) return false;
  const TRect r = input.WindowRectOf(at);
  return r.Left == w.Left + 7 && r.Top == w.Top + 29;
}

// No level of a menu on the screen at all (the pointer's hint may be).
bool NoMenuLevelShown() {
  for (TPopupWindow* w : TPopupWindow::ShownWindows())
    if (dynamic_cast<TskSkinPopupWindow*>(w)) return false;
  return true;
}

class AboutMenus : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    gAboutPageAddress = "http://127.0.0.1:9/about/";  // nothing answers: the view shows its own page
    program_.Start("corvane-menus");
    main_ = Form1;
    main_->Show();
  }
  static void TearDownTestSuite() {
    program_.Stop();
    gAboutPageAddress = kAboutPageAddress;
  }
  void SetUp() override {
    Form1 = main_;
    ASSERT_TRUE(test::WaitFor([&] { return input_.IsActive(main_); }))
        << "the main window did not become active";
  }
  // Opens the about window from the main window's label, waits until it is active, and clicks into
  // the page so the web view holds the focus (the window opens with it on 确定).
  Steps& OpenAbout(Steps& s) {
    return s.Click(input_, [] { return Find<TControl>(main_, "Label6")->ClientToScreen({10, 6}); })
        .Until("the about window opens", [] { return Form5 && Form5->Showing() && Form5->IsModal(); })
        .Do([&] { about_ = Form5; })
        .Until("it is active", [&] { return input_.IsActive(about_); })
        .Click(input_, [&] { return At(500, 296); })
        .Until("its web view has the focus", [&] {
          return about_->ActiveControl() && about_->ActiveControl()->Name() == "WebBrowser1";
        });
  }
  Steps& CloseAbout(Steps& s) {
    return s.Click(input_, [&] { return At(530, 15); })
        .Until("the close button closes the about window", [] {
          auto* f = dynamic_cast<TForm5*>(Screen->ActiveForm());
          return !(f && f->IsModal() && f->Showing());
        });
  }
  TPoint At(int x, int y) const { return {about_->Left() + x, about_->Top() + y}; }
  bool MenuOpen() { return MenuBelowButton(input_, about_->BoundsRect(), test::WindowOf(about_)); }
  bool MenuGone() { return NoMenuLevelShown() && !MenuOpen(); }

  static inline test::ProgramInFolder program_;
  static TForm1* main_;
  test::RealInput input_;
  TForm* about_ = nullptr;
};
TForm1* AboutMenus::main_ = nullptr;

}  // namespace

TEST_F(AboutMenus, EveryWayTheSystemMenuEndsLeavesItsButtonReadyToOpenItAgain) {
  auto reopen = [&](Steps& s, const std::string& after) -> Steps& {
    // A press on the button soon after the last one would be a double click, which closes the
    // window: the menu stays shut for longer than that first.
    return s.Holds("after " + after + " no menu shows", [&] { return MenuGone(); }, kDoubleClickGap)
        .Do([&] { input_.Click(At(18, 17)); })
        .Until("after " + after + " the system-menu button opens the menu again", [&] { return MenuOpen(); });
  };
  Steps s;
  OpenAbout(s)
      .Do([&] { input_.Click(At(18, 17)); })
      .Until("the system-menu button drops the menu down below itself", [&] { return MenuOpen(); })
      .Do([&] { input_.Key("Escape"); })
      .Until("Escape closes it", [&] { return MenuGone(); });
  reopen(s, "Escape")
      .Do([&] { input_.Key("F10"); })
      .Until("F10 closes it", [&] { return MenuGone(); });
  reopen(s, "F10")
      .Do([&] { input_.Key("Alt_L"); })
      .Until("Alt closes it", [&] { return MenuGone(); });
  reopen(s, "Alt")
      .Click(input_, [&] { return At(300, 360); })
      .Until("a click on the window closes it", [&] { return MenuGone(); });
  reopen(s, "a click elsewhere")
      .Do([&] {
        // "Load skin...", the sixth item, does nothing but close the menu.
        TskSkinPopupWindow* level = TskSkinForm::FindFrameOf(about_)->MenuHost().SkinMenu().Level(0);
        const TRect r = level->Items(5)->ObjectRect;
        input_.Click(level->ClientToScreen({(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}));
      })
      .Until("choosing an item closes it", [&] { return MenuGone(); });
  reopen(s, "a command")
      .Do([&] { input_.Key("Escape"); })
      .Until("Escape closes it once more", [&] { return MenuGone(); });
  CloseAbout(s);
  EXPECT_EQ(s.Run(), "");
}

TEST_F(AboutMenus, WhileTheWebViewHasTheFocusTheArrowKeysWalkTheSystemMenu) {
  TRect opened;
  Steps s;
  OpenAbout(s)
      .Do([&] { opened = about_->BoundsRect(); })
      .Click(input_, [&] { return At(250, 15); }, 3)
      .Until("a right click on the caption band opens the system menu at the pointer", [&] {
        const uint64_t w = input_.TopWindowAt(At(260, 25));
        return w && w != test::WindowOf(about_) && input_.WindowRectOf(w).TopLeft() == At(250, 15);
      })
      // Minimize, maximize, roll up, minimize to tray: three down and one up is the roll-up.
      .Do([&] { input_.Key("Down"); input_.Key("Down"); input_.Key("Down"); input_.Key("Up"); })
      .Holds("the web view keeps the focus", [&] { return about_->ActiveControl()->Name() == "WebBrowser1"; }, 300)
      .Do([&] { input_.Key("Return"); })
      .Until("Return chooses the item the arrows walked to: the window rolls up in place", [&] {
        return input_.WindowRectOf(test::WindowOf(about_)) == Bounds(opened.Left, opened.Top, 550, 42);
      })
      .DoubleClick(input_, [&] { return At(250, 15); })
      .Until("a double click rolls it down", [&] { return input_.WindowRectOf(test::WindowOf(about_)) == opened; });
  CloseAbout(s);
  EXPECT_EQ(s.Run(), "");
}

namespace {

// The skin viewer, started as a program of its own on the test desktop.
class SkinViewMenus : public ::testing::Test {
 protected:
  void SetUp() override {
    const fs::path viewer = fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "skinview";
    ASSERT_TRUE(fs::exists(viewer)) << viewer;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::execl(viewer.c_str(), "skinview", "--at", "200,150", "--size", "520x360", "--caption", kCaption,
              static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ASSERT_GT(pid_, 0);
    ASSERT_TRUE(test::WaitFor([&] {
      window_ = WindowNamed(kCaption);
      return window_ && input_.WindowManagerActive() == window_;
    }, 10000)) << "the skin viewer did not come up active";
  }
  void TearDown() override {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  uint64_t WindowNamed(const std::string& name) {
    for (uint64_t w : input_.ClientStacking())
      if (input_.WindowNameOf(w) == name) return w;
    return 0;
  }
  TRect Rect() { return input_.WindowRectOf(window_); }
  TPoint At(int x, int y) { return {Rect().Left + x, Rect().Top + y}; }
  bool MenuOpen() { return MenuBelowButton(input_, Rect(), window_); }
  bool MenuGone() { return !MenuOpen(); }

  static constexpr const char* kCaption = "skinview menus";
  test::RealInput input_;
  pid_t pid_ = -1;
  uint64_t window_ = 0;
};

}  // namespace

TEST_F(SkinViewMenus, EveryWayTheSystemMenuEndsLeavesItsButtonReadyAndTheArrowsWalkIt) {
  // A window of this program's: clicking it takes the activation from the viewer.
  TForm other(nullptr);
  other.SetCaption("elsewhere");
  other.SetBounds(900, 600, 200, 150);
  auto open = [&](Steps& s, const std::string& what) -> Steps& {
    return s.Holds("no menu shows", [&] { return MenuGone(); }, kDoubleClickGap).Do([&] { input_.Click(At(18, 17)); }).Until(what, [&] { return MenuOpen(); });
  };
  Steps s;
  open(s, "the system-menu button drops the menu down")
      .Do([&] { input_.Key("Escape"); })
      .Until("Escape closes it", [&] { return MenuGone(); });
  open(s, "after Escape the button opens the menu again")
      .Do([&] { input_.Key("F10"); })
      .Until("F10 closes it", [&] { return MenuGone(); });
  open(s, "after F10 the button opens it again")
      .Do([&] { input_.Key("Alt_L"); })
      .Until("Alt closes it", [&] { return MenuGone(); });
  open(s, "after Alt the button opens it again")
      .Do([&] { input_.Click(At(300, 200)); })
      .Until("a click on the window closes it", [&] { return MenuGone(); });
  open(s, "after a click elsewhere the button opens it again")
      .Do([&] { other.Show(); })
      .Until("another window taking the activation closes it",
             [&] { return input_.IsActive(&other) && MenuGone(); })
      .Do([&] { other.Hide(); })
      .Until("the viewer is active again", [&] { return input_.WindowManagerActive() == window_; });
  open(s, "after losing the activation the button opens it again")
      // Minimize, maximize, roll up: two down is the roll-up.
      .Do([&] { input_.Key("Down"); input_.Key("Down"); input_.Key("Down"); input_.Key("Up"); input_.Key("Return"); })
      .Until("the arrows and Return choose the roll-up", [&] { return Rect().Height() == 42 && Rect().Width() == 520; });
  open(s, "after a command the button opens it again")
      .Do([&] { input_.Key("Escape"); })
      .Until("and Escape closes it", [&] { return MenuGone(); });
  EXPECT_EQ(s.Run(), "");
}
