#pragma once
// Display patterns for numbers, and the general numeric form of reports and files.

#include <string>
#include <string_view>

namespace kivex::model {

// Formats `value` with a display pattern. A "0" is a digit always shown, a "#" a digit shown only
// when significant; the decimal point is always written, even when no digit follows it; an
// exponent part "e-" / "E-" writes the exponent's sign only when it is negative, followed by its
// digits without leading zeros (at least one digit). Patterns in use:
//   "0.###e-#"  0.001 -> "1.e-3", 0.00099958 -> "9.996e-4", 150 -> "1.5e2", 0.0125 -> "1.25e-2"
//   "0.##e-0"   1.0000 -> "1.e0"
//   "#.###e-#"  1000 -> "1.e3"
//   "0.####E-0" 2.6e-5 -> "2.6E-5"
//   "0E-0"      1e-6 -> "1E-6", 1e6 -> "1E6"
//   "0.####"    -0.0285 -> "-0.0285", 1 -> "1."
//   "0.##"      0.1 -> "0.1", 0 -> "0."
//   "0"         -1 -> "-1", 4 -> "4"
// Rounding is to the nearest, halves away from zero, on the decimal digits shown, taken from the
// value's 17 significant digits (0.125 -> "0.13" with "0.##"; 2.675, stored slightly below, ->
// "2.67"). With an exponent part the mantissa has exactly one integer digit (carries move the
// exponent: 9.9996e-4 -> "1.e-3"), 0 has the exponent 0 ("0.e0"), and "e+" / "E+" always writes
// the exponent's sign. A "0" left of the point or in the exponent forces every digit from it on; a
// "0" right of the point forces every decimal up to it. A value that rounds to zero has no minus
// sign. Other characters before or after the placeholders are copied as they stand ("0.00 V"); a
// pattern without placeholders gives ShortestText. Non-finite values give "inf", "-inf", "nan".
std::string FormatPattern(double value, std::string_view pattern);

// The general numeric form of a number item in a report line or a file: a blank before a
// non-negative number or its minus sign, no zero before the point of a magnitude below 1 (".3",
// "-.25"), up to 15 significant digits with trailing zeros dropped, the exponent form with E and a
// signed exponent of at least two digits for magnitudes below 1E-4 or from 1E15 up ("1.5E-05",
// "1E+15"), and one blank after the number. 0.3 -> " .3 ", -0.05 -> "-.05 ", 61 -> " 61 ",
// 0 -> " 0 ". Non-finite values are written as " inf " / "-inf " / " nan " so they can be seen.
std::string GeneralNumber(double value);

}  // namespace kivex::model
