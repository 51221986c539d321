// Every settings property through IDispatch by name, as a macro sets and
// reads it: initial values, round trips of each kind, the coercions and
// refusals of automation, text outside the ANSI code page, and that each
// property reaches its own member (a vtable slot mix-up shows as a value
// turning up under another name).
#include "addin/members.h"
#include "check.h"
#include "class_interface_table.h"
#include "com/idl/Vantelo_h.h"
#include "com_host/variant_values.h"
#include "test_groups.h"
#include "test_support.h"

#include <oleauto.h>

#include <string>

namespace vtest {

namespace {

Variant get(IDispatch* object, const wchar_t* name, HRESULT* hr = nullptr) {
  DispatchResult result = invokeByName(object, name, DISPATCH_PROPERTYGET);
  if (hr)
    *hr = result.hr;
  return std::move(result.value);
}

// A distinct value for the setting at `index`, so that all of them can be
// told apart.
Variant distinctValue(std::size_t index, SettingKind kind) {
  switch (kind) {
  case SettingKind::Boolean:
    return boolVariant(index % 2 == 0);
  case SettingKind::Integer: {
    Variant v;
    V_VT(v.get()) = VT_I2;
    V_I2(v.get()) = static_cast<SHORT>(1000 + index);
    return v;
  }
  case SettingKind::String:
    return textVariant(L"value " + std::to_wstring(index) + L" \u00C4\u03A9\U0001F600");
  }
  return Variant();
}

bool sameValue(const VARIANT* a, const VARIANT* b) {
  return VarCmp(const_cast<VARIANT*>(a), const_cast<VARIANT*>(b), LOCALE_USER_DEFAULT, 0) ==
             VARCMP_EQ &&
         V_VT(a) == V_VT(b);
}

void initialValuesAndTypes(IDispatch* object) {
  const auto& settings = classSettings();
  for (std::size_t i = 0; i < settings.size(); ++i) {
    CHECK_EQ(dispidOf(object, settings[i].name), settingDispid(i));
    HRESULT hr = E_FAIL;
    Variant value = get(object, settings[i].name, &hr);
    CHECK_OK(hr);
    switch (settings[i].kind) {
    case SettingKind::Boolean:
      CHECK_EQ(value.type(), VT_BOOL);
      CHECK_EQ(V_BOOL(value.get()), VARIANT_FALSE);
      break;
    case SettingKind::Integer:
      CHECK_EQ(value.type(), VT_I2);
      CHECK_EQ(V_I2(value.get()), 0);
      break;
    case SettingKind::String:
      CHECK_EQ(value.type(), VT_BSTR);
      CHECK_EQ(variantText(value.get()), std::wstring());
      break;
    }
  }
}

void eachPropertyKeepsItsOwnValue(IDispatch* object) {
  const auto& settings = classSettings();
  for (std::size_t i = 0; i < settings.size(); ++i) {
    Variant value = distinctValue(i, settings[i].kind);
    CHECK_OK(putByName(object, settings[i].name, value.get()));
  }
  for (std::size_t i = 0; i < settings.size(); ++i) {
    const Variant expected = distinctValue(i, settings[i].kind);
    const Variant actual = get(object, settings[i].name);
    if (!sameValue(actual.get(), expected.get()))
      reportFailure(__FILE__, __LINE__,
                    "property " + describe(settings[i].name) + " does not hold its own value");
  }
}

struct RoundTrip {
  const wchar_t* property;
  Variant (*put)();
  HRESULT putResult;
  Variant (*expected)(); // the value read back
};

Variant shortValue(SHORT value) {
  Variant v;
  V_VT(v.get()) = VT_I2;
  V_I2(v.get()) = value;
  return v;
}

void roundTrips(IDispatch* object) {
  const RoundTrip cases[] = {
      // Booleans: any non-zero value is true, and true reads back as all bits set.
      {L"SuppressError", [] { return boolVariant(true); }, S_OK, [] { return boolVariant(true); }},
      {L"SuppressError", [] { return longVariant(1); }, S_OK, [] { return boolVariant(true); }},
      {L"SuppressError", [] { return textVariant(L"False"); }, S_OK,
       [] { return boolVariant(false); }},
      // 16-bit integers: the whole range, text coerced, out of range refused
      // with the old value kept.
      {L"Decimals", [] { return shortValue(-32768); }, S_OK, [] { return shortValue(-32768); }},
      {L"Decimals", [] { return longVariant(32767); }, S_OK, [] { return shortValue(32767); }},
      {L"Decimals", [] { return textVariant(L"7"); }, S_OK, [] { return shortValue(7); }},
      {L"Decimals", [] { return longVariant(40000); }, DISP_E_OVERFLOW,
       [] { return shortValue(7); }},
      {L"Decimals", [] { return textVariant(L"seven"); }, DISP_E_TYPEMISMATCH,
       [] { return shortValue(7); }},
      // Texts: UTF-16 in and out without loss, outside the BMP too.
      {L"TotalMassUnit", [] { return textVariant(L""); }, S_OK, [] { return textVariant(L""); }},
      {L"TotalMassUnit", [] { return textVariant(L"Gr\u00FC\u00DFe \u03A9 \u2713 \U0001F600"); },
       S_OK, [] { return textVariant(L"Gr\u00FC\u00DFe \u03A9 \u2713 \U0001F600"); }},
      {L"TotalMassUnit", [] { return textVariant(std::wstring(L"a\0b", 3)); }, S_OK,
       [] { return textVariant(std::wstring(L"a\0b", 3)); }},
      {L"TotalMassUnit", [] { return longVariant(12); }, S_OK, [] { return textVariant(L"12"); }},
      // An unpaired surrogate is not text: it becomes the replacement character.
      {L"TotalMassUnit", [] { return textVariant(L"x\xD800y"); }, S_OK,
       [] { return textVariant(L"x\xFFFDy"); }},
  };
  for (const RoundTrip& test : cases) {
    Variant value = test.put();
    const HRESULT hr = putByName(object, test.property, value.get());
    if (hr != test.putResult)
      reportFailure(__FILE__, __LINE__,
                    "put " + describe(test.property) + ": got " + hexCode(hr) + ", expected " +
                        hexCode(test.putResult));
    const Variant actual = get(object, test.property);
    const Variant expected = test.expected();
    if (!sameValue(actual.get(), expected.get()))
      reportFailure(__FILE__, __LINE__,
                    "read back " + describe(test.property) + " after putting " +
                        (V_VT(value.get()) == VT_BSTR ? describe(variantText(value.get()))
                                                      : std::string("a number")) +
                        ": got " +
                        (actual.type() == VT_BSTR ? describe(variantText(actual.get()))
                                                  : "vt " + std::to_string(actual.type())));
  }
}

void throughTheVtable(IDispatch* object) {
  // An early-bound client calls the slots directly.
  ComPtr<_clsVantelo> direct;
  CHECK_OK(object->QueryInterface(IID__clsVantelo, direct.putVoid()));
  if (!direct)
    return;
  CHECK_OK(direct->put_EnableViewScale(1)); // not VARIANT_TRUE, still true
  VARIANT_BOOL flag = VARIANT_FALSE;
  CHECK_OK(direct->get_EnableViewScale(&flag));
  CHECK_EQ(flag, VARIANT_TRUE);
  CHECK_OK(direct->put_SpaceBeforeMassUnit(-5));
  SHORT number = 0;
  CHECK_OK(direct->get_SpaceBeforeMassUnit(&number));
  CHECK_EQ(number, -5);
  CHECK_OK(direct->put_QuantityColumnName(nullptr)); // a null BSTR is the empty text
  Bstr text;
  CHECK_OK(direct->get_QuantityColumnName(text.put()));
  CHECK(text.get() != nullptr);
  CHECK_EQ(text.length(), 0u);
  CHECK_HR(direct->get_QuantityColumnName(nullptr), E_POINTER);
}

// The core's own table of its members (used by the settings load) agrees
// with the class interface: same names, dispatch ids and types.
void coreMembersTableAgrees(IDispatch* object) {
  const auto members = vantelo::ClassMembers();
  CHECK_EQ(members.size(), classSettings().size());
  for (const vantelo::MemberInfo& member : members) {
    const std::wstring name = comhost::wide(std::string(member.name));
    CHECK_EQ(dispidOf(object, name.c_str()), static_cast<DISPID>(member.dispatchId));
    const VARTYPE expected = member.type == vantelo::MemberType::Boolean   ? VT_BOOL
                             : member.type == vantelo::MemberType::Integer ? VT_I2
                                                                           : VT_BSTR;
    CHECK_EQ(get(object, name.c_str()).type(), expected);
  }
}

} // namespace

void propertyTests(const Environment& environment) {
  RegisteredModule registered(environment);
  ComPtr<IDispatch> object = createByProgId();
  if (!object)
    return;
  initialValuesAndTypes(object.get());
  eachPropertyKeepsItsOwnValue(object.get());
  roundTrips(object.get());
  throughTheVtable(object.get());
  coreMembersTableAgrees(object.get());
}

} // namespace vtest
