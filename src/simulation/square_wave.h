#pragma once
// Square-wave voltammetry as the superposition of potential steps over the whole waveform.
//
// Point i holds x(i) - Epulse / 2 for tPulse, then x(i) + Epulse / 2 for tPulse, the staircase
// running on from the start without renewal; the stored value is the second half-period's
// current minus the first's. For a fast couple the current at the end of half-period q is the sum
// over every earlier level l of the step response of the change from level l-1 to level l, aged
// (q - l + 1) tPulse: (a(V_l) - a(V_l-1)) K(t), a the Nernstian surface deficit and K the
// electrode's step flux, with a(V_0) = 0 for the solution as it was made; this is exact, the
// current being linear in the Nernstian surface concentration. Slower couples, unequal diffusion
// coefficients and an ohmic drop (solved at every node) take the convolution equation over the
// waveform (convolution_sweep.h).

#include <vector>

#include "model/curve_set.h"
#include "simulation/cancellation.h"
#include "simulation/current_functions.h"

namespace kivex::simulation {

struct SquareWaveSettings {
  Geometry geometry = Geometry::Planar;
  double tPulse = 0;        // s, one half-period
  double Epulse = 0;        // V, the full amplitude between the two half-periods
  double Ru = 0;            // ohm
  double currentScale = 0;  // A per n (cm/s) (mol/L)
  int totalColumn = 0;
  StopRequest stop;
};

// Fills resultTable(i, k) for the couples (k = 1..count) and adds their sum to the total column.
void SquareWaveSuperposition(const std::vector<CurrentInputs>& couples, const CellConstants& cell,
                             const SquareWaveSettings& settings, model::CurveSet& curves);

}  // namespace kivex::simulation
