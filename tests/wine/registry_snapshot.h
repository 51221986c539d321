// A copy of the class registrations (every key and value under the classes
// roots), to show that registering and unregistering the module leaves the
// registry as it was.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace vtest {

// "<root>\<key path>" for a key, "<root>\<key path>|<value name>" for a
// value (with its type and bytes as the mapped text).
using RegistrySnapshot = std::map<std::wstring, std::wstring>;

RegistrySnapshot SnapshotClassRegistrations();
// Every key and value under HKLM\Software and HKCU\Software.
RegistrySnapshot SnapshotSoftware();

// The snapshot without the entries under the key path.
RegistrySnapshot Without(RegistrySnapshot snapshot, const std::wstring& keyPath);

// The entries under a key path (which starts with the root, for example
// L"HKLM\\Software\\Classes\\Interface\\{...}"), matched without regard to case.
RegistrySnapshot Subtree(const RegistrySnapshot& snapshot, const std::wstring& keyPath);

// A text value (the key's default value when `value` is null) under the
// root, or "(missing)".
std::wstring RegistryText(HKEY root, const std::wstring& key, const wchar_t* value = nullptr);

// Added, removed and changed entries, at most `limit` of them, readable.
std::vector<std::string> Differences(const RegistrySnapshot& before, const RegistrySnapshot& after,
                                     std::size_t limit = 20);

} // namespace vtest
