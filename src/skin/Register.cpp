#include "skin/Register.h"

#include "platform/layout/Layout.h"
#include "platform/windows/Menus.h"
#include "skin/frame/SkinDialogs.h"
#include "skin/frame/SkinForm.h"
#include "skin/frame/SkinMenu.h"
#include "skin/frame/TrayIcon.h"
#include "skin/package/CompressedStoredSkin.h"
#include "skin/package/SkinData.h"

namespace corvane {

namespace {

TskBorderIcons BorderIconsOf(const TLayoutValue& v) {
  if (v.kind != TLayoutValue::Kind::Set) v.Fail("expected a set of border icons");
  static const std::pair<const char*, TskBorderIcon> kNames[] = {
      {"biSystemMenu", TskBorderIcon::biSystemMenu}, {"biMinimize", TskBorderIcon::biMinimize},
      {"biMaximize", TskBorderIcon::biMaximize},     {"biRollUp", TskBorderIcon::biRollUp},
      {"biMinimizeToTray", TskBorderIcon::biMinimizeToTray}};
  TskBorderIcons icons = 0;
  for (const std::string& item : v.items) {
    bool known = false;
    for (const auto& [name, icon] : kNames)
      if (item == name) icons |= BorderIconBit(icon), known = true;
    if (!known) v.Fail("unknown border icon " + item);
  }
  return icons;
}

}  // namespace

void RegisterFrameComponents();

void RegisterSkinComponents() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterPlatformClasses();

  const std::string S = "TskCompressedStoredSkin";
  RegisterComponentClass(S, "TComponent", [](TComponent* o) { return new TskCompressedStoredSkin(o); });
  RegisterProp<TskCompressedStoredSkin>(S, "FileName", [](TskCompressedStoredSkin* c, const TLayoutValue& v, TLayoutContext&) { c->SetFileName(v.AsString()); });
  RegisterProp<TskCompressedStoredSkin>(S, "CompressedFileName", [](TskCompressedStoredSkin* c, const TLayoutValue& v, TLayoutContext&) { c->SetCompressedFileName(v.AsString()); });
  RegisterProp<TskCompressedStoredSkin>(S, "Description", [](TskCompressedStoredSkin* c, const TLayoutValue& v, TLayoutContext&) { c->SetDescription(v.AsString()); });
  RegisterProp<TskCompressedStoredSkin>(S, "CompressedData", [](TskCompressedStoredSkin* c, const TLayoutValue& v, TLayoutContext&) {
    if (v.kind != TLayoutValue::Kind::Binary) v.Fail("expected binary data");
    c->ReadCompressedData(v.text);
  });

  const std::string D = "TskSkinData";
  RegisterComponentClass(D, "TComponent", [](TComponent* o) { return new TskSkinData(o); });
  RegisterProp<TskSkinData>(D, "CompressedStoredSkin", [](TskSkinData* c, const TLayoutValue& v, TLayoutContext& x) {
    auto* stored = dynamic_cast<TskCompressedStoredSkin*>(x.Component(v));
    if (!stored) v.Fail(v.text + " is not a stored skin");
    // A stored skin that cannot be loaded (damaged data, a bad picture, a malformed value) must
    // not keep its window from being built: the window goes on without a skin, its skin data
    // left marked empty, and draws its default frame.
    try {
      c->SetCompressedStoredSkin(stored);
    } catch (const Exception&) {
    }
  });
  RegisterFrameComponents();
}

// The frame, the skinned pop-up menu and the dialog components of a skinned window.
void RegisterFrameComponents() {
  const std::string F = "TskSkinForm";
  RegisterComponentClass(F, "TComponent", [](TComponent* o) { return new TskSkinForm(o); });
  using Setter = std::function<void(TskSkinForm*, const TLayoutValue&, TLayoutContext&)>;
  const std::pair<const char*, Setter> props[] = {
      {"SkinData", [](TskSkinForm* f, const TLayoutValue& v, TLayoutContext& x) { f->SetSkinData(x.ComponentOf<TskSkinData>(v, "skin data")); }},
      {"MenusSkinData", [](TskSkinForm* f, const TLayoutValue& v, TLayoutContext& x) { f->SetMenusSkinData(x.ComponentOf<TskSkinData>(v, "skin data")); }},
      {"SkinHint", [](TskSkinForm* f, const TLayoutValue& v, TLayoutContext& x) {
         TComponent* c = x.Component(v);
         if (!dynamic_cast<TskObjectHint*>(c)) v.Fail(v.AsIdent() + " is not a skin hint");
         f->SetSkinHint(c);
       }},
      {"SystemMenu", [](TskSkinForm* f, const TLayoutValue& v, TLayoutContext& x) { f->SetSystemMenu(x.ComponentOf<TPopupMenu>(v, "a pop-up menu")); }},
      {"TrayIcon", [](TskSkinForm* f, const TLayoutValue& v, TLayoutContext& x) { f->SetTrayIcon(x.ComponentOf<TskTrayIcon>(v, "a tray icon")); }},
      {"BorderIcons", [](TskSkinForm* f, const TLayoutValue& v, TLayoutContext&) { f->SetBorderIcons(BorderIconsOf(v)); }},
      {"HideCaptionButtons", [](TskSkinForm* f, const TLayoutValue& v, TLayoutContext&) { f->SetHideCaptionButtons(v.AsBool()); }},
      {"ShowIcon", [](TskSkinForm* f, const TLayoutValue& v, TLayoutContext&) { f->SetShowIcon(v.AsBool()); }},
      {"UseFormCursorInNCArea", [](TskSkinForm* f, const TLayoutValue& v, TLayoutContext&) { f->UseFormCursorInNCArea = v.AsBool(); }},
      {"MaxMenuItemsInWindow", [](TskSkinForm* f, const TLayoutValue& v, TLayoutContext&) { f->SetMaxMenuItemsInWindow(v.AsInt()); }},
      {"ClientWidth", [](TskSkinForm* f, const TLayoutValue& v, TLayoutContext&) { f->ClientWidth = v.AsInt(); }},
      {"ClientHeight", [](TskSkinForm* f, const TLayoutValue& v, TLayoutContext&) { f->ClientHeight = v.AsInt(); }},
      {"MinWidth", [](TskSkinForm* f, const TLayoutValue& v, TLayoutContext&) { f->MinWidth = v.AsInt(); }},
      {"MinHeight", [](TskSkinForm* f, const TLayoutValue& v, TLayoutContext&) { f->MinHeight = v.AsInt(); }},
      {"MaxWidth", [](TskSkinForm* f, const TLayoutValue& v, TLayoutContext&) { f->MaxWidth = v.AsInt(); }},
      {"MaxHeight", [](TskSkinForm* f, const TLayoutValue& v, TLayoutContext&) { f->MaxHeight = v.AsInt(); }},
      {"AlwaysShowInTray", [](TskSkinForm* f, const TLayoutValue& v, TLayoutContext&) { f->AlwaysShowInTray = v.AsBool(); }},
      {"AlwaysMinimizeToTray", [](TskSkinForm* f, const TLayoutValue& v, TLayoutContext&) { f->AlwaysMinimizeToTray = v.AsBool(); }},
      {"LogoBitMapTransparent", [](TskSkinForm* f, const TLayoutValue& v, TLayoutContext&) { f->LogoBitMapTransparent = v.AsBool(); }},
      {"UseSkinFontInMenu", [](TskSkinForm* f, const TLayoutValue& v, TLayoutContext&) { f->UseSkinFontInMenu = v.AsBool(); }},
      {"MaximizeOnFullScreen", [](TskSkinForm* f, const TLayoutValue& v, TLayoutContext&) { f->MaximizeOnFullScreen = v.AsBool(); }},
      {"AlphaBlend", [](TskSkinForm* f, const TLayoutValue& v, TLayoutContext&) { f->SetAlphaBlend(v.AsBool()); }},
      {"AlphaBlendAnimation", [](TskSkinForm* f, const TLayoutValue& v, TLayoutContext&) { f->AlphaBlendAnimation = v.AsBool(); }},
      {"AlphaBlendValue", [](TskSkinForm* f, const TLayoutValue& v, TLayoutContext&) { f->SetAlphaBlendValue(static_cast<uint8_t>(v.AsInt())); }},
      {"ShowObjectHint", [](TskSkinForm* f, const TLayoutValue& v, TLayoutContext&) { f->ShowObjectHint = v.AsBool(); }},
      {"UseDefaultObjectHint", [](TskSkinForm* f, const TLayoutValue& v, TLayoutContext&) { f->UseDefaultObjectHint = v.AsBool(); }},
      {"UseDefaultSysMenu", [](TskSkinForm* f, const TLayoutValue& v, TLayoutContext&) { f->UseDefaultSysMenu = v.AsBool(); }},
      {"MenusAlphaBlend", [](TskSkinForm* f, const TLayoutValue& v, TLayoutContext&) { f->MenusAlphaBlend = v.AsBool(); }},
      {"MenusAlphaBlendAnimation", [](TskSkinForm* f, const TLayoutValue& v, TLayoutContext&) { f->MenusAlphaBlendAnimation = v.AsBool(); }},
      {"MenusAlphaBlendValue", [](TskSkinForm* f, const TLayoutValue& v, TLayoutContext&) { f->MenusAlphaBlendValue = static_cast<uint8_t>(v.AsInt()); }},
      {"DefMenuItemHeight", [](TskSkinForm* f, const TLayoutValue& v, TLayoutContext&) { f->SetDefMenuItemHeight(v.AsInt()); }},
      {"Magnetic", [](TskSkinForm* f, const TLayoutValue& v, TLayoutContext&) { f->Magnetic = v.AsBool(); }},
      {"MagneticSize", [](TskSkinForm* f, const TLayoutValue& v, TLayoutContext&) { f->MagneticSize = static_cast<uint8_t>(v.AsInt()); }},
  };
  for (const auto& [name, setter] : props) RegisterProp<TskSkinForm>(F, name, setter);
  RegisterFontProperties(F, [](TComponent* c) -> TFont& { return static_cast<TskSkinForm*>(c)->DefCaptionFont(); }, "DefCaptionFont");
  RegisterFontProperties(F, [](TComponent* c) -> TFont& { return static_cast<TskSkinForm*>(c)->DefInActiveCaptionFont(); }, "DefInActiveCaptionFont");
  RegisterFontProperties(F, [](TComponent* c) -> TFont& { return static_cast<TskSkinForm*>(c)->DefMenuItemFont(); }, "DefMenuItemFont");

  const std::string P = "TskSkinPopupMenu";
  RegisterComponentClass(P, "TPopupMenu", [](TComponent* o) { return new TskSkinPopupMenu(o); });
  RegisterProp<TskSkinPopupMenu>(P, "SkinData", [](TskSkinPopupMenu* m, const TLayoutValue& v, TLayoutContext& x) { m->SetSkinData(x.ComponentOf<TskSkinData>(v, "skin data")); });

  for (const std::string cls : {"TskSkinMessage", "TskOpenSkinDialog"}) {
    if (cls == "TskSkinMessage") RegisterComponentClass(cls, "TComponent", [](TComponent* o) { return new TskSkinMessage(o); });
    else RegisterComponentClass(cls, "TComponent", [](TComponent* o) { return new TskOpenSkinDialog(o); });
    using D = TskSkinDialogComponent;
    RegisterProp<D>(cls, "SkinData", [](D* d, const TLayoutValue& v, TLayoutContext& x) { d->SetSkinData(x.ComponentOf<TskSkinData>(v, "skin data")); });
    RegisterProp<D>(cls, "CtrlSkinData", [](D* d, const TLayoutValue& v, TLayoutContext& x) { d->SetCtrlSkinData(x.ComponentOf<TskSkinData>(v, "skin data")); });
    RegisterProp<D>(cls, "AlphaBlend", [](D* d, const TLayoutValue& v, TLayoutContext&) { d->AlphaBlend = v.AsBool(); });
    RegisterProp<D>(cls, "AlphaBlendAnimation", [](D* d, const TLayoutValue& v, TLayoutContext&) { d->AlphaBlendAnimation = v.AsBool(); });
    RegisterProp<D>(cls, "AlphaBlendValue", [](D* d, const TLayoutValue& v, TLayoutContext&) { d->AlphaBlendValue = v.AsInt(); });
    RegisterFontProperties(cls, [](TComponent* c) -> TFont& { return static_cast<D*>(c)->DefaultFont(); }, "DefaultFont");
  }
  using M = TskSkinMessage;
  const std::string MS = "TskSkinMessage";
  RegisterProp<M>(MS, "ButtonSkinDataName", [](M* m, const TLayoutValue& v, TLayoutContext&) { m->ButtonSkinDataName = v.AsString(); });
  RegisterProp<M>(MS, "MessageLabelSkinDataName", [](M* m, const TLayoutValue& v, TLayoutContext&) { m->MessageLabelSkinDataName = v.AsString(); });
  RegisterProp<M>(MS, "UseSkinFont", [](M* m, const TLayoutValue& v, TLayoutContext&) { m->UseSkinFont = v.AsBool(); });
  RegisterFontProperties(MS, [](TComponent* c) -> TFont& { return static_cast<M*>(c)->DefaultButtonFont(); }, "DefaultButtonFont");
  using O = TskOpenSkinDialog;
  const std::string OS = "TskOpenSkinDialog";
  RegisterProp<O>(OS, "Title", [](O* d, const TLayoutValue& v, TLayoutContext&) { d->Title = v.AsString(); });
  RegisterProp<O>(OS, "Filter", [](O* d, const TLayoutValue& v, TLayoutContext&) { d->Filter = v.AsString(); });
  RegisterProp<O>(OS, "FilterIndex", [](O* d, const TLayoutValue& v, TLayoutContext&) { d->FilterIndex = v.AsInt(); });
  RegisterProp<O>(OS, "CompressedFilterIndex", [](O* d, const TLayoutValue& v, TLayoutContext&) { d->CompressedFilterIndex = v.AsInt(); });
  RegisterProp<O>(OS, "UnCompressedFilterIndex", [](O* d, const TLayoutValue& v, TLayoutContext&) { d->UnCompressedFilterIndex = v.AsInt(); });
  RegisterProp<O>(OS, "DialogWidth", [](O* d, const TLayoutValue& v, TLayoutContext&) { d->DialogWidth = v.AsInt(); });
  RegisterProp<O>(OS, "DialogHeight", [](O* d, const TLayoutValue& v, TLayoutContext&) { d->DialogHeight = v.AsInt(); });
  RegisterProp<O>(OS, "DialogMinWidth", [](O* d, const TLayoutValue& v, TLayoutContext&) { d->DialogMinWidth = v.AsInt(); });
  RegisterProp<O>(OS, "DialogMinHeight", [](O* d, const TLayoutValue& v, TLayoutContext&) { d->DialogMinHeight = v.AsInt(); });
  RegisterProp<O>(OS, "CtrlAlphaBlend", [](O* d, const TLayoutValue& v, TLayoutContext&) { d->CtrlAlphaBlend = v.AsBool(); });
  RegisterProp<O>(OS, "CtrlAlphaBlendValue", [](O* d, const TLayoutValue& v, TLayoutContext&) { d->CtrlAlphaBlendValue = v.AsInt(); });
  RegisterProp<O>(OS, "CtrlAlphaBlendAnimation", [](O* d, const TLayoutValue& v, TLayoutContext&) { d->CtrlAlphaBlendAnimation = v.AsBool(); });
  RegisterProp<O>(OS, "LVHeaderSkinDataName", [](O* d, const TLayoutValue& v, TLayoutContext&) { d->LVHeaderSkinDataName = v.AsString(); });

  const std::string T = "TskTrayIcon";
  using TI = TskTrayIcon;
  RegisterComponentClass(T, "TComponent", [](TComponent* o) { return new TskTrayIcon(o); });
  RegisterProp<TI>(T, "DesignPreview", [](TI* c, const TLayoutValue& v, TLayoutContext&) { c->SetDesignPreview(v.AsBool()); });
  RegisterProp<TI>(T, "IconList", [](TI* c, const TLayoutValue& v, TLayoutContext& x) { c->SetIconList(x.ComponentOf<TImageList>(v, "an image list")); });
  RegisterProp<TI>(T, "CycleIcons", [](TI* c, const TLayoutValue& v, TLayoutContext&) { c->SetCycleIcons(v.AsBool()); });
  RegisterProp<TI>(T, "AnimateTimerInterval", [](TI* c, const TLayoutValue& v, TLayoutContext&) {
    if (v.AsInt() < 0) v.Fail("expected an interval of 0 or more milliseconds");
    c->SetAnimateTimerInterval(static_cast<unsigned>(v.AsInt()));
  });
  RegisterProp<TI>(T, "Enabled", [](TI* c, const TLayoutValue& v, TLayoutContext&) { c->Enabled = v.AsBool(); });
  RegisterProp<TI>(T, "Hint", [](TI* c, const TLayoutValue& v, TLayoutContext&) { c->SetHint(v.AsString()); });
  RegisterProp<TI>(T, "ShowHint", [](TI* c, const TLayoutValue& v, TLayoutContext&) { c->SetShowHint(v.AsBool()); });
  RegisterProp<TI>(T, "Icon", [](TI* c, const TLayoutValue& v, TLayoutContext&) {
    // A built-in picture by file name.
    TBitmap icon;
    if (!icon.LoadFromResourceName(v.AsString())) v.Fail("there is no built-in picture " + v.AsString());
    c->SetIcon(icon);
  });
  RegisterProp<TI>(T, "IconVisible", [](TI* c, const TLayoutValue& v, TLayoutContext&) { c->SetIconVisible(v.AsBool()); });
  RegisterProp<TI>(T, "IconIndex", [](TI* c, const TLayoutValue& v, TLayoutContext&) { c->SetIconIndex(v.AsInt()); });
  RegisterProp<TI>(T, "PopupMenu", [](TI* c, const TLayoutValue& v, TLayoutContext& x) { c->SetPopupMenu(x.ComponentOf<TskSkinPopupMenu>(v, "a skinned pop-up menu")); });
  RegisterProp<TI>(T, "PopupByLeftButton", [](TI* c, const TLayoutValue& v, TLayoutContext&) { c->PopupByLeftButton = v.AsBool(); });
  RegisterProp<TI>(T, "MinimizedOnStart", [](TI* c, const TLayoutValue& v, TLayoutContext&) { c->MinimizedOnStart = v.AsBool(); });
  RegisterProp<TI>(T, "MinimizeToTray", [](TI* c, const TLayoutValue& v, TLayoutContext&) { c->MinimizeToTray = v.AsBool(); });
  RegisterProp<TI>(T, "OnClick", [](TI* c, const TLayoutValue& v, TLayoutContext& x) { c->OnClick = x.Handler<TNotifyEvent>(v); });
  RegisterProp<TI>(T, "OnDblClick", [](TI* c, const TLayoutValue& v, TLayoutContext& x) { c->OnDblClick = x.Handler<TNotifyEvent>(v); });
  RegisterProp<TI>(T, "OnMouseDown", [](TI* c, const TLayoutValue& v, TLayoutContext& x) { c->OnMouseDown = x.Handler<TMouseEvent>(v); });
  RegisterProp<TI>(T, "OnMouseUp", [](TI* c, const TLayoutValue& v, TLayoutContext& x) { c->OnMouseUp = x.Handler<TMouseEvent>(v); });
  RegisterProp<TI>(T, "OnMouseMove", [](TI* c, const TLayoutValue& v, TLayoutContext& x) { c->OnMouseMove = x.Handler<TMouseMoveEvent>(v); });
  RegisterProp<TI>(T, "OnCycle", [](TI* c, const TLayoutValue& v, TLayoutContext& x) {
    // A form publishes cycle handlers as notify events; the next index is read from IconIndex.
    TNotifyEvent h = x.Handler<TNotifyEvent>(v);
    c->OnCycle = [h](TObject* sender, int) { h(sender); };
  });
}

}  // namespace corvane
