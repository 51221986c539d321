// Bad usage or bad input: the program stops with exit status 2 before the
// add-in runs, with a message that names the place and what is wrong.
#pragma once

#include <stdexcept>

namespace vantelo::cli {

class UsageError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

} // namespace vantelo::cli
