#include "test_support.h"

#include "check.h"
#include "com/idl/Vantelo_h.h"
#include "com/idl/inventor_standin_h.h"

#include <oleauto.h>

#include <stdexcept>

namespace vtest {

std::wstring windowsPath(const char* argument) {
  std::wstring path;
  for (const char* c = argument; *c; ++c)
    path += static_cast<wchar_t>(static_cast<unsigned char>(*c));
  if (!path.empty() && path[0] == L'/')
    path = L"Z:" + path;
  for (wchar_t& c : path)
    if (c == L'/')
      c = L'\\';
  return path;
}

void ensureHostLibraryRegistered(const Environment& environment) {
  ComPtr<ITypeLib> library;
  if (SUCCEEDED(LoadRegTypeLib(LIBID_Inventor, 1, 0, 0, library.put())))
    return;
  std::wstring path = environment.hostLibrary;
  CHECK_OK(LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.put()));
  if (library)
    CHECK_OK(RegisterTypeLib(library.get(), path.data(), nullptr));
}

LoadedModule::LoadedModule(const std::wstring& path) : module_(LoadLibraryW(path.c_str())) {
  if (!module_)
    throw std::runtime_error("Cannot load " + describe(path));
}

LoadedModule::~LoadedModule() { FreeLibrary(module_); }

FARPROC LoadedModule::entry(const char* name) const {
  FARPROC function = GetProcAddress(module_, name);
  if (!function)
    throw std::runtime_error(std::string("The module does not export ") + name);
  return function;
}

namespace {
// An export as the function type it has (through a generic function pointer,
// which any function pointer converts to and from).
template <class Function> Function as(FARPROC entry) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(entry));
}
using NoArguments = HRESULT(STDAPICALLTYPE*)();
using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
} // namespace

HRESULT LoadedModule::registerServer() const {
  return as<NoArguments>(entry("DllRegisterServer"))();
}

HRESULT LoadedModule::unregisterServer() const {
  return as<NoArguments>(entry("DllUnregisterServer"))();
}

HRESULT LoadedModule::canUnloadNow() const { return as<NoArguments>(entry("DllCanUnloadNow"))(); }

HRESULT LoadedModule::getClassObject(REFCLSID clsid, REFIID iid, void** result) const {
  return as<GetClassObject>(entry("DllGetClassObject"))(clsid, iid, result);
}

std::wstring LoadedModule::fileName() const {
  wchar_t path[MAX_PATH * 4] = {};
  GetModuleFileNameW(module_, path, MAX_PATH * 4);
  return path;
}

RegisteredModule::RegisteredModule(const Environment& environment) : module_(environment.module) {
  ensureHostLibraryRegistered(environment);
  CHECK_OK(module_.registerServer());
}

RegisteredModule::~RegisteredModule() { CHECK_OK(module_.unregisterServer()); }

ScratchDirectory::ScratchDirectory() {
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temp);
  GUID unique;
  CoCreateGuid(&unique);
  wchar_t name[40] = {};
  StringFromGUID2(unique, name, 40);
  path_ = std::wstring(temp) + L"vantelo-test-" + std::wstring(name + 1, 36);
  CreateDirectoryW(path_.c_str(), nullptr);
}

ScratchDirectory::~ScratchDirectory() {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((path_ + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name != L"." && name != L"..")
        DeleteFileW(file(name).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(path_.c_str());
}

std::string readFileBytes(const std::wstring& path) {
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

bool fileExists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

ComPtr<IDispatch> createByProgId() {
  CLSID clsid;
  ComPtr<IDispatch> object;
  if (!CHECK(SUCCEEDED(CLSIDFromProgID(L"Vantelo.clsVantelo", &clsid))))
    return object;
  CHECK_EQ(clsid == CLSID_clsVantelo, true);
  CHECK_OK(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, object.putVoid()));
  return object;
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

DISPID dispidOf(IDispatch* object, const wchar_t* name) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  return id;
}

DispatchResult invokeByName(IDispatch* object, const wchar_t* name, WORD flags,
                            std::vector<VARIANT*> arguments) {
  DispatchResult result;
  const DISPID id = dispidOf(object, name);
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
                     put ? nullptr : result.value.get(), &result.exception, &result.argumentError);
  // The callee may have replaced the arguments in place (by-reference
  // results): hand them back to their owners.
  for (std::size_t i = 0; i < arguments.size(); ++i)
    *arguments[i] = reversed[arguments.size() - 1 - i];
  return result;
}

HRESULT putByName(IDispatch* object, const wchar_t* name, VARIANT* value) {
  return invokeByName(object, name, DISPATCH_PROPERTYPUT, {value}).hr;
}

Variant textVariant(const std::wstring& text) {
  Variant v;
  V_VT(v.get()) = VT_BSTR;
  V_BSTR(v.get()) = Bstr(text).detach();
  return v;
}

Variant longVariant(long value) {
  Variant v;
  V_VT(v.get()) = VT_I4;
  V_I4(v.get()) = value;
  return v;
}

Variant boolVariant(bool value) {
  Variant v;
  V_VT(v.get()) = VT_BOOL;
  V_BOOL(v.get()) = value ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}

std::wstring variantText(const VARIANT* value) {
  if (V_VT(value) == VT_BSTR)
    return std::wstring(V_BSTR(value), SysStringLen(V_BSTR(value)));
  if (V_VT(value) == (VT_BSTR | VT_BYREF))
    return std::wstring(*V_BSTRREF(value), SysStringLen(*V_BSTRREF(value)));
  return L"(not text: vt " + std::to_wstring(V_VT(value)) + L")";
}

} // namespace vtest
