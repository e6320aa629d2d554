// The program's windows driven with synthetic input: start-up, tiles, highlights, pages, lookup,
// reference texts, the error box and dragging.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "app/AboutWindow.h"
#include "app/Catalogue.h"
#include "app/MainWindow.h"
#include "app/NotesEditor.h"
#include "app/Program.h"
#include "app/ReadingWindow.h"
#include "app/ReferenceWindow.h"
#include "platform/windows/OnScreen.h"
#include "support/TestSupport.h"

using namespace corvane;

namespace {

// One start-up for the whole suite (building the five windows decodes every picture).
class Windows : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::filesystem::current_path(test::SourceDir());
    CreateStartupWindows(*Application);
    startup_ = {Form1, Form2, Form3, Form4, Form5};
    main_ = Form1;
    main_->Show();
    Application->ProcessMessages();
  }
  static void TearDownTestSuite() {
    // The current references of the secondary windows name destroyed instances by now; the
    // start-up instances are the ones still alive.
    for (auto it = startup_.rbegin(); it != startup_.rend(); ++it) delete *it;
    Form1 = nullptr;
  }
  void SetUp() override {
    std::filesystem::current_path(test::SourceDir());
    Form1 = main_;
    Form1->ShowPage1();
    Form1->HideAllHighlights();
  }
  static TControl* C(const std::string& name) { return Find<TControl>(Form1, name); }
  // Runs `inside` within the next modal loop, then closes whatever window is modal.
  static void InModal(std::function<void(TForm*)> inside) {
    PostCall([inside] {
      TForm* modal = Screen->ActiveForm();
      inside(modal);
      if (modal && modal->IsModal()) modal->Close();
    });
  }
  static int LiveForms() { return Screen->FormCount(); }
  static TForm1* main_;
  static std::vector<TForm*> startup_;
};
TForm1* Windows::main_ = nullptr;
std::vector<TForm*> Windows::startup_;

}  // namespace

TEST_F(Windows, StartUpCreatesFiveWindowsAndShowsOnlyTheMainOne) {
  EXPECT_EQ(Application->MainForm(), Form1);
  EXPECT_EQ(Form1->Caption(), "Corvane");
  EXPECT_EQ(Form1->ClientWidth(), 906);
  EXPECT_EQ(Form1->ClientHeight(), 634);
  ASSERT_NE(Form2, nullptr);
  ASSERT_NE(Form5, nullptr);
  EXPECT_FALSE(Form2->Visible());
  EXPECT_FALSE(Form3->Visible());
  EXPECT_FALSE(Form4->Visible());
  EXPECT_FALSE(Form5->Visible());
  EXPECT_EQ(Form1->ActiveControl(), C("e1"));
  // Centred on the screen.
  EXPECT_EQ(Form1->Left(), (Screen->Width() - 906) / 2);
}

TEST_F(Windows, EveryTileOpensItsOwnDocumentAndShowsExactlyItsPicture) {
  std::set<std::string> opened;
  for (const THexagram& h : Catalogue()) {
    if (h.page == 1) Form1->ShowPage1(); else Form1->ShowPage2();
    std::string seenPicture, seenText;
    int visiblePictures = 0;
    InModal([&](TForm* f) {
      for (const THexagram& other : Catalogue())
        if (Find<TControl>(f, HexagramPicture(other.code))->Visible()) {
          ++visiblePictures;
          seenPicture = HexagramPicture(other.code);
        }
      seenText = Find<TRichEdit>(f, "richedit1")->PlainText();
    });
    Input::ClickOn(C(h.tile), 10, 10);
    EXPECT_EQ(visiblePictures, 1) << h.code;
    EXPECT_EQ(seenPicture, HexagramPicture(h.code));
    EXPECT_NE(seenText.find(h.name), std::string::npos) << h.code;
    opened.insert(seenPicture);
  }
  EXPECT_EQ(opened.size(), 64u);
  EXPECT_EQ(LiveForms(), 5);  // every reading window was destroyed again
}

TEST_F(Windows, HighlightsFollowThePointerAndSurvivePageSwitches) {
  Input::MoveOver(C("Image1"), 400, 20);
  Input::MoveOver(C("ii1"), 10, 40);
  EXPECT_TRUE(C("q1")->Visible());
  Input::MoveOver(C("Image4"), 10, 40);  // a jump straight onto the next tile
  EXPECT_TRUE(C("q1")->Visible());
  EXPECT_TRUE(C("q2")->Visible());
  Form1->ShowPage2();
  Form1->ShowPage1();
  EXPECT_TRUE(C("q2")->Visible());
  Input::MoveOver(C("thImagePanel1"), 50, 300);  // the page itself, between tiles
  EXPECT_FALSE(C("q1")->Visible());
  EXPECT_FALSE(C("q2")->Visible());
  // Picture buttons: the hover stays while the pointer rests on it.
  Input::MoveOver(C("ww2"), 5, 5);
  EXPECT_TRUE(C("w2")->Visible());
  Input::MoveOver(C("w2"), 20, 20);
  EXPECT_TRUE(C("w2")->Visible());
  Input::MoveOver(C("Image1"), 400, 20);
  EXPECT_FALSE(C("w2")->Visible());
  // Leaving the window straight from a tile or a hover picture leaves the highlight up.
  Input::MoveOver(C("Image5"), 10, 40);
  Input::MouseMove({2, 2});
  EXPECT_TRUE(C("q3")->Visible());
  Input::MoveOver(C("ww1"), 5, 5);
  Input::MoveOver(C("w1"), 10, 10);
  Input::MouseMove({2, 2});
  EXPECT_TRUE(C("w1")->Visible());
  Input::MoveOver(C("Image1"), 400, 20);
  EXPECT_FALSE(C("q3")->Visible());
  EXPECT_FALSE(C("w1")->Visible());
}

TEST_F(Windows, PageTabsSwitchPages) {
  Input::ClickOn(C("thImagePanel5"), 20, 10);  // left tab on page 1: nothing happens
  EXPECT_TRUE(C("thImagePanel1")->Visible());
  Input::ClickOn(C("thImagePanel4"), 20, 10);
  EXPECT_FALSE(C("thImagePanel1")->Visible());
  EXPECT_TRUE(C("thImagePanel2")->Visible());
  EXPECT_TRUE(C("thImagePanel3")->Visible());
  EXPECT_TRUE(C("thImagePanel6")->Visible());
  Input::ClickOn(C("thImagePanel6"), 20, 10);  // right tab again: back to page 1
  EXPECT_TRUE(C("thImagePanel1")->Visible());
  EXPECT_TRUE(C("thImagePanel4")->Visible());
}

TEST_F(Windows, LabelsTurnYellowUnderThePointerAndWhiteAfterwards) {
  EXPECT_EQ(C("Label4")->Font().Color(), 12632256);
  Input::MoveOver(C("Label4"), 1, 3);  // an empty title is a label only a few pixels wide
  EXPECT_EQ(C("Label4")->Font().Color(), 65535);
  Input::MoveOver(C("Image1"), 400, 20);
  EXPECT_EQ(C("Label4")->Font().Color(), 16777215);
}

TEST_F(Windows, LookupOpensExactCodesAndGuidesOtherwise) {
  test::MessageBoxRecorder boxes;
  auto* e1 = Find<TEdit>(Form1, "e1");
  std::string opened;
  for (const char* text : {"", "11111", "1111111", "111113", " 111111", "１１１１１１"}) {
    e1->SetText(text);
    Input::ClickOn(C("thButton1"), 10, 10);
    EXPECT_EQ(LiveForms(), 5) << text;
  }
  ASSERT_EQ(boxes.boxes.size(), 6u);
  EXPECT_EQ(boxes.boxes[0].text, TForm1::kGuidance);
  EXPECT_EQ(boxes.boxes[0].caption, "Corvane");
  EXPECT_EQ(boxes.boxes[0].flags & 0xF0, 0u);  // no icon
  EXPECT_EQ(boxes.boxes[0].buttons, std::vector<std::string>{"OK"});
  EXPECT_EQ(e1->Text(), "１１１１１１");  // the field keeps its text
  // ... and has the keyboard again with all of it selected, ready for the next code.
  EXPECT_EQ(Form1->ActiveControl(), e1);
  EXPECT_EQ(e1->SelLength(), 6);

  e1->SetText("222222");
  InModal([&](TForm* f) {
    if (Find<TControl>(f, "q222222")->Visible()) opened = "222222";
  });
  Input::ClickOn(C("thButton1"), 10, 10);
  EXPECT_EQ(opened, "222222");
  EXPECT_EQ(boxes.boxes.size(), 6u);
}

TEST_F(Windows, EnterInTheFieldLooksUpAndGivesTheFieldTheKeyboardBack) {
  test::MessageBoxRecorder boxes;
  auto* e1 = Find<TEdit>(Form1, "e1");
  e1->SetText("");
  e1->SetFocus();
  Input::Key(VK_RETURN);
  EXPECT_EQ(Form1->ActiveControl(), e1);
  ASSERT_EQ(boxes.boxes.size(), 1u) << boxes.boxes.back().text;
  EXPECT_EQ(e1->Text(), "");  // nothing was inserted
  e1->SetText("111111");
  e1->SetFocus();
  bool shown = false;
  InModal([&](TForm* f) { shown = Find<TControl>(f, "q111111")->Visible(); });
  Input::Key(VK_RETURN);
  EXPECT_TRUE(shown);
  EXPECT_EQ(boxes.boxes.size(), 1u);
}

TEST_F(Windows, SideTabsHighlightAndOpenReadOnlyReferenceTexts) {
  Input::MoveOver(C("sq1"), 5, 5);
  EXPECT_TRUE(C("ss1")->Visible());
  Input::MoveOver(C("sq2"), 5, 50);  // straight to the next tab
  EXPECT_FALSE(C("ss1")->Visible());
  EXPECT_TRUE(C("ss2")->Visible());
  std::string text;
  bool readOnly = false;
  InModal([&](TForm* f) {
    auto* r = Find<TRichEdit>(f, "richedit1");
    text = r->PlainText();
    readOnly = r->ReadOnly();
    EXPECT_EQ(f->ClassName(), "TForm3");
  });
  Input::ClickOn(C("ss2"), 5, 50);
  EXPECT_NE(text.find("硬币"), std::string::npos);
  EXPECT_TRUE(readOnly);
  EXPECT_TRUE(C("ss2")->Visible());  // the highlight is still there after the window closed
}

TEST_F(Windows, AMissingDocumentShowsOnlyTheErrorBoxAndLeavesNoWindow) {
  auto empty = std::filesystem::temp_directory_path() / "corvane-no-dat";
  std::filesystem::create_directories(empty);
  std::filesystem::current_path(empty);
  test::MessageBoxRecorder boxes;
  Input::ClickOn(C("ii1"), 10, 10);
  // A press and release where the hidden ss3 lies reach the side tab beneath it, which opens
  // nothing. (Moving the pointer there first would show ss3, as it does for the user.)
  TPoint hidden = C("ss3")->ClientToScreen({0, 0});
  Input::MouseDown(hidden);
  Input::MouseUp(hidden);
  Input::MoveOver(C("sq3"), 5, 5);
  Input::ClickOn(C("ss3"), 5, 5);
  ASSERT_EQ(boxes.boxes.size(), 2u);
  EXPECT_EQ(boxes.boxes[0].text, "Cannot open file dat\\111111.rtf.");
  EXPECT_EQ(boxes.boxes[0].caption, "Corvane");
  EXPECT_EQ(boxes.boxes[0].flags & 0xF0, static_cast<unsigned>(MB_ICONSTOP));
  EXPECT_EQ(boxes.boxes[1].text, "Cannot open file dat\\shijian.rtf.");
  EXPECT_EQ(LiveForms(), 5);
  EXPECT_TRUE(Form1->Enabled());
}

TEST_F(Windows, TwoOpeningsGiveTwoFreshCentredInstances) {
  std::vector<TForm*> seen;
  std::vector<std::string> memoTexts;
  for (int i = 0; i < 2; ++i) {
    InModal([&](TForm* f) {
      seen.push_back(f);
      auto* memo = Find<TMemo>(f, "Memo1");
      memoTexts.push_back(memo->Lines().at(0));
      memo->SetText("typed");
      EXPECT_EQ(f->Left(), (Screen->Width() - 604) / 2);
    });
    Input::ClickOn(C("ii1"), 10, 10);
  }
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(memoTexts[1], memoTexts[0]);  // nothing typed carries over
  EXPECT_EQ(memoTexts[0], "摇卦中有老阳、老阴时，原来的卦叫本卦，爻变后的叫之卦，例如丰之");
}

TEST_F(Windows, MinimiseTakesEveryWindowAwayAndRestoreBringsTheModalOneBack) {
  bool modalShownAfterRestore = false;
  InModal([&](TForm* f) {
    Input::MoveOver(Find<TControl>(f, "ww1"), 5, 5);
    Input::ClickOn(Find<TControl>(f, "w1"), 5, 5);
    EXPECT_TRUE(Application->Minimized());
    EXPECT_FALSE(f->Showing());
    // The window manager minimises and restores some time after the program asks: until it has
    // done both, its late report of the minimise would take the main window away again under the
    // next test. Wait for each report, not for a time.
    EXPECT_TRUE(test::RunUntil([] { return !ShownOnScreen(Form1); }, 20000));
    Application->Restore();
    modalShownAfterRestore = f->Showing() && Screen->ActiveForm() == f;
    EXPECT_TRUE(test::RunUntil([] { return ShownOnScreen(Form1); }, 20000));
  });
  Input::ClickOn(C("ii1"), 10, 10);
  EXPECT_TRUE(modalShownAfterRestore);
  EXPECT_TRUE(Form1->Showing());
}

TEST_F(Windows, DraggingTheBackgroundMovesTheMainWindow) {
  int left = Form1->Left(), top = Form1->Top();
  TPoint start = C("Image1")->ClientToScreen({400, 20});
  PostCall([start] {
    Input::MouseMove({start.X + 30, start.Y + 12});
    Input::MouseUp({start.X + 30, start.Y + 12}, TMouseButton::mbRight);
  });
  Input::MouseMove(start);
  Input::MouseDown(start, TMouseButton::mbRight);
  EXPECT_EQ(Form1->Left(), left + 30);
  EXPECT_EQ(Form1->Top(), top + 12);
  Form1->SetBounds(left, top, Form1->Width(), Form1->Height());
}
