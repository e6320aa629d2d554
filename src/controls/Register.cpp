#include "controls/Register.h"

#include <initializer_list>
#include <utility>

#include "controls/Button.h"
#include "controls/Edit.h"
#include "controls/FileTheme.h"
#include "controls/ImagePanel.h"
#include "platform/layout/Layout.h"

namespace corvane {

namespace {

template <class E>
E EnumValue(const TLayoutValue& v, std::initializer_list<std::pair<const char*, E>> names) {
  const std::string& id = v.AsIdent();
  for (auto& [name, value] : names)
    if (id == name) return value;
  v.Fail("'" + id + "' is not a valid value here");
}

TthUIStyle StyleValue(const TLayoutValue& v) {
  auto s = UIStyleFromName(v.AsIdent());
  if (!s) v.Fail("'" + v.AsIdent() + "' is not a UI style");
  return *s;
}

// The FileTheme reference of a layout: a TthFileTheme of the same window.
TthFileTheme* FileThemeValue(const TLayoutValue& v, TLayoutContext& ctx) { return ctx.ComponentOf<TthFileTheme>(v, "a TthFileTheme"); }

TAlign AlignValue(const TLayoutValue& v) {
  return EnumValue<TAlign>(v, {{"alNone", TAlign::alNone}, {"alTop", TAlign::alTop}, {"alBottom", TAlign::alBottom},
                               {"alLeft", TAlign::alLeft}, {"alRight", TAlign::alRight}, {"alClient", TAlign::alClient}});
}

void RegisterFileTheme() {
  const std::string C = "TthFileTheme";
  RegisterComponentClass(C, "TComponent", [](TComponent* o) { return new TthFileTheme(o); });
  RegisterProp<TthFileTheme>(C, "ThemeFile", [](TthFileTheme* c, const TLayoutValue& v, TLayoutContext&) {
    c->SetThemeFile(v.AsString());
  });
}

void RegisterImagePanel() {
  const std::string C = "TthImagePanel";
  RegisterComponentClass(C, "TPanel", [](TComponent* o) { return new TthImagePanel(o); });
  RegisterProp<TthImagePanel>(C, "Picture", [](TthImagePanel* c, const TLayoutValue& v, TLayoutContext&) {
    TPicture pic;
    if (v.kind == TLayoutValue::Kind::Binary) {
      TMemoryStream m(v.text);
      auto b = std::make_unique<TBitmap>();
      b->LoadFromStream(m);
      pic.SetGraphic(std::move(b));
    } else {
      pic.LoadFromResourceName(v.AsString());
    }
    c->SetPicture(pic);
  });
  RegisterProp<TthImagePanel>(C, "Transparent", [](TthImagePanel* c, const TLayoutValue& v, TLayoutContext&) {
    c->SetTransparent(v.AsBool());
  });
  RegisterProp<TthImagePanel>(C, "AutoSize", [](TthImagePanel* c, const TLayoutValue& v, TLayoutContext&) {
    c->SetAutoSize(v.AsBool());
  });
  RegisterProp<TthImagePanel>(C, "DrawStyle", [](TthImagePanel* c, const TLayoutValue& v, TLayoutContext&) {
    c->SetDrawStyle(EnumValue<TthDrawStyle>(v, {{"thNormal", TthDrawStyle::thNormal},
                                                {"thStretch", TthDrawStyle::thStretch},
                                                {"thTile", TthDrawStyle::thTile}}));
  });
  RegisterProp<TthImagePanel>(C, "Alignment", [](TthImagePanel* c, const TLayoutValue& v, TLayoutContext&) {
    c->Alignment = EnumValue<TAlignment>(v, {{"taLeftJustify", TAlignment::taLeftJustify},
                                             {"taRightJustify", TAlignment::taRightJustify},
                                             {"taCenter", TAlignment::taCenter}});
    c->Invalidate();
  });
  RegisterProp<TthImagePanel>(C, "Align", [](TthImagePanel* c, const TLayoutValue& v, TLayoutContext&) {
    c->Align = AlignValue(v);
  });
}

void RegisterButton() {
  const std::string C = "TthButton";
  RegisterComponentClass(C, "TCustomControl", [](TComponent* o) { return new TthButton(o); });
  // In the order a layout stores them: UIStyle comes before Transparent, so a stored
  // Transparent wins over the style's.
  RegisterProp<TthButton>(C, "FileTheme", [](TthButton* c, const TLayoutValue& v, TLayoutContext& x) {
    c->SetFileTheme(FileThemeValue(v, x));
  });
  RegisterProp<TthButton>(C, "UIStyle", [](TthButton* c, const TLayoutValue& v, TLayoutContext&) {
    c->SetUIStyle(StyleValue(v));
  });
  RegisterProp<TthButton>(C, "Cancel", [](TthButton* c, const TLayoutValue& v, TLayoutContext&) { c->Cancel = v.AsBool(); });
  RegisterProp<TthButton>(C, "Default", [](TthButton* c, const TLayoutValue& v, TLayoutContext&) { c->SetDefault(v.AsBool()); });
  RegisterProp<TthButton>(C, "Caption", [](TthButton* c, const TLayoutValue& v, TLayoutContext&) { c->SetCaption(v.AsString()); });
  RegisterProp<TthButton>(C, "Action", [](TthButton* c, const TLayoutValue& v, TLayoutContext& x) {
    c->SetAction(x.ComponentOf<TAction>(v, "an action"));
  });
  RegisterProp<TthButton>(C, "Transparent", [](TthButton* c, const TLayoutValue& v, TLayoutContext&) {
    c->SetTransparent(v.AsBool());
  });
  RegisterProp<TthButton>(C, "ModalResult", [](TthButton* c, const TLayoutValue& v, TLayoutContext&) {
    if (v.kind == TLayoutValue::Kind::Identifier) {
      c->ModalResult = EnumValue<TModalResult>(v, {{"mrNone", mrNone}, {"mrOk", mrOk}, {"mrCancel", mrCancel},
                                                   {"mrAbort", mrAbort}, {"mrRetry", mrRetry}, {"mrIgnore", mrIgnore},
                                                   {"mrYes", mrYes}, {"mrNo", mrNo}});
    } else {
      c->ModalResult = v.AsInt();
    }
  });
  RegisterProp<TthButton>(C, "AutoSize", [](TthButton* c, const TLayoutValue& v, TLayoutContext&) { c->SetAutoSize(v.AsBool()); });
  RegisterProp<TthButton>(C, "FocusedRectMargin", [](TthButton* c, const TLayoutValue& v, TLayoutContext&) {
    c->SetFocusedRectMargin(v.AsInt());
  });
  RegisterProp<TthButton>(C, "Glyph", [](TthButton* c, const TLayoutValue& v, TLayoutContext&) {
    TBitmap b;
    if (v.kind == TLayoutValue::Kind::Binary) {
      TMemoryStream m(v.text);
      b.LoadFromStream(m);
    } else if (!b.LoadFromResourceName(v.AsString())) {
      v.Fail("no built-in picture named " + v.AsString());
    }
    c->SetGlyph(b);
  });
  RegisterProp<TthButton>(C, "Layout", [](TthButton* c, const TLayoutValue& v, TLayoutContext&) {
    c->SetLayout(EnumValue<TButtonLayout>(v, {{"blGlyphLeft", TButtonLayout::blGlyphLeft},
                                              {"blGlyphRight", TButtonLayout::blGlyphRight},
                                              {"blGlyphTop", TButtonLayout::blGlyphTop},
                                              {"blGlyphBottom", TButtonLayout::blGlyphBottom}}));
  });
  RegisterProp<TthButton>(C, "Spacing", [](TthButton* c, const TLayoutValue& v, TLayoutContext&) { c->SetSpacing(v.AsInt()); });
  RegisterProp<TthButton>(C, "MouseContinuouslyDownInterval", [](TthButton* c, const TLayoutValue& v, TLayoutContext&) {
    c->MouseContinuouslyDownInterval = v.AsInt();
  });
  RegisterProp<TthButton>(C, "ResHandle", [](TthButton* c, const TLayoutValue& v, TLayoutContext&) { c->SetResHandle(v.AsInt()); });
  RegisterProp<TthButton>(C, "OnMouseExit", [](TthButton* c, const TLayoutValue& v, TLayoutContext& x) {
    c->OnMouseExit = x.Handler<TNotifyEvent>(v);
  });
  RegisterProp<TthButton>(C, "OnMouseContinuouslyDown", [](TthButton* c, const TLayoutValue& v, TLayoutContext& x) {
    c->OnMouseContinuouslyDown = x.Handler<TNotifyEvent>(v);
  });
}

void RegisterEdit() {
  const std::string C = "TthEdit";
  RegisterComponentClass(C, "TEdit", [](TComponent* o) { return new TthEdit(o); });
  RegisterProp<TthEdit>(C, "FileTheme", [](TthEdit* c, const TLayoutValue& v, TLayoutContext& x) {
    c->SetFileTheme(FileThemeValue(v, x));
  });
  // UIStyle before BorderColor: a stored BorderColor wins over the style's.
  RegisterProp<TthEdit>(C, "UIStyle", [](TthEdit* c, const TLayoutValue& v, TLayoutContext&) { c->SetUIStyle(StyleValue(v)); });
  RegisterProp<TthEdit>(C, "BorderColor", [](TthEdit* c, const TLayoutValue& v, TLayoutContext&) {
    c->SetBorderColor(v.AsColor());
  });
}

}  // namespace

void RegisterThemedControls() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterPlatformClasses();
  RegisterFileTheme();
  RegisterImagePanel();
  RegisterButton();
  RegisterEdit();
}

}  // namespace corvane
