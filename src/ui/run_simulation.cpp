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
    ApplyOutputQuantity(session);
  } catch (const model::Failure& failure) {
    session.ShowMessage(model::FailureMessage(failure, "Analytical simulation Error: "));
  } catch (const model::InputError& error) {
    session.ShowMessage(std::string(error.message()));
  }
}

}  // namespace kivex::ui
