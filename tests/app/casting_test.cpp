// Casting: the codes the lookup takes, the changed hexagram, which texts the seven rules point
// to, the odds of three coins and the clock method on the lunar calendar.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <set>

#include "app/Casting.h"
#include "app/ReadingWindow.h"
#include "platform/text/RichText.h"
#include "support/TestSupport.h"

using namespace corvane;

TEST(CastCodes, SixDigitsOfSixToNineCastOneAndTwoLookUpAndEverythingElseIsRefused) {
  EXPECT_EQ(ClassifyCode("798677"), TCodeKind::CastCode);
  EXPECT_EQ(ClassifyCode("666999"), TCodeKind::CastCode);
  EXPECT_EQ(ClassifyCode("121212"), TCodeKind::LineCode);
  for (const char* refused : {"", "79867", "7986777", " 798677", "798677 ", "798670", "798a77", "612345",
                              "791677", "７９８６７７", "798６77", "1212１2"}) {
    EXPECT_EQ(ClassifyCode(refused), TCodeKind::Invalid) << refused;
    EXPECT_FALSE(ParseCastCode(refused)) << refused;
  }
  EXPECT_FALSE(ParseCastCode("121212"));
  const TCast c = *ParseCastCode("798677");
  EXPECT_EQ(c.Code(), "798677");
}

TEST(CastCodes, TheCastHexagramTakesSevenAndNineAsYangAndTheChangedOneTurnsOnlyTheMovingLines) {
  struct Case { const char* code; const char* primary; const char* changed; std::vector<int> moving; };
  const Case cases[] = {
      {"798677", "112211", "122111", {2, 4}},
      {"789678", "121212", "122112", {3, 4}},  // 既济之随, the coin text's example
      {"888779", "222111", "222112", {6}},     // 否之萃, the clock text's example
      {"787878", "121212", "121212", {}},
      {"666666", "222222", "111111", {1, 2, 3, 4, 5, 6}},
      {"999999", "111111", "222222", {1, 2, 3, 4, 5, 6}},
  };
  for (const Case& k : cases) {
    const TCast c = *ParseCastCode(k.code);
    EXPECT_EQ(c.PrimaryCode(), k.primary) << k.code;
    EXPECT_EQ(c.ChangedCode(), k.changed) << k.code;
    EXPECT_EQ(c.MovingLines(), k.moving) << k.code;
  }
  EXPECT_EQ(LineTitle("112211", 1), "初九");
  EXPECT_EQ(LineTitle("112211", 2), "九二");
  EXPECT_EQ(LineTitle("112211", 4), "六四");
  EXPECT_EQ(LineTitle("112211", 6), "上九");
  EXPECT_EQ(LineTitle("121111", 6), "上九");
  EXPECT_EQ(LineTitle("222222", 6), "上六");
}

// The seven rules as the reading window states them, written out as the passages they name:
// P is the cast hexagram, C the changed one, J a judgment, L<n> line n, U 用九/用六; the first is
// the one the rule reads first ("为主").
TEST(CastRules, EachCountOfMovingLinesPointsToTheTextsItsRuleNames) {
  using K = TPassage::Kind;
  auto P = [](K k, int line = 0) { return TPassage{false, k, line}; };
  auto C = [](K k, int line = 0) { return TPassage{true, k, line}; };
  struct Case { const char* code; int rule; std::vector<TPassage> passages; };
  const Case table[] = {
      // (7) 六爻全不变者，以本卦卦辞占。
      {"787878", 7, {P(K::Judgment)}},
      // (1) 一爻变者，以本卦变爻的爻辞占。
      {"787978", 1, {P(K::Line, 4)}},
      // (2) 二爻变者，以本卦二变的爻辞占，以上爻的爻辞为主。
      {"798677", 2, {P(K::Line, 4), P(K::Line, 2)}},
      // (3) 三爻变者，以本卦及之卦的卦辞占，以本卦的卦辞为主。
      {"979867", 3, {P(K::Judgment), C(K::Judgment)}},
      // (4) 四爻变者，以之卦中二不变的爻辞占，以下爻的爻辞为主。
      {"996677", 4, {C(K::Line, 5), C(K::Line, 6)}},
      {"797999", 4, {C(K::Line, 1), C(K::Line, 3)}},
      // (5) 五爻变者，以之卦中不变的爻辞占。
      {"967996", 5, {C(K::Line, 3)}},
      // (6) 六爻全变者，乾坤两卦以用九和用六的辞占，并参考之卦卦辞。余六十二卦占以之卦卦辞。
      {"999999", 6, {P(K::AllLines), C(K::Judgment)}},
      {"666666", 6, {P(K::AllLines), C(K::Judgment)}},
      {"696969", 6, {C(K::Judgment)}},
  };
  for (const Case& k : table) {
    const TReadingRule r = SelectRule(*ParseCastCode(k.code));
    EXPECT_EQ(r.number, k.rule) << k.code;
    EXPECT_EQ(r.passages, k.passages) << k.code;
  }
}

TEST(CastRules, TheRuleNumbersAreTheOnesTheReadingWindowsRulesTextShows) {
  TForm2 form(nullptr);
  for (int rule = 1; rule <= 7; ++rule) {
    const std::vector<int> lines = form.RuleLines(rule);
    ASSERT_FALSE(lines.empty()) << rule;
    const std::string first = form.RulesText()[lines.front()];
    EXPECT_EQ(first.rfind("(" + std::to_string(rule) + ")", 0), 0u) << first;
  }
  // Rule 6 goes on over the next line of the text.
  EXPECT_EQ(form.RuleLines(6).size(), 2u);
}

TEST(Coins, EachCoinIsOneBitAndThreeCoinsSplitOneToThreeToThreeToOne) {
  EXPECT_EQ(TossThreeCoins([] { return 0u; }).value, 6);
  EXPECT_EQ(TossThreeCoins([] { return 7u; }).value, 9);
  const TToss one = TossThreeCoins([] { return 0b010u; });
  EXPECT_EQ(one.value, 7);
  EXPECT_EQ(one.back, (std::array<bool, 3>{false, true, false}));
  // A fixed source in the test only: 60,000 lines and the chi-square of the 6:7:8:9 split
  // against 1:3:3:1 (three degrees of freedom; 16.27 is the 0.1 % point).
  std::mt19937 gen(20240417);
  std::array<int, 4> counts{};
  const int n = 60000;
  for (int i = 0; i < n; ++i) ++counts[TossThreeCoins([&] { return static_cast<uint32_t>(gen()); }).value - 6];
  const double expected[] = {n / 8.0, n * 3 / 8.0, n * 3 / 8.0, n / 8.0};
  double chi2 = 0;
  for (int i = 0; i < 4; ++i) chi2 += (counts[i] - expected[i]) * (counts[i] - expected[i]) / expected[i];
  EXPECT_LT(chi2, 16.27) << counts[0] << " " << counts[1] << " " << counts[2] << " " << counts[3];
  // A source that favours one face shows in the same check.
  std::bernoulli_distribution biased(0.55);
  std::array<int, 4> skewed{};
  for (int i = 0; i < n; ++i)
    ++skewed[TossThreeCoins([&] { return uint32_t(biased(gen)) | uint32_t(biased(gen)) << 1 | uint32_t(biased(gen)) << 2; }).value - 6];
  double chi2b = 0;
  for (int i = 0; i < 4; ++i) chi2b += (skewed[i] - expected[i]) * (skewed[i] - expected[i]) / expected[i];
  EXPECT_GT(chi2b, 16.27);
}

TEST(Coins, TheSystemSourceGivesEveryBitBothWays) {
  uint32_t seenSet = 0, seenClear = 0;
  for (int i = 0; i < 256; ++i) {
    const uint32_t b = SystemRandomBits();
    seenSet |= b;
    seenClear |= ~b;
  }
  EXPECT_EQ(seenSet, 0xFFFFFFFFu);
  EXPECT_EQ(seenClear, 0xFFFFFFFFu);
}

TEST(Clock, TheWorkedExampleOfTheClockTextCastsPiMovingInTheTopLineToCui) {
  // 2024-04-17 is 甲辰年三月初九; 11:30 is 午时.
  EXPECT_EQ(SystemLunarDate(2024, 4, 17), (TLunarDate{1, 5, 3, false, 9}));
  const TClockCast c = CastFromClock({2024, 4, 17, 11, 30}, SystemLunarDate);
  EXPECT_EQ(c.hour, 7);
  EXPECT_EQ(c.upper, 1);
  EXPECT_EQ(c.lower, 8);
  EXPECT_EQ(c.moving, 6);
  EXPECT_EQ(c.cast.PrimaryCode(), "222111");
  EXPECT_EQ(c.cast.MovingLines(), std::vector<int>{6});
  EXPECT_EQ(c.cast.ChangedCode(), "222112");
  EXPECT_EQ(c.Numbers(), "甲辰年 三月 初九 午时：5 + 3 + 9 + 7");
}

TEST(Clock, DoubleHoursStartAtElevenAtNightAndZiShiBelongsToTheNextDay) {
  EXPECT_EQ(DoubleHour(23), 1);
  EXPECT_EQ(DoubleHour(0), 1);
  EXPECT_EQ(DoubleHour(1), 2);
  EXPECT_EQ(DoubleHour(12), 7);
  EXPECT_EQ(DoubleHour(22), 12);
  // 23:30 on 三月初九 casts as 三月初十 子时, exactly as 0:30 the next morning does.
  const TClockCast late = CastFromClock({2024, 4, 17, 23, 30}, SystemLunarDate);
  const TClockCast early = CastFromClock({2024, 4, 18, 0, 30}, SystemLunarDate);
  EXPECT_EQ(late.date, (TLunarDate{1, 5, 3, false, 10}));
  EXPECT_EQ(late.hour, 1);
  EXPECT_EQ(late.cast.Code(), early.cast.Code());
  EXPECT_EQ(late.Numbers(), "甲辰年 三月 初十 子时：5 + 3 + 10 + 1");
}

TEST(Clock, NewYearsEveLeapMonthsAndTheEndsOfMonthsTakeTheCalendarsDate) {
  // New Year's Eve of 癸卯 (2024-02-09): 腊月三十 until 23:00, then 甲辰年正月初一 子时.
  const TClockCast eve = CastFromClock({2024, 2, 9, 22, 30}, SystemLunarDate);
  EXPECT_EQ(eve.date, (TLunarDate{10, 4, 12, false, 30}));
  EXPECT_EQ(eve.Numbers(), "癸卯年 腊月 三十 亥时：4 + 12 + 30 + 12");
  // 4 + 12 + 30 = 46: upper 46 mod 8 = 6 (坎); + 12 = 58: lower 2 (兑), moving 58 mod 6 = 4.
  EXPECT_EQ(eve.upper, 6);
  EXPECT_EQ(eve.lower, 2);
  EXPECT_EQ(eve.moving, 4);
  EXPECT_EQ(eve.cast.Code(), "778678");
  const TClockCast newYear = CastFromClock({2024, 2, 9, 23, 30}, SystemLunarDate);
  EXPECT_EQ(newYear.date, (TLunarDate{1, 5, 1, false, 1}));
  EXPECT_EQ(newYear.Numbers(), "甲辰年 正月 初一 子时：5 + 1 + 1 + 1");
  // A leap month counts as the month it repeats: 2023-04-01 is 癸卯年闰二月十一.
  const TClockCast leap = CastFromClock({2023, 4, 1, 9, 0}, SystemLunarDate);
  EXPECT_EQ(leap.date, (TLunarDate{10, 4, 2, true, 11}));
  EXPECT_EQ(leap.Numbers(), "癸卯年 闰二月 十一 巳时：4 + 2 + 11 + 6");
  EXPECT_EQ(leap.cast.Code(), CastFromNumbers({10, 4, 2, false, 11}, 6).cast.Code());
  // The last day of 三月 of 甲辰 (2024-05-07, 廿九); at 23:30 it is already 四月初一.
  EXPECT_EQ(CastFromClock({2024, 5, 7, 12, 0}, SystemLunarDate).date, (TLunarDate{1, 5, 3, false, 29}));
  EXPECT_EQ(CastFromClock({2024, 5, 7, 23, 30}, SystemLunarDate).date, (TLunarDate{1, 5, 4, false, 1}));
  // The last day of a civil month and of a civil year.
  EXPECT_EQ(CastFromClock({2024, 4, 30, 23, 30}, SystemLunarDate).date, (TLunarDate{1, 5, 3, false, 23}));
  EXPECT_EQ(CastFromClock({2024, 12, 31, 23, 30}, SystemLunarDate).date, SystemLunarDate(2025, 1, 1));
  // Remainders of 0 count as 8 and 6: 5 + 3 + 8 = 16, + 8 = 24.
  const TClockCast even = CastFromNumbers({1, 5, 3, false, 8}, 8);
  EXPECT_EQ(even.upper, 8);
  EXPECT_EQ(even.lower, 8);
  EXPECT_EQ(even.moving, 6);
  EXPECT_EQ(even.cast.Code(), "888886");
}

namespace {
// The text of the document view at a position.
std::string TextAt(TForm2& f, int pos, int length) {
  auto* view = Find<TRichEdit>(&f, "richedit1");
  view->SetSelection(pos, length);
  return view->SelText();
}
int HighlightedParagraphs(TForm2& f) {
  int n = 0;
  for (const RichParagraph& p : Find<TRichEdit>(&f, "richedit1")->Document().Paragraphs)
    if (!p.Runs.empty() && p.Runs.front().Format.Highlight != clDefault) ++n;
  return n;
}
}  // namespace

TEST(CastReading, ShowsTheMovingLinesTheChangedHexagramTheRuleAndTheTextsItPointsTo) {
  std::filesystem::current_path(test::SourceDir());
  {
    // 既济之随: lines 3 (old yang) and 4 (old yin) move; rule 2 reads 六四 first, then 九三.
    TForm2 f(nullptr);
    f.FillCast(*ParseCastCode("789678"));
    ASSERT_EQ(f.MovingMarks().size(), 2u);
    EXPECT_EQ(f.MovingMarks()[0]->Caption(), "○");
    EXPECT_EQ(f.MovingMarks()[1]->Caption(), "×");
    EXPECT_LT(f.MovingMarks()[1]->Top(), f.MovingMarks()[0]->Top());  // the upper line higher up
    EXPECT_TRUE(Find<TControl>(&f, "q121212")->Visible());
    ASSERT_NE(f.ChangedPicture(), nullptr);
    const std::vector<std::string> rules = f.RulesText();
    for (int i = 0; i < static_cast<int>(rules.size()); ++i) {
      const bool marked = rules[i].rfind(TForm2::kRuleMark, 0) == 0;
      EXPECT_EQ(marked, i == f.RuleLines(2).front()) << rules[i];
    }
    ASSERT_EQ(f.PassagePositions().size(), 2u);
    EXPECT_EQ(TextAt(f, f.PassagePositions()[0], 6), "六四：繻有衣");
    EXPECT_EQ(TextAt(f, f.PassagePositions()[1], 6), "九三：高宗伐");
    EXPECT_EQ(HighlightedParagraphs(f), 2);
    // The changed hexagram's text follows, so rules that read it find it.
    EXPECT_NE(Find<TRichEdit>(&f, "richedit1")->PlainText().find("之卦：泽雷随"), std::string::npos);
  }
  {
    // All six lines of 乾 move: 用九 first, then the judgment of 坤, the changed hexagram.
    TForm2 f(nullptr);
    f.FillCast(*ParseCastCode("999999"));
    ASSERT_EQ(f.PassagePositions().size(), 2u);
    EXPECT_EQ(TextAt(f, f.PassagePositions()[0], 3), "用九：");
    EXPECT_EQ(TextAt(f, f.PassagePositions()[1], 2), "坤：");
    EXPECT_GT(f.PassagePositions()[1], f.PassagePositions()[0]);
    // The narrower rules text holds rule 6 on one line, all of it marked.
    ASSERT_EQ(f.RuleLines(6).size(), 1u);
    const std::string rule6 = f.RulesText()[f.RuleLines(6)[0]];
    EXPECT_EQ(rule6.rfind(TForm2::kRuleMark, 0), 0u);
    EXPECT_NE(rule6.find("余六十二卦占以之卦卦辞"), std::string::npos);
    EXPECT_EQ(f.RulesText().size(), 10u);
  }
  {
    // Nothing moves: no changed hexagram, the cast one's judgment.
    TForm2 f(nullptr);
    f.FillCast(*ParseCastCode("877777"));
    EXPECT_TRUE(f.MovingMarks().empty());
    EXPECT_EQ(f.ChangedPicture(), nullptr);
    ASSERT_EQ(f.PassagePositions().size(), 1u);
    EXPECT_EQ(TextAt(f, f.PassagePositions()[0], 2), "姤：");
    EXPECT_EQ(HighlightedParagraphs(f), 1);
  }
}
