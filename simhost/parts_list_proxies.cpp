// A sheet's parts lists, a parts list, its rows, a row and a cell.
#include "simhost/drawing_lookup.h"
#include "simhost/proxies.h"

#include "addin/failure.h"

#include <limits>
#include <memory>
#include <string>

namespace vantelo::sim {

namespace {

// Where a parts list is: its sheet and its position on the sheet.
struct ListPlace {
  std::size_t sheet;
  std::size_t list;
};

class PartsListCellProxy final : public PartsListCell, DocumentBound {
public:
  PartsListCellProxy(StatePtr state, DocumentHandle document, ListPlace place, std::size_t row,
                     std::size_t column)
      : DocumentBound(std::move(state), "PartsListCell", std::move(document)), place_(place),
        row_(row), column_(column) {}

  std::string Value() override {
    enter(operation("PartsListCell.Value"));
    const auto doc = document();
    return cell(*doc);
  }

  void SetValueByName(const std::string& text) override {
    enter(operation("PartsListCell.SetValueByName"));
    const auto doc = document();
    cell(*doc) = text;
  }

private:
  std::string& cell(DocumentData& doc) const {
    auto& cells = rowAt(doc, place_.sheet, place_.list, row_);
    if (column_ >= cells.size())
      throw Failure(hresult::Fail, "row " + std::to_string(row_ + 1) + " of parts list " +
                                       std::to_string(place_.list + 1) + " on sheet " +
                                       std::to_string(place_.sheet + 1) + " of drawing '" +
                                       doc.name + "' has " + std::to_string(cells.size()) +
                                       " cells, none in column " + std::to_string(column_ + 1));
    return cells[column_];
  }

  ListPlace place_;
  std::size_t row_;
  std::size_t column_;
};

class PartsListRowProxy final : public PartsListRow, DocumentBound {
public:
  PartsListRowProxy(StatePtr state, DocumentHandle document, ListPlace place, std::size_t row)
      : DocumentBound(std::move(state), "PartsListRow", std::move(document)), place_(place),
        row_(row) {}

  Ref<vantelo::PartsListCell> Item(const std::string& columnTitle) override {
    enter(operation("PartsListRow.Item"));
    const auto doc = document();
    rowAt(*doc, place_.sheet, place_.list, row_);
    const auto column = partsListAt(*doc, place_.sheet, place_.list).column(columnTitle);
    if (!column)
      throw Failure(hresult::InvalidArg, "parts list " + std::to_string(place_.list + 1) +
                                             " on sheet " + std::to_string(place_.sheet + 1) +
                                             " of drawing '" + doc->name +
                                             "' has no column titled '" + columnTitle + "'");
    return std::make_shared<PartsListCellProxy>(state(), handle(), place_, row_, *column);
  }

private:
  ListPlace place_;
  std::size_t row_;
};

class PartsListRowsProxy final : public PartsListRows, DocumentBound {
public:
  PartsListRowsProxy(StatePtr state, DocumentHandle document, ListPlace place)
      : DocumentBound(std::move(state), "PartsListRows", std::move(document)), place_(place) {}

  std::int32_t Count() override {
    enter(operation("PartsListRows.Count"));
    const auto rows = partsListAt(*document(), place_.sheet, place_.list).rows.size();
    if (rows > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
      throw Failure(hresult::DispOverflow, "the parts list has too many rows to count");
    return static_cast<std::int32_t>(rows);
  }

  Ref<vantelo::PartsListRow> Item(std::int32_t& index) override {
    enter(operation("PartsListRows.Item"));
    const auto doc = document();
    const auto row = itemPosition(index, partsListAt(*doc, place_.sheet, place_.list).rows.size(),
                                  "PartsListRows");
    return std::make_shared<PartsListRowProxy>(state(), handle(), place_, row);
  }

private:
  ListPlace place_;
};

class PartsListProxy final : public PartsList, DocumentBound {
public:
  PartsListProxy(StatePtr state, DocumentHandle document, ListPlace place)
      : DocumentBound(std::move(state), "PartsList", std::move(document)), place_(place) {}

  Ref<vantelo::PartsListRows> PartsListRows() override {
    enter(operation("PartsList.PartsListRows"));
    partsListAt(*document(), place_.sheet, place_.list);
    return std::make_shared<PartsListRowsProxy>(state(), handle(), place_);
  }

private:
  ListPlace place_;
};

class PartsListsProxy final : public PartsLists, DocumentBound {
public:
  PartsListsProxy(StatePtr state, DocumentHandle document, std::size_t sheet)
      : DocumentBound(std::move(state), "PartsLists", std::move(document)), sheet_(sheet) {}

  Ref<vantelo::PartsList> Item(std::int32_t index) override {
    enter(operation("PartsLists.Item"));
    const auto doc = document();
    const auto list = itemPosition(index, sheetAt(*doc, sheet_).partsLists.size(), "PartsLists");
    return std::make_shared<PartsListProxy>(state(), handle(), ListPlace{sheet_, list});
  }

private:
  std::size_t sheet_;
};

} // namespace

Ref<PartsLists> newPartsLists(StatePtr state, DocumentHandle document, std::size_t sheet) {
  return std::make_shared<PartsListsProxy>(std::move(state), std::move(document), sheet);
}

} // namespace vantelo::sim
