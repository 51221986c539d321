// TimeStamp: the save date (a date at midnight) and the time of day as
// "hh:mm" text, in the active document's user-defined property set.
#include "addin/clsVantelo.h"
#include "addin/vb_conversions.h"
#include "writers/property_replacement.h"

namespace vantelo {

// One clock reading serves both values, so that a save around midnight
// cannot store one day's date with the next day's time.
void clsVantelo::TimeStamp() {
  ErrorSkipping skipping;
  Ref<PropertySet> set;
  skipping.Step([&] { set = ActivePropertySet(fmtid::UserDefined); });

  const LocalDateTime now = platform_.clock->Now();
  LocalDateTime midnight = now;
  midnight.hour = midnight.minute = midnight.second = 0;

  ReplaceProperty(skipping, set, SaveDatePropertyName, vb::ToDate(midnight));
  ReplaceProperty(skipping, set, SaveTimePropertyName,
                  [&] { return vb::FormatHourMinute(now, platform_.regional->TimeSeparator()); });
  set.reset();
}

} // namespace vantelo
