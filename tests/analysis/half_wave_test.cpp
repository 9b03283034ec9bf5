#include "analysis/half_wave.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kivex::analysis {
namespace {

constexpr double kF = 38.9236;  // F/RT at 25 degrees, 1/V

// A reversible DC wave of limiting current `Id` at E1/2 = -0.05 V, scanned from +0.3 V down in
// 1 mV steps, in curve `curve`.
void Wave(model::CurveSet& curves, int curve, double Id) {
  for (int i = 1; i <= 601; ++i) {
    curves.x(i) = 0.3 - 0.001 * (i - 1);
    curves.y(i, curve) = Id / (1 + std::exp(kF * (curves.x(i) + 0.05)));
  }
  curves.pointCount = curves.lastPoint = 601;
  curves.firstPoint = 1;
  curves.curveCount = static_cast<model::Count>(curve);
}

TEST(HalfWave, FindsTheHalfWavePotentialOfAReductionWaveAndItsMirrorAlike) {
  model::CurveSet curves;
  Wave(curves, 1, 2e-6);
  Wave(curves, 2, -2e-6);
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

// (A curve with no point near half its height: the curve_files and sixth_curve scenarios; a flat
// or empty one: core_flat_curve_analysis.)

}  // namespace
}  // namespace kivex::analysis
