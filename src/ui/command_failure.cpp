#include "ui/command_failure.h"

#include <exception>
#include <new>

#include "ui/interaction.h"
#include "ui/session.h"

namespace kivex::ui {

std::string FailureWording::Of(const model::Failure& failure) const {
  if (advice) return model::FailureMessage(failure, prefix) + suffix;
  return prefix + std::string(failure.description()) + suffix;
}

std::optional<CommandFailure> CommandFailureOf(const std::function<void()>& command,
                                               const FailureWording& wording) {
  try {
    command();
    return std::nullopt;
  } catch (const model::InputError& error) {
    return CommandFailure{true, std::string(error.message())};
  } catch (const model::Failure& failure) {
    return CommandFailure{false, wording.Of(failure)};
  }
}

bool RunCommand(Session& session, const FailureWording& wording,
                const std::function<void()>& command) {
  const std::optional<CommandFailure> failure = CommandFailureOf(command, wording);
  if (failure) session.ShowMessage(failure->message);
  return !failure;
}

std::optional<std::string> AnyFailureOf(const std::function<void()>& action) {
  try {
    const std::optional<CommandFailure> failure = CommandFailureOf(action, {});
    if (failure) return failure->message;
    return std::nullopt;
  } catch (const InteractionError& error) {
    return error.what();
  } catch (const model::Cancelled&) {
    // The command that started the computation ends a cancelled one; one that gets this far was
    // not meant to be cancelled.
    return "Error: The command was stopped by an unknown failure.";
  } catch (const std::bad_alloc&) {
    return "Error: Out of memory! The command was stopped.";
  } catch (const std::exception& error) {
    return std::string("Error: ") + error.what();
  } catch (...) {
    return "Error: The command was stopped by an unknown failure.";
  }
}

}  // namespace kivex::ui
