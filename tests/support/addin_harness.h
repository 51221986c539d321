// A clsVantelo on the stand-in host, with the portable platform services: a
// settings file in a private temporary directory, a settable clock, fixed
// regional settings and a recording message box. Shared by every test of the
// add-in's behaviour.
#pragma once

#include "addin/clsVantelo.h"
#include "platform/clocks.h"
#include "platform/message_dialogs.h"
#include "platform/regional_settings.h"
#include "profile/profile_file_system.h"
#include "profile/profile_lock.h"
#include "simhost/host.h"
#include "support/temp_files.h"
#include "support/test_access.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

namespace vantelo {

namespace test {

struct HarnessOptions {
  std::string decimalSeparator = ".";
  std::string timeSeparator = ":";
  LocalDateTime now{2026, 12, 8, 9, 5, 30};
  // The file system under the settings file (default: the real one).
  std::shared_ptr<ProfileFileSystem> settingsFileSystem{};
  // How long the settings file's lock is waited for.
  std::chrono::milliseconds settingsLockWait = kProfileLockWait;
};

class AddinHarness {
public:
  explicit AddinHarness(HarnessOptions options = {});
  ~AddinHarness();

  // The settings file the add-in uses: <temp dir>/Vantelo.ini.
  std::string SettingsPath() const;
  void WriteSettings(const std::string& bytes) const; // CR LF or not, as given
  std::string ReadSettings() const;
  bool SettingsExist() const;
  // A settings file with every writer enabled and the other defaults.
  void EnableAllWriters() const;

  void Activate();
  // Activates if needed and makes the document the host's active one (null:
  // no active document), for calling a writer directly.
  void MakeActive(sim::DocumentData* document);
  // Sets every file-backed setting to its default, as a save with a fresh
  // settings file loads them (so every enable setting is false).
  void UseDefaultSettings();
  // Activates if needed, makes the document active and fires one save
  // notification for it.
  sim::SaveOutcome Save(sim::DocumentData& document, std::int32_t timing = event_timing::Before);
  // Passes when the add-in holds nothing but its application, its active
  // document (when there is one) and its events object.
  ::testing::AssertionResult HoldsOnlyItsOwnReferences() const;

  TempDir dir;
  std::shared_ptr<FixedClock> clock;
  std::shared_ptr<RecordingMessageDialog> messages;
  sim::Host host;
  std::unique_ptr<clsVantelo> addin;

private:
  bool activated_ = false;
};

// Sets the add-in's parts-list members to read parts lists with the columns
// "QTY", "MASS" and "TOTAL": quantities from "QTY", masses in kg from "MASS",
// row totals in kg with two decimals and one blank into "TOTAL".
void UsePartsListColumns(clsVantelo& addin);

// A text property of the user-defined set, or "<missing>".
std::string UserProperty(const sim::DocumentData& document, std::string_view name);

// The text with every "." replaced by the decimal separator, for expected
// texts of tests that run under "." and ",".
std::string WithSeparator(std::string_view text, const std::string& separator);
// Names those runs "Point" and "Comma".
std::string SeparatorName(const ::testing::TestParamInfo<std::string>& info);

// A writer's tests, run under each decimal separator: a harness with the
// default settings and that separator.
class SeparatorTest : public ::testing::TestWithParam<std::string> {
protected:
  SeparatorTest();

  // Runs the writer on the document, made active and with the host's record
  // of operations cleared; the writer must succeed and keep no reference of
  // its own. Returns the document as the writer left it.
  sim::DocumentData& RunWriter(sim::DocumentData data, void (*writer)(clsVantelo&));
  // The expected text with the run's decimal separator.
  std::string Expected(std::string_view text) const;

  AddinHarness h;
};

} // namespace test
} // namespace vantelo
