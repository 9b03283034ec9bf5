#include "model/print_line.h"
#include "ui/commands.h"
#include "ui/session.h"

namespace kivex::ui {

void ReportTime(Session& session) {
  session.ShowResult();
  session.Print(model::PrintLine().Text("time = ").Number(session.app.elapsedTime).Text("s"));
  session.Print(model::PrintLine()
                    .Text("max iteration in simulation = ")
                    .Integer(session.app.maxIterations));
}

}  // namespace kivex::ui
