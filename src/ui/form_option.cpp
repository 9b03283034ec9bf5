#include "ui/form_option.h"

#include <string>

#include "model/failure.h"
#include "model/number_text.h"
#include "model/output_quantities.h"
#include "ui/number_field.h"
#include "ui/run_simulation.h"
#include "ui/session.h"

namespace kivex::ui {

namespace {
constexpr const char* kStyleCaptions[] = {"...........", "oooooo", "______"};
// Line style each curve starts with (1 dotted, 2 markers, 3 solid), so that the measured curve 1
// and the fitted curve 2 look different.
constexpr int kStartStyles[] = {2, 3, 1, 1, 1};

void SetUpCheckBox(Control& box, const char* caption, const char* toolTip, bool ticked) {
  box.caption = caption;
  box.toolTip = toolTip;
  box.value = ticked;
}

// A limit box and the label beside it are shown exactly while the axis is scaled by hand.
void ShowLimitBox(Control& box, bool shown) {
  box.visible = shown;
  box.captionVisible = shown;
}

void SetUpTextBox(Control& box, const char* caption, const char* toolTip, const char* text) {
  box.caption = caption;
  box.toolTip = toolTip;
  box.text = text;
}
}  // namespace

FormOption::FormOption() : Dialog("formOption", "Option") {
  SetUpCheckBox(Add(CheckGrid, ControlKind::CheckBox, "CheckGrid"), "Grid", "", false);
  SetUpCheckBox(Add(overlap, ControlKind::CheckBox, "overlap"), "Overlap", "overlap plot", false);
  SetUpCheckBox(Add(Xauto, ControlKind::CheckBox, "Xauto"), "X auto", "auto scale of X axis ",
                true);
  SetUpCheckBox(Add(Yauto, ControlKind::CheckBox, "Yauto"), "Y auto", "auto scale of Y axis ",
                true);
  SetUpCheckBox(Add(CheckXdir, ControlKind::CheckBox, "CheckXdir"), "X direction: + -> -",
                "X axis Direction from positive to negative", true);
  // The limit boxes start visible although auto scaling is on; the auto boxes hide them when
  // clicked.
  SetUpTextBox(Add(XminText, ControlKind::TextBox, "XminText"), "X min", "mininum X value", "-0.3");
  SetUpTextBox(Add(XmaxText, ControlKind::TextBox, "XmaxText"), "X max", "maxinum X value", "0.3");
  SetUpTextBox(Add(YminText, ControlKind::TextBox, "YminText"), "Y min", "mininum Y value",
               "-1e-3");
  SetUpTextBox(Add(YmaxText, ControlKind::TextBox, "YmaxText"), "Y max", "maxinum Y value", "1e-3");

  Add(FrameAxis, ControlKind::Frame, "FrameAxis").caption = "Axis";
  Control& quantity = Add(ComboY, ControlKind::ComboBox, "ComboY");
  quantity.frame = "FrameAxis";
  quantity.captionVisible = false;
  for (const model::QuantityTraits& row : model::kQuantities) {
    quantity.items.emplace_back(row.caption);
  }

  ControlArray<0, 4>* styles[] = {&linestyle1, &linestyle2, &linestyle3};
  for (int k = 0; k <= 4; ++k) {
    Control& curve = Add(FrameCurve(k), ControlKind::Frame, "FrameCurve", k);
    curve.caption = "Curve " + std::to_string(k + 1);
    Control& line = Add(FrameLine(k), ControlKind::Frame, "FrameLine", k);
    line.caption = "Line style";
    line.frame = curve.Ref();
    for (int s = 1; s <= 3; ++s) {
      Control& option =
          Add((*styles[s - 1])(k), ControlKind::OptionButton, "linestyle" + std::to_string(s), k);
      option.caption = kStyleCaptions[s - 1];
      option.frame = line.Ref();
      option.value = (s == kStartStyles[k]);
    }
  }

  Control& baseline = Add(ComboBaseline, ControlKind::ComboBox, "ComboBaseline");
  baseline.caption = "Peak baseline";
  baseline.toolTip = "the peaks Find Peak measures above a tangent baseline";
  baseline.items = {"imported curves", "all curves", "none"};

  Add(cmdOK, ControlKind::Button, "cmdOK").caption = "OK";
  Load();
}

void FormOption::Load() {
  ComboY.Choose(0);
  ComboBaseline.Choose(0);
}

analysis::BaselineCurves PeakBaselineChoice(const FormOption& option) {
  switch (option.ComboBaseline.listIndex) {
    case 1: return analysis::BaselineCurves::All;
    case 2: return analysis::BaselineCurves::None;
    default: return analysis::BaselineCurves::Imported;
  }
}

void FormOption::Clicked(Session& session, Control& control) {
  if (&control == &Xauto) {
    ShowLimitBox(XminText, !Xauto.value);
    ShowLimitBox(XmaxText, !Xauto.value);
  } else if (&control == &Yauto) {
    ShowLimitBox(YminText, !Yauto.value);
    ShowLimitBox(YmaxText, !Yauto.value);
  } else {
    Dialog::Clicked(session, control);
  }
}

void FormOption::OkClicked(Session& session) {
  // A decimal comma in a limit typed by hand is refused; the dialog stays open to correct it.
  try {
    for (const Control* limit : {&XminText, &XmaxText, &YminText, &YmaxText}) {
      const bool typed = (limit == &XminText || limit == &XmaxText) ? !Xauto.value : !Yauto.value;
      if (typed) RequireNumberText(*limit, limit->caption, "Option");
    }
  } catch (const model::InputError& error) {
    session.ShowMessage(std::string(error.message()));
    return;
  }
  OptionOK(session);
  visible = false;
  ApplyOutputQuantity(session);
  PlotCurves(session);
}

void OptionOK(Session& session) {
  FormOption& option = session.Option();
  model::PlotSettings& plot = session.plot;
  plot.grid = option.CheckGrid.value;
  plot.overlap = option.overlap.value;
  if (!option.Xauto.value) {
    plot.xMin = model::ReadNumber(option.XminText.text);
    plot.xMax = model::ReadNumber(option.XmaxText.text);
  }
  if (!option.Yauto.value) {
    plot.yMin = model::ReadNumber(option.YminText.text);
    plot.yMax = model::ReadNumber(option.YmaxText.text);
  }
  // A curve whose style buttons are all clear is drawn solid.
  for (int k = 1; k <= model::kMaxCurves; ++k) {
    plot.lineStyle(k) = option.linestyle1(k - 1).value ? 1 : option.linestyle2(k - 1).value ? 2 : 3;
  }
}

}  // namespace kivex::ui
