#pragma once
// The space grid of the digital simulation: boxes whose widths grow by a factor e^beta, the first
// one delta = sqrt(D(sRef) dt / DM) wide, reaching beyond six diffusion lengths of the longest
// time a diffusion layer grows; and the coefficients of the box balances for the electrode's
// geometry.
//
// Box j spans z(j)..z(j+1) in units of delta (z(1) = 0, z(2) = 1), its node sits at h(j); node 0
// is the electrode surface. In the balance of box j, A(j) multiplies c(j-1) - c(j) and Bc(j)
// multiplies c(j+1) - c(j).

#include <array>

#include "model/app_state.h"
#include "simulation/block_solver.h"

namespace kivex::simulation {

struct DigitalGrid {
  int nodeCount = 0;         // M, the interior nodes 1..M; node M+1 is the bulk
  double expansion = 1;      // beta
  double delta = 0;          // width of the first box, cm
  double surfaceFactor = 1;  // G: flux density at the electrode = (c(1) - c(0)) / h(1) / G
  std::array<double, kNodeSlots> z{};      // box boundaries, j = 1..M+1
  std::array<double, kNodeSlots> h{};      // node positions, j = 1..M+1
  std::array<double, kNodeSlots> lower{};  // A(j)
  std::array<double, kNodeSlots> upper{};  // Bc(j)
};

// What a grid holds of the electrode: all of it, or the side or the flat end of a cylinder (or
// half cylinder), whose two fields a run simulates apart.
enum class ElectrodePart { kWhole, kSide, kEnd };

// Node count for a layer that grows for `span` times the step the first box was sized for, with
// the model diffusion coefficient DM and boxes growing by e^beta:
// round(ln(6 (e^beta - 1) sqrt(DM span) + 1) / beta + 2), halves to even. A sweep of N points
// grows its layer for N steps.
int DigitalNodeCount(double modelDiffusion, double span, double expansion);

// The finest expansion from `expansion` up to 1 (boxes growing by e) whose node count fits the
// grid. When not even 1 fits, raises a Failure that says how fast the rate constants may be.
double FittingExpansion(const model::AppState& app, double modelDiffusion, double span,
                        double expansion);

// Fills the grid for the electrode of `app`, its first box sized for steps of dt, its boxes as
// fine as `preferredExpansion` allows within the node limit (FittingExpansion). Planar and
// rotating disk are planar (no convection); sphere, hemisphere and microdisc the spherical
// family; cylinder, hemicylinder and band the cylindrical family. The thin film has no digital
// geometry and raises a Failure. A cylinder's end is a disc, diffusing as the microdisc does.
void BuildDigitalGrid(const model::AppState& app, double modelDiffusion, double referenceD,
                      double dt, double span, double expansion, DigitalGrid& grid,
                      ElectrodePart part = ElectrodePart::kWhole);

}  // namespace kivex::simulation
