// What the Wine test groups share: where the module and the host's stand-in
// library are, the module loaded and registered for a test, a scratch
// directory, and calls through IDispatch as an automation client makes them.
#pragma once

#include "com/bstr.h"
#include "com/com_ptr.h"
#include "com/variant.h"

#include <windows.h>

#include <oaidl.h>

#include <string>
#include <vector>

namespace vtest {

using vantelo::com::Bstr;
using vantelo::com::ComPtr;
using vantelo::com::Variant;

struct Environment {
  std::wstring module;      // Vantelo.dll
  std::wstring hostLibrary; // the stand-in of the host's type library
};

// A path given on the command line as a Windows path; a Unix path (as CMake
// passes it under Wine) is reached through Wine's drive Z:.
std::wstring windowsPath(const char* argument);

// Registers the host's stand-in library unless a library of the host is
// registered already (as on a machine where the host is installed).
void ensureHostLibraryRegistered(const Environment& environment);

// The module loaded; its four exports.
class LoadedModule {
public:
  explicit LoadedModule(const std::wstring& path);
  LoadedModule(const LoadedModule&) = delete;
  LoadedModule& operator=(const LoadedModule&) = delete;
  ~LoadedModule();

  HRESULT registerServer() const;
  HRESULT unregisterServer() const;
  HRESULT canUnloadNow() const;
  HRESULT getClassObject(REFCLSID clsid, REFIID iid, void** result) const;
  std::wstring fileName() const;

private:
  FARPROC entry(const char* name) const;
  HMODULE module_;
};

// The module registered through its export for the life of the object.
class RegisteredModule {
public:
  explicit RegisteredModule(const Environment& environment);
  ~RegisteredModule();
  const LoadedModule& module() const { return module_; }

private:
  LoadedModule module_;
};

// A fresh directory under the temporary folder, removed with its files.
class ScratchDirectory {
public:
  ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;
  ~ScratchDirectory();
  const std::wstring& path() const { return path_; }
  std::wstring file(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
  std::wstring path_;
};

std::string readFileBytes(const std::wstring& path);
bool fileExists(const std::wstring& path);

// Creates the add-in's class by program identifier, as a macro does.
ComPtr<IDispatch> createByProgId();

// Calls through IDispatch by member name, as a late-bound client does.
// Arguments in declared order; they stay owned by the caller.
struct DispatchResult {
  HRESULT hr = E_FAIL;
  Variant value;
  EXCEPINFO exception = {};
  UINT argumentError = 0;

  DispatchResult() = default;
  DispatchResult(DispatchResult&& other) noexcept { *this = std::move(other); }
  DispatchResult& operator=(DispatchResult&& other) noexcept;
  ~DispatchResult();
};
DISPID dispidOf(IDispatch* object, const wchar_t* name);
DispatchResult invokeByName(IDispatch* object, const wchar_t* name, WORD flags,
                            std::vector<VARIANT*> arguments = {});
HRESULT putByName(IDispatch* object, const wchar_t* name, VARIANT* value);

Variant textVariant(const std::wstring& text);
Variant longVariant(long value);
Variant boolVariant(bool value);
std::wstring variantText(const VARIANT* value);

} // namespace vtest
