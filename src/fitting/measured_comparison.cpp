#include "fitting/measured_comparison.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "model/fixed_table.h"
#include "model/number_format.h"
#include "model/number_text.h"
#include "numerics/interpolation.h"

namespace kivex::fitting {

namespace {

// A potential to 15 significant digits, as the fit's messages write numbers.
std::string PotentialText(double value) {
  return model::ShortestText(model::ReadNumber(model::GeneralNumber(value)));
}

constexpr const char* kWhatToDo =
    "Let the Instrument dialog's potentials cover the measurement, or leave the point out with the "
    "fit range of the Chemicals dialog.";

}  // namespace

MeasuredComparison::MeasuredComparison(const model::CurveSet& curves,
                                       std::span<const double> observed, FitRange range)
    : axis_(model::KeepMeasuredAxis(curves)), range_(std::move(range)) {
  const std::size_t points = observed.size();
  if (points > static_cast<std::size_t>(model::kMaxPoints)) model::ThrowIndexFailure();
  axis_.x.assign(curves.x.data() + 1, curves.x.data() + 1 + points);
  sweeps_ = model::FindSweeps(axis_.x);
  sweepOf_.assign(points, 0);
  for (std::size_t s = 0; s < sweeps_.size(); ++s) {
    const model::Sweep& sweep = sweeps_[s];
    std::fill(sweepOf_.begin() + sweep.first, sweepOf_.begin() + sweep.last + 1,
              static_cast<int>(s));
  }
  for (std::size_t i = 0; i < points; ++i) {
    if (!InFitRange(range_, axis_.x[i])) continue;
    fitted_.push_back(static_cast<int>(i));
    observed_.push_back(observed[i]);
  }
  simulatedX_.resize(static_cast<std::size_t>(model::kMaxPoints));
  simulatedY_.resize(static_cast<std::size_t>(model::kMaxPoints));
  position_.resize(points);
  sweepStart_.resize(points);
  sweepLength_.resize(points);
}

void MeasuredComparison::RequireCoverage(double step, int simulated, int sweepPoints,
                                         int sweepCount) const {
  // The message is written only for the point that fails: a trial checks every fitted point.
  auto point = [this](int i, int s) {
    return "Point " + std::to_string(i + 1) + " of the measured curve (" +
           PotentialText(axis_.x[static_cast<std::size_t>(i)]) + " V, sweep " +
           std::to_string(s + 1) + ")";
  };
  const double margin = 0.5 * step;
  for (int i : fitted_) {
    const int s = sweepOf_[static_cast<std::size_t>(i)];
    if (s >= sweepCount) {
      throw MeasurementNotCovered(
          point(i, s) + " has no simulated sweep to be compared with: the " + "simulation runs " +
          std::to_string(sweepCount) + " sweep" + (sweepCount == 1 ? "" : "s") + ". " + kWhatToDo);
    }
    const int first = s * sweepPoints;
    const int last = std::min(first + sweepPoints, simulated) - 1;
    const double start = simulatedX_[static_cast<std::size_t>(first)];
    const double end = simulatedX_[static_cast<std::size_t>(last)];
    const double E = axis_.x[static_cast<std::size_t>(i)];
    if (!(E >= std::min(start, end) - margin && E <= std::max(start, end) + margin)) {
      throw MeasurementNotCovered(point(i, s) + " lies beyond the simulated sweep, which runs " +
                                  "from " + PotentialText(start) + " to " + PotentialText(end) +
                                  " V. " + kWhatToDo);
    }
  }
}

bool MeasuredComparison::LiesOnMeasuredAxis(const model::CurveSet& curves, double step) const {
  if (curves.pointCount != measuredPoints()) return false;
  const double tolerance = 0.25 * step;
  for (std::size_t i = 0; i < axis_.x.size(); ++i) {
    if (!(std::fabs(curves.x(static_cast<int>(i) + 1) - axis_.x[i]) <= tolerance)) return false;
  }
  return true;
}

void MeasuredComparison::Locate(int simulatedPoints, int sweepPoints, int sweepCount) {
  for (std::size_t i = 0; i < axis_.x.size(); ++i) {
    const int first = std::min(sweepOf_[i], sweepCount - 1) * sweepPoints;
    const auto count = static_cast<std::size_t>(std::min(sweepPoints, simulatedPoints - first));
    sweepStart_[i] = static_cast<std::size_t>(first);
    sweepLength_[i] = count;
    position_[i] = numerics::LocateLinear(
        std::span<const double>(simulatedX_.data() + first, count), axis_.x[i]);
  }
}

void MeasuredComparison::Interpolate(double* column, int simulatedPoints) {
  std::copy(column + 1, column + 1 + simulatedPoints, simulatedY_.begin());
  for (std::size_t i = 0; i < axis_.x.size(); ++i) {
    const std::span<const double> sweep(simulatedY_.data() + sweepStart_[i], sweepLength_[i]);
    column[i + 1] = numerics::InterpolateAt(sweep, position_[i]);
  }
}

bool MeasuredComparison::PutOnMeasuredAxis(const model::AppState& app, model::CurveSet& curves) {
  const int measured = measuredPoints();
  // Without measured points there is nothing to put the simulation onto.
  if (measured == 0 || LiesOnMeasuredAxis(curves, app.Estep)) return false;

  model::ShowHeldCurves(curves);  // the simulated current itself, not a view of it
  const int simulated = curves.pointCount;
  if (simulated < 1) model::ThrowFailure(model::kSubscriptOutOfRange);
  // The programme's sweeps: sweepPointCount points each (one sweep, a cycle or two cycles).
  int sweepPoints = curves.sweepPointCount;
  if (sweepPoints < 1 || sweepPoints > simulated) sweepPoints = simulated;
  const int sweepCount = (simulated + sweepPoints - 1) / sweepPoints;
  std::copy(curves.x.data() + 1, curves.x.data() + 1 + simulated, simulatedX_.begin());
  RequireCoverage(app.Estep, simulated, sweepPoints, sweepCount);
  Locate(simulated, sweepPoints, sweepCount);

  const int slot = curves.currentCurve;
  const int species = curves.record(slot).species;
  Interpolate(curves.y.Column(slot), simulated);
  const int columns = std::clamp<int>(app.totalColumn, 0, decltype(curves.resultTable)::kLastCol);
  for (int k = 1; k <= columns; ++k) {
    Interpolate(curves.resultTable.Column(k), simulated);
  }
  for (int s = 1; s <= std::clamp<int>(app.speciesCount, 0, model::kMaxSpecies); ++s) {
    Interpolate(curves.concentrationTable.Column(s), simulated);
  }
  for (int s = 1; s <= species; ++s) {
    Interpolate(curves.heldConcentration(slot).Column(s), simulated);
  }
  model::PutMeasuredAxis(curves, axis_);
  model::HoldCurve(curves, slot, model::CurveOrigin::Simulation, species);
  curves.record(slot).settings = model::RunSettingsOf(app);
  return true;
}

void MeasuredComparison::Gather(const model::CurveSet& curves, std::span<double> values) const {
  const double* curve = curves.y.Column(curves.currentCurve);
  for (std::size_t k = 0; k < fitted_.size(); ++k) {
    values[k] = curve[static_cast<std::size_t>(fitted_[k]) + 1];
  }
}

}  // namespace kivex::fitting
