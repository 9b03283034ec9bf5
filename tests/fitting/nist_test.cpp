// The optimiser against certified reference results (NIST StRD nonlinear regression), unbounded,
// with the program's own loop: at most 51 calls, stopping on a flag that is not positive.
//
// Tolerances. The fit stops once an iteration lowers the sum by less than 0.02 % (with the
// undamped step as well), so the final sum lies a little above the certified minimum; how far
// the parameters may then be from the certified ones depends on how flat the valley is, so each
// problem states its own bound, a few times what the run reaches:
//   well conditioned (Misra1a, DanWood, Rat42, BoxBOD and Eckerle4 from the near start): sum to
//   1e-5, parameters to 1e-4 or better;
//   strongly correlated parameters (Thurber, Rat43, MGH09 from the near start): sum to 5e-4,
//   parameters to 1e-2 (Thurber, Rat43) or 5e-2 (MGH09, whose four parameters share one ratio).

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "fitting/marquardt.h"
#include "nist_problems.h"

namespace kivex::fitting {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

struct Outcome {
  FitState fit;
  int iterations = 0;
};

Outcome Solve(const NistProblem& problem, const std::vector<double>& start, int limit = 51) {
  Outcome out;
  FitState& fit = out.fit;
  const std::size_t n = start.size();
  fit.X = start;
  fit.Min.assign(n, -kInf);
  fit.Max.assign(n, kInf);
  fit.Free.assign(n, -1);
  fit.Yobs = problem.y;
  fit.DataVariance = PopulationVariance(fit.Yobs);
  auto model = [&problem](std::span<const double> b, std::span<double> values) {
    for (std::size_t i = 0; i < values.size(); ++i) values[i] = problem.f(b.data(), problem.x[i]);
  };
  FitWork work;
  BeginFit(work, fit);
  do {
    MarquardtIteration(work, fit, model);
  } while (++out.iterations < limit && fit.Flag > 0);
  return out;
}

TEST(NistReference, CertifiedValuesReproduceTheCertifiedSum) {
  for (const NistProblem& p : NistProblems()) {
    EXPECT_NEAR(NistSsq(p, p.cert.data()) / p.certSsq, 1.0, 1e-10) << p.name;
  }
}

struct Case {
  const char* name;
  int start;
  double sumTolerance;        // relative, against the certified sum
  double parameterTolerance;  // relative, against each certified parameter
};

class NistCertified : public ::testing::TestWithParam<Case> {};

TEST_P(NistCertified, ReachesTheCertifiedValues) {
  const Case& c = GetParam();
  const NistProblem& p = NistFind(c.name);
  const Outcome out = Solve(p, c.start == 1 ? p.start1 : p.start2);
  EXPECT_EQ(out.fit.Flag, -2);
  EXPECT_LT(out.iterations, 51);
  EXPECT_GE(out.fit.SSQ, p.certSsq * (1 - 1e-9));  // nothing beats the certified minimum
  EXPECT_LE(out.fit.SSQ / p.certSsq - 1, c.sumTolerance);
  for (std::size_t j = 0; j < p.cert.size(); ++j) {
    EXPECT_NEAR(out.fit.X[j] / p.cert[j], 1.0, c.parameterTolerance) << "b" << j + 1;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Problems, NistCertified,
    ::testing::Values(Case{"Misra1a", 1, 1e-9, 1e-6}, Case{"Misra1a", 2, 1e-9, 1e-6},
                      Case{"DanWood", 1, 1e-8, 1e-5}, Case{"DanWood", 2, 1e-8, 1e-5},
                      Case{"Rat42", 1, 1e-5, 1e-3}, Case{"Rat42", 2, 1e-5, 1e-4},
                      Case{"BoxBOD", 2, 1e-5, 1e-2}, Case{"Eckerle4", 2, 1e-5, 1e-4},
                      Case{"Thurber", 1, 5e-4, 1e-2}, Case{"Thurber", 2, 5e-4, 1e-2},
                      Case{"Rat43", 1, 5e-4, 1e-2}, Case{"Rat43", 2, 5e-4, 1e-2},
                      Case{"MGH09", 2, 5e-4, 5e-2}),
    [](const ::testing::TestParamInfo<Case>& info) {
      return std::string(info.param.name) + "Start" + std::to_string(info.param.start);
    });

// MGH10 from its second start runs along a long curved valley. Heavily damped steps there lower
// the sum by little per call, which used to count as convergence: the fit stopped at 368 times
// the certified sum. It must not claim convergence after the program's 51 calls, and, left to
// run, it reaches the certified values.
TEST(NistValley, NoConvergenceIsClaimedHalfWayAlongACurvedValley) {
  const NistProblem& p = NistFind("MGH10");
  const Outcome limited = Solve(p, p.start2);
  EXPECT_EQ(limited.iterations, 51);
  EXPECT_EQ(limited.fit.Flag, 1);

  const Outcome unlimited = Solve(p, p.start2, 1000);
  EXPECT_EQ(unlimited.fit.Flag, -2);
  EXPECT_NEAR(unlimited.fit.SSQ / p.certSsq, 1.0, 1e-5);
  for (std::size_t j = 0; j < p.cert.size(); ++j) {
    EXPECT_NEAR(unlimited.fit.X[j] / p.cert[j], 1.0, 1e-3) << "b" << j + 1;
  }
}

// Eckerle4's peak is 4 wide at x = 451, so a 1 % difference step (4.5) gives derivatives too
// coarse to find the way down the last 1.5 % of the sum; the fit used to report convergence
// there. It now goes on with finer derivatives (tested with the certified cases above). From the
// far start the model's peak misses the data altogether: a plateau, reported as such.
TEST(NistValley, FarStartsThatEndOnAPlateauOrRunOut) {
  for (const char* name : {"BoxBOD", "Eckerle4"}) {
    const NistProblem& p = NistFind(name);
    const Outcome out = Solve(p, p.start1);
    EXPECT_EQ(out.fit.Flag, -2) << name;
    EXPECT_GT(out.fit.SSQ, 5 * p.certSsq) << name;
  }
  for (const char* name : {"MGH09", "MGH10"}) {
    const NistProblem& p = NistFind(name);
    EXPECT_EQ(Solve(p, p.start1).fit.Flag, 1) << name;  // honestly not converged
  }
}

}  // namespace
}  // namespace kivex::fitting
