#include "simulation/output_quantity.h"

#include "model/failure.h"
#include "model/number_text.h"
#include "model/output_quantities.h"
#include "ui/commit_chain.h"
#include "ui/form_ins.h"
#include "ui/form_option.h"
#include "ui/run_simulation.h"
#include "ui/session.h"

namespace kivex::ui {

std::string_view QuantityCaption(model::OutputQuantity quantity) {
  return model::QuantityTraitsOf(quantity).caption;
}

std::optional<model::OutputQuantity> QuantityOfCaption(std::string_view caption) {
  for (const model::QuantityTraits& row : model::kQuantities) {
    if (caption == row.caption) return row.quantity;
  }
  return std::nullopt;
}

std::optional<std::string> ApplyCommittedOutputQuantity(Session& session) {
  const std::string caption = session.Option().ComboY.text;
  const std::optional<model::OutputQuantity> quantity = QuantityOfCaption(caption);
  if (!quantity) return std::nullopt;
  const double distance = model::ReadNumber(session.Ins().TextDis.text);
  try {
    simulation::ApplyOutputQuantity(session.app, session.curves, *quantity, distance);
  } catch (const simulation::NoSurfaceConcentrations& refusal) {
    return "Error: \"" + caption + "\" " + std::string(refusal.message());
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
