// A small checking harness for the test programs that run under Wine (no
// test framework is available for the cross build). A failed check prints
// where and what, counts, and lets the test go on.
#pragma once

#include <windows.h>

#include <cstdio>
#include <sstream>
#include <string>

namespace vtest {

int& failureCount();
void reportFailure(const char* file, int line, const std::string& message);

std::string describe(const std::wstring& text);
std::string hexCode(long code);

template <class T> std::string show(const T& value) {
  if constexpr (std::is_same_v<T, std::wstring>) {
    return describe(value);
  } else if constexpr (std::is_convertible_v<T, const wchar_t*>) {
    return describe(value ? std::wstring(value) : std::wstring(L"(null)"));
  } else if constexpr (std::is_same_v<T, std::string>) {
    return "\"" + value + "\"";
  } else {
    std::ostringstream out;
    out << value;
    return out.str();
  }
}

} // namespace vtest

#define CHECK(condition)                                                                           \
  ((condition) ? true : (vtest::reportFailure(__FILE__, __LINE__, "CHECK(" #condition ")"), false))

#define CHECK_EQ(actual, expected)                                                                 \
  do {                                                                                             \
    const auto& check_actual_ = (actual);                                                          \
    const auto& check_expected_ = (expected);                                                      \
    if (!(check_actual_ == check_expected_))                                                       \
      vtest::reportFailure(__FILE__, __LINE__,                                                     \
                           std::string(#actual " == " #expected ": got ") +                        \
                               vtest::show(check_actual_) + ", expected " +                        \
                               vtest::show(check_expected_));                                      \
  } while (false)

// An HRESULT expected to be exactly `expected`.
#define CHECK_HR(call, expected)                                                                   \
  do {                                                                                             \
    const HRESULT check_hr_ = (call);                                                              \
    if (check_hr_ != static_cast<HRESULT>(expected))                                               \
      vtest::reportFailure(__FILE__, __LINE__,                                                     \
                           std::string(#call ": got ") + vtest::hexCode(check_hr_) +               \
                               ", expected " + vtest::hexCode(static_cast<long>(expected)));       \
  } while (false)

#define CHECK_OK(call) CHECK_HR(call, S_OK)
