// Rows as the reader keeps them and points as TakePoints hands them over: stray byte-order
// marks, padding rows, text columns, the memory cap, the columns proposed, the numbers exact.

#include "io/measured_points.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "io/csv_import.h"
#include "io/curve_file.h"
#include "io/file_error.h"
#include "model/curve_set.h"
#include "model/number_text.h"

namespace kivex::io {
namespace {

// (UTF-8 with marks starting lines, rows that leave fields empty, text columns and their refusals:
// the io_rows_and_columns scenario.)
TEST(MeasuredPoints, AByteOrderMarkStartingALineIsPassedOver) {
  // UTF-16 LE pairs "1,2\r\n3,4\r\n" whose last line is only a mark: the pair format refuses the
  // mark, the columns take the pairs.
  const CurveFile file = ParseCurveFile(std::string_view(
      "\377\3761\000,\0002\000\r\000\n\0003\000,\0004\000\r\000\n\000\377\376", 24));
  EXPECT_EQ(file.values, (std::vector<double>{1, 2, 3, 4}));
  EXPECT_EQ(file.layout.encoding, TextEncoding::Utf16Le);
}

// Choices the import's columns command cannot make.
TEST(MeasuredPoints, OneColumnForBothOrColumnZeroIsRefused) {
  const CurveFile file = ParseCurveFile("E\tI\tFlag\n1\t2\tok\n3\t4\tover\n");
  for (const auto& [choice, message] :
       {std::pair{ColumnChoice{2, 2}, "the potential and the value cannot both come from column 2"},
        {ColumnChoice{0, 2}, "column 0 was chosen, but the file has 3 columns"}}) {
    try {
      TakePoints(file, choice, CurrentSign::FromFile);
      ADD_FAILURE() << message;
    } catch (const FileError& error) {
      EXPECT_EQ(error.description(), message);
    }
  }
}

TEST(MeasuredPoints, EveryConversionIsMadeAndReported) {
  const CurveFile file = ParseCurveFile("t (ms)\tE (mV)\tI (nA)\n250\t-125\t4.5\n");
  const MeasuredPoints points = TakePoints(file, {2, 3}, CurrentSign::FromFile);
  EXPECT_EQ(points.x, std::vector<double>{-0.125});
  EXPECT_EQ(points.y, std::vector<double>{4.5e-9});
  EXPECT_EQ(points.t, std::vector<double>{0.25});
  EXPECT_EQ(points.report.back(),
            "Potentials converted from mV to V, currents from nA to A, times from ms to s");
  // A value column of charges is converted as charges. (A plain column: import_layouts.)
  EXPECT_EQ(
      TakePoints(ParseCurveFile("E/V;Q/mC\n1;2\n"), {1, 2}, CurrentSign::FromFile).report.back(),
      "Charges converted from mC to C");
}

TEST(MeasuredPoints, AFileTooLargeToHoldIsRefusedWhereItOverflows) {
  const std::string text = "E,I\n1,2\n3,4\n5,6\n";
  EXPECT_EQ(ParseCurveFile(text, ReadLimits{6}).values.size(), 6u);
  try {
    ParseCurveFile(text, ReadLimits{5});
    ADD_FAILURE() << "not refused";
  } catch (const FileError& error) {
    EXPECT_EQ(error.description(), "line 4: the file is too large to hold: more than 5 numbers");
  }
}

// (The columns proposed by the headings' names and units, and without names: the
// io_proposed_columns scenario; those of each instrument's layout: InstrumentLayouts.)

// Every number as exact as the file wrote it, whichever way the row is read: a row of plain
// numbers in one pass, a row with a quoted field the long way. The oracle is the standard
// conversion of the same text.
TEST(MeasuredPoints, EveryNumberReadsAsTheStandardConversionOfItsText) {
  std::mt19937 random(5);
  std::uniform_int_distribution<int> digits(1, 21);
  std::uniform_int_distribution<int> pick(0, 9);
  std::uniform_int_distribution<int> exponent(-330, 330);
  auto number = [&] {
    std::string text = pick(random) < 3 ? "-" : "";
    const int count = digits(random);
    const int point = std::uniform_int_distribution<int>(0, count)(random);
    for (int i = 0; i < count; ++i) {
      if (i == point) text += '.';
      text += static_cast<char>('0' + pick(random));
    }
    if (pick(random) < 4) {
      text += pick(random) < 5 ? "e" : "E";
      const int e = pick(random) < 7 ? exponent(random) / 12 : exponent(random);
      text += (e >= 0 && pick(random) < 3 ? "+" : "") + std::to_string(e);
    }
    return text;
  };
  for (int row = 0; row < 3000; ++row) {
    const std::string e = number(), i = number();
    double expectedE = 0, expectedI = 0;
    if (std::from_chars(e.data(), e.data() + e.size(), expectedE).ec != std::errc() ||
        std::from_chars(i.data(), i.data() + i.size(), expectedI).ec != std::errc()) {
      continue;  // beyond a double
    }
    for (std::string line : {std::string(e).append(";").append(i),
                             std::string("\"").append(e).append("\";").append(i)}) {
      for (int pass = 0; pass < 2; ++pass) {  // decimal points, then decimal commas
        if (pass == 1) std::replace(line.begin(), line.end(), '.', ',');
        EXPECT_EQ(ParseCurveFile("E;I\n" + line + "\n").values,
                  (std::vector<double>{expectedE, expectedI}))
            << line;
      }
    }
  }
}

// The refusal of points that all lie at one potential, "" when there is none. `taken`: the
// points taken, all of them when empty.
std::string Standing(std::string_view text, std::vector<std::size_t> taken = {}) {
  try {
    const CurveFile file = ParseCurveFile(text);
    const MeasuredPoints points = TakePoints(file, {1, 2}, CurrentSign::FromFile);
    if (taken.empty()) {
      for (std::size_t i = 0; i < points.x.size(); ++i) taken.push_back(i);
    }
    RefuseStandingPotential(file, {1, 2}, points.x, taken);
    return "";
  } catch (const FileError& error) {
    return std::string(error.description());
  }
}

// (Pairs, columns, comments and padding rows: the io_rows_and_columns scenario.)
TEST(MeasuredPoints, PointsAtOnePotentialAreRefusedNamingTheLineOfTheSecond) {
  EXPECT_EQ(Standing("0.1,1\n"), "");
  // Side-by-side scans read one after the other: the second scan's first point is the file's
  // first row of numbers.
  EXPECT_EQ(Standing("Scan 1,,Scan 2,\nV,A,V,A\n0.1,1,0.1,3\n0.1,2,0.1,4\n", {1, 2}),
            "line 3: the potentials do not advance: every point lies at 0.1 V");
}

TEST(MeasuredPoints, ACurveTakesAtMostItsPointsAndIsLeftAsItWasOtherwise) {
  model::CurveSet curves;
  const CsvPairs held{{0.1, 0.2, 0.3}, {1, 2, 3}};
  StoreMeasuredCurve(held, curves, false, false);
  const std::vector<double> counted(model::kMaxPoints + 1, 1.0);
  const CsvPairs many{counted, counted};
  try {
    StoreMeasuredCurve(many, curves, false, false);
    ADD_FAILURE() << "not refused";
  } catch (const FileError& error) {
    EXPECT_EQ(error.description(), "the file holds 4001 points; a curve holds at most 4000 points");
  }
  EXPECT_EQ(curves.pointCount, 3);
  EXPECT_EQ(curves.x(3), held.x[2]);
}

}  // namespace
}  // namespace kivex::io
