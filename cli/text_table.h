// Columns of text lined up for a terminal.
#pragma once

#include <cstddef>
#include <ostream>
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
  // counted in characters (UTF-8), trailing blanks are dropped. A column is
  // as wide as its widest cell, up to kWidestColumn characters: a longer
  // cell runs over into the columns after it, so that one long value does
  // not pad every other line to its width.
  static constexpr std::size_t kWidestColumn = 60;
  void Write(std::ostream& out, const std::string& indent) const;
  std::string Render(const std::string& indent) const;

private:
  std::vector<std::string> header_;
  std::vector<std::vector<std::string>> rows_;
  std::set<std::size_t> rightAligned_;
};

// The number of characters of a UTF-8 text.
std::size_t DisplayWidth(const std::string& text);

} // namespace vantelo::cli
