// Measured files: reading a potentiostat's long export and handing its points over, and a fit of
// an export as it stands (the README's instrument-export example), on its own jittered potentials.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "io/curve_file.h"
#include "io/curve_portion.h"
#include "io/measured_points.h"
#include "support/test_platform.h"
#include "ui/commands.h"
#include "ui/interaction.h"
#include "ui/session.h"

namespace kivex {
namespace {

// A counted settings header above 16000 rows of 14 tab-separated columns with decimal commas:
// 20 sweeps of 800 points, the current in mA.
std::string LongExport() {
  std::string text =
      "Text export\nNb header lines : 7\n\nCyclic Voltammetry\nEi (V)   0,600\n\n"
      "mode\tox/red\terror\tcontrol changes\tNs changes\tcounter inc.\ttime/s\tcontrol/V\tEwe/V"
      "\t<I>/mA\tcycle number\t(Q-Qo)/C\tI Range\tP/W\n";
  char row[256];
  for (int i = 0; i < 16000; ++i) {
    const int k = i % 1600;
    const double E = 0.6 - 0.001 * (k < 800 ? k : 1600 - k);
    std::snprintf(row, sizeof row, "2\t1\t0\t0\t0\t0\t%.4f\t%.4f\t%.5f\t%.6e\t%d\t0\t41\t0\n",
                  0.01 * i, E, E + 1e-5 * std::sin(i), 1e-2 * std::sin(E * 9), 1 + i / 1600);
    std::string line(row);
    for (char& c : line) c = c == '.' ? ',' : c;
    text += line;
  }
  return text;
}

void BM_ReadLongInstrumentExport(benchmark::State& state) {
  const std::string text = LongExport();
  std::size_t taken = 0;
  for (auto _ : state) {
    const io::CurveFile file = io::ParseCurveFile(text);
    const io::MeasuredPoints points =
        io::TakePoints(file, io::ProposedColumns(file), io::CurrentSign::FromFile);
    taken = io::ChoosePortion(points.x, points.cycle, {}, false).Indices().size();
    benchmark::DoNotOptimize(taken);
  }
  state.counters["rows"] = 16000;
  state.counters["taken"] = static_cast<double>(taken);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReadLongInstrumentExport)->Unit(benchmark::kMillisecond);

// examples/fit_instrument_export.kivex: C, ks and E0 of the 700-point export (potentials
// jittering around a 2 mV grid), analytical route, compared on the measured potentials.
void BM_AutoFitInstrumentExport(benchmark::State& state) {
  testing::SessionFixture f;
  f.platform.fileAnswers.push_back(std::string(KIVEX_SOURCE_DIR) +
                                   "/examples/data/cv_export_uA.txt");
  ui::RunMenuItem(f.session, "mnuImport");
  auto act = [&](const char* reference, const char* text) {
    const ui::ControlAddress a = ui::ResolveControl(f.session, reference);
    if (text) {
      ui::TypeText(f.session, *a.dialog, *a.control, text);
    } else {
      ui::ClickControl(f.session, *a.dialog, *a.control);
    }
  };
  act("FormIns.cmdFromFile", nullptr);
  act("FormIns.ARE", "0.0707");
  act("FormExpr.D(1)", "7e-6");
  act("FormExpr.D(2)", "7e-6");
  act("FormExpr.Eze(1)", "0.2");
  act("FormExpr.C(1)", "0.001");
  act("FormMech.CheckDigital", nullptr);
  act("FormExpr.CheckFitted(7)", nullptr);
  act("FormExpr.CheckFitted(13)", nullptr);
  act("FormExpr.TextCmax(13)", "0.5");
  long trials = 0;
  for (auto _ : state) {
    ui::RunMenuItem(f.session, "mnuAutoFit");
    trials = f.session.fitMemory.EvaluationCount;
  }
  if (!f.platform.messages.empty()) state.SkipWithError(f.platform.messages.front().c_str());
  state.counters["trials"] = static_cast<double>(trials);
}
BENCHMARK(BM_AutoFitInstrumentExport)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kivex
