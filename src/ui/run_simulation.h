#pragma once
// A simulation run on the session: the driver, then the output quantity. A failure inside the run
// ends it with the simulation's message box, which also says what became of the curves: a run
// that computed some points before it stopped shows them alone, its curve ending there; one that
// computed none, or whose points would stand beside overlapped curves, is left out, and the curves
// held before stay exactly as they were.

#include <optional>
#include <string>

#include "simulation/cancellation.h"

namespace kivex::display {
class Picture;
}

namespace kivex::simulation {
struct RunProgress;
}

namespace kivex::ui {

class Session;

// Reads the overlap box of the plot options for the slot choice. Its output step uses
// ApplyCommittedOutputQuantity: a fit writes trial values into the experiment state before each
// run, and re-reading the dialogs there would undo them. A digital run asks `stop` as it goes;
// stopped so, it puts back the curves and the plot it started from and passes
// simulation::SimulationCancelled on. Returns whether the run ended well.
bool RunSimulation(Session& session, const simulation::StopRequest& stop = {});

// The driver alone on the session's experiment and curves, in its workspace, with the overlap box
// as ticked. The extremes of the run's current become the plot's Y limits, also those of a run
// that failed after taking them. `progress` as the driver's.
void DriveSimulation(Session& session, const simulation::StopRequest& stop = {},
                     simulation::RunProgress* progress = nullptr);

// Rewrites the stored curve(s) for the output quantity chosen in the plot options: commits the
// dialogs (GatherParameters), then ApplyCommittedOutputQuantity. A quantity that cannot be formed
// (a zero distance, a zero conductivity) is reported in a message box and the curves stay as
// they were.
void ApplyOutputQuantity(Session& session);

// The output step on the experiment state as it stands, reading only the quantity (plot options)
// and the electrode distance (Instrument dialog). Returns the message for the user when the
// quantity cannot be formed; the curves are then unchanged.
std::optional<std::string> ApplyCommittedOutputQuantity(Session& session);

// One complete drawing pass of the plot window into the session's picture.
void PlotCurves(Session& session);

// A closer look: the curves drawn as the last pass drew them but within the given limits, into
// `picture`. Neither the plot options nor the session's picture change. Returns whether it drew.
struct PlotLimits {
  double xMin = 0, xMax = 0, yMin = 0, yMax = 0;
};
bool DrawZoomed(Session& session, const PlotLimits& limits, display::Picture& picture);

}  // namespace kivex::ui
