// Exports of instruments, one file per layout (tests/io/data): every point in V and A, reduction
// positive, with the columns proposed, the settings and the cycles. The expected points come from
// how each file was written (the formula beside each case), not from the reader. (The format read
// and the import's report: the instrument_exports and io_layout_reports scenarios.)

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "io/curve_file.h"
#include "io/file_error.h"
#include "io/measured_points.h"
#include "support/temp_dir.h"

namespace kivex::io {
namespace {

CurveFile Load(const std::string& name) {
  return ReadCurveFile(std::string(KIVEX_IO_TEST_DATA) + "/" + name);
}

// Runs of equal cycle marks: {{1, 12}, {2, 12}} is twelve points of cycle 1, then of cycle 2.
std::vector<std::pair<int, int>> Runs(const std::vector<int>& cycles) {
  std::vector<std::pair<int, int>> runs;
  for (int cycle : cycles) {
    if (runs.empty() || runs.back().first != cycle) runs.emplace_back(cycle, 0);
    ++runs.back().second;
  }
  return runs;
}

struct LayoutCase {
  std::string file;
  ColumnChoice proposed;
  std::size_t points;
  std::function<double(std::size_t)> potential;  // V, point i
  std::function<double(std::size_t)> current;    // A, reduction positive
  std::vector<std::pair<int, int>> cycles;
};

// A sweep of the tagged-tables file: 0.2 V up to 0.5 V, down to -0.1 V, back to 0.1 V.
double TaggedSweep(std::size_t i) {
  const double sweep[] = {0.2, 0.3, 0.4, 0.5, 0.4, 0.3, 0.2, 0.1, 0.0, -0.1, 0.0, 0.1};
  return sweep[i % 12];
}
// The key = value file: 0.6 V down to -0.2 V and back in 0.1 V steps.
double KeyValueSweep(std::size_t i) {
  return i <= 8 ? 0.6 - 0.1 * static_cast<double>(i) : -0.2 + 0.1 * static_cast<double>(i - 8);
}
// The counted-header file: the control potential of each row, two cycles and a last row.
double ControlPotential(std::size_t i) {
  const double cycle[] = {0.5, 0.75, 0.5, 0.25, 0.0, -0.2, 0.0, 0.25};
  return i == 16 ? 0.5 : cycle[i % 8];
}
double AppliedPotential(std::size_t i) {
  const double scan[] = {0.0, 0.1, 0.2, 0.3, 0.2, 0.1};
  return scan[i % 6];
}
double SideBySidePotential(std::size_t i) { return -0.5 + 0.25 * static_cast<double>(i % 5); }

TEST(InstrumentLayouts, EachLayoutGivesEveryPointInVoltsAndAmperesReductionPositive) {
  const LayoutCase cases[] = {
      {"tagged_tables.txt",
       {3, 4},
       36,
       TaggedSweep,
       [](std::size_t i) { return -1e-6 * TaggedSweep(i); },  // Im = 1 uA/V, oxidation positive
       {{1, 12}, {2, 12}, {3, 12}}},
      {"tagged_pulse_table.txt",
       {7, 8},
       6,
       [](std::size_t i) { return -0.2 + 0.1 * static_cast<double>(i); },  // Vstep
       [](std::size_t i) { return -4e-6 * static_cast<double>(i + 1); },   // Idif = 4(i+1) uA
       {{1, 6}}},
      {"key_value_header.txt",
       {1, 2},
       17,
       KeyValueSweep,
       [](std::size_t i) { return -2e-6 * KeyValueSweep(i); },
       {}},
      {"counted_header.txt",
       {9, 10},
       17,
       [](std::size_t i) { return ControlPotential(i) - 0.001; },  // Ewe, 1 mV below control
       [](std::size_t i) { return -0.01 * ControlPotential(i); },  // <I> = 10 mA per V
       {{1, 8}, {2, 9}}},
      {"channel_columns.csv",
       {4, 3},
       12,
       [](std::size_t i) { return AppliedPotential(i) + 0.002; },
       [](std::size_t i) { return -5e-6 * (AppliedPotential(i) + 0.002); },
       {{1, 6}, {2, 6}}},
      {"side_by_side_scans.csv",
       {1, 2},
       9,
       SideBySidePotential,
       [](std::size_t i) { return (i < 5 ? -2.5e-6 : -2.4e-6) * SideBySidePotential(i); },
       {{1, 5}, {2, 4}}},
  };
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(c.file);
    const CurveFile file = Load(c.file);
    EXPECT_TRUE(file.layout.oxidationPositive);
    ASSERT_EQ(ProposedColumns(file), c.proposed);
    const MeasuredPoints points = TakePoints(file, c.proposed, CurrentSign::FromFile);
    ASSERT_EQ(points.x.size(), c.points);
    ASSERT_EQ(points.y.size(), c.points);
    for (std::size_t i = 0; i < c.points; ++i) {
      EXPECT_NEAR(points.x[i], c.potential(i), 1e-12) << i;
      EXPECT_NEAR(points.y[i], c.current(i), 1e-18) << i;
    }
    EXPECT_EQ(Runs(points.cycle), c.cycles);
    EXPECT_EQ(points.paddingRows, 0);
    // Kept as written, the currents are oxidation positive.
    const MeasuredPoints asWritten = TakePoints(file, c.proposed, CurrentSign::ReductionPositive);
    EXPECT_EQ(asWritten.x, points.x);
    for (std::size_t i = 0; i < c.points; ++i) EXPECT_EQ(asWritten.y[i], 0.0 - points.y[i]);
    EXPECT_EQ(asWritten.report.back(), points.report[points.report.size() - 2]);
  }
}

TEST(InstrumentLayouts, SettingsComeFromEachHeaderInBaseUnits) {
  FileSettings tagged = Load("tagged_tables.txt").layout.settings;
  EXPECT_EQ(tagged.technique, 1);
  EXPECT_DOUBLE_EQ(*tagged.scanRate, 0.1);  // 100 mV/s
  EXPECT_EQ(tagged.initialPotential, 0.2);
  EXPECT_EQ(tagged.vertex1, 0.5);
  EXPECT_EQ(tagged.vertex2, -0.1);
  EXPECT_EQ(tagged.finalPotential, 0.2);
  EXPECT_DOUBLE_EQ(*tagged.step, 0.1);
  EXPECT_EQ(tagged.cycles, 3);
  EXPECT_EQ(tagged.found.front(), "TAG CV");
  EXPECT_EQ(tagged.found[5], "Scan Rate (mV/s) = 100");

  const FileSettings pulse = Load("tagged_pulse_table.txt").layout.settings;
  EXPECT_EQ(pulse.technique, 5);
  EXPECT_DOUBLE_EQ(*pulse.pulseHeight, 0.025);
  EXPECT_EQ(pulse.frequency, 10);
  EXPECT_EQ(pulse.finalPotential, 0.3);

  // (The key = value header's, and the rest of the counted header's: instrument_exports.)
  const FileSettings counted = Load("counted_header.txt").layout.settings;
  EXPECT_EQ(counted.vertex1, 0.8);
  EXPECT_EQ(counted.finalPotential, 0.5);
  EXPECT_EQ(counted.cycles, 2);

  EXPECT_EQ(Load("side_by_side_scans.csv").layout.settings.technique, 1);
  EXPECT_EQ(Load("channel_columns.csv").layout.settings.found.size(), 0u);
}

TEST(InstrumentLayouts, TimeColumnsAndTheColumnsOfTaggedTables) {
  const CurveFile tagged = Load("tagged_tables.txt");
  const std::vector<ColumnInfo>& info = tagged.layout.columnInfo;
  ASSERT_EQ(info.size(), 9u);
  EXPECT_EQ(info[2].unit, "V vs. Ref.");  // the units row under "Vf"
  EXPECT_TRUE(info[8].text);
  EXPECT_TRUE(std::isnan(tagged.values[8]));  // a text field is no number
  const MeasuredPoints points = TakePoints(tagged, {3, 4}, CurrentSign::FromFile);
  ASSERT_EQ(points.t.size(), 36u);
  EXPECT_EQ(points.t.front(), 1.0);  // T counts seconds through all three tables
  EXPECT_EQ(points.t.back(), 36.0);
  EXPECT_THROW(TakePoints(tagged, {3, 9}, CurrentSign::FromFile), FileError);

  const MeasuredPoints channel =
      TakePoints(Load("channel_columns.csv"), {4, 3}, CurrentSign::FromFile);
  ASSERT_EQ(channel.t.size(), 12u);
  EXPECT_DOUBLE_EQ(channel.t.back(), 0.6);  // 0.05 s a row
  EXPECT_TRUE(TakePoints(Load("key_value_header.txt"), {1, 2}, CurrentSign::FromFile).t.empty());
}

// Padding rows holding only a scan number after the data; settings in the first row only.
TEST(InstrumentLayouts, PaddingRowsAndSettingColumnsOfAPlainColumnFile) {
  const CurveFile file = Load("padded_settings_columns.txt");
  EXPECT_EQ(file.layout.format, "");
  EXPECT_FALSE(file.layout.oxidationPositive);
  EXPECT_EQ(file.layout.columnCount, 14);
  EXPECT_EQ(file.rows(), 50u);
  for (int column = 7; column <= 13; ++column) {
    EXPECT_TRUE(file.layout.columnInfo[static_cast<std::size_t>(column - 1)].setting) << column;
  }
  EXPECT_FALSE(file.layout.columnInfo[13].setting);  // "Sensitivity (A/V)" names no setting
  const FileSettings& settings = file.layout.settings;
  EXPECT_EQ(settings.scanRate, 0.05);
  EXPECT_EQ(settings.step, 0.005);
  EXPECT_EQ(settings.initialPotential, 0.1);
  EXPECT_EQ(settings.vertex1, -0.1);
  EXPECT_EQ(settings.vertex2, 0.1);
  EXPECT_EQ(settings.cycles, 2);
  EXPECT_EQ(settings.quietTime, 5);
  EXPECT_EQ(settings.found.front(), "Scan rate (V/s) = 0.05");

  const MeasuredPoints points = TakePoints(file, ProposedColumns(file), CurrentSign::FromFile);
  ASSERT_EQ(points.x.size(), 10u);
  EXPECT_EQ(points.paddingRows, 40);
  for (std::size_t i = 0; i < 10; ++i) {
    const double e = 0.1 - 0.05 * static_cast<double>(i % 5);
    EXPECT_NEAR(points.x[i], e, 1e-15);
    EXPECT_NEAR(points.y[i], 3e-9 * e, 1e-22);  // as written: no layout, no sign known
  }
  EXPECT_EQ(Runs(points.cycle), (std::vector<std::pair<int, int>>{{1, 5}, {2, 5}}));
  EXPECT_EQ(Runs(file.rowCycle), (std::vector<std::pair<int, int>>{{1, 5}, {2, 45}}));
  // Turned on request, and said so.
  const MeasuredPoints turned = TakePoints(file, {1, 2}, CurrentSign::OxidationPositive);
  EXPECT_EQ(turned.y[0], -points.y[0]);
  EXPECT_EQ(turned.report[3],
            "Currents turned to reduction positive: the file was said to write oxidation "
            "current positive");
}

// (A Latin-1 micro sign in a heading: the io_rows_and_columns scenario.)

// A settings header above 9600 points in 6 segments, far beyond one curve, read whole from a
// file (so through many chunks); the oracle reads each row's text as the file wrote it.
TEST(InstrumentLayouts, ALongMultiSegmentExportIsReadWhole) {
  constexpr int kSegments = 6, kPerSegment = 1600;
  std::string text =
      "Mar. 14, 2025   10:21:07\nCyclic Voltammetry\nFile:  long.bin\n"
      "Instrument Model:  PS-1\n\nInit E (V) = 0.6\nHigh E (V) = 0.6\nLow E (V) = -0.2\n"
      "Init P/N = N\nScan Rate (V/s) = 0.1\nSegment = 6\nSample Interval (V) = 0.0005\n\n"
      "Potential/V, Current/A\n\n";
  std::vector<double> potentials, currents;  // each as its written text reads
  char line[64];
  for (int i = 0; i < kSegments * kPerSegment; ++i) {
    const int segment = i / kPerSegment, k = i % kPerSegment;
    const double e = segment % 2 == 0 ? 0.6 - 0.0005 * k : -0.2 + 0.0005 * k;
    std::snprintf(line, sizeof line, "%.4f, %.6e\n", e, 1e-5 * std::sin(12.0 * e) + 1e-7 * segment);
    text += line;
    char* end = nullptr;
    potentials.push_back(std::strtod(line, &end));
    currents.push_back(std::strtod(end + 1, nullptr));
  }
  testing::TempDir dir;
  const CurveFile file = ReadCurveFile(dir.Write("long.txt", text));
  EXPECT_EQ(file.layout.format, "a key = value settings header");
  EXPECT_EQ(file.layout.settings.segments, kSegments);
  ASSERT_EQ(file.rows(), 9600u);
  const MeasuredPoints points = TakePoints(file, {1, 2}, CurrentSign::FromFile);
  ASSERT_EQ(points.x.size(), 9600u);
  for (std::size_t i = 0; i < points.x.size(); ++i) {
    ASSERT_EQ(points.x[i], potentials[i]) << i;
    ASSERT_EQ(points.y[i], -currents[i]) << i;
  }
  // The same text in memory reads the same.
  EXPECT_EQ(ParseCurveFile(text).values, file.values);
}

}  // namespace
}  // namespace kivex::io
