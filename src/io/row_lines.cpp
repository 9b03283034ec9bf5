#include "io/row_lines.h"

#include <algorithm>

namespace kivex::io {

void RowLines::Add(long long line) {
  if (runs_.empty() ||
      line != runs_.back().line + static_cast<long long>(rows_ - runs_.back().row)) {
    runs_.push_back({rows_, line});
  }
  ++rows_;
}

long long RowLines::Line(std::size_t row) const {
  if (row >= rows_) return 0;
  const auto after = std::upper_bound(runs_.begin(), runs_.end(), row,
                                      [](std::size_t r, const Run& run) { return r < run.row; });
  const Run& run = *(after - 1);
  return run.line + static_cast<long long>(row - run.row);
}

}  // namespace kivex::io
