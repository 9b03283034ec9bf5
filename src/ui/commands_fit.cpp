// Run menu: Manual Fit, Auto Fit and the two peak separations built on them.

#include <algorithm>
#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fitting/fit_driver.h"
#include "fitting/fit_range.h"
#include "fitting/fit_slots.h"
#include "fitting/measured_comparison.h"
#include "model/failure.h"
#include "model/initial_concentrations.h"
#include "model/number_format.h"
#include "model/number_text.h"
#include "ui/command_failure.h"
#include "ui/commands.h"
#include "ui/commit_chain.h"
#include "ui/fit_watch.h"
#include "ui/form_expr.h"
#include "ui/form_ins.h"
#include "ui/form_option.h"
#include "ui/number_field.h"
#include "ui/run_simulation.h"
#include "ui/session.h"
#include "ui/skipped_steps.h"

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

// A refusal's message as the description inside "Fit Error: ...! Please try ...": without its
// own "Error: " and closing full stop.
std::string RefusalDescription(std::string_view message) {
  constexpr std::string_view kPrefix = "Error: ";
  if (message.starts_with(kPrefix)) message.remove_prefix(kPrefix.size());
  if (message.ends_with('.')) message.remove_suffix(1);
  return std::string(message);
}

// A fit's simulations: the driver on the committed state as the fit has set it, then, once the
// fit has put the run on the measured axis, the output quantity. Failures go to the fit, which
// ends with its own message. The user's Cancel takes effect between two simulations, and every
// simulated trial is shown to the watch.
class SessionFitHost final : public fitting::FitHost {
 public:
  explicit SessionFitHost(Session& session) : session_(session) {}

  void Simulate() override {
    if (watching_ && session_.platform().CancelRequested()) throw FitCancelled{};
    try {
      DriveSimulation(session_);
    } catch (const model::InputError& refusal) {
      throw model::Failure(RefusalDescription(refusal.message()));
    }
  }
  // The output step must not re-read the dialogs: that would replace the trial values the fit
  // has just written with the dialogs' ones, and the fit would end holding those. A refusal (an
  // output quantity that cannot be formed) ends the fit like any of its failures, in the fit's
  // own message.
  void FormComparedQuantity() override {
    if (const auto refusal = ApplyCommittedOutputQuantity(session_)) {
      throw model::Failure(RefusalDescription(*refusal));
    }
  }
  void Compared(std::span<const double> simulated, std::span<const double> observed) override {
    if (watching_) Watch(simulated, observed);
  }
  void Print(const model::PrintLine& line) override {
    session_.Print(line);
    if (line.str().starts_with("Least square")) watch_.IterationDone();
  }
  double Timer() override { return session_.platform().Timer(); }

  double AnalyticalConcentration(const model::AppState&, int species) override {
    return model::ReadNumber(session_.Expr().C(species).text);
  }

  // C_Change with the trial values: the preparation the dialogs show, with every value the fit
  // may have changed taken from the experiment, and in full precision rather than rounded to the
  // captions' digits (see model::InitialConcentrations).
  void DeriveInitialConcentrations(model::AppState& app,
                                   std::span<const double> analytical) override {
    model::SolutionPreparation prep = ShownPreparation(session_);
    model::TakeExperimentValues(app, prep);
    std::copy(analytical.begin(), analytical.begin() + prep.analytical.size(),
              prep.analytical.begin());
    const model::Concentrations values = model::InitialConcentrations(app, prep);
    for (int i = 1; i <= model::kMaxSpecies; ++i) {
      app.Cinit(i) = values[static_cast<std::size_t>(i)];
    }
    std::copy(analytical.begin(), analytical.begin() + analytical_.size(), analytical_.begin());
  }

  const FitWatch& watch() const { return watch_; }
  // The simulations from here on put a trial back: they are neither cancelled nor watched.
  void StopWatching() { watching_ = false; }

 private:
  // The trial just simulated: the fitted slots as the fit wrote them (a concentration as made
  // up, before it was equilibrated) and its values at the fitted points.
  void Watch(std::span<const double> simulated, std::span<const double> observed) {
    const fitting::FitMemory& memory = session_.fitMemory;
    trial_.clear();
    for (int j = 1; j <= memory.FitCount; ++j) {
      const int k = memory.FitIndex[static_cast<std::size_t>(j)];
      trial_.push_back(fitting::IsConcentrationSlot(k) ? analytical_[static_cast<std::size_t>(k)]
                                                       : fitting::SlotField(session_.app, k));
    }
    watch_.Evaluated(trial_, simulated, observed);
    session_.platform().FitProgress(watch_.iteration(), watch_.bestLeastSquare());
  }

  Session& session_;
  std::array<double, model::kMaxSpecies + 1> analytical_{};  // of the last trial; 0 unused
  std::vector<double> trial_;
  FitWatch watch_;
  bool watching_ = true;
};

// A fit keeps every trial within its bounds, so a rate constant or diffusion coefficient whose
// lower bound is negative could be tried below zero, a value the Chemicals dialog refuses.
void RequireNonNegativeLowerBound(const FormExpr& expr, int slot) {
  const fitting::Slot s = fitting::SlotOf(slot);
  const Control* box = nullptr;
  const Control* row = nullptr;
  switch (s.kind) {
    case fitting::SlotKind::Ks: box = &expr.ks(s.index), row = &expr.heter(s.index); break;
    case fitting::SlotKind::Kf: box = &expr.kf(s.index), row = &expr.homo(s.index); break;
    case fitting::SlotKind::Kb: box = &expr.kb(s.index), row = &expr.homo(s.index); break;
    case fitting::SlotKind::D: box = &expr.D(s.index), row = &expr.specie(s.index); break;
    default: return;
  }
  if (model::ReadNumber(expr.TextCmin(slot).text) < 0.0) {
    throw model::InputError("Error: the lower bound of the fitted " + box->toolTip + " of " +
                            row->caption +
                            " cannot be negative. Please correct it in the Chemicals dialog.");
  }
}

fitting::SlotOffers ReadSlotOffers(FormExpr& expr) {
  fitting::SlotOffers offers;
  for (int k = 1; k <= fitting::kFitSlots; ++k) {
    const Control& tick = expr.CheckFitted(k);
    offers[k].chosen = tick.value && tick.visible;
    if (offers[k].chosen) {
      const std::string slot = " of fitted parameter " + std::to_string(k);
      RequireNumberText(expr.TextCmin(k), "Lower bound" + slot, "Chemicals");
      RequireNumberText(expr.TextCmax(k), "Upper bound" + slot, "Chemicals");
      // Crossed bounds would pin the parameter at its lower bound without a word.
      if (model::ReadNumber(expr.TextCmin(k).text) > model::ReadNumber(expr.TextCmax(k).text)) {
        throw model::InputError("Error: the lower bound " + expr.TextCmin(k).text + slot + " (" +
                                fitting::SlotName(k) + ") is above its upper bound " +
                                expr.TextCmax(k).text +
                                ". Please correct it in the Chemicals dialog.");
      }
      RequireNonNegativeLowerBound(expr, k);
    }
    offers[k].minText = expr.TextCmin(k).text;
    offers[k].maxText = expr.TextCmax(k).text;
  }
  return offers;
}

// The fit's own prefix always, whatever the failure names.
const FailureWording kFitWording{"Fit Error: ", "! Please try again by other initial values."};

// A measured point the simulation does not cover says itself what to change; other values would
// not help.
std::string FitErrorMessage(const model::Failure& failure) {
  if (dynamic_cast<const fitting::MeasurementNotCovered*>(&failure)) {
    return kFitWording.prefix + std::string(failure.description());
  }
  return kFitWording.Of(failure);
}

// The Chemicals dialog's fit range; a text that is not a list of ranges is refused.
fitting::FitRange ReadFitRangeField(const FormExpr& expr) {
  const Control& field = expr.TextFitRange;
  const std::optional<fitting::FitRange> range = fitting::ReadFitRange(field.text);
  if (!range) {
    throw model::InputError(field.caption + ": \"" + field.text +
                            "\" is not a list of potential ranges such as -0.3 0.2; 0.25 0.4. "
                            "Please correct it in the Chemicals dialog.");
  }
  return *range;
}

// A fit range must leave more measured points than parameters to fit.
void RequireEnoughFittedPoints(const FormExpr& expr, const fitting::MeasuredComparison& comparison,
                               const fitting::SlotOffers& offers) {
  if (comparison.range().empty()) return;
  const auto parameters = std::count_if(offers.begin(), offers.end(),
                                        [](const fitting::SlotOffer& o) { return o.chosen; });
  // More than the fit can take is refused by the fit itself.
  if (parameters > fitting::kMaxFitParameters) return;
  const int needed = static_cast<int>(parameters) + 1;
  const int fitted = comparison.fittedPoints();
  if (fitted >= needed) return;
  const Control& field = expr.TextFitRange;
  throw model::InputError(
      field.caption + ": \"" + field.text + "\" leaves " + std::to_string(fitted) + " of the " +
      std::to_string(comparison.measuredPoints()) + " measured points to fit, fewer than the " +
      std::to_string(needed) + " needed for " + std::to_string(parameters) + " fitted parameter" +
      (parameters == 1 ? "" : "s") + ". Please correct it in the Chemicals dialog.");
}

// Curve 1 at the measured points.
std::vector<double> MeasuredValues(const model::CurveSet& curves) {
  const double* curve = curves.y.Column(1);
  return std::vector<double>(curve + 1, curve + 1 + curves.pointCount);
}

// A fit the user stopped: the best trial so far is simulated again, so that the experiment, the
// curves and the captions all hold it, and the last result line says the fit was cancelled.
// Returns whether that trial's curve stands beside the measurement.
bool EndCancelledFit(Session& session, SessionFitHost& host,
                     fitting::MeasuredComparison& comparison) {
  host.StopWatching();
  const FitWatch& watch = host.watch();
  bool shown = false;
  try {
    if (watch.HasBest()) {
      const fitting::FitMemory& memory = session.fitMemory;
      const std::vector<int> slots(memory.FitIndex.begin() + 1,
                                   memory.FitIndex.begin() + 1 + memory.FitCount);
      std::vector<double> values(static_cast<std::size_t>(comparison.fittedPoints()));
      fitting::FitModel model(session.app, session.curves, host, slots, comparison);
      model(watch.best(), values);
      for (std::size_t j = 0; j < slots.size(); ++j) {
        session.Expr().CheckFitted(slots[j]).caption =
            model::FormatPattern(watch.best()[j], "0.###e-#");
      }
      session.Print(
          model::PrintLine().Text("Least square = ").Zone().Number(watch.bestLeastSquare()));
      shown = true;
    }
  } catch (const model::Failure& failure) {
    session.ShowMessage(FitErrorMessage(failure));
  }
  session.Print("Fit cancelled in iteration " + std::to_string(watch.iteration()) +
                ": the best parameters so far are kept.");
  return shown;
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
    curves.record(curves.curveCount).component = static_cast<model::Count>(j);
  }
  curves.storedCurveCount = curves.curveCount;
  PlotCurves(session);
}

// A fit compares with curve 1; with no points held there is nothing to compare with, and the
// fit says so rather than simulate onto an empty axis. A measurement overlapped on a simulation
// (Import with Overlap ticked puts it in curve 2 or later) is the curve to fit, not the
// simulation in curve 1: it becomes curve 1, where the fit looks for it.
bool HasMeasurement(Session& session) {
  model::CurveSet& curves = session.curves;
  if (curves.pointCount < 1 || curves.storedCurveCount < 1) {
    session.ShowMessage("Error: there is no measured curve to fit. Import one first.");
    return false;
  }
  model::ShowHeldCurves(curves);
  auto measured = [&](int k) {
    const model::HeldCurve& held = curves.record(k);
    return held.origin == model::CurveOrigin::Measurement && held.axis == curves.axis &&
           held.points == curves.pointCount;
  };
  if (measured(1)) return true;
  std::vector<int> found;
  for (int k = 2; k <= curves.storedCurveCount; ++k) {
    if (measured(k)) found.push_back(k);
  }
  if (found.size() > 1) {
    session.ShowMessage(
        "Error: curves " + std::to_string(found[0]) + " and " + std::to_string(found[1]) +
        " both hold measurements, and a fit takes one. Untick Overlap in the Option "
        "dialog and import the measurement to fit.");
    return false;
  }
  if (found.size() == 1) {
    const int k = found.front();
    std::copy_n(curves.y.Column(k) + 1, curves.pointCount, curves.y.Column(1) + 1);
    curves.record(1) = curves.record(k);
    curves.currentCurve = 1;
    curves.heldCurrentCurve = 1;
  }
  return true;
}

// Manual Fit: one simulation beside the measurement, on the measured potentials as a fit puts
// it. A simulation refused or failed, or one that does not cover the measurement within the fit
// range, leaves the measurement alone on its own axis. Returns whether the simulation stands
// beside the measurement.
bool RunManualFit(Session& session) {
  if (!HasMeasurement(session)) return false;
  BusyPointer busy(session.platform());
  FittingFlag fitting(session.app);
  model::CurveSet& curves = session.curves;
  model::ShowHeldCurves(curves);
  const model::MeasuredAxis measured = model::KeepMeasuredAxis(curves);
  bool ran = false;
  std::optional<std::string> refusal;
  const auto failure = CommandFailureOf(
      [&] {
        ChemicalsOK(session);
        const std::vector<std::string> skipped = SkippedStepWarnings(session);
        for (const std::string& line : skipped) session.Print(line);
        if (!skipped.empty()) session.ShowResult();
        fitting::MeasuredComparison comparison(curves, MeasuredValues(curves),
                                               ReadFitRangeField(session.Expr()));
        ran = true;
        DriveSimulation(session);
        try {
          comparison.PutOnMeasuredAxis(session.app, curves);
        } catch (const fitting::MeasurementNotCovered& uncovered) {
          refusal = FitErrorMessage(uncovered);
          return;
        }
        // A quantity that cannot be formed leaves the current shown; Simulate reports that, not
        // a fit.
        ApplyCommittedOutputQuantity(session);
      },
      kSimulationWording);
  if (failure) refusal = failure->message;
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
  if (!HasMeasurement(session)) return false;
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
  std::optional<fitting::MeasuredComparison> comparison;  // kept for a cancelled fit
  SessionFitHost host(session);
  try {
    fitted = RunCommand(session, kFitWording, [&] {
      ChemicalsOK(session);
      session.ClearResult();
      session.ShowResult();  // the "Least square" lines appear while the fit runs
      for (const std::string& line : SkippedStepWarnings(session)) session.Print(line);
      FormExpr& expr = session.Expr();
      const std::vector<double> observed = MeasuredValues(curves);
      const fitting::FitRange range = ReadFitRangeField(expr);
      const fitting::SlotOffers offers = ReadSlotOffers(expr);
      comparison.emplace(curves, observed, range);
      RequireEnoughFittedPoints(expr, *comparison, offers);
      fitting::FitReport report;
      try {
        report =
            fitting::AutoFit(session.app, curves, observed, offers, session.fitMemory, host, range);
      } catch (const fitting::MeasurementNotCovered& uncovered) {
        // It says itself what to change, as an input error does.
        throw model::InputError(FitErrorMessage(uncovered));
      }
      for (const model::PrintLine& line : fitting::ReportLines(report)) session.Print(line);
      for (std::size_t j = 0; j < report.slots.size(); ++j) {
        expr.CheckFitted(report.slots[j]).caption =
            model::FormatPattern(report.fitted[j], "0.###e-#");
      }
    });
  } catch (const FitCancelled&) {
    fitted = comparison && EndCancelledFit(session, host, *comparison);
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
