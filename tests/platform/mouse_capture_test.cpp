// Mouse capture of graphic controls when a click handler fails.
#include <gtest/gtest.h>

#include "platform/widgets/StdCtrls.h"
#include "support/TestSupport.h"

using namespace corvane;

TEST(MouseCapture, AClickHandlerThatFailsDoesNotKeepTheCaptureFromTheNextClick) {
  TForm form(Application);
  form.SetBorderStyle(TFormBorderStyle::bsNone);
  form.SetBounds(100, 100, 300, 100);
  auto* failing = new TLabel(&form);
  failing->SetParent(&form);
  failing->SetBounds(10, 10, 60, 20);
  failing->SetAutoSize(false);
  failing->OnClick = [](TObject*) { throw EFOpenError("Cannot open file dat\\a3.rtf"); };
  auto* other = new TLabel(&form);
  other->SetParent(&form);
  other->SetBounds(150, 10, 60, 20);
  other->SetAutoSize(false);
  int otherClicks = 0;
  other->OnClick = [&](TObject*) { ++otherClicks; };
  form.Show();
  Application->ProcessMessages();
  test::MessageBoxRecorder boxes;
  Input::ClickOn(failing, 5, 5);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(Application->CaptureControl(), nullptr);
  Input::ClickOn(other, 5, 5);
  EXPECT_EQ(otherClicks, 1);
  Input::ClickOn(failing, 5, 5);
  EXPECT_EQ(boxes.boxes.size(), 2u);
}
