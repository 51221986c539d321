// The table itself. Ids, interface identifiers and argument types are those
// of the host's tables; members that the add-in reaches by name carry ids of
// the stand-in's own choosing.
#include "com_host/host_dispatch_table.h"

#include "com_host/variant_values.h"
#include "com_host/world.h"

#include <oleauto.h>

#include <stdexcept>

namespace vtest::comhost {

using namespace vantelo;

namespace {

GUID iid(const wchar_t* text) {
  GUID guid{};
  if (FAILED(IIDFromString(text, &guid)))
    throw std::logic_error("not an interface identifier");
  return guid;
}

template <class T> T& as(HostObject& object) { return dynamic_cast<T&>(object); }

// The members every document has; drawing and part documents add theirs.
std::vector<Member> documentMembers() {
  return {
      {0x300020C,
       L"DocumentType",
       Call::Get,
       {},
       [](HostObject& o, const CallArguments&, CallResult& r) {
         r.setLong(as<Document>(o).DocumentType());
       }},
      {0x300021F,
       L"PropertySets",
       Call::Get,
       {},
       [](HostObject& o, const CallArguments&, CallResult& r) {
         r.setObject(as<Document>(o).PropertySets(), kinds::propertySets());
       }},
      {0x300022B,
       L"UnitsOfMeasure",
       Call::Get,
       {},
       [](HostObject& o, const CallArguments&, CallResult& r) {
         r.setObject(as<Document>(o).UnitsOfMeasure(), kinds::unitsOfMeasure());
       }},
      {0x3000225,
       L"VersionNumber",
       Call::Get,
       {},
       [](HostObject& o, const CallArguments&, CallResult& r) {
         r.setLong(as<Document>(o).VersionNumber());
       }},
      // Reached by name.
      {0x6001001,
       L"ComponentDefinition",
       Call::Get,
       {},
       [](HostObject& o, const CallArguments&, CallResult& r) {
         r.setObject(as<Document>(o).ComponentDefinitionByName(), kinds::componentDefinition());
       }},
  };
}

std::vector<Cast> documentCasts() {
  return {
      {iid(L"{29F0D467-C114-11D2-B77F-0060B0F159EF}"), kinds::drawingDocument,
       [](HostObject& o) -> Ref<HostObject> { return as<Document>(o).AsDrawingDocument(); }},
      {iid(L"{29F0D463-C114-11D2-B77F-0060B0F159EF}"), kinds::partDocument,
       [](HostObject& o) -> Ref<HostObject> { return as<Document>(o).AsPartDocument(); }},
  };
}

template <class T> std::vector<T> joined(std::vector<T> first, const std::vector<T>& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

} // namespace

GUID applicationEventsSinkIid() { return iid(L"{CD4C47ED-C403-4F42-B3BF-0A90F3E89D81}"); }

std::string CallArguments::text(std::size_t i) const {
  return utf8(V_BSTR(declared_[i]), SysStringLen(V_BSTR(declared_[i])));
}

void CallResult::setLong(std::int32_t value) {
  V_VT(out_) = VT_I4;
  V_I4(out_) = value;
}

void CallResult::setDouble(double value) {
  V_VT(out_) = VT_R8;
  V_R8(out_) = value;
}

void CallResult::setText(const std::string& value) { fromValue(value, *out_); }

void CallResult::setValue(const Value& value) { fromValue(value, *out_); }

void CallResult::setObject(const Ref<HostObject>& object, const Kind& kind) {
  V_VT(out_) = VT_DISPATCH;
  V_DISPATCH(out_) = object ? world_.wrap(object, kind).detach() : nullptr;
}

namespace kinds {

const Kind& addInSite() {
  static const Kind kind{"ApplicationAddInSite",
                         {},
                         {{0x3001401,
                           L"Application",
                           Call::Get,
                           {},
                           [](HostObject& o, const CallArguments&, CallResult& r) {
                             r.setObject(as<ApplicationAddInSite>(o).Application(), application());
                           }}},
                         {}};
  return kind;
}

const Kind& application() {
  static const Kind kind{"Application",
                         {iid(L"{70109AA0-63C1-11D2-B78B-0060B0EC020B}")},
                         {
                             {0x3000101,
                              L"ActiveDocument",
                              Call::Get,
                              {},
                              [](HostObject& o, const CallArguments&, CallResult& r) {
                                r.setObject(as<Application>(o).ActiveDocument(), document());
                              }},
                             {0x3000112,
                              L"ApplicationEvents",
                              Call::Get,
                              {},
                              [](HostObject& o, const CallArguments&, CallResult& r) {
                                r.setObject(as<Application>(o).ApplicationEvents(),
                                            applicationEvents());
                              }},
                             {0x300013A,
                              L"StatusBarText",
                              Call::Put,
                              {Arg::Text},
                              [](HostObject& o, const CallArguments& a, CallResult&) {
                                as<Application>(o).SetStatusBarText(a.text(0));
                              }},
                         },
                         {}};
  return kind;
}

const Kind& applicationEvents() {
  static const Kind kind{
      "ApplicationEvents", {iid(L"{6ED45F3A-BAF4-41FE-8907-970BB3CA48DF}")}, {}, {}, true};
  return kind;
}

const Kind& saveContext() {
  static const Kind kind{"NameValueMap", {}, {}, {}};
  return kind;
}

const Kind& document() {
  static const Kind kind{"Document",
                         {iid(L"{70109AA1-63C1-11D2-B78B-0060B0EC020B}")},
                         documentMembers(),
                         documentCasts()};
  return kind;
}

const Kind& drawingDocument() {
  static const Kind kind{"DrawingDocument",
                         {iid(L"{29F0D467-C114-11D2-B77F-0060B0F159EF}")},
                         joined(documentMembers(),
                                {
                                    {0x7000103,
                                     L"Sheets",
                                     Call::Get,
                                     {},
                                     [](HostObject& o, const CallArguments&, CallResult& r) {
                                       r.setObject(as<DrawingDocument>(o).Sheets(), sheets());
                                     }},
                                    {0x7000102,
                                     L"ActiveSheet",
                                     Call::Get,
                                     {},
                                     [](HostObject& o, const CallArguments&, CallResult& r) {
                                       r.setObject(as<DrawingDocument>(o).ActiveSheet(), sheet());
                                     }},
                                }),
                         documentCasts()};
  return kind;
}

const Kind& partDocument() {
  static const Kind kind{"PartDocument",
                         {iid(L"{29F0D463-C114-11D2-B77F-0060B0F159EF}")},
                         joined(documentMembers(),
                                {
                                    {0x3000222,
                                     L"SubType",
                                     Call::Get,
                                     {},
                                     [](HostObject& o, const CallArguments&, CallResult& r) {
                                       r.setText(as<PartDocument>(o).SubType());
                                     }},
                                    {0x5000102,
                                     L"ComponentDefinition",
                                     Call::Get,
                                     {},
                                     [](HostObject& o, const CallArguments&, CallResult& r) {
                                       r.setObject(as<PartDocument>(o).ComponentDefinition(),
                                                   partComponentDefinition());
                                     }},
                                }),
                         documentCasts()};
  return kind;
}

const Kind& propertySets() {
  static const Kind kind{"PropertySets",
                         {iid(L"{73F35CC8-ED6E-11D2-B785-0060B0F159EF}")},
                         {{0,
                           L"Item",
                           Call::Get,
                           {Arg::Text},
                           [](HostObject& o, const CallArguments& a, CallResult& r) {
                             r.setObject(as<PropertySets>(o).Item(a.text(0)), propertySet());
                           }}},
                         {}};
  return kind;
}

const Kind& propertySet() {
  static const Kind kind{"PropertySet",
                         {iid(L"{73F35CC7-ED6E-11D2-B785-0060B0F159EF}")},
                         {
                             {0,
                              L"Item",
                              Call::Get,
                              {Arg::Text},
                              [](HostObject& o, const CallArguments& a, CallResult& r) {
                                r.setObject(as<PropertySet>(o).Item(a.text(0)), property());
                              }},
                             // The value first, the name second.
                             {0x3001B03,
                              L"Add",
                              Call::Method,
                              {Arg::Any, Arg::Text},
                              [](HostObject& o, const CallArguments& a, CallResult&) {
                                as<PropertySet>(o).Add(toValue(a.any(0)), a.text(1));
                              }},
                             {0x3001B06,
                              L"ItemByPropId",
                              Call::Get,
                              {Arg::Long},
                              [](HostObject& o, const CallArguments& a, CallResult& r) {
                                r.setObject(as<PropertySet>(o).ItemByPropId(a.longValue(0)),
                                            property());
                              }},
                         },
                         {}};
  return kind;
}

const Kind& property() {
  static const Kind kind{
      "Property",
      {iid(L"{73F35CC9-ED6E-11D2-B785-0060B0F159EF}")},
      {
          {0x3001D04,
           L"Delete",
           Call::Method,
           {},
           [](HostObject& o, const CallArguments&, CallResult&) { as<Property>(o).Delete(); }},
          {0x3001D03,
           L"Value",
           Call::Put,
           {Arg::Text},
           [](HostObject& o, const CallArguments& a, CallResult&) {
             as<Property>(o).SetValue(a.text(0));
           }},
      },
      {}};
  return kind;
}

const Kind& unitsOfMeasure() {
  static const Kind kind{"UnitsOfMeasure",
                         {iid(L"{D007B6F9-71BB-48FF-B14C-EE5D633CB0C3}")},
                         {
                             {0x3003901,
                              L"LengthUnits",
                              Call::Get,
                              {},
                              [](HostObject& o, const CallArguments&, CallResult& r) {
                                r.setLong(as<UnitsOfMeasure>(o).LengthUnits());
                              }},
                             {0x3003903,
                              L"MassUnits",
                              Call::Get,
                              {},
                              [](HostObject& o, const CallArguments&, CallResult& r) {
                                r.setLong(as<UnitsOfMeasure>(o).MassUnits());
                              }},
                             {0x3003907,
                              L"LengthDisplayPrecision",
                              Call::Get,
                              {},
                              [](HostObject& o, const CallArguments&, CallResult& r) {
                                r.setLong(as<UnitsOfMeasure>(o).LengthDisplayPrecision());
                              }},
                             // The length by reference, then the unit selector.
                             {0x3003909,
                              L"GetStringFromValue",
                              Call::Method,
                              {Arg::DoubleByReference, Arg::Long},
                              [](HostObject& o, const CallArguments& a, CallResult& r) {
                                r.setText(as<UnitsOfMeasure>(o).GetStringFromValue(
                                    a.doubleReference(0), a.longValue(1)));
                              }},
                         },
                         {}};
  return kind;
}

const Kind& sheets() {
  static const Kind kind{"Sheets",
                         {iid(L"{206B59AF-22A6-11D4-B7A8-0060B0F159EF}")},
                         {
                             {0x7F000006,
                              L"Count",
                              Call::Get,
                              {},
                              [](HostObject& o, const CallArguments&, CallResult& r) {
                                r.setLong(as<Sheets>(o).Count());
                              }},
                             {0,
                              L"Item",
                              Call::Get,
                              {Arg::Short},
                              [](HostObject& o, const CallArguments& a, CallResult& r) {
                                r.setObject(as<Sheets>(o).Item(a.shortValue(0)), sheet());
                              }},
                         },
                         {}};
  return kind;
}

const Kind& sheet() {
  static const Kind kind{"Sheet",
                         {iid(L"{206B59AE-22A6-11D4-B7A8-0060B0F159EF}")},
                         {
                             {0x7000305,
                              L"Size",
                              Call::Get,
                              {},
                              [](HostObject& o, const CallArguments&, CallResult& r) {
                                r.setLong(as<Sheet>(o).Size());
                              }},
                             {0x7000303,
                              L"DrawingViews",
                              Call::Get,
                              {},
                              [](HostObject& o, const CallArguments&, CallResult& r) {
                                r.setObject(as<Sheet>(o).DrawingViews(), drawingViews());
                              }},
                             {0x700030D,
                              L"PartsLists",
                              Call::Get,
                              {},
                              [](HostObject& o, const CallArguments&, CallResult& r) {
                                r.setObject(as<Sheet>(o).PartsLists(), partsLists());
                              }},
                         },
                         {}};
  return kind;
}

const Kind& drawingViews() {
  static const Kind kind{"DrawingViews",
                         {iid(L"{206B59B2-22A6-11D4-B7A8-0060B0F159EF}")},
                         {
                             {0x7F000006,
                              L"Count",
                              Call::Get,
                              {},
                              [](HostObject& o, const CallArguments&, CallResult& r) {
                                r.setLong(as<DrawingViews>(o).Count());
                              }},
                             {0,
                              L"Item",
                              Call::Get,
                              {Arg::Long},
                              [](HostObject& o, const CallArguments& a, CallResult& r) {
                                r.setObject(as<DrawingViews>(o).Item(a.longValue(0)),
                                            drawingView());
                              }},
                         },
                         {}};
  return kind;
}

const Kind& drawingView() {
  static const Kind kind{"DrawingView",
                         {iid(L"{206B59B1-22A6-11D4-B7A8-0060B0F159EF}")},
                         {{0x7000405,
                           L"Scale",
                           Call::Get,
                           {},
                           [](HostObject& o, const CallArguments&, CallResult& r) {
                             r.setDouble(as<DrawingView>(o).Scale());
                           }}},
                         {}};
  return kind;
}

const Kind& partsLists() {
  static const Kind kind{"PartsLists",
                         {iid(L"{A907AE85-A78F-11D5-8DF8-0010B541CAA8}")},
                         {{0,
                           L"Item",
                           Call::Get,
                           {Arg::Long},
                           [](HostObject& o, const CallArguments& a, CallResult& r) {
                             r.setObject(as<PartsLists>(o).Item(a.longValue(0)), partsList());
                           }}},
                         {}};
  return kind;
}

const Kind& partsList() {
  static const Kind kind{"PartsList",
                         {iid(L"{A907AE87-A78F-11D5-8DF8-0010B541CAA8}")},
                         {{0x7000E02,
                           L"PartsListRows",
                           Call::Get,
                           {},
                           [](HostObject& o, const CallArguments&, CallResult& r) {
                             r.setObject(as<PartsList>(o).PartsListRows(), partsListRows());
                           }}},
                         {}};
  return kind;
}

const Kind& partsListRows() {
  static const Kind kind{"PartsListRows",
                         {iid(L"{A907AE8D-A78F-11D5-8DF8-0010B541CAA8}")},
                         {
                             {0x7F000006,
                              L"Count",
                              Call::Get,
                              {},
                              [](HostObject& o, const CallArguments&, CallResult& r) {
                                r.setLong(as<PartsListRows>(o).Count());
                              }},
                             // The row index by reference.
                             {0,
                              L"Item",
                              Call::Get,
                              {Arg::LongByReference},
                              [](HostObject& o, const CallArguments& a, CallResult& r) {
                                std::int32_t index = a.longReference(0);
                                r.setObject(as<PartsListRows>(o).Item(index), partsListRow());
                                a.longReference(0) = index;
                              }},
                         },
                         {}};
  return kind;
}

const Kind& partsListRow() {
  static const Kind kind{"PartsListRow",
                         {iid(L"{A907AE8F-A78F-11D5-8DF8-0010B541CAA8}")},
                         {{0,
                           L"Item",
                           Call::Get,
                           {Arg::Text},
                           [](HostObject& o, const CallArguments& a, CallResult& r) {
                             r.setObject(as<PartsListRow>(o).Item(a.text(0)), partsListCell());
                           }}},
                         {}};
  return kind;
}

const Kind& partsListCell() {
  // The cell's value is its default member, read as such and written by the
  // name "Value".
  static const Kind kind{"PartsListCell",
                         {iid(L"{A907AE91-A78F-11D5-8DF8-0010B541CAA8}")},
                         {
                             {0,
                              L"Value",
                              Call::Get,
                              {},
                              [](HostObject& o, const CallArguments&, CallResult& r) {
                                r.setText(as<PartsListCell>(o).Value());
                              }},
                             {0,
                              L"Value",
                              Call::Put,
                              {Arg::Text},
                              [](HostObject& o, const CallArguments& a, CallResult&) {
                                as<PartsListCell>(o).SetValueByName(a.text(0));
                              }},
                         },
                         {}};
  return kind;
}

const Kind& componentDefinition() {
  static const Kind kind{"ComponentDefinition",
                         {iid(L"{5DF8601E-6B16-11D3-B794-0060B0F159EF}")},
                         {{0x6001002,
                           L"MassProperties",
                           Call::Get,
                           {},
                           [](HostObject& o, const CallArguments&, CallResult& r) {
                             r.setObject(as<ComponentDefinition>(o).MassPropertiesByName(),
                                         massProperties());
                           }}},
                         {}};
  return kind;
}

const Kind& massProperties() {
  static const Kind kind{"MassProperties",
                         {},
                         {
                             {0x6001003,
                              L"Accuracy",
                              Call::Put,
                              {Arg::Long},
                              [](HostObject& o, const CallArguments& a, CallResult&) {
                                as<MassProperties>(o).SetAccuracyByName(a.longValue(0));
                              }},
                             {0x6001004,
                              L"Mass",
                              Call::Get,
                              {},
                              [](HostObject& o, const CallArguments&, CallResult& r) {
                                r.setValue(as<MassProperties>(o).MassByName());
                              }},
                             {0x6001005,
                              L"Volume",
                              Call::Get,
                              {},
                              [](HostObject& o, const CallArguments&, CallResult& r) {
                                r.setValue(as<MassProperties>(o).VolumeByName());
                              }},
                         },
                         {}};
  return kind;
}

const Kind& partComponentDefinition() {
  static const Kind kind{
      "PartComponentDefinition",
      {iid(L"{DA33F1A3-7C3F-11D3-B794-0060B0F159EF}")},
      {},
      {{iid(L"{0562B816-F05F-4293-AF39-D2F640E42740}"), sheetMetalComponentDefinition,
        [](HostObject& o) -> Ref<HostObject> {
          return as<PartComponentDefinition>(o).AsSheetMetalComponentDefinition();
        }}}};
  return kind;
}

const Kind& sheetMetalComponentDefinition() {
  static const Kind kind{
      "SheetMetalComponentDefinition",
      {iid(L"{0562B816-F05F-4293-AF39-D2F640E42740}")},
      {
          {0x9000103,
           L"ActiveSheetMetalStyle",
           Call::Get,
           {},
           [](HostObject& o, const CallArguments&, CallResult& r) {
             r.setObject(as<SheetMetalComponentDefinition>(o).ActiveSheetMetalStyle(),
                         sheetMetalStyle());
           }},
          {0x9000104,
           L"FlatPattern",
           Call::Get,
           {},
           [](HostObject& o, const CallArguments&, CallResult& r) {
             r.setObject(as<SheetMetalComponentDefinition>(o).FlatPattern(), flatPattern());
           }},
      },
      {}};
  return kind;
}

const Kind& sheetMetalStyle() {
  static const Kind kind{"SheetMetalStyle",
                         {iid(L"{46A4AA12-70D3-4BEC-B059-D285F084B979}")},
                         {
                             {0x9000405,
                              L"Thickness",
                              Call::Get,
                              {},
                              [](HostObject& o, const CallArguments&, CallResult& r) {
                                r.setObject(as<SheetMetalStyle>(o).Thickness(), parameter());
                              }},
                             {0x900040F,
                              L"Name",
                              Call::Get,
                              {},
                              [](HostObject& o, const CallArguments&, CallResult& r) {
                                r.setText(as<SheetMetalStyle>(o).Name());
                              }},
                         },
                         {}};
  return kind;
}

const Kind& parameter() {
  static const Kind kind{"Parameter",
                         {iid(L"{44E517BC-D882-4AFE-A300-B3DAC6B8DB58}")},
                         {
                             {0x3003B08,
                              L"Value",
                              Call::Get,
                              {},
                              [](HostObject& o, const CallArguments&, CallResult& r) {
                                r.setDouble(as<Parameter>(o).Value());
                              }},
                             {0x3003B09,
                              L"Units",
                              Call::Get,
                              {},
                              [](HostObject& o, const CallArguments&, CallResult& r) {
                                r.setText(as<Parameter>(o).Units());
                              }},
                         },
                         {}};
  return kind;
}

const Kind& flatPattern() {
  static const Kind kind{"FlatPattern",
                         {iid(L"{A7E07EA5-369D-11D6-8E02-0010B541CAA8}")},
                         {{0x9001E01,
                           L"Body",
                           Call::Get,
                           {},
                           [](HostObject& o, const CallArguments&, CallResult& r) {
                             r.setObject(as<FlatPattern>(o).Body(), surfaceBody());
                           }}},
                         {}};
  return kind;
}

const Kind& surfaceBody() {
  static const Kind kind{"SurfaceBody",
                         {iid(L"{5DF86089-6B16-11D3-B794-0060B0F159EF}")},
                         {{0x4002735,
                           L"RangeBox",
                           Call::Get,
                           {},
                           [](HostObject& o, const CallArguments&, CallResult& r) {
                             r.setObject(as<SurfaceBody>(o).RangeBox(), box());
                           }}},
                         {}};
  return kind;
}

const Kind& box() {
  static const Kind kind{"Box",
                         {iid(L"{5DF86062-6B16-11D3-B794-0060B0F159EF}")},
                         {
                             {0x4001933,
                              L"MinPoint",
                              Call::Get,
                              {},
                              [](HostObject& o, const CallArguments&, CallResult& r) {
                                r.setObject(as<Box>(o).MinPoint(), point());
                              }},
                             {0x4001934,
                              L"MaxPoint",
                              Call::Get,
                              {},
                              [](HostObject& o, const CallArguments&, CallResult& r) {
                                r.setObject(as<Box>(o).MaxPoint(), point());
                              }},
                         },
                         {}};
  return kind;
}

const Kind& point() {
  static const Kind kind{"Point",
                         {iid(L"{CB69F172-558E-11D3-B793-0060B0F159EF}")},
                         {
                             {0x4000933,
                              L"X",
                              Call::Get,
                              {},
                              [](HostObject& o, const CallArguments&, CallResult& r) {
                                r.setDouble(as<Point>(o).X());
                              }},
                             {0x4000934,
                              L"Y",
                              Call::Get,
                              {},
                              [](HostObject& o, const CallArguments&, CallResult& r) {
                                r.setDouble(as<Point>(o).Y());
                              }},
                         },
                         {}};
  return kind;
}

} // namespace kinds

} // namespace vtest::comhost
