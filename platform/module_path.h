// Where the add-in's own module lies.
#pragma once

#include "platform/services.h"

#include <string>

namespace vantelo {

// A given directory and base name.
class FixedModulePath : public ModulePath {
public:
  FixedModulePath(std::string directory, std::string baseName);

  std::string Directory() override { return directory_; }
  std::string BaseName() override { return baseName_; }

private:
  std::string directory_;
  std::string baseName_;
};

// The running executable (from /proc/self/exe), for the command-line program:
// the settings file then lies next to the program. The directory has no
// trailing '/' (the root directory gives ""); the base name is the file name
// without its last extension ("vantelo.bin" gives "vantelo", ".x" stays ".x").
// Empty texts when the executable cannot be found out.
class ExecutableModulePath : public ModulePath {
public:
  ExecutableModulePath();

  std::string Directory() override { return directory_; }
  std::string BaseName() override { return baseName_; }

  // Splits a full file path as described above.
  static void Split(const std::string& path, std::string& directory, std::string& baseName);

private:
  std::string directory_;
  std::string baseName_;
};

} // namespace vantelo
