#pragma once
// Butler-Volmer rate constants of a couple at the electrode, with eta = E - E0 and f = F / RT:
//
//   red = ks exp(-alpha n f eta),  ox = ks exp((1 - alpha) n f eta),  so red / ox = exp(-n f eta)
//
// whatever ks and alpha (the Nernst ratio at equilibrium). Reduction is fast below E0.
//
//   const TransferRates k = CheckedTransferRatesAt(1e-2, 0.5, 1, 38.92, -0.1);  // k.red ~ 0.070
//
// Both forms raise model::Failure when an exponential overflows. The checked form also fails on
// a non-finite exponent or rate, for callers whose potentials nothing bounds; the plain one is
// for the step solver, which never tries a potential past its largest exponent.
#include "model/checked_math.h"

namespace kivex::simulation {

struct TransferRates {
  double red = 0;  // cm/s
  double ox = 0;   // cm/s
};

// ks in cm/s, f in 1/V, overpotential in V.
inline TransferRates TransferRatesAt(double ks, double alpha, double n, double fOverRT,
                                     double overpotential) {
  const double phi = n * fOverRT * overpotential;
  return {ks * model::Exp(-alpha * phi), ks * model::Exp((1.0 - alpha) * phi)};
}

inline TransferRates CheckedTransferRatesAt(double ks, double alpha, double n, double fOverRT,
                                            double overpotential) {
  const double phi = model::Finite(n * fOverRT * overpotential);
  return {model::Finite(ks * model::Exp(-alpha * phi)),
          model::Finite(ks * model::Exp((1.0 - alpha) * phi))};
}

}  // namespace kivex::simulation
