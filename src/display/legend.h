#pragma once
// The layout of the key to the curves, shared by every surface: each surface measures its own
// texts and draws the samples and texts where this puts them, in its own pixels.
//
//   LegendLayout layout = LayOutLegend(textWidths, frameRightPx, frameTopPx, frameWidthPx, 14);
//   // entry j: sample from layout.places[j].sampleLeft, text from .textLeft, both centred on .y

#include <span>
#include <vector>

namespace kivex::display {

// Sizes of a key's parts in pixels.
inline constexpr double kLegendSample = 20;   // the stretch of line (or marks) shown
inline constexpr double kLegendGap = 4;       // between a sample and its text
inline constexpr double kLegendSpacing = 14;  // between two entries of a row
inline constexpr double kLegendLift = 4;      // between the lowest row and the frame

struct LegendPlace {
  double sampleLeft = 0;
  double textLeft = 0;
  double y = 0;  // the vertical middle of the entry's row
};

struct LegendLayout {
  std::vector<LegendPlace> places;
  int rows = 0;
};

// Entries in reading order, as many to a row as fit in `available` pixels (always at least one),
// each row right-aligned to `right`; the lowest row sits just above `top` and the others stack
// upwards, `lineHeight` apart. The sizes above are multiplied by `scale`: device pixels per
// pixel of a 96 dpi screen (a printer has many).
LegendLayout LayOutLegend(std::span<const double> textWidths, double right, double top,
                          double available, double lineHeight, double scale = 1);

}  // namespace kivex::display
