#include "app/AboutWindow.h"

#include "app/Places.h"
#include "controls/Button.h"
#include "platform/widgets/WebBrowser.h"

namespace corvane {

std::string gAboutPageAddress = kAboutPageAddress;

namespace {
std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}
}  // namespace

std::string BuiltInAboutPage(const std::string& notesFolder, const std::string& titlesFile,
                             const std::string& address, const std::string& failure) {
  const std::string folder = notesFolder.empty() || notesFolder.back() == '/' ? notesFolder : notesFolder + "/";
  std::string line = "无法打开关于页面 " + address;
  if (!failure.empty()) line += "：" + failure;
  return "<html><head><title>关于 Corvane</title></head><body>"
         "<p style=\"font-size:16px; font-weight:bold\">Corvane " + std::string(kProgramVersion) + "</p>"
         "<p>周易六十四卦查阅程序：六十四卦的卦象、卦辞与详解，按六爻代码查卦，"
         "三篇参考文献，以及三则可自行编写的笔记。</p>"
         "<p>许可：Corvane 开发者版权所有。发布许可尚未选定，在公布之前，除法律赋予的权利外不授予其他权利；"
         "文中引用的《易经》原文属于公有领域。</p>"
         "<p>本机上笔记正文存放于 " + Escaped(folder) + "a1.rtf、a2.rtf、a3.rtf；"
         "笔记标题存放于 " + Escaped(titlesFile) + "。</p>"
         "<p style=\"color:#707070\">" + Escaped(line) + "</p>"
         "</body></html>";
}

TForm5::TForm5(TComponent* owner) : TForm(owner) {
  // Every instance, the hidden start-up one included, asks for the page as it is created; the
  // view fetches it in the background. When it cannot be fetched, the program's own about page
  // takes the place of the view's failure page, with the failure as its last line.
  PublishHandler("FormCreate", TNotifyEvent([this](TObject*) {
    auto* view = Find<TWebBrowser>(this, "WebBrowser1");
    view->OnDocumentComplete = [view](TObject*) {
      if (!view->ShowingErrorPage()) return;
      const TPlaces places = TPlaces::FromEnvironment();
      view->ShowHtml(BuiltInAboutPage(places.NotesFolder(), places.ConfigurationFile(), gAboutPageAddress,
                                      view->ErrorReason()));
    };
    view->Navigate(gAboutPageAddress);
  }));
  PublishHandler("thButton3Click", TNotifyEvent([this](TObject*) { Close(); }));
  BuildFromLayout(this, "AboutWindow.lfm");
  // 确定 has the keyboard when the window opens (its focus mark shows) and answers Enter.
  auto* ok = Find<TthButton>(this, "thButton3");
  ok->SetDefault(true);
  SetActiveControl(ok);
  OnResize = [this](TObject*) { PlaceCaptionButtons(); };
  PlaceCaptionButtons();
}

void TForm5::PlaceCaptionButtons() {
  // The background picture shows the six caption buttons where the frame answers for them at the
  // window's own size. At any other width (the minimised strip, the maximised window) the frame
  // keeps the three right-hand ones at the right edge: their picture follows them there, and the
  // band is stretched over the place they left and on to the edge.
  const int width = ClientWidth();
  Find<TControl>(this, "Image3")->SetBounds(width - (kDesignWidth - 472), 5, 71, 24);
  auto* band = Find<TControl>(this, "Image2");
  if (width > kDesignWidth) band->SetBounds(472, 0, width - 472, 34);
  band->SetVisible(width > kDesignWidth);
}

}  // namespace corvane
