#include "cli/text_table.h"

#include <algorithm>
#include <sstream>

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

void TextTable::Write(std::ostream& out, const std::string& indent) const {
  std::vector<std::size_t> widths(header_.size(), 0);
  auto measure = [&](const std::vector<std::string>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i)
      widths[i] = std::max(widths[i], std::min(DisplayWidth(cells[i]), kWidestColumn));
  };
  measure(header_);
  for (const auto& row : rows_)
    measure(row);

  // Straight into the stream, without trailing blanks: the table may be
  // long and its cells large.
  const std::size_t indentEnd = indent.find_last_not_of(' ') + 1;
  auto line = [&](const std::vector<std::string>& cells) {
    std::size_t last = cells.size(); // cells from here on are blank
    while (last > 0 && cells[last - 1].find_first_not_of(' ') == std::string::npos)
      --last;
    out << (last == 0 ? std::string_view(indent).substr(0, indentEnd) : indent);
    for (std::size_t i = 0; i < last; ++i) {
      const std::size_t width = DisplayWidth(cells[i]);
      const std::string padding(width < widths[i] ? widths[i] - width : 0, ' ');
      const std::string_view cell =
          i + 1 < last ? std::string_view(cells[i])
                       : std::string_view(cells[i]).substr(0, cells[i].find_last_not_of(' ') + 1);
      if (i > 0)
        out << "  ";
      if (rightAligned_.count(i))
        out << padding << cell;
      else
        out << cell << (i + 1 < last ? padding : std::string());
    }
    out << "\n";
  };
  line(header_);
  for (const auto& row : rows_)
    line(row);
}

std::string TextTable::Render(const std::string& indent) const {
  std::ostringstream out;
  Write(out, indent);
  return out.str();
}

} // namespace vantelo::cli
