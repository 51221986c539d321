// The class interface _clsVantelo as its clients know it, written out here
// independently of the module's own sources: the 34 settings in declaration
// order with their types, then the methods with their dispatch ids.
#pragma once

#include <windows.h>

#include <vector>

namespace vtest {

enum class SettingKind { Boolean, Integer, String };

struct Setting {
  const wchar_t* name;
  SettingKind kind;
};

inline const std::vector<Setting>& ClassSettings() {
  using enum SettingKind;
  static const std::vector<Setting> settings = {
      {L"EnableViewScale", Boolean},
      {L"EnableSheetMetal", Boolean},
      {L"EnableMassVolume", Boolean},
      {L"EnablePartsList", Boolean},
      {L"EnableTimeStamp", Boolean},
      {L"EnablePaperSize", Boolean},
      {L"HowToDisplayFirstViewScale", String},
      {L"HowToDisplayAllViewScales", String},
      {L"ListSparator", String},
      {L"ExcludeFirstInAllScales", Boolean},
      {L"ShowScaleAsInventor", Boolean},
      {L"ShowScaleAsInventorDecimals", Integer},
      {L"FirstViewScalePropertyName", String},
      {L"AllViewScalesPropertyName", String},
      {L"SMExtentsSizePropertyName", String},
      {L"SMThicknessPropertyName", String},
      {L"SMStylePropertyName", String},
      {L"SMExtentsSizeIfNotAvailable", String},
      {L"MassDecimals", Integer},
      {L"VolumeDecimals", Integer},
      {L"MassPropertyName", String},
      {L"MassUnitToDisplay", String},
      {L"VolumePropertyName", String},
      {L"PaperSizePropertyName", String},
      {L"SaveTimePropertyName", String},
      {L"SaveDatePropertyName", String},
      {L"TotalMassUnit", String},
      {L"TotalMassUnitToDisplay", String},
      {L"TotalMassColumnName", String},
      {L"MassColumnName", String},
      {L"QuantityColumnName", String},
      {L"Decimals", Integer},
      {L"SpaceBeforeMassUnit", Integer},
      {L"SuppressError", Boolean},
  };
  return settings;
}

// The dispatch id of the setting at `index` in declaration order.
inline DISPID SettingDispid(std::size_t index) { return 0x40030002 + static_cast<DISPID>(index); }

} // namespace vtest
