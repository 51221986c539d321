// The program on POSIX systems: the portable platform services.
#include "cli/program_platform.h"

#include "cli/error_keeping_buffer.h"
#include "cli/usage_error.h"
#include "platform/module_path.h"
#include "platform/portable_platform.h"
#include "platform/regional_settings.h"
#include "profile/portable_profile_file.h"
#include "profile/windows1252_code_page.h"

#include <cstring>
#include <filesystem>
#include <iostream>
#include <unistd.h>

namespace vantelo::cli {

namespace {

class PortableSystemProfileFile final : public SystemProfileFile {
public:
  std::unique_ptr<Hold> Lock(const std::string& file, LockMode mode) override {
    return file_.Lock(file, mode);
  }
  std::size_t GetString(const std::string& section, const std::string& key,
                        const std::string& defaultValue, std::span<char> buffer,
                        const std::string& file) override {
    return file_.GetString(section, key, defaultValue, buffer, file);
  }
  bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                   const std::string& file) override {
    return file_.WriteString(section, key, value, file);
  }
  std::string Problem() override { return file_.Problem(); }

private:
  PortableProfileFile file_{AddinCodePage()};
};

} // namespace

std::unique_ptr<SystemProfileFile> MakeSystemProfileFile() {
  return std::make_unique<PortableSystemProfileFile>();
}

PlatformServices ProgramPlatform(PlatformChoice choice) {
  PortablePlatformOptions options;
  options.regional = std::move(choice.regional);
  options.clock = std::move(choice.clock);
  options.modulePath = std::move(choice.modulePath);
  options.messageBox = std::move(choice.messageBox);
  options.profile = std::move(choice.profile);
  return PortablePlatform(std::move(options));
}

std::shared_ptr<RegionalSettings> UserRegionalSettings() {
  return std::make_shared<LocaleRegionalSettings>();
}

std::shared_ptr<AnsiCodePage> AddinCodePage() { return std::make_shared<Windows1252CodePage>(); }

std::string AddinCodePageName() { return "Windows-1252"; }

std::shared_ptr<ModulePath> ProgramModulePath() { return std::make_shared<ExecutableModulePath>(); }

char PathSeparator() { return '/'; }

bool FileNamesIgnoreCase() { return false; }

std::size_t ProfilePathLimit() { return 0; }

std::string AbsolutePath(const std::string& path, const std::string& what) {
  // A backslash would pass unchanged to the file system here, but the
  // add-in's profile functions take it as a directory separator.
  if (path.find('\\') != std::string::npos)
    throw UsageError(what + ": " + path +
                     ": the path holds a backslash, which the add-in's profile functions take "
                     "as a directory separator");
  std::error_code error;
  const std::string absolute = std::filesystem::absolute(path, error).lexically_normal().string();
  if (error)
    throw UsageError(what + ": " + path + ": " + error.message());
  return absolute;
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

// Standard output and error take UTF-8 bytes as they are; standard output
// keeps the reason a write to it failed.
struct StandardStreams::State {
  std::streambuf* oldOut = std::cout.rdbuf();
  ErrorKeepingBuffer out{oldOut};
};

StandardStreams::StandardStreams() : state_(std::make_unique<State>()) {
  std::cout.rdbuf(&state_->out);
}

StandardStreams::~StandardStreams() {
  std::cout.flush();
  std::cout.rdbuf(state_->oldOut);
}

std::optional<std::string> StandardStreams::FinishOutput() {
  std::cout.flush();
  if (state_->out.Error() != 0)
    return std::strerror(state_->out.Error());
  return std::nullopt;
}

bool StandardOutputIsTerminal() { return ::isatty(STDOUT_FILENO) != 0; }

} // namespace vantelo::cli
