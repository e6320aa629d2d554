#include "platform/core/ChineseCalendar.h"

#include <unicode/ucal.h>

#include <chrono>
#include <memory>
#include <stdexcept>

namespace corvane {

namespace {
struct CalendarCloser {
  void operator()(UCalendar* c) const { ucal_close(c); }
};

[[noreturn]] void Fail(UErrorCode status) {
  throw std::runtime_error(std::string("农历日期无法换算（") + u_errorName(status) + "）。");
}
}  // namespace

TChineseDate ChineseDateOf(int year, int month, int day) {
  using namespace std::chrono;
  // Noon of the civil day in universal time, read by a calendar in universal time: the day
  // number is then that civil day's whatever the machine's zone. The calendar computes the
  // months for the meridian of China itself, as the published calendar does.
  const sys_days civil{year_month_day{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                                      std::chrono::day{static_cast<unsigned>(day)}}};
  const double millis = static_cast<double>(civil.time_since_epoch().count()) * 86400000.0 + 12 * 3600000.0;
  UErrorCode status = U_ZERO_ERROR;
  static const UChar kUtc[] = {'U', 'T', 'C', 0};
  std::unique_ptr<UCalendar, CalendarCloser> cal(ucal_open(kUtc, 3, "zh_CN@calendar=chinese", UCAL_DEFAULT, &status));
  if (U_FAILURE(status)) Fail(status);
  ucal_setMillis(cal.get(), millis, &status);
  TChineseDate d;
  d.cycleYear = ucal_get(cal.get(), UCAL_YEAR, &status);
  d.month = ucal_get(cal.get(), UCAL_MONTH, &status) + 1;
  d.leapMonth = ucal_get(cal.get(), UCAL_IS_LEAP_MONTH, &status) != 0;
  d.day = ucal_get(cal.get(), UCAL_DATE, &status);
  if (U_FAILURE(status)) Fail(status);
  return d;
}

}  // namespace corvane
