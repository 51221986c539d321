#include "addin/vb_dates.h"

#include <cmath>
#include <cstdio>

namespace vantelo::vb {
namespace {

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& year, int& month, int& day) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(static_cast<long long>(yoe) + era * 400 + (month <= 2));
}

const long long kDateEpoch = DaysFromCivil(1899, 12, 30);

} // namespace

Date ToDate(const LocalDateTime& when) {
  const long long days =
      DaysFromCivil(when.year, static_cast<unsigned>(when.month), static_cast<unsigned>(when.day)) -
      kDateEpoch;
  const double time = (when.hour * 3600.0 + when.minute * 60.0 + when.second) / 86400.0;
  // The platform's dates before 1899-12-30 keep the time of day positive.
  return Date{days >= 0 ? days + time : days - time};
}

LocalDateTime FromDate(Date date) {
  const double whole = std::trunc(date.days);
  const double fraction = std::fabs(date.days - whole);
  LocalDateTime when;
  CivilFromDays(static_cast<long long>(whole) + kDateEpoch, when.year, when.month, when.day);
  long long seconds = std::llround(fraction * 86400.0);
  if (seconds >= 86400)
    seconds = 86399;
  when.hour = static_cast<int>(seconds / 3600);
  when.minute = static_cast<int>(seconds / 60 % 60);
  when.second = static_cast<int>(seconds % 60);
  return when;
}

std::string FormatHourMinute(const LocalDateTime& when, std::string_view timeSeparator) {
  char hour[8], minute[8];
  std::snprintf(hour, sizeof hour, "%02d", when.hour);
  std::snprintf(minute, sizeof minute, "%02d", when.minute);
  return std::string(hour) + std::string(timeSeparator) + minute;
}

} // namespace vantelo::vb
