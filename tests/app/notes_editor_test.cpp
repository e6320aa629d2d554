// The notes editor driven through the main window's title labels: opening a note, the toolbar and
// its actions, formatting applied to all three bodies, the choosers, the shortcuts, and closing
// with the titles handed back and the bodies written (or kept open when a body cannot be written).
#include <gtest/gtest.h>

#include <filesystem>

#include "app/MainWindow.h"
#include "app/NotesEditor.h"
#include "hints/FlatHint.h"
#include "platform/graphics/ImgList.h"
#include "platform/widgets/ComCtrls.h"
#include "platform/windows/ActnList.h"
#include "platform/windows/Dialogs.h"
#include "platform/windows/Menus.h"
#include "support/TestSupport.h"

using namespace corvane;
namespace fs = std::filesystem;

namespace {

constexpr const char* kBodies[] = {"dat/a1.rtf", "dat/a2.rtf", "dat/a3.rtf"};

// Each test runs in a fresh working directory whose dat/ holds plain-text note bodies (which the
// editor loads as text and writes back as RTF), beside a main window of its own.
class NotesEditor : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("corvane-notes-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "dat");
    fs::current_path(dir_);
    for (int i = 0; i < 3; ++i) WriteFileAtomically(kBodies[i], "note " + std::to_string(i + 1) + " body\n");
    previousForm1_ = Form1;
    main_ = std::make_unique<TForm1>(Application);
    Form1 = main_.get();
    for (int i = 0; i < 3; ++i) Label(i + 1)->SetCaption("title" + std::to_string(i + 1));
    main_->Show();
    Application->ProcessMessages();
  }
  void TearDown() override {
    gBeforeAtomicRename = nullptr;
    gFontDialogSeam = nullptr;
    gColorDialogSeam = nullptr;
    main_.reset();
    Form1 = previousForm1_;
    fs::current_path(test::SourceDir());
    fs::remove_all(dir_);
  }

  TControl* Label(int note) { return Find<TControl>(main_.get(), "Label" + std::to_string(note + 2)); }

  // Opens note `note` with a click on its label and runs `inside` in the editor; the editor is
  // then closed through its close picture. Returns whether the editor was shown.
  bool WithNote(int note, const std::function<void(TForm4&)>& inside) {
    bool shown = false;
    PostCall([&] {
      auto* editor = dynamic_cast<TForm4*>(Screen->ActiveForm());
      if (!editor || !editor->IsModal()) return;
      shown = true;
      EXPECT_EQ(editor, Form4) << "the fresh editor is the current reference";
      inside(*editor);
      if (editor->IsModal()) Close(*editor);
    });
    Input::ClickOn(Label(note), 2, 2);
    return shown;
  }
  static void Close(TForm4& editor) {
    Input::MoveOver(Find<TControl>(&editor, "ww2"), 5, 5);
    Input::ClickOn(Find<TControl>(&editor, "w2"), 5, 5);
  }
  static void Click(TForm4& editor, const char* button) { Input::ClickOn(Find<TControl>(&editor, button), 5, 5); }
  static std::string Bytes(int note) { return ReadFileBytes(kBodies[note - 1]); }
  // Runs `fn` from the event loop as soon as `ready` holds.
  static void AfterwardsWhen(std::function<bool()> ready, std::function<void()> fn) {
    PostCall([ready, fn] {
      if (ready()) fn();
      else AfterwardsWhen(ready, fn);
    });
  }

  fs::path dir_;
  std::unique_ptr<TForm1> main_;
  TForm1* previousForm1_ = nullptr;
};

}  // namespace

TEST_F(NotesEditor, OpeningNoteTwoShowsOnlyItsTitleAndBodyButHoldsAllThree) {
  const int formsBefore = Screen->FormCount();
  ASSERT_TRUE(WithNote(2, [](TForm4& f) {
    for (const char* name : {"edit1", "edit3", "richedit1", "RichEdit3"}) EXPECT_FALSE(Find<TControl>(&f, name)->Visible()) << name;
    EXPECT_TRUE(Find<TControl>(&f, "edit2")->Visible());
    EXPECT_TRUE(Find<TControl>(&f, "RichEdit2")->Visible());
    EXPECT_EQ(Find<TControl>(&f, "edit1")->Text(), "title1");
    EXPECT_EQ(Find<TControl>(&f, "edit2")->Text(), "title2");
    EXPECT_EQ(Find<TControl>(&f, "edit3")->Text(), "title3");
    auto editors = f.Editors();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(editors[i]->PlainText(), "note " + std::to_string(i + 1) + " body");
    EXPECT_EQ(f.ActiveControl(), editors[1]) << "typing goes to the visible body";
    EXPECT_EQ(f.Caption(), "Form4");
    EXPECT_EQ(f.ClientWidth(), 631);
    EXPECT_EQ(f.Left(), (Screen->Width() - 631) / 2);
  }));
  // Nothing was changed, so no body was rewritten: each keeps its bytes.
  for (int note = 1; note <= 3; ++note) EXPECT_EQ(Bytes(note), "note " + std::to_string(note) + " body\n") << note;
  EXPECT_EQ(Screen->FormCount(), formsBefore) << "the editor was destroyed";
  EXPECT_TRUE(main_->Enabled());
}

TEST_F(NotesEditor, EachLabelOpensItsOwnNote) {
  for (int note = 1; note <= 3; ++note) {
    std::string title, body;
    ASSERT_TRUE(WithNote(note, [&](TForm4& f) {
      for (int i = 1; i <= 3; ++i)
        if (Find<TControl>(&f, "edit" + std::to_string(i))->Visible()) title = Find<TControl>(&f, "edit" + std::to_string(i))->Text();
      for (TRichEdit* e : f.Editors())
        if (e->Visible()) body += e->PlainText();
    }));
    EXPECT_EQ(title, "title" + std::to_string(note));
    EXPECT_EQ(body, "note " + std::to_string(note) + " body");
  }
}

TEST_F(NotesEditor, AMissingThirdBodyBlocksEveryNote) {
  fs::remove(kBodies[2]);
  test::MessageBoxRecorder boxes;
  const int formsBefore = Screen->FormCount();
  for (int note = 1; note <= 3; ++note) EXPECT_FALSE(WithNote(note, [](TForm4&) {})) << note;
  ASSERT_EQ(boxes.boxes.size(), 3u);
  for (const auto& box : boxes.boxes) {
    EXPECT_EQ(box.text, "Cannot open file dat\\a3.rtf.");
    EXPECT_EQ(box.caption, "Corvane");
  }
  EXPECT_EQ(Screen->FormCount(), formsBefore);
  EXPECT_EQ(Bytes(1), "note 1 body\n") << "nothing was written";
  EXPECT_TRUE(main_->Enabled());
}

TEST_F(NotesEditor, TheToolbarHoldsSixteenEntriesWithTheirPicturesHintsAndActions) {
  struct Entry { const char* name; int left; int image; const char* hint; };
  const Entry entries[] = {
      {"ToolButton1", 0, 0, "Cut|Cuts the selection and puts it on the Clipboard"},
      {"ToolButton2", 23, 1, "Copy|Copies the selection and puts it on the Clipboard"},
      {"ToolButton3", 46, 2, "Paste|Inserts Clipboard contents"},
      {"ToolButton4", 69, -1, ""}, {"ToolButton12", 77, 19, "字体设置"}, {"ToolButton9", 100, 20, "加粗"},
      {"ToolButton10", 123, 21, "倾斜"}, {"ToolButton11", 146, 22, "下划线"}, {"ToolButton5", 169, -1, ""},
      {"ToolButton20", 177, 17, "左对齐"}, {"ToolButton19", 200, 16, "居中对齐"}, {"ToolButton21", 223, 18, "右对齐"},
      {"ToolButton22", 246, -1, ""}, {"ToolButton8", 254, 24, "字体颜色"}, {"ToolButton13", 277, 42, "加大字体"},
      {"ToolButton14", 300, 43, "减小字体"}};
  ASSERT_TRUE(WithNote(1, [&](TForm4& f) {
    auto* bar = Find<TToolBar>(&f, "ToolBar2");
    EXPECT_EQ(bar->BoundsRect(), Bounds(48, 112, 529, 24));
    EXPECT_EQ(bar->Color(), clWhite);
    EXPECT_TRUE(bar->Flat());
    EXPECT_EQ(bar->EdgeBorders(), ebBottom);
    EXPECT_TRUE(bar->ShowHint);
    ASSERT_EQ(bar->Images(), Find<TImageList>(&f, "ImageList1"));
    EXPECT_EQ(bar->Images()->Count(), 46);
    ASSERT_EQ(bar->ControlCount(), 16);
    for (int i = 0; i < 16; ++i) {
      auto* b = dynamic_cast<TToolButton*>(bar->Controls(i));
      ASSERT_NE(b, nullptr);
      EXPECT_EQ(b->Name(), entries[i].name);
      EXPECT_EQ(b->Left(), entries[i].left) << b->Name();
      bool separator = entries[i].image < 0;
      EXPECT_EQ(b->Style() == TToolButtonStyle::tkSeparator, separator) << b->Name();
      EXPECT_EQ(b->Width(), separator ? 8 : 23) << b->Name();
      if (!separator) EXPECT_EQ(b->ImageIndex(), entries[i].image) << b->Name();
      EXPECT_EQ(b->Hint, entries[i].hint) << b->Name();
      EXPECT_TRUE(b->EffectiveShowHint()) << b->Name();
    }
    EXPECT_EQ(Find<TToolButton>(&f, "ToolButton1")->Action(), Find<TAction>(&f, "EditCut1"));
  }));
}

TEST_F(NotesEditor, ToolbarHintsShowInTheFlatHintWindowTheEditorInstalls) {
  std::string hint, windowClass;
  ASSERT_TRUE(WithNote(1, [&](TForm4& f) {
    auto* flat = Find<TFlatHint>(&f, "FlatHint1");
    EXPECT_EQ(flat->Font().Name(), "MS Sans Serif");
    EXPECT_EQ(flat->Font().Height(), -11);
    EXPECT_EQ(flat->Font().Color(), clWindowText);
    EXPECT_EQ(flat->MaxHintWidth(), 200);
    EXPECT_EQ(Application->HintWindowClass(), &HintWindowClassOf<TFlatHintWindow>);
    // The pointer rests on the cut button, which is disabled while nothing is selected.
    f.Editors()[0]->SetSelection(0, 0);
    Find<TActionList>(&f, "ActionList1")->UpdateActions();
    ASSERT_FALSE(Find<TToolButton>(&f, "ToolButton1")->Enabled());
    Input::MoveOver(Find<TControl>(&f, "ToolButton1"), 8, 8);
    Application->ProcessUntil([] { return Application->HintWindow() && Application->HintWindow()->Showing(); });
    if (THintWindow* w = Application->HintWindow()) {
      hint = w->Caption();
      windowClass = w->ClassName();
    }
    Input::MoveOver(Find<TControl>(&f, "ToolButton9"), 8, 8);
    Application->ProcessUntil([] { return Application->HintWindow() && Application->HintWindow()->Caption() != "Cut"; });
    if (THintWindow* w = Application->HintWindow()) hint += "," + w->Caption();
    Application->CancelHint();
  }));
  EXPECT_EQ(hint, "Cut,加粗");
  EXPECT_EQ(windowClass, "TFlatHintWindow");
}

TEST_F(NotesEditor, TheActionListCarriesTheSevenActionsAsGiven) {
  struct Expected { const char* name; const char* caption; const char* hint; TShortCut shortCut; int image; };
  const Expected expected[] = {
      {"EditCut1", "Cu&t", "Cut|Cuts the selection and puts it on the Clipboard", ShortCut('X', ssCtrl), 0},
      {"EditCopy1", "&Copy", "Copy|Copies the selection and puts it on the Clipboard", ShortCut('C', ssCtrl), 1},
      {"EditPaste1", "&Paste", "Paste|Inserts Clipboard contents", ShortCut('V', ssCtrl), 2},
      {"EditSelectAll1", "Select &All", "Select All|Selects the entire document", ShortCut('A', ssCtrl), -1},
      {"EditUndo1", "&Undo", "Undo|Reverts the last action", ShortCut('Z', ssCtrl), 3},
      {"EditDelete1", "&Delete", "Delete|Erases the selection", VK_DELETE, 5},
      {"Action1", "Action1", "", 0, -1}};
  TForm4 editor(Application);
  auto* list = Find<TActionList>(&editor, "ActionList1");
  ASSERT_EQ(list->ActionCount(), 8);
  // The last saves the shown note at once.
  EXPECT_EQ(list->Actions(7)->Name(), "NoteSave1");
  EXPECT_EQ(list->Actions(7)->ShortCut(), ShortCut('S', ssCtrl));
  for (int i = 0; i < 7; ++i) {
    TAction* a = list->Actions(i);
    EXPECT_EQ(a->Name(), expected[i].name);
    EXPECT_EQ(a->Category, "Edit");
    EXPECT_EQ(a->Caption(), expected[i].caption);
    EXPECT_EQ(a->Hint(), expected[i].hint);
    EXPECT_EQ(a->ShortCut(), expected[i].shortCut) << a->Name();
    EXPECT_EQ(a->ImageIndex(), expected[i].image) << a->Name();
  }
  EXPECT_EQ(list->Images(), Find<TImageList>(&editor, "ImageList1"));
  // A fresh editor: toggles off, the font chooser at its initial font.
  for (const char* item : {"N1", "N2", "N3"}) EXPECT_FALSE(Find<TMenuItem>(&editor, item)->Checked) << item;
  EXPECT_EQ(Find<TMenuItem>(&editor, "N2")->Caption, "倾斜");
  TFont& font = Find<TFontDialog>(&editor, "FontDialog1")->Font();
  EXPECT_EQ(font.Name(), "MS Sans Serif");
  EXPECT_EQ(font.Height(), -11);
  EXPECT_EQ(font.Style(), 0u);
}

TEST_F(NotesEditor, BoldThenItalicLeavesItalicOnlyAndTheNextBoldClickClearsTheStyle) {
  ASSERT_TRUE(WithNote(1, [](TForm4& f) {
    auto editors = f.Editors();
    for (TRichEdit* e : editors) e->SelectAll();
    auto* n1 = Find<TMenuItem>(&f, "N1");
    auto* n2 = Find<TMenuItem>(&f, "N2");
    Click(f, "ToolButton9");
    EXPECT_TRUE(n1->Checked);
    for (TRichEdit* e : editors) EXPECT_EQ(e->SelAttributes().Style(), fsBold);
    Click(f, "ToolButton10");
    EXPECT_TRUE(n2->Checked);
    EXPECT_TRUE(n1->Checked) << "the bold toggle keeps its tick";
    for (TRichEdit* e : editors) EXPECT_EQ(e->SelAttributes().Style(), fsItalic);
    Click(f, "ToolButton9");
    EXPECT_FALSE(n1->Checked);
    for (TRichEdit* e : editors) EXPECT_EQ(e->SelAttributes().Style(), 0u);
    Click(f, "ToolButton11");
    for (TRichEdit* e : editors) EXPECT_EQ(e->SelAttributes().Style(), fsUnderline);
  }));
  // The formatting reached the shown note's document; the hidden ones, which nobody saw change,
  // are not written.
  EXPECT_TRUE(LoadRichTextFile(kBodies[0]).Paragraphs.at(0).Runs.at(0).Format.Underline);
  for (int note = 2; note <= 3; ++note) EXPECT_EQ(Bytes(note), "note " + std::to_string(note) + " body\n") << note;
}

TEST_F(NotesEditor, SizeStepsTakeTheHiddenFirstEditorsSizeAndGiveItToAllThree) {
  ASSERT_TRUE(WithNote(2, [](TForm4& f) {
    auto editors = f.Editors();
    for (TRichEdit* e : editors) e->SelectAll();
    editors[0]->SelAttributes().SetSize(20);
    editors[1]->SelAttributes().SetSize(9);
    editors[2]->SelAttributes().SetSize(30);
    Click(f, "ToolButton13");
    for (TRichEdit* e : editors) EXPECT_EQ(e->SelAttributes().Size(), 22) << e->Name();
    Click(f, "ToolButton14");
    Click(f, "ToolButton14");
    for (TRichEdit* e : editors) EXPECT_EQ(e->SelAttributes().Size(), 18) << e->Name();
  }));
}

TEST_F(NotesEditor, AlignmentAndColourReachAllThreeEditors) {
  ASSERT_TRUE(WithNote(3, [](TForm4& f) {
    auto editors = f.Editors();
    for (TRichEdit* e : editors) e->SelectAll();
    Click(f, "ToolButton19");
    for (TRichEdit* e : editors) EXPECT_EQ(e->Paragraph().Alignment(), TAlignment::taCenter);
    Click(f, "ToolButton21");
    for (TRichEdit* e : editors) EXPECT_EQ(e->Paragraph().Alignment(), TAlignment::taRightJustify);
    Click(f, "ToolButton20");
    for (TRichEdit* e : editors) EXPECT_EQ(e->Paragraph().Alignment(), TAlignment::taLeftJustify);
    gColorDialogSeam = [](TColor& c) { c = RGB(200, 30, 40); return true; };
    Click(f, "ToolButton8");
    for (TRichEdit* e : editors) EXPECT_EQ(e->SelAttributes().Color(), RGB(200, 30, 40));
  }));
}

TEST_F(NotesEditor, TheFontChooserSetsNameStyleSizeAndColourAndRemembersTheChoice) {
  ASSERT_TRUE(WithNote(1, [](TForm4& f) {
    auto editors = f.Editors();
    for (TRichEdit* e : editors) e->SelectAll();
    std::vector<std::string> offered;
    gFontDialogSeam = [&](TFont& font) {
      offered.push_back(font.Name());
      font.SetName("宋体");
      font.SetStyle(fsBold | fsUnderline);
      font.SetSize(16);
      font.SetColor(clBlue);
      return true;
    };
    Click(f, "ToolButton12");
    Click(f, "ToolButton12");
    EXPECT_EQ(offered, (std::vector<std::string>{"MS Sans Serif", "宋体"}));
    for (TRichEdit* e : editors) {
      EXPECT_EQ(e->SelAttributes().Name(), "宋体");
      EXPECT_EQ(e->SelAttributes().Style(), fsBold | fsUnderline);
      EXPECT_EQ(e->SelAttributes().Size(), 16);
      EXPECT_EQ(e->SelAttributes().Color(), clBlue);
    }
  }));
}

TEST_F(NotesEditor, CancelledChoosersChangeNothing) {
  ASSERT_TRUE(WithNote(1, [](TForm4& f) {
    auto editors = f.Editors();
    for (TRichEdit* e : editors) e->SelectAll();
    auto before = [&] {
      std::vector<std::string> s;
      for (TRichEdit* e : editors) {
        TTextAttributes& a = e->SelAttributes();
        s.push_back(a.Name() + "/" + std::to_string(a.Style()) + "/" + std::to_string(a.Size()) + "/" + std::to_string(a.Color()));
      }
      return s;
    };
    auto start = before();
    gFontDialogSeam = [](TFont& font) { font.SetName("Arial"); font.SetSize(30); return false; };
    gColorDialogSeam = [](TColor& c) { c = clRed; return false; };
    Click(f, "ToolButton12");
    Click(f, "ToolButton8");
    EXPECT_EQ(before(), start);
    EXPECT_EQ(Find<TFontDialog>(&f, "FontDialog1")->Font().Name(), "MS Sans Serif");
  }));
}

TEST_F(NotesEditor, SelectAllAndDeleteWorkByKeyInTheBodyAndInTheTitle) {
  ASSERT_TRUE(WithNote(1, [](TForm4& f) {
    auto* body = f.Editors()[0];
    ASSERT_EQ(f.ActiveControl(), body);
    Input::Key('A', ssCtrl);
    EXPECT_EQ(body->SelLength(), static_cast<int>(std::string("note 1 body").size()));
    Input::Key(VK_DELETE);
    EXPECT_EQ(body->PlainText(), "");
    Input::Key('Z', ssCtrl);
    EXPECT_EQ(body->PlainText(), "note 1 body") << "undo, an action without a button";
    auto* title = Find<TMemo>(&f, "edit1");
    title->SetFocus();
    Input::Key('A', ssCtrl);
    Input::Key(VK_DELETE);
    Input::Type("diary");
    EXPECT_EQ(title->Text(), "diary");
    EXPECT_EQ(body->PlainText(), "note 1 body");
  }));
  EXPECT_EQ(Label(1)->Caption(), "diary");
}

TEST_F(NotesEditor, ClipboardButtonsFollowTheSelectionOfTheFocusedControl) {
  ASSERT_TRUE(WithNote(1, [](TForm4& f) {
    auto* list = Find<TActionList>(&f, "ActionList1");
    auto* cut = Find<TToolButton>(&f, "ToolButton1");
    auto* copy = Find<TToolButton>(&f, "ToolButton2");
    auto* body = f.Editors()[0];
    body->SetSelection(0, 0);
    list->UpdateActions();
    EXPECT_FALSE(cut->Enabled());
    EXPECT_FALSE(copy->Enabled());
    body->SetSelection(0, 4);
    list->UpdateActions();
    EXPECT_TRUE(cut->Enabled());
    Click(f, "ToolButton2");
    EXPECT_EQ(ClipboardText(), "note");
    Click(f, "ToolButton1");
    EXPECT_EQ(body->PlainText(), " 1 body");
    body->SetSelection(0, 0);
    list->UpdateActions();
    Click(f, "ToolButton3");
    EXPECT_EQ(body->PlainText(), "note 1 body");
  }));
}

TEST_F(NotesEditor, TitlesGoBackToTheLabelsWhenTheEditorCloses) {
  ASSERT_TRUE(WithNote(3, [this](TForm4& f) {
    Find<TControl>(&f, "edit3")->SetText("读书笔记");
    Find<TControl>(&f, "edit1")->SetText("hidden one");
    EXPECT_EQ(Label(3)->Caption(), "title3") << "not before the editor closes";
  }));
  EXPECT_EQ(Label(3)->Caption(), "读书笔记");
  EXPECT_EQ(Label(1)->Caption(), "hidden one");
  EXPECT_EQ(Label(2)->Caption(), "title2");
}

TEST_F(NotesEditor, ABodyThatCannotBeWrittenKeepsTheEditorOpenAndTheOldFileWhole) {
  // Running as root, a read-only directory would not stop the write; the failure is injected
  // just before the new content would replace the second document.
  const std::string old1 = Bytes(1), old2 = Bytes(2), old3 = Bytes(3);
  test::MessageBoxRecorder boxes;
  bool openAfterFailure = false;
  std::string textAfterFailure;
  ASSERT_TRUE(WithNote(2, [&](TForm4& f) {
    // All three bodies are changed, but only the shown one is the user's to write.
    auto editors = f.Editors();
    for (TRichEdit* e : editors) {
      e->SelectAll();
      e->ClearSelection();
    }
    editors[1]->SetFocus();
    Input::Type("changed body");
    ASSERT_TRUE(editors[1]->Modified());
    Find<TControl>(&f, "edit2")->SetText("new title");
    gBeforeAtomicRename = [](const std::string& temp) { return temp.find("a2.rtf") == std::string::npos; };
    Close(f);
    // The close handler runs when the modal loop takes up the close; look once it has failed.
    AfterwardsWhen([&] { return !boxes.boxes.empty(); }, [&] {
      openAfterFailure = f.IsModal() && f.Showing();
      textAfterFailure = f.Editors()[1]->PlainText();
      EXPECT_EQ(Label(2)->Caption(), "new title") << "the labels already show the new titles";
      EXPECT_EQ(Bytes(1), old1) << "a hidden note is not written";
      EXPECT_EQ(Bytes(2), old2) << "the failed document keeps its previous content";
      EXPECT_EQ(Bytes(3), old3) << "a hidden note is not written";
      ASSERT_EQ(f.Editors()[1]->PlainText(), "changed body");
      for (const auto& entry : fs::directory_iterator("dat"))
        EXPECT_EQ(entry.path().filename().string()[0], 'a') << "no temporary file is left";
      gBeforeAtomicRename = nullptr;  // the cause is removed: the next close succeeds
      Close(f);
    });
  }));
  EXPECT_TRUE(openAfterFailure);
  EXPECT_EQ(textAfterFailure, "changed body");
  ASSERT_EQ(boxes.boxes.size(), 1u);
  // The error first, then the choice to leave without saving.
  EXPECT_EQ(boxes.boxes[0].text.rfind("Cannot create file dat\\a2.rtf." + std::string("\n\n"), 0), 0u) << boxes.boxes[0].text;
  EXPECT_EQ(boxes.boxes[0].flags & 0xF0, static_cast<unsigned>(MB_ICONSTOP));
  EXPECT_EQ(LoadRichTextFile(kBodies[1]).Paragraphs.at(0).Text(), "changed body");
  EXPECT_EQ(Bytes(3), old3);
}

// Bodies the user did not change are not written back: whatever they hold that the editor cannot
// show (pictures, tables, link targets, raised text, highlight, line spacing, another code page)
// stays in the file byte for byte. A changed body is written, in its fonts' own code pages.
TEST_F(NotesEditor, UnchangedBodiesKeepTheirBytesAndChangedOnesTheirCodePage) {
  const std::string rich =
      "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}"
      "{\\colortbl ;\\red255\\green255\\blue0;}\r\n"
      "\\pard\\sl360\\slmult1 {\\pict\\pngblip\\picw1\\pich1 89504e470d0a1a0a}\\par\r\n"
      "\\trowd\\cellx1000\\cellx2000 \\intbl a\\cell b\\cell\\row\r\n"
      "\\pard {\\field{\\*\\fldinst HYPERLINK \"http://example.org/\"}{\\fldrslt link}}"
      " x{\\super 2}{\\highlight1 mark}\\par}\r\n";
  const std::string big5 =
      "{\\rtf1\\ansi\\ansicpg950\\deff0{\\fonttbl{\\f0\\fnil\\fcharset136 \\'b7\\'73\\'b2\\'d3\\'a9\\'fa\\'c5\\'e9;}}"
      "\\f0 \\'a9\\'f6\\'b8\\'67\\par}";
  WriteFileAtomically(kBodies[0], rich);
  WriteFileAtomically(kBodies[1], big5);
  WriteFileAtomically(kBodies[2], big5);
  ASSERT_TRUE(WithNote(3, [](TForm4& f) {
    // The first note is only looked at; the shown third one is changed by typing into it.
    auto editors = f.Editors();
    editors[0]->SetSelection(2, 3);
    editors[2]->SetSelection(2, 0);
    editors[2]->SetFocus();
    Input::Type("z");
    EXPECT_FALSE(editors[0]->Modified());
    EXPECT_FALSE(editors[1]->Modified());
    EXPECT_TRUE(editors[2]->Modified());
  }));
  EXPECT_EQ(Bytes(1), rich);
  EXPECT_EQ(Bytes(2), big5);
  // The changed Big5 note is written again, its text in Big5 and its font as it was.
  const std::string third = Bytes(3);
  EXPECT_NE(third, big5);
  EXPECT_NE(third.find("\\fcharset136 \\'b7\\'73\\'b2\\'d3\\'a9\\'fa\\'c5\\'e9;"), std::string::npos) << third;
  EXPECT_NE(third.find("\\'a9\\'f6\\'b8\\'67"), std::string::npos) << third;
  EXPECT_EQ(LoadRichTextFile(kBodies[2]).Paragraphs.at(0).Text(), "易經z");
}
