#pragma once
// Differential pulse of a slower couple, or of any couple with an ohmic drop, from the convolution
// equation over each point's own programme: from a fresh diffusion layer the base potential E for
// tDrop - tPulse, then the pulse E + step for tPulse; the current at the pulse's end minus the
// current just before it.
//
// The sum of two kinetic step responses, F(E + step; tp) - F(E; tp) + F(E; td) - F(E; td - tp),
// is exact only while the electron transfer keeps pace with diffusion: a slow couple's surface
// concentration depends on its whole path (ks 1e-3 cm/s: 47 % too high and 25 mV off). Here the
// pulse holds K nodes, the period the same spacing (tDrop / tPulse taken to the nearest whole
// number), and Richardson extrapolation from K and 2K nodes removes the spacing's first-order
// error.
//
// An ohmic drop is solved at every node, as the sweep solves it: the current is largest just after
// each jump, and the drop it causes then holds the electrode back from the potential it is stepped
// to while the layer forms. The normal pulse with an ohmic drop takes the same solver over its one
// pulse from a fresh layer; without a drop its closed-form step current is exact.

#include <vector>

#include "model/curve_set.h"
#include "simulation/cancellation.h"
#include "simulation/current_functions.h"

namespace kivex::simulation {

// The longest period, in pulses, the convolution takes (its nodes grow with it, the work with their
// square).
inline constexpr double kMaxPulsesPerPeriod = 2000;

struct PulseSettings {
  double tPulse = 0;        // s
  double tDrop = 0;         // s, the period
  double Ru = 0;            // ohm
  double fOverRT = 0;       // 1/V
  double currentScale = 0;  // A per n (cm/s) (mol/L)
  int totalColumn = 0;
  StopRequest stop;
};

// Fills resultTable(i, k) for the couples and adds their sum to the total column; steps[i] is
// point i's pulse (index 0 unused).
void ConvolutionDifferentialPulse(const std::vector<CurrentInputs>& couples,
                                  const ElectrodeFields& fields, const PulseSettings& settings,
                                  const std::vector<double>& steps, model::CurveSet& curves);

// Normal pulse: from a fresh layer the pulse x(i) + step for tPulse (settings.tDrop is not used),
// sampled at its end. Fills resultTable(i, k) and the total column as above; `effective` receives
// the potential the electrode saw at each sample.
void ConvolutionNormalPulse(const std::vector<CurrentInputs>& couples,
                            const ElectrodeFields& fields, const PulseSettings& settings,
                            double step, model::CurveSet& curves, std::vector<double>& effective);

}  // namespace kivex::simulation
