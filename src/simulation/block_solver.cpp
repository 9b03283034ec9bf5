#include "simulation/block_solver.h"

#include <cmath>
#include <type_traits>
#include <utility>

#include "model/checked_math.h"
#include "model/failure.h"

namespace kivex::simulation {

void MatrixMultiply(const Block& A, const Block& B, int rows, int inner, int cols, Block& C) {
  for (int i = 1; i <= rows; ++i) {
    for (int k = 1; k <= cols; ++k) C[i][k] = 0.0;
  }
  for (int i = 1; i <= rows; ++i) {
    for (int k = 1; k <= cols; ++k) {
      for (int l = 1; l <= inner; ++l) C[i][k] += A[i][l] * B[l][k];
    }
  }
}

namespace {

// Elements that overflowed earlier must not pass for a zero pivot or a finite inverse.
void CheckFinite(const Block& A, int n) {
  for (int r = 1; r <= n; ++r) {
    for (int c = 1; c <= n; ++c) model::Finite(A[r][c]);
  }
}

// Gauss-Jordan with full pivoting: the largest remaining element is the pivot, the first one met
// scanning rows then columns winning a tie; the interchanges are undone at the end. A zero pivot
// is the singular block.
void GaussJordanInvert(Block& A, int n) {
  std::array<int, kSpeciesSlots> rowOf{};
  std::array<int, kSpeciesSlots> colOf{};
  for (int i = 1; i <= n; ++i) {
    double largest = 0.0;
    int pivotRow = i;
    int pivotCol = i;
    for (int j = i; j <= n; ++j) {
      for (int k = i; k <= n; ++k) {
        if (std::fabs(A[j][k]) > largest) {
          largest = std::fabs(A[j][k]);
          pivotRow = j;
          pivotCol = k;
        }
      }
    }
    if (largest == 0.0) throw model::InputError(kSingularBlockMessage);
    rowOf[i] = pivotRow;
    colOf[i] = pivotCol;
    if (pivotRow != i) {
      for (int c = 1; c <= n; ++c) std::swap(A[i][c], A[pivotRow][c]);
    }
    if (pivotCol != i) {
      for (int r = 1; r <= n; ++r) std::swap(A[r][i], A[r][pivotCol]);
    }

    A[i][i] = model::Div(1.0, A[i][i]);
    for (int c = 1; c <= n; ++c) {
      if (c != i) A[i][c] = A[i][c] * A[i][i];
    }
    for (int r = 1; r <= n; ++r) {
      if (r == i) continue;
      for (int c = 1; c <= n; ++c) {
        if (c != i) A[r][c] = A[r][c] - A[r][i] * A[i][c];
      }
    }
    for (int r = 1; r <= n; ++r) {
      if (r != i) A[r][i] = -A[r][i] * A[i][i];
    }
  }
  // A column interchange renumbered the unknowns (rows of the inverse), a row interchange the
  // equations (its columns); undo them in reverse order.
  for (int i = n; i >= 1; --i) {
    if (colOf[i] != i) {
      for (int c = 1; c <= n; ++c) std::swap(A[i][c], A[colOf[i]][c]);
    }
    if (rowOf[i] != i) {
      for (int r = 1; r <= n; ++r) std::swap(A[r][i], A[r][rowOf[i]]);
    }
  }
}

}  // namespace

void InvertMatrix(Block& A, int n) {
  CheckFinite(A, n);
  for (int r = 1; r <= n; ++r) {
    for (int c = 1; c <= n; ++c) {
      if (r != c && A[r][c] != 0.0) {
        GaussJordanInvert(A, n);
        return;
      }
    }
  }
  for (int s = 1; s <= n; ++s) A[s][s] = model::Div(1.0, A[s][s]);
}

namespace {

// Eliminating node j+1 from node j: D'(j)(s, t) = D(j)(s, t) - b(j, s) a(j+1, t) W(s, t) with
// W = inv(D'(j+1)); the lower coefficient belongs to the column species, the one whose
// concentration at node j it multiplies.
void ReduceBlock(const Block& D, const SpeciesVector& b, const SpeciesVector& aNext, const Block& W,
                 int n, Block& reduced) {
  reduced = D;
  for (int s = 1; s <= n; ++s) {
    for (int t = 1; t <= n; ++t) reduced[s][t] = D[s][t] - b[s] * aNext[t] * W[s][t];
  }
}

// r'(j, s) = rhs(s, j) + b(j, s) (W r'(j+1))(s).
void SweepRhs(const SpeciesVector& rhs, const SpeciesVector& b, const Block& W,
              const SpeciesVector& rhsNext, int n, SpeciesVector& reducedRhs) {
  for (int s = 1; s <= n; ++s) {
    double sum = 0.0;
    for (int t = 1; t <= n; ++t) sum += W[s][t] * rhsNext[t];
    reducedRhs[s] = rhs[s] + b[s] * sum;
  }
}

// Node 1 reads D'(1) c(1) - a(1) c(0) = r'(1) and the surface rows B c(0) = P c(1); with
// c(1) = inv(P) B c(0) the surface concentrations solve (D'(1) inv(P) B - a(1)) c(0) = r'(1).
// `surface` enters as D'(1) inv(P) B.
void CloseSurface(Block& surface, const SpeciesVector& a1, const SpeciesVector& rhs1, int n,
                  SpeciesVector& c0) {
  for (int s = 1; s <= n; ++s) surface[s][s] -= a1[s];
  InvertMatrix(surface, n);
  for (int s = 1; s <= n; ++s) {
    double sum = 0.0;
    for (int t = 1; t <= n; ++t) sum += surface[s][t] * rhs1[t];
    c0[s] = sum;
  }
}

// c(j) = W (r'(j) + a(j) c(j-1)).
void ForwardNode(const Block& W, const SpeciesVector& reducedRhs, const SpeciesVector& a,
                 const SpeciesVector& cPrevious, int n, SpeciesVector& c) {
  SpeciesVector v{};
  for (int s = 1; s <= n; ++s) v[s] = reducedRhs[s] + a[s] * cPrevious[s];
  for (int s = 1; s <= n; ++s) {
    double sum = 0.0;
    for (int t = 1; t <= n; ++t) sum += W[s][t] * v[t];
    c[s] = sum;
  }
}

void StartRhs(const NodeVectors& c, const NodeVectors& b, int M, int n, SpeciesVector& rhs) {
  for (int s = 1; s <= n; ++s) rhs[s] = c[M][s] + b[M][s] * c[M + 1][s];
}

}  // namespace

void BlockSolve(NodeVectors& c, BlockSolveWork& work, const NodeVectors& a, const NodeVectors& b,
                const NodeBlocks& D, const Block& B, const Block& P, int M, int n) {
  work.reduced[M] = D[M];
  StartRhs(c, b, M, n, work.rhs[M]);
  for (int j = M - 1; j >= 1; --j) {
    work.inverses[j + 1] = work.reduced[j + 1];
    InvertMatrix(work.inverses[j + 1], n);
    ReduceBlock(D[j], b[j], a[j + 1], work.inverses[j + 1], n, work.reduced[j]);
    SweepRhs(c[j], b[j], work.inverses[j + 1], work.rhs[j + 1], n, work.rhs[j]);
  }
  work.inverses[1] = work.reduced[1];
  InvertMatrix(work.inverses[1], n);

  work.inverse = P;
  InvertMatrix(work.inverse, n);
  MatrixMultiply(work.reduced[1], work.inverse, n, n, n, work.product);
  MatrixMultiply(work.product, B, n, n, n, work.surface);
  CloseSurface(work.surface, a[1], work.rhs[1], n, c[0]);

  for (int j = 1; j <= M; ++j) {
    ForwardNode(work.inverses[j], work.rhs[j], a[j], c[j - 1], n, c[j]);
  }
}

void PrepareBlockSolve(PreparedBlocks& prepared, BlockSolveWork& work, const NodeVectors& a,
                       const NodeVectors& b, const NodeBlocks& D, const Block& P, int M, int n) {
  prepared.M = M;
  prepared.n = n;
  work.reduced[M] = D[M];
  for (int j = M - 1; j >= 1; --j) {
    prepared.inverse[j + 1] = work.reduced[j + 1];
    InvertMatrix(prepared.inverse[j + 1], n);
    ReduceBlock(D[j], b[j], a[j + 1], prepared.inverse[j + 1], n, work.reduced[j]);
  }
  prepared.inverse[1] = work.reduced[1];
  InvertMatrix(prepared.inverse[1], n);
  prepared.reducedFirst = work.reduced[1];

  work.inverse = P;
  InvertMatrix(work.inverse, n);
  MatrixMultiply(work.reduced[1], work.inverse, n, n, n, prepared.surfaceProduct);
}

namespace {

// The sweeps of a prepared solve with the species count fixed at compile time, so that the small
// products unroll; every sum runs in the order of StartRhs, SweepRhs and ForwardNode, so the bits
// are theirs.
template <int N>
void SweepBackwardFixed(const NodeVectors& c, const PreparedBlocks& prepared, BlockSolveWork& work,
                        const NodeVectors& b) {
  const int M = prepared.M;
  for (int s = 1; s <= N; ++s) work.rhs[M][s] = c[M][s] + b[M][s] * c[M + 1][s];
  for (int j = M - 1; j >= 1; --j) {
    const Block& W = prepared.inverse[j + 1];
    const SpeciesVector& next = work.rhs[j + 1];
    SpeciesVector& out = work.rhs[j];
#pragma GCC unroll 6
    for (int s = 1; s <= N; ++s) {
      double sum = 0.0;
#pragma GCC unroll 6
      for (int t = 1; t <= N; ++t) sum += W[s][t] * next[t];
      out[s] = c[j][s] + b[j][s] * sum;
    }
  }
}

template <int N>
void SweepForwardFixed(NodeVectors& c, const PreparedBlocks& prepared, const BlockSolveWork& work,
                       const NodeVectors& a) {
  for (int j = 1; j <= prepared.M; ++j) {
    const Block& W = prepared.inverse[j];
    SpeciesVector v;
#pragma GCC unroll 6
    for (int s = 1; s <= N; ++s) v[s] = work.rhs[j][s] + a[j][s] * c[j - 1][s];
#pragma GCC unroll 6
    for (int s = 1; s <= N; ++s) {
      double sum = 0.0;
#pragma GCC unroll 6
      for (int t = 1; t <= N; ++t) sum += W[s][t] * v[t];
      c[j][s] = sum;
    }
  }
}

// Calls sweep(std::integral_constant<int, n>) for n = 1..6.
template <typename Sweep>
void ForSpeciesCount(int n, Sweep&& sweep) {
  switch (n) {
    case 1: sweep(std::integral_constant<int, 1>{}); break;
    case 2: sweep(std::integral_constant<int, 2>{}); break;
    case 3: sweep(std::integral_constant<int, 3>{}); break;
    case 4: sweep(std::integral_constant<int, 4>{}); break;
    case 5: sweep(std::integral_constant<int, 5>{}); break;
    default: sweep(std::integral_constant<int, 6>{}); break;
  }
}

}  // namespace

void SweepBackward(const NodeVectors& c, const PreparedBlocks& prepared, BlockSolveWork& work,
                   const NodeVectors& b) {
  ForSpeciesCount(prepared.n, [&](auto count) {
    SweepBackwardFixed<decltype(count)::value>(c, prepared, work, b);
  });
}

void CloseSurfacePrepared(NodeVectors& c, const PreparedBlocks& prepared, BlockSolveWork& work,
                          const NodeVectors& a, const Block& B, SurfaceClosure& closure) {
  const int n = prepared.n;
  bool same = closure.preparedFor == &prepared;
  for (int s = 1; same && s <= n; ++s) {
    for (int t = 1; t <= n; ++t) {
      if (closure.boundary[s][t] != B[s][t]) {
        same = false;
        break;
      }
    }
  }
  if (!same) {
    closure.preparedFor = nullptr;  // until the new closure is complete
    MatrixMultiply(prepared.surfaceProduct, B, n, n, n, closure.inverse);
    for (int s = 1; s <= n; ++s) closure.inverse[s][s] -= a[1][s];
    InvertMatrix(closure.inverse, n);
    closure.boundary = B;
    closure.preparedFor = &prepared;
  }
  for (int s = 1; s <= n; ++s) {
    double sum = 0.0;
    for (int t = 1; t <= n; ++t) sum += closure.inverse[s][t] * work.rhs[1][t];
    c[0][s] = sum;
  }
}

void SweepForward(NodeVectors& c, const PreparedBlocks& prepared, const BlockSolveWork& work,
                  const NodeVectors& a) {
  ForSpeciesCount(prepared.n, [&](auto count) {
    SweepForwardFixed<decltype(count)::value>(c, prepared, work, a);
  });
}

void SolvePrepared(NodeVectors& c, const PreparedBlocks& prepared, BlockSolveWork& work,
                   const NodeVectors& a, const NodeVectors& b, const Block& B) {
  SweepBackward(c, prepared, work, b);
  MatrixMultiply(prepared.surfaceProduct, B, prepared.n, prepared.n, prepared.n, work.surface);
  CloseSurface(work.surface, a[1], work.rhs[1], prepared.n, c[0]);
  SweepForward(c, prepared, work, a);
}

}  // namespace kivex::simulation
