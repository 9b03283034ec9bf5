#pragma once
// The sweeps of a recorded potential axis: the runs in which the potential moves one way. A
// simulated staircase turns exactly at its vertex; a measured axis may jitter around its grid, or
// record the potential the electrode reached rather than the one applied, so a turn counts only
// once the potential has come back from its extreme by more than the axis's own noise and one and
// a half steps.
//
//   FindSweeps({0.3, 0.2, 0.1, 0.0, 0.0, 0.1, 0.2})   // {{0, 4, -1}, {5, 6, +1}}
//
// A turn ends its sweep at the last point of the extreme (a repeated vertex potential belongs to
// the sweep that reached it), and the next sweep starts at the point after it, so the sweeps
// partition the axis.

#include <span>
#include <vector>

namespace kivex::model {

struct Sweep {
  int first = 0;      // 0-based, inclusive
  int last = 0;       // 0-based, inclusive
  int direction = 0;  // +1 towards positive potentials, -1 towards negative, 0 not yet known

  int points() const { return last - first + 1; }
};

// The typical spacing of an axis: the median of the nonzero |x(i+1) - x(i)|, 0 when there is none.
double MedianStep(std::span<const double> x);

// How far the potential must come back from an extreme before a turn counts (see above).
double TurnThreshold(std::span<const double> x);

// The sweeps of `x`, in order; none for an empty axis, one for an axis that never turns.
std::vector<Sweep> FindSweeps(std::span<const double> x);

}  // namespace kivex::model
