// The two crossings between COM status codes and the add-in's exceptions.
// Inside the module a failed COM call becomes a vantelo::Failure carrying
// its status (ThrowIfFailed); where a call leaves the module, whatever was
// thrown becomes the call's HRESULT by one rule (CaughtHResult).
#pragma once

#include "addin/failure.h"

#include <windows.h>

#include <string>
#include <string_view>
#include <type_traits>

namespace vantelo::com {

// Throws Failure(hr, "<what> (0x........)").
[[noreturn]] void ThrowHResult(HRESULT hr, std::string_view what);

// Throws when `hr` is a failure. `what` says what was being done: a text, or
// a function that makes the text, called only when the call failed.
template <class What> void ThrowIfFailed(HRESULT hr, What&& what) {
  if (SUCCEEDED(hr)) [[likely]]
    return;
  if constexpr (std::is_invocable_v<What>)
    ThrowHResult(hr, std::string(what()));
  else
    ThrowHResult(hr, what);
}

// To be called only inside a catch block: the exception being handled as the
// HRESULT a caller of the module gets.
//   vantelo::Failure    its code (E_FAIL if the code is not a failure code)
//   std::bad_alloc      E_OUTOFMEMORY
//   any other           E_UNEXPECTED
// `description`, when given, receives the exception's message, which lives
// as long as the catch block.
HRESULT CaughtHResult(const char** description = nullptr) noexcept;

} // namespace vantelo::com
