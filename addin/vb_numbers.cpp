#include "addin/vb_numbers.h"

#include "addin/failure.h"
#include "addin/float_chars.h"
#include "addin/vb_failures.h"
#include "addin/vb_rounding.h"
#include "platform/ascii_case.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <system_error>

namespace vantelo::vb {
namespace {

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
  auto [end, ec] = float_chars::FromChars(canonical.data(), canonical.data() + canonical.size(), value);
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

double Val(std::string_view text) {
  std::string out;
  // Blanks, tabs and line feeds are passed over anywhere in the number.
  const auto skipFrom = [&text](std::size_t k) {
    while (k < text.size() && (text[k] == ' ' || text[k] == '\t' || text[k] == '\n'))
      ++k;
    return k;
  };
  // Appends the digits from k on to `into`, and with `point` at most one
  // "." among them; returns where they end.
  const auto takeDigits = [&](std::size_t k, std::string& into, bool point) {
    for (;;) {
      k = skipFrom(k);
      if (k < text.size() && IsDigit(text[k])) {
        into += text[k++];
      } else if (point && k < text.size() && text[k] == '.') {
        into += '.';
        point = false;
        ++k;
      } else {
        return k;
      }
    }
  };
  std::size_t i = skipFrom(0);
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-')
      out += '-';
    ++i;
  }
  const std::size_t start = out.size();
  i = takeDigits(i, out, true);
  if (std::none_of(out.begin() + static_cast<std::ptrdiff_t>(start), out.end(), IsDigit))
    return 0.0;
  // An exponent counts only when at least one digit follows it.
  i = skipFrom(i);
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
    std::size_t j = skipFrom(i + 1);
    std::string exponent = "e";
    if (j < text.size() && (text[j] == '+' || text[j] == '-'))
      exponent += text[j++];
    const std::size_t signEnd = exponent.size();
    takeDigits(j, exponent, false);
    if (exponent.size() > signEnd)
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

} // namespace vantelo::vb
