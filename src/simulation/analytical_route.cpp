#include "simulation/analytical_route.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "model/checked_math.h"
#include "model/electrode_geometry.h"
#include "model/failure.h"
#include "model/selections.h"
#include "numerics/constants.h"
#include "numerics/semi_differentiate.h"
#include "simulation/convolution_sweep.h"
#include "simulation/current_functions.h"
#include "simulation/differential_pulse.h"
#include "simulation/driver.h"
#include "simulation/measurement_effects.h"
#include "simulation/ohmic_drop.h"
#include "simulation/square_wave.h"

namespace kivex::simulation {

using model::AnalyticalCase;
using model::AppState;
using model::CurveSet;
using model::Electrode;
using model::Mechanism;
using model::Technique;

namespace {

// The inputs of one charge reaction that do not change from point to point.
struct Reaction {
  int r = 0;  // reactant species
  int q = 0;  // product species
  CurrentInputs in;
  double catalyticDR = 0;  // sqrt(D) of reactant and product for the catalytic column
  double catalyticDP = 0;
  double K7 = 0;  // mechanism 7: the catalytic current over the planar wave, in amperes
};

// The plane and the spherical forms: the electrodes whose fast-couple sweep is the half-order
// derivative of the Nernstian step response.
bool HasNernstianSweep(Electrode e) { return e == Electrode::Planar || model::IsSpherical(e); }

// The techniques whose currents are sampled at the drop time rather than the pulse time.
bool DropTimed(Technique t) { return t <= Technique::DC; }

// Mechanism 7's regeneration rate (1/s) of the reactant.
double Regeneration(const AppState& app) { return app.kf(1) + app.kb(1); }

// Mechanism 7 in the techniques whose diffusion kernels carry the regeneration: the sweep, the
// differential pulse and the square wave at a stationary electrode. DC and the normal pulse add
// Delahay and Stiehl's catalytic column instead, the rotating disk its reaction layer. A
// regeneration that would move no current by a millionth over the whole run (k t below 1e-6) is
// left out, so that the plain forms serve.
bool KernelCatalysis(const AppState& app) {
  const Technique t = model::TechniqueOf(app);
  if (model::MechanismOf(app) != Mechanism::CatalyticEC ||
      model::CaseOf(app).electrode == Electrode::RotatingDisk ||
      !(t == Technique::Sweep || t == Technique::DifferentialPulse || t == Technique::SquareWave)) {
    return false;
  }
  const double points = std::abs(app.Eend - app.Estart) / app.Estep + 1;
  const double run = points * std::max(1.0, 2 * app.cycles) * (app.tDrop + 2 * app.tPulse);
  return !(Regeneration(app) * run < 1e-6);
}

// Delahay and Stiehl's catalytic step current over the plain Cottrell current, S = sqrt(k t):
// sqrt(pi) S erf(S) + exp(-S^2); 1 when the chemical step stops.
double CatalyticStepFactor(double S) {
  return std::sqrt(model::kPi) * S * std::erf(S) + std::exp(-S * S);
}

Reaction ReactionInputs(const AppState& app, int k, double currentScale) {
  Reaction rx;
  rx.r = app.chargeSpecies(k, 1);
  rx.q = app.chargeSpecies(k, 2);
  // Complexation C = A + pD, A + ne = B: the species reduced at the electrode is the complex,
  // and B is formed.
  if (model::MechanismOf(app) == Mechanism::Complexation) {
    rx.r = 3;
    rx.q = 2;
  }
  CurrentInputs& in = rx.in;
  in.ks = app.ks(k);
  in.alpha = app.alpha(k);
  in.n = app.n(k);
  const AnalyticalCase c = model::CaseOf(app);
  const bool rotating = c.electrode == Electrode::RotatingDisk &&
                        (c.technique == Technique::Sweep || c.technique == Technique::DC);
  in.dR = rotating ? app.D(rx.r) : model::Sqrt(app.D(rx.r));
  in.dP = rotating ? app.D(rx.q) : model::Sqrt(app.D(rx.q));
  in.cR = app.Cinit(rx.r);
  in.cP = app.Cinit(rx.q);
  in.E0e = app.E0(k);
  rx.catalyticDR = model::Sqrt(app.D(rx.r));
  rx.catalyticDP = model::Sqrt(app.D(rx.q));

  if (model::MechanismOf(app) == Mechanism::CatalyticEC) {
    // A DC or normal-pulse step: the catalytic current beyond the diffusion step's, so that the
    // sum is Delahay and Stiehl's.
    const double t = DropTimed(model::TechniqueOf(app)) ? app.tDrop : app.tPulse;
    const double S = model::Sqrt((app.kf(k) + app.kb(k)) * t);
    rx.K7 = (CatalyticStepFactor(S) - 1.0) * currentScale;
  }
  if (model::MechanismOf(app) == Mechanism::Complexation) {
    // Lingane: the free couple's potential shifted by the complex's stability and the ligand.
    in.E0e += model::Div(app.RToverF, in.n) *
              (model::Log(app.Keq(1)) - app.p(1) * model::Log(app.Cinit(4)));
  }
  return rx;
}

// The step-current form of each electrode: closed forms for the plane and the sphere (the
// hemisphere and the microdisc as spheres), the diffusion fields for the cylinder, band and film
// and for every electrode whose kernels carry a regeneration.
Geometry GeometryOf(const AppState& app) {
  if (KernelCatalysis(app)) return Geometry::Fields;
  const Electrode electrode = model::CaseOf(app).electrode;
  if (electrode == Electrode::Planar) return Geometry::Planar;
  if (model::IsSpherical(electrode)) return Geometry::Spherical;
  return Geometry::Fields;
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
  const AnalyticalCase c = model::CaseOf(app);
  const Geometry geometry = GeometryOf(app);
  E0eUsed = in.E0e;
  if (!HasCurrentFunction(c)) return 0.0;
  switch (c.technique) {
    case Technique::Sweep:
      // The plane and the spherical forms with a fast couple and no ohmic drop; the others take
      // the convolution.
      in.t1 = app.tDrop;
      if (HasNernstianSweep(c.electrode)) return PlanarCurrent(in, cell);
      if (c.electrode == Electrode::RotatingDisk) return RotatingDiskCurrent(in, cell);
      return 0.0;
    case Technique::DC:
      in.t1 = app.tDrop;
      if (c.electrode == Electrode::RotatingDisk) return RotatingDiskCurrent(in, cell);
      return StepCurrent(geometry, in, app.tDrop, cell);
    case Technique::NormalPulse:
      // The step current at E + Epulse, by lowering the standard potential instead.
      in.E0e -= app.Epulse;
      E0eUsed = in.E0e;
      in.t1 = app.tPulse;
      return StepCurrent(geometry, in, app.tPulse, cell);
    case Technique::DifferentialPulse:
      in.t1 = app.tPulse;
      in.t2 = app.tDrop;
      in.step = PulseStep(app, curves, i);
      return DifferentialPulseCurrent(geometry, in, cell);
    default: return 0.0;
  }
}

using Reactions = std::array<Reaction, model::kMaxCharge + 1>;
using ReactionValues = std::array<double, model::kMaxCharge + 1>;

// Whether a couple is reversible on the sweep's time scale RT / nFv: the rate constant over the
// diffusion rate, ks sqrt(RT / nFv) / sqrt(D), at least 1e4 (its smallest rate kred / sqrt(DR) +
// kox / sqrt(DP) is never below ks / sqrt(D) of the faster diffuser). The kinetic part of such a
// sweep is below the half-order derivative's own error, and the Nernstian form is kept for it.
bool ReversibleOnSweep(const AppState& app, const Reaction& rx) {
  const double D = std::max(app.D(rx.r), app.D(rx.q));
  const double timeScale = app.RToverF / (rx.in.n * app.scanRate);
  return rx.in.ks * std::sqrt(timeScale / D) >= 1e4;
}

}  // namespace

bool HasCurrentFunction(AnalyticalCase c) {
  const Electrode e = c.electrode;
  const bool stationary = e == Electrode::Planar || model::IsSpherical(e) ||
                          e == Electrode::Cylinder || e == Electrode::HalfCylinder;
  switch (c.technique) {
    case Technique::Sweep:
    case Technique::DC:
      return stationary || e == Electrode::Band || e == Electrode::RotatingDisk ||
             e == Electrode::ThinFilm;
    case Technique::NormalPulse:
    case Technique::DifferentialPulse: return stationary || e == Electrode::Band;
    case Technique::SquareWave: return stationary;
    default: return false;
  }
}

double SweepFactor(const AppState& app) {
  return 2.0 * model::Sqrt(model::Div(app.tDrop * app.scanRate, app.Estep));
}

ElectrodeFields ElectrodeFieldsOf(const AppState& app) {
  ElectrodeFields fields;
  auto add = [&fields](FieldShape shape, double size, double weight) {
    if (!(size > 0)) model::ThrowFailure(model::kDivisionByZero);
    fields.field[fields.count] = DiffusionField{shape, size};
    fields.weight[fields.count] = weight;
    ++fields.count;
  };
  switch (model::CaseOf(app).electrode) {
    case Electrode::Planar:
      fields.field[0] = DiffusionField{FieldShape::Planar, 0};
      fields.weight[0] = 1;
      fields.count = 1;
      break;
    case Electrode::Sphere:
    case Electrode::Hemisphere:
    case Electrode::Microdisc:
      add(FieldShape::Sphere, SphericalRadius(model::CaseOf(app).electrode, app.radius), 1);
      break;
    case Electrode::Cylinder:
    case Electrode::HalfCylinder: {
      // The side, 2 pi r L (pi r L for the half cylinder), and the flat end, pi r^2 (pi r^2 / 2), a
      // disc like the microdisc: the area the Instrument dialog computes, shared 2L : r.
      if (!(app.length >= 0)) model::ThrowFailure(model::kInvalidArgument);
      const double side = model::CylinderSideShare(app.radius, app.length);
      if (side > 0) add(FieldShape::Cylinder, app.radius, side);
      add(FieldShape::Sphere, model::kPi * app.radius / 4.0, 1 - side);
      break;
    }
    case Electrode::Band: add(FieldShape::Band, 4 * app.radius, 1); break;  // quarter width
    case Electrode::ThinFilm:
      if (!(app.length > 0)) model::ThrowFailure(model::kInvalidArgument);
      add(FieldShape::Film, app.length, 1);
      break;
    default: break;
  }
  return fields;
}

void ComputeAnalyticalCurrents(AppState& app, CurveSet& curves, const StopRequest& stop) {
  const double currentScale = CurrentScale(app);
  const int chargeCount = app.chargeCount;
  const int total = app.totalColumn;
  const AnalyticalCase committed = model::CaseOf(app);
  const bool hasFormula = HasCurrentFunction(committed);
  // The technique chosen since may differ from the committed one; these steps follow the chosen.
  const Technique technique = model::TechniqueOf(app);
  const bool catalytic7 = model::MechanismOf(app) == Mechanism::CatalyticEC;
  const Electrode electrode = committed.electrode;
  const bool rotating = electrode == Electrode::RotatingDisk;
  const bool catalyticColumn = catalytic7 && !rotating &&
                               (technique == Technique::DC || technique == Technique::NormalPulse);
  const bool kernelCatalysis = KernelCatalysis(app);
  // The electrode's diffusion fields, with mechanism 7's regeneration where the kernels carry it.
  auto fieldsOf = [&app, kernelCatalysis] {
    ElectrodeFields fields = ElectrodeFieldsOf(app);
    if (kernelCatalysis) {
      for (int f = 0; f < fields.count; ++f) fields.field[f].k = Regeneration(app);
    }
    return fields;
  };

  CellConstants cell;
  cell.fOverRT = app.fOverRT;
  cell.radius = SphericalRadius(model::CaseOf(app).electrode, app.radius);
  cell.viscosity = app.viscosity;
  cell.omega = app.omega;
  if (catalytic7 && rotating) cell.catalytic = Regeneration(app);
  if (hasFormula && GeometryOf(app) == Geometry::Fields && !rotating) cell.fields = fieldsOf();

  Reactions reactions{};
  if (chargeCount > model::kMaxCharge) model::ThrowIndexFailure();
  for (int k = 1; k <= chargeCount; ++k) reactions[k] = ReactionInputs(app, k, currentScale);

  // The catalytic column of point i at the potential the electrode saw.
  auto catalytic = [&](int i, const Reaction& rx, double E, double E0eUsed) {
    CurrentInputs in = rx.in;
    in.E = E;
    in.E0e = E0eUsed;
    in.dR = rx.catalyticDR;
    in.dP = rx.catalyticDP;
    in.t1 = DropTimed(technique) ? app.tDrop : app.tPulse;
    curves.resultTable(i, model::kCatalyticColumn) = model::Finite(rx.K7 * PlanarCurrent(in, cell));
  };

  // Sweeps the half-order derivative of the Nernstian step responses cannot give: the cylinder,
  // band and film, slow couples and any ohmic drop.
  bool convolution = false;
  if (hasFormula && technique == Technique::Sweep && !rotating) {
    convolution = !HasNernstianSweep(electrode) || app.Ru != 0 || kernelCatalysis;
    for (int k = 1; k <= chargeCount; ++k) {
      if (!ReversibleOnSweep(app, reactions[k])) convolution = true;
    }
  }
  // Differential pulse sums two kinetic step responses, exact while the couple keeps pace with
  // diffusion (ks at least 100 times the electrode's flux at tPulse, within 1e-4) and no drop
  // holds the electrode back; slower couples and an ohmic drop take the convolution equation over
  // each point's programme. A period of more than kMaxPulsesPerPeriod pulses would need too many
  // uniform nodes for it, and such a case is refused.
  const bool dropped = app.Ru != 0;
  bool pulseConvolution = false;
  if (hasFormula && technique == Technique::DifferentialPulse) {
    pulseConvolution = dropped;
    const ElectrodeFields fields = fieldsOf();
    for (int k = 1; k <= chargeCount; ++k) {
      const double D = app.D(reactions[k].r);
      if (reactions[k].in.ks < 100 * ElectrodeStepFlux(fields, D, app.tPulse)) {
        pulseConvolution = true;
      }
    }
    if (pulseConvolution && app.tDrop > kMaxPulsesPerPeriod * app.tPulse) {
      throw model::InputError(
          "Error: an analytical differential pulse whose period (t drop) holds more than 2000 "
          "pulses is computed only for fast couples without an ohmic drop. Shorten t drop or "
          "lengthen t pulse in the Instrument dialog, or tick the digital simulation in the "
          "Mechanism dialog.");
    }
  }
  // A normal pulse with an ohmic drop: the drop is largest at the start of the pulse, so it is
  // solved over the pulse rather than at the sample alone.
  const bool pulseDropped = hasFormula && technique == Technique::NormalPulse && dropped;
  PulseSettings pulse;
  pulse.tPulse = app.tPulse;
  pulse.tDrop = app.tDrop;
  pulse.Ru = app.Ru;
  pulse.fOverRT = app.fOverRT;
  pulse.currentScale = currentScale;
  pulse.totalColumn = total;
  pulse.stop = stop;
  std::vector<CurrentInputs> pulsedCouples;
  for (int k = 1; k <= chargeCount; ++k) pulsedCouples.push_back(reactions[k].in);
  if (pulseConvolution) {
    std::vector<double> steps(curves.pointCount + 1, 0.0);
    for (int i = 1; i <= curves.pointCount; ++i) steps[i] = PulseStep(app, curves, i);
    ConvolutionDifferentialPulse(pulsedCouples, fieldsOf(), pulse, steps, curves);
  } else if (pulseDropped) {
    std::vector<double> effective;
    ConvolutionNormalPulse(pulsedCouples, ElectrodeFieldsOf(app), pulse, app.Epulse, curves,
                           effective);
    if (catalyticColumn) {
      for (int i = 1; i <= curves.pointCount; ++i) {
        for (int k = 1; k <= chargeCount; ++k) {
          catalytic(i, reactions[k], effective[i], reactions[k].in.E0e);
        }
      }
    }
  } else if (convolution || (hasFormula && technique == Technique::SquareWave)) {
    std::vector<CurrentInputs> couples;
    for (int k = 1; k <= chargeCount; ++k) couples.push_back(reactions[k].in);
    if (convolution) {
      SweepSettings settings;
      settings.dt = model::Div(app.Estep, app.scanRate);
      settings.Ru = app.Ru;
      if (ChargingThroughDrop(app)) settings.capacitance = app.Cdl * app.area;
      settings.fOverRT = app.fOverRT;
      settings.currentScale = currentScale;
      settings.totalColumn = total;
      settings.stop = stop;
      ElectrodeFields fields = cell.fields;
      if (HasNernstianSweep(electrode)) fields = fieldsOf();
      std::vector<double> effective;
      ConvolutionSweep(couples, fields, settings, curves, effective);
      if (catalyticColumn) {
        for (int i = 1; i <= curves.pointCount; ++i) {
          for (int k = 1; k <= chargeCount; ++k) {
            catalytic(i, reactions[k], effective[i], reactions[k].in.E0e);
          }
        }
      }
    } else {
      SquareWaveSettings settings;
      settings.geometry = GeometryOf(app);
      settings.tPulse = app.tPulse;
      settings.Epulse = app.Epulse;
      settings.Ru = app.Ru;
      settings.currentScale = currentScale;
      settings.totalColumn = total;
      settings.stop = stop;
      SquareWaveSuperposition(couples, cell, settings, curves);
    }
  } else {
    // DC and the rotating disk solve the ohmic drop at each point (a fresh step, or a steady
    // state).
    const bool solve = technique <= Technique::NormalPulse && dropped && hasFormula;
    // A sweep at the rotating disk (or one without a current function) charges the double layer
    // through Ru with it: Cdl A (e_before - e) / dt, from the rest at the first potential.
    const bool charged = ChargingThroughDrop(app);
    const double perVolt = charged ? model::Div(app.Cdl * app.area * app.scanRate, app.Estep) : 0;
    double before = curves.pointCount >= 1 ? curves.x(1) : 0.0;
    ReactionValues value{};
    ReactionValues E0eUsed{};
    for (int i = 1; i <= curves.pointCount; ++i) {
      if (stop && stop()) throw SimulationCancelled{};
      auto evaluate = [&](double E) {
        double sum = 0.0;
        for (int k = 1; k <= chargeCount; ++k) {
          E0eUsed[k] = reactions[k].in.E0e;
          value[k] =
              hasFormula
                  ? model::Finite(Dispatch(app, curves, cell, reactions[k], E, i, E0eUsed[k]) *
                                  currentScale)
                  : 0.0;
          sum += value[k];
        }
        return sum;
      };
      double E = curves.x(i);
      if (charged) {
        auto withCharging = [&](double e) { return evaluate(e) + perVolt * (before - e); };
        E = model::Finite(E + app.Ru * SolveOhmicDrop(withCharging, E, app.Ru));
      } else if (solve) {
        const double I = SolveOhmicDrop(evaluate, curves.x(i), app.Ru);
        E = model::Finite(curves.x(i) + app.Ru * I);
      }
      double sum = evaluate(E);
      if (charged) {
        sum += perVolt * (before - E);
        before = E;
      }
      for (int k = 1; k <= chargeCount; ++k) {
        curves.resultTable(i, k) = value[k];
        if (catalyticColumn && hasFormula) catalytic(i, reactions[k], E, E0eUsed[k]);
      }
      curves.resultTable(i, total) = model::Finite(curves.resultTable(i, total) + sum);
    }
  }
  if (!hasFormula) return;

  // The committed sweep on the plane, the spherical forms, the cylinders and the band.
  const bool sweep = committed.technique == Technique::Sweep && !convolution;
  const bool curved = model::IsSpherical(electrode) || model::IsCylindrical(electrode);
  if (sweep && (electrode == Electrode::Planar || curved)) {
    const double factor = SweepFactor(app);
    for (int k = 1; k <= total; ++k) {
      numerics::SemiDifferentiateL1(numerics::ColumnOf(curves.resultTable, k), curves.pointCount,
                                    factor);
    }
  }
  if (sweep && curved) {
    // Radial diffusion's Nernstian steady state with both members of the couple:
    // n F A (DR DP / r) (cR - e cP) / (DR e + DP), e = exp(nf (x - E0)). With the couple
    // pre-equilibrated at the starting potential it is zero there and reads
    // n F A DR cR / r (1 - exp(nf (x - Estart))) / (1 + exp(nf (x - E0))) for equal D.
    const double radius = SphericalRadius(model::CaseOf(app).electrode, app.radius);
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
  if (catalyticColumn) {
    for (int i = 1; i <= curves.pointCount; ++i) {
      curves.resultTable(i, total) = model::Finite(curves.resultTable(i, total) +
                                                   curves.resultTable(i, model::kCatalyticColumn));
    }
  }
}

}  // namespace kivex::simulation
