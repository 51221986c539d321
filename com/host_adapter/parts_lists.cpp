// A sheet's parts lists, their rows and cells.
#include "com/host_adapter/adapters.h"
#include "com/host_adapter/dispatch_object.h"
#include "com/host_adapter/host_ids.h"

namespace vantelo::com::host {

namespace {

class PartsListsAdapter final : public PartsLists, public DispatchObject {
public:
  explicit PartsListsAdapter(ComPtr<IDispatch> lists)
      : DispatchObject(std::move(lists), "PartsLists") {}

  Ref<PartsList> Item(std::int32_t index) override {
    return makePartsList(objectAs(get(dispid::Item, "Item", Arguments(longArgument(index))),
                                  iid::PartsList, "Item"));
  }
};

class PartsListAdapter final : public PartsList, public DispatchObject {
public:
  explicit PartsListAdapter(ComPtr<IDispatch> list)
      : DispatchObject(std::move(list), "PartsList") {}

  Ref<vantelo::PartsListRows> PartsListRows() override {
    return makePartsListRows(
        objectAs(get(dispid::PartsListRows, "PartsListRows"), iid::PartsListRows, "PartsListRows"));
  }
};

class PartsListRowsAdapter final : public PartsListRows, public DispatchObject {
public:
  explicit PartsListRowsAdapter(ComPtr<IDispatch> rows)
      : DispatchObject(std::move(rows), "PartsListRows") {}

  std::int32_t Count() override { return toLong(get(dispid::Count, "Count"), "Count"); }

  Ref<PartsListRow> Item(std::int32_t& index) override {
    // By reference: whatever the host leaves in the index comes back.
    LONG shared = index;
    Variant row = get(dispid::Item, "Item", Arguments(longByReference(&shared)));
    index = shared;
    return makePartsListRow(objectAs(std::move(row), iid::PartsListRow, "Item"));
  }
};

class PartsListRowAdapter final : public PartsListRow, public DispatchObject {
public:
  explicit PartsListRowAdapter(ComPtr<IDispatch> row)
      : DispatchObject(std::move(row), "PartsListRow") {}

  Ref<PartsListCell> Item(const std::string& columnTitle) override {
    return makePartsListCell(
        objectAs(get(dispid::Item, "Item", Arguments(textArgument(columnTitle))),
                 iid::PartsListCell, "Item"));
  }
};

class PartsListCellAdapter final : public PartsListCell, public DispatchObject {
public:
  explicit PartsListCellAdapter(ComPtr<IDispatch> cell)
      : DispatchObject(std::move(cell), "PartsListCell") {}

  // The cell's default member.
  std::string Value() override { return toText(get(DISPID_VALUE, "(default)"), "(default)"); }

  void SetValueByName(const std::string& text) override {
    putByName(member::Value, textArgument(text));
  }
};

} // namespace

Ref<PartsLists> makePartsLists(ComPtr<IDispatch> lists) {
  return wrapped<PartsListsAdapter>(std::move(lists));
}

Ref<PartsList> makePartsList(ComPtr<IDispatch> list) {
  return wrapped<PartsListAdapter>(std::move(list));
}

Ref<PartsListRows> makePartsListRows(ComPtr<IDispatch> rows) {
  return wrapped<PartsListRowsAdapter>(std::move(rows));
}

Ref<PartsListRow> makePartsListRow(ComPtr<IDispatch> row) {
  return wrapped<PartsListRowAdapter>(std::move(row));
}

Ref<PartsListCell> makePartsListCell(ComPtr<IDispatch> cell) {
  return wrapped<PartsListCellAdapter>(std::move(cell));
}

} // namespace vantelo::com::host
