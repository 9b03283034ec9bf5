#include "simulation/disc_field.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "model/checked_math.h"
#include "model/failure.h"

namespace kivex::simulation {

namespace {

constexpr double kQuarterTurn = std::numbers::pi / 2;

// Row nodes from 0 to `end`: a box e^growth - 1 times its distance from either end, within the
// bounds; boxes until they pass the end, then scaled so that the last node lands on it.
void BuildRows(double firstBox, double lastBox, double growth, double largestBox, double end,
               int columns, std::vector<double>& g) {
  if (!(firstBox > 0) || !(lastBox > 0) || !(largestBox > 0) || !(growth > 0) || columns < 1 ||
      !(end > 0)) {
    throw model::Failure("The two-dimensional grid is invalid");
  }
  const double rise = std::exp(growth) - 1;
  g.assign(1, 0.0);
  while (g.back() < end) {
    const double at = g.back();
    const double box =
        std::min({largestBox, std::max(firstBox, rise * at), std::max(lastBox, rise * (end - at))});
    g.push_back(at + box);
  }
  const double scale = end / g.back();
  for (double& node : g) node *= scale;
  g.back() = end;
}

}  // namespace

void BuildDiscGrid(double firstBox, double lastBox, double growth, double largestBox, int columns,
                   DiscGrid& grid) {
  BuildRows(firstBox, lastBox, growth, largestBox, kQuarterTurn, columns, grid.g);
  grid.surfaceFactor = 0.5;
  const int rows = static_cast<int>(grid.g.size()) - 1;
  grid.rows = rows;
  grid.columns = columns;

  // Faces at eta = 1 - cos(theta), theta even: cells as fine as theta^2 at the edge, where a
  // young layer bends round it, and as wide as theta's steps at the axis.
  auto face = [columns](int j) { return 1 - std::cos(kQuarterTurn * j / columns); };
  grid.eta.resize(static_cast<std::size_t>(columns));
  grid.discWeight.resize(static_cast<std::size_t>(columns));
  for (int j = 0; j < columns; ++j) {
    const double low = face(j), high = face(j + 1);
    grid.eta[j] = (low + high) / 2;
    // r dr = -a^2 eta d eta: the share of pi a^2 between the two faces.
    grid.discWeight[j] = high * high - low * low;
  }
  const auto cells = static_cast<std::size_t>(rows) * columns;
  grid.volume.resize(cells);
  grid.gFace.resize(cells);
  grid.etaFace.resize(cells);
  for (int i = 0; i < rows; ++i) {
    const double gLow = i == 0 ? 0.0 : (grid.g[i - 1] + grid.g[i]) / 2;
    const double gHigh = (grid.g[i] + grid.g[i + 1]) / 2;
    const double xiLow = std::tan(gLow), xiHigh = std::tan(gHigh);
    const double xiCube = (xiHigh * xiHigh * xiHigh - xiLow * xiLow * xiLow) / 3;
    for (int j = 0; j < columns; ++j) {
      const double low = face(j), high = face(j + 1);
      const std::size_t cell = static_cast<std::size_t>(i) * columns + j;
      grid.volume[cell] =
          xiCube * (high - low) + (xiHigh - xiLow) * (high * high * high - low * low * low) / 3;
      grid.gFace[cell] = (high - low) / (grid.g[i + 1] - grid.g[i]);
      grid.etaFace[cell] =
          j + 1 < columns ? (xiHigh - xiLow) * (1 - high * high) / (grid.eta[j + 1] - grid.eta[j])
                          : 0.0;
    }
  }
}

void BandMatrix::Reset(int size, int halfWidth) {
  size_ = size;
  halfWidth_ = halfWidth;
  stride_ = 2 * halfWidth + 1;
  values_.assign(static_cast<std::size_t>(size) * stride_, 0.0);
}

void BandMatrix::Factor() {
  for (int k = 0; k < size_; ++k) {
    const double pivot = Get(k, k);
    if (pivot == 0.0) model::ThrowFailure(model::kDivisionByZero);
    const int last = std::min(k + halfWidth_, size_ - 1);
    double* pivotRow = &At(k, k);
    for (int r = k + 1; r <= last; ++r) {
      double& lower = At(r, k);
      if (lower == 0.0) continue;
      lower /= pivot;
      const double factor = lower;
      double* row = &lower;
      for (int c = 1; c <= last - k; ++c) row[c] -= factor * pivotRow[c];
    }
  }
}

void BandMatrix::Solve(std::vector<double>& x) const {
  for (int r = 1; r < size_; ++r) {
    const int first = std::max(0, r - halfWidth_);
    double sum = x[r];
    for (int c = first; c < r; ++c) sum -= Get(r, c) * x[c];
    x[r] = sum;
  }
  for (int r = size_ - 1; r >= 0; --r) {
    const int last = std::min(size_ - 1, r + halfWidth_);
    double sum = x[r];
    for (int c = r + 1; c <= last; ++c) sum -= Get(r, c) * x[c];
    x[r] = sum / Get(r, r);
  }
}

void DenseSystem::Reset(int size) {
  size_ = size;
  values_.assign(static_cast<std::size_t>(size) * size, 0.0);
}

void DenseSystem::Solve(std::vector<double>& x) {
  const int n = size_;
  for (int k = 0; k < n; ++k) {
    int best = k;
    for (int r = k + 1; r < n; ++r) {
      if (std::fabs(At(r, k)) > std::fabs(At(best, k))) best = r;
    }
    if (At(best, k) == 0.0) model::ThrowFailure(model::kDivisionByZero);
    if (best != k) {
      for (int c = 0; c < n; ++c) std::swap(At(k, c), At(best, c));
      std::swap(x[k], x[best]);
    }
    const double pivot = At(k, k);
    for (int r = k + 1; r < n; ++r) {
      const double factor = At(r, k) / pivot;
      if (factor == 0.0) continue;
      for (int c = k + 1; c < n; ++c) At(r, c) -= factor * At(k, c);
      x[r] -= factor * x[k];
    }
  }
  for (int r = n - 1; r >= 0; --r) {
    double sum = x[r];
    for (int c = r + 1; c < n; ++c) sum -= At(r, c) * x[c];
    x[r] = sum / At(r, r);
  }
}

void BuildBandGrid(double firstBox, double end, double growth, double largestBox, int columns,
                   DiscGrid& grid) {
  BuildRows(firstBox, largestBox, growth, largestBox, end, columns, grid.g);
  grid.surfaceFactor = 1.0;
  const int rows = static_cast<int>(grid.g.size()) - 1;
  grid.rows = rows;
  grid.columns = columns;
  const double width = kQuarterTurn / columns;
  grid.eta.resize(static_cast<std::size_t>(columns));
  grid.discWeight.resize(static_cast<std::size_t>(columns));
  for (int j = 0; j < columns; ++j) {
    grid.eta[j] = (j + 0.5) * width;
    // x = h cos(nu) on the band: the share of its half width between the two faces.
    grid.discWeight[j] = std::cos(j * width) - std::cos((j + 1) * width);
  }
  const auto cells = static_cast<std::size_t>(rows) * columns;
  grid.volume.resize(cells);
  grid.gFace.resize(cells);
  grid.etaFace.resize(cells);
  // The integral of sinh^2 mu + sin^2 nu over a cell.
  auto sinhPart = [](double mu) { return std::sinh(2 * mu) / 4 - mu / 2; };
  auto sinPart = [](double nu) { return nu / 2 - std::sin(2 * nu) / 4; };
  for (int i = 0; i < rows; ++i) {
    const double low = i == 0 ? 0.0 : (grid.g[i - 1] + grid.g[i]) / 2;
    const double high = (grid.g[i] + grid.g[i + 1]) / 2;
    for (int j = 0; j < columns; ++j) {
      const std::size_t cell = static_cast<std::size_t>(i) * columns + j;
      const double left = j * width, right = (j + 1) * width;
      grid.volume[cell] = (sinhPart(high) - sinhPart(low)) * width +
                          (high - low) * (sinPart(right) - sinPart(left));
      grid.gFace[cell] = width / (grid.g[i + 1] - grid.g[i]);
      grid.etaFace[cell] = j + 1 < columns ? (high - low) / width : 0.0;
    }
  }
}

}  // namespace kivex::simulation
