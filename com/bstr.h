// An owned BSTR: freed when it goes away, never shared.
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <new>
#include <string_view>
#include <utility>

namespace vantelo::com {

class Bstr {
public:
  Bstr() noexcept = default;
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  Bstr(Bstr&& other) noexcept : s_(std::exchange(other.s_, nullptr)) {}
  Bstr& operator=(Bstr&& other) noexcept {
    std::swap(s_, other.s_);
    return *this;
  }
  ~Bstr() { SysFreeString(s_); }

  // Allocates a copy of the UTF-16 text; throws std::bad_alloc when out of memory.
  explicit Bstr(std::wstring_view text) : s_(SysAllocStringLen(text.data(), size(text))) {
    if (!s_)
      throw std::bad_alloc();
  }

  static Bstr Adopt(BSTR s) noexcept {
    Bstr result;
    result.s_ = s;
    return result;
  }

  BSTR Get() const noexcept { return s_; }
  BSTR Detach() noexcept { return std::exchange(s_, nullptr); }
  BSTR* Put() noexcept {
    SysFreeString(std::exchange(s_, nullptr));
    return &s_;
  }
  UINT Length() const noexcept { return SysStringLen(s_); }

private:
  static UINT size(std::wstring_view text) {
    if (text.size() > 0x7FFFFFF0u)
      throw std::bad_alloc();
    return static_cast<UINT>(text.size());
  }

  BSTR s_ = nullptr;
};

} // namespace vantelo::com
