// The base of every host adapter: one host object held through its IDispatch,
// and the one way the adapter calls it. Each call is exactly one
// IDispatch::Invoke (after GetIDsOfNames for a member called by name); a
// failed call throws vantelo::Failure with the host's status code and a
// message that names the object, the member and the host's own description.
#pragma once

#include "addin/host_model.h"
#include "com/com_ptr.h"
#include "com/host_adapter/adapter_pool.h"
#include "com/variant.h"

#include <windows.h>

#include <oaidl.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>

namespace vantelo::com::host {

// Arguments of one call, given in their declared order and kept last to
// first, as IDispatch takes them, in a fixed array (no host member takes more
// than two). The list owns them and clears them after the call: the callee
// may replace a by-reference or even a by-value argument in place.
class Arguments {
public:
  static constexpr std::size_t kMaximum = 2;

  Arguments() = default;
  template <class... A> explicit Arguments(A&&... declared) : count_(sizeof...(A)) {
    static_assert(sizeof...(A) <= kMaximum, "a host call with more arguments than the list holds");
    std::size_t last = count_;
    ((values_[--last] = std::forward<A>(declared).Detach()), ...);
  }
  Arguments(const Arguments&) = delete;
  Arguments(Arguments&& other) noexcept : values_(other.values_), count_(other.count_) {
    other.count_ = 0;
  }
  Arguments& operator=(const Arguments&) = delete;
  Arguments& operator=(Arguments&&) = delete;
  ~Arguments();

  // The arguments last to first; null when there are none.
  VARIANTARG* LastToFirst() noexcept { return count_ == 0 ? nullptr : values_.data(); }
  UINT Count() const noexcept { return static_cast<UINT>(count_); }

private:
  std::array<VARIANTARG, kMaximum> values_{};
  std::size_t count_ = 0;
};

// Argument makers.
Variant TextArgument(std::string_view text);
Variant ShortArgument(std::int16_t value); // VT_I2
Variant LongArgument(std::int32_t value);  // VT_I4
Variant LongByReference(LONG* value);      // VT_I4 | VT_BYREF
Variant DoubleByReference(double* value);  // VT_R8 | VT_BYREF
Variant ValueArgument(const Value& value);

class DispatchObject {
public:
  // `kind` names the host object in error messages ("Document"); the
  // adapters of results come from `pool`, the pool of this adapter.
  DispatchObject(ComPtr<IDispatch> object, const char* kind, AdapterPool& pool) noexcept
      : object_(std::move(object)), kind_(kind), pool_(pool) {}
  virtual ~DispatchObject() = default;

  IDispatch* Dispatch() const noexcept { return object_.Get(); }

protected:
  AdapterPool& Pool() const noexcept { return pool_; }

  Variant Get(DISPID id, const char* member, Arguments arguments = Arguments()) const;
  void Put(DISPID id, const char* member, Variant value) const;
  Variant Call(DISPID id, const char* member, Arguments arguments = Arguments()) const;
  Variant GetByName(const wchar_t* name) const;
  void PutByName(const wchar_t* name, Variant value) const;

  // Takes an object result as the interface `iid` (one QueryInterface, whose
  // status is the failure's code); a null result stays null.
  ComPtr<IDispatch> ObjectAs(Variant&& result, const GUID& iid, const char* member) const;
  // Takes an object result without a cast.
  ComPtr<IDispatch> Object(Variant&& result, const char* member) const;
  // One QueryInterface of this object for `iid`.
  ComPtr<IDispatch> QueryAs(const GUID& iid, const char* what) const;

  std::int32_t ToLong(Variant&& result, const char* member) const;
  double ToDouble(Variant&& result, const char* member) const;
  std::string ToText(Variant&& result, const char* member) const;

  // A property get whose result is taken as the interface `iid` (ObjectAs),
  // or converted to a 32-bit integer, a double or a text.
  ComPtr<IDispatch> GetObjectAs(DISPID id, const char* member, const GUID& iid,
                                Arguments arguments = Arguments()) const;
  std::int32_t GetLong(DISPID id, const char* member) const;
  double GetDouble(DISPID id, const char* member) const;
  std::string GetText(DISPID id, const char* member) const;

private:
  Variant Invoke(DISPID id, WORD flags, const char* member, Arguments& arguments,
                 bool propertyPut) const;
  DISPID IdOfName(const wchar_t* name) const;

  ComPtr<IDispatch> object_;
  const char* kind_;
  AdapterPool& pool_; // owned through this adapter's allocation
};

// Wraps a host object in the adapter class `Adapter`, allocated from `pool`;
// a null object gives a null reference (the host's Nothing).
template <class Adapter>
std::shared_ptr<Adapter> Wrapped(AdapterPool& pool, ComPtr<IDispatch> object) {
  if (!object)
    return nullptr;
  return std::allocate_shared<Adapter>(PoolAllocator<Adapter>(pool), std::move(object), pool);
}

// The IDispatch of a host object that came through the adapter; null for any
// other object.
IDispatch* DispatchOf(const HostObject* object) noexcept;

// The host's value as the add-in's value (Empty, numbers, dates, text,
// objects, whose adapters come from `pool`); other automation types become
// doubles.
Value ToValue(AdapterPool& pool, Variant&& result, const char* what);

} // namespace vantelo::com::host
