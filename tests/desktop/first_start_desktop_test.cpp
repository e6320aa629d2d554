// What a new user meets on the first start, on a desktop with real input: the note titles at the
// bottom of the main window, the about window's caption buttons in each of its looks, and the about
// page when the maker's site cannot be reached.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <unistd.h>

#include "app/AboutWindow.h"
#include "app/Catalogue.h"
#include "app/MainWindow.h"
#include "app/NotesEditor.h"
#include "app/Places.h"
#include "app/Program.h"
#include "app/ReadingWindow.h"
#include "app/ReferenceWindow.h"
#include "desktop/RealInput.h"
#include "platform/widgets/WebBrowser.h"
#include "skin/frame/SkinForm.h"
#include "skin/frame/SkinObjects.h"
#include "support/TestSupport.h"

using namespace corvane;
using test::Steps;
using test::Modal;
namespace fs = std::filesystem;

namespace {

// The program started as on its first day: no configuration file where it looks for one, the
// documents in a working folder of its own, and a maker's site that does not answer.
class FirstStart : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    config_ = ConfigurationPath();
    if (FileExists(config_)) saved_ = ReadFileBytes(config_);
    fs::remove(config_);
    savedAddress_ = gAboutPageAddress;
    gAboutPageAddress = "http://127.0.0.1:9/about/";  // refused at once
    program_.Start("corvane-first");
    main_ = Form1;
    main_->Show();
  }
  static void TearDownTestSuite() {
    program_.Stop();
    gAboutPageAddress = savedAddress_;
    fs::remove(config_);
    if (saved_) WriteFileAtomically(config_, *saved_);
  }
  void SetUp() override {
    Form1 = main_;
    ASSERT_TRUE(test::WaitFor([&] { return input_.IsActive(main_); }))
        << "the main window did not become active";
  }

  // A point of the main window, in window coordinates, on the screen.
  static TPoint OnMain(int x, int y) { return {main_->Left() + x, main_->Top() + y}; }
  // How many pixels of a screen rectangle satisfy `test`.
  int CountPixels(const TRect& r, const std::function<bool(int, int, int)>& test) {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) {
        const uint32_t p = input_.ScreenPixel({x, y});
        if (test(int(p >> 16) & 255, int(p >> 8) & 255, int(p & 255))) ++n;
      }
    return n;
  }
  // A caption button as the main window's picture buttons look: a red seal face with light lines
  // (its cut line and its sign) on it. Parchment or a bare band is neither.
  bool LooksLikeAButton(const TRect& screen) {
    const int face = CountPixels(screen, [](int r, int g, int b) { return r >= 100 && g < 90 && b < 80; });
    const int lines = CountPixels(screen, [](int r, int g, int b) { return r > 200 && g > 160 && b > 100; });
    const int area = screen.Width() * screen.Height();
    return face > area / 3 && lines > area / 12;
  }

  static inline test::ProgramInFolder program_;
  static inline std::string config_;
  static inline std::optional<std::string> saved_;
  static inline std::string savedAddress_;
  static inline TForm1* main_ = nullptr;
  test::RealInput input_;
};

// The title labels' layout boxes (window coordinates of the main window).
const TRect kTitleBoxes[] = {Bounds(569, 595, 60, 12), Bounds(649, 595, 60, 12), Bounds(729, 595, 60, 12)};

}  // namespace

TEST_F(FirstStart, TheThreeNoteTitlesShowAndEachOpensItsNoteEvenAfterItsTitleIsCleared) {
  // The captions are drawn in white and silver on the dark strip: each box shows text. The main
  // window may still be painting when the session begins, so what the screen shows is waited for.
  auto light = [&](int i) {
    const TRect box = kTitleBoxes[i].Offset(main_->Left(), main_->Top());
    return CountPixels(box, [](int r, int g, int b) { return r > 150 && g > 150 && b > 150; });
  };
  test::WaitFor([&] { return light(0) > 30 && light(1) > 30 && light(2) > 30; }, 5000);
  for (int i = 0; i < 3; ++i) EXPECT_GT(light(i), 30) << "the title of note " << i + 1 << " cannot be seen";
  TForm4* editor = nullptr;
  auto closeEditor = [&] { return Find<TControl>(editor, "ww2")->ClientToScreen({16, 16}); };
  Steps s;
  // Near the right end of the second box: inside the caption's label, far outside an empty one.
  s.Click(input_, [] { return OnMain(649 + 52, 601); })
      .Until("a click on the second title opens the notes editor", [&] { return (editor = Modal<TForm4>()) != nullptr; })
      .Until("on note 2", [&] { return Find<TControl>(editor, "edit2")->Visible() && !Find<TControl>(editor, "edit1")->Visible(); })
      .Until("the editor is active", [&] { return input_.IsActive(editor); })
      .Click(input_, [&] { return Find<TControl>(editor, "edit2")->ClientToScreen({20, 10}); })
      .Do([&] { input_.Key("ctrl+a"); input_.Key("BackSpace"); })
      .Until("its title field is emptied", [&] { return Find<TControl>(editor, "edit2")->Text().empty(); })
      .Do([&] { input_.MoveTo(closeEditor()); })
      .Click(input_, closeEditor)
      .Until("the editor closes", [&] { return Modal<TForm4>() == nullptr && input_.IsActive(main_); })
      .Until("the second title is empty now", [&] { return Find<TControl>(main_, "Label4")->Caption().empty(); })
      .Click(input_, [] { return OnMain(649 + 52, 601); })
      .Until("a click where the cleared title was still opens its note",
             [&] { return (editor = Modal<TForm4>()) != nullptr && Find<TControl>(editor, "edit2")->Visible(); })
      .Until("the editor is active again", [&] { return input_.IsActive(editor); })
      .Do([&] { input_.MoveTo(closeEditor()); })
      .Click(input_, closeEditor)
      .Until("and closes", [&] { return Modal<TForm4>() == nullptr; });
  EXPECT_EQ(s.Run(), "");
}

TEST_F(FirstStart, TheAboutWindowsCaptionButtonsShowInItsNormalRolledUpMinimisedAndMaximisedLooks) {
  TForm5* about = nullptr;
  TskSkinForm* frame = nullptr;
  const TRect work = Screen->WorkAreaRect();
  const char* const names[] = {"sysmenubutton", "rollupbutton", "traybutton", "minimizebutton", "maximizebutton", "closebutton"};
  auto at = [&](int x, int y) { return TPoint{about->Left() + x, about->Top() + y}; };
  // Every caption button where the frame answers for it now is seen there.
  auto buttonsSeen = [&](std::string& missing) {
    missing.clear();
    for (const char* name : names) {
      const TRect r = frame->FindObject(name)->ObjectRect.Offset(about->Left(), about->Top());
      if (!LooksLikeAButton(r)) missing += std::string(missing.empty() ? "" : ", ") + name;
    }
    return missing.empty();
  };
  std::string missing;
  auto check = [&](const char* look) {
    return [&, look] {
      EXPECT_TRUE(buttonsSeen(missing)) << "in the " << look << " look these buttons cannot be seen: " << missing;
    };
  };
  TRect opened;
  Steps s;
  s.Click(input_, [] { return Find<TControl>(main_, "Label6")->ClientToScreen({10, 6}); })
      .Until("the about window opens", [&] { return (about = Modal<TForm5>()) != nullptr; })
      .Do([&] { frame = TskSkinForm::FindFrameOf(about); opened = about->BoundsRect(); })
      .Until("it is active and shown whole", [&] {
        return input_.IsActive(about) && input_.WindowRectOf(test::WindowOf(about)) == opened;
      })
      .Do([&] { test::RunFor(400); })  // the fade-in
      .Do(check("normal"))
      .DoubleClick(input_, [&] { return at(200, 15); })
      .Until("a double click on the band rolls it up", [&] { return about->Height() == 42; })
      .Do([&] { test::RunFor(200); })
      .Do(check("rolled-up"))
      .DoubleClick(input_, [&] { return at(200, 15); })
      .Until("a second one rolls it down", [&] { return about->Height() == 386; })
      .Click(input_, [&] { return at(483, 15); })
      .Until("minimize makes a strip at the bottom left",
             [&] { return about->BoundsRect() == Bounds(work.Left, work.Bottom - 42, 188, 42); })
      .Do([&] { test::RunFor(200); })
      .Do(check("minimised"))
      .Click(input_, [&] { return at(134 + 11, 15); })
      .Until("its maximize button fills the work area", [&] { return about->BoundsRect() == work; })
      .Do([&] { test::RunFor(200); })
      .Do(check("maximised"))
      .Do([&] {
        // Where the right-hand buttons sit in the normal look, nothing that looks like a button is
        // left behind once they have moved to the right edge.
        for (int x : {472, 496, 520})
          EXPECT_FALSE(LooksLikeAButton(Bounds(about->Left() + x, about->Top() + 5, 23, 24))) << "a dead button at " << x;
        EXPECT_EQ(frame->FindObject("maximizebutton")->Hint, "还原");
      })
      .Click(input_, [&] { return at(about->Width() - 54 + 11, 15); })
      .Until("the same button restores it", [&] { return about->BoundsRect() == opened; })
      .Do([&] { EXPECT_EQ(frame->FindObject("maximizebutton")->Hint, "最大化"); })
      .Click(input_, [&] { return at(531, 17); })
      .Until("the close button closes it", [&] { return Modal<TForm5>() == nullptr; });
  EXPECT_EQ(s.Run(), "");
}

TEST_F(FirstStart, WithoutTheMakersSiteTheAboutWindowShowsTheProgramsOwnAboutPage) {
  TForm5* about = nullptr;
  TWebBrowser* view = nullptr;
  const TPlaces places = TPlaces::FromEnvironment();
  Steps s;
  s.Click(input_, [] { return Find<TControl>(main_, "Label6")->ClientToScreen({10, 6}); })
      .Until("the about window opens", [&] { return (about = Modal<TForm5>()) != nullptr; })
      .Do([&] { view = Find<TWebBrowser>(about, "WebBrowser1"); })
      .Until("the page has been given up", [&] { return !view->Busy(); }, 10000)
      .Do([&] {
        const std::string text = view->DocumentText();
        for (const std::string& expected :
             {std::string("Corvane"), std::string("1.5"), std::string("六十四卦"), std::string("许可"),
              ConfigurationPath(), (fs::path(places.workingFolder) / "dat").string(), std::string(gAboutPageAddress)})
          EXPECT_NE(text.find(expected), std::string::npos) << "the page lacks " << expected << ":\n" << text;
      })
      .Click(input_, [&] { return about->ClientToScreen({531, 17}); })
      .Until("the close button closes it", [&] { return Modal<TForm5>() == nullptr; });
  EXPECT_EQ(s.Run(), "");
}
