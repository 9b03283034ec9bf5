#include "display/plot.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include "display/axis_ticks.h"
#include "model/checked_math.h"
#include "model/count.h"
#include "model/failure.h"
#include "model/number_format.h"
#include "model/number_text.h"
#include "model/output_quantities.h"

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
  const model::QuantityTraits& row = model::QuantityTraitsOf(outputQuantity);
  frame.quantity = row.symbol;
  frame.unit = row.unit;
}

// The limits of a pass and the window they put around the frame.
struct Layout {
  double xMin = 0, xMax = 0, yMin = 0, yMax = 0;
  double xRange = 0, yRange = 0;
  double left = 0, top = 0, right = 0, bottom = 0;  // the window, the potential axis unreversed
  double unit = 0;                                  // the Y axis's decade unit
  Box box{};
};

// Automatic limits span the points drawn. The Y range always holds 0, so the zero line and head
// room show the sign of the current.
void TakeAutoLimits(const model::CurveSet& curves, PointRange points, int curveCount,
                    const PlotOptions& options, model::PlotSettings& settings) {
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
}

// The frame's limits (automatic Y limits widened to whole units) and the window's margins around
// them; none when either range is empty. The unit goes into `result` as soon as it is chosen.
std::optional<Layout> LayOut(const PlotOptions& options, model::PlotSettings& settings,
                             PlotResult& result) {
  Layout layout;
  layout.xMin = Finite(settings.xMin);
  layout.xMax = Finite(settings.xMax);
  const double unit = DecadeUnit(std::max(Finite(settings.yMax), std::fabs(settings.yMin)));
  result.unit = layout.unit = unit;
  if (options.yAuto) {
    // Whole units, with at least one unit of head room above and below the data.
    settings.yMax = (std::trunc(settings.yMax / unit) + 1) * unit;
    settings.yMin = (std::trunc(settings.yMin / unit) - 1) * unit;
  }
  layout.yMin = Finite(settings.yMin);
  layout.yMax = Finite(settings.yMax);
  layout.xRange = Finite(layout.xMax - layout.xMin);
  layout.yRange = Finite(layout.yMax - layout.yMin);
  if (layout.xRange == 0 || layout.yRange == 0) return std::nullopt;
  layout.left = Finite(layout.xMin - kSideMargin * layout.xRange);
  layout.right = Finite(layout.xMax + kSideMargin * layout.xRange);
  layout.top = Finite(layout.yMax + kTopMargin * layout.yRange);
  layout.bottom = Finite(layout.yMin - kBottomMargin * layout.yRange);
  // Limits typed the wrong way round still make a frame.
  layout.box = Box{std::min(layout.xMin, layout.xMax), std::max(layout.xMin, layout.xMax),
                   std::min(layout.yMin, layout.yMax), std::max(layout.yMin, layout.yMax)};
  return layout;
}

// The window around the frame, and the frame as the read-out maps it.
PlotFrame SetFrame(Canvas& canvas, const Layout& layout, const PlotOptions& options) {
  canvas.SetWindow(layout.left, layout.top, layout.right, layout.bottom);
  PlotFrame frame{layout.xMin, layout.xMax,  layout.yMin,   layout.yMax, layout.left,
                  layout.top,  layout.right, layout.bottom, {},          {}};
  if (options.xReversed) std::swap(frame.left, frame.right);
  NameQuantity(options.outputQuantity, frame);
  return frame;
}

// The grid lies under the zero line and the curves, pale, on the ticks inside the frame.
void DrawGrid(Canvas& canvas, const Layout& layout, const TickRun& xTicks, const TickRun& yTicks) {
  const Box& box = layout.box;
  canvas.SetColour(kGridColour);
  for (int j = 0; j < xTicks.count; ++j) {
    const double t = xTicks.At(j);
    if (t > box.xLo + 1e-9 * layout.xRange && t < box.xHi - 1e-9 * layout.xRange) {
      canvas.Line(t, layout.yMin, t, layout.yMax);
    }
  }
  for (int j = 0; j < yTicks.count; ++j) {
    const double v = yTicks.At(j);
    if (v > box.yLo + 1e-9 * layout.yRange && v < box.yHi - 1e-9 * layout.yRange) {
      canvas.Line(layout.xMin, v, layout.xMax, v);
    }
  }
  canvas.SetColour(kBlack);
}

// The dashed zero line, the frame and the potential axis's title; from here on the window runs
// the way the potential axis does.
void DrawFrame(Canvas& canvas, const Layout& layout, bool xReversed) {
  if (layout.yMin < 0 && 0 < layout.yMax) {
    canvas.SetPen(PenStyle::Dashed);
    canvas.Line(layout.xMin, 0, layout.xMax, 0);
    canvas.SetPen(PenStyle::Solid);
  }
  if (xReversed) canvas.SetWindow(layout.right, layout.top, layout.left, layout.bottom);
  canvas.Rectangle(layout.xMin, layout.yMin, layout.xMax, layout.yMax);
  Label(canvas, (layout.xMin + layout.xMax) / 2, layout.yMin - kXTitleDrop * layout.yRange,
        TextAnchor::TopCentre, "E /V");
}

// Every curve in its colour and style; the frame clips only when a point lies outside it.
void DrawCurves(Canvas& canvas, const model::CurveSet& curves, PointRange points, int curveCount,
                const model::PlotSettings& settings, const Layout& layout) {
  const bool clip = LeavesFrame(curves, points, settings, curveCount, layout.box);
  if (clip) canvas.ClipTo(layout.xMin, layout.yMin, layout.xMax, layout.yMax);
  for (int k = 1; k <= curveCount; ++k) {
    const int style = StyleOf(settings, k);
    canvas.SetColour(CurveColour(k));
    canvas.SetLineWidth(style == 3 ? kCurveWidth : 1);
    DrawCurve(canvas, curves, points, k, style, layout.box, std::fabs(layout.xRange),
              std::fabs(layout.yRange));
  }
  canvas.SetColour(kBlack);
  canvas.SetLineWidth(1);
  if (clip) canvas.NoClip();
}

// Ticks and their labels: X below the frame; Y where the potential axis starts, at xMin normally
// and at xMax when the axis runs from positive to negative, either way the left of the window.
void DrawTicks(Canvas& canvas, const Layout& layout, const TickRun& xTicks, const TickRun& yTicks,
               bool xReversed) {
  const double xRange = layout.xRange;
  const double yRange = layout.yRange;
  const int unitExponent = DecadeExponent(layout.unit);
  canvas.SetTextAnchor(TextAnchor::TopCentre);
  for (int j = 0; j < xTicks.count; ++j) {
    const double t = xTicks.At(j);
    canvas.Line(t, layout.yMin, t, layout.yMin + 0.02 * yRange);
    canvas.MoveTo(t, layout.yMin - kXLabelDrop * (layout.top - layout.bottom));
    canvas.Text(xTicks.Label(j, 0, true));
  }

  const double edge = xReversed ? layout.xMax : layout.xMin;
  const double inward = xReversed ? -1 : 1;
  canvas.SetTextAnchor(TextAnchor::MiddleRight);
  for (int j = 0; j < yTicks.count; ++j) {
    const double v = yTicks.At(j);
    canvas.Line(edge, v, edge + inward * 0.01 * xRange, v);
    canvas.MoveTo(edge - inward * 0.01 * xRange, v);
    canvas.Text(yTicks.Label(j, unitExponent, false));
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
  return std::string(model::QuantityTraitsOf(outputQuantity).axisTitle) +
         model::FormatPattern(unit, "0E-0");
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
    TakeAutoLimits(curves, points, curveCount, options, settings);
    const std::optional<Layout> laidOut = LayOut(options, settings, result);
    if (!laidOut) {
      result.outcome = PlotOutcome::NoData;
      return result;
    }
    const Layout& layout = *laidOut;
    result.frame = SetFrame(canvas, layout, options);
    const double gapX = kTextGap * (layout.right - layout.left);
    const double gapY = kTextGap * (layout.top - layout.bottom);
    Label(canvas, layout.left + gapX, layout.top - gapY, TextAnchor::TopLeft,
          YTitle(options.outputQuantity, layout.unit));

    // Ticks on round values inside the frame.
    const TickRun xTicks = PotentialTicks(layout.box.xLo, layout.box.xHi);
    const TickRun yTicks =
        ValueTicks(layout.box.yLo, layout.box.yHi, layout.unit, options.xReversed);
    if (settings.grid) DrawGrid(canvas, layout, xTicks, yTicks);
    DrawFrame(canvas, layout, options.xReversed);
    DrawCurves(canvas, curves, points, curveCount, settings, layout);
    DrawTicks(canvas, layout, xTicks, yTicks, options.xReversed);

    // A key tells curves apart; a single curve needs none.
    const std::vector<LegendEntry> entries = LegendEntries(settings, options, curveCount);
    if (entries.size() >= 2) canvas.Legend(layout.xMin, layout.xMax, layout.box.yHi, entries);
    canvas.SetPen(PenStyle::Solid);
  } catch (const model::Failure& failure) {
    result.outcome = PlotOutcome::Stopped;
    result.failure = std::string(failure.description());
  }
  return result;
}

}  // namespace kivex::display
