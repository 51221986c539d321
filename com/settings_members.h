// The class's settings members as properties of _clsVantelo: one line per
// member, with the kind of its value at the COM boundary (Boolean as
// VARIANT_BOOL, Integer as a 16-bit short, String as BSTR). The order of the
// properties in the interface is fixed by the type library, not by this list.
#pragma once

#include <windows.h>

#include <wtypes.h>

#define VANTELO_SETTINGS(X)                                                                        \
  X(EnableViewScale, Boolean)                                                                      \
  X(EnableSheetMetal, Boolean)                                                                     \
  X(EnableMassVolume, Boolean)                                                                     \
  X(EnablePartsList, Boolean)                                                                      \
  X(EnableTimeStamp, Boolean)                                                                      \
  X(EnablePaperSize, Boolean)                                                                      \
  X(HowToDisplayFirstViewScale, String)                                                            \
  X(HowToDisplayAllViewScales, String)                                                             \
  X(ListSparator, String)                                                                          \
  X(ExcludeFirstInAllScales, Boolean)                                                              \
  X(ShowScaleAsInventor, Boolean)                                                                  \
  X(ShowScaleAsInventorDecimals, Integer)                                                          \
  X(FirstViewScalePropertyName, String)                                                            \
  X(AllViewScalesPropertyName, String)                                                             \
  X(SMExtentsSizePropertyName, String)                                                             \
  X(SMThicknessPropertyName, String)                                                               \
  X(SMStylePropertyName, String)                                                                   \
  X(SMExtentsSizeIfNotAvailable, String)                                                           \
  X(MassDecimals, Integer)                                                                         \
  X(VolumeDecimals, Integer)                                                                       \
  X(MassPropertyName, String)                                                                      \
  X(MassUnitToDisplay, String)                                                                     \
  X(VolumePropertyName, String)                                                                    \
  X(PaperSizePropertyName, String)                                                                 \
  X(SaveTimePropertyName, String)                                                                  \
  X(SaveDatePropertyName, String)                                                                  \
  X(TotalMassUnit, String)                                                                         \
  X(TotalMassUnitToDisplay, String)                                                                \
  X(TotalMassColumnName, String)                                                                   \
  X(MassColumnName, String)                                                                        \
  X(QuantityColumnName, String)                                                                    \
  X(Decimals, Integer)                                                                             \
  X(SpaceBeforeMassUnit, Integer)                                                                  \
  X(SuppressError, Boolean)

namespace vantelo::com {
// The COM types of the three kinds.
using BooleanProperty = VARIANT_BOOL;
using IntegerProperty = short;
using StringProperty = BSTR;
} // namespace vantelo::com
