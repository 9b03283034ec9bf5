#include "analysis/peak_finding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <ranges>
#include <string>
#include <vector>

#include "analysis/peak_baseline.h"
#include "model/number_text.h"
#include "model/print_line.h"

namespace kivex::analysis {
namespace {

using model::CurveSet;
using model::PlotSettings;
using Values = std::vector<double>;

// Curve 1 holds `values` at the potentials 0.25, 0.5, ... (exact in binary), on an axis of
// `cycles` sweeps of 5 mV steps made by `technique`.
CurveSet Curve(const std::vector<double>& values, double cycles = 0.5, int technique = 1) {
  CurveSet curves;
  const int count = static_cast<int>(values.size());
  for (int i = 1; i <= count; ++i) curves.x(i) = 0.25 * i, curves.y(i, 1) = values[i - 1];
  curves.pointCount = curves.lastPoint = static_cast<model::Count>(count);
  curves.firstPoint = curves.curveCount = curves.storedCurveCount = curves.currentCurve = 1;
  curves.axisCycles = cycles;
  curves.axisStep = 0.005;
  curves.axisTechnique = static_cast<model::Count>(technique);
  return curves;
}

PlotSettings Span(double yMin, double yMax) {
  PlotSettings plot;
  plot.yMin = yMin, plot.yMax = yMax;
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
  // (The note's wording: the uneven_axis_analysis scenario.)
  EXPECT_EQ(report[0].rfind("The potentials are unevenly spaced (steps from 1 to 3 mV)", 0), 0u);
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

// (Either sign, and points past the region's end unread: the lowest-chord and Find Peak tests.)
TEST(TangentBaseline, TouchesTheLowerHullOnEitherSideOfThePeak) {
  const struct {
    Values x, y;
    Values touches;  // E1, I1, E2, I2 worked out by hand; the peak is point 2
  } cases[] = {
      // A peak of 4 on the background 1 + x: points 1 and 3 lie on the line and are no corners.
      {{0, 1, 2, 3, 4}, {1, 2, 7, 4, 5}, {0, 1, 4, 5}},
      // Dips either side; recorded out of order as on a jittered axis. The peak at 3 V rests on
      // (1, 1) and (5, 0.5), not on the corners (0, 3) and (6, 4) beyond them.
      {{6, 5, 3, 4, 2, 1, 0}, {4, 0.5, 9, 2, 2, 1, 3}, {1, 1, 5, 0.5}},
      {{0, 1, 2, 3, 4, 4}, {2, 3, 8, 3, 1, 2}, {0, 2, 4, 1}},  // two values at 4 V: the lower
  };
  for (const auto& c : cases) {
    const int to = static_cast<int>(c.x.size()) - 1;
    const TangentBaseline b = FindTangentBaseline(c.x, c.y, 0, to, 2);
    ASSERT_TRUE(b.found) << c.y[2];
    EXPECT_EQ((Values{b.E1, b.I1, b.E2, b.I2}), c.touches) << c.y[2];
  }
  EXPECT_FALSE(FindTangentBaseline(Values{1, 1, 1}, Values{0, 2, 1}, 0, 2, 1).found);
}

// The lower convex hull at E is the lowest chord between two points either side of E (in one
// dimension the convex envelope is reached by two points): worked out without a hull.
double LowestChord(const Values& x, const Values& y, int from, int to, double E, double s = 1) {
  double lowest = std::numeric_limits<double>::infinity();
  for (int i = from; i <= to; ++i) {
    for (int j = from; j <= to; ++j) {
      if (x[i] <= E && E <= x[j] && x[i] < x[j]) {
        lowest = std::min(lowest, s * (y[i] + (y[j] - y[i]) * (E - x[i]) / (x[j] - x[i])));
      }
    }
  }
  return s * lowest;
}

TEST(TangentBaseline, ItsValueUnderThePeakIsTheLowestChordAcrossItOnNoisyCurves) {
  // Peaks of either sign on straight and curved backgrounds with noise, the axis jittering by up
  // to 40 % of its step; every third point taken as the peak.
  const int n = 80;
  for (int shape = 0; shape < 4; ++shape) {
    Values x(n), y(n);
    for (int i = 0; i < n; ++i) {
      x[i] = 0.005 * i + 0.002 * std::sin(7.3 * i + shape);
      const double u = x[i] - 0.2;
      y[i] = 3 * std::exp(-std::pow((x[i] - 0.12) / 0.02, 2)) -
             (shape % 2 ? 2 : -1) * std::exp(-std::pow((x[i] - 0.28) / 0.03, 2)) +
             (shape < 2 ? 0.5 * u : 4 * u * u - 0.3) + 0.05 * std::sin(13.1 * i * (shape + 1));
    }
    const int from = shape * 3, to = n - 1 - shape * 2;
    for (int peak = 10; peak < n - 10; peak += 3) {
      const TangentBaseline b = FindTangentBaseline(x, y, from, to, peak);
      ASSERT_TRUE(b.found);
      const double s = y[peak] < 0 ? -1 : 1;
      EXPECT_NEAR(b.At(x[peak]), LowestChord(x, y, from, to, x[peak], s), 1e-12) << peak;
      EXPECT_TRUE(b.E1 <= x[peak] && x[peak] <= b.E2);
      // Each end of the tangent is a point of the curve within the region.
      for (const std::pair<double, double> end : {std::pair{b.E1, b.I1}, std::pair{b.E2, b.I2}}) {
        bool onCurve = false;
        for (int i = from; i <= to; ++i) onCurve |= x[i] == end.first && y[i] == end.second;
        EXPECT_TRUE(onCurve) << end.first;
      }
    }
  }
}

// Curve 1 holds `y` over `x` as an import leaves it, held from a measurement: Find Peak draws its
// baselines.
CurveSet Measured(const Values& x, const Values& y, int turn = 0) {
  const auto n = static_cast<int>(x.size());
  CurveSet curves = OnAxis(x, y, turn ? 1 : 0.5, turn ? turn : n);
  curves.record(1) = {model::CurveOrigin::Measurement, 1, static_cast<model::Count>(n), 0, 0};
  return curves;
}

// The height and the baseline's value from a baseline line: "Ip =" in the third zone, under the
// peak line's own.
std::pair<double, double> Above(const std::string& line) {
  const std::string start = "Above baseline:             Ip = ";
  EXPECT_EQ(line.substr(0, start.size()), start) << line;
  return {model::ReadNumber(line.substr(start.size())),
          model::ReadNumber(line.substr(line.find("Ib = ") + 5))};
}

// A reversible pulse peak (small pulses: H sech^2 of half the reduced potential, one electron at
// 25 C) of 8.56e-6 A on a sloping background of 4.3e-5 A.
double PulsePeak(double E) {
  return 8.56e-6 / std::pow(std::cosh(96485.33 / (8.314462 * 298.15) * (E - 0.1) / 2), 2);
}
double Background(double E) { return 4.334e-5 + 2e-5 * (E - 0.1); }

TEST(FindPeaksBaseline, APulsePeakOnASlopingBackgroundStandsItsOwnHeightAboveTheBaseline) {
  // Up through an oxidation peak and down through its mirror, centred 0.3 V from either end.
  for (const double s : {1.0, -1.0}) {
    Values x, y;
    for (int i = 0; i <= 120; ++i) {
      x.push_back(s > 0 ? -0.2 + 0.005 * i : 0.4 - 0.005 * i);
      y.push_back(s * (PulsePeak(x.back()) + Background(x.back())));
    }
    PeakTables peaks;
    const auto report = FindPeaks(Measured(x, y), Span(-6e-5, 6e-5), peaks);
    ASSERT_EQ(report.size(), 4u);
    const double Ep = peaks.PeakPotential(1, 1);
    EXPECT_NEAR(Ep, 0.105, 1e-12);  // the slope lifts the highest point 5 mV past the centre
    EXPECT_NEAR(peaks.PeakCurrent(1, 1), s * 5.19e-5, 0.01e-5);  // raw, background and all
    const auto [height, under] = Above(report[2]);
    EXPECT_NEAR(height, s * PulsePeak(Ep), 1e-3 * 8.56e-6);
    EXPECT_NEAR(under, s * Background(Ep), 1e-3 * 8.56e-6);
    // The tails, 3e-5 of the height at either end, leave the line joining the ends.
    const TangentBaseline& b = peaks.Baseline(1, 1);
    const int low = s > 0 ? 0 : 120;
    EXPECT_EQ((Values{b.E1, b.I1, b.E2, b.I2}),
              (Values{x[low], y[low], x[120 - low], y[120 - low]}));
  }
}

TEST(FindPeaksBaseline, EachPeakOfACycleRestsOnItsOwnSweepAndOverlappingPeaksOnEachOther) {
  // A cycle as a run writes it, the vertex held; charging current of +-2 uA that turns with the
  // sweep; 10 uA at 0.05 V forward and -8 uA at 0.11 V back. The Gaussians' tails at the sweeps'
  // ends are below 1e-30 of them, so the line is the charging current.
  const auto g = [](double E, double at) { return std::exp(-std::pow((E - at) / 0.03, 2)); };
  Values x, y;
  for (int i = 0; i <= 241; ++i) {
    x.push_back(i <= 120 ? 0.3 - 0.005 * i : -0.3 + 0.005 * (i - 121));
    y.push_back(i <= 120 ? 2e-6 + 1e-6 * x.back() + 1e-5 * g(x.back(), 0.05)
                         : -2e-6 + 1e-6 * x.back() - 8e-6 * g(x.back(), 0.11));
  }
  PeakTables peaks;
  auto report = FindPeaks(Measured(x, y, 121), Span(-1.2e-5, 1.4e-5), peaks);
  EXPECT_EQ(report[5].rfind("Ipa/Ipc = ", 0), 0u);  // after both peaks
  const double expected[2][3] = {{0.05, 1e-5, 2.05e-6}, {0.11, -8e-6, -1.89e-6}};
  for (int k = 1; k <= 2; ++k) {
    EXPECT_NEAR(peaks.PeakPotential(k, 1), expected[k - 1][0], 1e-12);
    const auto [height, under] = Above(report[2 * static_cast<std::size_t>(k)]);
    EXPECT_NEAR(height, expected[k - 1][1], 1e-15);
    EXPECT_NEAR(under, expected[k - 1][2], 1e-15);
  }

  // Overlapping peaks on a slope and a single low point past the second: each region ends at the
  // other peak, so only the second peak's line reaches the low point.
  x.clear(), y.clear();
  for (int i = 0; i <= 200; ++i) {
    x.push_back(0.002 * i);
    y.push_back(1e-5 * g(x.back(), 0.1) + 7e-6 * g(x.back(), 0.165) + 1e-6 + 5e-6 * x.back());
  }
  y[150] -= 5e-6;
  report = FindPeaks(Measured(x, y), Span(0, 2e-5), peaks);
  const int p1 = 50, p2 = 82;  // 0.1 V, and 0.164 V leaning towards the first
  ASSERT_EQ((Values{peaks.PeakPotential(1, 1), peaks.PeakPotential(2, 1)}), (Values{x[p1], x[p2]}));
  ASSERT_LT(LowestChord(x, y, 0, 200, x[p1]), LowestChord(x, y, 0, p2, x[p1]) - 1e-7);
  EXPECT_NEAR(Above(report[2]).second, LowestChord(x, y, 0, p2, x[p1]), 1e-18);
  EXPECT_NEAR(Above(report[4]).second, LowestChord(x, y, p1, 200, x[p2]), 1e-18);
  EXPECT_EQ(peaks.Baseline(2, 1).E2, x[150]);

  // A value that is not finite in a peak's region leaves that peak without a line, and says so.
  y[190] = std::nan("");
  const auto broken = FindPeaks(Measured(x, y), Span(0, 2e-5), peaks);
  EXPECT_EQ(broken[2], report[2]);
  EXPECT_EQ(broken[4],
            "Above baseline:             none: a value in the peak's region is not finite");
}

}  // namespace
}  // namespace kivex::analysis
