// The settings members as properties of _clsVantelo: Boolean as
// VARIANT_BOOL (true is all bits set; any non-zero value put counts as true),
// Integer as a 16-bit short, String as a BSTR holding the member's UTF-8
// text in UTF-16.
#include "com/text.h"
#include "com/vantelo_object.h"
#include "com/vantelo_object_call.h"

namespace vantelo::com {

namespace {

HRESULT Read(const bool& member, VARIANT_BOOL* value) {
  *value = member ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT Read(const std::int16_t& member, short* value) {
  *value = member;
  return S_OK;
}

HRESULT Read(const std::string& member, BSTR* value) {
  return Guarded(IID__clsVantelo, [&] { *value = ToBstr(member).Detach(); });
}

HRESULT Write(bool& member, VARIANT_BOOL value) {
  member = value != VARIANT_FALSE;
  return S_OK;
}

HRESULT Write(std::int16_t& member, short value) {
  member = value;
  return S_OK;
}

HRESULT Write(std::string& member, BSTR value) {
  return Guarded(IID__clsVantelo, [&] { member = ToUtf8(value); });
}

} // namespace

#define VANTELO_DEFINE_PROPERTY(name, kind)                                                        \
  HRESULT VanteloObject::get_##name(kind##Property* value) {                                       \
    if (!value)                                                                                    \
      return E_POINTER;                                                                            \
    *value = kind##Property{};                                                                     \
    return Read(core_->name, value);                                                               \
  }                                                                                                \
  HRESULT VanteloObject::put_##name(kind##Property value) { return Write(core_->name, value); }
VANTELO_SETTINGS(VANTELO_DEFINE_PROPERTY)
#undef VANTELO_DEFINE_PROPERTY

} // namespace vantelo::com
