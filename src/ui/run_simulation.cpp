#include "ui/run_simulation.h"

#include <memory>
#include <optional>
#include <string>

#include "model/failure.h"
#include "model/number_format.h"
#include "simulation/driver.h"
#include "ui/command_failure.h"
#include "ui/form_option.h"
#include "ui/session.h"

namespace kivex::ui {

namespace {

// What a failed run left of the curves, said after the failure itself.
std::string StoppedRunNote(const simulation::RunProgress& progress, int slot, bool kept) {
  const std::string where = model::FormatPattern(progress.stoppedAt, "0.0###") + " V";
  const std::string after = "after " + std::to_string(progress.computed) + " of its " +
                            std::to_string(progress.planned) + " points";
  if (progress.computed == 0) {
    return " No point of the run is shown; the curves held before are kept.";
  }
  if (kept) {
    return " The run stopped at " + where + ", " + after +
           ": its curve ends with the last point computed.";
  }
  return " The run for curve " + std::to_string(slot) + " stopped at " + where + ", " + after +
         ": it is left out, and the curves held before are kept.";
}

// The plot shows a run on its extremes until a drawing pass sets its limits.
void TakeExtremes(model::PlotSettings& plot, const simulation::RunProgress& progress) {
  if (!progress.extremes) return;
  plot.yMin = progress.extremes->low;
  plot.yMax = progress.extremes->high;
}

}  // namespace

void DriveSimulation(Session& session, const simulation::StopRequest& stop,
                     simulation::RunProgress* progress) {
  simulation::RunProgress own;
  simulation::RunProgress& reached = progress != nullptr ? *progress : own;
  reached.extremes.reset();
  try {
    simulation::RunSimulation(session.app, session.curves, session.workspace,
                              session.Option().overlap.value, stop, &reached);
  } catch (...) {
    TakeExtremes(session.plot, reached);
    throw;
  }
  TakeExtremes(session.plot, reached);
}

bool RunSimulation(Session& session, const simulation::StopRequest& stop) {
  // The curves as they were, for a run that fails before it has a curve of its own to show.
  const auto before = std::make_unique<model::CurveSet>(session.curves);
  const model::PlotSettings plotBefore = session.plot;
  simulation::RunProgress progress;
  std::optional<CommandFailure> failure;
  try {
    failure = CommandFailureOf(
        [&] {
          DriveSimulation(session, stop, &progress);
          // A quantity that cannot be formed leaves the stored current in the curve; the command
          // that ran the simulation applies the quantity again and reports it once.
          ApplyCommittedOutputQuantity(session);
        },
        kSimulationWording);
  } catch (const simulation::SimulationCancelled&) {
    // A run the user stops leaves the curves and the plot as they were: no half curve.
    session.curves = *before;
    session.plot = plotBefore;
    throw;
  }
  if (!failure) return true;
  std::string message = failure->message;
  if (progress.planned > 0) {
    // The points computed stand as a curve when nothing else is shown with them; beside
    // overlapped curves, whose axis they would cut short, they are left out.
    const int slot = session.curves.currentCurve;
    const bool kept = progress.computed > 0 && session.curves.curveCount == 1;
    message += StoppedRunNote(progress, slot, kept);
    if (!kept) {
      session.curves = *before;
      session.plot = plotBefore;
    }
  }
  session.ShowMessage(message);
  return false;
}

}  // namespace kivex::ui
