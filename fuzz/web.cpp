// The about window's web view: an answer as it comes off the network (status line, headers, blank
// line, body) goes through what a fetched page goes through: the length check, the charset (mark,
// header, meta tag, guess), the bounds on what is laid out, and the widget's own HTML reader and
// layout, which is done whole. scripts/fuzz gives this target a short time limit per input, so an
// input that takes long to show is a finding like a crash.
//
// Checks: the decoded text is valid UTF-8; an error status or a body shorter than its
// Content-Length shows the view's own page, and nothing else does (an over-long page aside); the
// bounded HTML is within its limit; what the layout was given stays within the bounds on
// elements, list items and row cells, and a page cut for them says so; the view never holds more
// text than it was given.
#include <cctype>
#include <cstdlib>

#include "FuzzSupport.h"
#include "platform/core/Encoding.h"
#include "platform/widgets/WebBrowser.h"
#include "platform/windows/Forms.h"

using namespace corvane;

namespace {

struct Answer {
  int status = 200;
  std::string contentType, contentLength, contentEncoding;
  std::string_view body;
};

std::string Trimmed(std::string_view s) {
  size_t b = s.find_first_not_of(" \t\r");
  if (b == std::string_view::npos) return {};
  size_t e = s.find_last_not_of(" \t\r");
  return std::string(s.substr(b, e - b + 1));
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

// "HTTP/1.1 200 OK", header lines up to an empty line, then the body. Without a blank line the
// whole input is the body of a 200 answer with no headers.
Answer Parse(std::string_view in) {
  Answer a;
  size_t end = in.find("\n\n"), crlf = in.find("\r\n\r\n");
  size_t headEnd = std::min(end, crlf);
  if (headEnd == std::string_view::npos || !in.starts_with("HTTP/")) {
    a.body = in;
    return a;
  }
  a.body = in.substr(headEnd + (headEnd == crlf ? 4 : 2));
  std::string_view head = in.substr(0, headEnd);
  bool first = true;
  while (!head.empty()) {
    size_t nl = head.find('\n');
    std::string_view line = head.substr(0, nl);
    head = nl == std::string_view::npos ? std::string_view() : head.substr(nl + 1);
    if (first) {
      first = false;
      size_t sp = line.find(' ');
      if (sp != std::string_view::npos) a.status = std::atoi(std::string(line.substr(sp + 1, 3)).c_str());
      continue;
    }
    size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    std::string_view name = line.substr(0, colon);
    std::string value = Trimmed(line.substr(colon + 1));
    if (EqualsIgnoringCase(name, "Content-Type")) a.contentType = value;
    else if (EqualsIgnoringCase(name, "Content-Length")) a.contentLength = value;
    else if (EqualsIgnoringCase(name, "Content-Encoding")) a.contentEncoding = value;
  }
  return a;
}

TWebBrowser* gView = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  TApplication::Initialize(*argc, *argv);
  static TApplication app;
  app.Title = "Corvane";
  // The view as the about window has it.
  static TForm form(nullptr);
  gView = new TWebBrowser(&form);
  gView->SetParent(&form);
  gView->SetBounds(0, 0, 550, 386);
  // The toolkit's font and layout caches filled once, so that they are not taken for leaks of the
  // first inputs.
  gView->ShowAnswer("http://127.0.0.1:9/", 200, "text/html", "", "", "<h1>关于</h1><p><b>乾</b> <i>坤</i> text</p>");
  gView->Stop();
  (void)gView->ContentHeight();
  Application->ProcessMessages();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Answer a = Parse(fuzz::Bytes(data, size));

  if (!IsValidUtf8(WebTextToUtf8(a.body, a.contentType))) fuzz::Broken("page text decoded to invalid UTF-8");
  constexpr size_t kLimit = 4096;
  if (WebBoundedHtml(a.body, kLimit).size() > kLimit) fuzz::Broken("bounded HTML over its limit");

  // The pictures the page names are never fetched: their fetches would start when the event loop
  // next runs, and Stop drops them before it does.
  gView->ShowAnswer("http://127.0.0.1:9/about/", a.status, a.contentType, a.contentLength, a.contentEncoding, a.body);
  gView->Stop();
  if (gView->PendingImages() != 0) fuzz::Broken("picture fetches left after Stop");
  Application->ProcessMessages();
  (void)gView->ContentHeight();  // the whole layout
  std::string text = gView->DocumentText();
  (void)gView->LocationName();
  const WebPageFigures& figures = gView->PageFigures();
  if (figures.elements > static_cast<size_t>(kWebMaxElements) ||
      figures.longestList > static_cast<size_t>(kWebMaxListItems) ||
      figures.widestRow > static_cast<size_t>(kWebMaxRowCells) || figures.cells > static_cast<size_t>(kWebMaxCells))
    fuzz::Broken("the layout was given more than its bounds");
  if (figures.cut && text.find(kWebPageCutNote) == std::string::npos) fuzz::Broken("a page cut without the note");

  // Only a plain number of a sane size counts as a Content-Length here; for anything else the
  // outcome is not checked.
  bool plainLength = !a.contentLength.empty() && a.contentLength.size() <= 15 &&
                     a.contentLength.find_first_not_of("0123456789") == std::string::npos;
  if (!a.contentLength.empty() && !plainLength) return 0;
  bool cutShort = plainLength && a.contentEncoding.empty() &&
                  std::strtoll(a.contentLength.c_str(), nullptr, 10) > static_cast<long long>(a.body.size());
  bool shouldFail = a.status >= 400 || cutShort;
  if (shouldFail && !gView->ShowingErrorPage()) fuzz::Broken("an error answer shown as a page");
  if (!shouldFail && gView->ShowingErrorPage()) fuzz::Broken("a good answer shown as an error");
  // The widget's text comes from what it was given: never more than the page's own text, with
  // room for the line ends and list markers the widget adds of its own.
  if (!shouldFail && text.size() > 4 * a.body.size() + 64) fuzz::Broken("the view shows more text than the page held");
  return 0;
}
