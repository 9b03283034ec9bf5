#include "model/number_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace kivex::model {
namespace {

constexpr double kMax = std::numeric_limits<double>::max();
constexpr double kTiniest = std::numeric_limits<double>::denorm_min();

TEST(NumberReaders, LenientTakesTheLongestLeadingNumberStrictOnlyAWholeOne) {
  constexpr std::optional<double> kNone;
  const struct {
    std::string text;
    double lenient;
    std::optional<double> strict;
  } cases[] = {
      // clang-format off
      {"1e-3", 0.001, 0.001},   {" 2.5 ", 2.5, 2.5},  {"\t-1e-3\t", -0.001, -0.001},
      {"+.5", 0.5, 0.5},        {"+7", 7, 7},         {"5.", 5, 5},        {"1E+2", 100, 100},
      {"25 C", 25, kNone},      {"", 0, kNone},       {"  ", 0, kNone},    {"1e", 1, kNone},
      {"1e+", 1, kNone},        {".5x", 0.5, kNone},  {"-", 0, kNone},     {".", 0, kNone},
      {"-.", 0, kNone},         {"+", 0, kNone},      {" \t-2.5E2V", -250, kNone},
      {"1.2.3", 1.2, kNone},    {"12e3.4", 12000, kNone}, {"3e-x", 3, kNone},
      {"- 5", 0, kNone},        {"--1", 0, kNone},    {"1 2", 1, kNone},   {"0x10", 0, kNone},
      {"inf", 0, kNone},        {"nan", 0, kNone},    {"1,5", 1, kNone},
      // Magnitudes beyond a double: the lenient reader saturates, the strict one refuses.
      {"1e400", kMax, kNone},   {"-1e400", -kMax, kNone}, {"1e99999999999999999999", kMax, kNone},
      {"0.01e311", kMax, kNone}, {"1000e306", kMax, kNone}, {"0.001e308", 1e305, 1e305},
      {"1e-400", 0, 0},         {"123456789e-340", 0, 0}, {"5e-324", kTiniest, kTiniest},
      {"-4.9e-324", -kTiniest, -kTiniest},
      // clang-format on
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReadNumber(c.text), c.lenient) << '"' << c.text << '"';
    EXPECT_EQ(ParseNumber(c.text), c.strict) << '"' << c.text << '"';
  }
}

// A comma right after the leading number and before a digit would change the number read; any
// other text after it is a unit or a slip that the lenient reading may drop.
TEST(NumberReaders, ADecimalCommaIsOnlyACommaBetweenTheNumberAndADigit) {
  for (const char* comma : {"0,3", " -1,5e-3", "1,000", "2.5,1"}) {
    EXPECT_TRUE(HasDecimalComma(comma)) << comma;
  }
  for (const char* other : {"0.3", "25 C", "1e-3 M", "3,", "3, 4", ",5", "a1,5", "1e,5", ""}) {
    EXPECT_FALSE(HasDecimalComma(other)) << other;
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
