#include "simulation/square_wave.h"

#include <algorithm>
#include <cmath>

#include "model/checked_math.h"
#include "simulation/convolution_sweep.h"
#include "simulation/electrode_kinetics.h"

namespace kivex::simulation {

namespace {

// The Nernstian deficit of the reactant at the surface at potential E, (kred cR - kox cP) /
// (kred + kox) for equal D, the amount by which a step to E lowers it.
double NernstianDeficit(const CurrentInputs& couple, double fOverRT, double E) {
  const TransferRates k =
      CheckedTransferRatesAt(couple.ks, couple.alpha, couple.n, fOverRT, E - couple.E0e);
  return (k.red * couple.cR - k.ox * couple.cP) / (k.red + k.ox);
}

// The electrode's diffusion-limited step current over n F A C at time t (cm/s).
double ElectrodeFlux(Geometry geometry, const CellConstants& cell, double D, double t) {
  switch (geometry) {
    case Geometry::Planar: return StepFlux(DiffusionField{FieldShape::Planar, 0}, D, t);
    case Geometry::Spherical:
      return StepFlux(DiffusionField{FieldShape::Sphere, cell.radius}, D, t);
    case Geometry::Fields: return ElectrodeStepFlux(cell.fields, D, t);
  }
  return 0.0;
}

// The square wave by the convolution equation over the waveform itself, for couples whose step
// responses do not superpose (finite rates: the surface concentration then depends on the path,
// and adding kinetic step responses overestimates a slow couple's net peak twofold) or with an
// ohmic drop, solved at every node. Each half-period holds its potential over `nodes` nodes; the
// linear deficit between nodes smears the start of each level, an error close to 1 / (4 nodes)
// that Richardson extrapolation from K and 2K nodes removes.
void ConvolutionSquareWave(const std::vector<CurrentInputs>& couples, const CellConstants& cell,
                           const SquareWaveSettings& settings, model::CurveSet& curves) {
  const int points = curves.pointCount;
  const int count = static_cast<int>(couples.size());
  // 16 nodes a half-period (0.05 % after extrapolation), fewer for long runs to bound the O(N^2)
  // work: 8 (0.2 %) from 1000 points on, 4 (1 %) from 2000.
  const int K = std::clamp(8000 / std::max(points, 1), 4, 16);
  ElectrodeFields fields = cell.fields;
  if (settings.geometry != Geometry::Fields) {
    fields = ElectrodeFields{};
    fields.count = 1;
    fields.weight[0] = 1;
    fields.field[0] = settings.geometry == Geometry::Planar
                          ? DiffusionField{FieldShape::Planar, 0}
                          : DiffusionField{FieldShape::Sphere, cell.radius};
  }
  SweepSettings sweep;
  sweep.Ru = settings.Ru;
  sweep.fOverRT = cell.fOverRT;
  sweep.currentScale = settings.currentScale;
  sweep.stop = settings.stop;

  // The net current of every couple at every point for `nodes` nodes a half-period.
  auto netCurrents = [&](int nodes, std::vector<double>& net) {
    std::vector<double> programme(static_cast<std::size_t>(2) * points * nodes + 1, 0.0);
    for (int i = 1; i <= points; ++i) {
      for (int half = 0; half < 2; ++half) {
        const double E = curves.x(i) + (half == 0 ? -0.5 : 0.5) * settings.Epulse;
        for (int k = 1; k <= nodes; ++k) programme[((2 * i - 2 + half) * nodes) + k] = E;
      }
    }
    sweep.dt = settings.tPulse / nodes;
    std::vector<double> currents, effective;
    SolveConvolution(couples, fields, sweep, programme, currents, effective);
    net.assign(static_cast<std::size_t>(points + 1) * count, 0.0);
    for (int i = 1; i <= points; ++i) {
      for (int c = 0; c < count; ++c) {
        const std::size_t first = static_cast<std::size_t>(2 * i - 1) * nodes * count + c;
        const std::size_t second = static_cast<std::size_t>(2 * i) * nodes * count + c;
        net[static_cast<std::size_t>(i) * count + c] = currents[second] - currents[first];
      }
    }
  };
  std::vector<double> coarse, fine;
  netCurrents(K, coarse);
  netCurrents(2 * K, fine);
  for (int i = 1; i <= points; ++i) {
    double sum = 0.0;
    for (int c = 0; c < count; ++c) {
      const std::size_t at = static_cast<std::size_t>(i) * count + c;
      const double value = model::Finite(2 * fine[at] - coarse[at]);
      curves.resultTable(i, c + 1) = value;
      sum += value;
    }
    curves.resultTable(i, settings.totalColumn) =
        model::Finite(curves.resultTable(i, settings.totalColumn) + sum);
  }
}

}  // namespace

void SquareWaveSuperposition(const std::vector<CurrentInputs>& couples, const CellConstants& cell,
                             const SquareWaveSettings& settings, model::CurveSet& curves) {
  // Fast couples with one diffusion coefficient have step responses n a(V) K(t): the Nernstian
  // deficit a(V) times the electrode's flux K(t), within K(tPulse) / ks (below 1e-5 here) of the
  // kinetic form, and these superpose exactly. Anything else takes the convolution equation.
  const double D = couples.empty() ? 0.0 : couples[0].dR * couples[0].dR;
  bool separable = settings.Ru == 0;
  for (const CurrentInputs& couple : couples) {
    separable = separable && couple.dR == couple.dP && couple.dR * couple.dR == D &&
                couple.ks >= 1e5 * ElectrodeFlux(settings.geometry, cell, D, settings.tPulse);
  }
  if (!separable) {
    ConvolutionSquareWave(couples, cell, settings, curves);
    return;
  }

  const int points = curves.pointCount;
  const int levels = 2 * points;
  std::vector<double> flux(levels + 1, 0.0);
  for (int m = 1; m <= levels; ++m) {
    flux[m] = ElectrodeFlux(settings.geometry, cell, D, m * settings.tPulse);
  }
  // Every couple's deficit at every level so far, and the current at the end of each level.
  std::vector<std::vector<double>> deficit(couples.size(), std::vector<double>(levels + 1, 0.0));
  std::vector<double> sampled(levels + 1, 0.0);
  for (int i = 1; i <= points; ++i) {
    double sum = 0.0;
    for (std::size_t c = 0; c < couples.size(); ++c) {
      const CurrentInputs& couple = couples[c];
      const std::size_t low = 2 * static_cast<std::size_t>(i) - 1, high = low + 1;
      deficit[c][low] = NernstianDeficit(couple, cell.fOverRT, curves.x(i) - 0.5 * settings.Epulse);
      deficit[c][high] =
          NernstianDeficit(couple, cell.fOverRT, curves.x(i) + 0.5 * settings.Epulse);
      for (int q = 2 * i - 1; q <= 2 * i; ++q) {
        // Each level's step, the change of deficit from the level before, aged to the end of q.
        double current = 0.0;
        for (int l = 1; l <= q; ++l) {
          current += (deficit[c][l] - deficit[c][l - 1]) * flux[q - l + 1];
        }
        sampled[q] = model::Finite(couple.n * current);
      }
      const double value = model::Finite((sampled[high] - sampled[low]) * settings.currentScale);
      curves.resultTable(i, static_cast<int>(c) + 1) = value;
      sum += value;
    }
    curves.resultTable(i, settings.totalColumn) =
        model::Finite(curves.resultTable(i, settings.totalColumn) + sum);
  }
}

}  // namespace kivex::simulation
