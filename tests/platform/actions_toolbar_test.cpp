// Image lists, actions and the standard edit actions with their shortcuts, toolbars with action
// buttons, menu items, the font and colour choosers, and their layout registration.
#include <gtest/gtest.h>

#include "platform/graphics/ImgList.h"
#include "platform/layout/Layout.h"
#include "platform/widgets/ComCtrls.h"
#include "platform/widgets/StdCtrls.h"
#include "platform/windows/ActnList.h"
#include "platform/widgets/StdActns.h"
#include "platform/windows/Dialogs.h"
#include "platform/windows/Hints.h"
#include "platform/windows/Menus.h"
#include "support/TestSupport.h"

using namespace corvane;

namespace {

// A bitmap of `count` 16 x 16 images side by side; image i is filled with colours[i] and has a
// magenta (transparent) top-left quarter.
std::unique_ptr<TBitmap> Strip(const std::vector<TColor>& colours, int extraWidth = 0) {
  auto b = std::make_unique<TBitmap>(static_cast<int>(colours.size()) * 16 + extraWidth, 16);
  for (size_t i = 0; i < colours.size(); ++i)
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) b->SetPixel(static_cast<int>(i) * 16 + x, y, x < 8 && y < 8 ? clFuchsia : colours[i]);
  return b;
}

// A component of the form by name and type (null when there is none of that type).
template <class T>
T* Named(TComponent* owner, const char* name) {
  return dynamic_cast<T*>(owner->FindComponent(name));
}

// A shown window with a memo, a rich-text editor and an action list holding the six standard
// edit actions.
class EditWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    form = new TForm(Application);
    form->SetBorderStyle(TFormBorderStyle::bsNone);
    form->SetBounds(120, 120, 400, 300);
    memo = new TMemo(form);
    memo->SetParent(form);
    memo->SetBounds(10, 10, 200, 40);
    rich = new TRichEdit(form);
    rich->SetParent(form);
    rich->SetBounds(10, 60, 300, 150);
    list = new TActionList(form);
    auto add = [&](TAction* a, TShortCut sc) {
      a->SetActionList(list);
      a->SetShortCut(sc);
      return a;
    };
    cut = add(new TEditCut(form), ShortCut('X', ssCtrl));
    copy = add(new TEditCopy(form), ShortCut('C', ssCtrl));
    paste = add(new TEditPaste(form), ShortCut('V', ssCtrl));
    selectAll = add(new TEditSelectAll(form), ShortCut('A', ssCtrl));
    undo = add(new TEditUndo(form), ShortCut('Z', ssCtrl));
    del = add(new TEditDelete(form), VK_DELETE);
    form->Show();
    Application->ProcessMessages();
  }
  void TearDown() override {
    delete form;
    Application->ProcessMessages();
  }
  // The enabled state of the six actions after an update, in the order cut, copy, paste, select
  // all, undo, delete.
  std::string States() {
    list->UpdateActions();
    std::string s;
    for (TAction* a : {cut, copy, paste, selectAll, undo, del}) s += a->Enabled() ? '1' : '0';
    return s;
  }
  TForm* form;
  TMemo* memo;
  TRichEdit* rich;
  TActionList* list;
  TAction *cut, *copy, *paste, *selectAll, *undo, *del;
};

}  // namespace

// ---------------------------------------------------------------------------------------------

TEST(ImageList, CutsAStripIntoImagesAndLeavesAPartialOneOut) {
  TImageList images(nullptr);
  auto strip = Strip({clRed, clGreen, clBlue}, 10);
  EXPECT_EQ(images.AddMasked(*strip, clFuchsia), 0);
  EXPECT_EQ(images.Count(), 3);
  EXPECT_EQ(images.AddMasked(*strip, clFuchsia), 3);
  EXPECT_EQ(images.Count(), 6);
  images.SetSize(32, 32);
  EXPECT_EQ(images.Count(), 0) << "a new size drops the images";
}

TEST(ImageList, DrawsTheImageWithItsKeyColourTransparentAndGreysItWhenDisabled) {
  TImageList images(nullptr);
  images.AddMasked(*Strip({clRed, clBlue}), clFuchsia);
  TBitmap target(60, 20);
  TCanvas& c = target.Canvas();
  c.Brush().Color = clYellow;
  c.FillRect(TRect(0, 0, 60, 20));
  images.Draw(c, 2, 2, 1);
  images.Draw(c, 30, 2, 0, false);
  images.Draw(c, 2, 2, 7);   // out of range: nothing
  images.Draw(c, 2, 2, -1);  // none: nothing
  EXPECT_EQ(target.Pixel(2 + 12, 2 + 12), clBlue);
  EXPECT_EQ(target.Pixel(2 + 3, 2 + 3), clYellow) << "the key colour lets the ground through";
  EXPECT_EQ(target.Pixel(1, 1), clYellow);
  TColor grey = target.Pixel(30 + 12, 2 + 12);
  EXPECT_EQ(GetRValue(grey), GetGValue(grey));
  EXPECT_EQ(GetGValue(grey), GetBValue(grey));
  EXPECT_GT(GetRValue(grey), 0x80) << "disabled images are pale";
  EXPECT_EQ(target.Pixel(30 + 3, 2 + 3), clYellow);
}

TEST(ImageList, TheBuiltInToolbarStripHoldsFortySixImages) {
  TImageList images(nullptr);
  images.AddResourceMasked("toolbar.bmp", clFuchsia);
  EXPECT_EQ(images.Count(), 46);
  EXPECT_THROW(images.AddResourceMasked("no-such-strip.bmp", clFuchsia), EInvalidGraphic);
}

// ---------------------------------------------------------------------------------------------

TEST(Actions, APlainActionIsAvailableOnlyWithAHandlerAndRunsOnlyWhenEnabled) {
  TActionList list(nullptr);
  TAction action(nullptr);
  action.SetActionList(&list);
  action.Update();
  EXPECT_FALSE(action.Enabled());
  EXPECT_FALSE(action.Execute());
  int runs = 0;
  action.OnExecute = [&](TObject*) { ++runs; };
  EXPECT_TRUE(action.Execute());
  EXPECT_EQ(runs, 1);
  bool allow = false;
  action.OnUpdate = [&](TObject* a) { static_cast<TAction*>(a)->SetEnabled(allow); };
  EXPECT_FALSE(action.Execute());
  EXPECT_EQ(runs, 1);
  allow = true;
  EXPECT_TRUE(action.Execute());
  EXPECT_EQ(runs, 2);
}

TEST(Actions, ShortcutsRunTheMatchingActionUnlessItCannotRun) {
  TActionList list(nullptr);
  TAction a(nullptr), b(nullptr);
  a.SetActionList(&list);
  b.SetActionList(&list);
  a.SetShortCut(ShortCut('K', ssCtrl));
  b.SetShortCut(VK_F4);
  std::string ran;
  a.OnExecute = [&](TObject*) { ran += 'a'; };
  EXPECT_TRUE(list.IsShortCut(ShortCut('K', ssCtrl)));
  EXPECT_FALSE(list.IsShortCut(ShortCut('K', ssCtrl | ssShift)));
  EXPECT_FALSE(list.IsShortCut(VK_F4)) << "b has no handler, so the key goes on";
  EXPECT_FALSE(list.IsShortCut(0));
  EXPECT_EQ(ran, "a");
  EXPECT_EQ(list.ActionCount(), 2);
  b.SetActionList(nullptr);
  EXPECT_EQ(list.ActionCount(), 1);
}

TEST(Actions, ClientsFollowChangesAndEitherSideMayGoFirst) {
  auto* action = new TAction(nullptr);
  auto* button = new TToolButton(nullptr);
  button->SetAction(action);
  action->SetHint("Cut|Cuts the selection");
  action->SetImageIndex(4);
  action->SetEnabled(false);
  EXPECT_EQ(button->Hint, "Cut|Cuts the selection");
  EXPECT_EQ(button->ImageIndex(), 4);
  EXPECT_FALSE(button->Enabled());
  delete button;
  action->SetCaption("after the button");  // must not reach the destroyed button
  auto* second = new TToolButton(nullptr);
  second->SetAction(action);
  delete action;
  EXPECT_EQ(second->Action(), nullptr);
  second->Click();  // no action any more: nothing happens
  delete second;
}

// ---------------------------------------------------------------------------------------------

TEST_F(EditWindow, NothingFocusedLeavesEveryEditActionUnavailable) {
  SetClipboardText("clip");
  form->SetActiveControl(nullptr);
  EXPECT_EQ(States(), "000000");
}

TEST_F(EditWindow, EditActionsFollowTheFocusedControlsSelectionTextAndUndoHistory) {
  SetClipboardText("");
  memo->SetText("title");
  memo->SetFocus();
  EXPECT_EQ(States(), "000100") << "text but no selection";
  memo->SetSelection(1, 2);
  EXPECT_EQ(States(), "110101");
  SetClipboardText("clip");
  EXPECT_EQ(States(), "111101");
  memo->SetReadOnly(true);
  EXPECT_EQ(States(), "010100") << "a read-only control can only be copied from";
  memo->SetReadOnly(false);

  rich->SetText("");
  rich->SetFocus();
  EXPECT_EQ(States(), "001000") << "the focus moved to the empty editor";
  Input::Type("ab");
  EXPECT_EQ(States(), "001110");
}

TEST_F(EditWindow, EditActionsActOnTheFocusedControlOnly) {
  memo->SetText("keep");
  rich->SetText("hello world");
  rich->SetFocus();
  rich->SetSelection(0, 6);
  EXPECT_TRUE(cut->Execute());
  EXPECT_EQ(rich->PlainText(), "world");
  EXPECT_EQ(ClipboardText(), "hello ");
  rich->SetSelection(5, 0);
  EXPECT_TRUE(paste->Execute());
  EXPECT_EQ(rich->PlainText(), "worldhello ");
  rich->SetSelection(0, 5);
  EXPECT_TRUE(del->Execute());
  EXPECT_EQ(rich->PlainText(), "hello ");
  EXPECT_TRUE(undo->Execute());
  EXPECT_EQ(rich->PlainText(), "worldhello ");
  EXPECT_TRUE(selectAll->Execute());
  EXPECT_EQ(rich->SelLength(), 11);
  EXPECT_EQ(memo->Text(), "keep");
}

TEST_F(EditWindow, ShortcutsReachTheActionsBeforeTheControlAndFallThroughWhenTheyCannotAct) {
  memo->SetText("abcdef");
  memo->SetFocus();
  memo->SetSelection(0, 0);
  Input::Key('A', ssCtrl);
  EXPECT_EQ(memo->SelLength(), 6);
  Input::Key(VK_DELETE);
  EXPECT_EQ(memo->Text(), "");
  Input::Key('Z', ssCtrl);
  EXPECT_EQ(memo->Text(), "abcdef");
  // With nothing selected the delete action cannot act: the key deletes the next character.
  memo->SetSelection(2, 0);
  Input::Key(VK_DELETE);
  EXPECT_EQ(memo->Text(), "abdef");
  // The same keys in the rich-text editor.
  rich->SetText("rich text");
  rich->SetFocus();
  Input::Key('A', ssCtrl);
  Input::Key('C', ssCtrl);
  EXPECT_EQ(ClipboardText(), "rich text");
  Input::Key(VK_DELETE);
  EXPECT_EQ(rich->PlainText(), "");
  Input::Key('V', ssCtrl);
  Input::Key('V', ssCtrl);
  EXPECT_EQ(rich->PlainText(), "rich textrich text");
}

TEST_F(EditWindow, AWindowsShortcutsRunItsActionsBeforeTheFocusedControlSeesTheKey) {
  auto* extra = new TAction(form);
  extra->SetActionList(list);
  extra->SetShortCut(ShortCut('K', ssCtrl));
  int runs = 0;
  extra->OnExecute = [&](TObject*) { ++runs; };
  std::vector<int> keysSeen;
  memo->OnKeyDown = [&](TObject*, int& key, TShiftState) { keysSeen.push_back(key); };
  memo->SetFocus();
  Input::Key('K', ssCtrl);
  EXPECT_EQ(runs, 1);
  EXPECT_TRUE(keysSeen.empty()) << "the action took the key";
  Input::Key('J', ssCtrl);
  EXPECT_EQ(keysSeen, std::vector<int>{'J'});
  // Another window's keys do not reach this window's actions.
  TForm other(Application);
  other.SetBorderStyle(TFormBorderStyle::bsNone);
  other.SetBounds(600, 120, 200, 100);
  auto* otherMemo = new TMemo(&other);
  otherMemo->SetParent(&other);
  other.Show();
  otherMemo->SetFocus();
  Input::Key('K', ssCtrl);
  EXPECT_EQ(runs, 1);
}

TEST_F(EditWindow, ALineEditClearsOnlyItsSelection) {
  auto* edit = new TEdit(form);
  edit->SetParent(form);
  edit->SetBounds(220, 10, 150, 21);
  edit->SetText("line");
  edit->SetFocus();
  EXPECT_EQ(States().substr(5), "0");
  edit->ClearSelection();  // nothing selected: nothing goes
  EXPECT_EQ(edit->Text(), "line");
  edit->SelectAll();
  EXPECT_TRUE(del->Execute());
  EXPECT_EQ(edit->Text(), "");
}

// ---------------------------------------------------------------------------------------------

TEST_F(EditWindow, ToolbarButtonsRunTheirActionOrTheirClickHandlerAndDisabledOnesDoNothing) {
  auto* images = new TImageList(form);
  images->AddMasked(*Strip({clRed, clGreen, clBlue}), clFuchsia);
  auto* bar = new TToolBar(form);
  bar->SetParent(form);
  bar->SetBounds(10, 220, 300, 24);
  bar->SetImages(images);
  bar->SetFlat(true);
  auto* cutButton = new TToolButton(form);
  cutButton->SetParent(bar);
  cutButton->SetAction(cut);
  cut->SetImageIndex(2);
  auto* separator = new TToolButton(form);
  separator->SetParent(bar);
  separator->SetBounds(23, 0, 8, 22);
  separator->SetStyle(TToolButtonStyle::tkSeparator);
  auto* plain = new TToolButton(form);
  plain->SetParent(bar);
  plain->SetBounds(31, 0, 23, 22);
  int clicks = 0;
  plain->OnClick = [&](TObject*) { ++clicks; };

  rich->SetText("toolbar");
  rich->SetFocus();
  rich->SetSelection(0, 4);
  list->UpdateActions();
  EXPECT_TRUE(cutButton->Enabled());
  EXPECT_EQ(cutButton->ImageIndex(), 2);
  Input::ClickOn(cutButton, 5, 5);
  EXPECT_EQ(rich->PlainText(), "bar");
  EXPECT_EQ(rich, form->ActiveControl()) << "a toolbar click leaves the focus where it was";
  list->UpdateActions();
  EXPECT_FALSE(cutButton->Enabled());
  Input::ClickOn(cutButton, 5, 5);
  EXPECT_EQ(rich->PlainText(), "bar");
  Input::ClickOn(separator, 4, 5);
  Input::ClickOn(plain, 5, 5);
  EXPECT_EQ(clicks, 1);
}

TEST_F(EditWindow, AFlatToolbarPaintsItsButtonsPicturesAndALineAlongItsBottom) {
  auto* images = new TImageList(form);
  images->AddMasked(*Strip({clRed, clGreen}), clFuchsia);
  auto* bar = new TToolBar(form);
  bar->SetParent(form);
  bar->SetBounds(10, 220, 100, 24);
  bar->SetColor(clWhite);
  bar->SetImages(images);
  bar->SetFlat(true);
  bar->SetEdgeBorders(ebBottom);
  auto* button = new TToolButton(form);
  button->SetParent(bar);
  button->SetImageIndex(1);
  TBitmap shot(100, 24);
  bar->PaintTo(shot.Canvas());
  EXPECT_EQ(shot.Pixel(60, 10), clWhite);
  EXPECT_EQ(shot.Pixel(60, 22), ColorToRGB(clBtnShadow));
  EXPECT_EQ(shot.Pixel(60, 23), ColorToRGB(clBtnHighlight));
  // The picture is centred in the 23 x 22 button: its opaque part starts 8 px in.
  EXPECT_EQ(shot.Pixel(3 + 12, 3 + 12), clGreen);
  EXPECT_EQ(shot.Pixel(3 + 2, 3 + 2), clWhite);
  // Flat: no edge until the pointer is over the button.
  EXPECT_EQ(shot.Pixel(22, 10), clWhite);
  EXPECT_FALSE(button->Hot());
  Input::MoveOver(button, 5, 5);
  EXPECT_TRUE(button->Hot());
  TBitmap hot(100, 24);
  bar->PaintTo(hot.Canvas());
  EXPECT_EQ(hot.Pixel(22, 10), ColorToRGB(clBtnShadow));
  Input::MoveOver(form, 300, 100);
  EXPECT_FALSE(button->Hot());
}

TEST_F(EditWindow, TheToolbarGivesTheHintOfTheButtonUnderThePointerEvenWhenItIsDisabled) {
  auto* bar = new TToolBar(form);
  bar->SetParent(form);
  bar->SetBounds(10, 220, 300, 24);
  auto* cutButton = new TToolButton(form);
  cutButton->SetParent(bar);
  cut->SetHint("Cut|Cuts the selection and puts it on the Clipboard");
  cutButton->SetAction(cut);
  auto* separator = new TToolButton(form);
  separator->SetParent(bar);
  separator->SetBounds(23, 0, 8, 22);
  separator->SetStyle(TToolButtonStyle::tkSeparator);
  cut->SetEnabled(false);
  THintInfo info;
  info.HintControl = bar;
  info.CursorPos = {5, 5};
  info.HintStr = "toolbar";
  EXPECT_EQ(bar->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)), 0);
  EXPECT_EQ(info.HintStr, "Cut");
  EXPECT_EQ(info.CursorRect, cutButton->BoundsRect()) << "the hint holds while the pointer stays on the button";
  info.CursorPos = {26, 5};
  bar->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.HintStr, "") << "a separator has no hint";
}

// ---------------------------------------------------------------------------------------------

TEST(Menus, ItemsHoldTheirCheckMarkAndRunOnlyWhenEnabled) {
  TPopupMenu menu(nullptr);
  auto* item = new TMenuItem(nullptr);
  menu.Items().Add(item);
  EXPECT_EQ(menu.Items().Count(), 1);
  EXPECT_FALSE(item->Checked);
  int clicks = 0;
  item->OnClick = [&](TObject*) { ++clicks; };
  item->Click();
  item->Enabled = false;
  item->Click();
  EXPECT_EQ(clicks, 1);
  delete item;
  EXPECT_EQ(menu.Items().Count(), 0) << "a destroyed item leaves its menu";
}

// ---------------------------------------------------------------------------------------------

TEST(Dialogs, TheFontChooserKeepsTheLastConfirmedFontAndACancelChangesNothing) {
  TFontDialog dialog(nullptr);
  dialog.Font().SetName("MS Sans Serif");
  dialog.Font().SetHeight(-11);
  std::vector<std::string> offered;
  gFontDialogSeam = [&](TFont& f) {
    offered.push_back(f.Name());
    f.SetName("宋体");
    f.SetStyle(fsBold);
    return true;
  };
  EXPECT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.Font().Name(), "宋体");
  EXPECT_EQ(dialog.Font().Style(), fsBold);
  gFontDialogSeam = [&](TFont& f) {
    offered.push_back(f.Name());
    f.SetName("Arial");
    return false;
  };
  EXPECT_FALSE(dialog.Execute());
  gFontDialogSeam = nullptr;
  EXPECT_EQ(dialog.Font().Name(), "宋体");
  EXPECT_EQ(dialog.Font().Height(), -11);
  EXPECT_EQ(offered, (std::vector<std::string>{"MS Sans Serif", "宋体"}));
}

TEST(Dialogs, TheColourChooserOffersItsColourAndKeepsTheConfirmedOne) {
  TColorDialog dialog(nullptr);
  std::vector<TColor> offered;
  gColorDialogSeam = [&](TColor& c) {
    offered.push_back(c);
    c = clRed;
    return true;
  };
  EXPECT_TRUE(dialog.Execute());
  gColorDialogSeam = [&](TColor& c) {
    offered.push_back(c);
    c = clGreen;
    return false;
  };
  EXPECT_FALSE(dialog.Execute());
  gColorDialogSeam = nullptr;
  EXPECT_EQ(dialog.Color, clRed);
  EXPECT_EQ(offered, (std::vector<TColor>{clBlack, clRed}));
}

// ---------------------------------------------------------------------------------------------

TEST(Layout, ActionsMenusToolbarsAndDialogsNestAndReferToEachOther) {
  test::TLayoutTestForm form("TToolForm");
  form.PublishHandler("Go", TNotifyEvent([](TObject*) {}));
  LoadLayout(&form,
             "object F: TToolForm\n"
             "  object Images: TImageList\n    Bitmap = 'toolbar.bmp'\n  end\n"
             "  object Actions: TActionList\n    Images = Images\n"
             "    object Copy1: TEditCopy\n      Caption = '&Copy'\n      Hint = 'Copy|Copies'\n      ImageIndex = 1\n"
             "      ShortCut = 16451\n    end\n"
             "    object Plain: TAction\n      OnExecute = Go\n    end\n"
             "  end\n"
             "  object Menu: TPopupMenu\n    object A: TMenuItem\n      Caption = 'a'\n      Checked = True\n    end\n"
             "    object B: TMenuItem\n      Caption = 'b'\n    end\n  end\n"
             "  object Fonts: TFontDialog\n    Font.Name = 'MS Sans Serif'\n    Font.Height = -11\n    Font.Style = [fsItalic]\n  end\n"
             "  object Colours: TColorDialog\n    Color = clRed\n  end\n"
             "  object Bar: TToolBar\n    Images = Images\n    EdgeBorders = [ebBottom]\n    Flat = True\n"
             "    object B1: TToolButton\n      Action = Copy1\n    end\n"
             "    object B2: TToolButton\n      Left = 23\n      Width = 8\n      Style = tkSeparator\n    end\n"
             "  end\n"
             "end\n",
             "Tools.lfm");
  auto* list = Named<TActionList>(&form, "Actions");
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->ActionCount(), 2);
  EXPECT_EQ(list->Actions(0)->Name(), "Copy1");
  EXPECT_EQ(list->Actions(0)->ShortCut(), ShortCut('C', ssCtrl));
  EXPECT_EQ(list->Images(), Named<TImageList>(&form, "Images"));
  EXPECT_TRUE(static_cast<bool>(list->Actions(1)->OnExecute));
  auto* menu = Named<TPopupMenu>(&form, "Menu");
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(menu->Items().Count(), 2);
  EXPECT_TRUE(menu->Items().Items(0)->Checked);
  EXPECT_EQ(menu->Items().Items(1)->Caption, "b");
  ASSERT_NE(Named<TFontDialog>(&form, "Fonts"), nullptr);
  EXPECT_EQ(Named<TFontDialog>(&form, "Fonts")->Font().Style(), fsItalic);
  ASSERT_NE(Named<TColorDialog>(&form, "Colours"), nullptr);
  EXPECT_EQ(Named<TColorDialog>(&form, "Colours")->Color, clRed);
  auto* b1 = Named<TToolButton>(&form, "B1");
  ASSERT_NE(b1, nullptr);
  EXPECT_EQ(b1->Parent(), Named<TToolBar>(&form, "Bar"));
  EXPECT_EQ(b1->Hint, "Copy|Copies");
  EXPECT_EQ(b1->ImageIndex(), 1);
  ASSERT_NE(Named<TToolButton>(&form, "B2"), nullptr);
  EXPECT_EQ(Named<TToolButton>(&form, "B2")->Style(), TToolButtonStyle::tkSeparator);

  auto fails = [](const std::string& text) {
    try {
      test::TLayoutTestForm f("TToolForm");
      LoadLayout(&f, text, "Bad.lfm");
    } catch (const ELayoutError& e) {
      return std::string(e.what());
    }
    return std::string();
  };
  EXPECT_EQ(fails("object F: TToolForm\n  object Bar: TToolBar\n    EdgeBorders = [ebMiddle]\n  end\nend\n"),
            "Bad.lfm(3): unknown edge ebMiddle");
  EXPECT_EQ(fails("object F: TToolForm\n  object M: TPopupMenu\n  end\n  object Bar: TToolBar\n    Images = M\n  end\nend\n"),
            "Bad.lfm(5): M is not an image list");
  EXPECT_EQ(fails("object F: TToolForm\n  object L: TImageList\n    Bitmap = 'none.bmp'\n  end\nend\n"),
            "Bad.lfm(3): No built-in picture named none.bmp");
}
