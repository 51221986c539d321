// vantelo settings init, check, get and set on real files.
#include "cli/program.h"
#include "cli/settings_tool.h"
#include "platform/regional_settings.h"
#include "support/faulty_file_system.h"
#include "support/temp_files.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace vantelo::test {
namespace {

using nlohmann::json;

std::string Fresh() { return ReadBytes(std::string(VANTELO_TEST_DATA) + "/fresh_settings.ini"); }

TEST(CliSettings, InitWritesWhatAFirstSaveWritesAndKeepsWhatIsThere) {
  TempDir dir;
  const std::string file = dir.Path("Vantelo.ini");
  const auto created = RunVantelo({"settings", "init", file});
  ASSERT_EQ(created.status, 0) << created.err;
  EXPECT_EQ(ReadBytes(file), Fresh());
  EXPECT_EQ(created.Json()["created"], true);
  EXPECT_EQ(created.Json()["added"].size(), 25u); // all but MassUnitToDisplay

  WriteBytes(file, "[Global Options]\r\nEnableTimeStamp=True\r\n");
  const auto completed = RunVantelo({"settings", "init", file});
  ASSERT_EQ(completed.status, 0) << completed.err;
  EXPECT_EQ(completed.Json()["added"].size(), 24u);
  EXPECT_NE(ReadBytes(file).find("EnableTimeStamp=True\r\nEnableViewScale=False"),
            std::string::npos);
}

TEST(CliSettings, CheckOfAFreshFileFindsOnlyTheBlankSeparator) {
  TempDir dir;
  WriteBytes(dir.Path("Vantelo.ini"), Fresh());
  const auto run = RunVantelo({"settings", "check", dir.Path("Vantelo.ini")});
  ASSERT_EQ(run.status, 0) << run.err;
  const json out = run.Json();
  EXPECT_EQ(out["status"], "ok");
  ASSERT_EQ(out["settings"].size(), 26u);
  for (const auto& setting : out["settings"])
    EXPECT_EQ(setting["source"],
              setting["key"] == "MassUnitToDisplay" || setting["key"] == "ListSparator" ? "default"
                                                                                        : "file")
        << setting;
  ASSERT_EQ(out["findings"].size(), 1u) << out["findings"];
  EXPECT_EQ(out["findings"][0]["severity"], "note");
  EXPECT_EQ(out["findings"][0]["line"], 11);
}

TEST(CliSettings, CheckReportsLikelyMistakesWithoutChangingTheFile) {
  TempDir dir;
  const std::string contents = "key=outside\r\n"                  // 1
                               "[Global Options]\r\n"             // 2
                               "EnableTimeStamp=yes\r\n"          // 3
                               "enableviewscale=True\r\n"         // 4
                               "EnableViewScale=False\r\n"        // 5
                               "MassDecimals=3\r\n"               // 6
                               "Decimals=2\r\n"                   // 7
                               "[View Scale Options]\r\n"         // 8
                               "ListSeparator=,\r\n"              // 9
                               "ShowScaleAsInventorDecimals=\r\n" // 10
                               "FirstViewScalePropertyName=" +
                               std::string(300, 'a') +
                               "\r\n"                          // 11
                               "[Mass And Volume Option]\r\n"  // 12
                               "[global options]\r\n"          // 13
                               "EnablePaperSize=True\r\n"      // 14
                               "[Mass And Volume Options]\r\n" // 15
                               "VolumeDecimals=-1\r\n";        // 16
  WriteBytes(dir.Path("Vantelo.ini"), contents);
  const auto run = RunVantelo({"settings", "check", dir.Path("Vantelo.ini")});
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_EQ(ReadBytes(dir.Path("Vantelo.ini")), contents);
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"Vantelo.ini"});

  const json out = run.Json();
  EXPECT_EQ(out["status"], "error");
  const struct {
    int line;
    const char* severity;
    const char* text;
  } expected[] = {
      {1, "warning", "key key stands before any section and is never read"},
      {3, "error", "EnableTimeStamp: \"yes\" is not a Boolean"},
      {5, "warning", "EnableViewScale appears again in [Global Options] (first on line 4)"},
      {6, "warning",
       "MassDecimals is ignored here: the add-in reads it from section [Mass And "
       "Volume Options]"},
      {7, "warning", "Decimals is not read from the settings file"},
      {9, "warning",
       "unknown key ListSeparator in [View Scale Options]: the add-in never reads "
       "it; did you mean ListSparator?"},
      {10, "warning", "ShowScaleAsInventorDecimals is empty: the default \"2\" is used instead"},
      {11, "warning", "the value is 300 bytes long; the add-in reads only its first 254"},
      {12, "warning",
       "unknown section [Mass And Volume Option]: the add-in never reads it; did "
       "you mean [Mass And Volume Options]?"},
      {13, "warning", "section [global options] appears again (first on line 2)"},
      {14, "warning", "EnablePaperSize is ignored: only the first [global options] section"},
      {16, "warning", "VolumeDecimals is negative"},
  };
  for (const auto& e : expected) {
    bool found = false;
    for (const auto& finding : out["findings"])
      found = found || (finding["line"] == e.line && finding["severity"] == e.severity &&
                        finding["message"].get<std::string>().find(e.text) != std::string::npos);
    EXPECT_TRUE(found) << "line " << e.line << ": " << e.text << "\n" << out["findings"].dump(1);
  }
  // The value a save loads: the first of a repeated key, cut at 254 bytes.
  for (const auto& setting : out["settings"]) {
    if (setting["key"] == "EnableViewScale") {
      EXPECT_EQ(setting["value"], "True");
    } else if (setting["key"] == "FirstViewScalePropertyName") {
      EXPECT_EQ(setting["value"], std::string(254, 'a'));
    } else if (setting["key"] == "ShowScaleAsInventorDecimals") {
      EXPECT_EQ(setting["source"], "default");
    }
  }
}

TEST(CliSettings, CheckConvertsWithTheDecimalSeparatorInEffect) {
  TempDir dir;
  WriteBytes(dir.Path("Vantelo.ini"), "[Mass And Volume Options]\r\nMassDecimals=2,5\r\n");
  EXPECT_EQ(
      RunVantelo({"settings", "check", dir.Path("Vantelo.ini"), "--decimal-separator", ","}).status,
      0);
  EXPECT_EQ(
      RunVantelo({"settings", "check", dir.Path("Vantelo.ini"), "--decimal-separator", "."}).status,
      1);
}

// Each member type by its name in the list of settings, and with the values
// it takes in the finding about a value that does not convert.
TEST(CliSettings, CheckNamesEachMemberType) {
  TempDir dir;
  WriteBytes(dir.Path("Vantelo.ini"), "[Global Options]\r\nEnableViewScale=maybe\r\n"
                                      "[Mass And Volume Options]\r\nMassDecimals=many\r\n");
  const json out = RunVantelo({"settings", "check", dir.Path("Vantelo.ini")}).Json();
  const struct {
    const char* key;
    const char* type;
    const char* finding; // null: the value converts
  } rows[] = {
      {"EnableViewScale", "Boolean", "\"maybe\" is not a Boolean (True, False or a number)"},
      {"MassDecimals", "Integer", "\"many\" is not an Integer (a number from -32768 to 32767)"},
      {"MassUnitToDisplay", "String", nullptr},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(FieldOf(out["settings"], "key", row.key, "type"), row.type) << row.key;
    bool found = false;
    for (const auto& finding : out["findings"])
      found = found || (row.finding && finding["message"].get<std::string>().find(row.finding) !=
                                           std::string::npos);
    EXPECT_EQ(found, row.finding != nullptr) << row.key << "\n" << out["findings"].dump(1);
  }
}

TEST(CliSettings, CheckOfAMissingFileGivesTheDefaultsAndCreatesNothing) {
  TempDir dir;
  const auto run = RunVantelo({"settings", "check", dir.Path("Vantelo.ini")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.Json()["exists"], false);
  EXPECT_EQ(run.Json()["settings"][0]["value"], "False");
  EXPECT_TRUE(dir.Entries().empty());
}

TEST(CliSettings, SetAndGetAreAddToIniAndGetFromIni) {
  TempDir dir;
  const std::string file = dir.Path("Vantelo.ini");
  ASSERT_EQ(
      RunVantelo({"settings", "set", file, "Global Options", "EnableTimeStamp", "True"}).status, 0);
  EXPECT_EQ(ReadBytes(file), "[Global Options]\r\nEnableTimeStamp=True\r\n");

  // Letter case of the names does not matter; a missing key gives the
  // default, which is written back.
  const auto found = RunVantelo({"settings", "get", file, "global options", "enabletimestamp"});
  EXPECT_EQ(found.Json()["value"], "True");
  const auto missing =
      RunVantelo({"settings", "get", file, "Global Options", "EnablePaperSize", "False"});
  EXPECT_EQ(missing.Json()["value"], "False");
  EXPECT_EQ(ReadBytes(file),
            "[Global Options]\r\nEnableTimeStamp=True\r\nEnablePaperSize=False\r\n");
  const auto table = RunVantelo(
      {"settings", "get", "--format", "table", file, "Global Options", "EnableTimeStamp"});
  EXPECT_EQ(table.out, "True\n");
}

// A settings file reads the same whatever its line ends: check reports the
// same values, lines and findings, get the same value.
TEST(CliSettings, EveryKindOfLineEndReadsAlike) {
  TempDir dir;
  std::vector<std::string> lines = {"[Extra]"};
  for (int i = 0; i < 5000; ++i)
    lines.push_back("Key" + std::to_string(i) + "=value");
  std::istringstream fresh(Fresh());
  for (std::string line; std::getline(fresh, line);)
    lines.push_back(line.substr(0, line.find('\r')));
  lines.push_back("ListSeparator=x"); // a finding on the last line
  nlohmann::json first;
  for (const char* end : {"\r\n", "\n", "\r"}) {
    const std::string file = dir.Path("Vantelo.ini");
    std::string text;
    for (const std::string& line : lines)
      text += line + end;
    WriteBytes(file, text);
    const auto check = RunVantelo({"settings", "check", file});
    ASSERT_EQ(check.status, 0) << check.err;
    const auto report = check.Json();
    EXPECT_EQ(report["settings"][0]["line"], 5003);
    if (first.is_null())
      first = report;
    EXPECT_EQ(report, first);
    EXPECT_EQ(RunVantelo({"settings", "get", file, "Mass And Volume Options", "MassPropertyName"})
                  .Json()["value"],
              "TotalMass");
  }
}

// From FILE on, every argument of get and set is a name or a value as it
// stands, whatever it looks like; options go before FILE.
TEST(CliSettings, NamesAndValuesAreTakenAsTheyStand) {
  TempDir dir;
  int n = 0;
  for (const std::string literal :
       {"++", "-x", "--foo", "-1", "--", "-", "save", "--help", "--format"}) {
    const std::string file = dir.Path("literal" + std::to_string(++n) + ".ini");
    const auto set = RunVantelo({"settings", "set", file, literal, literal, literal});
    ASSERT_EQ(set.status, 0) << literal << ": " << set.err;
    EXPECT_EQ(ReadBytes(file), "[" + literal + "]\r\n" + literal + "=" + literal + "\r\n");
    const auto get =
        RunVantelo({"settings", "get", "--format", "table", file, literal, literal, "d"});
    EXPECT_EQ(get.status, 0) << literal << ": " << get.err;
    EXPECT_EQ(get.out, literal + "\n");
  }
  // A default that looks like an option is written back as it stands.
  const std::string file = dir.Path("default.ini");
  EXPECT_EQ(RunVantelo({"settings", "get", file, "S", "K", "--format=table"}).Json()["value"],
            "--format=table");
  EXPECT_EQ(ReadBytes(file), "[S]\r\nK=--format=table\r\n");
  // "--" before FILE (for a file name that starts with '-') ends the options.
  const auto marked = RunVantelo({"settings", "set", "--", file, "S", "K", "V"});
  EXPECT_EQ(marked.status, 0) << marked.err;
  EXPECT_EQ(ReadBytes(file), "[S]\r\nK=V\r\n");
  // One argument too many is still an error.
  EXPECT_EQ(RunVantelo({"settings", "set", file, "S", "K", "V", "--format"}).status, 2);
}

// A disk that is full, or fills part-way through the write, with no room to
// write in place either: init writes nothing, says so and names every key it
// could not write.
TEST(CliSettings, InitOnAFullDiskWritesNothingAndNamesWhatIsMissing) {
  for (const Fault fault : {Fault::NoSpace, Fault::ShortWriteThenNoSpace}) {
    TempDir dir;
    const std::string file = dir.Path("Vantelo.ini");
    const std::string before = "[Global Options]\r\nEnableTimeStamp=True\r\n";
    WriteBytes(file, before);
    const auto result = cli::InitSettingsFile(
        file, std::make_shared<FixedRegionalSettings>(".", ":"),
        std::make_shared<FaultyFileSystem>(std::set<Fault>{fault, Fault::NoSpaceToReserve}));
    EXPECT_FALSE(result.written) << Name(fault);
    EXPECT_NE(result.problem.find("No space left on device"), std::string::npos) << result.problem;
    EXPECT_EQ(result.added.size(), 24u);
    EXPECT_EQ(ReadBytes(file), before);
    EXPECT_EQ(dir.Entries(), std::set<std::string>{"Vantelo.ini"});
  }
}

std::u16string Utf16Of(const std::string& ascii) { return {ascii.begin(), ascii.end()}; }

// A UTF-16 settings file is read as text and stays UTF-16 throughout.
TEST(CliSettings, AUtf16FileIsReadAndWrittenAsUtf16) {
  TempDir dir;
  const std::string file = dir.Path("Vantelo.ini");
  WriteBytes(file, Utf16LeFile(u"[Global Options]\r\nEnableTimeStamp=True\r\n"));
  const auto check = RunVantelo({"settings", "check", file});
  EXPECT_EQ(check.status, 0) << check.err;
  const auto report = check.Json();
  for (const auto& finding : report["findings"])
    EXPECT_EQ(finding["message"].get<std::string>().find("before any section"), std::string::npos);
  EXPECT_EQ(report["settings"][4]["value"], "True");

  // The same keys in the same places as in a single-byte file.
  const std::string ansi = dir.Path("Ansi.ini");
  WriteBytes(ansi, "[Global Options]\r\nEnableTimeStamp=True\r\n");
  ASSERT_EQ(RunVantelo({"settings", "init", ansi}).status, 0);
  ASSERT_EQ(RunVantelo({"settings", "init", file}).status, 0);
  EXPECT_EQ(ReadBytes(file), Utf16LeFile(Utf16Of(ReadBytes(ansi))));
  const auto get = RunVantelo({"settings", "get", file, "Global Options", "EnableTimeStamp"});
  EXPECT_EQ(get.Json()["value"], "True");
  // The blank separator, and that the file is Unicode.
  EXPECT_EQ(RunVantelo({"settings", "check", file}).Json()["findings"].size(), 2u);
}

// A path that cannot be followed is reported as such (exit status 2), not
// taken for a missing file.
TEST(CliSettings, UnreachablePathsAreReportedAsSuch) {
  TempDir dir;
  struct Case {
    std::string path, reason;
  };
  std::vector<Case> cases = {
      {dir.Path(std::string(300, 'n') + ".ini"), "File name too long"},
      {dir.Path(std::string(5039, 'd').replace(255, 1, "/").replace(511, 1, "/") + "/V.ini"),
       "File name too long"}};
  if (::geteuid() != 0) { // root may enter any directory
    ::mkdir(dir.Path("locked").c_str(), 0700);
    WriteBytes(dir.Path("locked/Vantelo.ini"), Fresh());
    ::chmod(dir.Path("locked").c_str(), 0);
    cases.push_back({dir.Path("locked/Vantelo.ini"), "Permission denied"});
  }
  for (const Case& c : cases)
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"settings", "check", c.path},
          {"settings", "get", c.path, "Global Options", "EnableTimeStamp"},
          {"settings", "set", c.path, "Global Options", "EnableTimeStamp", "True"}}) {
      const auto run = RunVantelo(arguments);
      EXPECT_EQ(run.status, 2) << arguments[1] << " " << c.reason;
      EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
      EXPECT_EQ(run.out, "");
    }
}

// A read-only settings file does not stop a save or the command: a complete
// one (with the separator quoted, else it is written back at every save)
// needs no write; the keys an incomplete one lacks are warnings.
TEST(CliSettings, AReadOnlyFileLetsTheAddinRunAndFailedWritesAreWarnings) {
  TempDir dir;
  const std::string file = dir.Path("Vantelo.ini");
  std::string complete = Fresh();
  complete.replace(complete.find("ListSparator= "), 14, "ListSparator=\" \"");
  for (const char* subcommand : {"save", "command"}) {
    WriteBytes(file, complete);
    ::chmod(file.c_str(), 0444);
    const auto whole = RunVantelo({subcommand, Scene("part.json"), "--settings", file});
    EXPECT_EQ(whole.status, 0) << whole.err;
    EXPECT_TRUE(whole.Json()["warnings"].empty()) << whole.err;

    ::chmod(file.c_str(), 0644);
    WriteBytes(file, "[Global Options]\r\nEnableTimeStamp=True\r\n");
    ::chmod(file.c_str(), 0444);
    const auto incomplete = RunVantelo({subcommand, Scene("part.json"), "--settings", file});
    EXPECT_EQ(incomplete.status, 0) << incomplete.err;
    EXPECT_EQ(incomplete.Json()["warnings"].size(), 24u);
    EXPECT_NE(incomplete.err.find("warning: [Global Options] EnableViewScale was not written"),
              std::string::npos)
        << incomplete.err;
    EXPECT_EQ(ReadBytes(file), "[Global Options]\r\nEnableTimeStamp=True\r\n");
    ::chmod(file.c_str(), 0644);
  }
}

// What an installer runs: a missing file is laid down complete (a save has
// nothing left to write, not even the blank list separator), a copy of
// --from when given; a file that is there is never changed.
TEST(CliSettings, InstallLaysDownAMissingFileAndLeavesAnExistingOne) {
  TempDir dir;
  const std::string file = dir.Path("Vantelo.ini"), company = dir.Path("Company.ini");
  const std::string edited = "[Global Options]\r\nEnableTimeStamp=True\r\n";
  WriteBytes(company, "[Global Options]\r\nEnableMassVolume=True\r\n");

  const auto created = RunVantelo({"settings", "install", file});
  ASSERT_EQ(created.status, 0) << created.err;
  EXPECT_EQ(created.Json()["created"], true);
  const auto check = RunVantelo({"settings", "check", file});
  EXPECT_EQ(check.Json()["status"], "ok");
  EXPECT_EQ(check.Json()["findings"], json::array()) << check.out;

  struct Case {
    std::vector<std::string> arguments;
    int status;
    std::string error;
  };
  const std::vector<Case> cases = {
      {{"settings", "install", file}, 0, ""},
      {{"settings", "install", file, "--from", company}, 0, ""},
      // The source is not read while the file is there: a repair with an
      // unreachable --from succeeds.
      {{"settings", "install", file, "--from", dir.Path("gone/missing.ini")}, 0, ""},
  };
  for (const Case& c : cases) {
    WriteBytes(file, edited);
    const auto run = RunVantelo(c.arguments);
    EXPECT_EQ(run.status, c.status) << c.arguments.back() << run.err;
    EXPECT_NE(run.err.find(c.error), std::string::npos) << run.err;
    EXPECT_EQ(ReadBytes(file), edited) << c.arguments.back();
  }
}

// A company file is laid down only when it is a settings file a save can
// work with, completed with every missing key's default; else nothing is
// created and the message names the file and what is wrong.
TEST(CliSettings, InstallChecksAndCompletesTheCompanyFile) {
  std::string noise(3000, '\0');
  unsigned state = 12345;
  for (char& c : noise)
    c = static_cast<char>((state = state * 1103515245u + 12345u) >> 16);
  struct Case {
    std::string name;
    std::optional<std::string> contents; // none: there is no such file
    std::string error;                   // empty: accepted
  };
  const std::vector<Case> cases = {
      {"missing", std::nullopt, "the file does not exist"},
      {"empty", "", "the file is empty"},
      {"random bytes", noise, "the file holds NUL bytes"},
      {"a save fails", "[Global Options]\r\nEnableTimeStamp=Maybe\r\n",
       "every save would fail with this file: line 2: EnableTimeStamp: \"Maybe\" is not"},
      {"no known section", "[Globals]\r\nEnableTimeStamp=True\r\n", "none of the sections"},
      {"UTF-16 cut", std::string("\xFF\xFE[\0G\0", 6) + "x",
       "the file is UTF-16 text with an odd number of bytes"},
      {"two keys",
       "[Global Options]\r\nEnableTimeStamp=True\r\n[Sheet Metal Options]\r\n"
       "SMThicknessPropertyName=Dicke\r\n",
       ""},
      {"UTF-16",
       std::string("\xFF\xFE[\0V\0i\0e\0w\0 \0S\0c\0a\0l\0e\0 \0O\0p\0t\0i\0o\0n\0s\0]\0", 42), ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::string file = dir.Path("Vantelo.ini"), company = dir.Path("Company.ini");
    if (c.contents)
      WriteBytes(company, *c.contents);
    const auto run = RunVantelo({"settings", "install", file, "--from", company});
    if (!c.error.empty()) {
      EXPECT_EQ(run.status, 2);
      EXPECT_NE(run.err.find(company + ": " + c.error), std::string::npos) << run.err;
      EXPECT_NE(::access(file.c_str(), F_OK), 0);
      continue;
    }
    ASSERT_EQ(run.status, 0) << run.err;
    const json check = RunVantelo({"settings", "check", file}).Json();
    EXPECT_EQ(check["status"], "ok");
    // Nothing a save would write again; a Unicode file is noted as such.
    EXPECT_EQ(check["findings"].size(), c.name == "UTF-16" ? 1u : 0u) << check;
    std::size_t fromFile = 0;
    for (const auto& setting : check["settings"])
      fromFile += setting["source"] == "file";
    EXPECT_EQ(fromFile, 25u) << check; // all but MassUnitToDisplay, which has no default
    if (c.name == "two keys") {
      for (const char* kept : {"EnableTimeStamp=True\r\n", "SMThicknessPropertyName=Dicke\r\n"})
        EXPECT_NE(ReadBytes(file).find(kept), std::string::npos) << kept;
    }
  }
}

} // namespace
} // namespace vantelo::test
