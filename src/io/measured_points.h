#pragma once
// The points of a curve file in the columns chosen, as a curve holds them: potentials in volts,
// currents in amperes and reduction current positive, each point with its time and cycle where
// the file has them, and what was done to them in words for the result window.
//
// A row without a number in the potential or the value column (the padding some instruments
// write after the data, or a scan shorter than its neighbours) is left out and counted. A current
// is turned to reduction positive when `sign` says the file writes oxidation positive, or, for
// CurrentSign::FromFile, when the layout recognised is known to (file_layouts.h); a file of pairs
// or plain columns keeps its values as they are.
//
//   CurveFile file = ParseCurveFile("E (mV)\tI (µA)\n100\t1,5\n90\t\n");
//   MeasuredPoints points = TakePoints(file, ProposedColumns(file), CurrentSign::FromFile);
//   points.x == {0.1}, points.y == {1.5e-6}, points.paddingRows == 1, points.report ends with
//   "Potentials converted from mV to V, currents from µA to A",
//   "Skipped 1 row without a potential or a current"

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "io/curve_file.h"

namespace kivex::io {

// The potential and current columns the names and units propose: the measured working-electrode
// potential before a plain one before the applied one, for pulse tables the step potential and
// the difference current (column_heading.h's ranks), never a text or setting column. What the
// names leave open goes to the first columns of no named quantity, passing over a leading column
// that only rises (a time or point count) where two others remain: "t E I" without headings
// proposes {2, 3}. {1, 2} where no two columns fit.
ColumnChoice ProposedColumns(const CurveFile& file);

struct MeasuredPoints {
  std::vector<double> x;      // V
  std::vector<double> y;      // A (or the value as read when the column has no unit), reduction
                              // positive
  std::vector<double> t;      // s, empty when the file has no time column
  std::vector<int> cycle;     // the file's own cycle of each point, empty when the file marks none
  long long paddingRows = 0;  // rows without a number in the potential or the value column
  std::vector<std::string> report;  // the result window's lines: LayoutReport's, then the
                                    // padding rows skipped
};

// The points in the chosen columns, in file order. FileError when a chosen column is not in the
// file, is a text column, or both are one.
MeasuredPoints TakePoints(const CurveFile& file, ColumnChoice choice, CurrentSign sign);

// FileError when the points taken (`taken`, indices into the potentials `x` that TakePoints gave
// for `choice`) are two or more and all at one potential: a curve that does not advance has no
// step to simulate or analyse over. The refusal names the line of the second point.
//   "line 3: the potentials do not advance: every point lies at 0.1 V"
void RefuseStandingPotential(const CurveFile& file, ColumnChoice choice, std::span<const double> x,
                             std::span<const std::size_t> taken);

}  // namespace kivex::io
