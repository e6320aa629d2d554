// The rich-text control: documents go in through the RTF reader and come back out of the control
// with their text and formatting; read-only views cannot be typed into; saving replaces files whole.
#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>
#include <vector>
#include <unistd.h>

#include "platform/widgets/StdCtrls.h"
#include "platform/windows/Forms.h"

using namespace corvane;

namespace {
const char* kSample =
    "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}{\\f1\\fswiss Arial;}}"
    "{\\colortbl ;\\red255\\green0\\blue0;}"
    "\\pard\\qc\\b\\fs32 \\'c7\\'ac\\'ce\\'aa\\'cc\\'ec\\b0\\fs24\\par"
    "\\pard\\f1\\i italic \\i0\\ul under\\ulnone  \\cf1 red\\cf0\\par"
    "\\pard\\qr right\\par}";

struct RichEditFixture : ::testing::Test {
  void SetUp() override {
    form = new TForm(Application);
    form->SetBounds(50, 50, 400, 300);
    edit = new TRichEdit(form);
    edit->SetParent(form);
    edit->SetBounds(0, 0, 400, 300);
  }
  void TearDown() override { delete form; }
  TForm* form;
  TRichEdit* edit;
};
}  // namespace

TEST_F(RichEditFixture, FormattingReadBackFromTheControl) {
  edit->SetDocument(ReadRtf(kSample));
  RichDocument d = edit->Document();
  ASSERT_EQ(d.Paragraphs.size(), 3u);
  EXPECT_EQ(d.Paragraphs[0].Text(), "乾为天");
  EXPECT_EQ(d.Paragraphs[0].Alignment, TAlignment::taCenter);
  EXPECT_TRUE(d.Paragraphs[0].Runs[0].Format.Bold);
  EXPECT_EQ(d.Paragraphs[0].Runs[0].Format.SizeHalfPoints, 32);
  EXPECT_EQ(d.Paragraphs[0].Runs[0].Format.FontName, "宋体");
  const auto& runs = d.Paragraphs[1].Runs;
  ASSERT_GE(runs.size(), 3u);
  EXPECT_TRUE(runs[0].Format.Italic);
  EXPECT_EQ(runs[0].Format.FontName, "Arial");
  EXPECT_TRUE(runs[1].Format.Underline);
  EXPECT_EQ(runs.back().Text, "red");
  EXPECT_EQ(runs.back().Format.Color, clRed);
  EXPECT_EQ(d.Paragraphs[2].Alignment, TAlignment::taRightJustify);
  // The selection attributes see the same.
  edit->SetSelection(0, 1);
  EXPECT_EQ(edit->SelAttributes().Style() & fsBold, fsBold);
  EXPECT_EQ(edit->SelAttributes().Size(), 16);
  EXPECT_EQ(edit->Paragraph().Alignment(), TAlignment::taCenter);
}

TEST_F(RichEditFixture, SaveAndReloadKeepsTextAndFormatting) {
  auto dir = std::filesystem::temp_directory_path() / ("corvane-rich-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  std::string path = (dir / "note.rtf").string();
  edit->SetDocument(ReadRtf(kSample));
  edit->SetSelection(0, 3);
  edit->SelAttributes().SetColor(clBlue);
  RichDocument before = edit->Document();
  edit->SaveToFile(path);
  edit->SetText("");
  edit->LoadFromFile(path);
  RichDocument after = edit->Document();
  ASSERT_EQ(after.Paragraphs.size(), before.Paragraphs.size());
  for (size_t i = 0; i < before.Paragraphs.size(); ++i) {
    EXPECT_EQ(after.Paragraphs[i].Text(), before.Paragraphs[i].Text());
    EXPECT_EQ(after.Paragraphs[i].Alignment, before.Paragraphs[i].Alignment);
    ASSERT_EQ(after.Paragraphs[i].Runs.size(), before.Paragraphs[i].Runs.size()) << i;
    for (size_t k = 0; k < before.Paragraphs[i].Runs.size(); ++k) {
      const auto& a = after.Paragraphs[i].Runs[k].Format;
      const auto& b = before.Paragraphs[i].Runs[k].Format;
      EXPECT_EQ(a.Bold, b.Bold);
      EXPECT_EQ(a.Italic, b.Italic);
      EXPECT_EQ(a.Underline, b.Underline);
      EXPECT_EQ(a.SizeHalfPoints, b.SizeHalfPoints);
      EXPECT_EQ(ColorToRGB(a.Color == clDefault ? clBlack : a.Color), ColorToRGB(b.Color == clDefault ? clBlack : b.Color));
      EXPECT_EQ(a.FontName, b.FontName);
    }
  }
  EXPECT_EQ(after.Paragraphs[0].Runs[0].Format.Color, clBlue);
  std::filesystem::remove_all(dir);
}

TEST_F(RichEditFixture, AReadOnlyViewTakesNoTypingButSelectsAndCopies) {
  edit->SetReadOnly(true);
  edit->SetText("只读文本");
  form->Show();
  Application->ProcessMessages();
  edit->SetFocus();
  Input::Type("abc");
  Input::Key(VK_DELETE);
  EXPECT_EQ(edit->PlainText(), "只读文本");
  edit->SelectAll();
  EXPECT_EQ(edit->SelText(), "只读文本");
  edit->CopyToClipboard();
  EXPECT_EQ(ClipboardText(), "只读文本");
  edit->SetReadOnly(false);
  edit->SetSelection(4, 0);
  Input::Type("x");
  EXPECT_EQ(edit->PlainText(), "只读文本x");
}

TEST_F(RichEditFixture, AMissingOrNonRtfFileLoadsAsTheRulesSay) {
  try {
    edit->LoadFromFile("dat\\no-such-file.rtf");
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_STREQ(e.what(), "Cannot open file dat\\no-such-file.rtf");
  }
  auto dir = std::filesystem::temp_directory_path() / ("corvane-plain-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  WriteFileAtomically((dir / "p.rtf").string(), "第一行\n第二行\n");
  edit->LoadFromFile((dir / "p.rtf").string());
  EXPECT_EQ(edit->Document().Paragraphs.at(0).Text(), "第一行");
  std::filesystem::remove_all(dir);
}

// Between the program's rich-text fields, cut, copy and paste carry the formatting with the text;
// a whole paragraph copied with its break brings its alignment along.
TEST_F(RichEditFixture, CutCopyAndPasteKeepTheFormatting) {
  RichDocument doc;
  RichParagraph centred, plain;
  RichCharFormat styled, red;
  styled.Bold = styled.Italic = styled.Underline = true;
  red.Color = clRed;
  centred.Alignment = TAlignment::taCenter;
  AppendText(centred, "mid", red);
  AppendText(plain, "ab", RichCharFormat{});
  AppendText(plain, "cd", styled);
  doc.Paragraphs = {centred, plain};
  edit->SetDocument(doc);
  edit->SetSelection(6, 2);  // "cd"
  edit->CutToClipboard();
  edit->SetSelection(4, 0);
  edit->PasteFromClipboard();
  RichDocument d = edit->Document();
  ASSERT_EQ(edit->PlainText(), "mid\ncdab");
  ASSERT_EQ(d.Paragraphs[1].Runs.size(), 2u);
  EXPECT_EQ(d.Paragraphs[1].Runs[0].Text, "cd");
  auto style = [](const RichRun& r) { return (r.Format.Bold ? 1 : 0) + (r.Format.Italic ? 2 : 0) + (r.Format.Underline ? 4 : 0); };
  EXPECT_EQ(style(d.Paragraphs[1].Runs[0]), 7) << "cut and pasted within a paragraph";
  EXPECT_EQ(style(d.Paragraphs[1].Runs[1]), 0);
  // The centred red paragraph with its break, pasted at the start of the other.
  edit->SetSelection(0, 4);
  edit->CopyToClipboard();
  edit->SetSelection(4, 0);
  edit->PasteFromClipboard();
  d = edit->Document();
  ASSERT_EQ(edit->PlainText(), "mid\nmid\ncdab");
  EXPECT_EQ(d.Paragraphs[1].Alignment, TAlignment::taCenter);
  EXPECT_EQ(d.Paragraphs[1].Runs[0].Format.Color, clRed);
  EXPECT_EQ(d.Paragraphs[2].Alignment, TAlignment::taLeftJustify);
  EXPECT_EQ(style(d.Paragraphs[2].Runs[0]), 7);
}

// Text typed where no format was ever set shows in the control's font and is saved in it; an
// empty paragraph keeps its format through a save.
TEST_F(RichEditFixture, WhatIsShownIsWhatIsSaved) {
  TFont f;
  f.SetName("宋体");
  f.SetHeight(-12);
  edit->Font().Assign(f);
  edit->SetDocument(ReadRtf("{\\rtf1\\ansi\\ansicpg936\\pard\\fs24}"));  // a note with nothing in it
  form->Show();
  Application->ProcessMessages();
  edit->SetFocus();
  Input::Type("ab");
  RichDocument back = ReadRtf(WriteRtf(edit->Document()));
  ASSERT_EQ(back.Paragraphs.size(), 1u);
  EXPECT_EQ(back.Paragraphs[0].Runs[0].Format.SizeHalfPoints, 18) << "9 pt, as shown";
  EXPECT_EQ(back.Paragraphs[0].Runs[0].Format.FontName, "宋体");
  // An empty centred bold line between two others.
  RichDocument doc = ReadRtf("{\\rtf1\\ansi a\\par\\pard\\qc\\b\\fs32\\par\\pard\\b0\\fs24 c\\par}");
  ASSERT_EQ(doc.Paragraphs.size(), 3u);
  edit->SetDocument(doc);
  back = ReadRtf(WriteRtf(edit->Document()));
  ASSERT_EQ(back.Paragraphs.size(), 3u);
  EXPECT_EQ(back.Paragraphs[1].Alignment, TAlignment::taCenter);
  ASSERT_EQ(back.Paragraphs[1].Runs.size(), 1u);
  EXPECT_TRUE(back.Paragraphs[1].Runs[0].Format.Bold);
  EXPECT_EQ(back.Paragraphs[1].Runs[0].Format.SizeHalfPoints, 32);
}

// Notes from other code pages keep their text, font names and charsets through the control: what
// the control gives back writes and reads back the same.
TEST_F(RichEditFixture, ForeignCodePageNotesComeBackTheSame) {
  struct Note {
    const char* label;
    std::string rtf, text, font;
    int charset;
  };
  const Note notes[] = {
      {"Big5",
       "{\\rtf1\\ansi\\ansicpg950\\deff0{\\fonttbl{\\f0\\fnil\\fcharset136 \\'b7\\'73\\'b2\\'d3\\'a9\\'fa\\'c5\\'e9;}}"
       "\\f0 \\'a9\\'f6\\'b8\\'67\\'a4\\'a4\\'a4\\'e5\\par}",
       "易經中文", "新細明體", 136},
      {"Shift-JIS",
       "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 \\'82\\'6c\\'82\\'72 \\'96\\'be\\'92\\'a9;}}"
       "\\f0 \\'93\\'fa\\'96\\'7b\\'8c\\'ea\\par}",
       "日本語", "ＭＳ 明朝", 128},
      {"Korean",
       "{\\rtf1\\ansi\\ansicpg949\\deff0{\\fonttbl{\\f0\\fnil\\fcharset129 \\'b1\\'bc\\'b8\\'b2;}}"
       "\\f0 \\'c7\\'d1\\'b1\\'b9\\'be\\'ee\\par}",
       "한국어", "굴림", 129},
      {"Cyrillic",
       "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset204 \\'c0\\'f0\\'e8\\'e0\\'eb;}}"
       "\\f0 \\'ca\\'ed\\'e8\\'e3\\'e0\\par}",
       "Книга", "Ариал", 204},
  };
  for (const Note& note : notes) {
    SCOPED_TRACE(note.label);
    edit->SetDocument(ReadRtf(note.rtf));
    std::string written = WriteRtf(edit->Document());
    RichDocument back = ReadRtf(written);
    ASSERT_EQ(back.Paragraphs.size(), 1u);
    ASSERT_EQ(back.Paragraphs[0].Runs.size(), 1u);
    EXPECT_EQ(back.Paragraphs[0].Runs[0].Text, note.text);
    EXPECT_EQ(back.Paragraphs[0].Runs[0].Format.FontName, note.font);
    EXPECT_EQ(back.Paragraphs[0].Runs[0].Format.Charset, note.charset);
    // The text bytes are the note's own, not Unicode escapes.
    std::string body = note.rtf.substr(note.rtf.find("\\f0 ") + 4);
    body = body.substr(0, body.find("\\par"));
    EXPECT_NE(written.find(body), std::string::npos) << written;
  }
}

TEST_F(RichEditFixture, ModifiedOnlyAfterAChange) {
  edit->SetDocument(ReadRtf(kSample));
  EXPECT_FALSE(edit->Modified());
  // Moving around and a typing format without a selection change nothing.
  edit->SetSelection(2, 0);
  edit->SelAttributes().SetStyle(fsBold);
  EXPECT_FALSE(edit->Modified());
  // A format change of selected text is a change.
  edit->SetSelection(0, 2);
  edit->SelAttributes().SetStyle(fsItalic);
  EXPECT_TRUE(edit->Modified());
  edit->LoadFromFile(std::string(CORVANE_SOURCE_DIR) + "/tests/platform/rich_edit_test.cpp");
  EXPECT_FALSE(edit->Modified());
  // Typing is a change; a paragraph format is one too.
  form->Show();
  Application->ProcessMessages();
  edit->SetFocus();
  edit->SetSelection(0, 0);
  Input::Type("x");
  EXPECT_TRUE(edit->Modified());
  // Setting the text is a change too; loading a document is not.
  edit->SetDocument(ReadRtf(kSample));
  EXPECT_FALSE(edit->Modified());
  edit->SetText("abc");
  EXPECT_TRUE(edit->Modified());
  edit->SetDocument(RichDocumentFromText("abc"));
  EXPECT_FALSE(edit->Modified());
  edit->Paragraph().SetAlignment(TAlignment::taCenter);
  EXPECT_TRUE(edit->Modified());
}

// A note holding what the editor has no formatting command for: a picture (with the picture a
// writer gives older readers), a table whose cell holds two paragraphs, a link, superscript,
// subscript, highlight, line spacing and paragraph spacing. Edited and saved, it reads back as
// the note with the edit: nothing else is lost or changed.
TEST_F(RichEditFixture, WhatTheEditorHasNoCommandForSurvivesAnEditedSave) {
  const std::string png =
      "89504e470d0a1a0a0000000d49484452000000040000000308020000003b963991000000104944415478da63f8cfc0"
      "00470c383900f5310bf5dd7a540d0000000049454e44ae426082";
  const std::string picture = "{\\*\\shppict{\\pict\\pngblip\\picwgoal600\\pichgoal450 " + png + "}}";
  const std::string fallback = "{\\nonshppict{\\pict\\wmetafile8\\picw100\\pich100 0102}}";
  const std::string row1 = "\\trowd\\trgaph108\\trleft-108\\clbrdrt\\brdrs\\brdrw10\\cellx2000\\cellx5000";
  const std::string row2 = "\\trowd\\trgaph108\\cellx3000";
  const std::string note =
      "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}"
      "{\\colortbl ;\\red0\\green0\\blue255;\\red255\\green255\\blue0;}"
      "\\pard\\sl360\\slmult1\\sb120\\sa60\\f0\\fs24 H{\\super 2}O x{\\sub i} {\\highlight2 \\'d6\\'d8\\'b5\\'e3}\\par"
      "\\pard\\sl-300\\slmult0 see {\\field{\\*\\fldinst{HYPERLINK \"http://example.org/yi?x=1\"}}{\\fldrslt{\\ul\\cf1 link}}}"
      " and " + picture + "\r\n" + fallback + " end\\par" +
      row1 + "\\pard\\intbl \\'c7\\'ac\\cell \\'c0\\'a4\\par\\pard\\intbl second\\cell\\row" +
      row2 + "\\pard\\intbl \\'c0\\'a5\\cell\\row"
      "\\pard after\\par}";
  RichDocument expected = ReadRtf(note);
  ASSERT_EQ(expected.Paragraphs.size(), 7u);
  edit->SetDocument(expected);
  form->Show();
  Application->ProcessMessages();
  edit->SetFocus();
  edit->SetSelection(0, 0);
  Input::Type("x");
  ASSERT_TRUE(edit->Modified());
  expected.Paragraphs[0].Runs[0].Text = "xH";

  std::string written = WriteRtf(edit->Document());
  RichDocument back = ReadRtf(written);
  ASSERT_EQ(back.Paragraphs.size(), expected.Paragraphs.size()) << written;
  for (size_t i = 0; i < back.Paragraphs.size(); ++i)
    EXPECT_EQ(back.Paragraphs[i], expected.Paragraphs[i]) << "paragraph " << i << " of\n" << written;
  // What the model holds is what the note said.
  const RichParagraph& first = back.Paragraphs[0];
  EXPECT_EQ(first.LineSpacing, 360);
  EXPECT_TRUE(first.LineSpacingMultiple);
  EXPECT_EQ(first.SpaceBefore, 120);
  EXPECT_EQ(first.SpaceAfter, 60);
  EXPECT_EQ(first.Runs.at(1).Format.VerticalAlign, RichVerticalAlign::Superscript);
  EXPECT_EQ(first.Runs.at(3).Format.VerticalAlign, RichVerticalAlign::Subscript);
  EXPECT_EQ(first.Runs.back().Text, "重点");
  EXPECT_EQ(first.Runs.back().Format.Highlight, clYellow);
  EXPECT_EQ(back.Paragraphs[1].LineSpacing, -300);
  const auto& runs = back.Paragraphs[1].Runs;
  ASSERT_EQ(runs.size(), 5u);
  EXPECT_EQ(runs[1].Text, "link");
  EXPECT_EQ(runs[1].Format.Link, "http://example.org/yi?x=1");
  EXPECT_EQ(runs[3].Object, picture + fallback) << "the picture and its fallback, byte for byte";
  EXPECT_NE(written.find(picture), std::string::npos);
  // The table: two rows, the first with two cells (the first of two paragraphs), the second with one.
  std::vector<std::tuple<std::string, bool, bool, std::string>> cells;
  for (size_t i = 2; i < 6; ++i) {
    const RichParagraph& p = back.Paragraphs[i];
    cells.emplace_back(p.Text(), p.InTable, p.EndsCell, p.RowDefinition);
  }
  EXPECT_EQ(cells[0], std::make_tuple(std::string("乾"), true, true, std::string()));
  EXPECT_EQ(cells[1], std::make_tuple(std::string("坤"), true, false, std::string()));
  EXPECT_EQ(cells[2], std::make_tuple(std::string("second"), true, true, row1));
  EXPECT_EQ(cells[3], std::make_tuple(std::string("昆"), true, true, row2));
  EXPECT_FALSE(back.Paragraphs[6].InTable);
  // A second save of what was read back writes the same file.
  edit->SetDocument(back);
  EXPECT_EQ(WriteRtf(edit->Document()), written);
}

// A line with no place to break wraps anywhere within the control's width (wrapping it at word
// boundaries costs time that grows with the square of its length); the wrapping is only how it is
// shown: the document and the saved note hold the line as it was.
TEST_F(RichEditFixture, ALongUnbrokenLineWrapsAndIsSavedAsItWas) {
  form->Show();
  Application->ProcessMessages();
  const std::string line(20000, 'a');
  edit->SetDocument(RichDocumentFromText("short words wrap at word boundaries\n" + line));
  EXPECT_GT(edit->ContentHeight(), 50 * 12) << "many lines within the width";
  RichDocument back = ReadRtf(WriteRtf(edit->Document()));
  ASSERT_EQ(back.Paragraphs.size(), 2u);
  EXPECT_EQ(back.Paragraphs[1].Text(), line);
  EXPECT_EQ(edit->PlainText(), "short words wrap at word boundaries\n" + line);
  EXPECT_EQ(edit->GetTextLen(), static_cast<int>(36 + line.size()));
}

TEST_F(RichEditFixture, TextSetWhileHiddenShowsAsTextSetWhileShown) {
  // Long text set while the control is hidden is laid out with the vertical bar from the start;
  // what shows must be what the same text set on a shown control gives, and text that fits after
  // all (many paragraphs, tiny letters) must show no bar.
  edit->SetScrollBars(TScrollStyle::ssVertical);
  auto* shownFirst = new TRichEdit(form);
  shownFirst->SetParent(form);
  shownFirst->SetBounds(0, 0, 400, 300);
  shownFirst->SetScrollBars(TScrollStyle::ssVertical);
  std::string text;
  for (int i = 0; i < 60; ++i) text += "第" + std::to_string(i) + "行 a line of text that wraps once or twice in the control\n";
  edit->SetText(text);
  form->Show();
  Application->ProcessMessages();
  shownFirst->SetText(text);
  Application->ProcessMessages();
  EXPECT_GT(edit->ScrollMaximum(), 0);
  EXPECT_EQ(edit->ContentHeight(), shownFirst->ContentHeight());
  EXPECT_EQ(edit->ScrollMaximum(), shownFirst->ScrollMaximum());

  auto* tiny = new TRichEdit(form);
  tiny->SetParent(form);
  tiny->SetBounds(0, 0, 400, 300);
  tiny->SetScrollBars(TScrollStyle::ssVertical);
  tiny->Hide();
  RichCharFormat small;
  small.SizeHalfPoints = 2;
  std::string lines;
  for (int i = 0; i < 60; ++i) lines += "x\n";
  tiny->SetDocument(RichDocumentFromText(lines, small));
  tiny->Show();
  Application->ProcessMessages();
  EXPECT_LT(tiny->ContentHeight(), 300);
  EXPECT_EQ(tiny->ScrollMaximum(), 0);
}
