#pragma once
// Marquardt least squares: one iteration of a scaled Levenberg-Marquardt method with a numerical
// Jacobian and box bounds per call, for any model that fills its values from a parameter vector.
// The caller decides when to stop; the damping factor survives from one iteration, and from one
// fit, to the next.
//
//   FitWork work;                               // lives as long as the program: the damping
//   FitState fit;
//   fit.X = {1.0, 0.1};  fit.Min = {0, 0};  fit.Max = {10, 1};  fit.Free = {-1, -1};
//   fit.Yobs = observed;  fit.DataVariance = PopulationVariance(observed);
//   BeginFit(work, fit);
//   int iterations = 0;
//   do {
//     MarquardtIteration(work, fit, model);
//   } while (++iterations < 51 && fit.Flag == Termination::GoOn);
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
// Rate constants are varied on a log scale: a parameter marked in FitState::Log, or any whose
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
// found, and the model was last evaluated there, so whatever the model leaves behind matches X.
//
// A failure of the model (model::Failure) propagates; X, SSQ and Fcalc then still describe the
// last accepted point.

#include <span>
#include <vector>

#include "fitting/model_function.h"

namespace kivex::fitting {

inline constexpr int kMaxFitParameters = 20;

inline constexpr double kStartDamping = 0.0001;     // lambda at the first damped solve of a fit
inline constexpr double kLargestDamping = 1000.0f;  // damped solves stop once lambda exceeds it
inline constexpr double kSmallestChange = 2.0;      // bounds of the damping change factor
inline constexpr double kLargestChange = 10.0;
inline constexpr double kDifferenceStep = 0.01;        // relative step of the difference quotients
inline constexpr double kFinestDifferenceStep = 1e-5;  // the finest one a stalled fit goes down to
inline constexpr double kExactnessFloor = 1e-10;       // x DataVariance: a sum below it is exact
inline constexpr double kDiagonalFloor = 1e-20;        // relative: see FitWork::frozen
inline constexpr double kPivotFloor = 1e-15;
// How the last iteration left a fit. The numbers are the ones the fit report prints
// ("Convergence flag = -2").
enum class Termination : int {
  NotStarted = 0,
  GoOn = 1,        // another iteration may still lower the sum
  Exact = -1,      // the sum is exact within 1e-10 x the data's variance
  Converged = -2,  // no step changes the sum by more than kConvergenceThreshold
};

// Whether the fit has stopped by itself (rather than still going on or not begun).
inline constexpr bool IsFinished(Termination t) {
  return t == Termination::Exact || t == Termination::Converged;
}

inline constexpr double kConvergenceThreshold = 0.0002;  // relative change of the sum
inline constexpr double kLogScaleSpan = 100.0;  // bounds further apart than this go on a log scale
inline constexpr double kLargestLogStep = 2.0;  // decades a log-scaled parameter moves in one step

// One fit's data, owned by the caller. Parameter j is X[j] (0-based), point i is Yobs[i].
struct FitState {
  std::vector<double> X;    // current parameters, updated by every call
  std::vector<double> Min;  // lower bounds (may be -infinity)
  std::vector<double> Max;  // upper bounds (may be +infinity); Min > Max holds X where it is
  std::vector<int> Free;    // 0 freezes the parameter, anything else lets it vary
  std::vector<char> Log;    // optional: non-zero varies the parameter as log10 (positive bounds)
  std::vector<double> Yobs;
  std::vector<double> Fcalc;  // model values at X, sized by BeginFit
  double DataVariance = 0;    // population variance of Yobs about its mean
  double SSQ = 0;             // sum of squared residuals at X
  int Initialised = 0;        // 0 before the first call of a fit
  Termination Flag = Termination::NotStarted;
  int DampedSolves = 0;  // damped solutions in this fit ("No. of MARQUARDS")

  int n() const { return static_cast<int>(X.size()); }
  int NP() const { return static_cast<int>(Yobs.size()); }
};

// What outlives one fit: the damping factor (kept between fits as this optimiser always has, and
// restarted at kStartDamping by the first damped solve of each fit), the count of trial
// evaluations, and the work storage, sized once per fit by BeginFit and reused by every call.
struct FitWork {
  double lambda = kStartDamping;
  long EvaluationCount = 0;  // trial evaluations of the current fit; the Jacobian is not counted
  double differenceStep = kDifferenceStep;  // relative; refined when coarse derivatives stall

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

// Starts a fit: Initialised, DampedSolves and EvaluationCount to 0, the difference step to 1 %,
// work storage and Fcalc sized for this fit. The damping factor is left as it is.
void BeginFit(FitWork& work, FitState& fit);

// One iteration; updates X, Fcalc, SSQ, Initialised, Flag and DampedSolves.
void MarquardtIteration(FitWork& work, FitState& fit, ModelFunction model);

// The Jacobian at X into work.jacobian (one row of NP values per parameter, with respect to the
// optimiser's coordinates: log10 for a log-scaled parameter; zero for a fixed one), then the model
// once more at X, so that what the model leaves behind matches X again. Neither is counted as a
// trial. Needs a fit that has made its first call.
void JacobianAtX(FitWork& work, FitState& fit, ModelFunction model);

// The trial point X + S (S in the optimiser's coordinates: log10 for a log-scaled parameter), each
// step stopped on the bound it would cross (S is cut to match), evaluated into Fcalc; returns the
// sum of squared residuals and counts the evaluation.
double EvaluateTrial(FitWork& work, FitState& fit, ModelFunction model);

// Population variance of the observed values about their mean; a Failure for no values.
double PopulationVariance(std::span<const double> values);

}  // namespace kivex::fitting
