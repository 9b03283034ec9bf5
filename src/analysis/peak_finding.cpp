#include "analysis/peak_finding.h"

#include <algorithm>
#include <cmath>

#include "model/print_line.h"
#include "model/selections.h"

namespace kivex::analysis {

namespace {

using model::PrintLine;

// The four-point test on magnitudes at point i of `y` (slot 0 based, as the tables store it).
bool IsPeak(const double* y, int i, double threshold) {
  auto a = [y](int j) { return std::fabs(y[j]); };
  return a(i - 2) > a(i - 4) && a(i + 2) > a(i + 4) && a(i - 1) > a(i - 2) && a(i + 1) > a(i + 2) &&
         a(i) >= a(i - 1) && a(i) >= a(i + 1) && a(i) > threshold;
}

}  // namespace

std::vector<std::string> FindPeaks(const model::CurveSet& curves, const model::PlotSettings& plot,
                                   PeakTables& peaks) {
  std::vector<std::string> report;
  const int s = curves.firstPoint + 2;
  const int e = curves.lastPoint - 2;
  const int turn = curves.sweepPointCount;
  const bool single = curves.axisCycles == 0.5;
  const double threshold = 0.02 * std::fabs(plot.yMax - plot.yMin);

  for (int c = 1; c <= curves.curveCount && c <= model::kMaxShownCurves; ++c) {
    report.push_back(PrintLine().Text("Curve ").Integer(c).Text(":").str());
    for (int k = 1; k <= kMaxPeaks; ++k) {
      peaks.PeakPotential(k, c) = 0.0;
      peaks.PeakCurrent(k, c) = 0.0;
    }
    peaks.PeakCount = 0;
    const double* y = curves.y.Column(c);
    int found = 0;

    auto search = [&](int from, int to) {
      // Candidates never come closer than four points to either end of the search range.
      from = std::max(from, s + 4);
      to = std::min(to, e - 4);
      for (int i = from; i <= to; ++i) {
        if (!IsPeak(y, i, threshold)) continue;
        ++found;
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

    if (static_cast<model::Technique>(curves.axisTechnique) == model::Technique::Sweep &&
        peaks.PeakCount == 2 && curves.axisCycles == 1) {
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
    if (hasRange && single) {
      for (int i = s; i <= e; ++i) area += std::fabs(y[i]);
    } else if (hasRange && curves.axisCycles == 1) {
      // Forward charge minus reverse charge; the reversal point belongs to both sweeps.
      for (int i = s; i <= reversal; ++i) area += y[i];
      for (int i = reversal; i <= e; ++i) area -= y[i];
    }
    area *= curves.axisStep;
    report.push_back(PrintLine().Text("Peak Area = ").Zone().Number(area).str());
  }
  return report;
}

}  // namespace kivex::analysis
