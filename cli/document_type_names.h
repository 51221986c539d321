// The names the program gives the document types it knows, in scene files
// and in its reports: one table, read both ways.
#pragma once

#include "addin/host_codes.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vantelo::cli {

struct NamedDocumentType {
  std::int32_t type;
  std::string_view name;
};

inline constexpr std::array<NamedDocumentType, 3> kDocumentTypeNames{{
    {document_type::Part, "part"},
    {document_type::Assembly, "assembly"},
    {document_type::Drawing, "drawing"},
}};

// The name of a type code; nothing for a code the table does not name.
inline std::optional<std::string_view> NameOfDocumentType(std::int32_t type) {
  for (const NamedDocumentType& entry : kDocumentTypeNames)
    if (entry.type == type)
      return entry.name;
  return std::nullopt;
}

// The type code of a name, matched exactly; nothing for any other text.
inline std::optional<std::int32_t> DocumentTypeNamed(std::string_view name) {
  for (const NamedDocumentType& entry : kDocumentTypeNames)
    if (entry.name == name)
      return entry.type;
  return std::nullopt;
}

} // namespace vantelo::cli
