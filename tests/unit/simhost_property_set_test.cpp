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
using vantelo::test::FailureCode;

std::vector<std::pair<std::int32_t, std::string>> IdsAndNames(const PropertyList& list) {
  std::vector<std::pair<std::int32_t, std::string>> result;
  for (const auto& property : list)
    result.emplace_back(property.id, property.name);
  return result;
}

TEST(SimPropertyList, NewPropertiesGoToTheEndWithTheHighestIdPlusOneAtLeastTwo) {
  PropertyList list;
  EXPECT_EQ(list.NextId(), 2);
  list.Add("A", std::string("a"));
  list.Add(PropertyData{"B", 9, 1.5});
  list.Add("C", Date{45000.25});
  EXPECT_THAT(IdsAndNames(list), ElementsAre(Pair(2, "A"), Pair(9, "B"), Pair(10, "C")));

  // Deleting and re-adding moves the property to the end under a new id.
  ASSERT_TRUE(list.Erase(2));
  list.Add("A", std::string("again"));
  EXPECT_THAT(IdsAndNames(list), ElementsAre(Pair(9, "B"), Pair(10, "C"), Pair(11, "A")));

  // Deleting the highest id frees it for the next property.
  ASSERT_TRUE(list.Erase(11));
  EXPECT_EQ(list.NextId(), 11);
}

TEST(SimPropertyList, NamesMatchIgnoringAsciiCaseOnly) {
  PropertyList list{{"TotalMass", 0, std::string("1 kg")}, {"Größe", 0, 2.0}};
  ASSERT_NE(list.Find("totalmass"), nullptr);
  EXPECT_EQ(list.Find("TOTALMASS")->id, 2);
  EXPECT_NE(list.Find("GRößE"), nullptr);
  EXPECT_EQ(list.Find("GRÖßE"), nullptr); // non-ASCII letters are compared as they are
  EXPECT_EQ(list.Find("TotalMass "), nullptr);
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
    EXPECT_EQ(FailureCode([&] { list.Add(c.second); }), hresult::InvalidArg) << c.what;
    EXPECT_THAT(IdsAndNames(list), ElementsAre(Pair(5, "TotalMass"))) << c.what;
  }
}

TEST(SimPropertyList, StaysConsistentOverThousandsOfAddsAndDeletes) {
  PropertyList list;
  for (int i = 0; i < 3000; ++i)
    list.Add("P" + std::to_string(i), i);
  for (int id = 2; id < 3002; id += 2)
    ASSERT_TRUE(list.Erase(id));
  ASSERT_EQ(list.size(), 1500u);
  EXPECT_EQ(list.Find("p0"), nullptr);
  EXPECT_EQ(list.Find("p2999")->id, 3001);
  EXPECT_EQ(list.FindById(1001)->name, "P999");
  int expected = 3;
  for (const auto& property : list) {
    ASSERT_EQ(property.id, expected);
    expected += 2;
  }
  EXPECT_EQ(list.NextId(), 3002);
}

TEST(SimPropertyList, CopiesAreIndependent) {
  PropertyList original{{"A", 0, 1.0}};
  PropertyList copy = original;
  copy.Add("B", 2.0);
  copy.SetValue(2, std::string("changed"));
  EXPECT_EQ(original.size(), 1u);
  EXPECT_EQ(Describe(original.Find("A")->value), "double 1");
}

// The same rules through the host's objects.
class SimPropertySetObjects : public ::testing::Test {
protected:
  SimPropertySetObjects() {
    document_ = &host_.AddDocument({.name = "P.ipt"});
    host_.SetActiveDocument(document_);
    const auto app = Use(host_.AddInSite()).Application();
    sets_ = Use(Use(app).ActiveDocument()).PropertySets();
  }

  Ref<PropertySet> UserSet() { return Use(sets_).Item(fmtid::UserDefined); }
  const PropertyList& UserData() { return document_->PropertySet(fmtid::UserDefined)->properties; }

  Host host_;
  DocumentData* document_ = nullptr;
  Ref<PropertySets> sets_;
};

TEST_F(SimPropertySetObjects, NewDocumentsHaveTheUserAndDesignTrackingSets) {
  EXPECT_EQ(DescribePropertySets(*document_), "{D5CDD505-2E9C-101B-9397-08002B2CF9AE}\n"
                                              "{32853F0F-3444-11D1-9E93-0060B03C1CA6}\n"
                                              "  9 Mass = text \"\"\n"
                                              "  43 Volume = text \"\"\n");
}

TEST_F(SimPropertySetObjects, AddKeepsTheValueTypeAndSetValueOverwritesInPlaceWithText) {
  auto set = UserSet();
  Use(set).Add(Date{45000.5}, "SaveDate");
  Use(set).Add(std::string("A4"), "Paper");
  Use(set).Add(2.5, "Scale");
  Use(Use(set).Item("savedate")).SetValue("yesterday");

  EXPECT_EQ(DescribePropertySets(*document_), "{D5CDD505-2E9C-101B-9397-08002B2CF9AE}\n"
                                              "  2 SaveDate = text \"yesterday\"\n"
                                              "  3 Paper = text \"A4\"\n"
                                              "  4 Scale = double 2.5\n"
                                              "{32853F0F-3444-11D1-9E93-0060B03C1CA6}\n"
                                              "  9 Mass = text \"\"\n"
                                              "  43 Volume = text \"\"\n");
}

TEST_F(SimPropertySetObjects, LookupsAndAddsFailClearlyAndChangeNothing) {
  auto set = UserSet();
  Use(set).Add(std::string("1"), "Existing");
  const auto sharedObject = std::make_shared<HostObject>();
  const struct {
    const char* what;
    std::function<void()> call;
    std::int32_t code;
  } cases[] = {
      {"missing set", [&] { Use(sets_).Item("{00000000-0000-0000-0000-000000000000}"); },
       hresult::InvalidArg},
      {"missing name", [&] { Use(set).Item("Missing"); }, hresult::InvalidArg},
      {"missing id", [&] { Use(set).ItemByPropId(77); }, hresult::InvalidArg},
      {"duplicate add", [&] { Use(set).Add(std::string("2"), "EXISTING"); }, hresult::InvalidArg},
      {"empty name", [&] { Use(set).Add(std::string("2"), ""); }, hresult::InvalidArg},
      {"object value", [&] { Use(set).Add(Value(sharedObject), "Obj"); },
       hresult::DispTypeMismatch},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FailureCode(c.call), c.code) << c.what;
    EXPECT_THAT(IdsAndNames(UserData()), ElementsAre(Pair(2, "Existing"))) << c.what;
  }
  // Format identifiers match ignoring case as well.
  EXPECT_NE(Use(sets_).Item("{d5cdd505-2e9c-101b-9397-08002b2cf9ae}"), nullptr);
}

TEST_F(SimPropertySetObjects, ADeletedPropertysObjectFailsEvenAfterTheNameIsAddedAgain) {
  auto set = UserSet();
  Use(set).Add(std::string("old"), "Name");
  const auto property = Use(set).Item("Name");
  const auto sameProperty = Use(set).ItemByPropId(2);
  Use(property).Delete();
  EXPECT_TRUE(UserData().empty());
  Use(set).Add(std::string("new"), "Name");

  EXPECT_EQ(FailureCode([&] { Use(sameProperty).SetValue("x"); }), status::Disconnected);
  EXPECT_EQ(FailureCode([&] { Use(property).Delete(); }), status::Disconnected);
  EXPECT_EQ(Describe(UserData().Find("Name")->value), "text \"new\"");
}

TEST_F(SimPropertySetObjects, DesignTrackingPropertiesAreFoundById) {
  auto set = Use(sets_).Item(fmtid::DesignTracking);
  Use(Use(set).ItemByPropId(43)).SetValue("12 mm^3");
  EXPECT_EQ(Describe(document_->Property(fmtid::DesignTracking, "Volume")->value),
            "text \"12 mm^3\"");
}

TEST(SimPropertySets, ABuilderListGivesExactlyThoseSets) {
  Host host;
  auto& doc = host.AddDocument(
      {.name = "D.idw",
       .propertySets = {{"{AAAAAAAA-0000-0000-0000-000000000000}", {{"X", 0, 1}}}}});
  EXPECT_EQ(DescribePropertySets(doc), "{AAAAAAAA-0000-0000-0000-000000000000}\n  2 X = long 1\n");
  EXPECT_EQ(FailureCode([&] {
              host.AddDocument(
                  {.name = "Twice",
                   .propertySets = {{fmtid::UserDefined, {}}, {fmtid::UserDefined, {}}}});
            }),
            hresult::InvalidArg);
}

} // namespace
} // namespace vantelo::sim
