#pragma once
// A simulation run on the session: the driver, then the output quantity. A failure inside the run
// ends it with the simulation's message box; what it wrote before stays.

namespace kivex::ui {

class Session;

// Reads the overlap box of the plot options for the slot choice.
void RunSimulation(Session& session);

// Rewrites the stored curve(s) for the output quantity chosen in the plot options.
void ApplyOutputQuantity(Session& session);

// One complete drawing pass of the plot window into the session's picture.
void PlotCurves(Session& session);

}  // namespace kivex::ui
