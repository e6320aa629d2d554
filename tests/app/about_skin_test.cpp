// The about window's stored skin: packed into its layout at build time, unpacked into its skin
// data on every creation, and announced to every window with the skin change messages.
#include <gtest/gtest.h>

#include "app/AboutWindow.h"
#include "skin/CompressedStoredSkin.h"
#include "skin/SkinData.h"

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
