#include "addin/vb_conversions.h"

#include "addin/failure.h"
#include "addin/float_chars.h"
#include "platform/ascii_case.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <system_error>

namespace vantelo::vb {
namespace {

[[noreturn]] void TypeMismatch(std::string_view text) {
  throw Failure(hresult::TypeMismatch,
                "Type mismatch: \"" + std::string(text.substr(0, 80)) + "\" is not a number");
}

[[noreturn]] void Overflow(const char* what) {
  throw Failure(hresult::Overflow, std::string("Overflow: ") + what);
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back()))
    text.remove_suffix(1);
  return text;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Parses a C-locale number text ("-12.5e3") assembled by the readers below.
double ParseCanonical(const std::string& canonical) {
  double value = 0.0;
  auto [end, ec] =
      float_chars::FromChars(canonical.data(), canonical.data() + canonical.size(), value);
  if (ec == std::errc::result_out_of_range) {
    // from_chars reports underflow too; a tiny magnitude is simply zero.
    const double approx = std::strtod(canonical.c_str(), nullptr);
    if (std::isinf(approx))
      Overflow("number out of range");
    return approx;
  }
  if (ec != std::errc() || end != canonical.data() + canonical.size())
    TypeMismatch(canonical);
  return value;
}

// Reads a number: optional sign, digits with at most one decimal separator,
// an optional exponent (E or D). Returns nullopt when the text is anything
// else. Blanks around the number are allowed.
std::optional<std::string> CanonicalNumber(std::string_view text,
                                           std::string_view decimalSeparator) {
  text = TrimBlanks(text);
  std::string out;
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-')
      out += '-';
    ++i;
  }
  bool digits = false;
  while (i < text.size() && IsDigit(text[i])) {
    out += text[i++];
    digits = true;
  }
  if (!decimalSeparator.empty() && text.substr(i, decimalSeparator.size()) == decimalSeparator) {
    i += decimalSeparator.size();
    out += '.';
    while (i < text.size() && IsDigit(text[i])) {
      out += text[i++];
      digits = true;
    }
  }
  if (!digits)
    return std::nullopt;
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
    std::string exponent = "e";
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-'))
      exponent += text[j++];
    bool exponentDigits = false;
    while (j < text.size() && IsDigit(text[j])) {
      exponent += text[j++];
      exponentDigits = true;
    }
    if (!exponentDigits)
      return std::nullopt;
    out += exponent;
    i = j;
  }
  if (i != text.size())
    return std::nullopt;
  if (out.front() == '.' || (out.size() > 1 && out[0] == '-' && out[1] == '.'))
    out.insert(out.front() == '-' ? 1 : 0, "0");
  return out;
}

double RoundHalfEvenToWhole(double x) {
  const double r = std::round(x); // halves away from zero
  if (std::fabs(x - std::trunc(x)) == 0.5)
    return 2.0 * std::round(x / 2.0);
  return r;
}

// 10^0 to 10^22: the powers of ten that a double holds exactly.
constexpr std::array<double, 23> kExactPowersOfTen = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The whole number nearest to the exact product magnitude x scale, of which
// `scaled` is the rounded double (0 <= scaled < 2^52, scale a power of ten
// held exactly). Every half below 2^52 is a double and rounding is
// monotonic, so a product rounded to below (above) a half was below (above)
// it already; only a product rounded onto a half needs the rounding error
// of the multiplication, which fma gives exactly. An exact half of the
// stored value goes to the even neighbour.
double RoundScaledHalfEven(double magnitude, double scale, double scaled) {
  const double whole = std::floor(scaled);
  const double fraction = scaled - whole; // exact
  if (fraction != 0.5)
    return fraction < 0.5 ? whole : whole + 1.0;
  const double error = std::fma(magnitude, scale, -scaled);
  if (error != 0.0)
    return error > 0.0 ? whole + 1.0 : whole;
  return std::fmod(whole, 2.0) == 0.0 ? whole : whole + 1.0;
}

// The same rounding through the value's exact decimal expansion, for what
// the product cannot decide (more than 22 decimals, products from 2^52 up to
// 2^53): the fixed notation of to_chars is the exact value rounded half to
// even, and from_chars takes that decimal to the nearest double.
double RoundByDecimalDigits(double value, int decimals) {
  // Every double is a multiple of 2^-1074, whose expansion has 1074
  // decimals: with as many decimals there is nothing to round.
  constexpr int kMostDecimals = 1074;
  if (decimals >= kMostDecimals)
    return value;
  // Sign, 309 digits before the point, the point, the decimals.
  std::array<char, 1 + 309 + 1 + kMostDecimals> buffer{};
  const auto written = float_chars::ToChars(buffer.data(), buffer.data() + buffer.size(), value,
                                            std::chars_format::fixed, decimals);
  double rounded = value;
  float_chars::FromChars(buffer.data(), written.ptr, rounded);
  return rounded;
}

// Digits and decimal exponent of a finite, non-zero value rounded to
// `precision` significant digits, trailing zeros removed.
struct Decimal {
  bool negative = false;
  std::string digits; // at least one, no trailing zeros
  int exponent = 0;   // of the first digit
};

template <class T> Decimal Decompose(T value, int precision) {
  std::array<char, 64> buffer{};
  auto [end, ec] = float_chars::ToChars(buffer.data(), buffer.data() + buffer.size(), value,
                                        std::chars_format::scientific, precision - 1);
  (void)ec;
  std::string_view text(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
  Decimal d;
  if (!text.empty() && text.front() == '-') {
    d.negative = true;
    text.remove_prefix(1);
  }
  const std::size_t e = text.find('e');
  for (char c : text.substr(0, e))
    if (IsDigit(c))
      d.digits += c;
  std::from_chars(text.data() + e + 1 + (text[e + 1] == '+' ? 1 : 0), text.data() + text.size(),
                  d.exponent);
  while (d.digits.size() > 1 && d.digits.back() == '0')
    d.digits.pop_back();
  return d;
}

template <class T>
std::string GeneralForm(T value, int precision, std::string_view decimalSeparator) {
  if (std::isnan(value))
    return "1.#QNAN";
  if (std::isinf(value))
    return value < 0 ? "-1.#INF" : "1.#INF";
  if (value == 0)
    return "0";
  const Decimal d = Decompose(value, precision);
  std::string out = d.negative ? "-" : "";
  const int digitCount = static_cast<int>(d.digits.size());
  // Plain notation from 0.00001 up to the precision's whole numbers; the
  // exponent form outside, as "1.5E+15" or "1E-07".
  if (d.exponent >= -5 && d.exponent < precision) {
    if (d.exponent >= 0) {
      const int whole = d.exponent + 1;
      if (digitCount <= whole) {
        out += d.digits;
        out.append(static_cast<std::size_t>(whole - digitCount), '0');
      } else {
        out += d.digits.substr(0, static_cast<std::size_t>(whole));
        out += decimalSeparator;
        out += d.digits.substr(static_cast<std::size_t>(whole));
      }
    } else {
      out += '0';
      out += decimalSeparator;
      out.append(static_cast<std::size_t>(-d.exponent - 1), '0');
      out += d.digits;
    }
    return out;
  }
  out += d.digits.front();
  if (digitCount > 1) {
    out += decimalSeparator;
    out += d.digits.substr(1);
  }
  char exponent[16];
  std::snprintf(exponent, sizeof exponent, "E%c%02d", d.exponent < 0 ? '-' : '+',
                std::abs(d.exponent));
  out += exponent;
  return out;
}

// --- UTF-8 helpers for UpperCase ---

char32_t UpperCodePoint(char32_t c) {
  if (c >= U'a' && c <= U'z')
    return c - 0x20;
  if (c < 0x80)
    return c;
  if ((c >= 0xE0 && c <= 0xFE && c != 0xF7))
    return c - 0x20;
  if (c == 0xFF)
    return 0x178;
  if (c >= 0x100 && c <= 0x137)
    return (c & 1) ? c - 1 : c;
  if (c >= 0x139 && c <= 0x148)
    return (c & 1) ? c : c - 1;
  if (c >= 0x14A && c <= 0x177)
    return (c & 1) ? c - 1 : c;
  if (c >= 0x179 && c <= 0x17E)
    return (c & 1) ? c : c - 1;
  if (c == 0x3C2)
    return 0x3A3;
  if (c >= 0x3B1 && c <= 0x3C9)
    return c - 0x20;
  if (c >= 0x430 && c <= 0x44F)
    return c - 0x20;
  if (c >= 0x450 && c <= 0x45F)
    return c - 0x50;
  return c;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

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

bool TextToBoolean(std::string_view text, std::string_view decimalSeparator) {
  const std::string_view trimmed = TrimBlanks(text);
  if (EqualsIgnoringAsciiCase(trimmed, "True"))
    return true;
  if (EqualsIgnoringAsciiCase(trimmed, "False"))
    return false;
  return TextToDouble(text, decimalSeparator) != 0.0;
}

double TextToDouble(std::string_view text, std::string_view decimalSeparator) {
  const auto canonical = CanonicalNumber(text, decimalSeparator);
  if (!canonical)
    TypeMismatch(text);
  return ParseCanonical(*canonical);
}

std::int16_t TextToInteger(std::string_view text, std::string_view decimalSeparator) {
  return RoundToInteger(TextToDouble(text, decimalSeparator));
}

std::int16_t RoundToInteger(double value) {
  const double rounded = RoundHalfEvenToWhole(value);
  if (!(rounded >= -32768.0 && rounded <= 32767.0))
    Overflow("value outside -32768..32767");
  return static_cast<std::int16_t>(rounded);
}

float ToSingle(double value) {
  // Values above the largest single but below the point where rounding
  // reaches infinity (2^128 - 2^103) still round to the largest single.
  constexpr double kRoundsToInfinity = 340282356779733661637539395458142568448.0;
  if (!(std::fabs(value) < kRoundsToInfinity))
    Overflow("value outside the single range");
  constexpr double kLargest = std::numeric_limits<float>::max();
  if (std::fabs(value) > kLargest)
    return value < 0 ? -std::numeric_limits<float>::max() : std::numeric_limits<float>::max();
  return static_cast<float>(value);
}

std::int32_t RoundToLong(double value) {
  const double rounded = RoundHalfEvenToWhole(value);
  if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0))
    Overflow("value outside the 32-bit range");
  return static_cast<std::int32_t>(rounded);
}

double Val(std::string_view text) {
  std::string out;
  std::size_t i = 0;
  auto skip = [&] {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n'))
      ++i;
  };
  skip();
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-')
      out += '-';
    ++i;
  }
  bool digits = false;
  bool point = false;
  for (;;) {
    skip();
    if (i < text.size() && IsDigit(text[i])) {
      out += text[i++];
      digits = true;
    } else if (i < text.size() && text[i] == '.' && !point) {
      out += '.';
      point = true;
      ++i;
    } else {
      break;
    }
  }
  if (!digits)
    return 0.0;
  // An exponent counts only when at least one digit follows it.
  skip();
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
    std::size_t j = i + 1;
    std::string exponent = "e";
    auto skipAt = [&] {
      while (j < text.size() && (text[j] == ' ' || text[j] == '\t' || text[j] == '\n'))
        ++j;
    };
    skipAt();
    if (j < text.size() && (text[j] == '+' || text[j] == '-'))
      exponent += text[j++];
    bool exponentDigits = false;
    for (;;) {
      skipAt();
      if (j < text.size() && IsDigit(text[j])) {
        exponent += text[j++];
        exponentDigits = true;
      } else {
        break;
      }
    }
    if (exponentDigits)
      out += exponent;
  }
  if (out.front() == '.' || (out[0] == '-' && out[1] == '.'))
    out.insert(out.front() == '-' ? 1 : 0, "0");
  if (out.back() == '.')
    out.pop_back();
  return ParseCanonical(out);
}

std::string DoubleToText(double value, std::string_view decimalSeparator) {
  return GeneralForm(value, 15, decimalSeparator);
}

std::string SingleToText(float value, std::string_view decimalSeparator) {
  return GeneralForm(value, 7, decimalSeparator);
}

std::string BooleanToText(bool value) { return value ? "True" : "False"; }

double Round(double value, int decimals) {
  if (decimals < 0)
    throw Failure(hresult::InvalidProcedureCall,
                  "Invalid procedure call: cannot round to a negative number of decimals");
  Checked(value);
  // Rounding is symmetric, so the magnitude is rounded and the sign put back
  // (which also keeps the sign of a zero result).
  const double magnitude = std::fabs(value);
  if (static_cast<std::size_t>(decimals) < kExactPowersOfTen.size()) {
    const double scale = kExactPowersOfTen[static_cast<std::size_t>(decimals)];
    const double scaled = magnitude * scale;
    if (scaled < 0x1p52)
      return std::copysign(RoundScaledHalfEven(magnitude, scale, scaled) / scale, value);
    // The decimals are finer than the value's own precision: no multiple of
    // 10^-decimals lies nearer to another double than to the value.
    if (scaled >= 0x1p53)
      return value;
  }
  return RoundByDecimalDigits(value, decimals);
}

std::string Space(int count) {
  if (count < 0)
    throw Failure(hresult::InvalidProcedureCall,
                  "Invalid procedure call: cannot make a negative number of blanks");
  return std::string(static_cast<std::size_t>(count), ' ');
}

double Checked(double value) {
  if (!std::isfinite(value))
    Overflow("the result is not a finite number");
  return value;
}

double Divide(double a, double b) {
  if (b == 0.0) {
    if (a == 0.0 || std::isnan(a))
      Overflow("0 / 0");
    throw Failure(hresult::DivisionByZero, "Division by zero");
  }
  return Checked(a / b);
}

double ValueToDouble(const Value& value, std::string_view decimalSeparator) {
  struct Visitor {
    std::string_view separator;
    double operator()(const Empty&) const { return 0.0; }
    double operator()(bool b) const { return b ? -1.0 : 0.0; }
    double operator()(std::int16_t v) const { return v; }
    double operator()(std::int32_t v) const { return v; }
    double operator()(float v) const { return v; }
    double operator()(double v) const { return v; }
    double operator()(const Date& d) const { return d.days; }
    double operator()(const std::string& s) const { return TextToDouble(s, separator); }
    double operator()(const std::shared_ptr<HostObject>&) const {
      throw Failure(hresult::TypeMismatch, "Type mismatch: an object is not a number");
    }
  };
  return std::visit(Visitor{decimalSeparator}, value);
}

std::string UpperCase(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const auto b0 = static_cast<unsigned char>(text[i]);
    std::size_t length = b0 < 0x80         ? 1
                         : (b0 >> 5) == 6  ? 2
                         : (b0 >> 4) == 14 ? 3
                         : (b0 >> 3) == 30 ? 4
                                           : 0;
    bool valid = length != 0 && i + length <= text.size();
    char32_t c = 0;
    if (valid) {
      c = length == 1 ? b0 : b0 & (0x7F >> length);
      for (std::size_t k = 1; k < length && valid; ++k) {
        const auto b = static_cast<unsigned char>(text[i + k]);
        valid = (b & 0xC0) == 0x80;
        c = (c << 6) | (b & 0x3F);
      }
    }
    if (!valid) { // not UTF-8: keep the byte as it is
      out += text[i++];
      continue;
    }
    AppendUtf8(out, UpperCodePoint(c));
    i += length;
  }
  return out;
}

std::string ReplaceText(std::string_view text, std::string_view find, std::string_view with) {
  if (find.empty())
    return std::string(text);
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    if (i + find.size() <= text.size() &&
        EqualsIgnoringAsciiCase(text.substr(i, find.size()), find)) {
      out += with;
      i += find.size();
    } else {
      out += text[i++];
    }
  }
  return out;
}

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
