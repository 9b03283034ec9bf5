#include "simulation/digital_simulation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "model/checked_math.h"
#include "model/failure.h"
#include "simulation/block_solver.h"
#include "simulation/driver.h"
#include "support/digital_experiments.h"

namespace kivex::simulation {
namespace {

using model::AppState;
using model::CurveSet;
using testing::AddFirstOrder;
using testing::AddSecondOrder;
using testing::AddTransfer;
using testing::CoupleExperiment;
using testing::CrossingPotential;
using testing::FindPeak;
using testing::ForwardPeak;
using testing::RandlesSevcik;
using testing::Simulate;
using testing::Voltammogram;

constexpr double kMilli = 1e-3;

// Cottrell current of a planar electrode for the experiment's species 1, A.
double Cottrell(const AppState& app, double t) {
  return model::kFaraday * app.area * app.Cinit(1) * 1e-3 * std::sqrt(app.D(1) / (model::kPi * t));
}

// ---------------------------------------------------------------------------------------------
// One couple.

TEST(DigitalCouple, LinearSweepPeakIsRandlesSevcikAtTheTextbookPotential) {
  const AppState app = CoupleExperiment();
  const Voltammogram v = Simulate(app);
  const testing::Peak peak = ForwardPeak(v);
  // The 1 mV staircase sampled at the end of each step approaches the linear sweep; 1 % covers
  // it and the time step of one point (the simulation gives 0.9996).
  EXPECT_NEAR(peak.I / RandlesSevcik(app), 1.0, 0.01);
  // A reversible reduction peaks 1.109 RT/F = 28.5 mV past E1/2 (= E0 for equal D).
  EXPECT_NEAR(peak.E, -1.109 * app.RToverF, 0.5 * kMilli);
  EXPECT_LT(std::fabs(v.I.front()), 1e-3 * peak.I);  // nothing reacts at the start
}

TEST(DigitalCouple, CycleSeparatesThePeaksBy58mVAndConservesTheSurfaceTotal) {
  AppState app = CoupleExperiment();
  app.cycles = 1;
  const Voltammogram v = Simulate(app);
  const std::size_t N = static_cast<std::size_t>(v.sweepPoints);
  const testing::Peak cathodic = FindPeak(v, 0, N);
  const testing::Peak anodic = FindPeak(v, N, v.E.size(), -1);
  // Reversible couple, switched 300 mV past E1/2: 57-58 mV at 25 degrees.
  EXPECT_NEAR(anodic.E - cathodic.E, 58 * kMilli, 1 * kMilli);
  EXPECT_LT(anodic.I, 0);
  // Equal diffusion coefficients: what is reduced at the surface reappears there.
  for (std::size_t i = 0; i < v.E.size(); ++i) {
    EXPECT_NEAR(v.surface[1][i] + v.surface[2][i], app.Cinit(1), 1e-9 * app.Cinit(1)) << i;
  }
}

TEST(DigitalCouple, SlowerProductShiftsTheHalfWavePotentialByTheDiffusionRatio) {
  const testing::Peak equal = ForwardPeak(Simulate(CoupleExperiment()));
  AppState app = CoupleExperiment();
  app.D(2) = app.D(1) / 2;
  const testing::Peak slower = ForwardPeak(Simulate(app));
  // E1/2 = E0 + (RT/2nF) ln(D(B)/D(A)): -8.9 mV; the peak moves with it, its height is set by A.
  EXPECT_NEAR(slower.E - equal.E, 0.5 * app.RToverF * std::log(0.5), 1 * kMilli);
  EXPECT_NEAR(slower.I / RandlesSevcik(app), 1.0, 0.01);
}

TEST(DigitalCouple, PlanarDcStepIsCloseToCottrell) {
  AppState app = CoupleExperiment();
  app.technique = 2;
  app.tDrop = 1.0;
  const Voltammogram v = Simulate(app);
  // Ten backward-Euler sub-steps after a potential jump overshoot the t^-1/2 decay by ~2.6 %.
  EXPECT_NEAR(v.I.back() / Cottrell(app, app.tDrop), 1.0, 0.03);
  EXPECT_NEAR(CrossingPotential(v, v.I.back() / 2), 0.0, 1 * kMilli);  // sampled wave at E0
}

TEST(DigitalCouple, NormalPulseAndSquareWaveCentreOnTheHalfWavePotential) {
  AppState pulse = CoupleExperiment();
  pulse.technique = 3;
  pulse.Epulse = 0.0;  // the pulse sits on the programme potential
  const Voltammogram np = Simulate(pulse);
  EXPECT_NEAR(np.I.back() / Cottrell(pulse, pulse.tPulse), 1.0, 0.03);
  EXPECT_NEAR(CrossingPotential(np, np.I.back() / 2), 0.0, 1 * kMilli);

  AppState square = CoupleExperiment();
  square.technique = 5;
  square.tPulse = 0.01;
  square.Epulse = 0.05;
  const Voltammogram sw = Simulate(square);
  // Second half-period (E + 25 mV) minus first (E - 25 mV): a negative peak at E1/2.
  const testing::Peak net = FindPeak(sw, 0, sw.E.size(), -1);
  EXPECT_LT(net.I, 0);
  EXPECT_NEAR(net.E, 0.0, 1 * kMilli);
}

// ---------------------------------------------------------------------------------------------
// Chemistry and chains of electron transfers.

TEST(DigitalFollowingReaction, SlowOrSwitchedOffReactionLeavesThePlainWave) {
  const testing::Peak plain = ForwardPeak(Simulate(CoupleExperiment()));
  for (double kf : {0.0, 1e-6}) {
    AppState app = CoupleExperiment();
    app.speciesCount = 3;
    AddFirstOrder(app, 2, 3, kf, 0.0);
    const Voltammogram v = Simulate(app);
    const testing::Peak peak = ForwardPeak(v);
    EXPECT_NEAR(peak.I / plain.I, 1.0, 1e-4) << kf;
    EXPECT_NEAR(peak.E, plain.E, 0.1 * kMilli) << kf;
  }
  AppState app = CoupleExperiment();
  app.speciesCount = 3;
  AddFirstOrder(app, 2, 3, 10.0, 0.0);
  EXPECT_LT(Simulate(app).I.front() / RandlesSevcik(app), 1e-3);  // nothing reacts yet
}

TEST(DigitalFollowingReaction, FastReactionMovesThePeak30mVPerDecade) {
  testing::Peak peaks[2];
  double kfs[2] = {1e3, 1e4};
  AppState app;
  for (int k = 0; k < 2; ++k) {
    app = CoupleExperiment();
    app.speciesCount = 3;
    AddFirstOrder(app, 2, 3, kfs[k], 0.0);
    peaks[k] = ForwardPeak(Simulate(app));
    // Pure kinetic zone: Ep = E0 - 0.780 RT/F + (RT/2F) ln(kf RT/(F v)), ip = 0.4958 ... ;
    // the expanding grid resolves the reaction layer to a fraction of a millivolt.
    const double lambda = kfs[k] * app.RToverF / app.scanRate;
    EXPECT_NEAR(peaks[k].E, -0.780 * app.RToverF + 0.5 * app.RToverF * std::log(lambda),
                1 * kMilli);
    EXPECT_NEAR(peaks[k].I / RandlesSevcik(app), 0.4958 / 0.4463, 0.01);
  }
  EXPECT_NEAR(peaks[1].E - peaks[0].E, 0.5 * app.RToverF * std::log(10.0), 1 * kMilli);
}

TEST(DigitalChain, TwoStepChainConservesMassAndGivesTwoEqualWaves) {
  AppState app = CoupleExperiment();
  app.technique = 2;
  app.tDrop = 1.0;
  app.Eend = -0.5;
  app.speciesCount = 3;
  AddTransfer(app, 2, 3, -0.2);
  const Voltammogram v = Simulate(app);
  for (std::size_t i = 0; i < v.E.size(); ++i) {
    EXPECT_NEAR(v.surface[1][i] + v.surface[2][i] + v.surface[3][i], app.Cinit(1),
                1e-9 * app.Cinit(1))
        << i;
  }
  EXPECT_LT(v.I.front() / Cottrell(app, app.tDrop), 1e-3);
  const double first = v.I[400];  // -0.1 V, between the waves
  EXPECT_NEAR(v.I.back() / first, 2.0, 0.005);
  EXPECT_NEAR(CrossingPotential(v, first / 2), 0.0, 1 * kMilli);
  EXPECT_NEAR(CrossingPotential(v, 1.5 * first), -0.2, 1 * kMilli);
}

TEST(DigitalChain, ThreeStepChainRunsThroughAnySpeciesOrder) {
  // D + e = B, B + e = A, A + e = C: a chain that does not follow the species numbers.
  AppState app = CoupleExperiment();
  app.technique = 2;
  app.tDrop = 1.0;
  app.Eend = -0.7;
  app.speciesCount = 4;
  app.chargeCount = 0;
  app.Cinit(1) = 0.0;
  app.Cinit(4) = 1e-3;
  AddTransfer(app, 4, 2, 0.0);
  AddTransfer(app, 2, 1, -0.2);
  AddTransfer(app, 1, 3, -0.4);
  const Voltammogram v = Simulate(app);
  const double first = v.I[400];
  EXPECT_NEAR(v.I[600] / first, 2.0, 0.005);
  EXPECT_NEAR(v.I.back() / first, 3.0, 0.005);
  EXPECT_NEAR(CrossingPotential(v, 2.5 * first), -0.4, 1 * kMilli);
}

TEST(DigitalChain, SpeciesReducedByTwoTransfersTakesBothFluxes) {
  // A + e = B and A + e = C in parallel: together they cannot draw more than A's diffusion.
  AppState app = CoupleExperiment();
  app.technique = 2;
  app.tDrop = 1.0;
  app.speciesCount = 3;
  AddTransfer(app, 1, 3, -0.1);
  const Voltammogram v = Simulate(app);
  EXPECT_NEAR(v.I.back() / Cottrell(app, app.tDrop), 1.0, 0.03);
  for (std::size_t i = 0; i < v.E.size(); ++i) {
    EXPECT_NEAR(v.surface[1][i] + v.surface[2][i] + v.surface[3][i], app.Cinit(1),
                1e-9 * app.Cinit(1))
        << i;
  }
}

// ---------------------------------------------------------------------------------------------
// Second-order chemistry (Newton).

TEST(DigitalSecondOrder, PartnerAtZeroConcentrationRunsToTheEnd) {
  AppState app = CoupleExperiment();
  app.speciesCount = 4;
  AddSecondOrder(app, 2, 3, 1, 4, 1e3, 0.0);  // B + C = A + D with no C at all
  const Voltammogram v = Simulate(app);
  ASSERT_EQ(v.E.size(), 601u);
  // The absent partner converges at once instead of dividing by its zero concentration.
  EXPECT_GE(v.maxIterations, 1);
  EXPECT_LT(v.maxIterations, 10);
  // Nothing reacts: the plain couple's wave on the finer grid the chemistry asks for.
  EXPECT_NEAR(ForwardPeak(v).I / RandlesSevcik(app), 1.0, 0.01);
}

TEST(DigitalSecondOrder, DimerisationMoves20mVPerDecadeOfRateTimesConcentration) {
  auto dimerise = [](double kf, double concentration) {
    AppState app = CoupleExperiment();
    app.Cinit(1) = concentration;
    app.speciesCount = 3;
    AddSecondOrder(app, 2, 2, 3, 0, kf, 0.0);  // B + B = C
    return ForwardPeak(Simulate(app));
  };
  const AppState app = CoupleExperiment();
  const testing::Peak slow = dimerise(1e6, 1e-3);
  const testing::Peak fast = dimerise(1e7, 1e-3);
  // Pure kinetic zone of an EC2 dimerisation: (RT/3F) ln 10 = 19.7 mV per decade of k C, and a
  // peak 0.527 / 0.4463 of Randles-Sevcik.
  EXPECT_NEAR(fast.E - slow.E, app.RToverF / 3 * std::log(10.0), 1 * kMilli);
  EXPECT_NEAR(fast.I / (RandlesSevcik(app)), 0.527 / 0.4463, 0.01);
  // Rate constants are per mol/L: ten times the concentration acts as ten times k.
  const testing::Peak concentrated = dimerise(1e6, 1e-2);
  EXPECT_NEAR(concentrated.E, fast.E, 0.3 * kMilli);
}

TEST(DigitalSecondOrder, EmptyPlacesMakeAFirstOrderStepWhereverTheyStand) {
  // The dummy species of an empty place is fixed at 1, so B (+ nothing) = A (+ nothing) is the
  // first-order B = A, with either place of each side left empty.
  AppState firstOrder = CoupleExperiment();
  AddFirstOrder(firstOrder, 2, 1, 50.0, 5.0);
  const Voltammogram expected = Simulate(firstOrder);
  EXPECT_GT(ForwardPeak(expected).I, 1.2 * RandlesSevcik(firstOrder));  // catalysis shows
  const int places[4][4] = {{2, 0, 1, 0}, {0, 2, 0, 1}, {2, 0, 0, 1}, {0, 2, 1, 0}};
  for (const auto& p : places) {
    AppState app = CoupleExperiment();
    AddSecondOrder(app, p[0], p[1], p[2], p[3], 50.0, 5.0);
    const Voltammogram v = Simulate(app);
    EXPECT_EQ(v.I, expected.I) << p[0] << p[1] << p[2] << p[3];
  }
}

// ---------------------------------------------------------------------------------------------
// Geometry.

TEST(DigitalGeometry, SmallSphereReachesItsSteadyState) {
  AppState app = CoupleExperiment();
  app.electrode = 2;
  app.radius = 1e-4;
  app.area = 4 * model::kPi * app.radius * app.radius;
  app.scanRate = 0.01;
  app.tDrop = app.Estep / app.scanRate;
  const Voltammogram v = Simulate(app);
  // nFADC/r; after a minute the transient term r / sqrt(pi D t) adds about 0.2 %.
  const double steady = model::kFaraday * app.area * app.D(1) * app.Cinit(1) * 1e-3 / app.radius;
  EXPECT_NEAR(v.I.back() / steady, 1.0, 0.01);
  EXPECT_NEAR(CrossingPotential(v, v.I.back() / 2), 0.0, 1 * kMilli);
}

TEST(DigitalGeometry, SlowTransferAtASmallSphereFollowsItsSteadyState) {
  AppState app = CoupleExperiment();
  app.electrode = 2;
  app.radius = 1e-4;
  app.area = 4 * model::kPi * app.radius * app.radius;
  app.ks(1) = 1e-3;
  app.Estart = 0.0;
  app.Eend = -0.5;
  app.scanRate = 0.001;
  app.tDrop = app.Estep / app.scanRate;
  const Voltammogram v = Simulate(app);
  // Steady state with Butler-Volmer kinetics: flux = D C kRed / (D + (kRed + kOx) r).
  for (std::size_t i = 100; i < v.E.size(); i += 100) {
    const double eta = app.fOverRT * v.E[i];
    const double kRed = app.ks(1) * std::exp(-0.5 * eta);
    const double kOx = app.ks(1) * std::exp(0.5 * eta);
    const double flux =
        app.D(1) * app.Cinit(1) * 1e-3 * kRed / (app.D(1) + (kRed + kOx) * app.radius);
    EXPECT_NEAR(v.I[i] / (model::kFaraday * app.area * flux), 1.0, 0.01) << v.E[i];
  }
}

TEST(DigitalGeometry, MicrodiscSteadyStateIsFourNFDCr) {
  AppState app = CoupleExperiment();
  app.electrode = 4;
  app.radius = 1e-4;
  app.area = model::kPi * app.radius * app.radius;
  app.scanRate = 0.01;
  app.tDrop = app.Estep / app.scanRate;
  const Voltammogram v = Simulate(app);
  // 4nFDCr, plus 0.2 % of transient after half a minute.
  const double steady = 4 * model::kFaraday * app.D(1) * app.Cinit(1) * 1e-3 * app.radius;
  EXPECT_NEAR(v.I.back() / steady, 1.0, 0.01);
}

TEST(DigitalGeometry, RadialStepsMatchTheirShortTimeCurrents) {
  // DC steps of 10 ms at r = 1 mm, sqrt(D t) / r = 0.3. The ratio to the planar run of the same
  // grid cancels most of the time-step error; the closed forms are exact for the sphere and
  // good to a few 1e-3 for the cylinder at this r.
  auto step = [](int electrode) {
    AppState app = CoupleExperiment();
    app.technique = 2;
    app.tDrop = 0.01;
    app.Estep = 0.005;
    app.electrode = static_cast<model::Count>(electrode);
    app.radius = 1e-3;
    return Simulate(app).I.back();
  };
  const double planar = step(1);
  const double r = 1e-3, Dt = 1e-5 * 0.01;
  const double sphere = 1 + std::sqrt(model::kPi * Dt) / r;
  const double cylinder = 1 + std::sqrt(model::kPi * Dt) / (2 * r) - Dt / (4 * r * r);
  EXPECT_NEAR(step(2) / planar / sphere, 1.0, 0.01);
  EXPECT_NEAR(step(3) / planar / sphere, 1.0, 0.01);  // hemisphere: same per area
  EXPECT_NEAR(step(5) / planar / cylinder, 1.0, 0.01);
  EXPECT_EQ(step(8), planar);  // rotating disk: planar, no convection
}

// ---------------------------------------------------------------------------------------------
// Pulses.

TEST(DigitalDifferentialPulse, PeaksHalfThePulseBeyondTheHalfWavePotential) {
  AppState app = CoupleExperiment();
  app.technique = 4;
  app.tDrop = 0.7;  // 0.7 / 0.05 * 4 = 55.999...: samples at the rounded 52 and 56
  app.tPulse = 0.05;
  const Voltammogram v = Simulate(app);
  const testing::Peak peak = FindPeak(v, 0, v.E.size());
  EXPECT_NEAR(peak.E, 0.0 - app.Epulse / 2, 1 * kMilli);
  // Height: nFAC sqrt(D / (pi tp)) (sigma - 1) / (sigma + 1), sigma = exp(F |dE| / 2RT). Four
  // backward-Euler sub-steps of tPulse / 4 resolve the pulse coarsely and overshoot by ~11 %.
  const double sigma = std::exp(app.fOverRT * std::fabs(app.Epulse) / 2);
  const double textbook = Cottrell(app, app.tPulse) * (sigma - 1) / (sigma + 1);
  EXPECT_GT(peak.I / textbook, 1.0);
  EXPECT_LT(peak.I / textbook, 1.15);
}

TEST(DigitalDifferentialPulse, EveryForwardSweepPulsesTheSameWay) {
  AppState app = CoupleExperiment();
  app.technique = 4;
  app.Estep = 0.005;
  app.tDrop = 0.7;
  app.cycles = 2;
  const Voltammogram v = Simulate(app);
  const std::size_t N = static_cast<std::size_t>(v.sweepPoints);
  // A fresh diffusion layer at every point: the second cycle repeats the first exactly.
  for (std::size_t i = 0; i < 2 * N; ++i) ASSERT_EQ(v.I[2 * N + i], v.I[i]) << i;
  EXPECT_GT(FindPeak(v, 0, N).I, 0);
  EXPECT_LT(FindPeak(v, N, 2 * N, -1).I, 0);  // the return sweep pulses back
}

// ---------------------------------------------------------------------------------------------
// Ohmic drop.

TEST(DigitalOhmicDrop, CurrentIsTheResistanceFreeCurrentAtThePotentialTheElectrodeSees) {
  AppState app = CoupleExperiment();
  const double peak = ForwardPeak(Simulate(app)).I;
  app.Ru = 0.010 / peak;  // 10 mV drop at the peak
  auto curves = std::make_unique<CurveSet>();
  model::PlotSettings plot;
  RunSimulation(app, *curves, plot, false);
  const int N = curves->pointCount;

  auto seen = std::make_unique<CurveSet>();
  *seen = *curves;
  for (int i = 1; i <= N; ++i) seen->x(i) = curves->x(i) + curves->resultTable(i, 2) * app.Ru;
  AppState free = app;
  free.Ru = 0;
  DigitalSimulation(free, *seen);
  for (int i = 1; i <= N; ++i) {
    ASSERT_NEAR(seen->resultTable(i, 2), curves->resultTable(i, 2), 1e-8 * peak) << i;
  }
}

TEST(DigitalOhmicDrop, LowersAndShiftsThePeakStablyAsTheStepShrinks) {
  const AppState plain = CoupleExperiment();
  const testing::Peak free = ForwardPeak(Simulate(plain));
  testing::Peak peaks[3];
  const double steps[3] = {0.001, 0.0005, 0.00025};
  for (int k = 0; k < 3; ++k) {
    AppState app = CoupleExperiment();
    app.Estep = steps[k];
    app.tDrop = app.Estep / app.scanRate;
    app.Ru = 0.010 / free.I;
    peaks[k] = ForwardPeak(Simulate(app));
    EXPECT_LT(peaks[k].I, 0.99 * free.I) << steps[k];
    EXPECT_LT(peaks[k].E, free.E - 10 * kMilli) << steps[k];
  }
  // The drop is part of each step, not fed back from the last one: refining the staircase
  // converges instead of oscillating.
  EXPECT_NEAR(peaks[2].I / peaks[0].I, 1.0, 0.005);
  EXPECT_NEAR(peaks[2].E, peaks[0].E, 0.5 * kMilli);
}

TEST(DigitalOhmicDrop, SampledWaveMovesByLessThanHalfTheLimitingDrop) {
  AppState app = CoupleExperiment();
  app.technique = 2;
  app.tDrop = 1.0;
  const Voltammogram free = Simulate(app);
  app.Ru = 0.010 / free.I.back();
  const Voltammogram dropped = Simulate(app);
  // At the sample the electrode sees E + I Ru, but the larger early currents of the drop kept
  // it less reduced before: the half-wave potential moves negative, by less than I Ru / 2.
  const double shift =
      CrossingPotential(dropped, dropped.I.back() / 2) - CrossingPotential(free, free.I.back() / 2);
  EXPECT_LT(shift, 0.0);
  EXPECT_GT(shift, -5 * kMilli);
}

// ---------------------------------------------------------------------------------------------
// The two solve routes, and the original formulation of the method where it is right.

TEST(DigitalRoutes, PreparedBlocksGiveTheReferenceBitsForEveryTechniqueAndGeometry) {
  struct Case {
    int technique;
    int electrode;
    bool chemistry;
  };
  for (const Case& c : {Case{1, 1, false}, Case{1, 2, true}, Case{2, 5, true}, Case{3, 1, true},
                        Case{4, 4, true}, Case{5, 7, false}}) {
    AppState app = CoupleExperiment();
    app.Estep = 0.005;
    app.tDrop = 0.5;
    app.technique = static_cast<model::Count>(c.technique);
    app.electrode = static_cast<model::Count>(c.electrode);
    app.radius = 1e-3;
    app.Ru = c.technique == 3 ? 20.0 : 0.0;
    app.D(2) = 0.7e-5;
    if (c.chemistry) {
      app.speciesCount = 5;
      app.Cinit(4) = 2e-4;
      AddTransfer(app, 2, 3, -0.15);
      AddTransfer(app, 4, 5, 0.05);
      AddFirstOrder(app, 3, 4, 5.0, 0.5);
      AddFirstOrder(app, 2, 5, 1.0, 0.0);
    }
    const Voltammogram fast = Simulate(app, SolveRoute::kPrepared);
    const Voltammogram reference = Simulate(app, SolveRoute::kReference);
    EXPECT_EQ(fast.I, reference.I) << c.technique << "/" << c.electrode;
    EXPECT_EQ(fast.surface, reference.surface) << c.technique << "/" << c.electrode;
  }
}

// The original formulation of the method (surface closure inv(P) D'(1) B, elimination with the
// row species' coefficient, P(R, O) = 1 and a rate row for each oxidised form), kept for what it
// gets right: planar electrode, independent couples with equal diffusion coefficients, no
// chemistry, no resistance, linear sweep or DC. The default experiment must not move.
void OriginalBlockSolve(NodeVectors& c, const NodeVectors& a, const NodeVectors& b,
                        const NodeBlocks& D, const Block& B, const Block& P, int M, int n) {
  NodeBlocks reduced{};
  NodeVectors rhs{};
  reduced[M] = D[M];
  for (int s = 1; s <= n; ++s) rhs[M][s] = c[M][s] + b[M][s] * c[M + 1][s];
  for (int j = M - 1; j >= 1; --j) {
    Block W = reduced[j + 1];
    InvertMatrix(W, n);
    for (int s = 1; s <= n; ++s) {
      for (int t = 1; t <= n; ++t) reduced[j][s][t] = D[j][s][t] - b[j][s] * a[j + 1][s] * W[s][t];
      double sum = 0;
      for (int t = 1; t <= n; ++t) sum += W[s][t] * rhs[j + 1][t];
      rhs[j][s] = c[j][s] + b[j][s] * sum;
    }
  }
  Block Q = P, QD{}, T{};
  InvertMatrix(Q, n);
  MatrixMultiply(Q, reduced[1], n, n, n, QD);
  MatrixMultiply(QD, B, n, n, n, T);
  for (int s = 1; s <= n; ++s) T[s][s] -= a[1][s];
  InvertMatrix(T, n);
  for (int s = 1; s <= n; ++s) {
    double sum = 0;
    for (int t = 1; t <= n; ++t) sum += T[s][t] * rhs[1][t];
    c[0][s] = sum;
  }
  for (int j = 1; j <= M; ++j) {
    Block W = reduced[j];
    InvertMatrix(W, n);
    double v[kSpeciesSlots] = {};
    for (int s = 1; s <= n; ++s) v[s] = rhs[j][s] + a[j][s] * c[j - 1][s];
    for (int s = 1; s <= n; ++s) {
      double sum = 0;
      for (int t = 1; t <= n; ++t) sum += W[s][t] * v[t];
      c[j][s] = sum;
    }
  }
}

void OriginalDigitalSimulation(const AppState& app, CurveSet& curves) {
  const int n = app.speciesCount;
  double cRef = app.Cinit(1);
  int sRef = 1;
  for (int s = 2; s <= n; ++s) {
    if (app.Cinit(s) > cRef) cRef = app.Cinit(s), sRef = s;
  }
  const int K = app.technique == 1 ? 1 : 10;
  const double dt = app.technique == 1 ? app.tDrop : app.tDrop / 10;
  const double DM = 10;
  const double beta = 1;
  const int N = curves.pointCount;
  const int M = static_cast<int>(
      model::RoundHalfEven(std::log(6 * (std::exp(beta) - 1) * std::sqrt(DM * N) + 1) / beta + 2));
  double z[kNodeSlots] = {}, h[kNodeSlots] = {}, A[kNodeSlots] = {}, Bc[kNodeSlots] = {};
  for (int j = 1; j <= M + 1; ++j) {
    z[j] = (std::exp(beta * (j - 1)) - 1) / (std::exp(beta) - 1);
    h[j] = (std::exp(beta * (j - 0.5)) - 1) / (std::exp(beta) - 1);
  }
  const double delta = std::sqrt(app.D(sRef) * dt / DM);
  A[1] = 1 / h[1];
  for (int j = 2; j <= M; ++j) A[j] = 1 / ((z[j + 1] - z[j]) * (h[j] - h[j - 1]));
  for (int j = 1; j <= M; ++j) Bc[j] = 1 / ((z[j + 1] - z[j]) * (h[j + 1] - h[j]));
  const double G = 1;
  NodeVectors a{}, b{}, c{}, initial{};
  NodeBlocks D{};
  for (int s = 1; s <= n; ++s) {
    const double lambda = DM * app.D(s) / app.D(sRef);
    for (int j = 1; j <= M; ++j) {
      a[j][s] = lambda * A[j];
      b[j][s] = lambda * Bc[j];
      D[j][s][s] = 1 + a[j][s] + b[j][s];
    }
  }
  Block P{};
  for (int s = 1; s <= n; ++s) P[s][s] = 1;
  for (int r = 1; r <= app.chargeCount; ++r)
    P[app.chargeSpecies(r, 2)][app.chargeSpecies(r, 1)] = 1;
  const double Q = 96.4846 * app.area * cRef / G;
  for (int j = 0; j <= M + 1; ++j) {
    initial[j][0] = 1;
    for (int s = 1; s <= n; ++s) initial[j][s] = app.Cinit(s) / cRef;
  }
  c = initial;
  double kRed[4] = {}, kOx[4] = {};
  for (int i = 1; i <= N; ++i) {
    if (app.technique == 2) c = initial;
    const double E = curves.x(i);
    for (int k = 1; k <= K; ++k) {
      Block B = P;
      for (int r = 1; r <= app.chargeCount; ++r) {
        const double eta = app.n(r) * app.fOverRT * (E - app.E0(r));
        kRed[r] = app.ks(r) * std::exp(-app.alpha(r) * eta);
        kOx[r] = app.ks(r) * std::exp((1 - app.alpha(r)) * eta);
        const int O = app.chargeSpecies(r, 1), R = app.chargeSpecies(r, 2);
        const double w = delta * h[1] / app.D(O);
        B[O][O] = 1 + kRed[r] * w;
        B[O][R] = -kOx[r] * w;
      }
      OriginalBlockSolve(c, a, b, D, B, P, M, n);
      for (int s = 1; s <= n; ++s) curves.concentrationTable(i, s) = c[0][s] * cRef;
      if (k != K) continue;
      double total = 0;
      for (int r = 1; r <= app.chargeCount; ++r) {
        const int O = app.chargeSpecies(r, 1), R = app.chargeSpecies(r, 2);
        curves.resultTable(i, r) = (kRed[r] * c[0][O] - kOx[r] * c[0][R]) * app.n(r) * Q;
        total += curves.resultTable(i, r);
      }
      curves.resultTable(i, app.chargeCount + 1) = total;
    }
  }
}

TEST(DigitalRoutes, TheDefaultExperimentKeepsTheOriginalMethodsBits) {
  AppState defaults = CoupleExperiment();  // as the dialogs commit it
  defaults.E0(1) = 0.1;
  defaults.Cinit(1) = 9.996e-4;
  defaults.Cinit(2) = 4.159e-7;
  defaults.Estep = 0.005;
  defaults.scanRate = 0.01;
  defaults.tDrop = 0.5;
  AppState couples = defaults;  // two independent couples, A + e = B and C + 2e = D
  couples.speciesCount = 4;
  couples.Cinit(3) = 5e-4;
  AddTransfer(couples, 3, 4, -0.1);
  couples.n(2) = 2;
  for (AppState app : {defaults, couples}) {
    for (int technique : {1, 2}) {
      for (double cycles : {0.5, 1.0}) {
        app.technique = static_cast<model::Count>(technique);
        app.cycles = cycles;
        auto mended = std::make_unique<CurveSet>();
        model::PlotSettings plot;
        RunSimulation(app, *mended, plot, false);
        auto original = std::make_unique<CurveSet>();
        *original = *mended;
        OriginalDigitalSimulation(app, *original);
        for (int i = 1; i <= mended->pointCount; ++i) {
          for (int col = 1; col <= app.chargeCount + 1; ++col) {
            ASSERT_EQ(mended->resultTable(i, col), original->resultTable(i, col)) << i;
          }
          for (int s = 1; s <= app.speciesCount; ++s) {
            ASSERT_EQ(mended->concentrationTable(i, s), original->concentrationTable(i, s)) << i;
          }
        }
        EXPECT_GT(mended->resultTable(mended->sweepPointCount / 2, app.chargeCount + 1), 0);
      }
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Failures.

std::string RunFailure(AppState app) {
  auto curves = std::make_unique<CurveSet>();
  model::PlotSettings plot;
  try {
    RunSimulation(app, *curves, plot, false);
  } catch (const model::Failure& failure) {
    return model::FailureMessage(failure, "Analytical simulation Error: ");
  }
  return "no failure";
}

TEST(DigitalFailures, EndWithTheCvErrorMessage) {
  AppState film = CoupleExperiment();
  film.electrode = 9;
  EXPECT_EQ(RunFailure(film),
            "CV Error: The thin-film electrode has no digital simulation! Please try again by "
            "other initial values.");
  AppState shortDrop = CoupleExperiment();
  shortDrop.technique = 4;
  shortDrop.tDrop = shortDrop.tPulse;  // no sub-step left before the pulse
  EXPECT_EQ(RunFailure(shortDrop),
            "CV Error: The drop time must be at least 1.25 times the pulse width! Please try "
            "again by other initial values.");
  AppState noTime = CoupleExperiment();
  noTime.tDrop = 0;
  EXPECT_EQ(RunFailure(noTime),
            "CV Error: The time of a step must be positive! Please try again by other initial "
            "values.");
}

TEST(DigitalFailures, KeepWhatWasWrittenBeforeTheFailure) {
  AppState app = CoupleExperiment();
  app.n(1) = 3;
  app.Estep = 0.1;
  app.tDrop = 1.0;
  app.Eend = -20;  // the Butler-Volmer exponential overflows near -12 V
  auto curves = std::make_unique<CurveSet>();
  model::PlotSettings plot;
  try {
    RunSimulation(app, *curves, plot, false);
    FAIL() << "the rate constant must overflow";
  } catch (const model::Failure& failure) {
    EXPECT_EQ(failure.prefix(), "CV Error: ");
    EXPECT_EQ(failure.description(), "Overflow");
  }
  EXPECT_GT(curves->resultTable(100, 2), 0);  // -9.7 V: written before the failure
  EXPECT_EQ(curves->resultTable(200, 2), 0);  // -19.6 V: never reached
  EXPECT_NEAR(curves->concentrationTable(100, 1), 0, 1e-12);
}

TEST(DigitalFailures, SingularSurfaceIsTheInverseMatrixMessage) {
  AppState app = CoupleExperiment();
  AddTransfer(app, 2, 1, -0.1);  // B + e = A closes a loop: no surface row tells A from B
  auto curves = std::make_unique<CurveSet>();
  model::PlotSettings plot;
  try {
    RunSimulation(app, *curves, plot, false);
    FAIL() << "the loop must be singular";
  } catch (const model::InputError& error) {
    EXPECT_EQ(error.message(), "Error: inverse matrix D=0");
  }
}

TEST(DigitalFailures, EmptySolutionOrEmptySchemeGivesNoCurrent) {
  AppState empty = CoupleExperiment();
  empty.Cinit(1) = 0;
  const Voltammogram v = Simulate(empty);
  for (double I : v.I) ASSERT_EQ(I, 0.0);
  for (double c : v.surface[1]) ASSERT_EQ(c, 0.0);

  AppState none = CoupleExperiment();
  none.speciesCount = 0;
  none.chargeCount = 0;
  for (double I : Simulate(none).I) ASSERT_EQ(I, 0.0);
}

}  // namespace
}  // namespace kivex::simulation
