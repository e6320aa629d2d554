#include "app/Unit4.h"

#include "app/Unit3.h"

namespace corvane {

TForm4::TForm4(TComponent* owner) : TForm(owner) {
  PublishPictureButtons(this, reinterpret_cast<TForm**>(&Form4), false);
  PublishHandler("FormClose", TCloseEvent([](TObject*, TCloseAction&) {}));
  BuildFromLayout(this, "Unit4.lfm");
}

}  // namespace corvane
