// The hint cycle: which control's hint shows, the pauses, what hides a hint, the show-hint switch,
// the hint window class and the show-hint notification.
#include <gtest/gtest.h>

#include <chrono>

#include "platform/widgets/StdCtrls.h"
#include "platform/windows/Forms.h"

using namespace corvane;

namespace {

class TMarkedHintWindow : public THintWindow {
 public:
  using THintWindow::THintWindow;
  std::string ClassName() const override { return "TMarkedHintWindow"; }
};

// A control that answers CM_HINTSHOW through a callback.
class TAskingPanel : public TPanel {
 public:
  using TPanel::TPanel;
  std::function<void(TMessage&)> onHintShow;
 protected:
  void WndProc(TMessage& m) override {
    if (m.Msg == CM_HINTSHOW && onHintShow) { onHintShow(m); return; }
    TPanel::WndProc(m);
  }
};

class Hints : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = {Application->HintPause, Application->HintShortPause, Application->HintHidePause};
    savedClass_ = Application->HintWindowClass();
    Application->HintPause = 20;
    Application->HintShortPause = 20;
    Application->HintHidePause = 10000;
    Application->SetHintWindowClass(&HintWindowClassOf<THintWindow>);
    form_ = new TForm(Application);
    form_->SetBorderStyle(TFormBorderStyle::bsNone);
    form_->SetBounds(200, 200, 300, 200);
    cut_ = AddPanel("cut", 10, 10, "Cut|Cuts the selection and puts it on the Clipboard");
    copy_ = AddPanel("copy", 150, 10, "Copy|Copies the selection");
    form_->Show();
    Application->ProcessMessages();
  }
  void TearDown() override {
    Application->CancelHint();
    delete form_;
    Application->SetShowHint(true);
    Application->SetOnShowHint(nullptr);
    Application->SetHintWindowClass(savedClass_);
    Application->HintPause = saved_[0];
    Application->HintShortPause = saved_[1];
    Application->HintHidePause = saved_[2];
    Application->ProcessMessages();
  }
  TAskingPanel* AddPanel(const std::string& name, int left, int top, const std::string& hint) {
    auto* p = new TAskingPanel(form_);
    p->SetName(name);
    p->SetParent(form_);
    p->SetBounds(left, top, 100, 50);
    p->Hint = hint;
    p->ShowHint = true;
    p->ParentShowHint = false;
    return p;
  }
  static bool HintShowing() { return Application->HintWindow() && Application->HintWindow()->Showing(); }
  static bool WaitForHint() { return Application->ProcessUntil(HintShowing, 3000); }
  static std::string HintText() { return HintShowing() ? Application->HintWindow()->Caption() : std::string(); }
  // Lets the event loop run for a while (for checks that something does not happen).
  static void Idle(int ms) { Application->ProcessUntil([] { return false; }, ms); }

  std::array<int, 3> saved_{};
  THintWindowClass savedClass_ = nullptr;
  TForm* form_ = nullptr;
  TAskingPanel* cut_ = nullptr;
  TAskingPanel* copy_ = nullptr;
};

}  // namespace

// --- hint texts ----------------------------------------------------------------------------------

TEST(HintText, ThePopUpPartIsTheTextBeforeTheBar) {
  EXPECT_EQ(GetShortHint("Cut|Cuts the selection and puts it on the Clipboard"), "Cut");
  EXPECT_EQ(GetLongHint("Cut|Cuts the selection and puts it on the Clipboard"), "Cuts the selection and puts it on the Clipboard");
  EXPECT_EQ(GetShortHint("加粗"), "加粗");
  EXPECT_EQ(GetLongHint("加粗"), "加粗");
  EXPECT_EQ(GetShortHint("|only long"), "");
  EXPECT_EQ(GetShortHint("a|b|c"), "a");
  EXPECT_EQ(GetLongHint("a|b|c"), "b|c");
}

// --- which hint and where ------------------------------------------------------------------------

TEST_F(Hints, RestingOnAControlShowsItsShortHintAfterThePauseBelowThePointer) {
  Application->HintPause = 150;
  const auto moved = std::chrono::steady_clock::now();
  Input::MoveOver(cut_, 20, 20);
  EXPECT_FALSE(HintShowing()) << "nothing before the pause";
  ASSERT_TRUE(WaitForHint());
  // Not before the pause (a timer may fire up to 5% early), however late a loaded machine runs it.
  EXPECT_GE(std::chrono::steady_clock::now() - moved, std::chrono::milliseconds(150 * 95 / 100));
  EXPECT_EQ(HintText(), "Cut");
  TPoint pointer = cut_->ClientToScreen({20, 20});
  THintWindow* w = Application->HintWindow();
  EXPECT_EQ(w->ClassName(), "THintWindow");
  EXPECT_EQ(w->Left(), pointer.X);
  EXPECT_EQ(w->Top(), pointer.Y + CursorHeightMargin());
  EXPECT_GT(w->Width(), 6);
}

TEST_F(Hints, AGraphicControlShowsTheHintItGetsFromItsParentsSwitch) {
  // A toolbar button: a graphic control whose parent turns hints on.
  auto* button = new TShape(form_);
  button->SetParent(cut_);
  button->SetBounds(5, 5, 23, 22);
  button->Hint = "加粗";
  Input::MoveOver(button, 3, 3);
  ASSERT_TRUE(WaitForHint());
  EXPECT_EQ(HintText(), "加粗");
}

TEST_F(Hints, AControlThatShowsNoHintsDefersToTheNearestParentThatDoes) {
  auto* quiet = new TShape(form_);
  quiet->SetParent(cut_);
  quiet->SetBounds(5, 5, 23, 22);
  quiet->Hint = "never shown";
  quiet->ShowHint = false;
  quiet->ParentShowHint = false;
  Input::MoveOver(quiet, 3, 3);
  ASSERT_TRUE(WaitForHint());
  EXPECT_EQ(HintText(), "Cut");
}

TEST_F(Hints, ControlsWithoutHintsShowNothing) {
  cut_->ShowHint = false;
  copy_->Hint.clear();
  Input::MoveOver(cut_, 20, 20);
  Idle(100);
  Input::MoveOver(copy_, 20, 20);
  Idle(100);
  EXPECT_FALSE(HintShowing());
}

TEST_F(Hints, TheHintWindowStaysOnTheScreen) {
  THintWindow w(nullptr);
  const int sw = Screen->Width(), sh = Screen->Height();
  w.ActivateHint(TRect(sw - 20, sh - 5, sw + 80, sh + 15), "edge");
  EXPECT_EQ(w.Left(), sw - 100);
  EXPECT_EQ(w.Top(), sh - 20);
  EXPECT_EQ(w.Width(), 100);
  EXPECT_TRUE(w.Showing());
  EXPECT_EQ(w.ClientWidth(), 98) << "one-pixel border";
}

// --- the pauses ----------------------------------------------------------------------------------

TEST_F(Hints, WhileAHintShowsTheNextOneFollowsAfterTheShortPause) {
  Application->HintPause = 60000;
  Application->HintShortPause = 20;
  Input::MoveOver(cut_, 20, 20);
  Application->ActivateHint(cut_->ClientToScreen({20, 20}));
  ASSERT_TRUE(HintShowing());
  EXPECT_EQ(HintText(), "Cut");
  Input::MoveOver(copy_, 20, 20);  // straight from one window of a control to another's
  EXPECT_FALSE(HintShowing()) << "the old hint goes at once";
  ASSERT_TRUE(WaitForHint()) << "the short pause applies, not the long one";
  EXPECT_EQ(HintText(), "Copy");
}

TEST_F(Hints, AHintGoesAfterTheHidePauseAndDoesNotReturnWhileThePointerStays) {
  Application->HintHidePause = 80;
  Input::MoveOver(cut_, 20, 20);
  ASSERT_TRUE(WaitForHint());
  ASSERT_TRUE(Application->ProcessUntil([] { return !HintShowing(); }, 3000));
  Input::MoveOver(cut_, 25, 22);
  Idle(150);
  EXPECT_FALSE(HintShowing());
  Input::MoveOver(copy_, 20, 20);  // another control starts a new hint
  ASSERT_TRUE(WaitForHint());
  EXPECT_EQ(HintText(), "Copy");
}

TEST_F(Hints, MovingInsideTheControlDoesNotRestartThePause) {
  Application->HintPause = 200;
  Input::MoveOver(cut_, 20, 20);
  for (int i = 0; i < 6; ++i) {
    Idle(50);
    Input::MoveOver(cut_, 21 + i, 20);
  }
  EXPECT_TRUE(HintShowing()) << "300 ms of small moves over the same control";
}

// --- what hides a hint ---------------------------------------------------------------------------

TEST_F(Hints, APressHidesTheHint) {
  Input::MoveOver(cut_, 20, 20);
  ASSERT_TRUE(WaitForHint());
  Input::MouseDown(cut_->ClientToScreen({20, 20}));
  EXPECT_FALSE(HintShowing());
  Input::MouseUp(cut_->ClientToScreen({20, 20}));
  Idle(100);
  EXPECT_FALSE(HintShowing()) << "the press does not arm a new hint by itself";
}

TEST_F(Hints, LeavingTheWindowHidesTheHintAndCancelsAPendingOne) {
  Input::MoveOver(cut_, 20, 20);
  ASSERT_TRUE(WaitForHint());
  Input::MouseMove({5, 5});  // off every window of the program
  Application->ProcessMessages();
  EXPECT_FALSE(HintShowing());
  Application->HintPause = 100;
  Input::MoveOver(copy_, 20, 20);
  Input::MouseMove({5, 5});
  Idle(200);
  EXPECT_FALSE(HintShowing());
}

TEST_F(Hints, AControlDestroyedWhileItsHintIsPendingIsNotTouched) {
  Application->HintPause = 50;
  Input::MoveOver(copy_, 20, 20);
  delete copy_;
  copy_ = nullptr;
  Idle(150);
  EXPECT_FALSE(HintShowing());
}

// --- the show-hint switch and the window class ---------------------------------------------------

TEST_F(Hints, TurningTheSwitchOffDestroysTheWindowAndShowsNoHints) {
  Application->ActivateHint(cut_->ClientToScreen({20, 20}));
  ASSERT_NE(Application->HintWindow(), nullptr);
  Application->SetShowHint(false);
  EXPECT_EQ(Application->HintWindow(), nullptr);
  Input::MoveOver(copy_, 20, 20);
  Idle(100);
  EXPECT_EQ(Application->HintWindow(), nullptr);
  Application->SetShowHint(true);
  ASSERT_NE(Application->HintWindow(), nullptr) << "turning it on makes a window";
  EXPECT_FALSE(Application->HintWindow()->Showing());
}

TEST_F(Hints, FlippingTheSwitchTwiceReplacesTheWindowByOneOfTheInstalledClass) {
  Application->SetShowHint(false);
  Application->SetShowHint(true);
  ASSERT_NE(Application->HintWindow(), nullptr);
  EXPECT_EQ(Application->HintWindow()->ClassName(), "THintWindow");
  Application->SetHintWindowClass(&HintWindowClassOf<TMarkedHintWindow>);
  EXPECT_EQ(Application->HintWindow()->ClassName(), "THintWindow") << "the class alone changes no window";
  Application->SetShowHint(!Application->ShowHint());
  Application->SetShowHint(!Application->ShowHint());
  EXPECT_TRUE(Application->ShowHint());
  EXPECT_EQ(Application->HintWindow()->ClassName(), "TMarkedHintWindow");
}

TEST_F(Hints, AHintUsesTheInstalledClassEvenWhenTheSwitchWasNotFlipped) {
  Application->ActivateHint(cut_->ClientToScreen({20, 20}));
  ASSERT_EQ(Application->HintWindow()->ClassName(), "THintWindow");
  Application->SetHintWindowClass(&HintWindowClassOf<TMarkedHintWindow>);
  Application->ActivateHint(copy_->ClientToScreen({20, 20}));
  ASSERT_TRUE(HintShowing());
  EXPECT_EQ(Application->HintWindow()->ClassName(), "TMarkedHintWindow");
}

// --- the control and the show-hint notification --------------------------------------------------

TEST_F(Hints, TheControlCanChangeOrRefuseItsHint) {
  cut_->onHintShow = [](TMessage& m) {
    auto* info = reinterpret_cast<THintInfo*>(m.LParam);
    info->HintStr = "changed by " + info->HintControl->Name();
  };
  Application->ActivateHint(cut_->ClientToScreen({20, 20}));
  EXPECT_EQ(HintText(), "changed by cut");
  copy_->onHintShow = [](TMessage& m) { m.Result = 1; };
  Application->ActivateHint(copy_->ClientToScreen({20, 20}));
  EXPECT_FALSE(HintShowing());
}

TEST_F(Hints, TheNotificationSeesAndMayChangeEveryHint) {
  std::vector<std::string> seen;
  Application->SetOnShowHint([&](std::string& text, bool& canShow, THintInfo& info) {
    seen.push_back(text);
    EXPECT_TRUE(canShow);
    EXPECT_EQ(info.HintControl, text == "Cut" ? static_cast<TControl*>(cut_) : copy_);
    EXPECT_EQ(info.HideTimeout, Application->HintHidePause);
    if (text == "Copy") canShow = false;
    text = "[" + text + "]";
  });
  Application->ActivateHint(cut_->ClientToScreen({20, 20}));
  EXPECT_EQ(HintText(), "[Cut]");
  Application->ActivateHint(copy_->ClientToScreen({20, 20}));
  EXPECT_FALSE(HintShowing());
  EXPECT_EQ(seen, (std::vector<std::string>{"Cut", "Copy"}));
}

TEST_F(Hints, TheNotificationCanMoveTheHintAndEndItEarly) {
  Application->SetOnShowHint([](std::string&, bool&, THintInfo& info) {
    info.HintPos = {40, 50};
    info.HideTimeout = 30;
  });
  Application->ActivateHint(cut_->ClientToScreen({20, 20}));
  ASSERT_TRUE(HintShowing());
  EXPECT_EQ(Application->HintWindow()->Left(), 40);
  EXPECT_EQ(Application->HintWindow()->Top(), 50);
  EXPECT_TRUE(Application->ProcessUntil([] { return !HintShowing(); }, 3000));
}

TEST_F(Hints, ANotificationOfADestroyedComponentIsWithdrawnAndNeverCalled) {
  int calls = 0;
  auto* source = new TComponent(nullptr);
  Application->SetOnShowHint([&calls](std::string&, bool&, THintInfo&) { ++calls; }, source);
  Application->ActivateHint(cut_->ClientToScreen({20, 20}));
  EXPECT_EQ(calls, 1);
  delete source;
  EXPECT_FALSE(Application->HasOnShowHint());
  Application->ActivateHint(copy_->ClientToScreen({20, 20}));
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(HintText(), "Copy");
}

TEST_F(Hints, ReplacingTheNotificationKeepsTheNewOneWhenTheOldSourceGoes) {
  auto* first = new TComponent(nullptr);
  auto* second = new TComponent(nullptr);
  int firstCalls = 0, secondCalls = 0;
  Application->SetOnShowHint([&](std::string&, bool&, THintInfo&) { ++firstCalls; }, first);
  Application->SetOnShowHint([&](std::string&, bool&, THintInfo&) { ++secondCalls; }, second);
  delete first;
  EXPECT_TRUE(Application->HasOnShowHint());
  Application->ActivateHint(cut_->ClientToScreen({20, 20}));
  EXPECT_EQ(firstCalls, 0);
  EXPECT_EQ(secondCalls, 1);
  delete second;
  EXPECT_FALSE(Application->HasOnShowHint());
}

TEST_F(Hints, ADestroyedHintWindowIsForgottenAndRemade) {
  Application->ActivateHint(cut_->ClientToScreen({20, 20}));
  delete Application->HintWindow();
  EXPECT_EQ(Application->HintWindow(), nullptr);
  Application->ActivateHint(copy_->ClientToScreen({20, 20}));
  EXPECT_EQ(HintText(), "Copy");
}
