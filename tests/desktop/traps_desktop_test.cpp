// Traps a user can fall into on a real desktop, each driven as the user meets it: the program
// must never run on with nothing on screen, a window blocked by a modal one must not take the
// keyboard or end the program, typing must reach the modal window after a restore, a window must
// open on a small screen with its corner where the user can reach it, and the keyboard alone must
// close the windows and get back to the lookup field.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "app/AboutWindow.h"
#include "app/Catalogue.h"
#include "app/MainWindow.h"
#include "app/NotesEditor.h"
#include "app/Program.h"
#include "app/ReadingWindow.h"
#include "app/ReferenceWindow.h"
#include "controls/Button.h"
#include "desktop/RealInput.h"
#include "platform/widgets/ComCtrls.h"
#include "skin/frame/SkinForm.h"
#include "skin/frame/SkinMenu.h"
#include "support/TestSupport.h"

using namespace corvane;
using test::Steps;
using test::In;
using test::Modal;
namespace fs = std::filesystem;

namespace {

class Traps : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    program_.Start("corvane-traps");
    main_ = Form1;
    main_->Show();
  }
  static void TearDownTestSuite() { program_.Stop(); }
  void SetUp() override {
    Form1 = main_;
    // A session that failed may have left the program in the tray or ended its run.
    Application->ResetRun();
    if (Application->Minimized()) Application->Restore();
    if (!main_->Showing()) main_->Show();
    main_->BringWindowToFront();
    ASSERT_TRUE(test::WaitFor([&] { return MainActive(); })) << "the main window did not become active";
    Steps start;
    start.EmptyLookupField(input_, main_);
    ASSERT_EQ(start.Run(), "");
  }

  static TControl* C(const std::string& name) { return Find<TControl>(main_, name); }
  static TEdit* Edit() { return Find<TEdit>(main_, "e1"); }
  static TPoint At(const std::string& name, int x, int y) { return C(name)->ClientToScreen({x, y}); }
  bool MainActive() { return input_.IsActive(main_); }
  bool ActiveIs(TForm* f) { return input_.IsActive(f); }
  // The main window as the user sees it: mapped, the program running.
  bool MainOnScreen() { return main_->Showing() && input_.Viewable(test::WindowOf(main_)) && !Application->Terminated(); }
  std::vector<uint64_t> TrayIcons() { return input_.WindowsEmbeddedIn("tint2", static_cast<long>(::getpid())); }
  TPoint IconCentre() {
    auto icons = TrayIcons();
    if (icons.empty()) return {-1, -1};
    const TRect r = input_.WindowRectOf(icons.front());
    return {r.Left + r.Width() / 2, r.Top + r.Height() / 2};
  }
  // A point of the main window's background that no window of the program covers.
  TPoint UncoveredPartOfMain() { return main_->ClientToScreen({20, 20}); }
  // What the screen shows of a control.
  static std::vector<uint32_t> Picture(TControl* c) {
    const TPoint p = c->ClientToScreen({0, 0});
    TBitmap shot;
    std::vector<uint32_t> pixels;
    if (!GrabScreen(Bounds(p.X, p.Y, c->Width(), c->Height()), shot)) return pixels;
    for (int y = 0; y < shot.Height(); ++y)
      for (int x = 0; x < shot.Width(); ++x) pixels.push_back(static_cast<uint32_t>(shot.Pixel(x, y)));
    return pixels;
  }

  static test::ProgramInFolder program_;
  static TForm1* main_;
  test::RealInput input_;
};
test::ProgramInFolder Traps::program_;
TForm1* Traps::main_ = nullptr;

}  // namespace

TEST_F(Traps, ClosingTheAboutWindowFromTheTrayBringsTheProgramBack) {
  TForm5* about = nullptr;
  TskSkinForm* frame = nullptr;
  auto trayMenu = [&]() -> TskSkinPopupWindow* {
    TskSkinMenu& m = frame->MenuHost().SkinMenu();
    return m.LevelCount() > 0 && m.Level(0)->Showing() ? m.Level(0) : nullptr;
  };
  Steps s;
  s.Click(input_, [] { return At("Label6", 10, 6); })
      .Until("the about window opens and is active", [&] { return (about = Modal<TForm5>()) && ActiveIs(about); })
      .Do([&] { frame = TskSkinForm::FindFrameOf(about); ASSERT_NE(frame, nullptr); })
      // Its minimise-to-tray button sends everything to the tray.
      .Do([&] { input_.Click({about->Left() + 66, about->Top() + 17}); })
      .Until("the windows are gone and the icon is in the panel",
             [&] { return !about->Showing() && !input_.Viewable(test::WindowOf(main_)) && !TrayIcons().empty(); })
      .Do([&] { input_.Click(IconCentre(), 3); })
      .Until("a right click on the icon opens its menu", [&] { return trayMenu() && trayMenu()->ItemCount() == 3; })
      .Do([&] {
        TskSkinPopupWindow* menu = trayMenu();
        int close = -1;
        for (int i = 0; i < menu->ItemCount(); ++i)
          if (menu->Items(i)->MenuItem->Caption.rfind("关闭", 0) == 0) close = i;
        ASSERT_GE(close, 0) << "the tray menu has a close item";
        const TRect r = menu->Items(close)->ObjectRect;
        input_.Click(menu->ClientToScreen({(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}));
      })
      .Until("关闭 closes the about window, takes the icon away and brings the main window back, active",
             [&] { return !Modal<TForm5>() && TrayIcons().empty() && MainOnScreen() && MainActive(); })
      .Do([&] { input_.Type("21"); })
      .Until("typing reaches the lookup field", [&] { return Edit()->Text() == "21"; });
  EXPECT_EQ(s.Run(), "");
}

TEST_F(Traps, AClickOnTheBlockedMainWindowGivesTheKeyboardBackAndItRefusesToClose) {
  TForm* modal = nullptr;
  const struct {
    const char* what;
    std::function<void()> open;
    std::function<TForm*()> find;
  } windows[] = {
      {"reading window", [&] { input_.Click(At(Catalogue()[0].tile, 20, 30)); }, [] { return Modal<TForm2>(); }},
      {"reference text",
       [&] {
         input_.MoveTo(At("ss1", 10, 40));
         input_.Click(At("ss1", 10, 40));
       },
       [] { return Modal<TForm3>(); }},
      {"notes editor",
       [&] {
         C("Label3")->SetCaption("笔记一");  // a label of some width to click
         input_.Click(At("Label3", 10, 6));
       },
       [] { return Modal<TForm4>(); }},
  };
  for (const auto& w : windows) {
    SCOPED_TRACE(w.what);
    Steps s;
    s.Do(w.open)
        .Until("it opens and is active", [&] { return (modal = w.find()) && ActiveIs(modal); })
        .Do([&] { input_.Click(UncoveredPartOfMain()); })
        .Until("a click on the main window hands the activation back to it", [&] { return ActiveIs(w.find()); })
        .Holds("and it keeps it", [&] { return ActiveIs(w.find()); }, 400)
        // The window manager's close request for the main window (its close key, a task bar's
        // close item) while the modal window is open.
        .Do([&] { input_.RequestClose(test::WindowOf(main_)); })
        .Holds("the main window refuses to close: the program runs on under the open window",
               [&] { return MainOnScreen() && w.find() != nullptr; }, 600)
        // Alt+F4 right after a click on the main window: whichever window the window manager
        // sends it to, the program runs on.
        .Do([&] { input_.Click(UncoveredPartOfMain()); input_.Key("alt+F4"); })
        .Holds("Alt+F4 does not end the program", [&] { return MainOnScreen(); }, 600)
        .Do([&] { if (TForm* f = w.find()) f->Close(); })
        .Until("with the window on top closed the main window is active again",
               [&] { return w.find() == nullptr && MainActive(); });
    ASSERT_EQ(s.Run(), "");
  }
}

TEST_F(Traps, AfterARestoreFromTheTaskBarTypingReachesTheOpenNote) {
  TForm4* editor = nullptr;
  auto note = [&] { return Find<TRichEdit>(editor, "richedit1"); };
  const TPoint taskButton{40, Screen->Height() - 15};  // the program's entry on the panel
  auto clicked = std::chrono::steady_clock::now();
  C("Label3")->SetCaption("笔记一");
  Steps s;
  s.Click(input_, [] { return At("Label3", 10, 6); })
      .Until("the notes editor is active", [&] { return (editor = Modal<TForm4>()) && ActiveIs(editor); })
      .Click(input_, [&] { return In(editor, "richedit1", 30, 10); })
      .Do([&] { input_.Key("ctrl+a"); input_.Key("Delete"); input_.Type("ab"); })
      .Until("ab in the note", [&] { return note()->PlainText() == "ab"; })
      .Do([&] {
        input_.Click(taskButton);
        clicked = std::chrono::steady_clock::now();
      })
      .Until("a click on the task-bar entry minimises the program", [&] {
        if (std::chrono::steady_clock::now() - clicked > std::chrono::milliseconds(1500)) {
          input_.Click(taskButton);
          clicked = std::chrono::steady_clock::now();
        }
        return input_.HasState(test::WindowOf(main_), "_NET_WM_STATE_HIDDEN") && !ActiveIs(editor) && !MainActive();
      })
      .Do([&] {
        input_.Click(taskButton);
        clicked = std::chrono::steady_clock::now();
      })
      .Until("a second click restores it with the notes editor active", [&] {
        // The panel acts on its own record of the window's state: when it is slow to take the
        // minimise in, a click does nothing, and the user clicks again.
        if (std::chrono::steady_clock::now() - clicked > std::chrono::milliseconds(1500) &&
            input_.HasState(test::WindowOf(main_), "_NET_WM_STATE_HIDDEN")) {
          input_.Click(taskButton);
          clicked = std::chrono::steady_clock::now();
        }
        return !input_.HasState(test::WindowOf(main_), "_NET_WM_STATE_HIDDEN") && input_.Viewable(test::WindowOf(editor)) &&
               ActiveIs(editor);
      })
      .Do([&] { input_.Type("cd"); })
      .Until("typed text lands in the note", [&] { return note()->PlainText() == "abcd"; })
      .Do([&] { input_.MoveTo(In(editor, "ww2", 16, 16)); })
      .Click(input_, [&] { return In(editor, "ww2", 16, 16); })
      .Until("the editor closes", [&] { return Modal<TForm4>() == nullptr && MainActive(); });
  EXPECT_EQ(s.Run(), "");
}

TEST_F(Traps, TheKeyboardAloneClosesEveryWindowScrollsTheCommentaryAndReturnsToTheLookupField) {
  TForm2* reading = nullptr;
  TForm5* about = nullptr;
  TForm4* editor = nullptr;
  std::vector<uint32_t> before;
  auto commentary = [&] { return Find<TRichEdit>(reading, "richedit1"); };
  Steps s;
  // The lookup: Enter opens the reading window; its commentary takes the keys.
  s.Do([&] { input_.Type("111111"); input_.Key("Return"); })
      .Until("the reading window is active", [&] { return (reading = Modal<TForm2>()) && ActiveIs(reading); })
      .Do([&] { if (reading->ActiveControl() != commentary()) input_.Key("Tab"); })
      .Until("the commentary has the focus", [&] { return reading->ActiveControl() == commentary() && commentary()->Focused(); })
      .Do([&] { before = Picture(commentary()); input_.Key("Next"); })
      .Until("Page Down scrolls it", [&] { return Picture(commentary()) != before; })
      .Do([&] { before = Picture(commentary()); input_.Key("Down"); })
      .Until("the down arrow scrolls it", [&] { return Picture(commentary()) != before; })
      .Do([&] { before = Picture(commentary()); input_.Key("Prior"); })
      .Until("Page Up scrolls it back", [&] { return Picture(commentary()) != before; })
      .Do([&] { input_.Key("Escape"); })
      .Until("Escape closes the reading window", [&] { return Modal<TForm2>() == nullptr && MainActive(); })
      // The lookup field has the keyboard again, its text selected: the next code replaces it.
      .Until("the lookup field has the focus", [&] { return main_->ActiveControl() == Edit(); })
      .Do([&] { input_.Type("7"); })
      .Until("typing replaces the old code", [&] { return Edit()->Text() == "7"; })
      .Do([&] { input_.Key("Return"); })
      .Until("an unknown code shows the guidance box, active", [&] {
        return OpenMessageBoxes() == 1 && input_.TransientFor(input_.WindowManagerActive()) == test::WindowOf(main_);
      })
      .Do([&] { input_.Key("Return"); })
      .Until("the box closes", [&] { return OpenMessageBoxes() == 0 && MainActive(); })
      .Do([&] { input_.Type("8"); })
      .Until("after the box too the next typing replaces the code", [&] { return Edit()->Text() == "8"; })
      // A reference text closes with Escape.
      .Do([&] { input_.MoveTo(At("ss2", 10, 40)); })
      .Click(input_, [] { return At("ss2", 10, 40); })
      .Until("the reference text is active", [&] { return Modal<TForm3>() && ActiveIs(Modal<TForm3>()); })
      .Do([&] { input_.Key("Escape"); })
      .Until("Escape closes the reference text", [&] { return Modal<TForm3>() == nullptr && MainActive(); })
      // The about window: 确定 has the focus and answers Enter; Escape closes it too.
      .Click(input_, [] { return At("Label6", 10, 6); })
      .Until("the about window is active", [&] { return (about = Modal<TForm5>()) && ActiveIs(about); })
      .Until("its 确定 has the focus", [&] {
        auto* ok = Find<TthButton>(about, "thButton3");
        return about->ActiveControl() == ok && ok->Focused();
      })
      .Do([&] { input_.Key("Return"); })
      .Until("Enter closes it", [&] { return Modal<TForm5>() == nullptr && MainActive(); })
      .Click(input_, [] { return At("Label6", 10, 6); })
      .Until("the about window again", [&] { return (about = Modal<TForm5>()) && ActiveIs(about); })
      .Do([&] { input_.Key("Escape"); })
      .Until("Escape closes it", [&] { return Modal<TForm5>() == nullptr && MainActive(); })
      // The notes editor saves on Escape as it does on close.
      .Do([&] { C("Label4")->SetCaption("笔记二"); })
      .Click(input_, [] { return At("Label4", 10, 6); })
      .Until("the notes editor is active", [&] { return (editor = Modal<TForm4>()) && ActiveIs(editor); })
      .Click(input_, [&] { return In(editor, "RichEdit2", 30, 10); })
      .Do([&] { input_.Key("ctrl+a"); input_.Key("Delete"); input_.Type("esc saves"); })
      .Until("the text is in the note", [&] { return Find<TRichEdit>(editor, "RichEdit2")->PlainText() == "esc saves"; })
      .Do([&] { input_.Key("Escape"); })
      .Until("Escape closes the editor", [&] { return Modal<TForm4>() == nullptr && MainActive(); })
      .Click(input_, [] { return At("Label4", 10, 6); })
      .Until("the editor opens again", [&] { return (editor = Modal<TForm4>()) && ActiveIs(editor); })
      .Until("with the note as it was typed", [&] { return Find<TRichEdit>(editor, "RichEdit2")->PlainText() == "esc saves"; })
      .Do([&] { input_.Key("Escape"); })
      .Until("and Escape closes it again", [&] { return Modal<TForm4>() == nullptr && MainActive(); });
  EXPECT_EQ(s.Run(), "");
}

// The box asks for no minimise or maximise button, and as it goes the main window it blocked
// already takes the keyboard again: the window manager, which hands the activation on as the box
// disappears, would otherwise pass the main window over and leave no window active at all.
TEST_F(Traps, TheMessageBoxAsksForNoMinimiseOrMaximiseButtonAndHandsTheKeyboardBackAsItGoes) {
  uint64_t box = 0;
  long decorations = 0;
  bool maximise = true, close = false;
  test::WindowEventLog told;
  Steps s;
  s.Do([&] { input_.Type("9"); input_.Key("Return"); })
      .Until("the guidance box is active", [&] {
        box = input_.WindowManagerActive();
        return OpenMessageBoxes() == 1 && box && input_.TransientFor(box) == test::WindowOf(main_);
      })
      .Do([&] {
        decorations = input_.DecorationsAskedFor(box);
        maximise = input_.Allows(box, "_NET_WM_ACTION_MAXIMIZE");
        close = input_.Allows(box, "_NET_WM_ACTION_CLOSE");
        told.WatchProperties(test::WindowOf(main_));
        told.WatchMapping(box);
        input_.Key("Return");
      })
      .Until("the box closes", [&] { return OpenMessageBoxes() == 0 && MainActive(); });
  EXPECT_EQ(s.Run(), "");
  char id[32];
  std::snprintf(id, sizeof id, " 0x%llx", static_cast<unsigned long long>(test::WindowOf(main_)));
  const std::vector<std::string> events = told.Take();
  const auto takesKeys = std::find(events.begin(), events.end(), "WM_HINTS" + std::string(id));
  std::snprintf(id, sizeof id, "unmap 0x%llx", static_cast<unsigned long long>(box));
  const auto gone = std::find(events.begin(), events.end(), std::string(id));
  ASSERT_NE(gone, events.end()) << "the box was unmapped";
  EXPECT_LT(takesKeys, gone) << "the main window's input hint changed only after the box was gone";
  ASSERT_NE(decorations, -1) << "the box says which buttons it wants";
  EXPECT_EQ(decorations & 0x61, 0) << "neither all buttons nor minimise nor maximise: " << decorations;
  EXPECT_FALSE(maximise);
  EXPECT_TRUE(close) << "the box can still be closed from its frame";
}

// A small screen (800 x 600 with the panel along its bottom) is a desktop of its own: the test
// starts one and runs itself there.
TEST(SmallScreen, TheMainWindowOpensWithItsCornerInTheWorkAreaAndTakesTyping) {
  if (Screen->Width() != 800) {
    ASSERT_EQ(std::getenv("CORVANE_SMALL_DESKTOP"), nullptr) << "the small desktop did not come up at 800 x 600";
    const std::string command =
        "bash -c 'source \"$0/scripts/desktop\" && DESKTOP_SIZE=800x600 start_desktop && "
        "CORVANE_SMALL_DESKTOP=1 \"$1\" --gtest_filter=SmallScreen.*' '" +
        test::SourceDir() + "' '" + fs::read_symlink("/proc/self/exe").string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << "the session on the 800 x 600 desktop failed (its output is above)";
    return;
  }
  test::ProgramInFolder program;
  program.Start("corvane-small");
  test::RealInput input;
  TForm1* main = Form1;
  const TRect work = Screen->WorkAreaRect();
  TRect placed;
  Steps s;
  s.Do([&] { main->Show(); })
      .Until("the main window is active", [&] { return input.IsActive(main); })
      .Do([&] { placed = input.WindowRectOf(test::WindowOf(main)); })
      .Click(input, [&] { return Find<TControl>(main, "e1")->ClientToScreen({20, 4}); })
      .Do([&] { input.Type("12"); })
      .Until("typing reaches the lookup field", [&] { return Find<TEdit>(main, "e1")->Text() == "12"; })
      .Do([&] {
        if (const char* out = std::getenv("CORVANE_SMALL_SCREENSHOT")) {
          TBitmap shot;
          if (GrabScreen(Bounds(0, 0, Screen->Width(), Screen->Height()), shot)) shot.SaveToPngFile(out);
        }
      });
  EXPECT_EQ(s.Run(), "");
  EXPECT_EQ(work.Width(), 800);
  EXPECT_LT(work.Height(), 600) << "the panel takes its strip";
  EXPECT_EQ(placed.Width(), 906);
  EXPECT_EQ(placed.Height(), 634);
  EXPECT_TRUE(work.Contains({placed.Left, placed.Top})) << "top-left corner at " << placed.Left << ", " << placed.Top;
  program.Stop();
}
