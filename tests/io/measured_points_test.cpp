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

// "x y; x y; " in volts and amperes, or the refusal.
std::string Points(std::string_view text, ColumnChoice choice = {1, 2}) {
  try {
    const MeasuredPoints points = TakePoints(ParseCurveFile(text), choice, CurrentSign::FromFile);
    std::string shown;
    for (std::size_t i = 0; i < points.x.size(); ++i) {
      shown += model::ShortestText(points.x[i]) + " " + model::ShortestText(points.y[i]) + "; ";
    }
    return shown;
  } catch (const FileError& error) {
    return "refused: " + std::string(error.description());
  }
}

TEST(MeasuredPoints, AByteOrderMarkStartingALineIsPassedOver) {
  // UTF-8: a mark at the start of a middle line and a last line of a mark only.
  EXPECT_EQ(Points("E/V,I/A\n0.1,2e-6\n\xEF\xBB\xBF"
                   "0.2,3e-6\n\xEF\xBB\xBF\n"),
            "0.1 2e-06; 0.2 3e-06; ");
  // UTF-16 pairs whose last line is only a mark: the pair format refuses the mark, the columns
  // take the pairs.
  const std::u16string utf16 = u"\uFEFF1,2\r\n3,4\r\n\uFEFF";
  std::string bytes;
  for (char16_t unit : utf16) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  const CurveFile file = ParseCurveFile(bytes);
  EXPECT_EQ(file.values, (std::vector<double>{1, 2, 3, 4}));
  EXPECT_EQ(file.layout.encoding, TextEncoding::Utf16Le);
}

TEST(MeasuredPoints, RowsMayLeaveFieldsEmptyButNotAddFieldsOrText) {
  const std::pair<std::string, std::string> cases[] = {
      // A short row and an empty potential are padding; a row with E and I is a point. (A row
      // of more fields: core_import_refusals.)
      {"E;I;Q\n1;2;3\n3;4\n;6;7\n5;;\n7;8;9\n", "1 2; 3 4; 7 8; "},
      {"E;I\n1;2\n3;4;;\n", "1 2; 3 4; "},  // empty fields beyond are none
      {"E;I\n1;2\n3;x\n", "refused: line 3: \"x\" is not a number"},
      // Comma-separated numbers only: a faulty file of pairs, refused as the pair format does.
      {"1,2\n3,\n", "refused: line 2: a field is empty"},
      {"1,2,3\n4,5\n6,7,8\n9,10\n", "1 2; 3 4; 5 6; 7 8; 9 10; "},
  };
  for (const auto& [text, outcome] : cases) EXPECT_EQ(Points(text), outcome) << text;
  const MeasuredPoints points =
      TakePoints(ParseCurveFile(cases[0].first), {1, 2}, CurrentSign::FromFile);
  EXPECT_EQ(points.paddingRows, 2);
  EXPECT_EQ(points.report.back(), "Skipped 2 rows without a potential or a current");
}

TEST(MeasuredPoints, ATextColumnNeedsAHeadingOverItAndIsNeverChosen) {
  const std::string flagged = "E\tI\tFlag\n1\t2\tok\n3\t4\tover\n";
  const CurveFile file = ParseCurveFile(flagged);
  EXPECT_TRUE(file.layout.columnInfo[2].text);
  EXPECT_EQ(TakePoints(file, {1, 2}, CurrentSign::FromFile).report.front(),
            "Text column 3 \"Flag\" ignored");
  EXPECT_EQ(Points(flagged, {1, 3}), "refused: column 3 \"Flag\" holds text, not numbers");
  EXPECT_EQ(ProposedColumns(ParseCurveFile("E\tI/A\tI (A)\n1\tok\t2\n")), (ColumnChoice{1, 3}));
  EXPECT_EQ(Points(flagged, {2, 2}),
            "refused: the potential and the value cannot both come from column 2");
  EXPECT_EQ(Points(flagged, {0, 2}), "refused: column 0 was chosen, but the file has 3 columns");
  // Without a heading row of as many fields the lines are text.
  EXPECT_EQ(Points("1\t2\tok\n3\t4\tover\n"),
            "refused: no data: every line is text, a comment or blank");
  // A column of numbers may not hold text further down.
  EXPECT_EQ(Points("E\tI\tFlag\n1\t2\tok\n3\tx\tok\n"), "refused: line 3: \"x\" is not a number");
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

// (The columns of each instrument's layout: InstrumentLayouts.)
TEST(MeasuredPoints, ColumnsAreProposedByTheirNamesAndUnits) {
  const std::pair<std::string, ColumnChoice> cases[] = {
      {"t\tE\tI\n", {2, 3}},
      {"Time (s)\tPotential (V)\tCurrent (A)\n", {2, 3}},
      {"Vrev\tVfwd\tIfwd\tIdif\n", {2, 4}},
      {"I (A)\tE (V)\n", {2, 1}},
      {"E (V)\tSignal\n", {1, 2}},
      {"Signal\tOther\tI (nA)\n", {1, 3}},
      {"Alpha\tBeta\tGamma\n", {1, 2}},
      {"Time (s)\tCycle\tCharge (C)\n", {1, 2}},
      {"Time/s\tPotential/V\tCurrent/A\tCharge/C\n", {2, 3}},
      // Names the table does not know: the time is still no potential.
      {"Time (s)\tVolt\tAmpere\n", {2, 3}},
      {"Time\tWE Potential\tWE Current\n", {2, 3}},
      {"Cycle\tE (V)\tSignal\tCharge (C)\n", {2, 3}},
      // The measured working-electrode potential before the control's, a net current first.
      {"Ewe/V\tVfwd\tIfwd\t<I>/mA\n", {2, 4}},
      {"E (V)\tEwe/V\tcontrol/V\tI Range\tI (A)\n", {2, 5}},
      {"control/V\tE (V)\tVu\tI (A)\n", {2, 4}},
      {"WE(2).Potential (V)\tEwe/V\tI (A)\n", {1, 3}},
      {"Ewe/V\tWE(2).Potential (V)\tI (A)\n", {1, 3}},
  };
  for (const auto& [heading, choice] : cases) {
    const std::size_t columns =
        static_cast<std::size_t>(std::count(heading.begin(), heading.end(), '\t') + 1);
    std::string row = "1";
    for (std::size_t i = 1; i < columns; ++i) row += "\t1";
    EXPECT_EQ(ProposedColumns(ParseCurveFile(heading + row + "\n")), choice) << heading;
  }
  EXPECT_EQ(ProposedColumns(ParseCurveFile("1,2\n3,4\n")), (ColumnChoice{1, 2}));
}

// Where the names say nothing, a leading column that only rises is a time or a point count, not
// the potential; the potential itself rises on a single sweep, and is kept where it is one of the
// two columns left.
TEST(MeasuredPoints, ColumnsWithoutNamesPassOverALeadingTimeOrPointCount) {
  const std::pair<std::string, ColumnChoice> cases[] = {
      // time, potential (a cycle), current
      {"0\t0.3\t1e-6\n0.1\t0.2\t2e-6\n0.2\t0.3\t1e-6\n", {2, 3}},
      // point number, time, potential, current
      {"1 0 0.3 1e-6\n2 0.1 0.2 2e-6\n3 0.2 0.3 1e-6\n", {3, 4}},
      // time and a potential that rises on a single sweep
      {"0,-0.3,1e-6\n0.1,-0.2,2e-6\n0.2,-0.1,3e-6\n0.3,0,5e-6\n", {2, 3}},
      // potential (a cycle), current, time: nothing to pass over
      {"0.3\t1e-6\t0\n0.2\t2e-6\t0.1\n0.3\t1e-6\t0.2\n", {1, 2}},
      // three rows are the least that show a column rising
      {"0\t0.3\t1e-6\n0.1\t0.2\t2e-6\n", {1, 2}},
      // a named potential: only the current is open, and a point count is not it
      {"No\tE (V)\tSignal\n1\t0.3\t5\n2\t0.2\t7\n3\t0.3\t6\n", {2, 3}},
  };
  for (const auto& [text, choice] : cases) {
    EXPECT_EQ(ProposedColumns(ParseCurveFile(text)), choice) << text;
  }
}

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
    const std::string e = number();
    const std::string i = number();
    double expectedE = 0;
    double expectedI = 0;
    const auto readE = std::from_chars(e.data(), e.data() + e.size(), expectedE);
    const auto readI = std::from_chars(i.data(), i.data() + i.size(), expectedI);
    if (readE.ec != std::errc() || readI.ec != std::errc()) continue;  // beyond a double
    const std::string plain = std::string(e).append(";").append(i);
    const std::string quoted = std::string("\"").append(e).append("\";").append(i);
    for (const std::string& line : {plain, quoted}) {
      std::string comma = line;
      for (char& c : comma) c = c == '.' ? ',' : c;
      for (const std::string& text : {"E;I\n" + line + "\n", "E;I\n" + comma + "\n"}) {
        const CurveFile file = ParseCurveFile(text);
        ASSERT_EQ(file.values.size(), 2u) << text;
        EXPECT_EQ(file.values[0], expectedE) << text;
        EXPECT_EQ(file.values[1], expectedI) << text;
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

TEST(MeasuredPoints, PointsAtOnePotentialAreRefusedNamingTheLineOfTheSecond) {
  const std::string standing = "the potentials do not advance: every point lies at 0.1 V";
  const std::pair<std::string, std::string> cases[] = {
      // Pairs, past a blank line, and a pair whose potential ends a line.
      {"0.1,1\n\n0.1,2\n", "line 3: " + standing},
      {"0.1,1,0.1\r\n2\r\n", "line 1: " + standing},
      // Columns, past a comment and a padding row.
      {"E;I\n0,1;1\n# note\n0,2;\n0,1;2\n", "line 5: " + standing},
      {"E;I\n0,1;1\n0,1;1\n0,2;2\n", ""},
      {"0.1,1\n", ""},
  };
  for (const auto& [text, outcome] : cases) EXPECT_EQ(Standing(text), outcome) << text;
  // Side-by-side scans read one after the other: the second scan's first point is the file's
  // first row of numbers.
  EXPECT_EQ(Standing("Scan 1,,Scan 2,\nV,A,V,A\n0.1,1,0.1,3\n0.1,2,0.1,4\n", {1, 2}),
            "line 3: " + standing);
}

TEST(MeasuredPoints, ACurveTakesAtMostItsPointsAndIsLeftAsItWasOtherwise) {
  model::CurveSet curves;
  CsvPairs held;
  for (int i = 1; i <= 3; ++i) {
    held.x.push_back(0.1 * i);
    held.y.push_back(i);
  }
  StoreMeasuredCurve(held, curves, false, false);
  CsvPairs many;
  for (int i = 0; i <= model::kMaxPoints; ++i) {
    many.x.push_back(i);
    many.y.push_back(i);
  }
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
