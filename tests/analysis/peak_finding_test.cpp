#include "analysis/peak_finding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "model/number_text.h"
#include "model/print_line.h"

namespace kivex::analysis {
namespace {

using model::CurveSet;
using model::PlotSettings;

// Curve 1 holds `values` at the potentials 0.25, 0.5, ... (exact in binary), on an axis of
// `cycles` sweeps of 5 mV steps made by `technique`.
CurveSet Curve(const std::vector<double>& values, double cycles = 0.5, int technique = 1) {
  CurveSet curves;
  const int count = static_cast<int>(values.size());
  for (int i = 1; i <= count; ++i) {
    curves.x(i) = 0.25 * i;
    curves.y(i, 1) = values[i - 1];
  }
  curves.pointCount = curves.lastPoint = static_cast<model::Count>(count);
  curves.firstPoint = 1;
  curves.curveCount = curves.storedCurveCount = curves.currentCurve = 1;
  curves.axisCycles = cycles;
  curves.axisStep = 0.005;
  curves.axisTechnique = static_cast<model::Count>(technique);
  return curves;
}

PlotSettings Span(double yMin, double yMax) {
  PlotSettings plot;
  plot.yMin = yMin;
  plot.yMax = yMax;
  return plot;
}

// A Gaussian wave of height `height` centred on point `centre` (1-based), `count` points.
std::vector<double> Wave(int count, int centre, double height, double width = 5) {
  std::vector<double> values(count);
  for (int i = 1; i <= count; ++i) {
    const double u = (i - centre) / width;
    values[i - 1] = height * std::exp(-u * u);
  }
  return values;
}

bool Contains(const std::vector<std::string>& lines, const std::string& start) {
  return std::ranges::any_of(lines,
                             [&](const std::string& line) { return line.starts_with(start); });
}

TEST(FindPeaks, ReductionWaveGivesOneSignedPeakAndItsAreaAndEveryCurveIsSearched) {
  CurveSet curves = Curve(Wave(61, 30, -1e-5));
  curves.curveCount = 2;  // curve 2 is flat
  PeakTables peaks;
  const auto report = FindPeaks(curves, Span(-1e-5, 0), peaks);
  ASSERT_EQ(report.size(), 5u);
  EXPECT_EQ(report[0], "Curve  1 :");
  EXPECT_EQ(report[1], "Peak  1 :     Ep =  7.5     Ip = -1E-05 ");
  EXPECT_EQ(report[3], "Curve  2 :");
  EXPECT_EQ(report[4], "Peak Area =    0 ");
  EXPECT_EQ(peaks.PeakPotential(1, 1), 7.5);
  EXPECT_EQ(peaks.PeakCurrent(1, 1), -1e-5);
  EXPECT_EQ(peaks.PeakCurrent(2, 1), 0.0);
  EXPECT_EQ(peaks.PeakCount, 0);  // the count is that of the last curve
  // The area of a Gaussian of unit spacing is height * width * sqrt(pi); the tails beyond the
  // search range and the sum-for-integral error are below 1e-12 of it.
  ASSERT_EQ(report[2].rfind("Peak Area =   ", 0), 0u);
  const double area = model::ReadNumber(report[2].substr(14));
  EXPECT_NEAR(area, 1e-5 * 5 * std::sqrt(std::numbers::pi) * 0.005, 1e-18);
}

TEST(FindPeaks, FlatTopGivesTwoPeaksAndThePeakAtTheThresholdIsNotReported) {
  const std::vector<double> flat = {0, 0, 0, 0, 1, 2, 3, 4, 5, 5, 4, 3, 2, 1, 0, 0, 0, 0, 0, 0};
  PeakTables peaks;
  FindPeaks(Curve(flat), Span(0, 5), peaks);
  EXPECT_EQ(peaks.PeakCount, 2);
  EXPECT_EQ(peaks.PeakPotential(1, 1), 0.25 * 9);
  EXPECT_EQ(peaks.PeakPotential(2, 1), 0.25 * 10);

  // The threshold is 2 % of the plot's span: 0.02 * 100 is exactly 2.
  ASSERT_EQ(0.02 * 100.0, 2.0);
  const std::vector<double> small = {0, 0, 0, 0, 0, 0, .5, 1, 1.5, 2, 1.5, 1, .5, 0, 0, 0, 0, 0};
  FindPeaks(Curve(small), Span(-50, 50), peaks);
  EXPECT_EQ(peaks.PeakCount, 0);
  std::vector<double> above = small;
  above[9] = 2.000001;
  FindPeaks(Curve(above), Span(-50, 50), peaks);
  EXPECT_EQ(peaks.PeakCount, 1);
}

TEST(FindPeaks, PeaksNearTheEndsOrTheTurnOfTheSweepAreNotCandidates) {
  // Search range 3..59 for 61 points: candidates from 7 to 55 only. A cyclic sweep turning at
  // point 30: a maximum at 27..33 is never a peak.
  const struct {
    int centre, turn, peaks;
  } cases[] = {{6, 0, 0},   {7, 0, 1},   {55, 0, 1},  {56, 0, 0},
               {26, 30, 1}, {27, 30, 0}, {33, 30, 0}, {34, 30, 1}};
  for (const auto& c : cases) {
    CurveSet curves = Curve(Wave(61, c.centre, 1, 1), c.turn ? 1 : 0.5);
    curves.sweepPointCount = static_cast<model::Count>(c.turn);
    PeakTables peaks;
    FindPeaks(curves, Span(0, 1), peaks);
    EXPECT_EQ(peaks.PeakCount, c.peaks) << c.centre;
  }
}

// One cycle turning at point 50 of 100: a cathodic (positive) forward peak at 25 and an anodic
// (negative) reverse peak at 75, the forward current decaying to 0.2 at the turn.
CurveSet Voltammogram(int peakCount, double cycles = 1, int technique = 1) {
  std::vector<double> values(100);
  for (int i = 1; i <= 100; ++i) {
    const double forward = std::exp(-std::pow((i - 25) / 4.0, 2)) + 0.2 * (i >= 35 && i <= 50);
    const double reverse = -0.8 * std::exp(-std::pow((i - 75) / 4.0, 2));
    values[i - 1] = i <= 50 ? forward : reverse;
    if (peakCount == 3) values[i - 1] += 0.5 * std::exp(-std::pow((i - 90) / 1.5, 2));
    if (peakCount == 1 && i > 50) values[i - 1] = 0;
  }
  CurveSet curves = Curve(values, cycles, technique);
  curves.sweepPointCount = 50;
  return curves;
}

TEST(FindPeaks, CyclicRatioOnlyForOneCycleOfSweepVoltammetryWithTwoPeaks) {
  PeakTables peaks;
  // (Ipa/Ipc and Ep2 - Ep1 of one cycle: the imported_cycle_analysis scenario.)
  // Not for one or three peaks, two cycles or a DC technique.
  for (const CurveSet& curves :
       {Voltammogram(1), Voltammogram(3), Voltammogram(2, 2), Voltammogram(2, 1, 2)}) {
    const auto lines = FindPeaks(curves, Span(-0.8, 1), peaks);
    EXPECT_FALSE(Contains(lines, "Ipa/Ipc") || Contains(lines, "Ep2 - Ep1")) << peaks.PeakCount;
  }

  // Two cycles have no area; one cycle subtracts the reverse charge from the forward charge.
  EXPECT_EQ(FindPeaks(Voltammogram(2, 2), Span(-0.8, 1), peaks).back(), "Peak Area =    0 ");
  std::vector<double> steps(20, 1.0);
  for (int i = 12; i <= 20; ++i) steps[i - 1] = -1.0;
  CurveSet square = Curve(steps, 1);
  square.sweepPointCount = 11;
  // Forward 3..11 is 9, reverse 11..18 is 1 - 7 = -6: (9 + 6) * 0.005.
  EXPECT_EQ(FindPeaks(square, Span(-1, 1), peaks).back(),
            "Peak Area =   " + model::PrintLine().Number(15 * 0.005).str());
}

// (More than twenty peaks: the core2_many_peaks scenario.)

TEST(FindPeaks, AnImportedCurveShorterThanTheLastSweepIsReadOnlyWithinItsPoints) {
  CurveSet curves = Voltammogram(2);
  curves.sweepPointCount = 400;  // left by an earlier, longer simulation
  PeakTables peaks;
  const auto clean = FindPeaks(curves, Span(-0.8, 1), peaks);
  // Stale points beyond the curve, with a spike that would pass the test.
  for (int i = 101; i <= 400; ++i) curves.y(i, 1) = (i == 200) ? 50 : 1;
  for (int i = 196; i <= 204; ++i) curves.y(i, 1) = 50 - std::abs(i - 200);
  EXPECT_EQ(FindPeaks(curves, Span(-0.8, 1), peaks), clean);
  EXPECT_EQ(peaks.PeakCount, 2);
}

// Curve 1 holds `values` over the potentials `x`, their step the median spacing as an import reads
// it.
CurveSet OnAxis(const std::vector<double>& x, const std::vector<double>& values, double cycles,
                int turn) {
  CurveSet curves = Curve(values, cycles);
  for (std::size_t i = 0; i < x.size(); ++i) curves.x(static_cast<int>(i) + 1) = x[i];
  curves.sweepPointCount = static_cast<model::Count>(turn);
  curves.axisStep = 0.001;
  return curves;
}

double Gaussian(double E, double at) { return 1e-5 * std::exp(-std::pow((E - at) / 0.03, 2)); }

TEST(FindPeaks, AreaOverUnevenStepsIsSummedOnAnEvenGridAndTheReportSaysSo) {
  // 1 mV steps below 0 V and 3 mV above, a peak of 10 uA and width 30 mV at 0.1 V: its area is
  // 1e-5 * 0.03 * sqrt(pi) V A. Summed point by point with the median 1 mV step it would be a
  // third of that.
  const double area = 1e-5 * 0.03 * std::sqrt(std::numbers::pi);
  std::vector<double> x, y;
  for (int i = 0; i <= 300; ++i) x.push_back(-0.3 + 0.001 * i);
  for (int i = 1; i <= 100; ++i) x.push_back(0.003 * i);
  for (const double E : x) y.push_back(Gaussian(E, 0.1));
  PeakTables peaks;
  const auto report = FindPeaks(OnAxis(x, y, 0.5, 401), Span(0, 1e-5), peaks);
  ASSERT_EQ(report.size(), 4u);
  EXPECT_EQ(
      report[0],
      "The potentials are unevenly spaced (steps from 1 to 3 mV): resampled onto an even 1 mV "
      "grid for the peak area.");
  EXPECT_EQ(report[1], "Curve  1 :");  // the curve's own lines as they were
  EXPECT_EQ(report[2].rfind("Peak  1 :     Ep =  .099 ", 0), 0u) << report[2];
  EXPECT_NEAR(model::ReadNumber(report[3].substr(14)), area, 0.002 * area) << report[3];

  // One cycle down and back on potentials jittering by up to 0.6 mV about a 2 mV staircase: a
  // peak of the same shape forward and its mirror on the way back, forward charge minus reverse
  // charge twice the area.
  x.clear();
  y.clear();
  for (int i = 0; i <= 600; ++i) {
    const double jitter = i % 300 ? 0.0006 * std::sin(2.1 * i) : 0.0;
    x.push_back(i <= 300 ? 0.3 - 0.002 * i + jitter : -0.9 + 0.002 * i + jitter);
    y.push_back(i <= 300 ? Gaussian(x.back(), 0.0) : -Gaussian(x.back(), 0.05));
  }
  const auto cycle = FindPeaks(OnAxis(x, y, 1, 301), Span(-1e-5, 1e-5), peaks);
  EXPECT_EQ(cycle[0].rfind("The potentials are unevenly spaced (steps from ", 0), 0u);
  EXPECT_NEAR(model::ReadNumber(cycle.back().substr(14)), 2 * area, 0.004 * area) << cycle.back();

  // 3000 steps of 0.1 mV and 1000 of 50 mV: an even grid of 0.1 mV would need 500 000 points.
  x.assign(1, 0.0);
  for (int i = 1; i < 4000; ++i) x.push_back(x.back() + (i % 4 ? 1e-4 : 0.05));
  const auto tooUneven =
      FindPeaks(OnAxis(x, std::vector<double>(4000, 1e-6), 0.5, 4000), Span(0, 1e-5), peaks);
  EXPECT_EQ(tooUneven, (std::vector<std::string>{"Curve  1 :",
                                                 "Peak Area: not computed, the potentials are too "
                                                 "unevenly spaced for an even grid."}));
}

}  // namespace
}  // namespace kivex::analysis
