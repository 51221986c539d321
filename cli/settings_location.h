// Where the add-in finds its settings file, and the checks made on that
// place before the add-in runs, so that bad input writes nothing.
#pragma once

#include "platform/services.h"

#include <memory>
#include <optional>
#include <string>

namespace vantelo::cli {

struct SettingsLocation {
  std::string path;                       // the file, as this system names it
  std::shared_ptr<ModulePath> modulePath; // what the add-in is told about its module
};

// With --settings FILE: a module path (FILE's directory, FILE's base name)
// from which the add-in's rule, directory "\" base name ".ini", finds FILE;
// FILE must therefore end in ".ini" (in any letter case where file names
// ignore it, as on Windows). Without: the program's own path. Throws
// UsageError.
SettingsLocation LocateSettings(const std::optional<std::string>& file);

// The settings file's absolute path, for the tools that reach the file
// themselves (init, install, check): any name the system can hold. Throws
// UsageError.
std::string SettingsPath(const std::string& path, const std::string& what);

// A path the add-in can pass through the ANSI code page and the profile
// functions unchanged (for get, set and the add-in's runs): every character
// in the ANSI code page, no longer than the profile functions take (259
// characters on Windows), on POSIX no backslash (the profile functions take
// it as a directory separator). Throws UsageError.
std::string CheckedSettingsPath(const std::string& path, const std::string& what);

// The file can be written, or, when it does not exist, created in its
// directory. Throws UsageError naming the place and the reason.
void RequireWritable(const std::string& path);

// The file, when it exists, can be read; a missing file is no error, but a
// path that cannot be followed (a directory that may not be entered, a name
// too long) is. Throws UsageError naming the reason.
void RequireReadable(const std::string& path);

// For a run of the add-in: the file can be read, or, when it does not
// exist, its directory does. Writing is not required: the add-in carries on
// when its write-back fails, and the program reports that as a warning.
void RequireReachable(const std::string& path);

} // namespace vantelo::cli
