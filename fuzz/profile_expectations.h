// What the profile-file targets expect of a write, stated on its own from
// the platform's rules for profile files rather than taken from the code
// under test.
#pragma once

#include <string>
#include <string_view>

namespace vantelo::fuzz {

// A name or value as the caller's char* carries it: up to its first NUL.
std::string_view UpToNul(std::string_view text);

// Whether the names and the value keep to single lines (no CR or LF), so that
// the file's other lines can be compared line by line.
bool WithinLines(std::string_view section, std::string_view key, std::string_view value);

// Whether a value written under these names must read back: the section
// name holds no ']', the key no '=' and does not start with ';' or '[', the
// names have no tab or vertical tab at either end (the file's reader drops
// them, the caller's names keep them), and nothing holds a line end.
bool RoundTrips(std::string_view section, std::string_view key, std::string_view value);

// The value as a read gives it back: blanks (space, tab, vertical tab)
// around it dropped, then one enclosing pair of the same quote removed.
std::string ValueAsRead(std::string_view value);

// Whether two section-and-key pairs name the same key (spaces around the
// names dropped, ASCII letter case ignored).
bool SameKey(std::string_view section, std::string_view key, std::string_view otherSection,
             std::string_view otherKey);

// Whether every line of the file before a write is still there, in order and
// byte for byte, apart from at most one (the line whose value was replaced);
// the file's last line may have gained a line end. Lines end at CR LF, a lone
// CR or a lone LF.
bool OtherLinesKept(std::string_view before, std::string_view after);

} // namespace vantelo::fuzz
