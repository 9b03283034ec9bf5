#pragma once
// Counts and indexes are 16-bit signed integers. A real value becomes a count by rounding to the
// nearest integer with halves going to the even neighbour; a value outside the 16-bit range is
// an overflow failure.

#include <cstdint>

namespace kivex::model {

using Count = std::int16_t;

// Nearest integer, halves to even (2.5 -> 2, 3.5 -> 4, -2.5 -> -2). Independent of the
// floating-point rounding mode.
double RoundHalfEven(double v);

// RoundHalfEven as a 16-bit count; raises "Overflow" outside -32768..32767 or for non-finite v.
Count ToCount(double v);

// An integer result that must fit a 16-bit count.
Count ToCount(long long v);

}  // namespace kivex::model
