// The scene loader: what a scene file becomes, and the message for each kind
// of mistake in one (the file, the JSON path, what is wrong).
#include "cli/scene_loader.h"
#include "cli/usage_error.h"

#include "support/temp_files.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace vantelo::cli {
namespace {

using namespace std::string_view_literals;

std::string ErrorOf(std::string_view text) {
  try {
    ParseScene(text, "scene.json");
  } catch (const UsageError& error) {
    return error.what();
  }
  return "(no error)";
}

struct BadScene {
  std::string_view text; // may hold NUL bytes
  const char* message;   // the whole message must contain it
};

void PrintTo(const BadScene& scene, std::ostream* out) { *out << scene.message; }

class SceneLoaderErrors : public ::testing::TestWithParam<BadScene> {};

TEST_P(SceneLoaderErrors, NameTheFileThePlaceAndTheMistake) {
  const std::string message = ErrorOf(GetParam().text);
  EXPECT_NE(message.find(GetParam().message), std::string::npos) << message;
  EXPECT_EQ(message.rfind("scene.json", 0), 0u) << message;
}

// A drawing with two sheets, for errors deep inside one.
#define DRAWING(sheet2)                                                                            \
  R"({"documents": [{"name": "A.idw", "type": "drawing", "sheets": [{}, )" sheet2 R"(]}]})"
#define PART(fields) R"({"documents": [{"name": "P.ipt", )" fields R"(}]})"
#define SETS(sets) PART(R"("propertySets": )" sets)

const BadScene kBadScenes[] = {
    {"[]", "scene.json: the scene: expected an object, got an array"},
    {"{}", "the field \"documents\" is missing"},
    {R"({"documents": {}})", "scene.json: documents: expected an array, got an object"},
    {R"({"documents": [], "colour": 1})", "scene.json: colour: unknown field"},
    {R"({"documents": [3]})", "documents[0]: expected an object, got a whole number"},
    {PART(R"("type": "Part")"), "documents[0].type: unknown document type \"Part\""},
    {PART(R"("type": 1.5)"), "documents[0].type: expected \"part\", \"assembly\", \"drawing\""},
    {PART(R"("versionNumber": "7000")"),
     "documents[0].versionNumber: expected a whole number, got a string"},
    {PART(R"("versionNumber": 3000000000)"), "documents[0].versionNumber: the number is too large"},
    {PART(R"("subtype": null)"), "documents[0].subtype: expected a string, got null"},
    {PART(R"("units": {"mass": "kilo"})"), "documents[0].units.mass: unknown unit \"kilo\""},
    {PART(R"("units": {"length": 2.5})"), "documents[0].units.length: expected a unit name"},
    {PART(R"("units": {"decimals": 2})"), "documents[0].units.decimals: unknown field"},
    {PART(R"("massProperties": {"mass": "1"})"),
     "documents[0].massProperties.mass: expected a number, got a string"},
    {PART(R"("massProperties": {"mass": 1, "weight": 2})"),
     "documents[0].massProperties.weight: unknown field"},
    {PART(R"("sheetMetal": {"flatPattern": {"min": [0]}})"),
     "documents[0].sheetMetal.flatPattern: needs both corners"},
    {PART(R"("sheetMetal": {"flatPattern": {"min": [0], "max": [1, 2]}})"),
     "documents[0].sheetMetal.flatPattern.min: expected 2 or 3 coordinates"},
    {PART(R"("sheetMetal": {"flatPattern": {"min": [0, 0], "max": [1, true]}})"),
     "documents[0].sheetMetal.flatPattern.max[1]: expected a number, got true/false"},
    {DRAWING(R"({"size": "A5"})"), "documents[0].sheets[1].size: unknown paper name \"A5\""},
    {DRAWING(R"({"views": [0.5, 0.25, "x"]})"),
     "documents[0].sheets[1].views[2]: expected a number, got a string"},
    {DRAWING(R"({"partsLists": [{"columns": ["QTY", "MASS"], "rows": [["1", "2 kg"], ["3"]]}]})"),
     "documents[0].sheets[1].partsLists[0].rows[1]: has 1 cells but the parts list has 2 columns"},
    {DRAWING(R"({"partsLists": [{"columns": ["QTY"], "rows": [[4]]}]})"),
     "documents[0].sheets[1].partsLists[0].rows[0][0]: expected a string, got a whole number"},
    {R"({"documents": [{"sheets": [{}, {}], "activeSheet": 3}]})",
     "documents[0].activeSheet: expected a sheet number from 1 to 2, got 3"},
    {R"({"documents": [{"activeSheet": 1}]})",
     "documents[0].activeSheet: the document has no sheets"},
    {SETS(R"([{"fmtid": "abc"}])"), "documents[0].propertySets[0].fmtid: not a format identifier"},
    {SETS(R"([{"properties": []}])"),
     "documents[0].propertySets[0]: the field \"fmtid\" is missing"},
    {SETS(R"([{"fmtid": "{D5CDD505-2E9C-101B-9397-08002B2CF9AE}"},
              {"fmtid": "{d5cdd505-2e9c-101b-9397-08002b2cf9ae}"}])"),
     "documents[0].propertySets[1].fmtid: the document has a set"},
    {SETS(R"([{"fmtid": "{D5CDD505-2E9C-101B-9397-08002B2CF9AE}",
               "properties": [{"name": "A"}, {"value": 1}]}])"),
     "documents[0].propertySets[0].properties[1]: the field \"name\" is missing"},
    {SETS(R"([{"fmtid": "{D5CDD505-2E9C-101B-9397-08002B2CF9AE}",
               "properties": [{"name": "Mass"}, {"name": "MASS"}]}])"),
     "documents[0].propertySets[0].properties[1].name: the set has a property named \"Mass\""},
    {SETS(R"([{"fmtid": "{D5CDD505-2E9C-101B-9397-08002B2CF9AE}",
               "properties": [{"name": "A", "id": 1}]}])"),
     "properties[0].id: property identifiers start at 2"},
    {SETS(R"([{"fmtid": "{D5CDD505-2E9C-101B-9397-08002B2CF9AE}",
               "properties": [{"name": "A", "id": 9}, {"name": "B", "id": 9}]}])"),
     "properties[1].id: the set has a property with identifier 9 already"},
    {SETS(R"([{"fmtid": "{D5CDD505-2E9C-101B-9397-08002B2CF9AE}",
               "properties": [{"name": "A", "value": {"date": "2026-02-30"}}]}])"),
     "properties[0].value.date: not a date: \"2026-02-30\""},
    {SETS(R"([{"fmtid": "{D5CDD505-2E9C-101B-9397-08002B2CF9AE}",
               "properties": [{"name": "A", "value": [1]}]}])"),
     "properties[0].value: expected a string, a number, true/false, null or {\"date\": ...}"},
    {R"({"active": "Nope", "documents": [{"name": "A"}]})",
     "active: no document is named \"Nope\""},
    {R"({"documents": [{"name": "A"}, {"name": "A"}]})",
     "documents[1].name: another document is named \"A\" already"},
    {R"({"documents": [{"sheets": [{"size": "A3", "size": "A4"}]}]})",
     "documents[0].sheets[0].size: the field is given twice in the same object"},
    {"{\"documents\": [\n  {\"name\": \"A\",}\n]}", "scene.json:2:16: malformed JSON"},
    {"{\"documents\": [", "scene.json:1:16: malformed JSON"},
    {R"({"documents": [{}, {"sheets": [{}, {"views": [], "views": []}]}]})",
     "scene.json: documents[1].sheets[1].views: the field is given twice"},
    {R"({"documents": [{"versionNumber": 1e400}]})",
     "scene.json:1:34: malformed JSON: number overflow parsing '1e400'"},
    // The parser would take a NUL byte for the end of the text.
    {"{\"documents\": []}\0{\"bogus\": 1}"sv, "scene.json:1:18: a NUL byte"},
    {"{\"documents\": [{\"name\": \"A\0B\"}]}"sv, "scene.json:1:27: a NUL byte"},
    {"{\"documents\": []}\n// \0\n"sv, "scene.json:2:4: a NUL byte"},
    // Whole numbers beyond 64 bits are kept as doubles, but are still whole.
    {PART(R"("type": 123456789012345678901234567890)"),
     "documents[0].type: the number is too large (at most 2147483647)"},
    {PART(R"("versionNumber": -1e20)"), "documents[0].versionNumber: the number is out of range"},
    {PART(R"("subtype": 1e30)"), "documents[0].subtype: expected a string, got a whole number"},
    {PART(R"("units": {"displayDecimals": 2.5})"),
     "documents[0].units.displayDecimals: expected a whole number, got a number with a fraction"},
};

INSTANTIATE_TEST_SUITE_P(Cli, SceneLoaderErrors, ::testing::ValuesIn(kBadScenes));

TEST(SceneLoader, ReadsEveryFieldOfADocument) {
  const Scene scene = ParseScene(R"({
    // Comments are allowed.
    "active": "A.idw",
    "documents": [
      { "name": "P.ipt", "type": "part", "versionNumber": 5000,
        "units": { "mass": "g", "length": 11272, "displayDecimals": 3 },
        "massProperties": { "mass": 1.5, "volume": 2 },
        "sheetMetal": { "thickness": 0.15, "thicknessUnit": "mm", "style": "S",
                        "flatPattern": { "min": [1, 2], "max": [3, 4, 5] } } },
      { "name": "A.idw", "type": "drawing", "activeSheet": 2,
        "sheets": [ { "size": "a3", "views": [0.5] },
                    { "size": 9994, "partsLists": [ { "columns": ["Q"], "rows": [["4"]] } ] } ],
        "propertySets": [ { "fmtid": "{D5CDD505-2E9C-101B-9397-08002B2CF9AE}",
                            "properties": [ { "name": "T", "value": "x" },
                                            { "name": "N", "id": 7, "value": 3 },
                                            { "name": "D", "value": { "date": "2026-01-31" } },
                                            { "name": "F", "value": 0.5 },
                                            { "name": "B", "value": true },
                                            { "name": "E" } ] } ] },
      { "type": 12297 } ] })",
                                 "scene.json");
  ASSERT_EQ(scene.documents.size(), 3u);
  EXPECT_EQ(scene.active, 1u);

  const sim::DocumentData& part = scene.documents[0];
  EXPECT_EQ(part.type, document_type::Part);
  EXPECT_EQ(part.subType, subtype::SheetMetalPart); // follows from the sheet-metal data
  EXPECT_EQ(part.versionNumber, 5000);
  EXPECT_EQ(part.units.massUnits, units::Gram);
  EXPECT_EQ(part.units.lengthUnits, units::Inch);
  EXPECT_EQ(part.units.displayPrecision, 3);
  ASSERT_TRUE(part.massProperties && part.sheetMetal && part.sheetMetal->flatPattern);
  EXPECT_EQ(part.massProperties->mass, Value(1.5));
  EXPECT_EQ(part.sheetMetal->flatPattern->minPoint.y, 2.0);
  EXPECT_EQ(part.sheetMetal->flatPattern->maxPoint.z, 5.0);
  ASSERT_EQ(part.propertySets.size(), 2u); // the default sets
  EXPECT_NE(part.Property(fmtid::DesignTracking, "Mass"), nullptr);

  const sim::DocumentData& drawing = scene.documents[1];
  EXPECT_EQ(drawing.activeSheet, 1u);
  EXPECT_EQ(drawing.sheets[0].size, 9996);
  EXPECT_EQ(drawing.sheets[1].partsLists[0].rows[0][0], "4");
  ASSERT_EQ(drawing.propertySets.size(), 1u); // exactly the sets given
  const auto& properties = drawing.propertySets[0].properties;
  EXPECT_EQ(properties.Find("T")->value, Value(std::string("x")));
  EXPECT_EQ(properties.Find("N")->id, 7);
  EXPECT_EQ(properties.Find("N")->value, Value(std::int32_t{3}));
  EXPECT_EQ(KindOf(properties.Find("D")->value), ValueKind::Date);
  EXPECT_EQ(properties.Find("F")->value, Value(0.5));
  EXPECT_EQ(properties.Find("B")->value, Value(true));
  EXPECT_EQ(KindOf(properties.Find("E")->value), ValueKind::Empty);

  EXPECT_EQ(scene.documents[2].type, 12297);
  EXPECT_EQ(scene.documents[2].name, "Document3");
}

TEST(SceneLoader, TheActiveDocumentIsTheFirstUnlessNamedOrNull) {
  EXPECT_EQ(ParseScene(R"({"documents": [{"name": "A"}, {"name": "B"}]})", "s").active, 0u);
  EXPECT_EQ(ParseScene(R"({"active": null, "documents": [{"name": "A"}]})", "s").active,
            std::nullopt);
  EXPECT_EQ(ParseScene(R"({"documents": []})", "s").active, std::nullopt);
}

TEST(SceneLoader, WholeNumbersMayBeWrittenWithAPointOrAnExponent) {
  const Scene scene = ParseScene(
      R"({"documents": [{"versionNumber": 7e3, "sheets": [{}, {}], "activeSheet": 2.0}]})", "s");
  EXPECT_EQ(scene.documents[0].versionNumber, 7000);
  EXPECT_EQ(scene.documents[0].activeSheet, 1u);
}

TEST(SceneLoader, AFileBeyondTheSizeLimitIsRefusedWithTheLimit) {
  const test::TempDir dir;
  const std::string file = dir.Path() + "/scene.json";
  const std::string text = R"({"documents": []})";
  test::WriteBytes(file, text);
  EXPECT_TRUE(LoadSceneFile(file, text.size()).documents.empty());
  try {
    LoadSceneFile(file, text.size() - 1);
    FAIL() << "a file over the limit was read";
  } catch (const UsageError& error) {
    EXPECT_EQ(error.what(), file + ": the scene file is larger than the limit of 16 bytes");
  }
}

// A scene takes bounded memory: each limit holds a scene that reaches it
// and refuses one beyond it, brackets nested too deep at their place.
TEST(SceneLoader, ScenesUpToTheLimitsLoadAndBeyondThemAreRefused) {
  auto repeated = [](std::string_view item, std::size_t count, std::string_view separator) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i)
      text.append(i == 0 ? "" : separator).append(item);
    return text;
  };
  // Nesting: the object and the arrays inside it.
  auto nested = [&](std::size_t depth) {
    return "{\"documents\": " + repeated("[", depth - 1, "") + repeated("]", depth - 1, "") + "}";
  };
  // Values and names: 9 around the views.
  auto views = [&](std::size_t values) {
    return R"({"documents": [{"sheets": [{"views": [)" + repeated("0", values - 9, ",") + "]}]}]}";
  };
  auto documents = [&](std::size_t count) {
    return "{\"documents\": [" + repeated("{}", count, ",") + "]}";
  };
  const std::string tooDeep = nested(kSceneNestingLimit + 1);
  const struct {
    std::string text;
    std::string message; // empty: the scene loads
  } cases[] = {
      {nested(kSceneNestingLimit), "documents[0]: expected an object, got an array"},
      {tooDeep, "scene.json:1:" + std::to_string(tooDeep.rfind('[') + 1) +
                    ": brackets nested more than 64 deep, the most a scene may have"},
      {views(kSceneValueLimit), ""},
      {views(kSceneValueLimit + 1),
       "more than 1000000 values and field names, the most a scene may hold"},
      {documents(kSceneDocumentLimit), ""},
      {documents(kSceneDocumentLimit + 1),
       "scene.json: documents: 10001 documents; a scene may hold at most 10000"},
  };
  for (const auto& c : cases) {
    const std::string error = ErrorOf(c.text);
    EXPECT_NE(error.find(c.message.empty() ? "(no error)" : c.message), std::string::npos) << error;
  }
}

TEST(SceneLoader, APartWithoutSheetMetalIsAnOrdinaryPart) {
  const Scene scene = ParseScene(R"({"documents": [{"type": "part"}, {"type": "drawing"}]})", "s");
  EXPECT_EQ(scene.documents[0].subType, subtype::Part);
  EXPECT_EQ(scene.documents[1].subType, "");
}

} // namespace
} // namespace vantelo::cli
