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

const MemberInfo& Member(std::string_view name) {
  const MemberInfo* found = FindMember(name);
  assert(found != nullptr);
  return *found;
}

} // namespace

std::span<const Setting> SettingsCatalogue() {
  // The enable settings default to the text a Boolean false turns into.
  static const std::string kFalseText = vb::BooleanToText(false);
  static const std::array<Setting, 26> kCatalogue{{
      {kGlobal, Member("EnableViewScale"), kFalseText},
      {kGlobal, Member("EnableSheetMetal"), kFalseText},
      {kGlobal, Member("EnableMassVolume"), kFalseText},
      {kGlobal, Member("EnablePartsList"), kFalseText},
      {kGlobal, Member("EnableTimeStamp"), kFalseText},
      {kGlobal, Member("EnablePaperSize"), kFalseText},
      {kViewScale, Member("HowToDisplayFirstViewScale"), "X:Y"},
      {kViewScale, Member("HowToDisplayAllViewScales"), "X:Y"},
      {kViewScale, Member("ListSparator"), " "},
      {kViewScale, Member("ExcludeFirstInAllScales"), "True"},
      {kViewScale, Member("ShowScaleAsInventor"), "True"},
      {kViewScale, Member("ShowScaleAsInventorDecimals"), "2"},
      {kViewScale, Member("FirstViewScalePropertyName"), "FirstViewScale"},
      {kViewScale, Member("AllViewScalesPropertyName"), "AllViewScales"},
      {kSheetMetal, Member("SMExtentsSizePropertyName"), "SM_Extents"},
      {kSheetMetal, Member("SMThicknessPropertyName"), "SM_Thickness"},
      {kSheetMetal, Member("SMStylePropertyName"), "SM_Style"},
      {kSheetMetal, Member("SMExtentsSizeIfNotAvailable"), "N/A"},
      {kMassVolume, Member("MassDecimals"), "2"},
      {kMassVolume, Member("VolumeDecimals"), "2"},
      {kMassVolume, Member("MassPropertyName"), "TotalMass"},
      {kMassVolume, Member("VolumePropertyName"), "TotalVolume"},
      {kMassVolume, Member("MassUnitToDisplay"), ""},
      {kPaperSize, Member("PaperSizePropertyName"), "PaperSize"},
      {kTimeStamp, Member("SaveTimePropertyName"), "SaveTime"},
      {kTimeStamp, Member("SaveDatePropertyName"), "SaveDate"},
  }};
  return kCatalogue;
}

namespace {

const std::array<std::string_view, 6> kSections{kGlobal,     kViewScale, kSheetMetal,
                                                kMassVolume, kPaperSize, kTimeStamp};

} // namespace

std::span<const std::string_view> SettingsSections() { return kSections; }

} // namespace vantelo
