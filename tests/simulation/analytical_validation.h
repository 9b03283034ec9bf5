#pragma once
// The analytical simulation against its closed forms, one row per comparison with the band it
// must lie in: the table of docs/validation_analytical.md (bench/validation_analytical.cpp writes
// it) and, for every row that is exact physics rather than a kept approximation, a test
// (analytical_physics_test.cpp).

#include <cmath>
#include <string>
#include <vector>

#include "model/number_format.h"
#include "model/number_text.h"
#include "simulation/analytical_experiment.h"
#include "support/closed_forms.h"

namespace kivex::simulation::physics::validation {

using model::AppState;

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
  bool WithinBand() const {
    const double measure = Measure();
    return measure >= low && measure <= high;
  }
  // An approximation the method makes on purpose, marked so in its note: the page shows how far
  // it goes, no test holds the program to it.
  bool Kept() const { return note.find("kept:") != std::string::npos; }
};

inline std::string Amperes(double value) { return model::FormatPattern(value, "0.####E-0") + " A"; }
inline std::string Volts(double value) { return model::FormatPattern(value, "0.0000") + " V"; }

inline std::string Cell(const ValidationRow& row, double value) {
  return row.kind == Kind::Current ? Amperes(value) : Volts(value);
}

inline std::string Comparison(const ValidationRow& row) {
  if (row.kind == Kind::Current) return model::FormatPattern(row.Measure(), "0.0000");
  return model::FormatPattern(row.Measure() * 1000, "0.0") + " mV";
}

// The potential where a curve first reaches `level`, the half-wave for half the plateau.
inline double HalfWave(const Voltammogram& run, double plateau) {
  return run.Crossing(plateau / 2);
}

inline double Last(const Voltammogram& run) { return run.y(run.count()); }

// Flux of the electrodes' diffusion-limited step currents over n F A C (cm/s), from the closed
// forms: the sphere exact, the disc by Shoup and Szabo, the cylinder's side by Jaeger and Clarke
// with its flat end as a disc (the dialog's area pi r^2 + 2 pi r L), the film by its images.
struct Fluxes {
  const AppState& app;
  const JaegerClarkeTable& jc;

  double Planar(double t) const { return std::sqrt(app.D(1) / (kPiTrue * t)); }
  double Sphere(double t) const { return Planar(t) + app.D(1) / app.radius; }
  double Disc(double t) const {
    const double r = app.radius, tau = 4 * app.D(1) * t / (r * r);
    const double f = 0.7854 + 0.8862 / std::sqrt(tau) + 0.2146 * std::exp(-0.7823 / std::sqrt(tau));
    return 4 * app.D(1) * r * f / (kPiTrue * r * r);
  }
  double Cylinder(double t) const {
    const double r = app.radius, L = app.length, D = app.D(1);
    const double side = 2 * kPiTrue * r * L, end = kPiTrue * r * r;
    return (side * D / r * jc(D * t / (r * r)) + end * Disc(t)) / (side + end);
  }
  // The band's far field is a hemicylinder of radius w / 4 (conformal map), exact at long times.
  double BandFarField(double t) const {
    const double r0 = app.radius;  // the committed radius holds w / 4
    return kPiTrue * app.D(1) * jc(app.D(1) * t / (r0 * r0)) / (4 * r0);
  }
  double Film(double t) const {
    double sum = 1;
    for (int k = 1; k <= 60; ++k) {
      sum += 2 * (k % 2 ? -1 : 1) * std::exp(-k * k * app.length * app.length / (app.D(1) * t));
    }
    return Planar(t) * sum;
  }
};

inline std::string ElectrodeName(int electrode) {
  static const char* names[] = {
      "",           "1 planar",       "2 sphere", "3 hemisphere",    "4 microdisc",
      "5 cylinder", "6 hemicylinder", "7 band",   "8 rotating disk", "9 thin film"};
  return names[electrode];
}

// The electrodes with their micro sizes: sphere and hemisphere r 10 um, disc and cylinder r 5 um
// (cylinder 0.1 mm long), band w 10 um (0.1 mm long), with the areas the dialog computes.
inline AppState At(int technique, int electrode, int mechanism = 1) {
  AppState app = Experiment(technique, electrode, mechanism);
  const double r = electrode == 2 || electrode == 3 ? 1e-3 : 5e-4;
  switch (electrode) {
    case 2:
      app.radius = r;
      app.area = 4 * kPiTrue * r * r;
      break;
    case 3:
      app.radius = r;
      app.area = 2 * kPiTrue * r * r;
      break;
    case 4:
      app.radius = r;
      app.area = kPiTrue * r * r;
      break;
    case 5:
      app.radius = r;
      app.area = kPiTrue * r * r + 2 * kPiTrue * r * app.length;
      break;
    case 6:
      app.radius = r;
      app.area = kPiTrue * r * r / 2 + kPiTrue * r * app.length;
      break;
    case 7:
      app.radius = 2.5e-4;
      app.area = 1e-3 * app.length;
      break;
    default: break;
  }
  return app;
}

inline std::vector<ValidationRow> AnalyticalValidationRows() {
  std::vector<ValidationRow> rows;
  const JaegerClarkeTable jc;

  // Linear sweep, planar: the sweep factor at every step.
  for (double step : {0.001, 0.002, 0.005, 0.01}) {
    AppState app = Experiment(1, 1);
    app.Estep = step;
    app.tDrop = step / app.scanRate;
    Voltammogram run(app);
    rows.push_back({"1 sweep", "1 planar",
                    "reversible peak, E step " + model::FormatPattern(step * 1000, "0") + " mV",
                    Kind::Current, run.Peak(), RandlesSevcik(app), 0.99, 1.01,
                    "Randles-Sevcik; L1 half-order derivative, first order in the step"});
    if (step == 0.005) {
      rows.push_back({"1 sweep", "1 planar", "reversible peak potential", Kind::Potential,
                      run.x(run.PeakIndex()), app.E0(1) - 1.109 / app.fOverRT, -0.005, 0.005,
                      "E1/2 - 1.109 RT/F, on the 5 mV grid"});
    }
  }
  {
    AppState app = Experiment(1, 1);
    app.Estep = 0.001;
    app.tDrop = 0.1;
    app.cycles = 1;
    Voltammogram run(app);
    const int n = run.curves.sweepPointCount;
    const int anodic = run.ReversePeakIndex();
    rows.push_back({"1 cyclic", "1 planar", "peak separation (1 mV step)", Kind::Potential,
                    run.x(anodic) - run.x(run.PeakIndex(1, n)), 2.218 / app.fOverRT, -0.0015,
                    0.0015, "2.218 RT/nF"});
  }
  for (double step : {0.001, 0.002, 0.005}) {
    AppState app = Experiment(1, 1);
    app.ks(1) = 1e-5;
    app.Eend = -0.9;
    app.Estep = step;
    app.tDrop = step / app.scanRate;
    Voltammogram run(app);
    const std::string at = ", E step " + model::FormatPattern(step * 1000, "0") + " mV";
    const double b = app.alpha(1) * app.n(1) * app.fOverRT;
    const double Ep =
        app.E0(1) -
        (0.780 + std::log(std::sqrt(app.D(1)) / app.ks(1)) + 0.5 * std::log(b * app.scanRate)) / b;
    rows.push_back({"1 sweep", "1 planar", "irreversible peak, ks 1e-5 cm/s" + at, Kind::Current,
                    run.Peak(), IrreversibleSweepPeak(app), 0.98, 1.02,
                    "0.4958 nFAC sqrt(alpha n f v D); the convolution equation with "
                    "Butler-Volmer kinetics"});
    rows.push_back({"1 sweep", "1 planar", "irreversible peak potential" + at, Kind::Potential,
                    run.InterpolatedPeak().first, Ep, -0.003, 0.003,
                    "E0 - RT/(alpha nF) (0.780 + ln(sqrt(D)/ks) + ln sqrt(alpha nf v)), "
                    "between grid points"});
  }
  {
    // The digital route models the same cell; at 0.5 mV steps its lagged drop has converged.
    AppState digital = Experiment(1, 1);
    digital.digital = true;
    digital.Ru = 2000;
    digital.Estep = 0.0005;
    digital.tDrop = digital.Estep / digital.scanRate;
    const Voltammogram reference(digital);
    for (double step : {0.001, 0.002, 0.005}) {
      AppState app = Experiment(1, 1);
      app.Ru = 2000;
      app.Estep = step;
      app.tDrop = step / app.scanRate;
      Voltammogram run(app);
      const std::string at = ", E step " + model::FormatPattern(step * 1000, "0") + " mV";
      rows.push_back({"1 sweep", "1 planar", "reversible peak with Ru 2000 ohm" + at, Kind::Current,
                      run.Peak(), reference.InterpolatedPeak().second, 0.99, 1.01,
                      "the digital route at 0.5 mV steps (its peak without Ru is within 0.15 % of "
                      "Randles-Sevcik)"});
      rows.push_back({"1 sweep", "1 planar", "its peak potential" + at, Kind::Potential,
                      run.InterpolatedPeak().first, reference.InterpolatedPeak().first, -0.002,
                      0.002, "the same digital run"});
    }
    digital.Ru = 500;
    const Voltammogram reference500(digital);
    AppState app = Experiment(1, 1);
    app.Ru = 500;
    Voltammogram run(app);
    rows.push_back({"1 sweep", "1 planar", "peak potential with Ru 500 ohm, E step 5 mV",
                    Kind::Potential, run.InterpolatedPeak().first,
                    reference500.InterpolatedPeak().first, -0.002, 0.002,
                    "the digital route at 0.5 mV steps"});
  }
  {
    AppState app = At(1, 2);
    app.radius = 1e-4;
    app.area = 4 * kPiTrue * 1e-8;
    Voltammogram run(app);
    rows.push_back({"1 sweep", "2 sphere r 1 um", "plateau", Kind::Current, Last(run),
                    Nfac(app) * app.D(1) / app.radius, 0.995, 1.01, "nFADC/r"});
  }
  {
    // Positive-going, the couple pre-equilibrated at -0.3 V: the solution is B, oxidised.
    AppState app = At(1, 2);
    app.radius = 1e-4;
    app.area = 4 * kPiTrue * 1e-8;
    app.Estart = -0.3;
    app.Eend = 0.3;
    app.Cinit(2) = 1e-3 / (1 + std::exp(app.fOverRT * (app.Estart - app.E0(1))));
    app.Cinit(1) = 1e-3 - app.Cinit(2);
    Voltammogram run(app);
    AppState b = app;
    b.Cinit(1) = app.Cinit(2);
    rows.push_back({"1 sweep", "2 sphere r 1 um", "oxidation plateau (positive-going)",
                    Kind::Current, Last(run), -Nfac(b) * app.D(2) / app.radius, 0.995, 1.01,
                    "-nFAD C(B) / r"});
  }
  {
    AppState app = At(1, 3);
    app.radius = 1e-4;
    app.area = 2 * kPiTrue * 1e-8;
    Voltammogram run(app);
    rows.push_back({"1 sweep", "3 hemisphere r 1 um", "plateau", Kind::Current, Last(run),
                    Nfac(app) * app.D(1) / app.radius, 0.995, 1.01, "nFADC/r = 2 pi nFDCr"});
  }
  {
    AppState app = At(1, 4);
    Voltammogram run(app);
    rows.push_back({"1 sweep", "4 microdisc r 5 um", "plateau", Kind::Current, Last(run),
                    DiscSteadyState(app), 0.995, 1.02,
                    "4nFDCr; the disc is a sphere of radius pi r / 4"});
  }
  for (int electrode : {5, 6}) {
    AppState app = At(1, electrode);
    Voltammogram run(app);
    const Fluxes f{app, jc};
    rows.push_back({"1 sweep", ElectrodeName(electrode) + " r 5 um", "peak", Kind::Current,
                    run.Peak(), NernstianSweepPeak(app, [&f](double t) { return f.Cylinder(t); }),
                    0.98, 1.02,
                    "Duhamel's integral of the Jaeger-Clarke step current (side) and Shoup-Szabo "
                    "(end) over the continuous ramp"});
  }
  {
    AppState app = At(1, 7);
    Voltammogram run(app);
    const Fluxes f{app, jc};
    rows.push_back({"1 sweep", "7 band w 10 um", "peak", Kind::Current, run.Peak(),
                    NernstianSweepPeak(app, [&f](double t) { return f.BandFarField(t); }), 0.98,
                    1.02,
                    "Duhamel's integral of the hemicylinder of radius w/4, the band's far field "
                    "(theta = Dt/w^2 near 200 at the peak)"});
  }
  {
    AppState app = Experiment(1, 8);
    Voltammogram run(app);
    rows.push_back({"1 sweep", "8 rotating disk", "plateau", Kind::Current, Last(run), Levich(app),
                    0.9999, 1.0001, "Levich, 100 rpm"});
  }
  for (double l : {0.001, 0.01, 0.1}) {
    AppState app = Experiment(1, 9);
    app.length = l;
    Voltammogram run(app);
    const Fluxes f{app, jc};
    const std::string film = "9 thin film " + model::FormatPattern(l * 1e4, "0") + " um";
    if (l == 0.001) {
      rows.push_back({"1 sweep", film, "peak", Kind::Current, run.Peak(), ThinLayerPeak(app), 0.98,
                      1.02, "thin layer n^2 F^2 v V C / 4RT, V = A l"});
      rows.push_back({"1 sweep", film, "peak potential", Kind::Potential,
                      run.InterpolatedPeak().first, app.E0(1), -0.003, 0.003,
                      "thin layer peaks at E0"});
    } else {
      rows.push_back({"1 sweep", film, "peak", Kind::Current, run.Peak(),
                      NernstianSweepPeak(app, [&f](double t) { return f.Film(t); }), 0.98, 1.02,
                      l > 0.05 ? "Duhamel's integral of the film's image series; Randles-Sevcik "
                                 "8.4955E-5 A"
                               : "Duhamel's integral of the film's image series"});
    }
  }

  // DC (sampled current): every point a fresh step to its potential, sampled at tDrop.
  {
    AppState app = Experiment(2, 1);
    Voltammogram run(app);
    const double id = Cottrell(app, app.tDrop);
    rows.push_back({"2 DC", "1 planar", "plateau", Kind::Current, Last(run), id, 0.9999, 1.0001,
                    "Cottrell at tDrop"});
    rows.push_back({"2 DC", "1 planar", "half-wave potential", Kind::Potential, HalfWave(run, id),
                    app.E0(1), -1e-4, 1e-4, "E0 (equal D)"});
  }
  // Step techniques at the micro electrodes: the plateau against the electrode's
  // chronoamperometric current at the sampling time.
  for (int technique : {2, 3}) {
    const char* name = technique == 2 ? "2 DC" : "3 normal pulse";
    for (int electrode = 2; electrode <= 7; ++electrode) {
      AppState app = At(technique, electrode);
      Voltammogram run(app);
      const double t = technique == 2 ? app.tDrop : app.tPulse;
      const Fluxes f{app, jc};
      double expected = 0, low = 0.995, high = 1.005;
      std::string note;
      switch (electrode) {
        case 2:
        case 3:
          expected = f.Sphere(t);
          low = 0.9999, high = 1.0001;
          note = "nFAC (sqrt(D/pi t) + D/r), exact";
          break;
        case 4:
          expected = f.Disc(t);
          low = 0.995, high = technique == 2 ? 1.03 : 1.06;
          note = technique == 2
                     ? "Shoup-Szabo (tau = 4Dt/r^2 = 80); kept: the disc is a sphere of radius "
                       "pi r/4, exact in its steady state, 1.7 % high here"
                     : "Shoup-Szabo at tau = 8; kept: the sphere of radius pi r/4 runs 4 % high at "
                       "short times";
          break;
        case 5:
        case 6:
          expected = f.Cylinder(t);
          note = "Jaeger-Clarke (tau = Dt/r^2 = " +
                 model::ShortestText(std::round(app.D(1) * t / 25e-8 * 1000) / 1000) +
                 ") on the side, Shoup-Szabo on the end";
          break;
        case 7:
          expected = app.D(1) * BandReferenceAt(app.D(1) * t / 1e-6) / 1e-3;
          note = "boundary-integral solution of the band (theta = Dt/w^2 = " +
                 model::ShortestText(std::round(app.D(1) * t / 1e-6 * 1000) / 1000) +
                 "); Aoki's long time " + Amperes(BandLongTime(app, t, 1e-3));
          break;
        default: break;
      }
      rows.push_back({name,
                      ElectrodeName(electrode) + (electrode == 7 ? " w 10 um" : " r") +
                          (electrode == 2 || electrode == 3 ? " 10 um"
                           : electrode == 7                 ? ""
                                                            : " 5 um"),
                      "plateau", Kind::Current, Last(run), Nfac(app) * expected, low, high, note});
    }
  }
  for (double t : {10.0, 1e4}) {
    AppState app = At(2, 4);
    app.tDrop = t;
    Voltammogram run(app);
    rows.push_back({"2 DC", "4 microdisc r 5 um", "plateau at " + model::ShortestText(t) + " s",
                    Kind::Current, Last(run), ShoupSzabo(app, t), 0.995, 1.01,
                    "Shoup-Szabo (tau = 4Dt/r^2 = 1600, 1.6e6); the sphere of radius pi r/4 "
                    "approaches it from above"});
  }
  {
    AppState app = Experiment(2, 8);
    Voltammogram run(app);
    rows.push_back({"2 DC", "8 rotating disk", "plateau", Kind::Current, Last(run), Levich(app),
                    0.9999, 1.0001, "Levich"});
    rows.push_back({"2 DC", "8 rotating disk", "half-wave potential", Kind::Potential,
                    HalfWave(run, Levich(app)), app.E0(1), -2e-4, 2e-4, "E0"});
  }
  for (double l : {0.01, 0.001}) {
    AppState app = Experiment(2, 9);
    app.length = l;
    Voltammogram run(app);
    const Fluxes f{app, jc};
    rows.push_back({"2 DC", "9 thin film " + model::FormatPattern(l * 1e4, "0") + " um", "plateau",
                    Kind::Current, Last(run), Nfac(app) * f.Film(app.tDrop), 0.999, 1.001,
                    l > 0.005 ? "image series: the film (l^2/D = 10 s) is not yet exhausted, "
                                "Cottrell"
                              : "image series: the film (l^2/D = 0.1 s) is exhausted"});
  }
  for (double Ru : {50.0, 2000.0}) {
    AppState app = Experiment(2, 1);
    app.Ru = Ru;
    Voltammogram run(app);
    const double id = Cottrell(app, app.tDrop);
    rows.push_back({"2 DC", "1 planar",
                    "half-wave with Ru " + model::FormatPattern(Ru, "0") + " ohm", Kind::Potential,
                    run.Crossing(id / 2), app.E0(1) - id * Ru / 2, -5e-4, 5e-4,
                    "E0 - i_d Ru / 2; the drop solved at each point"});
  }

  // Normal pulse.
  {
    AppState app = Experiment(3, 1);
    Voltammogram run(app);
    const double id = Cottrell(app, app.tPulse);
    rows.push_back({"3 normal pulse", "1 planar", "plateau", Kind::Current, Last(run), id, 0.9999,
                    1.0001, "Cottrell at tPulse"});
    rows.push_back({"3 normal pulse", "1 planar", "half-wave potential", Kind::Potential,
                    HalfWave(run, id), app.E0(1) - app.Epulse, -1e-4, 1e-4, "E0 - Epulse"});
  }

  // Differential pulse: with a long period the base current's decay is negligible and the peak
  // is the electrode's step current at tPulse times (1 - s) / (1 + s), s = exp(nf dE / 2).
  for (double tDrop : {0.5, 50.0}) {
    AppState app = Experiment(4, 1);
    app.tDrop = tDrop;
    Voltammogram run(app);
    const bool period = tDrop > 1;
    rows.push_back({"4 differential pulse", "1 planar",
                    "peak, period " + model::ShortestText(tDrop) + " s", Kind::Current, run.Peak(),
                    DifferentialPulsePeak(app), period ? 0.9999 : 0.95, period ? 1.0001 : 0.99,
                    period ? "nFAC sqrt(D/pi tp)(1-s)/(1+s)"
                           : "kept: each point starts from a fresh layer, so the base current "
                             "decays over the pulse, which the textbook form leaves out"});
    if (!period) {
      rows.push_back({"4 differential pulse", "1 planar", "peak potential", Kind::Potential,
                      run.x(run.PeakIndex()), app.E0(1) - app.Epulse / 2, -1e-9, 1e-9,
                      "E1/2 - dE/2"});
      rows.push_back({"4 differential pulse", "1 planar", "baseline after the wave", Kind::Current,
                      Last(run), -Cottrell(app, app.tDrop - app.tPulse) + Cottrell(app, app.tDrop),
                      0.999, 1.001,
                      "i_d(tDrop) - i_d(tDrop - tp): the base current's decay over the pulse"});
    }
  }
  for (int electrode = 2; electrode <= 7; ++electrode) {
    AppState app = At(4, electrode);
    app.tDrop = 50;
    Voltammogram run(app);
    const Fluxes f{app, jc};
    const double t = app.tPulse;
    double flux = 0, low = 0.995, high = 1.005;
    std::string note = "step current at tp times (1-s)/(1+s): ";
    switch (electrode) {
      case 2:
      case 3: flux = f.Sphere(t), low = 0.999, high = 1.001, note += "sphere, exact"; break;
      case 4:
        flux = f.Disc(t), low = 0.995, high = 1.06;
        note += "Shoup-Szabo at tau 8; kept: the disc as a sphere of radius pi r/4, high early";
        break;
      case 5:
      case 6: flux = f.Cylinder(t), note += "Jaeger-Clarke side, Shoup-Szabo end"; break;
      case 7:
        flux = app.D(1) * BandReferenceAt(app.D(1) * t / 1e-6) / 1e-3;
        note += "band, boundary-integral solution";
        break;
      default: break;
    }
    const double sigma = std::exp(app.fOverRT * app.Epulse / 2);
    rows.push_back({"4 differential pulse", ElectrodeName(electrode), "peak, period 50 s",
                    Kind::Current, run.Peak(), Nfac(app) * flux * (1 - sigma) / (1 + sigma), low,
                    high, note});
  }

  // Square wave.
  for (double Epulse : {-0.05, -0.01, -0.1}) {
    AppState app = Experiment(5, 1);
    app.Epulse = Epulse;
    Voltammogram run(app);
    rows.push_back({"5 square wave", "1 planar",
                    "net peak, E pulse " + model::FormatPattern(Epulse * 1000, "0") + " mV",
                    Kind::Current, run.Peak(), SquareWaveNetPeak(app, run.count()), 0.98, 1.02,
                    "superposition of the half-period steps over the staircase (5 mV steps, "
                    "tPulse 0.05 s)"});
  }
  {
    AppState app = Experiment(5, 1);
    app.ks(1) = 1;
    Voltammogram run(app);
    rows.push_back({"5 square wave", "1 planar", "net peak, ks 1 cm/s", Kind::Current, run.Peak(),
                    SquareWaveNetPeak(app, run.count()), 0.998, 1.002,
                    "the same superposition; the program solves the convolution equation over the "
                    "waveform for any finite rate"});
  }
  {
    AppState app = Experiment(5, 1);
    Voltammogram run(app);
    rows.push_back({"5 square wave", "1 planar", "peak potential", Kind::Potential,
                    run.x(run.PeakIndex()), app.E0(1), -1e-9, 1e-9, "E1/2"});
  }
  for (int electrode = 2; electrode <= 6; ++electrode) {
    AppState app = At(5, electrode);
    Voltammogram run(app);
    const Fluxes f{app, jc};
    double expected = 0, high = 1.02;
    std::string note = "the same superposition with the electrode's step current: ";
    switch (electrode) {
      case 2:
      case 3:
        expected = SquareWaveNetPeak(app, run.count(), [&f](double t) { return f.Sphere(t); });
        note += "sphere";
        break;
      case 4:
        expected = SquareWaveNetPeak(app, run.count(), [&f](double t) { return f.Disc(t); });
        high = 1.06;
        note += "Shoup-Szabo; kept: the disc as a sphere of radius pi r/4, high early";
        break;
      default:
        expected = SquareWaveNetPeak(app, run.count(), [&f](double t) { return f.Cylinder(t); });
        note += "Jaeger-Clarke side, Shoup-Szabo end";
        break;
    }
    rows.push_back({"5 square wave", ElectrodeName(electrode), "net peak", Kind::Current,
                    run.Peak(), expected, 0.98, high, note});
  }

  // Mechanisms.
  {
    AppState app = Experiment(2, 1, 2);
    Voltammogram run(app);
    const double id = Cottrell(app, app.tDrop);
    rows.push_back({"2 DC", "1 planar", "mechanism 2 (EE): both waves", Kind::Current, Last(run),
                    2 * id, 0.49, 0.51,
                    "2 i_d; kept: the second step sees only B present at the start"});
  }
  {
    AppState app = Experiment(2, 1, 3);
    Voltammogram run(app);
    rows.push_back({"2 DC", "1 planar", "mechanism 3 (EEE): all waves", Kind::Current, Last(run),
                    3 * Cottrell(app, app.tDrop), 0.32, 0.34,
                    "3 i_d; kept: later steps see only what is present at the start"});
  }
  {
    AppState app = Experiment(2, 1, 4);
    app.Cinit(3) = 1e-3;
    Voltammogram run(app);
    rows.push_back({"2 DC", "1 planar", "mechanism 4 (two couples): both waves", Kind::Current,
                    Last(run), Cottrell(app, app.tDrop) + Cottrell(app, app.tDrop, 3), 0.999, 1.001,
                    "i_d(A) + i_d(C); the second wave (E0 -0.1 V) is 0.9996 complete at "
                    "-0.3 V"});
  }
  {
    // C = A with K = 1: half of the substance is A at equilibrium.
    AppState app = Experiment(2, 1, 5);
    app.kf(1) = 10;
    app.kb(1) = 10;
    app.Cinit(1) = 0.5e-3;
    app.Cinit(3) = 0.5e-3;
    Voltammogram run(app);
    AppState total = app;
    total.Cinit(1) = 1e-3;
    const double expected = Cottrell(total, app.tDrop) * PrecedingReactionRatio(1, 20, app.tDrop);
    rows.push_back({"2 DC", "1 planar", "mechanism 5 (CE), kf = kb = 10/s", Kind::Current,
                    Last(run), expected, 0.5, 0.56,
                    "Koutecky's CE current; kept: only the A present at the start reacts"});
  }
  {
    AppState app = Experiment(2, 1, 6);
    Voltammogram run(app);
    const double id = Cottrell(app, app.tDrop);
    rows.push_back({"2 DC", "1 planar", "mechanism 6 (EC) half-wave, kf 10/s", Kind::Potential,
                    HalfWave(run, id),
                    app.E0(1) + FollowingReactionShift(app, app.kf(1) + app.kb(1), app.tDrop),
                    -0.05, -0.035,
                    "E0 + RT/F ln(sqrt(kt)/0.431); kept: the following step does not move the "
                    "wave"});
  }
  for (int technique : {2, 3}) {
    AppState app = Experiment(technique, 1, 7);
    Voltammogram run(app);
    const double k = app.kf(1) + app.kb(1);
    const double t = technique == 2 ? app.tDrop : app.tPulse;
    rows.push_back({technique == 2 ? "2 DC" : "3 normal pulse", "1 planar",
                    "mechanism 7 (EC') plateau, k 10/s", Kind::Current, Last(run),
                    Cottrell(app, t) * CatalyticRatio(k, t), 0.98, 1.02,
                    "Delahay-Stiehl: Cottrell (sqrt(pi) S erf S + exp(-S^2)), S = sqrt(kt)"});
  }
  {
    AppState app = Experiment(1, 1, 7);
    Voltammogram run(app);
    const double k = app.kf(1) + app.kb(1);
    rows.push_back({"1 sweep", "1 planar", "mechanism 7 (EC') current at the end", Kind::Current,
                    Last(run), Nfac(app) * std::sqrt(app.D(1) * k), 1.0, 1.15,
                    "nFAC sqrt(Dk), fast catalysis; kept: plus the decaying diffusion sweep"});
  }
  {
    AppState app = Experiment(4, 1, 7);
    app.kf(1) = 1e4;
    app.kb(1) = 0;
    app.tDrop = 50;
    Voltammogram run(app);
    const double sigma = std::exp(app.fOverRT * app.Epulse / 2);
    rows.push_back({"4 differential pulse", "1 planar", "mechanism 7 (EC') peak, k 1e4/s",
                    Kind::Current, run.Peak(),
                    Nfac(app) * std::sqrt(app.D(1) * 1e4) * (1 - sigma) / (1 + sigma), 0.999, 1.001,
                    "nFAC sqrt(Dk)(1-s)/(1+s)"});
  }
  {
    AppState app = Experiment(2, 1, 8);
    app.Keq(1) = 1e-6;
    app.Cinit(1) = 1e-8;
    app.Cinit(3) = 1e-3;
    app.Cinit(4) = 0.1;
    app.Eend = -0.6;
    Voltammogram run(app);
    const double id = Cottrell(app, app.tDrop, 3);
    rows.push_back({"2 DC", "1 planar", "mechanism 8 (complex) plateau", Kind::Current, Last(run),
                    id, 0.9999, 1.0001, "Cottrell of the complex"});
    rows.push_back({"2 DC", "1 planar", "mechanism 8 (complex) half-wave", Kind::Potential,
                    HalfWave(run, id), LinganePotential(app), -5e-4, 5e-4,
                    "Lingane: E0 + RT/nF (ln Keq - p ln [D])"});
  }
  return rows;
}

}  // namespace kivex::simulation::physics::validation
