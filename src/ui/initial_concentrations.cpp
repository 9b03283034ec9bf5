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

double Shown(const ConcentrationLabels& labels, int species) {
  return model::ReadNumber(labels[Slot(species)]);
}

}  // namespace

std::string ConcentrationText(double value) {
  return model::FormatPattern(Finite(value), kConcentrationPattern);
}

void EquilibrateCouple(ConcentrationLabels& labels, const Couple& couple, double fOverRT,
                       double E) {
  try {
    const double Cox = Shown(labels, couple.ox);
    const double Cred = Shown(labels, couple.red);
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
    const std::string ox = ConcentrationText(Cox - delta);
    const std::string red = ConcentrationText(Cred + delta);
    labels[Slot(couple.ox)] = ox;
    labels[Slot(couple.red)] = red;
  } catch (const model::Failure&) {
    // Skipped: the labels keep what they showed.
  }
}

void EquilibrateFirstOrder(ConcentrationLabels& labels, const FirstOrderEquilibrium& reaction) {
  if (reaction.K == 0.0) return;
  try {
    const double Cx = Shown(labels, reaction.x);
    const double Cy = Shown(labels, reaction.y);
    const double delta = model::Div(reaction.K * Cx - Cy, reaction.K + 1.0);
    const std::string x = ConcentrationText(std::max(Cx - delta, 0.0));
    const std::string y = ConcentrationText(Cy + delta);
    labels[Slot(reaction.x)] = x;
    labels[Slot(reaction.y)] = y;
  } catch (const model::Failure&) {
  }
}

void EquilibrateTwoSpecies(ConcentrationLabels& labels, const TwoSpeciesEquilibrium& reaction) {
  if (reaction.K == 0.0) return;
  const auto& places = reaction.places;
  const TwoSpeciesForm form = FormOfRow(places[1] != 0, places[3] != 0);
  try {
    std::array<double, 4> C{};
    for (int q = 1; q <= 4; ++q) {
      if (UsesPlace(form, q)) C[q - 1] = Shown(labels, places[q - 1]);  // empty: skipped
    }
    const std::optional<double> delta = TwoSpeciesAdvancement(form, reaction.K, C);
    if (!delta) return;
    std::array<std::string, 4> shown;
    for (int q = 1; q <= 4; ++q) {
      if (places[q - 1] == 0) continue;
      shown[q - 1] = q <= 2 ? ConcentrationText(std::max(C[q - 1] - *delta, 0.0))
                            : ConcentrationText(C[q - 1] + *delta);
    }
    for (int q = 1; q <= 4; ++q) {
      if (places[q - 1] != 0) labels[Slot(places[q - 1])] = shown[q - 1];
    }
  } catch (const model::Failure&) {
  }
}

void PreEquilibrate(ConcentrationLabels& labels, const PreEquilibration& steps) {
  if (steps.fOverRT > 0.0) {
    for (const Couple& couple : steps.couples) {
      EquilibrateCouple(labels, couple, steps.fOverRT, steps.Estart);
    }
  }
  for (const FirstOrderEquilibrium& reaction : steps.firstOrder) {
    EquilibrateFirstOrder(labels, reaction);
  }
  for (const TwoSpeciesEquilibrium& reaction : steps.twoSpecies) {
    EquilibrateTwoSpecies(labels, reaction);
  }
}

}  // namespace kivex::ui
