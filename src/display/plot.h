#pragma once
// The plot window's drawing pass: axes with automatic or fixed limits, decade-scaled Y labels, the
// potential axis, an optional grid and every displayed curve in its own line style, drawn onto
// any Canvas. The pass knows nothing of dialogs: the caller hands it the option values.
//
//   display::Picture picture;
//   display::PlotOptions options;           // auto limits, potential axis from + to -
//   display::PlotResult result = display::DrawPlot(picture, curves, options, settings);
//   if (result.outcome == display::PlotOutcome::NoData) ShowMessage(display::kNoDataMessage);
//
// Text placement: the Y title hangs from the window's top-left corner; X labels hang centred
// below their ticks, the "E /V" title centred one Y unit below the frame; Y labels end just
// outside the frame, vertically centred on their ticks, on the side where the potential axis
// starts (the left of the window in both directions).

#include <string>
#include <string_view>

#include "display/canvas.h"
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
  std::string outputQuantity = "current I";  // the entry of the output-quantity list
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
};

// One complete pass: clears the canvas, writes the automatic limits back into `settings` (they
// stay there even when the pass then finds no data) and draws.
PlotResult DrawPlot(Canvas& canvas, const model::CurveSet& curves, const PlotOptions& options,
                    model::PlotSettings& settings);

// The power of ten of the largest magnitude m on the Y axis: 1E-15 .. 1E6 for m in that range,
// the plain decade from 1E7 up, and 1E6 for m = 0 or m below 1E-15 (such an axis is flat at 0).
double DecadeUnit(double m);

// "I /A  1E-6" and its kin; empty for an output quantity the plot does not know.
std::string YTitle(std::string_view outputQuantity, double unit);

}  // namespace kivex::display
