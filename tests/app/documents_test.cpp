// The documents the program reads: every one exists and loads through the program's RTF reader;
// each commentary carries its hexagram's name and its six line texts, bottom line first.
#include <gtest/gtest.h>

#include "app/Catalogue.h"
#include "platform/text/RichText.h"
#include "support/TestSupport.h"

using namespace corvane;

namespace {
RichDocument Load(const std::string& name) { return LoadRichTextFile(test::SourceDir() + "/dat/" + name); }

bool HasBoldParagraph(const RichDocument& d, const std::string& text) {
  for (const RichParagraph& p : d.Paragraphs)
    if (p.Text().find(text) != std::string::npos && !p.Runs.empty() && p.Runs.front().Format.Bold) return true;
  return false;
}
}  // namespace

TEST(Documents, EveryCommentaryNamesItsHexagramAndHasSixLineTextsInOrder) {
  for (const THexagram& h : Catalogue()) {
    RichDocument d = Load(std::string(h.code) + ".rtf");
    ASSERT_FALSE(d.Paragraphs.empty()) << h.code;
    EXPECT_NE(d.Paragraphs.front().Text().find(h.name), std::string::npos) << h.code;
    EXPECT_TRUE(d.Paragraphs.front().Runs.front().Format.Bold) << h.code;
    // Line i is named by its place (初, 二 .. 五, 上) and by yang (九) or yin (六).
    static const char* kPlaces[] = {"初", "二", "三", "四", "五", "上"};
    std::vector<size_t> found;
    for (int i = 0; i < 6; ++i) {
      std::string number = h.code[i] == '1' ? "九" : "六";
      std::string name = i == 0 ? std::string("初") + number : i == 5 ? std::string("上") + number : number + kPlaces[i];
      size_t at = std::string::npos;
      for (size_t k = 0; k < d.Paragraphs.size(); ++k)
        if (d.Paragraphs[k].Text().rfind(name + "：", 0) == 0) { at = k; break; }
      EXPECT_NE(at, std::string::npos) << h.code << " line " << i + 1 << " (" << name << ")";
      found.push_back(at);
    }
    EXPECT_TRUE(std::is_sorted(found.begin(), found.end())) << h.code;
  }
}

TEST(Documents, TheFirstTwoHexagramsCarryTheirExtraLineTexts) {
  std::string qian = PlainText(Load("111111.rtf")), kun = PlainText(Load("222222.rtf"));
  EXPECT_NE(qian.find("用九"), std::string::npos);
  EXPECT_NE(kun.find("用六"), std::string::npos);
  EXPECT_EQ(PlainText(Load("211111.rtf")).find("用九"), std::string::npos);
}

TEST(Documents, ReferenceTextsHaveHeadingsAndCorrectWorkedExamples) {
  struct Ref { const char* file; const char* title; };
  for (Ref r : {Ref{"sifaze.rtf", "预测四原则"}, Ref{"yingbi.rtf", "硬币起卦法"}, Ref{"shijian.rtf", "时间起卦法"}}) {
    RichDocument d = Load(r.file);
    EXPECT_TRUE(HasBoldParagraph(d, r.title)) << r.file;
    // Every six-digit code the text quotes is a real one and its name is given with it.
    std::string text = PlainText(d);
    int codes = 0;
    for (size_t i = 0; i + 6 <= text.size(); ++i) {
      std::string six = text.substr(i, 6);
      if (six.find_first_not_of("12") != std::string::npos) continue;
      if (i > 0 && std::isdigit(static_cast<unsigned char>(text[i - 1]))) continue;
      if (i + 6 < text.size() && std::isdigit(static_cast<unsigned char>(text[i + 6]))) continue;
      const THexagram* h = FindHexagram(six);
      ASSERT_NE(h, nullptr) << r.file << ": " << six;
      EXPECT_NE(text.find(h->name), std::string::npos) << r.file << ": " << six;
      ++codes;
    }
    EXPECT_GT(codes, 0) << r.file;
  }
}

TEST(Documents, NoteBodiesAreEmptyRichText) {
  for (const char* f : {"a1.rtf", "a2.rtf", "a3.rtf"}) {
    std::string bytes = ReadFileBytes(test::SourceDir() + "/dat/" + f);
    EXPECT_TRUE(LooksLikeRtf(bytes)) << f;
    EXPECT_EQ(PlainText(ReadRtf(bytes)), "") << f;
  }
}
