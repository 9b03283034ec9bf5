#include "analysis/transforms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "model/failure.h"
#include "numerics/calculus.h"
#include "numerics/interpolation.h"
#include "numerics/semi_differentiate.h"

namespace kivex::analysis {
namespace {

using numerics::XAxis;

// A curve over its own axis, both 1-based as the working curves hold them.
struct Curve {
  XAxis x;
  model::Table2<double, model::kMaxPoints, 1> y;
  int n = 0;
  std::span<double> f() { return numerics::ColumnOf(y, 1); }
  double at(int i) const { return y(i, 1); }
};

Curve Sampled(const std::vector<double>& x, const std::function<double(int)>& value) {
  Curve c;
  c.n = static_cast<int>(x.size());
  for (int i = 1; i <= c.n; ++i) {
    c.x(i) = x[i - 1];
    c.y(i, 1) = value(i);
  }
  return c;
}

constexpr CurveTransform kAll[] = {CurveTransform::SemiDifferentiate, CurveTransform::SemiIntegrate,
                                   CurveTransform::Differentiate, CurveTransform::Integrate};

TEST(TransformCurve, AnEvenAxisIsTheKernelItselfToTheLastBit) {
  // One sweep down, and a cycle with its vertex held as a run writes it.
  std::vector<double> sweep, cycle;
  for (int i = 0; i <= 60; ++i) sweep.push_back(0.3 - 0.005 * i);
  for (int i = 0; i <= 60; ++i) cycle.push_back(0.3 - 0.01 * i);
  for (int i = 0; i <= 60; ++i) cycle.push_back(-0.3 + 0.01 * i);
  for (const auto* axis : {&sweep, &cycle}) {
    for (const CurveTransform transform : kAll) {
      const auto wave = [](int i) { return 1e-5 * std::exp(-std::pow((i - 30) / 6.0, 2)); };
      Curve ours = Sampled(*axis, wave);
      Curve kernel = Sampled(*axis, wave);
      EXPECT_FALSE(TransformCurve(ours.x, ours.f(), ours.n, transform).has_value());
      switch (transform) {
        case CurveTransform::SemiDifferentiate:
          numerics::SemiDifferentiate(kernel.x, kernel.f(), kernel.n);
          break;
        case CurveTransform::SemiIntegrate:
          numerics::SemiIntegrate(kernel.x, kernel.f(), kernel.n);
          break;
        case CurveTransform::Differentiate:
          numerics::Differentiate(kernel.x, kernel.f(), kernel.n);
          break;
        case CurveTransform::Integrate: numerics::Integrate(kernel.x, kernel.f(), kernel.n); break;
      }
      for (int i = 1; i <= ours.n; ++i) {
        ASSERT_EQ(ours.at(i), kernel.at(i)) << static_cast<int>(transform) << " " << i;
      }
    }
  }
}

// Steps of 1.9, 3.07 and 4.1 mV in turn, upwards from 0.
std::vector<double> ThreeSteps(int n) {
  const double steps[] = {0.0019, 0.00307, 0.0041};
  std::vector<double> x = {0.0};
  for (int i = 1; i < n; ++i) x.push_back(x.back() + steps[(i - 1) % 3]);
  return x;
}

TEST(TransformCurve, OnUnevenStepsTheLineAndItsIntegralAreExactAndTheNoteSaysSo) {
  const std::vector<double> x = ThreeSteps(40);
  const std::string note =
      "The potentials are unevenly spaced (steps from 1.9 to 4.1 mV): resampled onto an even "
      "3.07 mV grid for this analysis.";

  // The slope of a straight line is the same at every point, ends included.
  Curve line = Sampled(x, [&x](int i) { return 1 + 3 * x[i - 1]; });
  EXPECT_EQ(TransformCurve(line.x, line.f(), line.n, CurveTransform::Differentiate), note);
  for (int i = 1; i <= line.n; ++i) EXPECT_NEAR(line.at(i), 3, 1e-9) << i;

  // The running rectangle sum of a constant c on a grid of step h is c (k + 1) h at grid point
  // k, linear in the distance d between grid points: c (d + h) at every point of the curve.
  Curve constant = Sampled(x, [](int) { return 2.0; });
  ASSERT_TRUE(TransformCurve(constant.x, constant.f(), constant.n, CurveTransform::Integrate));
  for (int i = 1; i <= constant.n; ++i) {
    EXPECT_NEAR(constant.at(i), 2 * (x[i - 1] + 0.00307), 1e-12) << i;
  }
  // Taken as evenly spaced by its first step, the same sum runs 2 i 1.9 mV instead, over a third
  // short by the last point.
  Curve raw = Sampled(x, [](int) { return 2.0; });
  numerics::Integrate(raw.x, raw.f(), raw.n);
  EXPECT_LT(raw.at(raw.n), 0.7 * 2 * (x.back() + 0.00307));
}

// The half-order derivative in the distance swept t of S (S(0) = 0): the current whose
// half-order integral is S, (1 / sqrt(pi)) int_0^t S'(tau) / sqrt(t - tau) dtau. With tau =
// t - u^2 it is (2 / sqrt(pi)) int_0^sqrt(t) S'(t - u^2) du, smooth in u between the kinks of S,
// summed by Simpson's rule piece by piece.
double HalfDerivative(const std::function<double(double)>& slope, double t, double kink) {
  auto simpson = [&](double a, double b) {
    const int m = 400;
    const double h = (b - a) / m;
    double sum = slope(t - a * a) + slope(t - b * b);
    for (int k = 1; k < m; ++k) {
      const double u = a + k * h;
      sum += (k % 2 ? 4 : 2) * slope(t - u * u);
    }
    return sum * h / 3;
  };
  const double top = std::sqrt(t);
  const double split = t > kink ? std::sqrt(t - kink) : top;  // where t - u^2 is the kink
  return 2 / std::sqrt(std::numbers::pi) * (simpson(0, split) + simpson(split, top));
}

TEST(TransformCurve, SemiIntegralOfAReversibleCycleOnAJitteredAxisMatchesTheEvenGrid) {
  // A reversible couple at E1/2 = 0 swept from 0.3 V to -0.3 V and back: its semi-integral is
  // S = 1 / (1 + exp(f E)) of the potential on both sweeps, and the command's scale (0.25 / sqrt(pi
  // h) for the L1 derivative in volts) gives S / 8. Sampled every 2 mV of time, the potentials
  // jittering by up to 0.7 mV about the staircase: its first step is 2.6 mV, not 2 mV.
  const double f = 38.92;
  const double h = 0.002;
  const int n = 601;  // 300 steps down, 300 up
  const auto potential = [](double t) { return t <= 0.6 ? 0.3 - t : t - 0.9; };
  const auto S = [&](double t) { return 1 / (1 + std::exp(f * potential(t))); };
  const auto slope = [&](double tau) {
    const double s = S(tau);
    return f * s * (1 - s) * (tau <= 0.6 ? 1 : -1);  // dS/dt = -f S (1 - S) dE/dt
  };
  std::vector<double> t(n), even(n), jittered(n);
  for (int i = 0; i < n; ++i) {
    t[i] = h * i + (i % 300 ? 0.35 * h * std::sin(2.1 * i) : 0.0);  // no jitter at the turns
    jittered[i] = potential(t[i]);
    even[i] = potential(h * i);
  }
  const auto current = [&](const std::vector<double>& times, int i) {
    return HalfDerivative(slope, times[i - 1], 0.6);
  };
  std::vector<double> evenTimes(n);
  for (int i = 0; i < n; ++i) evenTimes[i] = h * i;

  Curve onEven = Sampled(even, [&](int i) { return current(evenTimes, i); });
  Curve onJitter = Sampled(jittered, [&](int i) { return current(t, i); });
  Curve raw = onJitter;
  ASSERT_FALSE(TransformCurve(onEven.x, onEven.f(), n, CurveTransform::SemiIntegrate));
  const auto note = TransformCurve(onJitter.x, onJitter.f(), n, CurveTransform::SemiIntegrate);
  ASSERT_TRUE(note.has_value());
  EXPECT_EQ(note->rfind("The potentials are unevenly spaced (steps from ", 0), 0u) << *note;
  numerics::SemiIntegrate(raw.x, raw.f(), n);

  // The even grid's answer at the jittered points, by the distance swept.
  std::vector<double> evenAnswer(n), atJitter(n);
  for (int i = 0; i < n; ++i) evenAnswer[i] = onEven.at(i + 1);
  numerics::InterpolateLinear(evenTimes, evenAnswer, t, atJitter);
  double worstResampled = 0, worstRaw = 0, worstEven = 0;
  for (int i = 10; i < n; ++i) {
    worstResampled = std::max(worstResampled, std::fabs(onJitter.at(i + 1) - atJitter[i]));
    worstRaw = std::max(worstRaw, std::fabs(raw.at(i + 1) - atJitter[i]));
    worstEven = std::max(worstEven, std::fabs(evenAnswer[i] - S(evenTimes[i]) / 8));
  }
  const double plateau = 1.0 / 8;
  // Measured: 0.9 %, 0.03 % and 14 % of the plateau.
  EXPECT_LT(worstEven, 0.015 * plateau);       // the kernel's own error at 2 mV
  EXPECT_LT(worstResampled, 0.002 * plateau);  // resampled: as the even grid
  EXPECT_GT(worstRaw, 0.05 * plateau);         // taken as even: clearly off
}

TEST(TransformCurve, AnAxisTooUnevenForAGridIsRefusedAndTheCurveKept) {
  // 3000 steps of 0.1 mV and 1000 of 50 mV: a grid of 0.1 mV would need over 500 000 points.
  std::vector<double> x = {0.0};
  for (int i = 1; i < 4000; ++i) x.push_back(x.back() + (i % 4 ? 1e-4 : 0.05));
  Curve c = Sampled(x, [](int i) { return 1.0 * i; });
  try {
    TransformCurve(c.x, c.f(), c.n, CurveTransform::SemiDifferentiate);
    ADD_FAILURE() << "not refused";
  } catch (const model::Failure& failure) {
    EXPECT_EQ(failure.description(),
              "The potentials are too unevenly spaced to semi-differentiate on an even grid of "
              "their typical step (it would need more than 16000 points)");
  }
  for (int i = 1; i <= c.n; ++i) ASSERT_EQ(c.at(i), 1.0 * i);
}

}  // namespace
}  // namespace kivex::analysis
