// Temporary file names beside a settings file, on every system in the
// system's own units (UTF-8 bytes on POSIX, UTF-16 units on Windows), so
// that the name-length limit is counted as the file system counts it.
#include "profile/profile_file_system.h"

#include "platform/random_digits.h"

namespace vantelo {

namespace {

using Path = ProfileFileSystem::Path;
using Native = Path::string_type;
using Unit = Path::value_type;

constexpr std::size_t kLongestName = 255;
constexpr std::size_t kDigits = 12;

Native NativeOf(std::string_view ascii) { return Native(ascii.begin(), ascii.end()); }

const Native& Infix() {
  static const Native infix = NativeOf(".vantelo-");
  return infix;
}
const Native& CutInfix() {
  static const Native infix = NativeOf(".vantelo~");
  return infix;
}
const Native& Suffix() {
  static const Native suffix = NativeOf(".tmp");
  return suffix;
}

// The longest file name that fits whole into a temporary name.
constexpr std::size_t kLongestWhole = kLongestName - 1 - 9 - kDigits - 4;

// Whether a cut before position i would split a character.
template <class Text> bool InsideCharacter(const Text& name, std::size_t i) {
  if constexpr (sizeof(typename Text::value_type) == 1)
    return (static_cast<unsigned char>(name[i]) & 0xC0) == 0x80; // a UTF-8 continuation byte
  else
    return name[i - 1] >= 0xD800 && name[i - 1] <= 0xDBFF; // after a high surrogate
}

bool IsDigits(const Native& text) {
  for (const Unit c : text)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
      return false;
  return text.size() == kDigits;
}

} // namespace

Path TemporaryFileName(const Path& target) {
  Native name = target.filename().native();
  const bool cut = name.size() > kLongestWhole;
  if (cut) {
    std::size_t length = kLongestWhole;
    while (length > 0 && InsideCharacter(name, length))
      --length;
    name.resize(length);
  }
  Native temp = NativeOf(".");
  temp += name;
  temp += cut ? CutInfix() : Infix();
  temp += RandomDigits<Unit>(kDigits);
  temp += Suffix();
  return target.parent_path() / Path(temp);
}

bool IsTemporaryFileNameOf(const Path& target, const Path& name, bool orCut) {
  Native own = target.filename().native();
  const Native& candidate = name.native();
  const bool cut = own.size() > kLongestWhole;
  if (cut && !orCut)
    return false;
  if (cut) {
    std::size_t length = kLongestWhole;
    while (length > 0 && InsideCharacter(own, length))
      --length;
    own.resize(length);
  }
  const Native& infix = cut ? CutInfix() : Infix();
  const std::size_t prefix = 1 + own.size() + infix.size();
  if (candidate.size() != prefix + kDigits + Suffix().size())
    return false;
  return candidate[0] == Unit('.') && candidate.compare(1, own.size(), own) == 0 &&
         candidate.compare(1 + own.size(), infix.size(), infix) == 0 &&
         IsDigits(candidate.substr(prefix, kDigits)) &&
         candidate.compare(prefix + kDigits, Suffix().size(), Suffix()) == 0;
}

} // namespace vantelo
