#include "simulation/convolution_sweep.h"

#include <cmath>

#include "model/checked_math.h"
#include "simulation/electrode_kinetics.h"
#include "simulation/ohmic_drop.h"

namespace kivex::simulation {

namespace {

// The weights W_0..W_(count-1) of the field for diffusion coefficient D. The first few come from
// differences of the closed or inverted M; later ones by three-point Gauss-Legendre over K,
// where K is smooth, so that the numerical inversion's relative error is not magnified by the
// difference of two nearly equal charges.
std::vector<double> Weights(const DiffusionField& field, double D, double dt, int count) {
  std::vector<double> W(count);
  const bool closed = field.shape == FieldShape::Planar || field.shape == FieldShape::Sphere;
  double previous = 0.0;  // M(m dt)
  for (int m = 0; m < count; ++m) {
    if (closed || m < 4) {
      const double next = StepCharge(field, D, (m + 1) * dt);
      W[m] = (next - previous) / dt;
      previous = next;
    } else {
      const double half = 0.5 * dt, mid = (m + 0.5) * dt, g = 0.7745966692414834 * half;
      W[m] = (5 * StepFlux(field, D, mid - g) + 8 * StepFlux(field, D, mid) +
              5 * StepFlux(field, D, mid + g)) /
             18;
    }
    model::Finite(W[m]);
  }
  return W;
}

}  // namespace

// One diffusion field of one couple: its weights for both members and the deficits so far.
struct ConvolutionSolver::Track {
  int couple = 0;
  double weight = 0;  // share of the area
  std::vector<double> WR, WP, a, b;
  double HR = 0, HP = 0;  // the earlier points' part of the flux at the present point
  double A = 0, B = 0;    // surface concentrations of R and P if no flux crossed at this point

  // The flux at this point for the rates kred, kox.
  double Flux(double kred, double kox) const {
    return (kred * A - kox * B) / (1.0 + kred / WR[0] + kox / WP[0]);
  }
};

ConvolutionSolver::ConvolutionSolver(const std::vector<CurrentInputs>& couples,
                                     const ElectrodeFields& fields, const SweepSettings& settings,
                                     int nodes)
    : couples_(couples), settings_(settings), nodes_(nodes) {
  const int C = static_cast<int>(couples.size());
  const double dt = model::Finite(settings.dt);
  if (!(dt > 0)) model::ThrowFailure(model::kDivisionByZero);
  for (int c = 0; c < C; ++c) {
    const double DR = couples[c].dR * couples[c].dR;
    const double DP = couples[c].dP * couples[c].dP;
    for (int f = 0; f < fields.count; ++f) {
      Track track;
      track.couple = c;
      track.weight = fields.weight[f];
      track.WR = Weights(fields.field[f], DR, dt, nodes);
      track.WP = DP == DR ? track.WR : Weights(fields.field[f], DP, dt, nodes);
      track.a.assign(nodes + 1, 0.0);
      track.b.assign(nodes + 1, 0.0);
      tracks_.push_back(std::move(track));
    }
  }
  kred_.assign(C, 0.0);
  kox_.assign(C, 0.0);
  current_.assign(C, 0.0);
  effective_.assign(nodes + 1, 0.0);
  charging_.assign(nodes + 1, 0.0);
  currents_.assign(static_cast<std::size_t>(nodes + 1) * C, 0.0);
}

ConvolutionSolver::~ConvolutionSolver() = default;

void ConvolutionSolver::Run(const std::vector<double>& programme) {
  const int N = nodes_;
  const int C = static_cast<int>(couples_.size());
  const SweepSettings& settings = settings_;
  if (static_cast<int>(programme.size()) != N + 1) model::ThrowIndexFailure();

  // Rates at E, then the current of every couple and their sum.
  auto sumAt = [&](double E) {
    for (int c = 0; c < C; ++c) {
      const CurrentInputs& in = couples_[c];
      const TransferRates k =
          CheckedTransferRatesAt(in.ks, in.alpha, in.n, settings.fOverRT, E - in.E0e);
      kred_[c] = k.red;
      kox_[c] = k.ox;
      current_[c] = 0.0;
    }
    for (const Track& track : tracks_) {
      current_[track.couple] += track.weight * track.Flux(kred_[track.couple], kox_[track.couple]);
    }
    double sum = 0.0;
    for (int c = 0; c < C; ++c) {
      current_[c] = model::Finite(current_[c] * couples_[c].n * settings.currentScale);
      sum += current_[c];
    }
    return sum;
  };

  // The double layer takes Cdl A (e_before - e) / dt as the interface moves from e_before to e
  // (reduction positive), through Ru with the couples; it starts at rest at the first potential.
  const double perVolt = settings.Ru > 0 ? settings.capacitance / settings.dt : 0.0;
  double before = N >= 1 ? programme[1] : 0.0;
  auto totalAt = [&](double E) { return sumAt(E) + perVolt * (before - E); };

  for (int i = 1; i <= N; ++i) {
    if (settings.stop && i % kNodesBetweenStopChecks == 0 && settings.stop())
      throw SimulationCancelled{};
    for (Track& track : tracks_) {
      const CurrentInputs& in = couples_[track.couple];
      double HR = 0.0, HP = 0.0;
      for (int j = 1; j < i; ++j) {
        HR += (track.a[j] - track.a[j - 1]) * track.WR[i - j];
        HP += (track.b[j] - track.b[j - 1]) * track.WP[i - j];
      }
      track.HR = HR;
      track.HP = HP;
      track.A = in.cR - track.a[i - 1] + HR / track.WR[0];
      track.B = in.cP + track.b[i - 1] - HP / track.WP[0];
    }
    const double x = programme[i];
    const double I = perVolt > 0 ? SolveOhmicDrop(totalAt, x, settings.Ru)
                                 : SolveOhmicDrop(sumAt, x, settings.Ru);
    const double E = model::Finite(x + settings.Ru * I);
    sumAt(E);
    charging_[i] = model::Finite(perVolt * (before - E));
    before = E;
    for (Track& track : tracks_) {
      const double psi = track.Flux(kred_[track.couple], kox_[track.couple]);
      track.a[i] = track.a[i - 1] + (psi - track.HR) / track.WR[0];
      track.b[i] = track.b[i - 1] + (psi - track.HP) / track.WP[0];
    }
    for (int c = 0; c < C; ++c) currents_[static_cast<std::size_t>(i) * C + c] = current_[c];
    effective_[i] = E;
  }
}

void SolveConvolution(const std::vector<CurrentInputs>& couples, const ElectrodeFields& fields,
                      const SweepSettings& settings, const std::vector<double>& programme,
                      std::vector<double>& currents, std::vector<double>& effective) {
  const int N = static_cast<int>(programme.size()) - 1;
  const int C = static_cast<int>(couples.size());
  ConvolutionSolver solver(couples, fields, settings, N);
  solver.Run(programme);
  currents.assign(static_cast<std::size_t>(N + 1) * C, 0.0);
  effective.assign(N + 1, 0.0);
  for (int i = 1; i <= N; ++i) {
    for (int c = 0; c < C; ++c) {
      currents[static_cast<std::size_t>(i) * C + c] = solver.Current(i, c);
    }
    effective[i] = solver.Effective(i);
  }
}

void ConvolutionSweep(const std::vector<CurrentInputs>& couples, const ElectrodeFields& fields,
                      const SweepSettings& settings, model::CurveSet& curves,
                      std::vector<double>& effective) {
  const int N = curves.pointCount;
  const int C = static_cast<int>(couples.size());
  std::vector<double> programme(N + 1, 0.0);
  for (int i = 1; i <= N; ++i) programme[i] = curves.x(i);
  ConvolutionSolver solver(couples, fields, settings, N);
  solver.Run(programme);
  effective.assign(N + 1, 0.0);
  for (int i = 1; i <= N; ++i) {
    double sum = 0.0;
    for (int c = 0; c < C; ++c) {
      const double value = solver.Current(i, c);
      curves.resultTable(i, c + 1) = value;
      sum += value;
    }
    if (settings.capacitance > 0) sum += solver.Charging(i);
    curves.resultTable(i, settings.totalColumn) =
        model::Finite(curves.resultTable(i, settings.totalColumn) + sum);
    effective[i] = solver.Effective(i);
  }
}

}  // namespace kivex::simulation
