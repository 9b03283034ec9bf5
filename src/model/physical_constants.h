#pragma once
// Physical constants, as this program has always used them. They sit in the lowest layer because
// the experiment state itself is formed from them (f/RT, electrode areas, rotation rates); the
// kernels above reach them through numerics/constants.h.

namespace kivex::model {

inline constexpr double kFaraday = 96484.6;      // C/mol
inline constexpr double kGasConstant = 8.31441;  // J/(mol K)
inline constexpr double kCelsiusZero = 273.14;   // K at 0 degrees Celsius
// pi to ten digits, as the program's formulas have always written it (electrode areas, rotation
// rates, the closed forms): results are formed with it. Full precision is std::numbers::pi.
inline constexpr double kPiTenDigits = 3.141592654;

}  // namespace kivex::model
