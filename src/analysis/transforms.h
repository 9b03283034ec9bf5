#pragma once
// The transforms of the Analysis menu: the scale and sign changes of the X Data and Y Data
// commands, and the half-order and first-order derivatives and integrals of a curve. A refused
// change, or one whose result would not be finite, leaves the curve as it was.
//
//   if (auto note = TransformCurve(curves.x, column, curves.pointCount,
//                                  CurveTransform::SemiIntegrate)) {
//     Print(*note);   // the potentials were unevenly spaced and the curve was resampled
//   }

#include <optional>
#include <span>
#include <string>

#include "numerics/curve_column.h"

namespace kivex::analysis {

// x(i) *= factor for i = 1..count ("-X" is the factor -1); the axis of every curve.
void ScaleX(numerics::XAxis& x, int count, double factor);

// f(i) *= factor for i = 1..count ("-Y" is the factor -1).
void ScaleY(std::span<double> column, int count, double factor);

// The kernels of numerics/semi_differentiate.h and numerics/calculus.h.
enum class CurveTransform { SemiDifferentiate, SemiIntegrate, Differentiate, Integrate };

// `transform` of `column` over x(1..count). Over evenly spaced potentials (numerics::StepSpread)
// it is the kernel itself, to the last bit. Over potentials whose steps differ, the kernels'
// single spacing would misread the curve: it is put onto an even grid of the axis's typical step
// (numerics::EvenResampling), transformed there, its sweeps in time order, and interpolated back
// onto its own points; the returned line says so for the result window.
std::optional<std::string> TransformCurve(const numerics::XAxis& x, std::span<double> column,
                                          int count, CurveTransform transform);

}  // namespace kivex::analysis
