#pragma once
// The plot window's drawing pass: axes with automatic or fixed limits, decade-scaled Y labels, the
// potential axis, an optional grid and every displayed curve in its own colour and line style,
// cut at the frame, with a key naming the curves when there are two or more; drawn onto any
// Canvas. The pass knows nothing of dialogs: the caller hands it the option values.
//
//   display::Picture picture;
//   display::PlotOptions options;           // auto limits, potential axis from + to -
//   display::PlotResult result = display::DrawPlot(picture, curves, options, settings);
//   if (result.outcome == display::PlotOutcome::NoData) ShowMessage(display::kNoDataMessage);
//
// Layout: the frame keeps the same share of the window whatever the limits (10 % of the X range
// either side, 15 % of the Y range above and 18 % below). The Y title hangs from the window's
// top-left corner and the key sits just above the frame's right end; X labels hang centred below
// their ticks, the "E /V" title centred a tenth of the Y range below the frame; Y labels end just
// outside the frame, vertically centred on their ticks, on the side where the potential axis
// starts (the left of the window in both directions). Ticks stand on round values (axis_ticks.h).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "display/canvas.h"
#include "display/picture.h"
#include "model/curve_set.h"
#include "model/plot_settings.h"

namespace kivex::display {

inline constexpr std::string_view kNoDataMessage = "Error: No data!";

// Option values the pass reads besides PlotSettings (which supplies the fixed limits, `grid`
// and `lineStyle`).
struct PlotOptions {
  bool xAuto = true;
  bool yAuto = true;
  bool xReversed = true;  // potential axis from positive (left) to negative (right)
  model::OutputQuantity outputQuantity = model::OutputQuantity::Current;
  // The key's name of curve k in entry k - 1 ("measured", "simulated", "B"); "curve k" where
  // there is none.
  std::vector<std::string> curveNames;
};

enum class PlotOutcome {
  Drawn,
  NoData,   // an X or Y range of zero: the window is cleared and nothing more is drawn
  Stopped,  // an arithmetic failure (a non-finite value) ended the pass part way
};

struct PlotResult {
  PlotOutcome outcome = PlotOutcome::Drawn;
  double unit = 0;      // the Y axis's decade unit; 0 when the pass stopped before choosing it
  std::string failure;  // what stopped the pass
  std::optional<PlotFrame> frame;  // once the frame's window was set
};

// One complete pass: clears the canvas, writes the automatic limits back into `settings` (they
// stay there even when the pass then finds no data) and draws.
PlotResult DrawPlot(Canvas& canvas, const model::CurveSet& curves, const PlotOptions& options,
                    model::PlotSettings& settings);

// The power of ten of the largest magnitude m on the Y axis, and 1E6 for m = 0, where the axis is
// flat at 0, or for m too small to scale (below 1E-300).
double DecadeUnit(double m);

// "I /A  1E-6" and its kin.
std::string YTitle(model::OutputQuantity outputQuantity, double unit);

// The part of the segment from (x1, y1) to (x2, y2) inside the frame's limits, as the curves are
// cut; false when none is, or an end is not finite.
bool CutToFrame(const PlotFrame& frame, double& x1, double& y1, double& x2, double& y2);

// Curve k's colour: black, then vermillion, blue, bluish green, reddish purple and orange, a set
// that readers with the common colour-vision deficiencies tell apart, each dark enough on white.
Colour CurveColour(int k);

}  // namespace kivex::display
