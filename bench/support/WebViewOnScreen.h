// A web view of the about window's size in a window on the screen, shown and settled: where the
// benchmarks lay pages out.
#pragma once

#include "platform/widgets/WebBrowser.h"
#include "platform/windows/Forms.h"

namespace corvane::bench {

struct WebViewOnScreen {
  TForm form{nullptr};
  TWebBrowser web{&form};
  WebViewOnScreen() {
    form.SetBounds(0, 0, 550, 386);
    web.SetParent(&form);
    web.SetBounds(0, 0, 550, 386);
    form.Show();
    Application->ProcessMessages();
  }
};

}  // namespace corvane::bench
