#pragma once
// Tick marks on round values: every tick of an axis stands at k x m x 10^e for whole numbers k,
// one spacing m x 10^e with m = 1, 2 or 5, and its label is written from those whole numbers, so
// it states the tick's value exactly ("-0.15" is the tick at -0.15, not at -0.1467).
//
//   TickRun x = PotentialTicks(-0.5, 0.1);    // -0.5, -0.4, ..., 0.1
//   for (int j = 0; j < x.count; ++j) Label(x.At(j), x.Label(j, 0, true));
//
// The potential axis keeps its ticks every 0.1 V where its limits lie on whole tenths and span
// 0.3 to 1.5 V, and the Y axis its ticks every unit where its limits are whole units; every other
// range gets the smallest 1-2-5 spacing that leaves at most ten intervals.

#include <string>

namespace kivex::display {

struct TickRun {
  long long first = 0;  // k of the first tick
  int count = 0;        // no ticks when the range cannot carry them (empty, or too fine to label)
  int direction = 1;    // k runs first, first + direction, ...
  int mantissa = 1;     // m
  int exponent = 0;     // e

  // The spacing m x 10^e, and the value of tick j: the double nearest to its label's decimal.
  double Step() const;
  double At(int j) const;
  // The label of tick j counted in units of 10^unitExponent: "0.25", "-3"; with `keepPoint` a
  // whole number keeps its decimal point ("0.", "-200."). Far from the unit the label takes an
  // exponent ("2E18").
  std::string Label(int j, int unitExponent, bool keepPoint) const;
};

// Ticks of the potential axis between lo and hi (lo < hi), upwards.
TickRun PotentialTicks(double lo, double hi);

// Ticks of the Y axis between yMin and yMax whose labels count `unit` (a power of ten); from the
// top down when `downwards`.
TickRun ValueTicks(double yMin, double yMax, double unit, bool downwards);

// The exponent p of a power of ten 10^p.
int DecadeExponent(double powerOfTen);

}  // namespace kivex::display
