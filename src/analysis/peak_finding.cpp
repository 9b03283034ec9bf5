#include "analysis/peak_finding.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <span>
#include <utility>

#include "analysis/uneven_spacing.h"
#include "model/print_line.h"
#include "model/sweeps.h"
#include "model/technique_table.h"
#include "numerics/even_resampling.h"

namespace kivex::analysis {

namespace {

using model::PrintLine;

// The four-point test on magnitudes at point i of `y` (slot 0 based, as the tables store it).
bool IsPeak(const double* y, int i, double threshold) {
  auto a = [y](int j) { return std::fabs(y[j]); };
  return a(i - 2) > a(i - 4) && a(i + 2) > a(i + 4) && a(i - 1) > a(i - 2) && a(i + 1) > a(i + 2) &&
         a(i) >= a(i - 1) && a(i) >= a(i + 1) && a(i) > threshold;
}

bool BaselineOn(const model::CurveSet& curves, int c, BaselineCurves baselines) {
  switch (baselines) {
    case BaselineCurves::All: return true;
    case BaselineCurves::None: return false;
    case BaselineCurves::Imported:
      return curves.shown == model::OutputQuantity::Current && c <= curves.storedCurveCount &&
             c <= model::kMaxCurves && curves.record(c).origin == model::CurveOrigin::Measurement;
  }
  return false;
}

// The points in use, firstPoint..lastPoint, as 0-based spans from firstPoint: the peaks' regions
// and the resampled area read nothing beyond them.
struct PointsInUse {
  int first = 1;  // the point at offset 0
  std::span<const double> x;

  explicit PointsInUse(const model::CurveSet& curves)
      : first(std::max<int>(curves.firstPoint, 1)),
        x(curves.x.data() + first,
          static_cast<std::size_t>(
              std::max(std::min<int>(curves.lastPoint, model::kMaxPoints) - first + 1, 0))) {}
  std::span<const double> Of(const double* column) const { return {column + first, x.size()}; }
};

// The region of the peak at offset `peak` among the peaks `found` (offsets, ascending): its sweep
// from the peak before it to the peak after it, or to the sweep's ends. A vertex held for two
// points ends its sweep at the first of them (model::FindSweeps keeps both in the sweep that
// reached it): the second is already the return sweep's current, its charging current reversed.
std::pair<int, int> PeakRegion(std::span<const double> x, std::span<const model::Sweep> sweeps,
                               std::span<const int> found, int peak) {
  const auto sweep = std::ranges::find_if(
      sweeps, [peak](const model::Sweep& w) { return w.first <= peak && peak <= w.last; });
  int from = sweep == sweeps.end() ? peak : sweep->first;
  int to = sweep == sweeps.end() ? peak : sweep->last;
  const auto at = [x](int i) { return x[static_cast<std::size_t>(i)]; };
  while (to > peak + 1 && at(to) == at(to - 1)) --to;
  for (const int other : found) {
    if (other < peak) from = std::max(from, other);
    if (other > peak) to = std::min(to, other);
  }
  return {from, to};
}

// The rectangle sum of y (or of |y|) over points a..b (offsets) on the even grid.
double EvenSum(const numerics::EvenResampling& even, std::span<const double> y, int a, int b,
               bool magnitude) {
  double sum = 0.0;
  for (const double v : even.Between(y, a, b)) sum += magnitude ? std::fabs(v) : v;
  return sum;
}

}  // namespace

std::vector<std::string> FindPeaks(const model::CurveSet& curves, const model::PlotSettings& plot,
                                   PeakTables& peaks, BaselineCurves baselines) {
  std::vector<std::string> report;
  const int s = curves.firstPoint + 2;
  const int e = curves.lastPoint - 2;
  const int turn = curves.sweepPointCount;
  const bool single = curves.axisCycles == 0.5;
  const double threshold = 0.02 * std::fabs(plot.yMax - plot.yMin);

  const PointsInUse points(curves);
  const std::vector<model::Sweep> sweeps = model::FindSweeps(points.x);
  // The peak area assumes one step between points; an axis whose steps differ is resampled.
  const numerics::StepSpread spread = numerics::SpreadOfSteps(points.x);
  std::optional<numerics::EvenResampling> even;
  if (!spread.Even()) even.emplace(points.x, spread.typical);
  bool resampled = false;

  for (int c = 1; c <= curves.curveCount && c <= model::kMaxShownCurves; ++c) {
    report.push_back(PrintLine().Text("Curve ").Integer(c).Text(":").str());
    for (int k = 1; k <= kMaxPeaks; ++k) {
      peaks.PeakPotential(k, c) = 0.0;
      peaks.PeakCurrent(k, c) = 0.0;
    }
    for (int k = 1; k <= kMaxPeaks; ++k) peaks.Baseline(k, c) = TangentBaseline{};
    peaks.PeakCount = 0;
    const double* y = curves.y.Column(c);
    int found = 0;
    std::vector<int> at;  // every peak's point, listed or not

    auto search = [&](int from, int to) {
      // Candidates never come closer than four points to either end of the search range.
      from = std::max(from, s + 4);
      to = std::min(to, e - 4);
      for (int i = from; i <= to; ++i) {
        if (!IsPeak(y, i, threshold)) continue;
        ++found;
        at.push_back(i - points.first);
        if (found > kMaxPeaks) continue;
        peaks.PeakCount = static_cast<model::Count>(found);
        peaks.PeakCurrent(found, c) = y[i];
        peaks.PeakPotential(found, c) = curves.x(i);
      }
    };
    if (single) {
      search(s + 4, e - 4);
    } else {
      // No peak at the turn of the sweep: points turn-3..turn+3 are never candidates.
      search(s + 4, turn - 4);
      search(turn + 4, e - 4);
    }

    const bool baselineOn = BaselineOn(curves, c, baselines);
    for (int k = 1; k <= peaks.PeakCount; ++k) {
      report.push_back(PrintLine()
                           .Text("Peak ")
                           .Integer(k)
                           .Text(":")
                           .Zone()
                           .Text("Ep = ")
                           .Number(peaks.PeakPotential(k, c))
                           .Zone()
                           .Text("Ip = ")
                           .Number(peaks.PeakCurrent(k, c))
                           .str());
      if (!baselineOn) continue;
      const int peak = at[static_cast<std::size_t>(k) - 1];
      const auto [from, to] = PeakRegion(points.x, sweeps, at, peak);
      const TangentBaseline baseline = FindTangentBaseline(points.x, points.Of(y), from, to, peak);
      peaks.Baseline(k, c) = baseline;
      PrintLine line;
      line.Text("Above baseline:").Zone();
      if (baseline.found) {
        const double under = baseline.At(peaks.PeakPotential(k, c));
        line.Text("Ip = ")
            .Number(peaks.PeakCurrent(k, c) - under)
            .Zone()
            .Text("Ib = ")
            .Number(under);
      } else {
        line.Text("none: a value in the peak's region is not finite");
      }
      report.push_back(line.str());
    }
    if (found > kMaxPeaks) {
      report.push_back(PrintLine()
                           .Text("Only the first ")
                           .Text(std::to_string(kMaxPeaks))
                           .Text(" of")
                           .Integer(found)
                           .Text("peaks are listed.")
                           .str());
    }

    // The reversal point as it lies within the curve; an imported curve may be shorter than the
    // last simulated sweep.
    const bool hasRange = s <= e;
    const int reversal = hasRange ? std::clamp(turn, s, e) : 0;

    const model::TechniqueTraits* technique = model::FindTechnique(curves.axisTechnique);
    if (technique != nullptr && technique->ramp && peaks.PeakCount == 2 && curves.axisCycles == 1) {
      // Forward peak cathodic, reverse peak anodic; the anodic peak is measured from the decaying
      // cathodic current, which the reversal-point term corrects for. |Ipc| > threshold >= 0.
      const double Ipc = peaks.PeakCurrent(1, c);
      const double Ipa0 = peaks.PeakCurrent(2, c);
      const double Isp = hasRange ? y[reversal] : 0.0;
      const double ratio = std::fabs(Ipa0 / Ipc) + 0.485 * std::fabs(Isp / Ipc) + 0.08;
      report.push_back(PrintLine()
                           .Text("Ipa/Ipc = ")
                           .Number(ratio)
                           .Zone()
                           .Text("Ipa = ")
                           .Number(ratio * Ipc)
                           .str());
      report.push_back(PrintLine()
                           .Text("Ep2 - Ep1 = ")
                           .Number(peaks.PeakPotential(2, c) - peaks.PeakPotential(1, c))
                           .str());
    }

    double area = 0.0;
    const bool hasArea = hasRange && (single || curves.axisCycles == 1);
    if (hasArea && even) {
      if (even->size() == 0) {
        report.push_back(
            "Peak Area: not computed, the potentials are too unevenly spaced for an even grid.");
        continue;
      }
      // The same sums over an even grid; offsets from the first point in use.
      const std::span<const double> values = points.Of(y);
      const int a = s - points.first;
      const int b = e - points.first;
      const int r = reversal - points.first;
      area = single ? EvenSum(*even, values, a, b, true)
                    : EvenSum(*even, values, a, r, false) - EvenSum(*even, values, r, b, false);
      area *= even->step();
      resampled = true;
    } else if (hasRange && single) {
      for (int i = s; i <= e; ++i) area += std::fabs(y[i]);
      area *= curves.axisStep;
    } else if (hasRange && curves.axisCycles == 1) {
      // Forward charge minus reverse charge; the reversal point belongs to both sweeps.
      for (int i = s; i <= reversal; ++i) area += y[i];
      for (int i = reversal; i <= e; ++i) area -= y[i];
      area *= curves.axisStep;
    }
    report.push_back(PrintLine().Text("Peak Area = ").Zone().Number(area).str());
  }
  if (resampled) report.insert(report.begin(), UnevenSpacingNote(spread, "the peak area"));
  return report;
}

}  // namespace kivex::analysis
