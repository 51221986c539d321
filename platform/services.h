// The platform services the add-in needs, as small interfaces. Each has a
// portable implementation in this folder; the Windows module supplies the
// Windows ones. The add-in reaches the platform only through these.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace vantelo {

// How a settings file is locked: Shared by those that only read it,
// Exclusive by those that may write it.
enum class LockMode { Shared, Exclusive };

// The platform's profile (INI) file functions. Texts are bytes of the ANSI
// code page, exactly as the A-functions take them.
//
// Every reader and writer of a settings file takes the file's lock (Lock)
// for the whole of its read or read-modify-write, across processes and,
// where the file system passes locks on, across machines. A hold that this
// object already has on the file is recognised and shared by the calls made
// within it (GetString and WriteString take the lock themselves), so a long
// read-modify-write, such as the load of every setting with its write-backs,
// never waits for itself.
class ProfileFile {
public:
  // A lock on a settings file, held until the object is destroyed.
  class Hold {
  public:
    virtual ~Hold() = default;
    // False when another program kept the lock beyond the time a caller
    // waits, or when writing was asked for within a hold for reading: reads
    // then go on unlocked, and writes fail without touching the file.
    virtual bool Granted() const { return true; }
  };

  virtual ~ProfileFile() = default;
  // Waits, for a bounded time, for the lock on the file. Profile files that
  // need none (a file's text held in memory) return a plain Hold.
  virtual std::unique_ptr<Hold> Lock(const std::string& file, LockMode mode) = 0;
  // As GetPrivateProfileStringA with a section and a key: copies the value
  // (or the default, when the file, section or key is missing) into the
  // buffer, at most buffer.size() - 1 bytes and a terminating 0, and returns
  // the number of bytes copied without the terminator.
  virtual std::size_t GetString(const std::string& section, const std::string& key,
                                const std::string& defaultValue, std::span<char> buffer,
                                const std::string& file) = 0;
  // As WritePrivateProfileStringA: stores the key with the value, creating the
  // file and the section when missing. Returns false on failure (also when
  // the lock cannot be had), never throws.
  virtual bool WriteString(const std::string& section, const std::string& key,
                           const std::string& value, const std::string& file) = 0;
};

// The system's ANSI code page, through which profile texts pass.
class AnsiCodePage {
public:
  virtual ~AnsiCodePage() = default;
  // UTF-8 to the code page; a character the page cannot hold becomes '?'
  // (callers that pass a file path check that it comes back unchanged).
  virtual std::string FromUtf8(const std::string& text) = 0;
  virtual std::string ToUtf8(const std::string& bytes) = 0;
};

// The user's regional settings, read at each use.
class RegionalSettings {
public:
  virtual ~RegionalSettings() = default;
  virtual std::string DecimalSeparator() = 0;
  virtual std::string TimeSeparator() = 0;
};

// A local date and time of day.
struct LocalDateTime {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0;
};

class Clock {
public:
  virtual ~Clock() = default;
  virtual LocalDateTime Now() = 0;
};

// Where the add-in's own module file lies.
class ModulePath {
public:
  virtual ~ModulePath() = default;
  virtual std::string Directory() = 0; // without a trailing separator
  virtual std::string BaseName() = 0;  // the file name without its extension
};

// Lets the platform process the window messages waiting in the thread's queue.
class MessagePump {
public:
  virtual ~MessagePump() = default;
  virtual void ProcessWaitingMessages() = 0;
};

// The platform's modal message box.
class MessageDialog {
public:
  virtual ~MessageDialog() = default;
  // Shows the text with the style bits (16: stop icon, OK button) and the
  // title (empty: the add-in's own title); returns the button pressed.
  virtual int Show(const std::string& text, int style, const std::string& title) = 0;
};

// Everything the add-in gets from the platform.
struct PlatformServices {
  std::shared_ptr<ProfileFile> profile;
  std::shared_ptr<AnsiCodePage> codePage;
  std::shared_ptr<RegionalSettings> regional;
  std::shared_ptr<Clock> clock;
  std::shared_ptr<ModulePath> modulePath;
  std::shared_ptr<MessagePump> messagePump;
  std::shared_ptr<MessageDialog> messageBox;
};

} // namespace vantelo
