// The regional settings from the POSIX locale.
#include "platform/regional_settings.h"

#include <cstdlib>
#include <langinfo.h>
#include <locale.h>

namespace vantelo {

namespace {

// The locale name setlocale(category, "") would take.
std::string EnvironmentLocaleName(const char* categoryVariable) {
  for (const char* variable : {"LC_ALL", categoryVariable, "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0')
      return value;
  }
  return "C";
}

} // namespace

LocaleRegionalSettings::LocaleRegionalSettings() = default;

LocaleRegionalSettings::LocaleRegionalSettings(std::string localeName)
    : fixedName_(std::move(localeName)) {}

std::string LocaleRegionalSettings::DecimalSeparator() { return Lookup(Item::Decimal); }

std::string LocaleRegionalSettings::TimeSeparator() { return Lookup(Item::Time); }

std::string LocaleRegionalSettings::Lookup(Item item) {
  const bool decimal = item == Item::Decimal;
  const char* fallback = decimal ? "." : ":";
  std::string name =
      fixedName_ ? *fixedName_ : EnvironmentLocaleName(decimal ? "LC_NUMERIC" : "LC_TIME");

  Cached& cache = decimal ? decimal_ : time_;
  if (cache.valid && cache.localeName == name)
    return cache.value; // loading a locale is the costly part

  locale_t loc = ::newlocale(decimal ? LC_NUMERIC_MASK : LC_TIME_MASK, name.c_str(), locale_t{});
  if (loc == locale_t{})
    return fallback; // not installed: not cached, it may be installed later
  const char* info = ::nl_langinfo_l(decimal ? RADIXCHAR : T_FMT, loc);
  std::string value;
  if (info != nullptr)
    value = decimal ? std::string(info) : TimeSeparatorFromFormat(info);
  ::freelocale(loc);
  cache = Cached{name, value.empty() ? std::string(fallback) : value, true};
  return cache.value;
}

} // namespace vantelo
