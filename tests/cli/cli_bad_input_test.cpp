// Bad usage and bad input: exit status 2, a message naming the place and what
// is wrong, nothing on standard output and no file created or changed.
#include "cli/program.h"
#include "support/temp_files.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <vector>

namespace vantelo::test {
namespace {

struct BadInput {
  const char* name;
  std::vector<std::string> arguments;     // "{dir}" stands for a private directory
  std::string message;                    // with "{dir}" and "{scenes}" as well
  const char* existingSettings = nullptr; // a settings file there before, read-only
};

std::string Expand(std::string text, const std::string& dir) {
  for (const auto& [key, value] :
       {std::pair<std::string, std::string>{"{dir}", dir}, {"{scenes}", VANTELO_SCENES}})
    for (auto at = text.find(key); at != std::string::npos; at = text.find(key))
      text.replace(at, key.size(), value);
  return text;
}

class CliBadInput : public ::testing::TestWithParam<BadInput> {};

TEST_P(CliBadInput, ExitsWithTwoAndWritesNothing) {
  TempDir dir;
  const BadInput& c = GetParam();
  if (c.existingSettings) {
    WriteBytes(dir.Path("Vantelo.ini"), c.existingSettings);
    ASSERT_EQ(::chmod(dir.Path("Vantelo.ini").c_str(), 0444), 0);
  }
  const auto before = dir.Entries();
  std::vector<std::string> arguments;
  for (const std::string& argument : c.arguments)
    arguments.push_back(Expand(argument, dir.Path()));

  const auto run = RunVantelo(arguments);
  EXPECT_EQ(run.status, 2) << run.out << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find(Expand(c.message, dir.Path())), std::string::npos) << run.err;
  EXPECT_EQ(dir.Entries(), before);
  if (c.existingSettings) {
    EXPECT_EQ(ReadBytes(dir.Path("Vantelo.ini")), c.existingSettings);
  }
}

const char* kSettings = "[Global Options]\r\nEnableTimeStamp=True\r\n";

const BadInput kBadInputs[] = {
    {"MalformedJson",
     {"save", "{scenes}/bad/malformed.json", "--settings", "{dir}/Vantelo.ini"},
     "{scenes}/bad/malformed.json:4:3: malformed JSON"},
    {"WrongType",
     {"save", "{scenes}/bad/wrong_type.json", "--settings", "{dir}/Vantelo.ini"},
     "wrong_type.json: documents[0].sheets[1].views[1]: expected a number, got a string"},
    {"UnknownField",
     {"command", "{scenes}/bad/unknown_field.json", "--settings", "{dir}/Vantelo.ini"},
     "unknown_field.json: documents[0].massProperties.weight: unknown field"},
    {"MissingScene",
     {"save", "{dir}/nothing.json", "--settings", "{dir}/Vantelo.ini"},
     "{dir}/nothing.json: cannot open the scene file"},
    {"SceneIsADirectory", {"partslist", "{dir}"}, "{dir}: is a directory"},
    {"SceneWithoutEnd",
     {"save", "/dev/zero", "--settings", "{dir}/Vantelo.ini"},
     "/dev/zero: the scene file is larger than the limit of 64 MiB"},
    {"SettingsDirectoryMissing",
     {"save", "{scenes}/part.json", "--settings", "{dir}/gone/Vantelo.ini"},
     "{dir}/gone/Vantelo.ini: the directory {dir}/gone does not exist"},
    {"SettingsNotIni",
     {"save", "{scenes}/part.json", "--settings", "{dir}/Vantelo.cfg"},
     "the file name must end in \".ini\""},
    {"SettingsWithBackslash",
     {"save", "{scenes}/part.json", "--settings", "{dir}/a\\b.ini"},
     "holds a backslash"},
    {"UnknownMember",
     {"command", "{scenes}/part.json", "--set", "ListSeparator=,"},
     "--set ListSeparator=,: the class has no member \"ListSeparator\"; did you mean "
     "ListSparator?"},
    {"MemberValueDoesNotConvert",
     {"partslist", "{scenes}/drawing.json", "--set", "Decimals=two"},
     "--set Decimals=two: Decimals is an Integer"},
    {"MemberValueOutOfRange",
     {"partslist", "{scenes}/drawing.json", "--set", "SpaceBeforeMassUnit=40000"},
     "--set SpaceBeforeMassUnit=40000"},
    {"SetWithoutEquals",
     {"partslist", "{scenes}/drawing.json", "--set", "Decimals"},
     "expected MEMBER=VALUE"},
    {"BadNow",
     {"save", "{scenes}/part.json", "--settings", "{dir}/Vantelo.ini", "--now", "2026-13-01"},
     "--now: \"2026-13-01\" is not a date and time"},
    {"UnknownFormat",
     {"save", "{scenes}/part.json", "--settings", "{dir}/Vantelo.ini", "--format", "xml"},
     "--format: unknown format \"xml\""},
    {"EmptySeparator",
     {"demo", "--decimal-separator", ""},
     "--decimal-separator: the separator must not be empty"},
    {"TimingNotANumber", {"save", "{scenes}/part.json", "--timing", "soon"}, "--timing"},
    {"UnknownSubcommand", {"load", "{scenes}/part.json"}, "vantelo:"},
    {"SettingsSetKeyWithEquals",
     {"settings", "set", "{dir}/Vantelo.ini", "Global Options", "A=B", "1"},
     "KEY: \"A=B\" holds '='"},
    {"SettingsSetLineBreak",
     {"settings", "set", "{dir}/Vantelo.ini", "Global Options", "Key", "1\n[Other]"},
     "VALUE: \"1\n[Other]\" holds a line break"},
    {"SettingsSetReadOnly",
     {"settings", "set", "{dir}/Vantelo.ini", "Global Options", "EnableTimeStamp", "False"},
     "{dir}/Vantelo.ini: the settings file cannot be written",
     kSettings},
    {"SettingsInitReadOnly",
     {"settings", "init", "{dir}/Vantelo.ini"},
     "{dir}/Vantelo.ini: the settings file cannot be written",
     kSettings},
    {"SettingsCheckDirectory", {"settings", "check", "{dir}"}, "is not a regular file"},
};

INSTANTIATE_TEST_SUITE_P(Cli, CliBadInput, ::testing::ValuesIn(kBadInputs),
                         [](const auto& info) { return std::string(info.param.name); });

// A failure that is not the user's (here the system has no temporary
// directory for the demo) has its own exit status, apart from bad usage.
TEST(CliInternalError, ExitsWithThree) {
  const auto run = RunVantelo({"demo"}, {.environment = {{"TMPDIR", "/nonexistent/vantelo-tmp"}}});
  EXPECT_EQ(run.status, 3) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("vantelo: internal error: "), std::string::npos) << run.err;
}

} // namespace
} // namespace vantelo::test
