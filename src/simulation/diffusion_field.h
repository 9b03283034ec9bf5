#pragma once
// Diffusion to an electrode after a potential step: the flux per unit area that a unit step of
// surface concentration draws (the Nernstian step current over n F A C), for each shape of
// diffusion field the electrodes offer, and the current of a step with finite electron-transfer
// rates.
//
//   planar    sqrt(D / pi t)                                    (Cottrell)
//   sphere    sqrt(D / pi t) + D / r
//   cylinder  (D / r) f(D t / r^2), f the Jaeger-Clarke function; its Laplace transform is
//             sqrt(D / s) K1(r q) / K0(r q), q = sqrt(s / D), inverted numerically
//   band      a strip of width w in an insulating plane; in the Laplace domain the flux per unit
//             length is (D / s) Phi(w q), with Phi from a boundary-integral solution (below)
//   film      a layer of thickness l on the electrode, closed by an insulating wall:
//             sqrt(D / pi t) (1 + 2 sum_k (-1)^k exp(-k^2 l^2 / D t)), the image series, or at
//             long times (2 D / l) sum_m exp(-(2m + 1)^2 pi^2 D t / 4 l^2); it runs out
//
// A catalytic regeneration at rate k (1/s) removes the deficit wherever it has spread: the
// deficit obeys diffusion with a first-order loss, so every transform takes q = sqrt((s + k) / D).
// At a plane the step flux is sqrt(D) (exp(-kt) / sqrt(pi t) + sqrt(k) erf(sqrt(kt))), rising to
// the reaction layer's sqrt(Dk); the sphere adds D / r.
//
//   StepFlux(DiffusionField{FieldShape::Cylinder, 5e-4}, 1e-5, 0.5);  // (D/r) f(20) = 0.00922
//
// Times are in s, lengths in cm, D in cm2/s.
#include "model/selections.h"

namespace kivex::simulation {

enum class FieldShape { Planar, Sphere, Cylinder, Band, Film };

struct DiffusionField {
  FieldShape shape = FieldShape::Planar;
  double size = 0;  // cm: sphere or cylinder radius, band width, film thickness
  double k = 0;     // 1/s, the first-order regeneration that consumes the deficit
};

// An electrode as up to two independent diffusion fields sharing its area: a cylinder's side and
// its flat end, each with the fraction of the area it holds.
struct ElectrodeFields {
  int count = 0;
  DiffusionField field[2];
  double weight[2] = {0, 0};
};

// The electrode's diffusion-limited step current over n F A C at time t: its fields' StepFlux
// weighted by their shares of the area (cm/s).
double ElectrodeStepFlux(const ElectrodeFields& fields, double D, double t);

// Laplace transform of StepFlux at s > 0 (cm/s per 1/s).
double StepFluxTransform(const DiffusionField& field, double D, double s);

// Flux per unit area and unit concentration at time t after the step, cm/s.
double StepFlux(const DiffusionField& field, double D, double t);

// Its integral from 0 to t (the charge drawn), cm.
double StepCharge(const DiffusionField& field, double D, double t);

// The step current with electron transfer at rates kred, kox (cm/s) over the driving term
// kred cR - kox cP: the inverse transform of 1 / (s + kred / K_R(s) + kox / K_P(s)), with K_R and
// K_P the transforms of StepFlux for the two members of the couple (exact for any D of either).
// exp(x^2) erfc(x), x = (kred / sqrt(DR) + kox / sqrt(DP)) sqrt(t), at a plane.
double KineticStepFactor(const DiffusionField& field, double DR, double DP, double kred, double kox,
                         double t);

// The band's Laplace-domain flux per unit length over D / s, as a function of p = w sqrt(s / D).
double BandTransformFactor(double p);

}  // namespace kivex::simulation
