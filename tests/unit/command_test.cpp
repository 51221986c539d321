// The order in which the writers run, through the add-in command and through
// the save notification, read from the stand-in host's record of operations;
// and a writer that fails before its error skipping ending its caller.
#include "support/addin_harness.h"
#include "support/failure_code.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace vantelo::test {
namespace {

using Access = clsVanteloTestAccess;
using Ops = std::vector<std::string>;

constexpr std::int32_t kFault = static_cast<std::int32_t>(0x80041234);

// A document of the type that every writer for that type can work on.
sim::DocumentData Document(std::int32_t type) {
  sim::DocumentData document{.name = "D", .type = type};
  switch (type) {
  case document_type::Drawing:
    document.sheets = {{.size = PaperSizeCodeOf("A3"), .viewScales = {0.5, 0.25}},
                       {.viewScales = {2}}};
    break;
  case document_type::Part:
    document.subType = subtype::SheetMetalPart;
    document.sheetMetal = sim::SheetMetalData{.thickness = 0.2, .styleName = "S"};
    [[fallthrough]];
  case document_type::Assembly:
    document.massProperties = sim::MassPropertiesData{.mass = 1.0, .volume = 1.0};
    break;
  default:
    break;
  }
  return document;
}

// What the command and a handled save call on the host for each document
// type, in order. A writer's name stands for the operations that writer makes
// when called on its own; every other entry is one host operation.
constexpr const char* kActive = "Application.ActiveDocument";
constexpr const char* kType = "Document.DocumentType";

struct ExpectedCalls {
  std::int32_t type;
  std::vector<std::string> command; // ExecuteCommand(1)
  std::vector<std::string> save;    // a save with every writer enabled
};

const ExpectedCalls kExpectedCalls[] = {
    {document_type::Part,
     {"TimeStamp", kActive, kType, kActive, kType, kActive, kType, "Mass_Volume", kActive, kType,
      "SheetMetal_Style"},
     {kActive, "TimeStamp", kType, kType, kType, "Mass_Volume", kActive, kType,
      "SheetMetal_Style"}},
    {document_type::Assembly,
     {"TimeStamp", kActive, kType, kActive, kType, kActive, kType, "Mass_Volume", kActive, kType},
     {kActive, "TimeStamp", kType, kType, kType, "Mass_Volume", kActive, kType}},
    {document_type::Drawing,
     {"TimeStamp", kActive, kType, "ViewScale_First", "ViewScale_All", "PaperSize", kActive, kType,
      kActive, kType, kActive, kType},
     {kActive, "TimeStamp", kType, "ViewScale_First", "ViewScale_All", "PaperSize", kType, kType,
      kActive, kType}},
    {12345, // a type no writer is for
     {"TimeStamp", kActive, kType, kActive, kType, kActive, kType, kActive, kType},
     {kActive, "TimeStamp", kType, kType, kType, kActive, kType}},
};

class WriterOrder : public ::testing::Test {
protected:
  WriterOrder() { h.UseDefaultSettings(); }

  // The operations one call makes.
  Ops OpsOf(const std::function<void()>& call) {
    h.host.ClearOperations();
    call();
    return h.host.Operations();
  }
  Ops Writer(const std::string& name) {
    if (name == "TimeStamp")
      return OpsOf([&] { h.addin->TimeStamp(); });
    if (name == "ViewScale_First")
      return OpsOf([&] { Access::ViewScale_First(*h.addin); });
    if (name == "ViewScale_All")
      return OpsOf([&] { Access::ViewScale_All(*h.addin); });
    if (name == "PaperSize")
      return OpsOf([&] { h.addin->PaperSize(); });
    if (name == "Mass_Volume")
      return OpsOf([&] { h.addin->Mass_Volume(); });
    if (name == "SheetMetal_Style")
      return OpsOf([&] { h.addin->SheetMetal_Style(); });
    ADD_FAILURE() << "no writer " << name;
    return {};
  }
  // The host operations of the entries, each writer's recorded on its own on
  // the active document.
  Ops Expand(const std::vector<std::string>& entries) {
    Ops ops;
    for (const std::string& entry : entries) {
      if (entry.find('.') != std::string::npos) {
        ops.push_back(entry);
      } else {
        const Ops writer = Writer(entry);
        ops.insert(ops.end(), writer.begin(), writer.end());
      }
    }
    return ops;
  }

  AddinHarness h;
};

TEST_F(WriterOrder, TheCommandRunsTheWritersOfTheDocumentType) {
  for (const ExpectedCalls& row : kExpectedCalls) {
    SCOPED_TRACE(row.type);
    auto& document = h.host.AddDocument(Document(row.type));
    h.MakeActive(&document);
    h.addin->ExecuteCommand(1); // the document now holds every property
    const Ops expected = Expand(row.command);
    EXPECT_EQ(OpsOf([&] { h.addin->ExecuteCommand(1); }), expected);
    EXPECT_TRUE(h.HoldsOnlyItsOwnReferences());
  }
}

TEST_F(WriterOrder, TheSaveRunsTheEnabledWritersOfTheDocumentType) {
  h.EnableAllWriters();
  for (const ExpectedCalls& row : kExpectedCalls) {
    SCOPED_TRACE(row.type);
    auto& document = h.host.AddDocument(Document(row.type));
    ASSERT_TRUE(h.Save(document).succeeded); // the document now holds every property
    const Ops expected = Expand(row.save);
    h.host.ClearOperations();
    const auto outcome = h.host.FireSaveDocument(&document, event_timing::Before, 0);
    ASSERT_TRUE(outcome.succeeded) << outcome.message;
    EXPECT_EQ(h.host.Operations(), expected);
    EXPECT_TRUE(h.HoldsOnlyItsOwnReferences());
  }
}

TEST_F(WriterOrder, OtherCommandIdsDoNothing) {
  auto& document = h.host.AddDocument(Document(document_type::Part));
  h.MakeActive(&document);
  for (std::int32_t id : {0, 2, -1, 4097}) {
    SCOPED_TRACE(id);
    EXPECT_TRUE(OpsOf([&] { h.addin->ExecuteCommand(id); }).empty());
  }
  EXPECT_TRUE(document.PropertySet(fmtid::UserDefined)->properties.empty());
}

TEST_F(WriterOrder, TheCommandIgnoresTheEnableSettingsAndUsesTheMembersAsTheyStand) {
  AddinHarness fresh; // no settings ever loaded: empty names, zero decimals
  auto& document = fresh.host.AddDocument(Document(document_type::Part));
  document.massProperties->mass = 2.5;
  fresh.MakeActive(&document);
  EXPECT_EQ(FailureCode([&] { fresh.addin->ExecuteCommand(1); }), 0);
  // The empty names are refused by the host; the fixed mass property shows
  // the number at zero decimals, the half going to the even neighbour.
  EXPECT_TRUE(document.PropertySet(fmtid::UserDefined)->properties.empty());
  const auto* mass = document.PropertySet(fmtid::DesignTracking)->properties.FindById(9);
  EXPECT_EQ(mass->value, Value{std::string("2 kg")});
}

// A writer that fails before its error skipping ends the caller with its
// error; the writers after it do not run.
struct EarlyFailure {
  std::int32_t type;
  const char* operation; // fails at its first call
  const char* lastWriterOp;
  const char* notWritten; // a property a later writer would have stored
};

TEST_F(WriterOrder, AWriterFailingBeforeItsErrorSkippingEndsTheCaller) {
  const EarlyFailure rows[] = {
      // ViewScale_First cannot take the drawing: neither ViewScale_All nor
      // PaperSize runs.
      {document_type::Drawing, "Document.AsDrawingDocument", "Document.AsDrawingDocument",
       "AllViewScales"},
      // PaperSize cannot read the size: no type test follows.
      {document_type::Drawing, "Sheet.Size", "Sheet.Size", "PaperSize"},
      // SheetMetal_Style cannot read the style.
      {document_type::Part, "SheetMetalStyle.Thickness", "SheetMetalStyle.Thickness", "SM_Style"},
  };
  h.EnableAllWriters();
  for (const EarlyFailure& row : rows) {
    for (bool throughCommand : {true, false}) {
      SCOPED_TRACE(std::string(row.operation) + (throughCommand ? ", command" : ", save"));
      auto& document = h.host.AddDocument(Document(row.type));
      h.MakeActive(&document);
      h.host.ClearOperations();
      h.host.ClearFaults();
      h.host.FailOperation(row.operation, kFault);
      std::int32_t code = 0;
      if (throughCommand) {
        code = FailureCode([&] { h.addin->ExecuteCommand(1); });
      } else {
        const auto outcome = h.host.FireSaveDocument(&document, event_timing::Before, 0);
        code = outcome.code;
      }
      EXPECT_EQ(code, kFault);
      const Ops ops = h.host.Operations();
      ASSERT_FALSE(ops.empty());
      EXPECT_EQ(ops.back(), row.lastWriterOp);
      // The time stamp before it stays.
      EXPECT_NE(UserProperty(document, "SaveTime"), "<missing>");
      EXPECT_EQ(UserProperty(document, row.notWritten), "<missing>");
      EXPECT_TRUE(h.HoldsOnlyItsOwnReferences());
    }
  }
}

} // namespace
} // namespace vantelo::test
