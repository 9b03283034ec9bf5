#pragma once
// One time step with second-order chemistry: Newton-Raphson around the block solver.
//
// Each reaction S1 + S2 = S3 + S4 is linearised around the previous iterate c°:
// kf c(S1) c(S2) ~ kf (c(S1) c°(S2) + c°(S1) c(S2) - c°(S1) c°(S2)), the first term going into
// the blocks D, the second into a correction block C, the third into the right-hand side
// cOld + C c°. An empty place is the dummy species 0, fixed at 1, so that side is first order.
// The iteration stops when no concentration at nodes 1..M changes by more than 0.1 %
// (relative, with a tiny absolute floor so that a species at zero concentration converges), or
// after ten iterations; the step keeps the last solution.

#include <span>

#include "model/count.h"
#include "simulation/block_solver.h"

namespace kivex::simulation {

inline constexpr int kMaxNewtonIterations = 10;

struct SecondOrderReaction {
  int s1 = 0;  // left side, 0 for an empty place
  int s2 = 0;
  int s3 = 0;  // right side
  int s4 = 0;
  double kfdt = 0;  // dimensionless forward and backward rate constants times the time step
  double kbdt = 0;
};

struct NewtonWork {
  NodeBlocks blocks;
  Block correction;
  NodeVectors old;
  NodeVectors iterate;
};

// `rhs` holds the right-hand side of the step at nodes 1..M and the bulk values at M+1; on entry
// c holds the concentrations to start from (those of the previous step), on exit those of this
// step. `maxIterations` rises to the highest iteration count met.
void NewtonStep(const NodeVectors& rhs, NodeVectors& c, NewtonWork& work, BlockSolveWork& solve,
                const NodeVectors& a, const NodeVectors& b, const NodeBlocks& D, const Block& B,
                const Block& P, int M, int n, std::span<const SecondOrderReaction> reactions,
                model::Count& maxIterations);

}  // namespace kivex::simulation
