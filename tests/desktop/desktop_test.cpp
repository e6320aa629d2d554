// The program as a user meets it on a desktop: a window manager, a panel, and real key presses
// and clicks through the X server (scripts/test runs this on its own desktop, alone). Each test
// is a short session: what the user does, and what the user then sees.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
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
#include "hints/FlatHint.h"
#include "platform/widgets/ComCtrls.h"
#include "skin/frame/SkinForm.h"
#include "skin/frame/SkinMenu.h"
#include "skin/frame/TrayIcon.h"
#include "support/TestSupport.h"

using namespace corvane;
using test::Steps;
using test::In;
using test::Modal;
namespace fs = std::filesystem;

namespace {

// The program started once, in a working folder of its own (the notes editor writes the notes),
// with its main window shown and active.
class Desktop : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    program_.Start("corvane-desktop");
    main_ = Form1;
    main_->Show();
  }
  static void TearDownTestSuite() {
    program_.Stop();
  }
  void SetUp() override {
    Form1 = main_;
    Form1->ShowPage1();
    ASSERT_TRUE(test::WaitFor([&] { return input_.IsActive(main_); }))
        << "the main window did not become active";
    // Every test starts with the typing in the lookup field.
    Steps start;
    start.EmptyLookupField(input_, main_);
    ASSERT_EQ(start.Run(), "");
  }

  static TControl* C(const std::string& name) { return Find<TControl>(main_, name); }
  static TEdit* Edit() { return Find<TEdit>(main_, "e1"); }
  static TPoint At(const std::string& name, int x, int y) { return C(name)->ClientToScreen({x, y}); }
  // The window on top of all the program's windows, when it is the given class and modal.
  // What the window manager has made active: the keyboard's window.
  bool MainActive() { return input_.IsActive(main_); }
  // A message box of the program's (a window owned by the main window that is none of its forms).
  bool BoxActive() {
    uint64_t active = input_.WindowManagerActive();
    if (!active || input_.TransientFor(active) != test::WindowOf(main_)) return false;
    for (TForm* f : Screen->FormList())
      if (test::WindowOf(f) == active) return false;
    return true;
  }
  // The picture button that closes a window: the hover area shows it, a click on it closes.
  static TPoint CloseButtonOf(TForm* f) { return In(f, "ww2", 16, 16); }

  static inline test::ProgramInFolder program_;
  static TForm1* main_;
  test::RealInput input_;
};
TForm1* Desktop::main_ = nullptr;

}  // namespace

TEST_F(Desktop, TypingReachesTheLookupFieldAfterReadingWindowsMessageBoxesAndARestore) {
  TForm2* reading = nullptr;
  TRect box;
  const TPoint taskButton{40, Screen->Height() - 15};  // the program's entry on the panel
  auto clicked = std::chrono::steady_clock::now();
  Steps s;
  // A tile's reading window opens and closes; typing goes on in the field.
  s.Click(input_, [] { return At(Catalogue()[0].tile, 20, 30); })
      .Until("the reading window", [&] { return (reading = Modal<TForm2>()) != nullptr; })
      .Until("the reading window is active", [&] { return input_.IsActive(reading); })
      .Do([&] { input_.MoveTo(CloseButtonOf(reading)); })
      .Click(input_, [&] { return CloseButtonOf(reading); })
      .Until("the reading window closed", [&] { return Screen->ActiveForm() == main_ && MainActive(); })
      .Do([&] { input_.Type("12"); })
      .Until("12 in the field", [&] { return Edit()->Text() == "12"; })
      // Enter looks up "12": the guidance box, centred on the screen by its own size.
      .Do([&] { input_.Key("Return"); })
      .Until("the guidance box", [&] {
        if (OpenMessageBoxes() != 1 || !BoxActive()) return false;
        box = input_.WindowRectOf(input_.WindowManagerActive());
        return box.Width() > 0;
      })
      .Do([&] { input_.Key("Return"); })
      .Until("the box closed", [&] { return OpenMessageBoxes() == 0 && Screen->ActiveForm() == main_ && MainActive(); })
      // The lookup gave the field the keyboard back; Tab goes to the button, Space presses it and
      // the box comes again.
      .Until("the field has the focus again", [&] { return main_->ActiveControl() == Edit(); })
      .Do([&] { input_.Key("Tab"); })
      .Until("the button has the focus", [&] { return main_->ActiveControl() == C("thButton1"); })
      .Do([&] { input_.Key("space"); })
      .Until("the guidance box again", [&] { return OpenMessageBoxes() == 1 && BoxActive(); })
      .Do([&] { input_.Key("Escape"); })
      .Until("the box closed again", [&] { return OpenMessageBoxes() == 0 && MainActive(); })
      .Do([&] { input_.Key("End"); input_.Type("3"); })
      .Until("123 in the field", [&] { return Edit()->Text() == "123"; })
      // Minimised with its own button, restored from the panel's task bar.
      .Do([&] { input_.MoveTo(At("ww2", 16, 16)); })
      .Click(input_, [] { return At("w1", 16, 16); })
      // The panel acts on what the window manager says: wait until it says hidden and not active.
      .Until("the program minimised", [&] {
        return Application->Minimized() && main_->WindowState() == TWindowState::wsMinimized &&
               input_.HasState(test::WindowOf(main_), "_NET_WM_STATE_HIDDEN") && !MainActive();
      })
      .Do([&] {
        input_.Click(taskButton);
        clicked = std::chrono::steady_clock::now();
      })
      .Until("the program restored", [&] {
        // The panel keeps its own record of the window's state; when it is slow to take the
        // minimise in (a loaded machine), a click does nothing, and the user clicks again.
        if (std::chrono::steady_clock::now() - clicked > std::chrono::milliseconds(1500)) {
          input_.Click(taskButton);
          clicked = std::chrono::steady_clock::now();
        }
        return !Application->Minimized() && main_->Showing() && Screen->ActiveForm() == main_ &&
               input_.IsActive(main_);
      })
      .Do([&] { input_.Type("4"); })
      .Until("1234 in the field", [&] { return Edit()->Text() == "1234"; });
  EXPECT_EQ(s.Run(), "");
  EXPECT_EQ(box.Left, (Screen->Width() - box.Width()) / 2) << "box " << box.Width() << " x " << box.Height();
  EXPECT_EQ(box.Top, (Screen->Height() - box.Height()) / 2);
}

TEST_F(Desktop, TheLookupFieldTakesEveryCharacterTypedAndNoLimitOfItsOwn) {
  test::MessageBoxRecorder boxes;
  int readings = 0;
  Steps s;
  s.Do([&] { input_.Type("1-2.3,4 é ж!~"); })
      .Until("everything typed is in the field", [&] { return Edit()->Text() == "1-2.3,4 é ж!~"; })
      .Do([&] { input_.Key("ctrl+a"); input_.Type("111111."); input_.Key("Return"); })
      .Until("the guidance, not a reading window", [&] {
        if (Modal<TForm2>()) { ++readings; Modal<TForm2>()->Close(); }
        return !boxes.boxes.empty();
      })
      // A long code pasted in is kept whole.
      .Do([&] { SetClipboardText(std::string(40000, '1')); })
      .Click(input_, [] { return At("e1", 20, 8); })
      .Until("the field has the focus again", [&] { return main_->ActiveControl() == Edit(); })
      .Do([&] { input_.Key("ctrl+a"); input_.Key("ctrl+v"); })
      .Until("40,000 characters in the field", [&] { return Edit()->Text().size() == 40000; });
  EXPECT_EQ(s.Run(), "");
  EXPECT_EQ(readings, 0);
  ASSERT_EQ(boxes.boxes.size(), 1u);
}

TEST_F(Desktop, AReferenceWindowStaysAboveTheMainWindowClickedBelowIt) {
  TForm3* reference = nullptr;
  int entries = 0;
  uint64_t owner = 0;
  Steps s;
  s.Do([&] { input_.MoveTo(At("ss1", 10, 40)); })
      .Until("the side tab lights up", [&] { return C("ss1")->Visible(); })
      .Click(input_, [] { return At("ss1", 10, 40); })
      .Until("the reference window", [&] { return (reference = Modal<TForm3>()) != nullptr; })
      .Until("the reference window is mapped", [&] { return input_.IsActive(reference); })
      // A click on the (disabled) main window, where the reference window does not cover it.
      .Do([&] { input_.Click(main_->ClientToScreen({20, 20})); })  // disabled: nothing arrives
      .Holds("the reference window stays on top", [&] {
        TRect r = reference->WindowRect();
        return input_.TopWindowAt({r.Left + r.Width() / 2, r.Top + r.Height() / 2}) == test::WindowOf(reference);
      }, 500)
      .Do([&] {
        // Program windows the panel lists (it lists owned windows too, unless they ask not to be).
        entries = 0;
        for (uint64_t w : input_.ClientStacking())
          if ((w == test::WindowOf(main_) || w == test::WindowOf(reference)) && !input_.HasState(w, "_NET_WM_STATE_SKIP_TASKBAR"))
            ++entries;
        owner = input_.TransientFor(test::WindowOf(reference));
        input_.MoveTo(CloseButtonOf(reference));
      })
      .Click(input_, [&] { return CloseButtonOf(reference); })
      .Until("the reference window closed", [&] { return Screen->ActiveForm() == main_; });
  EXPECT_EQ(s.Run(), "");
  EXPECT_EQ(entries, 1) << "the program has one task-bar entry";
  EXPECT_EQ(owner, test::WindowOf(main_));
}

TEST_F(Desktop, TheNotesEditorKeepsTheTypingInTheNoteThroughToolbarClicksAndSavesWhatWasShown) {
  TForm4* editor = nullptr;
  RichDocument typed, reopened;
  auto note = [&] { return Find<TRichEdit>(editor, "richedit1"); };
  C("Label3")->SetCaption("笔记一");
  Steps s;
  s.Click(input_, [] { return At("Label3", 10, 6); })
      .Until("the notes editor", [&] { return (editor = Modal<TForm4>()) != nullptr; })
      .Until("the editor is active", [&] { return input_.IsActive(editor); })
      .Click(input_, [&] { return In(editor, "richedit1", 30, 10); })
      .Do([&] { input_.Key("ctrl+a"); input_.Key("Delete"); input_.Type("ab"); })
      .Until("ab in the note", [&] { return note()->PlainText() == "ab"; })
      // Bold, then keep typing; a click on the window's background, and typing goes on.
      .Click(input_, [&] { return In(editor, "ToolButton9", 10, 10); })
      .Do([&] { input_.Type("cd"); })
      .Until("abcd in the note", [&] { return note()->PlainText() == "abcd"; })
      .Click(input_, [&] { return editor->ClientToScreen({8, editor->ClientHeight() - 8}); })
      .Do([&] { input_.Type("ef"); })
      .Until("abcdef in the note", [&] { return note()->PlainText() == "abcdef"; })
      // Copy the bold part (as the user selects it: Shift+Left four times) and paste it at the
      // start: it stays bold.
      .Do([&] {
        for (int i = 0; i < 4; ++i) input_.Key("shift+Left");
        input_.Key("ctrl+c");
        input_.Key("ctrl+Home");
        input_.Key("ctrl+v");
      })
      .Until("cdefabcdef in the note", [&] { return note()->PlainText() == "cdefabcdef"; })
      .Do([&] { typed = note()->Document(); input_.MoveTo(CloseButtonOf(editor)); })
      .Click(input_, [&] { return CloseButtonOf(editor); })
      .Until("the editor closed", [&] { return Screen->ActiveForm() == main_ && MainActive(); })
      .Click(input_, [] { return At("Label3", 10, 6); })
      .Until("the editor again", [&] { return (editor = Modal<TForm4>()) != nullptr; })
      .Until("the editor is active again", [&] { return input_.IsActive(editor); })
      .Do([&] { reopened = note()->Document(); input_.MoveTo(CloseButtonOf(editor)); })
      .Click(input_, [&] { return CloseButtonOf(editor); })
      .Until("the editor closed again", [&] { return Screen->ActiveForm() == main_ && MainActive(); });
  ASSERT_EQ(s.Run(), "");
  ASSERT_EQ(typed.Paragraphs.size(), 1u);
  const auto& runs = typed.Paragraphs[0].Runs;
  std::string seen;
  for (const RichRun& r : runs) seen += "[" + r.Text + (r.Format.Bold ? " bold" : "") + " " + std::to_string(r.Format.SizeHalfPoints) + "]";
  ASSERT_EQ(runs.size(), 3u) << seen;
  EXPECT_EQ(runs[0].Text, "cdef");
  EXPECT_TRUE(runs[0].Format.Bold);
  EXPECT_EQ(runs[1].Text, "ab");
  EXPECT_FALSE(runs[1].Format.Bold);
  EXPECT_EQ(runs[2].Text, "cdef");
  EXPECT_TRUE(runs[2].Format.Bold);
  // What the user saw (the editor's 9-point face) is what reopens.
  ASSERT_EQ(reopened.Paragraphs.size(), 1u);
  for (const RichRun& r : reopened.Paragraphs[0].Runs) EXPECT_EQ(r.Format.SizeHalfPoints, 18) << r.Text;
  EXPECT_EQ(reopened.Paragraphs[0].Runs, runs);
}

TEST_F(Desktop, AfterDraggingTheWindowByItsBackgroundTheTilesHoverAgain) {
  TPoint before{main_->Left(), main_->Top()};
  const THexagram& h = Catalogue()[1];
  Steps s;
  s.Do([&] { input_.Drag(main_->ClientToScreen({400, 20}), main_->ClientToScreen({430, 40})); })
      .Until("the window moved", [&] { return main_->Left() == before.X + 30 && main_->Top() == before.Y + 20; })
      .Do([&] { input_.MoveTo(At(h.tile, 20, 30)); })
      .Until("the tile under the pointer is highlighted", [&] { return C(h.hover)->Visible(); })
      .Do([&] { input_.Drag(main_->ClientToScreen({400, 20}), main_->ClientToScreen({370, 0})); })
      .Until("the window is back", [&] { return main_->Left() == before.X && main_->Top() == before.Y; });
  EXPECT_EQ(s.Run(), "");
}

TEST_F(Desktop, AHeldButtonRepeatsOnlyWhileItIsHeld) {
  TForm form(nullptr);
  form.SetBounds(100, 100, 300, 200);
  auto* button = new TthButton(&form);
  button->SetParent(&form);
  button->SetBounds(100, 80, 80, 27);
  button->SetCaption("OK");
  button->MouseContinuouslyDownInterval = 30;
  int ticks = 0, clicks = 0;
  button->OnMouseContinuouslyDown = [&](TObject*) { ++ticks; };
  button->OnClick = [&](TObject*) { ++clicks; };
  form.Show();
  int atRelease = 0;
  Steps s;
  s.Until("the window is active", [&] { return input_.IsActive(&form); })
      .Do([&] { input_.MoveTo(button->ClientToScreen({40, 13})); input_.Press(); })
      .Until("the repeat runs", [&] { return ticks >= 2; })
      .Do([&] { input_.MoveTo(button->ClientToScreen({40, 100})); })
      .Until("the face is up outside", [&] { return !button->Hot(); })
      .Do([&] { input_.MoveTo(button->ClientToScreen({42, 13})); })
      .Until("hot again over the button", [&] { return button->Hot(); })
      .Do([&] { input_.Release(); })
      .Until("released", [&] { return clicks == 1; })
      .Do([&] { atRelease = ticks; })
      .Holds("no tick after the release", [&] { return ticks == atRelease; }, 300);
  EXPECT_EQ(s.Run(), "");
  EXPECT_FALSE(button->RepeatTimerRunning());
  EXPECT_TRUE(button->Hot());
}

TEST_F(Desktop, APopupMenuOpensOnARightClickWalksWithKeysOpensItsSubMenuByHoverAndNeverTakesTheWindow) {
  TForm form(nullptr);
  form.SetBounds(120, 120, 360, 260);
  auto* host = new TskSkinMenuHost(&form);  // no skin: the plain look
  auto* menu = new TskSkinPopupMenu(&form);
  auto add = [&](TMenuItem& parent, const std::string& caption) {
    auto* item = new TMenuItem(menu);
    item->Caption = caption;
    parent.Add(item);
    return item;
  };
  add(menu->Items(), "打开(&O)");
  add(menu->Items(), "保存(&S)");
  TMenuItem* more = add(menu->Items(), "更多(&M)");
  add(*more, "甲");
  add(*more, "乙");
  add(menu->Items(), "-");
  int closes = 0;
  add(menu->Items(), "关闭(&C)")->OnClick = [&](TObject*) { ++closes; };
  TPoint opened{-1, -1};
  form.OnMouseUp = [&](TObject*, TMouseButton b, TShiftState, int x, int y) {
    if (b != TMouseButton::mbRight) return;
    opened = form.ClientToScreen({x, y});
    menu->Popup(opened.X, opened.Y);
  };
  form.Show();
  TskSkinMenu& engine = host->SkinMenu();
  auto level = [&](int i) { return engine.LevelCount() > i ? engine.Level(i) : nullptr; };
  auto itemCentre = [&](int n, int i) {
    const TRect r = level(n)->Items(i)->ObjectRect;
    return level(n)->ClientToScreen({(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
  };
  const uint64_t window = test::WindowOf(&form);
  auto active = [&] { return input_.WindowManagerActive() == window; };
  Steps s;
  s.Until("the window is active", active)
      .Click(input_, [&] { return form.ClientToScreen({60, 50}); }, 3)
      .Until("the menu shows at the pointer", [&] { return engine.Visible() && level(0)->Showing(); })
      .Do([&] {
        EXPECT_EQ(level(0)->Left(), opened.X);
        EXPECT_EQ(level(0)->Top(), opened.Y);
        EXPECT_EQ(level(0)->ActiveIndex(), 0);
      })
      .Holds("the window stays active with the menu open", active, 300)
      .Do([&] { input_.Key("Down"); input_.Key("Down"); })
      .Until("the keys walk down to the third item", [&] { return level(0)->ActiveIndex() == 2; })
      .Holds("a keyboard selection opens no sub-menu", [&] { return engine.LevelCount() == 1; }, 700)
      .Do([&] { input_.Key("Up"); })
      .Until("Up goes back", [&] { return level(0)->ActiveIndex() == 1; })
      .Do([&] { input_.MoveTo(itemCentre(0, 2)); })
      .Until("hovering highlights the item", [&] { return level(0)->ActiveIndex() == 2; })
      .Until("its sub-menu opens after the delay", [&] { return level(1) && level(1)->Showing(); }, 3000)
      .Do([&] {
        EXPECT_TRUE(level(0)->Items(2)->Down);
        EXPECT_EQ(level(1)->Left(), level(0)->Left() + level(0)->Items(2)->ObjectRect.Right + 1);
      })
      .Do([&] { input_.MoveTo(itemCentre(1, 1)); })
      .Until("the pointer moves into the sub-menu", [&] { return level(1) && level(1)->ActiveIndex() == 1; })
      .Holds("the window is still the active one", active, 200)
      .Click(input_, [&] { return form.ClientToScreen({300, 220}); })
      .Until("a click elsewhere closes every level", [&] { return !engine.Visible() && !host->InMenu(); })
      .Until("no pop-up is left on the screen", [] { return TPopupWindow::ShownWindows().empty(); })
      .Do([&] { EXPECT_EQ(closes, 0); })
      .Holds("the window kept the activation", active, 200);
  EXPECT_EQ(s.Run(), "");
}

TEST_F(Desktop, TheAboutWindowsInvisibleFrameDragsSnapsRollsUpMinimizesMaximizesGoesToTheTrayClosesAndLeavesTheFlatHintToTheEditor) {
  TForm5* about = nullptr;
  TForm4* editor = nullptr;
  TskSkinForm* frame = nullptr;
  TRect opened;
  const TRect work = Screen->WorkAreaRect();
  auto at = [&](int x, int y) { return TPoint{about->Left() + x, about->Top() + y}; };
  auto shown = [&] { return Form5 && Form5->Showing() && Form5->IsModal(); };
  int iconClicks = 0;  // left clicks on the tray icon the program has taken
  auto trayIcons = [&] { return input_.WindowsEmbeddedIn("tint2", static_cast<long>(::getpid())); };
  auto iconCentre = [&] {
    auto icons = trayIcons();
    if (icons.empty()) return TPoint{-1, -1};
    const TRect r = input_.WindowRectOf(icons.front());
    return TPoint{r.Left + r.Width() / 2, r.Top + r.Height() / 2};
  };
  auto level = [&] {
    TskSkinMenu& m = frame->MenuHost().SkinMenu();
    return m.LevelCount() > 0 && m.Level(0)->Showing() ? m.Level(0) : nullptr;
  };
  Steps s;
  s.Click(input_, [] { return At("Label6", 10, 6); })
      .Until("the about window opens", shown)
      .Do([&] {
        about = Form5;
        frame = TskSkinForm::FindFrameOf(about);
        ASSERT_NE(frame, nullptr);
        opened = about->BoundsRect();
      })
      .Until("it is active", [&] { return input_.IsActive(about); })
      .Do([&] { input_.Drag(at(200, 15), at(260, 55)); })
      .Until("dragging the caption band moves it", [&] { return about->BoundsRect() == opened.Offset(60, 40); })
      .Do([&] { input_.Drag(at(300, 340), at(360, 300)); })
      .Holds("pressing elsewhere on the background does not", [&] { return about->BoundsRect() == opened.Offset(60, 40); }, 300)
      .Do([&] { input_.Drag(at(200, 15), at(200 - (about->Left() - work.Left) + 9, 15)); })
      .Until("9 pixels from the work area's left edge it snaps onto it", [&] { return about->Left() == work.Left; })
      .DoubleClick(input_, [&] { return at(200, 15); })
      .Until("a double click on the band rolls it up to 42 pixels", [&] { return about->Height() == 42 && about->Width() == 550; })
      .DoubleClick(input_, [&] { return at(200, 15); })
      .Until("a second one restores 386", [&] { return about->Height() == 386; })
      .Click(input_, [&] { return at(250, 15); }, 3)
      .Until("a right click on the band opens the system menu at the pointer", [&] {
        return level() && level()->ItemCount() == 9 && level()->Left() == about->Left() + 250;
      })
      .Do([&] { input_.Key("Escape"); })
      .Until("Escape closes it", [&] { return !level(); })
      .Do([&] { opened = about->BoundsRect(); })
      .Click(input_, [&] { return at(483, 15); })
      .Until("minimize makes a 188 x 42 strip at the bottom left of the work area",
             [&] { return about->BoundsRect() == Bounds(work.Left, work.Bottom - 42, 188, 42); })
      .Click(input_, [&] { return at(90, 15); }, 3)
      .Until("its system menu opens", [&] { return level() != nullptr; })
      .Do([&] { input_.Key("Return"); })
      .Until("its first item restores the old bounds", [&] { return about->BoundsRect() == opened; })
      .Click(input_, [&] { return at(507, 15); })
      .Until("maximize fills the work area", [&] { return about->BoundsRect() == work; })
      .Click(input_, [&] { return at(507 + work.Width() - 550, 15); })
      .Until("the same button restores it", [&] { return about->BoundsRect() == opened; })
      .Until("the window manager has put it back too",
             [&] { return input_.WindowRectOf(test::WindowOf(about)) == opened; })
      .UntilShownAt(input_, [&] { return at(66, 17); })
      .Do([&] { input_.Click(at(66, 17)); })  // the windows go before the release is counted
      .Until("minimize to tray hides the windows and shows the icon in the panel", [&] {
        return !about->Showing() && !main_->Showing() && !trayIcons().empty();
      })
      .Do([&] { input_.Click(iconCentre(), 3); })
      .Until("a right click on the icon opens the tray menu", [&] {
        TskSkinMenu& m = frame->MenuHost().SkinMenu();
        return m.LevelCount() > 0 && m.Level(0)->Showing() && m.Level(0)->ItemCount() == 3;
      })
      .Do([&] {
        TskSkinPopupWindow* menu = frame->MenuHost().SkinMenu().Level(0);
        const TRect r = menu->Items(0)->ObjectRect;
        input_.Click(menu->ClientToScreen({(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}));
      })
      .Until("its restore item brings both windows back and takes the icon away", [&] {
        return about->Showing() && main_->Showing() && trayIcons().empty() && TPopupWindow::ShownWindows().empty();
      })
      // The main window comes back last and is raised; the window manager then puts the about
      // window (modal, its owner's) above it again. A press made before that lands on the
      // blocked main window. A person clicks once the about window is back on top and active.
      .Until("the about window is active again", [&] { return input_.IsActive(about); })
      .UntilShownAt(input_, [&] { return at(66, 17); })
      .Do([&] { input_.Click(at(66, 17)); })
      .Until("its button sends them to the tray a second time", [&] {
        return !about->Showing() && !main_->Showing() && !trayIcons().empty();
      })
      .Do([&] { frame->TrayIcon()->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { ++iconClicks; }; })
      .DoubleClick(input_, iconCentre, [&] { return iconClicks; })
      .Until("a double click on the icon brings both back and takes the icon away",
             [&] { return about->Showing() && main_->Showing() && trayIcons().empty(); })
      .Until("the about window is active once more", [&] { return input_.IsActive(about); })
      .Click(input_, [&] { return at(530, 15); })
      .Until("a click at (530, 15) closes it", [&] { return Modal<TForm5>() == nullptr; })
      // The notes editor opened after it brings the flat hint back: its toolbar's hints show in
      // the flat look, not the about window's skin.
      .Do([&] { C("Label3")->SetCaption("笔记一"); })
      .Click(input_, [] { return At("Label3", 10, 6); })
      .Until("the notes editor opens", [&] { return (editor = Modal<TForm4>()) != nullptr; })
      .Until("and is active", [&] { return input_.IsActive(editor); })
      .Do([&] { input_.MoveTo(In(editor, "ToolButton9", 10, 10)); })
      .Until("resting on a toolbar button shows its hint in the flat hint window", [&] {
        auto* w = dynamic_cast<TFlatHintWindow*>(Application->HintWindow());
        return w && w->Showing() && w->Caption() == "加粗";
      })
      .Do([&] { input_.MoveTo(CloseButtonOf(editor)); })
      .Click(input_, [&] { return CloseButtonOf(editor); })
      .Until("the editor closes", [&] { return Modal<TForm4>() == nullptr; });
  EXPECT_EQ(s.Run(), "");
}
