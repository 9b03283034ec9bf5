#include "analysis/uneven_spacing.h"

#include <charconv>

#include "model/failure.h"

namespace kivex::analysis {

namespace {

// Millivolts to three significant digits, the same in every locale ("1.9", "3.07", "0.05").
std::string Millivolts(double volts) {
  char text[32];
  const auto end =
      std::to_chars(text, text + sizeof text, volts * 1000.0, std::chars_format::general, 3);
  return std::string(text, end.ptr);
}

}  // namespace

std::string UnevenSpacingNote(const numerics::StepSpread& spread, std::string_view purpose) {
  return UnevenStepsText(spread) + ": resampled onto an even " + Millivolts(spread.typical) +
         " mV grid for " + std::string(purpose) + ".";
}

std::string UnevenStepsText(const numerics::StepSpread& spread) {
  return "The potentials are unevenly spaced (steps from " + Millivolts(spread.least) + " to " +
         Millivolts(spread.most) + " mV)";
}

void RequireGrid(const numerics::EvenResampling& even, std::string_view what) {
  if (even.size() > 0) return;
  throw model::Failure("The potentials are too unevenly spaced to " + std::string(what) +
                       " on an even grid of their typical step (it would need more than " +
                       std::to_string(numerics::kMaxGridPoints) + " points)");
}

}  // namespace kivex::analysis
