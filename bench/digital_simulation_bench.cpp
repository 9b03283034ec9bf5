// The digital simulation is the inner loop of every fit, so its cost per run matters:
//   cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DKIVEX_BUILD_BENCH=ON
//   cmake --build build-bench --target kivex_bench && build-bench/kivex_bench
//
// The default cycle runs the prepared route and the reference route (every step solved from
// scratch, which gives the same numbers). The cases of the README's speed table run the Simulate
// command on dialogs typed as a user would: a 3999-point differential pulse (0.5 V to -0.4995 V
// in 0.25 mV steps at 0.5 mV/s, tDrop 0.5 s, 50 ms pulses) of A + e = B, C + e = D, B = E,
// D = F with 0.5 mM C; the second-order case adds B + D = A + F (kf 1e3 per M s, kb 0) and the
// resistance case Ru = 100 ohm.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "model/curve_set.h"
#include "model/plot_settings.h"
#include "simulation/digital_simulation.h"
#include "simulation/driver.h"
#include "support/experiments.h"
#include "support/test_platform.h"
#include "ui/commands.h"
#include "ui/interaction.h"
#include "ui/session.h"

namespace {

using kivex::model::AppState;
using kivex::simulation::SolveRoute;

void Run(benchmark::State& state, const AppState& experiment, SolveRoute route) {
  auto curves = std::make_unique<kivex::model::CurveSet>();
  kivex::simulation::DigitalWorkspace workspace;  // allocated by the first run, kept by the others
  AppState app = experiment;
  kivex::simulation::RunSimulation(app, *curves, workspace, false);  // programme and counters
  for (auto _ : state) {
    kivex::simulation::DigitalSimulation(app, *curves, workspace, route);
    benchmark::DoNotOptimize(curves->resultTable(1, app.chargeCount + 1));
  }
  state.counters["points"] = curves->pointCount;
}

void DefaultCyclicVoltammogram(benchmark::State& state) {
  AppState app = kivex::testing::DefaultExperiment(1);
  app.cycles = 1;
  Run(state, app, SolveRoute::kPrepared);
}
void DefaultCyclicVoltammogramReference(benchmark::State& state) {
  AppState app = kivex::testing::DefaultExperiment(1);
  app.cycles = 1;
  Run(state, app, SolveRoute::kReference);
}
BENCHMARK(DefaultCyclicVoltammogram)->Unit(benchmark::kMicrosecond);
BENCHMARK(DefaultCyclicVoltammogramReference)->Unit(benchmark::kMicrosecond);

void Type(kivex::ui::Session& session, std::string_view reference, std::string text) {
  const kivex::ui::ControlAddress address = kivex::ui::ResolveControl(session, reference);
  kivex::ui::TypeText(session, *address.dialog, *address.control, std::move(text));
}

// Arguments: second-order step (0 or 1), Ru in ohm.
void SpeedTablePulse(benchmark::State& state) {
  kivex::testing::SessionFixture f;
  kivex::ui::Session& s = f.session;
  const kivex::ui::ControlAddress pulse = kivex::ui::ResolveControl(s, "FormTech.optTech(4)");
  kivex::ui::ClickControl(s, *pulse.dialog, *pulse.control);
  Type(s, "FormMech.charge(3)", "C");
  Type(s, "FormMech.charge(4)", "D");
  Type(s, "FormMech.chem(1)", "B");
  Type(s, "FormMech.chem(2)", "E");
  Type(s, "FormMech.chem(3)", "D");
  Type(s, "FormMech.chem(4)", "F");
  if (state.range(0) != 0) {
    Type(s, "FormMech.chem2(1)", "B");
    Type(s, "FormMech.chem2(2)", "D");
    Type(s, "FormMech.chem2(3)", "A");
    Type(s, "FormMech.chem2(4)", "F");
  }
  Type(s, "FormIns.Estart", "0.5");
  Type(s, "FormIns.Eend", "-0.4995");
  Type(s, "FormIns.Estep", "0.00025");
  Type(s, "FormIns.V", "0.0005");
  Type(s, "FormIns.txtRu", std::to_string(state.range(1)));
  kivex::ui::RunMenuItem(s, "mnuExperimental");
  Type(s, "FormExpr.C(3)", "5e-4");
  if (state.range(0) != 0) {
    Type(s, "FormExpr.kf(3)", "1e3");
    Type(s, "FormExpr.kb(3)", "0");
  }
  for (auto _ : state) kivex::ui::RunMenuItem(s, "mnuSimulate");
  if (!f.platform.messages.empty()) state.SkipWithError(f.platform.messages.front().c_str());
  state.counters["points"] = s.curves.pointCount;
  state.counters["iterations"] = s.app.maxIterations;
}
BENCHMARK(SpeedTablePulse)
    ->ArgNames({"secondOrder", "Ru"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 100})
    ->Args({1, 100})
    ->Unit(benchmark::kMillisecond);

}  // namespace
