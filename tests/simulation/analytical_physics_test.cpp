// The analytical voltammograms against the textbook closed forms (Bard and Faulkner, Oldham and
// Myland), every expected value computed from the closed form, not from the program: the exact
// rows of the validation page (analytical_validation.h), then what the page does not show or holds
// to a wider band.

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "model/failure.h"
#include "numerics/semi_differentiate.h"
#include "simulation/analytical_route.h"
#include "simulation/analytical_validation.h"
#include "simulation/differential_pulse.h"
#include "simulation/electrode_kinetics.h"
#include "simulation/ohmic_drop.h"
#include "support/closed_forms.h"
#include "support/experiments.h"

namespace kivex::simulation {
namespace {

using model::AppState;
using namespace physics;
using namespace testing;

// A microelectrode of radius r with the area of its shape.
void Micro(AppState& app, double r) {
  app.radius = r;
  const double shape[] = {0, 1, 4, 2, 1};  // sphere, hemisphere, disc: 4, 2, 1 times pi r^2
  if (app.electrode >= 2 && app.electrode <= 4) app.area = shape[app.electrode] * kPiTrue * r * r;
}

// Readings of one run of the experiment.
double Last(const AppState& app) { return Voltammogram(app).Last(); }
double First(const AppState& app) { return Voltammogram(app).y(1); }
double Peak(const AppState& app) { return Voltammogram(app).Peak(); }
double HalfWave(const AppState& app) { return Voltammogram(app).HalfWave(); }
double PeakE(const AppState& app) { return Voltammogram(app).InterpolatedPeak().E; }
double SteadySphere(const AppState& app, int species = 1) {
  return Nfac(app, species) * app.D(species) / app.radius;
}
// The electrodes' step currents over n F A C, Jaeger-Clarke tabulated once.
validation::Fluxes Flux(const AppState& app) {
  static const JaegerClarkeTable jc;
  return {app, jc};
}
double OverRandlesSevcik(const AppState& a) { return Peak(a) / RandlesSevcik(a); }
double OverSphere(const AppState& a) { return Last(a) / (Nfac(a) * Flux(a).Sphere(a.tDrop)); }

struct ClosedFormCase {
  int technique, electrode, mechanism;
  double low, high;        // band of simulated / textbook, or of the difference in V
  const char* what;        // the closed form and why the band is what it is
  void (*set)(AppState&);  // changes to validation::At's experiment (micro electrodes sized)
  double (*measure)(const AppState&);  // runs the experiment and returns that ratio or difference
};

// A band of 1e-5 or 1e-4 around an exact form covers the seven-digit constants of the error
// function and the finite rate constant (1e4 cm/s); wider bands say why beside them.
const ClosedFormCase kCases[] = {
    // Linear sweep.
    {1, 1, 1, 0.99, 1.01, "Randles-Sevcik, tDrop 0.1 s: the sweep factor undoes 1/sqrt(tDrop)",
     [](AppState& a) { a.tDrop = 0.1; }, OverRandlesSevcik},
    {1, 1, 1, 0.99, 1.01, "Randles-Sevcik, tDrop 2 s", [](AppState& a) { a.tDrop = 2; },
     OverRandlesSevcik},
    {1, 1, 1, -0.001, 0.001, "reversible peak 1.109 RT/F past E1/2 = E0, 1 mV steps",
     [](AppState& a) { a.Estep = 0.001, a.tDrop = 0.1; },
     [](const AppState& a) {
       const Voltammogram run(a);
       return run.x(run.PeakIndex()) - (a.E0(1) - 1.109 / a.fOverRT);
     }},
    {1, 1, 1, 0.995, 1.005, "irreversible 0.4958 nFAC sqrt(alpha n f v D), ks 1e-5, 5 mV steps",
     [](AppState& a) { a.ks(1) = 1e-5, a.Eend = -0.8; },
     [](const AppState& a) { return Peak(a) / IrreversibleSweepPeak(a); }},
    {1, 1, 1, 0.995, 1.005, "Ru 2000 ohm, 1 mV steps: the integral equation's 6.56e-5 A",
     [](AppState& a) { a.Ru = 2000, a.Estep = 0.001, a.tDrop = 0.1; },
     [](const AppState& a) { return Peak(a) / 6.56e-5; }},
    {1, 1, 1, -0.002, 0.002, "Ru 2000 ohm, 1 mV steps: the integral equation's peak at -85 mV",
     [](AppState& a) { a.Ru = 2000, a.Estep = 0.001, a.tDrop = 0.1; },
     [](const AppState& a) { return PeakE(a) + 0.085; }},
    {1, 2, 1, -0.002, 0.002, "sphere 1 um, half-wave at E0", [](AppState& a) { Micro(a, 1e-4); },
     [](const AppState& a) { return HalfWave(a) - a.E0(1); }},
    {1, 8, 1, -2e-4, 2e-4, "rotating disk sweep, half-wave at E0", nullptr,
     [](const AppState& a) { return HalfWave(a) - a.E0(1); }},
    {1, 9, 1, 0.99, 1.005, "thin film 10 um, thin-layer peak n^2 F^2 v V C / 4RT",
     [](AppState& a) { a.length = 0.001; },
     [](const AppState& a) { return Peak(a) / ThinLayerPeak(a); }},
    {1, 9, 1, 0.995, 1.01, "film 1 mm sweeps like a plane, Randles-Sevcik",
     [](AppState& a) { a.length = 0.1; }, OverRandlesSevcik},
    // DC: the sphere's form is exact, at any radius and time.
    {2, 2, 1, 1 - 1e-5, 1 + 1e-5, "sphere 2.821 mm, Cottrell + nFADC/r",
     [](AppState& a) { Micro(a, 0.2821); }, OverSphere},
    {2, 2, 1, 1 - 1e-5, 1 + 1e-5, "sphere 1 um, Cottrell + nFADC/r",
     [](AppState& a) { Micro(a, 1e-4); }, OverSphere},
    {2, 2, 1, 0.999, 1.001, "sphere 1 um at 1e4 s, nFADC/r",
     [](AppState& a) { Micro(a, 1e-4), a.tDrop = 1e4; },
     [](const AppState& a) { return Last(a) / SteadySphere(a); }},
    {2, 5, 1, 0.995, 1.005, "cylinder 5 um at tau 2e4, still Jaeger-Clarke",
     [](AppState& a) { a.tDrop = 500; },
     [](const AppState& a) { return Last(a) / (Nfac(a) * Flux(a).Cylinder(a.tDrop)); }},
    {2, 7, 1, 0.995, 1.005, "band 10 um at theta 100, boundary-integral reference",
     [](AppState& a) { a.tDrop = 10; },
     [](const AppState& a) {
       return Last(a) / (Nfac(a) / a.area * a.D(1) * a.length * BandReferenceAt(100));
     }},
    // Differential pulse: a period of 50 s makes the base current's decay 3e-5 of the peak.
    {4, 1, 1, -1e-9, 1e-9, "peak at E1/2 - dE/2, period 50 s", [](AppState& a) { a.tDrop = 50; },
     [](const AppState& a) {
       const Voltammogram run(a);
       return run.x(run.PeakIndex()) - (a.E0(1) - a.Epulse / 2);
     }},
    // Mechanisms (DC unless stated).
    {2, 8, 7, 1 - 1e-4, 1 + 1e-4,
     "EC' at the rotating disk, the reaction layer nFAC sqrt(Dk) coth(delta sqrt(k/D))", nullptr,
     [](const AppState& a) {
       const double D = a.D(1), k = a.kf(1) + a.kb(1), delta = D * Nfac(a) / Levich(a);
       return Last(a) / (Nfac(a) * std::sqrt(D * k) / std::tanh(delta * std::sqrt(k / D)));
     }},
    // Complexation: E1/2 = E0 + RT/nF (ln Keq - p ln [D]) (Lingane) in every technique.
    {2, 1, 8, -1e-7, 1e-7, "complex, nothing reacts 0.5 V positive of the wave", Complex,
     [](const AppState& a) { return First(a) / Cottrell(a, a.tDrop, 3); }},
    {3, 1, 8, -5e-4, 5e-4, "complex, normal pulse half-wave at Lingane's - Epulse", Complex,
     [](const AppState& a) { return HalfWave(a) - (LinganePotential(a) - a.Epulse); }},
    {3, 1, 8, -1e-7, 1e-7, "complex, nothing reacts at the normal pulse's start", Complex,
     [](const AppState& a) { return First(a) / Cottrell(a, a.tPulse, 3); }},
    {4, 1, 8, -1e-3, 1e-3, "complex, differential pulse peak at Lingane's - dE/2", Complex,
     [](const AppState& a) { return PeakE(a) - (LinganePotential(a) - a.Epulse / 2); }},
    {2, 8, 8, -5e-4, 5e-4, "complex, rotating disk half-wave at Lingane's", Complex,
     [](const AppState& a) { return HalfWave(a) - LinganePotential(a); }},
    {1, 2, 8, 0.99, 1.01, "complex, microsphere sweep ends on the complex's steady state",
     [](AppState& a) { Complex(a), Micro(a, 1e-4); },
     [](const AppState& a) { return Last(a) / SteadySphere(a, 3); }},
    {1, 2, 8, -0.002, 0.002, "complex, microsphere sweep half-wave at Lingane's",
     [](AppState& a) { Complex(a), Micro(a, 1e-4); },
     [](const AppState& a) { return HalfWave(a) - LinganePotential(a); }},
};

TEST(AnalyticalClosedForms, EveryExactRowOfTheValidationPageWithinItsBand) {
  int checked = 0;
  for (const validation::ValidationRow& row : validation::AnalyticalValidationRows()) {
    if (row.Kept()) continue;
    ++checked;
    EXPECT_TRUE(row.WithinBand()) << row.technique << " | " << row.electrode << " | "
                                  << row.quantity << ": " << row.Measure() << " outside ["
                                  << row.low << ", " << row.high << "] (" << row.note << ")";
  }
  EXPECT_GT(checked, 60);  // the page's exact rows, not an empty table
}

TEST(AnalyticalClosedForms, EveryCaseWithinItsBand) {
  for (const ClosedFormCase& c : kCases) {
    AppState app = validation::At(c.technique, c.electrode, c.mechanism);
    if (c.set != nullptr) c.set(app);
    const double measure = c.measure(app);
    EXPECT_TRUE(measure >= c.low && measure <= c.high)
        << c.technique << "/" << c.electrode << "/" << c.mechanism << " " << c.what << ": "
        << measure << " outside [" << c.low << ", " << c.high << "]";
  }
}

// The peak at every step is a row of the validation page. The sweep is linear in its factor, so
// the ratio of factors is the ratio of the curves: the Analysis command's semi-differentiation
// keeps the scale within three tenths of a percent.
TEST(LinearSweep, SweepFactorIsTheSemiDifferentiationsScale) {
  const AppState app = Experiment(1, 1);
  EXPECT_NEAR(SweepFactor(app) / numerics::SemiDifferentiateFactor(app.Estep), 1.0, 0.003);
}

TEST(OhmicDrop, DcPointsLieOnTheWaveAtThePotentialTheElectrodeSees) {
  // Each sampled point is the Ru-free wave at x + i Ru, the potential the electrode sees; with
  // 1 Mohm the drop would be hundreds of volts at the programmed potential's current. 1e-5 for
  // the seven-digit constants of the error function and a rate constant of 1e4 cm/s.
  for (double Ru : {0.0, 50.0, 2000.0, 1e6}) {
    AppState app = With(Experiment(2, 1), [&](AppState& a) { a.Ru = Ru; });
    Voltammogram run(app);
    const double id = Cottrell(app, app.tDrop);
    for (int i = 1; i <= run.count(); ++i) {
      const double E = run.x(i) + run.y(i) * Ru;
      EXPECT_NEAR(run.y(i), id / (1 + std::exp(app.fOverRT * (E - app.E0(1)))), 1e-5 * id)
          << Ru << " " << run.x(i);
    }
  }
}

// The drop solved for a current that follows the potential steeply (a fast couple at rest at
// 0.3 V, transport 0.13 cm/s): the current drawn at x + Ru I is the I found, to 1e-9 of it, up to
// a resistance where a microvolt changes it by per cent.
TEST(OhmicDrop, SolvedCurrentIsTheCurrentDrawnWhereTheElectrodeEnds) {
  const double f = model::kFaraday / (model::kGasConstant * 298.14),
               cP = 1e-3 / (1 + std::exp(f * 0.2));
  auto current = [&](double E) {
    const double kred = 1e4 * std::exp(-0.5 * f * (E - 0.1)),
                 kox = 1e4 * std::exp(0.5 * f * (E - 0.1));
    return 96.4846 * (kred * (1e-3 - cP) - kox * cP) / (1 + (kred + kox) / 0.13);
  };
  for (double Ru : {10.0, 1e3, 1e6, 1e9}) {
    for (double x : {0.25, 0.0, -0.3}) {
      const double I = SolveOhmicDrop(current, x, Ru);
      EXPECT_NEAR(current(x + Ru * I), I, 1e-9 * std::fabs(I)) << Ru << " " << x;
    }
  }
}

// A larger Ru holds the electrode further back from the programme, so every peak is lower and
// further along the sweep: the cyclic voltammogram's peaks part and the differential-pulse peak
// (each point from a fresh layer, reduced on either sweep) moves negative. Strictly at each step
// of Ru, from 0 to 1 kohm.
TEST(OhmicDrop, LargerResistanceLowersWidensAndShiftsThePeak) {
  // The half-height width of a positive peak, by linear interpolation between points.
  auto width = [](const Voltammogram& run) {
    const int top = run.PeakIndex();
    const double half = run.y(top) / 2;
    auto crossing = [&](int step) {
      int i = top;
      while (i + step >= 1 && i + step <= run.count() && run.y(i + step) > half) i += step;
      const int j = i + step;
      return run.x(i) + (half - run.y(i)) / (run.y(j) - run.y(i)) * (run.x(j) - run.x(i));
    };
    return crossing(-1) - crossing(1);
  };
  AppState cyclic = WithStep(Experiment(1, 1), 0.001);
  cyclic.cycles = 1;
  // Each falls as Ru grows: cathodic peak, its E, minus the separation; DP peak, its E, minus its
  // half-height width.
  std::vector<std::vector<double>> readings;
  for (double Ru : {0.0, 10.0, 100.0, 1000.0}) {
    const Voltammogram cv(With(cyclic, [&](AppState& a) { a.Ru = Ru; }));
    const PeakPoint cathodic = cv.ForwardPeak();
    const PeakPoint anodic = cv.InterpolatedPeak(cv.sweepPoints + 1, cv.count(), -1);
    const Voltammogram dp(With(Experiment(4, 1), [&](AppState& a) { a.Ru = Ru; }));
    const PeakPoint top = dp.InterpolatedPeak();
    readings.push_back({cathodic.I, cathodic.E, cathodic.E - anodic.E, top.I, top.E, -width(dp)});
    if (readings.size() == 1) continue;
    const std::vector<double>& before = readings[readings.size() - 2];
    for (std::size_t k = 0; k < before.size(); ++k) EXPECT_LT(readings.back()[k], before[k]) << Ru;
  }
}

// A normal pulse with Ru: the drop is largest just after the jump, where it holds back the
// depletion, so the sample exceeds the wave at the potential it finally sees. Against the
// integral equation solved apart (OhmicNernstianStep; 3e-4 for the program's 1e-4 and a rate
// constant of 1e4 cm/s); a vanishing Ru gives the plain closed-form curve, and a huge one leaves
// the cell resistance-limited, I Ru the whole distance from the rest potential E start.
TEST(OhmicDrop, NormalPulseFollowsTheDropOverThePulse) {
  const AppState plain = Experiment(3, 1);
  for (double Ru : {100.0, 1000.0}) {
    const Voltammogram run(With(plain, [&](AppState& a) { a.Ru = Ru; }));
    for (int i = 1; i <= run.count(); i += 12) {
      const double reference =
          OhmicNernstianStep(run.app, run.x(i) + run.app.Epulse, Ru, run.app.tPulse);
      EXPECT_NEAR(run.y(i) / reference, 1.0, 3e-4) << Ru << " " << run.x(i);
    }
  }
  const Voltammogram closed(plain);
  const Voltammogram small(With(plain, [](AppState& a) { a.Ru = 1e-6; }));
  for (int i = 1; i <= closed.count(); ++i) {
    EXPECT_NEAR(small.y(i), closed.y(i), 1e-4 * closed.Last()) << closed.x(i);
  }
  AppState resting = With(plain, [](AppState& a) { a.Ru = 1e9; });
  resting.Cinit(2) = 1e-3 / (1 + std::exp(resting.fOverRT * (resting.Estart - resting.E0(1))));
  resting.Cinit(1) = 1e-3 - resting.Cinit(2);
  const Voltammogram limited(resting);
  for (int i = 13; i <= limited.count(); i += 12) {
    const double distance = resting.Estart - (limited.x(i) + resting.Epulse);
    const double ratio = limited.y(i) * resting.Ru / distance;
    EXPECT_LE(ratio, 1.0) << limited.x(i);
    EXPECT_GT(ratio, 0.999) << limited.x(i);
  }
}

// Where the electrode or the chemistry has nothing to add, the plain planar curve at every point:
// a 10 cm wire, 100 m long, looks like a plane for 0.5 s, so its step current with slow electron
// transfer (numerically inverted) follows the plane's J exp(x^2) erfc(x); an EC' step that has
// stopped leaves the plain curve in every technique. Tolerances in parts of peak plus end.
TEST(PlainCurve, WideSlowCylinderAndStoppedCatalysisGiveThePlanarCurve) {
  const auto expectSame = [](const AppState& plain, const AppState& other, double tolerance) {
    const Voltammogram a(plain), b(other);
    const double scale = std::fabs(a.Peak()) + std::fabs(a.Last());
    for (int i = 1; i <= a.count(); ++i) {
      EXPECT_NEAR(b.y(i), a.y(i), tolerance * scale)
          << other.caseTechnique << other.caseElectrode << " " << a.x(i);
    }
  };
  for (double ks : {1e-3, 1e-5}) {  // a DC wave peaks at its end: 1e-3 of the plateau
    expectSame(
        With(Experiment(2, 1), [&](AppState& a) { a.ks(1) = ks; }),
        With(Experiment(2, 5), [&](AppState& a) { a.ks(1) = ks, a.radius = 10, a.length = 1e4; }),
        5e-4);
  }
  for (int technique = 1; technique <= 5; ++technique) {
    expectSame(Experiment(technique, 1, 1),
               With(Experiment(technique, 1, 7), [](AppState& a) { a.kf(1) = a.kb(1) = 1e-12; }),
               1e-5);
  }
}

TEST(DifferentialPulse, ConvolutionOfAFastCoupleIsTheNernstianSuperposition) {
  // The convolution equation that slow couples take must reproduce, for a fast one, the exact
  // superposition from a fresh layer of the plane's step currents; 0.1 %.
  const AppState app = Experiment(4, 1);
  model::CurveSet curves;
  curves.pointCount = 61;
  std::vector<double> steps(62, app.Epulse);
  for (int i = 1; i <= 61; ++i) curves.x(i) = 0.3 - 0.01 * (i - 1);
  CurrentInputs couple{.ks = 1e4, .alpha = 0.5, .n = 1, .E0e = app.E0(1), .cR = 1e-3};
  couple.dR = std::sqrt(app.D(1)), couple.dP = std::sqrt(app.D(2));
  ElectrodeFields plane;
  plane.count = 1, plane.weight[0] = 1;
  const PulseSettings settings{app.tPulse, app.tDrop, 0, app.fOverRT, CurrentScale(app), 2, {}};
  ConvolutionDifferentialPulse({couple}, plane, settings, steps, curves);
  auto K = [&app](double t) { return std::sqrt(app.D(1) / (kPiTrue * t)); };
  for (int i = 1; i <= 61; ++i) {
    const double expected = Nfac(app) * FreshPulseCurrent(app, curves.x(i), K);
    EXPECT_NEAR(curves.resultTable(i, 2), expected, 1e-3 * DifferentialPulsePeak(app)) << i;
  }
}

TEST(Sphere, SweepSteadyStateFollowsTheConcentrationsInEitherDirection) {
  // Nernstian steady state at a 1 um sphere, n F A D / r (cR theta - cP (1 - theta)) for equal D;
  // the planar part adds a few tenths of a percent. Negative-going: nothing at the start.
  AppState app = With(Experiment(1, 2), [](AppState& a) { Micro(a, 1e-4); });
  const double steady = SteadySphere(app);
  EXPECT_NEAR(First(app) / steady, 0.0, 1e-3);
  // Positive-going, only A, not pre-equilibrated: reduced on the plateau at the start, nothing
  // at the end; pre-equilibrated at -0.3 V the solution is B: nothing reduced at the start.
  app.Estart = -0.3, app.Eend = 0.3;
  const Voltammogram reduction(app);
  for (int i = 10; i <= reduction.count(); ++i) ASSERT_LT(std::fabs(reduction.y(i)), 1.01 * steady);
  EXPECT_NEAR(reduction.Last() / steady, 0.0, 0.005);
  app.Cinit(2) = 1e-3 / (1 + std::exp(app.fOverRT * (app.Estart - app.E0(1))));
  app.Cinit(1) = 1e-3 - app.Cinit(2);
  EXPECT_NEAR(First(app) / steady, 0.0, 0.005);
  // Steady state with unequal diffusion: E1/2 = E0 + RT/nF ln(DB / DA).
  const AppState slow =
      With(Experiment(1, 2), [](AppState& a) { Micro(a, 1e-4), a.D(2) = 0.25e-5; });
  EXPECT_NEAR(HalfWave(slow), slow.E0(1) + std::log(0.25) / slow.fOverRT, 0.002);
}

TEST(Catalytic, NormalPulseWaveAndItsCatalyticColumnAreOneWaveAtThePulsedPotential) {
  Voltammogram run(Experiment(3, 1, 7));
  const double E = run.app.E0(1) - run.app.Epulse;
  EXPECT_NEAR(run.HalfWave(), E, 5e-4);
  run.I = run.catalytic;  // the catalytic column alone
  EXPECT_NEAR(run.HalfWave(), E, 5e-4);
}

// Whatever ks and alpha, kred / kox is the Nernst factor exp(-n f eta), and reduction speeds up
// below E0; a rate past the doubles fails in the checked form.
TEST(TransferRates, RatioIsTheNernstFactorAndAnInfiniteRateFails) {
  for (double eta : {-0.3, -0.01, 0.0, 0.2}) {
    const TransferRates k = CheckedTransferRatesAt(3e-3, 0.3, 2, 38.92, eta);
    const double nernst = std::exp(-2 * 38.92 * eta);
    EXPECT_NEAR(k.red / k.ox, nernst, 1e-13 * nernst) << eta;
    EXPECT_EQ(k.red > 3e-3, eta < 0) << eta;
  }
  EXPECT_THROW(CheckedTransferRatesAt(1e300, 0.5, 1, 1, -1200), model::Failure);  // ks e^600
}

TEST(Dispatch, CombinationsWithoutACurrentFunctionGiveNoFaradaicCurrent) {
  // Case code and mechanism: plain and EC'.
  for (int code : {381, 387, 391, 397, 481, 487, 491, 497, 571, 577, 581, 587, 591, 597}) {
    AppState app = Experiment(code / 100, code / 10 % 10, code % 10);
    model::CurveSet curves;
    curves.resultTable(10, model::kCatalyticColumn) = 1.0;  // stale, must not be added
    RunSimulation(app, curves, false);
    for (int i = 1; i <= curves.pointCount; ++i) ASSERT_EQ(curves.y(i, 1), 0.0) << code;
  }
}

// Analytical, then digital (the thin film's digital refusal is in the ui_thin_film_digital
// scenario): each fails with its message, "CV Error: " for the digital route,
// instead of writing non-finite currents, and the axis written before stays.
TEST(Dispatch, InvalidInputsFailWithTheirMessage) {
  const char* const invalid = "Invalid procedure call or argument";
  const std::pair<AppState, const char*> cases[] = {
      {With(Experiment(2, 1, 8), [](AppState& a) { a.Cinit(4) = 0; }), invalid},
      {With(Experiment(4, 1), [](AppState& a) { a.tDrop = 0.01; }), invalid},
      {With(Experiment(2, 2), [](AppState& a) { a.radius = 0; }), "Division by zero"},
      {With(Experiment(1, 9), [](AppState& a) { a.length = 0; }), invalid},
      {With(Experiment(1, 1), [](AppState& a) { a.Eend = a.Estart - 2 * a.Estep; }),
       "The curve has 3 points, too few to semi-differentiate (at least 5)"},
      {With(CoupleExperiment(), [](AppState& a) { a.technique = 4, a.tDrop = a.tPulse; }),
       "CV Error: The drop time must be at least 1.25 times the pulse width"},  // no sub-step
      {With(CoupleExperiment(), [](AppState& a) { a.tDrop = 0; }),
       "CV Error: The time of a step must be positive"},
  };
  for (auto [app, description] : cases) {
    model::CurveSet curves;
    try {
      RunSimulation(app, curves, false);
      ADD_FAILURE() << description << " must fail";
    } catch (const model::Failure& failure) {
      const std::string expected = std::string(app.digital ? "" : "Analytical simulation Error: ") +
                                   description + "! Please try again by other initial values.";
      EXPECT_EQ(model::FailureMessage(failure, "Analytical simulation Error: "), expected);
    }
    EXPECT_DOUBLE_EQ(curves.x(1), app.Estart) << description;
  }
}

}  // namespace
}  // namespace kivex::simulation
