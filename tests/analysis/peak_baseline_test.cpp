#include "analysis/peak_baseline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <ranges>
#include <string>
#include <vector>

#include "analysis/peak_finding.h"
#include "model/number_text.h"

namespace kivex::analysis {
namespace {

using Values = std::vector<double>;

TEST(TangentBaseline, TouchesTheLowerHullOnEitherSideOfThePeak) {
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    Values x, y;
    int to;
    Values touches;  // E1, I1, E2, I2 worked out by hand; the peak is point 2
  } cases[] = {
      // A peak of 4 on the background 1 + x: points 1 and 3 lie on the line and are no corners.
      {{0, 1, 2, 3, 4}, {1, 2, 7, 4, 5}, 4, {0, 1, 4, 5}},
      {{0, 1, 2, 3, 4}, {-1, -2, -7, -4, -5}, 4, {0, -1, 4, -5}},  // reduction: under -y
      // Dips either side; recorded out of order as on a jittered axis. The peak at 3 V rests on
      // (1, 1) and (5, 0.5), not on the corners (0, 3) and (6, 4) beyond them.
      {{6, 5, 3, 4, 2, 1, 0}, {4, 0.5, 9, 2, 2, 1, 3}, 6, {1, 1, 5, 0.5}},
      // Points past `to` are not read: the dip at 5 and the infinite value at 6.
      {{0, 1, 2, 3, 4, 5, 6}, {0, 1, 5, 1, 0, -10, inf}, 4, {0, 0, 4, 0}},
      {{0, 1, 2, 3, 4, 4}, {2, 3, 8, 3, 1, 2}, 5, {0, 2, 4, 1}},  // two values at 4 V: the lower
  };
  for (const auto& c : cases) {
    const TangentBaseline b = FindTangentBaseline(c.x, c.y, 0, c.to, 2);
    ASSERT_TRUE(b.found) << c.y[2];
    EXPECT_EQ((Values{b.E1, b.I1, b.E2, b.I2}), c.touches) << c.y[2];
  }
  EXPECT_EQ(FindTangentBaseline(cases[0].x, cases[0].y, 0, 4, 2).At(2), 3.0);
  EXPECT_FALSE(FindTangentBaseline(Values{0, 1, 2}, Values{0, 3, std::nan("")}, 0, 2, 1).found);
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
      for (const auto& [E, I] : {std::pair{b.E1, b.I1}, std::pair{b.E2, b.I2}}) {
        EXPECT_TRUE(std::ranges::any_of(std::views::iota(from, to + 1),
                                        [&](int i) { return x[i] == E && y[i] == I; }));
      }
    }
  }
}

// Curve 1 holds `y` over `x` as an import leaves it, held from a measurement.
model::CurveSet Measured(const Values& x, const Values& y, int turn = 0) {
  model::CurveSet curves;
  const int n = static_cast<int>(x.size());
  for (int i = 1; i <= n; ++i) curves.x(i) = x[i - 1], curves.y(i, 1) = y[i - 1];
  curves.pointCount = curves.lastPoint = static_cast<model::Count>(n);
  curves.sweepPointCount = static_cast<model::Count>(turn ? turn : n);
  curves.firstPoint = curves.curveCount = curves.storedCurveCount = curves.currentCurve = 1;
  curves.axis = 1;
  curves.axisStep = std::fabs(x[1] - x[0]);
  curves.axisCycles = turn ? 1 : 0.5;
  curves.axisTechnique = turn ? 1 : 4;
  curves.record(1) = {model::CurveOrigin::Measurement, 1, static_cast<model::Count>(n), 0, 0};
  return curves;
}

model::PlotSettings Span(double yMin, double yMax) {
  model::PlotSettings plot;
  plot.yMin = yMin, plot.yMax = yMax;
  return plot;
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
    EXPECT_NEAR(height, s * 8.56e-6, 0.01 * 8.56e-6);
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
    const auto [height, under] = Above(report[2 * k]);
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
