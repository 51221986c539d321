#include "bench/windows/module_copy.h"

#include "com/idl/Vantelo_h.h"
#include "com_host/variant_values.h"
#include "platform/random_digits.h"

#include <stdexcept>

namespace vbench {

namespace {

// Every writer that applies to a drawing or a part, the rest at defaults.
constexpr char Settings[] = "[Global Options]\r\n"
                            "EnableViewScale=True\r\n"
                            "EnableSheetMetal=False\r\n"
                            "EnableMassVolume=True\r\n"
                            "EnablePartsList=False\r\n"
                            "EnableTimeStamp=True\r\n"
                            "EnablePaperSize=True\r\n";

[[noreturn]] void Fail(const std::string& what, const std::wstring& path) {
  throw std::runtime_error(what + " " + vtest::comhost::Utf8(path.c_str(), path.size()));
}

} // namespace

ModuleCopy::ModuleCopy(const std::wstring& modulePath) {
  try {
    Open(modulePath);
  } catch (...) {
    Close();
    throw;
  }
}

ModuleCopy::~ModuleCopy() { Close(); }

void ModuleCopy::Open(const std::wstring& modulePath) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  for (int attempt = 0;; ++attempt) {
    directory_ = std::wstring(temp) + L"vantelo_com_bench_" + vantelo::RandomDigits<wchar_t>(12);
    if (CreateDirectoryW(directory_.c_str(), nullptr))
      break;
    if (GetLastError() != ERROR_ALREADY_EXISTS || attempt == 100)
      Fail("cannot create", directory_);
  }
  const std::wstring copy = directory_ + L"\\Vantelo.dll";
  if (!CopyFileW(modulePath.c_str(), copy.c_str(), FALSE))
    Fail("cannot copy", modulePath);

  const std::wstring settings = directory_ + L"\\Vantelo.ini";
  const HANDLE file =
      CreateFileW(settings.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  const bool wrote = file != INVALID_HANDLE_VALUE &&
                     WriteFile(file, Settings, sizeof Settings - 1, &written, nullptr) &&
                     written == sizeof Settings - 1;
  if (file != INVALID_HANDLE_VALUE)
    CloseHandle(file);
  if (!wrote)
    Fail("cannot write", settings);

  module_ = LoadLibraryW(copy.c_str());
  if (!module_)
    Fail("cannot load", copy);
  using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  const auto getClassObject = reinterpret_cast<GetClassObject>(
      reinterpret_cast<void (*)()>(GetProcAddress(module_, "DllGetClassObject")));
  vantelo::com::ComPtr<IClassFactory> factory;
  if (!getClassObject ||
      FAILED(getClassObject(CLSID_clsVantelo, IID_IClassFactory, factory.PutVoid())) ||
      FAILED(factory->CreateInstance(nullptr, IID_ApplicationAddInServer, server_.PutVoid())))
    Fail("cannot create the add-in from", copy);
}

void ModuleCopy::Close() noexcept {
  server_.Reset();
  if (module_) {
    CoFreeUnusedLibrariesEx(0, 0);
    FreeLibrary(module_);
    module_ = nullptr;
  }
  DeleteFileW((directory_ + L"\\Vantelo.dll").c_str());
  DeleteFileW((directory_ + L"\\Vantelo.ini").c_str());
  RemoveDirectoryW(directory_.c_str());
}

} // namespace vbench
