// Values that cross the boundary to the host: the subset of the platform's
// VARIANT that the add-in sends and receives.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <variant>

namespace vantelo {

class HostObject;

// A date as the platform's DATE type: days since 1899-12-30, the time of day
// as the fraction.
struct Date {
  double days = 0.0;
  friend bool operator==(const Date&, const Date&) = default;
};

struct Empty {
  friend bool operator==(const Empty&, const Empty&) = default;
};

// Text is UTF-8 throughout the add-in.
using Value = std::variant<Empty, bool, std::int16_t, std::int32_t, float, double, Date,
                           std::string, std::shared_ptr<HostObject>>;

enum class ValueKind { Empty, Boolean, Integer, Long, Single, Double, Date, Text, Object };

inline ValueKind KindOf(const Value& v) { return static_cast<ValueKind>(v.index()); }

} // namespace vantelo
