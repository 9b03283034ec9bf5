// The analytical voltammograms against the textbook closed forms (Bard and Faulkner, Oldham and
// Myland): every expected value below is computed from the closed form, not from the program.

#include <gtest/gtest.h>

#include <cmath>

#include "analysis/semi_differentiate.h"
#include "model/failure.h"
#include "simulation/analytical_experiment.h"
#include "simulation/analytical_route.h"
#include "simulation/closed_forms.h"

namespace kivex::simulation {
namespace {

using model::AppState;
using physics::Cottrell;
using physics::DifferentialPulsePeak;
using physics::Experiment;
using physics::Levich;
using physics::Nfac;
using physics::RandlesSevcik;
using physics::ShoupSzabo;
using physics::Voltammogram;

constexpr double kD = 1e-5;  // cm2/s, every species

TEST(LinearSweep, ReversiblePeakFollowsRandlesSevcikAtEveryStep) {
  // 1 %: the L1 half-order derivative is first order in the step; 0.9 % at 10 mV, 0.03 % at 1 mV.
  for (double step : {0.001, 0.002, 0.005, 0.01}) {
    AppState app = Experiment(1, 1);
    app.Estep = step;
    app.tDrop = step / app.scanRate;  // the Instrument dialog's proposal
    Voltammogram run(app);
    EXPECT_NEAR(run.Peak() / RandlesSevcik(app), 1.0, 0.01) << "step " << step;
    // Reversible peak 1.109 RT/F past E1/2 = E0, to within one step.
    EXPECT_NEAR(run.x(run.PeakIndex()), app.E0(1) - 1.109 / app.fOverRT, step) << step;
  }
}

TEST(LinearSweep, PeakDoesNotDependOnTheDropTimeOfAFastCouple) {
  // A step response of a fast couple scales as 1/sqrt(tDrop); the sweep factor undoes it.
  for (double tDrop : {0.1, 0.5, 2.0}) {
    AppState app = Experiment(1, 1);
    app.tDrop = tDrop;
    Voltammogram run(app);
    EXPECT_NEAR(run.Peak() / RandlesSevcik(app), 1.0, 0.01) << "tDrop " << tDrop;
  }
}

TEST(LinearSweep, DefaultStepKeepsTheCommandsScaleWithinThreeTenthsOfAPercent) {
  // The sweep is linear in its factor, so the ratio of factors is the ratio of the curves.
  const AppState app = Experiment(1, 1);
  EXPECT_NEAR(SweepFactor(app) / analysis::SemiDifferentiateFactor(app.Estep), 1.0, 0.003);
}

TEST(LinearSweep, CyclicPeaksAreFiftySevenMillivoltsApart) {
  // 2.218 RT/nF for a switching potential far past E1/2; 1 mV steps, so within 1.5 mV.
  AppState app = Experiment(1, 1);
  app.Estep = 0.001;
  app.tDrop = 0.1;
  app.cycles = 1;
  Voltammogram run(app);
  const int n = run.curves.sweepPointCount;
  int anodic = n + 1;
  for (int i = n + 1; i <= run.count(); ++i) {
    if (run.y(i) < run.y(anodic)) anodic = i;
  }
  const double separation = run.x(anodic) - run.x(run.PeakIndex(1, n));
  EXPECT_NEAR(separation, 2.218 / app.fOverRT, 0.0015);
  EXPECT_LT(run.y(anodic), 0.0);
}

TEST(DcVoltammetry, SampledWaveIsCottrellWithItsHalfWaveAtE0) {
  // i = n F A C sqrt(D / pi t) / (1 + exp(nf (E - E0))) at every point; 1e-5 for the
  // seven-digit constants of the error function and a rate constant of 1e4 cm/s.
  AppState app = Experiment(2, 1);
  Voltammogram run(app);
  const double plateau = Cottrell(app, app.tDrop);
  for (int i = 1; i <= run.count(); ++i) {
    const double wave = plateau / (1 + std::exp(app.fOverRT * (run.x(i) - app.E0(1))));
    EXPECT_NEAR(run.y(i), wave, 1e-5 * plateau) << run.x(i);
  }
  EXPECT_NEAR(run.Crossing(plateau / 2), app.E0(1), 1e-4);
}

TEST(NormalPulse, WaveSitsAtE0MinusThePulseWithTheCottrellPlateauOfThePulse) {
  AppState app = Experiment(3, 1);
  Voltammogram run(app);
  const double plateau = Cottrell(app, app.tPulse);
  EXPECT_NEAR(run.y(run.count()) / plateau, 1.0, 1e-5);
  EXPECT_NEAR(run.Crossing(plateau / 2), app.E0(1) - app.Epulse, 1e-4);
}

TEST(DifferentialPulse, PeakAndPositionAreTheTextbookOnes) {
  // The textbook form leaves out the decay of the base current over the pulse; a period of 50 s
  // makes that term 3e-5 of the peak.
  AppState app = Experiment(4, 1);
  app.tDrop = 50;
  Voltammogram run(app);
  const double peak = DifferentialPulsePeak(app);
  EXPECT_NEAR(run.Peak() / peak, 1.0, 1e-4);
  EXPECT_NEAR(run.x(run.PeakIndex()), app.E0(1) - app.Epulse / 2, 1e-9);
}

TEST(DifferentialPulse, PulseFollowsTheSweepDirectionInTwoCycles) {
  AppState app = Experiment(4, 1);
  app.cycles = 2;
  app.tDrop = 50;  // base-current decay negligible, so both directions give the same magnitude
  Voltammogram run(app);
  const int n = run.curves.sweepPointCount;
  const double forward = run.y(run.PeakIndex(1, n));
  EXPECT_GT(forward, 0.0);
  for (int i = 1; i <= 2 * n; ++i) {
    EXPECT_EQ(run.y(2 * n + i), run.y(i)) << i;  // the second cycle repeats the first
  }
  // The returning sweeps pulse the other way: a peak of the other sign.
  double returning = 0;
  for (int i = n + 1; i <= 2 * n; ++i) returning = std::min(returning, run.y(i));
  EXPECT_NEAR(returning / forward, -1.0, 1e-4);
}

TEST(SquareWave, PeakAtE0WithTheProgramsFactor) {
  // The 2.4 factor is the program's own (the validation table compares it with the superposition
  // result); the pair of potentials is centred on E0.
  AppState app = Experiment(5, 1);
  Voltammogram run(app);
  EXPECT_NEAR(run.Peak() / (2.4 * DifferentialPulsePeak(app)), 1.0, 1e-4);
  EXPECT_NEAR(run.x(run.PeakIndex()), app.E0(1), 1e-9);
}

TEST(Sphere, DiffusionLimitedCurrentIsCottrellPlusTheSteadyState) {
  // n F A C (sqrt(D / pi t) + D / r) is exact for a sphere; at long times n F A D C / r.
  for (double radius : {0.2821, 1e-3, 1e-4}) {
    AppState app = Experiment(2, 2);
    app.radius = radius;
    app.area = 4 * M_PI * radius * radius;
    Voltammogram run(app);
    const double expected = Cottrell(app, app.tDrop) + Nfac(app) * kD / radius;
    EXPECT_NEAR(run.y(run.count()) / expected, 1.0, 1e-5) << radius;
  }
  AppState app = Experiment(2, 2);
  app.radius = 1e-4;
  app.area = 4 * M_PI * 1e-8;
  app.tDrop = 1e4;
  Voltammogram run(app);
  EXPECT_NEAR(run.y(run.count()) / (Nfac(app) * kD / app.radius), 1.0, 1e-3);
}

TEST(Sphere, SlowSweepAtAMicrosphereReachesTheSteadyState) {
  // r = 1 um: the decaying planar part adds 0.3 % at the end of the sweep.
  AppState app = Experiment(1, 2);
  app.radius = 1e-4;
  app.area = 4 * M_PI * 1e-8;
  Voltammogram run(app);
  const double steady = Nfac(app) * kD / app.radius;
  EXPECT_NEAR(run.y(run.count()) / steady, 1.0, 0.01);
  EXPECT_NEAR(run.y(1) / steady, 0.0, 1e-3);
  EXPECT_NEAR(run.Crossing(steady / 2), app.E0(1), 0.002);
}

TEST(Sphere, SweepSteadyStateFollowsTheConcentrationsInEitherDirection) {
  // Nernstian steady state at a 1 um sphere, n F A D / r (cR theta - cP (1 - theta)) for equal D;
  // the planar part adds a few tenths of a percent.
  AppState app = Experiment(1, 2);
  app.radius = 1e-4;
  app.area = 4 * M_PI * 1e-8;
  app.Estart = -0.3;
  app.Eend = 0.3;
  const double steady = Nfac(app) * kD / app.radius;

  // Only A, not pre-equilibrated: reduced on the plateau at the start, nothing at the end.
  Voltammogram reduction(app);
  for (int i = 10; i <= reduction.count(); ++i) {
    ASSERT_LT(std::fabs(reduction.y(i)), 1.01 * steady) << reduction.x(i);
  }
  EXPECT_NEAR(reduction.y(reduction.count()) / steady, 0.0, 0.005);

  // Pre-equilibrated at -0.3 V the solution is B: oxidised on the plateau at the end.
  app.Cinit(2) = 1e-3 / (1 + std::exp(app.fOverRT * (app.Estart - app.E0(1))));
  app.Cinit(1) = 1e-3 - app.Cinit(2);
  Voltammogram oxidation(app);
  EXPECT_NEAR(oxidation.y(1) / steady, 0.0, 0.005);
  EXPECT_NEAR(oxidation.y(oxidation.count()) / steady, -1.0, 0.005);

  // Steady state with unequal diffusion: E1/2 = E0 + RT/nF ln(DB / DA).
  AppState slow = Experiment(1, 2);
  slow.radius = 1e-4;
  slow.area = 4 * M_PI * 1e-8;
  slow.D(2) = 0.25e-5;
  Voltammogram unequal(slow);
  const double plateau = unequal.y(unequal.count());
  EXPECT_NEAR(unequal.Crossing(plateau / 2), slow.E0(1) + std::log(0.25) / slow.fOverRT, 0.002);
}

TEST(Microdisc, SteadyStateIsFourNFDCr) {
  // A 10 um disc: against Shoup and Szabo at tau = 4Dt/r^2 = 1600 (1 %: the sphere form is
  // 0.4 % above them there), and 4 n F D C r at tau = 1.6e6.
  AppState app = Experiment(2, 4);
  app.radius = 5e-4;
  app.area = M_PI * app.radius * app.radius;
  app.tDrop = 10;
  Voltammogram run(app);
  EXPECT_NEAR(run.y(run.count()) / ShoupSzabo(app, app.tDrop), 1.0, 0.01);

  app.tDrop = 1e4;
  Voltammogram steady(app);
  const double fourNFDCr = 4 * model::kFaraday * kD * 1e-6 * app.radius;
  EXPECT_NEAR(steady.y(steady.count()) / fourNFDCr, 1.0, 0.01);

  // The sweep's steady-state term: a slow sweep ends on 4 n F D C r (the planar part adds 1 %).
  AppState sweep = Experiment(1, 4);
  sweep.radius = 5e-4;
  sweep.area = M_PI * sweep.radius * sweep.radius;
  Voltammogram swept(sweep);
  EXPECT_NEAR(swept.y(swept.count()) / fourNFDCr, 1.0, 0.02);
}

TEST(RotatingDisk, SweepAndDcGiveTheLevichPlateauWithoutAPeak) {
  for (int technique : {1, 2}) {
    AppState app = Experiment(technique, 8);
    Voltammogram run(app);
    const double levich = Levich(app);
    EXPECT_NEAR(run.y(run.count()) / levich, 1.0, 1e-4) << technique;
    EXPECT_NEAR(run.Crossing(levich / 2), app.E0(1), 2e-4) << technique;
    for (int i = 2; i <= run.count(); ++i) EXPECT_GE(run.y(i), run.y(i - 1)) << technique;
  }
}

TEST(ThinFilm, SweepPeakIsTheThinLayerPeak) {
  // n^2 F^2 v V C / 4RT; the central difference over 5 mV costs 0.3 %. The peak sits at the
  // program's shifted potential E0 + RT/nF ln(sqrt(pi) n l / sqrt(D tDrop)).
  AppState app = Experiment(1, 9);
  Voltammogram run(app);
  const double expected =
      Nfac(app) * app.n(1) * app.fOverRT * app.scanRate * app.length * app.area / 4;
  EXPECT_NEAR(run.Peak() / expected, 1.0, 0.005);
  const double shifted =
      app.E0(1) + std::log(std::sqrt(M_PI) * app.length / std::sqrt(kD * app.tDrop)) / app.fOverRT;
  EXPECT_NEAR(run.x(run.PeakIndex()), shifted, app.Estep / 2 + 1e-9);
}

// Complexation C = A + pD with the complex reduced: E1/2 = E0 + RT/nF (ln Keq - p ln [D]).
AppState Complexation(int technique, int electrode) {
  AppState app = Experiment(technique, electrode, 8);
  app.Keq(1) = 1e-6;
  app.Cinit(1) = 1e-8;  // free metal ion in equilibrium with the complex
  app.Cinit(2) = 0;
  app.Cinit(3) = 1e-3;  // the complex
  app.Cinit(4) = 0.1;   // ligand
  app.Eend = -0.6;
  return app;
}

double Lingane(const AppState& app) { return physics::LinganePotential(app); }

TEST(Complexation, ComplexIsReducedAtTheLinganeShiftedPotential) {
  AppState app = Complexation(2, 1);
  Voltammogram run(app);
  const double plateau = Cottrell(app, app.tDrop, 3);
  EXPECT_NEAR(Lingane(app), -0.1958, 1e-4);
  // Nothing reacts at the starting potential, 0.5 V positive of the wave.
  EXPECT_NEAR(run.y(1) / plateau, 0.0, 1e-7);
  EXPECT_NEAR(run.y(run.count()) / plateau, 1.0, 1e-4);
  EXPECT_NEAR(run.Crossing(plateau / 2), Lingane(app), 5e-4);
}

TEST(Complexation, PulseTechniquesAndTheRotatingDiskKeepTheShift) {
  AppState normal = Complexation(3, 1);
  Voltammogram np(normal);
  EXPECT_NEAR(np.Crossing(Cottrell(normal, normal.tPulse, 3) / 2), Lingane(normal) - normal.Epulse,
              5e-4);
  EXPECT_NEAR(np.y(1) / Cottrell(normal, normal.tPulse, 3), 0.0, 1e-7);

  AppState differential = Complexation(4, 1);
  Voltammogram dp(differential);
  EXPECT_NEAR(dp.InterpolatedPeak().first, Lingane(differential) - differential.Epulse / 2, 1e-3);

  AppState disk = Complexation(2, 8);
  Voltammogram rde(disk);
  EXPECT_NEAR(rde.Crossing(Levich(disk, 3) / 2), Lingane(disk), 5e-4);

  // The steady state of a microsphere sweep belongs to the complex too.
  AppState sphere = Complexation(1, 2);
  sphere.radius = 1e-4;
  sphere.area = 4 * M_PI * 1e-8;
  Voltammogram swept(sphere);
  const double steady = Nfac(sphere, 3) * kD / sphere.radius;
  EXPECT_NEAR(swept.y(swept.count()) / steady, 1.0, 0.01);
  EXPECT_NEAR(swept.Crossing(steady / 2), Lingane(sphere), 0.002);
}

// The catalytic scheme with its chemical step nearly stopped must give the plain couple.
TEST(Catalytic, ReturnsToThePlainCurveAsTheChemicalStepStops) {
  for (int technique = 1; technique <= 5; ++technique) {
    AppState plain = Experiment(technique, 1, 1);
    AppState catalytic = Experiment(technique, 1, 7);
    catalytic.kf(1) = 1e-12;
    catalytic.kb(1) = 1e-12;
    Voltammogram a(plain);
    Voltammogram b(catalytic);
    const double scale = std::fabs(a.Peak()) + std::fabs(a.y(a.count()));
    for (int i = 1; i <= a.count(); ++i) {
      EXPECT_NEAR(b.y(i), a.y(i), 1e-5 * scale) << "technique " << technique << " point " << i;
    }
  }
}

TEST(Catalytic, FastCatalysisGivesTheReactionLayerCurrent) {
  // k t >> 1: the plateau of the reaction layer n F A C sqrt(D k) (Delahay and Stiehl's limit).
  AppState disk = Experiment(2, 8, 7);
  Voltammogram rde(disk);
  const double layer = Nfac(disk) * std::sqrt(kD * (disk.kf(1) + disk.kb(1)));
  EXPECT_NEAR(rde.curves.resultTable(rde.count(), model::kCatalyticColumn) / layer, 1.0, 1e-4);

  // Differential pulse: the pulse difference of that plateau, n F A C sqrt(D k) (1-s)/(1+s).
  AppState dp = Experiment(4, 1, 7);
  dp.kf(1) = 1e4;
  dp.kb(1) = 0;
  dp.tDrop = 50;
  Voltammogram run(dp);
  const double sigma = std::exp(dp.fOverRT * dp.Epulse / 2);
  EXPECT_NEAR(run.Peak() / (Nfac(dp) * std::sqrt(kD * 1e4) * (1 - sigma) / (1 + sigma)), 1.0, 1e-3);
}

TEST(Catalytic, NormalPulseWaveIsOneWaveAtThePulsedPotential) {
  AppState app = Experiment(3, 1, 7);
  Voltammogram run(app);
  const double plateau = run.y(run.count());
  EXPECT_NEAR(run.Crossing(plateau / 2), app.E0(1) - app.Epulse, 5e-4);
  // The catalytic column alone has its half-wave there as well.
  const double column = run.curves.resultTable(run.count(), model::kCatalyticColumn);
  double crossing = NAN;
  for (int i = 2; i <= run.count(); ++i) {
    const double a = run.curves.resultTable(i - 1, model::kCatalyticColumn) - column / 2;
    const double b = run.curves.resultTable(i, model::kCatalyticColumn) - column / 2;
    if (a * b <= 0 && a != b) {
      crossing = run.x(i - 1) + a / (a - b) * (run.x(i) - run.x(i - 1));
      break;
    }
  }
  EXPECT_NEAR(crossing, app.E0(1) - app.Epulse, 5e-4);
}

TEST(OhmicDrop, DcWaveShiftsByHalfTheLimitingCurrentTimesRu) {
  // E1/2 (applied) = E1/2 - i_d Ru / 2 for a cathodic-positive current; the one-point lag of the
  // drop costs about 0.6 mV on this 5 mV grid at Ru = 50 ohm.
  AppState app = Experiment(2, 1);
  app.Ru = 50;
  Voltammogram run(app);
  const double id = Cottrell(app, app.tDrop);
  EXPECT_NEAR(run.Crossing(id / 2), app.E0(1) - id * app.Ru / 2, 1e-3);
}

TEST(Dispatch, CombinationsWithoutACurrentFunctionGiveNoFaradaicCurrent) {
  for (int caseCode : {38, 39, 48, 49, 57, 58, 59}) {
    for (int mechanism : {1, 7}) {
      AppState app = Experiment(caseCode / 10, caseCode % 10, mechanism);
      model::CurveSet curves;
      model::PlotSettings plot;
      curves.resultTable(10, model::kCatalyticColumn) = 1.0;  // stale, must not be added
      RunSimulation(app, curves, plot, false);
      for (int i = 1; i <= curves.pointCount; ++i) {
        ASSERT_EQ(curves.y(i, 1), 0.0) << caseCode << " mechanism " << mechanism;
      }
    }
  }
}

TEST(Dispatch, InvalidInputsFailInsteadOfWritingNonFiniteCurrents) {
  struct Case {
    const char* what;
    int technique, electrode, mechanism;
    void (*spoil)(AppState&);
    const char* description;
  };
  const Case cases[] = {
      {"complexation without ligand", 2, 1, 8, [](AppState& a) { a.Cinit(4) = 0; },
       "Invalid procedure call or argument"},
      {"pulse longer than the period", 4, 1, 1, [](AppState& a) { a.tDrop = 0.01; },
       "Invalid procedure call or argument"},
      {"sphere of radius 0", 2, 2, 1, [](AppState& a) { a.radius = 0; }, "Division by zero"},
      {"film of no thickness", 1, 9, 1, [](AppState& a) { a.length = 0; },
       "Invalid procedure call or argument"},
      {"sweep of three points", 1, 1, 1, [](AppState& a) { a.Eend = a.Estart - 2 * a.Estep; },
       "The curve has 3 points, too few to semi-differentiate (at least 5)"},
  };
  for (const Case& c : cases) {
    AppState app = Experiment(c.technique, c.electrode, c.mechanism);
    c.spoil(app);
    model::CurveSet curves;
    model::PlotSettings plot;
    try {
      RunSimulation(app, curves, plot, false);
      ADD_FAILURE() << c.what << " must fail";
    } catch (const model::Failure& failure) {
      EXPECT_EQ(failure.description(), c.description) << c.what;
    }
    EXPECT_DOUBLE_EQ(curves.x(1), app.Estart) << c.what;  // the axis written before stays
  }
}

}  // namespace
}  // namespace kivex::simulation
