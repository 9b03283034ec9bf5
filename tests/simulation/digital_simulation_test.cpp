#include "simulation/digital_simulation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "model/failure.h"
#include "simulation/analytical_validation.h"
#include "simulation/driver.h"
#include "support/closed_forms.h"
#include "support/experiments.h"

namespace kivex::simulation {
namespace {

using model::AppState;
using model::CurveSet;
using namespace physics;
using namespace testing;

constexpr double kMilli = 1e-3;

// Surface concentrations add up to what was there at the start, at every point.
void ExpectSurfaceTotal(const Voltammogram& v, double total) {
  for (std::size_t i = 0; i < v.E.size(); ++i) {
    double sum = 0;
    for (std::size_t s = 1; s < v.surface.size(); ++s) sum += v.surface[s][i];
    ASSERT_NEAR(sum, total, 1e-9 * total) << "point " << i;
  }
}

TEST(DigitalCouple, SweepAndCycleFollowTheReversibleCoupleAndASlowerProductShiftsTheWave) {
  // The 1 mV staircase sampled at the end of each step approaches the linear sweep; 1 % covers
  // it and the time step of one point. A reversible reduction peaks 1.109 RT/F past E1/2 = E0,
  // nothing reacts at the start, and switched 300 mV past E1/2 the peaks are 57-58 mV apart.
  AppState app = With(CoupleExperiment(), [&](AppState& a) { a.cycles = 1; });
  const Voltammogram v(app);
  const PeakPoint peak = v.ForwardPeak(), anodic = v.InterpolatedPeak(v.sweepPoints + 1, 0, -1);
  EXPECT_NEAR(peak.I / RandlesSevcik(app), 1.0, 0.01);
  EXPECT_NEAR(peak.E, -1.109 * app.RToverF, 0.5 * kMilli);
  EXPECT_LT(std::fabs(v.I.front()), 1e-3 * peak.I);
  EXPECT_NEAR(anodic.E - peak.E, 58 * kMilli, 1 * kMilli);
  EXPECT_LT(anodic.I, 0);
  ExpectSurfaceTotal(v, app.Cinit(1));  // equal D: what is reduced reappears at the surface
  // E1/2 = E0 + (RT/2nF) ln(D(B)/D(A)): -8.9 mV; the peak moves with it, its height is set by A.
  app.cycles = 0.5, app.D(2) = app.D(1) / 2;
  const PeakPoint slower = Voltammogram(app).ForwardPeak();
  EXPECT_NEAR(slower.E - peak.E, 0.5 * app.RToverF * std::log(0.5), 1 * kMilli);
  EXPECT_NEAR(slower.I / RandlesSevcik(app), 1.0, 0.01);
}

// Against the exact currents of a reversible couple at a plane (each step adds its own Cottrell
// decay) over the whole curve: DC and normal pulse within 0.5 %, differential pulse and square
// wave within 1 % of the peak (ten backward-Euler sub-steps after a jump read 4 % high).
TEST(DigitalPulses, FollowTheExactCurrentsOfAReversibleCouple) {
  for (const auto& [technique, tolerance] :
       {std::pair{2, 0.005}, {3, 0.005}, {4, 0.01}, {5, 0.01}}) {
    AppState app = DefaultExperiment(technique);
    if (technique == 4) app.tDrop = 0.7;
    const Voltammogram v(app);
    const std::vector<double> exact = ExactStaircase(app, v);
    double peak = 0;
    for (double I : exact) peak = std::max(peak, std::fabs(I));
    for (std::size_t i = 0; i < exact.size(); ++i) {
      ASSERT_NEAR(v.I[i], exact[i], tolerance * peak) << technique << " at " << v.E[i];
    }
  }
}

// The couple with B = C following at rates kf and kb, and its forward peak.
AppState Followed(double kf, double kb) {
  AppState app = With(CoupleExperiment(), [&](AppState& a) { a.speciesCount = 3; });
  AddFirstOrder(app, 2, 3, kf, kb);
  return app;
}
PeakPoint FollowedPeak(double kf) { return Voltammogram(Followed(kf, 0)).ForwardPeak(); }

// The first box once followed the rate of the chemistry, so a slow or switched-off reaction made
// it wider than the diffusion layer and distorted the plain wave.
TEST(DigitalFollowingReaction, SlowOrSwitchedOffReactionLeavesThePlainWave) {
  const PeakPoint plain = Voltammogram(CoupleExperiment()).ForwardPeak();
  for (double kf : {0.0, 1e-6}) {
    const PeakPoint peak = FollowedPeak(kf);
    EXPECT_NEAR(peak.I / plain.I, 1.0, 1e-4) << kf;
    EXPECT_NEAR(peak.E, plain.E, 0.1 * kMilli) << kf;
  }
}

TEST(DigitalFollowingReaction, FastReactionMovesThePeak30mVPerDecade) {
  // Pure kinetic zone: Ep = E0 - 0.780 RT/F + (RT/2F) ln(kf RT/(F v)), ip = 0.4958 / 0.4463 of
  // Randles-Sevcik; the expanding grid resolves the reaction layer to a fraction of a millivolt.
  const AppState app = CoupleExperiment();
  const double rt = app.RToverF;
  const PeakPoint slow = FollowedPeak(1e3), fast = FollowedPeak(1e4);
  for (const auto& [kf, peak] : {std::pair{1e3, slow}, {1e4, fast}}) {
    EXPECT_NEAR(peak.E, -0.780 * rt + 0.5 * rt * std::log(kf * rt / app.scanRate), 1 * kMilli);
    EXPECT_NEAR(peak.I / RandlesSevcik(app), 0.4958 / 0.4463, 0.01) << kf;
  }
  EXPECT_NEAR(fast.E - slow.E, 0.5 * rt * std::log(10.0), 1 * kMilli);
}

TEST(DigitalFollowingReaction, FastEquilibriumIsEstablishedOrRefused) {
  // B = C with kf = kb, established: the couple A / (B + C) at E0 + (RT/F) ln 2, a reversible
  // peak. It holds up to the fastest rates a 10 ms step resolves (a sum of 1e14 /s); faster ones,
  // which rounding once drove to wrong peaks, singular blocks or a zero curve, are refused.
  const AppState couple = CoupleExperiment();
  const PeakPoint plain = Voltammogram(couple).InterpolatedPeak();
  for (double k : {1e10, 4.9e13}) {
    const PeakPoint peak = Voltammogram(Followed(k, k)).InterpolatedPeak();
    EXPECT_NEAR(peak.I / RandlesSevcik(couple), 1.0, 0.01) << k;
    EXPECT_NEAR(peak.E - plain.E, std::log(2.0) * couple.RToverF, 1 * kMilli) << k;
  }
  for (const std::pair<double, double> k : {std::pair{1e16, 1e16}, {1e22, 1e22}, {1e70, 0.0}}) {
    const std::string refusal =
        ErrorText<model::Failure>([&] { Voltammogram{Followed(k.first, k.second)}; });
    EXPECT_NE(refusal.find("below 1.e14 /s"), std::string::npos) << k.first << ": " << refusal;
  }
}

TEST(DigitalChain, ChainsInAnySpeciesOrderGiveEqualWavesAndConserveMass) {
  // A + e = B, B + e = C: two equal DC waves at E0 = 0 and -0.2 V.
  AppState two = With(Dc(1.0), [&](AppState& a) { a.Eend = -0.5, a.speciesCount = 3; });
  AddTransfer(two, 2, 3, -0.2);
  const Voltammogram v(two);
  ExpectSurfaceTotal(v, two.Cinit(1));
  EXPECT_LT(v.I.front() / Cottrell(two, two.tDrop), 1e-3);
  const double first = v.I[400];  // -0.1 V, between the waves
  EXPECT_NEAR(v.I.back() / first, 2.0, 0.005);
  EXPECT_NEAR(v.Crossing(first / 2), 0.0, 1 * kMilli);
  EXPECT_NEAR(v.Crossing(1.5 * first), -0.2, 1 * kMilli);
  // D + e = B, B + e = A, A + e = C: a chain that does not follow the species numbers.
  AppState three = Dc(1.0);
  three.Eend = -0.7, three.speciesCount = 4, three.chargeCount = 0;
  three.Cinit(1) = 0.0, three.Cinit(4) = 1e-3;
  AddTransfer(three, 4, 2, 0.0);
  AddTransfer(three, 2, 1, -0.2);
  AddTransfer(three, 1, 3, -0.4);
  const Voltammogram w(three);
  EXPECT_NEAR(w.I[600] / w.I[400], 2.0, 0.005);
  EXPECT_NEAR(w.I.back() / w.I[400], 3.0, 0.005);
  EXPECT_NEAR(w.Crossing(2.5 * w.I[400]), -0.4, 1 * kMilli);
  // A + e = B and A + e = C in parallel: together they cannot draw more than A's diffusion.
  AppState parallel = With(Dc(1.0), [&](AppState& a) { a.speciesCount = 3; });
  AddTransfer(parallel, 1, 3, -0.1);
  const Voltammogram p(parallel);
  EXPECT_NEAR(p.I.back() / Cottrell(parallel, parallel.tDrop), 1.0, 0.03);
  ExpectSurfaceTotal(p, parallel.Cinit(1));
}

TEST(DigitalSecondOrder, DimerisationMoves20mVPerDecadeOfRateTimesConcentration) {
  auto dimerise = [](double kf, double concentration) {
    AppState app = With(CoupleExperiment(),
                        [&](AppState& a) { a.Cinit(1) = concentration, a.speciesCount = 3; });
    AddSecondOrder(app, 2, 2, 3, 0, kf, 0.0);  // B + B = C
    return Voltammogram(app).ForwardPeak();
  };
  const AppState app = CoupleExperiment();
  const PeakPoint slow = dimerise(1e6, 1e-3), fast = dimerise(1e7, 1e-3);
  // Pure kinetic zone of an EC2 dimerisation: (RT/3F) ln 10 = 19.7 mV per decade of k C, and a
  // peak 0.527 / 0.4463 of Randles-Sevcik.
  EXPECT_NEAR(fast.E - slow.E, app.RToverF / 3 * std::log(10.0), 1 * kMilli);
  EXPECT_NEAR(fast.I / (RandlesSevcik(app)), 0.527 / 0.4463, 0.01);
  // Rate constants are per mol/L: ten times the concentration acts as ten times k.
  EXPECT_NEAR(dimerise(1e6, 1e-2).E, fast.E, 0.3 * kMilli);
}

TEST(DigitalSecondOrder, EmptyPlacesMakeAFirstOrderStepWhereverTheyStand) {
  // The dummy species of an empty place is fixed at 1: B (+ nothing) = A (+ nothing) is B = A.
  AppState firstOrder = CoupleExperiment();
  AddFirstOrder(firstOrder, 2, 1, 50.0, 5.0);
  const Voltammogram expected(firstOrder);
  EXPECT_GT(expected.ForwardPeak().I, 1.2 * RandlesSevcik(firstOrder));  // catalysis shows
  const int places[4][4] = {{2, 0, 1, 0}, {0, 2, 0, 1}, {2, 0, 0, 1}, {0, 2, 1, 0}};
  for (const auto& p : places) {
    AppState app = CoupleExperiment();
    AddSecondOrder(app, p[0], p[1], p[2], p[3], 50.0, 5.0);
    EXPECT_EQ(Voltammogram(app).I, expected.I) << p[0] << p[1] << p[2] << p[3];
  }
}

TEST(DigitalSecondOrder, ARowWrittenWithoutItsFirstSpeciesStillCatalyses) {
  // Far past E0 the EC' wave is at its pure kinetic plateau nFAC sqrt(D kf); without the row
  // it would be the plain wave, 30 times smaller.
  const AppState app = WrittenCatalysis();
  const double plateau =
      model::kFaraday * app.area * app.Cinit(1) * 1e-3 * std::sqrt(app.D(1) * 10);
  EXPECT_NEAR(Voltammogram(app).I.back() / plateau, 1.0, 0.01);
}

TEST(DigitalGeometry, SphereAndMicrodiscSweepsFollowTheirSteadyStates) {
  // nFADC/r and 4nFDCr at r = 1 um; after half a minute the transient adds about 0.2 %.
  const double r = 1e-4, nFC = model::kFaraday * 1e-6;
  const Voltammogram sphere(SlowSweep(2, r, 4 * model::kPiTenDigits * r * r));
  EXPECT_NEAR(sphere.I.back() / (nFC * 4 * model::kPiTenDigits * r * 1e-5), 1.0, 0.01);
  EXPECT_NEAR(sphere.HalfWave(), 0.0, 1 * kMilli);
  const Voltammogram disc(SlowSweep(4, r, model::kPiTenDigits * r * r));
  EXPECT_NEAR(disc.I.back() / (4 * nFC * 1e-5 * r), 1.0, 0.01);
  // Slow transfer at the sphere, swept at 1 mV/s, follows its steady state.
  AppState app = SlowSweep(2, 1e-4, 4 * model::kPiTenDigits * 1e-8);
  app.ks(1) = 1e-3, app.Estart = 0.0, app.Eend = -0.5, app.scanRate = 0.001;
  app.tDrop = app.Estep / app.scanRate;
  const Voltammogram v(app);
  // Steady state with Butler-Volmer kinetics: flux = D C kRed / (D + (kRed + kOx) r).
  for (std::size_t i = 100; i < v.E.size(); i += 100) {
    const double eta = app.fOverRT * v.E[i];
    const double kRed = app.ks(1) * std::exp(-0.5 * eta), kOx = app.ks(1) * std::exp(0.5 * eta);
    const double flux =
        app.D(1) * app.Cinit(1) * 1e-3 * kRed / (app.D(1) + (kRed + kOx) * app.radius);
    EXPECT_NEAR(v.I[i] / (model::kFaraday * app.area * flux), 1.0, 0.01) << v.E[i];
  }
}

TEST(DigitalGeometry, CurvedSweepIsWithinHalfAPercentOfItsConvergedSolution) {
  // A 100 um sphere at 10 mV/s, where boxes growing by e read 2 % high at any step; converged:
  // 0.2 mV steps on boxes growing by 5 %.
  const AppState app = SlowSweep(2, 0.01, 4 * model::kPiTenDigits * 0.01 * 0.01);
  const DigitalResolution fine{.sweepExpansion = 0.05};
  const Voltammogram converged(WithStep(app, 0.0002), SolveRoute::kPrepared, &fine);
  EXPECT_NEAR(Voltammogram(WithStep(app, 0.005)).ForwardPeak().I / converged.ForwardPeak().I, 1.0,
              0.005);
}

TEST(DigitalGeometry, StepsMatchTheirClosedForms) {
  // A band 10 um wide (its boundary-integral solution), a cylinder r 5 um and its half (the side
  // by Jaeger and Clarke, the flat end by Shoup and Szabo, each on its share of the area), all
  // 0.01 cm long, 0.5 s after a step to the plateau.
  const JaegerClarkeTable jc;
  for (int electrode : {5, 6, 7}) {
    AppState app = validation::At(2, electrode);
    app.digital = true, app.Cinit(1) = 9.996e-4, app.Cinit(2) = 4.159e-7;
    const double step = Nfac(app) * validation::Fluxes{app, jc}.Step(app.tDrop);
    EXPECT_NEAR(Voltammogram(app).Last() / step, 1.0, 0.01) << electrode;
  }
  // DC steps of 10 ms at r = 10 um, sqrt(D t) / r = 0.3, on a cylinder 1 cm long whose end is
  // negligible. The ratio to the planar run of the same grid cancels most of the time-step
  // error; the closed forms are exact for the sphere and good to a few 1e-3 for the cylinder.
  auto step = [](int electrode) {
    AppState app =
        With(Dc(0.01), [&](AppState& a) { a.Estep = 0.005, a.radius = 1e-3, a.length = 1; });
    app.electrode = static_cast<model::Count>(electrode);
    return Voltammogram(app).I.back();
  };
  const double planar = step(1), r = 1e-3, Dt = 1e-5 * 0.01;
  const double sphere = 1 + std::sqrt(model::kPiTenDigits * Dt) / r;
  const double cylinder = 1 + std::sqrt(model::kPiTenDigits * Dt) / (2 * r) - Dt / (4 * r * r);
  EXPECT_NEAR(step(2) / planar / sphere, 1.0, 0.01);
  EXPECT_NEAR(step(3) / planar / sphere, 1.0, 0.01);  // hemisphere: same per area
  EXPECT_NEAR(step(5) / planar / cylinder, 1.0, 0.01);
  EXPECT_EQ(step(8), planar);  // rotating disk: planar, no convection
}

TEST(DigitalGeometry, FineDiscAndBandAreTheirOwnFields) {
  // A 5 um disc in two dimensions: the normal pulse's 50 ms and DC's 0.5 s plateaux and a 100 s
  // step against the disc's long-time series, where the sphere of the same steady state reads up
  // to 7 % off; at both refinements.
  const double r = 5e-4;
  const DigitalResolution fine = ResolutionOf(model::Accuracy::Fine);
  auto disc = [r](int technique, double t) {
    AppState app = DefaultExperiment(technique);
    app.electrode = 4, app.radius = r, app.area = model::kPiTenDigits * r * r;
    app.Estart = -0.29;  // three points on the plateau, each a step from the solution at rest
    (technique == 2 ? app.tDrop : app.tPulse) = t;
    return app;
  };
  for (const model::Accuracy accuracy : {model::Accuracy::Fine, model::Accuracy::Finest}) {
    const DigitalResolution resolution = ResolutionOf(accuracy);
    const double cases[][2] = {{3, 0.05}, {2, 0.5}, {2, 100}};
    for (const auto& c : cases) {
      const AppState app = disc(static_cast<int>(c[0]), c[1]);
      const double exact = DiscSteadyState(app) * DiscLongTimeFactor(app, c[1]);
      EXPECT_NEAR(Voltammogram(app, SolveRoute::kPrepared, &resolution).I.back() / exact, 1.0,
                  0.002)
          << c[0] << " " << c[1];
    }
  }
  // Bands 100 and 10 um wide, 0.01 cm long, 0.5 s and 10 ms into the plateau (D t / w^2 of 0.05
  // and 0.1): Cottrell plus the edges.
  for (const double w : {100e-4, 10e-4}) {
    AppState band = disc(2, w > 50e-4 ? 0.5 : 0.01);
    band.electrode = 7, band.radius = w, band.length = 0.01, band.area = w * 0.01;
    EXPECT_NEAR(
        Voltammogram(band, SolveRoute::kPrepared, &fine).I.back() / BandShortTime(band, band.tDrop),
        1.0, 0.002)
        << w;
  }
  // A reversible wave swept slowly at 1 um is steady: half-wave at E0.
  const Voltammogram slow(SlowSweep(4, 1e-4, model::kPiTenDigits * 1e-8), SolveRoute::kPrepared,
                          &fine);
  EXPECT_NEAR(slow.HalfWave(), 0.0, 0.5 * kMilli);
}

TEST(DifferentialPulse, EveryForwardSweepPulsesTheSameWayInBothRoutes) {
  // A fresh diffusion layer at every point: the second cycle repeats the first exactly, and the
  // return sweep pulses back with a peak of the other sign and the same height (analytical, a
  // period of 50 s: the base current's decay negligible) or about the same (digital).
  for (const bool digital : {false, true}) {
    AppState app = digital ? CoupleExperiment() : Experiment(4, 1);
    app.technique = 4, app.Estep = 0.005, app.tDrop = digital ? 0.7 : 50, app.cycles = 2;
    const Voltammogram v(app);
    const int N = v.sweepPoints;
    for (int i = 1; i <= 2 * N; ++i) ASSERT_EQ(v.y(2 * N + i), v.y(i)) << digital << " " << i;
    const double forward = v.y(v.PeakIndex(1, N));
    EXPECT_GT(forward, 0);
    EXPECT_NEAR(v.y(v.PeakIndex(N + 1, 2 * N, -1)) / forward, -1.0, digital ? 0.05 : 1e-4);
  }
}

TEST(DigitalOhmicDrop, CurrentIsTheResistanceFreeCurrentAtThePotentialTheElectrodeSees) {
  AppState app = CoupleExperiment();
  const double peak = Voltammogram(app).ForwardPeak().I;
  app.Ru = 0.010 / peak;  // 10 mV drop at the peak
  auto curves = std::make_unique<CurveSet>();
  RunSimulation(app, *curves, false);
  auto seen = std::make_unique<CurveSet>(*curves);
  for (int i = 1; i <= curves->pointCount; ++i) seen->x(i) += curves->resultTable(i, 2) * app.Ru;
  AppState free = With(app, [](AppState& a) { a.Ru = 0; });
  DigitalSimulation(free, *seen);
  for (int i = 1; i <= curves->pointCount; ++i) {
    ASSERT_NEAR(seen->resultTable(i, 2), curves->resultTable(i, 2), 1e-8 * peak) << i;
  }
}

TEST(DigitalOhmicDrop, LowersAndShiftsThePeakStablyAsTheStepShrinks) {
  const PeakPoint free = Voltammogram(CoupleExperiment()).ForwardPeak();
  PeakPoint peaks[3];
  const double steps[3] = {0.001, 0.0005, 0.00025};
  for (int k = 0; k < 3; ++k) {
    AppState app = WithStep(CoupleExperiment(), steps[k]);
    app.Ru = 0.010 / free.I;
    peaks[k] = Voltammogram(app).ForwardPeak();
    EXPECT_LT(peaks[k].I, 0.99 * free.I) << steps[k];
    EXPECT_LT(peaks[k].E, free.E - 10 * kMilli) << steps[k];
  }
  // Refining the staircase converges instead of oscillating.
  EXPECT_NEAR(peaks[2].I / peaks[0].I, 1.0, 0.005);
  EXPECT_NEAR(peaks[2].E, peaks[0].E, 0.5 * kMilli);
  // DC: at the sample the electrode sees E + I Ru, but the larger early currents kept it less
  // reduced before: the half-wave potential moves negative, by less than I Ru / 2.
  AppState dc = Dc(1.0);
  const Voltammogram plain(dc);
  dc.Ru = 0.010 / plain.I.back();
  const Voltammogram dropped(dc);
  const double shift = dropped.HalfWave() - plain.HalfWave();
  EXPECT_TRUE(shift < 0.0 && shift > -5 * kMilli) << shift;
}

// The double layer charges through Ru with the couple. At 1 V/s, Ru Cdl A = 20 ms, against finite
// differences of the whole cell; and with no couple (an empty solution) the charging current of
// the ramp rises as C v (1 - exp(-t / Ru C)) from the rest at E start.
TEST(DigitalOhmicDrop, ChargingCurrentPassesThroughTheResistanceWithTheFaradaicCurrent) {
  AppState app = CoupleExperiment();
  app.scanRate = 1, app.Ru = 200, app.Cdl = 1e-4;
  app = WithStep(app, 0.0005);
  const ChargedSweepPeak reference = ChargedPlanarSweep(app, 2e-5);
  const PeakPoint peak = Voltammogram(app).ForwardPeak();
  EXPECT_NEAR(peak.I / reference.I, 1.0, 0.01);
  EXPECT_NEAR(peak.E, reference.E, 1.5 * kMilli);

  for (bool digital : {true, false}) {
    AppState empty = WithStep(CoupleExperiment(), 0.0002);
    empty.Cinit(1) = 0, empty.Ru = 2000, empty.Cdl = 1e-4, empty.digital = digital;
    const double Cv = empty.Cdl * empty.area * empty.scanRate, tau = empty.Ru * empty.Cdl;
    const Voltammogram ramp(empty);
    for (int i = 1; i <= ramp.count(); ++i) {
      const double t = (i - 1) * empty.tDrop;
      ASSERT_NEAR(ramp.y(i), Cv * (1 - std::exp(-t / tau)), 0.005 * Cv) << digital << " " << i;
    }
  }
}

// The prepared route against the reference route, which solves every step from scratch: the
// same bits without second-order chemistry or resistance; with them (a simplified Newton
// iteration run to 1e-10, the potential solved on the surface rows alone) within 1e-9 of the
// largest current, below what the reference's own stopping rules leave.
TEST(DigitalRoutes, PreparedRouteGivesTheReferenceResults) {
  struct Case {
    int technique, electrode, chemistry;  // chemistry 0 none, 1 first order, 2 also second order
    double Ru, Cdl = 0;                   // ohm, F
  };
  const Case cases[] = {{1, 1, 0, 0},  {1, 2, 1, 0},  {2, 5, 1, 0},        {3, 1, 1, 0},
                        {4, 4, 1, 0},  {5, 7, 0, 0},  {1, 1, 2, 0},        {4, 1, 2, 0},
                        {5, 2, 2, 0},  {1, 1, 0, 50}, {3, 5, 1, 50},       {5, 4, 1, 50},
                        {1, 1, 2, 50}, {4, 1, 2, 50}, {1, 1, 0, 50, 1e-4}, {1, 2, 2, 50, 1e-4}};
  for (const Case& c : cases) {
    AppState app = CoupleExperiment();
    app.Estep = 0.01, app.tDrop = 0.5, app.radius = 1e-3, app.Ru = c.Ru, app.D(2) = 0.7e-5;
    app.Cdl = c.Cdl, app.technique = static_cast<model::Count>(c.technique);
    app.electrode = static_cast<model::Count>(c.electrode);
    if (c.chemistry > 0) {
      app.speciesCount = 5;
      app.Cinit(4) = 2e-4;
      AddTransfer(app, 2, 3, -0.15);
      AddTransfer(app, 4, 5, 0.05);
      AddFirstOrder(app, 3, 4, 5.0, 0.5);
      AddFirstOrder(app, 2, 5, 1.0, 0.0);
    }
    if (c.chemistry > 1) AddSecondOrder(app, 2, 4, 1, 5, 1e3, 10.0);  // B + D = A + E
    if (c.chemistry > 1 || c.Ru > 0) {
      // Where the reference's own errors stay near 1e-11: at 1e4 cm/s its surface flux is a
      // difference of terms a million times larger near E0, and with fast second-order
      // chemistry its Newton iteration, stopped at 0.1 % change, is off by up to 1e-7.
      for (int r = 1; r <= 3; ++r) app.ks(r) = 0.1;
    }
    const Voltammogram fast(app, SolveRoute::kPrepared), reference(app, SolveRoute::kReference);
    SCOPED_TRACE(::testing::Message() << c.technique << "/" << c.electrode << "/" << c.chemistry
                                      << "/" << c.Ru << "/" << c.Cdl);
    if (c.chemistry < 2 && c.Ru == 0) {
      EXPECT_EQ(fast.I, reference.I);
      EXPECT_EQ(fast.surface, reference.surface);
      continue;
    }
    double largest = 0;
    for (double I : reference.I) largest = std::max(largest, std::fabs(I));
    for (std::size_t i = 0; i < fast.I.size(); ++i) {
      ASSERT_NEAR(fast.I[i], reference.I[i], 1e-9 * largest) << "point " << i;
    }
  }
}

// A workspace lent to run after run: each run sets what it reads, so runs of other schemes,
// grids, kinds of step and ohmic drops before it leave every number as in a fresh workspace.
TEST(DigitalWorkspace, KeptFromRunToRunLeavesEveryRunAsInAFreshOne) {
  AppState scheme = With(CoupleExperiment(), [](AppState& a) {
    a.Ru = 50, a.Cdl = 1e-4, a.quietTime = 1, a.ks(1) = 0.1, a.Estep = 0.005;
  });
  scheme.speciesCount = 4;
  scheme.Cinit(4) = 2e-4;
  AddTransfer(scheme, 4, 3, 0.05);
  AddSecondOrder(scheme, 2, 4, 1, 3, 1e3, 10.0);  // B + D = A + C
  const AppState pulses = With(CoupleExperiment(), [](AppState& a) {
    a.technique = 5, a.electrode = 2, a.radius = 1e-3, a.Estep = 0.01;
  });
  DigitalWorkspace workspace;
  for (const AppState& app : {scheme, pulses, CoupleExperiment(), scheme}) {
    const Voltammogram kept(app, SolveRoute::kPrepared, nullptr, &workspace);
    const Voltammogram fresh(app);
    ASSERT_GT(kept.count(), 0);
    EXPECT_EQ(kept.I, fresh.I) << app.technique;
    EXPECT_EQ(kept.surface, fresh.surface) << app.technique;
  }
}

TEST(DigitalQuietTime, GrowsTheCottrellLayerTheSweepStartsFrom) {
  // A sweep that starts 0.3 V beyond E0, where the reduction is diffusion-limited throughout:
  // after a quiet time tq its point i carries the Cottrell current at tq + i tDrop, within the
  // 2.5 % to which the sweep's grid (boxes growing by e) follows a Cottrell decay at all (a run
  // without the quiet time is 2.6 % off 0.1 s after its jump).
  AppState app = With(CoupleExperiment(),
                      [](AppState& a) { a.Estart = -0.3, a.Eend = -0.5, a.quietTime = 2.0; });
  const Voltammogram held(app);
  for (int i : {1, 2, 10, 100, 200}) {
    EXPECT_NEAR(held.y(i) / Cottrell(app, app.quietTime + i * app.tDrop), 1.0, 0.025) << i;
  }
  // Without it the sweep starts with the jump, far above.
  app.quietTime = 0;
  const Voltammogram jump(app);
  EXPECT_GT(jump.y(10), 3 * held.y(10));

  // From a solution already at equilibrium at E start the quiet time changes nothing.
  const AppState rest = DefaultExperiment(1);
  const Voltammogram plain(rest), quiet(With(rest, [](AppState&a) { a.quietTime = 5.0; }));
  for (int i = 1; i <= plain.count(); ++i) {
    ASSERT_NEAR(quiet.y(i), plain.y(i), 1e-6 * plain.Peak()) << i;
  }
}

// A long run can be stopped: it asks every so many time steps, a refusal changes no number, and
// a yes ends it at that step with nothing held of it.
TEST(DigitalStop, IsAskedThroughTheRunAndEndsItWhenTheAnswerIsYes) {
  // `asks`: how often a whole run asks, 0 where only asking at all is checked.
  auto check = [](const AppState& app, int asks) {
    std::unique_ptr<CurveSet> curves;
    const std::vector<double> plain = StoppableRun(app, {}, curves);
    int asked = 0;
    EXPECT_EQ(StoppableRun(
                  app, [&] { return ++asked, false; }, curves),
              plain);
    if (asks > 0) EXPECT_EQ(asked, asks) << app.technique;
    EXPECT_GT(asked, 2);
    asked = 0;
    EXPECT_THROW(StoppableRun(
                     app, [&] { return ++asked == 2; }, curves),
                 SimulationCancelled);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(curves->record(1).origin, model::CurveOrigin::None);
  };
  // A sweep takes one step a point, a pulse ten and more; 601 points each.
  check(CoupleExperiment(), 601 / kStepsBetweenStopChecks);
  check(With(CoupleExperiment(),
             [](AppState& a) { a.technique = 4, a.tDrop = 0.5; }),  // a base before the pulse
        601 * 2 * DigitalResolution{}.stepsAfterJump / kStepsBetweenStopChecks);
  // The disc of the finer accuracies, solved in two dimensions.
  AppState disc = DefaultExperiment(2);
  disc.electrode = 4, disc.radius = 5e-4, disc.area = model::kPiTenDigits * 25e-8;
  disc.accuracy = static_cast<model::Count>(model::Accuracy::Fine);
  check(disc, 0);
}

}  // namespace
}  // namespace kivex::simulation
