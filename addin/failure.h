// The one exception type of the add-in: a failure that carries a 32-bit COM
// status code (an HRESULT). Host operations throw it with the host's code; the
// add-in's own conversions throw it with the Visual Basic run-time codes that
// macro writers know from the host's VBA environment. At the COM boundary it
// becomes the HRESULT of the call.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace vantelo {

class Failure : public std::runtime_error {
public:
  Failure(std::int32_t code, const std::string& message)
      : std::runtime_error(message), code_(code) {}

  std::int32_t Code() const noexcept { return code_; }

private:
  std::int32_t code_;
};

// Status codes the add-in raises itself, or that hosts commonly return.
namespace hresult {
constexpr std::int32_t Fail = static_cast<std::int32_t>(0x80004005);
constexpr std::int32_t NoInterface = static_cast<std::int32_t>(0x80004002);
constexpr std::int32_t InvalidArg = static_cast<std::int32_t>(0x80070057);
constexpr std::int32_t MemberNotFound = static_cast<std::int32_t>(0x80020003);
constexpr std::int32_t DispTypeMismatch = static_cast<std::int32_t>(0x80020005);
constexpr std::int32_t DispOverflow = static_cast<std::int32_t>(0x8002000A);
constexpr std::int32_t BadIndex = static_cast<std::int32_t>(0x8002000B);
// Visual Basic run-time errors (facility 0x0A), as a VB class reports them.
constexpr std::int32_t InvalidProcedureCall = static_cast<std::int32_t>(0x800A0005);
constexpr std::int32_t Overflow = static_cast<std::int32_t>(0x800A0006);
constexpr std::int32_t DivisionByZero = static_cast<std::int32_t>(0x800A000B);
constexpr std::int32_t TypeMismatch = static_cast<std::int32_t>(0x800A000D);
constexpr std::int32_t ObjectNotSet = static_cast<std::int32_t>(0x800A005B);
} // namespace hresult

// Formats a status code as "0x80004005".
std::string HresultText(std::int32_t code);

} // namespace vantelo
