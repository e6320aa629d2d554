// The commentaries as the reading window gets them: the corrected passages read as corrected
// (four readings, three places of the classical text), and every reading is set dark, large and
// apart enough to be read as easily as the passage it explains.
#include <gtest/gtest.h>

#include <cmath>

#include "app/Catalogue.h"
#include "platform/text/RichText.h"
#include "support/TestSupport.h"

using namespace corvane;

namespace {
RichDocument Load(const std::string& code) { return LoadRichTextFile(test::SourceDir() + "/dat/" + code + ".rtf"); }

// The paragraph `offset` places after the first one that starts with `start` ("" if none).
std::string After(const RichDocument& d, const std::string& start, size_t offset) {
  for (size_t k = 0; k < d.Paragraphs.size(); ++k)
    if (d.Paragraphs[k].Text().rfind(start, 0) == 0)
      return k + offset < d.Paragraphs.size() ? d.Paragraphs[k + offset].Text() : "";
  return "";
}

bool Has(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

// Contrast of a colour against white, as the accessibility guidelines compute it.
double ContrastOnWhite(TColor c) {
  auto channel = [](int v) {
    double s = v / 255.0;
    return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  int r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
  double l = 0.2126 * channel(r) + 0.7152 * channel(g) + 0.0722 * channel(b);
  return 1.05 / (l + 0.05);
}
}  // namespace

TEST(TextCorrections, TheSevenCorrectedPassagesReadAsCorrected) {
  // 中孚 六四: 初九 is its match (正应), which it leaves to follow 九五; not "its own kind".
  std::string zhongfu = After(Load("112211"), "六四：", 2);
  EXPECT_TRUE(Has(zhongfu, "初九是它的正应")) << zhongfu;
  EXPECT_TRUE(Has(zhongfu, "承从九五")) << zhongfu;
  EXPECT_FALSE(Has(zhongfu, "同类初九") || Has(zhongfu, "断绝同类")) << zhongfu;

  // 同人 judgment: only 六二 and 九五 answer each other.
  std::string tongren = After(Load("121111"), "同人：", 1);
  EXPECT_TRUE(Has(tongren, "六二以阴爻居中得正，与九五相应")) << tongren;
  EXPECT_FALSE(Has(tongren, "与五个阳爻相应")) << tongren;

  // 泰 九三: the height of 泰, where the turn becomes possible; 泰极 stays with 上六.
  RichDocument tai = Load("111222");
  std::string tai3 = After(tai, "九三：", 2);
  EXPECT_TRUE(Has(tai3, "泰道最盛")) << tai3;
  EXPECT_FALSE(Has(tai3, "泰极")) << tai3;
  EXPECT_TRUE(Has(After(tai, "上六：", 2), "泰极转否"));

  // 困 九五: it rides on 九四 (乘刚); it is not pressed from below.
  std::string kun5 = After(Load("212112"), "九五：", 2);
  EXPECT_TRUE(Has(kun5, "乘凌在九四阳刚之上")) << kun5;
  EXPECT_FALSE(Has(kun5, "凌逼")) << kun5;

  // 大有 九四, small image: 晢 "clear", not 晳 "pale".
  EXPECT_EQ(After(Load("111121"), "九四：", 1), "象曰：匪其彭，无咎，明辨晢也。");

  // 贲 彖: the received text, without the later supplement 刚柔交错.
  std::string bi = After(Load("121221"), "彖曰：", 0);
  EXPECT_TRUE(Has(bi, "分刚上而文柔，故小利有攸往。天文也。文明以止，人文也。")) << bi;
  EXPECT_FALSE(Has(bi, "刚柔交错")) << bi;

  // 革: 已日 in the judgment, 彖, 六二 and its small image, as the received text prints it; the
  // judgment's reading names 己日 as the other reading.
  RichDocument ge = Load("121112");
  EXPECT_EQ(After(ge, "革：", 0), "革：已日乃孚，元亨利贞，悔亡。");
  EXPECT_TRUE(Has(After(ge, "彖曰：", 0), "已日乃孚，革而信之。"));
  EXPECT_EQ(After(ge, "六二：", 0), "六二：已日乃革之，征吉，无咎。");
  EXPECT_EQ(After(ge, "六二：", 1), "象曰：已日革之，行有嘉也。");
  EXPECT_TRUE(Has(After(ge, "革：", 1), "有的本子作“己日”"));
  for (const RichParagraph& p : ge.Paragraphs) {
    bool reading = p.Text().rfind("【白话】", 0) == 0;
    EXPECT_TRUE(reading || !Has(p.Text(), "己日")) << p.Text();
  }
}

TEST(TextCorrections, EveryReadingIsDarkNearlyFullSizeAndSetApart) {
  int readings = 0;
  for (const THexagram& h : Catalogue()) {
    RichDocument d = Load(h.code);
    int classicalSize = 0;
    for (const RichParagraph& p : d.Paragraphs) {
      if (p.Runs.empty() || p.Text().empty()) continue;
      bool reading = p.Text().rfind("【白话】", 0) == 0;
      if (!reading) {
        if (!p.Runs.front().Format.Bold) classicalSize = p.Runs.front().Format.SizeHalfPoints;
        continue;
      }
      ++readings;
      ASSERT_GT(classicalSize, 0) << h.code << ": a reading before any classical text";
      for (const RichRun& r : p.Runs) {
        // At least 10:1 against the white page, and the classical text's size or one step
        // (1 pt) below it.
        EXPECT_GE(ContrastOnWhite(r.Format.Color), 10.0) << h.code << ": " << p.Text();
        EXPECT_LE(r.Format.SizeHalfPoints, classicalSize) << h.code;
        EXPECT_GE(r.Format.SizeHalfPoints, classicalSize - 2) << h.code;
      }
      EXPECT_TRUE(p.SpaceBefore > 0 || p.LeftIndent > 0) << h.code << ": " << p.Text();
    }
  }
  EXPECT_EQ(readings, 450);  // one after each judgment and each line text, 用九 and 用六 included
}
