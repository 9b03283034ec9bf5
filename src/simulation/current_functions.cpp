#include "simulation/current_functions.h"

#include <cmath>

#include "model/checked_math.h"
#include "simulation/electrode_kinetics.h"
#include "simulation/scaled_erfc.h"

namespace kivex::simulation {

using model::Div;
using model::Finite;

namespace {

// Butler-Volmer rate constants and the driving term n (k_red cR - k_ox cP).
struct Kinetics {
  double kred;
  double kox;
  double J;
};

Kinetics KineticsAt(const CurrentInputs& in, double fOverRT) {
  const TransferRates rates = CheckedTransferRatesAt(in.ks, in.alpha, in.n, fOverRT, in.E - in.E0e);
  Kinetics k{};
  k.kred = rates.red;
  k.kox = rates.ox;
  k.J = Finite(in.n * (k.kred * in.cR - k.kox * in.cP));
  return k;
}

}  // namespace

double PlanarCurrent(const CurrentInputs& in, const CellConstants& cell) {
  const Kinetics k = KineticsAt(in, cell.fOverRT);
  const double lambda = Finite(Div(k.kred, in.dR) + Div(k.kox, in.dP));
  const double x = Finite(lambda * model::Sqrt(in.t1));
  return Finite(k.J * ScaledErfc(x));
}

double SphericalCurrent(const CurrentInputs& in, const CellConstants& cell) {
  const Kinetics k = KineticsAt(in, cell.fOverRT);
  const double a = Div(in.dR, cell.radius);
  const double lambda = Finite(Div(k.kred, in.dR) + Div(k.kox, in.dP) + a);
  const double g = Div(a, lambda);
  const double x = Finite(lambda * model::Sqrt(in.t1));
  return Finite(k.J * ((1.0 - g) * ScaledErfc(x) + g));
}

double FieldsCurrent(const CurrentInputs& in, const CellConstants& cell) {
  const Kinetics k = KineticsAt(in, cell.fOverRT);
  const double DR = in.dR * in.dR;
  const double DP = in.dP * in.dP;
  double factor = 0.0;
  for (int f = 0; f < cell.fields.count; ++f) {
    factor += cell.fields.weight[f] *
              KineticStepFactor(cell.fields.field[f], DR, DP, k.kred, k.kox, in.t1);
  }
  return Finite(k.J * factor);
}

double RotatingDiskCurrent(const CurrentInputs& in, const CellConstants& cell) {
  const Kinetics k = KineticsAt(in, cell.fOverRT);
  const double levich = 0.62 * model::Pow(cell.viscosity, -1.0 / 6.0) * model::Sqrt(cell.omega);
  // The catalytic transport coefficient for diffusion coefficient D, in cm/s.
  auto transport = [&](double D) {
    const double plain = model::Pow(D, 2.0 / 3.0) * levich;
    // The regeneration across the layer: D b'' = k b with b = 0 at its edge.
    const double layer = Div(D, plain) * model::Sqrt(Div(cell.catalytic, D));
    return Finite(model::Sqrt(D * cell.catalytic) / std::tanh(layer));
  };
  if (!(cell.catalytic > 0)) {
    const double kinetic =
        Finite(k.kred * model::Pow(in.dR, -2.0 / 3.0) + k.kox * model::Pow(in.dP, -2.0 / 3.0));
    return Div(k.J, 1.0 + Div(kinetic, levich));
  }
  const double kinetic = Finite(Div(k.kred, transport(in.dR)) + Div(k.kox, transport(in.dP)));
  return Div(k.J, 1.0 + kinetic);
}

double StepCurrent(Geometry geometry, CurrentInputs in, double t, const CellConstants& cell) {
  in.t1 = t;
  switch (geometry) {
    case Geometry::Planar: return PlanarCurrent(in, cell);
    case Geometry::Spherical: return SphericalCurrent(in, cell);
    case Geometry::Fields: return FieldsCurrent(in, cell);
  }
  return 0.0;
}

double DifferentialPulseCurrent(Geometry geometry, const CurrentInputs& in,
                                const CellConstants& cell) {
  CurrentInputs pulse = in;
  pulse.E = in.E + in.step;
  const double pulseStep =
      StepCurrent(geometry, pulse, in.t1, cell) - StepCurrent(geometry, in, in.t1, cell);
  const double base =
      StepCurrent(geometry, in, in.t2, cell) - StepCurrent(geometry, in, in.t2 - in.t1, cell);
  return Finite(pulseStep + base);
}

}  // namespace kivex::simulation
