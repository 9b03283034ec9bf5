#include "model/failure.h"

namespace kivex::model {

std::string FailureMessage(const Failure& failure, std::string_view commandPrefix) {
  std::string message = failure.prefix().empty() ? std::string(commandPrefix) : failure.prefix();
  message += failure.description();
  message += "! Please try again by other initial values.";
  return message;
}

}  // namespace kivex::model
