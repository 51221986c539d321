// GetMassUnit: which unit token a parts-list mass text carries.
#include "support/addin_harness.h"

#include <gtest/gtest.h>

#include <string>

namespace vantelo::test {
namespace {

TEST(PartsListMassUnit, FindsTheTokenByPlainCaseSensitiveSearch) {
  const struct {
    std::string text;
    std::string token;
  } cases[] = {
      {"2.5 kg", "kg"},
      {"11.0231 lbmass", "lbmass"},
      {"250 g", "g"},
      {"0.5 slug", "slug"},
      {"12slug", "slug"},
      {"", ""},
      {"3", ""},
      {"2.5 KG", ""},
      {"250 G", ""},
      {"1 SLUG", ""},
      {"5 lb", ""}, // the pound token is "lbmass"
      {"1 kg slug", "kg"},
      {"1 slug kg", "kg"}, // "kg" wins wherever it stands
      {"1 lbmass g", "g"},
      {"g 1 lbmass", "g"}, // a "g" anywhere beats "lbmass"
      {"1 lbmass slug", "slug"},
      {"500 mg", "g"},
      {"1 mkg", "kg"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(clsVanteloTestAccess::GetMassUnit(c.text), c.token) << '"' << c.text << '"';
}

} // namespace
} // namespace vantelo::test
