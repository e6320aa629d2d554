// Nothing saved over what somebody else wrote, nothing written that the user did not change, and
// no save that keeps the user from leaving: the notes' bodies and the titles in corvane.ini.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

#include "app/Catalogue.h"
#include "app/MainWindow.h"
#include "app/NotesEditor.h"
#include "platform/core/IniFiles.h"
#include "platform/widgets/ComCtrls.h"
#include "support/TestSupport.h"

using namespace corvane;
namespace fs = std::filesystem;

namespace {

constexpr const char* kBodies[] = {"dat/a1.rtf", "dat/a2.rtf", "dat/a3.rtf"};
constexpr const char* kSection = "用户";

// A working folder of its own with plain-text note bodies, a main window of its own and every
// message box answered by the test.
class LostUpdates : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("corvane-lost-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "dat");
    fs::current_path(dir_);
    for (int i = 0; i < 3; ++i) WriteFileAtomically(kBodies[i], "note " + std::to_string(i + 1) + "\n");
    config_ = ConfigurationPath();
    if (FileExists(config_)) saved_ = ReadFileBytes(config_);
    fs::remove(config_);
    previousForm1_ = Form1;
    gMessageBoxSeam = [this](const TMessageBoxRecord& r) {
      asked_.push_back(r.text);
      if (answers_.empty()) return IDCANCEL;
      int a = answers_.front();
      answers_.erase(answers_.begin());
      return a;
    };
  }
  void TearDown() override {
    gMessageBoxSeam = nullptr;
    main_.reset();
    Form1 = previousForm1_;
    std::error_code ec;
    fs::remove_all(config_, ec);
    if (saved_) WriteFileAtomically(config_, *saved_);
    fs::current_path(test::SourceDir());
    fs::remove_all(dir_);
  }
  TForm1& Main() {
    main_ = std::make_unique<TForm1>(Application);
    Form1 = main_.get();
    main_->Show();
    Application->ProcessMessages();
    return *main_;
  }
  TControl* Label(int note) { return Find<TControl>(main_.get(), "Label" + std::to_string(note + 2)); }
  // Opens a note with a click on its title, runs `inside`, then closes the editor with its
  // close picture.
  void WithNote(int note, std::function<void(TForm4&)> inside) {
    PostCall([&] {
      auto* editor = dynamic_cast<TForm4*>(Screen->ActiveForm());
      ASSERT_TRUE(editor && editor->IsModal());
      inside(*editor);
      Close(*editor);
    });
    Input::ClickOn(Label(note), 2, 2);
  }
  static void Close(TForm4& editor) {
    Input::MoveOver(Find<TControl>(&editor, "ww2"), 5, 5);
    Input::ClickOn(Find<TControl>(&editor, "w2"), 5, 5);
    Application->ProcessMessages();
  }
  static void CloseMain(TForm1& main) {
    Input::MoveOver(Find<TControl>(&main, "ww2"), 5, 5);
    Input::ClickOn(Find<TControl>(&main, "w2"), 5, 5);
    Application->ProcessMessages();
  }
  // The note's whole text replaced, as typing over all of it would.
  static void Type(TForm4& editor, int note, const std::string& text) { editor.Editors()[note - 1]->SetText(text); }

  fs::path dir_;
  std::string config_;
  std::optional<std::string> saved_;
  std::unique_ptr<TForm1> main_;
  TForm1* previousForm1_ = nullptr;
  std::vector<std::string> asked_;
  std::vector<int> answers_;
};

}  // namespace

// A note written by another program while the editor is open: the user is asked, and each answer
// keeps both sides somewhere. Formatting reaches the hidden notes but never their files.
TEST_F(LostUpdates, ANoteChangedOnDiskIsNeverOverwrittenWithoutAskingAndHiddenNotesAreNotWritten) {
  Main();
  // Keep mine.
  answers_ = {IDFIRSTBUTTON};
  WithNote(1, [&](TForm4& e) {
    Type(e, 1, "mine");
    Input::ClickOn(Find<TControl>(&e, "ToolButton19"), 5, 5);  // centre: all three editors
    WriteFileAtomically(kBodies[0], "theirs\n");
    WriteFileAtomically(kBodies[1], "theirs 2\n");
  });
  ASSERT_EQ(asked_.size(), 1u);
  EXPECT_NE(asked_[0].find("dat\\a1.rtf"), std::string::npos) << asked_[0];
  EXPECT_NE(ReadFileBytes(kBodies[0]).find("mine"), std::string::npos);
  EXPECT_EQ(ReadFileBytes(kBodies[1]), "theirs 2\n") << "a hidden note is never written";
  EXPECT_EQ(ReadFileBytes(kBodies[2]), "note 3\n");

  // Keep theirs: the file stays as the other program left it.
  asked_.clear();
  answers_ = {IDFIRSTBUTTON + 1};
  WithNote(1, [&](TForm4& e) {
    Type(e, 1, "mine again");
    WriteFileAtomically(kBodies[0], "theirs again\n");
  });
  EXPECT_EQ(asked_.size(), 1u);
  EXPECT_EQ(ReadFileBytes(kBodies[0]), "theirs again\n");

  // Save mine under a new name: theirs stays in the note, mine goes beside it and the user is
  // told where.
  asked_.clear();
  answers_ = {IDFIRSTBUTTON + 2, IDOK};
  WithNote(2, [&](TForm4& e) {
    Type(e, 2, "my second");
    WriteFileAtomically(kBodies[1], "their second\n");
  });
  ASSERT_EQ(asked_.size(), 2u);
  EXPECT_EQ(ReadFileBytes(kBodies[1]), "their second\n");
  ASSERT_TRUE(FileExists("dat/a2-我的.rtf"));
  EXPECT_NE(ReadFileBytes("dat/a2-我的.rtf").find("my second"), std::string::npos);
  EXPECT_NE(asked_[1].find("dat\\a2-我的.rtf"), std::string::npos) << asked_[1];

  // Unchanged on disk: saved without a question.
  asked_.clear();
  WithNote(3, [&](TForm4& e) { Type(e, 3, "plain"); });
  EXPECT_TRUE(asked_.empty());
  EXPECT_NE(ReadFileBytes(kBodies[2]).find("plain"), std::string::npos);
}

// Quitting writes only the titles the user changed; a title another program changed in the file
// meanwhile is asked about; the other program's other changes stay.
TEST_F(LostUpdates, QuittingWritesOnlyChangedTitlesAndAsksAboutOnesChangedInTheFile) {
  {
    TIniFile ini(config_);
    ini.WriteString(kSection, "自定义1", "one");
    ini.WriteString(kSection, "自定义2", "two");
    ini.WriteString(kSection, "自定义3", "three");
  }
  TForm1& main = Main();
  // Nothing changed: the file is not even rewritten.
  struct stat before {};
  ASSERT_EQ(::stat(config_.c_str(), &before), 0);
  {
    TIniFile other(config_);
    other.WriteString(kSection, "自定义3", "three by another");
  }
  const std::string unchanged = ReadFileBytes(config_);
  Label(1)->SetCaption("one by me");
  Label(2)->SetCaption("two by me");
  {
    TIniFile other(config_);
    other.WriteString(kSection, "自定义2", "two by another");
  }
  answers_ = {IDFIRSTBUTTON + 1};  // keep theirs for title 2
  CloseMain(main);
  ASSERT_EQ(asked_.size(), 1u);
  EXPECT_NE(asked_[0].find("two by another"), std::string::npos) << asked_[0];
  EXPECT_FALSE(main.Visible());
  TIniFile ini(config_);
  EXPECT_EQ(ini.ReadString(kSection, "自定义1", ""), "one by me");
  EXPECT_EQ(ini.ReadString(kSection, "自定义2", ""), "two by another");
  EXPECT_EQ(ini.ReadString(kSection, "自定义3", ""), "three by another");
  EXPECT_NE(unchanged, ReadFileBytes(config_));
}

// A configuration file that can never be written (a FIFO in its place): after the error the user
// may stay or quit, and is told which titles are not saved.
TEST_F(LostUpdates, AConfigurationFileThatCannotBeWrittenLetsTheUserQuitTold) {
  ASSERT_EQ(::mkfifo(config_.c_str(), 0644), 0);
  TForm1& main = Main();
  Label(1)->SetCaption("lost title");
  answers_ = {IDFIRSTBUTTON};  // stay
  CloseMain(main);
  ASSERT_EQ(asked_.size(), 1u);
  EXPECT_NE(asked_[0].find("Unable to write to"), std::string::npos) << asked_[0];
  EXPECT_NE(asked_[0].find("lost title"), std::string::npos) << asked_[0];
  EXPECT_TRUE(main.Visible());
  answers_ = {IDFIRSTBUTTON + 1};  // quit without saving
  CloseMain(main);
  EXPECT_EQ(asked_.size(), 2u);
  EXPECT_FALSE(main.Visible());
  struct stat st {};
  ASSERT_EQ(::lstat(config_.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "what cannot be read is never replaced";
}

// The temporary file of a configuration save that was killed is removed when the titles are read.
TEST_F(LostUpdates, AKilledConfigurationSaveLeavesNothingBehind) {
  const std::string leftover = ExtractFilePath(config_) + "." + ExtractFileName(config_) + ".a1B2c3";
  const std::string other = ExtractFilePath(config_) + "." + ExtractFileName(config_) + ".keep";
  WriteFileAtomically(leftover, "half");
  WriteFileAtomically(other, "not ours");
  Main();
  EXPECT_FALSE(fs::exists(leftover));
  EXPECT_TRUE(fs::exists(other));
  fs::remove(other);
}

// A note that can never be written (marked read-only for everybody): the close shows the error
// and what will not be saved; the user may stay with everything typed, or leave without saving.
TEST_F(LostUpdates, ANoteThatCannotBeWrittenLetsTheUserLeaveTold) {
  Main();
  fs::permissions(kBodies[0], fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  bool stayed = false;
  answers_ = {IDFIRSTBUTTON};  // stay
  PostCall([&] {
    auto* editor = dynamic_cast<TForm4*>(Screen->ActiveForm());
    ASSERT_TRUE(editor && editor->IsModal());
    Type(*editor, 1, "never saved");
    Close(*editor);
    PostCall([&, editor] {
      stayed = Screen->ActiveForm() == editor && editor->IsModal() && editor->Editors()[0]->PlainText() == "never saved";
      answers_ = {IDFIRSTBUTTON + 1};  // leave without saving
      Close(*editor);
    });
  });
  Input::ClickOn(Label(1), 2, 2);
  EXPECT_TRUE(stayed);
  ASSERT_EQ(asked_.size(), 2u);
  EXPECT_NE(asked_[0].find("Cannot create file dat\\a1.rtf."), std::string::npos) << asked_[0];
  EXPECT_NE(asked_[0].find("不会保存"), std::string::npos) << asked_[0];
  EXPECT_EQ(ReadFileBytes(kBodies[0]), "note 1\n");
  EXPECT_EQ(Screen->ActiveForm(), main_.get());
}
