#pragma once
// One curve as the kernels see it: a column of a 1-based table (slot 0 included) and the
// number of points in use, over the shared potential axis.
//
//   SemiDifferentiate(curves.x, ColumnOf(curves.y, curves.currentCurve), curves.pointCount);

#include <span>
#include <string_view>

#include "model/curve_set.h"

namespace kivex::numerics {

using XAxis = model::Table1<double, model::kMaxPoints>;

// Column k of a result or curve table, slots 0..4000.
template <typename Table>
std::span<double> ColumnOf(Table& table, int k) {
  return {table.Column(k), Table::kRows};
}

// Raises model::Failure naming `transform` when fewer than `minimum` points are in use, and the
// index failure when `count` exceeds what the column holds.
void RequirePoints(std::span<const double> column, int count, int minimum,
                   std::string_view transform);

// |x(2) - x(1)|, the spacing every transform takes as even; raises model::Failure when it is 0
// (a curve of repeated potentials cannot be differentiated or integrated).
double PointSpacing(const XAxis& x, std::string_view transform);

}  // namespace kivex::numerics
