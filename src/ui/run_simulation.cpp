#include "ui/run_simulation.h"

#include "model/failure.h"
#include "simulation/driver.h"
#include "ui/form_option.h"
#include "ui/session.h"

namespace kivex::ui {

void RunSimulation(Session& session) {
  try {
    simulation::RunSimulation(session.app, session.curves, session.plot,
                              session.Option().overlap.value);
    // A quantity that cannot be formed leaves the stored current in the curve; the command that
    // ran the simulation applies the quantity again and reports it once.
    ApplyCommittedOutputQuantity(session);
  } catch (const model::Failure& failure) {
    session.ShowMessage(model::FailureMessage(failure, "Analytical simulation Error: "));
  } catch (const model::InputError& error) {
    session.ShowMessage(std::string(error.message()));
  }
}

}  // namespace kivex::ui
