#include "display/legend.h"

namespace kivex::display {

LegendLayout LayOutLegend(std::span<const double> textWidths, double right, double top,
                          double available, double lineHeight, double scale) {
  const double sample = kLegendSample * scale;
  const double gap = kLegendGap * scale;
  const double spacing = kLegendSpacing * scale;
  LegendLayout layout;
  layout.places.resize(textWidths.size());
  // Rows from the top down: the entries [first, end) of each, and its width.
  struct Row {
    std::size_t first, end;
    double width;
  };
  std::vector<Row> rows;
  for (std::size_t j = 0; j < textWidths.size(); ++j) {
    const double width = sample + gap + textWidths[j];
    if (!rows.empty() && rows.back().width + spacing + width <= available) {
      rows.back().width += spacing + width;
      rows.back().end = j + 1;
    } else {
      rows.push_back({j, j + 1, width});
    }
  }
  layout.rows = static_cast<int>(rows.size());
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const double y =
        top - kLegendLift * scale - (static_cast<double>(rows.size() - r) - 0.5) * lineHeight;
    double x = right - rows[r].width;
    for (std::size_t j = rows[r].first; j < rows[r].end; ++j) {
      layout.places[j] = {x, x + sample + gap, y};
      x += sample + gap + textWidths[j] + spacing;
    }
  }
  return layout;
}

}  // namespace kivex::display
