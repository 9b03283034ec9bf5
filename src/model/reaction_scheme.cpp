#include "model/reaction_scheme.h"

#include <initializer_list>
#include <string>
#include <utility>

#include "model/failure.h"
#include "model/selections.h"

namespace kivex::model {

namespace {

// One fixed mechanism: species, charge couples (ox, red) and its X = Y reaction, if any.
struct FixedMechanism {
  Count speciesCount;
  Count chargeCount;
  Count chemCount;
  Count couples[kMaxCharge][2];
  Count chemical[2];
};

// Species 1..4 are A, B, C, D.
constexpr FixedMechanism kMechanisms[kFixedMechanisms] = {
    {2, 1, 0, {{1, 2}}, {0, 0}},                  // 1  A + ne = B
    {3, 2, 0, {{1, 2}, {2, 3}}, {0, 0}},          // 2  A + ne = B, B + ne = C
    {4, 3, 0, {{1, 2}, {2, 3}, {3, 4}}, {0, 0}},  // 3  three steps
    {4, 2, 0, {{1, 2}, {3, 4}}, {0, 0}},          // 4  A + ne = B, C + ne = D
    {3, 1, 1, {{1, 2}}, {3, 1}},                  // 5  C = A, A + ne = B
    {3, 1, 1, {{1, 2}}, {2, 3}},                  // 6  A + ne = B, B = C
    {2, 1, 1, {{1, 2}}, {2, 1}},                  // 7  A + ne = B, B = A
    {4, 1, 1, {{1, 2}}, {3, 1}},                  // 8  C = A + pD (D produced p times)
};

void BuildFixedMechanism(const SchemeInput& input, AppState& scheme) {
  if (IsFixedMechanism(input.tickedMechanism)) {
    scheme.mechanism = input.tickedMechanism;
  }
  // The dialog always has one option ticked; a scheme left over from digital mode has none.
  if (!IsFixedMechanism(scheme.mechanism)) scheme.mechanism = static_cast<Count>(Mechanism::E);
  const FixedMechanism& fixed = kMechanisms[scheme.mechanism - 1];
  scheme.speciesCount = fixed.speciesCount;
  scheme.chargeCount = fixed.chargeCount;
  scheme.chemCount = fixed.chemCount;
  for (int r = 1; r <= fixed.chargeCount; ++r) {
    scheme.chargeSpecies(r, 1) = fixed.couples[r - 1][0];
    scheme.chargeSpecies(r, 2) = fixed.couples[r - 1][1];
  }
  if (fixed.chemCount == 1) {
    scheme.chemSpecies(1, 1) = fixed.chemical[0];
    scheme.chemSpecies(1, 2) = fixed.chemical[1];
  }
}

// A box's text without the blanks around it: " B" typed into a box is the species B, not a new
// species that no reaction would ever touch.
template <int Last>
void TrimBoxes(TextTable<Last>& boxes) {
  for (int b = 1; b <= Last; ++b) {
    std::string& text = boxes(b);
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
      text.clear();
    } else {
      text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    }
  }
}

// The index of the first species called `name`; 0 for an empty box or an unknown name.
Count SpeciesIndex(const AppState& scheme, const std::string& name) {
  if (name.empty()) return 0;
  for (int i = 1; i <= scheme.speciesCount; ++i) {
    if (scheme.speciesName(i) == name) return static_cast<Count>(i);
  }
  return 0;
}

// Adds `name` as a new species unless it is empty or already known. Names (trimmed by then) are
// compared exactly: "a" and "A" are two species.
template <int Last>
void CollectNames(const TextTable<Last>& boxes, int first, AppState& scheme) {
  for (int b = first; b <= Last; ++b) {
    const std::string& name = boxes(b);
    if (name.empty() || SpeciesIndex(scheme, name) != 0) continue;
    // Stop before a seventh name is stored.
    if (scheme.speciesCount == kMaxSpecies) throw InputError(kTooManySpecies);
    ++scheme.speciesCount;
    scheme.speciesName(scheme.speciesCount) = name;
  }
}

[[noreturn]] void ThrowIncomplete(const char* kind, int number) {
  throw InputError(std::string("Error: ") + kind + " " + std::to_string(number) +
                   " needs a species on each side; fill the reaction rows from the top.");
}

// Rows in use are rows 1..count, so a gap among the rows, or a row with a side left empty,
// would give a reaction with species 0 that every later computation would silently misread.
void RequireCompleteRows(const AppState& scheme) {
  for (int r = 1; r <= scheme.chargeCount; ++r) {
    if (scheme.chargeSpecies(r, 1) == 0 || scheme.chargeSpecies(r, 2) == 0) {
      ThrowIncomplete("charge reaction", r);
    }
  }
  for (int k = 1; k <= scheme.chemCount; ++k) {
    if (scheme.chemSpecies(k, 1) == 0 || scheme.chemSpecies(k, 2) == 0) {
      ThrowIncomplete("chemical reaction", k);
    }
  }
  for (int j = 1; j <= scheme.chem2Count; ++j) {
    const bool left = scheme.chem2Species(j, 1) != 0;
    const bool right = scheme.chem2Species(j, 3) != 0 || scheme.chem2Species(j, 4) != 0;
    if (!left || !right) ThrowIncomplete("chemical reaction", scheme.chemCount + j);
  }
}

[[noreturn]] void ThrowChangesNothing(const char* kind, int number, const std::string& sides) {
  throw InputError(
      std::string("Error: ") + kind + " " + std::to_string(number) + " has " + sides +
      " on both sides, so it changes nothing. Please correct it in the Mechanism dialog.");
}

// The names on one side of a two-species row, in a fixed order so that A + B and B + A compare
// equal; an empty place is left out.
std::string SideOf(const AppState& scheme, Count first, Count second) {
  if (first > second) std::swap(first, second);
  std::string side;
  for (Count species : {first, second}) {
    if (species == 0) continue;
    if (!side.empty()) side += " + ";
    side += scheme.speciesName(species);
  }
  return side;
}

// A reaction with the same species on both sides does nothing but mislead the equilibration of
// the solution (A = A doubles A). Two of one species on one side (A + A = B) is a dimerisation and
// stays.
void RequireReactionsThatChangeSomething(const AppState& scheme) {
  for (int r = 1; r <= scheme.chargeCount; ++r) {
    if (scheme.chargeSpecies(r, 1) == scheme.chargeSpecies(r, 2)) {
      ThrowChangesNothing("charge reaction", r, scheme.speciesName(scheme.chargeSpecies(r, 1)));
    }
  }
  for (int k = 1; k <= scheme.chemCount; ++k) {
    if (scheme.chemSpecies(k, 1) == scheme.chemSpecies(k, 2)) {
      ThrowChangesNothing("chemical reaction", k, scheme.speciesName(scheme.chemSpecies(k, 1)));
    }
  }
  for (int j = 1; j <= scheme.chem2Count; ++j) {
    const std::string left = SideOf(scheme, scheme.chem2Species(j, 1), scheme.chem2Species(j, 2));
    if (left == SideOf(scheme, scheme.chem2Species(j, 3), scheme.chem2Species(j, 4))) {
      ThrowChangesNothing("chemical reaction", scheme.chemCount + j, left);
    }
  }
}

// Electron transfers that lead from a species back to itself (A -> B -> C -> A) would reduce it
// into itself; their surface conditions have no solution. Loops run through two or three of the
// at most three transfers, and each is reported from its lowest-numbered reaction.
void RequireNoLoopOfTransfers(const AppState& scheme) {
  const int n = scheme.chargeCount;
  auto follows = [&](int from, int to) {
    return scheme.chargeSpecies(from, 2) == scheme.chargeSpecies(to, 1);
  };
  auto report = [&](std::initializer_list<int> loop) {
    std::string reactions;
    std::string path = scheme.speciesName(scheme.chargeSpecies(*loop.begin(), 1));
    int index = 0;
    for (int r : loop) {
      reactions += (index == 0                                   ? ""
                    : index + 1 == static_cast<int>(loop.size()) ? " and "
                                                                 : ", ") +
                   std::to_string(r);
      path += " -> " + scheme.speciesName(scheme.chargeSpecies(r, 2));
      ++index;
    }
    throw InputError(
        "Error: charge reactions " + reactions + " form a loop, " + path +
        ", which would reduce a species into itself. Please correct it in the Mechanism dialog.");
  };
  for (int a = 1; a <= n; ++a) {
    for (int b = a + 1; b <= n; ++b) {
      if (follows(a, b) && follows(b, a)) report({a, b});
      for (int c = a + 1; c <= n; ++c) {
        if (c == b) continue;
        if (follows(a, b) && follows(b, c) && follows(c, a)) report({a, b, c});
      }
    }
  }
}

template <int Last>
bool AnyFilled(const TextTable<Last>& boxes, int first, int count) {
  for (int b = first; b < first + count; ++b) {
    if (!boxes(b).empty()) return true;
  }
  return false;
}

// An empty place of a two-species row means "no species" wherever it stands: `_ + B = A + _` is
// B = A. Each side's species move to its first place, where the equilibrium and the kinetics look
// for them.
void PackTwoSpeciesRows(TextTable<4 * kMaxChem2>& boxes) {
  for (int side = 1; side <= 2 * kMaxChem2; ++side) {
    std::string& first = boxes(2 * side - 1);
    std::string& second = boxes(2 * side);
    if (first.empty()) std::swap(first, second);
  }
}

void BuildUserScheme(const SchemeInput& input, AppState& scheme) {
  scheme.mechanism = 0;
  scheme.speciesCount = 1;
  scheme.chargeCount = 0;
  scheme.speciesName(1) = input.charge(1);  // even when empty

  // A row counts when any of its species boxes is filled, so that a row missing its first species
  // is refused by name rather than dropped while its other species stay.
  for (int r = 1; r <= kMaxCharge; ++r) {
    if (AnyFilled(input.charge, 2 * r - 1, 2)) ++scheme.chargeCount;
  }
  for (int j = 1; j <= kMaxChem2; ++j) {
    if (AnyFilled(input.chem2, 4 * j - 3, 4)) ++scheme.chem2Count;
  }
  for (int k = 1; k <= kMaxChem; ++k) {
    if (AnyFilled(input.chem, 2 * k - 1, 2)) ++scheme.chemCount;
  }

  CollectNames(input.charge, 2, scheme);
  CollectNames(input.chem, 1, scheme);
  CollectNames(input.chem2, 1, scheme);
  if (scheme.chemCount + scheme.chem2Count > kMaxChem) throw InputError(kTooManyChemical);

  // Every row is indexed, in use or not.
  for (int r = 1; r <= kMaxCharge; ++r) {
    for (int s = 1; s <= 2; ++s) {
      scheme.chargeSpecies(r, s) = SpeciesIndex(scheme, input.charge(2 * (r - 1) + s));
    }
  }
  for (int k = 1; k <= kMaxChem; ++k) {
    for (int s = 1; s <= 2; ++s) {
      scheme.chemSpecies(k, s) = SpeciesIndex(scheme, input.chem(2 * (k - 1) + s));
    }
  }
  for (int j = 1; j <= kMaxChem2; ++j) {
    for (int q = 1; q <= 4; ++q) {
      scheme.chem2Species(j, q) = SpeciesIndex(scheme, input.chem2(4 * (j - 1) + q));
    }
  }
  RequireCompleteRows(scheme);
  RequireReactionsThatChangeSomething(scheme);
  RequireNoLoopOfTransfers(scheme);

  // Display texts, written without blanks: "A+1e=B", "C=A", "A+B=C+D" (an empty box adds
  // nothing, so "A+B=C+").
  for (int r = 1; r <= scheme.chargeCount; ++r) {
    scheme.chargeText(r) =
        input.charge(2 * r - 1) + "+" + input.electrons(r) + "e=" + input.charge(2 * r);
  }
  for (int k = 1; k <= scheme.chemCount; ++k) {
    scheme.chemText(k) = input.chem(2 * k - 1) + "=" + input.chem(2 * k);
  }
  for (int j = 1; j <= scheme.chem2Count; ++j) {
    scheme.chemText(scheme.chemCount + j) = input.chem2(4 * j - 3) + "+" + input.chem2(4 * j - 2) +
                                            "=" + input.chem2(4 * j - 1) + "+" + input.chem2(4 * j);
  }
}

}  // namespace

void BuildReactionScheme(const SchemeInput& input, AppState& app) {
  AppState scheme = app;  // built aside, stored only when complete
  scheme.chemCount = 0;
  scheme.chem2Count = 0;
  scheme.chargeSpecies.Fill(0);
  scheme.chemSpecies.Fill(0);
  scheme.chem2Species.Fill(0);
  if (input.digital) {
    SchemeInput trimmed = input;
    TrimBoxes(trimmed.charge);
    TrimBoxes(trimmed.electrons);
    TrimBoxes(trimmed.chem);
    TrimBoxes(trimmed.chem2);
    PackTwoSpeciesRows(trimmed.chem2);
    BuildUserScheme(trimmed, scheme);
  } else {
    BuildFixedMechanism(input, scheme);
  }

  app.mechanism = scheme.mechanism;
  app.speciesCount = scheme.speciesCount;
  app.chargeCount = scheme.chargeCount;
  app.chemCount = scheme.chemCount;
  app.chem2Count = scheme.chem2Count;
  app.speciesName = std::move(scheme.speciesName);
  app.chargeText = std::move(scheme.chargeText);
  app.chemText = std::move(scheme.chemText);
  app.chargeSpecies = std::move(scheme.chargeSpecies);
  app.chemSpecies = std::move(scheme.chemSpecies);
  app.chem2Species = std::move(scheme.chem2Species);
}

}  // namespace kivex::model
