#include "io/csv_export.h"

#include <algorithm>

#include "model/print_line.h"

namespace kivex::io {

std::string CsvExportLine(double x, double y) {
  std::string line = model::PrintLine().Number(x).Text(",").Zone().Number(y).str();
  line += "\r\n";
  return line;
}

std::string CsvExportText(const model::CurveSet& curves) {
  std::string text;
  const int curve = curves.currentCurve;
  if (curve < 1 || curve > model::kMaxShownCurves) return text;
  // Slot 0 is never a point: before anything is loaded both ends are 0.
  const int first = std::max<int>(curves.firstPoint, 1);
  const int last = std::min<int>(curves.lastPoint, model::kMaxPoints);
  for (int i = first; i <= last; ++i) text += CsvExportLine(curves.x(i), curves.y(i, curve));
  return text;
}

}  // namespace kivex::io
