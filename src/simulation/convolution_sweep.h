#pragma once
// The linear sweep as the solution of the diffusion convolution equation, for couples of any
// rate, at an electrode of any diffusion field, with the ohmic drop solved at every point.
//
// The surface deficit a(t) of the reactant (and b(t) of the product) draws the flux
// psi(t) = integral of K(t - u) da(u), K the field's step flux (diffusion_field.h), and
// Butler-Volmer ties psi to the surface concentrations: psi = kred (cR - a) - kox (cP + b). With a
// taken linear between the points (the potential ramps between them), the convolution becomes
// psi_i = sum_j (a_j - a_j-1) W_(i-j), W_m = (M((m+1) dt) - M(m dt)) / dt, M the integral of K,
// and each point gives psi_i in closed form from the points before it: O(N^2) for N points. For a
// fast couple this is the half-order derivative of the Nernstian deficit (Randles-Sevcik at a
// plane); for a slow one it is the totally irreversible wave, converging as the step shrinks.
// Each member of the couple has its own kernel, so unequal D are exact.

#include <vector>

#include "model/curve_set.h"
#include "simulation/cancellation.h"
#include "simulation/current_functions.h"

namespace kivex::simulation {

// Nodes between two looks at a StopRequest: a few milliseconds of the longest programmes.
inline constexpr int kNodesBetweenStopChecks = 64;

struct SweepSettings {
  double dt = 0;            // s between points, Estep / scanRate
  double Ru = 0;            // ohm
  double capacitance = 0;   // F, Cdl A: charged through Ru with the couples (0: not at all)
  double fOverRT = 0;       // 1/V
  double currentScale = 0;  // A per n (cm/s) (mol/L): area F 0.001
  int totalColumn = 0;
  StopRequest stop;  // looked at every kNodesBetweenStopChecks nodes
};

// The solver on its own, for any programme of potentials at t_i = i dt, i = 1..nodes (the ohmic
// drop added at each node). The kernel weights and work storage are made once; each Run starts
// from the solution as it was made, so one solver serves every point of a renewed technique.
class ConvolutionSolver {
 public:
  ConvolutionSolver(const std::vector<CurrentInputs>& couples, const ElectrodeFields& fields,
                    const SweepSettings& settings, int nodes);
  ~ConvolutionSolver();
  ConvolutionSolver(const ConvolutionSolver&) = delete;
  ConvolutionSolver& operator=(const ConvolutionSolver&) = delete;

  // programme[1..nodes]; programme[0] is not used.
  void Run(const std::vector<double>& programme);
  // Couple c's current (A) at node i, and the potential the electrode saw there.
  double Current(int i, int c) const {
    return currents_[static_cast<std::size_t>(i) * couples_.size() + c];
  }
  double Effective(int i) const { return effective_[i]; }
  // The double layer's charging current (A) at node i, reduction positive.
  double Charging(int i) const { return charging_[i]; }

 private:
  struct Track;
  std::vector<CurrentInputs> couples_;
  SweepSettings settings_;
  int nodes_;
  std::vector<Track> tracks_;
  std::vector<double> kred_, kox_, current_, currents_, effective_, charging_;
};

// One run of a fresh solver: currents[i * count + k] receives couple k's current at node i.
void SolveConvolution(const std::vector<CurrentInputs>& couples, const ElectrodeFields& fields,
                      const SweepSettings& settings, const std::vector<double>& programme,
                      std::vector<double>& currents, std::vector<double>& effective);

// Fills resultTable(i, k) with the current of couples[k - 1] (A) and adds their sum, with the
// charging current of settings.capacitance, to the total column, for i = 1..pointCount at the
// programmed potentials x(i). `effective` receives the potential each point's electrode saw.
// couples[k].dR and dP hold sqrt(D).
void ConvolutionSweep(const std::vector<CurrentInputs>& couples, const ElectrodeFields& fields,
                      const SweepSettings& settings, model::CurveSet& curves,
                      std::vector<double>& effective);

}  // namespace kivex::simulation
