// Casting as a user meets it on the desktop: a cast code typed into the lookup field, the coin
// and clock windows' 起卦 button, and the journal opened from the main window's right-click menu.
// Real key presses and clicks through the X server; what the user sees is checked on the screen.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "app/AboutWindow.h"
#include "app/CastView.h"
#include "app/Catalogue.h"
#include "app/Journal.h"
#include "app/JournalWindow.h"
#include "app/MainWindow.h"
#include "app/NotesEditor.h"
#include "app/Program.h"
#include "app/ReadingWindow.h"
#include "app/ReferenceWindow.h"
#include "desktop/RealInput.h"
#include "platform/widgets/StdCtrls.h"
#include "skin/frame/SkinMenu.h"
#include "support/TestSupport.h"

using namespace corvane;
using test::Steps;
using test::In;
using test::Modal;
namespace fs = std::filesystem;

namespace {

// The program started once in a folder of its own with its documents, and a journal there.
class Cast : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    program_.Start("corvane-cast");
    ResetProgramJournal();  // the journal beside dat/, as for a program run from its folder
    main_ = Form1;
    main_->Show();
    gTossPauseMs = 150;
    gClockPauseMs = 1200;
  }
  static void TearDownTestSuite() {
    ResetProgramJournal();
    program_.Stop();
    gCastClock = LocalTimeNow;
  }
  void SetUp() override {
    Form1 = main_;
    ASSERT_TRUE(test::WaitFor([&] { return input_.IsActive(main_); }))
        << "the main window did not become active";
  }

  static TPoint CentreOf(TControl* c) { return c->ClientToScreen({c->Width() / 2, c->Height() / 2}); }
  bool Active(TForm* f) { return input_.IsActive(f); }
  // The control is what the screen shows at its centre: its window is the top one there.
  bool SeenOnTop(TControl* c) { return c->Showing() && input_.TopWindowAt(CentreOf(c)) == test::WindowOf(c->ParentForm()); }
  // Pixels of a colour (0xRRGGBB) the screen shows in a rectangle of a control, every 2 pixels.
  int PixelsOf(TControl* c, TRect r, uint32_t rgb) {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; y += 2)
      for (int x = r.Left; x < r.Right; x += 2)
        if (input_.ScreenPixel(c->ClientToScreen({x, y})) == rgb) ++n;
    return n;
  }
  // Opens side tab 2 or 3 (the coin or the clock window) as the user does.
  Steps& OpenSideTab(Steps& s, int tab, TForm3*& window) {
    const std::string ss = "ss" + std::to_string(tab);
    return s.Do([this, ss] { input_.MoveTo(In(main_, ss, 10, 40)); })
        .Until("the side tab lights up", [ss] { return Find<TControl>(main_, ss)->Visible(); })
        .Click(input_, [ss] { return In(main_, ss, 10, 40); })
        .Until("the reference window", [&window] { return (window = Modal<TForm3>()) != nullptr; })
        .Until("the reference window is active", [this, &window] { return Active(window); });
  }
  Steps& CloseWindow(Steps& s, std::function<TForm*()> form, const std::string& what) {
    return s.Do([this, form] { input_.MoveTo(In(form(), "ww2", 16, 16)); })
        .Until(what + ": the close button lights up", [form] { return Find<TControl>(form(), "w2")->Visible(); })
        .Click(input_, [form] { return In(form(), "w2", 16, 16); });
  }

  static inline test::ProgramInFolder program_;
  static TForm1* main_;
  test::RealInput input_;
};
TForm1* Cast::main_ = nullptr;

// The highlight of the text a rule reads first, as the screen shows it.
constexpr uint32_t kMainPassageRgb = 0xFFF070;

}  // namespace

TEST_F(Cast, ACastCodeTypedIntoTheLookupOpensTheCastReadingWithItsChangedHexagramAndTheTextsToRead) {
  TForm2* reading = nullptr;
  TForm2* changed = nullptr;
  const size_t before = ProgramJournal().List().size();
  Steps s;
  s.Click(input_, [] { return In(main_, "e1", 20, 8); })
      .Until("the field has the focus", [] { return main_->ActiveControl() == Find<TControl>(main_, "e1"); })
      .Do([&] { input_.Key("ctrl+a"); input_.Type("798677"); input_.Key("Return"); })
      .Until("the cast reading", [&] { return (reading = Modal<TForm2>()) != nullptr && Active(reading); })
      .Do([&] {
        // 中孚, lines 2 and 4 moving: the changed hexagram 益 beside it, ○ and × beside the lines.
        EXPECT_TRUE(SeenOnTop(Find<TControl>(reading, "q112211")));
        ASSERT_NE(reading->ChangedPicture(), nullptr);
        EXPECT_TRUE(SeenOnTop(reading->ChangedPicture()));
        ASSERT_EQ(reading->MovingMarks().size(), 2u);
        EXPECT_TRUE(SeenOnTop(reading->MovingMarks()[0]));
      })
      // The commentary opens at 六四, the upper moving line, marked.
      .Until("the first text to read shows highlighted at the top of the commentary", [&] {
        auto* view = Find<TControl>(reading, "richedit1");
        return PixelsOf(view, TRect(0, 0, 120, 16), kMainPassageRgb) > 20;
      })
      .Do([&] {
        auto* view = Find<TRichEdit>(reading, "richedit1");
        view->SetSelection(reading->PassagePositions()[0], 3);
        EXPECT_EQ(view->SelText(), "六四：");
      })
      // A click on the changed hexagram opens its own reading above.
      .Click(input_, [&] { return CentreOf(reading->ChangedPicture()); })
      .Until("the changed hexagram's reading", [&] {
        changed = Modal<TForm2>();
        return changed && changed != reading && Active(changed);
      })
      .Do([&] { EXPECT_TRUE(SeenOnTop(Find<TControl>(changed, "q122111"))); });
  CloseWindow(s, [&] { return changed; }, "the changed reading")
      .Until("back at the cast reading", [&] { return Modal<TForm2>() == reading && Active(reading); });
  CloseWindow(s, [&] { return reading; }, "the cast reading")
      .Until("back at the main window", [&] { return Screen->ActiveForm() == main_ && Active(main_); });
  EXPECT_EQ(s.Run(), "");
  const auto entries = ProgramJournal().List();
  ASSERT_EQ(entries.size(), before + 1);
  EXPECT_EQ(entries[0].code, "798677");
  EXPECT_EQ(entries[0].method, "卦码");
}

TEST_F(Cast, TheCoinWindowsButtonTossesLineAfterLineThenOpensTheReadingOfWhatFell) {
  TForm3* coins = nullptr;
  TForm2* reading = nullptr;
  Steps s;
  OpenSideTab(s, 2, coins)
      .Until("the question field has the keyboard", [&] { return coins->ActiveControl() == Find<TControl>(coins, "castQuestion"); })
      .Do([&] { input_.Type("换工作吗"); })
      .Until("the question is typed", [&] { return Find<TControl>(coins, "castQuestion")->Text() == "换工作吗"; })
      .Click(input_, [&] { return CentreOf(Find<TControl>(coins, "castButton")); })
      .Until("the first toss shows over the text", [&] { return coins->CastView()->Tosses().size() == 1 && SeenOnTop(coins->CastView()); })
      .Do([&] { EXPECT_EQ(Modal<TForm2>(), nullptr) << "the reading waits for all six lines"; })
      .Until("the third toss", [&] { return coins->CastView()->Tosses().size() == 3; })
      .Do([&] {
        EXPECT_EQ(Modal<TForm2>(), nullptr);
        EXPECT_FALSE(Find<TControl>(coins, "castButton")->Enabled());
      })
      .Until("the cast reading", [&] { return (reading = Modal<TForm2>()) != nullptr && Active(reading); }, 8000)
      .Do([&] {
        ASSERT_EQ(coins->CastView()->Tosses().size(), 6u);
        std::string fell;
        for (const TToss& t : coins->CastView()->Tosses()) fell += std::to_string(t.value);
        ASSERT_TRUE(reading->Cast());
        EXPECT_EQ(reading->Cast()->Code(), fell);
        EXPECT_TRUE(SeenOnTop(Find<TControl>(reading, HexagramPicture(reading->Cast()->PrimaryCode()))));
      });
  CloseWindow(s, [&] { return reading; }, "the cast reading")
      .Until("the coin window again, its text back", [&] {
        return Active(coins) && SeenOnTop(Find<TControl>(coins, "richedit1")) && !coins->CastView()->Visible() &&
               Find<TControl>(coins, "castButton")->Enabled();
      });
  CloseWindow(s, [&] { return coins; }, "the coin window")
      .Until("back at the main window", [&] { return Screen->ActiveForm() == main_ && Active(main_); });
  EXPECT_EQ(s.Run(), "");
  const auto entries = ProgramJournal().List();
  ASSERT_FALSE(entries.empty());
  EXPECT_EQ(entries[0].method, "硬币");
  EXPECT_EQ(entries[0].question, "换工作吗");
}

TEST_F(Cast, TheClockWindowsButtonShowsTheNumbersOfTheTimeThenOpensItsReading) {
  gCastClock = [] { return TLocalTime{2024, 4, 17, 11, 30}; };  // 甲辰年三月初九午时
  TForm3* clock = nullptr;
  TForm2* reading = nullptr;
  Steps s;
  OpenSideTab(s, 3, clock)
      .Click(input_, [&] { return CentreOf(Find<TControl>(clock, "castButton")); })
      .Until("the numbers show over the text", [&] { return !clock->CastView()->Lines().empty() && SeenOnTop(clock->CastView()); })
      .Do([&] {
        EXPECT_EQ(clock->CastView()->Lines()[0], "甲辰年 三月 初九 午时：5 + 3 + 9 + 7");
        EXPECT_EQ(clock->CastView()->Lines().back(), "本卦 222111 天地否，上爻动 → 之卦 222112 泽地萃");
      })
      .Holds("the numbers stay a moment before the reading", [] { return Modal<TForm2>() == nullptr; }, 600)
      .Until("the cast reading", [&] { return (reading = Modal<TForm2>()) != nullptr && Active(reading); })
      .Do([&] {
        EXPECT_EQ(reading->Cast()->Code(), "888779");
        EXPECT_TRUE(SeenOnTop(Find<TControl>(reading, "q222111")));
        ASSERT_NE(reading->ChangedPicture(), nullptr);
        EXPECT_TRUE(SeenOnTop(reading->ChangedPicture()));
      })
      .Until("the top line's text shows highlighted", [&] {
        auto* view = Find<TRichEdit>(reading, "richedit1");
        view->SetSelection(reading->PassagePositions()[0], 3);
        return view->SelText() == "上九：" && PixelsOf(view, TRect(0, 0, 120, 16), kMainPassageRgb) > 20;
      });
  CloseWindow(s, [&] { return reading; }, "the cast reading").Until("the clock window again", [&] { return Active(clock); });
  CloseWindow(s, [&] { return clock; }, "the clock window")
      .Until("back at the main window", [&] { return Screen->ActiveForm() == main_ && Active(main_); });
  EXPECT_EQ(s.Run(), "");
  gCastClock = LocalTimeNow;
  EXPECT_EQ(ProgramJournal().List()[0].code, "888779");
  EXPECT_EQ(ProgramJournal().List()[0].method, "时间");
}

TEST_F(Cast, TheJournalOpensFromTheMainWindowsMenuAndReopensACast) {
  const int64_t id = ProgramJournal().Add({0, "2024-04-18 09:00:00", "硬币", "搬家", "789678", ""});
  ProgramJournal().Add({0, "2024-04-18 09:05:00", "卦码", "", "777777", ""});
  TskSkinMenuHost* host = nullptr;
  TJournalWindow* journal = nullptr;
  TForm2* reading = nullptr;
  int row = -1;
  test::MessageBoxRecorder boxes;  // answers the question before a deletion
  auto item = [&](int i) {
    auto* level = host->SkinMenu().Level(0);
    const TRect r = level->Items(i)->ObjectRect;
    return level->ClientToScreen({(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
  };
  Steps s;
  s.Click(input_, [] { return main_->ClientToScreen({450, 612}); }, 3)
      .Until("the menu shows", [&] {
        host = FindMenuHost(main_);
        return host && host->SkinMenu().Visible() && host->SkinMenu().LevelCount() == 1 && host->SkinMenu().Level(0)->Showing();
      })
      .Do([&] {
        EXPECT_EQ(main_->CastMenu()->Items().Count(), 4);
        EXPECT_EQ(main_->CastMenu()->Items().Items(3)->Caption, "起卦记录");
        input_.MoveTo(item(3));
      })
      .Until("the item lights up", [&] { return host->SkinMenu().Level(0)->ActiveIndex() == 3; })
      // A plain click: the menu level is a pop-up over the main window, which the wait of
      // Steps::Click (the program's form at the point shown on top) does not describe.
      .Do([&] { input_.Click(item(3)); })
      .Until("the journal window", [&] { return (journal = Modal<TJournalWindow>()) != nullptr && Active(journal); })
      .Do([&] {
        // Newest first.
        ASSERT_GE(journal->Entries().size(), 2u);
        EXPECT_EQ(journal->Entries()[0].code, "777777");
        for (int i = 0; i < static_cast<int>(journal->Entries().size()); ++i)
          if (journal->Entries()[i].id == id) row = i;
        ASSERT_EQ(row, 1);
        EXPECT_TRUE(SeenOnTop(journal->List()));
      })
      .Click(input_, [&] { return journal->RowCentre(row); })
      .Until("the cast is chosen", [&] { return journal->Selected() == row; })
      .Click(input_, [&] { return CentreOf(Find<TControl>(journal, "openButton")); })
      .Until("its reading", [&] { return (reading = Modal<TForm2>()) != nullptr && Active(reading); })
      .Do([&] {
        EXPECT_EQ(reading->Cast()->Code(), "789678");
        EXPECT_TRUE(SeenOnTop(Find<TControl>(reading, "q121212")));
        EXPECT_TRUE(SeenOnTop(reading->ChangedPicture()));
      });
  CloseWindow(s, [&] { return reading; }, "the reading")
      .Until("the journal again", [&] { return Active(journal) && journal->Selected() == row; })
      // A note for the chosen cast, typed and saved.
      .Click(input_, [&] { return CentreOf(Find<TControl>(journal, "noteEdit")); })
      .Until("the note field has the keyboard", [&] { return journal->ActiveControl() == Find<TControl>(journal, "noteEdit"); })
      .Do([&] { input_.Type("三月后应验"); })
      .Until("the note is typed", [&] { return Find<TControl>(journal, "noteEdit")->Text() == "三月后应验"; })
      .Click(input_, [&] { return CentreOf(Find<TControl>(journal, "saveNoteButton")); })
      .Until("the note is kept", [&] {
        for (const TJournalEntry& e : ProgramJournal().List())
          if (e.id == id) return e.note == "三月后应验";
        return false;
      })
      // Deleting asks first: "no" keeps the cast, "yes" removes it.
      .Do([&] { boxes.answer = IDNO; })
      .Click(input_, [&] { return CentreOf(Find<TControl>(journal, "deleteButton")); })
      .Until("the question was asked", [&] { return boxes.boxes.size() == 1; })
      .Do([&] {
        EXPECT_EQ(boxes.boxes[0].text, TJournalWindow::kDeleteQuestion);
        EXPECT_EQ(journal->Entries().size(), ProgramJournal().List().size());
        boxes.answer = IDYES;
      })
      .Click(input_, [&] { return CentreOf(Find<TControl>(journal, "deleteButton")); })
      .Until("the cast is gone from the list and the file", [&] {
        for (const TJournalEntry& e : ProgramJournal().List())
          if (e.id == id) return false;
        for (const TJournalEntry& e : journal->Entries())
          if (e.id == id) return false;
        return boxes.boxes.size() == 2;
      });
  CloseWindow(s, [&] { return journal; }, "the journal")
      .Until("back at the main window", [&] { return Screen->ActiveForm() == main_ && Active(main_); });
  EXPECT_EQ(s.Run(), "");
}
