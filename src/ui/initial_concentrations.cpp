#include "ui/initial_concentrations.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "model/checked_math.h"
#include "model/fixed_table.h"
#include "model/number_format.h"
#include "model/number_text.h"
#include "ui/two_species_equilibrium.h"

namespace kivex::ui {

namespace {

using model::Finite;

std::size_t Slot(int species) {
  if (species < 1 || species > model::kMaxSpecies) model::ThrowIndexFailure();
  return static_cast<std::size_t>(species);
}

// The labels as a store of concentrations: read as displayed, written in the label pattern.
struct LabelStore {
  ConcentrationLabels& labels;
  double Get(int species) const { return model::ReadNumber(labels[Slot(species)]); }
  void Set(int species, double value) { labels[Slot(species)] = ConcentrationText(value); }
};

// The same steps in full precision.
struct NumberStore {
  Concentrations& values;
  double Get(int species) const { return values[Slot(species)]; }
  void Set(int species, double value) { values[Slot(species)] = value; }
};

// Each step reads what it needs first and writes only once every new value is known and finite,
// so a step that fails is skipped whole.
template <typename Store>
void CoupleStep(Store store, const Couple& couple, double fOverRT, double E) {
  try {
    const double Cox = store.Get(couple.ox);
    const double Cred = store.Get(couple.red);
    // theta = [red]/[ox] at equilibrium; delta = (theta Cox - Cred) / (theta + 1), written with
    // exp of a non-positive argument so that a far-off potential cannot overflow.
    const double x = Finite(couple.n * fOverRT * (couple.E0 - E));
    double delta;
    if (x <= 0.0) {
      const double theta = std::exp(x);
      delta = (theta * Cox - Cred) / (theta + 1.0);
    } else {
      const double inverse = std::exp(-x);
      delta = (Cox - inverse * Cred) / (1.0 + inverse);
    }
    const double ox = Finite(Cox - delta);
    const double red = Finite(Cred + delta);
    store.Set(couple.ox, ox);
    store.Set(couple.red, red);
  } catch (const model::Failure&) {
    // Skipped: the concentrations stay as they were.
  }
}

template <typename Store>
void FirstOrderStep(Store store, const FirstOrderEquilibrium& reaction) {
  if (reaction.K == 0.0) return;
  try {
    const double Cx = store.Get(reaction.x);
    const double Cy = store.Get(reaction.y);
    const double delta = model::Div(reaction.K * Cx - Cy, reaction.K + 1.0);
    const double x = Finite(std::max(Cx - delta, 0.0));
    const double y = Finite(Cy + delta);
    store.Set(reaction.x, x);
    store.Set(reaction.y, y);
  } catch (const model::Failure&) {
  }
}

template <typename Store>
void TwoSpeciesStep(Store store, const TwoSpeciesEquilibrium& reaction) {
  if (reaction.K == 0.0) return;
  const auto& places = reaction.places;
  const TwoSpeciesForm form = FormOfRow(places[1] != 0, places[3] != 0);
  try {
    std::array<double, 4> C{};
    for (int q = 1; q <= 4; ++q) {
      if (UsesPlace(form, q)) C[q - 1] = store.Get(places[q - 1]);  // empty: skipped
    }
    const std::optional<double> delta = TwoSpeciesAdvancement(form, reaction.K, C);
    if (!delta) return;
    std::array<double, 4> next{};
    for (int q = 1; q <= 4; ++q) {
      if (places[q - 1] == 0) continue;
      next[q - 1] = Finite(q <= 2 ? std::max(C[q - 1] - *delta, 0.0) : C[q - 1] + *delta);
      static_cast<void>(Slot(places[q - 1]));  // a bad place fails before anything is written
    }
    for (int q = 1; q <= 4; ++q) {
      if (places[q - 1] != 0) store.Set(places[q - 1], next[q - 1]);
    }
  } catch (const model::Failure&) {
  }
}

template <typename Store>
void AllSteps(Store store, const PreEquilibration& steps) {
  if (steps.fOverRT > 0.0) {
    for (const Couple& couple : steps.couples)
      CoupleStep(store, couple, steps.fOverRT, steps.Estart);
  }
  for (const FirstOrderEquilibrium& reaction : steps.firstOrder) FirstOrderStep(store, reaction);
  for (const TwoSpeciesEquilibrium& reaction : steps.twoSpecies) TwoSpeciesStep(store, reaction);
}

}  // namespace

std::string ConcentrationText(double value) {
  return model::FormatPattern(Finite(value), kConcentrationPattern);
}

void EquilibrateCouple(ConcentrationLabels& labels, const Couple& couple, double fOverRT,
                       double E) {
  CoupleStep(LabelStore{labels}, couple, fOverRT, E);
}

void EquilibrateFirstOrder(ConcentrationLabels& labels, const FirstOrderEquilibrium& reaction) {
  FirstOrderStep(LabelStore{labels}, reaction);
}

void EquilibrateTwoSpecies(ConcentrationLabels& labels, const TwoSpeciesEquilibrium& reaction) {
  TwoSpeciesStep(LabelStore{labels}, reaction);
}

void PreEquilibrate(ConcentrationLabels& labels, const PreEquilibration& steps) {
  AllSteps(LabelStore{labels}, steps);
}

void PreEquilibrate(Concentrations& values, const PreEquilibration& steps) {
  AllSteps(NumberStore{values}, steps);
}

void PreEquilibrationOf(const model::AppState& app, PreEquilibration& steps) {
  steps.couples.clear();
  steps.firstOrder.clear();
  steps.twoSpecies.clear();
  steps.fOverRT = app.temperature > 0.0 ? app.fOverRT : 0.0;
  steps.Estart = app.Estart;
  for (int j = 1; j <= std::min<int>(app.chargeCount, model::kMaxCharge); ++j) {
    steps.couples.push_back(
        {app.chargeSpecies(j, 1), app.chargeSpecies(j, 2), app.n(j), app.E0(j)});
  }
  const int chemCount = std::min<int>(app.chemCount, model::kMaxChem);
  for (int k = 1; k <= chemCount; ++k) {
    steps.firstOrder.push_back({app.chemSpecies(k, 1), app.chemSpecies(k, 2), app.Keq(k)});
  }
  for (int j = 1; j <= std::min<int>(app.chem2Count, model::kMaxChem - chemCount); ++j) {
    TwoSpeciesEquilibrium reaction;
    for (int q = 1; q <= 4; ++q) reaction.places[q - 1] = app.chem2Species(j, q);
    reaction.K = app.Keq(chemCount + j);
    steps.twoSpecies.push_back(reaction);
  }
}

}  // namespace kivex::ui
