#include "display/plot.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "display/peak_marks.h"
#include "display/picture.h"
#include "display/svg_canvas.h"
#include "model/number_text.h"

namespace kivex::display {
namespace {

using Op = Picture::Op;
using Strings = std::vector<std::string>;

// What a pass drew, read back from its display list. Texts carry where they land on the surface
// as fractions of its width (0 left) and height (0 top), through the window in effect.
struct Text {
  std::string text;
  double x, y, screenX, screenY;
  TextAnchor anchor;
};
struct Drawn {
  Picture picture;
  PlotResult result;
  model::PlotSettings settings;
  std::vector<Op> windows, lines, rectangles, points;  // with the pen and colour in effect
  std::vector<Op> clips, legends;
  std::vector<Text> texts, xLabels, yLabels;

  const Text* Find(std::string_view text) const {
    for (const Text& t : texts) {
      if (t.text == text) return &t;
    }
    return nullptr;
  }
  // Horizontal lines at height y longer than a tick: pieces of a curve.
  int SegmentsAt(double y) const {
    int n = 0;
    for (const Op& l : lines) n += l.b == y && l.d == y && std::fabs(l.c - l.a) > 0.03;
    return n;
  }
};

Strings Names(const std::vector<Text>& texts) {
  Strings names;
  for (const Text& t : texts) names.push_back(t.text);
  return names;
}

model::PlotSettings Settings() {
  model::PlotSettings settings;
  for (int k = 1; k <= model::kMaxCurves; ++k) settings.lineStyle(k) = 3;
  return settings;
}

Drawn Draw(const model::CurveSet& curves, PlotOptions options = {},
           model::PlotSettings settings = Settings()) {
  Drawn d;
  d.result = DrawPlot(d.picture, curves, options, settings);
  d.settings = settings;
  double x = 0, y = 0;
  PenStyle pen = PenStyle::Solid;
  Colour colour = kBlack;
  TextAnchor anchor = TextAnchor::TopLeft;
  for (Op op : d.picture.ops()) {
    const Op* w = d.windows.empty() ? nullptr : &d.windows.back();
    switch (op.kind) {
      case Picture::OpKind::Window: d.windows.push_back(op); break;
      case Picture::OpKind::Pen: pen = op.pen; break;
      case Picture::OpKind::MoveTo:
        x = op.a;
        y = op.b;
        break;
      case Picture::OpKind::Anchor: anchor = op.anchor; break;
      case Picture::OpKind::Text:
        d.texts.push_back(
            {op.text, x, y, (x - w->a) / (w->c - w->a), (y - w->b) / (w->d - w->b), anchor});
        if (anchor == TextAnchor::MiddleRight) d.yLabels.push_back(d.texts.back());
        if (anchor == TextAnchor::TopCentre && op.text != "E /V")
          d.xLabels.push_back(d.texts.back());
        break;
      case Picture::OpKind::Line:
        op.pen = pen;
        op.colour = colour;
        d.lines.push_back(op);
        break;
      case Picture::OpKind::Rectangle:
        op.colour = colour;
        d.rectangles.push_back(op);
        break;
      case Picture::OpKind::Point: d.points.push_back(op); break;
      case Picture::OpKind::Clip: d.clips.push_back(op); break;
      case Picture::OpKind::Legend: d.legends.push_back(op); break;
      case Picture::OpKind::Colour: colour = op.colour; break;
      case Picture::OpKind::Clear:
      case Picture::OpKind::Width:
      case Picture::OpKind::NoClip: break;
    }
  }
  return d;
}

// n points from 0.3 V to -0.3 V (or from `half` to -`half`) with curve 1 rising from lo to hi.
model::CurveSet Sweep(double lo, double hi, int n = 61, double half = 0.3) {
  model::CurveSet curves;
  for (int i = 1; i <= n; ++i) {
    curves.x(i) = half - 2 * half * (i - 1) / (n - 1);
    curves.y(i, 1) = lo + (hi - lo) * (i - 1) / (n - 1);
  }
  curves.pointCount = curves.lastPoint = static_cast<model::Count>(n);
  curves.firstPoint = 1;
  curves.curveCount = curves.storedCurveCount = curves.currentCurve = 1;
  return curves;
}

TEST(PlotLimits, AutomaticLimitsAreWholeDecadeUnitsWithHeadRoom) {
  struct Case {
    double lo, hi, unit, yMin, yMax;
    std::string title;
    Strings labels;  // from the top down: the axis is reversed at the start
  };
  const Strings minusOneToFour = {"4", "3", "2", "1", "0", "-1"};
  std::vector<Case> cases = {
      {0, 0, 1e6, -1e6, 1e6, "I /A  1E6", {"1", "0", "-1"}},  // nothing measurable: flat at 0
      {-2.5e-3, -0.1e-3, 1e-3, -3e-3, 1e-3, "I /A  1E-3", {"1", "0", "-1", "-2", "-3"}},
      {0, 3.4e9, 1e9, -1e9, 4e9, "I /A  1E9", minusOneToFour},  // not thousands of ticks
  };
  // Every decade is its own unit, down to currents far below a femtoampere (not drawn flat).
  for (int p = -18; p <= 6; ++p) {
    const double unit = std::pow(10.0, p);
    cases.push_back({0.2 * unit, 3.4 * unit, unit, -unit, 4 * unit, "I /A  1E" + std::to_string(p),
                     minusOneToFour});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    const Drawn d = Draw(Sweep(c.lo, c.hi));
    ASSERT_EQ(d.result.outcome, PlotOutcome::Drawn);
    EXPECT_DOUBLE_EQ(d.result.unit, c.unit);
    EXPECT_DOUBLE_EQ(d.settings.yMin, c.yMin);
    EXPECT_DOUBLE_EQ(d.settings.yMax, c.yMax);
    EXPECT_DOUBLE_EQ(d.settings.xMin, -0.3);
    EXPECT_DOUBLE_EQ(d.settings.xMax, 0.3);
    EXPECT_NE(d.Find(c.title), nullptr);
    EXPECT_EQ(Names(d.yLabels), c.labels);
    EXPECT_DOUBLE_EQ(DecadeUnit(9.99 * c.unit), c.unit);
  }
  EXPECT_EQ(DecadeUnit(0), 1e6);
  EXPECT_EQ(DecadeUnit(3e-17), 1e-17);
  EXPECT_EQ(DecadeUnit(2.5e12), 1e12);

  const Drawn d = Draw(Sweep(0.2e-6, 3.4e-6));
  // Window: 10 % either side in X, 15 % of the Y range above and 18 % below, then X exchanged.
  ASSERT_EQ(d.windows.size(), 2u);
  const std::array<double, 4> expected = {-0.36, 4.75e-6, 0.36, -1.9e-6};
  const std::array<double, 4> first = {d.windows[0].a, d.windows[0].b, d.windows[0].c,
                                       d.windows[0].d};
  for (int k = 0; k < 4; ++k) EXPECT_NEAR(first[k], expected[k], 1e-12 * std::fabs(expected[k]));
  EXPECT_EQ((std::array{d.windows[1].a, d.windows[1].b, d.windows[1].c, d.windows[1].d}),
            (std::array{first[2], first[1], first[0], first[3]}));
}

TEST(PlotOutcomeTest, AnEmptyRangeGivesNoDataAndANonFiniteValueStops) {
  PlotOptions typedY;
  typedY.yAuto = false;
  model::PlotSettings limits = Settings();
  limits.xMin = -0.3;
  limits.xMax = 0.3;
  limits.yMin = limits.yMax = 1e-3;
  model::CurveSet withNaN = Sweep(0, 1e-6);
  withNaN.y(30, 1) = std::nan("");
  const struct {
    model::CurveSet curves;
    PlotOptions options;
    PlotOutcome outcome;
  } cases[] = {
      // (Nothing loaded, with automatic or typed potential limits: the plot_axes scenario.)
      {Sweep(0, 1e-6), typedY, PlotOutcome::NoData},  // equal typed Y limits
      {withNaN, {}, PlotOutcome::Stopped},
  };
  for (const auto& c : cases) {
    const Drawn d = Draw(c.curves, c.options, limits);
    EXPECT_EQ(d.result.outcome, c.outcome);
    if (c.outcome == PlotOutcome::NoData) {  // cleared, nothing drawn
      EXPECT_TRUE(d.windows.empty() && d.texts.empty() && d.lines.empty());
    } else if (c.outcome == PlotOutcome::Stopped) {
      EXPECT_FALSE(d.result.failure.empty());
    }
  }
}

TEST(PlotAxes, TitlesLabelsTicksAndZeroLineEitherWayRound) {
  PlotOptions options;
  for (bool reversed : {true, false}) {
    SCOPED_TRACE(reversed);
    options.xReversed = reversed;
    Drawn d = Draw(Sweep(0.2e-6, 3.4e-6), options);
    const auto* yTitle = d.Find("I /A  1E-6");
    ASSERT_NE(yTitle, nullptr);
    EXPECT_LT(yTitle->screenX, 0.02);
    EXPECT_LT(yTitle->screenY, 0.02);
    EXPECT_EQ(yTitle->anchor, TextAnchor::TopLeft);
    const auto* xTitle = d.Find("E /V");
    ASSERT_NE(xTitle, nullptr);
    EXPECT_NEAR(xTitle->x, 0, 1e-12);
    EXPECT_NEAR(xTitle->y, -1.5e-6, 1e-18);  // a tenth of the Y range below the frame

    // Y labels beyond the data end where the potential axis starts, which is on the left of
    // the frame on screen either way.
    const double edge = reversed ? d.settings.xMax : d.settings.xMin;
    ASSERT_EQ(d.yLabels.size(), 6u);
    for (const Text& p : d.yLabels) {
      EXPECT_TRUE(reversed ? p.x > edge : p.x < edge) << p.text;
      EXPECT_LT(p.screenX, 0.1 / 1.2) << p.text;
      EXPECT_GT(p.screenX, 0.0) << p.text;
    }
    // The potential labels run left to right from + to - when reversed.
    EXPECT_EQ(Names(d.xLabels), (Strings{"-0.3", "-0.2", "-0.1", "0.", "0.1", "0.2", "0.3"}));
    for (const Text& p : d.xLabels) EXPECT_GT(p.screenY, yTitle->screenY);
    EXPECT_EQ(d.Find("0.3")->screenX < d.Find("-0.3")->screenX, reversed);

    // Ticks point into the frame; the zero line is dashed.
    int yTicks = 0, xTicks = 0, dashed = 0;
    for (const Op& line : d.lines) {
      if (line.b == line.d && line.a == edge && line.pen == PenStyle::Solid) {
        ++yTicks;
        EXPECT_TRUE(reversed ? line.c < edge : line.c > edge);
      }
      xTicks += line.a == line.c && line.b == -1e-6 && line.d > line.b;
      if (line.pen == PenStyle::Dashed) {
        ++dashed;
        EXPECT_EQ((std::array{line.a, line.b, line.c, line.d}), (std::array{-0.3, 0.0, 0.3, 0.0}));
      }
    }
    EXPECT_EQ(yTicks, 6);
    EXPECT_EQ(xTicks, 7);
    EXPECT_EQ(dashed, 1);

    // Zero on the frame's edge: no dashed line.
    PlotOptions fixed = options;
    fixed.yAuto = false;
    model::PlotSettings typed = Settings();
    typed.yMin = 0;
    typed.yMax = 4e-6;
    d = Draw(Sweep(0.2e-6, 3.4e-6), fixed, typed);
    for (const Op& line : d.lines) EXPECT_EQ(line.pen, PenStyle::Solid);
  }
}

TEST(PlotCurves, EachCurveInItsLineStyleAndTheSixthSolid) {
  model::CurveSet curves = Sweep(0.2e-6, 3.4e-6, 11);
  curves.curveCount = 6;
  for (int i = 1; i <= 11; ++i) {
    for (int k = 2; k <= 5; ++k) curves.y(i, k) = 1.5e-6;
    curves.y(i, 6) = 2.5e-6;  // the sixth species has no style of its own
  }
  model::PlotSettings settings = Settings();
  const int styles[] = {1, 2, 3, 0, 1};  // dotted, markers, solid, none, dotted
  for (int k = 1; k <= 5; ++k) settings.lineStyle(k) = styles[k - 1];
  const Drawn d = Draw(curves, {}, settings);
  ASSERT_EQ(d.result.outcome, PlotOutcome::Drawn);

  ASSERT_EQ(d.points.size(), 22u);
  EXPECT_EQ((std::array{d.points[4].a, d.points[4].b}), (std::array{curves.x(5), curves.y(5, 1)}));
  ASSERT_EQ(d.rectangles.size(), 1u + 11u);  // frame + one marker a point
  const Op& marker = d.rectangles[1 + 3];
  EXPECT_NEAR(marker.c - marker.a, 0.01 * 0.6, 1e-12);
  EXPECT_NEAR(marker.d - marker.b, 0.01 * 5e-6, 1e-18);
  EXPECT_NEAR((marker.a + marker.c) / 2, curves.x(4), 1e-12);
  EXPECT_EQ(d.SegmentsAt(1.5e-6), 10);  // curve 3 joins its 11 points; curve 4 draws nothing
  EXPECT_EQ(d.SegmentsAt(2.5e-6), 10);
}

// Whether v is 1, 2 or 5 times a power of ten.
bool IsRoundStep(double v) {
  const double scaled = v / std::pow(10.0, std::floor(std::log10(v) + 1e-9));
  for (double m : {1.0, 2.0, 5.0, 10.0}) {
    if (std::fabs(scaled - m) < 1e-9 * m) return true;
  }
  return false;
}

// A label read as a number states its tick's position exactly (counted in the title's unit on
// the Y axis); the ticks are whole multiples of one 1-2-5 spacing within the limits.
void ExpectRoundTicks(const std::vector<Text>& labels, bool y, double unit, double lo, double hi) {
  ASSERT_GE(labels.size(), 3u);
  const double step = std::fabs((y ? labels[1].y - labels[0].y : labels[1].x - labels[0].x));
  EXPECT_TRUE(IsRoundStep(step / unit)) << step;
  for (const Text& label : labels) {
    const double at = y ? label.y : label.x;
    EXPECT_NEAR(model::ReadNumber(label.text) * unit, at, 1e-12 * (hi - lo)) << label.text;
    EXPECT_NEAR(at / step, std::round(at / step), 1e-9) << label.text;
    EXPECT_GE(at, lo - 1e-12 * (hi - lo));
    EXPECT_LE(at, hi + 1e-12 * (hi - lo));
  }
}

TEST(PlotTicks, LabelsStateRoundTicksAndTheFrameKeepsItsShare) {
  const struct {
    double xMin, xMax, yMin, yMax;  // typed; yMin = yMax = 0 for automatic Y limits
    Strings xLabels, yLabels;       // empty: any round run
  } cases[] = {
      // Off-round potentials once gave -0.33, -0.23, ... labelled to the nearest 10 mV.
      {-0.33, 0.27, 0, 0, {"-0.3", "-0.2", "-0.1", "0.", "0.1", "0.2"}, {}},
      // A 0.06 to 0.149 V range once had two ticks.
      {0.06,
       0.149,
       0,
       0,
       {"0.06", "0.07", "0.08", "0.09", "0.1", "0.11", "0.12", "0.13", "0.14"},
       {}},
      // Typed limits off whole units once gave 8.7, 7.657, 6.614, ...
      {-0.3, 0.3, -7.3e-5, 8.7e-5, {}, {"8", "6", "4", "2", "0", "-2", "-4", "-6"}},
      {-0.3, 0.3, 0, 1e-4, {}, {}},  // once squeezed the frame to 23 % of the height
      {-0.5, 0.1, -2e-5, 5e-5, {"-0.5", "-0.4", "-0.3", "-0.2", "-0.1", "0.", "0.1"}, {}},
      {-1e-3, 0.4e-3, -1e-3, 0.4e-3, {}, {"0.4", "0.2", "0", "-0.2", "-0.4", "-0.6", "-0.8", "-1"}},
      {-0.3, 0.3, -1.5e-3, 1.5e-3, {}, {"1.5", "1", "0.5", "0", "-0.5", "-1", "-1.5"}},
      {-0.3, 0.3, -1e-3, 0, {}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.xMin + c.xMax + c.yMax);
    PlotOptions options;
    options.xAuto = false;
    options.yAuto = c.yMin == c.yMax;
    model::PlotSettings typed = Settings();
    typed.xMin = c.xMin;
    typed.xMax = c.xMax;
    typed.yMin = c.yMin;
    typed.yMax = c.yMax;
    const Drawn d = Draw(Sweep(0, 8.5e-5), options, typed);
    ASSERT_EQ(d.result.outcome, PlotOutcome::Drawn);
    const model::PlotSettings& s = d.settings;
    ExpectRoundTicks(d.xLabels, false, 1, s.xMin, s.xMax);
    ExpectRoundTicks(d.yLabels, true, d.result.unit, s.yMin, s.yMax);
    if (!c.xLabels.empty()) {
      EXPECT_EQ(Names(d.xLabels), c.xLabels);
    }
    if (!c.yLabels.empty()) {
      EXPECT_EQ(Names(d.yLabels), c.yLabels);
    }
    // The frame fills the same share of the window as the default plot's: 1 / 1.2 of the width
    // and 1 / 1.33 of the height.
    const Op& w = d.windows.back();
    EXPECT_NEAR((w.b - w.d) / (s.yMax - s.yMin), 1.33, 1e-9);
    EXPECT_NEAR(std::fabs(w.a - w.c) / (s.xMax - s.xMin), 1.2, 1e-9);
  }
  // Currents of 3e-17 A scale to their own decade instead of lying flat under "I /A  1E6".
  const Drawn tiny = Draw(Sweep(0, 3e-17));
  EXPECT_NE(tiny.Find("I /A  1E-17"), nullptr);
  EXPECT_EQ(Names(tiny.yLabels), (Strings{"4", "3", "2", "1", "0", "-1"}));
}

TEST(PlotTicks, ExtremeTypedLimitsDrawOrStopButNeverRunAway) {
  PlotOptions fixed;
  fixed.xAuto = fixed.yAuto = false;
  const std::array<double, 4> extremes[] = {
      {0, 1e-310, -1e-3, 1e-3},     // a potential range near the smallest doubles
      {0, 5e-324, -1e-3, 1e-3},     // one whose 1-2-5 spacing underflows to 0
      {-1e300, 1e300, -1, 1},       // ranges near the largest
      {-0.3, 0.3, -1e300, 1e300},   //
      {-0.3, 0.3, -1e-20, 1e-20},   // below the smallest decade
      {0.3, -0.3, 1e-3, -1e-3},     // limits typed the wrong way round
      {-0.3, 0.3, -1e308, 1.7e308}  // a Y range that overflows
  };
  for (const auto& [xMin, xMax, yMin, yMax] : extremes) {
    model::PlotSettings typed = Settings();
    typed.xMin = xMin;
    typed.xMax = xMax;
    typed.yMin = yMin;
    typed.yMax = yMax;
    const Drawn d = Draw(Sweep(0, 1e-6), fixed, typed);
    EXPECT_NE(d.result.outcome, PlotOutcome::NoData) << xMax << " " << yMax;
    EXPECT_LT(d.texts.size(), 60u) << xMax << " " << yMax;
  }
}

// Typed limits (X -0.5..0.1 V, Y -2e-5..5e-5 A) once left half the markers over the labels and
// off the page. Markers whose point lies outside the frame are left out, lines end on its edge,
// and the frame is the surfaces' clip; the SVG page carries the clip, the key and round ticks.
TEST(PlotClip, CurvesStopAtTheFrameAndThePageShowsClipKeyAndTicks) {
  model::CurveSet curves = Sweep(0, 8.5e-5, 121);
  curves.curveCount = 2;
  for (int i = 1; i <= 121; ++i) curves.y(i, 2) = 0.8 * curves.y(i, 1);
  model::PlotSettings typed = Settings();
  typed.lineStyle(1) = 2;  // measured: markers
  typed.xMin = -0.5;
  typed.xMax = 0.1;
  typed.yMin = -2e-5;
  typed.yMax = 5e-5;
  PlotOptions options;
  options.xAuto = options.yAuto = false;
  options.curveNames = {"measured", "simulated"};
  const Drawn d = Draw(curves, options, typed);
  ASSERT_EQ(d.result.outcome, PlotOutcome::Drawn);
  const auto inside = [](double x, double y) {
    return x >= -0.5 - 1e-12 && x <= 0.1 + 1e-12 && y >= -2e-5 - 1e-17 && y <= 5e-5 + 1e-17;
  };
  int markers = 0;
  for (std::size_t r = 1; r < d.rectangles.size(); ++r) {  // after the frame
    const Op& m = d.rectangles[r];
    ++markers;
    EXPECT_TRUE(inside((m.a + m.c) / 2, (m.b + m.d) / 2));
  }
  EXPECT_GT(markers, 20);
  EXPECT_LT(markers, 121 - 20);
  int segments = 0;
  int onTop = 0;
  for (const Op& l : d.lines) {
    if (l.colour != CurveColour(2)) continue;
    ++segments;
    EXPECT_TRUE(inside(l.a, l.b) && inside(l.c, l.d));
    onTop += std::fabs(l.b - 5e-5) < 1e-17 || std::fabs(l.d - 5e-5) < 1e-17;
  }
  EXPECT_GT(segments, 20);
  EXPECT_EQ(onTop, 1);  // the line leaves through the top edge, cut there
  ASSERT_EQ(d.clips.size(), 1u);
  EXPECT_EQ((std::array{d.clips[0].a, d.clips[0].b, d.clips[0].c, d.clips[0].d}),
            (std::array{-0.5, -2e-5, 0.1, 5e-5}));

  // The key: each curve's name, mark and own colour.
  ASSERT_EQ(d.legends.size(), 1u);
  EXPECT_EQ(d.legends[0].legend,
            (std::vector<LegendEntry>{{"measured", CurveColour(1), CurveMark::Markers},
                                      {"simulated", CurveColour(2), CurveMark::Line}}));

  const std::string svg = PictureToSvg(d.picture, 640, 480);
  for (const char* part : {"<clipPath id=\"clip1\">", "<g clip-path=\"url(#clip1)\">",
                           ">measured</text>", ">simulated</text>", ">-0.5</text>", ">0.</text>",
                           ">0.1</text>", ">-2</text>", ">5</text>"}) {
    EXPECT_NE(svg.find(part), std::string::npos) << part;
  }

  // Within automatic limits nothing leaves the frame: no clip. One curve needs no key.
  curves.curveCount = 1;
  const Drawn automatic = Draw(curves, {}, typed);
  EXPECT_TRUE(automatic.clips.empty());
  EXPECT_TRUE(automatic.legends.empty());
  EXPECT_EQ(automatic.rectangles.size(), 1u + 121u);
}

// Peaks are marked where they lie inside the frame, in their curve's colour, and the marks go
// with the next pass's Clear.
TEST(PlotPeaks, MarksStandOnThePeaksInsideTheFrame) {
  Picture picture;
  model::PlotSettings settings = Settings();
  const PlotResult result = DrawPlot(picture, Sweep(0, 3.4e-6), {}, settings);
  ASSERT_TRUE(result.frame);
  picture.SetFrame(*result.frame);
  const std::size_t drawn = picture.ops().size();
  const PeakMark marks[] = {{2, 1, 0.1, 2e-6}, {1, 2, 0.9, 2e-6}};  // the second beyond +0.3 V
  MarkPeaks(picture, marks);
  std::vector<Op> lines;
  Strings texts;
  Colour colour = kBlack;
  for (std::size_t j = drawn; j < picture.ops().size(); ++j) {
    Op op = picture.ops()[j];
    if (op.kind == Picture::OpKind::Colour) colour = op.colour;
    if (op.kind == Picture::OpKind::Text) texts.push_back(op.text);
    if (op.kind == Picture::OpKind::Line) {
      op.colour = colour;
      lines.push_back(op);
    }
  }
  ASSERT_EQ(lines.size(), 2u);  // one cross
  for (const Op& l : lines) {
    EXPECT_NEAR((l.a + l.c) / 2, 0.1, 1e-12);
    EXPECT_NEAR((l.b + l.d) / 2, 2e-6, 1e-18);
    EXPECT_EQ(l.colour, CurveColour(2));
  }
  EXPECT_EQ(texts, Strings{"P1"});

  Picture blank;
  MarkPeaks(blank, marks);  // no frame drawn: nothing to mark on
  EXPECT_TRUE(blank.empty());
}

}  // namespace
}  // namespace kivex::display
