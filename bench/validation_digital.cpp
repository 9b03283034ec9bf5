// Writes the digital-simulation table of the validation pages: every simulated value beside its
// textbook closed form and their ratio, from the experiments the tests use.
//   build-bench/bench/kivex_validation_digital > docs/validation_digital.md

#include <cmath>
#include <iostream>
#include <string>
#include <vector>

#include "model/number_format.h"
#include "support/digital_experiments.h"

namespace {

using kivex::model::AppState;
using kivex::model::FormatPattern;
using kivex::model::kFaraday;
using kivex::model::kPi;
using namespace kivex::testing;

struct Row {
  std::string experiment;
  std::string quantity;
  double simulated;
  double textbook;
  std::string pattern;  // how the two values are shown
};

std::vector<Row> Rows() {
  std::vector<Row> rows;
  const std::string amperes = "0.0000E-0";
  const std::string millivolts = "0.00";

  const AppState couple = CoupleExperiment();
  const double rt = couple.RToverF * 1e3;  // mV
  const Peak peak = ForwardPeak(Simulate(couple));
  const std::string sweep = "A + e = B, planar, 0.1 V/s, 1 mV steps";
  rows.push_back(
      {sweep, "peak current (A), Randles-Sevcik", peak.I, RandlesSevcik(couple), amperes});
  rows.push_back({sweep, "Ep - E1/2 (mV), -1.109 RT/F", peak.E * 1e3, -1.109 * rt, millivolts});

  AppState cycle = couple;
  cycle.cycles = 1;
  const Voltammogram cv = Simulate(cycle);
  const std::size_t N = static_cast<std::size_t>(cv.sweepPoints);
  rows.push_back({"the same, cycle switched 300 mV past E1/2", "peak separation (mV)",
                  (FindPeak(cv, N, cv.E.size(), -1).E - FindPeak(cv, 0, N).E) * 1e3, 57.8,
                  millivolts});

  AppState slower = couple;
  slower.D(2) = couple.D(1) / 2;
  rows.push_back({"the same, D(B) = D(A)/2", "shift of Ep (mV), (RT/2F) ln(1/2)",
                  (ForwardPeak(Simulate(slower)).E - peak.E) * 1e3, 0.5 * rt * std::log(0.5),
                  millivolts});

  Peak following[2];
  const double kfs[2] = {1e3, 1e4};
  for (int k = 0; k < 2; ++k) {
    AppState app = couple;
    app.speciesCount = 3;
    AddFirstOrder(app, 2, 3, kfs[k], 0.0);
    following[k] = ForwardPeak(Simulate(app));
  }
  const std::string ec = "A + e = B, B = C, kf 1000 /s";
  const double lambda = kfs[0] * couple.RToverF / couple.scanRate;
  rows.push_back({ec, "Ep - E0 (mV), -0.780 RT/F + (RT/2F) ln(kf RT/Fv)", following[0].E * 1e3,
                  -0.780 * rt + 0.5 * rt * std::log(lambda), millivolts});
  rows.push_back({ec, "peak / Randles-Sevcik, 0.4958/0.4463",
                  following[0].I / RandlesSevcik(couple), 0.4958 / 0.4463, "0.0000"});
  rows.push_back({"the same, kf 1000 -> 10000 /s", "shift of Ep (mV), (RT/2F) ln 10",
                  (following[1].E - following[0].E) * 1e3, 0.5 * rt * std::log(10.0), millivolts});

  AppState chain = Dc(1.0);
  chain.Eend = -0.5;
  chain.speciesCount = 3;
  AddTransfer(chain, 2, 3, -0.2);
  const Voltammogram two = Simulate(chain);
  rows.push_back({"A + e = B, B + e = C (E0 0, -0.2 V), DC 1 s", "second / first plateau",
                  two.I.back() / two.I[400], 2.0, "0.0000"});

  const AppState dc = Dc(1.0);
  rows.push_back({"A + e = B, DC, 1 s drop", "limiting current (A), Cottrell",
                  Simulate(dc).I.back(), Cottrell(dc, 1.0), amperes});

  AppState pulse = CoupleExperiment();
  pulse.technique = 3;
  pulse.Epulse = 0;
  rows.push_back({"A + e = B, normal pulse, 50 ms", "limiting current (A), Cottrell",
                  Simulate(pulse).I.back(), Cottrell(pulse, pulse.tPulse), amperes});

  const double r = 1e-4;
  const AppState sphere = SlowSweep(2, r, 4 * kPi * r * r);
  rows.push_back({"sphere r = 1 um, 10 mV/s", "plateau (A), nFADC/r", Simulate(sphere).I.back(),
                  kFaraday * sphere.area * sphere.D(1) * sphere.Cinit(1) * 1e-3 / r, amperes});
  const AppState disc = SlowSweep(4, r, kPi * r * r);
  rows.push_back({"microdisc r = 1 um, 10 mV/s", "plateau (A), 4nFDCr", Simulate(disc).I.back(),
                  4 * kFaraday * disc.D(1) * disc.Cinit(1) * 1e-3 * r, amperes});

  AppState slow = SlowSweep(2, r, 4 * kPi * r * r);
  slow.ks(1) = 1e-3;
  slow.Estart = 0.0;
  slow.Eend = -0.5;
  slow.scanRate = 0.001;
  slow.tDrop = slow.Estep / slow.scanRate;
  const Voltammogram irreversible = Simulate(slow);
  const double eta = slow.fOverRT * irreversible.E[300];
  const double kRed = slow.ks(1) * std::exp(-0.5 * eta), kOx = slow.ks(1) * std::exp(0.5 * eta);
  const double flux = slow.D(1) * slow.Cinit(1) * 1e-3 * kRed / (slow.D(1) + (kRed + kOx) * r);
  rows.push_back({"sphere r = 1 um, ks 1e-3 cm/s, at -0.3 V", "current (A), steady Butler-Volmer",
                  irreversible.I[300], kFaraday * slow.area * flux, amperes});

  auto step = [](int electrode) {
    AppState app = Dc(0.01);
    app.Estep = 0.005;
    app.electrode = static_cast<kivex::model::Count>(electrode);
    app.radius = 1e-3;
    return Simulate(app).I.back();
  };
  const double Dt = 1e-5 * 0.01, big = 1e-3;
  rows.push_back({"DC 10 ms, r = 1 mm, over planar", "sphere, 1 + sqrt(pi D t)/r",
                  step(2) / step(1), 1 + std::sqrt(kPi * Dt) / big, "0.0000"});
  rows.push_back({"DC 10 ms, r = 1 mm, over planar", "cylinder, 1 + sqrt(pi D t)/2r - D t/4r^2",
                  step(5) / step(1), 1 + std::sqrt(kPi * Dt) / (2 * big) - Dt / (4 * big * big),
                  "0.0000"});

  AppState dp = CoupleExperiment();
  dp.technique = 4;
  dp.tDrop = 0.7;
  const Peak dpPeak = FindPeak(Simulate(dp), 0, 601);
  const double sigma = std::exp(dp.fOverRT * std::fabs(dp.Epulse) / 2);
  const std::string dpText = "differential pulse, 0.7 s / 50 ms, -50 mV";
  rows.push_back(
      {dpText, "Ep - E1/2 (mV), -dE/2", dpPeak.E * 1e3, -dp.Epulse / 2 * 1e3, millivolts});
  rows.push_back({dpText, "peak (A), nFAC sqrt(D/pi tp) (s-1)/(s+1)", dpPeak.I,
                  Cottrell(dp, dp.tPulse) * (sigma - 1) / (sigma + 1), amperes});

  Peak dimer[2];
  const double ks2[2] = {1e6, 1e7};
  for (int k = 0; k < 2; ++k) {
    AppState app = couple;
    app.speciesCount = 3;
    AddSecondOrder(app, 2, 2, 3, 0, ks2[k], 0.0);
    dimer[k] = ForwardPeak(Simulate(app));
  }
  rows.push_back({"A + e = B, B + B = C, k 1e7 /M/s, 1 mM", "peak / Randles-Sevcik, 0.527/0.4463",
                  dimer[1].I / RandlesSevcik(couple), 0.527 / 0.4463, "0.0000"});
  rows.push_back({"the same, k 1e6 -> 1e7 /M/s", "shift of Ep (mV), (RT/3F) ln 10",
                  (dimer[1].E - dimer[0].E) * 1e3, rt / 3 * std::log(10.0), millivolts});
  return rows;
}

}  // namespace

int main() {
  std::cout << "# Digital simulation against closed forms\n\n"
               "Generated by `bench/validation_digital.cpp` (`kivex_validation_digital`, built "
               "with `-DKIVEX_BUILD_BENCH=ON`). Unless a row says otherwise: 1 mM of A, "
               "D = 1e-5 cm2/s for every species, ks = 1e4 cm/s, alpha 0.5, n = 1, 25 degrees, "
               "1 cm2, E0 = 0, sweep 0.3 V to -0.3 V in 1 mV steps at 0.1 V/s.\n\n"
               "| Experiment | Quantity, textbook form | Simulated | Textbook | Ratio |\n"
               "|---|---|---|---|---|\n";
  for (const Row& row : Rows()) {
    std::cout << "| " << row.experiment << " | " << row.quantity << " | "
              << FormatPattern(row.simulated, row.pattern) << " | "
              << FormatPattern(row.textbook, row.pattern) << " | "
              << FormatPattern(row.simulated / row.textbook, "0.0000") << " |\n";
  }
  std::cout << "\nThe backward-Euler time step shows where a point has few sub-steps after a "
               "potential jump: DC and normal pulse (ten sub-steps) read 2-3 % above Cottrell, "
               "the differential pulse (four sub-steps in the pulse) about 11 % above its "
               "textbook height. Sweeps, steady states and peak potentials agree to a few "
               "parts in a thousand or a fraction of a millivolt.\n";
  return 0;
}
