#include "ui/fit_watch.h"

#include <cmath>

namespace kivex::ui {

void FitWatch::Evaluated(std::span<const double> parameters, std::span<const double> simulated,
                         std::span<const double> observed) {
  double sum = 0;
  for (std::size_t i = 0; i < observed.size(); ++i) {
    const double r = simulated[i] - observed[i];
    sum += r * r;
  }
  if (!std::isfinite(sum) || (hasBest_ && sum >= bestLeastSquare_)) return;
  best_.assign(parameters.begin(), parameters.end());  // storage kept from trial to trial
  bestLeastSquare_ = sum;
  hasBest_ = true;
}

}  // namespace kivex::ui
