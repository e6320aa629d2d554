// The note titles in the configuration file: read when the main window is created, written when
// it closes, a failed write keeping the window open until a later close succeeds.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "app/Catalogue.h"
#include "app/MainWindow.h"
#include "platform/core/Encoding.h"
#include "support/TestSupport.h"

using namespace corvane;

namespace {

// GBK bytes of 用户 and 自定义.
const std::string kSection = "[\xD3\xC3\xBB\xA7]";
const std::string kKey = "\xD7\xD4\xB6\xA8\xD2\xE5";

class NoteTitles : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::current_path(test::SourceDir());
    path_ = ConfigurationPath();
    if (FileExists(path_)) saved_ = ReadFileBytes(path_);
    std::filesystem::remove(path_);
    previousForm1_ = Form1;
  }
  void TearDown() override {
    gBeforeAtomicRename = nullptr;
    form_.reset();
    Form1 = previousForm1_;
    std::filesystem::remove(path_);
    if (saved_) WriteFileAtomically(path_, *saved_);
  }
  // A main window as the program creates it (not the application's main form, so that closing it
  // hides it instead of ending the test program).
  TForm1& Create() {
    form_ = std::make_unique<TForm1>(Application);
    Form1 = form_.get();
    return *form_;
  }
  TControl* Label(int note) { return Find<TControl>(form_.get(), "Label" + std::to_string(note + 2)); }
  // Closes through the close picture, as the user does.
  void ClickClose() {
    form_->Show();
    Application->ProcessMessages();
    Input::MoveOver(Find<TControl>(form_.get(), "ww2"), 5, 5);
    Input::ClickOn(Find<TControl>(form_.get(), "w2"), 5, 5);
  }
  std::string Bytes() const { return ReadFileBytes(path_); }

  std::string path_;
  std::optional<std::string> saved_;
  std::unique_ptr<TForm1> form_;
  TForm1* previousForm1_ = nullptr;
};

}  // namespace

TEST_F(NoteTitles, TheConfigurationFileLivesBesideTheProgram) {
  EXPECT_EQ(path_, ExtractFilePath(ParamStr0()) + "corvane.ini");
  EXPECT_EQ(path_.front(), '/');
}

TEST_F(NoteTitles, FirstRunShowsTheLayoutCaptionsAndClosingStoresThem) {
  Create();
  const char* const captions[] = {"自定义之一", "自定义之二", "自定义之三"};
  for (int note = 1; note <= 3; ++note) EXPECT_EQ(Label(note)->Caption(), captions[note - 1]) << note;
  EXPECT_FALSE(FileExists(path_)) << "reading creates nothing";
  ClickClose();
  EXPECT_FALSE(form_->Visible());
  EXPECT_EQ(Bytes(), kSection + "\r\n" + kKey + "1=" + Utf8ToGbk(captions[0]) + "\r\n" + kKey + "2=" +
                         Utf8ToGbk(captions[1]) + "\r\n" + kKey + "3=" + Utf8ToGbk(captions[2]) + "\r\n");
}

TEST_F(NoteTitles, AnEmptyStoredTitleStaysEmptyButItsLabelKeepsItsLayoutBox) {
  WriteFileAtomically(path_, kSection + "\r\n" + kKey + "1=\r\n" + kKey + "2=\xC7\xAC\xC7\xAC\xC7\xAC\xC7\xAC\xC7\xAC\xC7\xAC\r\n");
  Create();
  EXPECT_EQ(Label(1)->Caption(), "");
  EXPECT_EQ(Label(1)->BoundsRect(), Bounds(569, 595, 60, 12)) << "an empty title is still a target of 60 x 12";
  EXPECT_EQ(Label(3)->Caption(), "") << "a missing key in an existing file reads as empty";
  EXPECT_EQ(Label(3)->BoundsRect(), Bounds(729, 595, 60, 12));
  EXPECT_EQ(Label(2)->Caption(), "乾乾乾乾乾乾");
  EXPECT_GT(Label(2)->Width(), 60) << "a longer title widens its label";
  Label(2)->SetCaption("");
  EXPECT_EQ(Label(2)->BoundsRect(), Bounds(649, 595, 60, 12)) << "and clearing it gives the box back";
}

TEST_F(NoteTitles, StoredTitlesReplaceTheLayoutCaptions) {
  WriteFileAtomically(path_, kSection + "\r\n" + kKey + "1=\xC7\xAC\r\n" + kKey + "3=\xC0\xA4\r\n");  // 乾, 坤
  Create();
  EXPECT_EQ(Label(1)->Caption(), "乾");
  EXPECT_EQ(Label(2)->Caption(), "") << "a missing key reads as empty, not as the layout caption";
  EXPECT_EQ(Label(3)->Caption(), "坤");
}

TEST_F(NoteTitles, ClosingWritesEveryLabelAndTheNextStartReadsThemBack) {
  Create();
  Label(1)->SetCaption("读书笔记");
  Label(2)->SetCaption("占例");
  Label(3)->SetCaption("Notes & more");
  ClickClose();
  ASSERT_FALSE(form_->Visible());
  Create();
  EXPECT_EQ(Label(1)->Caption(), "读书笔记");
  EXPECT_EQ(Label(2)->Caption(), "占例");
  EXPECT_EQ(Label(3)->Caption(), "Notes & more");
  EXPECT_NE(Bytes().find(Utf8ToGbk("读书笔记")), std::string::npos) << "stored as GBK";
}

TEST_F(NoteTitles, ATitleWithLineBreaksIsStoredOnOneLineWithBlanks) {
  Create();
  Label(1)->SetCaption("上经\r\n下经");
  Label(2)->SetCaption("a\nb\rc");
  Label(3)->SetCaption("[用户]");
  ClickClose();
  ASSERT_FALSE(form_->Visible());
  EXPECT_EQ(Bytes(), kSection + "\r\n" + kKey + "1=" + Utf8ToGbk("上经 下经") + "\r\n" + kKey + "2=a b c\r\n" + kKey +
                         "3=" + Utf8ToGbk("[用户]") + "\r\n");
  Create();
  EXPECT_EQ(Label(1)->Caption(), "上经 下经");
  EXPECT_EQ(Label(2)->Caption(), "a b c");
  EXPECT_EQ(Label(3)->Caption(), "[用户]");
}

TEST_F(NoteTitles, AnUnwritableFileKeepsTheWindowOpenAndALaterCloseSucceeds) {
  test::MessageBoxRecorder boxes;
  Create();
  Label(1)->SetCaption("新标题");
  gBeforeAtomicRename = [](const std::string&) { return false; };
  ClickClose();
  ASSERT_EQ(boxes.boxes.size(), 1u);
  // The error first, then the choice to leave without saving.
  EXPECT_EQ(boxes.boxes[0].text.rfind("Unable to write to " + path_ + "." + std::string("\n\n"), 0), 0u) << boxes.boxes[0].text;
  EXPECT_EQ(boxes.boxes[0].caption, "Corvane");
  EXPECT_EQ(boxes.boxes[0].flags & 0xF0, MB_ICONSTOP);
  EXPECT_TRUE(form_->Visible()) << "the close is abandoned";
  EXPECT_FALSE(FileExists(path_));

  ClickClose();  // still failing: every close tries again
  EXPECT_EQ(boxes.boxes.size(), 2u);
  EXPECT_TRUE(form_->Visible());

  gBeforeAtomicRename = nullptr;
  ClickClose();
  EXPECT_EQ(boxes.boxes.size(), 2u);
  EXPECT_FALSE(form_->Visible());
  EXPECT_EQ(TIniFile(path_).ReadString("用户", "自定义1", ""), "新标题");
}

TEST_F(NoteTitles, TitlesAfterAFailedWriteAreNotWritten) {
  test::MessageBoxRecorder boxes;
  WriteFileAtomically(path_, kSection + "\r\n" + kKey + "1=old1\r\n" + kKey + "2=old2\r\n" + kKey + "3=old3\r\n");
  Create();
  for (int note = 1; note <= 3; ++note) Label(note)->SetCaption("new" + std::to_string(note));
  int writes = 0;
  gBeforeAtomicRename = [&writes](const std::string&) { return ++writes != 2; };  // the second write fails
  ClickClose();
  EXPECT_TRUE(form_->Visible());
  TIniFile ini(path_);
  EXPECT_EQ(ini.ReadString("用户", "自定义1", ""), "new1");
  EXPECT_EQ(ini.ReadString("用户", "自定义2", ""), "old2");
  EXPECT_EQ(ini.ReadString("用户", "自定义3", ""), "old3");
}

TEST_F(NoteTitles, OtherContentOfTheFileSurvivesTheClose) {
  const std::string other = "; written by hand\r\n[other]\r\nkey=value\r\n\r\n";
  WriteFileAtomically(path_, other + kSection + "\r\n" + kKey + "2=x\r\n");
  Create();
  Label(1)->SetCaption("y");
  ClickClose();
  EXPECT_EQ(Bytes(), other + kSection + "\r\n" + kKey + "2=x\r\n" + kKey + "1=y\r\n");
}
