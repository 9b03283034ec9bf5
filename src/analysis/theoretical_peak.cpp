#include "analysis/theoretical_peak.h"

#include "model/checked_math.h"
#include "model/electrode_table.h"
#include "model/number_format.h"
#include "model/print_line.h"
#include "model/technique_table.h"
#include "numerics/constants.h"

namespace kivex::analysis {

namespace {

using model::Diffusion;
using model::Div;
using model::ElectrodeOf;
using model::ElectrodeTraits;
using model::Exp;
using model::Log;
using model::Mechanism;
using model::MechanismOf;
using model::PeakTheory;
using model::Pow;
using model::Sqrt;
using model::TechniqueOf;
using numerics::kPiTenDigits;
using numerics::kSqrtPi;

// The symbols of one charge reaction, read once.
struct Reaction {
  const model::AppState& app;
  int j;
  int O;  // oxidised form, the reactant
  int R;  // reduced form, the product

  Reaction(const model::AppState& state, int reaction)
      : app(state),
        j(reaction),
        O(state.chargeSpecies(reaction, 1)),
        R(state.chargeSpecies(reaction, 2)) {}

  double D() const { return app.D(O); }
  double n() const { return app.n(j); }
  double f() const { return app.fOverRT; }
  double Ehalf() const { return app.E0(j) + Div(Log(Div(app.D(R), app.D(O))), 2 * n() * f()); }
  double Q() const {
    return 0.001 * n() * model::kFaraday * app.area * (app.Cinit(O) + app.Cinit(R));
  }

  // Planar diffusion plus the cylinder's long-time correction.
  double Cylindrical(double t) const {
    const double r = model::EquivalentRadius(ElectrodeOf(app), app.radius);
    const double planar = Div(1.0, Sqrt(kPiTenDigits * D() * t));
    if (Div(D() * t, r * r) < 0.4) return Q() * D() * (planar + Div(0.5, r));
    return Q() * D() * (planar + Div(2.0, r * Log(Div(4 * D() * t, r * r))));
  }

  // The reversible pulse current of differential pulse and square wave voltammetry.
  double Pulse() const {
    const double sigma = Exp(n() * f() * app.Epulse / 2);
    return Q() * Sqrt(Div(D(), kPiTenDigits * app.tPulse)) * Div(1 - sigma, 1 + sigma);
  }
};

// Each value on its own: one that cannot be computed from the values given leaves the others.
template <typename Formula>
std::optional<double> Attempt(Formula formula) {
  try {
    return model::Finite(formula());
  } catch (const model::Failure&) {
    return std::nullopt;
  }
}

void SweepValues(const Reaction& r, TheoreticalPeak& p) {
  const model::AppState& app = r.app;
  const double v = app.scanRate;
  const ElectrodeTraits* electrode = model::FindElectrode(app.electrode);
  if (electrode == nullptr) return;
  switch (electrode->diffusion) {
    case Diffusion::Planar: {
      if (electrode->rotates) {
        p.Irev = Attempt([&] {
          const double omega = app.omega;
          const double ratio = Div(app.viscosity, r.D());
          const double a =
              Div(Div(0.412 * r.n() * r.f() * v, omega), 2 * kPiTenDigits) * Pow(ratio, 1.0 / 3);
          return Div(r.Q() * r.D(), a) * 1.86 * Pow(ratio, 1.0 / 6) *
                 Sqrt(Div(Div(v, omega), kPiTenDigits * 2));
        });
        break;
      }
      const double alpha = app.alpha(r.j);
      p.Irev = Attempt([&] { return r.Q() * 0.4463 * Sqrt(r.n() * r.f() * v * r.D()); });
      p.Erev = Attempt([&] { return r.Ehalf() - Div(1.109, r.n() * r.f()); });
      p.Iirr = Attempt([&] { return r.Q() * 0.4958 * Sqrt(alpha * r.n() * r.f() * v * r.D()); });
      if (app.ks(r.j) < 0.01) {
        p.Eirr = Attempt([&] {
          const double kinetic = Log(Div(Sqrt(r.D() * alpha * r.n() * r.f() * v), app.ks(r.j)));
          return r.Ehalf() - Div(kinetic + 0.78, alpha * r.n() * r.f());
        });
      }
      break;
    }
    case Diffusion::Spherical:
      if (electrode->disc) {
        p.Irev = Attempt([&] { return Div(4 * r.Q() * r.D() * app.radius, app.area); });
      } else {
        p.Irev = Attempt([&] { return Div(r.Q() * r.D(), app.radius); });
      }
      break;
    case Diffusion::Cylindrical: p.Irev = Attempt([&] { return r.Cylindrical(app.tDrop); }); break;
    case Diffusion::Film:
      p.Irev = Attempt([&] { return r.Q() * r.n() * r.f() * app.length * v / 4; });
      p.Erev = Attempt([&] {
        const double thin = Div(kSqrtPi * r.n() * app.length, Sqrt(app.tDrop * r.D()));
        return app.E0(r.j) + Div(Log(thin), r.n() * r.f());
      });
      break;
  }
}

// DC (t = drop time) and normal pulse (t = pulse width).
void StepValues(const Reaction& r, TheoreticalPeak& p) {
  const model::AppState& app = r.app;
  // A pulse from the base: the wave sits Epulse before the potential the axis shows.
  const bool dc = !model::TechniqueTraitsOf(TechniqueOf(app)).pulseSampled;
  const ElectrodeTraits* electrode = model::FindElectrode(app.electrode);
  if (electrode == nullptr) return;
  const double t = dc ? app.tDrop : app.tPulse;
  p.Erev = Attempt([&] { return dc ? r.Ehalf() : r.Ehalf() - app.Epulse; });
  if (electrode->diffusion == Diffusion::Planar && !electrode->rotates) {
    p.Irev = Attempt([&] { return r.Q() * Sqrt(Div(r.D(), kPiTenDigits * t)); });
    p.Iirr = p.Irev;
    if (app.ks(r.j) < 0.01) {
      p.Eirr = Attempt([&] {
        const double kinetic = Log(1.349 * app.ks(r.j) * Sqrt(Div(t, r.D())));
        return r.Ehalf() + Div(kinetic, app.alpha(r.j) * r.n() * r.f());
      });
    }
  } else if (electrode->diffusion == Diffusion::Spherical) {
    p.Irev = Attempt([&] {
      return r.Q() * r.D() * (Div(1.0, Sqrt(kPiTenDigits * r.D() * t)) + Div(1.0, app.radius));
    });
  } else if (electrode->diffusion == Diffusion::Cylindrical) {
    p.Irev = Attempt([&] { return r.Cylindrical(t); });
  } else if (electrode->rotates) {
    p.Irev = Attempt([&] {  // Levich
      return r.Q() * 0.62 * Pow(r.D(), 2.0 / 3) * Sqrt(app.omega) * Pow(app.viscosity, -1.0 / 6);
    });
  }
}

void DifferentialPulseValues(const Reaction& r, TheoreticalPeak& p) {
  const model::AppState& app = r.app;
  p.Erev = Attempt([&] { return r.Ehalf() - app.Epulse / 2; });
  auto spread = [&] { return Div(Sqrt(kPiTenDigits * r.D() * app.tPulse), app.radius); };
  const ElectrodeTraits* electrode = model::FindElectrode(app.electrode);
  if (electrode == nullptr) return;
  if (electrode->diffusion == Diffusion::Planar && !electrode->rotates) {
    p.Irev = Attempt([&] { return r.Pulse(); });
  } else if (electrode->diffusion == Diffusion::Spherical) {
    p.Irev = Attempt([&] { return r.Pulse() * (1 + spread()); });
  } else if (electrode->diffusion == Diffusion::Cylindrical) {
    p.Irev = Attempt([&] { return r.Pulse() * (0.5 + spread()); });
  }
}

std::string Formatted(const std::optional<double>& value, const char* pattern) {
  return value ? model::FormatPattern(*value, pattern) : "-";
}

}  // namespace

TheoreticalPeak ComputeTheoreticalPeak(const model::AppState& app, int reaction) {
  TheoreticalPeak p;
  const Reaction r(app, reaction);
  if (r.O < 1 || r.R < 1) return p;  // the scheme names no couple for this reaction
  const Mechanism mechanism = MechanismOf(app);
  if (mechanism == Mechanism::CatalyticEC) {
    p.Irev = Attempt([&] { return r.Q() * Sqrt(r.D() * (app.kf(r.j) + app.kb(r.j))); });
    p.Erev = Attempt([&] { return r.Ehalf(); });
    return p;
  }
  // The closed forms hold for electron transfers alone.
  if (mechanism < Mechanism::E || mechanism > Mechanism::TwoCouples) return p;
  const model::TechniqueTraits* technique = model::FindTechnique(app.technique);
  if (technique == nullptr) return p;
  switch (technique->theory) {
    case PeakTheory::Sweep: SweepValues(r, p); break;
    case PeakTheory::Step: StepValues(r, p); break;
    case PeakTheory::DifferentialPulse: DifferentialPulseValues(r, p); break;
    case PeakTheory::SquareWave:
      p.Erev = Attempt([&] { return r.Ehalf(); });
      p.Irev = Attempt([&] { return r.Pulse() * 2.4; });
      break;
  }
  return p;
}

std::vector<std::string> TheoreticalPeakReport(const model::AppState& app) {
  std::vector<std::string> report{"Theoretical limiting current:"};
  const model::TechniqueTraits* technique = model::FindTechnique(app.technique);
  const bool step = technique != nullptr && technique->theory == PeakTheory::Step;
  const std::string labelE = step ? "E1/2" : "Ep";
  const std::string labelI = step ? "Id" : "Ip";
  for (int j = 1; j <= app.chargeCount && j <= model::kMaxCharge; ++j) {
    const TheoreticalPeak p = ComputeTheoreticalPeak(app, j);
    auto line = [&](const char* title, const std::optional<double>& E,
                    const std::optional<double>& I) {
      return model::PrintLine()
          .Text(title)
          .Integer(j)
          .Text(":")
          .Zone()
          .Text(labelE + " = ")
          .Text(Formatted(E, "0.####"))
          .Zone()
          .Text(labelI + " = ")
          .Text(Formatted(I, "0.####E-0"))
          .str();
    };
    report.push_back(line("Reversible Peak ", p.Erev, p.Irev));
    report.push_back(line("Irreverisble Peak ", p.Eirr, p.Iirr));
  }
  return report;
}

}  // namespace kivex::analysis
