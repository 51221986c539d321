#include "simhost/drawing_lookup.h"

#include "addin/failure.h"
#include "simhost/status_codes.h"

#include <string>

namespace vantelo::sim {

namespace {

[[noreturn]] void gone(const DocumentData& drawing, const std::string& what) {
  throw Failure(status::Disconnected, what + " of drawing '" + drawing.name + "' is gone");
}

std::string ordinal(std::size_t position) { return std::to_string(position + 1); }

} // namespace

SheetData& sheetAt(DocumentData& drawing, std::size_t sheet) {
  if (sheet >= drawing.sheets.size())
    gone(drawing, "sheet " + ordinal(sheet));
  return drawing.sheets[sheet];
}

PartsListData& partsListAt(DocumentData& drawing, std::size_t sheet, std::size_t list) {
  auto& lists = sheetAt(drawing, sheet).partsLists;
  if (list >= lists.size())
    gone(drawing, "parts list " + ordinal(list) + " on sheet " + ordinal(sheet));
  return lists[list];
}

std::vector<std::string>& rowAt(DocumentData& drawing, std::size_t sheet, std::size_t list,
                                std::size_t row) {
  auto& rows = partsListAt(drawing, sheet, list).rows;
  if (row >= rows.size())
    gone(drawing,
         "row " + ordinal(row) + " of parts list " + ordinal(list) + " on sheet " + ordinal(sheet));
  return rows[row];
}

std::size_t itemPosition(long long index, std::size_t count, const char* collection) {
  if (index < 1 || static_cast<unsigned long long>(index) > count)
    throw Failure(hresult::BadIndex, std::string(collection) + ": no item " +
                                         std::to_string(index) + " (there are " +
                                         std::to_string(count) + ")");
  return static_cast<std::size_t>(index - 1);
}

} // namespace vantelo::sim
