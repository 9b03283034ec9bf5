// Run menu: Manual Fit, Auto Fit and the two peak separations built on them.

#include <algorithm>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "fitting/fit_driver.h"
#include "model/failure.h"
#include "model/number_format.h"
#include "model/number_text.h"
#include "simulation/driver.h"
#include "ui/commands.h"
#include "ui/commit_chain.h"
#include "ui/form_expr.h"
#include "ui/form_ins.h"
#include "ui/form_option.h"
#include "ui/initial_concentrations.h"
#include "ui/number_field.h"
#include "ui/preconcentration_factor.h"
#include "ui/run_simulation.h"
#include "ui/session.h"

namespace kivex::ui {

namespace {

// `fitting` is set for the lifetime of the guard: every simulation goes to curve 2, without
// noise, and curve 1 keeps the measured data.
class FittingFlag {
 public:
  explicit FittingFlag(model::AppState& app) : app_(app) { app_.fitting = true; }
  ~FittingFlag() { app_.fitting = false; }
  FittingFlag(const FittingFlag&) = delete;
  FittingFlag& operator=(const FittingFlag&) = delete;

 private:
  model::AppState& app_;
};

// A fit's simulations: the driver on the committed state as the fit has set it, then the output
// quantity. Failures go to the fit, which ends with its own message.
class SessionFitHost final : public fitting::FitHost {
 public:
  explicit SessionFitHost(Session& session) : session_(session) {}

  // The output step must not re-read the dialogs: that would replace the trial values the fit
  // has just written with the dialogs' ones, and the fit would end holding those.
  void Simulate() override {
    simulation::RunSimulation(session_.app, session_.curves, session_.plot,
                              session_.Option().overlap.value);
    if (const auto refusal = ApplyCommittedOutputQuantity(session_)) {
      throw model::InputError(*refusal);
    }
  }
  void Print(const model::PrintLine& line) override { session_.Print(line); }
  double Timer() override { return session_.platform().Timer(); }

  double AnalyticalConcentration(const model::AppState&, int species) override {
    return model::ReadNumber(session_.Expr().C(species).text);
  }

  // C_Change with the trial values, in full precision: pre-equilibration when it is ticked, then
  // the preconcentrated species 2 when preconcentration is.
  void DeriveInitialConcentrations(model::AppState& app,
                                   std::span<const double> analytical) override {
    Concentrations values{};
    std::copy(analytical.begin(), analytical.begin() + values.size(), values.begin());
    if (session_.Expr().CheckPreEqu.value) {
      PreEquilibrationOf(app, steps_);
      PreEquilibrate(values, steps_);
    }
    const FormIns& ins = session_.Ins();
    if (ins.CheckPreCon.value) {
      PreconcentrationInput input;
      input.n = app.n(1);
      input.E0 = app.E0(1);
      input.Epre = model::ReadNumber(ins.txtEPre.text);
      input.temperature = app.temperature;
      input.stirRate = model::ReadNumber(ins.txtRStir.text);
      input.electrodeConstant = model::ReadNumber(ins.txtPconst.text);
      input.area = app.area;
      input.D = app.D(1);
      input.viscosity = app.viscosity;
      input.tPre = model::ReadNumber(ins.txtTPre.text);
      input.electrodeVolume = app.electrodeVolume;
      try {
        values[2] = analytical[1] * PreconcentrationFactor(input);
      } catch (const model::Failure&) {
        // As in the dialog: species 2 keeps what pre-equilibration gave.
      }
    }
    for (int i = 1; i <= model::kMaxSpecies; ++i) {
      app.Cinit(i) = values[static_cast<std::size_t>(i)];
    }
  }

 private:
  Session& session_;
  PreEquilibration steps_;  // refilled for every trial, its storage kept
};

fitting::SlotOffers ReadSlotOffers(FormExpr& expr) {
  fitting::SlotOffers offers;
  for (int k = 1; k <= fitting::kFitSlots; ++k) {
    const Control& tick = expr.CheckFitted(k);
    offers[k].chosen = tick.value && tick.visible;
    if (offers[k].chosen) {
      const std::string slot = " of fitted parameter " + std::to_string(k);
      RequireNoDecimalComma(expr.TextCmin(k), "Lower bound" + slot, "Chemicals");
      RequireNoDecimalComma(expr.TextCmax(k), "Upper bound" + slot, "Chemicals");
    }
    offers[k].minText = expr.TextCmin(k).text;
    offers[k].maxText = expr.TextCmax(k).text;
  }
  return offers;
}

std::string FitErrorMessage(const model::Failure& failure) {
  return "Fit Error: " + std::string(failure.description()) +
         "! Please try again by other initial values.";
}

// Curves 3, 4, ...: the current of each charge reaction of the fit's last simulation, held
// beside the measurement and the fitted curve.
void ShowComponents(Session& session) {
  model::CurveSet& curves = session.curves;
  model::ShowHeldCurves(curves);
  const int reactions = std::min<int>(session.app.chargeCount, model::kMaxCurves - 2);
  curves.curveCount = 2;
  for (int j = 1; j <= reactions; ++j) {
    ++curves.curveCount;
    for (int i = 1; i <= curves.pointCount; ++i) {
      curves.y(i, curves.curveCount) = curves.resultTable(i, j);
    }
    model::HoldCurve(curves, curves.curveCount, model::CurveOrigin::Simulation, 0);
  }
  curves.storedCurveCount = curves.curveCount;
  PlotCurves(session);
}

// Manual Fit: one simulation beside the measurement, which it must lie on point by point. A
// simulation refused or failed leaves the measurement alone on its own axis. Returns whether
// the simulation stands beside the measurement.
bool RunManualFit(Session& session) {
  BusyPointer busy(session.platform());
  FittingFlag fitting(session.app);
  model::CurveSet& curves = session.curves;
  model::ShowHeldCurves(curves);
  const model::MeasuredAxis measured = model::KeepMeasuredAxis(curves);
  bool ran = false;
  std::optional<std::string> refusal;
  try {
    ChemicalsOK(session);
    ran = true;
    simulation::RunSimulation(session.app, curves, session.plot, session.Option().overlap.value);
    // A quantity that cannot be formed leaves the current shown; Simulate reports that, not a fit.
    ApplyCommittedOutputQuantity(session);
    if (const auto difference = model::AxisDifference(curves, measured, session.app.Estep)) {
      refusal = FitErrorMessage(model::Failure(*difference));
    }
  } catch (const model::InputError& error) {
    refusal = std::string(error.message());
  } catch (const model::Failure& failure) {
    refusal = model::FailureMessage(failure, "Analytical simulation Error: ");
  }
  if (refusal) {
    session.ShowMessage(*refusal);
    if (ran) model::ShowMeasurementAlone(curves, measured);
  }
  PlotCurves(session);
  return !refusal;
}

// Auto Fit; returns whether it ended with its report. After any failure only the measurement
// is shown, on its own axis.
bool RunAutoFit(Session& session) {
  BusyPointer busy(session.platform());
  model::CurveSet& curves = session.curves;
  model::ShowHeldCurves(curves);  // the measurement itself, not a view of another quantity
  curves.currentCurve = 1;
  FittingFlag fitting(session.app);
  // The box is unticked for good; this fit follows the setting committed before it.
  session.Option().overlap.value = false;
  // With overlap off the measured curve 1 (the current one) becomes the only stored curve; with
  // it on, the stored curves stay as they are.
  if (!session.plot.overlap) {
    curves.curveCount = 1;
    curves.storedCurveCount = 1;
    curves.currentCurve = 1;
  }
  const model::MeasuredAxis measured = model::KeepMeasuredAxis(curves);
  bool fitted = false;
  try {
    ChemicalsOK(session);
    session.ClearResult();
    session.ShowResult();  // the "Least square" lines appear while the fit runs
    std::vector<double> observed(curves.pointCount);
    for (int i = 1; i <= curves.pointCount; ++i) observed[i - 1] = curves.y(i, 1);
    SessionFitHost host(session);
    const fitting::FitReport report = fitting::AutoFit(
        session.app, curves, observed, ReadSlotOffers(session.Expr()), session.fitMemory, host);
    for (const model::PrintLine& line : fitting::ReportLines(report)) session.Print(line);
    for (std::size_t j = 0; j < report.slots.size(); ++j) {
      session.Expr().CheckFitted(report.slots[j]).caption =
          model::FormatPattern(report.fitted[j], "0.###e-#");
    }
    fitted = true;
  } catch (const model::InputError& error) {
    session.ShowMessage(std::string(error.message()));
  } catch (const model::Failure& failure) {
    session.ShowMessage(FitErrorMessage(failure));
  }
  if (!fitted) model::ShowMeasurementAlone(curves, measured);
  PlotCurves(session);
  return fitted;
}

}  // namespace

void ManualFit(Session& session) { RunManualFit(session); }

void AutoFit(Session& session) { RunAutoFit(session); }

// The components belong to a fit that ended well; after a refused one only the measurement shows.
void ManualSeparate(Session& session) {
  if (RunManualFit(session)) ShowComponents(session);
}

void AutoSeparate(Session& session) {
  if (RunAutoFit(session)) ShowComponents(session);
}

}  // namespace kivex::ui
