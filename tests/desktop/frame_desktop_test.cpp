// A window in the skinned frame as a user meets it on the desktop: dragged by its caption, sized by
// each edge and corner with the pointer, its shape following its size.
#include <gtest/gtest.h>

#include <memory>

#include "desktop/RealInput.h"
#include "platform/windows/Menus.h"
#include "skin/frame/SkinForm.h"
#include "skin/frame/SkinMenu.h"
#include "skin/frame/SkinObjects.h"
#include "skin/package/CompressedStoredSkin.h"
#include "skin/package/SkinData.h"
#include "skin/package/StoredSkin.h"

using namespace corvane;
using test::Steps;

namespace {

class SkinnedWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    stored_.ReadCompressedData(StoredSkinBytes());
    skin_.SetCompressedStoredSkin(&stored_);
    form_ = std::make_unique<TForm>(nullptr);
    form_->SetCaption("Skinned");
    form_->SetBorderStyle(TFormBorderStyle::bsSizeable);
    form_->SetBounds(kLeft, kTop, 400, 300);
    frame_ = new TskSkinForm(form_.get());
    frame_->SetSkinData(&skin_);
    form_->Show();
    ASSERT_TRUE(test::WaitFor([&] { return input_.IsActive(form_.get()); }))
        << "the window did not become active";
  }
  // The bounds the program and the X server both give the window.
  bool BoundsAre(int l, int t, int w, int h) {
    return form_->BoundsRect() == Bounds(l, t, w, h) &&
           input_.WindowRectOf(test::WindowOf(form_.get())) == Bounds(l, t, w, h);
  }
  TPoint At(int x, int y) const { return {form_->Left() + x, form_->Top() + y}; }

  static constexpr int kLeft = 300, kTop = 200;
  test::RealInput input_;
  TskCompressedStoredSkin stored_{nullptr};
  TskSkinData skin_{nullptr};
  std::unique_ptr<TForm> form_;
  TskSkinForm* frame_ = nullptr;
};

}  // namespace

TEST_F(SkinnedWindow, DraggingTheCaptionMovesItAndEachEdgeAndCornerSizesIt) {
  // Where each border is taken (window coordinates of a 400 x 300 window, inside its shape) and
  // the bounds a pull of 30 pixels outwards gives.
  const struct { const char* what; TPoint at; int dx, dy; TRect after; } pulls[] = {
      {"left edge", {1, 150}, -30, 0, Bounds(kLeft - 30, kTop, 430, 300)},
      {"right edge", {398, 150}, 30, 0, Bounds(kLeft, kTop, 430, 300)},
      {"top edge", {200, 1}, 0, -30, Bounds(kLeft, kTop - 30, 400, 330)},
      {"bottom edge", {200, 298}, 0, 30, Bounds(kLeft, kTop, 400, 330)},
      {"top-left corner", {3, 3}, -30, -30, Bounds(kLeft - 30, kTop - 30, 430, 330)},
      {"top-right corner", {395, 3}, 30, -30, Bounds(kLeft, kTop - 30, 430, 330)},
      {"bottom-left corner", {3, 296}, -30, 30, Bounds(kLeft - 30, kTop, 430, 330)},
      {"bottom-right corner", {395, 296}, 30, 30, Bounds(kLeft, kTop, 430, 330)},
  };
  Steps s;
  s.Do([&] { input_.Drag(At(200, 15), At(260, 55)); })
      .Until("the caption drag moved the window by (60, 40)", [&] { return BoundsAre(kLeft + 60, kTop + 40, 400, 300); })
      .Do([&] { form_->SetBounds(kLeft, kTop, 400, 300); })
      .Until("back in place", [&] { return BoundsAre(kLeft, kTop, 400, 300); });
  for (const auto& p : pulls) {
    s.Do([&] { input_.Drag(At(p.at.X, p.at.Y), At(p.at.X + p.dx, p.at.Y + p.dy)); })
        .Until(std::string("the ") + p.what + " sized the window",
               [&] { return BoundsAre(p.after.Left, p.after.Top, p.after.Width(), p.after.Height()); })
        .Do([&] { form_->SetBounds(kLeft, kTop, 400, 300); })
        .Until("back to 400 x 300", [&] { return BoundsAre(kLeft, kTop, 400, 300); });
  }
  EXPECT_EQ(s.Run(), "");
}

TEST_F(SkinnedWindow, TheWindowCannotBeSizedBelowItsPictureAndItsShapeFollowsTheSize) {
  const uint64_t w = test::WindowOf(form_.get());
  Steps s;
  // The shape's first row is the mask's [7, 181) grown with the width: [7, W - 7).
  s.Until("the shape of 400 x 300 is set", [&] {
     return input_.ShapeContains(w, {7, 0}) && input_.ShapeContains(w, {392, 0}) && !input_.ShapeContains(w, {6, 0}) &&
            !input_.ShapeContains(w, {393, 0}) && input_.ShapeContains(w, {200, 150});
   })
      .Do([&] { input_.Drag(At(395, 296), At(395 - 400, 296 - 400)); })
      .Until("the smallest size is the picture's width and its frame's height",
             [&] { return BoundsAre(kLeft, kTop, 188, 42); })
      .Do([&] { input_.Drag(At(184, 38), At(184 + 312, 38 + 258)); })
      .Until("pulled out to 500 x 300", [&] { return BoundsAre(kLeft, kTop, 500, 300); })
      .Until("the shape follows", [&] {
        return input_.ShapeContains(w, {492, 0}) && !input_.ShapeContains(w, {493, 0}) &&
               input_.ShapeContains(w, {499, 150}) && !input_.ShapeContains(w, {499, 299});
      });
  EXPECT_EQ(s.Run(), "");
}

TEST_F(SkinnedWindow, TheSystemMenuOpensFromItsButtonAndTheCaptionWalksWithKeysAndNeverTakesTheWindow) {
  auto* menu = new TskSkinPopupMenu(form_.get());
  auto add = [&](TMenuItem& parent, const std::string& caption) {
    auto* item = new TMenuItem(menu);
    item->Caption = caption;
    parent.Add(item);
    return item;
  };
  add(menu->Items(), "-");
  TMenuItem* more = add(menu->Items(), "更多(&M)");
  add(*more, "甲");
  add(*more, "乙");
  frame_->SetSystemMenu(menu);
  // Minimize, maximize, roll up, the user's separator and sub-menu, close.
  TskSkinMenu& engine = frame_->MenuHost().SkinMenu();
  auto level = [&](int i) { return engine.LevelCount() > i ? engine.Level(i) : nullptr; };
  auto itemCentre = [&](int n, int i) {
    const TRect r = level(n)->Items(i)->ObjectRect;
    return level(n)->ClientToScreen({(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
  };
  auto* button = static_cast<TskSkinButtonObject*>(frame_->FindObject("sysmenubutton"));
  const uint64_t window = test::WindowOf(form_.get());
  auto active = [&] { return input_.WindowManagerActive() == window; };
  Steps s;
  s.Click(input_, [&] { return At(18, 17); })
      .Until("the system menu drops down below its button", [&] { return level(0) && level(0)->Showing(); })
      .Do([&] {
        EXPECT_EQ(level(0)->Top(), form_->Top() + button->ObjectRect.Bottom);
        EXPECT_EQ(level(0)->ItemCount(), 6);
        EXPECT_TRUE(button->Down);
      })
      .Holds("the window stays active with its menu open", active, 300)
      .Do([&] { input_.Key("Down"); })
      .Until("Down walks to the second item", [&] { return level(0)->ActiveIndex() == 1; })
      .Do([&] { input_.MoveTo(itemCentre(0, 4)); })
      .Until("hovering opens the sub-menu", [&] { return level(1) && level(1)->Showing(); }, 3000)
      .Click(input_, [&] { return At(200, 200); })
      .Until("a click elsewhere closes the menu", [&] { return !engine.Visible(); })
      .Until("and raises the button", [&] { return !button->Down; })
      .Holds("the window kept the activation", active, 200)
      .Click(input_, [&] { return At(250, 15); }, 3)
      .Until("a right click on the caption opens the system menu there",
             [&] { return level(0) && level(0)->Showing() && level(0)->Left() == form_->Left() + 250; })
      .Do([&] { input_.Key("Down"); input_.Key("Down"); input_.Key("Return"); })
      .Until("choosing the roll-up item rolls the window up to its caption",
             [&] { return frame_->RolledUp() && BoundsAre(kLeft, kTop, 400, 42); })
      .DoubleClick(input_, [&] { return At(250, 15); })
      .Until("a double click on the caption rolls it down", [&] { return BoundsAre(kLeft, kTop, 400, 300); });
  EXPECT_EQ(s.Run(), "");
}
