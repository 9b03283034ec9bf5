#include "simulation/digital_simulation.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "model/checked_math.h"
#include "model/failure.h"
#include "simulation/block_solver.h"
#include "simulation/digital_grid.h"
#include "simulation/newton_step.h"
#include "simulation/surface_conditions.h"

namespace kivex::simulation {

namespace {

using model::AppState;
using model::CurveSet;
using model::Failure;

constexpr char kCvPrefix[] = "CV Error: ";
constexpr double kModelDiffusionWithoutChemistry = 10.0;
constexpr int kOhmicIterations = 100;
constexpr double kOhmicTolerance = 1e-12;  // V, on the electrode potential

// Sub-steps of one point, their length and the sub-steps at which the current is sampled.
struct Timing {
  int subSteps = 0;
  double dt = 0;
  int firstSample = 0;
  int secondSample = 0;
  bool freshLayer = false;  // every point starts from the initial solution
  bool difference = false;  // the point's current is second sample minus first
};

Timing TimingOf(const AppState& app) {
  Timing timing;
  switch (app.technique) {
    case 1: timing = {1, app.tDrop, 1, 1, false, false}; break;
    case 2: timing = {10, app.tDrop / 10, 10, 10, true, false}; break;
    case 3: timing = {10, 0.1 * app.tPulse, 10, 10, true, false}; break;
    case 4: {
      // Compare sub-step numbers with rounded sample positions: 0.7 s / 0.05 s * 4 is 55.999...
      const int K = model::ToCount(model::Div(app.tDrop, app.tPulse) * 4);
      if (K < 5) throw Failure("The drop time must be at least 1.25 times the pulse width");
      timing = {K, app.tPulse / 4, K - 4, K, true, true};
      break;
    }
    case 5: timing = {2, app.tPulse, 1, 2, false, true}; break;
    default: throw Failure("Unknown technique " + std::to_string(app.technique));
  }
  if (!(timing.dt > 0.0)) throw Failure("The time of a step must be positive");
  return timing;
}

// The model diffusion coefficient sets the first box against the reaction layer of the
// chemistry. Slow or switched-off chemistry would make it small and the first box wider than the
// diffusion layer, so it never drops below its value without chemistry.
double ModelDiffusion(const AppState& app) {
  const int reactions = app.chemCount + app.chem2Count;
  if (reactions == 0) return kModelDiffusionWithoutChemistry;
  double rates = 0.0;
  for (int q = 1; q <= reactions; ++q) rates += app.kf(q) + app.kb(q);
  const double dm = model::Div(model::kGasConstant * app.temperature * rates,
                               model::kFaraday * std::fabs(app.Estep));
  return std::max(kModelDiffusionWithoutChemistry, dm);
}

void CheckScheme(const AppState& app) {
  const int n = app.speciesCount;
  auto inRange = [](int v, int last) { return v >= 0 && v <= last; };
  bool ok = inRange(n, model::kMaxSpecies) && inRange(app.chargeCount, model::kMaxCharge) &&
            inRange(app.chemCount, model::kMaxChem) && inRange(app.chem2Count, model::kMaxChem2) &&
            app.chemCount + app.chem2Count <= model::kMaxChem;
  for (int r = 1; ok && r <= app.chargeCount; ++r) {
    ok = inRange(app.chargeSpecies(r, 1), n) && inRange(app.chargeSpecies(r, 2), n);
  }
  for (int q = 1; ok && q <= app.chemCount; ++q) {
    ok = inRange(app.chemSpecies(q, 1), n) && inRange(app.chemSpecies(q, 2), n);
  }
  for (int q = 1; ok && q <= app.chem2Count; ++q) {
    for (int place = 1; place <= 4; ++place) ok = ok && inRange(app.chem2Species(q, place), n);
  }
  if (!ok) model::ThrowFailure(model::kSubscriptOutOfRange);
}

// Everything a run needs, allocated once per run.
struct Workspace {
  DigitalGrid grid;
  NodeVectors lower{};  // a(j, s)
  NodeVectors upper{};  // b(j, s)
  NodeBlocks blocks{};  // D(j): diffusion and first-order chemistry
  NodeVectors c{};      // the concentration profile, [node][species], divided by cRef
  NodeVectors initial{};
  NodeVectors start{};  // the profile before a step that is solved more than once
  SurfaceConditions surface;
  Block boundary{};
  BlockSolveWork solve;
  PreparedBlocks prepared;
  NewtonWork newton;
  std::array<SecondOrderReaction, model::kMaxChem2> secondOrder{};
  int secondOrderCount = 0;
};

void BuildBlocks(const AppState& app, double modelDiffusion, int referenceSpecies, double dt,
                 Workspace& w) {
  const int M = w.grid.nodeCount;
  const int n = app.speciesCount;
  for (int s = 1; s <= n; ++s) {
    const double lambda = model::Div(modelDiffusion * app.D(s), app.D(referenceSpecies));
    for (int j = 1; j <= M; ++j) {
      w.lower[j][s] = lambda * w.grid.lower[j];
      w.upper[j][s] = lambda * w.grid.upper[j];
      w.blocks[j][s][s] = 1 + w.lower[j][s] + w.upper[j][s];
    }
  }
  // First-order chemistry X = Y, backward Euler inside the block of every node.
  for (int q = 1; q <= app.chemCount; ++q) {
    const int X = app.chemSpecies(q, 1);
    const int Y = app.chemSpecies(q, 2);
    const double kfdt = app.kf(q) * dt;
    const double kbdt = app.kb(q) * dt;
    for (int j = 1; j <= M; ++j) {
      Block& D = w.blocks[j];
      D[X][X] += kfdt;
      D[Y][Y] += kbdt;
      D[X][Y] -= kbdt;
      D[Y][X] -= kfdt;
    }
  }
}

// Second-order rate constants are per mol/L; the profile is divided by cRef, so a side with two
// species takes k cRef. An empty place is put second on its side, so the dummy species never
// stands where its column would carry a real reaction term.
void CollectSecondOrder(const AppState& app, double cRef, double dt, Workspace& w) {
  w.secondOrderCount = app.chem2Count;
  for (int j = 1; j <= app.chem2Count; ++j) {
    const int q = app.chemCount + j;
    SecondOrderReaction& reaction = w.secondOrder[j - 1];
    reaction.s1 = app.chem2Species(j, 1);
    reaction.s2 = app.chem2Species(j, 2);
    reaction.s3 = app.chem2Species(j, 3);
    reaction.s4 = app.chem2Species(j, 4);
    if (reaction.s1 == 0) std::swap(reaction.s1, reaction.s2);
    if (reaction.s3 == 0) std::swap(reaction.s3, reaction.s4);
    reaction.kfdt = app.kf(q) * dt * (reaction.s2 != 0 ? cRef : 1.0);
    reaction.kbdt = app.kb(q) * dt * (reaction.s4 != 0 ? cRef : 1.0);
  }
}

double AppliedPotential(const AppState& app, const Timing& timing, int k, double programme,
                        double sign) {
  switch (app.technique) {
    case 3: return programme + sign * app.Epulse;
    case 4: return k > timing.firstSample ? programme + sign * app.Epulse : programme;
    case 5: return k == 1 ? programme - app.Epulse / 2 : programme + app.Epulse / 2;
    default: return programme;
  }
}

void Run(AppState& app, CurveSet& curves, SolveRoute route) {
  CheckScheme(app);
  const int n = app.speciesCount;
  const int charges = std::min<int>(app.chargeCount, model::kMaxCharge);  // checked above
  const int total = charges + 1;
  const int N = curves.pointCount;
  if (n == 0) return;  // no species: nothing diffuses and no current flows

  double cRef = app.Cinit(1);
  int sRef = 1;
  for (int s = 2; s <= n; ++s) {
    if (app.Cinit(s) > cRef) {
      cRef = app.Cinit(s);
      sRef = s;
    }
  }
  if (cRef == 0.0) {
    // An empty solution: every concentration and current is zero.
    for (int i = 1; i <= N; ++i) {
      for (int s = 1; s <= n; ++s) curves.concentrationTable(i, s) = 0.0;
      for (int r = 1; r <= total; ++r) curves.resultTable(i, r) = 0.0;
    }
    return;
  }

  const Timing timing = TimingOf(app);
  const double modelDiffusion = ModelDiffusion(app);

  auto w = std::make_unique<Workspace>();
  BuildDigitalGrid(app, modelDiffusion, app.D(sRef), timing.dt, N, w->grid);
  const int M = w->grid.nodeCount;
  BuildBlocks(app, modelDiffusion, sRef, timing.dt, *w);
  CollectSecondOrder(app, cRef, timing.dt, *w);
  BuildSurfaceConditions(app, w->grid.delta, w->grid.h[1], w->grid.surfaceFactor, w->surface);
  // Amperes per n * (cm/s) of the rate at the surface: F in C/mmol turns mol/L into mol/cm3.
  const double currentFactor = 96.4846 * app.area * cRef;

  for (int j = 0; j <= M + 1; ++j) {
    w->initial[j].fill(0.0);
    w->initial[j][0] = 1.0;  // the dummy species of empty places
    for (int s = 1; s <= n; ++s) w->initial[j][s] = app.Cinit(s) / cRef;
  }
  w->c = w->initial;

  const bool secondOrder = w->secondOrderCount > 0;
  const bool prepared = !secondOrder && route == SolveRoute::kPrepared;
  if (prepared) {
    PrepareBlockSolve(w->prepared, w->solve, w->lower, w->upper, w->blocks, w->surface.pattern, M,
                      n);
  }
  const std::span<const SecondOrderReaction> reactions(w->secondOrder.data(), w->secondOrderCount);

  const int sweep = curves.sweepPointCount > 0 ? curves.sweepPointCount : N;
  RateVector kRed{};
  RateVector kOx{};
  RateVector firstCurrent{};

  // Rate constants at potential E, then one time step from the profile in w->c.
  auto solveStep = [&](double E) {
    for (int r = 1; r <= charges; ++r) {
      const double eta = app.n(r) * app.fOverRT * (E - app.E0(r));
      kRed[r] = app.ks(r) * model::Exp(-app.alpha(r) * eta);
      kOx[r] = app.ks(r) * model::Exp((1 - app.alpha(r)) * eta);
    }
    BuildBoundaryMatrix(w->surface, kRed, kOx, w->boundary);
    if (secondOrder) {
      NewtonStep(w->c, w->newton, w->solve, w->lower, w->upper, w->blocks, w->boundary,
                 w->surface.pattern, M, n, reactions, app.maxIterations);
    } else if (prepared) {
      SolvePrepared(w->c, w->prepared, w->solve, w->lower, w->upper, w->boundary);
    } else {
      BlockSolve(w->c, w->solve, w->lower, w->upper, w->blocks, w->boundary, w->surface.pattern, M,
                 n);
    }
  };
  // Current of transfer r from the surface concentrations just solved; reduction positive.
  auto current = [&](int r) {
    const SpeciesVector& surface = w->c[0];
    const double flux = kRed[r] * surface[w->surface.ox[r]] - kOx[r] * surface[w->surface.red[r]];
    return model::Finite(flux * app.n(r) * currentFactor);
  };
  auto totalCurrent = [&] {
    double sum = 0.0;
    for (int r = 1; r <= charges; ++r) sum += current(r);
    return sum;
  };
  // With an uncompensated resistance the electrode sees E = applied + I Ru, I being the current
  // of this very step; taking the current of an earlier sample instead feeds back with a lag
  // and oscillates once Ru dI/dE exceeds 1. So E is found by bracketed regula falsi (Illinois)
  // on g(E) = E - applied - Ru I(E), every evaluation a step from the same profile.
  auto solveWithOhmicDrop = [&](double applied) {
    w->start = w->c;
    auto g = [&](double E) {
      w->c = w->start;
      solveStep(E);
      return E - applied - app.Ru * totalCurrent();
    };
    double a = applied;
    double ga = g(a);
    if (ga == 0.0) return;
    // I falls as E rises, so g changes sign within Ru |I(applied)| on the side of -ga.
    double width = -ga;
    double b = a + width;
    double gb = g(b);
    for (int widen = 0; (ga < 0) == (gb < 0) && gb != 0.0; ++widen) {
      if (widen == 60) throw Failure("No electrode potential satisfies the ohmic drop");
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
    // The last evaluation was at b, so w->c holds the step at the electrode potential found.
  };

  for (int i = 1; i <= N; ++i) {
    if (timing.freshLayer) {
      for (int j = 0; j <= M + 1; ++j) w->c[j] = w->initial[j];
    }
    const double programme = curves.x(i);
    // Pulses follow the sweep: forward sweeps pulse one way, return sweeps the other.
    const double sign = ((i - 1) / sweep) % 2 == 0 ? 1.0 : -1.0;

    for (int k = 1; k <= timing.subSteps; ++k) {
      const double applied = AppliedPotential(app, timing, k, programme, sign);
      if (app.Ru > 0) {
        solveWithOhmicDrop(applied);
      } else {
        solveStep(applied);
      }

      for (int s = 1; s <= n; ++s) {
        curves.concentrationTable(i, s) = model::Finite(w->c[0][s] * cRef);
      }

      if (k != timing.firstSample && k != timing.secondSample) continue;
      const bool first = k == timing.firstSample;
      for (int r = 1; r <= charges; ++r) {
        const double Ir = current(r);
        if (!timing.difference) {
          curves.resultTable(i, r) = Ir;
        } else if (first) {
          firstCurrent[r] = Ir;
          curves.resultTable(i, r) = Ir;
        } else {
          curves.resultTable(i, r) = Ir - firstCurrent[r];
        }
      }
      double sum = 0.0;
      for (int r = 1; r <= charges; ++r) sum += curves.resultTable(i, r);
      curves.resultTable(i, total) = sum;
    }
  }
}

}  // namespace

void DigitalSimulation(AppState& app, CurveSet& curves, SolveRoute route) {
  app.maxIterations = 0;
  try {
    Run(app, curves, route);
  } catch (const Failure& failure) {
    if (!failure.prefix().empty()) throw;
    throw Failure(std::string(failure.description()), kCvPrefix);
  }
}

}  // namespace kivex::simulation
