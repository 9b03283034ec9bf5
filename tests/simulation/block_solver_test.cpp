#include "simulation/block_solver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "support/experiments.h"

namespace kivex::simulation {
namespace {

Block RandomBlock(std::mt19937& rng, int n, double diagonal) {
  std::uniform_real_distribution<double> value(-1.0, 1.0);
  Block A{};
  for (int r = 1; r <= n; ++r) {
    for (int c = 1; c <= n; ++c) A[r][c] = value(rng) + (r == c ? diagonal : 0.0);
  }
  return A;
}

double IdentityError(const Block& A, const Block& inverse, int n) {
  Block product{};
  MatrixMultiply(A, inverse, n, n, n, product);
  double worst = 0;
  for (int r = 1; r <= n; ++r) {
    for (int c = 1; c <= n; ++c) worst = std::max(worst, std::fabs(product[r][c] - (r == c)));
  }
  return worst;
}

// General blocks (no dominant diagonal: the pivots move around) and diagonal ones, which take
// the reciprocals; a singular block is the program's message, a zero on a diagonal one a division
// by zero.
TEST(InvertMatrix, InvertsEveryBlockAndNamesASingularOne) {
  std::mt19937 rng(7);
  for (int n = 1; n <= 6; ++n) {
    for (int trial = 0; trial < 20; ++trial) {
      Block A = RandomBlock(rng, n, 0.0);
      for (int r = 1; trial == 0 && r <= n; ++r) {
        for (int c = 1; c <= n; ++c) A[r][c] *= r == c;
      }
      Block inverse = A;
      InvertMatrix(inverse, n);
      EXPECT_LT(IdentityError(A, inverse, n), 1e-9) << "n = " << n << " trial " << trial;
    }
  }
  Block zeroRow{}, repeated{}, zeroDiagonal{};
  zeroRow[1][1] = zeroDiagonal[1][1] = 1, zeroRow[1][2] = 2;
  repeated[1][1] = repeated[2][1] = 1;  // the elimination is exact in binary
  repeated[1][2] = repeated[2][2] = 2;
  for (const auto& [A, text] : {std::pair{zeroRow, "Error: inverse matrix D=0"},
                                {repeated, "Error: inverse matrix D=0"},
                                {zeroDiagonal, "Division by zero"}}) {
    Block copy = A;
    EXPECT_EQ(testing::ErrorText([&] { InvertMatrix(copy, 2); }), text);
  }
}

// A random block-tridiagonal step: coupled blocks, species-dependent neighbour coefficients and
// a boundary whose pattern does not commute with the surface block.
struct RandomStep {
  int n = 0, M = 0;
  NodeVectors a{}, b{}, c{};
  NodeBlocks D{};
  Block B{}, P{};
};

RandomStep MakeStep(std::mt19937& rng, int n, int M) {
  std::uniform_real_distribution<double> unit(0.1, 1.0);
  RandomStep step;
  step.n = n, step.M = M;
  for (int j = 1; j <= M; ++j) {
    for (int s = 1; s <= n; ++s) {
      step.a[j][s] = 3 * unit(rng), step.b[j][s] = 3 * unit(rng), step.c[j][s] = unit(rng);
    }
    step.D[j] = RandomBlock(rng, n, 0.0);
    for (int s = 1; s <= n; ++s) step.D[j][s][s] = 1 + step.a[j][s] + step.b[j][s] + unit(rng);
  }
  for (int s = 1; s <= n; ++s) step.c[M + 1][s] = unit(rng);
  step.B = RandomBlock(rng, n, 3.0);
  step.P = RandomBlock(rng, n, 2.0);
  return step;
}

// The largest residual of the step's equations at the solution x: the surface rows
// B x(0) = P x(1) and the node rows -a x(j-1) + D(j) x(j) - b x(j+1) = rhs(j), x(M+1) the bulk.
double WorstResidual(const RandomStep& step, const NodeVectors& x) {
  const int n = step.n, M = step.M;
  double worst = 0;
  for (int s = 1; s <= n; ++s) {
    double r = 0;
    for (int t = 1; t <= n; ++t) r += step.B[s][t] * x[0][t] - step.P[s][t] * x[1][t];
    worst = std::max(worst, std::fabs(r));
  }
  for (int j = 1; j <= M; ++j) {
    for (int s = 1; s <= n; ++s) {
      const double next = j < M ? x[j + 1][s] : step.c[M + 1][s];
      double r = -step.a[j][s] * x[j - 1][s] - step.b[j][s] * next - step.c[j][s];
      for (int t = 1; t <= n; ++t) r += step.D[j][s][t] * x[j][t];
      worst = std::max(worst, std::fabs(r));
    }
  }
  return worst;
}

// A direct solution of a well-conditioned system with unit-sized terms leaves only rounding; the
// blocks prepared once give the same bits when only the surface block changes between steps.
TEST(BlockSolve, SolvesEveryEquationOfTheStepAndPreparedBlocksGiveTheSameBits) {
  std::mt19937 rng(11);
  for (int n : {1, 2, 3, 6}) {
    for (int M : {1, 2, 5, 12}) {
      RandomStep step = MakeStep(rng, n, M);
      NodeVectors reference = step.c, fast = step.c;
      BlockSolveWork work;
      PreparedBlocks prepared;
      PrepareBlockSolve(prepared, work, step.a, step.b, step.D, step.P, M, n);
      for (int repeat = 0; repeat < 2; ++repeat) {
        if (repeat > 0) step.B = RandomBlock(rng, n, 3.0), reference = fast = step.c;
        BlockSolve(reference, work, step.a, step.b, step.D, step.B, step.P, M, n);
        EXPECT_LT(WorstResidual(step, reference), 1e-12) << "n " << n << " M " << M;
        SolvePrepared(fast, prepared, work, step.a, step.b, step.B);
        EXPECT_EQ(fast, reference) << "n " << n << " M " << M;
      }
    }
  }
}

}  // namespace
}  // namespace kivex::simulation
