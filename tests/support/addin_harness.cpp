#include "support/addin_harness.h"

#include "platform/module_path.h"
#include "platform/portable_platform.h"

#include <fstream>
#include <random>
#include <sstream>

namespace vantelo::test {

TempDir::TempDir() {
  std::random_device random;
  const auto base = std::filesystem::temp_directory_path();
  for (;;) {
    path_ = base / ("vantelo-test-" + std::to_string(random()));
    if (std::filesystem::create_directory(path_))
      break;
  }
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

AddinHarness::AddinHarness(HarnessOptions options)
    : clock(std::make_shared<FixedClock>(options.now)),
      messages(std::make_shared<RecordingMessageDialog>()) {
  PortablePlatformOptions platform;
  platform.clock = clock;
  platform.regional =
      std::make_shared<FixedRegionalSettings>(options.decimalSeparator, options.timeSeparator);
  platform.modulePath = std::make_shared<FixedModulePath>(dir.path().string(), "Vantelo");
  platform.messageBox = messages;
  addin = std::make_unique<clsVantelo>(PortablePlatform(std::move(platform)));
}

// The add-in goes before the host, as in the host's process.
AddinHarness::~AddinHarness() { addin.reset(); }

std::filesystem::path AddinHarness::settingsPath() const { return dir.path() / "Vantelo.ini"; }

void AddinHarness::writeSettings(const std::string& bytes) const {
  WriteFile(settingsPath(), bytes);
}

std::string AddinHarness::readSettings() const { return ReadFile(settingsPath()); }

bool AddinHarness::settingsExist() const { return std::filesystem::exists(settingsPath()); }

void AddinHarness::enableAllWriters() const {
  writeSettings("[Global Options]\r\n"
                "EnableViewScale=True\r\n"
                "EnableSheetMetal=True\r\n"
                "EnableMassVolume=True\r\n"
                "EnablePartsList=True\r\n"
                "EnableTimeStamp=True\r\n"
                "EnablePaperSize=True\r\n");
}

void AddinHarness::activate() {
  addin->Activate(host.AddInSite(), !activated_);
  activated_ = true;
}

sim::SaveOutcome AddinHarness::save(sim::DocumentData& document, std::int32_t timing) {
  if (!activated_)
    activate();
  host.setActiveDocument(&document);
  return host.FireSaveDocument(&document, timing, 0);
}

::testing::AssertionResult AddinHarness::holdsOnlyItsOwnReferences() const {
  std::map<std::string, std::size_t> expected;
  if (clsVanteloTestAccess::HostApplication(*addin))
    expected = {{"Application", 1}, {"ApplicationEvents", 1}};
  if (clsVanteloTestAccess::ActiveDoc(*addin))
    expected["Document"] = 1;
  const auto held = host.liveReferencesByInterface();
  if (held == expected && host.liveConnections() == (expected.empty() ? 0u : 1u))
    return ::testing::AssertionSuccess();
  auto result = ::testing::AssertionFailure() << "the add-in holds";
  for (const auto& [name, count] : held)
    result << ' ' << name << '=' << count;
  return result << " and " << host.liveConnections() << " connection(s)";
}

std::string UserProperty(const sim::DocumentData& document, std::string_view name) {
  const sim::PropertyData* property = document.property(fmtid::UserDefined, name);
  if (!property)
    return "<missing>";
  if (const auto* text = std::get_if<std::string>(&property->value))
    return *text;
  return "<not text>";
}

} // namespace vantelo::test
