#include "app/Unit2.h"

#include "app/Catalogue.h"

namespace corvane {

// Windows with a close button and a minimise button share these handlers.
void PublishPictureButtons(TForm* form, TForm** current, bool hasMinimise) {
  form->PublishHandler("Image1MouseDown", TMouseEvent([current](TObject*, TMouseButton, TShiftState, int, int) {
    BeginWindowDrag(*current);
  }));
  form->PublishHandler("Image1MouseMove", TMouseMoveEvent([form, hasMinimise](TObject*, TShiftState, int, int) {
    if (hasMinimise) Find<TControl>(form, "w1")->Hide();
    Find<TControl>(form, "w2")->Hide();
  }));
  form->PublishHandler("ww2MouseMove", TMouseMoveEvent([form, hasMinimise](TObject*, TShiftState, int, int) {
    Find<TControl>(form, "w2")->Show();
    if (hasMinimise) Find<TControl>(form, "w1")->Hide();
  }));
  form->PublishHandler("w2Click", TNotifyEvent([form](TObject*) { form->Close(); }));
  if (hasMinimise) {
    form->PublishHandler("ww1MouseMove", TMouseMoveEvent([form](TObject*, TShiftState, int, int) {
      Find<TControl>(form, "w1")->Show();
      Find<TControl>(form, "w2")->Hide();
    }));
    form->PublishHandler("w1Click", TNotifyEvent([](TObject*) { Application->Minimize(); }));
  }
}

TForm2::TForm2(TComponent* owner) : TForm(owner) {
  PublishPictureButtons(this, reinterpret_cast<TForm**>(&Form2), true);
  BuildFromLayout(this, "Unit2.lfm");
}

void TForm2::Fill(const std::string& code) {
  Find<TRichEdit>(this, "richedit1")->LoadFromFile(DocumentPath(code));
  Find<TControl>(this, HexagramPicture(code))->Show();
}

}  // namespace corvane
