#pragma once
// What an analysis says when it put a curve over unevenly spaced potentials onto an even grid
// (numerics/even_resampling.h), and its refusal when no grid of the axis's step can hold it.
//
//   UnevenSpacingNote(SpreadOfSteps(x), "this analysis")
//   // "The potentials are unevenly spaced (steps from 1.9 to 4.1 mV): resampled onto an even
//   //  3.07 mV grid for this analysis."

#include <string>
#include <string_view>

#include "numerics/even_resampling.h"

namespace kivex::analysis {

// The potentials are taken in volts and written in millivolts to three significant digits.
std::string UnevenSpacingNote(const numerics::StepSpread& spread, std::string_view purpose);

// Its first half: "The potentials are unevenly spaced (steps from 1.9 to 4.1 mV)".
std::string UnevenStepsText(const numerics::StepSpread& spread);

// Raises model::Failure naming `what` ("semi-differentiate", "compute the peak area of") when
// `even` holds no grid.
void RequireGrid(const numerics::EvenResampling& even, std::string_view what);

}  // namespace kivex::analysis
