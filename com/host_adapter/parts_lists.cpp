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
    return MakePartsList(
        GetObjectAs(dispid::Item, "Item", iid::PartsList, Arguments(LongArgument(index))));
  }
};

class PartsListAdapter final : public PartsList, public DispatchObject {
public:
  explicit PartsListAdapter(ComPtr<IDispatch> list)
      : DispatchObject(std::move(list), "PartsList") {}

  Ref<vantelo::PartsListRows> PartsListRows() override {
    return MakePartsListRows(
        GetObjectAs(dispid::PartsListRows, "PartsListRows", iid::PartsListRows));
  }
};

class PartsListRowsAdapter final : public PartsListRows, public DispatchObject {
public:
  explicit PartsListRowsAdapter(ComPtr<IDispatch> rows)
      : DispatchObject(std::move(rows), "PartsListRows") {}

  std::int32_t Count() override { return GetLong(dispid::Count, "Count"); }

  Ref<PartsListRow> Item(std::int32_t& index) override {
    // By reference: whatever the host leaves in the index comes back.
    LONG shared = index;
    Variant row = Get(dispid::Item, "Item", Arguments(LongByReference(&shared)));
    index = shared;
    return MakePartsListRow(ObjectAs(std::move(row), iid::PartsListRow, "Item"));
  }
};

class PartsListRowAdapter final : public PartsListRow, public DispatchObject {
public:
  explicit PartsListRowAdapter(ComPtr<IDispatch> row)
      : DispatchObject(std::move(row), "PartsListRow") {}

  Ref<PartsListCell> Item(const std::string& columnTitle) override {
    return MakePartsListCell(GetObjectAs(dispid::Item, "Item", iid::PartsListCell,
                                         Arguments(TextArgument(columnTitle))));
  }
};

class PartsListCellAdapter final : public PartsListCell, public DispatchObject {
public:
  explicit PartsListCellAdapter(ComPtr<IDispatch> cell)
      : DispatchObject(std::move(cell), "PartsListCell") {}

  // The cell's default member.
  std::string Value() override { return GetText(DISPID_VALUE, "(default)"); }

  void SetValueByName(const std::string& text) override {
    PutByName(member::Value, TextArgument(text));
  }
};

} // namespace

Ref<PartsLists> MakePartsLists(ComPtr<IDispatch> lists) {
  return Wrapped<PartsListsAdapter>(std::move(lists));
}

Ref<PartsList> MakePartsList(ComPtr<IDispatch> list) {
  return Wrapped<PartsListAdapter>(std::move(list));
}

Ref<PartsListRows> MakePartsListRows(ComPtr<IDispatch> rows) {
  return Wrapped<PartsListRowsAdapter>(std::move(rows));
}

Ref<PartsListRow> MakePartsListRow(ComPtr<IDispatch> row) {
  return Wrapped<PartsListRowAdapter>(std::move(row));
}

Ref<PartsListCell> MakePartsListCell(ComPtr<IDispatch> cell) {
  return Wrapped<PartsListCellAdapter>(std::move(cell));
}

} // namespace vantelo::com::host
