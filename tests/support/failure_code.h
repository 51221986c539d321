// The status code a call fails with, for tests that check which failure a
// call raises: 0 when the call succeeds.
#pragma once

#include "addin/failure.h"

#include <cstdint>
#include <utility>

namespace vantelo::test {

template <class Call> std::int32_t FailureCode(Call&& call) {
  try {
    std::forward<Call>(call)();
  } catch (const Failure& failure) {
    return failure.Code();
  }
  return 0;
}

} // namespace vantelo::test
