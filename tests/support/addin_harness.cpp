#include "support/addin_harness.h"

#include "addin/members.h"
#include "config/every_writer_settings.h"
#include "config/settings_catalogue.h"
#include "platform/module_path.h"
#include "platform/portable_platform.h"
#include "profile/portable_profile_file.h"
#include "profile/windows1252_code_page.h"
#include "support/failure_code.h"

namespace vantelo::test {

AddinHarness::AddinHarness(HarnessOptions options)
    : clock(std::make_shared<FixedClock>(options.now)),
      messages(std::make_shared<RecordingMessageDialog>()) {
  PortablePlatformOptions platform;
  platform.clock = clock;
  platform.regional =
      std::make_shared<FixedRegionalSettings>(options.decimalSeparator, options.timeSeparator);
  platform.modulePath = std::make_shared<FixedModulePath>(dir.Path(), "Vantelo");
  platform.messageBox = messages;
  if (options.settingsFileSystem || options.settingsLockWait != kProfileLockWait)
    platform.profile = std::make_shared<PortableProfileFile>(
        std::make_shared<Windows1252CodePage>(),
        options.settingsFileSystem ? options.settingsFileSystem : MakeNativeProfileFileSystem(),
        options.settingsLockWait);
  addin = std::make_unique<clsVantelo>(PortablePlatform(std::move(platform)));
}

// The add-in goes before the host, as in the host's process.
AddinHarness::~AddinHarness() { addin.reset(); }

std::string AddinHarness::SettingsPath() const { return dir.Path("Vantelo.ini"); }

void AddinHarness::WriteSettings(const std::string& bytes) const {
  WriteBytes(SettingsPath(), bytes);
}

std::string AddinHarness::ReadSettings() const { return ReadBytes(SettingsPath()); }

bool AddinHarness::SettingsExist() const { return Exists(SettingsPath()); }

void AddinHarness::EnableAllWriters() const { WriteSettings(kEveryWriterSettings); }

void AddinHarness::Activate() {
  addin->Activate(host.AddInSite(), !activated_);
  activated_ = true;
}

void AddinHarness::MakeActive(sim::DocumentData* document) {
  if (!activated_)
    Activate();
  host.SetActiveDocument(document);
}

void AddinHarness::UseDefaultSettings() {
  for (const Setting& setting : SettingsCatalogue())
    SetMemberFromText(*addin, setting.member, setting.defaultText, ".");
}

sim::SaveOutcome AddinHarness::Save(sim::DocumentData& document, std::int32_t timing) {
  if (!activated_)
    Activate();
  host.SetActiveDocument(&document);
  return host.FireSaveDocument(&document, timing, 0);
}

::testing::AssertionResult AddinHarness::HoldsOnlyItsOwnReferences() const {
  std::map<std::string, std::size_t> expected;
  if (clsVanteloTestAccess::HostApplication(*addin))
    expected = {{"Application", 1}, {"ApplicationEvents", 1}};
  if (clsVanteloTestAccess::ActiveDoc(*addin))
    expected["Document"] = 1;
  const auto held = host.LiveReferencesByInterface();
  if (held == expected && host.LiveConnections() == (expected.empty() ? 0u : 1u))
    return ::testing::AssertionSuccess();
  auto result = ::testing::AssertionFailure() << "the add-in holds";
  for (const auto& [name, count] : held)
    result << ' ' << name << '=' << count;
  return result << " and " << host.LiveConnections() << " connection(s)";
}

std::string UserProperty(const sim::DocumentData& document, std::string_view name) {
  const sim::PropertyData* property = document.Property(fmtid::UserDefined, name);
  if (!property)
    return "<missing>";
  if (const auto* text = std::get_if<std::string>(&property->value))
    return *text;
  return "<not text>";
}

std::string WithSeparator(std::string_view text, const std::string& separator) {
  std::string out;
  for (char c : text)
    out += c == '.' ? separator : std::string(1, c);
  return out;
}

void UsePartsListColumns(clsVantelo& addin) {
  addin.QuantityColumnName = "QTY";
  addin.MassColumnName = "MASS";
  addin.TotalMassColumnName = "TOTAL";
  addin.TotalMassUnit = "kg";
  addin.TotalMassUnitToDisplay = "kg";
  addin.Decimals = 2;
  addin.SpaceBeforeMassUnit = 1;
}

std::string SeparatorName(const ::testing::TestParamInfo<std::string>& info) {
  return info.param == "." ? "Point" : "Comma";
}

SeparatorTest::SeparatorTest() : h({.decimalSeparator = GetParam()}) { h.UseDefaultSettings(); }

sim::DocumentData& SeparatorTest::RunWriter(sim::DocumentData data, void (*writer)(clsVantelo&)) {
  auto& document = h.host.AddDocument(std::move(data));
  h.MakeActive(&document);
  h.host.ClearOperations();
  EXPECT_EQ(FailureCode([&] { writer(*h.addin); }), 0);
  EXPECT_TRUE(h.HoldsOnlyItsOwnReferences());
  return document;
}

std::string SeparatorTest::Expected(std::string_view text) const {
  return WithSeparator(text, GetParam());
}

} // namespace vantelo::test
