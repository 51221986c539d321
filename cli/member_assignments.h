// --set MEMBER=VALUE: a value for any of the class's 34 public members,
// converted as the member's type, as a client setting the property would.
#pragma once

#include "addin/members.h"

#include <string>
#include <string_view>
#include <vector>

namespace vantelo {
class clsVantelo;
}

namespace vantelo::cli {

struct MemberAssignment {
  const MemberInfo* member = nullptr;
  std::string text;
};

// Checks every assignment (a known member, a text that converts with the
// decimal separator) before anything runs. Throws UsageError.
std::vector<MemberAssignment> ParseAssignments(const std::vector<std::string>& options,
                                               std::string_view decimalSeparator);

// Stores the checked assignments in the object, in the order given.
void ApplyAssignments(clsVantelo& object, const std::vector<MemberAssignment>& assignments,
                      std::string_view decimalSeparator);

} // namespace vantelo::cli
