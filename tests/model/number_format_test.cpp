#include "model/number_format.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <locale>
#include <ostream>
#include <string>
#include <vector>

#include "model/number_text.h"

namespace kivex::model {
namespace {

struct PatternCase {
  double value;
  const char* pattern;
  std::string expected;
};

// The test's name in listings: the case itself, not its bytes.
void PrintTo(const PatternCase& c, std::ostream* out) {
  *out << c.value << " as \"" << c.pattern << "\" gives \"" << c.expected << '"';
}

class PatternFormat : public ::testing::TestWithParam<PatternCase> {};

TEST_P(PatternFormat, WritesTheDisplayPatternRoundingHalvesAwayFromZero) {
  const PatternCase& c = GetParam();
  EXPECT_EQ(FormatPattern(c.value, c.pattern), c.expected) << c.value << " " << c.pattern;
}

// clang-format off
const PatternCase kPatterns[] = {
      {0.001, "0.###e-#", "1.e-3"},     {0.00099958, "0.###e-#", "9.996e-4"},
      {150, "0.###e-#", "1.5e2"},       {0.0125, "0.###e-#", "1.25e-2"},
      {9.9996e-4, "0.###e-#", "1.e-3"}, {0, "0.###e-#", "0.e0"},     {1000, "#.###e-#", "1.e3"},
      {1.0, "0.##e-0", "1.e0"},         {2.6e-5, "0.####E-0", "2.6E-5"},
      {1e-6, "0E-0", "1E-6"},           {1e6, "0E-0", "1E6"},        {0, "0E-0", "0E0"},
      {-0.0285, "0.####", "-0.0285"},   {1, "0.####", "1."},         {0.1, "0.##", "0.1"},
      {0, "0.##", "0."},                {-1, "0", "-1"},             {0.5, "#.##", ".5"},
      {150, "0.00E+00", "1.50E+02"},    {0.015, "0.0E+0", "1.5E-2"}, {1.25, "00.0", "01.3"},
      {-3.5e-12, "0.#e-00", "-3.5e-12"}, {1.5, "0.00 V", "1.50 V"},
      // Halves round away from zero and carry into the next digit.
      {0.125, "0.##", "0.13"}, {-0.125, "0.##", "-0.13"}, {0.5, "0", "1"},     {-0.5, "0", "-1"},
      {2.5, "0", "3"},         {99.95, "0.0", "100.0"},   {9.96, "0.#", "10."},
      {-0.001, "0.##", "0."},  {-0.0, "0.##", "0."},      {0.004, "#.##", "."},
      // The extremes stay sane.
      {1e308, "0.##", "1" + std::string(308, '0') + "."}, {5e-324, "0.##", "0."},
      {-std::numeric_limits<double>::max(), "0.###e-#", "-1.798e308"},
      {5e-324, "0.###e-#", "4.941e-324"}, {-INFINITY, "0.##", "-inf"}, {NAN, "0.##", "nan"}};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Patterns, PatternFormat, ::testing::ValuesIn(kPatterns),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(GeneralForm, WritesReportNumbers) {
  struct Case {
    double value;
    std::string expected;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {0.3, " .3 "},           {-0.05, "-.05 "},   {1.5e-5, " 1.5E-05 "}, {-1.5e-5, "-1.5E-05 "},
      {0.00001, " 1E-05 "},    {61, " 61 "},       {100, " 100 "},        {0, " 0 "},
      {-0.0, " 0 "},           {0.005, " .005 "},  {0.0001, " .0001 "},   {1e15, " 1E+15 "},
      {1e-300, " 1E-300 "},    {0.1 + 0.2, " .3 "}, {298.14, " 298.14 "}, {-INFINITY, "-inf "},
      {NAN, " nan "},          {123456789012345, " 123456789012345 "},
      // Rounding to 15 digits can cross the limits of the fixed form.
      {999999999999999.9, " 1E+15 "}, {9.999999999999999e-5, " .0001 "}};
  // clang-format on
  for (const Case& c : cases) EXPECT_EQ(GeneralNumber(c.value), c.expected) << c.value;
}

// (Read back within fifteen digits at every magnitude: CsvExport.ImportGivesBackTheCurve...)

// A decimal comma and point grouping, as a German desktop has them.
struct CommaPunctuation : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
  char do_thousands_sep() const override { return '.'; }
  std::string do_grouping() const override { return "\3"; }
};

TEST(LocaleIndependence, ReadsAndWritesWithAPointInAnyLocale) {
  // The C library's locale where one is installed, and always the C++ global locale.
  const std::string savedC = std::setlocale(LC_ALL, nullptr);
  std::setlocale(LC_ALL, "de_DE.UTF-8");
  const std::locale saved =
      std::locale::global(std::locale(std::locale::classic(), new CommaPunctuation));
  EXPECT_EQ(ReadNumber("1234.5"), 1234.5);
  EXPECT_EQ(ParseNumber("-2.5e-3"), -0.0025);
  EXPECT_EQ(ParseNumber("1,5"), std::nullopt);
  EXPECT_EQ(ShortestText(1234.5), "1234.5");
  EXPECT_EQ(FormatPattern(-1234.0285, "0.####"), "-1234.0285");
  EXPECT_EQ(GeneralNumber(1234.5), " 1234.5 ");
  std::locale::global(saved);
  std::setlocale(LC_ALL, savedC.c_str());
}

}  // namespace
}  // namespace kivex::model
