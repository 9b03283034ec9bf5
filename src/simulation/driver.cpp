#include "simulation/driver.h"

#include <cmath>

#include "model/checked_math.h"
#include "simulation/analytical_route.h"
#include "simulation/digital_simulation.h"
#include "simulation/measurement_effects.h"
#include "simulation/potential_programme.h"

namespace kivex::simulation {

double CurrentScale(const model::AppState& app) { return app.area * model::kFaraday * 0.001; }

void RunSimulation(model::AppState& app, model::CurveSet& curves, model::PlotSettings& plot,
                   bool overlapTicked) {
  model::SelectCurveSlot(curves, app.fitting, overlapTicked);
  app.totalColumn = model::ToCount(static_cast<long long>(app.chargeCount) + 1);
  BuildPotentialProgramme(app, curves);

  const int total = app.totalColumn;
  for (int k = 1; k <= total; ++k) {
    for (int i = 1; i <= curves.pointCount; ++i) curves.resultTable(i, k) = 0.0;
  }

  if (app.digital) {
    DigitalSimulation(app, curves);
  } else {
    ComputeAnalyticalCurrents(app, curves);
  }

  if (app.Cdl > 0) AddChargingCurrent(app, curves);

  // Extremes of the total current, always spanning zero; the signed one scales the noise.
  plot.yMax = 0.0;
  plot.yMin = 0.0;
  for (int i = 1; i <= curves.pointCount; ++i) {
    const double value = curves.resultTable(i, total);
    if (value > plot.yMax) plot.yMax = value;
    if (value < plot.yMin) plot.yMin = value;
  }
  const double extreme = std::fabs(plot.yMin) > std::fabs(plot.yMax) ? plot.yMin : plot.yMax;

  if (app.noise > 0 && !app.fitting) AddNoise(app, curves, extreme);

  for (int i = 1; i <= curves.pointCount; ++i) {
    curves.y(i, curves.currentCurve) = model::Finite(curves.resultTable(i, total));
  }
  curves.firstPoint = 1;
  curves.lastPoint = curves.pointCount;
  curves.resultCurve = curves.currentCurve;
}

}  // namespace kivex::simulation
