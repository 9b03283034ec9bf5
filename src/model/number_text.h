#pragma once
// Reading numbers from what the user typed, the same in every locale (the decimal separator is
// always the point). Blanks are spaces and tabs.

#include <optional>
#include <string>
#include <string_view>

namespace kivex::model {

// The lenient reader used for every text field: leading blanks are skipped, the longest leading
// part that forms a decimal number (optional sign, digits, one point, optional exponent e or E with
// optional sign and at least one digit) is taken and the rest ignored. A text without such a part
// reads as 0. "1e-3" -> 0.001, "25 C" -> 25, "" -> 0, "1e" -> 1, ".5x" -> 0.5, "-" -> 0.
// A number too large for a double reads as the largest finite double of its sign, one below the
// smallest subnormal as 0. "inf", "nan" and "0x10" (beyond its "0") are not numbers.
double ReadNumber(std::string_view text);

// Whether the number ReadNumber would take is followed at once by a comma and a digit, as in
// "0,3" or "1,5e-3": a decimal comma, which ReadNumber would silently cut short ("0,3" reads 0).
// Other text after a number ("25 C", "1e-3 M") is not one.
bool HasDecimalComma(std::string_view text);

// The strict conversion: the whole text (leading and trailing blanks allowed) must be one decimal
// number; otherwise, or when it is too large for a finite double, there is no value. A number
// below the smallest subnormal reads as 0, as in ReadNumber.
std::optional<double> ParseNumber(std::string_view text);

// The shortest decimal text that reads back as the same double ("0.5", "0.02", "-0.3", "1e-05").
// Used where a dialog field is filled by the program; ParseNumber and ReadNumber give the value
// back exactly. -0 is written "0"; non-finite values "inf", "-inf", "nan".
std::string ShortestText(double value);

}  // namespace kivex::model
