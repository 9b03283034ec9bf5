#pragma once
// A curve over a recorded potential axis whose spacing varies, put onto an even grid and back, for
// the kernels that take their points as evenly spaced in time (the semi-derivative, the running
// integral, a rectangle sum). A measured axis may jitter around its grid or hold steps of more
// than one size; handing such a curve to a kernel as if every point were one step apart distorts
// it wherever the step differs from the one the kernel assumes.
//
// Time runs with the potential swept: within a sweep (model::FindSweeps) a point lies as far along
// as its potential has moved from the sweep's start in the sweep's direction, and each sweep
// starts where the one before it ended, plus the step between them. The grid is even in that
// distance, from the first point to one step past the last, so every sweep is resampled in time
// order and a transform that depends on the history sees the history as it ran.
//
//   const StepSpread spread = SpreadOfSteps(x);            // x: the potentials, 0-based
//   if (!spread.Even()) {
//     const EvenResampling even(x, spread.typical);
//     std::vector<double> g(even.size() + 1);              // slot 0, as the kernels index
//     even.ToGrid(y, std::span(g).subspan(1));
//     SemiIntegrate(g, even.size(), spread.typical);       // on the grid, in time order
//     even.FromGrid(std::span(g).subspan(1), y);           // back onto the curve's own points
//   }

#include <span>
#include <vector>

#include "model/curve_set.h"

namespace kivex::numerics {

// Steps whose sizes differ by no more than this share of the typical step are one step: the
// potentials a run computes, or a file of them written to 15 digits, differ far less.
inline constexpr double kEvenSpread = 1e-6;

// The sizes of the steps |x[i+1] - x[i]| of an axis. A repeated potential (the vertex a cyclic
// run writes twice, perhaps differing in the last bit) is no step: steps within kEvenSpread of
// zero, relative to the typical one, are left out.
struct StepSpread {
  double least = 0;
  double most = 0;
  double typical = 0;  // their median, as model::MedianStep

  // Also true for an axis with no nonzero step, which no resampling could help.
  bool Even() const { return most - least <= kEvenSpread * typical; }
};

StepSpread SpreadOfSteps(std::span<const double> x);

// How far along the sweeps each point of `x` lies (see above), 0 at the first point, in the unit
// of x. Nondecreasing on a clean axis; a point that jitters back lies a little behind the one
// before it.
std::vector<double> SweptDistance(std::span<const double> x);

// The grid is refused beyond this many points (an axis with a few large steps among many small
// ones): the semi-derivative costs the square of the points.
inline constexpr int kMaxGridPoints = 4 * model::kMaxPoints;

class EvenResampling {
 public:
  // The grid of spacing `step` (> 0) over the swept distance of `x`; empty (size() == 0) when it
  // would need more than kMaxGridPoints points or the step is not positive.
  EvenResampling(std::span<const double> x, double step);

  int size() const { return static_cast<int>(grid_.size()); }
  double step() const { return step_; }

  // `y` (one value per point of x) linearly interpolated at every grid point, into `onGrid`
  // (size() values). The grid point past the last point continues the line through the last two,
  // so that a slope there is the curve's own.
  void ToGrid(std::span<const double> y, std::span<double> onGrid) const;

  // Values on the grid (size() of them) interpolated back at every point of x, into `y`.
  void FromGrid(std::span<const double> onGrid, std::span<double> y) const;

  // `y` on an even grid of the same step from point `first` to point `last` (0-based), stopping
  // at or before `last`: the terms of a rectangle sum over those points.
  std::vector<double> Between(std::span<const double> y, int first, int last) const;

 private:
  std::vector<double> SortedValues(std::span<const double> y) const;

  double step_ = 0;
  std::vector<double> distance_;        // of each point, in recorded order
  std::vector<int> order_;              // the points by distance
  std::vector<double> sortedDistance_;  // distance_ in that order
  std::vector<double> grid_;
};

}  // namespace kivex::numerics
