#include "com/registration.h"

#include "com/com_error.h"
#include "com/com_ptr.h"
#include "com/idl/Vantelo_h.h"
#include "com/registration_names.h"
#include "com/type_info.h"
#include "platform/windows/module_file.h"

#include <oleauto.h>

#include <string>

namespace vantelo::com {

namespace {

using registration::ClassName;
using registration::ProgId;
using registration::ThreadingModel;

std::wstring GuidText(const GUID& guid) {
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, 40);
  return text;
}

std::wstring ClassKey() { return L"CLSID\\" + GuidText(CLSID_clsVantelo); }
std::wstring TypeLibraryKey() { return L"TypeLib\\" + GuidText(LIBID_Vantelo) + L"\\1.0"; }

class RegistryKey {
public:
  RegistryKey() = default;
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  ~RegistryKey() {
    if (key_)
      RegCloseKey(key_);
  }
  HKEY* Put() { return &key_; }
  HKEY Get() const { return key_; }

private:
  HKEY key_ = nullptr;
};

void SetText(const std::wstring& path, const wchar_t* name, const std::wstring& value) {
  RegistryKey key;
  ThrowIfFailed(HRESULT_FROM_WIN32(RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr,
                                                   REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                                                   key.Put(), nullptr)),
                "Creating a registry key");
  const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  ThrowIfFailed(
      HRESULT_FROM_WIN32(RegSetValueExW(key.Get(), name, 0, REG_SZ,
                                        reinterpret_cast<const BYTE*>(value.c_str()), bytes)),
      "Writing a registry value");
}

bool KeyExists(const std::wstring& path) {
  RegistryKey key;
  return RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, key.Put()) == ERROR_SUCCESS;
}

// The default value of a key, or an empty text.
std::wstring DefaultText(const std::wstring& path) {
  wchar_t value[64] = {};
  DWORD bytes = sizeof value - sizeof(wchar_t);
  if (RegGetValueW(HKEY_CLASSES_ROOT, path.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value,
                   &bytes) != ERROR_SUCCESS)
    return {};
  return value;
}

HRESULT DeleteTree(const std::wstring& path) {
  const LSTATUS status = RegDeleteTreeW(HKEY_CLASSES_ROOT, path.c_str());
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? S_OK
                                                                   : HRESULT_FROM_WIN32(status);
}

void WriteRegistration() {
  std::wstring module = win::OwnModuleFileName();
  const std::wstring clsid = GuidText(CLSID_clsVantelo);
  const std::wstring key = ClassKey();
  struct Entry {
    std::wstring path;
    const wchar_t* name;
    std::wstring value;
  };
  const Entry entries[] = {
      {key, nullptr, ClassName},
      {key + L"\\InprocServer32", nullptr, module},
      {key + L"\\InprocServer32", L"ThreadingModel", ThreadingModel},
      {key + L"\\ProgID", nullptr, ProgId},
      {key + L"\\TypeLib", nullptr, GuidText(LIBID_Vantelo)},
      {ProgId, nullptr, ProgId},
      {std::wstring(ProgId) + L"\\Clsid", nullptr, clsid},
  };
  for (const Entry& entry : entries)
    SetText(entry.path, entry.name, entry.value);
  ThrowIfFailed(RegisterTypeLib(LoadOwnTypeLibrary().Get(), module.data(), nullptr),
                "Registering the module's type library");
}

} // namespace

HRESULT RegisterServer() noexcept {
  try {
    WriteRegistration();
    return S_OK;
  } catch (...) {
    const HRESULT hr = CaughtHResult();
    // A registration cut short is taken back whole, so no half-registered
    // class remains.
    UnregisterServer();
    return hr;
  }
}

HRESULT UnregisterServer() noexcept {
  try {
    // Every part is removed even when another fails; the last failure is
    // the result.
    HRESULT result = S_OK;
    const auto keepFailure = [&result](HRESULT hr) { result = FAILED(hr) ? hr : result; };
    if (KeyExists(TypeLibraryKey())) {
      const SYSKIND platform = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
      keepFailure(UnRegisterTypeLib(LIBID_Vantelo, 1, 0, 0, platform));
    }
    keepFailure(DeleteTree(ClassKey()));
    // The program identifier is removed only while it still names this class:
    // another registration may have taken it over.
    const std::wstring clsidKey = std::wstring(ProgId) + L"\\Clsid";
    if (_wcsicmp(DefaultText(clsidKey).c_str(), GuidText(CLSID_clsVantelo).c_str()) == 0)
      keepFailure(DeleteTree(ProgId));
    return result;
  } catch (...) {
    return CaughtHResult();
  }
}

} // namespace vantelo::com
