// RTF writer: the notes editor's save format.
//
// The output is plain 7-bit RTF in code page 936. Each font keeps the charset it was read with,
// and its text goes out as "\'xx" escapes in that charset's code page (GBK fonts in GBK, Western
// fonts in 1252, Big5 fonts in 950 ...), so a note read from another code page is written back
// in it; a character the font's page cannot hold goes out as "\uN?" (with "\uc1", so "?" is the
// fallback older readers show). A font's "\cpg" is kept and decides its page when present.
// Object runs and table row definitions are written back as the RTF they were read from.

#include <map>
#include <tuple>
#include <utility>

#include "platform/core/Classes.h"
#include "platform/core/Encoding.h"
#include "platform/text/RichText.h"

namespace corvane {

namespace {

constexpr int kDocumentCodePage = 936;
constexpr size_t kMaxLine = 100;  // lines are broken before the token that passes this length
constexpr std::string_view kFallbackFontName = "宋体";

// The charset written for a font: "default" becomes GB2312, the document's own code page.
int WrittenCharset(int charset) {
  return charset == kDefaultCharset || charset < 0 || charset > 255 ? kGb2312Charset : charset;
}

// A colour the colour table can hold; the automatic colour and system colours give clDefault.
TColor PlainColor(TColor c) { return c < 0 || c > 0xFFFFFF ? clDefault : c; }

const char kHex[] = "0123456789abcdef";

class Writer {
 public:
  std::string Write(const RichDocument& doc) {
    CollectTables(doc);
    out_ = "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052{\\fonttbl";
    for (size_t i = 0; i < fonts_.size(); ++i) {
      std::string cpg = fonts_[i].CodePage > 0 ? "\\cpg" + std::to_string(fonts_[i].CodePage) : std::string();
      TableEntry("{\\f" + std::to_string(i) + "\\fnil\\fcharset" + std::to_string(fonts_[i].Charset) + cpg + ' ' +
                 EscapedFontName(fonts_[i]) + ";}", i == 0);
    }
    out_ += "}\r\n{\\colortbl ;";
    for (TColor c : colors_) {
      TableEntry("\\red" + std::to_string(GetRValue(c)) + "\\green" + std::to_string(GetGValue(c)) +
                 "\\blue" + std::to_string(GetBValue(c)) + ';');
    }
    out_ += "}\r\n";
    lineStart_ = out_.size();
    Word("\\viewkind4");
    Word("\\uc1");
    if (doc.Paragraphs.empty()) Word("\\pard");
    for (size_t i = 0; i < doc.Paragraphs.size(); ++i) {
      const RichParagraph& p = doc.Paragraphs[i];
      // A table row's definition goes before its first cell.
      if (p.InTable && (i == 0 || !doc.Paragraphs[i - 1].InTable || !doc.Paragraphs[i - 1].RowDefinition.empty())) {
        for (size_t j = i; j < doc.Paragraphs.size() && doc.Paragraphs[j].InTable; ++j) {
          if (doc.Paragraphs[j].RowDefinition.empty()) continue;
          Raw(doc.Paragraphs[j].RowDefinition);
          break;
        }
      }
      WriteParagraph(p);
    }
    if (delimiter_) out_ += ' ';
    out_ += "}\r\n";
    return std::move(out_);
  }

 private:
  // ----- tables
  int FontIndex(const RichCharFormat& f) const {
    if (f.FontName.empty()) return 0;
    auto it = fontIndex_.find({f.FontName, WrittenCharset(f.Charset), std::max(f.CodePage, 0)});
    return it == fontIndex_.end() ? 0 : it->second;
  }

  int ColorIndex(TColor c) const {
    c = PlainColor(c);
    if (c == clDefault) return 0;
    auto it = colorIndex_.find(c);
    return it == colorIndex_.end() ? 0 : it->second;
  }

  void AddFont(const std::string& name, int charset, int codePage) {
    FontKey key{name, WrittenCharset(charset), std::max(codePage, 0)};
    if (fontIndex_.count(key)) return;
    fontIndex_[key] = static_cast<int>(fonts_.size());
    fonts_.push_back(RichFont{std::get<0>(key), std::get<1>(key), std::get<2>(key)});
  }

  void AddColor(TColor color) {
    TColor c = PlainColor(color);
    if (c == clDefault || colorIndex_.count(c)) return;
    colors_.push_back(c);
    colorIndex_[c] = static_cast<int>(colors_.size());  // entry 0 is the automatic colour
  }

  void CollectTables(const RichDocument& doc) {
    // Font 0 is the default font, the one an empty font name stands for.
    if (doc.DefaultFont.Name.empty()) AddFont(std::string(kFallbackFontName), kGb2312Charset, 0);
    else AddFont(doc.DefaultFont.Name, doc.DefaultFont.Charset, doc.DefaultFont.CodePage);
    for (const RichParagraph& p : doc.Paragraphs) {
      for (const RichRun& r : p.Runs) {
        if (!r.Format.FontName.empty()) AddFont(r.Format.FontName, r.Format.Charset, r.Format.CodePage);
        AddColor(r.Format.Color);
        AddColor(r.Format.Highlight);
      }
    }
  }

  // Font names: escapes in the font's own code page, except for Western (and symbol) fonts,
  // whose names the reader takes as GBK in a Chinese document: those get "\uN?" for characters
  // beyond ASCII, as do characters the font's page cannot hold. ";" cannot be written inside a
  // name and is left out.
  static std::string EscapedFontName(const RichFont& f) {
    std::string out;
    const std::string& name = f.Name;
    int codePage = f.CodePage > 0 ? f.CodePage : CodePageForCharset(f.Charset, kDocumentCodePage);
    for (size_t i = 0; i < name.size();) {
      size_t start = i;
      char32_t ch = DecodeUtf8(name, i);
      if (ch == ';' || ch < 0x20) continue;
      if (ch == '\\' || ch == '{' || ch == '}') { out += '\\'; out += static_cast<char>(ch); continue; }
      if (ch < 0x80) { out += static_cast<char>(ch); continue; }
      std::string bytes;
      if (codePage != 1252) bytes = Utf8CharToCodePage(name.substr(start, i - start), codePage);
      if (!bytes.empty()) AppendByteEscapes(out, bytes);
      else AppendUnicodeEscape(out, ch);
    }
    return out;
  }

  // ----- output primitives
  // A font or colour table entry, on a new line when it would make the current one too long.
  // The first font stays on the header line; later entries wrap.
  void TableEntry(const std::string& entry, bool keepOnLine = false) {
    size_t lineStart = out_.rfind('\n');
    lineStart = lineStart == std::string::npos ? 0 : lineStart + 1;
    if (!keepOnLine && out_.size() - lineStart + entry.size() > kMaxLine) out_ += "\r\n";
    out_ += entry;
  }

  // A control word; the next text gets a space in front to end it.
  void Word(std::string_view w) {
    BeforeText();
    out_ += w;
    delimiter_ = true;
  }
  void Word(std::string_view w, int param) { Word(std::string(w) + std::to_string(param)); }

  // Starts a new line before the next token once the line is long.
  void BeforeText() {
    if (out_.size() - lineStart_ >= kMaxLine) {
      if (delimiter_) out_ += ' ';
      out_ += "\r\n";
      lineStart_ = out_.size();
      delimiter_ = false;
    }
  }

  // RTF kept from the document read (a group, or a row definition), as it was. It ends any control
  // word before it by itself ("{" or "\\").
  void Raw(std::string_view rtf) {
    BeforeText();
    out_ += rtf;
    delimiter_ = !rtf.empty() && rtf.back() != '}';
    size_t nl = out_.rfind('\n');
    if (nl != std::string::npos && nl >= out_.size() - rtf.size()) lineStart_ = nl + 1;
  }

  // An object run's RTF. A picture for older readers ("\\nonshppict") right after another object
  // would be read as part of it: an empty group keeps them apart.
  void WriteObject(const std::string& rtf) {
    bool fallback = rtf.starts_with("{\\nonshppict") || rtf.starts_with("{\\*\\nonshppict");
    if (fallback && objectEnd_ > 0 && out_.find_first_not_of(" \r\n", objectEnd_) == std::string::npos) out_ += "{}";
    Raw(rtf);
    objectEnd_ = out_.size();
  }

  // Literal text or a symbol / escape that needs no delimiter after it.
  void Text(std::string_view s) {
    if (delimiter_ && !s.starts_with('\\')) out_ += ' ';
    delimiter_ = false;
    out_ += s;
  }

  static void AppendByteEscapes(std::string& out, std::string_view bytes) {
    for (char b : bytes) {
      auto u = static_cast<unsigned char>(b);
      out += "\\'";
      out += kHex[u >> 4];
      out += kHex[u & 15];
    }
  }

  static void AppendUnicodeEscape(std::string& out, char32_t ch) {
    auto unit = [&out](unsigned u) {
      int n = u > 0x7FFF ? static_cast<int>(u) - 0x10000 : static_cast<int>(u);
      out += "\\u" + std::to_string(n) + '?';
    };
    if (ch > 0xFFFF) {
      ch -= 0x10000;
      unit(0xD800 + (ch >> 10));
      unit(0xDC00 + (ch & 0x3FF));
    } else {
      unit(ch);
    }
  }

  // ----- body
  void WriteFormat(const RichCharFormat& f) {
    int font = FontIndex(f);
    int size = f.SizeHalfPoints > 0 ? f.SizeHalfPoints : 24;
    int color = ColorIndex(f.Color);
    int highlight = ColorIndex(f.Highlight);
    State& s = state_;
    if (font != s.font) { Word("\\f", font); s.font = font; }
    if (size != s.size) { Word("\\fs", size); s.size = size; }
    if (color != s.color) { Word("\\cf", color); s.color = color; }
    if (highlight != s.highlight) { Word("\\highlight", highlight); s.highlight = highlight; }
    if (f.Bold != s.bold) { Word(f.Bold ? "\\b" : "\\b0"); s.bold = f.Bold; }
    if (f.Italic != s.italic) { Word(f.Italic ? "\\i" : "\\i0"); s.italic = f.Italic; }
    if (f.Underline != s.underline) { Word(f.Underline ? "\\ul" : "\\ulnone"); s.underline = f.Underline; }
    if (f.StrikeOut != s.strike) { Word(f.StrikeOut ? "\\strike" : "\\strike0"); s.strike = f.StrikeOut; }
    if (f.VerticalAlign != s.vertical) {
      Word(f.VerticalAlign == RichVerticalAlign::Superscript ? "\\super"
           : f.VerticalAlign == RichVerticalAlign::Subscript ? "\\sub" : "\\nosupersub");
      s.vertical = f.VerticalAlign;
    }
    const RichFont& written = fonts_[static_cast<size_t>(font)];
    codePage_ = written.CodePage > 0 ? written.CodePage : CodePageForCharset(written.Charset, kDocumentCodePage);
  }

  // A hyperlink field around the runs that link to `target`; the format inside the field's groups
  // is undone when they close.
  void OpenLink(const std::string& target) {
    saved_ = state_;
    Raw("{\\field{\\*\\fldinst{HYPERLINK \"");
    std::string escaped;
    for (size_t i = 0; i < target.size();) {
      char32_t ch = DecodeUtf8(target, i);
      if (ch == '\\' || ch == '{' || ch == '}') { escaped += '\\'; escaped += static_cast<char>(ch); }
      else if (ch == '"' || ch < 0x20) continue;  // cannot stand inside the quoted target
      else if (ch < 0x80) escaped += static_cast<char>(ch);
      else AppendUnicodeEscape(escaped, ch);
    }
    out_ += escaped;
    out_ += "\"}}{\\fldrslt{";
    delimiter_ = false;
  }
  void CloseLink() {
    out_ += "}}}";
    delimiter_ = false;
    state_ = saved_;
  }

  void WriteRunText(std::string_view text) {
    for (size_t i = 0; i < text.size();) {
      size_t start = i;
      char32_t ch = DecodeUtf8(text, i);
      std::string_view utf8 = text.substr(start, i - start);
      BeforeText();
      switch (ch) {
        case '\\': Text("\\\\"); continue;
        case '{': Text("\\{"); continue;
        case '}': Text("\\}"); continue;
        case '\t': Word("\\tab"); continue;
        case '\r':
          if (i < text.size() && text[i] == '\n') ++i;
          [[fallthrough]];
        case '\n': case kLineBreakChar: Word("\\line"); continue;
        case 0x00A0: Text("\\~"); continue;
        case 0x2011: Text("\\_"); continue;
        default: break;
      }
      if (ch < 0x20 || ch == 0x7F) continue;  // other control characters have no RTF form
      if (ch < 0x80) { Text(utf8); continue; }
      std::string escaped;
      std::string bytes = Utf8CharToCodePage(utf8, codePage_);
      if (!bytes.empty()) AppendByteEscapes(escaped, bytes);
      else AppendUnicodeEscape(escaped, ch);
      Text(escaped);
    }
  }

  void WriteParagraph(const RichParagraph& p) {
    Word("\\pard");
    if (p.InTable) Word("\\intbl");
    if (p.Alignment == TAlignment::taCenter) Word("\\qc");
    else if (p.Alignment == TAlignment::taRightJustify) Word("\\qr");
    if (p.FirstIndent) Word("\\fi", p.FirstIndent);
    if (p.LeftIndent) Word("\\li", p.LeftIndent);
    if (p.RightIndent) Word("\\ri", p.RightIndent);
    if (p.SpaceBefore) Word("\\sb", p.SpaceBefore);
    if (p.SpaceAfter) Word("\\sa", p.SpaceAfter);
    if (p.LineSpacing) {
      Word("\\sl", p.LineSpacing);
      Word("\\slmult", p.LineSpacingMultiple ? 1 : 0);
    }
    std::string link;
    for (const RichRun& r : p.Runs) {
      // An empty paragraph's one empty run is the format of its paragraph mark.
      if (r.Text.empty() && p.Runs.size() > 1) continue;
      if (r.Format.Link != link) {
        if (!link.empty()) CloseLink();
        link = r.Format.Link;
        if (!link.empty() && !r.Text.empty()) OpenLink(link);
        else link.clear();
      }
      WriteFormat(r.Format);
      if (!r.Object.empty()) WriteObject(r.Object);
      else WriteRunText(r.Text);
    }
    if (!link.empty()) CloseLink();
    Word(p.EndsCell ? "\\cell" : "\\par");
    if (p.EndsCell && !p.RowDefinition.empty()) Word("\\row");
    out_ += " \r\n";
    lineStart_ = out_.size();
    delimiter_ = false;
  }

  std::string out_;
  size_t objectEnd_ = 0;  // where the last object run's RTF ended in out_
  size_t lineStart_ = 0;
  bool delimiter_ = false;

  using FontKey = std::tuple<std::string, int, int>;  // name, charset, code page
  std::vector<RichFont> fonts_;
  std::map<FontKey, int> fontIndex_;
  std::vector<TColor> colors_;
  std::map<TColor, int> colorIndex_;

  // What the reader's state is at this point of the output (RTF's defaults at the start).
  struct State {
    int font = 0, size = 24, color = 0, highlight = 0;
    bool bold = false, italic = false, underline = false, strike = false;
    RichVerticalAlign vertical = RichVerticalAlign::Normal;
  };
  State state_, saved_;
  int codePage_ = 936;
};

}  // namespace

std::string WriteRtf(const RichDocument& doc) { return Writer().Write(doc); }

void SaveRichTextFile(const std::string& path, const RichDocument& doc) {
  WriteFileAtomically(path, WriteRtf(doc));
}

}  // namespace corvane
