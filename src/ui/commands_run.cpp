#include <memory>

#include "model/failure.h"
#include "simulation/cancellation.h"
#include "ui/command_failure.h"
#include "ui/commands.h"
#include "ui/commit_chain.h"
#include "ui/run_simulation.h"
#include "ui/session.h"

namespace kivex::ui {

void Simulate(Session& session) {
  const double started = session.platform().Timer();
  {
    BusyPointer busy(session.platform());
    if (!RunCommand(session, kSimulationWording, [&] { ChemicalsOK(session); })) return;
    // A run the user stops leaves the curves and the plot as they were before it: no half curve.
    const auto curvesBefore = std::make_unique<model::CurveSet>(session.curves);
    const model::PlotSettings plotBefore = session.plot;
    Platform& platform = session.platform();
    try {
      RunSimulation(session, [&platform] { return platform.CancelRequested(); });
    } catch (const simulation::SimulationCancelled&) {
      session.curves = *curvesBefore;
      session.plot = plotBefore;
      session.Print("Simulation cancelled.");
      session.ShowResult();
      return;
    }
    ApplyOutputQuantity(session);
    PlotCurves(session);
    session.menu.Enable("mnuManualFit");
    session.menu.Enable("mnuDisplay");
    session.menu.Enable("mnuData");
  }
  session.app.elapsedTime = session.platform().Timer() - started;
}

}  // namespace kivex::ui
