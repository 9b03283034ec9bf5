#include "model/reaction_scheme.h"

#include <gtest/gtest.h>

#include <string>

#include "model/failure.h"

namespace kivex::model {
namespace {

// The Mechanism dialog's boxes as they start: digital, A + 1e = B.
SchemeInput DefaultBoxes() {
  SchemeInput input;
  input.digital = true;
  input.tickedMechanism = 1;
  input.charge(1) = "A";
  input.charge(2) = "B";
  for (int r = 1; r <= 3; ++r) input.electrons(r) = "1";
  return input;
}

// A + 2e = B, B = C, C + A = D + B.
SchemeInput ExampleBoxes() {
  SchemeInput input = DefaultBoxes();
  input.electrons(1) = "2";
  input.chem(1) = "B";
  input.chem(2) = "C";
  input.chem2(1) = "C";
  input.chem2(2) = "A";
  input.chem2(3) = "D";
  input.chem2(4) = "B";
  return input;
}

TEST(ReactionScheme, DefaultBoxesGiveAPlusOneElectronB) {
  AppState app;
  app.mechanism = 5;  // left from analytical mode
  BuildReactionScheme(DefaultBoxes(), app);
  EXPECT_EQ(app.mechanism, 0);
  EXPECT_EQ(app.speciesCount, 2);
  EXPECT_EQ(app.chargeCount, 1);
  EXPECT_EQ(app.chemCount, 0);
  EXPECT_EQ(app.chem2Count, 0);
  EXPECT_EQ(app.speciesName(1), "A");
  EXPECT_EQ(app.speciesName(2), "B");
  EXPECT_EQ(app.chargeSpecies(1, 1), 1);
  EXPECT_EQ(app.chargeSpecies(1, 2), 2);
  EXPECT_EQ(app.chargeText(1), "A+1e=B");
}

TEST(ReactionScheme, SpeciesAreCollectedInBoxOrderAndTwoSpeciesReactionsFollowTheOthers) {
  AppState app;
  BuildReactionScheme(ExampleBoxes(), app);
  EXPECT_EQ(app.speciesCount, 4);
  // B from charge(2), C from chem(2), D from chem2(3).
  const char* names[] = {"A", "B", "C", "D"};
  for (int i = 1; i <= 4; ++i) EXPECT_EQ(app.speciesName(i), names[i - 1]) << i;
  EXPECT_EQ(app.chargeCount, 1);
  EXPECT_EQ(app.chemCount, 1);
  EXPECT_EQ(app.chem2Count, 1);
  EXPECT_EQ(app.chargeText(1), "A+2e=B");
  EXPECT_EQ(app.chemText(1), "B=C");
  EXPECT_EQ(app.chemText(2), "C+A=D+B");  // chemical reaction 2
  EXPECT_EQ(app.chemSpecies(1, 1), 2);
  EXPECT_EQ(app.chemSpecies(1, 2), 3);
  const Count places[] = {3, 1, 4, 2};
  for (int q = 1; q <= 4; ++q) EXPECT_EQ(app.chem2Species(1, q), places[q - 1]) << q;
  for (int q = 1; q <= 4; ++q) EXPECT_EQ(app.chem2Species(2, q), 0) << q;
}

TEST(ReactionScheme, NamesCompareExactlyAndEmptyPlacesStayZero) {
  SchemeInput input = DefaultBoxes();
  input.charge(3) = "a";   // not A
  input.charge(4) = "B ";  // not B
  input.chem2(1) = "A";
  input.chem2(2) = "B";
  input.chem2(3) = "C";  // fourth box empty
  AppState app;
  BuildReactionScheme(input, app);
  EXPECT_EQ(app.speciesCount, 5);
  EXPECT_EQ(app.speciesName(3), "a");
  EXPECT_EQ(app.speciesName(4), "B ");
  EXPECT_EQ(app.chargeCount, 2);
  EXPECT_EQ(app.chargeSpecies(2, 1), 3);
  EXPECT_EQ(app.chargeSpecies(2, 2), 4);
  EXPECT_EQ(app.chemText(1), "A+B=C+");
  EXPECT_EQ(app.chem2Species(1, 4), 0);
}

TEST(ReactionScheme, OnlyTheFirstBoxDecidesWhetherARowCounts) {
  SchemeInput input = DefaultBoxes();
  input.charge(4) = "C";  // row 2 has only its product
  const char* boxes[] = {"B", "C", "C", "D", "D", "E", "E", "F"};
  for (int b = 1; b <= 8; ++b) input.chem(b) = boxes[b - 1];
  AppState app;
  BuildReactionScheme(input, app);
  EXPECT_EQ(app.chargeCount, 1);
  EXPECT_EQ(app.chargeSpecies(2, 2), 3);  // indexed all the same
  EXPECT_EQ(app.speciesName(3), "C");
  EXPECT_EQ(app.speciesCount, 6);
  EXPECT_EQ(app.chemCount, 4);
  EXPECT_EQ(app.chemText(4), "E=F");
}

TEST(ReactionScheme, LimitsStopTheBuildAndLeaveThePreviousSchemeWhole) {
  AppState app;
  BuildReactionScheme(ExampleBoxes(), app);
  const AppState before = app;

  SchemeInput seven = ExampleBoxes();
  seven.charge(3) = "E";
  seven.charge(4) = "F";
  seven.chem(3) = "G";
  seven.chem(4) = "A";
  try {
    BuildReactionScheme(seven, app);
    FAIL() << "seven species accepted";
  } catch (const InputError& error) {
    EXPECT_EQ(error.message(), "Error: Species number cannot > 6.");
  }

  SchemeInput five = ExampleBoxes();  // 1 X = Y row and 1 two-species row so far
  five.chem(3) = "A";
  five.chem(4) = "C";
  five.chem(5) = "B";
  five.chem(6) = "D";
  five.chem2(5) = "A";
  five.chem2(6) = "A";
  five.chem2(7) = "D";
  try {
    BuildReactionScheme(five, app);
    FAIL() << "five chemical reactions accepted";
  } catch (const InputError& error) {
    EXPECT_EQ(error.message(), "Error: chemical reaction number cannot > 4.");
  }

  EXPECT_EQ(app.speciesCount, before.speciesCount);
  EXPECT_EQ(app.chemCount, before.chemCount);
  EXPECT_EQ(app.chem2Count, before.chem2Count);
  for (int i = 1; i <= kMaxSpecies; ++i) EXPECT_EQ(app.speciesName(i), before.speciesName(i));
  EXPECT_EQ(app.chemText(2), "C+A=D+B");
  EXPECT_EQ(app.chem2Species(1, 3), 4);
  EXPECT_EQ(app.chargeSpecies(1, 2), 2);

  // Exactly at the limits is fine.
  SchemeInput six = seven;
  six.chem(3).clear();
  six.chem(4).clear();
  BuildReactionScheme(six, app);
  EXPECT_EQ(app.speciesCount, 6);
  SchemeInput four = five;
  four.chem2(5).clear();
  BuildReactionScheme(four, app);
  EXPECT_EQ(app.chemCount + app.chem2Count, 4);
}

TEST(ReactionScheme, AReactionInUseWithAnEmptySideIsRefused) {
  AppState app;
  BuildReactionScheme(DefaultBoxes(), app);

  SchemeInput gap = DefaultBoxes();  // rows 1 and 3: reaction 2 would be the empty row
  gap.charge(5) = "C";
  gap.charge(6) = "D";
  EXPECT_THROW(BuildReactionScheme(gap, app), InputError);

  SchemeInput oneSided = DefaultBoxes();
  oneSided.chem(1) = "B";
  EXPECT_THROW(BuildReactionScheme(oneSided, app), InputError);

  SchemeInput noProducts = DefaultBoxes();
  noProducts.chem2(1) = "A";
  noProducts.chem2(2) = "B";
  EXPECT_THROW(BuildReactionScheme(noProducts, app), InputError);

  EXPECT_EQ(app.speciesCount, 2);
  EXPECT_EQ(app.chemCount, 0);

  // X1 = Y1 + Y2 leaves its second place empty, which is a complete reaction.
  SchemeInput dissociation = DefaultBoxes();
  dissociation.chem2(1) = "B";
  dissociation.chem2(3) = "C";
  dissociation.chem2(4) = "D";
  BuildReactionScheme(dissociation, app);
  EXPECT_EQ(app.chem2Count, 1);
  EXPECT_EQ(app.chemText(1), "B+=C+D");
}

struct FixedCase {
  Count mechanism;
  Count species, charges, chemicals;
  Count couples[3][2];
  Count chemical[2];
};

TEST(ReactionScheme, FixedMechanismsHaveTheirSpeciesAndReactions) {
  const FixedCase cases[] = {
      {1, 2, 1, 0, {{1, 2}}, {0, 0}},
      {2, 3, 2, 0, {{1, 2}, {2, 3}}, {0, 0}},
      {3, 4, 3, 0, {{1, 2}, {2, 3}, {3, 4}}, {0, 0}},
      {4, 4, 2, 0, {{1, 2}, {3, 4}}, {0, 0}},
      {5, 3, 1, 1, {{1, 2}}, {3, 1}},  // C = A
      {6, 3, 1, 1, {{1, 2}}, {2, 3}},  // B = C
      {7, 2, 1, 1, {{1, 2}}, {2, 1}},  // B = A: Keq = [A] / [B]
      {8, 4, 1, 1, {{1, 2}}, {3, 1}},  // C = A + pD
  };
  for (const FixedCase& c : cases) {
    SCOPED_TRACE(c.mechanism);
    AppState app;
    BuildReactionScheme(ExampleBoxes(), app);  // a digital scheme first: tables get cleared
    SchemeInput input = ExampleBoxes();
    input.digital = false;
    input.tickedMechanism = c.mechanism;
    BuildReactionScheme(input, app);
    EXPECT_EQ(app.mechanism, c.mechanism);
    EXPECT_EQ(app.speciesCount, c.species);
    EXPECT_EQ(app.chargeCount, c.charges);
    EXPECT_EQ(app.chemCount, c.chemicals);
    EXPECT_EQ(app.chem2Count, 0);
    for (int r = 1; r <= 3; ++r) {
      EXPECT_EQ(app.chargeSpecies(r, 1), c.couples[r - 1][0]) << r;
      EXPECT_EQ(app.chargeSpecies(r, 2), c.couples[r - 1][1]) << r;
    }
    EXPECT_EQ(app.chemSpecies(1, 1), c.chemical[0]);
    EXPECT_EQ(app.chemSpecies(1, 2), c.chemical[1]);
    EXPECT_EQ(app.chem2Species(1, 1), 0);
    // Names and texts are the digital scheme's, untouched.
    EXPECT_EQ(app.chemText(2), "C+A=D+B");
  }

  AppState app;
  SchemeInput input = DefaultBoxes();
  input.digital = false;
  input.tickedMechanism = 7;
  BuildReactionScheme(input, app);
  input.tickedMechanism = 0;  // none ticked: the mechanism stays
  BuildReactionScheme(input, app);
  EXPECT_EQ(app.mechanism, 7);
}

}  // namespace
}  // namespace kivex::model
