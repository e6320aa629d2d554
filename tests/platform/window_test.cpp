// The window system: message routing and subclassing, non-client hit testing, the move loop, modal
// loops, timers, graphic-control dispatch with enter and leave, tab order and the layout loader.
#include <gtest/gtest.h>

#include "platform/layout/Layout.h"
#include "platform/widgets/StdCtrls.h"
#include "platform/windows/Forms.h"
#include "support/TestSupport.h"

using namespace corvane;

namespace {

class TestForm : public TForm {
 public:
  explicit TestForm(TComponent* owner, int w = 300, int h = 200) : TForm(owner) {
    SetBorderStyle(TFormBorderStyle::bsNone);
    SetBounds(100, 100, w, h);
  }
  std::function<void(TMessage&)> onMessage;
 protected:
  void WndProc(TMessage& m) override {
    if (onMessage) onMessage(m);
    TForm::WndProc(m);
  }
};

struct Fixture : ::testing::Test {
  void SetUp() override { form = new TestForm(Application); }
  void TearDown() override {
    delete form;
    Application->ProcessMessages();
  }
  TestForm* form;
};

using Messages = Fixture;
using Mouse = Fixture;
using Focus = Fixture;
using Paint = Fixture;

}  // namespace

TEST_F(Messages, SubclassedWindowProcSeesMessagesFirstAndCanPassThemOn) {
  std::vector<unsigned> seen;
  TWndMethod previous = form->WindowProc;
  form->WindowProc = [&](TMessage& m) {
    seen.push_back(m.Msg);
    if (m.Msg == WM_USER + 7) { m.Result = 99; return; }  // handled here
    previous(m);
  };
  EXPECT_EQ(form->Perform(WM_USER + 7, 0, 0), 99);
  EXPECT_EQ(SendMessage(form, WM_NCHITTEST, 0, MakeLParam(110, 110)), HTCLIENT);  // reached the default
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1], static_cast<unsigned>(WM_NCHITTEST));
  form->WindowProc = previous;
}

TEST_F(Messages, PostedMessagesArriveLaterAndNotAfterTheControlDies) {
  int count = 0;
  form->onMessage = [&](TMessage& m) { if (m.Msg == WM_USER + 1) ++count; };
  PostMessage(form, WM_USER + 1, 0, 0);
  EXPECT_EQ(count, 0);
  Application->ProcessMessages();
  EXPECT_EQ(count, 1);
  auto* other = new TestForm(Application);
  PostMessage(other, WM_USER + 1, 0, 0);
  delete other;
  Application->ProcessMessages();  // must not crash
}

TEST_F(Mouse, HitTestAnswerDecidesBetweenClientAndNonClientMessages) {
  std::vector<unsigned> seen;
  form->onMessage = [&](TMessage& m) {
    if (m.Msg == WM_NCHITTEST) {
      int y = HiWordSigned(m.LParam) - form->Top();
      m.Result = y < 20 ? HTCAPTION : HTCLIENT;
    }
    if (m.Msg == WM_NCLBUTTONDOWN || m.Msg == WM_LBUTTONDOWN || m.Msg == WM_NCMOUSEMOVE || m.Msg == WM_MOUSEMOVE)
      seen.push_back(m.Msg);
  };
  // The subclass answers the hit test itself, so the default must not overwrite it.
  TWndMethod previous = form->WindowProc;
  form->WindowProc = [&](TMessage& m) {
    if (m.Msg == WM_NCHITTEST) { form->onMessage(m); return; }
    previous(m);
  };
  form->Show();
  Application->ProcessMessages();
  Input::MouseMove({150, 110});
  Input::MouseMove({150, 150});
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], static_cast<unsigned>(WM_NCMOUSEMOVE));
  EXPECT_EQ(seen[1], static_cast<unsigned>(WM_MOUSEMOVE));
  form->WindowProc = previous;
}

TEST_F(Mouse, MoveLoopFollowsThePointerAndLetsWMMovingChangeThePosition) {
  std::vector<unsigned> order;
  form->onMessage = [&](TMessage& m) {
    if (m.Msg == WM_ENTERSIZEMOVE || m.Msg == WM_EXITSIZEMOVE) order.push_back(m.Msg);
    if (m.Msg == WM_MOVING) {
      auto* r = reinterpret_cast<TRect*>(m.LParam);
      if (r->Left < 50) *r = r->Offset(-r->Left, 0);  // snap to the left edge
    }
  };
  auto* image = new TImage(form);
  image->SetParent(form);
  image->SetBounds(0, 0, 300, 200);
  image->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) {
    ReleaseCapture();
    SendMessage(form, WM_SYSCOMMAND, SC_DRAGMOVE, 0);
    order.push_back(0);  // the command returns only after the button is released
  };
  form->Show();
  Application->ProcessMessages();
  PostCall([] {
    Input::MouseMove({180, 150});
    Input::MouseMove({240, 170});
    Input::MouseUp({240, 170}, TMouseButton::mbRight);
  });
  Input::MouseMove({150, 150});
  Input::MouseDown({150, 150}, TMouseButton::mbRight);  // any button drags
  EXPECT_EQ(form->Left(), 190);
  EXPECT_EQ(form->Top(), 120);
  ASSERT_EQ(order.size(), 3u);
  EXPECT_EQ(order[0], static_cast<unsigned>(WM_ENTERSIZEMOVE));
  EXPECT_EQ(order[1], static_cast<unsigned>(WM_EXITSIZEMOVE));
  EXPECT_EQ(order[2], 0u);
  // A drag that ends near the left edge is pulled onto it by the WM_MOVING answer.
  PostCall([] {
    Input::MouseMove({20, 150});
    Input::MouseUp({20, 150});
  });
  Input::MouseMove({200, 150});
  Input::MouseDown({200, 150});
  EXPECT_EQ(form->Left(), 0);
}

TEST_F(Mouse, GraphicControlsGetTheMouseTopmostFirstWithEnterAndLeave) {
  auto* lower = new TImage(form);
  lower->SetParent(form);
  lower->SetBounds(10, 10, 50, 50);
  auto* upper = new TImage(form);
  upper->SetParent(form);
  upper->SetBounds(30, 30, 50, 50);
  std::vector<std::string> log;
  lower->OnMouseEnter = [&](TObject*) { log.push_back("enter lower"); };
  lower->OnMouseLeave = [&](TObject*) { log.push_back("leave lower"); };
  upper->OnMouseEnter = [&](TObject*) { log.push_back("enter upper"); };
  upper->OnMouseLeave = [&](TObject*) { log.push_back("leave upper"); };
  int clicks = 0;
  upper->OnClick = [&](TObject*) { ++clicks; };
  lower->OnClick = [&](TObject*) { log.push_back("lower clicked"); };
  form->Show();
  Application->ProcessMessages();
  Input::MoveOver(form, 15, 15);
  Input::MoveOver(form, 40, 40);  // the overlap belongs to the upper control
  Input::ClickOn(form, 40, 40);
  Input::MoveOver(form, 200, 150);
  EXPECT_EQ(clicks, 1);
  std::vector<std::string> expected = {"enter lower", "leave lower", "enter upper", "leave upper"};
  EXPECT_EQ(log, expected);
  // Pressed on a control, released elsewhere: no click.
  Input::MoveOver(form, 40, 40);
  Input::MouseDown(form->ClientToScreen({40, 40}));
  Input::MouseMove(form->ClientToScreen({200, 150}));
  Input::MouseUp(form->ClientToScreen({200, 150}));
  EXPECT_EQ(clicks, 1);
  // Hidden controls let the pointer through to the one beneath.
  upper->Hide();
  Input::ClickOn(form, 40, 40);
  EXPECT_EQ(log.back(), "lower clicked");
}

TEST_F(Messages, ModalLoopDisablesTheOtherWindowsUntilItsResultIsSet) {
  form->Show();
  auto* dialog = new TestForm(Application, 100, 80);
  int closeRuns = 0;
  dialog->OnClose = [&](TObject*, TCloseAction&) { ++closeRuns; };
  PostCall([&] { dialog->Close(); });
  TModalResult r = dialog->ShowModal();
  EXPECT_EQ(r, mrCancel);
  EXPECT_EQ(closeRuns, 1);
  EXPECT_FALSE(dialog->Visible());
  // A failing close handler keeps the window up with its loop running; the next close ends it.
  test::MessageBoxRecorder boxes;
  int attempts = 0;
  dialog->OnClose = [&](TObject*, TCloseAction&) {
    if (++attempts == 1) throw EFCreateError("Cannot create file dat\\a1.rtf");
  };
  PostCall([&] { dialog->Close(); });
  PostCall([&] { PostCall([&] { dialog->Close(); }); });
  dialog->ShowModal();
  EXPECT_EQ(attempts, 2);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, "Cannot create file dat\\a1.rtf.");
  EXPECT_EQ(boxes.boxes[0].caption, "Corvane");
  EXPECT_EQ(boxes.boxes[0].flags & 0xF0, static_cast<unsigned>(MB_ICONSTOP));
  delete dialog;
}

TEST_F(Messages, OtherWindowsAreDisabledDuringAModalLoop) {
  form->Show();
  auto* dialog = new TestForm(Application, 100, 80);
  int clicksOnOwner = 0;
  auto* image = new TImage(form);
  image->SetParent(form);
  image->SetBounds(0, 0, 300, 200);
  image->OnClick = [&](TObject*) { ++clicksOnOwner; };
  dialog->SetBounds(500, 500, 100, 80);
  PostCall([&] {
    Input::Click({150, 150});  // on the owner, which is disabled
    dialog->Close();
  });
  dialog->ShowModal();
  EXPECT_EQ(clicksOnOwner, 0);
  Input::Click({150, 150});  // enabled again afterwards
  EXPECT_EQ(clicksOnOwner, 1);
  delete dialog;
}

TEST_F(Messages, WindowTimersAndTimerComponentsTick) {
  int ticks = 0;
  form->onMessage = [&](TMessage& m) { if (m.Msg == WM_TIMER && m.WParam == 7) ++ticks; };
  form->SetTimer(7, 5);
  EXPECT_TRUE(Application->ProcessUntil([&] { return ticks >= 2; }, 3000));
  form->KillTimer(7);
  int before = ticks;
  TTimer timer(nullptr);
  timer.SetInterval(5);
  int fired = 0;
  timer.OnTimer = [&](TObject*) { ++fired; };
  EXPECT_TRUE(Application->ProcessUntil([&] { return fired >= 2; }, 3000));
  EXPECT_EQ(ticks, before);
}

TEST_F(Focus, TabOrderAndNextDialogControl) {
  auto* a = new TEdit(form);
  a->SetParent(form);
  a->SetTabOrder(1);
  auto* b = new TEdit(form);
  b->SetParent(form);
  b->SetTabOrder(0);
  auto* c = new TEdit(form);
  c->SetParent(form);
  c->SetTabOrder(2);
  c->TabStop = false;
  form->Show();
  Application->ProcessMessages();
  EXPECT_EQ(form->ActiveControl(), b);  // the first in tab order gets the focus
  SendMessage(form, WM_NEXTDLGCTL, 0, 0);
  EXPECT_EQ(form->ActiveControl(), a);
  SendMessage(form, WM_NEXTDLGCTL, 0, 0);  // c is not a tab stop: wraps to b
  EXPECT_EQ(form->ActiveControl(), b);
  Input::Key(VK_TAB);
  EXPECT_EQ(form->ActiveControl(), a);
  Input::Key(VK_TAB, ssShift);
  EXPECT_EQ(form->ActiveControl(), b);
}

TEST_F(Focus, KeyPressHandlerCanSwallowOrReplaceCharacters) {
  auto* e = new TEdit(form);
  e->SetParent(form);
  e->OnKeyPress = [](TObject*, char32_t& k) {
    if (k == 'x') k = 0;
    if (k == 'a') k = 'b';
  };
  form->Show();
  Application->ProcessMessages();
  e->SetFocus();
  Input::Type("axc");
  EXPECT_EQ(e->Text(), "bc");
}

TEST(Layout, PropertiesApplyInOrderAndErrorsNameFileAndLine) {
  test::TLayoutTestForm f("TTestLayoutForm");
  int clicks = 0;
  f.PublishHandler("Pic1Click", TNotifyEvent([&](TObject*) { ++clicks; }));
  LoadLayout(&f,
             "object Test1: TTestLayoutForm\n"
             "  ClientWidth = 200\n"
             "  Caption = 'It''s'\n"
             "  object Pic1: TImage\n"
             "    Left = 5\n"
             "    Width = 30\n"
             "    Width = 40\n"
             "    Picture = 'ww1.jpg'\n"
             "    OnClick = Pic1Click\n"
             "  end\n"
             "  object Lines1: TMemo\n"
             "    Lines.Strings = (\n"
             "      'one '\n"
             "      ''\n"
             "      'three')\n"
             "  end\n"
             "end\n",
             "Test.lfm");
  auto* pic = dynamic_cast<TImage*>(f.FindComponent("Pic1"));
  ASSERT_NE(pic, nullptr);
  EXPECT_EQ(pic->Parent(), &f);
  EXPECT_EQ(pic->Width(), 40);
  EXPECT_EQ(pic->Picture().Width(), 33);
  EXPECT_EQ(f.Caption(), "It's");
  pic->Click();
  EXPECT_EQ(clicks, 1);
  auto* memo = dynamic_cast<TMemo*>(f.FindComponent("Lines1"));
  EXPECT_EQ(memo->Lines(), (std::vector<std::string>{"one ", "", "three"}));

  auto fails = [](const char* text) {
    test::TLayoutTestForm g("TTestLayoutForm");
    try {
      LoadLayout(&g, text, "Bad.lfm");
    } catch (const ELayoutError& e) {
      return std::string(e.what());
    }
    return std::string("no error");
  };
  EXPECT_EQ(fails("object X: TTestLayoutForm\n  object A: TNoSuchClass\n  end\nend\n"), "Bad.lfm(2): unknown class TNoSuchClass");
  EXPECT_EQ(fails("object X: TTestLayoutForm\n\n  Colour = 5\nend\n"), "Bad.lfm(3): unknown property Colour of TTestLayoutForm");
  EXPECT_EQ(fails("object X: TTestLayoutForm\n  OnCreate = Missing\nend\n"), "Bad.lfm(2): the form has no handler named Missing");
  EXPECT_EQ(fails("object X: TTestLayoutForm\n  Left = 'a\nend\n"), "Bad.lfm(2): unterminated string");
}

TEST(Layout, LayoutsDesignedAtAnotherResolutionScaleWhenAsked) {
  int ppi = Screen->PixelsPerInch();
  auto text = [&](bool scaled) {
    return "object S: TScaledForm\n  Scaled = " + std::string(scaled ? "True" : "False") + "\n  PixelsPerInch = " +
           std::to_string(ppi / 2) + "\n  ClientWidth = 100\n  ClientHeight = 50\n  object P: TPanel\n    Left = 10\n" +
           "    Width = 20\n    Font.Height = -11\n  end\nend\n";
  };
  test::TLayoutTestForm a("TScaledForm");
  LoadLayout(&a, text(true), "Scaled.lfm");
  EXPECT_NEAR(a.ClientWidth(), 200, 2);
  auto* p = dynamic_cast<TControl*>(a.FindComponent("P"));
  EXPECT_NEAR(p->Left(), 20, 1);
  EXPECT_NEAR(p->Width(), 40, 1);
  EXPECT_NEAR(p->Font().Height(), -22, 1);
  test::TLayoutTestForm b("TScaledForm");
  LoadLayout(&b, text(false), "Fixed.lfm");
  EXPECT_EQ(b.ClientWidth(), 100);
}

TEST_F(Mouse, AControlCanDeclineAPointInsideItsRectangle) {
  struct TRing : TGraphicControl {
    using TGraphicControl::TGraphicControl;
    void WndProc(TMessage& m) override {
      if (m.Msg == CM_HITTEST) {  // the middle is a hole
        int x = LoWordSigned(m.LParam), y = HiWordSigned(m.LParam);
        m.Result = (x > 10 && x < 40 && y > 10 && y < 40) ? 0 : HTCLIENT;
        return;
      }
      TGraphicControl::WndProc(m);
    }
  };
  auto* below = new TImage(form);
  below->SetParent(form);
  below->SetBounds(0, 0, 100, 100);
  auto* ring = new TRing(form);
  ring->SetParent(form);
  ring->SetBounds(0, 0, 50, 50);
  int belowClicks = 0, ringClicks = 0;
  below->OnClick = [&](TObject*) { ++belowClicks; };
  ring->OnClick = [&](TObject*) { ++ringClicks; };
  form->Show();
  Application->ProcessMessages();
  Input::ClickOn(form, 25, 25);
  Input::ClickOn(form, 5, 5);
  EXPECT_EQ(belowClicks, 1);
  EXPECT_EQ(ringClicks, 1);
}

TEST_F(Paint, TheBackgroundIsFilledAroundAndUnderPicturesThatDoNotCoverTheirWholePlace) {
  form->SetColor(clRed);
  TBitmap blue(40, 30);
  blue.Canvas().Brush().Color = clBlue;
  blue.Canvas().FillRect(TRect(0, 0, 40, 30));
  const std::string jpeg = EncodeJpeg(blue, 95);
  auto image = [&](int left, int width, int height) {
    auto* i = new TImage(form);
    i->SetParent(form);
    i->SetBounds(left, 10, width, height);
    auto* j = new TJPEGImage;
    j->LoadFromBytes(jpeg);
    i->Picture().SetGraphic(std::unique_ptr<TGraphic>(j));
    return i;
  };
  TImage* covering = image(10, 40, 30);
  TImage* centred = image(60, 60, 50);
  centred->Center = true;
  TImage* stretched = image(130, 60, 50);
  stretched->Stretch = true;
  TImage* hidden = image(200, 40, 30);
  hidden->Hide();
  TImage* small = image(250, 45, 30);  // the picture leaves a 5 px strip on its right
  EXPECT_TRUE(covering->PaintsWholeBounds());
  EXPECT_FALSE(centred->PaintsWholeBounds());
  EXPECT_TRUE(stretched->PaintsWholeBounds());
  EXPECT_FALSE(small->PaintsWholeBounds());
  EXPECT_FALSE(TImage(nullptr).PaintsWholeBounds());  // no picture

  TBitmap shot(300, 200);  // white: a pixel nobody paints stays white
  form->PaintTo(shot.Canvas());
  auto isBlue = [&](int x, int y) {
    TColor c = shot.Pixel(x, y);
    return GetRValue(c) < 16 && GetGValue(c) < 16 && GetBValue(c) > 239;
  };
  EXPECT_EQ(shot.Pixel(5, 5), clRed);
  EXPECT_TRUE(isBlue(30, 25));
  EXPECT_EQ(shot.Pixel(62, 12), clRed);  // around the centred picture
  EXPECT_TRUE(isBlue(90, 35));
  EXPECT_TRUE(isBlue(131, 11));
  EXPECT_TRUE(isBlue(188, 58));
  EXPECT_EQ(shot.Pixel(220, 25), clRed);  // under the hidden one
  EXPECT_TRUE(isBlue(285, 20));
  EXPECT_EQ(shot.Pixel(292, 20), clRed);
}

TEST(Layout, TextControlsShowTheirOwnFontOnceLoadedAndAtOnceWhenMadeInCode) {
  test::TLayoutTestForm f("TFontLayoutForm");
  LoadLayout(&f,
             "object Fonts1: TFontLayoutForm\n"
             "  Font.Height = -12\n"
             "  object Small: TRichEdit\n"
             "    Width = 300\n"
             "    Height = 100\n"
             "  end\n"
             "  object Big: TRichEdit\n"
             "    Width = 300\n"
             "    Height = 100\n"
             "    Font.Height = -36\n"
             "    ParentFont = False\n"
             "  end\n"
             "end\n",
             "Fonts.lfm");
  auto* small = dynamic_cast<TRichEdit*>(f.FindComponent("Small"));
  auto* big = dynamic_cast<TRichEdit*>(f.FindComponent("Big"));
  ASSERT_TRUE(small && big);
  small->SetText("一二三 abc");
  big->SetText("一二三 abc");
  f.Show();
  Application->ProcessMessages();
  EXPECT_GT(small->ContentHeight(), 12);
  EXPECT_GT(big->ContentHeight(), 2 * small->ContentHeight());

  auto* made = new TRichEdit(&f);
  made->SetParent(&f);
  made->SetBounds(0, 0, 300, 100);
  made->Font().SetHeight(-36);
  made->SetText("一二三 abc");
  Application->ProcessMessages();
  EXPECT_EQ(made->ContentHeight(), big->ContentHeight());
}

TEST_F(Messages, AMemoOffScreenKeepsItsTextUntilShownOrAskedAndReportsNoChange) {
  auto* memo = new TMemo(form);
  memo->SetParent(form);
  memo->SetBounds(0, 0, 200, 100);
  int changes = 0;
  memo->OnChange = [&](TObject*) { ++changes; };
  memo->SetText("一\n二三");
  EXPECT_EQ(memo->Lines(), (std::vector<std::string>{"一", "二三"}));
  EXPECT_EQ(memo->GetTextLen(), 4);  // asked: the widget has it now
  memo->SetText("四五\n六");
  EXPECT_EQ(memo->Lines(), (std::vector<std::string>{"四五", "六"}));
  form->Show();
  Application->ProcessMessages();
  EXPECT_EQ(memo->Lines(), (std::vector<std::string>{"四五", "六"}));
  memo->SelectAll();
  EXPECT_EQ(memo->SelLength(), 4);
  memo->SetText("七");
  EXPECT_EQ(memo->GetTextLen(), 1);
  EXPECT_EQ(memo->Text(), "七");
  EXPECT_EQ(changes, 0);
}
