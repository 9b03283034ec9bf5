#include "numerics/calculus.h"

#include <vector>

#include "model/checked_math.h"

namespace kivex::numerics {

void Differentiate(const XAxis& x, std::span<double> column, int count) {
  RequirePoints(column, count, 2, "differentiate");
  Differentiate(column, count, PointSpacing(x, "differentiate"));
}

void Differentiate(std::span<double> column, int count, double h) {
  RequirePoints(column, count, 2, "differentiate");
  const int n = count;
  std::vector<double> d(static_cast<std::size_t>(n) + 1, 0.0);
  d[1] = model::Div(column[2] - column[1], h);
  for (int i = 2; i <= n - 1; ++i) d[i] = model::Div(column[i + 1] - column[i - 1], 2.0 * h);
  d[n] = model::Div(column[n] - column[n - 1], h);
  for (int i = 1; i <= count; ++i) column[i] = d[i];
}

void Integrate(const XAxis& x, std::span<double> column, int count) {
  RequirePoints(column, count, 2, "integrate");
  Integrate(column, count, PointSpacing(x, "integrate"));
}

void Integrate(std::span<double> column, int count, double h) {
  RequirePoints(column, count, 2, "integrate");
  std::vector<double> g(static_cast<std::size_t>(count) + 1, 0.0);
  double sum = 0.0;
  for (int i = 1; i <= count; ++i) {
    sum = model::Finite(sum + column[i] * h);
    g[i] = sum;
  }
  for (int i = 1; i <= count; ++i) column[i] = g[i];
}

}  // namespace kivex::numerics
