#include "display/plot.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "display/picture.h"
#include "model/number_text.h"

namespace kivex::display {
namespace {

// Records what a pass draws, each item with where it lands on the surface as fractions of the
// width (0 left) and height (0 top), through the window in effect when it was drawn.
class RecordingCanvas : public Canvas {
 public:
  struct Placed {
    std::string text;
    double userX, userY;
    double screenX, screenY;
    TextAnchor anchor;
  };
  struct Segment {
    double x1, y1, x2, y2;
    PenStyle pen;
  };

  void Clear() override {
    *this = RecordingCanvas();
    ++clears;
  }
  void SetWindow(double l, double t, double r, double b) override {
    windows.push_back({l, t, r, b});
  }
  void SetPen(PenStyle style) override {
    pen = style;
    pens.push_back(style);
  }
  void MoveTo(double x, double y) override {
    posX = x;
    posY = y;
  }
  void SetTextAnchor(TextAnchor a) override { anchor = a; }
  void Text(std::string_view text) override {
    const auto& w = windows.back();
    texts.push_back({std::string(text), posX, posY, (posX - w[0]) / (w[2] - w[0]),
                     (posY - w[1]) / (w[3] - w[1]), anchor});
  }
  void Point(double x, double y) override { points.push_back({x, y}); }
  void Line(double x1, double y1, double x2, double y2) override {
    lines.push_back({x1, y1, x2, y2, pen});
  }
  void Rectangle(double x1, double y1, double x2, double y2) override {
    rectangles.push_back({x1, y1, x2, y2});
  }

  // The texts that `keep` accepts, in drawing order.
  std::vector<std::string> TextsWhere(bool (*keep)(const Placed&)) const {
    std::vector<std::string> out;
    for (const Placed& p : texts) {
      if (keep(p)) out.push_back(p.text);
    }
    return out;
  }
  const Placed* Find(std::string_view text) const {
    for (const Placed& p : texts) {
      if (p.text == text) return &p;
    }
    return nullptr;
  }

  int clears = 0;
  std::vector<std::array<double, 4>> windows;
  std::vector<PenStyle> pens;
  std::vector<Placed> texts;
  std::vector<std::array<double, 2>> points;
  std::vector<Segment> lines;
  std::vector<std::array<double, 4>> rectangles;
  PenStyle pen = PenStyle::Solid;
  TextAnchor anchor = TextAnchor::TopLeft;
  double posX = 0, posY = 0;
};

bool IsYLabel(const RecordingCanvas::Placed& p) { return p.anchor == TextAnchor::MiddleRight; }
bool IsXLabel(const RecordingCanvas::Placed& p) {
  return p.anchor == TextAnchor::TopCentre && p.text != "E /V";
}

// A sweep of n points from 0.3 V to -0.3 V with curve 1 rising linearly from lo to hi.
model::CurveSet Sweep(double lo, double hi, int n = 61) {
  model::CurveSet curves;
  for (int i = 1; i <= n; ++i) {
    curves.x(i) = 0.3 - 0.6 * (i - 1) / (n - 1);
    curves.y(i, 1) = lo + (hi - lo) * (i - 1) / (n - 1);
  }
  curves.pointCount = curves.lastPoint = static_cast<model::Count>(n);
  curves.firstPoint = 1;
  curves.curveCount = curves.storedCurveCount = curves.currentCurve = 1;
  return curves;
}

model::PlotSettings Settings() {
  model::PlotSettings settings;
  for (int k = 1; k <= model::kMaxCurves; ++k) settings.lineStyle(k) = 3;
  return settings;
}

struct Pass {
  RecordingCanvas canvas;
  model::PlotSettings settings = Settings();
  PlotResult result;
};

Pass Draw(const model::CurveSet& curves, PlotOptions options = {},
          model::PlotSettings settings = Settings()) {
  Pass pass;
  pass.settings = settings;
  pass.result = DrawPlot(pass.canvas, curves, options, pass.settings);
  return pass;
}

TEST(PlotLimits, MicroampereDataGiveWholeUnitsWithHeadRoom) {
  const Pass pass = Draw(Sweep(0.2e-6, 3.4e-6));
  ASSERT_EQ(pass.result.outcome, PlotOutcome::Drawn);
  EXPECT_EQ(pass.result.unit, 1e-6);
  EXPECT_DOUBLE_EQ(pass.settings.yMax, 4e-6);
  EXPECT_DOUBLE_EQ(pass.settings.yMin, -1e-6);
  EXPECT_DOUBLE_EQ(pass.settings.xMax, 0.3);
  EXPECT_DOUBLE_EQ(pass.settings.xMin, -0.3);
  ASSERT_NE(pass.canvas.Find("I /A  1E-6"), nullptr);
  // Reversed axis (the start state): the labels run from the top down.
  EXPECT_EQ(pass.canvas.TextsWhere(IsYLabel),
            (std::vector<std::string>{"4", "3", "2", "1", "0", "-1"}));

  // Window: 10 % either side in X, 1.5 units above and 1.8 below in Y, then X exchanged.
  ASSERT_EQ(pass.canvas.windows.size(), 2u);
  const auto& first = pass.canvas.windows[0];
  EXPECT_NEAR(first[0], -0.36, 1e-12);
  EXPECT_NEAR(first[1], 5.5e-6, 1e-18);
  EXPECT_NEAR(first[2], 0.36, 1e-12);
  EXPECT_NEAR(first[3], -2.8e-6, 1e-18);
  EXPECT_EQ(pass.canvas.windows[1],
            (std::array<double, 4>{first[2], first[1], first[0], first[3]}));
}

TEST(PlotLimits, AllZeroDataGiveAMillionEitherWay) {
  const Pass pass = Draw(Sweep(0, 0));
  ASSERT_EQ(pass.result.outcome, PlotOutcome::Drawn);
  EXPECT_EQ(pass.result.unit, 1e6);
  EXPECT_EQ(pass.settings.yMax, 1e6);
  EXPECT_EQ(pass.settings.yMin, -1e6);
  EXPECT_NE(pass.canvas.Find("I /A  1E6"), nullptr);
}

TEST(PlotLimits, EveryDecadeFromFemtoToMegaIsItsOwnUnit) {
  for (int p = -15; p <= 6; ++p) {
    const double unit = *model::ParseNumber("1e" + std::to_string(p));
    EXPECT_DOUBLE_EQ(DecadeUnit(unit), unit) << p;
    EXPECT_DOUBLE_EQ(DecadeUnit(9.99 * unit), unit) << p;
    const Pass pass = Draw(Sweep(0.2 * unit, 3.4 * unit));
    EXPECT_DOUBLE_EQ(pass.result.unit, unit) << p;
    EXPECT_DOUBLE_EQ(pass.settings.yMax, 4 * unit) << p;
    EXPECT_DOUBLE_EQ(pass.settings.yMin, -unit) << p;
    EXPECT_NE(pass.canvas.Find("I /A  1E" + std::to_string(p)), nullptr) << p;
    EXPECT_EQ(pass.canvas.TextsWhere(IsYLabel),
              (std::vector<std::string>{"4", "3", "2", "1", "0", "-1"}))
        << p;
  }
  // Nothing measurable: the axis is flat at zero, a million either way.
  EXPECT_EQ(DecadeUnit(0), 1e6);
  EXPECT_EQ(DecadeUnit(9e-16), 1e6);
}

TEST(PlotLimits, LargeValuesKeepTheirOwnDecade) {
  EXPECT_EQ(DecadeUnit(5e7), 1e7);
  EXPECT_EQ(DecadeUnit(2.5e12), 1e12);
  const Pass pass = Draw(Sweep(0, 3.4e9));
  EXPECT_EQ(pass.result.unit, 1e9);
  EXPECT_EQ(pass.canvas.TextsWhere(IsYLabel).size(), 6u);  // not thousands of ticks
}

TEST(PlotLimits, NegativeDataKeepZeroInTheRange) {
  const Pass pass = Draw(Sweep(-2.5e-3, -0.1e-3));
  EXPECT_EQ(pass.result.unit, 1e-3);
  EXPECT_DOUBLE_EQ(pass.settings.yMax, 1e-3);  // the range keeps 0
  EXPECT_DOUBLE_EQ(pass.settings.yMin, -3e-3);
}

TEST(PlotOutcomeTest, NoDataWhenEitherRangeIsEmpty) {
  const model::CurveSet empty;
  Pass pass = Draw(empty);
  EXPECT_EQ(pass.result.outcome, PlotOutcome::NoData);
  EXPECT_EQ(pass.canvas.clears, 1);
  EXPECT_TRUE(pass.canvas.windows.empty());
  EXPECT_TRUE(pass.canvas.texts.empty());
  EXPECT_EQ(pass.settings.xMin, 0);
  EXPECT_EQ(pass.settings.xMax, 0);

  // Typed X limits over an empty set still give axes, flat at zero.
  PlotOptions fixedX;
  fixedX.xAuto = false;
  model::PlotSettings typed = Settings();
  typed.xMin = -0.3;
  typed.xMax = 0.3;
  pass = Draw(empty, fixedX, typed);
  EXPECT_EQ(pass.result.outcome, PlotOutcome::Drawn);
  EXPECT_EQ(pass.settings.yMax, 1e6);

  // Equal typed Y limits.
  PlotOptions fixedY;
  fixedY.yAuto = false;
  typed.yMin = typed.yMax = 1e-3;
  EXPECT_EQ(Draw(Sweep(0, 1e-6), fixedY, typed).result.outcome, PlotOutcome::NoData);
}

TEST(PlotOutcomeTest, ANonFiniteValueStopsThePass) {
  model::CurveSet curves = Sweep(0, 1e-6);
  curves.y(30, 1) = std::nan("");
  const Pass pass = Draw(curves);
  EXPECT_EQ(pass.result.outcome, PlotOutcome::Stopped);
  EXPECT_FALSE(pass.result.failure.empty());
}

TEST(PlotAxes, YLabelsSitWhereThePotentialAxisStarts) {
  PlotOptions options;
  for (bool reversed : {true, false}) {
    options.xReversed = reversed;
    const Pass pass = Draw(Sweep(0.2e-6, 3.4e-6), options);
    const double edge = reversed ? pass.settings.xMax : pass.settings.xMin;
    int labels = 0;
    for (const auto& p : pass.canvas.texts) {
      if (!IsYLabel(p)) continue;
      ++labels;
      // Beyond the data end in user terms, and on the left of the frame on screen.
      EXPECT_TRUE(reversed ? p.userX > edge : p.userX < edge) << p.text;
      EXPECT_LT(p.screenX, 0.1 / 1.2) << p.text;
      EXPECT_GT(p.screenX, 0.0) << p.text;
    }
    EXPECT_EQ(labels, 6);
    // The potential labels run left to right from + to - when reversed.
    const auto* plus = pass.canvas.Find("0.3");
    const auto* minus = pass.canvas.Find("-0.3");
    ASSERT_TRUE(plus && minus);
    EXPECT_EQ(plus->screenX < minus->screenX, reversed);
    // Ticks point into the frame from the starting edge.
    int ticks = 0;
    for (const auto& line : pass.canvas.lines) {
      if (line.y1 == line.y2 && line.x1 == edge && line.pen == PenStyle::Solid) {
        ++ticks;
        EXPECT_NEAR(std::fabs(line.x2 - line.x1), 0.006, 1e-12);
        EXPECT_TRUE(reversed ? line.x2 < edge : line.x2 > edge);
      }
    }
    EXPECT_EQ(ticks, 6);
  }
}

TEST(PlotAxes, TitlesFrameAndPotentialTicks) {
  const Pass pass = Draw(Sweep(0.2e-6, 3.4e-6));
  const auto* yTitle = pass.canvas.Find("I /A  1E-6");
  ASSERT_NE(yTitle, nullptr);
  EXPECT_LT(yTitle->screenX, 0.02);
  EXPECT_LT(yTitle->screenY, 0.02);
  EXPECT_EQ(yTitle->anchor, TextAnchor::TopLeft);
  const auto* xTitle = pass.canvas.Find("E /V");
  ASSERT_NE(xTitle, nullptr);
  EXPECT_NEAR(xTitle->userX, 0, 1e-12);
  EXPECT_NEAR(xTitle->userY, -2e-6, 1e-18);  // one unit below the frame

  ASSERT_EQ(pass.canvas.rectangles.size(), 1u);  // the frame only: the curve is solid
  const std::array<double, 4> frame = {-0.3, -1e-6, 0.3, 4e-6};
  for (int c = 0; c < 4; ++c) EXPECT_DOUBLE_EQ(pass.canvas.rectangles[0][c], frame[c]);

  EXPECT_EQ(pass.canvas.TextsWhere(IsXLabel),
            (std::vector<std::string>{"-0.3", "-0.2", "-0.1", "0.", "0.1", "0.2", "0.3"}));
  for (const auto& p : pass.canvas.texts) {
    if (IsXLabel(p)) {
      EXPECT_GT(p.screenY, yTitle->screenY);
    }
  }
  int ticks = 0;
  for (const auto& line : pass.canvas.lines) {
    if (line.x1 == line.x2 && line.y1 == -1e-6) {
      ++ticks;
      EXPECT_NEAR(line.y2, -1e-6 + 0.02 * 5e-6, 1e-18);
    }
  }
  EXPECT_EQ(ticks, 7);
}

TEST(PlotAxes, ZeroLineIsDashedOnlyWhenZeroIsInside) {
  Pass pass = Draw(Sweep(0.2e-6, 3.4e-6));
  int dashed = 0;
  for (const auto& line : pass.canvas.lines) {
    if (line.pen == PenStyle::Dashed) {
      ++dashed;
      EXPECT_EQ(line.y1, 0);
      EXPECT_EQ(line.y2, 0);
      EXPECT_DOUBLE_EQ(line.x1, -0.3);
      EXPECT_DOUBLE_EQ(line.x2, 0.3);
    }
  }
  EXPECT_EQ(dashed, 1);
  EXPECT_EQ(pass.canvas.pen, PenStyle::Solid);

  PlotOptions fixed;
  fixed.yAuto = false;
  model::PlotSettings typed = Settings();
  typed.yMin = 0;
  typed.yMax = 4e-6;
  pass = Draw(Sweep(0.2e-6, 3.4e-6), fixed, typed);
  for (const auto& line : pass.canvas.lines) EXPECT_EQ(line.pen, PenStyle::Solid);
}

TEST(PlotCurvesStyles, DottedMarkersSolidAndNone) {
  model::CurveSet curves = Sweep(0.2e-6, 3.4e-6, 11);
  curves.curveCount = 4;
  for (int i = 1; i <= 11; ++i) {
    curves.y(i, 2) = curves.y(i, 3) = curves.y(i, 4) = 1e-6;
  }
  model::PlotSettings settings = Settings();
  settings.lineStyle(1) = 1;  // dotted
  settings.lineStyle(2) = 2;  // markers
  settings.lineStyle(3) = 3;  // solid
  settings.lineStyle(4) = 0;  // no such style: not drawn
  const Pass pass = Draw(curves, {}, settings);

  ASSERT_EQ(pass.canvas.points.size(), 11u);
  EXPECT_EQ(pass.canvas.points[4], (std::array<double, 2>{curves.x(5), curves.y(5, 1)}));

  ASSERT_EQ(pass.canvas.rectangles.size(), 1u + 11u);  // frame + one marker a point
  const auto& marker = pass.canvas.rectangles[1 + 3];
  EXPECT_NEAR(marker[2] - marker[0], 0.01 * 0.6, 1e-12);
  EXPECT_NEAR(marker[3] - marker[1], 0.01 * 5e-6, 1e-18);
  EXPECT_NEAR((marker[0] + marker[2]) / 2, curves.x(4), 1e-12);

  int curveSegments = 0;
  for (const auto& line : pass.canvas.lines) {
    // Longer than a tick: a piece of the curve.
    if (line.y1 == 1e-6 && line.y2 == 1e-6 && std::fabs(line.x2 - line.x1) > 0.03) ++curveSegments;
  }
  EXPECT_EQ(curveSegments, 10);  // curve 3 joins its 11 points; curve 4 draws nothing
}

TEST(PlotCurvesStyles, TheSixthSpeciesIsDrawnSolid) {
  model::CurveSet curves = Sweep(0, 1e-3, 5);
  curves.curveCount = 6;
  for (int i = 1; i <= 5; ++i) curves.y(i, 6) = 2e-3;
  model::PlotSettings settings = Settings();
  for (int k = 1; k <= 5; ++k) settings.lineStyle(k) = 1;
  const Pass pass = Draw(curves, {}, settings);
  ASSERT_EQ(pass.result.outcome, PlotOutcome::Drawn);
  EXPECT_EQ(pass.settings.yMax, 3e-3);
  int segments = 0;
  for (const auto& line : pass.canvas.lines) {
    segments += line.y1 == 2e-3 && line.y2 == 2e-3 && std::fabs(line.x2 - line.x1) > 0.03;
  }
  EXPECT_EQ(segments, 4);
}

// Spacing of the labelled ticks: all equal, all labels distinct.
void ExpectEvenDistinctTicks(const RecordingCanvas& canvas,
                             bool (*keep)(const RecordingCanvas::Placed&), bool horizontal,
                             int minCount, int maxCount) {
  std::vector<double> at;
  std::vector<std::string> labels;
  for (const auto& p : canvas.texts) {
    if (!keep(p)) continue;
    at.push_back(horizontal ? p.userX : p.userY);
    labels.push_back(p.text);
  }
  ASSERT_GE(static_cast<int>(at.size()), minCount);
  ASSERT_LE(static_cast<int>(at.size()), maxCount);
  for (std::size_t j = 2; j < at.size(); ++j) {
    EXPECT_NEAR(at[j] - at[j - 1], at[1] - at[0], 1e-9 * std::fabs(at[1] - at[0]));
  }
  for (std::size_t j = 1; j < labels.size(); ++j) {
    for (std::size_t i = 0; i < j; ++i) EXPECT_NE(labels[i], labels[j]);
  }
}

TEST(PlotTicks, NarrowPotentialRangesStillGetTicks) {
  // 0.05 V or less made Round(10 xRange) zero: ticks now fall on a 1-2-5 spacing.
  for (double half : {0.025, 0.02, 0.004}) {
    model::CurveSet curves = Sweep(0.2e-6, 3.4e-6, 21);
    for (int i = 1; i <= 21; ++i) curves.x(i) = half - 2 * half * (i - 1) / 20;
    const Pass pass = Draw(curves);
    ASSERT_EQ(pass.result.outcome, PlotOutcome::Drawn) << half;
    ExpectEvenDistinctTicks(pass.canvas, IsXLabel, true, 4, 11);
    for (const auto& p : pass.canvas.texts) {
      if (IsXLabel(p)) {
        EXPECT_GE(p.userX, -half - 1e-12);
        EXPECT_LE(p.userX, half + 1e-12);
      }
    }
    // Ticks, labels and the Y axis all drawn to the end.
    EXPECT_EQ(pass.canvas.TextsWhere(IsYLabel).size(), 6u) << half;
  }
  model::CurveSet curves = Sweep(0, 1e-6, 21);
  for (int i = 1; i <= 21; ++i) curves.x(i) = 0.02 - 0.04 * (i - 1) / 20;
  const Pass pass = Draw(curves);
  EXPECT_EQ(pass.canvas.TextsWhere(IsXLabel),
            (std::vector<std::string>{"-0.02", "-0.015", "-0.01", "-0.005", "0.", "0.005", "0.01",
                                      "0.015", "0.02"}));
}

TEST(PlotTicks, WidePotentialRangesAreNotCrowded) {
  model::CurveSet curves = Sweep(0, 1e-6, 21);
  for (int i = 1; i <= 21; ++i) curves.x(i) = 300 - 600.0 * (i - 1) / 20;  // after "1000X"
  Pass pass = Draw(curves);
  ExpectEvenDistinctTicks(pass.canvas, IsXLabel, true, 5, 16);
  EXPECT_NE(pass.canvas.Find("-200."), nullptr);

  // Up to 1.5 V the ticks stay about every 0.1 V.
  for (int i = 1; i <= 21; ++i) curves.x(i) = 0.7 - 1.4 * (i - 1) / 20;
  pass = Draw(curves);
  EXPECT_EQ(pass.canvas.TextsWhere(IsXLabel).size(), 15u);
}

TEST(PlotTicks, SmallTypedYMaxStillGetsTicks) {
  // yMax of less than half a unit made Round(yMax / unit) zero.
  PlotOptions options;
  options.xReversed = false;
  options.yAuto = false;
  model::PlotSettings typed = Settings();
  typed.yMin = -1e-3;
  typed.yMax = 0.4e-3;
  Pass pass = Draw(Sweep(0, 1e-4), options, typed);
  ASSERT_EQ(pass.result.outcome, PlotOutcome::Drawn);
  EXPECT_EQ(pass.result.unit, 1e-3);
  EXPECT_EQ(pass.canvas.TextsWhere(IsYLabel),
            (std::vector<std::string>{"-1", "-0.8", "-0.6", "-0.4", "-0.2", "0", "0.2", "0.4"}));

  typed.yMax = 0;
  pass = Draw(Sweep(0, 1e-4), options, typed);
  ExpectEvenDistinctTicks(pass.canvas, IsYLabel, false, 5, 11);

  // Reversed, a small yMin magnitude does the same.
  options.xReversed = true;
  typed.yMin = -0.2e-3;
  typed.yMax = 1e-3;
  pass = Draw(Sweep(0, 1e-4), options, typed);
  EXPECT_EQ(pass.canvas.TextsWhere(IsYLabel),
            (std::vector<std::string>{"1", "0.8", "0.6", "0.4", "0.2", "0", "-0.2"}));
}

TEST(PlotTicks, LabelsBetweenWholeUnitsShowTheirDecimals) {
  // 1.5 units split into 2 steps of 0.75: the labels say so instead of rounding to "1", "1".
  PlotOptions options;
  options.xReversed = false;
  options.yAuto = false;
  model::PlotSettings typed = Settings();
  typed.yMin = -1.5e-3;
  typed.yMax = 1.5e-3;
  const Pass pass = Draw(Sweep(0, 1e-4), options, typed);
  EXPECT_EQ(pass.canvas.TextsWhere(IsYLabel),
            (std::vector<std::string>{"-1.5", "-0.75", "0", "0.75", "1.5"}));
}

TEST(PlotTicks, ExtremeTypedLimitsDrawOrStopButNeverRunAway) {
  PlotOptions fixed;
  fixed.xAuto = fixed.yAuto = false;
  const double extremes[][4] = {
      {0, 1e-310, -1e-3, 1e-3},     // a potential range near the smallest doubles
      {-1e300, 1e300, -1, 1},       // ranges near the largest
      {-0.3, 0.3, -1e300, 1e300},   //
      {-0.3, 0.3, -1e-20, 1e-20},   // below the smallest decade
      {0.3, -0.3, 1e-3, -1e-3},     // limits typed the wrong way round
      {-0.3, 0.3, -1e308, 1.7e308}  // a Y range that overflows
  };
  for (const auto& e : extremes) {
    model::PlotSettings typed = Settings();
    typed.xMin = e[0];
    typed.xMax = e[1];
    typed.yMin = e[2];
    typed.yMax = e[3];
    const Pass pass = Draw(Sweep(0, 1e-6), fixed, typed);
    EXPECT_NE(pass.result.outcome, PlotOutcome::NoData) << e[0] << " " << e[3];
    EXPECT_LT(pass.canvas.texts.size(), 60u) << e[0] << " " << e[3];
  }
}

TEST(PlotGrid, LinesOnTheTicksInsideTheFrame) {
  model::PlotSettings settings = Settings();
  settings.grid = true;
  const Pass pass = Draw(Sweep(0.2e-6, 3.4e-6), {}, settings);
  const model::PlotSettings& s = pass.settings;
  int vertical = 0;
  int horizontal = 0;
  for (const auto& line : pass.canvas.lines) {
    if (line.x1 == line.x2 && line.y1 == s.yMin && line.y2 == s.yMax) ++vertical;
    if (line.y1 == line.y2 && line.x1 == s.xMin && line.x2 == s.xMax &&
        line.pen == PenStyle::Solid) {
      ++horizontal;
    }
  }
  EXPECT_EQ(vertical, 5);    // -0.2 .. 0.2
  EXPECT_EQ(horizontal, 4);  // 0 .. 3 units
}

TEST(PlotTitles, OneTitlePerOutputQuantity) {
  EXPECT_EQ(YTitle("current I", 1e-6), "I /A  1E-6");
  EXPECT_EQ(YTitle("resistance R", 1e3), "R /Ohm  1E3");
  EXPECT_EQ(YTitle("conductance Cond", 1e-2), "Cond *Ohm  1E-2");
  EXPECT_EQ(YTitle("surface concentration C", 1e-4), "C /M  1E-4");
  EXPECT_EQ(YTitle("", 1), "");

  PlotOptions options;
  options.outputQuantity = "something else";
  const Pass pass = Draw(Sweep(0.2e-6, 3.4e-6), options);
  for (const auto& p : pass.canvas.texts) EXPECT_NE(p.anchor, TextAnchor::TopLeft) << p.text;
}

}  // namespace
}  // namespace kivex::display
