#include "registry_snapshot.h"

#include <windows.h>

#include <cstdio>
#include <cwctype>
#include <vector>

namespace vtest {

namespace {

std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text)
    c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

std::wstring HexBytes(const std::vector<BYTE>& bytes, DWORD size) {
  static const wchar_t digits[] = L"0123456789abcdef";
  std::wstring out;
  for (DWORD i = 0; i < size; ++i) {
    out += digits[bytes[i] >> 4];
    out += digits[bytes[i] & 15];
  }
  return out;
}

void Walk(HKEY key, const std::wstring& path, RegistrySnapshot& into) {
  into[Lower(path)] = L"(key)";
  DWORD subkeys = 0, maxSubkey = 0, values = 0, maxValueName = 0, maxData = 0;
  if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, &maxSubkey, nullptr, &values,
                       &maxValueName, &maxData, nullptr, nullptr) != ERROR_SUCCESS)
    return;
  std::vector<wchar_t> name(std::max(maxSubkey, maxValueName) + 2);
  std::vector<BYTE> data(maxData + 2);
  for (DWORD i = 0; i < values; ++i) {
    DWORD nameLength = static_cast<DWORD>(name.size());
    DWORD type = 0, size = static_cast<DWORD>(data.size());
    if (RegEnumValueW(key, i, name.data(), &nameLength, nullptr, &type, data.data(), &size) !=
        ERROR_SUCCESS)
      continue;
    into[Lower(path) + L"|" + Lower(std::wstring(name.data(), nameLength))] =
        std::to_wstring(type) + L":" + HexBytes(data, size);
  }
  for (DWORD i = 0; i < subkeys; ++i) {
    DWORD nameLength = static_cast<DWORD>(name.size());
    if (RegEnumKeyExW(key, i, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS)
      continue;
    const std::wstring child(name.data(), nameLength);
    HKEY sub = nullptr;
    if (RegOpenKeyExW(key, child.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &sub) == ERROR_SUCCESS) {
      Walk(sub, path + L"\\" + child, into);
      RegCloseKey(sub);
    }
  }
}

void WalkRoot(HKEY root, const wchar_t* rootName, const wchar_t* path, RegistrySnapshot& into) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path, 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
    return;
  Walk(key, std::wstring(rootName) + L"\\" + path, into);
  RegCloseKey(key);
}

// Printable ASCII as is, everything else as \uXXXX.
std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(c));
      out += escaped;
    }
  }
  return out;
}

} // namespace

RegistrySnapshot SnapshotClassRegistrations() {
  RegistrySnapshot snapshot;
  WalkRoot(HKEY_LOCAL_MACHINE, L"HKLM", L"Software\\Classes", snapshot);
  WalkRoot(HKEY_LOCAL_MACHINE, L"HKLM", L"Software\\Wow6432Node\\Classes", snapshot);
  WalkRoot(HKEY_CURRENT_USER, L"HKCU", L"Software\\Classes", snapshot);
  return snapshot;
}

RegistrySnapshot SnapshotSoftware() {
  RegistrySnapshot snapshot;
  WalkRoot(HKEY_LOCAL_MACHINE, L"HKLM", L"Software", snapshot);
  WalkRoot(HKEY_CURRENT_USER, L"HKCU", L"Software", snapshot);
  return snapshot;
}

RegistrySnapshot Without(RegistrySnapshot snapshot, const std::wstring& keyPath) {
  for (const auto& [path, value] : Subtree(snapshot, keyPath))
    snapshot.erase(path);
  return snapshot;
}

RegistrySnapshot Subtree(const RegistrySnapshot& snapshot, const std::wstring& keyPath) {
  const std::wstring prefix = Lower(keyPath);
  RegistrySnapshot result;
  for (auto it = snapshot.lower_bound(prefix); it != snapshot.end(); ++it) {
    if (it->first.compare(0, prefix.size(), prefix) != 0)
      break;
    const wchar_t next = it->first.size() > prefix.size() ? it->first[prefix.size()] : L'\0';
    if (next == L'\0' || next == L'\\' || next == L'|')
      result.insert(*it);
  }
  return result;
}

std::vector<std::string> Differences(const RegistrySnapshot& before, const RegistrySnapshot& after,
                                     std::size_t limit) {
  std::vector<std::string> out;
  auto add = [&](const std::string& line) {
    if (out.size() < limit)
      out.push_back(line);
  };
  for (const auto& [path, value] : before) {
    const auto found = after.find(path);
    if (found == after.end())
      add("removed " + Narrow(path));
    else if (found->second != value)
      add("changed " + Narrow(path));
  }
  for (const auto& [path, value] : after)
    if (!before.count(path))
      add("added " + Narrow(path));
  return out;
}

std::wstring RegistryText(HKEY root, const std::wstring& key, const wchar_t* value) {
  wchar_t text[1024] = {};
  DWORD bytes = sizeof text - sizeof(wchar_t);
  if (RegGetValueW(root, key.c_str(), value, RRF_RT_REG_SZ, nullptr, text, &bytes) != ERROR_SUCCESS)
    return L"(missing)";
  return text;
}

} // namespace vtest
