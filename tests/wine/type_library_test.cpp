// The module's type library, member by member: library identity, the class
// interface's flags, every slot's name, dispatch id, kind, vtable position,
// parameters and types, the creatable class, and that the library holds none
// of the host's interfaces.
#include "check.h"
#include "class_interface_table.h"
#include "com/idl/Vantelo_h.h"
#include "com/idl/inventor_standin_h.h"
#include "test_groups.h"
#include "test_support.h"

#include <oleauto.h>

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

std::vector<Slot> expectedSlots() {
  std::vector<Slot> slots;
  const USHORT in = PARAMFLAG_FIN;
  const USHORT inOut = PARAMFLAG_FIN | PARAMFLAG_FOUT;
  const USHORT retval = PARAMFLAG_FOUT | PARAMFLAG_FRETVAL;
  const auto& settings = classSettings();
  for (std::size_t i = 0; i < settings.size(); ++i) {
    const std::wstring type = settings[i].kind == SettingKind::Boolean   ? L"VARIANT_BOOL"
                              : settings[i].kind == SettingKind::Integer ? L"short"
                                                                         : L"BSTR";
    slots.push_back({settings[i].name,
                     settingDispid(i),
                     INVOKE_PROPERTYGET,
                     {{settings[i].name, type + L"*", retval}}});
    slots.push_back(
        {settings[i].name, settingDispid(i), INVOKE_PROPERTYPUT, {{settings[i].name, type, in}}});
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

std::wstring typeText(const TYPEDESC& type) {
  switch (type.vt) {
  case VT_PTR:
    return typeText(*type.lptdesc) + L"*";
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

std::wstring typeName(ITypeInfo* info) {
  Bstr name;
  info->GetDocumentation(MEMBERID_NIL, name.put(), nullptr, nullptr, nullptr);
  return name.get() ? name.get() : L"";
}

void checkSlot(ITypeInfo* info, UINT index, const Slot& expected) {
  FUNCDESC* function = nullptr;
  if (!CHECK(SUCCEEDED(info->GetFuncDesc(index, &function))))
    return;
  const std::string where = "slot " + std::to_string(index) + " " + describe(expected.name);
  auto check = [&](bool ok, const char* what) {
    if (!ok)
      reportFailure(__FILE__, __LINE__, where + ": " + what);
  };
  check(function->memid == expected.id, "dispatch id");
  check(function->invkind == expected.kind, "invoke kind");
  check(function->funckind == FUNC_PUREVIRTUAL, "function kind");
  check(function->callconv == CC_STDCALL, "calling convention");
  // After IUnknown's three and IDispatch's four slots.
  check(function->oVft == static_cast<SHORT>((7 + index) * sizeof(void*)), "vtable position");
  check(function->elemdescFunc.tdesc.vt == VT_HRESULT, "returns an HRESULT");
  check(function->cParams == static_cast<SHORT>(expected.parameters.size()), "parameter count");

  Bstr name;
  info->GetDocumentation(function->memid, name.put(), nullptr, nullptr, nullptr);
  check(expected.name == (name.get() ? name.get() : L""), "name");

  for (SHORT p = 0; p < function->cParams && p < static_cast<SHORT>(expected.parameters.size());
       ++p) {
    const ELEMDESC& parameter = function->lprgelemdescParam[p];
    const Parameter& want = expected.parameters[static_cast<std::size_t>(p)];
    if (typeText(parameter.tdesc) != want.type)
      reportFailure(__FILE__, __LINE__,
                    where + ": parameter " + std::to_string(p) + " type " +
                        describe(typeText(parameter.tdesc)) + ", expected " + describe(want.type));
    const USHORT flags =
        parameter.paramdesc.wParamFlags & (PARAMFLAG_FIN | PARAMFLAG_FOUT | PARAMFLAG_FRETVAL);
    if (flags != want.flags)
      reportFailure(__FILE__, __LINE__,
                    where + ": parameter " + std::to_string(p) + " flags " + std::to_string(flags) +
                        ", expected " + std::to_string(want.flags));
  }
  info->ReleaseFuncDesc(function);
}

// The names of a method's parameters, as a client passing named arguments
// sees them.
void checkParameterNames(ITypeInfo* info, const Slot& expected) {
  if (expected.kind != INVOKE_FUNC || expected.parameters.empty())
    return;
  BSTR names[8] = {};
  UINT count = 0;
  CHECK_OK(info->GetNames(expected.id, names, 8, &count));
  for (UINT i = 1; i < count && i - 1 < expected.parameters.size(); ++i)
    CHECK_EQ(std::wstring(names[i] ? names[i] : L""), expected.parameters[i - 1].name);
  CHECK_EQ(count, static_cast<UINT>(expected.parameters.size()) + 1);
  for (UINT i = 0; i < count; ++i)
    SysFreeString(names[i]);
}

void libraryIdentity(ITypeLib* library) {
  TLIBATTR* attributes = nullptr;
  if (!CHECK(SUCCEEDED(library->GetLibAttr(&attributes))))
    return;
  CHECK(attributes->guid == LIBID_Vantelo);
  CHECK_EQ(attributes->wMajorVerNum, 1);
  CHECK_EQ(attributes->wMinorVerNum, 0);
  CHECK_EQ(attributes->lcid, 0ul);
  library->ReleaseTLibAttr(attributes);
  Bstr name;
  library->GetDocumentation(-1, name.put(), nullptr, nullptr, nullptr);
  CHECK_EQ(std::wstring(name.get() ? name.get() : L""), std::wstring(L"Vantelo"));
}

void holdsOnlyItsOwnTypes(ITypeLib* library) {
  // Exactly the class interface and the class: nothing of the host's.
  CHECK_EQ(library->GetTypeInfoCount(), 2u);
  ComPtr<ITypeInfo> hostInterface;
  CHECK_HR(library->GetTypeInfoOfGuid(IID_ApplicationAddInServer, hostInterface.put()),
           TYPE_E_ELEMENTNOTFOUND);
  for (UINT i = 0; i < library->GetTypeInfoCount(); ++i) {
    ComPtr<ITypeInfo> info;
    library->GetTypeInfo(i, info.put());
    TYPEATTR* attributes = nullptr;
    if (!info || FAILED(info->GetTypeAttr(&attributes)))
      continue;
    CHECK(attributes->guid == IID__clsVantelo || attributes->guid == CLSID_clsVantelo);
    info->ReleaseTypeAttr(attributes);
  }
}

void classInterface(ITypeLib* library) {
  ComPtr<ITypeInfo> dispatch;
  if (!CHECK(SUCCEEDED(library->GetTypeInfoOfGuid(IID__clsVantelo, dispatch.put()))))
    return;
  CHECK_EQ(typeName(dispatch.get()), std::wstring(L"_clsVantelo"));
  TYPEATTR* attributes = nullptr;
  CHECK_OK(dispatch->GetTypeAttr(&attributes));
  if (attributes) {
    CHECK_EQ(attributes->typekind, TKIND_DISPATCH);
    const WORD wanted =
        TYPEFLAG_FHIDDEN | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FDUAL | TYPEFLAG_FDISPATCHABLE;
    CHECK_EQ(attributes->wTypeFlags & wanted, wanted);
    dispatch->ReleaseTypeAttr(attributes);
  }

  HREFTYPE vtableRef = 0;
  ComPtr<ITypeInfo> vtable;
  CHECK_OK(dispatch->GetRefTypeOfImplType(static_cast<UINT>(-1), &vtableRef));
  CHECK_OK(dispatch->GetRefTypeInfo(vtableRef, vtable.put()));
  if (!vtable)
    return;
  // Derived directly from IDispatch.
  HREFTYPE baseRef = 0;
  ComPtr<ITypeInfo> base;
  CHECK_OK(vtable->GetRefTypeOfImplType(0, &baseRef));
  CHECK_OK(vtable->GetRefTypeInfo(baseRef, base.put()));
  if (base)
    CHECK_EQ(typeName(base.get()), std::wstring(L"IDispatch"));

  const std::vector<Slot> slots = expectedSlots();
  CHECK_OK(vtable->GetTypeAttr(&attributes));
  if (attributes) {
    CHECK_EQ(attributes->typekind, TKIND_INTERFACE);
    const WORD wanted =
        TYPEFLAG_FHIDDEN | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDUAL;
    CHECK_EQ(attributes->wTypeFlags & wanted, wanted);
    CHECK_EQ(attributes->cFuncs, static_cast<WORD>(slots.size()));
    vtable->ReleaseTypeAttr(attributes);
  }
  for (UINT i = 0; i < slots.size(); ++i) {
    checkSlot(vtable.get(), i, slots[i]);
    checkParameterNames(vtable.get(), slots[i]);
  }
}

void creatableClass(ITypeLib* library) {
  ComPtr<ITypeInfo> coclass;
  if (!CHECK(SUCCEEDED(library->GetTypeInfoOfGuid(CLSID_clsVantelo, coclass.put()))))
    return;
  CHECK_EQ(typeName(coclass.get()), std::wstring(L"clsVantelo"));
  TYPEATTR* attributes = nullptr;
  CHECK_OK(coclass->GetTypeAttr(&attributes));
  if (!attributes)
    return;
  CHECK_EQ(attributes->typekind, TKIND_COCLASS);
  CHECK(attributes->wTypeFlags & TYPEFLAG_FCANCREATE);
  // Only the default interface: the host's add-in server interface is
  // answered by the object, never copied into this library.
  CHECK_EQ(attributes->cImplTypes, 1);
  coclass->ReleaseTypeAttr(attributes);
  INT flags = 0;
  CHECK_OK(coclass->GetImplTypeFlags(0, &flags));
  CHECK(flags & IMPLTYPEFLAG_FDEFAULT);
  HREFTYPE ref = 0;
  ComPtr<ITypeInfo> implemented;
  CHECK_OK(coclass->GetRefTypeOfImplType(0, &ref));
  CHECK_OK(coclass->GetRefTypeInfo(ref, implemented.put()));
  if (implemented)
    CHECK_EQ(typeName(implemented.get()), std::wstring(L"_clsVantelo"));
}

} // namespace

void typeLibraryTests(const Environment& environment) {
  ComPtr<ITypeLib> library;
  // Resource 1 of the module.
  if (!CHECK(SUCCEEDED(LoadTypeLibEx(environment.module.c_str(), REGKIND_NONE, library.put()))))
    return;
  libraryIdentity(library.get());
  holdsOnlyItsOwnTypes(library.get());
  classInterface(library.get());
  creatableClass(library.get());
}

} // namespace vtest
