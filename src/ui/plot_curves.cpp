#include "ui/run_simulation.h"
#include "ui/session.h"

namespace kivex::ui {

// The drawing pass is not in this build yet: the picture is only cleared.
void PlotCurves(Session& session) {
  session.picture.Clear();
  session.platform().PlotChanged();
}

}  // namespace kivex::ui
