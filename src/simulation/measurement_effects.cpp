#include "simulation/measurement_effects.h"

#include <cmath>

#include "model/checked_math.h"
#include "model/technique_table.h"

namespace kivex::simulation {

namespace {

// A sweep: the potential moves on with every point.
bool IsRamp(const model::AppState& app) {
  const model::TechniqueTraits* row = model::FindTechnique(app.technique);
  return row != nullptr && row->ramp;
}

}  // namespace

bool ChargingThroughDrop(const model::AppState& app) {
  return app.Cdl > 0 && app.Ru > 0 && IsRamp(app);
}

void AddResistiveCharging(const model::AppState& app, model::CurveSet& curves, double dt) {
  if (!ChargingThroughDrop(app) || curves.pointCount < 1) return;
  // e = x + Ru q (e_before - e), q = Cdl A / dt, from the rest at the first potential.
  const double q = model::Div(app.Cdl * app.area, dt);
  const double lag = app.Ru * q;
  double before = curves.x(1);
  for (int i = 1; i <= curves.pointCount; ++i) {
    const double e = (curves.x(i) + lag * before) / (1 + lag);
    double& total = curves.resultTable(i, app.totalColumn);
    total = model::Finite(total + q * (before - e));
    before = e;
  }
}

void AddChargingCurrent(const model::AppState& app, model::CurveSet& curves) {
  const int total = app.totalColumn;
  const int n = curves.sweepPointCount;
  const double C = app.Cdl * app.area * app.scanRate;
  const double s = app.Eend > app.Estart ? 1.0 : -1.0;
  for (int i = 1; i <= curves.pointCount; ++i) {
    double charging = 0.0;
    if (app.cycles == 0.5) {
      charging = IsRamp(app) ? -s * C : (curves.x(1) - curves.x(i)) * C;
    } else {
      // Forward and returning sweeps alternate every n points.
      const double sigma = ((i - 1) / n) % 2 == 0 ? s : -s;
      charging = -sigma * C;
    }
    curves.resultTable(i, total) = model::Finite(curves.resultTable(i, total) + charging);
  }
}

NoiseGenerator::NoiseGenerator(int pointCount) : u_(2.0 * pointCount) {}

double NoiseGenerator::Draw() {
  u_ = u_ * 24298 + 99991;
  u_ = (u_ + 1) - std::floor(u_ / kModulus) * kModulus;
  return u_;
}

double NoiseGenerator::Normal() {
  // Box-Muller with the uniform numbers u / M; u never reaches 0, so the logarithm is defined.
  const double r = std::sqrt(2.0 * std::log(kModulus / Draw()));
  return r * std::cos(Draw() * 6.283185308 / kModulus);
}

void AddNoise(const model::AppState& app, model::CurveSet& curves, double extreme) {
  const int total = app.totalColumn;
  NoiseGenerator generator(curves.pointCount);
  for (int i = 1; i <= curves.pointCount; ++i) {
    const double g = generator.Normal();
    curves.resultTable(i, total) =
        model::Finite(curves.resultTable(i, total) + app.noise * g * extreme * 0.0025);
  }
}

}  // namespace kivex::simulation
