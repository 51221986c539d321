// The failures the conversions share, with the language's run-time codes and
// messages.
#pragma once

#include "addin/failure.h"

#include <string>
#include <string_view>

namespace vantelo::vb {

[[noreturn]] inline void TypeMismatch(std::string_view text) {
  throw Failure(hresult::TypeMismatch,
                "Type mismatch: \"" + std::string(text.substr(0, 80)) + "\" is not a number");
}

[[noreturn]] inline void Overflow(const char* what) {
  throw Failure(hresult::Overflow, std::string("Overflow: ") + what);
}

} // namespace vantelo::vb
