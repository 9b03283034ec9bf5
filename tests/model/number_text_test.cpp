#include "model/number_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace kivex::model {
namespace {

constexpr double kMax = std::numeric_limits<double>::max();
constexpr double kTiniest = std::numeric_limits<double>::denorm_min();

struct ReadCase {
  std::string text;
  double expected;
};

TEST(LenientReader, TakesTheLongestLeadingNumber) {
  const std::vector<ReadCase> cases = {
      {"1e-3", 0.001}, {"25 C", 25},   {"", 0},           {"1e", 1},   {"1e+", 1},
      {".5x", 0.5},    {"-", 0},       {".", 0},          {"-.", 0},   {" \t-2.5E2V", -250},
      {"+7", 7},       {"1.2.3", 1.2}, {"12e3.4", 12000}, {"3e-x", 3}, {"- 5", 0},
      {"0x10", 0},     {"inf", 0},     {"nan", 0},        {"5.", 5},   {"1,5", 1}};
  for (const ReadCase& c : cases) EXPECT_EQ(ReadNumber(c.text), c.expected) << '"' << c.text << '"';
}

TEST(LenientReader, SaturatesMagnitudesBeyondADouble) {
  const std::vector<ReadCase> cases = {
      {"1e400", kMax},         {"-1e400", -kMax},    {"1e99999999999999999999", kMax},
      {"0.01e311", kMax},      {"1000e306", kMax},   {"1e-400", 0},
      {"123456789e-340", 0},   {"0.001e308", 1e305}, {"5e-324", kTiniest},
      {"-4.9e-324", -kTiniest}};
  for (const ReadCase& c : cases) EXPECT_EQ(ReadNumber(c.text), c.expected) << c.text;
}

TEST(StrictParser, AcceptsAWholeNumberBetweenBlanks) {
  const std::vector<ReadCase> cases = {{" 2.5 ", 2.5}, {"\t-1e-3\t", -0.001}, {"+.5", 0.5},
                                       {"7.", 7},      {"1E+2", 100},         {"1e-400", 0}};
  for (const ReadCase& c : cases) EXPECT_EQ(ParseNumber(c.text), c.expected) << c.text;
}

TEST(StrictParser, RejectsAnythingElse) {
  for (const char* text : {"", "  ", ".", "-", "+", "1e", "1e+", "25 C", "1 2", "1,5", "inf", "nan",
                           "0x10", "--1", "1e400", "-1e400"}) {
    EXPECT_EQ(ParseNumber(text), std::nullopt) << '"' << text << '"';
  }
}

TEST(ShortestText, WritesTheShortestDigitsThatReadBackAsTheSameDouble) {
  EXPECT_EQ(ShortestText(0.02), "0.02");
  EXPECT_EQ(ShortestText(-0.3), "-0.3");
  EXPECT_EQ(ShortestText(1e-5), "1e-05");
  EXPECT_EQ(ShortestText(-0.0), "0");
  std::vector<double> values = {kMax, -kMax, kTiniest, 2.2250738585072014e-308, 1.0 / 3, 1e22};
  std::mt19937_64 random(20240611);
  while (values.size() < 20000) {
    double value = std::bit_cast<double>(random());
    if (std::isfinite(value)) values.push_back(value);
  }
  for (double value : values) {
    std::string text = ShortestText(value);
    EXPECT_EQ(ParseNumber(text), value) << text;
    EXPECT_EQ(ReadNumber(text), value) << text;
  }
}

}  // namespace
}  // namespace kivex::model
