#include "platform/core/Encoding.h"

#include <iconv.h>

#include <QString>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <mutex>

namespace corvane {

namespace {

// Converts one character at a time where needed, so an unconvertible character costs only itself.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() { if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_); }
  // Returns false when the input could not be converted at this position.
  bool Convert(const char*& in, size_t& inLeft, std::string& out) {
    char buf[16];
    char* outp = buf;
    size_t outLeft = sizeof buf;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* inp = const_cast<char*>(in);
    size_t r = iconv(cd_, &inp, &inLeft, &outp, &outLeft);
    out.append(buf, sizeof buf - outLeft);
    in = inp;
    return r != static_cast<size_t>(-1) || errno == E2BIG;
  }
  bool Ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
 private:
  iconv_t cd_;
};

}  // namespace

bool IsValidUtf8(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    size_t start = i;
    char32_t ch = DecodeUtf8(s, i);
    if (ch == 0xFFFD && !(i - start == 3 && static_cast<unsigned char>(s[start]) == 0xEF)) return false;
  }
  return true;
}

char32_t DecodeUtf8(std::string_view s, size_t& i) {
  unsigned char b = static_cast<unsigned char>(s[i]);
  if (b < 0x80) { ++i; return b; }
  int n = b >= 0xF0 && b <= 0xF4 ? 3 : b >= 0xE0 ? 2 : b >= 0xC2 && b < 0xE0 ? 1 : -1;
  if (n < 0 || b > 0xF4) { ++i; return 0xFFFD; }
  if (i + static_cast<size_t>(n) >= s.size()) { ++i; return 0xFFFD; }
  char32_t ch = b & (0x3F >> n);
  for (int k = 1; k <= n; ++k) {
    unsigned char c = static_cast<unsigned char>(s[i + k]);
    if ((c & 0xC0) != 0x80) { ++i; return 0xFFFD; }
    ch = (ch << 6) | (c & 0x3F);
  }
  static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
  if (ch < kMin[n] || ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF)) { ++i; return 0xFFFD; }
  i += n + 1;
  return ch;
}

void AppendUtf8(std::string& out, char32_t ch) {
  if (ch < 0x80) out += static_cast<char>(ch);
  else if (ch < 0x800) { out += static_cast<char>(0xC0 | (ch >> 6)); out += static_cast<char>(0x80 | (ch & 0x3F)); }
  else if (ch < 0x10000) {
    out += static_cast<char>(0xE0 | (ch >> 12)); out += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (ch & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (ch >> 18)); out += static_cast<char>(0x80 | ((ch >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((ch >> 6) & 0x3F)); out += static_cast<char>(0x80 | (ch & 0x3F));
  }
}

std::string GbkToUtf8(std::string_view gbk) {
  static std::mutex m;
  std::lock_guard lock(m);
  static Converter conv("UTF-8", "GBK");
  std::string out;
  out.reserve(gbk.size() * 3 / 2);
  for (size_t i = 0; i < gbk.size();) {
    unsigned char b = static_cast<unsigned char>(gbk[i]);
    if (b < 0x80) { out += static_cast<char>(b); ++i; continue; }
    size_t len = GbkCharLength(b);
    if (i + len > gbk.size()) { AppendUtf8(out, 0xFFFD); break; }
    const char* in = gbk.data() + i;
    size_t left = len;
    std::string piece;
    if (conv.Ok() && conv.Convert(in, left, piece) && left == 0) out += piece;
    else AppendUtf8(out, 0xFFFD);
    i += len;
  }
  return out;
}

std::string Utf8ToGbk(std::string_view utf8) {
  static std::mutex m;
  std::lock_guard lock(m);
  static Converter conv("GBK", "UTF-8");
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    size_t start = i;
    char32_t ch = DecodeUtf8(utf8, i);
    if (ch < 0x80) { out += static_cast<char>(ch); continue; }
    if (ch == 0xFFFD && !(i - start == 3)) continue;  // invalid input byte
    const char* in = utf8.data() + start;
    size_t left = i - start;
    std::string piece;
    if (conv.Ok() && conv.Convert(in, left, piece) && left == 0) out += piece;
    else out += '?';
  }
  return out;
}

bool IsGbkEncodable(char32_t ch) {
  if (ch < 0x80) return true;
  std::string u;
  AppendUtf8(u, ch);
  return Utf8ToGbk(u) != "?";
}

namespace {

// Elements that stay inside the line they are in: their tags are no place to break, the text on
// both sides of them is laid out as one.
bool IsInlineElement(std::string_view name) {
  static const char* const names[] = {"a", "abbr", "acronym", "b", "big", "cite", "code", "dfn", "em", "font", "i",
                                      "kbd", "nobr", "q", "s", "samp", "small", "span", "strike", "strong", "sub",
                                      "sup", "tt", "u", "var", "ins", "del", "mark", "bdo", "label"};
  for (const char* n : names)
    if (name.size() == std::char_traits<char>::length(n) &&
        std::equal(name.begin(), name.end(), n, [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; }))
      return true;
  return false;
}

// The text of an HTML page as the layout meets it: inline tags vanish, every other tag ends a line,
// an entity is one letter.
QString LayoutTextOfMarkup(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    char c = s[i];
    if (c == '<') {
      size_t end = s.find('>', i);
      size_t p = i + 1;
      if (p < s.size() && s[p] == '/') ++p;
      size_t nameEnd = p;
      while (nameEnd < s.size() && std::isalnum(static_cast<unsigned char>(s[nameEnd]))) ++nameEnd;
      if (!IsInlineElement(s.substr(p, nameEnd - p))) out += '\n';
      i = end == std::string_view::npos ? s.size() : end + 1;
      continue;
    }
    if (c == '&') {
      size_t end = s.find_first_of("; <&", i + 1);
      bool entity = end != std::string_view::npos && s[end] == ';' && end - i <= 32;
      out += 'a';
      i = entity ? end + 1 : i + 1;
      continue;
    }
    out += c;
    ++i;
  }
  return QString::fromUtf8(out.data(), static_cast<qsizetype>(out.size()));
}

}  // namespace

size_t LongestUnbrokenStretch(std::string_view s, bool markup) {
  QString text = markup ? LayoutTextOfMarkup(s) : QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
  // The places the toolkit's line layout may break at, found by the toolkit's own rules: a
  // stretch is what lies between two of them, blanks at its end not counted.
  QTextBoundaryFinder finder(QTextBoundaryFinder::Line, text);
  size_t longest = 0;
  qsizetype from = 0;
  for (qsizetype at = finder.toNextBoundary(); at != -1; at = finder.toNextBoundary()) {
    qsizetype end = at;
    while (end > from && text.at(end - 1).isSpace()) --end;
    size_t chars = 0;
    for (qsizetype k = from; k < end; ++k)
      if (!text.at(k).isLowSurrogate()) ++chars;
    longest = std::max(longest, chars);
    from = at;
  }
  return longest;
}

}  // namespace corvane
