#include "addin/members.h"

#include "addin/clsVantelo.h"
#include "addin/vb_conversions.h"
#include "platform/ascii_case.h"

#include <array>

namespace vantelo {
namespace {

constexpr std::int32_t kFirstDispatchId = 0x40030002;

constexpr MemberInfo Boolean(std::string_view name, int index, bool clsVantelo::*member) {
  return MemberInfo{name, MemberType::Boolean, kFirstDispatchId + index, member, nullptr, nullptr};
}
constexpr MemberInfo Integer(std::string_view name, int index, std::int16_t clsVantelo::*member) {
  return MemberInfo{name, MemberType::Integer, kFirstDispatchId + index, nullptr, member, nullptr};
}
constexpr MemberInfo Text(std::string_view name, int index, std::string clsVantelo::*member) {
  return MemberInfo{name, MemberType::String, kFirstDispatchId + index, nullptr, nullptr, member};
}

using C = clsVantelo;
constexpr std::array<MemberInfo, 34> kMembers{
    Boolean("EnableViewScale", 0, &C::EnableViewScale),
    Boolean("EnableSheetMetal", 1, &C::EnableSheetMetal),
    Boolean("EnableMassVolume", 2, &C::EnableMassVolume),
    Boolean("EnablePartsList", 3, &C::EnablePartsList),
    Boolean("EnableTimeStamp", 4, &C::EnableTimeStamp),
    Boolean("EnablePaperSize", 5, &C::EnablePaperSize),
    Text("HowToDisplayFirstViewScale", 6, &C::HowToDisplayFirstViewScale),
    Text("HowToDisplayAllViewScales", 7, &C::HowToDisplayAllViewScales),
    Text("ListSparator", 8, &C::ListSparator),
    Boolean("ExcludeFirstInAllScales", 9, &C::ExcludeFirstInAllScales),
    Boolean("ShowScaleAsInventor", 10, &C::ShowScaleAsInventor),
    Integer("ShowScaleAsInventorDecimals", 11, &C::ShowScaleAsInventorDecimals),
    Text("FirstViewScalePropertyName", 12, &C::FirstViewScalePropertyName),
    Text("AllViewScalesPropertyName", 13, &C::AllViewScalesPropertyName),
    Text("SMExtentsSizePropertyName", 14, &C::SMExtentsSizePropertyName),
    Text("SMThicknessPropertyName", 15, &C::SMThicknessPropertyName),
    Text("SMStylePropertyName", 16, &C::SMStylePropertyName),
    Text("SMExtentsSizeIfNotAvailable", 17, &C::SMExtentsSizeIfNotAvailable),
    Integer("MassDecimals", 18, &C::MassDecimals),
    Integer("VolumeDecimals", 19, &C::VolumeDecimals),
    Text("MassPropertyName", 20, &C::MassPropertyName),
    Text("MassUnitToDisplay", 21, &C::MassUnitToDisplay),
    Text("VolumePropertyName", 22, &C::VolumePropertyName),
    Text("PaperSizePropertyName", 23, &C::PaperSizePropertyName),
    Text("SaveTimePropertyName", 24, &C::SaveTimePropertyName),
    Text("SaveDatePropertyName", 25, &C::SaveDatePropertyName),
    Text("TotalMassUnit", 26, &C::TotalMassUnit),
    Text("TotalMassUnitToDisplay", 27, &C::TotalMassUnitToDisplay),
    Text("TotalMassColumnName", 28, &C::TotalMassColumnName),
    Text("MassColumnName", 29, &C::MassColumnName),
    Text("QuantityColumnName", 30, &C::QuantityColumnName),
    Integer("Decimals", 31, &C::Decimals),
    Integer("SpaceBeforeMassUnit", 32, &C::SpaceBeforeMassUnit),
    Boolean("SuppressError", 33, &C::SuppressError),
};

} // namespace

std::span<const MemberInfo> ClassMembers() { return kMembers; }

const MemberInfo* FindMember(std::string_view name) {
  for (const MemberInfo& member : kMembers)
    if (EqualsIgnoringAsciiCase(member.name, name))
      return &member;
  return nullptr;
}

void SetMemberFromText(clsVantelo& object, const MemberInfo& member, std::string_view text,
                       std::string_view decimalSeparator) {
  switch (member.type) {
  case MemberType::Boolean:
    object.*member.boolean = vb::TextToBoolean(text, decimalSeparator);
    break;
  case MemberType::Integer:
    object.*member.integer = vb::TextToInteger(text, decimalSeparator);
    break;
  case MemberType::String:
    object.*member.text = std::string(text);
    break;
  }
}

} // namespace vantelo
