#include "display/plot.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "display/axis_ticks.h"
#include "model/checked_math.h"
#include "model/count.h"
#include "model/failure.h"
#include "model/number_format.h"
#include "model/number_text.h"

namespace kivex::display {

namespace {

using model::Finite;

// Text keeps this fraction of the window's width or height away from what it labels. The X
// labels drop a little further, clear of the lowest Y label that is centred on the frame's
// bottom edge.
constexpr double kTextGap = 0.008;
constexpr double kXLabelDrop = 0.015;
// The frame's margins as fractions of its own ranges: with the Y margins of 1.5 and 1.8 units
// that a ten-unit axis always had, every frame now keeps that share of the window.
constexpr double kSideMargin = 0.1;
constexpr double kTopMargin = 0.15;
constexpr double kBottomMargin = 0.18;
constexpr double kXTitleDrop = 0.1;
// Solid curves are drawn a little heavier than the axes so that their colours show.
constexpr double kCurveWidth = 1.5;
constexpr Colour kGridColour{204, 204, 204};

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

// The frame's rectangle, whichever way round the limits were typed.
struct Box {
  double xLo, xHi, yLo, yHi;
  bool Holds(double x, double y) const { return x >= xLo && x <= xHi && y >= yLo && y <= yHi; }
};

// The part of the segment from (x1, y1) to (x2, y2) inside the box (Liang-Barsky); false when
// none is. Cutting here rather than leaving it all to the surface's clip keeps far-off points
// from reaching a surface at all, where their pixel coordinates would overflow or be pinned.
bool CutToBox(const Box& box, double& x1, double& y1, double& x2, double& y2) {
  const double dx = x2 - x1;
  const double dy = y2 - y1;
  double t0 = 0;
  double t1 = 1;
  const std::array<double, 4> p = {-dx, dx, -dy, dy};
  const std::array<double, 4> q = {x1 - box.xLo, box.xHi - x1, y1 - box.yLo, box.yHi - y1};
  for (int s = 0; s < 4; ++s) {
    if (p[s] == 0) {
      if (q[s] < 0) return false;
      continue;
    }
    const double t = q[s] / p[s];
    if (p[s] < 0) {
      t0 = std::max(t0, t);
    } else {
      t1 = std::min(t1, t);
    }
    if (t0 > t1) return false;
  }
  const double ax = x1;
  const double ay = y1;
  if (t1 < 1) {
    x2 = ax + t1 * dx;
    y2 = ay + t1 * dy;
  }
  if (t0 > 0) {
    x1 = ax + t0 * dx;
    y1 = ay + t0 * dy;
  }
  return true;
}

// Dots and markers stand whole where their point lies inside the frame and are left out
// elsewhere; a line is cut at the frame's edge.
void DrawCurve(Canvas& canvas, const model::CurveSet& curves, PointRange points, int k, int style,
               const Box& box, double xRange, double yRange) {
  const double halfWidth = 0.005 * xRange;
  const double halfHeight = 0.005 * yRange;
  for (int i = points.first; i <= points.last; ++i) {
    const double x = Finite(curves.x(i));
    const double y = Finite(curves.y(i, k));
    switch (style) {
      case 1:
        if (box.Holds(x, y)) canvas.Point(x, y);
        break;
      case 2:
        if (box.Holds(x, y)) {
          canvas.Rectangle(x - halfWidth, y - halfHeight, x + halfWidth, y + halfHeight);
        }
        break;
      case 3:
        if (i > points.first) {
          double x1 = curves.x(i - 1);
          double y1 = curves.y(i - 1, k);
          double x2 = x;
          double y2 = y;
          if (CutToBox(box, x1, y1, x2, y2)) canvas.Line(x1, y1, x2, y2);
        }
        break;
      default: return;  // an unknown style draws nothing
    }
  }
}

// Whether any point a curve draws lies outside the frame: only then is the frame a clip.
bool LeavesFrame(const model::CurveSet& curves, PointRange points, const model::PlotSettings& s,
                 int curveCount, const Box& box) {
  for (int k = 1; k <= curveCount; ++k) {
    const int style = StyleOf(s, k);
    if (style < 1 || style > 3) continue;
    for (int i = points.first; i <= points.last; ++i) {
      if (!box.Holds(curves.x(i), curves.y(i, k))) return true;
    }
  }
  return false;
}

CurveMark MarkOf(int style) {
  return style == 1 ? CurveMark::Dots : style == 2 ? CurveMark::Markers : CurveMark::Line;
}

std::vector<LegendEntry> LegendEntries(const model::PlotSettings& settings,
                                       const PlotOptions& options, int curveCount) {
  std::vector<LegendEntry> entries;
  for (int k = 1; k <= curveCount; ++k) {
    const int style = StyleOf(settings, k);
    if (style < 1 || style > 3) continue;  // a curve drawn with nothing is not named either
    const std::size_t slot = static_cast<std::size_t>(k - 1);
    std::string name = slot < options.curveNames.size() ? options.curveNames[slot] : "";
    if (name.empty()) name = "curve " + std::to_string(k);
    entries.push_back({name, CurveColour(k), MarkOf(style)});
  }
  return entries;
}

// What the read-out calls the Y axis's quantity, and its unit.
void NameQuantity(model::OutputQuantity outputQuantity, PlotFrame& frame) {
  switch (outputQuantity) {
    case model::OutputQuantity::Current:
      frame.quantity = "I";
      frame.unit = "A";
      return;
    case model::OutputQuantity::Resistance:
      frame.quantity = "R";
      frame.unit = "Ohm";
      return;
    case model::OutputQuantity::Conductance:
      frame.quantity = "Cond";
      frame.unit = "1/Ohm";
      return;
    case model::OutputQuantity::Concentration:
      frame.quantity = "C";
      frame.unit = "M";
      return;
  }
}

}  // namespace

double DecadeUnit(double m) {
  if (!(m >= 1e-300) || !std::isfinite(m)) return 1e6;
  // The decade as the exact decimal literal 1E<p>, corrected where log10 rounds across it.
  int p = static_cast<int>(std::floor(std::log10(m)));
  auto decade = [](int e) { return model::ReadNumber("1e" + std::to_string(e)); };
  if (decade(p) > m) --p;
  if (decade(p + 1) <= m) ++p;
  return decade(p);
}

std::string YTitle(model::OutputQuantity outputQuantity, double unit) {
  std::string label;
  switch (outputQuantity) {
    case model::OutputQuantity::Current: label = "I /A  "; break;
    case model::OutputQuantity::Resistance: label = "R /Ohm  "; break;
    case model::OutputQuantity::Conductance: label = "Cond *Ohm  "; break;
    case model::OutputQuantity::Concentration: label = "C /M  "; break;
  }
  return label + model::FormatPattern(unit, "0E-0");
}

bool CutToFrame(const PlotFrame& frame, double& x1, double& y1, double& x2, double& y2) {
  for (const double v : {x1, y1, x2, y2}) {
    if (!std::isfinite(v)) return false;
  }
  const Box box{std::min(frame.xMin, frame.xMax), std::max(frame.xMin, frame.xMax),
                std::min(frame.yMin, frame.yMax), std::max(frame.yMin, frame.yMax)};
  return CutToBox(box, x1, y1, x2, y2);
}

Colour CurveColour(int k) {
  static constexpr std::array<Colour, model::kMaxShownCurves> kColours = {{
      {0, 0, 0},        // black
      {213, 94, 0},     // vermillion
      {0, 114, 178},    // blue
      {0, 158, 115},    // bluish green
      {204, 121, 167},  // reddish purple
      {230, 159, 0},    // orange
  }};
  return kColours[static_cast<std::size_t>(std::clamp(k, 1, model::kMaxShownCurves) - 1)];
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

    const double left = Finite(xMin - kSideMargin * xRange);
    const double right = Finite(xMax + kSideMargin * xRange);
    const double top = Finite(yMax + kTopMargin * yRange);
    const double bottom = Finite(yMin - kBottomMargin * yRange);
    const double gapX = kTextGap * (right - left);
    const double gapY = kTextGap * (top - bottom);
    canvas.SetWindow(left, top, right, bottom);
    PlotFrame frame{xMin, xMax, yMin, yMax, left, top, right, bottom, {}, {}};
    if (options.xReversed) std::swap(frame.left, frame.right);
    NameQuantity(options.outputQuantity, frame);
    result.frame = frame;

    Label(canvas, left + gapX, top - gapY, TextAnchor::TopLeft,
          YTitle(options.outputQuantity, unit));

    // Ticks on round values inside the frame (limits typed the wrong way round still have one).
    const Box box{std::min(xMin, xMax), std::max(xMin, xMax), std::min(yMin, yMax),
                  std::max(yMin, yMax)};
    const TickRun xTicks = PotentialTicks(box.xLo, box.xHi);
    // Y ticks and labels sit where the potential axis starts: at xMin normally, at xMax when the
    // axis runs from positive to negative; either way the left of the window, read top down.
    const TickRun yTicks = ValueTicks(box.yLo, box.yHi, unit, options.xReversed);

    // The grid lies under the zero line and the curves, pale, on the ticks inside the frame.
    if (settings.grid) {
      canvas.SetColour(kGridColour);
      for (int j = 0; j < xTicks.count; ++j) {
        const double t = xTicks.At(j);
        if (t > box.xLo + 1e-9 * xRange && t < box.xHi - 1e-9 * xRange) {
          canvas.Line(t, yMin, t, yMax);
        }
      }
      for (int j = 0; j < yTicks.count; ++j) {
        const double v = yTicks.At(j);
        if (v > box.yLo + 1e-9 * yRange && v < box.yHi - 1e-9 * yRange) {
          canvas.Line(xMin, v, xMax, v);
        }
      }
      canvas.SetColour(kBlack);
    }

    if (yMin < 0 && 0 < yMax) {
      canvas.SetPen(PenStyle::Dashed);
      canvas.Line(xMin, 0, xMax, 0);
      canvas.SetPen(PenStyle::Solid);
    }

    if (options.xReversed) canvas.SetWindow(right, top, left, bottom);
    canvas.Rectangle(xMin, yMin, xMax, yMax);
    Label(canvas, (xMin + xMax) / 2, yMin - kXTitleDrop * yRange, TextAnchor::TopCentre, "E /V");

    const bool clip = LeavesFrame(curves, points, settings, curveCount, box);
    if (clip) canvas.ClipTo(xMin, yMin, xMax, yMax);
    for (int k = 1; k <= curveCount; ++k) {
      const int style = StyleOf(settings, k);
      canvas.SetColour(CurveColour(k));
      canvas.SetLineWidth(style == 3 ? kCurveWidth : 1);
      DrawCurve(canvas, curves, points, k, style, box, std::fabs(xRange), std::fabs(yRange));
    }
    canvas.SetColour(kBlack);
    canvas.SetLineWidth(1);
    if (clip) canvas.NoClip();

    const int unitExponent = DecadeExponent(unit);
    canvas.SetTextAnchor(TextAnchor::TopCentre);
    for (int j = 0; j < xTicks.count; ++j) {
      const double t = xTicks.At(j);
      canvas.Line(t, yMin, t, yMin + 0.02 * yRange);
      canvas.MoveTo(t, yMin - kXLabelDrop * (top - bottom));
      canvas.Text(xTicks.Label(j, 0, true));
    }

    const double edge = options.xReversed ? xMax : xMin;
    const double inward = options.xReversed ? -1 : 1;
    canvas.SetTextAnchor(TextAnchor::MiddleRight);
    for (int j = 0; j < yTicks.count; ++j) {
      const double v = yTicks.At(j);
      canvas.Line(edge, v, edge + inward * 0.01 * xRange, v);
      canvas.MoveTo(edge - inward * 0.01 * xRange, v);
      canvas.Text(yTicks.Label(j, unitExponent, false));
    }

    // A key tells curves apart; a single curve needs none.
    const std::vector<LegendEntry> entries = LegendEntries(settings, options, curveCount);
    if (entries.size() >= 2) canvas.Legend(xMin, xMax, box.yHi, entries);
    canvas.SetPen(PenStyle::Solid);
  } catch (const model::Failure& failure) {
    result.outcome = PlotOutcome::Stopped;
    result.failure = std::string(failure.description());
  }
  return result;
}

}  // namespace kivex::display
