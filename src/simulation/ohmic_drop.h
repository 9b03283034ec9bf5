#pragma once
// The ohmic drop: the electrode sees E = x + Ru I, where I is the current it draws at E itself (a
// reduction current is positive, so the drop moves E positive). Two solvers, for the two ways a
// current is known.
//
// SolveOhmicDrop, for a current given as a function of the electrode potential alone (the
// analytical route, point by point):
//
//   const double I = SolveOhmicDrop([&](double E) { return Wave(E); }, x, Ru);
//   // the electrode's potential is x + Ru I
//
// g(I) = I - current(x + Ru I) rises with I because the current falls as E rises, and the drop
// can only move E towards the potential where the current vanishes: the root lies between 0 and
// the current at the programmed potential (and within kMaxOhmicDrop / Ru of 0), so bracketing it
// needs no step size and cannot overflow however large Ru is. Regula falsi with the Illinois
// modification; about ten evaluations reach 1e-14 of the current. The root is also taken to
// kOhmicDropPotential in the electrode's potential x + Ru I: with a large Ru a current within 1e-14
// of its own size still moves the electrode by microvolts, where the current it draws changes by
// per cent, and the caller's current at x + Ru I would not be the I that was solved for.
//
// SolveElectrodePotential, for the current of one time step of the digital route, with its slope:
// the root of
//     g(E) = E - applied - Ru I(E).
// I falls as E rises, so g rises with a slope of at least 1 and has exactly one root, between the
// applied potential and the potential at which the step's current vanishes; the current there is
// bounded by |E - applied| / Ru, whatever Ru. Newton steps from a guess (the previous step's
// drop), safeguarded by the bracket that every evaluation narrows: a step that leaves the bracket
// bisects it, and until both sides are known a step goes at most 0.1 V, then twice as far each
// time, so the search never evaluates the current far beyond the root, where a rate constant
// would overflow.
//
//   const double E = SolveElectrodePotential(applied, applied + lastDrop, Ru, lowest, highest,
//                                            [&](double E, double& I, double& dIdE) {...});

#include <algorithm>
#include <cmath>
#include <limits>

#include "model/failure.h"

namespace kivex::simulation {

// The drop never needs to move the electrode further than this from the programmed potential: a
// faradaic current has died away exponentially long before (it falls e-fold every 50 mV or so),
// and capping the bracket keeps every rate constant far from overflow whatever Ru is.
inline constexpr double kMaxOhmicDrop = 5.0;          // V
inline constexpr double kOhmicDropPotential = 1e-13;  // V, some hundred units in the last place

template <class Current>
double SolveOhmicDrop(const Current& currentAt, double x, double Ru) {
  const double start = currentAt(x);
  if (Ru == 0.0 || start == 0.0) return start;
  double a = 0.0, ga = -start;
  double b = start;
  if (std::fabs(Ru * b) > kMaxOhmicDrop) b = std::copysign(kMaxOhmicDrop / std::fabs(Ru), start);
  double gb = b - currentAt(x + Ru * b);
  if (gb == 0.0 || (ga > 0) == (gb > 0)) return b;
  const double tolerance = std::min(1e-14 * std::fabs(start), kOhmicDropPotential / std::fabs(Ru));
  // The Illinois halvings scale ga and gb; the endpoints' own residuals choose the answer.
  double residualA = std::fabs(ga), residualB = std::fabs(gb);
  int side = 0;
  for (int iteration = 0; iteration < 200 && std::fabs(b - a) > tolerance; ++iteration) {
    const double c = (a * gb - b * ga) / (gb - ga);
    const double gc = c - currentAt(x + Ru * c);
    if (gc == 0.0) return c;
    if ((gc > 0) == (gb > 0)) {
      b = c;
      gb = gc;
      residualB = std::fabs(gc);
      if (side == 1) ga /= 2;
      side = 1;
    } else {
      a = c;
      ga = gc;
      residualA = std::fabs(gc);
      if (side == -1) gb /= 2;
      side = -1;
    }
  }
  return residualA < residualB ? a : b;
}

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
