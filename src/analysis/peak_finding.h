#pragma once
// Peak search over every working curve, with the report the Find Peak command prints.
//
// A point is a peak when the magnitudes rise strictly over the four points before it and fall
// strictly over the four after it (points i-3 and i+3 are skipped), it is at least as large as
// both neighbours and it exceeds 2 % of the plot's vertical span. Magnitudes make oxidation and
// reduction peaks alike; the tables keep the signed value. Candidates stay four points inside the
// search range and four points away from the reversal point of a cyclic sweep.
//
// For one cycle of cyclic voltammetry with exactly two peaks the report adds the corrected
// anodic/cathodic peak-current ratio (Ipa/Ipc = |Ipa0/Ipc| + 0.485 |Isp/Ipc| + 0.08, Isp the
// current at the reversal point) and the peak separation; every curve gets a peak area.
//
// Where a curve's baseline is on (BaselineCurves), each peak's line is followed by its height
// above the tangent baseline (peak_baseline.h) and the baseline's value at Ep:
//   Peak  1 :     Ep =  .10428  Ip =  5.192649E-05
//   Above baseline:             Ip =  8.50058983395142E-06  Ib =  4.34259001660486E-05
// The baseline rests on the curve within the peak's region: its own sweep (model::FindSweeps on
// the potentials), from the peak before it in that sweep, or the sweep's start, to the peak after
// it, or the sweep's end (the first point of a vertex held for two).

#include <string>
#include <vector>

#include "analysis/peak_baseline.h"
#include "model/count.h"
#include "model/curve_set.h"
#include "model/fixed_table.h"
#include "model/plot_settings.h"

namespace kivex::analysis {

inline constexpr int kMaxPeaks = 20;

// The peaks of the last search: row k of column c is the k-th peak of curve c in search order;
// rows beyond the peaks found hold 0, and a baseline not found where the curve's baseline was
// off. PeakCount is that of the curve searched last.
struct PeakTables {
  model::Table2<double, kMaxPeaks, model::kMaxShownCurves> PeakPotential;
  model::Table2<double, kMaxPeaks, model::kMaxShownCurves> PeakCurrent;
  model::Table2<TangentBaseline, kMaxPeaks, model::kMaxShownCurves> Baseline;
  model::Count PeakCount = 0;
};

// The curves whose peaks are measured above a tangent baseline: those held from a measurement
// (model::CurveOrigin::Measurement, while the held curves are shown), every curve, or none.
enum class BaselineCurves { Imported, All, None };

// Searches curves 1..curveCount between firstPoint + 2 and lastPoint - 2, fills `peaks` and
// returns the report lines. A curve with more than 20 peaks keeps and lists the first 20 and
// says how many were found. Points outside firstPoint..lastPoint are never read, even when the
// reversal point of the last simulation lies beyond an imported curve.
//
// The step, the shape (one sweep, one cycle, two cycles) and the technique are those of the
// curves' own axis, as the run or import that made it left them, not what the dialogs hold since.
// On unevenly spaced potentials (numerics::StepSpread) the peak area is summed over an even grid
// of the axis's typical step instead (numerics::EvenResampling), and the report's first line says
// so (uneven_spacing.h).
std::vector<std::string> FindPeaks(const model::CurveSet& curves, const model::PlotSettings& plot,
                                   PeakTables& peaks,
                                   BaselineCurves baselines = BaselineCurves::Imported);

}  // namespace kivex::analysis
