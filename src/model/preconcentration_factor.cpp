#include "model/preconcentration_factor.h"

#include <cmath>

#include "model/app_state.h"
#include "model/checked_math.h"

namespace kivex::model {

double PreconcentrationFactor(const PreconcentrationInput& in) {
  if (!(in.temperature > 0.0)) ThrowFailure(kInvalidArgument);
  const double x = Finite(Div(in.n * kFaraday * (in.Epre - in.E0), kGasConstant * in.temperature));
  // 1 / (1 + theta), without overflow when E pre lies far positive of E0.
  const double share = x <= 0.0 ? 1.0 / (1.0 + std::exp(x)) : std::exp(-x) / (1.0 + std::exp(-x));
  const double omega = 2.0 * in.stirRate * kPiTenDigits / 60.0;
  const double transport = Finite(in.electrodeConstant * in.area * Pow(in.D, 2.0 / 3.0) *
                                  Sqrt(omega) * Pow(in.viscosity, -1.0 / 6.0) * in.tPre);
  return Finite(Div(transport, in.electrodeVolume) * share);
}

}  // namespace kivex::model
