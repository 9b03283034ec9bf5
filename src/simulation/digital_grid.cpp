#include "simulation/digital_grid.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "model/checked_math.h"
#include "model/count.h"
#include "model/electrode_table.h"
#include "model/failure.h"
#include "model/number_format.h"
#include "simulation/diffusion_field.h"

namespace kivex::simulation {

namespace {

// Box balances of a radial geometry with power m (3 sphere, 2 cylinder); rho is the electrode
// radius in units of the first box. Each box holds its true shell volume; the flux between two
// nodes uses the conductance that is exact for steady radial diffusion (the product of the node
// radii over their distance for a sphere, the inverse logarithm of their ratio for a cylinder),
// so that the first boxes, which may be wider than a microelectrode, still carry its steady
// state. Node 0 is the electrode surface.
void RadialCoefficients(double rho, int m, DigitalGrid& grid) {
  const int M = grid.nodeCount;
  const auto& z = grid.z;
  const auto& h = grid.h;
  auto radius = [rho, &h](int j) { return j == 0 ? rho : rho + h[j]; };
  auto conductance = [&](int j) {  // between nodes j and j+1
    const double gap = radius(j + 1) - radius(j);
    if (m == 3) return model::Div(radius(j) * radius(j + 1), gap);
    return model::Div(1.0, std::log1p(model::Div(gap, radius(j))));
  };
  for (int j = 1; j <= M; ++j) {
    const double volume =
        (std::pow(rho + z[j + 1], m) - std::pow(rho + z[j], m)) / static_cast<double>(m);
    grid.lower[j] = model::Div(conductance(j - 1), volume);
    grid.upper[j] = model::Div(conductance(j), volume);
  }
  // The flux density at the electrode is the first-node gradient (c(1) - c(0)) / h(1) over G.
  grid.surfaceFactor = model::Div(std::pow(rho, m - 1), h[1] * conductance(0));
}

}  // namespace

namespace {

// The interior nodes 1..M and the bulk node M+1 must fit the fixed grid: M = round(ln(reach) /
// beta + 2) <= kNodeSlots - 2, that is reach < e^(beta (kNodeSlots - 4.5)).
constexpr double kLargestNodeExponent = kNodeSlots - 4.5;

double Reach(double modelDiffusion, double span, double expansion) {
  return 6.0 * (std::exp(expansion) - 1.0) * std::sqrt(modelDiffusion * span) + 1.0;
}

bool Fits(double modelDiffusion, double span, double expansion) {
  return Reach(modelDiffusion, span, expansion) < std::exp(expansion * kLargestNodeExponent);
}

}  // namespace

int DigitalNodeCount(double modelDiffusion, double span, double expansion) {
  const double spread = std::exp(expansion) - 1.0;
  const double nodes =
      model::Log(6.0 * spread * model::Sqrt(modelDiffusion * span) + 1.0) / expansion + 2.0;
  const int M = model::ToCount(nodes);
  // Nodes 0..M+1 must fit the fixed grid.
  if (M + 1 >= kNodeSlots) model::ThrowFailure(model::kSubscriptOutOfRange);
  return M;
}

double FittingExpansion(const model::AppState& app, double modelDiffusion, double span,
                        double expansion) {
  while (expansion < 1.0 && !Fits(modelDiffusion, span, expansion)) {
    expansion = std::min(1.0, expansion * 1.25);
  }
  if (Fits(modelDiffusion, span, expansion)) return expansion;
  // Only chemistry shrinks the first box this far: its reaction layer is that thin. Say how fast
  // the rate constants may be for this step and experiment (DM = RT S / (F |E step|)).
  const double largestReach = std::exp(kLargestNodeExponent) - 1.0;
  const double spread = std::exp(1.0) - 1.0;
  const double largestDm = largestReach * largestReach / (36.0 * spread * spread * span);
  const double largestRate =
      largestDm * model::kFaraday * std::fabs(app.Estep) / (model::kGasConstant * app.temperature);
  throw model::Failure(
      "The chemical rate constants are too fast for the grid: their sum (a second-order one "
      "times the largest concentration) must stay below " +
      model::FormatPattern(largestRate, "0.##e-0") + " /s");
}

void BuildDigitalGrid(const model::AppState& app, double modelDiffusion, double referenceD,
                      double dt, double span, double preferredExpansion, DigitalGrid& grid,
                      ElectrodePart part) {
  const double expansion = FittingExpansion(app, modelDiffusion, span, preferredExpansion);
  const int M = DigitalNodeCount(modelDiffusion, span, expansion);
  grid = DigitalGrid{};
  grid.nodeCount = M;
  grid.expansion = expansion;
  const double spread = std::exp(expansion) - 1.0;
  for (int j = 1; j <= M + 1; ++j) {
    grid.z[j] = (std::exp(expansion * (j - 1)) - 1.0) / spread;
    grid.h[j] = (std::exp(expansion * (j - 0.5)) - 1.0) / spread;
  }
  grid.delta = model::Sqrt(model::Div(referenceD * dt, modelDiffusion));

  if (part == ElectrodePart::kEnd) {
    const double discRadius = model::DiscRadius(app.radius);
    RadialCoefficients(model::Div(discRadius, grid.delta), 3, grid);
    return;
  }
  const auto& z = grid.z;
  const auto& h = grid.h;
  const model::ElectrodeTraits& electrode = model::ElectrodeTraitsOf(model::ElectrodeOf(app));
  const double radius = model::EquivalentRadius(electrode.id, app.radius);
  switch (electrode.diffusion) {
    case model::Diffusion::Planar: {  // a rotating disk without convection
      for (int j = 1; j <= M; ++j) {
        grid.lower[j] = j == 1 ? 1.0 / h[1] : 1.0 / ((z[j + 1] - z[j]) * (h[j] - h[j - 1]));
        grid.upper[j] = 1.0 / ((z[j + 1] - z[j]) * (h[j + 1] - h[j]));
      }
      grid.surfaceFactor = 1.0;
      break;
    }
    case model::Diffusion::Spherical:
      RadialCoefficients(model::Div(radius, grid.delta), 3, grid);
      break;
    case model::Diffusion::Cylindrical:
      RadialCoefficients(model::Div(radius, grid.delta), 2, grid);
      break;
    case model::Diffusion::Film:
      throw model::Failure("The thin-film electrode has no digital simulation");
  }
}

}  // namespace kivex::simulation
