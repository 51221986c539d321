#include "com/host_adapter/dispatch_object.h"

#include "addin/failure.h"
#include "com/bstr.h"
#include "com/com_error.h"
#include "com/host_adapter/adapters.h"
#include "com/text.h"

#include <oleauto.h>

#include <cstdio>
#include <string>

namespace vantelo::com::host {

namespace {

// Visual Basic's "Object required", raised where an object result is not one.
constexpr HRESULT ObjectRequired = static_cast<HRESULT>(0x800A01A8);

std::string DispidText(DISPID id) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(id));
  return text;
}

// What a result came from, for messages: "Kind.Member", or a text of its own
// when there is no kind. The text is made only when a message needs it.
struct ResultOf {
  const char* kind;
  const char* member;

  std::string Text() const { return kind ? std::string(kind) + "." + member : std::string(member); }
};

// A conversion of a result is the add-in's own, and fails with the codes
// Visual Basic gives for it.
[[noreturn]] void ConversionFailed(HRESULT hr, const ResultOf& what) {
  if (hr == DISP_E_OVERFLOW)
    throw Failure(hresult::Overflow, "Overflow converting the result of " + what.Text());
  if (hr == DISP_E_TYPEMISMATCH)
    throw Failure(hresult::TypeMismatch, "Type mismatch converting the result of " + what.Text());
  throw Failure(hr, "Cannot convert the result of " + what.Text() + " (" + HresultText(hr) + ")");
}

void CheckConversion(HRESULT hr, const ResultOf& what) {
  if (FAILED(hr))
    ConversionFailed(hr, what);
}

// Converts a result in place; a result already of the type stays as it is.
void Convert(Variant& result, VARTYPE type, const ResultOf& what) {
  if (result.Type() == type)
    return;
  Variant out;
  CheckConversion(VariantChangeType(out.Get(), result.Get(), 0, type), what);
  result = std::move(out);
}

// Replaces a by-reference result by a value of its own.
void Dereference(Variant& result, const ResultOf& what) {
  if (!(result.Type() & VT_BYREF))
    return;
  Variant out;
  CheckConversion(VariantCopyInd(out.Get(), result.Get()), what);
  result = std::move(out);
}

// An object result as the automation object it must be; null stays null.
ComPtr<IDispatch> AutomationObject(IUnknown* unknown, const ResultOf& what) {
  ComPtr<IDispatch> dispatch;
  if (unknown && FAILED(unknown->QueryInterface(IID_IDispatch, dispatch.PutVoid())))
    throw Failure(hresult::TypeMismatch,
                  "The result of " + what.Text() + " is not an automation object");
  return dispatch;
}

class GenericObject final : public HostObject, public DispatchObject {
public:
  GenericObject(ComPtr<IDispatch> object, AdapterPool& pool)
      : DispatchObject(std::move(object), "Object", pool) {}
};

} // namespace

Arguments::~Arguments() {
  for (std::size_t i = 0; i < count_; ++i)
    VariantClear(&values_[i]);
}

Variant TextArgument(std::string_view text) {
  Variant v;
  V_VT(v.Get()) = VT_BSTR;
  V_BSTR(v.Get()) = ToBstr(text).Detach();
  return v;
}

Variant ShortArgument(std::int16_t value) {
  Variant v;
  V_VT(v.Get()) = VT_I2;
  V_I2(v.Get()) = value;
  return v;
}

Variant LongArgument(std::int32_t value) {
  Variant v;
  V_VT(v.Get()) = VT_I4;
  V_I4(v.Get()) = value;
  return v;
}

Variant LongByReference(LONG* value) {
  Variant v;
  V_VT(v.Get()) = VT_I4 | VT_BYREF;
  V_I4REF(v.Get()) = value;
  return v;
}

Variant DoubleByReference(double* value) {
  Variant v;
  V_VT(v.Get()) = VT_R8 | VT_BYREF;
  V_R8REF(v.Get()) = value;
  return v;
}

Variant ValueArgument(const Value& value) {
  Variant v;
  VARIANT* out = v.Get();
  switch (KindOf(value)) {
  case ValueKind::Empty:
    break;
  case ValueKind::Boolean:
    V_VT(out) = VT_BOOL;
    V_BOOL(out) = std::get<bool>(value) ? VARIANT_TRUE : VARIANT_FALSE;
    break;
  case ValueKind::Integer:
    V_VT(out) = VT_I2;
    V_I2(out) = std::get<std::int16_t>(value);
    break;
  case ValueKind::Long:
    V_VT(out) = VT_I4;
    V_I4(out) = std::get<std::int32_t>(value);
    break;
  case ValueKind::Single:
    V_VT(out) = VT_R4;
    V_R4(out) = std::get<float>(value);
    break;
  case ValueKind::Double:
    V_VT(out) = VT_R8;
    V_R8(out) = std::get<double>(value);
    break;
  case ValueKind::Date:
    V_VT(out) = VT_DATE;
    V_DATE(out) = std::get<Date>(value).days;
    break;
  case ValueKind::Text:
    return TextArgument(std::get<std::string>(value));
  case ValueKind::Object: {
    const auto& object = std::get<std::shared_ptr<HostObject>>(value);
    IDispatch* dispatch = DispatchOf(object.get());
    if (object && !dispatch)
      throw Failure(hresult::TypeMismatch,
                    "An object that is not the host's cannot be passed to it");
    V_VT(out) = VT_DISPATCH;
    V_DISPATCH(out) = ComPtr<IDispatch>(dispatch).Detach();
    break;
  }
  }
  return v;
}

Variant DispatchObject::Invoke(DISPID id, WORD flags, const char* member, Arguments& arguments,
                               bool propertyPut) const {
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS params = {};
  // The callee may replace arguments in place: the list keeps owning what is
  // there after the call.
  params.rgvarg = arguments.LastToFirst();
  params.cArgs = arguments.Count();
  if (propertyPut) {
    params.rgdispidNamedArgs = &putId;
    params.cNamedArgs = 1;
  }
  Variant result;
  EXCEPINFO exception = {};
  UINT argumentError = 0;
  HRESULT hr = object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                               propertyPut ? nullptr : result.Get(), &exception, &argumentError);
  if (SUCCEEDED(hr))
    return result;

  std::string description;
  if (hr == DISP_E_EXCEPTION) {
    if (exception.pfnDeferredFillIn)
      exception.pfnDeferredFillIn(&exception);
    Bstr source = Bstr::Adopt(exception.bstrSource);
    Bstr text = Bstr::Adopt(exception.bstrDescription);
    Bstr help = Bstr::Adopt(exception.bstrHelpFile);
    if (FAILED(exception.scode))
      hr = exception.scode;
    else if (exception.wCode != 0)
      hr = static_cast<HRESULT>(0x800A0000u | exception.wCode);
    description = ToUtf8(text.Get());
  }
  std::string message = std::string("Host call ") + kind_ + "." + member + " (" + DispidText(id) +
                        ") failed with " + HresultText(hr);
  if (!description.empty())
    message += ": " + description;
  throw Failure(hr, message);
}

DISPID DispatchObject::IdOfName(const wchar_t* name) const {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  ThrowIfFailed(object_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), [&] {
    return std::string("Host object ") + kind_ + " has no member " + win::Utf8FromWide(name);
  });
  return id;
}

Variant DispatchObject::Get(DISPID id, const char* member, Arguments arguments) const {
  return Invoke(id, DISPATCH_PROPERTYGET, member, arguments, false);
}

void DispatchObject::Put(DISPID id, const char* member, Variant value) const {
  Arguments arguments(std::move(value));
  Invoke(id, DISPATCH_PROPERTYPUT, member, arguments, true);
}

Variant DispatchObject::Call(DISPID id, const char* member, Arguments arguments) const {
  return Invoke(id, DISPATCH_METHOD, member, arguments, false);
}

Variant DispatchObject::GetByName(const wchar_t* name) const {
  const std::string member = win::Utf8FromWide(name);
  Arguments none;
  return Invoke(IdOfName(name), DISPATCH_PROPERTYGET, member.c_str(), none, false);
}

void DispatchObject::PutByName(const wchar_t* name, Variant value) const {
  const std::string member = win::Utf8FromWide(name);
  Arguments arguments(std::move(value));
  Invoke(IdOfName(name), DISPATCH_PROPERTYPUT, member.c_str(), arguments, true);
}

ComPtr<IDispatch> DispatchObject::Object(Variant&& result, const char* member) const {
  const ResultOf what{kind_, member};
  Dereference(result, what);
  switch (result.Type()) {
  case VT_DISPATCH: {
    // The result's reference becomes the returned one.
    IDispatch* object = V_DISPATCH(result.Get());
    V_VT(result.Get()) = VT_EMPTY;
    return ComPtr<IDispatch>::Adopt(object);
  }
  case VT_UNKNOWN:
    return AutomationObject(V_UNKNOWN(result.Get()), what);
  default:
    throw Failure(ObjectRequired, "The result of " + what.Text() + " is not an object");
  }
}

ComPtr<IDispatch> DispatchObject::ObjectAs(Variant&& result, const GUID& iid,
                                           const char* member) const {
  ComPtr<IDispatch> found = Object(std::move(result), member);
  if (!found)
    return found;
  ComPtr<IDispatch> typed;
  ThrowIfFailed(found->QueryInterface(iid, typed.PutVoid()), [&] {
    return std::string("The result of ") + kind_ + "." + member + " is not of the expected kind";
  });
  return typed;
}

ComPtr<IDispatch> DispatchObject::QueryAs(const GUID& iid, const char* what) const {
  ComPtr<IDispatch> typed;
  ThrowIfFailed(object_->QueryInterface(iid, typed.PutVoid()),
                [&] { return std::string("The ") + kind_ + " is not " + what; });
  return typed;
}

std::int32_t DispatchObject::ToLong(Variant&& result, const char* member) const {
  Convert(result, VT_I4, ResultOf{kind_, member});
  return V_I4(result.Get());
}

double DispatchObject::ToDouble(Variant&& result, const char* member) const {
  Convert(result, VT_R8, ResultOf{kind_, member});
  return V_R8(result.Get());
}

std::string DispatchObject::ToText(Variant&& result, const char* member) const {
  Convert(result, VT_BSTR, ResultOf{kind_, member});
  return ToUtf8(V_BSTR(result.Get()));
}

ComPtr<IDispatch> DispatchObject::GetObjectAs(DISPID id, const char* member, const GUID& iid,
                                              Arguments arguments) const {
  return ObjectAs(Get(id, member, std::move(arguments)), iid, member);
}

std::int32_t DispatchObject::GetLong(DISPID id, const char* member) const {
  return ToLong(Get(id, member), member);
}

double DispatchObject::GetDouble(DISPID id, const char* member) const {
  return ToDouble(Get(id, member), member);
}

std::string DispatchObject::GetText(DISPID id, const char* member) const {
  return ToText(Get(id, member), member);
}

IDispatch* DispatchOf(const HostObject* object) noexcept {
  const auto* adapter = dynamic_cast<const DispatchObject*>(object);
  return adapter ? adapter->Dispatch() : nullptr;
}

Value ToValue(AdapterPool& pool, Variant&& result, const char* description) {
  const ResultOf what{nullptr, description};
  Dereference(result, what);
  VARIANT* v = result.Get();
  switch (result.Type()) {
  case VT_EMPTY:
    return Empty{};
  case VT_BOOL:
    return V_BOOL(v) != VARIANT_FALSE;
  case VT_I2:
    return static_cast<std::int16_t>(V_I2(v));
  case VT_I4:
    return static_cast<std::int32_t>(V_I4(v));
  case VT_R4:
    return V_R4(v);
  case VT_R8:
    return V_R8(v);
  case VT_DATE:
    return Date{V_DATE(v)};
  case VT_BSTR:
    return ToUtf8(V_BSTR(v));
  case VT_DISPATCH:
  case VT_UNKNOWN: {
    ComPtr<IDispatch> dispatch = AutomationObject(V_UNKNOWN(v), what);
    return MakeHostObject(pool, std::move(dispatch));
  }
  default:
    Convert(result, VT_R8, what);
    return V_R8(result.Get());
  }
}

} // namespace vantelo::com::host

namespace vantelo::com::host {

Ref<HostObject> MakeHostObject(AdapterPool& pool, ComPtr<IDispatch> object) {
  return Wrapped<GenericObject>(pool, std::move(object));
}

} // namespace vantelo::com::host
