#include "simhost/describe.h"

#include "addin/float_chars.h"

#include <type_traits>

namespace vantelo::sim {

std::string Describe(const Value& value) {
  return std::visit(
      [](const auto& v) -> std::string {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, Empty>)
          return "empty";
        else if constexpr (std::is_same_v<T, bool>)
          return v ? "boolean true" : "boolean false";
        else if constexpr (std::is_same_v<T, std::int16_t>)
          return "integer " + std::to_string(v);
        else if constexpr (std::is_same_v<T, std::int32_t>)
          return "long " + std::to_string(v);
        else if constexpr (std::is_same_v<T, float>)
          return "single " + float_chars::ShortestText(v);
        else if constexpr (std::is_same_v<T, double>)
          return "double " + float_chars::ShortestText(v);
        else if constexpr (std::is_same_v<T, Date>)
          return "date " + float_chars::ShortestText(v.days);
        else if constexpr (std::is_same_v<T, std::string>)
          return "text \"" + v + "\"";
        else
          return "object";
      },
      value);
}

std::string DescribePropertySets(const DocumentData& document) {
  std::string text;
  for (const auto& set : document.propertySets) {
    text += set.formatId + "\n";
    for (const auto& property : set.properties)
      text += "  " + std::to_string(property.id) + " " + property.name + " = " +
              Describe(property.value) + "\n";
  }
  return text;
}

} // namespace vantelo::sim
