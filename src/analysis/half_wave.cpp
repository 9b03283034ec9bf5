#include "analysis/half_wave.h"

#include <algorithm>
#include <cmath>

#include "model/print_line.h"

namespace kivex::analysis {

HalfWave FindHalfWave(const model::CurveSet& curves, int curve) {
  HalfWave result;
  const int count = std::min<int>(curves.pointCount, model::kMaxPoints);
  if (count < 1) return result;
  const double* y = curves.y.Column(curve);
  double top = std::fabs(y[1]);
  double bottom = top;
  for (int i = 2; i <= count; ++i) {
    top = std::max(top, std::fabs(y[i]));
    bottom = std::min(bottom, std::fabs(y[i]));
  }
  result.Id = top - bottom;
  const double half = result.Id / 2;
  for (int i = 1; i <= count; ++i) {
    const double height = std::fabs(y[i]) - bottom;
    if (height >= 0.95 * half && height <= 1.05 * half) {
      result.E = curves.x(i);
      break;
    }
  }
  return result;
}

std::vector<std::string> HalfWaveReport(const model::CurveSet& curves) {
  std::vector<std::string> report;
  for (int c = 1; c <= curves.curveCount && c <= model::kMaxShownCurves; ++c) {
    const HalfWave wave = FindHalfWave(curves, c);
    model::PrintLine line;
    line.Text("Peak ").Integer(c).Text(": ").Zone();
    if (wave.E) {
      line.Text("E1/2 = ").Number(*wave.E);
    } else {
      line.Text("E1/2 not found: no point within 5 % of half the height");
    }
    line.Zone().Text("Id = ").Number(wave.Id);
    report.push_back(line.str());
  }
  return report;
}

}  // namespace kivex::analysis
