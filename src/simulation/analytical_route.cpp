#include "simulation/analytical_route.h"

#include <array>
#include <cmath>

#include "analysis/semi_differentiate.h"
#include "analysis/transforms.h"
#include "model/checked_math.h"
#include "simulation/current_functions.h"
#include "simulation/driver.h"

namespace kivex::simulation {

using model::AppState;
using model::CurveSet;

namespace {

constexpr double kSqrtPi = 1.77245385;

// The inputs of one charge reaction that do not change from point to point.
struct Reaction {
  int r = 0;  // reactant species
  int q = 0;  // product species
  CurrentInputs in;
  double catalyticDR = 0;  // sqrt(D) of reactant and product for the catalytic column
  double catalyticDP = 0;
  double S = 0;   // mechanism 7: sqrt((kf + kb) t), t the technique's time
  double K7 = 0;  // mechanism 7: sqrt(pi) S, in amperes per unit current
  double TF = 0;  // film: converts the planar step response into the film's charge
};

int TechniqueOf(int caseCode) { return caseCode / 10; }
int ElectrodeOf(int caseCode) { return caseCode % 10; }

Reaction ReactionInputs(const AppState& app, int k, double currentScale) {
  Reaction rx;
  rx.r = app.chargeSpecies(k, 1);
  rx.q = app.chargeSpecies(k, 2);
  // Complexation C = A + pD, A + ne = B: the species reduced at the electrode is the complex,
  // and B is formed.
  if (app.mechanism == 8) {
    rx.r = 3;
    rx.q = 2;
  }
  CurrentInputs& in = rx.in;
  in.ks = app.ks(k);
  in.alpha = app.alpha(k);
  in.n = app.n(k);
  const bool rotating = app.caseCode == 18 || app.caseCode == 28;
  in.dR = rotating ? app.D(rx.r) : model::Sqrt(app.D(rx.r));
  in.dP = rotating ? app.D(rx.q) : model::Sqrt(app.D(rx.q));
  in.cR = app.Cinit(rx.r);
  in.cP = app.Cinit(rx.q);
  in.E0e = app.E0(k);
  rx.catalyticDR = model::Sqrt(app.D(rx.r));
  rx.catalyticDP = model::Sqrt(app.D(rx.q));

  if (app.mechanism == 7) {
    const double t = app.technique <= 2 ? app.tDrop : app.tPulse;
    rx.S = model::Sqrt((app.kf(k) + app.kb(k)) * t);
    rx.K7 = rx.S * kSqrtPi * currentScale;
  }
  if (app.mechanism == 8) {
    // Lingane: the free couple's potential shifted by the complex's stability and the ligand.
    in.E0e += model::Div(app.RToverF, in.n) *
              (model::Log(app.Keq(1)) - app.p(1) * model::Log(app.Cinit(4)));
  }
  if (app.caseCode == 19) {
    rx.TF =
        model::Sqrt(model::Div(model::kPi * app.tDrop, app.D(rx.r))) * app.length * app.scanRate;
    in.E0e += model::Div(app.RToverF, in.n) *
              model::Log(model::Div(kSqrtPi * in.n * app.length, in.dR * model::Sqrt(app.tDrop)));
  }
  return rx;
}

// The differential-pulse step follows the sweep direction: +Epulse on the sweeps that run like
// the first one, -Epulse on the returning ones.
double PulseStep(const AppState& app, const CurveSet& curves, int i) {
  const int sweep = (i - 1) / curves.sweepPointCount;
  return sweep % 2 == 0 ? app.Epulse : -app.Epulse;
}

// The stored value of reaction rx at point i for the effective potential E, before currentScale;
// `E0eUsed` receives the standard potential the function was evaluated with.
double Dispatch(const AppState& app, const CurveSet& curves, const CellConstants& cell,
                const Reaction& rx, double E, int i, double& E0eUsed) {
  CurrentInputs in = rx.in;
  in.E = E;
  const int code = app.caseCode;
  const int electrode = ElectrodeOf(code);
  const Geometry geometry = electrode == 1 ? Geometry::Planar : Geometry::Spherical;
  E0eUsed = in.E0e;
  switch (TechniqueOf(code)) {
    case 1:
      in.t1 = app.tDrop;
      if (electrode <= 7) return PlanarCurrent(in, cell);
      if (electrode == 8) return RotatingDiskCurrent(in, cell);
      if (electrode == 9) return rx.TF * PlanarCurrent(in, cell);
      return 0.0;
    case 2:
      in.t1 = app.tDrop;
      if (electrode == 1 || electrode == 9) return PlanarCurrent(in, cell);
      if (electrode >= 2 && electrode <= 7) return SphericalCurrent(in, cell);
      if (electrode == 8) return RotatingDiskCurrent(in, cell);
      return 0.0;
    case 3:
      // The step current at E + Epulse, by lowering the standard potential instead.
      if (electrode < 1 || electrode > 7) return 0.0;
      in.E0e -= app.Epulse;
      E0eUsed = in.E0e;
      in.t1 = app.tPulse;
      return StepCurrent(geometry, in, app.tPulse, cell);
    case 4:
      if (electrode < 1 || electrode > 7) return 0.0;
      in.t1 = app.tPulse;
      in.t2 = app.tDrop;
      in.step = PulseStep(app, curves, i);
      return DifferentialPulseCurrent(geometry, in, cell);
    case 5:
      // The pair E, E + Epulse centred on the standard potential.
      if (electrode < 1 || electrode > 6) return 0.0;
      in.E0e += app.Epulse / 2.0;
      E0eUsed = in.E0e;
      in.t1 = app.tPulse;
      in.step = app.Epulse;
      return 2.4 * SquareWaveCurrent(geometry, in, cell);
    default: return 0.0;
  }
}

// Delahay and Stiehl's catalytic step current over the plain Cottrell current, S = sqrt(k t):
// sqrt(pi) S erf(S) + exp(-S^2); 1 when the chemical step stops.
double CatalyticStepFactor(double S) {
  return std::sqrt(model::kPi) * S * std::erf(S) + std::exp(-S * S);
}

}  // namespace

bool HasCurrentFunction(int caseCode) {
  switch (TechniqueOf(caseCode)) {
    case 1:
    case 2: return ElectrodeOf(caseCode) >= 1 && ElectrodeOf(caseCode) <= 9;
    case 3:
    case 4: return ElectrodeOf(caseCode) >= 1 && ElectrodeOf(caseCode) <= 7;
    case 5: return ElectrodeOf(caseCode) >= 1 && ElectrodeOf(caseCode) <= 6;
    default: return false;
  }
}

double SphericalRadius(const AppState& app) {
  return ElectrodeOf(app.caseCode) == 4 ? model::kPi * app.radius / 4.0 : app.radius;
}

double SweepFactor(const AppState& app) {
  return 2.0 * model::Sqrt(model::Div(app.tDrop * app.scanRate, app.Estep));
}

void ComputeAnalyticalCurrents(AppState& app, CurveSet& curves) {
  const double currentScale = CurrentScale(app);
  const int chargeCount = app.chargeCount;
  const int total = app.totalColumn;
  const bool hasFormula = HasCurrentFunction(app.caseCode);
  const bool catalyticColumn = app.mechanism == 7 && app.technique >= 1 && app.technique <= 3;

  CellConstants cell;
  cell.fOverRT = app.fOverRT;
  cell.radius = SphericalRadius(app);
  cell.viscosity = app.viscosity;
  cell.omega = app.omega;

  std::array<Reaction, model::kMaxCharge + 1> reactions{};
  if (chargeCount > model::kMaxCharge) model::ThrowIndexFailure();
  for (int k = 1; k <= chargeCount; ++k) reactions[k] = ReactionInputs(app, k, currentScale);

  // Ohmic drop from the previous point's total; for a sweep that total is the sum of step
  // responses, which a quarter scales to the order of the sweep current.
  const double drop = app.technique == 1 ? app.Ru * 0.25 : app.Ru;
  double prev = 0.0;
  for (int i = 1; i <= curves.pointCount; ++i) {
    const double E = model::Finite(curves.x(i) + prev * drop);
    double sum = 0.0;
    for (int k = 1; k <= chargeCount; ++k) {
      const Reaction& rx = reactions[k];
      double E0eUsed = rx.in.E0e;
      const double value =
          hasFormula ? model::Finite(Dispatch(app, curves, cell, rx, E, i, E0eUsed) * currentScale)
                     : 0.0;
      curves.resultTable(i, k) = value;
      sum += value;
      if (catalyticColumn && hasFormula) {
        // The catalytic plateau n F A C sqrt(D (kf + kb)) shaped by a planar wave at the same
        // standard potential as the diffusion wave, always with sqrt(D).
        CurrentInputs in = rx.in;
        in.E = E;
        in.E0e = E0eUsed;
        in.dR = rx.catalyticDR;
        in.dP = rx.catalyticDP;
        in.t1 = app.technique <= 2 ? app.tDrop : app.tPulse;
        curves.resultTable(i, model::kCatalyticColumn) =
            model::Finite(rx.K7 * PlanarCurrent(in, cell));
      }
    }
    curves.resultTable(i, total) = model::Finite(curves.resultTable(i, total) + sum);
    prev = curves.resultTable(i, total);
  }
  if (!hasFormula) return;

  const int code = app.caseCode;
  if (code >= 11 && code <= 17) {
    const double factor = SweepFactor(app);
    for (int k = 1; k <= total; ++k) {
      analysis::SemiDifferentiateL1(analysis::ColumnOf(curves.resultTable, k), curves.pointCount,
                                    factor);
    }
  }
  if (code >= 12 && code <= 17) {
    // Radial diffusion's Nernstian steady state with both members of the couple:
    // n F A (DR DP / r) (cR - e cP) / (DR e + DP), e = exp(nf (x - E0)). With the couple
    // pre-equilibrated at the starting potential it is zero there and reads
    // n F A DR cR / r (1 - exp(nf (x - Estart))) / (1 + exp(nf (x - E0))) for equal D.
    const double radius = SphericalRadius(app);
    for (int k = 1; k <= chargeCount; ++k) {
      const Reaction& rx = reactions[k];
      const double nf = rx.in.n * app.fOverRT;
      const double DR = app.D(rx.r);
      const double DP = app.D(rx.q);
      const double scale = model::Div(currentScale * rx.in.n * DR * DP, radius);
      for (int i = 1; i <= curves.pointCount; ++i) {
        const double e = model::Exp(nf * (curves.x(i) - rx.in.E0e));
        const double steady =
            scale * model::Div(rx.in.cR - e * rx.in.cP, model::Finite(DR * e + DP));
        curves.resultTable(i, total) = model::Finite(curves.resultTable(i, total) + steady);
      }
    }
  }
  if (code == 19) {
    for (int k = 1; k <= total; ++k) {
      analysis::Differentiate(curves.x, analysis::ColumnOf(curves.resultTable, k),
                              curves.pointCount);
    }
  }
  if (app.mechanism == 7) {
    if (catalyticColumn) {
      for (int i = 1; i <= curves.pointCount; ++i) {
        curves.resultTable(i, total) = model::Finite(
            curves.resultTable(i, total) + curves.resultTable(i, model::kCatalyticColumn));
      }
    } else if (chargeCount >= 1) {
      const double factor = CatalyticStepFactor(reactions[chargeCount].S);
      for (int i = 1; i <= curves.pointCount; ++i) {
        curves.resultTable(i, total) = model::Finite(curves.resultTable(i, total) * factor);
      }
    }
  }
}

}  // namespace kivex::simulation
