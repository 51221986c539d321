// The floor's client: the IDispatch calls of a handled save, written out by
// hand and made directly on the COM stand-in host's objects, with the
// stand-in's own dispatch ids.
#include "bench/windows/direct_save.h"

#include <oleauto.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>

namespace vbench {

namespace {

namespace comhost = vtest::comhost;

// Bare calls on the stand-in's objects, as any client makes them: one
// Invoke each, arguments last to first in a fixed array, object results
// taken as the interface the host declares for them.

DISPID IdOf(const comhost::Kind& kind, const wchar_t* name) {
  for (const comhost::Member& member : kind.members)
    if (std::wcscmp(member.name, name) == 0)
      return member.id;
  std::fprintf(stderr, "the stand-in's %s has no member %ls\n", kind.name, name);
  std::exit(1);
}

const GUID& IidOf(const comhost::Kind& kind) { return kind.iids.front(); }

class Call {
public:
  Call(IDispatch* object, DISPID id, WORD flags) : object_(object), id_(id), flags_(flags) {}
  ~Call() {
    for (UINT i = 0; i < count_; ++i)
      VariantClear(&arguments_[i]);
    VariantClear(&result_);
  }
  Call(const Call&) = delete;
  Call& operator=(const Call&) = delete;

  // Arguments in declared order.
  Call& Text(const wchar_t* text) {
    return With(VT_BSTR, [&](VARIANTARG& v) { V_BSTR(&v) = SysAllocString(text); });
  }
  Call& Short(SHORT value) {
    return With(VT_I2, [&](VARIANTARG& v) { V_I2(&v) = value; });
  }
  Call& Long(LONG value) {
    return With(VT_I4, [&](VARIANTARG& v) { V_I4(&v) = value; });
  }
  Call& Date(double value) {
    return With(VT_DATE, [&](VARIANTARG& v) { V_DATE(&v) = value; });
  }

  // Makes the call; a failed call is a host error the add-in would skip, so
  // it only leaves an empty result.
  VARIANT& Run() {
    // Declared order to last-to-first.
    std::reverse(arguments_, arguments_ + count_);
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS params = {count_ ? arguments_ : nullptr, nullptr, count_, 0};
    if (flags_ == DISPATCH_PROPERTYPUT) {
      params.rgdispidNamedArgs = &put;
      params.cNamedArgs = 1;
    }
    EXCEPINFO exception = {};
    object_->Invoke(id_, IID_NULL, LOCALE_USER_DEFAULT, flags_, &params,
                    flags_ == DISPATCH_PROPERTYPUT ? nullptr : &result_, &exception, nullptr);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    return result_;
  }

  // The object result as the interface `iid` (null when there is none).
  ComPtr<IDispatch> Object(const GUID* iid) {
    VARIANT& result = Run();
    ComPtr<IDispatch> typed;
    if (V_VT(&result) == VT_DISPATCH && V_DISPATCH(&result)) {
      if (iid)
        V_DISPATCH(&result)->QueryInterface(*iid, typed.PutVoid());
      else
        typed = ComPtr<IDispatch>(V_DISPATCH(&result));
    }
    return typed;
  }
  LONG Number() {
    VARIANT& result = Run();
    VARIANT number;
    VariantInit(&number);
    VariantChangeType(&number, &result, 0, VT_I4);
    return V_I4(&number);
  }

private:
  template <class Set> Call& With(VARTYPE type, Set set) {
    VARIANTARG& v = arguments_[count_++];
    VariantInit(&v);
    V_VT(&v) = type;
    set(v);
    return *this;
  }

  IDispatch* object_;
  DISPID id_;
  WORD flags_;
  VARIANTARG arguments_[2];
  UINT count_ = 0;
  VARIANT result_{};
};

DISPID IdOfName(IDispatch* object, const wchar_t* name) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  return id;
}

// The dispatch ids and interfaces, from the stand-in's own table.
struct Host {
  DISPID activeDocument = IdOf(comhost::ApplicationKind(), L"ActiveDocument");
  DISPID documentType = IdOf(comhost::DocumentKind(), L"DocumentType");
  DISPID propertySets = IdOf(comhost::DocumentKind(), L"PropertySets");
  DISPID versionNumber = IdOf(comhost::DocumentKind(), L"VersionNumber");
  DISPID unitsOfMeasure = IdOf(comhost::DocumentKind(), L"UnitsOfMeasure");
  DISPID setsItem = IdOf(comhost::PropertySetsKind(), L"Item");
  DISPID setItem = IdOf(comhost::PropertySetKind(), L"Item");
  DISPID setAdd = IdOf(comhost::PropertySetKind(), L"Add");
  DISPID setItemByPropId = IdOf(comhost::PropertySetKind(), L"ItemByPropId");
  DISPID propertyDelete = IdOf(comhost::PropertyKind(), L"Delete");
  DISPID propertyValue = IdOf(comhost::PropertyKind(), L"Value");
  DISPID sheets = IdOf(comhost::DrawingDocumentKind(), L"Sheets");
  DISPID sheetsCount = IdOf(comhost::SheetsKind(), L"Count");
  DISPID sheetsItem = IdOf(comhost::SheetsKind(), L"Item");
  DISPID sheetSize = IdOf(comhost::SheetKind(), L"Size");
  DISPID drawingViews = IdOf(comhost::SheetKind(), L"DrawingViews");
  DISPID viewsCount = IdOf(comhost::DrawingViewsKind(), L"Count");
  DISPID viewsItem = IdOf(comhost::DrawingViewsKind(), L"Item");
  DISPID viewScale = IdOf(comhost::DrawingViewKind(), L"Scale");
  DISPID massUnits = IdOf(comhost::UnitsOfMeasureKind(), L"MassUnits");
  DISPID lengthUnits = IdOf(comhost::UnitsOfMeasureKind(), L"LengthUnits");
};

constexpr const wchar_t* UserDefined = L"{D5CDD505-2E9C-101B-9397-08002B2CF9AE}";
constexpr const wchar_t* DesignTracking = L"{32853F0F-3444-11D1-9E93-0060B03C1CA6}";

} // namespace

// The calls a handled save makes on the application, written out by hand.
class DirectSave::Client {
public:
  explicit Client(ComPtr<IDispatch> application) : application_(std::move(application)) {}

  void Drawing() { Save(&Client::DrawingWriters, nullptr); }
  void Part() { Save(nullptr, &Client::MassVolume); }
  void Other() { Save(nullptr, nullptr); }

private:
  ComPtr<IDispatch> ActiveDocument() {
    return Call(application_.Get(), h_.activeDocument, DISPATCH_PROPERTYGET).Object(nullptr);
  }
  ComPtr<IDispatch> ActiveDrawing() {
    const ComPtr<IDispatch> document = ActiveDocument();
    ComPtr<IDispatch> drawing;
    document->QueryInterface(IidOf(comhost::DrawingDocumentKind()), drawing.PutVoid());
    return drawing;
  }
  ComPtr<IDispatch> ActiveSet(const wchar_t* formatId) {
    const ComPtr<IDispatch> document = ActiveDocument();
    const ComPtr<IDispatch> sets = Call(document.Get(), h_.propertySets, DISPATCH_PROPERTYGET)
                                       .Object(&IidOf(comhost::PropertySetsKind()));
    return Call(sets.Get(), h_.setsItem, DISPATCH_PROPERTYGET)
        .Text(formatId)
        .Object(&IidOf(comhost::PropertySetKind()));
  }
  void Delete(const ComPtr<IDispatch>& set, const wchar_t* name) {
    const ComPtr<IDispatch> property = Call(set.Get(), h_.setItem, DISPATCH_PROPERTYGET)
                                           .Text(name)
                                           .Object(&IidOf(comhost::PropertyKind()));
    if (property)
      Call(property.Get(), h_.propertyDelete, DISPATCH_METHOD).Run();
  }
  void Replace(const ComPtr<IDispatch>& set, const wchar_t* name, const wchar_t* text) {
    Delete(set, name);
    Call(set.Get(), h_.setAdd, DISPATCH_METHOD).Text(text).Text(name).Run();
  }
  void TimeStamp() {
    const ComPtr<IDispatch> set = ActiveSet(UserDefined);
    Delete(set, L"SaveDate");
    Call(set.Get(), h_.setAdd, DISPATCH_METHOD).Date(46000.0).Text(L"SaveDate").Run();
    Replace(set, L"SaveTime", L"09:05");
  }
  void TypeOf(const ComPtr<IDispatch>& document) {
    Call(document.Get(), h_.documentType, DISPATCH_PROPERTYGET).Number();
  }

  // The save: the time stamp, the type tests on the document active at the
  // start, and the writers for a drawing or a part between them.
  using Writers = void (Client::*)();
  void Save(Writers drawingWriters, Writers partWriters) {
    const ComPtr<IDispatch> active = ActiveDocument();
    TimeStamp();
    TypeOf(active);
    if (drawingWriters)
      (this->*drawingWriters)();
    TypeOf(active);
    TypeOf(active);
    if (partWriters)
      (this->*partWriters)();
    TypeOf(ActiveDocument());
  }
  void DrawingWriters() {
    Replace(ActiveSet(UserDefined), L"FirstViewScale", FirstViewScale());
    Replace(ActiveSet(UserDefined), L"AllViewScales", AllViewScales());
    Replace(ActiveSet(UserDefined), L"PaperSize", PaperSize());
  }

  ComPtr<IDispatch> SheetsOf(const ComPtr<IDispatch>& drawing) {
    return Call(drawing.Get(), h_.sheets, DISPATCH_PROPERTYGET)
        .Object(&IidOf(comhost::SheetsKind()));
  }
  ComPtr<IDispatch> ViewsOf(const ComPtr<IDispatch>& drawing, SHORT sheetIndex) {
    const ComPtr<IDispatch> sheet =
        Call(SheetsOf(drawing).Get(), h_.sheetsItem, DISPATCH_PROPERTYGET)
            .Short(sheetIndex)
            .Object(&IidOf(comhost::SheetKind()));
    return Call(sheet.Get(), h_.drawingViews, DISPATCH_PROPERTYGET)
        .Object(&IidOf(comhost::DrawingViewsKind()));
  }
  double ScaleOf(const ComPtr<IDispatch>& drawing, SHORT sheetIndex, LONG viewIndex) {
    const ComPtr<IDispatch> view =
        Call(ViewsOf(drawing, sheetIndex).Get(), h_.viewsItem, DISPATCH_PROPERTYGET)
            .Long(viewIndex)
            .Object(&IidOf(comhost::DrawingViewKind()));
    return V_R8(&Call(view.Get(), h_.viewScale, DISPATCH_PROPERTYGET).Run());
  }
  const wchar_t* FirstViewScale() {
    ScaleOf(ActiveDrawing(), 1, 1);
    return L"1:2";
  }
  const wchar_t* AllViewScales() {
    const ComPtr<IDispatch> drawing = ActiveDrawing();
    const LONG sheetCount =
        Call(SheetsOf(drawing).Get(), h_.sheetsCount, DISPATCH_PROPERTYGET).Number();
    for (SHORT i = 1; i <= sheetCount; ++i) {
      const LONG viewCount =
          Call(ViewsOf(drawing, i).Get(), h_.viewsCount, DISPATCH_PROPERTYGET).Number();
      for (LONG j = 1; j <= viewCount; ++j) {
        ScaleOf(drawing, i, j);
        ScaleOf(drawing, i, j);
      }
    }
    // The first view's scale is left out of the list (the default).
    ScaleOf(drawing, 1, 1);
    return L"2:1, 1:1, 1:2, 1:4, 1:5";
  }
  const wchar_t* PaperSize() {
    const ComPtr<IDispatch> sheet =
        Call(SheetsOf(ActiveDrawing()).Get(), h_.sheetsItem, DISPATCH_PROPERTYGET)
            .Short(1)
            .Object(&IidOf(comhost::SheetKind()));
    Call(sheet.Get(), h_.sheetSize, DISPATCH_PROPERTYGET).Number();
    return L"A3";
  }

  // Mass and volume: the component definition and its mass properties are
  // reached by member name.
  ComPtr<IDispatch> ByName(const ComPtr<IDispatch>& object, const wchar_t* name, const GUID* iid) {
    return Call(object.Get(), IdOfName(object.Get(), name), DISPATCH_PROPERTYGET).Object(iid);
  }
  LONG Units(DISPID which) {
    const ComPtr<IDispatch> units =
        Call(ActiveDocument().Get(), h_.unitsOfMeasure, DISPATCH_PROPERTYGET)
            .Object(&IidOf(comhost::UnitsOfMeasureKind()));
    return Call(units.Get(), which, DISPATCH_PROPERTYGET).Number();
  }
  void SetDesignTracking(LONG id, const wchar_t* text, DISPID unit) {
    const ComPtr<IDispatch> property =
        Call(ActiveSet(DesignTracking).Get(), h_.setItemByPropId, DISPATCH_PROPERTYGET)
            .Long(id)
            .Object(&IidOf(comhost::PropertyKind()));
    Units(unit);
    Call(property.Get(), h_.propertyValue, DISPATCH_PROPERTYPUT).Text(text).Run();
  }
  void MassVolume() {
    const ComPtr<IDispatch> definition = ByName(ActiveDocument(), L"ComponentDefinition",
                                                &IidOf(comhost::ComponentDefinitionKind()));
    {
      const ComPtr<IDispatch> properties = ByName(definition, L"MassProperties", nullptr);
      Call(properties.Get(), IdOfName(properties.Get(), L"Accuracy"), DISPATCH_PROPERTYPUT)
          .Long(3)
          .Run();
    }
    ByName(ByName(definition, L"MassProperties", nullptr), L"Mass", nullptr);
    ByName(ByName(definition, L"MassProperties", nullptr), L"Volume", nullptr);
    Call(ActiveDocument().Get(), h_.versionNumber, DISPATCH_PROPERTYGET).Number();

    ComPtr<IDispatch> set = ActiveSet(UserDefined);
    Delete(set, L"TotalMass");
    Units(h_.massUnits);
    Call(set.Get(), h_.setAdd, DISPATCH_METHOD).Text(L"1.235 kg").Text(L"TotalMass").Run();
    set = ActiveSet(UserDefined);
    Delete(set, L"TotalVolume");
    Units(h_.lengthUnits);
    Call(set.Get(), h_.setAdd, DISPATCH_METHOD).Text(L"123456 mm^3").Text(L"TotalVolume").Run();
    set.Reset();
    SetDesignTracking(9, L"1.235 kg", h_.massUnits);
    SetDesignTracking(43, L"123456 mm^3", h_.lengthUnits);
  }

  Host h_;
  ComPtr<IDispatch> application_;
};

DirectSave::DirectSave(const ComPtr<IDispatch>& addInSite)
    : client_(std::make_unique<Client>(Call(addInSite.Get(),
                                            IdOf(comhost::AddInSiteKind(), L"Application"),
                                            DISPATCH_PROPERTYGET)
                                           .Object(nullptr))) {}

DirectSave::~DirectSave() = default;

void DirectSave::Drawing() { client_->Drawing(); }
void DirectSave::Part() { client_->Part(); }
void DirectSave::Other() { client_->Other(); }

} // namespace vbench
