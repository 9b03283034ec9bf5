#include "ui/command_failure.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "simulation/cancellation.h"
#include "ui/fit_watch.h"
#include "ui/interaction.h"

namespace kivex::ui {
namespace {

TEST(CommandFailure, FailureIsWordedByTheCommandUnlessItNamesItsOwnOperation) {
  const FailureWording simulation = FailureWording::WithAdvice("Analytical simulation Error: ");
  auto message = [&](const model::Failure& thrown, const FailureWording& wording) {
    const auto failure = CommandFailureOf([&] { throw thrown; }, wording);
    EXPECT_TRUE(failure && !failure->inputError);
    return failure ? failure->message : std::string();
  };
  EXPECT_EQ(message(model::Failure("Overflow"), simulation),
            "Analytical simulation Error: Overflow! Please try again by other initial values.");
  EXPECT_EQ(message(model::Failure("Overflow", "CV Error: "), simulation),
            "CV Error: Overflow! Please try again by other initial values.");
  EXPECT_EQ(message(model::Failure("Overflow", "CV Error: "), FailureWording::Prefixed("Read: ")),
            "Read: Overflow");
  EXPECT_EQ(message(model::Failure("Overflow"), FailureWording{{}, ". Left unchanged."}),
            "Overflow. Left unchanged.");
  // An input error is the user's complete message: no command's wording may touch it.
  const auto input = CommandFailureOf([] { throw model::InputError("Error: Species number."); },
                                      FailureWording::WithAdvice("Fit Error: "));
  EXPECT_TRUE(input && input->inputError && input->message == "Error: Species number.");
}

// A command passes on what is not its failure; the window's last boundary lets nothing escape.
TEST(CommandFailure, OtherExceptionsPassOnUntilTheLastBoundaryTurnsThemIntoAMessage) {
  int runs = 0;
  EXPECT_FALSE(CommandFailureOf([&] { ++runs; }, {}) || AnyFailureOf([&] { ++runs; }));
  EXPECT_EQ(runs, 2);
  EXPECT_THROW(CommandFailureOf([] { throw InteractionError("no such control"); }, {}),
               InteractionError);
  EXPECT_EQ(AnyFailureOf([] { throw model::Failure("Division by zero"); }), "Division by zero");
  EXPECT_EQ(AnyFailureOf([] { throw InteractionError("FormX.y is unknown"); }),
            "FormX.y is unknown");
  EXPECT_EQ(AnyFailureOf([] { throw std::bad_alloc(); }),
            "Error: Out of memory! The command was stopped.");
  EXPECT_EQ(AnyFailureOf([] { throw std::logic_error("broken"); }), "Error: broken");
  EXPECT_EQ(AnyFailureOf([] { throw 3; }), "Error: The command was stopped by an unknown failure.");
  // A cancellation passes the command's boundary to the command that ran the long computation.
  EXPECT_THROW(CommandFailureOf([] { throw FitCancelled{}; }, {}), model::Cancelled);
  EXPECT_EQ(AnyFailureOf([] { throw simulation::SimulationCancelled{}; }),
            "Error: The command was stopped by an unknown failure.");
}

}  // namespace
}  // namespace kivex::ui
