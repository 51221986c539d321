// The stand-in host's automation contract, written straight from the host's
// published tables (and independent of the module's own constants, so that a
// wrong id on either side shows): for each kind of host object the interface
// identifiers it answers, its members with dispatch id, name, call kind and
// declared argument types, and the casts (interface queries) that lead to
// another kind.
#pragma once

#include "addin/host_model.h"

#include <windows.h>

#include <oaidl.h>

#include <string>
#include <vector>

namespace vtest::comhost {

class World;
struct Kind;

enum class Call { Get, Put, Method };

// The type an argument must arrive with: exactly this VARIANT type.
enum class Arg {
  Text,              // VT_BSTR
  Short,             // VT_I2
  Long,              // VT_I4
  LongByReference,   // VT_I4 | VT_BYREF
  DoubleByReference, // VT_R8 | VT_BYREF
  Any                // a value of any type (the value of a new property)
};

// The arguments of one call in declared order, already checked against the
// member's declaration.
class CallArguments {
public:
  explicit CallArguments(std::vector<VARIANTARG*> declared) : declared_(std::move(declared)) {}
  std::string text(std::size_t i) const;
  std::int16_t shortValue(std::size_t i) const { return V_I2(declared_[i]); }
  std::int32_t longValue(std::size_t i) const { return V_I4(declared_[i]); }
  LONG& longReference(std::size_t i) const { return *V_I4REF(declared_[i]); }
  double& doubleReference(std::size_t i) const { return *V_R8REF(declared_[i]); }
  const VARIANT& any(std::size_t i) const { return *declared_[i]; }

private:
  std::vector<VARIANTARG*> declared_;
};

// What a call gives back, into the caller's VARIANT.
class CallResult {
public:
  CallResult(World& world, VARIANT* out) : world_(world), out_(out) {}
  void setLong(std::int32_t value);
  void setDouble(double value);
  void setText(const std::string& value);
  void setValue(const vantelo::Value& value);
  // A host object as a new automation object of the kind; null as Nothing.
  void setObject(const vantelo::Ref<vantelo::HostObject>& object, const Kind& kind);

private:
  World& world_;
  VARIANT* out_;
};

using Handler = void (*)(vantelo::HostObject& self, const CallArguments& arguments,
                         CallResult& result);

struct Member {
  DISPID id;
  const wchar_t* name;
  Call call;
  std::vector<Arg> arguments;
  Handler handler;
};

using Query = vantelo::Ref<vantelo::HostObject> (*)(vantelo::HostObject& self);

struct Cast {
  GUID iid;
  const Kind& (*kind)();
  Query query; // the host's interface query
};

struct Kind {
  const char* name;
  std::vector<GUID> iids;
  std::vector<Member> members;
  std::vector<Cast> casts;
  bool raisesApplicationEvents = false;
};

namespace kinds {
const Kind& addInSite();
const Kind& application();
const Kind& applicationEvents();
const Kind& saveContext();
const Kind& document();
const Kind& drawingDocument();
const Kind& partDocument();
const Kind& propertySets();
const Kind& propertySet();
const Kind& property();
const Kind& unitsOfMeasure();
const Kind& sheets();
const Kind& sheet();
const Kind& drawingViews();
const Kind& drawingView();
const Kind& partsLists();
const Kind& partsList();
const Kind& partsListRows();
const Kind& partsListRow();
const Kind& partsListCell();
const Kind& componentDefinition();
const Kind& massProperties();
const Kind& partComponentDefinition();
const Kind& sheetMetalComponentDefinition();
const Kind& sheetMetalStyle();
const Kind& parameter();
const Kind& flatPattern();
const Kind& surfaceBody();
const Kind& box();
const Kind& point();
} // namespace kinds

// The notification interface of the application events, and its save member.
GUID applicationEventsSinkIid();
constexpr DISPID OnSaveDocumentId = 0x3000612;

} // namespace vtest::comhost
