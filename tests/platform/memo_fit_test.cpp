// A multi-line text field one line high (the notes editor's title fields: 22 pixels, a 14-pixel
// face) shows its characters whole: nothing of their bottoms is cut off.
#include <gtest/gtest.h>

#include "platform/graphics/Graphics.h"
#include "platform/widgets/StdCtrls.h"
#include "platform/windows/Forms.h"
#include "support/TestSupport.h"

using namespace corvane;

namespace {
// The rows of a field's picture on the screen that hold ink (pixels visibly darker than its white
// ground, the faint edges of the characters too).
std::vector<int> InkRows(TMemo* memo) {
  TBitmap shot;
  const TPoint at = memo->ClientToScreen({0, 0});
  if (!GrabScreen(Bounds(at.X, at.Y, memo->Width(), memo->Height()), shot)) return {};
  std::vector<int> rows;
  for (int y = 0; y < shot.Height(); ++y)
    for (int x = 0; x < shot.Width(); ++x) {
      const TColor c = shot.Canvas().Pixel(x, y);
      if ((c & 0xFF) < 200 || ((c >> 8) & 0xFF) < 200 || ((c >> 16) & 0xFF) < 200) {
        rows.push_back(y);
        break;
      }
    }
  return rows;
}
}  // namespace

TEST(MemoFit, AFieldOneLineHighShowsEveryRowOfItsCharacters) {
  TForm form(nullptr);
  form.SetBorderStyle(TFormBorderStyle::bsNone);
  form.SetBounds(100, 100, 240, 120);
  auto make = [&](int top, int height) {
    auto* memo = new TMemo(&form);
    memo->SetParent(&form);
    memo->SetBounds(10, top, 182, height);
    memo->SetBorderStyle(TBorderStyle::bsNone);
    memo->Font().SetName("宋体");
    memo->Font().SetHeight(-14);
    memo->SetText("自定义之一 题");
    memo->SetReadOnly(true);  // no caret: only the characters are ink
    return memo;
  };
  TMemo* title = make(10, 22);  // the title field's size
  TMemo* tall = make(40, 60);
  form.Show();
  test::RunFor(300);
  const std::vector<int> whole = InkRows(tall), shown = InkRows(title);
  ASSERT_FALSE(whole.empty()) << "no text on the screen";
  EXPECT_EQ(shown.size(), whole.size()) << "rows of ink: " << shown.size() << " of " << whole.size();
  ASSERT_FALSE(shown.empty());
  EXPECT_LE(shown.back(), title->Height() - 3)
      << "the characters reach the field's bottom rows, where the field cuts them off";
}
