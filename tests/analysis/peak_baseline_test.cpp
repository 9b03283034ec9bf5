#include "analysis/peak_baseline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "analysis/peak_finding.h"
#include "model/number_text.h"

namespace kivex::analysis {
namespace {

struct Case {
  const char* name;
  std::vector<double> x, y;
  int from, to, peak;
  double E1, I1, E2, I2;  // the touching points worked out by hand
};

TEST(TangentBaseline, TouchesTheLowerHullOnEitherSideOfThePeak) {
  const double inf = std::numeric_limits<double>::infinity();
  const Case cases[] = {
      // A peak of 4 on the straight background 1 + x: the line is the background; points 1 and 3
      // lie on it and are no corners.
      {"straight background", {0, 1, 2, 3, 4}, {1, 2, 7, 4, 5}, 0, 4, 2, 0, 1, 4, 5},
      // The same reduction peak: the hull is taken under -y, the values keep their sign.
      {"reduction peak", {0, 1, 2, 3, 4}, {-1, -2, -7, -4, -5}, 0, 4, 2, 0, -1, 4, -5},
      // A dip either side: the line rests on both dips, (1, 1) and (5, 0.5); (0, 3) and (6, 4)
      // are corners too but the edge under the peak is the one between the dips.
      {"dips either side", {0, 1, 2, 3, 4, 5, 6}, {3, 1, 2, 9, 2, 0.5, 4}, 0, 6, 3, 1, 1, 5, 0.5},
      // The same points recorded out of order, as on a jittered axis, and descending.
      {"out of order", {6, 5, 3, 4, 2, 1, 0}, {4, 0.5, 9, 2, 2, 1, 3}, 0, 6, 2, 1, 1, 5, 0.5},
      // Points outside from..to are not read: the deep dip at 5 and the infinite value at 6.
      {"region only", {0, 1, 2, 3, 4, 5, 6}, {0, 1, 5, 1, 0, -10, inf}, 0, 4, 2, 0, 0, 4, 0},
      // A repeated potential at the region's end (a held vertex): the lower of the two counts.
      {"held vertex", {0, 1, 2, 3, 4, 4}, {2, 3, 8, 3, 1, 2}, 0, 5, 2, 0, 2, 4, 1},
  };
  for (const Case& c : cases) {
    const TangentBaseline b = FindTangentBaseline(c.x, c.y, c.from, c.to, c.peak);
    ASSERT_TRUE(b.found) << c.name;
    EXPECT_EQ((std::vector{b.E1, b.I1, b.E2, b.I2}), (std::vector{c.E1, c.I1, c.E2, c.I2}))
        << c.name;
  }
  const TangentBaseline straight = FindTangentBaseline(cases[0].x, cases[0].y, 0, 4, 2);
  EXPECT_EQ(straight.At(2), 3.0);
  EXPECT_EQ(straight.At(4), 5.0);
}

TEST(TangentBaseline, NoneAcrossANonFiniteValueOrASinglePotential) {
  const std::vector<double> x = {0, 1, 2, 3, 4};
  const std::vector<double> y = {0, 1, 3, std::nan(""), 0};
  EXPECT_FALSE(FindTangentBaseline(x, y, 0, 4, 2).found);
  EXPECT_TRUE(FindTangentBaseline(x, y, 0, 2, 2).found);  // the peak at the region's end
  const std::vector<double> same = {1, 1, 1};
  EXPECT_FALSE(FindTangentBaseline(same, std::vector<double>{0, 2, 1}, 0, 2, 1).found);
}

// The lower convex hull at a potential E is the lowest chord between two points either side of
// E (the convex envelope of points on a line is reached by two of them): an answer worked out
// without a hull.
double LowestChord(const std::vector<double>& x, const std::vector<double>& up, int from, int to,
                   double E) {
  double lowest = std::numeric_limits<double>::infinity();
  for (int i = from; i <= to; ++i) {
    for (int j = from; j <= to; ++j) {
      if (!(x[i] <= E && E <= x[j] && x[i] < x[j])) continue;
      lowest = std::min(lowest, up[i] + (up[j] - up[i]) * (E - x[i]) / (x[j] - x[i]));
    }
  }
  return lowest;
}

TEST(TangentBaseline, ValueUnderThePeakIsTheLowestChordAcrossItOnNoisyCurves) {
  // Two peaks of either sign on a curved background with deterministic noise, on an axis that
  // jitters by up to 40 % of its step; every point is tried as the peak.
  const int n = 80;
  for (int shape = 0; shape < 4; ++shape) {
    std::vector<double> x(n), y(n);
    for (int i = 0; i < n; ++i) {
      x[i] = 0.005 * i + 0.002 * std::sin(7.3 * i + shape);
      const double u = x[i] - 0.2;
      y[i] = 3 * std::exp(-std::pow((x[i] - 0.12) / 0.02, 2)) -
             (shape % 2 ? 2 : -1) * std::exp(-std::pow((x[i] - 0.28) / 0.03, 2)) +
             (shape < 2 ? 0.5 * u : 4 * u * u - 0.3) + 0.05 * std::sin(13.1 * i * (shape + 1));
    }
    for (int peak = 10; peak < n - 10; peak += 3) {
      const int from = shape * 3;
      const int to = n - 1 - shape * 2;
      const TangentBaseline b = FindTangentBaseline(x, y, from, to, peak);
      ASSERT_TRUE(b.found) << shape << " " << peak;
      const double s = y[peak] < 0 ? -1 : 1;
      std::vector<double> up(n);
      for (int i = 0; i < n; ++i) up[i] = s * y[i];
      const double expected = s * LowestChord(x, up, from, to, x[peak]);
      EXPECT_NEAR(b.At(x[peak]), expected, 1e-12) << shape << " " << peak;
      // Both ends are points of the curve within the region, either side of the peak.
      EXPECT_LE(b.E1, x[peak]);
      EXPECT_GE(b.E2, x[peak]);
      for (const auto& [E, I] : {std::pair{b.E1, b.I1}, std::pair{b.E2, b.I2}}) {
        bool onCurve = false;
        for (int i = from; i <= to; ++i) onCurve |= x[i] == E && y[i] == I;
        EXPECT_TRUE(onCurve) << shape << " " << peak << " " << E;
      }
    }
  }
}

// Curve 1 holds `y` over `x` as an import leaves it: held from a measurement on the present axis.
model::CurveSet Measured(const std::vector<double>& x, const std::vector<double>& y,
                         double cycles = 0.5, int turn = 0, int technique = 4) {
  model::CurveSet curves;
  const int n = static_cast<int>(x.size());
  for (int i = 1; i <= n; ++i) {
    curves.x(i) = x[i - 1];
    curves.y(i, 1) = y[i - 1];
  }
  curves.pointCount = curves.lastPoint = curves.sweepPointCount = static_cast<model::Count>(n);
  if (turn) curves.sweepPointCount = static_cast<model::Count>(turn);
  curves.firstPoint = curves.curveCount = curves.storedCurveCount = curves.currentCurve = 1;
  curves.axis = 1;
  curves.axisStep = std::fabs(x[1] - x[0]);
  curves.axisCycles = cycles;
  curves.axisTechnique = static_cast<model::Count>(technique);
  curves.record(1) = {model::CurveOrigin::Measurement, 1, static_cast<model::Count>(n), 0, 0};
  return curves;
}

model::PlotSettings Span(double yMin, double yMax) {
  model::PlotSettings plot;
  plot.yMin = yMin;
  plot.yMax = yMax;
  return plot;
}

// The height above the baseline and the baseline's value at Ep from a report's baseline line,
// which starts in the first zone and puts "Ip =" in the third, under the peak line's "Ip =".
struct AboveLine {
  double height = 0, under = 0;
};
AboveLine ReadAbove(const std::string& line) {
  const std::string start = "Above baseline:             Ip = ";
  EXPECT_EQ(line.substr(0, start.size()), start) << line;
  const std::size_t ib = line.find("Ib = ");
  EXPECT_NE(ib, std::string::npos) << line;
  return {model::ReadNumber(line.substr(start.size())), model::ReadNumber(line.substr(ib + 5))};
}

// A reversible differential-pulse peak (small pulses: H sech^2 of half the reduced potential,
// at 25 C for one electron) on a straight sloping background: the raw 5.19e-5 A of a peak whose
// own height is 8.56e-6 A.
constexpr double kF = 96485.33 / (8.314462 * 298.15);
constexpr double kHeight = 8.56e-6;
double PulsePeak(double E) { return kHeight / std::pow(std::cosh(kF * (E - 0.1) / 2), 2); }
double Background(double E) { return 4.334e-5 + 2e-5 * (E - 0.1); }

TEST(FindPeaksBaseline, APulsePeakOnASlopingBackgroundStandsItsOwnHeightAboveTheBaseline) {
  // Swept up through an oxidation peak, and down through the same peak as a reduction (all
  // values negative); the peak is centred on the scan, 0.3 V from either end.
  for (const double sign : {1.0, -1.0}) {
    std::vector<double> x, y;
    for (int i = 0; i <= 120; ++i) {
      x.push_back(sign > 0 ? -0.2 + 0.005 * i : 0.4 - 0.005 * i);
      y.push_back(sign * (PulsePeak(x.back()) + Background(x.back())));
    }
    PeakTables peaks;
    const auto report = FindPeaks(Measured(x, y), Span(-6e-5, 6e-5), peaks);
    ASSERT_EQ(report.size(), 4u) << sign;
    ASSERT_EQ(peaks.PeakCount, 1);
    const double Ep = peaks.PeakPotential(1, 1);
    // The background lifts the highest point 5 mV above the peak's centre.
    EXPECT_NEAR(Ep, 0.105, 1e-12);
    EXPECT_NEAR(peaks.PeakCurrent(1, 1), sign * (PulsePeak(Ep) + Background(Ep)), 1e-18);
    EXPECT_NEAR(std::fabs(peaks.PeakCurrent(1, 1)), 5.19e-5, 0.01e-5);  // the raw Ip

    // The tails at the ends are 3e-5 of the height, the same at both: the line joins the ends.
    const TangentBaseline& b = peaks.Baseline(1, 1);
    ASSERT_TRUE(b.found);
    EXPECT_EQ((std::vector{b.E1, b.I1, b.E2, b.I2}),
              (std::vector{x[sign > 0 ? 0 : 120], y[sign > 0 ? 0 : 120], x[sign > 0 ? 120 : 0],
                           y[sign > 0 ? 120 : 0]}));
    const AboveLine above = ReadAbove(report[2]);
    EXPECT_NEAR(above.height, sign * PulsePeak(Ep), 1e-3 * kHeight) << report[2];
    EXPECT_NEAR(above.height, sign * kHeight, 0.01 * kHeight);
    EXPECT_NEAR(above.under, sign * Background(Ep), 1e-3 * kHeight);
    // As printed: the two add up to the raw value.
    EXPECT_NEAR(above.height + above.under, peaks.PeakCurrent(1, 1), 1e-14 * kHeight * 10);
  }
}

TEST(FindPeaksBaseline, OnlyTheCurvesTheChoiceNamesGetABaseline) {
  std::vector<double> x, y;
  for (int i = 0; i <= 120; ++i) {
    x.push_back(-0.2 + 0.005 * i);
    y.push_back(PulsePeak(x.back()) + Background(x.back()));
  }
  const struct {
    model::CurveOrigin origin;
    model::OutputQuantity shown;
    BaselineCurves choice;
    bool line;
  } cases[] = {
      {model::CurveOrigin::Measurement, model::OutputQuantity::Current, BaselineCurves::Imported,
       true},
      {model::CurveOrigin::Simulation, model::OutputQuantity::Current, BaselineCurves::Imported,
       false},
      {model::CurveOrigin::Measurement, model::OutputQuantity::Resistance, BaselineCurves::Imported,
       false},  // a view of a simulation in the held curve's place
      {model::CurveOrigin::Simulation, model::OutputQuantity::Current, BaselineCurves::All, true},
      {model::CurveOrigin::Measurement, model::OutputQuantity::Current, BaselineCurves::None,
       false},
  };
  PeakTables peaks;
  model::CurveSet curves = Measured(x, y);
  const auto plain = FindPeaks(curves, Span(0, 6e-5), peaks, BaselineCurves::None);
  ASSERT_EQ(plain.size(), 3u);
  for (const auto& c : cases) {
    curves.record(1).origin = c.origin;
    curves.shown = c.shown;
    peaks.Baseline(1, 1).found = true;  // left by an earlier search
    const auto report = FindPeaks(curves, Span(0, 6e-5), peaks, c.choice);
    EXPECT_EQ(peaks.Baseline(1, 1).found, c.line);
    std::vector<std::string> without = report;
    if (c.line) {
      ASSERT_EQ(report.size(), 4u);
      EXPECT_EQ(report[2].rfind("Above baseline:", 0), 0u);
      without.erase(without.begin() + 2);
    }
    EXPECT_EQ(without, plain);  // every other line as it was
  }
}

TEST(FindPeaksBaseline, EachPeakOfACycleRestsOnItsOwnSweep) {
  // A cycle as a run writes it (0.3 V down to -0.3 V, the vertex repeated, and back), charging
  // current +-2 uA that changes sign at the turn, a reduction-side peak of 10 uA at 0.05 V
  // forward and an anodic one of -8 uA at 0.11 V on the way back.
  std::vector<double> x, y;
  const auto gauss = [](double E, double at) { return std::exp(-std::pow((E - at) / 0.03, 2)); };
  for (int i = 0; i <= 120; ++i) {
    x.push_back(0.3 - 0.005 * i);
    y.push_back(2e-6 + 1e-6 * x.back() + 1e-5 * gauss(x.back(), 0.05));
  }
  for (int i = 0; i <= 120; ++i) {
    x.push_back(-0.3 + 0.005 * i);
    y.push_back(-2e-6 + 1e-6 * x.back() - 8e-6 * gauss(x.back(), 0.11));
  }
  PeakTables peaks;
  const auto report = FindPeaks(Measured(x, y, 1, 121, 1), Span(-1.2e-5, 1.4e-5), peaks);
  ASSERT_EQ(peaks.PeakCount, 2);
  const double expected[][3] = {{0.05, 1e-5, 2e-6 + 1e-6 * 0.05},
                                {0.11, -8e-6, -2e-6 + 1e-6 * 0.11}};
  for (int k = 1; k <= 2; ++k) {
    const auto& [Ep, height, under] = expected[k - 1];
    EXPECT_NEAR(peaks.PeakPotential(k, 1), Ep, 1e-12);
    ASSERT_EQ(report[2 * k].rfind("Above baseline:", 0), 0u) << report[2 * k];
    const AboveLine above = ReadAbove(report[2 * k]);
    // The Gaussians' tails at the sweeps' ends are below 1e-30 of their height.
    EXPECT_NEAR(above.height, height, 1e-15) << k;
    EXPECT_NEAR(above.under, under, 1e-15) << k;
    // The line touches the charging current of its own sweep only: not the other sweep, nor the
    // repeated vertex, whose current is the return sweep's first.
    const TangentBaseline& b = peaks.Baseline(k, 1);
    for (const double I : {b.I1, b.I2}) EXPECT_GT(I * height, 0) << k;
  }
  EXPECT_EQ(report[5].rfind("Ipa/Ipc = ", 0), 0u);  // the cycle's own lines follow the peaks
}

TEST(FindPeaksBaseline, OverlappingPeaksEachRestOnTheCurveUpToTheOtherPeak) {
  // Two overlapping peaks on a sloping background, and a single low point past the second; the
  // first peak's region ends at the second peak, so only the second peak's baseline reaches it.
  std::vector<double> x, y;
  for (int i = 0; i <= 200; ++i) {
    const double E = 0.002 * i;
    x.push_back(E);
    y.push_back(1e-5 * std::exp(-std::pow((E - 0.1) / 0.03, 2)) +
                7e-6 * std::exp(-std::pow((E - 0.165) / 0.03, 2)) + 1e-6 + 5e-6 * E);
  }
  y[150] -= 5e-6;
  PeakTables peaks;
  const auto report = FindPeaks(Measured(x, y), Span(0, 2e-5), peaks);
  ASSERT_EQ(peaks.PeakCount, 2);
  const int p1 = 50, p2 = 82;  // 0.1 V and 0.164 V: the second peak leans towards the first
  ASSERT_EQ(peaks.PeakPotential(1, 1), x[p1]);
  ASSERT_EQ(peaks.PeakPotential(2, 1), x[p2]);

  const double first = LowestChord(x, y, 0, p2, x[p1]);
  const double second = LowestChord(x, y, p1, 200, x[p2]);
  // The regions matter: over the whole curve both lines would rest on the low point.
  ASSERT_LT(LowestChord(x, y, 0, 200, x[p1]), first - 1e-7);
  const AboveLine one = ReadAbove(report[2]);
  const AboveLine two = ReadAbove(report[4]);
  EXPECT_NEAR(one.under, first, 1e-18);
  EXPECT_NEAR(two.under, second, 1e-18);
  EXPECT_NEAR(one.height, y[p1] - first, 1e-18);
  EXPECT_NEAR(two.height, y[p2] - second, 1e-18);
  // Each stands above the line less than its own peak stands above the background, the overlap
  // lifting the line, but by more than half of it.
  EXPECT_LT(one.height, 1e-5);
  EXPECT_LT(two.height, 7e-6);
  EXPECT_GT(one.height, 0.5e-5);
  EXPECT_GT(two.height, 0.5 * 7e-6);
  EXPECT_EQ(peaks.Baseline(2, 1).E2, x[150]);

  // A value that is not finite in a peak's region leaves that peak without a baseline, and says
  // so; the other peak keeps its own.
  y[190] = std::nan("");
  const auto broken = FindPeaks(Measured(x, y), Span(0, 2e-5), peaks);
  EXPECT_EQ(broken[2], report[2]);
  EXPECT_EQ(broken[4],
            "Above baseline:             none: a value in the peak's region is not finite");
  EXPECT_FALSE(peaks.Baseline(2, 1).found);
}

}  // namespace
}  // namespace kivex::analysis
