// The program on Windows: the Windows platform services, the user's
// regional settings and code page, wide command-line arguments and console
// output.
#include "cli/program_platform.h"

#include "cli/error_keeping_buffer.h"
#include "cli/usage_error.h"
#include "platform/message_dialogs.h"
#include "platform/windows/system_message.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/windows_services.h"

#include <windows.h>

#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <streambuf>

namespace vantelo::cli {

namespace {

class WindowsSystemProfileFile final : public SystemProfileFile {
public:
  std::unique_ptr<Hold> Lock(const std::string& file, LockMode mode) override {
    return file_->Lock(file, mode);
  }
  std::size_t GetString(const std::string& section, const std::string& key,
                        const std::string& defaultValue, std::span<char> buffer,
                        const std::string& file) override {
    return file_->GetString(section, key, defaultValue, buffer, file);
  }
  bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                   const std::string& file) override {
    SetLastError(ERROR_SUCCESS);
    if (file_->WriteString(section, key, value, file)) {
      problem_.clear();
      return true;
    }
    const DWORD error = GetLastError();
    problem_ = error == ERROR_SUCCESS ? "the write failed" : win::SystemMessage(error);
    return false;
  }
  std::string Problem() override { return problem_; }

private:
  std::shared_ptr<ProfileFile> file_ = win::MakeProfileFile();
  std::string problem_;
};

// Shows UTF-8 text on a console as UTF-16, whole characters at a time.
// Remembers the first write the console refused; the stream then fails.
class ConsoleBuffer final : public std::streambuf {
public:
  explicit ConsoleBuffer(HANDLE console) : console_(console) {}
  ~ConsoleBuffer() override { sync(); }

  // The error of the first write that failed; 0 while none did.
  DWORD Error() const { return error_; }

protected:
  int_type overflow(int_type c) override {
    if (c != traits_type::eof()) {
      pending_.push_back(static_cast<char>(c));
      if ((c == '\n' || pending_.size() >= 4096) && sync() != 0)
        return traits_type::eof();
    }
    return traits_type::not_eof(c);
  }
  std::streamsize xsputn(const char* text, std::streamsize count) override {
    pending_.append(text, static_cast<std::size_t>(count));
    if ((pending_.size() >= 4096 || pending_.find('\n') != std::string::npos) && sync() != 0)
      return 0;
    return count;
  }
  int sync() override {
    if (error_ != 0)
      return -1;
    // A character cut at the end waits for its remaining bytes.
    std::size_t end = pending_.size();
    std::size_t start = end;
    while (start > 0 && end - start < 4 &&
           (static_cast<unsigned char>(pending_[start - 1]) & 0xC0) == 0x80)
      --start;
    if (start > 0) {
      const auto lead = static_cast<unsigned char>(pending_[start - 1]);
      const std::size_t need = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
      if (need > 1 && end - (start - 1) < need)
        end = start - 1;
    }
    const std::wstring wide = win::WideFromUtf8(std::string_view(pending_).substr(0, end));
    pending_.erase(0, end);
    for (std::size_t done = 0; done < wide.size();) {
      DWORD written = 0;
      const auto chunk = static_cast<DWORD>(std::min<std::size_t>(wide.size() - done, 8192));
      if (!WriteConsoleW(console_, wide.data() + done, chunk, &written, nullptr) || written == 0) {
        const DWORD error = GetLastError();
        error_ = error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT;
        return -1;
      }
      done += written;
    }
    return 0;
  }

private:
  HANDLE console_;
  std::string pending_;
  DWORD error_ = 0;
};

HANDLE ConsoleOf(DWORD which) {
  HANDLE handle = GetStdHandle(which);
  DWORD mode = 0;
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)
             ? handle
             : nullptr;
}

} // namespace

std::unique_ptr<SystemProfileFile> MakeSystemProfileFile() {
  return std::make_unique<WindowsSystemProfileFile>();
}

PlatformServices ProgramPlatform(PlatformChoice choice) {
  PlatformServices services = win::WindowsPlatformServices();
  if (choice.regional)
    services.regional = std::move(choice.regional);
  if (choice.clock)
    services.clock = std::move(choice.clock);
  if (choice.modulePath)
    services.modulePath = std::move(choice.modulePath);
  if (choice.profile)
    services.profile = std::move(choice.profile);
  // A command-line program shows no message box: the report lists it.
  services.messageBox =
      choice.messageBox ? std::move(choice.messageBox) : std::make_shared<RecordingMessageDialog>();
  return services;
}

std::shared_ptr<RegionalSettings> UserRegionalSettings() { return win::MakeRegionalSettings(); }

std::shared_ptr<AnsiCodePage> AddinCodePage() { return win::MakeAnsiCodePage(); }

std::string AddinCodePageName() { return "code page " + std::to_string(GetACP()); }

std::shared_ptr<ModulePath> ProgramModulePath() { return win::MakeModulePath(); }

char PathSeparator() { return '\\'; }

bool FileNamesIgnoreCase() { return true; }

std::size_t ProfilePathLimit() { return MAX_PATH - 1; }

std::string AbsolutePath(const std::string& path, const std::string& what) {
  const std::wstring wide = win::WideFromUtf8(path);
  const DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  std::wstring full(needed, L'\0');
  const DWORD length =
      needed == 0 ? 0 : GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
  if (length == 0 || length >= needed)
    throw UsageError(what + ": " + path + ": " + win::SystemMessage(GetLastError()));
  full.resize(length);
  return win::Utf8FromWide(full);
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr)
    return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> arguments;
  for (int i = 0; i < count; ++i)
    arguments.push_back(win::Utf8FromWide(wide[i]));
  LocalFree(wide);
  return arguments;
}

struct StandardStreams::State {
  std::unique_ptr<ConsoleBuffer> out, err;
  std::unique_ptr<ErrorKeepingBuffer> file; // standard output to a file or a pipe
  std::streambuf* oldOut = nullptr;
  std::streambuf* oldErr = nullptr;
};

StandardStreams::StandardStreams() : state_(std::make_unique<State>()) {
  // A pipe or a file gets the bytes as written, with the same line ends as
  // on other systems.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  std::cout.flush();
  if (HANDLE console = ConsoleOf(STD_OUTPUT_HANDLE)) {
    state_->out = std::make_unique<ConsoleBuffer>(console);
    state_->oldOut = std::cout.rdbuf(state_->out.get());
  } else {
    state_->file = std::make_unique<ErrorKeepingBuffer>(std::cout.rdbuf());
    state_->oldOut = std::cout.rdbuf(state_->file.get());
  }
  if (HANDLE console = ConsoleOf(STD_ERROR_HANDLE)) {
    std::cerr.flush();
    state_->err = std::make_unique<ConsoleBuffer>(console);
    state_->oldErr = std::cerr.rdbuf(state_->err.get());
  }
}

StandardStreams::~StandardStreams() {
  std::cout.flush();
  std::cout.rdbuf(state_->oldOut);
  if (state_->err) {
    std::cerr.flush();
    std::cerr.rdbuf(state_->oldErr);
  }
}

std::optional<std::string> StandardStreams::FinishOutput() {
  std::cout.flush();
  if (state_->out && state_->out->Error() != 0)
    return win::SystemMessage(state_->out->Error());
  if (state_->file && state_->file->Error() != 0)
    return std::strerror(state_->file->Error());
  return std::nullopt;
}

bool StandardOutputIsTerminal() { return ConsoleOf(STD_OUTPUT_HANDLE) != nullptr; }

} // namespace vantelo::cli
