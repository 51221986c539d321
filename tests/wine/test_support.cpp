#include "test_support.h"

#include "com/idl/Vantelo_h.h"
#include "com/idl/inventor_standin_h.h"
#include "platform/random_digits.h"

#include <oleauto.h>

#include <cstdio>
#include <stdexcept>

namespace vtest {

const std::wstring& ModulePath() {
  static const std::wstring path = WindowsPath(VANTELO_MODULE);
  return path;
}

const std::wstring& HostLibraryPath() {
  static const std::wstring path = WindowsPath(VANTELO_HOST_TYPE_LIBRARY);
  return path;
}

int RunProgram(std::wstring commandLine, std::string* output) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (output && !CreatePipe(&readEnd, &writeEnd, &inherit, 0))
    return -1;
  if (readEnd)
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  if (output) {
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
  }
  PROCESS_INFORMATION process = {};
  const BOOL started =
      CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, output ? TRUE : FALSE, 0,
                     nullptr, nullptr, &startup, &process);
  if (writeEnd)
    CloseHandle(writeEnd);
  if (!started) {
    if (readEnd)
      CloseHandle(readEnd);
    return -1;
  }
  if (output) {
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0)
      output->append(buffer, got);
    CloseHandle(readEnd);
  }
  DWORD exitCode = static_cast<DWORD>(-1);
  if (WaitForSingleObject(process.hProcess, 180000) == WAIT_OBJECT_0)
    GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(exitCode);
}

std::wstring SystemProgram(const wchar_t* name) {
  wchar_t system[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  return L"\"" + std::wstring(system) + L"\\" + name + L"\"";
}

std::wstring InstalledFolder() {
  wchar_t folder[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableW(L"ProgramW6432", folder, MAX_PATH);
  return (length > 0 && length < MAX_PATH ? std::wstring(folder) : L"C:\\Program Files") +
         L"\\Vantelo";
}

std::wstring WindowsPath(const char* path) {
  std::wstring result;
  for (const char* c = path; *c; ++c)
    result += static_cast<wchar_t>(static_cast<unsigned char>(*c));
  if (!result.empty() && result[0] == L'/')
    result = L"Z:" + result;
  for (wchar_t& c : result)
    if (c == L'/')
      c = L'\\';
  return result;
}

void EnsureHostLibraryRegistered() {
  ComPtr<ITypeLib> library;
  if (SUCCEEDED(LoadRegTypeLib(LIBID_Inventor, 1, 0, 0, library.Put())))
    return;
  std::wstring path = HostLibraryPath();
  ASSERT_OK(LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.Put()));
  ASSERT_OK(RegisterTypeLib(library.Get(), path.data(), nullptr));
}

LoadedModule::LoadedModule(const std::wstring& path) : module_(LoadLibraryW(path.c_str())) {
  if (!module_)
    throw std::runtime_error("Cannot load the module " + ::testing::PrintToString(path));
}

LoadedModule::~LoadedModule() { FreeLibrary(module_); }

FARPROC LoadedModule::Entry(const char* name) const {
  FARPROC function = GetProcAddress(module_, name);
  if (!function)
    throw std::runtime_error(std::string("The module does not export ") + name);
  return function;
}

namespace {
// An export as the function type it has (through a generic function pointer,
// which any function pointer converts to and from).
template <class Function> Function As(FARPROC entry) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(entry));
}
using NoArguments = HRESULT(STDAPICALLTYPE*)();
using GetClassObjectEntry = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
} // namespace

HRESULT LoadedModule::RegisterServer() const {
  return As<NoArguments>(Entry("DllRegisterServer"))();
}

HRESULT LoadedModule::UnregisterServer() const {
  return As<NoArguments>(Entry("DllUnregisterServer"))();
}

HRESULT LoadedModule::CanUnloadNow() const { return As<NoArguments>(Entry("DllCanUnloadNow"))(); }

HRESULT LoadedModule::GetClassObject(REFCLSID clsid, REFIID iid, void** result) const {
  return As<GetClassObjectEntry>(Entry("DllGetClassObject"))(clsid, iid, result);
}

std::wstring LoadedModule::FileName() const {
  wchar_t path[MAX_PATH * 4] = {};
  GetModuleFileNameW(module_, path, MAX_PATH * 4);
  return path;
}

RegisteredModule::RegisteredModule(const std::wstring& path) : module_(path) {
  EnsureHostLibraryRegistered();
  EXPECT_OK(module_.RegisterServer());
}

RegisteredModule::~RegisteredModule() { EXPECT_OK(module_.UnregisterServer()); }

ScratchDirectory::ScratchDirectory(const std::wstring& nameSuffix) {
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temp);
  // A name that is taken is tried again with other digits.
  for (int attempt = 0; attempt < 100; ++attempt) {
    path_ = std::wstring(temp) + L"vantelo-test-" + vantelo::RandomDigits<wchar_t>(12) + nameSuffix;
    if (CreateDirectoryW(path_.c_str(), nullptr) || GetLastError() != ERROR_ALREADY_EXISTS)
      break;
  }
}

ScratchDirectory::~ScratchDirectory() {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((path_ + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name != L"." && name != L"..")
        DeleteFileW(File(name).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(path_.c_str());
}

std::string ReadFileBytes(const std::wstring& path) {
  std::string bytes;
  HANDLE file =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return bytes;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
    bytes.append(buffer, read);
  CloseHandle(file);
  return bytes;
}

bool FileExists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

ComPtr<IDispatch> CreateByProgId() {
  CLSID clsid;
  ComPtr<IDispatch> object;
  EXPECT_OK(CLSIDFromProgID(L"Vantelo.clsVantelo", &clsid));
  EXPECT_TRUE(clsid == CLSID_clsVantelo);
  EXPECT_OK(
      CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, object.PutVoid()));
  return object;
}

void RegisteredObjectTest::SetUp() {
  object_ = CreateByProgId();
  ASSERT_TRUE(object_);
}

DispatchResult& DispatchResult::operator=(DispatchResult&& other) noexcept {
  std::swap(hr, other.hr);
  std::swap(value, other.value);
  std::swap(exception, other.exception);
  std::swap(argumentError, other.argumentError);
  return *this;
}

DispatchResult::~DispatchResult() {
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
}

DISPID DispidOf(IDispatch* object, const wchar_t* name) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  return id;
}

DispatchResult InvokeByName(IDispatch* object, const wchar_t* name, WORD flags,
                            std::vector<VARIANT*> arguments) {
  DispatchResult result;
  const DISPID id = DispidOf(object, name);
  std::vector<VARIANTARG> reversed;
  for (auto it = arguments.rbegin(); it != arguments.rend(); ++it)
    reversed.push_back(**it);
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS params = {};
  params.rgvarg = reversed.empty() ? nullptr : reversed.data();
  params.cArgs = static_cast<UINT>(reversed.size());
  const bool put = flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF);
  if (put) {
    params.rgdispidNamedArgs = &putId;
    params.cNamedArgs = 1;
  }
  result.hr =
      object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                     put ? nullptr : result.value.Get(), &result.exception, &result.argumentError);
  // The callee may have replaced the arguments in place (by-reference
  // results): hand them back to their owners.
  for (std::size_t i = 0; i < arguments.size(); ++i)
    *arguments[i] = reversed[arguments.size() - 1 - i];
  return result;
}

HRESULT PutByName(IDispatch* object, const wchar_t* name, VARIANT* value) {
  return InvokeByName(object, name, DISPATCH_PROPERTYPUT, {value}).hr;
}

Variant GetByName(IDispatch* object, const wchar_t* name) {
  DispatchResult result = InvokeByName(object, name, DISPATCH_PROPERTYGET);
  EXPECT_OK(result.hr) << "getting " << ::testing::PrintToString(std::wstring(name));
  return std::move(result.value);
}

Variant TextVariant(const std::wstring& text) {
  Variant v;
  V_VT(v.Get()) = VT_BSTR;
  V_BSTR(v.Get()) = Bstr(text).Detach();
  return v;
}

Variant LongVariant(long value) {
  Variant v;
  V_VT(v.Get()) = VT_I4;
  V_I4(v.Get()) = value;
  return v;
}

Variant ShortVariant(SHORT value) {
  Variant v;
  V_VT(v.Get()) = VT_I2;
  V_I2(v.Get()) = value;
  return v;
}

Variant BoolVariant(bool value) {
  Variant v;
  V_VT(v.Get()) = VT_BOOL;
  V_BOOL(v.Get()) = value ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}

std::wstring VariantText(const VARIANT* value) {
  if (V_VT(value) == VT_BSTR)
    return std::wstring(V_BSTR(value), SysStringLen(V_BSTR(value)));
  if (V_VT(value) == (VT_BSTR | VT_BYREF))
    return std::wstring(*V_BSTRREF(value), SysStringLen(*V_BSTRREF(value)));
  return L"(not text: vt " + std::to_wstring(V_VT(value)) + L")";
}

::testing::AssertionResult SameHResult(const char* actualText, const char* expectedText,
                                       HRESULT actual, HRESULT expected) {
  if (actual == expected)
    return ::testing::AssertionSuccess();
  const auto hex = [](HRESULT code) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(code));
    return std::string(text);
  };
  return ::testing::AssertionFailure() << actualText << " is " << hex(actual) << ", expected "
                                       << expectedText << " (" << hex(expected) << ")";
}

} // namespace vtest
