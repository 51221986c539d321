// Columns of text lined up for a terminal.
#pragma once

#include <cstddef>
#include <set>
#include <string>
#include <vector>

namespace vantelo::cli {

class TextTable {
public:
  explicit TextTable(std::vector<std::string> header);

  void AlignRight(std::size_t column) { rightAligned_.insert(column); }
  void AddRow(std::vector<std::string> cells);
  bool Empty() const { return rows_.empty(); }

  // The header and the rows, each line starting with the indent; widths are
  // counted in characters (UTF-8), trailing blanks are dropped.
  std::string Render(const std::string& indent) const;

private:
  std::vector<std::string> header_;
  std::vector<std::vector<std::string>> rows_;
  std::set<std::size_t> rightAligned_;
};

// The number of characters of a UTF-8 text.
std::size_t DisplayWidth(const std::string& text);

} // namespace vantelo::cli
