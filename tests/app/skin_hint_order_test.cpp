// The hint window kind over the life of the program: the about window's skin hint is in force
// after start-up, opening the notes editor switches to the flat hint, creating the about window
// switches back, and destroying the windows leaves nothing that a later hint could reach.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/AboutWindow.h"
#include "app/MainWindow.h"
#include "app/NotesEditor.h"
#include "app/Program.h"
#include "hints/FlatHint.h"
#include "hints/SkinHint.h"
#include "skin/package/SkinData.h"
#include "support/TestSupport.h"

using namespace corvane;

namespace {

bool SkinKind() { return Application->HintWindowClass() == &HintWindowClassOf<TskSkinHintWindow>; }
bool FlatKind() { return Application->HintWindowClass() == &HintWindowClassOf<TFlatHintWindow>; }

}  // namespace

TEST(SkinHintOrder, StartUpEndsWithTheSkinHintAndEachNewWindowSwitchesTheKind) {
  std::filesystem::current_path(test::SourceDir());
  const THintWindowClass saved = Application->HintWindowClass();
  Application->SetHintWindowClass(&HintWindowClassOf<THintWindow>);

  ASSERT_EQ(Application->MainForm(), nullptr) << "the main window is made here";
  // Start-up, window by window: the notes editor installs the flat hint, the about window after
  // it the skin hint.
  Form1 = Application->CreateForm<TForm1>();
  auto* editor = Application->CreateForm<TForm4>();
  EXPECT_TRUE(FlatKind());
  auto* about = Application->CreateForm<TForm5>();
  EXPECT_TRUE(SkinKind()) << "the skin hint is in force once the about window exists";
  EXPECT_EQ(Application->HintShortPause, 100);
  EXPECT_EQ(Application->HintPause, 500) << "left as the flat hint set it";
  EXPECT_EQ(Application->HintHidePause, 5000);

  // The layout's settings.
  auto* hint = Find<TskSkinHint>(about, "skSkinHint1");
  ASSERT_NE(hint, nullptr);
  EXPECT_EQ(hint->SkinData(), Find<TskSkinData>(about, "skSkinData1"));
  EXPECT_TRUE(hint->Active());
  EXPECT_FALSE(hint->AlphaBlend);
  EXPECT_EQ(hint->AlphaBlendValue, 0);
  EXPECT_EQ(hint->DefaultFont().Name(), "MS Sans Serif");
  EXPECT_EQ(hint->DefaultFont().Height(), 11);
  EXPECT_EQ(hint->DefaultFont().Color(), clWindowText);
  EXPECT_TRUE(hint->UseSkinFont);
  EXPECT_EQ(TskSkinHint::Settings(), hint) << "the main window owns none: the about window's";

  // Opening the notes editor switches to the flat hint; creating the about window switches back.
  {
    TForm4 opened(Application);
    EXPECT_TRUE(FlatKind());
  }
  EXPECT_TRUE(FlatKind()) << "closing the editor leaves the class";
  {
    TForm5 opened(Application);
    EXPECT_TRUE(SkinKind());
    EXPECT_EQ(TskSkinHint::Settings(), Find<TskSkinHint>(&opened, "skSkinHint1")) << "the newest one";
  }
  EXPECT_TRUE(SkinKind()) << "closing the about window leaves the class";
  EXPECT_EQ(TskSkinHint::Settings(), hint) << "back to the start-up instance's";

  // An ordinary hint on the main window now comes in the skin's look.
  Form1->Show();
  Application->ProcessMessages();
  TControl* field = Find<TControl>(Form1, "e1");
  const std::string savedHint = field->Hint;
  const bool savedShow = field->ShowHint, savedParent = field->ParentShowHint;
  field->Hint = "输入卦码";
  field->ShowHint = true;
  field->ParentShowHint = false;
  Application->ActivateHint(field->ClientToScreen({3, 3}));
  auto* window = dynamic_cast<TskSkinHintWindow*>(Application->HintWindow());
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->Activated());
  EXPECT_TRUE(window->HasSkin());
  EXPECT_TRUE(window->Showing());
  Application->CancelHint();

  // Destroying every window that holds a hint component: nothing dangles, and the next hint
  // still shows (with the plain look: no skin hint is left to give settings, so nothing).
  delete about;
  delete editor;
  EXPECT_FALSE(Application->HasOnShowHint());
  EXPECT_TRUE(SkinKind());
  EXPECT_EQ(TskSkinHint::Settings(), nullptr);
  Application->ActivateHint(field->ClientToScreen({3, 3}));
  window = dynamic_cast<TskSkinHintWindow*>(Application->HintWindow());
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(window->Activated()) << "no settings source: the window shows nothing";
  EXPECT_FALSE(window->Showing());
  Application->CancelHint();

  field->Hint = savedHint;
  field->ShowHint = savedShow;
  field->ParentShowHint = savedParent;
  delete Form1;
  Form1 = nullptr;
  Application->SetHintWindowClass(saved);
}
