// Finding again the sheet, parts list or row that a drawing proxy stands for.
// The drawing's data may have changed since the proxy was handed out; what is
// no longer there fails as a disconnected object.
#pragma once

#include "simhost/document_data.h"

#include <cstddef>

namespace vantelo::sim {

SheetData& SheetAt(DocumentData& drawing, std::size_t sheet);
PartsListData& PartsListAt(DocumentData& drawing, std::size_t sheet, std::size_t list);
std::vector<std::string>& RowAt(DocumentData& drawing, std::size_t sheet, std::size_t list,
                                std::size_t row);

// Fails (DISP_E_BADINDEX) unless 1 <= index <= count; returns index - 1.
std::size_t ItemPosition(long long index, std::size_t count, const char* collection);

} // namespace vantelo::sim
