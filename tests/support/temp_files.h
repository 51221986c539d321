// Test helpers: a temporary directory per test, whole-file reading and
// writing. Paths are UTF-8 texts, as the program's own are; the helpers
// work on POSIX and on Windows.
#pragma once

#include "platform/random_digits.h"
#include "platform/utf8_path.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <stdexcept>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace vantelo::test {

// A new, empty directory, removed with everything in it at the end. Its
// name is the prefix and eight hexadecimal digits.
class TempDir {
public:
  explicit TempDir(const std::string& prefix = "vantelo-platform-") {
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
      const std::filesystem::path path = base / (prefix + RandomDigits(8));
      if (std::filesystem::create_directory(path)) {
        path_ = Utf8FromPath(path);
        return;
      }
    }
    throw std::runtime_error("cannot make a temporary directory");
  }
  ~TempDir() {
    std::error_code ec;
    const std::filesystem::path root = PathFromUtf8(path_);
    // Make everything writable again so it can be removed.
    for (auto it = std::filesystem::recursive_directory_iterator(root, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
      std::filesystem::permissions(
          it->path(), std::filesystem::perms::owner_all,
          std::filesystem::perm_options::add | std::filesystem::perm_options::nofollow, ec);
    std::filesystem::permissions(root, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(root, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  // A name in the directory, joined with the system's own separator.
  std::string Path(const std::string& name) const {
    return Utf8FromPath(PathFromUtf8(path_) / PathFromUtf8(name).make_preferred());
  }

  // The names in the directory (not recursive), in UTF-8.
  std::set<std::string> Entries() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(PathFromUtf8(path_)))
      names.insert(Utf8FromPath(entry.path().filename()));
    return names;
  }

private:
  std::string path_;
};

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(PathFromUtf8(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(PathFromUtf8(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A UTF-16 LE file's bytes: the byte-order mark and the text.
inline std::string Utf16LeFile(const std::u16string& text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  return bytes;
}

// Puts the file from in the place of the file to, as a replacing writer
// does, also while another program has it open.
inline void ReplaceWith(const std::string& from, const std::string& to) {
#ifdef _WIN32
  ReplaceFileW(PathFromUtf8(to).c_str(), PathFromUtf8(from).c_str(), nullptr, 0, nullptr, nullptr);
#else
  std::filesystem::rename(from, to);
#endif
}

// Whether a file of that name exists (a dangling symbolic link counts).
inline bool Exists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::symlink_status(PathFromUtf8(path), ec).type() !=
         std::filesystem::file_type::not_found;
}

// What identifies a file on its volume (an inode, a file index): the same
// after a write in place, another after a replacement.
inline std::uint64_t FileIdOf(const std::string& path) {
#ifdef _WIN32
  HANDLE file = CreateFileW(PathFromUtf8(path).c_str(), FILE_READ_ATTRIBUTES,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  BY_HANDLE_FILE_INFORMATION info{};
  GetFileInformationByHandle(file, &info);
  CloseHandle(file);
  return (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
#else
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st.st_ino;
#endif
}

// The number of files and other handles the process has open.
inline std::size_t OpenHandles() {
#ifdef _WIN32
  DWORD count = 0;
  GetProcessHandleCount(GetCurrentProcess(), &count);
  return count;
#else
  std::size_t n = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
    ++n;
  return n;
#endif
}

#ifndef _WIN32
inline unsigned ModeOf(const std::string& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st.st_mode & 07777;
}
#endif

} // namespace vantelo::test
