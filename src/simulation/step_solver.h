#pragma once
// One implicit time step of the digital simulation: the block-tridiagonal system of diffusion and
// first-order chemistry, the Newton iteration of second-order chemistry around it, and the
// electrode potential that an uncompensated resistance leaves.
//
// The blocks of a run change only with the length of its steps, so each kind of step (one
// effective length) is eliminated once (PrepareBlockSolve) and every step afterwards sweeps only
// its right-hand side; the surface closure is kept while the potential stays the same. Without
// second-order chemistry and resistance this is the whole step, and it gives the numbers of a
// solve from scratch (BlockSolve) to the last bit.
//
// Second-order chemistry: a simplified Newton iteration. The Jacobian of a kind of step is
// eliminated at some earlier concentrations and kept while the iteration contracts fast; each
// iteration then costs two sweeps. It is re-eliminated at the present iterate (a full Newton
// step) when the contraction slows or strong chemistry moves far, and renewed after many steps
// once it needs a third iteration. The iteration runs until no concentration changes by more than
// 1e-10 of itself, so its result is the solution of the step, whatever Jacobian got there.
//
// Ohmic drop: only the surface rows depend on the electrode potential. With the nodes beyond the
// surface eliminated, a trial potential costs a system of one unknown per electron transfer
// (FluxResponse), so the potential is solved to 1e-12 V inside each step at next to no cost.
//
// The reference route solves every step from scratch (BlockSolve; the Newton iteration with a
// fresh Jacobian stopped at 0.1 % change, NewtonStep; regula falsi on the potential with a full
// solve per trial). It is kept to check the prepared route against.

#include <array>
#include <span>

#include "model/app_state.h"
#include "model/count.h"
#include "simulation/block_solver.h"
#include "simulation/digital_grid.h"
#include "simulation/newton_step.h"
#include "simulation/surface_conditions.h"

namespace kivex::simulation {

enum class SolveRoute { kPrepared, kReference };

inline constexpr int kMaxStepKinds = 6;

// One kind of step: its effective length and what a run prepares for it.
struct StepKind {
  double dt = 0;        // s, the factor of the diffusion and reaction terms
  NodeVectors lower{};  // a(j, s)
  NodeVectors upper{};  // b(j, s)
  NodeBlocks blocks{};  // D(j): 1 + a + b and the first-order chemistry
  std::array<SecondOrderReaction, model::kMaxChem2> secondOrder{};
  int secondOrderCount = 0;  // rows with a product of two species on a side
  PreparedBlocks prepared;   // of D(j), or of the Jacobian at `linearisedAt`
  bool isPrepared = false;
  bool refreshNext = false;  // re-eliminate the Jacobian at the start of the next step
  int age = 0;               // steps since the Jacobian was eliminated
  NodeVectors linearisedAt{};
  double chemistryWeight = 0;  // the simplified Newton's contraction per unit concentration moved
  FluxResponse flux;
  SurfaceClosure closure;
};

// Fills `kind` for steps of effective length dt on `grid`, whose first box was sized for steps of
// `gridDt` (the dimensionless diffusion of species s is DM D(s) / D(sRef) times dt / gridDt).
// Second-order constants are per mol/L and the profile is divided by cRef.
void BuildStepKind(const model::AppState& app, const DigitalGrid& grid, double modelDiffusion,
                   int referenceSpecies, double cRef, double dt, double gridDt, StepKind& kind);

class StepSolver {
 public:
  // Per run: the scheme's constants, the surface rows, the grid size and how to solve.
  void Begin(const model::AppState& app, const SurfaceConditions& surface, int M,
             double currentFactor, SolveRoute route);

  StepKind& Kind(int k) { return kinds_[k]; }

  // Solves one step of `kind`. `c` holds the profile to start from (nodes 0..M+1) and receives
  // the solution at nodes 0..M; `rhs` holds the right-hand side at nodes 1..M and the bulk at
  // M+1. `before`, when given, is the profile one step earlier at the same potential and step
  // length, for a better first guess. Returns the electrode potential (the applied one without
  // resistance).
  double Step(StepKind& kind, const NodeVectors& rhs, NodeVectors& c, double applied,
              const NodeVectors* before = nullptr);

  // From the next step on, each step charges the double layer `capacitance` (F, Cdl A) through
  // Ru with its faradaic current, from the interface potential `from`: the step's current adds
  // capacitance (e_before - e) / dt, backward Euler as the diffusion. Without Ru it does nothing.
  void ChargeDoubleLayer(double capacitance, double from);
  // The charging current (A) of the last step, reduction positive.
  double Charging() const { return charging_; }

  // The flux of transfer r of the last step (cm/s times the dimensionless concentration).
  double Flux(int r) const { return flux_[r]; }

  int iterations() const { return iterations_; }  // Newton iterations of the last step

 private:
  void SetRates(double E);     // kRed and kOx at E
  void SetBoundary(double E);  // and the boundary matrix
  double SolveLinear(StepKind& kind, const NodeVectors& rhs, NodeVectors& c, double applied);
  double SolveSecondOrder(StepKind& kind, const NodeVectors& rhs, NodeVectors& c, double applied,
                          const NodeVectors* before);
  double SolveReference(StepKind& kind, const NodeVectors& rhs, NodeVectors& c, double applied);
  void Linearise(StepKind& kind, const NodeVectors& at);
  double JacobianDrift(const StepKind& kind, const NodeVectors& c) const;
  // The surface values of a prepared step whose backward sweep is done, at potential E or, with
  // `solvePotential`, at the potential the ohmic drop leaves (searched from E); returns it.
  double CloseWithFluxes(StepKind& kind, double applied, double E, bool solvePotential,
                         NodeVectors& c);

  const model::AppState* app_ = nullptr;
  const SurfaceConditions* surface_ = nullptr;
  SolveRoute route_ = SolveRoute::kPrepared;
  int M_ = 0;
  int n_ = 0;
  int charges_ = 0;
  double currentFactor_ = 0;
  double Ru_ = 0;
  double lastDrop_ = 0;     // electrode minus applied potential of the last step
  double capacitance_ = 0;  // F, the double layer charged with the steps; 0 for none
  double chargedTo_ = 0;    // V, the interface potential of the last step
  double charging_ = 0;     // A
  double lowest_ = 0;       // the potentials at which every rate constant stays finite
  double highest_ = 0;

  std::array<StepKind, kMaxStepKinds> kinds_;
  BlockSolveWork work_;
  NewtonWork newton_;
  NodeBlocks jacobian_{};
  NodeVectors chordRhs_{};
  NodeVectors next_{};
  NodeVectors start_{};
  Block boundary_{};
  SpeciesVector zeroFluxSurface_{};
  RateVector kRed_{};
  RateVector kOx_{};
  RateSlopes slopes_{};
  RateVector flux_{};
  double ratesAt_ = 0;
  bool ratesValid_ = false;
  bool boundaryValid_ = false;
  int iterations_ = 0;
};

}  // namespace kivex::simulation
