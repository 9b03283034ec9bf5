#include "display/axis_ticks.h"

#include <cmath>
#include <cstdlib>

#include "model/number_text.h"

namespace kivex::display {

namespace {

// Intervals that fit an axis legibly (X labels of five characters side by side, Y labels a line
// apart) and the most the kept 0.1 V and whole-unit layouts may have.
constexpr double kMaxIntervals = 10;
constexpr int kMaxTenths = 15;
constexpr int kMaxUnits = 20;
// Tick numbers beyond this are not kept exactly in a double: such a range is too fine to label.
constexpr double kMaxTickNumber = 1e15;
// Relative slack for limits that are meant to lie on a tick but carry rounding from arithmetic.
constexpr double kSlack = 1e-9;

// n x 10^e as the nearest double: the value a reader takes from the decimal text.
double Decimal(long long n, int e) {
  return model::ReadNumber(std::to_string(n) + "e" + std::to_string(e));
}

// Whether v is a whole multiple of `step` to within rounding; the multiple in `k`.
bool WholeMultiple(double v, double step, long long& k) {
  const double q = v / step;
  if (!std::isfinite(q) || std::fabs(q) > kMaxTickNumber) return false;
  const double nearest = std::round(q);
  if (std::fabs(q - nearest) > 1e-6) return false;
  k = static_cast<long long>(nearest);
  return true;
}

// The ticks k = kFirst..kLast of a spacing, upwards or downwards.
TickRun Run(long long kFirst, long long kLast, int mantissa, int exponent, bool downwards) {
  TickRun run;
  run.mantissa = mantissa;
  run.exponent = exponent;
  if (kLast < kFirst) return run;
  run.count = static_cast<int>(kLast - kFirst + 1);
  run.first = downwards ? kLast : kFirst;
  run.direction = downwards ? -1 : 1;
  return run;
}

// Multiples of the smallest 1-2-5 spacing that leaves at most ten intervals between lo and hi.
TickRun RoundTicks(double lo, double hi, bool downwards) {
  const double range = hi - lo;
  if (!(range > 0) || !std::isfinite(range)) return {};
  const double raw = range / kMaxIntervals;
  if (!(raw > 0)) return {};
  int exponent = static_cast<int>(std::floor(std::log10(raw)));
  const double decade = Decimal(1, exponent);
  if (!(decade > 0) || !std::isfinite(decade)) return {};
  const double scaled = raw / decade;
  int mantissa = 10;
  for (int m : {1, 2, 5}) {
    if (scaled <= m * (1 + kSlack)) {
      mantissa = m;
      break;
    }
  }
  if (mantissa == 10) {
    mantissa = 1;
    ++exponent;
  }
  const double step = Decimal(mantissa, exponent);
  const double kLo = std::ceil(lo / step - kSlack);
  const double kHi = std::floor(hi / step + kSlack);
  if (!(std::fabs(kLo) <= kMaxTickNumber && std::fabs(kHi) <= kMaxTickNumber)) return {};
  return Run(static_cast<long long>(kLo), static_cast<long long>(kHi), mantissa, exponent,
             downwards);
}

// The decimal text of n x 10^shift, with the point kept on a whole number when asked.
std::string DecimalText(long long n, int shift, bool keepPoint) {
  const bool negative = n < 0;
  std::string digits = std::to_string(negative ? -n : n);
  // Trailing zeros of n move into the exponent, so that 10 x 10^-1 reads "1".
  while (digits.size() > 1 && digits.back() == '0') {
    digits.pop_back();
    ++shift;
  }
  std::string text;
  if (digits == "0") {
    text = "0";
    shift = 0;
  } else if (shift > 15 || shift + static_cast<int>(digits.size()) < -15) {
    text = digits.substr(0, 1);
    if (digits.size() > 1) text += "." + digits.substr(1);
    text += "E" + std::to_string(shift + static_cast<int>(digits.size()) - 1);
    return negative ? "-" + text : text;
  } else if (shift >= 0) {
    text = digits + std::string(static_cast<std::size_t>(shift), '0');
  } else {
    const int whole = static_cast<int>(digits.size()) + shift;
    if (whole <= 0) {
      text = "0." + std::string(static_cast<std::size_t>(-whole), '0') + digits;
    } else {
      text = digits.substr(0, static_cast<std::size_t>(whole)) + "." +
             digits.substr(static_cast<std::size_t>(whole));
    }
  }
  if (shift >= 0 && keepPoint) text += ".";
  return negative ? "-" + text : text;
}

}  // namespace

double TickRun::Step() const { return Decimal(mantissa, exponent); }

double TickRun::At(int j) const { return Decimal((first + direction * j) * mantissa, exponent); }

std::string TickRun::Label(int j, int unitExponent, bool keepPoint) const {
  return DecimalText((first + direction * j) * mantissa, exponent - unitExponent, keepPoint);
}

int DecadeExponent(double powerOfTen) {
  return static_cast<int>(std::lround(std::log10(powerOfTen)));
}

TickRun PotentialTicks(double lo, double hi) {
  // Every 0.1 V from xMin, as the axis has always been drawn, where that lands on whole tenths.
  const double tenths = (hi - lo) * 10;
  const double whole = std::round(tenths);
  long long kLo = 0;
  if (whole >= 3 && whole <= kMaxTenths && std::fabs(tenths - whole) <= kSlack * whole &&
      WholeMultiple(lo, 0.1, kLo)) {
    return Run(kLo, kLo + static_cast<long long>(whole), 1, -1, false);
  }
  return RoundTicks(lo, hi, false);
}

TickRun ValueTicks(double yMin, double yMax, double unit, bool downwards) {
  // Every unit, as automatic limits (whole units) have always been drawn.
  long long kLo = 0;
  long long kHi = 0;
  if (WholeMultiple(yMin, unit, kLo) && WholeMultiple(yMax, unit, kHi) && kHi - kLo >= 2 &&
      kHi - kLo <= kMaxUnits) {
    return Run(kLo, kHi, 1, DecadeExponent(unit), downwards);
  }
  return RoundTicks(yMin, yMax, downwards);
}

}  // namespace kivex::display
