#include "com/host_adapter/dispatch_object.h"

#include "addin/failure.h"
#include "com/bstr.h"
#include "com/host_adapter/adapters.h"
#include "com/text.h"

#include <oleauto.h>

#include <cstdio>
#include <string>

namespace vantelo::com::host {

namespace {

// Visual Basic's "Object required", raised where an object result is not one.
constexpr HRESULT ObjectRequired = static_cast<HRESULT>(0x800A01A8);

std::string dispidText(DISPID id) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(id));
  return text;
}

// A conversion of a result is the add-in's own, and fails with the codes
// Visual Basic gives for it.
[[noreturn]] void conversionFailed(HRESULT hr, const std::string& what) {
  if (hr == DISP_E_OVERFLOW)
    throw Failure(hresult::Overflow, "Overflow converting the result of " + what);
  if (hr == DISP_E_TYPEMISMATCH)
    throw Failure(hresult::TypeMismatch, "Type mismatch converting the result of " + what);
  throw Failure(hr, "Cannot convert the result of " + what + " (" + HresultText(hr) + ")");
}

Variant converted(Variant result, VARTYPE type, const std::string& what) {
  Variant out;
  const HRESULT hr = VariantChangeType(out.get(), result.get(), 0, type);
  if (FAILED(hr))
    conversionFailed(hr, what);
  return out;
}

// Moves a by-reference result to a value of its own.
Variant dereferenced(Variant result, const std::string& what) {
  if (!(result.type() & VT_BYREF))
    return result;
  Variant out;
  const HRESULT hr = VariantCopyInd(out.get(), result.get());
  if (FAILED(hr))
    conversionFailed(hr, what);
  return out;
}

class GenericObject final : public HostObject, public DispatchObject {
public:
  explicit GenericObject(ComPtr<IDispatch> object) : DispatchObject(std::move(object), "Object") {}
};

} // namespace

Arguments::~Arguments() {
  for (VARIANTARG& value : values_)
    VariantClear(&value);
}

Variant textArgument(std::string_view text) {
  Variant v;
  V_VT(v.get()) = VT_BSTR;
  V_BSTR(v.get()) = toBstr(text).detach();
  return v;
}

Variant shortArgument(std::int16_t value) {
  Variant v;
  V_VT(v.get()) = VT_I2;
  V_I2(v.get()) = value;
  return v;
}

Variant longArgument(std::int32_t value) {
  Variant v;
  V_VT(v.get()) = VT_I4;
  V_I4(v.get()) = value;
  return v;
}

Variant longByReference(LONG* value) {
  Variant v;
  V_VT(v.get()) = VT_I4 | VT_BYREF;
  V_I4REF(v.get()) = value;
  return v;
}

Variant doubleByReference(double* value) {
  Variant v;
  V_VT(v.get()) = VT_R8 | VT_BYREF;
  V_R8REF(v.get()) = value;
  return v;
}

Variant valueArgument(const Value& value) {
  Variant v;
  VARIANT* out = v.get();
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
    return textArgument(std::get<std::string>(value));
  case ValueKind::Object: {
    const auto& object = std::get<std::shared_ptr<HostObject>>(value);
    IDispatch* dispatch = dispatchOf(object.get());
    if (object && !dispatch)
      throw Failure(hresult::TypeMismatch,
                    "An object that is not the host's cannot be passed to it");
    V_VT(out) = VT_DISPATCH;
    V_DISPATCH(out) = ComPtr<IDispatch>(dispatch).detach();
    break;
  }
  }
  return v;
}

Variant DispatchObject::invoke(DISPID id, WORD flags, const char* member, Arguments& arguments,
                               bool propertyPut) const {
  std::vector<VARIANTARG>& declared = arguments.values();
  // IDispatch takes the arguments last to first.
  std::vector<VARIANTARG> reversed(declared.rbegin(), declared.rend());
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS params = {};
  params.rgvarg = reversed.empty() ? nullptr : reversed.data();
  params.cArgs = static_cast<UINT>(reversed.size());
  if (propertyPut) {
    params.rgdispidNamedArgs = &putId;
    params.cNamedArgs = 1;
  }
  Variant result;
  EXCEPINFO exception = {};
  UINT argumentError = 0;
  HRESULT hr = object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                               propertyPut ? nullptr : result.get(), &exception, &argumentError);
  // The callee may have replaced arguments in place: the list owns what is
  // there now.
  std::copy(reversed.rbegin(), reversed.rend(), declared.begin());
  if (SUCCEEDED(hr))
    return result;

  std::string description;
  if (hr == DISP_E_EXCEPTION) {
    if (exception.pfnDeferredFillIn)
      exception.pfnDeferredFillIn(&exception);
    Bstr source = Bstr::adopt(exception.bstrSource);
    Bstr text = Bstr::adopt(exception.bstrDescription);
    Bstr help = Bstr::adopt(exception.bstrHelpFile);
    if (FAILED(exception.scode))
      hr = exception.scode;
    else if (exception.wCode != 0)
      hr = static_cast<HRESULT>(0x800A0000u | exception.wCode);
    description = toUtf8(text.get());
  }
  std::string message = std::string("Host call ") + kind_ + "." + member + " (" + dispidText(id) +
                        ") failed with " + HresultText(hr);
  if (!description.empty())
    message += ": " + description;
  throw Failure(hr, message);
}

DISPID DispatchObject::idOfName(const wchar_t* name) const {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  const HRESULT hr = object_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr))
    throw Failure(hr, std::string("Host object ") + kind_ + " has no member " +
                          win::utf8FromWide(name) + " (" + HresultText(hr) + ")");
  return id;
}

Variant DispatchObject::get(DISPID id, const char* member, Arguments arguments) const {
  return invoke(id, DISPATCH_PROPERTYGET, member, arguments, false);
}

void DispatchObject::put(DISPID id, const char* member, Variant value) const {
  Arguments arguments(std::move(value));
  invoke(id, DISPATCH_PROPERTYPUT, member, arguments, true);
}

Variant DispatchObject::call(DISPID id, const char* member, Arguments arguments) const {
  return invoke(id, DISPATCH_METHOD, member, arguments, false);
}

Variant DispatchObject::getByName(const wchar_t* name) const {
  const std::string member = win::utf8FromWide(name);
  Arguments none;
  return invoke(idOfName(name), DISPATCH_PROPERTYGET, member.c_str(), none, false);
}

void DispatchObject::putByName(const wchar_t* name, Variant value) const {
  const std::string member = win::utf8FromWide(name);
  Arguments arguments(std::move(value));
  invoke(idOfName(name), DISPATCH_PROPERTYPUT, member.c_str(), arguments, true);
}

ComPtr<IDispatch> DispatchObject::object(Variant result, const char* member) const {
  const std::string what = std::string(kind_) + "." + member;
  result = dereferenced(std::move(result), what);
  switch (result.type()) {
  case VT_DISPATCH:
    return ComPtr<IDispatch>(V_DISPATCH(result.get()));
  case VT_UNKNOWN: {
    IUnknown* unknown = V_UNKNOWN(result.get());
    if (!unknown)
      return {};
    ComPtr<IDispatch> dispatch;
    if (FAILED(unknown->QueryInterface(IID_IDispatch, dispatch.putVoid())))
      throw Failure(hresult::TypeMismatch,
                    "The result of " + what + " is not an automation object");
    return dispatch;
  }
  default:
    throw Failure(ObjectRequired, "The result of " + what + " is not an object");
  }
}

ComPtr<IDispatch> DispatchObject::objectAs(Variant result, const GUID& iid,
                                           const char* member) const {
  ComPtr<IDispatch> found = object(std::move(result), member);
  if (!found)
    return found;
  ComPtr<IDispatch> typed;
  const HRESULT hr = found->QueryInterface(iid, typed.putVoid());
  if (FAILED(hr))
    throw Failure(hr, std::string("The result of ") + kind_ + "." + member +
                          " is not of the expected kind (" + HresultText(hr) + ")");
  return typed;
}

ComPtr<IDispatch> DispatchObject::queryAs(const GUID& iid, const char* what) const {
  ComPtr<IDispatch> typed;
  const HRESULT hr = object_->QueryInterface(iid, typed.putVoid());
  if (FAILED(hr))
    throw Failure(hr,
                  std::string("The ") + kind_ + " is not " + what + " (" + HresultText(hr) + ")");
  return typed;
}

std::int32_t DispatchObject::toLong(Variant result, const char* member) const {
  const Variant number = converted(std::move(result), VT_I4, std::string(kind_) + "." + member);
  return V_I4(number.get());
}

double DispatchObject::toDouble(Variant result, const char* member) const {
  const Variant number = converted(std::move(result), VT_R8, std::string(kind_) + "." + member);
  return V_R8(number.get());
}

std::string DispatchObject::toText(Variant result, const char* member) const {
  const Variant text = converted(std::move(result), VT_BSTR, std::string(kind_) + "." + member);
  return toUtf8(V_BSTR(text.get()));
}

IDispatch* dispatchOf(const HostObject* object) noexcept {
  const auto* adapter = dynamic_cast<const DispatchObject*>(object);
  return adapter ? adapter->dispatch() : nullptr;
}

Value toValue(Variant result, const char* what) {
  result = dereferenced(std::move(result), what);
  VARIANT* v = result.get();
  switch (result.type()) {
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
    return toUtf8(V_BSTR(v));
  case VT_DISPATCH:
  case VT_UNKNOWN: {
    ComPtr<IDispatch> dispatch;
    if (IUnknown* unknown = V_UNKNOWN(v);
        unknown && FAILED(unknown->QueryInterface(IID_IDispatch, dispatch.putVoid())))
      throw Failure(hresult::TypeMismatch,
                    std::string("The result of ") + what + " is not an automation object");
    return dispatch ? makeHostObject(std::move(dispatch)) : std::shared_ptr<HostObject>();
  }
  default: {
    const Variant number = converted(std::move(result), VT_R8, what);
    return V_R8(number.get());
  }
  }
}

} // namespace vantelo::com::host

namespace vantelo::com::host {

Ref<HostObject> makeHostObject(ComPtr<IDispatch> object) {
  return std::make_shared<GenericObject>(std::move(object));
}

} // namespace vantelo::com::host
