#include "simulation/potential_programme.h"

#include <cmath>
#include <string>

#include "model/checked_math.h"
#include "model/failure.h"
#include "model/technique_table.h"

namespace kivex::simulation {

using model::Count;

Count SweepPointCount(double Estart, double Eend, double Estep) {
  const double steps = std::fabs(model::Div(Eend - Estart, Estep));
  const Count rounded = model::ToCount(steps);
  return model::ToCount(static_cast<long long>(rounded) + 1);
}

bool BuildPotentialProgramme(const model::AppState& app, model::CurveSet& curves) {
  const Count n = SweepPointCount(app.Estart, app.Eend, app.Estep);
  const Count total = model::ToCount(2.0 * n * app.cycles);
  if (total > model::kMaxPoints) {
    throw model::Failure("The potential programme needs " + std::to_string(total) +
                         " points, more than the " + std::to_string(model::kMaxPoints) +
                         " a curve holds");
  }
  // The return sweep mirrors the forward one and a second cycle repeats the first.
  const double direction = app.Eend > app.Estart ? 1.0 : -1.0;
  auto potential = [&](int i) {
    if (i > 2 * n) i -= 2 * n;
    if (i > n) i = 2 * n - i + 1;
    return app.Estart + app.Estep * (i - 1) * direction;
  };
  const bool sameAxis =
      model::EnterAxis(curves, model::IsSameAxis(curves, total, app.Estep, potential));
  for (int i = 1; i <= total; ++i) curves.x(i) = potential(i);
  curves.sweepPointCount = n;
  curves.pointCount = total;
  curves.axisStep = app.Estep;
  curves.axisCycles = app.cycles;
  curves.axisTechnique = app.technique;
  return sameAxis;
}

void RequireQuietTimeSimulated(const model::AppState& app) {
  if (!(app.quietTime > 0.0)) return;
  if (!app.digital) {
    // A solution in equilibrium at E start is left as it is by the quiet time: nothing to
    // simulate.
    if (app.restsAtStart) return;
    throw model::InputError(
        "Error: a quiet time is simulated only digitally, unless the solution is pre-equilibrated "
        "at E start. Tick the digital simulation in the Mechanism dialog or pre-equilibration in "
        "the Chemicals dialog, or set t quiet (s) to 0 in the Instrument dialog.");
  }
  const model::TechniqueTraits* technique = model::FindTechnique(app.technique);
  if (technique == nullptr || !technique->carriesLayer) {
    // A point that starts from the initial solution again would throw the quiet layer away.
    throw model::InputError(
        "Error: a quiet time needs a technique that carries its diffusion layer from point to "
        "point (linear sweep, cyclic or square wave); DC and pulse points each start afresh. Set "
        "t quiet (s) to 0 in the Instrument dialog.");
  }
}

double DurationOf(const model::AppState& app, model::Span span) {
  switch (span) {
    case model::Span::Drop: return app.tDrop;
    case model::Span::Pulse: return app.tPulse;
    case model::Span::DropLessPulse: return app.tDrop - app.tPulse;
  }
  return 0.0;
}

double AppliedPotential(const model::AppState& app, model::Level level, double programme,
                        double sign) {
  switch (level) {
    case model::Level::Pulse: return programme + sign * app.Epulse;
    case model::Level::Low: return programme - app.Epulse / 2;
    case model::Level::High: return programme + app.Epulse / 2;
    default: return programme;
  }
}

}  // namespace kivex::simulation
