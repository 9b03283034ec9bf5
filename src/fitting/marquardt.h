#pragma once
// Marquardt least squares: one iteration of a scaled Levenberg-Marquardt method with a numerical
// Jacobian and box bounds per call, for any model that fills its values from a parameter vector.
// The caller decides when to stop; the damping factor survives from one iteration, and from one
// fit, to the next.
//
//   FitWork work;                               // lives as long as the program: the damping
//   Problem problem;                            // what is fitted: start, bounds, data
//   problem.X = {1.0, 0.1};  problem.Min = {0, 0};  problem.Max = {10, 1};
//   problem.varies = {1, 1};  problem.Yobs = observed;
//   problem.DataVariance = PopulationVariance(observed);
//   Summary fit;                                // what the fit has found so far
//   BeginFit(work, problem, fit);               // with Options{}, the method's own tunables
//   int iterations = 0;
//   do {
//     MarquardtIteration(work, problem, fit, model);
//   } while (++iterations < 51 && fit.Flag == Termination::GoOn);
//
// The problem, the options and the summary are kept apart, as least-squares libraries do: one
// problem is fitted from several starts, each into a summary of its own. The figures below are
// the defaults of Options.
//
// Method (Marquardt 1963): the normal equations J'J s = J'r are scaled to a unit diagonal, so that
// the damping lambda added to that diagonal means the same for every parameter whatever its unit;
// each call first tries the undamped (Gauss-Newton) step and then ever more damped ones until one
// lowers the sum. Derivatives are central differences with a step of 1 % of the parameter.
//
// Bounds are honoured exactly: a trial step stops on the bound it would cross, the difference
// quotients never probe outside the bounds, and a parameter held on a bound whose step points
// outward is left out of that solve, so an optimum on a bound is found and a parameter starting on
// a bound can leave it.
//
// Rate constants are varied on a log scale: a parameter marked in Problem::Log, or any whose
// bounds are both positive and more than two decades apart, is varied as log10 of its value
// inside the optimiser (derivatives, steps and bounds alike), while X, the bounds and the values
// the model is evaluated at stay in ordinary units. A curve follows the logarithm of a rate
// constant, not the constant itself. Such a parameter moves by at most two decades in one step,
// so that a linearisation where the curve barely depends on it (a reversible wave, ks from 1 to
// 100 cm/s) does not throw it to the far end of its range.
//
// EvaluationCount counts every trial point a call tries: the undamped one and one per damped
// solve ("No. of MARQUARDS"), including a damped step cut back to the point tried just before,
// whose sum is known and not computed again.
//
// Flag after a call (Termination): GoOn; Exact, the sum is exact within 1e-10 x the data's
// variance; Converged, the sum changes by less than 0.02 % with the undamped step as well as with
// the step taken, or no step at all lowers it. X, SSQ and Fcalc always describe the best point
// found (Summary), and the model was last evaluated there, so whatever the model leaves behind
// matches X.
//
// A failure of the model (model::Failure) propagates; X, SSQ and Fcalc then still describe the
// last accepted point.

#include <span>
#include <vector>

#include "fitting/model_function.h"

namespace kivex::fitting {

inline constexpr int kMaxFitParameters = 20;

// How the last iteration left a fit. The numbers are the ones the fit report prints
// ("Convergence flag = -2").
enum class Termination : int {
  NotStarted = 0,
  GoOn = 1,        // another iteration may still lower the sum
  Exact = -1,      // the sum is exact within 1e-10 x the data's variance
  Converged = -2,  // no step changes the sum by more than Options::convergenceThreshold
};

// Whether the fit has stopped by itself (rather than still going on or not begun).
inline constexpr bool IsFinished(Termination t) {
  return t == Termination::Exact || t == Termination::Converged;
}

// The method's tunables; the defaults are the ones every fit of the program uses.
struct Options {
  double startDamping = 0.0001;    // lambda at the first damped solve of a fit
  double largestDamping = 1000.0;  // damped solves stop once lambda exceeds it
  double smallestChange = 2.0;     // bounds of the damping change factor
  double largestChange = 10.0;
  double differenceStep = 0.01;          // relative step of the difference quotients
  double finestDifferenceStep = 1e-5;    // the finest one a stalled fit goes down to
  double exactnessFloor = 1e-10;         // x DataVariance: a sum below it is exact
  double convergenceThreshold = 0.0002;  // relative change of the sum
  double logScaleSpan = 100.0;           // bounds further apart than this go on a log scale
  double largestLogStep = 2.0;           // decades a log-scaled parameter moves in one step
  double diagonalFloor = 1e-20;          // relative: see FitWork::frozen
  double pivotFloor = 1e-15;
};

// What is fitted, owned by the caller and left as it is by the fit. Parameter j is X[j]
// (0-based), point i is Yobs[i]; X, Min, Max and varies have one entry per parameter.
struct Problem {
  std::vector<double> X;     // the start
  std::vector<double> Min;   // lower bounds (may be -infinity)
  std::vector<double> Max;   // upper bounds (may be +infinity); Min > Max holds X where it is
  std::vector<char> varies;  // non-zero lets the parameter vary, 0 holds it at X
  std::vector<char> Log;     // optional: non-zero varies the parameter as log10 (positive bounds)
  std::vector<double> Yobs;
  double DataVariance = 0;  // population variance of Yobs about its mean

  int n() const { return static_cast<int>(X.size()); }
  int NP() const { return static_cast<int>(Yobs.size()); }
};

// What the fit has found, updated by every call.
struct Summary {
  std::vector<double> X;      // the best point so far, from the start (within its bounds)
  std::vector<double> Fcalc;  // model values at X, sized by BeginFit
  double SSQ = 0;             // sum of squared residuals at X
  Termination Flag = Termination::NotStarted;
  int DampedSolves = 0;      // damped solutions in this fit ("No. of MARQUARDS")
  long EvaluationCount = 0;  // trial evaluations of this fit; the Jacobian is not counted
  bool started = false;      // the start is evaluated and not exact: the next call iterates

  int n() const { return static_cast<int>(X.size()); }
};

// What outlives one fit: the damping factor (kept between fits as this optimiser always has, and
// restarted at Options::startDamping by the first damped solve of each fit), the options of the
// current fit, and the work storage, sized once per fit by BeginFit and reused by every call.
struct FitWork {
  Options options;  // set by BeginFit
  double lambda = Options{}.startDamping;
  double differenceStep = Options{}.differenceStep;  // relative; refined when coarse ones stall

  std::vector<double> P;      // the point the model is evaluated at
  std::vector<double> S;      // the step of the current trial
  std::vector<double> tried;  // the last trial point evaluated in this call

  // Work storage of one call.
  std::vector<double> jacobian;  // n rows of NP: d model(i) / d X[j]
  std::vector<double> plus;      // model values of the difference quotients
  std::vector<double> minus;
  std::vector<double> normal;  // scaled normal equations, n x (n + 1), gradient in column n
  std::vector<double> scale;   // square roots of the unscaled diagonal
  std::vector<double> solve;   // the system being solved, n x (n + 1)
  std::vector<char> frozen;    // left out of every solve of this call
  std::vector<char> held;      // left out of the current solve: on a bound, stepping outward

  // The optimiser's coordinates: log10 of a log-scaled parameter, the value itself otherwise.
  std::vector<char> logScale;  // set by the first call of a fit
  std::vector<double> z;       // of X
  std::vector<double> zMin;
  std::vector<double> zMax;
  std::vector<double> zTrial;  // of P
};

// Starts a fit of `problem` with `options`: the summary from the problem's start, not started,
// DampedSolves and EvaluationCount 0, the difference step options.differenceStep, work storage
// and Fcalc sized for this fit. The damping factor is left as it is. X, Min, Max and varies of
// different lengths are a caller's mistake (std::logic_error).
void BeginFit(FitWork& work, const Problem& problem, Summary& fit, const Options& options = {});

// One iteration; updates the summary.
void MarquardtIteration(FitWork& work, const Problem& problem, Summary& fit, ModelFunction model);

// The Jacobian at X into work.jacobian (one row of NP values per parameter, with respect to the
// optimiser's coordinates: log10 for a log-scaled parameter; zero for a fixed one), then the model
// once more at X, so that what the model leaves behind matches X again. Neither is counted as a
// trial. Needs a fit that has made its first call.
void JacobianAtX(FitWork& work, const Problem& problem, Summary& fit, ModelFunction model);

// The trial point X + S (S in the optimiser's coordinates: log10 for a log-scaled parameter), each
// step stopped on the bound it would cross (S is cut to match), evaluated into Fcalc; returns the
// sum of squared residuals and counts the evaluation.
double EvaluateTrial(FitWork& work, const Problem& problem, Summary& fit, ModelFunction model);

// Population variance of the observed values about their mean; a Failure for no values.
double PopulationVariance(std::span<const double> values);

}  // namespace kivex::fitting
