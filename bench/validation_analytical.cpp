// Writes the analytical-simulation table of the validation pages: each technique and electrode
// against its textbook closed form, including the approximations the method keeps, every ratio
// beside the band it must lie in. Exits with 1 if a row leaves its band.
//   build-bench/bench/kivex_validation_analytical > docs/validation_analytical.md

#include <iostream>
#include <string>

#include "model/number_format.h"
#include "model/number_text.h"
#include "simulation/analytical_validation.h"

using kivex::model::AppState;
using namespace kivex::simulation::physics;
using namespace kivex::simulation::physics::validation;
namespace model = kivex::model;

namespace {

std::string Volts(double value) { return model::FormatPattern(value, "0.0000") + " V"; }

std::string Cell(const ValidationRow& row, double value) {
  return row.kind == Kind::Current ? Amperes(value) : Volts(value);
}

std::string Comparison(const ValidationRow& row) {
  if (row.kind == Kind::Current) return model::FormatPattern(row.Measure(), "0.0000");
  return model::FormatPattern(row.Measure() * 1000, "0.0") + " mV";
}

}  // namespace

int main() {
  std::cout
      << "# Analytical simulation against closed forms\n\n"
         "Defaults unless a row says otherwise: n = 1, A = 1 cm2 (micro electrodes: the area "
         "the Instrument dialog computes), C = 1 mM, D = 1e-5 cm2/s, E0 = 0.1 V, ks = 1e4 cm/s, "
         "alpha = 0.5, 0.3 V to -0.3 V in 5 mV steps, v = 10 mV/s, tDrop = 0.5 s, "
         "tPulse = 0.05 s, Epulse = -50 mV, 25 C; cylinders and bands 0.1 mm long. Currents "
         "compare as a ratio (simulated / reference), potentials as a difference. Every "
         "reference is computed apart from the program: a closed form, a quadrature of one "
         "(Jaeger-Clarke, Duhamel's integral), or for the band a boundary-integral solution. "
         "Rows marked kept are approximations the method makes on purpose; their ratio shows "
         "how far they go.\n\n"
         "What each technique simulates: DC, normal pulse and differential pulse start every "
         "point from a fresh diffusion layer (a renewed electrode, like a static mercury drop); "
         "the sweeps and square wave carry the diffusion layer on from point to point.\n\n"
         "The Mechanism dialog offers the analytical route for mechanisms 1, 4 and 7 only "
         "(2, 3, 5, 6 and 8 are greyed): their rows check the current functions the program "
         "holds, which a user cannot select. Those schemes are simulated on the digital route, "
         "written in the Mechanism dialog's boxes.\n\n"
         "Written by `build-bench/bench/kivex_validation_analytical > "
         "docs/validation_analytical.md` (bench/validation_analytical.cpp, built with "
         "`-DKIVEX_BUILD_BENCH=ON`), which exits non-zero if a row leaves its band.\n\n"
         "| Technique | Electrode | Quantity | Simulated | Reference | Ratio or difference | "
         "Reference and notes |\n"
         "|---|---|---|---|---|---|---|\n";
  int outside = 0;
  for (const ValidationRow& row : AnalyticalValidationRows()) {
    if (!row.WithinBand()) {
      ++outside;
      std::cerr << "outside its band [" << model::ShortestText(row.low) << ", "
                << model::ShortestText(row.high) << "]: " << row.technique << " | " << row.electrode
                << " | " << row.quantity << " | " << Comparison(row) << "\n";
    }
    std::cout << "| " << row.technique << " | " << row.electrode << " | " << row.quantity << " | "
              << Cell(row, row.simulated) << " | " << Cell(row, row.textbook) << " | "
              << Comparison(row) << " | " << row.note << " |\n";
  }

  // The combinations without a current function: checked to give no faradaic current.
  std::cout << "\nThe analytical route has no current function for these combinations; a run "
               "gives no faradaic current (checked: every point 0):\n\n"
               "| Technique | Electrode | Offered |\n|---|---|---|\n";
  const int refused[][2] = {{3, 8}, {3, 9}, {4, 8}, {4, 9}, {5, 7}, {5, 8}, {5, 9}};
  const char* techniques[] = {
      "", "1 sweep", "2 DC", "3 normal pulse", "4 differential pulse", "5 square wave"};
  for (const auto& c : refused) {
    AppState app = At(c[0], c[1]);
    Voltammogram run(app);
    for (int i = 1; i <= run.count(); ++i) {
      if (run.y(i) != 0) {
        ++outside;
        std::cerr << "refused combination " << c[0] << c[1] << " gives a current\n";
        break;
      }
    }
    std::cout << "| " << techniques[c[0]] << " | " << ElectrodeName(c[1]) << " | "
              << (c[0] == 5 && c[1] == 7 ? "square wave is offered at electrodes 1-6 only"
                                         : "pulse techniques are offered at electrodes 1-7 only")
              << " |\n";
  }
  return outside == 0 ? 0 : 1;
}
