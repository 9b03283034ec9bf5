#include "simulation/diffusion_field.h"

#include <cmath>
#include <numbers>

#include "model/checked_math.h"
#include "numerics/constants.h"
#include "simulation/laplace_inversion.h"
#include "simulation/scaled_erfc.h"

namespace kivex::simulation {

namespace {

// K1(z) / K0(z): the Bessel functions themselves below z = 30, beyond it the ratio of their
// asymptotic series (Abramowitz and Stegun 9.7.2), where K0 itself would underflow.
double BesselKRatio(double z) {
  if (z < 30.0) return std::cyl_bessel_k(1.0, z) / std::cyl_bessel_k(0.0, z);
  auto series = [z](double nu) {
    const double mu = 4 * nu * nu;
    double term = 1.0, sum = 1.0;
    for (int k = 1; k <= 8; ++k) {
      term *= (mu - (2 * k - 1) * (2 * k - 1)) / (k * 8.0 * z);
      sum += term;
    }
    return sum;
  };
  return series(1.0) / series(0.0);
}

// Film: whether the image series (short times) or the eigenfunction series (long times) converges
// faster; they meet where l^2 / D t = 1.
bool FilmShortTime(double l, double D, double t) { return l * l >= D * t; }

double FilmFlux(double l, double D, double t) {
  if (FilmShortTime(l, D, t)) {
    double sum = 1.0;
    for (int k = 1; k <= 8; ++k)
      sum += 2 * (k % 2 ? -1.0 : 1.0) * std::exp(-k * k * l * l / (D * t));
    return std::sqrt(D / (std::numbers::pi * t)) * sum;
  }
  double sum = 0.0;
  for (int m = 0; m <= 8; ++m) {
    const double j = 2 * m + 1;
    sum += std::exp(-j * j * std::numbers::pi * std::numbers::pi * D * t / (4 * l * l));
  }
  return 2 * D / l * sum;
}

double FilmCharge(double l, double D, double t) {
  if (FilmShortTime(l, D, t)) {
    // Integral of sqrt(D / pi u) exp(-a / u): 2 sqrt(D / pi) (sqrt(t) exp(-a / t) - sqrt(pi a)
    // erfc(sqrt(a / t))), a = k^2 l^2 / D.
    double sum = 2 * std::sqrt(D * t / std::numbers::pi);
    for (int k = 1; k <= 8; ++k) {
      const double a = k * k * l * l / D;
      const double term = 2 * std::sqrt(D / std::numbers::pi) *
                          (std::sqrt(t) * std::exp(-a / t) -
                           std::sqrt(std::numbers::pi * a) * std::erfc(std::sqrt(a / t)));
      sum += 2 * (k % 2 ? -1.0 : 1.0) * term;
    }
    return sum;
  }
  double sum = 0.0;
  for (int m = 0; m <= 8; ++m) {
    const double j = 2 * m + 1;
    sum += std::exp(-j * j * std::numbers::pi * std::numbers::pi * D * t / (4 * l * l)) / (j * j);
  }
  return l * (1 - 8 / (std::numbers::pi * std::numbers::pi) * sum);
}

// Film with electron transfer at rate k (cm/s): the eigenfunction series of a layer closed by an
// insulating wall, sum_m 2B / (beta_m^2 + B^2 + B) exp(-beta_m^2 D t / l^2), beta tan beta = B,
// B = k l / D (Carslaw and Jaeger, slab with surface transfer). Used once the images matter
// (D t / l^2 above 1/36); before that the film is a plane.
double FilmKineticFactor(double l, double D, double k, double t) {
  const double B = k * l / D;
  const double tau = D * t / (l * l);
  double sum = 0.0;
  for (int m = 0; m < 40; ++m) {
    // beta sin beta - B cos beta changes sign once in (m pi, m pi + pi / 2).
    double lo = m * std::numbers::pi, hi = m * std::numbers::pi + std::numbers::pi / 2;
    auto g = [B](double beta) { return beta * std::sin(beta) - B * std::cos(beta); };
    const double glo = g(lo);
    for (int it = 0; it < 60; ++it) {
      const double mid = 0.5 * (lo + hi);
      ((g(mid) > 0) == (glo > 0) ? lo : hi) = mid;
    }
    const double beta = 0.5 * (lo + hi);
    const double decay = std::exp(-beta * beta * tau);
    sum += 2 * B / (beta * beta + B * B + B) * decay;
    if (decay < 1e-17) break;
  }
  return sum;
}

// The catalytic plane (k > 0): the step flux sqrt(D) (exp(-kt) / sqrt(pi t) + sqrt(k) erf(S)) and
// its integral sqrt(D) (erf(S) / (2 sqrt(k)) + sqrt(k) t erf(S) + sqrt(t / pi) exp(-S^2)),
// S = sqrt(kt).
double CatalyticPlanarFlux(double D, double k, double t) {
  const double S = std::sqrt(k * t);
  return std::sqrt(D) *
         (std::exp(-S * S) / std::sqrt(std::numbers::pi * t) + std::sqrt(k) * std::erf(S));
}

double CatalyticPlanarCharge(double D, double k, double t) {
  const double S = std::sqrt(k * t);
  const double erfS = std::erf(S);
  return std::sqrt(D) * (erfS / (2 * std::sqrt(k)) + std::sqrt(k) * t * erfS +
                         std::sqrt(t / std::numbers::pi) * std::exp(-S * S));
}

}  // namespace

double BandTransformFactor(double p) {
  // The hemicylinder of radius w / 4 has the band's far field exactly (conformal map), so it
  // carries the long-time logarithm; at short times the band is a plane with two edges, p + 1.
  // Between them a smooth blend, fitted to a boundary-integral solution of the band in the Laplace
  // domain (flux density as Chebyshev polynomials over sqrt(1 - x^2), the K0 kernel's logarithm
  // integrated exactly, collocated at 24 points, converged to 1e-9): within 3.6e-4 of it at every
  // p. The blend is analytic in p, as the numerical inversion needs.
  const double z = p / 4;
  const double hemicylinder = std::numbers::pi * z * BesselKRatio(z);
  const double p2 = p * p;
  const double weight = std::exp(-(1.494393 * p2 * p / (1 + 0.670318 * p2) + 0.0315267 * p2));
  return (p + 1) - (p + 1 - hemicylinder) * weight;
}

double StepFluxTransform(const DiffusionField& field, double D, double s) {
  const double q = std::sqrt((s + field.k) / D);
  switch (field.shape) {
    case FieldShape::Planar: return D * q / s;
    case FieldShape::Sphere: return D * q / s + D / (field.size * s);
    case FieldShape::Cylinder: return D * q / s * BesselKRatio(field.size * q);
    case FieldShape::Band: return D / (s * field.size) * BandTransformFactor(field.size * q);
    case FieldShape::Film: return D * q / s * std::tanh(field.size * q);
  }
  return 0.0;
}

double StepFlux(const DiffusionField& field, double D, double t) {
  if (field.k > 0) {
    switch (field.shape) {
      case FieldShape::Planar: return CatalyticPlanarFlux(D, field.k, t);
      case FieldShape::Sphere: return CatalyticPlanarFlux(D, field.k, t) + D / field.size;
      default:
        return model::Finite(
            InvertLaplace([&](double s) { return StepFluxTransform(field, D, s); }, t));
    }
  }
  switch (field.shape) {
    case FieldShape::Planar: return std::sqrt(D / (std::numbers::pi * t));
    case FieldShape::Sphere: return std::sqrt(D / (std::numbers::pi * t)) + D / field.size;
    case FieldShape::Film: return FilmFlux(field.size, D, t);
    default:
      return model::Finite(
          InvertLaplace([&](double s) { return StepFluxTransform(field, D, s); }, t));
  }
}

double ElectrodeStepFlux(const ElectrodeFields& fields, double D, double t) {
  double sum = 0.0;
  for (int f = 0; f < fields.count; ++f) sum += fields.weight[f] * StepFlux(fields.field[f], D, t);
  return sum;
}

double StepCharge(const DiffusionField& field, double D, double t) {
  if (field.k > 0) {
    switch (field.shape) {
      case FieldShape::Planar: return CatalyticPlanarCharge(D, field.k, t);
      case FieldShape::Sphere: return CatalyticPlanarCharge(D, field.k, t) + D * t / field.size;
      default:
        return model::Finite(
            InvertLaplace([&](double s) { return StepFluxTransform(field, D, s) / s; }, t));
    }
  }
  switch (field.shape) {
    case FieldShape::Planar: return 2 * std::sqrt(D * t / std::numbers::pi);
    case FieldShape::Sphere: return 2 * std::sqrt(D * t / std::numbers::pi) + D * t / field.size;
    case FieldShape::Film: return FilmCharge(field.size, D, t);
    default:
      return model::Finite(
          InvertLaplace([&](double s) { return StepFluxTransform(field, D, s) / s; }, t));
  }
}

double KineticStepFactor(const DiffusionField& field, double DR, double DP, double kred, double kox,
                         double t) {
  const double lambda = model::Finite(kred / std::sqrt(DR) + kox / std::sqrt(DP));
  auto inverted = [&] {
    return model::Finite(InvertLaplace(
        [&](double s) {
          return 1.0 / (s + kred / StepFluxTransform(field, DR, s) +
                        kox / StepFluxTransform(field, DP, s));
        },
        t));
  };
  // With a regeneration only the inversion has the kinetic current.
  if (field.k > 0) return inverted();
  switch (field.shape) {
    case FieldShape::Planar: return ScaledErfc(model::Finite(lambda * std::sqrt(t)));
    case FieldShape::Sphere: {
      // The sphere's closed form (equal D in its steady part).
      const double a = std::sqrt(DR) / field.size;
      const double g = a / (lambda + a);
      return (1 - g) * ScaledErfc(model::Finite((lambda + a) * std::sqrt(t))) + g;
    }
    case FieldShape::Film:
      // Unequal D enter as at a plane, through the rate lambda sqrt(DR).
      if (36 * DR * t <= field.size * field.size) {
        return ScaledErfc(model::Finite(lambda * std::sqrt(t)));
      }
      return FilmKineticFactor(field.size, DR, lambda * std::sqrt(DR), t);
    default: return inverted();
  }
}

}  // namespace kivex::simulation
