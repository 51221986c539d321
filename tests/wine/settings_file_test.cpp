// GetFromINI and AddToINI on real files, called by name as a macro calls
// them: the texts passed by reference and written back, the text result and
// the Boolean result, the bytes that land in the file.
#include "com/idl/Vantelo_h.h"
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
  std::wstring Text(std::size_t i) const { return std::wstring(texts[i], SysStringLen(texts[i])); }
};

class SettingsFile : public RegisteredObjectTest {
protected:
  ScratchDirectory scratch_;
};

// Calls `method` with the four texts by reference (VT_BSTR | VT_BYREF), as
// Visual Basic passes variables.
void CallByReference(IDispatch* object, const wchar_t* method, IniCall& call,
                     const std::array<std::wstring, 4>& texts) {
  std::array<Variant, 4> arguments;
  for (std::size_t i = 0; i < 4; ++i) {
    call.texts[i] = Bstr(texts[i]).Detach();
    V_VT(arguments[i].Get()) = VT_BSTR | VT_BYREF;
    V_BSTRREF(arguments[i].Get()) = &call.texts[i];
  }
  call.result = InvokeByName(
      object, method, DISPATCH_METHOD,
      {arguments[0].Get(), arguments[1].Get(), arguments[2].Get(), arguments[3].Get()});
}

std::wstring AnsiRoundTrip(const std::wstring& text) {
  char bytes[512] = {};
  const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(),
                                       static_cast<int>(text.size()), bytes, 512, nullptr, nullptr);
  wchar_t back[512] = {};
  const int length = MultiByteToWideChar(CP_ACP, 0, bytes, size, back, 512);
  return std::wstring(back, static_cast<std::size_t>(length));
}

TEST_F(SettingsFile, AddToINIWritesAndGetFromINIReadsWithoutRegardToCase) {
  const std::wstring file = scratch_.File(L"write.ini");
  IniCall add;
  CallByReference(object_.Get(), L"AddToINI", add,
                  {L"Global Options", L"EnableTimeStamp", L"True", file});
  EXPECT_OK(add.result.hr);
  EXPECT_EQ(add.result.value.Type(), VT_BOOL);
  EXPECT_EQ(V_BOOL(add.result.value.Get()), VARIANT_TRUE);
  EXPECT_EQ(ReadFileBytes(file), std::string("[Global Options]\r\nEnableTimeStamp=True\r\n"));

  IniCall read;
  CallByReference(object_.Get(), L"GetFromINI", read,
                  {L"global options", L"ENABLETIMESTAMP", L"False", file});
  EXPECT_OK(read.result.hr);
  EXPECT_EQ(read.result.value.Type(), VT_BSTR);
  EXPECT_EQ(VariantText(read.result.value.Get()), std::wstring(L"True"));
}

TEST_F(SettingsFile, GetFromINIWritesAMissingKeysDefault) {
  // An empty default leaves a missing file missing.
  const std::wstring file = scratch_.File(L"missing.ini");
  IniCall empty;
  CallByReference(object_.Get(), L"GetFromINI", empty, {L"View Scale Options", L"Key", L"", file});
  EXPECT_OK(empty.result.hr);
  EXPECT_EQ(VariantText(empty.result.value.Get()), std::wstring());
  EXPECT_TRUE(!FileExists(file));
  // A default is returned and written.
  IniCall withDefault;
  CallByReference(object_.Get(), L"GetFromINI", withDefault,
                  {L"View Scale Options", L"HowToDisplayFirstViewScale", L"X:Y", file});
  EXPECT_OK(withDefault.result.hr);
  EXPECT_EQ(VariantText(withDefault.result.value.Get()), std::wstring(L"X:Y"));
  EXPECT_EQ(ReadFileBytes(file),
            std::string("[View Scale Options]\r\nHowToDisplayFirstViewScale=X:Y\r\n"));
}

TEST_F(SettingsFile, TextsComeBackAsTheFileSawThem) {
  const std::wstring file = scratch_.File(L"codepage.ini");
  const std::wstring section = L"Sekti\u00F6n \u03A9";
  const std::wstring value = L"\u00C4rger \u4E2D";
  IniCall add;
  CallByReference(object_.Get(), L"AddToINI", add, {section, L"Key", value, file});
  EXPECT_OK(add.result.hr);
  // Each text now holds what the file saw.
  EXPECT_EQ(add.Text(0), AnsiRoundTrip(section));
  EXPECT_EQ(add.Text(1), std::wstring(L"Key"));
  EXPECT_EQ(add.Text(2), AnsiRoundTrip(value));
  EXPECT_EQ(add.Text(3), file);

  IniCall read;
  CallByReference(object_.Get(), L"GetFromINI", read, {section, L"Key", L"", file});
  EXPECT_EQ(VariantText(read.result.value.Get()), AnsiRoundTrip(value));
}

TEST_F(SettingsFile, LiteralsPassedByValueAreAccepted) {
  // A script passes literals by value; they are accepted all the same.
  const std::wstring file = scratch_.File(L"literal.ini");
  Variant section = TextVariant(L"S");
  Variant key = TextVariant(L"K");
  Variant value = TextVariant(L"V");
  Variant path = TextVariant(file);
  DispatchResult add = InvokeByName(object_.Get(), L"AddToINI", DISPATCH_METHOD,
                                    {section.Get(), key.Get(), value.Get(), path.Get()});
  EXPECT_OK(add.hr);
  EXPECT_EQ(ReadFileBytes(file), std::string("[S]\r\nK=V\r\n"));
}

TEST_F(SettingsFile, AnUnwritableFileIsAFalseResultNotAnError) {
  const std::wstring file = scratch_.File(L"no such directory\\settings.ini");
  IniCall add;
  CallByReference(object_.Get(), L"AddToINI", add, {L"S", L"K", L"V", file});
  // A refused write is a false result, not an error.
  EXPECT_OK(add.result.hr);
  EXPECT_EQ(V_BOOL(add.result.value.Get()), VARIANT_FALSE);
}

// The profile functions would write a line break into the file verbatim, and
// the text after it would read as lines of its own (a setting the
// administrator never wrote): such texts are refused before they get there.
TEST_F(SettingsFile, LineBreaksAreRefusedAndNothingIsWritten) {
  const std::wstring file = scratch_.File(L"breaks.ini");
  IniCall first;
  CallByReference(object_.Get(), L"AddToINI", first, {L"S", L"K", L"old", file});
  const std::string before = ReadFileBytes(file);
  ASSERT_EQ(before, std::string("[S]\r\nK=old\r\n"));

  const struct {
    const wchar_t* section;
    const wchar_t* key;
    const wchar_t* value;
  } cases[] = {
      {L"S\r\nT", L"New", L"v"},
      {L"S", L"New\nKey", L"v"},
      {L"S", L"New", L"x\r\n[Global Options]\r\nEnableMassVolume=True"},
      {L"S", L"New", L"line1\rline2"},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(
        ::testing::PrintToString(std::wstring(test.section) + L"|" + test.key + L"|" + test.value));
    IniCall add;
    CallByReference(object_.Get(), L"AddToINI", add, {test.section, test.key, test.value, file});
    EXPECT_OK(add.result.hr);
    EXPECT_EQ(V_BOOL(add.result.value.Get()), VARIANT_FALSE);
    // The missing key's default is returned and not written back.
    IniCall read;
    CallByReference(object_.Get(), L"GetFromINI", read, {test.section, test.key, test.value, file});
    EXPECT_OK(read.result.hr);
    EXPECT_EQ(VariantText(read.result.value.Get()), std::wstring(test.value));
    EXPECT_EQ(ReadFileBytes(file), before);
  }
}

TEST_F(SettingsFile, LongValuesAreCutTo254Bytes) {
  const std::wstring file = scratch_.File(L"long.ini");
  const std::wstring value(300, L'v');
  IniCall add;
  CallByReference(object_.Get(), L"AddToINI", add, {L"S", L"K", value, file});
  IniCall read;
  CallByReference(object_.Get(), L"GetFromINI", read, {L"S", L"K", L"", file});
  EXPECT_EQ(VariantText(read.result.value.Get()), std::wstring(254, L'v'));
}

TEST_F(SettingsFile, MissingPointersAreRefused) {
  ComPtr<_clsVantelo> direct;
  ASSERT_OK(object_->QueryInterface(IID__clsVantelo, direct.PutVoid()));
  BSTR section = nullptr;
  VARIANT result;
  EXPECT_HR(direct->GetFromINI(&section, nullptr, nullptr, nullptr, &result), E_POINTER);
  EXPECT_EQ(V_VT(&result), VT_EMPTY);
  VARIANT_BOOL written = VARIANT_TRUE;
  EXPECT_HR(direct->AddToINI(nullptr, nullptr, nullptr, nullptr, &written), E_POINTER);
  EXPECT_EQ(written, VARIANT_FALSE);
}

// Another program keeps the settings file's lock (the byte at 2^62): each
// call waits the bounded time (10 s) once, then AddToINI returns False and
// leaves the file alone, and GetFromINI reads it unlocked.
TEST_F(SettingsFile, AStuckLockCostsABoundedWaitAndNoWrite) {
  const std::wstring file = scratch_.File(L"locked.ini");
  IniCall first;
  CallByReference(object_.Get(), L"AddToINI", first, {L"S", L"K", L"1", file});
  ASSERT_EQ(ReadFileBytes(file), std::string("[S]\r\nK=1\r\n"));

  HANDLE holder = CreateFileW(file.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  OVERLAPPED at{};
  at.OffsetHigh = 0x40000000;
  ASSERT_TRUE(LockFileEx(holder, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &at));
  const ULONGLONG start = GetTickCount64();
  IniCall add;
  CallByReference(object_.Get(), L"AddToINI", add, {L"S", L"K", L"2", file});
  EXPECT_OK(add.result.hr);
  EXPECT_EQ(V_BOOL(add.result.value.Get()), VARIANT_FALSE);
  EXPECT_GE(GetTickCount64() - start, 9000u);
  IniCall read;
  CallByReference(object_.Get(), L"GetFromINI", read, {L"S", L"K", L"", file});
  EXPECT_EQ(VariantText(read.result.value.Get()), std::wstring(L"1"));
  EXPECT_EQ(ReadFileBytes(file), std::string("[S]\r\nK=1\r\n"));

  UnlockFileEx(holder, 0, 1, 0, &at);
  CloseHandle(holder);
  IniCall again;
  CallByReference(object_.Get(), L"AddToINI", again, {L"S", L"K", L"2", file});
  EXPECT_EQ(V_BOOL(again.result.value.Get()), VARIANT_TRUE);
  EXPECT_EQ(ReadFileBytes(file), std::string("[S]\r\nK=2\r\n"));
}

} // namespace

} // namespace vtest
