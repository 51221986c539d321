// Error skipping: the one way a writer tolerates failures.
//
// A writer switches it on at a fixed point by creating an ErrorSkipping and
// then runs each of its remaining steps through it. A step that fails is
// abandoned at the point of failure, nothing is reported, and the writer goes
// on with its next step as written:
//   - Step():         an ordinary statement; on failure execution continues
//                     after it.
//   - HoldsOrFails(): the test of a condition; when evaluating it fails, the
//                     writer continues with the first step the test guards,
//                     as if it held.
// A failed choice among several cases is one Step() around the whole choice,
// so that execution continues after the choice with no case taken.
//
// Only Failure is caught: it is the only error a host call or a conversion
// raises. Anything else (out of memory, a logic error) still propagates.
#pragma once

#include "addin/failure.h"

#include <utility>

namespace vantelo {

class ErrorSkipping {
public:
  ErrorSkipping() = default;
  ErrorSkipping(const ErrorSkipping&) = delete;
  ErrorSkipping& operator=(const ErrorSkipping&) = delete;

  // Runs one step; returns whether it completed.
  template <class F> bool Step(F&& step) {
    try {
      std::forward<F>(step)();
      return true;
    } catch (const Failure&) {
      return false;
    }
  }

  // Evaluates a condition: true when it holds, and true as well when
  // evaluating it failed.
  template <class F> bool HoldsOrFails(F&& condition) {
    try {
      return static_cast<bool>(std::forward<F>(condition)());
    } catch (const Failure&) {
      return true;
    }
  }
};

} // namespace vantelo
