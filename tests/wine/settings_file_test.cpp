// GetFromINI and AddToINI on real files, called by name as a macro calls
// them: the texts passed by reference and written back, the text result and
// the Boolean result, the bytes that land in the file.
#include "check.h"
#include "com/idl/Vantelo_h.h"
#include "test_groups.h"
#include "test_support.h"

#include <oleauto.h>

#include <array>
#include <string>

namespace vtest {

namespace {

// The four texts of a call, held in the caller's variables.
struct IniCall {
  std::array<BSTR, 4> texts = {};
  DispatchResult result;

  IniCall() = default;
  IniCall(const IniCall&) = delete;
  IniCall& operator=(const IniCall&) = delete;
  ~IniCall() {
    for (BSTR text : texts)
      SysFreeString(text);
  }
  std::wstring text(std::size_t i) const { return std::wstring(texts[i], SysStringLen(texts[i])); }
};

// Calls `method` with the four texts by reference (VT_BSTR | VT_BYREF), as
// Visual Basic passes variables.
void callByReference(IDispatch* object, const wchar_t* method, IniCall& call,
                     const std::array<std::wstring, 4>& texts) {
  std::array<Variant, 4> arguments;
  for (std::size_t i = 0; i < 4; ++i) {
    call.texts[i] = Bstr(texts[i]).detach();
    V_VT(arguments[i].get()) = VT_BSTR | VT_BYREF;
    V_BSTRREF(arguments[i].get()) = &call.texts[i];
  }
  call.result = invokeByName(
      object, method, DISPATCH_METHOD,
      {arguments[0].get(), arguments[1].get(), arguments[2].get(), arguments[3].get()});
}

std::wstring ansiRoundTrip(const std::wstring& text) {
  char bytes[512] = {};
  const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(),
                                       static_cast<int>(text.size()), bytes, 512, nullptr, nullptr);
  wchar_t back[512] = {};
  const int length = MultiByteToWideChar(CP_ACP, 0, bytes, size, back, 512);
  return std::wstring(back, static_cast<std::size_t>(length));
}

void writeThenRead(IDispatch* object, const ScratchDirectory& scratch) {
  const std::wstring file = scratch.file(L"write.ini");
  IniCall add;
  callByReference(object, L"AddToINI", add, {L"Global Options", L"EnableTimeStamp", L"True", file});
  CHECK_OK(add.result.hr);
  CHECK_EQ(add.result.value.type(), VT_BOOL);
  CHECK_EQ(V_BOOL(add.result.value.get()), VARIANT_TRUE);
  CHECK_EQ(readFileBytes(file), std::string("[Global Options]\r\nEnableTimeStamp=True\r\n"));

  IniCall read;
  callByReference(object, L"GetFromINI", read,
                  {L"global options", L"ENABLETIMESTAMP", L"False", file});
  CHECK_OK(read.result.hr);
  CHECK_EQ(read.result.value.type(), VT_BSTR);
  CHECK_EQ(variantText(read.result.value.get()), std::wstring(L"True"));
}

void missingKeys(IDispatch* object, const ScratchDirectory& scratch) {
  // An empty default leaves a missing file missing.
  const std::wstring file = scratch.file(L"missing.ini");
  IniCall empty;
  callByReference(object, L"GetFromINI", empty, {L"View Scale Options", L"Key", L"", file});
  CHECK_OK(empty.result.hr);
  CHECK_EQ(variantText(empty.result.value.get()), std::wstring());
  CHECK(!fileExists(file));
  // A default is returned and written.
  IniCall withDefault;
  callByReference(object, L"GetFromINI", withDefault,
                  {L"View Scale Options", L"HowToDisplayFirstViewScale", L"X:Y", file});
  CHECK_OK(withDefault.result.hr);
  CHECK_EQ(variantText(withDefault.result.value.get()), std::wstring(L"X:Y"));
  CHECK_EQ(readFileBytes(file),
           std::string("[View Scale Options]\r\nHowToDisplayFirstViewScale=X:Y\r\n"));
}

void textsComeBackThroughTheCodePage(IDispatch* object, const ScratchDirectory& scratch) {
  const std::wstring file = scratch.file(L"codepage.ini");
  const std::wstring section = L"Sekti\u00F6n \u03A9";
  const std::wstring value = L"\u00C4rger \u4E2D";
  IniCall add;
  callByReference(object, L"AddToINI", add, {section, L"Key", value, file});
  CHECK_OK(add.result.hr);
  // Each text now holds what the file saw.
  CHECK_EQ(add.text(0), ansiRoundTrip(section));
  CHECK_EQ(add.text(1), std::wstring(L"Key"));
  CHECK_EQ(add.text(2), ansiRoundTrip(value));
  CHECK_EQ(add.text(3), file);

  IniCall read;
  callByReference(object, L"GetFromINI", read, {section, L"Key", L"", file});
  CHECK_EQ(variantText(read.result.value.get()), ansiRoundTrip(value));
}

void literalsByValue(IDispatch* object, const ScratchDirectory& scratch) {
  // A script passes literals by value; they are accepted all the same.
  const std::wstring file = scratch.file(L"literal.ini");
  Variant section = textVariant(L"S");
  Variant key = textVariant(L"K");
  Variant value = textVariant(L"V");
  Variant path = textVariant(file);
  DispatchResult add = invokeByName(object, L"AddToINI", DISPATCH_METHOD,
                                    {section.get(), key.get(), value.get(), path.get()});
  CHECK_OK(add.hr);
  CHECK_EQ(readFileBytes(file), std::string("[S]\r\nK=V\r\n"));
}

void unwritableFile(IDispatch* object, const ScratchDirectory& scratch) {
  const std::wstring file = scratch.file(L"no such directory\\settings.ini");
  IniCall add;
  callByReference(object, L"AddToINI", add, {L"S", L"K", L"V", file});
  // A refused write is a false result, not an error.
  CHECK_OK(add.result.hr);
  CHECK_EQ(V_BOOL(add.result.value.get()), VARIANT_FALSE);
}

void longValuesAreCut(IDispatch* object, const ScratchDirectory& scratch) {
  const std::wstring file = scratch.file(L"long.ini");
  const std::wstring value(300, L'v');
  IniCall add;
  callByReference(object, L"AddToINI", add, {L"S", L"K", value, file});
  IniCall read;
  callByReference(object, L"GetFromINI", read, {L"S", L"K", L"", file});
  CHECK_EQ(variantText(read.result.value.get()), std::wstring(254, L'v'));
}

void missingPointers(IDispatch* object) {
  ComPtr<_clsVantelo> direct;
  CHECK_OK(object->QueryInterface(IID__clsVantelo, direct.putVoid()));
  if (!direct)
    return;
  BSTR section = nullptr;
  VARIANT result;
  CHECK_HR(direct->GetFromINI(&section, nullptr, nullptr, nullptr, &result), E_POINTER);
  CHECK_EQ(V_VT(&result), VT_EMPTY);
  VARIANT_BOOL written = VARIANT_TRUE;
  CHECK_HR(direct->AddToINI(nullptr, nullptr, nullptr, nullptr, &written), E_POINTER);
  CHECK_EQ(written, VARIANT_FALSE);
}

} // namespace

void settingsFileTests(const Environment& environment) {
  RegisteredModule registered(environment);
  ComPtr<IDispatch> object = createByProgId();
  if (!object)
    return;
  ScratchDirectory scratch;
  writeThenRead(object.get(), scratch);
  missingKeys(object.get(), scratch);
  textsComeBackThroughTheCodePage(object.get(), scratch);
  literalsByValue(object.get(), scratch);
  unwritableFile(object.get(), scratch);
  longValuesAreCut(object.get(), scratch);
  missingPointers(object.get());
}

} // namespace vtest
