// The bounds on what a page, a document or a skin may ask of the program, at their edges: just
// within each bound is shown whole, one more is cut with the note or refused with a message.
// (tests/bounds/hostile_inputs_test.cpp feeds the hostile inputs themselves.)
#include <gtest/gtest.h>

#include <string>

#include "platform/core/Encoding.h"
#include "platform/graphics/BmpCodec.h"
#include "platform/text/RichText.h"
#include "platform/widgets/WebBrowser.h"
#include "skin/package/SkinData.h"
#include "skin/package/SkinIni.h"
#include "skin/package/SkinPackage.h"
#include "skin/package/ZlibStreams.h"

using namespace corvane;

namespace {

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

std::string Message(const std::function<void()>& fn) {
  try {
    fn();
  } catch (const Exception& e) {
    return e.what();
  }
  return "";
}

}  // namespace

TEST(PageBounds, ListsRowsAndElementsAreCutAtTheirBoundAndWhatIsOpenThereIsClosed) {
  WebPageFigures f;
  // A list of as many items as a list may have is whole; one more cuts the page before it.
  std::string list = "<ol>" + Repeat("<li>a", kWebMaxListItems) + "</ol><p>after</p>";
  EXPECT_EQ(WebBoundedHtml(list, 1 << 20, &f), list);
  EXPECT_FALSE(f.cut);
  EXPECT_EQ(f.longestList, static_cast<size_t>(kWebMaxListItems));
  std::string out = WebBoundedHtml("<ol>" + Repeat("<li>a", kWebMaxListItems + 1) + "</ol><p>after</p>", 1 << 20, &f);
  EXPECT_TRUE(f.cut);
  EXPECT_EQ(Count(out, "<li>"), static_cast<size_t>(kWebMaxListItems));
  EXPECT_EQ(out.find("after"), std::string::npos);
  EXPECT_EQ(f.longestList, static_cast<size_t>(kWebMaxListItems));
  EXPECT_EQ(f.closing, "</ol>");  // the item before is ended by the one that is not kept
  // Items of separate lists, and of a list inside an item, are counted per list.
  std::string two = "<ul>" + Repeat("<li>a", kWebMaxListItems - 1) + "<li><ol>" + Repeat("<li>b", 10) + "</ol></ul>" +
                    "<ul>" + Repeat("<li>c", kWebMaxListItems) + "</ul>";
  EXPECT_EQ(WebBoundedHtml(two, 1 << 20, &f), two);
  EXPECT_FALSE(f.cut);

  // A row of as many cells as a row may have, then one of one more: cut inside the second row,
  // the table closed.
  std::string row = "<tr>" + Repeat("<td>c", kWebMaxRowCells);
  out = WebBoundedHtml("<div><table>" + row + row + "<td>x</table></div>", 1 << 20, &f);
  EXPECT_TRUE(f.cut);
  EXPECT_EQ(f.widestRow, static_cast<size_t>(kWebMaxRowCells));
  EXPECT_EQ(Count(out, "<td>"), 2u * kWebMaxRowCells);
  EXPECT_EQ(f.closing, "</table></div>");

  // Cells in all, whatever the tables.
  std::string grid = "<table>" + Repeat("<tr>" + Repeat("<td>c", 50), kWebMaxCells / 50) + "</table>";
  EXPECT_EQ(WebBoundedHtml(grid + grid, 1 << 20, &f), grid + "<table><tr>");
  EXPECT_TRUE(f.cut);
  EXPECT_EQ(f.closing, "</table>");
  EXPECT_EQ(f.cells, static_cast<size_t>(kWebMaxCells));
  EXPECT_EQ(WebBoundedHtml(grid, 1 << 20, &f), grid);
  EXPECT_FALSE(f.cut);

  // Elements in all: the first one over the bound and all after it are left out.
  std::string paragraphs = Repeat("<p>p", kWebMaxElements + 10);
  out = WebBoundedHtml(paragraphs, 1 << 20, &f);
  EXPECT_TRUE(f.cut);
  EXPECT_EQ(Count(out, "<p>"), static_cast<size_t>(kWebMaxElements));
  EXPECT_EQ(f.elements, static_cast<size_t>(kWebMaxElements));
  // Lines of preformatted text count as well.
  out = WebBoundedHtml("<pre>" + Repeat("line\n", kWebMaxElements + 10) + "</pre>", 1 << 20, &f);
  EXPECT_TRUE(f.cut);
  EXPECT_EQ(f.closing, "</pre>");
  EXPECT_LE(Count(out, "\n"), static_cast<size_t>(kWebMaxElements));
}

TEST(PageBounds, InlineNestingBeyondItsBoundIsFlattenedKeepingWordsWhole) {
  const int n = kWebMaxInlineDepth + 100;
  WebPageFigures f;
  std::string out = WebBoundedHtml(Repeat("<b>", n) + "wo" + Repeat("<i>", n) + "rd" + Repeat("</i>", n) + Repeat("</b>", n), 1 << 20, &f);
  EXPECT_FALSE(f.cut);
  EXPECT_EQ(Count(out, "<b>") + Count(out, "<i>"), static_cast<size_t>(kWebMaxInlineDepth));
  EXPECT_EQ(Count(out, "</b>") + Count(out, "</i>"), static_cast<size_t>(kWebMaxInlineDepth));
  EXPECT_NE(out.find("word"), std::string::npos);  // no space put between the halves
  // Inline elements a block leaves open end with it: a thousand unclosed fonts in a thousand
  // paragraphs are no deep nesting.
  std::string fonts = Repeat("<div><font color=red>x</div>", 1000);
  EXPECT_EQ(WebBoundedHtml(fonts, 1 << 20), fonts);
}

TEST(PageBounds, UnbrokenStretchesAreMeasuredAsTheLayoutBreaksLines) {
  // Inline tags do not break a stretch; block tags do.
  EXPECT_EQ(LongestUnbrokenStretch("<p><i>" + std::string(600, 'a') + "</i><b>" + std::string(600, 'b') + "</b></p>", true), 1200u);
  EXPECT_EQ(LongestUnbrokenStretch("<p>" + std::string(600, 'a') + "</p><p>" + std::string(600, 'b') + "</p>", true), 600u);
  EXPECT_EQ(LongestUnbrokenStretch("<p>" + std::string(600, 'a') + "<br>" + std::string(600, 'b') + "</p>", true), 600u);
  // No place to break between hyphens, nor before "、"; after a hyphen between words there is.
  EXPECT_EQ(LongestUnbrokenStretch(std::string(3000, '-')), 3000u);
  EXPECT_EQ(LongestUnbrokenStretch(Repeat("、", 3000)), 3000u);
  EXPECT_EQ(LongestUnbrokenStretch("well-known long-run"), 5u);  // "well-", "known", "long-"
  EXPECT_EQ(LongestUnbrokenStretch("乾为天、坤为地。"), 2u);           // "天、", "地。"
}

TEST(DocumentBounds, AtMostSoManyParagraphsAndCellsAreReadAndMoreIsRefusedWhole) {
  std::string head = "{\\rtf1\\ansi ";
  EXPECT_EQ(ReadRtf(head + Repeat("a\\par ", kMaxRichParagraphs) + "}").Paragraphs.size(),
            static_cast<size_t>(kMaxRichParagraphs));
  EXPECT_EQ(Message([&] { ReadRtf(head + Repeat("a\\par ", kMaxRichParagraphs + 1) + "}"); }),
            "more than 50000 paragraphs");
  EXPECT_EQ(Message([&] { LoadRichText(Repeat("line\n", kMaxRichParagraphs + 1)); }), "more than 50000 paragraphs");
  // Cells: per row, and in all.
  auto row = [](int cells) { return "\\trowd" + Repeat("\\cellx100", cells) + " " + Repeat("\\intbl c\\cell ", cells) + "\\row "; };
  EXPECT_EQ(ReadRtf(head + row(kMaxRichRowCells) + "}").Paragraphs.size(), static_cast<size_t>(kMaxRichRowCells));
  EXPECT_EQ(Message([&] { ReadRtf(head + row(kMaxRichRowCells + 1) + "}"); }), "a table row of more than 64 cells");
  std::string rows;
  for (int cells = 0; cells <= kMaxRichTableCells; cells += 50) rows += row(50);
  EXPECT_EQ(Message([&] { ReadRtf(head + rows + "}"); }), "more than 5000 table cells");
}

TEST(SkinBounds, InflatingPicturesAndGeometryAreBoundedWithClearErrors) {
  // Inflating: up to the bound, then refused.
  TMemoryStream plain, packed;
  const std::string data((1 << 20) + 1, 'z');
  plain.WriteString(data);
  CompressStream(plain, packed);
  TMemoryStream out;
  DecompressStream(out, packed, (1 << 20) + 1);
  EXPECT_EQ(out.Bytes(), data);
  TMemoryStream out2;
  EXPECT_EQ(Message([&] { DecompressStream(out2, packed, 1 << 20); }), "Skin data unpacks to more than 1 MB");
  EXPECT_LE(out2.Bytes().size(), static_cast<size_t>(1 << 20));

  // Pictures: a header naming more than 4096 x 4096 pixels is refused before its data is looked
  // for; one naming exactly that gets as far as the missing data.
  auto header = [](int w, int h) {
    TBmpImage img;
    img.Reset(1, 1, 24);
    TMemoryStream m;
    EncodeBmp(m, img);
    std::string b = m.Bytes();
    for (int i = 0; i < 4; ++i) {
      b[18 + i] = static_cast<char>((w >> (8 * i)) & 0xFF);
      b[22 + i] = static_cast<char>((h >> (8 * i)) & 0xFF);
    }
    TMemoryStream s;
    s.WriteString(b);
    s.SetPosition(0);
    return Message([&] { DecodeBmp(s); });
  };
  EXPECT_EQ(header(4097, 4096), "Bitmap image is too large (4097 x 4096 pixels, at most 16777216)");
  EXPECT_EQ(header(16384, 1025), "Bitmap image is too large (16384 x 1025 pixels, at most 16777216)");
  EXPECT_EQ(header(4096, 4096), SReadError);

  // Geometry: a coordinate beyond any picture, and a client area beyond the skin's picture.
  TskIniText ini;
  ini.SetText("[FORMINFO]\r\nclientrect=0,0,32769,10\r\nlefttoppoint=40000,1\r\ncaptionrect=0,0,32768,5\r\n");
  EXPECT_EQ(Message([&] { ini.ReadRect("FORMINFO", "clientrect"); }),
            "Skin description [FORMINFO] clientrect=0,0,32769,10: coordinates go up to 32768");
  EXPECT_EQ(Message([&] { ini.ReadPoint("FORMINFO", "lefttoppoint"); }),
            "Skin description [FORMINFO] lefttoppoint=40000,1: coordinates go up to 32768");
  EXPECT_EQ(ini.ReadRect("FORMINFO", "captionrect"), TRect(0, 0, 32768, 5));
  auto load = [](const std::string& clientRect) {
    TskSkinPackage p;
    p.Version = kSkinPackageVersion;
    TBmpImage picture;
    picture.Reset(40, 30, 24);
    p.Picture = picture;
    p.Description = {"[VERSION]", "[PICTURES]", "picture=main.bmp", "[FORMINFO]", "clientrect=" + clientRect,
                     "[SKINOBJECTS]", "count=0", "[SKINCONTROLS]", "count=0"};
    TMemoryStream m;
    WriteSkinPackage(m, p);
    TskSkinData skin(nullptr);
    std::string error = Message([&] { skin.LoadPackage(m); });
    EXPECT_EQ(skin.IsEmpty, !error.empty());
    return error;
  };
  EXPECT_EQ(load("3,3,40,30"), "");
  EXPECT_EQ(load("3,3,41,30"), "Skin description [FORMINFO] clientrect=3,3,41,30 lies outside the skin picture (40 x 30)");
}
