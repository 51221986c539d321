#include "platform/regional_settings.h"

namespace vantelo {

namespace {

bool IsConversionFlag(char c) {
  return c == '_' || c == '-' || c == '0' || c == '^' || c == '#' || (c >= '1' && c <= '9');
}

} // namespace

std::string TimeSeparatorFromFormat(std::string_view format) {
  bool afterHour = false;
  std::string literal;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%' || i + 1 >= format.size()) {
      if (afterHour)
        literal.push_back(format[i]);
      continue;
    }
    // A field: '%', flags and width, an optional E or O modifier, the letter.
    std::size_t j = i + 1;
    while (j < format.size() && IsConversionFlag(format[j]))
      ++j;
    if (j < format.size() && (format[j] == 'E' || format[j] == 'O'))
      ++j;
    if (j >= format.size()) {
      if (afterHour)
        literal.append(format.substr(i));
      break;
    }
    const char conversion = format[j];
    i = j;
    if (conversion == '%') {
      if (afterHour)
        literal.push_back('%');
      continue;
    }
    if (afterHour)
      return literal; // the text between the hour and the next field
    if (conversion == 'T' || conversion == 'R' || conversion == 'r')
      return ":";
    if (conversion == 'H' || conversion == 'I' || conversion == 'k' || conversion == 'l')
      afterHour = true;
  }
  return {};
}

FixedRegionalSettings::FixedRegionalSettings(std::string decimalSeparator,
                                             std::string timeSeparator)
    : decimal_(std::move(decimalSeparator)), time_(std::move(timeSeparator)) {}

} // namespace vantelo
