#include "simulation/block_solver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "model/failure.h"

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

TEST(GaussJordanInvert, InvertsGeneralBlocksOfEverySize) {
  std::mt19937 rng(7);
  for (int n = 1; n <= 6; ++n) {
    for (int trial = 0; trial < 20; ++trial) {
      const Block A = RandomBlock(rng, n, 0.0);  // no dominant diagonal: pivots move around
      Block inverse = A;
      GaussJordanInvert(inverse, n);
      EXPECT_LT(IdentityError(A, inverse, n), 1e-9) << "n = " << n;
    }
  }
}

TEST(GaussJordanInvert, UndoesRowAndColumnInterchanges) {
  // A permutation with a scale: every pivot needs a row or a column interchange, and the exact
  // inverse is the scaled transpose.
  Block A{};
  A[1][3] = 2;
  A[2][1] = 4;
  A[3][2] = 8;
  A[4][4] = 0.5;
  Block inverse = A;
  GaussJordanInvert(inverse, 4);
  for (int r = 1; r <= 4; ++r) {
    for (int c = 1; c <= 4; ++c) {
      EXPECT_EQ(inverse[r][c], A[c][r] == 0 ? 0.0 : 1.0 / A[c][r]) << r << "," << c;
    }
  }
}

TEST(GaussJordanInvert, ZeroPivotIsTheSingularBlockMessage) {
  Block zeroRow{};
  zeroRow[1][1] = 1;
  zeroRow[1][2] = 2;
  Block repeated{};  // second row repeats the first; the elimination is exact in binary
  repeated[1][1] = repeated[2][1] = 1;
  repeated[1][2] = repeated[2][2] = 2;
  for (Block A : {zeroRow, repeated}) {
    try {
      GaussJordanInvert(A, 2);
      FAIL() << "a singular block must not invert";
    } catch (const model::InputError& error) {
      EXPECT_EQ(error.message(), "Error: inverse matrix D=0");
    }
  }
}

TEST(InvertMatrix, DiagonalBlocksTakeReciprocalsAndAZeroThereIsADivisionByZero) {
  Block A{};
  A[1][1] = 3;
  A[2][2] = -0.1;
  A[3][3] = 7;
  A[4][1] = 99;  // outside the leading 3 x 3 part
  InvertMatrix(A, 3);
  EXPECT_EQ(A[1][1], 1.0 / 3.0);
  EXPECT_EQ(A[2][2], 1.0 / -0.1);
  EXPECT_EQ(A[3][3], 1.0 / 7.0);
  EXPECT_EQ(A[4][1], 99);

  Block zero{};
  zero[1][1] = 1;
  try {
    InvertMatrix(zero, 2);
    FAIL() << "a zero on the diagonal must fail";
  } catch (const model::Failure& failure) {
    EXPECT_EQ(failure.description(), "Division by zero");
  }
}

TEST(MatrixMultiply, ClearsTheResultAndHonoursTheShapes) {
  Block A{}, B{}, C{};
  A[1][1] = 1, A[1][2] = 2, A[2][1] = 3, A[2][2] = 4, A[1][3] = 100;  // column 3 not inner
  B[1][1] = 5, B[2][1] = 6;
  C[1][1] = C[2][1] = 42;
  MatrixMultiply(A, B, 2, 2, 1, C);
  EXPECT_EQ(C[1][1], 17);
  EXPECT_EQ(C[2][1], 39);
  double u = 1, v = 2;
  SwapValues(u, v);
  EXPECT_EQ(u, 2);
  EXPECT_EQ(v, 1);
}

// A random block-tridiagonal step: coupled blocks, species-dependent neighbour coefficients and
// a boundary whose pattern does not commute with the surface block.
struct RandomStep {
  int n = 0;
  int M = 0;
  NodeVectors a{}, b{}, c{};
  NodeBlocks D{};
  Block B{}, P{};
};

RandomStep MakeStep(std::mt19937& rng, int n, int M) {
  std::uniform_real_distribution<double> unit(0.1, 1.0);
  RandomStep step;
  step.n = n;
  step.M = M;
  for (int j = 1; j <= M; ++j) {
    for (int s = 1; s <= n; ++s) {
      step.a[j][s] = 3 * unit(rng);
      step.b[j][s] = 3 * unit(rng);
      step.c[j][s] = unit(rng);
    }
    step.D[j] = RandomBlock(rng, n, 0.0);
    for (int s = 1; s <= n; ++s) step.D[j][s][s] = 1 + step.a[j][s] + step.b[j][s] + unit(rng);
  }
  for (int s = 1; s <= n; ++s) step.c[M + 1][s] = unit(rng);
  step.B = RandomBlock(rng, n, 3.0);
  step.P = RandomBlock(rng, n, 2.0);
  return step;
}

// The same system written out densely (unknowns c(s, j) for j = 0..M) and solved by Gaussian
// elimination with partial pivoting.
std::vector<double> DenseSolve(const RandomStep& step) {
  const int n = step.n, M = step.M, size = n * (M + 1);
  auto index = [n](int s, int j) { return j * n + (s - 1); };
  std::vector<double> A(static_cast<std::size_t>(size * size), 0.0), rhs(size, 0.0);
  auto at = [&](int row, int col) -> double& {
    return A[static_cast<std::size_t>(row * size + col)];
  };
  for (int s = 1; s <= n; ++s) {
    const int row = index(s, 0);
    for (int t = 1; t <= n; ++t) {
      at(row, index(t, 0)) += step.B[s][t];
      at(row, index(t, 1)) -= step.P[s][t];
    }
  }
  for (int j = 1; j <= M; ++j) {
    for (int s = 1; s <= n; ++s) {
      const int row = index(s, j);
      rhs[row] = step.c[j][s];
      at(row, index(s, j - 1)) -= step.a[j][s];
      for (int t = 1; t <= n; ++t) at(row, index(t, j)) += step.D[j][s][t];
      if (j < M) {
        at(row, index(s, j + 1)) -= step.b[j][s];
      } else {
        rhs[row] += step.b[j][s] * step.c[M + 1][s];
      }
    }
  }
  for (int k = 0; k < size; ++k) {
    int pivot = k;
    for (int r = k + 1; r < size; ++r) {
      if (std::fabs(at(r, k)) > std::fabs(at(pivot, k))) pivot = r;
    }
    for (int col = 0; col < size; ++col) std::swap(at(k, col), at(pivot, col));
    std::swap(rhs[k], rhs[pivot]);
    for (int r = k + 1; r < size; ++r) {
      const double factor = at(r, k) / at(k, k);
      for (int col = k; col < size; ++col) at(r, col) -= factor * at(k, col);
      rhs[r] -= factor * rhs[k];
    }
  }
  std::vector<double> x(size);
  for (int k = size - 1; k >= 0; --k) {
    double sum = rhs[k];
    for (int col = k + 1; col < size; ++col) sum -= at(k, col) * x[col];
    x[k] = sum / at(k, k);
  }
  return x;
}

TEST(BlockSolve, AgreesWithADenseSolutionOfTheWholeStep) {
  std::mt19937 rng(11);
  for (int n : {1, 2, 3, 6}) {
    for (int M : {1, 2, 5, 12}) {
      RandomStep step = MakeStep(rng, n, M);
      const std::vector<double> expected = DenseSolve(step);
      BlockSolveWork work;
      BlockSolve(step.c, work, step.a, step.b, step.D, step.B, step.P, M, n);
      // Both are direct solutions of a well-conditioned system; they differ only by rounding.
      for (int j = 0; j <= M; ++j) {
        for (int s = 1; s <= n; ++s) {
          const double want = expected[static_cast<std::size_t>(j * n + s - 1)];
          EXPECT_NEAR(step.c[j][s], want, 1e-11 * (1 + std::fabs(want)))
              << "n " << n << " M " << M << " node " << j << " species " << s;
        }
      }
    }
  }
}

TEST(BlockSolve, OneSpeciesIsTheThomasAlgorithm) {
  std::mt19937 rng(5);
  RandomStep step = MakeStep(rng, 1, 9);
  step.P[1][1] = 1;
  const int M = step.M;
  // Unknowns u(0..M): B u0 - u1 = 0; -a u(j-1) + d u(j) - b u(j+1) = r(j); u(M+1) known.
  std::vector<double> lower(M + 1), diag(M + 1), upper(M + 1), rhs(M + 1);
  diag[0] = step.B[1][1];
  upper[0] = -1;
  for (int j = 1; j <= M; ++j) {
    lower[j] = -step.a[j][1];
    diag[j] = step.D[j][1][1];
    upper[j] = -step.b[j][1];
    rhs[j] = step.c[j][1] + (j == M ? step.b[j][1] * step.c[M + 1][1] : 0.0);
  }
  for (int j = 1; j <= M; ++j) {
    const double factor = lower[j] / diag[j - 1];
    diag[j] -= factor * upper[j - 1];
    rhs[j] -= factor * rhs[j - 1];
  }
  std::vector<double> u(M + 1);
  u[M] = rhs[M] / diag[M];
  for (int j = M - 1; j >= 0; --j) u[j] = (rhs[j] - upper[j] * u[j + 1]) / diag[j];

  BlockSolveWork work;
  BlockSolve(step.c, work, step.a, step.b, step.D, step.B, step.P, M, 1);
  // Same recurrence eliminated from the other end: equal up to rounding.
  for (int j = 0; j <= M; ++j) EXPECT_NEAR(step.c[j][1], u[j], 1e-13 * std::fabs(u[j])) << j;
}

TEST(BlockSolve, PreparedBlocksGiveTheSameBits) {
  std::mt19937 rng(3);
  for (int n : {1, 2, 4, 6}) {
    RandomStep step = MakeStep(rng, n, 10);
    NodeVectors reference = step.c, fast = step.c;
    BlockSolveWork work;
    PreparedBlocks prepared;
    PrepareBlockSolve(prepared, work, step.a, step.b, step.D, step.P, step.M, n);
    for (int repeat = 0; repeat < 3; ++repeat) {  // only B changes between steps
      step.B = RandomBlock(rng, n, 3.0);
      BlockSolve(reference, work, step.a, step.b, step.D, step.B, step.P, step.M, n);
      SolvePrepared(fast, prepared, work, step.a, step.b, step.B);
      for (int j = 0; j <= step.M; ++j) {
        for (int s = 1; s <= n; ++s) ASSERT_EQ(fast[j][s], reference[j][s]) << j << "," << s;
      }
    }
  }
}

}  // namespace
}  // namespace kivex::simulation
