// Casting a hexagram: the six line values, the changed hexagram, which texts to read, three coins
// and the clock.
//
// A casting code is six digits, bottom line first, each the value of one line:
//   6 old yin (broken, moving: becomes yang), 7 young yang, 8 young yin, 9 old yang (moving).
// The hexagram as cast (本卦) takes 7 and 9 as yang ("1") and 6 and 8 as yin ("2"); the changed
// hexagram (之卦) turns every moving line over. Nothing here touches the toolkit.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

struct TCast {
  std::array<int, 6> values{};  // 6..9, bottom line first

  std::string Code() const;          // the six values as digits, "798677"
  std::string PrimaryCode() const;   // 本卦 as a line code of 1 and 2
  std::string ChangedCode() const;   // 之卦; equal to PrimaryCode() when no line moves
  std::vector<int> MovingLines() const;  // 1..6, bottom first
  bool Moves(int line) const { return values[line - 1] == 6 || values[line - 1] == 9; }
};

// Six characters, each '6'..'9'; nothing else (no blanks, no full-width digits).
std::optional<TCast> ParseCastCode(std::string_view text);

// What the lookup field holds: a line code (1/2) opens that hexagram's reading as it always did,
// a casting code (6..9) opens a cast reading, anything else gets the guidance.
enum class TCodeKind { Invalid, LineCode, CastCode };
TCodeKind ClassifyCode(std::string_view text);

// A text of the commentary a reading rule points to.
struct TPassage {
  enum class Kind { Judgment, Line, AllLines };  // 卦辞, a line's text (初九 ...), 用九 / 用六
  bool inChanged = false;  // in the changed hexagram's text, else the cast one's
  Kind kind = Kind::Judgment;
  int line = 0;            // 1..6 for Kind::Line
  friend bool operator==(const TPassage&, const TPassage&) = default;
};

// The rule of the seven the reading window lists that applies to a cast, numbered as the list
// numbers them: (1) one moving line ... (6) all six, (7) none. The passages are in the order to
// read them, the main one first.
struct TReadingRule {
  int number = 7;
  std::vector<TPassage> passages;
};
TReadingRule SelectRule(const TCast& cast);

// The heading of a line's text in a hexagram's commentary: 初九, 六二, ..., 上六.
std::string LineTitle(const std::string& lineCode, int line);

// ---------------------------------------------------------------------------------------------
// Three coins. Each coin shows 字 (counts 2) or 背 (counts 3) with even odds; the sum of three is
// the line's value.

// A source of random bits. The program uses the system's (SystemRandomBits); tests give their own.
using TRandomBits = std::function<uint32_t()>;
// 32 bits from the kernel's secure generator (getrandom); raises when it cannot give them.
uint32_t SystemRandomBits();

struct TToss {
  std::array<bool, 3> back{};  // true: 背 (3), false: 字 (2)
  int value = 0;               // 6..9
};
// One toss of three coins: three bits of one draw, one per coin.
TToss TossThreeCoins(const TRandomBits& random);
// How a line value reads: "老阴", "少阳", "少阴", "老阳".
const char* LineValueName(int value);

// ---------------------------------------------------------------------------------------------
// The clock. The numbers are those of the lunar calendar: the year's earthly branch (子 1 .. 亥
// 12), the month (正月 1 .. 腊月 12; a leap month counts as the month it repeats), the day (1 ..
// 30) and the double hour (子时 1, from 23:00, .. 亥时 12).

struct TLunarDate {
  int stem = 1;       // 1..10, 甲 .. 癸
  int branch = 1;     // 1..12, 子 .. 亥
  int month = 1;      // 1..12
  bool leapMonth = false;
  int day = 1;        // 1..30
  friend bool operator==(const TLunarDate&, const TLunarDate&) = default;
};

// A local civil date and time, as the clock shows it.
struct TLocalTime {
  int year = 2000, month = 1, day = 1, hour = 0, minute = 0;
};

// Gives the lunar date of a civil date.
using TLunarCalendar = std::function<TLunarDate(int year, int month, int day)>;
// The system calendar library's answer (platform/ChineseCalendar.h).
TLunarDate SystemLunarDate(int year, int month, int day);

struct TClockCast {
  TLunarDate date;
  int hour = 1;      // 1..12
  int upper = 8, lower = 8;  // trigram numbers 1..8 (乾 1 .. 坤 8)
  int moving = 6;    // 1..6
  TCast cast;
  // "甲辰年 三月 初九 午时：5 + 3 + 9 + 7"
  std::string Numbers() const;
};

// The double hour of a time of day: 23:00 to 0:59 is 子时 (1), 1:00 to 2:59 丑时 (2), ...
int DoubleHour(int hour);
// Casts from the numbers (the arithmetic the 时间起卦法 text teaches).
TClockCast CastFromNumbers(const TLunarDate& date, int doubleHour);
// Casts from a local time. From 23:00 on, 子时 already belongs to the next day: the lunar date
// is that of the next civil day (and so the next year's after 23:00 on New Year's Eve).
TClockCast CastFromClock(const TLocalTime& now, const TLunarCalendar& calendar);

// Names: 甲..癸, 子..亥, 正月..腊月 (闰 before a leap month), 初一..三十, 子时..亥时.
std::string StemBranchName(int stem, int branch);
std::string LunarMonthName(int month, bool leap);
std::string LunarDayName(int day);
std::string DoubleHourName(int hour);

}  // namespace corvane
