// The settings loaded from the settings file at every handled save: section,
// key (always the member's own name) and default text, in load order.
#pragma once

#include "addin/members.h"

#include <span>
#include <string_view>

namespace vantelo {

struct Setting {
  std::string_view section;
  const MemberInfo& member; // the key is member.name
  std::string_view defaultText;

  std::string_view Key() const { return member.name; }
};

// The 26 file-backed settings in the order they are loaded.
std::span<const Setting> SettingsCatalogue();

// The six section names in the order a fresh file holds them.
std::span<const std::string_view> SettingsSections();

} // namespace vantelo
