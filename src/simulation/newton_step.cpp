#include "simulation/newton_step.h"

#include <cmath>

namespace kivex::simulation {

namespace {

constexpr double kTolerance = 0.001;
// Below this (relative to the reference concentration) a change counts as absolute: a species
// that is absent must not stop the iteration by a division by zero.
constexpr double kConcentrationFloor = 1e-12;

bool Converged(double next, double previous) {
  if (std::fabs(next) > kConcentrationFloor) {
    return std::fabs((next - previous) / next) < kTolerance;
  }
  return std::fabs(next - previous) < kTolerance * kConcentrationFloor;
}

// Adds the Jacobian of every second-order reaction at iterate `ci` to `block` (which starts as
// the linear block D(j)) and builds the correction block `C`.
void LineariseNode(std::span<const SecondOrderReaction> reactions, const SpeciesVector& ci,
                   Block& block, Block& C) {
  for (auto& row : C) row.fill(0.0);
  for (const SecondOrderReaction& q : reactions) {
    const int s1 = q.s1, s2 = q.s2, s3 = q.s3, s4 = q.s4;
    block[s1][s1] += q.kfdt * ci[s2];
    block[s2][s2] += q.kfdt * ci[s1];
    block[s3][s3] += q.kbdt * ci[s4];
    block[s4][s4] += q.kbdt * ci[s3];
    block[s1][s3] -= q.kbdt * ci[s4];
    block[s2][s3] -= q.kbdt * ci[s4];
    block[s3][s1] -= q.kfdt * ci[s2];
    block[s4][s1] -= q.kfdt * ci[s2];
    C[s1][s2] += q.kfdt * ci[s1];
    C[s1][s4] -= q.kbdt * ci[s3];
    C[s2][s1] += q.kfdt * ci[s2];
    C[s2][s4] -= q.kbdt * ci[s3];
    C[s3][s2] -= q.kfdt * ci[s1];
    C[s3][s4] += q.kbdt * ci[s3];
    C[s4][s2] -= q.kfdt * ci[s1];
    C[s4][s3] += q.kbdt * ci[s4];
  }
}

}  // namespace

void NewtonStep(const NodeVectors& rhs, NodeVectors& c, NewtonWork& work, BlockSolveWork& solve,
                const NodeVectors& a, const NodeVectors& b, const NodeBlocks& D, const Block& B,
                const Block& P, int M, int n, std::span<const SecondOrderReaction> reactions,
                model::Count& maxIterations) {
  for (int j = 0; j <= M + 1; ++j) {
    work.old[j] = rhs[j];
    work.iterate[j] = c[j];
  }
  for (int iteration = 1; iteration <= kMaxNewtonIterations; ++iteration) {
    if (iteration > maxIterations) maxIterations = static_cast<model::Count>(iteration);

    for (int j = 1; j <= M; ++j) {
      Block& block = work.blocks[j];
      block = D[j];
      LineariseNode(reactions, work.iterate[j], block, work.correction);
      // The dummy species is a known constant: its column stays out of the system on both sides,
      // so C(s, 0) c(0) and C(s, 0) c°(0) cancel.
      for (int s = 1; s <= n; ++s) {
        double sum = 0.0;
        for (int t = 1; t <= n; ++t) {
          block[s][t] += work.correction[s][t];
          sum += work.correction[s][t] * work.iterate[j][t];
        }
        c[j][s] = work.old[j][s] + sum;
      }
    }
    c[M + 1] = work.old[M + 1];
    BlockSolve(c, solve, a, b, work.blocks, B, P, M, n);

    bool converged = true;
    for (int j = 1; j <= M && converged; ++j) {
      for (int s = 1; s <= n; ++s) {
        if (!Converged(c[j][s], work.iterate[j][s])) {
          converged = false;
          break;
        }
      }
    }
    if (converged) return;
    for (int j = 0; j <= M + 1; ++j) {
      for (int s = 1; s <= n; ++s) work.iterate[j][s] = c[j][s] < 0.0 ? 0.0 : c[j][s];
    }
  }
}

}  // namespace kivex::simulation
