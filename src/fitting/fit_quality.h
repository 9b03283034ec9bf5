#pragma once
// How far a finished fit can be trusted: the pattern of its residuals and the uncertainty of each
// fitted parameter.
//
//   const ResidualPattern pattern = Residuals(problem, fit);
//   if (pattern.Systematic()) ...                 // the model misses the data, not the noise
//   JacobianAtX(work, problem, fit, model);        // derivatives at the solution
//   const Uncertainty u = EstimateUncertainty(work, problem, fit);
//
// Residuals of a fit that matches the data up to their noise are independent from point to
// point; a curve that misses the data leaves long runs of one sign instead, which the lag-1
// correlation of the residuals measures (near 0 for noise, near 1 for a smooth misfit) whatever
// the noise level.
//
// Uncertainty is the linearised one: the covariance s^2 (J'J)^-1 of the parameters in the
// optimiser's coordinates, with s^2 = SSQ / (NP - n), the residual variance of the fit itself
// (no noise level need be known), the SSQ never taken below the sum the fit calls exact
// (Options::exactnessFloor x the data's variance), which it cannot resolve further. A log-scaled
// parameter's interval is symmetric in log10 and so asymmetric in the value. Intervals are kept
// within the bounds.
//
// That covariance holds for independent residuals. Residuals that run together (a measured curve
// the model misses in its details, noise filtered by the instrument) carry less information than
// their number says: for residuals correlated from point to point as r, the lag-1 correlation,
// the variance of a parameter that depends on the curve's broad shape grows by (1 + r) / (1 - r)
// and the data hold about N (1 - r) / (1 + r) independent points. So when r exceeds both
// kCorrelatedResiduals and kCorrelatedScore / sqrt(N) (below that r is within its own noise, and
// fits of white noise keep their numbers exactly), every standard error is widened by
// sqrt((1 + r) / (1 - r)), r capped at kLargestResidualCorrelation, and the intervals take
// Student's t with those independent points, less the parameters, as degrees of freedom.

#include <cmath>
#include <vector>

#include "fitting/marquardt.h"

namespace kivex::fitting {

// A misfit is called systematic when the residuals' lag-1 correlation exceeds both of these:
// white noise on N points gives 0 +- 1/sqrt(N), and 4/sqrt(N) is reached by chance once in 30000
// fits; 0.5 keeps a residual that is mostly noise from counting. (The program's own noise, on 10
// to 4000 points, stays below 0.2 from 100 points on and below 0.51 everywhere; fits of a
// quasi-reversible cycle held at the wrong ks with 0.25 % noise give 0.8 to 0.996.)
inline constexpr double kSystematicCorrelation = 0.5;
inline constexpr double kSystematicScore = 4.0;  // lag-1 correlation x sqrt(N)
// ...and the residuals are not negligible: their root mean square above this share of the data's
// standard deviation (a fit of exact data that differs by the rounding of a typed value is no
// misfit).
inline constexpr double kNegligibleMisfit = 1e-3;

// When the residuals' lag-1 correlation widens the standard errors (see above), unless the misfit
// is negligible.
inline constexpr double kCorrelatedResiduals = 0.2;
inline constexpr double kCorrelatedScore = 3.0;  // lag-1 correlation x sqrt(N)
inline constexpr double kLargestResidualCorrelation = 0.98;

struct ResidualPattern {
  double lag1 = 0;    // lag-1 correlation of the residuals, -1..1
  double misfit = 0;  // root mean square residual / standard deviation of the data
  int points = 0;

  bool Systematic() const {
    return lag1 > kSystematicCorrelation && lag1 * std::sqrt(points) > kSystematicScore &&
           misfit > kNegligibleMisfit;
  }
};

// Of the residuals Yobs - Fcalc at the fit's current point.
ResidualPattern Residuals(const Problem& problem, const Summary& fit);

struct ParameterUncertainty {
  bool determined = false;   // false: the data do not fix it (no response, or fully correlated)
  double standardError = 0;  // in the parameter's unit (for a log-scaled one, at its value)
  double low = 0;            // the 95 % interval, within the bounds
  double high = 0;
};

struct Uncertainty {
  std::vector<ParameterUncertainty> parameters;  // one per fitted parameter
  double largestCorrelation = 0;  // of two determined parameters, signed; 0 for fewer than two
  int first = -1;                 // the two parameters (0-based), -1 for none
  int second = -1;

  // For correlated residuals (see above): the factor every standard error was widened by, the
  // lag-1 correlation it follows (capped) and the independent points that leaves of the `points`
  // fitted; 1, 0 and `points` when the residuals count as independent.
  double widening = 1;
  double lag1 = 0;
  double independentPoints = 0;
  int points = 0;
};

// From the Jacobian in `work` (JacobianAtX) and the fit's sum of squares.
Uncertainty EstimateUncertainty(const FitWork& work, const Problem& problem, const Summary& fit);

// Two-sided 95 % quantile of Student's t with `freedom` degrees of freedom (>= 1).
double StudentT95(int freedom);

}  // namespace kivex::fitting
