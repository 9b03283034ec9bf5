#pragma once
// exp(x^2) * erfc(x) without the overflow and cancellation of forming the two factors apart: the
// diffusion-kinetic step currents all reduce to it.
//
//   ScaledErfc(0) == 1;  ScaledErfc(x) ~ 1 / (x sqrt(pi)) for large x.
//
// Two branches: for |x| >= 1.5 the continued fraction of the Mills ratio (for x <= -1.5 by the
// reflection erfc(-u) = 2 - erfc(u)); below 1.5 the power series of erf. The constants are the
// decimal literals 1.4142136 and 1.7724539 (numerics::kSqrtPiErfc), as the program has always used
// them, so results agree with std::erfc to about 1e-7 relative.

namespace kivex::simulation {

// Raises model::Failure ("Overflow") when exp(x^2) leaves the doubles (x below about -26.6).
double ScaledErfc(double x);

}  // namespace kivex::simulation
