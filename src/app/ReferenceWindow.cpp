#include "app/ReferenceWindow.h"

namespace corvane {

TForm3::TForm3(TComponent* owner) : TForm(owner) {
  PublishPictureButtons(this, [] { return static_cast<TForm*>(Form3); }, false);
  BuildFromLayout(this, "ReferenceWindow.lfm");
}

void TForm3::Fill(const std::string& document) { Find<TRichEdit>(this, "richedit1")->LoadFromFile(document); }

}  // namespace corvane
