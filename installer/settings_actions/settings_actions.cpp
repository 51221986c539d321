// The installer's custom actions for the settings file Vantelo.ini, in
// VanteloSettingsActions.dll (the package's Binary table, never installed).
//
// PrepareSettings (immediate, as the installing user, before the install
// transaction): when the settings file exists, it is kept and nothing else
// is read, so a repair or an upgrade never depends on SETTINGS= being
// reachable. Otherwise it makes the file's contents: the company file that
// SETTINGS= names, read as the installing user (the user's shares and mapped
// drives), checked and completed with every missing key's default; or every
// key with its default. It hands them to the two deferred actions below
// through their CustomActionData (the path and the contents, each as hex,
// so that no text of them is ever parsed as a command line or a property
// reference). A refused file fails the install before anything is changed.
//
// LayDownSettings (deferred, as the system account): creates the file with
// those contents under the settings file's lock, never replacing a file.
//
// RemoveLaidDownSettings (rollback, as the system account): on a rollback,
// removes the file when it holds exactly what LayDownSettings laid down, so
// that a failed install leaves no settings file of its own behind and the
// next install lays down its own; a file that was there before, or that was
// changed since, stays.
//
// Every reason for a failure goes to the installer as an error message: it is
// in the log, and an interactive install shows it.
#include "cli/program_platform.h"
#include "cli/settings_tool.h"
#include "platform/utf8_path.h"
#include "platform/windows/wide_text.h"
#include "profile/portable_profile_file.h"
#include "profile/profile_lock.h"

#include <windows.h>

#include <msi.h>
#include <msiquery.h>

#include <filesystem>
#include <stdexcept>
#include <string>

namespace {

using vantelo::win::Utf8FromWide;
using vantelo::win::WideFromUtf8;

// A company file larger than this is no settings file (one with every key
// is about a kilobyte); the limit keeps the hex text handed on small.
constexpr std::uintmax_t kLargestCompanyFile = 1 << 20;

class Refusal : public std::runtime_error {
  using std::runtime_error::runtime_error;
};

// A record of the installer's API, closed with the object.
class Record {
public:
  explicit Record(UINT fields) : handle_(MsiCreateRecord(fields)) {}
  Record(const Record&) = delete;
  Record& operator=(const Record&) = delete;
  ~Record() { MsiCloseHandle(handle_); }
  MSIHANDLE Get() const { return handle_; }

private:
  MSIHANDLE handle_;
};

std::wstring Property(MSIHANDLE install, const wchar_t* name) {
  wchar_t none[1] = L"";
  DWORD length = 0;
  if (MsiGetPropertyW(install, name, none, &length) != ERROR_MORE_DATA)
    return {};
  std::wstring value(length + 1, L'\0');
  ++length;
  if (MsiGetPropertyW(install, name, value.data(), &length) != ERROR_SUCCESS)
    return {};
  value.resize(length);
  return value;
}

// A message to the installer: kind INSTALLMESSAGE_ERROR (logged, and shown
// by an interactive install) or INSTALLMESSAGE_INFO (logged). The text is
// the template's only field, so brackets in a path are never formatted.
void Tell(MSIHANDLE install, INSTALLMESSAGE kind, const std::string& text) {
  const Record record(1);
  MsiRecordSetStringW(record.Get(), 0, L"[1]");
  MsiRecordSetStringW(record.Get(), 1, WideFromUtf8(text).c_str());
  const auto flags = kind == INSTALLMESSAGE_ERROR ? MB_OK | MB_ICONERROR : 0;
  MsiProcessMessage(install, static_cast<INSTALLMESSAGE>(kind | flags), record.Get());
}

std::string Hex(const std::string& bytes) {
  static constexpr char digits[] = "0123456789ABCDEF";
  std::string hex;
  hex.reserve(bytes.size() * 2);
  for (const char c : bytes) {
    hex += digits[static_cast<unsigned char>(c) >> 4];
    hex += digits[static_cast<unsigned char>(c) & 0xF];
  }
  return hex;
}

std::string FromHex(std::string_view hex) {
  const auto digit = [](char c) -> int {
    if (c >= '0' && c <= '9')
      return c - '0';
    if (c >= 'A' && c <= 'F')
      return c - 'A' + 10;
    throw std::runtime_error("the action's data is damaged");
  };
  if (hex.size() % 2)
    throw std::runtime_error("the action's data is damaged");
  std::string bytes;
  bytes.reserve(hex.size() / 2);
  for (std::size_t i = 0; i < hex.size(); i += 2)
    bytes += static_cast<char>(digit(hex[i]) * 16 + digit(hex[i + 1]));
  return bytes;
}

// What the deferred actions are handed: the settings file (UTF-8) and its
// contents.
struct LayDown {
  std::string path, contents;
};

std::wstring Encode(const LayDown& layDown) {
  return WideFromUtf8(Hex(layDown.path) + ";" + Hex(layDown.contents));
}

LayDown Decode(const std::wstring& data) {
  const std::string text = Utf8FromWide(data);
  const auto separator = text.find(';');
  if (separator == std::string::npos)
    throw std::runtime_error("the action's data is damaged");
  return {FromHex(std::string_view(text).substr(0, separator)),
          FromHex(std::string_view(text).substr(separator + 1))};
}

// The company file at the path SETTINGS= gives, as it is to be laid down.
std::string CompanySettings(const std::string& from) {
  const std::filesystem::path path = vantelo::PathFromUtf8(from);
  // Relative to what? The installer's working folder is no folder the
  // administrator chose.
  if (!path.is_absolute())
    throw Refusal("SETTINGS=" + from +
                  ": the path is not absolute; give the whole path, such as "
                  "\\\\server\\share\\Vantelo.ini or C:\\Settings\\Vantelo.ini");
  std::error_code error;
  if (std::filesystem::is_directory(path, error))
    throw Refusal(from + ": this is a folder; SETTINGS= names the settings file itself");
  const auto size = std::filesystem::file_size(path, error);
  if (!error && size > kLargestCompanyFile)
    throw Refusal(from + ": the file is " + std::to_string(size) +
                  " bytes long, too long for a settings file");
  vantelo::PortableProfileFile file(vantelo::cli::AddinCodePage());
  std::string bytes;
  switch (file.Read(path, bytes)) {
  case vantelo::PortableProfileFile::ReadResult::Missing:
    throw Refusal(from + ": the file does not exist, or the installing user may not see it");
  case vantelo::PortableProfileFile::ReadResult::Failed:
    throw Refusal(file.Problem());
  case vantelo::PortableProfileFile::ReadResult::Ok:
    break;
  }
  return vantelo::cli::CompleteCompanySettings(from, bytes, vantelo::cli::UserRegionalSettings());
}

// Runs an action's work: an exception fails the install with its reason.
template <typename Work> UINT Run(MSIHANDLE install, const char* failure, Work work) {
  try {
    return work();
  } catch (const std::exception& error) {
    Tell(install, INSTALLMESSAGE_ERROR, std::string(failure) + error.what());
  } catch (...) {
    Tell(install, INSTALLMESSAGE_ERROR, std::string(failure) + "unexpected failure");
  }
  return ERROR_INSTALL_FAILURE;
}

} // namespace

extern "C" __declspec(dllexport) UINT __stdcall PrepareSettings(MSIHANDLE install) {
  return Run(install, "Vantelo's settings file cannot be laid down: ", [&]() -> UINT {
    const std::string settings = Utf8FromWide(Property(install, L"SETTINGS"));
    LayDown layDown{Utf8FromWide(Property(install, L"VanteloFolder") + L"Vantelo.ini"), {}};
    std::error_code error;
    const bool exists = std::filesystem::exists(vantelo::PathFromUtf8(layDown.path), error);
    if (error)
      throw std::runtime_error("cannot tell whether " + layDown.path +
                               " exists: " + error.message());
    if (exists) {
      Tell(install, INSTALLMESSAGE_INFO,
           "Vantelo: the settings file " + layDown.path + " exists and is kept as it is" +
               (settings.empty() ? std::string()
                                 : "; SETTINGS=" + settings + " was not applied (not read)"));
      return ERROR_SUCCESS;
    }
    if (settings.empty()) {
      layDown.contents = vantelo::cli::DefaultSettings(vantelo::cli::UserRegionalSettings());
    } else {
      layDown.contents = CompanySettings(settings);
      Tell(install, INSTALLMESSAGE_INFO,
           "Vantelo: the company settings file " + settings +
               " is a settings file; it is completed with the defaults of its missing keys and "
               "laid down as " +
               layDown.path);
    }
    const std::wstring data = Encode(layDown);
    if (MsiSetPropertyW(install, L"LayDownSettings", data.c_str()) != ERROR_SUCCESS ||
        MsiSetPropertyW(install, L"RemoveLaidDownSettings", data.c_str()) != ERROR_SUCCESS)
      throw std::runtime_error("the installer did not take the settings file's contents");
    return ERROR_SUCCESS;
  });
}

extern "C" __declspec(dllexport) UINT __stdcall LayDownSettings(MSIHANDLE install) {
  return Run(install, "Vantelo's settings file cannot be laid down: ", [&]() -> UINT {
    const LayDown layDown = Decode(Property(install, L"CustomActionData"));
    vantelo::PortableProfileFile file(vantelo::cli::AddinCodePage());
    switch (file.Create(vantelo::PathFromUtf8(layDown.path), layDown.contents)) {
    case vantelo::PortableProfileFile::Created::Yes:
      Tell(install, INSTALLMESSAGE_INFO,
           "Vantelo: the settings file " + layDown.path + " is laid down");
      return ERROR_SUCCESS;
    case vantelo::PortableProfileFile::Created::AlreadyThere:
      Tell(install, INSTALLMESSAGE_INFO,
           "Vantelo: the settings file " + layDown.path +
               " appeared during the install and is kept as it is");
      return ERROR_SUCCESS;
    case vantelo::PortableProfileFile::Created::Failed:
      break;
    }
    throw std::runtime_error(file.Problem());
  });
}

extern "C" __declspec(dllexport) UINT __stdcall RemoveLaidDownSettings(MSIHANDLE install) {
  // A rollback goes on whatever happens here: a failure is only told.
  Run(install, "Vantelo's settings file cannot be removed on rollback: ", [&]() -> UINT {
    const LayDown layDown = Decode(Property(install, L"CustomActionData"));
    auto fileSystem = vantelo::MakeNativeProfileFileSystem();
    vantelo::ProfileLocks locks(fileSystem);
    const auto hold =
        locks.Acquire(vantelo::PathFromUtf8(layDown.path), vantelo::LockMode::Exclusive);
    if (!hold->Granted() || !hold->File())
      throw std::runtime_error(layDown.path + ": " + hold->Problem());
    if (hold->CreatedFile())
      return ERROR_SUCCESS; // it was not laid down: nothing to remove
    if (fileSystem->Read(*hold->File()) != layDown.contents) {
      Tell(install, INSTALLMESSAGE_INFO,
           "Vantelo: the settings file " + layDown.path +
               " is not the one this install laid down and is kept");
      return ERROR_SUCCESS;
    }
    fileSystem->Remove(*hold->File());
    Tell(install, INSTALLMESSAGE_INFO,
         "Vantelo: the settings file " + layDown.path + " that this install laid down is removed");
    return ERROR_SUCCESS;
  });
  return ERROR_SUCCESS;
}
