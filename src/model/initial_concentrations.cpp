#include "model/initial_concentrations.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/checked_math.h"
#include "model/fixed_table.h"
#include "model/two_species_equilibrium.h"

namespace kivex::model {

namespace {

std::size_t Slot(int species) {
  if (species < 1 || species > kMaxSpecies) ThrowIndexFailure();
  return static_cast<std::size_t>(species);
}

// The concentrations as the steps see them. Each step reads what it needs first and writes only
// once every new value is known, finite and rounded, so a step that fails is skipped whole.
// A skipped step is noted only when the caller asks (the fit does not: nothing is formatted
// there).
struct Store {
  Concentrations& values;
  Rounding round;
  std::vector<SkippedStep>* skipped;
  double Get(int species) const { return values[Slot(species)]; }
  void Set(int species, double value) { values[Slot(species)] = value; }
  void Skip(bool couple, int reaction, std::string_view reason) const {
    if (skipped == nullptr) return;
    skipped->push_back(
        {couple ? "the pre-equilibration of charge reaction " + std::to_string(reaction) +
                      " at the starting potential"
                : "the pre-equilibration of chemical reaction " + std::to_string(reaction),
         std::string(reason)});
  }
};

constexpr std::string_view kNoRoot = "no usable root";

void CoupleStep(Store store, int reaction, int ox, int red, double n, double E0, double fOverRT,
                double E) {
  try {
    const double Cox = store.Get(ox);
    const double Cred = store.Get(red);
    // theta = [red]/[ox] at equilibrium; delta = (theta Cox - Cred) / (theta + 1), written with
    // exp of a non-positive argument so that a far-off potential cannot overflow.
    const double x = Finite(n * fOverRT * (E0 - E));
    double delta;
    if (x <= 0.0) {
      const double theta = std::exp(x);
      delta = (theta * Cox - Cred) / (theta + 1.0);
    } else {
      const double inverse = std::exp(-x);
      delta = (Cox - inverse * Cred) / (1.0 + inverse);
    }
    const double newOx = store.round(Finite(Cox - delta));
    const double newRed = store.round(Finite(Cred + delta));
    store.Set(ox, newOx);
    store.Set(red, newRed);
  } catch (const Failure& failure) {
    store.Skip(true, reaction, failure.description());  // the concentrations stay as they were
  }
}

void FirstOrderStep(Store store, int reaction, int X, int Y, double K) {
  if (K == 0.0) return;
  try {
    const double Cx = store.Get(X);
    const double Cy = store.Get(Y);
    const double delta = Div(K * Cx - Cy, K + 1.0);
    const double x = store.round(Finite(std::max(Cx - delta, 0.0)));
    const double y = store.round(Finite(Cy + delta));
    store.Set(X, x);
    store.Set(Y, y);
  } catch (const Failure& failure) {
    store.Skip(false, reaction, failure.description());
  }
}

// Whether the row is one of the three forms with distinct species in the places each reads.
bool FitsAForm(const std::array<int, 4>& places) {
  if (places[0] == 0 || places[2] == 0 || (places[1] == 0 && places[3] == 0)) return false;
  for (int q = 0; q < 4; ++q) {
    for (int p = q + 1; p < 4; ++p) {
      if (places[q] != 0 && places[q] == places[p]) return false;
    }
  }
  return true;
}

// A row the forms cannot express (a species in two places, an empty first place): by net
// stoichiometry, so that A + A = C uses up two A for each C and a catalyst A + B = A + C keeps A.
void NetStep(Store store, int reaction, const std::array<int, 4>& places, double K) {
  try {
    std::array<int, 4> species{};  // the distinct species, 0 after the last
    std::array<NetSpecies, 4> net{};
    for (int q = 1; q <= 4; ++q) {
      const int s = places[q - 1];
      if (s == 0) continue;
      std::size_t k = 0;
      while (species[k] != 0 && species[k] != s) ++k;
      if (species[k] == 0) {
        species[k] = s;
        net[k].C = store.Get(s);
      }
      net[k].nu += q <= 2 ? -1 : 1;
    }
    const std::optional<double> delta = NetAdvancement(K, net);
    if (!delta) {
      store.Skip(false, reaction, kNoRoot);
      return;
    }
    std::array<double, 4> next{};
    for (std::size_t k = 0; k < 4 && species[k] != 0; ++k) {
      next[k] = store.round(Finite(std::max(net[k].C + net[k].nu * *delta, 0.0)));
    }
    for (std::size_t k = 0; k < 4 && species[k] != 0; ++k) store.Set(species[k], next[k]);
  } catch (const Failure& failure) {
    store.Skip(false, reaction, failure.description());
  }
}

void TwoSpeciesStep(Store store, int reaction, const std::array<int, 4>& places, double K) {
  if (K == 0.0) return;
  if (!FitsAForm(places)) {
    NetStep(store, reaction, places, K);
    return;
  }
  const TwoSpeciesForm form = FormOfRow(places[1] != 0, places[3] != 0);
  try {
    std::array<double, 4> C{};
    for (int q = 1; q <= 4; ++q) {
      if (UsesPlace(form, q)) C[q - 1] = store.Get(places[q - 1]);  // empty: skipped
    }
    const std::optional<double> delta = TwoSpeciesAdvancement(form, K, C);
    if (!delta) {
      store.Skip(false, reaction, kNoRoot);
      return;
    }
    std::array<double, 4> next{};
    for (int q = 1; q <= 4; ++q) {
      if (places[q - 1] == 0) continue;
      next[q - 1] =
          store.round(Finite(q <= 2 ? std::max(C[q - 1] - *delta, 0.0) : C[q - 1] + *delta));
      static_cast<void>(Slot(places[q - 1]));  // a bad place fails before anything is written
    }
    for (int q = 1; q <= 4; ++q) {
      if (places[q - 1] != 0) store.Set(places[q - 1], next[q - 1]);
    }
  } catch (const Failure& failure) {
    store.Skip(false, reaction, failure.description());
  }
}

void PreEquilibrate(Store store, const AppState& scheme, const SolutionPreparation& prep) {
  if (prep.fOverRT > 0.0) {
    for (int j = 1; j <= std::min<int>(scheme.chargeCount, kMaxCharge); ++j) {
      const auto r = static_cast<std::size_t>(j);
      CoupleStep(store, j, scheme.chargeSpecies(j, 1), scheme.chargeSpecies(j, 2), prep.n[r],
                 prep.E0[r], prep.fOverRT, prep.Estart);
    }
  }
  const int chemCount = std::min<int>(scheme.chemCount, kMaxChem);
  for (int k = 1; k <= chemCount; ++k) {
    FirstOrderStep(store, k, scheme.chemSpecies(k, 1), scheme.chemSpecies(k, 2),
                   prep.Keq[static_cast<std::size_t>(k)]);
  }
  for (int j = 1; j <= std::min<int>(scheme.chem2Count, kMaxChem - chemCount); ++j) {
    std::array<int, 4> places{};
    for (int q = 1; q <= 4; ++q) places[q - 1] = scheme.chem2Species(j, q);
    const int reaction = chemCount + j;  // numbered after the first-order reactions
    TwoSpeciesStep(store, reaction, places, prep.Keq[static_cast<std::size_t>(reaction)]);
  }
}

}  // namespace

Concentrations InitialConcentrations(const AppState& scheme, const SolutionPreparation& prep,
                                     Rounding round, std::vector<SkippedStep>* skipped) {
  Concentrations values{};
  for (int i = 1; i <= kMaxSpecies; ++i) {
    values[static_cast<std::size_t>(i)] = round(prep.analytical[static_cast<std::size_t>(i)]);
  }
  if (prep.preEquilibrate) PreEquilibrate(Store{values, round, skipped}, scheme, prep);
  if (prep.preconcentrate) {
    PreconcentrationInput input = prep.preconcentration;
    input.n = prep.n[1];
    input.E0 = prep.E0[1];
    try {
      values[2] = round(prep.analytical[1] * PreconcentrationFactor(input));
    } catch (const Failure& failure) {
      // Species 2 keeps what pre-equilibration gave.
      if (skipped != nullptr) {
        skipped->push_back(
            {std::string(kPreconcentrationStep), std::string(failure.description())});
      }
    }
  }
  return values;
}

void TakeExperimentValues(const AppState& app, SolutionPreparation& prep) {
  prep.fOverRT = app.temperature > 0.0 ? app.fOverRT : 0.0;
  prep.Estart = app.Estart;
  for (int j = 1; j <= kMaxCharge; ++j) {
    prep.n[static_cast<std::size_t>(j)] = app.n(j);
    prep.E0[static_cast<std::size_t>(j)] = app.E0(j);
  }
  for (int k = 1; k <= kMaxChem; ++k) prep.Keq[static_cast<std::size_t>(k)] = app.Keq(k);
  PreconcentrationInput& deposit = prep.preconcentration;
  deposit.temperature = app.temperature;
  deposit.area = app.area;
  deposit.D = app.D(1);
  deposit.viscosity = app.viscosity;
  deposit.electrodeVolume = app.electrodeVolume;
}

}  // namespace kivex::model
