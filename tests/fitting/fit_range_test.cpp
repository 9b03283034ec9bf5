#include "fitting/fit_range.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace kivex::fitting {
namespace {

// What the fit range box may hold: pairs of numbers, semicolons between them; anything else is no
// range (the command refuses it with the field's name).
TEST(FitRange, ReadsPairsSeparatedBySemicolonsAndNothingElse) {
  struct Case {
    const char* text;
    std::optional<FitRange> range;
  };
  const Case cases[] = {
      {" \t ", FitRange{}},
      {"-0.3 0.2; 0.25 0.4", FitRange{{-0.3, 0.2}, {0.25, 0.4}}},
      {"  0.4\t0.25 ;-3e-1 .2;", FitRange{{0.4, 0.25}, {-0.3, 0.2}}},
      {"0.1", std::nullopt},            // one end only
      {"0.1, 0.2", std::nullopt},       // a comma is no separator
      {"0,1 0,2", std::nullopt},        // nor a decimal separator
      {"-0.3 0.2 V", std::nullopt},     // a unit after it is a third word
      {";", std::nullopt},              // semicolons alone
      {"0.1 0.2;; 0.3", std::nullopt},  // a bad pair after an empty one
  };
  for (const Case& c : cases) {
    const std::optional<FitRange> range = ReadFitRange(c.text);
    ASSERT_EQ(range.has_value(), c.range.has_value()) << '"' << c.text << '"';
    if (!range) continue;
    ASSERT_EQ(range->size(), c.range->size()) << c.text;
    for (std::size_t k = 0; k < range->size(); ++k) {
      EXPECT_EQ((*range)[k].from, (*c.range)[k].from) << c.text;
      EXPECT_EQ((*range)[k].to, (*c.range)[k].to) << c.text;
    }
  }
}

// Closed intervals, either end first; the empty range holds every potential. (The range as the
// report writes it: FitDriver.RecoversConcentrationAndStandardPotentialOnTheFitRange.)
TEST(FitRange, HoldsThePotentialsOfAnyIntervalWithItsEnds) {
  const FitRange range = {{0.2, -0.3}, {0.25, 0.4}};
  const std::pair<double, bool> cases[] = {{-0.3, true},  {0.2, true},   {0.0, true},
                                           {0.22, false}, {0.25, true},  {0.4, true},
                                           {0.41, false}, {-0.31, false}};
  for (const auto& [E, in] : cases) EXPECT_EQ(InFitRange(range, E), in) << E;
  EXPECT_TRUE(InFitRange({}, 1e9));
}

}  // namespace
}  // namespace kivex::fitting
