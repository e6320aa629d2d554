// Rich text: a toolkit-free model of a formatted document, and its RTF reader and writer.
//
// The program's documents (commentaries, reference texts, note bodies) are RTF files in the GBK
// code page. The rich-text views load them into a RichDocument and the notes editor saves one
// back; the view code maps the model onto the toolkit's own rich-text widget.
//
// Conventions of the model:
// - All text is UTF-8.
// - A document is a list of paragraphs; a paragraph break never appears inside run text.
// - A line break inside a paragraph (RTF "\line") is U+2028 (kLineBreak). The writer also turns
//   a stray "\n" or "\r" in run text into a line break.
// - A tab is "\t". A non-breaking space is U+00A0, a non-breaking hyphen U+2011.
// - Sizes are in half-points (24 = 12 pt) so that sizes such as 10.5 pt are exact.
// - An empty font name and a size of 0 mean "the control's own font / size". Plain-text files
//   load that way; the RTF reader always fills in explicit values (RTF's default size is 12 pt).
// - Colour is a TColor (0x00BBGGRR) or clDefault for the automatic (window-text) colour.
// - The charset is a font character set number as RTF writes it: 0 ANSI (Western, code page
//   1252), 1 default (the document's code page), 134 GB2312 (code page 936), 136 Big5 (950),
//   128 Shift-JIS (932), 129 Hangul (949), 204 Russian (1251), 238 Eastern Europe (1250), and
//   so on (CodePageForCharset).
// - A paragraph without text may hold one empty run: the format of its paragraph mark, which is
//   what text typed into it takes. The reader gives every empty paragraph one; the writer writes
//   it as the paragraph's format.
// - What the model has no form of its own for (a picture, a drawn shape, an embedded object) is
//   one run whose Text is U+FFFC (kObjectChar) and whose Object holds the RTF group(s) it was
//   read from, written back as they were. Such a run never merges with its neighbours.
// - A hyperlink is a format attribute (Link, its target); neighbouring runs with the same target
//   are one link.
// - Tables: a paragraph inside a table cell is InTable; the last paragraph of a cell EndsCell;
//   the last cell of a row also holds the row's definition (RowDefinition: column edges, borders
//   and other row properties as RTF, written back as read).
// - Paragraph ends: each paragraph of the model is one "\par" in RTF. Reading, text after the
//   last "\par" becomes a final paragraph only when it holds some text, so a file that ends with
//   "\par" has no empty paragraph added; writing, every paragraph is followed by "\par". A write
//   followed by a read gives back the same paragraphs, empty ones included.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/core/Classes.h"
#include "platform/core/Types.h"

namespace corvane {

inline constexpr std::string_view kLineBreak = "\u2028";
inline constexpr char32_t kLineBreakChar = 0x2028;
inline constexpr std::string_view kObjectText = "\uFFFC";
inline constexpr char32_t kObjectChar = 0xFFFC;

// Font character sets the program meets.
inline constexpr int kAnsiCharset = 0;
inline constexpr int kDefaultCharset = 1;
inline constexpr int kSymbolCharset = 2;
inline constexpr int kGb2312Charset = 134;

struct RichFont {
  std::string Name;  // UTF-8, e.g. "宋体"; empty = the control's font
  int Charset = kGb2312Charset;
  int CodePage = 0;  // the font's own code page ("\cpg"), 0 when it names none
  friend bool operator==(const RichFont&, const RichFont&) = default;
};

enum class RichVerticalAlign { Normal, Superscript, Subscript };

struct RichCharFormat {
  std::string FontName;  // UTF-8; empty = the control's font
  int Charset = kGb2312Charset;
  int CodePage = 0;  // the font's "\cpg", 0 when none
  int SizeHalfPoints = 0;  // 0 = the control's size
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
  TColor Color = clDefault;  // clDefault = automatic colour
  RichVerticalAlign VerticalAlign = RichVerticalAlign::Normal;
  TColor Highlight = clDefault;  // the background marking the text; clDefault = none
  std::string Link;              // the target of the hyperlink the text belongs to; empty = none

  double SizePoints() const { return SizeHalfPoints / 2.0; }
  void SetSizePoints(double points) { SizeHalfPoints = static_cast<int>(points * 2 + 0.5); }
  friend bool operator==(const RichCharFormat&, const RichCharFormat&) = default;
};

struct RichRun {
  std::string Text;  // UTF-8, no paragraph breaks
  RichCharFormat Format;
  std::string Object;  // for an object run (Text is U+FFFC): the RTF it was read from
  friend bool operator==(const RichRun&, const RichRun&) = default;
};

struct RichParagraph {
  TAlignment Alignment = TAlignment::taLeftJustify;  // RTF "\qj" reads as left
  // Indents in twips (1/1440 inch); the first-line indent is relative to the left indent.
  int FirstIndent = 0;
  int LeftIndent = 0;
  int RightIndent = 0;
  // Space above and below, in twips.
  int SpaceBefore = 0;
  int SpaceAfter = 0;
  // Line spacing: 0 = single. With LineSpacingMultiple, LineSpacing / 240 lines; otherwise at
  // least LineSpacing twips, or exactly -LineSpacing twips when negative.
  int LineSpacing = 0;
  bool LineSpacingMultiple = false;
  bool InTable = false;
  bool EndsCell = false;
  std::string RowDefinition;  // non-empty on the last paragraph of a table row
  std::vector<RichRun> Runs;

  // The paragraph's text, line breaks as U+2028.
  std::string Text() const {
    std::string s;
    for (const RichRun& r : Runs) s += r.Text;
    return s;
  }
  friend bool operator==(const RichParagraph&, const RichParagraph&) = default;
};

struct RichDocument {
  std::vector<RichParagraph> Paragraphs;
  // The document's default font (RTF "\deff"); empty name = the control's font.
  RichFont DefaultFont{std::string(), kDefaultCharset};
  friend bool operator==(const RichDocument&, const RichDocument&) = default;
};

// Appends text to the paragraph, extending the last run when it has the same format.
inline void AppendText(RichParagraph& p, std::string_view utf8, const RichCharFormat& format) {
  if (utf8.empty()) return;
  if (!p.Runs.empty() && p.Runs.back().Format == format && p.Runs.back().Object.empty()) p.Runs.back().Text += utf8;
  else p.Runs.push_back(RichRun{std::string(utf8), format, {}});
}

// Appends an object run (Text U+FFFC) holding `rtf`.
inline void AppendObject(RichParagraph& p, std::string_view rtf, const RichCharFormat& format) {
  p.Runs.push_back(RichRun{std::string(kObjectText), format, std::string(rtf)});
}

// Merges neighbouring runs of equal format (object runs aside) and drops empty runs.
void NormalizeRuns(RichDocument& doc);

// The document as plain text: paragraphs separated by "\n", line breaks (U+2028) as "\n".
std::string PlainText(const RichDocument& doc);

// A document from UTF-8 text: each line ("\n", "\r\n" or "\r" ends one) becomes a paragraph;
// a final line break adds no empty paragraph. Every run gets `format`.
RichDocument RichDocumentFromText(std::string_view utf8, const RichCharFormat& format = {});

// The code page a font's text is written in: GB2312 -> 936, ANSI -> 1252, default -> the
// document's code page, the other Windows charsets to their code pages.
int CodePageForCharset(int charset, int documentCodePage);
// The charset whose code page is `codePage`; kDefaultCharset for a page no charset stands for.
int CharsetForCodePage(int codePage);

// A picture an object run's RTF holds (the first "\pict" group in it).
struct RtfPicture {
  enum class Kind { None, Png, Jpeg, Other } Type = Kind::None;
  int WidthTwips = 0, HeightTwips = 0;  // the size it is shown at; 0 when not given
  std::string Bytes;                    // the picture's file bytes (PNG or JPEG)
};
// At most `maxBytes` of picture data are decoded; a larger picture comes back as Other.
RtfPicture PictureOf(std::string_view objectRtf, size_t maxBytes = 16 << 20);

// Code page 1252 (Western). Unassigned bytes map to the C1 control of the same value.
char32_t Cp1252ToUnicode(unsigned char b);
// The 1252 byte of a character, or -1 when the code page cannot hold it.
int UnicodeToCp1252(char32_t ch);

// Text of a code page to UTF-8. Known: 936 (GBK), 950 (Big5), 932 (Shift-JIS), 949 (Korean),
// 1361 (Johab), 874 and 1250 to 1258, 437, 850, 10000 (Mac Roman) and 65001 (UTF-8); any other
// page reads as 1252. A byte a single-byte page does not assign stands for the C1 control of
// the same value; bytes that are no character of a double-byte page give U+FFFD.
std::string CodePageToUtf8(std::string_view bytes, int codePage);
// The bytes of one character (given as UTF-8) in a code page, only when the page holds it and
// they read back as the same character; empty otherwise.
std::string Utf8CharToCodePage(std::string_view utf8Char, int codePage);

// ---------------------------------------------------------------------------------------------
// Reading. Never throws on bad content: malformed input loads what can be made of it.
//
// What a document may ask of the layout is bounded: laying out costs the toolkit time and memory
// for every paragraph and every table cell, and more for every column of a table. A document with
// more paragraphs, more cells in a row or more cells in all is refused whole (ERichTextTooLarge,
// raised as soon as the reader meets the first one too many): showing only its first part would
// let the notes editor save that part over the whole.
inline constexpr int kMaxRichParagraphs = 50000;
inline constexpr int kMaxRichRowCells = 64;
inline constexpr int kMaxRichTableCells = 5000;
class ERichTextTooLarge : public Exception { using Exception::Exception; };
// The file-level message: the path as given, then what the document has too much of.
inline constexpr const char* SDocumentTooLarge = "Cannot show file %s: it has %s";

// Parses RTF. Text is decoded in the code page of its font (its "\cpg", else its "\fcharset",
// else the document's "\ansicpg"), as CodePageToUtf8 knows them; each run keeps its font's name,
// charset and "\cpg" (a font of the default charset takes the charset of the document's code
// page). Pictures, shapes and objects become object runs; a HYPERLINK field's result is linked to
// its target (other fields keep their result as text); table cells and rows keep their structure.
// Skipped: style sheet, document information, headers and footers, hidden text and every other
// "\*" destination.
RichDocument ReadRtf(std::string_view bytes);

// True when the bytes start, after an optional UTF-8 byte-order mark and white space, with "{\rtf".
bool LooksLikeRtf(std::string_view bytes);

// A non-RTF file as plain text: UTF-16 with a byte-order mark, UTF-8 (BOM stripped) when the
// bytes are valid UTF-8, otherwise GBK. Lines become paragraphs as in RichDocumentFromText.
RichDocument ReadPlainText(std::string_view bytes);

// RTF when the bytes look like RTF, plain text otherwise.
RichDocument LoadRichText(std::string_view bytes);

// Reads the file (EFOpenError "Cannot open file %s" with the path as given; backslashes are
// accepted as separators) and loads it with LoadRichText (ERichTextTooLarge with
// SDocumentTooLarge beyond the bounds above).
RichDocument LoadRichTextFile(const std::string& path);

// ---------------------------------------------------------------------------------------------
// Writing.

// RTF in code page 936. Each font keeps its name, charset and "\cpg"; text goes out as "\'xx"
// escapes in the font's "\cpg", else the code page of its charset (GBK for GB2312 and default fonts, 1252 for Western ones,
// Big5, Shift-JIS, 1251 ... for the others), characters that page cannot hold as "\uN?".
// Paragraphs end with "\par" ("\cell" at the end of a cell, the row's definition and "\row" at
// the end of a row); object runs go out as the RTF they hold; lines stay short.
std::string WriteRtf(const RichDocument& doc);

// Writes the RTF through a temporary file renamed over the target, so a failed save leaves the
// previous file intact (EFCreateError "Cannot create file %s" with the path as given).
void SaveRichTextFile(const std::string& path, const RichDocument& doc);

}  // namespace corvane
