#pragma once
// Square-wave voltammetry as the superposition of potential steps over the whole waveform.
//
// Point i holds x(i) - Epulse / 2 for tPulse, then x(i) + Epulse / 2 for tPulse, the staircase
// running on from the start without renewal. The current at the end of half-period q is the sum
// over every earlier level l of the step response of the change from level l-1 to level l, aged
// (q - l + 1) tPulse: F(V_l; t) - F(V_l-1; t), with F(V_0) = 0 for the solution as it was made.
// For a fast couple this is exact (the current is linear in the Nernstian surface concentration);
// for a slow one each step keeps its own kinetic response. The stored value is the second
// half-period's current minus the first's.

#include <vector>

#include "model/curve_set.h"
#include "simulation/current_functions.h"

namespace kivex::simulation {

struct SquareWaveSettings {
  Geometry geometry = Geometry::Planar;
  double tPulse = 0;        // s, one half-period
  double Epulse = 0;        // V, the full amplitude between the two half-periods
  double Ru = 0;            // ohm; each point is shifted by the previous point's stored current
  double currentScale = 0;  // A per n (cm/s) (mol/L)
  int totalColumn = 0;
};

// Fills resultTable(i, k) for the couples (k = 1..count) and adds their sum to the total column.
void SquareWaveSuperposition(const std::vector<CurrentInputs>& couples, const CellConstants& cell,
                             const SquareWaveSettings& settings, model::CurveSet& curves);

}  // namespace kivex::simulation
