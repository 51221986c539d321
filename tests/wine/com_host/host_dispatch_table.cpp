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

GUID Iid(const wchar_t* text) {
  GUID guid{};
  if (FAILED(IIDFromString(text, &guid)))
    throw std::logic_error("not an interface identifier");
  return guid;
}

template <class T> T& As(HostObject& object) { return dynamic_cast<T&>(object); }

// The members every document has; drawing and part documents add theirs.
std::vector<Member> DocumentMembers() {
  return {
      {0x300020C,
       L"DocumentType",
       Call::Get,
       {},
       [](HostObject& o, const CallArguments&, CallResult& r) {
         r.SetLong(As<Document>(o).DocumentType());
       }},
      {0x300021F,
       L"PropertySets",
       Call::Get,
       {},
       [](HostObject& o, const CallArguments&, CallResult& r) {
         r.SetObject(As<Document>(o).PropertySets(), PropertySetsKind());
       }},
      {0x300022B,
       L"UnitsOfMeasure",
       Call::Get,
       {},
       [](HostObject& o, const CallArguments&, CallResult& r) {
         r.SetObject(As<Document>(o).UnitsOfMeasure(), UnitsOfMeasureKind());
       }},
      {0x3000225,
       L"VersionNumber",
       Call::Get,
       {},
       [](HostObject& o, const CallArguments&, CallResult& r) {
         r.SetLong(As<Document>(o).VersionNumber());
       }},
      // Reached by name.
      {0x6001001,
       L"ComponentDefinition",
       Call::Get,
       {},
       [](HostObject& o, const CallArguments&, CallResult& r) {
         r.SetObject(As<Document>(o).ComponentDefinitionByName(), ComponentDefinitionKind());
       }},
  };
}

std::vector<Cast> DocumentCasts() {
  return {
      {Iid(L"{29F0D467-C114-11D2-B77F-0060B0F159EF}"), DrawingDocumentKind,
       [](HostObject& o) -> Ref<HostObject> { return As<Document>(o).AsDrawingDocument(); }},
      {Iid(L"{29F0D463-C114-11D2-B77F-0060B0F159EF}"), PartDocumentKind,
       [](HostObject& o) -> Ref<HostObject> { return As<Document>(o).AsPartDocument(); }},
  };
}

template <class T> std::vector<T> Joined(std::vector<T> first, const std::vector<T>& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

} // namespace

GUID ApplicationEventsSinkIid() { return Iid(L"{CD4C47ED-C403-4F42-B3BF-0A90F3E89D81}"); }

std::string CallArguments::Text(std::size_t i) const {
  return Utf8(V_BSTR(declared_[i]), SysStringLen(V_BSTR(declared_[i])));
}

void CallResult::SetLong(std::int32_t value) {
  V_VT(out_) = VT_I4;
  V_I4(out_) = value;
}

void CallResult::SetDouble(double value) {
  V_VT(out_) = VT_R8;
  V_R8(out_) = value;
}

void CallResult::SetText(const std::string& value) { FromValue(value, *out_); }

void CallResult::SetValue(const Value& value) { FromValue(value, *out_); }

void CallResult::SetObject(const Ref<HostObject>& object, const Kind& kind) {
  V_VT(out_) = VT_DISPATCH;
  V_DISPATCH(out_) = object ? world_.Wrap(object, kind).Detach() : nullptr;
}

const Kind& AddInSiteKind() {
  static const Kind kind{"ApplicationAddInSite",
                         {},
                         {{0x3001401,
                           L"Application",
                           Call::Get,
                           {},
                           [](HostObject& o, const CallArguments&, CallResult& r) {
                             r.SetObject(As<ApplicationAddInSite>(o).Application(),
                                         ApplicationKind());
                           }}},
                         {}};
  return kind;
}

const Kind& ApplicationKind() {
  static const Kind kind{"Application",
                         {Iid(L"{70109AA0-63C1-11D2-B78B-0060B0EC020B}")},
                         {
                             {0x3000101,
                              L"ActiveDocument",
                              Call::Get,
                              {},
                              [](HostObject& o, const CallArguments&, CallResult& r) {
                                r.SetObject(As<Application>(o).ActiveDocument(), DocumentKind());
                              }},
                             {0x3000112,
                              L"ApplicationEvents",
                              Call::Get,
                              {},
                              [](HostObject& o, const CallArguments&, CallResult& r) {
                                r.SetObject(As<Application>(o).ApplicationEvents(),
                                            ApplicationEventsKind());
                              }},
                             {0x300013A,
                              L"StatusBarText",
                              Call::Put,
                              {Arg::Text},
                              [](HostObject& o, const CallArguments& a, CallResult&) {
                                As<Application>(o).SetStatusBarText(a.Text(0));
                              }},
                         },
                         {}};
  return kind;
}

const Kind& ApplicationEventsKind() {
  static const Kind kind{
      "ApplicationEvents", {Iid(L"{6ED45F3A-BAF4-41FE-8907-970BB3CA48DF}")}, {}, {}, true};
  return kind;
}

const Kind& SaveContextKind() {
  static const Kind kind{"NameValueMap", {}, {}, {}};
  return kind;
}

const Kind& DocumentKind() {
  static const Kind kind{"Document",
                         {Iid(L"{70109AA1-63C1-11D2-B78B-0060B0EC020B}")},
                         DocumentMembers(),
                         DocumentCasts()};
  return kind;
}

const Kind& DrawingDocumentKind() {
  static const Kind kind{"DrawingDocument",
                         {Iid(L"{29F0D467-C114-11D2-B77F-0060B0F159EF}")},
                         Joined(DocumentMembers(),
                                {
                                    {0x7000103,
                                     L"Sheets",
                                     Call::Get,
                                     {},
                                     [](HostObject& o, const CallArguments&, CallResult& r) {
                                       r.SetObject(As<DrawingDocument>(o).Sheets(), SheetsKind());
                                     }},
                                    {0x7000102,
                                     L"ActiveSheet",
                                     Call::Get,
                                     {},
                                     [](HostObject& o, const CallArguments&, CallResult& r) {
                                       r.SetObject(As<DrawingDocument>(o).ActiveSheet(),
                                                   SheetKind());
                                     }},
                                }),
                         DocumentCasts()};
  return kind;
}

const Kind& PartDocumentKind() {
  static const Kind kind{"PartDocument",
                         {Iid(L"{29F0D463-C114-11D2-B77F-0060B0F159EF}")},
                         Joined(DocumentMembers(),
                                {
                                    {0x3000222,
                                     L"SubType",
                                     Call::Get,
                                     {},
                                     [](HostObject& o, const CallArguments&, CallResult& r) {
                                       r.SetText(As<PartDocument>(o).SubType());
                                     }},
                                    {0x5000102,
                                     L"ComponentDefinition",
                                     Call::Get,
                                     {},
                                     [](HostObject& o, const CallArguments&, CallResult& r) {
                                       r.SetObject(As<PartDocument>(o).ComponentDefinition(),
                                                   PartComponentDefinitionKind());
                                     }},
                                }),
                         DocumentCasts()};
  return kind;
}

const Kind& PropertySetsKind() {
  static const Kind kind{"PropertySets",
                         {Iid(L"{73F35CC8-ED6E-11D2-B785-0060B0F159EF}")},
                         {{0,
                           L"Item",
                           Call::Get,
                           {Arg::Text},
                           [](HostObject& o, const CallArguments& a, CallResult& r) {
                             r.SetObject(As<PropertySets>(o).Item(a.Text(0)), PropertySetKind());
                           }}},
                         {}};
  return kind;
}

const Kind& PropertySetKind() {
  static const Kind kind{"PropertySet",
                         {Iid(L"{73F35CC7-ED6E-11D2-B785-0060B0F159EF}")},
                         {
                             {0,
                              L"Item",
                              Call::Get,
                              {Arg::Text},
                              [](HostObject& o, const CallArguments& a, CallResult& r) {
                                r.SetObject(As<PropertySet>(o).Item(a.Text(0)), PropertyKind());
                              }},
                             // The value first, the name second.
                             {0x3001B03,
                              L"Add",
                              Call::Method,
                              {Arg::Any, Arg::Text},
                              [](HostObject& o, const CallArguments& a, CallResult&) {
                                As<PropertySet>(o).Add(ToValue(a.Any(0)), a.Text(1));
                              }},
                             {0x3001B06,
                              L"ItemByPropId",
                              Call::Get,
                              {Arg::Long},
                              [](HostObject& o, const CallArguments& a, CallResult& r) {
                                r.SetObject(As<PropertySet>(o).ItemByPropId(a.LongValue(0)),
                                            PropertyKind());
                              }},
                         },
                         {}};
  return kind;
}

const Kind& PropertyKind() {
  static const Kind kind{
      "Property",
      {Iid(L"{73F35CC9-ED6E-11D2-B785-0060B0F159EF}")},
      {
          {0x3001D04,
           L"Delete",
           Call::Method,
           {},
           [](HostObject& o, const CallArguments&, CallResult&) { As<Property>(o).Delete(); }},
          {0x3001D03,
           L"Value",
           Call::Put,
           {Arg::Text},
           [](HostObject& o, const CallArguments& a, CallResult&) {
             As<Property>(o).SetValue(a.Text(0));
           }},
      },
      {}};
  return kind;
}

const Kind& UnitsOfMeasureKind() {
  static const Kind kind{"UnitsOfMeasure",
                         {Iid(L"{D007B6F9-71BB-48FF-B14C-EE5D633CB0C3}")},
                         {
                             {0x3003901,
                              L"LengthUnits",
                              Call::Get,
                              {},
                              [](HostObject& o, const CallArguments&, CallResult& r) {
                                r.SetLong(As<UnitsOfMeasure>(o).LengthUnits());
                              }},
                             {0x3003903,
                              L"MassUnits",
                              Call::Get,
                              {},
                              [](HostObject& o, const CallArguments&, CallResult& r) {
                                r.SetLong(As<UnitsOfMeasure>(o).MassUnits());
                              }},
                             {0x3003907,
                              L"LengthDisplayPrecision",
                              Call::Get,
                              {},
                              [](HostObject& o, const CallArguments&, CallResult& r) {
                                r.SetLong(As<UnitsOfMeasure>(o).LengthDisplayPrecision());
                              }},
                             // The length by reference, then the unit selector.
                             {0x3003909,
                              L"GetStringFromValue",
                              Call::Method,
                              {Arg::DoubleByReference, Arg::Long},
                              [](HostObject& o, const CallArguments& a, CallResult& r) {
                                r.SetText(As<UnitsOfMeasure>(o).GetStringFromValue(
                                    a.DoubleReference(0), a.LongValue(1)));
                              }},
                         },
                         {}};
  return kind;
}

const Kind& SheetsKind() {
  static const Kind kind{"Sheets",
                         {Iid(L"{206B59AF-22A6-11D4-B7A8-0060B0F159EF}")},
                         {
                             {0x7F000006,
                              L"Count",
                              Call::Get,
                              {},
                              [](HostObject& o, const CallArguments&, CallResult& r) {
                                r.SetLong(As<Sheets>(o).Count());
                              }},
                             {0,
                              L"Item",
                              Call::Get,
                              {Arg::Short},
                              [](HostObject& o, const CallArguments& a, CallResult& r) {
                                r.SetObject(As<Sheets>(o).Item(a.ShortValue(0)), SheetKind());
                              }},
                         },
                         {}};
  return kind;
}

const Kind& SheetKind() {
  static const Kind kind{"Sheet",
                         {Iid(L"{206B59AE-22A6-11D4-B7A8-0060B0F159EF}")},
                         {
                             {0x7000305,
                              L"Size",
                              Call::Get,
                              {},
                              [](HostObject& o, const CallArguments&, CallResult& r) {
                                r.SetLong(As<Sheet>(o).Size());
                              }},
                             {0x7000303,
                              L"DrawingViews",
                              Call::Get,
                              {},
                              [](HostObject& o, const CallArguments&, CallResult& r) {
                                r.SetObject(As<Sheet>(o).DrawingViews(), DrawingViewsKind());
                              }},
                             {0x700030D,
                              L"PartsLists",
                              Call::Get,
                              {},
                              [](HostObject& o, const CallArguments&, CallResult& r) {
                                r.SetObject(As<Sheet>(o).PartsLists(), PartsListsKind());
                              }},
                         },
                         {}};
  return kind;
}

const Kind& DrawingViewsKind() {
  static const Kind kind{"DrawingViews",
                         {Iid(L"{206B59B2-22A6-11D4-B7A8-0060B0F159EF}")},
                         {
                             {0x7F000006,
                              L"Count",
                              Call::Get,
                              {},
                              [](HostObject& o, const CallArguments&, CallResult& r) {
                                r.SetLong(As<DrawingViews>(o).Count());
                              }},
                             {0,
                              L"Item",
                              Call::Get,
                              {Arg::Long},
                              [](HostObject& o, const CallArguments& a, CallResult& r) {
                                r.SetObject(As<DrawingViews>(o).Item(a.LongValue(0)),
                                            DrawingViewKind());
                              }},
                         },
                         {}};
  return kind;
}

const Kind& DrawingViewKind() {
  static const Kind kind{"DrawingView",
                         {Iid(L"{206B59B1-22A6-11D4-B7A8-0060B0F159EF}")},
                         {{0x7000405,
                           L"Scale",
                           Call::Get,
                           {},
                           [](HostObject& o, const CallArguments&, CallResult& r) {
                             r.SetDouble(As<DrawingView>(o).Scale());
                           }}},
                         {}};
  return kind;
}

const Kind& PartsListsKind() {
  static const Kind kind{"PartsLists",
                         {Iid(L"{A907AE85-A78F-11D5-8DF8-0010B541CAA8}")},
                         {{0,
                           L"Item",
                           Call::Get,
                           {Arg::Long},
                           [](HostObject& o, const CallArguments& a, CallResult& r) {
                             r.SetObject(As<PartsLists>(o).Item(a.LongValue(0)), PartsListKind());
                           }}},
                         {}};
  return kind;
}

const Kind& PartsListKind() {
  static const Kind kind{"PartsList",
                         {Iid(L"{A907AE87-A78F-11D5-8DF8-0010B541CAA8}")},
                         {{0x7000E02,
                           L"PartsListRows",
                           Call::Get,
                           {},
                           [](HostObject& o, const CallArguments&, CallResult& r) {
                             r.SetObject(As<PartsList>(o).PartsListRows(), PartsListRowsKind());
                           }}},
                         {}};
  return kind;
}

const Kind& PartsListRowsKind() {
  static const Kind kind{"PartsListRows",
                         {Iid(L"{A907AE8D-A78F-11D5-8DF8-0010B541CAA8}")},
                         {
                             {0x7F000006,
                              L"Count",
                              Call::Get,
                              {},
                              [](HostObject& o, const CallArguments&, CallResult& r) {
                                r.SetLong(As<PartsListRows>(o).Count());
                              }},
                             // The row index by reference.
                             {0,
                              L"Item",
                              Call::Get,
                              {Arg::LongByReference},
                              [](HostObject& o, const CallArguments& a, CallResult& r) {
                                std::int32_t index = a.LongReference(0);
                                r.SetObject(As<PartsListRows>(o).Item(index), PartsListRowKind());
                                a.LongReference(0) = index;
                              }},
                         },
                         {}};
  return kind;
}

const Kind& PartsListRowKind() {
  static const Kind kind{"PartsListRow",
                         {Iid(L"{A907AE8F-A78F-11D5-8DF8-0010B541CAA8}")},
                         {{0,
                           L"Item",
                           Call::Get,
                           {Arg::Text},
                           [](HostObject& o, const CallArguments& a, CallResult& r) {
                             r.SetObject(As<PartsListRow>(o).Item(a.Text(0)), PartsListCellKind());
                           }}},
                         {}};
  return kind;
}

const Kind& PartsListCellKind() {
  // The cell's value is its default member, read as such and written by the
  // name "Value".
  static const Kind kind{"PartsListCell",
                         {Iid(L"{A907AE91-A78F-11D5-8DF8-0010B541CAA8}")},
                         {
                             {0,
                              L"Value",
                              Call::Get,
                              {},
                              [](HostObject& o, const CallArguments&, CallResult& r) {
                                r.SetText(As<PartsListCell>(o).Value());
                              }},
                             {0,
                              L"Value",
                              Call::Put,
                              {Arg::Text},
                              [](HostObject& o, const CallArguments& a, CallResult&) {
                                As<PartsListCell>(o).SetValueByName(a.Text(0));
                              }},
                         },
                         {}};
  return kind;
}

const Kind& ComponentDefinitionKind() {
  static const Kind kind{"ComponentDefinition",
                         {Iid(L"{5DF8601E-6B16-11D3-B794-0060B0F159EF}")},
                         {{0x6001002,
                           L"MassProperties",
                           Call::Get,
                           {},
                           [](HostObject& o, const CallArguments&, CallResult& r) {
                             r.SetObject(As<ComponentDefinition>(o).MassPropertiesByName(),
                                         MassPropertiesKind());
                           }}},
                         {}};
  return kind;
}

const Kind& MassPropertiesKind() {
  static const Kind kind{"MassProperties",
                         {},
                         {
                             {0x6001003,
                              L"Accuracy",
                              Call::Put,
                              {Arg::Long},
                              [](HostObject& o, const CallArguments& a, CallResult&) {
                                As<MassProperties>(o).SetAccuracyByName(a.LongValue(0));
                              }},
                             {0x6001004,
                              L"Mass",
                              Call::Get,
                              {},
                              [](HostObject& o, const CallArguments&, CallResult& r) {
                                r.SetValue(As<MassProperties>(o).MassByName());
                              }},
                             {0x6001005,
                              L"Volume",
                              Call::Get,
                              {},
                              [](HostObject& o, const CallArguments&, CallResult& r) {
                                r.SetValue(As<MassProperties>(o).VolumeByName());
                              }},
                         },
                         {}};
  return kind;
}

const Kind& PartComponentDefinitionKind() {
  static const Kind kind{
      "PartComponentDefinition",
      {Iid(L"{DA33F1A3-7C3F-11D3-B794-0060B0F159EF}")},
      {},
      {{Iid(L"{0562B816-F05F-4293-AF39-D2F640E42740}"), SheetMetalComponentDefinitionKind,
        [](HostObject& o) -> Ref<HostObject> {
          return As<PartComponentDefinition>(o).AsSheetMetalComponentDefinition();
        }}}};
  return kind;
}

const Kind& SheetMetalComponentDefinitionKind() {
  static const Kind kind{
      "SheetMetalComponentDefinition",
      {Iid(L"{0562B816-F05F-4293-AF39-D2F640E42740}")},
      {
          {0x9000103,
           L"ActiveSheetMetalStyle",
           Call::Get,
           {},
           [](HostObject& o, const CallArguments&, CallResult& r) {
             r.SetObject(As<SheetMetalComponentDefinition>(o).ActiveSheetMetalStyle(),
                         SheetMetalStyleKind());
           }},
          {0x9000104,
           L"FlatPattern",
           Call::Get,
           {},
           [](HostObject& o, const CallArguments&, CallResult& r) {
             r.SetObject(As<SheetMetalComponentDefinition>(o).FlatPattern(), FlatPatternKind());
           }},
      },
      {}};
  return kind;
}

const Kind& SheetMetalStyleKind() {
  static const Kind kind{"SheetMetalStyle",
                         {Iid(L"{46A4AA12-70D3-4BEC-B059-D285F084B979}")},
                         {
                             {0x9000405,
                              L"Thickness",
                              Call::Get,
                              {},
                              [](HostObject& o, const CallArguments&, CallResult& r) {
                                r.SetObject(As<SheetMetalStyle>(o).Thickness(), ParameterKind());
                              }},
                             {0x900040F,
                              L"Name",
                              Call::Get,
                              {},
                              [](HostObject& o, const CallArguments&, CallResult& r) {
                                r.SetText(As<SheetMetalStyle>(o).Name());
                              }},
                         },
                         {}};
  return kind;
}

const Kind& ParameterKind() {
  static const Kind kind{"Parameter",
                         {Iid(L"{44E517BC-D882-4AFE-A300-B3DAC6B8DB58}")},
                         {
                             {0x3003B08,
                              L"Value",
                              Call::Get,
                              {},
                              [](HostObject& o, const CallArguments&, CallResult& r) {
                                r.SetDouble(As<Parameter>(o).Value());
                              }},
                             {0x3003B09,
                              L"Units",
                              Call::Get,
                              {},
                              [](HostObject& o, const CallArguments&, CallResult& r) {
                                r.SetText(As<Parameter>(o).Units());
                              }},
                         },
                         {}};
  return kind;
}

const Kind& FlatPatternKind() {
  static const Kind kind{"FlatPattern",
                         {Iid(L"{A7E07EA5-369D-11D6-8E02-0010B541CAA8}")},
                         {{0x9001E01,
                           L"Body",
                           Call::Get,
                           {},
                           [](HostObject& o, const CallArguments&, CallResult& r) {
                             r.SetObject(As<FlatPattern>(o).Body(), SurfaceBodyKind());
                           }}},
                         {}};
  return kind;
}

const Kind& SurfaceBodyKind() {
  static const Kind kind{"SurfaceBody",
                         {Iid(L"{5DF86089-6B16-11D3-B794-0060B0F159EF}")},
                         {{0x4002735,
                           L"RangeBox",
                           Call::Get,
                           {},
                           [](HostObject& o, const CallArguments&, CallResult& r) {
                             r.SetObject(As<SurfaceBody>(o).RangeBox(), BoxKind());
                           }}},
                         {}};
  return kind;
}

const Kind& BoxKind() {
  static const Kind kind{"Box",
                         {Iid(L"{5DF86062-6B16-11D3-B794-0060B0F159EF}")},
                         {
                             {0x4001933,
                              L"MinPoint",
                              Call::Get,
                              {},
                              [](HostObject& o, const CallArguments&, CallResult& r) {
                                r.SetObject(As<Box>(o).MinPoint(), PointKind());
                              }},
                             {0x4001934,
                              L"MaxPoint",
                              Call::Get,
                              {},
                              [](HostObject& o, const CallArguments&, CallResult& r) {
                                r.SetObject(As<Box>(o).MaxPoint(), PointKind());
                              }},
                         },
                         {}};
  return kind;
}

const Kind& PointKind() {
  static const Kind kind{"Point",
                         {Iid(L"{CB69F172-558E-11D3-B793-0060B0F159EF}")},
                         {
                             {0x4000933,
                              L"X",
                              Call::Get,
                              {},
                              [](HostObject& o, const CallArguments&, CallResult& r) {
                                r.SetDouble(As<Point>(o).X());
                              }},
                             {0x4000934,
                              L"Y",
                              Call::Get,
                              {},
                              [](HostObject& o, const CallArguments&, CallResult& r) {
                                r.SetDouble(As<Point>(o).Y());
                              }},
                         },
                         {}};
  return kind;
}

} // namespace vtest::comhost
