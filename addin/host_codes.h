// The host's fixed codes and identifiers that the add-in tests or writes:
// document types, property-set format identifiers, part subtypes, unit codes,
// sheet paper sizes and the save notification's timing code. Each table is
// kept here once; the writers, the stand-in host, the command-line program and
// the tests take them from here.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace vantelo {

// Document type codes: the three the add-in writes to, and one it leaves
// alone.
namespace document_type {
constexpr std::int32_t Part = 12290, Assembly = 12291, Drawing = 12292;
constexpr std::int32_t Presentation = 12293;
} // namespace document_type

// Format identifiers of the property sets the add-in writes.
namespace fmtid {
constexpr const char* UserDefined = "{D5CDD505-2E9C-101B-9397-08002B2CF9AE}";
constexpr const char* DesignTracking = "{32853F0F-3444-11D1-9E93-0060B03C1CA6}";
} // namespace fmtid

// Subtype identifiers of part documents. The sheet-metal writer compares the
// subtype with SheetMetalPart exactly, letter case included.
namespace subtype {
constexpr const char* Part = "{4D29B490-49B2-11D0-93C3-7E0706000000}";
constexpr const char* SheetMetalPart = "{9C464203-9BAE-11D3-8BAD-0060B0CE6BB4}";
} // namespace subtype

// Unit codes of the host's units of measure.
namespace units {
// The unit selector of a length-to-text call: the document's display unit.
constexpr std::int32_t DefaultDisplayLength = 11266;
constexpr std::int32_t Centimeter = 11268;
constexpr std::int32_t Millimeter = 11269;
constexpr std::int32_t Meter = 11270;
constexpr std::int32_t Inch = 11272;
constexpr std::int32_t Kilogram = 11283;
constexpr std::int32_t Gram = 11284;
constexpr std::int32_t PoundMass = 11286;
} // namespace units

// Timing codes of the save notification.
namespace event_timing {
// Sent before the document is written: the only code the add-in acts on.
constexpr std::int32_t Before = 4097;
} // namespace event_timing

// A sheet's paper size: the host's size code and the text the add-in writes
// for it. The codes form one contiguous range in table order.
struct PaperSizeCode {
  std::string_view text;
  std::int32_t code;
};
inline constexpr std::array<PaperSizeCode, 12> kPaperSizes{{{"USER", 9986},
                                                            {"A", 9987},
                                                            {"B", 9988},
                                                            {"C", 9989},
                                                            {"D", 9990},
                                                            {"E", 9991},
                                                            {"F", 9992},
                                                            {"A0", 9993},
                                                            {"A1", 9994},
                                                            {"A2", 9995},
                                                            {"A3", 9996},
                                                            {"A4", 9997}}};

// The size code of a paper size text of the table ("A3"); a text that is not
// there stops the compilation where it is a constant expression.
consteval std::int32_t PaperSizeCodeOf(std::string_view text) {
  for (const PaperSizeCode& size : kPaperSizes)
    if (size.text == text)
      return size.code;
  throw "not a paper size of the table";
}

} // namespace vantelo
