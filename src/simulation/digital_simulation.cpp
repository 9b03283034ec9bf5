#include "simulation/digital_simulation.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <string>

#include "model/checked_math.h"
#include "model/electrode_geometry.h"
#include "model/electrode_table.h"
#include "model/failure.h"
#include "model/number_format.h"
#include "model/technique_table.h"
#include "simulation/digital_grid.h"
#include "simulation/disc_simulation.h"
#include "simulation/measurement_effects.h"
#include "simulation/potential_programme.h"
#include "simulation/step_solver.h"
#include "simulation/surface_conditions.h"

namespace kivex::simulation {

namespace {

using model::AppState;
using model::CurveSet;
using model::Failure;

constexpr char kCvPrefix[] = "CV Error: ";
constexpr double kModelDiffusionWithoutChemistry = 10.0;
constexpr double kThird = 1.0 / 3.0;

// The potential a segment of a point holds.
using model::Level;

// A stretch of a point at one potential, cut into equal sub-steps, sampled at its end or not.
struct Segment {
  Level level = Level::Programme;
  double duration = 0;
  int steps = 0;
  int sample = 0;     // 1 the first sample of the point, 2 the second, 0 none
  int firstKind = 0;  // the kind of step of its first sub-step
  int laterKind = 0;  // and of the others
};

// The time programme of a point.
struct Timing {
  std::array<Segment, 2> segments{};
  int segmentCount = 0;
  bool freshLayer = false;  // every point starts from the initial solution
  bool difference = false;  // the point's current is second sample minus first
  // A sweep takes one backward Euler step a point. A pulse segment takes a backward Euler step
  // after its potential jump and then the second-order backward formula.
  bool secondOrderSteps = false;
  // A sweep ramped through sub-steps: the potential moves linearly from the point before, and
  // the second-order formula runs on from point to point, as nothing jumps.
  bool ramped = false;
  double layerTime = 0;  // s, the longest a diffusion layer grows: one point or the whole run
  // The quiet time at the first point's potential before the programme; no steps for none.
  Segment quiet;
};

double LayerTimeOf(const AppState& app, model::LayerSpan layer, int pointCount) {
  switch (layer) {
    case model::LayerSpan::Drop: return app.tDrop;
    case model::LayerSpan::Pulse: return app.tPulse;
    case model::LayerSpan::PointsOfDrop: return pointCount * app.tDrop;
    case model::LayerSpan::PointsOfTwoPulses: return pointCount * 2 * app.tPulse;
  }
  return 0.0;
}

int SweepStepsPerPoint(const AppState& app, const DigitalResolution& resolution) {
  const double potential = resolution.sweepSubStepPotential;
  if (!(potential > 0) || !(std::fabs(app.Estep) > potential)) return resolution.stepsPerSweepPoint;
  const double steps = std::ceil(std::fabs(app.Estep) / potential - 1e-9);
  return std::max(resolution.stepsPerSweepPoint, static_cast<int>(std::min(steps, 1000.0)));
}

Timing TimingOf(const AppState& app, int pointCount, const DigitalResolution& resolution) {
  const model::TechniqueTraits& technique = model::TechniqueTraitsOf(model::TechniqueOf(app));
  Timing timing;
  for (int k = 0; k < technique.stretchCount; ++k) {
    const model::Stretch& stretch = technique.stretches[static_cast<std::size_t>(k)];
    if (stretch.span == model::Span::DropLessPulse) {
      // The base before the pulse must last a quarter pulse or more: 4 tDrop / tPulse, rounded
      // (0.7 s / 0.05 s * 4 is 55.999...), must reach 5.
      const int K = model::ToCount(model::Div(app.tDrop, app.tPulse) * 4);
      if (K < 5) throw Failure("The drop time must be at least 1.25 times the pulse width");
    }
    Segment& s = timing.segments[timing.segmentCount++];
    s.level = stretch.level;
    s.duration = DurationOf(app, stretch.span);
    // A sweep takes its steps per point; a jump, several steps settling after it.
    s.steps = technique.ramp ? SweepStepsPerPoint(app, resolution) : resolution.stepsAfterJump;
    s.sample = stretch.sample;
  }
  timing.freshLayer = !technique.carriesLayer;
  timing.difference = technique.difference;
  timing.layerTime = LayerTimeOf(app, technique.layer, pointCount);
  timing.ramped = technique.ramp && timing.segments[0].steps > 1;
  // The double layer charges by backward Euler with each step, so a sweep that charges it
  // through Ru keeps that formula for the diffusion too.
  timing.secondOrderSteps = !technique.ramp || (timing.ramped && !ChargingThroughDrop(app));
  const int afterJump = resolution.stepsAfterJump;
  if (app.quietTime > 0.0) {
    RequireQuietTimeSimulated(app);
    timing.quiet = Segment{Level::Programme, app.quietTime, afterJump, 0};
    timing.layerTime += app.quietTime;
  }
  for (int k = 0; k < timing.segmentCount; ++k) {
    if (!(timing.segments[k].duration > 0.0)) throw Failure("The time of a step must be positive");
  }
  return timing;
}

// The sum of the chemistry's rate constants, /s. A second-order constant is per mol/L: a side
// with two species reacts at k cRef in the blocks, and so here.
double RateSum(const AppState& app, double cRef) {
  double rates = 0.0;
  for (int q = 1; q <= app.chemCount; ++q) rates += app.kf(q) + app.kb(q);
  for (int j = 1; j <= app.chem2Count; ++j) {
    const int q = app.chemCount + j;
    const bool twoLeft = app.chem2Species(j, 1) != 0 && app.chem2Species(j, 2) != 0;
    const bool twoRight = app.chem2Species(j, 3) != 0 && app.chem2Species(j, 4) != 0;
    rates += app.kf(q) * (twoLeft ? cRef : 1.0) + app.kb(q) * (twoRight ? cRef : 1.0);
  }
  return rates;
}

// A reaction of rate k enters a step of length dt as k dt beside 1 in its block. From a sum of
// k dt near 1e14 the rounding of the block's elimination shows in the result (an established
// equilibrium's peak a per cent and millivolts off, then wrong curves and singular blocks from
// 1e15 to 1e17), so faster rates are refused rather than computed wrongly. An equilibrium near
// K = 1 is established long before.
constexpr double kLargestRateTimesStep = 1e12;

void RequireResolvableRates(const AppState& app, double cRef, double shortestStep) {
  const double rates = RateSum(app, cRef);
  if (!(rates * shortestStep > kLargestRateTimesStep)) return;
  throw Failure(
      "The chemical rate constants are too fast for the time step: their sum (a second-order one "
      "times the largest concentration) must stay below " +
      model::FormatPattern(kLargestRateTimesStep / shortestStep, "0.##e-0") +
      " /s, beyond which the solution loses its precision");
}

// The model diffusion coefficient sets the first box against the reaction layer of the
// chemistry. Slow or switched-off chemistry would make it small and the first box wider than the
// diffusion layer, so it never drops below its value without chemistry.
double ModelDiffusion(const AppState& app, double cRef) {
  const int reactions = app.chemCount + app.chem2Count;
  if (reactions == 0) return kModelDiffusionWithoutChemistry;
  const double rates = RateSum(app, cRef);
  const double numerator = model::kGasConstant * app.temperature * rates;
  // Rates too large to multiply out are refused with the time step, which says how fast they
  // may be.
  if (std::isinf(numerator)) return numerator;
  const double dm = model::Div(numerator, model::kFaraday * std::fabs(app.Estep));
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

}  // namespace

// Everything a run needs; every run sets what it reads.
struct DigitalWorkspace::Storage {
  DigitalGrid grid;
  NodeVectors c{};  // the concentration profile, [node][species], divided by cRef
  NodeVectors initial{};
  NodeVectors rhs{};
  // The profile one step back, and the one before the step being solved (swapped after it).
  std::array<NodeVectors, 2> back{};
  SurfaceConditions surface;
  StepSolver solver;
};

DigitalWorkspace::DigitalWorkspace() = default;
DigitalWorkspace::~DigitalWorkspace() = default;

DigitalWorkspace::Storage& DigitalWorkspace::storage() {
  if (!storage_) storage_ = std::make_unique<Storage>();
  return *storage_;
}

namespace {

using Workspace = DigitalWorkspace::Storage;

// The part of the electrode a run simulates, the share of the area it stands for, and whether
// its currents and surface concentrations add to those of a part run before.
struct RunPart {
  ElectrodePart part = ElectrodePart::kWhole;
  double weight = 1;
  bool adds = false;
};

// The species of the largest initial concentration: the profile is counted in its units.
struct Reference {
  double c = 0;  // mol/L
  int species = 1;
};

Reference ReferenceOf(const AppState& app, int n) {
  Reference reference{app.Cinit(1), 1};
  for (int s = 2; s <= n; ++s) {
    if (app.Cinit(s) > reference.c) reference = {app.Cinit(s), s};
  }
  return reference;
}

// An empty solution: every concentration and current is zero.
void RunEmptySolution(const AppState& app, CurveSet& curves, int n, int total) {
  for (int i = 1; i <= curves.pointCount; ++i) {
    for (int s = 1; s <= n; ++s) curves.concentrationTable(i, s) = 0.0;
    for (int r = 1; r <= total; ++r) curves.resultTable(i, r) = 0.0;
  }
  AddResistiveCharging(app, curves, app.tDrop);
}

// The lengths of a run's kinds of step and of its shortest sub-step.
struct StepLengths {
  std::array<double, kMaxStepKinds> dt{};
  int kinds = 0;
  double shortest = 0;   // s, of every sub-step
  double sweepStep = 0;  // s, of the sub-steps of the points' segments alone

  // The kind of steps of length `length`, added when new.
  int KindOf(double length) {
    for (int k = 0; k < kinds; ++k) {
      if (dt[k] == length) return k;
    }
    dt[kinds] = length;
    return kinds++;
  }
};

// The kinds of step: one per sub-step length, and with the second-order formula one more of
// two thirds of it.
StepLengths AssignStepKinds(Timing& timing) {
  StepLengths steps;
  for (int k = 0; k < timing.segmentCount; ++k) {
    Segment& segment = timing.segments[k];
    const double dt = segment.steps == 1 ? segment.duration : segment.duration / segment.steps;
    segment.firstKind = steps.KindOf(dt);
    segment.laterKind = timing.secondOrderSteps ? steps.KindOf(dt * 2 / 3) : segment.firstKind;
    steps.shortest = k == 0 ? dt : std::min(steps.shortest, dt);
  }
  steps.sweepStep = steps.shortest;
  if (timing.quiet.steps > 0) {
    // Held at one potential like a pulse: a backward Euler step, then the second-order formula.
    Segment& quiet = timing.quiet;
    const double dt = quiet.duration / quiet.steps;
    quiet.firstKind = steps.KindOf(dt);
    quiet.laterKind = steps.KindOf(dt * 2 / 3);
    steps.shortest = std::min(steps.shortest, dt);
  }
  return steps;
}

// The first box follows the shortest sub-step, and the grid reaches six diffusion lengths of
// the longest-lived layer. A sweep grows its layer for N steps of tDrop; at a plane it keeps
// boxes growing by e, whose numbers are settled and ample, while curved electrodes and pulses,
// whose errors such coarse boxes dominated, take finer ones.
void BuildRunGrid(const AppState& app, const Timing& timing, const StepLengths& steps,
                  double modelDiffusion, int sRef, int N, const DigitalResolution& resolution,
                  const RunPart& part, Workspace& w) {
  const int n = app.speciesCount;
  const double shortest = steps.shortest;
  const double sweepStep = steps.sweepStep;
  const model::TechniqueTraits* technique = model::FindTechnique(app.technique);
  if (technique != nullptr && technique->ramp) {
    const model::ElectrodeTraits* electrode = model::FindElectrode(app.electrode);
    const bool plane = electrode != nullptr && electrode->diffusion == model::Diffusion::Planar;
    const double expansion = plane ? resolution.planeSweepExpansion : resolution.sweepExpansion;
    // The layer grows for the sub-steps of the N points and through the quiet time before them.
    const int sweepSteps = N * timing.segments[0].steps;
    const double span = timing.quiet.steps > 0
                            ? (sweepSteps * sweepStep + timing.quiet.duration) / shortest
                            : static_cast<double>(sweepSteps);
    BuildDigitalGrid(app, modelDiffusion, app.D(sRef), shortest, span, expansion, w.grid,
                     part.part);
  } else {
    double fastest = app.D(sRef);
    for (int s = 1; s <= n; ++s) fastest = std::max(fastest, app.D(s));
    const double span = timing.layerTime / shortest * (fastest / app.D(sRef));
    BuildDigitalGrid(app, modelDiffusion, app.D(sRef), shortest, span, resolution.expansion, w.grid,
                     part.part);
  }
}

// What the point loop reads of a run whose steps are prepared.
struct PreparedRun {
  int n = 0;        // species
  int charges = 0;  // electron transfers
  int M = 0;        // interior nodes
  double cRef = 0;  // mol/L, the unit of the profile
  double currentFactor = 0;
  bool secondOrder = false;  // the kinds carry second-order chemistry
  bool keepBack = false;     // the profile one step back is kept for the next step
  bool charged = false;      // each step charges the double layer through Ru
};

// The surface rows and every kind of step, prepared once for the whole run.
PreparedRun PrepareSteps(const AppState& app, const Timing& timing, const StepLengths& steps,
                         double modelDiffusion, const Reference& reference, SolveRoute route,
                         Workspace& w) {
  PreparedRun run;
  run.n = app.speciesCount;
  run.charges = std::min<int>(app.chargeCount, model::kMaxCharge);
  run.M = w.grid.nodeCount;
  run.cRef = reference.c;
  StepSolver& solver = w.solver;
  BuildSurfaceConditions(app, w.grid.delta, w.grid.h[1], w.grid.surfaceFactor, w.surface);
  for (int k = 0; k < steps.kinds; ++k) {
    BuildStepKind(app, w.grid, modelDiffusion, reference.species, reference.c, steps.dt[k],
                  steps.shortest, solver.Kind(k));
  }
  // Amperes per n * (cm/s) of the rate at the surface: F in C/mmol turns mol/L into mol/cm3. A
  // band diffuses as a half cylinder, over that cylinder's surface.
  const double area = model::DiffusingArea(model::ElectrodeOf(app), app.area);
  run.currentFactor = 96.4846 * area * reference.c;
  solver.Begin(app, w.surface, run.M, run.currentFactor, route);
  run.secondOrder = solver.Kind(0).secondOrderCount > 0;
  run.keepBack = timing.secondOrderSteps || run.secondOrder || timing.quiet.steps > 0;
  run.charged = ChargingThroughDrop(app);
  return run;
}

// The bulk solution everywhere: the start of the run, and of every point of a fresh layer.
void SetInitialProfile(const AppState& app, const PreparedRun& run, Workspace& w) {
  const int M = run.M;
  for (int j = 0; j <= M + 1; ++j) {
    w.initial[j].fill(0.0);
    w.initial[j][0] = 1.0;  // the dummy species of empty places
    for (int s = 1; s <= run.n; ++s) w.initial[j][s] = app.Cinit(s) / run.cRef;
  }
  w.c = w.initial;
  w.rhs[M + 1] = w.initial[M + 1];
}

// The time steps of a prepared run, point after point: each point's segments stepped, its
// currents sampled and written where the part's share belongs.
class PointLoop {
 public:
  PointLoop(AppState& app, CurveSet& curves, const Timing& timing, const PreparedRun& run,
            const RunPart& part, const StopRequest& stop, Workspace& w)
      : app_(app), curves_(curves), timing_(timing), run_(run), part_(part), stop_(stop), w_(w) {}

  // The quiet time: the electrode held at the programme's first potential, its layer carried
  // into the first point. Returns the potential the electrode ends at.
  double HoldQuietTime(double first) {
    const Segment& quiet = timing_.quiet;
    double electrode = first;
    for (int k = 1; k <= quiet.steps; ++k) {
      StepKind& kind = w_.solver.Kind(k == 1 ? quiet.firstKind : quiet.laterKind);
      electrode = SubStep(kind, k > 1, run_.secondOrder && k > 1, first);
    }
    return electrode;
  }

  // Point i from its layer, carried on or fresh: each segment stepped, then sampled.
  void RunPoint(int i) {
    if (part_.adds) {
      for (int r = 1; r <= run_.charges; ++r) keptCurrent_[r] = curves_.resultTable(i, r);
      for (int s = 1; s <= run_.n; ++s) keptConcentration_[s] = curves_.concentrationTable(i, s);
    }
    if (timing_.freshLayer) {
      for (int j = 0; j <= run_.M + 1; ++j) w_.c[j] = w_.initial[j];
    }
    const double programme = curves_.x(i);
    // Pulses follow the sweep: forward sweeps pulse one way, return sweeps the other.
    const double sign = ((i - 1) / sweep_) % 2 == 0 ? 1.0 : -1.0;
    // A ramped sweep starts from the point before; the first point holds its potential.
    const double from = timing_.ramped && i > 1 ? curves_.x(i - 1) : programme;
    for (int g = 0; g < timing_.segmentCount; ++g) {
      const Segment& segment = timing_.segments[g];
      const double applied = AppliedPotential(app_, segment.level, programme, sign);
      StepSegment(i, segment, timing_.ramped ? from : applied, applied);
      if (segment.sample != 0) Sample(i, segment.sample == 1);
    }
  }

 private:
  // One sub-step from the present profile: backward Euler, or with `bdf2` the second-order
  // backward formula; `continues` starts the Newton iteration from the step before. Returns the
  // electrode potential.
  double SubStep(StepKind& kind, bool bdf2, bool continues, double applied) {
    const int M = run_.M;
    if (!bdf2) {
      for (int j = 1; j <= M; ++j) w_.rhs[j] = w_.c[j];
    } else {
      // (3 c(n+1) - 4 c(n) + c(n-1)) / 2 dt = L c(n+1): a step of 2 dt / 3 from this.
      for (int j = 1; j <= M; ++j) {
        for (int s = 1; s <= run_.n; ++s) {
          w_.rhs[j][s] = (4 * w_.c[j][s] - (*before_)[j][s]) * kThird;
        }
      }
    }
    if (run_.keepBack) {
      for (int j = 1; j <= M; ++j) (*previous_)[j] = w_.c[j];
    }
    const double electrode =
        w_.solver.Step(kind, w_.rhs, w_.c, applied, continues ? before_ : nullptr);
    if (run_.keepBack) std::swap(before_, previous_);
    CheckStop();
    return electrode;
  }

  // The sub-steps of one segment of point i, the potential moving linearly from `from` to `to`
  // (or held); the surface concentrations follow each.
  void StepSegment(int i, const Segment& segment, double from, double to) {
    for (int k = 1; k <= segment.steps; ++k) {
      const bool bdf2 = timing_.secondOrderSteps && (k > 1 || rampRunning_);
      StepKind& kind = w_.solver.Kind(bdf2 ? segment.laterKind : segment.firstKind);
      const double applied = from == to ? to : from + (to - from) * k / segment.steps;
      SubStep(kind, bdf2, run_.secondOrder && bdf2, applied);
      rampRunning_ = timing_.ramped;
      if (w_.solver.iterations() > app_.maxIterations) {
        app_.maxIterations = static_cast<model::Count>(w_.solver.iterations());
      }
      for (int s = 1; s <= run_.n; ++s) {
        curves_.concentrationTable(i, s) =
            model::Finite(Store(keptConcentration_[s], w_.c[0][s] * run_.cRef));
      }
    }
  }

  // The currents at a sample of point i: a point sampled twice holds the second minus the first.
  void Sample(int i, bool first) {
    for (int r = 1; r <= run_.charges; ++r) {
      const double Ir = Current(r);
      if (!timing_.difference) {
        curves_.resultTable(i, r) = Store(keptCurrent_[r], Ir);
      } else if (first) {
        firstCurrent_[r] = Ir;
        curves_.resultTable(i, r) = Store(keptCurrent_[r], Ir);
      } else {
        curves_.resultTable(i, r) = Store(keptCurrent_[r], Ir - firstCurrent_[r]);
      }
    }
    double sum = 0.0;
    for (int r = 1; r <= run_.charges; ++r) sum += curves_.resultTable(i, r);
    if (run_.charged) sum += w_.solver.Charging();
    curves_.resultTable(i, run_.charges + 1) = sum;
  }

  // Current of transfer r of the step just solved; reduction positive.
  double Current(int r) const {
    return model::Finite(w_.solver.Flux(r) * app_.n(r) * run_.currentFactor);
  }

  double Store(double kept, double value) const {
    return part_.adds ? kept + part_.weight * value : part_.weight * value;
  }

  void CheckStop() {
    if (--stepsToStopCheck_ > 0 || !stop_) return;
    stepsToStopCheck_ = kStepsBetweenStopChecks;
    if (stop_()) throw SimulationCancelled{};
  }

  AppState& app_;
  CurveSet& curves_;
  const Timing& timing_;
  const PreparedRun& run_;
  const RunPart& part_;
  const StopRequest& stop_;
  Workspace& w_;
  const int sweep_ = curves_.sweepPointCount > 0 ? curves_.sweepPointCount : curves_.pointCount;
  NodeVectors* before_ = &w_.back[0];
  NodeVectors* previous_ = &w_.back[1];
  int stepsToStopCheck_ = kStepsBetweenStopChecks;
  bool rampRunning_ = false;  // a ramped sweep has stepped: its next step continues the formula
  RateVector firstCurrent_{};
  // What a part run before wrote at the point, which this part adds to.
  RateVector keptCurrent_{};
  SpeciesVector keptConcentration_{};
};

// The whole programme on one part of the electrode (all of it but at a cylinder).
void Run(AppState& app, CurveSet& curves, DigitalWorkspace& workspace, SolveRoute route,
         const DigitalResolution& resolution, const StopRequest& stop, const RunPart& part,
         int& completed) {
  CheckScheme(app);
  const int n = app.speciesCount;
  const int charges = std::min<int>(app.chargeCount, model::kMaxCharge);  // checked above
  const int N = curves.pointCount;
  if (n == 0) {  // no species: nothing diffuses and no faradaic current flows
    AddResistiveCharging(app, curves, app.tDrop);
    completed = N;
    return;
  }
  const Reference reference = ReferenceOf(app, n);
  if (reference.c == 0.0) {
    RunEmptySolution(app, curves, n, charges + 1);
    completed = N;
    return;
  }

  Timing timing = TimingOf(app, N, resolution);
  const double modelDiffusion = ModelDiffusion(app, reference.c);
  Workspace& w = workspace.storage();
  const StepLengths steps = AssignStepKinds(timing);
  RequireResolvableRates(app, reference.c, steps.shortest);
  BuildRunGrid(app, timing, steps, modelDiffusion, reference.species, N, resolution, part, w);
  const PreparedRun run = PrepareSteps(app, timing, steps, modelDiffusion, reference, route, w);
  SetInitialProfile(app, run, w);

  PointLoop loop(app, curves, timing, run, part, stop, w);
  double electrode = N >= 1 ? curves.x(1) : 0.0;
  if (timing.quiet.steps > 0) electrode = loop.HoldQuietTime(curves.x(1));
  // A sweep charges the double layer through Ru with each step, from the interface at rest.
  if (run.charged) w.solver.ChargeDoubleLayer(app.Cdl * app.area, electrode);
  for (int i = 1; i <= N; ++i) {
    loop.RunPoint(i);
    completed = i;
  }
}

}  // namespace

DigitalResolution ResolutionOf(model::Accuracy accuracy) {
  switch (accuracy) {
    case model::Accuracy::Fine:
      return {.stepsAfterJump = 20,
              .expansion = 0.3,
              .sweepExpansion = 0.15,
              .stepsPerSweepPoint = 2,
              .sweepSubStepPotential = 1e-3,
              .planeSweepExpansion = 0.3,
              .exactDisc = true};
    case model::Accuracy::Finest:
      return {.stepsAfterJump = 40,
              .expansion = 0.2,
              .sweepExpansion = 0.1,
              .stepsPerSweepPoint = 4,
              .sweepSubStepPotential = 0.5e-3,
              .planeSweepExpansion = 0.2,
              .exactDisc = true};
    default: return {};
  }
}

void DigitalSimulation(AppState& app, CurveSet& curves, DigitalWorkspace& workspace,
                       SolveRoute route, const DigitalResolution& resolution,
                       const StopRequest& stop, int* completed) {
  app.maxIterations = 0;
  int uncounted = 0;
  int& done = completed != nullptr ? *completed : uncounted;
  done = 0;
  try {
    const model::ElectrodeTraits* electrode = model::FindElectrode(app.electrode);
    if (resolution.exactDisc && electrode != nullptr && electrode->exactField) {
      DiscSimulation(app, curves, workspace.disc(), resolution, stop, done);
      return;
    }
    if (electrode == nullptr || !electrode->flatEnd) {
      Run(app, curves, workspace, route, resolution, stop, RunPart{}, done);
      return;
    }
    // The side and the flat end draw from fields of their own, as in the analytical route. An
    // uncompensated resistance sees each part's current as if it covered the whole electrode.
    if (!(app.length >= 0)) model::ThrowFailure(model::kInvalidArgument);
    const double side = model::CylinderSideShare(app.radius, app.length);
    bool adds = false;
    if (side > 0) {
      Run(app, curves, workspace, route, resolution, stop,
          RunPart{ElectrodePart::kSide, side, false}, done);
      adds = true;
    }
    if (side < 1) {
      done = 0;
      Run(app, curves, workspace, route, resolution, stop,
          RunPart{ElectrodePart::kEnd, 1 - side, adds}, done);
    }
  } catch (const Failure& failure) {
    if (!failure.prefix().empty()) throw;
    throw Failure(std::string(failure.description()), kCvPrefix);
  }
}

void DigitalSimulation(AppState& app, CurveSet& curves, SolveRoute route,
                       const DigitalResolution& resolution, const StopRequest& stop,
                       int* completed) {
  DigitalWorkspace workspace;
  DigitalSimulation(app, curves, workspace, route, resolution, stop, completed);
}

}  // namespace kivex::simulation
