// The module's type library, member by member: library identity, the class
// interface's flags, every slot's name, dispatch id, kind, vtable position,
// parameters and types, the creatable class, and that the library holds none
// of the host's interfaces.
#include "class_interface_table.h"
#include "com/idl/Vantelo_h.h"
#include "com/idl/inventor_standin_h.h"
#include "test_support.h"

#include <oleauto.h>

#include <map>
#include <string>
#include <vector>

namespace vtest {

namespace {

struct Parameter {
  std::wstring name;
  std::wstring type; // "BSTR", "BSTR*", "short", "VARIANT_BOOL*", ...
  USHORT flags;
};

struct Slot {
  std::wstring name;
  DISPID id;
  INVOKEKIND kind;
  std::vector<Parameter> parameters;
};

std::vector<Slot> ExpectedSlots() {
  std::vector<Slot> slots;
  const USHORT in = PARAMFLAG_FIN;
  const USHORT inOut = PARAMFLAG_FIN | PARAMFLAG_FOUT;
  const USHORT retval = PARAMFLAG_FOUT | PARAMFLAG_FRETVAL;
  const auto& settings = ClassSettings();
  for (std::size_t i = 0; i < settings.size(); ++i) {
    const std::wstring type = settings[i].kind == SettingKind::Boolean   ? L"VARIANT_BOOL"
                              : settings[i].kind == SettingKind::Integer ? L"short"
                                                                         : L"BSTR";
    slots.push_back({settings[i].name,
                     SettingDispid(i),
                     INVOKE_PROPERTYGET,
                     {{settings[i].name, type + L"*", retval}}});
    slots.push_back(
        {settings[i].name, SettingDispid(i), INVOKE_PROPERTYPUT, {{settings[i].name, type, in}}});
  }
  slots.push_back({L"Mass_Volume", 0x60030006, INVOKE_FUNC, {}});
  slots.push_back({L"SheetMetal_Style", 0x60030007, INVOKE_FUNC, {}});
  slots.push_back({L"PaperSize", 0x60030008, INVOKE_FUNC, {}});
  slots.push_back({L"TimeStamp", 0x60030009, INVOKE_FUNC, {}});
  slots.push_back({L"GetFromINI",
                   0x6003000D,
                   INVOKE_FUNC,
                   {{L"sSection", L"BSTR*", inOut},
                    {L"sKey", L"BSTR*", inOut},
                    {L"sDefault", L"BSTR*", inOut},
                    {L"sIniFile", L"BSTR*", inOut},
                    {L"GetFromINI", L"VARIANT*", retval}}});
  slots.push_back({L"AddToINI",
                   0x6003000E,
                   INVOKE_FUNC,
                   {{L"sSection", L"BSTR*", inOut},
                    {L"sKey", L"BSTR*", inOut},
                    {L"sValue", L"BSTR*", inOut},
                    {L"sIniFile", L"BSTR*", inOut},
                    {L"AddToINI", L"VARIANT_BOOL*", retval}}});
  slots.push_back({L"UpdateTotalMassInPartsList", 0x6003000F, INVOKE_FUNC, {}});
  return slots;
}

std::wstring TypeText(const TYPEDESC& type) {
  switch (type.vt) {
  case VT_PTR:
    return TypeText(*type.lptdesc) + L"*";
  case VT_BOOL:
    return L"VARIANT_BOOL";
  case VT_I2:
    return L"short";
  case VT_I4:
    return L"long";
  case VT_BSTR:
    return L"BSTR";
  case VT_VARIANT:
    return L"VARIANT";
  case VT_HRESULT:
    return L"HRESULT";
  default:
    return L"vt" + std::to_wstring(type.vt);
  }
}

std::wstring DocumentedName(ITypeInfo* info, MEMBERID member = MEMBERID_NIL) {
  Bstr name;
  info->GetDocumentation(member, name.Put(), nullptr, nullptr, nullptr);
  return name.Get() ? name.Get() : L"";
}

void ExpectSlot(ITypeInfo* info, UINT index, const Slot& expected) {
  FUNCDESC* function = nullptr;
  ASSERT_OK(info->GetFuncDesc(index, &function));
  EXPECT_EQ(function->memid, expected.id);
  EXPECT_EQ(function->invkind, expected.kind);
  EXPECT_EQ(function->funckind, FUNC_PUREVIRTUAL);
  EXPECT_EQ(function->callconv, CC_STDCALL);
  // After IUnknown's three and IDispatch's four slots.
  EXPECT_EQ(function->oVft, static_cast<SHORT>((7 + index) * sizeof(void*)));
  EXPECT_EQ(function->elemdescFunc.tdesc.vt, VT_HRESULT);
  EXPECT_EQ(function->cParams, static_cast<SHORT>(expected.parameters.size()));
  EXPECT_EQ(DocumentedName(info, function->memid), expected.name);

  for (SHORT p = 0; p < function->cParams && p < static_cast<SHORT>(expected.parameters.size());
       ++p) {
    SCOPED_TRACE("parameter " + std::to_string(p));
    const ELEMDESC& parameter = function->lprgelemdescParam[p];
    const Parameter& want = expected.parameters[static_cast<std::size_t>(p)];
    EXPECT_EQ(TypeText(parameter.tdesc), want.type);
    EXPECT_EQ(parameter.paramdesc.wParamFlags &
                  (PARAMFLAG_FIN | PARAMFLAG_FOUT | PARAMFLAG_FRETVAL),
              want.flags);
  }
  info->ReleaseFuncDesc(function);
}

// The names of a method's parameters, as a client passing named arguments
// sees them.
void ExpectParameterNames(ITypeInfo* info, const Slot& expected) {
  if (expected.kind != INVOKE_FUNC || expected.parameters.empty())
    return;
  BSTR names[8] = {};
  UINT count = 0;
  EXPECT_OK(info->GetNames(expected.id, names, 8, &count));
  for (UINT i = 1; i < count && i - 1 < expected.parameters.size(); ++i)
    EXPECT_EQ(std::wstring(names[i] ? names[i] : L""), expected.parameters[i - 1].name);
  EXPECT_EQ(count, static_cast<UINT>(expected.parameters.size()) + 1);
  for (UINT i = 0; i < count; ++i)
    SysFreeString(names[i]);
}

// The library as resource 1 of the module.
class TypeLibrary : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_OK(LoadTypeLibEx(ModulePath().c_str(), REGKIND_NONE, library_.Put()));
  }

  ComPtr<ITypeLib> library_;
};

TEST_F(TypeLibrary, IsVanteloVersionOneZeroLanguageNeutral) {
  TLIBATTR* attributes = nullptr;
  ASSERT_OK(library_->GetLibAttr(&attributes));
  EXPECT_TRUE(attributes->guid == LIBID_Vantelo);
  EXPECT_EQ(attributes->wMajorVerNum, 1);
  EXPECT_EQ(attributes->wMinorVerNum, 0);
  EXPECT_EQ(attributes->lcid, 0ul);
  library_->ReleaseTLibAttr(attributes);
  Bstr name;
  library_->GetDocumentation(-1, name.Put(), nullptr, nullptr, nullptr);
  EXPECT_EQ(std::wstring(name.Get() ? name.Get() : L""), L"Vantelo");
}

TEST_F(TypeLibrary, HoldsOnlyItsOwnTypes) {
  // Exactly the class interface and the class: nothing of the host's.
  EXPECT_EQ(library_->GetTypeInfoCount(), 2u);
  ComPtr<ITypeInfo> hostInterface;
  EXPECT_HR(library_->GetTypeInfoOfGuid(IID_ApplicationAddInServer, hostInterface.Put()),
            TYPE_E_ELEMENTNOTFOUND);
  for (UINT i = 0; i < library_->GetTypeInfoCount(); ++i) {
    ComPtr<ITypeInfo> info;
    library_->GetTypeInfo(i, info.Put());
    TYPEATTR* attributes = nullptr;
    if (!info || FAILED(info->GetTypeAttr(&attributes)))
      continue;
    EXPECT_TRUE(attributes->guid == IID__clsVantelo || attributes->guid == CLSID_clsVantelo);
    info->ReleaseTypeAttr(attributes);
  }
}

TEST_F(TypeLibrary, ClassInterfaceIsDualWithEverySlotInOrder) {
  ComPtr<ITypeInfo> dispatch;
  ASSERT_OK(library_->GetTypeInfoOfGuid(IID__clsVantelo, dispatch.Put()));
  EXPECT_EQ(DocumentedName(dispatch.Get()), L"_clsVantelo");
  TYPEATTR* attributes = nullptr;
  ASSERT_OK(dispatch->GetTypeAttr(&attributes));
  EXPECT_EQ(attributes->typekind, TKIND_DISPATCH);
  WORD wanted =
      TYPEFLAG_FHIDDEN | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FDUAL | TYPEFLAG_FDISPATCHABLE;
  EXPECT_EQ(attributes->wTypeFlags & wanted, wanted);
  dispatch->ReleaseTypeAttr(attributes);

  HREFTYPE vtableRef = 0;
  ComPtr<ITypeInfo> vtable;
  ASSERT_OK(dispatch->GetRefTypeOfImplType(static_cast<UINT>(-1), &vtableRef));
  ASSERT_OK(dispatch->GetRefTypeInfo(vtableRef, vtable.Put()));
  // Derived directly from IDispatch.
  HREFTYPE baseRef = 0;
  ComPtr<ITypeInfo> base;
  EXPECT_OK(vtable->GetRefTypeOfImplType(0, &baseRef));
  ASSERT_OK(vtable->GetRefTypeInfo(baseRef, base.Put()));
  EXPECT_EQ(DocumentedName(base.Get()), L"IDispatch");

  const std::vector<Slot> slots = ExpectedSlots();
  ASSERT_OK(vtable->GetTypeAttr(&attributes));
  EXPECT_EQ(attributes->typekind, TKIND_INTERFACE);
  wanted = TYPEFLAG_FHIDDEN | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDUAL;
  EXPECT_EQ(attributes->wTypeFlags & wanted, wanted);
  EXPECT_EQ(attributes->cFuncs, static_cast<WORD>(slots.size()));
  vtable->ReleaseTypeAttr(attributes);
  for (UINT i = 0; i < slots.size(); ++i) {
    SCOPED_TRACE(::testing::Message()
                 << "slot " << i << " " << ::testing::PrintToString(slots[i].name));
    ExpectSlot(vtable.Get(), i, slots[i]);
    ExpectParameterNames(vtable.Get(), slots[i]);
  }
}

// The macro editor's object browser shows a member's description: every
// member has one line of its own, whether read through the dispatch
// interface or the vtable interface. A property's get and put share the
// dispatch id by which the description is looked up (the IDL gives both the
// same text).
TEST_F(TypeLibrary, EveryMemberHasADescriptionOfOneLine) {
  ComPtr<ITypeInfo> dispatch, vtable;
  ASSERT_OK(library_->GetTypeInfoOfGuid(IID__clsVantelo, dispatch.Put()));
  HREFTYPE vtableRef = 0;
  ASSERT_OK(dispatch->GetRefTypeOfImplType(static_cast<UINT>(-1), &vtableRef));
  ASSERT_OK(dispatch->GetRefTypeInfo(vtableRef, vtable.Put()));
  for (ITypeInfo* info : {dispatch.Get(), vtable.Get()}) {
    TYPEATTR* attributes = nullptr;
    ASSERT_OK(info->GetTypeAttr(&attributes));
    const WORD count = attributes->cFuncs;
    info->ReleaseTypeAttr(attributes);
    std::map<std::wstring, MEMBERID> owners; // each description's member
    UINT members = 0;
    for (UINT i = 0; i < count; ++i) {
      FUNCDESC* function = nullptr;
      ASSERT_OK(info->GetFuncDesc(i, &function));
      const MEMBERID member = function->memid;
      const bool restricted = function->wFuncFlags & FUNCFLAG_FRESTRICTED;
      info->ReleaseFuncDesc(function);
      if (restricted) // IUnknown's and IDispatch's own, in the dispatch interface
        continue;
      ++members;
      Bstr name, description;
      EXPECT_OK(info->GetDocumentation(member, name.Put(), description.Put(), nullptr, nullptr));
      const std::wstring text = description.Get() ? description.Get() : L"";
      SCOPED_TRACE(::testing::PrintToString(std::wstring(name.Get() ? name.Get() : L"")));
      EXPECT_GE(text.size(), 20u) << ::testing::PrintToString(text);
      EXPECT_EQ(text.find_first_of(L"\r\n"), std::wstring::npos) << ::testing::PrintToString(text);
      const auto [owner, fresh] = owners.emplace(text, member);
      EXPECT_TRUE(fresh || owner->second == member)
          << "the same description as member " << std::hex << owner->second;
    }
    EXPECT_EQ(members, 75u);
  }
}

TEST_F(TypeLibrary, ClassIsCreatableWithItsDefaultInterfaceOnly) {
  ComPtr<ITypeInfo> coclass;
  ASSERT_OK(library_->GetTypeInfoOfGuid(CLSID_clsVantelo, coclass.Put()));
  EXPECT_EQ(DocumentedName(coclass.Get()), L"clsVantelo");
  TYPEATTR* attributes = nullptr;
  ASSERT_OK(coclass->GetTypeAttr(&attributes));
  EXPECT_EQ(attributes->typekind, TKIND_COCLASS);
  EXPECT_TRUE(attributes->wTypeFlags & TYPEFLAG_FCANCREATE);
  // Only the default interface: the host's add-in server interface is
  // answered by the object, never copied into this library.
  EXPECT_EQ(attributes->cImplTypes, 1);
  coclass->ReleaseTypeAttr(attributes);
  INT flags = 0;
  EXPECT_OK(coclass->GetImplTypeFlags(0, &flags));
  EXPECT_TRUE(flags & IMPLTYPEFLAG_FDEFAULT);
  HREFTYPE ref = 0;
  ComPtr<ITypeInfo> implemented;
  EXPECT_OK(coclass->GetRefTypeOfImplType(0, &ref));
  ASSERT_OK(coclass->GetRefTypeInfo(ref, implemented.Put()));
  EXPECT_EQ(DocumentedName(implemented.Get()), L"_clsVantelo");
}

} // namespace

} // namespace vtest
