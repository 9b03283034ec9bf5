#pragma once
// The surface rows of the digital simulation, B c(0) = P c(1), for any set of electron transfers.
//
// With J(t) = D(t) (c(t, 1) - c(t, 0)) / (G delta h(1)) the flux of species t towards the
// electrode, every species s balances the fluxes of the set U(s) of itself and every species
// that electron transfers turn into it, directly or along a chain (for A -> B -> C, U(C) holds A,
// B and C):
//     sum over t in U(s) of J(t) = sum of the rates of the transfers that leave U(s),
// a rate being kRed c(O, 0) - kOx c(R, 0). Divided by D(s)/(G delta h(1)) this gives
//     P(s, t) = D(t) / D(s) for t in U(s), and B = P plus w(s) times the rate terms,
// with w(s) = G delta h(1) / D(s). A species that only gains electrons balances its whole chain
// to zero; one that is the oxidised form of several transfers takes all their rates; a species
// outside every transfer has zero flux. For one couple with equal diffusion coefficients the row
// of R says c(O) + c(R) is the same at the surface as at node 1, and the row of O carries the
// Butler-Volmer flux.

#include <array>

#include "model/app_state.h"
#include "simulation/block_solver.h"

namespace kivex::simulation {

inline constexpr int kChargeSlots = model::kMaxCharge + 1;
using RateVector = std::array<double, kChargeSlots>;  // per charge reaction 1..3

struct SurfaceConditions {
  Block pattern{};                                // P
  std::array<unsigned, kSpeciesSlots> kinetic{};  // bit r-1: transfer r leaves U(s)
  SpeciesVector weight{};                         // w(s) for rows with rate terms
  std::array<int, kChargeSlots> ox{};
  std::array<int, kChargeSlots> red{};
  int speciesCount = 0;
  int chargeCount = 0;
};

// `surfaceFactor` is G of the geometry: the flux density at the electrode is the first-node
// gradient divided by G (1 when planar), so the rate terms carry it and the rate computed from
// the surface concentrations is the electrode's own flux.
void BuildSurfaceConditions(const model::AppState& app, double delta, double h1,
                            double surfaceFactor, SurfaceConditions& surface);

// B for the heterogeneous rate constants of the present potential.
void BuildBoundaryMatrix(const SurfaceConditions& surface, const RateVector& kRed,
                         const RateVector& kOx, Block& B);

// The surface concentrations of a step as a linear function of the electrode fluxes. With the
// nodes beyond the surface eliminated, node 1 reads D'(1) c(1) - a(1) c(0) = r'(1) and the
// surface rows read P (c(1) - c(0)) = w K J, J(r) being the flux of transfer r (its rate
// kRed c(O, 0) - kOx c(R, 0)) and K(s, r) = 1 where r leaves U(s). So
//     c(0) = y - Phi J,  y = inv(T0) r'(1),  Phi = inv(T0) D'(1) inv(P) w K,  T0 = D'(1) - a(1),
// and the rate laws leave a system with one unknown per transfer. Solving for the fluxes rather
// than the surface concentrations keeps the current exact where a rate constant is huge (the
// diffusion-limited current is then the flux itself, not a tiny c(O, 0) times a huge kRed), and
// costs so little that an ohmic-drop iteration can try many potentials per step.
struct FluxResponse {
  Block zeroFlux{};                               // inv(T0)
  std::array<SpeciesVector, kChargeSlots> phi{};  // phi[r][s] = Phi(s, r)
};

// `reducedFirst` is D'(1) and `surfaceProduct` D'(1) inv(P) of the elimination in use.
void BuildFluxResponse(const SurfaceConditions& surface, const Block& reducedFirst,
                       const Block& surfaceProduct, const SpeciesVector& a1,
                       FluxResponse& response);

// The fluxes J(r) of the transfers for the surface values y = inv(T0) r'(1) (`zeroFluxSurface`)
// and the rate constants of the present potential. With `slope` (dln kRed/dE and dln kOx/dE per
// transfer) also dJ/dE, for a Newton step on the electrode potential.
struct RateSlopes {
  RateVector red{};
  RateVector ox{};
};
void SolveFluxes(const SurfaceConditions& surface, const FluxResponse& response,
                 const SpeciesVector& zeroFluxSurface, const RateVector& kRed,
                 const RateVector& kOx, RateVector& J, const RateSlopes* slope = nullptr,
                 RateVector* dJdE = nullptr);

// c(0) = y - Phi J, species 1..n.
void SurfaceFromFluxes(const SurfaceConditions& surface, const FluxResponse& response,
                       const SpeciesVector& zeroFluxSurface, const RateVector& J,
                       SpeciesVector& c0);

}  // namespace kivex::simulation
