// The class's 34 public settings members, described once: name, type,
// dispatch id and where the value lives. The settings load, the COM
// properties and the command-line program's --set all go through this table.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vantelo {

class clsVantelo;

enum class MemberType { Boolean, Integer, String };

struct MemberInfo {
  std::string_view name;
  MemberType type;
  std::int32_t dispatchId;
  bool clsVantelo::*boolean = nullptr;
  std::int16_t clsVantelo::*integer = nullptr;
  std::string clsVantelo::*text = nullptr;
};

// All members in declaration order (dispatch ids 0x40030002 upwards).
std::span<const MemberInfo> ClassMembers();

// The member of that name, matched without regard to letter case as the
// class interface's names are; null when there is none.
const MemberInfo* FindMember(std::string_view name);

// Stores a text in the member, converted to the member's type (Boolean and
// Integer as the settings load converts them). Throws Failure when the text
// does not convert; the member is then unchanged.
void SetMemberFromText(clsVantelo& object, const MemberInfo& member, std::string_view text,
                       std::string_view decimalSeparator);

} // namespace vantelo
