// The user's regional settings: the decimal and the time separator.
#pragma once

#include "platform/services.h"

#include <optional>
#include <string>
#include <string_view>

namespace vantelo {

// From the POSIX locale: the decimal separator is LC_NUMERIC's radix
// character, the time separator the text between the hour and the minute in
// LC_TIME's time format (T_FMT: "%H:%M:%S" gives ":", "%H.%M.%S" gives ".",
// "%T" gives ":"). Falls back to "." and ":" when the locale cannot be
// loaded or says nothing usable. The texts are in the locale's character set
// (UTF-8 for the usual ".UTF-8" locales).
class LocaleRegionalSettings : public RegionalSettings {
public:
  // The user's locale, taken at each call from the environment as setlocale
  // does for "": LC_ALL, else LC_NUMERIC or LC_TIME, else LANG, else "C".
  LocaleRegionalSettings();
  // A named locale (such as "de_DE.UTF-8") for both separators.
  explicit LocaleRegionalSettings(std::string localeName);

  std::string DecimalSeparator() override;
  std::string TimeSeparator() override;

private:
  struct Cached {
    std::string localeName;
    std::string value;
    bool valid = false;
  };
  enum class Item { Decimal, Time };
  std::string Lookup(Item item);

  std::optional<std::string> fixedName_;
  Cached decimal_;
  Cached time_;
};

// Given separators (for tests and the command line's overrides).
class FixedRegionalSettings : public RegionalSettings {
public:
  FixedRegionalSettings(std::string decimalSeparator = ".", std::string timeSeparator = ":");

  std::string DecimalSeparator() override { return decimal_; }
  std::string TimeSeparator() override { return time_; }

private:
  std::string decimal_;
  std::string time_;
};

// The time separator in a strftime time format: the literal text after the
// first hour field up to the next field; ":" for %T, %R and %r; empty when the
// format has none.
std::string TimeSeparatorFromFormat(std::string_view format);

} // namespace vantelo
