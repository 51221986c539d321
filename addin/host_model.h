// The host application's object model, as far as the add-in uses it.
//
// Every member function is one host operation: the Windows adapter turns it
// into exactly one dispatch call (the dispatch id or member name is noted on
// each), and an interface query ("As...") into one QueryInterface. Each can
// fail with the host's status code as a vantelo::Failure. Nothing here caches,
// merges or skips a call, so a caller's sequence of calls is the sequence of
// host operations.
//
// References: a Ref<T> is one reference to a host object; it is released when
// the last copy goes away. A null Ref is the host's empty object ("Nothing").
#pragma once

#include "addin/failure.h"
#include "addin/host_codes.h"
#include "addin/value.h"

#include <cstdint>
#include <memory>
#include <string>

namespace vantelo {

template <class T> using Ref = std::shared_ptr<T>;

// Base of every host object.
class HostObject {
public:
  virtual ~HostObject() = default;
  HostObject() = default;
  HostObject(const HostObject&) = delete;
  HostObject& operator=(const HostObject&) = delete;
};

class Application;
class ApplicationEvents;
class Document;
class DrawingDocument;
class PartDocument;
class PropertySets;
class PropertySet;
class Property;
class UnitsOfMeasure;
class Sheets;
class Sheet;
class DrawingViews;
class DrawingView;
class PartsLists;
class PartsList;
class PartsListRows;
class PartsListRow;
class PartsListCell;
class ComponentDefinition;
class MassProperties;
class PartComponentDefinition;
class SheetMetalComponentDefinition;
class SheetMetalStyle;
class Parameter;
class FlatPattern;
class SurfaceBody;
class Box;
class Point;

// The add-in site handed to Activate.
class ApplicationAddInSite : public HostObject {
public:
  virtual Ref<vantelo::Application> Application() = 0; // 0x3001401 get
};

// Receives the application's save notifications once connected.
class ApplicationEventsSink {
public:
  // Event member 0x3000612. HandlingCode is the host's by-reference code.
  virtual void OnSaveDocument(const Ref<vantelo::Document>& DocumentObject,
                              std::int32_t BeforeOrAfter, const Ref<HostObject>& Context,
                              std::int32_t& HandlingCode) = 0;

protected:
  ~ApplicationEventsSink() = default;
};

// A live event connection; destroying it disconnects the sink.
class EventConnection {
public:
  virtual ~EventConnection() = default;
};

class ApplicationEvents : public HostObject {
public:
  // Connects the sink through the connection point for the application
  // events interface {CD4C47ED-C403-4F42-B3BF-0A90F3E89D81}. The sink must
  // outlive the returned connection.
  virtual std::unique_ptr<EventConnection> Advise(ApplicationEventsSink& sink) = 0;
};

class Application : public HostObject {
public:
  virtual Ref<vantelo::Document> ActiveDocument() = 0;             // 0x3000101 get; null: none
  virtual Ref<vantelo::ApplicationEvents> ApplicationEvents() = 0; // 0x3000112 get
  virtual void SetStatusBarText(const std::string& text) = 0;      // 0x300013A put
};

class Document : public HostObject {
public:
  virtual std::int32_t DocumentType() = 0;                   // 0x300020C get
  virtual Ref<vantelo::PropertySets> PropertySets() = 0;     // 0x300021F get
  virtual Ref<vantelo::UnitsOfMeasure> UnitsOfMeasure() = 0; // 0x300022B get
  virtual std::int32_t VersionNumber() = 0;                  // 0x3000225 get (tested against 6000)
  // "ComponentDefinition", late-bound by name; taken as {5DF8601E-...}.
  virtual Ref<vantelo::ComponentDefinition> ComponentDefinitionByName() = 0;
  // Interface queries for {29F0D467-...} and {29F0D463-...}.
  virtual Ref<vantelo::DrawingDocument> AsDrawingDocument() = 0;
  virtual Ref<vantelo::PartDocument> AsPartDocument() = 0;
};

class DrawingDocument : public Document {
public:
  virtual Ref<vantelo::Sheets> Sheets() = 0;     // 0x7000103 get
  virtual Ref<vantelo::Sheet> ActiveSheet() = 0; // 0x7000102 get
};

class PartDocument : public Document {
public:
  virtual std::string SubType() = 0;                                       // 0x3000222 get
  virtual Ref<vantelo::PartComponentDefinition> ComponentDefinition() = 0; // 0x5000102 get
};

class PropertySets : public HostObject {
public:
  virtual Ref<vantelo::PropertySet> Item(const std::string& formatId) = 0; // 0 get, by FMTID text
};

class PropertySet : public HostObject {
public:
  virtual Ref<vantelo::Property> Item(const std::string& name) = 0;  // 0 get, by name
  virtual void Add(const Value& value, const std::string& name) = 0; // 0x3001B03 call
  virtual Ref<vantelo::Property> ItemByPropId(std::int32_t id) = 0;  // 0x3001B06 get
};

class Property : public HostObject {
public:
  virtual void Delete() = 0;                          // 0x3001D04 call
  virtual void SetValue(const std::string& text) = 0; // 0x3001D03 put
};

class UnitsOfMeasure : public HostObject {
public:
  virtual std::int32_t LengthUnits() = 0;            // 0x3003901 get
  virtual std::int32_t MassUnits() = 0;              // 0x3003903 get
  virtual std::int32_t LengthDisplayPrecision() = 0; // 0x3003907 get
  // 0x3003909 call: the value by reference, then the unit selector.
  virtual std::string GetStringFromValue(double& value, std::int32_t unitsSpecifier) = 0;
};

class Sheets : public HostObject {
public:
  virtual std::int32_t Count() = 0;                         // 0x7F000006 get
  virtual Ref<vantelo::Sheet> Item(std::int16_t index) = 0; // 0 get, 1-based, VT_I2
};

class Sheet : public HostObject {
public:
  virtual std::int32_t Size() = 0;                       // 0x7000305 get
  virtual Ref<vantelo::DrawingViews> DrawingViews() = 0; // 0x7000303 get
  virtual Ref<vantelo::PartsLists> PartsLists() = 0;     // 0x700030D get
};

class DrawingViews : public HostObject {
public:
  virtual std::int32_t Count() = 0;                               // 0x7F000006 get
  virtual Ref<vantelo::DrawingView> Item(std::int32_t index) = 0; // 0 get, 1-based, VT_I4
};

class DrawingView : public HostObject {
public:
  virtual double Scale() = 0; // 0x7000405 get
};

class PartsLists : public HostObject {
public:
  virtual Ref<vantelo::PartsList> Item(std::int32_t index) = 0; // 0 get, VT_I4
};

class PartsList : public HostObject {
public:
  virtual Ref<vantelo::PartsListRows> PartsListRows() = 0; // 0x7000E02 get
};

class PartsListRows : public HostObject {
public:
  virtual std::int32_t Count() = 0;                                 // 0x7F000006 get
  virtual Ref<vantelo::PartsListRow> Item(std::int32_t& index) = 0; // 0 get, by reference
};

class PartsListRow : public HostObject {
public:
  // 0 get, by column title; a title that matches no column fails.
  virtual Ref<vantelo::PartsListCell> Item(const std::string& columnTitle) = 0;
};

class PartsListCell : public HostObject {
public:
  virtual std::string Value() = 0;                          // default value, read as text
  virtual void SetValueByName(const std::string& text) = 0; // "Value" put, by name
};

class ComponentDefinition : public HostObject {
public:
  virtual Ref<vantelo::MassProperties> MassPropertiesByName() = 0; // "MassProperties" get
};

class MassProperties : public HostObject {
public:
  virtual void SetAccuracyByName(std::int32_t accuracy) = 0; // "Accuracy" put, VT_I4
  virtual Value MassByName() = 0;   // "Mass" get, the number as the host gives it
  virtual Value VolumeByName() = 0; // "Volume" get
};

class PartComponentDefinition : public HostObject {
public:
  // Interface query for {0562B816-F05F-4293-AF39-D2F640E42740}.
  virtual Ref<vantelo::SheetMetalComponentDefinition> AsSheetMetalComponentDefinition() = 0;
};

class SheetMetalComponentDefinition : public HostObject {
public:
  virtual Ref<vantelo::SheetMetalStyle> ActiveSheetMetalStyle() = 0; // 0x9000103 get
  virtual Ref<vantelo::FlatPattern> FlatPattern() = 0;               // 0x9000104 get; null: none
};

class SheetMetalStyle : public HostObject {
public:
  virtual Ref<vantelo::Parameter> Thickness() = 0; // 0x9000405 get
  virtual std::string Name() = 0;                  // 0x900040F get
};

class Parameter : public HostObject {
public:
  virtual double Value() = 0;      // 0x3003B08 get, centimetres
  virtual std::string Units() = 0; // 0x3003B09 get
};

class FlatPattern : public HostObject {
public:
  virtual Ref<vantelo::SurfaceBody> Body() = 0; // 0x9001E01 get
};

class SurfaceBody : public HostObject {
public:
  virtual Ref<vantelo::Box> RangeBox() = 0; // 0x4002735 get
};

class Box : public HostObject {
public:
  virtual Ref<vantelo::Point> MinPoint() = 0; // 0x4001933 get
  virtual Ref<vantelo::Point> MaxPoint() = 0; // 0x4001934 get
};

class Point : public HostObject {
public:
  virtual double X() = 0; // 0x4000933 get, centimetres
  virtual double Y() = 0; // 0x4000934 get, centimetres
};

// Dereferences a host reference; an empty one fails as the platform does
// when a member is called on Nothing.
template <class T> T& Use(const Ref<T>& ref) {
  if (!ref)
    throw Failure(hresult::ObjectNotSet, "Object variable not set");
  return *ref;
}

} // namespace vantelo
