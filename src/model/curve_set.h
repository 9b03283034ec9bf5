#pragma once
// The working curves: one potential axis, up to five displayed curves over it, the per-point
// results of the last simulation and the counters saying what is in use. Fixed capacity, 1-based,
// never resized; stale values beyond the counts stay and are simply not used.

#include "model/count.h"
#include "model/fixed_table.h"
#include "model/plot_settings.h"

namespace kivex::model {

inline constexpr int kMaxPoints = 4000;
inline constexpr int kCatalyticColumn = 8;

struct CurveSet {
  Table1<double, kMaxPoints> x;                      // potential of point i, V
  Table2<double, kMaxPoints, 6> y;                   // curves 1..5
  Table2<double, kMaxPoints, 8> resultTable;         // per-reaction currents, total, catalytic term
  Table2<double, kMaxPoints, 7> concentrationTable;  // surface concentration of species 1..6

  Count pointCount = 0;
  Count sweepPointCount = 0;
  Count firstPoint = 0;
  Count lastPoint = 0;
  Count curveCount = 0;
  Count storedCurveCount = 0;
  Count currentCurve = 0;
  // The curve holding the last simulation's total, whose results the output quantity may
  // rewrite; 0 once an import has replaced the axis, so measured data are never overwritten.
  Count resultCurve = 0;
};

// Chooses the curve that receives the next simulation or import: curve 2 while a fit runs (curve
// 1 keeps the measured data); the next slot when overlap is ticked and fewer than five curves are
// held; otherwise curve 1 alone. After five overlapped curves the next one starts again at 1.
void SelectCurveSlot(CurveSet& curves, bool fitting, bool overlapTicked);

}  // namespace kivex::model
