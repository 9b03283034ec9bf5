#include "model/reaction_scheme.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "model/failure.h"

namespace kivex::model {
namespace {

// The Mechanism dialog's boxes, digital, filled from the first box of each group ("" = empty).
SchemeInput Boxes(std::initializer_list<const char*> charge,
                  std::initializer_list<const char*> chem = {},
                  std::initializer_list<const char*> chem2 = {}) {
  SchemeInput input;
  input.tickedMechanism = 1;
  for (int r = 1; r <= 3; ++r) input.electrons(r) = "1";
  int b = 0;
  for (const char* name : charge) input.charge(++b) = name;
  b = 0;
  for (const char* name : chem) input.chem(++b) = name;
  b = 0;
  for (const char* name : chem2) input.chem2(++b) = name;
  return input;
}

// A + 2e = B, B = C, C + A = D + B.
SchemeInput Example() {
  SchemeInput input = Boxes({"A", "B"}, {"B", "C"}, {"C", "A", "D", "B"});
  input.electrons(1) = "2";
  return input;
}

// The species count and the species numbers of the charge, X = Y and two-species reactions in use.
std::string Indices(const AppState& app) {
  auto n = [](Count c) { return std::to_string(c); };
  std::string s = n(app.speciesCount) + ":";
  for (int r = 1; r <= app.chargeCount; ++r) {
    s += " " + n(app.chargeSpecies(r, 1)) + ">" + n(app.chargeSpecies(r, 2));
  }
  s += " |";
  for (int k = 1; k <= app.chemCount; ++k) {
    s += " " + n(app.chemSpecies(k, 1)) + ">" + n(app.chemSpecies(k, 2));
  }
  s += " |";
  for (int j = 1; j <= app.chem2Count; ++j) {
    s += " " + n(app.chem2Species(j, 1)) + "+" + n(app.chem2Species(j, 2)) + ">" +
         n(app.chem2Species(j, 3)) + "+" + n(app.chem2Species(j, 4));
  }
  return s;
}

// Species names, then the texts of the reactions in use, comma separated.
std::string Names(const AppState& app) {
  std::string s;
  for (int i = 1; i <= app.speciesCount; ++i) s += app.speciesName(i) + ",";
  s += " ";
  for (int r = 1; r <= app.chargeCount; ++r) s += app.chargeText(r) + ",";
  for (int k = 1; k <= app.chemCount + app.chem2Count; ++k) s += app.chemText(k) + ",";
  return s;
}

TEST(ReactionScheme, DigitalBoxesGiveSpeciesInBoxOrderAndTwoSpeciesReactionsLast) {
  const struct {
    SchemeInput boxes;
    const char* indices;
    const char* names;
  } cases[] = {
      {Boxes({"A", "B"}), "2: 1>2 | |", "A,B, A+1e=B,"},
      // Names compare by case, without the blanks around them; an empty place stays 0 and adds
      // nothing to the text.
      {Boxes({"A", "B", "a", " B\t"}, {}, {"A ", "\tB", "C"}), "4: 1>2 3>2 | | 1+2>4+0",
       "A,B,a,C, A+1e=B,a+1e=B,A+B=C+,"},
      // A box of blanks is empty: charge row 2 is not in use.
      {Boxes({"A", "B", "  ", " "}, {"B", "C", "C", "D", "D", "E", "E", "F"}),
       "6: 1>2 | 2>3 3>4 4>5 5>6 |", "A,B,C,D,E,F, A+1e=B,B=C,C=D,D=E,E=F,"},
      // X1 = Y1 + Y2: the empty second place is a complete reaction.
      {Boxes({"A", "B"}, {}, {"B", "", "C", "D"}), "4: 1>2 | | 2+0>3+4", "A,B,C,D, A+1e=B,B+=C+D,"},
      // An empty first place is no species either: each side's species move to its first place.
      {Boxes({"A", "B"}, {}, {"", "B", "", "A"}), "2: 1>2 | | 2+0>1+0", "A,B, A+1e=B,B+=A+,"},
      // Exactly at the limits: six species (C from the X = Y rows before D from the two-species
      // row), four chemical reactions.
      {Boxes({"A", "B", "E", "F"}, {"B", "C"}, {"D", "A", "C", "B"}), "6: 1>2 3>4 | 2>5 | 6+1>5+2",
       "A,B,E,F,C,D, A+1e=B,E+1e=F,B=C,D+A=C+B,"},
      {Boxes({"A", "B"}, {"B", "C", "A", "C", "B", "D"}, {"C", "A", "D", "B"}),
       "4: 1>2 | 2>3 1>3 2>4 | 3+1>4+2", "A,B,C,D, A+1e=B,B=C,A=C,B=D,C+A=D+B,"},
  };
  for (const auto& c : cases) {
    AppState app;
    app.mechanism = 5;  // left from analytical mode
    BuildReactionScheme(c.boxes, app);
    EXPECT_EQ(app.mechanism, 0);
    EXPECT_EQ(Indices(app), c.indices);
    EXPECT_EQ(Names(app), c.names);
  }
}

// (Each refusal's message, and the Chemicals rows left as they were: model_scheme_refusals.)
TEST(ReactionScheme, ARefusedSchemeLeavesThePreviousSchemeWhole) {
  // Too many chemical reactions, an empty row between rows in use, a loop of transfers.
  for (const SchemeInput& boxes :
       {Boxes({"A", "B"}, {"B", "C", "A", "C", "B", "D"}, {"C", "A", "D", "B", "A", "A", "D"}),
        Boxes({"A", "B", "", "", "C", "D"}), Boxes({"A", "B", "B", "A"})}) {
    AppState app;
    BuildReactionScheme(Example(), app);
    EXPECT_THROW(BuildReactionScheme(boxes, app), InputError);
    // B from charge(2), C from chem(2), D from chem2(3); C + A = D + B is reaction 2.
    EXPECT_EQ(Indices(app), "4: 1>2 | 2>3 | 3+1>4+2");
    EXPECT_EQ(Names(app), "A,B,C,D, A+2e=B,B=C,C+A=D+B,");
  }
}

}  // namespace
}  // namespace kivex::model
