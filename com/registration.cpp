#include "com/registration.h"

#include "com/com_ptr.h"
#include "com/idl/Vantelo_h.h"
#include "platform/windows/module_file.h"

#include <oleauto.h>

#include <string>

namespace vantelo::com {

namespace {

constexpr const wchar_t* ProgId = L"Vantelo.clsVantelo";

std::wstring guidText(const GUID& guid) {
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, 40);
  return text;
}

std::wstring classKey() { return L"CLSID\\" + guidText(CLSID_clsVantelo); }
std::wstring typeLibraryKey() { return L"TypeLib\\" + guidText(LIBID_Vantelo) + L"\\1.0"; }

class RegistryKey {
public:
  RegistryKey() = default;
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  ~RegistryKey() {
    if (key_)
      RegCloseKey(key_);
  }
  HKEY* put() { return &key_; }
  HKEY get() const { return key_; }

private:
  HKEY key_ = nullptr;
};

LSTATUS setText(const std::wstring& path, const wchar_t* name, const std::wstring& value) {
  RegistryKey key;
  LSTATUS status =
      RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_SET_VALUE, nullptr, key.put(), nullptr);
  if (status != ERROR_SUCCESS)
    return status;
  const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        bytes);
}

bool keyExists(const std::wstring& path) {
  RegistryKey key;
  return RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

// The default value of a key, or an empty text.
std::wstring defaultText(const std::wstring& path) {
  wchar_t value[64] = {};
  DWORD bytes = sizeof value - sizeof(wchar_t);
  if (RegGetValueW(HKEY_CLASSES_ROOT, path.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value,
                   &bytes) != ERROR_SUCCESS)
    return {};
  return value;
}

HRESULT deleteTree(const std::wstring& path) {
  const LSTATUS status = RegDeleteTreeW(HKEY_CLASSES_ROOT, path.c_str());
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? S_OK
                                                                   : HRESULT_FROM_WIN32(status);
}

HRESULT writeRegistration() {
  std::wstring module = win::ownModuleFileName();
  const std::wstring clsid = guidText(CLSID_clsVantelo);
  const std::wstring key = classKey();
  struct Entry {
    std::wstring path;
    const wchar_t* name;
    std::wstring value;
  };
  const Entry entries[] = {
      {key, nullptr, ProgId},
      {key + L"\\InprocServer32", nullptr, module},
      {key + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
      {key + L"\\ProgID", nullptr, ProgId},
      {key + L"\\TypeLib", nullptr, guidText(LIBID_Vantelo)},
      {ProgId, nullptr, ProgId},
      {std::wstring(ProgId) + L"\\Clsid", nullptr, clsid},
  };
  for (const Entry& entry : entries) {
    const LSTATUS status = setText(entry.path, entry.name, entry.value);
    if (status != ERROR_SUCCESS)
      return HRESULT_FROM_WIN32(status);
  }
  ComPtr<ITypeLib> library;
  HRESULT hr = LoadTypeLibEx(module.c_str(), REGKIND_NONE, library.put());
  if (FAILED(hr))
    return hr;
  return RegisterTypeLib(library.get(), module.data(), nullptr);
}

} // namespace

HRESULT registerServer() noexcept {
  HRESULT hr = E_UNEXPECTED;
  try {
    hr = writeRegistration();
  } catch (const std::bad_alloc&) {
    hr = E_OUTOFMEMORY;
  } catch (...) {
    hr = E_UNEXPECTED;
  }
  // A registration cut short is taken back whole, so no half-registered class
  // remains.
  if (FAILED(hr))
    unregisterServer();
  return hr;
}

HRESULT unregisterServer() noexcept {
  try {
    HRESULT result = S_OK;
    if (keyExists(typeLibraryKey())) {
      const SYSKIND platform = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
      const HRESULT hr = UnRegisterTypeLib(LIBID_Vantelo, 1, 0, 0, platform);
      if (FAILED(hr))
        result = hr;
    }
    if (const HRESULT hr = deleteTree(classKey()); FAILED(hr))
      result = hr;
    // The program identifier is removed only while it still names this class:
    // another registration may have taken it over.
    const std::wstring clsidKey = std::wstring(ProgId) + L"\\Clsid";
    if (_wcsicmp(defaultText(clsidKey).c_str(), guidText(CLSID_clsVantelo).c_str()) == 0) {
      if (const HRESULT hr = deleteTree(ProgId); FAILED(hr))
        result = hr;
    }
    return result;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

} // namespace vantelo::com
