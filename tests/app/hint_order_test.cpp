// The hint window class over the life of the notes editor: every editor created installs the flat
// hint window again, and a destroyed editor leaves nothing behind that could be called.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/NotesEditor.h"
#include "hints/FlatHint.h"
#include "support/TestSupport.h"

using namespace corvane;

TEST(HintOrder, EveryNotesEditorInstallsTheFlatWindowAndLeavesNothingToCallWhenDestroyed) {
  std::filesystem::current_path(test::SourceDir());
  const THintWindowClass saved = Application->HintWindowClass();
  Application->SetHintWindowClass(&HintWindowClassOf<THintWindow>);
  Application->SetOnShowHint(nullptr);

  auto editor = std::make_unique<TForm4>(Application);
  auto* flat = Find<TFlatHint>(editor.get(), "FlatHint1");
  EXPECT_EQ(Application->HintWindowClass(), &HintWindowClassOf<TFlatHintWindow>);
  EXPECT_TRUE(Application->HasOnShowHint());
  EXPECT_EQ(TFlatHint::Settings(), flat) << "the main window owns no flat hint: the editor's is used";
  EXPECT_EQ(flat->Font().Name(), "MS Sans Serif");
  EXPECT_EQ(flat->Font().Height(), -11);

  // The application's class changes in between (as the about window's skin hint does) ...
  Application->SetHintWindowClass(&HintWindowClassOf<THintWindow>);
  // ... and the next editor installs the flat window again.
  auto second = std::make_unique<TForm4>(Application);
  EXPECT_EQ(Application->HintWindowClass(), &HintWindowClassOf<TFlatHintWindow>);
  EXPECT_EQ(TFlatHint::Settings(), Find<TFlatHint>(second.get(), "FlatHint1"));

  second.reset();
  editor.reset();
  EXPECT_FALSE(Application->HasOnShowHint());
  EXPECT_EQ(Application->HintWindowClass(), &HintWindowClassOf<TFlatHintWindow>) << "the class stays";
  EXPECT_EQ(TFlatHint::Settings(), nullptr);

  // A hint after both editors are gone still shows, with the flat window's own defaults.
  TForm form(nullptr);
  form.SetBorderStyle(TFormBorderStyle::bsNone);
  form.SetBounds(300, 300, 200, 100);
  form.ShowHint = true;
  form.Hint = "加粗";
  form.Show();
  Application->ProcessMessages();
  Application->ActivateHint(form.ClientToScreen({10, 10}));
  ASSERT_NE(Application->HintWindow(), nullptr);
  EXPECT_EQ(Application->HintWindow()->ClassName(), "TFlatHintWindow");
  EXPECT_TRUE(Application->HintWindow()->Showing());
  EXPECT_EQ(Application->HintWindow()->Caption(), "加粗");
  Application->CancelHint();
  Application->SetHintWindowClass(saved);
}
