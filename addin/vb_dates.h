// Dates as the host's macro language (Visual Basic) and the platform hold
// them: a DATE counts days since 1899-12-30, the time of day as a fraction.
#pragma once

#include "addin/value.h"
#include "platform/services.h"

#include <string>
#include <string_view>

namespace vantelo::vb {

// The platform's DATE for a local date and time, and back.
Date ToDate(const LocalDateTime& when);
LocalDateTime FromDate(Date date);
// "hh:mm" with the regional time separator in place of the colon.
std::string FormatHourMinute(const LocalDateTime& when, std::string_view timeSeparator);

} // namespace vantelo::vb
