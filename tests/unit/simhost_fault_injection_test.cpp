#include "simhost/host.h"
#include "support/failure_code.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace vantelo::sim {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using vantelo::test::failureCode;

constexpr std::int32_t Planned = static_cast<std::int32_t>(0x80041234);

class SimFaults : public ::testing::Test {
protected:
  SimFaults() {
    document_ = &host_.addDocument({.name = "P.ipt"});
    host_.setActiveDocument(document_);
    application_ = use(host_.AddInSite()).Application();
    host_.clearOperations();
  }

  // Four operations: active document, property sets, the user set, the add.
  void addProperty(const std::string& name) {
    auto set = use(use(use(application_).ActiveDocument()).PropertySets()).Item(fmtid::UserDefined);
    use(set).Add(std::string("v"), name);
  }

  Host host_;
  DocumentData* document_ = nullptr;
  Ref<Application> application_;
};

TEST_F(SimFaults, RecordsEachOperationByInterfaceAndMember) {
  addProperty("A");
  EXPECT_THAT(host_.operations(), ElementsAre("Application.ActiveDocument", "Document.PropertySets",
                                              "PropertySets.Item", "PropertySet.Add"));
  EXPECT_EQ(host_.operationCount(), 4u);
  EXPECT_EQ(host_.callsOf("PropertySet.Add"), 1u);
  host_.clearOperations();
  EXPECT_TRUE(host_.operations().empty());
  EXPECT_EQ(host_.operationCount(), 0u);
  EXPECT_EQ(host_.callsOf("PropertySet.Add"), 0u);
}

TEST_F(SimFaults, TheNthOperationFailsBeforeItHasAnyEffect) {
  host_.failOperationNumber(4, Planned);
  try {
    addProperty("A");
    FAIL() << "the fourth operation did not fail";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.code(), Planned);
    EXPECT_THAT(failure.what(), HasSubstr("PropertySet.Add"));
  }
  EXPECT_EQ(document_->property(fmtid::UserDefined, "A"), nullptr);
  EXPECT_EQ(host_.operationCount(), 4u); // the failed call is recorded too

  addProperty("B"); // operations 5 to 8
  EXPECT_NE(document_->property(fmtid::UserDefined, "B"), nullptr);
}

TEST_F(SimFaults, NumberingStartsAgainAfterClearingTheRecord) {
  addProperty("A");                      // operations 1 to 4
  host_.failOperationNumber(1, Planned); // already past until the record starts again
  addProperty("B");
  host_.clearOperations();
  EXPECT_EQ(failureCode([&] { addProperty("C"); }), Planned);
  EXPECT_EQ(document_->property(fmtid::UserDefined, "C"), nullptr);
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
    auto& doc = host.addDocument({.name = "P.ipt"});
    host.setActiveDocument(&doc);
    auto set = use(use(use(use(host.AddInSite()).Application()).ActiveDocument()).PropertySets())
                   .Item(fmtid::UserDefined);
    if (c.k == 0)
      host.failOperation("PropertySet.Add", Planned);
    else
      host.failOperationCall("PropertySet.Add", c.k, Planned);
    for (int i = 0; i < 3; ++i) {
      const auto name = "P" + std::to_string(i);
      const auto code = failureCode([&] { use(set).Add(1, name); });
      EXPECT_EQ(code == 0, c.added[i]) << c.what << ", call " << i + 1;
      EXPECT_EQ(doc.property(fmtid::UserDefined, name) != nullptr, c.added[i]) << c.what;
    }
  }
}

TEST_F(SimFaults, ClearedFaultsNoLongerFire) {
  host_.failOperation("Application.ActiveDocument", Planned);
  EXPECT_EQ(failureCode([&] { use(application_).ActiveDocument(); }), Planned);
  host_.clearFaults();
  EXPECT_EQ(failureCode([&] { use(application_).ActiveDocument(); }), 0);
}

TEST_F(SimFaults, RefusesUnknownOperationsAndZeroNumbers) {
  EXPECT_EQ(failureCode([&] { host_.failOperation("Document.Typo", Planned); }),
            hresult::InvalidArg);
  EXPECT_EQ(failureCode([&] { host_.failOperationCall("PropertySet.Add", 0, Planned); }),
            hresult::InvalidArg);
  EXPECT_EQ(failureCode([&] { host_.failOperationNumber(0, Planned); }), hresult::InvalidArg);
  EXPECT_EQ(failureCode([&] { host_.callsOf("PropertySet.Remove"); }), hresult::InvalidArg);
}

} // namespace
} // namespace vantelo::sim
