// File paths between the program's texts (UTF-8 everywhere) and the file
// system's own form (bytes on POSIX, UTF-16 on Windows). A std::string given
// to std::filesystem::path or a stream is read in the ANSI code page on
// Windows, which cannot hold every name: paths are built from UTF-8 here.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vantelo {

inline std::filesystem::path PathFromUtf8(std::string_view text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string Utf8FromPath(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

} // namespace vantelo
