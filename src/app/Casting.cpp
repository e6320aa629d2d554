#include "app/Casting.h"

#include <sys/random.h>

#include <cerrno>
#include <chrono>
#include <stdexcept>

#include "platform/core/ChineseCalendar.h"

namespace corvane {

namespace {
constexpr const char* kStems[] = {"甲", "乙", "丙", "丁", "戊", "己", "庚", "辛", "壬", "癸"};
constexpr const char* kBranches[] = {"子", "丑", "寅", "卯", "辰", "巳", "午", "未", "申", "酉", "戌", "亥"};
constexpr const char* kMonths[] = {"正", "二", "三", "四", "五", "六", "七", "八", "九", "十", "冬", "腊"};
constexpr const char* kDigits[] = {"", "一", "二", "三", "四", "五", "六", "七", "八", "九", "十"};
// The eight trigrams by their numbers 1..8 (乾 兑 离 震 巽 坎 艮 坤), lines bottom first.
constexpr const char* kTrigrams[] = {"111", "112", "121", "122", "211", "212", "221", "222"};

bool IsYang(int value) { return value == 7 || value == 9; }

// The remainder as the text counts it: a division that leaves nothing counts as the divisor.
int CountedRemainder(int n, int divisor) {
  const int r = n % divisor;
  return r == 0 ? divisor : r;
}
}  // namespace

std::string TCast::Code() const {
  std::string s;
  for (int v : values) s += static_cast<char>('0' + v);
  return s;
}

std::string TCast::PrimaryCode() const {
  std::string s;
  for (int v : values) s += IsYang(v) ? '1' : '2';
  return s;
}

std::string TCast::ChangedCode() const {
  std::string s = PrimaryCode();
  for (int line = 1; line <= 6; ++line)
    if (Moves(line)) s[line - 1] = s[line - 1] == '1' ? '2' : '1';
  return s;
}

std::vector<int> TCast::MovingLines() const {
  std::vector<int> lines;
  for (int line = 1; line <= 6; ++line)
    if (Moves(line)) lines.push_back(line);
  return lines;
}

std::optional<TCast> ParseCastCode(std::string_view text) {
  if (text.size() != 6) return std::nullopt;
  TCast cast;
  for (int i = 0; i < 6; ++i) {
    if (text[i] < '6' || text[i] > '9') return std::nullopt;
    cast.values[i] = text[i] - '0';
  }
  return cast;
}

TCodeKind ClassifyCode(std::string_view text) {
  if (text.size() != 6) return TCodeKind::Invalid;
  bool line = true, cast = true;
  for (char c : text) {
    line = line && (c == '1' || c == '2');
    cast = cast && c >= '6' && c <= '9';
  }
  return line ? TCodeKind::LineCode : cast ? TCodeKind::CastCode : TCodeKind::Invalid;
}

TReadingRule SelectRule(const TCast& cast) {
  using K = TPassage::Kind;
  const std::vector<int> moving = cast.MovingLines();
  std::vector<int> still;
  for (int line = 1; line <= 6; ++line)
    if (!cast.Moves(line)) still.push_back(line);
  TReadingRule r;
  switch (moving.size()) {
    case 0:  // (7) 六爻全不变者，以本卦卦辞占。
      r.number = 7;
      r.passages = {{false, K::Judgment, 0}};
      break;
    case 1:  // (1) 一爻变者，以本卦变爻的爻辞占。
      r.number = 1;
      r.passages = {{false, K::Line, moving[0]}};
      break;
    case 2:  // (2) 以本卦二变的爻辞占，以上爻的爻辞为主。
      r.number = 2;
      r.passages = {{false, K::Line, moving[1]}, {false, K::Line, moving[0]}};
      break;
    case 3:  // (3) 以本卦及之卦的卦辞占，以本卦的卦辞为主。
      r.number = 3;
      r.passages = {{false, K::Judgment, 0}, {true, K::Judgment, 0}};
      break;
    case 4:  // (4) 以之卦中二不变的爻辞占，以下爻的爻辞为主。
      r.number = 4;
      r.passages = {{true, K::Line, still[0]}, {true, K::Line, still[1]}};
      break;
    case 5:  // (5) 以之卦中不变的爻辞占。
      r.number = 5;
      r.passages = {{true, K::Line, still[0]}};
      break;
    default: {  // (6) 乾坤两卦以用九和用六的辞占，并参考之卦卦辞。余六十二卦占以之卦卦辞。
      r.number = 6;
      const std::string primary = cast.PrimaryCode();
      if (primary == "111111" || primary == "222222") r.passages.push_back({false, K::AllLines, 0});
      r.passages.push_back({true, K::Judgment, 0});
      break;
    }
  }
  return r;
}

std::string LineTitle(const std::string& lineCode, int line) {
  const bool yang = lineCode.at(line - 1) == '1';
  const char* number = yang ? "九" : "六";
  static const char* const kPlaces[] = {"", "二", "三", "四", "五", ""};
  if (line == 1) return std::string("初") + number;
  if (line == 6) return std::string("上") + number;
  return std::string(number) + kPlaces[line - 1];
}

uint32_t SystemRandomBits() {
  uint32_t bits = 0;
  auto* p = reinterpret_cast<unsigned char*>(&bits);
  size_t got = 0;
  while (got < sizeof bits) {
    const ssize_t n = ::getrandom(p + got, sizeof bits - got, 0);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw std::runtime_error("系统的随机数来源不可用，无法起卦。");
    }
    got += static_cast<size_t>(n);
  }
  return bits;
}

TToss TossThreeCoins(const TRandomBits& random) {
  const uint32_t bits = random();
  TToss t;
  t.value = 0;
  for (int i = 0; i < 3; ++i) {
    t.back[i] = (bits >> i) & 1u;
    t.value += t.back[i] ? 3 : 2;
  }
  return t;
}

const char* LineValueName(int value) {
  switch (value) {
    case 6: return "老阴";
    case 7: return "少阳";
    case 8: return "少阴";
    case 9: return "老阳";
  }
  return "";
}

// --------------------------------------------------------------------------------------------

TLunarDate SystemLunarDate(int year, int month, int day) {
  const TChineseDate c = ChineseDateOf(year, month, day);
  TLunarDate d;
  d.stem = (c.cycleYear - 1) % 10 + 1;
  d.branch = (c.cycleYear - 1) % 12 + 1;
  d.month = c.month;
  d.leapMonth = c.leapMonth;
  d.day = c.day;
  return d;
}

int DoubleHour(int hour) { return (hour + 1) / 2 % 12 + 1; }

TClockCast CastFromNumbers(const TLunarDate& date, int doubleHour) {
  TClockCast c;
  c.date = date;
  c.hour = doubleHour;
  const int sum = date.branch + date.month + date.day;
  c.upper = CountedRemainder(sum, 8);
  c.lower = CountedRemainder(sum + doubleHour, 8);
  c.moving = CountedRemainder(sum + doubleHour, 6);
  const std::string code = std::string(kTrigrams[c.lower - 1]) + kTrigrams[c.upper - 1];
  for (int i = 0; i < 6; ++i) {
    const bool yang = code[i] == '1';
    const bool moves = i + 1 == c.moving;
    c.cast.values[i] = yang ? (moves ? 9 : 7) : (moves ? 6 : 8);
  }
  return c;
}

TClockCast CastFromClock(const TLocalTime& now, const TLunarCalendar& calendar) {
  using namespace std::chrono;
  year_month_day day{year{now.year}, month{static_cast<unsigned>(now.month)}, std::chrono::day{static_cast<unsigned>(now.day)}};
  if (now.hour >= 23) day = year_month_day{sys_days{day} + days{1}};
  const TLunarDate lunar = calendar(static_cast<int>(day.year()), static_cast<int>(static_cast<unsigned>(day.month())),
                                    static_cast<int>(static_cast<unsigned>(day.day())));
  return CastFromNumbers(lunar, DoubleHour(now.hour));
}

std::string TClockCast::Numbers() const {
  return StemBranchName(date.stem, date.branch) + "年 " + LunarMonthName(date.month, date.leapMonth) + " " +
         LunarDayName(date.day) + " " + DoubleHourName(hour) + "：" + std::to_string(date.branch) + " + " +
         std::to_string(date.month) + " + " + std::to_string(date.day) + " + " + std::to_string(hour);
}

std::string StemBranchName(int stem, int branch) { return std::string(kStems[(stem - 1) % 10]) + kBranches[(branch - 1) % 12]; }

std::string LunarMonthName(int month, bool leap) {
  return std::string(leap ? "闰" : "") + kMonths[(month - 1) % 12] + "月";
}

std::string LunarDayName(int day) {
  if (day <= 10) return std::string("初") + kDigits[day];
  if (day < 20) return std::string("十") + kDigits[day - 10];
  if (day == 20) return "二十";
  if (day < 30) return std::string("廿") + kDigits[day - 20];
  return "三十";
}

std::string DoubleHourName(int hour) { return std::string(kBranches[(hour - 1) % 12]) + "时"; }

}  // namespace corvane
