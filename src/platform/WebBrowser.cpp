#include "WebBrowser.h"

#include <QImage>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QScrollBar>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>

#include "Encoding.h"
#include "Forms.h"
#include "GraphicsPrivate.h"
#include "WindowHandle.h"

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

std::string WebTextToUtf8(std::string_view body, std::string_view contentType) {
  if (body.size() >= 3 && body.substr(0, 3) == "\xEF\xBB\xBF") return Decode(body.substr(3), "utf-8");
  if (body.size() >= 2 && (body.substr(0, 2) == "\xFF\xFE" || body.substr(0, 2) == "\xFE\xFF"))
    return Decode(body, body[0] == '\xFF' ? "utf-16le" : "utf-16be");
  std::string cs = WebCharsetOf(body, contentType);
  if (cs.empty()) return Utf8OrGbk(body);
  return Decode(body, cs);
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
    if (reply->error() != QNetworkReply::NoError || timedOut || tooLarge || status >= 400) {
      ShowError(Reason(reply, timedOut, tooLarge));
      return;
    }
    QByteArray body = reply->readAll();
    std::string contentType = reply->header(QNetworkRequest::ContentTypeHeader).toString().toStdString();
    ShowPage(std::string_view(body.constData(), static_cast<size_t>(body.size())), contentType);
  }

  void ShowPage(std::string_view body, const std::string& contentType) {
    TWebView* view = View();
    QTextDocument* doc = view->document();
    StopImages();
    errorPage = false;
    loaded.clear();
    doc->clear();
    doc->setBaseUrl(location);
    std::string type = Lower(contentType);
    if (type.rfind("image/", 0) == 0) {
      // A picture on its own is shown as a page holding just that picture.
      view->setHtml(QString("<img src=\"%1\">").arg(location.toString().toHtmlEscaped()));
      QImage img = QImage::fromData(QByteArrayView(body.data(), static_cast<qsizetype>(body.size())));
      if (!img.isNull()) {
        doc->addResource(QTextDocument::ImageResource, location, img);
        loaded[location] = img.size();
        doc->markContentsDirty(0, doc->characterCount());
      }
    } else if (type.rfind("text/plain", 0) == 0) {
      view->setPlainText(QString::fromStdString(WebTextToUtf8(body, contentType)));
    } else {
      view->setHtml(QString::fromStdString(WebTextToUtf8(body, contentType)));
    }
    doc->setBaseUrl(location);
    FetchImages();
    Finished();  // last: the handler may well navigate again
  }

  void ShowError(const QString& reason) {
    TWebView* view = View();
    StopImages();
    errorPage = true;
    loaded.clear();
    view->document()->clear();
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

  // Every picture the document names, fetched once each from the page's own address space.
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
    for (const QUrl& url : wanted) {
      if (images.size() >= kMaxImages) break;
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
    QImage img = QImage::fromData(reply->readAll());
    if (img.isNull()) return;
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
  std::map<QUrl, QSize> loaded;  // pictures that arrived and decoded, by absolute address
  std::string requested;
  QUrl location;
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
void TWebBrowser::FollowLink(const std::string& href) { impl_->FollowLink(QUrl(QString::fromStdString(href))); }
bool TWebBrowser::Busy() const { return impl_->busy; }
int TWebBrowser::PendingImages() const { return static_cast<int>(impl_->images.size()); }
std::string TWebBrowser::LocationURL() const { return impl_->location.toString().toStdString(); }
std::string TWebBrowser::LocationName() const {
  return impl_->View()->document()->metaInformation(QTextDocument::DocumentTitle).toStdString();
}
std::string TWebBrowser::DocumentText() const { return impl_->View()->document()->toPlainText().toStdString(); }
bool TWebBrowser::ShowingErrorPage() const { return impl_->errorPage; }

TSize TWebBrowser::ImageSize(const std::string& src) const {
  QTextDocument* doc = impl_->View()->document();
  QVariant v = doc->resource(QTextDocument::ImageResource, QUrl(QString::fromStdString(src)));
  QImage img = v.value<QImage>();
  if (img.isNull() || img == Placeholder()) return {};
  return {img.width(), img.height()};
}

}  // namespace corvane
