// The skinned push button: faces per style and state, caption, focus mark, glyph layout, and the
// state changes from the pointer, the keyboard, dialog keys and accelerators.
#include <gtest/gtest.h>

#include <algorithm>

#include "controls/Button.h"
#include "controls/ControlsTestUtil.h"
#include "platform/windows/Forms.h"

namespace corvane {
namespace {

using test::Hex;

constexpr TColor kFormColor = 0x336699;

// A picture behind the buttons: every pixel tells its position.
class Backdrop : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  static TColor At(int x, int y) { return RGB(x, y, 0x40); }
 protected:
  void Paint() override {
    for (int y = 0; y < Height(); ++y)
      for (int x = 0; x < Width(); ++x) Canvas().SetPixel(x, y, At(x, y));
  }
};

class ButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form = new TForm(nullptr);
    form->SetBorderStyle(TFormBorderStyle::bsNone);
    form->SetBounds(120, 120, 260, 120);
    form->SetColor(kFormColor);
    button = new TthButton(form);
    button->SetParent(form);
    button->SetBounds(10, 10, 80, 27);
    button->OnClick = [this](TObject*) { ++clicks; };
  }
  void TearDown() override { delete form; }

  // Shows the window with no control focused (showing focuses the first tab stop).
  void ShowForm() {
    form->Show();
    Application->ProcessMessages();
    form->SetActiveControl(nullptr);
  }

  void Render(TBitmap& out) {
    test::Fill(out, button->Width(), button->Height(), clBlack);
    button->PaintTo(out.Canvas());
  }

  // What the face alone must look like: the frame sliced over `ground`.
  void ExpectedFace(TBitmap& out, TthUIStyle style, int frame, TColor ground, bool transparentCorners) {
    TBitmap image;
    ThemeImageOf(style, thButtonImage, image, 3, frame);
    test::Fill(out, button->Width(), button->Height(), ground);
    DrawSlicedImage(image, out.Canvas(), button->ClientRect(), transparentCorners);
  }

  static int Differences(const TBitmap& a, const TBitmap& b) {
    int n = 0;
    for (int y = 0; y < a.Height(); ++y)
      for (int x = 0; x < a.Width(); ++x) n += a.Pixel(x, y) != b.Pixel(x, y);
    return n;
  }

  // The bounding box of the pixels that differ between two renders.
  static TRect InkBox(const TBitmap& a, const TBitmap& face) {
    TRect r(9999, 9999, -1, -1);
    for (int y = 0; y < a.Height(); ++y)
      for (int x = 0; x < a.Width(); ++x)
        if (a.Pixel(x, y) != face.Pixel(x, y)) {
          r.Left = std::min(r.Left, x); r.Top = std::min(r.Top, y);
          r.Right = std::max(r.Right, x + 1); r.Bottom = std::max(r.Bottom, y + 1);
        }
    return r;
  }

  TForm* form = nullptr;
  TthButton* button = nullptr;
  int clicks = 0;
};

// ---------------------------------------------------------------------------------------------
// Creation and style

TEST_F(ButtonTest, CreatedAsEightyByTwentySevenDeepBlueTabStop) {
  TthButton b(nullptr);
  EXPECT_EQ(80, b.Width());
  EXPECT_EQ(27, b.Height());
  EXPECT_EQ(TthUIStyle::DeepBlue, b.UIStyle());
  EXPECT_TRUE(b.TabStop);
  EXPECT_FALSE(b.Transparent());
  EXPECT_EQ(100, b.MouseContinuouslyDownInterval);
  EXPECT_EQ(2, b.FocusedRectMargin());
  EXPECT_EQ(4, b.Spacing());
  EXPECT_EQ(TButtonLayout::blGlyphLeft, b.Layout());
  EXPECT_TRUE(b.Glyph().Empty());
  EXPECT_FALSE(b.Hot());
  EXPECT_FALSE(b.Down());
  EXPECT_FALSE(b.RepeatTimerRunning());
  b.SetResHandle(1234);
  EXPECT_EQ(0, b.ResHandle());
}

TEST_F(ButtonTest, StyleSetsTransparencyAndAStoredTransparentWins) {
  button->SetUIStyle(TthUIStyle::MacOS);
  EXPECT_TRUE(button->Transparent());
  button->SetUIStyle(TthUIStyle::WinXP);
  EXPECT_FALSE(button->Transparent());
  button->SetUIStyle(TthUIStyle::BlueGlass);
  EXPECT_TRUE(button->Transparent());
  button->SetUIStyle(TthUIStyle::FromThemeFile);  // no file: DeepBlue
  EXPECT_FALSE(button->Transparent());
  // A layout stores UIStyle before Transparent.
  button->SetUIStyle(TthUIStyle::MacOS);
  button->SetTransparent(false);
  EXPECT_FALSE(button->Transparent());
}

TEST_F(ButtonTest, AutoSizeTakesOneFrameOfTheRawStyle) {
  struct { TthUIStyle s; int w, h; } cases[] = {{TthUIStyle::MacOS, 84, 23}, {TthUIStyle::WinXP, 18, 21},
                                                {TthUIStyle::DeepBlue, 74, 21}, {TthUIStyle::BlueGlass, 77, 27},
                                                {TthUIStyle::FromThemeFile, 24, 21}};
  for (auto& c : cases) {
    button->SetAutoSize(false);
    button->SetBounds(10, 10, 80, 27);
    button->SetUIStyle(c.s);
    button->SetAutoSize(true);
    EXPECT_EQ(c.w, button->Width()) << UIStyleName(c.s);
    EXPECT_EQ(c.h, button->Height()) << UIStyleName(c.s);
  }
}

TEST_F(ButtonTest, RemovedFileThemeFallsBackToDeepBlue) {
  auto* theme = new TthFileTheme(nullptr);
  button->SetUIStyle(TthUIStyle::MacOS);
  button->SetFileTheme(theme);
  EXPECT_EQ(theme, button->FileTheme());
  EXPECT_EQ(TthUIStyle::MacOS, button->UIStyle());
  delete theme;
  EXPECT_EQ(nullptr, button->FileTheme());
  EXPECT_EQ(TthUIStyle::DeepBlue, button->UIStyle());
  EXPECT_FALSE(button->Transparent());
}

// ---------------------------------------------------------------------------------------------
// Faces

TEST_F(ButtonTest, WinXPFacesNormalHotPressedOnTheParentColour) {
  button->SetUIStyle(TthUIStyle::WinXP);
  TBitmap out, want;
  for (int frame = 1; frame <= 3; ++frame) {
    if (frame == 2) button->Perform(CM_MOUSEENTER, 0, 0);
    if (frame == 3) button->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(5, 5));
    Render(out);
    ExpectedFace(want, TthUIStyle::WinXP, frame, kFormColor, false);
    EXPECT_EQ(0, Differences(out, want)) << "frame " << frame;
  }
  // The three frames really differ, so the comparison above tells them apart.
  TBitmap f1, f2;
  ExpectedFace(f1, TthUIStyle::WinXP, 1, kFormColor, false);
  ExpectedFace(f2, TthUIStyle::WinXP, 2, kFormColor, false);
  EXPECT_GT(Differences(f1, f2), 0);
  button->Perform(WM_LBUTTONUP, 0, MakeLParam(5, 5));
}

TEST_F(ButtonTest, CaptionIsCentredInTheFontColourAndMovesWhenPressed) {
  button->SetUIStyle(TthUIStyle::WinXP);
  button->Font().SetColor(clRed);
  button->SetCaption("查找");
  TBitmap normal, face, pressed, pressedFace;
  Render(normal);
  ExpectedFace(face, TthUIStyle::WinXP, 1, kFormColor, false);
  TRect ink = InkBox(normal, face);
  ASSERT_GT(ink.Width(), 4);
  EXPECT_LE(std::abs((ink.Left + ink.Right) - 80), 3);
  EXPECT_LE(std::abs((ink.Top + ink.Bottom) - 27), 3);
  EXPECT_GT(test::CountNear(normal, ink, clRed, 40), 0);
  button->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(5, 5));
  Render(pressed);
  ExpectedFace(pressedFace, TthUIStyle::WinXP, 3, kFormColor, false);
  EXPECT_EQ(ink.Offset(1, 1), InkBox(pressed, pressedFace));
  button->Perform(WM_LBUTTONUP, 0, MakeLParam(5, 5));
}

TEST_F(ButtonTest, CaptionOfBlanksLeavesTheFaceAlone) {
  button->SetUIStyle(TthUIStyle::WinXP);
  button->SetCaption("  &  ");  // drawn: the accelerator mark underlines a blank
  TBitmap out, face;
  Render(out);
  ExpectedFace(face, TthUIStyle::WinXP, 1, kFormColor, false);
  EXPECT_GT(Differences(out, face), 0);
  button->SetCaption("   ");
  Render(out);
  EXPECT_EQ(0, Differences(out, face));
}

TEST_F(ButtonTest, MacOSTransparentShowsTheParentPictureThroughTheRoundedEnds) {
  Backdrop* back = new Backdrop(form);
  back->SetBounds(0, 0, 260, 120);
  back->SetParent(form);
  button->SetUIStyle(TthUIStyle::MacOS);
  ASSERT_TRUE(button->Transparent());
  TBitmap frame, out;
  ThemeImageOf(TthUIStyle::MacOS, thButtonImage, frame, 3, 1);
  ASSERT_EQ(thKeyColor, frame.Pixel(0, 0));
  Render(out);
  EXPECT_EQ(Hex(Backdrop::At(10, 10)), Hex(out.Pixel(0, 0)));
  EXPECT_EQ(Hex(Backdrop::At(89, 36)), Hex(out.Pixel(79, 26)));
  EXPECT_EQ(0, test::CountPixels(out, TRect(0, 0, 80, 27), thKeyColor));
  // Not transparent: the key-colour corners show as magenta on the parent's colour.
  button->SetTransparent(false);
  Render(out);
  EXPECT_EQ(Hex(thKeyColor), Hex(out.Pixel(0, 0)));
  EXPECT_EQ(Hex(thKeyColor), Hex(out.Pixel(79, 26)));
  EXPECT_EQ(0, test::CountPixels(out, TRect(0, 0, 80, 27), Backdrop::At(10, 10)));
}

TEST_F(ButtonTest, FocusedMacOSCaptionIsBoldWithoutAFocusRectangle) {
  ShowForm();
  button->SetUIStyle(TthUIStyle::MacOS);
  button->SetTransparent(false);
  button->Font().SetColor(clBlack);
  button->Font().SetHeight(-13);
  button->SetCaption("OK");
  TBitmap unfocused, focused, face;
  Render(unfocused);
  button->SetFocus();
  ASSERT_TRUE(button->Focused());
  Render(focused);
  ExpectedFace(face, TthUIStyle::MacOS, 1, kFormColor, false);
  ASSERT_FALSE(InkBox(unfocused, face).IsEmpty());
  long thin = test::Darkness(unfocused, InkBox(unfocused, face)) - test::Darkness(face, InkBox(unfocused, face));
  long bold = test::Darkness(focused, InkBox(focused, face)) - test::Darkness(face, InkBox(focused, face));
  EXPECT_GT(bold, thin * 5 / 4);
  // Outside the caption nothing changes: no dotted rectangle.
  TRect ink = UnionRect(InkBox(unfocused, face), InkBox(focused, face));
  for (int y = 0; y < 27; ++y)
    for (int x = 0; x < 80; ++x)
      if (!ink.Contains({x, y})) ASSERT_EQ(unfocused.Pixel(x, y), focused.Pixel(x, y)) << x << "," << y;
}

TEST_F(ButtonTest, FocusedWinXPButtonDrawsTheDottedRectangleAtTheMargin) {
  ShowForm();
  button->SetUIStyle(TthUIStyle::WinXP);
  TBitmap unfocused, focused;
  Render(unfocused);
  button->SetFocus();
  Render(focused);
  auto inverted = [](TColor c) { return c ^ 0xFFFFFF; };
  EXPECT_EQ(Hex(inverted(unfocused.Pixel(2, 2))), Hex(focused.Pixel(2, 2)));
  EXPECT_EQ(Hex(unfocused.Pixel(3, 2)), Hex(focused.Pixel(3, 2)));
  EXPECT_EQ(Hex(inverted(unfocused.Pixel(4, 2))), Hex(focused.Pixel(4, 2)));
  EXPECT_EQ(Hex(unfocused.Pixel(1, 1)), Hex(focused.Pixel(1, 1)));
  button->SetFocusedRectMargin(4);
  Render(focused);
  EXPECT_EQ(Hex(unfocused.Pixel(2, 2)), Hex(focused.Pixel(2, 2)));
  EXPECT_EQ(Hex(inverted(unfocused.Pixel(4, 4))), Hex(focused.Pixel(4, 4)));
  // Without TabStop there is no focus mark.
  button->TabStop = false;
  Render(focused);
  EXPECT_EQ(0, Differences(unfocused, focused));
}

TEST_F(ButtonTest, DisabledShowsFrameOneWithWhiteUnderGreyCaption) {
  button->SetUIStyle(TthUIStyle::WinXP);
  button->Font().SetColor(clBlack);
  button->SetCaption("II");
  button->Perform(CM_MOUSEENTER, 0, 0);  // hot, but disabled wins
  button->SetEnabled(false);
  TBitmap out, face;
  Render(out);
  ExpectedFace(face, TthUIStyle::WinXP, 1, kFormColor, false);
  TRect ink = InkBox(out, face);
  EXPECT_GT(test::CountNear(out, ink, clWhite, 30), 0);
  EXPECT_GT(test::CountNear(out, ink, clGray, 30), 0);
  EXPECT_EQ(0, test::CountNear(out, ink, clBlack, 60));
  // The white copy is drawn on top of the face, not just found in it.
  EXPECT_GT(test::CountNear(out, ink, clWhite, 8), test::CountNear(face, ink, clWhite, 8));
  // The grey copy sits one pixel up and left of the white one: the top-left ink is grey.
  EXPECT_GT(test::CountNear(out, TRect(ink.Left, ink.Top, ink.Left + 3, ink.Bottom), clGray, 60), 0);
}

TEST_F(ButtonTest, AFailingImageFetchPaintsABlankFace) {
  // A theme file whose button image is not a bitmap.
  std::string bytes(24, '\0');
  auto put = [&](size_t at, uint32_t v) { for (int i = 0; i < 4; ++i) bytes[at + i] = char((v >> (8 * i)) & 0xFF); };
  put(12, 24);
  bytes += "garbage!";
  put(20, 32);
  std::string rec(77, '\0');
  rec.replace(0, 11, "ButtonImage");
  rec[64] = 0;
  std::string closing(77, '\0');
  bytes += rec + closing;
  put(32 + 65, 24);
  put(32 + 69, 8);
  put(32 + 73, 32 + 77);
  std::string path = ExtractFilePath(ParamStr0()) + "corvane_bad_image.thm";
  WriteFileAtomically(path, bytes);
  TthFileTheme theme(nullptr);
  theme.SetThemeFile(path);
  std::remove(path.c_str());
  ASSERT_TRUE(theme.IsLoaded());
  button->SetFileTheme(&theme);
  button->SetUIStyle(TthUIStyle::FromThemeFile);
  TBitmap out;
  Render(out);
  // A blank (white) state image sliced over the parent colour: white everywhere but the last row
  // of the centre, which the nine pieces leave to the ground.
  EXPECT_EQ(Hex(clWhite), Hex(out.Pixel(0, 0)));
  EXPECT_EQ(Hex(clWhite), Hex(out.Pixel(79, 26)));
  EXPECT_EQ(Hex(clWhite), Hex(out.Pixel(40, 5)));
  button->SetFileTheme(nullptr);
}

// ---------------------------------------------------------------------------------------------
// Glyph

TEST_F(ButtonTest, GlyphLeftOfTheCaptionAndTwoImageGlyphWhenDisabled) {
  button->SetUIStyle(TthUIStyle::WinXP);
  button->SetCaption("Go");
  TBitmap glyph;
  test::Fill(glyph, 32, 16, clFuchsia);  // two 16 x 16 images; (0, 0) is the transparent colour
  glyph.Canvas().Brush().Color = clLime;
  glyph.Canvas().FillRect(TRect(4, 4, 12, 12));
  glyph.Canvas().Brush().Color = clBlue;
  glyph.Canvas().FillRect(TRect(20, 4, 28, 12));
  button->SetGlyph(glyph);
  TBitmap out;
  Render(out);
  TBitmap probe(1, 1);
  probe.Canvas().Font().Assign(button->Font());
  TSize text = probe.Canvas().TextExtent("Go");
  int gx = (80 - 16 - text.cx - 4) / 2, gy = (27 - 16) / 2;
  EXPECT_EQ(TPoint(gx + 16 + 4, (27 - text.cy) / 2), button->TextOrigin());
  EXPECT_EQ(Hex(clLime), Hex(out.Pixel(gx + 4, gy + 4)));
  EXPECT_EQ(Hex(clLime), Hex(out.Pixel(gx + 11, gy + 11)));
  EXPECT_NE(Hex(clLime), Hex(out.Pixel(gx + 12, gy + 4)));
  EXPECT_EQ(0, test::CountPixels(out, TRect(0, 0, 80, 27), clFuchsia));
  EXPECT_EQ(0, test::CountPixels(out, TRect(0, 0, 80, 27), clBlue));
  button->SetEnabled(false);
  Render(out);
  EXPECT_EQ(Hex(clBlue), Hex(out.Pixel(gx + 4, gy + 4)));
  EXPECT_EQ(0, test::CountPixels(out, TRect(0, 0, 80, 27), clLime));
}

TEST_F(ButtonTest, GlyphLayoutsPlaceTheTextAroundTheGlyph) {
  button->SetCaption("Go");
  TBitmap glyph;
  test::Fill(glyph, 10, 12, clFuchsia);
  button->SetGlyph(glyph);
  TBitmap probe(1, 1), out;
  probe.Canvas().Font().Assign(button->Font());
  TSize t = probe.Canvas().TextExtent("Go");
  button->SetSpacing(3);
  button->SetLayout(TButtonLayout::blGlyphRight);
  Render(out);
  int gx = (80 + t.cx + 3 - 10) / 2;
  EXPECT_EQ(TPoint(gx - t.cx - 3, (27 - t.cy) / 2), button->TextOrigin());
  button->SetLayout(TButtonLayout::blGlyphTop);
  Render(out);
  int gy = (27 - t.cy - 12 - 3) / 2;
  EXPECT_EQ(TPoint((80 - t.cx) / 2, gy + 12 + 3), button->TextOrigin());
  button->SetLayout(TButtonLayout::blGlyphBottom);
  Render(out);
  gy = (27 + t.cy + 3 - 12) / 2;
  EXPECT_EQ(TPoint((80 - t.cx) / 2, gy - t.cy - 3), button->TextOrigin());
}

// ---------------------------------------------------------------------------------------------
// Pointer

TEST_F(ButtonTest, PointerEnterPressReleaseClicksOnce) {
  ShowForm();
  int entered = 0, exited = 0;
  button->OnMouseEnter = [&](TObject*) { ++entered; };
  button->OnMouseExit = [&](TObject*) { ++exited; };
  button->ModalResult = mrOk;
  Input::MoveOver(button, 20, 10);
  EXPECT_TRUE(button->Hot());
  EXPECT_EQ(1, entered);
  Input::MouseDown(button->ClientToScreen({20, 10}));
  EXPECT_TRUE(button->Down());
  EXPECT_TRUE(button->RepeatTimerRunning());
  Input::MouseUp(button->ClientToScreen({20, 10}));
  EXPECT_EQ(1, clicks);
  EXPECT_FALSE(button->Down());
  EXPECT_FALSE(button->RepeatTimerRunning());
  EXPECT_EQ(mrOk, form->ModalResult());
  EXPECT_TRUE(button->Focused());  // a click takes the focus
  Input::MouseMove(form->ClientToScreen({200, 100}));
  EXPECT_FALSE(button->Hot());
  EXPECT_EQ(1, exited);
}

TEST_F(ButtonTest, PressDragOffAndReleaseOutsideGivesNoClick) {
  ShowForm();
  Input::MoveOver(button, 20, 10);
  Input::MouseDown(button->ClientToScreen({20, 10}));
  ASSERT_TRUE(button->Down());
  Input::MouseMove(button->ClientToScreen({80, 10}));  // just past the right edge
  EXPECT_FALSE(button->Down());
  EXPECT_FALSE(button->Hot());
  Input::MouseMove(button->ClientToScreen({150, 60}));
  Input::MouseUp(button->ClientToScreen({150, 60}));
  EXPECT_EQ(0, clicks);
  EXPECT_FALSE(button->RepeatTimerRunning());
}

TEST_F(ButtonTest, ClickSetsTheWindowsModalResultEvenWhenZero) {
  form->SetModalResult(mrCancel);
  button->ModalResult = mrNone;
  button->Click();
  EXPECT_EQ(mrNone, form->ModalResult());
  // A button in no window still clicks.
  TthButton lone(nullptr);
  int n = 0;
  lone.OnClick = [&](TObject*) { ++n; };
  lone.ModalResult = mrOk;
  lone.Click();
  EXPECT_EQ(1, n);
}

TEST_F(ButtonTest, ClickEndsAModalLoop) {
  button->ModalResult = mrOk;
  PostCall([this] { Input::ClickOn(button, 30, 10); });
  EXPECT_EQ(mrOk, form->ShowModal());
  EXPECT_EQ(1, clicks);
}

TEST_F(ButtonTest, HoldingTheLeftButtonRepeatsTheEventNotTheClick) {
  ShowForm();
  int ticks = 0;
  button->OnMouseContinuouslyDown = [&](TObject*) { ++ticks; };
  button->MouseContinuouslyDownInterval = 15;
  Input::MoveOver(button, 20, 10);
  Input::MouseDown(button->ClientToScreen({20, 10}));
  EXPECT_TRUE(Application->ProcessUntil([&] { return ticks >= 3; }, 2000));
  EXPECT_EQ(0, clicks);
  Input::MouseUp(button->ClientToScreen({20, 10}));
  EXPECT_EQ(1, clicks);
  int after = ticks;
  Application->ProcessUntil([] { return false; }, 80);
  EXPECT_EQ(after, ticks);
}

TEST_F(ButtonTest, ZeroOrNegativeIntervalNeverTicks) {
  ShowForm();
  for (int interval : {0, -5}) {
    int ticks = 0;
    button->OnMouseContinuouslyDown = [&](TObject*) { ++ticks; };
    button->MouseContinuouslyDownInterval = interval;
    Input::MoveOver(button, 20, 10);
    Input::MouseDown(button->ClientToScreen({20, 10}));
    ASSERT_TRUE(button->RepeatTimerRunning());
    Application->ProcessUntil([] { return false; }, 60);
    Input::MouseUp(button->ClientToScreen({20, 10}));
    EXPECT_EQ(0, ticks) << interval;
  }
}

TEST_F(ButtonTest, LeavingStopsTheRepeatTimer) {
  ShowForm();
  button->Perform(CM_MOUSEENTER, 0, 0);
  button->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(3, 3));
  ASSERT_TRUE(button->RepeatTimerRunning());
  button->Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(button->RepeatTimerRunning());
  EXPECT_FALSE(button->Down());
  EXPECT_FALSE(button->Hot());
}

TEST_F(ButtonTest, ADoubleClickIsTwoPressesAndTwoClicks) {
  ShowForm();
  Input::DoubleClick(button->ClientToScreen({20, 10}));
  EXPECT_EQ(2, clicks);
}

TEST_F(ButtonTest, RightButtonDoesNotPress) {
  ShowForm();
  Input::MoveOver(button, 20, 10);
  Input::MouseDown(button->ClientToScreen({20, 10}), TMouseButton::mbRight);
  EXPECT_FALSE(button->Down());
  Input::MouseUp(button->ClientToScreen({20, 10}), TMouseButton::mbRight);
  EXPECT_EQ(0, clicks);
}

// ---------------------------------------------------------------------------------------------
// Keyboard

TEST_F(ButtonTest, SpaceOnTheFocusedButtonPressesOnDownAndClicksOnUp) {
  ShowForm();
  button->SetFocus();
  Input::KeyDown(VK_SPACE);
  EXPECT_TRUE(button->Down());
  EXPECT_EQ(0, clicks);
  Input::KeyUp(VK_SPACE);
  EXPECT_FALSE(button->Down());
  EXPECT_EQ(1, clicks);
}

TEST_F(ButtonTest, ReturnOnAFocusedNonDefaultButtonClicksOnKeyUp) {
  ShowForm();
  button->SetFocus();
  Input::KeyDown(VK_RETURN);
  EXPECT_TRUE(button->Down());
  EXPECT_EQ(0, clicks);
  Input::KeyUp(VK_RETURN);
  EXPECT_EQ(1, clicks);
}

TEST_F(ButtonTest, ReturnClicksTheDefaultButtonAndEscapeTheCancelButton) {
  auto* other = new TthButton(form);
  other->SetParent(form);
  other->SetBounds(100, 10, 80, 27);
  int otherClicks = 0;
  other->OnClick = [&](TObject*) { ++otherClicks; };
  other->SetDefault(true);
  ShowForm();
  button->SetFocus();
  Input::Key(VK_RETURN);
  EXPECT_EQ(1, otherClicks);
  EXPECT_EQ(0, clicks);
  EXPECT_TRUE(other->Focused());  // the click took the focus
  // With Shift held the default button does not answer; the focused one presses itself.
  button->SetFocus();
  Input::KeyDown(VK_RETURN, ssShift);
  EXPECT_EQ(1, otherClicks);
  EXPECT_TRUE(button->Down());
  Input::KeyUp(VK_RETURN, ssShift);
  EXPECT_EQ(1, clicks);
  button->Cancel = true;
  other->SetFocus();
  Input::Key(VK_ESCAPE);
  EXPECT_EQ(2, clicks);
  EXPECT_EQ(1, otherClicks);
}

TEST_F(ButtonTest, KeysOnADisabledOrUnfocusedButtonDoNothing) {
  ShowForm();
  button->Perform(WM_KEYDOWN, VK_SPACE, 0);  // not focused
  EXPECT_FALSE(button->Down());
  button->SetFocus();
  button->SetEnabled(false);
  button->Perform(WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_FALSE(button->Down());
  button->Perform(WM_KEYUP, VK_SPACE, 0);
  EXPECT_EQ(0, clicks);
}

TEST_F(ButtonTest, AcceleratorOfTheCaptionClicks) {
  EXPECT_EQ(U'F', AcceleratorOf("&Find"));
  EXPECT_EQ(U'b', AcceleratorOf("a&&b &b"));
  EXPECT_EQ(U'查', AcceleratorOf("&查找"));
  EXPECT_EQ(0u, AcceleratorOf("a&&b"));
  EXPECT_EQ(0u, AcceleratorOf("trailing&"));
  button->SetCaption("&Find");
  EXPECT_EQ(1, form->Perform(CM_DIALOGCHAR, 'f', 0));
  EXPECT_EQ(1, clicks);
  EXPECT_EQ(0, form->Perform(CM_DIALOGCHAR, 'x', 0));
  button->SetEnabled(false);
  EXPECT_EQ(0, form->Perform(CM_DIALOGCHAR, 'F', 0));
  EXPECT_EQ(1, clicks);
}

TEST_F(ButtonTest, TextChangeSetsTheCaption) {
  button->SetText("abc");
  button->SetCaption("abc");
  TBitmap a, b;
  Render(a);
  button->SetText("xyz");
  Render(b);
  EXPECT_GT(Differences(a, b), 0);
  EXPECT_EQ("xyz", button->Caption());
}

}  // namespace
}  // namespace corvane

namespace corvane {

// A button linked to an action mirrors its caption, hint, enabled and visible state, runs it when
// clicked without an OnClick, and outlives or is outlived by it without a dangling link.
TEST_F(ButtonTest, AnActionGivesItsStateAndRunsOnAClick) {
  int runs = 0;
  button->OnClick = nullptr;  // the fixture's counter would take the click
  auto* action = new TAction(form);
  action->SetCaption("查找");
  action->SetHint("Look up|Looks up the code");
  action->OnExecute = [&](TObject*) { ++runs; };
  button->SetAction(action);
  EXPECT_EQ(button->Caption(), "查找");
  EXPECT_EQ(button->Hint, "Look up|Looks up the code");
  action->SetCaption("确定");
  EXPECT_EQ(button->Caption(), "确定");
  button->Click();
  EXPECT_EQ(runs, 1);
  action->SetEnabled(false);
  EXPECT_FALSE(button->Enabled());
  action->SetEnabled(true);
  action->SetVisible(false);
  EXPECT_FALSE(button->Visible());
  action->SetVisible(true);
  // A handler of its own wins over the action.
  int own = 0;
  button->OnClick = [&](TObject*) { ++own; };
  button->Click();
  EXPECT_EQ(own, 1);
  EXPECT_EQ(runs, 1);
  button->OnClick = nullptr;
  // The action goes first: the button forgets it.
  delete action;
  EXPECT_EQ(button->Action(), nullptr);
  button->Click();
  // The button goes first: the action lives on and changes without it.
  auto* second = new TAction(form);
  auto* other = new TthButton(form);
  other->SetAction(second);
  delete other;
  second->SetCaption("after");
  EXPECT_EQ(second->Caption(), "after");
}

}  // namespace corvane
