// Regional settings: the decimal and the time separator.
#include "platform/regional_settings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <locale.h>
#include <optional>
#include <string>

namespace vantelo {
namespace {

bool LocaleInstalled(const char* name) {
  locale_t loc = ::newlocale(LC_ALL_MASK, name, locale_t{});
  if (loc == locale_t{})
    return false;
  ::freelocale(loc);
  return true;
}

// Sets an environment variable for the life of the object.
class ScopedEnv {
public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name))
      old_ = old;
    if (value)
      ::setenv(name, value, 1);
    else
      ::unsetenv(name);
  }
  ~ScopedEnv() {
    if (old_)
      ::setenv(name_, old_->c_str(), 1);
    else
      ::unsetenv(name_);
  }

private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(PlatformRegional, Fixed) {
  FixedRegionalSettings defaults;
  EXPECT_EQ(defaults.DecimalSeparator(), ".");
  EXPECT_EQ(defaults.TimeSeparator(), ":");
  FixedRegionalSettings german(",", ".");
  EXPECT_EQ(german.DecimalSeparator(), ",");
  EXPECT_EQ(german.TimeSeparator(), ".");
}

TEST(PlatformRegional, TimeSeparatorFromFormat) {
  struct Case {
    const char* format;
    const char* separator;
  };
  const Case cases[] = {
      {"%H:%M:%S", ":"},
      {"%H.%M.%S", "."},
      {"%T", ":"},
      {"%R", ":"},
      {"%r", ":"},
      {"%I:%M:%S %p", ":"},
      {"%p %I:%M:%S", ":"},
      {"%l:%M:%S %p", ":"},
      {"%k.%M", "."},
      {"%OH:%OM:%OS", ":"},
      {"%-H/%M", "/"},
      {"%_2H h %M", " h "},
      {"%H\xEC\x8B\x9C %M", "\xEC\x8B\x9C "},
      {"%H%%%M", "%"},
      {"%H", ""},
      {"%M:%S", ""},
      {"", ""},
      {"%", ""},
      {"%H:", ""},
      {"%H:%", ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TimeSeparatorFromFormat(c.format), c.separator) << c.format;
}

TEST(PlatformRegional, CLocale) {
  LocaleRegionalSettings c("C");
  EXPECT_EQ(c.DecimalSeparator(), ".");
  EXPECT_EQ(c.TimeSeparator(), ":");
  LocaleRegionalSettings posix("POSIX");
  EXPECT_EQ(posix.DecimalSeparator(), ".");
  EXPECT_EQ(posix.TimeSeparator(), ":");
}

TEST(PlatformRegional, MissingLocaleFallsBack) {
  LocaleRegionalSettings missing("xx_XX.NOPE");
  EXPECT_EQ(missing.DecimalSeparator(), ".");
  EXPECT_EQ(missing.TimeSeparator(), ":");
}

TEST(PlatformRegional, GermanLocale) {
  const char* name = nullptr;
  for (const char* candidate : {"de_DE.UTF-8", "de_DE.utf8", "de_DE"}) {
    if (LocaleInstalled(candidate)) {
      name = candidate;
      break;
    }
  }
  if (name == nullptr)
    GTEST_SKIP() << "no de_DE locale installed (see locale -a)";
  LocaleRegionalSettings german(name);
  EXPECT_EQ(german.DecimalSeparator(), ",");
  EXPECT_EQ(german.TimeSeparator(), ":");
  EXPECT_EQ(german.DecimalSeparator(), ","); // from the cache

  // The same through the environment, read at each call.
  LocaleRegionalSettings user;
  ScopedEnv clearAll("LC_ALL", nullptr);
  ScopedEnv numeric("LC_NUMERIC", name);
  EXPECT_EQ(user.DecimalSeparator(), ",");
  {
    ScopedEnv all("LC_ALL", "C");
    EXPECT_EQ(user.DecimalSeparator(), ".");
  }
  EXPECT_EQ(user.DecimalSeparator(), ",");
}

TEST(PlatformRegional, FinnishTimeSeparator) {
  if (!LocaleInstalled("fi_FI.UTF-8"))
    GTEST_SKIP() << "no fi_FI.UTF-8 locale installed";
  LocaleRegionalSettings finnish("fi_FI.UTF-8");
  EXPECT_EQ(finnish.DecimalSeparator(), ",");
  EXPECT_EQ(finnish.TimeSeparator(), ".");
}

TEST(PlatformRegional, EnvironmentOrder) {
  LocaleRegionalSettings user;
  ScopedEnv all("LC_ALL", nullptr);
  ScopedEnv numeric("LC_NUMERIC", nullptr);
  ScopedEnv time("LC_TIME", nullptr);
  ScopedEnv lang("LANG", nullptr);
  EXPECT_EQ(user.DecimalSeparator(), ".");
  EXPECT_EQ(user.TimeSeparator(), ":");
  ScopedEnv langMissing("LANG", "xx_XX.NOPE");
  EXPECT_EQ(user.DecimalSeparator(), ".");
  EXPECT_EQ(user.TimeSeparator(), ":");
}

} // namespace
} // namespace vantelo
