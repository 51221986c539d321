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
  std::string Text(std::size_t i) const;
  std::int16_t ShortValue(std::size_t i) const { return V_I2(declared_[i]); }
  std::int32_t LongValue(std::size_t i) const { return V_I4(declared_[i]); }
  LONG& LongReference(std::size_t i) const { return *V_I4REF(declared_[i]); }
  double& DoubleReference(std::size_t i) const { return *V_R8REF(declared_[i]); }
  const VARIANT& Any(std::size_t i) const { return *declared_[i]; }

private:
  std::vector<VARIANTARG*> declared_;
};

// What a call gives back, into the caller's VARIANT.
class CallResult {
public:
  CallResult(World& world, VARIANT* out) : world_(world), out_(out) {}
  void SetLong(std::int32_t value);
  void SetDouble(double value);
  void SetText(const std::string& value);
  void SetValue(const vantelo::Value& value);
  // A host object as a new automation object of the kind; null as Nothing.
  void SetObject(const vantelo::Ref<vantelo::HostObject>& object, const Kind& kind);

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

const Kind& AddInSiteKind();
const Kind& ApplicationKind();
const Kind& ApplicationEventsKind();
const Kind& SaveContextKind();
const Kind& DocumentKind();
const Kind& DrawingDocumentKind();
const Kind& PartDocumentKind();
const Kind& PropertySetsKind();
const Kind& PropertySetKind();
const Kind& PropertyKind();
const Kind& UnitsOfMeasureKind();
const Kind& SheetsKind();
const Kind& SheetKind();
const Kind& DrawingViewsKind();
const Kind& DrawingViewKind();
const Kind& PartsListsKind();
const Kind& PartsListKind();
const Kind& PartsListRowsKind();
const Kind& PartsListRowKind();
const Kind& PartsListCellKind();
const Kind& ComponentDefinitionKind();
const Kind& MassPropertiesKind();
const Kind& PartComponentDefinitionKind();
const Kind& SheetMetalComponentDefinitionKind();
const Kind& SheetMetalStyleKind();
const Kind& ParameterKind();
const Kind& FlatPatternKind();
const Kind& SurfaceBodyKind();
const Kind& BoxKind();
const Kind& PointKind();

// The notification interface of the application events, and its save member.
GUID ApplicationEventsSinkIid();
constexpr DISPID OnSaveDocumentId = 0x3000612;

} // namespace vtest::comhost
