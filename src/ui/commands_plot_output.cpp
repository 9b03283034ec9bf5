#include "ui/commands.h"
#include "ui/session.h"

namespace kivex::ui {

// Both hand the retained picture of the last drawing pass to the front end, which renders it at
// its own resolution.
void CopyToClipboard(Session& session) { session.platform().CopyPlotToClipboard(session.picture); }

void PrintPlot(Session& session) { session.platform().PrintPlot(session.picture); }

}  // namespace kivex::ui
