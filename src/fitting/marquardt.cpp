#include "fitting/marquardt.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <stdexcept>

#include "model/checked_math.h"

namespace kivex::fitting {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// A parameter that cannot move: frozen by the caller, or boxed in by bounds that leave no room.
bool Fixed(const Problem& problem, int j) {
  return problem.varies[j] == 0 || !(problem.Min[j] < problem.Max[j]);
}

// A parameter varied as log10 inside the optimiser: asked for, or with positive bounds more than
// two decades apart, where a step in the value itself would be either too small near the lower
// bound or too large near the upper one.
bool WantsLogScale(const FitWork& work, const Problem& problem, int j) {
  const double min = problem.Min[j];
  const double max = problem.Max[j];
  if (Fixed(problem, j) || !(min > 0) || !std::isfinite(max)) return false;
  const bool asked = static_cast<std::size_t>(j) < problem.Log.size() && problem.Log[j] != 0;
  return asked || max > work.options.logScaleSpan * min;
}

double ToInternal(const FitWork& work, int j, double x) {
  return work.logScale[j] ? std::log10(x) : x;
}

// The value of internal coordinate z, exactly on a bound where z is on its image.
double ToExternal(const FitWork& work, const Problem& problem, int j, double z) {
  if (!work.logScale[j]) return z;
  if (z >= work.zMax[j]) return problem.Max[j];
  if (z <= work.zMin[j]) return problem.Min[j];
  return std::clamp(std::pow(10.0, z), problem.Min[j], problem.Max[j]);
}

// Called once a fit has its start inside the bounds: which parameters go on a log scale, and the
// internal coordinates of the start and of the bounds.
void SetCoordinates(FitWork& work, const Problem& problem, const Summary& fit) {
  const int n = fit.n();
  for (int j = 0; j < n; ++j) {
    work.logScale[j] = WantsLogScale(work, problem, j);
    work.z[j] = ToInternal(work, j, fit.X[j]);
    work.zMin[j] = ToInternal(work, j, problem.Min[j]);
    work.zMax[j] = ToInternal(work, j, problem.Max[j]);
  }
}

// The magnitude a parameter is measured by: its own value, or, for a value of 0, the larger finite
// magnitude of its bounds (the range the user expects it in), or 1 when nothing says more.
double ParameterScale(double x, double min, double max) {
  if (x != 0 && std::isfinite(x)) return std::fabs(x);
  double scale = 0;
  if (std::isfinite(min)) scale = std::max(scale, std::fabs(min));
  if (std::isfinite(max)) scale = std::max(scale, std::fabs(max));
  return scale > 0 ? scale : 1.0;
}

// The squared spread that "negligible" is measured against: the data's variance, or for constant
// data their mean square, or the model's, so that the rule does not depend on the data's unit.
double SpreadSquared(const Problem& problem, const Summary& fit) {
  if (problem.DataVariance > 0) return problem.DataVariance;
  for (const std::vector<double>* values : {&problem.Yobs, &fit.Fcalc}) {
    double sum = 0;
    for (double v : *values) sum += v * v;
    if (sum > 0) return sum / static_cast<double>(values->size());
  }
  return 1.0;
}

// Sum of squared residuals; a model that leaves the finite numbers gives +infinity, which every
// comparison treats as worse than any real point.
double SumOfSquares(std::span<const double> fcalc, std::span<const double> yobs) {
  double sum = 0;
  for (std::size_t i = 0; i < yobs.size(); ++i) {
    const double r = fcalc[i] - yobs[i];
    sum += r * r;
  }
  return std::isfinite(sum) ? sum : kInfinity;
}

// The lengths are the caller's to get right (no input of the user's sets them), so a mismatch is
// a programming error, not a failure to word for the user.
void CheckShapes(const Problem& problem, const Summary& fit) {
  const std::size_t n = fit.X.size();
  if (problem.X.size() != n || problem.Min.size() != n || problem.Max.size() != n ||
      problem.varies.size() != n) {
    throw std::logic_error("fit: X, Min, Max and varies differ in length");
  }
}

// Sizes the work storage for this fit's n and NP. A fit of the same or a smaller size reuses the
// storage of the one before: nothing is allocated while the fit runs.
void Reserve(FitWork& work, const Problem& problem, Summary& fit) {
  CheckShapes(problem, fit);
  const std::size_t n = fit.X.size();
  const std::size_t np = problem.Yobs.size();
  work.P.assign(fit.X.begin(), fit.X.end());
  work.S.assign(n, 0.0);
  work.tried.assign(n, 0.0);
  work.jacobian.assign(n * np, 0.0);
  work.plus.assign(np, 0.0);
  work.minus.assign(np, 0.0);
  work.normal.assign(n * (n + 1), 0.0);
  work.scale.assign(n, 1.0);
  work.solve.assign(n * (n + 1), 0.0);
  work.frozen.assign(n, 0);
  work.held.assign(n, 0);
  work.logScale.assign(n, 0);
  work.z.assign(fit.X.begin(), fit.X.end());
  work.zMin.assign(problem.Min.begin(), problem.Min.end());
  work.zMax.assign(problem.Max.begin(), problem.Max.end());
  work.zTrial.assign(n, 0.0);
  fit.Fcalc.resize(np);
}

bool Reserved(const FitWork& work, const Problem& problem, const Summary& fit) {
  const std::size_t n = fit.X.size();
  const std::size_t np = problem.Yobs.size();
  return work.P.size() == n && work.jacobian.size() == n * np && work.plus.size() == np &&
         work.normal.size() == n * (n + 1) && fit.Fcalc.size() == np;
}

// Jacobian by difference quotients around X, where Fcalc holds the model, in the optimiser's
// coordinates (log10 for a log-scaled parameter). The step is 1 % of the parameter's scale (a
// change of 1 % in the value on a log scale; finer after a stall, see MarquardtIteration) and
// never probes outside the bounds: a parameter within one step of a bound is differentiated
// one-sidedly, away from it. Fixed parameters are not probed at all. These evaluations are not
// counted. Returns whether the model was evaluated.
bool ComputeJacobian(FitWork& work, const Problem& problem, Summary& fit, ModelFunction model) {
  const int n = fit.n();
  const std::size_t np = problem.Yobs.size();
  std::copy(fit.X.begin(), fit.X.end(), work.P.begin());
  bool probed = false;
  for (int j = 0; j < n; ++j) {
    double* row = work.jacobian.data() + static_cast<std::size_t>(j) * np;
    if (Fixed(problem, j)) {
      std::fill(row, row + np, 0.0);
      continue;
    }
    const double z0 = work.z[j];
    const double min = work.zMin[j];
    const double max = work.zMax[j];
    double h = work.logScale[j] ? work.differenceStep / std::numbers::ln10
                                : work.differenceStep * ParameterScale(z0, min, max);
    const double up = max - z0;
    const double down = z0 - min;
    bool forward = up >= h;
    bool backward = down >= h;
    if (!forward && !backward) {  // bounds closer than a step on both sides: use the wider side
      forward = up >= down;
      backward = !forward;
      h = forward ? up : down;
    }
    double hPlus = 0;  // the steps actually taken, after rounding
    double hMinus = 0;
    if (forward) {
      const double z = std::min(z0 + h, max);
      work.P[j] = ToExternal(work, problem, j, z);
      hPlus = (work.logScale[j] ? z : work.P[j]) - z0;
      model(work.P, work.plus);
    }
    if (backward) {
      const double z = std::max(z0 - h, min);
      work.P[j] = ToExternal(work, problem, j, z);
      hMinus = z0 - (work.logScale[j] ? z : work.P[j]);
      model(work.P, work.minus);
    }
    work.P[j] = fit.X[j];
    const double* upper = forward ? work.plus.data() : fit.Fcalc.data();
    const double* lower = backward ? work.minus.data() : fit.Fcalc.data();
    const double span = hPlus + hMinus;
    for (std::size_t i = 0; i < np; ++i) row[i] = model::Finite((upper[i] - lower[i]) / span);
    probed = true;
  }
  return probed;
}

// Normal equations J'J s = J'(Yobs - Fcalc), scaled to a unit diagonal. A parameter is frozen
// (its row and column cleared, its diagonal 1) when it is fixed or when the model's response to it
// is negligible: the mean square change of the model for a change of the parameter by its whole
// scale at most 1e-20 of the data's spread squared. Measured so, the rule is the same whatever the
// units of the data and of the parameter.
void BuildNormalEquations(FitWork& work, const Problem& problem, const Summary& fit) {
  const int n = fit.n();
  const int cols = n + 1;
  const std::size_t np = problem.Yobs.size();
  const double spread = SpreadSquared(problem, fit);
  double* a = work.normal.data();
  for (int j = 0; j < n; ++j) {
    const double* rj = work.jacobian.data() + static_cast<std::size_t>(j) * np;
    double gradient = 0;
    for (std::size_t i = 0; i < np; ++i) gradient += (problem.Yobs[i] - fit.Fcalc[i]) * rj[i];
    a[j * cols + n] = gradient;
    for (int k = j; k < n; ++k) {
      const double* rk = work.jacobian.data() + static_cast<std::size_t>(k) * np;
      double sum = 0;
      for (std::size_t i = 0; i < np; ++i) sum += rj[i] * rk[i];
      a[j * cols + k] = sum;
    }
  }
  for (int j = 0; j < n; ++j) {
    // A log-scaled parameter is measured in decades.
    const double s =
        work.logScale[j] ? 1.0 : ParameterScale(fit.X[j], problem.Min[j], problem.Max[j]);
    const double response = a[j * cols + j] * s * s;
    const bool negligible =
        response <= work.options.diagonalFloor * static_cast<double>(np) * spread;
    work.frozen[j] = Fixed(problem, j) || negligible;
    if (work.frozen[j]) {
      for (int k = 0; k < n; ++k) {
        a[j * cols + k] = 0.0;
        a[k * cols + j] = 0.0;
      }
      a[j * cols + n] = 0.0;
      a[j * cols + j] = 1.0;
    }
  }
  for (int j = 0; j < n; ++j) work.scale[j] = std::sqrt(a[j * cols + j]);
  for (int j = 0; j < n; ++j) {
    a[j * cols + n] /= work.scale[j];
    for (int k = j; k < n; ++k) {
      a[j * cols + k] /= work.scale[j] * work.scale[k];
      a[k * cols + j] = a[j * cols + k];
    }
  }
}

// Gauss-Jordan elimination without row exchanges on the n x (n + 1) system; the scaled normal
// matrix is symmetric with a unit diagonal, so its pivots stay positive, and a vanishing one is
// replaced by the pivot floor rather than failing.
void GaussJordan(double* b, int n, double pivotFloor) {
  const int cols = n + 1;
  for (int p = 0; p < n; ++p) {
    for (int q = p + 1; q <= n; ++q) {
      if (std::fabs(b[p * cols + p]) < pivotFloor) b[p * cols + p] = pivotFloor;
      b[p * cols + q] /= b[p * cols + p];
    }
    for (int r = 0; r < n; ++r) {
      if (r == p) continue;
      for (int q = p + 1; q <= n; ++q) b[r * cols + q] -= b[r * cols + p] * b[p * cols + q];
    }
  }
}

// Solves the scaled system with `damping` added to its diagonal, into the step S. Frozen
// parameters take no part; nor does a parameter held on a bound whose step points outward: it is
// taken out like a frozen one and the others are solved again without it.
void SolveStep(FitWork& work, const Summary& fit, double damping) {
  const int n = fit.n();
  const int cols = n + 1;
  std::copy(work.frozen.begin(), work.frozen.end(), work.held.begin());
  for (;;) {
    const double* a = work.normal.data();
    double* b = work.solve.data();
    for (int j = 0; j < n; ++j) {
      for (int k = 0; k <= n; ++k) {
        b[j * cols + k] = (work.held[j] || (k < n && work.held[k])) ? 0.0 : a[j * cols + k];
      }
      b[j * cols + j] = work.held[j] ? 1.0 : a[j * cols + j] + damping;
    }
    GaussJordan(b, n, work.options.pivotFloor);
    bool outward = false;
    for (int j = 0; j < n; ++j) {
      work.S[j] = work.held[j] ? 0.0 : b[j * cols + n] / work.scale[j];
      if (work.held[j]) continue;
      if ((work.S[j] < 0 && work.z[j] <= work.zMin[j]) ||
          (work.S[j] > 0 && work.z[j] >= work.zMax[j])) {
        work.held[j] = 1;
        outward = true;
      }
    }
    if (!outward) return;
  }
}

// Far from the data a rate constant's effect is flat (a reversible wave hardly changes between
// ks 1 and 100 cm/s), and the linearisation extrapolates it into a step of many decades that the
// bounds would cut to the far end of the range, where the curve is as wrong the other way; no
// damping up to the largest shortens such a step enough. So no log-scaled parameter moves by more
// than Options::largestLogStep decades in one step: its component is clipped and the others are
// left as solved. (Clipping needed fewer trials than shortening the whole step, over the same fits.
// Heavy damping turns the step towards the gradient, whose clipped components still lead downhill.)
void LimitLogSteps(FitWork& work, const Summary& fit) {
  const double largest = work.options.largestLogStep;
  for (int j = 0; j < fit.n(); ++j) {
    if (work.logScale[j]) work.S[j] = std::clamp(work.S[j], -largest, largest);
  }
}

// The trial point X + S in the optimiser's coordinates, each step stopped on the bound it would
// cross (S is cut to match), and P, its value; a parameter that does not move keeps its value
// exactly.
void SetTrialPoint(FitWork& work, const Problem& problem, const Summary& fit) {
  const int n = fit.n();
  for (int j = 0; j < n; ++j) {
    if (work.S[j] == 0.0) {
      work.zTrial[j] = work.z[j];
      work.P[j] = fit.X[j];
      continue;
    }
    const double z = std::clamp(work.z[j] + work.S[j], work.zMin[j], work.zMax[j]);
    work.zTrial[j] = z;
    work.P[j] = ToExternal(work, problem, j, z);
    work.S[j] = z - work.z[j];
  }
}

// The trial point becomes the current one.
void Accept(FitWork& work, Summary& fit) {
  fit.X.assign(work.P.begin(), work.P.end());
  work.z.assign(work.zTrial.begin(), work.zTrial.end());
}

double EvaluateAtTrialPoint(FitWork& work, const Problem& problem, Summary& fit,
                            ModelFunction model) {
  model(work.P, fit.Fcalc);
  ++fit.EvaluationCount;
  return SumOfSquares(fit.Fcalc, problem.Yobs);
}

// How much a trial changed the sum, relative to both: 0 for none, 1 for a trial that left the
// finite numbers.
double RelativeChange(double ssq, double trial) {
  return std::isinf(trial) ? 1.0 : std::fabs(ssq - trial) / (ssq + trial);
}

bool AllZero(const std::vector<double>& step) {
  return std::all_of(step.begin(), step.end(), [](double s) { return s == 0.0; });
}

}  // namespace

double PopulationVariance(std::span<const double> values) {
  const double count = static_cast<double>(values.size());
  double sum = 0;
  for (double v : values) sum += v;
  const double mean = model::Div(sum, count);
  double squares = 0;
  for (double v : values) squares += (v - mean) * (v - mean);
  return model::Finite(squares / count);
}

void BeginFit(FitWork& work, const Problem& problem, Summary& fit, const Options& options) {
  fit.X = problem.X;
  Reserve(work, problem, fit);
  fit.started = false;
  fit.DampedSolves = 0;
  fit.EvaluationCount = 0;
  fit.Flag = Termination::NotStarted;
  work.options = options;
  work.differenceStep = options.differenceStep;
}

void JacobianAtX(FitWork& work, const Problem& problem, Summary& fit, ModelFunction model) {
  if (!Reserved(work, problem, fit)) Reserve(work, problem, fit);
  SetCoordinates(work, problem, fit);  // X may be another start's result than the last call's
  if (ComputeJacobian(work, problem, fit, model)) {
    std::copy(fit.X.begin(), fit.X.end(), work.P.begin());
    model(work.P, fit.Fcalc);
  }
}

double EvaluateTrial(FitWork& work, const Problem& problem, Summary& fit, ModelFunction model) {
  if (!Reserved(work, problem, fit)) Reserve(work, problem, fit);
  SetTrialPoint(work, problem, fit);
  return EvaluateAtTrialPoint(work, problem, fit, model);
}

void MarquardtIteration(FitWork& work, const Problem& problem, Summary& fit, ModelFunction model) {
  const Options& options = work.options;
  const int n = fit.n();
  const double floor = problem.DataVariance * options.exactnessFloor;

  if (!fit.started) {
    if (!Reserved(work, problem, fit)) Reserve(work, problem, fit);
    for (int j = 0; j < n; ++j) {  // a start outside its bounds begins on the nearer one
      if (!Fixed(problem, j)) {
        fit.X[j] = std::max(problem.Min[j], std::min(problem.Max[j], fit.X[j]));
      }
    }
    SetCoordinates(work, problem, fit);
    std::fill(work.S.begin(), work.S.end(), 0.0);
    fit.SSQ = model::Finite(EvaluateTrial(work, problem, fit, model));
    // "<=": constant data have a floor of 0, and an exact model then has a sum of exactly 0.
    if (fit.SSQ <= floor) {
      fit.Flag = Termination::Exact;
      return;
    }
    fit.started = true;
  }

  bool modelAtX = !ComputeJacobian(work, problem, fit, model);
  BuildNormalEquations(work, problem, fit);

  const double ssq = fit.SSQ;  // > floor >= 0, so every ratio below is defined
  double trial = ssq;
  double undamped = ssq;
  double change = options.smallestChange;
  bool accepted = false;
  for (int m = 0;; ++m) {
    // The first solve of every call is undamped (Gauss-Newton).
    SolveStep(work, fit, m == 0 ? 0.0 : work.lambda);
    LimitLogSteps(work, fit);
    // No parameter can move, so no damped step could either: nothing to try.
    if (AllZero(work.S)) break;
    SetTrialPoint(work, problem, fit);
    // A damped step cut at the same bound gives the same point again: its sum is known, and the
    // trial counts as evaluated, so that every damped solve has its trial in the count.
    if (m == 0 || work.P != work.tried) {
      trial = EvaluateAtTrialPoint(work, problem, fit, model);
      work.tried.assign(work.P.begin(), work.P.end());
      modelAtX = false;
    } else {
      ++fit.EvaluationCount;
    }
    if (m == 0) undamped = trial;
    if (trial <= floor) {  // exact within the floor (and so below ssq)
      Accept(work, fit);
      fit.SSQ = trial;
      fit.Flag = Termination::Exact;
      return;
    }
    change = std::clamp(trial / ssq, options.smallestChange, options.largestChange);
    if (trial < ssq) {
      accepted = true;
      break;
    }
    if (m > 0) work.lambda *= change;
    if (fit.DampedSolves == 0)
      work.lambda = options.startDamping;  // the first damped solve of the fit
    ++fit.DampedSolves;
    if (!(work.lambda <= options.largestDamping)) break;
  }
  if (fit.DampedSolves != 0) work.lambda /= change;

  if (accepted) {
    // Converged only when the undamped step, too, changes the sum by less than the threshold: a
    // small decrease found only by heavy damping means a curved valley, not a minimum.
    const bool small = RelativeChange(ssq, trial) < options.convergenceThreshold &&
                       RelativeChange(ssq, undamped) < options.convergenceThreshold;
    fit.Flag = small ? Termination::Converged : Termination::GoOn;
    Accept(work, fit);
    fit.SSQ = trial;
    return;
  }

  // No step lowers the sum: the current point is kept, and the model is evaluated there once more
  // (not counted) so that Fcalc, and whatever else the model leaves behind, belong to X again.
  // This is a minimum only if the undamped step, too, leaves the sum as it is. Otherwise the
  // derivatives are too coarse to show the way down (a 1 % step across a narrow peak): go on with
  // a step ten times finer, down to the finest that rounding allows.
  if (RelativeChange(ssq, undamped) < options.convergenceThreshold ||
      work.differenceStep <= options.finestDifferenceStep) {
    fit.Flag = Termination::Converged;
  } else {
    fit.Flag = Termination::GoOn;
    work.differenceStep /= 10;
  }
  if (!modelAtX) {
    std::copy(fit.X.begin(), fit.X.end(), work.P.begin());
    std::fill(work.S.begin(), work.S.end(), 0.0);
    model(work.P, fit.Fcalc);
    fit.SSQ = model::Finite(SumOfSquares(fit.Fcalc, problem.Yobs));
  }
}

}  // namespace kivex::fitting
