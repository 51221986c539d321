#include "addin/members.h"

#include "addin/clsVantelo.h"
#include "addin/vb_conversions.h"

#include <array>

namespace vantelo {
namespace {

constexpr std::int32_t kFirstDispatchId = 0x40030002;

constexpr MemberInfo boolean(std::string_view name, int index, bool clsVantelo::*member) {
  return MemberInfo{name, MemberType::Boolean, kFirstDispatchId + index, member, nullptr, nullptr};
}
constexpr MemberInfo integer(std::string_view name, int index, std::int16_t clsVantelo::*member) {
  return MemberInfo{name, MemberType::Integer, kFirstDispatchId + index, nullptr, member, nullptr};
}
constexpr MemberInfo text(std::string_view name, int index, std::string clsVantelo::*member) {
  return MemberInfo{name, MemberType::String, kFirstDispatchId + index, nullptr, nullptr, member};
}

using C = clsVantelo;
constexpr std::array<MemberInfo, 34> kMembers{
    boolean("EnableViewScale", 0, &C::EnableViewScale),
    boolean("EnableSheetMetal", 1, &C::EnableSheetMetal),
    boolean("EnableMassVolume", 2, &C::EnableMassVolume),
    boolean("EnablePartsList", 3, &C::EnablePartsList),
    boolean("EnableTimeStamp", 4, &C::EnableTimeStamp),
    boolean("EnablePaperSize", 5, &C::EnablePaperSize),
    text("HowToDisplayFirstViewScale", 6, &C::HowToDisplayFirstViewScale),
    text("HowToDisplayAllViewScales", 7, &C::HowToDisplayAllViewScales),
    text("ListSparator", 8, &C::ListSparator),
    boolean("ExcludeFirstInAllScales", 9, &C::ExcludeFirstInAllScales),
    boolean("ShowScaleAsInventor", 10, &C::ShowScaleAsInventor),
    integer("ShowScaleAsInventorDecimals", 11, &C::ShowScaleAsInventorDecimals),
    text("FirstViewScalePropertyName", 12, &C::FirstViewScalePropertyName),
    text("AllViewScalesPropertyName", 13, &C::AllViewScalesPropertyName),
    text("SMExtentsSizePropertyName", 14, &C::SMExtentsSizePropertyName),
    text("SMThicknessPropertyName", 15, &C::SMThicknessPropertyName),
    text("SMStylePropertyName", 16, &C::SMStylePropertyName),
    text("SMExtentsSizeIfNotAvailable", 17, &C::SMExtentsSizeIfNotAvailable),
    integer("MassDecimals", 18, &C::MassDecimals),
    integer("VolumeDecimals", 19, &C::VolumeDecimals),
    text("MassPropertyName", 20, &C::MassPropertyName),
    text("MassUnitToDisplay", 21, &C::MassUnitToDisplay),
    text("VolumePropertyName", 22, &C::VolumePropertyName),
    text("PaperSizePropertyName", 23, &C::PaperSizePropertyName),
    text("SaveTimePropertyName", 24, &C::SaveTimePropertyName),
    text("SaveDatePropertyName", 25, &C::SaveDatePropertyName),
    text("TotalMassUnit", 26, &C::TotalMassUnit),
    text("TotalMassUnitToDisplay", 27, &C::TotalMassUnitToDisplay),
    text("TotalMassColumnName", 28, &C::TotalMassColumnName),
    text("MassColumnName", 29, &C::MassColumnName),
    text("QuantityColumnName", 30, &C::QuantityColumnName),
    integer("Decimals", 31, &C::Decimals),
    integer("SpaceBeforeMassUnit", 32, &C::SpaceBeforeMassUnit),
    boolean("SuppressError", 33, &C::SuppressError),
};

bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i]))
      return false;
  }
  return true;
}

} // namespace

std::span<const MemberInfo> ClassMembers() { return kMembers; }

const MemberInfo* FindMember(std::string_view name) {
  for (const MemberInfo& member : kMembers)
    if (sameName(member.name, name))
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

std::string MemberAsText(const clsVantelo& object, const MemberInfo& member) {
  switch (member.type) {
  case MemberType::Boolean:
    return vb::BooleanToText(object.*member.boolean);
  case MemberType::Integer:
    return std::to_string(object.*member.integer);
  case MemberType::String:
    break;
  }
  return object.*member.text;
}

} // namespace vantelo
