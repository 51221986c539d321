// The profile-file text model on arbitrary bytes: reading and writing never
// crash or hang, a key written reads back as its value (trimmed and
// unquoted, as the platform reads values), writing it again changes
// nothing, every other line of the file stays as it was, and every other key
// reads as before.
//
// Input: section, key, value, another section, another key, then the file's
// bytes, separated by 0x1F (see fuzz_input.h).
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/profile_expectations.h"
#include "platform/profile_text.h"

#include <cstdint>
#include <string>

using namespace vantelo;
using namespace vantelo::fuzz;

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
    FUZZ_CHECK(found->empty() ||
                   (found->data() >= contents.data() &&
                    found->data() + found->size() <= contents.data() + contents.size()),
               "the value read lies outside the file");
    FUZZ_CHECK(found->find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos,
               "the value read runs over a line end or a NUL: " + Escaped(*found));
  }

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
