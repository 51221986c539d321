#include "cli/member_assignments.h"

#include "addin/clsVantelo.h"
#include "cli/edit_distance.h"
#include "cli/member_type_text.h"
#include "cli/usage_error.h"

namespace vantelo::cli {

std::vector<MemberAssignment> ParseAssignments(const std::vector<std::string>& options,
                                               std::string_view decimalSeparator) {
  std::vector<std::string_view> names;
  for (const MemberInfo& member : ClassMembers())
    names.push_back(member.name);

  // Conversions are tried on an object of their own, so a bad value is found
  // before the add-in runs.
  clsVantelo scratch{PlatformServices{}};
  std::vector<MemberAssignment> assignments;
  for (const std::string& option : options) {
    const auto equals = option.find('=');
    if (equals == std::string::npos)
      throw UsageError("--set " + option + ": expected MEMBER=VALUE");
    const std::string name = option.substr(0, equals);
    const MemberInfo* member = FindMember(name);
    if (!member) {
      const std::string_view nearest = NearestName(name, names);
      throw UsageError("--set " + option + ": the class has no member \"" + name + "\"" +
                       (nearest.empty() ? std::string("; see --help for the members")
                                        : "; did you mean " + std::string(nearest) + "?"));
    }
    MemberAssignment assignment{member, option.substr(equals + 1)};
    try {
      SetMemberFromText(scratch, *member, assignment.text, decimalSeparator);
    } catch (const Failure& failure) {
      throw UsageError("--set " + option + ": " + std::string(member->name) + " is " +
                       MemberTypeText(member->type) + "; \"" + assignment.text +
                       "\" does not convert (" + failure.what() + ")");
    }
    assignments.push_back(std::move(assignment));
  }
  return assignments;
}

void ApplyAssignments(clsVantelo& object, const std::vector<MemberAssignment>& assignments,
                      std::string_view decimalSeparator) {
  for (const MemberAssignment& assignment : assignments)
    SetMemberFromText(object, *assignment.member, assignment.text, decimalSeparator);
}

} // namespace vantelo::cli
