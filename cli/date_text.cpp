#include "cli/date_text.h"

#include <charconv>
#include <cstdio>

namespace vantelo::cli {
namespace {

// Exactly `digits` decimal digits at text[pos...].
bool ReadDigits(std::string_view text, std::size_t pos, std::size_t digits, int& out) {
  if (pos + digits > text.size())
    return false;
  for (std::size_t i = pos; i < pos + digits; ++i)
    if (text[i] < '0' || text[i] > '9')
      return false;
  std::from_chars(text.data() + pos, text.data() + pos + digits, out);
  return true;
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

} // namespace

std::optional<LocalDateTime> ParseDateTime(std::string_view text) {
  LocalDateTime when;
  when.hour = when.minute = when.second = 0;
  if (!ReadDigits(text, 0, 4, when.year) || text.size() < 10 || text[4] != '-' ||
      !ReadDigits(text, 5, 2, when.month) || text[7] != '-' || !ReadDigits(text, 8, 2, when.day))
    return std::nullopt;
  if (text.size() > 10) {
    if ((text[10] != 'T' && text[10] != ' ') || !ReadDigits(text, 11, 2, when.hour) ||
        text.size() < 16 || text[13] != ':' || !ReadDigits(text, 14, 2, when.minute))
      return std::nullopt;
    if (text.size() > 16 &&
        (text.size() != 19 || text[16] != ':' || !ReadDigits(text, 17, 2, when.second)))
      return std::nullopt;
  }
  // The platform's dates run from year 100 to 9999.
  if (when.year < 100 || when.month < 1 || when.month > 12 || when.day < 1 ||
      when.day > DaysInMonth(when.year, when.month) || when.hour > 23 || when.minute > 59 ||
      when.second > 59)
    return std::nullopt;
  return when;
}

std::string FormatDateTime(const LocalDateTime& when) {
  char text[32];
  if (when.hour == 0 && when.minute == 0 && when.second == 0)
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", when.year, when.month, when.day);
  else
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", when.year, when.month,
                  when.day, when.hour, when.minute, when.second);
  return text;
}

} // namespace vantelo::cli
