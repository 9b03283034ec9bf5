#include "display/plot.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "model/checked_math.h"
#include "model/count.h"
#include "model/failure.h"
#include "model/number_format.h"

namespace kivex::display {

namespace {

using model::Finite;

// More tick intervals than these cannot be labelled legibly across a plot window (X labels of
// five characters side by side, Y labels one line apart); such an axis, and one whose own spacing
// rule gives no interval at all, gets a 1-2-5 spacing instead. Automatic Y limits never exceed
// 20 intervals, so only hand-typed Y limits can reach the 1-2-5 spacing.
constexpr int kMaxXIntervals = 15;
constexpr int kMaxYIntervals = 20;
// The number of intervals a 1-2-5 spacing aims at.
constexpr double kNiceIntervals = 10;
// Text keeps this fraction of the window's width or height away from what it labels. The X
// labels drop a little further, clear of the lowest Y label that is centred on the frame's
// bottom edge.
constexpr double kTextGap = 0.008;
constexpr double kXLabelDrop = 0.015;

// Evenly spaced tick positions first, first + step, ... (count of them) and the decimals their
// labels need.
struct TickRun {
  double first = 0;
  double step = 0;
  int count = 0;
  int decimals = 0;
  double At(int j) const { return first + j * step; }
};

// The number of positions first + j * step (j >= 0) up to `last` in the direction of `step`. A
// small tolerance keeps the end tick that rounding in the steps would push just past `last`.
int CountTo(double first, double step, double last) {
  const double intervals = (last - first) / step;
  // A spacing lost in rounding (a range near the smallest doubles) gives no ticks at all.
  if (!(intervals > -1e-9) || !(intervals < 1000)) return 0;
  return static_cast<int>(std::floor(intervals + 1e-9)) + 1;
}

// The step of 1, 2 or 5 times a power of ten nearest above range / kNiceIntervals.
double NiceStep(double range) {
  const double raw = range / kNiceIntervals;
  const double decade = std::pow(10.0, std::floor(std::log10(raw)));
  const double scaled = raw / decade;
  // A little slack so that a range of exactly 5 steps is not pushed to 10 by rounding.
  const double slack = 1 + 1e-9;
  const double factor = scaled <= slack       ? 1
                        : scaled <= 2 * slack ? 2
                        : scaled <= 5 * slack ? 5
                                              : 10;
  return factor * decade;
}

// Ticks on the multiples of a 1-2-5 step inside lo..hi; none for an empty or reversed range.
TickRun NiceTicks(double lo, double hi) {
  TickRun run;
  if (!(hi > lo)) return run;
  run.step = Finite(NiceStep(hi - lo));
  run.first = std::ceil(lo / run.step - 1e-9) * run.step;
  run.count = CountTo(run.first, run.step, hi);
  return run;
}

// The fewest decimals (0..max) that show every value of the run exactly.
int DecimalsFor(const TickRun& run, double scale, int max) {
  for (int d = 0; d < max; ++d) {
    const double factor = std::pow(10.0, d);
    const double a = run.first / scale * factor;
    const double b = run.step / scale * factor;
    if (std::fabs(a - std::round(a)) < 1e-6 && std::fabs(b - std::round(b)) < 1e-6) return d;
  }
  return max;
}

// Ticks about every 0.1 V from xMin, as many as Round(10 xRange) gives.
TickRun XTicks(double xMin, double xMax) {
  const double range = xMax - xMin;
  const double intervals = model::RoundHalfEven(10 * range);
  TickRun run;
  if (intervals >= 1 && intervals <= kMaxXIntervals) {
    run.step = range / intervals;
    run.first = xMin;
    run.count = CountTo(run.first, run.step, xMax);
    run.decimals = 2;
  } else {
    run = NiceTicks(xMin, xMax);
    if (run.count > 0) {
      run.decimals = std::clamp(static_cast<int>(-std::floor(std::log10(run.step) + 1e-9)), 2, 15);
    }
  }
  return run;
}

// Ticks of the Y axis. The step divides the limit at the start of the potential axis into whole
// units (yMax / Round(yMax / unit) normally, yMin / Round(yMin / unit) reversed) and the ticks
// run from the opposite limit (normally) or from yMax down (reversed).
TickRun YTicks(double yMin, double yMax, double unit, bool reversed) {
  const double base = reversed ? yMin : yMax;
  const double whole = model::RoundHalfEven(base / unit);
  TickRun run;
  if (whole != 0) {
    const double step = base / whole;
    if ((yMax - yMin) / step <= kMaxYIntervals + 1e-9) {
      run.step = reversed ? -step : step;
      run.first = reversed ? yMax : yMin;
      run.count = CountTo(run.first, run.step, reversed ? yMin : yMax);
    }
  }
  if (run.count == 0) {
    run = NiceTicks(yMin, yMax);
    if (reversed && run.count > 0) {
      run.first = run.At(run.count - 1);
      run.step = -run.step;
    }
  }
  run.decimals = DecimalsFor(run, unit, 3);
  return run;
}

std::string XLabel(double t, int decimals) {
  return model::FormatPattern(t, "0." + std::string(static_cast<std::size_t>(decimals), '#'));
}

// A Y label counts units: "4", "-1", or "0.25" where the ticks fall between whole units.
std::string YLabel(double v, double unit, int decimals) {
  if (decimals == 0) return model::FormatPattern(v / unit, "0");
  std::string text =
      model::FormatPattern(v / unit, "0." + std::string(static_cast<std::size_t>(decimals), '#'));
  if (!text.empty() && text.back() == '.') text.pop_back();
  return text;
}

void Label(Canvas& canvas, double x, double y, TextAnchor anchor, std::string_view text) {
  canvas.SetTextAnchor(anchor);
  canvas.MoveTo(x, y);
  canvas.Text(text);
}

// The usable point range: firstPoint..lastPoint within the table, empty when nothing is loaded.
struct PointRange {
  int first = 1;
  int last = 0;
  bool empty() const { return last < first; }
};

PointRange DrawnPoints(const model::CurveSet& curves) {
  return {std::max<int>(curves.firstPoint, 1), std::min<int>(curves.lastPoint, model::kMaxPoints)};
}

// Curve 6 exists for the sixth species' surface concentration; the options have no line style
// for it, so it is drawn solid like a curve whose style buttons are all clear.
int CurvesDrawn(const model::CurveSet& curves) {
  return std::clamp<int>(curves.curveCount, 0, decltype(curves.y)::kLastCol);
}

int StyleOf(const model::PlotSettings& settings, int k) {
  return k <= model::kMaxCurves ? settings.lineStyle(k) : static_cast<int>(model::LineStyle::Solid);
}

void DrawCurve(Canvas& canvas, const model::CurveSet& curves, PointRange points, int k, int style,
               double xRange, double yRange) {
  const double halfWidth = 0.005 * xRange;
  const double halfHeight = 0.005 * yRange;
  for (int i = points.first; i <= points.last; ++i) {
    const double x = Finite(curves.x(i));
    const double y = Finite(curves.y(i, k));
    switch (style) {
      case 1: canvas.Point(x, y); break;
      case 2: canvas.Rectangle(x - halfWidth, y - halfHeight, x + halfWidth, y + halfHeight); break;
      case 3:
        if (i > points.first) canvas.Line(curves.x(i - 1), curves.y(i - 1, k), x, y);
        break;
      default: return;  // an unknown style draws nothing
    }
  }
}

}  // namespace

double DecadeUnit(double m) {
  // 10^p for p = -15..7, written out so that every unit is the exact decimal literal.
  static constexpr std::array<double, 23> kDecades = {
      1e-15, 1e-14, 1e-13, 1e-12, 1e-11, 1e-10, 1e-9, 1e-8, 1e-7, 1e-6, 1e-5, 1e-4,
      1e-3,  1e-2,  1e-1,  1e0,   1e1,   1e2,   1e3,  1e4,  1e5,  1e6,  1e7};
  for (std::size_t p = 0; p + 1 < kDecades.size(); ++p) {
    if (kDecades[p] <= m && m < kDecades[p + 1]) return kDecades[p];
  }
  if (m >= 1e7 && std::isfinite(m)) {
    // A unit of 1E6 here would give hundreds of one-unit ticks and no room for the titles, so
    // large values keep their own decade.
    double unit = 1e7;
    while (m >= unit * 10) unit *= 10;
    return unit;
  }
  return 1e6;
}

std::string YTitle(std::string_view outputQuantity, double unit) {
  std::string label;
  if (outputQuantity == "current I") {
    label = "I /A  ";
  } else if (outputQuantity == "resistance R") {
    label = "R /Ohm  ";
  } else if (outputQuantity == "conductance Cond") {
    label = "Cond *Ohm  ";
  } else if (outputQuantity == "surface concentration C") {
    label = "C /M  ";
  } else {
    return {};
  }
  return label + model::FormatPattern(unit, "0E-0");
}

PlotResult DrawPlot(Canvas& canvas, const model::CurveSet& curves, const PlotOptions& options,
                    model::PlotSettings& settings) {
  canvas.Clear();
  canvas.SetPen(PenStyle::Solid);
  canvas.SetTextAnchor(TextAnchor::TopLeft);
  PlotResult result;
  try {
    const PointRange points = DrawnPoints(curves);
    const int curveCount = CurvesDrawn(curves);

    if (options.xAuto) {
      settings.xMin = settings.xMax = 0;
      if (!points.empty()) {
        settings.xMin = settings.xMax = Finite(curves.x(points.first));
        for (int i = points.first; i <= points.last; ++i) {
          const double x = Finite(curves.x(i));
          settings.xMax = std::max(settings.xMax, x);
          settings.xMin = std::min(settings.xMin, x);
        }
      }
    }
    // The Y range always holds 0, so the zero line and head room show the sign of the current.
    if (options.yAuto) {
      settings.yMax = settings.yMin = 0;
      for (int k = 1; k <= curveCount; ++k) {
        for (int i = points.first; i <= points.last; ++i) {
          const double y = Finite(curves.y(i, k));
          settings.yMax = std::max(settings.yMax, y);
          settings.yMin = std::min(settings.yMin, y);
        }
      }
    }
    const double xMin = Finite(settings.xMin);
    const double xMax = Finite(settings.xMax);

    const double unit = DecadeUnit(std::max(Finite(settings.yMax), std::fabs(settings.yMin)));
    result.unit = unit;
    if (options.yAuto) {
      // Whole units, with at least one unit of head room above and below the data.
      settings.yMax = (std::trunc(settings.yMax / unit) + 1) * unit;
      settings.yMin = (std::trunc(settings.yMin / unit) - 1) * unit;
    }
    const double yMin = Finite(settings.yMin);
    const double yMax = Finite(settings.yMax);

    const double xRange = Finite(xMax - xMin);
    const double yRange = Finite(yMax - yMin);
    if (xRange == 0 || yRange == 0) {
      result.outcome = PlotOutcome::NoData;
      return result;
    }

    const double left = Finite(xMin - 0.1 * xRange);
    const double right = Finite(xMax + 0.1 * xRange);
    const double top = Finite(yMax + 1.5 * unit);
    const double bottom = Finite(yMin - 1.8 * unit);
    const double gapX = kTextGap * (right - left);
    const double gapY = kTextGap * (top - bottom);
    canvas.SetWindow(left, top, right, bottom);

    const std::string title = YTitle(options.outputQuantity, unit);
    if (!title.empty()) Label(canvas, left + gapX, top - gapY, TextAnchor::TopLeft, title);

    if (yMin < 0 && 0 < yMax) {
      canvas.SetPen(PenStyle::Dashed);
      canvas.Line(xMin, 0, xMax, 0);
      canvas.SetPen(PenStyle::Solid);
    }

    if (options.xReversed) canvas.SetWindow(right, top, left, bottom);
    canvas.Rectangle(xMin, yMin, xMax, yMax);
    Label(canvas, (xMin + xMax) / 2, yMin - unit, TextAnchor::TopCentre, "E /V");

    for (int k = 1; k <= curveCount; ++k) {
      DrawCurve(canvas, curves, points, k, StyleOf(settings, k), xRange, yRange);
    }

    const TickRun xTicks = XTicks(xMin, xMax);
    canvas.SetTextAnchor(TextAnchor::TopCentre);
    for (int j = 0; j < xTicks.count; ++j) {
      const double t = xTicks.At(j);
      canvas.Line(t, yMin, t, yMin + 0.02 * yRange);
      canvas.MoveTo(t, yMin - kXLabelDrop * (top - bottom));
      canvas.Text(XLabel(t, xTicks.decimals));
    }

    // Y ticks and labels sit where the potential axis starts: at xMin normally, at xMax when the
    // axis runs from positive to negative. Either way that is the left of the window.
    const TickRun yTicks = YTicks(yMin, yMax, unit, options.xReversed);
    const double edge = options.xReversed ? xMax : xMin;
    const double inward = options.xReversed ? -1 : 1;
    canvas.SetTextAnchor(TextAnchor::MiddleRight);
    for (int j = 0; j < yTicks.count; ++j) {
      const double v = yTicks.At(j);
      canvas.Line(edge, v, edge + inward * 0.01 * xRange, v);
      canvas.MoveTo(edge - inward * 0.01 * xRange, v);
      canvas.Text(YLabel(v, unit, yTicks.decimals));
    }

    // The grid follows the ticks; lines on the frame itself are left out.
    if (settings.grid) {
      for (int j = 0; j < xTicks.count; ++j) {
        const double t = xTicks.At(j);
        if (t > xMin + 1e-9 * xRange && t < xMax - 1e-9 * xRange) canvas.Line(t, yMin, t, yMax);
      }
      for (int j = 0; j < yTicks.count; ++j) {
        const double v = yTicks.At(j);
        if (v > yMin + 1e-9 * yRange && v < yMax - 1e-9 * yRange) canvas.Line(xMin, v, xMax, v);
      }
    }
    canvas.SetPen(PenStyle::Solid);
  } catch (const model::Failure& failure) {
    result.outcome = PlotOutcome::Stopped;
    result.failure = std::string(failure.description());
  }
  return result;
}

}  // namespace kivex::display
