// The profile engine on the in-memory file system against the same engine
// on disk: every sequence of writes leaves the same bytes and reports the
// same, and nothing but the settings file is left behind.
#include "profile/memory_profile_file_system.h"
#include "profile/portable_profile_file.h"
#include "support/faulty_file_system.h"
#include "support/temp_files.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace vantelo {
namespace {

using namespace std::string_literals;

struct Step {
  enum class Kind { Write, Create, Read } kind = Kind::Write;
  std::string section, key, value; // Create: value is the contents
};

struct Case {
  const char* name;
  std::optional<std::string> before; // nothing: no file yet
  std::vector<Step> steps;
};

const std::string kUtf16 = "\xFF\xFE[\0S\0]\0\r\0\n\0K\0=\0\xE4\0\r\0\n\0"s;

const Case kCases[] = {
    {"NewFile",
     std::nullopt,
     {{Step::Kind::Write, "S", "K", "V"}, {Step::Kind::Read, "S", "K", ""}}},
    {"Comments",
     "; settings\r\n[Global Options]\r\n; keep me\r\nEnableTimeStamp=False\r\n\r\n"s,
     {{Step::Kind::Write, "Global Options", "EnableTimeStamp", "True"},
      {Step::Kind::Write, "Global Options", "EnableViewScale", "True"}}},
    {"MissingSection",
     "[Global Options]\nEnableTimeStamp=True"s,
     {{Step::Kind::Write, "View Scale Options", "ListSparator", "\" / \""},
      {Step::Kind::Write, "View Scale Options", "ListSparator", "-"}}},
    {"Utf16",
     kUtf16,
     {{Step::Kind::Write, "S", "K", "\xF6"},
      {Step::Kind::Write, "T", "L", "x"},
      {Step::Kind::Read, "S", "K", ""}}},
    {"Utf16OddLengthRefused", kUtf16 + "x", {{Step::Kind::Write, "S", "K", "v"}}},
    {"UnchangedValue", "[S]\r\nK=V\r\n"s, {{Step::Kind::Write, "S", "K", "V"}}},
    {"CreateNeverReplaces",
     std::nullopt,
     {{Step::Kind::Create, "", "", "[A]\r\nB=1\r\n"}, {Step::Kind::Create, "", "", "other"}}},
};

class MemoryFileSystem : public ::testing::TestWithParam<Case> {};
INSTANTIATE_TEST_SUITE_P(Cases, MemoryFileSystem, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(MemoryFileSystem, WritesAsOnDisk) {
  const Case& c = GetParam();
  test::TempDir dir;
  const std::string diskPath = dir.Path("Vantelo.ini");
  const std::string memoryPath = "/settings/Vantelo.ini";
  auto memory = std::make_shared<MemoryProfileFileSystem>();
  if (c.before) {
    test::WriteBytes(diskPath, *c.before);
    memory->PutFile(memoryPath, *c.before);
  }
  PortableProfileFile disk(test::Windows1252());
  PortableProfileFile inMemory(test::Windows1252(), memory);

  for (std::size_t i = 0; i < c.steps.size(); ++i) {
    const Step& step = c.steps[i];
    SCOPED_TRACE("step " + std::to_string(i));
    switch (step.kind) {
    case Step::Kind::Write:
      EXPECT_EQ(inMemory.WriteString(step.section, step.key, step.value, memoryPath),
                disk.WriteString(step.section, step.key, step.value, diskPath));
      break;
    case Step::Kind::Create:
      EXPECT_EQ(inMemory.Create(memoryPath, step.value), disk.Create(diskPath, step.value));
      break;
    case Step::Kind::Read: {
      std::string a(255, '\0'), b(255, '\0');
      EXPECT_EQ(inMemory.GetString(step.section, step.key, "-", a, memoryPath),
                disk.GetString(step.section, step.key, "-", b, diskPath));
      EXPECT_EQ(a, b);
      break;
    }
    }
    EXPECT_EQ(memory->Contents(memoryPath).value_or("(none)"), test::ReadBytes(diskPath));
    EXPECT_EQ(memory->NameCount(), dir.Entries().size()) << "a temporary file was left";
  }
}

TEST(MemoryFileSystemLocks, ALockHeldByAnotherFileFailsAtOnceUntilItIsReleased) {
  MemoryProfileFileSystem fs;
  fs.PutFile("/a.ini", "x");
  using Mode = LockMode;
  struct Row {
    Mode first, second;
    bool together;
  };
  for (const Row row :
       {Row{Mode::Shared, Mode::Shared, true}, Row{Mode::Shared, Mode::Exclusive, false},
        Row{Mode::Exclusive, Mode::Shared, false}, Row{Mode::Exclusive, Mode::Exclusive, false}}) {
    auto first = fs.Open("/a.ini", row.first);
    auto second = fs.Open("/a.ini", row.second);
    ASSERT_EQ(fs.TryLock(*first, row.first), ProfileFileSystem::LockResult::Locked);
    if (row.together) {
      EXPECT_EQ(fs.TryLock(*second, row.second), ProfileFileSystem::LockResult::Locked);
    } else {
      EXPECT_THROW(fs.TryLock(*second, row.second), FileError);
      first.reset(); // closing releases the lock
      EXPECT_EQ(fs.TryLock(*second, row.second), ProfileFileSystem::LockResult::Locked);
    }
  }
}

TEST(MemoryFileSystemLinks, AFileWithTwoNamesIsChangedInPlaceUnderBoth) {
  auto fs = std::make_shared<MemoryProfileFileSystem>();
  fs->PutFile("/a.ini", "[S]\r\nK=1\r\n");
  fs->AddName("/a.ini", "/b.ini");
  PortableProfileFile file(test::Windows1252(), fs);
  ASSERT_TRUE(file.WriteString("S", "K", "2", "/a.ini"));
  EXPECT_EQ(fs->Contents("/b.ini"), "[S]\r\nK=2\r\n");
  EXPECT_EQ(fs->NameCount(), 2u);
}

} // namespace
} // namespace vantelo
