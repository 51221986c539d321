#include "cli/temporary_directory.h"

#include "platform/random_digits.h"
#include "platform/windows/system_message.h"
#include "platform/windows/wide_text.h"

#include <windows.h>

#include <filesystem>
#include <stdexcept>

namespace vantelo::cli {

TemporaryDirectory::TemporaryDirectory() {
  wchar_t base[MAX_PATH + 1] = {};
  if (GetTempPathW(MAX_PATH + 1, base) == 0)
    throw std::runtime_error("cannot make a temporary directory: " +
                             win::SystemMessage(GetLastError()));
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::wstring path = std::wstring(base) + L"vantelo-" + RandomDigits<wchar_t>(12);
    if (CreateDirectoryW(path.c_str(), nullptr)) {
      path_ = win::Utf8FromWide(path);
      return;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS)
      break;
  }
  throw std::runtime_error("cannot make a temporary directory: " +
                           win::SystemMessage(GetLastError()));
}

TemporaryDirectory::~TemporaryDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(win::WideFromUtf8(path_)), ignored);
}

} // namespace vantelo::cli
