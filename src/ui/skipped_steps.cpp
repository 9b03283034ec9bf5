#include "ui/skipped_steps.h"

#include "model/electrode_geometry.h"
#include "model/failure.h"
#include "model/initial_concentrations.h"
#include "model/number_text.h"
#include "ui/form_expr.h"
#include "ui/form_ins.h"
#include "ui/session.h"

namespace kivex::ui {

namespace {

std::string Warning(std::string_view step, std::string_view reason, std::string_view instead) {
  return "Warning: " + std::string(step) + " failed (" + std::string(reason) + "); the run " +
         std::string(instead) + ".";
}

}  // namespace

std::vector<std::string> SkippedStepWarnings(Session& session) {
  std::vector<std::string> lines;
  const model::AppState& app = session.app;
  const model::Electrode electrode = model::ElectrodeOf(app);
  // As RadiusChange computes them.
  if (model::ComputesArea(electrode)) {
    try {
      static_cast<void>(model::ElectrodeArea(
          electrode, model::ReadNumber(session.Ins().radius.text), app.length));
    } catch (const model::Failure& failure) {
      lines.push_back(Warning("the electrode area from its dimensions", failure.description(),
                              "uses the area in the Instrument dialog"));
    }
  }
  try {
    static_cast<void>(model::ElectrodeVolume(electrode, app.radius, app.length, app.area));
  } catch (const model::Failure& failure) {
    lines.push_back(
        Warning("the electrode volume", failure.description(), "keeps the volume computed before"));
  }
  std::vector<model::SkippedStep> skipped;
  static_cast<void>(
      model::InitialConcentrations(app, ShownPreparation(session), ShownConcentration, &skipped));
  for (const model::SkippedStep& s : skipped) {
    const bool deposit = s.step == model::kPreconcentrationStep;
    lines.push_back(Warning(s.step, s.reason,
                            deposit ? "starts with species 2 as the pre-equilibration left it"
                                    : "starts from the concentrations as they were before that "
                                      "step"));
  }
  return lines;
}

}  // namespace kivex::ui
