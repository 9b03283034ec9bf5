#pragma once
// Instrument effects added to a simulated total current: double-layer charging and noise.

#include "model/app_state.h"
#include "model/curve_set.h"

namespace kivex::simulation {

// Whether the route charges the double layer through Ru together with the faradaic current, point
// by point (a sweep with Cdl > 0 and Ru > 0): the interface sees e = x + Ru (i_f + i_c) with
// i_c = Cdl A (e_before - e) / dt, so the drop of the charging current lags the interface too and
// the charging current builds up with time constant Ru Cdl A from the rest at E start.
// AddChargingCurrent then adds nothing. Other techniques keep the charging current added after.
bool ChargingThroughDrop(const model::AppState& app);

// The charging of such a run that draws no faradaic current (no species, an empty solution): the
// interface follows the programme through Ru Cdl A alone, in steps of dt. Adds it to the total.
void AddResistiveCharging(const model::AppState& app, model::CurveSet& curves, double dt);

// Adds the double-layer charging current C = Cdl * area * scanRate to the total column (run when
// Cdl > 0 and not ChargingThroughDrop). A cathodic-going sweep charges cathodically (a positive
// current): a single sweep shifts every point by -s C (s the scan direction); the other techniques
// of a single sweep take (x(1) - x(i)) C; cycles take -sigma(i) C with sigma = s on forward sweeps
// and -s on returns.
void AddChargingCurrent(const model::AppState& app, model::CurveSet& curves);

// Adds Gaussian noise of standard deviation noise/100 * |extreme| / 4 (run when noise > 0 and no
// fit is running). The draws come from a fixed congruential generator seeded by the point count,
// so two runs with the same number of points get the same noise; the signed extreme makes the
// noise of a negative curve the mirror image of a positive one.
void AddNoise(const model::AppState& app, model::CurveSet& curves, double extreme);

// The generator behind AddNoise: u <- ((24298 u + 99991) mod 199017) + 1, seeded with
// 2 * pointCount; each point takes two draws for one Box-Muller normal deviate.
class NoiseGenerator {
 public:
  static constexpr double kModulus = 199017;

  explicit NoiseGenerator(int pointCount);
  // The next uniform number u in 1..kModulus.
  double Draw();
  // The next standard normal deviate (two draws).
  double Normal();

 private:
  double u_;
};

}  // namespace kivex::simulation
