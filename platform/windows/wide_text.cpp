#include "platform/windows/wide_text.h"

#include <windows.h>

#include <limits>
#include <new>

namespace vantelo::win {

namespace {

int CheckedLength(std::size_t size) {
  if (size > static_cast<std::size_t>(std::numeric_limits<int>::max() / 4))
    throw std::bad_alloc();
  return static_cast<int>(size);
}

std::string Narrow(UINT codePage, DWORD flags, std::wstring_view text) {
  if (text.empty())
    return {};
  const int length = CheckedLength(text.size());
  const int size =
      WideCharToMultiByte(codePage, flags, text.data(), length, nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(codePage, flags, text.data(), length, result.data(), size, nullptr, nullptr);
  return result;
}

std::wstring Widen(UINT codePage, std::string_view text) {
  if (text.empty())
    return {};
  const int length = CheckedLength(text.size());
  const int size = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
  std::wstring result(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), length, result.data(), size);
  return result;
}

} // namespace

std::string Utf8FromWide(std::wstring_view text) { return Narrow(CP_UTF8, 0, text); }
std::wstring WideFromUtf8(std::string_view text) { return Widen(CP_UTF8, text); }
std::string AnsiFromWide(std::wstring_view text) {
  return Narrow(CP_ACP, WC_NO_BEST_FIT_CHARS, text);
}
std::wstring WideFromAnsi(std::string_view bytes) { return Widen(CP_ACP, bytes); }

} // namespace vantelo::win
