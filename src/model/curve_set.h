#pragma once
// The working curves: one potential axis, up to five held curves over it, the per-point results
// of the last simulation and the counters saying what is in use. Fixed capacity, 1-based, never
// resized; stale values beyond the counts stay and are simply not used.
//
// The held curves are what simulations and imports put into the slots: currents and measured
// values. The curves shown (`y`, `curveCount`, `currentCurve`) are those held curves, or, while
// another output quantity is shown, a view of one simulation derived from what it computed
// (its surface concentrations); the held curves then wait in `held` until the current brings them
// back exactly. Every held curve records where it came from and the axis its points lie on, so no
// curve is ever shown over potentials that are not its own.
//
//   simulation::RunSimulation(app, curves, false);         // curve 1 holds a simulation
//   simulation::ApplyOutputQuantity(app, curves, OutputQuantity::Concentration, distance);
//                                         // y shows its surface concentrations (BeginView)
//   ShowHeldCurves(curves);               // y shows the current again, exactly

#include <array>
#include <vector>

#include "model/app_state.h"
#include "model/count.h"
#include "model/fixed_table.h"
#include "model/plot_settings.h"

namespace kivex::model {

inline constexpr int kMaxPoints = 4000;
inline constexpr int kCatalyticColumn = 8;
// Curves that can be shown at once: five held curves, or the concentrations of six species.
inline constexpr int kMaxShownCurves = 6;

// What a curve slot holds.
enum class CurveOrigin : unsigned char { None, Simulation, Measurement };

// The quantity the shown curves stand for.
enum class OutputQuantity : unsigned char { Current, Resistance, Conductance, Concentration };

// One held curve: where its values came from and the axis they lie on.
struct HeldCurve {
  CurveOrigin origin = CurveOrigin::None;
  int axis = 0;       // the CurveSet::axis it was written on
  Count points = 0;   // the points of its run or import
  Count species = 0;  // species whose surface concentrations its run computed; 0 for none
  // The charge reaction whose current it holds after a peak separation; 0 for the whole current.
  Count component = 0;
  // What a run was given, by which overlapped runs are told apart in the key ("v = 0.1 V/s"),
  // in the order of RunSettingNames; all 0 for a measurement.
  std::array<double, 4> settings{};
};

// The settings a HeldCurve keeps, as the key names them: scan rate, ks of the first couple, kf of
// the first chemical step and Ru.
struct RunSetting {
  const char* name;
  const char* unit;
};
inline constexpr RunSetting kRunSettings[4] = {
    {"v", "V/s"}, {"ks", "cm/s"}, {"kf", "/s"}, {"Ru", "Ohm"}};

// Those settings of the experiment a run was given.
std::array<double, 4> RunSettingsOf(const AppState& app);

struct CurveSet {
  Table1<double, kMaxPoints> x;                      // potential of point i, V
  Table2<double, kMaxPoints, kMaxShownCurves> y;     // the curves shown
  Table2<double, kMaxPoints, 8> resultTable;         // per-reaction currents, total, catalytic term
  Table2<double, kMaxPoints, 7> concentrationTable;  // surface concentration of species 1..6

  Count pointCount = 0;
  Count sweepPointCount = 0;  // points of one sweep: the reversal point of a cycle
  Count firstPoint = 0;
  Count lastPoint = 0;
  Count curveCount = 0;
  Count storedCurveCount = 0;
  Count currentCurve = 0;
  // The curve holding the last simulation's total while its per-reaction currents in
  // `resultTable` still lie on the axis; 0 once an import or a refused fit has replaced them.
  Count resultCurve = 0;

  // The axis x(1..pointCount): which run or import wrote it, and its shape, which the analyses
  // of its curves use rather than whatever the dialogs hold since.
  int axis = 0;             // a new number whenever a run or import writes other potentials
  double axisStep = 0;      // V between neighbouring points
  double axisCycles = 0;    // 0.5 one sweep, 1 one cycle, 2 two cycles, 0 another shape
  Count axisTechnique = 0;  // the technique of the run, or the one chosen for an import

  // The held curves 1..storedCurveCount.
  Table1<HeldCurve, kMaxCurves> record;
  Table1<Table2<double, kMaxPoints, kMaxSpecies>, kMaxCurves> heldConcentration;
  OutputQuantity shown = OutputQuantity::Current;
  Table2<double, kMaxPoints, kMaxCurves> held;  // the held curves while a view is shown,
  Count heldPoints = 0;                         // over points 1..heldPoints,
  Count heldCurrentCurve = 0;                   // with this current curve
};

// Chooses the curve that receives the next simulation or import: curve 2 while a fit runs (curve
// 1 keeps the measured data); the next slot when overlap is ticked and fewer than five curves are
// held; otherwise curve 1 alone. After five overlapped curves the next one starts again at 1.
void SelectCurveSlot(CurveSet& curves, bool fitting, bool overlapTicked);

// Two axes are one when they have as many points and each potential lies within a quarter of
// `step` of the other's: a fit compares a measurement with a simulation on that condition, and
// overlapped curves are drawn together on it. `potential(i)` gives the new axis, i = 1..count.
template <typename Potential>
bool IsSameAxis(const CurveSet& curves, int count, double step, Potential potential) {
  if (curves.axis == 0 || count != curves.pointCount) return false;
  const double tolerance = 0.25 * step;
  for (int i = 1; i <= count; ++i) {
    const double difference = potential(i) - curves.x(i);
    if (!(difference <= tolerance && -difference <= tolerance)) return false;
  }
  return true;
}

// Before a run or import writes its axis: a new axis number unless the new potentials are those
// of the curves held (IsSameAxis). Returns whether the held curves still lie on the axis.
bool EnterAxis(CurveSet& curves, bool sameAxis);

// The shape of an axis read from its potentials, for an imported curve: the step (between the
// first two points of an evenly spaced axis, else the median spacing), and one sweep, one cycle
// or two cycles by the number of turns (FindSweeps, sweeps.h: repeated potentials and jitter do
// not count). Sets axisStep, axisCycles and sweepPointCount (the last point of the first sweep,
// the first of a repeated vertex as a run counts it; pointCount for one sweep).
void ReadAxisShape(CurveSet& curves);

// Records what slot `slot` now holds: a curve of `origin` on the present axis.
void HoldCurve(CurveSet& curves, int slot, CurveOrigin origin, int species);

// Whether every shown curve lies on the axis of its own run or import: the held curves with
// their records, or a view with the simulation it was derived from.
bool ShownCurvesBelongToAxis(const CurveSet& curves);

// Shows the held curves (currents and measured values) again, exactly as they were, when a view
// of another quantity is shown; does nothing otherwise.
void ShowHeldCurves(CurveSet& curves);

// Puts the held curves aside before `quantity` is shown in `y`; ShowHeldCurves brings them back.
// The curves must be showing the held curves.
void BeginView(CurveSet& curves, OutputQuantity quantity);

// The axis of the measurement as a fit finds it, so that a fit that ends in an error can show
// the measurement alone on its own potentials again.
struct MeasuredAxis {
  std::vector<double> x;  // x(1..pointCount)
  Count sweepPointCount = 0;
  int axis = 0;
  double axisStep = 0;
  double axisCycles = 0;
  Count axisTechnique = 0;
};
MeasuredAxis KeepMeasuredAxis(const CurveSet& curves);
// The measured axis written back: its potentials, number and shape, every point drawn.
void PutMeasuredAxis(CurveSet& curves, const MeasuredAxis& measured);
// The measured axis again, with curve 1 alone shown (none when curve 1 holds nothing).
void ShowMeasurementAlone(CurveSet& curves, const MeasuredAxis& measured);

}  // namespace kivex::model
