#include "platform/windows/wide_text.h"

#include <windows.h>

#include <limits>
#include <new>

namespace vantelo::win {

namespace {

int checkedLength(std::size_t size) {
  if (size > static_cast<std::size_t>(std::numeric_limits<int>::max() / 4))
    throw std::bad_alloc();
  return static_cast<int>(size);
}

std::string narrow(UINT codePage, DWORD flags, std::wstring_view text) {
  if (text.empty())
    return {};
  const int length = checkedLength(text.size());
  const int size =
      WideCharToMultiByte(codePage, flags, text.data(), length, nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(codePage, flags, text.data(), length, result.data(), size, nullptr, nullptr);
  return result;
}

std::wstring widen(UINT codePage, std::string_view text) {
  if (text.empty())
    return {};
  const int length = checkedLength(text.size());
  const int size = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
  std::wstring result(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), length, result.data(), size);
  return result;
}

} // namespace

std::string utf8FromWide(std::wstring_view text) { return narrow(CP_UTF8, 0, text); }
std::wstring wideFromUtf8(std::string_view text) { return widen(CP_UTF8, text); }
std::string ansiFromWide(std::wstring_view text) {
  return narrow(CP_ACP, WC_NO_BEST_FIT_CHARS, text);
}
std::wstring wideFromAnsi(std::string_view bytes) { return widen(CP_ACP, bytes); }

} // namespace vantelo::win
