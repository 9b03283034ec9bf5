#pragma once
// Textbook peak (or half-wave) potentials and peak (or limiting) currents of every charge
// reaction, for a reversible and an irreversible electron transfer, from the committed parameters
// alone: a check of simulated and measured curves. Planar linear sweep uses Randles-Sevcik
// (0.4463 n F A C sqrt(n f v D)) and its irreversible form (0.4958, with alpha); DC and normal
// pulse use Cottrell at the drop or pulse time; differential pulse and square wave use the
// reversible pulse formula with sigma = exp(n f dE / 2); microelectrodes add their steady-state
// terms; the catalytic mechanism uses the kinetic current Q sqrt(D (kf + kb)).
//
// Reaction j runs from its oxidised form O to its reduced form R. The current scale is
// Q = 0.001 n F A (C_O + C_R) (mol/L to mol/cm3) and the reversible half-wave potential
// E1/2 = E0 + ln(D_R / D_O) / (2 n f).

#include <optional>
#include <string>
#include <vector>

#include "model/app_state.h"

namespace kivex::analysis {

// A value the formulas do not define for the technique, electrode and mechanism, or cannot
// compute from the values given (a zero or negative quantity under a root, a logarithm or a
// division), has no value and is reported as "-".
struct TheoreticalPeak {
  std::optional<double> Erev;
  std::optional<double> Irev;
  std::optional<double> Eirr;
  std::optional<double> Iirr;
};

TheoreticalPeak ComputeTheoreticalPeak(const model::AppState& app, int reaction);

// The heading "Theoretical limiting current:" and two lines per charge reaction. Potentials are
// written "0.####", currents "0.####E-0"; the labels are Ep and Ip, or E1/2 and Id for DC and
// normal pulse voltammetry.
std::vector<std::string> TheoreticalPeakReport(const model::AppState& app);

}  // namespace kivex::analysis
