#include "model/print_line.h"
#include "ui/commands.h"
#include "ui/form_option.h"
#include "ui/run_simulation.h"
#include "ui/session.h"

namespace kivex::ui {

void ReportTime(Session& session) {
  session.ShowResult();
  session.Print(model::PrintLine().Text("time = ").Number(session.app.elapsedTime).Text("s"));
  session.Print(
      model::PrintLine().Text("max iteration in simulation = ").Integer(session.app.maxIterations));
}

void ShowPlotOptions(Session& session) {
  FormOption& option = session.Option();
  option.visible = true;
  session.platform().WindowShown(option.name());
  ActivateDialog(session, option);
}

void Plot(Session& session) { PlotCurves(session); }

// The current curve is the one the next simulation writes and the transforms act on.
void NextCurve(Session& session) {
  model::CurveSet& curves = session.curves;
  curves.currentCurve = curves.currentCurve < curves.curveCount
                            ? static_cast<model::Count>(curves.currentCurve + 1)
                            : model::Count{1};
  session.ShowResult();
  session.Print(model::PrintLine().Text("Curve Number is ").Integer(curves.currentCurve));
}

void ClearResults(Session& session) { session.ClearResult(); }

}  // namespace kivex::ui
