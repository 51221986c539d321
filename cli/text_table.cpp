#include "cli/text_table.h"

#include <algorithm>

namespace vantelo::cli {

std::size_t DisplayWidth(const std::string& text) {
  std::size_t width = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80)
      ++width;
  return width;
}

TextTable::TextTable(std::vector<std::string> header) : header_(std::move(header)) {}

void TextTable::AddRow(std::vector<std::string> cells) {
  cells.resize(header_.size());
  rows_.push_back(std::move(cells));
}

std::string TextTable::Render(const std::string& indent) const {
  std::vector<std::size_t> widths(header_.size(), 0);
  auto measure = [&](const std::vector<std::string>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i)
      widths[i] = std::max(widths[i], DisplayWidth(cells[i]));
  };
  measure(header_);
  for (const auto& row : rows_)
    measure(row);

  std::string out;
  auto line = [&](const std::vector<std::string>& cells) {
    std::string text = indent;
    for (std::size_t i = 0; i < cells.size(); ++i) {
      const std::string padding(widths[i] - DisplayWidth(cells[i]), ' ');
      if (i > 0)
        text += "  ";
      text += rightAligned_.count(i) ? padding + cells[i] : cells[i] + padding;
    }
    text.erase(text.find_last_not_of(' ') + 1);
    out += text + "\n";
  };
  line(header_);
  for (const auto& row : rows_)
    line(row);
  return out;
}

} // namespace vantelo::cli
