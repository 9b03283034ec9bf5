// The accuracy settings of the digital route against an independent fine solution of the same
// cyclic sweeps: the standard staircase is a per cent off, fine and finest converge.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "support/closed_forms.h"
#include "support/reference_sweep.h"

namespace kivex::testing {
namespace {

using model::Accuracy;

double LargestDeviation(const Voltammogram& v, Accuracy accuracy,
                        const std::vector<double>& reference) {
  const simulation::DigitalResolution resolution = simulation::ResolutionOf(accuracy);
  return DeviationOf(Voltammogram(v.app, simulation::SolveRoute::kPrepared, &resolution).I,
                     reference)
      .largest;
}

TEST(DigitalConvergence, FinestSweepsAgreeWithAFineIndependentSolution) {
  for (SweepCase c : kSweepCases) {
    for (double step : {0.001, 0.005}) {
      SCOPED_TRACE(std::string(NameOf(c)) + ", step " + std::to_string(step));
      const simulation::DigitalResolution finest = simulation::ResolutionOf(Accuracy::Finest);
      const Voltammogram v(SweepCaseExperiment(c, step), simulation::SolveRoute::kPrepared,
                           &finest);
      // Coarser than the bench's reference (half its nodes, a quarter of its steps), within
      // about 0.01 % of it: fast enough for every run of the suite.
      const std::vector<double> reference = ReferenceSweep(v.app, v.E, {200, 10});
      const Deviation d = DeviationOf(v.I, reference);
      EXPECT_LT(d.largest, 0.002);
      EXPECT_LT(d.rms, 0.001);
      EXPECT_LT(LargestDeviation(v, Accuracy::Fine, reference), 0.002);
      // The staircase of one backward Euler step a point is what the finer settings mend.
      EXPECT_GT(LargestDeviation(v, Accuracy::Standard, reference), 0.005);
    }
  }
}

TEST(DigitalConvergence, ReferenceGivesRandlesSevcikForAFastCouple) {
  model::AppState app = SweepCaseExperiment(SweepCase::Reversible, 0.001);
  const Voltammogram v(app);
  const std::vector<double> reference = ReferenceSweep(v.app, v.E, {200, 10});
  double peak = 0;
  for (int i = 0; i < v.sweepPoints; ++i) peak = std::max(peak, reference[i]);
  // The 1 mV points sample within 0.01 % of the maximum.
  EXPECT_NEAR(peak / simulation::physics::RandlesSevcik(app), 1.0, 5e-4);
}

}  // namespace
}  // namespace kivex::testing
