#include "app/AboutWindow.h"

#include "controls/Button.h"
#include "platform/WebBrowser.h"

namespace corvane {

std::string gAboutPageAddress = kAboutPageAddress;

TForm5::TForm5(TComponent* owner) : TForm(owner) {
  // Every instance, the hidden start-up one included, asks for the page as it is created; the
  // view fetches it in the background and shows its own page when the site cannot be reached.
  PublishHandler("FormCreate", TNotifyEvent([this](TObject*) {
    Find<TWebBrowser>(this, "WebBrowser1")->Navigate(gAboutPageAddress);
  }));
  PublishHandler("thButton3Click", TNotifyEvent([this](TObject*) { Close(); }));
  BuildFromLayout(this, "AboutWindow.lfm");
  // 确定 has the keyboard when the window opens (its focus mark shows) and answers Enter.
  auto* ok = Find<TthButton>(this, "thButton3");
  ok->SetDefault(true);
  SetActiveControl(ok);
}

}  // namespace corvane
