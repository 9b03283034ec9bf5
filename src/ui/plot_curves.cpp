#include "display/curve_names.h"
#include "display/plot.h"
#include "ui/form_option.h"
#include "ui/run_simulation.h"
#include "ui/session.h"

namespace kivex::ui {

namespace {

// The option values of a pass, read from the dialog's present controls.
display::PlotOptions CurrentPlotOptions(Session& session) {
  const FormOption& option = session.Option();
  display::PlotOptions options;
  options.xAuto = option.Xauto.value;
  options.yAuto = option.Yauto.value;
  options.xReversed = option.CheckXdir.value;
  // The title names what the curves show, which is the chosen quantity only once it could be
  // formed.
  options.outputQuantity = session.curves.shown;
  options.curveNames = display::CurveNames(session.curves, session.app);
  return options;
}

}  // namespace

// The options dialog is the single source of the display settings, so every pass applies its
// present controls first; values typed there show at the next redraw even without its OK.
void PlotCurves(Session& session) {
  OptionOK(session);
  const display::PlotOptions options = CurrentPlotOptions(session);
  session.platform().WindowShown("FormPlot");
  const display::PlotResult result =
      display::DrawPlot(session.picture, session.curves, options, session.plot);
  if (result.frame) session.picture.SetFrame(*result.frame);
  // Any other failure leaves the picture as far as it got, without a message.
  if (result.outcome == display::PlotOutcome::NoData) {
    session.ShowMessage(std::string(display::kNoDataMessage));
  }
  session.platform().PlotChanged();
}

bool DrawZoomed(Session& session, const PlotLimits& limits, display::Picture& picture) {
  display::PlotOptions options = CurrentPlotOptions(session);
  options.xAuto = false;
  options.yAuto = false;
  // A copy: the view changes nothing the options dialog or the analyses read.
  model::PlotSettings settings = session.plot;
  settings.xMin = limits.xMin;
  settings.xMax = limits.xMax;
  settings.yMin = limits.yMin;
  settings.yMax = limits.yMax;
  const display::PlotResult result = display::DrawPlot(picture, session.curves, options, settings);
  if (result.frame) picture.SetFrame(*result.frame);
  return result.outcome == display::PlotOutcome::Drawn;
}

}  // namespace kivex::ui
