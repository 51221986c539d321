// How the program names a member's type: by the name the class interface
// declares, and, in its messages about a value that does not convert, with
// the values the type accepts.
#pragma once

#include "addin/members.h"

#include <string>

namespace vantelo::cli {

struct MemberTypeWords {
  const char* name;     // "Integer"
  const char* article;  // "an"
  const char* accepted; // the values it takes, or null for any text
};

inline MemberTypeWords WordsFor(MemberType type) {
  switch (type) {
  case MemberType::Boolean:
    return {"Boolean", "a", "True, False or a number"};
  case MemberType::Integer:
    return {"Integer", "an", "a number from -32768 to 32767"};
  case MemberType::String:
    break;
  }
  return {"String", "a", nullptr};
}

// "Integer".
inline std::string MemberTypeName(MemberType type) { return WordsFor(type).name; }

// "an Integer (a number from -32768 to 32767)".
inline std::string MemberTypeText(MemberType type) {
  const MemberTypeWords words = WordsFor(type);
  std::string text = std::string(words.article) + " " + words.name;
  if (words.accepted)
    text += std::string(" (") + words.accepted + ")";
  return text;
}

} // namespace vantelo::cli
