#include "simulation/disc_simulation.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <utility>

#include "model/checked_math.h"
#include "model/electrode_table.h"
#include "model/failure.h"
#include "model/technique_table.h"
#include "simulation/digital_workspace.h"
#include "simulation/electrode_kinetics.h"
#include "simulation/potential_programme.h"

namespace kivex::simulation {

DiscStorage& DigitalWorkspace::disc() {
  if (!disc_) disc_ = std::make_unique<DiscStorage>();
  return *disc_;
}

namespace {

using model::AppState;
using model::CurveSet;
using model::Failure;
using model::Level;

constexpr char kChooseStandard[] = ": choose the standard accuracy for this scheme";
// The band of a field of many species grows as their square; beyond this many numbers the run is
// refused rather than filling the memory.
constexpr double kLargestStorage = 16e6;

// A stretch of a point at one potential (or ramped to it), cut into equal sub-steps.
struct Segment {
  Level level = Level::Programme;
  int steps = 0;
  int sample = 0;     // 1 the point's first sample, 2 its second, 0 none
  int firstKind = 0;  // the kind of step after a jump: backward Euler
  int laterKind = 0;  // and of the second-order backward formula
};

struct Plan {
  std::array<Segment, 2> segments{};
  int segmentCount = 0;
  Segment quiet;  // at the first point's potential; no steps for no quiet time
  bool ramp = false;
  bool freshLayer = false;
  bool difference = false;
  double layerTime = 0;  // s, the longest a layer grows: one point, or the run and its quiet time
  std::array<double, kMaxDiscKinds> dt{};
  int kinds = 0;

  int KindOf(double length) {
    for (int k = 0; k < kinds; ++k) {
      if (dt[k] == length) return k;
    }
    dt[kinds] = length;
    return kinds++;
  }
  void AssignKinds(Segment& segment, double duration) {
    const double step = duration / segment.steps;
    segment.firstKind = KindOf(step);
    segment.laterKind = KindOf(step * 2 / 3);
  }
};

Plan PlanOf(const AppState& app, int pointCount, const DigitalResolution& resolution) {
  const model::TechniqueTraits& technique = model::TechniqueTraitsOf(model::TechniqueOf(app));
  Plan plan;
  plan.ramp = technique.ramp;
  plan.freshLayer = !technique.carriesLayer;
  plan.difference = technique.difference;
  for (int k = 0; k < technique.stretchCount; ++k) {
    const model::Stretch& stretch = technique.stretches[static_cast<std::size_t>(k)];
    if (stretch.span == model::Span::DropLessPulse) {
      // As in the one-dimensional route: the base lasts a quarter pulse or more.
      const int K = model::ToCount(model::Div(app.tDrop, app.tPulse) * 4);
      if (K < 5) throw Failure("The drop time must be at least 1.25 times the pulse width");
    }
    const double duration = DurationOf(app, stretch.span);
    if (!(duration > 0.0)) throw Failure("The time of a step must be positive");
    Segment& segment = plan.segments[plan.segmentCount++];
    segment.level = stretch.level;
    segment.steps = technique.ramp ? resolution.stepsPerSweepPoint : resolution.stepsAfterJump;
    segment.sample = stretch.sample;
    plan.AssignKinds(segment, duration);
  }
  double point = 0.0;
  for (int k = 0; k < technique.stretchCount; ++k) {
    point += DurationOf(app, technique.stretches[static_cast<std::size_t>(k)].span);
  }
  plan.layerTime =
      technique.carriesLayer ? point * pointCount + std::max(app.quietTime, 0.0) : point;
  if (app.quietTime > 0.0) {
    RequireQuietTimeSimulated(app);
    plan.quiet.steps = resolution.stepsAfterJump;
    plan.AssignKinds(plan.quiet, app.quietTime);
  }
  return plan;
}

void RefuseWhatTheDiscCannotTake(const AppState& app) {
  const bool inRange = app.speciesCount >= 0 && app.speciesCount <= model::kMaxSpecies &&
                       app.chargeCount >= 0 && app.chargeCount <= model::kMaxCharge &&
                       app.chemCount >= 0 && app.chemCount <= model::kMaxChem &&
                       app.chem2Count >= 0 && app.chem2Count <= model::kMaxChem2;
  if (!inRange) model::ThrowFailure(model::kSubscriptOutOfRange);
  for (int j = 1; j <= app.chem2Count; ++j) {
    const bool twoLeft = app.chem2Species(j, 1) != 0 && app.chem2Species(j, 2) != 0;
    const bool twoRight = app.chem2Species(j, 3) != 0 && app.chem2Species(j, 4) != 0;
    if (twoLeft || twoRight) {
      throw Failure(
          std::string(
              "The two-dimensional field of a disc or band takes first-order chemistry only") +
          kChooseStandard);
    }
  }
  if (app.Ru > 0) {
    throw Failure(
        std::string(
            "The two-dimensional field of a disc or band takes no uncompensated resistance") +
        kChooseStandard);
  }
  if (!(app.radius > 0)) model::ThrowFailure(model::kInvalidArgument);
}

// A first-order reaction X = Y: the rows of chemCount, and the second-order rows with one empty
// place on each side. Species outside 1..n (an empty place) take no part in a solve.
struct FirstOrder {
  int X = 0;
  int Y = 0;
  double kf = 0;
  double kb = 0;
};

int FirstOrderReactions(const AppState& app, std::array<FirstOrder, model::kMaxChem>& reactions) {
  int count = 0;
  for (int q = 1; q <= app.chemCount; ++q) {
    reactions[count++] = {static_cast<int>(app.chemSpecies(q, 1)),
                          static_cast<int>(app.chemSpecies(q, 2)), app.kf(q), app.kb(q)};
  }
  for (int j = 1; j <= app.chem2Count && count < model::kMaxChem; ++j) {
    const int q = app.chemCount + j;
    const int X = static_cast<int>(std::max(app.chem2Species(j, 1), app.chem2Species(j, 2)));
    const int Y = static_cast<int>(std::max(app.chem2Species(j, 3), app.chem2Species(j, 4)));
    reactions[count++] = {X, Y, app.kf(q), app.kb(q)};
  }
  return count;
}

// A run on the prepared field.
class DiscRun {
 public:
  DiscRun(AppState& app, CurveSet& curves, const Plan& plan, const StopRequest& stop,
          DiscStorage& w)
      : app_(app), curves_(curves), plan_(plan), stop_(stop), w_(w) {}

  // Fills the grid and every kind of step; refuses a field too large to store.
  void Prepare(const DigitalResolution& resolution, double cRef) {
    n_ = app_.speciesCount;
    charges_ = app_.chargeCount;
    cRef_ = cRef;
    // The band's size box holds its width.
    const bool isBand = model::ElectrodeTraitsOf(model::ElectrodeOf(app_)).diffusion ==
                        model::Diffusion::Cylindrical;
    a_ = isBand ? app_.radius / 2 : app_.radius;
    double slowest = app_.D(1), fastest = app_.D(1);
    for (int s = 1; s <= n_; ++s) {
      slowest = std::min(slowest, app_.D(s));
      fastest = std::max(fastest, app_.D(s));
    }
    if (!(slowest > 0)) model::ThrowFailure(model::kInvalidArgument);
    double shortest = plan_.dt[0];
    for (int k = 1; k < plan_.kinds; ++k) shortest = std::min(shortest, plan_.dt[k]);
    // The first box a fraction of the shortest step's diffusion length at the electrode's middle,
    // where g is z / a, the last one (at the disc's infinity) as fine against the longest-lived
    // layer's reach; between them boxes growing and capped with the resolution, as fine across.
    const double e = resolution.expansion;
    const double largest = e / 6;
    const double first = std::clamp(0.3 * std::sqrt(slowest * shortest) / a_, 1e-5, largest);
    const double last = std::clamp(0.3 * a_ / std::sqrt(fastest * plan_.layerTime), 1e-5, largest);
    const int columns = std::max(4, static_cast<int>(std::lround(6 / e)));
    if (isBand) {
      // Beyond eight diffusion lengths of the longest-lived layer lies the bulk.
      const double end = std::asinh(8 * std::sqrt(fastest * plan_.layerTime) / a_);
      BuildBandGrid(first, std::max(end, 1.0), e / 2, largest, columns, w_.grid);
    } else {
      BuildDiscGrid(first, last, e / 2, largest, columns, w_.grid);
    }
    const DiscGrid& grid = w_.grid;
    columns_ = grid.columns;
    unknowns_ = grid.rows * columns_ * n_;
    fluxes_ = charges_ * columns_;
    const double band = static_cast<double>(unknowns_) * (2 * columns_ * n_ + 1 + fluxes_);
    if (band * plan_.kinds > kLargestStorage) {
      throw Failure(
          std::string("The two-dimensional field of so many species needs too much memory") +
          kChooseStandard);
    }
    for (int k = 0; k < plan_.kinds; ++k) PrepareKind(plan_.dt[k], w_.kinds[k]);

    w_.initial.assign(static_cast<std::size_t>(unknowns_), 0.0);
    for (int cell = 0; cell < grid.rows * columns_; ++cell) {
      for (int s = 1; s <= n_; ++s) w_.initial[cell * n_ + s - 1] = app_.Cinit(s) / cRef_;
    }
    w_.c = w_.initial;
    w_.before = w_.initial;
    w_.rhs.assign(static_cast<std::size_t>(unknowns_), 0.0);
    w_.flux.assign(static_cast<std::size_t>(std::max(fluxes_, 1)), 0.0);
    w_.fluxSystem.Reset(fluxes_);
    // Amperes per n * (cm/s) of the mean rate over the electrode: F in C/mmol turns mol/L into
    // mol/cm3.
    currentFactor_ = 96.4846 * app_.area * cRef_;
  }

  void Run() {
    const int N = curves_.pointCount;
    if (plan_.quiet.steps > 0) {
      const double first = curves_.x(1);
      for (int k = 1; k <= plan_.quiet.steps; ++k) {
        const bool bdf2 = k > 1;
        Step(bdf2 ? plan_.quiet.laterKind : plan_.quiet.firstKind, bdf2, first);
      }
      hasHistory_ = true;
    }
    const int sweep = curves_.sweepPointCount > 0 ? curves_.sweepPointCount : N;
    for (int i = 1; i <= N; ++i) {
      if (plan_.freshLayer) {
        std::copy(w_.initial.begin(), w_.initial.end(), w_.c.begin());
        hasHistory_ = false;
      }
      const double programme = curves_.x(i);
      const double from = i > 1 ? curves_.x(i - 1) : programme;
      // Pulses follow the sweep: forward sweeps pulse one way, return sweeps the other.
      const double sign = ((i - 1) / sweep) % 2 == 0 ? 1.0 : -1.0;
      for (int g = 0; g < plan_.segmentCount; ++g) {
        const Segment& segment = plan_.segments[g];
        const double applied = AppliedPotential(app_, segment.level, programme, sign);
        for (int k = 1; k <= segment.steps; ++k) {
          // A ramp carries the history across points; a jump starts afresh.
          const bool bdf2 = hasHistory_ && (plan_.ramp || k > 1);
          const double E = plan_.ramp ? from + (programme - from) * k / segment.steps : applied;
          Step(bdf2 ? segment.laterKind : segment.firstKind, bdf2, E);
          hasHistory_ = true;
        }
        if (segment.sample != 0) Sample(i, segment.sample == 1);
      }
      for (int s = 1; s <= n_; ++s) {
        double mean = 0.0;
        for (int j = 0; j < columns_; ++j) mean += w_.grid.discWeight[j] * w_.c[j * n_ + s - 1];
        curves_.concentrationTable(i, s) = model::Finite(mean * cRef_);
      }
      completed_ = i;
    }
  }

  int completed() const { return completed_; }

 private:
  int Index(int cell, int s) const { return cell * n_ + s - 1; }
  bool IsSpecies(int s) const { return s >= 1 && s <= n_; }

  // The balances of every cell for steps of effective length dt, eliminated, and the response of
  // the field to a unit amount taken through each transfer at each surface cell.
  void PrepareKind(double dt, DiscKind& kind) {
    const DiscGrid& grid = w_.grid;
    kind.dt = dt;
    BandMatrix& A = kind.matrix;
    A.Reset(unknowns_, columns_ * n_);
    std::array<FirstOrder, model::kMaxChem> reactions{};
    const int reactionCount = FirstOrderReactions(app_, reactions);
    for (int i = 0; i < grid.rows; ++i) {
      for (int j = 0; j < columns_; ++j) {
        const int cell = i * columns_ + j;
        const double V = grid.volume[cell];
        for (int s = 1; s <= n_; ++s) {
          const int u = Index(cell, s);
          const double lambda = dt * app_.D(s) / (a_ * a_);
          A.At(u, u) += V;
          auto couple = [&](int other, double coefficient) {
            A.At(u, u) += lambda * coefficient;
            if (other >= 0) A.At(u, Index(other, s)) -= lambda * coefficient;
          };
          if (i > 0) couple(cell - columns_, grid.gFace[cell - columns_]);
          couple(i + 1 < grid.rows ? cell + columns_ : -1, grid.gFace[cell]);
          if (j > 0) couple(cell - 1, grid.etaFace[cell - 1]);
          if (j + 1 < columns_) couple(cell + 1, grid.etaFace[cell]);
        }
        for (int q = 0; q < reactionCount; ++q) {
          const FirstOrder& r = reactions[q];
          const double kf = V * r.kf * dt, kb = V * r.kb * dt;
          if (IsSpecies(r.X)) A.At(Index(cell, r.X), Index(cell, r.X)) += kf;
          if (IsSpecies(r.Y)) A.At(Index(cell, r.Y), Index(cell, r.Y)) += kb;
          if (IsSpecies(r.X) && IsSpecies(r.Y)) {
            A.At(Index(cell, r.X), Index(cell, r.Y)) -= kb;
            A.At(Index(cell, r.Y), Index(cell, r.X)) -= kf;
          }
        }
      }
    }
    A.Factor();
    kind.response.assign(static_cast<std::size_t>(unknowns_) * fluxes_, 0.0);
    for (int r = 1; r <= charges_; ++r) {
      for (int j = 0; j < columns_; ++j) {
        const int f = (r - 1) * columns_ + j;
        std::vector<double>& column = w_.rhs;
        column.assign(static_cast<std::size_t>(unknowns_), 0.0);
        const int O = static_cast<int>(app_.chargeSpecies(r, 1));
        const int R = static_cast<int>(app_.chargeSpecies(r, 2));
        if (IsSpecies(O)) column[Index(j, O)] -= 1.0;
        if (IsSpecies(R)) column[Index(j, R)] += 1.0;
        A.Solve(column);
        for (int u = 0; u < unknowns_; ++u) {
          kind.response[static_cast<std::size_t>(u) * fluxes_ + f] = column[u];
        }
      }
    }
  }

  // One step of kind k to potential E: backward Euler from the present profile or, with bdf2,
  // (3 c(n+1) - 4 c(n) + c(n-1)) / 2 dt, a step of 2 dt / 3 from (4 c(n) - c(n-1)) / 3.
  void Step(int k, bool bdf2, double E) {
    const DiscKind& kind = w_.kinds[k];
    const DiscGrid& grid = w_.grid;
    const int last = grid.rows - 1;
    for (int cell = 0; cell < grid.rows * columns_; ++cell) {
      const double V = grid.volume[cell];
      for (int s = 1; s <= n_; ++s) {
        const int u = Index(cell, s);
        const double from = bdf2 ? (4 * w_.c[u] - w_.before[u]) / 3 : w_.c[u];
        w_.rhs[u] = V * from;
      }
    }
    // The last row's neighbour is the bulk at infinity.
    for (int j = 0; j < columns_; ++j) {
      const int cell = last * columns_ + j;
      for (int s = 1; s <= n_; ++s) {
        w_.rhs[Index(cell, s)] +=
            kind.dt * app_.D(s) / (a_ * a_) * grid.gFace[cell] * w_.initial[Index(cell, s)];
      }
    }
    std::swap(w_.before, w_.c);
    std::swap(w_.c, w_.rhs);
    kind.matrix.Solve(w_.c);
    SolveFluxes(kind, E);
    for (int u = 0; u < unknowns_; ++u) {
      const double* response = &kind.response[static_cast<std::size_t>(u) * fluxes_];
      double sum = 0.0;
      for (int f = 0; f < fluxes_; ++f) sum += response[f] * w_.flux[f];
      w_.c[u] += sum;
    }
    CheckStop();
  }

  // The amounts J through each transfer at each surface cell: J = g (kRed c(O) - kOx c(R)) with
  // g = dt surfaceFactor (disc weight) / a and c = y + response J, y the zero-flux solution.
  void SolveFluxes(const DiscKind& kind, double E) {
    if (fluxes_ == 0) return;
    DenseSystem& system = w_.fluxSystem;
    system.Reset(fluxes_);
    for (int r = 1; r <= charges_; ++r) {
      const TransferRates k =
          TransferRatesAt(app_.ks(r), app_.alpha(r), app_.n(r), app_.fOverRT, E - app_.E0(r));
      const int O = static_cast<int>(app_.chargeSpecies(r, 1));
      const int R = static_cast<int>(app_.chargeSpecies(r, 2));
      for (int j = 0; j < columns_; ++j) {
        const int f = (r - 1) * columns_ + j;
        const double g = kind.dt * w_.grid.surfaceFactor * w_.grid.discWeight[j] / a_;
        // Rows scaled to order one, however fast the transfer.
        const double scale = 1.0 / (1.0 / g + k.red + k.ox);
        double rhs = 0.0;
        system.At(f, f) += scale / g;
        auto take = [&](int species, double rate) {
          if (!IsSpecies(species)) return;
          const int u = Index(j, species);
          rhs += rate * w_.c[u];
          const double* response = &kind.response[static_cast<std::size_t>(u) * fluxes_];
          for (int h = 0; h < fluxes_; ++h) system.At(f, h) -= scale * rate * response[h];
        };
        take(O, k.red);
        take(R, -k.ox);
        w_.flux[f] = scale * rhs;
      }
    }
    system.Solve(w_.flux);
    dtOfFluxes_ = kind.dt;
  }

  // The currents of the step just solved: the mean rate over the electrode is
  // a / (surfaceFactor dt) times the sum of J.
  void Sample(int i, bool first) {
    double total = 0.0;
    for (int r = 1; r <= charges_; ++r) {
      double sum = 0.0;
      for (int j = 0; j < columns_; ++j) sum += w_.flux[(r - 1) * columns_ + j];
      const double rate = a_ / (w_.grid.surfaceFactor * dtOfFluxes_) * sum;
      const double current = model::Finite(rate * app_.n(r) * currentFactor_);
      double& cell = curves_.resultTable(i, r);
      if (!plan_.difference || first) {
        if (first) firstCurrent_[r] = current;
        cell = current;
      } else {
        cell = current - firstCurrent_[r];
      }
      total += cell;
    }
    curves_.resultTable(i, charges_ + 1) = total;
  }

  void CheckStop() {
    if (--stepsToStopCheck_ > 0 || !stop_) return;
    stepsToStopCheck_ = kStepsBetweenStopChecks;
    if (stop_()) throw SimulationCancelled{};
  }

  AppState& app_;
  CurveSet& curves_;
  const Plan& plan_;
  const StopRequest& stop_;
  DiscStorage& w_;
  int n_ = 0;
  int charges_ = 0;
  int columns_ = 0;
  int unknowns_ = 0;
  int fluxes_ = 0;
  double cRef_ = 0;
  double a_ = 0;
  double currentFactor_ = 0;
  double dtOfFluxes_ = 1;
  bool hasHistory_ = false;
  int completed_ = 0;
  int stepsToStopCheck_ = kStepsBetweenStopChecks;
  std::array<double, model::kMaxCharge + 1> firstCurrent_{};
};

}  // namespace

void DiscSimulation(AppState& app, CurveSet& curves, DiscStorage& storage,
                    const DigitalResolution& resolution, const StopRequest& stop, int& completed) {
  RefuseWhatTheDiscCannotTake(app);
  const int n = app.speciesCount;
  double cRef = 0.0;
  for (int s = 1; s <= n; ++s) cRef = std::max(cRef, app.Cinit(s));
  if (n == 0 || cRef == 0.0) {
    // Nothing diffuses: no faradaic current, and no resistance to charge a layer through.
    for (int i = 1; i <= curves.pointCount; ++i) {
      for (int s = 1; s <= n; ++s) curves.concentrationTable(i, s) = 0.0;
      for (int r = 1; r <= app.chargeCount + 1; ++r) curves.resultTable(i, r) = 0.0;
    }
    completed = curves.pointCount;
    return;
  }
  const Plan plan = PlanOf(app, curves.pointCount, resolution);
  DiscRun run(app, curves, plan, stop, storage);
  run.Prepare(resolution, cRef);
  try {
    run.Run();
  } catch (...) {
    completed = run.completed();
    throw;
  }
  completed = run.completed();
}

}  // namespace kivex::simulation
