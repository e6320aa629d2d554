// The about window's stored skin: packed into its layout at build time, unpacked into its skin
// data on every creation, and announced to every window with the skin change messages.
#include <gtest/gtest.h>

#include "app/AboutWindow.h"
#include "platform/windows/Menus.h"
#include "skin/frame/SkinDialogs.h"
#include "skin/frame/SkinForm.h"
#include "skin/package/CompressedStoredSkin.h"
#include "skin/package/SkinData.h"

using namespace corvane;

namespace {
class Listener : public TForm {
 public:
  Listener(TComponent* owner, std::vector<std::string>* log, std::string name) : TForm(owner), log_(log), name_(name) {}
 protected:
  void WndProc(TMessage& m) override {
    if (m.Msg >= MsgBeforeSkinChange && m.Msg <= MsgAfterSkinChange)
      log_->push_back(name_ + " " + std::to_string(m.Msg - WM_USER));
    TForm::WndProc(m);
  }
 private:
  std::vector<std::string>* log_;
  std::string name_;
};
}  // namespace

TEST(AboutSkin, TheLayoutCarriesTheStoredSkinAndEveryCreationLoadsIt) {
  for (int opening = 0; opening < 2; ++opening) {
    TForm5 about(Application);
    auto* data = dynamic_cast<TskSkinData*>(about.FindComponent("skSkinData1"));
    ASSERT_NE(data, nullptr);
    ASSERT_FALSE(data->IsEmpty);
    ASSERT_NE(data->Picture, nullptr);
    EXPECT_EQ(data->Picture->Width(), 188);
    EXPECT_EQ(data->Picture->Height(), 128);
    EXPECT_EQ(data->ClRect, TRect(11, 32, 177, 118));
    EXPECT_EQ(data->ObjectList.size(), 13u);
    EXPECT_EQ(data->FindObject("closebutton"), 2);
  }
}

TEST(AboutSkin, SkinChangesReachTheOwningWindowFirstThenTheOthers) {
  std::vector<std::string> log;
  Listener other(Application, &log, "other");
  Listener owner(Application, &log, "owner");
  auto* stored = new TskCompressedStoredSkin(&owner);
  TForm5 about(Application);  // registers the classes and installs the messenger
  auto* source = dynamic_cast<TskCompressedStoredSkin*>(about.FindComponent("skCompressedStoredSkin1"));
  std::string bytes = source->CompressedData().Bytes();
  stored->ReadCompressedData(bytes);
  auto* data = new TskSkinData(&owner);
  log.clear();
  data->SetCompressedStoredSkin(stored);
  ASSERT_GE(log.size(), 6u);
  EXPECT_EQ(log[0], "owner 201");
  // Every message goes to every window before the next message starts (two windows listen).
  EXPECT_EQ(log[1], "other 201");
  EXPECT_EQ(log[2], "owner 202");
  EXPECT_NE(std::find(log.begin(), log.end(), "other 202"), log.end());
  EXPECT_EQ(log.back().substr(log.back().size() - 3), "203");
}

// The frame the layout puts on the about window: invisible (border style none) but live.
TEST(AboutFrame, TheLayoutsFrameAnswersFromTheStoredSkinAndHoldsTheConfiguredMenus) {
  TForm5 about(Application);
  TskSkinForm* frame = TskSkinForm::FindFrameOf(&about);
  ASSERT_NE(frame, nullptr);
  EXPECT_TRUE(frame->Skinned());
  EXPECT_EQ(about.NonClientMargins(), TRect(0, 0, 0, 0));
  EXPECT_EQ(about.WindowRegion(), nullptr);
  EXPECT_TRUE(frame->Magnetic);
  EXPECT_EQ(frame->MagneticSize, 10);
  EXPECT_TRUE(frame->AlphaBlendAnimation);
  EXPECT_FALSE(frame->AlphaBlend);
  EXPECT_TRUE(frame->ShowObjectHint);
  EXPECT_EQ(frame->SkinHint(), about.FindComponent("skSkinHint1"));
  EXPECT_EQ(frame->DefCaptionFont().Name(), "Arial");
  EXPECT_EQ(frame->DefCaptionFont().Style(), fsBold);
  auto hit = [&](int x, int y) {
    return static_cast<int>(about.Perform(WM_NCHITTEST, 0, MakeLParam(about.Left() + x, about.Top() + y)));
  };
  EXPECT_EQ(hit(79, 3), HTCAPTION);
  EXPECT_EQ(hit(470, 29), HTCAPTION);
  EXPECT_EQ(hit(530, 15), HTOBJECT);
  EXPECT_EQ(hit(20, 15), HTOBJECT);
  EXPECT_EQ(hit(300, 200), HTCLIENT);
  EXPECT_EQ(hit(5, 200), HTOBJECT);
  ASSERT_EQ(frame->Objects().size(), 7u) << "the caption and six buttons";

  std::vector<std::string> captions;
  TMenuItem* items = frame->GetSystemMenuItems();
  for (int i = 0; i < items->Count(); ++i) captions.push_back(items->Items(i)->Caption);
  EXPECT_EQ(captions, (std::vector<std::string>{"最小化(&n)", "最大化(&x)", "向上卷拢(&l)", "最小化到图标(&T)", "-",
                                                "Load skin...", "Load stored skin", "-", "关闭(&C)"}));
  // The two items of the layout do nothing.
  const TRect before = about.BoundsRect();
  items->Items(5)->Click();
  items->Items(6)->Click();
  EXPECT_EQ(about.BoundsRect(), before);
  EXPECT_TRUE(frame->Skinned());
  EXPECT_EQ(frame->FrameState(), TskFrameState::Normal);

  auto* message = dynamic_cast<TskSkinMessage*>(about.FindComponent("skSkinMessage1"));
  auto* dialog = dynamic_cast<TskOpenSkinDialog*>(about.FindComponent("OD"));
  ASSERT_NE(message, nullptr);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(message->ButtonSkinDataName, "button");
  EXPECT_EQ(dialog->Title, "Open skin");
  EXPECT_EQ(dialog->UnCompressedFilterIndex, 2);
  EXPECT_EQ(dialog->SkinData(), about.FindComponent("skSkinData1"));
}
