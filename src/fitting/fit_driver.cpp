#include "fitting/fit_driver.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "fitting/fit_quality.h"
#include "model/checked_math.h"
#include "model/failure.h"
#include "model/number_format.h"
#include "model/number_text.h"

namespace kivex::fitting {

namespace {

// Records how long the fit took however it ends, so the Time command never shows a clock
// reading instead of a duration.
class FitClock {
 public:
  FitClock(model::AppState& app, FitHost& host) : app_(app), host_(host), start_(host.Timer()) {}
  ~FitClock() {
    if (!stopped_) Stop();
  }
  FitClock(const FitClock&) = delete;
  FitClock& operator=(const FitClock&) = delete;

  double Stop() {
    stopped_ = true;
    app_.elapsedTime = host_.Timer() - start_;
    return app_.elapsedTime;
  }

 private:
  model::AppState& app_;
  FitHost& host_;
  double start_;
  bool stopped_ = false;
};

// The iterations of one fit, over as many starts as it takes: each start runs the optimiser to its
// end or to the fit's last iteration, writing a "Least square = " line per iteration; the counts
// add up over the starts.
struct Search {
  Search(FitWork& w, FitModel& m, FitHost& h) : work(w), fitModel(m), host(h) {}

  void Run(const Problem& problem, Summary& fit) {
    BeginFit(work, problem, fit);
    do {
      MarquardtIteration(work, problem, fit, fitModel);
      ++iterations;
      host.Print(model::PrintLine().Text("Least square = ").Zone().Number(fit.SSQ));
    } while (iterations < kMaxFitIterations && fit.Flag == Termination::GoOn);
    trials += fit.EvaluationCount;
    dampedSolves += fit.DampedSolves;
  }

  FitWork& work;
  FitModel& fitModel;
  FitHost& host;
  int iterations = 0;
  long trials = 0;
  int dampedSolves = 0;
};

// Other starts for a fit that ended in a local minimum: each log-scaled parameter in turn at a
// sixth, a half and five sixths of its log range (leaving out a point within a sixth of the range
// from where the first fit started), the others at their best values. A rate constant's local
// minima lie decades apart (an EC curve is matched by a slow chemical step with one E0 and by a
// fast one with another), so a few starts spread over the range find the deeper one.
std::vector<std::vector<double>> Restarts(const FitWork& work, const Problem& problem,
                                          const Summary& best) {
  std::vector<std::vector<double>> starts;
  for (int j = 0; j < best.n(); ++j) {
    if (!work.logScale[j]) continue;
    const double low = work.zMin[j];
    const double range = work.zMax[j] - low;
    const double from = std::log10(problem.X[j]);
    for (double share : {1.0 / 6, 0.5, 5.0 / 6}) {
      const double z = low + share * range;
      if (std::fabs(z - from) < range / 6) continue;
      std::vector<double> start = best.X;
      start[j] = std::clamp(std::pow(10.0, z), problem.Min[j], problem.Max[j]);
      starts.push_back(std::move(start));
    }
  }
  return starts;
}

// `value` to `digits` significant digits (a standard error to three: as many as it can mean).
double Significant(double value, int digits) {
  if (value == 0 || !std::isfinite(value)) return value;
  const double scale = std::pow(10.0, digits - 1 - std::floor(std::log10(std::fabs(value))));
  const double rounded = std::round(value * scale) / scale;
  return std::isfinite(rounded) ? rounded : value;
}

// An end of an interval around x with the significant digits that tell it from x: rounded by at
// most a tenth of its distance from x (from two to fifteen digits); an end on x stays as it is.
double IntervalEnd(double end, double x) {
  if (end == x || end == 0 || !std::isfinite(end)) return end;
  const int magnitude = static_cast<int>(std::floor(std::log10(std::fabs(end))));
  const int resolution = static_cast<int>(std::floor(std::log10(std::fabs(end - x) / 10)));
  return Significant(end, std::clamp(magnitude - resolution + 1, 2, 15));
}

// Each parameter's standard error and 95 % interval, and the largest correlation.
void AppendUncertaintyLines(const FitReport& report, std::vector<model::PrintLine>& lines) {
  using model::PrintLine;
  if (!report.uncertaintyFailure.empty()) {
    lines.push_back(
        PrintLine().Text("No standard errors: a simulation beside the fitted values "
                         "failed (" +
                         report.uncertaintyFailure + ")."));
    return;
  }
  const Uncertainty& u = report.uncertainty;
  lines.push_back(
      PrintLine().Text("No.").Zone().Text("Std. error").Zone().Text("95 % from").Zone().Text("to"));
  for (std::size_t j = 0; j < report.fitted.size(); ++j) {
    PrintLine line;
    line.Integer(static_cast<long long>(j) + 1).Zone();
    const ParameterUncertainty& p = u.parameters[j];
    if (p.determined) {
      line.Number(Significant(p.standardError, 3))
          .Zone()
          .Number(IntervalEnd(p.low, report.fitted[j]))
          .Zone()
          .Number(IntervalEnd(p.high, report.fitted[j]));
    } else {
      line.Text("not determined by the data");
    }
    lines.push_back(line);
  }
  // The others' intervals come from the fit with the undetermined ones held where they ended: a
  // parameter the data cannot tell from another takes the others' uncertainty with it.
  std::string held;
  bool anyDetermined = false;
  for (std::size_t j = 0; j < u.parameters.size(); ++j) {
    if (u.parameters[j].determined) {
      anyDetermined = true;
    } else {
      held += (held.empty() ? "No. " : ", ") + std::to_string(j + 1);
    }
  }
  if (anyDetermined && !held.empty()) {
    lines.push_back(PrintLine().Text(
        "The intervals above hold only with " + held +
        " fixed where the fit left it: fix it at a known value, or fit fewer parameters."));
  }
  if (u.first >= 0) {
    lines.push_back(PrintLine()
                        .Text("Largest correlation = ")
                        .Zone()
                        .Number(Significant(u.largestCorrelation, 3))
                        .Text("(No. " + std::to_string(u.first + 1) + " and " +
                              std::to_string(u.second + 1) + ")"));
  }
  if (u.widening > 1) {
    const long independent = std::max(1L, std::lround(u.independentPoints));
    lines.push_back(PrintLine().Text(
        "Standard errors widened " + model::ShortestText(Significant(u.widening, 2)) +
        " times for correlated residuals (lag-1 correlation " +
        model::FormatPattern(u.lag1, "0.##") + ": about " + std::to_string(independent) +
        " independent point" + (independent == 1 ? "" : "s") + " of " + std::to_string(u.points) +
        ")."));
  }
}

// After the written report: how sure the fit is, and what makes it doubtful (a parameter held by
// a bound, a systematic misfit).
void AppendTrustLines(const FitReport& report, std::vector<model::PrintLine>& lines) {
  using model::PrintLine;
  const std::size_t n = report.fitted.size();
  if (n == 0) return;
  lines.push_back(PrintLine());
  AppendUncertaintyLines(report, lines);
  for (std::size_t j = 0; j < n; ++j) {
    const double x = report.fitted[j];
    if (!(report.min[j] < report.max[j]) || (x != report.min[j] && x != report.max[j])) continue;
    lines.push_back(PrintLine().Text(
        "No. " + std::to_string(j + 1) + " (" + SlotName(report.slots[j]) + ") is at its " +
        (x == report.max[j] ? "upper" : "lower") + " bound " + model::ShortestText(x) +
        ": the data may not determine it, or its best value lies beyond."));
  }
  if (report.residuals.Systematic()) {
    lines.push_back(PrintLine().Text(
        "The fit misses the data systematically (lag-1 correlation of the residuals " +
        model::FormatPattern(report.residuals.lag1, "0.##") +
        "): it may be a local minimum; try other initial values."));
  }
  if (report.restarts > 0) {
    lines.push_back(
        PrintLine().Text("The first fit missed the data: " + std::to_string(report.restarts) +
                         " more start" + (report.restarts > 1 ? "s" : "") +
                         " across the rate constants' ranges tried, the best fit kept" +
                         (report.restartFailure.empty()
                              ? "."
                              : "; the last one failed (" + report.restartFailure + ").")));
  }
}

}  // namespace

FitModel::FitModel(model::AppState& app, model::CurveSet& curves, FitHost& host,
                   std::span<const int> slots, MeasuredComparison& comparison)
    : app_(app), curves_(curves), host_(host), slots_(slots), comparison_(comparison) {
  for (int i = 1; i <= model::kMaxSpecies; ++i) {
    analytical_[static_cast<std::size_t>(i)] = host_.AnalyticalConcentration(app_, i);
  }
  for (int k : slots_) {
    // Concentrations, standard potentials and chemical rates all change what pre-equilibration
    // makes of the solution, and D of species 1 what a preconcentration deposits; a transfer's
    // rate and coefficient do not.
    const Slot slot = SlotOf(k);
    const bool chemical = slot.kind == SlotKind::Kf || slot.kind == SlotKind::Kb;
    const bool deposit = slot.kind == SlotKind::D && slot.index == 1;
    if (slot.kind == SlotKind::Concentration || slot.kind == SlotKind::E0 || chemical || deposit) {
      derivesConcentrations_ = true;
    }
    if (chemical) setsKeq_[static_cast<std::size_t>(slot.index)] = true;
  }
}

void FitModel::operator()(std::span<const double> P, std::span<double> values) {
  for (std::size_t j = 0; j < P.size(); ++j) {
    const int k = slots_[j];
    if (IsConcentrationSlot(k)) {
      analytical_[static_cast<std::size_t>(k)] = P[j];
    } else {
      SlotField(app_, k) = P[j];
    }
  }
  for (int q = 1; q <= model::kMaxChem; ++q) {
    // As the dialog's Keq label: kept when kb is not positive.
    if (setsKeq_[static_cast<std::size_t>(q)] && app_.kb(q) > 0.0) {
      app_.Keq(q) = model::Finite(app_.kf(q) / app_.kb(q));
    }
  }
  if (derivesConcentrations_) host_.DeriveInitialConcentrations(app_, analytical_);
  host_.Simulate();
  try {
    comparison_.PutOnMeasuredAxis(app_, curves_);
  } catch (const MeasurementNotCovered&) {
    model::ShowMeasurementAlone(curves_, comparison_.axis());
    throw;
  }
  host_.FormComparedQuantity();
  comparison_.Gather(curves_, values);
  host_.Compared(values, comparison_.observed());
}

FitReport AutoFit(model::AppState& app, model::CurveSet& curves, std::span<const double> observed,
                  const SlotOffers& offers, FitMemory& memory, FitHost& host,
                  const FitRange& range) {
  FitClock clock(app, host);
  memory.EvaluationCount = 0;
  memory.FitCount = 0;
  for (int k = 1; k <= kFitSlots; ++k) {
    if (!offers[k].chosen) continue;
    if (memory.FitCount == kMaxFitParameters) {
      throw model::Failure("More than 20 parameters are ticked for fitting");
    }
    memory.FitIndex[++memory.FitCount] = k;
  }

  FitReport report;
  Problem problem;
  const int n = memory.FitCount;
  report.slots.assign(memory.FitIndex.begin() + 1, memory.FitIndex.begin() + 1 + n);
  for (int k : report.slots) {
    // A concentration starts from the one the species is made up with (see FitModel).
    const double start = IsConcentrationSlot(k) && k <= app.speciesCount
                             ? host.AnalyticalConcentration(app, k)
                             : SlotStartValue(app, k);
    const double min = model::ReadNumber(offers[k].minText);
    const double max = model::ReadNumber(offers[k].maxText);
    report.initial.push_back(start);
    problem.X.push_back(std::max(min, std::min(max, start)));  // Min wins when Min > Max
    problem.Min.push_back(min);
    problem.Max.push_back(max);
    problem.varies.push_back(1);
    problem.Log.push_back(IsLogScaledSlot(k) ? 1 : 0);
  }
  // The measured axis and the fitted points, before the first simulation overwrites the axis.
  MeasuredComparison comparison(curves, observed, range);
  report.range = range;
  report.accuracy = app.digital ? model::AccuracyOf(app) : model::Accuracy::Standard;
  report.measuredPoints = comparison.measuredPoints();
  report.fittedPoints = comparison.fittedPoints();
  problem.Yobs.assign(comparison.observed().begin(), comparison.observed().end());
  problem.DataVariance = PopulationVariance(problem.Yobs);

  FitModel model(app, curves, host, report.slots, comparison);
  Search search(memory.work, model, host);
  Summary best;
  search.Run(problem, best);  // from the start within the bounds
  // A local minimum of a rate constant: the curve misses the data in long waves. Try the
  // rate constants' ranges once over (see Restarts) and keep the best fit.
  if (Residuals(problem, best).Systematic()) {
    Problem restart = problem;
    for (const std::vector<double>& other : Restarts(memory.work, problem, best)) {
      if (search.iterations >= kMaxFitIterations) break;
      restart.X = other;
      Summary again;
      ++report.restarts;
      try {
        search.Run(restart, again);
      } catch (const model::Failure& failure) {
        // The fit already has a result; a start it was not asked for does not undo it.
        report.restartFailure = failure.description();
        break;
      }
      if (again.SSQ < best.SSQ) best = again;
      if (!Residuals(problem, best).Systematic()) break;
    }
  }
  // The derivatives at the solution, and the model evaluated there once more: AppState and curve
  // 2 then hold the fitted values' curve, whichever start it came from. A simulation that fails
  // beside the solution costs the standard errors, not the fit.
  bool uncertain = true;
  try {
    JacobianAtX(memory.work, problem, best, model);
  } catch (const model::Failure& failure) {
    report.uncertaintyFailure = failure.description();
    uncertain = false;
  }
  if (memory.work.P != best.X || !uncertain) {
    memory.work.P.assign(best.X.begin(), best.X.end());
    model(memory.work.P, best.Fcalc);
  }

  report.fitted = best.X;
  report.min = problem.Min;
  report.max = problem.Max;
  report.SSQ = best.SSQ;
  report.DataVariance = problem.DataVariance;
  report.Flag = best.Flag;
  report.iterations = search.iterations;
  report.evaluations = search.trials;
  report.dampedSolves = search.dampedSolves;
  report.residuals = Residuals(problem, best);
  if (uncertain) report.uncertainty = EstimateUncertainty(memory.work, problem, best);
  memory.EvaluationCount = search.trials;
  report.elapsedTime = clock.Stop();
  return report;
}

std::vector<model::PrintLine> ReportLines(const FitReport& report) {
  using model::PrintLine;
  std::vector<PrintLine> lines;
  lines.push_back(
      PrintLine().Text("No.").Zone().Text("Initial value").Zone().Zone().Text("Fitted value"));
  for (std::size_t j = 0; j < report.fitted.size(); ++j) {
    lines.push_back(PrintLine()
                        .Integer(static_cast<long long>(j) + 1)
                        .Zone()
                        .Number(report.initial[j])
                        .Zone()
                        .Number(report.fitted[j]));
  }
  lines.push_back(PrintLine());
  lines.push_back(PrintLine().Text("Least square = ").Zone().Number(report.SSQ));
  lines.push_back(PrintLine().Text("Standard deviation^2 = ").Zone().Number(report.DataVariance));
  lines.push_back(
      PrintLine().Text("Convergence flag = ").Zone().Integer(static_cast<int>(report.Flag)));
  lines.push_back(PrintLine().Text("No. of iteration = ").Zone().Integer(report.iterations));
  lines.push_back(PrintLine().Text("No. of obj. fun. = ").Zone().Integer(report.evaluations));
  lines.push_back(PrintLine().Text("No. of MARQUARDS = ").Zone().Integer(report.dampedSolves));
  lines.push_back(PrintLine().Text("Computation time (s) =").Zone().Number(report.elapsedTime));
  if (report.accuracy != model::Accuracy::Standard) {
    lines.push_back(PrintLine().Text(std::string("Simulated digitally at the ") +
                                     model::kAccuracyNames[static_cast<int>(report.accuracy)] +
                                     " accuracy"));
  }
  if (!report.range.empty()) {
    lines.push_back(PrintLine().Text("Fitted " + std::to_string(report.fittedPoints) + " of " +
                                     std::to_string(report.measuredPoints) +
                                     " points: " + FitRangeText(report.range)));
  }
  AppendTrustLines(report, lines);
  return lines;
}

}  // namespace kivex::fitting
