// The skinned edit: the two rings of its border band by style, border colour and background,
// and that it still edits text.
#include <gtest/gtest.h>

#include "controls/ControlsTestUtil.h"
#include "controls/Edit.h"
#include "platform/windows/Forms.h"

namespace corvane {
namespace {

using test::Hex;

void Render(TthEdit& e, TBitmap& out) {
  test::Fill(out, e.Width(), e.Height(), clFuchsia);
  e.PaintTo(out.Canvas());
}

// Every pixel of the one-pixel ring `inset` pixels in from the edge has colour c.
void ExpectRing(const TBitmap& b, int inset, TColor c) {
  int w = b.Width(), h = b.Height();
  for (int x = inset; x < w - inset; ++x) {
    ASSERT_EQ(Hex(c), Hex(b.Pixel(x, inset))) << "top " << x;
    ASSERT_EQ(Hex(c), Hex(b.Pixel(x, h - 1 - inset))) << "bottom " << x;
  }
  for (int y = inset; y < h - inset; ++y) {
    ASSERT_EQ(Hex(c), Hex(b.Pixel(inset, y))) << "left " << y;
    ASSERT_EQ(Hex(c), Hex(b.Pixel(w - 1 - inset, y))) << "right " << y;
  }
}

TEST(ThEdit, CreatedDeepBlueWithABlackOuterRingAndTheBackgroundInside) {
  TthEdit e(nullptr);
  e.SetBounds(0, 0, 168, 19);
  EXPECT_EQ(TthUIStyle::DeepBlue, e.UIStyle());
  EXPECT_EQ(TBorderStyle::bsNone, e.BorderStyle());
  EXPECT_EQ(clWindow, e.Color());
  TBitmap out;
  Render(e, out);
  ExpectRing(out, 0, clBlack);
  // The default background is a system colour, drawn as its actual colour.
  ExpectRing(out, 1, ColorToRGB(clWindow));
}

TEST(ThEdit, TheLineCodeFieldOfTheMainWindow) {
  TthEdit e(nullptr);
  e.SetBounds(0, 0, 168, 19);
  e.SetUIStyle(TthUIStyle::MacOS);
  e.SetBorderColor(0x7F7F7F);
  e.SetColor(0xF0F8FF);
  TBitmap out;
  Render(e, out);
  ExpectRing(out, 0, 0x7F7F7F);
  ExpectRing(out, 1, 0xF0F8FF);  // the two rings fill the whole band: no sunken border shows
  EXPECT_EQ(Hex(0xF0F8FF), Hex(out.Pixel(84, 9)));
}

TEST(ThEdit, StyleSetsTheRingAndBorderColorOverridesUntilTheStyleIsSetAgain) {
  TthEdit e(nullptr);
  e.SetBounds(0, 0, 40, 12);
  TBitmap out;
  e.SetUIStyle(TthUIStyle::WinXP);
  Render(e, out);
  ExpectRing(out, 0, 0x686868);
  e.SetBorderColor(0x123456);
  Render(e, out);
  ExpectRing(out, 0, 0x123456);
  e.SetUIStyle(TthUIStyle::WinXP);
  EXPECT_EQ(0x686868, e.BorderColor());
  e.SetUIStyle(TthUIStyle::Protein);
  EXPECT_EQ(0x000000, e.BorderColor());
  e.SetUIStyle(TthUIStyle::FromThemeFile);  // no file theme: DeepBlue
  EXPECT_EQ(0x000000, e.BorderColor());
  e.SetUIStyle(TthUIStyle::MacOS);
  EXPECT_EQ(0x7F7F7F, e.BorderColor());
}

TEST(ThEdit, ANewBorderColourReachesTheScreenWithoutBeingAskedFor) {
  TForm form(nullptr);
  form.SetBounds(100, 100, 200, 60);
  auto* e = new TthEdit(&form);
  e->SetParent(&form);
  e->SetBounds(10, 10, 168, 19);
  e->SetBorderColor(0x00FF00);
  form.Show();
  // The screen's pixel at the ring's top-left corner.
  auto ring = [&] {
    TBitmap shot;
    TPoint p = e->ClientToScreen({0, 0});
    return GrabScreen(Bounds(p.X, p.Y, 1, 1), shot) ? Hex(shot.Pixel(0, 0)) : std::string("unreadable");
  };
  ASSERT_TRUE(Application->ProcessUntil([&] { return ring() == Hex(0x00FF00); }, 5000)) << ring();
  e->SetBorderColor(0x0000FF);
  EXPECT_TRUE(Application->ProcessUntil([&] { return ring() == Hex(0x0000FF); }, 2000)) << ring();
}

TEST(ThEdit, SystemColourBorderIsDrawnInItsActualColour) {
  TthEdit e(nullptr);
  e.SetBounds(0, 0, 30, 10);
  e.SetBorderColor(clBtnShadow);
  e.SetColor(clBtnFace);
  TBitmap out;
  Render(e, out);
  ExpectRing(out, 0, ColorToRGB(clBtnShadow));
  ExpectRing(out, 1, ColorToRGB(clBtnFace));
}

TEST(ThEdit, RemovedFileThemeFallsBackToDeepBlue) {
  TthEdit e(nullptr);
  auto* theme = new TthFileTheme(nullptr);
  e.SetUIStyle(TthUIStyle::WinXP);
  e.SetFileTheme(theme);
  EXPECT_EQ(0x686868, e.BorderColor());
  delete theme;
  EXPECT_EQ(nullptr, e.FileTheme());
  EXPECT_EQ(TthUIStyle::DeepBlue, e.UIStyle());
  EXPECT_EQ(0x000000, e.BorderColor());
}

TEST(ThEdit, StillEditsText) {
  TForm form(nullptr);
  form.SetBorderStyle(TFormBorderStyle::bsNone);
  form.SetBounds(200, 200, 200, 60);
  auto* e = new TthEdit(&form);
  e->SetParent(&form);
  e->SetBounds(10, 10, 168, 19);
  int changes = 0;
  e->OnChange = [&](TObject*) { ++changes; };
  form.Show();
  Application->ProcessMessages();
  e->SetFocus();
  Input::Type("0123");
  EXPECT_EQ("0123", e->Text());
  EXPECT_GT(changes, 0);
}

}  // namespace
}  // namespace corvane
