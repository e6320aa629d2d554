// The embedded web view: fetches a page over HTTP without ever blocking the interface and shows it
// as rich text together with its pictures. A page that cannot be fetched is replaced by a short
// page of the view's own that says so.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/windows/Controls.h"

namespace corvane {

struct WebPageFigures;

class TWebBrowser : public TWinControl {
 public:
  explicit TWebBrowser(TComponent* owner);
  ~TWebBrowser() override;
  std::string ClassName() const override { return "TWebBrowser"; }

  // Starts loading the page at `address` and returns at once. A navigation still under way is
  // abandoned (its answer, should it come, is ignored). Only http and https addresses are
  // fetched; anything else shows the view's own page. Redirects are followed. Never raises for
  // anything the network does.
  void Navigate(const std::string& address);
  // Abandons the navigation and the picture fetches under way; what is shown stays.
  void Stop();
  // Shows an answer to a request for `address` as if it had just arrived over the network: the
  // status, the raw Content-Type, Content-Length and Content-Encoding header values (empty when
  // absent) and the body go through what a fetched page goes through (length check, charset,
  // bounds on what is laid out, the pictures it names fetched). For readers of stored answers.
  void ShowAnswer(const std::string& address, int status, const std::string& contentType,
                  const std::string& contentLength, const std::string& contentEncoding, std::string_view body);
  // Follows a link of the page shown, as a click on it does: a link to a place on the same page
  // scrolls there, an http or https link (relative ones resolved against the page) is navigated
  // to in the view, any other kind (mail, script, local file) is ignored.
  void FollowLink(const std::string& href);

  // True from Navigate until the page (or the view's own page) is shown.
  bool Busy() const;
  // Pictures of the page still being fetched.
  int PendingImages() const;
  // The address of the page shown (after redirects), or of the one being fetched.
  std::string LocationURL() const;
  // The title of the page shown.
  std::string LocationName() const;
  // The height of the page shown once laid out whole, in pixels (lays it out when needed).
  int ContentHeight() const;
  // The text of the page shown, without markup.
  std::string DocumentText() const;
  // True when what is shown is the view's own page for an address that could not be opened.
  bool ShowingErrorPage() const;
  // Why the address could not be opened (one line, as the view's own page says it); empty when
  // the page shown is not that page.
  std::string ErrorReason() const;
  // Shows a page the program supplies itself (HTML as UTF-8) in place of what is shown, abandoning
  // any navigation under way; nothing is fetched for it. ShowingErrorPage and ErrorReason keep
  // telling about the last navigation.
  void ShowHtml(const std::string& html);
  // What the bounds on the layout found in the page shown and did to it (see WebBoundedHtml; for a
  // plain-text page, `elements` counts its lines, kWebMaxElements at most).
  const WebPageFigures& PageFigures() const;
  // True when the page shown is wrapped anywhere rather than at word boundaries (it has a stretch
  // of more than kLongUnbrokenStretch characters with no place to break).
  bool WrapsAnywhere() const;
  // The size of the picture the page shows for an image source as written in the page; 0 x 0
  // while it has not arrived, when it could not be fetched or decoded, or when it is not fetched
  // at all (only http and https pictures are).
  TSize ImageSize(const std::string& src) const;

  // Longest a page may take to arrive, and longest a picture may stay silent, in milliseconds.
  int Timeout = 20000;
  // Largest page and largest picture accepted, in bytes.
  long long MaxPageBytes = 8 << 20;
  long long MaxImageBytes = 4 << 20;

  // Runs when a navigation ends with a page shown (the fetched one or the view's own).
  TNotifyEvent OnDocumentComplete;

  struct Impl;

 protected:
  std::unique_ptr<TWindowHandle> CreateHandle() override;
  void WndProc(TMessage& m) override;

 private:
  void ApplyFontAndColour();
  std::unique_ptr<Impl> impl_;
};

// The text of a fetched page as UTF-8. The encoding comes from a byte-order mark, else from the
// charset of the Content-Type header, else from a meta tag near the top of the page; without any
// of them the text is taken as UTF-8 when it is valid UTF-8 and as GBK otherwise. GB2312, GBK,
// GB18030 and their aliases all read as GBK.
std::string WebTextToUtf8(std::string_view body, std::string_view contentType);
// The HTML the view gives its widget for a page: at most `maxBytes` of it (cut before a tag or
// character cut in two), with tables nested deeper than kWebMaxTableDepth, block elements (div,
// lists, list items, quotations and the like) nested deeper than kWebMaxBlockDepth and inline
// elements (b, i, span, font ...) nested deeper than kWebMaxInlineDepth flattened: their start and
// end tags beyond the limit are dropped (a block's become a space), their text stays. Laying out
// deeper nesting costs the widget time that grows with every level (for tables, doubles), so a
// small page could otherwise stop the program. What the layout is given is bounded too: at most
// kWebMaxElements elements (a line of preformatted text counts as one), kWebMaxListItems items in
// a list (numbering an item costs a walk over those before it), kWebMaxRowCells cells in a table
// row and kWebMaxCells table cells in all (each cell costs the layout as much as a paragraph
// many times over). A page that asks for more is cut before the element that would go beyond; the end
// tags that close what is open there are in `figures->closing`, and the view shows
// kWebPageCutNote after them.
inline constexpr int kWebMaxTableDepth = 4;
inline constexpr int kWebMaxBlockDepth = 32;
inline constexpr int kWebMaxInlineDepth = 32;
inline constexpr int kWebMaxElements = 20000;
inline constexpr int kWebMaxListItems = 1000;
inline constexpr int kWebMaxRowCells = 64;
inline constexpr int kWebMaxCells = 5000;
inline constexpr const char* kWebPageCutNote = "页面过长或过于复杂，以下部分没有显示。";
// What the bounding found and did.
struct WebPageFigures {
  size_t elements = 0;     // elements kept (start tags, lines of preformatted text)
  size_t longestList = 0;  // items of the longest list kept
  size_t widestRow = 0;    // cells of the widest table row kept
  size_t cells = 0;        // table cells kept
  bool cut = false;        // the page was cut (by size or by one of the bounds)
  std::string closing;     // end tags closing what was open where it was cut
};
std::string WebBoundedHtml(std::string_view html, size_t maxBytes, WebPageFigures* figures = nullptr);
// The charset the Content-Type header or the page's meta tags name, lower case; empty when none.
std::string WebCharsetOf(std::string_view body, std::string_view contentType);

}  // namespace corvane
