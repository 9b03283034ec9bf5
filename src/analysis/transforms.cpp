#include "analysis/transforms.h"

#include "model/checked_math.h"

namespace kivex::analysis {

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

}  // namespace kivex::analysis
