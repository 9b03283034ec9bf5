#include "display/plot.h"
#include "simulation/output_quantity.h"
#include "ui/form_option.h"
#include "ui/run_simulation.h"
#include "ui/session.h"

namespace kivex::ui {

// The options dialog is the single source of the display settings, so every pass applies its
// present controls first; values typed there show at the next redraw even without its OK.
void PlotCurves(Session& session) {
  OptionOK(session);
  const FormOption& option = session.Option();
  display::PlotOptions options;
  options.xAuto = option.Xauto.value;
  options.yAuto = option.Yauto.value;
  options.xReversed = option.CheckXdir.value;
  // The title names what the curves show, which is the chosen quantity only once it could be
  // formed.
  options.outputQuantity = simulation::QuantityText(session.curves.shown);

  session.platform().WindowShown("FormPlot");
  const display::PlotResult result =
      display::DrawPlot(session.picture, session.curves, options, session.plot);
  // Any other failure leaves the picture as far as it got, without a message.
  if (result.outcome == display::PlotOutcome::NoData) {
    session.ShowMessage(std::string(display::kNoDataMessage));
  }
  session.platform().PlotChanged();
}

}  // namespace kivex::ui
