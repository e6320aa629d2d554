#include "platform/widgets/WebBrowser.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QScrollBar>
#include <QStringDecoder>
#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>

#include "platform/core/Encoding.h"
#include "platform/graphics/GraphicsPrivate.h"
#include "platform/windows/Forms.h"
#include "platform/windows/WindowHandle.h"

namespace corvane {

// ---------------------------------------------------------------------------------------------
// Text encodings of fetched pages

namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool IsCharsetChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.' || c == ':';
}

// The value after "charset=" at `pos` (quotes and blanks before it skipped).
std::string CharsetValueAt(const std::string& text, size_t pos) {
  while (pos < text.size() && (text[pos] == ' ' || text[pos] == '"' || text[pos] == '\'')) ++pos;
  size_t end = pos;
  while (end < text.size() && IsCharsetChar(text[end])) ++end;
  return text.substr(pos, end - pos);
}

std::string CharsetOfHeader(std::string_view contentType) {
  std::string h = Lower(contentType);
  size_t at = h.find("charset");
  while (at != std::string::npos) {
    size_t p = at + 7;
    while (p < h.size() && h[p] == ' ') ++p;
    if (p < h.size() && h[p] == '=') return CharsetValueAt(h, p + 1);
    at = h.find("charset", at + 7);
  }
  return {};
}

// Looks through the meta tags of the first few kilobytes, as browsers do before decoding.
std::string CharsetOfMeta(std::string_view body) {
  std::string head = Lower(body.substr(0, std::min<size_t>(body.size(), 4096)));
  size_t at = head.find("<meta");
  while (at != std::string::npos) {
    size_t end = head.find('>', at);
    if (end == std::string::npos) end = head.size();
    std::string tag = head.substr(at, end - at);
    size_t c = tag.find("charset");
    while (c != std::string::npos) {
      size_t p = c + 7;
      while (p < tag.size() && tag[p] == ' ') ++p;
      if (p < tag.size() && tag[p] == '=') {
        std::string v = CharsetValueAt(tag, p + 1);
        if (!v.empty()) return v;
      }
      c = tag.find("charset", c + 7);
    }
    at = head.find("<meta", end);
  }
  return {};
}

bool IsGbkFamily(const std::string& cs) {
  static const std::set<std::string> names = {"gbk", "gb2312", "gb_2312-80", "gb_2312", "x-gbk", "cp936", "ms936",
                                              "windows-936", "euc-cn", "x-euc-cn", "csgb2312", "gb18030", "chinese",
                                              "iso-ir-58", "csiso58gb231280"};
  return names.count(cs) > 0;
}

bool IsUtf8Name(const std::string& cs) { return cs == "utf-8" || cs == "utf8" || cs == "unicode-1-1-utf-8"; }

bool IsLatin1Family(const std::string& cs) {
  return cs == "iso-8859-1" || cs == "latin1" || cs == "l1" || cs == "us-ascii" || cs == "ascii" || cs == "windows-1252" ||
         cs == "cp1252" || cs == "iso8859-1";
}

std::string Utf8OrGbk(std::string_view body) {
  return IsValidUtf8(body) ? std::string(body) : GbkToUtf8(body);
}

std::string Decode(std::string_view body, const std::string& cs) {
  if (IsUtf8Name(cs)) return QString::fromUtf8(body.data(), static_cast<qsizetype>(body.size())).toStdString();
  if (IsGbkFamily(cs)) return GbkToUtf8(body);
  if (IsLatin1Family(cs)) return QString::fromLatin1(body.data(), static_cast<qsizetype>(body.size())).toStdString();
  QStringDecoder decoder(cs.c_str());
  if (decoder.isValid()) {
    QString text = decoder.decode(QByteArrayView(body.data(), static_cast<qsizetype>(body.size())));
    return text.toStdString();
  }
  return Utf8OrGbk(body);
}

}  // namespace

std::string WebCharsetOf(std::string_view body, std::string_view contentType) {
  std::string cs = CharsetOfHeader(contentType);
  if (cs.empty()) cs = CharsetOfMeta(body);
  return cs;
}

namespace {

// Byte order of text written in UTF-32 without a byte-order mark, told by where the zero bytes of
// its first character are; empty when it does not look like UTF-32.
std::string Utf32OrderOf(std::string_view body) {
  if (body.size() < 4) return {};
  bool z0 = body[0] == 0, z1 = body[1] == 0, z2 = body[2] == 0, z3 = body[3] == 0;
  if (!z0 && z1 && z2 && z3) return "utf-32le";
  if (z0 && z1 && !z3) return "utf-32be";
  return {};
}

// Every fourth byte of UTF-32 text: enough of the ASCII of its head to find a meta tag in.
std::string AsciiOfUtf32(std::string_view body, bool littleEndian) {
  std::string out;
  size_t n = std::min<size_t>(body.size(), 4 * 4096);
  for (size_t i = 0; i + 3 < n; i += 4) out += body[littleEndian ? i : i + 3];
  return out;
}

bool IsUtf32Name(const std::string& cs) { return cs.rfind("utf-32", 0) == 0 || cs.rfind("utf32", 0) == 0 || cs == "ucs-4"; }

}  // namespace

std::string WebTextToUtf8(std::string_view body, std::string_view contentType) {
  if (body.size() >= 3 && body.substr(0, 3) == "\xEF\xBB\xBF") return Decode(body.substr(3), "utf-8");
  // The UTF-32 little-endian mark begins like the UTF-16 one, so it is looked at first.
  if (body.size() >= 4 && body.substr(0, 4) == std::string_view("\xFF\xFE\0\0", 4)) return Decode(body.substr(4), "utf-32le");
  if (body.size() >= 4 && body.substr(0, 4) == std::string_view("\0\0\xFE\xFF", 4)) return Decode(body.substr(4), "utf-32be");
  if (body.size() >= 2 && (body.substr(0, 2) == "\xFF\xFE" || body.substr(0, 2) == "\xFE\xFF"))
    return Decode(body.substr(2), body[0] == '\xFF' ? "utf-16le" : "utf-16be");
  std::string order = Utf32OrderOf(body);
  std::string cs = CharsetOfHeader(contentType);
  if (cs.empty()) cs = CharsetOfMeta(order.empty() ? body : AsciiOfUtf32(body, order == "utf-32le"));
  if (cs.empty()) return Utf8OrGbk(body);
  if (IsUtf32Name(cs)) {
    // Without a mark the byte order comes from the name, else from the text itself.
    if (cs.find("le") != std::string::npos || cs.find("be") != std::string::npos) return Decode(body, cs);
    return Decode(body, order.empty() ? "utf-32be" : order);
  }
  return Decode(body, cs);
}

// ---------------------------------------------------------------------------------------------
// Bounding what the widget lays out

namespace {

bool IsTablePart(const std::string& n) {
  return n == "tr" || n == "td" || n == "th" || n == "thead" || n == "tbody" || n == "tfoot" || n == "caption" ||
         n == "col" || n == "colgroup";
}

bool IsNestingBlock(const std::string& n) {
  static const std::set<std::string> names = {"div", "ul", "ol", "li", "blockquote", "dl", "dt", "dd", "center",
                                              "section", "article", "header", "footer", "nav", "aside", "main",
                                              "form", "fieldset", "figure", "address", "pre", "menu", "dir"};
  return names.count(n) > 0;
}

// The end of the tag starting at `lt` (one past its '>'), quoted values skipped; npos when the
// text ends first.
size_t TagEnd(const std::string& html, size_t lt) {
  char quote = 0;
  for (size_t i = lt + 1; i < html.size(); ++i) {
    char c = html[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '>') {
      return i + 1;
    }
  }
  return std::string::npos;
}

bool IsInlineTag(const std::string& n) {
  static const std::set<std::string> names = {"a", "abbr", "acronym", "b", "big", "cite", "code", "dfn", "em", "font",
                                              "i", "kbd", "nobr", "q", "s", "samp", "small", "span", "strike",
                                              "strong", "sub", "sup", "tt", "u", "var", "ins", "del", "mark", "bdo",
                                              "label"};
  return names.count(n) > 0;
}

bool IsListTag(const std::string& n) { return n == "ul" || n == "ol" || n == "dl" || n == "menu" || n == "dir"; }

}  // namespace

std::string WebBoundedHtml(std::string_view source, size_t maxBytes, WebPageFigures* figures) {
  WebPageFigures local;
  WebPageFigures& fig = figures ? *figures : local;
  fig = WebPageFigures{};
  std::string html(source.substr(0, std::min(source.size(), maxBytes)));
  if (html.size() < source.size()) {
    fig.cut = true;
    // Cut at a character boundary, and before a tag cut in two.
    size_t lead = html.size();
    while (lead > 0 && html.size() - lead < 4 && (static_cast<unsigned char>(html[lead - 1]) & 0xC0) == 0x80) --lead;
    if (lead > 0) {
      unsigned char c = static_cast<unsigned char>(html[lead - 1]);
      size_t want = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
      if (html.size() - (lead - 1) < want) html.resize(lead - 1);
    }
    size_t lt = html.rfind('<');
    if (lt != std::string::npos && html.find('>', lt) == std::string::npos) html.resize(lt);
  }
  std::string out;
  out.reserve(html.size());
  // Tables open, those dropped included; of each table kept, the cells of its current row.
  int tables = 0;
  std::vector<size_t> rowCells;
  struct Open { std::string name; bool dropped; size_t items; };
  std::vector<Open> blocks;  // block elements open, those dropped included
  struct OpenInline { std::string name; bool dropped; size_t blockDepth; };
  std::vector<OpenInline> inlines;  // inline elements open, those dropped included
  size_t i = 0;
  // Ends the page before the tag at `lt`: what is open is closed, so the note that follows stands
  // on its own.
  auto cutHere = [&] {
    fig.cut = true;
    fig.elements = std::min(fig.elements, static_cast<size_t>(kWebMaxElements));  // those kept
    for (int t = std::min(tables, kWebMaxTableDepth); t > 0; --t) fig.closing += "</table>";
    for (size_t k = blocks.size(); k-- > 0;)
      if (!blocks[k].dropped) fig.closing += "</" + blocks[k].name + ">";
  };
  // The lines a preformatted block adds are paragraphs of the layout too.
  auto countLines = [&](size_t from, size_t to) {
    bool pre = false;
    for (const Open& b : blocks) pre = pre || (b.name == "pre" && !b.dropped);
    if (pre) fig.elements += static_cast<size_t>(std::count(html.begin() + static_cast<std::ptrdiff_t>(from),
                                                            html.begin() + static_cast<std::ptrdiff_t>(to), '\n'));
  };
  while (i < html.size()) {
    if (fig.elements > static_cast<size_t>(kWebMaxElements)) {
      cutHere();  // lines of preformatted text took the count over; their text is left out
      break;
    }
    size_t lt = html.find('<', i);
    if (lt == std::string::npos) {
      countLines(i, html.size());
      if (fig.elements > static_cast<size_t>(kWebMaxElements)) continue;
      out.append(html, i, std::string::npos);
      break;
    }
    countLines(i, lt);
    if (fig.elements > static_cast<size_t>(kWebMaxElements)) continue;
    out.append(html, i, lt - i);
    if (html.compare(lt, 4, "<!--") == 0) {
      size_t e = html.find("-->", lt + 4);
      e = e == std::string::npos ? html.size() : e + 3;
      out.append(html, lt, e - lt);
      i = e;
      continue;
    }
    size_t p = lt + 1;
    bool closing = p < html.size() && html[p] == '/';
    if (closing) ++p;
    size_t nameEnd = p;
    while (nameEnd < html.size() && std::isalnum(static_cast<unsigned char>(html[nameEnd]))) ++nameEnd;
    if (nameEnd == p) { out += '<'; i = lt + 1; continue; }  // a '<' that begins no tag
    size_t end = TagEnd(html, lt);
    if (end == std::string::npos) end = html.size();
    std::string name = Lower(std::string_view(html).substr(p, nameEnd - p));
    bool drop = false;
    bool over = false;  // the page asks more of the layout than it is given: cut here
    if (name == "table") {
      if (!closing) {
        drop = ++tables > kWebMaxTableDepth;
        if (!drop) rowCells.push_back(0);
      } else if (tables > 0) {
        drop = tables-- > kWebMaxTableDepth;
        if (!drop && !rowCells.empty()) rowCells.pop_back();
      }
    } else if (IsTablePart(name)) {
      drop = tables > kWebMaxTableDepth;
      if (!drop && !closing && !rowCells.empty()) {
        if (name == "tr") rowCells.back() = 0;
        if (name == "td" || name == "th") {
          over = ++rowCells.back() > static_cast<size_t>(kWebMaxRowCells) || fig.cells >= static_cast<size_t>(kWebMaxCells);
          if (!over) {
            fig.widestRow = std::max(fig.widestRow, rowCells.back());
            ++fig.cells;
          }
        }
      }
    } else if (IsNestingBlock(name)) {
      if (!closing) {
        if (name == "li" || name == "dt" || name == "dd") {
          // A list item ends the previous item of the same list, written closed or not.
          for (size_t k = blocks.size(); k-- > 0 && blocks.size() - k <= 64;) {
            const std::string& n = blocks[k].name;
            if (IsListTag(n)) break;
            if (n == "li" || n == "dt" || n == "dd") { blocks.resize(k); break; }
          }
          while (!inlines.empty() && inlines.back().blockDepth > blocks.size()) inlines.pop_back();
          // Numbering an item costs the toolkit a walk over the items before it.
          for (size_t k = blocks.size(); k-- > 0;) {
            if (!IsListTag(blocks[k].name)) continue;
            if (!blocks[k].dropped) {
              over = ++blocks[k].items > static_cast<size_t>(kWebMaxListItems);
              if (!over) fig.longestList = std::max(fig.longestList, blocks[k].items);
            }
            break;
          }
        }
        drop = blocks.size() >= static_cast<size_t>(kWebMaxBlockDepth);
        if (!over) blocks.push_back({name, drop, 0});
      } else {
        // The nearest open element of that name ends, with everything opened inside it; one
        // that is not open is left to the widget.
        for (size_t k = blocks.size(); k-- > 0 && blocks.size() - k <= 64;) {
          if (blocks[k].name == name) {
            drop = blocks[k].dropped;
            blocks.resize(k);
            break;
          }
        }
        while (!inlines.empty() && inlines.back().blockDepth > blocks.size()) inlines.pop_back();
      }
    } else if (IsInlineTag(name)) {
      if (!closing) {
        drop = inlines.size() >= static_cast<size_t>(kWebMaxInlineDepth);
        inlines.push_back({name, drop, blocks.size()});
      } else {
        for (size_t k = inlines.size(); k-- > 0 && inlines.size() - k <= 64;) {
          if (inlines[k].name == name) {
            drop = inlines[k].dropped;
            inlines.resize(k);
            break;
          }
        }
      }
      if (drop) {
        i = end;  // the text on both sides stays one word
        continue;
      }
    }
    if (!drop && !closing && !over) over = ++fig.elements > static_cast<size_t>(kWebMaxElements);
    if (over) {
      cutHere();
      break;
    }
    if (drop) {
      out += ' ';  // the words on both sides stay apart
    } else {
      out.append(html, lt, end - lt);
    }
    i = end;
  }
  if (fig.cut && fig.closing.empty()) cutHere();
  return out;
}

// ---------------------------------------------------------------------------------------------
// The view

namespace {

bool IsWebScheme(const QUrl& url) {
  QString s = url.scheme().toLower();
  return (s == "http" || s == "https") && !url.host().isEmpty();
}

// A transparent dot stands in for every picture that is not (yet) one of the page's own fetched
// pictures. Handing something back matters: with nothing, the document would go and read local
// files named by the page itself.
const QImage& Placeholder() {
  static const QImage dot = [] {
    QImage img(1, 1, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    return img;
  }();
  return dot;
}

class TWebView : public QTextBrowser {
 public:
  TWebView() {
    setReadOnly(true);
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setUndoRedoEnabled(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFrameShape(QFrame::NoFrame);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);  // long addresses too
  }
  // Pictures and style sheets come only from what the view fetched itself.
  QVariant loadResource(int type, const QUrl& name) override {
    if (type == QTextDocument::ImageResource) return Placeholder();
    return QString();
  }
};

QString Escape(const std::string& s) { return QString::fromStdString(s).toHtmlEscaped(); }

// Wrapping at word boundaries (long addresses anywhere) costs the toolkit time that grows with
// the square of a word's length; a page with a stretch that long wraps anywhere instead.
void FitWrapMode(QTextBrowser* view, size_t longestStretch) {
  view->setWordWrapMode(longestStretch > kLongUnbrokenStretch ? QTextOption::WrapAnywhere
                                                              : QTextOption::WrapAtWordBoundaryOrAnywhere);
}

// Most text the widget is given for one page, in bytes of UTF-8.
constexpr size_t kMaxWidgetTextBytes = 2 << 20;
// Largest picture decoded: each side at most 4096 pixels and 2048 x 2048 pixels in all. A page's
// pictures together decode to at most 16 million pixels, many times what the view can show.
constexpr qint64 kMaxImageSide = 4096;
constexpr qint64 kMaxImagePixels = 2048 * 2048;
constexpr qint64 kMaxPagePixels = 16 * 1000 * 1000;

// The picture in `bytes`, decoded only when its header names a size within the limits and
// `budget` (pixels still allowed for the page) holds it; a null picture otherwise.
QImage DecodeBounded(const QByteArray& bytes, qint64& budget) {
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  QSize size = reader.size();  // from the header; nothing is decoded yet
  if (!size.isValid() || size.isEmpty()) return {};
  qint64 w = size.width(), h = size.height();
  if (w > kMaxImageSide || h > kMaxImageSide || w * h > kMaxImagePixels || w * h > budget) return {};
  QImage img = reader.read();
  if (img.isNull()) return {};
  if (static_cast<qint64>(img.width()) * img.height() > w * h) return {};  // the header lied
  budget -= static_cast<qint64>(img.width()) * img.height();
  return img;
}

}  // namespace

struct TWebBrowser::Impl : QObject {
  explicit Impl(TWebBrowser* owner) : owner(owner), manager(new QNetworkAccessManager(this)), deadline(new QTimer(this)) {
    manager->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    deadline->setSingleShot(true);
    QObject::connect(deadline, &QTimer::timeout, this, [this] { TimedOut(); });
  }
  ~Impl() override { Stop(); }

  TWebView* View() const {
    return owner->Handle() ? static_cast<TWebView*>(owner->Handle()->Widget()) : nullptr;
  }

  // Abandons a fetch: none of its signals reaches the view any more.
  void Drop(QNetworkReply* reply) {
    if (!reply) return;
    QObject::disconnect(reply, nullptr, this, nullptr);
    reply->abort();
    reply->deleteLater();
  }

  void StopImages() {
    for (auto& r : images) Drop(r.data());
    images.clear();
    toFetch.clear();
  }

  void Stop() {
    deadline->stop();
    Drop(page.data());
    page = nullptr;
    StopImages();
    busy = false;
  }

  QNetworkRequest Request(const QUrl& url) const {
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(10);
    request.setRawHeader("Accept-Language", "zh-CN,zh;q=0.9");
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Corvane"));
    return request;
  }

  void Navigate(const std::string& address) {
    Stop();
    requested = address;
    QUrl url(QString::fromStdString(address), QUrl::StrictMode);
    if (!url.isValid() || !IsWebScheme(url)) {
      location = QUrl(QString::fromStdString(address));
      ShowError("地址无效。");
      return;
    }
    location = url;
    busy = true;
    tooLarge = false;
    timedOut = false;
    QNetworkReply* reply = manager->get(Request(url));
    page = reply;
    QObject::connect(reply, &QNetworkReply::downloadProgress, this, [this, reply](qint64 received, qint64) {
      if (reply == page && received > owner->MaxPageBytes) {
        tooLarge = true;
        reply->abort();
      }
    });
    QObject::connect(reply, &QNetworkReply::finished, this, [this, reply] { PageArrived(reply); });
    deadline->start(std::max(1, owner->Timeout));
  }

  void TimedOut() {
    if (!page) return;
    timedOut = true;
    page->abort();  // finishes the reply, which shows the page saying so
  }

  static QString Reason(QNetworkReply* reply, bool timedOut, bool tooLarge) {
    if (timedOut) return "连接超时。";
    if (tooLarge) return "页面过大。";
    int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 400) return QString("服务器返回错误 %1。").arg(status);
    switch (reply->error()) {
      case QNetworkReply::ConnectionRefusedError: return "服务器拒绝连接。";
      case QNetworkReply::HostNotFoundError: return "找不到服务器。";
      case QNetworkReply::TimeoutError: return "连接超时。";
      case QNetworkReply::RemoteHostClosedError: return "服务器断开了连接。";
      case QNetworkReply::TooManyRedirectsError: return "重定向次数过多。";
      case QNetworkReply::InsecureRedirectError: return "不安全的重定向。";
      case QNetworkReply::SslHandshakeFailedError: return "安全连接失败。";
      case QNetworkReply::ProtocolUnknownError: return "地址无效。";
      default: return "网络错误。";
    }
  }

  void PageArrived(QNetworkReply* reply) {
    if (reply != page) return;  // an abandoned navigation
    deadline->stop();
    page = nullptr;
    reply->deleteLater();
    location = reply->url();
    int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    QByteArray body = reply->isOpen() ? reply->readAll() : QByteArray();
    if (reply->error() != QNetworkReply::NoError || timedOut || tooLarge || status >= 400) {
      // A body cut short reports itself as such, whatever else went wrong with it.
      if (!timedOut && !tooLarge && status < 400 && CutShort(reply->rawHeader("Content-Length"), reply->rawHeader("Content-Encoding"), body.size())) {
        ShowError("页面没有完整到达。");
        return;
      }
      ShowError(Reason(reply, timedOut, tooLarge));
      return;
    }
    Answer(status, reply->rawHeader("Content-Type").toStdString(), reply->rawHeader("Content-Length").toStdString(),
           reply->rawHeader("Content-Encoding").toStdString(), std::string_view(body.constData(), static_cast<size_t>(body.size())));
  }

  // A body shorter than its Content-Length. (A compressed body is counted by Content-Length
  // before it is unpacked, so it is not compared.)
  static bool CutShort(const QByteArray& contentLength, const QByteArray& contentEncoding, qint64 received) {
    bool ok = false;
    qint64 announced = contentLength.trimmed().toLongLong(&ok);
    return ok && contentEncoding.trimmed().isEmpty() && received < announced;
  }

  // What the view does with an answer that arrived without a network error: a body cut short is
  // never shown as a whole page, an HTTP error is the view's own page, anything else is shown.
  void Answer(int status, const std::string& contentType, const std::string& contentLength,
              const std::string& contentEncoding, std::string_view body) {
    if (status >= 400) {
      ShowError(QString("服务器返回错误 %1。").arg(status));
      return;
    }
    if (CutShort(QByteArray::fromStdString(contentLength), QByteArray::fromStdString(contentEncoding),
                 static_cast<qint64>(body.size()))) {
      ShowError("页面没有完整到达。");
      return;
    }
    if (static_cast<long long>(body.size()) > owner->MaxPageBytes) {
      ShowError("页面过大。");
      return;
    }
    ShowPage(body, contentType);
  }

  void ShowPage(std::string_view body, const std::string& contentType) {
    TWebView* view = View();
    QTextDocument* doc = view->document();
    StopImages();
    errorPage = false;
    errorReason.clear();
    figures = WebPageFigures{};
    loaded.clear();
    pixelBudget = kMaxPagePixels;
    doc->clear();
    doc->setBaseUrl(location);
    std::string type = Lower(contentType);
    if (type.rfind("image/", 0) == 0) {
      // A picture on its own is shown as a page holding just that picture.
      view->setHtml(QString("<img src=\"%1\">").arg(location.toString().toHtmlEscaped()));
      QImage img = DecodeBounded(QByteArray(body.data(), static_cast<qsizetype>(body.size())), pixelBudget);
      if (!img.isNull()) {
        doc->addResource(QTextDocument::ImageResource, location, img);
        loaded[location] = img.size();
        doc->markContentsDirty(0, doc->characterCount());
      }
    } else if (type.rfind("text/plain", 0) == 0) {
      std::string text = WebTextToUtf8(body, contentType);
      if (text.size() > kMaxWidgetTextBytes) {
        text.resize(kMaxWidgetTextBytes);  // a broken last character is replaced
        figures.cut = true;
      }
      // Every line is a paragraph of the layout.
      size_t lines = 0;
      for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
        if (++lines >= static_cast<size_t>(kWebMaxElements)) {
          text.resize(at);
          figures.cut = true;
          break;
        }
      }
      figures.elements = lines;
      FitWrapMode(view, LongestUnbrokenStretch(text));
      QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
      if (figures.cut) shown += "\n\n" + QString::fromUtf8(kWebPageCutNote);
      view->setPlainText(shown);
    } else {
      std::string html = WebBoundedHtml(WebTextToUtf8(body, contentType), kMaxWidgetTextBytes, &figures);
      if (figures.cut)
        html += figures.closing + "<p style=\"color:#707070\">" + kWebPageCutNote + "</p>";
      FitWrapMode(view, LongestUnbrokenStretch(html, true));
      view->setHtml(QString::fromStdString(html));
    }
    doc->setBaseUrl(location);
    FetchImages();
    Finished();  // last: the handler may well navigate again
  }

  void ShowError(const QString& reason) {
    TWebView* view = View();
    StopImages();
    errorPage = true;
    errorReason = reason.toStdString();
    figures = WebPageFigures{};
    loaded.clear();
    view->document()->clear();
    FitWrapMode(view, LongestUnbrokenStretch(requested));
    QString address = Escape(requested);
    view->setHtml(QString("<html><head><title>无法打开页面</title></head><body>"
                          "<p style=\"font-size:15px; font-weight:bold\">无法打开页面</p>"
                          "<p>%1</p><p style=\"color:#707070\">%2</p></body></html>")
                      .arg(address, reason.toHtmlEscaped()));
    Finished();
  }

  void Finished() {
    busy = false;
    if (TWebView* view = View()) view->verticalScrollBar()->setValue(0);
    if (owner->OnDocumentComplete) Application->HandleExceptions([&] { owner->OnDocumentComplete(owner); });
  }

  // Every picture the document names, fetched once each from the page's own address space. The
  // fetches start when the event loop next runs, so a page dropped before then (a new one, Stop)
  // never starts any.
  void FetchImages() {
    QTextDocument* doc = View()->document();
    std::set<QUrl> wanted;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
      for (auto it = b.begin(); !it.atEnd(); ++it) {
        QTextCharFormat f = it.fragment().charFormat();
        if (!f.isImageFormat()) continue;
        QUrl url = location.resolved(QUrl(f.toImageFormat().name()));
        if (IsWebScheme(url) && !loaded.count(url)) wanted.insert(url);
      }
    }
    constexpr size_t kMaxImages = 64;
    toFetch.clear();
    for (const QUrl& url : wanted) {
      if (toFetch.size() >= kMaxImages) break;
      toFetch.push_back(url);
    }
    if (!toFetch.empty()) QTimer::singleShot(0, this, [this] { StartImages(); });
  }

  void StartImages() {
    std::vector<QUrl> urls = std::move(toFetch);
    toFetch.clear();
    for (const QUrl& url : urls) {
      QNetworkRequest request = Request(url);
      request.setTransferTimeout(std::max(1, owner->Timeout));
      QNetworkReply* reply = manager->get(request);
      images.push_back(reply);
      QObject::connect(reply, &QNetworkReply::downloadProgress, this, [this, reply](qint64 received, qint64) {
        if (received > owner->MaxImageBytes) reply->abort();
      });
      QObject::connect(reply, &QNetworkReply::finished, this, [this, reply, url] { ImageArrived(reply, url); });
    }
  }

  void ImageArrived(QNetworkReply* reply, const QUrl& url) {
    images.erase(std::remove(images.begin(), images.end(), reply), images.end());
    reply->deleteLater();
    int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() != QNetworkReply::NoError || status >= 400) return;
    QImage img = DecodeBounded(reply->readAll(), pixelBudget);
    if (img.isNull()) return;  // not shown
    QTextDocument* doc = View()->document();
    doc->addResource(QTextDocument::ImageResource, url, img);
    loaded[url] = img.size();
    doc->markContentsDirty(0, doc->characterCount());
    View()->viewport()->update();
  }

  void FollowLink(const QUrl& link) {
    TWebView* view = View();
    if (link.isRelative() && link.path().isEmpty() && link.hasFragment()) {
      view->scrollToAnchor(link.fragment());
      return;
    }
    QUrl target = location.resolved(link);
    if (!IsWebScheme(target)) return;
    if (target.adjusted(QUrl::RemoveFragment) == location.adjusted(QUrl::RemoveFragment) && target.hasFragment()) {
      view->scrollToAnchor(target.fragment());
      return;
    }
    Navigate(target.toString().toStdString());
  }

  TWebBrowser* owner;
  QNetworkAccessManager* manager;
  QTimer* deadline;
  QPointer<QNetworkReply> page;
  std::vector<QPointer<QNetworkReply>> images;
  std::vector<QUrl> toFetch;  // pictures of the page shown whose fetch has not started yet
  std::map<QUrl, QSize> loaded;  // pictures that arrived and decoded, by absolute address
  std::string requested;
  std::string errorReason;  // why the page shown is the view's own
  QUrl location;
  qint64 pixelBudget = kMaxPagePixels;  // pixels the page's pictures may still decode to
  WebPageFigures figures;               // what bounding the page shown found and did
  bool busy = false, errorPage = false, timedOut = false, tooLarge = false;
};

TWebBrowser::TWebBrowser(TComponent* owner) : TWinControl(owner) {
  width_ = 300;
  height_ = 150;
  color_ = clWhite;
  TabStop = true;
  InitHandle();
  impl_ = std::make_unique<Impl>(this);
  ApplyFontAndColour();
}

TWebBrowser::~TWebBrowser() {
  Destroying();
  impl_.reset();  // abandons every fetch before the view goes
}

void TWebBrowser::ApplyFontAndColour() {
  auto* view = static_cast<TWebView*>(Handle()->Widget());
  QFont f;
  f.setFamilies(SubstituteFamilies("宋体"));
  f.setPixelSize(14);
  view->document()->setDefaultFont(f);
  view->document()->setDocumentMargin(10);
  QPalette p = view->palette();
  p.setColor(QPalette::Base, ToQColor(color_));
  p.setColor(QPalette::Window, ToQColor(color_));
  p.setColor(QPalette::Text, Qt::black);
  view->setPalette(p);
}

std::unique_ptr<TWindowHandle> TWebBrowser::CreateHandle() {
  auto* view = new TWebView();
  auto h = std::make_unique<TWindowHandle>(this, view, true, view->viewport());
  QObject::connect(view, &QTextBrowser::anchorClicked, view, [this](const QUrl& link) {
    Application->HandleExceptions([&] { if (impl_) impl_->FollowLink(link); });
  });
  return h;
}

void TWebBrowser::WndProc(TMessage& m) {
  if (m.Msg == CM_COLORCHANGED) ApplyFontAndColour();
  if (m.Msg == WM_GETDLGCODE) { m.Result = DLGC_WANTARROWS; return; }
  TWinControl::WndProc(m);
}

void TWebBrowser::Navigate(const std::string& address) { impl_->Navigate(address); }
void TWebBrowser::Stop() { impl_->Stop(); }
void TWebBrowser::ShowAnswer(const std::string& address, int status, const std::string& contentType,
                             const std::string& contentLength, const std::string& contentEncoding,
                             std::string_view body) {
  impl_->Stop();
  impl_->requested = address;
  impl_->location = QUrl(QString::fromStdString(address));
  impl_->Answer(status, contentType, contentLength, contentEncoding, body);
}
void TWebBrowser::FollowLink(const std::string& href) { impl_->FollowLink(QUrl(QString::fromStdString(href))); }
bool TWebBrowser::Busy() const { return impl_->busy; }
int TWebBrowser::PendingImages() const { return static_cast<int>(impl_->images.size() + impl_->toFetch.size()); }
std::string TWebBrowser::LocationURL() const { return impl_->location.toString().toStdString(); }
std::string TWebBrowser::LocationName() const {
  return impl_->View()->document()->metaInformation(QTextDocument::DocumentTitle).toStdString();
}
int TWebBrowser::ContentHeight() const {
  QTextDocument* doc = impl_->View()->document();
  doc->pageCount();  // finishes the layout the view may have left for later
  return static_cast<int>(doc->documentLayout()->documentSize().height());
}
std::string TWebBrowser::DocumentText() const { return impl_->View()->document()->toPlainText().toStdString(); }
bool TWebBrowser::ShowingErrorPage() const { return impl_->errorPage; }
std::string TWebBrowser::ErrorReason() const { return impl_->errorPage ? impl_->errorReason : std::string(); }

void TWebBrowser::ShowHtml(const std::string& html) {
  impl_->Stop();
  TWebView* view = impl_->View();
  impl_->loaded.clear();
  view->document()->clear();
  view->document()->setBaseUrl(QUrl());
  view->setHtml(QString::fromStdString(WebBoundedHtml(html, kMaxWidgetTextBytes)));
  view->verticalScrollBar()->setValue(0);
}
const WebPageFigures& TWebBrowser::PageFigures() const { return impl_->figures; }
bool TWebBrowser::WrapsAnywhere() const { return impl_->View()->wordWrapMode() == QTextOption::WrapAnywhere; }

TSize TWebBrowser::ImageSize(const std::string& src) const {
  QTextDocument* doc = impl_->View()->document();
  QVariant v = doc->resource(QTextDocument::ImageResource, QUrl(QString::fromStdString(src)));
  QImage img = v.value<QImage>();
  if (img.isNull() || img == Placeholder()) return {};
  return {img.width(), img.height()};
}

}  // namespace corvane
