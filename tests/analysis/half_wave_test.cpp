#include "analysis/half_wave.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace kivex::analysis {
namespace {

constexpr double kF = 38.9236;  // F/RT at 25 degrees, 1/V

// A reversible DC wave of limiting current `Id` at E1/2 = `Ehalf`, scanned from +0.3 V down by
// `step`, in curve `curve`.
void Wave(model::CurveSet& curves, int curve, double Id, double Ehalf, double step) {
  const int count = static_cast<int>(std::lround(0.6 / step)) + 1;
  for (int i = 1; i <= count; ++i) {
    curves.x(i) = 0.3 - step * (i - 1);
    curves.y(i, curve) = Id / (1 + std::exp(kF * (curves.x(i) - Ehalf)));
  }
  curves.pointCount = curves.lastPoint = static_cast<model::Count>(count);
  curves.firstPoint = 1;
  curves.curveCount = std::max<model::Count>(curves.curveCount, static_cast<model::Count>(curve));
}

TEST(HalfWave, FindsTheHalfWavePotentialOfAReductionWaveAndItsMirrorAlike) {
  model::CurveSet curves;
  Wave(curves, 1, 2e-6, -0.05, 0.001);
  Wave(curves, 2, -2e-6, -0.05, 0.001);
  const HalfWave wave = FindHalfWave(curves, 1);
  // The first point inside the +-5 % band lies where the wave reaches 47.5 % of its height:
  // ln(0.525 / 0.475) / f = 2.6 mV before E1/2, so within 3 mV (and the 1 mV step).
  ASSERT_TRUE(wave.E.has_value());
  EXPECT_NEAR(*wave.E, -0.05, 0.003);
  EXPECT_GT(*wave.E, -0.05);  // reached from the positive side
  // The scan ends 0.25 V past E1/2: the plateau is reached to exp(-0.25 f) = 6e-5 of it.
  EXPECT_NEAR(wave.Id, 2e-6, 2e-6 * 1e-4);
  const HalfWave mirror = FindHalfWave(curves, 2);
  EXPECT_EQ(mirror.E, wave.E);
  EXPECT_EQ(mirror.Id, wave.Id);
}

// (A curve with no point near half its height: the curve_files and sixth_curve scenarios.)
TEST(HalfWave, AFlatCurveGivesTheFirstPotentialAndNoCurrent) {
  model::CurveSet curves;
  Wave(curves, 1, 0.0, 0.0, 0.1);
  const auto report = HalfWaveReport(curves);
  ASSERT_EQ(report.size(), 1u);
  EXPECT_EQ(report[0], "Peak  1 :     E1/2 =  .3    Id =  0 ");

  curves.pointCount = 0;  // an empty file was imported
  EXPECT_EQ(HalfWaveReport(curves)[0],
            "Peak  1 :     E1/2 not found: no point within 5 % of half the height  Id =  0 ");
}

}  // namespace
}  // namespace kivex::analysis
