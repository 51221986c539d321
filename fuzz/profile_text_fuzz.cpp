// The profile-file text model on arbitrary bytes: reading, listing and
// writing never crash or hang, the list of sections and keys agrees with
// what a read finds, a key written reads back as its value (trimmed and
// unquoted, as the platform reads values), writing it again changes
// nothing, every other line of the file stays as it was, and every other key
// reads as before.
//
// Input: section, key, value, another section, another key, then the file's
// bytes, separated by 0x1F (see fuzz_input.h).
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/profile_expectations.h"
#include "platform/ascii_case.h"
#include "profile/profile_text.h"

#include <cstdint>
#include <set>
#include <string>

using namespace vantelo;
using namespace vantelo::fuzz;

namespace {

bool Inside(std::string_view part, std::string_view whole) {
  return part.empty() ||
         (part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size());
}

// The list of sections and keys agrees with what a read finds: lines in
// order, texts within the file, and the first key of each name in the first
// section of each name reads as that entry's value.
void CheckEntries(std::string_view contents) {
  std::set<std::string> sections, keys;
  std::string_view section;
  bool searched = false; // in the first section of its name
  std::size_t line = 0;
  for (const profile_text::Entry& entry : profile_text::Entries(contents)) {
    FUZZ_CHECK(entry.line > line,
               "entries out of line order at line " + std::to_string(entry.line));
    line = entry.line;
    FUZZ_CHECK(Inside(entry.name, contents) && Inside(entry.value, contents),
               "an entry's text lies outside the file");
    if (entry.kind == profile_text::Entry::Kind::Section) {
      section = entry.name;
      searched = sections.insert(AsciiLower(entry.name)).second;
      keys.clear();
    } else if (searched && keys.insert(AsciiLower(entry.name)).second) {
      const auto value = profile_text::Lookup(contents, section, entry.name);
      FUZZ_CHECK(value && *value == entry.value,
                 "[" + Escaped(section) + "] " + Escaped(entry.name) + " is listed as " +
                     Escaped(entry.value) + " but reads as " +
                     (value ? Escaped(*value) : std::string("missing")));
    }
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto fields = Fields<6>(data, size);
  const std::string_view section = fields[0];
  const std::string_view key = fields[1];
  const std::string_view value = fields[2];
  const std::string_view otherSection = fields[3];
  const std::string_view otherKey = fields[4];
  const std::string_view contents = fields[5];

  // A value found points into the file and is a single line's text.
  if (const auto found = profile_text::Lookup(contents, section, key)) {
    FUZZ_CHECK(Inside(*found, contents), "the value read lies outside the file");
    FUZZ_CHECK(found->find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos,
               "the value read runs over a line end or a NUL: " + Escaped(*found));
  }

  CheckEntries(contents);

  const std::string updated = profile_text::Store(contents, section, key, value);

  if (WithinLines(section, key, value))
    FUZZ_CHECK(OtherLinesKept(contents, updated),
               "a line other than the written one changed\nbefore: " + Escaped(contents) +
                   "\nafter:  " + Escaped(updated));

  if (!RoundTrips(section, key, value))
    return 0;

  const auto readBack = profile_text::Lookup(updated, section, key);
  const std::string expected = ValueAsRead(value);
  FUZZ_CHECK(readBack && *readBack == expected,
             "written " + Escaped(value) + ", read back " +
                 (readBack ? Escaped(*readBack) : std::string("nothing")) + " instead of " +
                 Escaped(expected) + "\nfile: " + Escaped(updated));

  FUZZ_CHECK(profile_text::Store(updated, section, key, value) == updated,
             "writing the same value again changed the file: " + Escaped(updated));

  if (!SameKey(section, key, otherSection, otherKey)) {
    const auto before = profile_text::Lookup(contents, otherSection, otherKey);
    const auto after = profile_text::Lookup(updated, otherSection, otherKey);
    FUZZ_CHECK(before == after, "another key changed: [" + Escaped(otherSection) + "] " +
                                    Escaped(otherKey) + " was " +
                                    (before ? Escaped(*before) : std::string("missing")) + ", is " +
                                    (after ? Escaped(*after) : std::string("missing")));
  }
  return 0;
}
