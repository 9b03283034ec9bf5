#pragma once
// Closed-form faradaic currents of one charge reaction O + ne = R with Butler-Volmer kinetics.
//
// Every function returns n * (k_red cR - k_ox cP) times a transport factor, in n * (cm/s) *
// (mol/L); the driver multiplies by area * F * 0.001 to obtain amperes. A reduction current is
// positive.
//
//   CurrentInputs in{.E = -0.2, .ks = 1e4, .alpha = 0.5, .n = 1, .E0e = 0.1, .cR = 1e-3,
//                    .dR = std::sqrt(1e-5), .t1 = 0.5, .dP = std::sqrt(1e-5)};
//   PlanarCurrent(in, cell);  // ~ n cR sqrt(D / (pi t1)): the Cottrell plateau
//
// The functions test nothing: a zero divisor, the square root of a negative time or an
// exponential overflow raises model::Failure.

#include "simulation/diffusion_field.h"

namespace kivex::simulation {

// The twelve inputs of a current function, in the order the program has always passed them.
struct CurrentInputs {
  double E = 0;      // V, potential of the point (after the ohmic drop)
  double ks = 0;     // cm/s, standard rate constant
  double alpha = 0;  // transfer coefficient
  double n = 0;      // electrons
  double E0e = 0;    // V, effective standard potential
  double cR = 0;     // mol/L, reactant
  double dR = 0;     // sqrt(D) of the reactant; D itself for the rotating disk
  double t1 = 0;     // s
  double t2 = 0;     // s, the period of a differential pulse
  double cP = 0;     // mol/L, product
  double dP = 0;     // as dR, of the product
  double step = 0;   // V, pulse step
};

// Constants of the cell that some forms read.
struct CellConstants {
  double fOverRT = 0;      // 1/V
  double radius = 0;       // cm, of the spherical forms
  double viscosity = 0;    // cm2/s, kinematic
  double omega = 0;        // rad/s
  double catalytic = 0;    // 1/s, the regeneration of the reactant at the rotating disk
  ElectrodeFields fields;  // of the Fields geometry
};

// Planar and Spherical have closed forms; Fields is any electrode described by its diffusion
// fields (cylinder, band, film).
enum class Geometry { Planar, Spherical, Fields };

// Potential step to E at a plane, current at time t1 (Cottrell for a fast couple).
double PlanarCurrent(const CurrentInputs& in, const CellConstants& cell);

// Potential step to E at a sphere of radius cell.radius, time t1: the planar part plus the
// steady-state n cR D / r of radial diffusion.
double SphericalCurrent(const CurrentInputs& in, const CellConstants& cell);

// Potential step to E at the electrode of cell.fields, time t1: each field's step current with
// the electron-transfer rates, weighted by its share of the area.
double FieldsCurrent(const CurrentInputs& in, const CellConstants& cell);

// Steady state at a rotating disk: kinetics in series with Levich transport
// 0.62 D^(2/3) omega^(1/2) nu^(-1/6). dR and dP are the diffusion coefficients themselves. With a
// catalytic regeneration k the Nernst layer of thickness delta = D / (Levich transport) carries
// sqrt(Dk) coth(delta sqrt(k / D)) instead.
double RotatingDiskCurrent(const CurrentInputs& in, const CellConstants& cell);

// The step current of the chosen geometry at time `t` (t1 replaced).
double StepCurrent(Geometry geometry, CurrentInputs in, double t, const CellConstants& cell);

// Base potential E from time 0, pulse E + step for the last t1 of the period t2, minus the
// current sampled just before the pulse (superposition of the two steps):
// F(E + step; t1) - F(E; t1) + F(E; t2) - F(E; t2 - t1).
double DifferentialPulseCurrent(Geometry geometry, const CurrentInputs& in,
                                const CellConstants& cell);

}  // namespace kivex::simulation
