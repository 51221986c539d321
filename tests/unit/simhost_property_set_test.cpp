#include "simhost/describe.h"
#include "simhost/host.h"
#include "simhost/status_codes.h"
#include "support/failure_code.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace vantelo::sim {
namespace {

using ::testing::ElementsAre;
using ::testing::Pair;
using vantelo::test::failureCode;

std::vector<std::pair<std::int32_t, std::string>> idsAndNames(const PropertyList& list) {
  std::vector<std::pair<std::int32_t, std::string>> result;
  for (const auto& property : list)
    result.emplace_back(property.id, property.name);
  return result;
}

TEST(SimPropertyList, NewPropertiesGoToTheEndWithTheHighestIdPlusOneAtLeastTwo) {
  PropertyList list;
  EXPECT_EQ(list.nextId(), 2);
  list.add("A", std::string("a"));
  list.add(PropertyData{"B", 9, 1.5});
  list.add("C", Date{45000.25});
  EXPECT_THAT(idsAndNames(list), ElementsAre(Pair(2, "A"), Pair(9, "B"), Pair(10, "C")));

  // Deleting and re-adding moves the property to the end under a new id.
  ASSERT_TRUE(list.erase(2));
  list.add("A", std::string("again"));
  EXPECT_THAT(idsAndNames(list), ElementsAre(Pair(9, "B"), Pair(10, "C"), Pair(11, "A")));

  // Deleting the highest id frees it for the next property.
  ASSERT_TRUE(list.erase(11));
  EXPECT_EQ(list.nextId(), 11);
}

TEST(SimPropertyList, NamesMatchIgnoringAsciiCaseOnly) {
  PropertyList list{{"TotalMass", 0, std::string("1 kg")}, {"Größe", 0, 2.0}};
  ASSERT_NE(list.find("totalmass"), nullptr);
  EXPECT_EQ(list.find("TOTALMASS")->id, 2);
  EXPECT_NE(list.find("GRößE"), nullptr);
  EXPECT_EQ(list.find("GRÖßE"), nullptr); // non-ASCII letters are compared as they are
  EXPECT_EQ(list.find("TotalMass "), nullptr);
}

TEST(SimPropertyList, RefusesRepeatedNamesAndIdsAndReservedIds) {
  const struct {
    const char* what;
    PropertyData second;
  } cases[] = {
      {"same name, other case", {"totalmass", 0, Empty{}}},
      {"same id", {"Other", 5, Empty{}}},
      {"reserved id 1", {"Other", 1, Empty{}}},
      {"negative id", {"Other", -3, Empty{}}},
  };
  for (const auto& c : cases) {
    PropertyList list{{"TotalMass", 5, std::string("x")}};
    EXPECT_EQ(failureCode([&] { list.add(c.second); }), hresult::InvalidArg) << c.what;
    EXPECT_THAT(idsAndNames(list), ElementsAre(Pair(5, "TotalMass"))) << c.what;
  }
}

TEST(SimPropertyList, StaysConsistentOverThousandsOfAddsAndDeletes) {
  PropertyList list;
  for (int i = 0; i < 3000; ++i)
    list.add("P" + std::to_string(i), i);
  for (int id = 2; id < 3002; id += 2)
    ASSERT_TRUE(list.erase(id));
  ASSERT_EQ(list.size(), 1500u);
  EXPECT_EQ(list.find("p0"), nullptr);
  EXPECT_EQ(list.find("p2999")->id, 3001);
  EXPECT_EQ(list.findById(1001)->name, "P999");
  int expected = 3;
  for (const auto& property : list) {
    ASSERT_EQ(property.id, expected);
    expected += 2;
  }
  EXPECT_EQ(list.nextId(), 3002);
}

TEST(SimPropertyList, CopiesAreIndependent) {
  PropertyList original{{"A", 0, 1.0}};
  PropertyList copy = original;
  copy.add("B", 2.0);
  copy.setValue(2, std::string("changed"));
  EXPECT_EQ(original.size(), 1u);
  EXPECT_EQ(describe(original.find("A")->value), "double 1");
}

// The same rules through the host's objects.
class SimPropertySetObjects : public ::testing::Test {
protected:
  SimPropertySetObjects() {
    document_ = &host_.addDocument({.name = "P.ipt"});
    host_.setActiveDocument(document_);
    const auto app = use(host_.AddInSite()).Application();
    sets_ = use(use(app).ActiveDocument()).PropertySets();
  }

  Ref<PropertySet> userSet() { return use(sets_).Item(fmtid::UserDefined); }
  const PropertyList& userData() { return document_->propertySet(fmtid::UserDefined)->properties; }

  Host host_;
  DocumentData* document_ = nullptr;
  Ref<PropertySets> sets_;
};

TEST_F(SimPropertySetObjects, NewDocumentsHaveTheUserAndDesignTrackingSets) {
  EXPECT_EQ(describePropertySets(*document_), "{D5CDD505-2E9C-101B-9397-08002B2CF9AE}\n"
                                              "{32853F0F-3444-11D1-9E93-0060B03C1CA6}\n"
                                              "  9 Mass = text \"\"\n"
                                              "  43 Volume = text \"\"\n");
}

TEST_F(SimPropertySetObjects, AddKeepsTheValueTypeAndSetValueOverwritesInPlaceWithText) {
  auto set = userSet();
  use(set).Add(Date{45000.5}, "SaveDate");
  use(set).Add(std::string("A4"), "Paper");
  use(set).Add(2.5, "Scale");
  use(use(set).Item("savedate")).SetValue("yesterday");

  EXPECT_EQ(describePropertySets(*document_), "{D5CDD505-2E9C-101B-9397-08002B2CF9AE}\n"
                                              "  2 SaveDate = text \"yesterday\"\n"
                                              "  3 Paper = text \"A4\"\n"
                                              "  4 Scale = double 2.5\n"
                                              "{32853F0F-3444-11D1-9E93-0060B03C1CA6}\n"
                                              "  9 Mass = text \"\"\n"
                                              "  43 Volume = text \"\"\n");
}

TEST_F(SimPropertySetObjects, LookupsAndAddsFailClearlyAndChangeNothing) {
  auto set = userSet();
  use(set).Add(std::string("1"), "Existing");
  const auto sharedObject = std::make_shared<HostObject>();
  const struct {
    const char* what;
    std::function<void()> call;
    std::int32_t code;
  } cases[] = {
      {"missing set", [&] { use(sets_).Item("{00000000-0000-0000-0000-000000000000}"); },
       hresult::InvalidArg},
      {"missing name", [&] { use(set).Item("Missing"); }, hresult::InvalidArg},
      {"missing id", [&] { use(set).ItemByPropId(77); }, hresult::InvalidArg},
      {"duplicate add", [&] { use(set).Add(std::string("2"), "EXISTING"); }, hresult::InvalidArg},
      {"empty name", [&] { use(set).Add(std::string("2"), ""); }, hresult::InvalidArg},
      {"object value", [&] { use(set).Add(Value(sharedObject), "Obj"); },
       hresult::DispTypeMismatch},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(failureCode(c.call), c.code) << c.what;
    EXPECT_THAT(idsAndNames(userData()), ElementsAre(Pair(2, "Existing"))) << c.what;
  }
  // Format identifiers match ignoring case as well.
  EXPECT_NE(use(sets_).Item("{d5cdd505-2e9c-101b-9397-08002b2cf9ae}"), nullptr);
}

TEST_F(SimPropertySetObjects, ADeletedPropertysObjectFailsEvenAfterTheNameIsAddedAgain) {
  auto set = userSet();
  use(set).Add(std::string("old"), "Name");
  const auto property = use(set).Item("Name");
  const auto sameProperty = use(set).ItemByPropId(2);
  use(property).Delete();
  EXPECT_TRUE(userData().empty());
  use(set).Add(std::string("new"), "Name");

  EXPECT_EQ(failureCode([&] { use(sameProperty).SetValue("x"); }), status::Disconnected);
  EXPECT_EQ(failureCode([&] { use(property).Delete(); }), status::Disconnected);
  EXPECT_EQ(describe(userData().find("Name")->value), "text \"new\"");
}

TEST_F(SimPropertySetObjects, DesignTrackingPropertiesAreFoundById) {
  auto set = use(sets_).Item(fmtid::DesignTracking);
  use(use(set).ItemByPropId(43)).SetValue("12 mm^3");
  EXPECT_EQ(describe(document_->property(fmtid::DesignTracking, "Volume")->value),
            "text \"12 mm^3\"");
}

TEST(SimPropertySets, ABuilderListGivesExactlyThoseSets) {
  Host host;
  auto& doc = host.addDocument(
      {.name = "D.idw",
       .propertySets = {{"{AAAAAAAA-0000-0000-0000-000000000000}", {{"X", 0, 1}}}}});
  EXPECT_EQ(describePropertySets(doc), "{AAAAAAAA-0000-0000-0000-000000000000}\n  2 X = long 1\n");
  EXPECT_EQ(failureCode([&] {
              host.addDocument(
                  {.name = "Twice",
                   .propertySets = {{fmtid::UserDefined, {}}, {fmtid::UserDefined, {}}}});
            }),
            hresult::InvalidArg);
}

} // namespace
} // namespace vantelo::sim
