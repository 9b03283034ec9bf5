#pragma once
// The electrode potential of a step through an uncompensated resistance Ru: the root of
//     g(E) = E - applied - Ru I(E),
// I(E) being the current of this very step with the electrode at E (reduction positive). I falls
// as E rises, so g rises with a slope of at least 1 and has exactly one root, between the applied
// potential and the potential at which the step's current vanishes; the current there is
// bounded by |E - applied| / Ru, whatever Ru.
//
// Newton steps from a guess (the previous step's drop), safeguarded by the bracket that every
// evaluation narrows: a step that leaves the bracket bisects it, and until both sides are known
// a step goes at most 0.1 V, then twice as far each time, so the search never evaluates the
// current far beyond the root, where a rate constant would overflow.
//
//   const double E = SolveElectrodePotential(applied, applied + lastDrop, Ru, lowest, highest,
//                                            [&](double E, double& I, double& dIdE) {...});

#include <cmath>
#include <limits>

#include "model/failure.h"

namespace kivex::simulation {

inline constexpr double kOhmicTolerance = 1e-12;  // V, on the electrode potential
inline constexpr int kOhmicIterations = 100;
inline constexpr char kNoOhmicRoot[] = "No electrode potential satisfies the ohmic drop";

// `current(E, I, dIdE)` sets the step's current at E and its slope. The search stays inside
// [lowest, highest], where the current can be evaluated; a root beyond it gives the nearer end.
template <typename Current>
double SolveElectrodePotential(double applied, double guess, double Ru, double lowest,
                               double highest, Current&& current) {
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  double below = -kInfinity;  // g < 0 here
  double above = kInfinity;   // g > 0 here
  double reach = 0.1;         // V, the longest step while one side is still open
  double E = std::fmin(std::fmax(guess, lowest), highest);
  double lastStep = 0.0;
  for (int iteration = 0; iteration < kOhmicIterations; ++iteration) {
    double I = 0.0;
    double dIdE = 0.0;
    current(E, I, dIdE);
    const double g = E - applied - Ru * I;
    if (g == 0.0) return E;
    if (g < 0.0) {
      below = E;
    } else {
      above = E;
    }
    const double slope = std::fmax(1.0 - Ru * dIdE, 1.0);
    double next = E - g / slope;
    if (std::isfinite(below) && std::isfinite(above)) {
      if (!(next > below && next < above)) next = 0.5 * (below + above);
      if (above - below <= kOhmicTolerance) return next;
    } else {
      if (std::fabs(next - E) > reach) {
        next = E + std::copysign(reach, next - E);
        reach *= 2;
      }
      next = std::fmin(std::fmax(next, lowest), highest);
      if (next == E) return E;  // the root lies beyond the end
    }
    const double step = std::fabs(next - E);
    if (step <= kOhmicTolerance) return next;
    // Steps shrinking by a ratio rho leave an error of at most step rho / (1 - rho) after this
    // one (much less when Newton converges quadratically).
    const double rho = lastStep > 0.0 ? step / lastStep : 1.0;
    if (rho < 0.5 && step * rho <= kOhmicTolerance * (1 - rho)) return next;
    lastStep = step;
    E = next;
  }
  throw model::Failure(kNoOhmicRoot);
}

}  // namespace kivex::simulation
