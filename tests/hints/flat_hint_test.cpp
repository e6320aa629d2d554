// The flat hint: installation and the hint class order, where the box goes, how big it is, how it
// is painted (pixel by pixel for the arrow), where its settings come from, and its layout
// registration.
#include <gtest/gtest.h>

#include <set>

#include "hints/FlatHint.h"
#include "platform/layout/Layout.h"
#include "platform/widgets/StdCtrls.h"
#include "platform/windows/Forms.h"
#include "support/HintSettings.h"

using namespace corvane;

namespace {

// Another hint window class and a component that installs it the way hint components do (the
// skin hint does the same).
class TOtherHintWindow : public THintWindow {
 public:
  using THintWindow::THintWindow;
  std::string ClassName() const override { return "TOtherHintWindow"; }
};
class TOtherHint : public TComponent {
 public:
  explicit TOtherHint(TComponent* owner) : TComponent(owner) {
    Application->SetHintWindowClass(&HintWindowClassOf<TOtherHintWindow>);
    Application->SetShowHint(!Application->ShowHint());
    Application->SetShowHint(!Application->ShowHint());
  }
};

class FlatHint : public ::testing::Test {
 protected:
  // Shows `text` in a flat hint window with the pointer at `pointer`.
  static std::unique_ptr<TFlatHintWindow> Show(TPoint pointer, const std::string& text) {
    Input::MouseMove(pointer);  // nothing of the program lies there; the pointer position is what counts
    auto w = std::make_unique<TFlatHintWindow>(nullptr);
    w->ActivateHint(TRect(0, 0, 0, 0), text);
    return w;
  }
  static TSize Extent(const TFont& font, const std::string& text) {
    TBitmap b(1, 1);
    b.Canvas().Font().Assign(font);
    return b.Canvas().TextExtent(text);
  }
  static std::unique_ptr<TBitmap> Painted(TFlatHintWindow& w) {
    auto b = std::make_unique<TBitmap>(w.Width(), w.Height());
    w.PaintTo(b->Canvas());
    return b;
  }

  test::HintSettingsGuard hintSettings_;  // put back when the test ends
};

// The pixels the arrow glyph covers for placement 1, relative to the arrow point, as the 18-point
// polyline draws them (each segment without its end point).
const std::set<std::pair<int, int>> kArrowUpLeft = {
    {0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 5}, {0, 6}, {1, 1}, {1, 2}, {1, 3}, {1, 4}, {1, 5}, {1, 6},
    {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0}, {6, 1}, {5, 1}, {4, 1}, {3, 1}, {2, 1}, {2, 2}, {2, 3},
    {2, 4}, {3, 5}, {4, 6}, {5, 7}, {6, 7}, {5, 6}, {4, 5}, {3, 4}, {3, 3}, {4, 4}, {5, 5}, {6, 6}, {7, 6},
    {6, 5}, {5, 4}, {4, 3}, {3, 2}, {4, 2}, {5, 3}, {6, 4}, {7, 5}};

}  // namespace

// --- placement -----------------------------------------------------------------------------------

TEST(FlatHintPlacement, TheScreenQuarterOfThePointerDecides) {
  EXPECT_EQ(TFlatHintWindow::PlacementFor({100, 100}, 1024, 768), 1);
  EXPECT_EQ(TFlatHintWindow::PlacementFor({600, 100}, 1024, 768), 0);
  EXPECT_EQ(TFlatHintWindow::PlacementFor({100, 500}, 1024, 768), 3);
  EXPECT_EQ(TFlatHintWindow::PlacementFor({600, 500}, 1024, 768), 2);
  // The halves belong to the quarter that starts there.
  EXPECT_EQ(TFlatHintWindow::PlacementFor({511, 383}, 1024, 768), 1);
  EXPECT_EQ(TFlatHintWindow::PlacementFor({512, 383}, 1024, 768), 0);
  EXPECT_EQ(TFlatHintWindow::PlacementFor({511, 384}, 1024, 768), 3);
  EXPECT_EQ(TFlatHintWindow::PlacementFor({512, 384}, 1024, 768), 2) << "the centre";
  // Odd sizes halve by integer division.
  EXPECT_EQ(TFlatHintWindow::PlacementFor({2, 0}, 5, 3), 0);
  EXPECT_EQ(TFlatHintWindow::PlacementFor({1, 1}, 5, 3), 3);
  // A pointer in no quarter counts as bottom-right.
  EXPECT_EQ(TFlatHintWindow::PlacementFor({-1, 10}, 1024, 768), 2);
  EXPECT_EQ(TFlatHintWindow::PlacementFor({10, 768}, 1024, 768), 2);
}

TEST(FlatHintPlacement, TheBoxLiesDiagonallyAwayFromThePointer) {
  // The example of a one-line text 120 x 13 with the pointer at (100, 100): 142 x 19 at 12 px.
  EXPECT_EQ(TFlatHintWindow::BoundsFor(1, {100, 100}, 142, 19), TRect(112, 112, 254, 131));
  EXPECT_EQ(TFlatHintWindow::BoundsFor(0, {600, 100}, 142, 19), TRect(453, 105, 595, 124));
  EXPECT_EQ(TFlatHintWindow::BoundsFor(3, {100, 500}, 142, 19), TRect(105, 476, 247, 495));
  EXPECT_EQ(TFlatHintWindow::BoundsFor(2, {512, 384}, 142, 19), TRect(365, 360, 507, 379));
}

// --- installation and the hint class order -------------------------------------------------------

TEST_F(FlatHint, CreatingOneInstallsTheFlatWindowThePausesAndTheNotification) {
  Application->HintPause = 1;
  Application->HintShortPause = 1;
  Application->HintHidePause = 1;
  Application->SetShowHint(true);
  THintWindow* before = Application->HintWindow();
  TFlatHint hint(nullptr);
  ASSERT_NE(Application->HintWindow(), nullptr);
  EXPECT_NE(Application->HintWindow(), before);
  EXPECT_EQ(Application->HintWindow()->ClassName(), "TFlatHintWindow");
  EXPECT_TRUE(Application->ShowHint());
  EXPECT_EQ(Application->HintPause, 500);
  EXPECT_EQ(Application->HintShortPause, 25);
  EXPECT_EQ(Application->HintHidePause, 5000);
  EXPECT_TRUE(Application->HasOnShowHint());
  EXPECT_EQ(hint.ColorBackground(), 0xFFFFFF);
  EXPECT_EQ(hint.ColorBorder(), 0x000000);
  EXPECT_EQ(hint.ColorArrowBackground(), 0x53D2FF);
  EXPECT_EQ(hint.ColorArrow(), 0x000000);
  EXPECT_EQ(hint.MaxHintWidth(), 200);
}

TEST_F(FlatHint, WithTheSwitchOffTheClassIsInstalledButNoWindowMade) {
  Application->SetShowHint(false);
  TFlatHint hint(nullptr);
  EXPECT_FALSE(Application->ShowHint());
  EXPECT_EQ(Application->HintWindow(), nullptr);
  Application->SetShowHint(true);
  EXPECT_EQ(Application->HintWindow()->ClassName(), "TFlatHintWindow");
}

TEST_F(FlatHint, TheLastCreatedHintComponentDecidesTheWindowClass) {
  auto first = std::make_unique<TFlatHint>(nullptr);  // the notes editor at start-up
  auto other = std::make_unique<TOtherHint>(nullptr);  // the about window after it
  EXPECT_EQ(Application->HintWindow()->ClassName(), "TOtherHintWindow");
  auto second = std::make_unique<TFlatHint>(nullptr);  // opening the notes editor
  EXPECT_EQ(Application->HintWindow()->ClassName(), "TFlatHintWindow");
  second.reset();  // closing it leaves the class as it is
  EXPECT_EQ(Application->HintWindow()->ClassName(), "TFlatHintWindow");
  other = std::make_unique<TOtherHint>(nullptr);  // opening the about window
  EXPECT_EQ(Application->HintWindow()->ClassName(), "TOtherHintWindow");
}

TEST_F(FlatHint, TheNotificationForwardsToOnShowHintUnchanged) {
  TFlatHint hint(nullptr);
  TPanel panel(nullptr);
  std::string seenText;
  TControl* seenControl = nullptr;
  hint.OnShowHint = [&](std::string& text, bool& canShow, THintInfo& info) {
    seenText = text;
    seenControl = info.HintControl;
    EXPECT_TRUE(canShow);
    text = "changed";
  };
  // The application calls the installed notification as it shows a hint.
  TForm form(nullptr);
  form.SetBorderStyle(TFormBorderStyle::bsNone);
  form.SetBounds(300, 300, 200, 100);
  panel.SetParent(&form);
  panel.SetBounds(0, 0, 200, 100);
  panel.Hint = "Paste|Inserts Clipboard contents";
  panel.ShowHint = true;
  panel.ParentShowHint = false;
  form.Show();
  Application->ProcessMessages();
  Application->ActivateHint(panel.ClientToScreen({10, 10}));
  EXPECT_EQ(seenText, "Paste");
  EXPECT_EQ(seenControl, &panel);
  ASSERT_NE(Application->HintWindow(), nullptr);
  EXPECT_EQ(Application->HintWindow()->Caption(), "changed");
  Application->CancelHint();
  panel.SetParent(nullptr);
}

TEST_F(FlatHint, ADestroyedComponentIsNeverCalledAndItsWindowClassStillWorks) {
  int calls = 0;
  auto hint = std::make_unique<TFlatHint>(nullptr);
  hint->OnShowHint = [&calls](std::string&, bool&, THintInfo&) { ++calls; };
  hint.reset();
  EXPECT_FALSE(Application->HasOnShowHint());
  EXPECT_EQ(Application->HintWindowClass(), &HintWindowClassOf<TFlatHintWindow>);

  TForm form(nullptr);
  form.SetBorderStyle(TFormBorderStyle::bsNone);
  form.SetBounds(300, 300, 200, 100);
  TPanel panel(nullptr);
  panel.SetParent(&form);
  panel.SetBounds(0, 0, 200, 100);
  panel.Hint = "Copy";
  panel.ShowHint = true;
  panel.ParentShowHint = false;
  form.Show();
  Application->ProcessMessages();
  Application->ActivateHint(panel.ClientToScreen({10, 10}));
  EXPECT_EQ(calls, 0);
  ASSERT_NE(Application->HintWindow(), nullptr);
  EXPECT_TRUE(Application->HintWindow()->Showing()) << "no settings anywhere: the defaults";
  Application->CancelHint();
  panel.SetParent(nullptr);
}

// --- size and position of the box ----------------------------------------------------------------

TEST_F(FlatHint, AOneLineHintIsTheTextPlus22By6AndSitsByThePointer) {
  TFlatHint hint(nullptr);
  auto w = Show({100, 100}, "Cut");
  TSize ext = Extent(hint.Font(), "Cut");
  EXPECT_EQ(w->Placement(), 1);
  EXPECT_EQ(w->Width(), ext.cx + 22);
  EXPECT_EQ(w->Height(), ext.cy + 6);
  EXPECT_EQ(w->Left(), 112);
  EXPECT_EQ(w->Top(), 112);
  EXPECT_EQ(w->ArrowPoint(), TPoint(3, 3));
  EXPECT_TRUE(w->Showing());
  EXPECT_EQ(w->ClientWidth(), w->Width()) << "no window border: the box draws its own";
}

TEST_F(FlatHint, EachQuarterPutsTheBoxAndTheArrowOnItsSide) {
  TFlatHint hint(nullptr);
  const int sw = Screen->Width(), sh = Screen->Height();
  struct Case { TPoint p; int placement; };
  for (Case c : {Case{{sw - 100, 100}, 0}, Case{{100, sh - 100}, 3}, Case{{sw - 100, sh - 100}, 2}, Case{{sw / 2, sh / 2}, 2}}) {
    auto w = Show(c.p, "Paste");
    const int ww = w->Width(), wh = w->Height();
    EXPECT_EQ(w->Placement(), c.placement);
    EXPECT_EQ(w->BoundsRect(), TFlatHintWindow::BoundsFor(c.placement, c.p, ww, wh));
    TPoint expectedArrow = c.placement == 0 ? TPoint(ww - 4, 3) : c.placement == 3 ? TPoint(3, wh - 4) : TPoint(ww - 4, wh - 4);
    EXPECT_EQ(w->ArrowPoint(), expectedArrow) << c.placement;
  }
}

TEST_F(FlatHint, LongTextWrapsAtWordsWithinMaxHintWidthLess22) {
  TFlatHint hint(nullptr);
  hint.SetMaxHintWidth(120);
  const std::string text = "Copies the selection and puts it on the Clipboard";
  auto w = Show({100, 100}, text);
  TSize line = Extent(hint.Font(), "Copies");
  EXPECT_LE(w->Width(), 120);
  EXPECT_GE(w->Height(), 3 * line.cy + 6) << "several lines";
  EXPECT_EQ((w->Height() - 6) % line.cy, 0) << "whole lines";
}

TEST_F(FlatHint, ASingleWordWiderThanTheLimitKeepsItsWidthAndWidensTheBox) {
  TFlatHint hint(nullptr);
  hint.SetMaxHintWidth(60);
  const std::string word = "Supercalifragilisticexpialidocious";
  auto w = Show({100, 100}, word);
  TSize ext = Extent(hint.Font(), word);
  ASSERT_GT(ext.cx, 60 - 22);
  EXPECT_EQ(w->Width(), ext.cx + 22);
  EXPECT_EQ(w->Height(), ext.cy + 6) << "one line";
}

TEST_F(FlatHint, AnAmpersandIsMeasuredAsAnAmpersand) {
  TFlatHint hint(nullptr);
  auto w = Show({100, 100}, "Cut & Paste");
  EXPECT_EQ(w->Width(), Extent(hint.Font(), "Cut & Paste").cx + 22);
  EXPECT_EQ(w->Caption(), "Cut & Paste");
}

TEST_F(FlatHint, TheProposedRectangleIsIgnored) {
  TFlatHint hint(nullptr);
  Input::MouseMove({100, 100});
  TFlatHintWindow w(nullptr);
  w.ActivateHint(TRect(700, 600, 900, 700), "Cut");
  EXPECT_EQ(w.Left(), 112);
  EXPECT_EQ(w.Top(), 112);
}

// --- painting ------------------------------------------------------------------------------------

TEST_F(FlatHint, PaintingFillsStripAndTextAreaOutlinesTheBoxAndDrawsTheArrowPixelByPixel) {
  TFlatHint hint(nullptr);
  const TColor bg = RGB(250, 240, 230), border = RGB(10, 20, 30), strip = RGB(200, 100, 0), arrow = RGB(0, 0, 200);
  hint.SetColor(TFlatHint::ciBackground, bg);
  hint.SetColor(TFlatHint::ciBorder, border);
  hint.SetColor(TFlatHint::ciArrowBackground, strip);
  hint.SetColor(TFlatHint::ciArrow, arrow);
  hint.Font().SetColor(RGB(0, 128, 0));
  const int sw = Screen->Width(), sh = Screen->Height();
  for (auto [pointer, placement] : {std::pair{TPoint{100, 100}, 1}, std::pair{TPoint{sw - 100, 100}, 0},
                                    std::pair{TPoint{100, sh - 100}, 3}, std::pair{TPoint{sw - 100, sh - 100}, 2}}) {
    SCOPED_TRACE(placement);
    auto w = Show(pointer, "Undo");
    ASSERT_EQ(w->Placement(), placement);
    auto b = Painted(*w);
    const int cw = w->Width(), ch = w->Height();
    // The one-pixel outline.
    for (int x = 0; x < cw; ++x) {
      EXPECT_EQ(b->Pixel(x, 0), border);
      EXPECT_EQ(b->Pixel(x, ch - 1), border);
    }
    for (int y = 0; y < ch; ++y) {
      EXPECT_EQ(b->Pixel(0, y), border);
      EXPECT_EQ(b->Pixel(cw - 1, y), border);
    }
    // The strip is 14 pixels wide on the pointer's side; the text area fills the rest.
    const bool left = placement == 1 || placement == 3;
    const int stripLeft = left ? 1 : cw - 15;
    EXPECT_EQ(b->Pixel(stripLeft, ch / 2), strip);
    EXPECT_EQ(b->Pixel(stripLeft + 13, ch / 2), strip);
    EXPECT_EQ(b->Pixel(left ? 15 : cw - 16, 1), bg);
    EXPECT_EQ(b->Pixel(left ? cw - 2 : 1, ch - 2), bg);
    // The arrow: exactly the glyph's pixels in the 8 x 8 box at the arrow point, mirrored.
    const TPoint a = w->ArrowPoint();
    const int sx = left ? 1 : -1, sy = placement == 2 || placement == 3 ? -1 : 1;
    for (int dy = 0; dy < 8; ++dy)
      for (int dx = 0; dx < 8; ++dx) {
        bool ink = kArrowUpLeft.count({dx, dy}) != 0;
        EXPECT_EQ(b->Pixel(a.X + sx * dx, a.Y + sy * dy), ink ? arrow : strip) << dx << "," << dy;
      }
    // The text, in the font's colour, inside the text area only.
    int textPixels = 0;
    for (int y = 1; y < ch - 1; ++y)
      for (int x = 1; x < cw - 1; ++x)
        if (b->Pixel(x, y) != bg && b->Pixel(x, y) != strip && b->Pixel(x, y) != arrow) {
          ++textPixels;
          EXPECT_TRUE(left ? x >= 15 + 3 : x < cw - 15 - 3) << x;
        }
    EXPECT_GT(textPixels, 10);
  }
}

// --- where the settings come from ----------------------------------------------------------------

TEST_F(FlatHint, TheMainWindowsFlatHintWinsThenTheNewestOneThenTheDefaults) {
  auto* main = new TForm(Application);
  Application->RegisterForm(main);
  ASSERT_EQ(Application->MainForm(), main);
  auto* onMain = new TFlatHint(main);
  onMain->SetColor(TFlatHint::ciBackground, clRed);
  auto older = std::make_unique<TFlatHint>(nullptr);
  older->SetColor(TFlatHint::ciBackground, clLime);
  auto newer = std::make_unique<TFlatHint>(nullptr);
  newer->SetColor(TFlatHint::ciBackground, clBlue);
  newer->SetMaxHintWidth(80);
  auto background = [](TFlatHintWindow& w) { return Painted(w)->Pixel(w.Width() - 2, 1); };  // text area

  EXPECT_EQ(TFlatHint::Settings(), onMain);
  EXPECT_EQ(background(*Show({100, 100}, "x")), clRed);
  delete main;  // the main window and its flat hint go
  ASSERT_EQ(Application->MainForm(), nullptr);
  EXPECT_EQ(TFlatHint::Settings(), newer.get());
  auto w = Show({100, 100}, "one two three four five six");
  EXPECT_EQ(background(*w), clBlue);
  EXPECT_LE(w->Width(), 80) << "the newest one's MaxHintWidth";
  newer.reset();
  EXPECT_EQ(background(*Show({100, 100}, "x")), clLime);
  older.reset();
  EXPECT_EQ(TFlatHint::Settings(), nullptr);
  EXPECT_EQ(background(*Show({100, 100}, "x")), 0xFFFFFF);
}

TEST_F(FlatHint, AWindowPaintedAfterItsSettingsWentAwayKeepsTheirLook) {
  auto hint = std::make_unique<TFlatHint>(nullptr);
  hint->SetColor(TFlatHint::ciArrowBackground, clTeal);
  auto w = Show({100, 100}, "Paste");
  hint.reset();
  EXPECT_EQ(Painted(*w)->Pixel(5, w->Height() - 3), clTeal);
}

// --- the layout loader ---------------------------------------------------------------------------

TEST_F(FlatHint, LayoutsCanHoldAFlatHintWithItsPublishedProperties) {
  RegisterHintComponents();
  TForm form(nullptr);
  int calls = 0;
  form.PublishHandler("FlatHint1ShowHint", TShowHintEvent([&calls](std::string&, bool&, THintInfo&) { ++calls; }));
  LoadLayout(&form, R"(object Form4: TForm
  object FlatHint1: TFlatHint
    Font.Charset = DEFAULT_CHARSET
    Font.Color = clWindowText
    Font.Height = -11
    Font.Name = 'MS Sans Serif'
    Font.Style = [fsBold]
    ColorBackground = clYellow
    ColorBorder = 128
    ColorArrowBackground = $00FF8000
    ColorArrow = clWhite
    MaxHintWidth = 300
    OnShowHint = FlatHint1ShowHint
  end
end
)", "flat.lfm");
  auto* hint = dynamic_cast<TFlatHint*>(form.FindComponent("FlatHint1"));
  ASSERT_NE(hint, nullptr);
  EXPECT_EQ(hint->Font().Name(), "MS Sans Serif");
  EXPECT_EQ(hint->Font().Height(), -11);
  EXPECT_EQ(hint->Font().Style(), fsBold);
  EXPECT_EQ(hint->Font().Color(), clWindowText);
  EXPECT_EQ(hint->Font().Charset(), DEFAULT_CHARSET);
  EXPECT_EQ(hint->ColorBackground(), clYellow);
  EXPECT_EQ(hint->ColorBorder(), 128);
  EXPECT_EQ(hint->ColorArrowBackground(), 0x00FF8000);
  EXPECT_EQ(hint->ColorArrow(), clWhite);
  EXPECT_EQ(hint->MaxHintWidth(), 300);
  ASSERT_TRUE(hint->OnShowHint);
  std::string text;
  bool canShow = true;
  THintInfo info;
  hint->OnShowHint(text, canShow, info);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(Application->HintWindowClass(), &HintWindowClassOf<TFlatHintWindow>);
}
