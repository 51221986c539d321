// The command-line program's scene loader on arbitrary bytes: a scene or a
// UsageError that names the scene, never another exception, a crash, a hang
// or undefined behaviour. A scene that loads is taken whole by the stand-in
// host, and the add-in then runs on it (a save with every writer enabled,
// command 1, the parts-list update) with a result or a Failure each time,
// holding no host reference beyond its own afterwards.
#include "addin/clsVantelo.h"
#include "cli/scene_loader.h"
#include "cli/usage_error.h"
#include "fuzz/fuzz_check.h"
#include "platform/clocks.h"
#include "platform/module_path.h"
#include "platform/portable_platform.h"
#include "platform/regional_settings.h"
#include "profile/profile_text.h"
#include "simhost/host.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace vantelo;
using namespace vantelo::fuzz;

namespace {

constexpr const char* kSource = "fuzz.json";

// The settings file in memory, read and written by the profile text rules,
// so that a run costs no disk access.
class MemoryProfileFile : public ProfileFile {
public:
  explicit MemoryProfileFile(std::string text) : text_(std::move(text)) {}

  std::unique_ptr<Hold> Lock(const std::string&, LockMode) override {
    return std::make_unique<Hold>();
  }

  std::size_t GetString(const std::string& section, const std::string& key,
                        const std::string& defaultValue, std::span<char> buffer,
                        const std::string&) override {
    const auto value = profile_text::Lookup(text_, section, key);
    const std::string_view text = value ? *value : profile_text::CallerText(defaultValue);
    const std::size_t n = std::min(text.size(), buffer.size() - 1);
    std::memcpy(buffer.data(), text.data(), n);
    buffer[n] = '\0';
    return n;
  }
  bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                   const std::string&) override {
    text_ = profile_text::Store(text_, section, key, value);
    return true;
  }

private:
  std::string text_;
};

const char* const kSettings = "[Global Options]\r\n"
                              "EnableViewScale=True\r\n"
                              "EnableSheetMetal=True\r\n"
                              "EnableMassVolume=True\r\n"
                              "EnableTimeStamp=True\r\n"
                              "EnablePaperSize=True\r\n";

template <class Call> void Attempt(Call&& call) {
  try {
    call();
  } catch (const Failure&) {
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  cli::Scene scene;
  try {
    scene = cli::ParseScene(text, kSource);
  } catch (const cli::UsageError& error) {
    FUZZ_CHECK(std::string_view(error.what()).substr(0, std::strlen(kSource)) == kSource,
               std::string("the message does not name the scene: ") + error.what());
    return 0;
  }

  sim::Host host;
  std::vector<sim::DocumentData*> documents;
  for (sim::DocumentData& document : scene.documents) {
    try {
      documents.push_back(&host.AddDocument(document));
    } catch (const Failure& failure) {
      FUZZ_CHECK(false,
                 std::string("a scene that loaded was refused by the host: ") + failure.what());
    }
  }
  FUZZ_CHECK(!scene.active || *scene.active < documents.size(), "the active index is out of range");
  sim::DocumentData* active = scene.active ? documents[*scene.active] : nullptr;

  PortablePlatformOptions options;
  options.clock = std::make_shared<FixedClock>(LocalDateTime{2026, 12, 8, 9, 5, 30});
  options.regional = std::make_shared<FixedRegionalSettings>(".", ":");
  options.modulePath = std::make_shared<FixedModulePath>("/nonexistent", "Vantelo");
  options.profile = std::make_shared<MemoryProfileFile>(kSettings);
  {
    clsVantelo addin(PortablePlatform(std::move(options)));
    addin.Activate(host.AddInSite(), true);
    host.SetActiveDocument(active);
    host.FireSaveDocument(active, event_timing::Before, 0);
    Attempt([&] { addin.ExecuteCommand(1); });
    addin.QuantityColumnName = "QTY";
    addin.MassColumnName = "MASS";
    addin.TotalMassColumnName = "TOTAL MASS";
    addin.TotalMassUnit = "kg";
    addin.TotalMassUnitToDisplay = "kg";
    addin.SuppressError = true;
    Attempt([&] { addin.UpdateTotalMassInPartsList(); });

    std::map<std::string, std::size_t> own = {{"Application", 1}, {"ApplicationEvents", 1}};
    if (active)
      own["Document"] = 1; // the active document of the last save
    std::string held;
    for (const auto& [name, count] : host.LiveReferencesByInterface())
      held += " " + name + "=" + std::to_string(count);
    FUZZ_CHECK(host.LiveReferencesByInterface() == own, "the add-in holds" + held);
  }
  FUZZ_CHECK(host.LiveReferences() == 0, "references remain after the add-in is gone");
  return 0;
}
