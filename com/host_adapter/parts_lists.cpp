// A sheet's parts lists, their rows and cells.
#include "com/host_adapter/adapters.h"
#include "com/host_adapter/dispatch_object.h"
#include "com/host_adapter/host_ids.h"

namespace vantelo::com::host {

namespace {

class PartsListsAdapter final : public PartsLists, public DispatchObject {
public:
  PartsListsAdapter(ComPtr<IDispatch> lists, AdapterPool& pool)
      : DispatchObject(std::move(lists), "PartsLists", pool) {}

  Ref<PartsList> Item(std::int32_t index) override {
    return MakePartsList(
        Pool(), GetObjectAs(dispid::Item, "Item", iid::PartsList, Arguments(LongArgument(index))));
  }
};

class PartsListAdapter final : public PartsList, public DispatchObject {
public:
  PartsListAdapter(ComPtr<IDispatch> list, AdapterPool& pool)
      : DispatchObject(std::move(list), "PartsList", pool) {}

  Ref<vantelo::PartsListRows> PartsListRows() override {
    return MakePartsListRows(
        Pool(), GetObjectAs(dispid::PartsListRows, "PartsListRows", iid::PartsListRows));
  }
};

class PartsListRowsAdapter final : public PartsListRows, public DispatchObject {
public:
  PartsListRowsAdapter(ComPtr<IDispatch> rows, AdapterPool& pool)
      : DispatchObject(std::move(rows), "PartsListRows", pool) {}

  std::int32_t Count() override { return GetLong(dispid::Count, "Count"); }

  Ref<PartsListRow> Item(std::int32_t& index) override {
    // By reference: whatever the host leaves in the index comes back.
    LONG shared = index;
    Variant row = Get(dispid::Item, "Item", Arguments(LongByReference(&shared)));
    index = shared;
    return MakePartsListRow(Pool(), ObjectAs(std::move(row), iid::PartsListRow, "Item"));
  }
};

class PartsListRowAdapter final : public PartsListRow, public DispatchObject {
public:
  PartsListRowAdapter(ComPtr<IDispatch> row, AdapterPool& pool)
      : DispatchObject(std::move(row), "PartsListRow", pool) {}

  Ref<PartsListCell> Item(const std::string& columnTitle) override {
    return MakePartsListCell(Pool(), GetObjectAs(dispid::Item, "Item", iid::PartsListCell,
                                                 Arguments(TextArgument(columnTitle))));
  }
};

class PartsListCellAdapter final : public PartsListCell, public DispatchObject {
public:
  PartsListCellAdapter(ComPtr<IDispatch> cell, AdapterPool& pool)
      : DispatchObject(std::move(cell), "PartsListCell", pool) {}

  // The cell's default member.
  std::string Value() override { return GetText(DISPID_VALUE, "(default)"); }

  void SetValueByName(const std::string& text) override {
    PutByName(member::Value, TextArgument(text));
  }
};

} // namespace

Ref<PartsLists> MakePartsLists(AdapterPool& pool, ComPtr<IDispatch> lists) {
  return Wrapped<PartsListsAdapter>(pool, std::move(lists));
}

Ref<PartsList> MakePartsList(AdapterPool& pool, ComPtr<IDispatch> list) {
  return Wrapped<PartsListAdapter>(pool, std::move(list));
}

Ref<PartsListRows> MakePartsListRows(AdapterPool& pool, ComPtr<IDispatch> rows) {
  return Wrapped<PartsListRowsAdapter>(pool, std::move(rows));
}

Ref<PartsListRow> MakePartsListRow(AdapterPool& pool, ComPtr<IDispatch> row) {
  return Wrapped<PartsListRowAdapter>(pool, std::move(row));
}

Ref<PartsListCell> MakePartsListCell(AdapterPool& pool, ComPtr<IDispatch> cell) {
  return Wrapped<PartsListCellAdapter>(pool, std::move(cell));
}

} // namespace vantelo::com::host
