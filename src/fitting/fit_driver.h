#pragma once
// The automatic fit of the experiment to a measured curve: the chosen fit slots (ticked and
// visible in the Chemicals dialog) are adjusted within their bounds by the Marquardt optimiser,
// whose model is the whole simulation. Every evaluation writes the trial values into AppState
// and simulates; with `fitting` set the simulated curve lands in curve 2, without noise, and is
// put onto the measured potentials (measured_comparison.h).
//
//   FitReport report = AutoFit(app, curves, observed, offers, memory, host, range);
//   for (const model::PrintLine& line : ReportLines(report)) session.Print(line);
//
// Only the measured points within the fit range (fit_range.h) enter the fit: its sum of squares,
// the data's variance, the residual pattern and the standard errors; the others are shown only.
//
// Rate constants (ks, kf, kb) and diffusion coefficients are varied on a log scale
// (marquardt.h). When the fit ends with a misfit its residuals call systematic (fit_quality.h),
// the usual sign of a rate constant caught in a local minimum, the fit starts again from a few
// points spread over the log-scaled parameters' ranges and keeps the best; all starts share the
// 51 iterations. The report's written lines are followed by the fit range's line (when one is
// set), then each parameter's standard error and 95 % interval, the largest correlation, and a
// line for each reason to doubt the result: errors widened for correlated residuals, a parameter
// on a bound, a systematic misfit.
//
// After the fit AppState holds the fitted values (for a fitted concentration, the initial
// concentrations that follow from it, see FitModel) and curve 2 the curve simulated with them. A
// failure (of a simulation, of the arithmetic, more than 20 chosen slots, a fitted measured point
// the simulation does not cover) raises model::Failure; AppState then keeps the values of the last
// evaluation.

#include <array>
#include <span>
#include <string>
#include <vector>

#include "fitting/fit_quality.h"
#include "fitting/fit_range.h"
#include "fitting/fit_slots.h"
#include "fitting/marquardt.h"
#include "fitting/measured_comparison.h"
#include "model/app_state.h"
#include "model/curve_set.h"
#include "model/print_line.h"
#include "model/selections.h"

namespace kivex::fitting {

inline constexpr int kMaxFitIterations = 51;

// One fit slot as the Chemicals dialog offers it.
struct SlotOffer {
  bool chosen = false;  // ticked and visible
  std::string minText;  // the bound boxes as typed, read leniently (no number reads as 0)
  std::string maxText;
};
using SlotOffers = std::array<SlotOffer, kFitSlots + 1>;  // slots 1..29; 0 unused

// What a fit needs from the program around it.
class FitHost {
 public:
  virtual ~FitHost() = default;
  // Simulates the experiment as AppState stands, without committing the dialogs, onto the axis of
  // its own programme. Raises model::Failure.
  virtual void Simulate() = 0;
  // Called after each simulation once it lies on the measured axis: forms the quantity the fit
  // compares (the output quantity). Raises model::Failure. By default the current as simulated.
  virtual void FormComparedQuantity() {}
  // The trial's values at the fitted points and the measured values they are compared with, once
  // both are known. By default nothing.
  virtual void Compared(std::span<const double> /*simulated*/,
                        std::span<const double> /*observed*/) {}
  // A line for the result window, shown as soon as it is written.
  virtual void Print(const model::PrintLine& line) = 0;
  virtual double Timer() = 0;  // s

  // The concentration species i (1..6) is made up with, from which its initial concentration
  // follows: what a fitted concentration stands for. By default the initial concentration itself.
  virtual double AnalyticalConcentration(const model::AppState& app, int species) {
    return app.Cinit(species);
  }
  // Sets the initial concentrations as they follow from `analytical` (species 1..6 at [1..6]) and
  // the trial's standard potentials and equilibrium constants, before the trial is simulated. By
  // default they are the analytical ones.
  virtual void DeriveInitialConcentrations(model::AppState& app,
                                           std::span<const double> analytical) {
    for (int i = 1; i <= model::kMaxSpecies; ++i) {
      app.Cinit(i) = analytical[static_cast<std::size_t>(i)];
    }
  }
};

// What one fit leaves for the next: the optimiser's damping and storage, the slots fitted last
// (FitIndex(1..FitCount)) and the count of trial evaluations over all of the last fit's starts.
struct FitMemory {
  FitWork work;
  std::array<int, kMaxFitParameters + 1> FitIndex{};
  int FitCount = 0;
  long EvaluationCount = 0;
};

struct FitReport {
  std::vector<int> slots;       // the fitted slots, ascending
  std::vector<double> initial;  // start values as the experiment held them, before clamping
  std::vector<double> fitted;
  std::vector<double> min;  // the bounds, as read
  std::vector<double> max;
  double SSQ = 0;
  double DataVariance = 0;  // of the measured values, not of the residuals
  Termination Flag = Termination::NotStarted;
  int iterations = 0;
  long evaluations = 0;  // trial evaluations; the difference quotients are not counted
  int dampedSolves = 0;
  double elapsedTime = 0;  // s
  FitRange range;          // empty: every measured point was fitted
  int measuredPoints = 0;
  int fittedPoints = 0;
  model::Accuracy accuracy = model::Accuracy::Standard;  // of the digital runs, named if finer

  // How far the fit can be trusted (fit_quality.h), reported after the lines above.
  int restarts = 0;            // further starts tried because the first fit missed the data
  std::string restartFailure;  // the description of the failure that ended the last, if any
  ResidualPattern residuals;
  Uncertainty uncertainty;
  std::string uncertaintyFailure;  // why there is none, when a simulation for it failed
};

// The model of the fit: P(j) goes into the field of slot `slots[j]`, the host simulates, the
// comparison puts the simulation onto the measured axis, and the values are the current curve at
// the fitted measured points.
//
// A concentration slot stands for the concentration the species is made up with, not for its
// initial concentration: when the solution is pre-equilibrated at the starting potential (or
// preconcentrated), every species' initial concentration follows from all the analytical ones
// and from E0, kf and kb (and the deposit from D of species 1), so a trial of any of these
// derives them all anew, as the Chemicals dialog would with the trial values typed in. The fitted
// concentration is then the one to type into the dialog to get the fitted curve, and the species
// the fit does not adjust stay in equilibrium with those it does. A fit of other slots (ks,
// alpha, the other D) leaves the initial concentrations as committed. A fitted kf or kb also sets
// Keq = kf / kb, as the dialog does.
//
// A fitted measured point that the simulation does not cover ends the fit (MeasurementNotCovered);
// the simulation that failed so has written its own axis over the measured one, so the measured
// axis is put back and only the measured curve is shown, as it was imported.
class FitModel {
 public:
  FitModel(model::AppState& app, model::CurveSet& curves, FitHost& host, std::span<const int> slots,
           MeasuredComparison& comparison);

  void operator()(std::span<const double> P, std::span<double> values);

 private:
  model::AppState& app_;
  model::CurveSet& curves_;
  FitHost& host_;
  std::span<const int> slots_;
  MeasuredComparison& comparison_;
  std::array<double, model::kMaxSpecies + 1> analytical_{};  // species 1..6; 0 unused
  bool derivesConcentrations_ = false;
  std::array<bool, model::kMaxChem + 1> setsKeq_{};  // chemical reactions 1..4
};

// Runs the fit of `observed` (the measured curve, point by point, at the potentials x(1..NP) that
// `curves` holds when the fit starts) at its points within `range` (every point when empty):
// selection, clamping into the bounds, statistics, at most 51 iterations with a
// "Least square = " line each. Also sets app.elapsedTime, whether the fit ends well or not.
FitReport AutoFit(model::AppState& app, model::CurveSet& curves, std::span<const double> observed,
                  const SlotOffers& offers, FitMemory& memory, FitHost& host,
                  const FitRange& range = {});

// The report in the result window's print zones.
std::vector<model::PrintLine> ReportLines(const FitReport& report);

}  // namespace kivex::fitting
