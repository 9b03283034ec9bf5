#include "simulation/potential_programme.h"

#include <cmath>
#include <string>

#include "model/checked_math.h"

namespace kivex::simulation {

using model::Count;

Count SweepPointCount(double Estart, double Eend, double Estep) {
  const double steps = std::fabs(model::Div(Eend - Estart, Estep));
  const Count rounded = model::ToCount(steps);
  return model::ToCount(static_cast<long long>(rounded) + 1);
}

void BuildPotentialProgramme(const model::AppState& app, model::CurveSet& curves) {
  const Count n = SweepPointCount(app.Estart, app.Eend, app.Estep);
  const Count total = model::ToCount(2.0 * n * app.cycles);
  if (total > model::kMaxPoints) {
    throw model::Failure("The potential programme needs " + std::to_string(total) +
                         " points, more than the " + std::to_string(model::kMaxPoints) +
                         " a curve holds");
  }
  curves.sweepPointCount = n;
  curves.pointCount = total;

  const double direction = app.Eend > app.Estart ? 1.0 : -1.0;
  for (int i = 1; i <= n; ++i) curves.x(i) = app.Estart + app.Estep * (i - 1) * direction;
  if (app.cycles == 1.0 || app.cycles == 2.0) {
    for (int i = 1; i <= n; ++i) curves.x(n + i) = curves.x(n - i + 1);
  }
  if (app.cycles == 2.0) {
    for (int i = 1; i <= 2 * n; ++i) curves.x(2 * n + i) = curves.x(i);
  }
}

}  // namespace kivex::simulation
