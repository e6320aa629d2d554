// Layout registration of the image list, actions, toolbar, menus and common dialogs.
#include "platform/graphics/ImgList.h"
#include "platform/layout/Layout.h"
#include "platform/widgets/ComCtrls.h"
#include "platform/windows/ActnList.h"
#include "platform/widgets/StdActns.h"
#include "platform/windows/Dialogs.h"
#include "platform/windows/Menus.h"

namespace corvane {

namespace {

template <class T>
TComponentFactory Factory() {
  return [](TComponent* owner) { return new T(owner); };
}

void RegisterImageList() {
  const std::string C = "TImageList";
  RegisterComponentClass(C, "TComponent", Factory<TImageList>());
  RegisterProp<TImageList>(C, "Width", [](TImageList* c, const TLayoutValue& v, TLayoutContext&) { c->SetSize(v.AsInt(), c->Height()); });
  RegisterProp<TImageList>(C, "Height", [](TImageList* c, const TLayoutValue& v, TLayoutContext&) { c->SetSize(c->Width(), v.AsInt()); });
  // A built-in picture cut into images; magenta pixels are transparent.
  RegisterProp<TImageList>(C, "Bitmap", [](TImageList* c, const TLayoutValue& v, TLayoutContext&) {
    try {
      c->AddResourceMasked(v.AsString(), clFuchsia);
    } catch (const EInvalidGraphic& e) {
      v.Fail(e.what());
    }
  });
}

void RegisterActions() {
  RegisterComponentClass("TActionList", "TComponent", Factory<TActionList>());
  RegisterProp<TActionList>("TActionList", "Images", [](TActionList* c, const TLayoutValue& v, TLayoutContext& x) {
    c->SetImages(x.ComponentOf<TImageList>(v, "an image list"));
  });

  const std::string A = "TAction";
  RegisterComponentClass(A, "TComponent", Factory<TAction>());
  RegisterProp<TAction>(A, "Category", [](TAction* c, const TLayoutValue& v, TLayoutContext&) { c->Category = v.AsString(); });
  RegisterProp<TAction>(A, "Caption", [](TAction* c, const TLayoutValue& v, TLayoutContext&) { c->SetCaption(v.AsString()); });
  RegisterProp<TAction>(A, "Hint", [](TAction* c, const TLayoutValue& v, TLayoutContext&) { c->SetHint(v.AsString()); });
  RegisterProp<TAction>(A, "ImageIndex", [](TAction* c, const TLayoutValue& v, TLayoutContext&) { c->SetImageIndex(v.AsInt()); });
  RegisterProp<TAction>(A, "ShortCut", [](TAction* c, const TLayoutValue& v, TLayoutContext&) { c->SetShortCut(v.AsInt()); });
  RegisterProp<TAction>(A, "Enabled", [](TAction* c, const TLayoutValue& v, TLayoutContext&) { c->SetEnabled(v.AsBool()); });
  RegisterProp<TAction>(A, "Checked", [](TAction* c, const TLayoutValue& v, TLayoutContext&) { c->SetChecked(v.AsBool()); });
  RegisterProp<TAction>(A, "Visible", [](TAction* c, const TLayoutValue& v, TLayoutContext&) { c->SetVisible(v.AsBool()); });
  RegisterProp<TAction>(A, "OnExecute", [](TAction* c, const TLayoutValue& v, TLayoutContext& x) { c->OnExecute = x.Handler<TNotifyEvent>(v); });
  RegisterProp<TAction>(A, "OnUpdate", [](TAction* c, const TLayoutValue& v, TLayoutContext& x) { c->OnUpdate = x.Handler<TNotifyEvent>(v); });
  RegisterComponentClass("TEditAction", A, nullptr);
  RegisterComponentClass("TEditCut", "TEditAction", Factory<TEditCut>());
  RegisterComponentClass("TEditCopy", "TEditAction", Factory<TEditCopy>());
  RegisterComponentClass("TEditPaste", "TEditAction", Factory<TEditPaste>());
  RegisterComponentClass("TEditSelectAll", "TEditAction", Factory<TEditSelectAll>());
  RegisterComponentClass("TEditUndo", "TEditAction", Factory<TEditUndo>());
  RegisterComponentClass("TEditDelete", "TEditAction", Factory<TEditDelete>());
}

void RegisterToolBar() {
  const std::string T = "TToolBar";
  RegisterComponentClass(T, "TCustomControl", Factory<TToolBar>());
  RegisterProp<TToolBar>(T, "Images", [](TToolBar* c, const TLayoutValue& v, TLayoutContext& x) { c->SetImages(x.ComponentOf<TImageList>(v, "an image list")); });
  RegisterProp<TToolBar>(T, "Flat", [](TToolBar* c, const TLayoutValue& v, TLayoutContext&) { c->SetFlat(v.AsBool()); });
  RegisterProp<TToolBar>(T, "ButtonWidth", [](TToolBar* c, const TLayoutValue& v, TLayoutContext&) { c->ButtonWidth = v.AsInt(); });
  RegisterProp<TToolBar>(T, "ButtonHeight", [](TToolBar* c, const TLayoutValue& v, TLayoutContext&) { c->ButtonHeight = v.AsInt(); });
  RegisterProp<TToolBar>(T, "EdgeBorders", [](TToolBar* c, const TLayoutValue& v, TLayoutContext&) {
    if (v.kind != TLayoutValue::Kind::Set) v.Fail("expected a set of edges");
    TEdgeBorders edges = 0;
    for (const std::string& e : v.items) {
      if (e == "ebLeft") edges |= ebLeft; else if (e == "ebTop") edges |= ebTop;
      else if (e == "ebRight") edges |= ebRight; else if (e == "ebBottom") edges |= ebBottom;
      else v.Fail("unknown edge " + e);
    }
    c->SetEdgeBorders(edges);
  });

  const std::string B = "TToolButton";
  RegisterComponentClass(B, "TGraphicControl", Factory<TToolButton>());
  RegisterProp<TToolButton>(B, "ImageIndex", [](TToolButton* c, const TLayoutValue& v, TLayoutContext&) { c->SetImageIndex(v.AsInt()); });
  RegisterProp<TToolButton>(B, "Action", [](TToolButton* c, const TLayoutValue& v, TLayoutContext& x) { c->SetAction(x.ComponentOf<TAction>(v, "an action")); });
  RegisterProp<TToolButton>(B, "Style", [](TToolButton* c, const TLayoutValue& v, TLayoutContext&) {
    const std::string& s = v.AsIdent();
    if (s == "tkButton") c->SetStyle(TToolButtonStyle::tkButton);
    else if (s == "tkSeparator") c->SetStyle(TToolButtonStyle::tkSeparator);
    else v.Fail("unknown button style " + s);
  });
}

void RegisterMenus() {
  RegisterComponentClass("TPopupMenu", "TComponent", Factory<TPopupMenu>());
  RegisterProp<TPopupMenu>("TPopupMenu", "AutoPopup", [](TPopupMenu* c, const TLayoutValue& v, TLayoutContext&) { c->AutoPopup = v.AsBool(); });
  const std::string M = "TMenuItem";
  RegisterComponentClass(M, "TComponent", Factory<TMenuItem>());
  RegisterProp<TMenuItem>(M, "Caption", [](TMenuItem* c, const TLayoutValue& v, TLayoutContext&) { c->Caption = v.AsString(); });
  RegisterProp<TMenuItem>(M, "Checked", [](TMenuItem* c, const TLayoutValue& v, TLayoutContext&) { c->Checked = v.AsBool(); });
  RegisterProp<TMenuItem>(M, "Enabled", [](TMenuItem* c, const TLayoutValue& v, TLayoutContext&) { c->Enabled = v.AsBool(); });
  RegisterProp<TMenuItem>(M, "Visible", [](TMenuItem* c, const TLayoutValue& v, TLayoutContext&) { c->Visible = v.AsBool(); });
  RegisterProp<TMenuItem>(M, "OnClick", [](TMenuItem* c, const TLayoutValue& v, TLayoutContext& x) { c->OnClick = x.Handler<TNotifyEvent>(v); });
}

void RegisterDialogs() {
  const std::string F = "TFontDialog";
  RegisterComponentClass(F, "TComponent", Factory<TFontDialog>());
  RegisterFontProperties(F, [](TComponent* c) -> TFont& { return static_cast<TFontDialog*>(c)->Font(); });
  RegisterProp<TFontDialog>(F, "MinFontSize", [](TFontDialog* c, const TLayoutValue& v, TLayoutContext&) { c->MinFontSize = v.AsInt(); });
  RegisterProp<TFontDialog>(F, "MaxFontSize", [](TFontDialog* c, const TLayoutValue& v, TLayoutContext&) { c->MaxFontSize = v.AsInt(); });
  RegisterComponentClass("TColorDialog", "TComponent", Factory<TColorDialog>());
  RegisterProp<TColorDialog>("TColorDialog", "Color", [](TColorDialog* c, const TLayoutValue& v, TLayoutContext&) { c->Color = v.AsColor(); });
}

}  // namespace

void RegisterCommonControlClasses() {
  RegisterImageList();
  RegisterActions();
  RegisterToolBar();
  RegisterMenus();
  RegisterDialogs();
}

}  // namespace corvane
