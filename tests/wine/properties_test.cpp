// Every settings property through IDispatch by name, as a macro sets and
// reads it: initial values, round trips of each kind, the coercions and
// refusals of automation, text outside the ANSI code page, and that each
// property reaches its own member (a vtable slot mix-up shows as a value
// turning up under another name).
#include "addin/members.h"
#include "class_interface_table.h"
#include "com/idl/Vantelo_h.h"
#include "com_host/variant_values.h"
#include "test_support.h"

#include <oleauto.h>

#include <string>

namespace vtest {

namespace {

// A distinct value for the setting at `index`, so that all of them can be
// told apart.
Variant DistinctValue(std::size_t index, SettingKind kind) {
  switch (kind) {
  case SettingKind::Boolean:
    return BoolVariant(index % 2 == 0);
  case SettingKind::Integer:
    return ShortVariant(static_cast<SHORT>(1000 + index));
  case SettingKind::String:
    return TextVariant(L"value " + std::to_wstring(index) + L" \u00C4\u03A9\U0001F600");
  }
  return Variant();
}

// The same type and an equal value.
::testing::AssertionResult SameValue(const Variant& actual, const Variant& expected) {
  if (actual.Type() == expected.Type() &&
      VarCmp(const_cast<VARIANT*>(actual.Get()), const_cast<VARIANT*>(expected.Get()),
             LOCALE_USER_DEFAULT, 0) == VARCMP_EQ)
    return ::testing::AssertionSuccess();
  auto shown = [](const Variant& v) {
    return v.Type() == VT_BSTR ? ::testing::PrintToString(VariantText(v.Get()))
                               : "vt " + std::to_string(v.Type());
  };
  return ::testing::AssertionFailure()
         << "got " << shown(actual) << ", expected " << shown(expected);
}

using Properties = RegisteredObjectTest;

TEST_F(Properties, StartFalseZeroAndEmptyWithTheirTypes) {
  const auto& settings = ClassSettings();
  for (std::size_t i = 0; i < settings.size(); ++i) {
    SCOPED_TRACE(::testing::PrintToString(settings[i].name));
    EXPECT_EQ(DispidOf(object_.Get(), settings[i].name), SettingDispid(i));
    const Variant value = GetByName(object_.Get(), settings[i].name);
    switch (settings[i].kind) {
    case SettingKind::Boolean:
      EXPECT_TRUE(SameValue(value, BoolVariant(false)));
      break;
    case SettingKind::Integer:
      EXPECT_TRUE(SameValue(value, ShortVariant(0)));
      break;
    case SettingKind::String:
      EXPECT_TRUE(SameValue(value, TextVariant(L"")));
      break;
    }
  }
}

TEST_F(Properties, EachKeepsItsOwnValue) {
  const auto& settings = ClassSettings();
  for (std::size_t i = 0; i < settings.size(); ++i) {
    Variant value = DistinctValue(i, settings[i].kind);
    EXPECT_OK(PutByName(object_.Get(), settings[i].name, value.Get()));
  }
  for (std::size_t i = 0; i < settings.size(); ++i) {
    SCOPED_TRACE(::testing::PrintToString(settings[i].name));
    EXPECT_TRUE(
        SameValue(GetByName(object_.Get(), settings[i].name), DistinctValue(i, settings[i].kind)));
  }
}

TEST_F(Properties, RoundTripsWithAutomationsCoercions) {
  struct RoundTrip {
    const wchar_t* property;
    Variant (*put)();
    HRESULT putResult;
    Variant (*expected)(); // the value read back
  };
  const RoundTrip cases[] = {
      // Booleans: any non-zero value is true, and true reads back as all bits set.
      {L"SuppressError", [] { return BoolVariant(true); }, S_OK, [] { return BoolVariant(true); }},
      {L"SuppressError", [] { return LongVariant(1); }, S_OK, [] { return BoolVariant(true); }},
      {L"SuppressError", [] { return TextVariant(L"False"); }, S_OK,
       [] { return BoolVariant(false); }},
      // 16-bit integers: the whole range, text coerced, out of range refused
      // with the old value kept.
      {L"Decimals", [] { return ShortVariant(-32768); }, S_OK, [] { return ShortVariant(-32768); }},
      {L"Decimals", [] { return LongVariant(32767); }, S_OK, [] { return ShortVariant(32767); }},
      {L"Decimals", [] { return TextVariant(L"7"); }, S_OK, [] { return ShortVariant(7); }},
      {L"Decimals", [] { return LongVariant(40000); }, DISP_E_OVERFLOW,
       [] { return ShortVariant(7); }},
      {L"Decimals", [] { return TextVariant(L"seven"); }, DISP_E_TYPEMISMATCH,
       [] { return ShortVariant(7); }},
      // Texts: UTF-16 in and out without loss, outside the BMP too.
      {L"TotalMassUnit", [] { return TextVariant(L""); }, S_OK, [] { return TextVariant(L""); }},
      {L"TotalMassUnit", [] { return TextVariant(L"Gr\u00FC\u00DFe \u03A9 \u2713 \U0001F600"); },
       S_OK, [] { return TextVariant(L"Gr\u00FC\u00DFe \u03A9 \u2713 \U0001F600"); }},
      {L"TotalMassUnit", [] { return TextVariant(std::wstring(L"a\0b", 3)); }, S_OK,
       [] { return TextVariant(std::wstring(L"a\0b", 3)); }},
      {L"TotalMassUnit", [] { return LongVariant(12); }, S_OK, [] { return TextVariant(L"12"); }},
      // An unpaired surrogate is not text: it becomes the replacement character.
      {L"TotalMassUnit", [] { return TextVariant(L"x\xD800y"); }, S_OK,
       [] { return TextVariant(L"x\xFFFDy"); }},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const RoundTrip& test = cases[i];
    SCOPED_TRACE(::testing::Message()
                 << "case " << i << ", " << ::testing::PrintToString(test.property));
    Variant value = test.put();
    EXPECT_HR(PutByName(object_.Get(), test.property, value.Get()), test.putResult);
    EXPECT_TRUE(SameValue(GetByName(object_.Get(), test.property), test.expected()));
  }
}

TEST_F(Properties, WorkThroughTheVtable) {
  // An early-bound client calls the slots directly.
  ComPtr<_clsVantelo> direct;
  ASSERT_OK(object_->QueryInterface(IID__clsVantelo, direct.PutVoid()));
  EXPECT_OK(direct->put_EnableViewScale(1)); // not VARIANT_TRUE, still true
  VARIANT_BOOL flag = VARIANT_FALSE;
  EXPECT_OK(direct->get_EnableViewScale(&flag));
  EXPECT_EQ(flag, VARIANT_TRUE);
  EXPECT_OK(direct->put_SpaceBeforeMassUnit(-5));
  SHORT number = 0;
  EXPECT_OK(direct->get_SpaceBeforeMassUnit(&number));
  EXPECT_EQ(number, -5);
  EXPECT_OK(direct->put_QuantityColumnName(nullptr)); // a null BSTR is the empty text
  Bstr text;
  EXPECT_OK(direct->get_QuantityColumnName(text.Put()));
  EXPECT_NE(text.Get(), nullptr);
  EXPECT_EQ(text.Length(), 0u);
  EXPECT_HR(direct->get_QuantityColumnName(nullptr), E_POINTER);
}

// The core's own table of its members (used by the settings load) agrees
// with the class interface: same names, dispatch ids and types.
TEST_F(Properties, AgreeWithTheCoresTableOfMembers) {
  const auto members = vantelo::ClassMembers();
  EXPECT_EQ(members.size(), ClassSettings().size());
  for (const vantelo::MemberInfo& member : members) {
    SCOPED_TRACE(member.name);
    const std::wstring name = comhost::Wide(std::string(member.name));
    EXPECT_EQ(DispidOf(object_.Get(), name.c_str()), static_cast<DISPID>(member.dispatchId));
    const VARTYPE expected = member.type == vantelo::MemberType::Boolean   ? VT_BOOL
                             : member.type == vantelo::MemberType::Integer ? VT_I2
                                                                           : VT_BSTR;
    EXPECT_EQ(GetByName(object_.Get(), name.c_str()).Type(), expected);
  }
}

} // namespace

} // namespace vtest
