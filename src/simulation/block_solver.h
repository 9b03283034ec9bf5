#pragma once
// The linear algebra of one implicit time step: a block-tridiagonal system over the grid nodes,
// one small block per node coupling the species there, diagonal coupling between neighbouring
// nodes, and a closure at the electrode surface.
//
// Node j (1..M) of species s reads
//     -a(j, s) c(s, j-1) + sum over t of D(j)(s, t) c(t, j) - b(j, s) c(s, j+1) = rhs(s, j),
// node M+1 holds the fixed bulk values and the surface rows read B c(0) = P c(1).
//
//   BlockSolveWork work;             // allocate once, reuse for every step
//   BlockSolve(c, work, a, b, D, B, P, M, n);
//
// Without second-order chemistry the blocks D never change during a run, so the reduced blocks
// and their inverses are built once (PrepareBlockSolve) and every step only sweeps the
// right-hand side (SolvePrepared). Both routes run the same arithmetic in the same order and
// give the same numbers to the last bit.
//
// Indexes are 1-based over species 1..n (n <= 6); slot 0 of every species index is the dummy
// species of the reaction scheme and is never part of a solve.

#include <array>

namespace kivex::simulation {

inline constexpr int kSpeciesSlots = 7;  // dummy species 0 and species 1..6
inline constexpr int kNodeSlots = 101;   // surface node 0, interior nodes 1..M, bulk node M+1

using Block = std::array<std::array<double, kSpeciesSlots>, kSpeciesSlots>;  // [row][column]
using SpeciesVector = std::array<double, kSpeciesSlots>;
using NodeBlocks = std::array<Block, kNodeSlots>;           // [node]
using NodeVectors = std::array<SpeciesVector, kNodeSlots>;  // [node][species]

// The message shown once when a block has no inverse; the run that met it ends.
inline constexpr const char* kSingularBlockMessage = "Error: inverse matrix D=0";

// C(i, k) = sum over l = 1..inner of A(i, l) B(l, k) for i = 1..rows, k = 1..cols. C is cleared
// first and must not be A or B.
void MatrixMultiply(const Block& A, const Block& B, int rows, int inner, int cols, Block& C);

// Inverts the leading n x n part in place. A diagonal block (every off-diagonal element exactly
// 0) takes the reciprocals of its diagonal, which is what keeps schemes without chemical
// coupling cheap; a zero there raises "Division by zero". Any other block is inverted by
// Gauss-Jordan elimination with full pivoting (the largest remaining element is the pivot, the
// first one met scanning rows then columns winning a tie); a zero pivot raises
// model::InputError(kSingularBlockMessage): the values entered leave the scheme without a
// solution, and the message is a whole one, shown as it stands rather than worded as a failure.
void InvertMatrix(Block& A, int n);

// Caller-owned storage of one solve, sized once for the largest grid.
struct BlockSolveWork {
  NodeBlocks reduced;   // D'(j): the blocks after eliminating the nodes beyond j
  NodeVectors rhs;      // r'(j): the right-hand sides after the same elimination
  NodeBlocks inverses;  // W(j), the inverse of D'(j), for both sweeps
  Block inverse;        // the inverse of P
  Block surface;        // the surface closure
  Block product;
};

// Solves one time step. On entry c holds the right-hand side at nodes 1..M and the bulk values at
// node M+1; on exit c holds the new concentrations at nodes 0..M.
void BlockSolve(NodeVectors& c, BlockSolveWork& work, const NodeVectors& a, const NodeVectors& b,
                const NodeBlocks& D, const Block& B, const Block& P, int M, int n);

// What PrepareBlockSolve keeps for the steps of a run whose blocks do not change.
struct PreparedBlocks {
  NodeBlocks inverse;    // W(j), the inverse of D'(j), j = 1..M
  Block surfaceProduct;  // D'(1) inv(P)
  Block reducedFirst;    // D'(1)
  int M = 0;
  int n = 0;
};

void PrepareBlockSolve(PreparedBlocks& prepared, BlockSolveWork& work, const NodeVectors& a,
                       const NodeVectors& b, const NodeBlocks& D, const Block& P, int M, int n);

// The inverted surface closure of a prepared solve for one boundary matrix. Many steps of a run
// see the same potential (the sub-steps of a DC point, the base of a differential pulse), so the
// closure is kept while B stays the same to the last bit.
struct SurfaceClosure {
  Block boundary{};
  Block inverse{};
  const PreparedBlocks* preparedFor = nullptr;  // the elimination the closure belongs to
};

// BlockSolve with the prepared blocks; only the boundary matrix B changes from step to step.
void SolvePrepared(NodeVectors& c, const PreparedBlocks& prepared, BlockSolveWork& work,
                   const NodeVectors& a, const NodeVectors& b, const Block& B);

// SolvePrepared in its three parts, for callers that close the surface themselves. The backward
// sweep leaves r'(j) in work.rhs; the forward sweep takes c(0) from c[0].
void SweepBackward(const NodeVectors& c, const PreparedBlocks& prepared, BlockSolveWork& work,
                   const NodeVectors& b);
void CloseSurfacePrepared(NodeVectors& c, const PreparedBlocks& prepared, BlockSolveWork& work,
                          const NodeVectors& a, const Block& B, SurfaceClosure& closure);
void SweepForward(NodeVectors& c, const PreparedBlocks& prepared, const BlockSolveWork& work,
                  const NodeVectors& a);

}  // namespace kivex::simulation
