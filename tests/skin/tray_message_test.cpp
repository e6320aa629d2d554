// Minimising to the tray on a desktop without a notification area: the user is told once, in a
// sentence of its own, and the window stays where it is.
#include <gtest/gtest.h>

#include <memory>

#include "platform/windows/TrayIcons.h"
#include "skin/frame/SkinForm.h"
#include "skin/frame/TrayIcon.h"
#include "support/TestSupport.h"

using namespace corvane;

TEST(TrayWithoutNotificationArea, TheUserIsToldOnceInAFullChineseSentenceAndNothingMoves) {
  test::MessageBoxRecorder boxes;
  gNotificationAreaSeam = 0;
  auto form = std::make_unique<TForm>(nullptr);
  auto* frame = new TskSkinForm(form.get());
  auto* tray = new TskTrayIcon(form.get());
  frame->SetTrayIcon(tray);
  frame->MinimizeFrameToTray();
  frame->MinimizeFrameToTray();
  gNotificationAreaSeam = -1;
  ASSERT_EQ(boxes.boxes.size(), 1u);
  // The error box's look, with the sentence's own full stop and nothing appended after it.
  EXPECT_EQ(boxes.boxes[0].text, "桌面没有通知区域，窗口无法最小化到图标。");
  EXPECT_EQ(boxes.boxes[0].flags & 0xF0, MB_ICONSTOP);
  EXPECT_EQ(boxes.boxes[0].caption, Application->Title);
  EXPECT_FALSE(Application->Minimized());
  EXPECT_FALSE(tray->InTray());
}
