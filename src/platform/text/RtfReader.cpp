// RTF reader, plain-text fallback and the model helpers.
//
// The reader is a single pass over the bytes with an explicit stack of group states (no
// recursion, so deep nesting cannot exhaust the call stack). Text bytes, raw or "\'xx", collect
// in a buffer and are decoded together when anything else comes along, so the two bytes of a GBK
// character written as two escapes stay together.

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <map>
#include <mutex>

#include "platform/core/Classes.h"
#include "platform/core/Encoding.h"
#include "platform/text/RichText.h"

namespace corvane {

// ---------------------------------------------------------------------------------------------
// Model helpers.

void NormalizeRuns(RichDocument& doc) {
  for (RichParagraph& p : doc.Paragraphs) {
    std::vector<RichRun> runs;
    for (RichRun& r : p.Runs) {
      if (r.Text.empty()) continue;
      if (!runs.empty() && runs.back().Format == r.Format && runs.back().Object.empty() && r.Object.empty())
        runs.back().Text += r.Text;
      else runs.push_back(std::move(r));
    }
    // An empty paragraph keeps the format of its mark as one empty run.
    if (runs.empty() && !p.Runs.empty()) runs.push_back(std::move(p.Runs.back()));
    p.Runs = std::move(runs);
  }
}

std::string PlainText(const RichDocument& doc) {
  std::string out;
  for (size_t i = 0; i < doc.Paragraphs.size(); ++i) {
    if (i) out += '\n';
    std::string text = doc.Paragraphs[i].Text();
    for (size_t pos = 0; (pos = text.find(kLineBreak, pos)) != std::string::npos;) {
      text.replace(pos, kLineBreak.size(), "\n");
      pos += 1;
    }
    out += text;
  }
  return out;
}

RichDocument RichDocumentFromText(std::string_view utf8, const RichCharFormat& format) {
  RichDocument doc;
  size_t start = 0;
  while (start < utf8.size()) {
    size_t end = utf8.find_first_of("\r\n", start);
    if (doc.Paragraphs.size() >= static_cast<size_t>(kMaxRichParagraphs))
      throw ERichTextTooLarge(Format("more than %s paragraphs", {std::to_string(kMaxRichParagraphs)}));
    RichParagraph p;
    AppendText(p, utf8.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start),
               format);
    doc.Paragraphs.push_back(std::move(p));
    if (end == std::string_view::npos) break;
    start = end + 1;
    if (utf8[end] == '\r' && start < utf8.size() && utf8[start] == '\n') ++start;
  }
  return doc;
}

int CodePageForCharset(int charset, int documentCodePage) {
  switch (charset) {
    case 0: return 1252;
    case 1: return documentCodePage;
    case 2: return 1252;  // symbol fonts: the bytes are glyph numbers, read them as Western
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 255: return 437;
    default: return documentCodePage;
  }
}

int CharsetForCodePage(int codePage) {
  switch (codePage) {
    case 1252: return 0;
    case 10000: return 77;
    case 932: return 128;
    case 949: return 129;
    case 1361: return 130;
    case 936: return 134;
    case 950: return 136;
    case 1253: return 161;
    case 1254: return 162;
    case 1258: return 163;
    case 1255: return 177;
    case 1256: return 178;
    case 1257: return 186;
    case 1251: return 204;
    case 874: return 222;
    case 1250: return 238;
    case 437: return 255;
    default: return kDefaultCharset;
  }
}

namespace {

constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

char32_t Cp1252ToUnicode(unsigned char b) {
  return b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : b;
}

int UnicodeToCp1252(char32_t ch) {
  if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF)) return static_cast<int>(ch);
  for (size_t i = 0; i < kCp1252High.size(); ++i)
    if (kCp1252High[i] == ch) return static_cast<int>(0x80 + i);
  return -1;
}

// ---------------------------------------------------------------------------------------------
// Code pages. GBK goes through the program's GBK functions and 1252 through its own table; the
// other pages go through iconv. Single-byte pages are turned into a table of 256 characters once
// (a byte the page does not assign stands for the C1 control of the same value, as in 1252), so
// decoding and encoding them are exact inverses, byte for byte. Double-byte pages convert one
// character at a time, so a bad byte costs only its own character.

namespace {

bool IsGbkCodePage(int cp) { return cp == 936 || cp == 54936 || cp == 20936; }
bool IsOtherDoubleByteCodePage(int cp) { return cp == 932 || cp == 949 || cp == 950 || cp == 1361; }

// The iconv name of a code page other than GBK, 1252 and UTF-8; null for pages not known.
const char* IconvName(int cp) {
  switch (cp) {
    case 437: return "CP437";
    case 850: return "CP850";
    case 874: return "CP874";
    case 932: return "CP932";
    case 949: return "CP949";
    case 950: return "CP950";
    case 1250: return "CP1250";
    case 1251: return "CP1251";
    case 1253: return "CP1253";
    case 1254: return "CP1254";
    case 1255: return "CP1255";
    case 1256: return "CP1256";
    case 1257: return "CP1257";
    case 1258: return "CP1258";
    case 1361: return "JOHAB";
    case 10000: return "MACINTOSH";
    default: return nullptr;
  }
}

// One iconv conversion of a whole (short) input, shift state flushed; false unless all of the
// input converts.
bool IconvAll(iconv_t cd, std::string_view in, std::string& out) {
  out.clear();
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  char buf[32];
  char* inp = const_cast<char*>(in.data());
  size_t inLeft = in.size();
  char* outp = buf;
  size_t outLeft = sizeof buf;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  size_t r = iconv(cd, &inp, &inLeft, &outp, &outLeft);
  if (r == static_cast<size_t>(-1) || inLeft != 0) return false;
  if (iconv(cd, nullptr, nullptr, &outp, &outLeft) == static_cast<size_t>(-1)) return false;
  out.assign(buf, sizeof buf - outLeft);
  return true;
}

struct CodePageTables {
  std::mutex lock;
  std::map<int, std::array<char32_t, 256>> singleByte;
  std::map<int, std::pair<iconv_t, iconv_t>> converters;  // to UTF-8, from UTF-8

  ~CodePageTables() {
    for (auto& [cp, cds] : converters) {
      if (cds.first != reinterpret_cast<iconv_t>(-1)) iconv_close(cds.first);
      if (cds.second != reinterpret_cast<iconv_t>(-1)) iconv_close(cds.second);
    }
  }

  // Call with the lock held.
  std::pair<iconv_t, iconv_t> Converters(int cp) {
    auto it = converters.find(cp);
    if (it == converters.end())
      it = converters.emplace(cp, std::pair{iconv_open("UTF-8", IconvName(cp)), iconv_open(IconvName(cp), "UTF-8")}).first;
    return it->second;
  }

  // Call with the lock held.
  const std::array<char32_t, 256>& SingleByte(int cp) {
    auto it = singleByte.find(cp);
    if (it != singleByte.end()) return it->second;
    std::array<char32_t, 256> table{};
    iconv_t cd = Converters(cp).first;
    for (int b = 0; b < 256; ++b) {
      table[static_cast<size_t>(b)] = static_cast<char32_t>(b);
      if (b < 0x80) continue;
      std::string utf8;
      char byte = static_cast<char>(b);
      if (!IconvAll(cd, std::string_view(&byte, 1), utf8) || utf8.empty()) continue;
      size_t i = 0;
      char32_t ch = DecodeUtf8(utf8, i);
      if (i == utf8.size() && ch != 0xFFFD) table[static_cast<size_t>(b)] = ch;
    }
    return singleByte.emplace(cp, table).first->second;
  }
};

CodePageTables& Tables() {
  static CodePageTables tables;
  return tables;
}

}  // namespace

std::string CodePageToUtf8(std::string_view bytes, int codePage) {
  if (IsGbkCodePage(codePage)) return GbkToUtf8(bytes);
  std::string out;
  out.reserve(bytes.size());
  if (codePage == 65001) {
    for (size_t i = 0; i < bytes.size();) AppendUtf8(out, DecodeUtf8(bytes, i));
    return out;
  }
  if (!IconvName(codePage)) {  // 1252, and the pages not known, which read as 1252
    for (char b : bytes) AppendUtf8(out, Cp1252ToUnicode(static_cast<unsigned char>(b)));
    return out;
  }
  CodePageTables& t = Tables();
  std::lock_guard guard(t.lock);
  if (!IsOtherDoubleByteCodePage(codePage)) {
    const std::array<char32_t, 256>& table = t.SingleByte(codePage);
    for (char b : bytes) AppendUtf8(out, table[static_cast<unsigned char>(b)]);
    return out;
  }
  iconv_t cd = t.Converters(codePage).first;
  std::string piece;
  for (size_t i = 0; i < bytes.size();) {
    auto b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80) { out += static_cast<char>(b); ++i; continue; }
    if (IconvAll(cd, bytes.substr(i, 1), piece)) { out += piece; ++i; continue; }  // single-byte kana
    if (i + 1 < bytes.size() && IconvAll(cd, bytes.substr(i, 2), piece)) { out += piece; i += 2; continue; }
    // Not a character: a lead byte takes its trail byte with it, unless that is plain ASCII text.
    AppendUtf8(out, 0xFFFD);
    i += i + 1 < bytes.size() && static_cast<unsigned char>(bytes[i + 1]) >= 0x40 ? 2 : 1;
  }
  return out;
}

std::string Utf8CharToCodePage(std::string_view utf8Char, int codePage) {
  size_t i = 0;
  if (utf8Char.empty()) return {};
  char32_t ch = DecodeUtf8(utf8Char, i);
  if (i != utf8Char.size() || (ch == 0xFFFD && utf8Char != "\uFFFD")) return {};
  if (ch < 0x80) return std::string(utf8Char);
  if (codePage == 65001) return std::string(utf8Char);
  if (IsGbkCodePage(codePage)) {
    std::string gbk = Utf8ToGbk(utf8Char);
    return gbk != "?" && !gbk.empty() && GbkToUtf8(gbk) == utf8Char ? gbk : std::string();
  }
  if (!IconvName(codePage)) {
    int b = UnicodeToCp1252(ch);
    return b < 0 ? std::string() : std::string(1, static_cast<char>(b));
  }
  CodePageTables& t = Tables();
  std::lock_guard guard(t.lock);
  if (!IsOtherDoubleByteCodePage(codePage)) {
    const std::array<char32_t, 256>& table = t.SingleByte(codePage);
    for (size_t b = 0x80; b < 256; ++b)
      if (table[b] == ch) return std::string(1, static_cast<char>(b));
    return {};
  }
  std::string bytes, back;
  if (!IconvAll(t.Converters(codePage).second, utf8Char, bytes) || bytes.empty()) return {};
  if (!IconvAll(t.Converters(codePage).first, bytes, back) || back != utf8Char) return {};
  return bytes;
}

namespace {

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void TrimAscii(std::string& s) {
  size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) { s.clear(); return; }
  size_t e = s.find_last_not_of(" \t\r\n");
  s = s.substr(b, e - b + 1);
}

// Destinations whose content is not part of the visible text.
constexpr std::string_view kSkippedDestinations[] = {
    "annotation", "atnauthor", "atndate", "atnid", "atnparent", "atnref", "atntime", "author",
    "background", "bkmkend", "bkmkstart", "buptim", "category", "colorschememapping", "comment",
    "company", "creatim", "datafield", "datastore", "defchp", "defpap", "do", "doccomm", "docvar",
    "falt", "filetbl", "fldinst", "footer", "footerf", "footerl", "footerr", "footnote",
    "formfield", "ftncn", "ftnsep", "ftnsepc", "generator", "header", "headerf", "headerl",
    "headerr", "info", "keywords", "latentstyles", "listoverridetable", "listpicture",
    "listtable", "manager", "mmathPr", "nonshppict", "object", "objdata", "operator", "panose",
    "pgdsctbl", "pict", "pn", "pnseclvl", "printim", "private", "protusertbl", "revtbl",
    "revtim", "rsidtbl", "shp", "shpinst", "stylesheet", "subject", "tc", "template", "themedata",
    "title", "txe", "userprops", "wgrffmtfilter", "xe", "xmlnstbl"};

bool IsSkippedDestination(std::string_view word) {
  return std::find(std::begin(kSkippedDestinations), std::end(kSkippedDestinations), word) !=
         std::end(kSkippedDestinations);
}

enum class Dest : uint8_t { Text, Skip, FontTable, ColorTable, Object, FieldInstruction };

// Destinations the model keeps as they are, in an object run: pictures, drawn shapes, objects.
bool IsObjectDestination(std::string_view word) {
  return word == "pict" || word == "shppict" || word == "nonshppict" || word == "object" || word == "shp" ||
         word == "shpgrp";
}

// Control words that belong to a table row's definition (after "\trowd").
bool IsRowDefinitionWord(std::string_view w) {
  for (std::string_view prefix : {"tr", "cl", "brdr", "brsp", "irow", "ts", "tpos", "tph", "tpv", "tdfrmtxt", "tabsnoovrlp", "tblind", "tblindtype"})
    if (w.starts_with(prefix)) return true;
  return w == "cellx" || w == "lastrow" || w == "taprtl" || w == "rtlrow" || w == "ltrrow";
}

constexpr int kDefaultSize = 24;  // RTF's default, 12 pt
constexpr int kMaxSize = 3276;    // 1638 pt
constexpr int kMaxGroupDepth = 512;
constexpr int kMaxUnicodeSkip = 64;
constexpr int kMaxTwips = 31680;  // 22 inches

struct GroupState {
  Dest dest = Dest::Text;
  bool inUpr = false;        // inside "\upr": "\ud" switches back to resumeDest
  Dest resumeDest = Dest::Text;
  int font = -1;             // font table index, -1 = the default font
  int size = kDefaultSize;
  bool bold = false, italic = false, underline = false, strike = false, hidden = false;
  TColor color = clDefault;
  int uc = 1;                // characters of fallback after "\uN"
  RichVerticalAlign vertical = RichVerticalAlign::Normal;
  TColor highlight = clDefault;
  std::string link;          // target of the HYPERLINK field the text is in
  TAlignment align = TAlignment::taLeftJustify;
  int firstIndent = 0, leftIndent = 0, rightIndent = 0;
  int spaceBefore = 0, spaceAfter = 0, lineSpacing = 0;
  bool lineMultiple = false, inTable = false;
  bool fallbackObject = false;  // an object group that only stands in for the one before it
  size_t start = 0;          // where the group's "{" is in the input
};

struct FontEntry {
  std::string name;
  int charset = -1;
  int codePage = 0;  // "\cpgN" of the entry, 0 when not given
};

class RtfParser {
 public:
  explicit RtfParser(std::string_view in) : in_(in) {}

  RichDocument Parse() {
    stack_.push_back(GroupState{});  // outside every group; closing back to it ends the document
    while (pos_ < in_.size() && !done_) {
      char c = in_[pos_];
      if (c == '{') { ++pos_; OpenGroup(); }
      else if (c == '}') { ++pos_; CloseGroup(); }
      else if (c == '\\') ParseControl();
      else if (c == '\r' || c == '\n') ++pos_;
      else {
        ++pos_;
        groupStart_ = false;
        if (skip_ > 0) { --skip_; continue; }
        HandleTextByte(static_cast<unsigned char>(c));
      }
    }
    Flush();
    FinishFontEntry();
    if (!para_.Runs.empty()) EndParagraph();
    auto it = fonts_.find(deff_);
    if (it != fonts_.end()) doc_.DefaultFont = RichFont{it->second.name, ResolvedCharset(it->second), it->second.codePage};
    return std::move(doc_);
  }

 private:
  GroupState& St() { return stack_.back(); }

  // ----- groups
  void OpenGroup() {
    Flush();
    skip_ = 0;
    ignorable_ = false;
    if (stack_.size() > kMaxGroupDepth) { ++overflowDepth_; return; }
    stack_.push_back(stack_.back());
    stack_.back().start = pos_ - 1;
    groupStart_ = true;
  }

  void CloseGroup() {
    groupStart_ = false;
    Flush();
    skip_ = 0;
    ignorable_ = false;
    if (overflowDepth_ > 0) { --overflowDepth_; return; }
    if (St().dest == Dest::FontTable) FinishFontEntry();
    if (stack_.size() >= 2 && St().dest == Dest::Object && stack_[stack_.size() - 2].dest != Dest::Object) {
      KeepObject(in_.substr(St().start, pos_ - St().start));
    } else if (stack_.size() >= 2 && St().dest == Dest::FieldInstruction &&
               stack_[stack_.size() - 2].dest != Dest::FieldInstruction) {
      // The field's result (a sibling group read next) is linked to a HYPERLINK's target.
      FlushFieldInstruction();
      std::string target = HyperlinkTarget(fieldInstruction_);
      if (!target.empty()) stack_[stack_.size() - 2].link = target;
      fieldInstruction_.clear();
    }
    if (stack_.size() <= 1) { done_ = true; return; }  // a "}" with no group open
    if (stack_.size() == 2) {  // the document's own group closes: the rest is not read
      if (!para_.Runs.empty()) EndParagraph();
      done_ = true;
    }
    stack_.pop_back();
  }

  // ----- tokens
  void ParseControl() {
    ++pos_;  // the backslash
    if (pos_ >= in_.size()) return;
    char c = in_[pos_];
    bool first = groupStart_;  // the group's first word (after "\\*") names its destination
    if (c != '*') groupStart_ = false;
    if (IsAsciiLetter(c)) {
      size_t start = pos_;
      while (pos_ < in_.size() && IsAsciiLetter(in_[pos_])) ++pos_;
      std::string_view word = in_.substr(start, std::min<size_t>(pos_ - start, 32));
      bool hasParam = false, negative = false;
      int64_t value = 0;
      if (pos_ + 1 < in_.size() && in_[pos_] == '-' && IsAsciiDigit(in_[pos_ + 1])) {
        negative = true;
        ++pos_;
      }
      while (pos_ < in_.size() && IsAsciiDigit(in_[pos_])) {
        hasParam = true;
        if (value < 10'000'000'000LL) value = value * 10 + (in_[pos_] - '0');  // saturates
        ++pos_;
      }
      if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;
      value = std::min<int64_t>(value, INT32_MAX);
      int param = static_cast<int>(negative ? -value : value);
      if (word == "bin") {  // binary data: never text, whatever the destination
        size_t n = hasParam && param > 0 ? static_cast<size_t>(param) : 0;
        pos_ += std::min(n, in_.size() - pos_);
        if (skip_ > 0) --skip_;
        return;
      }
      if (skip_ > 0) { --skip_; return; }
      HandleWord(word, hasParam, param, first);
      return;
    }
    ++pos_;
    if (c == '\'') {
      int value = 0, digits = 0;
      while (digits < 2 && pos_ < in_.size() && HexValue(in_[pos_]) >= 0) {
        value = value * 16 + HexValue(in_[pos_]);
        ++digits;
        ++pos_;
      }
      if (skip_ > 0) { --skip_; return; }
      if (digits > 0) HandleTextByte(static_cast<unsigned char>(value));
      return;
    }
    if (skip_ > 0) { --skip_; return; }
    HandleSymbol(c);
  }

  void HandleSymbol(char c) {
    if (c == '*') { ignorable_ = true; return; }
    ignorable_ = false;
    switch (c) {
      case '\\': case '{': case '}': HandleTextByte(static_cast<unsigned char>(c)); return;
      case '\r': case '\n': if (St().dest == Dest::Text) EndParagraph(); return;
      case '~': EmitChar(0x00A0); return;
      case '_': EmitChar(0x2011); return;
      case '-': return;  // optional hyphen: invisible unless the line breaks there
      default: return;   // "\|", "\:" and unknown symbols
    }
  }

  void HandleWord(std::string_view w, bool hasParam, int param, bool firstInGroup) {
    bool starred = ignorable_;
    ignorable_ = false;
    GroupState& st = St();

    if (w == "ud" && st.inUpr) {  // the Unicode alternative of "\upr": read it
      st.dest = st.resumeDest;
      st.inUpr = false;
      return;
    }
    if (st.dest == Dest::Skip || st.dest == Dest::Object) return;
    if (st.dest == Dest::Text && firstInGroup && IsObjectDestination(w) && stack_.size() > 2) {
      // Kept whole, from its "{" to its "}", in an object run; nothing in it is read as text.
      Flush();
      st.dest = Dest::Object;
      st.fallbackObject = w == "nonshppict";
      return;
    }
    if (w == "fldinst" && st.dest == Dest::Text) {
      Flush();
      st.dest = Dest::FieldInstruction;
      fieldInstruction_.clear();
      return;
    }
    if (st.dest == Dest::FieldInstruction) {
      if (w == "u" && hasParam) {
        FlushFieldInstruction();
        if (fieldInstruction_.size() < 4096) {
          auto ch = static_cast<char32_t>(param < 0 ? param + 65536 : param);
          AppendUtf8(fieldInstruction_, ch >= 0xD800 && ch <= 0xDFFF ? 0xFFFD : ch);
        }
        skip_ = st.uc;
      }
      return;
    }
    if (w == "upr") {  // "{\upr{ansi text}{\*\ud{unicode text}}}": only the Unicode part counts
      Flush();
      st.resumeDest = st.dest;
      st.inUpr = true;
      st.dest = Dest::Skip;
      return;
    }
    if (starred || (IsSkippedDestination(w) && w != "fldinst")) {
      Flush();
      st.dest = Dest::Skip;
      return;
    }
    if (w == "fonttbl") { Flush(); st.dest = Dest::FontTable; return; }
    if (w == "colortbl") {
      Flush();
      st.dest = Dest::ColorTable;
      ResetColorEntry();
      return;
    }

    // Document settings, wherever they appear.
    if (w == "ansi") { codePage_ = 1252; return; }
    if (w == "mac") { codePage_ = 10000; return; }
    if (w == "pc") { codePage_ = 437; return; }
    if (w == "pca") { codePage_ = 850; return; }
    if (w == "ansicpg") { if (hasParam && param > 0) codePage_ = param; return; }
    if (w == "deff") { if (hasParam) deff_ = param; return; }
    if (w == "uc") { if (hasParam) st.uc = std::clamp(param, 0, kMaxUnicodeSkip); return; }
    if (w == "u") {
      if (!hasParam) return;
      if (st.dest == Dest::Text || st.dest == Dest::FontTable) HandleUnicode(param);
      skip_ = st.uc;
      return;
    }

    if (st.dest == Dest::FontTable) {
      if (w == "f") { FinishFontEntry(); fontEntry_ = FontEntry{}; fontIndex_ = param; inFontEntry_ = true; }
      else if (w == "fcharset") fontEntry_.charset = param;
      else if (w == "cpg") fontEntry_.codePage = std::max(param, 0);
      return;
    }
    if (st.dest == Dest::ColorTable) {
      int v = std::clamp(param, 0, 255);
      if (w == "red") { red_ = v; colorGiven_ = true; }
      else if (w == "green") { green_ = v; colorGiven_ = true; }
      else if (w == "blue") { blue_ = v; colorGiven_ = true; }
      return;
    }
    HandleTextWord(w, hasParam, param);
  }

  void HandleTextWord(std::string_view w, bool hasParam, int param) {
    GroupState& st = St();
    bool on = !hasParam || param != 0;
    // Special characters.
    if (w == "par" || w == "sect" || w == "page") { recordingRow_ = false; EndParagraph(); return; }
    if (w == "cell") { recordingRow_ = false; EndParagraph(true); return; }
    if (w == "row") { EndRow(); return; }
    if (w == "trowd") {
      rowDefinition_ = "\\trowd";
      recordingRow_ = true;
      return;
    }
    if (recordingRow_ && IsRowDefinitionWord(w)) {
      rowDefinition_ += '\\';
      rowDefinition_ += w;
      if (hasParam) rowDefinition_ += std::to_string(param);
      return;
    }
    if (w == "line") { EmitChar(kLineBreakChar); return; }
    if (w == "tab" || w == "nestcell") { EmitChar('\t'); return; }
    if (w == "emdash") { EmitChar(0x2014); return; }
    if (w == "endash") { EmitChar(0x2013); return; }
    if (w == "emspace") { EmitChar(0x2003); return; }
    if (w == "enspace") { EmitChar(0x2002); return; }
    if (w == "qmspace") { EmitChar(0x2005); return; }
    if (w == "bullet") { EmitChar(0x2022); return; }
    if (w == "lquote") { EmitChar(0x2018); return; }
    if (w == "rquote") { EmitChar(0x2019); return; }
    if (w == "ldblquote") { EmitChar(0x201C); return; }
    if (w == "rdblquote") { EmitChar(0x201D); return; }
    if (w == "zwj") { EmitChar(0x200D); return; }
    if (w == "zwnj") { EmitChar(0x200C); return; }

    // Everything below changes the format: text collected so far keeps the old one.
    Flush();
    if (w == "pard" || w == "intbl") recordingRow_ = false;
    if (w == "b") st.bold = on;
    else if (w == "i") st.italic = on;
    else if (w == "ul" || w == "uld" || w == "uldash" || w == "uldashd" || w == "uldashdd" ||
             w == "uldb" || w == "ulth" || w == "ulw" || w == "ulwave" || w == "ulhwave" ||
             w == "ululdbwave" || w == "ulthd" || w == "ulthdash" || w == "ulldash")
      st.underline = on;
    else if (w == "ulnone") st.underline = false;
    else if (w == "strike" || w == "striked") st.strike = on;
    else if (w == "v") st.hidden = on;
    else if (w == "f") { if (hasParam) st.font = param; }
    else if (w == "fs") { if (hasParam) st.size = param > 0 ? std::min(param, kMaxSize) : kDefaultSize; }
    else if (w == "cf") st.color = hasParam && param >= 0 && static_cast<size_t>(param) < colors_.size()
                                       ? colors_[static_cast<size_t>(param)] : clDefault;
    else if (w == "super") st.vertical = on ? RichVerticalAlign::Superscript : RichVerticalAlign::Normal;
    else if (w == "sub") st.vertical = on ? RichVerticalAlign::Subscript : RichVerticalAlign::Normal;
    else if (w == "nosupersub") st.vertical = RichVerticalAlign::Normal;
    else if (w == "highlight") st.highlight = hasParam && param > 0 && static_cast<size_t>(param) < colors_.size()
                                                  ? colors_[static_cast<size_t>(param)] : clDefault;
    else if (w == "plain") {
      st.font = -1;
      st.size = kDefaultSize;
      st.bold = st.italic = st.underline = st.strike = st.hidden = false;
      st.color = clDefault;
      st.vertical = RichVerticalAlign::Normal;
      st.highlight = clDefault;
    } else if (w == "pard") {
      st.align = TAlignment::taLeftJustify;
      st.firstIndent = st.leftIndent = st.rightIndent = 0;
      st.spaceBefore = st.spaceAfter = st.lineSpacing = 0;
      st.lineMultiple = st.inTable = false;
    }
    else if (w == "intbl") st.inTable = on;
    else if (w == "sb") st.spaceBefore = std::clamp(param, -kMaxTwips, kMaxTwips);
    else if (w == "sa") st.spaceAfter = std::clamp(param, -kMaxTwips, kMaxTwips);
    else if (w == "sl") st.lineSpacing = std::clamp(param, -kMaxTwips, kMaxTwips);
    else if (w == "slmult") st.lineMultiple = param != 0; else if (w == "ql" || w == "qj" || w == "qd" || w == "qk" || w == "qt") st.align = TAlignment::taLeftJustify;
    else if (w == "qc") st.align = TAlignment::taCenter;
    else if (w == "qr") st.align = TAlignment::taRightJustify;
    else if (w == "fi") st.firstIndent = param;
    else if (w == "li") st.leftIndent = param;
    else if (w == "ri") st.rightIndent = param;
  }

  // ----- text
  void HandleTextByte(unsigned char b) {
    GroupState& st = St();
    switch (st.dest) {
      case Dest::Skip: case Dest::Object: return;
      case Dest::FieldInstruction:
        if (fieldInstruction_.size() + fieldPending_.size() < 4096) fieldPending_ += static_cast<char>(b);
        return;
      case Dest::ColorTable:
        if (b == ';') {
          colors_.push_back(colorGiven_ ? RGB(red_, green_, blue_) : clDefault);
          ResetColorEntry();
        }
        return;
      case Dest::FontTable:
        if (stack_.size() == 1) return;
        if (b == ';') { FinishFontEntry(); return; }
        if (!inFontEntry_) return;
        FlushSurrogate();
        fontNameBytes_ += static_cast<char>(b);
        return;
      case Dest::Text:
        if (stack_.size() == 1) return;  // before the document's group
        if (b == '\t') { EmitChar('\t'); return; }
        if (b < 0x20) return;
        FlushSurrogate();
        pending_ += static_cast<char>(b);
        return;
    }
  }

  void HandleUnicode(int n) {
    char32_t cp;
    if (n < 0) cp = static_cast<char32_t>(n + 65536);
    else cp = static_cast<char32_t>(n);
    if (n < -32768 || cp > 0x10FFFF) cp = 0xFFFD;
    if (cp >= 0xDC00 && cp <= 0xDFFF && highSurrogate_) {
      char32_t full = 0x10000 + ((highSurrogate_ - 0xD800) << 10) + (cp - 0xDC00);
      highSurrogate_ = 0;
      EmitChar(full);
      return;
    }
    if (cp >= 0xD800 && cp <= 0xDBFF) {
      FlushPendingOnly();
      FlushSurrogate();
      highSurrogate_ = cp;
      return;
    }
    if (cp >= 0xDC00 && cp <= 0xDFFF) cp = 0xFFFD;  // a low surrogate on its own
    if (cp < 0x20 && cp != '\t') return;            // control characters are not text
    EmitChar(cp);
  }

  // Adds one character in the current format (or to the font name being read).
  void EmitChar(char32_t ch) {
    FlushPendingOnly();
    FlushSurrogate();
    std::string s;
    AppendUtf8(s, ch);
    EmitUtf8(s);
  }

  void EmitUtf8(std::string_view s) {
    GroupState& st = St();
    if (st.dest == Dest::FontTable) {
      if (!inFontEntry_) return;
      DecodeFontNameBytes();
      fontName_ += s;
      return;
    }
    if (st.dest != Dest::Text || st.hidden || stack_.size() == 1) return;
    AppendText(para_, s, CurrentFormat());
  }

  // A high surrogate not followed by its low half.
  void FlushSurrogate() {
    if (!highSurrogate_) return;
    highSurrogate_ = 0;
    std::string s;
    AppendUtf8(s, 0xFFFD);
    EmitUtf8(s);
  }

  void FlushPendingOnly() {
    if (pending_.empty()) return;
    std::string text = CodePageToUtf8(pending_, CurrentCodePage());
    pending_.clear();
    EmitUtf8(text);
  }

  void Flush() {
    FlushPendingOnly();
    FlushSurrogate();
    if (St().dest == Dest::FontTable) DecodeFontNameBytes();
  }

  void EndParagraph(bool endsCell = false) {
    Flush();
    if (stack_.size() == 1) return;  // before the document's group
    const GroupState& st = St();
    para_.Alignment = st.align;
    para_.FirstIndent = st.firstIndent;
    para_.LeftIndent = st.leftIndent;
    para_.RightIndent = st.rightIndent;
    para_.SpaceBefore = st.spaceBefore;
    para_.SpaceAfter = st.spaceAfter;
    para_.LineSpacing = st.lineSpacing;
    para_.LineSpacingMultiple = st.lineSpacing != 0 && st.lineMultiple;
    para_.InTable = st.inTable || endsCell;
    para_.EndsCell = endsCell;
    if (para_.Runs.empty()) para_.Runs.push_back(RichRun{std::string(), CurrentFormat(), {}});  // the mark's format
    // Reading stops as soon as the document asks more of the layout than it is given, before
    // the rest takes any memory.
    if (doc_.Paragraphs.size() >= static_cast<size_t>(kMaxRichParagraphs))
      throw ERichTextTooLarge(Format("more than %s paragraphs", {std::to_string(kMaxRichParagraphs)}));
    if (endsCell) {
      if (++rowCells_ > kMaxRichRowCells)
        throw ERichTextTooLarge(Format("a table row of more than %s cells", {std::to_string(kMaxRichRowCells)}));
      if (++tableCells_ > kMaxRichTableCells)
        throw ERichTextTooLarge(Format("more than %s table cells", {std::to_string(kMaxRichTableCells)}));
    }
    doc_.Paragraphs.push_back(std::move(para_));
    para_ = RichParagraph{};
  }

  // Bytes of a field instruction, in the code page of its font.
  void FlushFieldInstruction() {
    if (fieldPending_.empty()) return;
    fieldInstruction_ += CodePageToUtf8(fieldPending_, CurrentCodePage());
    fieldPending_.clear();
  }

  // The end of a table row: the last cell (text not yet ended by "\cell" ends one) gets the row's
  // definition. A row without cells has nothing to keep.
  void EndRow() {
    recordingRow_ = false;
    rowCells_ = 0;
    Flush();
    if (!para_.Runs.empty()) EndParagraph(true);
    if (doc_.Paragraphs.empty() || !doc_.Paragraphs.back().EndsCell || !doc_.Paragraphs.back().RowDefinition.empty())
      return;
    doc_.Paragraphs.back().RowDefinition = rowDefinition_.empty() ? "\\trowd" : rowDefinition_;
  }

  // An object group read whole. The picture a writer gives for readers that cannot show the one
  // before it ("\\nonshppict"), right after it, joins that object.
  void KeepObject(std::string_view rtf) {
    if (St().hidden || stack_.size() <= 2) return;
    Flush();
    bool adjoining = lastObjectEnd_ > 0 && lastObjectEnd_ <= St().start &&
                     in_.substr(lastObjectEnd_, St().start - lastObjectEnd_).find_first_not_of(" \r\n") == std::string_view::npos;
    if (St().fallbackObject && !para_.Runs.empty() && !para_.Runs.back().Object.empty() && adjoining) {
      para_.Runs.back().Object += rtf;
    } else {
      AppendObject(para_, rtf, CurrentFormat());
    }
    lastObjectEnd_ = pos_;
  }

  // The target of a HYPERLINK field instruction: its first argument, quoted or not, with "\l"
  // adding a place in it; empty for any other field.
  static std::string HyperlinkTarget(std::string_view inst) {
    size_t i = inst.find_first_not_of(" \t\r\n");
    if (i == std::string_view::npos || inst.substr(i, 9) != "HYPERLINK") return {};
    std::string target, place;
    bool wantPlace = false;
    i += 9;
    while (i < inst.size()) {
      while (i < inst.size() && (inst[i] == ' ' || inst[i] == '\t')) ++i;
      if (i >= inst.size()) break;
      std::string arg;
      if (inst[i] == '"') {
        size_t end = inst.find('"', i + 1);
        if (end == std::string_view::npos) end = inst.size();
        arg = std::string(inst.substr(i + 1, end - i - 1));
        i = end + 1;
      } else {
        size_t end = inst.find_first_of(" \t", i);
        if (end == std::string_view::npos) end = inst.size();
        arg = std::string(inst.substr(i, end - i));
        i = end;
      }
      if (arg == "\\l") { wantPlace = true; continue; }
      if (!arg.empty() && arg[0] == '\\') { wantPlace = false; continue; }  // other switches
      if (wantPlace) { place = arg; wantPlace = false; }
      else if (target.empty()) target = arg;
    }
    if (!place.empty()) target += "#" + place;
    return target;
  }

  // ----- fonts and colours
  // The font of a "\fN" number; an unknown number means the default font.
  std::map<int, FontEntry>::const_iterator FindFont(int index) const {
    auto it = index >= 0 ? fonts_.find(index) : fonts_.end();
    return it != fonts_.end() ? it : fonts_.find(deff_);
  }

  // A font of the default charset (or none) is in the document's code page.
  int ResolvedCharset(const FontEntry& f) const {
    return f.charset < 0 || f.charset == kDefaultCharset ? CharsetForCodePage(codePage_) : f.charset;
  }

  int CurrentCodePage() const {
    const GroupState& st = stack_.back();
    auto it = FindFont(st.font);
    if (it == fonts_.end()) return codePage_;
    if (it->second.codePage > 0) return it->second.codePage;
    return CodePageForCharset(ResolvedCharset(it->second), codePage_);
  }

  RichCharFormat CurrentFormat() const {
    const GroupState& st = stack_.back();
    RichCharFormat f;
    auto it = FindFont(st.font);
    if (it != fonts_.end()) {
      f.FontName = it->second.name;
      f.Charset = ResolvedCharset(it->second);
      f.CodePage = it->second.codePage;
    } else {
      f.Charset = kDefaultCharset;
    }
    f.VerticalAlign = st.vertical;
    f.Highlight = st.highlight;
    f.Link = st.link;
    f.SizeHalfPoints = st.size;
    f.Bold = st.bold;
    f.Italic = st.italic;
    f.Underline = st.underline;
    f.StrikeOut = st.strike;
    f.Color = st.color;
    return f;
  }

  // Font names: in the entry's own code page; a Western (1252) entry in a Chinese document is
  // still read as GBK, because some writers mark Chinese font names that way.
  void DecodeFontNameBytes() {
    if (fontNameBytes_.empty()) return;
    int cp = fontEntry_.codePage > 0 ? fontEntry_.codePage : CodePageForCharset(ResolvedCharset(fontEntry_), codePage_);
    if (IsGbkCodePage(codePage_) && cp == 1252) cp = 936;
    fontName_ += CodePageToUtf8(fontNameBytes_, cp);
    fontNameBytes_.clear();
  }

  void FinishFontEntry() {
    if (!inFontEntry_) return;
    DecodeFontNameBytes();
    FlushSurrogate();
    TrimAscii(fontName_);
    fontEntry_.name = std::move(fontName_);
    fonts_[fontIndex_] = std::move(fontEntry_);
    fontEntry_ = FontEntry{};
    fontName_.clear();
    inFontEntry_ = false;
  }

  void ResetColorEntry() {
    red_ = green_ = blue_ = 0;
    colorGiven_ = false;
  }

  std::string_view in_;
  size_t pos_ = 0;
  bool done_ = false;
  std::vector<GroupState> stack_;
  size_t overflowDepth_ = 0;  // groups opened beyond kMaxGroupDepth, tracked but not stacked
  int skip_ = 0;           // fallback characters still to skip after "\uN"
  bool ignorable_ = false; // "\*" seen
  bool groupStart_ = false; // nothing but "\*" read since the last "{"
  char32_t highSurrogate_ = 0;

  int codePage_ = 1252;
  int deff_ = 0;
  std::map<int, FontEntry> fonts_;
  FontEntry fontEntry_;
  int fontIndex_ = 0;
  bool inFontEntry_ = false;
  std::string fontNameBytes_, fontName_;
  std::vector<TColor> colors_;
  int red_ = 0, green_ = 0, blue_ = 0;
  bool colorGiven_ = false;

  std::string fieldInstruction_;  // text of the field instruction being read (UTF-8)
  std::string fieldPending_;      // its bytes not yet decoded
  std::string rowDefinition_;     // the current table row's definition, as RTF
  int rowCells_ = 0;    // cells of the row being read
  int tableCells_ = 0;  // cells of the document so far
  bool recordingRow_ = false;     // between "\trowd" and the row's first paragraph
  size_t lastObjectEnd_ = 0;      // where the last object group ended in the input

  std::string pending_;  // undecoded text bytes in the current format
  RichParagraph para_;
  RichDocument doc_;
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string DecodeUtf16(std::string_view bytes, bool bigEndian) {
  std::string out;
  char32_t high = 0;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    auto b0 = static_cast<unsigned char>(bytes[i]), b1 = static_cast<unsigned char>(bytes[i + 1]);
    char32_t u = bigEndian ? (b0 << 8 | b1) : (b1 << 8 | b0);
    if (u >= 0xD800 && u <= 0xDBFF) {
      if (high) AppendUtf8(out, 0xFFFD);
      high = u;
      continue;
    }
    if (u >= 0xDC00 && u <= 0xDFFF) {
      AppendUtf8(out, high ? 0x10000 + ((high - 0xD800) << 10) + (u - 0xDC00) : 0xFFFD);
      high = 0;
      continue;
    }
    if (high) { AppendUtf8(out, 0xFFFD); high = 0; }
    AppendUtf8(out, u);
  }
  if (high || bytes.size() % 2) AppendUtf8(out, 0xFFFD);
  return out;
}

}  // namespace

RichDocument ReadRtf(std::string_view bytes) { return RtfParser(bytes).Parse(); }

RtfPicture PictureOf(std::string_view rtf, size_t maxBytes) {
  RtfPicture pic;
  size_t at = 0;
  for (;; ++at) {
    at = rtf.find("\\pict", at);
    if (at == std::string_view::npos) return pic;
    if (at + 5 >= rtf.size() || !IsAsciiLetter(rtf[at + 5])) break;
  }
  pic.Type = RtfPicture::Kind::Other;
  int widthGoal = 0, heightGoal = 0, width = 0, height = 0, scaleX = 100, scaleY = 100;
  bool pixels = false, tooLarge = false;
  int depth = 0, nibble = -1;
  size_t i = at;
  while (i < rtf.size()) {
    char c = rtf[i];
    if (c == '{') { ++depth; ++i; continue; }
    if (c == '}') {
      if (depth == 0) break;
      --depth;
      ++i;
      continue;
    }
    if (c == '\\') {
      ++i;
      size_t start = i;
      while (i < rtf.size() && IsAsciiLetter(rtf[i])) ++i;
      std::string_view word = rtf.substr(start, i - start);
      bool negative = i < rtf.size() && rtf[i] == '-';
      if (negative) ++i;
      int64_t value = 0;
      while (i < rtf.size() && IsAsciiDigit(rtf[i])) {
        if (value < 100'000'000) value = value * 10 + (rtf[i] - '0');
        ++i;
      }
      if (i < rtf.size() && rtf[i] == ' ') ++i;
      if (word.empty()) { ++i; continue; }  // a symbol
      int param = static_cast<int>(negative ? -value : value);
      if (word == "bin") {
        size_t n = std::min(static_cast<size_t>(std::max(param, 0)), rtf.size() - i);
        if (depth == 0) {
          if (pic.Bytes.size() + n > maxBytes) tooLarge = true;
          else pic.Bytes.append(rtf.substr(i, n));
        }
        i += n;
        continue;
      }
      if (depth != 0) continue;
      if (word == "pngblip") pic.Type = RtfPicture::Kind::Png;
      else if (word == "jpegblip") pic.Type = RtfPicture::Kind::Jpeg;
      else if (word == "emfblip" || word == "wmetafile" || word == "dibitmap" || word == "wbitmap" || word == "macpict") {
        pic.Type = RtfPicture::Kind::Other;
        pixels = word == "dibitmap" || word == "wbitmap";
      }
      else if (word == "picwgoal") widthGoal = param;
      else if (word == "pichgoal") heightGoal = param;
      else if (word == "picw") width = param;
      else if (word == "pich") height = param;
      else if (word == "picscalex") scaleX = param;
      else if (word == "picscaley") scaleY = param;
      continue;
    }
    ++i;
    if (depth != 0) continue;
    int v = HexValue(c);
    if (v < 0) continue;
    if (nibble < 0) { nibble = v; continue; }
    if (pic.Bytes.size() >= maxBytes) tooLarge = true;
    else pic.Bytes += static_cast<char>(nibble * 16 + v);
    nibble = -1;
  }
  // The size shown: the goal size scaled; without one, a bitmap's pixels at 96 per inch.
  auto scaled = [](int twips, int scale) { return static_cast<int>(std::clamp<int64_t>(int64_t{twips} * std::clamp(scale, 1, 1000) / 100, 0, 31680)); };
  pic.WidthTwips = scaled(widthGoal > 0 ? widthGoal : pixels ? width * 15 : 0, scaleX);
  pic.HeightTwips = scaled(heightGoal > 0 ? heightGoal : pixels ? height * 15 : 0, scaleY);
  if (tooLarge) {
    pic.Type = RtfPicture::Kind::Other;
    pic.Bytes.clear();
  }
  return pic;
}

bool LooksLikeRtf(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  size_t i = 0;
  while (i < bytes.size() && IsBlank(bytes[i])) ++i;
  return bytes.substr(i).starts_with("{\\rtf");
}

RichDocument ReadPlainText(std::string_view bytes) {
  std::string text;
  if (bytes.starts_with("\xFF\xFE")) text = DecodeUtf16(bytes.substr(2), false);
  else if (bytes.starts_with("\xFE\xFF")) text = DecodeUtf16(bytes.substr(2), true);
  else {
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    text = IsValidUtf8(bytes) ? std::string(bytes) : GbkToUtf8(bytes);
  }
  return RichDocumentFromText(text);
}

RichDocument LoadRichText(std::string_view bytes) {
  return LooksLikeRtf(bytes) ? ReadRtf(bytes) : ReadPlainText(bytes);
}

RichDocument LoadRichTextFile(const std::string& path) {
  std::string bytes = ReadFileBytes(path);
  try {
    return LoadRichText(bytes);
  } catch (const ERichTextTooLarge& e) {
    throw ERichTextTooLarge(Format(SDocumentTooLarge, {path, e.what()}));
  }
}

}  // namespace corvane
