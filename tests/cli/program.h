// Runs the built vantelo program as a user would, and reads back what it
// printed.
#pragma once

#include <nlohmann/json.hpp>

#include <map>
#include <string>
#include <vector>

namespace vantelo::test {

struct ProgramRun {
  int status = -1;  // exit status
  std::string out;  // standard output
  std::string err;  // standard error
  long peakKiB = 0; // with measurePeak: the largest resident set the program had, in KiB

  // Standard output as JSON (a test failure when it is not).
  nlohmann::json Json() const;
};

struct RunOptions {
  // Environment variables that replace the inherited ones of the same name.
  std::map<std::string, std::string> environment{};
  // A file for standard output instead (such as /dev/full); `out` stays empty.
  std::string standardOutput{};
  // Measure the program's peak memory (peakKiB), with GNU time.
  bool measurePeak = false;
  // Run as this user and group ID instead (setpriv; only root may), such as
  // "65534" for nobody; empty: as this process runs.
  std::string user{};
};

// Whether the program under test is the Windows one (vantelo.exe under Wine).
bool WindowsProgram();

// The program with the arguments.
ProgramRun RunVantelo(const std::vector<std::string>& arguments, const RunOptions& options = {});

// A scene file of tests/data/scenes.
std::string Scene(const std::string& name);

// The text of a user-defined property in the JSON output, or "<missing>".
std::string UserProperty(const nlohmann::json& output, const std::string& document,
                         const std::string& name);
// The property (name, id, type, value) of a set in the JSON output; null when missing.
nlohmann::json PropertyOf(const nlohmann::json& output, const std::string& document,
                          const std::string& fmtid, const std::string& name);
// The field of the first entry of a JSON list whose `key` holds `value`;
// null when there is no such entry or field.
nlohmann::json FieldOf(const nlohmann::json& list, const std::string& key,
                       const nlohmann::json& value, const std::string& field);

} // namespace vantelo::test
