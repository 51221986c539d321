// No scene within the size limit takes the program more than 512 MiB: scenes
// made to take memory (brackets nested millions deep, a million documents,
// the most values a scene may hold, one text of 64 MiB) are refused early or
// run within it. The figure is the peak resident set of the program's
// process, as the system accounts it.
#include "cli/program.h"
#include "support/temp_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantelo::test {
namespace {

#ifdef __SANITIZE_ADDRESS__
// AddressSanitizer's shadow memory, red zones and quarantine come on top.
constexpr long kPeakLimitKiB = 1536 * 1024;
#else
constexpr long kPeakLimitKiB = 512 * 1024;
#endif

constexpr std::size_t kMiB = 1024 * 1024;

std::string Repeated(std::string_view item, std::size_t count, std::string_view separator = ",") {
  std::string text;
  text.reserve(count * (item.size() + separator.size()));
  for (std::size_t i = 0; i < count; ++i)
    text.append(i == 0 ? "" : separator).append(item);
  return text;
}

const char* const kUserDefined = "{D5CDD505-2E9C-101B-9397-08002B2CF9AE}";

std::string WithProperties(const std::string& properties) {
  return std::string(R"({"fmtid": ")") + kUserDefined + R"(", "properties": [)" + properties + "]}";
}

TEST(CliSceneLimits, NoSceneWithinTheSizeLimitTakesMoreThan512MiB) {
  TempDir dir;
  std::string properties;
  for (int i = 0; i < 320'000; ++i)
    properties += (i == 0 ? "" : ",") + std::string(R"({"name":"p)") + std::to_string(i) + "\"}";
  const struct {
    const char* name;
    std::string text;
    int status;
    std::string message; // on standard error
  } cases[] = {
      {"brackets", std::string(64 * kMiB - 1, '['), 2,
       "brackets.json:1:65: brackets nested more than 64 deep"},
      {"documents", "{\"documents\": [" + Repeated("{}", 1'000'000) + "]}", 2,
       "more than 1000000 values and field names"},
      {"views",
       R"({"documents": [{"type": "drawing", "sheets": [{"views": [)" +
           Repeated("1", 32 * kMiB - 100) + "]}]}]}",
       2, "more than 1000000 values and field names"},
      // Up to the limits: the most documents, the other values as properties.
      {"most",
       "{\"documents\": [{\"propertySets\": [" + WithProperties(properties) + "]}, " +
           Repeated("{}", 9'999) + "]}",
       0, ""},
      {"long_name",
       "{\"documents\": [{\"propertySets\": [" +
           WithProperties("{\"name\": \"" + std::string(64 * kMiB - 200, 'n') +
                          "\", \"value\": \"v\"}") +
           "]}]}",
       0, ""},
  };
  for (const auto& c : cases) {
    const std::string scene = dir.Path(std::string(c.name) + ".json");
    WriteBytes(scene, c.text);
    ASSERT_LE(c.text.size(), 64 * kMiB) << c.name;
    for (const char* format : {"json", "table"}) {
      const auto run =
          RunVantelo({"save", scene, "--settings", dir.Path("Vantelo.ini"), "--format", format},
                     {.standardOutput = "/dev/null", .measurePeak = true});
      EXPECT_EQ(run.status, c.status) << c.name << "\n" << run.err;
      EXPECT_NE(run.err.find(c.message), std::string::npos) << c.name << "\n" << run.err;
      EXPECT_LT(run.peakKiB, kPeakLimitKiB) << c.name << " " << format;
      if (c.status != 0)
        break; // refused before the format matters
    }
  }
}

} // namespace
} // namespace vantelo::test
