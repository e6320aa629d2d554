#include "app/ReadingWindow.h"

#include "app/Catalogue.h"

namespace corvane {

TForm2::TForm2(TComponent* owner) : TForm(owner) {
  PublishPictureButtons(this, [] { return static_cast<TForm*>(Form2); }, true);
  BuildFromLayout(this, "ReadingWindow.lfm");
  // The commentary takes the keyboard (it is the window's first stop), so Page Up, Page Down and
  // the arrows scroll it.
  Find<TRichEdit>(this, "richedit1")->TabStop = true;
}

void TForm2::Fill(const std::string& code) {
  Find<TRichEdit>(this, "richedit1")->LoadFromFile(DocumentPath(code));
  Find<TControl>(this, HexagramPicture(code))->Show();
}

}  // namespace corvane
