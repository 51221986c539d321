#include "config/settings_catalogue.h"

#include "addin/vb_conversions.h"

#include <array>
#include <cassert>
#include <string>

namespace vantelo {
namespace {

constexpr std::string_view kGlobal = "Global Options";
constexpr std::string_view kViewScale = "View Scale Options";
constexpr std::string_view kSheetMetal = "Sheet Metal Options";
constexpr std::string_view kMassVolume = "Mass And Volume Options";
constexpr std::string_view kPaperSize = "Paper Size Options";
constexpr std::string_view kTimeStamp = "TimeStamp Options";

const MemberInfo& member(std::string_view name) {
  const MemberInfo* found = FindMember(name);
  assert(found != nullptr);
  return *found;
}

} // namespace

std::span<const Setting> SettingsCatalogue() {
  // The enable settings default to the text a Boolean false turns into.
  static const std::string kFalseText = vb::BooleanToText(false);
  static const std::array<Setting, 26> kCatalogue{{
      {kGlobal, member("EnableViewScale"), kFalseText},
      {kGlobal, member("EnableSheetMetal"), kFalseText},
      {kGlobal, member("EnableMassVolume"), kFalseText},
      {kGlobal, member("EnablePartsList"), kFalseText},
      {kGlobal, member("EnableTimeStamp"), kFalseText},
      {kGlobal, member("EnablePaperSize"), kFalseText},
      {kViewScale, member("HowToDisplayFirstViewScale"), "X:Y"},
      {kViewScale, member("HowToDisplayAllViewScales"), "X:Y"},
      {kViewScale, member("ListSparator"), " "},
      {kViewScale, member("ExcludeFirstInAllScales"), "True"},
      {kViewScale, member("ShowScaleAsInventor"), "True"},
      {kViewScale, member("ShowScaleAsInventorDecimals"), "2"},
      {kViewScale, member("FirstViewScalePropertyName"), "FirstViewScale"},
      {kViewScale, member("AllViewScalesPropertyName"), "AllViewScales"},
      {kSheetMetal, member("SMExtentsSizePropertyName"), "SM_Extents"},
      {kSheetMetal, member("SMThicknessPropertyName"), "SM_Thickness"},
      {kSheetMetal, member("SMStylePropertyName"), "SM_Style"},
      {kSheetMetal, member("SMExtentsSizeIfNotAvailable"), "N/A"},
      {kMassVolume, member("MassDecimals"), "2"},
      {kMassVolume, member("VolumeDecimals"), "2"},
      {kMassVolume, member("MassPropertyName"), "TotalMass"},
      {kMassVolume, member("VolumePropertyName"), "TotalVolume"},
      {kMassVolume, member("MassUnitToDisplay"), ""},
      {kPaperSize, member("PaperSizePropertyName"), "PaperSize"},
      {kTimeStamp, member("SaveTimePropertyName"), "SaveTime"},
      {kTimeStamp, member("SaveDatePropertyName"), "SaveDate"},
  }};
  return kCatalogue;
}

namespace {

const std::array<std::string_view, 6> kSections{kGlobal,     kViewScale, kSheetMetal,
                                                kMassVolume, kPaperSize, kTimeStamp};

} // namespace

std::span<const std::string_view> SettingsSections() { return kSections; }

} // namespace vantelo
