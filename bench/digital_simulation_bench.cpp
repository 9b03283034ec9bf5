// The digital simulation is the inner loop of every fit, so its cost per run matters:
//   cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DKIVEX_BUILD_BENCH=ON
//   cmake --build build-bench --target kivex_bench && build-bench/bench/kivex_bench
// Each case runs the prepared route (blocks eliminated once per run) and the reference route
// (every step solved from scratch); both give the same numbers.

#include <benchmark/benchmark.h>

#include <memory>

#include "model/curve_set.h"
#include "model/plot_settings.h"
#include "simulation/digital_simulation.h"
#include "simulation/driver.h"
#include "support/digital_experiments.h"

namespace {

using kivex::model::AppState;
using kivex::simulation::SolveRoute;
using namespace kivex::testing;

// The experiment of the untouched dialogs: A + e = B, E0 0.1 V, 0.3 V to -0.3 V in 5 mV steps
// at 10 mV/s, here swept there and back.
AppState DefaultCycle() {
  AppState app = CoupleExperiment();
  app.E0(1) = 0.1;
  app.Cinit(1) = 9.996e-4;
  app.Cinit(2) = 4.159e-7;
  app.Estep = 0.005;
  app.scanRate = 0.01;
  app.tDrop = 0.5;
  app.cycles = 1;
  return app;
}

// Six species, three transfers and two first-order steps, differential pulse over 4000 points
// (tDrop 0.7 s, tPulse 0.05 s: 56 sub-steps a point).
AppState SixSpeciesPulse() {
  AppState app = CoupleExperiment();
  app.speciesCount = 6;
  app.E0(1) = 0.1;
  app.Cinit(3) = 5e-4;
  app.Cinit(5) = 2e-4;
  AddTransfer(app, 3, 4, -0.05);
  AddTransfer(app, 5, 6, -0.15);
  AddFirstOrder(app, 2, 3, 10.0, 1.0);
  AddFirstOrder(app, 4, 5, 10.0, 1.0);
  app.technique = 4;
  app.Estep = 0.6 / 3999;
  app.tDrop = 0.7;
  app.tPulse = 0.05;
  return app;
}

AppState SixSpeciesPulseSecondOrder() {
  AppState app = SixSpeciesPulse();
  AddSecondOrder(app, 2, 4, 1, 6, 1e3, 0.0);  // B + D = A + F
  return app;
}

void Run(benchmark::State& state, const AppState& experiment, SolveRoute route) {
  auto curves = std::make_unique<kivex::model::CurveSet>();
  kivex::model::PlotSettings plot;
  AppState app = experiment;
  kivex::simulation::RunSimulation(app, *curves, plot, false);  // programme and counters
  for (auto _ : state) {
    kivex::simulation::DigitalSimulation(app, *curves, route);
    benchmark::DoNotOptimize(curves->resultTable(1, app.chargeCount + 1));
  }
  state.counters["points"] = curves->pointCount;
}

void DefaultCyclicVoltammogram(benchmark::State& state) {
  Run(state, DefaultCycle(), SolveRoute::kPrepared);
}
void DefaultCyclicVoltammogramReference(benchmark::State& state) {
  Run(state, DefaultCycle(), SolveRoute::kReference);
}
void DifferentialPulseSixSpecies(benchmark::State& state) {
  Run(state, SixSpeciesPulse(), SolveRoute::kPrepared);
}
void DifferentialPulseSixSpeciesReference(benchmark::State& state) {
  Run(state, SixSpeciesPulse(), SolveRoute::kReference);
}
void DifferentialPulseSixSpeciesSecondOrder(benchmark::State& state) {
  Run(state, SixSpeciesPulseSecondOrder(), SolveRoute::kPrepared);
}

BENCHMARK(DefaultCyclicVoltammogram)->Unit(benchmark::kMicrosecond);
BENCHMARK(DefaultCyclicVoltammogramReference)->Unit(benchmark::kMicrosecond);
BENCHMARK(DifferentialPulseSixSpecies)->Unit(benchmark::kMillisecond);
BENCHMARK(DifferentialPulseSixSpeciesReference)->Unit(benchmark::kMillisecond);
BENCHMARK(DifferentialPulseSixSpeciesSecondOrder)->Unit(benchmark::kMillisecond);

}  // namespace
