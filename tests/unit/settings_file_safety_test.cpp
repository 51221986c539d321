// A save while the settings file cannot be written, or not even read: every
// write-back of a missing key fails and is ignored, the save goes on, and the
// file keeps every byte it had; no temporary file is left beside it.
#include "support/addin_harness.h"
#include "support/faulty_file_system.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace vantelo::test {
namespace {

// Two enable keys, so that the other 24 keys are written back at each save,
// and lines the add-in does not know.
const std::string kSettings = "; edited by hand\r\n"
                              "[Global Options]\r\n"
                              "EnableTimeStamp=True\r\n"
                              "EnablePaperSize=True\r\n"
                              "\r\n"
                              "[Our Own Section]\r\n"
                              "Colour=blue\r\n";

class SettingsFileSafety : public ::testing::TestWithParam<Fault> {};

// The fault, with no room to write in place either (which a full disk would
// otherwise leave to try).
TEST_P(SettingsFileSafety, ASaveLosesNoKeyWhenTheFileCannotBeWritten) {
  AddinHarness h({.settingsFileSystem = std::make_shared<FaultyFileSystem>(
                      std::set<Fault>{GetParam(), Fault::NoSpaceToReserve})});
  h.WriteSettings(kSettings);
  auto& drawing = h.host.AddDocument(
      {.name = "A.idw", .type = document_type::Drawing, .sheets = {{.size = 9996}}});

  const sim::SaveOutcome outcome = h.Save(drawing);

  EXPECT_TRUE(outcome.succeeded) << outcome.message;
  EXPECT_EQ(h.ReadSettings(), kSettings);
  EXPECT_EQ(h.dir.Entries(), std::set<std::string>{"Vantelo.ini"});
  // The settings still read from the file drive the writers; when nothing can
  // be read every setting takes its default, where no writer is enabled.
  const bool readable = GetParam() != Fault::ReadFails;
  EXPECT_EQ(UserProperty(drawing, "SaveTime") != "<missing>", readable);
  EXPECT_EQ(UserProperty(drawing, "PaperSize"), readable ? "A3" : "<missing>");
}

INSTANTIATE_TEST_SUITE_P(Settings, SettingsFileSafety,
                         ::testing::Values(Fault::ReadFails, Fault::ReadOnlyFile,
                                           Fault::ShortWriteThenNoSpace, Fault::NoSpace,
                                           Fault::FlushFails, Fault::CloseFails,
                                           Fault::WriteThrows),
                         [](const auto& info) { return std::string(Name(info.param)); });

} // namespace
} // namespace vantelo::test
