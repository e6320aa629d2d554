// RTF reader and writer, plain-text fallback and the document files.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <regex>
#include <sstream>

#include "platform/core/Classes.h"
#include "platform/core/Encoding.h"
#include "platform/text/RichText.h"
#include "support/TestSupport.h"

namespace corvane {
namespace {

// Header of a Chinese document: font 0 宋体 (GB2312), font 1 Arial (Western); colours red, blue.
const std::string kHead =
    "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052"
    "{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}{\\f1\\fswiss\\fcharset0 Arial;}}"
    "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\r\n\\viewkind4\\uc1\\pard ";

std::string Text(std::string_view rtf) { return PlainText(ReadRtf(rtf)); }

// The format of the run whose text is exactly `text`; fails the test when there is none.
RichCharFormat FormatOf(const RichDocument& doc, std::string_view text) {
  for (const RichParagraph& p : doc.Paragraphs)
    for (const RichRun& r : p.Runs)
      if (r.Text == text) return r.Format;
  ADD_FAILURE() << "no run \"" << text << "\"";
  RichCharFormat missing;
  missing.FontName = "<no such run>";
  missing.SizeHalfPoints = -1;
  return missing;
}

std::vector<std::string> ParagraphTexts(const RichDocument& doc) {
  std::vector<std::string> out;
  for (const RichParagraph& p : doc.Paragraphs) out.push_back(p.Text());
  return out;
}

// ---------------------------------------------------------------------------------------------
// Text decoding.

TEST(RtfText, GbkEscapesCombineIntoCharacters) {
  RichDocument doc = ReadRtf(kHead + "\\f0 \\'d6\\'d0\\'ce\\'c4\\par}");
  ASSERT_EQ(doc.Paragraphs.size(), 1u);
  ASSERT_EQ(doc.Paragraphs[0].Runs.size(), 1u);
  const RichRun& run = doc.Paragraphs[0].Runs[0];
  EXPECT_EQ(run.Text, "中文");
  EXPECT_EQ(run.Format.FontName, "宋体");
  EXPECT_EQ(run.Format.Charset, kGb2312Charset);
  EXPECT_EQ(doc.DefaultFont, (RichFont{"宋体", kGb2312Charset}));
}

TEST(RtfText, RawGbkBytesAndUppercaseHex) {
  EXPECT_EQ(Text(kHead + "\xc4\xe3\\'BA\\'C3}"), "你好");
}

TEST(RtfText, CodePageFollowsFontCharset) {
  // No \ansicpg: the document is 1252, but a GB2312 font's text is GBK all the same.
  std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset134 SimSun;}{\\f1\\fcharset0 Arial;}}"
                    "\\f0 \\'c4\\'e3\\f1 caf\\'e9 \\'80\\'96}";
  EXPECT_EQ(Text(rtf), "你café €–");
  // In a Chinese document a Western font still reads 1252.
  EXPECT_EQ(Text(kHead + "\\f1 \\'e9}"), "é");
  // Without any font table the default code page is 1252.
  EXPECT_EQ(Text("{\\rtf1 \\'e4\\'f6}"), "äö");
  // A font without \fcharset follows \ansicpg.
  EXPECT_EQ(Text("{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0 Foo;}}\\f0 \\'d6\\'d0}"), "中");
}

TEST(RtfText, UnicodeWithFallbackCount) {
  EXPECT_EQ(Text("{\\rtf1\\uc1\\u20320?\\u22909?}"), "你好");
  // \uc0: nothing to skip, so the following text stays.
  EXPECT_EQ(Text("{\\rtf1\\uc0\\u20320 ab}"), "你ab");
  // \uc2: a GBK fallback of two escapes is skipped as two characters.
  EXPECT_EQ(Text(kHead + "\\uc2\\u20320\\'c4\\'e3x}"), "你x");
  // The default count is 1.
  EXPECT_EQ(Text("{\\rtf1 \\u22909?y}"), "好y");
  // Negative values are 16-bit: -255 is U+FF01.
  EXPECT_EQ(Text("{\\rtf1\\u-255?}"), "！");
  // A control word counts as one fallback character.
  EXPECT_EQ(Text("{\\rtf1\\uc1\\u20320\\'3fx}"), "你x");
  // A group boundary ends the skipping.
  EXPECT_EQ(Text("{\\rtf1\\uc2\\u20320{x}y}"), "你xy");
}

TEST(RtfText, UnicodeCountIsPerGroup) {
  EXPECT_EQ(Text(kHead + "\\uc2{\\uc0\\u20320 a}\\u22909\\'ba\\'c3b}"), "你a好b");
}

TEST(RtfText, SurrogatePairsCombine) {
  EXPECT_EQ(Text("{\\rtf1\\u-10176?\\u-9216?}"), "𠀀");
  EXPECT_EQ(Text("{\\rtf1\\uc0\\u-10179 \\u-8704 }"), "😀");
  // A lone half becomes U+FFFD and the text goes on.
  EXPECT_EQ(Text("{\\rtf1\\u-10179?x\\u-8704?}"), "\uFFFDx\uFFFD");
}

TEST(RtfText, SpecialCharactersAndSymbols) {
  EXPECT_EQ(Text("{\\rtf1 a\\{b\\}c\\\\d\\tab e\\line f\\~g\\-h\\_i\\emdash\\bullet}"),
            "a{b}c\\d\te\nf\u00A0gh\u2011i—•");
  RichDocument doc = ReadRtf("{\\rtf1 x\\line y}");
  EXPECT_EQ(doc.Paragraphs.at(0).Text(), "x\u2028y");
}

TEST(RtfText, SourceLineBreaksAreIgnored) {
  EXPECT_EQ(Text("{\\rtf1 ab\r\ncd\ne\rf}"), "abcdef");
  // A backslash before a line break is a paragraph mark.
  EXPECT_EQ(ParagraphTexts(ReadRtf("{\\rtf1 ab\\\ncd}")), (std::vector<std::string>{"ab", "cd"}));
}

TEST(RtfText, FontNamesInEscapesAndWithoutGroups) {
  RichDocument doc = ReadRtf(
      "{\\rtf1\\ansi\\ansicpg936\\deff1{\\fonttbl\\f0\\fswiss\\fcharset0 Arial;"
      "\\f1\\fnil\\fcharset134 \\'ba\\'da\\'cc\\'e5;}\\f0 a\\f1\\b b\\plain c}");
  EXPECT_EQ(FormatOf(doc, "a").FontName, "Arial");
  EXPECT_EQ(FormatOf(doc, "a").Charset, kAnsiCharset);
  EXPECT_EQ(FormatOf(doc, "b").FontName, "黑体");
  // \plain returns to the \deff font.
  EXPECT_EQ(FormatOf(doc, "c").FontName, "黑体");
  EXPECT_EQ(doc.DefaultFont.Name, "黑体");
}

TEST(RtfText, FontEntriesWithSubDestinations) {
  RichDocument doc = ReadRtf(
      "{\\rtf1{\\fonttbl{\\f0\\froman\\fcharset0\\fprq2{\\*\\panose 02020603050405020304}Times New Roman;}"
      "{\\f1\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5{\\*\\falt SimSun};}{\\f2\\fcharset134 \\u23435?\\u20307?;}}"
      "\\f0 a\\f1 b\\f2\\i c\\i0\\f9 d}");
  EXPECT_EQ(FormatOf(doc, "a").FontName, "Times New Roman");
  EXPECT_EQ(FormatOf(doc, "b").FontName, "宋体");
  EXPECT_EQ(FormatOf(doc, "c").FontName, "宋体");
  // An unknown font number falls back to the default font.
  EXPECT_EQ(FormatOf(doc, "d").FontName, "Times New Roman");
}

// Notes written in other code pages: each font's text reads in its own page, and its name too.
struct ForeignNote {
  const char* label;
  std::string rtf;
  std::string fontName;
  int charset;
  std::string text;
};

std::vector<ForeignNote> ForeignNotes() {
  return {
      {"Big5",
       "{\\rtf1\\ansi\\ansicpg950\\deff0{\\fonttbl{\\f0\\fnil\\fcharset136 \\'b7\\'73\\'b2\\'d3\\'a9\\'fa\\'c5\\'e9;}}"
       "\\f0\\fs24 \\'a9\\'f6\\'b8\\'67\\'a4\\'a4\\'a4\\'e5\\par}",
       "新細明體", 136, "易經中文"},
      {"Shift-JIS",
       "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 \\'82\\'6c\\'82\\'72 \\'96\\'be\\'92\\'a9;}}"
       "\\f0 \\'93\\'fa\\'96\\'7b\\'8c\\'ea\\'a1\\'b6\\'dd\\par}",
       "ＭＳ 明朝", 128, "日本語｡ｶﾝ"},
      {"Korean",
       "{\\rtf1\\ansi\\ansicpg949\\deff0{\\fonttbl{\\f0\\fnil\\fcharset129 \\'b1\\'bc\\'b8\\'b2;}}"
       "\\f0 \\'c7\\'d1\\'b1\\'b9\\'be\\'ee\\par}",
       "굴림", 129, "한국어"},
      {"Cyrillic",
       "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset204 \\'c0\\'f0\\'e8\\'e0\\'eb;}}"
       "\\f0 \\'ca\\'ed\\'e8\\'e3\\'e0 \\'cf\\'e5\\'f0\\'e5\\'ec\\'e5\\'ed\\par}",
       "Ариал", 204, "Книга Перемен"},
      {"Central European",
       "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset238 Arial CE;}}"
       "\\f0 Ksi\\'eag\\'b9 Przemian \\'9f\\'f3\\'b3w\\par}",
       "Arial CE", 238, "Księgą Przemian źółw"},
      {"Greek", "{\\rtf1{\\fonttbl{\\f0\\fcharset161 Arial Greek;}}\\f0 \\'c2\\'e9\\'e2\\'eb\\'df\\'ef\\par}",
       "Arial Greek", 161, "Βιβλίο"},
      {"Thai", "{\\rtf1{\\fonttbl{\\f0\\fcharset222 Tahoma;}}\\f0 \\'ca\\'c7\\'d1\\'ca\\'b4\\'d5\\par}", "Tahoma", 222,
       "สวัสดี"},
      {"Turkish", "{\\rtf1{\\fonttbl{\\f0\\fcharset162 Arial Tur;}}\\f0 \\'fe\\'f0\\'fd\\'dd\\par}", "Arial Tur", 162,
       "şğıİ"},
      {"Hebrew", "{\\rtf1{\\fonttbl{\\f0\\fcharset177 David;}}\\f0 \\'f9\\'ec\\'e5\\'ed\\par}", "David", 177, "שלום"},
      {"Arabic", "{\\rtf1{\\fonttbl{\\f0\\fcharset178 Arial;}}\\f0 \\'e3\\'d1\\'cd\\'c8\\'c7\\par}", "Arial", 178,
       "مرحبا"},
      {"Baltic", "{\\rtf1{\\fonttbl{\\f0\\fcharset186 Arial Baltic;}}\\f0 \\'e0\\'e8\\'eb\\'f0\\par}", "Arial Baltic",
       186, "ąčėš"},
      {"Vietnamese", "{\\rtf1{\\fonttbl{\\f0\\fcharset163 Times;}}\\f0 Vi\\'ea\\'cct \\'d0\\'f4\\par}", "Times", 163,
       "Viê\u0300t Đô"},
  };
}

TEST(RtfCodePages, EachFontReadsInItsOwnCodePage) {
  for (const ForeignNote& note : ForeignNotes()) {
    SCOPED_TRACE(note.label);
    RichDocument doc = ReadRtf(note.rtf);
    ASSERT_EQ(doc.Paragraphs.size(), 1u);
    ASSERT_EQ(doc.Paragraphs[0].Runs.size(), 1u);
    EXPECT_EQ(doc.Paragraphs[0].Runs[0].Text, note.text);
    EXPECT_EQ(doc.Paragraphs[0].Runs[0].Format.FontName, note.fontName);
    EXPECT_EQ(doc.Paragraphs[0].Runs[0].Format.Charset, note.charset);
  }
}

TEST(RtfCodePages, DocumentPageCpgAndUtf8) {
  // A font of the default charset follows \ansicpg; "\cpg" of the entry wins over its charset.
  EXPECT_EQ(Text("{\\rtf1\\ansi\\ansicpg950{\\fonttbl{\\f0\\fcharset1 X;}}\\f0 \\'a4\\'a4}"), "中");
  EXPECT_EQ(Text("{\\rtf1{\\fonttbl{\\f0\\fcharset0\\cpg1251 X;}}\\f0 \\'c0}"), "А");
  EXPECT_EQ(Text("{\\rtf1\\ansi\\ansicpg65001 \\'e4\\'b8\\'ad}"), "中");
  // A Big5 font in a Chinese (936) document still reads Big5, its name too.
  RichDocument doc = ReadRtf("{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fcharset136 \\'b7\\'73\\'b2\\'d3\\'a9\\'fa\\'c5\\'e9;}}"
                             "\\f0 \\'a4\\'a4}");
  EXPECT_EQ(FormatOf(doc, "中").FontName, "新細明體");
}

// A font of the default charset in a Big5 note reads in Big5 (its name too) and is written back
// as a Big5 font; a font's "\\cpg" is kept and decides the page its text is written in.
TEST(RtfCodePages, DefaultCharsetFontsAndFontCodePagesAreKept) {
  const std::string big5 =
      "{\\rtf1\\ansi\\ansicpg950\\deff0{\\fonttbl{\\f0\\fnil\\fcharset1 \\'b7\\'73\\'b2\\'d3\\'a9\\'fa\\'c5\\'e9;}"
      "{\\f1\\fnil \\'b2\\'d3\\'a9\\'fa;}}\\f0 \\'a9\\'f6\\'b8\\'67\\f1 \\'a4\\'a4\\par}";
  RichDocument doc = ReadRtf(big5);
  EXPECT_EQ(PlainText(doc), "易經中");
  EXPECT_EQ(FormatOf(doc, "易經").FontName, "新細明體");
  EXPECT_EQ(FormatOf(doc, "易經").Charset, 136);
  EXPECT_EQ(FormatOf(doc, "中").FontName, "細明");
  EXPECT_EQ(FormatOf(doc, "中").Charset, 136);
  EXPECT_EQ(doc.DefaultFont, (RichFont{"新細明體", 136}));
  std::string rtf = WriteRtf(doc);
  EXPECT_NE(rtf.find("\\fcharset136 \\'b7\\'73\\'b2\\'d3\\'a9\\'fa\\'c5\\'e9;"), std::string::npos) << rtf;
  EXPECT_NE(rtf.find("\\'a9\\'f6\\'b8\\'67"), std::string::npos) << rtf;
  EXPECT_EQ(ReadRtf(rtf), doc);

  const std::string cpg = "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fcharset0\\cpg1251 Arial;}{\\f1\\fcharset134\\cpg950 X;}}"
                          "\\f0 \\'c0\\'e1\\f1 \\'a4\\'a4\\par}";
  doc = ReadRtf(cpg);
  EXPECT_EQ(PlainText(doc), "Аб中");
  EXPECT_EQ(FormatOf(doc, "Аб").CodePage, 1251);
  EXPECT_EQ(FormatOf(doc, "中").CodePage, 950);
  rtf = WriteRtf(doc);
  EXPECT_NE(rtf.find("\\fcharset0\\cpg1251 Arial;"), std::string::npos) << rtf;
  EXPECT_NE(rtf.find("\\fcharset134\\cpg950 X;"), std::string::npos) << rtf;
  EXPECT_NE(rtf.find("\\'c0\\'e1"), std::string::npos) << rtf;
  EXPECT_NE(rtf.find("\\'a4\\'a4"), std::string::npos) << rtf;
  EXPECT_EQ(ReadRtf(rtf), doc);
}

TEST(RtfCodePages, BadDoubleByteSequencesCostOnlyThemselves) {
  // A lead byte before ASCII text keeps the text; a lead byte with a bad trail byte is one
  // replacement character; a lead byte at the end is one too.
  const std::string head = "{\\rtf1{\\fonttbl{\\f0\\fcharset136 X;}}\\f0 ";
  EXPECT_EQ(Text(head + "\\'a4!ab\\'a4\\'a4}"), "\uFFFD!ab中");
  EXPECT_EQ(Text(head + "\\'a4\\'ff\\'a4\\'a4}"), "\uFFFD中");
  EXPECT_EQ(Text(head + "x\\'a4}"), "x\uFFFD");
  // Shift-JIS single-byte kana between double-byte characters.
  EXPECT_EQ(Text("{\\rtf1{\\fonttbl{\\f0\\fcharset128 X;}}\\f0 \\'b1\\'93\\'fa\\'b2}"), "ｱ日ｲ");
}

TEST(RtfCodePages, EncodingIsTheInverseOfDecoding) {
  for (int cp : {874, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258, 437, 850, 10000}) {
    for (int b = 0x80; b < 256; ++b) {
      std::string byte(1, static_cast<char>(b));
      std::string utf8 = CodePageToUtf8(byte, cp);
      EXPECT_EQ(Utf8CharToCodePage(utf8, cp), byte) << cp << " byte " << b;
    }
  }
  EXPECT_EQ(Utf8CharToCodePage("中", 950), "\xa4\xa4");
  EXPECT_EQ(Utf8CharToCodePage("中", 936), "\xd6\xd0");
  EXPECT_EQ(Utf8CharToCodePage("日", 932), "\x93\xfa");
  EXPECT_EQ(Utf8CharToCodePage("한", 949), "\xc7\xd1");
  EXPECT_EQ(Utf8CharToCodePage("中", 1251), "");
  EXPECT_EQ(Utf8CharToCodePage("Ж", 1252), "");
  EXPECT_EQ(Utf8CharToCodePage("한", 950), "");
  EXPECT_EQ(Utf8CharToCodePage("ab", 1251), "");  // one character only
}

TEST(RtfCodePages, ForeignNotesWriteBackInTheirOwnPages) {
  for (const ForeignNote& note : ForeignNotes()) {
    SCOPED_TRACE(note.label);
    RichDocument doc = ReadRtf(note.rtf);
    std::string rtf = WriteRtf(doc);
    RichDocument back = ReadRtf(rtf);
    ASSERT_EQ(back.Paragraphs.size(), 1u);
    EXPECT_EQ(back.Paragraphs[0].Runs.at(0).Text, note.text);
    EXPECT_EQ(back.Paragraphs[0].Runs.at(0).Format.FontName, note.fontName);
    EXPECT_EQ(back.Paragraphs[0].Runs.at(0).Format.Charset, note.charset);
    EXPECT_FALSE(std::regex_search(rtf, std::regex(R"(\\u-?[0-9])"))) << rtf;  // every character fits its font's page
  }
  // The text bytes are those of the original note.
  std::string big5 = WriteRtf(ReadRtf(ForeignNotes()[0].rtf));
  EXPECT_NE(big5.find("\\'a9\\'f6\\'b8\\'67\\'a4\\'a4\\'a4\\'e5"), std::string::npos) << big5;
  EXPECT_NE(big5.find("\\fcharset136 \\'b7\\'73\\'b2\\'d3\\'a9\\'fa\\'c5\\'e9;"), std::string::npos) << big5;
  // A character the font's page cannot hold goes out as \uN.
  RichDocument mixed;
  mixed.Paragraphs.resize(1);
  RichCharFormat cyr;
  cyr.FontName = "Arial";
  cyr.Charset = 204;
  cyr.SizeHalfPoints = 24;
  AppendText(mixed.Paragraphs[0], "Я中", cyr);
  std::string out = WriteRtf(mixed);
  EXPECT_NE(out.find("\\'df\\u20013?"), std::string::npos) << out;
  EXPECT_EQ(PlainText(ReadRtf(out)), "Я中");
}

// ---------------------------------------------------------------------------------------------
// Character and paragraph formats.

TEST(RtfFormat, StylesSizesAndColours) {
  RichDocument doc = ReadRtf(kHead +
                             "\\f1\\fs20 n\\b b\\b0\\i i\\i0\\ul u\\ulnone\\strike s\\strike0"
                             "\\cf1 r\\cf2 l\\cf0 d\\fs21 h\\ul x\\ul0 y\\b1 z}");
  const RichCharFormat n = FormatOf(doc, "n");
  EXPECT_EQ(n.SizeHalfPoints, 20);
  EXPECT_DOUBLE_EQ(n.SizePoints(), 10.0);
  EXPECT_FALSE(n.Bold || n.Italic || n.Underline || n.StrikeOut);
  EXPECT_EQ(n.Color, clDefault);
  EXPECT_TRUE(FormatOf(doc, "b").Bold);
  EXPECT_FALSE(FormatOf(doc, "i").Bold);
  EXPECT_TRUE(FormatOf(doc, "i").Italic);
  EXPECT_TRUE(FormatOf(doc, "u").Underline);
  EXPECT_FALSE(FormatOf(doc, "u").Italic);
  EXPECT_TRUE(FormatOf(doc, "s").StrikeOut);
  EXPECT_FALSE(FormatOf(doc, "s").Underline);
  EXPECT_EQ(FormatOf(doc, "r").Color, clRed);
  EXPECT_EQ(FormatOf(doc, "l").Color, clBlue);
  EXPECT_EQ(FormatOf(doc, "d").Color, clDefault);
  EXPECT_EQ(FormatOf(doc, "h").SizeHalfPoints, 21);
  EXPECT_DOUBLE_EQ(FormatOf(doc, "h").SizePoints(), 10.5);
  EXPECT_TRUE(FormatOf(doc, "x").Underline);
  EXPECT_FALSE(FormatOf(doc, "y").Underline);
  EXPECT_TRUE(FormatOf(doc, "z").Bold);
}

TEST(RtfFormat, DefaultsAndPlain) {
  RichDocument doc = ReadRtf(kHead + "a\\b\\i\\fs40\\cf1\\f1 x\\plain y}");
  const RichCharFormat a = FormatOf(doc, "a");
  EXPECT_EQ(a.SizeHalfPoints, 24);  // RTF's default size
  EXPECT_EQ(a.FontName, "宋体");    // the \deff font
  const RichCharFormat y = FormatOf(doc, "y");
  EXPECT_EQ(y, a);
  EXPECT_NE(FormatOf(doc, "x"), a);
}

TEST(RtfFormat, GroupsRestoreTheFormat) {
  RichDocument doc = ReadRtf(kHead + "{\\b a{\\i\\cf1 b}c}d}");
  EXPECT_TRUE(FormatOf(doc, "a").Bold);
  EXPECT_FALSE(FormatOf(doc, "a").Italic);
  EXPECT_TRUE(FormatOf(doc, "b").Bold);
  EXPECT_TRUE(FormatOf(doc, "b").Italic);
  EXPECT_EQ(FormatOf(doc, "b").Color, clRed);
  EXPECT_TRUE(FormatOf(doc, "c").Bold);
  EXPECT_EQ(FormatOf(doc, "c").Color, clDefault);
  EXPECT_FALSE(FormatOf(doc, "d").Bold);
}

TEST(RtfFormat, ParagraphAlignmentAndIndents) {
  RichDocument doc = ReadRtf(kHead +
                             "\\qc c\\par\\pard\\qr r\\par\\pard l\\par\\qj j\\par"
                             "\\qc c2\\par c3\\par\\pard\\fi-360\\li720\\ri100 ind\\par}");
  ASSERT_EQ(doc.Paragraphs.size(), 7u);
  EXPECT_EQ(doc.Paragraphs[0].Alignment, TAlignment::taCenter);
  EXPECT_EQ(doc.Paragraphs[1].Alignment, TAlignment::taRightJustify);
  EXPECT_EQ(doc.Paragraphs[2].Alignment, TAlignment::taLeftJustify);
  EXPECT_EQ(doc.Paragraphs[3].Alignment, TAlignment::taLeftJustify);
  // Without \pard the alignment carries over to the next paragraph.
  EXPECT_EQ(doc.Paragraphs[4].Alignment, TAlignment::taCenter);
  EXPECT_EQ(doc.Paragraphs[5].Alignment, TAlignment::taCenter);
  EXPECT_EQ(doc.Paragraphs[6].Alignment, TAlignment::taLeftJustify);
  EXPECT_EQ(doc.Paragraphs[6].FirstIndent, -360);
  EXPECT_EQ(doc.Paragraphs[6].LeftIndent, 720);
  EXPECT_EQ(doc.Paragraphs[6].RightIndent, 100);
  // The alignment of an unterminated last paragraph is kept too.
  EXPECT_EQ(ReadRtf("{\\rtf1\\qr tail}").Paragraphs.at(0).Alignment, TAlignment::taRightJustify);
}

TEST(RtfFormat, ColourTableWithoutAutoEntry) {
  RichDocument doc = ReadRtf("{\\rtf1{\\colortbl\\red0\\green0\\blue0;\\red0\\green128\\blue0;}"
                             "\\cf0 k\\cf1 g\\cf7 o}");
  EXPECT_EQ(FormatOf(doc, "k").Color, RGB(0, 0, 0));
  EXPECT_EQ(FormatOf(doc, "g").Color, RGB(0, 128, 0));
  EXPECT_EQ(FormatOf(doc, "o").Color, clDefault);  // out of the table
}

// ---------------------------------------------------------------------------------------------
// Groups, destinations and paragraphs.

TEST(RtfStructure, SkippedDestinations) {
  std::string rtf =
      "{\\rtf1{\\*\\generator Foo 1.0;}{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}{\\author A}}"
      "{\\header H{\\pict\\pngblip 01}}{\\footer F}{\\*\\themedata 504b}{\\*\\unknownthing Z{\\b nested}}"
      "{\\*\\bkmkstart m}{\\*\\listpicture{\\pict 02}}vis{\\v hidden{\\pict 03}}ible}";
  EXPECT_EQ(Text(rtf), "visible");
}

// Pictures, shapes and objects are kept whole, each in an object run at its place in the text;
// the picture given for older readers joins the one it stands in for.
TEST(RtfStructure, ObjectsAreKeptAsTheyWere) {
  const std::string pict = "{\\pict\\pngblip\\picwgoal300 89504e47}";
  const std::string shp = "{\\*\\shppict{\\pict\\jpegblip\\bin3 {}}}}";
  const std::string alt = "{\\nonshppict{\\pict\\wmetafile8 0102}}";
  const std::string object = "{\\object\\objemb{\\*\\objclass Paint}{\\*\\objdata 0102}{\\result{\\pict\\dibitmap0 00}}}";
  RichDocument doc = ReadRtf(kHead + "a" + pict + pict + "b" + shp + "\r\n" + alt + "{\\b c}" + object + "\\par " + alt + "}");
  ASSERT_EQ(doc.Paragraphs.size(), 2u);
  std::vector<std::string> objects;
  for (const RichRun& r : doc.Paragraphs[0].Runs)
    if (!r.Object.empty()) {
      EXPECT_EQ(r.Text, "\uFFFC");
      objects.push_back(r.Object);
    }
  EXPECT_EQ(objects, (std::vector<std::string>{pict, pict, shp + alt, object}));
  EXPECT_EQ(PlainText(doc), "a\uFFFC\uFFFCb\uFFFCc\uFFFC\n\uFFFC");
  EXPECT_EQ(doc.Paragraphs[1].Runs.at(0).Object, alt) << "a fallback with nothing before it is an object of its own";
  // Written back as they were, and read back the same.
  std::string rtf = WriteRtf(doc);
  for (const std::string& o : {pict, shp + alt, object}) EXPECT_NE(rtf.find(o), std::string::npos) << o;
  EXPECT_EQ(ReadRtf(rtf), doc);
  // An object the file never closes is not kept; the text before it is.
  EXPECT_EQ(Text(kHead + "x{\\pict\\pngblip 8950"), "x");
  // Only the first word of a group names an object: text before it is text, once.
  doc = ReadRtf(kHead + "{\\\\pard *\\shppict{\\pict 01}}}");
  EXPECT_EQ(PlainText(doc), "\\pard *\uFFFC");
  EXPECT_EQ(PlainText(ReadRtf(WriteRtf(doc))), PlainText(doc));
  // A fallback picture that did not follow its object directly stays an object of its own.
  doc = ReadRtf(kHead + "{\\pict 02}\\b0 {\\nonshppict{\\pict 03}}}");
  ASSERT_EQ(doc.Paragraphs.at(0).Runs.size(), 2u);
  EXPECT_EQ(ReadRtf(WriteRtf(doc)), doc);
}

TEST(RtfStructure, PicturesInsideObjects) {
  const std::string png = "89504e470d0a1a0a";
  RtfPicture p = PictureOf("{\\*\\shppict{\\pict{\\*\\picprop{\\sp{\\sn a}{\\sv 1}}}\\picscalex50\\picscaley200"
                           "\\picw10\\pich10\\picwgoal1000\\pichgoal300\\pngblip\r\n" + png + "\r\n}}");
  EXPECT_EQ(p.Type, RtfPicture::Kind::Png);
  EXPECT_EQ(p.Bytes, std::string("\x89PNG\r\n\x1a\n", 8));
  EXPECT_EQ(p.WidthTwips, 500);
  EXPECT_EQ(p.HeightTwips, 600);
  p = PictureOf("{\\pict\\jpegblip\\bin4 {}\\x}");
  EXPECT_EQ(p.Type, RtfPicture::Kind::Jpeg);
  EXPECT_EQ(p.Bytes, "{}\\x");
  EXPECT_EQ(p.WidthTwips, 0);
  // A bitmap without a goal size is its pixels at 96 per inch; a metafile is some other picture.
  p = PictureOf("{\\pict\\dibitmap0\\picw4\\pich2 00}");
  EXPECT_EQ(p.Type, RtfPicture::Kind::Other);
  EXPECT_EQ(p.WidthTwips, 60);
  EXPECT_EQ(p.HeightTwips, 30);
  EXPECT_EQ(PictureOf("{\\object{\\*\\objdata 01}}").Type, RtfPicture::Kind::None);
  EXPECT_EQ(PictureOf("{\\pictx 01}").Type, RtfPicture::Kind::None);
  // Too much picture data gives no bytes.
  p = PictureOf("{\\pict\\pngblip " + png + "}", 4);
  EXPECT_EQ(p.Type, RtfPicture::Kind::Other);
  EXPECT_TRUE(p.Bytes.empty());
}

TEST(RtfStructure, HyperlinksKeepTheirTarget) {
  RichDocument doc = ReadRtf(kHead +
                             "{\\field{\\*\\fldinst{HYPERLINK \"http://x.org/a b\" \\\\o \"tip\"}}{\\fldrslt{\\ul one}{ two}}} "
                             "{\\field{\\*\\fldinst HYPERLINK \\\\l \"place\"}{\\fldrslt here}} "
                             "{\\field{\\*\\fldinst{HYPERLINK http://y.org/\\u20013?}}{\\fldrslt y}} "
                             "{\\field{\\*\\fldinst PAGE}{\\fldrslt 7}}\\par}");
  EXPECT_EQ(PlainText(doc), "one two here y 7");
  EXPECT_EQ(FormatOf(doc, "one").Link, "http://x.org/a b");
  EXPECT_EQ(FormatOf(doc, " two").Link, "http://x.org/a b");
  EXPECT_EQ(FormatOf(doc, "here").Link, "#place");
  EXPECT_EQ(FormatOf(doc, "y").Link, "http://y.org/中");
  EXPECT_EQ(FormatOf(doc, " 7").Link, "") << "other fields are their result only";
  std::string rtf = WriteRtf(doc);
  EXPECT_NE(rtf.find("{\\field{\\*\\fldinst{HYPERLINK \"http://x.org/a b\"}}{\\fldrslt{\\ul one\\ulnone  two}}}"), std::string::npos) << rtf;
  EXPECT_EQ(ReadRtf(rtf), doc);
}

TEST(RtfStructure, TablesKeepCellsRowsAndDefinitions) {
  const std::string row = "\\trowd\\trgaph108\\trleft-108\\trqc\\clvertalc\\clbrdrt\\brdrs\\brdrw10\\clcbpat2\\cellx1500\\cellx4000";
  // The definition is given again before the row's end, as some writers do.
  RichDocument doc = ReadRtf(kHead + "before\\par " + row + "\\pard\\intbl a\\cell b1\\par\\pard\\intbl\\qc b2\\cell" + row +
                             "\\row " + row + "\\pard\\intbl c\\cell\\cell\\row\\pard after\\par}");
  std::vector<std::string> texts = ParagraphTexts(doc);
  EXPECT_EQ(texts, (std::vector<std::string>{"before", "a", "b1", "b2", "c", "", "after"}));
  std::vector<int> inTable, endsCell, endsRow;
  for (const RichParagraph& p : doc.Paragraphs) {
    inTable.push_back(p.InTable);
    endsCell.push_back(p.EndsCell);
    endsRow.push_back(p.RowDefinition == row ? 1 : p.RowDefinition.empty() ? 0 : -1);
  }
  EXPECT_EQ(inTable, (std::vector<int>{0, 1, 1, 1, 1, 1, 0}));
  EXPECT_EQ(endsCell, (std::vector<int>{0, 1, 0, 1, 1, 1, 0}));
  EXPECT_EQ(endsRow, (std::vector<int>{0, 0, 0, 1, 0, 1, 0}));
  EXPECT_EQ(doc.Paragraphs[3].Alignment, TAlignment::taCenter);
  // Written: each row's definition before its first cell, "\\cell" and "\\row" where they were.
  std::string rtf = WriteRtf(doc);
  std::string oneLine = std::regex_replace(rtf, std::regex("\r\n"), "");
  EXPECT_NE(oneLine.find(row + "\\pard\\intbl a\\cell"), std::string::npos) << rtf;
  EXPECT_NE(oneLine.find("b2\\cell\\row"), std::string::npos) << rtf;
  EXPECT_EQ(ReadRtf(rtf), doc);
  // Cells with no row end, and a row end with no cells.
  RichDocument open = ReadRtf(kHead + "\\intbl x\\cell y}");
  ASSERT_EQ(open.Paragraphs.size(), 2u);
  EXPECT_TRUE(open.Paragraphs[1].InTable);
  EXPECT_EQ(ReadRtf(WriteRtf(open)), open);
  EXPECT_EQ(ParagraphTexts(ReadRtf(kHead + "\\trowd\\cellx100\\row z\\par}")), (std::vector<std::string>{"z"}));
}

TEST(RtfFormat, SuperscriptSubscriptHighlightAndSpacing) {
  RichDocument doc = ReadRtf(kHead + "\\sl-280\\sb100\\sa50 x{\\super 2}{\\sub i}{\\super\\nosupersub n}"
                             "{\\highlight1 red}{\\highlight0 none}{\\plain\\highlight2 blue}\\par"
                             "\\pard\\sl480\\slmult1 double\\par\\pard single\\par}");
  EXPECT_EQ(FormatOf(doc, "2").VerticalAlign, RichVerticalAlign::Superscript);
  EXPECT_EQ(FormatOf(doc, "i").VerticalAlign, RichVerticalAlign::Subscript);
  EXPECT_EQ(FormatOf(doc, "red").Highlight, clRed);
  EXPECT_EQ(FormatOf(doc, "none").Highlight, clDefault);
  EXPECT_EQ(FormatOf(doc, "blue").Highlight, clBlue);
  ASSERT_EQ(doc.Paragraphs.size(), 3u);
  EXPECT_EQ(doc.Paragraphs[0].LineSpacing, -280);
  EXPECT_FALSE(doc.Paragraphs[0].LineSpacingMultiple);
  EXPECT_EQ(doc.Paragraphs[0].SpaceBefore, 100);
  EXPECT_EQ(doc.Paragraphs[0].SpaceAfter, 50);
  EXPECT_EQ(doc.Paragraphs[1].LineSpacing, 480);
  EXPECT_TRUE(doc.Paragraphs[1].LineSpacingMultiple);
  EXPECT_EQ(doc.Paragraphs[2].LineSpacing, 0) << "\\pard resets the spacing";
  EXPECT_EQ(PlainText(doc), "x2in" "rednoneblue\ndouble\nsingle");
  EXPECT_EQ(ReadRtf(WriteRtf(doc)), doc);
}

TEST(RtfStructure, FieldKeepsItsResult) {
  RichDocument doc =
      ReadRtf(kHead + "see {\\field{\\*\\fldinst{HYPERLINK \"http://x\"}}{\\fldrslt{\\ul\\cf2 link}}} now}");
  EXPECT_EQ(PlainText(doc), "see link now");
  const RichCharFormat link = FormatOf(doc, "link");
  EXPECT_TRUE(link.Underline);
  EXPECT_EQ(link.Color, clBlue);
}

TEST(RtfStructure, UnicodeAlternativeGroup) {
  EXPECT_EQ(Text("{\\rtf1 a{\\upr{ansi}{\\*\\ud{uni}}}b}"), "aunib");
}

TEST(RtfStructure, ParagraphMarks) {
  EXPECT_EQ(ParagraphTexts(ReadRtf("{\\rtf1 a\\par b\\par}")), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(ParagraphTexts(ReadRtf("{\\rtf1 a\\par b}")), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(ParagraphTexts(ReadRtf("{\\rtf1 a\\par\\par}")), (std::vector<std::string>{"a", ""}));
  EXPECT_TRUE(ReadRtf("{\\rtf1}").Paragraphs.empty());
  // Everything after the document's closing brace is ignored.
  EXPECT_EQ(Text("{\\rtf1 a}b}"), "a");
}

TEST(RtfStructure, NeighbouringTextOfOneFormatIsOneRun) {
  RichDocument doc = ReadRtf(kHead + "ab{c}\\u20320?{\\b d}{\\b e}\\'d6\\'d0}");
  ASSERT_EQ(doc.Paragraphs.size(), 1u);
  ASSERT_EQ(doc.Paragraphs[0].Runs.size(), 3u);
  EXPECT_EQ(doc.Paragraphs[0].Runs[0].Text, "abc你");
  EXPECT_EQ(doc.Paragraphs[0].Runs[1].Text, "de");
  EXPECT_EQ(doc.Paragraphs[0].Runs[2].Text, "中");
}

// ---------------------------------------------------------------------------------------------
// Writing and reading back.

RichCharFormat Fmt(std::string font, int charset, int size) {
  RichCharFormat f;
  f.FontName = std::move(font);
  f.Charset = charset;
  f.SizeHalfPoints = size;
  return f;
}

RichDocument SampleDocument() {
  RichDocument doc;
  doc.DefaultFont = {"宋体", kGb2312Charset};
  RichParagraph title;
  title.Alignment = TAlignment::taCenter;
  RichCharFormat t = Fmt("宋体", kGb2312Charset, 32);
  t.Bold = true;
  t.Color = clRed;
  AppendText(title, "乾为天 第一卦", t);
  doc.Paragraphs.push_back(title);

  RichParagraph mixed;
  RichCharFormat a = Fmt("Arial", kAnsiCharset, 21);
  a.Italic = true;
  a.Underline = true;
  AppendText(mixed, "Hello {World} \\ back; café €", a);
  RichCharFormat s = Fmt("宋体", kGb2312Charset, 24);
  s.StrikeOut = true;
  s.Color = RGB(1, 2, 3);
  AppendText(mixed, "元亨利贞。€ emoji 😀 ext 𠀀 tab\there", s);
  RichCharFormat h = Fmt("黑体", kGb2312Charset, 28);
  h.Color = clBlue;
  AppendText(mixed, "行\u2028二行", h);
  AppendText(mixed, "中文 in a Western font", a);
  doc.Paragraphs.push_back(mixed);

  // An empty centred line whose mark is bold 14 pt: what is typed into it takes that format.
  RichParagraph empty;
  empty.Alignment = TAlignment::taCenter;
  RichCharFormat mark = Fmt("宋体", kGb2312Charset, 28);
  mark.Bold = true;
  empty.Runs.push_back(RichRun{"", mark, {}});
  doc.Paragraphs.push_back(empty);

  RichParagraph right;
  right.Alignment = TAlignment::taRightJustify;
  right.FirstIndent = -240;
  right.LeftIndent = 480;
  right.RightIndent = 120;
  AppendText(right, "右 nbsp\u00A0hy\u2011phen", Fmt("宋体", kGb2312Charset, 18));
  doc.Paragraphs.push_back(right);
  return doc;
}

TEST(RtfWrite, RoundTripKeepsTextAndFormat) {
  RichDocument doc = SampleDocument();
  std::string rtf = WriteRtf(doc);
  RichDocument back = ReadRtf(rtf);
  EXPECT_EQ(PlainText(back), PlainText(doc));
  ASSERT_EQ(back.Paragraphs.size(), doc.Paragraphs.size());
  for (size_t i = 0; i < doc.Paragraphs.size(); ++i) {
    EXPECT_EQ(back.Paragraphs[i], doc.Paragraphs[i]) << "paragraph " << i;
  }
  EXPECT_EQ(back, doc);
  // And a second generation is byte-identical.
  EXPECT_EQ(WriteRtf(back), rtf);
}

TEST(RtfWrite, OutputForm) {
  std::string rtf = WriteRtf(SampleDocument());
  EXPECT_TRUE(rtf.starts_with("{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052{\\fonttbl"));
  EXPECT_NE(rtf.find("{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}"), std::string::npos);
  EXPECT_NE(rtf.find("\\fcharset0 Arial;"), std::string::npos);
  EXPECT_NE(rtf.find("{\\colortbl ;\\red255\\green0\\blue0;"), std::string::npos);
  EXPECT_NE(rtf.find("\\viewkind4\\uc1"), std::string::npos);
  EXPECT_NE(rtf.find("\\'c7\\'ac"), std::string::npos);           // 乾 in GBK
  EXPECT_NE(rtf.find("\\u-10179?\\u-8704?"), std::string::npos);  // 😀 as a surrogate pair
  EXPECT_NE(rtf.find("Hello \\{World\\} \\\\ back"), std::string::npos);
  EXPECT_NE(rtf.find("\\qc"), std::string::npos);
  EXPECT_NE(rtf.find("\\qr"), std::string::npos);
  EXPECT_NE(rtf.find("\\u20013?"), std::string::npos);  // 中 in the Western font
  EXPECT_TRUE(rtf.ends_with("}\r\n"));
  for (char c : rtf) ASSERT_LT(static_cast<unsigned char>(c), 0x80) << "output must be 7-bit";
}

TEST(RtfWrite, LongParagraphsAndTablesGetShortLines) {
  RichDocument doc;
  RichParagraph p;
  std::string text;
  for (int i = 0; i < 600; ++i) text += i % 3 ? "卦" : "ab";
  AppendText(p, text, Fmt("宋体", kGb2312Charset, 24));
  // Many fonts and colours: the tables wrap as well.
  for (int i = 0; i < 40; ++i) {
    RichCharFormat f = Fmt("字体" + std::to_string(i), kGb2312Charset, 24);
    f.Color = RGB(i, 255 - i, 128);
    AppendText(p, std::to_string(i), f);
  }
  doc.Paragraphs.push_back(p);
  doc.DefaultFont = {"宋体", kGb2312Charset};
  std::string rtf = WriteRtf(doc);
  std::istringstream lines(rtf);
  std::string line;
  int count = 0;
  while (std::getline(lines, line)) {
    ++count;
    EXPECT_LE(line.size(), 120u) << line;
  }
  EXPECT_GT(count, 10);
  EXPECT_EQ(ReadRtf(rtf), doc);
}

TEST(RtfWrite, UnspecifiedValuesGetConcreteOnes) {
  RichDocument doc = RichDocumentFromText("plain\n纯文本");  // no font, no size
  RichDocument back = ReadRtf(WriteRtf(doc));
  EXPECT_EQ(PlainText(back), "plain\n纯文本");
  const RichCharFormat r = FormatOf(back, "纯文本");
  EXPECT_EQ(r.FontName, "宋体");
  EXPECT_EQ(r.SizeHalfPoints, 24);
  // "Default" charset is written as the document's code page, GB2312.
  RichDocument d2;
  d2.DefaultFont = {"Foo", kDefaultCharset};
  d2.Paragraphs.resize(1);
  AppendText(d2.Paragraphs[0], "文", Fmt("Foo", kDefaultCharset, 24));
  RichDocument b2 = ReadRtf(WriteRtf(d2));
  EXPECT_EQ(PlainText(b2), "文");
  EXPECT_EQ(b2.DefaultFont, (RichFont{"Foo", kGb2312Charset}));
}

TEST(RtfWrite, EmptyDocumentsAndSystemColours) {
  RichDocument empty;
  EXPECT_TRUE(ReadRtf(WriteRtf(empty)).Paragraphs.empty());
  RichDocument one;
  one.Paragraphs.resize(1);
  EXPECT_EQ(ReadRtf(WriteRtf(one)).Paragraphs.size(), 1u);
  // A system colour has no table entry: it is written as the automatic colour.
  RichDocument doc;
  doc.Paragraphs.resize(1);
  RichCharFormat f = Fmt("宋体", kGb2312Charset, 24);
  f.Color = clWindowText;
  AppendText(doc.Paragraphs[0], "x", f);
  EXPECT_EQ(FormatOf(ReadRtf(WriteRtf(doc)), "x").Color, clDefault);
}

TEST(RtfWrite, FontNamesAreEscaped) {
  RichDocument doc;
  doc.DefaultFont = {"微软雅黑", kGb2312Charset};
  doc.Paragraphs.resize(1);
  AppendText(doc.Paragraphs[0], "a", Fmt("Odd{Name}", kAnsiCharset, 24));
  AppendText(doc.Paragraphs[0], "b", Fmt("Ünï", kAnsiCharset, 24));
  std::string rtf = WriteRtf(doc);
  RichDocument back = ReadRtf(rtf);
  EXPECT_EQ(back.DefaultFont.Name, "微软雅黑");
  EXPECT_EQ(FormatOf(back, "a").FontName, "Odd{Name}");
  EXPECT_EQ(FormatOf(back, "b").FontName, "Ünï");
}

// ---------------------------------------------------------------------------------------------
// Files that are not RTF.

TEST(PlainTextFallback, Utf8WithBom) {
  RichDocument doc = LoadRichText("\xEF\xBB\xBF第一行\r\n第二行\n\nlast\n");
  EXPECT_EQ(ParagraphTexts(doc), (std::vector<std::string>{"第一行", "第二行", "", "last"}));
  const RichCharFormat r = FormatOf(doc, "第一行");
  EXPECT_TRUE(r.FontName.empty());  // the control's own font
  EXPECT_EQ(r.SizeHalfPoints, 0);
}

TEST(PlainTextFallback, GbkWhenNotUtf8) {
  EXPECT_EQ(ParagraphTexts(LoadRichText("\xd6\xd0\xce\xc4\r\nabc\rdef")),
            (std::vector<std::string>{"中文", "abc", "def"}));
}

TEST(PlainTextFallback, Utf16WithBom) {
  EXPECT_EQ(PlainText(LoadRichText(std::string("\xFF\xFE\x2D\x4E\x0A\x00\x61\x00", 8))), "中\na");
  EXPECT_EQ(PlainText(LoadRichText(std::string("\xFE\xFF\x4E\x2D", 4))), "中");
}

TEST(PlainTextFallback, RtfDetection) {
  EXPECT_TRUE(LooksLikeRtf(" \r\n\t{\\rtf1 x}"));
  EXPECT_TRUE(LooksLikeRtf("\xEF\xBB\xBF{\\rtf1 x}"));
  EXPECT_EQ(PlainText(LoadRichText("\xEF\xBB\xBF{\\rtf1 x}")), "x");
  EXPECT_FALSE(LooksLikeRtf("{\\rtx1 x}"));
  EXPECT_FALSE(LooksLikeRtf("x{\\rtf1}"));
  EXPECT_EQ(PlainText(LoadRichText("  \r\n{\\rtf1 hi\\par}")), "hi");
  EXPECT_EQ(PlainText(LoadRichText("{\\rtx1 hi}")), "{\\rtx1 hi}");
  EXPECT_TRUE(LoadRichText("").Paragraphs.empty());
}

// ---------------------------------------------------------------------------------------------
// Malformed input: never a crash, as much text as can be had.

TEST(RtfMalformed, UnbalancedBraces) {
  RichDocument doc = ReadRtf("{\\rtf1 abc{\\b def");
  EXPECT_EQ(PlainText(doc), "abcdef");
  EXPECT_TRUE(FormatOf(doc, "def").Bold);
  EXPECT_EQ(Text("{\\rtf1 a}}}}"), "a");
  EXPECT_EQ(Text("}}{\\rtf1 a}"), "");
  EXPECT_EQ(Text("{\\rtf1 a\\par b"), "a\nb");
}

TEST(RtfMalformed, TruncatedEscapes) {
  EXPECT_EQ(Text("{\\rtf1 ab\\'"), "ab");
  EXPECT_EQ(Text("{\\rtf1 ab\\'4"), "ab");  // one digit: byte 4, a control character
  EXPECT_EQ(Text("{\\rtf1 ab\\'4a}"), "abJ");
  EXPECT_EQ(Text("{\\rtf1 ab\\'zz}"), "abzz");
  EXPECT_EQ(Text("{\\rtf1 ab\\"), "ab");
  EXPECT_EQ(Text("{\\rtf1 ab\\u"), "ab");
  EXPECT_EQ(Text("{\\rtf1 ab\\u-"), "ab-");  // "-" without digits is text
  // Half a GBK character at the end.
  EXPECT_EQ(Text(kHead + "\\'d6\\'d0\\'d6}"), "中\uFFFD");
}

TEST(RtfMalformed, HugeNumbers) {
  RichDocument doc = ReadRtf(kHead +
                             "\\fs99999999999999 a\\fs24\\f99999999999999999999999 b\\b\\cf-99999999999 c\\b0"
                             "\\fs30\\li-99999999999999 d\\u99999999999?e\\fs-5 f\\par}");
  EXPECT_EQ(FormatOf(doc, "a").SizeHalfPoints, 3276);
  EXPECT_EQ(FormatOf(doc, "b").FontName, "宋体");
  EXPECT_EQ(FormatOf(doc, "c").Color, clDefault);
  EXPECT_EQ(doc.Paragraphs.at(0).LeftIndent, -2147483647);
  EXPECT_NE(PlainText(doc).find("\uFFFDe"), std::string::npos);
  EXPECT_EQ(FormatOf(doc, "f").SizeHalfPoints, 24);
  // A huge fallback count is capped; the skipping still stops at the group's end.
  EXPECT_EQ(Text("{\\rtf1{\\uc99999999999\\u20320 abc}d}"), "你d");
}

TEST(RtfMalformed, BinaryData) {
  EXPECT_EQ(Text("{\\rtf1 a\\bin99999999999999 xyz}"), "a");
  EXPECT_EQ(Text("{\\rtf1 a\\bin3 {}\\d}"), "ad");
  EXPECT_EQ(Text("{\\rtf1 a\\bin-5 b}"), "ab");
  // Binary braces do not close groups: the picture is kept whole, as an object.
  RichDocument doc = ReadRtf("{\\rtf1 a{\\pict\\bin4 }}}}x}y}");
  EXPECT_EQ(PlainText(doc), "a\uFFFCy");
  EXPECT_EQ(doc.Paragraphs.at(0).Runs.at(1).Object, "{\\pict\\bin4 }}}}x}");
}

TEST(RtfMalformed, DeepNesting) {
  const int n = 100000;
  std::string deep = "{\\rtf1 " + std::string(n, '{') + "\\b deep" + std::string(n, '}') + " after}";
  RichDocument doc = ReadRtf(deep);
  EXPECT_EQ(PlainText(doc), "deep after");
  std::string open = "{\\rtf1 start" + std::string(n, '{') + "deep";
  EXPECT_EQ(Text(open), "startdeep");
}

TEST(RtfMalformed, RandomInputGivesValidText) {
  // Bytes chosen to hit the reader's special cases over and over.
  const std::string alphabet[] = {"{", "}", "\\", "\\'", "\\u", "-", "9", "0", "a", " ", "\\b", "\\par",
                                  "\\bin", "\\uc", "\\*", "\\fonttbl", "\\colortbl", ";", "\xd6", "\xff",
                                  "\\f", "\\cf", "\\upr", "\\ud", "\r\n", "\\'c4"};
  std::mt19937 rng(12345);
  for (int round = 0; round < 3000; ++round) {
    std::string in = "{\\rtf1 ";
    int len = static_cast<int>(rng() % 120);
    for (int i = 0; i < len; ++i) in += alphabet[rng() % std::size(alphabet)];
    RichDocument doc = ReadRtf(in);
    ASSERT_TRUE(IsValidUtf8(PlainText(doc))) << in;
    RichDocument back = ReadRtf(WriteRtf(doc));
    ASSERT_EQ(PlainText(back), PlainText(doc)) << in;
  }
}

// ---------------------------------------------------------------------------------------------
// Document files.

class RichTextFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/rtf_test_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    std::filesystem::create_directory(dir_ + "/dat");
  }
  void TearDown() override {
    gBeforeAtomicRename = nullptr;
    std::filesystem::remove_all(dir_);
  }
  std::string dir_;
};

TEST_F(RichTextFiles, MissingFileNamesThePathAsGiven) {
  const std::string path = "no_such_dir_rtf\\111111.rtf";
  try {
    LoadRichTextFile(path);
    FAIL() << "no exception";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), "Cannot open file no_such_dir_rtf\\111111.rtf");
  }
}

TEST_F(RichTextFiles, SaveAndLoadWithBackslashPath) {
  const std::string path = dir_ + "/dat\\a1.rtf";
  RichDocument doc = SampleDocument();
  SaveRichTextFile(path, doc);
  EXPECT_TRUE(std::filesystem::exists(dir_ + "/dat/a1.rtf"));
  EXPECT_EQ(LoadRichTextFile(path), doc);
}

TEST_F(RichTextFiles, PlainTextFileLoads) {
  std::ofstream(dir_ + "/dat/p.rtf", std::ios::binary) << "\xd2\xbb\r\n\xb6\xfe";
  EXPECT_EQ(PlainText(LoadRichTextFile(dir_ + "/dat/p.rtf")), "一\n二");
}

TEST_F(RichTextFiles, FailedSaveKeepsThePreviousFile) {
  const std::string path = dir_ + "/dat/a2.rtf";
  SaveRichTextFile(path, RichDocumentFromText("old"));
  const std::string before = test::FileBytes(path);
  gBeforeAtomicRename = [](const std::string&) { return false; };
  try {
    SaveRichTextFile(path, RichDocumentFromText("new"));
    FAIL() << "no exception";
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message(), "Cannot create file " + path);
  }
  gBeforeAtomicRename = nullptr;
  EXPECT_EQ(test::FileBytes(path), before);
  EXPECT_EQ(PlainText(LoadRichTextFile(path)), "old");
}

TEST_F(RichTextFiles, SaveIntoMissingDirectoryFails) {
  const std::string path = dir_ + "/nodir\\a3.rtf";
  EXPECT_THROW(SaveRichTextFile(path, RichDocumentFromText("x")), EFCreateError);
  EXPECT_FALSE(std::filesystem::exists(dir_ + "/nodir"));
}

// ---------------------------------------------------------------------------------------------
// Model helpers.

TEST(RichTextModel, AppendTextMergesEqualFormats) {
  RichParagraph p;
  RichCharFormat plain, bold;
  bold.Bold = true;
  AppendText(p, "a", plain);
  AppendText(p, "b", plain);
  AppendText(p, "", bold);
  AppendText(p, "c", bold);
  AppendText(p, "d", plain);
  ASSERT_EQ(p.Runs.size(), 3u);
  EXPECT_EQ(p.Runs[0].Text, "ab");
  EXPECT_EQ(p.Runs[1].Text, "c");
  EXPECT_EQ(p.Text(), "abcd");
}

TEST(RichTextModel, NormalizeRunsMergesAndDropsEmpty) {
  RichDocument doc;
  RichCharFormat bold;
  bold.Bold = true;
  doc.Paragraphs.push_back(RichParagraph{});
  doc.Paragraphs[0].Runs = {{"a", {}}, {"", bold}, {"b", {}}, {"c", bold}, {"d", bold}};
  NormalizeRuns(doc);
  ASSERT_EQ(doc.Paragraphs[0].Runs.size(), 2u);
  EXPECT_EQ(doc.Paragraphs[0].Runs[0].Text, "ab");
  EXPECT_EQ(doc.Paragraphs[0].Runs[1].Text, "cd");
}

TEST(RichTextModel, PlainTextAndFromText) {
  RichDocument doc = RichDocumentFromText("a\r\nb\u2028c\r\rd");
  EXPECT_EQ(ParagraphTexts(doc), (std::vector<std::string>{"a", "b\u2028c", "", "d"}));
  EXPECT_EQ(PlainText(doc), "a\nb\nc\n\nd");
  EXPECT_TRUE(RichDocumentFromText("").Paragraphs.empty());
  EXPECT_EQ(RichDocumentFromText("x\n").Paragraphs.size(), 1u);
}

TEST(RichTextModel, CodePages) {
  EXPECT_EQ(CodePageForCharset(kGb2312Charset, 1252), 936);
  EXPECT_EQ(CodePageForCharset(kAnsiCharset, 936), 1252);
  EXPECT_EQ(CodePageForCharset(kDefaultCharset, 936), 936);
  EXPECT_EQ(CodePageForCharset(kDefaultCharset, 1252), 1252);
  for (int b = 0; b < 256; ++b) {
    char32_t ch = Cp1252ToUnicode(static_cast<unsigned char>(b));
    EXPECT_EQ(UnicodeToCp1252(ch), b) << b;
  }
  EXPECT_EQ(Cp1252ToUnicode(0x80), U'€');
  EXPECT_EQ(Cp1252ToUnicode(0x93), U'“');
  EXPECT_EQ(UnicodeToCp1252(U'中'), -1);
}

}  // namespace
}  // namespace corvane
