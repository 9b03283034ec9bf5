#pragma once
// The ohmic drop solved at one point: the electrode sees E = x + Ru I, where I is the current it
// draws at E itself (a reduction current is positive, so it moves E positive).
//
//   const double I = SolveOhmicDrop([&](double E) { return Wave(E); }, x, Ru);
//   // the electrode's potential is x + Ru I
//
// g(I) = I - current(x + Ru I) rises with I because the current falls as E rises, and the drop
// can only move E towards the potential where the current vanishes: the root lies between 0 and
// the current at the programmed potential (and within kMaxOhmicDrop / Ru of 0), so bracketing it
// needs no step size and cannot overflow however large Ru is. Regula falsi with the Illinois
// modification; about ten evaluations reach 1e-14 of the current.

#include <cmath>

namespace kivex::simulation {

// The drop never needs to move the electrode further than this from the programmed potential: a
// faradaic current has died away exponentially long before (it falls e-fold every 50 mV or so),
// and capping the bracket keeps every rate constant far from overflow whatever Ru is.
inline constexpr double kMaxOhmicDrop = 5.0;  // V

template <class Current>
double SolveOhmicDrop(const Current& currentAt, double x, double Ru) {
  const double start = currentAt(x);
  if (Ru == 0.0 || start == 0.0) return start;
  double a = 0.0, ga = -start;
  double b = start;
  if (std::fabs(Ru * b) > kMaxOhmicDrop) b = std::copysign(kMaxOhmicDrop / std::fabs(Ru), start);
  double gb = b - currentAt(x + Ru * b);
  if (gb == 0.0 || (ga > 0) == (gb > 0)) return b;
  const double tolerance = 1e-14 * std::fabs(start);
  int side = 0;
  for (int iteration = 0; iteration < 200 && std::fabs(b - a) > tolerance; ++iteration) {
    const double c = (a * gb - b * ga) / (gb - ga);
    const double gc = c - currentAt(x + Ru * c);
    if (gc == 0.0) return c;
    if ((gc > 0) == (gb > 0)) {
      b = c;
      gb = gc;
      if (side == 1) ga /= 2;
      side = 1;
    } else {
      a = c;
      ga = gc;
      if (side == -1) gb /= 2;
      side = -1;
    }
  }
  return std::fabs(ga) < std::fabs(gb) ? a : b;
}

}  // namespace kivex::simulation
