#include "ui/run_simulation.h"

#include "model/failure.h"
#include "simulation/driver.h"
#include "ui/command_failure.h"
#include "ui/form_option.h"
#include "ui/session.h"

namespace kivex::ui {

void RunSimulation(Session& session, const simulation::StopRequest& stop) {
  RunCommand(session, kSimulationWording, [&] {
    simulation::RunSimulation(session.app, session.curves, session.plot,
                              session.Option().overlap.value, stop);
    // A quantity that cannot be formed leaves the stored current in the curve; the command that
    // ran the simulation applies the quantity again and reports it once.
    ApplyCommittedOutputQuantity(session);
  });
}

}  // namespace kivex::ui
