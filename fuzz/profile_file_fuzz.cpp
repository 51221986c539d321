// The portable profile file on a real file with arbitrary contents: a read
// through the add-in's 255-byte buffer gives what the text model finds (cut
// to 254 bytes) or the default; a write succeeds, leaves exactly the text
// model's result and no temporary file; a value written reads back within
// the platform's rules.
//
// A file that starts with the UTF-16 LE byte-order mark is Unicode text: the
// text model applies to it as the ANSI functions see it (its characters in
// the code page), the write keeps it UTF-16, and a write to such a file with
// an odd number of bytes is refused and changes nothing.
//
// Input: section, key, value, default, then the file's bytes, separated by
// 0x1F (see fuzz_input.h).
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/profile_expectations.h"
#include "profile/portable_profile_file.h"
#include "profile/profile_document.h"
#include "profile/profile_text.h"
#include "profile/windows1252_code_page.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <system_error>

using namespace vantelo;
using namespace vantelo::fuzz;

namespace {

// A private directory for one input, in memory where the system has
// /dev/shm so that the write's flush costs nothing.
class ScratchDirectory {
public:
  ScratchDirectory() {
    std::error_code error;
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", error)
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
    std::string pattern = (base / "vantelo-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
      throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~ScratchDirectory() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
  }
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::size_t EntryCount() const {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(path_),
                                                  std::filesystem::directory_iterator()));
  }

private:
  std::filesystem::path path_;
};

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

constexpr std::size_t kBufferSize = 255; // the add-in's read buffer

// What a read through the buffer must give.
std::string Expected(std::string_view contents, std::string_view section, std::string_view key,
                     std::string_view defaultValue) {
  std::string text;
  if (const auto value = profile_text::Lookup(contents, section, key)) {
    text = std::string(*value);
  } else {
    std::string_view d = UpToNul(defaultValue);
    while (!d.empty() && d.back() == ' ')
      d.remove_suffix(1);
    text = std::string(d);
  }
  return text.substr(0, kBufferSize - 1);
}

std::string Read(PortableProfileFile& profile, std::string_view section, std::string_view key,
                 std::string_view defaultValue, const std::string& file) {
  std::array<char, kBufferSize> buffer;
  buffer.fill('\x7f');
  const std::size_t count = profile.GetString(std::string(section), std::string(key),
                                              std::string(defaultValue), buffer, file);
  FUZZ_CHECK(count < kBufferSize, "the count exceeds the buffer");
  FUZZ_CHECK(buffer[count] == '\0', "the text read is not terminated");
  return std::string(buffer.data(), count);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto fields = Fields<5>(data, size);
  const std::string_view section = fields[0];
  const std::string_view key = fields[1];
  const std::string_view value = fields[2];
  const std::string_view defaultValue = fields[3];
  const std::string_view contents = fields[4];
  ScratchDirectory dir;
  const std::string file = (dir.Path() / "Vantelo.ini").string();
  {
    std::ofstream out(file, std::ios::binary);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
  }
  PortableProfileFile profile(std::make_shared<Windows1252CodePage>());
  const ProfileDocument before(contents);
  const std::string text = before.AnsiText();
  // A caller's '?' matches nothing in a Unicode file, while the file's
  // characters outside the code page read as '?' in its ANSI text: the text
  // model then cannot tell which names match.
  const bool modelled = !before.IsUnicode() || (section.find('?') == std::string_view::npos &&
                                                key.find('?') == std::string_view::npos);

  const std::string read = Read(profile, section, key, defaultValue, file);
  if (modelled) {
    const std::string expected = Expected(text, section, key, defaultValue);
    FUZZ_CHECK(read == expected, "read " + Escaped(read) + " instead of " + Escaped(expected));
  }

  const bool wrote =
      profile.WriteString(std::string(section), std::string(key), std::string(value), file);
  const std::string written = ReadFile(file);
  FUZZ_CHECK(dir.EntryCount() == 1, "a temporary file was left behind");
  if (before.IsDamaged()) {
    FUZZ_CHECK(!wrote, "a write to a UTF-16 file with an odd number of bytes succeeded");
    FUZZ_CHECK(written == contents, "a refused write changed the file");
    return 0;
  }
  FUZZ_CHECK(wrote, "a write to a writable file failed");
  const ProfileDocument after(written);
  FUZZ_CHECK(after.IsUnicode() == before.IsUnicode() && !after.IsDamaged(),
             "the write changed the file's encoding: " + Escaped(written));
  if (modelled) {
    const std::string model = profile_text::Store(text, section, key, value);
    FUZZ_CHECK(after.AnsiText() == model,
               "the file holds " + Escaped(after.AnsiText()) + "\ninstead of " + Escaped(model));
  }

  if (RoundTrips(section, key, value)) {
    const std::string again = Read(profile, section, key, "", file);
    const std::string want = ValueAsRead(value).substr(0, kBufferSize - 1);
    FUZZ_CHECK(again == want, "written " + Escaped(value) + ", read back " + Escaped(again));
  }
  return 0;
}
