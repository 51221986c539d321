// One counted reference to a COM interface. Releases it when it goes away;
// copying adds a reference. The only way the module holds interface pointers.
#pragma once

#include <windows.h>

#include <unknwn.h>

#include <utility>

namespace vantelo::com {

template <class T> class ComPtr {
public:
  ComPtr() noexcept = default;
  ComPtr(std::nullptr_t) noexcept {}
  // Takes a new reference of its own to `p`.
  explicit ComPtr(T* p) noexcept : p_(p) {
    if (p_)
      p_->AddRef();
  }
  ComPtr(const ComPtr& other) noexcept : ComPtr(other.p_) {}
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(p_, other.p_);
    return *this;
  }
  ~ComPtr() { Reset(); }

  // Takes over a reference the caller already owns (an out-parameter result).
  static ComPtr Adopt(T* p) noexcept {
    ComPtr result;
    result.p_ = p;
    return result;
  }

  void Reset() noexcept {
    if (T* p = std::exchange(p_, nullptr))
      p->Release();
  }
  // Gives the reference to the caller, who must release it.
  T* Detach() noexcept { return std::exchange(p_, nullptr); }
  // For out-parameters: drops the current reference and returns the slot.
  T** Put() noexcept {
    Reset();
    return &p_;
  }
  void** PutVoid() noexcept { return reinterpret_cast<void**>(Put()); }

  T* Get() const noexcept { return p_; }
  T* operator->() const noexcept { return p_; }
  explicit operator bool() const noexcept { return p_ != nullptr; }

  // QueryInterface for U; a null result when the object does not answer it.
  template <class U> HRESULT As(const IID& iid, ComPtr<U>& out) const noexcept {
    if (!p_) {
      out.Reset();
      return E_POINTER;
    }
    return p_->QueryInterface(iid, out.PutVoid());
  }

private:
  T* p_ = nullptr;
};

} // namespace vantelo::com
