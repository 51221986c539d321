// How the program names a member's type, with the values it accepts, in its
// messages about a value that does not convert.
#pragma once

#include "addin/members.h"

#include <string>

namespace vantelo::cli {

inline std::string MemberTypeText(MemberType type) {
  switch (type) {
  case MemberType::Boolean:
    return "a Boolean (True, False or a number)";
  case MemberType::Integer:
    return "an Integer (a number from -32768 to 32767)";
  case MemberType::String:
    break;
  }
  return "a String";
}

} // namespace vantelo::cli
