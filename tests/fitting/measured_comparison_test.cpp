// A simulated programme put onto measured potentials, against interpolation written out by hand.
#include "fitting/measured_comparison.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace kivex::fitting {
namespace {

using model::CurveSet;

constexpr double kStep = 0.01;  // V, the simulated step

// The simulated sweep s from 0.3 V down to -0.3 V and back: potential of point k (0-based).
double Node(int k) { return 0.3 - kStep * k; }

// What the stand-in simulation computes: a parabola on the forward sweep, a line on the return
// sweep (so a point compared with the wrong sweep shows); the tables twice the current.
double Value(int sweep, double E, double scale) { return scale * (sweep == 0 ? E * E : 1 - E); }

// Linear interpolation between the nodes a and b around E, written out: exact for the line, and
// E^2 - (E - a)(E - b) for the parabola; beyond the programme, the value at its end.
double Interpolated(int sweep, double E, double scale) {
  E = std::clamp(E, -0.3, 0.3);
  const double k = std::floor((0.3 - E) / kStep);
  const double a = Node(static_cast<int>(k)), b = Node(static_cast<int>(k) + 1);
  return scale * (sweep == 0 ? E * E - (E - a) * (E - b) : 1 - E);
}

struct Measured {
  std::vector<double> x, y;
};

// A measured cycle from 0.3 V to -0.3 V and back, `points` a sweep (the vertex twice, as a
// programme writes it) on a grid of `spacing` jittered by `jitter` (V, Gaussian), kept within
// half a simulated step of the programme's ends.
Measured MeasuredCycle(int points, double spacing, double jitter, unsigned seed) {
  std::mt19937 random(seed);
  std::normal_distribution<double> noise(0.0, 1.0);
  Measured m;
  for (int sweep = 0; sweep < 2; ++sweep) {
    for (int k = 0; k < points; ++k) {
      const double grid = sweep == 0 ? 0.3 - spacing * k : -0.3 + spacing * k;
      const double E = jitter > 0 ? grid + jitter * noise(random) : grid;
      m.x.push_back(std::clamp(E, -0.304, 0.304));
      m.y.push_back(1e-6 * static_cast<double>(m.x.size()));
    }
  }
  return m;
}

// The session's curves with the measurement in curve 1, on axis 7.
void Import(CurveSet& curves, const Measured& m) {
  curves.pointCount = static_cast<model::Count>(m.x.size());
  for (std::size_t i = 0; i < m.x.size(); ++i) {
    curves.x(static_cast<int>(i) + 1) = m.x[i];
    curves.y(static_cast<int>(i) + 1, 1) = m.y[i];
  }
  curves.axis = 7;
  curves.firstPoint = 1, curves.lastPoint = curves.pointCount;
  model::ReadAxisShape(curves);
  model::HoldCurve(curves, 1, model::CurveOrigin::Measurement, 0);
  curves.curveCount = curves.storedCurveCount = curves.currentCurve = 1;
}

// A digital run into curve 2 on its own programme: `sweeps` sweeps of 61 points on axis 8.
void Simulate(CurveSet& curves, int sweeps) {
  const int n = 61;
  curves.axis = 8;
  curves.pointCount = static_cast<model::Count>(n * sweeps);
  curves.sweepPointCount = n;
  curves.curveCount = curves.storedCurveCount = curves.currentCurve = 2;
  for (int i = 1; i <= n * sweeps; ++i) {
    const int sweep = (i - 1) / n, k = (i - 1) % n;
    const double E = curves.x(i) = sweep % 2 == 0 ? Node(k) : Node(n - 1 - k);
    for (double* cell : {&curves.y(i, 2), &curves.resultTable(i, 1), &curves.resultTable(i, 2),
                         &curves.concentrationTable(i, 2), &curves.heldConcentration(2)(i, 1)}) {
      *cell = Value(sweep, E, cell == &curves.y(i, 2) ? 1 : 2);
    }
  }
  curves.resultCurve = 2;
  model::HoldCurve(curves, 2, model::CurveOrigin::Simulation, 2);
}

model::AppState App() {
  model::AppState app;
  app.Estep = kStep, app.totalColumn = 2, app.speciesCount = 2;
  return app;
}

// A measured cycle jittered around a 4 mV grid: each measured point takes the interpolation over
// the simulated sweep of its own number (its sweep as the measured axis's turns give it), in
// curve 2 and in every table a separation or a view of concentrations reads; the measurement,
// its axis number and its shape stay.
TEST(MeasuredComparison, EachMeasuredSweepTakesItsSimulatedSweepInterpolated) {
  const Measured m = MeasuredCycle(151, 0.004, 0.0006, 11);
  const std::vector<model::Sweep> sweeps = model::FindSweeps(m.x);
  ASSERT_EQ(sweeps.size(), 2u);  // the jitter is not taken for turns
  CurveSet curves;
  Import(curves, m);
  const model::AppState app = App();
  MeasuredComparison comparison(curves, m.y);
  Simulate(curves, 2);
  ASSERT_TRUE(comparison.PutOnMeasuredAxis(app, curves));

  ASSERT_EQ(curves.pointCount, 302);
  EXPECT_EQ(curves.sweepPointCount, sweeps[0].last + 1);
  EXPECT_EQ(curves.axis, 7);
  EXPECT_EQ(curves.record(2).species, 2);
  EXPECT_TRUE(model::ShownCurvesBelongToAxis(curves));  // both curves held on the measured axis
  for (int i = 1; i <= 302; ++i) {
    const int sweep = i - 1 <= sweeps[0].last ? 0 : 1;
    const double E = m.x[static_cast<std::size_t>(i) - 1];
    SCOPED_TRACE(i);
    EXPECT_EQ(curves.x(i), E);
    EXPECT_EQ(curves.y(i, 1), m.y[static_cast<std::size_t>(i) - 1]);
    EXPECT_NEAR(curves.y(i, 2), Interpolated(sweep, E, 1), 1e-14);
    for (double cell : {curves.resultTable(i, 1), curves.resultTable(i, 2),
                        curves.concentrationTable(i, 2), curves.heldConcentration(2)(i, 1)}) {
      EXPECT_NEAR(cell, Interpolated(sweep, E, 2), 1e-14);
    }
  }
}

// A fitted point more than half a simulated step beyond its sweep, or in a sweep the simulation
// does not run, has no simulated value: the comparison says which and what to do, and writes
// nothing. Outside the fit range such points need no value; they are shown with the nearest one.
// (The advice after the cause: the fit_grid_refusal scenario.)
TEST(MeasuredComparison, AFittedPointNeedsASimulatedSweepAroundIt) {
  auto failure = [](const Measured& m, int sweeps, FitRange range) -> std::string {
    CurveSet curves;
    Import(curves, m);
    MeasuredComparison comparison(curves, m.y, std::move(range));
    Simulate(curves, sweeps);
    try {
      comparison.PutOnMeasuredAxis(App(), curves);
    } catch (const MeasurementNotCovered& e) {
      EXPECT_EQ(curves.axis, 8);  // nothing written
      const std::string said(e.description());
      EXPECT_NE(said.find(" Let the Instrument dialog"), std::string::npos);  // what to do
      return said.substr(0, said.find(" Let the Instrument dialog"));
    }
    return "";
  };
  Measured m = MeasuredCycle(101, 0.006, 0.0, 1);
  m.x[0] = 0.3049;  // within half a step of 0.3 V
  EXPECT_EQ(failure(m, 2, {}), "");
  m.x[0] = 0.3051;
  EXPECT_EQ(failure(m, 2, {}),
            "Point 1 of the measured curve (0.3051 V, sweep 1) lies beyond the simulated sweep, "
            "which runs from 0.3 to -0.3 V.");
  EXPECT_EQ(failure(m, 2, {{0.3, -0.3}}), "");  // left out of the fit
  m.x[0] = 0.3;
  m.x[201] = 0.306;  // the end of the return sweep
  EXPECT_EQ(failure(m, 2, {}),
            "Point 202 of the measured curve (0.306 V, sweep 2) lies beyond the simulated "
            "sweep, which runs from -0.3 to 0.3 V.");
  m.x[201] = 0.3;
  // The vertex twice belongs to the sweep that reached it: the return sweep starts at -0.294 V.
  EXPECT_EQ(failure(m, 1, {}),
            "Point 103 of the measured curve (-0.294 V, sweep 2) has no simulated sweep to be "
            "compared with: the simulation runs 1 sweep.");

  // A return sweep from -0.3 V back to -0.24 V left out with the potentials below -0.15 V: it
  // shows the single simulated sweep's values at its potentials.
  Measured back = MeasuredCycle(101, 0.006, 0.0, 1);
  back.x.resize(112), back.y.resize(112);
  EXPECT_NE(failure(back, 1, {}), "");
  CurveSet curves;
  Import(curves, back);
  MeasuredComparison comparison(curves, back.y, {{0.3, -0.15}});
  Simulate(curves, 1);
  comparison.PutOnMeasuredAxis(App(), curves);
  EXPECT_NEAR(curves.y(110, 2), Interpolated(0, back.x[109], 1), 1e-14);
}

}  // namespace
}  // namespace kivex::fitting
