#include "simulation/output_quantity.h"

#include "model/failure.h"
#include "model/number_text.h"
#include "ui/commit_chain.h"
#include "ui/form_ins.h"
#include "ui/form_option.h"
#include "ui/run_simulation.h"
#include "ui/session.h"

namespace kivex::ui {

std::optional<std::string> ApplyCommittedOutputQuantity(Session& session) {
  const std::string quantity = session.Option().ComboY.text;
  const double distance = model::ReadNumber(session.Ins().TextDis.text);
  try {
    simulation::ApplyOutputQuantity(session.app, session.curves, quantity, distance);
  } catch (const model::InputError& refusal) {
    return std::string(refusal.message());
  }
  return std::nullopt;
}

void ApplyOutputQuantity(Session& session) {
  try {
    GatherParameters(session);
    if (const auto refusal = ApplyCommittedOutputQuantity(session)) session.ShowMessage(*refusal);
  } catch (const model::InputError& error) {
    session.ShowMessage(std::string(error.message()));
  } catch (const model::Failure& failure) {
    session.ShowMessage(model::FailureMessage(failure, "Error: "));
  }
}

}  // namespace kivex::ui
