#include "simulation/digital_simulation.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "model/checked_math.h"
#include "model/failure.h"
#include "simulation/digital_grid.h"
#include "simulation/step_solver.h"
#include "simulation/surface_conditions.h"

namespace kivex::simulation {

namespace {

using model::AppState;
using model::CurveSet;
using model::Failure;

constexpr char kCvPrefix[] = "CV Error: ";
constexpr double kModelDiffusionWithoutChemistry = 10.0;

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

// Everything a run needs. A fit runs hundreds of simulations, so the storage is kept from run to
// run (one per thread) and every run sets what it reads.
struct Workspace {
  DigitalGrid grid;
  NodeVectors c{};  // the concentration profile, [node][species], divided by cRef
  NodeVectors initial{};
  NodeVectors rhs{};
  NodeVectors before{};  // the profile one step back
  SurfaceConditions surface;
  StepSolver solver;
};

Workspace& KeptWorkspace() {
  thread_local const std::unique_ptr<Workspace> workspace = std::make_unique<Workspace>();
  return *workspace;
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

  Workspace& w = KeptWorkspace();
  BuildDigitalGrid(app, modelDiffusion, app.D(sRef), timing.dt, N, w.grid);
  const int M = w.grid.nodeCount;
  BuildSurfaceConditions(app, w.grid.delta, w.grid.h[1], w.grid.surfaceFactor, w.surface);
  // Amperes per n * (cm/s) of the rate at the surface: F in C/mmol turns mol/L into mol/cm3.
  const double currentFactor = 96.4846 * app.area * cRef;
  StepSolver& solver = w.solver;
  StepKind& kind = solver.Kind(0);
  BuildStepKind(app, w.grid, modelDiffusion, sRef, cRef, timing.dt, timing.dt, kind);
  solver.Begin(app, w.surface, M, currentFactor, route);

  for (int j = 0; j <= M + 1; ++j) {
    w.initial[j].fill(0.0);
    w.initial[j][0] = 1.0;  // the dummy species of empty places
    for (int s = 1; s <= n; ++s) w.initial[j][s] = app.Cinit(s) / cRef;
  }
  w.c = w.initial;

  const int sweep = curves.sweepPointCount > 0 ? curves.sweepPointCount : N;
  const bool secondOrder = kind.secondOrderCount > 0;
  RateVector firstCurrent{};
  // Current of transfer r of the step just solved; reduction positive.
  auto current = [&](int r) { return model::Finite(solver.Flux(r) * app.n(r) * currentFactor); };

  for (int i = 1; i <= N; ++i) {
    if (timing.freshLayer) {
      for (int j = 0; j <= M + 1; ++j) w.c[j] = w.initial[j];
    }
    const double programme = curves.x(i);
    // Pulses follow the sweep: forward sweeps pulse one way, return sweeps the other.
    const double sign = ((i - 1) / sweep) % 2 == 0 ? 1.0 : -1.0;

    double lastApplied = 0.0;
    for (int k = 1; k <= timing.subSteps; ++k) {
      const double applied = AppliedPotential(app, timing, k, programme, sign);
      for (int j = 1; j <= M + 1; ++j) w.rhs[j] = w.c[j];
      const bool continues = secondOrder && k > 1 && applied == lastApplied;
      solver.Step(kind, w.rhs, w.c, applied, continues ? &w.before : nullptr);
      if (secondOrder) {
        for (int j = 1; j <= M; ++j) w.before[j] = w.rhs[j];
      }
      lastApplied = applied;
      if (solver.iterations() > app.maxIterations) {
        app.maxIterations = static_cast<model::Count>(solver.iterations());
      }

      for (int s = 1; s <= n; ++s) {
        curves.concentrationTable(i, s) = model::Finite(w.c[0][s] * cRef);
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
