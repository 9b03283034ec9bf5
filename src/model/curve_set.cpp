#include "model/curve_set.h"

#include <algorithm>
#include <cmath>

#include "model/sweeps.h"

namespace kivex::model {

void SelectCurveSlot(CurveSet& curves, bool fitting, bool overlapTicked) {
  Count slot = 1;
  if (fitting) {
    slot = 2;
  } else if (overlapTicked && curves.curveCount < kMaxCurves) {
    slot = static_cast<Count>(curves.curveCount + 1);
  }
  curves.curveCount = slot;
  curves.storedCurveCount = slot;
  curves.currentCurve = slot;
}

bool EnterAxis(CurveSet& curves, bool sameAxis) {
  if (!sameAxis) ++curves.axis;
  return sameAxis;
}

void ReadAxisShape(CurveSet& curves) {
  const int n = curves.pointCount;
  const std::span<const double> x(curves.x.data() + 1, static_cast<std::size_t>(std::max(n, 0)));
  curves.axisStep = n >= 2 ? std::fabs(curves.x(2) - curves.x(1)) : 0.0;
  // An evenly spaced axis keeps the step between its first two points, as a run writes it; a
  // measured one whose spacing varies is stepped by its median spacing, not by whatever its first
  // two points happen to be apart.
  // A repeated potential (the vertex of a cycle) is no step; steps that differ by a millionth
  // are one.
  constexpr double kSameStep = 1e-6;
  for (int i = 3; i <= n; ++i) {
    const double step = std::fabs(curves.x(i) - curves.x(i - 1));
    if (step <= kSameStep * curves.axisStep) continue;
    if (!(std::fabs(step - curves.axisStep) <= kSameStep * curves.axisStep)) {
      // To 12 digits: the differences of recorded potentials carry binary noise in the last ones
      // (0.00198999999999999 for 1.99 mV).
      const double median = MedianStep(x);
      const double scale = median > 0 ? std::pow(10.0, 11 - std::floor(std::log10(median))) : 1;
      curves.axisStep = median > 0 ? std::round(median * scale) / scale : median;
      break;
    }
  }
  const std::vector<Sweep> sweeps = FindSweeps(x);
  const std::size_t reversals = sweeps.empty() ? 0 : sweeps.size() - 1;
  // A cycle returns to its start once; two cycles turn three times (out, back, out, back).
  curves.axisCycles = reversals == 0 ? 0.5 : reversals == 1 ? 1.0 : reversals == 3 ? 2.0 : 0.0;
  // A run's first sweep ends at the first of its repeated vertex points (the return starts on the
  // second), so an exported and re-imported cycle turns where the run turned: a turn one point
  // late moves the peak search and the peak area.
  int turn = reversals == 0 ? n : sweeps.front().last + 1;
  if (reversals > 0) {
    while (turn > 1 &&
           std::fabs(curves.x(turn) - curves.x(turn - 1)) <= kSameStep * curves.axisStep) {
      --turn;
    }
  }
  curves.sweepPointCount = static_cast<Count>(turn);
}

void HoldCurve(CurveSet& curves, int slot, CurveOrigin origin, int species) {
  curves.record(slot) = {origin, curves.axis, curves.pointCount, static_cast<Count>(species)};
}

std::array<double, 4> RunSettingsOf(const AppState& app) {
  return {app.scanRate, app.chargeCount >= 1 ? app.ks(1) : 0.0,
          app.chemCount + app.chem2Count >= 1 ? app.kf(1) : 0.0, app.Ru};
}

namespace {

bool LiesOnAxis(const CurveSet& curves, int slot) {
  if (slot < 1 || slot > kMaxCurves) return false;
  const HeldCurve& held = curves.record(slot);
  return held.origin != CurveOrigin::None && held.axis == curves.axis &&
         held.points == curves.pointCount;
}

}  // namespace

bool ShownCurvesBelongToAxis(const CurveSet& curves) {
  if (curves.curveCount > 0 && (curves.firstPoint != 1 || curves.lastPoint != curves.pointCount)) {
    return false;
  }
  if (curves.shown == OutputQuantity::Concentration) {
    const int viewed = curves.heldCurrentCurve;
    return LiesOnAxis(curves, viewed) && curves.record(viewed).species == curves.curveCount;
  }
  if (curves.shown != OutputQuantity::Current && !LiesOnAxis(curves, curves.heldCurrentCurve)) {
    return false;
  }
  for (int k = 1; k <= curves.curveCount; ++k) {
    if (!LiesOnAxis(curves, k)) return false;
  }
  return true;
}

void ShowHeldCurves(CurveSet& curves) {
  if (curves.shown == OutputQuantity::Current) return;
  for (int k = 1; k <= curves.storedCurveCount; ++k) {
    const double* from = curves.held.Column(k);
    std::copy(from + 1, from + 1 + curves.heldPoints, curves.y.Column(k) + 1);
  }
  curves.curveCount = curves.storedCurveCount;
  curves.currentCurve = curves.heldCurrentCurve;
  curves.shown = OutputQuantity::Current;
}

void BeginView(CurveSet& curves, OutputQuantity quantity) {
  for (int k = 1; k <= curves.storedCurveCount; ++k) {
    const double* from = curves.y.Column(k);
    std::copy(from + 1, from + 1 + curves.pointCount, curves.held.Column(k) + 1);
  }
  curves.heldPoints = curves.pointCount;
  curves.heldCurrentCurve = curves.currentCurve;
  curves.shown = quantity;
}

MeasuredAxis KeepMeasuredAxis(const CurveSet& curves) {
  MeasuredAxis measured;
  measured.x.assign(curves.x.data() + 1, curves.x.data() + 1 + curves.pointCount);
  measured.sweepPointCount = curves.sweepPointCount;
  measured.axis = curves.axis;
  measured.axisStep = curves.axisStep;
  measured.axisCycles = curves.axisCycles;
  measured.axisTechnique = curves.axisTechnique;
  return measured;
}

void PutMeasuredAxis(CurveSet& curves, const MeasuredAxis& measured) {
  std::copy(measured.x.begin(), measured.x.end(), curves.x.data() + 1);
  curves.pointCount = static_cast<Count>(measured.x.size());
  curves.firstPoint = 1;
  curves.lastPoint = curves.pointCount;
  curves.sweepPointCount = measured.sweepPointCount;
  curves.axis = measured.axis;
  curves.axisStep = measured.axisStep;
  curves.axisCycles = measured.axisCycles;
  curves.axisTechnique = measured.axisTechnique;
}

void ShowMeasurementAlone(CurveSet& curves, const MeasuredAxis& measured) {
  ShowHeldCurves(curves);
  PutMeasuredAxis(curves, measured);
  const Count shown = curves.record(1).origin == CurveOrigin::None ? 0 : 1;
  curves.curveCount = shown;
  curves.storedCurveCount = shown;
  curves.currentCurve = shown;
  curves.resultCurve = 0;  // the fit's results belong to no curve shown
}

}  // namespace kivex::model
