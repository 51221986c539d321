// What the Wine tests share: where the module and the host's stand-in
// library are, the module loaded and registered for a test, a scratch
// directory, calls through IDispatch as an automation client makes them, and
// HRESULT assertions that print codes in hexadecimal.
#pragma once

#include "com/bstr.h"
#include "com/com_ptr.h"
#include "com/variant.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <oaidl.h>

#include <string>
#include <vector>

namespace vtest {

using vantelo::com::Bstr;
using vantelo::com::ComPtr;
using vantelo::com::Variant;

// The module under test (Vantelo.dll) and the stand-in of the host's type
// library, as Windows paths.
const std::wstring& ModulePath();
const std::wstring& HostLibraryPath();

// Where the installer puts the module, the program and the settings file:
// "Vantelo" in the 64-bit program files folder.
std::wstring InstalledFolder();

// A path as a Windows path; a Unix path (as CMake gives it under Wine) is
// reached through Wine's drive Z:.
std::wstring WindowsPath(const char* path);

// Registers the host's stand-in library unless a library of the host is
// registered already (as on a machine where the host is installed).
void EnsureHostLibraryRegistered();

// A module loaded; its four exports.
class LoadedModule {
public:
  explicit LoadedModule(const std::wstring& path);
  LoadedModule(const LoadedModule&) = delete;
  LoadedModule& operator=(const LoadedModule&) = delete;
  ~LoadedModule();

  HRESULT RegisterServer() const;
  HRESULT UnregisterServer() const;
  HRESULT CanUnloadNow() const;
  HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** result) const;
  std::wstring FileName() const;

private:
  FARPROC Entry(const char* name) const;
  HMODULE module_;
};

// A module registered through its export for the life of the object.
class RegisteredModule {
public:
  explicit RegisteredModule(const std::wstring& path = ModulePath());
  ~RegisteredModule();
  const LoadedModule& Module() const { return module_; }

private:
  LoadedModule module_;
};

// A fresh directory under the temporary folder, removed with its files. Its
// name ends in `nameSuffix`.
class ScratchDirectory {
public:
  explicit ScratchDirectory(const std::wstring& nameSuffix = L"");
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;
  ~ScratchDirectory();
  const std::wstring& Path() const { return path_; }
  std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
  std::wstring path_;
};

// Runs the command line and waits for it (at most 3 minutes); its exit code,
// or -1 when it cannot be started or does not end. With output, what it
// wrote to standard output and error.
int RunProgram(std::wstring commandLine, std::string* output = nullptr);

// A program of the system directory (regsvr32.exe, msiexec.exe...), quoted.
std::wstring SystemProgram(const wchar_t* name);

std::string ReadFileBytes(const std::wstring& path);
bool FileExists(const std::wstring& path);

// Creates the add-in's class by program identifier, as a macro does; null
// (with a failed assertion) when that does not work.
ComPtr<IDispatch> CreateByProgId();

// A test with the module registered and one object of the class created by
// program identifier.
class RegisteredObjectTest : public ::testing::Test {
protected:
  void SetUp() override;

  RegisteredModule registered_;
  ComPtr<IDispatch> object_;
};

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
DISPID DispidOf(IDispatch* object, const wchar_t* name);
DispatchResult InvokeByName(IDispatch* object, const wchar_t* name, WORD flags,
                            std::vector<VARIANT*> arguments = {});
HRESULT PutByName(IDispatch* object, const wchar_t* name, VARIANT* value);
// A property's value; a failed get is a failed assertion.
Variant GetByName(IDispatch* object, const wchar_t* name);

Variant TextVariant(const std::wstring& text);
Variant LongVariant(long value);
Variant ShortVariant(SHORT value);
Variant BoolVariant(bool value);
std::wstring VariantText(const VARIANT* value);

// For EXPECT_HR and friends: the two codes equal, printed in hexadecimal.
::testing::AssertionResult SameHResult(const char* actualText, const char* expectedText,
                                       HRESULT actual, HRESULT expected);

} // namespace vtest

#define EXPECT_HR(call, expected)                                                                  \
  EXPECT_PRED_FORMAT2(::vtest::SameHResult, call, static_cast<HRESULT>(expected))
#define ASSERT_HR(call, expected)                                                                  \
  ASSERT_PRED_FORMAT2(::vtest::SameHResult, call, static_cast<HRESULT>(expected))
#define EXPECT_OK(call) EXPECT_HR(call, S_OK)
#define ASSERT_OK(call) ASSERT_HR(call, S_OK)
