#include "simhost/host.h"
#include "support/failure_code.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace vantelo::sim {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using vantelo::test::FailureCode;

constexpr std::int32_t Planned = static_cast<std::int32_t>(0x80041234);

class SimFaults : public ::testing::Test {
protected:
  SimFaults() {
    document_ = &host_.AddDocument({.name = "P.ipt"});
    host_.SetActiveDocument(document_);
    application_ = Use(host_.AddInSite()).Application();
    host_.ClearOperations();
  }

  // Four operations: active document, property sets, the user set, the add.
  void AddProperty(const std::string& name) {
    auto set = Use(Use(Use(application_).ActiveDocument()).PropertySets()).Item(fmtid::UserDefined);
    Use(set).Add(std::string("v"), name);
  }

  Host host_;
  DocumentData* document_ = nullptr;
  Ref<Application> application_;
};

TEST_F(SimFaults, RecordsEachOperationByInterfaceAndMember) {
  AddProperty("A");
  EXPECT_THAT(host_.Operations(), ElementsAre("Application.ActiveDocument", "Document.PropertySets",
                                              "PropertySets.Item", "PropertySet.Add"));
  EXPECT_EQ(host_.OperationCount(), 4u);
  EXPECT_EQ(host_.CallsOf("PropertySet.Add"), 1u);
  host_.ClearOperations();
  EXPECT_TRUE(host_.Operations().empty());
  EXPECT_EQ(host_.OperationCount(), 0u);
  EXPECT_EQ(host_.CallsOf("PropertySet.Add"), 0u);
}

TEST_F(SimFaults, TheNthOperationFailsBeforeItHasAnyEffect) {
  host_.FailOperationNumber(4, Planned);
  try {
    AddProperty("A");
    FAIL() << "the fourth operation did not fail";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.Code(), Planned);
    EXPECT_THAT(failure.what(), HasSubstr("PropertySet.Add"));
  }
  EXPECT_EQ(document_->Property(fmtid::UserDefined, "A"), nullptr);
  EXPECT_EQ(host_.OperationCount(), 4u); // the failed call is recorded too

  AddProperty("B"); // operations 5 to 8
  EXPECT_NE(document_->Property(fmtid::UserDefined, "B"), nullptr);
}

TEST_F(SimFaults, NumberingStartsAgainAfterClearingTheRecord) {
  AddProperty("A");                      // operations 1 to 4
  host_.FailOperationNumber(1, Planned); // already past until the record starts again
  AddProperty("B");
  host_.ClearOperations();
  EXPECT_EQ(FailureCode([&] { AddProperty("C"); }), Planned);
  EXPECT_EQ(document_->Property(fmtid::UserDefined, "C"), nullptr);
}

TEST_F(SimFaults, ANamedOperationFailsOnEveryCallOrOnlyOnItsKthCall) {
  const struct {
    const char* what;
    std::uint64_t k; // 0: every call
    std::vector<bool> added;
  } cases[] = {
      {"every call", 0, {false, false, false}},
      {"second call", 2, {true, false, true}},
  };
  for (const auto& c : cases) {
    Host host;
    auto& doc = host.AddDocument({.name = "P.ipt"});
    host.SetActiveDocument(&doc);
    auto set = Use(Use(Use(Use(host.AddInSite()).Application()).ActiveDocument()).PropertySets())
                   .Item(fmtid::UserDefined);
    if (c.k == 0)
      host.FailOperation("PropertySet.Add", Planned);
    else
      host.FailOperationCall("PropertySet.Add", c.k, Planned);
    for (int i = 0; i < 3; ++i) {
      const auto name = "P" + std::to_string(i);
      const auto code = FailureCode([&] { Use(set).Add(1, name); });
      EXPECT_EQ(code == 0, c.added[i]) << c.what << ", call " << i + 1;
      EXPECT_EQ(doc.Property(fmtid::UserDefined, name) != nullptr, c.added[i]) << c.what;
    }
  }
}

TEST_F(SimFaults, ClearedFaultsNoLongerFire) {
  host_.FailOperation("Application.ActiveDocument", Planned);
  EXPECT_EQ(FailureCode([&] { Use(application_).ActiveDocument(); }), Planned);
  host_.ClearFaults();
  EXPECT_EQ(FailureCode([&] { Use(application_).ActiveDocument(); }), 0);
}

TEST_F(SimFaults, RefusesUnknownOperationsAndZeroNumbers) {
  EXPECT_EQ(FailureCode([&] { host_.FailOperation("Document.Typo", Planned); }),
            hresult::InvalidArg);
  EXPECT_EQ(FailureCode([&] { host_.FailOperationCall("PropertySet.Add", 0, Planned); }),
            hresult::InvalidArg);
  EXPECT_EQ(FailureCode([&] { host_.FailOperationNumber(0, Planned); }), hresult::InvalidArg);
  EXPECT_EQ(FailureCode([&] { host_.CallsOf("PropertySet.Remove"); }), hresult::InvalidArg);
}

} // namespace
} // namespace vantelo::sim
