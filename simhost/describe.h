// Readable texts of what a document holds, for test messages and the
// command-line program: a value with its type, and a document's property
// sets with their properties in order.
#pragma once

#include "addin/value.h"
#include "simhost/document_data.h"

#include <string>

namespace vantelo::sim {

// The type and the value: `text "1.5 kg"`, `date 45123.5`, `double 0.25`,
// `long 7`, `integer 7`, `single 0.5`, `boolean true`, `empty`, `object`.
std::string Describe(const Value& value);

// One line per set ("{FMTID}") and one indented line per property
// ("  id name = described value"), in the sets' and the properties' order.
std::string DescribePropertySets(const DocumentData& document);

} // namespace vantelo::sim
