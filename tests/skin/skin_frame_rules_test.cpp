// The frame's rules in numbers, with the stored skin (main picture 188 x 128, client rectangle
// 11,32,177,118, caption 79,3,109,30, buttons 23 x 24 with a gap of 1): magnetic edges on every
// side, where minimised windows go when a row is full, roll-up with maximise, the hit codes and
// pointer rewrites while rolled up, hover ending over the client, the buttons' row inside the
// caption picture, the cross-fade's steps, custom buttons and the object hints, the maximum sizes.
#include <gtest/gtest.h>

#include <memory>

#include "platform/windows/Forms.h"
#include "platform/windows/Menus.h"
#include "skin/frame/SkinForm.h"
#include "skin/frame/SkinObjects.h"
#include "skin/package/CompressedStoredSkin.h"
#include "skin/package/ResourceStrData.h"
#include "skin/package/SkinData.h"
#include "skin/package/SkinMembers.h"
#include "skin/package/StoredSkin.h"
#include "support/TestSupport.h"

using namespace corvane;

namespace {

class HintRecorder : public TComponent, public TskObjectHint {
 public:
  using TComponent::TComponent;
  void ShowHintDelayed(const std::string& text) override { shown.push_back(text); }
  void HideHint() override { ++hidden; }
  std::vector<std::string> shown;
  int hidden = 0;
};

class FrameRules : public ::testing::Test {
 protected:
  void SetUp() override {
    stored_.ReadCompressedData(StoredSkinBytes());
    skin_.SetCompressedStoredSkin(&stored_);
    ASSERT_FALSE(skin_.IsEmpty);
  }
  // A framed window at (left, top) of the given size and style, drawn active; the window procedure
  // below the frame can be watched through `below`.
  TskSkinForm* Framed(TFormBorderStyle style, int left, int top, int w, int h, TskSkinData* skin = nullptr) {
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBorderStyle(style);
    form->SetBounds(left, top, w, h);
    const TWndMethod own = form->WindowProc;
    form->WindowProc = [this, own](TMessage& m) {
      if (m.Msg == WM_SETCURSOR) seenCursorHit = LoWordSigned(m.LParam);
      own(m);
    };
    auto* frame = new TskSkinForm(form.get());
    frame->ActiveLook = 1;
    frame->SetBorderIcons(kDefaultBorderIcons | BorderIconBit(TskBorderIcon::biMinimizeToTray));
    frame->SetSkinData(skin ? skin : &skin_);
    forms_.push_back(std::move(form));
    return frame;
  }
  static int Hit(TskSkinForm* f, int x, int y) {
    TForm& w = f->Form();
    return static_cast<int>(w.Perform(WM_NCHITTEST, 0, MakeLParam(w.Left() + x, w.Top() + y)));
  }
  template <class T>
  T* Member(const std::string& name) {
    return dynamic_cast<T*>(skin_.ObjectList.at(skin_.FindObject(name)).get());
  }

  TskCompressedStoredSkin stored_{nullptr};
  TskSkinData skin_{nullptr};
  std::vector<std::unique_ptr<TForm>> forms_;
  int seenCursorHit = -1;
};

}  // namespace

TEST_F(FrameRules, MagneticEdgesAttractOnAllFourSidesFromEitherSideAndTheRightAndBottomWin) {
  TskSkinForm* f = Framed(TFormBorderStyle::bsNone, 200, 150, 550, 386);
  f->Magnetic = true;
  f->MagneticSize = 10;
  const TRect r = ScreenWorkRect(f->Form());
  // (proposed left, top) of a 550 x 386 window -> where it goes.
  const struct { int left, top, wantLeft, wantTop; } cases[] = {
      {r.Left + 9, r.Top + 100, r.Left, r.Top + 100},           // 9 right of the left edge
      {r.Left - 9, r.Top + 100, r.Left, r.Top + 100},           // 9 beyond it
      {r.Left + 10, r.Top + 100, r.Left + 10, r.Top + 100},     // 10 away stays
      {r.Left + 100, r.Top + 9, r.Left + 100, r.Top},           // top edge
      {r.Left + 100, r.Top - 9, r.Left + 100, r.Top},
      {r.Left + 100, r.Top + 10, r.Left + 100, r.Top + 10},
      {r.Right - 550 - 9, r.Top + 100, r.Right - 550, r.Top + 100},  // right edge, inside and out
      {r.Right - 550 + 9, r.Top + 100, r.Right - 550, r.Top + 100},
      {r.Right - 550 - 10, r.Top + 100, r.Right - 560, r.Top + 100},
      {r.Left + 100, r.Bottom - 386 - 9, r.Left + 100, r.Bottom - 386},  // bottom edge
      {r.Left + 100, r.Bottom - 386 + 9, r.Left + 100, r.Bottom - 386},
      {r.Left + 100, r.Bottom - 386 - 10, r.Left + 100, r.Bottom - 396},
  };
  for (const auto& c : cases) {
    int left = c.left, top = c.top;
    f->MagneticSnap(left, top, 550, 386);
    EXPECT_EQ(left, c.wantLeft) << c.left << "," << c.top;
    EXPECT_EQ(top, c.wantTop) << c.left << "," << c.top;
  }
  // A window within 2M of the area's height reaches both edges: the bottom one, tested last, wins.
  int left = r.Left + 100, top = r.Top + 2;
  f->MagneticSnap(left, top, 300, r.Height() - 5);
  EXPECT_EQ(top, r.Top + 5);
  // The drag follows the snap at the bottom too.
  TRect proposed = Bounds(r.Left + 100, r.Bottom - 380, 550, 386);
  f->Form().Perform(WM_MOVING, 0, reinterpret_cast<LPARAM>(&proposed));
  EXPECT_EQ(proposed, Bounds(r.Left + 100, r.Bottom - 386, 550, 386));
}

TEST_F(FrameRules, AFullRowOfMinimisedWindowsContinuesOneRowHigherAndAFullAreaFallsBackToTheFirstSlot) {
  // A skin whose caption strip is 700 x 414 (picture 700 x 500, client 86 high): one slot per row
  // and two rows in the test desktop's work area.
  TskCompressedStoredSkin stored(nullptr);
  stored.ReadCompressedData(StoredSkinBytes());
  TskSkinData wide(nullptr);
  wide.SetCompressedStoredSkin(&stored);
  wide.Picture->SetSize(700, 500);
  std::vector<TskSkinForm*> frames;
  for (int i = 0; i < 3; ++i) frames.push_back(Framed(TFormBorderStyle::bsSizeable, 40 * i, 40, 800, 600, &wide));
  const TRect r = ScreenWorkRect(frames[0]->Form());
  ASSERT_LT(r.Width(), 1400);
  ASSERT_GE(r.Height(), 828);
  ASSERT_LT(r.Height(), 1242);
  for (TskSkinForm* f : frames) {
    f->Form().Show();
    f->SetFrameWindowState(TskFrameState::Minimized);
  }
  EXPECT_EQ(frames[0]->Form().BoundsRect(), Bounds(r.Left, r.Bottom - 414, 700, 414));
  EXPECT_EQ(frames[1]->Form().BoundsRect(), Bounds(r.Left, r.Bottom - 828, 700, 414)) << "the next row up";
  EXPECT_EQ(frames[2]->Form().BoundsRect(), Bounds(r.Left, r.Bottom - 414, 700, 414)) << "the first slot again";
}

TEST_F(FrameRules, ARollUpMadeWhileMaximisedRollsDownMaximisedAndOneMadeBeforeIsKeptUntilRestored) {
  TskSkinForm* f = Framed(TFormBorderStyle::bsNone, 200, 150, 550, 386);
  TForm& w = f->Form();
  const TRect work = ScreenWorkRect(w);
  auto choose = [&](const char* name) {
    TMenuItem* items = f->GetSystemMenuItems();
    for (int i = 0; i < items->Count(); ++i)
      if (items->Items(i)->Name() == name) return items->Items(i)->Click(), true;
    return false;
  };
  f->SetFrameWindowState(TskFrameState::Maximized);
  f->SetRolledUp(true);
  EXPECT_EQ(w.BoundsRect(), Bounds(work.Left, work.Top, work.Width(), 42));
  ASSERT_TRUE(choose("SKF_RESTORE"));
  EXPECT_FALSE(f->RolledUp());
  EXPECT_EQ(f->FrameState(), TskFrameState::Maximized);
  EXPECT_EQ(w.BoundsRect(), work) << "rolled down to the maximised height";

  // Rolled up first, then maximised: rolling down is refused until the window is restored.
  ASSERT_TRUE(choose("SKF_RESTORE"));
  ASSERT_EQ(w.BoundsRect(), Bounds(200, 150, 550, 386));
  f->SetRolledUp(true);
  f->SetFrameWindowState(TskFrameState::Maximized);
  const TRect maximised = w.BoundsRect();
  f->SetRolledUp(false);
  EXPECT_TRUE(f->RolledUp());
  EXPECT_EQ(w.BoundsRect(), maximised);
  ASSERT_TRUE(choose("SKF_RESTORE"));  // back to the normal state, still rolled up
  EXPECT_EQ(w.BoundsRect(), Bounds(200, 150, 550, 42));
  ASSERT_TRUE(choose("SKF_RESTORE"));  // then rolled down
  EXPECT_EQ(w.BoundsRect(), Bounds(200, 150, 550, 386));
}

TEST_F(FrameRules, RolledUpTheFrameHasNoSizingEdgesAndTheWindowsPointerShowsEverywhereButOnSizingEdges) {
  TskSkinForm* f = Framed(TFormBorderStyle::bsSizeable, 200, 150, 400, 300);
  // Border points of the unrolled window and their sizing codes.
  const struct { int x, y, code; } edges[] = {{1, 150, HTLEFT}, {398, 150, HTRIGHT}, {200, 1, HTTOP}, {200, 298, HTBOTTOM},
                                              {3, 3, HTTOPLEFT}, {395, 296, HTBOTTOMRIGHT}};
  for (const auto& e : edges) EXPECT_EQ(Hit(f, e.x, e.y), e.code) << e.x << "," << e.y;
  f->SetRolledUp(true);
  ASSERT_EQ(f->Form().Height(), 42);
  // Rolled up, the caption object is caption and everything else an object: no sizing at all.
  for (const auto& [x, y] : {std::pair{1, 20}, {398, 20}, {200, 1}, {200, 40}, {3, 3}, {395, 38}, {100, 35}})
    EXPECT_EQ(Hit(f, x, y), HTOBJECT) << x << "," << y;
  EXPECT_EQ(Hit(f, 200, 15), HTCAPTION);
  EXPECT_EQ(Hit(f, 42, 15), HTOBJECT) << "the roll-up button";

  // WM_SETCURSOR: with the form's cursor in the frame, every hit code but the eight sizing ones
  // (10 to 17) reaches the window as HTCLIENT.
  for (int code = HTCLIENT; code <= HTOBJECT; ++code) {
    f->UseFormCursorInNCArea = true;
    f->Form().Perform(WM_SETCURSOR, 0, MakeLParam(code, WM_MOUSEMOVE));
    EXPECT_EQ(seenCursorHit, code >= HTLEFT && code <= HTBOTTOMRIGHT ? code : HTCLIENT) << code;
    f->UseFormCursorInNCArea = false;
    f->Form().Perform(WM_SETCURSOR, 0, MakeLParam(code, WM_MOUSEMOVE));
    EXPECT_EQ(seenCursorHit, code) << code;
  }
}

TEST_F(FrameRules, MovingFromAButtonIntoTheClientEndsTheHoverAndHidesItsHintAtTheNextMouseTick) {
  TskSkinForm* f = Framed(TFormBorderStyle::bsNone, 200, 150, 550, 386);
  auto* hint = new HintRecorder(&f->Form());
  f->SetSkinHint(hint);
  f->ShowObjectHint = true;
  TForm& w = f->Form();
  w.Show();
  ASSERT_TRUE(test::RunUntil([&] { return w.Showing(); }, 3000));
  TskActiveSkinObject* sysmenu = f->FindObject("sysmenubutton");
  auto tick = [&] { w.Perform(WM_TIMER, TskSkinForm::kMouseTimer, 0); };
  ASSERT_TRUE(f->MouseTimerRunning());
  Input::MouseMove({w.Left() + 20, w.Top() + 15});
  tick();
  ASSERT_TRUE(sysmenu->Active);
  EXPECT_EQ(hint->shown, std::vector<std::string>{"系统菜单"});
  Input::MouseMove({w.Left() + 300, w.Top() + 200});  // the client: no hit test of the frame's
  EXPECT_TRUE(sysmenu->Active) << "only the mouse timer notices";
  int hidden = hint->hidden;  // (moves, sizes and activation hide it too)
  tick();
  EXPECT_FALSE(sysmenu->Active);
  EXPECT_EQ(f->ActiveObject(), -1);
  EXPECT_EQ(hint->hidden, hidden + 1);
  // From one button to the next: the first one's hint goes, the second one's comes.
  f->UpdateHover(20, 15, true);
  hidden = hint->hidden;
  f->UpdateHover(40, 15, true);
  EXPECT_EQ(hint->hidden, hidden + 1);
  EXPECT_EQ(hint->shown.back(), "向上卷拢");
}

TEST_F(FrameRules, ButtonsDrawnInTheCaptionPictureLineUpInTheirRowAndTheCaptionTakesWhatIsLeft) {
  for (const char* name : {"closebutton", "minimizebutton", "maximizebutton", "rollupbutton", "sysmenubutton", "traybutton"})
    Member<TskDataSkinStdButton>(name)->SkinRectInAPicture = true;
  auto rectOf = [](TskSkinForm* f, const char* name) { return f->FindObject(name)->ObjectRect; };

  // Right to left in the caption rectangle (5,4,183,30), grown to (5,4,545,30) on 550 pixels.
  skin_.CaptionRect = {5, 4, 183, 30};
  TskSkinForm* f = Framed(TFormBorderStyle::bsNone, 200, 150, 550, 386);
  EXPECT_EQ(rectOf(f, "closebutton"), TRect(522, 4, 545, 28));
  EXPECT_EQ(rectOf(f, "maximizebutton"), TRect(498, 4, 521, 28));
  EXPECT_EQ(rectOf(f, "minimizebutton"), TRect(474, 4, 497, 28));
  EXPECT_EQ(rectOf(f, "rollupbutton"), TRect(450, 4, 473, 28));
  EXPECT_EQ(rectOf(f, "traybutton"), TRect(426, 4, 449, 28));
  EXPECT_EQ(rectOf(f, "sysmenubutton"), TRect(5, 5, 28, 29)) << "left, centred in the caption's height";
  EXPECT_EQ(rectOf(f, "caption"), TRect(28, 3, 426, 30));
  EXPECT_EQ(Hit(f, 30, 15), HTCAPTION);
  EXPECT_EQ(Hit(f, 440, 15), HTOBJECT);

  // Left to right: the system-menu button follows in the same row; the caption starts a gap on.
  skin_.ButtonsInLeft = true;
  f = Framed(TFormBorderStyle::bsNone, 200, 150, 550, 386);
  EXPECT_EQ(rectOf(f, "closebutton"), TRect(5, 4, 28, 28));
  EXPECT_EQ(rectOf(f, "maximizebutton"), TRect(29, 4, 52, 28));
  EXPECT_EQ(rectOf(f, "minimizebutton"), TRect(53, 4, 76, 28));
  EXPECT_EQ(rectOf(f, "rollupbutton"), TRect(77, 4, 100, 28));
  EXPECT_EQ(rectOf(f, "traybutton"), TRect(101, 4, 124, 28));
  EXPECT_EQ(rectOf(f, "sysmenubutton"), TRect(125, 4, 148, 28));
  EXPECT_EQ(rectOf(f, "caption").Left, 150);

  // A buttons rectangle in the right half of the picture moves with the width; the caption
  // keeps its own edges then.
  skin_.ButtonsInLeft = false;
  skin_.ButtonsRect = {100, 5, 180, 29};
  f = Framed(TFormBorderStyle::bsNone, 200, 150, 550, 386);
  EXPECT_EQ(rectOf(f, "closebutton"), TRect(519, 5, 542, 29));
  EXPECT_EQ(rectOf(f, "traybutton"), TRect(423, 5, 446, 29));
  EXPECT_EQ(rectOf(f, "caption").Right, 471);
}

TEST_F(FrameRules, AButtonCrossFadesInFiveTicksEachWayAndTheTimerStopsAfterwards) {
  TskSkinForm* f = Framed(TFormBorderStyle::bsNone, 200, 150, 550, 386);
  f->Form().Show();
  TskActiveSkinObject* close = f->FindObject("closebutton");
  ASSERT_TRUE(close->Morphing);
  auto tick = [&] { f->Form().Perform(WM_TIMER, TskSkinForm::kMorphTimer, 0); };
  f->UpdateHover(530, 15, true);
  ASSERT_TRUE(f->MorphTimerRunning());
  for (double want : {0.2, 0.4, 0.6, 0.8}) {
    tick();
    EXPECT_NEAR(close->MorphFactor, want, 1e-9);
  }
  tick();
  EXPECT_EQ(close->MorphFactor, 1.0) << "the fifth tick ends the fade in";
  tick();
  EXPECT_FALSE(f->MorphTimerRunning());
  f->UpdateHover(300, 200, true);  // the client: the button is left
  ASSERT_TRUE(f->MorphTimerRunning());
  for (int i = 0; i < 5; ++i) tick();
  EXPECT_EQ(close->MorphFactor, 0.0) << "and the fifth tick ends the fade out";
  tick();
  EXPECT_FALSE(f->MorphTimerRunning());
}

TEST_F(FrameRules, CustomButtonsShowOnlyWhenAskedAndHiddenCaptionButtonsTakeEveryAnimation) {
  auto custom = std::make_unique<TskDataSkinStdButton>("helpbutton");
  custom->Command = SkinCommand::cmdefault;
  custom->SkinRect = {60, 5, 70, 15};
  custom->Hint = "Help";
  skin_.ObjectList.push_back(std::move(custom));
  auto spinner = std::make_unique<TskDataSkinAnimate>("spinner");  // not a button
  spinner->SkinRect = {80, 5, 90, 15};
  skin_.ObjectList.push_back(std::move(spinner));

  TskSkinForm* f = Framed(TFormBorderStyle::bsNone, 200, 150, 550, 386);
  EXPECT_FALSE(f->FindObject("helpbutton")->Visible) << "nobody asked for it";
  std::vector<std::pair<std::string, bool>> asked;
  f->OnActivateCustomObject = [&](const std::string& id, bool& visible) {
    asked.push_back({id, visible});
    visible = true;
  };
  f->ApplyBorderIcons();
  EXPECT_EQ(asked, (std::vector<std::pair<std::string, bool>>{{"helpbutton", false}}));
  EXPECT_TRUE(f->FindObject("helpbutton")->Visible);
  EXPECT_TRUE(f->FindObject("spinner")->Enabled) << "an animation that is no button keeps going";

  f->SetHideCaptionButtons(true);
  for (const char* id : {"helpbutton", "spinner", "closebutton"}) {
    EXPECT_FALSE(f->FindObject(id)->Enabled) << id;
    EXPECT_TRUE(f->FindObject(id)->Visible) << id << " is drawn by itself, not by the frame picture";
  }
}

TEST_F(FrameRules, CaptionButtonsTakeTheStringTablesHintsOrTheBuiltInOnesAndCustomButtonsKeepTheSkins) {
  auto custom = std::make_unique<TskDataSkinStdButton>("helpbutton");
  custom->Command = SkinCommand::cmdefault;
  custom->Hint = "Help";
  skin_.ObjectList.push_back(std::move(custom));
  TskSkinForm* f = Framed(TFormBorderStyle::bsNone, 200, 150, 550, 386);
  auto hints = [&] {
    std::vector<std::string> out;
    for (const char* id : {"closebutton", "maximizebutton", "minimizebutton", "sysmenubutton", "rollupbutton", "traybutton",
                           "helpbutton"})
      out.push_back(f->FindObject(id)->Hint);
    return out;
  };
  EXPECT_EQ(hints(), (std::vector<std::string>{"关闭", "最大化", "最小化", "系统菜单", "向上卷拢", "最小化到图标", "Help"}));
  TskResourceStrData strings(nullptr);
  strings.SetResStrings({"CLOSEBUTTON_HINT=Shut", "MAXBUTTON_HINT=Grow", "MINBUTTON_HINT=Shrink", "MENUBUTTON_HINT=Menu",
                         "ROLLUPBUTTON_HINT=Roll", "TRAYBUTTON_HINT=Tray"});
  skin_.SetResourceStrData(&strings);
  f->Form().Perform(MsgSkinStringsChange, 0, 0);  // what the skin data tells every window
  EXPECT_EQ(hints(), (std::vector<std::string>{"Shut", "Grow", "Shrink", "Menu", "Roll", "Tray", "Help"}));
  skin_.SetResourceStrData(nullptr);
  f->UseDefaultObjectHint = false;
  f->ApplySkinData();
  EXPECT_EQ(hints(), (std::vector<std::string>{"Close", "Maximize", "Minimize", "System menu", "Roll Up", "Minimize to Tray",
                                               "Help"}));
}

TEST_F(FrameRules, TheMaximumSizeIsTheWorkAreaOrTheWholeMonitorAndMaxWidthOnlyLowersIt) {
  TskSkinForm* f = Framed(TFormBorderStyle::bsSizeable, 200, 150, 400, 300);
  const TRect work = ScreenWorkRect(f->Form(), true), monitor = ScreenWorkRect(f->Form(), false);
  ASSERT_NE(work, monitor) << "the test desktop has a panel";
  auto limits = [&] {
    TMinMaxInfo info{};
    f->Form().Perform(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    return std::pair{info.MaxTrackSizeX, info.MaxTrackSizeY};
  };
  EXPECT_EQ(limits(), std::pair(work.Width(), work.Height()));
  f->MaximizeOnFullScreen = true;
  EXPECT_EQ(limits(), std::pair(monitor.Width(), monitor.Height()));
  f->MaxWidth = 500;
  f->MaxHeight = monitor.Height() + 100;
  EXPECT_EQ(limits(), std::pair(500, monitor.Height()));
  f->SetFrameWindowState(TskFrameState::Maximized);
  EXPECT_EQ(f->Form().BoundsRect(), monitor) << "maximised over the whole monitor";
}

namespace {
// A bitmap pixel (0xRRGGBB) as a colour (0x00BBGGRR).
TColor ColourAt(const TBitmap& b, int x, int y) {
  const uint32_t p = b.ScanLine(y)[x] & 0xFFFFFF;
  return static_cast<TColor>((p & 0xFF) << 16 | (p & 0xFF00) | (p >> 16));
}
}  // namespace

TEST(FrameGlyphs, TheRollGlyphsAreTrianglesWithTheirOnePixelTip) {
  // Rows of (first, last) pixels, the tip row last; roll-up points up, roll-down down.
  auto rows = [](void (*draw)(TCanvas&, int, int, TColor)) {
    TBitmap b(12, 10);
    b.Canvas().Brush().Color = clWhite;
    b.Canvas().FillRect({0, 0, 12, 10});
    draw(b.Canvas(), 0, 0, clBlack);
    std::vector<std::pair<int, int>> out;
    for (int y = 0; y < 10; ++y) {
      int first = -1, last = -1;
      for (int x = 0; x < 12; ++x)
        if (ColourAt(b, x, y) == clBlack) {
          if (first < 0) first = x;
          last = x;
        }
      if (first >= 0) out.push_back({first, last});
    }
    return out;
  };
  using Rows = std::vector<std::pair<int, int>>;
  EXPECT_EQ(rows(DrawRollUpGlyph), (Rows{{5, 5}, {4, 5}, {3, 6}, {2, 7}, {1, 8}}));
  EXPECT_EQ(rows(DrawRollDownGlyph), (Rows{{1, 8}, {2, 7}, {3, 6}, {4, 5}, {5, 5}}));
}

TEST_F(FrameRules, WithShowIconTheDefaultFramesSystemMenuButtonShowsTheProgramsIcon) {
  auto form = std::make_unique<TForm>(nullptr);
  form->SetBorderStyle(TFormBorderStyle::bsSizeable);
  form->SetBounds(100, 100, 200, 100);
  auto* frame = new TskSkinForm(form.get());
  frame->ActiveLook = 1;
  frame->ApplySkinData();
  frame->SetShowIcon(true);
  TBitmap painted(200, 100);
  frame->PaintDefaultFrame(painted.Canvas());
  ASSERT_EQ(frame->FindObject("sysmenubutton")->ObjectRect, TRect(3, 4, 19, 20)) << "the small icon's size";
  // The icon's own colours: neither the button face nor the glyph colour.
  int iconPixels = 0;
  for (int y = 4; y < 20; ++y)
    for (int x = 3; x < 19; ++x) {
      const TColor c = ColourAt(painted, x, y);
      iconPixels += c != ColorToRGB(clBtnFace) && c != ColorToRGB(clBtnText) && c != ColorToRGB(clBtnShadow);
    }
  EXPECT_GT(iconPixels, 40);
}

TEST_F(FrameRules, OpacityAndTheDefaultCaptionFontsTakeEffectWhenChangedAtRunTime) {
  gWindowOpacitySeam = 1;  // as with a compositing manager
  struct Reset { ~Reset() { gWindowOpacitySeam = -1; } } reset;
  TskSkinForm* f = Framed(TFormBorderStyle::bsNone, 200, 150, 550, 386);
  TForm& w = f->Form();
  w.Show();
  auto layered = [&] { return (w.GetWindowLong(GWL_EXSTYLE) & WS_EX_LAYERED) != 0; };
  f->SetAlphaBlend(true);
  EXPECT_TRUE(layered());
  EXPECT_EQ(w.LayeredAlpha(), 200);
  f->SetAlphaBlendValue(120);
  EXPECT_EQ(w.LayeredAlpha(), 120);
  f->SetAlphaBlend(false);
  EXPECT_FALSE(layered());

  // The default frame repaints (asks for WM_NCPAINT) when either caption font changes.
  TskSkinForm* plain = Framed(TFormBorderStyle::bsSizeable, 100, 100, 300, 200);
  plain->SetSkinData(nullptr);
  int paints = 0;
  const TWndMethod framed = plain->Form().WindowProc;
  plain->Form().WindowProc = [&, framed](TMessage& m) {
    if (m.Msg == WM_NCPAINT && m.WParam == 0) ++paints;
    framed(m);
  };
  plain->DefCaptionFont().SetColor(clRed);
  EXPECT_EQ(paints, 1);
  plain->DefInActiveCaptionFont().SetHeight(16);
  EXPECT_EQ(paints, 2);
}
