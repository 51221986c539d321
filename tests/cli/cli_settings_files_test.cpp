// The settings file and scene paths of the vantelo program, and several
// programs writing one settings file at once. These run against the Linux
// program and, under Wine, against vantelo.exe.
#include "cli/program.h"
#include "support/temp_files.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace vantelo::test {
namespace {

void MakeFolder(const std::string& path) {
  std::filesystem::create_directories(PathFromUtf8(path));
}

// Names outside ASCII, in the tools and the scene; a file path the ANSI
// code page cannot hold is refused where it must pass through it (the
// add-in's get and set), never turned into '?'.
TEST(CliPaths, NamesOutsideAsciiAreReachedAsGiven) {
  TempDir dir;
  const std::string japanese = dir.Path("\u65E5\u672C"), german = dir.Path("gr\u00FCn");
  MakeFolder(japanese);
  MakeFolder(german);
  const std::string questionMarks(2, '?'); // where a detour through '?' would lead
  MakeFolder(dir.Path(questionMarks));
  WriteBytes(japanese + "/a.ini", "[Global Options]\r\nEnableTimeStamp=True\r\n");
  WriteBytes(dir.Path(questionMarks + "/a.ini"), "[Global Options]\r\nEnableMassVolume=True\r\n");
  WriteBytes(german + "/Ma\u00DFe.json", ReadBytes(Scene("part.json")));

  const std::string installed = japanese + "/Vantelo.ini";
  const auto install =
      RunVantelo({"settings", "install", installed, "--from", japanese + "/a.ini"});
  ASSERT_EQ(install.status, 0) << install.err;
  EXPECT_EQ(ReadBytes(installed), ReadBytes(japanese + "/a.ini"));
  EXPECT_EQ(RunVantelo({"settings", "init", installed}).status, 0);
  const auto check = RunVantelo({"settings", "check", installed});
  EXPECT_EQ(check.status, 0) << check.err;
  EXPECT_EQ(check.Json()["settings"][4]["value"], "True");
  EXPECT_EQ(ReadBytes(dir.Path(questionMarks + "/a.ini")),
            "[Global Options]\r\nEnableMassVolume=True\r\n");

  const std::string settings = german + "/Vantelo.ini";
  WriteBytes(settings, "[Global Options]\r\nEnableTimeStamp=True\r\n");
  const auto save = RunVantelo({"save", german + "/Ma\u00DFe.json", "--settings", settings});
  EXPECT_EQ(save.status, 0) << save.err;
  EXPECT_NE(UserProperty(save.Json(), "Plate.ipt", "SaveTime"), "<missing>");

  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"settings", "get", installed, "S", "K"},
        {"settings", "set", installed, "S", "K", "v"},
        {"save", Scene("part.json"), "--settings", installed}}) {
    const auto refused = RunVantelo(arguments);
    EXPECT_EQ(refused.status, 2) << arguments[1];
    EXPECT_NE(refused.err.find("ANSI code page"), std::string::npos) << refused.err;
  }
  EXPECT_EQ(dir.Entries(), (std::set<std::string>{"\u65E5\u672C", "gr\u00FCn", questionMarks}));
}

// Windows names ignore letter case, so the add-in's "Vantelo.ini" is also
// "VANTELO.INI" there; elsewhere the name must end in ".ini" exactly.
TEST(CliPaths, TheSettingsFileNameEndsInIniAsTheSystemComparesNames) {
  TempDir dir;
  const std::string file = dir.Path("Vantelo.INI");
  WriteBytes(file, "[Global Options]\r\nEnableTimeStamp=True\r\n");
  const auto run = RunVantelo({"save", Scene("part.json"), "--settings", file});
  if (WindowsProgram()) {
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(UserProperty(run.Json(), "Plate.ipt", "SaveTime"), "<missing>");
  } else {
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("must end in \".ini\""), std::string::npos) << run.err;
  }
}

// A settings file whose name takes 240 of the 255 characters a name may
// have: every tool handles it, and no temporary file is left beside it. (A
// short folder: the profile functions that set and get go through take
// paths of at most 259 characters.)
TEST(CliPaths, ALongSettingsFileNameWorksForEveryTool) {
  TempDir dir("v");
  const std::string name = std::string(236, 'n') + ".ini";
  const std::string file = dir.Path(name);
  struct Step {
    std::vector<std::string> arguments;
  } steps[] = {
      {{"settings", "set", file, "Global Options", "EnableTimeStamp", "True"}},
      {{"settings", "init", file}},
      {{"settings", "get", file, "Global Options", "EnableTimeStamp"}},
      {{"settings", "check", file}},
  };
  for (const Step& step : steps) {
    const auto run = RunVantelo(step.arguments);
    EXPECT_EQ(run.status, 0) << step.arguments[1] << ": " << run.err;
  }
  ASSERT_EQ(::remove(file.c_str()), 0);
  const auto install = RunVantelo({"settings", "install", file});
  EXPECT_EQ(install.status, 0) << install.err;
  EXPECT_EQ(dir.Entries(), std::set<std::string>{name});

  // Deeper, the whole path is too long for Windows' profile functions:
  // refused with the limit, where the tools themselves have none.
  const std::string deeper = dir.Path(std::string(40, 'd'));
  MakeFolder(deeper);
  const auto set = RunVantelo({"settings", "set", deeper + "/" + name, "S", "K", "v"});
  const auto init = RunVantelo({"settings", "init", deeper + "/" + name});
  EXPECT_EQ(init.status, 0) << init.err;
  if (WindowsProgram()) {
    EXPECT_EQ(set.status, 2);
    EXPECT_NE(set.err.find("longer than the 259 characters"), std::string::npos) << set.err;
  } else {
    EXPECT_EQ(set.status, 0) << set.err;
  }
}

// Eight programs each set their own keys, round after round, while others
// complete the file (init), save with it (a load with its write-backs) and
// read a key no one changes: every key arrives, and a reader never sees a
// value that no writer wrote.
TEST(CliConcurrency, WritersLoseNothingAndReadersSeeOnlyWrittenValues) {
  constexpr int kWriters = 8, kRounds = 50;
  TempDir dir;
  const std::string file = dir.Path("Vantelo.ini");
  WriteBytes(file, "[Keep]\r\nImportant=yes\r\n");
  const auto value = [](int w, int r) {
    return "w" + std::to_string(w) + "r" + std::to_string(r) + std::string(100, '.');
  };

  std::atomic<int> writersLeft{kWriters}, failures{0};
  std::vector<std::string> seen;
  std::vector<std::thread> threads;
  for (int w = 0; w < kWriters; ++w)
    threads.emplace_back([&, w] {
      for (int r = 0; r < kRounds; ++r) {
        const auto run =
            RunVantelo({"settings", "set", file, "S" + std::to_string(r % 3),
                        "W" + std::to_string(w) + "R" + std::to_string(r), value(w, r)});
        failures += run.status != 0;
      }
      --writersLeft;
    });
  threads.emplace_back([&] { // a reader of a key no one changes
    while (writersLeft > 0) {
      const auto run = RunVantelo(
          {"settings", "get", "--format", "table", file, "Keep", "Important", "DEFAULT"});
      seen.push_back(run.status == 0 ? run.out : "exit " + std::to_string(run.status));
    }
  });
  threads.emplace_back([&] { // whole-file writes and loads with write-backs
    for (int round = 0; writersLeft > 0; ++round) {
      const auto run = round % 2 == 0
                           ? RunVantelo({"settings", "init", file})
                           : RunVantelo({"save", Scene("part.json"), "--settings", file});
      failures += run.status != 0;
    }
  });
  for (std::thread& thread : threads)
    thread.join();

  EXPECT_EQ(failures, 0);
  EXPECT_FALSE(seen.empty());
  for (const std::string& text : seen)
    EXPECT_EQ(text, "yes\n");
  const std::string contents = ReadBytes(file);
  int missing = 0;
  for (int w = 0; w < kWriters; ++w)
    for (int r = 0; r < kRounds; ++r)
      missing += contents.find("W" + std::to_string(w) + "R" + std::to_string(r) + "=" +
                               value(w, r) + "\r\n") == std::string::npos;
  EXPECT_EQ(missing, 0);
  EXPECT_NE(contents.find("[Keep]\r\nImportant=yes\r\n"), std::string::npos) << contents;
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"Vantelo.ini"});
}

} // namespace
} // namespace vantelo::test
