#include "analysis/transforms.h"

#include <vector>

#include "analysis/uneven_spacing.h"
#include "model/checked_math.h"
#include "numerics/calculus.h"
#include "numerics/even_resampling.h"
#include "numerics/semi_differentiate.h"

namespace kivex::analysis {

namespace {

const char* Verb(CurveTransform transform) {
  switch (transform) {
    case CurveTransform::SemiDifferentiate: return "semi-differentiate";
    case CurveTransform::SemiIntegrate: return "semi-integrate";
    case CurveTransform::Differentiate: return "differentiate";
    case CurveTransform::Integrate: return "integrate";
  }
  return "transform";
}

int MinimumPoints(CurveTransform transform) {
  const bool semi =
      transform == CurveTransform::SemiDifferentiate || transform == CurveTransform::SemiIntegrate;
  return semi ? numerics::kSemiDifferentiateMinPoints : 2;
}

// The kernel over the curve's own axis, its spacing read from its first two points.
void OnAxis(CurveTransform transform, const numerics::XAxis& x, std::span<double> f, int count) {
  switch (transform) {
    case CurveTransform::SemiDifferentiate: numerics::SemiDifferentiate(x, f, count); return;
    case CurveTransform::SemiIntegrate: numerics::SemiIntegrate(x, f, count); return;
    case CurveTransform::Differentiate: numerics::Differentiate(x, f, count); return;
    case CurveTransform::Integrate: numerics::Integrate(x, f, count); return;
  }
}

// The kernel over an even grid of spacing h.
void OnGrid(CurveTransform transform, std::span<double> f, int count, double h) {
  switch (transform) {
    case CurveTransform::SemiDifferentiate: numerics::SemiDifferentiate(f, count, h); return;
    case CurveTransform::SemiIntegrate: numerics::SemiIntegrate(f, count, h); return;
    case CurveTransform::Differentiate: numerics::Differentiate(f, count, h); return;
    case CurveTransform::Integrate: numerics::Integrate(f, count, h); return;
  }
}

}  // namespace

void ScaleX(numerics::XAxis& x, int count, double factor) {
  if (count > model::kMaxPoints) model::ThrowIndexFailure();
  for (int i = 1; i <= count; ++i) model::Finite(x(i) * factor);
  for (int i = 1; i <= count; ++i) x(i) *= factor;
}

void ScaleY(std::span<double> column, int count, double factor) {
  if (count > static_cast<int>(column.size()) - 1) model::ThrowIndexFailure();
  for (int i = 1; i <= count; ++i) model::Finite(column[i] * factor);
  for (int i = 1; i <= count; ++i) column[i] *= factor;
}

std::optional<std::string> TransformCurve(const numerics::XAxis& x, std::span<double> column,
                                          int count, CurveTransform transform) {
  numerics::RequirePoints(column, count, MinimumPoints(transform), Verb(transform));
  const std::span<const double> axis(x.data() + 1, static_cast<std::size_t>(count));
  const numerics::StepSpread spread = numerics::SpreadOfSteps(axis);
  if (spread.Even()) {
    OnAxis(transform, x, column, count);
    return std::nullopt;
  }

  const numerics::EvenResampling even(axis, spread.typical);
  RequireGrid(even, Verb(transform));
  std::vector<double> grid(static_cast<std::size_t>(even.size()) + 1, 0.0);
  const std::span<double> onGrid = std::span(grid).subspan(1);
  even.ToGrid(column.subspan(1, static_cast<std::size_t>(count)), onGrid);
  OnGrid(transform, grid, even.size(), even.step());
  // Written back only once the whole curve is computed, so a refusal leaves it as it was.
  std::vector<double> back(static_cast<std::size_t>(count));
  even.FromGrid(onGrid, back);
  for (int i = 1; i <= count; ++i) column[i] = back[static_cast<std::size_t>(i) - 1];
  return UnevenSpacingNote(spread, "this analysis");
}

}  // namespace kivex::analysis
