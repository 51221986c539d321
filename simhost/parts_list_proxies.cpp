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
    Enter(Operation("PartsListCell.Value"));
    const auto doc = OpenDocument();
    return Cell(*doc);
  }

  void SetValueByName(const std::string& text) override {
    Enter(Operation("PartsListCell.SetValueByName"));
    const auto doc = OpenDocument();
    Cell(*doc) = text;
  }

private:
  std::string& Cell(DocumentData& doc) const {
    auto& cells = RowAt(doc, place_.sheet, place_.list, row_);
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
    Enter(Operation("PartsListRow.Item"));
    const auto doc = OpenDocument();
    RowAt(*doc, place_.sheet, place_.list, row_);
    const auto column = PartsListAt(*doc, place_.sheet, place_.list).Column(columnTitle);
    if (!column)
      throw Failure(hresult::InvalidArg, "parts list " + std::to_string(place_.list + 1) +
                                             " on sheet " + std::to_string(place_.sheet + 1) +
                                             " of drawing '" + doc->name +
                                             "' has no column titled '" + columnTitle + "'");
    return std::make_shared<PartsListCellProxy>(State(), Handle(), place_, row_, *column);
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
    Enter(Operation("PartsListRows.Count"));
    const auto rows = PartsListAt(*OpenDocument(), place_.sheet, place_.list).rows.size();
    if (rows > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
      throw Failure(hresult::DispOverflow, "the parts list has too many rows to count");
    return static_cast<std::int32_t>(rows);
  }

  Ref<vantelo::PartsListRow> Item(std::int32_t& index) override {
    Enter(Operation("PartsListRows.Item"));
    const auto doc = OpenDocument();
    const auto row = ItemPosition(index, PartsListAt(*doc, place_.sheet, place_.list).rows.size(),
                                  "PartsListRows");
    return std::make_shared<PartsListRowProxy>(State(), Handle(), place_, row);
  }

private:
  ListPlace place_;
};

class PartsListProxy final : public PartsList, DocumentBound {
public:
  PartsListProxy(StatePtr state, DocumentHandle document, ListPlace place)
      : DocumentBound(std::move(state), "PartsList", std::move(document)), place_(place) {}

  Ref<vantelo::PartsListRows> PartsListRows() override {
    Enter(Operation("PartsList.PartsListRows"));
    PartsListAt(*OpenDocument(), place_.sheet, place_.list);
    return std::make_shared<PartsListRowsProxy>(State(), Handle(), place_);
  }

private:
  ListPlace place_;
};

class PartsListsProxy final : public PartsLists, DocumentBound {
public:
  PartsListsProxy(StatePtr state, DocumentHandle document, std::size_t sheet)
      : DocumentBound(std::move(state), "PartsLists", std::move(document)), sheet_(sheet) {}

  Ref<vantelo::PartsList> Item(std::int32_t index) override {
    Enter(Operation("PartsLists.Item"));
    const auto doc = OpenDocument();
    const auto list = ItemPosition(index, SheetAt(*doc, sheet_).partsLists.size(), "PartsLists");
    return std::make_shared<PartsListProxy>(State(), Handle(), ListPlace{sheet_, list});
  }

private:
  std::size_t sheet_;
};

} // namespace

Ref<PartsLists> NewPartsLists(StatePtr state, DocumentHandle document, std::size_t sheet) {
  return std::make_shared<PartsListsProxy>(std::move(state), std::move(document), sheet);
}

} // namespace vantelo::sim
