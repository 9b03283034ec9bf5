#pragma once
// What a running fit has found so far, so that a fit the user stops ends on the best parameters
// it has simulated rather than on whichever trial it was in. Every simulation of the fit reports
// its trial here; the watch keeps the trial with the smallest least square (the optimiser's own
// sum: squared differences to the measured points), and counts the finished iterations.
//
//   FitWatch watch;
//   watch.Evaluated(trialParameters, simulatedCurve, observed);   // after each simulation
//   if (watch.HasBest()) ... watch.best(), watch.bestLeastSquare()

#include <span>
#include <vector>

#include "model/failure.h"

namespace kivex::ui {

// Raised at the start of a fit's simulation once the user has asked the fit to stop. It is not a
// failure: the command that runs the fit catches it and ends on the best trial so far.
struct FitCancelled : model::Cancelled {};

class FitWatch {
 public:
  // One simulated trial: its parameters in the order of the fitted slots and its curve at the
  // measured points. A trial whose sum is not finite is never the best.
  void Evaluated(std::span<const double> parameters, std::span<const double> simulated,
                 std::span<const double> observed);
  // A "Least square" line was written: one more iteration has finished.
  void IterationDone() { ++finished_; }

  bool HasBest() const { return hasBest_; }
  std::span<const double> best() const { return best_; }
  double bestLeastSquare() const { return bestLeastSquare_; }
  // The iteration under way, from 1.
  int iteration() const { return finished_ + 1; }
  int finishedIterations() const { return finished_; }

 private:
  std::vector<double> best_;
  double bestLeastSquare_ = 0;
  bool hasBest_ = false;
  int finished_ = 0;
};

}  // namespace kivex::ui
