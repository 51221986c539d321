// An owned VARIANT: cleared when it goes away.
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <utility>

namespace vantelo::com {

class Variant {
public:
  Variant() noexcept { VariantInit(&v_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  Variant(Variant&& other) noexcept : Variant() { std::swap(v_, other.v_); }
  Variant& operator=(Variant&& other) noexcept {
    std::swap(v_, other.v_);
    return *this;
  }
  ~Variant() { VariantClear(&v_); }

  VARIANT* Get() noexcept { return &v_; }
  const VARIANT* Get() const noexcept { return &v_; }
  VARIANT* operator->() noexcept { return &v_; }
  const VARIANT* operator->() const noexcept { return &v_; }
  VARTYPE Type() const noexcept { return V_VT(&v_); }
  // Clears the current value and returns the VARIANT for an out-parameter.
  VARIANT* Put() noexcept {
    VariantClear(&v_);
    return &v_;
  }
  // Hands the value to the caller, who must clear it; this one becomes empty.
  VARIANT Detach() noexcept {
    VARIANT result = v_;
    VariantInit(&v_);
    return result;
  }

private:
  VARIANT v_;
};

} // namespace vantelo::com
