#include "simulation/step_solver.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "model/checked_math.h"
#include "model/failure.h"
#include "simulation/electrode_kinetics.h"
#include "simulation/ohmic_drop.h"

namespace kivex::simulation {

namespace {

using model::AppState;

// The simplified Newton iteration stops when no concentration changes by more than this part of
// itself; below kNewtonFloor (of the reference concentration) a change counts as absolute.
constexpr double kNewtonTolerance = 1e-10;
constexpr double kNewtonFloor = 1e-4;
constexpr int kMaxNewtonSweeps = 50;
// A kept Jacobian is re-eliminated when an iteration shrinks the change by less than this, and
// after this many iterations in one step.
constexpr double kSlowContraction = 0.25;
constexpr int kRefreshAfter = 8;
constexpr int kRenewAge = 64;
// With a resistance and strong chemistry the iteration first holds the potential until the
// chemistry has moved less than this, so that no wild early iterate drags the potential away.
constexpr double kSettled = 1e-3;
// Potentials at which a rate constant would pass e^600 are never tried.
constexpr double kLargestExponent = 600;

}  // namespace

void BuildStepKind(const AppState& app, const DigitalGrid& grid, double modelDiffusion,
                   int referenceSpecies, double cRef, double dt, double gridDt, StepKind& kind) {
  const int M = grid.nodeCount;
  const int n = app.speciesCount;
  kind.dt = dt;
  kind.isPrepared = false;
  kind.refreshNext = false;
  kind.closure.preparedFor = nullptr;
  const double ratio = dt / gridDt;
  for (int j = 1; j <= M; ++j) {
    for (auto& row : kind.blocks[j]) row.fill(0.0);
  }
  for (int s = 1; s <= n; ++s) {
    const double lambda = model::Div(modelDiffusion * app.D(s), app.D(referenceSpecies)) * ratio;
    for (int j = 1; j <= M; ++j) {
      kind.lower[j][s] = lambda * grid.lower[j];
      kind.upper[j][s] = lambda * grid.upper[j];
      kind.blocks[j][s][s] = 1 + kind.lower[j][s] + kind.upper[j][s];
    }
  }
  // First-order chemistry X = Y, backward Euler inside the block of every node.
  for (int q = 1; q <= app.chemCount; ++q) {
    const int X = app.chemSpecies(q, 1);
    const int Y = app.chemSpecies(q, 2);
    const double kfdt = app.kf(q) * dt;
    const double kbdt = app.kb(q) * dt;
    for (int j = 1; j <= M; ++j) {
      Block& D = kind.blocks[j];
      D[X][X] += kfdt;
      D[Y][Y] += kbdt;
      D[X][Y] -= kbdt;
      D[Y][X] -= kfdt;
    }
  }
  // Second-order constants are per mol/L; the profile is divided by cRef, so a side with two
  // species takes k cRef. An empty place is put second on its side, so the dummy species never
  // stands where its column would carry a real reaction term; a row with one empty place on each
  // side is the first-order X = Y and goes into the blocks like one.
  kind.secondOrderCount = 0;
  for (int j = 1; j <= app.chem2Count; ++j) {
    const int q = app.chemCount + j;
    SecondOrderReaction reaction;
    reaction.s1 = app.chem2Species(j, 1);
    reaction.s2 = app.chem2Species(j, 2);
    reaction.s3 = app.chem2Species(j, 3);
    reaction.s4 = app.chem2Species(j, 4);
    if (reaction.s1 == 0) std::swap(reaction.s1, reaction.s2);
    if (reaction.s3 == 0) std::swap(reaction.s3, reaction.s4);
    reaction.kfdt = app.kf(q) * dt * (reaction.s2 != 0 ? cRef : 1.0);
    reaction.kbdt = app.kb(q) * dt * (reaction.s4 != 0 ? cRef : 1.0);
    if (reaction.s2 == 0 && reaction.s4 == 0) {
      const int X = reaction.s1;
      const int Y = reaction.s3;
      for (int node = 1; node <= M; ++node) {
        Block& D = kind.blocks[node];
        D[X][X] += reaction.kfdt;
        D[Y][Y] += reaction.kbdt;
        D[X][Y] -= reaction.kbdt;
        D[Y][X] -= reaction.kfdt;
      }
    } else {
      kind.secondOrder[kind.secondOrderCount++] = reaction;
    }
  }
  // The contraction of the simplified Newton iteration is about the change of the chemistry's
  // part of the Jacobian against the diagonal of the blocks: twice the rate constants times how
  // far the concentrations moved from those the Jacobian was taken at, over the least diagonal.
  double rates = 0.0;
  for (int j = 0; j < kind.secondOrderCount; ++j) {
    rates += kind.secondOrder[j].kfdt + kind.secondOrder[j].kbdt;
  }
  double diagonal = std::numeric_limits<double>::infinity();
  for (int j = 1; j <= M; ++j) {
    for (int s = 1; s <= n; ++s) diagonal = std::min(diagonal, kind.blocks[j][s][s]);
  }
  kind.chemistryWeight = 2 * rates / diagonal;
}

void StepSolver::Begin(const AppState& app, const SurfaceConditions& surface, int M,
                       double currentFactor, SolveRoute route) {
  app_ = &app;
  surface_ = &surface;
  route_ = route;
  M_ = M;
  n_ = app.speciesCount;
  charges_ = std::min<int>(app.chargeCount, model::kMaxCharge);
  currentFactor_ = currentFactor;
  Ru_ = app.Ru > 0 ? app.Ru : 0.0;
  lastDrop_ = 0.0;
  capacitance_ = 0.0;
  charging_ = 0.0;
  ratesValid_ = false;
  boundaryValid_ = false;
  iterations_ = 0;
  lowest_ = -std::numeric_limits<double>::infinity();
  highest_ = std::numeric_limits<double>::infinity();
  for (int r = 1; r <= charges_; ++r) {
    slopes_.red[r] = -app.alpha(r) * app.n(r) * app.fOverRT;
    slopes_.ox[r] = (1 - app.alpha(r)) * app.n(r) * app.fOverRT;
    if (slopes_.red[r] < 0) {
      lowest_ = std::max(lowest_, app.E0(r) + kLargestExponent / slopes_.red[r]);
    }
    if (slopes_.ox[r] > 0) {
      highest_ = std::min(highest_, app.E0(r) + kLargestExponent / slopes_.ox[r]);
    }
  }
  // The dummy species of empty places is 1 everywhere, in every profile the iteration builds.
  for (int j = 0; j < kNodeSlots; ++j) next_[j][0] = 1.0;
}

void StepSolver::SetRates(double E) {
  if (ratesValid_ && E == ratesAt_) return;
  const AppState& app = *app_;
  for (int r = 1; r <= charges_; ++r) {
    const TransferRates k =
        TransferRatesAt(app.ks(r), app.alpha(r), app.n(r), app.fOverRT, E - app.E0(r));
    kRed_[r] = k.red;
    kOx_[r] = k.ox;
  }
  ratesAt_ = E;
  ratesValid_ = true;
  boundaryValid_ = false;
}

void StepSolver::SetBoundary(double E) {
  SetRates(E);
  if (boundaryValid_) return;
  BuildBoundaryMatrix(*surface_, kRed_, kOx_, boundary_);
  boundaryValid_ = true;
}

void StepSolver::ChargeDoubleLayer(double capacitance, double from) {
  capacitance_ = Ru_ > 0 ? capacitance : 0.0;
  chargedTo_ = from;
  charging_ = 0.0;
}

double StepSolver::Step(StepKind& kind, const NodeVectors& rhs, NodeVectors& c, double applied,
                        const NodeVectors* before) {
  iterations_ = 0;
  double E = 0.0;
  if (route_ == SolveRoute::kReference) {
    E = SolveReference(kind, rhs, c, applied);
  } else if (kind.secondOrderCount > 0) {
    E = SolveSecondOrder(kind, rhs, c, applied, before);
  } else {
    E = SolveLinear(kind, rhs, c, applied);
  }
  if (capacitance_ > 0) {
    charging_ = model::Finite(capacitance_ / kind.dt * (chargedTo_ - E));
    chargedTo_ = E;
  }
  return E;
}

double StepSolver::SolveLinear(StepKind& kind, const NodeVectors& rhs, NodeVectors& c,
                               double applied) {
  if (!kind.isPrepared) {
    PrepareBlockSolve(kind.prepared, work_, kind.lower, kind.upper, kind.blocks, surface_->pattern,
                      M_, n_);
    if (Ru_ > 0) {
      BuildFluxResponse(*surface_, kind.prepared.reducedFirst, kind.prepared.surfaceProduct,
                        kind.lower[1], kind.flux);
    }
    kind.isPrepared = true;
    kind.closure.preparedFor = nullptr;
  }
  SweepBackward(rhs, kind.prepared, work_, kind.upper);
  double E = applied;
  if (Ru_ > 0) {
    E = CloseWithFluxes(kind, applied, applied + lastDrop_, true, c);
    lastDrop_ = E - applied;
  } else {
    SetBoundary(E);
    CloseSurfacePrepared(c, kind.prepared, work_, kind.lower, boundary_, kind.closure);
    for (int r = 1; r <= charges_; ++r) {
      flux_[r] = kRed_[r] * c[0][surface_->ox[r]] - kOx_[r] * c[0][surface_->red[r]];
    }
  }
  SweepForward(c, kind.prepared, work_, kind.lower);
  return E;
}

double StepSolver::CloseWithFluxes(StepKind& kind, double applied, double E, bool solvePotential,
                                   NodeVectors& c) {
  const AppState& app = *app_;
  const Block& zeroFlux = kind.flux.zeroFlux;
  const SpeciesVector& r1 = work_.rhs[1];
  for (int s = 1; s <= n_; ++s) {
    double sum = 0.0;
    for (int t = 1; t <= n_; ++t) sum += zeroFlux[s][t] * r1[t];
    zeroFluxSurface_[s] = sum;
  }
  if (solvePotential && Ru_ > 0) {
    RateVector J{};
    RateVector dJ{};
    const int charges = std::min(charges_, model::kMaxCharge);
    const double perVolt = capacitance_ / kind.dt;  // the double layer's current per volt moved
    auto current = [&](double trial, double& I, double& dIdE) {
      SetRates(trial);
      SolveFluxes(*surface_, kind.flux, zeroFluxSurface_, kRed_, kOx_, J, &slopes_, &dJ);
      I = 0.0;
      dIdE = 0.0;
      for (int r = 1; r <= charges; ++r) {
        I += model::Finite(J[r] * app.n(r) * currentFactor_);
        dIdE += dJ[r] * app.n(r) * currentFactor_;
      }
      if (capacitance_ > 0) {
        I += perVolt * (chargedTo_ - trial);
        dIdE -= perVolt;
      }
    };
    const double lowest = std::max(std::min(lowest_, applied), applied - 1e3);
    const double highest = std::min(std::max(highest_, applied), applied + 1e3);
    E = SolveElectrodePotential(applied, E, Ru_, lowest, highest, current);
  }
  SetRates(E);
  SolveFluxes(*surface_, kind.flux, zeroFluxSurface_, kRed_, kOx_, flux_);
  SurfaceFromFluxes(*surface_, kind.flux, zeroFluxSurface_, flux_, c[0]);
  return E;
}

void StepSolver::Linearise(StepKind& kind, const NodeVectors& at) {
  for (int j = 1; j <= M_; ++j) {
    SpeciesVector& o = kind.linearisedAt[j];
    o = at[j];
    o[0] = 1.0;
    Block& block = jacobian_[j];
    block = kind.blocks[j];
    // d(rate)/dc of kf c(S1) c(S2) - kb c(S3) c(S4); S1 and S2 lose the rate, S3 and S4 gain it.
    for (int q = 0; q < kind.secondOrderCount; ++q) {
      const SecondOrderReaction& r = kind.secondOrder[q];
      std::array<int, 4> column{r.s1, r.s2, r.s3, r.s4};
      std::array<double, 4> slope{r.kfdt * o[r.s2], r.kfdt * o[r.s1], -r.kbdt * o[r.s4],
                                  -r.kbdt * o[r.s3]};
      if (r.s2 == 0) slope[1] = 0.0;
      if (r.s4 == 0) slope[3] = 0.0;
      for (int row = 0; row < 4; ++row) {
        const int s = column[row];
        if (s == 0) continue;
        const double sign = row < 2 ? 1.0 : -1.0;
        for (int k = 0; k < 4; ++k) {
          if (column[k] != 0) block[s][column[k]] += sign * slope[k];
        }
      }
    }
  }
  PrepareBlockSolve(kind.prepared, work_, kind.lower, kind.upper, jacobian_, surface_->pattern, M_,
                    n_);
  BuildFluxResponse(*surface_, kind.prepared.reducedFirst, kind.prepared.surfaceProduct,
                    kind.lower[1], kind.flux);
  kind.isPrepared = true;
  kind.closure.preparedFor = nullptr;
}

double StepSolver::JacobianDrift(const StepKind& kind, const NodeVectors& c) const {
  double moved = 0.0;
  for (int j = 1; j <= M_; ++j) {
    for (int s = 1; s <= n_; ++s) {
      moved = std::max(moved, std::abs(c[j][s] - kind.linearisedAt[j][s]));
    }
  }
  return kind.chemistryWeight * moved;
}

double StepSolver::SolveSecondOrder(StepKind& kind, const NodeVectors& rhs, NodeVectors& c,
                                    double applied, const NodeVectors* before) {
  for (int j = 0; j <= M_; ++j) start_[j] = c[j];
  if (before != nullptr) {
    // The step continues the last one at the same potential: start from the straight line
    // through the last two profiles.
    for (int j = 1; j <= M_; ++j) {
      for (int s = 1; s <= n_; ++s) c[j][s] += c[j][s] - (*before)[j][s];
    }
  }
  // The iterate and the next one take turns in c and next_.
  NodeVectors* x = &c;
  NodeVectors* y = &next_;
  // Concentrations stay below a few times cRef, so weak chemistry never needs the drift check.
  const bool strong = kind.chemistryWeight * 4 > kSlowContraction;
  double E = Ru_ > 0 ? applied + lastDrop_ : applied;
  double previousChange = 0.0;
  bool settled = false;  // the chemistry moved less than kSettled in the last iteration
  bool refresh =
      !kind.isPrepared || kind.refreshNext || (strong && JacobianDrift(kind, c) > kSlowContraction);
  kind.refreshNext = false;
  for (int iteration = 1; iteration <= kMaxNewtonSweeps; ++iteration) {
    iterations_ = iteration;
    if (refresh) {
      // A full Newton step, from the iterate with negative values raised to 0: the quadratic
      // terms have a second, unphysical root on the negative side.
      for (int j = 1; j <= M_; ++j) {
        for (int s = 1; s <= n_; ++s) (*x)[j][s] = std::max((*x)[j][s], 0.0);
      }
      Linearise(kind, *x);
      kind.age = 0;
      refresh = false;
    }
    // The step's equations linearised at o, applied to the present iterate x:
    // D x' + J(o) x' = rhs + J(o) x - R(x), whose fixed point is D x + R(x) = rhs.
    for (int j = 1; j <= M_; ++j) {
      SpeciesVector& out = chordRhs_[j];
      out = rhs[j];
      const SpeciesVector& xj = (*x)[j];
      const SpeciesVector& o = kind.linearisedAt[j];
      for (int q = 0; q < kind.secondOrderCount; ++q) {
        const SecondOrderReaction& r = kind.secondOrder[q];
        const double forward =
            r.s2 != 0 ? r.kfdt * (o[r.s2] * xj[r.s1] + o[r.s1] * xj[r.s2] - xj[r.s1] * xj[r.s2])
                      : 0.0;
        const double backward =
            r.s4 != 0 ? r.kbdt * (o[r.s4] * xj[r.s3] + o[r.s3] * xj[r.s4] - xj[r.s3] * xj[r.s4])
                      : 0.0;
        const double term = forward - backward;
        out[r.s1] += term;
        if (r.s2 != 0) out[r.s2] += term;
        out[r.s3] -= term;
        if (r.s4 != 0) out[r.s4] -= term;
      }
    }
    chordRhs_[M_ + 1] = rhs[M_ + 1];
    SweepBackward(chordRhs_, kind.prepared, work_, kind.upper);
    const bool potentialSolved = Ru_ > 0 && (settled || !strong);
    E = CloseWithFluxes(kind, applied, E, potentialSolved, *y);
    SweepForward(*y, kind.prepared, work_, kind.lower);

    double change = 0.0;  // the largest |y - x| / max(|y|, floor), dividing only then
    for (int j = 1; j <= M_; ++j) {
      for (int s = 1; s <= n_; ++s) {
        const double scale = std::max(std::abs((*y)[j][s]), kNewtonFloor);
        const double moved = std::abs((*y)[j][s] - (*x)[j][s]);
        if (!(moved <= change * scale)) change = moved / scale;  // NaN too
      }
    }
    if (!std::isfinite(change)) {
      // Lost from a Jacobian of other concentrations: a full Newton step from the start.
      for (int j = 0; j <= M_; ++j) (*x)[j] = start_[j];
      refresh = true;
      previousChange = 0.0;
      continue;
    }
    std::swap(x, y);
    settled = change < kSettled;
    const bool potentialDone = Ru_ <= 0 || potentialSolved;
    if (change <= kNewtonTolerance && potentialDone) break;
    const double rho = previousChange > 0.0 ? change / previousChange : 0.0;
    // The error left after a contracting iteration is about change rho / (1 - rho).
    if (potentialDone && rho > 0.0 && rho < 0.5 && change * rho / (1 - rho) <= kNewtonTolerance) {
      break;
    }
    // Strong chemistry that moved far from the kept Jacobian's concentrations takes full Newton
    // steps (each from the iterate raised to 0, which keeps to the physical root); weak or
    // settled chemistry keeps the Jacobian while it contracts fast.
    if (rho > kSlowContraction || iteration % kRefreshAfter == 0 ||
        (strong && JacobianDrift(kind, *x) > kSlowContraction)) {
      refresh = true;
    }
    previousChange = change;
  }
  if (x != &c) {
    for (int j = 0; j <= M_; ++j) c[j] = (*x)[j];
  }
  // A Jacobian that has served many steps and now needs more than two iterations is renewed
  // at the next step; its elimination costs about as much as twenty iterations.
  if (++kind.age >= kRenewAge && iterations_ > 2) kind.refreshNext = true;
  if (Ru_ > 0) lastDrop_ = E - applied;
  return E;
}

double StepSolver::SolveReference(StepKind& kind, const NodeVectors& rhs, NodeVectors& c,
                                  double applied) {
  const std::span<const SecondOrderReaction> reactions(kind.secondOrder.data(),
                                                       kind.secondOrderCount);
  auto solveAt = [&](double E) {
    SetBoundary(E);
    if (kind.secondOrderCount > 0) {
      model::Count count = 0;
      NewtonStep(rhs, c, newton_, work_, kind.lower, kind.upper, kind.blocks, boundary_,
                 surface_->pattern, M_, n_, reactions, count);
      iterations_ = count;
    } else {
      for (int j = 1; j <= M_ + 1; ++j) c[j] = rhs[j];
      BlockSolve(c, work_, kind.lower, kind.upper, kind.blocks, boundary_, surface_->pattern, M_,
                 n_);
    }
    for (int r = 1; r <= charges_; ++r) {
      flux_[r] = kRed_[r] * c[0][surface_->ox[r]] - kOx_[r] * c[0][surface_->red[r]];
    }
  };
  if (Ru_ <= 0) {
    solveAt(applied);
    return applied;
  }
  // Regula falsi (Illinois) on g(E) = E - applied - Ru I(E), every trial a step from the same
  // profile.
  start_ = c;
  auto g = [&](double E) {
    c = start_;
    solveAt(E);
    double I = 0.0;
    for (int r = 1; r <= charges_; ++r) {
      I += model::Finite(flux_[r] * app_->n(r) * currentFactor_);
    }
    if (capacitance_ > 0) I += capacitance_ / kind.dt * (chargedTo_ - E);
    return E - applied - Ru_ * I;
  };
  double a = applied;
  double ga = g(a);
  if (ga == 0.0) return a;
  // I falls as E rises, so g changes sign within Ru |I(applied)| on the side of -ga.
  double width = -ga;
  double b = a + width;
  double gb = g(b);
  for (int widen = 0; (ga < 0) == (gb < 0) && gb != 0.0; ++widen) {
    if (widen == 60) throw model::Failure(kNoOhmicRoot);
    width *= 2;
    b = a + width;
    gb = g(b);
  }
  for (int iteration = 0; iteration < kOhmicIterations && gb != 0.0; ++iteration) {
    if (std::fabs(gb) <= kOhmicTolerance || std::fabs(b - a) <= kOhmicTolerance) break;
    const double E = b - gb * (b - a) / (gb - ga);
    const double gE = g(E);
    if ((gE < 0) != (gb < 0)) {
      a = b;
      ga = gb;
    } else {
      ga /= 2;
    }
    b = E;
    gb = gE;
  }
  // The last evaluation was at b, so c holds the step at the electrode potential found.
  return b;
}

}  // namespace kivex::simulation
