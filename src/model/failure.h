#pragma once
// The program's two kinds of failure.
//
// `Failure` is an arithmetic or index failure inside a computation (division by zero, overflow,
// logarithm or square root of an invalid argument, index out of range). Computations throw it;
// the command that started them catches it and shows its own prefix, the description and
// "! Please try again by other initial values.". Data written before the failure stay.
//
// `InputError` is a complete message about the user's input ("Error: Species number cannot > 6.");
// the command shows it as it stands and stops.

#include <stdexcept>
#include <string>
#include <string_view>

namespace kivex::model {

class Failure : public std::runtime_error {
 public:
  // `prefix` names the operation that owns the failure ("CV Error: "); empty lets the catching
  // command use its own prefix.
  explicit Failure(const std::string& description, std::string prefix = {})
      : std::runtime_error(description), prefix_(std::move(prefix)) {}

  std::string_view description() const { return what(); }
  const std::string& prefix() const { return prefix_; }

 private:
  std::string prefix_;
};

class InputError : public std::runtime_error {
 public:
  explicit InputError(const std::string& message) : std::runtime_error(message) {}
  std::string_view message() const { return what(); }
};

// Common descriptions, so that messages read the same wherever they arise.
inline constexpr std::string_view kDivisionByZero = "Division by zero";
inline constexpr std::string_view kOverflow = "Overflow";
inline constexpr std::string_view kInvalidArgument = "Invalid procedure call or argument";
inline constexpr std::string_view kSubscriptOutOfRange = "Subscript out of range";

// The message box text of a failure caught by a command: prefix, description and the advice.
// The failure's own prefix wins over `commandPrefix`.
std::string FailureMessage(const Failure& failure, std::string_view commandPrefix);

}  // namespace kivex::model
