#pragma once
// The one error boundary of the commands. A command runs its work through RunCommand (or
// CommandFailureOf, when it shows the message itself); an input error (model::InputError) is
// shown as it stands, a computation's failure (model::Failure) as the command words it:
//
//   RunCommand(session, FailureWording::WithAdvice("Analytical simulation Error: "),
//              [&] { ChemicalsOK(session); });
//   // "Analytical simulation Error: Division by zero! Please try again by other initial values."
//
// A cancellation (model::Cancelled) passes on to the command that started the long computation,
// which ends it quietly. Anything else passes on to the last boundary, AnyFailureOf, which the
// window runs every action through and which turns whatever is left (a scripting mistake, no
// memory) into a message too, so that nothing reaches the event loop.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "model/failure.h"

namespace kivex::ui {

class Session;

// How a command words a model::Failure: prefix, description, suffix; with `advice`, as
// model::FailureMessage (the failure's own prefix wins, then the advice to try other values).
struct FailureWording {
  std::string prefix;
  std::string suffix;
  bool advice = false;

  static FailureWording Prefixed(std::string_view prefix) {
    return {std::string(prefix), {}, false};
  }
  static FailureWording WithAdvice(std::string_view prefix) {
    return {std::string(prefix), {}, true};
  }
  std::string Of(const model::Failure& failure) const;
};

// A simulation's failure, as every command that runs one words it.
inline const FailureWording kSimulationWording =
    FailureWording::WithAdvice("Analytical simulation Error: ");

// What stopped a command: an input error's message, or a failure as worded.
struct CommandFailure {
  bool inputError = false;
  std::string message;
};

// Runs `command`; its input error or failure comes back as the message to show, nothing when it
// completed. Other exceptions pass on.
std::optional<CommandFailure> CommandFailureOf(const std::function<void()>& command,
                                               const FailureWording& wording);

// CommandFailureOf, showing the message; returns whether the command completed.
bool RunCommand(Session& session, const FailureWording& wording,
                const std::function<void()>& command);

// The last boundary: runs `action` and returns the message of whatever stopped it, of any type.
std::optional<std::string> AnyFailureOf(const std::function<void()>& action);

}  // namespace kivex::ui
