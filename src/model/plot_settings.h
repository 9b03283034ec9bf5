#pragma once
// The display settings that the plot-options dialog's OK refreshes; the plot writes the automatic
// axis limits back here, and a run's extremes of its total current are set here by the session.

#include "model/fixed_table.h"

namespace kivex::model {

inline constexpr int kMaxCurves = 5;

enum class LineStyle { Dotted = 1, Markers = 2, Solid = 3 };

struct PlotSettings {
  double xMin = 0;
  double xMax = 0;
  double yMin = 0;
  double yMax = 0;
  bool grid = false;
  bool overlap = false;
  Table1<int, kMaxCurves> lineStyle;  // 1 dotted, 2 markers, 3 solid
};

}  // namespace kivex::model
