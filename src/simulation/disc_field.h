#pragma once
// The microdisc's diffusion field in two dimensions, and the linear algebra of its implicit steps.
//
// Oblate spheroidal coordinates, r = a sqrt(1 + xi^2) sqrt(1 - eta^2) and z = a xi eta, put the
// disc of radius a at xi = 0, the insulating plane beyond it at eta = 0 and the axis at eta = 1;
// xi = tan(g) then folds the half space into 0 <= g < pi/2. Fick's law becomes
//     (xi^2 + eta^2) sec^2 g  dc/dt = (D / a^2) [ d2c/dg2 + sec^2 g d/deta ((1 - eta^2) dc/deta) ],
// whose steady state c = c* (2/pi) g is a straight line in g, and the current
//     i = 2 pi n F D a c* integral over 0..1 of dc/dg at g = 0, d eta,
// has no edge singularity left: the flux density the disc's edge concentrates is spread over the
// small eta where the coordinates crowd (r dr = -a^2 eta d eta on the disc).
//
// Cells: rows of g nodes (row 0 on the disc, a half cell; the node at g = pi/2, infinitely far,
// holds the bulk) by columns of eta cells. Each cell balances its volume
//     V = (xi+^3 - xi-^3)/3 (eta+ - eta-) + (xi+ - xi-)(eta+^3 - eta-^3)/3
// (exact over the cell) against the diffusion through its faces; the planes eta = 0 and 1 carry
// no flux, and on the disc a transfer takes (dt eta-weight / a) times its Butler-Volmer rate out of
// the surface cell.
//
//   DiscGrid grid;
//   BuildDiscGrid(0.01, 0.02, 0.15, 0.05, 20, grid);  // boxes 0.01 to 0.05 to 0.02, 20 columns

#include <vector>

namespace kivex::simulation {

struct DiscGrid {
  int rows = 0;                    // g nodes 0..rows-1; node `rows` is the bulk at g = pi/2
  int columns = 0;                 // eta cells 0..columns-1
  std::vector<double> g;           // rows + 1 node positions
  std::vector<double> eta;         // columns cell centres
  std::vector<double> volume;      // [row * columns + column]
  std::vector<double> gFace;       // [row * columns + column]: coupling of row and row + 1
  std::vector<double> etaFace;     // [row * columns + column]: of column and column + 1
  std::vector<double> discWeight;  // per column: its share of the electrode's area, summing to 1
  // A transfer takes dt surfaceFactor discWeight / a times its rate out of a surface cell.
  double surfaceFactor = 0.5;
};

// Rows from a first box of `firstBox` in g at the disc, growing by e^growth up to `largestBox`,
// and shrinking again towards the bulk to `lastBox` at pi/2, where the far end of a long-lived
// layer lies (a layer of thickness L reaches pi/2 - g = a / L); `columns` eta cells, finest at
// the edge.
void BuildDiscGrid(double firstBox, double lastBox, double growth, double largestBox, int columns,
                   DiscGrid& grid);

// The band of width 2a in elliptic-cylinder coordinates, x = a cosh(mu) cos(nu) and
// z = a sinh(mu) sin(nu): the band at mu = 0, its plane beyond the edge at nu = 0, its middle at
// nu = pi/2. The map is conformal, so Fick's law reads
//     a^2 (sinh^2 mu + sin^2 nu) dc/dt = D (d2c/dmu2 + d2c/dnu2)
// and the flux through the band is D dc/dmu d nu: the edge's singularity is gone again. A band's
// current never settles, so its rows end at `end`, where the bulk lies beyond the layer; its
// columns are of equal width in nu.
void BuildBandGrid(double firstBox, double end, double growth, double largestBox, int columns,
                   DiscGrid& grid);

// A banded matrix and its LU factors in place, without pivoting: the step matrices are
// diagonally dominant by columns (the diffusion couples alike both ways, a first-order reaction
// moves to its partner what it takes from its source), for which Gaussian elimination needs none.
// The storage keeps its capacity from run to run.
class BandMatrix {
 public:
  void Reset(int size, int halfWidth);  // a zero matrix
  double& At(int row, int column) {
    return values_[static_cast<std::size_t>(row) * stride_ + column - row + halfWidth_];
  }
  void Factor();
  void Solve(std::vector<double>& x) const;  // in place: x <- inv(A) x
  int size() const { return size_; }

 private:
  double Get(int row, int column) const {
    return values_[static_cast<std::size_t>(row) * stride_ + column - row + halfWidth_];
  }
  std::vector<double> values_;
  int size_ = 0;
  int halfWidth_ = 0;
  int stride_ = 0;
};

// A small dense system solved by Gaussian elimination with partial pivoting; its storage also
// keeps its capacity.
class DenseSystem {
 public:
  void Reset(int size);
  double& At(int row, int column) {
    return values_[static_cast<std::size_t>(row) * size_ + column];
  }
  // Solves in place: x <- inv(A) x. A is overwritten. Raises a Failure on a zero pivot.
  void Solve(std::vector<double>& x);

 private:
  std::vector<double> values_;
  int size_ = 0;
};

}  // namespace kivex::simulation
