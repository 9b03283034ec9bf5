#pragma once
// A simulation compared with a measurement on the measurement's own potentials. A recorded axis
// rarely falls on E start + k E step: an instrument records the potential it reached, with its
// jitter, and may step by other amounts. So each trial's simulated curve is interpolated onto the
// measured potentials; the measurement itself is never resampled. Its points stay as measured, so
// the residuals are differences to real data, and their sum, their pattern and the statistics
// built on them keep the meaning they have for independent measured points.
//
//   MeasuredComparison comparison(curves, observed, range);  // once per fit: axis and sweeps
//   simulation::RunSimulation(app, curves, false);           // a trial, on its programme's axis
//   comparison.PutOnMeasuredAxis(app, curves);               // the trial on the measured axis
//   comparison.Gather(curves, values);                        // at the fitted points
//
// When the simulated axis lies on the measured one (as many points, each within a quarter of
// E step) nothing is interpolated: the curves stay exactly as simulated. Otherwise measured sweep
// s (model::FindSweeps) is compared with simulated sweep s (sweepPointCount points each, as the
// programme runs them), each measured point taking the linear interpolation over that sweep at
// its potential (numerics::InterpolateLinear, located once for every column). A fitted point more
// than half a simulated step beyond its sweep's potentials, or in a sweep the simulation does not
// run, raises MeasurementNotCovered: no value would stand for it. A point outside the fit range
// needs no coverage; the plot shows it beside the simulated value at the nearest simulated
// potential (of the last simulated sweep when its own has none).
//
// Afterwards the curves lie on the measured axis again: x the measured potentials with the
// measurement's axis number and shape (so the measured curve's record stays valid), the
// simulation held on it, and the per-reaction currents and surface concentrations interpolated
// the same way, so that a separation's components lie on the measured axis too.

#include <span>
#include <vector>

#include "fitting/fit_range.h"
#include "model/app_state.h"
#include "model/curve_set.h"
#include "model/failure.h"
#include "model/sweeps.h"
#include "numerics/interpolation.h"

namespace kivex::fitting {

// A fitted measured point that no simulated value stands for. The description is a whole message
// that says what to change; it is not a computation's failure to try other values for.
class MeasurementNotCovered : public model::Failure {
 public:
  using model::Failure::Failure;
};

class MeasuredComparison {
 public:
  // The measurement as the fit finds it: the potentials x(1..observed.size()) and the axis's
  // number and shape that `curves` holds, the measured values `observed`, and the points to fit
  // (every point for an empty range). The work storage of the interpolation is allocated here.
  // More than kMaxPoints measured values raise the index failure.
  MeasuredComparison(const model::CurveSet& curves, std::span<const double> observed,
                     FitRange range = {});

  // After a simulation: leaves the curves as they are when the simulated axis lies on the measured
  // one (or there is no measured point) and returns false; otherwise puts them onto the measured
  // axis (see above) and returns true. Reads app.Estep, the simulation's step, app.totalColumn and
  // app.speciesCount. Raises MeasurementNotCovered before anything is written.
  bool PutOnMeasuredAxis(const model::AppState& app, model::CurveSet& curves);

  // The current curve at the fitted points, into `values` (one per fitted point).
  void Gather(const model::CurveSet& curves, std::span<double> values) const;

  const model::MeasuredAxis& axis() const { return axis_; }
  const FitRange& range() const { return range_; }
  int measuredPoints() const { return static_cast<int>(axis_.x.size()); }
  int fittedPoints() const { return static_cast<int>(fitted_.size()); }
  // The measured values of the fitted points, in order.
  std::span<const double> observed() const { return observed_; }

 private:
  // As many points as measured, each within a quarter of `step` of its measured potential.
  bool LiesOnMeasuredAxis(const model::CurveSet& curves, double step) const;
  // Raises MeasurementNotCovered for the first fitted point without a simulated value.
  void RequireCoverage(double step, int simulated, int sweepPoints, int sweepCount) const;
  // Where each measured point lies on its simulated sweep (found once a trial for every column).
  void Locate(int simulatedPoints, int sweepPoints, int sweepCount);
  // Column[1..M] of the simulation becomes column[1..N] on the measured axis.
  void Interpolate(double* column, int simulatedPoints);

  model::MeasuredAxis axis_;
  FitRange range_;
  std::vector<model::Sweep> sweeps_;  // of the measured axis
  std::vector<int> sweepOf_;          // each measured point's sweep, 0-based
  std::vector<int> fitted_;           // the fitted points, 0-based
  std::vector<double> observed_;      // their measured values
  // Work storage, allocated once: the simulated axis and the column being interpolated
  // (kMaxPoints each), and each measured point's place on its simulated sweep.
  std::vector<double> simulatedX_;
  std::vector<double> simulatedY_;
  std::vector<numerics::LinearPosition> position_;
  std::vector<std::size_t> sweepStart_;
  std::vector<std::size_t> sweepLength_;
};

}  // namespace kivex::fitting
