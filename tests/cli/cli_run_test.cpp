// The program end to end on scene files: a save of each document type with
// every writer, the command, the parts-list update, a failing save, a
// decimal-comma locale and the demo.
#include "addin/host_codes.h"
#include "cli/program.h"
#include "config/every_writer_settings.h"
#include "support/temp_files.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace vantelo::test {
namespace {

using nlohmann::json;

constexpr const char* kNow = "2026-12-08T09:05:00";

// A settings file with every writer enabled, as the demo uses.
const std::string kAllWriters = kEveryWriterSettings;

std::string Fresh() { return ReadBytes(std::string(VANTELO_TEST_DATA) + "/fresh_settings.ini"); }

std::vector<std::string> PartsListMembers() {
  return {"--set", "TotalMassUnit=kg",
          "--set", "TotalMassUnitToDisplay=kg",
          "--set", "TotalMassColumnName=TOTAL MASS",
          "--set", "MassColumnName=MASS",
          "--set", "QuantityColumnName=QTY",
          "--set", "Decimals=2",
          "--set", "SpaceBeforeMassUnit=1"};
}

std::vector<std::string> With(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

json Rows(const json& output, const std::string& document) {
  for (const auto& doc : output["documents"])
    if (doc["name"] == document)
      return doc["sheets"][0]["partsLists"][0]["rows"];
  return nullptr;
}

// One expected user-defined property: its type and value; type "absent" for
// a property that must not be there.
struct Expected {
  std::string name, type, value;
};

struct SaveCase {
  const char* scene;
  const char* document;
  std::vector<Expected> user;
  std::vector<Expected> designTracking;
};

void PrintTo(const SaveCase& save, std::ostream* out) { *out << save.scene; }

class SaveEachDocumentType : public ::testing::TestWithParam<SaveCase> {};

TEST_P(SaveEachDocumentType, WritesWhatEachWriterComputes) {
  TempDir dir;
  WriteBytes(dir.Path("Vantelo.ini"), kAllWriters);
  const auto run = RunVantelo({"save", Scene(GetParam().scene), "--settings",
                               dir.Path("Vantelo.ini"), "--now", kNow, "--format", "json"});
  ASSERT_EQ(run.status, 0) << run.err << run.out;
  const json out = run.Json();
  EXPECT_EQ(out["status"], "ok");
  EXPECT_EQ(out["settingsFile"], dir.Path("Vantelo.ini"));
  auto check = [&](const char* fmtid, const std::vector<Expected>& expected) {
    for (const Expected& e : expected) {
      const json property = PropertyOf(out, GetParam().document, fmtid, e.name);
      if (e.type == "absent") {
        EXPECT_TRUE(property.is_null()) << e.name << ": " << property;
        continue;
      }
      ASSERT_FALSE(property.is_null()) << e.name << " is missing";
      EXPECT_EQ(property["type"], e.type) << e.name;
      EXPECT_EQ(property["value"], e.value) << e.name;
    }
  };
  check(fmtid::UserDefined, GetParam().user);
  check(fmtid::DesignTracking, GetParam().designTracking);
}

const SaveCase kSaves[] = {
    {"part.json",
     "Plate.ipt",
     {{"SaveDate", "date", "2026-12-08"},
      {"SaveTime", "text", "09:05"},
      {"TotalMass", "text", "1.23 kg"},
      {"TotalVolume", "text", "123456 mm^3"},
      {"SM_Thickness", "absent", ""}},
     {{"Mass", "text", "1.23 kg"}, {"Volume", "text", "123456 mm^3"}}},
    {"sheet_metal.json",
     "Bracket.ipt",
     {{"SaveDate", "date", "2026-12-08"},
      {"TotalMass", "text", "0.58 kg"},
      {"TotalVolume", "text", "73900 mm^3"},
      {"SM_Thickness", "text", "1.5 mm"},
      {"SM_Style", "text", "Steel 1.5"}, // replaces a date of that name
      {"SM_Extents", "text", "125.00 mm x 40.00 mm"}},
     {{"Mass", "text", "0.58 kg"}}},
    {"assembly.json",
     "Frame.iam",
     {{"SaveTime", "text", "09:05"},
      {"TotalMass", "text", "5.51 lbmass"},
      {"TotalVolume", "text", "61.02 in^3"},
      {"SM_Style", "absent", ""}},
     {{"Mass", "text", "5.51 lbmass"}, {"Volume", "text", "61.02 in^3"}}},
    {"drawing.json",
     "Bracket.idw",
     {{"SaveDate", "date", "2026-12-08"},
      {"SaveTime", "text", "09:05"},
      {"FirstViewScale", "text", "1:2"},
      {"AllViewScales", "text", "1:1 1:4"},
      {"PaperSize", "text", "A3"}, // replaces a number of that name
      {"TotalMass", "text", ""},   // not a writer of drawings
      {"TotalVolume", "absent", ""}},
     {{"Mass", "text", ""}}},
    {"other_type.json",
     "Notes.ipn",
     {{"SaveDate", "date", "2026-12-08"},
      {"SaveTime", "text", "09:05"},
      {"TotalMass", "absent", ""},
      {"FirstViewScale", "absent", ""}},
     {}},
};

INSTANTIATE_TEST_SUITE_P(Cli, SaveEachDocumentType, ::testing::ValuesIn(kSaves),
                         [](const auto& info) {
                           const std::string scene = info.param.scene;
                           return scene.substr(0, scene.find('.'));
                         });

TEST(CliSave, AFirstSaveCreatesTheSettingsFileAndRunsNoWriter) {
  TempDir dir;
  const auto run = RunVantelo({"save", Scene("part.json"), "--settings", dir.Path("Vantelo.ini")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(UserProperty(run.Json(), "Plate.ipt", "SaveTime"), "<missing>");
  EXPECT_EQ(ReadBytes(dir.Path("Vantelo.ini")), Fresh());
}

TEST(CliSave, AnotherTimingCodeNeitherReadsTheSettingsNorWrites) {
  TempDir dir;
  const auto run = RunVantelo(
      {"save", Scene("part.json"), "--settings", dir.Path("Vantelo.ini"), "--timing", "4098"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_FALSE(Exists(dir.Path("Vantelo.ini")));
}

TEST(CliSave, ASettingThatDoesNotConvertFailsTheSaveWithItsCode) {
  TempDir dir;
  WriteBytes(dir.Path("Vantelo.ini"), "[Global Options]\r\nEnableViewScale=yes\r\n");
  const auto run = RunVantelo(
      {"save", Scene("drawing.json"), "--settings", dir.Path("Vantelo.ini"), "--format", "json"});
  EXPECT_EQ(run.status, 1) << run.err;
  const json out = run.Json();
  EXPECT_EQ(out["status"], "error");
  EXPECT_EQ(out["error"]["code"], "0x800A000D");
  EXPECT_NE(out["error"]["message"].get<std::string>().find("yes"), std::string::npos);
  // The documents are still shown, unchanged.
  EXPECT_EQ(UserProperty(out, "Bracket.idw", "SaveDate"), "<missing>");
  EXPECT_EQ(PropertyOf(out, "Bracket.idw", fmtid::UserDefined, "PaperSize")["value"], 3);
  // The load stopped at the failing key: the ones after it were not written back.
  EXPECT_EQ(ReadBytes(dir.Path("Vantelo.ini")), "[Global Options]\r\nEnableViewScale=yes\r\n");
}

TEST(CliSave, NoActiveDocumentFailsTheSave) {
  TempDir dir;
  WriteBytes(dir.Path("Vantelo.ini"), kAllWriters);
  const auto run =
      RunVantelo({"save", Scene("no_active.json"), "--settings", dir.Path("Vantelo.ini")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.Json()["error"]["code"], "0x800A005B");
}

TEST(CliSave, DecimalCommaAndAnotherTimeSeparator) {
  TempDir dir;
  WriteBytes(dir.Path("Vantelo.ini"), kAllWriters);
  const auto part =
      RunVantelo({"save", Scene("part.json"), "--settings", dir.Path("Vantelo.ini"), "--now", kNow,
                  "--decimal-separator", ",", "--time-separator", "."});
  ASSERT_EQ(part.status, 0) << part.err;
  EXPECT_EQ(UserProperty(part.Json(), "Plate.ipt", "TotalMass"), "1,23 kg");
  EXPECT_EQ(UserProperty(part.Json(), "Plate.ipt", "SaveTime"), "09.05");

  const auto drawing = RunVantelo({"save", Scene("drawing_decimal_comma.json"), "--settings",
                                   dir.Path("Vantelo.ini"), "--decimal-separator", ","});
  ASSERT_EQ(drawing.status, 0) << drawing.err;
  EXPECT_EQ(UserProperty(drawing.Json(), "Plate.idw", "FirstViewScale"), "1,5:1");
}

TEST(CliCommand, RunsEveryWriterOfTheTypeWhateverTheEnableSettings) {
  TempDir dir; // no settings file: the load writes the defaults, all writers off
  const auto run = RunVantelo(
      {"command", Scene("drawing.json"), "--settings", dir.Path("Vantelo.ini"), "--now", kNow});
  ASSERT_EQ(run.status, 0) << run.err;
  const json out = run.Json();
  EXPECT_EQ(UserProperty(out, "Bracket.idw", "SaveTime"), "09:05");
  EXPECT_EQ(UserProperty(out, "Bracket.idw", "FirstViewScale"), "1:2");
  EXPECT_EQ(UserProperty(out, "Bracket.idw", "AllViewScales"), "1:1 1:4");
  EXPECT_EQ(UserProperty(out, "Bracket.idw", "PaperSize"), "A3");
  EXPECT_EQ(ReadBytes(dir.Path("Vantelo.ini")), Fresh());
}

TEST(CliCommand, SetAppliesAfterTheSettingsFile) {
  TempDir dir;
  WriteBytes(dir.Path("Vantelo.ini"), Fresh());
  const auto run = RunVantelo({"command", Scene("drawing.json"), "--settings",
                               dir.Path("Vantelo.ini"), "--set", "FirstViewScalePropertyName=Scale",
                               "--set", "howtodisplayfirstviewscale=Scale X:Y"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(UserProperty(run.Json(), "Bracket.idw", "Scale"), "SCALE 1:2");
  EXPECT_EQ(UserProperty(run.Json(), "Bracket.idw", "FirstViewScale"), "<missing>");
}

TEST(CliCommand, AnotherIdDoesNothing) {
  const auto run = RunVantelo({"command", Scene("part.json"), "--id", "2"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.Json()["documents"][0]["propertySets"][0]["properties"], json::array());
}

TEST(CliPartsList, FillsTheTotalMassColumnAndTheDrawingsTotal) {
  const auto run = RunVantelo(With({"partslist", Scene("drawing.json")}, PartsListMembers()));
  ASSERT_EQ(run.status, 0) << run.err;
  const json out = run.Json();
  EXPECT_EQ(Rows(out, "Bracket.idw"), json::parse(R"([["4", "2.5 kg", "10 kg"],
                                                      ["3 pcs", "250 g", "0.75 kg"],
                                                      ["2", "0.5 slug", "14.59 kg"]])"));
  EXPECT_EQ(UserProperty(out, "Bracket.idw", "TotalMass"), "25.34 kg");
  EXPECT_EQ(out["statusBar"], "Updating Totalmass in the Parts List, Please wait.");
  EXPECT_EQ(out["messageBoxes"], json::array());
  EXPECT_EQ(out["settingsFile"], nullptr);
}

TEST(CliPartsList, WithoutMembersTheUpdateFailsWithItsMessageBox) {
  const auto run = RunVantelo({"partslist", Scene("drawing.json")});
  ASSERT_EQ(run.status, 0) << run.err; // the method reports success
  const json out = run.Json();
  EXPECT_EQ(out["messageBoxes"],
            json::parse(R"([{"text": "Can't find any usable Parts List placed on the Drawing.",
                             "style": 16, "title": ""}])"));
  EXPECT_EQ(Rows(out, "Bracket.idw")[0][2], "");
}

TEST(CliPartsList, OnAPartTheUpdateReturnsAnError) {
  const auto run = RunVantelo(
      With({"partslist", Scene("part.json"), "--set", "SuppressError=True"}, PartsListMembers()));
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_EQ(run.Json()["status"], "error");
  EXPECT_EQ(run.Json()["messageBoxes"], json::array());
}

TEST(CliPartsList, DecimalComma) {
  const auto run = RunVantelo(
      With({"partslist", Scene("drawing_decimal_comma.json"), "--decimal-separator", ","},
           PartsListMembers()));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Rows(run.Json(), "Plate.idw"),
            json::parse(R"([["1", "1,25 kg", "1,25 kg"], ["2", "0,5 kg", "1 kg"]])"));
  // 2.25 rounded to the drawing's one decimal, the half to the even digit.
  EXPECT_EQ(UserProperty(run.Json(), "Plate.idw", "TotalMass"), "2,2 kg");
}

TEST(CliDemo, RunsEveryWriterAndLeavesNoFileBehind) {
  TempDir tmp;
  const auto run = RunVantelo({"demo", "--now", kNow, "--format", "json"},
                              {.environment = {{"TMPDIR", tmp.Path()}}});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(tmp.Entries().empty());
  const json out = run.Json();
  ASSERT_EQ(out["steps"].size(), 5u);
  for (const auto& step : out["steps"])
    EXPECT_EQ(step["status"], "ok") << step;
  ASSERT_EQ(out["documents"].size(), 4u);
  for (const auto& document : out["documents"])
    EXPECT_EQ(UserProperty(out, document["name"], "SaveTime"), "09:05");
  const std::string drawing = "Bracket Assembly.idw";
  EXPECT_EQ(UserProperty(out, drawing, "FirstViewScale"), "1:2");
  EXPECT_EQ(UserProperty(out, drawing, "AllViewScales"), "2:1 1.5:1 1:1 1:4 1:10");
  EXPECT_EQ(UserProperty(out, drawing, "PaperSize"), "A3");
  EXPECT_EQ(UserProperty(out, drawing, "TotalMass"), "2.49 kg");
  for (const auto& row : Rows(out, drawing))
    EXPECT_NE(row[4], "") << row;
  EXPECT_EQ(UserProperty(out, "Base Plate.ipt", "TotalMass"), "1.23 kg");
  EXPECT_EQ(UserProperty(out, "Side Bracket.ipt", "SM_Style"), "Steel 1.5 mm");
  EXPECT_EQ(UserProperty(out, "Bracket Assembly.iam", "TotalVolume"), "20.33 in^3");
}

TEST(CliOutput, TheTableShowsWhatChanged) {
  TempDir dir;
  WriteBytes(dir.Path("Vantelo.ini"), kAllWriters);
  const auto run = RunVantelo({"save", Scene("drawing.json"), "--settings", dir.Path("Vantelo.ini"),
                               "--now", kNow, "--format", "table"});
  ASSERT_EQ(run.status, 0) << run.err;
  // A line holding all the parts, in this order.
  auto hasLine = [&](std::vector<std::string> parts) {
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);) {
      std::size_t at = 0;
      for (const std::string& part : parts)
        at = at == std::string::npos ? at : line.find(part, at);
      if (at != std::string::npos)
        return true;
    }
    return false;
  };
  EXPECT_TRUE(hasLine({"save Bracket.idw: ok"})) << run.out;
  EXPECT_TRUE(hasLine({"Bracket.idw (drawing)"})) << run.out;
  EXPECT_TRUE(hasLine({"PaperSize", "text", "\"A3\"", "changed, was 3"})) << run.out;
  EXPECT_TRUE(hasLine({"SaveTime", "text", "\"09:05\"", "new"})) << run.out;
  EXPECT_TRUE(hasLine({"Message boxes: none"})) << run.out;
}

// A scene names the document types as the report does; a type code without a
// name stays a number in both.
TEST(CliOutput, DocumentTypesReadAndReportByTheSameNames) {
  TempDir dir;
  WriteBytes(dir.Path("types.json"), R"({"active": "P.ipt", "documents": [
      {"name": "P.ipt", "type": "part"}, {"name": "A.iam", "type": "assembly"},
      {"name": "D.idw", "type": "drawing"}, {"name": "N.ipn", "type": 12293}]})");
  WriteBytes(dir.Path("Vantelo.ini"), "");
  const auto save = [&](const char* format) {
    return RunVantelo({"save", dir.Path("types.json"), "--settings", dir.Path("Vantelo.ini"),
                       "--now", kNow, "--format", format});
  };
  const auto asJson = save("json");
  const auto asTable = save("table");
  ASSERT_EQ(asJson.status, 0) << asJson.err;
  ASSERT_EQ(asTable.status, 0) << asTable.err;
  const struct {
    const char* name;
    json type;
    const char* heading;
  } rows[] = {{"P.ipt", "part", "P.ipt (part)"},
              {"A.iam", "assembly", "A.iam (assembly)"},
              {"D.idw", "drawing", "D.idw (drawing)"},
              {"N.ipn", 12293, "N.ipn (12293)"}};
  const json out = asJson.Json();
  for (const auto& row : rows) {
    EXPECT_EQ(FieldOf(out["documents"], "name", row.name, "type"), row.type) << row.name;
    EXPECT_NE(asTable.out.find(row.heading), std::string::npos) << row.heading << "\n"
                                                                << asTable.out;
  }
}

TEST(CliOutput, EverySubcommandDocumentsItsOptions) {
  const std::vector<std::vector<std::string>> cases = {
      {"save", "--settings", "--timing", "--now", "--format", "--decimal-separator"},
      {"command", "--id", "--set", "--settings", "--time-separator", "ListSparator"},
      {"partslist", "--set", "TotalMassUnit"},
      {"demo", "--now", "--format"},
      {"settings", "init", "check", "get", "set"}};
  for (const auto& c : cases) {
    const auto run = RunVantelo({c[0], "--help"});
    EXPECT_EQ(run.status, 0) << c[0];
    for (std::size_t i = 1; i < c.size(); ++i)
      EXPECT_NE(run.out.find(c[i]), std::string::npos) << c[0] << " --help lacks " << c[i];
  }
  EXPECT_EQ(RunVantelo({"--version"}).out, "vantelo 1.0.0\n");
}

} // namespace
} // namespace vantelo::test
