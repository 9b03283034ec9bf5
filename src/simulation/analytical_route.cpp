#include "simulation/analytical_route.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "model/checked_math.h"
#include "model/electrode_geometry.h"
#include "model/electrode_table.h"
#include "model/failure.h"
#include "model/technique_table.h"
#include "numerics/constants.h"
#include "numerics/semi_differentiate.h"
#include "simulation/analytical_routes.h"
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

using Reactions = std::array<Reaction, model::kMaxCharge + 1>;
using ReactionValues = std::array<double, model::kMaxCharge + 1>;

// The techniques whose currents are sampled at the drop time rather than the pulse time.
bool DropTimed(const AppState& app) {
  const model::TechniqueTraits* technique = model::FindTechnique(app.technique);
  return technique == nullptr || !technique->pulseSampled;
}

bool Rotates(Electrode electrode) {
  const model::ElectrodeTraits* row = model::FindElectrode(static_cast<model::Count>(electrode));
  return row != nullptr && row->rotates;
}

// Mechanism 7's regeneration rate (1/s) of the reactant.
double Regeneration(const AppState& app) { return app.kf(1) + app.kb(1); }

// Mechanism 7 in the techniques whose diffusion kernels carry the regeneration: the sweep and the
// techniques of two samples (differential pulse, square wave) at a stationary electrode. DC and
// the normal pulse add Delahay and Stiehl's catalytic column instead, the rotating disk its
// reaction layer. A regeneration that would move no current by a millionth over the whole run
// (k t below 1e-6) is left out, so that the plain forms serve.
bool KernelCatalysis(const AppState& app) {
  const model::TechniqueTraits* t = model::FindTechnique(app.technique);
  if (model::MechanismOf(app) != Mechanism::CatalyticEC || Rotates(model::CaseOf(app).electrode) ||
      t == nullptr || !(t->ramp || t->difference)) {
    return false;
  }
  const double points = std::abs(app.Eend - app.Estart) / app.Estep + 1;
  const double run = points * std::max(1.0, 2 * app.cycles) * (app.tDrop + 2 * app.tPulse);
  return !(Regeneration(app) * run < 1e-6);
}

// Mechanism 7 at the fresh steps of DC and the normal pulse (one sample each): Delahay and
// Stiehl's catalytic column, added to the diffusion step's current.
bool CatalyticColumn(const AppState& app) {
  const model::TechniqueTraits* t = model::FindTechnique(app.technique);
  return model::MechanismOf(app) == Mechanism::CatalyticEC &&
         !Rotates(model::CaseOf(app).electrode) && t != nullptr && !t->carriesLayer &&
         !t->difference;
}

// Delahay and Stiehl's catalytic step current over the plain Cottrell current, S = sqrt(k t):
// sqrt(pi) S erf(S) + exp(-S^2); 1 when the chemical step stops.
double CatalyticStepFactor(double S) {
  return std::sqrt(model::kPiTenDigits) * S * std::erf(S) + std::exp(-S * S);
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
  // The rotating disk's Levich forms take D itself.
  const bool rotating = Rotates(c.electrode) && RouteOf(c) != Route::None;
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
    const double t = DropTimed(app) ? app.tDrop : app.tPulse;
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
  const model::ElectrodeTraits* row =
      model::FindElectrode(static_cast<model::Count>(model::CaseOf(app).electrode));
  if (row != nullptr && row->diffusion == model::Diffusion::Planar && !row->rotates) {
    return Geometry::Planar;
  }
  if (row != nullptr && row->diffusion == model::Diffusion::Spherical) return Geometry::Spherical;
  return Geometry::Fields;
}

// Whether a couple is reversible on the sweep's time scale RT / nFv: the rate constant over the
// diffusion rate, ks sqrt(RT / nFv) / sqrt(D), at least 1e4 (its smallest rate kred / sqrt(DR) +
// kox / sqrt(DP) is never below ks / sqrt(D) of the faster diffuser). The kinetic part of such a
// sweep is below the half-order derivative's own error, and the Nernstian form is kept for it.
bool ReversibleOnSweep(const AppState& app, const Reaction& rx) {
  const double D = std::max(app.D(rx.r), app.D(rx.q));
  const double timeScale = app.RToverF / (rx.in.n * app.scanRate);
  return rx.in.ks * std::sqrt(timeScale / D) >= 1e4;
}

// Everything a run of the analytical route shares: the reactions, the cell and the fields.
struct RouteRun {
  RouteRun(AppState& state, CurveSet& curveSet, const StopRequest& stopRequest)
      : app(state), curves(curveSet), stop(stopRequest) {}

  AppState& app;
  CurveSet& curves;
  const StopRequest& stop;
  double currentScale = 0;
  int chargeCount = 0;
  int total = 0;
  AnalyticalCase committed;
  bool hasFormula = false;
  bool kernelCatalysis = false;
  bool catalyticColumn = false;
  CellConstants cell;
  Reactions reactions{};

  // The electrode's diffusion fields, with mechanism 7's regeneration where the kernels carry it.
  ElectrodeFields Fields() const {
    ElectrodeFields fields = ElectrodeFieldsOf(app);
    if (kernelCatalysis) {
      for (int f = 0; f < fields.count; ++f) fields.field[f].k = Regeneration(app);
    }
    return fields;
  }

  // The catalytic column of point i at the potential the electrode saw.
  void Catalytic(int i, const Reaction& rx, double E, double E0eUsed) {
    CurrentInputs in = rx.in;
    in.E = E;
    in.E0e = E0eUsed;
    in.dR = rx.catalyticDR;
    in.dP = rx.catalyticDP;
    in.t1 = DropTimed(app) ? app.tDrop : app.tPulse;
    curves.resultTable(i, model::kCatalyticColumn) = model::Finite(rx.K7 * PlanarCurrent(in, cell));
  }

  // The catalytic column at the potentials a convolution found.
  void CatalyticAt(const std::vector<double>& effective) {
    if (!catalyticColumn) return;
    for (int i = 1; i <= curves.pointCount; ++i) {
      for (int k = 1; k <= chargeCount; ++k) {
        Catalytic(i, reactions[k], effective[i], reactions[k].in.E0e);
      }
    }
  }

  std::vector<CurrentInputs> Couples() const {
    std::vector<CurrentInputs> couples;
    for (int k = 1; k <= chargeCount; ++k) couples.push_back(reactions[k].in);
    return couples;
  }
};

RouteRun Prepare(AppState& app, CurveSet& curves, const StopRequest& stop) {
  RouteRun run(app, curves, stop);
  run.currentScale = CurrentScale(app);
  run.chargeCount = app.chargeCount;
  run.total = app.totalColumn;
  run.committed = model::CaseOf(app);
  run.hasFormula = RouteOf(run.committed) != Route::None;
  run.kernelCatalysis = KernelCatalysis(app);
  run.catalyticColumn = CatalyticColumn(app);
  const bool rotating = Rotates(run.committed.electrode);
  CellConstants& cell = run.cell;
  cell.fOverRT = app.fOverRT;
  cell.radius = model::EquivalentRadius(run.committed.electrode, app.radius);
  cell.viscosity = app.viscosity;
  cell.omega = app.omega;
  if (model::MechanismOf(app) == Mechanism::CatalyticEC && rotating) {
    cell.catalytic = Regeneration(app);
  }
  if (run.hasFormula && GeometryOf(app) == Geometry::Fields && !rotating)
    cell.fields = run.Fields();
  if (run.chargeCount > model::kMaxCharge) model::ThrowIndexFailure();
  for (int k = 1; k <= run.chargeCount; ++k) {
    run.reactions[k] = ReactionInputs(app, k, run.currentScale);
  }
  return run;
}

// The route this run takes: the table's, turned into a convolution where a closed form or the
// half-order derivative cannot serve. A sweep's half-order derivative needs fast couples without
// an ohmic drop or a regeneration in its kernels. A differential pulse sums two kinetic step
// responses, exact while the couple keeps pace with diffusion (ks at least 100 times the
// electrode's flux at tPulse, within 1e-4) and no drop holds the electrode back. A normal pulse
// with an ohmic drop, largest at the start of the pulse, is solved over the pulse rather than at
// the sample alone.
Route ChooseRoute(const RouteRun& run) {
  const AppState& app = run.app;
  if (!run.hasFormula) return Route::None;
  // The technique chosen since may differ from the committed one; the route follows the chosen.
  const AnalyticalCase chosen{model::TechniqueOf(app), run.committed.electrode};
  const Route route = RouteOf(chosen);
  const bool dropped = app.Ru != 0;
  switch (route) {
    case Route::HalfOrderDerivative: {
      bool convolution = dropped || run.kernelCatalysis;
      for (int k = 1; k <= run.chargeCount; ++k) {
        if (!ReversibleOnSweep(app, run.reactions[k])) convolution = true;
      }
      return convolution ? Route::Convolution : route;
    }
    case Route::ClosedForm:
      switch (ConvolutionOf(chosen.technique)) {
        case ConvolutionKind::NormalPulse: return dropped ? Route::Convolution : route;
        case ConvolutionKind::DifferentialPulse: {
          bool convolution = dropped;
          const ElectrodeFields fields = run.Fields();
          for (int k = 1; k <= run.chargeCount; ++k) {
            const double D = app.D(run.reactions[k].r);
            if (run.reactions[k].in.ks < 100 * ElectrodeStepFlux(fields, D, app.tPulse)) {
              convolution = true;
            }
          }
          return convolution ? Route::Convolution : route;
        }
        default: return route;
      }
    default: return route;
  }
}

// A differential pulse's period of more than kMaxPulsesPerPeriod pulses would need too many
// uniform nodes for the convolution, and such a case is refused.
void RequirePulsesResolvable(const AppState& app) {
  if (app.tDrop > kMaxPulsesPerPeriod * app.tPulse) {
    throw model::InputError(
        "Error: an analytical differential pulse whose period (t drop) holds more than 2000 "
        "pulses is computed only for fast couples without an ohmic drop. Shorten t drop or "
        "lengthen t pulse in the Instrument dialog, or tick the digital simulation in the "
        "Mechanism dialog.");
  }
}

PulseSettings PulseSettingsOf(const RouteRun& run) {
  PulseSettings pulse;
  pulse.tPulse = run.app.tPulse;
  pulse.tDrop = run.app.tDrop;
  pulse.Ru = run.app.Ru;
  pulse.fOverRT = run.app.fOverRT;
  pulse.currentScale = run.currentScale;
  pulse.totalColumn = run.total;
  pulse.stop = run.stop;
  return pulse;
}

void SweepConvolution(RouteRun& run) {
  const AppState& app = run.app;
  SweepSettings settings;
  settings.dt = model::Div(app.Estep, app.scanRate);
  settings.Ru = app.Ru;
  if (ChargingThroughDrop(app)) settings.capacitance = app.Cdl * app.area;
  settings.fOverRT = app.fOverRT;
  settings.currentScale = run.currentScale;
  settings.totalColumn = run.total;
  settings.stop = run.stop;
  std::vector<double> effective;
  ConvolutionSweep(run.Couples(), run.Fields(), settings, run.curves, effective);
  run.CatalyticAt(effective);
}

void PulseConvolution(RouteRun& run, ConvolutionKind kind) {
  const std::vector<CurrentInputs> couples = run.Couples();
  if (kind == ConvolutionKind::DifferentialPulse) {
    std::vector<double> steps(run.curves.pointCount + 1, 0.0);
    for (int i = 1; i <= run.curves.pointCount; ++i) steps[i] = PulseStep(run.app, run.curves, i);
    ConvolutionDifferentialPulse(couples, run.Fields(), PulseSettingsOf(run), steps, run.curves);
    return;
  }
  std::vector<double> effective;
  ConvolutionNormalPulse(couples, ElectrodeFieldsOf(run.app), PulseSettingsOf(run), run.app.Epulse,
                         run.curves, effective);
  run.CatalyticAt(effective);
}

void Superposition(RouteRun& run) {
  SquareWaveSettings settings;
  settings.geometry = GeometryOf(run.app);
  settings.tPulse = run.app.tPulse;
  settings.Epulse = run.app.Epulse;
  settings.Ru = run.app.Ru;
  settings.currentScale = run.currentScale;
  settings.totalColumn = run.total;
  settings.stop = run.stop;
  SquareWaveSuperposition(run.Couples(), run.cell, settings, run.curves);
}

// The closed forms point by point. DC and the rotating disk solve the ohmic drop at each point (a
// fresh step, or a steady state); a sweep at the rotating disk (or one without a current function)
// charges the double layer through Ru with it: Cdl A (e_before - e) / dt, from the rest at the
// first potential.
void PointByPoint(RouteRun& run) {
  AppState& app = run.app;
  CurveSet& curves = run.curves;
  const Geometry geometry = GeometryOf(app);
  const model::TechniqueTraits* technique = model::FindTechnique(app.technique);
  // The techniques of one sample; a normal pulse with a drop has gone to the convolution.
  const bool solve =
      technique != nullptr && !technique->difference && app.Ru != 0 && run.hasFormula;
  const bool charged = ChargingThroughDrop(app);
  const double perVolt = charged ? model::Div(app.Cdl * app.area * app.scanRate, app.Estep) : 0;
  double before = curves.pointCount >= 1 ? curves.x(1) : 0.0;
  ReactionValues value{};
  ReactionValues E0eUsed{};
  for (int i = 1; i <= curves.pointCount; ++i) {
    if (run.stop && run.stop()) throw SimulationCancelled{};
    auto evaluate = [&](double E) {
      double sum = 0.0;
      for (int k = 1; k <= run.chargeCount; ++k) {
        E0eUsed[k] = run.reactions[k].in.E0e;
        CurrentInputs in = run.reactions[k].in;
        in.E = E;
        value[k] = run.hasFormula ? model::Finite(PointCurrent(app, run.committed, geometry, in,
                                                               curves, i, run.cell, E0eUsed[k]) *
                                                  run.currentScale)
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
    for (int k = 1; k <= run.chargeCount; ++k) {
      curves.resultTable(i, k) = value[k];
      if (run.catalyticColumn && run.hasFormula) run.Catalytic(i, run.reactions[k], E, E0eUsed[k]);
    }
    curves.resultTable(i, run.total) = model::Finite(curves.resultTable(i, run.total) + sum);
  }
}

// The half-order derivative of the stored step responses, and the steady state the curved
// electrodes add to it: radial diffusion's Nernstian steady state with both members of the
// couple, n F A (DR DP / r) (cR - e cP) / (DR e + DP), e = exp(nf (x - E0)). With the couple
// pre-equilibrated at the starting potential it is zero there and reads
// n F A DR cR / r (1 - exp(nf (x - Estart))) / (1 + exp(nf (x - E0))) for equal D.
void HalfOrderDerivative(RouteRun& run) {
  const AppState& app = run.app;
  CurveSet& curves = run.curves;
  const double factor = SweepFactor(app);
  for (int k = 1; k <= run.total; ++k) {
    numerics::SemiDifferentiateL1(numerics::ColumnOf(curves.resultTable, k), curves.pointCount,
                                  factor);
  }
  if (!model::IsSpherical(run.committed.electrode)) return;
  const double radius = model::EquivalentRadius(run.committed.electrode, app.radius);
  for (int k = 1; k <= run.chargeCount; ++k) {
    const Reaction& rx = run.reactions[k];
    const double nf = rx.in.n * app.fOverRT;
    const double DR = app.D(rx.r);
    const double DP = app.D(rx.q);
    const double scale = model::Div(run.currentScale * rx.in.n * DR * DP, radius);
    for (int i = 1; i <= curves.pointCount; ++i) {
      const double e = model::Exp(nf * (curves.x(i) - rx.in.E0e));
      const double steady = scale * model::Div(rx.in.cR - e * rx.in.cP, model::Finite(DR * e + DP));
      curves.resultTable(i, run.total) = model::Finite(curves.resultTable(i, run.total) + steady);
    }
  }
}

}  // namespace

double SweepFactor(const AppState& app) {
  return 2.0 * model::Sqrt(model::Div(app.tDrop * app.scanRate, app.Estep));
}

void ComputeAnalyticalCurrents(AppState& app, CurveSet& curves, const StopRequest& stop) {
  RouteRun run = Prepare(app, curves, stop);
  const Route route = ChooseRoute(run);
  const ConvolutionKind kind = ConvolutionOf(model::TechniqueOf(app));
  switch (route) {
    case Route::Convolution:
      if (kind == ConvolutionKind::Sweep) {
        SweepConvolution(run);
      } else {
        if (kind == ConvolutionKind::DifferentialPulse) RequirePulsesResolvable(app);
        PulseConvolution(run, kind);
      }
      break;
    case Route::Superposition: Superposition(run); break;
    default: PointByPoint(run); break;
  }
  if (!run.hasFormula) return;
  // The committed sweep at the plane and the spherical forms.
  if (route == Route::HalfOrderDerivative && run.committed.technique == model::TechniqueOf(app)) {
    HalfOrderDerivative(run);
  }
  if (run.catalyticColumn) {
    for (int i = 1; i <= curves.pointCount; ++i) {
      curves.resultTable(i, run.total) = model::Finite(
          curves.resultTable(i, run.total) + curves.resultTable(i, model::kCatalyticColumn));
    }
  }
}

}  // namespace kivex::simulation
