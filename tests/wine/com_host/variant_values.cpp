#include "com_host/variant_values.h"

#include "addin/failure.h"

#include <oleauto.h>

#include <stdexcept>

namespace vtest::comhost {

std::string Utf8(const wchar_t* text, std::size_t length) {
  if (length == 0)
    return {};
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), out.data(), size, nullptr,
                      nullptr);
  return out;
}

std::wstring Wide(const std::string& text) {
  if (text.empty())
    return {};
  const int size =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
  return out;
}

vantelo::Value ToValue(const VARIANT& value) {
  switch (V_VT(&value)) {
  case VT_EMPTY:
    return vantelo::Empty{};
  case VT_BOOL:
    return V_BOOL(&value) != VARIANT_FALSE;
  case VT_I2:
    return static_cast<std::int16_t>(V_I2(&value));
  case VT_I4:
    return static_cast<std::int32_t>(V_I4(&value));
  case VT_R4:
    return V_R4(&value);
  case VT_R8:
    return V_R8(&value);
  case VT_DATE:
    return vantelo::Date{V_DATE(&value)};
  case VT_BSTR:
    return Utf8(V_BSTR(&value), SysStringLen(V_BSTR(&value)));
  default:
    throw vantelo::Failure(static_cast<std::int32_t>(DISP_E_TYPEMISMATCH),
                           "the stand-in host takes no value of type " +
                               std::to_string(V_VT(&value)));
  }
}

void FromValue(const vantelo::Value& value, VARIANT& out) {
  VariantInit(&out);
  std::visit(
      [&](const auto& v) {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, bool>) {
          V_VT(&out) = VT_BOOL;
          V_BOOL(&out) = v ? VARIANT_TRUE : VARIANT_FALSE;
        } else if constexpr (std::is_same_v<T, std::int16_t>) {
          V_VT(&out) = VT_I2;
          V_I2(&out) = v;
        } else if constexpr (std::is_same_v<T, std::int32_t>) {
          V_VT(&out) = VT_I4;
          V_I4(&out) = v;
        } else if constexpr (std::is_same_v<T, float>) {
          V_VT(&out) = VT_R4;
          V_R4(&out) = v;
        } else if constexpr (std::is_same_v<T, double>) {
          V_VT(&out) = VT_R8;
          V_R8(&out) = v;
        } else if constexpr (std::is_same_v<T, vantelo::Date>) {
          V_VT(&out) = VT_DATE;
          V_DATE(&out) = v.days;
        } else if constexpr (std::is_same_v<T, std::string>) {
          const std::wstring text = Wide(v);
          V_VT(&out) = VT_BSTR;
          V_BSTR(&out) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        } else if constexpr (std::is_same_v<T, std::shared_ptr<vantelo::HostObject>>) {
          throw std::logic_error("objects are handed out as host objects, not as values");
        }
      },
      value);
}

} // namespace vtest::comhost
