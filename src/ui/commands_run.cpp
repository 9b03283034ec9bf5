#include <memory>
#include <string>
#include <vector>

#include "model/failure.h"
#include "simulation/cancellation.h"
#include "ui/command_failure.h"
#include "ui/commands.h"
#include "ui/commit_chain.h"
#include "ui/run_simulation.h"
#include "ui/session.h"
#include "ui/skipped_steps.h"

namespace kivex::ui {

void Simulate(Session& session) {
  const double started = session.platform().Timer();
  {
    BusyPointer busy(session.platform());
    if (!RunCommand(session, kSimulationWording, [&] { ChemicalsOK(session); })) return;
    const std::vector<std::string> skipped = SkippedStepWarnings(session);
    for (const std::string& line : skipped) session.Print(line);
    if (!skipped.empty()) session.ShowResult();
    Platform& platform = session.platform();
    bool ran = false;
    try {
      ran = RunSimulation(session, [&platform] { return platform.CancelRequested(); });
    } catch (const simulation::SimulationCancelled&) {
      session.Print("Simulation cancelled.");
      session.ShowResult();
      return;
    }
    ApplyOutputQuantity(session);
    // A failed run that left nothing to show has said so already.
    if (ran || session.curves.curveCount > 0) PlotCurves(session);
    session.menu.Enable("mnuManualFit");
    session.menu.Enable("mnuDisplay");
    session.menu.Enable("mnuData");
  }
  session.app.elapsedTime = session.platform().Timer() - started;
}

}  // namespace kivex::ui
