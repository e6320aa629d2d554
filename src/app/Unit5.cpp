#include "app/Unit5.h"

namespace corvane {

TForm5::TForm5(TComponent* owner) : TForm(owner) {
  PublishHandler("FormCreate", TNotifyEvent([](TObject*) {}));
  PublishHandler("thButton3Click", TNotifyEvent([this](TObject*) { Close(); }));
  BuildFromLayout(this, "Unit5.lfm");
}

}  // namespace corvane
