#include "addin/float_chars.h"

#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <version>

#if defined(__cpp_lib_to_chars) && !defined(VANTELO_FLOAT_CHARS_FALLBACK)
#define VANTELO_FLOAT_CHARS_FROM_LIBRARY 1
#endif

namespace vantelo::float_chars {

namespace fallback {
namespace {

// printf and strtod follow the C locale's decimal point; the texts here
// always use '.', whatever locale the program has set.
char LocalePoint() {
  const char* point = std::localeconv()->decimal_point;
  return point && point[0] ? point[0] : '.';
}

std::string Printed(const char* format, int precision, double value) {
  const int size = std::snprintf(nullptr, 0, format, precision, value);
  std::string text(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  std::snprintf(text.data(), text.size() + 1, format, precision, value);
  const char point = LocalePoint();
  if (point != '.')
    for (char& c : text)
      if (c == point)
        c = '.';
  return text;
}

template <class T> T Parsed(std::string text) {
  const char point = LocalePoint();
  if (point != '.')
    for (char& c : text)
      if (c == '.')
        c = point;
  if constexpr (std::is_same_v<T, float>)
    return std::strtof(text.c_str(), nullptr);
  else
    return std::strtod(text.c_str(), nullptr);
}

std::to_chars_result Put(char* first, char* last, std::string_view text) {
  if (static_cast<std::size_t>(last - first) < text.size())
    return {last, std::errc::value_too_large};
  std::memcpy(first, text.data(), text.size());
  return {first + text.size(), std::errc()};
}

template <class T> std::string NonFinite(T value) {
  if (std::isinf(value))
    return value < 0 ? "-inf" : "inf";
  return std::signbit(value) ? "-nan" : "nan";
}

// A positive finite value as d.ddd x 10^exponent.
struct Decimal {
  std::string digits;
  int exponent = 0;

  std::string Scientific() const {
    std::string text(1, digits[0]);
    if (digits.size() > 1)
      text += "." + digits.substr(1);
    const int magnitude = exponent < 0 ? -exponent : exponent;
    text += exponent < 0 ? "e-" : "e+";
    if (magnitude < 10)
      text += '0';
    return text + std::to_string(magnitude);
  }
};

// The value rounded to `count` significant digits, from printf's exact
// "%.*e".
Decimal Rounded(double value, int count) {
  const std::string text = Printed("%.*e", count - 1, value);
  Decimal d;
  const std::size_t e = text.find('e');
  for (std::size_t i = 0; i < e; ++i)
    if (text[i] != '.')
      d.digits += text[i];
  d.exponent = std::atoi(text.c_str() + e + 1);
  return d;
}

// The next decimal of as many digits up (+1) or down (-1).
Decimal Step(Decimal d, int direction) {
  std::string& s = d.digits;
  std::size_t i = s.size();
  if (direction > 0) {
    while (i > 0 && s[i - 1] == '9')
      s[--i] = '0';
    if (i == 0) {
      s.insert(s.begin(), '1');
      s.pop_back();
      ++d.exponent;
    } else {
      ++s[i - 1];
    }
  } else {
    while (i > 0 && s[i - 1] == '0')
      s[--i] = '9';
    --s[i - 1];
    if (s[0] == '0') {
      s.erase(s.begin());
      s.push_back('9');
      --d.exponent;
    }
  }
  return d;
}

// The fewest significant digits that read back as the value; of two such
// decimals the nearer. The decimal nearest the value with n digits may lie
// just outside the interval that reads back while its neighbour on the
// other side lies inside (next to a power of two the interval is lopsided),
// so both are tried.
template <class T> Decimal Shortest(T value) {
  constexpr int kMostDigits = std::numeric_limits<T>::max_digits10;
  for (int count = 1; count < kMostDigits; ++count) {
    const Decimal nearest = Rounded(value, count);
    const T back = Parsed<T>(nearest.Scientific());
    if (back == value)
      return nearest;
    const Decimal other = Step(nearest, back < value ? 1 : -1);
    if (Parsed<T>(other.Scientific()) == value)
      return other;
  }
  return Rounded(value, kMostDigits);
}

template <class T> std::to_chars_result ShortestChars(char* first, char* last, T value) {
  if (!std::isfinite(value))
    return Put(first, last, NonFinite(value));
  const std::string sign = std::signbit(value) ? "-" : "";
  if (value == 0)
    return Put(first, last, sign + "0");
  Decimal d = Shortest(std::fabs(value));
  while (d.digits.size() > 1 && d.digits.back() == '0')
    d.digits.pop_back();
  const std::string scientific = d.Scientific();

  const int count = static_cast<int>(d.digits.size());
  std::string fixed;
  if (d.exponent >= count - 1) {
    // A whole number. Where its shortest digits end above the units, the
    // zeros that would follow are not its digits: fixed notation shows the
    // exact value, as printf does.
    fixed = d.exponent == count - 1 ? d.digits : Printed("%.*f", 0, std::fabs(value));
  } else if (d.exponent >= 0) {
    const auto whole = static_cast<std::size_t>(d.exponent + 1);
    fixed = d.digits.substr(0, whole) + "." + d.digits.substr(whole);
  } else {
    fixed = "0." + std::string(static_cast<std::size_t>(-d.exponent - 1), '0') + d.digits;
  }
  return Put(first, last, sign + (fixed.size() <= scientific.size() ? fixed : scientific));
}

template <class T>
std::to_chars_result PrecisionChars(char* first, char* last, T value, std::chars_format format,
                                    int precision) {
  if (!std::isfinite(value))
    return Put(first, last, NonFinite(value));
  const char* pattern = nullptr;
  switch (format) {
  case std::chars_format::fixed:
    pattern = "%.*f";
    break;
  case std::chars_format::scientific:
    pattern = "%.*e";
    break;
  case std::chars_format::general:
    pattern = "%.*g";
    break;
  default:
    return {first, std::errc::invalid_argument};
  }
  return Put(first, last, Printed(pattern, precision < 0 ? 6 : precision, value));
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool StartsWithWord(const char* first, const char* last, std::string_view word) {
  if (static_cast<std::size_t>(last - first) < word.size())
    return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    char c = first[i];
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
    if (c != word[i])
      return false;
  }
  return true;
}

} // namespace

std::to_chars_result ToChars(char* first, char* last, double value) {
  return ShortestChars(first, last, value);
}
std::to_chars_result ToChars(char* first, char* last, float value) {
  return ShortestChars(first, last, value);
}
std::to_chars_result ToChars(char* first, char* last, double value, std::chars_format format,
                             int precision) {
  return PrecisionChars(first, last, value, format, precision);
}
std::to_chars_result ToChars(char* first, char* last, float value, std::chars_format format,
                             int precision) {
  return PrecisionChars(first, last, static_cast<double>(value), format, precision);
}

std::from_chars_result FromChars(const char* first, const char* last, double& value) {
  const char* p = first;
  const bool negative = p != last && *p == '-';
  if (negative)
    ++p;
  if (StartsWithWord(p, last, "inf")) {
    p += StartsWithWord(p, last, "infinity") ? 8 : 3;
    value = negative ? -std::numeric_limits<double>::infinity()
                     : std::numeric_limits<double>::infinity();
    return {p, std::errc()};
  }
  if (StartsWithWord(p, last, "nan")) {
    p += 3;
    // An optional "(chars)" of letters, digits and underscores.
    if (p != last && *p == '(') {
      const char* q = p + 1;
      while (q != last &&
             (IsDigit(*q) || *q == '_' || (*q >= 'a' && *q <= 'z') || (*q >= 'A' && *q <= 'Z')))
        ++q;
      if (q != last && *q == ')')
        p = q + 1;
    }
    const double nan = std::numeric_limits<double>::quiet_NaN();
    value = negative ? -nan : nan;
    return {p, std::errc()};
  }

  std::string text = negative ? "-" : "";
  bool digits = false, nonZero = false;
  for (; p != last && IsDigit(*p); ++p) {
    text += *p;
    digits = true;
    nonZero = nonZero || *p != '0';
  }
  if (p != last && *p == '.') {
    text += *p++;
    for (; p != last && IsDigit(*p); ++p) {
      text += *p;
      digits = true;
      nonZero = nonZero || *p != '0';
    }
  }
  if (!digits)
    return {first, std::errc::invalid_argument};
  if (p != last && (*p == 'e' || *p == 'E')) {
    const char* q = p + 1;
    if (q != last && (*q == '+' || *q == '-'))
      ++q;
    if (q != last && IsDigit(*q)) {
      text += std::string_view(p, static_cast<std::size_t>(q - p));
      for (p = q; p != last && IsDigit(*p); ++p)
        text += *p;
    }
  }
  const double parsed = Parsed<double>(text);
  if (std::isinf(parsed) || (parsed == 0 && nonZero))
    return {p, std::errc::result_out_of_range};
  value = parsed;
  return {p, std::errc()};
}

} // namespace fallback

namespace {

// The one place that picks the library's functions or the fallback.
#ifdef VANTELO_FLOAT_CHARS_FROM_LIBRARY
constexpr bool kFallback = false;
template <class... Args> std::to_chars_result Write(Args... args) { return std::to_chars(args...); }
template <class... Args> std::from_chars_result Read(Args&&... args) {
  return std::from_chars(std::forward<Args>(args)...);
}
#else
constexpr bool kFallback = true;
template <class... Args> std::to_chars_result Write(Args... args) {
  return fallback::ToChars(args...);
}
template <class... Args> std::from_chars_result Read(Args&&... args) {
  return fallback::FromChars(std::forward<Args>(args)...);
}
#endif

} // namespace

std::to_chars_result ToChars(char* first, char* last, double value) {
  return Write(first, last, value);
}
std::to_chars_result ToChars(char* first, char* last, float value) {
  return Write(first, last, value);
}
std::to_chars_result ToChars(char* first, char* last, double value, std::chars_format format,
                             int precision) {
  return Write(first, last, value, format, precision);
}
std::to_chars_result ToChars(char* first, char* last, float value, std::chars_format format,
                             int precision) {
  return Write(first, last, value, format, precision);
}
std::from_chars_result FromChars(const char* first, const char* last, double& value) {
  return Read(first, last, value);
}
bool UsesFallback() { return kFallback; }

namespace {

template <class Number> std::string Shortest(Number value) {
  char buffer[64];
  const auto result = ToChars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

} // namespace

std::string ShortestText(double value) { return Shortest(value); }
std::string ShortestText(float value) { return Shortest(value); }

} // namespace vantelo::float_chars
