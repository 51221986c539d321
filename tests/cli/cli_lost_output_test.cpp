// Output that cannot be written (standard output on a full disk) is a
// failure of its own: exit status 4 and one line on standard error, whatever
// the subcommand, its help and the version. What the subcommand did stands.
#include "cli/program.h"
#include "support/temp_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantelo::test {
namespace {

TEST(CliLostOutput, ExitsWithFourAndSaysSoInOneLine) {
  TempDir dir;
  const std::string settings = dir.Path("Vantelo.ini");
  const std::string scene = Scene("drawing.json");
  const std::vector<std::vector<std::string>> cases = {
      {"settings", "init", settings},
      {"settings", "set", settings, "Global Options", "EnableTimeStamp", "True"},
      {"settings", "get", settings, "Global Options", "EnableTimeStamp"},
      {"settings", "check", settings},
      {"save", scene, "--settings", settings},
      {"command", scene},
      {"partslist", scene},
      {"demo"},
      {"save", "--help"},
      {"--help"},
      {"--version"},
  };
  for (const auto& arguments : cases) {
    const auto run = RunVantelo(arguments, {.standardOutput = "/dev/full"});
    std::string what;
    for (const std::string& argument : arguments)
      what += argument + " ";
    EXPECT_EQ(run.status, 4) << what << "\n" << run.err;
    EXPECT_EQ(run.err, "vantelo: cannot write the output: No space left on device\n") << what;
  }
  // The settings were written all the same.
  EXPECT_NE(ReadBytes(settings).find("EnableTimeStamp=True"), std::string::npos);
}

// Bad usage writes nothing to standard output, so it keeps its status.
TEST(CliLostOutput, BadUsageKeepsItsStatus) {
  const auto run = RunVantelo({"save"}, {.standardOutput = "/dev/full"});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err.find("cannot write the output"), std::string::npos) << run.err;
}

} // namespace
} // namespace vantelo::test
