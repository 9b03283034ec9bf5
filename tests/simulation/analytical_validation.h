#pragma once
// The analytical simulation against its closed forms, one row per comparison with the band it
// must lie in: the table of docs/validation_analytical.md (bench/validation_analytical.cpp writes
// it) and, for every row that is exact physics rather than a kept approximation, a test
// (analytical_physics_test.cpp).

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "model/number_format.h"
#include "model/number_text.h"
#include "support/closed_forms.h"
#include "support/experiments.h"

namespace kivex::simulation::physics::validation {

using model::AppState;
using namespace testing;

enum class Kind { Current, Potential };

struct ValidationRow {
  std::string technique;
  std::string electrode;
  std::string quantity;
  Kind kind;
  double simulated;
  double textbook;
  double low;  // accepted band of the ratio (currents) or of the difference in V (potentials)
  double high;
  std::string note;

  double Measure() const {
    return kind == Kind::Current ? simulated / textbook : simulated - textbook;
  }
  bool WithinBand() const { return Measure() >= low && Measure() <= high; }
  // An approximation the method makes on purpose, marked so in its note: the page shows how far
  // it goes, no test holds the program to it.
  bool Kept() const { return note.find("kept:") != std::string::npos; }
};

inline std::string Amperes(double value) { return model::FormatPattern(value, "0.####E-0") + " A"; }

// Flux of the electrodes' diffusion-limited step currents over n F A C (cm/s), from the closed
// forms: the sphere exact, the disc by Shoup and Szabo, the cylinder's side by Jaeger and Clarke
// with its flat end as a disc (the dialog's area pi r^2 + 2 pi r L), the film by its images.
struct Fluxes {
  const AppState& app;
  const JaegerClarkeTable& jc;

  double Planar(double t) const { return std::sqrt(app.D(1) / (kPiTrue * t)); }
  double Sphere(double t) const { return Planar(t) + app.D(1) / app.radius; }
  double Disc(double t) const {
    const double r = app.radius;
    return 4 * app.D(1) * r * ShoupSzaboFactor(app, t) / (kPiTrue * r * r);
  }
  double Cylinder(double t) const {
    const double r = app.radius, L = app.length, D = app.D(1);
    const double side = 2 * kPiTrue * r * L, end = kPiTrue * r * r;
    return (side * D / r * jc(D * t / (r * r)) + end * Disc(t)) / (side + end);
  }
  // The band's far field is a hemicylinder of radius w / 4 (conformal map), exact at long times.
  double BandFarField(double t) const {
    const double r0 = app.radius / 4;  // the committed size is the width
    return kPiTrue * app.D(1) * jc(app.D(1) * t / (r0 * r0)) / (4 * r0);
  }
  // The band w 10 um of At() by its boundary-integral reference.
  double Band(double t) const { return app.D(1) * BandReferenceAt(app.D(1) * t / 1e-6) / 1e-3; }
  double Film(double t) const {
    double sum = 1;
    for (int k = 1; k <= 60; ++k) {
      sum += 2 * (k % 2 ? -1 : 1) * std::exp(-k * k * app.length * app.length / (app.D(1) * t));
    }
    return Planar(t) * sum;
  }
  // The step current of the micro electrodes 2 to 7 of At().
  double Step(double t) const {
    if (app.electrode == 4) return Disc(t);
    return app.electrode <= 3 ? Sphere(t) : app.electrode <= 6 ? Cylinder(t) : Band(t);
  }
};

inline std::string ElectrodeName(int electrode) {
  static const char* names[] = {
      "",           "1 planar",       "2 sphere", "3 hemisphere",    "4 microdisc",
      "5 cylinder", "6 hemicylinder", "7 band",   "8 rotating disk", "9 thin film"};
  return names[electrode];
}

// The micro electrodes of At() named with their size.
inline std::string MicroName(int electrode) {
  if (electrode == 7) return ElectrodeName(electrode) + " w 10 um";
  return ElectrodeName(electrode) + (electrode <= 3 ? " r 10 um" : " r 5 um");
}

// The electrodes with their micro sizes: sphere and hemisphere r 10 um, disc and cylinder r 5 um
// (cylinder 0.1 mm long), band w 10 um (0.1 mm long), with the areas the dialog computes.
inline AppState At(int technique, int electrode, int mechanism = 1) {
  AppState app = Experiment(technique, electrode, mechanism);
  const double r = electrode == 2 || electrode == 3 ? 1e-3 : 5e-4;
  if (electrode >= 2 && electrode <= 6) app.radius = r;
  if (electrode == 2 || electrode == 3) app.area = (electrode == 2 ? 4 : 2) * kPiTrue * r * r;
  if (electrode == 4) app.area = kPiTrue * r * r;
  if (electrode == 5) app.area = kPiTrue * r * r + 2 * kPiTrue * r * app.length;
  if (electrode == 6) app.area = kPiTrue * r * r / 2 + kPiTrue * r * app.length;
  if (electrode == 7) app.radius = 1e-3, app.area = 1e-3 * app.length;
  return app;
}

inline std::string StepText(double step) {
  return ", E step " + model::FormatPattern(step * 1000, "0") + " mV";
}

inline std::vector<ValidationRow> AnalyticalValidationRows() {
  using enum Kind;
  std::vector<ValidationRow> rows;
  auto add = [&rows](ValidationRow row) { rows.push_back(std::move(row)); };
  const JaegerClarkeTable jc;
  const std::string sweep = "1 sweep", dc = "2 DC", np = "3 normal pulse";
  const std::string dp = "4 differential pulse", sw = "5 square wave", planar = "1 planar";

  // Linear sweep, planar: the sweep factor at every step.
  for (double step : {0.001, 0.002, 0.005, 0.01}) {
    AppState app = WithStep(Experiment(1, 1), step);
    Voltammogram run(app);
    add({sweep, planar, "reversible peak" + StepText(step), Current, run.Peak(), RandlesSevcik(app),
         0.99, 1.01, "Randles-Sevcik; L1 half-order derivative, first order in the step"});
    if (step == 0.005) {
      add({sweep, planar, "reversible peak potential", Potential, run.x(run.PeakIndex()),
           app.E0(1) - 1.109 / app.fOverRT, -0.005, 0.005, "E1/2 - 1.109 RT/F, on the 5 mV grid"});
    }
  }
  {
    AppState app = Experiment(1, 1);
    app.Estep = 0.001, app.tDrop = 0.1, app.cycles = 1;
    Voltammogram run(app);
    const int anodic = run.PeakIndex(run.sweepPoints + 1, run.count(), -1);
    add({"1 cyclic", planar, "peak separation (1 mV step)", Potential,
         run.x(anodic) - run.x(run.PeakIndex(1, run.sweepPoints)), 2.218 / app.fOverRT, -0.0015,
         0.0015, "2.218 RT/nF"});
  }
  for (double step : {0.001, 0.002, 0.005}) {
    AppState app = WithStep(Experiment(1, 1), step);
    app.ks(1) = 1e-5, app.Eend = -0.9;
    Voltammogram run(app);
    const double b = app.alpha(1) * app.n(1) * app.fOverRT;
    const double Ep =
        app.E0(1) -
        (0.780 + std::log(std::sqrt(app.D(1)) / app.ks(1)) + 0.5 * std::log(b * app.scanRate)) / b;
    add({sweep, planar, "irreversible peak, ks 1e-5 cm/s" + StepText(step), Current, run.Peak(),
         IrreversibleSweepPeak(app), 0.98, 1.02,
         "0.4958 nFAC sqrt(alpha n f v D); the convolution equation with Butler-Volmer kinetics"});
    add({sweep, planar, "irreversible peak potential" + StepText(step), Potential,
         run.InterpolatedPeak().E, Ep, -0.003, 0.003,
         "E0 - RT/(alpha nF) (0.780 + ln(sqrt(D)/ks) + ln sqrt(alpha nf v)), between grid points"});
  }
  {
    // The digital route models the same cell; at 0.5 mV steps its lagged drop has converged.
    AppState digital = WithStep(Experiment(1, 1), 0.0005);
    digital.digital = true, digital.Ru = 2000;
    const Voltammogram reference(digital);
    for (double step : {0.001, 0.002, 0.005}) {
      AppState app = With(WithStep(Experiment(1, 1), step), [&](AppState& a) { a.Ru = 2000; });
      Voltammogram run(app);
      add({sweep, planar, "reversible peak with Ru 2000 ohm" + StepText(step), Current, run.Peak(),
           reference.InterpolatedPeak().I, 0.99, 1.01,
           "the digital route at 0.5 mV steps (its peak without Ru is within 0.15 % of "
           "Randles-Sevcik)"});
      add({sweep, planar, "its peak potential" + StepText(step), Potential,
           run.InterpolatedPeak().E, reference.InterpolatedPeak().E, -0.002, 0.002,
           "the same digital run"});
    }
    digital.Ru = 500;
    const Voltammogram reference500(digital);
    AppState app = With(Experiment(1, 1), [&](AppState& a) { a.Ru = 500; });
    Voltammogram run(app);
    add({sweep, planar, "peak potential with Ru 500 ohm, E step 5 mV", Potential,
         run.InterpolatedPeak().E, reference500.InterpolatedPeak().E, -0.002, 0.002,
         "the digital route at 0.5 mV steps"});
  }
  {
    // The double layer charges through Ru with the couple: 1 V/s, Ru Cdl A = 20 ms.
    AppState app = Experiment(1, 1);
    app.scanRate = 1, app.Ru = 200, app.Cdl = 1e-4;
    app = WithStep(app, 0.0005);
    const ChargedSweepPeak reference = ChargedPlanarSweep(app, 2e-5);
    const PeakPoint peak = Voltammogram(app).InterpolatedPeak();
    add({sweep, planar, "peak with Ru 200 ohm, Cdl 1e-4 F, 1 V/s, E step 0.5 mV", Current, peak.I,
         reference.I, 0.99, 1.01,
         "finite differences of the couple and the double layer both through Ru"});
    add({sweep, planar, "its peak potential", Potential, peak.E, reference.E, -0.0015, 0.0015,
         "the same finite differences"});
  }
  auto micron = [](int electrode) {  // sphere and hemisphere of radius 1 um
    AppState app = At(1, electrode);
    app.radius = 1e-4, app.area = (electrode == 2 ? 4 : 2) * kPiTrue * 1e-8;
    return app;
  };
  for (int electrode : {2, 3}) {
    const Voltammogram run(micron(electrode));
    const AppState& app = run.app;
    add({sweep, ElectrodeName(electrode) + " r 1 um", "plateau", Current, run.Last(),
         Nfac(app) * app.D(1) / app.radius, 0.995, 1.01,
         electrode == 2 ? "nFADC/r" : "nFADC/r = 2 pi nFDCr"});
    if (electrode == 3) continue;
    // Positive-going, the couple pre-equilibrated at -0.3 V: the solution is B, oxidised.
    AppState up = With(micron(2), [&](AppState& a) { a.Estart = -0.3, a.Eend = 0.3; });
    up.Cinit(2) = 1e-3 / (1 + std::exp(up.fOverRT * (up.Estart - up.E0(1))));
    up.Cinit(1) = 1e-3 - up.Cinit(2);
    const Voltammogram oxidation(up);
    up.Cinit(1) = up.Cinit(2);
    add({sweep, "2 sphere r 1 um", "oxidation plateau (positive-going)", Current, oxidation.Last(),
         -Nfac(up) * up.D(2) / up.radius, 0.995, 1.01, "-nFAD C(B) / r"});
  }
  const Voltammogram disc(At(1, 4));
  add({sweep, MicroName(4), "plateau", Current, disc.Last(), DiscSteadyState(disc.app), 0.995, 1.02,
       "4nFDCr; the disc is a sphere of radius pi r / 4"});
  for (int electrode : {5, 6, 7}) {
    AppState app = At(1, electrode);
    Voltammogram run(app);
    const Fluxes f{app, jc};
    if (electrode == 7) {
      add({sweep, MicroName(7), "peak", Current, run.Peak(),
           NernstianSweepPeak(app, [&f](double t) { return f.BandFarField(t); }), 0.98, 1.02,
           "Duhamel's integral of the hemicylinder of radius w/4, the band's far field "
           "(theta = Dt/w^2 near 200 at the peak)"});
    } else {
      add({sweep, MicroName(electrode), "peak", Current, run.Peak(),
           NernstianSweepPeak(app, [&f](double t) { return f.Cylinder(t); }), 0.98, 1.02,
           "Duhamel's integral of the Jaeger-Clarke step current (side) and Shoup-Szabo (end) "
           "over the continuous ramp"});
    }
  }
  const Voltammogram disk(Experiment(1, 8));
  add({sweep, "8 rotating disk", "plateau", Current, disk.Last(), Levich(disk.app), 0.9999, 1.0001,
       "Levich, 100 rpm"});
  for (double l : {0.001, 0.01, 0.1}) {
    AppState app = With(Experiment(1, 9), [&](AppState& a) { a.length = l; });
    Voltammogram run(app);
    const Fluxes f{app, jc};
    const std::string film = "9 thin film " + model::FormatPattern(l * 1e4, "0") + " um";
    if (l == 0.001) {
      add({sweep, film, "peak", Current, run.Peak(), ThinLayerPeak(app), 0.98, 1.02,
           "thin layer n^2 F^2 v V C / 4RT, V = A l"});
      add({sweep, film, "peak potential", Potential, run.InterpolatedPeak().E, app.E0(1), -0.003,
           0.003, "thin layer peaks at E0"});
    } else {
      add({sweep, film, "peak", Current, run.Peak(),
           NernstianSweepPeak(app, [&f](double t) { return f.Film(t); }), 0.98, 1.02,
           l > 0.05 ? "Duhamel's integral of the film's image series; Randles-Sevcik 8.4955E-5 A"
                    : "Duhamel's integral of the film's image series"});
    }
  }

  // DC (sampled current): every point a fresh step to its potential, sampled at tDrop.
  {
    AppState app = Experiment(2, 1);
    Voltammogram run(app);
    const double id = Cottrell(app, app.tDrop);
    add({dc, planar, "plateau", Current, run.Last(), id, 0.9999, 1.0001, "Cottrell at tDrop"});
    add({dc, planar, "half-wave potential", Potential, run.Crossing(id / 2), app.E0(1), -1e-4, 1e-4,
         "E0 (equal D)"});
  }
  // Step techniques at the micro electrodes: the plateau against the electrode's
  // chronoamperometric current at the sampling time.
  for (int technique : {2, 3}) {
    for (int electrode = 2; electrode <= 7; ++electrode) {
      AppState app = At(technique, electrode);
      Voltammogram run(app);
      const double t = technique == 2 ? app.tDrop : app.tPulse;
      const Fluxes f{app, jc};
      double low = 0.995, high = 1.005;
      std::string note;
      if (electrode <= 3) {
        low = 0.9999, high = 1.0001, note = "nFAC (sqrt(D/pi t) + D/r), exact";
      } else if (electrode == 4) {
        high = technique == 2 ? 1.03 : 1.06;
        note = technique == 2
                   ? "Shoup-Szabo (tau = 4Dt/r^2 = 80); kept: the disc is a sphere of radius "
                     "pi r/4, exact in its steady state, 1.7 % high here"
                   : "Shoup-Szabo at tau = 8; kept: the sphere of radius pi r/4 runs 4 % high at "
                     "short times";
      } else if (electrode <= 6) {
        note = "Jaeger-Clarke (tau = Dt/r^2 = " +
               model::ShortestText(std::round(app.D(1) * t / 25e-8 * 1000) / 1000) +
               ") on the side, Shoup-Szabo on the end";
      } else {
        note = "boundary-integral solution of the band (theta = Dt/w^2 = " +
               model::ShortestText(std::round(app.D(1) * t / 1e-6 * 1000) / 1000) +
               "); Aoki's long time " + Amperes(BandLongTime(app, t, 1e-3));
      }
      add({technique == 2 ? dc : np, MicroName(electrode), "plateau", Current, run.Last(),
           Nfac(app) * f.Step(t), low, high, note});
    }
  }
  for (double t : {10.0, 1e4}) {
    AppState app = With(At(2, 4), [&](AppState& a) { a.tDrop = t; });
    Voltammogram run(app);
    add({dc, MicroName(4), "plateau at " + model::ShortestText(t) + " s", Current, run.Last(),
         DiscSteadyState(app) * ShoupSzaboFactor(app, t), 0.995, 1.01,
         "Shoup-Szabo (tau = 4Dt/r^2 = 1600, 1.6e6); the sphere of radius pi r/4 approaches it "
         "from above"});
  }
  {
    AppState app = Experiment(2, 8);
    Voltammogram run(app);
    add({dc, "8 rotating disk", "plateau", Current, run.Last(), Levich(app), 0.9999, 1.0001,
         "Levich"});
    add({dc, "8 rotating disk", "half-wave potential", Potential, run.Crossing(Levich(app) / 2),
         app.E0(1), -2e-4, 2e-4, "E0"});
  }
  for (double l : {0.01, 0.001}) {
    AppState app = With(Experiment(2, 9), [&](AppState& a) { a.length = l; });
    Voltammogram run(app);
    const Fluxes f{app, jc};
    add({dc, "9 thin film " + model::FormatPattern(l * 1e4, "0") + " um", "plateau", Current,
         run.Last(), Nfac(app) * f.Film(app.tDrop), 0.999, 1.001,
         l > 0.005 ? "image series: the film (l^2/D = 10 s) is not yet exhausted, Cottrell"
                   : "image series: the film (l^2/D = 0.1 s) is exhausted"});
  }
  for (double Ru : {50.0, 2000.0}) {
    AppState app = With(Experiment(2, 1), [&](AppState& a) { a.Ru = Ru; });
    Voltammogram run(app);
    const double id = Cottrell(app, app.tDrop);
    add({dc, planar, "half-wave with Ru " + model::FormatPattern(Ru, "0") + " ohm", Potential,
         run.Crossing(id / 2), app.E0(1) - id * Ru / 2, -5e-4, 5e-4,
         "E0 - i_d Ru / 2; the drop solved at each point"});
  }

  // Normal pulse.
  {
    AppState app = Experiment(3, 1);
    Voltammogram run(app);
    const double id = Cottrell(app, app.tPulse);
    add({np, planar, "plateau", Current, run.Last(), id, 0.9999, 1.0001, "Cottrell at tPulse"});
    add({np, planar, "half-wave potential", Potential, run.Crossing(id / 2), app.E0(1) - app.Epulse,
         -1e-4, 1e-4, "E0 - Epulse"});
  }
  for (double Ru : {100.0, 1000.0}) {
    // The drop, largest just after the jump, holds back the depletion: with 100 ohm the wave
    // rises through a maximum above the Cottrell plateau.
    AppState app = With(Experiment(3, 1), [&](AppState& a) { a.Ru = Ru; });
    Voltammogram run(app);
    const bool inside = Ru < 500;
    const int i = inside ? run.PeakIndex() : run.count();
    add({np, planar,
         (inside ? "largest current" : "last point") + std::string(" with Ru ") +
             model::FormatPattern(Ru, "0") + " ohm",
         Current, run.y(i), OhmicNernstianStep(app, run.x(i) + app.Epulse, Ru, app.tPulse), 0.9997,
         1.0003,
         "the integral equation of the step with the drop solved over the pulse, apart from the "
         "program"});
  }

  // Differential pulse: with a long period the base current's decay is negligible and the peak
  // is the electrode's step current at tPulse times (1 - s) / (1 + s), s = exp(nf dE / 2).
  for (double tDrop : {0.5, 50.0}) {
    AppState app = With(Experiment(4, 1), [&](AppState& a) { a.tDrop = tDrop; });
    Voltammogram run(app);
    const bool period = tDrop > 1;
    add({dp, planar, "peak, period " + model::ShortestText(tDrop) + " s", Current, run.Peak(),
         DifferentialPulsePeak(app), period ? 0.9999 : 0.95, period ? 1.0001 : 0.99,
         period ? "nFAC sqrt(D/pi tp)(1-s)/(1+s)"
                : "kept: each point starts from a fresh layer, so the base current decays over "
                  "the pulse, which the textbook form leaves out"});
    if (!period) {
      add({dp, planar, "peak potential", Potential, run.x(run.PeakIndex()),
           app.E0(1) - app.Epulse / 2, -1e-9, 1e-9, "E1/2 - dE/2"});
      add({dp, planar, "baseline after the wave", Current, run.Last(),
           -Cottrell(app, app.tDrop - app.tPulse) + Cottrell(app, app.tDrop), 0.999, 1.001,
           "i_d(tDrop) - i_d(tDrop - tp): the base current's decay over the pulse"});
    }
  }
  for (int electrode = 2; electrode <= 7; ++electrode) {
    AppState app = With(At(4, electrode), [&](AppState& a) { a.tDrop = 50; });
    Voltammogram run(app);
    const Fluxes f{app, jc};
    double low = 0.995, high = 1.005;
    std::string note = "step current at tp times (1-s)/(1+s): ";
    if (electrode <= 3) {
      low = 0.999, high = 1.001, note += "sphere, exact";
    } else if (electrode == 4) {
      high = 1.06;
      note += "Shoup-Szabo at tau 8; kept: the disc as a sphere of radius pi r/4, high early";
    } else {
      note += electrode <= 6 ? "Jaeger-Clarke side, Shoup-Szabo end"
                             : "band, boundary-integral solution";
    }
    const double sigma = std::exp(app.fOverRT * app.Epulse / 2);
    add({dp, ElectrodeName(electrode), "peak, period 50 s", Current, run.Peak(),
         Nfac(app) * f.Step(app.tPulse) * (1 - sigma) / (1 + sigma), low, high, note});
  }

  {
    // Periods beyond the convolution's reach keep the sum of the two steps, exact for a fast
    // couple: the Nernstian superposition from a fresh layer, at its largest on the grid.
    AppState app = With(Experiment(4, 1), [](AppState& a) { a.tPulse = 0.001, a.tDrop = 2.1; });
    const Voltammogram run(app);
    auto K = [&app](double t) { return std::sqrt(app.D(1) / (kPiTrue * t)); };
    double peak = 0;
    for (double E : run.E) peak = std::max(peak, FreshPulseCurrent(app, E, K));
    add({dp, planar, "peak, 1 ms pulses, period 2.1 s", Current, run.Peak(), Nfac(app) * peak,
         0.9999, 1.0001,
         "the superposition from a fresh layer; a slow couple or an ohmic drop is refused beyond "
         "2000 pulses a period"});
  }

  // Square wave.
  for (double Epulse : {-0.05, -0.01, -0.1}) {
    AppState app = With(Experiment(5, 1), [&](AppState& a) { a.Epulse = Epulse; });
    Voltammogram run(app);
    add({sw, planar, "net peak, E pulse " + model::FormatPattern(Epulse * 1000, "0") + " mV",
         Current, run.Peak(), SquareWaveNetPeak(app, run.count()), 0.98, 1.02,
         "superposition of the half-period steps over the staircase (5 mV steps, tPulse 0.05 s)"});
  }
  {
    AppState app = With(Experiment(5, 1), [&](AppState& a) { a.ks(1) = 1; });
    Voltammogram run(app);
    add({sw, planar, "net peak, ks 1 cm/s", Current, run.Peak(),
         SquareWaveNetPeak(app, run.count()), 0.998, 1.002,
         "the same superposition; the program solves the convolution equation over the waveform "
         "for any finite rate"});
  }
  const Voltammogram square(Experiment(5, 1));
  add({sw, planar, "peak potential", Potential, square.x(square.PeakIndex()), square.app.E0(1),
       -1e-9, 1e-9, "E1/2"});
  for (int electrode = 2; electrode <= 6; ++electrode) {
    AppState app = At(5, electrode);
    Voltammogram run(app);
    const Fluxes f{app, jc};
    const std::string note =
        electrode <= 3   ? "sphere"
        : electrode == 4 ? "Shoup-Szabo; kept: the disc as a sphere of radius pi r/4, high early"
                         : "Jaeger-Clarke side, Shoup-Szabo end";
    add({sw, ElectrodeName(electrode), "net peak", Current, run.Peak(),
         SquareWaveNetPeak(app, run.count(), [&f](double t) { return f.Step(t); }), 0.98,
         electrode == 4 ? 1.06 : 1.02,
         "the same superposition with the electrode's step current: " + note});
  }

  // Mechanisms.
  for (int m : {2, 3}) {
    const Voltammogram run(Experiment(2, 1, m));
    add({dc, planar, m == 2 ? "mechanism 2 (EE): both waves" : "mechanism 3 (EEE): all waves",
         Current, run.Last(), m * Cottrell(run.app, run.app.tDrop), m == 2 ? 0.49 : 0.32,
         m == 2 ? 0.51 : 0.34,
         m == 2 ? "2 i_d; kept: the second step sees only B present at the start"
                : "3 i_d; kept: later steps see only what is present at the start"});
  }
  {
    AppState app = With(Experiment(2, 1, 4), [&](AppState& a) { a.Cinit(3) = 1e-3; });
    const Voltammogram run(app);
    add({dc, planar, "mechanism 4 (two couples): both waves", Current, run.Last(),
         Cottrell(app, app.tDrop) + Cottrell(app, app.tDrop, 3), 0.999, 1.001,
         "i_d(A) + i_d(C); the second wave (E0 -0.1 V) is 0.9996 complete at -0.3 V"});
    // C = A with K = 1: half of the substance is A at equilibrium.
    AppState ce = With(Experiment(2, 1, 5), [&](AppState& a) { a.kf(1) = a.kb(1) = 10; });
    ce.Cinit(1) = ce.Cinit(3) = 0.5e-3;
    const Voltammogram preceding(ce);
    ce.Cinit(1) = 1e-3;
    add({dc, planar, "mechanism 5 (CE), kf = kb = 10/s", Current, preceding.Last(),
         Cottrell(ce, ce.tDrop) * PrecedingReactionRatio(1, 20, ce.tDrop), 0.5, 0.56,
         "Koutecky's CE current; kept: only the A present at the start reacts"});
  }
  const Voltammogram ec(Experiment(2, 1, 6));
  add({dc, planar, "mechanism 6 (EC) half-wave, kf 10/s", Potential,
       ec.Crossing(Cottrell(ec.app, ec.app.tDrop) / 2),
       ec.app.E0(1) + FollowingReactionShift(ec.app, ec.app.kf(1) + ec.app.kb(1), ec.app.tDrop),
       -0.05, -0.035,
       "E0 + RT/F ln(sqrt(kt)/0.431); kept: the following step does not move the wave"});
  for (int technique : {2, 3}) {
    const Voltammogram run(Experiment(technique, 1, 7));
    const AppState& app = run.app;
    const double t = technique == 2 ? app.tDrop : app.tPulse;
    add({technique == 2 ? dc : np, planar, "mechanism 7 (EC') plateau, k 10/s", Current, run.Last(),
         Cottrell(app, t) * CatalyticRatio(app.kf(1) + app.kb(1), t), 0.98, 1.02,
         "Delahay-Stiehl: Cottrell (sqrt(pi) S erf S + exp(-S^2)), S = sqrt(kt)"});
  }
  // Mechanism 7 where the regeneration enters the diffusion kernel: a unit step of the surface
  // deficit draws sqrt(D) (exp(-kt) / sqrt(pi t) + sqrt(k) erf(sqrt(kt))), the inverse transform of
  // sqrt(D (s + k)) / s, and a fast couple's currents superpose over it.
  auto catalysis = [](int technique, int electrode, double k) {
    return With(Experiment(technique, electrode, 7),
                [k](AppState& a) { a.kf(1) = k, a.kb(1) = 0; });
  };
  auto catalyticFlux = [](const AppState& app) {
    const double D = app.D(1), k = app.kf(1);
    return [D, k](double t) {
      return std::sqrt(D) * (std::exp(-k * t) / std::sqrt(kPiTrue * t) +
                             std::sqrt(k) * std::erf(std::sqrt(k * t)));
    };
  };
  for (double v : {0.01, 1.0}) {
    const Voltammogram run(With(catalysis(1, 1, 10), [v](AppState& a) { a.scanRate = v; }));
    const AppState& app = run.app;
    const double end = std::fabs(app.Eend - app.Estart) / v;
    const bool slow = v < 0.1;
    add({sweep, planar,
         std::string("mechanism 7 (EC') ") + (slow ? "current at the end" : "peak") + ", k 10/s, " +
             model::ShortestText(v) + " V/s",
         Current, slow ? run.Last() : run.Peak(),
         slow ? NernstianSweepCurrent(app, end, catalyticFlux(app))
              : NernstianSweepPeak(app, catalyticFlux(app)),
         0.99, 1.01,
         "Duhamel's integral of the catalytic step flux over the continuous ramp" +
             std::string(slow ? "; the reaction layer nFAC sqrt(Dk) " +
                                    Amperes(Nfac(app) * std::sqrt(app.D(1) * 10))
                              : "")});
  }
  for (double k : {10.0, 1e4}) {
    const Voltammogram run(catalysis(5, 1, k));
    add({sw, planar, "mechanism 7 (EC') net peak, k " + model::ShortestText(k) + "/s", Current,
         run.Peak(), SquareWaveNetPeak(run.app, run.count(), catalyticFlux(run.app)), 0.99, 1.01,
         "superposition of the half-period steps with the catalytic step flux"});
  }
  {
    // Each point from a fresh layer: the base held for tDrop, the pulse for its last tPulse.
    const Voltammogram run(catalysis(4, 1, 10));
    const AppState& app = run.app;
    double peak = 0;
    for (double E : run.E) peak = std::max(peak, FreshPulseCurrent(app, E, catalyticFlux(app)));
    add({dp, planar, "mechanism 7 (EC') peak, k 10/s, period 0.5 s", Current, run.Peak(),
         Nfac(app) * peak, 0.99, 1.01,
         "superposition of the base and pulse steps with the catalytic step flux"});
  }
  for (int technique : {4, 5}) {
    // A slow couple takes the convolution equation over the catalytic kernel.
    AppState app = With(catalysis(technique, 1, 10), [](AppState& a) { a.ks(1) = 1e-3; });
    const Voltammogram run(app);
    app.digital = true;
    const Voltammogram digital(app);
    add({technique == 4 ? dp : sw, planar,
         std::string("mechanism 7 (EC') ") + (technique == 4 ? "peak" : "net peak") +
             ", k 10/s, ks 1e-3 cm/s",
         Current, run.Peak(), digital.Peak(), 0.98, 1.02, "the digital route"});
  }
  {
    AppState app = Experiment(4, 1, 7);
    app.kf(1) = 1e4, app.kb(1) = 0, app.tDrop = 50;
    const Voltammogram run(app);
    const double sigma = std::exp(app.fOverRT * app.Epulse / 2);
    add({dp, planar, "mechanism 7 (EC') peak, k 1e4/s", Current, run.Peak(),
         Nfac(app) * std::sqrt(app.D(1) * 1e4) * (1 - sigma) / (1 + sigma), 0.999, 1.001,
         "nFAC sqrt(Dk)(1-s)/(1+s)"});
  }
  {
    // The reaction layer across the Nernst layer delta = D / (Levich current / nFAC).
    const Voltammogram run(With(catalysis(1, 8, 10), [](AppState& a) { a.area = 0.25; }));
    const AppState& app = run.app;
    const double D = app.D(1), k = 10, delta = D * Nfac(app) / Levich(app);
    add({sweep, "8 rotating disk", "mechanism 7 (EC') plateau, k 10/s", Current, run.Last(),
         Nfac(app) * std::sqrt(D * k) / std::tanh(delta * std::sqrt(k / D)), 0.999, 1.001,
         "nFAC sqrt(Dk) coth(delta sqrt(k/D)), 100 rpm; Levich " + Amperes(Levich(app))});
  }
  AppState complex = Experiment(2, 1, 8);
  Complex(complex);
  const Voltammogram bound(complex);
  const double id = Cottrell(complex, complex.tDrop, 3);
  add({dc, planar, "mechanism 8 (complex) plateau", Current, bound.Last(), id, 0.9999, 1.0001,
       "Cottrell of the complex"});
  add({dc, planar, "mechanism 8 (complex) half-wave", Potential, bound.Crossing(id / 2),
       LinganePotential(complex), -5e-4, 5e-4, "Lingane: E0 + RT/nF (ln Keq - p ln [D])"});
  return rows;
}

}  // namespace kivex::simulation::physics::validation
