#pragma once
// The steps of preparing a run that are skipped when they cannot be computed: the electrode area
// and volume from its dimensions (RadiusChange), the pre-equilibration of each reaction and the
// preconcentration (model::InitialConcentrations). The run goes on without them, as it always
// has, but starts from other values than the dialogs suggest, so Simulate, Manual Fit and Auto
// Fit say so in the result window before they run:
//
//   for (const std::string& line : SkippedStepWarnings(session)) session.Print(line);
//   // "Warning: the pre-equilibration of charge reaction 1 at the starting potential failed
//   //  (Overflow); the run starts from the concentrations as they were before that step."

#include <string>
#include <vector>

namespace kivex::ui {

class Session;

// One line per skipped step, for the dialogs as committed; none when every step was computed.
std::vector<std::string> SkippedStepWarnings(Session& session);

}  // namespace kivex::ui
