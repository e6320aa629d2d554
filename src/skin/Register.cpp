#include "skin/Register.h"

#include "platform/Layout.h"
#include "skin/CompressedStoredSkin.h"
#include "skin/SkinData.h"

namespace corvane {

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
}

}  // namespace corvane
