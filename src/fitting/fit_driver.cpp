#include "fitting/fit_driver.h"

#include <algorithm>
#include <cmath>
#include <string>

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

// A potential to 15 significant digits, as the report writes numbers: 0.28, not the
// 0.27999999999999997 that the staircase's arithmetic leaves.
std::string PotentialText(double value) {
  return model::ShortestText(model::ReadNumber(model::GeneralNumber(value)));
}

}  // namespace

FitModel::FitModel(model::AppState& app, model::CurveSet& curves, FitHost& host,
                   std::span<const int> slots, std::span<const double> potentials)
    : app_(app), curves_(curves), host_(host), slots_(slots), potentials_(potentials) {
  for (int i = 1; i <= model::kMaxSpecies; ++i) {
    analytical_[static_cast<std::size_t>(i)] = host_.AnalyticalConcentration(app_, i);
  }
  for (int k : slots_) {
    if (IsConcentrationSlot(k) || (k >= 13 && k <= kFitSlots)) derivesConcentrations_ = true;
    if (k >= 16) setsKeq_[static_cast<std::size_t>((k - 16) % 4 + 1)] = true;
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
  // The measured and the simulated curve are compared point by point: they must lie on the same
  // potential grid, which the import prepares. Anything else would compare stale values or
  // other potentials.
  if (static_cast<std::size_t>(curves_.pointCount) != values.size()) {
    RefuseGrid("The simulated curve has " + std::to_string(curves_.pointCount) +
               " points and the measured one " + std::to_string(values.size()));
  }
  const double tolerance = 0.25 * app_.Estep;
  for (std::size_t i = 0; i < potentials_.size(); ++i) {
    const double simulated = curves_.x(static_cast<int>(i) + 1);
    if (!(std::fabs(simulated - potentials_[i]) <= tolerance)) {
      RefuseGrid("Point " + std::to_string(i + 1) + " of the simulated curve lies at " +
                 PotentialText(simulated) + " V and of the measured one at " +
                 PotentialText(potentials_[i]) + " V");
    }
  }
  const double* curve = curves_.y.Column(curves_.currentCurve);
  std::copy(curve + 1, curve + 1 + values.size(), values.begin());
}

void FitModel::RefuseGrid(const std::string& description) {
  const int points = static_cast<int>(potentials_.size());
  for (int i = 1; i <= points; ++i) curves_.x(i) = potentials_[static_cast<std::size_t>(i) - 1];
  curves_.pointCount = static_cast<model::Count>(points);
  curves_.firstPoint = 1;
  curves_.lastPoint = curves_.pointCount;
  curves_.curveCount = 1;
  curves_.storedCurveCount = 1;
  curves_.currentCurve = 1;
  curves_.resultCurve = 0;  // the results belong to another axis: nothing may be rewritten
  throw model::Failure(description);
}

FitReport AutoFit(model::AppState& app, model::CurveSet& curves, std::span<const double> observed,
                  const SlotOffers& offers, FitMemory& memory, FitHost& host) {
  FitClock clock(app, host);
  memory.work.EvaluationCount = 0;
  memory.FitCount = 0;
  for (int k = 1; k <= kFitSlots; ++k) {
    if (!offers[k].chosen) continue;
    if (memory.FitCount == kMaxFitParameters) {
      throw model::Failure("More than 20 parameters are ticked for fitting");
    }
    memory.FitIndex[++memory.FitCount] = k;
  }

  FitReport report;
  FitState fit;
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
    fit.X.push_back(std::max(min, std::min(max, start)));  // Min wins when Min > Max
    fit.Min.push_back(min);
    fit.Max.push_back(max);
    fit.Free.push_back(-1);
  }
  fit.Yobs.assign(observed.begin(), observed.end());
  fit.DataVariance = PopulationVariance(fit.Yobs);
  // The measured potentials, before the first simulation overwrites the axis.
  std::vector<double> potentials(observed.size());
  for (std::size_t i = 0; i < potentials.size(); ++i) {
    potentials[i] = curves.x(static_cast<int>(i) + 1);
  }

  FitModel model(app, curves, host, report.slots, potentials);
  BeginFit(memory.work, fit);
  do {
    MarquardtIteration(memory.work, fit, model);
    ++report.iterations;
    host.Print(model::PrintLine().Text("Least square = ").Zone().Number(fit.SSQ));
  } while (report.iterations < kMaxFitIterations && fit.Flag > 0);

  report.fitted = fit.X;
  report.SSQ = fit.SSQ;
  report.DataVariance = fit.DataVariance;
  report.Flag = fit.Flag;
  report.evaluations = memory.work.EvaluationCount;
  report.dampedSolves = fit.DampedSolves;
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
  lines.push_back(PrintLine().Text("Convergence flag = ").Zone().Integer(report.Flag));
  lines.push_back(PrintLine().Text("No. of iteration = ").Zone().Integer(report.iterations));
  lines.push_back(PrintLine().Text("No. of obj. fun. = ").Zone().Integer(report.evaluations));
  lines.push_back(PrintLine().Text("No. of MARQUARDS = ").Zone().Integer(report.dampedSolves));
  lines.push_back(PrintLine().Text("Computation time (s) =").Zone().Number(report.elapsedTime));
  return lines;
}

}  // namespace kivex::fitting
