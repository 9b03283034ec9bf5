#include "io/measured_points.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "io/file_error.h"
#include "io/layout_report.h"
#include "model/number_text.h"

namespace kivex::io {

namespace {

// The best column by `rank`, the first of equals; 0 when none ranks above 0.
template <typename Rank>
int BestColumn(const std::vector<ColumnInfo>& columns, Rank rank, int skip) {
  int best = 0;
  int bestRank = 0;
  for (int column = 1; column <= static_cast<int>(columns.size()); ++column) {
    if (column == skip) continue;
    const int r = rank(columns[static_cast<std::size_t>(column - 1)]);
    if (r > bestRank) {
      best = column;
      bestRank = r;
    }
  }
  return best;
}

// Whether a column's numbers rise from every row to the next (rows without one passed over), over
// at least three: a time or a point count, which a voltammogram's potential is only on a single
// sweep.
bool OnlyRises(const CurveFile& file, int column) {
  const auto columns = static_cast<std::size_t>(file.layout.columnCount);
  double last = std::nan("");
  std::size_t counted = 0;
  for (std::size_t row = 0; row < file.rows(); ++row) {
    const double value = file.values[row * columns + static_cast<std::size_t>(column - 1)];
    if (std::isnan(value)) continue;
    if (counted > 0 && !(value > last)) return false;
    last = value;
    ++counted;
  }
  return counted >= 3;
}

// The columns the names do not place that could hold a potential or a current: of no known
// quantity (a time, charge or cycle named as such is none of them), in file order. A column that
// only rises is left out from the front while `needed` others remain: instruments write a time or
// a point count before the potential.
std::vector<int> UnnamedColumns(const CurveFile& file, std::size_t needed) {
  std::vector<int> unnamed;
  const std::vector<ColumnInfo>& columns = file.layout.columnInfo;
  for (int column = 1; column <= static_cast<int>(columns.size()); ++column) {
    const ColumnInfo& info = columns[static_cast<std::size_t>(column - 1)];
    if (!info.text && !info.setting && info.quantity == Quantity::Unknown) {
      unnamed.push_back(column);
    }
  }
  while (unnamed.size() > needed && OnlyRises(file, unnamed.front()))
    unnamed.erase(unnamed.begin());
  return unnamed;
}

void CheckChoice(const CurveFileLayout& layout, ColumnChoice choice) {
  const int columns = layout.columnCount;
  for (int column : {choice.potential, choice.value}) {
    if (column < 1 || column > columns) {
      throw FileError("column " + std::to_string(column) + " was chosen, but the file has " +
                      std::to_string(columns) + " columns");
    }
  }
  if (choice.potential == choice.value) {
    throw FileError("the potential and the value cannot both come from column " +
                    std::to_string(choice.value));
  }
  for (int column : {choice.potential, choice.value}) {
    const ColumnInfo* info = ColumnOf(layout, column);
    if (info != nullptr && info->text) {
      throw FileError(ColumnText(layout, column) + " holds text, not numbers");
    }
  }
}

std::string Count(long long n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

// A row without a number in the potential or the value column gives no point.
bool PaddingRow(const CurveFile& file, std::size_t row, ColumnChoice choice) {
  const double* values =
      file.values.data() + row * static_cast<std::size_t>(file.layout.columnCount);
  return std::isnan(values[static_cast<std::size_t>(choice.potential - 1)]) ||
         std::isnan(values[static_cast<std::size_t>(choice.value - 1)]);
}

// The line of the file that gave `point` of TakePoints' points; 0 when not known.
long long PointLine(const CurveFile& file, ColumnChoice choice, std::size_t point) {
  std::size_t seen = 0;
  for (std::size_t row = 0; row < file.rows(); ++row) {
    if (PaddingRow(file, row, choice)) continue;
    if (seen++ == point) return file.rowLines.Line(row);
  }
  return 0;
}

}  // namespace

ColumnChoice ProposedColumns(const CurveFile& file) {
  const CurveFileLayout& layout = file.layout;
  const std::vector<ColumnInfo>& columns = layout.columnInfo;
  if (!layout.columns || columns.empty()) return {};
  int potential = BestColumn(columns, PotentialRank, 0);
  int current = BestColumn(columns, CurrentRank, potential);
  // What the names leave open goes to the first columns they do not place.
  const std::size_t open = (potential == 0 ? 1 : 0) + (current == 0 ? 1 : 0);
  for (int column : UnnamedColumns(file, open)) {
    if (potential == 0) {
      potential = column;
    } else if (current == 0) {
      current = column;
    }
  }
  if (potential == 0 || current == 0) return {};
  return {potential, current};
}

MeasuredPoints TakePoints(const CurveFile& file, ColumnChoice choice, CurrentSign sign) {
  const CurveFileLayout& layout = file.layout;
  CheckChoice(layout, choice);
  auto scaleOf = [&](int column) {
    const ColumnInfo* info = ColumnOf(layout, column);
    return info == nullptr ? 1.0 : info->scale;
  };
  const double xScale = scaleOf(choice.potential);
  const double yScale = scaleOf(choice.value);
  const bool turned = TurnsSign(layout, choice, sign);
  const int time = TimeColumn(layout);
  const double tScale = scaleOf(time);
  const bool cycles = !file.rowCycle.empty();

  MeasuredPoints points;
  const auto columns = static_cast<std::size_t>(layout.columnCount);
  const std::size_t rows = file.rows();
  const auto x = static_cast<std::size_t>(choice.potential - 1);
  const auto y = static_cast<std::size_t>(choice.value - 1);
  points.x.reserve(rows);
  points.y.reserve(rows);
  if (time > 0) points.t.reserve(rows);
  if (cycles) points.cycle.reserve(rows);
  for (std::size_t row = 0; row < rows; ++row) {
    const double* values = file.values.data() + row * columns;
    if (PaddingRow(file, row, choice)) {
      ++points.paddingRows;
      continue;
    }
    points.x.push_back(InBaseUnit(values[x], xScale));
    const double value = InBaseUnit(values[y], yScale);
    points.y.push_back(turned ? 0.0 - value : value);  // a turned zero stays +0
    if (time > 0)
      points.t.push_back(InBaseUnit(values[static_cast<std::size_t>(time - 1)], tScale));
    if (cycles) points.cycle.push_back(file.rowCycle[row]);
  }
  points.report = LayoutReport(layout, choice, sign);
  if (points.paddingRows > 0) {
    points.report.push_back("Skipped " + Count(points.paddingRows, "row", "rows") +
                            " without a potential or a current");
  }
  return points;
}

void RefuseStandingPotential(const CurveFile& file, ColumnChoice choice, std::span<const double> x,
                             std::span<const std::size_t> taken) {
  if (taken.size() < 2) return;
  const double first = x[taken[0]];
  if (std::any_of(taken.begin(), taken.end(), [&](std::size_t i) { return x[i] != first; })) {
    return;
  }
  const long long line = PointLine(file, choice, taken[1]);
  throw FileError((line > 0 ? "line " + std::to_string(line) + ": " : std::string()) +
                  "the potentials do not advance: every point lies at " +
                  model::ShortestText(first) + " V");
}

}  // namespace kivex::io
