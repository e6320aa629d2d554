// A review picture of the themed controls: the two buttons of the program in every state on the
// about window's ground, and the line-code edit, saved as controls_screenshot.bmp in the working
// directory.
#include <gtest/gtest.h>

#include "controls/Button.h"
#include "controls/ControlsTestUtil.h"
#include "controls/Edit.h"
#include "controls/ImagePanel.h"
#include "platform/windows/Forms.h"

namespace corvane {
namespace {

// Paints a windowed control at its place on a composite canvas (parents first, so transparent
// controls find their background already in place).
void PaintAt(TCanvas& canvas, TWinControl& c, TPoint at) {
  canvas.SaveState();
  canvas.SetOrigin(at.X, at.Y);
  canvas.IntersectClip(TRect(0, 0, c.Width(), c.Height()));
  c.PaintTo(canvas);
  canvas.RestoreState();
}

TEST(Screenshot, ButtonsInEveryStateAndTheEdit) {
  TForm form(nullptr);
  form.SetBorderStyle(TFormBorderStyle::bsNone);
  form.SetBounds(50, 50, 520, 200);
  form.Font().SetName("宋体");
  form.Font().SetHeight(-12);
  form.Font().SetColor(clBlack);
  auto* ground = new TthImagePanel(&form);
  ground->SetParent(&form);
  ground->SetBounds(0, 0, 520, 200);
  TPicture pic;
  pic.LoadFromResourceName("form5_bg.jpg");
  ground->SetPicture(pic);
  ground->SetDrawStyle(TthDrawStyle::thStretch);
  form.Show();
  Application->ProcessMessages();

  const char* states[] = {"normal", "hot", "pressed", "focused", "disabled"};
  struct Row { TthUIStyle style; const char* caption; int top; } rows[] = {
      {TthUIStyle::WinXP, "查找", 30}, {TthUIStyle::MacOS, "确定", 80}};
  std::vector<std::pair<TthButton*, int>> buttons;  // with their state
  for (const Row& row : rows)
    for (int s = 0; s < 5; ++s) {
      auto* b = new TthButton(&form);
      b->SetParent(ground);
      b->SetBounds(20 + s * 98, row.top, 80, 27);
      b->SetUIStyle(row.style);
      b->SetCaption(row.caption);
      buttons.push_back({b, s});
    }
  auto* edit = new TthEdit(&form);
  edit->SetParent(ground);
  edit->SetBounds(20, 140, 168, 19);
  edit->SetUIStyle(TthUIStyle::MacOS);
  edit->SetBorderColor(0x7F7F7F);
  edit->SetText("111111");

  TBitmap shot;
  test::Fill(shot, 520, 200, clFuchsia);
  PaintAt(shot.Canvas(), *ground, {0, 0});
  for (auto [b, s] : buttons) {
    switch (s) {
      case 1: b->Perform(CM_MOUSEENTER, 0, 0); break;
      case 2: b->Perform(CM_MOUSEENTER, 0, 0); b->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(5, 5)); break;
      case 3: b->SetFocus(); break;
      case 4: b->SetEnabled(false); break;
      default: form.SetActiveControl(nullptr); break;
    }
    if (s != 3) form.SetActiveControl(nullptr);
    PaintAt(shot.Canvas(), *b, {b->Left(), b->Top()});
    if (s == 2) b->Perform(CM_MOUSELEAVE, 0, 0);
  }
  PaintAt(shot.Canvas(), *edit, {edit->Left(), edit->Top()});
  // State labels under the first row.
  shot.Canvas().Font().Assign(form.Font());
  shot.Canvas().Brush().Style = TBrushStyle::bsClear;
  for (int s = 0; s < 5; ++s) shot.Canvas().TextOut(24 + s * 98, 112, states[s]);

  {
    TFileStream out("controls_screenshot.bmp", TFileMode::fmCreate);
    shot.SaveToStream(out);
  }
  TBitmap back;
  back.LoadFromFile("controls_screenshot.bmp");
  EXPECT_EQ(520, back.Width());
  EXPECT_EQ(200, back.Height());
  // Nothing is left uncovered, and the MacOS buttons' rounded ends show the ground, not magenta.
  EXPECT_EQ(0, test::CountPixels(back, TRect(0, 0, 520, 200), clFuchsia));
  // The pressed WinXP face differs from the normal one.
  int differ = 0;
  for (int y = 0; y < 27; ++y)
    for (int x = 0; x < 80; ++x) differ += back.Pixel(20 + x, 30 + y) != back.Pixel(20 + 2 * 98 + x, 30 + y);
  EXPECT_GT(differ, 100);
}

}  // namespace
}  // namespace corvane
