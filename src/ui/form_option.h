#pragma once
// The plot options dialog: axis limits and auto scaling, grid, overlap, direction of the
// potential axis, the quantity on the Y axis, a line style for each of the five curves, and the
// curves whose peaks Find Peak measures above a tangent baseline.
//
// Curve k+1 (k = 0..4) has the frame FrameCurve(k) holding the frame FrameLine(k), which holds
// the option group linestyle1(k), linestyle2(k), linestyle3(k): one group per curve.

#include <optional>
#include <string_view>

#include "analysis/peak_finding.h"
#include "model/curve_set.h"
#include "ui/dialog.h"

namespace kivex::ui {

class FormOption : public Dialog {
 public:
  FormOption();

  Control CheckGrid;
  Control overlap;
  Control Xauto;
  Control Yauto;
  Control CheckXdir;  // potential axis from positive to negative
  Control XminText;
  Control XmaxText;
  Control YminText;
  Control YmaxText;
  Control FrameAxis;              // "Axis"
  Control ComboY;                 // output quantity
  ControlArray<0, 4> FrameCurve;  // "Curve 1".."Curve 5"
  ControlArray<0, 4> FrameLine;   // "Line style"
  ControlArray<0, 4> linestyle1;  // dotted
  ControlArray<0, 4> linestyle2;  // square markers
  ControlArray<0, 4> linestyle3;  // solid
  Control ComboBaseline;          // "Peak baseline": "imported curves", "all curves", "none"
  Control cmdOK;

  // The auto boxes hide or show their limit boxes; cmdOK commits, hides the dialog, converts the
  // curves to the chosen output quantity and redraws.
  void Clicked(Session& session, Control& control) override;
  void OkClicked(Session& session) override;

 private:
  // Runs once when the dialog is created: the Y axis shows the current, and the peaks of
  // imported curves are measured above a baseline.
  void Load();
};

// The dialog's OK action: refreshes PlotSettings from the controls. The limits are read (leniently)
// only for an axis whose auto box is clear; with auto on they stay as the plot last computed them.
void OptionOK(Session& session);

// The curves ComboBaseline names, read when Find Peak runs (no OK needed); imported curves when
// no entry is selected.
analysis::BaselineCurves PeakBaselineChoice(const FormOption& option);

// The output-quantity list's captions ("current I", "resistance R", "conductance Cond",
// "surface concentration C"), in list order; messages name a quantity by them. Any other text
// names none and changes nothing.
std::string_view QuantityCaption(model::OutputQuantity quantity);
std::optional<model::OutputQuantity> QuantityOfCaption(std::string_view caption);

}  // namespace kivex::ui
