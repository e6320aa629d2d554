// Nothing the user writes is lost: pasting with nothing on the clipboard, saving a note with
// Ctrl+S and on its own while it is written, and leaving a save that cannot succeed. Each test is
// a user's session on the desktop through real keys and clicks.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "app/AboutWindow.h"
#include "app/Catalogue.h"
#include "app/MainWindow.h"
#include "app/NotesEditor.h"
#include "app/Program.h"
#include "app/ReadingWindow.h"
#include "app/ReferenceWindow.h"
#include "desktop/RealInput.h"
#include "platform/widgets/ComCtrls.h"
#include "platform/widgets/StdCtrls.h"
#include "support/TestSupport.h"


using namespace corvane;
using test::Steps;
using test::In;
using test::Modal;
namespace fs = std::filesystem;

namespace corvane::test {
// Gives the clipboard and the primary selection to a client that then exits; true once the X
// server reports both without an owner.
bool DropSelections();
}  // namespace corvane::test

namespace {

// The clipboard and the primary selection as a user meets them after a login, or after the
// program that copied has exited: no owner at all (tests/desktop/Selections.cpp). The program
// then hears of it.
void EmptyTheClipboard() {
  ASSERT_TRUE(test::DropSelections());
  test::WaitFor([] { return false; }, 200);
}

// The program started once in a working folder of its own, its main window shown and active.
class Saves : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    program_.Start("corvane-saves");
    main_ = Form1;
    main_->Show();
  }
  static void TearDownTestSuite() {
    program_.Stop();
  }
  void SetUp() override {
    Form1 = main_;
    for (int i = 3; i <= 5; ++i) C("Label" + std::to_string(i))->SetCaption("笔记" + std::to_string(i - 2));
    ASSERT_TRUE(test::WaitFor([&] { return input_.IsActive(main_); }))
        << "the main window did not become active";
  }

  static TControl* C(const std::string& name) { return Find<TControl>(main_, name); }
  static TPoint At(const std::string& name, int x, int y) { return C(name)->ClientToScreen({x, y}); }
  bool MainActive() { return input_.IsActive(main_); }
  bool Active(TForm* f) { return input_.IsActive(f); }
  static TPoint CloseButtonOf(TForm* f) { return In(f, "ww2", 16, 16); }
  // Closes a window with its picture button, as the user does.
  Steps& CloseWith(Steps& s, std::function<TForm*()> form) {
    return s.Do([this, form] { input_.MoveTo(CloseButtonOf(form())); })
        .Click(input_, [form] { return CloseButtonOf(form()); });
  }

  static inline test::ProgramInFolder program_;
  static TForm1* main_;
  test::RealInput input_;
};
TForm1* Saves::main_ = nullptr;

}  // namespace

// With nothing on the clipboard Ctrl+V, the middle button and the context menu's paste do
// nothing in every text field, and the program goes on taking what is typed.
TEST_F(Saves, PastingWithNothingOnTheClipboardChangesNothingAndTypingGoesOn) {
  TForm2* reading = nullptr;
  TForm4* editor = nullptr;
  auto memo = [&] { return Find<TMemo>(reading, "Memo1"); };
  auto title = [&] { return Find<TMemo>(editor, "edit1"); };
  auto body = [&] { return Find<TRichEdit>(editor, "richedit1"); };
  std::string rules;
  Steps s;
  // The reading window's rules box.
  s.Click(input_, [] { return At(Catalogue()[0].tile, 20, 30); })
      .Until("the reading window", [&] { return (reading = Modal<TForm2>()) != nullptr && Active(reading); })
      .Click(input_, [&] { return In(reading, "Memo1", 20, 8); })
      .Until("the rules box has the focus", [&] { return reading->ActiveControl() == memo(); })
      .Do([&] {
        rules = memo()->Text();
        input_.Key("ctrl+Home");
        EmptyTheClipboard();
        input_.Key("ctrl+v");
      })
      .Click(input_, [&] { return In(reading, "Memo1", 40, 20); }, 2)
      .Do([&] { input_.Type("Q"); })
      .Until("Q typed into the rules box", [&] { return memo()->Text().find('Q') != std::string::npos; })
      .Do([&] { EXPECT_EQ(memo()->Text().size(), rules.size() + 1); });
  CloseWith(s, [&] { return reading; })
      .Until("the reading window closed", [&] { return Screen->ActiveForm() == main_ && MainActive(); })
      // The note's title and body.
      .Click(input_, [] { return At("Label3", 10, 6); })
      .Until("the notes editor", [&] { return (editor = Modal<TForm4>()) != nullptr && Active(editor); })
      .Click(input_, [&] { return In(editor, "edit1", 30, 8); })
      .Until("the title has the focus", [&] { return editor->ActiveControl() == title(); })
      .Do([&] {
        input_.Key("End");
        EmptyTheClipboard();
        input_.Key("ctrl+v");
      })
      .Click(input_, [&] { return In(editor, "edit1", 60, 8); }, 2)
      .Do([&] {
        input_.Key("shift+Insert");
        input_.Type("T");
      })
      .Until("T typed into the title", [&] { return title()->Text() == "笔记1T"; })
      .Click(input_, [&] { return In(editor, "richedit1", 30, 10); })
      .Until("the body has the focus", [&] { return editor->ActiveControl() == body(); })
      .Do([&] {
        input_.Key("ctrl+a");
        input_.Key("Delete");
        EmptyTheClipboard();
        input_.Key("ctrl+v");
      })
      .Click(input_, [&] { return In(editor, "richedit1", 60, 10); }, 2)
      .Click(input_, [&] { return In(editor, "ToolButton3", 10, 10); })
      .Do([&] { input_.Type("B"); })
      .Until("B typed into the body", [&] { return body()->PlainText() == "B"; });
  CloseWith(s, [&] { return editor; })
      .Until("the editor closed", [&] { return Screen->ActiveForm() == main_ && MainActive(); });
  ASSERT_EQ(s.Run(), "");
  EXPECT_EQ(C("Label3")->Caption(), "笔记1T");
}


// Ctrl+S writes the open note at once and a pause in the writing writes it again; only the note
// the user changed is written, and the editor stays open throughout.
TEST_F(Saves, CtrlSAndAPauseInTheWritingSaveTheShownNoteOnly) {
  TForm4* editor = nullptr;
  auto body = [&] { return Find<TRichEdit>(editor, "richedit1"); };
  const fs::path a1 = program_.dir / "dat/a1.rtf", a2 = program_.dir / "dat/a2.rtf", a3 = program_.dir / "dat/a3.rtf";
  const std::string before2 = test::FileBytes(a2), before3 = test::FileBytes(a3);
  Steps s;
  s.Click(input_, [] { return At("Label3", 10, 6); })
      .Until("the notes editor", [&] { return (editor = Modal<TForm4>()) != nullptr && Active(editor); })
      .Click(input_, [&] { return In(editor, "richedit1", 30, 10); })
      .Do([&] {
        input_.Key("ctrl+a");
        input_.Key("Delete");
        input_.Type("kept");
        input_.Key("ctrl+s");
      })
      .Until("Ctrl+S wrote the note", [&] { return test::FileBytes(a1).find("kept") != std::string::npos; }, 2000)
      // A click on the centring button, then more typing: nothing is written while the user writes.
      .Click(input_, [&] { return In(editor, "ToolButton19", 10, 10); })
      .Do([&] { input_.Type("later"); })
      .Until("typed", [&] { return body()->PlainText() == "keptlater"; })
      .Holds("no save while the user is writing", [&] { return test::FileBytes(a1).find("keptlater") == std::string::npos; }, kAutosaveDelayMs / 2)
      .Until("the pause wrote the note", [&] { return test::FileBytes(a1).find("keptlater") != std::string::npos; }, kAutosaveDelayMs + 3000)
      .Until("the editor is still open and active", [&] { return Modal<TForm4>() == editor && Active(editor); });
  CloseWith(s, [&] { return editor; })
      .Until("the editor closed", [&] { return Screen->ActiveForm() == main_ && MainActive(); });
  ASSERT_EQ(s.Run(), "");
  EXPECT_NE(test::FileBytes(a1).find("\\qc"), std::string::npos) << "the centred paragraph";
  EXPECT_EQ(test::FileBytes(a2), before2) << "note 2 was not changed by the user";
  EXPECT_EQ(test::FileBytes(a3), before3) << "note 3 was not changed by the user";
}
