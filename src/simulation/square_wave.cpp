#include "simulation/square_wave.h"

#include <cmath>

#include "model/checked_math.h"
#include "simulation/laplace_inversion.h"
#include "simulation/scaled_erfc.h"

namespace kivex::simulation {

namespace {

// The step response of one level at a given age, from the level's rates. Planar and spherical
// fields have closed forms; the others are inverted from tables of their transforms, sampled once
// per age at the inversion's abscissae.
class StepResponses {
 public:
  StepResponses(const CurrentInputs& couple, const CellConstants& cell,
                const SquareWaveSettings& settings, int ages)
      : couple_(couple), cell_(cell), settings_(settings) {
    if (settings.geometry != Geometry::Fields) return;
    const double DR = couple.dR * couple.dR, DP = couple.dP * couple.dP;
    const int fields = cell.fields.count;
    transformR_.resize(static_cast<std::size_t>(ages + 1) * fields * (kStehfestTerms + 1));
    transformP_.resize(transformR_.size());
    for (int m = 1; m <= ages; ++m) {
      for (int f = 0; f < fields; ++f) {
        for (int j = 1; j <= kStehfestTerms; ++j) {
          const double s = StehfestNode(j, m * settings.tPulse);
          transformR_[Index(m, f, j)] = StepFluxTransform(cell.fields.field[f], DR, s);
          transformP_[Index(m, f, j)] = StepFluxTransform(cell.fields.field[f], DP, s);
        }
      }
    }
  }

  struct Level {
    double kred = 0, kox = 0, J = 0;
  };

  Level LevelAt(double E) const {
    const double phi = model::Finite(couple_.n * cell_.fOverRT * (E - couple_.E0e));
    Level level;
    level.kred = model::Finite(couple_.ks * model::Exp(-couple_.alpha * phi));
    level.kox = model::Finite(couple_.ks * model::Exp((1.0 - couple_.alpha) * phi));
    level.J = model::Finite(couple_.n * (level.kred * couple_.cR - level.kox * couple_.cP));
    return level;
  }

  // The current (before currentScale) of a step to `level`, m half-periods after it.
  double At(const Level& level, int m) const {
    const double t = m * settings_.tPulse;
    const double lambda = level.kred / couple_.dR + level.kox / couple_.dP;
    switch (settings_.geometry) {
      case Geometry::Planar: return level.J * ScaledErfc(lambda * std::sqrt(t));
      case Geometry::Spherical: {
        const double a = couple_.dR / cell_.radius;
        const double g = a / (lambda + a);
        return level.J * ((1 - g) * ScaledErfc((lambda + a) * std::sqrt(t)) + g);
      }
      case Geometry::Fields: {
        const auto& V = StehfestWeights();
        double factor = 0.0;
        for (int f = 0; f < cell_.fields.count; ++f) {
          double sum = 0.0;
          for (int j = 1; j <= kStehfestTerms; ++j) {
            const double s = StehfestNode(j, t);
            sum += V[j] / (s + level.kred / transformR_[Index(m, f, j)] +
                           level.kox / transformP_[Index(m, f, j)]);
          }
          factor += cell_.fields.weight[f] * sum * 0.69314718055994531 / t;
        }
        return level.J * factor;
      }
    }
    return 0.0;
  }

 private:
  std::size_t Index(int m, int f, int j) const {
    return (static_cast<std::size_t>(m) * cell_.fields.count + f) * (kStehfestTerms + 1) + j;
  }

  const CurrentInputs& couple_;
  const CellConstants& cell_;
  const SquareWaveSettings& settings_;
  std::vector<double> transformR_, transformP_;
};

// The electrode's diffusion-limited step current over n F A C at time t (cm/s).
double ElectrodeFlux(Geometry geometry, const CellConstants& cell, double D, double t) {
  switch (geometry) {
    case Geometry::Planar: return StepFlux(DiffusionField{FieldShape::Planar, 0}, D, t);
    case Geometry::Spherical:
      return StepFlux(DiffusionField{FieldShape::Sphere, cell.radius}, D, t);
    case Geometry::Fields: {
      double sum = 0.0;
      for (int f = 0; f < cell.fields.count; ++f) {
        sum += cell.fields.weight[f] * StepFlux(cell.fields.field[f], D, t);
      }
      return sum;
    }
  }
  return 0.0;
}

}  // namespace

void SquareWaveSuperposition(const std::vector<CurrentInputs>& couples, const CellConstants& cell,
                             const SquareWaveSettings& settings, model::CurveSet& curves) {
  const int points = curves.pointCount;
  const int levels = 2 * points;
  std::vector<StepResponses> responses;
  responses.reserve(couples.size());
  for (const CurrentInputs& couple : couples) {
    responses.emplace_back(couple, cell, settings, levels);
  }
  // Every couple's rates at every level so far.
  std::vector<std::vector<StepResponses::Level>> level(
      couples.size(), std::vector<StepResponses::Level>(levels + 1));
  std::vector<double> sampled(levels + 1, 0.0);

  // A fast couple with equal diffusion coefficients has step responses n a(V) K(t): the
  // Nernstian deficit a(V) = (kred cR - kox cP) / (kred + kox) times the electrode's flux K(t),
  // within K(tPulse) / ks (below 1e-5 here) of the kinetic form. The sums then need no special
  // function at all.
  bool separable = true;
  for (const CurrentInputs& couple : couples) {
    const double D = couple.dR * couple.dR;
    separable = separable && couple.dR == couple.dP &&
                couple.ks >= 1e5 * ElectrodeFlux(settings.geometry, cell, D, settings.tPulse);
  }
  std::vector<double> flux;
  if (separable && !couples.empty()) {
    const double D = couples[0].dR * couples[0].dR;
    flux.assign(levels + 1, 0.0);
    for (int m = 1; m <= levels; ++m) {
      flux[m] = ElectrodeFlux(settings.geometry, cell, D, m * settings.tPulse);
    }
    for (const CurrentInputs& couple : couples) separable = separable && couple.dR * couple.dR == D;
  }

  double prev = 0.0;
  for (int i = 1; i <= points; ++i) {
    const double x = model::Finite(curves.x(i) + prev * settings.Ru);
    double sum = 0.0;
    for (std::size_t c = 0; c < couples.size(); ++c) {
      const StepResponses& F = responses[c];
      level[c][2 * i - 1] = F.LevelAt(x - 0.5 * settings.Epulse);
      level[c][2 * i] = F.LevelAt(x + 0.5 * settings.Epulse);
      for (int q = 2 * i - 1; q <= 2 * i; ++q) {
        // Each level's step, less the step of the level before it, aged to the end of q.
        double current = 0.0;
        if (separable) {
          double before = 0.0;
          for (int l = 1; l <= q; ++l) {
            const StepResponses::Level& v = level[c][l];
            const double deficit = (v.J / couples[c].n) / (v.kred + v.kox);
            current += (deficit - before) * flux[q - l + 1];
            before = deficit;
          }
          current *= couples[c].n;
        } else {
          for (int l = 1; l <= q; ++l) {
            const int age = q - l + 1;
            current += F.At(level[c][l], age);
            if (l > 1) current -= F.At(level[c][l - 1], age);
          }
        }
        sampled[q] = model::Finite(current);
      }
      const double value =
          model::Finite((sampled[2 * i] - sampled[2 * i - 1]) * settings.currentScale);
      curves.resultTable(i, static_cast<int>(c) + 1) = value;
      sum += value;
    }
    curves.resultTable(i, settings.totalColumn) =
        model::Finite(curves.resultTable(i, settings.totalColumn) + sum);
    prev = curves.resultTable(i, settings.totalColumn);
  }
}

}  // namespace kivex::simulation
