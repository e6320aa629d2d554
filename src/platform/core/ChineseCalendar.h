// The Chinese lunisolar calendar, from the system's calendar library (ICU). The library is asked
// only when a date is first converted; nothing of it is set up at start-up.
#pragma once

#include <string>

namespace corvane {

struct TChineseDate {
  int cycleYear = 1;  // 1..60 in the sexagenary cycle: 1 is 甲子
  int month = 1;      // 1..12
  bool leapMonth = false;
  int day = 1;        // 1..30
};

// The Chinese date of a civil (Gregorian) date. Raises std::runtime_error with a message
// for the user when the calendar library cannot give it.
TChineseDate ChineseDateOf(int year, int month, int day);

}  // namespace corvane
