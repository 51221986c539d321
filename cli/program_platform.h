// What the program takes from the system it runs on. Everything else in
// cli/ is the same on every system; cli/posix and cli/windows implement
// this header, and the build picks one of them.
//
// On Windows the add-in runs on the Windows platform services (the real
// profile functions, the user's regional settings, the ANSI code page, the
// local clock), so that the program previews what the add-in does on that
// machine; elsewhere on the portable ones.
#pragma once

#include "platform/services.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantelo::cli {

// The system's profile functions, which also say why the last write failed.
class SystemProfileFile : public ProfileFile {
public:
  virtual std::string Problem() = 0;
};
std::unique_ptr<SystemProfileFile> MakeSystemProfileFile();

// Services to use instead of the system's; each one left empty gets the
// system's own.
struct PlatformChoice {
  std::shared_ptr<RegionalSettings> regional;
  std::shared_ptr<Clock> clock;
  std::shared_ptr<ModulePath> modulePath;
  std::shared_ptr<MessageDialog> messageBox; // default: one that records and answers OK
  std::shared_ptr<ProfileFile> profile;
};
PlatformServices ProgramPlatform(PlatformChoice choice);

// The user's regional settings: the locale's, or Windows' user settings.
std::shared_ptr<RegionalSettings> UserRegionalSettings();

// The code page through which the add-in passes its texts, and its name for
// messages ("Windows-1252").
std::shared_ptr<AnsiCodePage> AddinCodePage();
std::string AddinCodePageName();

// The program's own module (the settings file lies next to it unless
// --settings says otherwise); empty texts when it cannot be found out.
std::shared_ptr<ModulePath> ProgramModulePath();
// The separator the add-in puts between a directory and a file name.
char PathSeparator();
// Whether file names ignore letter case ("Vantelo.INI" is "Vantelo.ini").
bool FileNamesIgnoreCase();
// The longest path, in bytes of the ANSI code page, that the system's
// profile functions take; 0: no limit of their own.
std::size_t ProfilePathLimit();

// The absolute, normalised form of a path given by the user (UTF-8).
// Throws UsageError naming what and the reason when it has none.
std::string AbsolutePath(const std::string& path, const std::string& what);

// The arguments as UTF-8, whatever the system passes.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// While it lives, standard output and error take UTF-8 text, and a Windows
// console shows it as the characters it encodes (a pipe or a file gets the
// UTF-8 bytes as they are).
class StandardStreams {
public:
  StandardStreams();
  ~StandardStreams();
  StandardStreams(const StandardStreams&) = delete;
  StandardStreams& operator=(const StandardStreams&) = delete;

  // Flushes standard output. The reason the first write to it failed (a
  // full disk, a closed pipe, a console that refused it); nothing when all
  // of it arrived.
  std::optional<std::string> FinishOutput();

private:
  struct State;
  std::unique_ptr<State> state_;
};

bool StandardOutputIsTerminal();

} // namespace vantelo::cli
