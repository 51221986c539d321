#include "simhost/drawing_lookup.h"

#include "addin/failure.h"
#include "simhost/status_codes.h"

#include <string>

namespace vantelo::sim {

namespace {

[[noreturn]] void Gone(const DocumentData& drawing, const std::string& what) {
  throw Failure(status::Disconnected, what + " of drawing '" + drawing.name + "' is gone");
}

std::string Ordinal(std::size_t position) { return std::to_string(position + 1); }

} // namespace

SheetData& SheetAt(DocumentData& drawing, std::size_t sheet) {
  if (sheet >= drawing.sheets.size())
    Gone(drawing, "sheet " + Ordinal(sheet));
  return drawing.sheets[sheet];
}

PartsListData& PartsListAt(DocumentData& drawing, std::size_t sheet, std::size_t list) {
  auto& lists = SheetAt(drawing, sheet).partsLists;
  if (list >= lists.size())
    Gone(drawing, "parts list " + Ordinal(list) + " on sheet " + Ordinal(sheet));
  return lists[list];
}

std::vector<std::string>& RowAt(DocumentData& drawing, std::size_t sheet, std::size_t list,
                                std::size_t row) {
  auto& rows = PartsListAt(drawing, sheet, list).rows;
  if (row >= rows.size())
    Gone(drawing,
         "row " + Ordinal(row) + " of parts list " + Ordinal(list) + " on sheet " + Ordinal(sheet));
  return rows[row];
}

std::size_t ItemPosition(long long index, std::size_t count, const char* collection) {
  if (index < 1 || static_cast<unsigned long long>(index) > count)
    throw Failure(hresult::BadIndex, std::string(collection) + ": no item " +
                                         std::to_string(index) + " (there are " +
                                         std::to_string(count) + ")");
  return static_cast<std::size_t>(index - 1);
}

} // namespace vantelo::sim
