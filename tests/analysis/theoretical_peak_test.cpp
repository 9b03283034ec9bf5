#include "analysis/theoretical_peak.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

#include "support/experiments.h"

namespace kivex::analysis {
namespace {

using model::AppState;

// A one-electron couple A + e = B, 1 mM of A (1e-6 mol/cm3), equal D = 1e-5 cm2/s, E0 = 0.1 V,
// 1 cm2, 25 degrees: the dialogs' experiment, swept at 0.1 V/s, electrodes of radius 10 um.
AppState Couple(int technique, int electrode, int mechanism = 1) {
  AppState app = testing::Experiment(technique, electrode, mechanism);
  app.scanRate = 0.1, app.radius = 0.001;
  return app;
}

TEST(TheoreticalPeak, PlanarSweepFollowsRandlesSevcik) {
  AppState app = Couple(1, 1);
  TheoreticalPeak p = ComputeTheoreticalPeak(app, 1);
  ASSERT_TRUE(p.Irev && p.Iirr && p.Erev);
  // Textbook constants at 25 degrees, ip = 2.69e5 n^1.5 A D^0.5 C v^0.5 (reversible) and
  // 2.99e5 n (alpha n)^0.5 A D^0.5 C v^0.5 (irreversible), C in mol/cm3: given to three digits,
  // so agreement within 0.3 %.
  const double rootDv = std::sqrt(1e-5 * 0.1);
  EXPECT_NEAR(*p.Irev / (2.69e5 * 1e-6 * rootDv), 1.0, 0.003);
  EXPECT_NEAR(*p.Iirr / (2.99e5 * std::sqrt(0.5) * 1e-6 * rootDv), 1.0, 0.003);
  // The reversible peak lies 1.109 RT/F = 28.5 mV beyond E1/2, which is E0 for equal D.
  EXPECT_NEAR(*p.Erev, 0.1 - 0.0285, 0.0001);
  EXPECT_FALSE(p.Eirr.has_value());  // fast kinetics: no irreversible peak potential

  // Slow kinetics, ks = 1e-3 cm/s: Ep = E0 - (RT/alpha F)(0.78 + ln(sqrt(D alpha f v) / ks)),
  // worked by hand with f = 38.9230: sqrt(1e-5 * 0.5 * 38.9230 * 0.1) = 4.41153e-3,
  // ln(4.41153) = 1.48421, (1.48421 + 0.78) / 19.4615 = 0.116343.
  app.ks(1) = 1e-3;
  p = ComputeTheoreticalPeak(app, 1);
  ASSERT_TRUE(p.Eirr.has_value());
  EXPECT_NEAR(*p.Eirr, 0.1 - 0.116343, 2e-6);
}

TEST(TheoreticalPeak, DcAndNormalPulseFollowCottrellAtTheirTimes) {
  // i = n F A C sqrt(D / (pi t)): at the drop time 0.5 s, 96484.6 * 1e-6 * 2.52313e-3.
  TheoreticalPeak dc = ComputeTheoreticalPeak(Couple(2, 1), 1);
  ASSERT_TRUE(dc.Irev && dc.Erev && dc.Iirr);
  EXPECT_NEAR(*dc.Irev, 2.43443e-4, 1e-9);
  EXPECT_EQ(*dc.Iirr, *dc.Irev);
  EXPECT_DOUBLE_EQ(*dc.Erev, 0.1);
  // Normal pulse: at the pulse width 0.05 s, sqrt(10) times more; E1/2 shifted by the pulse.
  TheoreticalPeak np = ComputeTheoreticalPeak(Couple(3, 1), 1);
  EXPECT_NEAR(*np.Irev / *dc.Irev, std::sqrt(10.0), 1e-12);
  EXPECT_DOUBLE_EQ(*np.Erev, 0.15);

  // Unequal diffusion coefficients shift E1/2 by ln(D_R / D_O) / 2f = 17.81 mV for D_R = 4 D_O.
  AppState app = Couple(2, 1);
  app.D(2) = 4e-5;
  EXPECT_NEAR(*ComputeTheoreticalPeak(app, 1).Erev, 0.1 + 0.017808, 1e-6);
}

TEST(TheoreticalPeak, PulseAndMicroelectrodeFormulas) {
  // Differential pulse: n F A C sqrt(D / (pi tp)) (1 - s) / (1 + s), s = exp(f dE / 2), at
  // dE = -50 mV: 0.0964846 * 7.97885e-3 * 0.451470 = 3.47553e-4 A; the peak at E1/2 - dE/2.
  TheoreticalPeak dp = ComputeTheoreticalPeak(Couple(4, 1), 1);
  EXPECT_NEAR(*dp.Irev, 3.47553e-4, 1e-9);
  EXPECT_DOUBLE_EQ(*dp.Erev, 0.125);
  EXPECT_NEAR(*ComputeTheoreticalPeak(Couple(5, 1), 1).Irev, 2.4 * 3.47553e-4, 3e-9);

  // Steady state at a sphere of radius 10 um: 4 pi n F D C r, with the area 4 pi r2.
  AppState sphere = Couple(1, 2);
  sphere.area = 4 * model::kPiTenDigits * 1e-6;
  const TheoreticalPeak s = ComputeTheoreticalPeak(sphere, 1);
  EXPECT_NEAR(*s.Irev, 4 * model::kPiTenDigits * model::kFaraday * 1e-5 * 1e-6 * 1e-3, 1e-18);
  EXPECT_FALSE(s.Erev || s.Eirr || s.Iirr);  // not defined at a sphere
  // Microdisc: 4 n F D C r.
  AppState disc = Couple(1, 4);
  disc.area = model::kPiTenDigits * 1e-6;
  EXPECT_NEAR(*ComputeTheoreticalPeak(disc, 1).Irev, 4 * model::kFaraday * 1e-5 * 1e-6 * 1e-3,
              1e-18);
  // Rotating disk, Levich: 0.62 n F A C D^(2/3) w^(1/2) nu^(-1/6).
  const double levich = 0.62 * model::kFaraday * 1e-6 * std::pow(1e-5, 2.0 / 3) *
                        std::sqrt(100 * model::kPiTenDigits / 30) * std::pow(0.01, -1.0 / 6);
  EXPECT_NEAR(*ComputeTheoreticalPeak(Couple(2, 8), 1).Irev, levich, levich * 1e-12);
}

TEST(TheoreticalPeak, ReportWritesEveryReactionWithADashForUndefinedValues) {
  // (The sweep labels and their dash: the ui_theoretical_peak_commits scenario.) DC labels; the
  // second charge reaction B + e = C of EE (E0 -0.1 V) reports its own couple.
  const auto report = TheoreticalPeakReport(Couple(2, 9, 2));
  ASSERT_EQ(report.size(), 5u);
  EXPECT_EQ(report[1], "Reversible Peak  1 :        E1/2 = 0.1    Id = -");
  EXPECT_EQ(report[3].substr(0, 39), "Reversible Peak  2 :        E1/2 = -0.1");
  EXPECT_EQ(report[4].find("Irreverisble Peak  2 :"), 0u);

  // Mechanisms the tables do not cover still get their lines, every value a dash.
  EXPECT_EQ(TheoreticalPeakReport(Couple(1, 1, 5))[1],
            "Reversible Peak  1 :        Ep = -        Ip = -");
}

TEST(TheoreticalPeak, CatalyticCurrentAndValuesThatCannotBeComputed) {
  // EC': the kinetic current n F A C sqrt(D (kf + kb)).
  AppState app = Couple(1, 1, 7);
  app.kf(1) = 10, app.kb(1) = 0.01;
  const TheoreticalPeak p = ComputeTheoreticalPeak(app, 1);
  EXPECT_NEAR(*p.Irev, model::kFaraday * 1e-6 * std::sqrt(1e-5 * 10.01), 1e-15);
  EXPECT_DOUBLE_EQ(*p.Erev, 0.1);
  EXPECT_FALSE(p.Eirr || p.Iirr);

  // No product diffusion coefficient: E1/2 is undefined, the currents are not.
  app = Couple(1, 1);
  app.D(2) = 0;
  const TheoreticalPeak q = ComputeTheoreticalPeak(app, 1);
  EXPECT_TRUE(!q.Erev && q.Irev);
  // A scheme not yet built names no species at all.
  app.chargeSpecies(1, 1) = app.chargeSpecies(1, 2) = 0;
  const TheoreticalPeak none = ComputeTheoreticalPeak(app, 1);
  EXPECT_FALSE(none.Erev || none.Irev || none.Eirr || none.Iirr);
}

}  // namespace
}  // namespace kivex::analysis
